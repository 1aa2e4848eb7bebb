#include "model/mapedit/ProjectRepair.h"

#include "model/core/MapFile.h"
#include "model/core/MapGrid.h"
#include "model/core/MapTree.h"
#include "model/core/Paths.h"
#include "model/core/ProjectFile.h"
#include "model/core/Text.h"
#include "model/mapedit/NewMap.h"

#include <QDir>

#include <set>

namespace quillmark {

namespace {

bool endsWithXml(const std::string& name) {
    return name.size() > 4 && asciiLower(name.substr(name.size() - 4)) == ".xml";
}

std::string quoted(const std::string& cp1252) { return "\"" + cp1252ToUtf8(cp1252) + "\""; }

}  // namespace

std::vector<ProjectMend> findProjectMends(const ProjectState& project, const MapTree& tree) {
    std::vector<ProjectMend> mends;
    if (project.ProjectFolder.isEmpty()) return mends;

    std::set<std::string> listed;  // lower-cased
    for (const std::string& name : project.mapFileNames()) listed.insert(asciiLower(name));
    std::set<std::string> inTree;  // lower-cased texts of every node but the root
    std::vector<std::string> treeMaps;
    for (const TreeNode* node : tree.nodesInTreeOrder()) {
        if (node == tree.root()) continue;
        inTree.insert(asciiLower(node->text()));
        if (endsWithXml(node->text())) treeMaps.push_back(node->text());
    }

    const QString mapsFolder = projectPath(project.ProjectFolder, std::string_view("Mapas\\"));

    // Tree nodes whose map is on disk but not in the map list.
    std::set<std::string> seen;
    for (const std::string& text : treeMaps) {
        const std::string key = asciiLower(text);
        if (listed.count(key) || !seen.insert(key).second) continue;
        if (!fileExists(projectPath(project.ProjectFolder, "Mapas\\" + text))) continue;
        ProjectMend m;
        m.kind = ProjectMend::Kind::ListTreeMap;
        m.mapFile = text;
        m.where = std::string(kTreeFileName);
        m.problem = "o mapa " + quoted(text) + " está na árvore mas não na lista de mapas do arquivo do projeto";
        m.mend = "acrescentar " + quoted(text) + " à lista de mapas";
        mends.push_back(std::move(m));
    }

    // Map files nothing names.
    const QStringList files = QDir(mapsFolder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString& entry : files) {
        const std::string file = toCp1252(entry);
        if (!endsWithXml(file)) continue;
        const std::string key = asciiLower(file);
        if (listed.count(key) || inTree.count(key)) continue;
        ProjectMend m;
        m.mapFile = file;
        m.where = "Mapas\\" + file;
        const std::string name = file.substr(0, file.size() - 4);
        std::string reason = checkMapNameForm(name);
        if (reason.empty()) {
            try {
                MapGrid grid;
                Abrir(grid, QDir(mapsFolder).filePath(entry));
            } catch (const std::exception& e) {
                reason = e.what();
            }
        }
        if (reason.empty()) {
            m.kind = ProjectMend::Kind::AddUnlistedMap;
            m.problem = "o mapa não está no projeto (nenhum nó da árvore nem a lista de mapas o nomeia)";
            m.mend = "acrescentar " + quoted(file) + " à árvore e à lista de mapas";
        } else {
            m.kind = ProjectMend::Kind::UnreadableMap;
            m.problem = "o arquivo não está no projeto e não pode ser acrescentado: " + reason;
        }
        mends.push_back(std::move(m));
    }
    return mends;
}

int applyProjectMends(ProjectState& project, MapTree& tree, const std::vector<ProjectMend>& mends) {
    ProjectState after = project;
    bool treeChanged = false;
    int applied = 0;
    auto list = [&after](const std::string& file) {
        if (after.MapList.isEmpty()) after.InitialMap = file;
        after.MapList.append(fromCp1252(file));
        after.MapsLine += file + "%";
    };
    for (const ProjectMend& m : mends) {
        if (m.kind == ProjectMend::Kind::AddUnlistedMap) {
            if (tree.AddMap(m.mapFile, kKindMap).status != AddMapStatus::Added) continue;
            treeChanged = true;
            list(m.mapFile);
            ++applied;
        } else if (m.kind == ProjectMend::Kind::ListTreeMap) {
            list(m.mapFile);
            ++applied;
        }
    }
    if (applied == 0) return 0;
    // the same order as a new map: the tree names the map before the project file does
    if (treeChanged) tree.SaveProject(project.ProjectFolder);
    writeProjectFile(after);
    project = std::move(after);
    tree.LoadProject(project);  // as the project opens now, its observers told
    return applied;
}

}  // namespace quillmark
