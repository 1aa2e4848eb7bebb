// Battles, the hero's growth and items through the real quillmark-play in its
// test mode, every random choice fixed by --seed. The project's hero grows in
// steps of round numbers so the rules can be checked by hand.
#include "GameFixture.h"
#include "PlayRunner.h"

#include "model/core/RecordTable.h"
#include "model/mapedit/MapProperties.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace quillmark;
using qmtest::PlayResult;
using qmtest::ProjectFixture;

namespace {

using qmtest::Fields;

// A 7 x 7 map "Vila.xml"; the hero: level 1 to 5, HP 50 to 90, MP 10 to 30,
// strength 20 to 40, defence 10 to 30, agility 10 to 30 (each level adds 10 HP
// and 5 of the rest); spells Fogo (30 damage, 4 MP), Cura (40 HP, 5 MP) and
// Meteoro (100 damage, 50 MP); one "Pocao" and one "Mapa Velho".
struct RpgGame {
    ProjectFixture project;
    RpgGame() {
        project.addMap("Vila.xml", qmtest::smallMap());
        const QString data = project.folder() + "Data/";
        qmtest::addRecordTo(
            data + "Magias.xml",
            {{"Nome", "Meteoro"}, {"DanoCausado", "100"}, {"CustoDeMP", "50"}, {"Cod_Magia", "9"}, {"TipoMagia", "0"}});
        monster("Slime", 30, 10, 4, 5, 7, 10);
        monster("Rato", 12, 8, 0, 1, 1, 9);
        monster("Lobo", 40, 16, 6, 50, 5, 10);
        monster("Golem", 900, 400, 200, 1, 0, 100);
        item("Pocao", 0, 30, true, true, "");
        item("Mapa Velho", 7, 20, true, false, "ShowMessage:Um mapa antigo!&");
        item("Tonico", 2, 15, false, true, "");
        qmtest::editFirstRecord(data + "Personagem.xml", {{"NvInicial", "1"},
                                                          {"NvMax", "5"},
                                                          {"HPInicial", "50"},
                                                          {"HPMax", "90"},
                                                          {"MPInicial", "10"},
                                                          {"MPMax", "30"},
                                                          {"ForcaInicial", "20"},
                                                          {"ForcaMax", "40"},
                                                          {"DefIncial", "10"},
                                                          {"DefMax", "30"},
                                                          {"AgInicial", "10"},
                                                          {"AgMax", "30"},
                                                          {"Magia01", "1"},
                                                          {"Magia02", "4"},
                                                          {"Magia03", "9"},
                                                          {"Iten01", "Pocao"},
                                                          {"Iten02", "Mapa Velho"},
                                                          {"Iten03", "Tonico"}});
    }
    void monster(const char* name, int hp, int strength, int defence, int agility, int money, int experience) {
        qmtest::addRecordTo(project.folder() + "Data/Monstros.xml", {{"Nome", name},
                                                                     {"Nivel", "1"},
                                                                     {"HP", std::to_string(hp)},
                                                                     {"MP", "0"},
                                                                     {"Forca", std::to_string(strength)},
                                                                     {"Defesa", std::to_string(defence)},
                                                                     {"Agilidade", std::to_string(agility)},
                                                                     {"Dinheiro", std::to_string(money)},
                                                                     {"ExpGanha", std::to_string(experience)}});
    }
    void item(const char* name, int action, int amount, bool map, bool battle, const char* event) {
        qmtest::addRecordTo(project.folder() + "Data/Itens.xml", {{"Nome", name},
                                                                  {"Acao", std::to_string(action)},
                                                                  {"AcaoAux", std::to_string(amount)},
                                                                  {"usMapa", map ? "TRUE" : "FALSE"},
                                                                  {"usBatlle", battle ? "TRUE" : "FALSE"},
                                                                  {"Evento", event}});
    }
    PlayResult run(const QString& keys, int frames, const QStringList& extra = {}, int seed = 1) const {
        return qmtest::play(project.projectFile(), keys, frames,
                            QStringList{"--at", "4,4", "--seed", QString::number(seed)} + extra);
    }
    PlayResult battle(const QString& monsters, const QString& keys, int frames = 1500, int seed = 1) const {
        return run(keys, frames, {"--battle", monsters}, seed);
    }
};

// The numbers of a trace line matching the pattern.
std::vector<int> numbers(const PlayResult& r, const QString& pattern, int which = 0) {
    const QRegularExpression re(pattern);
    int seen = 0;
    for (const QString& line : r.lines()) {
        const auto m = re.match(line);
        if (!m.hasMatch()) continue;
        if (seen++ < which) continue;
        std::vector<int> out;
        for (int i = 1; i <= m.lastCapturedIndex(); ++i) out.push_back(m.captured(i).toInt());
        return out;
    }
    return {};
}

QString stateLine(const PlayResult& r) {
    for (const QString& line : r.lines())
        if (line.startsWith("estado ")) return line;
    return {};
}

}  // namespace

