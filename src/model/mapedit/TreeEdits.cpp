#include "model/mapedit/TreeEdits.h"

#include "model/core/Error.h"
#include "model/core/Text.h"

namespace quillmark {

namespace {

[[noreturn]] void lostNode() { throw Error("A árvore do projeto mudou; este passo não pode ser refeito."); }

}  // namespace

std::optional<std::string> folderNameFrom(const QString& typed) {
    QString name;
    for (QChar c : typed)
        if (c.unicode() >= 32 && c.unicode() != 127) name += c;
    name = name.trimmed();
    if (name.isEmpty()) return std::nullopt;
    bool ok = false;
    std::string bytes = toCp1252(name, &ok);
    if (!ok) return std::nullopt;
    return bytes;
}

NewFolderCommand::NewFolderCommand(MapTree& tree, QString projectFolder, std::string name)
    : QUndoCommand(QStringLiteral("Nova Pasta")), tree_(tree), folder_(std::move(projectFolder)),
      name_(std::move(name)) {}

void NewFolderCommand::redo() {
    const AddMapResult added = tree_.AddMap(name_, kKindContainer);
    if (added.status != AddMapStatus::Added) lostNode();
    place_ = MapTree::placeOf(added.node);
    try {
        tree_.SaveProject(folder_);
    } catch (...) {
        tree_.RemoveNode(added.node);  // the tree stays as its file is
        throw;
    }
}

void NewFolderCommand::undo() {
    TreeNode* node = tree_.nodeAt(place_);
    if (!node || node->text() != name_) lostNode();
    // The folder goes with whatever was put into it since (its moves were undone first).
    tree_.RemoveNode(node);
    tree_.SaveProject(folder_);
}

MoveNodeCommand::MoveNodeCommand(MapTree& tree, QString projectFolder, const TreeNode* node, const TreeNode* target)
    : QUndoCommand(QStringLiteral("Mover mapa")), tree_(tree), folder_(std::move(projectFolder)),
      from_(MapTree::placeOf(node)), to_(MapTree::placeOf(target)), text_(node ? node->text() : std::string()) {}

void MoveNodeCommand::redo() {
    TreeNode* node = tree_.nodeAt(from_);
    TreeNode* target = tree_.nodeAt(to_);
    if (!node || !target || node->text() != text_) lostNode();
    TreeNode* parent = node->parent();
    const int row = node->index();
    // The target's place may shift when the node leaves a list above it.
    TreeNode* moved = tree_.MoveSubtree(node, target);
    if (!moved) lostNode();
    movedRow_ = moved->index();
    to_ = MapTree::placeOf(target);
    try {
        tree_.SaveProject(folder_);
    } catch (...) {
        tree_.MoveSubtree(moved, parent, row);
        to_ = MapTree::placeOf(target);
        throw;
    }
}

void MoveNodeCommand::undo() {
    TreeNode* target = tree_.nodeAt(to_);
    if (!target || movedRow_ < 0 || movedRow_ >= target->childCount()) lostNode();
    TreeNode* node = target->child(movedRow_);
    if (node->text() != text_) lostNode();
    std::vector<int> parentPlace(from_.begin(), from_.end() - 1);
    const int row = from_.back();
    TreeNode* parent = tree_.nodeAt(parentPlace);
    if (!parentPlace.empty() && !parent) lostNode();
    // The parent's place is read with the node still under the target, as it
    // was when the node left it; moving the node back restores both places.
    tree_.MoveSubtree(node, parent, row);
    to_ = MapTree::placeOf(target);
    tree_.SaveProject(folder_);
}

}  // namespace quillmark
