#pragma once
// Read-only questions about map-tree nodes. Texts are compared without regard
// to letter case (ASCII letters only). The copying and moving of subtrees are
// MapTree::CopySubtree and MapTree::MoveSubtree, since they change the tree.
#include <string_view>

namespace quillmark {

class TreeNode;

// False when the node is absent; true when includeSelf is set and the node's own
// text matches, or when any sibling before or after the node matches.
bool SiblingHasText(const TreeNode* node, std::string_view text, bool includeSelf);

// True when the candidate is the node itself or one of its descendants (walks
// the candidate's parents up to the top). False when either is absent.
bool IsUnder(const TreeNode* node, const TreeNode* candidate);

}  // namespace quillmark
