// The map canvas driven through real mouse events: painting both layers, the
// event marks, the event editor hand-off, the letters and coordinates, zoom,
// copy and paste through the hovered cell, drag strokes, and laying out maps
// of other sizes. Checks look at the grabbed picture of the canvas.
#include "ProjectFixture.h"
#include "ScriptedPrompts.h"

#include "SessionSetUp.h"
#include "model/core/MapFile.h"
#include "model/session/Workspace.h"
#include "ui/main/uTerreno.h"

#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

using namespace quillmark;

namespace {

class TerrenoTest : public ::testing::Test {
protected:
    TerrenoTest() {
        ws.session().setEditorFolder(qmtest::binFolder());
        area = std::make_unique<TMapArea>(ws);
        ws.session().openProject(project.projectFile());
        findTiles();
        QObject::connect(&ws.session(), &EditorSession::stateChanged, [this] { ++statusChecks; });
        area->resize(800, 700);
        area->show();
    }

    // The first transparent and the first opaque codes of the template tiles.
    void findTiles() {
        const RecordTable& tiles = ws.session().tables().cdsTiles;
        const int tipo = tiles.fieldIndex("Tipo");
        const int flag = tiles.fieldIndex("Transparente");
        for (const Record& rec : tiles.allRecords()) {
            const auto& t = rec[std::size_t(tipo)];
            const auto& f = rec[std::size_t(flag)];
            if (!t || t->size() != 1) continue;
            const unsigned char code = static_cast<unsigned char>((*t)[0]);
            const bool on = f && (*f == "TRUE" || *f == "true");
            if (on && !transparentCode) transparentCode = code;
        }
        ASSERT_NE(transparentCode, 0) << "the template tiles have no transparent tile";
    }

    void open(const std::string& name, const MapGrid& grid) {
        project.addMap(name + ".xml", grid);
        if (ws.session().modified()) prompts().answer(Answer::No);  // the changes are dropped
        ws.session().openMap(project.folder() + "Mapas/" + QString::fromStdString(name) + ".xml", name + ".xml");
        statusChecks = 0;
    }
    void openNew(const std::string& name = "Vila", int n = 14) {
        MapGrid g;
        g.newGrid(n);
        open(name, g);
    }

    void brush(unsigned char code) { ws.session().setBrush(code, ws.session().PegaImg(code)); }

    TMapCanvas& canvas() { return *area->canvas(); }
    QPoint centre(int row, int column) { return canvas().cellRect(row, column).center(); }
    void click(int row, int column, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(&canvas(), button, Qt::NoModifier, centre(row, column));
    }
    // Two quick clicks as the window system delivers them: the second press
    // comes as a double-click event and no press of its own.
    void quickPair(QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        const QPointF local(at);
        const QPointF global(canvas().mapToGlobal(at));
        auto send = [&](QEvent::Type type, Qt::MouseButtons held) {
            QMouseEvent e(type, local, global, button, held, Qt::NoModifier);
            QCoreApplication::sendEvent(&canvas(), &e);
        };
        send(QEvent::MouseButtonPress, button);
        send(QEvent::MouseButtonRelease, Qt::NoButton);
        send(QEvent::MouseButtonDblClick, button);
        send(QEvent::MouseButtonRelease, Qt::NoButton);
    }
    void hover(int row, int column) { QTest::mouseMove(&canvas(), centre(row, column)); }
    // The pointer leaves the canvas.
    void away() {
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(&canvas(), &leave);
    }
    QImage shot() { return canvas().grab().toImage().convertToFormat(QImage::Format_RGB32); }
    QImage cellShot(const QImage& img, int row, int column) { return img.copy(canvas().cellRect(row, column)); }
    // The picture of a tile as the cache draws it, on the map background.
    QImage tile(unsigned char code) {
        QImage img(40, 40, QImage::Format_RGB32);
        img.fill(cellpaint::backgroundColor());
        QPainter p(&img);
        ws.session().PegaImg(code).draw(p, QPoint(0, 0));
        return img;
    }
    // A point of the tile picture that is left out (transparent) and lies away
    // from the grid line and the letters.
    QPoint seeThrough(unsigned char code) {
        const QImage& img = ws.session().PegaImg(code).drawImage();
        for (int y = 33; y < 38; ++y)
            for (int x = 3; x < 25; ++x)
                if (qAlpha(img.pixel(x, y)) == 0) return QPoint(x, y);
        for (int y = 3; y < 20; ++y)
            for (int x = 20; x < 37; ++x)
                if (qAlpha(img.pixel(x, y)) == 0) return QPoint(x, y);
        return QPoint(-1, -1);
    }
    static QRgb px(const QImage& img, QPoint p) { return img.pixel(p) & 0xFFFFFF; }

