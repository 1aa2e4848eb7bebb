#pragma once
// A battle: the hero against one to three monsters, round by round. The hero
// picks a command ("Atacar", "Magia", "Item", "Defender", "Fugir") and, where
// it needs one, a target, a spell or an item; then everyone alive acts once,
// the fastest first (Agilidade; the hero before a monster as fast). Each action
// plays for a short while so it can be seen; input waits meanwhile. The rules
// are GameState's. Drawing is the view's; this class only keeps the state.
#include "play/model/GameState.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quillmark::play {

// The keys a battle reads.
enum class BattleKey { Up, Down, Action, Back, Attack, Magic, Item, Defend, Flee, Choice };

// What a fighter is doing, for the frames the view shows.
enum class Pose { Standing, Approaching, Striking, Defending, Casting, Hit, Dying, Dead };

struct Fighter {
    std::string name;                 // CP1252
    const MonsterDef* def = nullptr;  // null for the hero
    int hp = 1, maxHp = 1, mp = 0, maxMp = 0;
    int strength = 0, defence = 0, agility = 0;
    bool defending = false;
    Pose pose = Pose::Standing;
    int poseSince = 0;  // battle frame the pose began
    bool alive() const { return hp > 0; }
};

// A spell being shown: its five frames over the target or at the centre.
struct SpellShow {
    const SpellDef* spell = nullptr;
    int target = -1;  // fighter index (0 the hero, 1 … the monsters)
    int since = 0;
};

inline constexpr int kActionFrames = 36;  // how long one action shows
inline constexpr int kSpellFrames = 30;   // five frames of six
inline constexpr int kEndFrames = 90;     // the victory or defeat before leaving

class Battle {
public:
    enum class Menu { Command, Target, Spell, Item };
    enum class Outcome { None, Won, Lost, Fled };

    // Monsters that do not exist are left out by the caller.
    Battle(GameState& state, const std::vector<const MonsterDef*>& monsters);

    void press(BattleKey key, int choice = 0);  // Choice: 1 … 9
    void tick();

    int frame() const { return frame_; }
    const std::vector<Fighter>& fighters() const { return fighters_; }  // [0] the hero
    Menu menu() const { return menu_; }
    int cursor() const { return cursor_; }
    // The entries of the menu shown (UTF-8), and whether each may be chosen.
    std::vector<std::pair<std::string, bool>> menuEntries() const;
    // Input is awaited: no action plays and the battle goes on.
    bool waiting() const { return !acting_ && outcome_ == Outcome::None; }
    Outcome outcome() const { return outcome_; }
    // The battle is over and its end has shown long enough.
    bool finished() const { return outcome_ != Outcome::None && frame_ - endedAt_ >= kEndFrames; }
    const std::optional<SpellShow>& spellShow() const { return spell_; }
    const std::string& message() const { return message_; }  // UTF-8, the last thing that happened

    std::function<void(const std::string&)> onTrace;
    std::function<void(const std::string&)> onSound;  // a sound file name in "Sounds\"
    // An item was used: its event script runs once the battle is over.
    std::function<void(const ItemDef&)> onItemEvent;

    // The items the hero may use in battle: those with "Modo Batalha", in inventory order.
    std::vector<const ItemDef*> battleItems() const;

private:
    struct Plan {
        int actor = 0;
        enum class Kind { Attack, Spell, Item, Defend, Flee } kind = Kind::Attack;
        int target = 0;
        const SpellDef* spell = nullptr;
        const ItemDef* item = nullptr;
    };

    void trace(const std::string& line);
    void say(const std::string& line);
    void choose(int index);
    void commit(Plan plan);
    void startRound(const Plan& hero);
    void nextAction();
    void perform(const Plan& plan);
    Plan monsterPlan(int index);
    void hurt(int target, int damage, const std::string& what);
    void syncHero();
    std::vector<int> livingMonsters() const;
    void end(Outcome outcome);

    GameState& state_;
    std::vector<Fighter> fighters_;
    Menu menu_ = Menu::Command;
    int cursor_ = 0;
    Plan pending_;  // the hero's command while a target is chosen
    std::vector<Plan> queue_;
    bool acting_ = false;
    int actionEnds_ = 0;
    int frame_ = 0;
    int endedAt_ = 0;
    Outcome outcome_ = Outcome::None;
    bool fled_ = false;
    std::optional<SpellShow> spell_;
    std::string message_;
};

}  // namespace quillmark::play
