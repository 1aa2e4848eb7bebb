#include "ui/common/uBands.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>
#include <QToolBar>

namespace quillmark {

// --- TToolButton -------------------------------------------------------------------

TToolButton::TToolButton(art::Tool tool, const QString& hint, QWidget* parent) : QToolButton(parent), tool_(tool) {
    setAutoRaise(true);
    setFixedSize(kSize, kSize);
    setIconSize(QSize(art::kToolPictureSize, art::kToolPictureSize));
    setToolTip(hint);
    setObjectName(hint);
    setFocusPolicy(Qt::NoFocus);
    for (qreal dpr : {1.0, 2.0}) {
        colour_.addPixmap(art::toolPixmap(tool, false, dpr));
        grey_.addPixmap(art::toolPixmap(tool, true, dpr));
    }
    refreshPicture();
}

void TToolButton::setGreyed(bool on) {
    greyed_ = on;
    refreshPicture();
}

void TToolButton::refreshPicture() {
    const bool grey = greyed_ && !hovered_;
    if (grey == showsGrey_ && !icon().isNull()) return;
    showsGrey_ = grey;
    setIcon(grey ? grey_ : colour_);
}

void TToolButton::enterEvent(QEnterEvent* event) {
    hovered_ = true;
    refreshPicture();
    QToolButton::enterEvent(event);
}

void TToolButton::leaveEvent(QEvent* event) {
    hovered_ = false;
    refreshPicture();
    QToolButton::leaveEvent(event);
}

// --- TBand ---------------------------------------------------------------------------

TBand::TBand(QWidget* parent) : QWidget(parent), toolBar_(new QToolBar(this)) {
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);
    toolBar_->setIconSize(QSize(art::kToolPictureSize, art::kToolPictureSize));
    toolBar_->setContentsMargins(0, 0, 0, 0);
    toolBar_->setStyleSheet(QStringLiteral("QToolBar { border: none; background: transparent; spacing: 1px; }"));
    toolBar_->move(kGripWidth, 0);
    setCursor(Qt::ArrowCursor);
}

void TBand::addButton(TToolButton* button) {
    toolBar_->addWidget(button);
    toolBar_->adjustSize();
    const QSize tb = toolBar_->sizeHint();
    toolBar_->resize(tb);
    resize(kGripWidth + tb.width() + 2, qMax(tb.height(), TToolButton::kSize) + 2);
    toolBar_->move(kGripWidth, (height() - tb.height()) / 2);
}

void TBand::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QStyleOption opt;
    opt.initFrom(this);
    opt.rect = QRect(1, 3, kGripWidth - 3, height() - 6);
    opt.state |= QStyle::State_Horizontal;
    style()->drawPrimitive(QStyle::PE_IndicatorToolBarHandle, &opt, &p, this);
    // a light separator at the right end of the band
    p.setPen(palette().color(QPalette::Mid));
    p.drawLine(width() - 1, 4, width() - 1, height() - 5);
}

void TBand::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && event->position().x() < kGripWidth) {
        dragging_ = true;
        grabX_ = qRound(event->position().x());
        setCursor(Qt::SizeHorCursor);
    }
}

void TBand::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_) {
        setCursor(event->position().x() < kGripWidth ? Qt::SizeAllCursor : Qt::ArrowCursor);
        return;
    }
    const int newLeft = mapToParent(event->position().toPoint()).x() - grabX_;
    if (onDragged) onDragged(*this, newLeft);
}

void TBand::mouseReleaseEvent(QMouseEvent*) {
    dragging_ = false;
    setCursor(Qt::ArrowCursor);
}

// --- TBandBar --------------------------------------------------------------------------

TBandBar::TBandBar(QWidget* parent) : QWidget(parent) {
    setFixedHeight(kHeight);
    for (int i = 0; i < kBands; ++i) {
        auto* band = new TBand(this);
        band->setObjectName(QStringLiteral("Band%1").arg(i + 1));
        band->setMouseTracking(true);
        band->onDragged = [this, i](TBand&, int left) { moveBand(i, left); };
        bands_[static_cast<size_t>(i)] = band;
    }
}

std::array<int, TBandBar::kBands> TBandBar::lefts() const {
    std::array<int, kBands> out{};
    for (int i = 0; i < kBands; ++i) out[static_cast<size_t>(i)] = bands_[static_cast<size_t>(i)]->x();
    return out;
}

void TBandBar::setLefts(const std::array<int, kBands>& lefts) {
    int minLeft = 0;
    for (int i = 0; i < kBands; ++i) {
        TBand* b = bands_[static_cast<size_t>(i)];
        const int left = qMax(minLeft, lefts[static_cast<size_t>(i)]);
        b->move(left, (kHeight - b->height()) / 2);
        minLeft = left + b->width();
    }
}

void TBandBar::packLefts() {
    std::array<int, kBands> zero{};
    setLefts(zero);
}

void TBandBar::moveBand(int index, int newLeft) {
    TBand* b = bands_[static_cast<size_t>(index)];
    const int minLeft = index == 0 ? 0 : bands_[static_cast<size_t>(index - 1)]->geometry().right() + 1;
    int maxLeft = index == kBands - 1 ? qMax(minLeft, width() - b->width())
                                      : bands_[static_cast<size_t>(index + 1)]->x() - b->width();
    maxLeft = qMax(minLeft, maxLeft);
    b->move(qBound(minLeft, newLeft, maxLeft), b->y());
}

QSize TBandBar::sizeHint() const {
    int w = 0;
    for (TBand* b : bands_) w = qMax(w, b->geometry().right() + 1);
    return QSize(w, kHeight);
}

}  // namespace quillmark
