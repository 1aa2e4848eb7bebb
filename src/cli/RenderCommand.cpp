// render: the whole map drawn as the canvas paints it, every cell in one mode,
// into a PNG of 40·N x 40·N pixels.
#include "cli/Cli.h"
#include "cli/Png.h"

#include "core/Error.h"
#include "core/Files.h"
#include "core/MapFile.h"
#include "core/Paths.h"
#include "database/DataModule.h"
#include "database/TileCache.h"
#include "editor/CellPainter.h"

namespace quillmark::cli {

namespace {

CellMode modeArg(const std::string& mode) {
    if (mode == "upper") return CellMode::Upper;
    if (mode == "lower") return CellMode::Lower;
    if (mode == "events") return CellMode::Events;
    throw UsageError("--mode deve ser upper, lower ou events, não \"" + mode + "\"");
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
    MapGrid grid;
    grid.CurrentMap = mapName;
    Abrir(grid, mapPath(project, mapName));
    if (grid.N == 0) throw Error("O mapa \"" + args.word(1) + "\" não tem células para desenhar");

    TileLookup lookup = TileLookup::fromTables(data, tiles);
    // Characters stand on their cells as in the canvas.
    const QString folder = project.ProjectFolder;
    lookup.setCharacters([folder](const std::string& name) { return cellpaint::characterFrame(folder, name); });
    const QImage image = cellpaint::renderMap(grid, mode, view, lookup);
    writeFileAtomic(outFile, encodePng(image));
    return kExitOk;
}

}  // namespace quillmark::cli
