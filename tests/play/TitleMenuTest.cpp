// The title screen and the map's menu, answered the ways a player can: the
// arrow keys and the action key, the digits, Esc and back; and the whole way
// through the real player: a new game saved from the menu and continued from
// the title screen of the next start.
#include "GameFixture.h"

#include "play/model/SaveGame.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace quillmark;
using namespace quillmark::play;
using qmtest::SmallGame;
using Entries = std::vector<std::string>;

TEST(TitleScreen, OffersContinuarOnlyWhenASlotHoldsASave) {
    SmallGame g;
    auto game = g.start();
    game->showTitle();
    EXPECT_EQ(game->scene(), SceneKind::Title);
    EXPECT_EQ(game->title().entries(), (Entries{"Novo Jogo", "Sair"}));
    EXPECT_TRUE(g.traced("titulo: [Novo Jogo] [Sair]"));

    // a save in the third slot
    game->newGame();
    game->saveTo(3);
    game->showTitle();
    EXPECT_EQ(game->title().entries(), (Entries{"Novo Jogo", "Continuar", "Sair"}));
    game->press(Key::Down);
    game->press(Key::Action);
    EXPECT_EQ(game->title().page(), TitleScene::Page::Slots);
    const Entries listed = game->title().entries();
    ASSERT_EQ(listed.size(), 3u);
    EXPECT_EQ(listed[0], "Espaço 1: vazio");
    EXPECT_EQ(listed[1], "Espaço 2: vazio");
    EXPECT_EQ(listed[2].rfind("Espaço 3: Arthos  nível 1  Vila  ", 0), 0u) << listed[2];
    EXPECT_EQ(game->title().cursor(), 2);  // on the save
    // an empty slot says so; Esc goes back to the first list
    game->press(Key::Choice, 1);
    EXPECT_EQ(game->title().message(), "O espaço 1 está vazio.");
    EXPECT_EQ(game->scene(), SceneKind::Title);
    game->press(Key::Menu);
    EXPECT_EQ(game->title().page(), TitleScene::Page::Main);
    EXPECT_EQ(game->title().cursor(), 1);

    // only a damaged save: "Continuar" is offered, and says why it cannot load
    QFile::remove(g.savesFolder() + "Save3.sav");
    QFile f(g.savesFolder() + "Save2.sav");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("{\"formato\": \"quillmark-save\", \"versao\": 1");
    f.close();
    game->showTitle();
    EXPECT_EQ(game->title().entries(), (Entries{"Novo Jogo", "Continuar", "Sair"}));
    game->press(Key::Choice, 2);
    EXPECT_EQ(game->title().entries()[1], "Espaço 2: não pode ser carregado");
    game->press(Key::Choice, 2);
    EXPECT_EQ(game->title().message().rfind("o jogo salvo \"Saves\\Save2.sav\" está danificado", 0), 0u)
        << game->title().message();
    EXPECT_EQ(game->scene(), SceneKind::Title);
}

TEST(TitleScreen, MovesWithSoundsStartsANewGameAndQuits) {
    SmallGame g;
    auto game = g.start();
    game->showTitle();
    g.sounds.clear();
    game->press(Key::Down);  // "Sair"
    game->press(Key::Down);  // round to "Novo Jogo"
    EXPECT_EQ(game->title().cursor(), 0);
    EXPECT_EQ(g.sounds, (Entries{"Menu.wav", "Menu.wav"}));
    game->world().placeHero(2, 2, Dir::Up);  // where the last game stood
    game->state().addMoney(40);
    game->press(Key::Action);
    EXPECT_EQ(g.sounds.back(), "MenuSelect.wav");
    EXPECT_EQ(game->scene(), SceneKind::Map);
    EXPECT_EQ(game->world().hero().row, 4);  // a new game from the start
    EXPECT_EQ(game->state().money(), 0);

    game->showTitle();
    bool quit = false;
    game->onQuit = [&] { quit = true; };
    game->press(Key::Up);  // "Sair", from the top round to the bottom
    game->press(Key::Action);
    EXPECT_TRUE(quit);
    EXPECT_TRUE(game->quitRequested());
}

