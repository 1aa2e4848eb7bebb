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
// pixel tiles, square, 1 to 100 cells a side, every tile from our tileset.
// Tile data may be CSV, base64 (plain, zlib or gzip) or the old XML form.
// Anything else is refused with a message that says what cannot be mapped.
#include "model/core/MapGrid.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <array>
#include <string>

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
// Writes tmxPath and, beside it, the tileset kTilesetFile with its sheet
// kTilesetSheet (each atomically, the tileset first).
void exportMap(const MapGrid& grid, const TileImages& tiles, const QString& tmxPath);

// --- reading ----------------------------------------------------------------------
// Reads a TMX text into a new grid (CurrentMap left empty). External tilesets
// are read from baseFolder; fileLabel names the file in messages. Throws Error
// with a message for the user when the map cannot be held.
MapGrid readTmx(const QByteArray& bytes, const QString& baseFolder, const QString& fileLabel);
// Same, from a file.
MapGrid readTmxFile(const QString& path);

}  // namespace tiled
}  // namespace quillmark
