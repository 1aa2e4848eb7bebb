// Events that tell a story, through the real quillmark-play in its test mode:
// map transfers there and back, a chest that gives once, a door behind a
// switch, both answers of a question, items counted, a battle the hero may
// not flee, the hero walked by an event, and broken scripts that are skipped
// without a hang. The game state's own rules are checked directly.
#include "GameFixture.h"
#include "PlayRunner.h"

#include "model/core/Error.h"
#include "model/core/RecordTable.h"
#include "model/core/Text.h"
#include "model/mapedit/MapProperties.h"
#include "play/model/Game.h"
#include "play/model/GameState.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace quillmark;
using qmtest::PlayResult;
using qmtest::ProjectFixture;

namespace {

using qmtest::Fields;

std::string cp(const std::string& utf8) {
    std::string out;
    utf8ToCp1252(utf8, &out);
    return out;
}

// Two 7 x 7 maps, "Vila.xml" (the first) and "Caverna.xml"; a hero of level
// 1 to 5 who starts with one "Pocao"; a weak "Slime" and a "Golem" no hero
// of this game can beat; the items "Pocao" and "Chave". The hero starts at
// 4,4 of the village.
struct Story {
    ProjectFixture project;
    MapGrid vila = qmtest::smallMap();
    MapGrid caverna = qmtest::smallMap();
    Story() {
        const QString data = project.folder() + "Data/";
        monster("Slime", 30, 10, 4, 5);
        monster("Golem", 9000, 900, 900, 99);
        for (const char* item : {"Pocao", "Chave"})
            qmtest::addRecordTo(data + "Itens.xml",
                                {{"Nome", item}, {"Acao", "0"}, {"AcaoAux", "10"}, {"usMapa", "TRUE"}});
        qmtest::editFirstRecord(data + "Personagem.xml", Fields{{"Nome", "Arthos"},
                                                                {"NvInicial", "1"},
                                                                {"NvMax", "5"},
                                                                {"HPInicial", "50"},
                                                                {"HPMax", "90"},
                                                                {"ForcaInicial", "20"},
                                                                {"ForcaMax", "40"},
                                                                {"DefIncial", "10"},
                                                                {"DefMax", "30"},
                                                                {"AgInicial", "10"},
                                                                {"AgMax", "30"},
                                                                {"Iten01", "Pocao"}});
    }
    void monster(const char* name, int hp, int strength, int defence, int agility) {
        qmtest::addRecordTo(project.folder() + "Data/Monstros.xml", {{"Nome", name},
                                                                     {"Nivel", "1"},
                                                                     {"HP", std::to_string(hp)},
                                                                     {"Forca", std::to_string(strength)},
                                                                     {"Defesa", std::to_string(defence)},
                                                                     {"Agilidade", std::to_string(agility)},
                                                                     {"Dinheiro", "5"},
                                                                     {"ExpGanha", "10"}});
    }
    // An event the hero examines from 4,4 facing right (the cell stays blocked).
    void ahead(const std::string& script) {
        vila.setXO(4, 5, 'X');
        vila.setEvento(4, 5, cp("OnActionPress>" + script));
    }
    void write() {
        project.addMap("Vila.xml", vila);
        project.addMap("Caverna.xml", caverna);
    }
    PlayResult run(const QString& keys, int frames = 600, int seed = 1) const {
        return qmtest::play(project.projectFile(), keys, frames, {"--at", "4,4", "--seed", QString::number(seed)});
    }
};

QString stateLine(const PlayResult& r) {
    for (const QString& line : r.lines())
        if (line.startsWith("estado ")) return line;
    return {};
}

int countOf(const PlayResult& r, const QString& line) { return static_cast<int>(r.lines().count(line)); }

}  // namespace

