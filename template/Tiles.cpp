// The 144 tiles of the palette, in twelve themed lists of twelve:
//   Lista 1  48–59   ground: grass, flowers, dirt, sand, snow …
//   Lista 2  60–71   dirt paths and the cobbled road ('G', the first brush)
//   Lista 3  72–83   water and its shores, lily pads, a bridge
//   Lista 4  84–95   floors and stairs
//   Lista 5  96–107  walls
//   Lista 6 108–119  roofs, doors and windows
//   Lista 7 120–131  trees, bushes, rocks (upper layer, transparent)
//   Lista 8 132–143  fences, chests, barrels, signs (transparent)
//   Lista 9 144–155  furniture and odds and ends (transparent)
//   Lista 10 156–167 caves, snow and desert
//   Lista 11 168–179 farm, harbour and camp
//   Animações 180–191 water, sea, lava, torch, fountain, fire, waterfall,
//                     flowers, crystal, swamp, magic circle, flag
#include "Art.h"
#include "Ground.h"
#include "Template.h"

#include <cmath>

using namespace art;

namespace tmpl {

namespace {

constexpr double kPi = 3.14159265358979323846;

// ---------------------------------------------------------------- ground

QImage tallGrass() {
    QImage img = grassTex(110, hex("#2f6e2a"), 0);
    Rng r(111);
    for (int i = 0; i < 60; ++i) {
        const int x = r.range(0, T - 1), y = r.range(0, T - 1);
        const int h = r.range(4, 8);
        const int bend = r.range(-1, 1);
        for (int k = 0; k < h; ++k) {
            const int xx = (x + (k > h / 2 ? bend : 0) + T) % T, yy = (y - k + T) % T;
            px(img, xx, yy, k >= h - 2 ? hex("#9ad46e") : k >= h / 2 ? hex("#5fae45") : hex("#3f8f34"));
        }
        px(img, (x + 1) % T, y, hex("#26591f"));
    }
    return img;
}

QImage forestFloor() {
    QImage img = grassTex(120, hex("#4a5a22"), 0);
    Rng r(121);
    const QRgb leaves[] = {hex("#b3702c"), hex("#c9892f"), hex("#8a4f22"), hex("#d1a23a")};
    for (int i = 0; i < 30; ++i) {
        const int x = r.range(0, T - 1), y = r.range(0, T - 1);
        const QRgb c = leaves[r.range(0, 3)];
        px(img, x, y, c);
        px(img, (x + 1) % T, y, shade(c, 0.8));
        px(img, x, (y + 1) % T, shade(c, 1.15));
    }
    return img;
}

QImage gravel() {
    QImage img = field([](int x, int y) { return mix(hex("#8d877c"), hex("#a39d91"), fbm(x, y, 130)); });
    Rng r(131);
    for (int i = 0; i < 70; ++i) {
        const int x = r.range(0, T - 1), y = r.range(0, T - 1);
        const QRgb c = r.chance(0.5) ? hex("#bdb6a9") : hex("#b2a899");
        px(img, x, y, c);
        px(img, (x + 1) % T, y, c);
        px(img, x, (y + 1) % T, hex("#6d685f"));
        px(img, (x + 1) % T, (y + 1) % T, hex("#6d685f"));
    }
    return img;
}

QImage farmland(bool crops, bool cabbage) {
    // rows of turned soil ten pixels apart, with seedlings on the empty field
    const QImage dirt = dirtTex(140);
    QImage img = field([&](int x, int y) {
        const int ly = y % 10;
        QRgb c = shade(dirt.pixel(x, y), 0.92);
        if (ly == 0 || ly == 1)
            c = shade(c, 1.12);
        else if (ly == 7)
            c = shade(c, 0.8);
        else if (ly >= 8)
            c = shade(c, 0.62);
        return c;
    });
    if (!crops && !cabbage) {
        for (int row = 0; row < 4; ++row)
            for (int x = 2; x < T; x += 6) {
                const int sx = x + (row % 2) * 3, sy = row * 10 + 4;
                px(img, sx, sy, hex("#4f9a3d"));
                px(img, sx - 1, sy - 1, hex("#7cc45a"));
                px(img, sx + 1, sy - 1, hex("#62b145"));
                px(img, sx, sy + 1, hex("#5e432b"));
            }
    }
    if (crops) {
        for (int row = 0; row < 4; ++row)
            for (int x = 1; x < T; x += 3) {
                const int base = row * 10 + 6, h = 5 + static_cast<int>(rnd(x, row, 9) * 3);
                for (int k = 0; k < h; ++k) px(img, x, (base - k + T) % T, k > h - 3 ? hex("#f1d36b") : hex("#c9b048"));
                px(img, x + 1, (base - h + 1 + T) % T, hex("#e2bf52"));
            }
    }
    if (cabbage) {
        for (int row = 0; row < 4; ++row)
            for (int x = 3; x < T; x += 10) {
                const int cx = x + (row % 2) * 5, cy = row * 10 + 4;
                Pen p(img);
                p.ellipse(cx - 3, cy - 3, 7, 6, hex("#5fae4a"));
                p.ellipse(cx - 1, cy - 2, 3, 3, hex("#9ad47a"));
                px(img, cx + 2, cy + 2, hex("#3f7f34"));
            }
    }
    return img;
}

QImage snowTex(uint32_t seed) {
    QImage img = field([&](int x, int y) {
        const double n = fbm(x, y, seed);
        return n > 0.62 ? hex("#ffffff") : n > 0.45 ? hex("#eef3f9") : hex("#dce6f1");
    });
    Rng r(seed);
    for (int i = 0; i < 14; ++i) px(img, r.range(0, T - 1), r.range(0, T - 1), hex("#c3d0e0"));
    return img;
}

QImage mud() {
    QImage img = field([](int x, int y) {
        const double n = fbm(x, y, 150);
        if (n > 0.66) return mix(hex("#4f5f3a"), hex("#5d6b44"), rnd(x, y, 1));  // puddle of murky water
        return n > 0.5 ? hex("#6b4d32") : n > 0.35 ? hex("#5e432b") : hex("#543b26");
    });
    return img;
}

QImage dryGrass() { return grassTex(160, hex("#b9a04a"), 0); }

QImage cobbles() {
    // round cobbles in offset rows, grey-brown, with a lit upper edge
    QImage img = canvas(T, T, hex("#5f5a52"));
    for (int y = 0; y < T; ++y)
        for (int x = 0; x < T; ++x) {
            const int row = y / 8, off = (row % 2) * 5;
            const int sx = (x + off) % T, col = sx / 10;
            const double cx = col * 10 + 4.5, cy = row * 8 + 3.5;
            const double dx = (sx - cx) / 4.6, dy = (y - cy) / 3.6;
            const double r2 = dx * dx + dy * dy;
            if (r2 > 1.0) continue;
            QRgb c = shade(mix(hex("#a59d8f"), hex("#8f877a"), rnd(col, row, 170)), 1.0);
            if (dy < -0.45 || dx < -0.6)
                c = shade(c, 1.18);
            else if (dy > 0.5)
                c = shade(c, 0.8);
            img.setPixel(x, y, c);
        }
    return img;
}

QImage lilyPads(int frame) {
    QImage img = waterTex(frame, 400, false);
    Pen p(img);
    auto pad = [&](int x, int y, int r) {
        p.ellipse(x - r, y - r, 2 * r, 2 * r - 1, hex("#4f9a3d"));
        p.ellipse(x - r + 2, y - r + 1, 2 * r - 5, 2 * r - 5, hex("#62b145"));
        p.poly({{x, y}, {x + r, y - 2}, {x + r, y + 1}}, hex("#3b80cc"));
    };
    pad(11, 12, 6);
    pad(28, 26, 7);
    pad(14, 31, 4);
    p.rect(27, 22, 3, 3, hex("#f4b6cf"));
    px(img, 28, 23, hex("#f7c948"));
    return img;
}

QImage bridge(bool vertical, bool overWater = true) {
    QImage base = overWater ? waterTex(0, 400, false) : grassTile(0);
    QImage img = base.copy();
    QImage wood = planks(180, hex("#a8743f"), 5, !vertical);
    for (int y = 0; y < T; ++y)
        for (int x = 0; x < T; ++x) {
            const int across = vertical ? x : y;
            if (across >= 6 && across <= 33) img.setPixel(x, y, wood.pixel(x, y));
            if (across == 6 || across == 33) img.setPixel(x, y, hex("#5c3a21"));
            if (across == 34) img.setPixel(x, y, shade(base.pixel(x, y), 0.7));
        }
    return img;
}

QImage dock() {
    QImage img = waterTex(0, 400, false);
    QImage wood = planks(181, hex("#9b6a3a"), 8, true);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < T; ++x) img.setPixel(x, y, wood.pixel(x, y));
    Pen p(img);
    for (int x = 4; x < T; x += 16) {
        p.rect(x, 30, 4, 6, hex("#5c3a21"));
        p.rect(x, 36, 4, 1, hex("#2f5f9a"));
    }
    p.rect(0, 30, 40, 1, hex("#5c3a21"));
    return img;
}

// ---------------------------------------------------------------- floors

QImage checker() {
    return field([](int x, int y) {
        const bool dark = ((x / 10) + (y / 10)) % 2;
        QRgb c = dark ? hex("#3b3f4a") : hex("#e8e4da");
        if (x % 10 == 0 || y % 10 == 0) c = shade(c, dark ? 1.25 : 1.04);
        if (rnd(x, y, 190) > 0.93) c = shade(c, 0.95);
        return c;
    });
}

QImage carpet(QRgb base, QRgb border) {
    return field([&](int x, int y) {
        QRgb c = mix(base, shade(base, 0.9), rnd(x, y, 200) * 0.5);
        const int dx = std::min(x, T - 1 - x), dy = std::min(y, T - 1 - y);
        if ((x + y) % 8 == 0 && dx > 6 && dy > 6) c = shade(base, 1.12);
        if ((x - y + T) % 8 == 0 && dx > 6 && dy > 6) c = shade(base, 1.12);
        if (dx == 3 || dy == 3) c = border;
        return c;
    });
}

QImage herringbone() {
    return field([](int x, int y) {
        const int u = (x + y) % 20, v = (x - y + 40) % 20;
        const bool a = ((x / 5 + y / 10) % 2) == 0;
        QRgb c = a ? hex("#b55a3c") : hex("#a34e33");
        if ((a ? (x % 5 == 4) : (y % 10 == 9)) || (u == 0 && v == 0)) c = hex("#7a3826");
        if (rnd(x, y, 210) > 0.9) c = shade(c, 1.08);
        return c;
    });
}

QImage straw() {
    return field([](int x, int y) {
        QRgb c = (y % 20 < 10) ? hex("#cdbb78") : hex("#c4b06c");
        if ((x + (y % 20 < 10 ? 0 : 1)) % 2 == 0) c = shade(c, 0.95);
        if (y % 20 == 0 || y % 20 == 19) c = hex("#6b7a3a");
        if (x % 40 == 0) c = hex("#8a7a45");
        return c;
    });
}

QImage dungeonFloor(bool cracked) {
    QImage img = masonry(220, 13, 13, hex("#55525a"), hex("#2e2c32"), 0.2, true);
    if (cracked) {
        Pen p(img);
        p.line(6, 3, 14, 14, hex("#1d1b20"));
        p.line(14, 14, 12, 24, hex("#1d1b20"));
        p.line(14, 14, 27, 19, hex("#1d1b20"));
        p.line(27, 19, 34, 33, hex("#1d1b20"));
        p.line(12, 24, 5, 35, hex("#1d1b20"));
        p.rect(20, 30, 3, 2, hex("#6e6a72"));
    }
    return img;
}

QImage caveFloor() {
    return field([](int x, int y) {
        const double n = fbm(x, y, 230);
        QRgb c = n > 0.6 ? hex("#8a7560") : n > 0.45 ? hex("#7a6651") : hex("#6c5a47");
        if (rnd(x, y, 231) > 0.94) c = hex("#a08a72");
        return c;
    });
}

QImage stairs(bool down) {
    QImage img = canvas(T, T, hex("#4e4a47"));
    Pen p(img);
    for (int i = 0; i < 5; ++i) {
        const int y = i * 8;
        const double f = down ? 1.0 - i * 0.15 : 0.55 + i * 0.12;
        p.rect(2, y, 36, 6, shade(hex("#a6a198"), f));
        p.rect(2, y, 36, 1, shade(hex("#c7c2b8"), f));
        p.rect(2, y + 6, 36, 2, shade(hex("#5e5a55"), f));
    }
    p.rect(0, 0, 2, 40, hex("#6d6964"));
    p.rect(38, 0, 2, 40, hex("#6d6964"));
    return img;
}

// ---------------------------------------------------------------- walls

QImage brickWall() {
    QImage img = masonry(240, 6, 12, hex("#b5553c"), hex("#d8cbb5"), 0.18, false);
    for (int y = 0; y < T; ++y)
        for (int x = 0; x < T; ++x)
            if (y % 6 == 0 && !(img.pixel(x, y) == hex("#d8cbb5"))) img.setPixel(x, y, shade(img.pixel(x, y), 1.12));
    return img;
}

QImage logWall() {
    return field([](int x, int y) {
        const int ly = y % 8;
        QRgb c = mix(hex("#8a5526"), hex("#9b6232"), rnd(y / 8, 0, 250));
        if (ly == 0)
            c = hex("#b57b45");
        else if (ly == 1)
            c = shade(c, 1.08);
        else if (ly >= 6)
            c = shade(c, 0.7);
        if (std::sin(x * 0.45 + (y / 8) * 2.3) > 0.85 && ly > 1 && ly < 6) c = shade(c, 0.85);
        return c;
    });
}

QImage timberWall() {
    // white plaster between dark beams: a post at the left edge (so that a row of
    // these tiles shows a post every tile), sills, a middle rail and a brace
    QImage img = plasterWall();
    Pen p(img);
    const QRgb beam = hex("#6e4424"), lit = hex("#8a5a33");
    p.rect(0, 0, 40, 4, beam);
    p.rect(0, 36, 40, 4, beam);
    p.rect(0, 18, 40, 3, beam);
    p.rect(0, 0, 4, 40, beam);
    p.line(5, 35, 20, 22, beam, 3);
    p.line(22, 22, 37, 35, beam, 3);
    p.rect(0, 0, 40, 1, lit);
    p.rect(0, 18, 40, 1, lit);
    p.rect(1, 0, 1, 40, lit);
    return img;
}

QImage withWindow(const QImage& wall, bool wood) {
    QImage img = wall.copy();
    Pen p(img);
    const QRgb frame = wood ? hex("#6e4424") : hex("#6b6b75");
    p.rect(9, 8, 22, 22, frame);
    p.rect(11, 10, 18, 18, hex("#9fd0f0"));
    p.poly({{11, 22}, {23, 10}, {29, 10}, {11, 28}}, hex("#c8e8fb"));
    p.rect(19, 10, 2, 18, frame);
    p.rect(11, 18, 18, 2, frame);
    p.rect(7, 30, 26, 3, wood ? hex("#8a5a33") : hex("#8d8a86"));
    return img;
}

QImage wallTop() {
    // the crown of a stone wall seen from above: capstones and a battlement
    QImage img = masonry(241, 10, 20, hex("#a3a09a"), hex("#5e5a55"), 0.15, true);
    Pen p(img);
    p.rect(0, 30, 40, 10, hex("#7d7a75"));
    for (int x = 0; x < 40; x += 10) p.rect(x, 30, 6, 10, hex("#8d8a86"));
    p.rect(0, 29, 40, 1, hex("#4e4a47"));
    return img;
}

QImage dungeonWall() { return masonry(260, 10, 20, hex("#4a4751"), hex("#1f1d24"), 0.25, true); }

QImage caveWall() {
    // irregular blocks of rock: the nearest of a few scattered points, repeating every tile
    struct Site {
        double x, y;
        QRgb c;
    };
    std::vector<Site> sites;
    Rng r(270);
    for (int i = 0; i < 9; ++i)
        sites.push_back({r.unit() * T, r.unit() * T, mix(hex("#6e5f50"), hex("#8a7a68"), r.unit())});
    return field([&](int x, int y) {
        double d1 = 1e9, d2 = 1e9;
        const Site* best = nullptr;
        for (const Site& s : sites)
            for (int ox = -1; ox <= 1; ++ox)
                for (int oy = -1; oy <= 1; ++oy) {
                    const double d = std::hypot(x + 0.5 - (s.x + ox * T), y + 0.5 - (s.y + oy * T));
                    if (d < d1) {
                        d2 = d1;
                        d1 = d;
                        best = &s;
                    } else if (d < d2)
                        d2 = d;
                }
        if (d2 - d1 < 1.3) return hex("#3a3028");
        QRgb c = best->c;
        if (d2 - d1 < 2.6) c = shade(c, 0.78);
        c = shade(c, 0.92 + 0.16 * vnoise(x, y, 5, 272));
        if (rnd(x, y, 273) > 0.94) c = shade(c, 1.15);
        return c;
    });
}

QImage hedge() {
    QImage img = field([](int x, int y) {
        const double n = vnoise(x, y, 4, 280);
        const double l = n * 0.8 + (1 - y / 40.0) * 0.3;
        return l > 0.7 ? hex("#5ea845") : l > 0.5 ? hex("#468c36") : l > 0.3 ? hex("#37742c") : hex("#2a5d23");
    });
    return img;
}

QImage bookshelf() {
    QImage img = canvas(T, T, hex("#5c3a21"));
    Pen p(img);
    const QRgb books[] = {hex("#b5453a"), hex("#3c6bb5"), hex("#4f9a3d"),
                          hex("#d9b44a"), hex("#7a4fa0"), hex("#c06f35")};
    for (int shelf = 0; shelf < 3; ++shelf) {
        const int y = 2 + shelf * 13;
        p.rect(2, y, 36, 10, hex("#2e1d10"));
        int x = 3;
        int i = shelf * 2;
        while (x < 36) {
            const int w = 2 + (i * 7 % 3);
            const int h = 7 + (i * 5 % 3);
            p.rect(x, y + 10 - h, w, h, books[i % 6]);
            px(img, x, y + 10 - h + 1, shade(books[i % 6], 1.3));
            x += w + (i % 4 == 3 ? 1 : 0);
            ++i;
        }
        p.rect(1, y + 10, 38, 2, hex("#8a5526"));
    }
    return img;
}

QImage bannerWall() {
    QImage img = stoneWall();
    Pen p(img);
    p.rect(11, 0, 18, 2, hex("#6e4424"));
    p.poly({{12, 2}, {28, 2}, {28, 30}, {20, 25}, {12, 30}}, hex("#a8282e"));
    p.rect(13, 2, 2, 26, hex("#c9403f"));
    p.rect(17, 9, 6, 6, hex("#f0c64a"));
    px(img, 19, 11, hex("#a8282e"));
    px(img, 20, 12, hex("#a8282e"));
    return img;
}

// ---------------------------------------------------------------- roofs and doors

QImage roof(QRgb base, uint32_t seed) {
    return field([&](int x, int y) {
        const int row = y / 8, off = (row % 2) * 4;
        const int lx = (x + off) % 8, ly = y % 8;
        // scalloped shingles: rounded lower edge
        const double edge = 6.0 + 1.5 * std::sqrt(std::max(0.0, 1.0 - std::pow((lx - 3.5) / 4.0, 2)));
        QRgb c = shade(base, 1.0 + (rnd((x + off) / 8, row, seed) - 0.5) * 0.14);
        if (ly == 0) c = shade(c, 1.15);
        if (ly >= edge - 1)
            c = shade(base, 0.62);
        else if (lx == 7)
            c = shade(base, 0.78);
        return c;
    });
}

QImage thatch() {
    return field([](int x, int y) {
        const int row = y / 10, ly = y % 10;
        QRgb c = mix(hex("#c9a24a"), hex("#b38a3a"), rnd(x, row, 290));
        if ((x + row * 3) % 3 == 0) c = shade(c, 0.88);
        if (ly >= 8) c = hex("#8a6a2a");
        if (ly == 0) c = shade(c, 1.12);
        return c;
    });
}

QImage roofRidge(QRgb base) {
    QImage img = roof(base, 300);
    Pen p(img);
    p.rect(0, 0, 40, 9, shade(base, 0.85));
    p.rect(0, 1, 40, 2, shade(base, 1.2));
    for (int x = 0; x < 40; x += 8) p.rect(x, 8, 1, 1, shade(base, 0.5));
    p.rect(0, 8, 40, 1, shade(base, 0.55));
    return img;
}

QImage eaves(QRgb base) {
    QImage img = roof(base, 301);
    Pen p(img);
    QImage wall = plasterWall();
    for (int y = 26; y < 40; ++y)
        for (int x = 0; x < 40; ++x) img.setPixel(x, y, wall.pixel(x, y));
    p.rect(0, 24, 40, 3, shade(base, 0.55));
    p.rect(0, 27, 40, 2, hex("#c7b894"));  // the eave's shadow on the wall
    return img;
}

QImage chimney(QRgb base) {
    QImage img = roof(base, 302);
    Pen p(img);
    p.rect(12, 6, 16, 26, hex("#8d8a86"));
    p.rect(10, 4, 20, 5, hex("#a3a09a"));
    p.rect(13, 5, 14, 3, hex("#2a2624"));
    for (int y = 12; y < 32; y += 5) p.rect(12, y, 16, 1, hex("#6b6865"));
    p.rect(24, 9, 4, 23, hex("#7a7773"));
    return img;
}

QImage door(const QImage& wall, bool arched, QRgb wood) {
    QImage img = wall.copy();
    Pen p(img);
    if (arched) {
        p.ellipse(7, 3, 26, 20, hex("#4e4a47"));
        p.rect(7, 13, 26, 27, hex("#4e4a47"));
        p.ellipse(9, 5, 22, 18, wood);
        p.rect(9, 14, 22, 26, wood);
    } else {
        p.rect(7, 5, 26, 35, hex("#5c3a21"));
        p.rect(9, 7, 22, 33, wood);
    }
    for (int x = 14; x < 30; x += 5) p.rect(x, arched ? 7 : 7, 1, 33, shade(wood, 0.72));
    p.rect(9, 15, 22, 2, hex("#4a4d55"));
    p.rect(9, 31, 22, 2, hex("#4a4d55"));
    p.rect(26, 22, 3, 3, hex("#f0c64a"));
    return img;
}

QImage innSign() {
    QImage img = timberWall();
    Pen p(img);
    p.rect(6, 4, 28, 2, hex("#4a4d55"));
    p.rect(9, 6, 1, 5, hex("#4a4d55"));
    p.rect(30, 6, 1, 5, hex("#4a4d55"));
    p.rect(6, 11, 28, 18, hex("#8a5526"));
    p.rect(8, 13, 24, 14, hex("#b98548"));
    // a tankard
    p.rect(14, 15, 9, 10, hex("#e8c34a"));
    p.rect(14, 15, 9, 2, hex("#fff3d0"));
    p.rect(23, 17, 3, 6, hex("#c99d35"));
    return img;
}

QImage castleGate() {
    QImage img = stoneWall();
    Pen p(img);
    p.ellipse(3, 2, 34, 26, hex("#3b3936"));
    p.rect(3, 15, 34, 25, hex("#3b3936"));
    p.ellipse(5, 4, 30, 24, hex("#1f1d1c"));
    p.rect(5, 16, 30, 24, hex("#1f1d1c"));
    for (int x = 8; x < 34; x += 5) p.rect(x, 6, 2, 34, hex("#6d6f78"));
    for (int y = 12; y < 40; y += 7) p.rect(5, y, 30, 2, hex("#6d6f78"));
    return img;
}

QImage outdoorSteps() {
    QImage img = grassTile(0);
    Pen p(img);
    for (int i = 0; i < 4; ++i) {
        const int y = 4 + i * 9;
        p.rect(4, y, 32, 7, hex("#b5b0a4"));
        p.rect(4, y, 32, 2, hex("#d8d3c8"));
        p.rect(4, y + 7, 32, 2, hex("#6e6a62"));
    }
    return img;
}

// ---------------------------------------------------------------- caves, snow, desert

QImage caveEntrance() {
    QImage img = caveWall();
    Pen p(img);
    p.ellipse(6, 8, 28, 30, hex("#2a221c"));
    p.rect(6, 22, 28, 18, hex("#2a221c"));
    p.ellipse(9, 11, 22, 26, hex("#0f0c0a"));
    p.rect(9, 24, 22, 16, hex("#0f0c0a"));
    return img;
}

QImage pit() {
    QImage img = dirtTex(200);
    Pen p(img);
    p.ellipse(5, 7, 30, 26, hex("#5e432b"));
    p.ellipse(7, 10, 26, 22, hex("#1a120c"));
    p.ellipse(10, 15, 20, 14, hex("#0a0705"));
    return img;
}

QImage spikes() {
    QImage img = dungeonFloor(false);
    Pen p(img);
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 3; ++i) {
            const int x = 7 + i * 11 + (j % 2) * 3, y = 8 + j * 11;
            p.rect(x - 2, y + 5, 7, 2, hex("#1d1b20"));
            p.poly({{x - 1, y + 6}, {x + 1, y - 2}, {x + 4, y + 6}}, hex("#b9bcc6"));
            p.line(x + 1, y - 1, x + 1, y + 5, hex("#eef0f5"));
        }
    return img;
}

