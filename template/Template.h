#pragma once
// The template set drawn at build time: tile pictures, hero frames, screens,
// sounds, the five template tables and the runtime stand-ins.
#include <QByteArray>
#include <QImage>
#include <QString>
#include <vector>

namespace tmpl {

// One tile of the palette: its code (48 … 191), the file name of its picture,
// whether it is drawn transparent, and its pictures (three for an animated tile).
struct TileArt {
    int code = 0;
    QString file;
    bool transparent = false;
    std::vector<QImage> frames;
};

// Ground, paths, water, floors, walls and roofs (codes 48 … 119, 156 … 160,
// 165, 167 … 171) and every other tile, in code order: 144 entries.
std::vector<TileArt> drawTiles();

// Ground pieces shared by the tile sets and the screens.
QImage grassTile(int variant = 0);
QImage dirtTile();
QImage sandTile();
QImage waterTile(int frame = 0);
QImage stoneFloorTile();
QImage plasterWall();
QImage stoneWall();

// Object sprites on the key colour (trees, chests, …), by name.
QImage objectSprite(const QString& name, int frame = 0);

// Hero frames: file name -> picture.
struct NamedImage {
    QString file;
    QImage image;
};
std::vector<NamedImage> drawHero();
// Screens and single pictures: Title, GameOver, GameEnd, ItemDef, null, grass.
std::vector<NamedImage> drawScreens(const QImage& startBrush);

// Sounds written into Data/.
void writeSounds(const QString& dataFolder);
// Tables written into Data/.
void writeTables(const QString& dataFolder, const std::vector<TileArt>& tiles, const std::vector<NamedImage>& hero);
// Writes a whole file of the set (written beside it, then renamed over it).
void put(const QString& path, const QByteArray& bytes);
// The stand-ins for the game runtime and its libraries.
void writeRuntime(const QString& editorFolder);

}  // namespace tmpl
