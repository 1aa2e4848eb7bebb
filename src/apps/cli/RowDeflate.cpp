#include "apps/cli/RowDeflate.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <queue>

namespace quillmark::cli {

namespace {

constexpr int kMaxDistance = 32768;
constexpr int kMinCopy = 3;
constexpr int kMaxCopy = 258;
constexpr int kEndOfBlock = 256;
constexpr int kLitLenCodes = 286;
constexpr int kDistanceCodes = 30;
constexpr int kCodeLengthCodes = 19;
// The table of where each pair of pixels last appeared has 2^14 slots, each
// the row number's low 16 bits and the column. A slot may be stale or name
// another pair: every copy it suggests is checked against the pixels.
constexpr int kWindowTableBits = 14;

// The length codes 257..285: for each copy length, its code, and the count
// and value of its extra bits.
struct LengthCodes {
    std::array<uint16_t, kMaxCopy + 1> code{};
    std::array<uint8_t, kMaxCopy + 1> extraBits{};
    std::array<uint16_t, kMaxCopy + 1> extraValue{};
    LengthCodes() {
        static constexpr int base[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                         31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
        static constexpr int extra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                          2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
        for (int c = 0; c < 29; ++c) {
            const int last = c == 28 ? 258 : std::min(258, base[c] + (1 << extra[c]) - 1);
            for (int len = base[c]; len <= last; ++len) {
                code[len] = static_cast<uint16_t>(257 + c);
                extraBits[len] = static_cast<uint8_t>(extra[c]);
                extraValue[len] = static_cast<uint16_t>(len - base[c]);
            }
        }
    }
};
const LengthCodes kLengths;

// The distance code of a distance 1..32768, with its extra bits.
struct DistanceCode {
    int code;
    int extraBits;
    uint32_t extraValue;
};
inline DistanceCode distanceCode(int dist) {
    const auto x = static_cast<uint32_t>(dist - 1);
    if (x < 4) return {static_cast<int>(x), 0, 0};
    const int n = 31 - __builtin_clz(x);  // x >= 4: n >= 2
    const uint32_t half = (x >> (n - 1)) & 1;
    const uint32_t base = (2 | half) << (n - 1);
    return {2 * n + static_cast<int>(half), n - 1, x - base};
}

// Code lengths of a Huffman code for the frequencies, none longer than
// `maxBits`. Unused symbols get length 0. When the best code is too deep the
// frequencies are flattened and the code is built again.
void huffmanLengths(const uint32_t* frequencies, int count, int maxBits, uint8_t* lengths) {
    std::vector<uint32_t> freq(frequencies, frequencies + count);
    std::vector<int> parent(static_cast<size_t>(2 * count));
    for (;;) {
        using Node = std::pair<uint64_t, int>;  // weight, node
        std::priority_queue<Node, std::vector<Node>, std::greater<>> queue;
        for (int s = 0; s < count; ++s)
            if (freq[s] > 0) queue.emplace(freq[s], s);
        std::fill(lengths, lengths + count, 0);
        if (queue.empty()) return;
        if (queue.size() == 1) {
            lengths[queue.top().second] = 1;
            return;
        }
        int next = count;
        while (queue.size() > 1) {
            const Node a = queue.top();
            queue.pop();
            const Node b = queue.top();
            queue.pop();
            parent[a.second] = next;
            parent[b.second] = next;
            queue.emplace(a.first + b.first, next++);
        }
        const int root = next - 1;
        // Internal nodes are made after their children: their depths follow
        // from the root down, in the reverse order of their making.
        std::vector<int> depth(static_cast<size_t>(next), 0);
        for (int node = root - 1; node >= count; --node) depth[node] = depth[parent[node]] + 1;
        int deepest = 0;
        for (int s = 0; s < count; ++s)
            if (freq[s] > 0) {
                depth[s] = depth[parent[s]] + 1;
                deepest = std::max(deepest, depth[s]);
                lengths[s] = static_cast<uint8_t>(depth[s]);
            }
        if (deepest <= maxBits) return;
        for (auto& f : freq)
            if (f > 0) f = (f + 1) / 2;
    }
}

// The canonical codes of the code lengths, bit-reversed for writing least
// significant bit first.
void canonicalCodes(const uint8_t* lengths, int count, uint16_t* codes) {
    int perLength[16] = {};
    for (int s = 0; s < count; ++s) ++perLength[lengths[s]];
    perLength[0] = 0;
    int next[16] = {};
    int code = 0;
    for (int bits = 1; bits < 16; ++bits) {
        code = (code + perLength[bits - 1]) << 1;
        next[bits] = code;
    }
    for (int s = 0; s < count; ++s) {
        const int len = lengths[s];
        if (len == 0) {
            codes[s] = 0;
            continue;
        }
        uint32_t c = static_cast<uint32_t>(next[len]++);
        uint32_t reversed = 0;
        for (int i = 0; i < len; ++i, c >>= 1) reversed = (reversed << 1) | (c & 1);
        codes[s] = static_cast<uint16_t>(reversed);
    }
}

// At least two symbols in use, so that every code is complete.
void twoSymbolsAtLeast(uint32_t* freq, int count) {
    int used = 0;
    for (int s = 0; s < count; ++s) used += freq[s] > 0;
    for (int s = 0; used < 2 && s < count; ++s)
        if (freq[s] == 0) {
            freq[s] = 1;
            ++used;
        }
}

// A 64-bit hash of a run of pixels, in two independent lanes.
inline uint64_t hashPixels(const QRgb* p, int n) {
    constexpr uint64_t k = 0x9E3779B97F4A7C15ull;
    uint64_t a = static_cast<uint64_t>(n) * k;
    uint64_t b = 0x632BE59BD9B4E019ull;
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        uint64_t w0;
        uint64_t w1;
        std::memcpy(&w0, p + i, 8);
        std::memcpy(&w1, p + i + 2, 8);
        a = (a ^ w0) * k;
        a ^= a >> 31;
        b = (b ^ w1) * k;
        b ^= b >> 29;
    }
    for (; i < n; ++i) {
        a = (a ^ p[i]) * k;
        a ^= a >> 31;
    }
    const uint64_t h = (a ^ (b * 0xC2B2AE3D27D4EB4Full)) * k;
    return h ^ (h >> 32);
}

// Bits written least significant first into room made beforehand.
struct BitSink {
    unsigned char* p;
    uint64_t bits;
    int count;
    void put(uint32_t value, int n) {
        bits |= static_cast<uint64_t>(value) << count;
        count += n;
        if (count >= 32) {
            p[0] = static_cast<unsigned char>(bits);
            p[1] = static_cast<unsigned char>(bits >> 8);
            p[2] = static_cast<unsigned char>(bits >> 16);
            p[3] = static_cast<unsigned char>(bits >> 24);
            p += 4;
            bits >>= 32;
            count -= 32;
        }
    }
};

// The slot of the pair of pixels starting at `p` in the table of last
// appearances.
inline uint32_t pairSlot(const QRgb* p) {
    uint64_t v;
    std::memcpy(&v, p, 8);
    return static_cast<uint32_t>((v * 0x9E3779B97F4A7C15ull) >> (64 - kWindowTableBits));
}

// The Adler-32 `adler` taken on over the bytes of `n` pixels, RGB or RGBA.
// Over m bytes d0..d(m-1) the sums grow by
//   A += sum of d(i),   B += m * A + sum of (m - i) d(i);
// with pixel j's bytes at bpp * j + k the second sum is
//   m * sum S(j) - bpp * sum j S(j) - sum k d(j, k),   S(j) the pixel's byte sum,
// sums that a loop over whole pixels takes without reducing at each byte.
uint32_t adlerUpdate(uint32_t adler, const QRgb* p, int n, int bytesPerPixel) {
    constexpr uint64_t base = 65521;
    constexpr int run = 1024;  // pixels a round: the sums stay within 32 bits
    uint64_t a = adler & 0xffff;
    uint64_t b = adler >> 16;
    for (int start = 0; start < n; start += run) {
        const int count = std::min(n - start, run);
        const QRgb* q = p + start;
        uint32_t sum = 0;
        uint32_t weighted = 0;
        uint32_t inner = 0;
        if (bytesPerPixel == 3) {
            for (int j = 0; j < count; ++j) {
                const uint32_t r = (q[j] >> 16) & 0xff, g = (q[j] >> 8) & 0xff, bl = q[j] & 0xff;
                const uint32_t pixelSum = r + g + bl;
                sum += pixelSum;
                weighted += static_cast<uint32_t>(j) * pixelSum;
                inner += g + 2 * bl;
            }
        } else {
            for (int j = 0; j < count; ++j) {
                const uint32_t r = (q[j] >> 16) & 0xff, g = (q[j] >> 8) & 0xff, bl = q[j] & 0xff, al = q[j] >> 24;
                const uint32_t pixelSum = r + g + bl + al;
                sum += pixelSum;
                weighted += static_cast<uint32_t>(j) * pixelSum;
                inner += g + 2 * bl + 3 * al;
            }
        }
        const uint64_t m = static_cast<uint64_t>(count) * static_cast<uint64_t>(bytesPerPixel);
        const uint64_t tail = m * sum - static_cast<uint64_t>(bytesPerPixel) * weighted - inner;
        b = (b + m * a + tail) % base;
        a = (a + sum) % base;
    }
    return static_cast<uint32_t>((b << 16) | a);
}

}  // namespace

// The matching of a band's rows. What it finds depends on the band's pixels
// and the row above the band alone, so that bands can be matched on several
// threads at once and the file still comes out the same.
class RowDeflater::BandParser {
public:
    BandParser(int width, int bytesPerPixel, int segmentPixels)
        : width_(width), bpp_(bytesPerPixel), segmentPixels_(segmentPixels),
          segments_((width + segmentPixels - 1) / segmentPixels), rowBytes_(1 + width * bytesPerPixel),
          rowHash_(static_cast<size_t>(segments_)), lastSeen_(size_t(1) << kWindowTableBits, 0) {
        size_t tableSize = 4;
        while (tableSize < static_cast<size_t>(segments_) * 2) tableSize *= 2;
        inRow_.assign(tableSize, 0);
        inRowStamp_.assign(tableSize, 0);
    }

