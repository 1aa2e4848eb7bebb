#pragma once
// The running game: one game state (GameState) and the scene that shows it
// now. The game owns the data of the map it is on and changes map on an
// event's "MudarMapa:" (with a short fade: the new map comes in when the
// screen is black) or at enterMap; the game state and the weather go along,
// and the rest of the event runs on the new map. The map's auto-run event (its
// settings' EvetoAutoRun) runs on the first frame of the game, each time a
// map is entered, and again when the game starts over (on its first map).
// The map scene is the World; a battle scene is a Battle over the same state;
// the game-over scene shows for a while and then the game starts again (or
// goes back to the title screen, when the game began there). The title screen
// is a TitleScene, the map's menu a MapMenu over the map; the saves are the
// project's SaveSlots.
#include "play/model/Battle.h"
#include "play/model/GameState.h"
#include "play/model/MapMenu.h"
#include "play/model/PlayWorld.h"
#include "play/model/SaveGame.h"
#include "play/model/TitleScene.h"

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace quillmark::play {

enum class SceneKind { Map, Battle, GameOver, Title, Menu };

inline constexpr int kGameOverFrames = 180;  // three seconds, or the action key after one
inline constexpr int kFadeFrames = 15;       // a transfer fades out, then in, a quarter second each

// Reads the data of a map of the game's project (LoadRequest's `map` and `at`
// filled in); throws Error when it cannot.
using MapLoader = std::function<std::unique_ptr<GameData>(const LoadRequest&)>;

class Game {
public:
    // `data` is the map the game starts on; it must outlive the game.
    Game(GameData& data, std::uint32_t seed);
    ~Game();

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
    // The data of the map the game is on.
    GameData& data() { return *data_; }
    const GameData& data() const { return *data_; }
    // Its file name in "Mapas\" (CP1252, ".xml" included).
    const std::string& mapName() const { return data_->mapName; }

    // Goes to a map of the project at once, without a fade: the hero on the
    // cell (row, column), facing `facing`, the game state kept, any event under
    // way or battle dropped; the map's auto-run event starts. Throws Error when
    // the map cannot be read or the cell is outside it, and the game stays
    // where it was.
    void enterMap(const std::string& mapFile, int row, int column, Dir facing);
    // How the maps are read; by default loadGame on the same project.
    MapLoader loader;
    // How dark a transfer's fade makes the map now: 0 (none) to 1 (black).
    double fade() const;
    // A transfer is under way: keys wait for it.
    bool fading() const { return fadeFrame_ > 0; }

    // The one way into a battle, for random encounters and event commands:
    // the monsters by name (up to three). A name no monster has is skipped and
    // reported; with none left there is no battle and false is returned.
    bool startBattle(const std::vector<std::string>& names, bool fleeing = true);

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
    std::unique_ptr<GameData> readMap(const std::string& mapFile, int row, int column);
    void swapMap(std::unique_ptr<GameData> next, int row, int column, Dir facing);
    bool startTransfer(const std::string& mapFile, int row, int column);
    void endGame();

    GameData& first_;                  // the map the game starts on (its tables serve the state)
    GameData* data_;                   // the map the game is on
    std::unique_ptr<GameData> owned_;  // that map once the game has left its first one
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
    bool titleMode_ = false;    // the game began on the title screen
    bool menuPending_ = false;  // Esc during a step: the menu opens when it ends
    bool quit_ = false;
    // A transfer under way: the next map, read already, and its cell.
    std::unique_ptr<GameData> next_;
    int nextRow_ = 0, nextColumn_ = 0;
    int fadeFrame_ = 0;             // frames into the fade (out, then in); 0: none
    std::set<std::string> warned_;  // maps whose problems were told (lower case)
};

}  // namespace quillmark::play
