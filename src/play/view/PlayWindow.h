#pragma once
// The player's window: the game at sixty frames a second, the hero driven by
// the arrow keys or WASD, Space, Enter or Z as the action key, I the item list,
// Esc the menu (and back in it), in battle K "Atacar", M "Magia", I "Item",
// E "Defender", F "Fugir", 1 to 9 an entry of the list shown, Backspace or X
// back. A line with the keys shows for the first seconds of the first map
// screen and while F1 is held. F11 or Alt+Enter switch to full screen and back.
// The window repaints only when the picture changes (Renderer::stamp), and
// while nothing moves its timer slows down, so an idle game costs next to no
// processor time.
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
    // title: start on the title screen (else straight on the map).
    PlayWindow(std::unique_ptr<GameData> data, std::uint32_t seed, bool title = false);
    Game& game() { return game_; }
    // Called once, after the first frame has been painted.
    std::function<void()> onFirstFrame;
    // Pictures painted so far (for the tests of the idle window).
    int repaints() const { return repaints_; }
    // Whether the timer runs at the slow, idle pace.
    bool resting() const { return resting_; }
    void toggleFullScreen();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void advance();
    bool helpShown() const;
    void rest(bool on);

    std::unique_ptr<GameData> data_;
    Game game_;
    Renderer renderer_;
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 played_ = 0;  // frames played since the clock started
    bool painted_ = false;
    bool helpHeld_ = false;
    int mapSince_ = -1;        // the frame the map first showed
    std::uint64_t shown_ = 0;  // the stamp of the picture on screen
    bool helpWasShown_ = false;
    int repaints_ = 0;
    int still_ = 0;  // frames in a row that changed nothing
    bool resting_ = false;
};

// The text the error window shows for a failure to start: a file that cannot be
// read is named in our words, the reader's own detail left to standard error.
QString errorScreenText(const Error& error);

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
