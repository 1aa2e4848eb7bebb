// Saved games on disk: every part of the game state survives a save and a
// load; damaged saves and saves of a later version are refused with a message
// naming the file while the other slots still load; a save that cannot be
// written leaves the game going and the earlier save whole.
#include "GameFixture.h"

#include "model/core/Error.h"
#include "model/core/Files.h"
#include "play/model/SaveGame.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace quillmark;
using namespace quillmark::play;
using qmtest::SmallGame;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeRaw(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// Two saves hold the same game (the time of saving aside).
void expectSame(const SavedGame& a, const SavedGame& b) {
    EXPECT_EQ(a.map, b.map);
    EXPECT_EQ(a.row, b.row);
    EXPECT_EQ(a.column, b.column);
    EXPECT_EQ(a.facing, b.facing);
    EXPECT_EQ(a.heroName, b.heroName);
    EXPECT_EQ(a.hero.level, b.hero.level);
    EXPECT_EQ(a.hero.experience, b.hero.experience);
    EXPECT_EQ(a.hero.hp, b.hero.hp);
    EXPECT_EQ(a.hero.mp, b.hero.mp);
    EXPECT_EQ(a.hero.bonusHp, b.hero.bonusHp);
    EXPECT_EQ(a.hero.bonusMp, b.hero.bonusMp);
    EXPECT_EQ(a.hero.bonusStrength, b.hero.bonusStrength);
    EXPECT_EQ(a.hero.bonusDefence, b.hero.bonusDefence);
    EXPECT_EQ(a.hero.bonusAgility, b.hero.bonusAgility);
    EXPECT_EQ(a.hero.spells, b.hero.spells);
    EXPECT_EQ(a.hero.inventory, b.hero.inventory);
    EXPECT_EQ(a.hero.money, b.hero.money);
    EXPECT_EQ(a.hero.stepsSinceBattle, b.hero.stepsSinceBattle);
    EXPECT_EQ(a.hero.random, b.hero.random);
    EXPECT_EQ(a.switchesOn, b.switchesOn);
    EXPECT_EQ(a.erasedEvents, b.erasedEvents);
    EXPECT_EQ(a.weather.rain, b.weather.rain);
    EXPECT_EQ(a.weather.snow, b.weather.snow);
    EXPECT_EQ(a.weather.storm, b.weather.storm);
}

// A game far from its start in every part of its state.
void playALot(Game& game) {
    GameState& s = game.state();
    std::vector<std::string> levelUps;
    s.gainExperience(70);                                 // level 3
    s.useItem(*game.data().db.item("Tonico"), levelUps);  // maximum HP +15, lasting
    s.addItem("Pocao", 4);
    s.addItem("Po\xE7\xE3o M\xE1gica", 2);  // a name with accents (CP1252)
    s.addMoney(1234);
    s.setHp(17);
    s.setMp(3);
    s.setSwitch(3, true);
    s.setSwitch(100, true);
    s.eraseEvent("Vila.xml", 2, 5);
    s.eraseEvent("Caverna.xml", 7, 1);
    s.setHeroName("Z\xE9 da Silva");
    s.stepsSinceBattle = 5;
    s.random().next();
    game.enterMap("Caverna.xml", 5, 3, Dir::Left);  // a map other than the first
    game.world().setWeather(Weather{true, false, true});
}

}  // namespace

