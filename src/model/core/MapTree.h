#pragma once
// The map tree: the user's arrangement of the project's maps into folders, as
// the project tree frame shows it, and its file "Data\Project.dat".
//
// Nodes carry a CP1252 text and an image index that is their kind:
//   project root  text ProjectName         image 0  selected 0 when created, 2 after a reload
//   folder        name as typed            image 0  selected 2
//   map           file name with ".xml"    image 1  selected 1
//
// The tree file holds one line per node in pre-order: one TAB per level of
// depth, the text, CR LF. Image indices are not stored; a reload recomputes them
// from the project's map list.
//
// This is plain C++: the frame mirrors it, listening through MapTreeObserver.
// Nothing here recurses over the depth of the tree, so trees thousands of
// levels deep load, save, copy, move and are destroyed safely.
#include "model/core/TreeUtils.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quillmark {

struct ProjectState;
class MapTree;

// Image indices of the tree's three pictures.
inline constexpr int kImageContainer = 0;
inline constexpr int kImageMap = 1;
inline constexpr int kImageSelectedContainer = 2;

// Kind numbers (GetNodeType, AddMap).
inline constexpr int kKindNone = 0;
inline constexpr int kKindMap = 2;
inline constexpr int kKindContainer = 3;

// Texts the tree's commands show (UTF-8).
inline constexpr const char* kMapExistsMessage = "Não foi possivel adicionar o Mapa!!\r\rO Mapa Já Existe!!!";
inline constexpr const char* kDropExistsMessage = "O Mapa Já Exixste!!! Arrumar Isso!!!";
inline constexpr const char* kNoFolderHereMessage = "Não é Possivel criar uma pasta no local Selecionado!";
inline constexpr const char* kNewFolderTitle = "Nova Pasta";
inline constexpr const char* kNewFolderPrompt = "Digite o nome da nova Pasta:";
inline constexpr const char* kMenuNovaPasta = "Nova Pasta";
inline constexpr const char* kMenuNovoMapa = "Novo Mapa";
inline constexpr const char* kMenuExcluirMapa = "Excluir Mapa";
inline constexpr const char* kMenuPropriedades = "Propriedades";

// The tree file's place in the project folder.
inline constexpr std::string_view kTreeFileName = "Data\\Project.dat";

class TreeNode {
public:
    TreeNode(const TreeNode&) = delete;
    TreeNode& operator=(const TreeNode&) = delete;
    ~TreeNode();  // destroys the subtree without recursion

    const std::string& text() const { return text_; }
    int imageIndex() const { return image_; }
    int selectedIndex() const { return selectedImage_; }

    // nullptr for a top-level node.
    TreeNode* parent() const;
    int childCount() const { return static_cast<int>(children_.size()); }
    bool hasChildren() const { return !children_.empty(); }
    TreeNode* child(int i) const { return children_[static_cast<size_t>(i)].get(); }
    TreeNode* firstChild() const { return children_.empty() ? nullptr : children_.front().get(); }
    TreeNode* lastChild() const { return children_.empty() ? nullptr : children_.back().get(); }
    // Neighbours among the siblings (top-level nodes are siblings of each other).
    TreeNode* nextSibling() const;
    TreeNode* prevSibling() const;
    // Position among the siblings.
    int index() const;
    // Depth: 0 for a top-level node (walks up the parents).
    int level() const;

    // Data a view may attach; copied (not owned) by CopySubtree.
    void* data() const { return data_; }
    void setData(void* data) { data_ = data; }

private:
    friend class MapTree;
    TreeNode() = default;
    TreeNode(std::string text, int image, int selectedImage)
        : text_(std::move(text)), image_(image), selectedImage_(selectedImage) {}
    void renumberChildren() const;

    std::string text_;
    int image_ = kImageContainer;
    int selectedImage_ = kImageContainer;
    void* data_ = nullptr;
    TreeNode* parent_ = nullptr;  // the tree's hidden holder for a top-level node
    bool holder_ = false;
    std::vector<std::unique_ptr<TreeNode>> children_;
    mutable int index_ = 0;
    mutable bool childIndexStale_ = false;
};

