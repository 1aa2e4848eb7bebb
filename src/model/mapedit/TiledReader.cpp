// Reading TMX maps written by Tiled (see TiledExchange.h for the rules).
#include "model/core/Error.h"
#include "model/core/Format.h"
#include "model/core/Text.h"
#include "model/mapedit/TiledExchange.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <pugixml.hpp>
#include <zlib.h>
#include <zstd.h>
#include <zstd_errors.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace quillmark::tiled {

namespace {

// Global tile ids carry flip and rotation in their four highest bits.
constexpr std::uint32_t kFlipBits = 0xF0000000u;
// Object coordinates beyond this many pixels lie far outside any map.
constexpr double kMaxCoordinate = 1.0e7;

std::string cellName(int row, int column) {
    return "(linha " + std::to_string(row) + ", coluna " + std::to_string(column) + ")";
}

std::string quoted(const std::string& s) { return "\"" + s + "\""; }

// Where a parser stopped, as a person counts: line and column, from 1.
std::string xmlPosition(const QByteArray& bytes, std::ptrdiff_t offset) {
    std::int64_t line = 1;
    std::int64_t column = 1;
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

// True for a control character that no text of ours may hold (TAB and line
// breaks may).
bool hasControl(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char ch) {
        const auto u = static_cast<unsigned char>(ch);
        return (u < 0x20 && ch != '\t' && ch != '\r' && ch != '\n') || u == 0x7F;
    });
}

struct Tileset {
    std::uint32_t firstGid = 0;
    std::string name;
    bool ours = false;
};

// A layer as the walk found it: its node, the offset of its groups and its
// own in whole cells, and whether it or a group around it is hidden.
struct Placed {
    pugi::xml_node node;
    int dx = 0;
    int dy = 0;
    bool hidden = false;
};

class Reader {
public:
    Reader(QString baseFolder, QString label, const ImportOptions& options, ImportNotes& notes)
        : base_(std::move(baseFolder)), label_(std::move(label)), options_(options), notes_(notes) {}

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
    double realAttr(const pugi::xml_node& object, const char* name, const std::string& group) const;
    std::string objectName(const pugi::xml_node& object, const std::string& group) const {
        return "o objeto " + std::string(object.attribute("id").value()) + " da camada " + quoted(group);
    }

    void readTilesets(const pugi::xml_node& map);
    void walk(const pugi::xml_node& map);
    int offsetOf(const pugi::xml_node& node, const char* name, int inherited) const;
    std::vector<std::uint32_t> decodeData(const pugi::xml_node& data, const std::string& layerName) const;
    std::vector<std::uint32_t> inflateData(const QByteArray& packed, std::string_view compression,
                                           const std::string& layerName) const;
    std::vector<std::uint32_t> readTileLayer(const Placed& layer) const;
    unsigned char codeOf(std::uint32_t gid, const std::string& layerName, int row, int column) const;
    std::pair<int, int> cellOf(const pugi::xml_node& object, const Placed& group) const;
    std::vector<std::pair<int, int>> cellsCovered(const pugi::xml_node& object, const Placed& group) const;
    unsigned char markOf(const pugi::xml_node& object, const std::string& group, int row, int column) const;

    QString base_;
    QString label_;
    const ImportOptions& options_;
    ImportNotes& notes_;
    int n_ = 0;
    std::vector<Tileset> tilesets_;
    std::vector<Placed> tileLayers_;
    std::vector<Placed> groupsXO_;
    std::vector<Placed> groupsEventos_;
};

double Reader::realAttr(const pugi::xml_node& object, const char* name, const std::string& group) const {
    const pugi::xml_attribute a = object.attribute(name);
    if (!a) return 0.0;
    bool ok = false;
    const double v = QByteArray(a.value()).trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v) || std::fabs(v) > kMaxCoordinate)
        fail(objectName(object, group) + " tem " + name + "=\"" + a.value() + "\", que não é uma posição válida.");
    return v;
}