TEST(SaveGame, EveryPartOfTheGameStateSurvivesASaveAndALoad) {
    SmallGame g;
    auto first = g.start();
    playALot(*first);
    const SavedGame before = captureGame(*first);
    ASSERT_EQ(before.hero.level, 3);
    ASSERT_EQ(first->state().maxHp(), 85);  // 70 at level 3, +15 from the tonic
    first->saveTo(2);
    EXPECT_TRUE(QFile::exists(g.savesFolder() + "Save2.sav"));
    EXPECT_TRUE(g.traced("salvo em Saves\\Save2.sav"));

    // a new start of the player loads it
    auto second = g.start(99);
    second->loadFrom(2);
    expectSame(captureGame(*second), before);
    const GameState& s = second->state();
    EXPECT_EQ(s.level(), 3);
    EXPECT_EQ(s.maxHp(), 85);
    EXPECT_EQ(s.hp(), 17);
    EXPECT_EQ(s.count("Pocao"), 5);
    EXPECT_EQ(s.count("Tonico"), 0);
    EXPECT_EQ(s.heroName(), "Z\xE9 da Silva");
    EXPECT_TRUE(s.switchOn(3) && s.switchOn(100) && !s.switchOn(4));
    EXPECT_TRUE(s.eventErased("Vila.xml", 2, 5) && s.eventErased("Caverna.xml", 7, 1));
    EXPECT_FALSE(s.eventErased("Vila.xml", 5, 2));
    EXPECT_EQ(second->mapName(), "Caverna.xml");
    EXPECT_EQ(second->world().hero().row, 5);
    EXPECT_EQ(second->world().hero().column, 3);
    EXPECT_EQ(second->world().hero().facing, Dir::Left);
    EXPECT_TRUE(second->world().weather().rain && second->world().weather().storm);
    EXPECT_EQ(second->scene(), SceneKind::Map);
    // the loaded game draws the same random numbers as the saved one would
    EXPECT_EQ(second->state().random().next(), first->state().random().next());
}

TEST(SaveGame, TheFileRoundTripsByItself) {
    SavedGame s;
    s.savedAt = "2026-12-10 14:30";
    s.map = "Ma\xE7\xE3.xml";
    s.row = 100;
    s.column = 1;
    s.facing = Dir::Up;
    s.heroName = "Jo\xE3o";
    s.hero = HeroRecord{99,         1'000'000'000'000LL,        9999,          0,      -9999,      9999, 5, -5, 1,
                        {1, 4, 77}, {{"A\xE7o", 99}, {"B", 1}}, 999'999'999LL, 123456, 0xFFFFFFFFu};
    s.switchesOn = {1, 50, 100};
    s.erasedEvents = {{"Ma\xE7\xE3.xml", 1, 100}, {"b.xml", 100, 1}};
    s.weather = Weather{false, true, false};
    const QByteArray bytes = encodeSave(s);
    const SavedGame back = decodeSave(bytes, "Saves\\Save1.sav");
    expectSame(back, s);
    EXPECT_EQ(back.savedAt, s.savedAt);
    // the text is UTF-8, whatever the game keeps in memory
    EXPECT_TRUE(bytes.contains("\"Jo\xC3\xA3o\"")) << bytes.toStdString();
    EXPECT_TRUE(bytes.contains("\"versao\": 1"));
}

