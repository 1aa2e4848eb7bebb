#include "model/core/MapFile.h"
#include "TempDir.h"
#include "model/core/DataPacket.h"
#include "model/core/Error.h"
#include "model/core/MapGrid.h"
#include "model/core/RecordTable.h"
#include "model/database/DataModule.h"
#include "model/database/MapSaving.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <sys/resource.h>

using namespace quillmark;

namespace {

// A project folder with "Mapas\" and a tiles table, and the data holder
// pointed at it.
struct Project {
    qmtest::TempDir dir;
    TDataModule1 data;
    explicit Project(const std::vector<Record>& tiles = {}) {
        QDir().mkpath(dir.file("Mapas"));
        put("Data/Itens.xml", itensSchema());
        put("Data/Magias.xml", magiasSchema());
        put("Data/Monstros.xml", monstrosSchema());
        put("Data/Personagem.xml", personagemSchema());
        put("Data/Tiles.xml", tilesSchema(), tiles);
        data.pointAtProject(dir.path());
    }
    void put(const QString& relative, const Schema& schema, const std::vector<Record>& records = {}) {
        dir.write(relative, QByteArray::fromStdString(datapacket::write(schema, records)));
    }
    std::string mapText(const QString& name) const { return dir.read("Mapas/" + name).toStdString(); }
    datapacket::Contents mapRows(const QString& name) const { return datapacket::parse(mapText(name), name); }
};

Record tile(const std::string& tipo, int cod, bool transparent) {
    return {tipo,         std::nullopt,        "T.bmp",
            std::nullopt, std::to_string(cod), std::string(transparent ? "TRUE" : "FALSE")};
}

Schema mapSchema() { return datapacket::parse(kMapSkeleton, {}).fields; }

// One map row: Tipo, Fundo, Tamanho, XO, Evento, Transparente.
Record row(const std::string& tipo, const std::string& fundo, int tamanho, const std::string& xo,
           const std::string& evento) {
    return {tipo, fundo, std::to_string(tamanho), xo, evento, std::string("FALSE")};
}

std::string field(const Record& r, int i) { return r[static_cast<size_t>(i)].value_or(""); }

void expectSameCells(const MapGrid& a, const MapGrid& b) {
    ASSERT_EQ(a.N, b.N);
    for (int r = 1; r <= a.N; ++r)
        for (int c = 1; c <= a.N; ++c) {
            EXPECT_EQ(a.tipo(r, c), b.tipo(r, c)) << r << "," << c;
            EXPECT_EQ(a.fundo(r, c), b.fundo(r, c)) << r << "," << c;
            EXPECT_EQ(a.xo(r, c), b.xo(r, c)) << r << "," << c;
            EXPECT_EQ(a.evento(r, c), b.evento(r, c)) << r << "," << c;
        }
}

// A grid already holding something, to see that a refused load keeps it.
std::unique_ptr<MapGrid> heldGrid() {
    auto g = std::make_unique<MapGrid>();
    g->newGrid(5);
    g->CurrentMap = "Velho.xml";
    g->setTipo(2, 3, 'Q');
    g->setEvento(5, 5, "OnActionPress;Msg(Oi)");
    return g;
}

}  // namespace

TEST(MapGrid, NewGridAndRowMajorAddressing) {
    auto g = std::make_unique<MapGrid>();
    g->setTipo(100, 100, 'Z');
    g->setEvento(3, 3, "AddChar(Ana)");
    g->newGrid(14);
    EXPECT_EQ(g->N, 14);
    for (int r = 1; r <= 14; ++r)
        for (int c = 1; c <= 14; ++c) {
            ASSERT_EQ(g->tipo(r, c), '0');
            ASSERT_EQ(g->fundo(r, c), '0');
            ASSERT_EQ(g->xo(r, c), 'O');
            ASSERT_TRUE(g->evento(r, c).empty());
        }
    EXPECT_EQ(g->tipo(100, 100), '0');  // nothing stale beyond the square either
    g->setFundo(2, 1, 'k');
    EXPECT_EQ(g->Fundo[100], 'k');
    EXPECT_EQ(MapGrid::index(14, 14), 13u * 100 + 13);
    EXPECT_THROW(MapGrid::index(0, 1), Error);
    EXPECT_THROW(MapGrid::index(1, 101), Error);
    EXPECT_THROW(g->newGrid(101), Error);
    EXPECT_EQ(g->N, 14);
    EXPECT_EQ(g->fundo(2, 1), 'k');
}

