// Editing a map in the main window as a user does: strokes, fills, the picker,
// event-layer drags, events and pastes, each undone and redone through
// "Desfazer" and "Refazer"; the status bar; Ctrl+wheel zoom; characters
// standing on their cells. Checks look at the grid, the saved file and the
// grabbed pixels of the canvas.
#include "MainWindowTest.h"
#include "PaintedMap.h"
#include "ProjectFixture.h"
#include "ScriptedPrompts.h"
#include "TempDir.h"

#include "SessionSetUp.h"
#include "model/core/MapFile.h"
#include "model/session/Workspace.h"
#include "ui/common/uBtTerreno.h"
#include "ui/main/uFrameTiles.h"
#include "ui/main/uPrincipal.h"
#include "ui/main/uTerreno.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QUndoStack>
#include <gtest/gtest.h>

using namespace quillmark;

namespace {

class MapEditingTest : public qmtest::MainWindowTest {
protected:
    MapEditingTest() {
        makeWindow();
        MapGrid g;
        g.newGrid(14);
        project.addMap("Vila.xml", g);
        project.addMap("Lago.xml", qmtest::paintedGrid(20));
        form->resize(1000, 800);
        form->show();
        EXPECT_TRUE(openProject());
    }

    void press(int r, int c, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::mousePress(&canvas(), Qt::LeftButton, mods, centre(r, c));
    }
    void move(int r, int c) { QTest::mouseMove(&canvas(), centre(r, c)); }
    void release(int r, int c, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::mouseRelease(&canvas(), Qt::LeftButton, mods, centre(r, c));
    }
    void away() {
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(&canvas(), &leave);
    }
    QImage shot() { return canvas().grab().toImage().convertToFormat(QImage::Format_RGB32); }
    QAction* entry(const char* caption) { return form->menuAction(QString::fromUtf8(caption)); }
    void undo() { entry("Desfazer")->trigger(); }
    void redo() { entry("Refazer")->trigger(); }
    std::vector<unsigned char> tipos() const {
        return std::vector<unsigned char>(ws->session().grid().Tipo.begin(), ws->session().grid().Tipo.end());
    }
};

}  // namespace

TEST_F(MapEditingTest, AStrokeIsOneStepAndUndoRedoRestoreCellsAndPixels) {
    ASSERT_TRUE(ws->session().mapLoaded());
    EXPECT_FALSE(entry("Desfazer")->isEnabled());
    EXPECT_FALSE(entry("Refazer")->isEnabled());
    away();
    const QImage before = shot();
    const auto cleanTipos = tipos();

    brush('6');
    press(2, 2);
    move(2, 8);
    move(5, 8);
    release(5, 8);
    EXPECT_EQ(ws->session().grid().tipo(2, 5), '6');
    EXPECT_EQ(ws->session().grid().tipo(5, 8), '6');
    EXPECT_EQ(stack().count(), 1);
    EXPECT_TRUE(entry("Desfazer")->isEnabled());
    EXPECT_TRUE(ws->session().modified());
    away();
    const QImage painted = shot();

    undo();
    EXPECT_EQ(tipos(), cleanTipos);
    EXPECT_FALSE(ws->session().modified());  // back to the map as loaded
    EXPECT_FALSE(entry("Desfazer")->isEnabled());
    EXPECT_TRUE(entry("Refazer")->isEnabled());
    EXPECT_EQ(shot(), before);

    redo();
    EXPECT_EQ(ws->session().grid().tipo(2, 5), '6');
    EXPECT_TRUE(ws->session().modified());
    EXPECT_EQ(shot(), painted);

    // back at the saved map, closing asks nothing
    undo();
    EXPECT_TRUE(ws->session().askToSaveChanges());
    EXPECT_TRUE(prompts->asked().empty());
}