// 0 for no node, 3 for image index 0, 2 for image index 1, 0 for anything else.
int GetNodeType(const TreeNode* node);
// True for kind numbers 1 and 3: the root and folders, the containers.
bool IsNodeAllowed(const TreeNode* node);

// What a view hears. A parent of nullptr means the top level. Insertions and
// removals concern whole subtrees: `afterInsert(node)` brings node with all its
// descendants; `beforeRemove(node)` announces node with all its descendants.
// A reset (load, clear) replaces everything: rebuild from the tree.
class MapTreeObserver {
public:
    virtual ~MapTreeObserver() = default;
    virtual void beforeInsert(TreeNode* /*parent*/, int /*row*/) {}
    virtual void afterInsert(TreeNode* /*node*/) {}
    virtual void beforeRemove(TreeNode* /*node*/) {}
    virtual void afterRemove(TreeNode* /*parent*/, int /*row*/) {}
    virtual void beforeReset() {}
    virtual void afterReset() {}
    virtual void selectionChanged(TreeNode* /*node*/) {}
};

enum class AddMapStatus {
    Added,
    Duplicate,    // a direct child of the root has that text: show kMapExistsMessage
    IgnoredKind,  // kind other than 2 or 3: nothing added
    NoRoot,       // no project root: nothing added
};
struct AddMapResult {
    AddMapStatus status = AddMapStatus::NoRoot;
    TreeNode* node = nullptr;  // the new node when added
};

enum class DropOutcome {
    Refused,        // nothing happens
    RefusedExists,  // show kDropExistsMessage; nothing else happens
    Moved,          // the node now ends the target's children; expand the target fully
};
struct DropResult {
    DropOutcome outcome = DropOutcome::Refused;
    TreeNode* node = nullptr;  // the moved node when moved
};

// Which entries of the tree's context menu are enabled.
struct TreeMenuState {
    bool novaPasta = false;
    bool novoMapa = false;
    bool excluirMapa = false;
    bool propriedades = false;
    bool operator==(const TreeMenuState&) const = default;
};

class MapTree {
public:
    MapTree();
    ~MapTree();
    MapTree(const MapTree&) = delete;
    MapTree& operator=(const MapTree&) = delete;

    // --- Structure -------------------------------------------------------------
    int topLevelCount() const { return holder_->childCount(); }
    TreeNode* topLevelNode(int i) const { return holder_->child(i); }
    TreeNode* firstNode() const { return holder_->firstChild(); }
    bool isEmpty() const { return !holder_->hasChildren(); }
    // Number of nodes (walks the tree).
    size_t count() const;
    // All nodes in tree order (pre-order: a node, its children, its next sibling).
    std::vector<TreeNode*> nodesInTreeOrder() const;
    // The node after `node` in tree order, or nullptr.
    static TreeNode* nextInTreeOrder(const TreeNode* node);
    // The first node in tree order whose text equals `text` exactly.
    TreeNode* findFirst(std::string_view text) const;

    // The root reference: the node CriaProjeto made or, after a reload, the last
    // node in tree order whose text is the project name (the first top-level
    // node when none is). nullptr without a project.
    TreeNode* root() const { return root_; }

    // The selected node, which the view keeps in step with its own selection.
    TreeNode* selected() const { return selected_; }
    void setSelected(TreeNode* node);

    void addObserver(MapTreeObserver* observer);
    void removeObserver(MapTreeObserver* observer);

    // --- Operations -------------------------------------------------------------
    // Inserts a new top-level node before all others (image 0, selected 0),
    // selects it and makes it the root reference.
    TreeNode* CriaProjeto(std::string_view name);
    // Closes the project's tree: deletes the root reference with everything
    // under it, and any other top-level node a tree file held, so nothing of the
    // closed project stays.
    void removeProjeto();
    // Empties the tree.
    void clear();

    // Adds a child as the root's first child: kind 2 a map node, kind 3 a folder.
    // Refuses a text a direct child of the root already has, compared without
    // regard to case (AddMapStatus::Duplicate; the caller shows kMapExistsMessage).
    // Does not save.
    AddMapResult AddMap(std::string_view text, int kind);

