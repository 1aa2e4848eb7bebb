#include "model/mapedit/MapEdits.h"

#include <algorithm>

namespace quillmark {

CellState readCell(const MapGrid& grid, int row, int column) {
    const std::size_t i = MapGrid::index(row, column);
    CellState s;
    s.tipo = grid.Tipo[i];
    s.fundo = grid.Fundo[i];
    s.xo = grid.XO[i];
    s.evento = grid.Evento[i];
    return s;
}

void writeCell(MapGrid& grid, int row, int column, const CellState& state) {
    const std::size_t i = MapGrid::index(row, column);
    grid.Tipo[i] = state.tipo;
    grid.Fundo[i] = state.fundo;
    grid.XO[i] = state.xo;
    grid.Evento[i] = state.evento;
}

// --- recording ---------------------------------------------------------------

void EditRecorder::touch(int row, int column) {
    const int key = static_cast<int>(MapGrid::index(row, column));
    if (where_.count(key)) return;
    where_.emplace(key, changes_.size());
    CellChange change;
    change.row = row;
    change.column = column;
    change.before = readCell(*grid_, row, column);
    changes_.push_back(std::move(change));
}

std::vector<CellChange> EditRecorder::take() {
    std::vector<CellChange> kept;
    kept.reserve(changes_.size());
    for (CellChange& c : changes_) {
        c.after = readCell(*grid_, c.row, c.column);
        if (!(c.after == c.before)) kept.push_back(std::move(c));
    }
    changes_.clear();
    where_.clear();
    return kept;
}

// --- layers and tools ----------------------------------------------------------

namespace {

std::vector<unsigned char>& layerArray(MapGrid& grid, EditLayer layer) {
    switch (layer) {
    case EditLayer::Tipo:
        return grid.Tipo;
    case EditLayer::Fundo:
        return grid.Fundo;
    default:
        return grid.XO;
    }
}

}  // namespace

unsigned char layerValue(const MapGrid& grid, EditLayer layer, int row, int column) {
    return layerArray(const_cast<MapGrid&>(grid), layer)[MapGrid::index(row, column)];
}

void setLayerValue(MapGrid& grid, EditLayer layer, int row, int column, unsigned char value) {
    layerArray(grid, layer)[MapGrid::index(row, column)] = value;
}

int floodFill(MapGrid& grid, EditRecorder& recorder, EditLayer layer, int row, int column, unsigned char value) {
    if (!grid.inMap(row, column)) return 0;
    std::vector<unsigned char>& cells = layerArray(grid, layer);
    const unsigned char target = cells[MapGrid::index(row, column)];
    if (target == value) return 0;
    // Cells are changed as they are reached, so a changed cell is never
    // reached again (its value is no longer the target).
    std::vector<int> todo;
    todo.reserve(static_cast<std::size_t>(grid.N) * 4);
    auto reach = [&](int r, int c) {
        if (r < 1 || c < 1 || r > grid.N || c > grid.N) return;
        const std::size_t i = static_cast<std::size_t>((r - 1) * MapGrid::kCapacity + (c - 1));
        if (cells[i] != target) return;
        recorder.touch(r, c);
        cells[i] = value;
        todo.push_back(static_cast<int>(i));
    };
    int count = 0;
    reach(row, column);
    while (!todo.empty()) {
        const int i = todo.back();
        todo.pop_back();
        ++count;
        const int r = i / MapGrid::kCapacity + 1;
        const int c = i % MapGrid::kCapacity + 1;
        reach(r - 1, c);
        reach(r + 1, c);
        reach(r, c - 1);
        reach(r, c + 1);
    }
    return count;
}

int fillRectangle(MapGrid& grid, EditRecorder& recorder, EditLayer layer, int row1, int column1, int row2, int column2,
                  unsigned char value) {
    const int top = std::max(1, std::min(row1, row2));
    const int bottom = std::min(grid.N, std::max(row1, row2));
    const int left = std::max(1, std::min(column1, column2));
    const int right = std::min(grid.N, std::max(column1, column2));
    int count = 0;
    for (int r = top; r <= bottom; ++r) {
        for (int c = left; c <= right; ++c) {
            if (layerValue(grid, layer, r, c) == value) continue;
            recorder.touch(r, c);
            setLayerValue(grid, layer, r, c, value);
            ++count;
        }
    }
    return count;
}

CellBounds boundsOf(const std::vector<CellChange>& changes) {
    CellBounds b;
    if (changes.empty()) return b;
    b.firstRow = b.lastRow = changes.front().row;
    b.firstColumn = b.lastColumn = changes.front().column;
    for (const CellChange& c : changes) {
        b.firstRow = std::min(b.firstRow, c.row);
        b.lastRow = std::max(b.lastRow, c.row);
        b.firstColumn = std::min(b.firstColumn, c.column);
        b.lastColumn = std::max(b.lastColumn, c.column);
    }
    return b;
}

// --- the undo step ---------------------------------------------------------------

MapEditCommand::MapEditCommand(MapGrid& grid, std::vector<CellChange> changes, const QString& text, Changed changed,
                               bool quietFirst)
    : QUndoCommand(text), grid_(&grid), changes_(std::move(changes)), bounds_(boundsOf(changes_)),
      changed_(std::move(changed)), quiet_(quietFirst) {}

void MapEditCommand::apply(bool after) {
    for (const CellChange& c : changes_) {
        // A step belongs to the map it was made on; the stack is emptied when
        // another map is loaded, so every cell is still inside the map.
        if (!grid_->inMap(c.row, c.column)) continue;
        writeCell(*grid_, c.row, c.column, after ? c.after : c.before);
    }
}

void MapEditCommand::redo() {
    apply(true);
    if (quiet_) {
        quiet_ = false;
        return;
    }
    if (changed_) changed_(bounds_);
}

void MapEditCommand::undo() {
    apply(false);
    if (changed_) changed_(bounds_);
}

}  // namespace quillmark
