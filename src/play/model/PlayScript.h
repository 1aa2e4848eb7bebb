#pragma once
// How the game reads an event text: the trigger marker, then commands one
// after the other. Texts are CP1252 bytes, as stored.
//
//   OnPlayerTouch>IniciaChuva:ShowMessage:Que chuva!&
//   OnActionPress>ShowDialog:Face02.bmp|Olá!&;PararChuva:
//
// Blanks and the line mark ';' between commands are passed over. A text that
// breaks the layout (an unknown keyword, a message without its "&", a
// dialogue without its "|") loses only the broken command: it is reported as
// a problem and reading goes on with the next command that can be found.
#include <string>
#include <string_view>
#include <vector>

namespace quillmark::play {

enum class Trigger { None, ActionPress, PlayerTouch, Character };

enum class CommandKind { RainOn, RainOff, SnowOn, SnowOff, StormOn, StormOff, Message, Dialog, Battle };

struct Command {
    CommandKind kind = CommandKind::Message;
    std::string face;  // Dialog: bare file name in "Imagens\", possibly empty
    std::string text;  // Message and Dialog: the text as stored; Battle: its arguments
    // Battle ("IniciarBatalha:Fuga|Slime|Lobo&"): the monsters, and whether fleeing is allowed
    std::vector<std::string> monsters;
    bool fleeing = true;
};

struct Script {
    Trigger trigger = Trigger::None;
    std::vector<Command> commands;
    std::vector<std::string> problems;  // UTF-8, one line each
};

// The keyword a command is written with ("IniciaChuva:" …).
std::string_view keywordOf(CommandKind kind);

// A cell's event: "OnActionPress>…" or "OnPlayerTouch>…". Any other text
// (no event, a character, stray text) gives Trigger::None and no commands.
Script parseCellEvent(std::string_view text);

// A character's script, its lines already joined as the editor stores them.
// A leading trigger marker is passed over: whatever it says, the script runs
// when the hero talks to the character.
Script parseCharacterScript(std::string_view text);

// The commands of a text that has no marker (what follows the marker).
void parseCommands(std::string_view text, Script& into);

// A character's speed as the game takes it: steps per ten seconds, from 0
// (standing still) to kMaxSpeed. An empty, unreadable or negative speed is 0;
// a larger one is kMaxSpeed.
inline constexpr int kMaxSpeed = 30;
int characterSpeed(std::string_view speed);

}  // namespace quillmark::play
