// Where the player puts the hero: the cell nearest to the project file's
// "Char X" / "Char Y", through the real executable in its test mode.
#include "PlayRunner.h"

#include <gtest/gtest.h>

using qmtest::play;

TEST(PlayStart, TheHeroStartsOnTheNearestCell) {
    qmtest::ProjectFixture project;
    project.addMap("Vila.xml");  // 14 x 14
    const QByteArray text = project.dir.read("Aventura.qmk");
    struct Case {
        const char* x;
        const char* y;
        const char* cell;  // row,column
    };
    const Case cases[] = {
        {"200", "190", "4,2"},  // a new project's start, a quarter row below row 4
        {"200", "210", "5,2"},  // three quarters below row 4: row 5 (rounding down said 4)
        {"180", "80", "2,2"},   // half way between cells 1 and 2 on both axes: the later
        {"179", "79", "1,1"},   // just short of half way
        {"680", "540", "13,14"},
    };
    for (const Case& c : cases) {
        project.dir.write("Aventura.qmk", QByteArray(text)
                                              .replace("Char X:200", QByteArray("Char X:") + c.x)
                                              .replace("Char Y:190", QByteArray("Char Y:") + c.y));
        const auto r = play(project.projectFile(), "", 1);
        ASSERT_EQ(r.status, 0) << r.errText();
        EXPECT_EQ(r.lines().front().toStdString(), std::string("inicio \"Aventura\" Vila.xml ") + c.cell + " baixo")
            << c.x << "/" << c.y;
    }
}
