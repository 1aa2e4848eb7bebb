// The editor's commands through the session alone, without windows: the
// questions answered from a script, the files checked on disk, the heard the
// windows follow counted.
#include "HeadlessEditor.h"
#include "PaintedMap.h"
#include "ProjectFixture.h"
#include "ScriptedPrompts.h"
#include "TempDir.h"
#include "model/core/MapFile.h"
#include "model/session/Workspace.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace quillmark;

namespace {

const QString kQuestion = QStringLiteral("Desejá Salvar as Alterações?");

struct Session : qmtest::HeadlessEditor {
    Session() {
        EditorSession* s = &session();
        QObject::connect(s, &EditorSession::stateChanged, [this] { heard << "state"; });
        QObject::connect(s, &EditorSession::mapOpened, [this](bool was) { heard << (was ? "map again" : "map"); });
        QObject::connect(s, &EditorSession::newMapOpened, [this] { heard << "new map"; });
        QObject::connect(s, &EditorSession::mapClosed, [this] { heard << "map closed"; });
        QObject::connect(s, &EditorSession::projectOpened, [this] { heard << "opened"; });
        QObject::connect(s, &EditorSession::projectClosed, [this] { heard << "closed"; });
        QObject::connect(s, &EditorSession::tilesChanged, [this] { heard << "tiles"; });
        QObject::connect(s, &EditorSession::brushReset, [this] { heard << "brush"; });
        session().setProgramStarter([this](const QString& program, QString* reason) {
            started << program;
            if (refuseStart) *reason = "sem permissão";
            return !refuseStart;
        });
    }
    // Paints cell (1, 1) as the canvas does.
    void paint(unsigned char code) { session().mapEditing().paint(EditLayer::Tipo, 1, 1, code); }

    QStringList heard;
    QStringList started;
    bool refuseStart = false;
};

unsigned char tipoInFile(const qmtest::ProjectFixture& p, const char* map) {
    MapGrid g;
    Abrir(g, p.folder() + "Mapas/" + map);
    return g.tipo(1, 1);
}

}  // namespace

TEST(EditorSession, OpeningRunsEveryStepAndAnnouncesThemInOrder) {
    qmtest::ProjectFixture p;
    p.addMap("Vila.xml", qmtest::paintedGrid(14));
    Session s;
    s.session().openProject(p.projectFile());
    EXPECT_EQ(s.heard, (QStringList{"tiles", "map", "brush", "state", "opened"}));
    EXPECT_TRUE(s.session().projectOpen());
    EXPECT_TRUE(s.session().mapLoaded());
    EXPECT_FALSE(s.session().modified());
    EXPECT_EQ(s.session().currentMap(), "Vila.xml");
    EXPECT_TRUE(s.ws->session().tables().cdsMonstros.active());
    EXPECT_EQ(s.ws->session().tiles().count(), 147);
}

TEST(EditorSession, AFailedOpenLeavesNoProject) {
    qmtest::ProjectFixture p;
    p.addMap("Vila.xml");
    QFile::remove(p.folder() + "Mapas/Vila.xml");  // listed, but gone
    Session s;
    EXPECT_FALSE(s.run([&] { s.session().openProject(p.projectFile()); }));
    EXPECT_EQ(s.prompts->asked().size(), 1u);  // the general error box
    EXPECT_FALSE(s.session().projectOpen());
    EXPECT_FALSE(s.session().mapLoaded());
    EXPECT_TRUE(s.ws->session().project().ProjectFile.isEmpty());
    EXPECT_EQ(s.ws->session().tree().root(), nullptr);
    EXPECT_EQ(s.heard.last(), "closed");

    // A project file that is not one fails the same way.
    qmtest::TempDir dir;
    dir.write("x.qmk", "Project Name:A\r\nProject Autor:B\r\nMapas:\r\nMapa Inicial:\r\nChar X:+-5\r\nChar Y:1\r\n");
    EXPECT_FALSE(s.run([&] { s.session().openProject(dir.file("x.qmk")); }));
    EXPECT_TRUE(s.prompts->messages().last().contains("'+-5' is not a valid integer value"));
    EXPECT_FALSE(s.session().projectOpen());
}