TEST(Battle, AttacksFollowTheDamageRuleInAgilityOrder) {
    RpgGame g;
    for (int seed = 1; seed <= 4; ++seed) {
        const PlayResult r = g.battle("Slime", "K", 300, seed);
        ASSERT_EQ(r.status, 0) << r.errText();
        const QStringList lines = r.lines();
        ASSERT_GE(lines.size(), 4) << r.outText();
        EXPECT_EQ(lines[1], "batalha Slime HP 30");
        // the hero (agility 10) before the slime (5): 20 - 4 / 2 + 0 … 5
        const auto hero = numbers(r, "^Arthos ataca Slime: dano (\\d+), HP (\\d+)/30$");
        ASSERT_EQ(hero.size(), 2u) << r.outText();
        EXPECT_GE(hero[0], 18);
        EXPECT_LE(hero[0], 23);
        EXPECT_EQ(hero[1], 30 - hero[0]);
        EXPECT_TRUE(lines[2].startsWith("Arthos ataca")) << r.outText();
        // the slime: 10 - 10 / 2 + 0 … 2
        const auto slime = numbers(r, "^Slime ataca Arthos: dano (\\d+), HP (\\d+)/50$");
        ASSERT_EQ(slime.size(), 2u) << r.outText();
        EXPECT_GE(slime[0], 5);
        EXPECT_LE(slime[0], 7);
        EXPECT_EQ(slime[1], 50 - slime[0]);
    }
    // a faster monster acts first; the same seed gives the same battle
    const PlayResult wolf = g.battle("Lobo", "K", 300);
    EXPECT_TRUE(wolf.lines().value(2).startsWith("Lobo ataca Arthos")) << wolf.outText();
    EXPECT_EQ(g.battle("Lobo", "K", 300).out, wolf.out);
}

TEST(Battle, DefendingHalvesTheDamageUntilTheNextTurn) {
    RpgGame g;
    for (int seed = 1; seed <= 4; ++seed) {
        const PlayResult r = g.battle("Slime", "EK", 400, seed);
        ASSERT_EQ(r.status, 0) << r.errText();
        EXPECT_EQ(r.lines().value(2), "Arthos defende");
        // (5 … 7) / 2
        const auto halved = numbers(r, "^Slime ataca Arthos \\(defendendo\\): dano (\\d+), HP (\\d+)/50$");
        ASSERT_EQ(halved.size(), 2u) << r.outText();
        EXPECT_GE(halved[0], 2);
        EXPECT_LE(halved[0], 3);
        // the next round the hero attacks: the defence is over
        const auto full = numbers(r, "^Slime ataca Arthos: dano (\\d+), HP (\\d+)/50$");
        ASSERT_EQ(full.size(), 2u) << r.outText();
        EXPECT_GE(full[0], 5);
    }
}

TEST(Battle, SpellsCostMpAndAreRefusedWithoutEnough) {
    RpgGame g;
    // Meteoro costs 50 and the hero has 10: refused, nothing happens, the menu stays
    const PlayResult refused = g.battle("Slime", "M3", 300);
    ASSERT_EQ(refused.status, 0) << refused.errText();
    EXPECT_TRUE(refused.has("magia Meteoro recusada: MP 10, custo 50")) << refused.outText();
    EXPECT_TRUE(refused.lines().filter("Slime ataca").isEmpty()) << refused.outText();
    EXPECT_TRUE(stateLine(refused).contains("MP 10/10")) << refused.outText();

    // Fogo: 30 damage for 4 MP, to the chosen enemy
    const PlayResult fire = g.battle("Rato,Slime", "M12", 300);
    EXPECT_TRUE(fire.has("Arthos usa Fogo em Slime: dano 30, HP 0/30")) << fire.outText();
    EXPECT_TRUE(fire.has("Slime derrotado"));
    EXPECT_TRUE(stateLine(fire).contains("MP 6/10")) << fire.outText();
}

