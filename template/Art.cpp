#include "Art.h"

#include <cmath>

namespace art {

QRgb hex(const char* s) {
    if (*s == '#') ++s;
    return 0xFF000000u | static_cast<QRgb>(std::strtoul(s, nullptr, 16));
}

QRgb mix(QRgb a, QRgb b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    auto m = [t](int x, int y) { return static_cast<int>(std::lround(x + (y - x) * t)); };
    return qRgb(m(qRed(a), qRed(b)), m(qGreen(a), qGreen(b)), m(qBlue(a), qBlue(b)));
}

QRgb shade(QRgb c, double f) {
    auto s = [f](int v) {
        return std::clamp(static_cast<int>(std::lround(f <= 1 ? v * f : v + (255 - v) * (f - 1))), 0, 255);
    };
    QRgb out = qRgb(s(qRed(c)), s(qGreen(c)), s(qBlue(c)));
    if (isKey(out)) out = qRgb(254, 0, 254);
    return out;
}

QRgb nudge(QRgb c, int d) {
    auto s = [d](int v) { return std::clamp(v + d, 0, 255); };
    QRgb out = qRgb(s(qRed(c)), s(qGreen(c)), s(qBlue(c)));
    if (isKey(out)) out = qRgb(254, 0, 254);
    return out;
}

uint32_t hash(int x, int y, uint32_t seed) {
    uint32_t h = seed * 0x27d4eb2du ^ static_cast<uint32_t>(x) * 0x85ebca6bu ^ static_cast<uint32_t>(y) * 0xc2b2ae35u;
    h ^= h >> 15;
    h *= 0x2c1b3c6du;
    h ^= h >> 12;
    h *= 0x297a2d39u;
    h ^= h >> 15;
    return h;
}

double rnd(int x, int y, uint32_t seed) { return (hash(x, y, seed) & 0xFFFFFF) / double(0x1000000); }

double vnoise(double x, double y, int cell, uint32_t seed, int period) {
    const int cells = std::max(1, period / cell);
    const double fx = x / cell, fy = y / cell;
    const int x0 = static_cast<int>(std::floor(fx)), y0 = static_cast<int>(std::floor(fy));
    const double tx = fx - x0, ty = fy - y0;
    auto v = [&](int i, int j) {
        return rnd(((i % cells) + cells) % cells, ((j % cells) + cells) % cells, seed + cell);
    };
    auto sm = [](double t) { return t * t * (3 - 2 * t); };
    const double a = v(x0, y0), b = v(x0 + 1, y0), c = v(x0, y0 + 1), d = v(x0 + 1, y0 + 1);
    const double sx = sm(tx), sy = sm(ty);
    return (a + (b - a) * sx) * (1 - sy) + (c + (d - c) * sx) * sy;
}

double fbm(double x, double y, uint32_t seed) {
    return 0.5 * vnoise(x, y, 20, seed) + 0.3 * vnoise(x, y, 10, seed + 7) + 0.2 * vnoise(x, y, 5, seed + 13);
}

uint32_t Rng::next() {
    s_ ^= s_ >> 12;
    s_ ^= s_ << 25;
    s_ ^= s_ >> 27;
    return static_cast<uint32_t>((s_ * 0x2545F4914F6CDD1Dull) >> 32);
}

int Rng::range(int lo, int hi) { return lo + static_cast<int>(next() % static_cast<uint32_t>(hi - lo + 1)); }

double Rng::unit() { return (next() & 0xFFFFFF) / double(0x1000000); }

QImage canvas(int w, int h, QRgb fill) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(fill);
    return img;
}

QImage field(const std::function<QRgb(int, int)>& f, int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.setPixel(x, y, f(x, y));
    return img;
}

void Pen::ellipse(int x, int y, int w, int h, QRgb c) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor::fromRgb(c));
    p.drawEllipse(x, y, w, h);
}

void Pen::poly(std::initializer_list<QPoint> pts, QRgb c) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor::fromRgb(c));
    QPolygon poly;
    for (const QPoint& q : pts) poly << q;
    p.drawPolygon(poly);
}

void Pen::line(int x1, int y1, int x2, int y2, QRgb c, int width) {
    QPen pen(QColor::fromRgb(c));
    pen.setWidth(width);
    pen.setCapStyle(Qt::SquareCap);
    p.setPen(pen);
    p.drawLine(x1, y1, x2, y2);
    p.setPen(Qt::NoPen);
}

void stamp(QImage& dst, const QImage& src, int x, int y) {
    for (int j = 0; j < src.height(); ++j)
        for (int i = 0; i < src.width(); ++i) {
            const QRgb c = src.pixel(i, j);
            if (!isKey(c)) px(dst, x + i, y + j, c);
        }
}

QImage over(const QImage& ground, const QImage& object) {
    QImage out = ground.copy();
    stamp(out, object, 0, 0);
    return out;
}

void outline(QImage& img, QRgb colour) {
    const QImage src = img.copy();
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            if (!isKey(src.pixel(x, y))) continue;
            bool edge = false;
            const int d[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
            for (auto& o : d) {
                const int nx = x + o[0], ny = y + o[1];
                if (nx >= 0 && ny >= 0 && nx < img.width() && ny < img.height() && !isKey(src.pixel(nx, ny)))
                    edge = true;
            }
            if (edge) img.setPixel(x, y, colour);
        }
}

void shadow(QImage& img, int cx, int cy, int rx, int ry, QRgb colour) {
    for (int y = cy - ry; y <= cy + ry; ++y)
        for (int x = cx - rx; x <= cx + rx; ++x) {
            const double dx = double(x - cx) / rx, dy = double(y - cy) / ry;
            if (dx * dx + dy * dy > 1.0) continue;
            if (((x + y) & 1) != 0) continue;
            if (x >= 0 && y >= 0 && x < img.width() && y < img.height() && isKey(img.pixel(x, y)))
                img.setPixel(x, y, colour);
        }
}

QImage enlarge(const QImage& img, int factor) { return img.scaled(img.width() * factor, img.height() * factor); }

QImage mirrored(const QImage& img) { return img.mirrored(true, false); }

void roundShade(QImage& img, double strength) {
    const int w = img.width(), h = img.height();
    int minX = w, minY = h, maxX = -1, maxY = -1;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (!isKey(img.pixel(x, y))) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
            }
    if (maxX < 0) return;
    const double cx = (minX + maxX) / 2.0, cy = (minY + maxY) / 2.0;
    const double rx = std::max(1.0, (maxX - minX) / 2.0), ry = std::max(1.0, (maxY - minY) / 2.0);
    for (int y = minY; y <= maxY; ++y)
        for (int x = minX; x <= maxX; ++x) {
            const QRgb c = img.pixel(x, y);
            if (isKey(c)) continue;
            const double t = ((x - cx) / rx + (y - cy) / ry) / 2.0;  // -1 top-left … 1 bottom-right
            img.setPixel(x, y, shade(c, 1.0 - t * strength));
        }
}

}  // namespace art
