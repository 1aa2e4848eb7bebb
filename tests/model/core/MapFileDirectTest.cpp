// The map file is written and read straight from the grid. These tests hold it
// to the record table's own way of doing the same, byte for byte and error for
// error, on ordinary maps and on files an older or careless writer made.
#include "TempDir.h"
#include "model/core/DataPacket.h"
#include "model/core/Error.h"
#include "model/core/MapFile.h"
#include "model/core/MapGrid.h"
#include "model/core/RecordTable.h"

#include <QDir>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace quillmark;

namespace {

bool oddTransparency(unsigned char code) { return code % 3 == 1; }

// The rows put through the record table one by one, as a table-based save does.
std::string textThroughTable(const MapGrid& grid) {
    RecordTable table("Mapa");
    table.openFromText(kMapSkeleton);
    for (int r = 1; r <= grid.N; ++r)
        for (int c = 1; c <= grid.N; ++c) {
            table.insert();
            table.setInteger("Tamanho", grid.N);
            table.setString("Tipo", std::string(1, static_cast<char>(grid.tipo(r, c))));
            table.setString("XO", std::string(1, static_cast<char>(grid.xo(r, c))));
            table.setString("Fundo", std::string(1, static_cast<char>(grid.fundo(r, c))));
            table.setBoolean("Transparente", oddTransparency(grid.tipo(r, c)));
            const std::string& e = grid.evento(r, c);
            table.setString("Evento", e.empty() ? std::string("NULL") : e);
            table.post();
        }
    return datapacket::write(table.fields(), table.allRecords());
}

// A map read through the record table: N from the first row, the cells row by
// row, the last row repeated when the rows run out.
std::unique_ptr<MapGrid> gridThroughTable(const QString& path) {
    RecordTable table("Mapa");
    table.setFileName(path);
    table.open();
    auto g = std::make_unique<MapGrid>();
    g->N = table.isEmpty() ? 0 : table.asInteger("Tamanho");
    if (g->N < 0 || g->N > 100) throw Error("size");
    table.first();
    auto code = [](const std::string& v, unsigned char fallback) {
        return v.empty() ? fallback : static_cast<unsigned char>(v[0]);
    };
    for (int r = 1; r <= g->N; ++r)
        for (int c = 1; c <= g->N; ++c) {
            g->setTipo(r, c, code(table.asString("Tipo"), '0'));
            g->setXO(r, c, code(table.asString("XO"), 'O'));
            g->setFundo(r, c, code(table.asString("Fundo"), '0'));
            g->setEvento(r, c, table.asString("Evento"));
            table.next();
        }
    return g;
}

void expectSameGrid(const MapGrid& a, const MapGrid& b) {
    ASSERT_EQ(a.N, b.N);
    EXPECT_EQ(a.Tipo, b.Tipo);
    EXPECT_EQ(a.Fundo, b.Fundo);
    EXPECT_EQ(a.XO, b.XO);
    EXPECT_EQ(a.Evento, b.Evento);
}

// Every byte value in every code field (NUL only when asked: the file format
// cannot carry it back), and event texts with everything the writer must
// escape or convert.
std::unique_ptr<MapGrid> awkwardGrid(int n, bool withNul = false) {
    auto g = std::make_unique<MapGrid>();
    g->newGrid(n);
    g->CurrentMap = "Teste.xml";
    const std::vector<std::string> events = {
        "",
        "NULL",
        "OnActionPress;Msg(Olá, \"viajante\" & <amigo>)",
        "AddChar:Ana|1",
        std::string("linha 1\r\nlinha 2\ttab"),
        std::string("\x80\x81\x8d\x9f \xe9\xff ma\xe7\xe3"),  // CP1252 bytes, undefined ones included
        std::string("ctl \x01\x1f end"),
    };
    int k = 0;
    for (int r = 1; r <= n; ++r)
        for (int c = 1; c <= n; ++c, ++k) {
            const int low = withNul ? 0 : 1;
            g->setTipo(r, c, static_cast<unsigned char>(low + k % (256 - low)));
            g->setFundo(r, c, static_cast<unsigned char>(low + (k * 7 + 3) % (256 - low)));
            g->setXO(r, c, static_cast<unsigned char>(low + (k * 13 + 5) % (256 - low)));
            g->setEvento(r, c, events[static_cast<size_t>(k) % events.size()]);
        }
    return g;
}

}  // namespace

