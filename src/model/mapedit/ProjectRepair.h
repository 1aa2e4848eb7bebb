#pragma once
// What a command cut short (a crash, a kill, a power cut) can leave in a
// project, and how it is mended.
//
// Adding a map writes three files in turn: the map file in "Mapas\", the tree
// file, then the project file. Every cut between them leaves a project that
// opens, and one of these states:
//   - a map file no tree node and no map-list entry names ("não está no
//     projeto"): the mend adds it to the tree and to the map list;
//   - a tree node with its map file but without its map-list entry (the
//     editor shows it as a folder): the mend adds the entry.
// A map file that cannot be read, or whose name no new map could have, is
// reported without a mend.
//
// A new project writes its project file last, so a cut leaves no project to
// mend: creating it again finishes it.
#include <string>
#include <vector>

namespace quillmark {

class MapTree;
struct ProjectState;

struct ProjectMend {
    enum class Kind {
        AddUnlistedMap,  // a map file in "Mapas\" the project does not name
        ListTreeMap,     // a tree node with its map file, missing from the map list
        UnreadableMap,   // a map file the project does not name that cannot be added
    };
    Kind kind = Kind::AddUnlistedMap;
    std::string mapFile;  // "Vila.xml" (CP1252)
    std::string where;    // the project path the problem is in ("Mapas\Vila.xml"), CP1252
    std::string problem;  // what is wrong (UTF-8)
    std::string mend;     // what the repair does (UTF-8); empty when nothing can be done
    bool canMend() const { return !mend.empty(); }
};

// Every state of the list above found in the open project (its state and its
// tree as opened). Reads "Mapas\" and the map files it needs to; writes nothing.
std::vector<ProjectMend> findProjectMends(const ProjectState& project, const MapTree& tree);

// Applies the mends that can be applied: the tree gains its nodes and the
// project state its map-list entries (the first map of a project without maps
// becomes its initial map); then the tree file is written, then the project
// file. A repair cut short leaves a state this repair mends again. Returns the
// number of mends applied. Throws Error when a file cannot be written.
int applyProjectMends(ProjectState& project, MapTree& tree, const std::vector<ProjectMend>& mends);

}  // namespace quillmark
