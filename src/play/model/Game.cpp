#include "play/model/Game.h"

#include "model/core/Error.h"
#include "model/core/Text.h"

namespace quillmark::play {

Game::Game(GameData& data, std::uint32_t seed)
    : first_(data), data_(&data), saves_(data.project.ProjectFolder), title_(saves_), menu_(*this) {
    state_ = std::make_unique<GameState>(first_.db, seed);
    loader = [](const LoadRequest& request) { return loadGame(request); };
    warned_.insert(asciiLower(first_.mapName));  // the program tells the first map's problems
    newWorld();
    title_.onSound = [this](const std::string& file) {
        if (onSound) onSound(file);
    };
    title_.onTrace = [this](const std::string& line) { trace(line); };
}

Game::~Game() = default;

void Game::trace(const std::string& line) {
    if (onTrace) onTrace(line);
}

void Game::newWorld() {
    world_ = std::make_unique<World>(*data_);
    world_->setSeed(state_->random().next());
    world_->setState(state_.get());
    world_->onTransfer = [this](const std::string& map, int row, int column) {
        return startTransfer(map, row, column);
    };
    world_->onGameOver = [this] { endGame(); };
    world_->onTrace = [this](const std::string& line) { trace(line); };
    world_->onProblem = [this](const std::string& line) {
        if (onProblem) onProblem(line);
    };
    world_->onHeroStep = [this] { heroStepped(); };
    world_->onBattle = [this](const std::vector<std::string>& names, bool fleeing) {
        return startBattle(names, fleeing);
    };
}

bool Game::idle() const {
    switch (scene_) {
    case SceneKind::Map:
        // keys wait for a transfer and for the map's auto-run event to start
        return fadeFrame_ == 0 && autoRunDone_ && (world_->idle() || (world_->box() && world_->box()->asking()));
    case SceneKind::Title:
    case SceneKind::Menu:
        return true;
    case SceneKind::Battle:
        return battle_->waiting();
    case SceneKind::GameOver:
        return frame_ - gameOverSince_ >= kFramesPerSecond;
    }
    return true;
}

std::unique_ptr<GameData> Game::readMap(const std::string& mapFile, int row, int column) {
    LoadRequest request;
    request.target = data_->projectFile;
    request.editorFolder = data_->editorFolder;
    request.map = QString::fromUtf8(cp1252ToUtf8(mapFile));
    request.at = std::pair{row, column};
    std::unique_ptr<GameData> next = loader(request);
    if (!next) throw Error("o mapa \"" + cp1252ToUtf8(mapFile) + "\" não pôde ser lido");
    if (!next->grid.inMap(row, column))
        throw Error("a célula (linha " + std::to_string(row) + ", coluna " + std::to_string(column) +
                    ") fica fora do mapa \"" + cp1252ToUtf8(next->mapName) + "\" de " + std::to_string(next->grid.N) +
                    " x " + std::to_string(next->grid.N));
    // a map's own problems (a missing picture …) are told the first time it is entered
    if (warned_.insert(asciiLower(next->mapName)).second)
        for (const std::string& w : next->warnings)
            if (onProblem) onProblem(w);
    return next;
}

void Game::swapMap(std::unique_ptr<GameData> next, int row, int column, Dir facing) {
    std::deque<PendingCommand> rest = world_->takeQueue();
    const Weather weather = world_->weather();
    world_.reset();  // it looks at the map about to go
    owned_ = std::move(next);
    data_ = owned_.get();
    newWorld();
    world_->placeHero(row, column, facing);
    world_->setWeather(weather);
    menu_.close();
    autoRunDone_ = true;  // it runs here
    trace("mapa " + cp1252ToUtf8(data_->mapName) + " " + std::to_string(row) + "," + std::to_string(column) + " " +
          dirName(facing));
    // the auto-run event first, then the rest of the event that transferred
    if (!data_->mapSettings.EvetoAutoRun.empty()) {
        world_->runEvent(parseCharacterScript(data_->mapSettings.EvetoAutoRun), "evento AutoRun");
    }
    world_->continueWith(std::move(rest));
}

void Game::enterMap(const std::string& mapFile, int row, int column, Dir facing) {
    std::unique_ptr<GameData> next = readMap(mapFile, row, column);
    next_.reset();
    fadeFrame_ = 0;
    scene_ = SceneKind::Map;
    battle_.reset();
    afterBattle_.clear();
    std::deque<PendingCommand> none;
    world_->takeQueue().swap(none);
    swapMap(std::move(next), row, column, facing);
}

bool Game::startTransfer(const std::string& mapFile, int row, int column) {
    try {
        next_ = readMap(mapFile, row, column);
    } catch (const Error& e) {
        if (onProblem) onProblem("MudarMapa: " + std::string(e.what()) + "; ignorado");
        return false;
    }
    nextRow_ = row;
    nextColumn_ = column;
    fadeFrame_ = 1;
    return true;
}

double Game::fade() const {
    if (fadeFrame_ <= 0) return 0.0;
    if (fadeFrame_ <= kFadeFrames) return double(fadeFrame_) / kFadeFrames;
    return std::max(0.0, double(2 * kFadeFrames - fadeFrame_) / kFadeFrames);
}

void Game::endGame() {
    scene_ = SceneKind::GameOver;
    gameOverSince_ = frame_;
    menu_.close();
    afterBattle_.clear();
    trace("fim de jogo");
    if (onMusic) onMusic("");
}

void Game::heroStepped() {
    if (!data_->mapSettings.EnemysTipe || data_->enemies.empty() || world_->box()) return;
    GameState& s = *state_;
    ++s.stepsSinceBattle;
    if (s.stepsSinceBattle <= kCalmSteps || s.random().below(kEncounterOdds) != 0) return;
    const int count = 1 + s.random().below(3);
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i)
        names.push_back(
            data_->enemies[static_cast<std::size_t>(s.random().below(static_cast<int>(data_->enemies.size())))]);
    startBattle(names);
}

