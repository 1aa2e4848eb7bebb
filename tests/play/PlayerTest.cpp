// The player through its real executable, in its test mode: walking, events,
// dialogues, weather, characters, bad projects, and a project left untouched.
#include "PlayRunner.h"

#include "model/core/Picture.h"
#include "model/core/Text.h"
#include "model/events/Character.h"

#include <QColor>
#include <QImage>
#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace quillmark;
using qmtest::play;
using qmtest::PlayResult;
using qmtest::ProjectFixture;

namespace {

std::string cp(const char* utf8) {
    std::string out;
    utf8ToCp1252(utf8, &out);
    return out;
}

// A project with one 7 x 7 map; the hero is put at 4,4 by the tests.
struct Game {
    ProjectFixture project;
    MapGrid grid = qmtest::smallMap();
    void write() { project.addMap("Vila.xml", grid); }
    QString file() const { return project.projectFile(); }
    PlayResult run(const QString& keys, int frames = 240, const QStringList& extra = {}) const {
        return play(file(), keys, frames, QStringList{"--at", "4,4"} + extra);
    }
    void character(const std::string& name, const std::vector<std::string>& script) {
        Character c = newCharacter(project.folder());
        c.name = name;
        c.script = script;
        saveCharacter(project.folder(), c);
    }
};

// A face of one colour; its bottom-left pixel is the colour left out.
QImage solid(QColor colour, int side = 80) {
    QImage img(side, side, QImage::Format_RGB32);
    img.fill(colour);
    img.setPixelColor(0, side - 1, Qt::white);
    return img;
}

int countNear(const QImage& img, QColor colour) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = img.pixelColor(x, y);
            if (std::abs(c.red() - colour.red()) < 8 && std::abs(c.green() - colour.green()) < 8 &&
                std::abs(c.blue() - colour.blue()) < 8)
                ++n;
        }
    return n;
}

double brightness(const QImage& img) {
    double sum = 0;
    for (int y = 0; y < img.height(); y += 2)
        for (int x = 0; x < img.width(); x += 2) sum += qGray(img.pixel(x, y));
    return sum / ((img.height() / 2) * (img.width() / 2));
}

}  // namespace

TEST(Player, WalksCellByCellAndStopsAtXCellsAndTheEdge) {
    Game g;
    g.grid.setXO(4, 5, 'X');
    g.write();

    const auto r = g.run("RULLLLL");
    ASSERT_EQ(r.status, 0) << r.errText();
    const QStringList expected{"inicio \"Aventura\" Vila.xml 4,4 baixo",
                               "bloqueado 4,4 direita",
                               "heroi 3,4 cima",
                               "heroi 3,3 esquerda",
                               "heroi 3,2 esquerda",
                               "heroi 3,1 esquerda",
                               "bloqueado 3,1 esquerda",
                               "bloqueado 3,1 esquerda",
                               "estado mapa nivel 1 experiencia 0 dinheiro 0 HP 60/60 MP 20/20 itens nenhum",
                               "fim quadro 240 heroi 3,1 esquerda"};
    EXPECT_EQ(r.lines(), expected);

    // The same walk around the wall gets there.
    const auto around = g.run("URRDD");
    EXPECT_EQ(around.last(), "fim quadro 240 heroi 5,6 baixo");
}

TEST(Player, StartsWhereTheProjectFileSaysAndOnTheMapAsked) {
    Game g;
    g.write();
    g.project.addMap("Casa.xml");  // a second map, 14 x 14
    // Char X 200, Char Y 190: column 2, row 4.
    const auto r = play(g.file(), "", 1);
    EXPECT_EQ(r.lines().front(), "inicio \"Aventura\" Vila.xml 4,2 baixo");
    const auto other = play(g.file(), "", 1, {"--map", "casa.XML", "--at", "14,14"});
    EXPECT_EQ(other.lines().front(), "inicio \"Aventura\" casa.XML 14,14 baixo");
    // A start outside the map is brought inside it, with a warning.
    const auto outside = play(g.file(), "", 1, {"--at", "0,99"});
    EXPECT_EQ(outside.lines().front(), "inicio \"Aventura\" Vila.xml 1,7 baixo");
    EXPECT_NE(outside.errText().find("fora do mapa"), std::string::npos);
    // The folder names its one project file.
    EXPECT_EQ(play(g.project.folder(), "", 1).status, 0);
}

