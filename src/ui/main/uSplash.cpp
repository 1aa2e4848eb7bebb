#include "ui/main/uSplash.h"

#include "ui/common/uArt.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QPropertyAnimation>
#include <QScreen>

namespace quillmark {

TFormSplash::TFormSplash(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      picture_(art::splashPicture()), fade_(new QPropertyAnimation(this, "windowOpacity", this)) {
    setObjectName(QStringLiteral("FormSplash"));
    setFixedSize(kWidth, kHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
    fade_->setDuration(kFadeMs);
    fade_->setStartValue(0.0);
    fade_->setEndValue(1.0);
}

void TFormSplash::showSplash() {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect r(QPoint(0, 0), size());
        r.moveCenter(screen->geometry().center());
        move(r.left(), r.top() - 20);
    }
    setWindowOpacity(0.0);
    show();
    fade_->start();
}

void TFormSplash::hideBeforeDialogs() { qApp->installEventFilter(this); }

bool TFormSplash::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && watched != this && watched->isWidgetType()) {
        const auto* window = static_cast<QWidget*>(watched);
        if (window->isWindow() && (window->isModal() || window->windowType() == Qt::Dialog)) {
            qApp->removeEventFilter(this);
            hide();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TFormSplash::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(QPoint(0, 0), picture_);
}

}  // namespace quillmark
