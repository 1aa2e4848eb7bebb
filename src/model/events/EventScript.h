#pragma once
// The event script language: the texts the editor writes into map cells,
// character folders and script files, and the rules by which it reads them
// back. All texts are CP1252 bytes. Nothing is escaped or validated: whatever
// the user typed is kept as typed.
#include "model/core/Format.h"
#include <QByteArray>
#include <QString>
#include <string>
#include <string_view>
#include <vector>

namespace quillmark {

// --- Markers and keywords ------------------------------------------------------

// A cell without an event holds this text (the empty text means the same).
inline constexpr std::string_view kNoEvent = format::kNoEvent;

// Trigger markers: a trigger event begins with one of them.
inline constexpr std::string_view kOnActionPress = "OnActionPress>";
inline constexpr std::string_view kOnPlayerTouch = "OnPlayerTouch>";

// Command keywords. Each ends with ':'.
inline constexpr std::string_view kIniciaChuva = "IniciaChuva:";
inline constexpr std::string_view kPararChuva = "PararChuva:";
inline constexpr std::string_view kIniciaNeve = "IniciaNeve:";
inline constexpr std::string_view kPararNeve = "PararNeve:";
inline constexpr std::string_view kIniciaTempestade = "IniciaTempestade:";
inline constexpr std::string_view kPararTempestade = "PararTempestade:";
inline constexpr std::string_view kShowMessage = "ShowMessage:";
inline constexpr std::string_view kShowDialog = "ShowDialog:";
inline constexpr std::string_view kAddChar = "AddChar:";

// Ends the free text of "ShowMessage:" and "ShowDialog:".
inline constexpr char kTextTerminator = '&';
// Separates the face from the text ("ShowDialog:") and the name from the speed ("AddChar:").
inline constexpr char kArgumentSeparator = '|';
// The editor's line mark: a stored event reopens one line after every ';'.
inline constexpr char kLineMark = ';';

// The weather commands as the event editor's menu offers them: the entry's
// caption and the line it appends. All captions are plain ASCII.
struct WeatherCommand {
    const char* menuEntry;
    std::string_view keyword;
};
inline constexpr WeatherCommand kWeatherCommands[] = {
    {"Inciar Chuva", kIniciaChuva},
    {"Parar Chuva", kPararChuva},
    {"Inciar Neve", kIniciaNeve},
    {"Parar Neve", kPararNeve},
    {"Iniciar Tempestade", kIniciaTempestade},
    {"Parar Tempestade", kPararTempestade},
};

// --- Command texts the editor writes ------------------------------------------

std::string IniciaChuvaCommand();
std::string PararChuvaCommand();
std::string IniciaNeveCommand();
std::string PararNeveCommand();
std::string IniciaTempestadeCommand();
std::string PararTempestadeCommand();
// "ShowMessage:" + text + "&". The text may span several lines (CR LF between them).
std::string ShowMessageCommand(std::string_view text);
// "ShowDialog:" + face + "|" + text + "&". The face is a bare file name, possibly empty.
std::string ShowDialogCommand(std::string_view face, std::string_view text);
// "AddChar:" + name + "|" + speed. The speed is kept as typed, possibly empty.
std::string AddCharCommand(std::string_view name, std::string_view speed);

// --- Lines and the stored one-line form ---------------------------------------

// The stored form of an edited event: the lines' text (each line followed by
// CR LF) with every CR LF pair removed, so the lines run together with nothing
// between them.
std::string FlattenEventText(const std::vector<std::string>& lines);
// The same rule applied to a whole text: every CR LF pair removed.
std::string RemoveCrLf(std::string_view text);

// Breaks a stored event into lines for editing: a line ends after every ';'
// (the ';' stays at the end of its line); the rest after the last ';' is the
// last line, empty when the text ends with ';'. The empty text gives one empty
// line. FlattenEventText(SplitEventText(t)) == t for every t without CR LF.
std::vector<std::string> SplitEventText(std::string_view stored);

// Appends a command as new last line(s): a command holding line breaks (CR LF,
// LF or CR) occupies several lines.
void AppendCommandLines(std::vector<std::string>& lines, std::string_view command);

// Leading and trailing blanks and line breaks (every byte up to ' ') removed.
std::string TrimBlanks(std::string_view text);

// The empty-trigger rule: true when the whole text, trimmed of blanks and line
// breaks, is a trigger marker with no command after it.
bool IsEmptyTrigger(std::string_view wholeText);
bool IsEmptyTrigger(const std::vector<std::string>& lines);

// What the event editor stores when it closes: the empty text for an empty
// trigger, otherwise FlattenEventText of the lines.
std::string CloseEventText(const std::vector<std::string>& lines);

// --- Recognising events ---------------------------------------------------------

enum class EventKind { None, Trigger, Object };

// "NULL" or empty: None; first 13 characters "OnPlayerTouch" or "OnActionPress":
// Trigger; anything else: Object.
EventKind ClassifyEvent(std::string_view text);

// True when the text means no event ("NULL" or empty).
bool IsNoEvent(std::string_view text);

// The map canvas's simpler mark test: a text whose first 7 characters are
// "AddChar" is a character; any other text that is neither "NULL" nor empty
// is an event.
enum class CellMark { None, Character, Event };
CellMark CellEventMark(std::string_view text);

struct AddCharArgs {
    bool isObject = false;  // the first 7 characters are "AddChar"
    std::string name;       // trimmed
    std::string speed;      // trimmed
};
// Name: from the 9th character up to the first '|' at or after it (the rest
// of the text when there is none); speed: everything after that '|'. Both
// trimmed of blanks and line breaks. Not an object event: empty name and speed.
AddCharArgs ParseAddChar(std::string_view text);

// --- Script files (*.qms, a character's "Evento.dat") ------------------------

// The file's bytes: every line followed by CR LF.
QByteArray ScriptFileBytes(const std::vector<std::string>& lines);
// The lines of a script file. Lines end in CR LF, LF or CR; a final line break
// does not start a further line.
std::vector<std::string> ScriptFileLines(const QByteArray& bytes);

// Writes (atomically) and reads a script file. Errors are thrown as quillmark::Error.
void saveScriptFile(const QString& path, const std::vector<std::string>& lines);
std::vector<std::string> loadScriptFile(const QString& path);

}  // namespace quillmark
