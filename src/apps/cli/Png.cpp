#include "apps/cli/Png.h"

#include "model/core/Error.h"

#include <libdeflate.h>
#include <zlib.h>

#include <cstdint>
#include <memory>

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

struct CompressorFree {
    void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
};

}  // namespace

PngStream::PngStream(int width, int height, bool opaque) : width_(width), height_(height), opaque_(opaque) {
    const qsizetype rowBytes = 1 + static_cast<qsizetype>(width) * (opaque ? 3 : 4);
    rows_.reserve(rowBytes * height);
}

void PngStream::addRows(const QImage& source) {
    // Straight ARGB is read as it is; an opaque picture's premultiplied pixels are the same.
    const bool readable = source.format() == QImage::Format_ARGB32 || source.format() == QImage::Format_RGB32 ||
                          (opaque_ && source.format() == QImage::Format_ARGB32_Premultiplied);
    const QImage band = readable ? source : source.convertToFormat(QImage::Format_ARGB32);
    const int given = std::min(band.width(), width_);
    const int pixelBytes = opaque_ ? 3 : 4;
    for (int y = 0; y < band.height() && rowsAdded_ < height_; ++y, ++rowsAdded_) {
        const qsizetype start = rows_.size();
        rows_.resize(start + 1 + static_cast<qsizetype>(width_) * pixelBytes, '\0');  // filter 0, then pixels
        auto* out = reinterpret_cast<unsigned char*>(rows_.data() + start + 1);
        const auto* in = reinterpret_cast<const QRgb*>(band.constScanLine(y));
        if (opaque_) {
            for (int x = 0; x < given; ++x, out += 3) {
                out[0] = static_cast<unsigned char>(qRed(in[x]));
                out[1] = static_cast<unsigned char>(qGreen(in[x]));
                out[2] = static_cast<unsigned char>(qBlue(in[x]));
            }
        } else {
            for (int x = 0; x < given; ++x, out += 4) {
                out[0] = static_cast<unsigned char>(qRed(in[x]));
                out[1] = static_cast<unsigned char>(qGreen(in[x]));
                out[2] = static_cast<unsigned char>(qBlue(in[x]));
                out[3] = static_cast<unsigned char>(qAlpha(in[x]));
            }
        }
    }
}

QByteArray PngStream::finish() {
    const qsizetype rowBytes = 1 + static_cast<qsizetype>(width_) * (opaque_ ? 3 : 4);
    rows_.resize(rowBytes * height_, '\0');  // rows never given: transparent black
    rowsAdded_ = height_;

    QByteArray out;
    out.append("\x89PNG\r\n\x1a\n", 8);
    const qsizetype header = beginChunk(out, "IHDR");
    appendU32(out, static_cast<uint32_t>(width_));
    appendU32(out, static_cast<uint32_t>(height_));
    // depth 8, colour type RGB or RGBA, deflate, no filter method, no interlace
    const char fields[5] = {8, static_cast<char>(opaque_ ? 2 : 6), 0, 0, 0};
    out.append(fields, 5);
    endChunk(out, header);

    const std::unique_ptr<libdeflate_compressor, CompressorFree> compressor(libdeflate_alloc_compressor(1));
    if (!compressor) throw Error("Out of memory");
    const size_t bound = libdeflate_zlib_compress_bound(compressor.get(), static_cast<size_t>(rows_.size()));
    const qsizetype data = beginChunk(out, "IDAT");
    // The bound is only reserved; the pages the compressor never writes are never touched.
    out.resize(data + 8 + static_cast<qsizetype>(bound));
    const size_t written = libdeflate_zlib_compress(compressor.get(), rows_.constData(),
                                                    static_cast<size_t>(rows_.size()), out.data() + data + 8, bound);
    if (written == 0) throw Error("Out of memory");
    out.resize(data + 8 + static_cast<qsizetype>(written));
    rows_ = QByteArray();  // the raw rows are no longer needed
    endChunk(out, data);
    endChunk(out, beginChunk(out, "IEND"));
    return out;
}

}  // namespace quillmark::cli