TEST(Battle, HealingRestoresAtMostToTheMaximum) {
    RpgGame g;
    const PlayResult r = g.battle("Slime", "EM2", 500);
    ASSERT_EQ(r.status, 0) << r.errText();
    const auto hit = numbers(r, "^Slime ataca Arthos \\(defendendo\\): dano (\\d+), HP (\\d+)/50$");
    ASSERT_EQ(hit.size(), 2u) << r.outText();
    // 40 would pass the maximum: only what was lost comes back
    EXPECT_TRUE(r.has(QString("Arthos usa Cura: HP +%1, HP 50/50").arg(hit[0]))) << r.outText();
}

TEST(Battle, FleeingFollowsTheAgilityRule) {
    RpgGame g;
    bool away = false, caught = false;
    for (int seed = 1; seed <= 12; ++seed) {
        const PlayResult r = g.battle("Slime", "F", 400, seed);
        // 50 + 2 x (10 - 5)
        const auto roll = numbers(r, "^fuga (?:conseguida|falhou): chance (\\d+)%, sorteio (\\d+)$");
        ASSERT_EQ(roll.size(), 2u) << r.outText();
        EXPECT_EQ(roll[0], 60);
        const bool fled = roll[1] < 60;
        EXPECT_EQ(r.lines().filter("fuga conseguida").size(), fled ? 1 : 0) << r.outText();
        EXPECT_EQ(r.has("volta ao mapa 4,4"), fled) << r.outText();
        EXPECT_EQ(stateLine(r).startsWith("estado mapa"), fled) << r.outText();
        (fled ? away : caught) = true;
    }
    EXPECT_TRUE(away);
    EXPECT_TRUE(caught);
    // against the wolf (agility 50) the chance is held at 10
    const auto wolf = numbers(g.battle("Lobo", "F", 300), "chance (\\d+)%");
    ASSERT_FALSE(wolf.empty());
    EXPECT_EQ(wolf[0], 10);
}

TEST(Battle, VictoryAddsExperienceAndMoneyAndLevelsUpExactlyAtTheThreshold) {
    RpgGame g;
    const QString attacks = "K1K1K1K1K1K1K1K1";
    // 10 + 9 = 19 experience: one short of level 2
    const PlayResult short_ = g.battle("Slime,Rato", attacks, 3000);
    ASSERT_EQ(short_.status, 0) << short_.errText();
    EXPECT_TRUE(short_.has("vitoria: experiencia 19, dinheiro 8")) << short_.outText();
    EXPECT_TRUE(short_.lines().filter(QRegularExpression("^nivel ")).isEmpty()) << short_.outText();
    EXPECT_TRUE(stateLine(short_).startsWith("estado mapa nivel 1 experiencia 19 dinheiro 8")) << short_.outText();
    EXPECT_TRUE(short_.has("volta ao mapa 4,4"));

    // 10 + 10 = 20: level 2, every attribute a fifth of the way
    const PlayResult exact = g.battle("Slime,Slime", attacks, 3000);
    EXPECT_TRUE(exact.has("batalha Slime 1 HP 30, Slime 2 HP 30")) << exact.outText();
    EXPECT_TRUE(exact.has("vitoria: experiencia 20, dinheiro 14")) << exact.outText();
    EXPECT_TRUE(exact.has("nivel 2: HP 60, MP 15, forca 25, defesa 15, agilidade 15")) << exact.outText();
    EXPECT_TRUE(stateLine(exact).startsWith("estado mapa nivel 2 experiencia 20 dinheiro 14")) << exact.outText();
}

