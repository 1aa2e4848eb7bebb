#include "apps/play/Controller.h"

#include <SDL.h>

namespace quillmark::play {

namespace {

// A stick counts as a direction past about half way, and lets go under a quarter.
constexpr int kStickPress = 16000;
constexpr int kStickRelease = 8000;
constexpr int kBusyPoll = 16;       // ms, a pad in use: every frame
constexpr int kLookingPoll = 1000;  // ms, none yet

}  // namespace

Controller::Controller() {
    // SDL's events would otherwise catch SIGINT and SIGTERM (to queue a quit
    // event no one reads): the player must still end when it is told to
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    available_ = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
    if (!available_) return;
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { poll(); });
    timer_.start(kLookingPoll);
    for (int i = 0; i < SDL_NumJoysticks() && !pad_; ++i)
        if (SDL_IsGameController(i)) open(i);
}

Controller::~Controller() {
    if (!available_) return;
    close();
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

int Controller::keyOfButton(int button) {
    switch (button) {
    case SDL_CONTROLLER_BUTTON_DPAD_UP:
        return Qt::Key_Up;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
        return Qt::Key_Down;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
        return Qt::Key_Left;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
        return Qt::Key_Right;
    case SDL_CONTROLLER_BUTTON_A:
        return Qt::Key_Return;
    case SDL_CONTROLLER_BUTTON_B:
        return Qt::Key_X;
    case SDL_CONTROLLER_BUTTON_X:
        return Qt::Key_I;
    case SDL_CONTROLLER_BUTTON_Y:
        return Qt::Key_F1;
    case SDL_CONTROLLER_BUTTON_START:
        return Qt::Key_Escape;
    default:
        return 0;
    }
}

void Controller::open(int deviceIndex) {
    SDL_GameController* pad = SDL_GameControllerOpen(deviceIndex);
    if (!pad) return;
    pad_ = pad;
    padId_ = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad));
    timer_.setInterval(kBusyPoll);
}

void Controller::close() {
    for (int key : std::set<int>(down_)) send(key, false);
    if (pad_) SDL_GameControllerClose(static_cast<SDL_GameController*>(pad_));
    pad_ = nullptr;
    padId_ = -1;
    timer_.setInterval(kLookingPoll);
}

void Controller::send(int key, bool down) {
    if (down ? !down_.insert(key).second : down_.erase(key) == 0) return;
    if (onKey) onKey(key, down);
}

void Controller::stick(int axis, int value) {
    const bool vertical = axis == SDL_CONTROLLER_AXIS_LEFTY;
    const int less = vertical ? Qt::Key_Up : Qt::Key_Left;
    const int more = vertical ? Qt::Key_Down : Qt::Key_Right;
    if (value <= -kStickPress) send(less, true);
    if (value >= kStickPress) send(more, true);
    if (value > -kStickRelease) send(less, false);
    if (value < kStickRelease) send(more, false);
}

void Controller::poll() {
    if (!available_) return;
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        switch (e.type) {
        case SDL_CONTROLLERDEVICEADDED:
            if (!pad_) open(e.cdevice.which);
            break;
        case SDL_CONTROLLERDEVICEREMOVED:
            if (e.cdevice.which == padId_) close();
            break;
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP:
            if (e.cbutton.which == padId_)
                if (const int key = keyOfButton(e.cbutton.button)) send(key, e.type == SDL_CONTROLLERBUTTONDOWN);
            break;
        case SDL_CONTROLLERAXISMOTION:
            if (e.caxis.which == padId_ &&
                (e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX || e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY))
                stick(e.caxis.axis, e.caxis.value);
            break;
        default:
            break;
        }
    }
}

}  // namespace quillmark::play
