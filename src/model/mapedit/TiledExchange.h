#pragma once
// Exchanging maps with Tiled, the tile-map editor many game makers use.
//
// A map goes out as a TMX map with an external TSX tileset: the tileset is the
// project's 144 tile pictures drawn on one sheet (tile id = code - 48), the
// map has the tile layers "Fundo" and "Tipo" in CSV, an object layer "XO"
// with one rectangle per cell marked 'X' and an object layer "Eventos" with
// one rectangle per event, its text in the property "Evento".
//
// A TMX map comes in when it can be held by a map of ours: orthogonal, 40 x 40
// pixel tiles, square, 1 to 100 cells a side, every tile used from our
// tileset (other tilesets may be present when no cell uses them). Tile data
// may be CSV, base64 (plain, zlib, gzip or zstd) or the old XML form. Nothing
// is changed silently: what the map file cannot hold is converted by the rules
// below or refused with a message naming the layer, object or cell.
//   - Layers are found by name ("Fundo", "Tipo"); a map drawn from scratch has
//     them by position (the bottom one is the background). An empty upper
//     cell takes the background's code (the cell shows the background alone);
//     an empty background is refused unless a code for empty cells is given.
//   - Layer and group offsets are applied when they are whole cells.
//   - An "XO" object marks every cell whose centre lies inside it (rectangle,
//     ellipse, polygon, tile object); a shape covering no centre marks the
//     cell under its own centre. Its name is "X" (or empty) or "O", in either
//     case; any other mark is refused.
//   - Object layers other than "XO" and "Eventos", image layers and objects of
//     "Eventos" without the "Evento" property are dropped only when the caller
//     agrees; hidden layers are imported and reported.
//   - Maps and tilesets larger than kMaxFileSize, and anything that is not a
//     regular file, are refused before reading; so is a Tiled JSON map.
#include "model/core/MapGrid.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quillmark {

class TDataModule1;
class TileCache;

namespace tiled {

inline constexpr int kTileSize = 40;
inline constexpr int kTileCount = 144;  // codes 48 ('0') to 191
inline constexpr unsigned char kFirstCode = 48;
// The name our tilesets carry; a tileset of another name is not ours.
inline constexpr const char* kTilesetName = "Quillmark";
// The tileset file written beside an exported map.
inline constexpr const char* kTilesetFile = "Tiles.tsx";
inline constexpr const char* kTilesetSheet = "Tiles.png";
inline constexpr int kSheetColumns = 12;
// The layers and the event property.
inline constexpr const char* kLayerFundo = "Fundo";
inline constexpr const char* kLayerTipo = "Tipo";
inline constexpr const char* kLayerXO = "XO";
inline constexpr const char* kLayerEventos = "Eventos";
inline constexpr const char* kEventProperty = "Evento";

// The largest map or tileset file read: 64 MB, far above the largest map a
// map file holds (about 2 MB of TMX for 100 x 100 cells with events).
inline constexpr std::int64_t kMaxFileSize = 64ll * 1024 * 1024;
// Layer groups nest at most this deep.
inline constexpr int kMaxGroupDepth = 64;

// The tile pictures as the editor draws them, by tile id (code - 48): the
// transparent colour of a transparent tile already left out.
using TileImages = std::array<QImage, kTileCount>;

// The pictures of the 144 codes from the tile image cache (PegaImg), which
// must be filled.
TileImages tileImagesOf(TDataModule1& data, const TileCache& cache);

// The tileset's picture: the 144 tiles in rows of twelve, as the palette's
// lists hold them (tile id i at column i % 12, row i / 12), each clipped to
// 40 x 40 and transparent where the editor leaves it out. Tiled draws the
// transparency of such a sheet exactly as the editor does.
QImage tilesetSheet(const TileImages& tiles);

// --- writing ----------------------------------------------------------------------
// The TMX text of a grid (UTF-8) whose tileset is the file tilesetSource
// (relative to the map). A code outside 48..191 or an event text holding a
// control character cannot be written: Error naming the cell.
std::string tmxText(const MapGrid& grid, const std::string& tilesetSource = kTilesetFile);
// The TSX text of the tileset, whose sheet is the file sheetSource.
std::string tsxText(const std::string& sheetSource = kTilesetSheet);
// Where an export may write.
struct ExportOptions {
    // The project the map comes from: its "Mapas\" and "Data\" folders are
    // never written by an export. Empty when there is none.
    QString projectFolder;
    // Replaces an existing output that is not a TMX map (or a tileset file
    // beside it that is not ours); without it such a file is refused.
    bool force = false;
};
// Writes tmxPath and, beside it, the tileset kTilesetFile with its sheet
// kTilesetSheet. All three are written under temporary names first and
// renamed at the end, so a failed export leaves nothing behind.
void exportMap(const MapGrid& grid, const TileImages& tiles, const QString& tmxPath, const ExportOptions& options = {});
// For tests: called before each of the three files of an export is written
// (0 the sheet, 1 the tileset, 2 the map); it may throw to cut the export short.
using ExportFaultHook = std::function<void(int file)>;
ExportFaultHook& exportFaultHook();

// --- reading ----------------------------------------------------------------------
// What the caller decided for what a map file cannot hold.
struct ImportOptions {
    // The code a cell with no background tile takes; none refuses such cells.
    std::optional<unsigned char> emptyCode;
    // Whether the object layers and objects the editor does not know may be
    // left out; without it they are refused.
    bool dropExtra = false;
};
// What an import met that the caller may want to tell or ask about.
struct ImportNotes {
    int emptyCells = 0;                     // cells without a background tile
    std::string firstEmptyCell;             // the first of them, "(linha r, coluna c)"
    std::vector<std::string> dropped;       // what is left out, each described for the user
    std::vector<std::string> hiddenLayers;  // layers hidden in Tiled, imported all the same
};
// Reads a TMX text into a new grid (CurrentMap left empty). External tilesets
// are read from baseFolder; fileLabel names the file in messages. Throws Error
// with a message for the user when the map cannot be held.
MapGrid readTmx(const QByteArray& bytes, const QString& baseFolder, const QString& fileLabel,
                const ImportOptions& options = {}, ImportNotes* notes = nullptr);
// Same, from a file (refused before reading when it is not a regular file or
// larger than kMaxFileSize).
MapGrid readTmxFile(const QString& path, const ImportOptions& options = {}, ImportNotes* notes = nullptr);
// The code of an --empty argument or an answer: a number from 48 to 191 or a
// single character of those codes. None when it is neither.
std::optional<unsigned char> emptyCodeOf(const QString& text);
// The file, checked as every file an import reads: a regular file of at most
// kMaxFileSize bytes. Throws Error naming it (by `label`) otherwise.
QByteArray readLimitedFile(const QString& path, const std::string& label);

}  // namespace tiled
}  // namespace quillmark
