// render: the picture's size and its pixels against the tile pictures, in
// each mode and with each view option.
#include "CliRunner.h"
#include "ProjectFixture.h"

#include <QImage>

#include <gtest/gtest.h>

using qmtest::runCli;

namespace {

constexpr int kCell = 40;

// Cell (1, 1): grass alone. Cell (1, 2): a tree (transparent) over sand.
// Cell (2, 1): water marked 'X' with a message. Cell (2, 2): a character on grass.
// Row 3: grass marked 'X', then 'O', 'O'.
quillmark::MapGrid smallGrid() {
    quillmark::MapGrid g;
    g.newGrid(3);
    g.setXO(3, 1, 'X');
    g.setTipo(1, 2, 120);
    g.setFundo(1, 2, 54);
    g.setTipo(2, 1, 72);
    g.setFundo(2, 1, 72);
    g.setXO(2, 1, 'X');
    g.setEvento(2, 1, "OnActionPress>ShowMessage:Oi&");
    g.setEvento(2, 2, "AddChar:Ana|1");
    return g;
}

struct Rendered {
    qmtest::ProjectFixture project;
    QImage picture(const QStringList& options = {}) {
        const QString out = project.folder() + "out.png";
        QFile::remove(out);
        const auto r = runCli(QStringList{"render", project.projectFile(), "Vila.xml", out} + options);
        EXPECT_EQ(r.status, 0) << r.errText();
        EXPECT_TRUE(r.out.isEmpty() && r.err.isEmpty()) << r.outText() << r.errText();
        return QImage(out).convertToFormat(QImage::Format_RGB32);
    }
    QImage tile(const char* file) {
        return QImage(project.folder() + "Imagens/" + file).convertToFormat(QImage::Format_RGB32);
    }
};

// True when the square of the cell (row, column) between the offsets lo..hi
// (inside the cell) shows exactly the picture's pixels, key colour aside when
// `under` is given (then those pixels must show `under`).
bool cellShows(const QImage& map, int row, int column, const QImage& top, const QImage* under = nullptr, int lo = 2,
               int hi = 38) {
    const QRgb key = top.pixel(0, top.height() - 1);
    for (int y = lo; y < hi; ++y)
        for (int x = lo; x < hi; ++x) {
            QRgb want = top.pixel(x, y);
            if (under && want == key) want = under->pixel(x, y);
            if (map.pixel((column - 1) * kCell + x, (row - 1) * kCell + y) != want) return false;
        }
    return true;
}

// The region of the cell where the letters sit differs between two pictures.
bool regionDiffers(const QImage& a, const QImage& b, int row, int column, QRect inCell) {
    for (int y = inCell.top(); y <= inCell.bottom(); ++y)
        for (int x = inCell.left(); x <= inCell.right(); ++x)
            if (a.pixel((column - 1) * kCell + x, (row - 1) * kCell + y) !=
                b.pixel((column - 1) * kCell + x, (row - 1) * kCell + y))
                return true;
    return false;
}

const QRect kMarkArea(5, 5, 10, 10);      // "X"/"O" and the X coordinate
const QRect kLetterArea(28, 23, 10, 10);  // "E"/"C"

}  // namespace

TEST(CliRender, SizeIsFortyPixelsPerCell) {
    qmtest::ProjectFixture p;
    p.addMap("Vila.xml");  // 14 x 14
    const QString out = p.folder() + "vila.png";
    const auto r = runCli({"render", p.projectFile(), "Vila.xml", out});
    ASSERT_EQ(r.status, 0) << r.errText();
    const QImage img(out);
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(img.size(), QSize(560, 560));
}

