#include "model/core/HeroStart.h"

#include "model/core/MapFile.h"
#include "model/core/MapGrid.h"
#include "model/core/Paths.h"
#include "model/core/Text.h"

namespace quillmark {

namespace {

constexpr int kCell = 40;
constexpr int kLeft = 120;  // X of column 0
constexpr int kTop = 20;    // Y of row 0

// The nearest multiple of kCell, counted in cells; halves round up.
int nearestIndex(int offset) {
    const long long shifted = static_cast<long long>(offset) + kCell / 2;
    return static_cast<int>(shifted >= 0 ? shifted / kCell : -((-shifted + kCell - 1) / kCell));
}

std::string position(int x, int y) { return "X " + std::to_string(x) + ", Y " + std::to_string(y); }

std::string cellText(std::pair<int, int> cell) {
    return "linha " + std::to_string(cell.first) + ", coluna " + std::to_string(cell.second);
}

}  // namespace

std::pair<int, int> cellPosition(int row, int column) { return {kCell * column + kLeft, kCell * row + kTop}; }

std::pair<int, int> nearestCell(int x, int y) { return {nearestIndex(y - kTop), nearestIndex(x - kLeft)}; }

bool isOnCell(int x, int y) { return (x - kLeft) % kCell == 0 && (y - kTop) % kCell == 0; }

std::string startMapName(const ProjectState& project) {
    std::string name = project.InitialMap;
    if (name.empty()) {
        const std::vector<std::string> maps = project.mapFileNames();
        if (maps.empty()) return {};
        name = maps.front();
    }
    if (name.size() < 4 || asciiLower(name.substr(name.size() - 4)) != ".xml") name += ".xml";
    return name;
}

HeroStartFindings judgeHeroStart(int x, int y, const std::string& map, int side) {
    HeroStartFindings f;
    const std::pair<int, int> cell = nearestCell(x, y);
    const bool inside = cell.first >= 1 && cell.second >= 1 && cell.first <= side && cell.second <= side;
    if (!inside)
        f.outside = "a posição inicial do herói (" + position(x, y) + ": " + cellText(cell) +
                    ") fica fora do mapa inicial \"" + cp1252ToUtf8(map) + "\" (" + std::to_string(side) + " × " +
                    std::to_string(side) + ")";
    if (!isOnCell(x, y)) {
        const std::pair<int, int> at = cellPosition(cell.first, cell.second);
        f.offCell = "a posição inicial do herói (" + position(x, y) + ") não fica sobre uma célula; o jogo " +
                    "começa na mais próxima (" + cellText(cell) + ": " + position(at.first, at.second) + ")";
    }
    return f;
}

HeroStartFindings judgeHeroStart(const ProjectState& project) {
    const std::string map = startMapName(project);
    if (map.empty()) return {};
    const QString path = projectPath(project.ProjectFolder, "Mapas\\" + map);
    if (!fileExists(path)) return {};
    MapGrid grid;
    try {
        Abrir(grid, path);
    } catch (const std::exception&) {
        return {};
    }
    return judgeHeroStart(project.CharX, project.CharY, map, grid.N);
}

}  // namespace quillmark
