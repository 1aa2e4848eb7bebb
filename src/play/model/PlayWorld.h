#pragma once
// The game as it runs: the hero and the characters on the map, the events they
// set off, the weather and the message or dialogue on screen. Time advances in
// fixed frames of 1/60 s (tick), so a run fed the same keys always ends the
// same way. Drawing is PlayRender's; this class only keeps the state.
//
// Events run one command after the other. A message, a dialogue, a question,
// a battle, a walk of "MoverHeroi:" or a map transfer makes the rest wait.
// Touch events run only when the hero steps onto a cell by a key: not when
// an event walks him there, and not when a transfer sets him down, so two
// touch events that transfer to each other never loop. An event erased by
// "ApagarEvento:" never runs again in the game (the GameState keeps it).
#include "play/model/GameState.h"
#include "play/model/PlayData.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>

namespace quillmark::play {

inline constexpr int kFramesPerSecond = 60;
inline constexpr int kHeroStepFrames = 12;        // one cell in 1/5 s
inline constexpr int kCharacterStepFrames = 18;   // characters stroll
inline constexpr int kTileFrameFrames = 15;       // animated tiles: four pictures a second
inline constexpr int kCharacterPauseFrames = 40;  // a character rests after each step

// The game's keys: the four directions and the action key walk and talk on
// the map and move and choose in lists; the others are the battle commands
// ("Atacar", "Magia", "Item", "Defender", "Fugir"), going back in a list, and
// choosing the first to ninth entry of a list at once; Menu opens the map's
// menu (Esc) and goes back in it.
enum class Key { Up, Down, Left, Right, Action, Attack, Magic, Item, Defend, Flee, Back, Choice, Menu };

// Someone on the map: where they stand, where they are stepping to, and how far.
struct Walker {
    int row = 1, column = 1;      // the cell they stand on (their origin while stepping)
    int toRow = 1, toColumn = 1;  // the cell they step to (= row/column when still)
    Dir facing = Dir::Down;
    int stepFrame = 0;  // frames into the step; 0 when still
    int stepFrames = kHeroStepFrames;
    int strides = 0;  // steps taken, for alternating the stride frames
    bool moving() const { return stepFrame > 0; }
    bool occupies(int r, int c) const { return (row == r && column == c) || (toRow == r && toColumn == c); }
    // How far through the step, 0 to 1.
    double progress() const { return moving() ? double(stepFrame) / stepFrames : 0.0; }
    // The frame to draw: 0 standing, 1 or 2 in the first half of a step.
    int spriteFrame() const { return moving() && stepFrame * 2 <= stepFrames ? 1 + strides % 2 : 0; }
};

// A message or dialogue on screen. A text longer than a box holds is shown a
// page at a time: the action key turns the page, and closes the box after the last.
inline constexpr std::size_t kPageChars = 240;

// A question shows its text and its answers ("Sim"/"Não" or two to four
// choices, CP1252) on its last page; the arrow keys move the cursor and the
// action key (or a choice key) answers.
struct Box {
    bool dialog = false;
    std::string face;               // CP1252
    std::string text;               // CP1252, the page shown
    std::deque<std::string> pages;  // the pages after it
    std::vector<std::string> choices;
    int cursor = 0;
    bool asking() const { return !choices.empty() && pages.empty(); }
};

// Where a running command came from: the cell of a map event or a
// character's home cell, which "ApagarEvento:" erases; none for an item's or
// a map's auto-run event.
struct EventSource {
    bool cell = false;
    std::string map;  // the map of the cell (an event goes on after a transfer)
    int row = 0, column = 0;
};

struct PendingCommand {
    Command command;
    EventSource source;
};

// A text cut into pages of at most kPageChars characters, between words where
// it can (a word longer than a page is cut), line breaks kept.
std::deque<std::string> pagesOf(const std::string& text);

struct Weather {
    bool rain = false;
    bool snow = false;
    bool storm = false;
};

class World {
public:
    explicit World(GameData& data);

    GameData& data() { return data_; }
    const GameData& data() const { return data_; }

    // Starts random choices (characters' strolls) from this seed.
    void setSeed(std::uint32_t seed) { seed_ = seed ? seed : 0x5eed1234u; }
    // The game state the commands change (switches, items, money, the hero's
    // name and level, erased events). Without one those commands are skipped.
    void setState(GameState* state) { state_ = state; }
    // Puts the hero on a cell, facing a way (a transfer's arrival).
    void placeHero(int row, int column, Dir facing);

