#include "ui/main/uTerreno.h"

#include "model/session/Workspace.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace quillmark {

// ---------------------------------------------------------------------------
// Terreno

const std::string& Terreno::eventText() const { return grid_->evento(row, column); }

void Terreno::setEventText(std::string text) { grid_->setEvento(row, column, std::move(text)); }

// ---------------------------------------------------------------------------
// TMapCanvas

TMapCanvas::TMapCanvas(Workspace& ws, QWidget* parent)
    : QWidget(parent), ws_(ws), tiles_(TileLookup::fromTables(ws.DataModule1, ws.tiles)) {
    setObjectName(QStringLiteral("MapCanvas"));
    setMouseTracking(true);
    setCursor(Qt::PointingHandCursor);
    // Every exposed pixel is painted by paintEvent.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(0, 0);
    tiles_.setCharacters(
        [&ws](const std::string& name) { return cellpaint::characterFrame(ws.project.ProjectFolder, name); });
    connect(&ws_.session(), &EditorSession::cellsEdited, this, &TMapCanvas::cellsEdited);
}

TMapCanvas::~TMapCanvas() = default;

ViewOptions TMapCanvas::viewOptions() const {
    ViewOptions v;
    v.eventos = ws_.ShowEventos;
    v.objetos = ws_.ShowObjetos;
    v.cordenadas = ws_.ShowCordenadas;
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
    const int n = std::clamp(ws_.grid.N, 0, MapGrid::kCapacity);
    const bool fresh = !wasLoaded;
    if (fresh) destroyCells();
    hovered_ = nullptr;
    stroking_ = false;
    strokeCell_ = nullptr;
    recorder_.reset();
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
            if (!slot) slot = std::make_unique<Terreno>(ws_.grid, r, c);
            Terreno& t = *slot;
            t.row = r;
            t.column = c;
            t.hovered = false;
            DesenharChar(t, ws_.grid.tipo(r, c));
            t.eventMode = false;
            t.lowerMode = false;
        }
    }
    side_ = n;
    mode_ = CellMode::Upper;
    // The layout always uses 40-pixel cells; CellSize keeps its value.
    cellPx_ = cellpaint::kCell;
    resizeToCells();
    update();
    show();
    emit statusChanged();
    return fresh;
}

void TMapCanvas::buildNewMapCells() {
    destroyCells();
    tiles_.forgetCharacters();
    const int n = std::clamp(ws_.grid.N, 0, MapGrid::kCapacity);
    for (int r = 1; r <= n; ++r)
        for (int c = 1; c <= n; ++c)
            cells_[static_cast<std::size_t>(indexOf(r, c))] = std::make_unique<Terreno>(ws_.grid, r, c);
    side_ = n;
    mode_ = CellMode::Upper;
    cellPx_ = cellpaint::kCell;
    resizeToCells();
    update();
    show();
    emit statusChanged();
}

void TMapCanvas::destroyCells() {
    for (auto& slot : cells_) slot.reset();
    side_ = 0;
    hovered_ = nullptr;
    stroking_ = false;
    strokeCell_ = nullptr;
    recorder_.reset();
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
    ws_.CellSize = ws_.CellSize == 20 ? 40 : 20;
    ZoomControl();
}

