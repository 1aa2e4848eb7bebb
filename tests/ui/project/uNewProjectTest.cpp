#include "ui/project/uNewProject.h"
#include "ProjectFixture.h"
#include "ScriptedPrompts.h"
#include "TempDir.h"
#include "model/core/MapFile.h"
#include "model/core/ProjectFile.h"
#include "model/project/ProjectCreation.h"
#include "model/session/Workspace.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace quillmark;

namespace {

struct WizardSetup {
    WizardSetup() {
        auto scripted = std::make_unique<qmtest::ScriptedPrompts>();
        prompts = scripted.get();
        ws = std::make_unique<Workspace>(std::move(scripted));
        ws->session().setEditorFolder(qmtest::binFolder());
        ws->session().tables().DataModuleCreate(ws->session().editorFolder());
        EditorSession* session = &ws->session();
        QObject::connect(session, &EditorSession::stateChanged, [this] {
            calls << QString("verificaStatus %1%2").arg(ws->session().projectOpen()).arg(ws->session().mapLoaded());
        });
        QObject::connect(session, &EditorSession::tilesChanged,
                         [this] { calls << QString("LoadImgs %1").arg(ws->session().tiles().count()); });
        QObject::connect(session, &EditorSession::projectClosed, [this] { calls << "closeProject"; });
        dialog = std::make_unique<TForm5>(*ws);
    }
    // A project with a map open, as after opening it.
    void openProject(qmtest::ProjectFixture& fixture, const std::string& map) {
        ws->session().openProject(fixture.projectFile());
        ws->session().openMap(fixture.dir.file("Mapas/" + QString::fromStdString(map)), map);
        calls.clear();
    }
    qmtest::ScriptedPrompts* prompts = nullptr;
    std::unique_ptr<Workspace> ws;
    std::unique_ptr<TForm5> dialog;
    QStringList calls;
};

QStringList labelsOf(QWidget* w) {
    QStringList out;
    for (QLabel* l : w->findChildren<QLabel*>()) out << l->text();
    return out;
}

}  // namespace

TEST(NewProjectWizard, LayoutAndDefaults) {
    WizardSetup s;
    TForm5& d = *s.dialog;
    EXPECT_EQ(d.windowTitle(), "Novo Projeto");
    EXPECT_EQ(labelsOf(&d), (QStringList{"Nome do Projeto:", "Autor:", "File Name:"}));
    EXPECT_EQ(d.EditNome->text(), "Meu Game");
    EXPECT_EQ(d.EditAutor->text(), QString::fromUtf8(kDefaultAuthor));
    EXPECT_FALSE(d.EditAutor->text().isEmpty());
    EXPECT_EQ(d.EditFile->text(), "");
    EXPECT_EQ(d.BtnLocalizar->text(), "Localizar");
    EXPECT_EQ(d.BtnOK->text(), "OK");
    EXPECT_EQ(d.BtnCancelar->text(), "Cancelar");
    EXPECT_TRUE(s.ws->session().links().newProjectWizard.filled());
}

TEST(NewProjectWizard, LocalizarFillsTheFileName) {
    WizardSetup s;
    TForm5& d = *s.dialog;
    d.show();
    s.prompts->answerText("/projetos/Aventura.qmk");
    QTest::mouseClick(d.BtnLocalizar, Qt::LeftButton);
    ASSERT_EQ(s.prompts->asked().size(), 1u);
    EXPECT_EQ(s.prompts->asked()[0].kind, "saveFile");
    EXPECT_EQ(d.EditFile->text(), "/projetos/Aventura.qmk");
    s.prompts->answerNothing();
    QTest::mouseClick(d.BtnLocalizar, Qt::LeftButton);
    EXPECT_EQ(d.EditFile->text(), "/projetos/Aventura.qmk");
    d.reject();
}

TEST(NewProjectWizard, EmptyNameOrFileIsRefusedAndNothingCloses) {
    WizardSetup s;
    qmtest::ProjectFixture fixture;
    fixture.addMap("Vila.xml");
    s.openProject(fixture, "Vila.xml");
    qmtest::TempDir target;
    TForm5& d = *s.dialog;
    d.show();
    d.EditNome->setText("");
    d.EditFile->setText(target.file("A.qmk"));
    QTest::mouseClick(d.BtnOK, Qt::LeftButton);
    d.EditNome->setText("A");
    d.EditFile->setText("");
    QTest::mouseClick(d.BtnOK, Qt::LeftButton);
    EXPECT_EQ(s.prompts->messages(), (QStringList{QString::fromUtf8("Não foi possivel criar o projeto!"),
                                                  QString::fromUtf8("Não foi possivel criar o projeto!")}));
    EXPECT_EQ(s.prompts->asked()[0].title, "Quillmark");
    EXPECT_TRUE(d.isVisible());
    EXPECT_TRUE(s.calls.isEmpty());
    EXPECT_TRUE(s.ws->session().projectOpen());
    EXPECT_TRUE(QDir(target.path()).isEmpty());
    d.reject();
}