    // The symbols of `count` rows of `width` pixels each, after the row
    // `above` (none before the first band).
    void parse(const QRgb* above, const QRgb* rows, int count, std::vector<Op>& ops) {
        ops_ = &ops;
        std::fill(lastSeen_.begin(), lastSeen_.end(), 0);
        rowIndex_ = 1;
        above_ = above;
        if (above_) remember(above_, 0, width_);
        for (int y = 0; y < count; ++y) {
            const QRgb* row = rows + static_cast<size_t>(y) * static_cast<size_t>(width_);
            addRow(row);
            above_ = row;
        }
        endCopy();
        ops_ = nullptr;
    }

private:
    void addRow(const QRgb* pixels);
    void copy(int dist, int len);
    void endCopy();
    void literal(unsigned char byte);
    void literalPixel(QRgb pixel);
    void remember(const QRgb* row, int from, int to, int step = 1);
    void windowParse(const QRgb* row, int first, int count, bool nearAbove);

    const int width_;
    const int bpp_;
    const int segmentPixels_;
    const int segments_;
    const int rowBytes_;  // filter byte and pixels
    const QRgb* above_ = nullptr;
    std::vector<uint64_t> rowHash_;
    // Segments of the current row by hash (open addressing): the segment's
    // index, current when its stamp is this row's.
    std::vector<uint32_t> inRow_;
    std::vector<uint32_t> inRowStamp_;
    uint32_t generation_ = 0;
    // Where each pair of pixels (by hash) last appeared: the low 16 bits of
    // the row number in the band, then the column.
    std::vector<uint32_t> lastSeen_;
    uint32_t rowIndex_ = 1;
    // A copy still growing, and where the symbols go.
    int copyDist_ = 0;
    int copyLen_ = 0;
    std::vector<Op>* ops_ = nullptr;
};

inline void RowDeflater::BandParser::literal(unsigned char byte) {
    endCopy();
    ops_->push_back(Op{byte, 0});
}

inline void RowDeflater::BandParser::copy(int dist, int len) {
    if (copyLen_ > 0 && copyDist_ == dist) {
        copyLen_ += len;
        return;
    }
    endCopy();
    copyDist_ = dist;
    copyLen_ = len;
}

inline void RowDeflater::BandParser::endCopy() {
    if (copyLen_ <= kMaxCopy) {
        if (copyLen_ > 0) ops_->push_back(Op{static_cast<uint16_t>(copyLen_), static_cast<uint16_t>(copyDist_)});
        copyLen_ = 0;
        return;
    }
    int left = copyLen_;
    while (left > kMaxCopy) {
        const int piece = left - kMaxCopy >= kMinCopy ? kMaxCopy : left - kMinCopy;
        ops_->push_back(Op{static_cast<uint16_t>(piece), static_cast<uint16_t>(copyDist_)});
        left -= piece;
    }
    if (left > 0) ops_->push_back(Op{static_cast<uint16_t>(left), static_cast<uint16_t>(copyDist_)});
    copyLen_ = 0;
}

inline void RowDeflater::BandParser::remember(const QRgb* row, int from, int to, int step) {
    const int last = std::min(to, width_ - 1);
    const uint32_t rowBits = rowIndex_ << 16;
    for (int x = from; x < last; x += step) lastSeen_[pairSlot(row + x)] = rowBits | static_cast<uint32_t>(x);
}

inline void RowDeflater::BandParser::literalPixel(QRgb pixel) {
    endCopy();
    ops_->push_back(Op{static_cast<uint16_t>(qRed(pixel)), 0});
    ops_->push_back(Op{static_cast<uint16_t>(qGreen(pixel)), 0});
    ops_->push_back(Op{static_cast<uint16_t>(qBlue(pixel)), 0});
    if (bpp_ == 4) ops_->push_back(Op{static_cast<uint16_t>(qAlpha(pixel)), 0});
}

// A segment found nowhere whole: at each pixel, the longest run of pixels
// like those at the pixel to the left, above, where the copy going on copies
// from, or where its first two pixels last appeared (in this row or the row
// above); a pixel with none is written as literals.
void RowDeflater::BandParser::windowParse(const QRgb* row, int first, int count, bool nearAbove) {
    const int end = first + count;
    const int bpp = bpp_;
    // Where the copy going on would copy the next pixel from.
    const QRgb* goingFrom = nullptr;
    int goingDist = 0;
    bool goingAbove = false;
    if (copyLen_ > 0) {
        goingDist = copyDist_;
        const int back = copyDist_ - rowBytes_;  // from the row above
        if (copyDist_ % bpp == 0 && copyDist_ / bpp <= first)
            goingFrom = row + first - copyDist_ / bpp;
        else if (nearAbove && back >= 0 && back % bpp == 0 && back / bpp <= first) {
            goingFrom = above_ + first - back / bpp;
            goingAbove = true;
        }
    }
    for (int x = first; x < end;) {
        int bestLen = 0;
        int bestDist = 0;
        const QRgb* bestFrom = nullptr;
        bool bestAbove = false;
        // A copy never runs past the end of the row it copies from: in the
        // file a filter byte stands between rows.
        auto consider = [&](const QRgb* from, int dist, bool fromAbove) {
            if (dist > kMaxDistance) return;
            const int most = fromAbove ? std::min(end - x, static_cast<int>(above_ + width_ - from)) : end - x;
            int n = 0;
            // Two pixels at a time, then the last one.
            for (uint64_t a, b; n + 2 <= most; n += 2) {
                std::memcpy(&a, from + n, 8);
                std::memcpy(&b, row + x + n, 8);
                if (a != b) break;
            }
            if (n < most && from[n] == row[x + n]) ++n;
            if (n > bestLen || (n == bestLen && dist < bestDist)) {
                bestLen = n;
                bestDist = dist;
                bestFrom = from;
                bestAbove = fromAbove;
            }
        };
        if (copyLen_ > 0 && copyDist_ == goingDist && goingFrom) consider(goingFrom, goingDist, goingAbove);
        if (x > 0 && bestLen < end - x) consider(row + x - 1, bpp, false);
        if (nearAbove && bestLen < end - x) consider(above_ + x, rowBytes_, true);
        if (x + 1 < width_ && bestLen < std::min(end - x, 8) && width_ <= 0xffff) {
            const uint32_t seen = lastSeen_[pairSlot(row + x)];
            const auto lastX = static_cast<int>(seen & 0xffff);
            const uint32_t lastRow = seen >> 16;
            if (lastRow == (rowIndex_ & 0xffff) && lastX < x)
                consider(row + lastX, (x - lastX) * bpp, false);
            else if (nearAbove && lastRow == ((rowIndex_ - 1) & 0xffff) && lastX < width_)
                consider(above_ + lastX, rowBytes_ + (x - lastX) * bpp, true);
        }
        // One pixel is worth a copy only from close by, where the distance
        // costs few bits.
        if (bestLen >= 2 || (bestLen == 1 && bestDist <= 4 * bpp)) {
            copy(bestDist, bestLen * bpp);
            goingFrom = bestFrom + bestLen;
            goingDist = bestDist;
            goingAbove = bestAbove;
            remember(row, x, x + bestLen, bestLen > 4 ? 2 : 1);
            x += bestLen;
        } else {
            literalPixel(row[x]);
            remember(row, x, x + 1);
            ++x;
        }
    }
}

void RowDeflater::BandParser::addRow(const QRgb* pixels) {
    const bool nearAbove = above_ != nullptr && rowBytes_ <= kMaxDistance;
    const size_t pixelBytes = sizeof(QRgb) * static_cast<size_t>(width_);

    // A row like the one above is one copy of it, filter byte included.
    if (nearAbove && std::memcmp(pixels, above_, pixelBytes) == 0) {
        ++rowIndex_;
        remember(pixels, 0, width_);
        copy(rowBytes_, rowBytes_);
        return;
    }

    // The filter byte, 0, continues a copy of the row above.
    if (nearAbove && copyLen_ > 0 && copyDist_ == rowBytes_)
        copy(rowBytes_, 1);
    else
        literal(0);
    ++rowIndex_;

    ++generation_;
    if (generation_ == 0) {  // wrapped: no stamp may look current
        std::fill(inRowStamp_.begin(), inRowStamp_.end(), 0);
        generation_ = 1;
    }
    const size_t mask = inRow_.size() - 1;
    const int segmentBytes = segmentPixels_ * bpp_;

    for (int s = 0; s < segments_; ++s) {
        const int first = s * segmentPixels_;
        const int count = std::min(segmentPixels_, width_ - first);
        const int bytes = count * bpp_;
        const QRgb* p = pixels + first;
        const size_t size = sizeof(QRgb) * static_cast<size_t>(count);
        const uint64_t hash = hashPixels(p, count);
        rowHash_[s] = hash;
        bool done = false;

        // An earlier whole segment of this row, `back` segments back.
        auto sameAsEarlier = [&](int back) {
            return count == segmentPixels_ && back >= 1 && back <= s && back * segmentBytes <= kMaxDistance &&
                   rowHash_[s - back] == hash && std::memcmp(p, pixels + first - back * segmentPixels_, size) == 0;
        };

        // 1. The copy going on goes on.
        if (copyLen_ > 0) {
            if (copyDist_ == rowBytes_) {
                if (nearAbove && std::memcmp(p, above_ + first, size) == 0) {
                    copy(rowBytes_, bytes);
                    done = true;
                }
            } else if (copyDist_ % segmentBytes == 0 && sameAsEarlier(copyDist_ / segmentBytes)) {
                copy(copyDist_, bytes);
                done = true;
            }
        }
        // 2. The segment above.
        if (!done && nearAbove && std::memcmp(p, above_ + first, size) == 0) {
            copy(rowBytes_, bytes);
            done = true;
        }
        // 3. The nearest equal segment before it in the row.
        size_t slot = hash & mask;
        for (; inRowStamp_[slot] == generation_; slot = (slot + 1) & mask) {
            const int earlier = static_cast<int>(inRow_[slot]);
            if (rowHash_[earlier] != hash) continue;
            if (!done && sameAsEarlier(s - earlier)) {
                copy((s - earlier) * segmentBytes, bytes);
                done = true;
            }
            break;
        }
        inRow_[slot] = static_cast<uint32_t>(s);  // the nearest from now on
        inRowStamp_[slot] = generation_;
        // 4. Its own symbols.
        if (done)
            remember(pixels, first, first + count, 2);
        else
            windowParse(pixels, first, count, nearAbove);
    }
}

RowDeflater::RowDeflater(int width, bool alpha, int segmentPixels, QByteArray start, bool threads)
    : width_(width), bytesPerPixel_(alpha ? 4 : 3), segmentPixels_(std::max(1, segmentPixels)), out_(std::move(start)) {
    outSize_ = out_.size();
    out_.resize(outSize_ + (1 << 16));
    out_[outSize_++] = 0x78;  // deflate, 32 KB window
    out_[outSize_++] = 0x01;  // fastest; (0x78 << 8 | 0x01) is a multiple of 31
    current_ = std::make_unique<Job>();
    const unsigned cores = std::thread::hardware_concurrency();
    if (threads && cores > 1) {
        // One thread writes the bands in order; one or two match them, so
        // that a core is left for the drawing and the writing.
        const unsigned parsers = std::min(2u, cores - 1);
        for (unsigned i = 0; i < parsers; ++i) parsers_.emplace_back([this] { parserLoop(); });
        writer_ = std::thread([this] { writerLoop(); });
    } else {
        parser_ = std::make_unique<BandParser>(width_, bytesPerPixel_, segmentPixels_);
    }
}

RowDeflater::~RowDeflater() { stopThreads(); }

void RowDeflater::stopThreads() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        closing_ = true;
    }
    changed_.notify_all();
    for (auto& t : parsers_) t.join();
    parsers_.clear();
    if (writer_.joinable()) writer_.join();
}

