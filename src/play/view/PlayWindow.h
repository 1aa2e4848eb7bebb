#pragma once
// The player's window: the game at sixty frames a second, the hero driven by
// the arrow keys or WASD, Space, Enter or Z as the action key, I the item list,
// in battle K "Atacar", M "Magia", I "Item", E "Defender", F "Fugir", 1 to 9
// an entry of the list shown, Backspace or X back; Esc to leave.
// When the game cannot start, the same kind of window shows why and the
// player ends with status 1 once it is closed.
#include "play/model/Game.h"
#include "play/model/PlayData.h"
#include "play/view/PlayRender.h"

#include <QElapsedTimer>
#include <QRasterWindow>
#include <QTimer>
#include <functional>
#include <memory>

namespace quillmark::play {

class PlayWindow : public QRasterWindow {
    Q_OBJECT
public:
    PlayWindow(std::unique_ptr<GameData> data, std::uint32_t seed);
    Game& game() { return game_; }
    // Called once, after the first frame has been painted.
    std::function<void()> onFirstFrame;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void advance();

    std::unique_ptr<GameData> data_;
    Game game_;
    Renderer renderer_;
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 played_ = 0;  // frames played since the clock started
    bool painted_ = false;
};

// A plain window with an error text; any key or a click closes it.
class ErrorWindow : public QRasterWindow {
    Q_OBJECT
public:
    explicit ErrorWindow(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QString text_;
};

// The game key of a keyboard key, if it is one, and the entry a digit key chooses.
std::optional<Key> gameKey(int qtKey, int* choice = nullptr);

}  // namespace quillmark::play
