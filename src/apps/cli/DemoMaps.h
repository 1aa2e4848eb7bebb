#pragma once
// The maps of the demonstration project, kept as pictures in text: one grid of
// characters for the ground (the lower layer) and one for the things standing
// on it (the upper layer), plus the houses and the events. Water edges and
// dirt paths are worked out from their neighbours, so a design only says
// where water and paths are.
#include "model/core/MapGrid.h"

#include <QString>

#include <string>
#include <vector>

namespace quillmark {
class TDataModule1;
}

namespace quillmark::cli::demo {

// A block of upper-layer tile codes placed with its top-left corner at (row, column).
struct Stamp {
    int row = 0;
    int column = 0;
    std::vector<std::vector<int>> codes;
};

// An event text placed on a cell (UTF-8 here; stored as CP1252).
struct Event {
    int row = 0;
    int column = 0;
    std::string text;
};

struct MapDesign {
    std::string name;                 // the map name ("Vila" gives "Vila.xml")
    std::vector<std::string> ground;  // N rows of N characters, legend in DemoMaps.cpp
    std::vector<std::string> things;  // N rows of N characters, '.' for nothing
    std::vector<Stamp> buildings;
    std::vector<Event> events;
};

// The maps, the first one the map the game starts on.
const std::vector<MapDesign>& demoMaps();

// Paints a design into a grid of its size: both layers, the X marks on every
// cell the hero cannot walk through, and the events (as CP1252). Throws Error
// for a design character without a tile.
void paint(const MapDesign& design, MapGrid& grid);

// The battles of the demo (DemoBattles.cpp): monsters, spell and item
// pictures, items, the hero's first items, battle backgrounds and the maps'
// random battles, written into the open tables and the project folder.
void writeBattles(TDataModule1& data, const QString& projectFolder);

}  // namespace quillmark::cli::demo
