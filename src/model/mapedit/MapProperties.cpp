#include "model/mapedit/MapProperties.h"

#include "model/core/Files.h"
#include "model/core/Paths.h"
#include "model/core/Picture.h"
#include "model/core/RecordTable.h"
#include "model/core/Text.h"

#include <QFileInfo>

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

const Schema& mapPropertiesSchema() {
    static const Schema schema{
        {"Mapa", FieldKind::String, 60},   {"EvetoAutoRun", FieldKind::Memo, 0}, {"EnemysTipe", FieldKind::Boolean, 0},
        {"Enemy1", FieldKind::String, 50}, {"Enemy2", FieldKind::String, 50},    {"Enemy3", FieldKind::String, 50},
    };
    return schema;
}

namespace {

QString tableFile(const QString& projectFolder) {
    return projectPath(projectFolder, std::string_view(kMapPropertiesFile));
}

}  // namespace

std::vector<std::pair<std::string, MapSettings>> readAllMapSettings(const QString& projectFolder) {
    std::vector<std::pair<std::string, MapSettings>> all;
    const QString file = tableFile(projectFolder);
    if (!QFileInfo::exists(file)) return all;
    RecordTable t("PropMapas");
    t.setFileName(file);
    t.open();
    auto text = [&t](const char* field) { return t.hasField(field) ? t.asString(field) : std::string(); };
    for (int n = 1; n <= t.recordCount(); ++n) {
        t.setRecNo(n);
        MapSettings s;
        s.EvetoAutoRun = text("EvetoAutoRun");
        s.EnemysTipe = t.hasField("EnemysTipe") && t.asBoolean("EnemysTipe");
        s.Enemy = {text("Enemy1"), text("Enemy2"), text("Enemy3")};
        all.emplace_back(text("Mapa"), std::move(s));
    }
    return all;
}

MapSettings readMapSettings(const QString& projectFolder, std::string_view map) {
    for (auto& [name, settings] : readAllMapSettings(projectFolder))
        if (equalsIgnoreCase(name, map)) return settings;
    return {};
}

void storeMapSettings(const QString& projectFolder, std::string_view map, const MapSettings& settings) {
    auto all = readAllMapSettings(projectFolder);
    bool found = false;
    for (auto& [name, s] : all)
        if (equalsIgnoreCase(name, map)) {
            if (s == settings) return;
            s = settings;
            found = true;
            break;
        }
    if (!found) {
        if (settings == MapSettings{}) return;  // a map without a record has these settings
        all.emplace_back(std::string(map), settings);
    }
    std::vector<Record> records;
    for (const auto& [name, s] : all) {
        Record r;
        r.emplace_back(name);
        r.emplace_back(s.EvetoAutoRun);
        r.emplace_back(s.EnemysTipe ? "True" : "False");  // read back in any letter case
        for (const std::string& e : s.Enemy) r.emplace_back(e.substr(0, 50));
        records.push_back(std::move(r));
    }
    RecordTable t("PropMapas");
    t.setFileName(tableFile(projectFolder));
    t.setProjectFolder(projectFolder);  // the write stays inside the project
    t.setContents(mapPropertiesSchema(), std::move(records));
    t.writeToFile();
}

}  // namespace quillmark
