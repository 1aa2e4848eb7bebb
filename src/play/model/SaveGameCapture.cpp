// A running game as a save holds it, and a save put back into a game.
#include "play/model/Game.h"
#include "play/model/SaveGame.h"

#include <QDateTime>

namespace quillmark::play {

SavedGame captureGame(const Game& game) {
    SavedGame s;
    s.savedAt = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")).toStdString();
    const GameState& state = game.state();
    const Walker& hero = game.world().hero();
    s.map = game.mapName();
    // a hero between two cells is saved on the cell it steps to
    s.row = hero.toRow;
    s.column = hero.toColumn;
    s.facing = hero.facing;
    s.heroName = state.heroName();
    s.hero = state.record();
    for (int n = 1; n <= 100; ++n)
        if (state.switchOn(n)) s.switchesOn.push_back(n);
    s.erasedEvents = state.erasedEvents();
    s.weather = game.world().weather();
    return s;
}

void restoreGame(Game& game, const SavedGame& saved) {
    game.newGame();
    GameState& state = game.state();
    state.restore(saved.hero);
    state.setHeroName(saved.heroName);
    for (int n : saved.switchesOn) state.setSwitch(n, true);
    for (const auto& [map, row, column] : saved.erasedEvents) state.eraseEvent(map, row, column);
    game.enterMap(saved.map, saved.row, saved.column, saved.facing);
    game.world().setWeather(saved.weather);
    // entering the map drew from the random source: it goes on from where the save left it
    state.random().reseed(saved.hero.random);
}

}  // namespace quillmark::play
