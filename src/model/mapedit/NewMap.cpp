#include "model/mapedit/NewMap.h"

#include "model/core/Format.h"

#include "model/core/Error.h"
#include "model/core/MapFile.h"
#include "model/core/MapGrid.h"
#include "model/core/MapTree.h"
#include "model/core/Names.h"
#include "model/core/Paths.h"
#include "model/core/ProjectFile.h"
#include "model/core/Text.h"

namespace quillmark {

std::string mapFileNameFor(std::string_view name) { return std::string(name) + ".xml"; }

std::string checkMapNameForm(std::string_view name) {
    if (name.empty()) return kMapNameEmpty;
    if (name == "." || name == "..") return kMapNameInvalid;
    // the file-name rule of every name in a project, and "%", which ends each
    // name of the project file's map list
    for (char ch : name) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 32 || c == 127 || c == '%' || kForbiddenNameCharacters.find(ch) != std::string_view::npos)
            return kMapNameInvalid;
    }
    if (name.front() == ' ' || name.back() == ' ') return kMapNameBlankEnds;
    if (name.size() > static_cast<size_t>(kMapNameMaxLength)) return kMapNameTooLong;
    if (name.size() >= 4 && asciiLower(name.substr(name.size() - 4)) == ".xml") return kMapNameWithExtension;
    if (isReservedDeviceName(name)) return reservedNameMessage(name, "mapa");
    return {};
}

bool mapNameTaken(const MapTree& tree, std::string_view name) {
    const std::string file = mapFileNameFor(name);
    for (const TreeNode* node = tree.firstNode(); node; node = MapTree::nextInTreeOrder(node))
        if (equalsIgnoreCase(node->text(), file)) return true;
    return false;
}

bool mapNameTaken(const MapTree& tree, const ProjectState& project, std::string_view name) {
    if (mapNameTaken(tree, name)) return true;
    const std::string file = mapFileNameFor(name);
    for (const std::string& listed : project.mapFileNames())
        if (equalsIgnoreCase(listed, file)) return true;
    if (project.ProjectFolder.isEmpty()) return false;
    return fileExists(projectPath(project.ProjectFolder, "Mapas\\" + file)) ||
           folderExists(projectPath(project.ProjectFolder, "Mapas\\" + file));
}

std::string checkNewMapName(const MapTree& tree, const ProjectState& project, std::string_view name) {
    std::string problem = checkMapNameForm(name);
    if (problem.empty() && mapNameTaken(tree, project, name)) problem = kMapAlreadyExists;
    return problem;
}

void SalvaProjeto(const ProjectState& project) { writeProjectFile(project); }

void registerNewMap(ProjectState& project, MapGrid& grid, MapTree& tree, std::string_view name) {
    const ProjectState before = project;
    const std::string file = mapFileNameFor(name);
    TreeNode* added = nullptr;
    bool treeWritten = false;
    try {
        ProjectState after = project;
        if (after.MapList.isEmpty()) after.InitialMap = file;
        after.MapList.append(fromCp1252(file));
        after.MapsLine += file + "%";
        added = tree.AddMap(file, kKindMap).node;
        tree.SaveProject(project.ProjectFolder);
        treeWritten = true;
        SalvaProjeto(after);
        project = std::move(after);
        grid.CurrentMap = file;
    } catch (...) {
        // Nothing of the map stays registered: the tree loses its node and the
        // tree file is written back as it was.
        project = before;
        if (added) tree.RemoveNode(added);
        if (treeWritten) {
            try {
                tree.SaveProject(project.ProjectFolder);
            } catch (...) {
            }
        }
        throw;
    }
}

std::optional<int> parseMapSize(std::string_view text) {
    const std::optional<int> n = format::toInteger(text);
    if (!n || *n < kMinMapSize || *n > kMaxMapSize) return std::nullopt;
    return n;
}

}  // namespace quillmark