bool Game::startBattle(const std::vector<std::string>& names, bool fleeing) {
    std::vector<const MonsterDef*> monsters;
    for (const std::string& n : names) {
        if (monsters.size() == 3) break;
        if (const MonsterDef* m = state_->db().monster(n))
            monsters.push_back(m);
        else if (onProblem)
            onProblem("batalha: não há inimigo \"" + cp1252ToUtf8(n) + "\": ignorado");
    }
    if (monsters.empty()) return false;
    state_->stepsSinceBattle = 0;
    menu_.close();
    menuPending_ = false;
    battle_ = std::make_unique<Battle>(*state_, monsters, fleeing);
    battle_->onTrace = [this](const std::string& line) { trace(line); };
    battle_->onSound = [this](const std::string& file) {
        if (file.size() > 4 && file.substr(file.size() - 4) == ".mp3") {
            if (onMusic) onMusic(file);
        } else if (onSound) {
            onSound(file);
        }
    };
    battle_->onItemEvent = [this](const ItemDef& item) { afterBattle_.push_back(&item); };
    std::string line = "batalha";
    for (std::size_t i = 1; i < battle_->fighters().size(); ++i) {
        const Fighter& f = battle_->fighters()[i];
        line += (i == 1 ? " " : ", ") + cp1252ToUtf8(f.name) + " HP " + std::to_string(f.hp);
    }
    trace(line);
    scene_ = SceneKind::Battle;
    if (onMusic) onMusic("Battle.mp3");
    return true;
}

std::vector<const ItemDef*> Game::mapItems() const {
    std::vector<const ItemDef*> items;
    for (const auto& [name, count] : state_->inventory()) {
        const ItemDef* def = state_->db().item(name);
        if (def && def->onMap && count > 0) items.push_back(def);
    }
    return items;
}

