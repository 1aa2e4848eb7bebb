#include "play/view/PlayWindow.h"

#include "model/core/Text.h"

#include <QFileInfo>
#include <QFontMetrics>
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

namespace {
// The timer's pace: twice a frame while something moves; while nothing has
// moved for half a second, a few times a second (the frames due are still all
// played, so the game keeps its time).
constexpr int kBusyInterval = 1000 / kFramesPerSecond / 2;
constexpr int kRestInterval = 100;
constexpr int kFramesBeforeRest = kFramesPerSecond / 2;
constexpr int kHelpFrames = 4 * kFramesPerSecond;
}  // namespace

PlayWindow::PlayWindow(std::unique_ptr<GameData> data, std::uint32_t seed, bool startOnTitle)
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
    timer_.setInterval(kBusyInterval);
    connect(&timer_, &QTimer::timeout, this, [this] { advance(); });
    game_.onQuit = [this] { QTimer::singleShot(0, this, [this] { close(); }); };
    if (startOnTitle) game_.showTitle();
    clock_.start();
    timer_.start();
}

void PlayWindow::rest(bool on) {
    if (on == resting_) return;
    resting_ = on;
    timer_.setInterval(on ? kRestInterval : kBusyInterval);
    if (!on) still_ = 0;
}

bool PlayWindow::helpShown() const {
    if (helpHeld_) return true;
    return mapSince_ >= 0 && game_.frame() - mapSince_ < kHelpFrames && game_.scene() == SceneKind::Map;
}

void PlayWindow::advance() {
    // Fixed frames of 1/60 s, as many as the clock says are due (a few at most
    // after a stall, so the game never races to catch up; a resting timer's
    // frames are all played).
    const qint64 due = clock_.elapsed() * kFramesPerSecond / 1000;
    const qint64 most = resting_ ? kRestInterval * kFramesPerSecond / 1000 + 2 : 5;
    if (due - played_ > most) played_ = due - most;
    bool changed = false;
    while (played_ < due) {
        game_.tick();
        ++played_;
        if (mapSince_ < 0 && game_.scene() == SceneKind::Map) mapSince_ = game_.frame();
        const std::uint64_t now = Renderer::stamp(game_);
        const bool help = helpShown();
        if (now != shown_ || help != helpWasShown_) {
            shown_ = now;
            helpWasShown_ = help;
            changed = true;
        }
    }
    if (changed) {
        still_ = 0;
        rest(false);
        update();
    } else if (++still_ >= kFramesBeforeRest && game_.idle()) {
        rest(true);
    }
}

void PlayWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    renderer_.paint(p, size(), game_);
    // the keys, for the first four seconds and while F1 is held; the question before leaving
    shown_ = Renderer::stamp(game_);
    ++repaints_;
    QString line;
    if (helpShown()) {
        switch (game_.scene()) {
        case SceneKind::Battle:
            line = QString::fromUtf8("K Atacar  M Magia  I Item  E Defender  F Fugir  1-9 escolher  X voltar");
            break;
        case SceneKind::Title:
        case SceneKind::Menu:
            line = QString::fromUtf8("Setas escolher  Enter confirmar  Esc voltar  F11 tela cheia");
            break;
        default:
            line = QString::fromUtf8("Setas/WASD andar  Espaço/Enter ação  I itens  Esc menu  F11 tela cheia");
            break;
        }
    }
    if (!line.isEmpty()) {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(std::max(12, height() / 40));
        p.setFont(font);
        const QRect bar(0, 0, width(), QFontMetrics(font).height() + 12);
        p.fillRect(bar, QColor(10, 12, 30, 200));
        p.setPen(QColor(240, 240, 245));
        p.drawText(bar, Qt::AlignCenter, line);
    }
    if (!painted_) {
        painted_ = true;
        if (onFirstFrame) QTimer::singleShot(0, this, onFirstFrame);
    }
}

void PlayWindow::toggleFullScreen() {
    if (windowStates() & Qt::WindowFullScreen)
        showNormal();
    else
        showFullScreen();
}

void PlayWindow::keyPressEvent(QKeyEvent* event) {
    rest(false);
    const bool altEnter =
        (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && (event->modifiers() & Qt::AltModifier);
    if (event->key() == Qt::Key_F11 || altEnter) {
        if (!event->isAutoRepeat()) toggleFullScreen();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        if (!event->isAutoRepeat()) game_.press(Key::Menu);
        update();
        return;
    }
    if (event->key() == Qt::Key_F1) {
        helpHeld_ = true;
        update();
        return;
    }
    int choice = 0;
    const auto key = gameKey(event->key(), &choice);
    if (!key) return;
    if (!event->isAutoRepeat()) game_.press(*key, choice);
    game_.hold(*key, true);
    update();
}

void PlayWindow::keyReleaseEvent(QKeyEvent* event) {
    if (event->isAutoRepeat()) return;
    if (event->key() == Qt::Key_F1) {
        helpHeld_ = false;
        update();
        return;
    }
    if (const auto key = gameKey(event->key())) game_.hold(*key, false);
}

void PlayWindow::focusOutEvent(QFocusEvent*) {
    for (Key k : {Key::Up, Key::Down, Key::Left, Key::Right}) game_.hold(k, false);
}

QString errorScreenText(const Error& error) {
    if (const auto* read = dynamic_cast<const ReadError*>(&error))
        return QString::fromUtf8(read->headline()) +
               QStringLiteral(".\n\nO arquivo está danificado ou não pôde ser aberto. O detalhe técnico foi "
                              "escrito na saída de erro do jogo.");
    return QString::fromUtf8(error.what());
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
