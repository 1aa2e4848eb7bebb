#include "model/mapedit/TiledExchange.h"
#include "Errors.h"
#include "ProjectFixture.h"
#include "ScriptedPrompts.h"
#include "model/core/Error.h"
#include "model/core/MapFile.h"
#include "model/core/Paths.h"
#include "model/core/Picture.h"
#include "model/mapedit/NewMap.h"
#include "model/session/Workspace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <map>

using namespace quillmark;

namespace {

// A workspace with the fixture's project open as the editor opens it.
struct OpenProject {
    explicit OpenProject(qmtest::ProjectFixture& fixture) : ws(std::make_unique<qmtest::ScriptedPrompts>()) {
        ws.session().setEditorFolder(qmtest::binFolder());
        ws.session().openProject(fixture.projectFile());
    }
    qmtest::ScriptedPrompts& prompts() { return static_cast<qmtest::ScriptedPrompts&>(ws.prompts()); }
    Workspace ws;
};

using qmtest::errorOf;

using qmtest::folderFiles;

// A map that uses every corner of what a map file holds: all 144 codes, both
// marks, every kind of event and the characters XML and
// Windows-1252 make special.
MapGrid richGrid(int n) {
    MapGrid g;
    g.newGrid(n);
    int k = 0;
    for (int r = 1; r <= n; ++r)
        for (int c = 1; c <= n; ++c, ++k) {
            g.setTipo(r, c, static_cast<unsigned char>(48 + (k * 7) % 144));
            g.setFundo(r, c, static_cast<unsigned char>(48 + k % 144));
            if ((r + c) % 3 == 0) g.setXO(r, c, 'X');
        }
    g.setXO(1, 1, 'X');
    g.setEvento(1, 2, "OnActionPress>ShowMessage:Ol\xE1 & <amigo> \"\x80\x81\" | fim&IniciaChuva:");
    g.setEvento(2, 1, "AddChar:Jo\xE3o|3");
    g.setEvento(n, n, "OnPlayerTouch>;ShowDialog:face.bmp|linha um\r\nlinha\tdois&;");
    g.setEvento(2, 2, "NULL");
    return g;
}

const char* kTsx = R"(<?xml version="1.0" encoding="UTF-8"?>
<tileset version="1.8" tiledversion="1.8.2" name="Quillmark" tilewidth="40" tileheight="40" tilecount="144" columns="12">
 <image source="Tiles.png" width="480" height="480"/>
</tileset>
)";

// A 3 x 3 map as Tiled writes it; `fundo` and `tipo` are the <data> elements.
QByteArray tmx3(const std::string& fundo, const std::string& tipo, const std::string& extra = {}) {
    return QByteArray::fromStdString(
        R"(<?xml version="1.0" encoding="UTF-8"?>
<map version="1.8" tiledversion="1.8.2" orientation="orthogonal" renderorder="right-down" width="3" height="3" tilewidth="40" tileheight="40" infinite="0" nextlayerid="3" nextobjectid="1">
 <tileset firstgid="1" source="Tiles.tsx"/>
 <layer id="1" name="Fundo" width="3" height="3">
  )" + fundo +
        R"(
 </layer>
 <layer id="2" name="Tipo" width="3" height="3">
  )" + tipo +
        "\n </layer>\n" + extra + "</map>\n");
}

// The cells those fixtures hold (Fundo 1,1,1 / 2,2,2 / 3,3,3; Tipo with empty
// cells, gid 11, 144 and 133).
void expectFixtureCells(const MapGrid& g) {
    ASSERT_EQ(g.N, 3);
    const unsigned char fundo[3] = {'0', '1', '2'};
    const unsigned char tipo[3][3] = {{'0', ':', '0'}, {'1', '1', 191}, {180, '2', '2'}};
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 3; ++c) {
            EXPECT_EQ(g.fundo(r, c), fundo[r - 1]) << r << "," << c;
            EXPECT_EQ(g.tipo(r, c), tipo[r - 1][c - 1]) << r << "," << c;
            EXPECT_EQ(g.xo(r, c), 'O');
            EXPECT_FALSE(MapGrid::hasEvent(g.evento(r, c)));
        }
}

