#include "ui/main/uTerreno.h"

#include "model/session/Workspace.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace quillmark {

// ---------------------------------------------------------------------------
// Terreno

const std::string& Terreno::eventText() const { return grid_->evento(row, column); }

// ---------------------------------------------------------------------------
// TMapCanvas

TMapCanvas::TMapCanvas(Workspace& ws, QWidget* parent)
    : QWidget(parent), ws_(ws), tiles_(TileLookup::fromTables(ws.session().tables(), ws.session().tiles())) {
    setObjectName(QStringLiteral("MapCanvas"));
    setMouseTracking(true);
    setCursor(Qt::PointingHandCursor);
    // Every exposed pixel is painted by paintEvent.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(0, 0);
    tiles_.setCharacters([&ws](const std::string& name) {
        return cellpaint::characterFrame(ws.session().project().ProjectFolder, name);
    });
    connect(&ws_.session(), &EditorSession::cellsEdited, this, &TMapCanvas::cellsEdited);
    connect(&ws_.session(), &EditorSession::heroStartChanged, this, &TMapCanvas::heroStartChanged);
}

TMapCanvas::~TMapCanvas() = default;

ViewOptions TMapCanvas::viewOptions() const {
    ViewOptions v;
    v.eventos = ws_.session().showEventos();
    v.objetos = ws_.session().showObjetos();
    v.cordenadas = ws_.session().showCordenadas();
    return v;
}

Terreno* TMapCanvas::cell(int row, int column) {
    if (row < 1 || column < 1 || row > side_ || column > side_) return nullptr;
    return cells_[static_cast<std::size_t>(indexOf(row, column))].get();
}

Terreno* TMapCanvas::hoveredCell() { return hovered_; }

QRect TMapCanvas::cellRect(int row, int column) const {
    return QRect(cellPx_ * (column - 1), cellPx_ * (row - 1), cellPx_, cellPx_);
}

Terreno* TMapCanvas::cellAt(const QPoint& pos) {
    if (pos.x() < 0 || pos.y() < 0 || cellPx_ <= 0) return nullptr;
    return cell(pos.y() / cellPx_ + 1, pos.x() / cellPx_ + 1);
}

void TMapCanvas::resizeToCells() { setFixedSize(side_ * cellPx_, side_ * cellPx_); }

void TMapCanvas::clearImmediate() { immediate_.clear(); }

void TMapCanvas::updateCell(const Terreno& cell) {
    immediate_.erase(indexOf(cell.row, cell.column));
    update(cellRect(cell.row, cell.column));
}

// --- laying out ----------------------------------------------------------------

bool TMapCanvas::layoutLoadedMap(bool wasLoaded) {
    const int n = std::clamp(ws_.session().grid().N, 0, MapGrid::kCapacity);
    const bool fresh = !wasLoaded;
    if (fresh) destroyCells();
    hovered_ = nullptr;
    stroking_ = false;
    strokeCell_ = nullptr;
    ws_.session().mapEditing().endStroke();
    rectFrom_ = rectTo_ = nullptr;
    tiles_.forgetCharacters();
    clearImmediate();
    // Cells of the new square are reused or created; those outside it go.
    for (int r = 1; r <= MapGrid::kCapacity; ++r) {
        for (int c = 1; c <= MapGrid::kCapacity; ++c) {
            std::unique_ptr<Terreno>& slot = cells_[static_cast<std::size_t>(indexOf(r, c))];
            if (r > n || c > n) {
                slot.reset();
                continue;
            }
            if (!slot) slot = std::make_unique<Terreno>(ws_.session().grid(), r, c);
            Terreno& t = *slot;
            t.row = r;
            t.column = c;
            t.hovered = false;
            t.eventMode = false;
            t.lowerMode = false;
        }
    }
    side_ = n;
    mode_ = CellMode::Upper;
    // The layout always uses 40-pixel cells; CellSize keeps its value.
    cellPx_ = cellpaint::kCell;
    heroCell_ = ws_.session().heroStartCell();
    resizeToCells();
    update();
    show();
    emit statusChanged();
    return fresh;
}

void TMapCanvas::buildNewMapCells() {
    destroyCells();
    tiles_.forgetCharacters();
    const int n = std::clamp(ws_.session().grid().N, 0, MapGrid::kCapacity);
    for (int r = 1; r <= n; ++r)
        for (int c = 1; c <= n; ++c)
            cells_[static_cast<std::size_t>(indexOf(r, c))] = std::make_unique<Terreno>(ws_.session().grid(), r, c);
    side_ = n;
    mode_ = CellMode::Upper;
    cellPx_ = cellpaint::kCell;
    heroCell_ = ws_.session().heroStartCell();
    resizeToCells();
    update();
    show();
    emit statusChanged();
}

