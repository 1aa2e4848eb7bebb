#include "model/mapedit/TiledExchange.h"

#include "model/core/Error.h"
#include "model/core/Files.h"
#include "model/core/Format.h"
#include "model/core/Text.h"
#include "model/database/DataModule.h"
#include "model/database/TileCache.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>
#include <pugixml.hpp>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace quillmark::tiled {

namespace {

// Global tile ids carry flip and rotation in their four highest bits.
constexpr std::uint32_t kFlipBits = 0xF0000000u;

// --- writing -----------------------------------------------------------------------------

// Appends UTF-8 text as the value of an XML attribute. Line breaks and TABs
// are written as character references so that they survive in attributes;
// other control characters cannot be held by XML at all.
bool appendAttribute(std::string& out, std::string_view utf8) {
    for (const char ch : utf8) {
        switch (ch) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\n':
            out += "&#10;";
            break;
        case '\r':
            out += "&#13;";
            break;
        case '\t':
            out += "&#9;";
            break;
        default:
            if (static_cast<unsigned char>(ch) < 0x20) return false;
            out += ch;
        }
    }
    return true;
}

std::string cellName(int row, int column) {
    return "(linha " + std::to_string(row) + ", coluna " + std::to_string(column) + ")";
}

void appendLayer(std::string& out, const MapGrid& grid, const std::vector<unsigned char>& codes, int id,
                 const char* name) {
    const std::string n = std::to_string(grid.N);
    out += " <layer id=\"" + std::to_string(id) + "\" name=\"" + name + "\" width=\"" + n + "\" height=\"" + n +
           "\">\n  <data encoding=\"csv\">\n";
    for (int r = 1; r <= grid.N; ++r) {
        for (int c = 1; c <= grid.N; ++c) {
            const unsigned char code = codes[MapGrid::index(r, c)];
            if (code < kFirstCode || code >= kFirstCode + kTileCount)
                throw Error("A célula " + cellName(r, c) + " da camada \"" + name + "\" tem o código " +
                            std::to_string(code) + ", que nenhum tile do Tiled representa (códigos 48 a 191).");
            out += std::to_string(code - kFirstCode + 1);
            if (c < grid.N || r < grid.N) out += ',';
        }
        out += '\n';
    }
    out += "</data>\n </layer>\n";
}

void appendRect(std::string& out, int id, int row, int column) {
    out += "id=\"" + std::to_string(id) + "\" x=\"" + std::to_string((column - 1) * kTileSize) + "\" y=\"" +
           std::to_string((row - 1) * kTileSize) + "\" width=\"" + std::to_string(kTileSize) + "\" height=\"" +
           std::to_string(kTileSize) + "\"";
}

// --- reading -----------------------------------------------------------------------------

class Reader {
public:
    Reader(QString baseFolder, QString label) : base_(std::move(baseFolder)), label_(std::move(label)) {}

    MapGrid read(const QByteArray& bytes);

private:
    [[noreturn]] void fail(const std::string& what) const {
        throw Error("Não foi possível importar \"" + label_.toStdString() + "\": " + what);
    }

    static int intAttr(const pugi::xml_node& node, const char* name, int fallback) {
        const pugi::xml_attribute a = node.attribute(name);
        if (!a) return fallback;
        return format::toInteger(a.value()).value_or(-1);
    }
    static double realAttr(const pugi::xml_node& node, const char* name) {
        bool ok = false;
        const double v = QByteArray(node.attribute(name).value()).toDouble(&ok);
        return ok && std::isfinite(v) ? v : 0.0;
    }

    void readTilesets(const pugi::xml_node& map);
    void readTileLayer(const pugi::xml_node& layer, std::vector<std::uint32_t>& gids) const;
    std::vector<std::uint32_t> decodeData(const pugi::xml_node& data, const std::string& layerName) const;
    std::vector<std::uint32_t> inflateData(const QByteArray& packed, bool gzip, const std::string& layerName) const;
    unsigned char codeOf(std::uint32_t gid, const std::string& layerName, int index) const;
    std::pair<int, int> cellOf(const pugi::xml_node& object, const std::string& group) const;
    void collect(const pugi::xml_node& parent);

