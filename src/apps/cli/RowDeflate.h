#pragma once
// The zlib stream of a PNG picture's rows, made for map pictures.
//
// A map picture is made of cells 40 pixels wide, and a pixel row of it is a
// run of cell rows, many of which appear more than once: the same tile again
// further along the row, or the same cell row as the row above. So each row is
// cut into segments of one cell's width, and a segment is written as
//   - a copy of the segment above, or of an equal segment earlier in the row
//     (consecutive copies at the same distance join into one long copy);
//   - otherwise pixel by pixel: runs of pixels copied from the pixel to the
//     left, the pixel above, or where the same two pixels last appeared in
//     this row or the row above; literals where there is none.
// Matching whole pixels, never bytes within them, and only in the row above,
// keeps the search short. The symbols of a band are Huffman-coded in a block
// of their own. Rows are unfiltered (PNG filter type 0). Any picture may be
// written this way; it pays most when cells repeat.
#include <QByteArray>
#include <QRgb>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace quillmark::cli {

class RowDeflater {
public:
    // `width` pixels a row, written as RGB (`alpha` false: the alpha of the
    // pixels is left out) or as RGBA; a row is cut into segments of
    // `segmentPixels` pixels. The stream is written after the bytes of `start`.
    // With `threads` (and a second core), bands are matched on two threads
    // and written on a third while the caller draws the next; the bytes are
    // the same either way.
    RowDeflater(int width, bool alpha, int segmentPixels, QByteArray start = {}, bool threads = true);
    ~RowDeflater();
    RowDeflater(const RowDeflater&) = delete;
    RowDeflater& operator=(const RowDeflater&) = delete;

    // The next row: `width` pixels, straight (not premultiplied) ARGB.
    void addRow(const QRgb* pixels);
    // Ends the band of the rows added since the last one; it becomes one
    // deflate block.
    void endBlock();
    // Ends the stream: `start` followed by the compressed bytes (zlib header
    // and Adler-32 included).
    QByteArray finish();

    // One symbol: a literal byte (dist 0) or a copy of `len` bytes from `dist`
    // bytes back.
    struct Op {
        uint16_t len;
        uint16_t dist;
    };

private:
    class BandParser;
    // A band: its rows' pixels, the row above it, and its symbols once matched.
    struct Job {
        std::vector<QRgb> pixels;
        std::vector<QRgb> above;  // empty for the first band
        int rows = 0;
        std::vector<Op> ops;
        bool taken = false;
        bool parsed = false;
    };

    void writeBlock(const Job& job);
    void parserLoop();
    void writerLoop();
    void stopThreads();

    int width_;
    int bytesPerPixel_;
    int segmentPixels_;
    std::unique_ptr<Job> current_;  // rows being gathered
    std::vector<QRgb> lastRow_;     // the last row of the band before

    // What the writer owns: the bytes so far, the bits not yet in them, and
    // the Adler-32 of the rows written.
    QByteArray out_;
    qsizetype outSize_ = 0;
    uint64_t bits_ = 0;  // fewer than 32
    int bitCount_ = 0;
    uint32_t adler_ = 1;

    // Without threads, bands are matched and written at once.
    std::unique_ptr<BandParser> parser_;
    // With them: the bands not yet written, in order.
    std::vector<std::thread> parsers_;
    std::thread writer_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::unique_ptr<Job>> jobs_;
    std::vector<std::unique_ptr<Job>> spent_;  // written, to be filled again
    bool closing_ = false;
    std::exception_ptr failure_;
};

}  // namespace quillmark::cli
