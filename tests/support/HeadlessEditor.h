#pragma once
// The editor without windows: a workspace whose questions are answered from a
// script, with the build's editor folder (the template set), for tests that
// drive the session's commands and check the files on disk.
#include "ProjectFixture.h"
#include "ScriptedPrompts.h"
#include "model/session/Workspace.h"

#include <QString>
#include <functional>
#include <memory>

namespace qmtest {

struct HeadlessEditor {
    HeadlessEditor() {
        auto scripted = std::make_unique<ScriptedPrompts>();
        prompts = scripted.get();
        ws = std::make_unique<quillmark::Workspace>(std::move(scripted));
        ws->session().setEditorFolder(binFolder());
    }
    quillmark::EditorSession& session() { return ws->session(); }
    // Runs a command as a window does: an error is shown, and false.
    bool run(const std::function<void()>& command) { return ws->run(command); }
    // The session's open command on a project file.
    bool open(const QString& projectFile) {
        return ws->run([&] { session().openProject(projectFile); });
    }

    ScriptedPrompts* prompts = nullptr;
    std::unique_ptr<quillmark::Workspace> ws;
};

}  // namespace qmtest