const std::string kCsvFundo = "<data encoding=\"csv\">\n1,1,1,\n2,2,2,\n3,3,3\n</data>";
const std::string kCsvTipo = "<data encoding=\"csv\">\n0,11,0,\n0,0,144,\n133,0,0\n</data>";

}  // namespace

// --- a round trip through Tiled's format -----------------------------------------------------

TEST(TiledExport, ExportedMapImportsBackToTheSameFileByteForByte) {
    qmtest::ProjectFixture fixture;
    fixture.addMap("Vila.xml", richGrid(17));
    OpenProject p(fixture);
    ASSERT_TRUE(p.ws.session().mapLoaded());
    const QString tmx = fixture.dir.file("troca/Vila.tmx");
    QDir().mkpath(fixture.dir.file("troca"));

    p.ws.session().exportMap(tmx);
    ASSERT_TRUE(p.ws.session().importMap(tmx, "Volta"));

    const QByteArray original = fixture.dir.read("Mapas/Vila.xml");
    const QByteArray back = fixture.dir.read("Mapas/Volta.xml");
    ASSERT_FALSE(original.isEmpty());
    EXPECT_EQ(back, original);
    // The imported map is registered and shown as a new map is.
    EXPECT_EQ(p.ws.session().currentMap(), "Volta.xml");
    EXPECT_FALSE(p.ws.session().modified());
    EXPECT_TRUE(fixture.dir.read("Aventura.qmk").contains("Mapas:Vila.xml%Volta.xml%"));
    EXPECT_TRUE(fixture.dir.read("Data/Project.dat").contains("Volta.xml"));
}

TEST(TiledExport, LargestMapRoundTripsAndExportWritesOnlyItsTwoFiles) {
    qmtest::ProjectFixture fixture;
    fixture.addMap("Grande.xml", richGrid(100));
    OpenProject p(fixture);
    const auto before = folderFiles(fixture.folder());
    qmtest::TempDir out;
    p.ws.session().exportMap(out.file("g.tmx"));
    EXPECT_EQ(folderFiles(fixture.folder()), before);  // exporting changes nothing in the project
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files, QDir::Name), QStringList({"Tiles.png", "Tiles.tsx", "g.tmx"}));

    const MapGrid back = tiled::readTmxFile(out.file("g.tmx"));
    const MapGrid original = richGrid(100);
    EXPECT_EQ(back.N, 100);
    EXPECT_EQ(back.Tipo, original.Tipo);
    EXPECT_EQ(back.Fundo, original.Fundo);
    EXPECT_EQ(back.XO, original.XO);
    EXPECT_EQ(back.evento(1, 2), original.evento(1, 2));
    EXPECT_EQ(back.evento(100, 100), original.evento(100, 100));
    EXPECT_EQ(back.evento(2, 2), "");
}

TEST(TiledExport, TilesetSheetHoldsEveryTileAsTheEditorDrawsIt) {
    qmtest::ProjectFixture fixture;
    fixture.addMap("Vila.xml");
    OpenProject p(fixture);
    qmtest::TempDir out;
    p.ws.session().exportMap(out.file("v.tmx"));
    EXPECT_EQ(out.read("Tiles.tsx").toStdString(), tiled::tsxText());
    EXPECT_NE(tiled::tsxText().find(R"(name="Quillmark" tilewidth="40" tileheight="40" tilecount="144" columns="12">)"),
              std::string::npos);
    EXPECT_NE(tiled::tsxText().find(R"(<image source="Tiles.png" width="480" height="480"/>)"), std::string::npos);

    // Tile id i sits at column i % 12, row i / 12, with the pixels the canvas
    // draws for code 48 + i: transparent where the editor leaves the colour out.
    const QImage sheet = QImage(out.file("Tiles.png")).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(sheet.size(), QSize(480, 480));
    int transparentTiles = 0;
    for (int id = 0; id < 144; ++id) {
        const Picture& picture = p.ws.session().PegaImg(static_cast<unsigned char>(48 + id));
        const QImage drawn = picture.drawImage().copy(0, 0, 40, 40).convertToFormat(QImage::Format_ARGB32);
        const QImage cell = sheet.copy((id % 12) * 40, (id / 12) * 40, 40, 40);
        ASSERT_EQ(cell, drawn) << "tile " << id;
        if (picture.transparent()) {
            ++transparentTiles;
            EXPECT_EQ(qAlpha(cell.pixel(0, 39)), 0) << "tile " << id << ": its bottom-left colour is left out";
        } else {
            EXPECT_EQ(qAlpha(cell.pixel(0, 39)), 255) << "tile " << id;
        }
    }
    EXPECT_GT(transparentTiles, 0);
}

