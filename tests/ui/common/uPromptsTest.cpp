// The editor's real dialogs: stock buttons and dialogs in Portuguese whatever
// the locale, and file and picture dialogs that start where the project is.
#include "ProjectFixture.h"
#include "TempDir.h"

#include "ui/common/uPrompts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <QTranslator>
#include <functional>
#include <gtest/gtest.h>

using namespace quillmark;

namespace {

// Installs the Portuguese texts for one test and takes them away afterwards, so
// the other window tests see the toolkit as it is.
class PortugueseTest : public ::testing::Test {
protected:
    void SetUp() override {
        QLocale::setDefault(QLocale::c());
        before_ = qApp->findChildren<QTranslator*>();
        ASSERT_TRUE(installPortugueseTranslations(*qApp));
    }
    void TearDown() override {
        for (QTranslator* t : qApp->findChildren<QTranslator*>())
            if (!before_.contains(t)) {
                QCoreApplication::removeTranslator(t);
                delete t;
            }
        QLocale::setDefault(QLocale::system());
    }

private:
    QList<QTranslator*> before_;
};

// Runs `look` on the modal dialog the call below opens, then lets `close` end it.
void whenShown(const std::function<void(QWidget*)>& look) {
    QTimer::singleShot(0, qApp, [look] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        look(modal);
    });
}

QString startedIn(const std::function<void()>& open) {
    QString folder;
    whenShown([&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        folder = QDir::cleanPath(dialog->directory().absolutePath());
        dialog->reject();
    });
    open();
    return folder;
}

}  // namespace

TEST_F(PortugueseTest, AMessageBoxSpeaksPortugueseAndItsButtonsAnswer) {
    QtPrompts prompts;
    QStringList texts;
    whenShown([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        for (QAbstractButton* b : box->buttons()) texts << b->text().remove('&');
        box->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(prompts.message("Confirmação", "Desejá Salvar as Alterações?", Icon::Question, Buttons::YesNoCancel),
              Answer::No);
    texts.sort();
    EXPECT_EQ(texts, QStringList({"Cancelar", "Não", "Sim"}));

    whenShown([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        box->button(QMessageBox::Cancel)->click();
    });
    EXPECT_EQ(prompts.message("Confirmação", "?", Icon::Question, Buttons::YesNoCancel), Answer::Cancel);
}

TEST_F(PortugueseTest, TheInputBoxAndTheFileDialogSpeakPortuguese) {
    QtPrompts prompts;
    QStringList buttons;
    whenShown([&](QWidget* w) {
        for (QAbstractButton* b : w->findChildren<QAbstractButton*>()) buttons << b->text().remove('&');
        qobject_cast<QDialog*>(w)->reject();
    });
    EXPECT_FALSE(prompts.input("Nova Pasta", "Digite o nome da nova Pasta:", "").has_value());
    EXPECT_TRUE(buttons.contains("Cancelar")) << buttons.join(',').toStdString();
    EXPECT_FALSE(buttons.contains("Cancel"));

    QStringList labels;
    whenShown([&](QWidget* w) {
        for (QLabel* l : w->findChildren<QLabel*>()) labels << l->text().remove('&');
        for (QAbstractButton* b : w->findChildren<QAbstractButton*>()) labels << b->text().remove('&');
        qobject_cast<QDialog*>(w)->reject();
    });
    EXPECT_FALSE(prompts.openPicture().has_value());
    EXPECT_FALSE(labels.contains("File name:")) << labels.join(',').toStdString();
    EXPECT_FALSE(labels.contains("Look in:"));
    EXPECT_TRUE(labels.contains("Cancelar")) << labels.join(',').toStdString();
}

TEST(DialogStart, PicturesStartInTheProjectsImagens) {
    qmtest::ProjectFixture project;
    QtPrompts prompts;
    prompts.setProjectFolder(project.folder());
    const QString imagens = QDir::cleanPath(project.folder() + "Imagens");
    EXPECT_EQ(startedIn([&] { prompts.openPicture(); }), imagens);
    EXPECT_EQ(startedIn([&] { prompts.savePicture("Rosto.bmp"); }), imagens);
    // event scripts: the project folder
    const QString folder = QDir::cleanPath(project.folder());
    EXPECT_EQ(startedIn([&] { prompts.openFile("Quillmark Script|*.qms", ".qms"); }), folder);
    EXPECT_EQ(startedIn([&] { prompts.saveFile("Quillmark Script|*.qms", ".qms", false, QString()); }), folder);
}

TEST(DialogStart, TheProjectDialogsStartAtTheLastProject) {
    qmtest::TempDir dir;
    dir.write("Jogos/Vale/Vale.qmk", "x");
    QtPrompts prompts;
    prompts.setRecentProject(dir.file("Jogos/Vale/Vale.qmk"));
    EXPECT_EQ(startedIn([&] { prompts.openFile("Quillmark Project|*.qmk", "*.qmk"); }),
              QDir::cleanPath(dir.file("Jogos/Vale")));
    EXPECT_EQ(startedIn([&] { prompts.saveFile("Quillmark Project|*.qmk", "*.qmk", true, QString()); }),
              QDir::cleanPath(dir.file("Jogos")));
    // a name already typed keeps its own folder
    QDir().mkpath(dir.file("Outro"));
    EXPECT_EQ(startedIn([&] { prompts.saveFile("Quillmark Project|*.qmk", "*.qmk", true, dir.file("Outro/A.qmk")); }),
              QDir::cleanPath(dir.file("Outro")));
}

TEST(DialogFilters, ADescriptionThatShowsItsPatternsGetsThemOnce) {
    EXPECT_EQ(QtPrompts::qtFilter("Bitmaps (*.bmp)|*.bmp"), "Bitmaps (*.bmp)");
    EXPECT_EQ(QtPrompts::qtFilter("Quillmark Project|*.qmk"), "Quillmark Project (*.qmk)");
    EXPECT_EQ(QtPrompts::qtFilter("Scripts|*.qms|Todos|*.*"), "Scripts (*.qms);;Todos (*.*)");
    EXPECT_EQ(QtPrompts::qtFilter("Imagens|*.bmp;*.jpg"), "Imagens (*.bmp *.jpg)");
}
