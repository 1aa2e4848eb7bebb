// The editor's settings files: the INI profile, the recent project, the main
// window's placement and the band positions.
#include "TempDir.h"

#include "model/session/Settings.h"

#include <gtest/gtest.h>

using namespace quillmark;

namespace {

QString textOf(const qmtest::TempDir& dir, const QString& name) { return QString::fromUtf8(dir.read(name)); }

}  // namespace

TEST(IniFile, ReadsSectionsAndKeysWithoutRegardToCase) {
    qmtest::TempDir dir;
    dir.write("x.ini",
              "; a note\r\n[form1]\r\nmaximized = 1\r\nLEFT=-12\r\nWidth=800px\r\nTop=abc\r\n[Bar]\r\nBar1Left=7\r\n");
    IniFile ini(dir.file("x.ini"));
    EXPECT_TRUE(ini.readBool("Form1", "Maximized", false));
    EXPECT_EQ(ini.readInteger("Form1", "Left", 0), -12);
    EXPECT_EQ(ini.readInteger("Form1", "Width", 0), 800);  // leading digits, as the profile functions read them
    EXPECT_EQ(ini.readInteger("Form1", "Top", 55), 55);    // not a number: the default
    EXPECT_EQ(ini.readInteger("bar", "bar1left", 0), 7);
    EXPECT_EQ(ini.readString("Nope", "Key", "dflt"), "dflt");
}

TEST(IniFile, WritingKeepsOtherEntriesAndReplacesTheFileWhole) {
    qmtest::TempDir dir;
    dir.write("x.ini", "[Other]\r\nKeep=me\r\n[Project]\r\nRecent=old\r\n");
    IniFile ini(dir.file("x.ini"));
    ini.writeString("project", "recent", "/new/path.qmk");
    ini.writeBool("Form1", "Maximized", true);
    ini.save();
    EXPECT_EQ(textOf(dir, "x.ini"),
              "[Other]\r\nKeep=me\r\n\r\n[Project]\r\nRecent=/new/path.qmk\r\n\r\n[Form1]\r\nMaximized=1\r\n");
}

TEST(IniFile, AValueStaysOneLine) {
    qmtest::TempDir dir;
    IniFile ini(dir.file("sub/x.ini"));  // the folder is made when saving
    ini.writeString("Project", "Recent", "a\nb\r\n[Evil]");
    ini.save();
    IniFile back(dir.file("sub/x.ini"));
    EXPECT_EQ(back.readString("Project", "Recent", ""), "a b  [Evil]");
    EXPECT_FALSE(back.hasKey("Evil", ""));
}

TEST(Recent, WrittenAndReadBack) {
    qmtest::TempDir dir;
    const QString conf = dir.file("Data/conf.ini");
    EXPECT_EQ(readRecent(conf), "");
    writeRecent(conf, "/home/ana/Jogos/Aventura & Cia/Aventura.qmk");
    EXPECT_EQ(readRecent(conf), "/home/ana/Jogos/Aventura & Cia/Aventura.qmk");
    EXPECT_EQ(textOf(dir, "Data/conf.ini"), "[Project]\r\nRecent=/home/ana/Jogos/Aventura & Cia/Aventura.qmk\r\n");
}

TEST(Recent, LivesBesideTheEditorOrInTheUsersFolder) {
    qmtest::TempDir editor;
    qmtest::TempDir user;
    EXPECT_EQ(recentSettingsPath(editor.path(), user.path(), true), editor.path() + "Data/conf.ini");
    EXPECT_EQ(recentSettingsPath(editor.path(), user.path(), false), user.path() + "conf.ini");
    // An existing data folder spelled otherwise is found.
    editor.write("data/conf.ini", "");
    EXPECT_EQ(recentSettingsPath(editor.path(), user.path(), true), editor.path() + "data/conf.ini");
    EXPECT_TRUE(canWriteEditorSettings(editor.path()));
    EXPECT_FALSE(canWriteEditorSettings(editor.path() + "missing/"));
}

TEST(Placement, MaximisedWritesOnlyTheFlagAndKeepsEarlierBounds) {
    qmtest::TempDir dir;
    const QString path = dir.file("quillmark.INI");
    {
        IniFile ini(path);
        SaveFormPlacement(ini, false, 10, 20, 900, 700);
        ini.save();
    }
    {
        IniFile ini(path);
        SaveFormPlacement(ini, true, 0, 0, 1280, 1000);
        ini.save();
    }
    const FormPlacement p = LoadFormPlacement(IniFile(path), FormPlacement{});
    ASSERT_TRUE(p.maximized.has_value());
    EXPECT_TRUE(*p.maximized);
    EXPECT_EQ(p.left, 10);
    EXPECT_EQ(p.top, 20);
    EXPECT_EQ(p.width, 900);
    EXPECT_EQ(p.height, 700);
    EXPECT_EQ(textOf(dir, "quillmark.INI"),
              "[Form1]\r\nMaximized=1\r\nLeft=10\r\nTop=20\r\nWidth=900\r\nHeight=700\r\n");
}

TEST(Placement, AMissingFileKeepsTheDefaultsAndSaysNothingOfMaximised) {
    qmtest::TempDir dir;
    FormPlacement defaults;
    defaults.left = 3;
    defaults.top = 4;
    defaults.width = 808;
    defaults.height = 615;
    const FormPlacement p = LoadFormPlacement(IniFile(dir.file("none.INI")), defaults);
    EXPECT_FALSE(p.maximized.has_value());
    EXPECT_EQ(p.width, 808);
    EXPECT_EQ(p.height, 615);
    EXPECT_EQ(p.left, 3);
}

TEST(Bands, RoundTripWithDefaultsForMissingKeys) {
    qmtest::TempDir dir;
    dir.write("q.INI", "[Bar]\r\nBar2Left=150\r\n");
    IniFile ini(dir.file("q.INI"));
    const BandLefts read = loadBandLefts(ini, {0, 1, 2, 3});
    EXPECT_EQ(read, (BandLefts{0, 150, 2, 3}));
    saveBandLefts(ini, {5, 160, 330, 420});
    ini.save();
    EXPECT_EQ(loadBandLefts(IniFile(dir.file("q.INI")), {}), (BandLefts{5, 160, 330, 420}));
    EXPECT_EQ(textOf(dir, "q.INI"), "[Bar]\r\nBar2Left=160\r\nBar1Left=5\r\nBar3Left=330\r\nBar4Left=420\r\n");
}