    qmtest::ProjectFixture project;
    Workspace ws{std::make_unique<qmtest::ScriptedPrompts>()};
    qmtest::ScriptedPrompts& prompts() { return static_cast<qmtest::ScriptedPrompts&>(ws.prompts()); }
    std::unique_ptr<TMapArea> area;
    unsigned char transparentCode = 0;
    QString caption;
    int statusChecks = 0;
};

TEST_F(TerrenoTest, LayingOutAMapShowsItsCellsInTheUpperMode) {
    MapGrid g;
    g.newGrid(14);
    g.setTipo(3, 4, '6');
    open("Vila", g);
    EXPECT_TRUE(ws.session().mapLoaded());
    EXPECT_FALSE(area->waitingPictureShown());
    EXPECT_EQ(canvas().size(), QSize(560, 560));
    EXPECT_EQ(canvas().currentMode(), CellMode::Upper);
    ASSERT_NE(canvas().cell(14, 14), nullptr);
    EXPECT_EQ(canvas().cell(15, 1), nullptr);
    const QImage img = shot();
    const QPoint inside(20, 36);
    EXPECT_EQ(px(cellShot(img, 3, 4), inside), px(tile('6'), inside));
    EXPECT_EQ(px(cellShot(img, 1, 1), inside), px(tile('0'), inside));
    EXPECT_FALSE(ws.session().modified());
}

TEST_F(TerrenoTest, LowerLayerShowsInTheUpperModeOnlyUnderATransparentTile) {
    MapGrid g;
    g.newGrid(14);
    g.setTipo(2, 2, transparentCode);
    g.setTipo(2, 3, '1');
    open("Vila", g);
    const QPoint hole = seeThrough(transparentCode);
    ASSERT_GE(hole.x(), 0) << "the transparent tile has no see-through pixel to look at";
    brush('6');
    canvas().ModoFundo();
    click(2, 2);
    click(2, 3);
    EXPECT_TRUE(ws.session().modified());
    away();
    QImage lower = shot();
    EXPECT_EQ(px(cellShot(lower, 2, 2), hole), px(tile('6'), hole));
    EXPECT_EQ(px(cellShot(lower, 2, 3), QPoint(20, 36)), px(tile('6'), QPoint(20, 36)));
    canvas().ModoMapa();
    QImage upper = shot();
    EXPECT_EQ(px(cellShot(upper, 2, 2), hole), px(tile('6'), hole));  // under the transparent tile
    EXPECT_NE(px(cellShot(upper, 2, 2), hole), px(tile('0'), hole));
    EXPECT_EQ(cellShot(upper, 2, 3).copy(3, 3, 20, 20), tile('1').copy(3, 3, 20, 20));  // hidden by an opaque tile
    // the event layer composes the layers as the upper one does
    canvas().ModoEventos();
    EXPECT_EQ(px(cellShot(shot(), 2, 2), hole), px(tile('6'), hole));
}

TEST_F(TerrenoTest, UpperPaintClickDrawsTheBrushAtOnce) {
    openNew();
    brush('6');
    click(5, 5);
    EXPECT_EQ(ws.session().grid().tipo(5, 5), '6');
    EXPECT_EQ(ws.session().grid().fundo(5, 5), '0');
    EXPECT_TRUE(ws.session().modified());
    // the brush covers the cell at once, hover outline included
    QImage now = cellShot(shot(), 5, 5);
    EXPECT_EQ(now, tile('6'));
    away();
    QImage later = cellShot(shot(), 5, 5);
    EXPECT_EQ(later.copy(3, 3, 34, 34), tile('6').copy(3, 3, 34, 34));
    EXPECT_NE(later.pixel(20, 0), tile('6').pixel(20, 0));  // the grid line is back
}

TEST_F(TerrenoTest, ABrushWhosePictureWasAlreadyDrawnCoversTheCellAtOnce) {
    // As the palette gives it: a copy of a picture its button has drawn.
    openNew();
    ws.session().PegaImg('6').drawImage();
    brush('6');
    click(4, 4);
    EXPECT_EQ(cellShot(shot(), 4, 4), tile('6'));
}

TEST_F(TerrenoTest, EventModeClicksToggleTheMark) {
    MapGrid g;
    g.newGrid(14);
    g.setXO(3, 3, 'X');
    g.setXO(3, 5, 'Z');
    open("Vila", g);
    canvas().ModoEventos();
    away();
    QImage before = shot();
    const QRect mark(0, 0, 22, 22);
    const QImage markX = cellShot(before, 3, 3).copy(mark);
    const QImage markO = cellShot(before, 3, 4).copy(mark);
    EXPECT_NE(markX, markO);
    EXPECT_EQ(cellShot(before, 3, 5).copy(mark), markO);  // an odd mark shows "O"

    click(3, 3);
    EXPECT_EQ(ws.session().grid().xo(3, 3), 'O');
    EXPECT_TRUE(ws.session().modified());
    click(3, 3);
    EXPECT_EQ(ws.session().grid().xo(3, 3), 'X');
    click(3, 4);
    away();
    EXPECT_EQ(cellShot(shot(), 3, 4).copy(mark), markX);
    click(3, 4);
    EXPECT_EQ(ws.session().grid().xo(3, 4), 'O');
    click(3, 5);
    EXPECT_EQ(ws.session().grid().xo(3, 5), 'O');  // the odd mark becomes 'O' on the first click
    away();
    EXPECT_EQ(shot(), before);  // every mark as it was; (3, 5) showed "O" already
    // a quick second click counts as a click: the mark toggles twice and is
    // back where it was (one toggle alone would leave it "X")
    quickPair(centre(6, 6));
    EXPECT_EQ(ws.session().grid().xo(6, 6), 'O');
    quickPair(centre(6, 7));
    quickPair(centre(6, 7));
    click(6, 7);
    EXPECT_EQ(ws.session().grid().xo(6, 7), 'X');  // five clicks
    quickPair(centre(6, 8));
    click(6, 8);
    EXPECT_EQ(ws.session().grid().xo(6, 8), 'X');  // three clicks
    ws.session().save();                           // the marks reach the file
    MapGrid saved;
    Abrir(saved, project.folder() + "Mapas/Vila.xml");
    EXPECT_EQ(saved.xo(6, 6), 'O');
    EXPECT_EQ(saved.xo(6, 7), 'X');
    EXPECT_EQ(saved.xo(6, 8), 'X');
    // the event layer never paints tiles
    EXPECT_EQ(ws.session().grid().tipo(3, 3), '0');
}

TEST_F(TerrenoTest, RightPressOpensTheEventEditorAndStoresItsResult) {
    MapGrid g;
    g.newGrid(14);
    g.setEvento(4, 4, "OnActionPress;Msg(Oi)");
    open("Vila", g);
    int selector = 0;
    std::vector<std::string> scripts;
    ws.session().links().eventSelector.fill([&] {  // closed without a choice
        ++selector;
        return std::string("NULL");
    });
    ws.session().links().eventScript.fill([&](const std::string& text) {
        scripts.push_back(text);
        return std::string("OnPlayerTouch;Msg(Tchau)");
    });
    away();
    const QImage plain = cellShot(shot(), 2, 2);

    click(2, 2, Qt::RightButton);
    EXPECT_EQ(selector, 1);
    EXPECT_TRUE(scripts.empty());
    EXPECT_FALSE(MapGrid::hasEvent(ws.session().grid().evento(2, 2)));
    EXPECT_TRUE(ws.session().modified());
    away();
    EXPECT_EQ(cellShot(shot(), 2, 2), plain);  // no "E"

    // in any mode, a cell with an event opens the script window with its text
    canvas().ModoFundo();
    click(4, 4, Qt::RightButton);
    ASSERT_EQ(scripts.size(), 1u);
    EXPECT_EQ(scripts[0], "OnActionPress;Msg(Oi)");
    EXPECT_EQ(ws.session().grid().evento(4, 4), "OnPlayerTouch;Msg(Tchau)");
    EXPECT_EQ(selector, 1);
    EXPECT_EQ(ws.session().grid().fundo(4, 4), '0');  // a right press never paints

    // without an event editor the press is an error the user sees, and the cell keeps its event
    ws.session().links().eventScript.clear();
    click(4, 4, Qt::RightButton);
    EXPECT_EQ(ws.session().grid().evento(4, 4), "OnPlayerTouch;Msg(Tchau)");
    ASSERT_FALSE(prompts().messages().isEmpty());
    EXPECT_TRUE(prompts().messages().last().contains("Editor de Eventos"));
    ws.session().links().eventSelector.clear();
}

TEST_F(TerrenoTest, CharactersShowCAndOtherEventsE) {
    MapGrid g;
    g.newGrid(14);
    g.setEvento(1, 1, "AddChar;Aldeao");
    g.setEvento(1, 2, "AddChar;Ferreiro");
    g.setEvento(1, 3, "OnActionPress;Msg(Oi)");
    g.setEvento(1, 4, "NULL");
    open("Vila", g);
    away();
    const QRect letter(26, 21, 14, 19);
    auto box = [&](const QImage& img, int c) { return cellShot(img, 1, c).copy(letter); };
    QImage all = shot();
    const QImage none = box(all, 4);
    EXPECT_EQ(box(all, 5), none);
    EXPECT_NE(box(all, 1), none);
    EXPECT_NE(box(all, 3), none);
    EXPECT_EQ(box(all, 1), box(all, 2));  // the same letter for every character
    EXPECT_NE(box(all, 1), box(all, 3));  // "C", not "E"

    ws.session().setShowEventos(false);
    canvas().repaintCells();
    QImage noEvents = shot();
    EXPECT_EQ(box(noEvents, 1), box(all, 1));  // still "C"
    EXPECT_EQ(box(noEvents, 3), none);

    ws.session().setShowEventos(true);
    ws.session().setShowObjetos(false);
    canvas().repaintCells();
    QImage noObjects = shot();
    EXPECT_EQ(box(noObjects, 1), none);  // neither "C" nor "E"
    EXPECT_EQ(box(noObjects, 3), box(all, 3));
}

TEST_F(TerrenoTest, CoordinatesNameTheGamePixelsOfEachCell) {
    openNew();
    away();
    const QImage plain = shot();
    ws.session().setShowCordenadas(true);
    canvas().repaintCells();
    const QImage shown = shot();
    // what the cell painting draws for a cell, on the grass tile
    auto expected = [&](int row, int column) {
        QImage img = tile('0');
        QPainter p(&img);
        p.setClipRect(QRect(0, 0, 40, 40));
        cellpaint::drawCoordinates(p, row, column);
        cellpaint::drawGridOutline(p);
        return img;
    };
    EXPECT_NE(cellShot(shown, 1, 1), cellShot(plain, 1, 1));
    EXPECT_EQ(cellShot(shown, 1, 1), expected(1, 1));      // X: 160, Y: 60
    EXPECT_EQ(cellShot(shown, 14, 14), expected(14, 14));  // X: 680, Y: 580
    EXPECT_NE(cellShot(shown, 14, 14), expected(13, 14));
    EXPECT_NE(cellShot(shown, 14, 14), expected(14, 13));
    ws.session().setShowCordenadas(false);
    canvas().repaintCells();
    EXPECT_EQ(shot(), plain);
}

// How far apart two pictures of the same size are: the mean difference of their channels.
static double meanDifference(const QImage& a, const QImage& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * a.width() * a.height());
}

