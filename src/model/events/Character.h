#pragma once
// Non-player characters. A character is a folder named after it in the
// project's "Imagens\": twelve walking frames, a face and its own event script
// ("Evento.dat", one line per line, each ended by CR LF). A map cell places it
// with the object event "AddChar:" + name + "|" + speed; the speed lives only
// in the cell.
#include "model/core/Picture.h"

#include <QString>
#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace quillmark {

// The thirteen pictures of a character, in the order they are written: the
// walking frames (down, left, right, up; frames 1 to 3 each), the face last.
inline constexpr int kCharacterPictureCount = 13;
inline constexpr int kCharacterFaceIndex = 12;
inline constexpr std::array<std::string_view, kCharacterPictureCount> kCharacterPictureFiles = {
    "CharDown01.bmp", "CharDown02.bmp",  "CharDown03.bmp",  "CharLeft01.bmp",  "CharLeft02.bmp",
    "CharLeft03.bmp", "CharRight01.bmp", "CharRight02.bmp", "CharRight03.bmp", "CharUp01.bmp",
    "CharUp02.bmp",   "CharUp03.bmp",    "CharFace.bmp",
};
// The character's script, written after the pictures.
inline constexpr std::string_view kCharacterScriptFile = "Evento.dat";

// The walking frame shown in a column (0 down, 1 left, 2 right, 3 up) and a
// row (frames 1 to 3 as 0 to 2) of the dialog's grid.
constexpr int characterFrameIndex(int column, int row) { return column * 3 + row; }

// Why a character name cannot be used, or an empty text when it can. A name
// is the name of a folder: it must not be empty, nor "." or "..", nor hold a
// path separator, a character a file name cannot hold (\ / : * ? " < > |) or a
// control character, nor end with a blank or a dot, nor be a device name the
// game's system reserves (CON, PRN, AUX, NUL, COM1 … LPT9).
std::string characterNameProblem(std::string_view name);
// Throws Error with that text when the name cannot be used.
void checkCharacterName(std::string_view name);

// The character folder: the project folder, "Imagens\", the name, ending with '/'.
// An existing folder is found without regard to letter case.
QString characterFolder(const QString& projectFolder, std::string_view name);
// A file of the character folder ("CharFace.bmp", "Evento.dat" …).
QString characterFile(const QString& projectFolder, std::string_view name, std::string_view file);
bool characterExists(const QString& projectFolder, std::string_view name);
// The placeholder for a missing picture: the project's "Imagens\null.bmp".
QString nullPicturePath(const QString& projectFolder);

struct Character {
    std::string name;   // CP1252, the folder name
    std::string speed;  // as typed, possibly empty; stored only in the cell
    std::array<Picture, kCharacterPictureCount> pictures;
    std::vector<std::string> script;  // the "Evento.dat" lines

    // The object event that places this character: "AddChar:" + name + "|" + speed.
    std::string event() const;
};

// A new character: the null picture thirteen times, empty name, speed and script.
Character newCharacter(const QString& projectFolder);
// An existing character as its folder holds it: each missing picture is the
// null picture and a missing "Evento.dat" an empty script.
Character loadCharacter(const QString& projectFolder, std::string_view name, std::string_view speed);
// The character an event text names ("AddChar…": ParseAddChar, then
// loadCharacter), or a new one for any other text.
Character characterForEvent(const QString& projectFolder, std::string_view eventText);

// Writes the character: checks the name, creates the folder when it is
// missing, then writes the thirteen pictures in order (each as its file name
// asks, so every picture becomes a bitmap) and "Evento.dat", each replacing a
// file of the same name. A failure stops at that file; files written before stay.
void saveCharacter(const QString& projectFolder, const Character& character);

}  // namespace quillmark
