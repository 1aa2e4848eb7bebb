#pragma once
// The steps of opening a project, shared by the editor session (which stops at
// the first step that fails) and the command-line tool's check (which goes on
// past a failing step to list every problem).
#include "model/core/MapTree.h"
#include "model/core/ProjectFile.h"
#include "model/database/DataModule.h"

#include <QString>
#include <array>

namespace quillmark::opening {

// 1, 2. The project file gives the project state; MapList starts empty.
void readProject(const QString& path, ProjectState& project);
// 3. The map tree: the project's root, then the tree file (or the map list
// without one).
void openTree(MapTree& tree, const ProjectState& project);
// 8. The tables opened after the tiles table, in their order.
std::array<RecordTable*, 4> otherTables(TDataModule1& data);
// 6. The file of a map the project file lists, found as a double-click on its
// node finds it: "Mapas\" + its name, without regard to letter case. A listed
// name that points into another folder is refused, so opening a project never
// reads a map from outside it.
QString listedMapPath(const ProjectState& project, const QString& entry);

}  // namespace quillmark::opening
