#include "play/model/MapMenu.h"

#include "model/core/Error.h"
#include "model/core/Text.h"
#include "play/model/Game.h"
#include "play/model/SaveGame.h"

namespace quillmark::play {

namespace {

const char* const kMainEntries[] = {"Itens", "Magias", "Status", "Salvar", "Sair"};
constexpr MapMenu::Page kMainPages[] = {MapMenu::Page::Items, MapMenu::Page::Magic, MapMenu::Page::Status,
                                        MapMenu::Page::Save, MapMenu::Page::Quit};

std::string points(int now, int max) { return std::to_string(now) + "/" + std::to_string(max); }

}  // namespace

void MapMenu::open(Page page) {
    open_ = true;
    quit_ = false;
    direct_ = page != Page::Main;
    page_ = page;
    cursor_ = 0;
    mainCursor_ = 0;
    message_.clear();
    sound("Menu.wav");
    if (page == Page::Save) readSlots();
    if (page == Page::Items) {
        std::string line;
        for (const ItemDef* i : game_.mapItems())
            line += " " + cp1252ToUtf8(i->name) + " x" + std::to_string(game_.state().count(i->name));
        trace("itens:" + (line.empty() ? std::string(" nenhum") : line));
    } else {
        trace("menu");
    }
}

void MapMenu::readSlots() {
    slotLines_.clear();
    for (int slot = 1; slot <= kSaveSlots; ++slot) {
        const SlotInfo info = game_.saves().info(slot);
        slotLines_.push_back(
            "Espaço " + std::to_string(slot) + ": " +
            (info.kind == SlotInfo::Kind::Refused ? std::string("não pode ser carregado") : info.summary));
    }
}

void MapMenu::close() {
    open_ = false;
    message_.clear();
}

void MapMenu::sound(const char* file) const {
    if (game_.onSound) game_.onSound(file);
}

void MapMenu::trace(const std::string& line) const {
    if (game_.onTrace) game_.onTrace(line);
}

std::vector<const SpellDef*> MapMenu::mapSpells() const {
    std::vector<const SpellDef*> list;
    for (int code : game_.state().spells())
        if (const SpellDef* s = game_.data().db.spell(code); s && s->kind != SpellKind::Damage) list.push_back(s);
    return list;
}

std::string MapMenu::title() const {
    switch (page_) {
    case Page::Main:
        return "Menu";
    case Page::Items:
        return "Itens";
    case Page::Magic:
        return "Magias";
    case Page::Status:
        return "Status";
    case Page::Save:
        return "Salvar";
    case Page::Quit:
        return "Sair do jogo?";
    }
    return {};
}

std::vector<std::string> MapMenu::entries() const {
    std::vector<std::string> list;
    const GameState& s = game_.state();
    switch (page_) {
    case Page::Main:
        list.assign(std::begin(kMainEntries), std::end(kMainEntries));
        break;
    case Page::Items:
        for (const ItemDef* i : game_.mapItems())
            list.push_back(cp1252ToUtf8(i->name) + "  x" + std::to_string(s.count(i->name)));
        break;
    case Page::Magic:
        for (const SpellDef* sp : mapSpells())
            list.push_back(cp1252ToUtf8(sp->name) + "  " + std::to_string(sp->cost) + " MP");
        break;
    case Page::Status: {
        const HeroDef& h = game_.data().db.hero;
        const std::string next = s.level() >= h.levelMax
                                     ? std::string("nível máximo")
                                     : std::to_string(experienceFor(s.level() + 1, h.levelStart) - s.experience());
        list = {"Nome: " + cp1252ToUtf8(s.heroName()),
                "Nível: " + std::to_string(s.level()),
                "Experiência: " + std::to_string(s.experience()),
                "Para o próximo nível: " + next,
                "HP: " + points(s.hp(), s.maxHp()),
                "MP: " + points(s.mp(), s.maxMp()),
                "Força: " + std::to_string(s.strength()),
                "Defesa: " + std::to_string(s.defence()),
                "Agilidade: " + std::to_string(s.agility()),
                "Dinheiro: " + std::to_string(s.money())};
        break;
    }
    case Page::Save:
        list = slotLines_;
        break;
    case Page::Quit:
        list = {"Sim", "Não"};
        break;
    }
    return list;
}

void MapMenu::press(Key key, int choice) {
    if (!open_) return;
    const int n = page_ == Page::Status ? 0 : count();
    switch (key) {
    case Key::Up:
    case Key::Down:
        if (n > 0) {
            cursor_ = (cursor_ + (key == Key::Up ? n - 1 : 1)) % n;
            message_.clear();
            sound("Menu.wav");
        }
        return;
    case Key::Action:
        if (page_ == Page::Status)
            back();
        else
            take(cursor_);
        return;
    case Key::Choice:
        if (choice >= 1 && choice <= n) {
            cursor_ = choice - 1;
            take(cursor_);
        }
        return;
    case Key::Back:
    case Key::Menu:
    case Key::Left:
        back();
        return;
    case Key::Item:
        if (direct_ && page_ == Page::Items) close();
        return;
    default:
        return;
    }
}

void MapMenu::back() {
    message_.clear();
    if (page_ == Page::Main || direct_) {
        close();
        return;
    }
    page_ = Page::Main;
    cursor_ = mainCursor_;
}

void MapMenu::take(int index) {
    sound("MenuSelect.wav");
    message_.clear();
    GameState& s = game_.state();
    switch (page_) {
    case Page::Main:
        mainCursor_ = index;
        page_ = kMainPages[index];
        cursor_ = page_ == Page::Quit ? 1 : 0;  // "Não" first: a slip of the key never ends the game
        if (page_ == Page::Items) {
            std::string line;
            for (const ItemDef* i : game_.mapItems())
                line += " " + cp1252ToUtf8(i->name) + " x" + std::to_string(s.count(i->name));
            trace("itens:" + (line.empty() ? std::string(" nenhum") : line));
        }
        if (page_ == Page::Save) readSlots();
        if (page_ == Page::Items && game_.mapItems().empty()) message_ = "Nenhum item para usar aqui.";
        if (page_ == Page::Magic && mapSpells().empty()) message_ = "Nenhuma magia para usar aqui.";
        return;
    case Page::Items: {
        const auto items = game_.mapItems();
        if (index < 0 || index >= static_cast<int>(items.size())) return;
        const ItemDef& item = *items[static_cast<std::size_t>(index)];
        message_ = game_.useMapItem(item);
        if (direct_) {
            close();
        } else {
            const int left = static_cast<int>(game_.mapItems().size());
            cursor_ = left == 0 ? 0 : std::min(cursor_, left - 1);
        }
        return;
    }
    case Page::Magic: {
        const auto spells = mapSpells();
        if (index < 0 || index >= static_cast<int>(spells.size())) return;
        const SpellDef& sp = *spells[static_cast<std::size_t>(index)];
        if (s.mp() < sp.cost) {
            message_ = "MP insuficiente para " + cp1252ToUtf8(sp.name) + ".";
            trace("magia " + cp1252ToUtf8(sp.name) + ": MP insuficiente");
            return;
        }
        s.setMp(s.mp() - sp.cost);
        const bool hp = sp.kind == SpellKind::RestoreHp;
        const int before = hp ? s.hp() : s.mp();
        if (hp)
            s.setHp(s.hp() + sp.amount);
        else
            s.setMp(s.mp() + sp.amount);
        const int now = hp ? s.hp() : s.mp();
        const std::string what = std::string(hp ? "HP +" : "MP +") + std::to_string(now - before) + ", " +
                                 (hp ? "HP " + points(s.hp(), s.maxHp()) : "MP " + points(s.mp(), s.maxMp()));
        trace("usa a magia " + cp1252ToUtf8(sp.name) + ": " + what);
        message_ = cp1252ToUtf8(sp.name) + ": " + what + ".";
        return;
    }
    case Page::Status:
        return;
    case Page::Save: {
        const int slot = index + 1;
        try {
            game_.saveTo(slot);
            message_ = "Jogo salvo no espaço " + std::to_string(slot) + ".";
        } catch (const Error& e) {
            message_ = e.what();
        }
        readSlots();
        return;
    }
    case Page::Quit:
        if (index == 0) {
            quit_ = true;
            close();
            trace("sair");
        } else {
            back();
        }
        return;
    }
}

}  // namespace quillmark::play