TEST(TitleScreen, ASaveWhoseMapIsGoneStaysOnTheTitleScreenSayingWhy) {
    SmallGame g;
    auto game = g.start();
    game->enterMap("Caverna.xml", 2, 2, Dir::Up);
    game->saveTo(1);
    ASSERT_TRUE(QFile::rename(g.project.folder() + "Mapas/Caverna.xml", g.project.folder() + "Mapas/Gruta.xml"));
    game->showTitle();
    game->press(Key::Choice, 2);  // "Continuar"
    game->press(Key::Choice, 1);
    EXPECT_EQ(game->scene(), SceneKind::Title);
    EXPECT_NE(game->title().message().find("Caverna.xml"), std::string::npos) << game->title().message();
    // a new game still starts
    game->press(Key::Choice, 1);
    EXPECT_EQ(game->scene(), SceneKind::Map);
    EXPECT_EQ(game->mapName(), "Vila.xml");
}

TEST(TitleScreen, AGameLostGoesBackToTheTitleScreen) {
    SmallGame g;
    auto game = g.start();
    game->showTitle();
    game->press(Key::Action);  // "Novo Jogo"
    game->saveTo(1);
    ASSERT_TRUE(game->startBattle({"Golem"}));
    for (int i = 0; i < 4000 && game->scene() == SceneKind::Battle; ++i) {
        if (game->idle()) game->press(Key::Attack);
        if (game->idle()) game->press(Key::Action);
        game->tick();
    }
    ASSERT_EQ(game->scene(), SceneKind::GameOver);
    qmtest::ticks(*game, kGameOverFrames);
    EXPECT_EQ(game->scene(), SceneKind::Title);
    EXPECT_EQ(game->title().entries(), (Entries{"Novo Jogo", "Continuar", "Sair"}));
    // and "Continuar" takes the saved game up again
    game->press(Key::Down);
    game->press(Key::Action);
    game->press(Key::Action);
    EXPECT_EQ(game->scene(), SceneKind::Map);
    EXPECT_EQ(game->state().hp(), game->state().maxHp());
}

TEST(TitleScreen, AMissingOrDamagedPictureGivesAPlainScreen) {
    SmallGame g;
    {
        auto game = g.start();
        game->showTitle();
        EXPECT_FALSE(game->title().picture().isEmpty());  // the template's
    }
    std::vector<std::string> problems;
    QFile pic(g.project.folder() + "Imagens/Title.bmp");
    ASSERT_TRUE(pic.open(QIODevice::WriteOnly | QIODevice::Truncate));
    pic.write("BM not really a picture");
    pic.close();
    auto damaged = g.start();
    damaged->onProblem = [&](const std::string& line) { problems.push_back(line); };
    damaged->showTitle();
    EXPECT_TRUE(damaged->title().picture().isEmpty());
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].rfind("a imagem do título \"Imagens\\Title.bmp\" não pode ser lida", 0), 0u) << problems[0];
    EXPECT_EQ(damaged->title().entries(), (Entries{"Novo Jogo", "Sair"}));

    QFile::remove(g.project.folder() + "Imagens/Title.bmp");
    problems.clear();
    auto missing = g.start();
    missing->onProblem = [&](const std::string& line) { problems.push_back(line); };
    missing->showTitle();
    EXPECT_TRUE(missing->title().picture().isEmpty());
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0], "a imagem do título \"Imagens\\Title.bmp\" não existe: tela de título simples");
}

TEST(MapMenu, EscOpensItAndGoesBackAPageAtATime) {
    SmallGame g;
    auto game = g.start();
    game->press(Key::Menu);
    ASSERT_EQ(game->scene(), SceneKind::Menu);
    EXPECT_EQ(game->menu().entries(), (Entries{"Itens", "Magias", "Status", "Salvar", "Sair"}));
    // the world waits while the menu shows
    const int frame = game->world().frame();
    qmtest::ticks(*game, 30);
    EXPECT_EQ(game->world().frame(), frame);
    game->press(Key::Down);
    game->press(Key::Down);
    game->press(Key::Action);
    EXPECT_EQ(game->menu().page(), MapMenu::Page::Status);
    game->press(Key::Menu);
    EXPECT_EQ(game->menu().page(), MapMenu::Page::Main);
    EXPECT_EQ(game->menu().cursor(), 2);  // back on "Status"
    game->press(Key::Back);
    EXPECT_EQ(game->scene(), SceneKind::Map);
    // the arrows walk again
    game->press(Key::Up);
    qmtest::ticks(*game, 20);
    EXPECT_EQ(game->world().hero().row, 3);
    // Esc during a step: the step ends, then the menu opens
    game->press(Key::Down);
    qmtest::ticks(*game, 3);
    ASSERT_TRUE(game->world().hero().moving());
    game->press(Key::Menu);
    EXPECT_EQ(game->scene(), SceneKind::Map);
    qmtest::ticks(*game, 20);
    EXPECT_EQ(game->scene(), SceneKind::Menu);
    EXPECT_EQ(game->world().hero().row, 4);
}

