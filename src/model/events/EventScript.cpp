#include "model/events/EventScript.h"

#include "model/core/Format.h"

#include "model/core/Files.h"

namespace quillmark {

namespace {

std::string plainCommand(std::string_view keyword) { return std::string(keyword); }

}  // namespace

// --- Command texts ----------------------------------------------------------------

std::string IniciaChuvaCommand() { return plainCommand(kIniciaChuva); }
std::string PararChuvaCommand() { return plainCommand(kPararChuva); }
std::string IniciaNeveCommand() { return plainCommand(kIniciaNeve); }
std::string PararNeveCommand() { return plainCommand(kPararNeve); }
std::string IniciaTempestadeCommand() { return plainCommand(kIniciaTempestade); }
std::string PararTempestadeCommand() { return plainCommand(kPararTempestade); }

std::string ShowMessageCommand(std::string_view text) {
    std::string out(kShowMessage);
    out += text;
    out += kTextTerminator;
    return out;
}

std::string ShowDialogCommand(std::string_view face, std::string_view text) {
    std::string out(kShowDialog);
    out += face;
    out += kArgumentSeparator;
    out += text;
    out += kTextTerminator;
    return out;
}

std::string AddCharCommand(std::string_view name, std::string_view speed) {
    std::string out(kAddChar);
    out += name;
    out += kArgumentSeparator;
    out += speed;
    return out;
}

// --- Lines ------------------------------------------------------------------------

std::string RemoveCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
            continue;
        }
        out += text[i];
    }
    return out;
}

std::string FlattenEventText(const std::vector<std::string>& lines) {
    // The text of a list of lines puts CR LF after each line; the stored form
    // then drops every CR LF pair, including pairs a line break would form with
    // a CR ending one line or an LF starting the next.
    std::string whole;
    for (const std::string& line : lines) {
        whole += line;
        whole += "\r\n";
    }
    return RemoveCrLf(whole);
}

std::vector<std::string> SplitEventText(std::string_view stored) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < stored.size(); ++i) {
        if (stored[i] == kLineMark) {
            lines.emplace_back(stored.substr(start, i + 1 - start));
            start = i + 1;
        }
    }
    // The piece after the last ';' (ended, in the scan, by the appended ';'
    // that is then taken off again).
    lines.emplace_back(stored.substr(start));
    return lines;
}

void AppendCommandLines(std::vector<std::string>& lines, std::string_view command) {
    for (std::string_view line : format::anyBreakLines(command, true)) lines.emplace_back(line);
}

std::string TrimBlanks(std::string_view text) {
    size_t b = 0, e = text.size();
    while (b < e && static_cast<unsigned char>(text[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(text[e - 1]) <= ' ') --e;
    return std::string(text.substr(b, e - b));
}

bool IsEmptyTrigger(std::string_view wholeText) {
    const std::string trimmed = TrimBlanks(wholeText);
    return trimmed == kOnActionPress || trimmed == kOnPlayerTouch;
}

bool IsEmptyTrigger(const std::vector<std::string>& lines) {
    std::string whole;
    for (const std::string& line : lines) {
        whole += line;
        whole += "\r\n";
    }
    return IsEmptyTrigger(whole);
}

std::string CloseEventText(const std::vector<std::string>& lines) {
    if (IsEmptyTrigger(lines)) return std::string();
    return FlattenEventText(lines);
}

// --- Recognising events -------------------------------------------------------------

bool IsNoEvent(std::string_view text) { return format::isNoEvent(text); }

EventKind ClassifyEvent(std::string_view text) {
    if (IsNoEvent(text)) return EventKind::None;
    const std::string_view head = text.substr(0, 13);
    if (head == kOnPlayerTouch.substr(0, 13) || head == kOnActionPress.substr(0, 13)) return EventKind::Trigger;
    return EventKind::Object;
}

CellMark CellEventMark(std::string_view text) {
    if (format::isAddChar(text)) return CellMark::Character;
    if (IsNoEvent(text)) return CellMark::None;
    return CellMark::Event;
}

AddCharArgs ParseAddChar(std::string_view text) {
    AddCharArgs args;
    if (!format::isAddChar(text)) return args;
    args.isObject = true;
    if (text.size() <= 8) return args;
    const std::string_view rest = text.substr(8);
    const size_t bar = rest.find(kArgumentSeparator);
    if (bar == std::string_view::npos) {
        args.name = TrimBlanks(rest);
    } else {
        args.name = TrimBlanks(rest.substr(0, bar));
        args.speed = TrimBlanks(rest.substr(bar + 1));
    }
    return args;
}

// --- Script files ------------------------------------------------------------------

QByteArray ScriptFileBytes(const std::vector<std::string>& lines) {
    QByteArray out;
    for (const std::string& line : lines) {
        out.append(line.data(), static_cast<qsizetype>(line.size()));
        out.append("\r\n", 2);
    }
    return out;
}

std::vector<std::string> ScriptFileLines(const QByteArray& bytes) {
    std::vector<std::string> lines;
    for (std::string_view line :
         format::anyBreakLines(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())), false))
        lines.emplace_back(line);
    return lines;
}

void saveScriptFile(const QString& path, const std::vector<std::string>& lines) {
    writeFileAtomic(path, ScriptFileBytes(lines));
}

std::vector<std::string> loadScriptFile(const QString& path) { return ScriptFileLines(readFile(path)); }

}  // namespace quillmark
