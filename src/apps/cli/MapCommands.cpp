// dump and resave: a map read (and written) by the editor's own map reader and writer.
#include "apps/cli/Cli.h"
#include "apps/cli/Project.h"

#include "model/core/Files.h"
#include "model/core/MapFile.h"
#include "model/core/Paths.h"
#include "model/database/MapSaving.h"

namespace quillmark::cli {

namespace {

// The project opened through the editor session as far as the command needs
// it, then the map as "Abrir" does.
std::unique_ptr<Workspace> loadMap(const Args& args, EditorSession::ToolNeeds needs) {
    args.requireCount(2);
    const std::string mapName = cp1252Arg(args.word(1), "o nome do mapa");
    auto ws = newWorkspace();
    openProjectMap(*ws, pathArg(args.word(0)), mapName, needs);
    return ws;
}

}  // namespace

int cmdDump(const Args& args) {
    const auto ws = loadMap(args, EditorSession::ToolNeeds::ProjectFile);
    out(mapJson(ws->session().grid()) + "\n");
    return kExitOk;
}

int cmdResave(const Args& args) {
    const auto ws = loadMap(args, EditorSession::ToolNeeds::TilesTable);
    EditorSession& session = ws->session();
    // The file found (whatever the letter case of the name given) is the one
    // replaced, unless it (or "Mapas") is a link leading out of the project.
    // The transparency of every cell comes from the project's tiles table.
    const QString path = mapPath(session.project(), session.grid().CurrentMap);
    checkWriteInsideProject(session.project().ProjectFolder, path);
    salvarEm(session.grid(), path, session.tables());
    return kExitOk;
}

}  // namespace quillmark::cli
