#pragma once
// A picture box of the event windows: shows one picture centred in a fixed
// square (drawn with its transparent colour left out when the picture says
// so; a picture larger than the square is shrunk to fit) and reports clicks.
#include "model/core/Picture.h"

#include <QFrame>

namespace quillmark {

class TEvPictureBox : public QFrame {
    Q_OBJECT
public:
    // side: the square's inner size in pixels; bevelled: a sunken bevel around it.
    TEvPictureBox(int side, bool bevelled, QWidget* parent = nullptr);

    Picture& picture() { return picture_; }
    const Picture& picture() const { return picture_; }
    void setPicture(const Picture& picture);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    Picture picture_;
};

}  // namespace quillmark
