// textconv, merge and git-setup through real git in a temporary repository:
// two people working on one project, each on a branch.
#include "CliRunner.h"
#include "ProjectFixture.h"

#include "model/core/DataPacket.h"
#include "model/core/MapFile.h"
#include "model/core/ProjectFile.h"

#include <QDir>
#include <QProcess>
#include <gtest/gtest.h>

using qmtest::runCli;
using namespace quillmark;

namespace {

struct GitResult {
    int status = -1;
    std::string out;
};

// A project in a git repository set up by git-setup, committed on "main".
struct Repository {
    Repository() {
        MapGrid vila;
        vila.newGrid(10);
        fixture.addMap("Vila.xml", vila);
        EXPECT_EQ(git({"init", "-q", "-b", "main"}).status, 0);
        git({"config", "user.email", "teste@quillmark"});
        git({"config", "user.name", "Teste"});
        const auto setup = runCli({"git-setup", fixture.projectFile()});
        EXPECT_EQ(setup.status, 0) << setup.errText();
        commit("base");
    }
    GitResult git(const QStringList& args) {
        QProcess p;
        p.setWorkingDirectory(fixture.folder());
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start("git", args);
        p.waitForFinished(60000);
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAll().toStdString()};
    }
    void commit(const QString& message) {
        git({"add", "-A"});
        ASSERT_EQ(git({"commit", "-q", "-m", message}).status, 0);
    }
    MapGrid map(const std::string& name = "Vila.xml") {
        MapGrid g;
        Abrir(g, fixture.dir.file("Mapas/" + QString::fromStdString(name)));
        return g;
    }
    void paint(int row, int column, unsigned char code) {
        MapGrid g = map();
        g.setTipo(row, column, code);
        salvarEm(g, fixture.dir.file("Mapas/Vila.xml"), [](unsigned char c) { return c == 'H'; });
    }
    void addMonster(const std::string& name, const std::string& hp) {
        const QString path = fixture.dir.file("Data/Monstros.xml");
        datapacket::Contents t = datapacket::parse(fixture.dir.read("Data/Monstros.xml").toStdString(), path);
        Record r(t.fields.size());
        for (std::size_t f = 0; f < t.fields.size(); ++f) {
            if (t.fields[f].name == "Nome") r[f] = name;
            if (t.fields[f].name == "HP") r[f] = hp;
        }
        t.records.push_back(r);
        fixture.dir.write("Data/Monstros.xml", QByteArray::fromStdString(datapacket::write(t.fields, t.records)));
    }
    qmtest::ProjectFixture fixture;
};

}  // namespace

TEST(CliGit, BranchesPaintingDifferentCellsMergeCleanly) {
    Repository repo;
    repo.git({"checkout", "-q", "-b", "outro"});
    repo.paint(2, 3, 'H');
    repo.commit("outro pinta");
    repo.git({"checkout", "-q", "main"});
    repo.paint(9, 9, 'K');
    repo.commit("nós pintamos");

    const GitResult merged = repo.git({"merge", "-q", "outro", "-m", "une"});
    ASSERT_EQ(merged.status, 0) << merged.out;
    const MapGrid g = repo.map();
    EXPECT_EQ(g.N, 10);
    EXPECT_EQ(g.tipo(2, 3), 'H');
    EXPECT_EQ(g.tipo(9, 9), 'K');
    EXPECT_EQ(g.tipo(1, 1), '0');
    // In the file's exact layout, "Transparente" following the codes.
    const std::string expected = mapFileText(g, [](unsigned char c) { return c == 'H'; });
    EXPECT_EQ(repo.fixture.dir.read("Mapas/Vila.xml").toStdString(), expected);
    EXPECT_EQ(runCli({"check", repo.fixture.projectFile()}).status, 0);
}

TEST(CliGit, TheSameCellPaintedDifferentlyIsReportedAndOursKept) {
    Repository repo;
    repo.git({"checkout", "-q", "-b", "outro"});
    repo.paint(4, 7, 'H');
    repo.paint(1, 1, 'A');
    repo.commit("outro");
    repo.git({"checkout", "-q", "main"});
    repo.paint(4, 7, 'K');
    repo.commit("nós");

    const GitResult merged = repo.git({"merge", "outro", "-m", "une"});
    EXPECT_NE(merged.status, 0);
    EXPECT_NE(merged.out.find("Mapas/Vila.xml linha 4, coluna 7: Tipo (nosso 75, deles 72)"), std::string::npos)
        << merged.out;
    const MapGrid g = repo.map();
    EXPECT_EQ(g.tipo(4, 7), 'K');
    EXPECT_EQ(g.tipo(1, 1), 'A');  // their other change is in
}

