#pragma once
// The running game: one game state (GameState) and the scene that shows it
// now. The map scene is the World; a battle scene is a Battle over the same
// state; the game-over scene shows for a while and then the game starts again.
// Scenes to come (title, menu) are more entries of SceneKind, each with its own
// class; none of them needs to touch another's code.
#include "play/model/Battle.h"
#include "play/model/GameState.h"
#include "play/model/PlayWorld.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quillmark::play {

enum class SceneKind { Map, Battle, GameOver };

inline constexpr int kGameOverFrames = 180;  // three seconds, or the action key after one

class Game {
public:
    Game(GameData& data, std::uint32_t seed);

    void press(Key key, int choice = 0);  // choice: 1 … 9 with Key::Choice
    void hold(Key key, bool down);
    void tick();
    // Nothing under way and a key would be taken now.
    bool idle() const;
    int frame() const { return frame_; }

    SceneKind scene() const { return scene_; }
    World& world() { return *world_; }
    const World& world() const { return *world_; }
    const Battle* battle() const { return battle_.get(); }
    GameState& state() { return *state_; }
    const GameState& state() const { return *state_; }
    GameData& data() { return data_; }
    const GameData& data() const { return data_; }

    // The one way into a battle, for random encounters and event commands:
    // the monsters by name (up to three). A name no monster has is skipped and
    // reported; with none left there is no battle and false is returned.
    bool startBattle(const std::vector<std::string>& names);

    // The item list of the map (the item key opens and closes it): the items
    // with "Modo Mapa", in inventory order.
    bool itemListOpen() const { return itemList_; }
    std::vector<const ItemDef*> mapItems() const;
    int itemCursor() const { return itemCursor_; }

    std::function<void(const std::string&)> onTrace;
    std::function<void(const std::string&)> onProblem;
    // A sound to play once, and the music to play from now on (empty: none);
    // file names in "Sounds\".
    std::function<void(const std::string&)> onSound;
    std::function<void(const std::string&)> onMusic;

private:
    void trace(const std::string& line);
    void newWorld();
    void heroStepped();
    void useMapItem(int index);
    void runItemEvent(const ItemDef& item);
    void leaveBattle();

    GameData& data_;
    std::unique_ptr<GameState> state_;
    std::unique_ptr<World> world_;
    std::unique_ptr<Battle> battle_;
    SceneKind scene_ = SceneKind::Map;
    int frame_ = 0;
    int gameOverSince_ = 0;
    std::vector<const ItemDef*> afterBattle_;  // item events to run back on the map
    bool itemList_ = false;
    int itemCursor_ = 0;
};

}  // namespace quillmark::play