TEST(Story, ATransferLandsOnTheChosenCellOfTheOtherMapAndBack) {
    Story s;
    s.vila.setEvento(4, 5, "OnPlayerTouch>MudarMapa:2|3|Caverna.xml&");
    s.caverna.setEvento(3, 3, "OnPlayerTouch>MudarMapa:6|4|Vila.xml&ShowMessage:De volta!&");
    s.write();
    const PlayResult r = s.run("RRAD");
    ASSERT_EQ(r.status, 0) << r.errText();
    const QStringList lines = r.lines();
    const auto at = [&](const QString& line) { return lines.indexOf(line); };
    EXPECT_GE(at("MudarMapa:2|3|Caverna.xml"), 0) << r.outText();
    // facing kept; the rest of the event runs on the new map
    EXPECT_GT(at("mapa Caverna.xml 3,2 direita"), at("MudarMapa:2|3|Caverna.xml")) << r.outText();
    EXPECT_GT(at("heroi 3,3 direita"), at("mapa Caverna.xml 3,2 direita")) << r.outText();
    EXPECT_GT(at("mapa Vila.xml 4,6 direita"), at("heroi 3,3 direita")) << r.outText();
    EXPECT_GT(at("ShowMessage:De volta!"), at("mapa Vila.xml 4,6 direita")) << r.outText();
    EXPECT_EQ(r.last(), "fim quadro 600 heroi 5,6 baixo") << r.outText();
    EXPECT_TRUE(r.errText().empty()) << r.errText();
}

TEST(Story, ATransferOntoATouchEventThatTransfersBackDoesNotLoop) {
    Story s;
    s.vila.setEvento(4, 5, "OnPlayerTouch>MudarMapa:2|3|Caverna.xml&");
    s.caverna.setEvento(3, 2, "OnPlayerTouch>MudarMapa:5|4|Vila.xml&");  // right where the hero lands
    s.write();
    const PlayResult r = s.run("R", 900);
    ASSERT_EQ(r.status, 0) << r.errText();
    EXPECT_EQ(r.lines().filter(QRegularExpression("^mapa ")).size(), 1) << r.outText();
    EXPECT_EQ(r.last(), "fim quadro 900 heroi 3,2 direita");

    // Stepping off and on again is a step onto the cell: that one transfers.
    const PlayResult back = s.run("RLR", 900);
    EXPECT_TRUE(back.has("mapa Vila.xml 4,5 direita")) << back.outText();
    EXPECT_EQ(back.lines().filter(QRegularExpression("^mapa ")).size(), 2) << back.outText();
}

TEST(Story, AnEventGoesOnAfterItsTransferAndCanStillEraseItself) {
    Story s;
    s.vila.setEvento(4, 5, "OnPlayerTouch>MudarMapa:2|3|Caverna.xml&DarDinheiro:7&ApagarEvento:");
    s.caverna.setEvento(3, 3, "OnPlayerTouch>MudarMapa:6|4|Vila.xml&");
    s.write();
    // into the cave, back beside the road, and onto the road again: it is gone
    const PlayResult r = s.run("RRL", 900);
    ASSERT_EQ(r.status, 0) << r.errText();
    EXPECT_TRUE(r.has("ApagarEvento: 4,5")) << r.outText();
    EXPECT_EQ(r.lines().filter(QRegularExpression("^mapa ")).size(), 2) << r.outText();
    EXPECT_EQ(countOf(r, "evento OnPlayerTouch 4,5"), 1) << r.outText();
    EXPECT_EQ(r.last(), "fim quadro 900 heroi 4,5 esquerda") << r.outText();
    EXPECT_TRUE(stateLine(r).contains(" dinheiro 7 ")) << stateLine(r).toStdString();
}

TEST(Story, ATransferThatCannotBeMadeIsSkippedAndTheEventGoesOn) {
    Story s;
    s.ahead("MudarMapa:2|3|Deserto.xml&MudarMapa:20|3|Caverna.xml&ShowMessage:Nada feito.&");
    s.write();
    const PlayResult r = s.run("RA");
    ASSERT_EQ(r.status, 0) << r.errText();
    EXPECT_TRUE(r.has("ShowMessage:Nada feito.")) << r.outText();
    EXPECT_TRUE(r.lines().filter(QRegularExpression("^mapa ")).isEmpty()) << r.outText();
    EXPECT_NE(r.errText().find("MudarMapa: O mapa \"Mapas\\Deserto.xml\" não existe; ignorado"), std::string::npos)
        << r.errText();
    EXPECT_NE(r.errText().find("(linha 3, coluna 20) fica fora do mapa \"Caverna.xml\""), std::string::npos)
        << r.errText();
    EXPECT_EQ(r.last(), "fim quadro 600 heroi 4,4 direita");
}