TEST(CliGit, BranchesAddingDifferentMonstersAndMapsMerge) {
    Repository repo;
    repo.git({"checkout", "-q", "-b", "outro"});
    repo.addMonster("Slime", "30");
    ASSERT_EQ(runCli({"new-map", repo.fixture.projectFile(), "Loja"}).status, 0);
    repo.commit("outro");
    repo.git({"checkout", "-q", "main"});
    repo.addMonster("Morcego", "12");
    ASSERT_EQ(runCli({"new-map", repo.fixture.projectFile(), "Casa"}).status, 0);
    repo.commit("nós");

    const GitResult merged = repo.git({"merge", "-q", "outro", "-m", "une"});
    ASSERT_EQ(merged.status, 0) << merged.out;
    const datapacket::Contents monsters =
        datapacket::parse(repo.fixture.dir.read("Data/Monstros.xml").toStdString(), "Monstros.xml");
    std::vector<std::string> names;
    for (const Record& r : monsters.records) names.push_back(r[0].value_or(""));
    EXPECT_NE(std::find(names.begin(), names.end(), "Slime"), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), "Morcego"), names.end());
    const QByteArray project = repo.fixture.dir.read("Aventura.qmk");
    EXPECT_TRUE(project.contains("Mapas:Vila.xml%Casa.xml%Loja.xml%\r\n")) << project.toStdString();
    const QByteArray tree = repo.fixture.dir.read("Data/Project.dat");
    EXPECT_TRUE(tree.contains("\tCasa.xml\r\n") && tree.contains("\tLoja.xml\r\n")) << tree.toStdString();
    const auto check = runCli({"check", repo.fixture.projectFile()});
    EXPECT_EQ(check.status, 0) << check.outText() << check.errText();
}

TEST(CliGit, DiffThroughTheDriverNamesTheCell) {
    Repository repo;
    repo.paint(3, 7, 'H');
    const GitResult diff = repo.git({"diff", "--", "Mapas/Vila.xml"});
    EXPECT_NE(diff.out.find("+linha 3, coluna 7: Tipo 72, Fundo 48, XO O\n"), std::string::npos) << diff.out;
    EXPECT_LT(diff.out.size(), 600u);
    EXPECT_TRUE(repo.fixture.dir.read(".gitattributes").contains("Mapas/*.xml diff=quillmark merge=quillmark\n"));
}

TEST(CliGit, BadInputIsRefusedAndOursIsNeverHalfWritten) {
    qmtest::ProjectFixture fixture;
    MapGrid g;
    g.newGrid(3);
    fixture.addMap("Vila.xml", g);
    const QByteArray good = fixture.dir.read("Mapas/Vila.xml");
    fixture.dir.write("ours.xml", good);
    fixture.dir.write("cut.xml", good.left(good.size() / 2));
    fixture.dir.write("bin.xml", QByteArray("\x00\x01\x02", 3));

    const auto cut = runCli({"merge", fixture.dir.file("Mapas/Vila.xml"), fixture.dir.file("ours.xml"),
                             fixture.dir.file("cut.xml"), "--path", "Mapas/Vila.xml"});
    EXPECT_EQ(cut.status, 1);
    EXPECT_NE(cut.errText().find("\"Mapas/Vila.xml (deles)\" está danificado"), std::string::npos) << cut.errText();
    EXPECT_EQ(fixture.dir.read("ours.xml"), good);

    EXPECT_EQ(runCli({"textconv", fixture.dir.file("cut.xml")}).status, 1);
    const auto binary = runCli({"textconv", fixture.dir.file("bin.xml")});
    EXPECT_EQ(binary.status, 1);
    EXPECT_NE(binary.errText().find("não é um arquivo de texto do projeto"), std::string::npos) << binary.errText();
    EXPECT_EQ(runCli({"textconv", fixture.dir.file("nada.xml")}).status, 1);

    // A table whose fields changed on one side and rows on the other.
    qmtest::TempDir t;
    const QByteArray base = fixture.dir.read("Data/Itens.xml");
    t.write("base.xml", base);
    QByteArray ours = base;
    ours.replace("attrname=\"Nome\"", "attrname=\"Nomes\"");
    t.write("ours.xml", ours);
    QByteArray theirs = base;
    theirs.replace("</ROWDATA>", "<ROW Nome=\"Espada\"/></ROWDATA>");
    t.write("theirs.xml", theirs);
    const auto schema = runCli({"merge", t.file("base.xml"), t.file("ours.xml"), t.file("theirs.xml")});
    EXPECT_EQ(schema.status, 1);
    EXPECT_NE(schema.errText().find("os campos da tabela mudaram"), std::string::npos) << schema.errText();
    EXPECT_EQ(t.read("ours.xml"), ours);
}

TEST(CliGit, TextconvListsTableRecordsFieldByField) {
    qmtest::ProjectFixture fixture;
    QByteArray items = fixture.dir.read("Data/Itens.xml");
    items.replace("</ROWDATA>", "<ROW Nome=\"Po&#231;&#227;o\" Acao=\"2\" Evento=\"a&#13;&#10;b\"/></ROWDATA>");
    fixture.dir.write("Data/Itens.xml", items);
    const auto r = runCli({"textconv", fixture.dir.file("Data/Itens.xml")});
    ASSERT_EQ(r.status, 0) << r.errText();
    EXPECT_NE(r.outText().find("Nome \"Poção\": Acao = 2\n"), std::string::npos) << r.outText();
    EXPECT_NE(r.outText().find("Nome \"Poção\": Evento = a\\r\\nb\n"), std::string::npos);
    EXPECT_EQ(r.outText().rfind("Tabela: Nome (string 30), ", 0), 0u);
}
