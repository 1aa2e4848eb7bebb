// render: the whole map drawn as the canvas paints it, every cell in one mode,
// into a PNG of 40·N x 40·N pixels.
#include "apps/cli/Cli.h"
#include "apps/cli/Png.h"
#include "apps/cli/Project.h"

#include "model/core/Error.h"
#include "model/core/Files.h"
#include "model/core/MapFile.h"
#include "model/core/Paths.h"
#include "model/core/Text.h"
#include "model/database/DataModule.h"
#include "model/database/TileCache.h"
#include "model/mapedit/CellPainter.h"

#include <QPainter>

namespace quillmark::cli {

namespace {

CellMode modeArg(const std::string& mode) {
    if (mode == "upper") return CellMode::Upper;
    if (mode == "lower") return CellMode::Lower;
    if (mode == "events") return CellMode::Events;
    throw UsageError("--mode deve ser upper, lower ou events, não \"" + mode + "\"");
}

// The map drawn one row of cells at a time into a band of 40 pixel rows that
// the PNG writer takes over as raw rows: the drawing is never held as a whole
// QImage besides them. Each cell draws inside its own square, so a band shows
// exactly the rows of the whole drawing; the fill under the tiles is opaque,
// and so is every band.
QByteArray renderMapPng(const MapGrid& grid, CellMode mode, const ViewOptions& view, TileLookup& lookup) {
    constexpr int cell = cellpaint::kCell;
    const int side = grid.N * cell;
    PngStream png(side, side, cellpaint::backgroundColor().alpha() == 255);
    QImage band(side, cell, QImage::Format_ARGB32_Premultiplied);
    for (int r = 1; r <= grid.N; ++r) {
        band.fill(cellpaint::backgroundColor());
        QPainter painter(&band);
        for (int c = 1; c <= grid.N; ++c)
            cellpaint::RefreshMapa(painter, grid, r, c, mode, view, lookup,
                                   cellpaint::CellView{QPoint((c - 1) * cell, 0), cell});
        painter.end();
        png.addRows(band);
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
    const auto ws = newWorkspace();
    openProjectMap(*ws, pathArg(args.word(0)), mapName);
    const ProjectState& project = ws->session().project();
    TDataModule1& data = ws->session().tables();
    const TileCache& tiles = ws->session().tiles();
    const MapGrid& grid = ws->session().grid();
    // A damaged tile picture is drawn as the placeholder, and named.
    for (size_t i = 0; i < tiles.unreadable().size(); ++i)
        err("aviso: " + cp1252ToUtf8(tiles.unreadable()[i]) + ": " + tiles.unreadableReasons()[i] + "\n");
    if (grid.N == 0) throw Error("O mapa \"" + args.word(1) + "\" não tem células para desenhar");

    TileLookup lookup = TileLookup::fromTables(data, tiles);
    // Characters stand on their cells as in the canvas.
    const QString folder = project.ProjectFolder;
    lookup.setCharacters([folder](const std::string& name) { return cellpaint::characterFrame(folder, name); });
    writeFileAtomic(outFile, renderMapPng(grid, mode, view, lookup));
    return kExitOk;
}

}  // namespace quillmark::cli
