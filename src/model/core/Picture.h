#pragma once
// A picture: one image plus the way it is drawn. Pictures are read from and
// written to files by the extension of the file name (".bmp" is a Windows
// bitmap, ".jpg" a JPEG …). A picture may be drawn transparent: the colour of
// its bottom-left pixel (white for a monochrome picture) is then left out.
// The transparent form is prepared once, on the first draw after a change,
// and reused by every later draw.
#include "model/core/Persistent.h"

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QString>
#include <functional>

class QPainter;
class QPoint;

namespace quillmark {

class Picture : public TPersistent {
public:
    Picture() = default;
    explicit Picture(QImage image, bool transparent = false);
    // Copies the image and the transparency, never the change hook.
    Picture(const Picture& other);
    Picture& operator=(const Picture& other);
    ~Picture() override = default;

    const char* ClassName() const override { return "TBitmap"; }

    // --- files -------------------------------------------------------------
    // Reads a picture file, decoded by the extension of its name. Errors:
    // "Unknown picture file extension (.%s)", "Cannot open file "%s". %s",
    // "Bitmap image is not valid" (or "<format> image is not valid").
    // On failure the picture is unchanged.
    void LoadFromFile(const QString& path);
    static Picture fromFile(const QString& path);
    // Writes the picture in the format the extension of the name asks for
    // (a JPEG picture stored as "x.bmp" becomes a bitmap), atomically.
    void SaveToFile(const QString& path) const;

    // Decoding and encoding in memory, by format name ("bmp", "jpeg", "png" …).
    static QImage decode(const QByteArray& bytes, const QByteArray& format);
    static QByteArray encode(const QImage& image, const QByteArray& format);
    // The format a file name asks for, or an empty array for an unknown extension.
    static QByteArray readFormatFor(const QString& fileName);
    static QByteArray writeFormatFor(const QString& fileName);

    // --- content -----------------------------------------------------------
    bool isEmpty() const { return image_.isNull(); }
    int width() const { return image_.width(); }
    int height() const { return image_.height(); }
    QSize size() const { return image_.size(); }
    const QImage& image() const { return image_; }
    void setImage(const QImage& image);
    void clear();  // an empty picture (transparency kept)

    // Copies another picture's image and transparency; nothing gives an empty picture.
    void Assign(const Picture* source);

    bool transparent() const { return transparent_; }
    void setTransparent(bool on);
    bool monochrome() const;
    // The colour left out when drawn transparent (opaque RGB).
    QRgb transparentColor() const;

    // --- drawing -----------------------------------------------------------
    // The image as it is drawn: premultiplied ARGB, with the transparent colour
    // cleared when the picture is transparent. Prepared once after each change.
    const QImage& drawImage() const;
    void draw(QPainter& painter, const QPoint& topLeft) const;
    void draw(QPainter& painter, const QRect& target) const;  // stretched

    // Called after every change of the image or the transparency (the owning
    // bitmap list hooks itself in here).
    std::function<void()> onChange;

private:
    void changed();

    QImage image_;
    bool transparent_ = false;
    mutable QImage prepared_;
    mutable bool preparedValid_ = false;
};

}  // namespace quillmark