TEST(Player, SteppingOntoATouchCellShowsItsMessage) {
    Game g;
    g.grid.setEvento(4, 6, cp("OnPlayerTouch>ShowMessage:Cuidado, o chão está molhado!&"));
    g.write();
    const auto r = g.run("RRA");
    ASSERT_EQ(r.status, 0);
    const QStringList expected{"heroi 4,5 direita", "heroi 4,6 direita", "evento OnPlayerTouch 4,6",
                               "ShowMessage:Cuidado, o chão está molhado!", "fecha mensagem"};
    EXPECT_EQ(r.lines().mid(1, 5), expected);
    // Only the step onto the cell fires it: standing there and pressing the key does not.
    EXPECT_EQ(r.lines().filter("evento").size(), 1);
}

TEST(Player, AnActionCellRunsOnlyWithTheKeyWhenFacedOrStoodOn) {
    Game g;
    g.grid.setXO(3, 4, 'X');  // a sign the hero cannot walk onto
    g.grid.setEvento(3, 4, "OnActionPress>ShowMessage:Placa&");
    g.grid.setEvento(6, 4, "OnActionPress>ShowMessage:Tesouro&");
    g.write();

    // Facing the sign (blocked) without the key: nothing.
    const auto without = g.run("U");
    EXPECT_TRUE(without.lines().filter("evento").isEmpty()) << without.outText();
    // With the key.
    const auto with = g.run("UA");
    EXPECT_TRUE(with.has("evento OnActionPress 3,4"));
    EXPECT_TRUE(with.has("ShowMessage:Placa"));
    // Facing away from it, nothing.
    EXPECT_TRUE(g.run("ULA").lines().filter("evento").isEmpty());
    // Standing on a cell and pressing the key runs it; walking over it does not.
    const auto over = g.run("DDD");
    EXPECT_TRUE(over.lines().filter("evento").isEmpty());
    const auto on = g.run("DDA");
    EXPECT_TRUE(on.has("evento OnActionPress 6,4")) << on.outText();
}

TEST(Player, CommandsRunInOrderAndEachBoxWaitsForTheKey) {
    Game g;
    g.grid.setEvento(4, 5, "OnActionPress>ShowMessage:Um&;IniciaChuva:;ShowMessage:Dois&  PararChuva:IniciaNeve:");
    g.write();
    // The second message waits for the first to be closed; a move key meanwhile is dropped.
    const auto r = g.run("RALA", 400);
    const QStringList expected{"evento OnActionPress 4,5", "ShowMessage:Um", "tecla L ignorada com a caixa aberta",
                               "fecha mensagem",           "IniciaChuva:",   "ShowMessage:Dois",
                               "fecha mensagem",           "PararChuva:",    "IniciaNeve:"};
    EXPECT_EQ(r.lines().mid(2, 9), expected) << r.outText();
    EXPECT_EQ(r.last(), "fim quadro 400 heroi 4,5 direita");
    // Without more keys the box closes by itself a little later, and the rest runs.
    const auto alone = g.run("RA", 200);
    EXPECT_TRUE(alone.has("IniciaNeve:")) << alone.outText();
}

TEST(Player, DialoguesShowTheFaceBesideTheTextOrTheTextAlone) {
    Game g;
    Picture(solid(QColor(250, 0, 0))).SaveToFile(g.project.folder() + "Imagens/Rosto.bmp");
    g.grid.setEvento(4, 5, cp("OnActionPress>ShowDialog:rosto.BMP|Olá, herói!&"));
    g.grid.setEvento(4, 3, cp("OnActionPress>ShowDialog:|Sem rosto.&"));
    g.write();
    const QString withFace = g.project.dir.file("with.png"), noFace = g.project.dir.file("without.png");

    const auto r = g.run("RA", 30, {"--screenshot", withFace});
    ASSERT_EQ(r.status, 0) << r.errText();
    EXPECT_TRUE(r.has("ShowDialog:rosto.BMP|Olá, herói!"));
    const auto s = g.run("LA", 30, {"--screenshot", noFace});
    EXPECT_TRUE(s.has("ShowDialog:|Sem rosto."));

    const QImage a(withFace), b(noFace);
    ASSERT_FALSE(a.isNull());
    ASSERT_FALSE(b.isNull());
    EXPECT_GT(countNear(a, QColor(250, 0, 0)), 60 * 60) << "the face, 80 x 80, is drawn";
    EXPECT_EQ(countNear(b, QColor(250, 0, 0)), 0);
    // Both show the box with its light text at the bottom of the picture, where
    // nothing is light without a box.
    const QColor text(250, 248, 235);
    EXPECT_GT(countNear(a.copy(0, 380, 640, 100), text), 40);
    EXPECT_GT(countNear(b.copy(0, 380, 640, 100), text), 40);
    const QString none = g.project.dir.file("none.png");
    ASSERT_EQ(g.run("R", 30, {"--screenshot", none}).status, 0);
    EXPECT_EQ(countNear(QImage(none).copy(0, 380, 640, 100), text), 0);
}

