// Full pictures: the title, game-over and ending screens, the battle
// background, the default item picture and the placeholder for missing tiles.
#include "Art.h"
#include "Ground.h"
#include "Template.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainterPath>
#include <cmath>

using namespace art;

namespace tmpl {

namespace {

constexpr int W = 640, H = 480;

void sky(QImage& img, QRgb top, QRgb bottom, int horizon) {
    for (int y = 0; y < horizon; ++y) {
        const QRgb c = mix(top, bottom, double(y) / horizon);
        for (int x = 0; x < img.width(); ++x) img.setPixel(x, y, c);
    }
}

void clouds(QImage& img, int seed, int maxY, QRgb colour, double amount) {
    for (int y = 0; y < maxY; ++y)
        for (int x = 0; x < img.width(); ++x) {
            const double n = 0.6 * vnoise(x, y * 2.5, 80, seed, 640) + 0.4 * vnoise(x, y * 2.5, 32, seed + 1, 640);
            const double fade = 1.0 - double(y) / maxY;
            const double v = (n - (1 - amount)) * 3 * fade;
            if (v > 0) img.setPixel(x, y, mix(img.pixel(x, y), colour, std::min(0.85, v)));
        }
}

// A ridge line filled below with a colour, lighter at its crest.
void ridge(QImage& img, int base, int amp, int seed, QRgb colour, int cell = 120) {
    for (int x = 0; x < img.width(); ++x) {
        const double n = 0.65 * vnoise(x, 0, cell, seed, 1280) + 0.35 * vnoise(x, 3, cell / 3, seed + 1, 1280);
        const int top = base - static_cast<int>(n * amp);
        for (int y = std::max(0, top); y < img.height(); ++y)
            img.setPixel(x, y, y - top < 2 ? shade(colour, 1.15) : colour);
    }
}

void meadow(QImage& img, int horizon, uint32_t seed) {
    const QImage grass = grassTex(seed, 0, 3);
    for (int y = horizon; y < img.height(); ++y) {
        const double depth = double(y - horizon) / (img.height() - horizon);  // 0 far … 1 near
        const double scale = 0.4 + depth * 0.7;
        for (int x = 0; x < img.width(); ++x) {
            const int u = static_cast<int>((x - img.width() / 2) / scale + 4000) % T;
            const int v = static_cast<int>((y - horizon) / scale + 4000) % T;
            QRgb c = grass.pixel(u, v);
            c = mix(c, hex("#9cc9a0"), (1 - depth) * 0.45);  // haze towards the horizon
            img.setPixel(x, y, c);
        }
    }
}

void castle(QPainter& p, int x, int base, QColor c) {
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawRect(x, base - 60, 90, 60);
    p.drawRect(x - 14, base - 95, 26, 95);
    p.drawRect(x + 78, base - 95, 26, 95);
    p.drawRect(x + 32, base - 120, 28, 120);
    for (int i = 0; i < 3; ++i) {
        p.drawRect(x - 14 + i * 10, base - 102, 6, 8);
        p.drawRect(x + 78 + i * 10, base - 102, 6, 8);
    }
    QPolygon spire;
    spire << QPoint(x + 28, base - 120) << QPoint(x + 46, base - 160) << QPoint(x + 64, base - 120);
    p.drawPolygon(spire);
    p.drawRect(x + 45, base - 176, 2, 18);
    p.setBrush(QColor("#d23a2e"));
    p.drawRect(x + 47, base - 176, 12, 7);
    p.setBrush(QColor("#ffe38a"));
    p.drawRect(x + 42, base - 100, 8, 12);
    p.drawRect(x - 6, base - 80, 6, 9);
    p.drawRect(x + 86, base - 80, 6, 9);
}

void title(QPainter& p, const QString& text, int y, int size, QColor fill, QColor edge) {
    QFont f("DejaVu Serif", size, QFont::Bold);
    QPainterPath path;
    path.addText(0, 0, f, text);
    const QRectF r = path.boundingRect();
    path.translate(W / 2.0 - r.center().x(), y);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(QColor(0, 0, 0, 110), size / 5.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path.translated(4, 5));
    p.setPen(QPen(edge, size / 8.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QLinearGradient g(0, y - r.height(), 0, y);
    g.setColorAt(0, fill.lighter(135));
    g.setColorAt(1, fill);
    p.setBrush(g);
    p.drawPath(path);
}

void subtitle(QPainter& p, const QString& text, int y, int size, QColor c) {
    p.setRenderHint(QPainter::Antialiasing, true);
    QFont f("DejaVu Sans", size);
    p.setFont(f);
    p.setPen(QColor(0, 0, 0, 120));
    p.drawText(QRect(2, y + 2, W, size * 2), Qt::AlignHCenter, text);
    p.setPen(c);
    p.drawText(QRect(0, y, W, size * 2), Qt::AlignHCenter, text);
}

QImage titleScreen() {
    QImage img = canvas(W, H);
    sky(img, hex("#3b6fc4"), hex("#f6c99a"), 300);
    clouds(img, 11, 220, hex("#fff6ea"), 0.45);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor("#fff1c2"));
        p.drawEllipse(QPointF(470, 215), 34, 34);
    }
    ridge(img, 300, 110, 21, hex("#7d86b8"), 160);
    {
        QPainter p(&img);
        castle(p, 110, 282, QColor("#55608f"));
    }
    ridge(img, 345, 70, 31, hex("#5f9a63"), 140);
    meadow(img, 380, 104);
    {
        QPainter p(&img);
        // a winding path towards the castle
        p.setRenderHint(QPainter::Antialiasing, true);
        QPainterPath road;
        road.moveTo(300, 480);
        road.cubicTo(360, 440, 250, 420, 290, 380);
        p.setPen(QPen(QColor("#c89a66"), 26, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(road);
        p.setPen(QPen(QColor("#d9ae7a"), 14, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(road);
        // trees framing the view
        p.setRenderHint(QPainter::Antialiasing, false);
        const QImage tree = enlarge(objectSprite("tree"), 3);
        const QImage pine = enlarge(objectSprite("pine"), 3);
        QImage treeA = tree.convertToFormat(QImage::Format_ARGB32);
        QImage pineA = pine.convertToFormat(QImage::Format_ARGB32);
        for (QImage* i : {&treeA, &pineA})
            for (int y = 0; y < i->height(); ++y)
                for (int x = 0; x < i->width(); ++x)
                    if (isKey(i->pixel(x, y))) i->setPixel(x, y, 0);
        p.drawImage(-20, 330, pineA);
        p.drawImage(40, 360, treeA);
        p.drawImage(520, 340, treeA);
        p.drawImage(570, 300, pineA);
        // no "press a key" line: the game draws its own menu ("Novo Jogo", "Continuar",
        // "Sair") over the lower part of the picture
        title(p, QString::fromUtf8("Nova Aventura"), 88, 46, QColor("#f3c340"), QColor("#5a3210"));
    }
    return img;
}

QImage gameOverScreen() {
    QImage img = canvas(W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const double d = std::hypot((x - W / 2.0) / W, (y - H / 2.0) / H);
            QRgb c = mix(hex("#4a0d12"), hex("#07030a"), std::min(1.0, d * 1.6));
            if (rnd(x, y, 5) > 0.997) c = hex("#6a2a2e");
            img.setPixel(x, y, c);
        }
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    // a sword planted in the ground
    p.setPen(Qt::NoPen);
    p.setBrush(QColor("#1c0c10"));
    p.drawEllipse(QPointF(320, 400), 120, 16);
    p.setBrush(QColor("#9aa3b2"));
    QPolygonF blade;
    blade << QPointF(314, 250) << QPointF(326, 250) << QPointF(326, 392) << QPointF(320, 404) << QPointF(314, 392);
    p.drawPolygon(blade);
    p.setBrush(QColor("#c9a13a"));
    p.drawRect(QRectF(292, 244, 56, 9));
    p.setBrush(QColor("#5a3210"));
    p.drawRect(QRectF(315, 206, 10, 38));
    p.setBrush(QColor("#c9a13a"));
    p.drawEllipse(QPointF(320, 202), 8, 8);
    title(p, "Game Over", 160, 64, QColor("#d83a3a"), QColor("#2a0508"));
    subtitle(p, QString::fromUtf8("A jornada termina aqui..."), 430, 15, QColor("#e8c9c9"));
    return img;
}

QImage gameEndScreen() {
    QImage img = canvas(W, H);
    sky(img, hex("#2c2f6e"), hex("#ff9a5a"), 320);
    clouds(img, 41, 260, hex("#ffc9a0"), 0.4);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor("#ffd27a"));
        p.drawEllipse(QPointF(320, 320), 60, 60);
    }
    ridge(img, 330, 60, 51, hex("#4a3f6e"), 160);
    // the sea, reflecting the sun
    for (int y = 330; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const double t = double(y - 330) / (H - 330);
            QRgb c = mix(hex("#5a4a8a"), hex("#1f2450"), t);
            const double glitter = std::abs(x - 320) < 70 * (1 - t * 0.5) && rnd(x / 6, y / 2, 61) > 0.55;
            if (glitter) c = mix(c, hex("#ffd27a"), 0.7 * (1 - t));
            img.setPixel(x, y, c);
        }
    QPainter p(&img);
    title(p, "Fim", 150, 72, QColor("#ffe9a8"), QColor("#4a2a10"));
    subtitle(p, QString::fromUtf8("Obrigado por jogar!"), 420, 16, QColor("#fff3e0"));
    return img;
}

QImage battleBackground() {
    QImage img = canvas(W, H);
    sky(img, hex("#4f8fdc"), hex("#cfe8f7"), 240);
    clouds(img, 71, 200, hex("#ffffff"), 0.5);
    ridge(img, 240, 60, 81, hex("#8aa9c9"), 200);
    ridge(img, 262, 40, 91, hex("#5f9a63"), 120);
    meadow(img, 270, 100);
    QPainter p(&img);
    const QImage bushA = enlarge(objectSprite("bush"), 2);
    const QImage flowers = enlarge(objectSprite("flowerbush"), 2);
    auto put = [&](const QImage& s, int x, int y) {
        QImage a = s.convertToFormat(QImage::Format_ARGB32);
        for (int yy = 0; yy < a.height(); ++yy)
            for (int xx = 0; xx < a.width(); ++xx)
                if (isKey(a.pixel(xx, yy))) a.setPixel(xx, yy, 0);
        p.drawImage(x, y, a);
    };
    put(bushA, 20, 250);
    put(flowers, 560, 262);
    put(bushA, 600, 240);
    return img;
}

QImage placeholder() {
    // a quiet grey tile with a question mark: "this picture is missing"
    QImage img = field([](int x, int y) { return ((x / 5 + y / 5) % 2) ? hex("#8b8b94") : hex("#9797a0"); });
    static const char* mark[] = {
        "..XXXX..", ".XX..XX.", ".....XX.", "....XX..", "...XX...", "...XX...", "........", "...XX...",
    };
    for (int j = 0; j < 8; ++j)
        for (int i = 0; i < 8; ++i)
            if (mark[j][i] == 'X') {
                Pen(img).rect(8 + i * 3, 8 + j * 3, 3, 3, hex("#f2f2f5"));
                px(img, 8 + i * 3 + 3, 8 + j * 3 + 3, hex("#6a6a73"));
            }
    Pen p(img);
    p.rect(0, 0, 40, 1, hex("#b0b0b8"));
    p.rect(0, 0, 1, 40, hex("#b0b0b8"));
    p.rect(0, 39, 40, 1, hex("#5e5e66"));
    p.rect(39, 0, 1, 40, hex("#5e5e66"));
    return img;
}

}  // namespace

std::vector<NamedImage> drawScreens(const QImage& startBrush) {
    return {
        {"Title.bmp", titleScreen()},      {"GameOver.bmp", gameOverScreen()},      {"GameEnd.bmp", gameEndScreen()},
        {"grass.bmp", battleBackground()}, {"ItemDef.bmp", objectSprite("potion")}, {"null.bmp", placeholder()},
        {"Image0.bmp", startBrush},
    };
}

}  // namespace tmpl
