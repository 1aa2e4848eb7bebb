#pragma once
// The per-map settings of "Propriedades do Mapa".
//
// The battle background is the picture "Imagens\" + B + "Bat.bmp" in the
// project folder, where B is the map's file name with every ".xml" removed
// (exact case), so the map Vila.xml has VilaBat.bmp and a map file Vila.XML
// has Vila.XMLBat.bmp.
//
// The rest is kept in the record table "Data\PropMapas.xml", one record per
// map, keyed by the map's file name ("Mapa", matched without regard to case):
// "EvetoAutoRun" (memo), "EnemysTipe" (boolean: random battles on, written
// "True"/"False" and read in any letter case) and
// "Enemy1" … "Enemy3" (a monster's "Nome" each). A project without the file,
// or a map without a record, has no random battles and no auto-run event.
#include <QString>
#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillmark {

class Picture;
struct FieldDef;
using Schema = std::vector<FieldDef>;

// The hint of the battle background picture (UTF-8).
inline constexpr const char* kBattleBackgroundHint = "Clique aqui para alterar a imagem de fundo da batalha";
// The picture shown before any is chosen, in the editor folder.
inline constexpr const char* kDefaultBattleBackground = "Imagens\\grass.bmp";
// The table of the map settings, in the project folder.
inline constexpr const char* kMapPropertiesFile = "Data\\PropMapas.xml";

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

// One map's stored settings (CP1252 text).
struct MapSettings {
    std::string EvetoAutoRun;
    bool EnemysTipe = false;
    std::array<std::string, 3> Enemy;  // Enemy1 … Enemy3; empty: none
    bool operator==(const MapSettings&) const = default;
};

// Mapa (string 60), EvetoAutoRun (memo), EnemysTipe (boolean), Enemy1 … Enemy3 (string 50).
const Schema& mapPropertiesSchema();

// Every record of the table, in stored order: the map file name and its
// settings. No file: nothing. A file that cannot be read throws the table's
// error naming it.
std::vector<std::pair<std::string, MapSettings>> readAllMapSettings(const QString& projectFolder);

// The settings of one map (defaults when it has no record).
MapSettings readMapSettings(const QString& projectFolder, std::string_view map);

// Stores one map's settings, keeping every other map's record: the record of
// the map is replaced (or added at the end) and the table written atomically.
// Nothing is written when the settings are those already stored (a map without
// a record has the default settings).
void storeMapSettings(const QString& projectFolder, std::string_view map, const MapSettings& settings);

}  // namespace quillmark