    // Runs an event's commands as a cell's event would (an item's script).
    void runEvent(const Script& script, const std::string& header) { runScript(script, header, {}); }

    // A key pressed once: a direction turns the hero and takes one step when the
    // way is free; the action key talks or examines, or closes the box on screen.
    // A key pressed while the hero is stepping waits for the step to end. On a
    // question, up and down move the cursor, and the action key or Key::Choice
    // with the answer's number (from 1) answers.
    void press(Key key, int choice = 0);
    // A direction held down keeps the hero walking.
    void hold(Key key, bool down);

    // One frame.
    void tick();

    int frame() const { return frame_; }
    const Walker& hero() const { return hero_; }
    const std::vector<Walker>& characters() const { return walkers_; }
    const std::optional<Box>& box() const { return box_; }
    const Weather& weather() const { return weather_; }
    // The weather goes along to the next map.
    void setWeather(const Weather& weather) { weather_ = weather; }
    // The animated tiles' frame (0, 1, 2) and whether a storm's lightning shows.
    int tileFrame() const { return (frame_ / kTileFrameFrames) % 3; }
    bool lightning() const;

    // Nothing under way: the hero stands, no box shows and no key waits.
    bool idle() const {
        return !hero_.moving() && !box_ && !pending_ && queue_.empty() && !inBattle_ && walk_.empty() && !walking_ &&
               !away_;
    }

    // The commands still to run (a transfer carries them to the next map).
    std::deque<PendingCommand> takeQueue();
    void continueWith(std::deque<PendingCommand> commands);

    // What happened, one line each (UTF-8): the trace of the test mode.
    std::function<void(const std::string&)> onTrace;
    // An event starts a battle (IniciarBatalha): the monsters and whether the
    // hero may flee. When it returns true the event waits for battleOver().
    std::function<bool(const std::vector<std::string>&, bool)> onBattle;
    // The battle an event started is over: the event goes on.
    void battleOver();
    // An event transfers the hero ("MudarMapa:"): the map file (CP1252) and
    // the cell. When it returns true the world waits to be replaced.
    std::function<bool(const std::string&, int, int)> onTransfer;
    // An event ends the game ("GameOver:").
    std::function<void()> onGameOver;

    // The hero finished a step onto a cell (after any touch event there started).
    std::function<void()> onHeroStep;
    // A broken script or another problem met while playing (UTF-8).
    std::function<void(const std::string&)> onProblem;

    // Whether the hero may enter the cell: inside the map, not 'X', nobody there.
    bool heroMayEnter(int row, int column) const;

private:
    void trace(const std::string& line);
    void heroTry(Dir d, bool report);
    void action();
    void closeBox();
    void runScript(const Script& script, const std::string& header, EventSource source);
    void runQueue();
    // Runs one command; false when the rest must wait.
    bool run(const PendingCommand& p);
    void runBlock(const std::vector<Command>& commands, const EventSource& source);
    void answer(int index);
    void problem(const std::string& line);
    bool erased(int row, int column) const;
    bool characterWaits(std::size_t i) const;
    void stepWalker(Walker& w, bool isHero);
    void wander(std::size_t i);
    std::uint32_t random();

    GameData& data_;
    Walker hero_;
    std::vector<Walker> walkers_;  // one per data_.characters, same order
    std::vector<int> nextWander_;  // frame of each character's next step
    std::vector<bool> talking_;
    std::optional<Box> box_;
    std::deque<PendingCommand> queue_;
    std::optional<PendingCommand> question_;  // the question on screen, with its blocks
    std::deque<Dir> walk_;                    // steps of "MoverHeroi:" still to take
    bool walking_ = false;                    // the hero takes a step of such a walk
    GameState* state_ = nullptr;
    bool away_ = false;  // a transfer is under way: nothing more runs here
    std::optional<Key> pending_;
    bool held_[4] = {false, false, false, false};
    Weather weather_;
    bool inBattle_ = false;  // an event waits for the battle it started
    int frame_ = 0;
    std::uint32_t seed_ = 0x5eed1234u;
};

}  // namespace quillmark::play
