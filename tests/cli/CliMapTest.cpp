// The command-line tool's frame (usage, help, exit statuses) and the map
// commands dump and resave, run as a separate process.
#include "CliRunner.h"
#include "ProjectFixture.h"

#include "model/core/MapFile.h"
#include "model/core/RecordTable.h"
#include "model/database/DataModule.h"
#include "model/database/MapSaving.h"

#include <gtest/gtest.h>

using qmtest::runCli;

namespace {

// A small map with every kind of cell: codes above 127, an 'X' mark, an event
// with quotes, a backslash and an accent, a character, a "NULL" and an empty text.
quillmark::MapGrid knownGrid() {
    quillmark::MapGrid g;
    g.newGrid(3);
    const unsigned char tipo[3][3] = {{48, 49, 120}, {200, 72, 48}, {180, 191, 128}};
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 3; ++c) g.setTipo(r, c, tipo[r - 1][c - 1]);
    g.setFundo(1, 3, 53);
    g.setXO(2, 2, 'X');
    g.setEvento(1, 2, "OnActionPress>ShowMessage:Ol\xE1 \"mundo\" \\ fim&");
    g.setEvento(2, 1, "AddChar:Ana|3");
    g.setEvento(3, 3, "NULL");
    return g;
}

const char* kKnownJson =
    "{\"size\": 3, "
    "\"tipo\": [[48, 49, 120], [200, 72, 48], [180, 191, 128]], "
    "\"fundo\": [[48, 48, 53], [48, 48, 48], [48, 48, 48]], "
    "\"xo\": [[79, 79, 79], [79, 88, 79], [79, 79, 79]], "
    "\"events\": [{\"row\": 1, \"column\": 2, \"text\": \"OnActionPress>ShowMessage:Olá \\\"mundo\\\" \\\\ fim&\"}, "
    "{\"row\": 2, \"column\": 1, \"text\": \"AddChar:Ana|3\"}]}\n";

}  // namespace

TEST(CliFrame, HelpListsEveryCommandOnOneLineEach) {
    const auto r = runCli({"--help"});
    ASSERT_EQ(r.status, 0) << r.errText();
    const QStringList lines = QString::fromUtf8(r.out).split('\n');
    for (const char* command : {"new ", "new-map ", "dump ", "resave ", "render ", "check "}) {
        int count = 0;
        for (const QString& l : lines)
            if (l.startsWith(QString("  ") + command)) ++count;
        EXPECT_EQ(count, 1) << command;
    }
    EXPECT_EQ(r.out.count("  demo"), 0) << "the build's own demo step stays out of the help";
    EXPECT_EQ(runCli({"dump", "--help"}).status, 0);
}

