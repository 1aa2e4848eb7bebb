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
    // then the map as it is stored; then the editor's "Exportar Mapa".
    const auto ws = newWorkspace();
    openProjectMap(*ws, pathArg(args.word(0)), mapName);
    ws->session().exportMap(outFile, args.has("--force"));
    return kExitOk;
}

int cmdImport(const Args& args) {
    args.requireCount(3);
    const std::string name = cp1252Arg(args.word(2), "o nome do mapa");
    tiled::ImportOptions options;
    options.dropExtra = args.has("--drop-extra");
    if (args.has("--empty")) {
        const std::string code = args.value("--empty", "");
        options.emptyCode = tiled::emptyCodeOf(QString::fromUtf8(code.c_str()));
        if (!options.emptyCode)
            throw UsageError("--empty espera um código de tile de 48 a 191 (ou o seu caractere), não \"" + code + "\"");
    }
    const QString tmx = pathArg(args.word(1));
    // What the map file cannot hold is refused (or, with the options, converted)
    // before the project is opened; what is kept with a difference is told.
    tiled::ImportNotes notes;
    tiled::readTmxFile(tmx, options, &notes);
    const auto ws = newWorkspace();
    openProject(*ws, pathArg(args.word(0)));
    // A refused name is a warning, which the tool's prompts turn into an error.
    if (!ws->session().importMap(tmx, name, options)) return kExitFailed;
    for (const std::string& layer : notes.hiddenLayers)
        err("Aviso: a camada \"" + layer + "\" está oculta no Tiled e foi importada assim mesmo.\n");
    for (const std::string& d : notes.dropped) err("Aviso: ficou de fora " + d + ".\n");
    if (notes.emptyCells > 0)
        err("Aviso: " + std::to_string(notes.emptyCells) +
            (notes.emptyCells == 1 ? " célula vazia recebeu" : " células vazias receberam") + " o código " +
            std::to_string(*options.emptyCode) + ".\n");
    return kExitOk;
}

}  // namespace quillmark::cli
