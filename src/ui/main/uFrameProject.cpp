#include "ui/main/uFrameProject.h"

#include "model/core/MapFile.h"
#include "model/core/Text.h"
#include "model/session/Workspace.h"
#include "ui/common/uArt.h"

#include <QContextMenuEvent>
#include <QDrag>
#include <QHeaderView>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>

namespace quillmark {

namespace {
constexpr int kNodeRole = Qt::UserRole + 1;
}  // namespace

TFrame3::TFrame3(Workspace& ws, QWidget* parent) : QTreeWidget(parent), ws_(ws) {
    setObjectName(QStringLiteral("TFrame3"));
    setHeaderHidden(true);
    setColumnCount(1);
    // Long names scroll sideways rather than being cut short.
    setTextElideMode(Qt::ElideNone);
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    header()->setStretchLastSection(false);
    setIconSize(QSize(16, 16));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
    setDragDropMode(QAbstractItemView::DragDrop);
    setAutoScroll(false);  // the drag scrolls by its own rule
    setContextMenuPolicy(Qt::DefaultContextMenu);

    const qreal dpr = devicePixelRatioF();
    for (int i = 0; i < 3; ++i) images_[i] = art::treeImage(i, dpr);

    menu_ = new QMenu(this);
    novaPasta_ = menu_->addAction(QString::fromUtf8(kMenuNovaPasta));
    novoMapa_ = menu_->addAction(QString::fromUtf8(kMenuNovoMapa));
    excluirMapa_ = menu_->addAction(QString::fromUtf8(kMenuExcluirMapa));
    propriedades_ = menu_->addAction(QString::fromUtf8(kMenuPropriedades));
    connect(novaPasta_, &QAction::triggered, this, [this] { ws_.run([this] { NovaPasta(); }); });
    connect(novoMapa_, &QAction::triggered, this, [this] { ws_.run([this] { ws_.session().newMapCommand(); }); });
    connect(excluirMapa_, &QAction::triggered, this, [this] { ws_.run([this] { ExcluirMapa(); }); });
    // "Propriedades" has no action.

    connect(this, &QTreeWidget::currentItemChanged, this, &TFrame3::onCurrentItemChanged);

    ws_.session().observeTree(this);
    afterReset();
}

TFrame3::~TFrame3() { ws_.session().stopObservingTree(this); }

QString TFrame3::dragMimeType() { return QStringLiteral("application/x-quillmark-tree-node"); }

QTreeWidgetItem* TFrame3::itemFor(const TreeNode* node) const { return node ? items_.value(node, nullptr) : nullptr; }

TreeNode* TFrame3::nodeOf(const QTreeWidgetItem* item) const {
    if (!item) return nullptr;
    return reinterpret_cast<TreeNode*>(item->data(0, kNodeRole).value<quintptr>());
}

QIcon TFrame3::iconFor(const TreeNode* node) const {
    QIcon icon;
    auto image = [this](int index) { return images_[index >= 0 && index < 3 ? index : 0]; };
    icon.addPixmap(image(node->imageIndex()), QIcon::Normal);
    icon.addPixmap(image(node->selectedIndex()), QIcon::Selected);
    return icon;
}

QTreeWidgetItem* TFrame3::buildItem(TreeNode* node) {
    auto* item = new QTreeWidgetItem;
    item->setText(0, fromCp1252(node->text()));
    item->setIcon(0, iconFor(node));
    item->setData(0, kNodeRole, QVariant::fromValue(reinterpret_cast<quintptr>(node)));
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled);
    items_.insert(node, item);
    return item;
}

// Adds the view's items for a node and its descendants, the node at its place among its siblings.
void TFrame3::addSubtree(TreeNode* node) {
    QTreeWidgetItem* top = buildItem(node);
    std::vector<std::pair<TreeNode*, QTreeWidgetItem*>> stack{{node, top}};
    while (!stack.empty()) {
        auto [n, item] = stack.back();
        stack.pop_back();
        QList<QTreeWidgetItem*> children;
        for (int i = 0; i < n->childCount(); ++i) {
            QTreeWidgetItem* child = buildItem(n->child(i));
            children << child;
            stack.emplace_back(n->child(i), child);
        }
        item->addChildren(children);
    }
    if (TreeNode* parent = node->parent()) {
        if (QTreeWidgetItem* parentItem = itemFor(parent)) parentItem->insertChild(node->index(), top);
    } else {
        insertTopLevelItem(node->index(), top);
    }
}

void TFrame3::forgetSubtree(QTreeWidgetItem* item) {
    std::vector<QTreeWidgetItem*> stack{item};
    while (!stack.empty()) {
        QTreeWidgetItem* i = stack.back();
        stack.pop_back();
        items_.remove(nodeOf(i));
        for (int c = 0; c < i->childCount(); ++c) stack.push_back(i->child(c));
    }
}

void TFrame3::afterInsert(TreeNode* node) {
    const bool was = syncing_;
    syncing_ = true;
    addSubtree(node);
    syncing_ = was;
    if (QTreeWidgetItem* item = itemFor(node)) scrollToItem(item);
}

void TFrame3::beforeRemove(TreeNode* node) {
    QTreeWidgetItem* item = itemFor(node);
    if (!item) return;
    const bool was = syncing_;
    syncing_ = true;
    forgetSubtree(item);
    delete item;
    syncing_ = was;
}

