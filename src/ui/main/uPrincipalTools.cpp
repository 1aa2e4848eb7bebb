// TForm1's map editing: the commands that open a window or change the view,
// "Desfazer" and "Refazer", the map tools in the "Editar" menu and their tool
// bar, and the status bar.
#include "model/core/Format.h"
#include "model/core/RecordTable.h"
#include "model/core/Text.h"
#include "model/session/Workspace.h"
#include "ui/common/uWindowTitle.h"
#include "ui/main/uFrameProject.h"
#include "ui/main/uFrameTiles.h"
#include "ui/main/uPrincipal.h"
#include "ui/main/uTerreno.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QActionGroup>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTextEdit>
#include <QToolBar>
#include <QUndoStack>

namespace quillmark {

// --- commands that open a window or change the view --------------------------------------------

void TForm1::ZoomClick() {
    if (!projectAndMap()) return;
    ws_.run([this] { mapArea_->canvas()->Zoom(); });
}

void TForm1::NovoMapaClick() {
    if (!ws_.session().projectOpen()) return;
    ws_.run([this] { ws_.session().newMapCommand(); });
}

void TForm1::PropriedadesClick() {
    if (!projectAndMap()) return;
    ws_.run([this] { ws_.session().links().mapProperties(); });
}

void TForm1::BancoDadosClick() {
    if (!ws_.session().projectOpen()) return;
    ws_.run([this] { ws_.session().links().database(); });
}

void TForm1::NovoProjetoClick() {
    ws_.run([this] { ws_.session().links().newProjectWizard(); });
}

void TForm1::SobreClick() {
    if (auto* dialog = qobject_cast<QDialog*>(about_)) dialog->exec();
}

void TForm1::toggleView(QAction* action, bool Workspace::*flag) {
    ws_.*flag = action->isChecked();
    ws_.run([this] {
        if (mapArea_) mapArea_->canvas()->repaintCells();
    });
}

// --- parts ---------------------------------------------------------------------------------------------

QAction* TForm1::menuAction(const QString& caption) const { return actions_.value(caption, nullptr); }

TToolButton* TForm1::toolButton(const QString& hint) const { return buttons_.value(hint, nullptr); }

// --- undo, redo and the status bar ------------------------------------------------------------

void TForm1::buildUndoEntries(QMenu* editar) {
    QUndoStack& stack = ws_.session().undoStack();
    QUndoStack& tree = ws_.session().treeUndoStack();
    QAction* undo =
        addEntry(editar, QStringLiteral("Desfazer"), QKeySequence(QStringLiteral("Ctrl+Z")), &TForm1::DesfazerClick);
    QAction* redo =
        addEntry(editar, QStringLiteral("Refazer"), QKeySequence(QStringLiteral("Ctrl+Y")), &TForm1::RefazerClick);
    redo->setShortcuts({QKeySequence(QStringLiteral("Ctrl+Y")), QKeySequence(QStringLiteral("Ctrl+Shift+Z"))});
    auto follow = [this, undo, redo] {
        QUndoStack& map = ws_.session().undoStack();
        QUndoStack& steps = ws_.session().treeUndoStack();
        undo->setEnabled(map.canUndo() || steps.canUndo());
        redo->setEnabled(map.canRedo() || steps.canRedo());
    };
    for (QUndoStack* s : {&stack, &tree}) {
        connect(s, &QUndoStack::canUndoChanged, this, follow);
        connect(s, &QUndoStack::canRedoChanged, this, follow);
    }
    follow();
}

QUndoStack& TForm1::undoTarget(bool redo) const {
    // The project tree's steps (folders made, maps moved) are undone while the
    // tree has the focus; the map's edits otherwise. A stack with nothing to
    // undo gives way to the other.
    QUndoStack& map = ws_.session().undoStack();
    QUndoStack& tree = ws_.session().treeUndoStack();
    const bool treeFirst = tree_ && tree_->hasFocus();
    QUndoStack& first = treeFirst ? tree : map;
    QUndoStack& second = treeFirst ? map : tree;
    const bool firstCan = redo ? first.canRedo() : first.canUndo();
    return firstCan ? first : second;
}

void TForm1::DesfazerClick() {
    ws_.run([this] {
        if (mapArea_) mapArea_->canvas()->commitStroke();
        undoTarget(false).undo();
    });
}

void TForm1::RefazerClick() {
    ws_.run([this] {
        if (mapArea_) mapArea_->canvas()->commitStroke();
        undoTarget(true).redo();
    });
}

// --- the map tools --------------------------------------------------------------------------

namespace {

// A small picture for each tool, drawn rather than read from a file.
QIcon toolIcon(MapTool tool) {
    QPixmap pm(24, 24);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink(40, 44, 52);
    p.setPen(QPen(ink, 1.6));
    switch (tool) {
    case MapTool::Pincel:
        p.setBrush(QColor(150, 100, 60));
        p.drawLine(QPointF(18, 4), QPointF(10, 13));
        p.setBrush(QColor(70, 130, 200));
        p.drawEllipse(QRectF(4, 12, 9, 8));
        break;
    case MapTool::Balde:
        p.setBrush(QColor(220, 220, 230));
        p.drawPolygon(QPolygonF({QPointF(5, 8), QPointF(15, 4), QPointF(19, 14), QPointF(9, 18)}));
        p.setBrush(QColor(70, 130, 200));
        p.drawEllipse(QRectF(16, 15, 5, 6));
        break;
    case MapTool::Retangulo:
        p.setBrush(QColor(96, 160, 72, 170));
        p.drawRect(QRectF(4, 6, 16, 12));
        break;
    case MapTool::ContaGotas:
        p.setBrush(QColor(200, 200, 210));
        p.drawLine(QPointF(5, 19), QPointF(14, 10));
        p.setBrush(ink);
        p.drawEllipse(QRectF(13, 4, 7, 7));
        break;
    case MapTool::InicioHeroi:
        p.setBrush(QColor(200, 40, 40));
        p.drawRect(QRectF(8, 11, 8, 9));
        p.setBrush(QColor(240, 200, 160));
        p.drawEllipse(QRectF(8.5, 3, 7, 7));
        break;
    }
    return QIcon(pm);
}

// The tool keys are plain letters, window shortcuts of the main window. A
// letter typed into a text entry or a spin box always goes there. A letter
// typed while the project tree or a list has the focus (their type-to-jump)
// goes to them too, unless the pointer rests on the map: then the letter is
// the map's, as Shift+C and Shift+V work on the cell under the pointer. The
// widget claims the key before the shortcut fires.
class TTypingGuard : public QObject {
public:
    TTypingGuard(QWidget* window, std::function<bool()> pointerOnMap)
        : QObject(window), window_(window), pointerOnMap_(std::move(pointerOnMap)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::ShortcutOverride) return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || widget->window() != window_) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
        if (key->text().isEmpty() || !key->text().at(0).isPrint()) return false;
        const bool entry = qobject_cast<QLineEdit*>(widget) || qobject_cast<QAbstractSpinBox*>(widget) ||
                           qobject_cast<QTextEdit*>(widget) || qobject_cast<QPlainTextEdit*>(widget);
        const bool jumps = qobject_cast<QAbstractItemView*>(widget) || qobject_cast<QComboBox*>(widget);
        if (!entry && !(jumps && !pointerOnMap_())) return false;
        event->accept();
        return true;
    }

private:
    QWidget* window_;
    std::function<bool()> pointerOnMap_;
};

}  // namespace

