#include "model/core/Text.h"

#include <QList>
#include <array>

namespace quillmark {

namespace {

// Unicode of the bytes 0x80 … 0x9F; the undefined ones map to themselves.
constexpr std::array<char16_t, 32> kHigh = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                            0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t byteToUnicode(unsigned char b) {
    if (b >= 0x80 && b <= 0x9F) return kHigh[b - 0x80];
    return b;
}

// -1 when the code page has no byte for the character.
int unicodeToByte(char32_t u) {
    if (u < 0x80) return static_cast<int>(u);
    if (u >= 0xA0 && u <= 0xFF) return static_cast<int>(u);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == u) return 0x80 + i;
    return -1;
}

void appendUtf8(std::string& out, char32_t u) {
    if (u < 0x80) {
        out += static_cast<char>(u);
    } else if (u < 0x800) {
        out += static_cast<char>(0xC0 | (u >> 6));
        out += static_cast<char>(0x80 | (u & 0x3F));
    } else if (u < 0x10000) {
        out += static_cast<char>(0xE0 | (u >> 12));
        out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (u & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (u >> 18));
        out += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (u & 0x3F));
    }
}

}  // namespace

QString fromCp1252(std::string_view bytes) {
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    for (unsigned char b : bytes) out.append(QChar(static_cast<char16_t>(byteToUnicode(b))));
    return out;
}

std::string toCp1252(const QString& text, bool* ok) {
    std::string out;
    out.reserve(static_cast<size_t>(text.size()));
    bool good = true;
    for (char32_t u : text.toUcs4()) {
        int b = unicodeToByte(u);
        if (b < 0) {
            good = false;
            b = '?';
        }
        out += static_cast<char>(b);
    }
    if (ok) *ok = good;
    return out;
}

bool isCp1252(const QString& text) {
    bool ok = true;
    toCp1252(text, &ok);
    return ok;
}

std::string cp1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (unsigned char b : bytes) appendUtf8(out, byteToUnicode(b));
    return out;
}

bool utf8ToCp1252(std::string_view in, std::string* out) {
    std::string result;
    result.reserve(in.size());
    size_t i = 0;
    while (i < in.size()) {
        unsigned char c = static_cast<unsigned char>(in[i]);
        char32_t u;
        int extra;
        if (c < 0x80) {
            result += static_cast<char>(c);
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            u = c & 0x1F;
            extra = 1;
        } else if ((c & 0xF0) == 0xE0) {
            u = c & 0x0F;
            extra = 2;
        } else if ((c & 0xF8) == 0xF0) {
            u = c & 0x07;
            extra = 3;
        } else {
            return false;
        }
        if (i + static_cast<size_t>(extra) >= in.size()) return false;
        for (int k = 1; k <= extra; ++k) {
            unsigned char cc = static_cast<unsigned char>(in[i + k]);
            if ((cc & 0xC0) != 0x80) return false;
            u = (u << 6) | (cc & 0x3F);
        }
        // Overlong forms and surrogates are not UTF-8.
        if ((extra == 1 && u < 0x80) || (extra == 2 && u < 0x800) || (extra == 3 && u < 0x10000) ||
            (u >= 0xD800 && u <= 0xDFFF) || u > 0x10FFFF)
            return false;
        int b = unicodeToByte(u);
        result += static_cast<char>(b < 0 ? '?' : b);
        i += static_cast<size_t>(extra) + 1;
    }
    *out = std::move(result);
    return true;
}

std::string fromFileText(std::string_view bytes) {
    std::string out;
    if (utf8ToCp1252(bytes, &out)) return out;
    return std::string(bytes);
}

std::string asciiLower(std::string_view s) {
    std::string out(s);
    for (char& ch : out)
        if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
    return out;
}

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

}  // namespace quillmark
