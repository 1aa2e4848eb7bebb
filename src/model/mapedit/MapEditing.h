#pragma once
// MapEditing: every change a user makes to the loaded map, as undo commands
// whose redo() makes the change. A click paints one cell, a drag stroke is one
// step however many cells it crosses (each cell a command merged into the
// stroke's first), a flood fill or a rectangle is one step, a paste and an
// event set by the event editor are one step each. The session owns one
// MapEditing over its grid and its undo stack; the canvas only says which cell,
// which layer and which value.
//
// A command that changed nothing leaves no step, except an event set by the
// event editor: closing the editor counts as a change even when the text stayed.
#include "model/mapedit/MapEdits.h"

#include <QUndoCommand>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

class QUndoStack;

namespace quillmark {

// What "Copiar" keeps of a cell. The row and column are kept but never used by a paste.
struct TCopyTile {
    int row = 0;
    int column = 0;
    unsigned char XO = 'O';
    std::string event;
    unsigned char Tipo = '0';
    unsigned char Fundo = '0';
};

// What "Copiar Imagem" keeps: the two tile layers.
struct TCopyImage {
    unsigned char Tipo = '0';
    unsigned char Fundo = '0';
};

// One map edit. Its first redo runs the edit on the grid and records the
// cells it changed; later redos and undos put the recorded contents back.
// Commands of the same stroke merge, so a stroke is undone in one step.
class CellEditCommand : public QUndoCommand {
public:
    using Edit = std::function<void(MapGrid&, EditRecorder&)>;
    using Changed = MapEditCommand::Changed;
    static constexpr int kStrokeId = 0x51e0;

    // stroke: 0 for a step of its own, otherwise the stroke it belongs to.
    // keepUnchanged: the step stays even when no cell changed.
    CellEditCommand(MapGrid& grid, const QString& text, Edit edit, Changed changed, int stroke = 0,
                    bool keepUnchanged = false);

    void redo() override;
    void undo() override;
    int id() const override { return stroke_ != 0 ? kStrokeId : -1; }
    bool mergeWith(const QUndoCommand* other) override;

    const std::vector<CellChange>& changes() const { return changes_; }
    // The next redo does nothing: the change was made by an earlier call.
    void skipNextRedo() { skip_ = true; }

private:
    void apply(bool after);
    void tell() const;

    MapGrid* grid_;
    Edit edit_;
    Changed changed_;
    int stroke_;
    bool keep_;
    bool done_ = false;
    bool skip_ = false;
    std::vector<CellChange> changes_;
    std::unordered_map<int, std::size_t> where_;
    CellBounds bounds_;
};

class MapEditing {
public:
    using Changed = CellEditCommand::Changed;

    MapEditing(MapGrid& grid, QUndoStack& stack, Changed changed);

    // --- painting ------------------------------------------------------------------
    // One cell of a layer takes a value (a click of the brush, a mark set by a
    // drag in the event layer). Inside a stroke it joins the stroke's step.
    void paint(EditLayer layer, int row, int column, unsigned char value);
    // A click in the event layer: 'O' becomes 'X', anything else 'O'.
    void toggleMark(int row, int column);
    // A drag stroke: what is painted between begin and end is one step.
    void beginStroke();
    void endStroke();
    bool inStroke() const { return stroke_ != 0; }

    // --- tools -----------------------------------------------------------------------
    // Flood fill and rectangle, one step each; they return how many cells changed.
    int fill(EditLayer layer, int row, int column, unsigned char value);
    int fillRectangle(EditLayer layer, int row1, int column1, int row2, int column2, unsigned char value);
    // The picker: the cell's code on the layer.
    unsigned char pick(EditLayer layer, int row, int column) const;

    // --- events, copy and paste ----------------------------------------------------------
    // The event editor's result into the cell: always one step.
    void setEvent(int row, int column, std::string text);
    TCopyTile copyCell(int row, int column) const;
    const std::string& copyEvent(int row, int column) const;
    TCopyImage copyImage(int row, int column) const;
    // "Colar": the whole cell (event, both layers, mark); "Colar Evento": the
    // event alone; "Colar Imagem": the two tile layers alone.
    void pasteCell(int row, int column, const TCopyTile& copy);
    void pasteEvent(int row, int column, const std::string& event);
    void pasteImage(int row, int column, const TCopyImage& copy);

    // Any other edit as one step (the command-line tool, tests). Returns how
    // many cells changed.
    int edit(const QString& text, CellEditCommand::Edit change, bool keepUnchanged = false);

private:
    void requireCell(int row, int column) const;

    MapGrid& grid_;
    QUndoStack& stack_;
    Changed changed_;
    int stroke_ = 0;
    int lastStroke_ = 0;
};

}  // namespace quillmark
