#pragma once
// The map canvas: one widget that shows the loaded map as a square of cells
// and turns mouse actions on them into edits. Each cell is a `Terreno` object
// (row, column, mode, hovered) held by the canvas in a 100 x 100 array parallel
// to the grid; the canvas paints only the cells of the exposed rectangle and
// sends clicks and right-button presses to the cell under the pointer.
// `TMapArea` is the dark-grey map area of the main window that hosts it.
#include "model/mapedit/CellPainter.h"
#include "model/mapedit/MapEdits.h"

#include <QPoint>
#include <QScrollArea>
#include <QWidget>
#include <array>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>

class QLabel;

namespace quillmark {

class Workspace;
class MapGrid;

// What a plain left click does on the map: paint with the brush ("Pincel"),
// flood fill ("Balde"), fill a dragged rectangle ("Retângulo"), take the
// cell's tile as the brush ("Conta-gotas") or set the hero's start ("Início do
// Herói"). Alt, Shift and Ctrl held choose the picker, the fill and the
// rectangle for one click whatever the tool.
enum class MapTool { Pincel, Balde, Retangulo, ContaGotas, InicioHeroi };

// One cell of the canvas. Its event text is the grid's (one copy only).
class Terreno {
public:
    Terreno(const MapGrid& grid, int row, int column) : row(row), column(column), grid_(&grid) {}

    int row;
    int column;
    bool eventMode = false;
    bool lowerMode = false;
    bool hovered = false;

    const std::string& eventText() const;
    CellMode mode() const { return eventMode ? CellMode::Events : lowerMode ? CellMode::Lower : CellMode::Upper; }

private:
    const MapGrid* grid_;
};

class TMapCanvas : public QWidget {
    Q_OBJECT
public:
    explicit TMapCanvas(Workspace& ws, QWidget* parent = nullptr);
    ~TMapCanvas() override;

    // --- the map's cells -----------------------------------------------------
    // Lays out the loaded grid (after Abrir): reuses the cells that exist for
    // the new N x N square, creates the missing ones and drops those outside;
    // every cell at 40 pixels, upper-layer mode, not hovered. wasLoaded: a map
    // was shown before (without one every cell is made anew). Returns whether
    // the cells were all created.
    bool layoutLoadedMap(bool wasLoaded);
    // Fresh cells for a new grid (ws.session().grid() already holds it), upper-layer mode, 40 pixels.
    void buildNewMapCells();
    // Discards every cell; the canvas shows nothing.
    void destroyCells();
    // Repaints every cell ("Exibir" options, a refilled tile cache …).
    void repaintCells();

    // The side of the square of cells (0 without cells).
    int side() const { return side_; }
    // The cell at (row, column), or nullptr outside the square of cells.
    Terreno* cell(int row, int column);
    // The cell under the mouse pointer, found row by row; nullptr when none.
    Terreno* hoveredCell();
    // The cell's place on the canvas at the current cell size.
    QRect cellRect(int row, int column) const;
    // Current cell size in pixels (40, or 20 when zoomed out).
    int cellPixels() const { return cellPx_; }

    // --- modes: every cell at once, row by row ----------------------------------
    void ModoMapa();
    void ModoFundo();
    void ModoEventos();
    // One cell into a mode, repainted.
    void ModoMapa(Terreno& cell);
    void ModoFundo(Terreno& cell);
    void ModoEventos(Terreno& cell);
    CellMode currentMode() const { return mode_; }

    // --- zoom ------------------------------------------------------------------
    // The "Zoom" command: with a project and a map, CellSize 40 <-> 20, then ZoomControl.
    void Zoom();
    // Gives every cell the size CellSize x CellSize at CellSize x (c - 1), CellSize x (r - 1).
    // Each cell shows its whole drawing scaled to that size.
    void ZoomControl();
    // Ctrl+wheel: one step through 10, 20, 40 and 80 pixels (steps > 0 larger),
    // keeping the map point under `pos` (canvas pixels) under the pointer.
    void zoomStep(int steps, const QPoint& pos);
    static constexpr int kZoomSizes[] = {10, 20, 40, 80};

    // --- tools (each one undo step) ---------------------------------------------
    void setTool(MapTool tool);
    MapTool tool() const { return tool_; }
    static QString toolName(MapTool tool);
    // The connected area of the clicked cell's value on the current layer takes
    // the brush (the event layer: the mark the click gives).
    void floodFillAt(Terreno& cell);
    // Every cell between the two corners, likewise.
    void fillRectangleBetween(Terreno& from, Terreno& to);
    // The cell's code on the current layer becomes the brush (the session's
    // brushPicked tells the palette). Nothing in the event layer.
    bool pickAt(Terreno& cell);
    // Ends a drag stroke now: what it painted is one undo step.
    void commitStroke();
    // The cell marked with the small hero ({0, 0}: none shown).
    std::pair<int, int> heroCell() const { return heroCell_; }

