#pragma once
// How the game reads an event text: the trigger marker, then commands one
// after the other, read by the one grammar of event scripts (EventCommands).
// Texts are CP1252 bytes, as stored.
//
//   OnPlayerTouch>IniciaChuva:ShowMessage:Que chuva!&
//   OnActionPress>SeInterruptor:3|Ligado&ShowMessage:A porta abre.&Senao:ShowMessage:Trancada.&FimSe:
//
// Blanks and the line mark ';' between commands are passed over. A text that
// breaks the layout (an unknown keyword, a command without its "&", wrong
// arguments, a block without its end) is reported as a problem, one line
// each; a command with wrong arguments or an open block is kept with
// `ok == false` and the game skips it, its blocks included.
#include "model/events/EventCommands.h"

#include <string>
#include <string_view>
#include <vector>

namespace quillmark::play {

enum class Trigger { None, ActionPress, PlayerTouch, Character };

using Command = quillmark::EventCommand;
using CommandKind = quillmark::EventCommandKind;

struct Script {
    Trigger trigger = Trigger::None;
    std::vector<Command> commands;
    std::vector<std::string> problems;  // UTF-8, one line each
};

// The keyword a command is written with ("IniciaChuva:" …).
std::string_view keywordOf(CommandKind kind);

// A command as the trace shows it: its keyword and its arguments, '|'
// between them (UTF-8).
std::string commandLine(const Command& command);

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
