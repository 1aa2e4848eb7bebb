// The session's tree commands (a folder made, a map moved between folders, a
// map removed from the tree) with the tree file checked on disk after each
// step, undo and redo; the hero's start set on a cell and read back from the
// project file; the loaded map's name known when the map is announced; an
// import that reads its file once.
#include "ProjectFixture.h"
#include "ScriptedPrompts.h"
#include "SessionSetUp.h"
#include "model/core/ProjectFile.h"
#include "model/mapedit/TiledExchange.h"
#include "model/session/Workspace.h"

#include <QFile>
#include <QUndoStack>
#include <gtest/gtest.h>

using namespace quillmark;

namespace {

struct Project {
    explicit Project(qmtest::ProjectFixture& fixture) : fixture(fixture) {
        auto scripted = std::make_unique<qmtest::ScriptedPrompts>();
        prompts = scripted.get();
        ws = std::make_unique<Workspace>(std::move(scripted));
        ws->session().setEditorFolder(qmtest::binFolder());
        fixture.addMap("Vila.xml");
        fixture.addMap("Lago.xml");
        fixture.dir.write("Data/Project.dat", "Aventura\r\n\tCidades\r\n\tVila.xml\r\n\tLago.xml\r\n");
        session().openProject(fixture.projectFile());
    }
    EditorSession& session() { return ws->session(); }
    QUndoStack& steps() { return session().treeUndoStack(); }
    QByteArray treeFile() const { return fixture.dir.read("Data/Project.dat"); }
    TreeNode* node(const char* text) { return ws->session().tree().findFirst(text); }

    qmtest::ProjectFixture& fixture;
    qmtest::ScriptedPrompts* prompts = nullptr;
    std::unique_ptr<Workspace> ws;
};

}  // namespace

TEST(TreeCommands, MovingAMapBetweenFoldersIsAStepUndoneAndRedoneOnDisk) {
    qmtest::ProjectFixture fixture;
    Project p(fixture);
    const QByteArray before = p.treeFile();
    ASSERT_EQ(p.session().moveInTree(p.node("Lago.xml"), p.node("Cidades")), DropOutcome::Moved);
    const QByteArray moved = "Aventura\r\n\tCidades\r\n\t\tLago.xml\r\n\tVila.xml\r\n";
    EXPECT_EQ(p.treeFile(), moved);
    ASSERT_EQ(p.session().moveInTree(p.node("Vila.xml"), p.node("Cidades")), DropOutcome::Moved);
    EXPECT_EQ(p.treeFile(), "Aventura\r\n\tCidades\r\n\t\tLago.xml\r\n\t\tVila.xml\r\n");
    EXPECT_EQ(p.steps().count(), 2);

    p.steps().undo();
    EXPECT_EQ(p.treeFile(), moved);
    p.steps().undo();
    EXPECT_EQ(p.treeFile(), before);
    EXPECT_EQ(p.ws->session().tree().treeFileBytes(), before);  // the tree as its file
    p.steps().redo();
    p.steps().redo();
    EXPECT_EQ(p.treeFile(), "Aventura\r\n\tCidades\r\n\t\tLago.xml\r\n\t\tVila.xml\r\n");

    // the map's own edits are apart: nothing to save, nothing to ask
    EXPECT_FALSE(p.session().modified());
    EXPECT_EQ(p.session().undoStack().count(), 0);
    EXPECT_TRUE(p.prompts->asked().empty());
}

TEST(TreeCommands, ARefusedDropIsNoStepAndTellsWhenTheNameIsTaken) {
    qmtest::ProjectFixture fixture;
    Project p(fixture);
    const QByteArray before = p.treeFile();
    // onto a map: refused in silence
    EXPECT_EQ(p.session().moveInTree(p.node("Lago.xml"), p.node("Vila.xml")), DropOutcome::Refused);
    EXPECT_TRUE(p.prompts->asked().empty());
    // a folder already holding that name: told
    ASSERT_EQ(p.session().moveInTree(p.node("Lago.xml"), p.node("Cidades")), DropOutcome::Moved);
    qmtest::treeOf(*p.ws).AddMap("Lago.xml", kKindMap);
    p.prompts->answer(Answer::Ok);
    EXPECT_EQ(p.session().moveInTree(p.ws->session().tree().root()->firstChild(), p.node("Cidades")),
              DropOutcome::RefusedExists);
    ASSERT_EQ(p.prompts->asked().size(), 1u);
    EXPECT_EQ(p.prompts->asked()[0].text, QString::fromUtf8(kDropExistsMessage));
    EXPECT_EQ(p.steps().count(), 1);
    qmtest::treeOf(*p.ws).RemoveNode(p.ws->session().tree().root()->firstChild());
    p.steps().undo();
    EXPECT_EQ(p.treeFile(), before);
}

