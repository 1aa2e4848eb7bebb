#include "model/mapedit/NewMap.h"
#include "Errors.h"
#include "ProjectFixture.h"
#include "ScriptedPrompts.h"
#include "SessionSetUp.h"
#include "model/core/Error.h"
#include "model/core/MapFile.h"
#include "model/core/MapTree.h"
#include "model/core/Picture.h"
#include "model/core/ProjectFile.h"
#include "model/mapedit/MapProperties.h"
#include "model/session/Workspace.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <gtest/gtest.h>

using namespace quillmark;

namespace {

// A workspace with the fixture's project open as the editor opens it.
struct OpenProject {
    explicit OpenProject(qmtest::ProjectFixture& fixture) : ws(std::make_unique<qmtest::ScriptedPrompts>()) {
        ws.session().setEditorFolder(qmtest::binFolder());
        ws.session().openProject(fixture.projectFile());
    }
    Workspace ws;
};

// The new-map dialog's OK through the session; a refused name comes back as
// the text of the warning it showed.
void createNewMap(Workspace& ws, std::string_view name) {
    auto& prompts = static_cast<qmtest::ScriptedPrompts&>(ws.prompts());
    prompts.clear();
    if (!ws.session().newMap(name, kNewMapSize)) throw Error(prompts.messages().value(0).toStdString());
}

using qmtest::errorOf;

QStringList filesIn(const QString& folder) { return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name); }

}  // namespace

TEST(NewMapName, RefusedForms) {
    EXPECT_EQ(checkMapNameForm(""), kMapNameEmpty);
    for (const char* bad :
         {".", "..", "a/b", "a\\b", "..\\..\\x", "c:x", "a*", "a?", "a\"b", "<a", "a>", "a|b", "a\tb", "a\nb", "\x7f"})
        EXPECT_EQ(checkMapNameForm(bad), kMapNameInvalid) << bad;
    EXPECT_EQ(checkMapNameForm("a%b"), kMapNameInvalid);
    EXPECT_EQ(checkMapNameForm("Vila%"), kMapNameInvalid);
    for (const char* blank : {" ", " Vila", "Vila ", "  x  "}) EXPECT_EQ(checkMapNameForm(blank), kMapNameBlankEnds);
    EXPECT_EQ(checkMapNameForm("123456789012345678901"), kMapNameTooLong);
    for (const char* good : {"Vila", "12345678901234567890", "...a", "Vila 2", "Caf\xE9", "a.b"})
        EXPECT_EQ(checkMapNameForm(good), "") << good;
}

TEST(NewMapName, ReservedDeviceNamesAndATypedExtensionAreRefused) {
    for (const char* reserved : {"CON", "con", "Nul", "aux.txt", "COM1", "lpt9", "prn"}) {
        const std::string problem = checkMapNameForm(reserved);
        EXPECT_NE(problem.find("reservado pelo sistema"), std::string::npos) << reserved << ": " << problem;
        EXPECT_NE(problem.find(reserved), std::string::npos) << problem;
    }
    for (const char* typed : {"Vila.xml", "Vila.XML", ".xml"})
        EXPECT_EQ(checkMapNameForm(typed), kMapNameWithExtension) << typed;
    // names that only look alike stay valid
    for (const char* good : {"Console", "COM10", "Conde", "Vila.xm", "Vilaxml", "nul2"})
        EXPECT_EQ(checkMapNameForm(good), "") << good;
}

TEST(NewMapName, DuplicatesAnywhereInTheTreeWithoutRegardToCase) {
    MapTree tree;
    TreeNode* root = tree.CriaProjeto("Vila.xml");  // the root counts too
    ASSERT_NE(root, nullptr);
    tree.AddMap("Cidades", kKindContainer);
    TreeNode* folder = tree.findFirst("Cidades");
    tree.MoveSubtree(tree.AddMap("Caverna.xml", kKindMap).node, folder);
    EXPECT_TRUE(mapNameTaken(tree, "Vila"));
    EXPECT_TRUE(mapNameTaken(tree, "VILA"));
    EXPECT_TRUE(mapNameTaken(tree, "caverna"));   // inside a folder
    EXPECT_FALSE(mapNameTaken(tree, "Cidades"));  // a folder name is not a map file name
    EXPECT_FALSE(mapNameTaken(tree, "Vila2"));
    const ProjectState noProject;
    EXPECT_EQ(checkNewMapName(tree, noProject, "cAvErNa"), kMapAlreadyExists);
    EXPECT_EQ(checkNewMapName(tree, noProject, ""), kMapNameEmpty);
}

