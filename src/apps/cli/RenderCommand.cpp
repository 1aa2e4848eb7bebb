// render: the whole map drawn as the canvas paints it, every cell in one mode,
// into a PNG of 40·N x 40·N pixels.
#include "apps/cli/Cli.h"
#include "apps/cli/Png.h"

#include "model/core/Error.h"
#include "model/core/Files.h"
#include "model/core/Format.h"
#include "model/core/MapFile.h"
#include "model/core/Paths.h"
#include "model/core/Text.h"
#include "model/database/DataModule.h"
#include "model/database/TileCache.h"
#include "model/mapedit/CellPainter.h"

#include <QPainter>

#include <cstring>
#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace quillmark::cli {

namespace {

CellMode modeArg(const std::string& mode) {
    if (mode == "upper") return CellMode::Upper;
    if (mode == "lower") return CellMode::Lower;
    if (mode == "events") return CellMode::Events;
    throw UsageError("--mode deve ser upper, lower ou events, não \"" + mode + "\"");
}

// What a cell's drawing depends on besides its place: the tile pictures, the
// character standing on it, its mark and its letter. Two cells with the same
// key look the same (the coordinates, which differ everywhere, are left out:
// with them shown every cell is drawn by itself).
struct CellKey {
    unsigned char upper = 0;
    unsigned char lower = 0;
    bool both = false;  // the lower picture shows under the upper one
    char mark = 0;
    std::string letter;
    std::string character;  // the character's event text, when one is drawn
    bool operator<(const CellKey& o) const {
        return std::tie(upper, lower, both, mark, letter, character) <
               std::tie(o.upper, o.lower, o.both, o.mark, o.letter, o.character);
    }
};

CellKey cellKey(const MapGrid& grid, int r, int c, CellMode mode, const ViewOptions& view, TileLookup& lookup) {
    const std::size_t i = MapGrid::index(r, c);
    CellKey key;
    if (mode == CellMode::Lower) {
        key.upper = grid.Fundo[i];
    } else {
        key.upper = grid.Tipo[i];
        key.both = lookup.transparent(grid.Tipo[i]);
        if (key.both) key.lower = grid.Fundo[i];
    }
    if (mode == CellMode::Events) key.mark = cellpaint::markText(grid.XO[i])[0];
    const std::string& event = grid.Evento[i];
    key.letter = cellpaint::eventLetter(event, view);
    if (view.objetos && format::isAddChar(event)) key.character = event;
    return key;
}

// The map drawn into the rows the PNG writer compresses, one row of cells at
// a time. Each cell is drawn inside its own square, so a cell drawn alone is
// exactly its part of the whole drawing: each different cell is drawn once,
// and its 40 pixel rows, in the file's byte order, are copied wherever it
// appears. The fill under the tiles is opaque, and so is every cell.
QByteArray renderMapPng(const MapGrid& grid, CellMode mode, const ViewOptions& view, TileLookup& lookup) {
    constexpr int cell = cellpaint::kCell;
    const int side = grid.N * cell;
    PngStream png(side, side, cellpaint::backgroundColor().alpha() == 255);
    const int pixel = png.bytesPerPixel();
    const size_t cellRow = static_cast<size_t>(cell) * static_cast<size_t>(pixel);
    const size_t cellBytes = cellRow * cell;
    // Cells kept for later rows, at most some 10 MB of them (a map of ever
    // different cells is then drawn cell by cell), and the cells of the
    // current row that are not kept (all of them with the coordinates shown).
    const size_t keepAtMost = view.cordenadas ? 0 : 2048;
    std::vector<unsigned char> kept;
    std::vector<unsigned char> rowOnly;
    std::map<CellKey, size_t> known;  // offset in `kept`
    // Reserved, not touched: the pages of cells never drawn cost nothing, and
    // the cells drawn are never moved.
    kept.reserve(keepAtMost * cellBytes);
    rowOnly.reserve(static_cast<size_t>(grid.N) * cellBytes);

    QImage scratch(cell, cell, QImage::Format_ARGB32_Premultiplied);
    const auto drawCell = [&](int r, int c, std::vector<unsigned char>& into) {
        scratch.fill(cellpaint::backgroundColor());
        QPainter painter(&scratch);
        cellpaint::RefreshMapa(painter, grid, r, c, mode, view, lookup, cellpaint::CellView{QPoint(0, 0), cell});
        painter.end();
        const QImage straight = pixel == 3 ? scratch : scratch.convertToFormat(QImage::Format_ARGB32);
        const size_t at = into.size();
        into.resize(at + cellBytes);
        unsigned char* out = into.data() + at;
        for (int y = 0; y < cell; ++y) {
            const auto* in = reinterpret_cast<const QRgb*>(straight.constScanLine(y));
            for (int x = 0; x < cell; ++x, out += pixel) {
                out[0] = static_cast<unsigned char>(qRed(in[x]));
                out[1] = static_cast<unsigned char>(qGreen(in[x]));
                out[2] = static_cast<unsigned char>(qBlue(in[x]));
                if (pixel == 4) out[3] = static_cast<unsigned char>(qAlpha(in[x]));
            }
        }
        return at;
    };

    struct Placed {
        bool kept;
        size_t at;
    };
    std::vector<Placed> rowCells(static_cast<size_t>(grid.N));
    for (int r = 1; r <= grid.N; ++r) {
        rowOnly.clear();
        for (int c = 1; c <= grid.N; ++c) {
            Placed& placed = rowCells[static_cast<size_t>(c - 1)];
            if (keepAtMost == 0) {
                placed = {false, drawCell(r, c, rowOnly)};
                continue;
            }
            CellKey key = cellKey(grid, r, c, mode, view, lookup);
            if (const auto it = known.find(key); it != known.end()) {
                placed = {true, it->second};
            } else if (known.size() < keepAtMost) {
                placed = {true, drawCell(r, c, kept)};
                known.emplace(std::move(key), placed.at);
            } else {
                placed = {false, drawCell(r, c, rowOnly)};
            }
        }
        unsigned char* rows = png.nextRows(cell);
        for (int y = 0; y < cell; ++y) {
            unsigned char* out = rows + png.stride() * static_cast<size_t>(y);
            const size_t line = cellRow * static_cast<size_t>(y);
            for (const Placed& placed : rowCells) {
                const unsigned char* in = (placed.kept ? kept : rowOnly).data() + placed.at + line;
                // A copy of a size known here is a few vector moves; one of a
                // size known only at run time costs several times more.
                if (pixel == 3)
                    std::memcpy(out, in, cell * 3);
                else
                    std::memcpy(out, in, cell * 4);
                out += cellRow;
            }
        }
    }
    return png.finish();
}

}  // namespace

