#include "editor/NewMap.h"

#include "core/Format.h"

#include "core/Error.h"
#include "core/MapFile.h"
#include "core/MapGrid.h"
#include "core/MapTree.h"
#include "core/ProjectFile.h"
#include "core/Text.h"

namespace quillmark {

std::string mapFileNameFor(std::string_view name) { return std::string(name) + ".xml"; }

std::string checkMapNameForm(std::string_view name) {
    if (name.empty()) return kMapNameEmpty;
    if (name == "." || name == "..") return kMapNameInvalid;
    for (char ch : name) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 32 || c == 127) return kMapNameInvalid;
        switch (c) {
        case '\\':
        case '/':
        case ':':
        case '*':
        case '?':
        case '"':
        case '<':
        case '>':
        case '|':
            return kMapNameInvalid;
        default:
            break;
        }
    }
    if (name.size() > static_cast<size_t>(kMapNameMaxLength)) return kMapNameTooLong;
    return {};
}

bool mapNameTaken(const MapTree& tree, std::string_view name) {
    const std::string file = mapFileNameFor(name);
    for (const TreeNode* node = tree.firstNode(); node; node = MapTree::nextInTreeOrder(node))
        if (equalsIgnoreCase(node->text(), file)) return true;
    return false;
}

std::string checkNewMapName(const MapTree& tree, std::string_view name) {
    std::string problem = checkMapNameForm(name);
    if (problem.empty() && mapNameTaken(tree, name)) problem = kMapAlreadyExists;
    return problem;
}

void SalvaProjeto(const ProjectState& project) { writeProjectFile(project); }

void registerNewMap(ProjectState& project, MapGrid& grid, MapTree& tree, std::string_view name) {
    grid.CurrentMap = mapFileNameFor(name);
    if (project.MapList.isEmpty()) project.InitialMap = grid.CurrentMap;
    project.MapList.append(fromCp1252(grid.CurrentMap));
    tree.AddMap(grid.CurrentMap, kKindMap);
    tree.SaveProject(project.ProjectFolder);
    project.MapsLine += grid.CurrentMap + "%";
    SalvaProjeto(project);
}

std::optional<int> parseMapSize(std::string_view text) {
    const std::optional<int> n = format::toInteger(text);
    if (!n || *n < kMinMapSize || *n > kMaxMapSize) return std::nullopt;
    return n;
}

}  // namespace quillmark