QImage ice() {
    return field([](int x, int y) {
        const double n = fbm(x, y, 310);
        QRgb c = mix(hex("#a9d8f0"), hex("#d9f0fb"), n);
        if ((x - y + 40) % 23 == 0 && n > 0.4) c = hex("#ffffff");
        if ((x + 2 * y) % 31 == 0 && n < 0.45) c = hex("#8ac3e0");
        return c;
    });
}

QImage dunes() {
    QImage img = sandTex(320);
    for (int y = 0; y < T; ++y)
        for (int x = 0; x < T; ++x) {
            const double s = std::sin(2 * kPi * (y + 6 * std::sin(2 * kPi * x / T)) * 2 / T);
            if (s > 0.8)
                img.setPixel(x, y, hex("#f6e6b6"));
            else if (s < -0.85)
                img.setPixel(x, y, hex("#caa866"));
        }
    return img;
}

// ---------------------------------------------------------------- animated

QImage lava(int frame) {
    const double shift = frame * 40.0 / 3.0;
    return field([&](int x, int y) {
        const double n = fbm(x, y + shift, 330);
        const double m = fbm(x + shift, y, 331);
        const double v = (n + m) / 2;
        if (v > 0.62) return hex("#ffe36e");
        if (v > 0.52) return hex("#f6a21c");
        if (v > 0.4) return hex("#e8552a");
        if (v > 0.3) return hex("#b3301c");
        return hex("#5a1a12");
    });
}

