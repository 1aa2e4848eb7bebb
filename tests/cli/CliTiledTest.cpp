// export and import: maps exchanged with Tiled from the command line, run as a
// separate process on a project made from the template set.
#include "CliRunner.h"
#include "ProjectFixture.h"

#include "model/core/MapFile.h"

#include <QDir>
#include <gtest/gtest.h>

using qmtest::runCli;

namespace {

quillmark::MapGrid paintedGrid() {
    quillmark::MapGrid g;
    g.newGrid(6);
    for (int r = 1; r <= 6; ++r)
        for (int c = 1; c <= 6; ++c) {
            g.setFundo(r, c, static_cast<unsigned char>(48 + r));
            g.setTipo(r, c, static_cast<unsigned char>(r == c ? 191 : 48 + c * 11));
        }
    g.setXO(3, 4, 'X');
    g.setEvento(2, 5, "OnPlayerTouch>IniciaNeve:ShowMessage:Brrr, que fr\xEDo!&");
    g.setEvento(6, 1, "AddChar:Velho|1");
    return g;
}

// A map as Tiled saves it with zlib-compressed layers: 3 x 3, the background
// rows of tiles 1, 2 and 3, four cells of the upper layer set.
const char* kZlibTmx = R"(<?xml version="1.0" encoding="UTF-8"?>
<map version="1.8" tiledversion="1.8.2" orientation="orthogonal" renderorder="right-down" width="3" height="3" tilewidth="40" tileheight="40" infinite="0" nextlayerid="4" nextobjectid="2">
 <tileset firstgid="1" source="Tiles.tsx"/>
 <layer id="1" name="Fundo" width="3" height="3">
  <data encoding="base64" compression="zlib">
   eJxjZGBgYIRiJiTMjIQBAUQAEw==
  </data>
 </layer>
 <layer id="2" name="Tipo" width="3" height="3">
  <data encoding="base64" compression="zlib">
   eJxjYGBg4GZABROAuBWJDwAQwAEh
  </data>
 </layer>
 <objectgroup id="3" name="Eventos">
  <object id="1" x="40" y="80" width="40" height="40">
   <properties>
    <property name="Evento" value="OnActionPress>IniciaChuva:"/>
   </properties>
  </object>
 </objectgroup>
</map>
)";

const char* kTsx = R"(<?xml version="1.0" encoding="UTF-8"?>
<tileset version="1.8" tiledversion="1.8.2" name="Quillmark" tilewidth="40" tileheight="40" tilecount="144" columns="0">
 <grid orientation="orthogonal" width="1" height="1"/>
</tileset>
)";

}  // namespace

TEST(CliTiled, ExportThenImportGivesTheSameMapFile) {
    qmtest::ProjectFixture fixture;
    fixture.addMap("Vila.xml", paintedGrid());
    qmtest::TempDir out;

    const auto exported = runCli({"export", fixture.projectFile(), "vila.XML", out.file("vila.tmx")});
    ASSERT_EQ(exported.status, 0) << exported.errText();
    EXPECT_TRUE(out.exists("vila.tmx"));
    EXPECT_TRUE(out.exists("Tiles.tsx"));

    const auto imported = runCli({"import", fixture.projectFile(), out.file("vila.tmx"), "Copia"});
    ASSERT_EQ(imported.status, 0) << imported.errText();
    EXPECT_EQ(fixture.dir.read("Mapas/Copia.xml"), fixture.dir.read("Mapas/Vila.xml"));
    EXPECT_TRUE(fixture.dir.read("Aventura.qmk").contains("Mapas:Vila.xml%Copia.xml%\r\nMapa Inicial:Vila.xml"));
    EXPECT_TRUE(fixture.dir.read("Data/Project.dat").contains("\tCopia.xml\r\n"));

    // The imported map prints as the original does.
    EXPECT_EQ(runCli({"dump", fixture.projectFile(), "Copia.xml"}).out,
              runCli({"dump", fixture.projectFile(), "Vila.xml"}).out);
}