    QString base_;
    QString label_;
    int n_ = 0;
    std::uint32_t firstGid_ = 0;
    bool haveTileset_ = false;
    std::vector<pugi::xml_node> tileLayers_;
    std::vector<pugi::xml_node> groupsXO_;
    std::vector<pugi::xml_node> groupsEventos_;
};

std::string xmlPosition(const QByteArray& bytes, std::ptrdiff_t offset) {
    int line = 1;
    int column = 1;
    const std::ptrdiff_t end = std::min<std::ptrdiff_t>(offset, bytes.size());
    for (std::ptrdiff_t i = 0; i < end; ++i) {
        if (bytes.at(static_cast<qsizetype>(i)) == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    return "linha " + std::to_string(line) + ", coluna " + std::to_string(column);
}

void Reader::readTilesets(const pugi::xml_node& map) {
    for (const pugi::xml_node ts : map.children("tileset")) {
        if (haveTileset_)
            fail("o mapa usa mais de um conjunto de tiles; só o conjunto \"Quillmark\" pode ser importado.");
        const long long first = QByteArray(ts.attribute("firstgid").value()).toLongLong();
        if (first < 1 || first > 0x0FFFFFFF) fail("o conjunto de tiles tem um \"firstgid\" inválido.");
        firstGid_ = static_cast<std::uint32_t>(first);
        pugi::xml_document tsx;
        pugi::xml_node tileset = ts;
        const QString source = QString::fromUtf8(ts.attribute("source").value());
        std::string where = "embutido no mapa";
        if (!source.isEmpty()) {
            const QString path = QDir(base_).absoluteFilePath(source);
            where = "\"" + source.toStdString() + "\"";
            if (!QFileInfo(path).isFile()) fail("o conjunto de tiles " + where + " não foi encontrado.");
            QByteArray text;
            try {
                text = readFile(path);
            } catch (const Error& e) {
                fail(e.what());
            }
            const pugi::xml_parse_result r = tsx.load_buffer(text.constData(), static_cast<size_t>(text.size()));
            if (!r)
                fail("o conjunto de tiles " + where + " não é um arquivo TSX válido (" + r.description() + ", " +
                     xmlPosition(text, r.offset) + ").");
            tileset = tsx.child("tileset");
            if (!tileset) fail("o arquivo " + where + " não é um conjunto de tiles do Tiled.");
        }
        if (std::string_view(tileset.attribute("name").value()) != kTilesetName)
            fail("o conjunto de tiles " + where + " (\"" + tileset.attribute("name").value() +
                 "\") é desconhecido; use o conjunto \"Quillmark\" exportado pelo editor.");
        if (intAttr(tileset, "tilewidth", kTileSize) != kTileSize ||
            intAttr(tileset, "tileheight", kTileSize) != kTileSize)
            fail("o conjunto de tiles " + where + " não tem tiles de 40 x 40 pixels.");
        haveTileset_ = true;
    }
}

void Reader::collect(const pugi::xml_node& parent) {
    for (const pugi::xml_node child : parent.children()) {
        const std::string_view kind = child.name();
        const std::string name = child.attribute("name").value();
        if (kind == "layer") {
            tileLayers_.push_back(child);
        } else if (kind == "objectgroup") {
            if (equalsIgnoreCase(name, kLayerXO)) groupsXO_.push_back(child);
            if (equalsIgnoreCase(name, kLayerEventos)) groupsEventos_.push_back(child);
        } else if (kind == "group") {
            collect(child);
        }
    }
}

std::vector<std::uint32_t> Reader::inflateData(const QByteArray& packed, bool gzip,
                                               const std::string& layerName) const {
    const std::size_t expected = static_cast<std::size_t>(n_) * static_cast<std::size_t>(n_) * 4;
    std::vector<unsigned char> out(expected + 1);
    z_stream z{};
    if (inflateInit2(&z, gzip ? 15 + 16 : 15) != Z_OK) fail("não foi possível descompactar os dados.");
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.constData()));
    z.avail_in = static_cast<uInt>(packed.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    const int status = inflate(&z, Z_FINISH);
    const std::size_t produced = out.size() - z.avail_out;
    inflateEnd(&z);
    const std::string what = std::string("os dados ") + (gzip ? "gzip" : "zlib") + " da camada \"" + layerName + "\"";
    if (status == Z_DATA_ERROR || status == Z_NEED_DICT || status == Z_MEM_ERROR) fail(what + " estão corrompidos.");
    if (status != Z_STREAM_END) {
        if (produced > expected) fail(what + " têm mais células que o mapa.");
        fail(what + " estão incompletos (arquivo truncado?).");
    }
    if (produced != expected) fail(what + " não têm uma célula para cada posição do mapa.");
    std::vector<std::uint32_t> gids(expected / 4);
    for (std::size_t i = 0; i < gids.size(); ++i)
        gids[i] = static_cast<std::uint32_t>(out[4 * i]) | static_cast<std::uint32_t>(out[4 * i + 1]) << 8 |
                  static_cast<std::uint32_t>(out[4 * i + 2]) << 16 | static_cast<std::uint32_t>(out[4 * i + 3]) << 24;
    return gids;
}

std::vector<std::uint32_t> Reader::decodeData(const pugi::xml_node& data, const std::string& layerName) const {
    const std::string layer = "a camada \"" + layerName + "\"";
    if (!data) fail(layer + " não tem dados.");
    if (data.child("chunk")) fail(layer + " está em blocos de mapa infinito.");
    const std::string_view encoding = data.attribute("encoding").value();
    const std::string_view compression = data.attribute("compression").value();
    const std::size_t cells = static_cast<std::size_t>(n_) * static_cast<std::size_t>(n_);
    std::vector<std::uint32_t> gids;
    gids.reserve(cells);

    if (encoding.empty()) {
        // The oldest form: one <tile gid="…"/> per cell.
        for (const pugi::xml_node tile : data.children("tile")) {
            const long long gid = QByteArray(tile.attribute("gid").value()).toLongLong();
            if (gid < 0 || gid > 0xFFFFFFFFll) fail(layer + " tem um tile inválido.");
            gids.push_back(static_cast<std::uint32_t>(gid));
        }
    } else if (encoding == "csv") {
        if (!compression.empty()) fail(layer + " usa uma compressão que o CSV não admite.");
        const std::string_view text = data.child_value();
        std::uint64_t value = 0;
        bool inNumber = false;
        bool expectNumber = true;
        for (const char ch : text) {
            if (ch >= '0' && ch <= '9') {
                if (!expectNumber && !inNumber) fail("os dados CSV de " + layer + " estão malformados.");
                value = value * 10 + static_cast<std::uint64_t>(ch - '0');
                if (value > 0xFFFFFFFFull) fail("os dados CSV de " + layer + " têm um número grande demais.");
                inNumber = true;
            } else if (ch == ',') {
                if (!inNumber) fail("os dados CSV de " + layer + " estão malformados.");
                gids.push_back(static_cast<std::uint32_t>(value));
                value = 0;
                inNumber = false;
                expectNumber = true;
            } else if (ch == ' ' || ch == '\n' || ch == '\r' || ch == '\t') {
                if (inNumber) expectNumber = false;
            } else {
                fail("os dados CSV de " + layer + " têm o caractere inválido '" + std::string(1, ch) + "'.");
            }
        }
        if (inNumber)
            gids.push_back(static_cast<std::uint32_t>(value));
        else if (!gids.empty())
            fail("os dados CSV de " + layer + " terminam numa vírgula (arquivo truncado?).");
    } else if (encoding == "base64") {
        QByteArray text(data.child_value());
        text.replace(' ', "").replace('\n', "").replace('\r', "").replace('\t', "");
        const auto decoded = QByteArray::fromBase64Encoding(text, QByteArray::AbortOnBase64DecodingErrors);
        if (!decoded) fail("os dados base64 de " + layer + " estão corrompidos.");
        const QByteArray& bytes = *decoded;
        if (compression == "zlib" || compression == "gzip") return inflateData(bytes, compression == "gzip", layerName);
        if (!compression.empty())
            fail(layer + " usa a compressão \"" + std::string(compression) +
                 "\"; salve o mapa no Tiled com CSV, base64, zlib ou gzip.");
        if (static_cast<std::size_t>(bytes.size()) != cells * 4)
            fail("os dados base64 de " + layer + " não têm uma célula para cada posição do mapa (arquivo truncado?).");
        for (std::size_t i = 0; i < cells; ++i) {
            const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData()) + 4 * i;
            gids.push_back(static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
                           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24);
        }
    } else {
        fail(layer + " usa a codificação desconhecida \"" + std::string(encoding) + "\".");
    }
    if (gids.size() != cells)
        fail(layer + " tem " + std::to_string(gids.size()) + " células em vez de " + std::to_string(cells) +
             " (arquivo truncado?).");
    return gids;
}

