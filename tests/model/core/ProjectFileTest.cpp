#include "model/core/ProjectFile.h"
#include "Errors.h"
#include "TempDir.h"
#include "model/core/Error.h"
#include "model/core/Text.h"

#include <gtest/gtest.h>

using namespace quillmark;

namespace {

const char* const kTwoMaps = "Project Name:Aventura\r\n"
                             "Project Autor:Equipe\r\n"
                             "Mapas:Vila.xml%Caverna.xml%\r\n"
                             "Mapa Inicial:Vila.xml\r\n"
                             "Char X:200\r\n"
                             "Char Y:190\r\n";

using qmtest::errorOf;

}  // namespace

TEST(ProjectFileRead, TwoMapsExample) {
    qmtest::TempDir dir;
    dir.write("Aventura.qmk", kTwoMaps);
    ProjectState s;
    s.MapList.append("left over");
    readProjectFile(dir.file("Aventura.qmk"), s);
    EXPECT_EQ(s.ProjectFile, dir.file("Aventura.qmk"));
    EXPECT_EQ(s.ProjectFolder, dir.path());
    EXPECT_EQ(s.RuntimePath, dir.file("Aventura.exe"));
    EXPECT_EQ(s.ProjectName, "Aventura");
    EXPECT_EQ(s.ProjectAuthor, "Equipe");
    EXPECT_EQ(s.MapsLine, "Vila.xml%Caverna.xml%");
    EXPECT_EQ(s.MapList, QStringList({dir.file("Mapas/Vila.xml"), dir.file("Mapas/Caverna.xml")}));
    EXPECT_EQ(s.mapFileNames(), (std::vector<std::string>{"Vila.xml", "Caverna.xml"}));
    EXPECT_EQ(s.InitialMap, "Vila.xml");
    EXPECT_EQ(s.CharX, 200);
    EXPECT_EQ(s.CharY, 190);
}

TEST(ProjectFileRead, PrefixesAreSkippedByLengthNotCompared) {
    ProjectState s;
    // LF endings, a short first line, other words in the prefixes, a name
    // after the last '%' that is not listed, accented CP1252 text.
    readProjectFile("/p/Jogo.qmk",
                    "Nome curto\n"
                    "XXXXXXXXXXXXXXJos\xE9\n"
                    "MAPAS=Vila.xml%Caverna.xml\n"
                    "Mapa Inicial:\n"
                    "Char X:-40\n"
                    "Char Y:  +7  ",
                    s);
    EXPECT_EQ(s.ProjectName, "");
    EXPECT_EQ(s.ProjectAuthor, "Jos\xE9");
    EXPECT_EQ(s.MapsLine, "Vila.xml%Caverna.xml");
    EXPECT_EQ(s.MapList, QStringList({"/p/Mapas/Vila.xml"}));
    EXPECT_EQ(s.InitialMap, "");
    EXPECT_EQ(s.CharX, -40);
    EXPECT_EQ(s.CharY, 7);
}

TEST(ProjectFileRead, EdgeCasesOfTheMapsLine) {
    ProjectState s;
    readProjectFile("/p/a.qmk",
                    "Project Name:\r\nProject Autor:\r\nMapas:Vila.xml\r\nMapa Inicial:\r\nChar X:0\r\nChar Y:0\r\n",
                    s);
    EXPECT_EQ(s.ProjectName, "");
    EXPECT_EQ(s.MapsLine, "Vila.xml");
    EXPECT_TRUE(s.MapList.isEmpty());

    readProjectFile("/p/a.qmk",
                    "Project Name:x\r\nProject Autor:\r\nMapas:\r\nMapa Inicial:\r\nChar X:0\r\nChar Y:0\r\n", s);
    EXPECT_TRUE(s.MapList.isEmpty());
    EXPECT_EQ(s.MapsLine, "");

    // Empty names between separators are names too.
    readProjectFile("/p/a.qmk", "\n\nMapas:%%\n\nChar X:1\nChar Y:2\n", s);
    EXPECT_EQ(s.MapList, QStringList({"/p/Mapas/", "/p/Mapas/"}));
}