TEST_F(TerrenoTest, ZoomShowsEachWholeCellScaledAndTwiceRestoresIt) {
    MapGrid g;
    g.newGrid(14);
    for (int r = 1; r <= 14; ++r)
        for (int c = 1; c <= 14; ++c) g.setTipo(r, c, static_cast<unsigned char>('0' + (r * 5 + c) % 24));
    g.setEvento(7, 7, "OnActionPress;Msg(Oi)");
    open("Vila", g);
    away();
    const QImage at40 = shot();
    canvas().Zoom();
    EXPECT_EQ(ws.session().cellSize(), 20);
    EXPECT_EQ(canvas().size(), QSize(280, 280));
    const QImage at20 = shot();
    for (int r = 1; r <= 14; ++r)
        for (int c = 1; c <= 14; ++c) {
            // the whole 40-pixel cell, halved: not its top-left quarter
            const QImage whole = at40.copy(40 * (c - 1), 40 * (r - 1), 40, 40)
                                     .scaled(20, 20, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            const QImage quarter = at40.copy(40 * (c - 1), 40 * (r - 1), 20, 20);
            const QImage shown = cellShot(at20, r, c);
            ASSERT_LT(meanDifference(shown, whole), 12.0) << r << "," << c;
            if (meanDifference(whole, quarter) > 20.0) {
                ASSERT_GT(meanDifference(shown, quarter), 15.0) << r << "," << c;
            }
        }
    // clicks find the cells at their new places
    brush('6');
    click(14, 14);
    EXPECT_EQ(ws.session().grid().tipo(14, 14), '6');
    g.setTipo(14, 14, '6');
    away();
    canvas().Zoom();
    EXPECT_EQ(ws.session().cellSize(), 40);
    EXPECT_EQ(canvas().size(), QSize(560, 560));
    const QImage back = shot();
    for (int r = 1; r <= 14; ++r)
        for (int c = 1; c <= 14; ++c)
            if (r != 14 || c != 14) {
                ASSERT_EQ(cellShot(back, r, c), cellShot(at40, r, c)) << r << "," << c;
            }
}

TEST_F(TerrenoTest, OpeningAMapWhileZoomedLaysItOutAt40) {
    openNew("Vila");
    canvas().Zoom();
    ASSERT_EQ(ws.session().cellSize(), 20);
    openNew("Floresta");
    EXPECT_EQ(ws.session().cellSize(), 20);
    EXPECT_EQ(canvas().size(), QSize(560, 560));
    canvas().Zoom();
    EXPECT_EQ(ws.session().cellSize(), 40);
    EXPECT_EQ(canvas().size(), QSize(560, 560));
    // without a project or a map the zoom does nothing
    ws.session().closeProject();
    canvas().Zoom();
    EXPECT_EQ(ws.session().cellSize(), 40);
}

TEST_F(TerrenoTest, CopyAndPasteGoThroughTheCellUnderThePointer) {
    MapGrid g;
    g.newGrid(14);
    g.setTipo(2, 2, transparentCode);
    g.setFundo(2, 2, '6');
    g.setXO(2, 2, 'X');
    g.setEvento(2, 2, "OnActionPress;Msg(Oi)");
    open("Vila", g);
    away();
    const QImage before = shot();

    // nothing under the pointer: nothing happens
    EXPECT_FALSE(canvas().Copiar());
    EXPECT_FALSE(canvas().Colar());
    EXPECT_FALSE(ws.session().copiedCell().has_value());
    EXPECT_EQ(statusChecks, 0);

    hover(2, 2);
    EXPECT_EQ(canvas().hoveredCell(), canvas().cell(2, 2));
    EXPECT_TRUE(canvas().Copiar());
    EXPECT_TRUE(TMapCanvas::canColar(ws));
    EXPECT_EQ(statusChecks, 1);
    EXPECT_FALSE(ws.session().modified());
    hover(9, 10);
    EXPECT_TRUE(canvas().Colar());
    EXPECT_TRUE(ws.session().modified());
    EXPECT_EQ(ws.session().grid().tipo(9, 10), transparentCode);
    EXPECT_EQ(ws.session().grid().fundo(9, 10), '6');
    EXPECT_EQ(ws.session().grid().xo(9, 10), 'X');
    EXPECT_EQ(ws.session().grid().evento(9, 10), "OnActionPress;Msg(Oi)");
    away();
    EXPECT_EQ(cellShot(shot(), 9, 10), cellShot(before, 2, 2));

    // with the pointer outside the canvas the paste changes nothing
    ws.session().save();
    EXPECT_FALSE(canvas().Colar());
    EXPECT_FALSE(ws.session().modified());
    EXPECT_EQ(ws.session().grid().tipo(1, 1), '0');

    // the event alone
    hover(2, 2);
    EXPECT_TRUE(canvas().CopiarEvento());
    EXPECT_TRUE(TMapCanvas::canColarEvento(ws));
    hover(3, 3);
    EXPECT_TRUE(canvas().ColarEvento());
    EXPECT_EQ(ws.session().grid().evento(3, 3), "OnActionPress;Msg(Oi)");
    EXPECT_EQ(ws.session().grid().tipo(3, 3), '0');
    EXPECT_TRUE(ws.session().modified());
    // a cell without an event holds "NULL": pasting it removes the event
    hover(1, 1);
    EXPECT_TRUE(canvas().CopiarEvento());
    EXPECT_EQ(ws.session().copiedEvent(), "NULL");
    hover(3, 3);
    EXPECT_TRUE(canvas().ColarEvento());
    EXPECT_FALSE(MapGrid::hasEvent(ws.session().grid().evento(3, 3)));
    // an empty text (as older files hold) is nothing to paste
    qmtest::gridOf(ws).setEvento(2, 2, "");
    hover(2, 2);
    EXPECT_TRUE(canvas().CopiarEvento());
    EXPECT_TRUE(ws.session().copiedEvent().empty());
    EXPECT_FALSE(TMapCanvas::canColarEvento(ws));
    EXPECT_FALSE(canvas().ColarEvento());

    // the layers alone
    hover(2, 2);
    EXPECT_TRUE(canvas().CopiarImagem());
    hover(4, 4);
    EXPECT_TRUE(canvas().ColarImagem());
    EXPECT_EQ(ws.session().grid().tipo(4, 4), transparentCode);
    EXPECT_EQ(ws.session().grid().fundo(4, 4), '6');
    EXPECT_EQ(ws.session().grid().xo(4, 4), 'O');
    EXPECT_FALSE(MapGrid::hasEvent(ws.session().grid().evento(4, 4)));
    EXPECT_EQ(statusChecks, 5);  // one per copy: the paste commands follow each
}

TEST_F(TerrenoTest, ADragStrokePaintsEveryCrossedCell) {
    openNew();
    brush('6');
    // one fast move along row 2, then one diagonal move
    QTest::mousePress(&canvas(), Qt::LeftButton, Qt::NoModifier, centre(2, 1));
    QTest::mouseMove(&canvas(), centre(2, 9));
    QTest::mouseMove(&canvas(), centre(6, 13));
    QTest::mouseRelease(&canvas(), Qt::LeftButton, Qt::NoModifier, centre(6, 13));
    for (int c = 1; c <= 9; ++c) EXPECT_EQ(ws.session().grid().tipo(2, c), '6') << c;
    EXPECT_EQ(ws.session().grid().tipo(6, 13), '6');
    // the diagonal crosses at least one cell of each row between
    for (int r = 3; r <= 5; ++r) {
        int painted = 0;
        for (int c = 9; c <= 13; ++c) painted += ws.session().grid().tipo(r, c) == '6';
        EXPECT_GE(painted, 1) << r;
    }
    EXPECT_EQ(ws.session().grid().tipo(1, 5), '0');
    EXPECT_EQ(ws.session().grid().tipo(3, 1), '0');
    // after the release, moving paints nothing
    QTest::mouseMove(&canvas(), centre(10, 2));
    EXPECT_EQ(ws.session().grid().tipo(10, 2), '0');
    away();
    QImage img = shot();
    for (int c = 1; c <= 9; ++c) EXPECT_EQ(cellShot(img, 2, c).copy(3, 3, 34, 34), tile('6').copy(3, 3, 34, 34)) << c;

    // the lower layer too
    canvas().ModoFundo();
    QTest::mousePress(&canvas(), Qt::LeftButton, Qt::NoModifier, centre(12, 1));
    QTest::mouseMove(&canvas(), centre(12, 4));
    QTest::mouseRelease(&canvas(), Qt::LeftButton, Qt::NoModifier, centre(12, 4));
    for (int c = 1; c <= 4; ++c) EXPECT_EQ(ws.session().grid().fundo(12, c), '6') << c;

    // in the event layer every crossed cell takes the mark the first click gave
    canvas().ModoEventos();
    ws.session().mapEditing().paint(EditLayer::XO, 8, 3, 'X');
    QTest::mousePress(&canvas(), Qt::LeftButton, Qt::NoModifier, centre(8, 1));
    QTest::mouseMove(&canvas(), centre(8, 5));
    QTest::mouseRelease(&canvas(), Qt::LeftButton, Qt::NoModifier, centre(8, 5));
    for (int c = 1; c <= 5; ++c) EXPECT_EQ(ws.session().grid().xo(8, c), 'X') << c;
    EXPECT_EQ(ws.session().grid().xo(8, 6), 'O');
    // a drag from an 'X' clears the marks it crosses
    QTest::mousePress(&canvas(), Qt::LeftButton, Qt::NoModifier, centre(8, 5));
    QTest::mouseMove(&canvas(), centre(8, 2));
    QTest::mouseRelease(&canvas(), Qt::LeftButton, Qt::NoModifier, centre(8, 2));
    for (int c = 2; c <= 5; ++c) EXPECT_EQ(ws.session().grid().xo(8, c), 'O') << c;
    EXPECT_EQ(ws.session().grid().xo(8, 1), 'X');
}

TEST_F(TerrenoTest, MapsOfOtherSizesGetTheirOwnSquareOfCells) {
    openNew("Vila", 14);
    openNew("Grande", 20);
    EXPECT_EQ(canvas().side(), 20);
    EXPECT_EQ(canvas().size(), QSize(800, 800));
    ASSERT_NE(canvas().cell(20, 20), nullptr);
    brush('6');
    click(20, 20);
    EXPECT_EQ(ws.session().grid().tipo(20, 20), '6');

    openNew("Pequeno", 5);
    EXPECT_EQ(canvas().side(), 5);
    EXPECT_EQ(canvas().size(), QSize(200, 200));
    EXPECT_EQ(canvas().cell(6, 6), nullptr);
    EXPECT_EQ(canvas().cell(14, 14), nullptr);
    EXPECT_FALSE(ws.session().modified());

    // a new map: fresh cells in the upper mode
    canvas().ModoEventos();
    qmtest::gridOf(ws).newGrid(14);
    canvas().buildNewMapCells();
    EXPECT_EQ(canvas().side(), 14);
    EXPECT_EQ(canvas().currentMode(), CellMode::Upper);
    EXPECT_FALSE(canvas().cell(1, 1)->eventMode);

    canvas().destroyCells();
    EXPECT_EQ(canvas().side(), 0);
    EXPECT_EQ(canvas().size(), QSize(0, 0));
    EXPECT_EQ(canvas().cell(1, 1), nullptr);
}

TEST_F(TerrenoTest, ModesReachEveryCell) {
    openNew();
    canvas().ModoFundo();
    for (int r = 1; r <= 14; ++r)
        for (int c = 1; c <= 14; ++c) ASSERT_TRUE(canvas().cell(r, c)->lowerMode && !canvas().cell(r, c)->eventMode);
    canvas().ModoEventos();
    for (int r = 1; r <= 14; ++r)
        for (int c = 1; c <= 14; ++c) ASSERT_TRUE(canvas().cell(r, c)->eventMode && !canvas().cell(r, c)->lowerMode);
    canvas().ModoMapa();
    EXPECT_EQ(canvas().cell(14, 14)->mode(), CellMode::Upper);
    EXPECT_EQ(canvas().cursor().shape(), Qt::PointingHandCursor);
}

}  // namespace
