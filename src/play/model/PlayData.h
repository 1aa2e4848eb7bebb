#pragma once
// Everything the game reads from a project before its first frame: the project
// file, the map it starts on, the tiles (with the animated tiles' three
// frames), the hero's walking frames, the non-player characters of the map,
// every face a dialogue of the map shows, and the parsed event scripts.
// Pictures are decoded once, here. Nothing is ever written to the project.
//
// A missing or unreadable project, map or table, or a picture file that
// exists but cannot be decoded, throws Error with a message that names the
// file. A picture file that does not exist is replaced by the placeholder
// picture ("Imagens\null.bmp" beside the player, else the project's own, else
// a drawn one).
#include "model/core/Error.h"
#include "model/core/MapGrid.h"
#include "model/core/Picture.h"
#include "model/core/ProjectFile.h"
#include "model/mapedit/CellPainter.h"
#include "model/mapedit/MapProperties.h"
#include "play/model/GameDatabase.h"
#include "play/model/PlayScript.h"

#include <QString>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace quillmark::play {

// Facing, in the order of the character folders' frames.
enum class Dir { Down = 0, Left = 1, Right = 2, Up = 3 };
const char* dirName(Dir d);  // "baixo", "esquerda", "direita", "cima"
int dRow(Dir d);
int dCol(Dir d);
Dir opposite(Dir d);

// Twelve walking frames: frame f (0 standing, 1 and 2 the strides) of
// direction d is frames[d * 3 + f]. Drawn transparent.
struct Sprite {
    std::array<Picture, 12> frames;
    const Picture& frame(Dir d, int f) const { return frames[static_cast<std::size_t>(d) * 3 + f]; }
};

struct CharacterData {
    std::string name;  // CP1252
    int speed = 0;     // steps per ten seconds (characterSpeed)
    int row = 0, column = 0;
    Sprite sprite;
    Script script;
};

// The tile pictures as the editor's upper layer shows them, one lookup per
// animation frame: frame 0 is every tile's own picture, frames 1 and 2 replace
// the animated tiles (codes 180 to 191) by their "TileAni" frames.
struct TileSet {
    std::vector<std::unique_ptr<Picture>> pictures;  // owned, decoded once
    std::array<const Picture*, 256> entry{};         // by code, frame 0
    std::array<std::array<const Picture*, 256>, 3> frame{};
    std::array<bool, 256> transparent{};  // VerificaTransparencia by code
    std::array<TileLookup, 3> lookups;    // for the shared cell painting
};

struct LoadRequest {
    QString target;                         // a project file or a folder holding one
    QString map;                            // a map file name in "Mapas\"; empty: the initial map
    std::optional<std::pair<int, int>> at;  // start cell (row, column); empty: CharX/CharY
    QString editorFolder;                   // where the player lies (its "Imagens\null.bmp")
};

// Pictures read when first shown (battle backgrounds and frames, spell
// frames), each decoded once. A missing file gives the placeholder and one
// problem line; so does a file that cannot be decoded.
class PictureCache {
public:
    const Picture& get(const QString& folder, const std::string& relative, const Picture& placeholder,
                       bool transparent);
    std::function<void(const std::string&)> onProblem;

private:
    std::map<std::string, Picture> pictures_;
};

struct GameData {
    ProjectState project;
    QString projectFile;
    QString editorFolder;  // as the request gave it, for loading the next map
    std::string mapName;   // CP1252, ".xml" included
    MapGrid grid;
    int startRow = 1, startColumn = 1;
    TileSet tiles;
    Sprite hero;
    Picture placeholder;
    std::vector<CharacterData> characters;
    std::unordered_map<int, Script> cellScripts;  // by MapGrid::index, trigger events only
    std::map<std::string, Picture> faces;         // by lower-case file name
    std::vector<std::string> warnings;            // UTF-8, reported once at start
    GameDatabase db;                              // hero, monsters, items, spells
    MapSettings mapSettings;                      // random battles and enemies of the map
    std::vector<std::string> enemies;             // the map's enemies that exist, CP1252
    mutable PictureCache art;

    // The face a dialogue names (the placeholder for an unknown name).
    const Picture& face(const std::string& name) const;
};

// A file of the game that cannot be read: what() is the headline followed by
// the reader's own detail (often the XML parser's English); headline() alone is
// what a player is shown, the whole text goes to standard error.
class ReadError : public Error {
public:
    ReadError(const std::string& headline, const std::string& detail)
        : Error(headline + ": " + detail), headline_(headline) {}
    const std::string& headline() const { return headline_; }

private:
    std::string headline_;
};

// The project file a target names: the file itself, or the one project file
// in a folder. Throws when there is none, or several.
QString findProjectFile(const QString& target);

// The map cell nearest to a game pixel position (X = 40 x column + 120, Y = 40 x row + 20).
std::pair<int, int> cellOfPixels(int x, int y);

std::unique_ptr<GameData> loadGame(const LoadRequest& request);

}  // namespace quillmark::play
