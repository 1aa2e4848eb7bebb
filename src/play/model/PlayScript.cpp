#include "play/model/PlayScript.h"

#include "model/core/Error.h"
#include "model/core/ProjectFile.h"
#include "model/core/Text.h"
#include "model/events/EventScript.h"

#include <algorithm>
#include <array>

namespace quillmark::play {

namespace {

struct Keyword {
    std::string_view text;
    CommandKind kind;
};

constexpr std::array<Keyword, 8> kKeywords = {{
    {kIniciaChuva, CommandKind::RainOn},
    {kPararChuva, CommandKind::RainOff},
    {kIniciaNeve, CommandKind::SnowOn},
    {kPararNeve, CommandKind::SnowOff},
    {kIniciaTempestade, CommandKind::StormOn},
    {kPararTempestade, CommandKind::StormOff},
    {kShowMessage, CommandKind::Message},
    {kShowDialog, CommandKind::Dialog},
}};

bool isGap(char c) { return c == kLineMark || static_cast<unsigned char>(c) <= ' '; }

// Where the next known keyword begins at or after a position, or npos. Each
// keyword's next place is remembered and only looked for again once reading
// has passed it, so passing over many unknown words reads the text once.
class KeywordFinder {
public:
    explicit KeywordFinder(std::string_view text) : text_(text) {}
    std::size_t next(std::size_t from) {
        std::size_t best = std::string_view::npos;
        for (std::size_t i = 0; i < at_.size(); ++i) {
            if (!known_ || (at_[i] != std::string_view::npos && at_[i] < from))
                at_[i] = text_.find(i < kKeywords.size() ? kKeywords[i].text : kAddChar, from);
            best = std::min(best, at_[i]);
        }
        known_ = true;
        return best;
    }

private:
    std::string_view text_;
    std::array<std::size_t, kKeywords.size() + 1> at_{};
    bool known_ = false;
};

// A piece of stored text for a message (UTF-8), cut with "…" when long.
std::string shown(std::string_view cp1252, std::size_t limit = 40) {
    return "\"" + cp1252ToUtf8(cp1252.substr(0, limit)) + (cp1252.size() > limit ? "…" : "") + "\"";
}

}  // namespace

std::string_view keywordOf(CommandKind kind) {
    for (const Keyword& k : kKeywords)
        if (k.kind == kind) return k.text;
    return {};
}

void parseCommands(std::string_view text, Script& into) {
    KeywordFinder keywords(text);
    std::size_t pos = 0;
    while (true) {
        while (pos < text.size() && isGap(text[pos])) ++pos;
        if (pos >= text.size()) return;
        const std::string_view rest = text.substr(pos);

        const Keyword* found = nullptr;
        for (const Keyword& k : kKeywords)
            if (rest.substr(0, k.text.size()) == k.text) found = &k;

        if (!found) {
            // Unknown text: pass over it to the next keyword (or the next ';').
            std::size_t skipTo = keywords.next(pos + 1);
            const std::size_t mark = text.find(kLineMark, pos);
            if (mark != std::string_view::npos) skipTo = std::min(skipTo, mark + 1);
            const std::size_t end = std::min(skipTo, text.size());
            if (rest.substr(0, kAddChar.size()) == kAddChar)
                into.problems.push_back("comando ignorado: " + shown(text.substr(pos, end - pos)) +
                                        " só pode estar sozinho numa célula");
            else
                into.problems.push_back("comando desconhecido ignorado: " + shown(text.substr(pos, end - pos)));
            pos = end;
            continue;
        }

        pos += found->text.size();
        if (found->kind != CommandKind::Message && found->kind != CommandKind::Dialog) {
            into.commands.push_back({found->kind, {}, {}});
            continue;
        }
        const std::size_t amp = text.find(kTextTerminator, pos);
        if (amp == std::string_view::npos) {
            into.problems.push_back(std::string(found->text) +
                                    " sem o \"&\" final ignorado: " + shown(text.substr(pos)));
            return;
        }
        const std::string_view body = text.substr(pos, amp - pos);
        pos = amp + 1;
        if (found->kind == CommandKind::Message) {
            into.commands.push_back({CommandKind::Message, {}, std::string(body)});
            continue;
        }
        const std::size_t bar = body.find(kArgumentSeparator);
        if (bar == std::string_view::npos) {
            into.problems.push_back("ShowDialog: sem o \"|\" entre a face e o texto ignorado: " + shown(body));
            continue;
        }
        into.commands.push_back(
            {CommandKind::Dialog, TrimBlanks(body.substr(0, bar)), std::string(body.substr(bar + 1))});
    }
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