TEST(Story, TheAutoRunEventRunsEachTimeAMapIsEntered) {
    Story s;
    s.vila.setEvento(4, 5, "OnPlayerTouch>MudarMapa:2|3|Caverna.xml&");
    s.caverna.setEvento(3, 3, "OnPlayerTouch>MudarMapa:5|4|Vila.xml&");
    s.write();
    storeMapSettings(s.project.folder(), "Caverna.xml", MapSettings{"ShowMessage:Que escuro!&", false, {"", "", ""}});
    // in, out, in again: the village's own cell 4,5 transfers once more
    const PlayResult r = s.run("RARLR", 1200);
    ASSERT_EQ(r.status, 0) << r.errText();
    EXPECT_EQ(countOf(r, "ShowMessage:Que escuro!"), 2) << r.outText();
    EXPECT_EQ(countOf(r, "mapa Caverna.xml 3,2 direita"), 2) << r.outText();
}

TEST(Story, AChestGivesItsItemOnceEvenAfterLeavingTheMap) {
    Story s;
    s.ahead("AdicionarItem:1|Chave&ShowMessage:Uma chave!&ApagarEvento:");
    s.vila.setEvento(5, 4, "OnPlayerTouch>MudarMapa:4|4|Caverna.xml&");
    s.caverna.setEvento(5, 4, "OnPlayerTouch>MudarMapa:4|4|Vila.xml&");
    s.write();
    // open, close, open again; down to the cave, down again back to the
    // village (landing on 4,4 facing down), turn right and open once more
    const PlayResult r = s.run("RAAAADDRA", 1500);
    ASSERT_EQ(r.status, 0) << r.errText();
    EXPECT_EQ(countOf(r, "evento OnActionPress 4,5"), 1) << r.outText();
    EXPECT_EQ(countOf(r, "ApagarEvento: 4,5"), 1) << r.outText();
    EXPECT_TRUE(r.has("mapa Vila.xml 4,4 baixo")) << r.outText();
    EXPECT_TRUE(stateLine(r).endsWith("itens Pocao x1 Chave x1")) << stateLine(r).toStdString();
}

TEST(Story, ADoorOpensOnlyAfterItsSwitch) {
    Story s;
    s.ahead("SeInterruptor:3|Ligado&ShowMessage:A porta abre.&Senao:ShowMessage:Trancada.&FimSe:");
    s.vila.setXO(5, 4, 'X');
    s.vila.setEvento(5, 4, "OnActionPress>LigarInterruptor:3&ShowMessage:Clique!&");
    s.write();
    const PlayResult before = s.run("RAA");
    EXPECT_TRUE(before.has("SeInterruptor:3|Ligado: nao")) << before.outText();
    EXPECT_TRUE(before.has("ShowMessage:Trancada.")) << before.outText();
    EXPECT_FALSE(before.has("ShowMessage:A porta abre.")) << before.outText();

    // door, lever, door
    const PlayResult r = s.run("RAADAARA", 900);
    const QStringList lines = r.lines();
    EXPECT_LT(lines.indexOf("ShowMessage:Trancada."), lines.indexOf("LigarInterruptor:3")) << r.outText();
    EXPECT_GT(lines.indexOf("ShowMessage:A porta abre."), lines.indexOf("LigarInterruptor:3")) << r.outText();
    EXPECT_EQ(countOf(r, "ShowMessage:A porta abre."), 1) << r.outText();
}

