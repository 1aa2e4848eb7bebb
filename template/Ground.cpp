// Ground textures and the opaque tiles built from them. Every texture repeats
// every 40 pixels, so neighbouring tiles join without seams, and transition
// tiles (paths, shores) use the very same textures on both sides of their edge.
#include "Ground.h"
#include "Art.h"

#include <algorithm>
#include <cmath>

using namespace art;

namespace tmpl {

namespace {

constexpr double kPi = 3.14159265358979323846;

QRgb pick(const std::vector<QRgb>& ramp, double t) {
    const int n = static_cast<int>(ramp.size());
    int i = static_cast<int>(std::floor(t * n));
    return ramp[std::clamp(i, 0, n - 1)];
}

// periodic wobble along an edge
double wob(double t, uint32_t seed, double amp = 1.6) {
    const double ph1 = rnd(1, 2, seed) * 2 * kPi, ph2 = rnd(3, 4, seed) * 2 * kPi;
    return amp * (0.65 * std::sin(2 * kPi * t * 2 / T + ph1) + 0.35 * std::sin(2 * kPi * t * 3 / T + ph2));
}

}  // namespace

// ---------------------------------------------------------------- textures

QImage grassTex(uint32_t seed, QRgb tint, double flowers) {
    const std::vector<QRgb> ramp = {hex("#3f8a34"), hex("#4a9838"), hex("#55a43d"), hex("#62b145")};
    QImage img = field([&](int x, int y) {
        double n = fbm(x, y, seed) * 0.85 + rnd(x, y, seed + 99) * 0.3 - 0.1;
        QRgb c = pick(ramp, n);
        return tint ? mix(c, tint, 0.35) : c;
    });
    Rng r(seed);
    const QRgb dark = tint ? mix(hex("#2f6f28"), tint, 0.3) : hex("#2f6f28");
    const QRgb light = tint ? mix(hex("#86c95a"), tint, 0.3) : hex("#86c95a");
    for (int i = 0; i < 46; ++i) {
        const int x = r.range(0, T - 1), y = r.range(0, T - 1);
        // a small tuft: two dark blades and a lit tip
        px(img, x, y, dark);
        px(img, (x + 1) % T, (y + T - 1) % T, dark);
        px(img, (x + 2) % T, y, dark);
        px(img, (x + 1) % T, (y + T - 2) % T, light);
    }
    Rng f(seed + 5);
    const int flowerCount = static_cast<int>(flowers);
    const QRgb petals[] = {hex("#f4f1e6"), hex("#f3d34a"), hex("#e8505b"), hex("#9a7fe0")};
    for (int i = 0; i < flowerCount; ++i) {
        const int x = f.range(1, T - 2), y = f.range(1, T - 2);
        const QRgb p = petals[f.range(0, flowers > 6 ? 3 : 1)];
        px(img, x - 1, y, p);
        px(img, x + 1, y, p);
        px(img, x, y - 1, p);
        px(img, x, y + 1, shade(p, 0.8));
        px(img, x, y, hex("#f7c948"));
    }
    return img;
}

QImage dirtTex(uint32_t seed) {
    const std::vector<QRgb> ramp = {hex("#86593a"), hex("#936541"), hex("#9f7049"), hex("#ab7b52")};
    QImage img =
        field([&](int x, int y) { return pick(ramp, fbm(x, y, seed) * 0.9 + rnd(x, y, seed + 3) * 0.25 - 0.08); });
    Rng r(seed);
    for (int i = 0; i < 16; ++i) {
        const int x = r.range(0, T - 1), y = r.range(0, T - 1);
        px(img, x, y, hex("#c39a6b"));
        px(img, (x + 1) % T, y, hex("#b68b5d"));
        px(img, x, (y + 1) % T, hex("#6b4529"));
        px(img, (x + 1) % T, (y + 1) % T, hex("#6b4529"));
    }
    return img;
}

QImage sandTex(uint32_t seed) {
    const std::vector<QRgb> ramp = {hex("#d9bf7c"), hex("#e2c98a"), hex("#e9d498"), hex("#f0dda6")};
    QImage img = field([&](int x, int y) {
        double ripple = 0.12 * std::sin(2 * kPi * (y * 3 + 4 * std::sin(2 * kPi * x / T)) / T);
        return pick(ramp, fbm(x, y, seed) * 0.8 + ripple + rnd(x, y, seed + 1) * 0.2);
    });
    Rng r(seed);
    for (int i = 0; i < 22; ++i) {
        const int x = r.range(0, T - 1), y = r.range(0, T - 1);
        px(img, x, y, r.chance(0.5) ? hex("#c7a865") : hex("#fbeec2"));
    }
    return img;
}

QImage waterTex(int frame, uint32_t seed, bool deep) {
    const std::vector<QRgb> ramp =
        deep ? std::vector<QRgb>{hex("#1f4f94"), hex("#24599f"), hex("#2a63aa"), hex("#316db4")}
             : std::vector<QRgb>{hex("#3476c4"), hex("#3b80cc"), hex("#438ad3"), hex("#4c94d9")};
    const double shift = frame * 40.0 / 3.0;
    QImage img = field([&](int x, int y) { return pick(ramp, fbm(x + shift, y, seed) * 0.9 + 0.05); });
    Rng r(seed);
    const QRgb hi = deep ? hex("#4f8fd0") : hex("#8cc6f0");
    const QRgb hi2 = deep ? hex("#3b78bd") : hex("#67abe6");
    for (int i = 0; i < 9; ++i) {
        const int x0 = r.range(0, T - 1), y = r.range(0, T - 1), len = r.range(3, 6);
        const int x = x0 + frame * 2;
        for (int k = 0; k < len; ++k) {
            const int yy = (k == 0 || k == len - 1) ? y + 1 : y;
            px(img, (x + k) % T, yy % T, (k == 0 || k == len - 1) ? hi2 : hi);
        }
    }
    return img;
}

// Stones laid in rows: `rowH` tall, `stoneW` wide, every other row shifted.
QImage masonry(uint32_t seed, int rowH, int stoneW, QRgb base, QRgb mortar, double vary, bool bevel) {
    QImage img = canvas(T, T, mortar);
    for (int y = 0; y < T; ++y) {
        const int row = y / rowH;
        const int off = (row % 2) * (stoneW / 2);
        for (int x = 0; x < T; ++x) {
            const int sx = (x + off) % T;
            const int col = sx / stoneW;
            const int lx = sx % stoneW, ly = y % rowH;
            if (lx == stoneW - 1 || ly == rowH - 1) continue;  // mortar
            const double v = (rnd(col, row, seed) - 0.5) * vary;
            QRgb c = shade(base, 1.0 + v);
            c = mix(c, shade(c, 0.9), fbm(x, y, seed + 11) > 0.6 ? 0.6 : 0.0);
            if (bevel) {
                if (ly == 0 || lx == 0)
                    c = shade(c, 1.18);
                else if (ly == rowH - 2 || lx == stoneW - 2)
                    c = shade(c, 0.82);
            }
            if (rnd(x, y, seed + 17) > 0.93) c = shade(c, 0.9);
            img.setPixel(x, y, c);
        }
    }
    return img;
}

QImage planks(uint32_t seed, QRgb base, int plankH, bool vertical) {
    QImage img = field([&](int x, int y) {
        const int u = vertical ? y : x, v = vertical ? x : y;
        const int plank = v / plankH, lv = v % plankH;
        const int seam = static_cast<int>(rnd(plank, 0, seed) * T);
        QRgb c = shade(base, 1.0 + (rnd(plank, 1, seed) - 0.5) * 0.18);
        const double grain = std::sin((u * 0.35 + lv * 1.7 + rnd(plank, 2, seed) * 6));
        if (grain > 0.75) c = shade(c, 0.9);
        if (lv == plankH - 1) return shade(base, 0.55);
        if (lv == 0) c = shade(c, 1.12);
        if ((u - seam + T) % T == 0) return shade(base, 0.6);
        if ((u - seam + T) % T == 1 && (lv == plankH / 2)) return shade(base, 0.5);  // nail
        return c;
    });
    return img;
}

// ---------------------------------------------------------------- shared pieces

QImage grassTile(int variant) {
    switch (variant) {
    case 1:
        return grassTex(101, 0, 4);
    case 2:
        return grassTex(102, 0, 14);
    default:
        return grassTex(100, 0, 0);
    }
}
QImage dirtTile() { return dirtTex(200); }
QImage sandTile() { return sandTex(300); }
QImage waterTile(int frame) { return waterTex(frame, 400, false); }
QImage stoneFloorTile() { return masonry(500, 10, 20, hex("#9a968e"), hex("#6c675f"), 0.16, true); }
QImage stoneWall() {
    QImage img = masonry(600, 8, 16, hex("#8d8a86"), hex("#4e4a47"), 0.22, true);
    return img;
}
QImage plasterWall() {
    return field([](int x, int y) {
        QRgb c = mix(hex("#efe3c8"), hex("#e2d2b0"), fbm(x, y, 700) * 0.9);
        if (rnd(x, y, 701) > 0.95) c = shade(c, 0.94);
        return c;
    });
}

// ---------------------------------------------------------------- transitions

// A tile split between two textures along a distance field: d < 0 is `a`.
// `rim` draws a band of `rimColour` just inside `a`, `lip` a band inside `b`.
QImage blend(const QImage& a, const QImage& b, const std::function<double(int, int)>& d,
             const std::function<QRgb(QRgb, double)>& edge) {
    return field([&](int x, int y) {
        const double v = d(x, y);
        QRgb c = v < 0 ? a.pixel(x, y) : b.pixel(x, y);
        return edge ? edge(c, v) : c;
    });
}

// Distance from a point to a dirt path leaving the tile centre through `exits`
// (bits: 1 north, 2 east, 4 south, 8 west), minus the path's half width.
double pathDist(int x, int y, int exits, uint32_t seed) {
    const double c = 19.5;
    double best = 1e9;
    auto seg = [&](bool vertical, bool toLow) {
        // vertical segments wobble in x along y, horizontal in y along x
        if (vertical) {
            const double xx = x - wob(y, seed);
            const bool inRange = toLow ? y <= c : y >= c;
            const double d = inRange ? std::abs(xx - c) : std::hypot(xx - c, y - c);
            best = std::min(best, d);
        } else {
            const double yy = y - wob(x, seed + 1);
            const bool inRange = toLow ? x <= c : x >= c;
            const double d = inRange ? std::abs(yy - c) : std::hypot(x - c, yy - c);
            best = std::min(best, d);
        }
    };
    if (exits & 1) seg(true, true);
    if (exits & 4) seg(true, false);
    if (exits & 2) seg(false, false);
    if (exits & 8) seg(false, true);
    return best - 8.5;
}

QImage pathTile(int exits, const QImage& ground, const QImage& path) {
    return blend(
        path, ground, [&](int x, int y) { return pathDist(x, y, exits, 800); },
        [](QRgb c, double v) {
            if (v < 0 && v > -1.2) return shade(c, 0.78);               // trodden rim
            if (v >= 0 && v < 1.3) return mix(c, hex("#3a7a2e"), 0.6);  // grass lip
            return c;
        });
}

// Distance (positive into the water) for a shore with land on the `land` sides.
double shoreDist(int x, int y, int land, uint32_t seed) {
    const double e = 13.0;
    std::vector<double> ds;  // distance into the water from each land side
    if (land & 1) ds.push_back(y - (e + wob(x, seed)));
    if (land & 4) ds.push_back((T - 1 - y) - (e + wob(x, seed + 2)));
    if (land & 8) ds.push_back(x - (e + wob(y, seed + 3)));
    if (land & 2) ds.push_back((T - 1 - x) - (e + wob(y, seed + 4)));
    if (ds.empty()) return 1e9;
    std::sort(ds.begin(), ds.end());
    double d = ds[0];
    // a rounded corner where two shores meet
    const double r = 7.0;
    if (ds.size() >= 2 && ds[0] < r && ds[1] < r && ds[0] > -r) d = r - std::hypot(r - ds[0], r - ds[1]);
    return d;
}

QImage shoreTile(int land, int frame) {
    const QImage grass = grassTile(0), sand = sandTile(), water = waterTile(frame);
    return field([&](int x, int y) {
        const double d = shoreDist(x, y, land, 900);
        if (d < -3.2) return grass.pixel(x, y);
        if (d < -2.4) return mix(grass.pixel(x, y), sand.pixel(x, y), 0.5);
        if (d < 0) return d > -1 ? shade(sand.pixel(x, y), 0.86) : sand.pixel(x, y);
        if (d < 1.2) return mix(hex("#d6ecf7"), water.pixel(x, y), 0.3);  // foam
        if (d < 4) return mix(water.pixel(x, y), hex("#7fc1ea"), 0.35);   // shallows
        return water.pixel(x, y);
    });
}

}  // namespace tmpl
