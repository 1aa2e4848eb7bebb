// The game's state from frame to frame: steps take time, held keys keep
// walking, boxes stop the hero, characters wander near home and never onto
// the hero, walls or each other.
#include "play/model/PlayWorld.h"

#include <algorithm>
#include <set>

#include <gtest/gtest.h>

using namespace quillmark;
using namespace quillmark::play;

namespace {

struct Fixture {
    GameData data;
    std::vector<std::string> trace;
    explicit Fixture(int n = 7) {
        data.grid.newGrid(n);
        data.startRow = data.startColumn = 4;
    }
    void addCharacter(int row, int column, int speed, const std::string& script = "ShowMessage:Oi&") {
        CharacterData c;
        c.name = "Npc";
        c.row = row;
        c.column = column;
        c.speed = speed;
        c.script = parseCharacterScript(script);
        data.characters.push_back(c);
    }
    std::unique_ptr<World> world() {
        auto w = std::make_unique<World>(data);
        w->onTrace = [this](const std::string& line) { trace.push_back(line); };
        return w;
    }
};

void run(World& w, int frames) {
    for (int i = 0; i < frames; ++i) w.tick();
}

}  // namespace

TEST(PlayWorld, AStepGlidesOverItsFramesAndHeldKeysKeepWalking) {
    Fixture f;
    auto w = f.world();
    w->press(Key::Right);
    w->tick();
    EXPECT_TRUE(w->hero().moving());
    EXPECT_EQ(w->hero().toColumn, 5);
    run(*w, kHeroStepFrames / 2);
    EXPECT_EQ(w->hero().column, 4) << "still on its way";
    EXPECT_GT(w->hero().progress(), 0.4);
    run(*w, kHeroStepFrames);
    EXPECT_EQ(w->hero().column, 5);
    EXPECT_FALSE(w->hero().moving());

    // Held down, the hero walks on until the edge, and stops there.
    w->hold(Key::Down, true);
    run(*w, 10 * kHeroStepFrames);
    EXPECT_EQ(w->hero().row, 7);
    w->hold(Key::Down, false);
    w->press(Key::Up);
    run(*w, kHeroStepFrames + 1);
    EXPECT_EQ(w->hero().row, 6);
    EXPECT_EQ(w->hero().facing, Dir::Up);
}

TEST(PlayWorld, ABoxHoldsTheHeroUntilTheActionKey) {
    Fixture f;
    f.data.cellScripts[static_cast<int>(MapGrid::index(4, 4))] = parseCellEvent("OnActionPress>ShowMessage:Pare&");
    auto w = f.world();
    w->press(Key::Action);
    w->tick();
    ASSERT_TRUE(w->box());
    EXPECT_EQ(w->box()->text, "Pare");
    w->hold(Key::Left, true);
    w->press(Key::Left);
    run(*w, 3 * kHeroStepFrames);
    EXPECT_EQ(w->hero().column, 4);
    w->press(Key::Action);
    EXPECT_FALSE(w->box());
    run(*w, kHeroStepFrames + 1);
    EXPECT_EQ(w->hero().column, 3) << "the held key walks on once the box is gone";
}

TEST(PlayWorld, TalkingToACharacterComesBeforeTheCellsEvent) {
    Fixture f;
    f.addCharacter(4, 5, 0, "OnActionPress>ShowMessage:Eu primeiro&");
    f.data.cellScripts[static_cast<int>(MapGrid::index(4, 4))] = parseCellEvent("OnActionPress>ShowMessage:Chao&");
    auto w = f.world();
    w->press(Key::Right);  // blocked by the character: turns only
    w->tick();
    w->press(Key::Action);
    w->tick();
    ASSERT_TRUE(w->box());
    EXPECT_EQ(w->box()->text, "Eu primeiro");
    EXPECT_EQ(w->characters()[0].facing, Dir::Left) << "the character turns to the hero";
}

TEST(PlayWorld, CharactersWanderNearHomeOnFreeGround) {
    Fixture f(9);
    f.data.startRow = 5;
    f.data.startColumn = 6;
    f.data.grid.setXO(4, 5, 'X');
    f.data.grid.setXO(5, 4, 'X');
    f.addCharacter(5, 5, kMaxSpeed);
    f.addCharacter(1, 1, 10);  // in a corner: the map's edge holds it
    f.addCharacter(9, 9, 0);   // stands still
    auto w = f.world();
    std::set<std::pair<int, int>> visited;
    for (int i = 0; i < 60 * 60; ++i) {
        w->tick();
        const Walker& a = w->characters()[0];
        visited.insert({a.toRow, a.toColumn});
        for (const Walker& c : w->characters()) {
            EXPECT_TRUE(f.data.grid.inMap(c.toRow, c.toColumn));
            EXPECT_FALSE(w->hero().occupies(c.toRow, c.toColumn));
        }
        ASSERT_LE(std::abs(a.toRow - 5), 1);
        ASSERT_LE(std::abs(a.toColumn - 5), 1);
        ASSERT_NE(f.data.grid.xo(a.toRow, a.toColumn), 'X');
        ASSERT_FALSE(w->characters()[2].moving());
    }
    // Everywhere it may go: not the walls, not the hero's cell, not beyond them.
    const std::set<std::pair<int, int>> free{{5, 5}, {6, 4}, {6, 5}, {6, 6}};
    EXPECT_EQ(visited, free);
}