TEST(TreeCommands, ANewFolderIsAStepAndAMoveIntoItSurvivesItsUndoAndRedo) {
    qmtest::ProjectFixture fixture;
    Project p(fixture);
    const QByteArray before = p.treeFile();
    p.ws->session().selectTreeNode(p.ws->session().tree().root());
    p.prompts->answerText("  Masmorras\t");
    ASSERT_TRUE(p.session().newFolder());
    EXPECT_EQ(p.treeFile(), "Aventura\r\n\tMasmorras\r\n\tCidades\r\n\tVila.xml\r\n\tLago.xml\r\n");
    ASSERT_EQ(p.session().moveInTree(p.node("Vila.xml"), p.node("Masmorras")), DropOutcome::Moved);
    const QByteArray both = "Aventura\r\n\tMasmorras\r\n\t\tVila.xml\r\n\tCidades\r\n\tLago.xml\r\n";
    EXPECT_EQ(p.treeFile(), both);

    p.steps().undo();
    p.steps().undo();
    EXPECT_EQ(p.treeFile(), before);
    EXPECT_EQ(p.node("Masmorras"), nullptr);
    // the folder is made anew by the redo; the move finds it by its place
    p.steps().redo();
    p.steps().redo();
    EXPECT_EQ(p.treeFile(), both);

    // a name the root already holds (any case) is told and makes no step
    p.ws->session().selectTreeNode(p.ws->session().tree().root());
    p.prompts->answerText("cidades").answer(Answer::Ok);
    EXPECT_FALSE(p.session().newFolder());
    EXPECT_EQ(p.steps().count(), 2);
    EXPECT_EQ(p.prompts->asked().back().text, QString::fromUtf8(kMapExistsMessage));
    // cancelled, or nothing left of the name: nothing
    p.prompts->answerNothing();
    EXPECT_FALSE(p.session().newFolder());
    p.prompts->answerText(" \t ");
    EXPECT_FALSE(p.session().newFolder());
    EXPECT_EQ(p.treeFile(), both);
    // a map is no place for a folder
    p.ws->session().selectTreeNode(p.node("Lago.xml"));
    p.prompts->answer(Answer::Ok);
    EXPECT_FALSE(p.session().newFolder());
    EXPECT_EQ(p.prompts->asked().back().text, QString::fromUtf8(kNoFolderHereMessage));
}

TEST(TreeCommands, AFolderThatCannotBeWrittenLeavesTheTreeAsItsFile) {
    qmtest::ProjectFixture fixture;
    Project p(fixture);
    const QByteArray before = p.treeFile();
    // The tree file's folder is replaced by a file: no write can succeed.
    QDir(fixture.folder()).rename("Data", "Data.saved");
    fixture.dir.write("Data", "not a folder");
    p.ws->session().selectTreeNode(p.ws->session().tree().root());
    p.prompts->answerText("Masmorras");
    EXPECT_THROW(p.session().newFolder(), Error);
    EXPECT_EQ(p.node("Masmorras"), nullptr);
    EXPECT_EQ(p.steps().count(), 0);
    EXPECT_THROW(p.session().moveInTree(p.node("Lago.xml"), p.node("Cidades")), Error);
    EXPECT_EQ(p.node("Lago.xml")->parent(), p.ws->session().tree().root());
    EXPECT_EQ(p.steps().count(), 0);
    QFile::remove(fixture.folder() + "Data");
    QDir(fixture.folder()).rename("Data.saved", "Data");
    EXPECT_EQ(p.treeFile(), before);
    // the project still opens
    p.session().closeProject();
    p.session().openProject(fixture.projectFile());
    EXPECT_EQ(p.ws->session().tree().treeFileBytes(), before);
}

TEST(TreeCommands, RemovingAMapFromTheTreeAsksFirstAndKeepsItsFile) {
    qmtest::ProjectFixture fixture;
    Project p(fixture);
    p.ws->session().selectTreeNode(p.node("Lago.xml"));
    p.prompts->answer(Answer::No);
    EXPECT_FALSE(p.session().removeSelectedFromTree());
    EXPECT_NE(p.node("Lago.xml"), nullptr);
    p.prompts->answer(Answer::Yes);
    EXPECT_TRUE(p.session().removeSelectedFromTree());
    EXPECT_EQ(p.node("Lago.xml"), nullptr);
    EXPECT_TRUE(QFile::exists(fixture.folder() + "Mapas/Lago.xml"));
    // written by the next tree command or save, as before
    p.session().save();
    EXPECT_EQ(p.treeFile(), "Aventura\r\n\tCidades\r\n\tVila.xml\r\n");
}

