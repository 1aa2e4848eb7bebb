// "Edit Animação", opened from the page as a user opens it: its three frames,
// the frame files of each animated tile, the placeholders written by "OK", a
// JPEG stored as a bitmap, "Cancel", and a frame that cannot be written.
#include "TilesWindows.h"

#include <QDir>
#include <QGroupBox>

using namespace quillmark;
using qmtest::containsImage;
using qmtest::fileImage;
using qmtest::grabbed;
using qmtest::ModalDriver;
using qmtest::rgb;

namespace {

class AniTilesEditTest : public qmtest::TilesWindowTest {
protected:
    void editAnimation(unsigned char code, std::function<void(TFormTA*)> steps) {
        ModalDriver driver;
        driver.when<TFormTA>(std::move(steps));
        page.ShowEditAni(code);
        EXPECT_TRUE(driver.done());
    }
    static void toggleTransparent(TTileDialog* dialog) {
        QCheckBox* check = dialog->transparentCheck();
        QTest::mouseClick(check, Qt::LeftButton, Qt::NoModifier, QPoint(8, check->height() / 2));
    }
    void expectNoMessages() {
        EXPECT_TRUE(prompts->messages().isEmpty()) << prompts->messages().join('|').toStdString();
    }
};

TEST_F(AniTilesEditTest, ThreeFramesInTheirGroupsSideBySide) {
    editAnimation(180, [](TFormTA* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "Edit Animação");
        ASSERT_EQ(dialog->pictureCount(), 3);
        const QStringList captions = {"Animação 1", "Animção 2", "Animação 3"};
        for (int i = 0; i < 3; ++i) {
            auto* group = qobject_cast<QGroupBox*>(dialog->pictureBox(i)->parentWidget());
            ASSERT_NE(group, nullptr);
            EXPECT_EQ(group->title(), captions[i]);
            EXPECT_EQ(dialog->pictureBox(i)->size(), QSize(87, 84));
            if (i > 0) {
                EXPECT_GT(group->x(), dialog->pictureBox(i - 1)->parentWidget()->geometry().right());
            }
        }
        EXPECT_EQ(dialog->transparentCheck()->text(), "Transparente");
        QTest::mouseClick(dialog->cancelButton(), Qt::LeftButton);
    });
}

TEST_F(AniTilesEditTest, AnimatedTileTenShowsItsOwnSecondAndThirdFrames) {
    editAnimation(189, [this](TFormTA* dialog) {
        EXPECT_EQ(rgb(dialog->pictureBox(0)->picture()), fileImage(image("TileAni1001.bmp")));
        EXPECT_EQ(rgb(dialog->pictureBox(1)->picture()), fileImage(image("TileAni1002.bmp")));
        EXPECT_EQ(rgb(dialog->pictureBox(2)->picture()), fileImage(image("TileAni1003.bmp")));
        EXPECT_TRUE(containsImage(grabbed(dialog->pictureBox(2)), fileImage(image("TileAni1003.bmp"))));
        QTest::mouseClick(dialog->cancelButton(), Qt::LeftButton);
    });
    expectNoMessages();
}

TEST_F(AniTilesEditTest, MissingFramesShowThePlaceholderAndOkCreatesBoth) {
    ASSERT_TRUE(QFile::remove(image("TileAni302.bmp")));
    ASSERT_TRUE(QFile::remove(image("TileAni303.bmp")));
    const QImage own = fileImage(image("TileAni301.bmp"));
    editAnimation(182, [this](TFormTA* dialog) {
        EXPECT_EQ(rgb(dialog->pictureBox(1)->picture()), placeholder());
        EXPECT_EQ(rgb(dialog->pictureBox(2)->picture()), placeholder());
        QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
    });
    EXPECT_EQ(fileImage(image("TileAni301.bmp")), own);
    EXPECT_EQ(fileImage(image("TileAni302.bmp")), placeholder());
    EXPECT_EQ(fileImage(image("TileAni303.bmp")), placeholder());
    EXPECT_FALSE(tiles().filtered());
    EXPECT_EQ(walk(), 144);
    expectNoMessages();
}

TEST_F(AniTilesEditTest, AJpegPickedForAFrameIsStoredAsABitmap) {
    QImage photo(40, 40, QImage::Format_RGB32);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) photo.setPixel(x, y, qRgb(40 + 4 * x, 90 + y, 200 - 3 * x));
    const QString jpeg = project.folder() + "foto.jpg";
    ASSERT_TRUE(photo.save(jpeg, "JPEG"));
    const QImage decoded = fileImage(jpeg);
    prompts->answerText(jpeg);
    editAnimation(183, [](TFormTA* dialog) {
        QTest::mouseClick(dialog->pictureBox(1), Qt::LeftButton);
        QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
    });
    ASSERT_EQ(prompts->asked().size(), 1u);
    EXPECT_EQ(prompts->asked()[0].kind, "openPicture");
    EXPECT_EQ(project.dir.read("Imagens/TileAni402.bmp").left(2), "BM");
    EXPECT_EQ(fileImage(image("TileAni402.bmp")), decoded);
    expectNoMessages();
}

TEST_F(AniTilesEditTest, CancelChangesNoFileAndNoField) {
    const auto filesBefore = imageFiles();
    const std::vector<Record> recordsBefore = tiles().allRecords();
    prompts->answerText(image("Agua.bmp")).answerText(image("Areia.bmp"));
    editAnimation(184, [](TFormTA* dialog) {
        QTest::mouseClick(dialog->pictureBox(0), Qt::LeftButton);
        QTest::mouseClick(dialog->pictureBox(2), Qt::LeftButton);
        toggleTransparent(dialog);
        QTest::mouseClick(dialog->cancelButton(), Qt::LeftButton);
    });
    EXPECT_EQ(imageFiles(), filesBefore);
    EXPECT_EQ(tiles().allRecords(), recordsBefore);
    EXPECT_FALSE(tiles().changedSinceOpen());
    EXPECT_FALSE(tiles().filtered());
    expectNoMessages();
}

TEST_F(AniTilesEditTest, UntickingTransparenteStoresFalseAndRefillsTheCache) {
    ASSERT_EQ(field(184, "Transparente"), "TRUE");
    ASSERT_TRUE(cached(184).transparent());
    editAnimation(184, [](TFormTA* dialog) {
        EXPECT_TRUE(dialog->transparentCheck()->isChecked());
        EXPECT_TRUE(dialog->pictureBox(1)->picture().transparent());  // the boxes show it as the map will
        toggleTransparent(dialog);
        EXPECT_FALSE(dialog->pictureBox(1)->picture().transparent());
        QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
    });
    EXPECT_EQ(field(184, "Transparente"), "FALSE");
    EXPECT_FALSE(cached(184).transparent());
    expectNoMessages();
}

}  // namespace