TEST(TiledExport, TmxHoldsLayersInCsvMarksAndEvents) {
    MapGrid g;
    g.newGrid(2);
    g.setTipo(1, 2, 191);
    g.setFundo(2, 1, '1');
    g.setXO(2, 2, 'X');
    g.setEvento(1, 1, "AddChar:Ana|2");
    const std::string tmx = tiled::tmxText(g);
    EXPECT_NE(
        tmx.find("<layer id=\"1\" name=\"Fundo\" width=\"2\" height=\"2\">\n  <data encoding=\"csv\">\n1,1,\n2,1\n"
                 "</data>"),
        std::string::npos)
        << tmx;
    EXPECT_NE(tmx.find("name=\"Tipo\" width=\"2\" height=\"2\">\n  <data encoding=\"csv\">\n1,144,\n1,1\n</data>"),
              std::string::npos);
    EXPECT_NE(tmx.find(R"(<object id="1" x="40" y="40" width="40" height="40"/>)"), std::string::npos);
    EXPECT_NE(tmx.find(R"(<property name="Evento" value="AddChar:Ana|2"/>)"), std::string::npos);
    EXPECT_NE(tmx.find(R"(nextobjectid="3")"), std::string::npos);
}

TEST(TiledExport, RefusesWhatTiledCannotHoldAndWritesNothing) {
    qmtest::TempDir out;
    MapGrid g;
    g.newGrid(3);
    g.setTipo(2, 3, 47);
    EXPECT_NE(errorOf([&] { tiled::exportMap(g, {}, out.file("m.tmx")); }).find("(linha 2, coluna 3)"),
              std::string::npos);
    g.setTipo(2, 3, '0');
    g.setEvento(3, 1, std::string("ShowMessage:a\x01") + "b&");
    EXPECT_NE(errorOf([&] { tiled::exportMap(g, {}, out.file("m.tmx")); }).find("caracteres de controle"),
              std::string::npos);
    EXPECT_TRUE(QDir(out.path()).entryList(QDir::Files).isEmpty());

    qmtest::ProjectFixture fixture;
    OpenProject p(fixture);  // no map loaded
    EXPECT_EQ(errorOf([&] { p.ws.session().exportMap(out.file("m.tmx")); }), "Nenhum mapa aberto para exportar.");
}

// --- maps written by Tiled ---------------------------------------------------------------------

