#include "model/core/Picture.h"
#include "Errors.h"
#include "TempDir.h"
#include "model/core/Error.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>
#include <gtest/gtest.h>

using namespace quillmark;

namespace {

// A picture with a coloured frame: its bottom-left pixel is `corner`.
QImage sample(QRgb corner, QRgb inside, int w = 8, int h = 6) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(corner);
    for (int y = 1; y < h - 1; ++y)
        for (int x = 1; x < w - 1; ++x) img.setPixel(x, y, inside);
    return img;
}

QByteArray encoded(const QImage& img, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.write(img);
    return bytes;
}

using qmtest::errorOf;

}  // namespace

TEST(PictureLoad, ReadsEveryFormatByTheExtensionOfItsName) {
    qmtest::TempDir dir;
    const QImage img = sample(qRgb(10, 20, 30), qRgb(200, 100, 50));
    dir.write("a.bmp", encoded(img, "bmp"));
    dir.write("b.PNG", encoded(img, "png"));
    dir.write("c.jpg", encoded(img, "jpeg"));
    dir.write("d.gif", encoded(img, "png"));  // a PNG named .gif is not a GIF
    Picture bmp = Picture::fromFile(dir.file("a.bmp"));
    EXPECT_EQ(bmp.size(), QSize(8, 6));
    EXPECT_EQ(bmp.image().pixel(3, 3) & 0xFFFFFF, 0xC86432u);
    EXPECT_EQ(Picture::fromFile(dir.file("b.PNG")).image().pixel(3, 3) & 0xFFFFFF, 0xC86432u);
    EXPECT_EQ(Picture::fromFile(dir.file("c.jpg")).size(), QSize(8, 6));
    EXPECT_EQ(errorOf([&] { Picture::fromFile(dir.file("d.gif")); }), "GIF image is not valid");
}

TEST(PictureLoad, FailuresNameTheirCauseAndLeaveThePictureAlone) {
    qmtest::TempDir dir;
    dir.write("broken.bmp", "BM this is not a bitmap");
    dir.write("empty.bmp", "");
    dir.write("png.bmp", encoded(sample(0, 0), "png"));  // content that does not match its name
    dir.write("notes.txt", "hello");
    Picture p(sample(qRgb(1, 2, 3), qRgb(4, 5, 6)));
    EXPECT_EQ(errorOf([&] { p.LoadFromFile(dir.file("broken.bmp")); }), "Bitmap image is not valid");
    EXPECT_EQ(errorOf([&] { p.LoadFromFile(dir.file("empty.bmp")); }), "Bitmap image is not valid");
    EXPECT_EQ(errorOf([&] { p.LoadFromFile(dir.file("png.bmp")); }), "Bitmap image is not valid");
    EXPECT_EQ(errorOf([&] { p.LoadFromFile(dir.file("notes.txt")); }), "Unknown picture file extension (.txt)");
    EXPECT_EQ(errorOf([&] { p.LoadFromFile(dir.file("noextension")); }), "Unknown picture file extension (.)");
    const std::string missing = errorOf([&] { p.LoadFromFile(dir.file("missing.bmp")); });
    EXPECT_EQ(missing.rfind("Cannot open file \"" + dir.file("missing.bmp").toStdString() + "\". ", 0), 0u) << missing;
    EXPECT_EQ(p.size(), QSize(8, 6));
    EXPECT_EQ(p.image().pixel(0, 5) & 0xFFFFFF, 0x010203u);
}

TEST(PictureSave, WritesTheFormatTheNameAsksForAndReadsBack) {
    qmtest::TempDir dir;
    dir.write("photo.jpg", encoded(sample(qRgb(0, 0, 255), qRgb(255, 255, 0), 16, 16), "jpeg"));
    Picture p = Picture::fromFile(dir.file("photo.jpg"));
    p.SaveToFile(dir.file("X.bmp"));
    EXPECT_TRUE(dir.read("X.bmp").startsWith("BM"));
    Picture back = Picture::fromFile(dir.file("X.bmp"));
    EXPECT_EQ(back.size(), QSize(16, 16));
    EXPECT_EQ(back.image().pixel(8, 8), p.image().convertToFormat(QImage::Format_RGB32).pixel(8, 8));

    p.SaveToFile(dir.file("copy.png"));
    EXPECT_TRUE(dir.read("copy.png").startsWith("\x89PNG"));
    EXPECT_EQ(errorOf([&] { p.SaveToFile(dir.file("x.doc")); }), "Unknown picture file extension (.doc)");
}

TEST(PictureSave, ReplacesAWholeFileAndFailsCleanly) {
    qmtest::TempDir dir;
    dir.write("tile.bmp", "old content");
    Picture(sample(qRgb(9, 9, 9), qRgb(1, 1, 1))).SaveToFile(dir.file("tile.bmp"));
    EXPECT_EQ(Picture::fromFile(dir.file("tile.bmp")).size(), QSize(8, 6));
    // a folder that does not exist: an error, nothing written
    EXPECT_THROW(Picture(sample(0, 0)).SaveToFile(dir.file("nowhere/tile.bmp")), Error);
    EXPECT_FALSE(dir.exists("nowhere"));
    EXPECT_THROW(Picture().SaveToFile(dir.file("empty.bmp")), Error);
    EXPECT_FALSE(dir.exists("empty.bmp"));
}

