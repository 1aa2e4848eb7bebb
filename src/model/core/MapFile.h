#pragma once
// The map file: one record table per map, "Mapas\" + CurrentMap in the project
// folder, with six fields (Tipo, Fundo, Tamanho, XO, Evento, Transparente) and
// one row per cell, row by row, left to right. The game runtime reads the same
// files.
#include "model/core/MapGrid.h"

#include <QString>
#include <functional>
#include <string>

namespace quillmark {

// Whether the tile of a code is drawn transparent ("Transparente" of the tiles
// table, looked up by the caller).
using TransparencyLookup = std::function<bool(unsigned char code)>;

// The empty map table as it is first written: the six fields, no rows.
extern const char* const kMapSkeleton;

// Writes the grid to projectFolder + "Mapas\" + grid.CurrentMap. The whole
// file is made in memory and then replaces the old one in a single step, so a
// failed save (a missing "Mapas" folder, a full disk) reports the system's
// error and leaves the previous map file whole. "Transparente" comes from the
// lookup. Does not touch any editor flag.
void Salvar(const MapGrid& grid, const QString& projectFolder, const TransparencyLookup& transparent);

// Same, to an explicit full path.
void salvarEm(const MapGrid& grid, const QString& fullPath, const TransparencyLookup& transparent);

// The file text Salvar would write for the grid.
std::string mapFileText(const MapGrid& grid, const TransparencyLookup& transparent);

// Loads the map file at fullPath into the grid. N comes from the first row's
// "Tamanho" (0 for a table without rows); the first N x N rows give the cells
// in row-major order; when the rows run out, the remaining cells repeat the
// last row. Event texts are taken as stored, "NULL" included. An empty code
// loads as '0' ('O' for XO). A missing or unreadable file, or a "Tamanho"
// outside 0..100, throws and leaves the grid as it was. CurrentMap is kept;
// the caller clears Modified and sets MapLoaded.
void Abrir(MapGrid& grid, const QString& fullPath);

}  // namespace quillmark