TEST(TiledImport, ReadsEveryTileDataEncoding) {
    qmtest::TempDir dir;
    dir.write("Tiles.tsx", kTsx);
    const struct {
        const char* name;
        std::string fundo;
        std::string tipo;
    } cases[] = {
        {"csv", kCsvFundo, kCsvTipo},
        {"base64", "<data encoding=\"base64\">\n   AQAAAAEAAAABAAAAAgAAAAIAAAACAAAAAwAAAAMAAAADAAAA\n  </data>",
         "<data encoding=\"base64\">AAAAAAsAAAAAAAAAAAAAAAAAAACQAAAAhQAAAAAAAAAAAAAA</data>"},
        {"zlib", "<data encoding=\"base64\" compression=\"zlib\">\n   eJxjZGBgYIRiJiTMjIQBAUQAEw==\n  </data>",
         "<data encoding=\"base64\" compression=\"zlib\">eJxjYGBg4GZABROAuBWJDwAQwAEh</data>"},
        {"gzip", "<data encoding=\"base64\" compression=\"gzip\">H4sIAAAAAAAC/2NkYGBghGImJMyMhAHqe1hwJAAAAA==</data>",
         "<data encoding=\"base64\" compression=\"gzip\">H4sIAAAAAAAC/2NgYGDgZkAFE4C4FYkPAKRFAwIkAAAA</data>"},
        {"zstd",
         "<data encoding=\"base64\" compression=\"zstd\">\n   KLUv/SQktQAAcAEAAAABAAAAAQAAAAIDAgDACIz7BXXK5b0=\n  "
         "</data>",
         "<data encoding=\"base64\" compression=\"zstd\">KLUv/SQkpQAAYAAAAAALAJAAAACFAAIAYCsyKAJ6XRsf</data>"},
        {"xml",
         "<data><tile gid=\"1\"/><tile gid=\"1\"/><tile gid=\"1\"/><tile gid=\"2\"/><tile gid=\"2\"/><tile "
         "gid=\"2\"/><tile gid=\"3\"/><tile gid=\"3\"/><tile gid=\"3\"/></data>",
         "<data><tile/><tile gid=\"11\"/><tile/><tile/><tile/><tile gid=\"144\"/><tile gid=\"133\"/><tile/><tile/>"
         "</data>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        dir.write("m.tmx", tmx3(c.fundo, c.tipo));
        expectFixtureCells(tiled::readTmxFile(dir.file("m.tmx")));
    }
}

TEST(TiledImport, ReadsMarksEventsEmbeddedTilesetsAndLayersByPosition) {
    qmtest::TempDir dir;
    // An embedded tileset, layers named by Tiled's defaults, marks and events
    // placed by hand (off the grid lines, one as a tile object, one with a
    // text of several lines) and an object of the user's own.
    const std::string objects = R"( <objectgroup id="3" name="XO">
  <object id="1" x="42.5" y="3" width="30" height="30"/>
  <object id="2" name="X" gid="1" x="0" y="120" width="40" height="40"/>
 </objectgroup>
 <objectgroup id="4" name="eventos">
  <object id="3" name="Evento" x="80" y="0" width="40" height="40">
   <properties><property name="Evento" value="OnActionPress>ShowMessage:Caf&#233; &amp; p&#227;o&amp;"/></properties>
  </object>
  <object id="4" x="0" y="40" width="40" height="40">
   <properties><property name="Evento">AddChar:Zé|2</property></properties>
  </object>
  <object id="5" name="nota" x="0" y="0"/>
 </objectgroup>
)";
    std::string text = tmx3(kCsvFundo, kCsvTipo, objects).toStdString();
    text.replace(
        text.find(R"(<tileset firstgid="1" source="Tiles.tsx"/>)"), 42,
        R"(<tileset firstgid="1" name="Quillmark" tilewidth="40" tileheight="40" tilecount="144" columns="0"/>)");
    text.replace(text.find("name=\"Fundo\""), 12, "name=\"Tile Layer 1\"");
    text.replace(text.find("name=\"Tipo\""), 11, "name=\"Tile Layer 2\"");
    // The object without an event is the user's own: refused, or left out
    // when the user agrees.
    EXPECT_NE(errorOf([&] {
                  tiled::readTmx(QByteArray::fromStdString(text), dir.path(), "m.tmx");
              }).find("o objeto 5 da camada \"eventos\" (sem a propriedade \"Evento\")"),
              std::string::npos);
    tiled::ImportNotes notes;
    const MapGrid g =
        tiled::readTmx(QByteArray::fromStdString(text), dir.path(), "m.tmx", {std::nullopt, true}, &notes);
    EXPECT_EQ(notes.dropped,
              std::vector<std::string>{"o objeto 5 da camada \"eventos\" (sem a propriedade \"Evento\")"});
    EXPECT_EQ(g.tipo(2, 3), 191);
    EXPECT_EQ(g.fundo(3, 1), '2');
    EXPECT_EQ(g.xo(1, 2), 'X');
    EXPECT_EQ(g.xo(3, 1), 'X');
    EXPECT_EQ(g.xo(1, 1), 'O');
    EXPECT_EQ(g.evento(1, 3), "OnActionPress>ShowMessage:Caf\xE9 & p\xE3o&");
    EXPECT_EQ(g.evento(2, 1), "AddChar:Z\xE9|2");
    EXPECT_EQ(g.evento(1, 1), "");
}

// --- refusals ----------------------------------------------------------------------------------

