#include "model/mapedit/TiledExchange.h"

#include "model/core/Error.h"
#include "model/core/Files.h"
#include "model/core/Format.h"
#include "model/core/Paths.h"
#include "model/core/Text.h"
#include "model/core/XmlEscape.h"
#include "model/database/DataModule.h"
#include "model/database/TileCache.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace quillmark::tiled {

namespace {

// --- writing -----------------------------------------------------------------------------

// Text for an attribute value; a control character cannot be written.
bool appendAttribute(std::string& out, std::string_view utf8) {
    return xml::appendAttribute(out, utf8, xml::ControlChars::Refuse);
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
            // Another mark would come back refused (the editor draws it as
            // 'O', the game lets the hero through): it is refused here already.
            if (grid.XO[i] != 'X')
                throw Error("A célula " + cellName(r, c) + " tem a marca \"" +
                            cp1252ToUtf8(std::string(1, static_cast<char>(grid.XO[i]))) +
                            "\", que o Tiled não guarda; a marca de uma célula é \"X\" ou \"O\".");
            marks += "  <object ";
            appendRect(marks, nextObject++, r, c);
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
    if (!appendAttribute(out, tilesetSource)) throw Error("O nome do conjunto de tiles tem caracteres de controle.");
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
    if (!appendAttribute(out, sheetSource))
        throw Error("O nome da imagem do conjunto de tiles tem caracteres de controle.");
    out += "\" width=\"" + std::to_string(kSheetColumns * kTileSize) + "\" height=\"" +
           std::to_string(rows * kTileSize) + "\"/>\n</tileset>\n";
    return out;
}

namespace {

// True when `path` lies inside `folder` (both existing or not), compared as
// the system resolves them.
bool isInside(const QString& path, const QString& folder) {
    auto resolved = [](const QString& p) {
        const QFileInfo info(p);
        const QString canonical = info.canonicalFilePath();
        return QDir::cleanPath(canonical.isEmpty() ? info.absoluteFilePath() : canonical);
    };
    const QString f = resolved(folder);
    const QString p = resolved(path);
    return p.compare(f, Qt::CaseInsensitive) == 0 || p.startsWith(f + '/', Qt::CaseInsensitive);
}

// The first bytes of a file, to tell what it holds.
QByteArray headOf(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.read(4096);
}

std::string shown(const QString& path) { return "\"" + QDir::toNativeSeparators(path).toStdString() + "\""; }

// An existing output that is not what an export writes there is the user's
// own file: refused unless forced.
void checkReplaceable(const QString& path, const char* marker, const char* what, bool force) {
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) return;
    if (!info.isFile()) throw Error("Não é possível exportar: " + shown(path) + " existe e não é um arquivo comum.");
    if (force) return;
    if (!headOf(path).contains(marker))
        throw Error("Não é possível exportar: o arquivo " + shown(path) + " já existe e não é " + what +
                    "; escolha outro nome ou use --force para substituí-lo.");
}

// One file of an export, written under a temporary name until all are.
struct PendingFile {
    explicit PendingFile(const QString& p) : path(p), file(p) {}
    QString path;
    QSaveFile file;
};

void writePending(PendingFile& pending, const QByteArray& content) {
    if (!pending.file.open(QIODevice::WriteOnly))
        throw Error(
            formatMessage("Cannot create file \"%s\". %s", {QDir::toNativeSeparators(pending.path).toStdString(),
                                                            pending.file.errorString().toStdString()}));
    if (pending.file.write(content) != content.size() || !pending.file.flush())
        throw Error(formatMessage("Cannot write file \"%s\". %s", {QDir::toNativeSeparators(pending.path).toStdString(),
                                                                   pending.file.errorString().toStdString()}));
}

}  // namespace

ExportFaultHook& exportFaultHook() {
    static ExportFaultHook hook;
    return hook;
}

void exportMap(const MapGrid& grid, const TileImages& tiles, const QString& tmxPath, const ExportOptions& options) {
    const QFileInfo info(tmxPath);
    const std::string tmx = tmxText(grid, kTilesetFile);  // refuses a map it cannot hold before writing anything
    const QString folder = info.absolutePath() + '/';
    if (!options.projectFolder.isEmpty())
        for (const char* own : {"Mapas", "Data"}) {
            const QString ownFolder = projectPath(options.projectFolder, QString(own) + '\\');
            if (isInside(info.absoluteFilePath(), ownFolder))
                throw Error("Não é possível exportar para " + shown(tmxPath) + ": a pasta \"" + own +
                            "\\\" guarda os arquivos do projeto; escolha uma pasta fora dela.");
        }
    checkReplaceable(info.absoluteFilePath(), "<map", "um mapa do Tiled (TMX)", options.force);
    checkReplaceable(folder + kTilesetFile, "name=\"Quillmark\"", "o conjunto de tiles do editor", options.force);
    checkReplaceable(folder + kTilesetSheet, "\x89PNG", "uma imagem PNG", options.force);

    QBuffer png;
    png.open(QIODevice::WriteOnly);
    QImageWriter writer(&png, "png");
    writer.setQuality(90);  // light compression: quick to write, the sheet is small anyway
    if (!writer.write(tilesetSheet(tiles))) throw Error("Não foi possível gerar a imagem do conjunto de tiles.");
    // the files written beside the map never follow a link out of its folder
    for (const QString& target : {folder + kTilesetSheet, folder + kTilesetFile, info.absoluteFilePath()})
        checkWriteInsideProject(folder, target);

    // Everything under temporary names first; the renames come last, the map
    // after its tileset.
    PendingFile files[] = {PendingFile(folder + kTilesetSheet), PendingFile(folder + kTilesetFile),
                           PendingFile(info.absoluteFilePath())};
    const QByteArray contents[] = {png.data(), QByteArray::fromStdString(tsxText(kTilesetSheet)),
                                   QByteArray::fromStdString(tmx)};
    for (int i = 0; i < 3; ++i) {
        if (exportFaultHook()) exportFaultHook()(i);
        writePending(files[i], contents[i]);
    }
    for (PendingFile& f : files) {
        if (!f.file.commit())
            throw Error(formatMessage("Cannot write file \"%s\". %s", {QDir::toNativeSeparators(f.path).toStdString(),
                                                                       f.file.errorString().toStdString()}));
        noteEntryCreated(f.path);
    }
}

}  // namespace quillmark::tiled