void Game::runItemEvent(const ItemDef& item) {
    if (item.event.empty()) return;
    world_->runEvent(parseCharacterScript(item.event), "evento do item " + cp1252ToUtf8(item.name));
}

std::string Game::useMapItem(const ItemDef& item) {
    std::vector<std::string> levelUps;
    const std::string what = state_->useItem(item, levelUps);
    trace("usa o item " + cp1252ToUtf8(item.name) + ": " + what);
    for (const std::string& l : levelUps) trace(l);
    // the item's event runs on the map, so the menu closes when it shows something
    runItemEvent(item);
    if (!world_->idle()) menu_.close();
    return cp1252ToUtf8(item.name) + ": " + what + ".";
}

void Game::showTitle() {
    titleMode_ = true;
    menu_.close();
    battle_.reset();
    afterBattle_.clear();
    title_.refresh();
    if (!title_.pictureLoaded()) {
        const std::string problem = title_.loadPicture(first_.project.ProjectFolder);
        if (!problem.empty() && onProblem) onProblem(problem);
    }
    scene_ = SceneKind::Title;
    if (onMusic) onMusic("");
    std::string line = "titulo:";
    for (const std::string& e : title_.entries()) line += " [" + e + "]";
    trace(line);
}

void Game::newGame() {
    const std::uint32_t seed = state_->random().next();
    world_.reset();
    state_ = std::make_unique<GameState>(first_.db, seed);
    data_ = &first_;  // the map the game starts on
    owned_.reset();
    next_.reset();
    fadeFrame_ = 0;
    menu_.close();
    battle_.reset();
    afterBattle_.clear();
    newWorld();
    autoRunDone_ = false;
    scene_ = SceneKind::Map;
    if (onMusic) onMusic("");
}

void Game::saveTo(int slot) {
    try {
        saves_.write(slot, captureGame(*this));
    } catch (const Error& e) {
        trace(std::string("nao salvo: ") + e.what());
        if (onProblem) onProblem(e.what());
        throw;
    }
    trace("salvo em " + SaveSlots::relativePath(slot));
}

void Game::loadFrom(int slot) {
    const SavedGame saved = saves_.read(slot);
    restoreGame(*this, saved);
    trace("carregado " + SaveSlots::relativePath(slot) + " " + cp1252ToUtf8(mapName()) + " " +
          std::to_string(world_->hero().row) + "," + std::to_string(world_->hero().column) + " " +
          dirName(world_->hero().facing));
}

