#include "model/core/RecordTable.h"
#include "TempDir.h"
#include "model/core/DataPacket.h"
#include "model/core/Error.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace quillmark;

namespace {

Schema tileLike() {
    return {{"Tipo", FieldKind::String, 1},
            {"File", FieldKind::String, 50},
            {"Cod", FieldKind::Integer, 0},
            {"Transparente", FieldKind::Boolean, 0},
            {"Evento", FieldKind::Memo, 0}};
}

// A table on a fresh file in a temporary folder.
struct TableOnFile {
    qmtest::TempDir dir;
    RecordTable table{"t"};
    explicit TableOnFile(const Schema& schema = tileLike()) {
        dir.write("t.xml", QByteArray::fromStdString(datapacket::emptyPacket(schema)));
        table.setFileName(dir.file("t.xml"));
        table.open();
    }
    void add(const std::string& tipo, const std::string& file, int cod, bool transparent = false) {
        table.insert();
        table.setString("Tipo", tipo);
        table.setString("File", file);
        table.setInteger("Cod", cod);
        table.setBoolean("Transparente", transparent);
        table.post();
    }
    void reopen() {
        table.close();
        table.open();
    }
};

}  // namespace

TEST(DataPacket, WritesTheExactFormAndReadsItBack) {
    Schema s = {{"Tipo", FieldKind::String, 1},
                {"Tamanho", FieldKind::Integer, 0},
                {"Evento", FieldKind::Memo, 0},
                {"Transparente", FieldKind::Boolean, 0}};
    std::vector<Record> rows = {{std::string("0"), std::string("14"), std::string("NULL"), std::string("FALSE")},
                                {std::string("\xBF"), std::nullopt, std::string("a\r\nb"), std::string("TRUE")}};
    std::string xml = datapacket::write(s, rows);
    EXPECT_EQ(xml, "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?> <DATAPACKET Version=\"2.0\">"
                   "<METADATA><FIELDS><FIELD attrname=\"Tipo\" fieldtype=\"string\" WIDTH=\"1\"/>"
                   "<FIELD attrname=\"Tamanho\" fieldtype=\"i4\"/>"
                   "<FIELD attrname=\"Evento\" fieldtype=\"bin.hex\" SUBTYPE=\"Text\"/>"
                   "<FIELD attrname=\"Transparente\" fieldtype=\"boolean\"/>"
                   "</FIELDS><PARAMS/></METADATA><ROWDATA>"
                   "<ROW Tipo=\"0\" Tamanho=\"14\" Evento=\"NULL\" Transparente=\"FALSE\"/>"
                   "<ROW Tipo=\"\xC2\xBF\" Evento=\"a&#13;&#10;b\" Transparente=\"TRUE\"/>"
                   "</ROWDATA></DATAPACKET>");
    datapacket::Contents c = datapacket::parse(xml, "x.xml");
    ASSERT_EQ(c.fields.size(), 4u);
    EXPECT_EQ(c.fields[1].kind, FieldKind::Integer);
    EXPECT_EQ(c.fields[2].kind, FieldKind::Memo);
    ASSERT_EQ(c.records.size(), 2u);
    EXPECT_EQ(*c.records[1][0], "\xBF");
    EXPECT_FALSE(c.records[1][1].has_value());
    EXPECT_EQ(*c.records[1][2], "a\r\nb");
}

TEST(DataPacket, ReadsOlderFilesCharacterReferencesAndRawBytes) {
    std::string xml =
        "<?xml version=\"1.0\" standalone=\"yes\"?><DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
        "<FIELD attrname=\"Descri\xE7\xE3o\" fieldtype=\"string\" WIDTH=\"20\"/>"
        "<FIELD attrname=\"Nome\" fieldtype=\"string\" WIDTH=\"20\"/></FIELDS><PARAMS/></METADATA>"
        "<ROWDATA><ROW RowState=\"4\" Descri\xE7\xE3o=\"Espa\xE7o\" Nome=\"Jos&#233;\"/></ROWDATA></DATAPACKET>";
    datapacket::Contents c = datapacket::parse(xml, "old.xml");
    EXPECT_EQ(c.fields[0].name, "Descri\xE7\xE3o");
    EXPECT_EQ(*c.records[0][0], "Espa\xE7o");
    EXPECT_EQ(*c.records[0][1], "Jos\xE9");
}