void Reader::readTilesets(const pugi::xml_node& map) {
    for (const pugi::xml_node ts : map.children("tileset")) {
        const long long first = QByteArray(ts.attribute("firstgid").value()).toLongLong();
        if (first < 1 || first > 0x0FFFFFFF) fail("o conjunto de tiles tem um \"firstgid\" inválido.");
        pugi::xml_document tsx;
        pugi::xml_node tileset = ts;
        const QString source = QString::fromUtf8(ts.attribute("source").value());
        std::string where = "embutido no mapa";
        if (!source.isEmpty()) {
            const QString path = QDir(base_).absoluteFilePath(source);
            where = quoted(source.toStdString());
            if (!QFileInfo::exists(path)) fail("o conjunto de tiles " + where + " não foi encontrado.");
            QByteArray text;
            try {
                text = readLimitedFile(path, source.toStdString());
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
        Tileset t;
        t.firstGid = static_cast<std::uint32_t>(first);
        t.name = tileset.attribute("name").value();
        t.ours = t.name == kTilesetName;
        if (t.ours && (intAttr(tileset, "tilewidth", kTileSize) != kTileSize ||
                       intAttr(tileset, "tileheight", kTileSize) != kTileSize))
            fail("o conjunto de tiles " + where + " não tem tiles de 40 x 40 pixels.");
        tilesets_.push_back(std::move(t));
    }
    std::sort(tilesets_.begin(), tilesets_.end(),
              [](const Tileset& a, const Tileset& b) { return a.firstGid < b.firstGid; });
}

int Reader::offsetOf(const pugi::xml_node& node, const char* name, int inherited) const {
    const pugi::xml_attribute a = node.attribute(name);
    if (!a) return inherited;
    bool ok = false;
    const double v = QByteArray(a.value()).trimmed().toDouble(&ok);
    const std::string layer = "a camada " + quoted(node.attribute("name").value());
    if (!ok || !std::isfinite(v) || std::fabs(v) > kMaxCoordinate || std::fmod(v, kTileSize) != 0.0)
        fail(layer + " está deslocada (" + name + "=\"" + a.value() +
             "\") por uma distância que não é um número inteiro de células de 40 pixels.");
    return inherited + static_cast<int>(v / kTileSize);
}

// The layers in the order Tiled draws them (bottom first), groups opened
// without recursion so that no nesting can exhaust the stack.
void Reader::walk(const pugi::xml_node& map) {
    struct Open {
        pugi::xml_node node;  // the next child to visit
        int dx, dy, depth;
        bool hidden;
    };
    std::vector<Open> stack{{map.first_child(), 0, 0, 0, false}};
    while (!stack.empty()) {
        Open& top = stack.back();
        const pugi::xml_node child = top.node;
        if (!child) {
            stack.pop_back();
            continue;
        }
        top.node = child.next_sibling();
        const Open here = top;
        const std::string_view kind = child.name();
        const std::string name = child.attribute("name").value();
        if (kind != "layer" && kind != "objectgroup" && kind != "group" && kind != "imagelayer") continue;
        Placed placed{child, offsetOf(child, "offsetx", here.dx), offsetOf(child, "offsety", here.dy),
                      here.hidden || std::string_view(child.attribute("visible").value()) == "0"};
        if (placed.hidden && !here.hidden && kind != "group") notes_.hiddenLayers.push_back(name);
        if (kind == "layer") {
            tileLayers_.push_back(placed);
        } else if (kind == "objectgroup") {
            if (equalsIgnoreCase(name, kLayerXO))
                groupsXO_.push_back(placed);
            else if (equalsIgnoreCase(name, kLayerEventos))
                groupsEventos_.push_back(placed);
            else
                notes_.dropped.push_back("a camada de objetos " + quoted(name));
        } else if (kind == "imagelayer") {
            notes_.dropped.push_back("a camada de imagem " + quoted(name));
        } else {
            if (placed.hidden && !here.hidden) notes_.hiddenLayers.push_back(name);
            if (here.depth + 1 > kMaxGroupDepth)
                fail("os grupos de camadas estão aninhados em mais de " + std::to_string(kMaxGroupDepth) +
                     " níveis (grupo " + quoted(name) + ").");
            stack.push_back({child.first_child(), placed.dx, placed.dy, here.depth + 1, placed.hidden});
        }
    }
}

std::vector<std::uint32_t> Reader::inflateData(const QByteArray& packed, std::string_view compression,
                                               const std::string& layerName) const {
    const std::size_t expected = static_cast<std::size_t>(n_) * static_cast<std::size_t>(n_) * 4;
    std::vector<unsigned char> out(expected + 1);
    const std::string what = "os dados " + std::string(compression) + " da camada " + quoted(layerName);
    std::size_t produced = 0;
    if (compression == "zstd") {
        const std::size_t r = ZSTD_decompress(out.data(), out.size(), packed.constData(), packed.size());
        if (ZSTD_isError(r)) {
            if (ZSTD_getErrorCode(r) == ZSTD_error_dstSize_tooSmall) fail(what + " têm mais células que o mapa.");
            if (ZSTD_getErrorCode(r) == ZSTD_error_srcSize_wrong)
                fail(what + " estão incompletos (arquivo truncado?).");
            fail(what + " estão corrompidos.");
        }
        produced = r;
    } else {
        const bool gzip = compression == "gzip";
        z_stream z{};
        if (inflateInit2(&z, gzip ? 15 + 16 : 15) != Z_OK) fail("não foi possível descompactar os dados.");
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.constData()));
        z.avail_in = static_cast<uInt>(packed.size());
        z.next_out = out.data();
        z.avail_out = static_cast<uInt>(out.size());
        const int status = inflate(&z, Z_FINISH);
        produced = out.size() - z.avail_out;
        inflateEnd(&z);
        if (status == Z_DATA_ERROR || status == Z_NEED_DICT || status == Z_MEM_ERROR)
            fail(what + " estão corrompidos.");
        if (status != Z_STREAM_END) {
            if (produced > expected) fail(what + " têm mais células que o mapa.");
            fail(what + " estão incompletos (arquivo truncado?).");
        }
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
        if (compression == "zlib" || compression == "gzip" || compression == "zstd")
            return inflateData(bytes, compression, layerName);
        if (!compression.empty())
            fail(layer + " usa a compressão \"" + std::string(compression) +
                 "\"; salve o mapa no Tiled com CSV, base64, zlib, gzip ou zstd.");
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

std::vector<std::uint32_t> Reader::readTileLayer(const Placed& layer) const {
    const std::string name = layer.node.attribute("name").value();
    if (intAttr(layer.node, "width", n_) != n_ || intAttr(layer.node, "height", n_) != n_)
        fail("a camada " + quoted(name) + " não tem o tamanho do mapa.");
    const std::vector<std::uint32_t> gids = decodeData(layer.node.child("data"), name);
    if (layer.dx == 0 && layer.dy == 0) return gids;
    // A layer shifted by whole cells: each tile moves with it, and none may
    // leave the map.
    std::vector<std::uint32_t> moved(gids.size(), 0);
    for (int i = 0; i < n_ * n_; ++i) {
        const std::uint32_t gid = gids[static_cast<std::size_t>(i)];
        if (gid == 0) continue;
        const int row = i / n_ + layer.dy;
        const int column = i % n_ + layer.dx;
        if (row < 0 || row >= n_ || column < 0 || column >= n_)
            fail("a camada " + quoted(name) + " está deslocada e o tile da célula " + cellName(i / n_ + 1, i % n_ + 1) +
                 " fica fora do mapa.");
        moved[static_cast<std::size_t>(row * n_ + column)] = gid;
    }
    return moved;
}

unsigned char Reader::codeOf(std::uint32_t gid, const std::string& layerName, int row, int column) const {
    const std::string where = "a célula " + cellName(row, column) + " da camada " + quoted(layerName);
    if (gid & kFlipBits) fail(where + " tem um tile girado ou espelhado, que o mapa não guarda.");
    // The tileset of a tile is the one with the largest first id not above it.
    const Tileset* owner = nullptr;
    for (const Tileset& t : tilesets_)
        if (t.firstGid <= gid) owner = &t;
    if (owner && !owner->ours)
        fail(where + " usa um tile do conjunto " + quoted(owner->name) +
             "; só o conjunto \"Quillmark\" exportado pelo editor pode ser importado.");
    if (!owner || gid - owner->firstGid >= static_cast<std::uint32_t>(kTileCount))
        fail(where + " usa o tile " + std::to_string(gid) + ", que não existe no conjunto \"Quillmark\".");
    return static_cast<unsigned char>(kFirstCode + (gid - owner->firstGid));
}

// The cell under an object's centre; an event sits on one cell.
std::pair<int, int> Reader::cellOf(const pugi::xml_node& object, const Placed& group) const {
    const std::string groupName = group.node.attribute("name").value();
    const double x = realAttr(object, "x", groupName) + group.dx * kTileSize;
    double y = realAttr(object, "y", groupName) + group.dy * kTileSize;
    const double w = realAttr(object, "width", groupName);
    const double h = realAttr(object, "height", groupName);
    if (object.attribute("gid")) y -= h;  // a tile object stands on its bottom edge
    const int column = static_cast<int>(std::floor((x + w / 2) / kTileSize)) + 1;
    const int row = static_cast<int>(std::floor((y + h / 2) / kTileSize)) + 1;
    if (row < 1 || row > n_ || column < 1 || column > n_) fail(objectName(object, groupName) + " está fora do mapa.");
    return {row, column};
}

// The cells whose centres lie inside an "XO" object's shape.
std::vector<std::pair<int, int>> Reader::cellsCovered(const pugi::xml_node& object, const Placed& group) const {
    const std::string groupName = group.node.attribute("name").value();
    const std::string what = objectName(object, groupName);
    if (object.attribute("rotation") && realAttr(object, "rotation", groupName) != 0.0)
        fail(what + " está girado; desfaça a rotação no Tiled.");
    if (object.child("polyline")) fail(what + " é uma linha, que não cobre células; use um retângulo ou polígono.");
    const double x = realAttr(object, "x", groupName) + group.dx * kTileSize;
    double y = realAttr(object, "y", groupName) + group.dy * kTileSize;
    const double w = realAttr(object, "width", groupName);
    const double h = realAttr(object, "height", groupName);
    if (object.attribute("gid")) y -= h;

    std::function<bool(double, double)> inside;
    double left = x, top = y, right = x + w, bottom = y + h;
    std::vector<std::pair<double, double>> polygon;
    if (const pugi::xml_node poly = object.child("polygon")) {
        const QList<QByteArray> points = QByteArray(poly.attribute("points").value()).simplified().split(' ');
        for (const QByteArray& p : points) {
            const QList<QByteArray> xy = p.split(',');
            bool okX = false, okY = false;
            const double px = xy.size() == 2 ? xy[0].toDouble(&okX) : 0.0;
            const double py = xy.size() == 2 ? xy[1].toDouble(&okY) : 0.0;
            if (!okX || !okY || !std::isfinite(px) || !std::isfinite(py) || std::fabs(px) > kMaxCoordinate ||
                std::fabs(py) > kMaxCoordinate)
                fail(what + " tem um polígono com pontos inválidos.");
            polygon.emplace_back(x + px, y + py);
        }
        if (polygon.size() < 3) fail(what + " tem um polígono com menos de três pontos.");
        left = right = polygon[0].first;
        top = bottom = polygon[0].second;
        for (const auto& [px, py] : polygon) {
            left = std::min(left, px);
            right = std::max(right, px);
            top = std::min(top, py);
            bottom = std::max(bottom, py);
        }
        inside = [&polygon](double cx, double cy) {
            bool in = false;
            for (std::size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
                const auto [xi, yi] = polygon[i];
                const auto [xj, yj] = polygon[j];
                if ((yi > cy) != (yj > cy) && cx < (xj - xi) * (cy - yi) / (yj - yi) + xi) in = !in;
            }
            return in;
        };
    } else if (object.child("ellipse")) {
        inside = [=](double cx, double cy) {
            if (w <= 0 || h <= 0) return false;
            const double ex = (cx - (x + w / 2)) / (w / 2);
            const double ey = (cy - (y + h / 2)) / (h / 2);
            return ex * ex + ey * ey < 1.0;
        };
    } else {
        inside = [=](double cx, double cy) { return cx >= x && cx < x + w && cy >= y && cy < y + h; };
    }

    std::vector<std::pair<int, int>> cells;
    const int firstColumn = std::max(1, static_cast<int>(std::floor(left / kTileSize)) + 1);
    const int lastColumn = std::min(n_, static_cast<int>(std::floor(right / kTileSize)) + 1);
    const int firstRow = std::max(1, static_cast<int>(std::floor(top / kTileSize)) + 1);
    const int lastRow = std::min(n_, static_cast<int>(std::floor(bottom / kTileSize)) + 1);
    for (int r = firstRow; r <= lastRow; ++r)
        for (int c = firstColumn; c <= lastColumn; ++c)
            if (inside((c - 0.5) * kTileSize, (r - 0.5) * kTileSize)) cells.emplace_back(r, c);
    if (cells.empty()) {
        // A shape too small to cover a centre marks the cell under its own.
        const int column = static_cast<int>(std::floor((left + right) / 2 / kTileSize)) + 1;
        const int row = static_cast<int>(std::floor((top + bottom) / 2 / kTileSize)) + 1;
        if (row < 1 || row > n_ || column < 1 || column > n_) fail(what + " está fora do mapa.");
        cells.emplace_back(row, column);
    }
    return cells;
}

// An "XO" object's mark: "X" (or no name) marks, "O" clears, in either case.
unsigned char Reader::markOf(const pugi::xml_node& object, const std::string& group, int row, int column) const {
    const std::string_view name = object.attribute("name").value();
    if (name.empty() || name == "X" || name == "x") return 'X';
    if (name == "O" || name == "o") return 'O';
    if (hasControl(name))
        fail(objectName(object, group) + " (célula " + cellName(row, column) +
             ") tem caracteres de controle no nome; a marca de uma célula é \"X\" ou \"O\".");
    fail(objectName(object, group) + " (célula " + cellName(row, column) + ") tem a marca " +
         quoted(std::string(name)) + "; a marca de uma célula é \"X\" ou \"O\".");
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

// A Tiled JSON map begins with '{' (after blanks or a byte-order mark).
bool looksLikeJson(const QByteArray& bytes) {
    qsizetype i = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (i < bytes.size() && std::isspace(static_cast<unsigned char>(bytes.at(i)))) ++i;
    return i < bytes.size() && bytes.at(i) == '{';
}

MapGrid Reader::read(const QByteArray& bytes) {
    if (looksLikeJson(bytes))
        fail("o arquivo é um mapa JSON do Tiled; exporte-o do Tiled como TMX (Arquivo > Exportar Como, \"*.tmx\").");
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
    walk(map);

    // The layers by name; a map drawn from scratch in Tiled has them by
    // position instead: the bottom one is the background, the next the upper layer.
    const Placed* fundo = nullptr;
    const Placed* tipo = nullptr;
    for (const Placed& l : tileLayers_) {
        const std::string name = l.node.attribute("name").value();
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
    for (const Placed& l : tileLayers_)
        if (&l != fundo && &l != tipo)
            fail("a camada de tiles " + quoted(l.node.attribute("name").value()) +
                 " não corresponde a nenhuma camada do editor (\"Fundo\" ou \"Tipo\").");

    MapGrid grid;
    grid.newGrid(n_);
    const std::vector<std::uint32_t> fundoGids = fundo ? readTileLayer(*fundo) : std::vector<std::uint32_t>();
    const std::vector<std::uint32_t> tipoGids = tipo ? readTileLayer(*tipo) : std::vector<std::uint32_t>();
    const std::string fundoName = fundo ? fundo->node.attribute("name").value() : kLayerFundo;
    const std::string tipoName = tipo ? tipo->node.attribute("name").value() : kLayerTipo;
    for (int i = 0; i < n_ * n_; ++i) {
        const int row = i / n_ + 1;
        const int column = i % n_ + 1;
        const std::size_t at = MapGrid::index(row, column);
        const std::uint32_t f = fundo ? fundoGids[static_cast<std::size_t>(i)] : 0;
        const std::uint32_t t = tipo ? tipoGids[static_cast<std::size_t>(i)] : 0;
        if (f != 0) {
            grid.Fundo[at] = codeOf(f, fundoName, row, column);
        } else {
            if (notes_.emptyCells++ == 0) notes_.firstEmptyCell = cellName(row, column);
            if (options_.emptyCode) grid.Fundo[at] = *options_.emptyCode;
        }
        // An empty upper cell shows the background alone: the same code above.
        grid.Tipo[at] = t != 0 ? codeOf(t, tipoName, row, column) : grid.Fundo[at];
    }
    if (notes_.emptyCells > 0 && !options_.emptyCode)
        fail("a célula " + notes_.firstEmptyCell + " da camada " + quoted(fundoName) + " está vazia (" +
             std::to_string(notes_.emptyCells) + (notes_.emptyCells == 1 ? " célula vazia" : " células vazias") +
             "), e uma célula do editor sempre tem um tile; escolha o código das células vazias (--empty CÓDIGO, de "
             "48 a 191).");

    for (const Placed& group : groupsXO_) {
        const std::string groupName = group.node.attribute("name").value();
        for (const pugi::xml_node object : group.node.children("object"))
            for (const auto& [row, column] : cellsCovered(object, group))
                grid.setXO(row, column, markOf(object, groupName, row, column));
    }

    std::vector<bool> taken(static_cast<std::size_t>(MapGrid::kCells), false);
    for (const Placed& group : groupsEventos_) {
        const std::string groupName = group.node.attribute("name").value();
        for (const pugi::xml_node object : group.node.children("object")) {
            const std::optional<std::string> text = propertyOf(object, kEventProperty);
            if (!text) {
                notes_.dropped.push_back(objectName(object, groupName) + " (sem a propriedade \"Evento\")");
                continue;
            }
            const auto [row, column] = cellOf(object, group);
            const std::size_t at = MapGrid::index(row, column);
            if (taken[at]) fail("a célula " + cellName(row, column) + " tem dois eventos.");
            taken[at] = true;
            if (hasControl(*text))
                fail("o evento da célula " + cellName(row, column) +
                     " tem caracteres de controle, que o mapa não guarda.");
            const QString utf16 = QString::fromUtf8(*text);
            if (!isCp1252(utf16))
                fail("o evento da célula " + cellName(row, column) +
                     " tem caracteres que o projeto (Windows-1252) não guarda.");
            grid.Evento[at] = toCp1252(utf16);
        }
    }
    if (!notes_.dropped.empty() && !options_.dropExtra) {
        std::string list;
        for (const std::string& d : notes_.dropped) list += (list.empty() ? "" : "; ") + d;
        fail("o editor não guarda " + list +
             ". Remova-os no Tiled ou aceite importar sem eles (--drop-extra na linha de comando).");
    }
    return grid;
}

}  // namespace

MapGrid readTmx(const QByteArray& bytes, const QString& baseFolder, const QString& fileLabel,
                const ImportOptions& options, ImportNotes* notes) {
    ImportNotes local;
    Reader reader(baseFolder, fileLabel, options, notes ? *notes : local);
    if (notes) *notes = ImportNotes();
    return reader.read(bytes);
}

QByteArray readLimitedFile(const QString& path, const std::string& label) {
    const QFileInfo info(path);
    if (!info.exists()) throw Error("o arquivo " + quoted(label) + " não foi encontrado.");
    // A FIFO or a device would block or never end; only a regular file is read.
    if (!info.isFile()) throw Error("o arquivo " + quoted(label) + " não é um arquivo comum.");
    if (info.size() > kMaxFileSize)
        throw Error("o arquivo " + quoted(label) + " tem " + std::to_string(info.size() / (1024 * 1024)) +
                    " MB; o limite é " + std::to_string(kMaxFileSize / (1024 * 1024)) + " MB.");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error("o arquivo " + quoted(label) + " não pode ser lido (" + file.errorString().toStdString() + ").");
    // The size is read again: the file may have grown since it was measured.
    QByteArray bytes = file.read(kMaxFileSize + 1);
    if (bytes.size() > kMaxFileSize)
        throw Error("o arquivo " + quoted(label) + " passa de " + std::to_string(kMaxFileSize / (1024 * 1024)) +
                    " MB.");
    return bytes;
}

MapGrid readTmxFile(const QString& path, const ImportOptions& options, ImportNotes* notes) {
    const QFileInfo info(path);
    const QString label = QDir::toNativeSeparators(info.fileName());
    QByteArray bytes;
    try {
        bytes = readLimitedFile(path, label.toStdString());
    } catch (const Error& e) {
        throw Error("Não foi possível importar \"" + label.toStdString() + "\": " + e.what());
    }
    return readTmx(bytes, info.absolutePath(), label, options, notes);
}

std::optional<unsigned char> emptyCodeOf(const QString& text) {
    const QString t = text.trimmed();
    bool ok = false;
    const int number = t.toInt(&ok);
    if (ok && t.size() > 1) {
        if (number >= kFirstCode && number < kFirstCode + kTileCount) return static_cast<unsigned char>(number);
        return std::nullopt;
    }
    if (t.size() == 1) {
        const std::string code = toCp1252(t);
        const auto c = static_cast<unsigned char>(code[0]);
        if (code != "?" || t == "?")
            if (c >= kFirstCode && c < kFirstCode + kTileCount) return c;
    }
    return std::nullopt;
}

}  // namespace quillmark::tiled