TEST(CliRender, UpperModeDrawsTheTransparentTileOverTheGround) {
    Rendered r;
    r.project.addMap("Vila.xml", smallGrid());
    const QImage map = r.picture();
    ASSERT_EQ(map.size(), QSize(120, 120));
    const QImage grass = r.tile("Grama.bmp"), tree = r.tile("Arvore.bmp"), sand = r.tile("Areia.bmp"),
                 water = r.tile("Agua.bmp");
    EXPECT_TRUE(cellShows(map, 1, 1, grass));
    EXPECT_TRUE(cellShows(map, 1, 2, tree, &sand)) << "the sand shows through the tree's key colour";
    EXPECT_FALSE(cellShows(map, 1, 2, sand));
    EXPECT_TRUE(cellShows(map, 2, 1, water, nullptr, 2, 22)) << "above the event letter";
    // The grid line runs along the cell's top and left edges.
    EXPECT_NE(map.pixel(20, 0), grass.pixel(20, 0));
    EXPECT_NE(map.pixel(0, 20), grass.pixel(0, 20));
}

TEST(CliRender, LowerModeDrawsTheGroundAlone) {
    Rendered r;
    r.project.addMap("Vila.xml", smallGrid());
    const QImage map = r.picture({"--mode", "lower"});
    EXPECT_TRUE(cellShows(map, 1, 2, r.tile("Areia.bmp")));
    EXPECT_TRUE(cellShows(map, 1, 1, r.tile("Grama.bmp")));
}

TEST(CliRender, MarksLettersAndCoordinatesFollowTheOptions) {
    Rendered r;
    r.project.addMap("Vila.xml", smallGrid());
    const QImage upper = r.picture();
    const QImage events = r.picture({"--mode=events"});
    const QImage plain = r.picture({"--no-events", "--no-objects"});
    const QImage coordinates = r.picture({"--coordinates"});
    const QImage grass = r.tile("Grama.bmp");

    // Event mode: a mark on every cell, and an 'X' is not an 'O'.
    EXPECT_TRUE(regionDiffers(upper, events, 1, 1, kMarkArea));
    EXPECT_TRUE(regionDiffers(upper, events, 2, 1, kMarkArea));
    EXPECT_FALSE(regionDiffers(upper, events, 1, 1, QRect(20, 20, 18, 18))) << "the tile around the mark stays";
    const auto mark = [&](int row, int column) {
        return events.copy((column - 1) * kCell + 5, (row - 1) * kCell + 5, 12, 12);
    };
    EXPECT_NE(mark(3, 1), mark(3, 2)) << "'X' and 'O' on the same grass";
    EXPECT_EQ(mark(3, 2), mark(3, 3));
    EXPECT_EQ(mark(3, 2), mark(1, 1));

    // "E" on the event, "C" on the character, both gone without the options.
    EXPECT_TRUE(regionDiffers(upper, plain, 2, 1, kLetterArea));
    EXPECT_TRUE(regionDiffers(upper, plain, 2, 2, kLetterArea));
    EXPECT_FALSE(regionDiffers(upper, plain, 1, 1, QRect(1, 1, 38, 38))) << "a cell without event is the same";
    EXPECT_TRUE(cellShows(plain, 2, 2, grass)) << "nothing on the character's cell then";

    // Coordinates are written over the tile.
    EXPECT_TRUE(regionDiffers(upper, coordinates, 1, 1, kMarkArea));
    EXPECT_FALSE(cellShows(coordinates, 1, 1, grass));
}

TEST(CliRender, Failures) {
    qmtest::ProjectFixture p;
    p.addMap("Vila.xml");
    const QString out = p.folder() + "out.png";
    EXPECT_EQ(runCli({"render", p.projectFile(), "Vila.xml", out, "--mode", "side"}).status, 2);
    EXPECT_EQ(runCli({"render", p.projectFile(), "Vila.xml"}).status, 2);

    const auto missing = runCli({"render", p.projectFile(), "Caverna.xml", out});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.errText(), "Missing data provider or data packet\n");

    const auto nowhere = runCli({"render", p.projectFile(), "Vila.xml", p.folder() + "sem/pasta/out.png"});
    EXPECT_EQ(nowhere.status, 1);
    EXPECT_NE(nowhere.errText().find("out.png"), std::string::npos) << nowhere.errText();
    EXPECT_FALSE(QFile::exists(out));

    quillmark::MapGrid empty;
    p.addMap("Vazio.xml", empty);
    const auto nothing = runCli({"render", p.projectFile(), "Vazio.xml", out});
    EXPECT_EQ(nothing.status, 1);
    EXPECT_FALSE(QFile::exists(out));
}
