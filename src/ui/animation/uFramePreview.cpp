#include "ui/animation/uFramePreview.h"

#include <QPainter>

namespace quillmark {

void paintFrame(QPainter& painter, const QRect& box, const Picture& picture, bool stretch) {
    if (picture.isEmpty()) return;
    painter.save();
    painter.setClipRect(box);
    if (stretch) {
        picture.draw(painter, box);
    } else {
        const QPoint topLeft(box.x() + (box.width() - picture.width()) / 2,
                             box.y() + (box.height() - picture.height()) / 2);
        picture.draw(painter, topLeft);
    }
    painter.restore();
}

TFramePreview::TFramePreview(bool stretch, QWidget* parent) : QWidget(parent), stretch_(stretch) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void TFramePreview::setPicture(const Picture& picture) {
    picture_ = picture;
    picture_.setTransparent(true);
    update();
}

void TFramePreview::clear() {
    picture_.clear();
    update();
}

void TFramePreview::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintFrame(painter, rect(), picture_, stretch_);
}

}  // namespace quillmark