TEST(PlayWorld, TheHeroNeverWalksIntoACharacter) {
    Fixture f(3);
    f.data.startRow = f.data.startColumn = 1;
    f.addCharacter(2, 2, kMaxSpeed);
    auto w = f.world();
    const Key keys[] = {Key::Right, Key::Down, Key::Left, Key::Up};
    for (int i = 0; i < 60 * 30; ++i) {
        if (w->idle()) w->press(keys[(i / 7) % 4]);
        w->tick();
        const Walker& c = w->characters()[0];
        ASSERT_FALSE(c.occupies(w->hero().toRow, w->hero().toColumn)) << "frame " << i;
        ASSERT_FALSE(c.occupies(w->hero().row, w->hero().column)) << "frame " << i;
    }
}

TEST(PlayWorld, AVeryLongMessageIsShownPageByPage) {
    Fixture f;
    std::string text;
    for (int i = 0; i < 100; ++i) text += (i ? " palavra" : "palavra") + std::to_string(i);  // 989 characters
    f.addCharacter(4, 5, 0, "ShowMessage:" + text + "&");
    auto w = f.world();
    w->press(Key::Right);
    run(*w, 2);
    w->press(Key::Action);
    run(*w, 2);
    ASSERT_TRUE(w->box());
    std::string shown = w->box()->text;
    int pages = 1;
    while (!w->box()->pages.empty()) {
        EXPECT_LE(w->box()->text.size(), kPageChars);
        w->press(Key::Action);
        ASSERT_TRUE(w->box());
        shown += " " + w->box()->text;
        ++pages;
    }
    EXPECT_EQ(pages, 5);
    // every word, in order, none cut
    EXPECT_EQ(shown, text);
    w->press(Key::Action);
    EXPECT_FALSE(w->box());
    EXPECT_EQ(std::count(f.trace.begin(), f.trace.end(), "proxima pagina"), 4);
    EXPECT_EQ(f.trace.back(), "fecha mensagem");

    // one word longer than a page is cut; a short text is one page
    EXPECT_EQ(pagesOf(std::string(500, 'x')).size(), 3u);
    EXPECT_EQ(pagesOf("Oi").size(), 1u);
    EXPECT_EQ(pagesOf("").size(), 1u);
}

TEST(PlayWorld, AWanderingCharacterRestsAfterEachStepAndWaitsWhileTheHeroFacesIt) {
    // the fastest stroll: without a rest it would step again at once
    Fixture f;
    f.addCharacter(4, 6, kMaxSpeed);
    auto w = f.world();
    w->press(Key::Left);  // the hero looks away
    run(*w, 2);
    std::vector<int> starts, ends;
    bool was = false;
    for (int i = 0; i < 3000; ++i) {
        w->tick();
        const bool moving = w->characters()[0].moving();
        if (moving && !was) starts.push_back(w->frame());
        if (!moving && was) ends.push_back(w->frame());
        was = moving;
    }
    ASSERT_GE(starts.size(), 5u) << "it strolls";
    for (std::size_t i = 0; i + 1 < starts.size() && i < ends.size(); ++i)
        EXPECT_GE(starts[i + 1] - ends[i], kCharacterPauseFrames) << "a rest after step " << i;

    // Once it stands still right in front of the hero, it stays there to be talked to.
    Fixture g;
    g.addCharacter(4, 5, kMaxSpeed);
    auto v = g.world();
    v->press(Key::Right);  // blocked by the character: the hero only turns to it
    run(*v, 2);
    for (int i = 0; i < 3000; ++i) {
        v->tick();
        ASSERT_FALSE(v->characters()[0].moving()) << "frame " << v->frame();
    }
    EXPECT_EQ(v->characters()[0].column, 5);
    // The hero turns away: it strolls again.
    v->press(Key::Up);
    bool moved = false;
    for (int i = 0; i < 3000 && !moved; ++i) {
        v->tick();
        moved = v->characters()[0].moving();
    }
    EXPECT_TRUE(moved);
}