TEST(EditorSession, OpeningAnotherProjectAsksAboutUnsavedChangesThreeWays) {
    qmtest::ProjectFixture first("Primeiro", "Primeiro.qmk");
    first.addMap("Vila.xml");
    qmtest::ProjectFixture second("Segundo", "Segundo.qmk");
    second.addMap("Caverna.xml");
    Session s;
    s.session().openProject(first.projectFile());
    s.paint('6');

    s.prompts->answer(Answer::Cancel);
    EXPECT_FALSE(s.session().openProjectAsking(second.projectFile()));
    EXPECT_EQ(s.prompts->messages(), QStringList{kQuestion});
    EXPECT_EQ(s.ws->session().project().ProjectName, "Primeiro");
    EXPECT_TRUE(s.session().modified());

    s.prompts->answer(Answer::No);
    EXPECT_TRUE(s.session().openProjectAsking(second.projectFile()));
    EXPECT_EQ(s.ws->session().project().ProjectName, "Segundo");
    EXPECT_EQ(tipoInFile(first, "Vila.xml"), '0');  // not saved
    EXPECT_FALSE(s.session().modified());

    s.paint('7');
    s.prompts->answer(Answer::Yes);
    EXPECT_TRUE(s.session().openProjectAsking(first.projectFile()));
    EXPECT_EQ(tipoInFile(second, "Caverna.xml"), '7');  // saved first
    EXPECT_EQ(s.ws->session().project().ProjectName, "Primeiro");
    EXPECT_TRUE(s.prompts->allAnswersUsed());
}

TEST(EditorSession, CloseAllAsksThenDiscardsEverything) {
    qmtest::ProjectFixture p;
    p.addMap("Vila.xml");
    Session s;
    s.session().openProject(p.projectFile());
    s.paint('6');
    s.prompts->answer(Answer::Cancel);
    EXPECT_FALSE(s.session().closeAll());
    EXPECT_TRUE(s.session().projectOpen());

    s.heard.clear();
    s.prompts->answer(Answer::No);
    EXPECT_TRUE(s.session().closeAll());
    EXPECT_EQ(s.heard, (QStringList{"map closed", "state", "closed"}));
    EXPECT_FALSE(s.session().projectOpen());
    EXPECT_FALSE(s.session().mapLoaded());
    EXPECT_FALSE(s.session().modified());
    EXPECT_EQ(s.session().currentMap(), "");
    EXPECT_EQ(tipoInFile(p, "Vila.xml"), '0');
    // Without a project there is nothing to ask.
    EXPECT_TRUE(s.session().closeAll());
    EXPECT_EQ(s.prompts->asked().size(), 2u);
}

TEST(EditorSession, NewMapAsksAboutTheLoadedMapFirst) {
    qmtest::ProjectFixture p;
    p.addMap("Vila.xml");
    Session s;
    s.session().openProject(p.projectFile());
    s.paint('6');

    s.prompts->answer(Answer::Cancel);
    EXPECT_FALSE(s.session().newMap("Caverna", 14));
    EXPECT_FALSE(p.dir.exists("Mapas/Caverna.xml"));
    EXPECT_EQ(s.session().currentMap(), "Vila.xml");

    s.prompts->answer(Answer::Yes);
    s.heard.clear();
    EXPECT_TRUE(s.session().newMap("Caverna", 9));
    EXPECT_EQ(tipoInFile(p, "Vila.xml"), '6');
    EXPECT_EQ(s.heard, (QStringList{"map closed", "new map", "state"}));
    EXPECT_EQ(s.session().currentMap(), "Caverna.xml");
    EXPECT_EQ(s.ws->session().grid().N, 9);
    EXPECT_FALSE(s.session().modified());
    MapGrid written;
    Abrir(written, p.folder() + "Mapas/Caverna.xml");
    EXPECT_EQ(written.N, 9);

    // A refused name shows the dialog's warning and changes nothing.
    s.prompts->clear();
    EXPECT_FALSE(s.session().newMap("caverna", 14));
    ASSERT_EQ(s.prompts->asked().size(), 1u);
    EXPECT_EQ(s.prompts->asked()[0].title, QString::fromUtf8("Atenção"));
    EXPECT_EQ(s.session().currentMap(), "Caverna.xml");
}

