// Cell painting: tile lookups, layer composition, the texts drawn on cells and
// the whole-map rendering used by the command line.
#include "model/mapedit/CellPainter.h"
#include "model/core/MapGrid.h"
#include "model/core/Picture.h"

#include <QGuiApplication>
#include <QPainter>
#include <gtest/gtest.h>

#include <map>
#include <stdexcept>

using namespace quillmark;

namespace {

QRgb rgb(int r, int g, int b) { return qRgb(r, g, b) & 0xFFFFFF; }

// Text needs fonts, fonts need a QGuiApplication.
class CellPainterTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (QGuiApplication::instance()) return;
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "CellPainterTest";
        static char* argv[] = {name, nullptr};
        new QGuiApplication(argc, argv);  // lives until the process ends
    }

    // A solid 40 x 40 tile.
    static Picture solid(QColor color) {
        QImage img(40, 40, QImage::Format_RGB32);
        img.fill(color);
        return Picture(img);
    }
    // A transparent tile: magenta (its bottom-left colour, left out) with a
    // yellow square in the middle.
    static Picture sprite() {
        QImage img(40, 40, QImage::Format_RGB32);
        img.fill(QColor(255, 0, 255));
        for (int y = 10; y < 30; ++y)
            for (int x = 10; x < 30; ++x) img.setPixel(x, y, qRgb(255, 255, 0));
        return Picture(img, true);
    }

    CellPainterTest() {
        pictures['a'] = solid(QColor(200, 0, 0));
        pictures['b'] = solid(QColor(0, 0, 200));
        pictures['t'] = sprite();
        transparent['t'] = true;
        // a transparent picture whose code the table does not call transparent
        pictures['u'] = sprite();
    }

    TileLookup lookup() {
        return TileLookup(
            [this](unsigned char code) -> const Picture& {
                ++pictureCalls;
                auto it = pictures.find(code);
                if (it == pictures.end()) throw std::runtime_error("List index out of bounds (0)");
                return it->second;
            },
            [this](unsigned char code) {
                ++transparencyCalls;
                return transparent.count(code) ? transparent[code] : false;
            });
    }

    // One cell painted alone, as the canvas does.
    QImage paint(const MapGrid& grid, int row, int column, CellMode mode, ViewOptions view = {}) {
        QImage img(40, 40, QImage::Format_ARGB32_Premultiplied);
        img.fill(cellpaint::backgroundColor());
        QPainter p(&img);
        TileLookup tiles = lookup();
        cellpaint::RefreshMapa(p, grid, row, column, mode, view, tiles);
        return img;
    }

    static MapGrid grid(int n, unsigned char tipo, unsigned char fundo) {
        MapGrid g;
        g.newGrid(n);
        for (int r = 1; r <= n; ++r)
            for (int c = 1; c <= n; ++c) {
                g.setTipo(r, c, tipo);
                g.setFundo(r, c, fundo);
            }
        return g;
    }

    static QRgb at(const QImage& img, int x, int y) { return img.pixel(x, y) & 0xFFFFFF; }
    static bool anyWhite(const QImage& img, QRect area) {
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (qRed(img.pixel(x, y)) > 230 && qGreen(img.pixel(x, y)) > 230 && qBlue(img.pixel(x, y)) > 230)
                    return true;
        return false;
    }

    std::map<unsigned char, Picture> pictures;
    std::map<unsigned char, bool> transparent;
    int pictureCalls = 0;
    int transparencyCalls = 0;
};

TEST_F(CellPainterTest, LookupsAreMadeOncePerCodeUntilReset) {
    TileLookup tiles = lookup();
    EXPECT_FALSE(tiles.image('a').isNull());
    tiles.image('a');
    tiles.transparent('t');
    EXPECT_TRUE(tiles.transparent('t'));
    EXPECT_EQ(pictureCalls, 1);
    EXPECT_EQ(transparencyCalls, 1);
    tiles.reset();
    tiles.image('a');
    EXPECT_EQ(pictureCalls, 2);
    // a failing lookup gives no picture instead of an error
    EXPECT_TRUE(tiles.image('z').isNull());
    EXPECT_FALSE(TileLookup().transparent('a'));
}

