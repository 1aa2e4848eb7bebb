#include "play/PlayRender.h"

#include "core/Text.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

namespace quillmark::play {

namespace {

constexpr int kCell = cellpaint::kCell;

// A fixed pseudo-random number for particle i (the same on every run).
std::uint32_t hash(std::uint32_t i) {
    i ^= i >> 16;
    i *= 0x7feb352dU;
    i ^= i >> 15;
    i *= 0x846ca68bU;
    i ^= i >> 16;
    return i;
}

// A walker's top-left game pixel, gliding between its two cells.
QPointF walkerPixel(const Walker& w) {
    const double t = w.progress();
    const double x = (w.column - 1 + (w.toColumn - w.column) * t) * kCell;
    const double y = (w.row - 1 + (w.toRow - w.row) * t) * kCell;
    return {x, y};
}

}  // namespace

int Renderer::scaleFor(const QSize& window) {
    return std::max(1, std::min(window.width() / kViewWidth, window.height() / kViewHeight));
}

QPoint Renderer::camera(const World& world, const QSize& view) {
    const int mapSide = world.data().grid.N * kCell;
    const QPointF hero = walkerPixel(world.hero()) + QPointF(kCell / 2.0, kCell / 2.0);
    auto axis = [&](double centre, int viewSide) {
        if (mapSide <= viewSide) return -(viewSide - mapSide) / 2;
        const int c = static_cast<int>(std::lround(centre)) - viewSide / 2;
        return std::clamp(c, 0, mapSide - viewSide);
    };
    return {axis(hero.x(), view.width()), axis(hero.y(), view.height())};
}

void Renderer::drawMap(World& world, const QPoint& cam) {
    GameData& data = world.data();
    const MapGrid& grid = data.grid;
    QPainter p(&back_);
    p.fillRect(back_.rect(), cellpaint::backgroundColor().darker(160));
    TileLookup& tiles = data.tiles.lookups[static_cast<std::size_t>(world.tileFrame())];
    const int firstC = std::max(1, cam.x() / kCell + 1), firstR = std::max(1, cam.y() / kCell + 1);
    const int lastC = std::min(grid.N, (cam.x() + back_.width() - 1) / kCell + 1);
    const int lastR = std::min(grid.N, (cam.y() + back_.height() - 1) / kCell + 1);
    cellsDrawn_ = 0;
    for (int r = firstR; r <= lastR; ++r)
        for (int c = firstC; c <= lastC; ++c) {
            const QPoint origin((c - 1) * kCell - cam.x(), (r - 1) * kCell - cam.y());
            p.fillRect(QRect(origin, QSize(kCell, kCell)), cellpaint::backgroundColor());
            cellpaint::drawTiles(p, grid, r, c, CellMode::Upper, tiles, cellpaint::CellView{origin, kCell});
            ++cellsDrawn_;
        }

    // The characters and the hero, the nearer (lower) ones over the farther.
    struct Entry {
        double y;
        const Sprite* sprite;
        const Walker* walker;
    };
    std::vector<Entry> order;
    for (std::size_t i = 0; i < world.characters().size(); ++i)
        order.push_back({walkerPixel(world.characters()[i]).y(), &data.characters[i].sprite, &world.characters()[i]});
    order.push_back({walkerPixel(world.hero()).y() + 0.5, &data.hero, &world.hero()});
    std::stable_sort(order.begin(), order.end(), [](const Entry& a, const Entry& b) { return a.y < b.y; });
    for (const Entry& e : order) drawWalker(p, *e.sprite, *e.walker, cam);
}

void Renderer::drawWalker(QPainter& p, const Sprite& sprite, const Walker& w, const QPoint& cam) {
    const Picture& pic = sprite.frame(w.facing, w.spriteFrame());
    const QImage& img = pic.drawImage();
    if (img.isNull()) return;
    const QPointF at = walkerPixel(w);
    // Feet on the bottom of the cell, centred across it.
    const int x = static_cast<int>(std::lround(at.x())) - cam.x() + (kCell - img.width()) / 2;
    const int y = static_cast<int>(std::lround(at.y())) - cam.y() + kCell - img.height();
    if (x + img.width() < 0 || y + img.height() < 0 || x > back_.width() || y > back_.height()) return;
    p.drawImage(QPoint(x, y), img);
}

void Renderer::drawWeather(QPainter& p, const QSize& window, int scale, const World& world) {
    const Weather& wx = world.weather();
    const int f = world.frame();
    const int w = window.width(), h = window.height();
    if (wx.storm) p.fillRect(QRect(QPoint(0, 0), window), QColor(10, 12, 40, 90));
    if (wx.rain || wx.storm) {
        const int drops = wx.storm ? 260 : 140;
        const double fall = (wx.storm ? 14.0 : 10.0) * scale, drift = (wx.storm ? 4.0 : 2.0) * scale;
        p.setPen(QPen(QColor(190, 205, 255, wx.storm ? 170 : 140), std::max(1, scale)));
        for (int i = 0; i < drops; ++i) {
            const std::uint32_t a = hash(static_cast<std::uint32_t>(i) * 2 + 1), b = hash(a);
            const double x = std::fmod(a % 100000 / 100000.0 * (w + h) + f * drift, w + h) - h * 0.25;
            const double y = std::fmod(b % 100000 / 100000.0 * h + f * fall, h + 20.0 * scale) - 10.0 * scale;
            p.drawLine(QPointF(x, y), QPointF(x - drift * 1.5, y - fall * 1.2));
        }
    }
    if (wx.snow) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(250, 250, 255, 220));
        for (int i = 0; i < 120; ++i) {
            const std::uint32_t a = hash(static_cast<std::uint32_t>(i) * 2 + 7), b = hash(a);
            const double size = (1.5 + (a % 3)) * scale;
            const double y = std::fmod(b % 100000 / 100000.0 * h + f * (0.6 + (a % 5) * 0.15) * scale, h + 10.0);
            const double x = std::fmod(a % 100000 / 100000.0 * w + std::sin((f + i * 13) / 40.0) * 12 * scale + w, w);
            p.drawEllipse(QPointF(x, y), size, size);
        }
        p.setBrush(Qt::NoBrush);
    }
    if (world.lightning()) p.fillRect(QRect(QPoint(0, 0), window), QColor(255, 255, 240, 150));
}

