#include "model/mapedit/CellPainter.h"

#include "model/core/Format.h"

#include "model/core/Paths.h"
#include "model/core/Picture.h"
#include "model/database/DataModule.h"
#include "model/database/TileCache.h"
#include "model/events/EventScript.h"

#include <QFileInfo>
#include <QFont>
#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>
#include <QString>
#include <algorithm>
#include <map>
#include <tuple>

namespace quillmark {

// ---------------------------------------------------------------------------
// Tile lookups

TileLookup::TileLookup(PictureFn picture, TransparentFn transparent)
    : picture_(std::move(picture)), transparent_(std::move(transparent)) {
    reset();
}

TileLookup TileLookup::fromTables(TDataModule1& data, const TileCache& tiles) {
    return TileLookup([&data, &tiles](unsigned char code) -> const Picture& { return tiles.PegaImg(data, code); },
                      [&data](unsigned char code) { return data.VerificaTransparencia(code); });
}

void TileLookup::reset() {
    images_.fill(nullptr);
    imageKnown_.fill(false);
    transparency_.fill(-1);
}

const QImage& TileLookup::image(unsigned char code) {
    static const QImage none;
    if (!imageKnown_[code]) {
        imageKnown_[code] = true;
        images_[code] = nullptr;
        if (picture_) {
            try {
                const QImage& img = picture_(code).drawImage();
                if (!img.isNull()) images_[code] = &img;
            } catch (...) {
                // an unfilled cache: the cell shows no picture
            }
        }
    }
    return images_[code] ? *images_[code] : none;
}

const QImage& TileLookup::character(const std::string& name) {
    auto it = characters_.find(name);
    if (it == characters_.end()) {
        QImage frame;
        if (character_) {
            try {
                frame = character_(name);
            } catch (...) {
                frame = QImage();
            }
        }
        it = characters_.emplace(name, std::move(frame)).first;
    }
    return it->second;
}

bool TileLookup::transparent(unsigned char code) {
    if (transparency_[code] < 0) {
        bool on = false;
        if (transparent_) {
            try {
                on = transparent_(code);
            } catch (...) {
                on = false;
            }
        }
        transparency_[code] = on ? 1 : 0;
    }
    return transparency_[code] == 1;
}

namespace cellpaint {

namespace {

// Letters are white on a small dark backing so that they read over any tile.
const QColor kTextColor(255, 255, 255);
const QColor kBacking(16, 20, 28, 185);
const QColor kGridColor(0, 0, 0, 120);
const QColor kHoverColor(255, 204, 0);

// Drawing inside the square a cell shows: everything is cut to it by hand,
// which is much cheaper than a clip region per cell.
class CellCanvas {
public:
    CellCanvas(QPainter& painter, const CellView& at)
        : p_(painter), origin_(at.origin), shown_(0, 0, std::min(at.size, kCell), std::min(at.size, kCell)) {}

