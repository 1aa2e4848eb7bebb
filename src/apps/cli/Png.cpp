#include "apps/cli/Png.h"

#include "model/core/Error.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace quillmark::cli {

namespace {

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

// The signature, the header chunk, and the start of the one IDAT chunk that
// holds the whole zlib stream.
QByteArray pngStart(int width, int height, bool opaque) {
    QByteArray out;
    out.append("\x89PNG\r\n\x1a\n", 8);
    const qsizetype chunk = beginChunk(out, "IHDR");
    appendU32(out, static_cast<uint32_t>(width));
    appendU32(out, static_cast<uint32_t>(height));
    const char header[5] = {8, static_cast<char>(opaque ? 2 : 6), 0, 0,
                            0};  // depth, colour type, deflate, filter, no interlace
    out.append(header, 5);
    endChunk(out, chunk);
    beginChunk(out, "IDAT");
    return out;
}

constexpr qsizetype kIdatStart = 8 + 25;  // after the signature and the header chunk

}  // namespace

PngStream::PngStream(int width, int height, bool opaque, int repeatWidth, bool threads)
    : deflater_(width, !opaque, repeatWidth, pngStart(width, height, opaque), threads), width_(width), height_(height),
      opaque_(opaque) {}

PngStream::~PngStream() = default;

void PngStream::addRows(const QImage& source) {
    // The deflater reads straight ARGB; an opaque picture's premultiplied
    // pixels are the same.
    const bool readable = source.format() == QImage::Format_ARGB32 || source.format() == QImage::Format_RGB32 ||
                          (opaque_ && source.format() == QImage::Format_ARGB32_Premultiplied);
    QImage band = readable ? source : source.convertToFormat(QImage::Format_ARGB32);
    if (band.width() < width_) {  // a narrow band is filled out with transparent black
        QImage wide(width_, band.height(), QImage::Format_ARGB32);
        wide.fill(Qt::transparent);
        for (int y = 0; y < band.height(); ++y)
            std::memcpy(wide.scanLine(y), band.constScanLine(y), sizeof(QRgb) * static_cast<size_t>(band.width()));
        band = wide;
    }
    for (int y = 0; y < band.height() && rowsAdded_ < height_; ++y, ++rowsAdded_)
        deflater_.addRow(reinterpret_cast<const QRgb*>(band.constScanLine(y)));
    deflater_.endBlock();
}

QByteArray PngStream::finish() {
    // Rows never given are transparent black.
    if (rowsAdded_ < height_) {
        const std::vector<QRgb> empty(static_cast<size_t>(width_), 0);
        for (; rowsAdded_ < height_; ++rowsAdded_) deflater_.addRow(empty.data());
    }
    QByteArray out = deflater_.finish();
    endChunk(out, kIdatStart);
    endChunk(out, beginChunk(out, "IEND"));
    return out;
}

}  // namespace quillmark::cli