TEST(MapFileSave, EmptyMapFileIsTheSkeletonTextExactly) {
    Project p;
    auto g = std::make_unique<MapGrid>();
    g->newGrid(0);
    g->CurrentMap = "Vazio.xml";
    Salvar(*g, p.dir.path(), p.data);
    EXPECT_EQ(p.mapText("Vazio.xml"),
              "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?> <DATAPACKET Version=\"2.0\">"
              "<METADATA><FIELDS>"
              "<FIELD attrname=\"Tipo\" fieldtype=\"string\" WIDTH=\"1\"/>"
              "<FIELD attrname=\"Fundo\" fieldtype=\"string\" WIDTH=\"1\"/>"
              "<FIELD attrname=\"Tamanho\" fieldtype=\"i4\"/>"
              "<FIELD attrname=\"XO\" fieldtype=\"string\" WIDTH=\"1\"/>"
              "<FIELD attrname=\"Evento\" fieldtype=\"bin.hex\" SUBTYPE=\"Text\"/>"
              "<FIELD attrname=\"Transparente\" fieldtype=\"boolean\"/>"
              "</FIELDS><PARAMS/></METADATA><ROWDATA></ROWDATA></DATAPACKET>");
    EXPECT_EQ(p.mapText("Vazio.xml"), std::string(kMapSkeleton));
}

TEST(MapFileSave, OneRowPerCellRowByRow) {
    Project p({tile("A", 0, true)});
    auto g = std::make_unique<MapGrid>();
    g->newGrid(14);
    g->CurrentMap = "Vila.xml";
    g->setTipo(1, 1, 'A');
    g->setXO(1, 2, 'X');
    g->setTipo(2, 1, 'B');
    g->setFundo(2, 1, 'C');
    g->setEvento(2, 1, "OnPlayerTouch;Msg(Ol\xE1)");
    g->setTipo(14, 14, 'D');
    g->setEvento(3, 3, "NULL");
    Salvar(*g, p.dir.path(), p.data);

    const std::string text = p.mapText("Vila.xml");
    // the rows follow the six fields, in field order, nothing left out
    EXPECT_NE(text.find("<ROWDATA><ROW Tipo=\"A\" Fundo=\"0\" Tamanho=\"14\" XO=\"O\" Evento=\"NULL\" "
                        "Transparente=\"TRUE\"/><ROW Tipo=\"0\" Fundo=\"0\" Tamanho=\"14\" XO=\"X\" "
                        "Evento=\"NULL\" Transparente=\"FALSE\"/>"),
              std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 23), "</ROWDATA></DATAPACKET>");

    const auto file = p.mapRows("Vila.xml");
    ASSERT_EQ(file.records.size(), 196u);
    for (const Record& r : file.records) ASSERT_EQ(field(r, 2), "14");
    const Record& fifteenth = file.records[14];
    EXPECT_EQ(field(fifteenth, 0), "B");
    EXPECT_EQ(field(fifteenth, 1), "C");
    EXPECT_EQ(field(fifteenth, 4), "OnPlayerTouch;Msg(Ol\xE1)");
    EXPECT_EQ(field(file.records[2 * 14 + 2], 4), "NULL");  // (3, 3)
    EXPECT_EQ(field(file.records[195], 0), "D");
    EXPECT_EQ(field(file.records[195], 5), "FALSE");
}

