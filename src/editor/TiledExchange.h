#pragma once
// Exchanging maps with Tiled, the tile-map editor many game makers use.
//
// A map goes out as a TMX map with an external TSX tileset: the tileset is a
// collection of the project's 144 tile pictures (tile id = code - 48, the
// pictures referred to where they lie in the project), the map has the tile
// layers "Fundo" and "Tipo" in CSV, an object layer "XO" with one rectangle
// per cell marked 'X' and an object layer "Eventos" with one rectangle per
// event, its text in the property "Evento".
//
// A TMX map comes in when it can be held by a map of ours: orthogonal, 40 x 40
// pixel tiles, square, 1 to 100 cells a side, every tile from our tileset.
// Tile data may be CSV, base64 (plain, zlib or gzip) or the old XML form.
// Anything else is refused with a message that says what cannot be mapped.
#include "core/MapGrid.h"

#include <QByteArray>
#include <QRgb>
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
// The layers and the event property.
inline constexpr const char* kLayerFundo = "Fundo";
inline constexpr const char* kLayerTipo = "Tipo";
inline constexpr const char* kLayerXO = "XO";
inline constexpr const char* kLayerEventos = "Eventos";
inline constexpr const char* kEventProperty = "Evento";

// One tile of the exported tileset: the picture file the editor draws for the
// code, its size and, for a transparent tile, the colour left out.
struct TileImage {
    QString file;  // absolute path
    int width = kTileSize;
    int height = kTileSize;
    bool transparent = false;
    QRgb transparentColor = 0;
};
using TileImages = std::array<TileImage, kTileCount>;

// The pictures of the 144 codes as the tile image cache draws them: the tiles
// record of the code gives the "Cod", the record of that "Cod" its "File" in
// the project's "Imagens\"; a missing file is the editor folder's
// "Imagens\null.bmp", never transparent. The cache must be filled.
TileImages tileImagesOf(TDataModule1& data, const TileCache& cache, const QString& projectFolder,
                        const QString& editorFolder);

// --- writing ----------------------------------------------------------------------
// The TMX text of a grid (UTF-8) whose tileset is the file tilesetSource
// (relative to the map). A code outside 48..191 or an event text holding a
// control character cannot be written: Error naming the cell.
std::string tmxText(const MapGrid& grid, const std::string& tilesetSource = kTilesetFile);
// The TSX text of the tileset; picture paths are written relative to tsxFolder.
std::string tsxText(const TileImages& tiles, const QString& tsxFolder);
// Writes tmxPath and, beside it, the tileset kTilesetFile (both atomically,
// the tileset first).
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
