#include "model/core/Format.h"

#include "model/core/Error.h"
#include "model/core/RecordTable.h"
#include "model/core/Text.h"

#include <charconv>
#include <cstdint>

namespace quillmark::format {

std::optional<int> toInteger(std::string_view text) {
    size_t b = 0, e = text.size();
    while (b < e && (text[b] == ' ' || text[b] == '\t')) ++b;
    while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t')) --e;
    const char* first = text.data() + b;
    const char* last = text.data() + e;
    bool negative = false;
    if (first < last && (*first == '+' || *first == '-')) {
        negative = *first == '-';
        ++first;
    }
    if (first == last || *first < '0' || *first > '9') return std::nullopt;
    long long value = 0;
    auto [ptr, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || ptr != last) return std::nullopt;
    if (negative) value = -value;
    if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return static_cast<int>(value);
}

int parseInteger(std::string_view text) {
    const std::optional<int> value = toInteger(text);
    if (!value) throw Error(formatMessage("'%s' is not a valid integer value", {cp1252ToUtf8(text)}));
    return *value;
}

std::vector<std::string_view> textLines(std::string_view text) {
    std::vector<std::string_view> lines;
    for (size_t start = 0; start < text.size();) {
        const size_t lf = text.find('\n', start);
        size_t end = lf == std::string_view::npos ? text.size() : lf;
        if (end > start && text[end - 1] == '\r') --end;
        lines.push_back(text.substr(start, end - start));
        if (lf == std::string_view::npos) break;
        start = lf + 1;
    }
    return lines;
}

std::vector<std::string_view> anyBreakLines(std::string_view text, bool keepLastEmpty) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            lines.push_back(text.substr(start, i - start));
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            start = i + 1;
        }
    }
    if (keepLastEmpty || start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

int tileRecordIndex(const RecordTable& tiles, unsigned char code) {
    if (!tiles.active()) return -1;
    const int tipo = tiles.fieldIndex("Tipo");
    if (tipo < 0) return -1;
    const std::vector<Record>& records = tiles.allRecords();
    for (std::size_t i = 0; i < records.size(); ++i) {
        const std::optional<std::string>& v = records[i][static_cast<std::size_t>(tipo)];
        if (v && v->size() == 1 && static_cast<unsigned char>((*v)[0]) == code) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace quillmark::format