TEST(MapFileSave, TransparencyFromTheFirstTileWithTheCellsCode) {
    Project p({tile("a", 0, true), tile("A", 1, false), tile("A", 2, true), tile("\xBF", 3, true)});
    auto g = std::make_unique<MapGrid>();
    g->newGrid(2);
    g->CurrentMap = "T.xml";
    g->setTipo(1, 1, 'A');  // first 'A' is opaque
    g->setTipo(1, 2, 'a');  // 'a' is a tile of its own
    g->setTipo(2, 1, 0xBF);
    g->setTipo(2, 2, 'z');  // no tile carries it
    // a filter someone left on the tiles table does not hide tiles from the save
    p.data.cdsTiles.setFilter("Cod = 2");
    p.data.cdsTiles.setFiltered(true);
    Salvar(*g, p.dir.path(), p.data);
    const auto file = p.mapRows("T.xml");
    ASSERT_EQ(file.records.size(), 4u);
    EXPECT_EQ(field(file.records[0], 5), "FALSE");
    EXPECT_EQ(field(file.records[1], 5), "TRUE");
    EXPECT_EQ(field(file.records[2], 5), "TRUE");
    EXPECT_EQ(field(file.records[3], 5), "FALSE");
    EXPECT_FALSE(p.data.cdsTiles.filtered());
    EXPECT_EQ(p.data.cdsTiles.recordCount(), 4);
}

TEST(MapFileRoundTrip, EveryTileCodeInBothLayersAndEveryText) {
    Project p;  // no tiles at all: the grid comes back the same whatever the tiles table says
    auto g = std::make_unique<MapGrid>();
    g->newGrid(12);  // 144 cells, one per code 48 … 191
    g->CurrentMap = "Cod\xF5"
                    "es.xml";
    for (int i = 0; i < 144; ++i) {
        const int r = i / 12 + 1, c = i % 12 + 1;
        g->setTipo(r, c, static_cast<unsigned char>(48 + i));
        g->setFundo(r, c, static_cast<unsigned char>(191 - i));
        g->setXO(r, c, i % 3 ? 'O' : 'X');
    }
    g->setEvento(1, 1, "AddChar(Jo\xE3o)");
    g->setEvento(4, 7, "OnActionPress;Msg(\"<a & b>\" \x80 \x81)");
    g->setEvento(12, 12, "NULL");
    Salvar(*g, p.dir.path(), p.data);
    // codes above 127 are stored as UTF-8 in the file
    EXPECT_NE(p.mapText("Cod\xC3\xB5"
                        "es.xml")
                  .find("Tipo=\"\xC2\xBF\""),
              std::string::npos);

    auto back = heldGrid();
    back->CurrentMap = "Mantido.xml";
    Abrir(*back, p.dir.file("Mapas/Cod\xC3\xB5"
                            "es.xml"));
    for (std::string& text : g->Evento)  // every empty text comes back as "NULL"
        if (text.empty()) text = "NULL";
    expectSameCells(*g, *back);
    EXPECT_EQ(back->CurrentMap, "Mantido.xml");  // naming the map is the caller's business
}

TEST(MapFileRoundTrip, FullSizeMap) {
    Project p;
    auto g = std::make_unique<MapGrid>();
    g->newGrid(100);
    g->CurrentMap = "Grande.xml";
    for (int r = 1; r <= 100; ++r)
        for (int c = 1; c <= 100; ++c) {
            g->setTipo(r, c, static_cast<unsigned char>(48 + (r * 7 + c) % 144));
            g->setEvento(r, c, (r + c) % 10 ? "NULL" : "OnPlayerTouch;Msg(" + std::to_string(r * c) + ")");
        }
    Salvar(*g, p.dir.path(), p.data);
    auto back = std::make_unique<MapGrid>();
    Abrir(*back, p.dir.file("Mapas/Grande.xml"));
    expectSameCells(*g, *back);
}

