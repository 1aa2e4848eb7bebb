#pragma once
// Saved games: three slots in the project's "Saves\" folder ("Saves\Save1.sav"
// … "Saves\Save3.sav"). A slot holds the whole game state: the map, the cell
// and the facing, the hero's name, level, experience, HP, MP and the lasting
// bonuses items gave, the spells, the inventory, the money, the switches that
// are on, the erased events, the weather, the steps since the last battle and
// the random source, so a loaded game goes on exactly as the saved one would.
//
// The file is JSON (UTF-8) with a format name and a version number. A file of
// a later version is refused with a message naming it and both versions; a
// file that is not a save of this format, or whose values are missing or out of
// range, is refused as damaged, naming the slot and what is wrong. Neither
// touches the other slots. Saving is the one thing the player writes into a
// project: atomically, inside the project (no link leading out of it), making
// "Saves\" when the project lacks it. A write that fails (a folder that cannot
// be written, a full disk) throws Error with the reason; the game goes on.
#include "play/model/GameState.h"
#include "play/model/PlayData.h"
#include "play/model/PlayWorld.h"

#include <QByteArray>
#include <QString>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace quillmark::play {

class Game;

inline constexpr int kSaveSlots = 3;
inline constexpr int kSaveVersion = 1;
inline constexpr const char* kSaveFormat = "quillmark-save";

struct SavedGame {
    int version = kSaveVersion;
    std::string savedAt;  // local time, "2026-12-10 14:30", UTF-8
    std::string map;      // the map's file name in "Mapas\", CP1252
    int row = 1, column = 1;
    Dir facing = Dir::Down;
    std::string heroName;  // CP1252
    HeroRecord hero;
    std::vector<int> switchesOn;  // in increasing order
    std::set<std::tuple<std::string, int, int>> erasedEvents;
    Weather weather;
};

// The running game's state as a save holds it, and a save put back into a game
// (the map entered at the saved cell; a map that cannot be loaded throws Error).
SavedGame captureGame(const Game& game);
void restoreGame(Game& game, const SavedGame& saved);

// The file's bytes, and back. `label` names the file in messages ("Saves\Save2.sav").
QByteArray encodeSave(const SavedGame& saved);
SavedGame decodeSave(const QByteArray& bytes, const std::string& label);

// What a slot holds, for the lists of the title screen and the menu.
struct SlotInfo {
    enum class Kind { Empty, Saved, Refused } kind = Kind::Empty;
    std::string summary;  // UTF-8: "Arthos  nível 3  Vila  2026-12-10 14:30", or the refusal
};

class SaveSlots {
public:
    explicit SaveSlots(QString projectFolder);

    // "Saves\Save1.sav" … for slots 1 to kSaveSlots.
    static std::string relativePath(int slot);
    QString path(int slot) const;

    SlotInfo info(int slot) const;
    // Whether any slot holds a file (even a refused one: "Continuar" lists it with its message).
    bool anySaved() const;
    // Reads and decodes a slot. Throws Error (empty, damaged, later version, unreadable).
    SavedGame read(int slot) const;
    // Writes a slot atomically inside the project. Throws Error naming the slot and the reason.
    void write(int slot, const SavedGame& saved) const;

private:
    QString folder_;
};

}  // namespace quillmark::play
