#pragma once
// Map edits as undo steps. Every change to the loaded map — a click, a whole
// drag stroke, a mark toggled, a fill, a paste, an event set or cleared — is
// recorded as the list of cells it changed, each with its contents before and
// after. Undoing puts the "before" contents back, redoing the "after" ones;
// a step only ever holds contents that a cell held, so an undo or a redo
// always leaves a map the map file can hold.
//
// The tools that change many cells at once (flood fill, rectangle fill) live
// here too, working on the grid through an EditRecorder.
#include "model/core/MapGrid.h"

#include <QString>
#include <QUndoCommand>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

namespace quillmark {

// Everything a cell holds.
struct CellState {
    unsigned char tipo = MapGrid::kNewTipo;
    unsigned char fundo = MapGrid::kNewFundo;
    unsigned char xo = MapGrid::kNewXO;
    std::string evento;

    bool operator==(const CellState&) const = default;
};

CellState readCell(const MapGrid& grid, int row, int column);
void writeCell(MapGrid& grid, int row, int column, const CellState& state);

struct CellChange {
    int row = 0;
    int column = 0;
    CellState before;
    CellState after;
};

// The rows and columns a step touched (1-based, inclusive).
struct CellBounds {
    int firstRow = 0;
    int firstColumn = 0;
    int lastRow = -1;
    int lastColumn = -1;
    bool empty() const { return lastRow < firstRow || lastColumn < firstColumn; }
};

// Collects one step while it is being made: call touch() before a cell
// changes (only its first contents are kept), then take() once the step is
// over, which reads the cells' new contents and leaves out those that ended
// as they began.
class EditRecorder {
public:
    explicit EditRecorder(MapGrid& grid) : grid_(&grid) {}

    void touch(int row, int column);
    bool touched() const { return !changes_.empty(); }
    std::vector<CellChange> take();

private:
    MapGrid* grid_;
    std::vector<CellChange> changes_;
    std::unordered_map<int, std::size_t> where_;
};

// The layer a tool works on.
enum class EditLayer { Tipo, Fundo, XO };

unsigned char layerValue(const MapGrid& grid, EditLayer layer, int row, int column);
void setLayerValue(MapGrid& grid, EditLayer layer, int row, int column, unsigned char value);

// Flood fill: every cell connected to (row, column) through its four
// neighbours whose value on the layer equals that cell's gets `value`. Stops
// at other values and at the map's edge. Returns how many cells changed.
int floodFill(MapGrid& grid, EditRecorder& recorder, EditLayer layer, int row, int column, unsigned char value);

// Rectangle fill: every cell between the two corners (in any order, cut to
// the map) gets `value` on the layer. Returns how many cells changed.
int fillRectangle(MapGrid& grid, EditRecorder& recorder, EditLayer layer, int row1, int column1, int row2, int column2,
                  unsigned char value);

CellBounds boundsOf(const std::vector<CellChange>& changes);

// One undo step. `changed` is told the cells a redo or an undo rewrote.
// quietFirst: the changes are already on the grid and shown, so the first
// redo (the one QUndoStack::push runs) only writes them, without telling.
class MapEditCommand : public QUndoCommand {
public:
    using Changed = std::function<void(const CellBounds&)>;

    MapEditCommand(MapGrid& grid, std::vector<CellChange> changes, const QString& text, Changed changed,
                   bool quietFirst);

    void undo() override;
    void redo() override;

    const std::vector<CellChange>& changes() const { return changes_; }

private:
    void apply(bool after);

    MapGrid* grid_;
    std::vector<CellChange> changes_;
    CellBounds bounds_;
    Changed changed_;
    bool quiet_;
};

}  // namespace quillmark
