#include "model/session/Workspace.h"

#include "model/core/Error.h"
#include "model/database/MapSaving.h"

namespace quillmark {

Workspace::Workspace(std::unique_ptr<Prompts> prompts)
    : prompts_(std::move(prompts)), session_(std::make_unique<EditorSession>(*this)) {}

Workspace::~Workspace() = default;

bool Workspace::run(const std::function<void()>& command) {
    try {
        command();
        return true;
    } catch (const std::exception& e) {
        prompts().error(QString::fromUtf8(e.what()));
    }
    return false;
}

}  // namespace quillmark
