#pragma once
// The one rule for names that become folders inside the project's "Imagens\":
// characters, monsters and items each keep their pictures in a folder named
// after them, so such a name must be a plain, portable folder name.
#include <string>
#include <string_view>

namespace quillmark {

// Why `name` (CP1252) cannot name a record folder, or an empty text when it
// can. `what` is the kind of record as the messages name it ("personagem",
// "Inimigo", "item"). Refused: the empty name, "." and "..", a path separator
// or any of : * ? " < > |, a control character, a leading or trailing blank or
// dot, and the device names the game's system reserves (CON, PRN, AUX, NUL,
// COM1 … COM9, LPT1 … LPT9, also with an extension).
std::string folderNameProblem(std::string_view name, std::string_view what);

// Throws Error with that text when the name cannot be used.
void checkFolderName(std::string_view name, std::string_view what);

}  // namespace quillmark
