#include "ui/common/uArt.h"

#include "model/core/Files.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QStandardPaths>
#include <QSvgRenderer>
#include <QtMath>

#include <cstring>

namespace quillmark::art {

namespace {

// Every tool picture shares one drawing style: a 24 x 24 grid, 1-unit dark
// outlines of the fill's own hue, flat fills, and a small round badge at the
// lower right for "new" and "properties".
const char* const kSvgHead = "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 24 24\">";

const char* const kPlusBadge =
    "<circle cx=\"18\" cy=\"17.5\" r=\"5\" fill=\"#3fae5a\" stroke=\"#1f7a37\"/>"
    "<path d=\"M18 15v5M15.5 17.5h5\" stroke=\"#fff\" stroke-width=\"1.8\" stroke-linecap=\"round\"/>";

const char* const kMapSheet =
    "<path d=\"M2.5 5.5l5.5-2 6 2 5.5-2v14l-5.5 2-6-2-5.5 2z\" fill=\"#d9efbd\" stroke=\"#4d6b2e\" "
    "stroke-linejoin=\"round\"/>"
    "<path d=\"M8 3.5l6 2v14l-6-2z\" fill=\"#c4e3a0\"/>"
    "<path d=\"M8 3.5v14M14 5.5v14\" stroke=\"#4d6b2e\" stroke-width=\"0.8\"/>"
    "<path d=\"M3.5 9.5c2 -1 3.5 1 5.5 0s3 -2 5 -0.5 3 1 4.5 0\" stroke=\"#3d7bd6\" stroke-width=\"1.3\" "
    "fill=\"none\" stroke-linecap=\"round\"/>"
    "<path d=\"M10 14.5l1.5 -2 1.5 2z\" fill=\"#6b8e3a\"/>";

const char* layerShape(double y, const char* fill, const char* stroke) {
    static thread_local QByteArray text;
    text = QByteArray("<path d=\"M12 ") + QByteArray::number(y - 4.5) + " L21 " + QByteArray::number(y) + " L12 " +
           QByteArray::number(y + 4.5) + " L3 " + QByteArray::number(y) + " Z\" fill=\"" + fill + "\" stroke=\"" +
           stroke + "\" stroke-linejoin=\"round\"/>";
    return text.constData();
}

QByteArray toolSvg(Tool tool) {
    QByteArray s = kSvgHead;
    const char* paleFill = "#e9eef3";
    const char* paleStroke = "#8796a6";
    switch (tool) {
    case Tool::NovoProjeto:
        s += "<path d=\"M2.5 6.5a1.5 1.5 0 0 1 1.5-1.5h5l2 2h8a1.5 1.5 0 0 1 1.5 1.5v9.5a1.5 1.5 0 0 1-1.5 "
             "1.5h-15a1.5 1.5 0 0 1-1.5-1.5z\" fill=\"#f2b441\" stroke=\"#9a6a10\"/>"
             "<path d=\"M2.5 10h19\" stroke=\"#c98a16\"/>";
        s += kPlusBadge;
        break;
    case Tool::AbrirProjeto:
        s += "<path d=\"M2.5 18.5V6a1.5 1.5 0 0 1 1.5-1.5h4.5l2 2h7.5a1.5 1.5 0 0 1 1.5 1.5v2\" fill=\"#dd9b2a\" "
             "stroke=\"#9a6a10\" stroke-linejoin=\"round\"/>"
             "<path d=\"M5 11.5h11\" stroke=\"#fdfaf0\" stroke-width=\"0\"/>"
             "<rect x=\"5\" y=\"7.5\" width=\"11\" height=\"6\" fill=\"#fdfaf0\" stroke=\"#b0a890\" "
             "stroke-width=\"0.6\"/>"
             "<path d=\"M2.5 18.5l3.2-8h16.3l-3.2 8z\" fill=\"#f7c857\" stroke=\"#9a6a10\" stroke-linejoin=\"round\"/>";
        break;
    case Tool::NovoMapa:
        s += kMapSheet;
        s += kPlusBadge;
        break;
    case Tool::Salvar:
        s += "<path d=\"M4 3.5h12.8l3.7 3.7V19a1.5 1.5 0 0 1-1.5 1.5H4A1.5 1.5 0 0 1 2.5 19V5A1.5 1.5 0 0 1 4 3.5z\" "
             "fill=\"#3d7bd6\" stroke=\"#1f4f94\" stroke-linejoin=\"round\"/>"
             "<rect x=\"7\" y=\"3.5\" width=\"9\" height=\"5.5\" fill=\"#e8eef7\" stroke=\"#1f4f94\"/>"
             "<rect x=\"12.8\" y=\"4.6\" width=\"2\" height=\"3.4\" fill=\"#1f4f94\"/>"
             "<rect x=\"6\" y=\"12.5\" width=\"12\" height=\"8\" fill=\"#fdfaf0\" stroke=\"#1f4f94\"/>"
             "<path d=\"M8 15h8M8 17.6h8\" stroke=\"#9fb3cc\"/>";
        break;
    case Tool::CamadaInferior:
        s += layerShape(15.5, "#6cc070", "#2e7d32");
        s += "<path d=\"M9 15.5l2 -1 2 1 2 -1\" stroke=\"#2e7d32\" stroke-width=\"0.8\" fill=\"none\"/>";
        s += layerShape(9.5, paleFill, paleStroke);
        break;
    case Tool::CamadaSuperior:
        s += layerShape(15.5, paleFill, paleStroke);
        s += layerShape(9.5, "#f0a64a", "#a35f12");
        s += "<path d=\"M8.5 9.5h7M12 7.2v4.6\" stroke=\"#a35f12\" stroke-width=\"0.8\"/>";
        break;
    case Tool::CamadaEventos:
        s += layerShape(17, paleFill, paleStroke);
        s += layerShape(13, paleFill, paleStroke);
        s += "<path d=\"M12 13V2.5\" stroke=\"#4a3426\" stroke-width=\"1.4\" stroke-linecap=\"round\"/>"
             "<path d=\"M12.6 2.8l7 2.4-7 2.6z\" fill=\"#d9473b\" stroke=\"#9c2a20\" stroke-linejoin=\"round\"/>"
             "<ellipse cx=\"12\" cy=\"13\" rx=\"1.8\" ry=\"0.9\" fill=\"#4a3426\"/>";
        break;
    case Tool::PropriedadesMapa:
        s += kMapSheet;
        s += "<circle cx=\"18\" cy=\"17.5\" r=\"4\" fill=\"none\" stroke=\"#4a5462\" stroke-width=\"2.6\" "
             "stroke-dasharray=\"1.65 1.5\"/>"
             "<circle cx=\"18\" cy=\"17.5\" r=\"3.3\" fill=\"#8a96a6\" stroke=\"#4a5462\"/>"
             "<circle cx=\"18\" cy=\"17.5\" r=\"1.2\" fill=\"#fdfaf0\" stroke=\"#4a5462\" stroke-width=\"0.6\"/>";
        break;
    case Tool::Zoom:
        s += "<path d=\"M14.6 14.6l5.6 5.6\" stroke=\"#4a3426\" stroke-width=\"3.2\" stroke-linecap=\"round\"/>"
             "<circle cx=\"10\" cy=\"10\" r=\"6.5\" fill=\"#cfe6fb\" stroke=\"#33475b\" stroke-width=\"1.6\"/>"
             "<path d=\"M6.8 8.2a4 4 0 0 1 3 -2.4\" stroke=\"#fff\" stroke-width=\"1.2\" fill=\"none\" "
             "stroke-linecap=\"round\"/>"
             "<path d=\"M10 7.5v5M7.5 10h5\" stroke=\"#1f4f94\" stroke-width=\"1.6\" stroke-linecap=\"round\"/>";
        break;
    case Tool::BancoDados:
        s += "<path d=\"M4.5 6v12c0 1.9 3.4 3.5 7.5 3.5s7.5-1.6 7.5-3.5V6\" fill=\"#2a9d8f\" stroke=\"#17645b\"/>"
             "<path d=\"M4.5 10.2c0 1.9 3.4 3.5 7.5 3.5s7.5-1.6 7.5-3.5M4.5 14.3c0 1.9 3.4 3.5 7.5 3.5s7.5-1.6 "
             "7.5-3.5\" fill=\"none\" stroke=\"#17645b\"/>"
             "<ellipse cx=\"12\" cy=\"6\" rx=\"7.5\" ry=\"3.2\" fill=\"#7dd8cb\" stroke=\"#17645b\"/>";
        break;
    case Tool::Play:
        s += "<circle cx=\"12\" cy=\"12\" r=\"9.5\" fill=\"#3fae5a\" stroke=\"#1f7a37\"/>"
             "<path d=\"M12 3.2a8.8 8.8 0 0 1 8.2 5.6\" stroke=\"#8fdc9f\" stroke-width=\"1.2\" fill=\"none\" "
             "stroke-linecap=\"round\"/>"
             "<path d=\"M9.7 7.6v8.8l6.9-4.4z\" fill=\"#fff\" stroke=\"#fff\" stroke-width=\"1\" "
             "stroke-linejoin=\"round\"/>";
        break;
    }
    s += "</svg>";
    return s;
}

// --- pictures drawn once per build ----------------------------------------------------
//
// Rasterising the vector pictures and drawing the splash cost a noticeable
// part of every start. The finished pixels are kept in the user's cache folder
// ($XDG_CACHE_HOME/quillmark/art), one small raw file per picture, named after
// a digest of what it depends on: the picture's own description, its size,
// the Qt version and this file's build. A start reads them back; anything
// missing, unreadable or of another build is drawn and stored again.

QString& artFolderOverride() {
    static QString folder;
    return folder;
}

QString artFolder() {
    if (!artFolderOverride().isEmpty()) return artFolderOverride();
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    return base.isEmpty() ? QString() : base + QStringLiteral("/quillmark/art/");
}

constexpr quint32 kArtMagic = 0x51414d31;  // "QAM1"

QImage readStoredPicture(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = file.readAll();
    struct Head {
        quint32 magic, width, height, bytesPerLine;
        double dpr;
    } head{};
    if (bytes.size() < static_cast<qsizetype>(sizeof head)) return {};
    std::memcpy(&head, bytes.constData(), sizeof head);
    if (head.magic != kArtMagic || head.width == 0 || head.height == 0 || head.width > 4096 || head.height > 4096)
        return {};
    QImage image(static_cast<int>(head.width), static_cast<int>(head.height), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull() || static_cast<quint32>(image.bytesPerLine()) != head.bytesPerLine ||
        bytes.size() != static_cast<qsizetype>(sizeof head) + image.sizeInBytes())
        return {};
    std::memcpy(image.bits(), bytes.constData() + sizeof head, static_cast<size_t>(image.sizeInBytes()));
    image.setDevicePixelRatio(head.dpr);
    return image;
}

void storePicture(const QString& path, const QImage& picture) {
    const QImage image = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    struct Head {
        quint32 magic, width, height, bytesPerLine;
        double dpr;
    } head{kArtMagic, static_cast<quint32>(image.width()), static_cast<quint32>(image.height()),
           static_cast<quint32>(image.bytesPerLine()), image.devicePixelRatio()};
    QByteArray bytes(reinterpret_cast<const char*>(&head), sizeof head);
    bytes.append(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes());
    try {
        makeFolder(QFileInfo(path).absolutePath());
        writeFileAtomic(path, bytes);
    } catch (const std::exception&) {
        // a cache that cannot be written only means drawing again next time
    }
}

// The stored picture for `description`, or `draw()` stored for next time.
template <typename Draw> QImage storedPicture(const QByteArray& description, Draw draw) {
    const QString folder = artFolder();
    if (folder.isEmpty()) return draw();
    QCryptographicHash digest(QCryptographicHash::Sha1);
    digest.addData(description);
    digest.addData(QByteArrayLiteral(QT_VERSION_STR __DATE__ __TIME__));
    const QString path = folder + QString::fromLatin1(digest.result().toHex()) + QStringLiteral(".pix");
    QImage image = readStoredPicture(path);
    if (!image.isNull()) return image;
    image = draw();
    storePicture(path, image);
    return image;
}

QImage drawSvg(const QByteArray& svg, int logicalSize, qreal dpr) {
    const int px = qMax(1, qRound(logicalSize * dpr));
    QImage image(px, px, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QSvgRenderer renderer(svg);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    renderer.render(&p, QRectF(0, 0, px, px));
    p.end();
    image.setDevicePixelRatio(dpr);
    return image;
}

QImage renderSvg(const QByteArray& svg, int logicalSize, qreal dpr) {
    return storedPicture(svg + ' ' + QByteArray::number(logicalSize) + ' ' + QByteArray::number(dpr, 'g', 6),
                         [&] { return drawSvg(svg, logicalSize, dpr); });
}

QImage drawSplash();

QByteArray treeSvg(int index) {
    QByteArray s = "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 16 16\">";
    switch (index) {
    case 1:  // a map: a small folded sheet
        s += "<path d=\"M1.5 3.5l4-1.5 5 1.5 4-1.5v10.5l-4 1.5-5-1.5-4 1.5z\" fill=\"#d9efbd\" stroke=\"#4d6b2e\" "
             "stroke-linejoin=\"round\"/>"
             "<path d=\"M5.5 2l5 1.5v10.5l-5-1.5z\" fill=\"#c4e3a0\"/>"
             "<path d=\"M5.5 2v10.5M10.5 3.5v10.5\" stroke=\"#4d6b2e\" stroke-width=\"0.7\"/>"
             "<path d=\"M2.5 7c1.5-.8 2.5.8 4 0s2.5-1.4 3.8-.4 2 .6 3 0\" stroke=\"#3d7bd6\" fill=\"none\"/>";
        break;
    case 2:  // an open folder
        s +=
            "<path d=\"M1.5 13V3.5a1 1 0 0 1 1-1h3.5l1.5 1.5h5a1 1 0 0 1 1 1v1.5\" fill=\"#dd9b2a\" stroke=\"#9a6a10\" "
            "stroke-linejoin=\"round\"/>"
            "<path d=\"M1.5 13l2.3-6h11l-2.3 6z\" fill=\"#f7c857\" stroke=\"#9a6a10\" stroke-linejoin=\"round\"/>";
        break;
    default:  // a closed folder
        s += "<path d=\"M1.5 4a1 1 0 0 1 1-1h3.5l1.5 1.5h6a1 1 0 0 1 1 1V12.5a1 1 0 0 1-1 1h-11a1 1 0 0 1-1-1z\" "
             "fill=\"#f2b441\" stroke=\"#9a6a10\"/>"
             "<path d=\"M1.5 6.5h13\" stroke=\"#c98a16\"/>";
        break;
    }
    s += "</svg>";
    return s;
}

// A quiet landscape: sky, sun, far mountains, near hills, a row of tiles.
void drawLandscape(QPainter& p, const QRectF& r) {
    QLinearGradient sky(r.topLeft(), r.bottomLeft());
    sky.setColorAt(0.0, QColor(0x1b, 0x26, 0x52));
    sky.setColorAt(0.55, QColor(0x4a, 0x6f, 0xb5));
    sky.setColorAt(0.85, QColor(0xf3, 0xc4, 0x8b));
    sky.setColorAt(1.0, QColor(0xf7, 0xdc, 0xaa));
    p.fillRect(r, sky);

    // stars
    p.setPen(Qt::NoPen);
    const double stars[][2] = {{0.06, 0.10}, {0.18, 0.22}, {0.31, 0.07}, {0.47, 0.16}, {0.58, 0.05},
                               {0.72, 0.19}, {0.83, 0.09}, {0.93, 0.25}, {0.39, 0.28}, {0.66, 0.30}};
    for (const auto& s : stars) {
        p.setBrush(QColor(255, 255, 255, 170));
        p.drawEllipse(QPointF(r.left() + s[0] * r.width(), r.top() + s[1] * r.height()), 1.1, 1.1);
    }

    // sun low on the horizon
    const QPointF sun(r.left() + r.width() * 0.74, r.top() + r.height() * 0.70);
    QRadialGradient glow(sun, r.height() * 0.45);
    glow.setColorAt(0, QColor(255, 236, 180, 200));
    glow.setColorAt(1, QColor(255, 236, 180, 0));
    p.setBrush(glow);
    p.drawEllipse(sun, r.height() * 0.45, r.height() * 0.45);
    p.setBrush(QColor(0xff, 0xe6, 0xa8));
    p.drawEllipse(sun, r.height() * 0.09, r.height() * 0.09);

    auto ridge = [&](double base, double amp, double freq, double phase, const QColor& c) {
        QPainterPath path;
        path.moveTo(r.left(), r.bottom());
        for (int i = 0; i <= 64; ++i) {
            const double x = r.left() + r.width() * i / 64.0;
            const double t = i / 64.0;
            const double y = r.top() + r.height() * (base - amp * (0.6 * std::sin(t * freq + phase) +
                                                                   0.4 * std::sin(t * freq * 2.3 + phase * 1.7)));
            path.lineTo(x, y);
        }
        path.lineTo(r.right(), r.bottom());
        path.closeSubpath();
        p.setBrush(c);
        p.drawPath(path);
    };
    ridge(0.66, 0.12, 7.0, 0.4, QColor(0x5b, 0x4f, 0x86));
    ridge(0.74, 0.07, 5.0, 2.1, QColor(0x3f, 0x6e, 0x5a));
    ridge(0.82, 0.04, 4.0, 1.0, QColor(0x4f, 0x93, 0x4c));

    // a row of ground tiles along the bottom
    const double tile = qMax(8.0, r.height() * 0.11);
    const double top = r.bottom() - tile;
    for (int i = 0; r.left() + i * tile < r.right(); ++i) {
        const QRectF t(r.left() + i * tile, top, tile, tile);
        const bool path = (i % 7) == 3;
        p.setBrush(path ? QColor(0xd8, 0xb9, 0x7c) : QColor(0x5f, 0xa8, 0x4a));
        p.drawRect(t);
        p.setBrush(path ? QColor(0xc4, 0xa2, 0x66) : QColor(0x4e, 0x93, 0x3c));
        p.drawRect(QRectF(t.left() + tile * 0.15, t.top() + tile * 0.55, tile * 0.18, tile * 0.18));
        p.drawRect(QRectF(t.left() + tile * 0.6, t.top() + tile * 0.25, tile * 0.14, tile * 0.14));
        p.setBrush(QColor(0, 0, 0, 28));
        p.drawRect(QRectF(t.right() - 1, t.top(), 1, tile));
    }
}

}  // namespace

QImage greyedImage(const QImage& image) {
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const QRgb c = line[x];
            const int grey = qGray(c);
            const int light = 150 + grey * 95 / 255;  // pale, low contrast
            line[x] = qRgba(light, light, light, qAlpha(c) * 3 / 4);
        }
    }
    out.setDevicePixelRatio(image.devicePixelRatio());
    return out.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QPixmap toolPixmap(Tool tool, bool greyed, qreal dpr) {
    QImage image = renderSvg(toolSvg(tool), kToolPictureSize, dpr);
    if (greyed) image = greyedImage(image);
    return QPixmap::fromImage(image);
}

QPixmap treeImage(int index, qreal dpr) { return QPixmap::fromImage(renderSvg(treeSvg(index), 16, dpr)); }

QByteArray logoSvg() {
    return QByteArrayLiteral(
        "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 64 64\">"
        "<defs><linearGradient id=\"bg\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\">"
        "<stop offset=\"0\" stop-color=\"#4668b8\"/><stop offset=\"1\" stop-color=\"#1b2a5c\"/></linearGradient>"
        "<linearGradient id=\"vane\" x1=\"0\" y1=\"0\" x2=\"1\" y2=\"1\">"
        "<stop offset=\"0\" stop-color=\"#ffffff\"/><stop offset=\"1\" stop-color=\"#d4def5\"/></linearGradient>"
        "</defs>"
        "<rect x=\"2\" y=\"2\" width=\"60\" height=\"60\" rx=\"13\" fill=\"url(#bg)\"/>"
        "<rect x=\"8\" y=\"44\" width=\"12\" height=\"12\" fill=\"#5fa84a\"/>"
        "<rect x=\"20\" y=\"44\" width=\"12\" height=\"12\" fill=\"#4e933c\"/>"
        "<rect x=\"32\" y=\"44\" width=\"12\" height=\"12\" fill=\"#5fa84a\"/>"
        "<rect x=\"44\" y=\"44\" width=\"12\" height=\"12\" fill=\"#3d7bd6\"/>"
        "<path d=\"M8 44h48\" stroke=\"#1b2a5c\" stroke-width=\"0.8\" opacity=\"0.6\"/>"
        "<path d=\"M54 6C40 9 26 20 21 39c3-1 6-3 9-5l-3-1c4-1 7-3 10-6l-4-.5c4-2 7-5 10-9l-4 .5c4-4 7-9 "
        "11-13z\" fill=\"url(#vane)\" stroke=\"#9fb2dc\" stroke-width=\"0.8\" stroke-linejoin=\"round\"/>"
        "<path d=\"M53 7.5C40 16 29 28 18 46\" stroke=\"#8ea3d1\" stroke-width=\"1.6\" fill=\"none\" "
        "stroke-linecap=\"round\"/>"
        "<path d=\"M18 46l-3.5 5.5 1.2-6.2z\" fill=\"#2b2f3a\"/>"
        "<circle cx=\"13.8\" cy=\"52.4\" r=\"1.4\" fill=\"#2b2f3a\"/>"
        "</svg>");
}

QPixmap logoPixmap(int size, qreal dpr) { return QPixmap::fromImage(renderSvg(logoSvg(), size, dpr)); }

QIcon applicationIcon() {
    static const QIcon icon = [] {
        QIcon made;
        for (int size : {16, 24, 32, 48, 64, 128, 256}) made.addPixmap(logoPixmap(size));
        return made;
    }();
    return icon;
}

QImage splashPicture() { return storedPicture(QByteArrayLiteral("splash 496x267"), drawSplash); }

void setStoredPictureFolder(const QString& folder) {
    artFolderOverride() = folder.isEmpty() || folder.endsWith('/') ? folder : folder + '/';
}

namespace {
QImage drawSplash() {
    QImage image(496, 267, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    drawLandscape(p, QRectF(0, 0, 496, 267));

    // the logo and the name
    p.drawPixmap(QRect(34, 46, 104, 104), logoPixmap(104, 1.0));
    QFont name(QStringLiteral("DejaVu Serif"));
    name.setPixelSize(54);
    name.setBold(true);
    p.setFont(name);
    p.setPen(QColor(0, 0, 0, 90));
    p.drawText(QPointF(159, 113), QStringLiteral("Quillmark"));
    p.setPen(QColor(0xfd, 0xf6, 0xe3));
    p.drawText(QPointF(156, 110), QStringLiteral("Quillmark"));

    QFont sub(QStringLiteral("DejaVu Sans"));
    sub.setPixelSize(16);
    p.setFont(sub);
    p.setPen(QColor(0xe3, 0xe9, 0xf7));
    p.drawText(QPointF(160, 138), QStringLiteral("Editor de jogos RPG 2D"));
    sub.setPixelSize(12);
    p.setFont(sub);
    p.setPen(QColor(0xc8, 0xd2, 0xec));
    p.drawText(QPointF(160, 158), QStringLiteral("Versão 1.0"));

    p.setPen(QPen(QColor(0x0f, 0x18, 0x36), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, 495, 266));
    p.end();
    return image;
}
}  // namespace

QImage aboutBanner(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    drawLandscape(p, QRectF(0, 0, width, height));
    QFont name(QStringLiteral("DejaVu Serif"));
    name.setPixelSize(qMax(12, height * 36 / 100));
    name.setBold(true);
    p.setFont(name);
    const QRectF text(0, 0, width, height * 0.62);
    p.setPen(QColor(0, 0, 0, 90));
    p.drawText(text.translated(2, 2), Qt::AlignCenter, QStringLiteral("Quillmark"));
    p.setPen(QColor(0xfd, 0xf6, 0xe3));
    p.drawText(text, Qt::AlignCenter, QStringLiteral("Quillmark"));
    p.end();
    return image;
}

QImage aboutTileStrip(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(0x3f, 0x6e, 0x5a));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const int cell = height;
    for (int i = 0; i * cell < width; ++i) {
        const QRectF t(i * cell, 0, cell, cell);
        switch (i % 5) {
        case 0:  // grass
            p.fillRect(t, QColor(0x5f, 0xa8, 0x4a));
            p.fillRect(QRectF(t.left() + cell * .2, cell * .5, cell * .15, cell * .15), QColor(0x4e, 0x93, 0x3c));
            p.fillRect(QRectF(t.left() + cell * .6, cell * .2, cell * .12, cell * .12), QColor(0x4e, 0x93, 0x3c));
            break;
        case 1:  // water
            p.fillRect(t, QColor(0x3d, 0x7b, 0xd6));
            p.setPen(QPen(QColor(0xbf, 0xdb, 0xff), cell * 0.06));
            p.drawLine(QPointF(t.left() + cell * .15, cell * .35), QPointF(t.left() + cell * .45, cell * .35));
            p.drawLine(QPointF(t.left() + cell * .5, cell * .7), QPointF(t.left() + cell * .85, cell * .7));
            p.setPen(Qt::NoPen);
            break;
        case 2:  // sand
            p.fillRect(t, QColor(0xe6, 0xcf, 0x94));
            p.setBrush(QColor(0xcf, 0xb5, 0x74));
            p.drawEllipse(QPointF(t.left() + cell * .3, cell * .3), cell * .05, cell * .05);
            p.drawEllipse(QPointF(t.left() + cell * .7, cell * .65), cell * .05, cell * .05);
            break;
        case 3:  // a tree on grass
            p.fillRect(t, QColor(0x5f, 0xa8, 0x4a));
            p.setBrush(QColor(0x6b, 0x4a, 0x2b));
            p.drawRect(QRectF(t.left() + cell * .44, cell * .6, cell * .12, cell * .3));
            p.setBrush(QColor(0x2f, 0x7a, 0x3a));
            p.drawEllipse(QPointF(t.left() + cell * .5, cell * .42), cell * .3, cell * .28);
            break;
        default:  // stone wall
            p.fillRect(t, QColor(0x8d, 0x8f, 0x99));
            p.setPen(QPen(QColor(0x5e, 0x60, 0x6b), 1));
            p.drawLine(QPointF(t.left(), cell * .5), QPointF(t.right(), cell * .5));
            p.drawLine(QPointF(t.left() + cell * .5, 0), QPointF(t.left() + cell * .5, cell * .5));
            p.drawLine(QPointF(t.left() + cell * .25, cell * .5), QPointF(t.left() + cell * .25, cell));
            p.drawLine(QPointF(t.left() + cell * .75, cell * .5), QPointF(t.left() + cell * .75, cell));
            p.setPen(Qt::NoPen);
            break;
        }
    }
    p.end();
    return image;
}

}  // namespace quillmark::art
