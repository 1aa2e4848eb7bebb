// The tile palette: the 144 buttons and their places, choosing the brush,
// rebuilding, blanking, and the button's frame.
#include "ProjectFixture.h"
#include "ScriptedPrompts.h"

#include "SessionSetUp.h"
#include "model/session/Workspace.h"
#include "ui/main/uFrameTiles.h"

#include <QApplication>
#include <QEnterEvent>
#include <QTest>
#include <gtest/gtest.h>

using namespace quillmark;

namespace {

class PaletteTest : public ::testing::Test {
protected:
    void SetUp() override {
        ws.session().setEditorFolder(qmtest::binFolder());
        qmtest::projectOf(ws).ProjectFolder = project.folder();
        ws.session().tables().pointAt(ws.session().tables().cdsTiles, project.folder());
        ws.session().refreshTiles();
        palette = std::make_unique<TFrame1>(ws);
        palette->resize(119, TFrame1::kHeight);
    }

    qmtest::ProjectFixture project;
    Workspace ws{std::make_unique<qmtest::ScriptedPrompts>()};
    std::unique_ptr<TFrame1> palette;
};

QImage imageOf(const Picture& p) { return p.image().convertToFormat(QImage::Format_ARGB32); }

}  // namespace

TEST_F(PaletteTest, EmptyUntilBuiltThenTwelveListsOfTwelve) {
    EXPECT_EQ(palette->buttonCount(), 0);
    EXPECT_EQ(palette->currentPanel(), 0);
    emit ws.session().tilesChanged();  // as when a project opens
    ASSERT_EQ(palette->buttonCount(), 144);
    for (int i = 0; i < 144; ++i) {
        TTile* b = palette->button(i);
        EXPECT_EQ(b->index(), i);
        EXPECT_EQ(b->code(), 48 + i);
        EXPECT_EQ(b->parentWidget(), palette->panel(i / 12)) << i;
        EXPECT_EQ(b->size(), QSize(40, 40));
        EXPECT_FALSE(b->selected());
        EXPECT_EQ(imageOf(b->picture()), imageOf(ws.session().PegaImg(b->code()))) << i;
    }
    EXPECT_EQ(palette->button(0)->pos(), QPoint(15, 8));
    EXPECT_EQ(palette->button(1)->pos(), QPoint(57, 8));
    EXPECT_EQ(palette->button(10)->pos(), QPoint(15, 218));
    EXPECT_EQ(palette->button(23)->pos(), QPoint(57, 218));
    EXPECT_EQ(palette->panel(3)->size(), QSize(113, 265));
}