    // --- cell actions ------------------------------------------------------------
    void Desenhar(Terreno& cell);     // left click, upper layer: Tipo = brush
    void MudarFundo(Terreno& cell);   // left click, lower layer: Fundo = brush
    void MudarXO(Terreno& cell);      // left click, event layer: 'O' <-> 'X'
    void CriarEvento(Terreno& cell);  // right-button press: the event editor

    // --- "Editar": copy and paste through the hovered cell ------------------------
    // Each returns whether it acted (false with no cell under the pointer, or
    // nothing to paste). A copy then applies the enabling rules (verificaStatus)
    // so the matching paste entry follows the buffers.
    bool Copiar();
    bool Colar();
    bool CopiarEvento();
    bool ColarEvento();
    bool CopiarImagem();
    bool ColarImagem();
    // Whether each paste has something to paste (the enabling rules' last step).
    static bool canColar(const Workspace& ws);
    static bool canColarEvento(const Workspace& ws);
    static bool canColarImagem(const Workspace& ws);

    ViewOptions viewOptions() const;

signals:
    // Another tool was chosen.
    void toolChanged(MapTool tool);
    // What the status bar shows changed: the cell under the pointer, the mode.
    void statusChanged();
    // Ctrl+wheel changed the cell size: the map point `cells` (in cells from
    // the map's top-left corner) should stay at `inParent`, the pointer's place
    // in the canvas's parent.
    void zoomed(QPointF cells, QPoint inParent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void cellsEdited(int firstRow, int firstColumn, int lastRow, int lastColumn);
    void heroStartChanged();
    void drawHeroMark(QPainter& painter) const;
    EditLayer currentLayer() const;
    unsigned char toolValue(const Terreno& cell) const;
    void updateBand(int firstRow, int firstColumn, int lastRow, int lastColumn);
    static int indexOf(int row, int column) { return (row - 1) * 100 + (column - 1); }
    Terreno* cellAt(const QPoint& pos);
    void setHovered(Terreno* cell);
    void updateCell(const Terreno& cell);
    void setAllModes(CellMode mode);
    void applyMode(Terreno& cell, CellMode mode);
    void resizeToCells();
    void clearImmediate();
    bool leftClick(Terreno& cell);  // false when the action failed
    void strokeTo(const QPoint& pos);
    // The cell as it is shown now with a picture over it, and that drawing
    // kept for the cell until its next repaint.
    QImage shownWith(const Terreno& cell, const QImage& picture);
    void keepShown(const Terreno& cell, QImage shown);
    void paintCell(QPainter& painter, const Terreno& cell, const ViewOptions& view);

    Workspace& ws_;
    std::array<std::unique_ptr<Terreno>, 100 * 100> cells_;
    int side_ = 0;
    int cellPx_ = 40;
    CellMode mode_ = CellMode::Upper;
    Terreno* hovered_ = nullptr;
    TileLookup tiles_;
    // What clicks drew at once over cells, until the cell's next repaint.
    std::unordered_map<int, QImage> immediate_;
    // A left-button stroke: the last pointer position and cell.
    bool stroking_ = false;
    QPoint strokePos_;
    Terreno* strokeCell_ = nullptr;
    // The mark an event-layer drag sets.
    unsigned char strokeMark_ = 'O';
    MapTool tool_ = MapTool::Pincel;
    std::pair<int, int> heroCell_{0, 0};
    // A Ctrl+drag rectangle: its first corner and the cell under the pointer.
    Terreno* rectFrom_ = nullptr;
    Terreno* rectTo_ = nullptr;
};

// The map area of the main window: a dark-grey scrolling area holding the
// canvas at its top-left corner, with a waiting picture in its centre while
// the first map since start-up is laid out. Fills the workspace's canvas hooks.
class TMapArea : public QScrollArea {
    Q_OBJECT
public:
    explicit TMapArea(Workspace& ws, QWidget* parent = nullptr);
    ~TMapArea() override;

    TMapCanvas* canvas() const { return canvas_; }

    // Lays out a loaded map (the session's mapOpened): the waiting picture for
    // the first map since start-up, then the cells.
    void layoutLoadedMap(bool wasLoaded);
    bool waitingPictureShown() const;
    // What the empty area tells a newcomer to do: without a project, how to
    // make or open one; with a project and no map, how to make the first map.
    // Empty (and hidden) while a map is shown.
    QString hintText() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    // Ctrl+wheel zooms wherever the pointer is in the map area.
    void wheelEvent(QWheelEvent* event) override;

private:
    void placeWaitingPicture();
    void keepUnderPointer(QPointF cells, QPoint inViewport);
    void updateHint();

    Workspace& ws_;
    TMapCanvas* canvas_;
    QWidget* waiting_;
    QLabel* hint_ = nullptr;
    bool firstMapLaidOut_ = false;
};

}  // namespace quillmark
