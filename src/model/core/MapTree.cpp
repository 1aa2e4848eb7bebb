#include "model/core/MapTree.h"

#include "model/core/Format.h"

#include "model/core/Error.h"
#include "model/core/Files.h"
#include "model/core/Paths.h"
#include "model/core/ProjectFile.h"
#include "model/core/Text.h"

#include <algorithm>
#include <cstdint>
#include <unordered_set>
#include <utility>

namespace quillmark {

// --- TreeNode ---------------------------------------------------------------------

TreeNode::~TreeNode() {
    // Take the children apart one level at a time so that no node is destroyed
    // while it still holds children: the depth of the tree never reaches the
    // call stack.
    std::vector<std::unique_ptr<TreeNode>> pending = std::move(children_);
    while (!pending.empty()) {
        std::unique_ptr<TreeNode> node = std::move(pending.back());
        pending.pop_back();
        for (auto& child : node->children_) pending.push_back(std::move(child));
        node->children_.clear();
    }
}

TreeNode* TreeNode::parent() const { return parent_ && !parent_->holder_ ? parent_ : nullptr; }

void TreeNode::renumberChildren() const {
    for (size_t i = 0; i < children_.size(); ++i) children_[i]->index_ = static_cast<int>(i);
    childIndexStale_ = false;
}

int TreeNode::index() const {
    if (!parent_) return 0;
    if (parent_->childIndexStale_) parent_->renumberChildren();
    return index_;
}

TreeNode* TreeNode::nextSibling() const {
    if (!parent_) return nullptr;
    const int i = index() + 1;
    return i < parent_->childCount() ? parent_->child(i) : nullptr;
}

TreeNode* TreeNode::prevSibling() const {
    if (!parent_) return nullptr;
    const int i = index() - 1;
    return i >= 0 ? parent_->child(i) : nullptr;
}

int TreeNode::level() const {
    int depth = 0;
    for (const TreeNode* p = parent(); p; p = p->parent()) ++depth;
    return depth;
}

int GetNodeType(const TreeNode* node) {
    if (!node) return kKindNone;
    if (node->imageIndex() == kImageContainer) return kKindContainer;
    if (node->imageIndex() == kImageMap) return kKindMap;
    return kKindNone;
}

bool IsNodeAllowed(const TreeNode* node) {
    const int kind = GetNodeType(node);
    return kind == 1 || kind == kKindContainer;
}

// --- Tree utilities -------------------------------------------------------------------

bool SiblingHasText(const TreeNode* node, std::string_view text, bool includeSelf) {
    if (!node) return false;
    if (includeSelf && equalsIgnoreCase(node->text(), text)) return true;
    for (const TreeNode* s = node->prevSibling(); s; s = s->prevSibling())
        if (equalsIgnoreCase(s->text(), text)) return true;
    for (const TreeNode* s = node->nextSibling(); s; s = s->nextSibling())
        if (equalsIgnoreCase(s->text(), text)) return true;
    return false;
}

bool IsUnder(const TreeNode* node, const TreeNode* candidate) {
    if (!node) return false;
    for (const TreeNode* p = candidate; p; p = p->parent())
        if (p == node) return true;
    return false;
}

// --- MapTree: structure -----------------------------------------------------------------

MapTree::MapTree() : holder_(new TreeNode()) { holder_->holder_ = true; }

MapTree::~MapTree() = default;

size_t MapTree::count() const {
    size_t n = 0;
    for (TreeNode* node = firstNode(); node; node = nextInTreeOrder(node)) ++n;
    return n;
}

std::vector<TreeNode*> MapTree::nodesInTreeOrder() const {
    std::vector<TreeNode*> nodes;
    for (TreeNode* node = firstNode(); node; node = nextInTreeOrder(node)) nodes.push_back(node);
    return nodes;
}

TreeNode* MapTree::nextInTreeOrder(const TreeNode* node) {
    if (!node) return nullptr;
    if (node->hasChildren()) return node->firstChild();
    for (const TreeNode* n = node; n && !n->holder_; n = n->parent_)
        if (TreeNode* next = n->nextSibling()) return next;
    return nullptr;
}

TreeNode* MapTree::findFirst(std::string_view text) const {
    for (TreeNode* node = firstNode(); node; node = nextInTreeOrder(node))
        if (node->text() == text) return node;
    return nullptr;
}

void MapTree::setSelected(TreeNode* node) {
    if (node == selected_) return;
    selected_ = node;
    for (MapTreeObserver* o : observers_) o->selectionChanged(node);
}

void MapTree::addObserver(MapTreeObserver* observer) {
    if (observer && std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
        observers_.push_back(observer);
}

void MapTree::removeObserver(MapTreeObserver* observer) {
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

TreeNode* MapTree::attach(TreeNode* parent, int row, std::unique_ptr<TreeNode> node, bool notify) {
    TreeNode* holder = holderOr(parent);
    const int count = holder->childCount();
    if (row < 0 || row > count) row = count;
    if (notify)
        for (MapTreeObserver* o : observers_) o->beforeInsert(parent, row);
    TreeNode* raw = node.get();
    raw->parent_ = holder;
    if (row == count) {
        if (holder->childIndexStale_) holder->renumberChildren();
        raw->index_ = row;
        holder->children_.push_back(std::move(node));
    } else {
        holder->children_.insert(holder->children_.begin() + row, std::move(node));
        holder->childIndexStale_ = true;
    }
    if (notify)
        for (MapTreeObserver* o : observers_) o->afterInsert(raw);
    return raw;
}

std::unique_ptr<TreeNode> MapTree::detach(TreeNode* node, bool notify) {
    TreeNode* holder = node->parent_;
    TreeNode* parent = node->parent();
    const int row = node->index();
    if (notify)
        for (MapTreeObserver* o : observers_) o->beforeRemove(node);
    std::unique_ptr<TreeNode> owned = std::move(holder->children_[static_cast<size_t>(row)]);
    holder->children_.erase(holder->children_.begin() + row);
    if (row < holder->childCount()) holder->childIndexStale_ = true;
    owned->parent_ = nullptr;
    if (notify)
        for (MapTreeObserver* o : observers_) o->afterRemove(parent, row);
    return owned;
}

void MapTree::forgetNodesUnder(TreeNode* node) {
    if (IsUnder(node, root_)) root_ = nullptr;
    if (IsUnder(node, selected_)) setSelected(nullptr);
}

// --- MapTree: operations ------------------------------------------------------------------

TreeNode* MapTree::CriaProjeto(std::string_view name) {
    auto node = std::unique_ptr<TreeNode>(new TreeNode(std::string(name), kImageContainer, kImageContainer));
    TreeNode* raw = attach(nullptr, 0, std::move(node), true);
    root_ = raw;
    setSelected(raw);
    return raw;
}

void MapTree::removeProjeto() { clear(); }

void MapTree::clear() {
    if (isEmpty() && !root_ && !selected_) return;
    for (MapTreeObserver* o : observers_) o->beforeReset();
    const bool hadSelection = selected_ != nullptr;
    root_ = nullptr;
    selected_ = nullptr;
    holder_->children_.clear();  // each node destroys its subtree iteratively
    holder_->childIndexStale_ = false;
    for (MapTreeObserver* o : observers_) o->afterReset();
    if (hadSelection)
        for (MapTreeObserver* o : observers_) o->selectionChanged(nullptr);
}

AddMapResult MapTree::AddMap(std::string_view text, int kind) {
    AddMapResult result;
    if (kind != kKindMap && kind != kKindContainer) {
        result.status = AddMapStatus::IgnoredKind;
        return result;
    }
    if (!root_) {
        result.status = AddMapStatus::NoRoot;
        return result;
    }
    for (const auto& child : root_->children_) {
        if (equalsIgnoreCase(child->text(), text)) {
            result.status = AddMapStatus::Duplicate;
            return result;
        }
    }
    const bool map = kind == kKindMap;
    auto node = std::unique_ptr<TreeNode>(
        new TreeNode(std::string(text), map ? kImageMap : kImageContainer, map ? kImageMap : kImageSelectedContainer));
    result.node = attach(root_, 0, std::move(node), true);
    result.status = AddMapStatus::Added;
    return result;
}

bool MapTree::RemoveMap(std::string_view text) {
    TreeNode* node = findFirst(text);
    if (!node) return false;
    RemoveNode(node);
    return true;
}

void MapTree::RemoveNode(TreeNode* node) {
    if (!node || !node->parent_) return;
    forgetNodesUnder(node);
    detach(node, true);  // the detached subtree is destroyed here
}

// --- MapTree: the tree file ---------------------------------------------------------------

QByteArray MapTree::treeFileBytes() const {
    QByteArray out;
    // Pre-order with the depth of each node, on an explicit stack.
    std::vector<std::pair<const TreeNode*, int>> stack;
    for (int i = topLevelCount() - 1; i >= 0; --i) stack.emplace_back(topLevelNode(i), 0);
    while (!stack.empty()) {
        auto [node, depth] = stack.back();
        stack.pop_back();
        out.append(depth, '\t');
        out.append(node->text().data(), static_cast<qsizetype>(node->text().size()));
        out.append("\r\n", 2);
        for (int i = node->childCount() - 1; i >= 0; --i) stack.emplace_back(node->child(i), depth + 1);
    }
    return out;
}

void MapTree::SaveProject(const QString& projectFolder) const {
    writeFileAtomic(projectPath(projectFolder, kTreeFileName), treeFileBytes(), projectFolder);
}

void MapTree::LoadProject(const ProjectState& project) {
    LoadProject(project.ProjectFolder, project.ProjectName, project.mapFileNames());
}

void MapTree::LoadProject(const QString& projectFolder, std::string_view projectName,
                          const std::vector<std::string>& mapFileNames) {
    const QString path = projectPath(projectFolder, kTreeFileName);
    if (fileExists(path)) {
        loadTreeBytes(readFile(path), projectName, mapFileNames);
        return;
    }
    for (MapTreeObserver* o : observers_) o->beforeReset();
    recomputeKinds(projectName, mapFileNames);
    for (MapTreeObserver* o : observers_) o->afterReset();
}

void MapTree::loadTreeBytes(const QByteArray& bytes, std::string_view projectName,
                            const std::vector<std::string>& mapFileNames) {
    // The file's lines (LF, CR LF taken as one).
    const std::vector<std::string_view> lines =
        format::textLines(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));

    for (MapTreeObserver* o : observers_) o->beforeReset();
    const bool hadSelection = selected_ != nullptr;
    std::string failure;
    if (!lines.empty()) {
        root_ = nullptr;
        selected_ = nullptr;
        holder_->children_.clear();
        holder_->childIndexStale_ = false;

        TreeNode* previous = nullptr;
        int previousDepth = 0;
        for (std::string_view line : lines) {
            size_t level = 0;
            while (level < line.size() && (line[level] == '\t' || line[level] == ' ')) ++level;
            auto node = std::unique_ptr<TreeNode>(
                new TreeNode(std::string(line.substr(level)), kImageContainer, kImageContainer));
            const int depth = static_cast<int>(std::min<size_t>(level, INT32_MAX));
            if (!previous) {
                previous = attach(nullptr, -1, std::move(node), false);
                previousDepth = 0;
            } else if (depth == previousDepth) {
                previous = attach(previous->parent(), -1, std::move(node), false);
            } else if (depth == previousDepth + 1) {
                previous = attach(previous, -1, std::move(node), false);
                previousDepth = depth;
            } else if (depth < previousDepth) {
                TreeNode* ancestor = previous;
                for (int d = previousDepth; d > depth; --d) ancestor = ancestor->parent();
                previous = attach(ancestor->parent(), -1, std::move(node), false);
                previousDepth = depth;
            } else {
                failure = formatMessage("Invalid level (%d) for item \"%s\"",
                                        {std::to_string(depth), cp1252ToUtf8(line.substr(level))});
                break;
            }
        }
    }
    recomputeKinds(projectName, mapFileNames);
    for (MapTreeObserver* o : observers_) o->afterReset();
    if (hadSelection && !selected_)
        for (MapTreeObserver* o : observers_) o->selectionChanged(nullptr);
    if (!failure.empty()) throw Error(failure);
}

void MapTree::recomputeKinds(std::string_view projectName, const std::vector<std::string>& mapFileNames) {
    const std::unordered_set<std::string_view> maps(mapFileNames.begin(), mapFileNames.end());
    TreeNode* named = nullptr;
    for (TreeNode* node = firstNode(); node; node = nextInTreeOrder(node)) {
        if (node->text() == projectName) named = node;
        if (maps.count(node->text())) {
            node->image_ = kImageMap;
            node->selectedImage_ = kImageMap;
        } else {
            node->image_ = kImageContainer;
            node->selectedImage_ = kImageSelectedContainer;
        }
    }
    // A tree whose nodes do not name the project (the name was changed since)
    // keeps its first top-level node as the root.
    root_ = named ? named : firstNode();
}

// --- MapTree: copying and moving ----------------------------------------------------------

TreeNode* MapTree::CopySubtree(TreeNode* node, TreeNode* newParent) {
    if (!node) return nullptr;
    // Build the whole copy apart first, so copying a node under itself copies
    // the subtree as it was.
    auto cloneOf = [](const TreeNode* src) {
        auto copy = std::unique_ptr<TreeNode>(new TreeNode(src->text_, src->image_, src->selectedImage_));
        copy->data_ = src->data_;
        return copy;
    };
    std::unique_ptr<TreeNode> top = cloneOf(node);
    std::vector<std::pair<const TreeNode*, TreeNode*>> stack{{node, top.get()}};
    while (!stack.empty()) {
        auto [src, dst] = stack.back();
        stack.pop_back();
        dst->children_.reserve(src->children_.size());
        for (const auto& child : src->children_) {
            std::unique_ptr<TreeNode> copy = cloneOf(child.get());
            copy->parent_ = dst;
            copy->index_ = static_cast<int>(dst->children_.size());
            stack.emplace_back(child.get(), copy.get());
            dst->children_.push_back(std::move(copy));
        }
    }
    return attach(newParent, -1, std::move(top), true);
}

TreeNode* MapTree::MoveSubtree(TreeNode* node, TreeNode* newParent) { return MoveSubtree(node, newParent, -1); }

TreeNode* MapTree::MoveSubtree(TreeNode* node, TreeNode* newParent, int row) {
    if (!node || !node->parent_ || IsUnder(node, newParent)) return nullptr;
    const bool carriesSelection = IsUnder(node, selected_);
    std::unique_ptr<TreeNode> owned = detach(node, true);
    TreeNode* moved = attach(newParent, row, std::move(owned), true);
    if (carriesSelection)
        for (MapTreeObserver* o : observers_) o->selectionChanged(selected_);
    return moved;
}

std::vector<int> MapTree::placeOf(const TreeNode* node) {
    std::vector<int> place;
    for (const TreeNode* n = node; n; n = n->parent()) place.push_back(n->index());
    std::reverse(place.begin(), place.end());
    return place;
}

TreeNode* MapTree::nodeAt(const std::vector<int>& place) const {
    TreeNode* node = nullptr;
    for (int i : place) {
        const TreeNode* holder = holderOr(node);
        if (i < 0 || i >= holder->childCount()) return nullptr;
        node = holder->child(i);
    }
    return node;
}

// --- MapTree: the frame's questions ------------------------------------------------------

DropOutcome MapTree::checkDrop(const TreeNode* dragged, const TreeNode* target) const {
    if (!dragged || !target || target == dragged || target == dragged->parent() || !dragged->parent() ||
        IsUnder(dragged, target))
        return DropOutcome::Refused;
    if (SiblingHasText(target->firstChild(), dragged->text(), true)) return DropOutcome::RefusedExists;
    if (!IsNodeAllowed(target)) return DropOutcome::Refused;
    return DropOutcome::Moved;
}

DropResult MapTree::DropNode(TreeNode* dragged, TreeNode* target, const QString& projectFolder) {
    DropResult result;
    result.outcome = checkDrop(dragged, target);
    if (result.outcome != DropOutcome::Moved) return result;
    result.node = MoveSubtree(dragged, target);
    SaveProject(projectFolder);
    return result;
}

TreeMenuState MapTree::contextMenuFor(const TreeNode* selected) const {
    TreeMenuState state;
    if (!selected) return state;
    state.novoMapa = true;
    if (selected == root_) {
        state.novaPasta = true;
        return state;
    }
    state.propriedades = true;
    state.novaPasta = IsNodeAllowed(selected);
    state.excluirMapa = !state.novaPasta;
    return state;
}

QString MapTree::mapPathForDoubleClick(const TreeNode* node, const QString& projectFolder) const {
    if (!node || node == root_ || GetNodeType(node) != kKindMap) return QString();
    return projectPath(projectFolder, "Mapas\\" + node->text());
}

}  // namespace quillmark
