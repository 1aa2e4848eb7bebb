#include "model/session/ProjectOpening.h"

#include "model/core/Error.h"
#include "model/core/Paths.h"
#include "model/core/Text.h"

namespace quillmark::opening {

void readProject(const QString& path, ProjectState& project) {
    project.MapList.clear();
    readProjectFile(path, project);
}

void openTree(MapTree& tree, const ProjectState& project) {
    tree.CriaProjeto(project.ProjectName);
    tree.LoadProject(project);
}

std::array<RecordTable*, 4> otherTables(TDataModule1& data) {
    return {&data.cdsMonstros, &data.cdsItens, &data.cdsMagias, &data.cdsPersonagem};
}

QString listedMapPath(const ProjectState& project, const QString& entry) {
    const QString prefix = project.ProjectFolder + QStringLiteral("Mapas/");
    const QString listed = entry.startsWith(prefix) ? entry.mid(prefix.size()) : entry;
    if (listed.contains(QLatin1Char('/')) || listed.contains(QLatin1Char('\\')) || listed.contains(QLatin1Char(':')) ||
        listed == QStringLiteral(".") || listed == QStringLiteral("..") || listed.isEmpty())
        throw Error(formatMessage("O mapa \"%s\" listado no arquivo do projeto não pode indicar outra pasta; "
                                  "os mapas ficam na pasta Mapas do projeto.",
                                  {listed.toStdString()}));
    return projectPath(project.ProjectFolder, "Mapas\\" + toCp1252(listed));
}

}  // namespace quillmark::opening
