#include "ui/main/uNewMap.h"
#include "ProjectFixture.h"
#include "ScriptedPrompts.h"
#include "model/core/MapFile.h"
#include "model/core/ProjectFile.h"
#include "model/mapedit/NewMap.h"
#include "model/session/Workspace.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <vector>

using namespace quillmark;

namespace {

// The fixture's project opened in a workspace as the editor opens it,
// recording what the session announces to the other windows.
struct NewMapSetup {
    explicit NewMapSetup(qmtest::ProjectFixture& fixture) {
        auto scripted = std::make_unique<qmtest::ScriptedPrompts>();
        prompts = scripted.get();
        ws = std::make_unique<Workspace>(std::move(scripted));
        ws->session().setEditorFolder(qmtest::binFolder());
        ws->session().openProject(fixture.projectFile());
        EditorSession* session = &ws->session();
        QObject::connect(session, &EditorSession::mapClosed, [this] { calls << "destroyCells"; });
        QObject::connect(session, &EditorSession::newMapOpened,
                         [this] { calls << QString("buildNewMapCells %1").arg(ws->session().grid().N); });
        QObject::connect(session, &EditorSession::stateChanged, [this] {
            calls << QString("verificaStatus %1%2").arg(ws->session().projectOpen()).arg(ws->session().mapLoaded());
        });
        dialog = std::make_unique<TOKRightDlg>(*ws);
    }
    // A map loaded in the canvas, as after opening it.
    void loadMap(const std::string& name, const QString& path) {
        ws->session().openMap(path, name);
        calls.clear();
    }
    qmtest::ScriptedPrompts* prompts = nullptr;
    std::unique_ptr<Workspace> ws;
    std::unique_ptr<TOKRightDlg> dialog;
    QStringList calls;
};

// Types text character by character, as a keyboard would (any character).
void typeText(QWidget* w, const QString& text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &release);
    }
}

// Runs the new-map command; `act` runs inside the dialog's modal loop.
void runCommand(NewMapSetup& s, const std::function<void(TOKRightDlg&)>& act) {
    bool acted = false;
    QTimer::singleShot(0, [&] {
        acted = true;
        act(*s.dialog);
    });
    // A dialog left open by a failing step must not hang the test.
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&] {
        ADD_FAILURE() << "the dialog stayed open";
        s.dialog->reject();
    });
    guard.start(15000);
    s.ws->session().newMapCommand();
    EXPECT_TRUE(acted);
}

}  // namespace

TEST(NewMapDialog, Layout) {
    qmtest::ProjectFixture fixture;
    NewMapSetup s(fixture);
    TOKRightDlg& d = *s.dialog;
    EXPECT_EQ(d.windowTitle(), "Novo Mapa");
    EXPECT_EQ(d.size(), QSize(302, 110));
    EXPECT_EQ(d.Edit1->maxLength(), 20);
    EXPECT_EQ(d.Edit2->text(), "14");
    EXPECT_FALSE(d.Edit2->isReadOnly());
    EXPECT_EQ(d.OKBtn->text(), "OK");
    EXPECT_EQ(d.CancelBtn->text(), "Cancel");
    EXPECT_TRUE(d.OKBtn->isDefault());
    // Characters a project file cannot hold are not taken.
    d.show();
    typeText(d.Edit1, QString::fromUtf8("Vila→Nova"));
    EXPECT_EQ(d.Edit1->text(), "VilaNova");
    d.Edit1->clear();
    typeText(d.Edit1, QString::fromUtf8("Aldeia de São João da Serra"));
    EXPECT_EQ(d.Edit1->text(), QString::fromUtf8("Aldeia de São João d"));
    d.reject();
}

TEST(NewMapDialog, EnterActsAsOkAndTheCommandBuildsAndSavesTheMap) {
    qmtest::ProjectFixture fixture;
    NewMapSetup s(fixture);
    runCommand(s, [&](TOKRightDlg& d) {
        EXPECT_EQ(d.focusWidget(), d.Edit1);
        QTest::keyClicks(d.Edit1, "Vila");
        QTest::keyClick(d.Edit1, Qt::Key_Return);
    });
    EXPECT_FALSE(s.dialog->isVisible());
    EXPECT_TRUE(s.dialog->resultOk());
    EXPECT_EQ(s.calls, (QStringList{"buildNewMapCells 14", "verificaStatus 11"}));
    EXPECT_TRUE(s.ws->session().mapLoaded());
    EXPECT_FALSE(s.ws->session().modified());
    EXPECT_EQ(s.ws->session().grid().CurrentMap, "Vila.xml");
    EXPECT_EQ(s.ws->session().project().InitialMap, "Vila.xml");
    EXPECT_TRUE(fixture.dir.exists("Mapas/Vila.xml"));
    EXPECT_TRUE(fixture.dir.read("Aventura.qmk").contains("\r\nMapas:Vila.xml%\r\nMapa Inicial:Vila.xml\r\n"));
    EXPECT_TRUE(fixture.dir.read("Data/Project.dat").contains("\tVila.xml\r\n"));
    EXPECT_TRUE(s.prompts->asked().empty());

    // A second map: the name field keeps its text; the loaded map's cells go first.
    runCommand(s, [&](TOKRightDlg& d) {
        EXPECT_EQ(d.Edit1->text(), "Vila");
        EXPECT_FALSE(d.resultOk());
        d.Edit1->setText("Caverna");
        QTest::mouseClick(d.OKBtn, Qt::LeftButton);
    });
    EXPECT_EQ(s.calls.mid(2), (QStringList{"destroyCells", "buildNewMapCells 14", "verificaStatus 11"}));
    EXPECT_EQ(s.ws->session().project().InitialMap, "Vila.xml");
    EXPECT_TRUE(
        fixture.dir.read("Aventura.qmk").contains("\r\nMapas:Vila.xml%Caverna.xml%\r\nMapa Inicial:Vila.xml\r\n"));
}