TEST(Player, WeatherStartsAndStops) {
    Game g;
    g.grid.setEvento(4, 5, "OnPlayerTouch>IniciaTempestade:IniciaNeve:");
    g.grid.setEvento(4, 6, "OnPlayerTouch>PararTempestade:PararNeve:");
    g.write();
    const QString clear = g.project.dir.file("clear.png"), storm = g.project.dir.file("storm.png"),
                  after = g.project.dir.file("after.png");
    ASSERT_EQ(g.run("", 60, {"--screenshot", clear}).status, 0);
    const auto on = g.run("R", 60, {"--screenshot", storm});
    EXPECT_TRUE(on.has("IniciaTempestade:"));
    EXPECT_TRUE(on.has("IniciaNeve:"));
    const auto off = g.run("RR", 60, {"--screenshot", after});
    EXPECT_TRUE(off.has("PararTempestade:"));
    EXPECT_TRUE(off.has("PararNeve:"));

    const double bClear = brightness(QImage(clear)), bStorm = brightness(QImage(storm)),
                 bAfter = brightness(QImage(after));
    EXPECT_LT(bStorm, bClear - 5) << "the storm darkens the sky";
    EXPECT_NEAR(bAfter, bClear, 1.0) << "and the sky clears when it stops";
}

TEST(Player, ACharacterBlocksTurnsToTheHeroAndTalks) {
    Game g;
    g.character("Bento", {"OnActionPress>", cp("ShowDialog:|Bom dia!&"), "IniciaChuva:"});
    g.grid.setEvento(4, 5, "AddChar:Bento|");  // no speed: stands still
    g.write();
    const auto r = g.run("RA");
    ASSERT_EQ(r.status, 0) << r.errText();
    const QStringList expected{"bloqueado 4,4 direita", "personagem Bento 4,5", "ShowDialog:|Bom dia!", "fecha dialogo",
                               "IniciaChuva:"};
    EXPECT_EQ(r.lines().mid(1, 5), expected) << r.outText();
    EXPECT_EQ(r.last(), "fim quadro 240 heroi 4,4 direita");
}

TEST(Player, BrokenScriptsLoseOnlyTheBrokenCommand) {
    Game g;
    g.grid.setEvento(4, 5, "OnActionPress>Dancar:agora;ShowMessage:Depois&ShowDialog:semBarra&ShowMessage:sem fim");
    g.write();
    const auto r = g.run("RA");
    ASSERT_EQ(r.status, 0);
    EXPECT_TRUE(r.has("ShowMessage:Depois"));
    EXPECT_EQ(r.lines().filter(QRegularExpression("^Show")).size(), 1);  // the broken dialogue is not shown
    EXPECT_TRUE(r.has("comando ignorado ShowDialog:semBarra"));
    EXPECT_NE(r.errText().find("\"Dancar:agora;\": comando desconhecido"), std::string::npos) << r.errText();
    EXPECT_NE(r.errText().find("\"ShowDialog:semBarra&\": espera face|texto"), std::string::npos);
    EXPECT_NE(r.errText().find("\"ShowMessage:sem fim\": falta o \"&\""), std::string::npos);
}

TEST(Player, BadProjectsExitWithAClearMessage) {
    {
        Game g;
        g.write();
        g.project.dir.write("Mapas/Vila.xml", "<DATAPACKET><ROWDATA><ROW");
        const auto r = g.run("", 1);
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.errText().find("O mapa \"Mapas\\Vila.xml\" não pode ser lido"), std::string::npos) << r.errText();
    }
    {
        Game g;
        g.write();
        QFile::remove(g.project.folder() + "Mapas/Vila.xml");
        const auto r = g.run("", 1);
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.errText().find("O mapa \"Mapas\\Vila.xml\" não existe"), std::string::npos);
    }
    {
        ProjectFixture empty;
        const auto r = play(empty.projectFile(), "", 1);
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.errText().find("não tem mapas"), std::string::npos);
    }
    {
        Game g;
        g.write();
        QFile::remove(g.project.folder() + "Data/Tiles.xml");
        const auto r = g.run("", 1);
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.errText().find("A tabela \"Data\\Tiles.xml\" não pode ser lida"), std::string::npos);
    }
    {
        Game g;
        g.write();
        g.project.dir.write("Imagens/CharDown.bmp", "BM not really");
        const auto r = g.run("", 1);
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.errText().find("A imagem \"Imagens\\CharDown.bmp\" não pode ser lida"), std::string::npos)
            << r.errText();
    }
    {
        // A missing picture is only replaced by the placeholder.
        Game g;
        g.write();
        QFile::remove(g.project.folder() + "Imagens/CharUp.bmp");
        EXPECT_EQ(g.run("U", 30).status, 0);
    }
    {
        const auto r = play("/nowhere/at/all.qmk", "", 1);
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.errText().find("não existe"), std::string::npos);
    }
    {
        Game g;
        g.write();
        const auto r = play(g.project.folder() + "Data/Tiles.xml", "", 1);
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.errText().find("não é um arquivo de projeto (.qmk)"), std::string::npos) << r.errText();
    }
    {
        const auto r = play("x.qmk", "", 1, {"--keys", "UX"});
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.errText().find("\"X\" não é uma tecla"), std::string::npos);
    }
}

