#pragma once
// Undo steps of the map tree: a folder made by "Nova Pasta" and a map (or a
// folder with its maps) moved by a drop. Each redo and undo changes the tree
// and writes the tree file, as every tree command does. Nodes are found again
// by their place in the tree, so a step stays valid when an earlier step was
// undone and redone and its nodes were made anew.
#include "model/core/MapTree.h"

#include <QString>
#include <QUndoCommand>
#include <optional>
#include <string>
#include <vector>

namespace quillmark {

// The name "Nova Pasta" stores for what the user typed. A folder name is one
// line of the tree file, where leading blanks and TABs give the depth: such
// characters and line breaks are left out. Nothing when no name is left or a
// character cannot be stored.
std::optional<std::string> folderNameFrom(const QString& typed);

// A folder added under the root. The first redo adds it; a name a child of
// the root already has is refused before the step is made (newFolderStep).
class NewFolderCommand : public QUndoCommand {
public:
    NewFolderCommand(MapTree& tree, QString projectFolder, std::string name);
    void redo() override;
    void undo() override;

private:
    MapTree& tree_;
    QString folder_;
    std::string name_;
    std::vector<int> place_;
};

// A node moved to the end of a container's children, and back to its own
// place by the undo.
class MoveNodeCommand : public QUndoCommand {
public:
    MoveNodeCommand(MapTree& tree, QString projectFolder, const TreeNode* node, const TreeNode* target);
    void redo() override;
    void undo() override;

private:
    MapTree& tree_;
    QString folder_;
    std::vector<int> from_;  // the node's place before the move
    std::vector<int> to_;    // the target's place
    int movedRow_ = -1;
    std::string text_;  // the moved node's text, checked before it is moved back
};

}  // namespace quillmark
