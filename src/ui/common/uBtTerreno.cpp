#include "ui/common/uBtTerreno.h"

#include <QMouseEvent>
#include <QPainter>

namespace quillmark {

TTile::TTile(QWidget* parent) : QWidget(parent) {
    setFixedSize(kSize, kSize);
    setAttribute(Qt::WA_Hover, false);
    setCursor(Qt::PointingHandCursor);
}

void TTile::setPicture(const Picture& picture) {
    picture_ = picture;
    update();
}

void TTile::clearPicture() {
    picture_.clear();
    update();
}

void TTile::setSelected(bool on) {
    if (selected_ == on) return;
    selected_ = on;
    update();
}

void TTile::click() {
    if (clickAction) clickAction(*this);
}

void TTile::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (!picture_.isEmpty()) picture_.draw(p, QPoint(0, 0));
    if (selected_ || hovered_) {
        // a 3-pixel frame through (1, 1), (1, 38), (38, 38), (38, 1)
        p.setPen(QPen(QColor(0xe8, 0x2f, 0x24), 3, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRect(1, 1, 37, 37));
    }
}

void TTile::enterEvent(QEnterEvent*) {
    hovered_ = true;
    update();
}

void TTile::leaveEvent(QEvent*) {
    hovered_ = false;
    update();
}

void TTile::mousePressEvent(QMouseEvent* event) { pressed_ = event->button() == Qt::LeftButton; }

void TTile::mouseReleaseEvent(QMouseEvent* event) {
    const bool clicked = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    if (clicked) click();
}

}  // namespace quillmark