void Renderer::drawBox(QPainter& p, const QSize& window, int scale, const World& world) {
    if (!world.box()) return;
    const Box& box = *world.box();
    const int margin = 10 * scale, pad = 12 * scale;
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(17 * scale);
    p.setFont(font);
    const QFontMetrics fm(font);

    const Picture* face = nullptr;
    if (box.dialog && !box.face.empty()) face = &world.data().face(box.face);
    const int faceSide = face ? 80 * scale : 0;
    const int width = window.width() - 2 * margin;
    const int textLeft = pad + (face ? faceSide + pad : 0);
    const int textWidth = std::max(40, width - textLeft - pad);
    const QString text = fromCp1252(box.text);
    const QRect bounds = fm.boundingRect(QRect(0, 0, textWidth, 10000), Qt::TextWordWrap, text);
    const int height = std::min(window.height() * 2 / 5, std::max(bounds.height(), faceSide) + 2 * pad);
    const QRect rect(margin, window.height() - margin - height, width, height);

    p.setRenderHint(QPainter::Antialiasing, true);
    QPainterPath path;
    path.addRoundedRect(rect, 8 * scale, 8 * scale);
    p.fillPath(path, QColor(16, 24, 64, 225));
    p.setPen(QPen(QColor(235, 230, 200), 2 * scale));
    p.drawPath(path);
    if (face) {
        const QRect faceRect(rect.left() + pad, rect.top() + pad, faceSide, faceSide);
        p.fillRect(faceRect, QColor(40, 52, 110));
        p.drawImage(faceRect, face->drawImage());
    }
    p.setPen(QColor(250, 248, 235));
    p.drawText(QRect(rect.left() + textLeft, rect.top() + pad, textWidth, height - 2 * pad),
               Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, text);
    // the "more" mark, blinking
    if ((world.frame() / 20) % 2 == 0) {
        const QPointF tip(rect.right() - pad, rect.bottom() - pad / 2.0);
        QPainterPath arrow;
        arrow.moveTo(tip);
        arrow.lineTo(tip + QPointF(-6.0 * scale, -8.0 * scale));
        arrow.lineTo(tip + QPointF(6.0 * scale, -8.0 * scale));
        arrow.closeSubpath();
        p.fillPath(arrow, QColor(235, 230, 200));
    }
    p.setRenderHint(QPainter::Antialiasing, false);
}

void Renderer::paint(QPainter& painter, const QSize& window, World& world) {
    const int scale = scaleFor(window);
    const QSize view((window.width() + scale - 1) / scale, (window.height() + scale - 1) / scale);
    if (back_.size() != view) back_ = QImage(view, QImage::Format_ARGB32_Premultiplied);
    drawMap(world, camera(world, view));
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(QRect(QPoint(0, 0), view * scale), back_);
    drawWeather(painter, window, scale, world);
    drawBox(painter, window, scale, world);
}

QImage Renderer::grab(const QSize& window, World& world) {
    QImage out(window, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&out);
    paint(p, window, world);
    p.end();
    return out;
}

}  // namespace quillmark::play
