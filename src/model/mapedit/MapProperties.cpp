#include "model/mapedit/MapProperties.h"

#include "model/core/Files.h"
#include "model/core/Paths.h"
#include "model/core/Picture.h"

namespace quillmark {

std::string battleBackgroundFile(std::string_view currentMap) {
    std::string base(currentMap);
    for (size_t at = base.find(".xml"); at != std::string::npos; at = base.find(".xml", at)) base.erase(at, 4);
    return "Imagens\\" + base + "Bat.bmp";
}

QString battleBackgroundPath(const QString& projectFolder, std::string_view currentMap) {
    return projectPath(projectFolder, battleBackgroundFile(currentMap));
}

void storeBattleBackground(const Picture& picture, const QString& projectFolder, std::string_view currentMap) {
    const QString path = battleBackgroundPath(projectFolder, currentMap);
    checkWriteInsideProject(projectFolder, path);
    picture.SaveToFile(path);
}

void setBattleBackground(const QString& chosenPicture, const QString& projectFolder, std::string_view currentMap) {
    storeBattleBackground(Picture::fromFile(chosenPicture), projectFolder, currentMap);
}

}  // namespace quillmark
