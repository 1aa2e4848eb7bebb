#pragma once
// A small pixel-art toolkit for drawing the template set: colours, seeded
// noise that repeats every 40 pixels (so ground tiles join seamlessly), key
// colour handling, outlines and dithered shadows.
#include <QImage>
#include <QPainter>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

namespace art {

constexpr int T = 40;              // tile side
constexpr QRgb KEY = 0xFFFF00FFu;  // magenta: the see-through colour of objects

inline QRgb rgb(int r, int g, int b) { return qRgb(r, g, b); }
QRgb hex(const char* s);  // "#5aa83c"
QRgb mix(QRgb a, QRgb b, double t);
QRgb shade(QRgb c, double f);   // f < 1 darker, > 1 lighter
QRgb nudge(QRgb c, int delta);  // add delta to every channel
inline bool isKey(QRgb c) { return (c & 0xFFFFFFu) == (KEY & 0xFFFFFFu); }

uint32_t hash(int x, int y, uint32_t seed);
double rnd(int x, int y, uint32_t seed);  // 0 … 1, a pure function of its arguments
// Smooth value noise on a lattice of `cell` pixels, repeating every `period`.
double vnoise(double x, double y, int cell, uint32_t seed, int period = T);
// Three octaves (cells 20, 10, 5) repeating every 40 pixels: 0 … 1.
double fbm(double x, double y, uint32_t seed);

// A deterministic pseudo-random sequence.
class Rng {
public:
    explicit Rng(uint64_t seed) : s_(seed * 0x9E3779B97F4A7C15ull + 1) {}
    uint32_t next();
    int range(int lo, int hi);  // inclusive
    double unit();
    bool chance(double p) { return unit() < p; }

private:
    uint64_t s_;
};

QImage canvas(int w = T, int h = T, QRgb fill = KEY);
// Fills every pixel from a function of its position.
QImage field(const std::function<QRgb(int, int)>& f, int w = T, int h = T);
inline void px(QImage& img, int x, int y, QRgb c) {
    if (x >= 0 && y >= 0 && x < img.width() && y < img.height()) img.setPixel(x, y, c);
}
inline QRgb at(const QImage& img, int x, int y) {
    return img.pixel(((x % img.width()) + img.width()) % img.width(),
                     ((y % img.height()) + img.height()) % img.height());
}
// A painter for crisp pixel drawing (no anti-aliasing).
struct Pen {
    explicit Pen(QImage& img) : p(&img) { p.setRenderHint(QPainter::Antialiasing, false); }
    void rect(int x, int y, int w, int h, QRgb c) { p.fillRect(x, y, w, h, QColor::fromRgb(c)); }
    void ellipse(int x, int y, int w, int h, QRgb c);
    void poly(std::initializer_list<QPoint> pts, QRgb c);
    void line(int x1, int y1, int x2, int y2, QRgb c, int width = 1);
    QPainter p;
};

// Pastes `src` onto `dst` at (x, y), leaving out key-coloured pixels.
void stamp(QImage& dst, const QImage& src, int x, int y);
// Pixels of `img` that are not key colour, drawn over `ground` (for previews
// and for tiles that are objects drawn on a ground).
QImage over(const QImage& ground, const QImage& object);
// A 1-pixel dark outline around every non-key area (4-neighbourhood).
void outline(QImage& img, QRgb colour);
// A dithered shadow ellipse drawn only on key pixels.
void shadow(QImage& img, int cx, int cy, int rx, int ry, QRgb colour = 0xFF2E4A22u);
// Nearest-neighbour enlargement.
QImage enlarge(const QImage& img, int factor);
QImage mirrored(const QImage& img);
// Shades an object: lighter towards the top-left, darker to the bottom-right,
// inside the non-key area of the image, using distance to the edge.
void roundShade(QImage& img, double strength = 0.25);

}  // namespace art