TEST_F(PaletteTest, ButtonTwentyThreeGivesG) {
    palette->LoadImgs();
    palette->showPanel(1);
    palette->show();
    QApplication::processEvents();
    TTile* b = palette->button(23);
    ASSERT_TRUE(b->isVisible());
    QTest::mouseClick(b, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    EXPECT_EQ(ws.session().brushCode(), 'G');
    EXPECT_EQ(ws.session().brushCode(), 71);
    EXPECT_EQ(imageOf(ws.session().brushImage()), imageOf(b->picture()));
    EXPECT_TRUE(b->selected());
    // Choosing another unselects the first.
    QTest::mouseClick(palette->button(22), Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    EXPECT_FALSE(b->selected());
    EXPECT_TRUE(palette->button(22)->selected());
    int selected = 0;
    for (int i = 0; i < 144; ++i) selected += palette->button(i)->selected();
    EXPECT_EQ(selected, 1);
    // A press that leaves the button before release is no click.
    QTest::mousePress(b, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    QTest::mouseRelease(b, Qt::LeftButton, Qt::NoModifier, QPoint(60, 20));
    EXPECT_EQ(ws.session().brushCode(), 'F');
}

TEST_F(PaletteTest, AnimatedTilesAndTheFirstBrush) {
    palette->LoadImgs();
    palette->button(143)->click();
    EXPECT_EQ(ws.session().brushCode(), 191);
    palette->button(132)->click();
    EXPECT_EQ(ws.session().brushCode(), 180);
    emit ws.session().brushReset();
    EXPECT_EQ(ws.session().brushCode(), '0');
    EXPECT_TRUE(palette->button(0)->selected());
    EXPECT_FALSE(palette->button(132)->selected());
}

TEST_F(PaletteTest, RebuildingKeepsTheBrushButNoFrame) {
    palette->LoadImgs();
    palette->button(23)->click();
    TTile* old = palette->button(23);
    palette->LoadImgs();
    EXPECT_NE(palette->button(23), old);
    EXPECT_EQ(palette->buttonCount(), 144);
    for (int i = 0; i < 144; ++i) EXPECT_FALSE(palette->button(i)->selected());
    EXPECT_EQ(ws.session().brushCode(), 'G');
    // The old buttons are gone once the events have run.
    QPointer<TTile> gone(old);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(gone.isNull());
    EXPECT_EQ(palette->panel(1)->findChildren<TTile*>().size(), 12);
}

TEST_F(PaletteTest, BlankingKeepsTheButtonsWithoutAFrame) {
    palette->LoadImgs();
    palette->button(5)->click();
    EXPECT_EQ(palette->button(5)->grab().toImage().pixelColor(2, 20), QColor(0xe8, 0x2f, 0x24));
    palette->LimpaTiles();
    EXPECT_EQ(palette->buttonCount(), 144);
    for (int i = 0; i < 144; ++i) EXPECT_TRUE(palette->button(i)->picture().isEmpty());
    // an empty slot shows no brush frame
    EXPECT_FALSE(palette->button(5)->selected());
    EXPECT_NE(palette->button(5)->grab().toImage().pixelColor(2, 20), QColor(0xe8, 0x2f, 0x24));
    // the next project's first tile is framed again
    palette->LoadImgs();
    palette->chooseFirstBrush();
    EXPECT_TRUE(palette->button(0)->selected());
}

TEST_F(PaletteTest, TheFrameShowsOnTheSelectedAndTheHoveredButton) {
    palette->LoadImgs();
    TTile* b = palette->button(0);
    const QImage plain = b->grab().toImage();
    EXPECT_NE(plain.pixelColor(2, 20), QColor(0xe8, 0x2f, 0x24));
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(b, &enter);
    EXPECT_TRUE(b->hovered());
    const QImage hovered = b->grab().toImage();
    EXPECT_EQ(hovered.pixelColor(2, 20), QColor(0xe8, 0x2f, 0x24));   // on the 3-pixel frame
    EXPECT_EQ(hovered.pixelColor(20, 20), plain.pixelColor(20, 20));  // the picture inside is untouched
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(b, &leave);
    EXPECT_EQ(b->grab().toImage(), plain);
    b->setSelected(true);
    EXPECT_EQ(b->grab().toImage().pixelColor(38, 2), QColor(0xe8, 0x2f, 0x24));
}

TEST_F(PaletteTest, ATileButtonServesOtherOwnersThroughItsClickAction) {
    TTile tile;
    int clicked = -1;
    tile.setCode(77);
    tile.clickAction = [&](TTile& t) { clicked = t.code(); };
    QTest::mouseClick(&tile, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
    EXPECT_EQ(clicked, 77);
    QTest::mouseClick(&tile, Qt::RightButton, Qt::NoModifier, QPoint(3, 3));
    EXPECT_EQ(clicked, 77);
}

TEST_F(PaletteTest, PanelsAreCentred) {
    palette->resize(219, TFrame1::kHeight);
    palette->centrePanels();
    for (int k = 0; k < 12; ++k) EXPECT_EQ(palette->panel(k)->x(), 53);  // 109.5 - 56.5
    palette->showPanel(11);
    for (int k = 0; k < 12; ++k) EXPECT_EQ(!palette->panel(k)->isHidden(), k == 11);
    palette->showPanel(12);  // no such list
    EXPECT_EQ(palette->currentPanel(), 11);
}