void TMapCanvas::destroyCells() {
    for (auto& slot : cells_) slot.reset();
    side_ = 0;
    heroCell_ = {0, 0};
    hovered_ = nullptr;
    stroking_ = false;
    strokeCell_ = nullptr;
    ws_.session().mapEditing().endStroke();
    rectFrom_ = rectTo_ = nullptr;
    clearImmediate();
    resizeToCells();
    update();
    emit statusChanged();
}

void TMapCanvas::repaintCells() {
    clearImmediate();
    // Character frames may have been drawn anew (the character dialog, a tile edit).
    tiles_.forgetCharacters();
    update();
}

// --- modes -----------------------------------------------------------------------

void TMapCanvas::applyMode(Terreno& cell, CellMode mode) {
    cell.eventMode = mode == CellMode::Events;
    cell.lowerMode = mode == CellMode::Lower;
}

void TMapCanvas::setAllModes(CellMode mode) {
    mode_ = mode;
    for (int r = 1; r <= side_; ++r)
        for (int c = 1; c <= side_; ++c)
            if (Terreno* t = cell(r, c)) applyMode(*t, mode);
    repaintCells();
    emit statusChanged();
}

void TMapCanvas::ModoMapa() { setAllModes(CellMode::Upper); }
void TMapCanvas::ModoFundo() { setAllModes(CellMode::Lower); }
void TMapCanvas::ModoEventos() { setAllModes(CellMode::Events); }

void TMapCanvas::ModoMapa(Terreno& cell) {
    applyMode(cell, CellMode::Upper);
    updateCell(cell);
}
void TMapCanvas::ModoFundo(Terreno& cell) {
    applyMode(cell, CellMode::Lower);
    updateCell(cell);
}
void TMapCanvas::ModoEventos(Terreno& cell) {
    applyMode(cell, CellMode::Events);
    updateCell(cell);
}

// --- zoom ------------------------------------------------------------------------

void TMapCanvas::Zoom() {
    if (!ws_.session().projectOpen() || !ws_.session().mapLoaded()) return;
    ws_.session().setCellSize(ws_.session().cellSize() == 20 ? 40 : 20);
    ZoomControl();
}

void TMapCanvas::ZoomControl() {
    cellPx_ = ws_.session().cellSize() > 0 ? ws_.session().cellSize() : cellpaint::kCell;
    resizeToCells();
    update();
    emit statusChanged();
}

void TMapCanvas::zoomStep(int steps, const QPoint& pos) {
    if (side_ <= 0 || steps == 0) return;
    constexpr int count = static_cast<int>(std::size(kZoomSizes));
    // The step nearest the present size, then one further.
    int at = 0;
    for (int i = 0; i < count; ++i)
        if (std::abs(kZoomSizes[i] - cellPx_) < std::abs(kZoomSizes[at] - cellPx_)) at = i;
    const int next = std::clamp(at + (steps > 0 ? 1 : -1), 0, count - 1);
    if (kZoomSizes[next] == cellPx_) return;
    const QPointF cells(double(pos.x()) / cellPx_, double(pos.y()) / cellPx_);
    const QPoint inParent = mapToParent(pos);
    ws_.session().setCellSize(kZoomSizes[next]);
    ZoomControl();
    emit zoomed(cells, inParent);
}

void TMapCanvas::wheelEvent(QWheelEvent* event) {
    if (!(event->modifiers() & Qt::ControlModifier)) {
        event->ignore();  // the map area scrolls
        return;
    }
    const int delta = event->angleDelta().y();
    if (delta != 0) zoomStep(delta > 0 ? 1 : -1, event->position().toPoint());
    event->accept();
}

// --- cell actions ------------------------------------------------------------------

