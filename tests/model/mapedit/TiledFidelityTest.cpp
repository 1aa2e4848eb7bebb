// Maps made the way a Tiled user makes them: each is imported to the cells the
// rules in TiledExchange.h give, or refused with a message naming the layer,
// object or cell, and the project stays as it was. Exports never write over
// the project's own files or leave half an export behind.
#include "Errors.h"
#include "ProjectFixture.h"
#include "ScriptedPrompts.h"
#include "model/core/Error.h"
#include "model/core/MapFile.h"
#include "model/mapedit/TiledExchange.h"
#include "model/session/Workspace.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <map>
#include <sys/stat.h>

using namespace quillmark;
using qmtest::errorOf;

namespace {

using qmtest::folderFiles;

const char* kTsx = R"(<?xml version="1.0" encoding="UTF-8"?>
<tileset version="1.8" tiledversion="1.8.2" name="Quillmark" tilewidth="40" tileheight="40" tilecount="144" columns="12">
 <image source="Tiles.png" width="480" height="480"/>
</tileset>
)";

// A 4 x 4 map as Tiled 1.8 saves one drawn from scratch: one tile layer with
// its default name, then whatever `rest` adds (layers, object layers).
QByteArray drawn(const std::string& csv, const std::string& rest = {}, const std::string& layerAttributes = {}) {
    return QByteArray::fromStdString(
        R"(<?xml version="1.0" encoding="UTF-8"?>
<map version="1.8" tiledversion="1.8.2" orientation="orthogonal" renderorder="right-down" width="4" height="4" tilewidth="40" tileheight="40" infinite="0" nextlayerid="4" nextobjectid="9">
 <tileset firstgid="1" source="Tiles.tsx"/>
 <layer id="1" name="Tile Layer 1" width="4" height="4")" +
        layerAttributes + R"(>
  <data encoding="csv">
)" + csv +
        R"(
</data>
 </layer>
)" + rest +
        "</map>\n");
}

const std::string kFull = "1,1,1,1,\n2,2,2,2,\n3,3,3,3,\n4,4,4,4";

std::string objectLayer(const std::string& name, const std::string& objects, int id = 2) {
    return " <objectgroup id=\"" + std::to_string(id) + "\" name=\"" + name + "\">\n" + objects + " </objectgroup>\n";
}

struct Folder {
    Folder() { dir.write("Tiles.tsx", kTsx); }
    MapGrid read(const QByteArray& tmx, const tiled::ImportOptions& options = {}, tiled::ImportNotes* notes = nullptr) {
        dir.write("m.tmx", tmx);
        return tiled::readTmxFile(dir.file("m.tmx"), options, notes);
    }
    std::string refusal(const QByteArray& tmx, const tiled::ImportOptions& options = {}) {
        return errorOf([&] { read(tmx, options); });
    }
    qmtest::TempDir dir;
};

std::string marks(const MapGrid& g) {
    std::string s;
    for (int r = 1; r <= g.N; ++r) {
        for (int c = 1; c <= g.N; ++c) s += static_cast<char>(g.xo(r, c));
        s += '/';
    }
    return s;
}

}  // namespace

// --- conversions ----------------------------------------------------------------------------

TEST(TiledFidelity, AnEmptyCellIsRefusedByNameOrTakesTheCodeTheUserGives) {
    Folder f;
    const QByteArray tmx = drawn("1,0,1,1,\n2,2,2,2,\n3,3,3,0,\n4,4,4,4");
    const std::string refusal = f.refusal(tmx);
    EXPECT_NE(refusal.find("a célula (linha 1, coluna 2) da camada \"Tile Layer 1\" está vazia (2 células vazias)"),
              std::string::npos)
        << refusal;
    EXPECT_NE(refusal.find("--empty"), std::string::npos);

    tiled::ImportNotes notes;
    const MapGrid g = f.read(tmx, {static_cast<unsigned char>(72), false}, &notes);
    EXPECT_EQ(g.fundo(1, 2), 72);
    EXPECT_EQ(g.tipo(1, 2), 72);
    EXPECT_EQ(g.fundo(3, 4), 72);
    EXPECT_EQ(g.fundo(1, 1), '0');
    EXPECT_EQ(g.fundo(4, 4), '3');
    EXPECT_EQ(notes.emptyCells, 2);
    EXPECT_EQ(notes.firstEmptyCell, "(linha 1, coluna 2)");

    EXPECT_EQ(tiled::emptyCodeOf("72"), 72);
    EXPECT_EQ(tiled::emptyCodeOf("H"), 'H');
    EXPECT_EQ(tiled::emptyCodeOf("0"), '0');
    EXPECT_EQ(tiled::emptyCodeOf("47"), std::nullopt);
    EXPECT_EQ(tiled::emptyCodeOf("192"), std::nullopt);
    EXPECT_EQ(tiled::emptyCodeOf("/"), std::nullopt);
    EXPECT_EQ(tiled::emptyCodeOf(""), std::nullopt);
}

