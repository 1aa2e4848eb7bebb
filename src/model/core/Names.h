#pragma once
// The one rule for names that become files or folders inside a project: map
// files in "Mapas\", pictures in "Imagens\", and the folders characters,
// monsters and items keep their pictures in. A project travels between
// systems, so a name must be a plain, portable file name everywhere.
//
// Every model check of such a name goes through here; windows call these too
// (a database page refusing a record name, the tile and frame editors refusing
// a file name), so there is one list of reserved names and one set of
// forbidden characters.
#include <string>
#include <string_view>

namespace quillmark {

// The characters no file or folder name may contain: the path separators and
// those some file systems refuse.
inline constexpr std::string_view kForbiddenNameCharacters = "\\/:*?\"<>|";

// True for the device names some systems reserve, whatever the letter case,
// also with an extension or trailing blanks before it: CON, PRN, AUX, NUL,
// COM1 … COM9, LPT1 … LPT9 ("con", "Nul.bmp", "lpt1 .txt").
bool isReservedDeviceName(std::string_view name);

// True when `name` (CP1252) can name one file or folder directly inside a
// project folder: not empty, not "." or "..", without a forbidden character or
// a control character, and not a reserved device name.
bool isPlainFileName(std::string_view name);

// Why `name` (CP1252) cannot name a record folder, or an empty text when it
// can. `what` is the kind of record as the messages name it ("personagem",
// "Inimigo", "item"). Refused: everything isPlainFileName refuses, and a
// leading or trailing blank or dot.
std::string folderNameProblem(std::string_view name, std::string_view what);

// Throws Error with that text when the name cannot be used.
void checkFolderName(std::string_view name, std::string_view what);

// The message for a reserved device name used as the name of `what`
// ("mapa", "item" …).
std::string reservedNameMessage(std::string_view name, std::string_view what);

}  // namespace quillmark