QImage TMapCanvas::shownWith(const Terreno& cell, const QImage& picture) {
    const int index = indexOf(cell.row, cell.column);
    auto it = immediate_.find(index);
    QImage shown;
    if (it != immediate_.end()) {
        shown = it->second;
    } else {
        // The cell as it is shown now, before the click changed anything. Over
        // the opaque background the cell is opaque: kept without alpha, it is
        // copied to the screen rather than blended.
        const qreal ratio = devicePixelRatioF();
        const int px = static_cast<int>(std::ceil(cellpaint::kCell * ratio));
        const QColor background = cellpaint::backgroundColor();
        shown = QImage(px, px, background.alpha() == 255 ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
        shown.setDevicePixelRatio(ratio);
        shown.fill(background);
        QPainter p(&shown);
        tiles_.reset();
        cellpaint::RefreshMapa(p, ws_.session().grid(), cell.row, cell.column, cell.mode(), viewOptions(), tiles_);
        if (cell.hovered) cellpaint::drawHoverOutline(p);
    }
    if (!picture.isNull()) {
        QPainter p(&shown);
        p.drawImage(QPoint(0, 0), picture);
    }
    return shown;
}

void TMapCanvas::keepShown(const Terreno& cell, QImage shown) {
    immediate_[indexOf(cell.row, cell.column)] = std::move(shown);
    update(cellRect(cell.row, cell.column));
}

void TMapCanvas::commitStroke() { ws_.session().mapEditing().endStroke(); }

void TMapCanvas::cellsEdited(int firstRow, int firstColumn, int lastRow, int lastColumn) {
    updateBand(firstRow, firstColumn, lastRow, lastColumn);
    emit statusChanged();
}

void TMapCanvas::updateBand(int firstRow, int firstColumn, int lastRow, int lastColumn) {
    firstRow = std::max(firstRow, 1);
    firstColumn = std::max(firstColumn, 1);
    lastRow = std::min(lastRow, side_);
    lastColumn = std::min(lastColumn, side_);
    if (lastRow < firstRow || lastColumn < firstColumn) return;
    for (auto it = immediate_.begin(); it != immediate_.end();) {
        const int r = it->first / 100 + 1;
        const int c = it->first % 100 + 1;
        if (r >= firstRow && r <= lastRow && c >= firstColumn && c <= lastColumn)
            it = immediate_.erase(it);
        else
            ++it;
    }
    update(cellRect(firstRow, firstColumn).united(cellRect(lastRow, lastColumn)));
}

// A click of the brush draws its picture over the cell at once; the layers'
// composition returns at the cell's next repaint.
void TMapCanvas::Desenhar(Terreno& cell) {
    QImage shown = shownWith(cell, ws_.session().brushImage().drawImage());
    ws_.session().mapEditing().paint(EditLayer::Tipo, cell.row, cell.column, ws_.session().brushCode());
    keepShown(cell, std::move(shown));
}

void TMapCanvas::MudarFundo(Terreno& cell) {
    QImage shown = shownWith(cell, ws_.session().brushImage().drawImage());
    ws_.session().mapEditing().paint(EditLayer::Fundo, cell.row, cell.column, ws_.session().brushCode());
    keepShown(cell, std::move(shown));
}

void TMapCanvas::MudarXO(Terreno& cell) { ws_.session().mapEditing().toggleMark(cell.row, cell.column); }

// --- painting --------------------------------------------------------------------------

void TMapCanvas::paintCell(QPainter& painter, const Terreno& cell, const ViewOptions& view) {
    // Cells are drawn at 40 pixels; at another cell size the painter scales
    // the whole drawing to the cell.
    const cellpaint::CellView at{QPoint(cellpaint::kCell * (cell.column - 1), cellpaint::kCell * (cell.row - 1)),
                                 cellpaint::kCell};
    auto it = immediate_.find(indexOf(cell.row, cell.column));
    if (it != immediate_.end()) {
        cellpaint::drawCellPicture(painter, it->second, at);
        return;
    }
    cellpaint::RefreshMapa(painter, ws_.session().grid(), cell.row, cell.column, cell.mode(), view, tiles_, at);
    if (cell.hovered) cellpaint::drawHoverOutline(painter, at);
}

void TMapCanvas::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect exposed = event->rect();
    painter.fillRect(exposed, cellpaint::backgroundColor());
    if (side_ <= 0 || cellPx_ <= 0) return;
    tiles_.reset();
    const ViewOptions view = viewOptions();
    const int firstRow = std::max(1, exposed.top() / cellPx_ + 1);
    const int lastRow = std::min(side_, exposed.bottom() / cellPx_ + 1);
    const int firstColumn = std::max(1, exposed.left() / cellPx_ + 1);
    const int lastColumn = std::min(side_, exposed.right() / cellPx_ + 1);
    if (cellPx_ != cellpaint::kCell) {
        painter.save();
        painter.scale(double(cellPx_) / cellpaint::kCell, double(cellPx_) / cellpaint::kCell);
        // Smaller tiles are averaged; larger ones keep their crisp pixels.
        painter.setRenderHint(QPainter::SmoothPixmapTransform, cellPx_ < cellpaint::kCell);
    }
    for (int r = firstRow; r <= lastRow; ++r) {
        for (int c = firstColumn; c <= lastColumn; ++c) {
            if (const Terreno* t = cells_[static_cast<std::size_t>(indexOf(r, c))].get()) paintCell(painter, *t, view);
        }
    }
    if (cellPx_ != cellpaint::kCell) painter.restore();
    if (exposed.intersects(cellRect(heroCell_.first, heroCell_.second))) drawHeroMark(painter);
    // The rectangle a Ctrl+drag will fill.
    if (rectFrom_ && rectTo_) {
        const QRect band = cellRect(rectFrom_->row, rectFrom_->column).united(cellRect(rectTo_->row, rectTo_->column));
        painter.setPen(QPen(QColor(255, 204, 0), 2, Qt::DashLine));
        painter.setBrush(QColor(255, 204, 0, 50));
        painter.drawRect(band.adjusted(1, 1, -1, -1));
    }
}

