#include "ui/tiles/uTilePictureBox.h"

#include <QMouseEvent>
#include <QPainter>

namespace quillmark {

TTilePictureBox::TTilePictureBox(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    setFixedSize(kWidth, kHeight);
    setCursor(Qt::PointingHandCursor);
    setToolTip(QStringLiteral("Clique na imagem para escolher um arquivo"));
}

void TTilePictureBox::setPicture(const Picture& picture) {
    const bool transparent = picture_.transparent();
    picture_ = picture;
    picture_.setTransparent(transparent);
    update();
}

void TTilePictureBox::setTransparent(bool on) {
    picture_.setTransparent(on);
    update();
}

void TTilePictureBox::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    if (picture_.isEmpty()) return;
    QPainter p(this);
    const QRect area = contentsRect();
    QSize size = picture_.size();
    if (size.width() > area.width() || size.height() > area.height()) size.scale(area.size(), Qt::KeepAspectRatio);
    QRect target(QPoint(0, 0), size);
    target.moveCenter(area.center());
    if (size == picture_.size())
        picture_.draw(p, target.topLeft());
    else
        picture_.draw(p, target);
}

void TTilePictureBox::mousePressEvent(QMouseEvent* event) { pressed_ = event->button() == Qt::LeftButton; }

void TTilePictureBox::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    if (click) emit clicked();
}

}  // namespace quillmark
