// Reading a map file: a quick route for files exactly as the editor writes
// them, a direct route over the parsed document, and the record table's
// general route, which gives every error of the data-packet reader.
#include "model/core/MapFile.h"

#include "model/core/DataPacket.h"
#include "model/core/Error.h"
#include "model/core/Files.h"
#include "model/core/Format.h"
#include "model/core/Paths.h"
#include "model/core/RecordTable.h"
#include "model/core/Text.h"

#include <QDir>
#include <QFile>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <pugixml.hpp>

namespace quillmark {

namespace {

// The general route: the record table reads the file with every check of
// the data-packet reader and gives its errors.
MapGrid loadThroughTable(const QString& fullPath, const std::string& currentMap);

bool isAscii(const char* s, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i)
        if (static_cast<unsigned char>(s[i]) >= 0x80) return false;
    return true;
}

// Two texts alike (short names: a plain loop beats a library call).
inline bool sameText(const char* a, const char* b) {
    for (; *a == *b; ++a, ++b)
        if (!*a) return true;
    return false;
}

// The length of a text and whether it is all ASCII, in one pass.
inline std::size_t measure(const char* s, bool* ascii) {
    unsigned char any = 0;
    const char* p = s;
    for (; *p; ++p) any |= static_cast<unsigned char>(*p);
    *ascii = any < 0x80;
    return static_cast<std::size_t>(p - s);
}

// The quickest route, for a file exactly as the editor writes it: the
// skeleton's header, then rows of the six attributes in their order, nothing
// between them. The text is read as it stands, without building a document.
// A value holding anything but plain characters and the five named or the
// numeric character references (a raw line break, a tab, '<', NUL), or any
// other departure from that form, returns false and the file takes the
// parser's route, which reads it in full generality.
class CanonicalRows {
public:
    CanonicalRows(const char* text, std::size_t size) : p_(text), end_(text + size) {}

    bool load(MapGrid& loaded) {
        static const std::string header = [] {
            const std::string h = kMapSkeleton;
            return h.substr(0, h.find("</ROWDATA>"));
        }();
        if (!take(header)) return false;
        int rows = 0, n = 0, cellRow = 0, cellColumn = 0;
        unsigned char tipo = MapGrid::kNewTipo, fundo = MapGrid::kNewFundo, xo = MapGrid::kNewXO;
        std::string evento, size, previousSize;
        int sizeValue = 0;
        while (take("<ROW Tipo=\"")) {
            if (!code(&tipo, MapGrid::kNewTipo) || !take("\" Fundo=\"") || !code(&fundo, MapGrid::kNewFundo) ||
                !take("\" Tamanho=\"") || !value(&size) || !take("\" XO=\"") || !code(&xo, MapGrid::kNewXO) ||
                !take("\" Evento=\"") || !value(&evento) || !take("\" Transparente=\""))
                return false;
            if (!take("TRUE\"/>") && !take("FALSE\"/>")) return false;
            if (size != previousSize || rows == 0) {
                const std::optional<int> v = format::toInteger(size);
                if (!v) return false;
                sizeValue = *v;
                previousSize = size;
            }
            if (rows == 0) {
                n = sizeValue;
                if (n < 0 || n > MapGrid::kCapacity) return false;
                loaded.N = n;
            }
            if (cellRow < n) {
                const std::size_t i = static_cast<std::size_t>(cellRow) * MapGrid::kCapacity + cellColumn;
                loaded.Tipo[i] = tipo;
                loaded.Fundo[i] = fundo;
                loaded.XO[i] = xo;
                loaded.Evento[i] = evento;
                if (++cellColumn == n) {
                    cellColumn = 0;
                    ++cellRow;
                }
            }
            ++rows;
        }
        if (!take("</ROWDATA></DATAPACKET>") || p_ != end_) return false;
        // When the rows run out, the remaining cells repeat the last row.
        for (; cellRow < n; ++cellRow, cellColumn = 0)
            for (; cellColumn < n; ++cellColumn) {
                const std::size_t i = static_cast<std::size_t>(cellRow) * MapGrid::kCapacity + cellColumn;
                loaded.Tipo[i] = tipo;
                loaded.Fundo[i] = fundo;
                loaded.XO[i] = xo;
                loaded.Evento[i] = evento;
            }
        return true;
    }

private:
    bool take(std::string_view expected) {
        if (static_cast<std::size_t>(end_ - p_) < expected.size() ||
            std::memcmp(p_, expected.data(), expected.size()) != 0)
            return false;
        p_ += expected.size();
        return true;
    }

