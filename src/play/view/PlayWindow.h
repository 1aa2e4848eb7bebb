#pragma once
// The player's window: the game at sixty frames a second, the hero driven by
// the arrow keys or WASD, Space, Enter or Z as the action key, Esc to leave.
// When the game cannot start, the same kind of window shows why and the
// player ends with status 1 once it is closed.
#include "play/model/PlayData.h"
#include "play/model/PlayWorld.h"
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
    explicit PlayWindow(std::unique_ptr<GameData> data);
    World& world() { return world_; }
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
    World world_;
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

// The game key of a keyboard key, if it is one.
std::optional<Key> gameKey(int qtKey);

}  // namespace quillmark::play