TEST(TiledImport, BadFilesAreRefusedWithAClearMessageAndNothingChanges) {
    qmtest::ProjectFixture fixture;
    fixture.addMap("Vila.xml", richGrid(5));
    OpenProject p(fixture);
    p.ws.session().markModified();  // unsaved edits stay, unasked
    fixture.dir.write("Tiles.tsx", kTsx);
    QByteArray other = kTsx;
    other.replace("Quillmark", "Terreno");
    fixture.dir.write("Outro.tsx", other);

    const std::string good = tmx3(kCsvFundo, kCsvTipo).toStdString();
    auto with = [&](const std::string& from, const std::string& to) {
        std::string t = good;
        t.replace(t.find(from), from.size(), to);
        return QByteArray::fromStdString(t);
    };
    auto b64 = [](const char* compression, const char* payload) {
        return "<data encoding=\"base64\"" + std::string(compression) + ">" + payload + "</data>";
    };
    const struct {
        const char* what;
        QByteArray text;
        const char* message;
    } cases[] = {
        {"not xml", "PK\x03\x04 isto não é texto", "não é um mapa TMX válido"},
        {"not a map", "<?xml version=\"1.0\"?><tileset name=\"Quillmark\"/>", "não é um mapa do Tiled"},
        {"truncated", QByteArray::fromStdString(good.substr(0, good.size() / 2)), "não é um mapa TMX válido"},
        {"csv cut short", with("3,3,3\n", "3,3\n"), "8 células em vez de 9"},
        {"csv ending in a comma", with("3,3,3\n", "3,3,\n"), "terminam numa vírgula"},
        {"csv with letters", with("3,3,3\n", "3,x,3\n"), "caractere inválido 'x'"},
        {"broken base64", with(kCsvFundo, b64("", "AQAAAAEAA*AAAQAAAAIAAAACAAAAAgAAAAMAAAADAAAAAwAAAA==")),
         "base64 de a camada \"Fundo\" estão corrompidos"},
        {"base64 cut short", with(kCsvFundo, b64("", "AQAAAAEAAAABAAAAAgAAAAIAAAACAAAAAwAAAAMAAAA=")),
         "não têm uma célula para cada posição"},
        {"broken zlib", with(kCsvFundo, b64(" compression=\"zlib\"", "eJxjZGCfYIRiJiTMjIQBAUQAEw==")),
         "zlib da camada \"Fundo\" estão corrompidos"},
        {"truncated zlib", with(kCsvFundo, b64(" compression=\"zlib\"", "eJxjZGBgYIRiJiTMjA==")),
         "zlib da camada \"Fundo\" estão incompletos"},
        {"broken zstd", with(kCsvFundo, b64(" compression=\"zstd\"", "KLUv/SAkIQEA")), "zstd da camada \"Fundo\""},
        {"lzma", with(kCsvFundo, b64(" compression=\"lzma\"", "AAAA")), "compressão \"lzma\""},
        {"other tile size", with("tilewidth=\"40\" tileheight=\"40\"", "tilewidth=\"32\" tileheight=\"32\""),
         "32 x 32 pixels"},
        {"not square", with("width=\"3\" height=\"3\" tilewidth", "width=\"3\" height=\"4\" tilewidth"),
         "só mapas quadrados"},
        {"too large", with("width=\"3\" height=\"3\" tilewidth", "width=\"101\" height=\"101\" tilewidth"),
         "de 1 a 100"},
        {"isometric", with("orthogonal", "isometric"), "só mapas ortogonais"},
        {"infinite", with("infinite=\"0\"", "infinite=\"1\""), "infinito"},
        {"unknown tileset", with("Tiles.tsx", "Outro.tsx"), "usa um tile do conjunto \"Terreno\""},
        {"missing tileset", with("Tiles.tsx", "Sumiu.tsx"), "\"Sumiu.tsx\" não foi encontrado"},
        {"no tileset", with(R"(<tileset firstgid="1" source="Tiles.tsx"/>)", ""), "não existe no conjunto"},
        {"missing tile", with("0,0,144", "0,0,145"), "(linha 2, coluna 3) da camada \"Tipo\" usa o tile 145"},
        {"flipped tile", with("133,0,0", "2147483781,0,0"), "girado ou espelhado"},
        {"layer of another size", with("name=\"Tipo\" width=\"3\"", "name=\"Tipo\" width=\"4\""),
         "não tem o tamanho do mapa"},
        {"a third tile layer", with("</map>", "<layer id=\"9\" name=\"Nuvens\" width=\"3\" height=\"3\"/></map>"),
         "\"Nuvens\" não corresponde"},
        {"event outside the map",
         with("</map>", "<objectgroup name=\"Eventos\"><object id=\"7\" x=\"200\" y=\"0\"><properties><property "
                        "name=\"Evento\" value=\"x\"/></properties></object></objectgroup></map>"),
         "objeto 7 da camada \"Eventos\" está fora do mapa"},
        {"event beyond Windows-1252",
         with("</map>",
              "<objectgroup name=\"Eventos\"><object id=\"7\" x=\"0\" y=\"0\"><properties><property "
              "name=\"Evento\" value=\"ShowMessage:\xE2\x86\x92&amp;\"/></properties></object></objectgroup></map>"),
         "Windows-1252"},
    };

    const auto before = folderFiles(fixture.folder());
    const std::vector<unsigned char> tipoBefore = p.ws.session().grid().Tipo;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fixture.dir.write("in.tmx", c.text);
        const std::string error = errorOf([&] { p.ws.session().importMap(fixture.dir.file("in.tmx"), "Novo"); });
        EXPECT_NE(error.find("Não foi possível importar \"in.tmx\": "), std::string::npos) << error;
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
    }
    auto after = folderFiles(fixture.folder());
    after.erase("in.tmx");
    EXPECT_EQ(after, before);
    EXPECT_TRUE(p.prompts().asked().empty());  // no question, no save
    EXPECT_EQ(p.ws.session().currentMap(), "Vila.xml");
    EXPECT_EQ(p.ws.session().grid().Tipo, tipoBefore);
    EXPECT_TRUE(p.ws.session().modified());
    EXPECT_NE(errorOf([&] { p.ws.session().importMap(fixture.dir.file("nada.tmx"), "Novo"); }).find("nada.tmx"),
              std::string::npos);
}

