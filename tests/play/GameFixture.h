#pragma once
// A small game loaded in the test's own process: a 7 x 7 map "Vila.xml" (the
// first) and a 5 x 5 "Caverna.xml", a hero of levels 1 to 5 (HP 50 to 90, MP 10 to 30), the
// template's spells "Fogo" (damage) and "Cura" (40 HP for 5 MP), and the items
// "Pocao" (30 HP, map and battle), "Tonico" (maximum HP +15, map only) and
// "Bomba" (battle only), and a "Golem" no hero of this game can beat.
#include "PlayRunner.h"

#include "model/core/RecordTable.h"
#include "play/model/Game.h"
#include "play/model/PlayData.h"

#include <memory>
#include <string>
#include <vector>

namespace qmtest {

using Fields = std::vector<std::pair<std::string, std::string>>;

// Field values as a test writes them: "TRUE" and "FALSE" set a boolean field.
inline void setRecordFields(quillmark::RecordTable& t, const Fields& fields) {
    for (const auto& [name, value] : fields) {
        if (value == "TRUE" || value == "FALSE")
            t.setBoolean(name, value == "TRUE");
        else
            t.setString(name, value);
    }
}

// A new record at the end of a table file.
inline void addRecordTo(const QString& file, const Fields& fields) {
    quillmark::RecordTable t;
    t.setFileName(file);
    t.open();
    t.insert();
    setRecordFields(t, fields);
    t.post();
    t.close();
}

// The fields of a table's first record changed (the hero's "Personagem.xml").
inline void editFirstRecord(const QString& file, const Fields& fields) {
    quillmark::RecordTable t;
    t.setFileName(file);
    t.open();
    t.edit();
    setRecordFields(t, fields);
    t.post();
    t.close();
}

struct SmallGame {
    ProjectFixture project;
    std::unique_ptr<quillmark::play::GameData> data;
    std::vector<std::string> trace;
    std::vector<std::string> sounds;

    SmallGame() {
        quillmark::MapGrid grid = smallMap();
        project.addMap("Vila.xml", grid);
        project.addMap("Caverna.xml", smallMap(5));
        const QString tables = project.folder() + "Data/";
        auto item = [&](const char* name, int action, int amount, bool map, bool battle) {
            addRecordTo(tables + "Itens.xml", {{"Nome", name},
                                               {"Acao", std::to_string(action)},
                                               {"AcaoAux", std::to_string(amount)},
                                               {"usMapa", map ? "TRUE" : "FALSE"},
                                               {"usBatlle", battle ? "TRUE" : "FALSE"}});
        };
        addRecordTo(tables + "Monstros.xml", {{"Nome", "Golem"},
                                              {"Nivel", "1"},
                                              {"HP", "900"},
                                              {"Forca", "400"},
                                              {"Defesa", "200"},
                                              {"Agilidade", "1"}});
        item("Pocao", 0, 30, true, true);
        item("Tonico", 2, 15, true, false);
        item("Bomba", 9, 0, false, true);
        editFirstRecord(tables + "Personagem.xml", Fields{{"NvInicial", "1"},
                                                          {"NvMax", "5"},
                                                          {"HPInicial", "50"},
                                                          {"HPMax", "90"},
                                                          {"MPInicial", "10"},
                                                          {"MPMax", "30"},
                                                          {"ForcaInicial", "20"},
                                                          {"ForcaMax", "40"},
                                                          {"DefIncial", "10"},
                                                          {"DefMax", "30"},
                                                          {"AgInicial", "10"},
                                                          {"AgMax", "30"},
                                                          {"Magia01", "1"},
                                                          {"Magia02", "4"},
                                                          {"Magia03", ""},
                                                          {"Iten01", "Pocao"},
                                                          {"Iten02", "Tonico"},
                                                          {"Iten03", "Bomba"}});
    }

    // The game loaded afresh from the project (as a new start of the player).
    std::unique_ptr<quillmark::play::Game> start(std::uint32_t seed = 7) {
        data = quillmark::play::loadGame({project.projectFile(), {}, std::pair{4, 4}, binFolder()});
        auto game = std::make_unique<quillmark::play::Game>(*data, seed);
        game->onTrace = [this](const std::string& line) { trace.push_back(line); };
        game->onSound = [this](const std::string& file) { sounds.push_back(file); };
        return game;
    }

    QString savesFolder() const { return project.folder() + "Saves/"; }
    bool traced(const std::string& line) const {
        for (const std::string& l : trace)
            if (l == line) return true;
        return false;
    }
};

inline void ticks(quillmark::play::Game& game, int n) {
    for (int i = 0; i < n; ++i) game.tick();
}

}  // namespace qmtest