TEST(Story, EachAnswerOfAQuestionRunsItsOwnBlock) {
    Story s;
    s.ahead("QuestaoObjetiva:Quer uma poção?&Sim:AdicionarItem:2|Pocao&Nao:ShowMessage:Tudo bem.&FimQuestao:"
            "ShowMessage:Até mais.&");
    s.write();
    struct Case {
        const char* keys;
        const char* answer;
        bool potion;
    };
    // a key per answer, or the cursor moved and the action key
    for (const Case& c : {Case{"RA1A", "resposta 1 Sim", true}, Case{"RA2A", "resposta 2 Não", false},
                          Case{"RAAA", "resposta 1 Sim", true}, Case{"RADAA", "resposta 2 Não", false},
                          Case{"RADDAA", "resposta 1 Sim", true}}) {
        const PlayResult r = s.run(c.keys);
        ASSERT_EQ(r.status, 0) << r.errText();
        EXPECT_TRUE(r.has(QString::fromUtf8(c.answer))) << c.keys << "\n" << r.outText();
        EXPECT_EQ(r.has("ShowMessage:Tudo bem."), !c.potion) << c.keys;
        EXPECT_TRUE(stateLine(r).endsWith(c.potion ? "itens Pocao x3" : "itens Pocao x1")) << c.keys;
        EXPECT_TRUE(r.has(QString::fromUtf8("ShowMessage:Até mais."))) << c.keys << "\n" << r.outText();
    }
    // Without an answer the question waits, whatever else is pressed.
    const PlayResult waiting = s.run("RAURL");
    EXPECT_TRUE(waiting.lines().filter("resposta").isEmpty()) << waiting.outText();
    EXPECT_EQ(waiting.last(), "fim quadro 600 heroi 4,4 direita");
}

TEST(Story, AMultipleChoiceRunsTheChosenBlock) {
    Story s;
    s.ahead("MultiplaEscolha:Qual caminho?|Norte|Sul|Leste&Opcao:DarDinheiro:1&Opcao:DarDinheiro:20&"
            "Opcao:DarDinheiro:300&FimQuestao:");
    s.write();
    for (int choice = 1; choice <= 3; ++choice) {
        const PlayResult r = s.run("RA" + QString::number(choice));
        const int money[] = {1, 20, 300};
        EXPECT_TRUE(stateLine(r).contains(" dinheiro " + QString::number(money[choice - 1]) + " "))
            << choice << " " << stateLine(r).toStdString();
    }
    // a choice the question does not have is not an answer
    EXPECT_TRUE(s.run("RA4").lines().filter("resposta").isEmpty());
}

TEST(Story, ItemsAndMoneyAreCountedAndConditionsSeeTooFew) {
    Story s;
    s.ahead("SeTemItem:2|Pocao&ShowMessage:Duas ou mais.&Senao:ShowMessage:Poucas.&FimSe:"
            "AdicionarItem:1|pocao&SeTemItem:2|Pocao&ShowMessage:Agora sim.&FimSe:"
            "AdicionarItem:-5|Pocao&SeTemItem:1|Pocao&ShowMessage:Ainda tem.&Senao:ShowMessage:Acabou.&FimSe:"
            "DarDinheiro:30&DarDinheiro:-10&SeDinheiro:21&ShowMessage:Rico!&Senao:ShowMessage:Vinte.&FimSe:");
    s.write();
    const PlayResult r = s.run("RAAAAA");
    ASSERT_EQ(r.status, 0) << r.errText();
    const QStringList shown = r.lines().filter(QRegularExpression("^ShowMessage:"));
    EXPECT_EQ(shown, (QStringList{"ShowMessage:Poucas.", "ShowMessage:Agora sim.", "ShowMessage:Acabou.",
                                  "ShowMessage:Vinte."}))
        << r.outText();
    EXPECT_TRUE(stateLine(r).contains(" dinheiro 20 ")) << stateLine(r).toStdString();
    EXPECT_TRUE(stateLine(r).endsWith("itens nenhum")) << stateLine(r).toStdString();
}

