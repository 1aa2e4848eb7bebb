// A game controller plays with the keyboard's keys: SDL's virtual pad plugged
// in while the game runs, its buttons and its stick, and unplugged with a key
// still held.
#include "apps/play/Controller.h"

#include <QGuiApplication>
#include <SDL.h>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

using namespace quillmark::play;

namespace {

// The controller's timer needs an application.
void needApplication() {
    if (QCoreApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "test_play";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);
}

struct Pad {
    SDL_Joystick* joystick = nullptr;
    int index = -1;
    Pad() {
        SDL_VirtualJoystickDesc desc;
        SDL_zero(desc);
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        index = SDL_JoystickAttachVirtualEx(&desc);
        if (index >= 0) joystick = SDL_JoystickOpen(index);
    }
    ~Pad() { unplug(); }
    void unplug() {
        if (!joystick) return;
        SDL_JoystickClose(joystick);
        SDL_JoystickDetachVirtual(index);
        joystick = nullptr;
    }
};

}  // namespace

TEST(Controller, APadPluggedInPlaysWithTheKeyboardsKeys) {
    needApplication();
    Controller controller;
    if (!controller.available()) GTEST_SKIP() << "SDL has no controller support here: " << SDL_GetError();
    std::vector<std::pair<int, bool>> keys;
    controller.onKey = [&](int key, bool down) { keys.emplace_back(key, down); };
    controller.poll();
    EXPECT_FALSE(controller.attached());

    Pad pad;
    ASSERT_NE(pad.joystick, nullptr) << SDL_GetError();
    controller.poll();
    ASSERT_TRUE(controller.attached());

    SDL_JoystickSetVirtualButton(pad.joystick, SDL_CONTROLLER_BUTTON_A, 1);
    controller.poll();
    SDL_JoystickSetVirtualButton(pad.joystick, SDL_CONTROLLER_BUTTON_A, 0);
    SDL_JoystickSetVirtualButton(pad.joystick, SDL_CONTROLLER_BUTTON_START, 1);
    controller.poll();
    SDL_JoystickSetVirtualButton(pad.joystick, SDL_CONTROLLER_BUTTON_START, 0);
    controller.poll();
    EXPECT_EQ(keys,
              (std::vector<std::pair<int, bool>>{
                  {Qt::Key_Return, true}, {Qt::Key_Return, false}, {Qt::Key_Escape, true}, {Qt::Key_Escape, false}}));

    // the stick: past half way a direction is held; back to the middle it is let go
    keys.clear();
    SDL_JoystickSetVirtualAxis(pad.joystick, SDL_CONTROLLER_AXIS_LEFTY, 20000);
    controller.poll();
    SDL_JoystickSetVirtualAxis(pad.joystick, SDL_CONTROLLER_AXIS_LEFTY, 12000);  // still held
    controller.poll();
    SDL_JoystickSetVirtualAxis(pad.joystick, SDL_CONTROLLER_AXIS_LEFTY, 0);
    controller.poll();
    SDL_JoystickSetVirtualAxis(pad.joystick, SDL_CONTROLLER_AXIS_LEFTX, -30000);
    controller.poll();
    EXPECT_EQ(keys,
              (std::vector<std::pair<int, bool>>{{Qt::Key_Down, true}, {Qt::Key_Down, false}, {Qt::Key_Left, true}}));

    // unplugged while walking left: the key is let go
    keys.clear();
    pad.unplug();
    controller.poll();
    EXPECT_FALSE(controller.attached());
    EXPECT_EQ(keys, (std::vector<std::pair<int, bool>>{{Qt::Key_Left, false}}));
}