TEST(MapFileDirect, WritesTheSameBytesAsTheRecordTable) {
    for (int n : {0, 1, 3, 14, 17, 100}) {
        const auto g = awkwardGrid(n, true);
        EXPECT_EQ(mapFileText(*g, oddTransparency), textThroughTable(*g)) << "side " << n;
    }
}

TEST(MapFileDirect, SaveThenLoadGivesTheGridBackAndTheSameFileAgain) {
    qmtest::TempDir dir;
    const QString path = dir.file("Teste.xml");
    for (int n : {0, 1, 16, 100}) {
        const auto g = awkwardGrid(n);
        salvarEm(*g, path, oddTransparency);
        const QByteArray first = dir.read("Teste.xml");
        MapGrid loaded;
        Abrir(loaded, path);
        expectSameGrid(loaded, *gridThroughTable(path));
        salvarEm(loaded, path, oddTransparency);
        EXPECT_EQ(dir.read("Teste.xml"), first) << "side " << n;
    }
}

// Files that are valid but not as the editor writes them: each loads exactly
// as the record table reads it.
TEST(MapFileDirect, UnusualFilesLoadAsTheRecordTableReadsThem) {
    const std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
                             "<FIELD attrname=\"tipo\" fieldtype=\"string\" WIDTH=\"1\"/>"
                             "<FIELD attrname=\"FUNDO\" fieldtype=\"string.uni\" WIDTH=\"2\"/>"
                             "<FIELD attrname=\"Tamanho\" fieldtype=\"i2\"/>"
                             "<FIELD attrname=\"Xo\" fieldtype=\"string\" WIDTH=\"1\"/>"
                             "<FIELD attrname=\"Evento\" fieldtype=\"bin.hex\" SUBTYPE=\"WideText\"/>"
                             "<FIELD attrname=\"Transparente\" fieldtype=\"boolean\"/>"
                             "</FIELDS><PARAMS/></METADATA><ROWDATA>";
    const std::vector<std::string> bodies = {
        // attributes in another order, in other letter cases, with a row state
        "<ROW RowState=\"4\" XO=\"X\" Evento=\"a&#13;&#10;b\" tamanho=\" 2 \" FUNDO=\"ab\" TIPO=\"&#233;\"/>"
        "<ROW Tipo=\"\xc3\xa9\" Fundo=\"\" Tamanho=\"2\" Transparente=\"TRUE\"/>"
        "<ROW Tipo=\"\xe9\" Evento=\"raw \xe7\xe3o\"/>",
        // fewer rows than cells: the last one repeats
        "<ROW Tipo=\"A\" Tamanho=\"3\" XO=\"X\" Evento=\"E\"/><ROW Tipo=\"B\"/>",
        // more rows than cells: the extra ones are read but not used
        "<ROW Tipo=\"A\" Tamanho=\"1\"/><ROW Tipo=\"B\" Tamanho=\"77\"/><ROW Tipo=\"C\"/>",
        // no rows at all, and a first row without a size
        "",
        "<ROW Tipo=\"A\"/><ROW Tipo=\"B\" Tamanho=\"5\"/>",
        // a value that is not UTF-8 and one outside the code page
        "<ROW Tipo=\"\x80\" Tamanho=\"1\" Evento=\"\xe2\x82\xac \xf0\x9f\x98\x80\"/>",
    };
    qmtest::TempDir dir;
    for (const std::string& body : bodies) {
        dir.write("M.xml", QByteArray::fromStdString(head + body + "</ROWDATA></DATAPACKET>"));
        MapGrid loaded;
        Abrir(loaded, dir.file("M.xml"));
        expectSameGrid(loaded, *gridThroughTable(dir.file("M.xml")));
    }
}

