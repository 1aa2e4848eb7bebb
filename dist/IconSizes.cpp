// quillmark-icons OUTDIR: the editor's logo for the desktop's icon theme, as
// OUTDIR/hicolor/<size>x<size>/apps/quillmark.png in the usual sizes and
// OUTDIR/hicolor/scalable/apps/quillmark.svg.
#include "ui/common/uArt.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: quillmark-icons OUTDIR\n");
        return 2;
    }
    const QString out = QDir(QString::fromLocal8Bit(argv[1])).absolutePath() + QStringLiteral("/hicolor/");
    const QByteArray svg = quillmark::art::logoSvg();
    QSvgRenderer renderer(svg);
    if (!renderer.isValid()) {
        std::fprintf(stderr, "quillmark-icons: the logo does not render\n");
        return 1;
    }
    auto write = [](const QString& path, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    };
    if (!write(out + QStringLiteral("scalable/apps/quillmark.svg"), svg)) return 1;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256, 512}) {
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(0, 0, size, size));
        painter.end();
        const QString folder = out + QStringLiteral("%1x%1/apps/").arg(size);
        QDir().mkpath(folder);
        if (!image.save(folder + QStringLiteral("quillmark.png"), "PNG")) return 1;
    }
    return 0;
}
