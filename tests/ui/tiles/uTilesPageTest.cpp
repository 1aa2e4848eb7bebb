// The "Tiles" page on a bare tab: its twelve groups and 144 buttons, the
// entry step, which editor a click opens, the tiles table after every way of
// closing an editor, and the pictures of the page, the palette and the map
// canvas after an editor's "OK".
#include "TilesWindows.h"

#include "SessionSetUp.h"
#include "ui/main/uFrameTiles.h"
#include "ui/main/uTerreno.h"

#include <QGroupBox>
#include <stdexcept>

using namespace quillmark;
using qmtest::containsImage;
using qmtest::fileImage;
using qmtest::grabbed;
using qmtest::ModalDriver;
using qmtest::rgb;

namespace {

class TilesPageTest : public qmtest::TilesWindowTest {};

TEST_F(TilesPageTest, TwelveGroupsOfTwelveButtonsInTwoRowsOfSix) {
    const QStringList captions = {"Lista 1", "Lista 2", "Lista 3", "Lista 4",  "Lista 5",  "Lista 6",
                                  "Lista 7", "Lista 8", "Lista 9", "Lista 10", "Lista 11", "Animações"};
    for (int g = 0; g < 12; ++g) {
        QGroupBox* group = page.group(g);
        ASSERT_NE(group, nullptr);
        EXPECT_EQ(group->parentWidget(), &tab);
        EXPECT_EQ(group->title(), captions[g]);
        EXPECT_EQ(group->size(), QSize(97, 270));
        EXPECT_TRUE(tab.rect().contains(group->geometry())) << g;
    }
    // two rows of six, left to right
    for (int g = 1; g < 6; ++g) {
        EXPECT_EQ(page.group(g)->y(), page.group(0)->y());
        EXPECT_GT(page.group(g)->x(), page.group(g - 1)->geometry().right());
        EXPECT_EQ(page.group(g + 6)->x(), page.group(g)->x());
    }
    EXPECT_GT(page.group(6)->y(), page.group(0)->geometry().bottom());
    for (int k = 0; k < 144; ++k) {
        TTile* b = page.button(k);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->parentWidget(), page.group(k / 12));
        EXPECT_EQ(b->size(), QSize(40, 40));
    }
    const int xs[] = {8, 50};
    const int ys[] = {14, 56, 98, 140, 182, 224};
    for (int p = 0; p < 12; ++p) EXPECT_EQ(page.button(36 + p)->pos(), QPoint(xs[p % 2], ys[p / 2])) << p;
    // built once, and never entered before it is built
    EXPECT_THROW(page.build(&tab), std::logic_error);
    TTilesPage unbuilt(ws, edit, ani);
    EXPECT_THROW(unbuilt.entered(), std::logic_error);
}

TEST_F(TilesPageTest, EntryStepGivesEveryButtonItsCodeAndPictureAndLeavesTheTableWhole) {
    tiles().setFilter(tiles::tipoFilter('A'));
    tiles().setFiltered(true);
    showPage();
    for (int k = 0; k < 144; ++k) {
        TTile* b = page.button(k);
        EXPECT_EQ(b->code(), 48 + k);
        EXPECT_EQ(b->index(), k);
        EXPECT_EQ(rgb(b->picture()), rgb(cached(b->code()))) << k;
        EXPECT_EQ(b->picture().transparent(), cached(b->code()).transparent()) << k;
    }
    EXPECT_FALSE(tiles().filtered());
    EXPECT_EQ(walk(), 144);
    // the button draws its picture at its top-left corner, as the palette does
    EXPECT_EQ(grabbed(page.button(0)), fileImage(image("Grama.bmp")));
}

TEST_F(TilesPageTest, ACodeNoTileHasShowsCacheEntryZeroAndCannotBeEdited) {
    tiles().setFilter(tiles::tipoFilter('d'));  // code 100, button 52
    tiles().setFiltered(true);
    tiles().remove();
    tiles().setFiltered(false);
    showPage();
    const Picture* entry0 = ws.session().tiles().GameListImage1.Slot1().Get(0);
    ASSERT_NE(entry0, nullptr);
    EXPECT_EQ(rgb(page.button(52)->picture()), rgb(*entry0));
    EXPECT_EQ(grabbed(page.button(52)), grabbed(page.button(0)));

    clickTile(52);  // no editor opens; the user is told why
    EXPECT_EQ(prompts->messages(), QStringList{"Nenhum tile tem o código 100."});
    EXPECT_FALSE(tiles().filtered());
    EXPECT_EQ(walk(), 143);
}

TEST_F(TilesPageTest, Button131OpensTheTileEditorAndButton132TheAnimationEditor) {
    showPage();
    ModalDriver driver;
    driver
        .when<TFormTi>([this](TFormTi* dialog) {
            EXPECT_EQ(dialog->windowTitle(), "Tiles Edit");
            EXPECT_EQ(dialog->tile().code, 179);
            // the table is restricted to the clicked tile while the editor is open
            EXPECT_TRUE(tiles().filtered());
            EXPECT_EQ(tiles().recordCount(), 1);
            EXPECT_EQ(tiles().asString("Tipo"), "\xB3");
            QTest::mouseClick(dialog->cancelButton(), Qt::LeftButton);
        })
        .when<TFormTA>([this](TFormTA* dialog) {
            EXPECT_EQ(dialog->windowTitle(), "Edit Animação");
            EXPECT_EQ(dialog->tile().code, 180);
            EXPECT_EQ(tiles().recordCount(), 1);
            EXPECT_EQ(tiles().asString("Tipo"), "\xB4");
            QTest::mouseClick(dialog->cancelButton(), Qt::LeftButton);
        });
    clickTile(131);
    clickTile(132);
    EXPECT_TRUE(driver.done());
    EXPECT_TRUE(prompts->messages().isEmpty()) << prompts->messages().join('|').toStdString();
}

