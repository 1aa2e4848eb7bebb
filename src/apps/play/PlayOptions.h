#pragma once
// The player's command line and its test mode.
//
//   quillmark-play PROJECT.qmk | PROJECT_FOLDER [--map NAME.xml] [--at ROW,COL]
//                  [--seed N] [--battle NAME[,NAME,NAME]] [--title]
//                  [--headless] [--keys KEYS] [--frames N] [--screenshot OUT.png] [--trace]
//
// The window starts on the title screen unless --map, --at or --battle jump
// into the game; the test mode starts on the map unless --title is given.
//
// The test mode (--headless) opens no window: it plays N frames of 1/60 s,
// feeding the keys (U, D, L, R a step up, down, left, right; A the action key;
// I the item list; P the menu (Esc); K, M, I, E, F the battle commands; B back;
// 1 to 9 an entry of the list shown) one at a time, each when the previous step, message,
// dialogue or battle action is done. --seed makes every random choice
// repeatable; --battle starts a battle against those monsters at once.
// A message or dialogue is closed by the next A; a key other than A while it
// shows is dropped. When the keys have run out, a box still showing closes
// after half a second, so the rest of its event runs. --trace prints one line
// per step, event, command and closed box; --screenshot writes the last frame.
#include <QString>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quillmark::play {

struct Options {
    QString target;
    QString map;
    std::optional<std::pair<int, int>> at;
    bool headless = false;
    std::string keys;  // upper case, only U D L R A
    int frames = 1;
    QString screenshot;
    bool trace = false;
    bool title = false;  // --title
    bool help = false;
    std::uint32_t seed = 0x5eed1234u;
    std::vector<std::string> battle;  // monster names, CP1252
    std::string screenshotScene;
};

// Exit statuses.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// The usage text (UTF-8).
std::string usageText();

// Reads the arguments (without the program name). Bad arguments throw Error.
Options parseOptions(const QStringList& args);

// Runs the test mode: loads the game, plays, prints the trace to `out` and
// problems to `err`. Returns the exit status. Needs a QGuiApplication.
int runHeadless(const Options& options, const QString& editorFolder, std::ostream& out, std::ostream& err);

}  // namespace quillmark::play
