// The PNG writer of render: whatever the picture, zlib (an inflater
// independent of the compressor) and Qt read back the very pixels that were
// given, and the file's chunks and checksums are sound. The pictures cover
// repeated cells, rows far apart, rows wider than deflate's window, long runs,
// translucent pixels and bands of any height.
#include "apps/cli/Png.h"

#include <QImage>
#include <QRandomGenerator>
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <string>

using quillmark::cli::PngStream;

namespace {

uint32_t readU32(const QByteArray& b, qsizetype at) {
    return (uint32_t(uint8_t(b[at])) << 24) | (uint32_t(uint8_t(b[at + 1])) << 16) |
           (uint32_t(uint8_t(b[at + 2])) << 8) | uint32_t(uint8_t(b[at + 3]));
}

// The chunks' CRCs are checked and the IDAT data inflated by zlib, which
// checks the Adler-32 too; the rows, filter bytes included, come back.
QByteArray inflatedRows(const QByteArray& png) {
    EXPECT_EQ(png.left(8), QByteArray("\x89PNG\r\n\x1a\n", 8));
    QByteArray idat;
    QStringList types;
    for (qsizetype at = 8; at + 12 <= png.size();) {
        const uint32_t length = readU32(png, at);
        const QByteArray typeAndData = png.mid(at + 4, 4 + length);
        types << QString::fromLatin1(typeAndData.left(4));
        const auto crc =
            crc32(0, reinterpret_cast<const Bytef*>(typeAndData.constData()), static_cast<uInt>(typeAndData.size()));
        EXPECT_EQ(crc, readU32(png, at + 8 + length)) << "chunk " << types.last().toStdString();
        if (typeAndData.startsWith("IDAT")) idat += typeAndData.mid(4);
        at += 12 + length;
    }
    EXPECT_EQ(types, QStringList({"IHDR", "IDAT", "IEND"}));
    z_stream zs{};
    inflateInit(&zs);
    QByteArray rows(static_cast<qsizetype>(1) << 26, '\0');
    zs.next_in = reinterpret_cast<Bytef*>(idat.data());
    zs.avail_in = static_cast<uInt>(idat.size());
    zs.next_out = reinterpret_cast<Bytef*>(rows.data());
    zs.avail_out = static_cast<uInt>(rows.size());
    const int status = inflate(&zs, Z_FINISH);
    EXPECT_EQ(status, Z_STREAM_END) << (zs.msg ? zs.msg : "");
    rows.resize(static_cast<qsizetype>(zs.total_out));
    inflateEnd(&zs);
    return rows;
}

// The rows a PNG of the picture holds: filter byte 0, then RGB or RGBA.
QByteArray expectedRows(const QImage& image, bool alpha) {
    QByteArray rows;
    for (int y = 0; y < image.height(); ++y) {
        rows.append('\0');
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            rows.append(static_cast<char>(qRed(line[x])));
            rows.append(static_cast<char>(qGreen(line[x])));
            rows.append(static_cast<char>(qBlue(line[x])));
            if (alpha) rows.append(static_cast<char>(qAlpha(line[x])));
        }
    }
    return rows;
}

// The picture written in bands of `band` rows.
QByteArray encode(const QImage& image, bool opaque, int band = 40) {
    PngStream png(image.width(), image.height(), opaque);
    for (int y = 0; y < image.height(); y += band) png.addRows(image.copy(0, y, image.width(), band));
    return png.finish();
}

void expectRoundTrip(const QImage& source, bool opaque, const std::string& what) {
    SCOPED_TRACE(what);
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    const QByteArray png = encode(image, opaque);
    const QByteArray rows = inflatedRows(png);
    EXPECT_TRUE(rows == expectedRows(image, !opaque)) << "the rows differ";
    QImage back;
    ASSERT_TRUE(back.loadFromData(png, "PNG"));
    EXPECT_EQ(back.size(), image.size());
    EXPECT_TRUE(back.convertToFormat(QImage::Format_ARGB32) == image) << "Qt reads other pixels";
}

QImage noise(int width, int height, quint32 seed, bool opaque = true) {
    QRandomGenerator random(seed);
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const quint32 v = random.generate();
            line[x] = opaque ? (v | 0xff000000u) : v;
        }
    }
    return image;
}

// A map-like picture: `columns` x `rows` cells of 40 x 40 pixels, each one of
// a few tiles (pixel-art squares with flat areas and noise), some with a mark
// drawn over it, as the cells of a map are.
QImage mapLike(int columns, int rows, quint32 seed) {
    QRandomGenerator random(seed);
    QImage tiles[5];
    for (auto& tile : tiles) {
        tile = QImage(40, 40, QImage::Format_ARGB32);
        const QRgb base = random.generate() | 0xff000000u;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x)
                tile.setPixel(x, y, (x / 8 + y / 5) % 3 == 0 ? (random.generate() | 0xff000000u) : base);
    }
    QImage image(columns * 40, rows * 40, QImage::Format_ARGB32);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            const QImage& tile = tiles[random.bounded(5)];
            const bool marked = random.bounded(4) == 0;
            for (int y = 0; y < 40; ++y)
                for (int x = 0; x < 40; ++x) {
                    QRgb p = tile.pixel(x, y);
                    if (marked && x >= 10 && x < 20 && y >= 12 && y < 30) p = 0xff202020u;
                    image.setPixel(c * 40 + x, r * 40 + y, p);
                }
        }
    return image;
}

}  // namespace