int cmdRender(const Args& args) {
    args.requireCount(3);
    const CellMode mode = modeArg(args.value("--mode", "upper"));
    ViewOptions view;
    view.cordenadas = args.has("--coordinates");
    view.eventos = !args.has("--no-events");
    view.objetos = !args.has("--no-objects");
    const std::string mapName = cp1252Arg(args.word(1), "o nome do mapa");
    const QString outFile = pathArg(args.word(2));

    // As opening a project does: the tiles table, then the tile image cache,
    // then the map.
    const ProjectState project = readProject(pathArg(args.word(0)));
    TDataModule1 data;
    data.pointAt(data.cdsTiles, project.ProjectFolder);
    TileCache tiles;
    tiles.LoadImagens(data, project.ProjectFolder, editorFolder());
    // A damaged tile picture is drawn as the placeholder, and named.
    for (size_t i = 0; i < tiles.unreadable().size(); ++i)
        err("aviso: " + cp1252ToUtf8(tiles.unreadable()[i]) + ": " + tiles.unreadableReasons()[i] + "\n");
    MapGrid grid;
    grid.CurrentMap = mapName;
    Abrir(grid, mapPath(project, mapName));
    if (grid.N == 0) throw Error("O mapa \"" + args.word(1) + "\" não tem células para desenhar");

    TileLookup lookup = TileLookup::fromTables(data, tiles);
    // Characters stand on their cells as in the canvas.
    const QString folder = project.ProjectFolder;
    lookup.setCharacters([folder](const std::string& name) { return cellpaint::characterFrame(folder, name); });
    writeFileAtomic(outFile, renderMapPng(grid, mode, view, lookup));
    return kExitOk;
}

}  // namespace quillmark::cli
