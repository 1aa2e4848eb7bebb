#pragma once
// The one map held in memory: a square grid of side N inside a fixed capacity
// of 100 x 100 cells, addressed by row and column from 1. Each cell carries an
// upper tile code (Tipo), a lower, background tile code (Fundo), an 'X'/'O'
// mark (XO) and an event text. The three codes are row-major byte arrays, so
// cell (r, c) sits at (r - 1) * 100 + (c - 1); the event texts follow the same
// addressing.
#include "model/core/Format.h"

#include <cstddef>
#include <string>
#include <vector>

namespace quillmark {

class MapGrid {
public:
    static constexpr int kCapacity = 100;
    static constexpr int kCells = kCapacity * kCapacity;

    // What every cell of a new map holds.
    static constexpr unsigned char kNewTipo = '0';
    static constexpr unsigned char kNewFundo = '0';
    static constexpr unsigned char kNewXO = 'O';

    MapGrid();

    int N = 0;               // side length of the square in use, 0 to 100
    std::string CurrentMap;  // file name in "Mapas\", ".xml" included (CP1252)

    std::vector<unsigned char> Tipo;   // kCells bytes, row-major
    std::vector<unsigned char> Fundo;  // kCells bytes, row-major
    std::vector<unsigned char> XO;     // kCells bytes, row-major
    std::vector<std::string> Evento;   // kCells texts, row-major; empty or "NULL" = no event

    // Position of (row, column) in the arrays. Rows and columns outside
    // 1..100 throw "List index out of bounds (%d)".
    static std::size_t index(int row, int column);
    static bool inCapacity(int row, int column) {
        return row >= 1 && row <= kCapacity && column >= 1 && column <= kCapacity;
    }
    // Inside the N x N square in use.
    bool inMap(int row, int column) const { return row >= 1 && row <= N && column >= 1 && column <= N; }

    unsigned char tipo(int row, int column) const { return Tipo[index(row, column)]; }
    unsigned char fundo(int row, int column) const { return Fundo[index(row, column)]; }
    unsigned char xo(int row, int column) const { return XO[index(row, column)]; }
    const std::string& evento(int row, int column) const { return Evento[index(row, column)]; }

    void setTipo(int row, int column, unsigned char code) { Tipo[index(row, column)] = code; }
    void setFundo(int row, int column, unsigned char code) { Fundo[index(row, column)] = code; }
    void setXO(int row, int column, unsigned char mark) { XO[index(row, column)] = mark; }
    void setEvento(int row, int column, std::string text) { Evento[index(row, column)] = std::move(text); }

    // True when the cell's text names an event ("NULL" and empty do not).
    static bool hasEvent(const std::string& text) { return !format::isNoEvent(text); }

    // A new map of side n: every cell '0', '0', 'O' and no event text. The
    // cells beyond the square are cleared the same way. An n outside 0..100
    // throws and leaves the grid as it was.
    void newGrid(int n);

    // Exchanges the whole contents (codes, texts, N and CurrentMap).
    void swap(MapGrid& other) noexcept;
};

}  // namespace quillmark