TEST(PngStream, PicturesOfEveryKindComeBackPixelForPixel) {
    expectRoundTrip(mapLike(12, 9, 7), true, "map-like cells");
    expectRoundTrip(noise(97, 53, 1), true, "noise, a width that is no multiple of the cell");
    expectRoundTrip(noise(3, 200, 2), true, "narrower than one cell");
    expectRoundTrip(noise(61, 45, 3, false), false, "translucent pixels, RGBA");

    QImage flat(1000, 300, QImage::Format_ARGB32);
    flat.fill(qRgb(10, 200, 30));
    expectRoundTrip(flat, true, "one colour: rows like the one above, copies far longer than 258 bytes");

    // Every other row repeats a cell row further up than deflate's window,
    // so the remembered pieces are written again.
    QImage striped = mapLike(20, 12, 9);
    for (int y = 0; y < striped.height(); y += 2)
        std::memcpy(striped.scanLine(y), striped.scanLine(y % 80), static_cast<size_t>(striped.bytesPerLine()));
    expectRoundTrip(striped, true, "rows remembered from far above");

    // 11,000 pixels: a row is more than 32 KB, too far back to copy from.
    QImage wide = mapLike(275, 2, 4);
    expectRoundTrip(wide, true, "rows wider than the window");

    // Premultiplied pixels of an opaque picture are taken as they are.
    expectRoundTrip(mapLike(5, 3, 5).convertToFormat(QImage::Format_ARGB32_Premultiplied), true, "premultiplied");
}

TEST(PngStream, ATallPictureOfDistinctRows) {
    // Some 48,000 distinct cell rows come back.
    expectRoundTrip(noise(40, 48000, 11), true, "distinct rows");
}

TEST(PngStream, BandsOfAnyHeightAndMissingRows) {
    const QImage image = mapLike(4, 4, 21);
    const QByteArray expected = expectedRows(image, false);
    for (const int band : {1, 7, 40, 160}) {
        SCOPED_TRACE(band);
        EXPECT_TRUE(inflatedRows(encode(image, true, band)) == expected);
    }
    // Rows never given are transparent black; a narrow band is widened so.
    PngStream png(50, 4, false);
    png.addRows(noise(20, 1, 5, false));
    const QByteArray rows = inflatedRows(png.finish());
    ASSERT_EQ(rows.size(), 4 * (1 + 50 * 4));
    EXPECT_EQ(rows.mid(1 + 20 * 4, 30 * 4), QByteArray(30 * 4, '\0'));
    EXPECT_EQ(rows.mid(1 + 50 * 4), QByteArray(3 * (1 + 50 * 4), '\0'));
}

TEST(PngStream, RowsWrittenStraightIntoTheBuffer) {
    // As render gives them: a picture's rows written in place, in blocks that
    // need not divide the height, between bands handed over as pictures; RGB
    // and RGBA.
    for (const bool opaque : {true, false}) {
        SCOPED_TRACE(opaque ? "RGB" : "RGBA");
        const QImage image = noise(37, 23, 13, opaque);
        PngStream png(image.width(), image.height(), opaque);
        ASSERT_EQ(png.bytesPerPixel(), opaque ? 3 : 4);
        int y = 0;
        for (int block = 0; y < image.height(); ++block) {
            if (block % 3 == 1) {  // now and then a band handed over as a picture
                png.addRows(image.copy(0, y, image.width(), 4));
                y += 4;
                continue;
            }
            unsigned char* rows = png.nextRows(10);
            ASSERT_NE(rows, nullptr);
            const int count = std::min(10, image.height() - y);
            for (int i = 0; i < count; ++i, ++y) {
                unsigned char* out = rows + png.stride() * static_cast<size_t>(i);
                const auto* in = reinterpret_cast<const QRgb*>(image.constScanLine(y));
                for (int x = 0; x < image.width(); ++x, out += png.bytesPerPixel()) {
                    out[0] = static_cast<unsigned char>(qRed(in[x]));
                    out[1] = static_cast<unsigned char>(qGreen(in[x]));
                    out[2] = static_cast<unsigned char>(qBlue(in[x]));
                    if (!opaque) out[3] = static_cast<unsigned char>(qAlpha(in[x]));
                }
            }
        }
        EXPECT_EQ(y, image.height()) << "the last block holds only the rows left";
        EXPECT_EQ(png.nextRows(1), nullptr);
        const QByteArray file = png.finish();
        EXPECT_TRUE(inflatedRows(file) == expectedRows(image, !opaque));
        QImage back;
        ASSERT_TRUE(back.loadFromData(file, "PNG"));
        EXPECT_TRUE(back.convertToFormat(QImage::Format_ARGB32) == image.convertToFormat(QImage::Format_ARGB32));
    }
}

TEST(PngStream, RepeatedCellsMakeASmallFile) {
    const QImage image = mapLike(30, 6, 33);
    const QByteArray png = encode(image, true);
    EXPECT_TRUE(inflatedRows(png) == expectedRows(image, false));
    // Far smaller than the 864 KB of rows: the repeated cells are copies.
    EXPECT_LT(png.size(), 240 * (1 + 1200 * 3) / 4);
}