void Reader::readTileLayer(const pugi::xml_node& layer, std::vector<std::uint32_t>& gids) const {
    const std::string name = layer.attribute("name").value();
    if (intAttr(layer, "width", n_) != n_ || intAttr(layer, "height", n_) != n_)
        fail("a camada \"" + name + "\" não tem o tamanho do mapa.");
    gids = decodeData(layer.child("data"), name);
}

unsigned char Reader::codeOf(std::uint32_t gid, const std::string& layerName, int index) const {
    const int row = index / n_ + 1;
    const int column = index % n_ + 1;
    const std::string where = "a célula " + cellName(row, column) + " da camada \"" + layerName + "\"";
    if (gid & kFlipBits) fail(where + " tem um tile girado ou espelhado, que o mapa não guarda.");
    if (!haveTileset_ || gid < firstGid_ || gid - firstGid_ >= static_cast<std::uint32_t>(kTileCount))
        fail(where + " usa o tile " + std::to_string(gid) + ", que não existe no conjunto \"Quillmark\".");
    return static_cast<unsigned char>(kFirstCode + (gid - firstGid_));
}

std::pair<int, int> Reader::cellOf(const pugi::xml_node& object, const std::string& group) const {
    const double x = realAttr(object, "x");
    double y = realAttr(object, "y");
    const double w = realAttr(object, "width");
    const double h = realAttr(object, "height");
    if (object.attribute("gid")) y -= h;  // a tile object stands on its bottom edge
    const int column = static_cast<int>(std::floor((x + w / 2) / kTileSize)) + 1;
    const int row = static_cast<int>(std::floor((y + h / 2) / kTileSize)) + 1;
    if (row < 1 || row > n_ || column < 1 || column > n_)
        fail("o objeto " + std::string(object.attribute("id").value()) + " da camada \"" + group +
             "\" está fora do mapa.");
    return {row, column};
}

