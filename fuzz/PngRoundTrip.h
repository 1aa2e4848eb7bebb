#pragma once
// The round trip of the PNG writer's deflater, shared by its fuzz harness and
// the replay test: raw input bytes choose the picture's shape and pixels, the
// rows are deflated band by band, and zlib must inflate exactly the rows given
// (filter byte 0, then RGB or RGBA), Adler-32 included. Returns an empty
// string when it holds, else what went wrong.
//
// Input: byte 0 the width (1..256), byte 1 the height (1..64), byte 2 the
// segment width (1..64), byte 3 the band height (1..64) and, in its top bit,
// RGBA; then one byte a pixel, an index into a palette of 16 colours (few
// colours make repeats, which is what the deflater looks for), repeated when
// the input runs out.
#include "apps/cli/RowDeflate.h"

#include <QByteArray>
#include <QRgb>
#include <zlib.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qmfuzz {

inline std::string pngWriter(std::string_view input, bool threads = false) {
    if (input.size() < 5) return {};
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(input[i]); };
    const int width = 1 + byte(0);
    const int height = 1 + byte(1) % 64;
    const int segment = 1 + byte(2) % 64;
    const int band = 1 + (byte(3) & 0x7f) % 64;
    const bool alpha = (byte(3) & 0x80) != 0;
    static const QRgb palette[16] = {0xff000000, 0xffffffff, 0xff102030, 0xff102031, 0x80102030, 0x00000000,
                                     0xff00ff00, 0xffff0000, 0xff0000ff, 0x7fffffff, 0xff808080, 0xff818181,
                                     0xffabcdef, 0x01abcdef, 0xfffedcba, 0xff123456};
    const std::string_view pixelsIn = input.substr(4);
    std::vector<QRgb> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = palette[static_cast<unsigned char>(pixelsIn[i % pixelsIn.size()]) % 16];

    quillmark::cli::RowDeflater deflater(width, alpha, segment, QByteArray(), threads);
    for (int y = 0; y < height; ++y) {
        deflater.addRow(pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(width));
        if ((y + 1) % band == 0) deflater.endBlock();
    }
    const QByteArray stream = deflater.finish();

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
