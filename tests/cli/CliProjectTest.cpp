// new and new-map: the project and the maps the tool makes are those the
// wizard and the new-map dialog make.
#include "CliRunner.h"
#include "ProjectFixture.h"

#include "model/core/MapFile.h"
#include "model/core/MapTree.h"
#include "model/core/ProjectFile.h"
#include "model/database/DataModule.h"
#include "model/database/MapSaving.h"
#include "model/project/ProjectCreation.h"

#include <QDirIterator>
#include <QFile>
#include <map>

#include <gtest/gtest.h>

using qmtest::runCli;

namespace {

// Every file under a folder, by relative path, with its bytes.
std::map<QString, QByteArray> filesUnder(const QString& folder) {
    std::map<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        files[QDir(folder).relativeFilePath(path)] = f.readAll();
    }
    return files;
}

}  // namespace

TEST(CliNew, MakesTheSameProjectAsTheWizard) {
    qmtest::TempDir byTool, byWizard;
    const auto r =
        runCli({"new", byTool.file("Jogo.qmk"), "--name", QString::fromUtf8("Aventura Ótima"), "--author", "Ana"});
    ASSERT_EQ(r.status, 0) << r.errText();
    EXPECT_TRUE(r.out.isEmpty());

    quillmark::NewProjectRequest request;
    request.editorFolder = qmtest::binFolder();
    request.projectFile = byWizard.file("Jogo.qmk");
    request.name = "Aventura \xD3tima";
    request.author = "Ana";
    quillmark::TDataModule1 data;
    quillmark::ProjectState project;
    quillmark::MapTree tree;
    quillmark::createProject(request, data, project, tree);
    data.closeAll();

    const auto tool = filesUnder(byTool.path());
    const auto wizard = filesUnder(byWizard.path());
    ASSERT_GT(wizard.size(), 100u);
    EXPECT_TRUE(tool == wizard) << "the same files with the same bytes";
    EXPECT_EQ(byTool.read("Jogo.qmk"), "Project Name:Aventura \xD3tima\r\nProject Autor:Ana\r\nMapas:\r\nMapa "
                                       "Inicial:\r\nChar X:200\r\nChar Y:190\r\n");
    for (const char* folder : {"Mapas", "Imagens", "Sounds", "Data", "Saves"})
        EXPECT_TRUE(QDir(byTool.file(folder)).exists()) << folder;
}

TEST(CliNew, DefaultsAndAMissingFolder) {
    qmtest::TempDir dir;
    const auto r = runCli({"new", dir.file("Novo/Pasta/Meu.Jogo.qmk")});
    ASSERT_EQ(r.status, 0) << r.errText();
    EXPECT_TRUE(dir.read("Novo/Pasta/Meu.Jogo.qmk").startsWith("Project Name:Meu Game\r\nProject Autor:"));
    EXPECT_TRUE(dir.exists("Novo/Pasta/Meu.exe")) << "the runtime is named up to the first dot";
    EXPECT_TRUE(dir.exists("Novo/Pasta/Data/Tiles.xml"));
}

TEST(CliNew, RefusesAnEmptyNameAndAnExistingProjectFile) {
    qmtest::TempDir dir;
    const auto empty = runCli({"new", dir.file("Jogo.qmk"), "--name="});
    EXPECT_EQ(empty.status, 1);
    EXPECT_EQ(empty.errText(), "Não foi possivel criar o projeto!\n");
    EXPECT_FALSE(dir.exists("Jogo.qmk"));
    EXPECT_FALSE(dir.exists("Data"));

    dir.write("Jogo.qmk", "Project Name:Antigo\r\n");
    const auto existing = runCli({"new", dir.file("Jogo.qmk")});
    EXPECT_EQ(existing.status, 1);
    EXPECT_NE(existing.errText().find("já existe"), std::string::npos) << existing.errText();
    EXPECT_EQ(dir.read("Jogo.qmk"), "Project Name:Antigo\r\n");
    EXPECT_FALSE(dir.exists("Data"));
}

TEST(CliNewMap, RegistersAndWritesTheMapAsTheDialogDoes) {
    qmtest::TempDir dir;
    ASSERT_EQ(runCli({"new", dir.file("Jogo.qmk"), "--name", "Aventura"}).status, 0);
    auto r = runCli({"new-map", dir.file("Jogo.qmk"), "Vila"});
    ASSERT_EQ(r.status, 0) << r.errText();
    r = runCli({"new-map", dir.file("Jogo.qmk"), QString::fromUtf8("Praça")});
    ASSERT_EQ(r.status, 0) << r.errText();

    EXPECT_EQ(dir.read("Jogo.qmk"), "Project Name:Aventura\r\nProject Autor:Equipe Quillmark\r\n"
                                    "Mapas:Vila.xml%Pra\xE7"
                                    "a.xml%\r\nMapa Inicial:Vila.xml\r\nChar X:200\r\nChar Y:190\r\n");
    EXPECT_EQ(dir.read("Data/Project.dat"), "Aventura\r\n\tPra\xE7"
                                            "a.xml\r\n\tVila.xml\r\n")
        << "each new map is the root's first child";

    quillmark::TDataModule1 data;
    data.pointAt(data.cdsTiles, dir.path());
    quillmark::MapGrid grid;
    grid.newGrid(14);
    EXPECT_EQ(dir.read("Mapas/Vila.xml").toStdString(), quillmark::mapFileText(grid, data));
    EXPECT_TRUE(QFile::exists(dir.path() + QString::fromUtf8("Mapas/Praça.xml")));
}