    // An attribute value up to its closing quote, references resolved, as
    // the table stores it (UTF-8 read back as CP1252).
    bool value(std::string* out) {
        out->clear();
        bool ascii = true;
        while (p_ < end_) {
            const char ch = *p_;
            if (ch == '"') {
                if (!ascii) *out = fromFileText(*out);
                return true;
            }
            if (ch == '<' || ch == '\0' || ch == '\r' || ch == '\n' || ch == '\t') return false;
            if (ch == '&') {
                if (!reference(out)) return false;
                ascii = ascii && static_cast<unsigned char>(out->back()) < 0x80;
                continue;
            }
            ascii = ascii && static_cast<unsigned char>(ch) < 0x80;
            out->push_back(ch);
            ++p_;
        }
        return false;
    }

    bool reference(std::string* out) {
        static const std::pair<std::string_view, char> named[] = {
            {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
        for (const auto& [text, ch] : named)
            if (take(text)) {
                out->push_back(ch);
                return true;
            }
        if (!take("&#")) return false;
        const bool hex = take("x");
        std::uint32_t code = 0;
        int digits = 0;
        for (; p_ < end_ && *p_ != ';'; ++p_, ++digits) {
            const char c = *p_;
            int d;
            if (c >= '0' && c <= '9')
                d = c - '0';
            else if (hex && c >= 'a' && c <= 'f')
                d = c - 'a' + 10;
            else if (hex && c >= 'A' && c <= 'F')
                d = c - 'A' + 10;
            else
                return false;
            code = code * (hex ? 16 : 10) + static_cast<std::uint32_t>(d);
            if (digits > 7) return false;
        }
        if (digits == 0 || !take(";") || code == 0 || code > 0x10FFFF) return false;
        // as UTF-8, as the parser puts it
        if (code < 0x80) {
            out->push_back(static_cast<char>(code));
        } else if (code < 0x800) {
            out->push_back(static_cast<char>(0xC0 | (code >> 6)));
            out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else if (code < 0x10000) {
            out->push_back(static_cast<char>(0xE0 | (code >> 12)));
            out->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else {
            out->push_back(static_cast<char>(0xF0 | (code >> 18)));
            out->push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
            out->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
        return true;
    }

    // A one-character code field: its first stored byte; empty gives the
    // new-map value; more than one stored character is for the table to refuse.
    bool code(unsigned char* out, unsigned char fallback) {
        if (p_ < end_ && *p_ != '"' && *p_ != '&' && static_cast<unsigned char>(*p_) < 0x80 && *p_ != '<' &&
            *p_ >= 0x20 && p_ + 1 < end_ && p_[1] == '"') {
            *out = static_cast<unsigned char>(*p_);
            ++p_;
            return true;
        }
        if (!value(&scratch_) || scratch_.size() > 1) return false;
        *out = scratch_.empty() ? fallback : static_cast<unsigned char>(scratch_[0]);
        return true;
    }

    const char* p_;
    const char* end_;
    std::string scratch_;
};

// The direct route for a well-formed map file: the file is parsed in place and
// the grid filled straight from the row attributes, with the field of each
// attribute resolved once per spelling. Anything this route does not decide
// for itself (a file that does not parse, an unknown field type, a bad
// integer, a value longer than its width, names outside ASCII) returns false,
// and the general route then loads the file and reports what is wrong.
bool loadDirect(QByteArray& bytes, MapGrid& loaded) {
    pugi::xml_document doc;
    if (!doc.load_buffer_inplace(bytes.data(), static_cast<std::size_t>(bytes.size()), pugi::parse_default,
                                 pugi::encoding_utf8))
        return false;
    const pugi::xml_node root = doc.child("DATAPACKET");
    if (!root) return false;
    const pugi::xml_node metadata = root.child("METADATA");
    if (!metadata) return false;

    // The declared fields, as the data-packet reader takes them.
    struct Field {
        const char* name;
        FieldKind kind;
        int width;
    };
    std::vector<Field> fields;
    for (pugi::xml_node f : metadata.child("FIELDS").children("FIELD")) {
        const char* name = f.attribute("attrname").as_string();
        if (!*name || !isAscii(name, std::strlen(name))) return false;
        const std::optional<FieldKind> kind =
            datapacket::fieldKindOf(f.attribute("fieldtype").as_string(), f.attribute("SUBTYPE").as_string());
        if (!kind) return false;
        Field field{name, *kind, 0};
        if (*kind == FieldKind::String) field.width = f.attribute("WIDTH").as_int(0);
        fields.push_back(field);
    }
    auto fieldOf = [&](std::string_view name) {
        for (std::size_t i = 0; i < fields.size(); ++i)
            if (equalsIgnoreCase(fields[i].name, name)) return static_cast<int>(i);
        return -1;
    };
    // What each field means for the grid.
    enum Role : signed char { Other, Tipo, Fundo, Tamanho, XO, Evento };
    std::vector<Role> roles(fields.size(), Other);
    const std::pair<const char*, Role> wanted[] = {
        {"Tipo", Tipo}, {"Fundo", Fundo}, {"Tamanho", Tamanho}, {"XO", XO}, {"Evento", Evento}};
    for (const auto& [name, role] : wanted) {
        const int at = fieldOf(name);
        if (at < 0) return false;  // the table's own error texts for a missing field
        // The codes and the event are texts, the size an integer; any other
        // declaration is read the table's way.
        const FieldKind kind = fields[static_cast<std::size_t>(at)].kind;
        if (role == Tamanho ? kind != FieldKind::Integer : kind != FieldKind::String && kind != FieldKind::Memo)
            return false;
        roles[static_cast<std::size_t>(at)] = role;
    }

    // The field of an attribute name: the last few spellings met are
    // remembered by position in the row, so each name is compared once.
    struct Seen {
        const char* name = nullptr;
        int field = -1;
        // the name and its terminating NUL, when they fit in 16 bytes
        std::uint64_t word[2] = {0, 0};
        std::uint64_t mask[2] = {0, 0};
    };
    // Names sit inside the parsed buffer, with the rest of the row after them:
    // two 8-byte loads compare a name whole.
    const char* const bufferEnd = bytes.constData() + bytes.size();
    auto sameName = [bufferEnd](const Seen& known, const char* name) {
        if (known.mask[0] && name + 16 <= bufferEnd) {
            std::uint64_t word[2];
            std::memcpy(word, name, 16);
            return ((word[0] & known.mask[0]) ^ known.word[0]) == 0 && ((word[1] & known.mask[1]) ^ known.word[1]) == 0;
        }
        return sameText(known.name, name);
    };
    auto remember = [bufferEnd](const char* name, int field) {
        Seen seen{name, field, {0, 0}, {0, 0}};
        const std::size_t length = std::strlen(name);
        if (std::endian::native == std::endian::little && length < 16 && name + 16 <= bufferEnd) {
            std::memcpy(seen.word, name, 16);
            const std::size_t bytes = length + 1;  // with the NUL
            for (int w = 0; w < 2; ++w) {
                const std::size_t inWord = bytes > 8u * w ? std::min<std::size_t>(8, bytes - 8u * w) : 0;
                seen.mask[w] = inWord == 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * inWord)) - 1;
                seen.word[w] &= seen.mask[w];
            }
        }
        return seen;
    };
    std::array<Seen, 16> seen{};

    // The last integer text met and its value; the conversions of two-byte codes.
    const char* lastInteger = nullptr;
    int lastIntegerValue = 0;
    std::array<int16_t, 64 * 64> pairs;
    pairs.fill(-1);

    int rows = 0;
    int n = 0;
    int cellRow = 0, cellColumn = 0;  // of the next cell a row fills, from 0
    int filled = 0;                   // cells given by rows so far
    unsigned char tipo = MapGrid::kNewTipo, fundo = MapGrid::kNewFundo, xo = MapGrid::kNewXO;
    std::string evento;
    for (pugi::xml_node row = root.child("ROWDATA").first_child(); row; row = row.next_sibling()) {
        const char* element = row.name();
        if (element[0] != 'R' || element[1] != 'O' || element[2] != 'W' || element[3] != '\0' ||
            row.type() != pugi::node_element)
            continue;  // only ROW elements are rows
        // A row starts with every field unset.
        tipo = MapGrid::kNewTipo;
        fundo = MapGrid::kNewFundo;
        xo = MapGrid::kNewXO;
        evento.clear();
        int tamanho = 0;
        std::size_t position = 0;
        for (pugi::xml_attribute a = row.first_attribute(); a; a = a.next_attribute(), ++position) {
            const char* name = a.name();
            int index;
            Seen* slot = position < seen.size() ? &seen[position] : nullptr;
            if (slot && slot->name && sameName(*slot, name)) {
                index = slot->field;
            } else {
                if (!isAscii(name, std::strlen(name))) return false;
                index = fieldOf(name);
                if (slot) *slot = remember(name, index);
            }
            if (index < 0) continue;  // RowState and the like
            const Field& field = fields[static_cast<std::size_t>(index)];
            const char* value = a.value();
            const Role role = roles[static_cast<std::size_t>(index)];
            switch (field.kind) {
            case FieldKind::Integer: {
                // Every row states the same size: its text is parsed once.
                if (!lastInteger || !sameText(lastInteger, value)) {
                    const std::optional<int> v = format::toInteger(value);
                    if (!v) return false;
                    lastInteger = value;
                    lastIntegerValue = *v;
                }
                if (role == Tamanho) tamanho = lastIntegerValue;
                continue;
            }
            case FieldKind::Boolean:
                continue;
            case FieldKind::String:
            case FieldKind::Memo:
                break;
            }
            bool ascii;
            const std::size_t length = measure(value, &ascii);
            // A code: its first stored byte and its stored length. A code above
            // 127 is two bytes of UTF-8, converted once per pair.
            unsigned char first = 0;
            std::size_t stored = length;
            if (ascii) {
                first = static_cast<unsigned char>(value[0]);
            } else if (role != Evento || field.width > 0) {
                const auto b0 = static_cast<unsigned char>(value[0]);
                const auto b1 = static_cast<unsigned char>(value[1]);
                const bool pair = length == 2 && b0 >= 0xC0 && b1 >= 0x80 && b1 < 0xC0;
                const std::size_t key = pair ? static_cast<std::size_t>(b0 - 0xC0) * 64 + (b1 - 0x80) : 0;
                if (pair && pairs[key] >= 0) {
                    first = static_cast<unsigned char>(pairs[key] & 0xFF);
                    stored = static_cast<std::size_t>(pairs[key] >> 8);
                } else {
                    const std::string v = fromFileText(std::string_view(value, length));
                    first = v.empty() ? 0 : static_cast<unsigned char>(v[0]);
                    stored = v.size();
                    if (pair && stored > 0 && stored < 64) pairs[key] = static_cast<int16_t>(stored << 8 | first);
                }
            }
            if (field.kind == FieldKind::String && field.width > 0 && stored > static_cast<std::size_t>(field.width))
                return false;
            switch (role) {
            case Tipo:
                tipo = stored == 0 ? MapGrid::kNewTipo : first;
                break;
            case Fundo:
                fundo = stored == 0 ? MapGrid::kNewFundo : first;
                break;
            case XO:
                xo = stored == 0 ? MapGrid::kNewXO : first;
                break;
            case Evento:
                if (ascii)
                    evento.assign(value, length);
                else
                    evento = fromFileText(std::string_view(value, length));
                break;
            case Tamanho:
            case Other:
                break;
            }
        }
        if (rows == 0) {
            n = tamanho;
            if (n < 0 || n > MapGrid::kCapacity) return false;
            loaded.N = n;
        }
        ++rows;
        if (filled < n * n) {
            const std::size_t i = static_cast<std::size_t>(cellRow) * MapGrid::kCapacity + cellColumn;
            if (++cellColumn == n) {
                cellColumn = 0;
                ++cellRow;
            }
            loaded.Tipo[i] = tipo;
            loaded.Fundo[i] = fundo;
            loaded.XO[i] = xo;
            loaded.Evento[i] = evento;
            ++filled;
        }
    }
    // When the rows run out, the remaining cells repeat the last row.
    for (; filled < n * n; ++filled) {
        const std::size_t i = MapGrid::index(filled / n + 1, filled % n + 1);
        loaded.Tipo[i] = tipo;
        loaded.Fundo[i] = fundo;
        loaded.XO[i] = xo;
        loaded.Evento[i] = evento;
    }
    return true;
}

MapGrid loadThroughTable(const QString& fullPath, const std::string& currentMap) {
    RecordTable table("Mapa");
    table.setFileName(fullPath);
    table.open();

    const int n = table.isEmpty() ? 0 : table.asInteger("Tamanho");
    if (n < 0 || n > MapGrid::kCapacity)
        throw Error(formatMessage("O mapa \"%s\" declara o tamanho %d; um mapa tem de 0 a 100 células de lado",
                                  {QDir::toNativeSeparators(fullPath).toStdString(), std::to_string(n)}));

    MapGrid loaded;
    loaded.CurrentMap = currentMap;
    loaded.N = n;
    if (n > 0) {
        auto firstByte = [](const std::string& value, unsigned char fallback) {
            return value.empty() ? fallback : static_cast<unsigned char>(value[0]);
        };
        table.first();
        for (int r = 1; r <= n; ++r) {
            for (int c = 1; c <= n; ++c) {
                const std::size_t i = MapGrid::index(r, c);
                loaded.Tipo[i] = firstByte(table.asString("Tipo"), MapGrid::kNewTipo);
                loaded.XO[i] = firstByte(table.asString("XO"), MapGrid::kNewXO);
                loaded.Fundo[i] = firstByte(table.asString("Fundo"), MapGrid::kNewFundo);
                loaded.Evento[i] = table.asString("Evento");
                table.next();  // on the last row it stays there
            }
        }
    }
    return loaded;
}
}  // namespace

void Abrir(MapGrid& grid, const QString& fullPath) {
    // Everything is read into a fresh grid first, so a failure part-way keeps
    // the grid that was loaded before.
    MapGrid loaded;
    loaded.CurrentMap = grid.CurrentMap;
    bool done = false;
    QFile file(fullPath);
    if (file.open(QIODevice::ReadOnly)) {
        QByteArray bytes = file.readAll();
        file.close();
        done = CanonicalRows(bytes.constData(), static_cast<std::size_t>(bytes.size())).load(loaded);
        if (!done) {
            loaded = MapGrid();
            loaded.CurrentMap = grid.CurrentMap;
            // The parser keeps its strings inside the buffer it parses.
            bytes.detach();
            done = loadDirect(bytes, loaded);
        }
    }
    if (!done) loaded = loadThroughTable(fullPath, grid.CurrentMap);
    grid.swap(loaded);
}

}  // namespace quillmark