TEST(PlayWorld, AnErasedCharacterStaysButSaysNothingMoreAndOnlyCellsCanBeErased) {
    Fixture f;
    f.data.mapName = "Vila.xml";
    f.addCharacter(4, 5, 0, "ShowMessage:Oi&ApagarEvento:");
    GameDatabase db;
    GameState state(db, 1);
    auto w = f.world();
    w->setState(&state);
    std::vector<std::string> problems;
    w->onProblem = [&](const std::string& line) { problems.push_back(line); };
    for (int i = 0; i < 2; ++i) {
        w->press(Key::Right);  // blocked by the character: turns to it
        run(*w, 2);
        w->press(Key::Action);
        run(*w, 2);
        w->press(Key::Action);  // closes the message, if any
        run(*w, 2);
    }
    EXPECT_EQ(std::count(f.trace.begin(), f.trace.end(), "personagem Npc 4,5"), 1);
    EXPECT_TRUE(state.eventErased("Vila.xml", 4, 5));
    EXPECT_EQ(w->characters().size(), 1u);

    // an item's event has no cell to erase
    w->runEvent(parseCharacterScript("ApagarEvento:"), "evento do item Pocao");
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].find("ApagarEvento:"), std::string::npos) << problems[0];
    EXPECT_EQ(state.erasedEvents().size(), 1u);
}

TEST(PlayWorld, ScriptsPiecedTogetherAtRandomNeverCrashOrHang) {
    // every keyword and block mark with arguments right, wrong or missing,
    // glued in random order; each script runs with keys pressed at random
    const char* const pieces[] = {
        "IniciaChuva:",
        "ShowMessage:oi&",
        "ShowDialog:|x&",
        "ShowDialog:sem barra&",
        "MudarMapa:1|1|Outro.xml&",
        "MudarMapa:x&",
        "IniciarBatalha:Fuga|Slime&",
        "IniciarBatalha:Fuga&",
        "GameOver:",
        "AdicionarItem:2|Pocao&",
        "AdicionarItem:-9|Pocao&",
        "AdicionarItem:|&",
        "MoverHeroi:CBED&",
        "MoverHeroi:Z&",
        "MudarNome:Zeca&",
        "MudarLevel:7&",
        "MudarLevel:&",
        "QuestaoObjetiva:Sim?&",
        "MultiplaEscolha:Qual?|a|b|c&",
        "MultiplaEscolha:Q?|a&",
        "Sim:",
        "Nao:",
        "Opcao:",
        "FimQuestao:",
        "LigarInterruptor:3&",
        "DesligarInterruptor:3&",
        "LigarInterruptor:300&",
        "SeInterruptor:3|Ligado&",
        "SeTemItem:1|Pocao&",
        "SeDinheiro:5&",
        "Senao:",
        "FimSe:",
        "DarDinheiro:10&",
        "DarDinheiro:-99&",
        "ApagarEvento:",
        "AddChar:X|1",
        "Lixo;",
        "&",
        "|",
        "ShowMessage:sem fim",
    };
    std::uint32_t seed = 12345;
    auto next = [&seed] {
        seed ^= seed << 13;
        seed ^= seed >> 17;
        seed ^= seed << 5;
        return seed;
    };
    GameDatabase db;
    db.items.push_back(ItemDef{});
    db.items.back().name = "Pocao";
    for (int round = 0; round < 300; ++round) {
        std::string text = "OnActionPress>";
        const int count = 1 + static_cast<int>(next() % 12);
        for (int i = 0; i < count; ++i) text += pieces[next() % std::size(pieces)];
        Fixture f;
        f.data.mapName = "Vila.xml";
        f.data.grid.setXO(4, 5, 'X');
        f.data.cellScripts[static_cast<int>(MapGrid::index(4, 5))] = parseCellEvent(text);
        GameState state(db, next());
        auto w = f.world();
        w->setState(&state);
        w->onBattle = [](const std::vector<std::string>&, bool) { return false; };
        w->onTransfer = [](const std::string&, int, int) { return false; };
        w->press(Key::Right);
        run(*w, 2);
        w->press(Key::Action);
        w->tick();  // the event starts
        const Key keys[] = {Key::Up, Key::Down, Key::Action, Key::Choice, Key::Left};
        for (int frame = 0; frame < 600; ++frame) {
            if (frame % 7 == 0) w->press(keys[next() % std::size(keys)], 1 + static_cast<int>(next() % 5));
            w->tick();
        }
        // whatever it held, the event ends: at most the last box waits for a key
        for (int i = 0; i < 200 && !w->idle(); ++i) {
            w->press(w->box() && w->box()->asking() ? Key::Choice : Key::Action, 1);
            run(*w, 20);
        }
        EXPECT_TRUE(w->idle()) << text;
        EXPECT_NE(std::find(f.trace.begin(), f.trace.end(), "evento OnActionPress 4,5"), f.trace.end()) << text;
        EXPECT_GE(state.money(), 0);
    }
}
