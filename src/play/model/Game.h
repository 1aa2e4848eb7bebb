#pragma once
// The running game: one game state (GameState) and the scene that shows it
// now. The map's auto-run event (its settings' EvetoAutoRun) runs on the first
// frame of the map, and again when the game starts over. The map scene is the World; a battle scene is a Battle over
// the same state; the game-over scene shows for a while and then the game starts again (or goes back to the title
// screen, when the game began there). The title screen is a TitleScene, the map's menu a MapMenu over the map; the
// saves are the project's SaveSlots.
#include "play/model/Battle.h"
#include "play/model/GameState.h"
#include "play/model/MapMenu.h"
#include "play/model/PlayWorld.h"
#include "play/model/SaveGame.h"
#include "play/model/TitleScene.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quillmark::play {

enum class SceneKind { Map, Battle, GameOver, Title, Menu };

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
    bool startBattle(const std::vector<std::string>& names, bool fleeing = true);

    // The map shown (its file name in "Mapas\", CP1252), and entering a map at a
    // cell facing a way; the game state goes on. Throws Error when the map cannot be entered.
    const std::string& mapName() const { return data_.mapName; }
    void enterMap(const std::string& mapFile, int row, int column, Dir facing);

    // The item list of the map is the menu's "Itens" (the item key opens and
    // closes it): the items with "Modo Mapa", in inventory order.
    bool itemListOpen() const { return menu_.isOpen() && menu_.page() == MapMenu::Page::Items; }
    std::vector<const ItemDef*> mapItems() const;
    int itemCursor() const { return menu_.cursor(); }
    // Uses one of an item on the map (its action, then its event); returns what it did (UTF-8).
    std::string useMapItem(const ItemDef& item);

    // The title screen: the game shows it now, and again after a game over.
    void showTitle();
    // A new game: a fresh game state on the project's first map.
    void newGame();
    const TitleScene& title() const { return title_; }
    const MapMenu& menu() const { return menu_; }
    const SaveSlots& saves() const { return saves_; }
    // Saves into a slot (1 … kSaveSlots); throws Error with the reason when it cannot.
    void saveTo(int slot);
    // Loads a slot; throws Error (the slot is damaged, of a later version, its map cannot be read).
    void loadFrom(int slot);
    // The player chose to leave ("Sair" on the title screen or in the menu).
    bool quitRequested() const { return quit_; }
    std::function<void()> onQuit;

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
    bool autoRunDone_ = false;
    SaveSlots saves_;
    TitleScene title_;
    MapMenu menu_;
    bool titleMode_ = false;  // the game began on the title screen
    bool quit_ = false;
};

}  // namespace quillmark::play