TEST_F(TilesPageTest, AfterEveryWayOfClosingEitherEditorTheTableShowsAllItsRecords) {
    showPage();
    enum class Way { Ok, Cancel, CloseBox, Escape };
    for (Way way : {Way::Ok, Way::Cancel, Way::CloseBox, Way::Escape}) {
        for (int k : {5, 140}) {
            auto act = [way](TTileDialog* dialog) {
                switch (way) {
                case Way::Ok:
                    QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
                    break;
                case Way::Cancel:
                    QTest::mouseClick(dialog->cancelButton(), Qt::LeftButton);
                    break;
                case Way::CloseBox:
                    dialog->close();
                    break;
                case Way::Escape:
                    QTest::keyClick(dialog, Qt::Key_Escape);
                    break;
                }
            };
            ModalDriver driver;
            if (k < 132)
                driver.when<TFormTi>([act](TFormTi* d) { act(d); });
            else
                driver.when<TFormTA>([act](TFormTA* d) { act(d); });
            clickTile(k);
            ASSERT_TRUE(driver.done());
            const std::string how = std::to_string(int(way)) + " on button " + std::to_string(k);
            EXPECT_FALSE(tiles().filtered()) << how;
            EXPECT_EQ(tiles().state(), RecordTable::State::Browse) << how;
            EXPECT_EQ(tiles().recNo(), 1) << how;
            EXPECT_EQ(walk(), 144) << how;
        }
    }
    EXPECT_TRUE(prompts->messages().isEmpty()) << prompts->messages().join('|').toStdString();
}

// A transparent tree standing on sand: unticking "Transparente" in its editor
// changes the page's button, the palette's button and the map cell.
TEST_F(TilesPageTest, OkRedrawsThePageThePaletteAndTheOpenMap) {
    const unsigned char tree = 'x';  // button 72, "Arvore.bmp", transparent
    ASSERT_EQ(field(tree, "Transparente"), "TRUE");
    TFrame1 palette(ws);
    palette.LoadImgs();
    qmtest::gridOf(ws).newGrid(3);
    qmtest::gridOf(ws).setTipo(2, 2, tree);
    qmtest::gridOf(ws).setFundo(2, 2, '6');  // sand
    TMapArea area(ws);
    area.canvas()->buildNewMapCells();
    area.resize(200, 200);
    area.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&area));
    TMapCanvas* canvas = area.canvas();
    const QRect cell = canvas->cellRect(2, 2);
    const QImage cellBefore = grabbed(canvas).copy(cell);
    showPage();
    const QImage buttonBefore = grabbed(page.button(72));
    const QImage paletteBefore = rgb(palette.button(72)->picture().drawImage());

    ModalDriver driver;
    driver.when<TFormTi>([](TFormTi* dialog) {
        EXPECT_TRUE(dialog->transparentCheck()->isChecked());
        QTest::mouseClick(dialog->transparentCheck(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(8, dialog->transparentCheck()->height() / 2));
        QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
    });
    clickTile(72);
    ASSERT_TRUE(driver.done());

    EXPECT_EQ(field(tree, "Transparente"), "FALSE");
    EXPECT_FALSE(ws.session().tables().VerificaTransparencia(tree));
    EXPECT_FALSE(cached(tree).transparent());  // the cache was filled again
    const QImage opaqueTree = fileImage(image("Arvore.bmp"));
    EXPECT_NE(grabbed(page.button(72)), buttonBefore);
    EXPECT_EQ(grabbed(page.button(72)), opaqueTree);
    EXPECT_NE(rgb(palette.button(72)->picture().drawImage()), paletteBefore);
    EXPECT_FALSE(palette.button(72)->picture().transparent());
    const QImage cellAfter = grabbed(canvas).copy(cell);
    EXPECT_NE(cellAfter, cellBefore);
    // the tree's background colour now shows where the sand showed through
    const QRgb key = opaqueTree.pixel(0, opaqueTree.height() - 1);
    EXPECT_EQ(cellAfter.pixel(1, 38), key);
    EXPECT_NE(cellBefore.pixel(1, 38), key);
    EXPECT_TRUE(prompts->messages().isEmpty()) << prompts->messages().join('|').toStdString();
}

TEST_F(TilesPageTest, AMissingPictureOpensAsThePlaceholderAndOkCreatesTheFile) {
    const std::string file = field('2', "File");  // button 2
    ASSERT_TRUE(QFile::remove(image(file)));
    ws.session().refreshTiles();
    showPage();
    EXPECT_EQ(rgb(page.button(2)->picture()), placeholder());
    ModalDriver driver;
    driver.when<TFormTi>([this](TFormTi* dialog) {
        EXPECT_EQ(rgb(dialog->pictureBox(0)->picture()), placeholder());
        EXPECT_TRUE(containsImage(grabbed(dialog->pictureBox(0)), placeholder()));
        QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
    });
    clickTile(2);
    ASSERT_TRUE(driver.done());
    ASSERT_TRUE(QFile::exists(image(file)));
    EXPECT_EQ(fileImage(image(file)), placeholder());
    EXPECT_EQ(project.dir.read("Imagens/" + QString::fromStdString(file)).left(2), "BM");
    EXPECT_EQ(rgb(page.button(2)->picture()), placeholder());
    EXPECT_TRUE(prompts->messages().isEmpty()) << prompts->messages().join('|').toStdString();
}

}  // namespace
