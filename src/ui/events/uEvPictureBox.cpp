#include "ui/events/uEvPictureBox.h"

#include <QMouseEvent>
#include <QPainter>

namespace quillmark {

TEvPictureBox::TEvPictureBox(int side, bool bevelled, QWidget* parent) : QFrame(parent) {
    if (bevelled) {
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        setLineWidth(2);
    }
    const int border = bevelled ? 2 * frameWidth() : 0;
    setFixedSize(side + border, side + border);
    setCursor(Qt::PointingHandCursor);
}

void TEvPictureBox::setPicture(const Picture& picture) {
    picture_ = picture;
    update();
}

void TEvPictureBox::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    if (picture_.isEmpty()) return;
    QPainter painter(this);
    const QRect area = contentsRect();
    painter.setClipRect(area);
    QSize size = picture_.size();
    if (size.width() > area.width() || size.height() > area.height())
        size = size.scaled(area.size(), Qt::KeepAspectRatio);
    const QRect target(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2,
                       size.width(), size.height());
    if (target.size() == picture_.size())
        picture_.draw(painter, target.topLeft());
    else
        picture_.draw(painter, target);
}

void TEvPictureBox::mouseReleaseEvent(QMouseEvent* event) {
    QFrame::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit clicked();
}

}  // namespace quillmark