TEST(Story, TheHerosNameAndLevelChange) {
    Story s;
    s.ahead("MudarNome:Zeca&MudarLevel:3&MudarLevel:99&IniciarBatalha:Fuga|Slime&");
    s.write();
    const PlayResult r = s.run("RAK1K1K1K1", 1500);
    ASSERT_EQ(r.status, 0) << r.errText();
    EXPECT_TRUE(r.has("MudarLevel:3: nivel 3")) << r.outText();
    EXPECT_TRUE(r.has("MudarLevel:99: nivel 5")) << r.outText();  // held to NvMax
    EXPECT_FALSE(r.lines().filter(QRegularExpression("^Zeca ataca Slime")).isEmpty()) << r.outText();
}

TEST(Story, AScriptedBattleWithoutFleeingAgainstAStrongerMonsterEndsTheGameAndItStartsAgain) {
    Story s;
    s.vila.setEvento(4, 5, "OnPlayerTouch>MudarMapa:4|4|Caverna.xml&");
    s.caverna.setXO(4, 5, 'X');
    s.caverna.setEvento(4, 5, "OnActionPress>IniciarBatalha:SemFuga|Golem&ShowMessage:Nunca.&");
    s.write();
    // into the cave, face the guardian, try to flee, fight
    const PlayResult r = s.run("RAFFK1K1K1", 1800);
    ASSERT_EQ(r.status, 0) << r.errText();
    const QStringList lines = r.lines();
    EXPECT_GE(lines.indexOf("IniciarBatalha:SemFuga|Golem"), 0) << r.outText();
    EXPECT_GE(lines.indexOf("fuga impossivel nesta batalha"), 0) << r.outText();
    EXPECT_GE(lines.indexOf("fim de jogo"), 0) << r.outText();
    EXPECT_FALSE(r.has("ShowMessage:Nunca.")) << r.outText();
    // the game starts again on its first map
    EXPECT_GE(lines.indexOf("recomeco 4,4"), lines.indexOf("fim de jogo")) << r.outText();
    EXPECT_TRUE(r.last().startsWith("fim quadro 1800 heroi 4,4")) << r.outText();
}

TEST(Story, GameOverEndsTheGame) {
    Story s;
    s.ahead("GameOver:ShowMessage:Nunca.&");
    s.write();
    const PlayResult r = s.run("RA", 120);
    EXPECT_TRUE(r.has("fim de jogo")) << r.outText();
    EXPECT_FALSE(r.has("ShowMessage:Nunca.")) << r.outText();
    EXPECT_TRUE(stateLine(r).startsWith("estado fim de jogo")) << stateLine(r).toStdString();
}

TEST(Story, AnEventWalksTheHeroUntilABlockedCellWithoutSettingOffTouchEvents) {
    Story s;
    s.ahead("MoverHeroi:BBBE&ShowMessage:Chegou.&");
    s.vila.setXO(7, 4, 'X');
    s.vila.setEvento(5, 4, "OnPlayerTouch>ShowMessage:Pisou!&");
    s.write();
    const PlayResult r = s.run("RA", 600);
    ASSERT_EQ(r.status, 0) << r.errText();
    const QStringList lines = r.lines();
    EXPECT_GE(lines.indexOf("heroi 6,4 baixo"), 0) << r.outText();
    EXPECT_GT(lines.indexOf("bloqueado 6,4 baixo"), lines.indexOf("heroi 6,4 baixo")) << r.outText();
    EXPECT_GT(lines.indexOf("ShowMessage:Chegou."), lines.indexOf("bloqueado 6,4 baixo")) << r.outText();
    EXPECT_FALSE(r.has("ShowMessage:Pisou!")) << r.outText();  // the step "E" after the wall is never taken
    EXPECT_EQ(r.last(), "fim quadro 600 heroi 6,4 baixo");
}