TEST(CliTiled, ImportsACompressedMapWrittenByTiled) {
    qmtest::ProjectFixture fixture;
    fixture.dir.write("Tiles.tsx", kTsx);
    fixture.dir.write("ilha.tmx", kZlibTmx);
    const auto r = runCli({"import", fixture.projectFile(), fixture.dir.file("ilha.tmx"), "Ilha"});
    ASSERT_EQ(r.status, 0) << r.errText();
    const auto dump = runCli({"dump", fixture.projectFile(), "Ilha.xml"});
    EXPECT_EQ(dump.outText(), "{\"size\": 3, \"tipo\": [[48, 58, 48], [49, 49, 191], [180, 50, 50]], "
                              "\"fundo\": [[48, 48, 48], [49, 49, 49], [50, 50, 50]], "
                              "\"xo\": [[79, 79, 79], [79, 79, 79], [79, 79, 79]], "
                              "\"events\": [{\"row\": 3, \"column\": 2, \"text\": \"OnActionPress>IniciaChuva:\"}]}\n");
    // The first map of the project becomes its initial map.
    EXPECT_TRUE(fixture.dir.read("Aventura.qmk").contains("Mapas:Ilha.xml%\r\nMapa Inicial:Ilha.xml\r\n"));
}

TEST(CliTiled, RefusalsExitWithOneAndLeaveTheProjectAlone) {
    qmtest::ProjectFixture fixture;
    fixture.addMap("Vila.xml", paintedGrid());
    fixture.dir.write("Data/Project.dat", "Aventura\r\n\tVila.xml\r\n");
    fixture.dir.write("Tiles.tsx", kTsx);
    QByteArray nonSquare = kZlibTmx;
    nonSquare.replace("width=\"3\" height=\"3\" tilewidth", "width=\"3\" height=\"2\" tilewidth");
    fixture.dir.write("torto.tmx", nonSquare);
    fixture.dir.write("bom.tmx", kZlibTmx);
    const QByteArray project = fixture.dir.read("Aventura.qmk");

    const auto bad = runCli({"import", fixture.projectFile(), fixture.dir.file("torto.tmx"), "Torto"});
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.errText().find("Não foi possível importar \"torto.tmx\": o mapa tem 3 x 2 células; só mapas "
                                 "quadrados podem ser importados."),
              std::string::npos)
        << bad.errText();

    const auto taken = runCli({"import", fixture.projectFile(), fixture.dir.file("bom.tmx"), "vila"});
    EXPECT_EQ(taken.status, 1);
    EXPECT_NE(taken.errText().find("O mapa já existe!!! Escolha outro nome."), std::string::npos) << taken.errText();

    EXPECT_EQ(fixture.dir.read("Aventura.qmk"), project);
    EXPECT_EQ(QDir(fixture.dir.file("Mapas")).entryList(QDir::Files), QStringList({"Vila.xml"}));

    const auto missingMap = runCli({"export", fixture.projectFile(), "Nada.xml", fixture.dir.file("x.tmx")});
    EXPECT_EQ(missingMap.status, 1);
    EXPECT_FALSE(fixture.dir.exists("x.tmx"));
    EXPECT_EQ(runCli({"export", fixture.projectFile(), "Vila.xml"}).status, 2);
    EXPECT_EQ(runCli({"import", fixture.projectFile(), fixture.dir.file("bom.tmx")}).status, 2);
}

// A map drawn from scratch in Tiled 1.8: one tile layer with an empty cell and
// the user's own collision layer.
const char* kDrawnTmx = R"(<?xml version="1.0" encoding="UTF-8"?>
<map version="1.8" tiledversion="1.8.2" orientation="orthogonal" renderorder="right-down" width="2" height="2" tilewidth="40" tileheight="40" infinite="0" nextlayerid="3" nextobjectid="2">
 <tileset firstgid="1" source="Tiles.tsx"/>
 <layer id="1" name="Tile Layer 1" width="2" height="2">
  <data encoding="csv">