namespace {
// Writes a map file of the given rows and loads it into a grid that held something.
std::unique_ptr<MapGrid> loadRows(const std::vector<Record>& rows) {
    qmtest::TempDir dir;
    dir.write("m.xml", QByteArray::fromStdString(datapacket::write(mapSchema(), rows)));
    auto g = heldGrid();
    Abrir(*g, dir.file("m.xml"));
    return g;
}
}  // namespace

TEST(MapFileLoad, OnlyTheFirstNTimesNRowsAreRead) {
    std::vector<Record> rows;
    for (int i = 0; i < 16; ++i)
        rows.push_back(
            row(std::string(1, static_cast<char>('a' + i)), "1", i < 9 ? 3 : 4, "X", "E" + std::to_string(i)));
    auto g = loadRows(rows);
    EXPECT_EQ(g->N, 3);
    EXPECT_EQ(g->tipo(1, 1), 'a');
    EXPECT_EQ(g->tipo(2, 1), 'd');
    EXPECT_EQ(g->tipo(3, 3), 'i');
    EXPECT_EQ(g->evento(3, 3), "E8");
    EXPECT_EQ(g->xo(3, 3), 'X');
    EXPECT_EQ(g->fundo(3, 3), '1');
    EXPECT_EQ(g->tipo(2, 3), 'f');
    EXPECT_EQ(g->tipo(4, 1), '0');  // outside the square: a new map's values
    EXPECT_TRUE(g->evento(5, 5).empty());
}

TEST(MapFileLoad, RemainingCellsRepeatTheLastRowWhenRowsRunOut) {
    auto g = loadRows({row("a", "1", 3, "O", "NULL"), row("b", "2", 3, "O", "NULL"), row("c", "3", 3, "O", "NULL"),
                       row("d", "4", 3, "O", "NULL"), row("e", "5", 3, "X", "OnActionPress;Msg(fim)")});
    EXPECT_EQ(g->N, 3);
    EXPECT_EQ(g->tipo(2, 1), 'd');
    EXPECT_EQ(g->tipo(1, 1), 'a');
    EXPECT_EQ(g->evento(1, 1), "NULL");
    for (int i = 4; i < 9; ++i) {
        const int r = i / 3 + 1, c = i % 3 + 1;
        EXPECT_EQ(g->tipo(r, c), 'e');
        EXPECT_EQ(g->fundo(r, c), '5');
        EXPECT_EQ(g->xo(r, c), 'X');
        EXPECT_EQ(g->evento(r, c), "OnActionPress;Msg(fim)");
    }
}

TEST(MapFileLoad, TableWithoutRowsIsAnEmptyMap) {
    auto g = loadRows({});
    EXPECT_EQ(g->N, 0);
    EXPECT_EQ(g->tipo(2, 3), '0');  // what the grid held before is gone
    EXPECT_TRUE(g->evento(5, 5).empty());
    EXPECT_EQ(g->CurrentMap, "Velho.xml");
}

TEST(MapFileLoad, EmptyCodesLoadAsANewMapsValuesAndEventsAsStored) {
    auto g = loadRows(
        {{std::nullopt, std::nullopt, std::string("2"), std::nullopt, std::nullopt, std::nullopt},
         row("G", "H", 2, "X", "NULL"),
         row("I", "J", 2, "O", "AddChar(Ana)"),
         {std::string("K"), std::nullopt, std::string("2"), std::string("X"), std::string("x"), std::nullopt}});
    EXPECT_EQ(g->N, 2);
    EXPECT_EQ(g->tipo(1, 1), '0');
    EXPECT_EQ(g->fundo(1, 1), '0');
    EXPECT_EQ(g->xo(1, 1), 'O');
    EXPECT_EQ(g->evento(1, 1), "");
    EXPECT_EQ(g->evento(1, 2), "NULL");
    EXPECT_EQ(g->evento(2, 1), "AddChar(Ana)");
    EXPECT_EQ(g->tipo(2, 2), 'K');
    EXPECT_EQ(g->fundo(2, 2), '0');
}

