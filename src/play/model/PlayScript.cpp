#include "play/model/PlayScript.h"

#include "model/core/Error.h"
#include "model/core/ProjectFile.h"
#include "model/core/Text.h"
#include "model/events/EventScript.h"

#include <algorithm>

namespace quillmark::play {

namespace {

bool isGap(char c) { return c == kLineMark || static_cast<unsigned char>(c) <= ' '; }

void takeProblems(const ParsedEvent& parsed, Script& into) {
    for (const EventProblem& p : parsed.problems) into.problems.push_back(describeProblem(p));
}

}  // namespace

std::string_view keywordOf(CommandKind kind) { return layoutOf(kind).keyword; }

std::string commandLine(const Command& command) {
    std::string line(keywordOf(command.kind));
    for (std::size_t i = 0; i < command.args.size(); ++i) line += (i ? "|" : "") + cp1252ToUtf8(command.args[i]);
    return line;
}

void parseCommands(std::string_view text, Script& into) {
    ParsedEvent parsed;
    ParseEventCommands(text, 0, parsed);
    into.commands.insert(into.commands.end(), std::make_move_iterator(parsed.commands.begin()),
                         std::make_move_iterator(parsed.commands.end()));
    takeProblems(parsed, into);
}

Script parseCellEvent(std::string_view text) {
    Script s;
    if (text.substr(0, kOnActionPress.size()) == kOnActionPress)
        s.trigger = Trigger::ActionPress;
    else if (text.substr(0, kOnPlayerTouch.size()) == kOnPlayerTouch)
        s.trigger = Trigger::PlayerTouch;
    else
        return s;
    parseCommands(text.substr(kOnActionPress.size()), s);
    return s;
}

Script parseCharacterScript(std::string_view text) {
    Script s;
    s.trigger = Trigger::Character;
    std::size_t start = 0;
    while (start < text.size() && isGap(text[start])) ++start;
    text = text.substr(start);
    if (text.substr(0, kOnActionPress.size()) == kOnActionPress ||
        text.substr(0, kOnPlayerTouch.size()) == kOnPlayerTouch)
        text = text.substr(kOnActionPress.size());
    parseCommands(text, s);
    return s;
}

int characterSpeed(std::string_view speed) {
    try {
        const int v = parseIntegerValue(speed);
        return std::clamp(v, 0, kMaxSpeed);
    } catch (const Error&) {
        return 0;
    }
}

}  // namespace quillmark::play
