#pragma once
// The project's files as git sees them: a readable text for `git diff` (a
// textconv driver) and a three-way merge (a merge driver) that knows the
// files' layouts, so that two people who change different cells of one map,
// or different records of one table, get one file holding both changes.
//
// Readable text (stable order, one fact per line, UTF-8):
//   map file  "Mapa 14 x 14", then per cell that differs from a new map's
//             ('0', '0', 'O', no event), row by row:
//               "linha 3, coluna 7: Tipo 72, Fundo 48, XO O"
//               "linha 3, coluna 7: Evento OnPlayerTouch>…"
//             (codes as numbers; line breaks and TABs in events as \r \n \t).
//   table     "Tabela: Nome (string 30), HP (i4), …", then per record and
//             field that holds a value, in file order:
//               "Nome \"Slime\": HP = 30"
//             (a record is named by its first key field: Nome, Tipo, File,
//             or its position when it has none).
//   project file and map tree: their lines, as text.
//
// Merging: a side equal to the base gives the other side. Otherwise a map is
// merged cell by cell and field by field, a table record by record (keyed as
// above) and field by field, the project file line by line with its map list
// merged as a set, the map tree line by line when the result is a valid tree.
// A cell or field both sides changed differently keeps "ours" and is listed
// as a conflict. What cannot be merged safely (maps resized differently,
// tables whose fields changed, trees changed in the same place) throws Error
// and nothing is written.
#include <QByteArray>
#include <QString>

#include <string>
#include <vector>

namespace quillmark::vcs {

// The largest file the drivers read (as for Tiled files).
inline constexpr long long kMaxFileSize = 64ll * 1024 * 1024;

enum class FileKind { Map, Table, ProjectFile, Tree };

// What a file holds, from its text (`label` names it in messages). Throws
// Error for a damaged data packet or a file that is not one of ours.
FileKind kindOf(const QByteArray& bytes, const QString& label);

// The readable text of the file at `path`.
std::string readableText(const QString& path);

struct MergeResult {
    QByteArray text;                     // the merged file, in its exact layout
    std::vector<std::string> conflicts;  // one line each; "ours" was kept for them
};
// Merges three versions of one file; `label` names it in messages and conflicts.
MergeResult merge(const QString& basePath, const QString& oursPath, const QString& theirsPath, const QString& label);

// Reads a file for the drivers: a regular file of at most kMaxFileSize bytes.
QByteArray readDriverFile(const QString& path);

// The ".gitattributes" block for a project whose map and data folders are
// spelled `mapas` and `data`, between its own marker lines.
std::string gitAttributesBlock(const QString& mapas, const QString& data);
// An existing ".gitattributes" text with the block put in (replacing an
// earlier one, keeping every other line).
std::string withGitAttributes(const std::string& existing, const std::string& block);

}  // namespace quillmark::vcs