TEST(Player, NeverWritesIntoTheProject) {
    Game g;
    g.character("Bento", {"OnActionPress>", "ShowMessage:Oi&"});
    g.grid.setEvento(4, 5, "AddChar:Bento|30");
    g.grid.setEvento(4, 3, "OnPlayerTouch>IniciaChuva:ShowMessage:Chuva&");
    g.write();
    const auto before = qmtest::snapshot(g.project.folder());
    qmtest::TempDir out;
    const auto r = g.run("LARRA", 300, {"--screenshot", out.file("shot.png")});
    ASSERT_EQ(r.status, 0) << r.errText();
    EXPECT_TRUE(out.exists("shot.png"));
    EXPECT_TRUE(qmtest::snapshot(g.project.folder()) == before);
}

TEST(Player, TheSameKeysPlayTheSameGame) {
    // The demo village, its characters wandering.
    qmtest::TempDir dir;
    const QString demo = dir.file("demo");
    ASSERT_EQ(qmtest::runProgram(qmtest::binFolder() + "quillmark-cli", {"demo", demo}).status, 0);
    const QStringList shots{dir.file("a.png"), dir.file("b.png")};
    const auto a = play(demo, "AADDDDRRRRUA", 900, {"--screenshot", shots[0]});
    const auto b = play(demo, "AADDDDRRRRUA", 900, {"--screenshot", shots[1]});
    ASSERT_EQ(a.status, 0) << a.errText();
    EXPECT_TRUE(a.errText().empty()) << a.errText();
    EXPECT_EQ(a.out, b.out);
    EXPECT_EQ(dir.read("a.png"), dir.read("b.png"));
    EXPECT_TRUE(a.has("evento OnActionPress 5,4"));
}

TEST(Player, TheDemoVillageTellsItsStory) {
    qmtest::TempDir dir;
    const QString demo = dir.file("demo");
    ASSERT_EQ(qmtest::runProgram(qmtest::binFolder() + "quillmark-cli", {"demo", demo}).status, 0);
    // From the inn's door to Lena by the well, and a chat.
    // started as the editor's Play starts it, naming its player
    QProcessEnvironment env = qmtest::playEnvironment();
    env.insert("QUILLMARK_PLAY", qmtest::binFolder() + "quillmark-play");
    const auto r = qmtest::runProgram(demo + "/ValeSereno.exe",
                                      {"--headless", "--trace", "--keys", "DRRRDRDAAA", "--frames", "600"}, env);
    ASSERT_EQ(r.status, 0) << r.errText();
    EXPECT_TRUE(r.errText().empty()) << r.errText();
    EXPECT_EQ(r.lines().front(), "inicio \"Vale Sereno\" Vila.xml 5,4 baixo");
    EXPECT_TRUE(r.has("personagem Lena 9,8")) << r.outText();
    EXPECT_EQ(r.lines().filter("ShowDialog:FaceLena.bmp|").size(), 2);
    // The wishing well brings snow in summer.
    const auto well = play(demo, "DRRRDDAA", 400);
    EXPECT_TRUE(well.has("evento OnActionPress 8,7")) << well.outText();
    EXPECT_TRUE(well.has("IniciaNeve:"));
}

TEST(Player, NamesInScriptsNeverLeadOutOfTheProject) {
    Game g;
    g.grid.setEvento(4, 5, "AddChar:..|1");
    g.grid.setEvento(4, 3, "OnActionPress>ShowDialog:..\\..\\segredo.bmp|Oi&");
    g.write();
    const auto r = g.run("LAAR");
    ASSERT_EQ(r.status, 0) << r.errText();
    EXPECT_NE(r.errText().find("personagem ignorado (linha 4, coluna 5)"), std::string::npos) << r.errText();
    EXPECT_NE(r.errText().find("não é só um nome de arquivo"), std::string::npos);
    EXPECT_TRUE(r.has("ShowDialog:..\\..\\segredo.bmp|Oi"));
    EXPECT_TRUE(r.has("heroi 4,4 direita")) << "no character stands in the way";
}
