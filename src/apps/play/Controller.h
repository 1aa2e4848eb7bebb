#pragma once
// A game controller plays with the keyboard's keys: the d-pad and the left
// stick are the arrow keys, A the action key (Enter), B back (X), X the item
// list (I), Y the key line (F1), Start the menu (Esc). It goes through SDL's
// game controller support (any pad SDL knows, plugged in before or while the
// game runs); without one, it looks for one once a second and costs nothing
// else. The keys go to `onKey` as Qt key codes, pressed and released.
#include <QTimer>
#include <functional>
#include <set>

namespace quillmark::play {

class Controller {
public:
    Controller();
    ~Controller();
    Controller(const Controller&) = delete;
    Controller& operator=(const Controller&) = delete;

    // Whether SDL's controller support could start, and whether a pad is in use.
    bool available() const { return available_; }
    bool attached() const { return pad_ != nullptr; }

    // Reads what happened since the last call (the timer calls it too).
    void poll();

    std::function<void(int qtKey, bool down)> onKey;

    // The Qt key of a controller button (SDL_GameControllerButton), or 0.
    static int keyOfButton(int button);

private:
    void open(int deviceIndex);
    void close();
    void send(int key, bool down);
    void stick(int axis, int value);

    QTimer timer_;
    bool available_ = false;
    void* pad_ = nullptr;  // SDL_GameController*
    int padId_ = -1;       // its instance id
    std::set<int> down_;   // keys held now
};

}  // namespace quillmark::play