TEST(CliNewMap, RefusesATakenOrBadNameAndChangesNothing) {
    qmtest::TempDir dir;
    ASSERT_EQ(runCli({"new", dir.file("Jogo.qmk")}).status, 0);
    ASSERT_EQ(runCli({"new-map", dir.file("Jogo.qmk"), "Vila"}).status, 0);
    const QByteArray project = dir.read("Jogo.qmk");
    const QByteArray tree = dir.read("Data/Project.dat");
    const QByteArray map = dir.read("Mapas/Vila.xml");

    const auto taken = runCli({"new-map", dir.file("Jogo.qmk"), "vILA"});
    EXPECT_EQ(taken.status, 1);
    EXPECT_EQ(taken.errText(), "O mapa já existe!!! Escolha outro nome.\n");

    const auto bad = runCli({"new-map", dir.file("Jogo.qmk"), "a/b"});
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.errText().find("Nome de mapa inválido!"), std::string::npos) << bad.errText();

    EXPECT_EQ(dir.read("Jogo.qmk"), project);
    EXPECT_EQ(dir.read("Data/Project.dat"), tree);
    EXPECT_EQ(dir.read("Mapas/Vila.xml"), map);
    EXPECT_EQ(QDir(dir.file("Mapas")).entryList(QDir::Files), QStringList{"Vila.xml"});
}

TEST(CliNewMap, RefusesNamesTheProjectCannotReadBackAndMapsLeftOutOfTheTree) {
    qmtest::TempDir dir;
    ASSERT_EQ(runCli({"new", dir.file("Jogo.qmk"), "--name", "Aventura"}).status, 0);
    ASSERT_EQ(runCli({"new-map", dir.file("Jogo.qmk"), "Vila"}).status, 0);
    // The map leaves the tree ("Excluir Mapa"); its file and its entry in the list stay.
    dir.write("Data/Project.dat", "Aventura\r\n");
    dir.write("Mapas/Gruta.xml", "made elsewhere");
    const QByteArray project = dir.read("Jogo.qmk");
    const QByteArray map = dir.read("Mapas/Vila.xml");
    for (const char* name : {" Vila", "Vila ", "a%b", "vila", "GRUTA"}) {
        const auto r = runCli({"new-map", dir.file("Jogo.qmk"), name});
        EXPECT_EQ(r.status, 1) << name;
        EXPECT_FALSE(r.err.isEmpty()) << name;
    }
    EXPECT_EQ(dir.read("Jogo.qmk"), project);
    EXPECT_EQ(dir.read("Data/Project.dat"), "Aventura\r\n");
    EXPECT_EQ(dir.read("Mapas/Vila.xml"), map);
    EXPECT_EQ(dir.read("Mapas/Gruta.xml"), "made elsewhere");
    EXPECT_EQ(QDir(dir.file("Mapas")).entryList(QDir::Files), (QStringList{"Gruta.xml", "Vila.xml"}));
}

TEST(CliNew, ReplaceRewritesOnlyTheProjectFileAndWithoutItNothingChanges) {
    qmtest::TempDir dir;
    ASSERT_EQ(runCli({"new", dir.file("Jogo.qmk"), "--name", "Antigo"}).status, 0);
    ASSERT_EQ(runCli({"new-map", dir.file("Jogo.qmk"), "Vila"}).status, 0);
    // The user's own work in the folder: a changed table, a painted map, a picture.
    dir.write("Data/Tiles.xml", dir.read("Data/Tiles.xml") + "\r\n");
    dir.write("Imagens/null.bmp", "my own placeholder");
    quillmark::MapGrid painted;
    painted.newGrid(3);
    painted.setTipo(1, 2, 'k');
    painted.CurrentMap = "Vila.xml";
    {
        quillmark::TDataModule1 data;
        data.pointAt(data.cdsTiles, dir.path());
        quillmark::Salvar(painted, dir.path(), data);
    }
    auto before = filesUnder(dir.path());
    const QByteArray oldProject = before["Jogo.qmk"];

    const auto refused = runCli({"new", dir.file("Jogo.qmk"), "--name", "Novo"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.errText().find("--replace"), std::string::npos) << refused.errText();
    EXPECT_TRUE(filesUnder(dir.path()) == before) << "a refusal changes nothing";

    const auto r = runCli({"new", dir.file("Jogo.qmk"), "--name", "Novo", "--author", "Bia", "--replace"});
    ASSERT_EQ(r.status, 0) << r.errText();
    auto after = filesUnder(dir.path());
    EXPECT_EQ(after["Jogo.qmk"], "Project Name:Novo\r\nProject Autor:Bia\r\nMapas:\r\nMapa Inicial:\r\n"
                                 "Char X:200\r\nChar Y:190\r\n");
    EXPECT_NE(after["Jogo.qmk"], oldProject);
    after.erase("Jogo.qmk");
    before.erase("Jogo.qmk");
    EXPECT_TRUE(after == before) << "every other file keeps its bytes, and none is added";
    EXPECT_EQ(dir.read("Imagens/null.bmp"), "my own placeholder");

    // The folder of the project file cannot be replaced by one.
    QDir().mkpath(dir.file("Pasta.qmk"));
    const auto folder = runCli({"new", dir.file("Pasta.qmk"), "--replace"});
    EXPECT_EQ(folder.status, 1);
    EXPECT_TRUE(QDir(dir.file("Pasta.qmk")).exists());
}