TEST(DataPacket, BadInputGivesClearErrorsNamingTheFile) {
    auto message = [](const std::string& xml) {
        try {
            datapacket::parse(xml, "/p/Data/Tiles.xml");
        } catch (const Error& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    std::string fields = "<METADATA><FIELDS><FIELD attrname=\"Cod\" fieldtype=\"i4\"/>"
                         "<FIELD attrname=\"T\" fieldtype=\"string\" WIDTH=\"1\"/></FIELDS></METADATA>";
    EXPECT_NE(
        message("<DATAPACKET><METADATA>\n<FIELDS></METADATA>").find("/p/Data/Tiles.xml: invalid data packet at line 2"),
        std::string::npos);
    EXPECT_NE(message("<OTHER/>").find("no DATAPACKET"), std::string::npos);
    EXPECT_NE(message("<DATAPACKET/>").find("without METADATA"), std::string::npos);
    EXPECT_NE(
        message(
            "<DATAPACKET><METADATA><FIELDS><FIELD attrname=\"X\" fieldtype=\"r8\"/></FIELDS></METADATA></DATAPACKET>")
            .find("unknown fieldtype \"r8\""),
        std::string::npos);
    EXPECT_NE(message("<DATAPACKET>" + fields + "<ROWDATA><ROW Cod=\"12a\"/></ROWDATA></DATAPACKET>")
                  .find("'12a' is not a valid integer value"),
              std::string::npos);
    EXPECT_NE(
        message("<DATAPACKET>" + fields + "<ROWDATA><ROW T=\"ab\"/></ROWDATA></DATAPACKET>").find("longer than 1"),
        std::string::npos);
}

TEST(RecordTable, ATableThatIsAFolderIsNamedInTheError) {
    qmtest::TempDir dir;
    QDir().mkpath(dir.file("Data/Tiles.xml"));
    RecordTable t;
    t.setFileName(dir.file("Data/Tiles.xml"));
    try {
        t.open();
        FAIL();
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find(dir.file("Data/Tiles.xml").toStdString()), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("pasta"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(t.active());
}

TEST(RecordTable, OpeningAMissingFileFailsAndLeavesTheTableClosed) {
    qmtest::TempDir dir;
    RecordTable t;
    t.setFileName(dir.file("nothing.xml"));
    try {
        t.open();
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Missing data provider or data packet");
    }
    EXPECT_FALSE(t.active());
}

TEST(RecordTable, ABrokenFileIsReportedAndLeftUntouched) {
    qmtest::TempDir dir;
    dir.write("t.xml", "<DATAPACKET><METADATA>");
    RecordTable t;
    t.setFileName(dir.file("t.xml"));
    EXPECT_THROW(t.open(), Error);
    EXPECT_FALSE(t.active());
    t.close();
    EXPECT_EQ(dir.read("t.xml"), "<DATAPACKET><METADATA>");
}

TEST(RecordTable, RecordsComeBackInTheOrderAddedAndUnsetFieldsReadEmpty) {
    TableOnFile f;
    for (int i = 0; i < 20; ++i) f.add(std::string(1, static_cast<char>('0' + i)), "f" + std::to_string(i), i);
    f.table.insert();
    f.table.setString("Tipo", "z");
    f.table.post();
    f.reopen();
    ASSERT_EQ(f.table.recordCount(), 21);
    EXPECT_EQ(f.table.recNo(), 1);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(f.table.asInteger("cod"), i);  // names without regard to case
        f.table.next();
    }
    EXPECT_EQ(f.table.asString("Tipo"), "z");
    EXPECT_EQ(f.table.asString("File"), "");
    EXPECT_EQ(f.table.asInteger("Cod"), 0);
    EXPECT_FALSE(f.table.asBoolean("Transparente"));
    f.table.next();  // on the last record it stays there
    EXPECT_TRUE(f.table.eof());
    EXPECT_EQ(f.table.asString("Tipo"), "z");
}

TEST(RecordTable, EngineMessagesAndFieldWidths) {
    TableOnFile f;
    try {
        f.table.post();
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Dataset not in edit or insert mode");
    }
    EXPECT_THROW(f.table.setString("Tipo", "A"), Error);
    EXPECT_THROW(f.table.asString("Nope"), Error);
    f.table.edit();  // on an empty table edit inserts
    EXPECT_EQ(f.table.state(), RecordTable::State::Insert);
    f.table.setString("Tipo", "ABC");
    f.table.setString("Evento", "line1\r\nline2");
    f.table.post();
    EXPECT_EQ(f.table.asString("Tipo"), "A");
    f.reopen();
    EXPECT_EQ(f.table.asString("Evento"), "line1\r\nline2");
}

TEST(RecordTable, FilterMovesToTheFirstMatchAndOffToTheFirstRecord) {
    TableOnFile f;
    f.add("a", "x.bmp", 1);
    f.add("A", "y.bmp", 2);
    f.add("A", "z.bmp", 3);
    f.table.last();
    f.table.setFilter("Tipo = 'A'");
    f.table.setFiltered(true);
    EXPECT_EQ(f.table.recordCount(), 2);
    EXPECT_EQ(f.table.asString("File"), "y.bmp");  // case-sensitive match
    f.table.setFilter("Cod = 3");
    EXPECT_EQ(f.table.asString("File"), "z.bmp");
    f.table.setFilter("File = 'nothing'");
    EXPECT_TRUE(f.table.isEmpty());
    EXPECT_EQ(f.table.asString("File"), "");
    f.table.setFiltered(false);
    EXPECT_EQ(f.table.recordCount(), 3);
    EXPECT_EQ(f.table.asString("File"), "x.bmp");
}

TEST(RecordTable, MovingCommitsAChangedEditAndDropsAnUnchangedOne) {
    TableOnFile f;
    f.add("a", "x.bmp", 1);
    f.add("b", "y.bmp", 2);
    f.reopen();
    f.table.edit();
    f.table.setString("File", "changed.bmp");
    f.table.next();  // commits
    EXPECT_EQ(f.table.state(), RecordTable::State::Browse);
    f.table.first();
    EXPECT_EQ(f.table.asString("File"), "changed.bmp");
    f.table.insert();  // nothing set: dropped by moving
    f.table.first();
    EXPECT_EQ(f.table.recordCount(), 2);
    f.table.edit();
    f.table.setString("File", "lost.bmp");
    f.table.cancel();
    EXPECT_EQ(f.table.asString("File"), "changed.bmp");
}

TEST(RecordTable, CloseWritesOnlyAChangedTableAndDropsAPendingEdit) {
    TableOnFile f;
    f.add("a", "x.bmp", 1);
    f.table.close();
    QByteArray written = f.dir.read("t.xml");
    EXPECT_TRUE(written.contains("x.bmp"));
    // unchanged: the file is left alone, byte for byte
    f.dir.write("t.xml", written + "\n<!-- kept -->");
    f.table.open();
    f.table.first();
    f.table.close();
    EXPECT_TRUE(f.dir.read("t.xml").endsWith("<!-- kept -->"));
    // a pending edit is dropped
    f.table.open();
    f.table.edit();
    f.table.setString("File", "pending.bmp");
    f.table.close();
    EXPECT_FALSE(f.dir.read("t.xml").contains("pending.bmp"));
}

TEST(RecordTable, StepsRunAfterOpenInsertPostAndDelete) {
    TableOnFile f;
    std::string log;
    f.table.afterOpen = [&](RecordTable&) { log += "open;"; };
    f.table.afterInsert = [&](RecordTable& t) {
        log += "insert;";
        t.setString("File", "default.bmp");
    };
    f.table.afterPost = [&](RecordTable&) { log += "post;"; };
    f.table.afterDelete = [&](RecordTable&) { log += "delete;"; };
    f.reopen();
    f.table.insert();
    f.table.first();  // the defaults count as a change: committed
    EXPECT_EQ(f.table.asString("File"), "default.bmp");
    f.table.remove();
    EXPECT_EQ(log, "open;insert;post;delete;");
    EXPECT_TRUE(f.table.isEmpty());
}

namespace {
std::vector<int> codsInView(RecordTable& t) {
    std::vector<int> cods;
    if (t.isEmpty()) return cods;
    t.first();
    while (!t.eof()) {
        cods.push_back(t.asInteger("Cod"));
        t.next();
    }
    return cods;
}
}  // namespace

TEST(RecordTable, MovingToARecordNumberSetsTheFirstAndLastFlags) {
    TableOnFile f;
    for (int i = 1; i <= 4; ++i) f.add("A", "f", i);
    f.table.setRecNo(3);
    EXPECT_EQ(f.table.recNo(), 3);
    EXPECT_EQ(f.table.asInteger("Cod"), 3);
    EXPECT_FALSE(f.table.bof());
    EXPECT_FALSE(f.table.eof());
    f.table.setRecNo(1);
    EXPECT_TRUE(f.table.bof());
    EXPECT_FALSE(f.table.eof());
    // the last record by number is not the end yet: a walk from here still reads it
    f.table.setRecNo(4);
    EXPECT_FALSE(f.table.bof());
    EXPECT_FALSE(f.table.eof());
    EXPECT_EQ(f.table.asInteger("Cod"), 4);
    f.table.next();
    EXPECT_TRUE(f.table.eof());
    EXPECT_EQ(f.table.asInteger("Cod"), 4);
    // a number outside the records leaves the cursor where it was
    f.table.setRecNo(2);
    f.table.setRecNo(9);
    EXPECT_EQ(f.table.recNo(), 2);
    f.table.setRecNo(0);
    EXPECT_EQ(f.table.recNo(), 2);
}

TEST(RecordTable, DeletingTheLastRecordLeavesTheCursorOnTheNewLast) {
    TableOnFile f;
    for (int i = 1; i <= 3; ++i) f.add("A", "f", i);
    f.table.last();
    f.table.remove();
    EXPECT_EQ(f.table.recordCount(), 2);
    EXPECT_EQ(f.table.recNo(), 2);
    EXPECT_EQ(f.table.asInteger("Cod"), 2);
    f.table.remove();
    f.table.remove();
    EXPECT_TRUE(f.table.isEmpty());
    EXPECT_EQ(f.table.recNo(), 0);
    EXPECT_TRUE(f.table.eof());
    EXPECT_EQ(f.table.asString("Cod"), "");  // nothing past the end is read
    EXPECT_THROW(f.table.remove(), Error);
    // a delete in the middle keeps the position on the record that followed
    for (int i = 1; i <= 3; ++i) f.add("A", "f", i);
    f.table.setRecNo(2);
    f.table.remove();
    EXPECT_EQ(f.table.asInteger("Cod"), 3);
}

TEST(RecordTable, AnEditUnderAFilterIsStoredAndTheViewFollowsIt) {
    TableOnFile f;
    f.add("A", "a1", 1);
    f.add("B", "b1", 2);
    f.add("A", "a2", 3);
    f.add("A", "a3", 4);
    f.table.setFilter("Tipo = 'A'");
    f.table.setFiltered(true);
    EXPECT_EQ(codsInView(f.table), (std::vector<int>{1, 3, 4}));
    // an edit that keeps the record in the filter stays on it
    f.table.setRecNo(2);
    f.table.edit();
    f.table.setString("File", "changed");
    f.table.post();
    EXPECT_EQ(f.table.asString("File"), "changed");
    EXPECT_EQ(f.table.asInteger("Cod"), 3);
    // an edit that takes the record out of the filter leaves the view without it
    f.table.edit();
    f.table.setString("Tipo", "B");
    f.table.post();
    EXPECT_EQ(f.table.recordCount(), 2);
    EXPECT_EQ(codsInView(f.table), (std::vector<int>{1, 4}));
    f.table.setFiltered(false);
    EXPECT_EQ(codsInView(f.table), (std::vector<int>{1, 2, 3, 4}));
    f.table.setRecNo(3);
    EXPECT_EQ(f.table.asString("Tipo"), "B");
    EXPECT_EQ(f.table.asString("File"), "changed");
    // and it reaches the file
    f.reopen();
    f.table.setRecNo(3);
    EXPECT_EQ(f.table.asString("File"), "changed");
}

TEST(RecordTable, ObserversHearEveryChangeAndCanLeave) {
    TableOnFile f;
    std::vector<TableChange> heard;
    const int id = f.table.addObserver([&](RecordTable&, TableChange c) { heard.push_back(c); });
    f.add("A", "a", 1);
    EXPECT_EQ(heard,
              (std::vector<TableChange>{TableChange::StateChanged, TableChange::FieldChanged, TableChange::FieldChanged,
                                        TableChange::FieldChanged, TableChange::FieldChanged, TableChange::Posted}));
    heard.clear();
    f.table.first();
    f.table.edit();
    f.table.cancel();
    f.table.remove();
    f.table.close();
    EXPECT_EQ(heard, (std::vector<TableChange>{TableChange::Scrolled, TableChange::StateChanged,
                                               TableChange::StateChanged, TableChange::Deleted, TableChange::Closed}));
    f.table.removeObserver(id);
    heard.clear();
    f.table.open();
    EXPECT_TRUE(heard.empty());
    // an observer that removes another while told keeps it from being called
    int second = 0, secondId = 0;
    f.table.addObserver([&](RecordTable& t, TableChange) { t.removeObserver(secondId); });
    secondId = f.table.addObserver([&](RecordTable&, TableChange) { ++second; });
    f.table.first();
    EXPECT_EQ(second, 0);
}

TEST(RecordTable, ReloadDropsUnwrittenChangesAndKeepsTheTableOnABadFile) {
    TableOnFile f;
    f.add("A", "a", 1);
    f.reopen();
    f.add("B", "b", 2);
    f.table.first();
    f.table.edit();
    f.table.setString("File", "typed");
    EXPECT_TRUE(f.table.modified());
    f.table.reload();
    EXPECT_EQ(f.table.state(), RecordTable::State::Browse);
    EXPECT_FALSE(f.table.changedSinceOpen());
    EXPECT_EQ(codsInView(f.table), (std::vector<int>{1}));
    EXPECT_EQ(f.table.asString("File"), "a");
    f.add("C", "c", 3);
    f.dir.write("t.xml", "not a data packet");
    EXPECT_THROW(f.table.reload(), Error);
    EXPECT_EQ(codsInView(f.table), (std::vector<int>{1, 3}));
    EXPECT_EQ(f.table.values("File"), (std::vector<std::string>{"a", "c"}));
}