// Broken files fail with the record table's own message and keep the grid.
TEST(MapFileDirect, BrokenFilesFailAsTheRecordTableDoesAndKeepTheGrid) {
    const std::string fields =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
        "<FIELD attrname=\"Tipo\" fieldtype=\"string\" WIDTH=\"1\"/>"
        "<FIELD attrname=\"Fundo\" fieldtype=\"string\" WIDTH=\"1\"/>"
        "<FIELD attrname=\"Tamanho\" fieldtype=\"i4\"/>"
        "<FIELD attrname=\"XO\" fieldtype=\"string\" WIDTH=\"1\"/>"
        "<FIELD attrname=\"Evento\" fieldtype=\"bin.hex\" SUBTYPE=\"Text\"/>"
        "</FIELDS><PARAMS/></METADATA><ROWDATA>";
    const std::vector<std::string> files = {
        fields + "<ROW Tipo=\"A\" Tamanho=\"1\"/><ROW Tipo=\"B\" Tamanho=\"x\"/></ROWDATA></DATAPACKET>",
        fields + "<ROW Tipo=\"AB\" Tamanho=\"1\"/></ROWDATA></DATAPACKET>",
        fields + "<ROW Tipo=\"A\" Tamanho=\"101\"/></ROWDATA></DATAPACKET>",
        fields + "<ROW Tipo=\"A\" Tamanho=\"-1\"/></ROWDATA></DATAPACKET>",
        fields + "<ROW Tipo=\"A\" Tamanho=\"1\"></ROWDATA></DATAPACKET>",
        "<DATAPACKET Version=\"2.0\"><METADATA><FIELDS><FIELD attrname=\"Tipo\" fieldtype=\"r8\"/>"
        "</FIELDS></METADATA><ROWDATA/></DATAPACKET>",
        "<DATAPACKET Version=\"2.0\"><METADATA><FIELDS><FIELD attrname=\"Tipo\" fieldtype=\"string\" WIDTH=\"1\"/>"
        "</FIELDS></METADATA><ROWDATA><ROW Tipo=\"A\"/></ROWDATA></DATAPACKET>",
        "<NOTAPACKET/>",
        "",
    };
    qmtest::TempDir dir;
    for (const std::string& text : files) {
        dir.write("M.xml", QByteArray::fromStdString(text));
        std::string expected;
        try {
            gridThroughTable(dir.file("M.xml"));
        } catch (const Error& e) {
            expected = e.what();
        }
        MapGrid held;
        held.newGrid(4);
        held.setTipo(2, 2, 'Q');
        try {
            Abrir(held, dir.file("M.xml"));
            ADD_FAILURE() << "loaded: " << text;
        } catch (const Error& e) {
            if (expected != "size") EXPECT_EQ(std::string(e.what()), expected) << text;
        }
        EXPECT_EQ(held.N, 4);
        EXPECT_EQ(held.tipo(2, 2), 'Q');
    }
    MapGrid held;
    EXPECT_THROW(Abrir(held, dir.file("Nenhum.xml")), Error);
}

// Files in the editor's own form whose values hold every kind of reference,
// and some that only look like it: each loads as the record table reads it.
TEST(MapFileDirect, EditorFormFilesWithReferencesLoadAsTheRecordTableReadsThem) {
    const std::string skeleton = kMapSkeleton;
    const std::string head = skeleton.substr(0, skeleton.find("</ROWDATA>"));
    auto row = [](const std::string& tipo, const std::string& evento, const std::string& size = "2") {
        return "<ROW Tipo=\"" + tipo + "\" Fundo=\"0\" Tamanho=\"" + size + "\" XO=\"O\" Evento=\"" + evento +
               "\" Transparente=\"FALSE\"/>";
    };
    const std::vector<std::string> bodies = {
        row("&#233;", "caf&#233; &#xE9; &#xe9; &amp; &lt;&gt; &quot;x&quot; &apos;y&apos;") +
            row("&amp;", "Msg(Oi)&amp;") + row("\xc3\xa9", "") + row("\xe9", "raw \xe7"),
        row("A", "upper &#X41; hex") + row("B", "x"),       // not a reference the parser knows
        row("A", "unknown &foo; entity") + row("B", "x"),   // kept as written
        row("A", "tab\there") + row("B", "line\r\nbreak"),  // raw whitespace becomes blanks
        row("A", "surrogate &#xD800; big &#x1F600;") + row("&#x1F600;", "x"),
        row("A", "zero &#0; end") + row("B", "x"),
        row("A", "x", " 2") + row("B", "y", "+2") + row("C", "z", "007"),
        row("A", "x", "3") + row("B", "y"),  // fewer rows than cells
        row("A", "x") + "\n",                // something after the packet
    };
    qmtest::TempDir dir;
    for (const std::string& body : bodies) {
        dir.write("M.xml", QByteArray::fromStdString(head + body + "</ROWDATA></DATAPACKET>"));
        std::unique_ptr<MapGrid> expected;
        try {
            expected = gridThroughTable(dir.file("M.xml"));
        } catch (const Error&) {
            MapGrid held;
            EXPECT_THROW(Abrir(held, dir.file("M.xml")), Error) << body;
            continue;
        }
        MapGrid loaded;
        Abrir(loaded, dir.file("M.xml"));
        expectSameGrid(loaded, *expected);
    }
}
