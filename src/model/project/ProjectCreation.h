#pragma once
// Creating a new game project from the template set that lies beside the
// editor: the project file, the five folders, the five tables (copied, then
// reopened from the project), the game runtime and its libraries, the tile
// pictures with the animated tiles' extra frames, the sounds and screens, the
// walking frames and the hero's frames, and the tree's root node.
//
// Every copy leaves an existing destination untouched and reports nothing: a
// template file that is missing is simply not copied. The one exception is a
// missing template table: opening it from the project then fails with
// "Missing data provider or data packet" and the creation stops there; what
// was copied so far stays.
//
// The wizard window and the command-line tool share this code; the window adds
// its own refreshes (enabling rules, tile cache, palette) afterwards.
#include <QString>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quillmark {

class MapTree;
class TDataModule1;
struct ProjectState;

// The message shown when the project name or the file name is empty.
inline constexpr const char* kCannotCreateProject = "Não foi possivel criar o projeto!";

// The five folders of a project, in the order they are made.
const std::vector<std::string>& projectFolders();

// The five tables, in the order they are copied and reopened.
const std::vector<std::string>& templateTables();

// One fixed copy: source relative to the editor folder, destination relative
// to the project folder.
struct TemplateCopy {
    std::string source;
    std::string destination;
};
// The fixed files, in the order they are copied (sounds, screens, runtime
// libraries, and the walking frames under their project names).
const std::vector<TemplateCopy>& fixedTemplateFiles();

// The hero's frame fields whose pictures a new project receives, in order (36).
const std::vector<std::string>& heroFrameFields();

// The two extra frames of an animated tile code (180 … 191), "TileAni102.bmp"
// and "TileAni103.bmp" for 180 and so on; empty for any other code.
std::vector<std::string> animatedTileFrames(unsigned char code);

// The number of passes over the tiles table: a fixed count, whatever the
// number of records.
inline constexpr int kTilePasses = 147;

// What the wizard hands over.
struct NewProjectRequest {
    QString editorFolder;  // the template set lies here (ending with '/')
    QString projectFile;   // full path of the project file to write
    std::string name;      // CP1252
    std::string author;    // CP1252
};

// True when a project can be created from these inputs: neither the name nor
// the file name is empty (a name made only of blanks is a name; a file name
// made only of blanks is not).
bool canCreateProject(std::string_view name, const QString& projectFile);

// Creates the project: sets the project state (name, author, file, folder, an
// empty map list, the start position 200/190, the runtime path), makes the
// five folders, calls `afterFolders` (the wizard closes itself there), copies
// and reopens the tables, copies the runtime, the tile pictures, the fixed
// files and the hero's frames, makes the tree's root node under the project
// name, and writes the project file last, so a creation cut short leaves no
// project file naming a half-made project. A relative project file is taken
// from the current folder. Throws Error when a step fails; the steps before it
// stay done. A project file, or one of the five folders, that is a link
// leading out of the project folder is refused before anything is written.
void createProject(const NewProjectRequest& request, TDataModule1& data, ProjectState& project, MapTree& tree,
                   const std::function<void()>& afterFolders = {});

}  // namespace quillmark