TEST(Battle, DefeatReachesTheGameOverScreenAndTheGameStartsAgain) {
    RpgGame g;
    const PlayResult lost = g.battle("Golem", "K", 200);
    ASSERT_EQ(lost.status, 0) << lost.errText();
    EXPECT_TRUE(lost.has("Arthos derrotado")) << lost.outText();
    EXPECT_TRUE(lost.has("derrota"));
    EXPECT_TRUE(lost.has("fim de jogo"));
    EXPECT_TRUE(stateLine(lost).startsWith("estado fim de jogo")) << lost.outText();

    const PlayResult again = g.battle("Golem", "K", 600);
    EXPECT_TRUE(again.has("recomeco 4,4")) << again.outText();
    EXPECT_TRUE(stateLine(again).startsWith("estado mapa nivel 1 experiencia 0 dinheiro 0 HP 50/50"))
        << again.outText();
}

TEST(Battle, ItemsInBattleOnlyWithModoBatalha) {
    RpgGame g;
    // "Mapa Velho" has no "Modo Batalha": not offered
    const PlayResult r = g.battle("Slime", "I1", 400);
    ASSERT_EQ(r.status, 0) << r.errText();
    EXPECT_TRUE(r.has("itens: Pocao x1 Tonico x1")) << r.outText();
    EXPECT_TRUE(r.has("Arthos usa o item Pocao: HP 50/50")) << r.outText();
    // the last one is gone from the inventory
    EXPECT_TRUE(stateLine(r).endsWith("itens Mapa Velho x1 Tonico x1")) << r.outText();

    // "Tonico" raises the maximum HP by 15
    const PlayResult tonic = g.battle("Slime", "I2", 400);
    EXPECT_TRUE(tonic.has("Arthos usa o item Tonico: HP maximo +15")) << tonic.outText();
    EXPECT_TRUE(stateLine(tonic).contains("/65 ")) << tonic.outText();
}

TEST(Battle, ItemsOnTheMapOnlyWithModoMapaAndTheirEventRuns) {
    RpgGame g;
    const PlayResult r = g.run("I2", 200);
    ASSERT_EQ(r.status, 0) << r.errText();
    EXPECT_TRUE(r.has("itens: Pocao x1 Mapa Velho x1")) << r.outText();  // "Tonico" is for battles only
    EXPECT_TRUE(r.has("usa o item Mapa Velho: experiencia 20")) << r.outText();
    EXPECT_TRUE(r.has("nivel 2: HP 60, MP 15, forca 25, defesa 15, agilidade 15"));
    EXPECT_TRUE(r.has("ShowMessage:Um mapa antigo!")) << r.outText();
    EXPECT_TRUE(stateLine(r).endsWith("itens Pocao x1 Tonico x1")) << r.outText();
}

TEST(Battle, RandomBattlesOnlyWhereTheMapHasThemOn) {
    RpgGame g;
    const QString walk = QString("RLRLRLRLRLRLRLRLRLRLRLRLRLRLRLRLRLRLRLRLRLRLRLRLRLRLRLRLRLRL");
    storeMapSettings(g.project.folder(), "Vila.xml", MapSettings{"", false, {"Slime", "", ""}});
    const PlayResult off = g.run(walk, 1000);
    ASSERT_EQ(off.status, 0) << off.errText();
    EXPECT_EQ(off.lines().filter(QRegularExpression("^heroi ")).size(), walk.size());
    EXPECT_TRUE(off.lines().filter("batalha").isEmpty()) << off.outText();

    storeMapSettings(g.project.folder(), "Vila.xml", MapSettings{"", true, {"Slime", "", ""}});
    for (int seed = 1; seed <= 3; ++seed) {
        const PlayResult on = g.run(walk, 1000, {}, seed);
        const QStringList lines = on.lines();
        int steps = 0;
        bool started = false;
        for (const QString& line : lines) {
            if (line.startsWith("heroi ")) ++steps;
            if (line.startsWith("batalha ")) {
                started = true;
                EXPECT_TRUE(
                    QRegularExpression("^batalha Slime( \\d)? HP 30(, Slime \\d HP 30){0,2}$").match(line).hasMatch())
                    << line.toStdString();
                break;
            }
        }
        EXPECT_TRUE(started) << on.outText();
        EXPECT_GT(steps, 7) << on.outText();  // never within the first steps
    }
}

