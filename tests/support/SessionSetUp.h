#pragma once
// The states a test or a benchmark sets up without the commands that lead to
// them: a window tested on a project folder that holds only what it reads, a
// map's name changed to check a rule that depends on it. Everything else goes
// through the session's commands, as the editor's windows do.
#include "model/session/EditorSession.h"
#include "model/session/Workspace.h"

namespace quillmark {

class SessionSetUp {
public:
    static ProjectState& project(EditorSession& session) { return session.project_; }
    static MapGrid& grid(EditorSession& session) { return session.grid_; }
    static MapTree& tree(EditorSession& session) { return session.tree_; }
    static TileCache& tiles(EditorSession& session) { return session.tiles_; }
};

}  // namespace quillmark

namespace qmtest {

// The session's project state, to set up directly.
inline quillmark::ProjectState& projectOf(quillmark::Workspace& ws) {
    return quillmark::SessionSetUp::project(ws.session());
}
// The session's grid, to set up directly.
inline quillmark::MapGrid& gridOf(quillmark::Workspace& ws) { return quillmark::SessionSetUp::grid(ws.session()); }
// The session's map tree, to change without the tree commands.
inline quillmark::MapTree& treeOf(quillmark::Workspace& ws) { return quillmark::SessionSetUp::tree(ws.session()); }
// The session's tile image cache, to empty without closing the project.
inline quillmark::TileCache& tilesOf(quillmark::Workspace& ws) { return quillmark::SessionSetUp::tiles(ws.session()); }

}  // namespace qmtest