TEST(TiledImport, NamesAreCheckedAsForANewMapAndTheSaveQuestionComesFirst) {
    qmtest::ProjectFixture fixture;
    fixture.dir.write("Tiles.tsx", kTsx);
    fixture.dir.write("in.tmx", tmx3(kCsvFundo, kCsvTipo));
    OpenProject p(fixture);
    ASSERT_TRUE(p.ws.session().newMap("Vila", kNewMapSize));
    const auto before = folderFiles(fixture.folder());

    p.prompts().clear();
    EXPECT_FALSE(p.ws.session().importMap(fixture.dir.file("in.tmx"), "vila"));
    EXPECT_FALSE(p.ws.session().importMap(fixture.dir.file("in.tmx"), "a/b"));
    EXPECT_EQ(p.prompts().messages(),
              QStringList({QString::fromUtf8(kMapAlreadyExists), QString::fromUtf8(kMapNameInvalid)}));
    EXPECT_EQ(p.prompts().asked()[0].title, "Atenção");

    // With unsaved changes: Cancel keeps everything, Yes saves first.
    p.ws.session().mapEditing().paint(EditLayer::Tipo, 1, 1, 'A');
    p.prompts().clear();
    p.prompts().answer(Answer::Cancel);
    EXPECT_FALSE(p.ws.session().importMap(fixture.dir.file("in.tmx"), "Ilha"));
    EXPECT_EQ(folderFiles(fixture.folder()), before);
    EXPECT_EQ(p.ws.session().currentMap(), "Vila.xml");

    p.prompts().answer(Answer::Yes);
    ASSERT_TRUE(p.ws.session().importMap(fixture.dir.file("in.tmx"), "Ilha"));
    EXPECT_EQ(p.prompts().messages(), QStringList({"Desejá Salvar as Alterações?", "Desejá Salvar as Alterações?"}));
    MapGrid saved;
    Abrir(saved, fixture.dir.file("Mapas/Vila.xml"));
    EXPECT_EQ(saved.tipo(1, 1), 'A');
    MapGrid imported;
    Abrir(imported, fixture.dir.file("Mapas/Ilha.xml"));
    expectFixtureCells(imported);
    expectFixtureCells(p.ws.session().grid());
    EXPECT_TRUE(fixture.dir.read("Aventura.qmk").contains("Mapas:Vila.xml%Ilha.xml%\r\nMapa Inicial:Vila.xml"));
}
