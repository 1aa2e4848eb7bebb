#include "apps/cli/Png.h"

#include "model/core/Error.h"

#include <libdeflate.h>

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

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
    appendU32(out, libdeflate_crc32(0, out.constData() + start + 4, size + 4));
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

PngStream::Buffer::Buffer(size_t size) : size_(size) {
    if (size == 0) return;
    constexpr size_t kLargePage = size_t(2) << 20;
    mapped_ = (size + kLargePage - 1) / kLargePage * kLargePage;
    void* p = mmap(nullptr, mapped_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
    madvise(p, mapped_, MADV_HUGEPAGE);
#endif
    data_ = static_cast<unsigned char*>(p);
}

PngStream::Buffer::~Buffer() {
    if (data_) munmap(data_, mapped_);
}

PngStream::PngStream(int width, int height, bool opaque)
    : rowBytes_(1 + static_cast<size_t>(width) * (opaque ? 3 : 4)), rows_(rowBytes_ * static_cast<size_t>(height)),
      width_(width), height_(height), opaque_(opaque) {}

void PngStream::sumGivenRows() {
    const size_t given = rowBytes_ * static_cast<size_t>(rowsAdded_);
    adler_ = libdeflate_adler32(adler_, rows_.data() + summed_, given - summed_);
    summed_ = given;
}

void PngStream::addRows(const QImage& source) {
    sumGivenRows();
    // Straight ARGB is read as it is; an opaque picture's premultiplied pixels are the same.
    const bool readable = source.format() == QImage::Format_ARGB32 || source.format() == QImage::Format_RGB32 ||
                          (opaque_ && source.format() == QImage::Format_ARGB32_Premultiplied);
    const QImage band = readable ? source : source.convertToFormat(QImage::Format_ARGB32);
    const int given = std::min(band.width(), width_);
    for (int y = 0; y < band.height() && rowsAdded_ < height_; ++y, ++rowsAdded_) {
        unsigned char* row = rows_.data() + rowBytes_ * static_cast<size_t>(rowsAdded_);
        row[0] = 0;  // filter: none
        unsigned char* out = row + 1;
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
        std::memset(out, 0, static_cast<size_t>(row + rowBytes_ - out));  // a narrow band: transparent black
    }
    sumGivenRows();
}

unsigned char* PngStream::nextRows(int count) {
    sumGivenRows();  // the rows handed out before, written by now
    const int rows = std::min(count, height_ - rowsAdded_);
    if (rows <= 0) return nullptr;
    unsigned char* first = rows_.data() + rowBytes_ * static_cast<size_t>(rowsAdded_);
    for (int i = 0; i < rows; ++i) first[rowBytes_ * static_cast<size_t>(i)] = 0;  // filter: none
    rowsAdded_ += rows;
    return first + 1;
}

QByteArray PngStream::finish() {
    // Rows never given are transparent black.
    sumGivenRows();
    const size_t given = rowBytes_ * static_cast<size_t>(rowsAdded_);
    std::memset(rows_.data() + given, 0, rows_.size() - given);
    rowsAdded_ = height_;
    sumGivenRows();

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
    // The zlib stream around the deflate data: its header (deflate, 32 KB
    // window, fastest level) and the Adler-32 of the rows, which were summed
    // as they came, while still in the cache, rather than read once more.
    const size_t bound = libdeflate_deflate_compress_bound(compressor.get(), rows_.size());
    const qsizetype data = beginChunk(out, "IDAT");
    out.append("\x78\x01", 2);
    const qsizetype deflated = out.size();
    // The bound is only reserved; the pages the compressor never writes are never touched.
    out.resize(deflated + static_cast<qsizetype>(bound));
    const size_t written =
        libdeflate_deflate_compress(compressor.get(), rows_.data(), rows_.size(), out.data() + deflated, bound);
    if (written == 0) throw Error("Out of memory");
    out.resize(deflated + static_cast<qsizetype>(written));
    appendU32(out, adler_);
    endChunk(out, data);
    endChunk(out, beginChunk(out, "IEND"));
    return out;
}

}  // namespace quillmark::cli
