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

void World::placeHero(int row, int column, Dir facing) {
    hero_.row = hero_.toRow = row;
    hero_.column = hero_.toColumn = column;
    hero_.stepFrame = 0;
    hero_.facing = facing;
}

void World::press(Key key, int choice) {
    if (box_ && box_->asking()) {
        const int n = static_cast<int>(box_->choices.size());
        if (key == Key::Up) box_->cursor = (box_->cursor + n - 1) % n;
        if (key == Key::Down) box_->cursor = (box_->cursor + 1) % n;
        if (key == Key::Action) answer(box_->cursor);
        if (key == Key::Choice && choice >= 1 && choice <= n) answer(choice - 1);
        return;
    }
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
        const CharacterData& ch = data_.characters[i];
        if (erased(ch.row, ch.column)) return;
        talking_[i] = true;
        runScript(ch.script, "personagem " + cp1252ToUtf8(ch.name) + " " + cell(w.toRow, w.toColumn),
                  {true, data_.mapName, ch.row, ch.column});
        return;
    }
    for (const auto& [row, column] : {std::pair{r, c}, std::pair{hero_.row, hero_.column}}) {
        if (!data_.grid.inMap(row, column)) continue;
        const auto it = data_.cellScripts.find(static_cast<int>(MapGrid::index(row, column)));
        if (it == data_.cellScripts.end() || it->second.trigger != Trigger::ActionPress) continue;
        if (erased(row, column)) continue;
        runScript(it->second, "evento OnActionPress " + cell(row, column), {true, data_.mapName, row, column});
        return;
    }
}

bool World::erased(int row, int column) const { return state_ && state_->eventErased(data_.mapName, row, column); }

void World::problem(const std::string& line) {
    if (onProblem) onProblem(line);
}

void World::runScript(const Script& script, const std::string& header, EventSource source) {
    trace(header);
    for (const std::string& p : script.problems) problem(header + ": " + p);
    for (const Command& c : script.commands) queue_.push_back({c, source});
    runQueue();
}

void World::runBlock(const std::vector<Command>& commands, const EventSource& source) {
    // the block runs before whatever followed the command that opened it
    for (auto it = commands.rbegin(); it != commands.rend(); ++it) queue_.push_front({*it, source});
}

std::deque<PendingCommand> World::takeQueue() {
    std::deque<PendingCommand> rest;
    rest.swap(queue_);
    return rest;
}

void World::continueWith(std::deque<PendingCommand> commands) {
    for (PendingCommand& p : commands) queue_.push_back(std::move(p));
    runQueue();
}

void World::battleOver() {
    inBattle_ = false;
    runQueue();
}

void World::runQueue() {
    while (!box_ && !inBattle_ && !away_ && walk_.empty() && !walking_ && !queue_.empty()) {
        const PendingCommand p = std::move(queue_.front());
        queue_.pop_front();
        if (!run(p)) break;
    }
    if (!box_ && !inBattle_ && queue_.empty() && walk_.empty() && !walking_)
        for (std::size_t i = 0; i < talking_.size(); ++i) talking_[i] = false;
}

