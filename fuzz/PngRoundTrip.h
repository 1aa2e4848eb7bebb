#pragma once
// The round trip of the PNG writer, shared by its fuzz harness and the replay
// test: raw input bytes choose the picture's shape and pixels, the rows are
// handed over band by band, and zlib must inflate exactly the rows given
// (filter byte 0, then RGB or RGBA) from the file's IDAT chunk, Adler-32
// included. Returns an empty string when it holds, else what went wrong.
//
// Input: byte 0 the width (1..256), byte 1 the height (1..64), byte 2 unused
// (kept so that older inputs keep their meaning), byte 3 the band height
// (1..64) and, in its top bit, RGBA; then one byte a pixel, an index into a
// palette of 16 colours, repeated when the input runs out.
#include "apps/cli/Png.h"

#include <QByteArray>
#include <QImage>
#include <QRgb>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qmfuzz {

inline std::string pngWriter(std::string_view input) {
    if (input.size() < 5) return {};
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(input[i]); };
    const int width = 1 + byte(0);
    const int height = 1 + byte(1) % 64;
    const int band = 1 + (byte(3) & 0x7f) % 64;
    const bool alpha = (byte(3) & 0x80) != 0;
    static const QRgb palette[16] = {0xff000000, 0xffffffff, 0xff102030, 0xff102031, 0x80102030, 0x00000000,
                                     0xff00ff00, 0xffff0000, 0xff0000ff, 0x7fffffff, 0xff808080, 0xff818181,
                                     0xffabcdef, 0x01abcdef, 0xfffedcba, 0xff123456};
    const std::string_view pixelsIn = input.substr(4);
    std::vector<QRgb> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = palette[static_cast<unsigned char>(pixelsIn[i % pixelsIn.size()]) % 16];

    quillmark::cli::PngStream png(width, height, !alpha);
    for (int y = 0; y < height; y += band) {
        const int rows = std::min(band, height - y);
        QImage part(width, rows, QImage::Format_ARGB32);
        for (int r = 0; r < rows; ++r)
            for (int x = 0; x < width; ++x)
                part.setPixel(x, r,
                              pixels[static_cast<size_t>(y + r) * static_cast<size_t>(width) + static_cast<size_t>(x)]);
        png.addRows(part);
    }
    const QByteArray file = png.finish();
    const qsizetype idat = file.indexOf("IDAT");
    if (idat < 4) return "no IDAT chunk";
    const auto chunkLength = (uint32_t(uint8_t(file[idat - 4])) << 24) | (uint32_t(uint8_t(file[idat - 3])) << 16) |
                             (uint32_t(uint8_t(file[idat - 2])) << 8) | uint32_t(uint8_t(file[idat - 1]));
    const QByteArray stream = file.mid(idat + 4, chunkLength);

    std::string expected;
    for (int y = 0; y < height; ++y) {
        expected.push_back('\0');
        for (int x = 0; x < width; ++x) {
            const QRgb p = pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
            expected.push_back(static_cast<char>(qRed(p)));
            expected.push_back(static_cast<char>(qGreen(p)));
            expected.push_back(static_cast<char>(qBlue(p)));
            if (alpha) expected.push_back(static_cast<char>(qAlpha(p)));
        }
    }
    std::string rows(expected.size() + 1, '\0');
    uLongf length = static_cast<uLongf>(rows.size());
    const int status =
        uncompress(reinterpret_cast<Bytef*>(rows.data()), &length, reinterpret_cast<const Bytef*>(stream.constData()),
                   static_cast<uLong>(stream.size()));
    if (status != Z_OK) return "zlib cannot inflate the stream (" + std::to_string(status) + ")";
    rows.resize(length);
    if (rows != expected) return "the inflated rows differ from the rows given";
    return {};
}

}  // namespace qmfuzz