QImage wallTorch(int frame) {
    QImage img = stoneWall();
    Pen p(img);
    // a warm glow on the wall around the flame
    for (int y = 0; y < T; ++y)
        for (int x = 0; x < T; ++x) {
            const double d = std::hypot(x - 20, y - 12);
            const double g = std::max(0.0, 1.0 - d / (16 + frame * 2)) * 0.45;
            if (g > 0) img.setPixel(x, y, mix(img.pixel(x, y), hex("#ffb347"), g));
        }
    p.rect(18, 17, 4, 12, hex("#6e4424"));
    p.rect(16, 27, 8, 3, hex("#4a4d55"));
    p.rect(17, 15, 6, 3, hex("#4a4d55"));
    const int s[] = {0, 1, -1};
    p.poly({{16, 15}, {18 + s[frame], 7}, {20, 2 + frame}, {22 + s[frame], 7}, {24, 15}}, hex("#e8552a"));
    p.poly({{18, 15}, {20 + s[frame], 6 + frame}, {22, 15}}, hex("#f6c21c"));
    p.rect(19, 12, 2, 3, hex("#fff3b0"));
    return img;
}

QImage waterfall(int frame) {
    const QImage rock = caveWall();
    return field([&](int x, int y) {
        if (x < 5 || x > 34) return rock.pixel(x, y);
        const int yy = (y - frame * 5 + 40) % 40;
        const double n = rnd(x, yy / 3, 340);
        QRgb c = n > 0.75 ? hex("#e3f3fc") : n > 0.45 ? hex("#8cc6f0") : hex("#5aa2dd");
        if (x == 5 || x == 34) c = hex("#d6ecf7");
        if (y > 33) c = (rnd(x, y + frame, 341) > 0.5) ? hex("#ffffff") : hex("#bfe2f7");
        return c;
    });
}