void TForm1::buildTools(QMenu* editar) {
    struct Entry {
        MapTool tool;
        const char* key;
        const char* tip;
    };
    const Entry entries[] = {
        {MapTool::Pincel, "B", "Pinta com o tile escolhido; arrastar pinta cada célula do caminho"},
        {MapTool::Balde, "F", "Preenche a área ligada da célula clicada (também Shift+clique)"},
        {MapTool::Retangulo, "R", "Preenche o retângulo arrastado (também Ctrl+arrastar)"},
        {MapTool::ContaGotas, "I", "Toma o tile da célula clicada como pincel (também Alt+clique)"},
        {MapTool::InicioHeroi, "H", "Clique numa célula: o herói começa o jogo nela, neste mapa"},
    };
    qApp->installEventFilter(
        new TTypingGuard(this, [this] { return mapArea_ && mapArea_->canvas()->hoveredCell() != nullptr; }));
    fitDialogTitles(this);  // every dialog of the editor shows its whole title
    tools_ = addToolBar(QStringLiteral("Ferramentas"));
    tools_->setObjectName(QStringLiteral("MapTools"));
    tools_->setMovable(false);
    tools_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    auto* group = new QActionGroup(this);
    group->setExclusive(true);
    editar->addSeparator();
    for (const Entry& e : entries) {
        const QString caption = TMapCanvas::toolName(e.tool);
        QAction* a = addEntry(editar, caption, QKeySequence(QString::fromUtf8(e.key)), nullptr);
        a->setCheckable(true);
        a->setChecked(e.tool == MapTool::Pincel);
        a->setIcon(toolIcon(e.tool));
        a->setToolTip(QStringLiteral("%1 (%2)\n%3").arg(caption, QString::fromUtf8(e.key), QString::fromUtf8(e.tip)));
        a->setStatusTip(QString::fromUtf8(e.tip));
        group->addAction(a);
        tools_->addAction(a);
        toolActions_.insert(int(e.tool), a);
        const MapTool tool = e.tool;
        connect(a, &QAction::triggered, this, [this, tool] {
            if (mapArea_) mapArea_->canvas()->setTool(tool);
        });
    }
}

