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
#include <mutex>
#include <thread>
#include <vector>

namespace quillmark::cli {

class RowDeflater {
public:
    // `width` pixels a row, written as RGB (`alpha` false: the alpha of the
    // pixels is left out) or as RGBA; a row is cut into segments of
    // `segmentPixels` pixels. The stream is written after the bytes of `start`.
    // With `writerThread`, blocks are Huffman-coded on a thread of their own
    // while the next rows are matched (when the machine has a second core).
    RowDeflater(int width, bool alpha, int segmentPixels, QByteArray start = {}, bool writerThread = true);
    ~RowDeflater();
    RowDeflater(const RowDeflater&) = delete;
    RowDeflater& operator=(const RowDeflater&) = delete;

    // The next row: `width` pixels, straight (not premultiplied) ARGB.
    void addRow(const QRgb* pixels);
    // Ends the block of the rows added since the last one.
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
    // The symbols of a band and its rows' pixels (for the Adler-32).
    struct Block {
        std::vector<Op> ops;
        std::vector<QRgb> pixels;
    };

    void copy(int dist, int len);
    void endCopy();
    void literal(unsigned char byte);
    void literalPixel(QRgb pixel);
    void remember(const QRgb* row, int from, int to, int step = 1);
    void windowParse(const QRgb* row, int first, int count, bool nearAbove);
    void writeBlock(const Block& block);
    void writerLoop();
    void stopWriter();

    int width_;
    int bytesPerPixel_;
    int segmentPixels_;
    int segments_;
    int rowBytes_;  // filter byte and pixels
    bool firstRow_ = true;

    // The row before (in the block, or the last of the block before), and the
    // hashes of the current row's segments.
    const QRgb* above_ = nullptr;
    std::vector<QRgb> lastRow_;
    int blockRows_ = 0;
    std::vector<uint64_t> rowHash_;
    // Segments of the current row by hash (open addressing): the segment's
    // index, current when its stamp is this row's.
    std::vector<uint32_t> inRow_;
    std::vector<uint32_t> inRowStamp_;
    uint32_t generation_ = 0;

    // Where each pair of pixels (by hash) last appeared: the low 16 bits of
    // the row number, then the column.
    std::vector<uint32_t> lastSeen_;
    uint32_t rowIndex_ = 1;

    // The current block, and a copy still growing.
    Block block_;
    int copyDist_ = 0;
    int copyLen_ = 0;

    // What the writer owns: the bytes so far, the bits not yet in them, and
    // the Adler-32 of the rows written.
    QByteArray out_;
    qsizetype outSize_ = 0;
    uint64_t bits_ = 0;  // fewer than 32
    int bitCount_ = 0;
    uint32_t adler_ = 1;

    // Blocks waiting for the writer thread, and spent ones to reuse.
    bool useThread_ = false;
    std::thread writer_;
    std::mutex mutex_;
    std::condition_variable wake_;  // for the writer: a block waits, or the end
    std::condition_variable room_;  // for the rows: fewer blocks wait
    std::deque<Block> waiting_;
    std::vector<Block> spent_;
    bool closing_ = false;
    std::exception_ptr failure_;
};

}  // namespace quillmark::cli
