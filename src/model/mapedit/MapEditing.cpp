#include "model/mapedit/MapEditing.h"

#include "model/core/Error.h"

#include <QUndoStack>
#include <algorithm>
#include <memory>

namespace quillmark {

// --- the command -----------------------------------------------------------------

CellEditCommand::CellEditCommand(MapGrid& grid, const QString& text, Edit edit, Changed changed, int stroke,
                                 bool keepUnchanged)
    : QUndoCommand(text), grid_(&grid), edit_(std::move(edit)), changed_(std::move(changed)), stroke_(stroke),
      keep_(keepUnchanged) {}

void CellEditCommand::apply(bool after) {
    for (const CellChange& c : changes_) {
        // The stack is emptied when another map is loaded, so every cell is
        // still inside the map; a cell outside it is left alone all the same.
        if (!grid_->inMap(c.row, c.column)) continue;
        writeCell(*grid_, c.row, c.column, after ? c.after : c.before);
    }
}

void CellEditCommand::tell() const {
    if (changed_ && !bounds_.empty()) changed_(bounds_);
}

void CellEditCommand::redo() {
    if (skip_) {  // made already, by MapEditing before the push
        skip_ = false;
        return;
    }
    if (done_) {
        apply(true);
        tell();
        return;
    }
    done_ = true;
    EditRecorder recorder(*grid_);
    edit_(*grid_, recorder);
    edit_ = nullptr;
    changes_ = recorder.take();
    for (std::size_t i = 0; i < changes_.size(); ++i)
        where_.emplace(static_cast<int>(MapGrid::index(changes_[i].row, changes_[i].column)), i);
    bounds_ = boundsOf(changes_);
    tell();
}

void CellEditCommand::undo() {
    apply(false);
    tell();
}

bool CellEditCommand::mergeWith(const QUndoCommand* other) {
    const auto* next = dynamic_cast<const CellEditCommand*>(other);
    if (!next || next->stroke_ != stroke_ || stroke_ == 0) return false;
    for (const CellChange& c : next->changes_) {
        const int key = static_cast<int>(MapGrid::index(c.row, c.column));
        auto it = where_.find(key);
        if (it == where_.end()) {
            where_.emplace(key, changes_.size());
            changes_.push_back(c);
        } else {
            changes_[it->second].after = c.after;  // the cell's first contents stay
        }
    }
    bounds_ = boundsOf(changes_);
    return true;
}

// --- the service -----------------------------------------------------------------------

MapEditing::MapEditing(MapGrid& grid, QUndoStack& stack, Changed changed)
    : grid_(grid), stack_(stack), changed_(std::move(changed)) {}

void MapEditing::requireCell(int row, int column) const {
    if (!grid_.inMap(row, column))
        throw Error(
            formatMessage("A célula (%s, %s) está fora do mapa.", {std::to_string(row), std::to_string(column)}));
}

int MapEditing::edit(const QString& text, CellEditCommand::Edit change, bool keepUnchanged) {
    auto command = std::make_unique<CellEditCommand>(grid_, text, std::move(change), changed_, stroke_, keepUnchanged);
    // The command makes the change here; a step that changed nothing is not
    // pushed, so it neither counts as a change nor drops the steps to redo.
    command->redo();
    const int count = static_cast<int>(command->changes().size());
    if (count == 0 && !keepUnchanged) return 0;
    command->skipNextRedo();
    stack_.push(command.release());  // kept, or merged into its stroke
    return count;
}

void MapEditing::paint(EditLayer layer, int row, int column, unsigned char value) {
    requireCell(row, column);
    const QString text = layer == EditLayer::Tipo    ? QStringLiteral("Pintar")
                         : layer == EditLayer::Fundo ? QStringLiteral("Pintar fundo")
                                                     : QStringLiteral("Marcar");
    edit(text, [=](MapGrid& grid, EditRecorder& rec) {
        rec.touch(row, column);
        setLayerValue(grid, layer, row, column, value);
    });
}

void MapEditing::toggleMark(int row, int column) {
    requireCell(row, column);
    paint(EditLayer::XO, row, column, grid_.xo(row, column) == 'O' ? 'X' : 'O');
}

void MapEditing::beginStroke() { stroke_ = ++lastStroke_; }

void MapEditing::endStroke() { stroke_ = 0; }

int MapEditing::fill(EditLayer layer, int row, int column, unsigned char value) {
    requireCell(row, column);
    endStroke();
    return edit(QStringLiteral("Preencher área"),
                [=](MapGrid& grid, EditRecorder& rec) { floodFill(grid, rec, layer, row, column, value); });
}

int MapEditing::fillRectangle(EditLayer layer, int row1, int column1, int row2, int column2, unsigned char value) {
    requireCell(row1, column1);
    requireCell(row2, column2);
    endStroke();
    return edit(QStringLiteral("Preencher retângulo"), [=](MapGrid& grid, EditRecorder& rec) {
        quillmark::fillRectangle(grid, rec, layer, row1, column1, row2, column2, value);
    });
}

unsigned char MapEditing::pick(EditLayer layer, int row, int column) const {
    requireCell(row, column);
    return layerValue(grid_, layer, row, column);
}

void MapEditing::setEvent(int row, int column, std::string text) {
    requireCell(row, column);
    endStroke();
    edit(
        QStringLiteral("Evento"),
        [row, column, text = std::move(text)](MapGrid& grid, EditRecorder& rec) {
            rec.touch(row, column);
            grid.setEvento(row, column, text);
        },
        true);
}

TCopyTile MapEditing::copyCell(int row, int column) const {
    requireCell(row, column);
    TCopyTile copy;
    copy.row = row;
    copy.column = column;
    copy.XO = grid_.xo(row, column);
    copy.event = grid_.evento(row, column);
    copy.Tipo = grid_.tipo(row, column);
    copy.Fundo = grid_.fundo(row, column);
    return copy;
}

const std::string& MapEditing::copyEvent(int row, int column) const {
    requireCell(row, column);
    return grid_.evento(row, column);
}

TCopyImage MapEditing::copyImage(int row, int column) const {
    requireCell(row, column);
    return TCopyImage{grid_.tipo(row, column), grid_.fundo(row, column)};
}

void MapEditing::pasteCell(int row, int column, const TCopyTile& copy) {
    requireCell(row, column);
    endStroke();
    edit(QStringLiteral("Colar"), [row, column, copy](MapGrid& grid, EditRecorder& rec) {
        rec.touch(row, column);
        grid.setEvento(row, column, copy.event);
        grid.setTipo(row, column, copy.Tipo);
        grid.setFundo(row, column, copy.Fundo);
        grid.setXO(row, column, copy.XO);
    });
}

void MapEditing::pasteEvent(int row, int column, const std::string& event) {
    requireCell(row, column);
    endStroke();
    edit(QStringLiteral("Colar Evento"), [row, column, event](MapGrid& grid, EditRecorder& rec) {
        rec.touch(row, column);
        grid.setEvento(row, column, event);
    });
}

void MapEditing::pasteImage(int row, int column, const TCopyImage& copy) {
    requireCell(row, column);
    endStroke();
    edit(QStringLiteral("Colar Imagem"), [row, column, copy](MapGrid& grid, EditRecorder& rec) {
        rec.touch(row, column);
        grid.setTipo(row, column, copy.Tipo);
        grid.setFundo(row, column, copy.Fundo);
    });
}

}  // namespace quillmark