TEST(Story, WhatCannotRunIsSkippedWithOneLineAndTheRestRuns) {
    Story s;
    s.ahead("ShowMessage:antes&IniciarBatalha:Fuga|Dragao&AdicionarItem:1|Espada&SeTemItem:1|Espada&"
            "ShowMessage:nunca&FimSe:ShowMessage:meio&SeInterruptor:1|Desligado&ShowMessage:sem fim&");
    s.write();
    const PlayResult r = s.run("RAAA");
    ASSERT_EQ(r.status, 0) << r.errText();
    EXPECT_EQ(r.lines().filter(QRegularExpression("^ShowMessage:")),
              (QStringList{"ShowMessage:antes", "ShowMessage:meio"}))
        << r.outText();
    const std::string err = r.errText();
    EXPECT_NE(err.find("não há inimigo \"Dragao\""), std::string::npos) << err;
    EXPECT_NE(err.find("AdicionarItem:1|Espada: não há item \"Espada\"; ignorado"), std::string::npos) << err;
    EXPECT_NE(err.find("SeTemItem:1|Espada: não há item \"Espada\"; ignorado"), std::string::npos) << err;
    EXPECT_NE(err.find("bloco sem \"FimSe:\""), std::string::npos) << err;
    EXPECT_TRUE(r.has("comando ignorado SeInterruptor:1|Desligado")) << r.outText();
}

TEST(Story, AHundredThousandCharacterScriptRunsWithoutAHang) {
    Story s;
    std::string script;
    while (script.size() < 100000) script += "DarDinheiro:1&";
    s.ahead(script);
    s.write();
    const PlayResult r = s.run("RA", 60);
    ASSERT_EQ(r.status, 0) << r.errText();
    const int count = static_cast<int>(script.size() / std::string("DarDinheiro:1&").size());
    EXPECT_TRUE(stateLine(r).contains(" dinheiro " + QString::number(count) + " ")) << stateLine(r).toStdString();

    // broken the same length: every unknown word a line, then the game goes on
    Story t;
    std::string broken;
    while (broken.size() < 100000) broken += "Xx;";
    t.ahead(broken + "ShowMessage:fim&");
    t.write();
    const PlayResult b = t.run("RA", 60);
    ASSERT_EQ(b.status, 0) << b.errText();
    EXPECT_TRUE(b.has("ShowMessage:fim"));
}