TEST(Battle, MissingMonstersAreSkippedAndReported) {
    RpgGame g;
    storeMapSettings(g.project.folder(), "Vila.xml", MapSettings{"", true, {"Slime", "Fantasma", ""}});
    const PlayResult r = g.run("RLRLRLRLRLRLRLRLRLRLRLRLRLRLRLRLRLRLRLRLRLRLRL", 1000);
    ASSERT_EQ(r.status, 0) << r.errText();
    EXPECT_NE(r.errText().find("mapa \"Vila.xml\", Enemy2: não há inimigo \"Fantasma\": ignorado"), std::string::npos)
        << r.errText();
    EXPECT_TRUE(r.lines().filter("Fantasma").isEmpty());
    EXPECT_FALSE(r.lines().filter("batalha Slime").isEmpty()) << r.outText();

    const PlayResult direct = g.battle("Fantasma,Slime", "", 10);
    EXPECT_NE(direct.errText().find("batalha: não há inimigo \"Fantasma\": ignorado"), std::string::npos);
    EXPECT_TRUE(direct.has("batalha Slime HP 30")) << direct.outText();
    const PlayResult none = g.battle("Fantasma", "", 10);
    EXPECT_EQ(none.status, 0);
    EXPECT_TRUE(none.lines().filter("batalha").isEmpty());
}

TEST(Battle, AbsurdNumbersAreClampedAndNamed) {
    RpgGame g;
    g.monster("Vazio", 0, -5, 2000000000, 0, -1, 0);
    qmtest::addRecordTo(g.project.folder() + "Data/Magias.xml",
                        {{"Nome", "Enorme"}, {"DanoCausado", "2000000000"}, {"CustoDeMP", "0"}, {"Cod_Magia", "12"}});
    const PlayResult r = g.battle("Vazio", "K", 300);
    ASSERT_EQ(r.status, 0) << r.errText();
    const std::string err = r.errText();
    EXPECT_NE(err.find("inimigo \"Vazio\": HP 0 fora de 1 a 9999: usando 1"), std::string::npos) << err;
    EXPECT_NE(err.find("inimigo \"Vazio\": Defesa 2000000000 fora de 0 a 999: usando 999"), std::string::npos) << err;
    EXPECT_NE(err.find("magia \"Enorme\": DanoCausado 2000000000 fora de 0 a 9999: usando 9999"), std::string::npos)
        << err;
    // at least 1 damage, whatever the defence
    EXPECT_TRUE(r.has("Arthos ataca Vazio: dano 1, HP 0/1")) << r.outText();
    EXPECT_TRUE(r.has("vitoria: experiencia 0, dinheiro 0")) << r.outText();
}

TEST(Battle, TheProjectIsLeftUntouched) {
    RpgGame g;
    storeMapSettings(g.project.folder(), "Vila.xml", MapSettings{"", true, {"Slime", "", ""}});
    const auto before = qmtest::snapshot(g.project.folder());
    g.battle("Slime", "K1K1K1K1I1", 2000);
    g.run("I1I2", 300);
    EXPECT_EQ(qmtest::snapshot(g.project.folder()), before);
}

TEST(Battle, TheDemoIsAGame) {
    qmtest::TempDir dir;
    const QString demo = dir.file("demo");
    ASSERT_EQ(qmtest::runProgram(qmtest::binFolder() + "quillmark-cli", {"demo", demo}).status, 0);
    // the forest has random battles with its three monsters; a fight there is won
    const PlayResult fight = qmtest::play(
        demo, "K1K1K1K1K1K1K1K1K1K1", 4000,
        {"--map", "Floresta.xml", "--seed", "3", "--battle", "Slime,Morcego", "--screenshot", dir.file("battle.png")});
    ASSERT_EQ(fight.status, 0) << fight.errText();
    EXPECT_TRUE(fight.errText().empty()) << fight.errText();  // every frame, sound and background is there
    EXPECT_TRUE(fight.has("batalha Slime HP 20, Morcego HP 16")) << fight.outText();
    EXPECT_TRUE(fight.has("vitoria: experiencia 19, dinheiro 15")) << fight.outText();
    // the hero set out with a potion, an elixir and a scroll
    EXPECT_TRUE(stateLine(fight).endsWith(QString::fromUtf8("itens Poção x1 Elixir x1 Pergaminho Antigo x1")))
        << fight.outText();

    // walking the forest meets monsters; the village has none
    const QString walk = "RLRLRLRLRLRLRLRLRLRLRLRLRLRLRLRLRLRLRLRLRLRLRLRLRLRLRLRL";
    const PlayResult forest = qmtest::play(demo, walk, 1500, {"--map", "Floresta.xml", "--at", "8,6", "--seed", "2"});
    EXPECT_FALSE(forest.lines().filter(QRegularExpression("^batalha (Slime|Morcego|Lobo)")).isEmpty())
        << forest.outText();
    const PlayResult village = qmtest::play(demo, "", 10);
    EXPECT_TRUE(village.errText().empty()) << village.errText();

    // a battle frame shows the forest background, the monsters and the panel
    const QImage shot(dir.file("battle.png"));
    ASSERT_FALSE(shot.isNull());
}