TEST_F(CellPainterTest, LayersFollowTheTransparencyOfTheUpperTile) {
    MapGrid g = grid(2, 't', 'b');
    g.setTipo(1, 2, 'a');
    g.setTipo(2, 1, 'u');
    // transparent upper tile: the background shows around it
    QImage upper = paint(g, 1, 1, CellMode::Upper);
    EXPECT_EQ(at(upper, 5, 35), rgb(0, 0, 200));
    EXPECT_EQ(at(upper, 20, 20), rgb(255, 255, 0));
    // the event layer composes the same way
    EXPECT_EQ(at(paint(g, 1, 1, CellMode::Events), 5, 35), rgb(0, 0, 200));
    // the lower mode shows Fundo alone
    QImage lower = paint(g, 1, 1, CellMode::Lower);
    EXPECT_EQ(at(lower, 20, 20), rgb(0, 0, 200));
    // an opaque upper tile hides the background
    EXPECT_EQ(at(paint(g, 1, 2, CellMode::Upper), 20, 35), rgb(200, 0, 0));
    // a code the table does not call transparent draws no background even when
    // its picture has see-through parts
    EXPECT_EQ(at(paint(g, 2, 1, CellMode::Upper), 5, 35), cellpaint::backgroundColor().rgb() & 0xFFFFFF);
}

TEST_F(CellPainterTest, TextsOfACell) {
    ViewOptions all;
    EXPECT_EQ(cellpaint::markText('X'), "X");
    EXPECT_EQ(cellpaint::markText('O'), "O");
    EXPECT_EQ(cellpaint::markText('Z'), "O");
    EXPECT_EQ(cellpaint::eventLetter("AddChar;Aldeao", all), "C");
    EXPECT_EQ(cellpaint::eventLetter("OnActionPress;Msg(Oi)", all), "E");
    EXPECT_EQ(cellpaint::eventLetter("Chuva", all), "E");
    EXPECT_EQ(cellpaint::eventLetter("NULL", all), "");
    EXPECT_EQ(cellpaint::eventLetter("", all), "");
    EXPECT_EQ(cellpaint::eventLetter("AddCha", all), "E");
    ViewOptions noObjects;
    noObjects.objetos = false;
    EXPECT_EQ(cellpaint::eventLetter("AddChar;Aldeao", noObjects), "");  // never "E" instead
    EXPECT_EQ(cellpaint::eventLetter("OnPlayerTouch;X", noObjects), "E");
    ViewOptions noEvents;
    noEvents.eventos = false;
    EXPECT_EQ(cellpaint::eventLetter("AddChar;Aldeao", noEvents), "C");
    EXPECT_EQ(cellpaint::eventLetter("OnPlayerTouch;X", noEvents), "");
    EXPECT_EQ(cellpaint::coordinateX(1), "X: 160");
    EXPECT_EQ(cellpaint::coordinateY(1), "Y: 60");
    EXPECT_EQ(cellpaint::coordinateX(14), "X: 680");
    EXPECT_EQ(cellpaint::coordinateY(14), "Y: 580");
}

TEST_F(CellPainterTest, LettersAppearWhereTheyBelong) {
    MapGrid g = grid(2, 'a', 'a');
    g.setEvento(1, 2, "OnActionPress;Msg(Oi)");
    const QRect markBox(5, 5, 10, 10);
    const QRect letterBox(28, 23, 10, 10);
    const QRect coordBox(4, 13, 20, 8);
    ViewOptions view;
    EXPECT_FALSE(anyWhite(paint(g, 1, 1, CellMode::Upper), markBox));
    EXPECT_TRUE(anyWhite(paint(g, 1, 1, CellMode::Events), markBox));
    EXPECT_FALSE(anyWhite(paint(g, 1, 1, CellMode::Upper), letterBox));
    EXPECT_TRUE(anyWhite(paint(g, 1, 2, CellMode::Upper), letterBox));
    EXPECT_TRUE(anyWhite(paint(g, 1, 2, CellMode::Lower), letterBox));
    EXPECT_NE(paint(g, 1, 1, CellMode::Events), paint(g, 1, 2, CellMode::Events));
    // "X" and "O" differ
    MapGrid marks = grid(1, 'a', 'a');
    QImage o = paint(marks, 1, 1, CellMode::Events);
    marks.setXO(1, 1, 'X');
    EXPECT_NE(paint(marks, 1, 1, CellMode::Events), o);
    view.cordenadas = true;
    EXPECT_FALSE(anyWhite(paint(g, 1, 1, CellMode::Upper), coordBox));
    EXPECT_TRUE(anyWhite(paint(g, 1, 1, CellMode::Upper, view), coordBox));
    // the coordinates name the cell
    EXPECT_NE(paint(g, 1, 1, CellMode::Upper, view), paint(g, 2, 1, CellMode::Upper, view));
    // and leave the "E"/"C" letter as it is, even for the widest numbers
    MapGrid wide = grid(100, 'a', 'a');
    wide.setEvento(100, 100, "OnActionPress;Msg(Oi)");
    const QRect letterArea(26, 23, 14, 17);
    EXPECT_EQ(paint(wide, 100, 100, CellMode::Upper, view).copy(letterArea),
              paint(wide, 100, 100, CellMode::Upper).copy(letterArea));
}