bool World::run(const PendingCommand& p) {
    const Command& c = p.command;
    const std::string line = commandLine(c);
    if (!c.ok) {
        // its problem was told when the event started
        trace("comando ignorado " + line);
        return true;
    }
    auto skip = [&](const std::string& why) {
        problem(line + ": " + why + "; ignorado");
        trace("comando ignorado " + line);
        return true;
    };
    auto number = [&](std::size_t i) { return integerArgument(c.args[i]).value_or(0); };
    const bool needsState = c.kind == CommandKind::AdicionarItem || c.kind == CommandKind::MudarNome ||
                            c.kind == CommandKind::MudarLevel || c.kind == CommandKind::LigarInterruptor ||
                            c.kind == CommandKind::DesligarInterruptor || c.kind == CommandKind::SeInterruptor ||
                            c.kind == CommandKind::SeTemItem || c.kind == CommandKind::SeDinheiro ||
                            c.kind == CommandKind::DarDinheiro || c.kind == CommandKind::ApagarEvento;
    if (needsState && !state_) return skip("sem estado de jogo");
    switch (c.kind) {
    case CommandKind::IniciaChuva:
        weather_.rain = true;
        break;
    case CommandKind::PararChuva:
        weather_.rain = false;
        break;
    case CommandKind::IniciaNeve:
        weather_.snow = true;
        break;
    case CommandKind::PararNeve:
        weather_.snow = false;
        break;
    case CommandKind::IniciaTempestade:
        weather_.storm = true;
        break;
    case CommandKind::PararTempestade:
        weather_.storm = false;
        break;
    case CommandKind::ShowMessage:
    case CommandKind::ShowDialog: {
        const bool dialog = c.kind == CommandKind::ShowDialog;
        box_ = Box{dialog, dialog ? c.args[0] : std::string(), {}, pagesOf(c.args.back()), {}, 0};
        box_->text = box_->pages.front();
        box_->pages.pop_front();
        trace(line);
        return false;
    }
    case CommandKind::QuestaoObjetiva:
    case CommandKind::MultiplaEscolha: {
        std::vector<std::string> choices;
        if (c.kind == CommandKind::QuestaoObjetiva)
            choices = {"Sim", "N\xE3o"};
        else
            choices.assign(c.args.begin() + 1, c.args.end());
        box_ = Box{false, {}, {}, pagesOf(c.args[0]), choices, 0};
        box_->text = box_->pages.front();
        box_->pages.pop_front();
        question_ = p;
        trace(line);
        return false;
    }
    case CommandKind::IniciarBatalha: {
        trace(line);
        const std::vector<std::string> monsters(c.args.begin() + 1, c.args.end());
        if (onBattle && onBattle(monsters, c.args[0] != kSemFuga)) {
            inBattle_ = true;
            return false;
        }
        return true;
    }
    case CommandKind::GameOver:
        trace(line);
        queue_.clear();
        if (onGameOver) onGameOver();
        return false;
    case CommandKind::MudarMapa: {
        const int column = number(0), row = number(1);
        trace(line);
        if (onTransfer && onTransfer(c.args[2], row, column)) {
            away_ = true;
            return false;
        }
        return true;
    }
    case CommandKind::MoverHeroi:
        for (char step : c.args[0])
            walk_.push_back(step == kStepUp     ? Dir::Up
                            : step == kStepDown ? Dir::Down
                            : step == kStepLeft ? Dir::Left
                                                : Dir::Right);
        trace(line);
        return false;
    case CommandKind::AdicionarItem: {
        const ItemDef* item = state_->db().item(c.args[1]);
        if (!item) return skip("não há item \"" + cp1252ToUtf8(c.args[1]) + "\"");
        state_->addItem(item->name, number(0));
        trace(line + ": " + cp1252ToUtf8(item->name) + " x" + std::to_string(state_->count(item->name)));
        return true;
    }
    case CommandKind::MudarNome:
        state_->setHeroName(TrimBlanks(c.args[0]));
        break;
    case CommandKind::MudarLevel:
        state_->setLevel(number(0));
        trace(line + ": nivel " + std::to_string(state_->level()));
        return true;
    case CommandKind::LigarInterruptor:
    case CommandKind::DesligarInterruptor:
        state_->setSwitch(number(0), c.kind == CommandKind::LigarInterruptor);
        break;
    case CommandKind::DarDinheiro:
        state_->addMoney(number(0));
        trace(line + ": dinheiro " + std::to_string(state_->money()));
        return true;
    case CommandKind::SeInterruptor:
    case CommandKind::SeTemItem:
    case CommandKind::SeDinheiro: {
        bool yes = false;
        if (c.kind == CommandKind::SeInterruptor) {
            yes = state_->switchOn(number(0)) == (c.args[1] == kLigado);
        } else if (c.kind == CommandKind::SeTemItem) {
            const ItemDef* item = state_->db().item(c.args[1]);
            if (!item) return skip("não há item \"" + cp1252ToUtf8(c.args[1]) + "\"");
            yes = state_->count(item->name) >= number(0);
        } else {
            yes = state_->money() >= number(0);
        }
        trace(line + (yes ? ": sim" : ": nao"));
        if (yes && !c.blocks.empty()) runBlock(c.blocks[0].commands, p.source);
        if (!yes && c.blocks.size() > 1) runBlock(c.blocks[1].commands, p.source);
        return true;
    }
    case CommandKind::ApagarEvento:
        if (!p.source.cell) return skip("só um evento de célula ou de personagem pode ser apagado");
        state_->eraseEvent(p.source.map, p.source.row, p.source.column);
        trace(line + " " + cell(p.source.row, p.source.column));
        return true;
    case CommandKind::AddChar:
        return skip("\"AddChar:\" não é um comando de evento");
    }
    trace(line);
    return true;
}