TEST(MapMenu, StatusShowsTheHerosValues) {
    SmallGame g;
    auto game = g.start();
    std::vector<std::string> ups;
    game->state().gainExperience(25);  // level 2 at 20, level 3 at 60
    game->state().useItem(*game->data().db.item("Tonico"), ups);
    game->state().addMoney(321);
    game->state().setHp(12);
    game->press(Key::Menu);
    game->press(Key::Choice, 3);
    EXPECT_EQ(game->menu().entries(),
              (Entries{"Nome: Arthos", "Nível: 2", "Experiência: 25", "Para o próximo nível: 35", "HP: 12/75",
                       "MP: 15/15", "Força: 25", "Defesa: 15", "Agilidade: 15", "Dinheiro: 321"}));
    EXPECT_EQ(game->data().db.hero.face, "Face01.bmp");
    // at the last level there is no next one
    game->state().gainExperience(1000);
    EXPECT_EQ(game->menu().entries()[3], "Para o próximo nível: nível máximo");
    EXPECT_EQ(game->menu().entries()[1], "Nível: 5");
}

TEST(MapMenu, AnItemIsUsedFromTheMenuAndLeavesTheList) {
    SmallGame g;
    auto game = g.start();
    game->state().setHp(10);
    game->press(Key::Menu);
    game->press(Key::Action);  // "Itens"
    // "Bomba" is for battles only
    EXPECT_EQ(game->menu().entries(), (Entries{"Pocao  x1", "Tonico  x1"}));
    EXPECT_TRUE(g.traced("itens: Pocao x1 Tonico x1"));
    game->press(Key::Action);
    EXPECT_EQ(game->state().hp(), 40);
    EXPECT_TRUE(g.traced("usa o item Pocao: HP 40/50"));
    EXPECT_EQ(game->menu().message(), "Pocao: HP 40/50.");
    // the menu stays on the list, now shorter
    EXPECT_EQ(game->scene(), SceneKind::Menu);
    EXPECT_EQ(game->menu().entries(), (Entries{"Tonico  x1"}));
    game->press(Key::Choice, 1);
    EXPECT_EQ(game->state().maxHp(), 65);
    EXPECT_TRUE(game->menu().entries().empty());

    // the item key opens the list straight away, and the key again closes it
    game->state().addItem("Pocao");
    game->press(Key::Menu);
    game->press(Key::Menu);
    ASSERT_EQ(game->scene(), SceneKind::Map);
    game->press(Key::Item);
    EXPECT_TRUE(game->itemListOpen());
    game->press(Key::Item);
    EXPECT_EQ(game->scene(), SceneKind::Map);
    game->press(Key::Item);
    game->press(Key::Choice, 1);  // using one closes the list opened so
    EXPECT_EQ(game->scene(), SceneKind::Map);
    EXPECT_EQ(game->state().count("Pocao"), 0);
}

TEST(MapMenu, HealingSpellsOnTheMapCostTheirMp) {
    SmallGame g;
    auto game = g.start();
    game->state().setHp(5);
    game->press(Key::Menu);
    game->press(Key::Choice, 2);  // "Magias": "Fogo" is for battles
    EXPECT_EQ(game->menu().entries(), (Entries{"Cura  5 MP"}));
    game->press(Key::Action);
    EXPECT_EQ(game->state().hp(), 45);
    EXPECT_EQ(game->state().mp(), 5);
    EXPECT_TRUE(g.traced("usa a magia Cura: HP +40, HP 45/50"));
    game->press(Key::Action);  // 5 MP left: once more, up to the maximum
    EXPECT_EQ(game->state().hp(), 50);
    EXPECT_EQ(game->state().mp(), 0);
    game->press(Key::Action);
    EXPECT_EQ(game->menu().message(), "MP insuficiente para Cura.");
    EXPECT_EQ(game->state().mp(), 0);
}