TEST(Story, TheDemoTellsItsStoryAcrossItsThreeMaps) {
    qmtest::TempDir dir;
    const QString demo = dir.file("demo");
    ASSERT_EQ(qmtest::runProgram(qmtest::binFolder() + "quillmark-cli", {"demo", demo}).status, 0);
    const auto game = [&](const QString& keys, int frames, const QStringList& extra = {}) {
        const PlayResult r = qmtest::play(demo, keys, frames, QStringList{"--seed", "1"} + extra);
        EXPECT_EQ(r.status, 0) << r.errText();
        EXPECT_TRUE(r.errText().empty()) << r.errText();
        return r;
    };

    // the road east leads to the forest, and the forest's road west back
    const PlayResult road = game("DDRRRRRRRRRRALLA", 1500);
    EXPECT_TRUE(road.has("mapa Floresta.xml 7,2 direita")) << road.outText();
    EXPECT_TRUE(road.has("mapa Vila.xml 7,13 esquerda")) << road.outText();

    // Tomás's door: locked, until he says it is open
    const PlayResult locked = game("UA", 300, {"--at", "13,3"});
    EXPECT_TRUE(locked.has("SeInterruptor:1|Ligado: nao")) << locked.outText();
    const PlayResult open = game("AAAAUUUULLLLLLDDDDDDLLLUAA", 2400, {"--at", "11,12"});
    EXPECT_TRUE(open.has("LigarInterruptor:1")) << open.outText();
    EXPECT_TRUE(open.has("SeInterruptor:1|Ligado: sim")) << open.outText();

    // the stall asks, and each answer has its own end
    const PlayResult buy = game("UA1AA", 600, {"--at", "9,10"});
    EXPECT_TRUE(buy.has(QString::fromUtf8("resposta 1 Sim"))) << buy.outText();
    EXPECT_TRUE(buy.has("SeDinheiro:10: nao")) << buy.outText();
    const PlayResult no = game("UA2A", 600, {"--at", "9,10"});
    EXPECT_TRUE(no.has(QString::fromUtf8("resposta 2 Não"))) << no.outText();

    // the forest's chest gives once
    const PlayResult chest = game("DAAAA", 900, {"--map", "Floresta.xml", "--at", "12,2"});
    EXPECT_EQ(countOf(chest, "evento OnActionPress 13,2"), 1) << chest.outText();
    EXPECT_TRUE(stateLine(chest).contains(QString::fromUtf8(" dinheiro 50 "))) << stateLine(chest).toStdString();

    // the ogre: turned down, it sends the hero back; taken on, no running away
    const PlayResult away = game("UUUU2A", 900, {"--map", "Floresta.xml", "--at", "7,12"});
    EXPECT_TRUE(away.has("heroi 4,12 baixo")) << away.outText();
    const PlayResult fight = game("UUUU1FK1K1K1K1K1K1K1K1", 2400, {"--map", "Floresta.xml", "--at", "7,12"});
    EXPECT_TRUE(fight.has("IniciarBatalha:SemFuga|Ogro")) << fight.outText();
    EXPECT_TRUE(fight.has("fuga impossivel nesta batalha")) << fight.outText();

    // the cave greets the hero; its ladder leads to the forest by the cave's
    // mouth, which stays shut while the ogre is there
    const PlayResult cave = game("AUAU", 900, {"--map", "Caverna.xml", "--at", "4,2"});
    EXPECT_TRUE(cave.has("evento AutoRun")) << cave.outText();
    EXPECT_TRUE(cave.has("mapa Floresta.xml 3,12 cima")) << cave.outText();
    EXPECT_FALSE(cave.has("evento OnPlayerTouch 3,12")) << cave.outText();
    EXPECT_TRUE(cave.has("SeInterruptor:2|Ligado: nao")) << cave.outText();
}

// --- The game in the process: entering a map, and the fade of a transfer ------------

TEST(StoryGame, EnteringAMapKeepsTheGameStateAndABadMapLeavesTheGameWhereItWas) {
    using namespace quillmark::play;
    Story s;
    s.caverna.setEvento(2, 2, "OnPlayerTouch>ShowMessage:x&");
    s.write();
    storeMapSettings(s.project.folder(), "Caverna.xml", MapSettings{"IniciaNeve:", false, {"", "", ""}});
    auto data = loadGame({s.project.projectFile(), "Vila.xml", std::pair{4, 4}, qmtest::binFolder()});
    Game game(*data, 1);
    std::vector<std::string> trace;
    game.onTrace = [&](const std::string& line) { trace.push_back(line); };
    game.tick();
    game.state().setSwitch(5, true);
    game.state().addMoney(30);
    game.state().eraseEvent("Vila.xml", 4, 5);

    game.enterMap("Caverna.xml", 3, 2, Dir::Left);
    EXPECT_EQ(game.mapName(), "Caverna.xml");
    EXPECT_EQ(game.data().grid.CurrentMap, "Caverna.xml");
    EXPECT_EQ(game.world().hero().row, 3);
    EXPECT_EQ(game.world().hero().column, 2);
    EXPECT_EQ(game.world().hero().facing, Dir::Left);
    EXPECT_TRUE(game.state().switchOn(5));
    EXPECT_EQ(game.state().money(), 30);
    EXPECT_TRUE(game.state().eventErased("Vila.xml", 4, 5));
    EXPECT_TRUE(game.world().weather().snow) << "the cave's auto-run event ran";
    EXPECT_NE(std::find(trace.begin(), trace.end(), "evento AutoRun"), trace.end());

    for (const auto& [map, row, column] :
         {std::tuple{std::string("Deserto.xml"), 1, 1}, std::tuple{std::string("Vila.xml"), 8, 1},
          std::tuple{std::string("..\\Vila.xml"), 1, 1}}) {
        EXPECT_THROW(game.enterMap(map, row, column, Dir::Up), Error) << map;
        EXPECT_EQ(game.mapName(), "Caverna.xml") << map;
        EXPECT_EQ(game.world().hero().row, 3) << map;
    }
}

