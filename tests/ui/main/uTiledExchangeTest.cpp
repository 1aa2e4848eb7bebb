// "Exportar Mapa" and "Importar Mapa" in the main window, driven by their
// shortcuts with the file dialogs and the name box answered by script.
#include "MainWindowTest.h"
#include "PaintedMap.h"
#include "ProjectFixture.h"
#include "ScriptedPrompts.h"
#include "TempDir.h"

#include "model/core/MapFile.h"
#include "model/session/Workspace.h"
#include "ui/main/uPrincipal.h"
#include "ui/main/uTerreno.h"

#include <QApplication>
#include <QDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace quillmark;

namespace {

class TiledMenuTest : public qmtest::MainWindowTest {
protected:
    void SetUp() override {
        fixture.addMap("Vila.xml", qmtest::paintedGrid(12));
        fixture.dir.write("Data/Project.dat", "Aventura\r\n\tVila.xml\r\n");
        makeWindow(QStringLiteral("Data/conf.ini"));
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        ASSERT_TRUE(openProject());
    }

    // The keys go to the window as a user types them.
    void press(Qt::Key key) {
        QTest::keyClick(form.get(), key, Qt::ControlModifier);
        QApplication::processEvents();
    }

    QImage cellPixels(int row, int column) {
        TMapCanvas* canvas = form->mapArea()->canvas();
        return canvas->grab(canvas->cellRect(row, column)).toImage().convertToFormat(QImage::Format_RGB32);
    }

    qmtest::ProjectFixture& fixture = project;
    qmtest::TempDir out;
};

}  // namespace

TEST_F(TiledMenuTest, ExportedMapComesBackAsANewMapThatLooksTheSame) {
    ASSERT_TRUE(form->menuAction("Exportar Mapa")->isEnabled());
    const QImage before = cellPixels(5, 6);

    prompts->answerText(out.file("Vila.tmx"));
    press(Qt::Key_E);
    ASSERT_EQ(prompts->asked().size(), 1u);
    EXPECT_EQ(prompts->asked()[0].kind, "saveFile");
    EXPECT_TRUE(out.exists("Vila.tmx"));
    EXPECT_TRUE(out.exists("Tiles.tsx"));

    prompts->clear();
    prompts->answerText(out.file("Vila.tmx")).answerText("Espelho");
    press(Qt::Key_I);
    ASSERT_EQ(prompts->asked().size(), 2u);
    EXPECT_EQ(prompts->asked()[0].kind, "openFile");
    EXPECT_EQ(prompts->asked()[1].kind, "input");
    EXPECT_EQ(prompts->asked()[1].text, "Nome do novo mapa:");

    EXPECT_EQ(ws->session().currentMap(), "Espelho.xml");
    EXPECT_EQ(fixture.dir.read("Mapas/Espelho.xml"), fixture.dir.read("Mapas/Vila.xml"));
    EXPECT_EQ(form->windowTitle(), "Quillmark 1.0 - Camada Superior");
    EXPECT_EQ(cellPixels(5, 6), before);
}

TEST_F(TiledMenuTest, ARefusedNameIsAskedForAgain) {
    prompts->answerText(out.file("Vila.tmx"));
    press(Qt::Key_E);
    prompts->clear();
    prompts->answerText(out.file("Vila.tmx")).answerText("vila").answer(Answer::Ok).answerText("Vila 2");
    press(Qt::Key_I);
    ASSERT_EQ(prompts->asked().size(), 4u);
    EXPECT_EQ(prompts->asked()[1].kind, "input");
    EXPECT_EQ(prompts->asked()[2].text, "O mapa já existe!!! Escolha outro nome.");
    EXPECT_EQ(prompts->asked()[3].kind, "input");
    EXPECT_EQ(ws->session().currentMap(), "Vila 2.xml");
    EXPECT_EQ(fixture.dir.read("Mapas/Vila 2.xml"), fixture.dir.read("Mapas/Vila.xml"));
}