TEST(NewMap, VilaRefusedVila2Accepted) {
    qmtest::ProjectFixture fixture;
    fixture.addMap("Vila.xml");
    fixture.dir.write("Data/Project.dat", "Aventura\r\n\tVila.xml\r\n");
    OpenProject open(fixture);
    Workspace& ws = open.ws;
    const QByteArray before = fixture.dir.read("Aventura.qmk");
    for (const char* name : {"Vila", "vila"})
        EXPECT_EQ(errorOf([&] { createNewMap(ws, name); }), kMapAlreadyExists) << name;
    EXPECT_EQ(fixture.dir.read("Aventura.qmk"), before);

    createNewMap(ws, "Vila2");
    EXPECT_TRUE(fixture.dir.exists("Mapas/Vila2.xml"));
    EXPECT_EQ(ws.session().grid().CurrentMap, "Vila2.xml");
    EXPECT_EQ(ws.session().grid().N, 14);
    EXPECT_TRUE(ws.session().mapLoaded());
    EXPECT_FALSE(ws.session().modified());
    EXPECT_TRUE(fixture.dir.read("Aventura.qmk").contains("Mapas:Vila.xml%Vila2.xml%\r\nMapa Inicial:Vila.xml\r\n"));
    // The map list holds a path for the map read from the file and a bare name for the new one.
    ASSERT_EQ(ws.session().project().MapList.size(), 2);
    EXPECT_EQ(ws.session().project().MapList[1], "Vila2.xml");
    // The tree file lists the new map first under the root.
    EXPECT_EQ(fixture.dir.read("Data/Project.dat"), QByteArray("Aventura\r\n\tVila2.xml\r\n\tVila.xml\r\n"));
}

TEST(NewMap, FirstMapBecomesInitialTwoMapsFillLineThree) {
    qmtest::ProjectFixture fixture("Aventura", "Aventura.qmk");
    OpenProject open(fixture);
    Workspace& ws = open.ws;
    createNewMap(ws, "Vila");
    EXPECT_EQ(ws.session().project().InitialMap, "Vila.xml");
    createNewMap(ws, "Caverna");
    EXPECT_EQ(ws.session().project().InitialMap, "Vila.xml");
    EXPECT_EQ(fixture.dir.read("Aventura.qmk"),
              QByteArray("Project Name:Aventura\r\nProject Autor:Equipe\r\nMapas:Vila.xml%Caverna.xml%\r\n"
                         "Mapa Inicial:Vila.xml\r\nChar X:200\r\nChar Y:190\r\n"));

    // The new map file loads back as a 14 x 14 map of '0', '0', 'O' without events.
    MapGrid loaded;
    Abrir(loaded, fixture.dir.file("Mapas/Caverna.xml"));
    EXPECT_EQ(loaded.N, 14);
    EXPECT_EQ(loaded.tipo(14, 14), '0');
    EXPECT_EQ(loaded.fundo(1, 1), '0');
    EXPECT_EQ(loaded.xo(7, 3), 'O');
    EXPECT_FALSE(MapGrid::hasEvent(loaded.evento(1, 1)));
}