void RowDeflater::addRow(const QRgb* pixels) {
    current_->pixels.insert(current_->pixels.end(), pixels, pixels + width_);
    ++current_->rows;
}

void RowDeflater::endBlock() {
    if (current_->rows == 0) return;
    auto job = std::move(current_);
    {
        // A written band's buffers serve again, at the size they grew to.
        const std::lock_guard<std::mutex> lock(mutex_);
        if (!spent_.empty()) {
            current_ = std::move(spent_.back());
            spent_.pop_back();
        }
    }
    if (!current_) current_ = std::make_unique<Job>();
    job->above = lastRow_;
    lastRow_.assign(job->pixels.end() - width_, job->pixels.end());
    if (!parser_) {
        // A few bands at most wait: the rows are not taken far ahead of the
        // threads.
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return jobs_.size() < 4; });
        jobs_.push_back(std::move(job));
        lock.unlock();
        changed_.notify_all();
        return;
    }
    parser_->parse(job->above.empty() ? nullptr : job->above.data(), job->pixels.data(), job->rows, job->ops);
    writeBlock(*job);
    job->pixels.clear();
    job->ops.clear();
    job->rows = 0;
    spent_.push_back(std::move(job));
}

void RowDeflater::parserLoop() {
    BandParser parser(width_, bytesPerPixel_, segmentPixels_);
    for (;;) {
        Job* job = nullptr;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock, [&] {
                for (const auto& j : jobs_)
                    if (!j->taken) {
                        job = j.get();
                        return true;
                    }
                return closing_;
            });
            if (!job) return;
            job->taken = true;
        }
        try {
            parser.parse(job->above.empty() ? nullptr : job->above.data(), job->pixels.data(), job->rows, job->ops);
        } catch (...) {
            const std::lock_guard<std::mutex> lock(mutex_);
            if (!failure_) failure_ = std::current_exception();
        }
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            job->parsed = true;
        }
        changed_.notify_all();
    }
}