TEST_F(TiledMenuTest, CancelledDialogsAndABadFileLeaveTheMapAsItWas) {
    prompts->answerNothing();
    press(Qt::Key_E);
    EXPECT_TRUE(QDir(out.path()).entryList(QDir::Files).isEmpty());

    prompts->answerNothing();
    press(Qt::Key_I);
    out.write("x.tmx", "<map orientation=\"hexagonal\"/>");
    // The file is refused before any name is asked for.
    prompts->answerText(out.file("x.tmx"));
    press(Qt::Key_I);
    ASSERT_FALSE(prompts->messages().isEmpty());
    EXPECT_EQ(prompts->asked().back().title, "Quillmark");
    EXPECT_TRUE(prompts->messages().back().contains("só mapas ortogonais")) << prompts->messages().back().toStdString();
    EXPECT_EQ(ws->session().currentMap(), "Vila.xml");
    EXPECT_EQ(QDir(fixture.dir.file("Mapas")).entryList(QDir::Files), QStringList({"Vila.xml"}));
    EXPECT_TRUE(prompts->allAnswersUsed());
}

// A map drawn from scratch in Tiled 1.8 with an empty cell and a collision
// layer of the user's own.
TEST_F(TiledMenuTest, EmptyCellsAndExtraLayersAreAskedAbout) {
    out.write("Tiles.tsx", R"(<?xml version="1.0" encoding="UTF-8"?>
<tileset version="1.8" tiledversion="1.8.2" name="Quillmark" tilewidth="40" tileheight="40" tilecount="144" columns="12">
 <image source="Tiles.png" width="480" height="480"/>
</tileset>
)");
    out.write("novo.tmx", R"(<?xml version="1.0" encoding="UTF-8"?>
<map version="1.8" tiledversion="1.8.2" orientation="orthogonal" renderorder="right-down" width="2" height="2" tilewidth="40" tileheight="40" infinite="0" nextlayerid="3" nextobjectid="2">
 <tileset firstgid="1" source="Tiles.tsx"/>
 <layer id="1" name="Tile Layer 1" width="2" height="2">
  <data encoding="csv">
5,5,
0,5
</data>
 </layer>
 <objectgroup id="2" name="Colisao">
  <object id="1" x="0" y="0" width="80" height="40"/>
 </objectgroup>
</map>
)");
    // A code that is none is asked for again; No to leaving the layer out
    // imports nothing.
    prompts->answerText(out.file("novo.tmx")).answerText("47").answer(Answer::Ok).answerText("H").answer(Answer::No);
    press(Qt::Key_I);
    ASSERT_EQ(prompts->asked().size(), 5u);
    EXPECT_TRUE(prompts->asked()[1].text.startsWith("1 célula do mapa está vazia ((linha 2, coluna 1))"))
        << prompts->asked()[1].text.toStdString();
    EXPECT_EQ(prompts->asked()[2].text, "\"47\" não é um código de tile (48 a 191).");
    EXPECT_EQ(prompts->asked()[4].text,
              "O editor não guarda:\n  • a camada de objetos \"Colisao\"\n\nImportar o mapa sem eles?");
    EXPECT_EQ(ws->session().currentMap(), "Vila.xml");
    EXPECT_EQ(QDir(fixture.dir.file("Mapas")).entryList(QDir::Files), QStringList({"Vila.xml"}));

    prompts->clear();
    prompts->answerText(out.file("novo.tmx")).answerText("72").answer(Answer::Yes).answerText("Novo");
    press(Qt::Key_I);
    EXPECT_TRUE(prompts->allAnswersUsed());
    ASSERT_EQ(ws->session().currentMap(), "Novo.xml");
    EXPECT_EQ(ws->session().grid().fundo(2, 1), 72);
    EXPECT_EQ(ws->session().grid().fundo(1, 1), '4');
}

TEST_F(TiledMenuTest, ExportingOntoTheProjectsOwnFilesIsRefused) {
    const QByteArray vila = fixture.dir.read("Mapas/Vila.xml");
    prompts->answerText(fixture.dir.file("Mapas/Vila.xml")).answer(Answer::Ok);
    press(Qt::Key_E);
    ASSERT_EQ(prompts->asked().size(), 2u);
    EXPECT_TRUE(prompts->messages().back().contains("guarda os arquivos do projeto"));
    EXPECT_EQ(fixture.dir.read("Mapas/Vila.xml"), vila);
    EXPECT_FALSE(fixture.dir.exists("Mapas/Tiles.tsx"));
}
