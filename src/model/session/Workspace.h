#pragma once
// What the editor hands to every window, created once by main: the editor
// session (which runs the commands and owns the editor's data: the flags, the
// loaded map, the project state, the map tree, the five game tables, the tile
// image cache, the brush, the zoom, the view options and the copy buffers),
// the prompts, and the wrapper that runs a user command and shows its error.
// No globals.
#include "model/core/Prompts.h"
#include "model/session/EditorSession.h"

#include <functional>
#include <memory>

namespace quillmark {

class Workspace {
public:
    explicit Workspace(std::unique_ptr<Prompts> prompts);
    ~Workspace();
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    Prompts& prompts() { return *prompts_; }
    void setPrompts(std::unique_ptr<Prompts> prompts) { prompts_ = std::move(prompts); }

    // Runs one user command. An error stops it and is shown in the general error
    // box ("Quillmark", stop icon); what was done stays done. Returns false when
    // the command failed.
    bool run(const std::function<void()>& command);

    // The commands and the data they change.
    EditorSession& session() { return *session_; }
    const EditorSession& session() const { return *session_; }

private:
    std::unique_ptr<Prompts> prompts_;
    std::unique_ptr<EditorSession> session_;
};

}  // namespace quillmark