TEST(TiledFidelity, CollisionShapesMarkEveryCellWhoseCentreTheyCover) {
    Folder f;
    // A rectangle over four cells, a triangle whose hypotenuse leaves one of
    // its cells out, an ellipse, a tile object and a small dot off the grid.
    const std::string objects = R"(  <object id="1" x="0" y="0" width="80" height="80"/>
  <object id="2" name="x" x="80" y="80">
   <polygon points="0,0 90,0 0,90"/>
  </object>
  <object id="3" x="120" y="0" width="40" height="80">
   <ellipse/>
  </object>
  <object id="4" gid="5" x="0" y="160" width="40" height="40"/>
  <object id="5" x="150" y="150" width="4" height="4"/>
)";
    const MapGrid g = f.read(drawn(kFull, objectLayer("XO", objects)));
    EXPECT_EQ(marks(g), "XXOX/XXOX/OOXX/XOXX/");

    // "O" clears a cell another object marked, in either case.
    const MapGrid cleared =
        f.read(drawn(kFull, objectLayer("XO", R"(  <object id="1" x="0" y="0" width="160" height="40"/>
  <object id="2" name="o" x="40" y="0" width="40" height="40"/>
)")));
    EXPECT_EQ(marks(cleared), "XOXX/OOOO/OOOO/OOOO/");
}

TEST(TiledFidelity, MarksOtherThanXAndOAreRefusedNamingTheCell) {
    Folder f;
    const struct {
        const char* object;
        const char* message;
    } cases[] = {
        {R"(<object id="6" name="Z" x="40" y="80" width="40" height="40"/>)",
         "o objeto 6 da camada \"XO\" (célula (linha 3, coluna 2)) tem a marca \"Z\""},
        {R"(<object id="6" name="&#15;" x="0" y="0" width="40" height="40"/>)",
         "(célula (linha 1, coluna 1)) tem caracteres de controle"},
        {R"(<object id="6" name="Parede" x="0" y="0" width="40" height="40"/>)", "tem a marca \"Parede\""},
        {R"(<object id="6" x="0" y="0" width="80" height="10" rotation="45"/>)",
         "o objeto 6 da camada \"XO\" está girado"},
        {R"(<object id="6" x="0" y="0"><polyline points="0,0 80,80"/></object>)", "é uma linha"},
        {R"(<object id="6" x="nan" y="0" width="40" height="40"/>)", "x=\"nan\", que não é uma posição válida"},
        {R"(<object id="6" x="0" y="inf" width="40" height="40"/>)", "y=\"inf\""},
        {R"(<object id="6" x="1e300" y="0" width="40" height="40"/>)", "x=\"1e300\""},
        {R"(<object id="6" x="400" y="0" width="40" height="40"/>)", "o objeto 6 da camada \"XO\" está fora do mapa"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.object);
        const std::string error = f.refusal(drawn(kFull, objectLayer("XO", std::string("  ") + c.object + "\n")));
        EXPECT_NE(error.find("Não foi possível importar \"m.tmx\": "), std::string::npos) << error;
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
    }
}

TEST(TiledFidelity, EventTextsWithControlCharactersOrBadPositionsAreRefused) {
    Folder f;
    auto event = [](const std::string& position, const std::string& text) {
        return objectLayer("Eventos", "  <object id=\"7\" " + position +
                                          ">\n   <properties>\n    <property name=\"Evento\" value=\"" + text +
                                          "\"/>\n   </properties>\n  </object>\n");
    };
    EXPECT_NE(f.refusal(drawn(kFull, event(R"(x="40" y="40" width="40" height="40")", "ShowMessage:a&#1;b&amp;")))
                  .find("o evento da célula (linha 2, coluna 2) tem caracteres de controle"),
              std::string::npos);
    EXPECT_NE(f.refusal(drawn(kFull, event(R"(x="-inf" y="40")", "AddChar:Ana|1"))).find("x=\"-inf\""),
              std::string::npos);
    // Line breaks and TABs are a dialogue's own.
    const MapGrid g =
        f.read(drawn(kFull, event(R"(x="40" y="40" width="40" height="40")", "ShowDialog:a&#13;&#10;b&#9;c")));
    EXPECT_EQ(g.evento(2, 2), "ShowDialog:a\r\nb\tc");
}

TEST(TiledFidelity, WholeCellOffsetsAreAppliedAndOthersRefused) {
    Folder f;
    // The layer moved one cell right and one down: its last column and row
    // are empty, so it leaves the top-left cells empty.
    const std::string csv = "1,2,3,0,\n4,5,6,0,\n7,8,9,0,\n0,0,0,0";
    const MapGrid g = f.read(drawn(csv, {}, R"( offsetx="40" offsety="40")"), {'0', false});
    EXPECT_EQ(g.fundo(2, 2), '0');
    EXPECT_EQ(g.fundo(2, 3), '1');
    EXPECT_EQ(g.fundo(4, 4), '8');
    EXPECT_EQ(g.fundo(1, 1), '0');

    EXPECT_NE(f.refusal(drawn(kFull, {}, R"( offsetx="20")"))
                  .find("a camada \"Tile Layer 1\" está deslocada (offsetx=\"20\")"),
              std::string::npos);
    EXPECT_NE(f.refusal(drawn(kFull, {}, R"( offsety="-40")")).find("fica fora do mapa"), std::string::npos);

    // A group's offset moves its objects as well.
    const std::string group = R"( <group id="5" name="Grupo" offsetx="80">
  <objectgroup id="2" name="XO">
   <object id="1" x="0" y="0" width="40" height="40"/>
  </objectgroup>
 </group>
)";
    EXPECT_EQ(marks(f.read(drawn(kFull, group))), "OOXO/OOOO/OOOO/OOOO/");
}

