#include "ui/common/uWindowTitle.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QFontMetrics>

namespace quillmark {

namespace {

class TTitleFitter : public QObject {
public:
    explicit TTitleFitter(QObject* owner) : QObject(owner) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show)
            if (auto* dialog = qobject_cast<QDialog*>(watched); dialog && dialog->isWindow()) fitTitle(dialog);
        return false;
    }
};

}  // namespace

int widthForTitle(const QWidget* window) {
    QFont font = window->font();
    font.setBold(true);  // title bars mostly draw their caption bold
    const QFontMetrics metrics(font);
    const int bar = metrics.height() + 10;  // a title bar's height; its icon and buttons are about square
    return metrics.horizontalAdvance(window->windowTitle()) + 4 * bar + 24;
}

void fitTitle(QWidget* window) {
    if (!window || window->windowTitle().isEmpty()) return;
    const int needed = widthForTitle(window);
    if (window->width() >= needed && window->minimumWidth() >= needed) return;
    if (window->maximumWidth() < needed) window->setMaximumWidth(needed);  // a fixed width grows with it
    if (window->minimumWidth() < needed) window->setMinimumWidth(needed);
    if (window->width() < needed) window->resize(needed, window->height());
}

void fitDialogTitles(QObject* owner) { qApp->installEventFilter(new TTitleFitter(owner)); }

}  // namespace quillmark