void TMapCanvas::ZoomControl() {
    cellPx_ = ws_.CellSize > 0 ? ws_.CellSize : cellpaint::kCell;
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
    ws_.CellSize = kZoomSizes[next];
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

void TMapCanvas::drawAtOnce(Terreno& cell, const QImage& picture) {
    const int index = indexOf(cell.row, cell.column);
    auto it = immediate_.find(index);
    if (it == immediate_.end()) {
        // The cell as it is shown now, before the click changed anything, and
        // the picture over it. Over the opaque background the cell is opaque:
        // kept without alpha, it is copied to the screen rather than blended.
        const qreal ratio = devicePixelRatioF();
        const int px = static_cast<int>(std::ceil(cellpaint::kCell * ratio));
        const QColor background = cellpaint::backgroundColor();
        QImage shown(px, px, background.alpha() == 255 ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
        shown.setDevicePixelRatio(ratio);
        shown.fill(background);
        QPainter p(&shown);
        tiles_.reset();
        cellpaint::RefreshMapa(p, ws_.grid, cell.row, cell.column, cell.mode(), viewOptions(), tiles_);
        if (cell.hovered) cellpaint::drawHoverOutline(p);
        if (!picture.isNull()) p.drawImage(QPoint(0, 0), picture);
        p.end();
        immediate_.emplace(index, std::move(shown));
    } else if (!picture.isNull()) {
        QPainter p(&it->second);
        p.drawImage(QPoint(0, 0), picture);
    }
    update(cellRect(cell.row, cell.column));
}

template <class F> void TMapCanvas::recordEdit(const QString& text, F&& change) {
    if (recorder_) {  // part of the stroke being made
        change(*recorder_);
        return;
    }
    recorder_.emplace(ws_.grid);
    recorderText_ = text;
    try {
        change(*recorder_);
    } catch (...) {
        commitStroke();  // what changed before the failure stays undoable
        throw;
    }
    commitStroke();
}

void TMapCanvas::commitStroke() {
    if (!recorder_) return;
    std::vector<CellChange> changes = recorder_->take();
    recorder_.reset();
    ws_.session().pushEdit(std::move(changes), recorderText_);
}

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
    if (!immediate_.empty()) {
        for (auto it = immediate_.begin(); it != immediate_.end();) {
            const int r = it->first / 100 + 1;
            const int c = it->first % 100 + 1;
            if (r >= firstRow && r <= lastRow && c >= firstColumn && c <= lastColumn)
                it = immediate_.erase(it);
            else
                ++it;
        }
    }
    update(cellRect(firstRow, firstColumn).united(cellRect(lastRow, lastColumn)));
}

void TMapCanvas::Desenhar(Terreno& cell) {
    const QImage brush = ws_.BrushImage.drawImage();
    recordEdit(QStringLiteral("Pintar"), [&](EditRecorder& rec) {
        drawAtOnce(cell, brush);  // over the cell as shown before the change
        rec.touch(cell.row, cell.column);
        ws_.grid.setTipo(cell.row, cell.column, ws_.BrushCode);
    });
}

void TMapCanvas::MudarFundo(Terreno& cell) {
    const QImage brush = ws_.BrushImage.drawImage();
    recordEdit(QStringLiteral("Pintar fundo"), [&](EditRecorder& rec) {
        drawAtOnce(cell, brush);
        rec.touch(cell.row, cell.column);
        ws_.grid.setFundo(cell.row, cell.column, ws_.BrushCode);
    });
}

void TMapCanvas::MudarXO(Terreno& cell) {
    recordEdit(QStringLiteral("Marcar"), [&](EditRecorder& rec) {
        rec.touch(cell.row, cell.column);
        const unsigned char now = ws_.grid.xo(cell.row, cell.column);
        ws_.grid.setXO(cell.row, cell.column, now == 'O' ? 'X' : 'O');
    });
    updateCell(cell);
}

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
    if (mode_ == CellMode::Events) return ws_.grid.xo(cell.row, cell.column) == 'O' ? 'X' : 'O';
    return ws_.BrushCode;
}

void TMapCanvas::floodFillAt(Terreno& cell) {
    commitStroke();
    EditRecorder rec(ws_.grid);
    floodFill(ws_.grid, rec, currentLayer(), cell.row, cell.column, toolValue(cell));
    ws_.session().applyEdit(rec.take(), QStringLiteral("Preencher área"));
}

void TMapCanvas::fillRectangleBetween(Terreno& from, Terreno& to) {
    commitStroke();
    EditRecorder rec(ws_.grid);
    fillRectangle(ws_.grid, rec, currentLayer(), from.row, from.column, to.row, to.column, toolValue(from));
    ws_.session().applyEdit(rec.take(), QStringLiteral("Preencher retângulo"));
}

bool TMapCanvas::pickAt(Terreno& cell) {
    if (mode_ == CellMode::Events) return false;
    const unsigned char code = layerValue(ws_.grid, currentLayer(), cell.row, cell.column);
    ws_.BrushCode = code;
    ws_.BrushImage = ws_.PegaImg(code);
    emit brushPicked(code);
    return true;
}

void TMapCanvas::DesenharChar(Terreno& cell, unsigned char code) { ws_.grid.setTipo(cell.row, cell.column, code); }