void TFrame3::afterReset() {
    const bool was = syncing_;
    syncing_ = true;
    clear();
    items_.clear();
    for (int i = 0; i < ws_.session().tree().topLevelCount(); ++i) addSubtree(ws_.session().tree().topLevelNode(i));
    // A freshly loaded tree shows its first level.
    for (int i = 0; i < topLevelItemCount(); ++i) topLevelItem(i)->setExpanded(true);
    syncing_ = was;
    selectionChanged(ws_.session().tree().selected());
}

void TFrame3::selectionChanged(TreeNode* node) {
    const bool was = syncing_;
    syncing_ = true;
    QTreeWidgetItem* item = itemFor(node);
    if (item) {
        setCurrentItem(item);
        item->setExpanded(true);
    } else {
        setCurrentItem(nullptr);
        clearSelection();
    }
    syncing_ = was;
}

void TFrame3::onCurrentItemChanged(QTreeWidgetItem* current, QTreeWidgetItem* previous) {
    // The node that becomes selected is shown and expanded; the branch left behind closes.
    if (current) {
        for (QTreeWidgetItem* p = current->parent(); p; p = p->parent()) p->setExpanded(true);
        current->setExpanded(true);
    }
    for (QTreeWidgetItem* p = previous; p; p = p->parent()) {
        bool ancestorOfCurrent = false;
        for (QTreeWidgetItem* c = current; c; c = c->parent()) ancestorOfCurrent = ancestorOfCurrent || c == p;
        if (!ancestorOfCurrent) p->setExpanded(false);
    }
    if (!syncing_) {
        syncing_ = true;
        ws_.session().selectTreeNode(nodeOf(current));
        syncing_ = false;
    }
}

// --- context menu -------------------------------------------------------------------

void TFrame3::updateContextMenu() {
    const TreeMenuState state = ws_.session().tree().contextMenuFor(ws_.session().tree().selected());
    novaPasta_->setEnabled(state.novaPasta);
    novoMapa_->setEnabled(state.novoMapa);
    excluirMapa_->setEnabled(state.excluirMapa);
    propriedades_->setEnabled(state.propriedades);
}

void TFrame3::contextMenuEvent(QContextMenuEvent* event) {
    if (!ws_.session().projectOpen()) return;
    updateContextMenu();
    menu_->exec(event->globalPos());
}

void TFrame3::NovaPasta() {
    ws_.run([this] { ws_.session().newFolder(); });
}

void TFrame3::ExcluirMapa() {
    // The folders the user had open stay open once the node is gone.
    std::vector<const TreeNode*> expanded;
    for (auto it = items_.cbegin(); it != items_.cend(); ++it)
        if (it.value()->isExpanded()) expanded.push_back(it.key());
    bool removed = false;
    ws_.run([this, &removed] { removed = ws_.session().removeSelectedFromTree(); });
    if (!removed) return;
    for (const TreeNode* n : expanded)
        if (QTreeWidgetItem* item = itemFor(n)) item->setExpanded(true);
}

// --- double-click -------------------------------------------------------------------

void TFrame3::mouseDoubleClickEvent(QMouseEvent* event) {
    QTreeWidget::mouseDoubleClickEvent(event);
    if (event->button() != Qt::LeftButton) return;
    QTreeWidgetItem* item = itemAt(event->position().toPoint());
    if (!item) return;
    openNode(ws_.session().tree().selected());
}

void TFrame3::openNode(TreeNode* node) {
    if (!ws_.session().projectOpen() || !node) return;
    const QString path = ws_.session().tree().mapPathForDoubleClick(node, ws_.session().project().ProjectFolder);
    if (path.isEmpty()) return;
    const std::string name = node->text();
    ws_.run([&] { ws_.session().openMap(path, name); });
}

// --- drag and drop ------------------------------------------------------------------

void TFrame3::startDrag(Qt::DropActions) {
    TreeNode* node = ws_.session().tree().selected();
    if (!node) return;
    auto* mime = new QMimeData;
    mime->setData(dragMimeType(), QByteArray::number(reinterpret_cast<quintptr>(this)));
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    if (QTreeWidgetItem* item = itemFor(node)) drag->setPixmap(item->icon(0).pixmap(16, 16));
    // The drop itself moves the node in the tree; nothing is done here afterwards.
    drag->exec(Qt::MoveAction, Qt::MoveAction);
}

bool TFrame3::isOwnDrag(const QDropEvent* event) const {
    if (event->source() && event->source() != this) return false;
    const QMimeData* mime = event->mimeData();
    return mime && mime->data(dragMimeType()) == QByteArray::number(reinterpret_cast<quintptr>(this));
}

void TFrame3::dragEnterEvent(QDragEnterEvent* event) {
    if (isOwnDrag(event)) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void TFrame3::dragMoveEvent(QDragMoveEvent* event) {
    if (!isOwnDrag(event)) {
        event->ignore();
        return;
    }
    const int y = event->position().toPoint().y();
    QScrollBar* bar = verticalScrollBar();
    if (y < kScrollMargin)
        bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    else if (y > viewport()->height() - kScrollMargin)
        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    event->setDropAction(Qt::MoveAction);
    event->accept();
}

void TFrame3::dropEvent(QDropEvent* event) {
    if (!isOwnDrag(event)) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
    TreeNode* dragged = ws_.session().tree().selected();
    TreeNode* target = nodeOf(itemAt(event->position().toPoint()));
    ws_.run([&] {
        if (ws_.session().moveInTree(dragged, target) == DropOutcome::Moved)
            if (QTreeWidgetItem* t = itemFor(target)) expandRecursively(indexFromItem(t));
    });
}

}  // namespace quillmark