// The value of a named property: the attribute, or the text of a property
// with several lines.
std::optional<std::string> propertyOf(const pugi::xml_node& object, const char* name) {
    for (const pugi::xml_node p : object.child("properties").children("property")) {
        if (std::string_view(p.attribute("name").value()) != name) continue;
        if (p.attribute("value")) return std::string(p.attribute("value").value());
        return std::string(p.child_value());
    }
    return std::nullopt;
}

MapGrid Reader::read(const QByteArray& bytes) {
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed = doc.load_buffer(bytes.constData(), static_cast<size_t>(bytes.size()),
                                                          pugi::parse_default | pugi::parse_ws_pcdata_single);
    if (!parsed)
        fail(std::string("o arquivo não é um mapa TMX válido (") + parsed.description() + ", " +
             xmlPosition(bytes, parsed.offset) + ").");
    const pugi::xml_node map = doc.child("map");
    if (!map) fail("o arquivo não é um mapa do Tiled (TMX).");

    const std::string orientation = map.attribute("orientation").value();
    if (!orientation.empty() && orientation != "orthogonal")
        fail("o mapa é \"" + orientation + "\"; só mapas ortogonais podem ser importados.");
    if (std::string_view(map.attribute("infinite").value()) == "1")
        fail("o mapa é infinito; defina no Tiled um tamanho fixo.");
    const int tw = intAttr(map, "tilewidth", -1);
    const int th = intAttr(map, "tileheight", -1);
    if (tw != kTileSize || th != kTileSize)
        fail("os tiles do mapa têm " + std::to_string(tw) + " x " + std::to_string(th) +
             " pixels; o editor usa tiles de 40 x 40.");
    const int width = intAttr(map, "width", -1);
    const int height = intAttr(map, "height", -1);
    if (width != height)
        fail("o mapa tem " + std::to_string(width) + " x " + std::to_string(height) +
             " células; só mapas quadrados podem ser importados.");
    if (width < 1 || width > MapGrid::kCapacity)
        fail("o mapa tem " + std::to_string(width) + " células de lado; o editor aceita de 1 a 100.");
    n_ = width;

    readTilesets(map);
    collect(map);

    // The layers by name; a map drawn from scratch in Tiled has them by
    // position instead: the bottom one is the background, the next the upper layer.
    const pugi::xml_node* fundo = nullptr;
    const pugi::xml_node* tipo = nullptr;
    for (const pugi::xml_node& l : tileLayers_) {
        const std::string name = l.attribute("name").value();
        if (equalsIgnoreCase(name, kLayerFundo) && !fundo)
            fundo = &l;
        else if (equalsIgnoreCase(name, kLayerTipo) && !tipo)
            tipo = &l;
    }
    if (!fundo && !tipo) {
        if (tileLayers_.size() > 2)
            fail("o mapa tem " + std::to_string(tileLayers_.size()) +
                 " camadas de tiles; o editor guarda duas: \"Fundo\" e \"Tipo\".");
        if (!tileLayers_.empty()) fundo = &tileLayers_[0];
        if (tileLayers_.size() > 1) tipo = &tileLayers_[1];
    }
    for (const pugi::xml_node& l : tileLayers_)
        if (&l != fundo && &l != tipo)
            fail("a camada de tiles \"" + std::string(l.attribute("name").value()) +
                 "\" não corresponde a nenhuma camada do editor (\"Fundo\" ou \"Tipo\").");

    MapGrid grid;
    grid.newGrid(n_);
    const int cells = n_ * n_;
    std::vector<std::uint32_t> fundoGids;
    std::vector<std::uint32_t> tipoGids;
    if (fundo) readTileLayer(*fundo, fundoGids);
    if (tipo) readTileLayer(*tipo, tipoGids);
    for (int i = 0; i < cells; ++i) {
        const std::size_t at = MapGrid::index(i / n_ + 1, i % n_ + 1);
        if (fundo && fundoGids[static_cast<std::size_t>(i)] != 0)
            grid.Fundo[at] = codeOf(fundoGids[static_cast<std::size_t>(i)], fundo->attribute("name").value(), i);
        // An empty upper cell shows the background alone: the same code above.
        if (tipo && tipoGids[static_cast<std::size_t>(i)] != 0)
            grid.Tipo[at] = codeOf(tipoGids[static_cast<std::size_t>(i)], tipo->attribute("name").value(), i);
        else
            grid.Tipo[at] = grid.Fundo[at];
    }

    for (const pugi::xml_node& group : groupsXO_) {
        const std::string groupName = group.attribute("name").value();
        for (const pugi::xml_node object : group.children("object")) {
            const auto [row, column] = cellOf(object, groupName);
            std::string mark;
            if (!utf8ToCp1252(object.attribute("name").value(), &mark)) mark.clear();
            grid.setXO(row, column, mark.size() == 1 && mark[0] != '?' ? static_cast<unsigned char>(mark[0]) : 'X');
        }
    }

    std::vector<bool> taken(static_cast<std::size_t>(MapGrid::kCells), false);
    for (const pugi::xml_node& group : groupsEventos_) {
        const std::string groupName = group.attribute("name").value();
        for (const pugi::xml_node object : group.children("object")) {
            const std::optional<std::string> text = propertyOf(object, kEventProperty);
            if (!text) continue;  // an object of the user's own, not an event
            const auto [row, column] = cellOf(object, groupName);
            const std::size_t at = MapGrid::index(row, column);
            if (taken[at]) fail("a célula " + cellName(row, column) + " tem dois eventos.");
            taken[at] = true;
            const QString utf16 = QString::fromUtf8(*text);
            if (!isCp1252(utf16))
                fail("o evento da célula " + cellName(row, column) +
                     " tem caracteres que o projeto (Windows-1252) não guarda.");
            grid.Evento[at] = toCp1252(utf16);
        }
    }
    return grid;
}

}  // namespace