void Game::press(Key key, int choice) {
    switch (scene_) {
    case SceneKind::Map:
        if (fadeFrame_ > 0) return;  // keys wait for the new map
        if ((key == Key::Item || key == Key::Menu) && world_->idle()) {
            menu_.open(key == Key::Item ? MapMenu::Page::Items : MapMenu::Page::Main);
            scene_ = SceneKind::Menu;
            return;
        }
        if (key == Key::Menu) {
            // the hero is between two cells: the menu opens on the next one
            menuPending_ = !world_->box();
            return;
        }
        world_->press(key, choice);
        return;
    case SceneKind::Menu:
        menu_.press(key, choice);
        if (menu_.quitChosen()) {
            quit_ = true;
            if (onQuit) onQuit();
        }
        if (!menu_.isOpen() && scene_ == SceneKind::Menu) scene_ = SceneKind::Map;
        return;
    case SceneKind::Title: {
        const TitleScene::Choice c = title_.press(key, choice);
        switch (c.what) {
        case TitleScene::Choice::What::NewGame:
            trace("novo jogo");
            newGame();
            trace("inicio " + cp1252ToUtf8(mapName()) + " " + std::to_string(world_->hero().row) + "," +
                  std::to_string(world_->hero().column));
            break;
        case TitleScene::Choice::What::Load:
            try {
                loadFrom(c.slot);
                scene_ = SceneKind::Map;
            } catch (const Error& e) {
                // a save whose map cannot be read any more: back on the title screen, saying why
                scene_ = SceneKind::Title;
                title_.refresh();
                title_.setMessage(e.what());
                trace(std::string("nao carregado: ") + e.what());
                if (onProblem) onProblem(e.what());
            }
            break;
        case TitleScene::Choice::What::Quit:
            quit_ = true;
            trace("sair");
            if (onQuit) onQuit();
            break;
        case TitleScene::Choice::What::None:
            break;
        }
        return;
    }
    case SceneKind::Battle: {
        static const std::pair<Key, BattleKey> map[] = {
            {Key::Up, BattleKey::Up},       {Key::Down, BattleKey::Down},     {Key::Action, BattleKey::Action},
            {Key::Back, BattleKey::Back},   {Key::Left, BattleKey::Back},     {Key::Attack, BattleKey::Attack},
            {Key::Magic, BattleKey::Magic}, {Key::Item, BattleKey::Item},     {Key::Defend, BattleKey::Defend},
            {Key::Flee, BattleKey::Flee},   {Key::Choice, BattleKey::Choice},
        };
        for (const auto& [k, b] : map)
            if (k == key) {
                const bool moves = b == BattleKey::Up || b == BattleKey::Down;
                if (battle_->waiting() && onSound) onSound(moves ? "Menu.wav" : "MenuSelect.wav");
                battle_->press(b, choice);
            }
        return;
    }
    case SceneKind::GameOver:
        if (key == Key::Action && idle()) gameOverSince_ = frame_ - kGameOverFrames;
        return;
    }
}

void Game::hold(Key key, bool down) {
    if (scene_ == SceneKind::Map) world_->hold(key, down);
}

void Game::leaveBattle() {
    const Battle::Outcome outcome = battle_->outcome();
    battle_.reset();
    if (outcome == Battle::Outcome::Lost) {
        endGame();
        return;
    }
    scene_ = SceneKind::Map;
    if (onMusic) onMusic("");
    trace("volta ao mapa " + std::to_string(world_->hero().row) + "," + std::to_string(world_->hero().column));
    for (const ItemDef* item : afterBattle_) runItemEvent(*item);
    afterBattle_.clear();
    world_->battleOver();  // an event that started the battle goes on
}

void Game::tick() {
    ++frame_;
    switch (scene_) {
    case SceneKind::Map:
        if (menuPending_ && world_->box()) menuPending_ = false;
        if (menuPending_ && world_->idle() && fadeFrame_ == 0 && autoRunDone_) {
            menuPending_ = false;
            menu_.open(MapMenu::Page::Main);
            scene_ = SceneKind::Menu;
            return;
        }
        if (fadeFrame_ > 0) {
            ++fadeFrame_;
            if (fadeFrame_ == kFadeFrames + 1 && next_)
                swapMap(std::move(next_), nextRow_, nextColumn_, world_->hero().facing);
            if (fadeFrame_ >= 2 * kFadeFrames) fadeFrame_ = 0;
            return;
        }
        if (!autoRunDone_) {
            autoRunDone_ = true;
            if (!data_->mapSettings.EvetoAutoRun.empty())
                world_->runEvent(parseCharacterScript(data_->mapSettings.EvetoAutoRun), "evento AutoRun");
        }
        world_->tick();
        return;
    case SceneKind::Menu:
    case SceneKind::Title:
        return;
    case SceneKind::Battle:
        battle_->tick();
        if (battle_->finished()) leaveBattle();
        return;
    case SceneKind::GameOver:
        if (frame_ - gameOverSince_ >= kGameOverFrames && titleMode_) {
            showTitle();
        } else if (frame_ - gameOverSince_ >= kGameOverFrames) {
            // the game starts again from the beginning
            newGame();
            trace("recomeco " + std::to_string(world_->hero().row) + "," + std::to_string(world_->hero().column));
        }
        return;
    }
}

}  // namespace quillmark::play
