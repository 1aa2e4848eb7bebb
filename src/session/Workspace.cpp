#include "session/Workspace.h"

#include "core/Error.h"
#include "core/MapFile.h"

namespace quillmark {

Workspace::Workspace(std::unique_ptr<Prompts> prompts) : prompts_(std::move(prompts)) {}

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

void Workspace::saveCommand() {
    Salvar(grid, project.ProjectFolder, DataModule1);
    Modified = false;
    tree.SaveProject(project.ProjectFolder);
}

bool Workspace::askToSaveChanges() {
    if (!ProjectOpen || !Modified) return true;
    switch (prompts().confirm(QStringLiteral("Desejá Salvar as Alterações?"), Buttons::YesNoCancel)) {
    case Answer::Yes:
        saveCommand();
        return true;
    case Answer::No:
        return true;
    default:
        return false;
    }
}

}  // namespace quillmark
