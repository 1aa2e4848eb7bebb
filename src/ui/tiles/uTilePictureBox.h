#pragma once
// The picture box of the tile editors: 87 x 84 pixels with a sunken edge,
// showing one picture in its centre (left out where the picture is drawn
// transparent; a picture larger than the box is shrunk to fit). A click with
// the left button asks for another picture.
#include "model/core/Picture.h"

#include <QFrame>

namespace quillmark {

class TTilePictureBox : public QFrame {
    Q_OBJECT
public:
    static constexpr int kWidth = 87;
    static constexpr int kHeight = 84;

    explicit TTilePictureBox(QWidget* parent = nullptr);

    const Picture& picture() const { return picture_; }
    void setPicture(const Picture& picture);
    // Draws the picture with or without its transparent colour.
    void setTransparent(bool on);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    Picture picture_;
    bool pressed_ = false;
};

}  // namespace quillmark
