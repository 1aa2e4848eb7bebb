#include "model/core/Picture.h"

#include "model/core/Error.h"
#include "model/core/Files.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>

namespace quillmark {

namespace {

QString extensionOf(const QString& fileName) {
    int slash = std::max(fileName.lastIndexOf('/'), fileName.lastIndexOf('\\'));
    int dot = fileName.lastIndexOf('.');
    if (dot <= slash) return QString();
    return fileName.mid(dot + 1);
}

QByteArray formatForExtension(const QString& fileName, const QList<QByteArray>& supported) {
    const QByteArray ext = extensionOf(fileName).toLower().toLatin1();
    if (ext.isEmpty()) return {};
    if (ext == "bmp" || ext == "dib") return "bmp";
    if (ext == "jpg" || ext == "jpeg" || ext == "jpe" || ext == "jfif")
        return supported.contains("jpeg") ? "jpeg" : QByteArray();
    if (ext == "tif") return supported.contains("tiff") ? "tiff" : QByteArray();
    if (supported.contains(ext)) return ext;
    return {};
}

[[noreturn]] void unknownExtension(const QString& fileName) {
    throw Error(formatMessage("Unknown picture file extension (.%s)", {extensionOf(fileName).toStdString()}));
}

std::string invalidText(const QByteArray& format) {
    if (format == "bmp") return "Bitmap image is not valid";
    if (format == "ico" || format == "cur") return "Icon image is not valid";
    return format.toUpper().toStdString() + " image is not valid";
}

// Pictures are opaque: transparency is the bottom-left colour, not an alpha
// channel. A picture with an alpha channel (PNG, GIF, icons) is flattened so
// that its see-through pixels take one key colour, which then draws transparent.
QImage flatten(const QImage& image) {
    if (!image.hasAlphaChannel()) return image;
    QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    bool anyOpaque = false;
    for (int y = 0; y < argb.height() && !anyOpaque; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            if (qAlpha(line[x]) >= 128) {
                anyOpaque = true;
                break;
            }
    }
    QImage out(argb.size(), QImage::Format_RGB32);
    const QRgb key = qRgb(255, 0, 255);
    for (int y = 0; y < argb.height(); ++y) {
        const QRgb* src = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        QRgb* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            // an alpha channel that is zero everywhere carries no meaning (some
            // writers leave it so): the colours are kept as they are
            if (!anyOpaque || qAlpha(src[x]) >= 128)
                dst[x] = 0xFF000000u | (src[x] & 0x00FFFFFFu);
            else
                dst[x] = key;
        }
    }
    return out;
}

}  // namespace

Picture::Picture(QImage image, bool transparent) : image_(std::move(image)), transparent_(transparent) {}

Picture::Picture(const Picture& other)
    : TPersistent(), image_(other.image_), transparent_(other.transparent_), prepared_(other.prepared_),
      preparedValid_(other.preparedValid_) {}

Picture& Picture::operator=(const Picture& other) {
    if (this != &other) Assign(&other);
    return *this;
}

QByteArray Picture::readFormatFor(const QString& fileName) {
    static const QList<QByteArray> supported = QImageReader::supportedImageFormats();
    return formatForExtension(fileName, supported);
}

QByteArray Picture::writeFormatFor(const QString& fileName) {
    static const QList<QByteArray> supported = QImageWriter::supportedImageFormats();
    return formatForExtension(fileName, supported);
}

QImage Picture::decode(const QByteArray& bytes, const QByteArray& format) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setAutoDetectImageFormat(false);
    QImage image = reader.read();
    if (image.isNull()) throw Error(invalidText(format));
    return flatten(image);
}

QByteArray Picture::encode(const QImage& image, const QByteArray& format) {
    if (image.isNull()) throw Error("Uma figura vazia não pode ser gravada.");
    QImage out = image;
    const bool indexed = image.format() == QImage::Format_Mono || image.format() == QImage::Format_MonoLSB ||
                         image.format() == QImage::Format_Indexed8;
    if (format == "jpeg" || (format == "bmp" && !indexed) || image.hasAlphaChannel())
        out = flatten(image).convertToFormat(QImage::Format_RGB32);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (format == "jpeg") writer.setQuality(90);
    if (!writer.write(out))
        throw Error(formatMessage("A figura não pode ser gravada: %s", {writer.errorString().toStdString()}));
    return bytes;
}

void Picture::LoadFromFile(const QString& path) {
    const QByteArray format = readFormatFor(path);
    if (format.isEmpty()) unknownExtension(path);
    const QByteArray bytes = readFile(path);  // "Cannot open file "%s". %s"
    setImage(decode(bytes, format));
}

Picture Picture::fromFile(const QString& path) {
    Picture p;
    p.LoadFromFile(path);
    return p;
}

void Picture::SaveToFile(const QString& path) const {
    const QByteArray format = writeFormatFor(path);
    if (format.isEmpty()) unknownExtension(path);
    writeFileAtomic(path, encode(image_, format));
}

void Picture::setImage(const QImage& image) {
    image_ = image;
    changed();
}

void Picture::clear() {
    image_ = QImage();
    changed();
}

void Picture::Assign(const Picture* source) {
    if (source == this) return;
    if (source) {
        image_ = source->image_;
        transparent_ = source->transparent_;
        // The source's prepared form serves this copy too; it is taken after
        // the change, which forgets the old one.
        const QImage prepared = source->prepared_;
        const bool valid = source->preparedValid_;
        changed();
        prepared_ = prepared;
        preparedValid_ = valid;
    } else {
        image_ = QImage();
        changed();
    }
}

void Picture::setTransparent(bool on) {
    if (on == transparent_) return;
    transparent_ = on;
    changed();
}

bool Picture::monochrome() const { return image_.depth() == 1; }

QRgb Picture::transparentColor() const {
    if (image_.isNull()) return qRgb(0, 0, 0);
    if (monochrome()) return qRgb(255, 255, 255);
    return image_.pixel(0, image_.height() - 1) | 0xFF000000u;
}

const QImage& Picture::drawImage() const {
    if (preparedValid_) return prepared_;
    if (image_.isNull()) {
        prepared_ = QImage();
    } else {
        prepared_ = image_.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        if (transparent_) {
            const QRgb key = transparentColor() & 0x00FFFFFFu;
            for (int y = 0; y < prepared_.height(); ++y) {
                QRgb* line = reinterpret_cast<QRgb*>(prepared_.scanLine(y));
                for (int x = 0; x < prepared_.width(); ++x)
                    if (qAlpha(line[x]) == 255 && (line[x] & 0x00FFFFFFu) == key) line[x] = 0;
            }
        }
    }
    preparedValid_ = true;
    return prepared_;
}

void Picture::draw(QPainter& painter, const QPoint& topLeft) const {
    const QImage& img = drawImage();
    if (!img.isNull()) painter.drawImage(topLeft, img);
}

void Picture::draw(QPainter& painter, const QRect& target) const {
    const QImage& img = drawImage();
    if (!img.isNull()) painter.drawImage(target, img);
}

void Picture::changed() {
    preparedValid_ = false;
    prepared_ = QImage();
    if (onChange) onChange();
}

}  // namespace quillmark