// --- the tileset's pictures --------------------------------------------------------------

TileImages tileImagesOf(TDataModule1& data, const TileCache& cache) {
    TileImages images;
    for (int i = 0; i < kTileCount; ++i)
        images[static_cast<std::size_t>(i)] =
            cache.PegaImg(data, static_cast<unsigned char>(kFirstCode + i)).drawImage();
    return images;
}

QImage tilesetSheet(const TileImages& tiles) {
    const int rows = (kTileCount + kSheetColumns - 1) / kSheetColumns;
    QImage sheet(kSheetColumns * kTileSize, rows * kTileSize, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(Qt::transparent);
    QPainter painter(&sheet);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (int i = 0; i < kTileCount; ++i) {
        const QRect cell((i % kSheetColumns) * kTileSize, (i / kSheetColumns) * kTileSize, kTileSize, kTileSize);
        painter.setClipRect(cell);
        const QImage& tile = tiles[static_cast<std::size_t>(i)];
        if (!tile.isNull()) painter.drawImage(cell.topLeft(), tile);
    }
    painter.end();
    return sheet;
}

// --- writing -------------------------------------------------------------------------------

std::string tmxText(const MapGrid& grid, const std::string& tilesetSource) {
    if (grid.N < 1 || grid.N > MapGrid::kCapacity)
        throw Error("Não há mapa para exportar: o mapa tem " + std::to_string(grid.N) + " células de lado.");
    const std::string n = std::to_string(grid.N);

    // The marks and the events first: their count gives nextobjectid.
    std::string marks;
    std::string events;
    int nextObject = 1;
    for (int r = 1; r <= grid.N; ++r) {
        for (int c = 1; c <= grid.N; ++c) {
            const std::size_t i = MapGrid::index(r, c);
            if (grid.XO[i] == 'O') continue;
            marks += "  <object ";
            appendRect(marks, nextObject++, r, c);
            // An 'X' is any mark without a name; another mark keeps its character.
            if (grid.XO[i] != 'X') {
                marks += " name=\"";
                appendAttribute(marks, cp1252ToUtf8(std::string(1, static_cast<char>(grid.XO[i]))));
                marks += "\"";
            }
            marks += "/>\n";
        }
    }
    for (int r = 1; r <= grid.N; ++r) {
        for (int c = 1; c <= grid.N; ++c) {
            const std::string& text = grid.Evento[MapGrid::index(r, c)];
            if (!MapGrid::hasEvent(text)) continue;
            const char* kind = format::isAddChar(text) ? "Personagem" : "Evento";
            events += "  <object ";
            appendRect(events, nextObject++, r, c);
            events += std::string(" name=\"") + kind + "\" type=\"" + kind +
                      "\">\n   <properties>\n    <property name=\"" + kEventProperty + "\" value=\"";
            if (!appendAttribute(events, cp1252ToUtf8(text)))
                throw Error("O evento da célula " + cellName(r, c) +
                            " tem caracteres de controle, que um arquivo TMX não pode guardar.");
            events += "\"/>\n   </properties>\n  </object>\n";
        }
    }

    std::string out;
    out.reserve(static_cast<std::size_t>(grid.N) * static_cast<std::size_t>(grid.N) * 9 + marks.size() + events.size() +
                1024);
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out +=
        "<map version=\"1.8\" tiledversion=\"1.8.2\" orientation=\"orthogonal\" renderorder=\"right-down\" width=\"" +
        n + "\" height=\"" + n + "\" tilewidth=\"40\" tileheight=\"40\" infinite=\"0\" nextlayerid=\"5\" " +
        "nextobjectid=\"" + std::to_string(nextObject) + "\">\n";
    out += " <tileset firstgid=\"1\" source=\"";
    appendAttribute(out, tilesetSource);
    out += "\"/>\n";
    appendLayer(out, grid, grid.Fundo, 1, kLayerFundo);
    appendLayer(out, grid, grid.Tipo, 2, kLayerTipo);
    out += std::string(" <objectgroup id=\"3\" name=\"") + kLayerXO + "\" color=\"#ff3030\" opacity=\"0.6\"";
    out += marks.empty() ? "/>\n" : ">\n" + marks + " </objectgroup>\n";
    out += std::string(" <objectgroup id=\"4\" name=\"") + kLayerEventos + "\" color=\"#ffd700\"";
    out += events.empty() ? "/>\n" : ">\n" + events + " </objectgroup>\n";
    out += "</map>\n";
    return out;
}

std::string tsxText(const std::string& sheetSource) {
    const int rows = (kTileCount + kSheetColumns - 1) / kSheetColumns;
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out += std::string("<tileset version=\"1.8\" tiledversion=\"1.8.2\" name=\"") + kTilesetName +
           "\" tilewidth=\"40\" tileheight=\"40\" tilecount=\"" + std::to_string(kTileCount) + "\" columns=\"" +
           std::to_string(kSheetColumns) + "\">\n";
    out += " <image source=\"";
    appendAttribute(out, sheetSource);
    out += "\" width=\"" + std::to_string(kSheetColumns * kTileSize) + "\" height=\"" +
           std::to_string(rows * kTileSize) + "\"/>\n</tileset>\n";
    return out;
}

void exportMap(const MapGrid& grid, const TileImages& tiles, const QString& tmxPath) {
    const QFileInfo info(tmxPath);
    const std::string tmx = tmxText(grid, kTilesetFile);  // refuses a map it cannot hold before writing anything
    const QString folder = info.absolutePath() + '/';
    QBuffer png;
    png.open(QIODevice::WriteOnly);
    QImageWriter writer(&png, "png");
    writer.setQuality(90);  // light compression: quick to write, the sheet is small anyway
    if (!writer.write(tilesetSheet(tiles))) throw Error("Não foi possível gerar a imagem do conjunto de tiles.");
    // the files written beside the map never follow a link out of its folder
    for (const QString& target : {folder + kTilesetSheet, folder + kTilesetFile, info.absoluteFilePath()})
        checkWriteInsideProject(folder, target);
    writeFileAtomic(folder + kTilesetSheet, png.data());
    writeFileAtomic(folder + kTilesetFile, QByteArray::fromStdString(tsxText(kTilesetSheet)));
    writeFileAtomic(info.absoluteFilePath(), QByteArray::fromStdString(tmx));
}

// --- reading -------------------------------------------------------------------------------

MapGrid readTmx(const QByteArray& bytes, const QString& baseFolder, const QString& fileLabel) {
    Reader reader(baseFolder, fileLabel);
    return reader.read(bytes);
}

MapGrid readTmxFile(const QString& path) {
    const QFileInfo info(path);
    return readTmx(readFile(path), info.absolutePath(), QDir::toNativeSeparators(info.fileName()));
}

}  // namespace quillmark::tiled