void TMapCanvas::CriarEvento(Terreno& cell) {
    const int row = cell.row;
    const int column = cell.column;
    commitStroke();
    const std::string text = cell.eventText();
    const std::string result =
        MapGrid::hasEvent(text) ? ws_.session().links().eventScript(text) : ws_.session().links().eventSelector();
    // The dialog may have run a long time; find the cell again by its place.
    // The cell's new text is one undo step; a dialog that changed nothing is
    // one too, so the map counts as modified until that step is undone.
    EditRecorder rec(ws_.grid);
    rec.touch(row, column);
    ws_.grid.setEvento(row, column, result);
    ws_.session().pushEdit(rec.take(), QStringLiteral("Evento"), true);
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

bool TMapCanvas::canColar(const Workspace& ws) { return ws.CopiedCell.has_value(); }
bool TMapCanvas::canColarEvento(const Workspace& ws) { return !ws.CopiedEvent.empty(); }
bool TMapCanvas::canColarImagem(const Workspace& ws) { return ws.CopiedImage.has_value(); }

bool TMapCanvas::Copiar() {
    Terreno* t = hoveredCell();
    if (!t) return false;
    TCopyTile copy;
    copy.row = t->row;
    copy.column = t->column;
    copy.XO = ws_.grid.xo(t->row, t->column);
    copy.event = t->eventText();
    copy.Tipo = ws_.grid.tipo(t->row, t->column);
    copy.Fundo = ws_.grid.fundo(t->row, t->column);
    ws_.CopiedCell = copy;
    ws_.session().clipboardChanged();
    return true;
}

bool TMapCanvas::Colar() {
    Terreno* t = hoveredCell();
    if (!t || !ws_.CopiedCell) return false;
    const TCopyTile& copy = *ws_.CopiedCell;
    recordEdit(QStringLiteral("Colar"), [&](EditRecorder& rec) {
        rec.touch(t->row, t->column);
        t->setEventText(copy.event);
        ws_.grid.setTipo(t->row, t->column, copy.Tipo);
        ws_.grid.setFundo(t->row, t->column, copy.Fundo);
        ws_.grid.setXO(t->row, t->column, copy.XO);
    });
    updateCell(*t);
    return true;
}

bool TMapCanvas::CopiarEvento() {
    Terreno* t = hoveredCell();
    if (!t) return false;
    ws_.CopiedEvent = t->eventText();
    ws_.session().clipboardChanged();
    return true;
}

bool TMapCanvas::ColarEvento() {
    Terreno* t = hoveredCell();
    if (!t || !canColarEvento(ws_)) return false;
    recordEdit(QStringLiteral("Colar Evento"), [&](EditRecorder& rec) {
        rec.touch(t->row, t->column);
        t->setEventText(ws_.CopiedEvent);
    });
    tiles_.forgetCharacters();
    updateCell(*t);
    return true;
}

bool TMapCanvas::CopiarImagem() {
    Terreno* t = hoveredCell();
    if (!t) return false;
    TCopyImage copy;
    copy.Tipo = ws_.grid.tipo(t->row, t->column);
    copy.Fundo = ws_.grid.fundo(t->row, t->column);
    ws_.CopiedImage = copy;
    ws_.session().clipboardChanged();
    return true;
}

bool TMapCanvas::ColarImagem() {
    Terreno* t = hoveredCell();
    if (!t || !ws_.CopiedImage) return false;
    recordEdit(QStringLiteral("Colar Imagem"), [&](EditRecorder& rec) {
        rec.touch(t->row, t->column);
        ws_.grid.setTipo(t->row, t->column, ws_.CopiedImage->Tipo);
        ws_.grid.setFundo(t->row, t->column, ws_.CopiedImage->Fundo);
    });
    updateCell(*t);
    return true;
}

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
    cellpaint::RefreshMapa(painter, ws_.grid, cell.row, cell.column, cell.mode(), view, tiles_, at);
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
    const Qt::KeyboardModifiers mods = event->modifiers();
    if (mods & Qt::AltModifier) {  // the picker
        ws_.run([&] { pickAt(*t); });
        return;
    }
    if (mods & Qt::ShiftModifier) {
        ws_.run([&] { floodFillAt(*t); });
        return;
    }
    if (mods & Qt::ControlModifier) {  // a rectangle, filled when the button is let go
        rectFrom_ = rectTo_ = t;
        update(cellRect(t->row, t->column));
        return;
    }
    // Painting goes on while the button is held, as one undo step; in the
    // event layer the drag gives every cell it crosses the mark the click gave.
    stroking_ = true;
    strokePos_ = pos;
    strokeCell_ = t;
    recorder_.emplace(ws_.grid);
    recorderText_ = t->mode() == CellMode::Upper   ? QStringLiteral("Pintar")
                    : t->mode() == CellMode::Lower ? QStringLiteral("Pintar fundo")
                                                   : QStringLiteral("Marcar");
    if (!leftClick(*t)) {
        stroking_ = false;
        commitStroke();
        return;
    }
    strokeMark_ = ws_.grid.xo(t->row, t->column);
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
            if (ws_.grid.xo(t->row, t->column) != strokeMark_) ok = ws_.run([&] { MudarXO(*t); });
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

// ---------------------------------------------------------------------------
// TMapArea

namespace {

// The picture in the middle of the map area while the first map is laid out.
class WaitingPicture : public QWidget {
public:
    explicit WaitingPicture(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("WaitingPicture"));
        setFixedSize(190, 96);
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        QPainterPath panel;
        panel.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 10, 10);
        p.fillPath(panel, QColor(30, 32, 38, 235));
        p.setPen(QPen(QColor(110, 116, 130), 1));
        p.drawPath(panel);
        // A small square of map tiles, three of them lit.
        const QColor grass(96, 160, 72), water(70, 130, 200), sand(214, 190, 120);
        const QColor tiles[9] = {grass, grass, water, grass, sand, water, sand, sand, grass};
        for (int i = 0; i < 9; ++i) {
            const QRectF r(16 + (i % 3) * 20, 19 + (i / 3) * 20, 18, 18);
            p.fillRect(r, tiles[i]);
        }
        p.setPen(QColor(235, 235, 235));
        QFont f = font();
        f.setPixelSize(13);
        f.setBold(true);
        p.setFont(f);
        p.drawText(QRect(84, 19, 100, 58), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("Carregando\nmapa…"));
    }
};

}  // namespace

