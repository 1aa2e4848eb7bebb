#pragma once
// The per-map battle settings. Of them only the battle background is kept: the
// picture "Imagens\" + B + "Bat.bmp" in the project folder, where B is the map's
// file name with every ".xml" removed (exact case), so the map Vila.xml has
// VilaBat.bmp and a map file Vila.XML has Vila.XMLBat.bmp.
#include <QString>
#include <string>
#include <string_view>

namespace quillmark {

class Picture;

// The hint of the battle background picture (UTF-8).
inline constexpr const char* kBattleBackgroundHint = "Clique aqui para alterar a imagem de fundo da batalha";
// The picture shown before any is chosen, in the editor folder.
inline constexpr const char* kDefaultBattleBackground = "Imagens\\grass.bmp";

// "Imagens\" + the map's file name without any ".xml" + "Bat.bmp" (CP1252).
std::string battleBackgroundFile(std::string_view currentMap);

// The battle background's full path in the project folder.
QString battleBackgroundPath(const QString& projectFolder, std::string_view currentMap);

// Writes a picture as the map's battle background, converted to a Windows
// bitmap, replacing any earlier one.
void storeBattleBackground(const Picture& picture, const QString& projectFolder, std::string_view currentMap);

// Reads the picture file the user chose and writes it as the map's battle
// background, converted to a Windows bitmap, replacing any earlier one. A file
// that cannot be read throws the loader's error and nothing is written.
void setBattleBackground(const QString& chosenPicture, const QString& projectFolder, std::string_view currentMap);

}  // namespace quillmark