TEST(MapFileLoad, SizeOutsideTheGridIsRefusedAndTheGridKept) {
    const auto before = heldGrid();
    for (int size : {101, -1}) {
        qmtest::TempDir dir;
        dir.write("m.xml", QByteArray::fromStdString(datapacket::write(mapSchema(), {row("A", "A", size, "X", "E")})));
        auto g = heldGrid();
        try {
            Abrir(*g, dir.file("m.xml"));
            FAIL() << "size " << size << " accepted";
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find(std::to_string(size)), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find("m.xml"), std::string::npos) << e.what();
        }
        expectSameCells(*before, *g);
        EXPECT_EQ(g->CurrentMap, "Velho.xml");
    }
}

TEST(MapFileLoad, MissingOrBrokenFileKeepsTheGrid) {
    qmtest::TempDir dir;
    const auto before = heldGrid();
    auto g = heldGrid();
    try {
        Abrir(*g, dir.file("nada.xml"));
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Missing data provider or data packet");
    }
    expectSameCells(*before, *g);
    dir.write("ruim.xml", "<DATAPACKET><METADATA><FIELDS>");
    EXPECT_THROW(Abrir(*g, dir.file("ruim.xml")), Error);
    expectSameCells(*before, *g);
}

TEST(MapFileSave, MissingMapsFolderReportsTheSystemErrorAndWritesNothing) {
    Project p;
    QDir(p.dir.file("Mapas")).removeRecursively();
    auto g = std::make_unique<MapGrid>();
    g->newGrid(14);
    g->CurrentMap = "Vila.xml";
    try {
        Salvar(*g, p.dir.path(), p.data);
        FAIL();
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("Vila.xml"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(p.dir.exists("Mapas"));
}

TEST(MapFileSave, FailedWriteLeavesThePreviousMapWhole) {
    Project p;
    auto g = std::make_unique<MapGrid>();
    g->newGrid(14);
    g->CurrentMap = "Vila.xml";
    g->setTipo(7, 7, 'W');
    Salvar(*g, p.dir.path(), p.data);
    const QByteArray old = p.dir.read("Mapas/Vila.xml");
    ASSERT_GT(old.size(), 4000);

    // The disk refuses everything past 4000 bytes while the new version is written.
    g->setTipo(7, 7, 'V');
    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit tight = saved;
    tight.rlim_cur = 4000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tight), 0);
    std::string message;
    try {
        Salvar(*g, p.dir.path(), p.data);
    } catch (const Error& e) {
        message = e.what();
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_NE(message.find("Vila.xml\". File too large"), std::string::npos) << message;
    EXPECT_EQ(p.dir.read("Mapas/Vila.xml"), old);
    EXPECT_EQ(QDir(p.dir.file("Mapas")).entryList(QDir::Files), QStringList{"Vila.xml"});
    auto back = std::make_unique<MapGrid>();
    Abrir(*back, p.dir.file("Mapas/Vila.xml"));
    EXPECT_EQ(back->tipo(7, 7), 'W');
}

TEST(MapFileSave, ExistingFileIsReplacedWhateverTheCaseOfItsName) {
    Project p;
    QDir(p.dir.path()).rename("Mapas", "mapas");
    p.dir.write("mapas/vila.XML", "old");
    auto g = std::make_unique<MapGrid>();
    g->newGrid(1);
    g->CurrentMap = "Vila.xml";
    Salvar(*g, p.dir.path(), p.data);
    EXPECT_EQ(QDir(p.dir.file("mapas")).entryList(QDir::Files), QStringList{"vila.XML"});
    EXPECT_EQ(datapacket::parse(p.dir.read("mapas/vila.XML").toStdString(), {}).records.size(), 1u);
}
