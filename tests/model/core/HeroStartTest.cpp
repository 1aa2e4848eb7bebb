// The hero's start: the nearest cell of a stored position, exact cells, and
// what is said of a start outside the initial map or off a cell, judged on
// the map file of a project on disk.
#include "ProjectFixture.h"

#include "model/core/HeroStart.h"
#include "model/core/ProjectFile.h"

#include <gtest/gtest.h>

using namespace quillmark;

TEST(HeroStart, TheNearestCellOfAPosition) {
    struct Case {
        int x, y, row, column;
    };
    const Case cases[] = {
        {160, 60, 1, 1},    // exactly cell (1, 1)
        {200, 190, 4, 2},   // a new project's start: 4.25 rows down, the nearest row is 4
        {200, 210, 5, 2},   // 4.75 rows down: row 5, where rounding down said 4
        {179, 79, 1, 1},    // just short of half way
        {180, 80, 2, 2},    // half way goes to the later cell
        {139, 39, 0, 0},    // nearer to the cell before the first
        {90, -10, -1, -1},  // before the map
        {9999, 190, 4, 247},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(nearestCell(c.x, c.y), std::make_pair(c.row, c.column)) << c.x << "/" << c.y;
        const auto [x, y] = cellPosition(c.row, c.column);
        EXPECT_TRUE(isOnCell(x, y));
        EXPECT_EQ(nearestCell(x, y), std::make_pair(c.row, c.column));
    }
    EXPECT_FALSE(isOnCell(200, 190));
    EXPECT_FALSE(isOnCell(161, 60));
    EXPECT_TRUE(isOnCell(200, 180));
}

TEST(HeroStart, OutsideTheMapAndOffACellAreToldApart) {
    HeroStartFindings f = judgeHeroStart(200, 180, "Vila.xml", 14);
    EXPECT_TRUE(f.outside.empty());
    EXPECT_TRUE(f.offCell.empty());

    f = judgeHeroStart(200, 190, "Vila.xml", 14);
    EXPECT_TRUE(f.outside.empty());
    EXPECT_NE(f.offCell.find("X 200, Y 190"), std::string::npos) << f.offCell;
    EXPECT_NE(f.offCell.find("linha 4, coluna 2: X 200, Y 180"), std::string::npos) << f.offCell;

    f = judgeHeroStart(9999, 180, "Vila.xml", 14);
    EXPECT_NE(f.outside.find("fora do mapa inicial \"Vila.xml\" (14 × 14)"), std::string::npos) << f.outside;
    EXPECT_NE(f.outside.find("coluna 247"), std::string::npos) << f.outside;
    EXPECT_FALSE(f.offCell.empty());  // 9999 is not on a column either

    // the last cell, and one past it, on a 14 x 14 map
    EXPECT_TRUE(judgeHeroStart(cellPosition(14, 14).first, cellPosition(14, 14).second, "V.xml", 14).outside.empty());
    EXPECT_FALSE(judgeHeroStart(cellPosition(15, 14).first, cellPosition(15, 14).second, "V.xml", 14).outside.empty());
    EXPECT_FALSE(judgeHeroStart(cellPosition(0, 3).first, cellPosition(0, 3).second, "V.xml", 14).outside.empty());
}

TEST(HeroStart, AProjectIsJudgedOnItsInitialMapFile) {
    qmtest::ProjectFixture p;
    MapGrid small;
    small.newGrid(5);
    p.addMap("Casa.xml", small);  // the initial map
    MapGrid big;
    big.newGrid(30);
    p.addMap("Campo.xml", big);
    ProjectState s;
    readProjectFile(p.projectFile(), s);
    EXPECT_EQ(startMapName(s), "Casa.xml");

    s.CharX = cellPosition(1, 10).first;  // column 10: outside the 5 x 5 initial map …
    s.CharY = cellPosition(1, 10).second;
    EXPECT_NE(judgeHeroStart(s).outside.find("\"Casa.xml\" (5 × 5)"), std::string::npos);
    s.InitialMap = "Campo";  // … inside the 30 x 30 one, named without ".xml" as the game allows
    EXPECT_EQ(startMapName(s), "Campo.xml");
    EXPECT_TRUE(judgeHeroStart(s).outside.empty());
    s.InitialMap.clear();  // no initial map: the game starts on the first map
    EXPECT_EQ(startMapName(s), "Casa.xml");
    EXPECT_FALSE(judgeHeroStart(s).outside.empty());
    // a missing initial map is reported elsewhere, not as a start outside it
    s.InitialMap = "Sumiu.xml";
    EXPECT_EQ(judgeHeroStart(s).outside, "");
    s.MapList.clear();
    s.InitialMap.clear();
    EXPECT_EQ(startMapName(s), "");
}
