// Writing a map file: the whole text made in memory from the grid, then one
// atomic replacement of the file.
#include "model/core/MapFile.h"

#include "model/core/DataPacket.h"
#include "model/core/Error.h"
#include "model/core/Files.h"
#include "model/core/Format.h"
#include "model/core/Paths.h"
#include "model/core/RecordTable.h"

#include <array>
#include <cstring>
#include <string>
#include <string_view>

namespace quillmark {

const char* const kMapSkeleton =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?> <DATAPACKET Version=\"2.0\">"
    "<METADATA><FIELDS>"
    "<FIELD attrname=\"Tipo\" fieldtype=\"string\" WIDTH=\"1\"/>"
    "<FIELD attrname=\"Fundo\" fieldtype=\"string\" WIDTH=\"1\"/>"
    "<FIELD attrname=\"Tamanho\" fieldtype=\"i4\"/>"
    "<FIELD attrname=\"XO\" fieldtype=\"string\" WIDTH=\"1\"/>"
    "<FIELD attrname=\"Evento\" fieldtype=\"bin.hex\" SUBTYPE=\"Text\"/>"
    "<FIELD attrname=\"Transparente\" fieldtype=\"boolean\"/>"
    "</FIELDS><PARAMS/></METADATA><ROWDATA></ROWDATA></DATAPACKET>";

namespace {

void requireValidSize(const MapGrid& grid) {
    if (grid.N < 0 || grid.N > MapGrid::kCapacity)
        throw Error(formatMessage("Tamanho de mapa inválido: %d (deve estar entre 0 e 100)", {std::to_string(grid.N)}));
}

// --- writing -------------------------------------------------------------------------

// The text a single stored byte takes inside an attribute value: its UTF-8
// form, escaped as the data-packet writer escapes it. Built once from the
// writer's own rules, so both always agree.
struct ByteForms {
    std::array<std::string, 256> text;
    std::array<bool, 256> plain{};  // written as the byte itself
    ByteForms() {
        const Schema one{{"V", FieldKind::Memo, 0}};
        for (int b = 0; b < 256; ++b) {
            const std::string packet = datapacket::write(one, {Record{std::string(1, static_cast<char>(b))}});
            // The packet holds <ROW V="…"/>; an escaped value never holds a quote.
            const std::size_t start = packet.find("<ROW V=\"") + std::strlen("<ROW V=\"");
            text[static_cast<std::size_t>(b)] = packet.substr(start, packet.find("\"/>", start) - start);
            plain[static_cast<std::size_t>(b)] =
                text[static_cast<std::size_t>(b)] == std::string(1, static_cast<char>(b));
        }
    }
};

const ByteForms& byteForms() {
    static const ByteForms forms;
    return forms;
}

// Writes an attribute value at `p`, escaped byte by byte as the data-packet
// writer does; gives the end of what it wrote.
char* putValue(char* p, std::string_view value, const ByteForms& forms) {
    std::size_t run = 0;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const auto b = static_cast<unsigned char>(value[i]);
        if (forms.plain[b]) continue;
        std::memcpy(p, value.data() + run, i - run);
        p += i - run;
        const std::string& form = forms.text[b];
        std::memcpy(p, form.data(), form.size());
        p += form.size();
        run = i + 1;
    }
    std::memcpy(p, value.data() + run, value.size() - run);
    return p + (value.size() - run);
}

// The most bytes one stored byte takes once escaped.
std::size_t widestForm(const ByteForms& forms) {
    std::size_t most = 1;
    for (const std::string& t : forms.text) most = std::max(most, t.size());
    return most;
}

template <std::size_t N> inline char* put(char* p, const char (&literal)[N]) {
    std::memcpy(p, literal, N - 1);
    return p + (N - 1);
}

inline char* put(char* p, const std::string& text) {
    std::memcpy(p, text.data(), text.size());
    return p + text.size();
}

// The file text, written straight from the grid: the same bytes the record
// table would write for these rows (the header of the skeleton, then per cell
// <ROW Tipo=".." Fundo=".." Tamanho=".." XO=".." Evento=".." Transparente=".."/>).
std::string buildMapText(const MapGrid& grid, const TransparencyLookup& transparent) {
    requireValidSize(grid);
    const ByteForms& forms = byteForms();
    static const std::string header = [] {
        std::string h = kMapSkeleton;
        return h.substr(0, h.find("</ROWDATA>"));
    }();

    // The transparency of a code is looked up once per save: the tiles table
    // does not change while the rows are built.
    std::array<signed char, 256> known;
    known.fill(-1);
    const int n = grid.N;
    const std::string size = std::to_string(n);

    // The rows are written into room reserved for the longest they can be:
    // the fixed text of a row, three one-byte values and the event, each byte
    // at its widest escaped form.
    static const std::size_t widest = widestForm(forms);
    std::size_t room = header.size() + 32;
    for (int r = 1; r <= n; ++r)
        for (int c = 1; c <= n; ++c) {
            const std::string& evento = grid.Evento[MapGrid::index(r, c)];
            room += 128 + size.size() + widest * (3 + std::max(evento.size(), format::kNoEvent.size()));
        }
    std::string out(room, '\0');
    char* p = put(out.data(), header);
    for (int r = 1; r <= n; ++r) {
        for (int c = 1; c <= n; ++c) {
            const std::size_t i = MapGrid::index(r, c);
            const unsigned char tipo = grid.Tipo[i];
            if (known[tipo] < 0) known[tipo] = transparent(tipo) ? 1 : 0;
            p = put(p, "<ROW Tipo=\"");
            p = put(p, forms.text[tipo]);
            p = put(p, "\" Fundo=\"");
            p = put(p, forms.text[grid.Fundo[i]]);
            p = put(p, "\" Tamanho=\"");
            p = put(p, size);
            p = put(p, "\" XO=\"");
            p = put(p, forms.text[grid.XO[i]]);
            p = put(p, "\" Evento=\"");
            const std::string& evento = grid.Evento[i];
            p = putValue(p, evento.empty() ? std::string_view(format::kNoEvent) : std::string_view(evento), forms);
            p = known[tipo] == 1 ? put(p, "\" Transparente=\"TRUE\"/>") : put(p, "\" Transparente=\"FALSE\"/>");
        }
    }
    p = put(p, "</ROWDATA></DATAPACKET>");
    out.resize(static_cast<std::size_t>(p - out.data()));
    return out;
}

}  // namespace

std::string mapFileText(const MapGrid& grid, const TransparencyLookup& transparent) {
    return buildMapText(grid, transparent);
}

void salvarEm(const MapGrid& grid, const QString& fullPath, const TransparencyLookup& transparent) {
    const std::string text = buildMapText(grid, transparent);
    // One atomic replacement of the whole file, even for a map without rows.
    writeFileAtomic(fullPath, QByteArray::fromRawData(text.data(), static_cast<qsizetype>(text.size())));
}

void Salvar(const MapGrid& grid, const QString& projectFolder, const TransparencyLookup& transparent) {
    const QString path = projectPath(projectFolder, "Mapas\\" + grid.CurrentMap);
    checkWriteInsideProject(projectFolder, path);
    salvarEm(grid, path, transparent);
}

}  // namespace quillmark