    void fill(const QRect& r, const QColor& color) {
        const QRect v = r & shown_;
        if (!v.isEmpty()) p_.fillRect(v.translated(origin_), color);
    }
    void image(const QPoint& at, const QImage& img) {
        if (img.isNull()) return;
        const QRect r(at, img.deviceIndependentSize().toSize());
        const QRect v = r & shown_;
        if (v.isEmpty()) return;
        if (v == r) {
            p_.drawImage(at + origin_, img);
            return;
        }
        const qreal d = img.devicePixelRatio();
        p_.drawImage(QRectF(v.translated(origin_)), img,
                     QRectF((v.x() - at.x()) * d, (v.y() - at.y()) * d, v.width() * d, v.height() * d));
    }
    qreal ratio() const { return p_.device() ? p_.device()->devicePixelRatioF() : 1.0; }

private:
    QPainter& p_;
    QPoint origin_;
    QRect shown_;
};

struct Fonts {
    QFont mark;
    QFont coordinates;
};

const Fonts& fonts() {
    static const Fonts f = [] {
        Fonts r;
        r.mark = QFont(QStringLiteral("DejaVu Sans"));
        r.mark.setPixelSize(11);
        r.mark.setBold(true);
        r.mark.setStyleHint(QFont::SansSerif);
        r.coordinates = QFont(QStringLiteral("DejaVu Sans"));
        r.coordinates.setPixelSize(9);
        r.coordinates.setStyleHint(QFont::SansSerif);
        return r;
    }();
    return f;
}

enum class Label { Mark, Letter, Coordinate };

// The pictures of the texts drawn on cells, made once each (per pixel ratio):
// a letter centred in a fixed box (so "X" and "O" take the same place), or a
// small text on a backing that fits it.
QImage makeLabel(Label kind, const QString& text, qreal ratio) {
    const Fonts& f = fonts();
    const QFont& font = kind == Label::Coordinate ? f.coordinates : f.mark;
    const QFontMetrics m(font);
    QSize size;
    if (kind == Label::Coordinate) {
        size = QSize(m.horizontalAdvance(text) + 3, m.height());
    } else {
        const QString pair = kind == Label::Mark ? QStringLiteral("XO") : QStringLiteral("CE");
        const int widest = std::max(m.horizontalAdvance(pair[0]), m.horizontalAdvance(pair[1]));
        size = QSize(widest + 4, m.height());
    }
    QImage img((QSizeF(size) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    img.setDevicePixelRatio(ratio);
    img.fill(kBacking);
    QPainter p(&img);
    p.setFont(font);
    p.setPen(kTextColor);
    const int x = kind == Label::Coordinate ? 2 : (size.width() - m.horizontalAdvance(text)) / 2;
    p.drawText(QPoint(x, m.ascent()), text);
    return img;
}

const QImage& label(Label kind, const std::string& text, qreal ratio) {
    struct Key {
        Label kind;
        std::string text;
        qreal ratio;
        bool operator<(const Key& o) const { return std::tie(kind, text, ratio) < std::tie(o.kind, o.text, o.ratio); }
    };
    static std::map<Key, QImage> cache;
    Key key{kind, text, ratio};
    auto it = cache.find(key);
    if (it == cache.end()) it = cache.emplace(key, makeLabel(kind, QString::fromLatin1(text.c_str()), ratio)).first;
    return it->second;
}

bool isCharacter(const std::string& text) { return format::isAddChar(text); }

}  // namespace

QColor backgroundColor() { return QColor(58, 58, 58); }

std::string markText(unsigned char xo) { return xo == 'X' ? "X" : "O"; }

std::string eventLetter(const std::string& eventText, const ViewOptions& view) {
    if (isCharacter(eventText)) return view.objetos ? "C" : "";
    if (MapGrid::hasEvent(eventText)) return view.eventos ? "E" : "";
    return "";
}

std::string coordinateX(int column) { return "X: " + std::to_string(40 * column + 120); }
std::string coordinateY(int row) { return "Y: " + std::to_string(40 * row + 20); }

void drawTiles(QPainter& painter, const MapGrid& grid, int row, int column, CellMode mode, TileLookup& tiles,
               const CellView& at) {
    CellCanvas cell(painter, at);
    const std::size_t i = MapGrid::index(row, column);
    const unsigned char tipo = grid.Tipo[i];
    const unsigned char fundo = grid.Fundo[i];
    if (mode == CellMode::Lower) {
        cell.image(QPoint(0, 0), tiles.image(fundo));
        return;
    }
    if (tiles.transparent(tipo)) cell.image(QPoint(0, 0), tiles.image(fundo));
    cell.image(QPoint(0, 0), tiles.image(tipo));
}

void drawMark(QPainter& painter, unsigned char xo, const CellView& at) {
    CellCanvas cell(painter, at);
    cell.image(QPoint(5, 5), label(Label::Mark, markText(xo), cell.ratio()));
}

void drawEventLetter(QPainter& painter, const std::string& eventText, const ViewOptions& view, const CellView& at) {
    const std::string letter = eventLetter(eventText, view);
    if (letter.empty()) return;
    CellCanvas cell(painter, at);
    cell.image(QPoint(28, 23), label(Label::Letter, letter, cell.ratio()));
}

QImage characterFrame(const QString& projectFolder, const std::string& name) {
    if (projectFolder.isEmpty() || name.empty()) return QImage();
    // A name that climbs out of the pictures folder names no character of the project.
    if (name.find_first_of("\\/:") != std::string::npos || name == "." || name == "..") return QImage();
    const QString path = projectPath(projectFolder, std::string_view("Imagens\\" + name + "\\CharDown01.bmp"));
    if (!QFileInfo(path).isFile()) return QImage();
    try {
        const Picture frame(Picture::fromFile(path).image(), true);
        return frame.drawImage();
    } catch (...) {
        return QImage();
    }
}

void drawCharacter(QPainter& painter, const std::string& eventText, const ViewOptions& view, TileLookup& tiles,
                   const CellView& at) {
    if (!view.objetos || !isCharacter(eventText)) return;
    const QImage& frame = tiles.character(ParseAddChar(eventText).name);
    if (frame.isNull()) return;
    CellCanvas cell(painter, at);
    const QSize size = frame.deviceIndependentSize().toSize();
    if (size.width() <= kCell && size.height() <= kCell) {
        // Standing on the cell's bottom edge, centred.
        cell.image(QPoint((kCell - size.width()) / 2, kCell - size.height()), frame);
        return;
    }
    const QImage fitted = frame.scaled(kCell, kCell, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    cell.image(QPoint((kCell - fitted.width()) / 2, kCell - fitted.height()), fitted);
}

void drawCoordinates(QPainter& painter, int row, int column, const CellView& at) {
    CellCanvas cell(painter, at);
    // Two lines across the top of the cell, clear of the "E"/"C" letter at the bottom right.
    cell.image(QPoint(2, 1), label(Label::Coordinate, coordinateX(column), cell.ratio()));
    cell.image(QPoint(2, 12), label(Label::Coordinate, coordinateY(row), cell.ratio()));
}

void drawGridOutline(QPainter& painter, const CellView& at) {
    // The outline's right and bottom sides lie on x = 40 and y = 40, outside the
    // cell's own pixels: only its top and left sides show.
    CellCanvas cell(painter, at);
    cell.fill(QRect(0, 0, kCell, 1), kGridColor);
    cell.fill(QRect(0, 1, 1, kCell - 1), kGridColor);
}

void drawHoverOutline(QPainter& painter, const CellView& at) {
    // A 4-pixel pen centred on the lines x = 1, x = 40, y = 1, y = 40.
    CellCanvas cell(painter, at);
    cell.fill(QRect(-1, -1, 44, 4), kHoverColor);
    cell.fill(QRect(-1, 38, 44, 4), kHoverColor);
    cell.fill(QRect(-1, 3, 4, 35), kHoverColor);
    cell.fill(QRect(38, 3, 4, 35), kHoverColor);
}

void drawCellPicture(QPainter& painter, const QImage& picture, const CellView& at) {
    CellCanvas cell(painter, at);
    cell.image(QPoint(0, 0), picture);
}

void RefreshMapa(QPainter& painter, const MapGrid& grid, int row, int column, CellMode mode, const ViewOptions& view,
                 TileLookup& tiles, const CellView& at) {
    drawTiles(painter, grid, row, column, mode, tiles, at);
    const std::size_t i = MapGrid::index(row, column);
    drawCharacter(painter, grid.Evento[i], view, tiles, at);
    if (mode == CellMode::Events) drawMark(painter, grid.XO[i], at);
    drawEventLetter(painter, grid.Evento[i], view, at);
    if (view.cordenadas) drawCoordinates(painter, row, column, at);
    drawGridOutline(painter, at);
}

QImage renderMap(const MapGrid& grid, CellMode mode, const ViewOptions& view, TileLookup& tiles) {
    if (grid.N <= 0) return QImage();
    const int side = grid.N * kCell;
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(backgroundColor());
    QPainter painter(&image);
    for (int r = 1; r <= grid.N; ++r)
        for (int c = 1; c <= grid.N; ++c)
            RefreshMapa(painter, grid, r, c, mode, view, tiles,
                        CellView{QPoint((c - 1) * kCell, (r - 1) * kCell), kCell});
    painter.end();
    return image;
}

}  // namespace cellpaint

}  // namespace quillmark