TEST(HeroStart, AClickedCellBecomesTheStartInTheProjectFile) {
    qmtest::ProjectFixture fixture;
    Project p(fixture);
    ASSERT_EQ(p.session().currentMap(), "Vila.xml");
    int told = 0;
    QObject::connect(&p.session(), &EditorSession::heroStartChanged, [&] { ++told; });
    p.prompts->answer(Answer::No);
    ASSERT_TRUE(p.session().openMap(fixture.folder() + "Mapas/Lago.xml", "Lago.xml"));
    p.session().setHeroStart(3, 7);
    EXPECT_EQ(told, 1);
    ProjectState reread;
    readProjectFile(fixture.projectFile(), reread);
    EXPECT_EQ(reread.InitialMap, "Lago.xml");
    EXPECT_EQ(reread.CharX, 40 * 7 + 120);
    EXPECT_EQ(reread.CharY, 40 * 3 + 20);
    EXPECT_EQ(reread.ProjectName, p.ws->session().project().ProjectName);
    EXPECT_EQ(reread.MapsLine, p.ws->session().project().MapsLine);
    EXPECT_EQ(p.session().heroStartCell(), std::make_pair(3, 7));
    // on another map the start is not shown
    p.prompts->answer(Answer::No);
    ASSERT_TRUE(p.session().openMap(fixture.folder() + "Mapas/Vila.xml", "Vila.xml"));
    EXPECT_EQ(p.session().heroStartCell(), std::make_pair(0, 0));
    // outside the map: refused, the file untouched
    const QByteArray file = QFile(fixture.projectFile()).exists() ? fixture.dir.read("Aventura.qmk") : QByteArray();
    EXPECT_THROW(p.session().setHeroStart(15, 1), Error);
    EXPECT_EQ(fixture.dir.read("Aventura.qmk"), file);
}

TEST(HeroStart, APositionOffTheGridOrAFailedWriteChangesNothing) {
    qmtest::ProjectFixture fixture;
    Project p(fixture);
    // a new project's 200/190 is not on a cell: the mark stands where the game
    // puts the hero, on the nearest cell (row 4, column 2), once that map is open
    qmtest::projectOf(*p.ws).CharX = kNewProjectCharX;
    qmtest::projectOf(*p.ws).CharY = kNewProjectCharY;
    qmtest::projectOf(*p.ws).InitialMap = "vila.XML";
    p.prompts->answer(Answer::No);
    ASSERT_TRUE(p.session().openMap(fixture.folder() + "Mapas/Vila.xml", "Vila.xml"));
    EXPECT_EQ(p.session().heroStartCell(), std::make_pair(4, 2));
    // the project file cannot be replaced: the state stays as it was
    QFile::remove(fixture.projectFile());
    QDir().mkpath(fixture.projectFile());
    EXPECT_THROW(p.session().setHeroStart(2, 2), Error);
    EXPECT_EQ(p.ws->session().project().CharX, kNewProjectCharX);
    EXPECT_EQ(p.ws->session().project().CharY, kNewProjectCharY);
}

TEST(SessionOrder, TheMapsNameIsKnownWhenTheMapIsAnnounced) {
    qmtest::ProjectFixture fixture;
    Project p(fixture);
    std::vector<std::string> names;
    QObject::connect(&p.session(), &EditorSession::mapOpened, [&](bool) { names.push_back(p.session().currentMap()); });
    p.session().closeProject();
    p.session().openProject(fixture.projectFile());
    p.prompts->answer(Answer::No);
    p.session().openMap(fixture.folder() + "Mapas/Lago.xml", "Lago.xml");
    EXPECT_EQ(names, (std::vector<std::string>{"Vila.xml", "Lago.xml"}));
}

TEST(SessionOrder, AnImportReadsItsFileOnceWhenItWasReadAhead) {
    qmtest::ProjectFixture fixture;
    Project p(fixture);
    p.session().mapEditing().paint(EditLayer::Tipo, 3, 4, 'G');  // an unsaved edit travels in the export
    const MapGrid g = p.ws->session().grid();
    QDir().mkpath(fixture.folder() + "fora");
    const QString tmx = fixture.dir.file("fora/Ilha.tmx");
    p.session().exportMap(tmx);
    p.session().readImport(tmx);
    QFile::remove(tmx);             // the file is not read again
    p.prompts->answer(Answer::No);  // the loaded map's edit is not saved
    ASSERT_TRUE(p.session().importMap(tmx, "Ilha"));
    EXPECT_EQ(p.session().currentMap(), "Ilha.xml");
    EXPECT_EQ(p.ws->session().grid().Tipo, g.Tipo);
    // without a read ahead the file is read by the import itself
    EXPECT_THROW(p.session().importMap(tmx, "Ilha2"), Error);
}

TEST(TreeCommands, ANewMapEndsTheTreesStepsSoNoStepMovesTheWrongNode) {
    qmtest::ProjectFixture fixture;
    Project p(fixture);
    ASSERT_EQ(p.session().moveInTree(p.node("Lago.xml"), p.node("Cidades")), DropOutcome::Moved);
    ASSERT_TRUE(p.steps().canUndo());
    // the new map's node goes first under the root: every place below it moves
    ASSERT_TRUE(p.session().newMap("Deserto", 10));
    EXPECT_FALSE(p.steps().canUndo());
    EXPECT_EQ(p.treeFile(), "Aventura\r\n\tDeserto.xml\r\n\tCidades\r\n\t\tLago.xml\r\n\tVila.xml\r\n");
}