TEST_F(CellPainterTest, GridOutlineOnTheTopAndLeftSides) {
    MapGrid g = grid(1, 'a', 'a');
    QImage img = paint(g, 1, 1, CellMode::Upper);
    EXPECT_NE(at(img, 20, 0), rgb(200, 0, 0));
    EXPECT_NE(at(img, 0, 20), rgb(200, 0, 0));
    EXPECT_EQ(at(img, 20, 1), rgb(200, 0, 0));
    EXPECT_EQ(at(img, 39, 20), rgb(200, 0, 0));  // the right side lies outside the cell
    EXPECT_EQ(at(img, 20, 39), rgb(200, 0, 0));
}

TEST_F(CellPainterTest, HoverOutlineIsFourPixelsAroundTheCell) {
    QImage img(40, 40, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::black);
    QPainter p(&img);
    cellpaint::drawHoverOutline(p);
    p.end();
    for (int x : {0, 1, 2, 38, 39}) EXPECT_NE(at(img, x, 20), 0u) << x;
    for (int x : {3, 20, 37}) EXPECT_EQ(at(img, x, 20), 0u) << x;
    for (int y : {0, 2, 38, 39}) EXPECT_NE(at(img, 20, y), 0u) << y;
    EXPECT_EQ(at(img, 20, 3), 0u);
}

TEST_F(CellPainterTest, RenderMapDrawsEveryCellAt40Pixels) {
    MapGrid g = grid(3, 'a', 'a');
    g.setTipo(2, 3, 'b');
    g.setTipo(3, 1, 't');
    g.setFundo(3, 1, 'b');
    TileLookup tiles = lookup();
    QImage img = cellpaint::renderMap(g, CellMode::Upper, ViewOptions(), tiles);
    ASSERT_EQ(img.size(), QSize(120, 120));
    EXPECT_EQ(at(img, 20, 20), rgb(200, 0, 0));
    EXPECT_EQ(at(img, 100, 60), rgb(0, 0, 200));    // (2, 3)
    EXPECT_EQ(at(img, 5, 115), rgb(0, 0, 200));     // (3, 1): background under the sprite
    EXPECT_EQ(at(img, 20, 100), rgb(255, 255, 0));  // (3, 1): the sprite
    EXPECT_NE(at(img, 60, 40), rgb(200, 0, 0));     // grid line between rows 1 and 2
    // each cell is the canvas's cell drawing
    const QImage cell = paint(g, 2, 3, CellMode::Upper);
    EXPECT_EQ(img.copy(80, 40, 40, 40).convertToFormat(cell.format()), cell);
    // the lower mode
    QImage lower = cellpaint::renderMap(g, CellMode::Lower, ViewOptions(), tiles);
    EXPECT_EQ(at(lower, 100, 60), rgb(200, 0, 0));
    MapGrid empty;
    EXPECT_TRUE(cellpaint::renderMap(empty, CellMode::Upper, ViewOptions(), tiles).isNull());
}

TEST_F(CellPainterTest, NothingIsDrawnOutsideTheSquareShown) {
    MapGrid g = grid(100, 'a', 'a');
    g.setEvento(100, 100, "OnActionPress;Msg(Oi)");
    ViewOptions view;
    view.cordenadas = true;
    // a 20-pixel cell at (10, 10), on a larger picture
    QImage img(80, 80, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::black);
    QPainter p(&img);
    TileLookup tiles = lookup();
    const cellpaint::CellView where{QPoint(10, 10), 20};
    cellpaint::RefreshMapa(p, g, 100, 100, CellMode::Events, view, tiles, where);
    cellpaint::drawHoverOutline(p, where);
    p.end();
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 80; ++x)
            if (!QRect(10, 10, 20, 20).contains(x, y)) {
                ASSERT_EQ(at(img, x, y), 0u) << x << "," << y;
            }
    // and the square shows the top-left of the full drawing
    QImage full = paint(g, 100, 100, CellMode::Events, view);
    QPainter fp(&full);
    cellpaint::drawHoverOutline(fp);
    fp.end();
    EXPECT_EQ(img.copy(10, 10, 20, 20), full.copy(0, 0, 20, 20));
}

TEST_F(CellPainterTest, MissingPicturesLeaveTheBackground) {
    MapGrid g = grid(1, 'q', 'q');  // no picture for 'q'
    EXPECT_EQ(at(paint(g, 1, 1, CellMode::Upper), 20, 20), cellpaint::backgroundColor().rgb() & 0xFFFFFF);
}

}  // namespace
