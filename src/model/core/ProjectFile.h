#pragma once
// The project file (*.qmk) and the shared project state read from it.
//
// The project file is six text lines, each ended by CR LF:
//   Project Name:<name>
//   Project Autor:<author>
//   Mapas:<map>%<map>%…        every map file name followed by '%'
//   Mapa Inicial:<map>
//   Char X:<decimal>
//   Char Y:<decimal>
// No blank follows a colon. When read, the prefixes are skipped by their length
// and never compared, so a line shorter than its prefix gives an empty value.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <string>
#include <string_view>
#include <vector>

namespace quillmark {

// The hero's start position of a new project, in game pixels.
inline constexpr int kNewProjectCharX = 200;
inline constexpr int kNewProjectCharY = 190;

struct ProjectState {
    QString ProjectFile;    // full path of the project file
    QString ProjectFolder;  // its folder, native, ending with '/'
    QString RuntimePath;    // ProjectFolder + project file name up to its first '.' + ".exe"

    std::string ProjectName;    // CP1252
    std::string ProjectAuthor;  // CP1252
    std::string MapsLine;       // line 3 after its prefix, verbatim (separators included)
    std::string InitialMap;     // CP1252

    // One entry per map: ProjectFolder + "Mapas/" + name for the maps read
    // from the project file, the bare file name (with ".xml") for maps created
    // since. Only its length, its first entry and the file-name part of each
    // entry matter (mapFileName).
    QStringList MapList;

    int CharX = 0;
    int CharY = 0;

    // Everything empty, positions 0 (the state without a project).
    void clear();

    // The file-name part of every MapList entry, as CP1252, in order.
    std::vector<std::string> mapFileNames() const;
};

// The file-name part of a MapList entry (after the last '/' or '\'), as CP1252.
std::string mapFileName(const QString& entry);

// The part of a file name before its first '.', or the whole name when it holds none.
QString RemoveExtension(const QString& name);
std::string RemoveExtension(std::string_view name);

// ProjectFolder + RemoveExtension(file name of projectFile) + ".exe".
QString runtimePathFor(const QString& projectFolder, const QString& projectFile);

// A decimal integer as the project file and the database window take it:
// optional blanks around an optional sign and decimal digits, within 32 bits.
// Anything else throws Error("'%s' is not a valid integer value").
int parseIntegerValue(std::string_view text);

// Reads the project file at `path` into `state`, line by line in order
// (ProjectFile, ProjectFolder, RuntimePath first, then the six lines); MapList
// starts empty. Lines may end in CR LF or LF; a missing line reads as empty.
// A bad line 5 or 6 throws Error("'%s' is not a valid integer value") with
// what was read so far left in the state. A file that cannot be read throws too.
void readProjectFile(const QString& path, ProjectState& state);
// The same from the file's bytes (the path gives the folder and the runtime path).
void readProjectFile(const QString& path, const QByteArray& bytes, ProjectState& state);

// The six lines, each ended by CR LF.
QByteArray projectFileBytes(const ProjectState& state);

// Writes the six lines to state.ProjectFile, replacing the file atomically.
void writeProjectFile(const ProjectState& state);

}  // namespace quillmark
