#pragma once
// TFrame3: the project tree in the main window's left column, a view over the
// workspace's MapTree. It mirrors the tree through MapTreeObserver, keeps the
// selection in step both ways, expands the node that becomes selected, and
// carries the tree's context menu, double-click and drag and drop.
#include "model/core/MapTree.h"

#include <QHash>
#include <QIcon>
#include <QTreeWidget>

class QAction;
class QMenu;

namespace quillmark {

class Workspace;

class TFrame3 : public QTreeWidget, public MapTreeObserver {
    Q_OBJECT
public:
    // Pixels from the top or bottom edge within which a drag scrolls the tree.
    static constexpr int kScrollMargin = 15;

    explicit TFrame3(Workspace& ws, QWidget* parent = nullptr);
    ~TFrame3() override;

    // The view's item of a node and the node of an item.
    QTreeWidgetItem* itemFor(const TreeNode* node) const;
    TreeNode* nodeOf(const QTreeWidgetItem* item) const;

    // The context menu and its four entries, enabled for the selected node.
    QMenu* contextMenu() const { return menu_; }
    QAction* novaPastaAction() const { return novaPasta_; }
    QAction* novoMapaAction() const { return novoMapa_; }
    QAction* excluirMapaAction() const { return excluirMapa_; }
    QAction* propriedadesAction() const { return propriedades_; }
    void updateContextMenu();

    // The entries' actions.
    void NovaPasta();
    void ExcluirMapa();
    // A double-click on a node: opens it when it is a map.
    void openNode(TreeNode* node);

    // The MIME type a drag of this tree carries.
    static QString dragMimeType();

    // --- MapTreeObserver ---------------------------------------------------------
    void afterInsert(TreeNode* node) override;
    void beforeRemove(TreeNode* node) override;
    void afterReset() override;
    void selectionChanged(TreeNode* node) override;

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QTreeWidgetItem* buildItem(TreeNode* node);
    void addSubtree(TreeNode* node);
    void forgetSubtree(QTreeWidgetItem* item);
    QIcon iconFor(const TreeNode* node) const;
    bool isOwnDrag(const QDropEvent* event) const;
    void onCurrentItemChanged(QTreeWidgetItem* current, QTreeWidgetItem* previous);

    Workspace& ws_;
    QHash<const TreeNode*, QTreeWidgetItem*> items_;
    QPixmap images_[3];
    QMenu* menu_ = nullptr;
    QAction* novaPasta_ = nullptr;
    QAction* novoMapa_ = nullptr;
    QAction* excluirMapa_ = nullptr;
    QAction* propriedades_ = nullptr;
    bool syncing_ = false;
};

}  // namespace quillmark