void RowDeflater::writerLoop() {
    for (;;) {
        Job* job = nullptr;
        bool failed = false;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock,
                          [this] { return (!jobs_.empty() && jobs_.front()->parsed) || (closing_ && jobs_.empty()); });
            if (jobs_.empty()) return;
            job = jobs_.front().get();
            failed = failure_ != nullptr;
        }
        try {
            if (!failed) writeBlock(*job);
        } catch (...) {
            const std::lock_guard<std::mutex> lock(mutex_);
            if (!failure_) failure_ = std::current_exception();
        }
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            std::unique_ptr<Job> done = std::move(jobs_.front());
            jobs_.pop_front();
            done->pixels.clear();
            done->ops.clear();
            done->rows = 0;
            done->taken = false;
            done->parsed = false;
            spent_.push_back(std::move(done));
        }
        changed_.notify_all();
    }
}

// The block's Huffman codes from the counts of its symbols, the codes
// themselves (run-length coded), then the symbols.
void RowDeflater::writeBlock(const Job& rows) {
    const int bpp = bytesPerPixel_;
    for (size_t at = 0; at < rows.pixels.size(); at += static_cast<size_t>(width_)) {
        const uint32_t a = adler_ & 0xffff;  // the filter byte, 0
        adler_ = (((adler_ >> 16) + a) % 65521) << 16 | a;
        adler_ = adlerUpdate(adler_, rows.pixels.data() + at, width_, bpp);
    }
    const std::vector<Op>& block = rows.ops;
    if (block.empty()) return;

    std::array<uint32_t, kLitLenCodes> litFreq{};
    std::array<uint32_t, kDistanceCodes> distFreq{};
    for (const Op& op : block) {
        if (op.dist == 0) {
            ++litFreq[op.len];
        } else {
            ++litFreq[kLengths.code[op.len]];
            ++distFreq[distanceCode(op.dist).code];
        }
    }
    litFreq[kEndOfBlock] = 1;
    twoSymbolsAtLeast(litFreq.data(), kLitLenCodes);
    twoSymbolsAtLeast(distFreq.data(), kDistanceCodes);

    std::array<uint8_t, kLitLenCodes + kDistanceCodes> lengths{};
    uint8_t* litLen = lengths.data();
    uint8_t* distLen = lengths.data() + kLitLenCodes;
    huffmanLengths(litFreq.data(), kLitLenCodes, 15, litLen);
    huffmanLengths(distFreq.data(), kDistanceCodes, 15, distLen);
    std::array<uint16_t, kLitLenCodes> litCode{};
    std::array<uint16_t, kDistanceCodes> distCode{};
    canonicalCodes(litLen, kLitLenCodes, litCode.data());
    canonicalCodes(distLen, kDistanceCodes, distCode.data());

    int nLit = kLitLenCodes;
    while (nLit > 257 && litLen[nLit - 1] == 0) --nLit;
    int nDist = kDistanceCodes;
    while (nDist > 1 && distLen[nDist - 1] == 0) --nDist;

    // The code lengths, run-length coded (16: repeat the last 3-6 times,
    // 17: 3-10 zeros, 18: 11-138 zeros), one after the other.
    std::vector<uint8_t> all(litLen, litLen + nLit);
    all.insert(all.end(), distLen, distLen + nDist);
    struct Run {
        uint8_t symbol;
        uint8_t extra;
    };
    std::vector<Run> runs;
    for (size_t i = 0; i < all.size();) {
        const uint8_t value = all[i];
        size_t n = 1;
        while (i + n < all.size() && all[i + n] == value) ++n;
        i += n;
        if (value == 0) {
            while (n >= 11) {
                const size_t r = std::min<size_t>(n, 138);
                runs.push_back({18, static_cast<uint8_t>(r - 11)});
                n -= r;
            }
            if (n >= 3) {
                runs.push_back({17, static_cast<uint8_t>(n - 3)});
                n = 0;
            }
            for (; n > 0; --n) runs.push_back({0, 0});
        } else {
            runs.push_back({value, 0});
            --n;
            while (n >= 3) {
                const size_t r = std::min<size_t>(n, 6);
                runs.push_back({16, static_cast<uint8_t>(r - 3)});
                n -= r;
            }
            for (; n > 0; --n) runs.push_back({value, 0});
        }
    }
    std::array<uint32_t, kCodeLengthCodes> clFreq{};
    for (const Run& r : runs) ++clFreq[r.symbol];
    twoSymbolsAtLeast(clFreq.data(), kCodeLengthCodes);
    std::array<uint8_t, kCodeLengthCodes> clLen{};
    std::array<uint16_t, kCodeLengthCodes> clCode{};
    huffmanLengths(clFreq.data(), kCodeLengthCodes, 7, clLen.data());
    canonicalCodes(clLen.data(), kCodeLengthCodes, clCode.data());
    static constexpr int order[kCodeLengthCodes] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
    int nCl = kCodeLengthCodes;
    while (nCl > 4 && clLen[order[nCl - 1]] == 0) --nCl;

    // At most 48 bits a symbol, and the block's header.
    const qsizetype room = static_cast<qsizetype>(block.size()) * 6 + static_cast<qsizetype>(runs.size()) * 2 + 64;
    if (outSize_ + room > out_.size()) out_.resize(std::max(outSize_ + room, out_.size() + out_.size() / 2));
    auto* const begin = reinterpret_cast<unsigned char*>(out_.data());
    BitSink sink{begin + outSize_, bits_, bitCount_};
    sink.put(0, 1);  // not the last block
    sink.put(2, 2);  // dynamic Huffman codes
    sink.put(static_cast<uint32_t>(nLit - 257), 5);
    sink.put(static_cast<uint32_t>(nDist - 1), 5);
    sink.put(static_cast<uint32_t>(nCl - 4), 4);
    for (int i = 0; i < nCl; ++i) sink.put(clLen[order[i]], 3);
    static constexpr int extraOf[3] = {2, 3, 7};  // of symbols 16, 17, 18
    for (const Run& r : runs) {
        sink.put(clCode[r.symbol], clLen[r.symbol]);
        if (r.symbol >= 16) sink.put(r.extra, extraOf[r.symbol - 16]);
    }

    for (const Op& op : block) {
        if (op.dist == 0) {
            sink.put(litCode[op.len], litLen[op.len]);
        } else {
            const int lc = kLengths.code[op.len];
            sink.put(litCode[lc] | (uint32_t(kLengths.extraValue[op.len]) << litLen[lc]),
                     litLen[lc] + kLengths.extraBits[op.len]);
            const DistanceCode d = distanceCode(op.dist);
            sink.put(distCode[d.code] | (d.extraValue << distLen[d.code]), distLen[d.code] + d.extraBits);
        }
    }
    sink.put(litCode[kEndOfBlock], litLen[kEndOfBlock]);
    outSize_ = sink.p - begin;
    bits_ = sink.bits;
    bitCount_ = sink.count;
}

QByteArray RowDeflater::finish() {
    endBlock();
    stopThreads();
    if (failure_) std::rethrow_exception(failure_);
    // The last block: fixed codes, only the end of the block (seven zero bits).
    if (outSize_ + 16 > out_.size()) out_.resize(outSize_ + 16);
    auto* const begin = reinterpret_cast<unsigned char*>(out_.data());
    BitSink sink{begin + outSize_, bits_, bitCount_};
    sink.put(1, 1);
    sink.put(1, 2);
    sink.put(0, 7);
    for (; sink.count > 0; sink.count -= 8, sink.bits >>= 8) *sink.p++ = static_cast<unsigned char>(sink.bits);
    for (int shift = 24; shift >= 0; shift -= 8) *sink.p++ = static_cast<unsigned char>(adler_ >> shift);
    out_.resize(sink.p - begin);
    return std::move(out_);
}
}  // namespace quillmark::cli