TEST(NewMapDialog, EscCancelsAndLeavesTheLoadedMapAlone) {
    qmtest::ProjectFixture fixture;
    fixture.addMap("Vila.xml");
    NewMapSetup s(fixture);
    s.loadMap("Vila.xml", fixture.dir.file("Mapas/Vila.xml"));
    const QByteArray project = fixture.dir.read("Aventura.qmk");
    runCommand(s, [&](TOKRightDlg& d) {
        QTest::keyClicks(d.Edit1, "Outro");
        QTest::keyClick(d.Edit1, Qt::Key_Escape);
    });
    EXPECT_FALSE(s.dialog->isVisible());
    EXPECT_FALSE(s.dialog->resultOk());
    EXPECT_TRUE(s.calls.isEmpty());
    EXPECT_EQ(s.ws->session().grid().CurrentMap, "Vila.xml");
    EXPECT_TRUE(s.ws->session().mapLoaded());
    EXPECT_EQ(fixture.dir.read("Aventura.qmk"), project);
    EXPECT_FALSE(fixture.dir.exists("Mapas/Outro.xml"));
}

TEST(NewMapDialog, ExistingMapRefusedWithTheMessageAndTheDialogStaysOpen) {
    qmtest::ProjectFixture fixture;
    fixture.addMap("Vila.xml");
    fixture.dir.write("Data/Project.dat", "Aventura\r\n\tVila.xml\r\n");
    NewMapSetup s(fixture);
    const QByteArray project = fixture.dir.read("Aventura.qmk");
    TOKRightDlg& d = *s.dialog;
    d.show();
    for (const char* name : {"Vila", "vila"}) {
        d.Edit1->setText(name);
        QTest::mouseClick(d.OKBtn, Qt::LeftButton);
        EXPECT_TRUE(d.isVisible());
        EXPECT_FALSE(d.resultOk());
        EXPECT_EQ(d.Edit1->text(), name);
    }
    ASSERT_EQ(s.prompts->asked().size(), 2u);
    EXPECT_EQ(s.prompts->asked()[0].title, QString::fromUtf8("Atenção"));
    EXPECT_EQ(s.prompts->asked()[0].text, QString::fromUtf8("O mapa já existe!!! Escolha outro nome."));
    EXPECT_EQ(s.prompts->asked()[0].icon, Icon::Warning);
    EXPECT_EQ(fixture.dir.read("Aventura.qmk"), project);
    EXPECT_TRUE(s.calls.isEmpty());

    d.Edit1->setText("Vila2");
    QTest::mouseClick(d.OKBtn, Qt::LeftButton);
    EXPECT_FALSE(d.isVisible());
    EXPECT_TRUE(d.resultOk());
    EXPECT_TRUE(fixture.dir.read("Aventura.qmk").contains("Mapas:Vila.xml%Vila2.xml%\r\n"));
}