TEST(Battle, AMissingOrBrokenSoundPlaysNothingAndIsNamedOnce) {
    RpgGame g;
    // the sounds of the template set, but no "Ataque.wav" and a battle tune that is no tune
    for (const char* f : {"BattleWin.mp3", "GameOver.mp3", "Menu.wav", "MenuSelect.wav"})
        QFile::copy(qmtest::binFolder() + "Data/" + f, g.project.folder() + "Sounds/" + f);
    g.project.dir.write("Sounds/Battle.mp3", "not a sound at all");
    const PlayResult r = g.battle("Slime,Slime", "K1K1K1K1K1K1", 2500);
    ASSERT_EQ(r.status, 0) << r.errText();
    EXPECT_TRUE(r.has("vitoria: experiencia 20, dinheiro 14")) << r.outText();
    const QStringList err = QString::fromStdString(r.errText()).split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(err.filter("Ataque.wav").size(), 1) << r.errText();
    EXPECT_EQ(err.filter(QString::fromUtf8("o som \"Sounds\\Ataque.wav\" não existe: nada a tocar")).size(), 1)
        << r.errText();
    EXPECT_EQ(err.filter(QString::fromUtf8("o som \"Sounds\\Battle.mp3\" não pode ser lido")).size(), 1) << r.errText();
    EXPECT_TRUE(err.filter("BattleWin.mp3").isEmpty()) << r.errText();
    EXPECT_TRUE(err.filter("MenuSelect.wav").isEmpty()) << r.errText();
}

TEST(Battle, TheMapsAutoRunEventRunsWhenTheGameStarts) {
    RpgGame g;
    storeMapSettings(g.project.folder(), "Vila.xml",
                     MapSettings{"ShowMessage:Bem-vindo!&\r\nIniciaChuva:", false, {"", "", ""}});
    const PlayResult r = g.run("", 120);
    ASSERT_EQ(r.status, 0) << r.errText();
    const QStringList lines = r.lines();
    EXPECT_EQ(lines.value(1), "evento AutoRun");
    EXPECT_EQ(lines.value(2), "ShowMessage:Bem-vindo!");
    EXPECT_TRUE(r.has("IniciaChuva:")) << r.outText();
}

TEST(Battle, AnEventStartsABattleThroughTheSameEntryAndGoesOnAfterIt) {
    RpgGame g;
    MapGrid grid = qmtest::smallMap();
    grid.setXO(4, 5, 'X');  // the hero turns to it and stays at 4,4
    grid.setEvento(4, 5, "OnActionPress>IniciarBatalha:SemFuga|Slime|Fantasma&ShowMessage:Venceu!&");
    g.project.addMap("Vila.xml", grid);  // written over the first one
    g.project.maps.pop_back();
    g.project.writeProjectFile();
    const PlayResult r = g.run("RAFK1K1K1K1", 2500);
    ASSERT_EQ(r.status, 0) << r.errText();
    const QStringList lines = r.lines();
    const auto at = [&](const QString& line) { return lines.indexOf(line); };
    EXPECT_GE(at("IniciarBatalha:SemFuga|Slime|Fantasma"), 0) << r.outText();
    EXPECT_GE(at("batalha Slime HP 30"), 0) << r.outText();
    EXPECT_NE(r.errText().find("batalha: não há inimigo \"Fantasma\": ignorado"), std::string::npos);
    EXPECT_GE(at("fuga impossivel nesta batalha"), 0) << r.outText();
    // the message after the battle shows once the battle is over, on the map
    EXPECT_GT(at("ShowMessage:Venceu!"), at("volta ao mapa 4,4")) << r.outText();
    EXPECT_GT(at("volta ao mapa 4,4"), at("vitoria: experiencia 10, dinheiro 7")) << r.outText();
}
