#pragma once
// Textures and ground pieces shared by the tile files.
#include "Art.h"

#include <functional>

namespace tmpl {

QImage grassTex(uint32_t seed, QRgb tint, double flowers);
QImage dirtTex(uint32_t seed);
QImage sandTex(uint32_t seed);
QImage waterTex(int frame, uint32_t seed, bool deep);
QImage masonry(uint32_t seed, int rowH, int stoneW, QRgb base, QRgb mortar, double vary, bool bevel);
QImage planks(uint32_t seed, QRgb base, int plankH, bool vertical);
QImage blend(const QImage& a, const QImage& b, const std::function<double(int, int)>& d,
             const std::function<QRgb(QRgb, double)>& edge);
double pathDist(int x, int y, int exits, uint32_t seed);
QImage pathTile(int exits, const QImage& ground, const QImage& path);
QImage shoreTile(int land, int frame);

QImage grassTile(int variant);
QImage dirtTile();
QImage sandTile();
QImage waterTile(int frame);
QImage stoneFloorTile();
QImage plasterWall();
QImage stoneWall();

}  // namespace tmpl