QImage swayingFlowers(int frame) {
    QImage img = grassTile(0);
    const QRgb petals[] = {hex("#e8505b"), hex("#f3d34a"), hex("#f4f1e6"), hex("#9a7fe0")};
    const int sway[] = {0, 1, 0};
    const int lean[] = {0, 0, -1};
    Rng r(350);
    for (int i = 0; i < 9; ++i) {
        const int x = 3 + (i % 3) * 13 + r.range(0, 5), y = 8 + (i / 3) * 12 + r.range(0, 3);
        const int dx = (i % 2 ? sway[frame] : lean[frame]);
        px(img, x, y + 3, hex("#2f6f28"));
        px(img, x + (dx != 0 ? dx : 0), y + 2, hex("#2f6f28"));
        const QRgb p = petals[i % 4];
        const int cx = x + dx, cy = y;
        px(img, cx - 1, cy, p);
        px(img, cx + 1, cy, p);
        px(img, cx, cy - 1, p);
        px(img, cx, cy + 1, shade(p, 0.8));
        px(img, cx, cy, hex("#f7c948"));
    }
    return img;
}

QImage swamp(int frame) {
    QImage img = field([&](int x, int y) {
        const double n = fbm(x + frame * 3, y, 360);
        return n > 0.6 ? hex("#5d6b3a") : n > 0.45 ? hex("#4f5d30") : hex("#424f28");
    });
    Pen p(img);
    const int bx[] = {10, 27, 18}, by[] = {12, 26, 31};
    for (int i = 0; i < 3; ++i) {
        const int size = (frame + i) % 3;
        if (size == 0)
            px(img, bx[i], by[i], hex("#7f8f55"));
        else {
            p.ellipse(bx[i] - size, by[i] - size, size * 2 + 1, size * 2 + 1, hex("#8a9a5e"));
            px(img, bx[i] - size + 1, by[i] - size + 1, hex("#c4d39a"));
        }
    }
    return img;
}

