// Narrow dialogs show their whole title: with the main window up, every
// dialog is at least as wide as its caption needs in a title bar, as it is
// shown; wide dialogs and their heights are left alone.
#include "ScriptedPrompts.h"
#include "TempDir.h"

#include "model/session/Workspace.h"
#include "ui/common/uWindowTitle.h"
#include "ui/main/uPrincipal.h"

#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using namespace quillmark;

namespace {

struct TitleTest : ::testing::Test {
    TitleTest() {
        ws = std::make_unique<Workspace>(std::make_unique<qmtest::ScriptedPrompts>());
        ws->EditorFolder = qmtest::binFolder();
        WindowLinks& links = ws->session().links();
        links.newMapDialog.fill([] {});
        links.newProjectWizard.fill([] {});
        links.mapProperties.fill([] {});
        links.database.fill([] {});
        TForm1::Options o;
        o.iniPath = settings.file("quillmark.INI");
        o.recentPath = settings.file("conf.ini");
        o.registerAssociation = [] {};
        o.startProgram = [](const QString&, QString*) { return true; };
        form = std::make_unique<TForm1>(*ws, o);
    }
    qmtest::TempDir settings;
    std::unique_ptr<Workspace> ws;
    std::unique_ptr<TForm1> form;
};

}  // namespace

TEST_F(TitleTest, NarrowDialogsGrowToTheirTitle) {
    QDialog small(form.get());
    small.setWindowTitle(QStringLiteral("Editor de Eventos - Desligar Interruptor"));
    auto* layout = new QVBoxLayout(&small);
    layout->addWidget(new QLabel(QStringLiteral("Interruptor:")));
    const int needed = widthForTitle(&small);
    QFont bold = small.font();
    bold.setBold(true);
    EXPECT_GT(needed, QFontMetrics(bold).horizontalAdvance(small.windowTitle()) + 100);  // room for icon and buttons
    small.show();
    EXPECT_GE(small.width(), needed);
    EXPECT_GE(small.minimumWidth(), needed);  // the user cannot shrink it below the title either
    small.hide();

    // a fixed-size dialog grows in width only
    QDialog fixed(form.get());
    fixed.setWindowTitle(QStringLiteral("Quillmark 1.0 - Propriedades do Mapa de Batalha"));
    fixed.setFixedSize(120, 90);
    fixed.show();
    EXPECT_GE(fixed.width(), widthForTitle(&fixed));
    EXPECT_EQ(fixed.height(), 90);
    fixed.hide();

    // a wide dialog keeps its size
    QDialog wide(form.get());
    wide.setWindowTitle(QStringLiteral("Sobre"));
    wide.resize(700, 300);
    wide.show();
    EXPECT_EQ(wide.size(), QSize(700, 300));
    EXPECT_LT(wide.minimumWidth(), 700);
}
