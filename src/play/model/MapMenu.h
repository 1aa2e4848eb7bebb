#pragma once
// The map's menu (Esc on the map): "Itens", "Magias", "Status", "Salvar" and
// "Sair".
//
//   Itens   the items allowed on the map ("Modo Mapa"), with their counts; the
//           action key uses one (its action, then its event on the map).
//   Magias  the spells that restore HP or MP, with their MP cost; the action
//           key casts one on the hero when the MP suffice.
//   Status  the hero's name, level, experience to the next level, HP, MP,
//           strength, defence, agility and money (the view adds the face).
//   Salvar  the three slots with what each holds; the action key saves there
//           and says where, or why it could not (the game goes on).
//   Sair    asks ("Sim" leaves the game, "Não" goes back).
//
// The arrow keys move ("Menu.wav"), the action key or a digit takes an entry
// ("MenuSelect.wav"); Esc or back returns to the first list, and from there
// to the map. The item key on the map opens "Itens" at once; then Esc, back
// or the item key return straight to the map, and so does using an item.
#include "play/model/PlayWorld.h"

#include <functional>
#include <string>
#include <vector>

namespace quillmark::play {

class Game;

class MapMenu {
public:
    enum class Page { Main, Items, Magic, Status, Save, Quit };

    explicit MapMenu(Game& game) : game_(game) {}

    bool isOpen() const { return open_; }
    // Opened straight on a page (the item key), not from the first list.
    bool direct() const { return direct_; }
    // Opens on the first list, or straight on a page (the item key).
    void open(Page page = Page::Main);
    void close();

    Page page() const { return page_; }
    int cursor() const { return cursor_; }
    // The entry of the first list that led to the page shown.
    int mainCursor() const { return page_ == Page::Main ? cursor_ : mainCursor_; }
    // The entries of the page shown (UTF-8); Status gives "label: value" lines.
    std::vector<std::string> entries() const;
    // The page's title ("Itens", …) and the last message (saved, nothing to use …).
    std::string title() const;
    const std::string& message() const { return message_; }

    void press(Key key, int choice = 0);

    // "Sim" was taken in "Sair".
    bool quitChosen() const { return quit_; }

    // The spells the menu offers: those that restore HP or MP, known by the hero.
    std::vector<const struct SpellDef*> mapSpells() const;

private:
    void take(int index);
    void back();
    void sound(const char* file) const;
    void readSlots();
    void trace(const std::string& line) const;
    int count() const { return static_cast<int>(entries().size()); }

    Game& game_;
    bool open_ = false;
    bool direct_ = false;  // opened straight on a page: back closes
    bool quit_ = false;
    Page page_ = Page::Main;
    int cursor_ = 0;
    int mainCursor_ = 0;
    std::string message_;
    std::vector<std::string> slotLines_;  // "Salvar"'s entries, read when the page opens and after each save
};

}  // namespace quillmark::play
