#include "play/model/PlayWorld.h"

#include "model/core/Text.h"

namespace quillmark::play {

namespace {

Dir dirOf(Key k) {
    switch (k) {
    case Key::Up:
        return Dir::Up;
    case Key::Down:
        return Dir::Down;
    case Key::Left:
        return Dir::Left;
    default:
        return Dir::Right;
    }
}

std::string cell(int r, int c) { return std::to_string(r) + "," + std::to_string(c); }

}  // namespace

std::deque<std::string> pagesOf(const std::string& text) {
    std::deque<std::string> pages;
    std::size_t at = 0;
    while (text.size() - at > kPageChars) {
        std::size_t cut = text.find_last_of(" \r\n\t", at + kPageChars);
        if (cut == std::string::npos || cut <= at) cut = at + kPageChars;
        pages.push_back(text.substr(at, cut - at));
        at = cut;
        while (at < text.size() && (text[at] == ' ' || text[at] == '\r' || text[at] == '\n' || text[at] == '\t')) ++at;
    }
    if (at < text.size() || pages.empty()) pages.push_back(text.substr(at));
    return pages;
}

World::World(GameData& data) : data_(data) {
    hero_.row = hero_.toRow = data.startRow;
    hero_.column = hero_.toColumn = data.startColumn;
    for (const CharacterData& c : data.characters) {
        Walker w;
        w.row = w.toRow = c.row;
        w.column = w.toColumn = c.column;
        w.stepFrames = kCharacterStepFrames;
        walkers_.push_back(w);
        talking_.push_back(false);
        nextWander_.push_back(0);
    }
    for (std::size_t i = 0; i < walkers_.size(); ++i) {
        const int speed = data.characters[i].speed;
        nextWander_[i] = speed > 0 ? static_cast<int>(random() % static_cast<std::uint32_t>(600 / speed + 1)) : -1;
    }
}

void World::placeHero(int row, int column, Dir facing) {
    hero_.row = hero_.toRow = row;
    hero_.column = hero_.toColumn = column;
    hero_.facing = facing;
    hero_.stepFrame = 0;
}

std::uint32_t World::random() {
    // xorshift: the same sequence on every run
    seed_ ^= seed_ << 13;
    seed_ ^= seed_ >> 17;
    seed_ ^= seed_ << 5;
    return seed_;
}

void World::trace(const std::string& line) {
    if (onTrace) onTrace(line);
}

bool World::lightning() const {
    if (!weather_.storm) return false;
    const int t = frame_ % 200;
    return t < 4 || (t >= 9 && t < 12);
}

bool World::heroMayEnter(int row, int column) const {
    if (!data_.grid.inMap(row, column)) return false;
    if (data_.grid.xo(row, column) == 'X') return false;
    for (const Walker& w : walkers_)
        if (w.occupies(row, column)) return false;
    return true;
}

void World::press(Key key) {
    if (key > Key::Action) return;  // the map takes no other key
    if (box_) {
        if (key == Key::Action) closeBox();
        return;
    }
    pending_ = key;
}

void World::hold(Key key, bool down) {
    if (key >= Key::Action) return;
    held_[static_cast<int>(key)] = down;
}

void World::heroTry(Dir d, bool report) {
    const bool turned = hero_.facing != d;
    hero_.facing = d;
    const int r = hero_.row + dRow(d), c = hero_.column + dCol(d);
    if (!heroMayEnter(r, c)) {
        if (report || turned) trace("bloqueado " + cell(hero_.row, hero_.column) + " " + dirName(d));
        return;
    }
    hero_.toRow = r;
    hero_.toColumn = c;
    hero_.stepFrame = 1;
}

void World::action() {
    const int r = hero_.row + dRow(hero_.facing), c = hero_.column + dCol(hero_.facing);
    for (std::size_t i = 0; i < walkers_.size(); ++i) {
        Walker& w = walkers_[i];
        const bool there = w.moving() ? (w.toRow == r && w.toColumn == c) : (w.row == r && w.column == c);
        if (!there) continue;
        if (!w.moving()) w.facing = opposite(hero_.facing);
        talking_[i] = true;
        runScript(data_.characters[i].script,
                  "personagem " + cp1252ToUtf8(data_.characters[i].name) + " " + cell(w.toRow, w.toColumn));
        return;
    }
    for (const auto& [row, column] : {std::pair{r, c}, std::pair{hero_.row, hero_.column}}) {
        if (!data_.grid.inMap(row, column)) continue;
        const auto it = data_.cellScripts.find(static_cast<int>(MapGrid::index(row, column)));
        if (it == data_.cellScripts.end() || it->second.trigger != Trigger::ActionPress) continue;
        runScript(it->second, "evento OnActionPress " + cell(row, column));
        return;
    }
}

void World::runScript(const Script& script, const std::string& header) {
    trace(header);
    for (const std::string& p : script.problems)
        if (onProblem) onProblem(header + ": " + p);
    queue_.insert(queue_.end(), script.commands.begin(), script.commands.end());
    runQueue();
}

void World::battleOver() {
    inBattle_ = false;
    runQueue();
}

void World::runQueue() {
    while (!box_ && !inBattle_ && !queue_.empty()) {
        const Command c = queue_.front();
        queue_.pop_front();
        const std::string keyword(keywordOf(c.kind));
        switch (c.kind) {
        case CommandKind::RainOn:
            weather_.rain = true;
            break;
        case CommandKind::RainOff:
            weather_.rain = false;
            break;
        case CommandKind::SnowOn:
            weather_.snow = true;
            break;
        case CommandKind::SnowOff:
            weather_.snow = false;
            break;
        case CommandKind::StormOn:
            weather_.storm = true;
            break;
        case CommandKind::StormOff:
            weather_.storm = false;
            break;
        case CommandKind::Message:
            box_ = Box{false, {}, {}, pagesOf(c.text)};
            box_->text = box_->pages.front();
            box_->pages.pop_front();
            trace(keyword + cp1252ToUtf8(c.text));
            continue;
        case CommandKind::Battle:
            trace(keyword + cp1252ToUtf8(c.text));
            if (onBattle && onBattle(c.monsters, c.fleeing)) inBattle_ = true;
            continue;
        case CommandKind::Dialog:
            box_ = Box{true, c.face, {}, pagesOf(c.text)};
            box_->text = box_->pages.front();
            box_->pages.pop_front();
            trace(keyword + cp1252ToUtf8(c.face) + "|" + cp1252ToUtf8(c.text));
            continue;
        }
        trace(keyword);
    }
    if (!box_ && !inBattle_ && queue_.empty())
        for (std::size_t i = 0; i < talking_.size(); ++i) talking_[i] = false;
}

void World::closeBox() {
    if (!box_) return;
    if (!box_->pages.empty()) {
        box_->text = box_->pages.front();
        box_->pages.pop_front();
        trace("proxima pagina");
        return;
    }
    trace(box_->dialog ? "fecha dialogo" : "fecha mensagem");
    box_.reset();
    runQueue();
}

void World::stepWalker(Walker& w, bool isHero) {
    if (!w.moving()) return;
    if (++w.stepFrame < w.stepFrames) return;
    w.row = w.toRow;
    w.column = w.toColumn;
    w.stepFrame = 0;
    ++w.strides;
    if (!isHero) return;
    trace("heroi " + cell(w.row, w.column) + " " + dirName(w.facing));
    const auto it = data_.cellScripts.find(static_cast<int>(MapGrid::index(w.row, w.column)));
    if (it != data_.cellScripts.end() && it->second.trigger == Trigger::PlayerTouch)
        runScript(it->second, "evento OnPlayerTouch " + cell(w.row, w.column));
    if (onHeroStep) onHeroStep();
}

void World::wander(std::size_t i) {
    Walker& w = walkers_[i];
    const CharacterData& c = data_.characters[i];
    if (c.speed <= 0 || talking_[i] || w.moving() || frame_ < nextWander_[i]) return;
    const int interval = 600 / c.speed;
    nextWander_[i] = frame_ + interval / 2 + static_cast<int>(random() % static_cast<std::uint32_t>(interval + 1));
    const Dir d = static_cast<Dir>(random() % 4);
    w.facing = d;
    const int r = w.row + dRow(d), col = w.column + dCol(d);
    // Within one cell of home, on free ground, never onto the hero or another character.
    if (std::abs(r - c.row) > 1 || std::abs(col - c.column) > 1) return;
    if (!data_.grid.inMap(r, col)) return;
    if (data_.grid.xo(r, col) == 'X' && !(r == c.row && col == c.column)) return;
    if (hero_.occupies(r, col)) return;
    for (std::size_t j = 0; j < walkers_.size(); ++j)
        if (j != i && walkers_[j].occupies(r, col)) return;
    w.toRow = r;
    w.toColumn = col;
    w.stepFrame = 1;
}

void World::tick() {
    ++frame_;
    stepWalker(hero_, true);
    for (std::size_t i = 0; i < walkers_.size(); ++i) {
        Walker& w = walkers_[i];
        const bool wasMoving = w.moving();
        stepWalker(w, false);
        // A character spoken to in mid-step turns to the hero once it arrives.
        if (wasMoving && !w.moving() && talking_[i]) {
            const int dr = hero_.row - w.row, dc = hero_.column - w.column;
            w.facing =
                std::abs(dr) >= std::abs(dc) ? (dr < 0 ? Dir::Up : Dir::Down) : (dc < 0 ? Dir::Left : Dir::Right);
        }
        wander(i);
    }
    if (hero_.moving() || box_) return;
    if (pending_) {
        const Key k = *pending_;
        pending_.reset();
        if (k == Key::Action)
            action();
        else
            heroTry(dirOf(k), true);
        return;
    }
    for (Key k : {Key::Up, Key::Down, Key::Left, Key::Right})
        if (held_[static_cast<int>(k)]) {
            heroTry(dirOf(k), false);
            return;
        }
}

}  // namespace quillmark::play
