// new and new-map: a project and a map created as the editor's dialogs create them.
#include "cli/Cli.h"

#include "core/Error.h"

namespace quillmark::cli {

int cmdNew(const Args&) { throw Error("new: ainda não disponível"); }
int cmdNewMap(const Args&) { throw Error("new-map: ainda não disponível"); }

} // namespace quillmark::cli