TEST(TiledFidelity, UnknownObjectLayersAreNamedAndDroppedOnlyWhenAccepted) {
    Folder f;
    const QByteArray tmx =
        drawn(kFull, objectLayer("Colisao", "  <object id=\"1\" x=\"0\" y=\"0\" width=\"40\" height=\"40\"/>\n") +
                         " <imagelayer id=\"3\" name=\"Ceu\"><image source=\"ceu.png\"/></imagelayer>\n");
    const std::string refusal = f.refusal(tmx);
    EXPECT_NE(refusal.find("a camada de objetos \"Colisao\"; a camada de imagem \"Ceu\""), std::string::npos)
        << refusal;
    EXPECT_NE(refusal.find("--drop-extra"), std::string::npos);

    tiled::ImportNotes notes;
    const MapGrid g = f.read(tmx, {std::nullopt, true}, &notes);
    EXPECT_EQ(notes.dropped,
              (std::vector<std::string>{"a camada de objetos \"Colisao\"", "a camada de imagem \"Ceu\""}));
    EXPECT_EQ(marks(g), "OOOO/OOOO/OOOO/OOOO/");
}

TEST(TiledFidelity, HiddenLayersAreImportedAndReported) {
    Folder f;
    tiled::ImportNotes notes;
    const MapGrid g =
        f.read(drawn(kFull,
                     objectLayer("XO", "  <object id=\"1\" x=\"0\" y=\"0\" width=\"40\" height=\"40\"/>\n")
                         .replace(0, 14, " <objectgroup visible=\"0\" "),
                     R"( visible="0")"),
               {}, &notes);
    EXPECT_EQ(notes.hiddenLayers, (std::vector<std::string>{"Tile Layer 1", "XO"}));
    EXPECT_EQ(g.fundo(4, 1), '3');
    EXPECT_EQ(g.xo(1, 1), 'X');
}

TEST(TiledFidelity, AnUnusedSecondTilesetIsAcceptedAndAUsedOneNamed) {
    Folder f;
    f.dir.write("Arvores.tsx", QByteArray(kTsx).replace("Quillmark", "Arvores").replace("\"40\"", "\"32\""));
    QByteArray tmx = drawn(kFull);
    tmx.replace("<tileset firstgid=\"1\" source=\"Tiles.tsx\"/>",
                "<tileset firstgid=\"1\" source=\"Tiles.tsx\"/>\n <tileset firstgid=\"145\" source=\"Arvores.tsx\"/>");
    EXPECT_EQ(f.read(tmx).fundo(2, 1), '1');
    tmx.replace("4,4,4,4", "4,4,4,150");
    EXPECT_NE(f.refusal(tmx).find("a célula (linha 4, coluna 4) da camada \"Tile Layer 1\" usa um tile do conjunto "
                                  "\"Arvores\""),
              std::string::npos);
}