TEST(NewMapDialog, RefusedNamesAreExplainedAndWriteNothing) {
    qmtest::ProjectFixture fixture;
    NewMapSetup s(fixture);
    const QByteArray project = fixture.dir.read("Aventura.qmk");
    TOKRightDlg& d = *s.dialog;
    d.show();
    const QStringList bad{"", ".", "..", "../Fora", "a\\b", "c:d", "x*", "q?", "a\"b", "<p>", "a|b"};
    for (const QString& name : bad) {
        d.Edit1->setText(name);
        QTest::mouseClick(d.OKBtn, Qt::LeftButton);
        EXPECT_TRUE(d.isVisible()) << name.toStdString();
    }
    ASSERT_EQ(s.prompts->asked().size(), static_cast<size_t>(bad.size()));
    EXPECT_EQ(s.prompts->asked()[0].text, QString::fromUtf8(kMapNameEmpty));
    for (size_t i = 1; i < s.prompts->asked().size(); ++i) {
        EXPECT_EQ(s.prompts->asked()[i].text, QString::fromUtf8(kMapNameInvalid));
        EXPECT_EQ(s.prompts->asked()[i].title, QString::fromUtf8("Atenção"));
    }
    EXPECT_EQ(fixture.dir.read("Aventura.qmk"), project);
    EXPECT_FALSE(fixture.dir.exists("Data/Project.dat"));
    EXPECT_FALSE(fixture.dir.exists("Fora.xml"));
    EXPECT_TRUE(QDir(fixture.dir.file("Mapas")).isEmpty());
    EXPECT_TRUE(s.ws->session().project().MapList.isEmpty());
    EXPECT_FALSE(s.ws->session().mapLoaded());
    d.reject();
}

TEST(NewMapDialog, BlankEndsPercentAndAnExcludedMapAreRefused) {
    qmtest::ProjectFixture fixture;
    fixture.addMap("Vila.xml");  // listed in the project file, absent from the tree
    NewMapSetup s(fixture);
    const QByteArray project = fixture.dir.read("Aventura.qmk");
    const QByteArray vila = fixture.dir.read("Mapas/Vila.xml");
    TOKRightDlg& d = *s.dialog;
    d.show();
    const std::vector<std::pair<QString, const char*>> cases{{" Vila", kMapNameBlankEnds},
                                                             {"Casa ", kMapNameBlankEnds},
                                                             {"a%b", kMapNameInvalid},
                                                             {"VILA", kMapAlreadyExists}};
    for (const auto& [name, message] : cases) {
        d.Edit1->clear();
        QTest::keyClicks(d.Edit1, name);
        QTest::keyClick(d.Edit1, Qt::Key_Return);
        EXPECT_TRUE(d.isVisible()) << name.toStdString();
    }
    ASSERT_EQ(s.prompts->asked().size(), cases.size());
    for (size_t i = 0; i < cases.size(); ++i)
        EXPECT_EQ(s.prompts->asked()[i].text, QString::fromUtf8(cases[i].second)) << i;
    EXPECT_EQ(fixture.dir.read("Aventura.qmk"), project);
    EXPECT_EQ(fixture.dir.read("Mapas/Vila.xml"), vila);
    EXPECT_EQ(QDir(fixture.dir.file("Mapas")).entryList(QDir::Files), QStringList{"Vila.xml"});
    d.reject();
}

TEST(NewMapDialog, UnsavedChangesAreAskedAboutFirst) {
    qmtest::ProjectFixture fixture;
    fixture.addMap("Vila.xml");
    NewMapSetup s(fixture);
    s.loadMap("Vila.xml", fixture.dir.file("Mapas/Vila.xml"));
    s.ws->session().mapEditing().paint(EditLayer::Tipo, 1, 1, 'G');
    const QByteArray vila = fixture.dir.read("Mapas/Vila.xml");
    TOKRightDlg& d = *s.dialog;
    d.show();
    d.Edit1->setText("Caverna");

    // Cancel: the dialog stays open and nothing changes.
    s.prompts->answer(Answer::Cancel);
    QTest::mouseClick(d.OKBtn, Qt::LeftButton);
    ASSERT_EQ(s.prompts->messages(), QStringList{QString::fromUtf8("Desejá Salvar as Alterações?")});
    EXPECT_EQ(s.prompts->asked()[0].title, QString::fromUtf8("Confirmação"));
    EXPECT_EQ(s.prompts->asked()[0].buttons, Buttons::YesNoCancel);
    EXPECT_TRUE(d.isVisible());
    EXPECT_TRUE(s.ws->session().modified());
    EXPECT_EQ(s.ws->session().grid().CurrentMap, "Vila.xml");
    EXPECT_TRUE(s.calls.isEmpty());
    EXPECT_FALSE(fixture.dir.read("Aventura.qmk").contains("Caverna"));

    // Yes: the loaded map is saved, then the new one registered.
    s.prompts->answer(Answer::Yes);
    QTest::mouseClick(d.OKBtn, Qt::LeftButton);
    EXPECT_FALSE(d.isVisible());
    EXPECT_NE(fixture.dir.read("Mapas/Vila.xml"), vila);
    MapGrid saved;
    Abrir(saved, fixture.dir.file("Mapas/Vila.xml"));
    EXPECT_EQ(saved.tipo(1, 1), 'G');
    EXPECT_EQ(s.calls.first(), "destroyCells");
    EXPECT_EQ(s.ws->session().grid().CurrentMap, "Caverna.xml");
}

