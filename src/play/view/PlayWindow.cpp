#include "play/view/PlayWindow.h"

#include "model/core/Text.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

namespace quillmark::play {

std::optional<Key> gameKey(int qtKey, int* choice) {
    if (qtKey >= Qt::Key_1 && qtKey <= Qt::Key_9) {
        if (choice) *choice = qtKey - Qt::Key_0;
        return Key::Choice;
    }
    switch (qtKey) {
    case Qt::Key_K:
        return Key::Attack;
    case Qt::Key_M:
        return Key::Magic;
    case Qt::Key_I:
        return Key::Item;
    case Qt::Key_E:
        return Key::Defend;
    case Qt::Key_F:
        return Key::Flee;
    case Qt::Key_Backspace:
    case Qt::Key_X:
        return Key::Back;
    case Qt::Key_Up:
    case Qt::Key_W:
        return Key::Up;
    case Qt::Key_Down:
    case Qt::Key_S:
        return Key::Down;
    case Qt::Key_Left:
    case Qt::Key_A:
        return Key::Left;
    case Qt::Key_Right:
    case Qt::Key_D:
        return Key::Right;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Z:
        return Key::Action;
    default:
        return std::nullopt;
    }
}

PlayWindow::PlayWindow(std::unique_ptr<GameData> data, std::uint32_t seed)
    : data_(std::move(data)), game_(*data_, seed) {
    QString title = fromCp1252(data_->project.ProjectName);
    if (title.isEmpty()) title = QFileInfo(data_->projectFile).completeBaseName();
    setTitle(title);
    // Twice the game's pixels when the screen has room, else once.
    QSize size(kViewWidth * 2, kViewHeight * 2);
    if (const QScreen* s = screen()) {
        const QSize room = s->availableSize() - QSize(40, 80);
        if (room.width() < size.width() || room.height() < size.height()) size = QSize(kViewWidth, kViewHeight);
    }
    resize(size);
    setMinimumSize(QSize(320, 240));
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(1000 / kFramesPerSecond / 2);
    connect(&timer_, &QTimer::timeout, this, [this] { advance(); });
    clock_.start();
    timer_.start();
}

void PlayWindow::advance() {
    // Fixed frames of 1/60 s, as many as the clock says are due (a few at most
    // after a stall, so the game never races to catch up).
    const qint64 due = clock_.elapsed() * kFramesPerSecond / 1000;
    if (due - played_ > 5) played_ = due - 5;
    bool ticked = false;
    while (played_ < due) {
        game_.tick();
        ++played_;
        ticked = true;
    }
    if (ticked) update();
}

void PlayWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    renderer_.paint(p, size(), game_);
    if (!painted_) {
        painted_ = true;
        if (onFirstFrame) QTimer::singleShot(0, this, onFirstFrame);
    }
}

void PlayWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    int choice = 0;
    const auto key = gameKey(event->key(), &choice);
    if (!key) return;
    if (!event->isAutoRepeat()) game_.press(*key, choice);
    game_.hold(*key, true);
}

void PlayWindow::keyReleaseEvent(QKeyEvent* event) {
    if (event->isAutoRepeat()) return;
    if (const auto key = gameKey(event->key())) game_.hold(*key, false);
}

void PlayWindow::focusOutEvent(QFocusEvent*) {
    for (Key k : {Key::Up, Key::Down, Key::Left, Key::Right}) game_.hold(k, false);
}

ErrorWindow::ErrorWindow(const QString& text) : text_(text) {
    setTitle(QStringLiteral("Quillmark"));
    resize(560, 220);
}

void ErrorWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(QRect(QPoint(0, 0), size()), QColor(24, 26, 40));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(18);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(255, 200, 120));
    p.drawText(QRect(24, 20, width() - 48, 30), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("O jogo não pode começar"));
    font.setBold(false);
    font.setPixelSize(15);
    p.setFont(font);
    p.setPen(QColor(240, 240, 245));
    p.drawText(QRect(24, 60, width() - 48, height() - 110), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, text_);
    p.setPen(QColor(160, 165, 190));
    p.drawText(QRect(24, height() - 40, width() - 48, 24), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Pressione qualquer tecla para fechar."));
}

void ErrorWindow::keyPressEvent(QKeyEvent*) { close(); }
void ErrorWindow::mouseReleaseEvent(QMouseEvent*) { close(); }

}  // namespace quillmark::play
