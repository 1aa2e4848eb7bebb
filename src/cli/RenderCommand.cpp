// render: the whole map drawn as the canvas paints it.
#include "cli/Cli.h"

#include "core/Error.h"

namespace quillmark::cli {

int cmdRender(const Args&) { throw Error("render: ainda não disponível"); }

} // namespace quillmark::cli
