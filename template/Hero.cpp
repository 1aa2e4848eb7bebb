// The hero: a young adventurer in a blue tunic with a red scarf. Walking
// frames in four directions (standing, left foot, right foot), dying on the
// map, the battle animations (facing left, towards the enemies) and five faces.
#include "Art.h"
#include "Template.h"

#include <QTransform>
#include <cmath>

using namespace art;

namespace tmpl {

namespace {

const QRgb kSkin = hex("#f2c49b"), kSkinShade = hex("#d99d74");
const QRgb kHair = hex("#7a4424"), kHairLit = hex("#a0603a"), kHairDark = hex("#5a2f18");
const QRgb kTunic = hex("#3567b8"), kTunicLit = hex("#4f83d1"), kTunicDark = hex("#264c8c");
const QRgb kScarf = hex("#d23a2e"), kBelt = hex("#6b4423"), kBuckle = hex("#f0c64a");
const QRgb kPants = hex("#5a4a3a"), kBoots = hex("#4a2f1c");
const QRgb kEye = hex("#2a1d1a"), kLine = hex("#2b1d1a");
const QRgb kSteel = hex("#d8dde6"), kSteelDark = hex("#8c94a3"), kGold = hex("#f0c64a");

struct Pose {
    int step = 0;   // 0 standing, 1 and 2 the two strides
    int bob = 0;    // upper body raised (negative) or lowered
    int lean = 0;   // upper body shifted forward (negative x) or back
    int arm = 0;    // front arm: 0 down, 1 forward, 2 raised, 3 back, 4 forward-down
    int sword = 0;  // 0 sheathed, 1 held along the arm
    bool shield = false;
    int crouch = 0;     // legs bent by this many pixels
    int sparkles = -1;  // magic: -1 none, else how far the glow has grown
    QRgb tint = 0;      // a flash over the whole figure (hit), 0 for none
};

// Arm direction vectors for the side view (facing left).
QPoint armVector(int arm) {
    switch (arm) {
    case 1:
        return {-6, 0};
    case 2:
        return {-3, -6};
    case 3:
        return {3, 4};
    case 4:
        return {-5, 3};
    default:
        return {0, 6};
    }
}

// Side view, facing left, feet at (cx, feet). Sizes for a figure about 30 tall.
void drawSide(QImage& img, int cx, int feet, const Pose& pose) {
    Pen p(img);
    const int legH = 8 - pose.crouch, bodyH = 9, headH = 12;
    const int hip = feet - legH;
    const int top = hip - bodyH - headH + pose.bob;
    const int bx = cx + pose.lean;
    // legs: the far leg first
    auto leg = [&](int footDx, QRgb c) {
        p.poly({{cx - 2, hip}, {cx + 1, hip}, {cx + 1 + footDx, feet - 3}, {cx - 2 + footDx, feet - 3}}, c);
        p.rect(cx - 3 + footDx, feet - 3, 5, 3, kBoots);
    };
    const int stride = pose.step == 0 ? 0 : 3;
    leg(pose.step == 0 ? 1 : (pose.step == 1 ? stride : -stride), shade(kPants, 0.8));
    leg(pose.step == 0 ? -1 : (pose.step == 1 ? -stride : stride), kPants);
    if (pose.crouch > 0) p.rect(cx - 4, hip - 1, 7, 3, kPants);
    // back arm (behind the body)
    p.rect(bx + 2, hip - bodyH + 1 + pose.bob, 3, 6, kTunicDark);
    // body
    const int bodyTop = hip - bodyH + pose.bob;
    p.rect(bx - 4, bodyTop, 8, bodyH, kTunic);
    p.rect(bx - 4, bodyTop, 2, bodyH, kTunicLit);
    p.rect(bx + 2, bodyTop, 2, bodyH, kTunicDark);
    p.rect(bx - 4, bodyTop + bodyH - 3, 8, 2, kBelt);
    p.rect(bx - 4, bodyTop + bodyH - 3, 2, 2, kBuckle);
    p.rect(bx - 4, bodyTop + bodyH - 1, 8, 1, kTunicDark);
    // sheathed sword at the hip
    if (pose.sword == 0) p.line(bx + 3, bodyTop + 5, bx + 7, bodyTop + 11, kSteelDark, 1);
    // head
    const int hx = bx - 6, hy = top;
    p.ellipse(hx, hy, 12, headH, kSkin);
    p.rect(hx + 8, hy + 5, 3, 5, kSkinShade);
    // hair: crown and back of the head
    p.ellipse(hx, hy - 1, 13, 7, kHair);
    p.rect(hx + 6, hy + 2, 6, 7, kHair);
    p.rect(hx + 1, hy + 1, 5, 2, kHairLit);
    p.rect(hx + 10, hy + 8, 3, 2, kHairDark);
    p.rect(hx - 1, hy + 2, 3, 3, kHair);  // fringe
    // face: eye, nose, ear
    p.rect(hx + 2, hy + 6, 2, 2, kEye);
    px(img, hx - 1, hy + 8, kSkinShade);
    px(img, hx + 3, hy + 10, kSkinShade);
    p.rect(hx + 7, hy + 6, 2, 2, kSkinShade);
    // scarf
    p.rect(bx - 4, bodyTop - 1, 8, 2, kScarf);
    p.rect(bx + 3, bodyTop, 2, 4, kScarf);
    // shield in front of the body
    if (pose.shield) {
        p.ellipse(bx - 9, bodyTop - 2, 8, 11, hex("#8a5526"));
        p.ellipse(bx - 8, bodyTop - 1, 6, 9, hex("#b0b7c4"));
        p.rect(bx - 6, bodyTop + 1, 2, 5, kScarf);
    }
    // front arm and the sword
    const QPoint shoulder(bx - 1, bodyTop + 1);
    const QPoint v = armVector(pose.arm);
    const QPoint hand = shoulder + v;
    p.line(shoulder.x(), shoulder.y(), hand.x() - v.x() / 3, hand.y() - v.y() / 3, kTunicLit, 3);
    p.rect(hand.x() - 1, hand.y() - 1, 3, 3, kSkin);
    if (pose.sword == 1) {
        // the blade continues the arm
        const double len = std::hypot(v.x(), v.y());
        const int ex = hand.x() + static_cast<int>(std::lround(v.x() / len * 11));
        const int ey = hand.y() + static_cast<int>(std::lround(v.y() / len * 11));
        p.line(hand.x(), hand.y(), ex, ey, kSteel, 2);
        px(img, ex, ey, hex("#ffffff"));
        const int gx = -static_cast<int>(std::lround(v.y() / len * 2)),
                  gy = static_cast<int>(std::lround(v.x() / len * 2));
        p.line(hand.x() - gx, hand.y() - gy, hand.x() + gx, hand.y() + gy, kGold, 1);
    }
    (void)pose.tint;
}

// Front view (facing the viewer) or back view.
void drawFront(QImage& img, int cx, int feet, int step, bool back) {
    Pen p(img);
    const int legH = 8, bodyH = 9, headH = 12;
    const int bob = step == 0 ? 0 : -1;
    const int hip = feet - legH;
    const int bodyTop = hip - bodyH + bob;
    const int top = bodyTop - headH;
    // legs: a stride lifts one foot
    const int liftL = step == 1 ? 2 : 0, liftR = step == 2 ? 2 : 0;
    p.rect(cx - 4, hip, 3, legH - 3 - liftL, kPants);
    p.rect(cx - 5, feet - 3 - liftL, 4, 3, kBoots);
    p.rect(cx + 1, hip, 3, legH - 3 - liftR, kPants);
    p.rect(cx + 1, feet - 3 - liftR, 4, 3, kBoots);
    // arms swing opposite to the legs
    const int swingL = step == 2 ? 1 : step == 1 ? -1 : 0;
    p.rect(cx - 7, bodyTop + 1 + swingL, 2, 6, back ? kTunicDark : kTunicLit);
    p.rect(cx - 7, bodyTop + 7 + swingL, 2, 2, kSkin);
    p.rect(cx + 5, bodyTop + 1 - swingL, 2, 6, kTunicDark);
    p.rect(cx + 5, bodyTop + 7 - swingL, 2, 2, kSkin);
    // body
    p.rect(cx - 5, bodyTop, 10, bodyH, kTunic);
    p.rect(cx - 5, bodyTop, 2, bodyH, kTunicLit);
    p.rect(cx + 3, bodyTop, 2, bodyH, kTunicDark);
    p.rect(cx - 5, bodyTop + bodyH - 3, 10, 2, kBelt);
    if (!back) p.rect(cx - 1, bodyTop + bodyH - 3, 2, 2, kBuckle);
    if (back) {
        // the sword on the back
        p.line(cx - 4, bodyTop + 7, cx + 4, bodyTop - 2, kSteelDark, 1);
        p.rect(cx + 3, bodyTop - 3, 2, 2, kGold);
    }
    // head
    const int hx = cx - 6, hy = top;
    p.ellipse(hx, hy, 12, headH, kSkin);
    p.ellipse(hx - 1, hy - 1, 14, 7, kHair);
    p.rect(hx + 2, hy, 4, 1, kHairLit);
    if (back) {
        p.ellipse(hx - 1, hy, 14, 11, kHair);
        p.rect(hx + 2, hy + 2, 3, 2, kHairLit);
        p.rect(hx + 3, hy + 9, 6, 2, kHairDark);
    } else {
        p.rect(hx - 1, hy + 2, 2, 6, kHair);
        p.rect(hx + 11, hy + 2, 2, 6, kHair);
        p.rect(hx + 2, hy + 3, 3, 1, kHair);  // fringe
        p.rect(hx + 7, hy + 3, 2, 1, kHair);
        p.rect(hx + 3, hy + 6, 2, 2, kEye);
        p.rect(hx + 7, hy + 6, 2, 2, kEye);
        px(img, hx + 3, hy + 6, hex("#ffffff"));
        px(img, hx + 7, hy + 6, hex("#ffffff"));
        p.rect(hx + 5, hy + 9, 2, 1, kSkinShade);
        p.rect(hx + 1, hy + 8, 1, 1, hex("#f0a08a"));
        p.rect(hx + 10, hy + 8, 1, 1, hex("#f0a08a"));
    }
    p.rect(cx - 5, bodyTop - 1, 10, 2, kScarf);
    if (!back) p.rect(cx + 1, bodyTop + 1, 2, 3, kScarf);
}

QImage finish(QImage img, int cx, int feet, int shadowRx = 7) {
    outline(img, kLine);
    shadow(img, cx, feet, shadowRx, 2);
    img.setPixel(0, img.height() - 1, KEY);
    return img;
}

QImage walkFrame(int dir, int step) {  // dir 0 down, 1 up, 2 left, 3 right
    QImage img = canvas();
    if (dir <= 1) {
        drawFront(img, 20, 36, step, dir == 1);
        return finish(img, 20, 37);
    }
    Pose pose;
    pose.step = step;
    pose.bob = step == 0 ? 0 : -1;
    pose.arm = step == 1 ? 3 : step == 2 ? 4 : 0;
    drawSide(img, 20, 36, pose);
    img = finish(img, 20, 37);
    return dir == 3 ? mirrored(img) : img;
}

QImage rotated(const QImage& img, int degrees) {
    QImage out = img.transformed(QTransform().rotate(degrees), Qt::FastTransformation);
    QImage result = canvas(img.width(), img.height());
    stamp(result, out, (img.width() - out.width()) / 2, (img.height() - out.height()) / 2);
    return result;
}

// Dying: kneeling, sinking, lying.
QImage fallFrame(int k, int size, int feet) {
    QImage img = canvas(size, size);
    Pose pose;
    pose.arm = k == 0 ? 4 : 0;
    pose.sword = 0;
    pose.crouch = k == 0 ? 3 : 5;
    pose.bob = k == 0 ? 2 : 4;
    pose.lean = k == 0 ? -1 : -2;
    drawSide(img, size / 2, feet, pose);
    if (k == 2) {
        QImage lying = canvas(size, size);
        Pose flat;
        drawSide(lying, size / 2, feet, flat);
        lying = rotated(lying, -90);
        // lower it onto the ground
        img = canvas(size, size);
        stamp(img, lying, 0, feet - size / 2 - 4);
    }
    outline(img, kLine);
    shadow(img, size / 2, feet + 1, k == 2 ? size / 3 : 7, 2);
    img.setPixel(0, size - 1, KEY);
    return img;
}

// Battle frames: drawn on a 32 × 32 grid and doubled to 64 × 64.
QImage battle(const Pose& pose) {
    QImage img = canvas(32, 32);
    drawSide(img, 17, 30, pose);
    outline(img, kLine);
    if (pose.tint) {
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                if (!isKey(img.pixel(x, y))) img.setPixel(x, y, mix(img.pixel(x, y), pose.tint, 0.45));
    }
    if (pose.sparkles >= 0) {
        const QRgb glow = hex("#8fe3ff"), core = hex("#ffffff");
        const int n = pose.sparkles;
        for (int i = 0; i <= n; ++i) {
            const double a = i * 1.3 + n * 0.4;
            const int r = 3 + n;
            const int x = 8 + static_cast<int>(std::lround(std::cos(a) * r));
            const int y = 8 + static_cast<int>(std::lround(std::sin(a) * r * 0.7));
            if (x >= 1 && y >= 1 && x < 31 && y < 31 && isKey(img.pixel(x, y))) {
                img.setPixel(x, y, core);
                if (isKey(img.pixel(x + 1, y))) img.setPixel(x + 1, y, glow);
                if (isKey(img.pixel(x, y + 1))) img.setPixel(x, y + 1, glow);
            }
        }
        if (n >= 2) {
            Pen(img).ellipse(6, 6, 4 + n / 2, 4 + n / 2, glow);
            px(img, 7, 7, core);
        }
    }
    shadow(img, 17, 31, 8, 1);
    img.setPixel(0, 31, KEY);
    QImage big = enlarge(img, 2);
    big.setPixel(0, 63, KEY);
    return big;
}

// The backdrop of a face: an evening sky fading into a meadow behind a soft
// light round the head. Each row of the gradient has a colour of its own and
// the frame's colour (framePortrait) appears nowhere else, so a viewer that
// takes the bottom-left pixel as see-through loses only the frame.
QImage portraitBackdrop(int mood) {
    // the sky's warmth follows the mood a little
    const QRgb skies[] = {hex("#9cc7e8"), hex("#f4c98a"), hex("#e89a6a"), hex("#8fa3bf"), hex("#b9d7f0")};
    const QRgb sky = skies[mood % 5];
    const QRgb haze = hex("#f6ecd2"), meadow = hex("#7fae6a");
    QImage img = field(
        [&](int x, int y) {
            const double t = y / 39.0;
            QRgb c = t < 0.62 ? mix(sky, haze, t / 0.62) : mix(haze, meadow, (t - 0.62) / 0.38);
            // the light round the head
            const double dx = (x - 20) / 17.0, dy = (y - 17) / 15.0;
            const double d = dx * dx + dy * dy;
            if (d < 1.0) c = mix(c, hex("#fffaf0"), 0.35 * (1.0 - d));
            return c;
        },
        T, T);
    return img;
}

// The thin wooden frame round a portrait, over everything else.
void framePortrait(QImage& img) {
    const QRgb frame = hex("#4b2e1a"), frameLit = hex("#a9773f");
    for (int i = 0; i < T; ++i) {
        px(img, i, 0, frame);
        px(img, i, T - 1, frame);
        px(img, 0, i, frame);
        px(img, T - 1, i, frame);
    }
    for (int i = 1; i < T - 1; ++i) {
        px(img, i, 1, frameLit);
        px(img, 1, i, frameLit);
    }
}

QImage face(int mood) {  // 0 calm, 1 happy, 2 determined, 3 sad, 4 surprised
    QImage img = canvas(40, 40);
    Pen p(img);
    // shoulders
    p.ellipse(4, 31, 32, 16, kTunic);
    p.rect(13, 30, 14, 4, kScarf);
    p.rect(4, 36, 32, 4, kTunic);
    p.rect(4, 36, 6, 4, kTunicLit);
    // neck and head
    p.rect(16, 25, 8, 7, kSkinShade);
    p.ellipse(8, 6, 24, 24, kSkinShade);
    p.ellipse(8, 6, 22, 23, kSkin);
    p.ellipse(6, 14, 4, 6, kSkin);
    p.ellipse(30, 14, 4, 6, kSkinShade);
    // hair
    p.ellipse(7, 3, 26, 13, kHair);
    p.rect(7, 8, 4, 9, kHair);
    p.rect(29, 8, 4, 9, kHair);
    p.poly({{11, 10}, {16, 14}, {18, 10}, {22, 14}, {25, 10}, {29, 12}, {29, 8}, {11, 8}}, kHair);
    p.rect(12, 5, 8, 2, kHairLit);
    // eyes
    const int ey = 17;
    const bool wide = mood == 4;
    for (int side = 0; side < 2; ++side) {
        const int ex = side == 0 ? 13 : 23;
        p.rect(ex, ey - (wide ? 1 : 0), 4, wide ? 5 : 4, hex("#ffffff"));
        p.rect(ex + (side == 0 ? 1 : 1), ey + (wide ? 0 : 0), 2, 3, hex("#3a6fb0"));
        px(img, ex + 1, ey, hex("#1a1410"));
        px(img, ex + 2, ey + 1, hex("#1a1410"));
        // brows
        int inner = 0, outer = 0;
        if (mood == 2) {
            inner = 2;
            outer = 0;
        }
        if (mood == 3) {
            inner = -1;
            outer = 1;
        }
        if (mood == 4) {
            inner = -2;
            outer = -2;
        }
        const int bl = side == 0 ? outer : inner, br = side == 0 ? inner : outer;
        p.line(ex - 1, ey - 3 + bl, ex + 4, ey - 3 + br, kHairDark, 1);
    }
    // nose and cheeks
    p.rect(19, 21, 2, 2, kSkinShade);
    if (mood == 1) {
        p.rect(11, 22, 2, 1, hex("#f0a08a"));
        p.rect(27, 22, 2, 1, hex("#f0a08a"));
    }
    // mouth
    const QRgb lip = hex("#a8403a");
    switch (mood) {
    case 1:
        p.rect(16, 25, 8, 1, lip);
        px(img, 15, 24, lip);
        px(img, 24, 24, lip);
        p.rect(17, 26, 6, 1, hex("#ffffff"));
        break;
    case 2:
        p.rect(16, 25, 8, 1, lip);
        break;
    case 3:
        p.rect(17, 25, 6, 1, lip);
        px(img, 16, 26, lip);
        px(img, 23, 26, lip);
        break;
    case 4:
        p.ellipse(18, 24, 4, 4, lip);
        break;
    default:
        p.rect(17, 25, 6, 1, lip);
        px(img, 23, 24, lip);
        break;
    }
    outline(img, kLine);
    // A portrait: the figure over its own painted backdrop, so the picture looks
    // the same wherever it is drawn, stretched or not, with or without a key colour.
    QImage portrait = over(portraitBackdrop(mood), img);
    framePortrait(portrait);
    return enlarge(portrait, 2);
}

QString two(int n) { return QString::asprintf("%02d", n); }

}  // namespace

std::vector<NamedImage> drawHero() {
    std::vector<NamedImage> out;
    // walking: the record's names and the short names the wizard renames
    const char* dirs[] = {"Down", "Up", "Left", "Right"};
    for (int d = 0; d < 4; ++d)
        for (int s = 0; s < 3; ++s) {
            // frame 1 standing, 2 and 3 the two strides
            QImage img = walkFrame(d, s);
            const QString suffix = s == 0 ? QString() : QString::number(s + 1);
            out.push_back({QString("Char") + dirs[d] + suffix + ".bmp", img});
            out.push_back({QString("C") + dirs[d] + suffix + ".bmp", img});
        }
    for (int k = 0; k < 3; ++k) out.push_back({"CharMorto" + two(k + 1) + ".bmp", fallFrame(k, 40, 36)});

    Pose stand;
    stand.arm = 4;
    stand.sword = 1;
    const int breathe[] = {0, 0, 1, 1, 0};
    for (int i = 0; i < 5; ++i) {
        Pose p = stand;
        p.bob = breathe[i];
        out.push_back({"BatParado" + two(i + 1) + ".bmp", battle(p)});
    }
    const int steps[] = {1, 0, 2, 0, 1, 0, 2};
    for (int i = 0; i < 7; ++i) {
        Pose p = stand;
        p.step = steps[i];
        p.bob = steps[i] ? -1 : 0;
        p.lean = -1;
        p.arm = steps[i] == 1 ? 1 : 4;
        out.push_back({"BatAtacar" + two(i + 1) + ".bmp", battle(p)});
    }
    const int swingArm[] = {2, 1, 4, 4};
    for (int i = 0; i < 4; ++i) {
        Pose p = stand;
        p.arm = swingArm[i];
        p.step = i >= 1 ? 1 : 0;
        p.lean = i == 2 ? -2 : i == 3 ? -1 : 0;
        out.push_back({"BatGolpe" + two(i + 1) + ".bmp", battle(p)});
    }
    for (int i = 0; i < 3; ++i) {
        Pose p = stand;
        p.shield = true;
        p.arm = 3;
        p.crouch = i == 1 ? 2 : 1;
        p.bob = i == 1 ? 2 : 1;
        if (i == 1) p.tint = hex("#ffffff");
        out.push_back({"BatDef" + two(i + 1) + ".bmp", battle(p)});
    }
    for (int i = 0; i < 6; ++i) {
        Pose p = stand;
        p.sword = 0;
        p.arm = i == 0 ? 1 : 2;
        p.sparkles = i;
        if (i == 5) p.tint = hex("#bfefff");
        out.push_back({"BatMagia" + two(i + 1) + ".bmp", battle(p)});
    }
    for (int i = 0; i < 3; ++i) {
        Pose p = stand;
        p.lean = i == 1 ? 3 : 2;
        p.arm = 3;
        p.bob = 1;
        p.tint = i == 2 ? 0 : hex("#ff3030");
        out.push_back({"BatAtingido" + two(i + 1) + ".bmp", battle(p)});
    }
    for (int k = 0; k < 3; ++k) {
        QImage small = fallFrame(k, 32, 30);
        QImage big = enlarge(small, 2);
        big.setPixel(0, 63, KEY);
        out.push_back({"BatMorto" + two(k + 1) + ".bmp", big});
    }
    for (int m = 0; m < 5; ++m) out.push_back({"Face" + two(m + 1) + ".bmp", face(m)});
    return out;
}

}  // namespace tmpl
