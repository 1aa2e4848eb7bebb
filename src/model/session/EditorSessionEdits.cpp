// The session's edits of the loaded map (copy, paste, the picker, events),
// the hero's start and the map tree's commands.
#include "model/session/EditorSession.h"

#include "model/core/Error.h"
#include "model/core/HeroStart.h"
#include "model/core/ProjectFile.h"
#include "model/core/Text.h"
#include "model/mapedit/TreeEdits.h"
#include "model/session/Workspace.h"

namespace quillmark {
// --- map edits ---------------------------------------------------------------------------

void EditorSession::copyCell(int row, int column) {
    copiedCell_ = edits_.copyCell(row, column);
    emit stateChanged();
}

void EditorSession::copyEvent(int row, int column) {
    copiedEvent_ = edits_.copyEvent(row, column);
    emit stateChanged();
}

void EditorSession::copyImage(int row, int column) {
    copiedImage_ = edits_.copyImage(row, column);
    emit stateChanged();
}

bool EditorSession::pasteCell(int row, int column) {
    if (!copiedCell_) return false;
    edits_.pasteCell(row, column, *copiedCell_);
    return true;
}

bool EditorSession::pasteEvent(int row, int column) {
    if (copiedEvent_.empty()) return false;
    edits_.pasteEvent(row, column, copiedEvent_);
    return true;
}

bool EditorSession::pasteImage(int row, int column) {
    if (!copiedImage_) return false;
    edits_.pasteImage(row, column, *copiedImage_);
    return true;
}

bool EditorSession::pickBrush(EditLayer layer, int row, int column) {
    if (layer == EditLayer::XO) return false;
    const unsigned char code = edits_.pick(layer, row, column);
    brushCode_ = code;
    brushImage_ = PegaImg(code);
    emit brushPicked(code);
    return true;
}

void EditorSession::editEvent(int row, int column) {
    if (!projectOpen_ || !mapLoaded_) return;
    edits_.endStroke();
    const std::string text = grid_.evento(row, column);
    std::string result = MapGrid::hasEvent(text) ? links_.eventScript(text) : links_.eventSelector();
    edits_.setEvent(row, column, std::move(result));
}

// --- the hero's start ------------------------------------------------------------------------

void EditorSession::setHeroStart(int row, int column) {
    if (!projectOpen_ || !mapLoaded_) throw Error("Nenhum mapa aberto.");
    if (!grid_.inMap(row, column))
        throw Error(
            formatMessage("A célula (%s, %s) está fora do mapa.", {std::to_string(row), std::to_string(column)}));
    ProjectState after = project_;
    after.InitialMap = grid_.CurrentMap;
    after.CharX = 40 * column + 120;
    after.CharY = 40 * row + 20;
    writeProjectFile(after);  // SalvaProjeto; a failed write changes nothing
    project_ = std::move(after);
    emit heroStartChanged();
}

std::pair<int, int> EditorSession::heroStartCell() const {
    // the cell the game puts the hero on: the nearest to the stored position,
    // on the map the game starts on
    if (grid_.CurrentMap.empty() || grid_.N <= 0) return {0, 0};
    if (!equalsIgnoreCase(startMapName(project_), grid_.CurrentMap)) return {0, 0};
    const auto [row, column] = nearestCell(project_.CharX, project_.CharY);
    if (!grid_.inMap(row, column)) return {0, 0};
    return {row, column};
}

// --- the map tree ------------------------------------------------------------------------------

namespace {

// Runs a tree step and puts it on the stack; a step whose change failed is
// not kept (the command leaves the tree and its file as they were).
template <class Command> void pushTreeStep(QUndoStack& stack, std::unique_ptr<Command> step) {
    stack.push(step.get());  // runs redo(); throws before taking the step when it fails
    step.release();
}

}  // namespace

bool EditorSession::newFolder() {
    if (!projectOpen_) return false;
    if (!IsNodeAllowed(tree_.selected())) {
        ws_.prompts().notice(QString::fromUtf8(kNoFolderHereMessage));
        return false;
    }
    const std::optional<QString> typed =
        ws_.prompts().input(QString::fromUtf8(kNewFolderTitle), QString::fromUtf8(kNewFolderPrompt), QString());
    if (!typed) return false;
    const std::optional<std::string> name = folderNameFrom(*typed);
    if (!name) return false;  // nothing that can stand as a line of the tree file
    const TreeNode* root = tree_.root();
    bool taken = !root;
    for (int i = 0; root && i < root->childCount(); ++i)
        taken = taken || equalsIgnoreCase(root->child(i)->text(), *name);
    if (taken) {
        if (root) ws_.prompts().notice(QString::fromUtf8(kMapExistsMessage));
        tree_.SaveProject(project_.ProjectFolder);
        return false;
    }
    pushTreeStep(treeUndo_, std::make_unique<NewFolderCommand>(tree_, project_.ProjectFolder, *name));
    return true;
}

bool EditorSession::removeSelectedFromTree() {
    if (!projectOpen_) return false;
    TreeNode* node = tree_.selected();
    if (!node) return false;
    const std::string text = node->text();
    const QString question = QStringLiteral("Remover o mapa \"%1\" da árvore do projeto?\n\n"
                                            "O arquivo do mapa continua na pasta \"Mapas\".")
                                 .arg(fromCp1252(text));
    if (ws_.prompts().confirm(question, Buttons::YesNo) != Answer::Yes) return false;
    // The steps kept for the tree may name the removed node's place.
    treeUndo_.clear();
    return tree_.RemoveMap(text);
}

DropOutcome EditorSession::moveInTree(TreeNode* dragged, TreeNode* target) {
    if (!projectOpen_) return DropOutcome::Refused;
    const DropOutcome outcome = tree_.checkDrop(dragged, target);
    if (outcome == DropOutcome::RefusedExists) ws_.prompts().notice(QString::fromUtf8(kDropExistsMessage));
    if (outcome != DropOutcome::Moved) return outcome;
    pushTreeStep(treeUndo_, std::make_unique<MoveNodeCommand>(tree_, project_.ProjectFolder, dragged, target));
    return outcome;
}

}  // namespace quillmark
