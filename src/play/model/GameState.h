#pragma once
// The game as a player owns it, apart from any scene that shows it: the hero's
// level, experience and attributes, the spells known, the inventory and the
// money, the switches, the events erased for good, and the one random source
// every choice of the game draws from.
//
// The rules, as the player's help and the README give them:
//
//   Growth      each attribute runs in a straight line from its start value at
//               NvInicial to its maximum at NvMax (rounded down); items add to
//               it lasting bonuses.
//   Experience  reaching the n-th level above NvInicial takes 10 x n x (n + 1)
//               experience in all: 20 for the first, 60 for the second, 120,
//               200 … ; never beyond NvMax.
//   Damage      an attack does strength - defence / 2 + a spread drawn from
//               0 … strength / 4, at least 1; "Defender" halves what the
//               defender takes (rounded down, at least 1) until its next turn.
//               A damage spell does its DanoCausado, halved the same way.
//   Fleeing     succeeds with a chance of 50 + 2 x (hero's agility - the
//               fastest living monster's agility) percent, held to 10 … 95.
//   Encounters  on a map with random battles on, no battle within the first 7
//               steps after the previous one (or the start); from the 8th step
//               on each step starts one with a chance of 1 in 16 (one battle
//               every 23 steps on average), with one to three monsters drawn
//               from the map's enemies.
#include "play/model/GameDatabase.h"

#include <array>
#include <cstdint>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace quillmark::play {

// xorshift32: the same sequence from the same seed, on every machine.
class Random {
public:
    explicit Random(std::uint32_t seed = 0x5eed1234u) { reseed(seed); }
    void reseed(std::uint32_t seed) { state_ = seed ? seed : 0x5eed1234u; }
    // Where the sequence stands (a saved game keeps it, and reseed() goes on from it).
    std::uint32_t state() const { return state_; }
    std::uint32_t next();
    // A whole number from 0 to n - 1 (0 when n <= 0).
    int below(int n);

private:
    std::uint32_t state_ = 0x5eed1234u;
};

inline constexpr int kCalmSteps = 7;
inline constexpr int kEncounterOdds = 16;

// The rules above as functions.
int attributeAt(const Growth& g, int level, int levelStart, int levelMax);
long long experienceFor(int level, int levelStart);       // total experience to reach `level`
int attackDamage(int strength, int defence, int spread);  // spread drawn from 0 … strength / 4
inline int spreadRange(int strength) { return strength / 4; }
int halved(int damage);
int fleeChance(int heroAgility, int fastestMonster);

// The hero's part of the game state as a saved game holds it.
struct HeroRecord {
    int level = 1;
    long long experience = 0;
    int hp = 1, mp = 0;
    int bonusHp = 0, bonusMp = 0, bonusStrength = 0, bonusDefence = 0, bonusAgility = 0;
    std::vector<int> spells;
    std::vector<std::pair<std::string, int>> inventory;
    long long money = 0;
    int stepsSinceBattle = 0;
    std::uint32_t random = 0x5eed1234u;
};

class GameState {
public:
    GameState(const GameDatabase& db, std::uint32_t seed);

    const GameDatabase& db() const { return db_; }
    Random& random() { return random_; }

    // The hero.
    int level() const { return level_; }
    long long experience() const { return experience_; }
    int hp() const { return hp_; }
    int mp() const { return mp_; }
    int maxHp() const;
    int maxMp() const;
    int strength() const;
    int defence() const;
    int agility() const;
    const std::vector<int>& spells() const { return spells_; }
    void setHp(int hp);
    void setMp(int mp);
    // The hero's name, from the database at the start; CP1252.
    const std::string& heroName() const { return heroName_; }
    void setHeroName(std::string name);
    // Sets the level, held to NvInicial … NvMax: the experience goes to the
    // level's threshold and HP and MP follow the maxima as a level up does.
    void setLevel(int level);

    // Experience won; returns one line per level reached (UTF-8).
    std::vector<std::string> gainExperience(long long amount);
    // One level up (an item's "Aumentar Nivel"); the experience goes to the
    // level's threshold. Returns the level-up line, empty at NvMax.
    std::string levelUp();

    // Items: names with counts, in the order they were first got.
    const std::vector<std::pair<std::string, int>>& inventory() const { return inventory_; }
    int count(std::string_view item) const;
    void addItem(const std::string& item, int count = 1);
    // Uses one of the item: its action, then the count goes down (the item
    // goes at zero). Returns what it did (UTF-8) and appends level-up lines.
    std::string useItem(const ItemDef& item, std::vector<std::string>& levelUps);

    long long money() const { return money_; }
    void addMoney(long long amount);

    // Switches 1 … 100, all off at the start; any other number is off and
    // cannot be set (the caller reports it).
    static bool switchExists(int n) { return n >= 1 && n <= kSwitches; }
    bool switchOn(int n) const;
    void setSwitch(int n, bool on);

    // Cell events erased by "ApagarEvento:": the map (its file name, CP1252)
    // and the cell; an erased event never runs again in this game.
    bool eventErased(const std::string& map, int row, int column) const;
    void eraseEvent(const std::string& map, int row, int column);
    const std::set<std::tuple<std::string, int, int>>& erasedEvents() const { return erased_; }

    // Steps walked since the last battle (for the encounter rule).
    int stepsSinceBattle = 0;

    // Everything of the hero, for a saved game; restore() holds each value to
    // its range (the level to NvInicial … NvMax, HP to 1 … the maximum).
    HeroRecord record() const;
    void restore(const HeroRecord& record);
    static constexpr int kSwitches = 100;

private:
    std::string levelLine() const;

    const GameDatabase& db_;
    Random random_;
    int level_ = 1;
    long long experience_ = 0;
    int hp_ = 1, mp_ = 0;
    int bonusHp_ = 0, bonusMp_ = 0, bonusStrength_ = 0, bonusDefence_ = 0, bonusAgility_ = 0;
    std::vector<int> spells_;
    std::vector<std::pair<std::string, int>> inventory_;
    long long money_ = 0;
    std::string heroName_;
    std::array<bool, kSwitches + 1> switches_{};
    std::set<std::tuple<std::string, int, int>> erased_;
};

}  // namespace quillmark::play
