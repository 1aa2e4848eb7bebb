#include "model/core/MapGrid.h"

#include "model/core/Error.h"

#include <algorithm>
#include <utility>

namespace quillmark {

MapGrid::MapGrid() : Tipo(kCells, kNewTipo), Fundo(kCells, kNewFundo), XO(kCells, kNewXO), Evento(kCells) {}

std::size_t MapGrid::index(int row, int column) {
    if (row < 1 || row > kCapacity) throw Error(formatMessage("List index out of bounds (%d)", {std::to_string(row)}));
    if (column < 1 || column > kCapacity)
        throw Error(formatMessage("List index out of bounds (%d)", {std::to_string(column)}));
    return static_cast<std::size_t>(row - 1) * kCapacity + static_cast<std::size_t>(column - 1);
}

void MapGrid::newGrid(int n) {
    if (n < 0 || n > kCapacity)
        throw Error(formatMessage("Tamanho de mapa inválido: %d (deve estar entre 0 e 100)", {std::to_string(n)}));
    std::fill(Tipo.begin(), Tipo.end(), kNewTipo);
    std::fill(Fundo.begin(), Fundo.end(), kNewFundo);
    std::fill(XO.begin(), XO.end(), kNewXO);
    for (std::string& text : Evento) text.clear();
    N = n;
}

void MapGrid::swap(MapGrid& other) noexcept {
    std::swap(N, other.N);
    CurrentMap.swap(other.CurrentMap);
    Tipo.swap(other.Tipo);
    Fundo.swap(other.Fundo);
    XO.swap(other.XO);
    Evento.swap(other.Evento);
}

}  // namespace quillmark
