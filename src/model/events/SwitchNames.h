#pragma once
// The names of the game's switches. A project may name its switches 1 to 100
// in the record table "Data\Interruptores.xml": one record per named switch,
// "Numero" (integer) and "Nome" (string 50). Scripts keep storing the number;
// a name only helps the game maker choose. A project without the table has
// no names.
#include <QString>
#include <map>
#include <string>
#include <vector>

namespace quillmark {

struct FieldDef;
using Schema = std::vector<FieldDef>;

// The table, in the project folder.
inline constexpr const char* kSwitchNamesFile = "Data\\Interruptores.xml";
// The longest name a record holds.
inline constexpr int kSwitchNameWidth = 50;

// Numero (i4), Nome (string 50).
const Schema& switchNamesSchema();

// A stored record as it is, numbers outside 1 to 100 included.
struct SwitchNameRecord {
    int number = 0;
    std::string name;  // CP1252
};

// Every record of the table in stored order; nothing when there is no table
// (or no project folder).
// A table that cannot be read, or lacks one of the two fields, throws an
// Error naming the file.
std::vector<SwitchNameRecord> readSwitchNameRecords(const QString& projectFolder);

// The names of switches 1 to 100 that have one (blanks around a name dropped;
// for a number named twice the first record counts).
std::map<int, std::string> readSwitchNames(const QString& projectFolder);

// Writes the names of switches 1 to 100, one record per non-empty name in
// number order, atomically and inside the project. Checks everything before
// writing: a number outside 1 to 100 or a name longer than 50 characters is
// refused and nothing is written. Nothing is written either when the names
// are those stored (no table and no name: no table made). Without a project
// folder nothing is written and an Error says so.
void storeSwitchNames(const QString& projectFolder, const std::map<int, std::string>& names);

// How the switch dialogs list a switch: "7 - Porta do castelo", or "7" when it
// has no name (CP1252).
std::string switchCaption(int number, const std::map<int, std::string>& names);

}  // namespace quillmark