TEST(NewProjectWizard, OkClosesTheOpenProjectCreatesAndRefreshes) {
    WizardSetup s;
    qmtest::ProjectFixture fixture;
    fixture.addMap("Vila.xml");
    s.openProject(fixture, "Vila.xml");
    qmtest::TempDir target;
    const QString file = target.file("Jogo.v1.qmk");
    bool visibleWhileCopying = true;
    s.ws->session().tables().cdsTiles.afterOpen = [&](RecordTable&) { visibleWhileCopying = s.dialog->isVisible(); };

    QTimer::singleShot(0, [&] {
        s.dialog->EditNome->setText("   ");  // blanks make a name
        s.dialog->EditAutor->setText(QString::fromUtf8("Zé"));
        s.dialog->EditFile->setText(file);
        QTest::mouseClick(s.dialog->BtnOK, Qt::LeftButton);
    });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&] {
        ADD_FAILURE() << "the wizard stayed open";
        s.dialog->reject();
    });
    guard.start(30000);
    s.ws->session().links().newProjectWizard();

    EXPECT_FALSE(s.dialog->isVisible());
    EXPECT_FALSE(visibleWhileCopying);  // the wizard closes before the copies
    EXPECT_EQ(s.calls, (QStringList{"verificaStatus 00", "closeProject", "verificaStatus 10", "LoadImgs 147"}));
    EXPECT_TRUE(s.ws->session().projectOpen());
    EXPECT_FALSE(s.ws->session().mapLoaded());
    EXPECT_EQ(s.ws->session().project().ProjectName, "   ");
    EXPECT_EQ(s.ws->session().project().ProjectAuthor, "Z\xE9");
    EXPECT_EQ(s.ws->session().project().RuntimePath, target.file("Jogo.exe"));
    EXPECT_EQ(target.read("Jogo.v1.qmk"), QByteArray("Project Name:   \r\nProject Autor:Z\xE9\r\nMapas:\r\n"
                                                     "Mapa Inicial:\r\nChar X:200\r\nChar Y:190\r\n"));
    EXPECT_TRUE(target.exists("Jogo.exe"));
    EXPECT_TRUE(target.exists("Imagens/Grama.bmp"));
    ASSERT_NE(s.ws->session().tree().root(), nullptr);
    EXPECT_EQ(s.ws->session().tree().root()->text(), "   ");
    EXPECT_EQ(s.ws->session().tree().count(), 1u);
    EXPECT_TRUE(s.ws->session().tables().cdsPersonagem.fileName().startsWith(target.path()));
    EXPECT_TRUE(s.prompts->asked().empty());

    // The texts stay for the next use.
    EXPECT_EQ(s.dialog->EditNome->text(), "   ");
    EXPECT_EQ(s.dialog->EditFile->text(), file);
}

TEST(NewProjectWizard, UnsavedChangesAreAskedAboutBeforeTheProjectCloses) {
    WizardSetup s;
    qmtest::ProjectFixture fixture;
    fixture.addMap("Vila.xml");
    s.openProject(fixture, "Vila.xml");
    s.ws->session().mapEditing().paint(EditLayer::Tipo, 2, 2, 'H');
    qmtest::TempDir target;
    TForm5& d = *s.dialog;
    d.show();
    d.EditFile->setText(target.file("Novo.qmk"));

    s.prompts->answer(Answer::Cancel);
    QTest::mouseClick(d.BtnOK, Qt::LeftButton);
    EXPECT_EQ(s.prompts->messages(), QStringList{QString::fromUtf8("Desejá Salvar as Alterações?")});
    EXPECT_TRUE(d.isVisible());
    EXPECT_TRUE(s.calls.isEmpty());
    EXPECT_TRUE(s.ws->session().projectOpen());
    EXPECT_TRUE(s.ws->session().modified());
    EXPECT_TRUE(QDir(target.path()).isEmpty());

    s.prompts->answer(Answer::Yes);
    QTest::mouseClick(d.BtnOK, Qt::LeftButton);
    EXPECT_FALSE(d.isVisible());
    MapGrid saved;
    Abrir(saved, fixture.dir.file("Mapas/Vila.xml"));
    EXPECT_EQ(saved.tipo(2, 2), 'H');
    EXPECT_EQ(s.calls.mid(0, 2), (QStringList{"verificaStatus 00", "closeProject"}));
    EXPECT_TRUE(target.exists("Novo.qmk"));
    EXPECT_EQ(s.ws->session().project().ProjectName, "Meu Game");
}