TEST(StoryGame, ATransferFadesOutThenInAndKeysWaitForIt) {
    using namespace quillmark::play;
    Story s;
    s.write();
    auto data = loadGame({s.project.projectFile(), "Vila.xml", std::pair{4, 4}, qmtest::binFolder()});
    Game game(*data, 1);
    game.tick();
    ASSERT_TRUE(game.idle());
    game.world().runEvent(parseCellEvent("OnActionPress>MudarMapa:6|5|Caverna.xml&"), "teste");
    EXPECT_TRUE(game.fading());
    EXPECT_FALSE(game.idle());
    // darker and darker on the old map, black, then the new map lighter and lighter
    std::vector<double> fades{game.fade()};
    int swappedAt = -1;
    while (game.fading() && fades.size() < 100) {
        game.press(Key::Down);  // waits: the hero does not move
        game.tick();
        if (swappedAt < 0 && game.mapName() == "Caverna.xml") swappedAt = static_cast<int>(fades.size());
        fades.push_back(game.fade());
    }
    ASSERT_EQ(swappedAt, kFadeFrames);
    EXPECT_DOUBLE_EQ(fades[static_cast<std::size_t>(kFadeFrames - 1)], 1.0);
    for (int i = 1; i < kFadeFrames; ++i) EXPECT_GT(fades[i], fades[i - 1]) << i;
    for (std::size_t i = static_cast<std::size_t>(kFadeFrames); i < fades.size(); ++i)
        EXPECT_LT(fades[i], fades[i - 1]) << i;
    EXPECT_EQ(fades.back(), 0.0);
    EXPECT_EQ(static_cast<int>(fades.size()), 2 * kFadeFrames);
    EXPECT_TRUE(game.idle());
    EXPECT_EQ(game.world().hero().row, 5);
    EXPECT_EQ(game.world().hero().column, 6);
}

// --- The game state's rules ------------------------------------------------------

TEST(StoryState, SwitchesErasedEventsNameAndLevelFollowTheirRules) {
    using namespace quillmark::play;
    GameDatabase db;
    db.hero.name = "Arthos";
    db.hero.levelStart = 2;
    db.hero.levelMax = 6;
    db.hero.hp = {50, 90};
    GameState s(db, 1);

    for (int n : {0, 101, -5}) {
        s.setSwitch(n, true);  // not a switch: nothing set
        EXPECT_FALSE(s.switchOn(n));
    }
    s.setSwitch(1, true);
    s.setSwitch(100, true);
    s.setSwitch(100, false);
    EXPECT_TRUE(s.switchOn(1));
    EXPECT_FALSE(s.switchOn(100));
    EXPECT_FALSE(s.switchOn(2));

    s.eraseEvent("Vila.xml", 3, 4);
    EXPECT_TRUE(s.eventErased("vila.XML", 3, 4));  // map names as the file system of the game makers sees them
    EXPECT_FALSE(s.eventErased("Vila.xml", 4, 3));
    EXPECT_FALSE(s.eventErased("Caverna.xml", 3, 4));
    EXPECT_EQ(s.erasedEvents().size(), 1u);

    EXPECT_EQ(s.heroName(), "Arthos");
    s.setHeroName("Zeca");
    EXPECT_EQ(s.heroName(), "Zeca");

    s.setLevel(1);
    EXPECT_EQ(s.level(), 2);
    s.setLevel(4);
    EXPECT_EQ(s.level(), 4);
    EXPECT_EQ(s.maxHp(), 70);
    EXPECT_EQ(s.hp(), 70);                           // the maximum grew, and the hit points with it
    EXPECT_EQ(s.experience(), experienceFor(4, 2));  // the next level is as far as from a level reached
    s.setLevel(60);
    EXPECT_EQ(s.level(), 6);
}