TEST(TiledFidelity, AJsonMapIsNamedAsSuch) {
    Folder f;
    const std::string error = f.refusal(R"({ "compressionlevel":-1, "height":4, "infinite":false, "layers":[ ],
 "orientation":"orthogonal", "renderorder":"right-down", "tiledversion":"1.8.2", "tileheight":40,
 "type":"map", "version":"1.8", "width":4 })");
    EXPECT_NE(error.find("é um mapa JSON do Tiled; exporte-o do Tiled como TMX"), std::string::npos) << error;
}

// --- hostile files --------------------------------------------------------------------------

TEST(TiledFidelity, DeeplyNestedGroupsAreRefusedAndTheEditorKeepsItsMap) {
    qmtest::ProjectFixture fixture;
    MapGrid vila;
    vila.newGrid(5);
    fixture.addMap("Vila.xml", vila);
    fixture.dir.write("Tiles.tsx", kTsx);
    Workspace ws(std::make_unique<qmtest::ScriptedPrompts>());
    ws.session().setEditorFolder(qmtest::binFolder());
    ws.session().openProject(fixture.projectFile());
    ws.session().mapEditing().paint(EditLayer::Tipo, 2, 2, 'A');  // an unsaved edit
    const auto before = folderFiles(fixture.folder());

    // 50,000 groups, as the file that once overflowed the stack.
    std::string deep;
    deep.reserve(50000 * 40);
    for (int i = 0; i < 50000; ++i) deep += "<group name=\"g\">";
    for (int i = 0; i < 50000; ++i) deep += "</group>";
    fixture.dir.write("fundo.tmx", drawn(kFull, deep));
    const std::string error = errorOf([&] { ws.session().importMap(fixture.dir.file("fundo.tmx"), "Fundo"); });
    EXPECT_NE(error.find("os grupos de camadas estão aninhados em mais de 64 níveis"), std::string::npos) << error;
    auto after = folderFiles(fixture.folder());
    after.erase("fundo.tmx");
    EXPECT_EQ(after, before);
    EXPECT_EQ(ws.session().grid().tipo(2, 2), 'A');
    EXPECT_TRUE(ws.session().modified());
    EXPECT_EQ(ws.session().currentMap(), "Vila.xml");

    // Sixty levels are fine.
    std::string sixty;
    for (int i = 0; i < 60; ++i) sixty += "<group name=\"g\">";
    sixty += objectLayer("XO", "  <object id=\"1\" x=\"0\" y=\"0\" width=\"40\" height=\"40\"/>\n");
    for (int i = 0; i < 60; ++i) sixty += "</group>";
    fixture.dir.write("fundo.tmx", drawn(kFull, sixty));
    EXPECT_EQ(tiled::readTmxFile(fixture.dir.file("fundo.tmx")).xo(1, 1), 'X');
}

TEST(TiledFidelity, OversizedFilesAndFifosAreRefusedBeforeReading) {
    Folder f;
    // A sparse tileset just over the limit: refused by its size, unread.
    {
        QFile big(f.dir.file("Grande.tsx"));
        ASSERT_TRUE(big.open(QIODevice::WriteOnly));
        ASSERT_TRUE(big.resize(tiled::kMaxFileSize + 1));
    }
    QByteArray tmx = drawn(kFull);
    tmx.replace("Tiles.tsx", "Grande.tsx");
    const std::string error = f.refusal(tmx);
    EXPECT_NE(error.find("o arquivo \"Grande.tsx\" tem 64 MB; o limite é 64 MB"), std::string::npos) << error;

    {
        QFile big(f.dir.file("grande.tmx"));
        ASSERT_TRUE(big.open(QIODevice::WriteOnly));
        ASSERT_TRUE(big.resize(tiled::kMaxFileSize + 1));
    }
    EXPECT_NE(errorOf([&] { tiled::readTmxFile(f.dir.file("grande.tmx")); }).find("\"grande.tmx\" tem 64 MB"),
              std::string::npos);

    ASSERT_EQ(mkfifo(f.dir.file("fila.tmx").toLocal8Bit().constData(), 0600), 0);
    EXPECT_NE(errorOf([&] { tiled::readTmxFile(f.dir.file("fila.tmx")); }).find("\"fila.tmx\" não é um arquivo comum"),
              std::string::npos);
    QDir().mkpath(f.dir.file("pasta.tsx"));
    tmx.replace("Grande.tsx", "pasta.tsx");
    EXPECT_NE(f.refusal(tmx).find("\"pasta.tsx\" não é um arquivo comum"), std::string::npos);
}