TEST(PictureTransparency, TheBottomLeftColourIsLeftOut) {
    Picture p(sample(qRgb(255, 0, 255), qRgb(0, 128, 0)));
    EXPECT_EQ(p.transparentColor() & 0xFFFFFF, 0xFF00FFu);
    // drawn opaque until marked transparent
    EXPECT_EQ(qAlpha(p.drawImage().pixel(0, 0)), 255);
    p.setTransparent(true);
    const QImage& d = p.drawImage();
    EXPECT_EQ(qAlpha(d.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(d.pixel(7, 5)), 0);
    EXPECT_EQ(d.pixel(3, 3), qRgb(0, 128, 0));

    // the colour comes from the bottom-left pixel only, not the top-left one
    QImage img = sample(qRgb(1, 1, 1), qRgb(2, 2, 2));
    img.setPixel(0, 5, qRgb(2, 2, 2));
    Picture q(img, true);
    EXPECT_EQ(qAlpha(q.drawImage().pixel(0, 0)), 255);
    EXPECT_EQ(qAlpha(q.drawImage().pixel(3, 3)), 0);

    // drawing over a background shows the background through the key colour
    QImage canvas(8, 6, QImage::Format_RGB32);
    canvas.fill(qRgb(50, 60, 70));
    QPainter painter(&canvas);
    p.draw(painter, QPoint(0, 0));
    painter.end();
    EXPECT_EQ(canvas.pixel(0, 0), qRgb(50, 60, 70));
    EXPECT_EQ(canvas.pixel(3, 3), qRgb(0, 128, 0));
}

TEST(PictureTransparency, AMonochromePictureLeavesOutWhite) {
    QImage mono(8, 8, QImage::Format_Mono);
    mono.setColorCount(2);
    mono.setColor(0, qRgb(0, 0, 0));
    mono.setColor(1, qRgb(255, 255, 255));
    mono.fill(0);  // all black, the bottom-left pixel too
    mono.setPixel(4, 4, 1);
    qmtest::TempDir dir;
    Picture(mono).SaveToFile(dir.file("mono.bmp"));
    Picture p = Picture::fromFile(dir.file("mono.bmp"));
    ASSERT_TRUE(p.monochrome());
    p.setTransparent(true);
    EXPECT_EQ(p.transparentColor() & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(qAlpha(p.drawImage().pixel(4, 4)), 0);
    EXPECT_EQ(qAlpha(p.drawImage().pixel(0, 7)), 255);
}

TEST(PictureTransparency, PreparedOnceAndRedoneAfterAChange) {
    Picture p(sample(qRgb(255, 0, 255), qRgb(0, 0, 0)), true);
    const qint64 first = p.drawImage().cacheKey();
    EXPECT_EQ(p.drawImage().cacheKey(), first);  // no conversion per draw
    int changes = 0;
    p.onChange = [&] { ++changes; };
    p.setImage(sample(qRgb(0, 0, 0), qRgb(255, 0, 255)));
    EXPECT_EQ(changes, 1);
    EXPECT_NE(p.drawImage().cacheKey(), first);
    EXPECT_EQ(qAlpha(p.drawImage().pixel(0, 0)), 0);  // now black is left out
    EXPECT_EQ(qAlpha(p.drawImage().pixel(3, 3)), 255);
    p.setTransparent(false);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(qAlpha(p.drawImage().pixel(0, 0)), 255);
}

TEST(PictureTransparency, ACopyOfADrawnPictureDrawsTheSame) {
    // The palette's buttons draw their pictures; the brush is a copy of one.
    Picture drawn(sample(qRgb(255, 0, 255), qRgb(0, 0, 0)), true);
    const QImage shown = drawn.drawImage();
    Picture assigned;
    assigned = drawn;
    const Picture constructed(drawn);
    for (const Picture* copy : {static_cast<const Picture*>(&assigned), &constructed}) {
        ASSERT_FALSE(copy->drawImage().isNull());
        EXPECT_EQ(copy->drawImage(), shown);
    }
    // A copy of a picture not drawn yet prepares its own form.
    Picture fresh(sample(qRgb(255, 0, 255), qRgb(0, 0, 0)), true);
    Picture later;
    later = fresh;
    EXPECT_EQ(later.drawImage(), shown);
}

TEST(PictureLoad, SeeThroughPixelsOfAnAlphaPictureTakeOneKeyColour) {
    QImage argb(4, 4, QImage::Format_ARGB32);
    argb.fill(qRgba(0, 0, 0, 0));
    argb.setPixel(1, 1, qRgba(10, 200, 30, 255));
    qmtest::TempDir dir;
    dir.write("sprite.png", encoded(argb, "png"));
    Picture p = Picture::fromFile(dir.file("sprite.png"));
    EXPECT_FALSE(p.image().hasAlphaChannel());
    EXPECT_EQ(p.image().pixel(1, 1) & 0xFFFFFF, 0x0AC81Eu);
    p.setTransparent(true);
    EXPECT_EQ(qAlpha(p.drawImage().pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(p.drawImage().pixel(1, 1)), 255);
}