QImage magicCircle(int frame) {
    QImage img = dungeonFloor(false);
    const QRgb glow[] = {hex("#7fd6ff"), hex("#b58cff"), hex("#9fe8ff")};
    for (int y = 0; y < T; ++y)
        for (int x = 0; x < T; ++x) {
            const double d = std::hypot(x - 19.5, y - 19.5);
            const double a = std::atan2(y - 19.5, x - 19.5) + frame * 2 * kPi / 9;
            const bool ring = std::abs(d - 16) < 1.0 || std::abs(d - 11) < 0.7;
            const bool rune = d > 11.8 && d < 15.2 && std::fmod(a + 10 * kPi, 2 * kPi / 6) < 0.35;
            const bool star = d < 11 && std::abs(std::sin(3 * (a - frame * 2 * kPi / 9)) * d) < 0.9;
            if (ring || rune || star)
                img.setPixel(x, y, glow[frame]);
            else if (d < 17)
                img.setPixel(x, y, mix(img.pixel(x, y), glow[frame], 0.18));
        }
    return img;
}

QImage deepSea(int frame) {
    QImage img = waterTex(frame, 410, true);
    // white caps that travel
    Rng r(411);
    for (int i = 0; i < 5; ++i) {
        const int x = (r.range(0, 39) + frame * 4) % T, y = r.range(2, 37);
        for (int k = 0; k < 4; ++k) px(img, (x + k) % T, y - (k == 1 || k == 2 ? 1 : 0), hex("#e3f3fc"));
    }
    return img;
}