TEST(MapMenu, SavesIntoASlotAndSaysWhyWhenItCannot) {
    SmallGame g;
    auto game = g.start();
    game->press(Key::Menu);
    game->press(Key::Choice, 4);  // "Salvar"
    EXPECT_EQ(game->menu().entries(), (Entries{"Espaço 1: vazio", "Espaço 2: vazio", "Espaço 3: vazio"}));
    game->press(Key::Down);
    game->press(Key::Action);
    EXPECT_EQ(game->menu().message(), "Jogo salvo no espaço 2.");
    EXPECT_EQ(game->menu().entries()[1].rfind("Espaço 2: Arthos  nível 1  Vila  ", 0), 0u);
    EXPECT_TRUE(QFile::exists(g.savesFolder() + "Save2.sav"));

    // a "Saves" that cannot hold files: the message names it, the game goes on
    ASSERT_TRUE(QDir(g.savesFolder()).removeRecursively());
    QFile blocker(g.project.folder() + "Saves");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    game->press(Key::Choice, 1);
    EXPECT_EQ(game->menu().message().rfind("o jogo não pôde ser salvo em \"Saves\\Save1.sav\": ", 0), 0u)
        << game->menu().message();
    EXPECT_EQ(game->scene(), SceneKind::Menu);
    game->press(Key::Menu);
    game->press(Key::Menu);
    game->press(Key::Down);
    qmtest::ticks(*game, 20);
    EXPECT_EQ(game->world().hero().row, 5);
}

TEST(MapMenu, SairAsksAndNaoIsTheFirstAnswer) {
    SmallGame g;
    auto game = g.start();
    game->press(Key::Menu);
    game->press(Key::Choice, 5);
    EXPECT_EQ(game->menu().title(), "Sair do jogo?");
    EXPECT_EQ(game->menu().entries(), (Entries{"Sim", "Não"}));
    game->press(Key::Action);  // "Não"
    EXPECT_EQ(game->menu().page(), MapMenu::Page::Main);
    EXPECT_FALSE(game->quitRequested());
    game->press(Key::Choice, 5);
    game->press(Key::Up);
    game->press(Key::Action);  // "Sim"
    EXPECT_TRUE(game->quitRequested());
}

TEST(TitleAndMenu, ANewGameSavedFromTheMenuContinuesOnTheNextStart) {
    SmallGame g;
    // title: "Novo Jogo"; two steps right; the menu; "Salvar", slot 1
    const auto saved = qmtest::play(g.project.projectFile(), "ARRP41", 600, {"--title", "--at", "4,4"});
    ASSERT_EQ(saved.status, 0) << saved.errText();
    EXPECT_TRUE(saved.has("titulo: [Novo Jogo] [Sair]")) << saved.outText();
    EXPECT_TRUE(saved.has("novo jogo")) << saved.outText();
    EXPECT_TRUE(saved.has("salvo em Saves\\Save1.sav")) << saved.outText();
    EXPECT_TRUE(saved.last().endsWith("heroi 4,6 direita")) << saved.outText();

    // the next start: "Continuar", the first slot
    const auto continued = qmtest::play(g.project.projectFile(), "DAA", 200, {"--title", "--at", "4,4"});
    ASSERT_EQ(continued.status, 0) << continued.errText();
    EXPECT_TRUE(continued.has("titulo: [Novo Jogo] [Continuar] [Sair]")) << continued.outText();
    EXPECT_TRUE(continued.has("carregado Saves\\Save1.sav Vila.xml 4,6 direita")) << continued.outText();
    EXPECT_TRUE(continued.last().endsWith("heroi 4,6 direita")) << continued.outText();

    // "Sair" on the title ends the player at once
    const auto quit = qmtest::play(g.project.projectFile(), "UA", 100000, {"--title"});
    EXPECT_EQ(quit.status, 0);
    EXPECT_TRUE(quit.has("sair")) << quit.outText();
    EXPECT_LT(quit.last().mid(11).section(' ', 0, 0).toInt(), 100) << quit.outText();
}
