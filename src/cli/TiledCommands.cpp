// export and import: maps exchanged with Tiled, by the same code as the
// editor's "Exportar Mapa" and "Importar Mapa".
#include "cli/Cli.h"
#include "cli/Project.h"

#include "core/Error.h"
#include "core/MapFile.h"
#include "core/Paths.h"
#include "database/DataModule.h"
#include "database/TileCache.h"
#include "editor/TiledExchange.h"
#include "session/Workspace.h"

namespace quillmark::cli {

int cmdExport(const Args& args) {
    args.requireCount(3);
    const std::string mapName = cp1252Arg(args.word(1), "o nome do mapa");
    const QString outFile = pathArg(args.word(2));

    // The tiles table and the tile image cache as opening a project fills them,
    // then the map as it is stored.
    const ProjectState project = readProject(pathArg(args.word(0)));
    TDataModule1 data;
    data.pointAt(data.cdsTiles, project.ProjectFolder);
    TileCache tiles;
    tiles.LoadImagens(data, project.ProjectFolder, editorFolder());
    MapGrid grid;
    grid.CurrentMap = mapName;
    Abrir(grid, mapPath(project, mapName));

    tiled::exportMap(grid, tiled::tileImagesOf(data, tiles), outFile);
    return kExitOk;
}

int cmdImport(const Args& args) {
    args.requireCount(3);
    const std::string name = cp1252Arg(args.word(2), "o nome do mapa");
    const auto ws = newWorkspace();
    openProject(*ws, pathArg(args.word(0)));
    // A refused name is a warning, which the tool's prompts turn into an error.
    return ws->session().importMap(pathArg(args.word(1)), name) ? kExitOk : kExitFailed;
}

}  // namespace quillmark::cli
