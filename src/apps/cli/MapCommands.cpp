// dump and resave: a map read (and written) by the editor's own map reader and writer.
#include "apps/cli/Cli.h"

#include "model/core/Files.h"
#include "model/core/MapFile.h"
#include "model/core/Paths.h"
#include "model/database/DataModule.h"
#include "model/database/MapSaving.h"

namespace quillmark::cli {

namespace {

struct LoadedMap {
    ProjectState project;
    QString path;
    MapGrid grid;
};

// Reads the project file, then the map as "Abrir" does.
LoadedMap loadMap(const Args& args) {
    args.requireCount(2);
    const std::string mapName = cp1252Arg(args.word(1), "o nome do mapa");
    LoadedMap m;
    m.project = readProject(pathArg(args.word(0)));
    m.path = mapPath(m.project, mapName);
    m.grid.CurrentMap = mapName;
    Abrir(m.grid, m.path);
    return m;
}

}  // namespace

int cmdDump(const Args& args) {
    const LoadedMap m = loadMap(args);
    out(mapJson(m.grid) + "\n");
    return kExitOk;
}

int cmdResave(const Args& args) {
    LoadedMap m = loadMap(args);
    // The transparency of every cell comes from the project's tiles table.
    TDataModule1 data;
    data.pointAt(data.cdsTiles, m.project.ProjectFolder);
    // The file found (whatever the letter case of the name given) is the one
    // replaced, unless it (or "Mapas") is a link leading out of the project.
    checkWriteInsideProject(m.project.ProjectFolder, m.path);
    salvarEm(m.grid, m.path, data);
    return kExitOk;
}

}  // namespace quillmark::cli