TMapArea::TMapArea(Workspace& ws, QWidget* parent)
    : QScrollArea(parent), ws_(ws), canvas_(new TMapCanvas(ws)), waiting_(nullptr) {
    setObjectName(QStringLiteral("MapArea"));
    setWidgetResizable(false);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setFrameShape(QFrame::NoFrame);
    QPalette pal = viewport()->palette();
    pal.setColor(QPalette::Window, cellpaint::backgroundColor());
    viewport()->setPalette(pal);
    viewport()->setBackgroundRole(QPalette::Window);
    viewport()->setAutoFillBackground(true);
    setWidget(canvas_);
    waiting_ = new WaitingPicture(viewport());
    waiting_->hide();

    EditorSession& session = ws_.session();
    connect(&session, &EditorSession::mapOpened, this, &TMapArea::layoutLoadedMap);
    connect(&session, &EditorSession::newMapOpened, canvas_, &TMapCanvas::buildNewMapCells);
    connect(&session, &EditorSession::mapClosed, canvas_, &TMapCanvas::destroyCells);
    connect(&session, &EditorSession::tilesChanged, canvas_, &TMapCanvas::repaintCells);
    connect(canvas_, &TMapCanvas::zoomed, this, &TMapArea::keepUnderPointer);
}

void TMapArea::wheelEvent(QWheelEvent* event) {
    if (event->modifiers() & Qt::ControlModifier) {
        const int delta = event->angleDelta().y();
        const QPoint onCanvas = canvas_->mapFrom(viewport(), event->position().toPoint());
        if (delta != 0) canvas_->zoomStep(delta > 0 ? 1 : -1, onCanvas);
        event->accept();
        return;
    }
    QScrollArea::wheelEvent(event);
}

void TMapArea::keepUnderPointer(QPointF cells, QPoint inViewport) {
    const int px = canvas_->cellPixels();
    horizontalScrollBar()->setValue(static_cast<int>(std::lround(cells.x() * px)) - inViewport.x());
    verticalScrollBar()->setValue(static_cast<int>(std::lround(cells.y() * px)) - inViewport.y());
}

TMapArea::~TMapArea() = default;

bool TMapArea::waitingPictureShown() const { return waiting_->isVisible(); }

void TMapArea::placeWaitingPicture() {
    const QSize area = viewport()->size();
    waiting_->move((area.width() - waiting_->width()) / 2, (area.height() - waiting_->height()) / 2);
}

void TMapArea::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    placeWaitingPicture();
}

void TMapArea::layoutLoadedMap(bool wasLoaded) {
    const bool first = !firstMapLaidOut_;
    if (first) {
        placeWaitingPicture();
        waiting_->show();
        waiting_->raise();
        if (isVisible()) viewport()->repaint();
    }
    canvas_->layoutLoadedMap(wasLoaded);
    if (first) {
        waiting_->hide();
        firstMapLaidOut_ = true;
    }
    show();
}

}  // namespace quillmark