TEST(CliFrame, UsageErrorsExitWithTwo) {
    EXPECT_EQ(runCli({}).status, 2);
    const auto unknown = runCli({"paint", "x.qmk"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.errText().find("paint"), std::string::npos);
    EXPECT_EQ(runCli({"dump", "x.qmk"}).status, 2);                        // too few
    EXPECT_EQ(runCli({"dump", "x.qmk", "Vila.xml", "more"}).status, 2);    // too many
    EXPECT_EQ(runCli({"dump", "x.qmk", "Vila.xml", "--mode"}).status, 2);  // an option dump has not
    EXPECT_EQ(runCli({"new", "x.qmk", "--name"}).status, 2);               // option without its value
    EXPECT_EQ(runCli({"new-map", "x.qmk", "Ru\xC3\xADna\xE2\x82\xAC\xE2\x98\x83"}).status, 2)
        << "a snowman has no CP1252 byte";
    const auto usage = runCli({"check"});
    EXPECT_EQ(usage.status, 2);
    EXPECT_NE(usage.errText().find("check PROJECT.qmk"), std::string::npos) << usage.errText();
}

TEST(CliFrame, MissingProjectFailsWithTheEditorsMessage) {
    qmtest::TempDir dir;
    for (const QStringList& args : {QStringList{"dump", dir.file("Nada.qmk"), "Vila.xml"},
                                    QStringList{"resave", dir.file("Nada.qmk"), "Vila.xml"},
                                    QStringList{"new-map", dir.file("Nada.qmk"), "Vila"}}) {
        const auto r = runCli(args);
        EXPECT_EQ(r.status, 1) << args.join(' ').toStdString();
        EXPECT_NE(r.errText().find("Cannot open file"), std::string::npos) << r.errText();
        EXPECT_NE(r.errText().find("Nada.qmk"), std::string::npos) << r.errText();
        EXPECT_TRUE(r.out.isEmpty());
    }
}

TEST(CliDump, PrintsTheMapAsExactJson) {
    qmtest::ProjectFixture p;
    p.addMap("Vila.xml", knownGrid());
    const auto r = runCli({"dump", p.projectFile(), "Vila.xml"});
    ASSERT_EQ(r.status, 0) << r.errText();
    EXPECT_EQ(r.outText(), kKnownJson);
    EXPECT_TRUE(r.err.isEmpty()) << r.errText();
}

TEST(CliDump, FindsTheMapWithoutRegardToLetterCase) {
    qmtest::ProjectFixture p;
    p.addMap("Vila.xml", knownGrid());
    const auto r = runCli({"dump", p.projectFile(), "vILA.XML"});
    ASSERT_EQ(r.status, 0) << r.errText();
    EXPECT_EQ(r.outText(), kKnownJson);
}

TEST(CliDump, AnAccentedMapNameIsTakenFromUtf8) {
    qmtest::ProjectFixture p;
    quillmark::MapGrid g;
    g.newGrid(1);
    p.addMap("Pra\xE7"
             "a.xml",
             g);  // "Praça.xml" in CP1252
    const auto r = runCli({"dump", p.projectFile(), QString::fromUtf8("Praça.xml")});
    ASSERT_EQ(r.status, 0) << r.errText();
    EXPECT_EQ(r.outText(), "{\"size\": 1, \"tipo\": [[48]], \"fundo\": [[48]], \"xo\": [[79]], \"events\": []}\n");
}

TEST(CliDump, MissingOrBrokenMapFails) {
    qmtest::ProjectFixture p;
    p.addMap("Vila.xml");
    const auto missing = runCli({"dump", p.projectFile(), "Caverna.xml"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.errText(), "Missing data provider or data packet\n");
    EXPECT_TRUE(missing.out.isEmpty());

    p.dir.write("Mapas/Quebrado.xml", "<DATAPACKET><ROWDATA>");
    const auto broken = runCli({"dump", p.projectFile(), "Quebrado.xml"});
    EXPECT_EQ(broken.status, 1);
    EXPECT_FALSE(broken.err.isEmpty());
    EXPECT_TRUE(broken.out.isEmpty());
}

TEST(CliDump, NeedsOnlyTheProjectFileWhileRenderAndResaveNeedTheTilesTable) {
    qmtest::ProjectFixture p;
    p.addMap("Vila.xml", knownGrid());
    QFile::remove(p.folder() + "Data/Tiles.xml");
    const auto dump = runCli({"dump", p.projectFile(), "Vila.xml"});
    ASSERT_EQ(dump.status, 0) << dump.errText();
    EXPECT_EQ(dump.outText(), kKnownJson);

    const QString out = p.folder() + "Vila.png";
    for (const QStringList& args : {QStringList{"render", p.projectFile(), "Vila.xml", out},
                                    QStringList{"resave", p.projectFile(), "Vila.xml"}}) {
        const auto r = runCli(args);
        EXPECT_EQ(r.status, 1) << args.first().toStdString();
        EXPECT_EQ(r.errText(), "Missing data provider or data packet\n") << args.first().toStdString();
    }
    EXPECT_FALSE(QFile::exists(out));
}

TEST(CliResave, RefreshesTransparencyFromTheTilesTable) {
    qmtest::ProjectFixture p;
    quillmark::MapGrid g = knownGrid();
    p.addMap("Vila.xml", g);

    // The tile '0' (48) becomes transparent after the map was saved: the file
    // still says false for its cells until it is saved again.
    {
        quillmark::TDataModule1 data;
        data.pointAt(data.cdsTiles, p.folder());
        data.cdsTiles.setFilter("Tipo = '0'");
        data.cdsTiles.setFiltered(true);
        data.cdsTiles.edit();
        data.cdsTiles.setBoolean("Transparente", true);
        data.cdsTiles.post();
        data.cdsTiles.setFiltered(false);
        data.cdsTiles.close();
    }
    const QByteArray before = p.dir.read("Mapas/Vila.xml");

    const auto r = runCli({"resave", p.projectFile(), "vila.xml"});
    ASSERT_EQ(r.status, 0) << r.errText();
    EXPECT_TRUE(r.out.isEmpty());

    quillmark::TDataModule1 data;
    data.pointAt(data.cdsTiles, p.folder());
    g.CurrentMap = "Vila.xml";
    const QByteArray after = p.dir.read("Mapas/Vila.xml");
    EXPECT_NE(after, before);
    EXPECT_EQ(after.toStdString(), quillmark::mapFileText(g, data)) << "the editor's writer, the new flags";
    EXPECT_EQ(QDir(p.folder() + "Mapas").entryList(QDir::Files), QStringList{"Vila.xml"})
        << "the file found is replaced, no second file is made";

    // The cells themselves come back unchanged.
    const auto dump = runCli({"dump", p.projectFile(), "Vila.xml"});
    EXPECT_EQ(dump.outText(), kKnownJson);
}

TEST(CliResave, MissingMapOrTilesTableFails) {
    qmtest::ProjectFixture p;
    p.addMap("Vila.xml");
    const auto missing = runCli({"resave", p.projectFile(), "Caverna.xml"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.errText(), "Missing data provider or data packet\n");
    EXPECT_FALSE(p.dir.exists("Mapas/Caverna.xml"));

    const QByteArray before = p.dir.read("Mapas/Vila.xml");
    QFile::remove(p.folder() + "Data/Tiles.xml");
    const auto noTiles = runCli({"resave", p.projectFile(), "Vila.xml"});
    EXPECT_EQ(noTiles.status, 1);
    EXPECT_EQ(noTiles.errText(), "Missing data provider or data packet\n");
    EXPECT_EQ(p.dir.read("Mapas/Vila.xml"), before) << "a failed resave leaves the map file alone";
}