TEST(NewMap, RefusedNamesWriteNothingAnywhere) {
    qmtest::ProjectFixture fixture;
    OpenProject open(fixture);
    Workspace& ws = open.ws;
    const QByteArray project = fixture.dir.read("Aventura.qmk");
    for (const char* bad :
         {"", ".", "..", "../Fora", "..\\Fora", "a:b", "x*", "q?", "<p>", "a|b", "a\"b", "t\tab", "CON", "Vila.xml"})
        EXPECT_NE(errorOf([&] { createNewMap(ws, bad); }), "(no error)") << bad;
    EXPECT_EQ(filesIn(fixture.dir.path() + "Mapas"), QStringList());
    EXPECT_FALSE(QFileInfo::exists(fixture.dir.path() + "../Fora.xml"));
    EXPECT_FALSE(QFileInfo::exists(fixture.dir.path() + "Fora.xml"));
    EXPECT_FALSE(QFileInfo::exists(fixture.dir.path() + "Mapas/.xml"));
    EXPECT_EQ(fixture.dir.read("Aventura.qmk"), project);
    EXPECT_FALSE(fixture.dir.exists("Data/Project.dat"));
    EXPECT_TRUE(ws.session().project().MapList.isEmpty());
    EXPECT_FALSE(ws.session().mapLoaded());
}

TEST(NewMap, NeedsAnOpenProject) {
    Workspace ws(std::make_unique<qmtest::ScriptedPrompts>());
    EXPECT_NE(errorOf([&] { createNewMap(ws, "Vila"); }), "(no error)");
}

TEST(NewMap, ProjectFileThatCannotBeWrittenLeavesNoEntryAndNoMapFile) {
    qmtest::ProjectFixture fixture;
    fixture.addMap("Vila.xml");
    fixture.dir.write("Data/Project.dat", "Aventura\r\n\tVila.xml\r\n");
    OpenProject open(fixture);
    Workspace& ws = open.ws;
    const QByteArray tree = fixture.dir.read("Data/Project.dat");
    // The project file's place is taken by a folder.
    QFile::remove(fixture.projectFile());
    QDir().mkpath(fixture.projectFile());
    EXPECT_NE(errorOf([&] { createNewMap(ws, "Caverna"); }), "(no error)");
    EXPECT_EQ(fixture.dir.read("Data/Project.dat"), tree);
    EXPECT_FALSE(fixture.dir.exists("Mapas/Caverna.xml"));
    EXPECT_EQ(filesIn(fixture.dir.path() + "Mapas"), QStringList{"Vila.xml"});
    EXPECT_EQ(ws.session().project().MapList.size(), 1);
    EXPECT_EQ(ws.session().project().MapsLine, "Vila.xml%");
    EXPECT_EQ(ws.session().tree().findFirst("Caverna.xml"), nullptr);
    EXPECT_FALSE(ws.session().mapLoaded());

    // Once the project file can be written the same name is free.
    QDir().rmdir(fixture.projectFile());
    createNewMap(ws, "Caverna");
    EXPECT_TRUE(fixture.dir.read("Aventura.qmk").contains("Mapas:Vila.xml%Caverna.xml%\r\n"));
}

TEST(NewMap, MapFileThatCannotBeWrittenRegistersNothing) {
    qmtest::ProjectFixture fixture;
    fixture.addMap("Vila.xml");
    fixture.dir.write("Data/Project.dat", "Aventura\r\n\tVila.xml\r\n");
    OpenProject open(fixture);
    Workspace& ws = open.ws;
    const QByteArray project = fixture.dir.read("Aventura.qmk");
    const QByteArray tree = fixture.dir.read("Data/Project.dat");
    // "Mapas" is a file: no map can be written into it (as on a full disk).
    ASSERT_TRUE(QDir(fixture.dir.path() + "Mapas").removeRecursively());
    fixture.dir.write("Mapas", "no folder");
    EXPECT_NE(errorOf([&] { createNewMap(ws, "Caverna"); }), "(no error)");
    EXPECT_EQ(fixture.dir.read("Aventura.qmk"), project);
    EXPECT_EQ(fixture.dir.read("Data/Project.dat"), tree);
    EXPECT_EQ(ws.session().project().MapList.size(), 1);
    EXPECT_EQ(ws.session().tree().findFirst("Caverna.xml"), nullptr);
    EXPECT_FALSE(ws.session().mapLoaded());
}