struct Def {
    const char* file;
    bool transparent;
    std::function<QImage(int frame)> draw;
};

std::vector<Def> definitions() {
    const QRgb red = hex("#b5453a"), blue = hex("#3f67a8");
    auto obj = [](const char* name) { return [n = QString::fromLatin1(name)](int f) { return objectSprite(n, f); }; };
    auto still = [](std::function<QImage()> f) { return [f](int) { return f(); }; };
    return {
        // Lista 1: ground
        {"Grama.bmp", false, still([] { return grassTile(0); })},
        {"GramaFlores.bmp", false, still([] { return grassTile(1); })},
        {"Campina.bmp", false, still([] { return grassTile(2); })},
        {"GramaAlta.bmp", false, still(tallGrass)},
        {"Folhas.bmp", false, still(forestFloor)},
        {"Terra.bmp", false, still(dirtTile)},
        {"Areia.bmp", false, still(sandTile)},
        {"Cascalho.bmp", false, still(gravel)},
        {"Plantio.bmp", false, still([] { return farmland(false, false); })},
        {"Neve.bmp", false, still([] { return snowTex(170); })},
        {"Lama.bmp", false, still(mud)},
        {"GramaSeca.bmp", false, still(dryGrass)},
        // Lista 2: paths
        {"CaminhoH.bmp", false, still([] { return pathTile(2 | 8, grassTile(0), dirtTile()); })},
        {"CaminhoV.bmp", false, still([] { return pathTile(1 | 4, grassTile(0), dirtTile()); })},
        {"CaminhoSE.bmp", false, still([] { return pathTile(4 | 2, grassTile(0), dirtTile()); })},
        {"CaminhoSO.bmp", false, still([] { return pathTile(4 | 8, grassTile(0), dirtTile()); })},
        {"CaminhoNE.bmp", false, still([] { return pathTile(1 | 2, grassTile(0), dirtTile()); })},
        {"CaminhoNO.bmp", false, still([] { return pathTile(1 | 8, grassTile(0), dirtTile()); })},
        {"CaminhoTS.bmp", false, still([] { return pathTile(2 | 8 | 4, grassTile(0), dirtTile()); })},
        {"CaminhoTN.bmp", false, still([] { return pathTile(2 | 8 | 1, grassTile(0), dirtTile()); })},
        {"CaminhoX.bmp", false, still([] { return pathTile(15, grassTile(0), dirtTile()); })},
        {"CaminhoTL.bmp", false, still([] { return pathTile(1 | 4 | 2, grassTile(0), dirtTile()); })},
        {"CaminhoTO.bmp", false, still([] { return pathTile(1 | 4 | 8, grassTile(0), dirtTile()); })},
        {"Calcada.bmp", false, still(cobbles)},
        // Lista 3: water
        {"Agua.bmp", false, [](int f) { return waterTile(f); }},
        {"AguaFunda.bmp", false, [](int f) { return waterTex(f, 410, true); }},
        {"MargemN.bmp", false, [](int f) { return shoreTile(1, f); }},
        {"MargemS.bmp", false, [](int f) { return shoreTile(4, f); }},
        {"MargemO.bmp", false, [](int f) { return shoreTile(8, f); }},
        {"MargemL.bmp", false, [](int f) { return shoreTile(2, f); }},
        {"MargemNO.bmp", false, [](int f) { return shoreTile(1 | 8, f); }},
        {"MargemNL.bmp", false, [](int f) { return shoreTile(1 | 2, f); }},
        {"MargemSO.bmp", false, [](int f) { return shoreTile(4 | 8, f); }},
        {"MargemSL.bmp", false, [](int f) { return shoreTile(4 | 2, f); }},
        {"Vitorias.bmp", false, [](int f) { return lilyPads(f); }},
        {"PonteH.bmp", false, still([] { return bridge(false); })},
        // Lista 4: floors
        {"Assoalho.bmp", false, still([] { return planks(380, hex("#b07a45"), 8, false); })},
        {"AssoalhoEscuro.bmp", false, still([] { return planks(381, hex("#7a4f2e"), 8, false); })},
        {"PisoPedra.bmp", false, still(stoneFloorTile)},
        {"PisoXadrez.bmp", false, still(checker)},
        {"TapeteVermelho.bmp", false, still([] { return carpet(hex("#a8282e"), hex("#e8c34a")); })},
        {"TapeteAzul.bmp", false, still([] { return carpet(hex("#2f5596"), hex("#e8e4da")); })},
        {"PisoTijolo.bmp", false, still(herringbone)},
        {"Esteira.bmp", false, still(straw)},
        {"PisoMasmorra.bmp", false, still([] { return dungeonFloor(false); })},
        {"PisoCaverna.bmp", false, still(caveFloor)},
        {"EscadaDesce.bmp", false, still([] { return stairs(true); })},
        {"EscadaSobe.bmp", false, still([] { return stairs(false); })},
        // Lista 5: walls
        {"MuroPedra.bmp", false, still(stoneWall)},
        {"MuroTijolo.bmp", false, still(brickWall)},
        {"ParedeTroncos.bmp", false, still(logWall)},
        {"ParedeEnxaimel.bmp", false, still(timberWall)},
        {"MuroJanela.bmp", false, still([] { return withWindow(stoneWall(), false); })},
        {"TopoMuro.bmp", false, still(wallTop)},
        {"MuroMasmorra.bmp", false, still(dungeonWall)},
        {"ParedeCaverna.bmp", false, still(caveWall)},
        {"CercaViva.bmp", false, still(hedge)},
        {"Estante.bmp", false, still(bookshelf)},
        {"MuroEstandarte.bmp", false, still(bannerWall)},
        {"ParedeJanela.bmp", false, still([] { return withWindow(plasterWall(), true); })},
        // Lista 6: roofs, doors and windows
        {"TelhadoVermelho.bmp", false, still([red] { return roof(red, 390); })},
        {"TelhadoAzul.bmp", false, still([blue] { return roof(blue, 391); })},
        {"TelhadoPalha.bmp", false, still(thatch)},
        {"Cumeeira.bmp", false, still([red] { return roofRidge(red); })},
        {"Beiral.bmp", false, still([red] { return eaves(red); })},
        {"Chamine.bmp", false, still([red] { return chimney(red); })},
        {"Porta.bmp", false, still([] { return door(plasterWall(), false, hex("#9b6232")); })},
        {"PortaArco.bmp", false, still([] { return door(stoneWall(), true, hex("#7a4f2e")); })},
        {"Janela.bmp", false, still([] { return withWindow(timberWall(), true); })},
        {"Estalagem.bmp", false, still(innSign)},
        {"Portao.bmp", false, still(castleGate)},
        {"Degraus.bmp", false, still(outdoorSteps)},
        // Lista 7: nature objects
        {"Arvore.bmp", true, obj("tree")},
        {"Pinheiro.bmp", true, obj("pine")},
        {"Macieira.bmp", true, obj("fruittree")},
        {"ArvoreSeca.bmp", true, obj("deadtree")},
        {"Arbusto.bmp", true, obj("bush")},
        {"ArbustoFlores.bmp", true, obj("flowerbush")},
        {"Pedra.bmp", true, obj("rock")},
        {"Rocha.bmp", true, obj("boulder")},
        {"Toco.bmp", true, obj("stump")},
        {"Cogumelos.bmp", true, obj("mushrooms")},
        {"Juncos.bmp", true, obj("reeds")},
        {"Tronco.bmp", true, obj("log")},
        // Lista 8: village objects
        {"CercaH.bmp", true, obj("fenceh")},
        {"CercaV.bmp", true, obj("fencev")},
        {"CercaCanto.bmp", true, obj("fencecorner")},
        {"Bau.bmp", true, obj("chest")},
        {"BauAberto.bmp", true, obj("chestopen")},
        {"Placa.bmp", true, obj("sign")},
        {"Barril.bmp", true, obj("barrel")},
        {"Caixote.bmp", true, obj("crate")},
        {"Vaso.bmp", true, obj("pot")},
        {"Poco.bmp", true, obj("well")},
        {"Poste.bmp", true, obj("lamp")},
        {"Banco.bmp", true, obj("bench")},
        // Lista 9: furniture and odds and ends
        {"Mesa.bmp", true, obj("table")},
        {"Cadeira.bmp", true, obj("chair")},
        {"Cama.bmp", true, obj("bed")},
        {"Armario.bmp", true, obj("cabinet")},
        {"Planta.bmp", true, obj("plant")},
        {"Estatua.bmp", true, obj("statue")},
        {"Lapide.bmp", true, obj("grave")},
        {"Ossos.bmp", true, obj("bones")},
        {"Cristal.bmp", true, obj("crystal")},
        {"Bigorna.bmp", true, obj("anvil")},
        {"Saco.bmp", true, obj("sack")},
        {"Feno.bmp", true, obj("haystack")},
        // Lista 10: caves, snow and desert
        {"Caverna.bmp", false, still(caveEntrance)},
        {"Escada.bmp", true, obj("ladder")},
        {"Buraco.bmp", false, still(pit)},
        {"Espinhos.bmp", false, still(spikes)},
        {"Gelo.bmp", false, still(ice)},
        {"PinheiroNeve.bmp", true, obj("snowpine")},
        {"Boneco.bmp", true, obj("snowman")},
        {"Cacto.bmp", true, obj("cactus")},
        {"PedraDeserto.bmp", true,
         [](int) {
             QImage img = objectSprite("boulder", 0);
             for (int y = 0; y < T; ++y)
                 for (int x = 0; x < T; ++x) {
                     const QRgb c = img.pixel(x, y);
                     if (!isKey(c)) img.setPixel(x, y, mix(c, hex("#c8875a"), 0.45));
                 }
             return img;
         }},
        {"Dunas.bmp", false, still(dunes)},
        {"Estalagmite.bmp", true, obj("stalagmite")},
        {"PisoRachado.bmp", false, still([] { return dungeonFloor(true); })},
        // Lista 11: farm, harbour and camp
        {"Trigal.bmp", false, still([] { return farmland(true, false); })},
        {"Horta.bmp", false, still([] { return farmland(false, true); })},
        {"PonteV.bmp", false, still([] { return bridge(true); })},
        {"Cais.bmp", false, still(dock)},
        {"Barco.bmp", true, obj("boat")},
        {"Tenda.bmp", true, obj("tent")},
        {"Barraca.bmp", true, obj("stall")},
        {"Floreira.bmp", true, obj("flowerbox")},
        {"Porteira.bmp", true, obj("gate")},
        {"Lenha.bmp", true, obj("woodpile")},
        {"Espantalho.bmp", true, obj("scarecrow")},
        {"Coluna.bmp", true, obj("pillar")},
        // Animações
        {"TileAni101.bmp", false, [](int f) { return waterTile(f); }},
        {"TileAni201.bmp", false, deepSea},
        {"TileAni301.bmp", false, lava},
        {"TileAni401.bmp", false, wallTorch},
        {"TileAni501.bmp", true, obj("fountain")},
        {"TileAni601.bmp", true, obj("campfire")},
        {"TileAni701.bmp", false, waterfall},
        {"TileAni801.bmp", false, swayingFlowers},
        {"TileAni901.bmp", true, obj("crystal")},
        {"TileAni1001.bmp", false, swamp},
        {"TileAni1101.bmp", false, magicCircle},
        {"TileAni1201.bmp", true, obj("flag")},
    };
}

}  // namespace

std::vector<TileArt> drawTiles() {
    const std::vector<Def> defs = definitions();
    std::vector<TileArt> tiles;
    tiles.reserve(defs.size());
    for (size_t i = 0; i < defs.size(); ++i) {
        TileArt t;
        t.code = 48 + static_cast<int>(i);
        t.file = QString::fromLatin1(defs[i].file);
        t.transparent = defs[i].transparent;
        const int frames = t.code >= 180 ? 3 : 1;
        for (int f = 0; f < frames; ++f) t.frames.push_back(defs[i].draw(f));
        tiles.push_back(std::move(t));
    }
    return tiles;
}

}  // namespace tmpl
