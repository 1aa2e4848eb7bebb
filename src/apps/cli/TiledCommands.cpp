// export and import: maps exchanged with Tiled, by the same code as the
// editor's "Exportar Mapa" and "Importar Mapa".
#include "apps/cli/Cli.h"
#include "apps/cli/Project.h"

#include "model/core/Error.h"
#include "model/core/MapFile.h"
#include "model/core/Paths.h"
#include "model/database/DataModule.h"
#include "model/database/TileCache.h"
#include "model/mapedit/TiledExchange.h"
#include "model/session/Workspace.h"

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
