#pragma once
// The small rules of the stored formats, each written once: integers, lines,
// "no event", character events, and the tiles table's record of a tile code.
// Every reader and writer of the project's files uses these.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillmark {

class RecordTable;
struct FieldDef;

namespace format {

// --- integers -------------------------------------------------------------------
// A stored integer: blanks and TABs around it are ignored, then one optional
// sign and decimal digits, within 32 bits ("+-5", "1e3" and "" are not integers).
std::optional<int> toInteger(std::string_view text);
// The same, throwing "'<text>' is not a valid integer value" when it is not one.
int parseInteger(std::string_view text);

// --- lines ----------------------------------------------------------------------
// The lines of a text file: each ends in LF, CR LF taken as one; a final line
// break does not start a further line (project file, map tree).
std::vector<std::string_view> textLines(std::string_view text);
// Lines broken by CR, LF or CR LF alike (event scripts and the texts typed into
// the event editor). keepLastEmpty: whether an empty piece after the last break
// counts as a line.
std::vector<std::string_view> anyBreakLines(std::string_view text, bool keepLastEmpty);

// --- event texts ----------------------------------------------------------------
inline constexpr std::string_view kNoEvent = "NULL";
// True when a cell's event text means no event: "NULL" or empty.
inline bool isNoEvent(std::string_view text) { return text.empty() || text == kNoEvent; }
// True when an event text places a character: its first 7 characters are "AddChar".
inline bool isAddChar(std::string_view text) { return text.substr(0, 7) == "AddChar"; }

// --- tiles ----------------------------------------------------------------------
// The index of the first record of a tiles table whose "Tipo" is the one
// character code, or -1. Reads the records directly: the table's cursor and
// filter are left as they are.
int tileRecordIndex(const RecordTable& tiles, unsigned char code);

}  // namespace format
}  // namespace quillmark