TEST(SaveGame, DamagedSavesAreRefusedByNameAndTheOtherSlotsLoad) {
    SmallGame g;
    auto game = g.start();
    game->saveTo(1);
    game->world().placeHero(3, 3, Dir::Up);
    game->saveTo(3);
    const QByteArray good = readAll(g.savesFolder() + "Save1.sav");
    ASSERT_FALSE(good.isEmpty());
    auto changed = [&](const char* from, const char* to) {
        QByteArray b = good;
        const int at = b.indexOf(from);
        EXPECT_GE(at, 0) << from;
        return b.replace(at, static_cast<int>(qstrlen(from)), to);
    };
    const struct {
        const char* what;
        QByteArray bytes;
        const char* says;
    } cases[] = {
        {"cut short", good.left(good.size() / 2), "se interrompe"},
        {"empty", QByteArray(), "se interrompe"},
        {"not a save", "{\"nome\": \"outro arquivo\"}", "não é um jogo salvo"},
        {"binary noise", QByteArray("\x89PNG\r\n\x1a\n\0\0\0", 12), "se interrompe"},
        {"no hero", changed("\"heroi\"", "\"heroina\""), "falta \"heroi\""},
        {"level not a number", changed("\"nivel\": 1", "\"nivel\": \"um\""), "\"nivel\" não é um número inteiro"},
        {"level too high", changed("\"nivel\": 1", "\"nivel\": 1000"), "\"nivel\" fora do intervalo 1 a 99"},
        {"a row off the map", changed("\"linha\": 4", "\"linha\": 0"), "\"linha\" fora do intervalo"},
        {"a fraction", changed("\"linha\": 4", "\"linha\": 4.5"), "\"linha\" não é um número inteiro"},
        {"a map path", changed("\"mapa\": \"Vila.xml\"", "\"mapa\": \"../../etc/passwd\""), "\"mapa\""},
        {"a facing", changed("\"baixo\"", "\"norte\""), "\"direcao\""},
        {"an item without count", changed("\"quantidade\": 1", "\"quantidade\": 0"), "\"quantidade\""},
        {"a switch out of range", changed("\"interruptores\": [\n    ]", "\"interruptores\": [101]"),
         "\"interruptores\" fora do intervalo 1 a 100"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        writeRaw(g.savesFolder() + "Save2.sav", c.bytes);
        const SaveSlots& saves = game->saves();
        try {
            saves.read(2);
            ADD_FAILURE() << "read";
        } catch (const Error& e) {
            const std::string m = e.what();
            EXPECT_NE(m.find("\"Saves\\Save2.sav\" está danificado"), std::string::npos) << m;
            EXPECT_NE(m.find(c.says), std::string::npos) << m;
        }
        EXPECT_EQ(saves.info(2).kind, SlotInfo::Kind::Refused);
        // the game goes on as it was, and the other slots load
        EXPECT_THROW(game->loadFrom(2), Error);
        EXPECT_EQ(saves.info(1).kind, SlotInfo::Kind::Saved);
        game->loadFrom(3);
        EXPECT_EQ(game->world().hero().row, 3);
        game->loadFrom(1);
        EXPECT_EQ(game->world().hero().row, 4);
    }
}

TEST(SaveGame, ASaveOfALaterVersionIsRefusedWithItsMessage) {
    SmallGame g;
    auto game = g.start();
    game->saveTo(1);
    QByteArray later = readAll(g.savesFolder() + "Save1.sav");
    later.replace("\"versao\": 1", "\"versao\": 7");
    // a later version may add what this one does not know, and change the rest
    later.replace("\"heroi\"", "\"personagens\"");
    writeRaw(g.savesFolder() + "Save1.sav", later);
    try {
        game->saves().read(1);
        FAIL() << "read";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(),
                     "o jogo salvo \"Saves\\Save1.sav\" é de uma versão mais nova do jogo (formato 7; este jogo lê até "
                     "o formato 1): atualize o Quillmark para carregá-lo");
    }
    EXPECT_EQ(game->saves().info(1).kind, SlotInfo::Kind::Refused);
}

TEST(SaveGame, ASaveThatCannotBeWrittenLeavesTheGameGoingAndTheEarlierSaveWhole) {
    SmallGame g;
    auto game = g.start();
    // a project without "Saves\": the first save makes it
    ASSERT_TRUE(QDir(g.savesFolder()).removeRecursively());
    game->saveTo(1);
    const QByteArray first = readAll(g.savesFolder() + "Save1.sav");
    ASSERT_FALSE(first.isEmpty());

    // "Saves" that is a file, not a folder
    ASSERT_TRUE(QDir(g.savesFolder()).removeRecursively());
    writeRaw(g.project.folder() + "Saves", "nada");
    try {
        game->saveTo(2);
        FAIL() << "saved";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("o jogo não pôde ser salvo em \"Saves\\Save2.sav\""), std::string::npos)
            << e.what();
    }
    EXPECT_EQ(g.trace.back().rfind("nao salvo: o jogo não pôde ser salvo em \"Saves\\Save2.sav\": ", 0), 0u)
        << g.trace.back();
    QFile::remove(g.project.folder() + "Saves");

    // "Saves" that is a link leading out of the project: refused, nothing written there
    qmtest::TempDir outside;
    ASSERT_TRUE(QFile::link(outside.path(), g.project.folder() + "Saves"));
    EXPECT_THROW(game->saveTo(1), Error);
    EXPECT_TRUE(QDir(outside.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    QFile::remove(g.project.folder() + "Saves");

    // a save cut short after making "Saves\" and before its file: no save, and the next one works
    ASSERT_TRUE(QDir(g.savesFolder()).removeRecursively());
    game->state().addMoney(500);
    static int writes = 0;
    writes = 0;
    setWriteObserver([](const QString&) {
        if (++writes == 1) throw Error("corte simulado");
    });
    EXPECT_THROW(game->saveTo(1), Error);
    setWriteObserver(nullptr);
    EXPECT_EQ(writes, 1);
    EXPECT_TRUE(QDir(g.savesFolder()).exists());
    EXPECT_EQ(game->saves().info(1).kind, SlotInfo::Kind::Empty);
    game->saveTo(1);
    EXPECT_EQ(game->saves().read(1).hero.money, 500);
}