5,0,
5,5
</data>
 </layer>
 <objectgroup id="2" name="Colisao">
  <object id="1" x="0" y="0" width="80" height="40"/>
 </objectgroup>
</map>
)";

TEST(CliTiled, EmptyCellsAndExtraLayersNeedTheUsersWord) {
    qmtest::ProjectFixture fixture;
    fixture.addMap("Vila.xml", paintedGrid());
    fixture.dir.write("Tiles.tsx", kTsx);
    fixture.dir.write("novo.tmx", kDrawnTmx);
    const QByteArray project = fixture.dir.read("Aventura.qmk");

    const auto empty = runCli({"import", fixture.projectFile(), fixture.dir.file("novo.tmx"), "Novo"});
    EXPECT_EQ(empty.status, 1);
    EXPECT_NE(empty.errText().find("a célula (linha 1, coluna 2) da camada \"Tile Layer 1\" está vazia"),
              std::string::npos)
        << empty.errText();
    const auto extra = runCli({"import", fixture.projectFile(), fixture.dir.file("novo.tmx"), "Novo", "--empty", "72"});
    EXPECT_EQ(extra.status, 1);
    EXPECT_NE(extra.errText().find("a camada de objetos \"Colisao\""), std::string::npos) << extra.errText();
    EXPECT_EQ(runCli({"import", fixture.projectFile(), fixture.dir.file("novo.tmx"), "Novo", "--empty", "47"}).status,
              2);
    EXPECT_EQ(fixture.dir.read("Aventura.qmk"), project);
    EXPECT_FALSE(fixture.dir.exists("Mapas/Novo.xml"));

    const auto ok =
        runCli({"import", fixture.projectFile(), fixture.dir.file("novo.tmx"), "Novo", "--empty", "H", "--drop-extra"});
    ASSERT_EQ(ok.status, 0) << ok.errText();
    EXPECT_NE(ok.errText().find("Aviso: ficou de fora a camada de objetos \"Colisao\"."), std::string::npos);
    EXPECT_NE(ok.errText().find("Aviso: 1 célula vazia recebeu o código 72."), std::string::npos) << ok.errText();
    EXPECT_NE(runCli({"dump", fixture.projectFile(), "Novo.xml"}).outText().find("\"fundo\": [[52, 72], [52, 52]]"),
              std::string::npos);
}

TEST(CliTiled, ExportNeverReplacesAProjectMapOrAnotherKindOfFile) {
    qmtest::ProjectFixture fixture;
    fixture.addMap("Vila.xml", paintedGrid());
    fixture.addMap("Caverna.xml", paintedGrid());
    const QByteArray caverna = fixture.dir.read("Mapas/Caverna.xml");

    const auto onMap = runCli({"export", fixture.projectFile(), "Vila.xml", fixture.dir.file("Mapas/Caverna.xml")});
    EXPECT_EQ(onMap.status, 1);
    EXPECT_NE(onMap.errText().find("guarda os arquivos do projeto"), std::string::npos) << onMap.errText();
    EXPECT_EQ(fixture.dir.read("Mapas/Caverna.xml"), caverna);
    EXPECT_FALSE(fixture.dir.exists("Mapas/Tiles.tsx"));
    EXPECT_EQ(runCli({"export", fixture.projectFile(), "Vila.xml", fixture.dir.file("Data/v.tmx"), "--force"}).status,
              1);

    qmtest::TempDir out;
    out.write("leia.txt", "nada de mapas aqui");
    EXPECT_EQ(runCli({"export", fixture.projectFile(), "Vila.xml", out.file("leia.txt")}).status, 1);
    EXPECT_EQ(out.read("leia.txt"), "nada de mapas aqui");
    EXPECT_EQ(runCli({"export", fixture.projectFile(), "Vila.xml", out.file("leia.txt"), "--force"}).status, 0);
    EXPECT_TRUE(out.read("leia.txt").startsWith("<?xml"));
}
