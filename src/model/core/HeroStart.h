#pragma once
// The hero's start: the project file's "Mapa Inicial", "Char X" and "Char Y".
// A cell's game position is X = 40 x column + 120, Y = 40 x row + 20 (rows and
// columns counted from 1), the numbers "Cordenadas" shows. The game puts the
// hero on the cell nearest to the stored position; the editor and `check` say
// when that cell lies outside the initial map, and note a position that is not
// exactly on a cell (a new project's 200/190 is not).
#include "model/core/ProjectFile.h"

#include <optional>
#include <string>
#include <utility>

namespace quillmark {

// The game position of a cell: {X, Y}.
std::pair<int, int> cellPosition(int row, int column);
// The cell nearest to a game position: {row, column}; a position half way
// between two cells goes to the later one. The cell may lie outside any map.
std::pair<int, int> nearestCell(int x, int y);
// Whether the position is exactly a cell's position.
bool isOnCell(int x, int y);

// The map the game starts on: "Mapa Inicial", or the first map of the project
// when it is empty; ".xml" added when the name lacks it. Empty when the
// project has no map at all.
std::string startMapName(const ProjectState& project);

struct HeroStartFindings {
    std::string outside;  // the start cell lies outside the initial map (UTF-8), or empty
    std::string offCell;  // the position is not on a cell: a note (UTF-8), or empty
};

// What is wrong with the start, judged on a map of `side` x `side` cells
// named `map` (CP1252).
HeroStartFindings judgeHeroStart(int x, int y, const std::string& map, int side);

// The same for a project: the initial map is read from "Mapas\" for its size.
// A missing or unreadable initial map gives no finding here (the game and
// `check` report it on their own).
HeroStartFindings judgeHeroStart(const ProjectState& project);

}  // namespace quillmark
