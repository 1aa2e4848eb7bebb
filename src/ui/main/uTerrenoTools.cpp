// The canvas's tools, copy and paste and the hero's start: each turns the
// cell under the pointer into one of the session's commands.
#include "model/session/Workspace.h"
#include "ui/main/uTerreno.h"

#include <QPainter>
#include <algorithm>

namespace quillmark {

// --- tools ---------------------------------------------------------------------------

EditLayer TMapCanvas::currentLayer() const {
    switch (mode_) {
    case CellMode::Lower:
        return EditLayer::Fundo;
    case CellMode::Events:
        return EditLayer::XO;
    default:
        return EditLayer::Tipo;
    }
}

unsigned char TMapCanvas::toolValue(const Terreno& cell) const {
    if (mode_ == CellMode::Events) return ws_.session().grid().xo(cell.row, cell.column) == 'O' ? 'X' : 'O';
    return ws_.session().brushCode();
}

void TMapCanvas::floodFillAt(Terreno& cell) {
    commitStroke();
    ws_.session().mapEditing().fill(currentLayer(), cell.row, cell.column, toolValue(cell));
}

void TMapCanvas::fillRectangleBetween(Terreno& from, Terreno& to) {
    commitStroke();
    ws_.session().mapEditing().fillRectangle(currentLayer(), from.row, from.column, to.row, to.column, toolValue(from));
}

bool TMapCanvas::pickAt(Terreno& cell) { return ws_.session().pickBrush(currentLayer(), cell.row, cell.column); }

void TMapCanvas::CriarEvento(Terreno& cell) {
    const int row = cell.row;
    const int column = cell.column;
    commitStroke();
    // The dialog may run a long time; the cell is found again by its place.
    ws_.session().editEvent(row, column);
    // The character dialog may have drawn the character's frames anew.
    tiles_.forgetCharacters();
    if (Terreno* t = this->cell(row, column)) updateCell(*t);
}

bool TMapCanvas::leftClick(Terreno& cell) {
    return ws_.run([&] {
        switch (cell.mode()) {
        case CellMode::Upper:
            Desenhar(cell);
            break;
        case CellMode::Lower:
            MudarFundo(cell);
            break;
        case CellMode::Events:
            MudarXO(cell);
            break;
        }
    });
}

// --- copy and paste ------------------------------------------------------------------

bool TMapCanvas::canColar(const Workspace& ws) { return ws.session().copiedCell().has_value(); }
bool TMapCanvas::canColarEvento(const Workspace& ws) { return !ws.session().copiedEvent().empty(); }
bool TMapCanvas::canColarImagem(const Workspace& ws) { return ws.session().copiedImage().has_value(); }

bool TMapCanvas::Copiar() {
    Terreno* t = hoveredCell();
    if (!t) return false;
    ws_.session().copyCell(t->row, t->column);
    return true;
}

bool TMapCanvas::Colar() {
    Terreno* t = hoveredCell();
    if (!t) return false;
    commitStroke();
    if (!ws_.session().pasteCell(t->row, t->column)) return false;
    tiles_.forgetCharacters();
    updateCell(*t);
    return true;
}

bool TMapCanvas::CopiarEvento() {
    Terreno* t = hoveredCell();
    if (!t) return false;
    ws_.session().copyEvent(t->row, t->column);
    return true;
}

bool TMapCanvas::ColarEvento() {
    Terreno* t = hoveredCell();
    if (!t) return false;
    commitStroke();
    if (!ws_.session().pasteEvent(t->row, t->column)) return false;
    tiles_.forgetCharacters();
    updateCell(*t);
    return true;
}

bool TMapCanvas::CopiarImagem() {
    Terreno* t = hoveredCell();
    if (!t) return false;
    ws_.session().copyImage(t->row, t->column);
    return true;
}

bool TMapCanvas::ColarImagem() {
    Terreno* t = hoveredCell();
    if (!t) return false;
    commitStroke();
    if (!ws_.session().pasteImage(t->row, t->column)) return false;
    updateCell(*t);
    return true;
}

// --- tools and the hero's start -------------------------------------------------------

void TMapCanvas::setTool(MapTool tool) {
    if (tool_ == tool) return;
    commitStroke();
    rectFrom_ = rectTo_ = nullptr;
    tool_ = tool;
    update();
    emit toolChanged(tool);
    emit statusChanged();
}

QString TMapCanvas::toolName(MapTool tool) {
    switch (tool) {
    case MapTool::Balde:
        return QStringLiteral("Balde");
    case MapTool::Retangulo:
        return QStringLiteral("Retângulo");
    case MapTool::ContaGotas:
        return QStringLiteral("Conta-gotas");
    case MapTool::InicioHeroi:
        return QStringLiteral("Início do Herói");
    default:
        return QStringLiteral("Pincel");
    }
}

void TMapCanvas::heroStartChanged() {
    const std::pair<int, int> start = ws_.session().heroStartCell();
    if (start != heroCell_) {
        if (heroCell_.first > 0) update(cellRect(heroCell_.first, heroCell_.second));
        heroCell_ = start;
        if (heroCell_.first > 0) update(cellRect(heroCell_.first, heroCell_.second));
    }
}

void TMapCanvas::drawHeroMark(QPainter& painter) const {
    if (heroCell_.first <= 0 || heroCell_.first > side_ || heroCell_.second > side_) return;
    // A small hero in the cell's lower right corner: head, body and a flag-red cape.
    const QRectF r = cellRect(heroCell_.first, heroCell_.second);
    const qreal s = r.width() / 40.0;
    const QPointF at = r.topLeft() + QPointF(24 * s, 20 * s);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(20, 20, 30), std::max<qreal>(1.0, s)));
    painter.setBrush(QColor(255, 255, 255, 210));
    painter.drawRoundedRect(QRectF(at, QSizeF(15 * s, 19 * s)), 3 * s, 3 * s);
    painter.setBrush(QColor(200, 40, 40));
    painter.drawRect(QRectF(at + QPointF(4 * s, 8 * s), QSizeF(7 * s, 8 * s)));
    painter.setBrush(QColor(240, 200, 160));
    painter.drawEllipse(QRectF(at + QPointF(4.5 * s, 2 * s), QSizeF(6 * s, 6 * s)));
    painter.restore();
}

}  // namespace quillmark