    // Deletes the first node in tree order whose text equals `text` exactly, with
    // its descendants. False when there is none. Does not save.
    bool RemoveMap(std::string_view text);
    // Deletes this node with its descendants. Does not save.
    void RemoveNode(TreeNode* node);

    // The tree file's bytes: per node in pre-order, one TAB per level, the text,
    // CR LF. An empty tree gives no bytes.
    QByteArray treeFileBytes() const;
    // Writes the tree file ProjectFolder + "Data\Project.dat" atomically.
    void SaveProject(const QString& projectFolder) const;

    // Rebuilds the tree from ProjectFolder + "Data\Project.dat" when it exists
    // and recomputes the kinds and the root reference. A file with no line keeps
    // the tree as it is (the root CriaProjeto made). A level jump throws
    // Error("Invalid level (%d) for item "%s"") with the tree rebuilt as far
    // as it got (its kinds computed). Without the file, only the recomputation runs.
    void LoadProject(const QString& projectFolder, std::string_view projectName,
                     const std::vector<std::string>& mapFileNames);
    void LoadProject(const ProjectState& project);
    // The same from the tree file's bytes.
    void loadTreeBytes(const QByteArray& bytes, std::string_view projectName,
                       const std::vector<std::string>& mapFileNames);
    // Recomputes every node's kind and the root reference.
    void recomputeKinds(std::string_view projectName, const std::vector<std::string>& mapFileNames);

    // Appends under newParent (nullptr: the top level) a copy of the node and of
    // all its descendants, in order (text, images, attached data). Returns the copy.
    TreeNode* CopySubtree(TreeNode* node, TreeNode* newParent);
    // Moves the node with its descendants to the end of newParent's children
    // (nullptr: the top level). The nodes keep their identity. Refused (returns
    // nullptr) when newParent is the node or lies below it.
    TreeNode* MoveSubtree(TreeNode* node, TreeNode* newParent);
    // The same to place `row` among newParent's children (-1: the end).
    TreeNode* MoveSubtree(TreeNode* node, TreeNode* newParent, int row);

    // A node's place as the positions among its siblings from the top level
    // down (empty for nullptr, the top level), and the node at such a place
    // (nullptr when there is none). Places outlive nodes made anew by an undo.
    static std::vector<int> placeOf(const TreeNode* node);
    TreeNode* nodeAt(const std::vector<int>& place) const;

    // What dropping `dragged` on `target` would do, without doing it.
    DropOutcome checkDrop(const TreeNode* dragged, const TreeNode* target) const;
    // Drops `dragged` on `target`: refused silently when target is absent, is
    // the dragged node or its parent, when the dragged node is top-level, or when
    // the target lies below it; refused with kDropExistsMessage when a child of
    // the target has the dragged node's text (any case); refused silently when
    // the target is not a container. Otherwise moves the node to the end of the
    // target's children and saves the tree into projectFolder.
    DropResult DropNode(TreeNode* dragged, TreeNode* target, const QString& projectFolder);

    // The context menu's enabled entries for the selected node (nullptr: none).
    TreeMenuState contextMenuFor(const TreeNode* selected) const;

    // The map file a double-click on `node` opens: ProjectFolder + "Mapas\" +
    // text for a map node other than the root; empty for anything else.
    QString mapPathForDoubleClick(const TreeNode* node, const QString& projectFolder) const;

private:
    TreeNode* attach(TreeNode* parent, int row, std::unique_ptr<TreeNode> node, bool notify);
    std::unique_ptr<TreeNode> detach(TreeNode* node, bool notify);
    TreeNode* holderOr(TreeNode* parent) const { return parent ? parent : holder_.get(); }
    void forgetNodesUnder(TreeNode* node);

    std::unique_ptr<TreeNode> holder_;  // hidden parent of the top-level nodes
    TreeNode* root_ = nullptr;
    TreeNode* selected_ = nullptr;
    std::vector<MapTreeObserver*> observers_;
};

}  // namespace quillmark