TEST_F(MapEditingTest, TheShortcutsReachUndoAndRedo) {
    EXPECT_EQ(entry("Desfazer")->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
    const QList<QKeySequence> keys = entry("Refazer")->shortcuts();
    EXPECT_TRUE(keys.contains(QKeySequence(QStringLiteral("Ctrl+Y"))));
    EXPECT_TRUE(keys.contains(QKeySequence(QStringLiteral("Ctrl+Shift+Z"))));
    brush('6');
    click(3, 3);
    form->activateWindow();
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(form.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(ws->session().grid().tipo(3, 3), '0');
    QTest::keyClick(form.get(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(ws->session().grid().tipo(3, 3), '6');
    QTest::keyClick(form.get(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(form.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(ws->session().grid().tipo(3, 3), '6');
}

TEST_F(MapEditingTest, FloodAndRectangleFillsAreOneStepEach) {
    // a wall across the map at row 5
    brush('1');
    press(5, 1);
    move(5, 14);
    release(5, 14);
    ASSERT_EQ(stack().count(), 1);

    brush('6');
    click(2, 2, Qt::ShiftModifier);
    for (int r = 1; r <= 4; ++r)
        for (int c = 1; c <= 14; ++c) ASSERT_EQ(ws->session().grid().tipo(r, c), '6') << r << "," << c;
    for (int c = 1; c <= 14; ++c) EXPECT_EQ(ws->session().grid().tipo(5, c), '1');  // the wall stops it
    EXPECT_EQ(ws->session().grid().tipo(6, 1), '0');
    EXPECT_EQ(stack().count(), 2);

    // Ctrl+drag from (12, 10) up to (8, 3)
    brush('7');
    press(12, 10, Qt::ControlModifier);
    move(10, 6);
    move(8, 3);
    EXPECT_EQ(ws->session().grid().tipo(10, 6), '0');  // nothing until the button is let go
    release(8, 3, Qt::ControlModifier);
    for (int r = 8; r <= 12; ++r)
        for (int c = 3; c <= 10; ++c) ASSERT_EQ(ws->session().grid().tipo(r, c), '7') << r << "," << c;
    EXPECT_EQ(ws->session().grid().tipo(7, 3), '0');
    EXPECT_EQ(ws->session().grid().tipo(8, 11), '0');
    EXPECT_EQ(stack().count(), 3);

    undo();
    EXPECT_EQ(ws->session().grid().tipo(10, 6), '0');
    undo();
    EXPECT_EQ(ws->session().grid().tipo(2, 2), '0');
    EXPECT_EQ(ws->session().grid().tipo(5, 3), '1');

    // on the lower layer the fill takes Fundo
    form->ModoInferiorClick();
    click(1, 1, Qt::ShiftModifier);
    EXPECT_EQ(ws->session().grid().fundo(14, 14), '7');
    EXPECT_EQ(ws->session().grid().tipo(14, 14), '0');
}

TEST_F(MapEditingTest, ThePickerTakesTheCellsCodeAndSelectsItsPaletteButton) {
    qmtest::gridOf(*ws).setTipo(4, 4, '\x4A');   // code 74: "Lista 3"
    qmtest::gridOf(*ws).setFundo(4, 4, '\xB5');  // code 181: "Animações"
    click(4, 4, Qt::AltModifier);
    EXPECT_EQ(ws->session().brushCode(), 74);
    TTile* button = form->palette()->button(74 - 48);
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->selected());
    EXPECT_FALSE(form->palette()->button(0)->selected());
    EXPECT_EQ(form->palette()->currentPanel(), 2);
    EXPECT_EQ(form->paletteList()->currentText(), "Lista 3");
    EXPECT_EQ(stack().count(), 0);  // picking changes no cell
    EXPECT_EQ(ws->session().grid().tipo(4, 4), 74);

    form->ModoInferiorClick();
    click(4, 4, Qt::AltModifier);
    EXPECT_EQ(ws->session().brushCode(), 181);
    EXPECT_TRUE(form->palette()->button(181 - 48)->selected());
    EXPECT_EQ(form->paletteList()->currentText(), QString::fromUtf8("Animações"));
    // and the picked tile paints
    click(1, 1);
    EXPECT_EQ(ws->session().grid().fundo(1, 1), 181);
}

TEST_F(MapEditingTest, EventsAndPastesAreUndoneWithTheirTexts) {
    ws->session().links().eventSelector.fill([] { return std::string("AddChar:Zeca|3"); });  // the character dialog
    ws->session().links().eventScript.fill([](const std::string&) { return std::string("NULL"); });  // cleared
    QTest::mouseClick(&canvas(), Qt::RightButton, Qt::NoModifier, centre(6, 6));
    EXPECT_EQ(ws->session().grid().evento(6, 6), "AddChar:Zeca|3");
    EXPECT_EQ(stack().count(), 1);
    QTest::mouseClick(&canvas(), Qt::RightButton, Qt::NoModifier, centre(6, 6));
    EXPECT_EQ(ws->session().grid().evento(6, 6), "NULL");
    undo();
    EXPECT_EQ(ws->session().grid().evento(6, 6), "AddChar:Zeca|3");
    undo();
    EXPECT_EQ(ws->session().grid().evento(6, 6), "NULL");  // as the map file holds it
    EXPECT_FALSE(ws->session().modified());
    // an event dialog closed without a change is a step too: the map counts as
    // modified until it is undone
    ws->session().links().eventSelector.fill([] { return std::string("NULL"); });
    QTest::mouseClick(&canvas(), Qt::RightButton, Qt::NoModifier, centre(7, 7));
    EXPECT_EQ(ws->session().grid().evento(7, 7), "NULL");
    EXPECT_TRUE(ws->session().modified());
    undo();
    EXPECT_FALSE(ws->session().modified());
    EXPECT_TRUE(entry("Refazer")->isEnabled());
    ws->session().links().eventSelector.fill([] { return std::string("AddChar:Zeca|3"); });
    QTest::mouseClick(&canvas(), Qt::RightButton, Qt::NoModifier, centre(6, 6));
    EXPECT_EQ(ws->session().grid().evento(6, 6), "AddChar:Zeca|3");
    // a new step drops what could be redone
    EXPECT_FALSE(entry("Refazer")->isEnabled());

    // a whole-cell paste
    qmtest::gridOf(*ws).setTipo(2, 2, '6');
    ws->session().mapEditing().paint(EditLayer::XO, 2, 2, 'X');
    QTest::mouseMove(&canvas(), centre(6, 6));
    entry("Copiar")->trigger();
    QTest::mouseMove(&canvas(), centre(9, 9));
    entry("Colar")->trigger();
    EXPECT_EQ(ws->session().grid().evento(9, 9), "AddChar:Zeca|3");
    undo();
    EXPECT_EQ(ws->session().grid().evento(9, 9), "NULL");
    EXPECT_EQ(ws->session().grid().xo(9, 9), 'O');
    // an event-layer drag
    form->ModoEventosClick();
    press(11, 1);
    move(11, 6);
    release(11, 6);
    for (int c = 1; c <= 6; ++c) EXPECT_EQ(ws->session().grid().xo(11, c), 'X') << c;
    undo();
    for (int c = 1; c <= 6; ++c) EXPECT_EQ(ws->session().grid().xo(11, c), 'O') << c;
    ws->session().links().eventSelector.clear();
    ws->session().links().eventScript.clear();
}

TEST_F(MapEditingTest, LoadingAnotherMapEmptiesTheStack) {
    brush('6');
    click(1, 1);
    ASSERT_TRUE(entry("Desfazer")->isEnabled());
    prompts->answer(Answer::No);
    ASSERT_TRUE(ws->session().openMap(project.folder() + "Mapas/Lago.xml", "Lago.xml"));
    EXPECT_FALSE(entry("Desfazer")->isEnabled());
    const auto loaded = tipos();
    undo();
    EXPECT_EQ(tipos(), loaded);
}

TEST_F(MapEditingTest, TheStatusBarTellsTheCellTheTileTheLayerAndTheMap) {
    QLabel* status = form->statusLabel();
    ASSERT_NE(status, nullptr);
    away();
    EXPECT_EQ(status->text(), "Camada Superior   |   Vila.xml");
    qmtest::gridOf(*ws).setTipo(3, 5, 'G');
    move(3, 5);
    const QString text = status->text();
    EXPECT_TRUE(text.startsWith("Linha 3, Coluna 5   |   Tile 71 (G) ")) << text.toStdString();
    EXPECT_TRUE(text.contains(".bmp")) << text.toStdString();
    brush('6');
    click(3, 5);
    EXPECT_TRUE(status->text().contains("Tile 54 (6)")) << status->text().toStdString();
    EXPECT_TRUE(status->text().endsWith("Vila.xml (modificado)")) << status->text().toStdString();
    form->ModoEventosClick();
    EXPECT_TRUE(status->text().contains("Marca O   |   Camada de Eventos")) << status->text().toStdString();
    undo();
    EXPECT_TRUE(status->text().endsWith("   |   Vila.xml")) << status->text().toStdString();
    ws->session().closeProject();
    EXPECT_EQ(status->text(), "");
}

TEST_F(MapEditingTest, CtrlWheelStepsThroughFourSizesKeepingThePointOverThePointer) {
    prompts->answer(Answer::No);
    ASSERT_TRUE(ws->session().openMap(project.folder() + "Mapas/Lago.xml", "Lago.xml"));
    auto wheel = [&](QPoint at, int delta, Qt::KeyboardModifiers mods = Qt::ControlModifier) {
        QWheelEvent e(QPointF(at), QPointF(canvas().mapToGlobal(at)), QPoint(), QPoint(0, delta), Qt::NoButton, mods,
                      Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(&canvas(), &e);
    };
    const QPoint onCell = centre(12, 15);
    wheel(onCell, 120);
    EXPECT_EQ(ws->session().cellSize(), 80);
    EXPECT_EQ(canvas().size(), QSize(1600, 1600));
    // the cell that was under the pointer is still there
    const QPoint inViewport = canvas().mapTo(form->mapArea()->viewport(), centre(12, 15));
    const QPoint before = form->mapArea()->canvas()->mapTo(form->mapArea()->viewport(), onCell * 2);
    EXPECT_LE((inViewport - before).manhattanLength(), 80);
    wheel(centre(12, 15), 120);
    EXPECT_EQ(ws->session().cellSize(), 80);  // the largest
    for (int size : {40, 20, 10, 10}) {
        wheel(QPoint(5, 5), -120);
        EXPECT_EQ(ws->session().cellSize(), size);
    }
    EXPECT_EQ(canvas().size(), QSize(200, 200));
    // clicks still find their cells
    brush('6');
    QTest::mouseClick(&canvas(), Qt::LeftButton, Qt::NoModifier, QPoint(10 * 19 + 5, 10 * 3 + 5));
    EXPECT_EQ(ws->session().grid().tipo(4, 20), '6');
    // without Ctrl the wheel does not zoom
    wheel(QPoint(5, 5), 120, Qt::NoModifier);
    EXPECT_EQ(ws->session().cellSize(), 10);
    // the "Zoom" button goes on toggling to 20 and 40
    form->ZoomClick();
    EXPECT_EQ(ws->session().cellSize(), 20);
    form->ZoomClick();
    EXPECT_EQ(ws->session().cellSize(), 40);
}

TEST_F(MapEditingTest, ACharacterStandsOnItsCellWhenObjectsAreShown) {
    // the character's first walking frame: magenta (left out) with a red body
    QImage frame(40, 40, QImage::Format_RGB32);
    frame.fill(QColor(255, 0, 255));
    for (int y = 8; y < 36; ++y)
        for (int x = 12; x < 28; ++x) frame.setPixel(x, y, qRgb(220, 20, 20));
    ASSERT_TRUE(QDir(project.folder()).mkpath("Imagens/Zeca"));
    ASSERT_TRUE(frame.save(project.folder() + "Imagens/Zeca/CharDown01.bmp", "BMP"));
    qmtest::gridOf(*ws).setEvento(5, 5, "AddChar:Zeca|2");
    qmtest::gridOf(*ws).setEvento(5, 7, "AddChar:Ninguem|2");  // no such character: the cell shows its tiles only
    canvas().repaintCells();
    away();
    QImage img = shot();
    const QRect cell = canvas().cellRect(5, 5);
    EXPECT_EQ(img.pixel(cell.topLeft() + QPoint(20, 15)) & 0xFFFFFF, qRgb(220, 20, 20) & 0xFFFFFF);
    // the transparent part shows the tile under it
    EXPECT_EQ(img.pixel(cell.topLeft() + QPoint(5, 20)), img.pixel(canvas().cellRect(5, 6).topLeft() + QPoint(5, 20)));
    EXPECT_EQ(img.copy(canvas().cellRect(5, 7)).copy(0, 0, 25, 40),
              img.copy(canvas().cellRect(5, 6)).copy(0, 0, 25, 40));

    entry("Objetos")->trigger();
    ASSERT_FALSE(ws->session().showObjetos());
    img = shot();
    EXPECT_NE(img.pixel(cell.topLeft() + QPoint(20, 15)) & 0xFFFFFF, qRgb(220, 20, 20) & 0xFFFFFF);
    EXPECT_EQ(img.copy(cell), img.copy(canvas().cellRect(5, 6)));
    entry("Objetos")->trigger();
}
