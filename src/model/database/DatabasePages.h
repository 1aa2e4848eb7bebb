#pragma once
// The steps of the database window's pages that touch only tables, files and
// the project state, so that they run and are tested without widgets: record
// lists and selection, record folders, the "Game" page's closing, the hero's
// and the monsters' entry and leave steps, and the up/down arrows. Records
// inserted and deleted with their folders are DatabaseCommands.h.
#include "model/core/Paths.h"
#include "model/core/Picture.h"
#include "model/core/ProjectFile.h"
#include "model/core/RecordTable.h"

#include <QString>
#include <string>
#include <string_view>
#include <vector>

namespace quillmark {

class TDataModule1;

// The kinds of record whose names become folders, as the messages name them.
inline constexpr std::string_view kInimigo = "Inimigo";
inline constexpr std::string_view kItem = "item";

// --- record lists -------------------------------------------------------------
// The "Nome" of every record, in table order; the first record becomes current.
std::vector<std::string> rebuildRecordList(RecordTable& table);
// Goes to the first record whose "Nome" equals `name` exactly; without one the
// search ends on the last record. Returns whether a record matched.
bool selectRecordByName(RecordTable& table, std::string_view name);

// --- record folders and pictures -------------------------------------------------
// ProjectFolder + "Imagens\" + name + "\", found without regard to letter case.
// A name that cannot be a folder name is refused (Error, see core/Names.h).
QString recordFolder(const QString& projectFolder, std::string_view name, std::string_view what);
// A file of that folder.
QString recordFile(const QString& projectFolder, std::string_view name, std::string_view file, std::string_view what);
// Creates the record folder when it does not exist (the name checked first).
void makeRecordFolder(const QString& projectFolder, std::string_view name, std::string_view what);
// The file a record's picture is shown from: the record folder + file when that
// file exists, else the placeholder (also for a name that cannot be a folder).
QString shownPicturePath(const QString& projectFolder, std::string_view name, std::string_view file);
// Loads a picture for showing: the file, or an empty picture when it is missing
// or unreadable (a missing picture is never an error when only shown).
Picture loadShownPicture(const QString& path);
// Writes a picture to record folder + file. The folder must exist: a missing
// one fails with "Cannot create file ..." and nothing is written.
void writeRecordPicture(const Picture& picture, const QString& projectFolder, std::string_view name,
                        std::string_view file, std::string_view what);

// --- "Game" page ------------------------------------------------------------------
struct GameEntries {
    std::string nome, autor, mapaInicial;  // CP1252
    std::string x, y;                      // as typed
};
GameEntries gameEntriesFrom(const ProjectState& state);
// Closing steps 1 and 2: both numbers are checked before anything is taken
// ("'%s' is not a valid integer value" leaves the state unchanged), then
// CharX, CharY, InitialMap, ProjectName and ProjectAuthor are taken and the
// project file's six lines are rewritten from the shared values (SalvaProjeto).
void takeGameEntries(ProjectState& state, const GameEntries& entries);

// --- "Personagem" page --------------------------------------------------------------
// Entry step 3: the hero record into editing (on an empty table this inserts).
void heroEntered(RecordTable& hero);
// Leave step 2: commits the hero when it is being edited or inserted.
void heroLeft(RecordTable& hero);
// Closing step 3: commits the hero only when it is being edited (not inserted).
void heroOnClose(RecordTable& hero);

// --- "Inimigos" page ------------------------------------------------------------------
// Entry: the monsters table pointed at the project's "Data\Monstros.xml" and opened
// (nothing happens when it is open).
void monstersEntered(RecordTable& monsters, const QString& projectFolder);
// Leave: a monster being edited or inserted is committed, then the table is
// closed, which writes "Data\Monstros.xml" when it changed.
void monstersLeft(RecordTable& monsters);

// --- "Magias" page --------------------------------------------------------------------
// The damage label for an entry of "Tipo de Magia".
QString damageLabelFor(int tipoMagia);

// --- up/down arrows ---------------------------------------------------------------------
// The entry's text read as a decimal integer, plus delta, as decimal text. A
// text that is not a number throws "'%s' is not a valid integer value"; a
// result outside 32 bits is refused the same way.
std::string stepIntegerText(std::string_view text, int delta);

}  // namespace quillmark