// --- mouse -------------------------------------------------------------------------------

void TMapCanvas::setHovered(Terreno* cell) {
    if (cell == hovered_) return;
    if (hovered_) {
        hovered_->hovered = false;
        updateCell(*hovered_);  // leaving repaints the cell
    }
    hovered_ = cell;
    if (hovered_) {
        hovered_->hovered = true;
        update(cellRect(hovered_->row, hovered_->column));
    }
    emit statusChanged();
}

void TMapCanvas::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    Terreno* t = cellAt(pos);
    setHovered(t);
    if (!t) return;
    if (event->button() == Qt::RightButton) {
        stroking_ = false;
        ws_.run([&] { CriarEvento(*t); });
        return;
    }
    if (event->button() != Qt::LeftButton) return;
    commitStroke();
    // The held modifiers choose a tool for this click; otherwise the chosen tool acts.
    const Qt::KeyboardModifiers mods = event->modifiers();
    MapTool tool = tool_;
    if (mods & Qt::AltModifier)
        tool = MapTool::ContaGotas;
    else if (mods & Qt::ShiftModifier)
        tool = MapTool::Balde;
    else if (mods & Qt::ControlModifier)
        tool = MapTool::Retangulo;
    switch (tool) {
    case MapTool::ContaGotas:
        ws_.run([&] { pickAt(*t); });
        return;
    case MapTool::Balde:
        ws_.run([&] { floodFillAt(*t); });
        return;
    case MapTool::Retangulo:  // filled when the button is let go
        rectFrom_ = rectTo_ = t;
        update(cellRect(t->row, t->column));
        return;
    case MapTool::InicioHeroi:
        ws_.run([&] { ws_.session().setHeroStart(t->row, t->column); });
        return;
    case MapTool::Pincel:
        break;
    }
    // Painting goes on while the button is held, as one undo step; in the
    // event layer the drag gives every cell it crosses the mark the click gave.
    stroking_ = true;
    strokePos_ = pos;
    strokeCell_ = t;
    ws_.session().mapEditing().beginStroke();
    if (!leftClick(*t)) {
        stroking_ = false;
        commitStroke();
        return;
    }
    strokeMark_ = ws_.session().grid().xo(t->row, t->column);
}

void TMapCanvas::mouseDoubleClickEvent(QMouseEvent* event) {
    // The window system sends the second press of a quick pair as a
    // double-click and no press of its own: it is a click like the first.
    mousePressEvent(event);
}

void TMapCanvas::strokeTo(const QPoint& pos) {
    // Every cell on the line from the last position to this one, in order,
    // so that a fast movement skips none.
    const QPoint from = strokePos_;
    const int dx = pos.x() - from.x();
    const int dy = pos.y() - from.y();
    const int steps = std::max(std::abs(dx), std::abs(dy));
    for (int i = 1; i <= steps; ++i) {
        const QPoint p(from.x() + static_cast<int>(std::lround(double(dx) * i / steps)),
                       from.y() + static_cast<int>(std::lround(double(dy) * i / steps)));
        Terreno* t = cellAt(p);
        if (t == strokeCell_) continue;
        strokeCell_ = t;
        if (!t) continue;
        setHovered(t);
        bool ok = true;
        if (t->mode() == CellMode::Events) {
            if (ws_.session().grid().xo(t->row, t->column) != strokeMark_) ok = ws_.run([&] { MudarXO(*t); });
        } else {
            ok = leftClick(*t);
        }
        if (!ok) {  // an error box ends the stroke
            stroking_ = false;
            commitStroke();
            return;
        }
    }
    strokePos_ = pos;
}

void TMapCanvas::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (stroking_ && (event->buttons() & Qt::LeftButton)) strokeTo(pos);
    if (rectFrom_ && side_ > 0) {
        // The corner follows the pointer, held inside the map.
        const int row = std::clamp(pos.y() / std::max(cellPx_, 1) + 1, 1, side_);
        const int column = std::clamp(pos.x() / std::max(cellPx_, 1) + 1, 1, side_);
        Terreno* corner = cell(row, column);
        if (corner && corner != rectTo_) {
            rectTo_ = corner;
            update();
        }
    }
    setHovered(cellAt(pos));
}

void TMapCanvas::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    stroking_ = false;
    strokeCell_ = nullptr;
    commitStroke();
    if (rectFrom_ && rectTo_) {
        Terreno* from = rectFrom_;
        Terreno* to = rectTo_;
        rectFrom_ = rectTo_ = nullptr;
        update();
        ws_.run([&] { fillRectangleBetween(*from, *to); });
    }
}

void TMapCanvas::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    if (!stroking_) setHovered(nullptr);
}

}  // namespace quillmark