QAction* TForm1::toolAction(MapTool tool) const { return toolActions_.value(int(tool), nullptr); }

void TForm1::updateTools() {
    const bool on = projectAndMap();
    for (QAction* a : std::as_const(toolActions_)) a->setEnabled(on);
}

void TForm1::showTool(MapTool tool) {
    if (QAction* a = toolAction(tool)) a->setChecked(true);
    if (toolStatus_) toolStatus_->setText(QStringLiteral("Ferramenta: %1").arg(TMapCanvas::toolName(tool)));
}

void TForm1::connectEditing() {
    status_ = new QLabel;
    status_->setObjectName(QStringLiteral("StatusText"));
    status_->setTextFormat(Qt::PlainText);
    statusBar()->addWidget(status_, 1);
    toolStatus_ = new QLabel;
    toolStatus_->setObjectName(QStringLiteral("ToolStatus"));
    statusBar()->addPermanentWidget(toolStatus_);
    EditorSession& session = ws_.session();
    TMapCanvas* canvas = mapArea_->canvas();
    connect(canvas, &TMapCanvas::statusChanged, this, &TForm1::updateStatus);
    connect(canvas, &TMapCanvas::toolChanged, this, &TForm1::showTool);
    showTool(canvas->tool());
    connect(&session, &EditorSession::modifiedChanged, this, &TForm1::updateStatus);
    connect(&session, &EditorSession::stateChanged, this, &TForm1::updateStatus);
    // The picker's tile is chosen in the palette, on its list.
    connect(&session, &EditorSession::brushPicked, this, [this](unsigned char code) {
        palette_->pickCode(code);
        lista_->setCurrentIndex(palette_->currentPanel());
    });
    updateStatus();
}

namespace {

// The picture file of a tile code in the tiles table ("" when it has none).
QString tileFileName(const RecordTable& tiles, unsigned char code) {
    const int record = format::tileRecordIndex(tiles, code);
    const int field = tiles.fieldIndex("File");
    if (record < 0 || field < 0) return QString();
    const auto& value = tiles.allRecords()[static_cast<std::size_t>(record)][static_cast<std::size_t>(field)];
    return value ? fromCp1252(*value) : QString();
}

}  // namespace

QString TForm1::statusText() const {
    const EditorSession& session = ws_.session();
    if (!session.projectOpen() || !session.mapLoaded()) return QString();
    QStringList parts;
    TMapCanvas* canvas = mapArea_->canvas();
    const CellMode mode = canvas->currentMode();
    if (const Terreno* t = canvas->hoveredCell()) {
        parts << QStringLiteral("Linha %1, Coluna %2").arg(t->row).arg(t->column);
        if (mode == CellMode::Events) {
            parts << QStringLiteral("Marca %1").arg(QChar(ws_.grid.xo(t->row, t->column)));
        } else {
            const unsigned char code =
                mode == CellMode::Lower ? ws_.grid.fundo(t->row, t->column) : ws_.grid.tipo(t->row, t->column);
            QString tile = QStringLiteral("Tile %1 (%2)").arg(code).arg(fromCp1252(std::string(1, char(code))));
            const QString file = tileFileName(ws_.DataModule1.cdsTiles, code);
            if (!file.isEmpty()) tile += QStringLiteral(" ") + file;
            parts << tile;
        }
    }
    parts << (mode == CellMode::Lower    ? QStringLiteral("Camada Inferior")
              : mode == CellMode::Events ? QStringLiteral("Camada de Eventos")
                                         : QStringLiteral("Camada Superior"));
    QString map = fromCp1252(session.currentMap());
    if (session.modified()) map += QStringLiteral(" (modificado)");
    parts << map;
    return parts.join(QStringLiteral("   |   "));
}

void TForm1::updateStatus() {
    if (status_) status_->setText(statusText());
}

}  // namespace quillmark
