// The map settings table "Data\PropMapas.xml": one record per map, kept
// across stores, read back from disk, and absent meaning "no battles".
#include "ProjectFixture.h"
#include "model/core/Error.h"
#include "model/core/RecordTable.h"
#include "model/mapedit/MapProperties.h"

#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace quillmark;

namespace {

MapSettings forest() {
    MapSettings s;
    s.EvetoAutoRun = "ShowMessage:Bem-vindo \xE0 floresta&\r\nIniciaChuva:";
    s.EnemysTipe = true;
    s.Enemy = {"Slime", "", "Morcego"};
    return s;
}

QString tablePath(const qmtest::ProjectFixture& p) { return p.folder() + "Data/PropMapas.xml"; }

}  // namespace

TEST(MapSettings, NoTableMeansNoBattlesAndNoAutoRun) {
    qmtest::ProjectFixture p;
    EXPECT_TRUE(readAllMapSettings(p.folder()).empty());
    EXPECT_EQ(readMapSettings(p.folder(), "Vila.xml"), MapSettings{});
    EXPECT_FALSE(readMapSettings(p.folder(), "Vila.xml").EnemysTipe);
}

TEST(MapSettings, StoredPerMapAndOtherMapsKept) {
    qmtest::ProjectFixture p;
    storeMapSettings(p.folder(), "Floresta.xml", forest());
    MapSettings cave;
    cave.EnemysTipe = true;
    cave.Enemy = {"Morcego", "Morcego", "Golem"};
    storeMapSettings(p.folder(), "Caverna.xml", cave);
    // changing one map's record leaves the other's alone, and its place in the table
    MapSettings calmer = forest();
    calmer.EnemysTipe = false;
    storeMapSettings(p.folder(), "floresta.XML", calmer);

    const auto all = readAllMapSettings(p.folder());
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].first, "Floresta.xml");
    EXPECT_EQ(all[0].second, calmer);
    EXPECT_EQ(all[1].first, "Caverna.xml");
    EXPECT_EQ(all[1].second, cave);
    EXPECT_EQ(readMapSettings(p.folder(), "CAVERNA.xml"), cave);
}

TEST(MapSettings, TheTableHasTheFieldsTheGameReads) {
    qmtest::ProjectFixture p;
    storeMapSettings(p.folder(), "Floresta.xml", forest());
    RecordTable t;
    t.setFileName(tablePath(p));
    t.open();
    ASSERT_EQ(t.recordCount(), 1);
    EXPECT_EQ(t.asString("Mapa"), "Floresta.xml");
    EXPECT_EQ(t.asString("EvetoAutoRun"), forest().EvetoAutoRun);  // the line break and the accent survive
    EXPECT_TRUE(t.asBoolean("EnemysTipe"));
    EXPECT_EQ(t.asString("Enemy1"), "Slime");
    EXPECT_EQ(t.asString("Enemy2"), "");
    EXPECT_EQ(t.asString("Enemy3"), "Morcego");
    const QByteArray text = [&] {
        QFile f(tablePath(p));
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    EXPECT_TRUE(text.contains("attrname=\"EnemysTipe\" fieldtype=\"boolean\"")) << text.toStdString();
    EXPECT_TRUE(text.contains("attrname=\"Enemy1\" fieldtype=\"string\" WIDTH=\"50\"")) << text.toStdString();
}

TEST(MapSettings, UnchangedSettingsWriteNothing) {
    qmtest::ProjectFixture p;
    storeMapSettings(p.folder(), "Vila.xml", MapSettings{});
    EXPECT_FALSE(QFile::exists(tablePath(p)));  // defaults need no record
    storeMapSettings(p.folder(), "Floresta.xml", forest());
    // an atomic write would put a new file (a new inode) in place
    const auto inode = [&] {
        struct stat st {};
        ::stat(QFile::encodeName(tablePath(p)).constData(), &st);
        return st.st_ino;
    };
    const auto before = inode();
    storeMapSettings(p.folder(), "Floresta.xml", forest());
    storeMapSettings(p.folder(), "Caverna.xml", MapSettings{});
    EXPECT_EQ(inode(), before);
    storeMapSettings(p.folder(), "Caverna.xml", MapSettings{"", true, {}});
    EXPECT_NE(inode(), before);
}

TEST(MapSettings, ABrokenTableIsReportedAndNotOverwritten) {
    qmtest::ProjectFixture p;
    p.dir.write("Data/PropMapas.xml", "<DATAPACKET>broken");
    EXPECT_THROW(readAllMapSettings(p.folder()), Error);
    EXPECT_THROW(storeMapSettings(p.folder(), "Vila.xml", forest()), Error);
    QFile f(tablePath(p));
    f.open(QIODevice::ReadOnly);
    EXPECT_EQ(f.readAll(), "<DATAPACKET>broken");
}

TEST(MapSettings, RandomBattlesAreWrittenTrueOrFalseAndReadInAnyCase) {
    qmtest::ProjectFixture p;
    storeMapSettings(p.folder(), "Floresta.xml", forest());
    MapSettings calm;
    calm.EvetoAutoRun = "IniciaChuva:";
    storeMapSettings(p.folder(), "Vila.xml", calm);
    const QByteArray text = p.dir.read("Data/PropMapas.xml");
    EXPECT_TRUE(text.contains("EnemysTipe=\"True\"")) << text.toStdString();
    EXPECT_TRUE(text.contains("EnemysTipe=\"False\"")) << text.toStdString();
    EXPECT_FALSE(text.contains("\"TRUE\"") || text.contains("\"FALSE\"")) << text.toStdString();

    // a table an older writer made with capitals, or another hand in lower case
    for (const char* on : {"TRUE", "true", "True"}) {
        QByteArray other = text;
        other.replace("EnemysTipe=\"True\"", QByteArray("EnemysTipe=\"") + on + "\"");
        other.replace("EnemysTipe=\"False\"",
                      on[0] == 'T' && on[1] == 'R' ? "EnemysTipe=\"FALSE\"" : "EnemysTipe=\"false\"");
        p.dir.write("Data/PropMapas.xml", other);
        EXPECT_TRUE(readMapSettings(p.folder(), "Floresta.xml").EnemysTipe) << on;
        EXPECT_FALSE(readMapSettings(p.folder(), "Vila.xml").EnemysTipe) << on;
        // storing again writes the spelling
        MapSettings changed = forest();
        changed.Enemy[1] = "Golem";
        storeMapSettings(p.folder(), "Floresta.xml", changed);
        EXPECT_TRUE(p.dir.read("Data/PropMapas.xml").contains("EnemysTipe=\"True\"")) << on;
        EXPECT_EQ(readMapSettings(p.folder(), "Vila.xml"), calm) << on;
    }
}
