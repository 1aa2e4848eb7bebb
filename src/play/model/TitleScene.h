#pragma once
// The title screen: "Novo Jogo", "Continuar" (only when a slot holds a save)
// and "Sair". "Continuar" lists the three slots, each with what it holds
// ("vazio", the hero, level, map and time, or why it cannot be loaded); the
// action key on a saved slot loads it, Esc or back returns to the first list.
// The arrow keys move the choice ("Menu.wav"), the action key or a digit takes
// one ("MenuSelect.wav"). A message (a save that could not be loaded) shows
// under the list until the next key.
#include "model/core/Picture.h"
#include "play/model/PlayWorld.h"
#include "play/model/SaveGame.h"

#include <functional>
#include <string>
#include <vector>

namespace quillmark::play {

class TitleScene {
public:
    enum class Page { Main, Slots };
    struct Choice {
        enum class What { None, NewGame, Load, Quit } what = What::None;
        int slot = 0;  // with Load: 1 … kSaveSlots
    };

    explicit TitleScene(const SaveSlots& saveSlots);

    // Reads the slots again (the title shows, or a save was made) and goes to the first list.
    void refresh();

    Page page() const { return page_; }
    int cursor() const { return cursor_; }
    // The entries of the list shown (UTF-8).
    std::vector<std::string> entries() const;
    bool canContinue() const { return canContinue_; }
    const std::string& message() const { return message_; }
    void setMessage(std::string message) { message_ = std::move(message); }
    const SlotInfo& slot(int slot) const { return slots_[static_cast<std::size_t>(slot - 1)]; }

    // A key (choice: 1 … 9 with Key::Choice). Returns what was chosen.
    Choice press(Key key, int choice = 0);

    // The title picture ("Imagens\Title.bmp"), read once by loadPicture();
    // empty when it is missing or cannot be decoded, and then the view shows
    // the game's name on a plain screen. loadPicture returns the problem (UTF-8), if any.
    const Picture& picture() const { return picture_; }
    std::string loadPicture(const QString& projectFolder);
    bool pictureLoaded() const { return pictureTried_; }

    std::function<void(const std::string&)> onSound;
    std::function<void(const std::string&)> onTrace;

private:
    Choice take(int index);
    void sound(const char* file) const;

    const SaveSlots& saves_;
    std::vector<SlotInfo> slots_;
    bool canContinue_ = false;
    Page page_ = Page::Main;
    int cursor_ = 0;
    std::string message_;
    Picture picture_;
    bool pictureTried_ = false;
};

}  // namespace quillmark::play
