#include "editor/uTerreno.h"

#include "session/Workspace.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
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
    return fresh;
}

void TMapCanvas::buildNewMapCells() {
    destroyCells();
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
}

void TMapCanvas::destroyCells() {
    for (auto& slot : cells_) slot.reset();
    side_ = 0;
    hovered_ = nullptr;
    stroking_ = false;
    strokeCell_ = nullptr;
    clearImmediate();
    resizeToCells();
    update();
}

void TMapCanvas::repaintCells() {
    clearImmediate();
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
}

// --- cell actions ------------------------------------------------------------------

void TMapCanvas::drawAtOnce(Terreno& cell, const QImage& picture) {
    const int index = indexOf(cell.row, cell.column);
    auto it = immediate_.find(index);
    if (it == immediate_.end()) {
        // The cell as it is shown now, before the click changed anything.
        const qreal ratio = devicePixelRatioF();
        const int px = static_cast<int>(std::ceil(cellpaint::kCell * ratio));
        QImage shown(px, px, QImage::Format_ARGB32_Premultiplied);
        shown.setDevicePixelRatio(ratio);
        shown.fill(cellpaint::backgroundColor());
        QPainter p(&shown);
        tiles_.reset();
        cellpaint::RefreshMapa(p, ws_.grid, cell.row, cell.column, cell.mode(), viewOptions(), tiles_);
        if (cell.hovered) cellpaint::drawHoverOutline(p);
        p.end();
        it = immediate_.emplace(index, std::move(shown)).first;
    }
    if (!picture.isNull()) {
        QPainter p(&it->second);
        p.drawImage(QPoint(0, 0), picture);
    }
    update(cellRect(cell.row, cell.column));
}

void TMapCanvas::Desenhar(Terreno& cell) {
    ws_.session().markModified();
    const QImage brush = ws_.BrushImage.drawImage();
    drawAtOnce(cell, QImage());  // keep the cell as shown before the change
    ws_.grid.setTipo(cell.row, cell.column, ws_.BrushCode);
    drawAtOnce(cell, brush);
}

void TMapCanvas::MudarFundo(Terreno& cell) {
    ws_.session().markModified();
    const QImage brush = ws_.BrushImage.drawImage();
    drawAtOnce(cell, QImage());
    ws_.grid.setFundo(cell.row, cell.column, ws_.BrushCode);
    drawAtOnce(cell, brush);
}

void TMapCanvas::MudarXO(Terreno& cell) {
    ws_.session().markModified();
    const unsigned char now = ws_.grid.xo(cell.row, cell.column);
    ws_.grid.setXO(cell.row, cell.column, now == 'O' ? 'X' : 'O');
    updateCell(cell);
}

void TMapCanvas::DesenharChar(Terreno& cell, unsigned char code) { ws_.grid.setTipo(cell.row, cell.column, code); }

void TMapCanvas::CriarEvento(Terreno& cell) {
    const int row = cell.row;
    const int column = cell.column;
    ws_.session().markModified();
    const std::string text = cell.eventText();
    if (MapGrid::hasEvent(text))
        ws_.session().links().eventScript(text);
    else
        ws_.session().links().eventSelector();
    // The dialog may have run a long time; find the cell again by its place.
    ws_.grid.setEvento(row, column, ws_.EventResult);
    ws_.EventResult = "NULL";
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
    t->setEventText(copy.event);
    ws_.grid.setTipo(t->row, t->column, copy.Tipo);
    ws_.grid.setFundo(t->row, t->column, copy.Fundo);
    ws_.grid.setXO(t->row, t->column, copy.XO);
    ws_.session().markModified();
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
    t->setEventText(ws_.CopiedEvent);
    ws_.session().markModified();
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
    ws_.grid.setTipo(t->row, t->column, ws_.CopiedImage->Tipo);
    ws_.grid.setFundo(t->row, t->column, ws_.CopiedImage->Fundo);
    ws_.session().markModified();
    updateCell(*t);
    return true;
}

// --- painting --------------------------------------------------------------------------

void TMapCanvas::paintCell(QPainter& painter, const Terreno& cell, const ViewOptions& view) {
    // The drawing is not scaled: a smaller cell shows its top-left part.
    const cellpaint::CellView at{QPoint(cellPx_ * (cell.column - 1), cellPx_ * (cell.row - 1)), cellPx_};
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
    for (int r = firstRow; r <= lastRow; ++r) {
        for (int c = firstColumn; c <= lastColumn; ++c) {
            if (const Terreno* t = cells_[static_cast<std::size_t>(indexOf(r, c))].get()) paintCell(painter, *t, view);
        }
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
    // Painting goes on while the button is held; marks toggle once per click.
    stroking_ = t->mode() != CellMode::Events;
    strokePos_ = pos;
    strokeCell_ = t;
    leftClick(*t);
}

void TMapCanvas::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second click of a quick pair has come as a press of its own already.
    event->accept();
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
        if (!leftClick(*t)) {  // an error box ends the stroke
            stroking_ = false;
            return;
        }
    }
    strokePos_ = pos;
}

void TMapCanvas::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (stroking_ && (event->buttons() & Qt::LeftButton)) strokeTo(pos);
    setHovered(cellAt(pos));
}

void TMapCanvas::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        stroking_ = false;
        strokeCell_ = nullptr;
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
