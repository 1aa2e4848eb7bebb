#pragma once
// A game project in a temporary folder, made from the template set beside the
// editor (build/bin): the project file, the five folders, the five tables and
// the pictures, and any maps a test asks for.
#include "TempDir.h"

#include "model/core/MapGrid.h"

#include <QString>
#include <string>
#include <vector>

namespace quillmark {
class TDataModule1;
}

namespace qmtest {

class ProjectFixture {
public:
    // name: the project name (CP1252); file: the project file name in the folder.
    explicit ProjectFixture(const std::string& name = "Aventura", const QString& file = "Aventura.qmk");

    QString folder() const { return dir.path(); }
    QString projectFile() const { return dir.path() + file_; }

    // Adds a map file to "Mapas\" and to line 3 (the first one also becomes the
    // initial map), writing the project file again. The grid's N and codes are
    // written as they are; CurrentMap is set to name.
    void addMap(const std::string& name, const quillmark::MapGrid& grid);
    // A 14 x 14 new map.
    void addMap(const std::string& name);

    // Rewrites the project file from the current lists.
    void writeProjectFile();

    TempDir dir;
    std::string projectName;
    std::string author = "Equipe";
    std::vector<std::string> maps;

private:
    QString file_;
};

}  // namespace qmtest
