#include "cli/Png.h"

#include "core/Error.h"

#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace quillmark::cli {

namespace {

// Deflate level 2: within a few per cent of the default level's size for a
// map of repeated tiles, at a fraction of its time.
constexpr int kDeflateLevel = 2;

void appendU32(QByteArray& out, uint32_t v) {
    const char bytes[4] = {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
                           static_cast<char>(v)};
    out.append(bytes, 4);
}

// Closes a chunk whose length field starts at `start`: fills in the length and
// appends the CRC of the type and the data.
void endChunk(QByteArray& out, qsizetype start) {
    const auto size = static_cast<uint32_t>(out.size() - start - 8);
    for (int i = 0; i < 4; ++i) out[start + i] = static_cast<char>(size >> (24 - 8 * i));
    const auto* typeAndData = reinterpret_cast<const Bytef*>(out.constData() + start + 4);
    appendU32(out, static_cast<uint32_t>(crc32(crc32(0L, Z_NULL, 0), typeAndData, size + 4)));
}

qsizetype beginChunk(QByteArray& out, const char type[4]) {
    const qsizetype start = out.size();
    appendU32(out, 0);
    out.append(type, 4);
    return start;
}

// True when some pixel is not fully opaque.
bool hasTranslucentPixel(const QImage& image) {
    if (!image.hasAlphaChannel()) return false;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(line[x]) != 255) return true;
    }
    return false;
}

}  // namespace

QByteArray encodePng(const QImage& source) {
    if (source.isNull()) return {};
    // Rows are read as 32-bit pixels; an opaque picture is written as RGB.
    const QImage image = source.format() == QImage::Format_ARGB32_Premultiplied ||
                                 source.format() == QImage::Format_ARGB32 || source.format() == QImage::Format_RGB32
                             ? source
                             : source.convertToFormat(QImage::Format_ARGB32);
    const bool alpha = hasTranslucentPixel(image);
    const QImage straight = alpha && image.format() == QImage::Format_ARGB32_Premultiplied
                                ? image.convertToFormat(QImage::Format_ARGB32)
                                : image;
    const int width = straight.width();
    const int height = straight.height();
    const int channels = alpha ? 4 : 3;

    QByteArray out;
    out.reserve(static_cast<qsizetype>(width) * height / 4 + 1024);
    out.append("\x89PNG\r\n\x1a\n", 8);

    qsizetype chunk = beginChunk(out, "IHDR");
    appendU32(out, static_cast<uint32_t>(width));
    appendU32(out, static_cast<uint32_t>(height));
    const char header[5] = {8, static_cast<char>(alpha ? 6 : 2), 0, 0,
                            0};  // depth, colour type, deflate, filter, no interlace
    out.append(header, 5);
    endChunk(out, chunk);

    // One IDAT chunk holding the zlib stream of all rows, each row filter
    // type 0 (none) and its pixels, deflated as they are made.
    chunk = beginChunk(out, "IDAT");
    z_stream zs{};
    if (deflateInit(&zs, kDeflateLevel) != Z_OK) throw Error("Não foi possível comprimir o PNG");
    std::vector<Bytef> row(static_cast<size_t>(width) * channels + 1);
    std::vector<Bytef> buffer(1 << 18);
    auto pump = [&](int flush) {
        do {
            zs.next_out = buffer.data();
            zs.avail_out = static_cast<uInt>(buffer.size());
            deflate(&zs, flush);
            out.append(reinterpret_cast<const char*>(buffer.data()),
                       static_cast<qsizetype>(buffer.size() - zs.avail_out));
        } while (zs.avail_out == 0);
    };
    for (int y = 0; y < height; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(straight.constScanLine(y));
        Bytef* p = row.data();
        *p++ = 0;
        if (alpha) {
            for (int x = 0; x < width; ++x) {
                *p++ = static_cast<Bytef>(qRed(line[x]));
                *p++ = static_cast<Bytef>(qGreen(line[x]));
                *p++ = static_cast<Bytef>(qBlue(line[x]));
                *p++ = static_cast<Bytef>(qAlpha(line[x]));
            }
        } else {
            for (int x = 0; x < width; ++x) {
                *p++ = static_cast<Bytef>(qRed(line[x]));
                *p++ = static_cast<Bytef>(qGreen(line[x]));
                *p++ = static_cast<Bytef>(qBlue(line[x]));
            }
        }
        zs.next_in = row.data();
        zs.avail_in = static_cast<uInt>(row.size());
        pump(Z_NO_FLUSH);
    }
    pump(Z_FINISH);
    deflateEnd(&zs);
    endChunk(out, chunk);

    endChunk(out, beginChunk(out, "IEND"));
    return out;
}

}  // namespace quillmark::cli
