#pragma once
// A PNG writer for large map pictures. A 100 x 100 map is a 4000 x 4000
// picture. Its rows are kept unfiltered (a map repeats whole tiles, which the
// compressor finds as copies without any filter; the Sub and Up filters cost
// the compressor some 12 % more time on map pictures and give larger files)
// and the whole picture is deflated at once by libdeflate at its fastest
// level: about a third of the time the general writer takes for a file of the
// same size. Its time, some 2 ns a byte whatever the pixels, is most of what
// rendering a map costs.
#include <QByteArray>
#include <QImage>

#include <cstddef>
#include <cstdint>

namespace quillmark::cli {

// A PNG handed over band by band: the caller draws a band of rows, hands it
// over, and reuses it for the next. The rows are kept (filter byte and pixels,
// 3 or 4 bytes each) until finish() compresses them in one go, so the memory
// taken is the raw picture plus the compressed file.
// The pixels are taken as 32-bit colours (straight or premultiplied).
class PngStream {
public:
    // `opaque`: every pixel the bands carry is opaque, and the file holds RGB
    // without alpha; otherwise RGBA.
    PngStream(int width, int height, bool opaque);
    PngStream(const PngStream&) = delete;
    PngStream& operator=(const PngStream&) = delete;

    // The next rows, top to bottom; a band narrower than the picture is filled
    // out with transparent black.
    void addRows(const QImage& band);
    // The next `count` rows (fewer when the picture ends sooner), for the
    // caller to write straight into the buffer that is compressed: row i's
    // pixels, as the file holds them (R, G, B and, unless opaque, A), start at
    // the pointer returned plus i x stride(), and every byte of them must be
    // written before the next call of nextRows(), addRows() or finish(). Null
    // when no row is left.
    unsigned char* nextRows(int count);
    size_t stride() const { return rowBytes_; }
    int bytesPerPixel() const { return opaque_ ? 3 : 4; }
    // The whole file, once every row has been added; rows never given are
    // transparent black.
    QByteArray finish();

    // A buffer of large pages where the system offers them: a 4000 x 4000
    // picture is 48 MB of rows, whose first touch otherwise costs thousands
    // of page faults.
    class Buffer {
    public:
        explicit Buffer(size_t size);
        ~Buffer();
        Buffer(const Buffer&) = delete;
        Buffer& operator=(const Buffer&) = delete;
        unsigned char* data() { return data_; }
        size_t size() const { return size_; }

    private:
        unsigned char* data_ = nullptr;
        size_t size_ = 0;
        size_t mapped_ = 0;
    };

private:
    size_t rowBytes_;
    Buffer rows_;  // the unfiltered rows as the file holds them
    int width_;
    int height_;
    int rowsAdded_ = 0;
    bool opaque_;
    // The Adler-32 of the rows' first `summed_` bytes, summed while they are
    // fresh in the cache.
    uint32_t adler_ = 1;
    size_t summed_ = 0;
    void sumGivenRows();
};

}  // namespace quillmark::cli