void World::answer(int index) {
    if (!box_ || !question_) return;
    const std::string chosen = index >= 0 && index < static_cast<int>(box_->choices.size())
                                   ? box_->choices[static_cast<std::size_t>(index)]
                                   : std::string();
    trace("resposta " + std::to_string(index + 1) + " " + cp1252ToUtf8(chosen));
    const PendingCommand q = std::move(*question_);
    question_.reset();
    box_.reset();
    if (static_cast<std::size_t>(index) < q.command.blocks.size())
        runBlock(q.command.blocks[static_cast<std::size_t>(index)].commands, q.source);
    runQueue();
}

void World::closeBox() {
    if (!box_) return;
    if (!box_->pages.empty()) {
        box_->text = box_->pages.front();
        box_->pages.pop_front();
        trace("proxima pagina");
        return;
    }
    if (box_->asking()) return;  // a question closes only with an answer
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
    if (walking_) {
        // a step an event takes: no touch event, no encounter; the walk goes on
        if (walk_.empty()) {
            walking_ = false;
            runQueue();
        }
        return;
    }
    const auto it = data_.cellScripts.find(static_cast<int>(MapGrid::index(w.row, w.column)));
    if (it != data_.cellScripts.end() && it->second.trigger == Trigger::PlayerTouch && !erased(w.row, w.column))
        runScript(it->second, "evento OnPlayerTouch " + cell(w.row, w.column), {true, data_.mapName, w.row, w.column});
    if (onHeroStep) onHeroStep();
}

bool World::characterWaits(std::size_t i) const {
    // the hero stands still right in front of the character, to talk to it
    const Walker& w = walkers_[i];
    if (hero_.moving() || w.moving()) return false;
    return hero_.row + dRow(hero_.facing) == w.row && hero_.column + dCol(hero_.facing) == w.column;
}

void World::wander(std::size_t i) {
    Walker& w = walkers_[i];
    const CharacterData& c = data_.characters[i];
    if (c.speed <= 0 || talking_[i] || w.moving() || frame_ < nextWander_[i]) return;
    if (characterWaits(i)) {
        nextWander_[i] = frame_ + kCharacterPauseFrames;
        return;
    }
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
        if (wasMoving && !w.moving()) {
            // a pause after each step, longer when the stroll is slow
            nextWander_[i] = std::max(nextWander_[i], frame_ + kCharacterPauseFrames);
            // A character spoken to in mid-step turns to the hero once it arrives.
            if (talking_[i]) {
                const int dr = hero_.row - w.row, dc = hero_.column - w.column;
                w.facing =
                    std::abs(dr) >= std::abs(dc) ? (dr < 0 ? Dir::Up : Dir::Down) : (dc < 0 ? Dir::Left : Dir::Right);
            }
        }
        wander(i);
    }
    if (hero_.moving() || box_ || away_) return;
    if (!walk_.empty()) {
        const Dir d = walk_.front();
        walk_.pop_front();
        hero_.facing = d;
        const int r = hero_.row + dRow(d), c = hero_.column + dCol(d);
        if (!heroMayEnter(r, c)) {
            // a blocked cell ends the walk; the event goes on
            trace("bloqueado " + cell(hero_.row, hero_.column) + " " + dirName(d));
            walk_.clear();
            walking_ = false;
            runQueue();
            return;
        }
        walking_ = true;
        hero_.toRow = r;
        hero_.toColumn = c;
        hero_.stepFrame = 1;
        return;
    }
    if (!queue_.empty() && !inBattle_) return;
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