TEST(NewMap, NeverOverwritesAMapThatIsNoLongerInTheTree) {
    qmtest::ProjectFixture fixture;
    OpenProject open(fixture);
    Workspace& ws = open.ws;
    createNewMap(ws, "Vila");
    ws.session().mapEditing().paint(EditLayer::Tipo, 3, 4, 'k');
    ws.session().save();
    const QByteArray painted = fixture.dir.read("Mapas/Vila.xml");
    // "Excluir Mapa": the node goes, the file and the project file's list stay.
    ASSERT_TRUE(qmtest::treeOf(ws).RemoveMap("Vila.xml"));
    qmtest::treeOf(ws).SaveProject(fixture.folder());
    for (const char* name : {"Vila", "VILA", "vila"})
        EXPECT_EQ(errorOf([&] { createNewMap(ws, name); }), kMapAlreadyExists) << name;
    EXPECT_EQ(fixture.dir.read("Mapas/Vila.xml"), painted);

    // A file in "Mapas\" that no list names is taken as well, whatever its case.
    fixture.dir.write("Mapas/CAVERNA.XML", "a map another tool wrote");
    EXPECT_EQ(errorOf([&] { createNewMap(ws, "caverna"); }), kMapAlreadyExists);
    EXPECT_EQ(fixture.dir.read("Mapas/CAVERNA.XML"), "a map another tool wrote");
    EXPECT_FALSE(fixture.dir.read("Aventura.qmk").contains("averna"));
}

TEST(NewMap, NamesTheProjectCannotReadBackAreRefusedAndReopeningWorks) {
    qmtest::ProjectFixture fixture;
    {
        OpenProject open(fixture);
        Workspace& ws = open.ws;
        EXPECT_EQ(errorOf([&] { createNewMap(ws, " Vila"); }), kMapNameBlankEnds);
        EXPECT_EQ(errorOf([&] { createNewMap(ws, "Vila "); }), kMapNameBlankEnds);
        EXPECT_EQ(errorOf([&] { createNewMap(ws, "a%b"); }), kMapNameInvalid);
        EXPECT_EQ(filesIn(fixture.dir.path() + "Mapas"), QStringList());
        createNewMap(ws, "Vila Velha");
    }
    // The project opens again with exactly the map it was given.
    OpenProject again(fixture);
    ASSERT_EQ(again.ws.session().project().MapList.size(), 1);
    EXPECT_EQ(mapFileName(again.ws.session().project().MapList[0]), "Vila Velha.xml");
    EXPECT_EQ(again.ws.session().grid().CurrentMap, "Vila Velha.xml");
    EXPECT_TRUE(again.ws.session().mapLoaded());
}

TEST(BattleBackground, NameFollowsTheMapFileName) {
    EXPECT_EQ(battleBackgroundFile("Vila.xml"), "Imagens\\VilaBat.bmp");
    EXPECT_EQ(battleBackgroundFile("Vila.XML"), "Imagens\\Vila.XMLBat.bmp");
    EXPECT_EQ(battleBackgroundFile("a.xmlb.xml"), "Imagens\\abBat.bmp");
    EXPECT_EQ(battleBackgroundFile("Vila"), "Imagens\\VilaBat.bmp");
}

TEST(BattleBackground, ChosenPictureIsWrittenAsABitmap) {
    qmtest::ProjectFixture fixture;
    QImage image(30, 20, QImage::Format_RGB32);
    image.fill(qRgb(10, 200, 30));
    ASSERT_TRUE(image.save(fixture.dir.file("escolha.png"), "PNG"));
    fixture.dir.write("Imagens/VilaBat.bmp", "old");
    setBattleBackground(fixture.dir.file("escolha.png"), fixture.folder(), "Vila.xml");
    const QByteArray bytes = fixture.dir.read("Imagens/VilaBat.bmp");
    EXPECT_TRUE(bytes.startsWith("BM"));
    const Picture back = Picture::fromFile(fixture.dir.file("Imagens/VilaBat.bmp"));
    EXPECT_EQ(back.size(), QSize(30, 20));
    EXPECT_EQ(back.image().pixel(5, 5), qRgb(10, 200, 30));

    // A file that is no picture: the loader's error, nothing written.
    fixture.dir.write("broken.bmp", "not a picture");
    EXPECT_NE(errorOf([&] { setBattleBackground(fixture.dir.file("broken.bmp"), fixture.folder(), "Caverna.xml"); }),
              "(no error)");
    EXPECT_FALSE(fixture.dir.exists("Imagens/CavernaBat.bmp"));
}