// --- exports ---------------------------------------------------------------------------------

TEST(TiledFidelity, ExportNeverWritesIntoTheProjectOrOverAnotherKindOfFile) {
    qmtest::ProjectFixture fixture;
    MapGrid vila;
    vila.newGrid(4);
    fixture.addMap("Vila.xml", vila);
    fixture.addMap("Caverna.xml", vila);
    const auto before = folderFiles(fixture.folder());
    const tiled::ExportOptions inProject{fixture.folder(), false};

    for (const char* target : {"Mapas/Caverna.xml", "mapas/Nova.tmx", "Data/x.tmx", "Mapas/sub/../v.tmx"}) {
        SCOPED_TRACE(target);
        const std::string error = errorOf([&] { tiled::exportMap(vila, {}, fixture.dir.file(target), inProject); });
        EXPECT_NE(error.find("guarda os arquivos do projeto"), std::string::npos) << error;
    }
    // Forced or not.
    EXPECT_NE(errorOf([&] {
                  tiled::exportMap(vila, {}, fixture.dir.file("Mapas/Caverna.xml"), {fixture.folder(), true});
              }).find("a pasta \"Mapas\\\" guarda"),
              std::string::npos);
    EXPECT_EQ(folderFiles(fixture.folder()), before);

    // Beside the project: a file that is not a TMX map is kept unless forced;
    // a TMX map (an earlier export) is replaced.
    qmtest::TempDir out;
    out.write("notas.txt", "minhas notas");
    EXPECT_NE(errorOf([&] {
                  tiled::exportMap(vila, {}, out.file("notas.txt"), inProject);
              }).find("já existe e não é um mapa do Tiled (TMX); escolha outro nome ou use --force"),
              std::string::npos);
    EXPECT_EQ(out.read("notas.txt"), "minhas notas");
    EXPECT_FALSE(out.exists("Tiles.tsx"));
    tiled::exportMap(vila, {}, out.file("v.tmx"), inProject);
    tiled::exportMap(vila, {}, out.file("v.tmx"), inProject);
    out.write("Tiles.tsx", QByteArray(kTsx).replace("Quillmark", "Meu"));
    EXPECT_NE(errorOf([&] {
                  tiled::exportMap(vila, {}, out.file("v.tmx"), inProject);
              }).find("Tiles.tsx\" já existe e não é o conjunto de tiles do editor"),
              std::string::npos);
    tiled::exportMap(vila, {}, out.file("notas.txt"), {fixture.folder(), true});
    EXPECT_TRUE(out.read("notas.txt").contains("<map version=\"1.8\""));
}

TEST(TiledFidelity, AnExportCutShortLeavesNothingHalfWritten) {
    MapGrid g;
    g.newGrid(4);
    g.setTipo(1, 1, 'A');
    qmtest::TempDir out;
    for (int cut = 0; cut < 3; ++cut) {
        SCOPED_TRACE(cut);
        tiled::exportFaultHook() = [cut](int file) {
            if (file == cut) throw Error("disco cheio");
        };
        EXPECT_EQ(errorOf([&] { tiled::exportMap(g, {}, out.file("m.tmx")); }), "disco cheio");
        EXPECT_TRUE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    }
    // Over an earlier export, a cut keeps the earlier files whole.
    tiled::exportFaultHook() = nullptr;
    tiled::exportMap(g, {}, out.file("m.tmx"));
    const auto first = folderFiles(out.path());
    g.setTipo(1, 1, 'B');
    for (int cut = 0; cut < 3; ++cut) {
        tiled::exportFaultHook() = [cut](int file) {
            if (file == cut) throw Error("disco cheio");
        };
        EXPECT_EQ(errorOf([&] { tiled::exportMap(g, {}, out.file("m.tmx")); }), "disco cheio");
        EXPECT_EQ(folderFiles(out.path()), first);
    }
    tiled::exportFaultHook() = nullptr;
}

TEST(TiledFidelity, ExportRefusesAMarkTiledCannotGiveBack) {
    MapGrid g;
    g.newGrid(3);
    g.setXO(2, 3, 'Z');
    EXPECT_NE(errorOf([&] { tiled::tmxText(g); }).find("A célula (linha 2, coluna 3) tem a marca \"Z\""),
              std::string::npos);
    g.setXO(2, 3, '\x0F');
    EXPECT_NE(errorOf([&] { tiled::tmxText(g); }).find("(linha 2, coluna 3)"), std::string::npos);
}
