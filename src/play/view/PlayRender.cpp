#include "play/view/PlayRender.h"

#include "model/core/Text.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QStringList>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <cstring>

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

// Every pixel of `from` becomes a square of k x k pixels of `to`: each row is
// widened once and then copied k - 1 times (much cheaper than a general scaled draw).
void enlarge(const QImage& from, int k, QImage& to) {
    const QSize size = from.size() * k;
    if (to.size() != size || to.format() != QImage::Format_RGB32) to = QImage(size, QImage::Format_RGB32);
    const int w = from.width();
    const std::size_t bytes = static_cast<std::size_t>(size.width()) * sizeof(QRgb);
    for (int y = 0; y < from.height(); ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(from.constScanLine(y));
        auto* dst = reinterpret_cast<QRgb*>(to.scanLine(y * k));
        for (int x = 0; x < w; ++x) {
            const QRgb c = src[x];
            for (int i = 0; i < k; ++i) *dst++ = c;
        }
        const uchar* first = to.constScanLine(y * k);
        for (int i = 1; i < k; ++i) std::memcpy(to.scanLine(y * k + i), first, bytes);
    }
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
    // Around the map a darker shade; under the map the cells' own background.
    p.fillRect(back_.rect(), cellpaint::backgroundColor().darker(160));
    p.fillRect(QRect(-cam, QSize(grid.N * kCell, grid.N * kCell)), cellpaint::backgroundColor());
    TileLookup& tiles = data.tiles.lookups[static_cast<std::size_t>(world.tileFrame())];
    const int firstC = std::max(1, cam.x() / kCell + 1), firstR = std::max(1, cam.y() / kCell + 1);
    const int lastC = std::min(grid.N, (cam.x() + back_.width() - 1) / kCell + 1);
    const int lastR = std::min(grid.N, (cam.y() + back_.height() - 1) / kCell + 1);
    cellsDrawn_ = 0;
    for (int r = firstR; r <= lastR; ++r)
        for (int c = firstC; c <= lastC; ++c) {
            const QPoint origin((c - 1) * kCell - cam.x(), (r - 1) * kCell - cam.y());
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

    // The weather, drawn on the game's pixels like everything else on the map.
    drawWeather(p, back_.size(), world);
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

void Renderer::drawWeather(QPainter& p, const QSize& window, const World& world) {
    constexpr int scale = 1;
    const Weather& wx = world.weather();
    if (wx.storm)
        p.fillRect(QRect(QPoint(0, 0), window), QColor(10, 12, 40, 100));
    else if (wx.rain)
        p.fillRect(QRect(QPoint(0, 0), window), QColor(20, 30, 60, 45));
    const int f = world.frame();
    const int w = window.width(), h = window.height();
    if (wx.rain || wx.storm) {
        const int drops = wx.storm ? 260 : 140;
        const double fall = (wx.storm ? 14.0 : 10.0) * scale, drift = (wx.storm ? 4.0 : 2.0) * scale;
        p.setPen(QPen(QColor(200, 215, 250, wx.storm ? 200 : 170), scale));
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
    QStringList choices;
    if (box.asking())
        for (const std::string& c : box.choices) choices << fromCp1252(c);
    const QString key = QString::number(box.dialog) + '\x1f' + fromCp1252(box.face) + '\x1f' + fromCp1252(box.text) +
                        '\x1f' + QString::number(window.width()) + 'x' + QString::number(window.height()) + '\x1f' +
                        choices.join('\x1e') + '\x1f' + QString::number(box.cursor);
    if (key != boxKey_) {
        // The box is laid out and drawn once, then only copied frame by frame.
        boxKey_ = key;
        const Picture* face = nullptr;
        if (box.dialog && !box.face.empty()) face = &world.data().face(box.face);
        const int faceSide = face ? 80 * scale : 0;
        const int width = window.width() - 2 * margin;
        const int textLeft = pad + (face ? faceSide + pad : 0);
        const int textWidth = std::max(40, width - textLeft - pad);
        const QString text = fromCp1252(box.text);
        // A long text takes a smaller letter, so that all of it fits in the box.
        const int maxHeight = window.height() * 2 / 5;
        QFont font(QStringLiteral("DejaVu Sans"));
        QRect bounds;
        int lineHeight = 0;
        for (int px = 17; px >= 9; --px) {
            font.setPixelSize(px * scale);
            lineHeight = QFontMetrics(font).height() + 4 * scale;
            bounds = QFontMetrics(font).boundingRect(QRect(0, 0, textWidth, 100000), Qt::TextWordWrap, text);
            if (bounds.height() + 2 * pad + lineHeight * choices.size() <= maxHeight) break;
        }
        // a question's answers, one a line under its text
        const int answersHeight = choices.isEmpty() ? 0 : pad / 2 + lineHeight * static_cast<int>(choices.size());
        const int height =
            std::min(maxHeight + answersHeight, std::max(bounds.height() + answersHeight, faceSide) + 2 * pad);

        boxImage_ = QImage(width, height, QImage::Format_ARGB32_Premultiplied);
        boxImage_.fill(Qt::transparent);
        QPainter b(&boxImage_);
        const QRectF rect = QRectF(boxImage_.rect()).adjusted(scale, scale, -scale, -scale);
        b.setRenderHint(QPainter::Antialiasing, true);
        QPainterPath path;
        path.addRoundedRect(rect, 8 * scale, 8 * scale);
        b.fillPath(path, QColor(16, 24, 64, 225));
        b.setPen(QPen(QColor(235, 230, 200), 2 * scale));
        b.drawPath(path);
        if (face) {
            const QRect faceRect(pad, pad, faceSide, faceSide);
            b.fillRect(faceRect, QColor(40, 52, 110));
            b.drawImage(faceRect, face->drawImage());
        }
        b.setFont(font);
        b.setPen(QColor(250, 248, 235));
        b.drawText(QRect(textLeft, pad, textWidth, height - 2 * pad - answersHeight),
                   Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, text);
        for (int i = 0; i < choices.size(); ++i) {
            const QRect line(textLeft, height - pad - answersHeight + pad / 2 + i * lineHeight, textWidth, lineHeight);
            // the marker before the answer it marks; every answer starts at the same place
            const int indent = QFontMetrics(font).horizontalAdvance(QStringLiteral("\u25B6 ")) + 4 * scale;
            if (i == box.cursor) {
                b.fillRect(line.adjusted(0, 0, 0, -2 * scale), QColor(70, 90, 170));
                b.setPen(QColor(255, 236, 140));
                b.drawText(line.adjusted(4 * scale, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                           QStringLiteral("\u25B6"));
            } else {
                b.setPen(QColor(250, 248, 235));
            }
            b.drawText(line.adjusted(indent, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, choices[i]);
        }
    }
    const QPoint at(margin, window.height() - margin - boxImage_.height());
    p.drawImage(at, boxImage_);
    // the "more" mark, blinking (a question waits for its answer instead)
    if (!box.asking() && (world.frame() / 20) % 2 == 0) {
        const QPointF tip(at.x() + boxImage_.width() - pad, at.y() + boxImage_.height() - pad / 2.0);
        QPainterPath arrow;
        arrow.moveTo(tip);
        arrow.lineTo(tip + QPointF(-6.0 * scale, -8.0 * scale));
        arrow.lineTo(tip + QPointF(6.0 * scale, -8.0 * scale));
        arrow.closeSubpath();
        p.fillPath(arrow, QColor(235, 230, 200));
    }
}

void Renderer::present(QPainter& painter, int scale) {
    if (scale == 1) {
        painter.drawImage(QPoint(0, 0), back_);
    } else {
        enlarge(back_, scale, big_);
        painter.drawImage(QPoint(0, 0), big_);
    }
}

void Renderer::paint(QPainter& painter, const QSize& window, World& world) {
    const int scale = scaleFor(window);
    const QSize view((window.width() + scale - 1) / scale, (window.height() + scale - 1) / scale);
    if (back_.size() != view) back_ = QImage(view, QImage::Format_RGB32);  // opaque: enlarged by plain copying
    drawMap(world, camera(world, view));
    present(painter, scale);
    drawBox(painter, window, scale, world);
}

void Renderer::paint(QPainter& painter, const QSize& window, Game& game) {
    const int scale = scaleFor(window);
    const QSize view((window.width() + scale - 1) / scale, (window.height() + scale - 1) / scale);
    if (back_.size() != view) back_ = QImage(view, QImage::Format_RGB32);
    switch (game.scene()) {
    case SceneKind::Map:
    case SceneKind::Menu: {
        World& world = game.world();
        drawMap(world, camera(world, view));
        if (game.scene() == SceneKind::Menu) {
            QPainter p(&back_);
            drawMenu(p, game);
        }
        present(painter, scale);
        drawBox(painter, window, scale, world);
        // a transfer fades to black and back
        if (const double fade = game.fade(); fade > 0)
            painter.fillRect(QRect(QPoint(0, 0), window), QColor(0, 0, 0, static_cast<int>(255 * fade)));
        return;
    }
    case SceneKind::Title:
        drawTitle(game);
        break;
    case SceneKind::Battle:
        drawBattle(game);
        break;
    case SceneKind::GameOver:
        drawGameOver(game);
        break;
    }
    present(painter, scale);
}

QImage Renderer::grab(const QSize& window, Game& game) {
    QImage out(window, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&out);
    paint(p, window, game);
    p.end();
    return out;
}

QImage Renderer::grab(const QSize& window, World& world) {
    QImage out(window, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&out);
    paint(p, window, world);
    p.end();
    return out;
}

}  // namespace quillmark::play