TEST(NewProjectWizard, CancelarWritesNothingAndKeepsTheTexts) {
    WizardSetup s;
    qmtest::TempDir target;
    TForm5& d = *s.dialog;
    d.show();
    d.EditNome->setText("Outro");
    d.EditFile->setText(target.file("Outro.qmk"));
    QTest::mouseClick(d.BtnCancelar, Qt::LeftButton);
    EXPECT_FALSE(d.isVisible());
    EXPECT_TRUE(QDir(target.path()).isEmpty());
    EXPECT_FALSE(s.ws->session().projectOpen());
    d.show();
    EXPECT_EQ(d.EditNome->text(), "Outro");
    EXPECT_EQ(d.EditFile->text(), target.file("Outro.qmk"));
    d.reject();
}

TEST(NewProjectWizard, IntoAFolderThatDoesNotExistMakesItAndOpensTheProject) {
    WizardSetup s;
    qmtest::ProjectFixture fixture;
    fixture.addMap("Vila.xml");
    s.openProject(fixture, "Vila.xml");
    qmtest::TempDir target;
    TForm5& d = *s.dialog;
    d.show();
    d.EditFile->setText(target.file("Jogos/Novo Vale/Vale.qmk"));
    QTest::mouseClick(d.BtnOK, Qt::LeftButton);
    EXPECT_TRUE(s.prompts->asked().empty()) << s.prompts->messages().join('|').toStdString();
    EXPECT_FALSE(d.isVisible());
    EXPECT_TRUE(s.ws->session().projectOpen());
    EXPECT_EQ(s.ws->session().project().ProjectFolder, target.file("Jogos/Novo Vale/"));
    EXPECT_TRUE(target.exists("Jogos/Novo Vale/Vale.qmk"));
    EXPECT_TRUE(target.exists("Jogos/Novo Vale/Data/Tiles.xml"));
    EXPECT_TRUE(target.exists("Jogos/Novo Vale/Imagens/Grama.bmp"));
    // the dialogs now start in the new project
    EXPECT_EQ(s.prompts->startFolder(DialogPlace::Pictures), target.file("Jogos/Novo Vale/Imagens/"));
}

TEST(NewProjectWizard, ATargetThatCannotBeWrittenLeavesTheOpenProjectOpen) {
    WizardSetup s;
    qmtest::ProjectFixture fixture;
    fixture.addMap("Vila.xml");
    s.openProject(fixture, "Vila.xml");
    s.ws->session().mapEditing().paint(EditLayer::Tipo, 2, 2, 'H');
    qmtest::TempDir target;
    target.write("arquivo", "a file where a folder should be");
    TForm5& d = *s.dialog;
    d.show();
    for (const QString& file : {target.file("arquivo/sub/A.qmk"), target.path()}) {
        s.prompts->clear();
        s.prompts->answer(Answer::No);  // no saving asked for: the map stays modified
        d.EditFile->setText(file);
        QTest::mouseClick(d.BtnOK, Qt::LeftButton);
        ASSERT_EQ(s.prompts->asked().size(), 2u) << file.toStdString();
        EXPECT_EQ(s.prompts->asked()[1].title, "Quillmark");
        EXPECT_EQ(s.prompts->asked()[1].icon, Icon::Stop);
        EXPECT_TRUE(d.isVisible());
        // where the user was: the project, its map and its unsaved change
        EXPECT_TRUE(s.calls.isEmpty()) << s.calls.join('|').toStdString();
        EXPECT_TRUE(s.ws->session().projectOpen());
        EXPECT_TRUE(s.ws->session().mapLoaded());
        EXPECT_TRUE(s.ws->session().modified());
        EXPECT_EQ(s.ws->session().grid().tipo(2, 2), 'H');
        EXPECT_EQ(s.ws->session().project().ProjectFolder, fixture.folder());
    }
    EXPECT_EQ(target.read("arquivo"), "a file where a folder should be");
    d.reject();
}
