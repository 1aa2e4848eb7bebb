#include "cli/Png.h"

#include "core/Error.h"

#include <zlib.h>

#include <algorithm>
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

struct PngStream::Deflater {
    z_stream zs{};
    std::vector<Bytef> row;
    std::vector<Bytef> buffer = std::vector<Bytef>(1 << 18);
    Deflater() {
        if (deflateInit(&zs, kDeflateLevel) != Z_OK) throw Error("Não foi possível comprimir o PNG");
    }
    ~Deflater() { deflateEnd(&zs); }
    void pump(QByteArray& out, int flush) {
        do {
            zs.next_out = buffer.data();
            zs.avail_out = static_cast<uInt>(buffer.size());
            deflate(&zs, flush);
            out.append(reinterpret_cast<const char*>(buffer.data()),
                       static_cast<qsizetype>(buffer.size() - zs.avail_out));
        } while (zs.avail_out == 0);
    }
};

PngStream::PngStream(int width, int height, bool opaque)
    : deflater_(std::make_unique<Deflater>()), width_(width), height_(height), opaque_(opaque) {
    out_.reserve(static_cast<qsizetype>(width) * height / 8 + 1024);
    out_.append("\x89PNG\r\n\x1a\n", 8);

    qsizetype chunk = beginChunk(out_, "IHDR");
    appendU32(out_, static_cast<uint32_t>(width));
    appendU32(out_, static_cast<uint32_t>(height));
    const char header[5] = {8, static_cast<char>(opaque ? 2 : 6), 0, 0,
                            0};  // depth, colour type, deflate, filter, no interlace
    out_.append(header, 5);
    endChunk(out_, chunk);

    // One IDAT chunk holding the zlib stream of all rows, each row filter
    // type 0 (none) and its pixels, deflated as they come.
    idat_ = beginChunk(out_, "IDAT");
    deflater_->row.resize(static_cast<size_t>(width) * (opaque ? 3 : 4) + 1);
}

PngStream::~PngStream() = default;

void PngStream::addRows(const QImage& source) {
    const bool readable = source.format() == QImage::Format_ARGB32 || source.format() == QImage::Format_RGB32 ||
                          (opaque_ && source.format() == QImage::Format_ARGB32_Premultiplied);
    const QImage band = readable ? source : source.convertToFormat(QImage::Format_ARGB32);
    const int width = std::min(width_, band.width());
    std::vector<Bytef>& row = deflater_->row;
    for (int y = 0; y < band.height() && rowsAdded_ < height_; ++y, ++rowsAdded_) {
        const auto* line = reinterpret_cast<const QRgb*>(band.constScanLine(y));
        Bytef* p = row.data();
        *p++ = 0;
        if (opaque_) {
            for (int x = 0; x < width; ++x) {
                *p++ = static_cast<Bytef>(qRed(line[x]));
                *p++ = static_cast<Bytef>(qGreen(line[x]));
                *p++ = static_cast<Bytef>(qBlue(line[x]));
            }
        } else {
            for (int x = 0; x < width; ++x) {
                *p++ = static_cast<Bytef>(qRed(line[x]));
                *p++ = static_cast<Bytef>(qGreen(line[x]));
                *p++ = static_cast<Bytef>(qBlue(line[x]));
                *p++ = static_cast<Bytef>(qAlpha(line[x]));
            }
        }
        deflater_->zs.next_in = row.data();
        deflater_->zs.avail_in = static_cast<uInt>(row.size());
        deflater_->pump(out_, Z_NO_FLUSH);
    }
}

QByteArray PngStream::finish() {
    deflater_->pump(out_, Z_FINISH);
    endChunk(out_, idat_);
    endChunk(out_, beginChunk(out_, "IEND"));
    return std::move(out_);
}

QByteArray encodePng(const QImage& source) {
    if (source.isNull()) return {};
    // Rows are read as 32-bit pixels; an opaque picture is written as RGB.
    const QImage image = source.format() == QImage::Format_ARGB32_Premultiplied ||
                                 source.format() == QImage::Format_ARGB32 || source.format() == QImage::Format_RGB32
                             ? source
                             : source.convertToFormat(QImage::Format_ARGB32);
    const bool alpha = hasTranslucentPixel(image);
    PngStream png(image.width(), image.height(), !alpha);
    png.addRows(image);
    return png.finish();
}

}  // namespace quillmark::cli