TEST(EditorSession, TheFirstEditOfANewMapIsUnsavedAndItsUndoIsNot) {
    qmtest::ProjectFixture p;
    p.addMap("Vila.xml");
    Session s;
    s.session().openProject(p.projectFile());
    ASSERT_TRUE(s.session().newMap("Caverna", 9));
    ASSERT_FALSE(s.session().modified());
    s.paint('6');
    EXPECT_TRUE(s.session().modified());  // closing now asks before the edit is lost
    s.prompts->answer(Answer::Cancel);
    EXPECT_FALSE(s.session().closeAll());
    EXPECT_TRUE(s.session().projectOpen());
    s.session().undoStack().undo();
    EXPECT_FALSE(s.session().modified());  // back to the map its file holds
    s.session().undoStack().redo();
    s.session().save();
    EXPECT_FALSE(s.session().modified());
    EXPECT_EQ(tipoInFile(p, "Caverna.xml"), '6');
}

TEST(EditorSession, SaveWritesTheMapAndTheTree) {
    qmtest::ProjectFixture p;
    p.addMap("Vila.xml");
    Session s;
    s.session().openProject(p.projectFile());
    s.paint('8');
    s.session().save();
    EXPECT_FALSE(s.session().modified());
    EXPECT_EQ(tipoInFile(p, "Vila.xml"), '8');
    EXPECT_TRUE(p.dir.read("Data/Project.dat").startsWith("Aventura\r\n"));
}

TEST(EditorSession, PlayNeedsAMapAsksAndReportsARuntimeThatDoesNotStart) {
    qmtest::ProjectFixture empty;
    Session s;
    EXPECT_FALSE(s.session().play());  // no project: nothing at all
    EXPECT_TRUE(s.prompts->asked().empty());

    s.session().openProject(empty.projectFile());
    EXPECT_FALSE(s.session().play());
    EXPECT_EQ(s.prompts->messages(),
              QStringList{QString::fromUtf8("Você deve criar pelo menos um mapa antes de executar o jogo!")});
    EXPECT_TRUE(s.started.isEmpty());

    qmtest::ProjectFixture p;
    p.addMap("Vila.xml");
    s.prompts->clear();
    s.session().openProject(p.projectFile());
    s.paint('6');
    s.prompts->answer(Answer::Cancel);
    EXPECT_FALSE(s.session().play());
    EXPECT_TRUE(s.started.isEmpty());
    s.prompts->answer(Answer::Yes);
    EXPECT_TRUE(s.session().play());
    EXPECT_EQ(tipoInFile(p, "Vila.xml"), '6');
    EXPECT_EQ(s.started, QStringList{s.ws->session().project().RuntimePath});

    // A runtime that cannot start is an error naming the file and the reason.
    s.refuseStart = true;
    s.prompts->clear();
    EXPECT_FALSE(s.run([&] { s.session().play(); }));
    ASSERT_EQ(s.prompts->messages().size(), 1);
    EXPECT_TRUE(s.prompts->messages()[0].contains("Aventura.exe"));
    EXPECT_TRUE(s.prompts->messages()[0].contains(QString::fromUtf8("sem permissão")));

    // The real starter says why a missing runtime does not start.
    s.session().setProgramStarter(nullptr);
    QFile::remove(s.ws->session().project().RuntimePath);
    s.prompts->clear();
    EXPECT_FALSE(s.run([&] { s.session().play(); }));
    EXPECT_TRUE(s.prompts->messages()[0].contains(QString::fromUtf8("o arquivo não existe")));
}

TEST(EditorSession, ALinkNobodyFilledIsAnErrorNotANoOp) {
    qmtest::ProjectFixture p;
    Session s;
    s.session().openProject(p.projectFile());
    EXPECT_EQ(s.session().links().unfilled().size(), 6u);
    EXPECT_FALSE(s.run([&] { s.session().newMapCommand(); }));
    EXPECT_TRUE(s.prompts->messages()[0].contains("Novo Mapa"));
    int shown = 0;
    s.session().links().newMapDialog.fill([&] { ++shown; });
    EXPECT_TRUE(s.run([&] { s.session().newMapCommand(); }));
    EXPECT_EQ(shown, 1);
}
