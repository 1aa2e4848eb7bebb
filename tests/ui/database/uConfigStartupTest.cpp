// The database window among the editor's windows: created before the data
// holder, and opened by the main window's database command.
#include "ModalDriver.h"
#include "ProjectFixture.h"
#include "ScriptedPrompts.h"
#include "apps/editor/uWindows.h"
#include "model/session/Workspace.h"
#include "ui/database/uConfig.h"

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>
#include <gtest/gtest.h>

using namespace quillmark;

TEST(DatabaseWindowStartUp, CreatedBeforeTheTablesAndOpenedByTheDatabaseCommand) {
    qmtest::TempDir settings;
    qmtest::ProjectFixture fixture;
    Workspace ws(std::make_unique<qmtest::ScriptedPrompts>());
    ws.session().setEditorFolder(qmtest::binFolder());
    TForm1::Options o;
    o.iniPath = settings.file("quillmark.INI");
    o.recentPath = settings.file("conf.ini");
    o.registerAssociation = [] {};
    TApplicationWindows windows(ws, o);
    TForm2& form2 = windows.Form2();
    // opening the spells table at start-up already filled the window's spell list
    EXPECT_EQ(form2.ListaMagias->count(), 5);
    // without a project the command does nothing
    QAction* command = windows.Form1().menuAction("Banco de Dados");
    ASSERT_NE(command, nullptr);
    EXPECT_EQ(command->shortcut(), QKeySequence(Qt::Key_F7));
    command->trigger();
    EXPECT_FALSE(form2.isVisible());

    fixture.addMap("Vila.xml");  // the menu entry needs a loaded map
    windows.Form1().abrirProjeto(fixture.projectFile());
    ASSERT_TRUE(command->isEnabled());
    ASSERT_TRUE(ws.session().projectOpen());
    bool shown = false;
    qmtest::ModalDriver driver;
    driver.when<TForm2>([&](TForm2* f) {
        shown = f->isVisible() && f->pageInFront() == DatabasePage::Game;
        EXPECT_EQ(f->EditNome->text(), "Aventura");
        f->close();
    });
    command->trigger();
    EXPECT_TRUE(shown);
    EXPECT_FALSE(form2.isVisible());
}