TEST(ProjectFileRead, RuntimeIsCutAtTheFirstDot) {
    ProjectState s;
    readProjectFile("/games/x/Aventura.final.qmk", kTwoMaps, s);
    EXPECT_EQ(s.ProjectFolder, "/games/x/");
    EXPECT_EQ(s.RuntimePath, "/games/x/Aventura.exe");
    EXPECT_EQ(RemoveExtension(QString("Aventura.final.qmk")), "Aventura");
    EXPECT_EQ(RemoveExtension(QString("SemPonto")), "SemPonto");
    EXPECT_EQ(RemoveExtension(std::string_view(".oculto")), "");
}

TEST(ProjectFileRead, BadOrMissingPositionsStopTheReading) {
    ProjectState s;
    EXPECT_EQ(errorOf([&] {
                  readProjectFile("/p/a.qmk",
                                  "Project Name:A\r\nProject Autor:B\r\nMapas:V.xml%\r\nMapa Inicial:V.xml\r\n", s);
              }),
              "a.qmk, line 5: '' is not a valid integer value");
    // What came before the failing line is kept.
    EXPECT_EQ(s.ProjectName, "A");
    EXPECT_EQ(s.InitialMap, "V.xml");
    EXPECT_EQ(s.MapList.size(), 1);

    EXPECT_EQ(errorOf([&] { readProjectFile("/p/a.qmk", "\n\n\n\nChar X:12\nChar Y:1\xE9", s); }),
              "a.qmk, line 6: '1\xC3\xA9' is not a valid integer value");
    EXPECT_EQ(s.CharX, 12);
    EXPECT_EQ(errorOf([&] { readProjectFile("/p/a.qmk", "\n\n\n\nChar X:3000000000\nChar Y:1", s); }),
              "a.qmk, line 5: '3000000000' is not a valid integer value");
    EXPECT_EQ(errorOf([&] { readProjectFile("/p/a.qmk", "\n\n\n\nChar X:0x10\nChar Y:1", s); }),
              "a.qmk, line 5: '0x10' is not a valid integer value");
    EXPECT_EQ(errorOf([&] { readProjectFile("/p/a.qmk", "\n\n\n\nChar X:+-1\nChar Y:1", s); }),
              "a.qmk, line 5: '+-1' is not a valid integer value");
    EXPECT_EQ(parseIntegerValue("-2147483648"), INT32_MIN);
    EXPECT_THROW(readProjectFile("/nowhere/none.qmk", s), Error);
}

TEST(ProjectFileWrite, SixCrLfLinesAndBack) {
    qmtest::TempDir dir;
    ProjectState s;
    s.ProjectFile = dir.file("Jogo.qmk");
    s.ProjectName = "Aventura \xC0 Noite";
    s.ProjectAuthor = "Equipe";
    s.MapsLine = "Vila.xml%Caverna.xml%";
    s.InitialMap = "Vila.xml";
    s.CharX = kNewProjectCharX;
    s.CharY = -1;
    writeProjectFile(s);
    EXPECT_EQ(dir.read("Jogo.qmk"), QByteArray("Project Name:Aventura \xC0 Noite\r\n"
                                               "Project Autor:Equipe\r\n"
                                               "Mapas:Vila.xml%Caverna.xml%\r\n"
                                               "Mapa Inicial:Vila.xml\r\n"
                                               "Char X:200\r\n"
                                               "Char Y:-1\r\n"));
    ProjectState back;
    readProjectFile(s.ProjectFile, back);
    EXPECT_EQ(back.ProjectName, s.ProjectName);
    EXPECT_EQ(back.MapsLine, s.MapsLine);
    EXPECT_EQ(back.MapList.size(), 2);
    EXPECT_EQ(back.CharX, 200);
    EXPECT_EQ(back.CharY, -1);
    EXPECT_EQ(projectFileBytes(back), dir.read("Jogo.qmk"));

    back.clear();
    EXPECT_TRUE(back.ProjectFolder.isEmpty());
    EXPECT_TRUE(back.MapList.isEmpty());
    EXPECT_EQ(back.ProjectName, "");
    EXPECT_EQ(back.CharX, 0);
}

TEST(ProjectFileWrite, MapsAddedLaterGiveBareNames) {
    ProjectState s;
    s.MapList = {"/p/Mapas/Vila.xml", "Nova.xml", "C:\\old\\Mapas\\Velha.xml"};
    EXPECT_EQ(s.mapFileNames(), (std::vector<std::string>{"Vila.xml", "Nova.xml", "Velha.xml"}));
    EXPECT_EQ(mapFileName(fromCp1252("/p/Mapas/Pra\xE7"
                                     "a.xml")),
              "Pra\xE7"
              "a.xml");
}