TEST(NewMapDialog, AnswerNoDiscardsTheChanges) {
    qmtest::ProjectFixture fixture;
    fixture.addMap("Vila.xml");
    NewMapSetup s(fixture);
    s.loadMap("Vila.xml", fixture.dir.file("Mapas/Vila.xml"));
    s.ws->session().mapEditing().paint(EditLayer::Tipo, 1, 1, 'G');
    const QByteArray vila = fixture.dir.read("Mapas/Vila.xml");
    s.prompts->answer(Answer::No);
    runCommand(s, [&](TOKRightDlg& d) {
        d.Edit1->setText("Caverna");
        QTest::mouseClick(d.OKBtn, Qt::LeftButton);
    });
    EXPECT_EQ(fixture.dir.read("Mapas/Vila.xml"), vila);
    EXPECT_TRUE(fixture.dir.exists("Mapas/Caverna.xml"));
    EXPECT_FALSE(s.ws->session().modified());
    EXPECT_EQ(s.ws->session().grid().tipo(1, 1), '0');
}

TEST(NewMapDialog, CommandNeedsAnOpenProject) {
    qmtest::ProjectFixture fixture;
    NewMapSetup s(fixture);
    s.ws->session().closeProject();
    s.calls.clear();
    s.ws->session().newMapCommand();  // returns at once: no dialog shown
    EXPECT_FALSE(s.dialog->isVisible());
    EXPECT_TRUE(s.calls.isEmpty());
}

TEST(NewMapDialog, ProjectFileThatCannotBeWrittenLeavesNoMapLoaded) {
    qmtest::ProjectFixture fixture;
    fixture.addMap("Vila.xml");
    NewMapSetup s(fixture);
    s.loadMap("Vila.xml", fixture.dir.file("Mapas/Vila.xml"));
    QFile::remove(fixture.projectFile());
    QDir().mkpath(fixture.projectFile());
    TOKRightDlg& d = *s.dialog;
    d.show();
    d.Edit1->setText("Caverna");
    QTest::mouseClick(d.OKBtn, Qt::LeftButton);
    ASSERT_EQ(s.prompts->asked().size(), 1u);
    EXPECT_EQ(s.prompts->asked()[0].title, "Quillmark");  // the general error box
    EXPECT_TRUE(d.isVisible());
    EXPECT_FALSE(d.resultOk());
    EXPECT_FALSE(s.ws->session().mapLoaded());
    EXPECT_EQ(s.ws->session().grid().CurrentMap, "");
    EXPECT_EQ(s.calls.last(), "verificaStatus 10");
    d.reject();
}

TEST(NewMapDialog, TheSizeTakesOneToAHundredAndRefusesAnythingElse) {
    qmtest::ProjectFixture fixture;
    NewMapSetup s(fixture);
    // Sizes a map file cannot hold are refused with a warning; the dialog
    // stays open and nothing is registered or written.
    for (const char* bad : {"0", "101", "", "-3"}) {
        s.prompts->answer(Answer::Ok);
        runCommand(s, [&](TOKRightDlg& d) {
            QTest::keyClicks(d.Edit1, "Vila");
            d.Edit2->setText(QString::fromLatin1(bad));  // past the validator, as a paste would be
            d.OKBtnClick();
            EXPECT_TRUE(d.isVisible()) << bad;
            d.reject();
        });
        EXPECT_FALSE(s.dialog->resultOk()) << bad;
        EXPECT_FALSE(fixture.dir.exists("Mapas/Vila.xml")) << bad;
        ASSERT_FALSE(s.prompts->messages().isEmpty());
        EXPECT_EQ(s.prompts->messages().last(), QString::fromUtf8(kMapSizeInvalid));
        s.dialog->Edit1->clear();
    }
    EXPECT_TRUE(s.ws->session().project().MapList.isEmpty());
    // typed letters never reach the field
    s.dialog->show();
    s.dialog->Edit2->clear();
    QTest::keyClicks(s.dialog->Edit2, "a7b");
    EXPECT_EQ(s.dialog->Edit2->text(), "7");
    s.dialog->reject();

    // 1 and 100 are both maps
    for (const auto& [name, size] : {std::pair<const char*, int>{"Cela", 1}, {"Mundo", 100}}) {
        runCommand(s, [&](TOKRightDlg& d) {
            d.Edit1->setText(QString::fromLatin1(name));
            d.Edit2->setText(QString::number(size));
            d.OKBtnClick();
        });
        EXPECT_TRUE(s.dialog->resultOk()) << name;
        EXPECT_EQ(s.ws->session().grid().N, size);
        MapGrid g;
        Abrir(g, fixture.folder() + "Mapas/" + QString::fromLatin1(name) + ".xml");
        EXPECT_EQ(g.N, size) << name;
        EXPECT_EQ(g.tipo(size, size), '0');
    }
    // the size typed is kept for the next map, as the name is
    EXPECT_EQ(s.dialog->Edit2->text(), "100");
}
