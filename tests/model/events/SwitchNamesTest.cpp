// The switch names table "Data\Interruptores.xml": names stored and read back
// from disk, checked before anything is written, written only when changed,
// and a broken table never written over.
#include "ProjectFixture.h"

#include "model/core/DataPacket.h"
#include "model/core/Error.h"
#include "model/events/SwitchNames.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace quillmark;

namespace {

QString tablePath(const qmtest::ProjectFixture& p) { return p.folder() + "Data/Interruptores.xml"; }

ino_t inode(const QString& path) {
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st.st_ino;
}

}  // namespace

TEST(SwitchNames, StoredNamesReadBackInNumberOrder) {
    qmtest::ProjectFixture p;
    EXPECT_TRUE(readSwitchNames(p.folder()).empty());  // no table: no names
    storeSwitchNames(p.folder(), {{100, "Fim do jogo"}, {7, "  Porta do castelo "}, {12, ""}, {1, "Ba\xFA aberto"}});
    const std::map<int, std::string> names = readSwitchNames(p.folder());
    const std::map<int, std::string> expected = {{1, "Ba\xFA aberto"}, {7, "Porta do castelo"}, {100, "Fim do jogo"}};
    EXPECT_EQ(names, expected);
    // the file: two fields, one record per named switch, in number order, the accent as UTF-8
    const datapacket::Contents c = datapacket::parse(p.dir.read("Data/Interruptores.xml").toStdString(), {});
    ASSERT_EQ(c.fields.size(), 2u);
    EXPECT_EQ(c.fields[0].name, "Numero");
    EXPECT_EQ(c.fields[0].kind, FieldKind::Integer);
    EXPECT_EQ(c.fields[1].name, "Nome");
    EXPECT_EQ(c.fields[1].width, 50);
    ASSERT_EQ(c.records.size(), 3u);
    EXPECT_EQ(c.records[0][0], "1");
    EXPECT_EQ(c.records[1][0], "7");
    EXPECT_EQ(c.records[2][1], "Fim do jogo");
    EXPECT_TRUE(p.dir.read("Data/Interruptores.xml").contains("Ba\xC3\xBA aberto"));

    EXPECT_EQ(switchCaption(7, names), "7 - Porta do castelo");
    EXPECT_EQ(switchCaption(8, names), "8");
}

TEST(SwitchNames, ABadNameOrNumberWritesNothing) {
    qmtest::ProjectFixture p;
    storeSwitchNames(p.folder(), {{3, "Alavanca"}});
    const QByteArray before = p.dir.read("Data/Interruptores.xml");
    EXPECT_THROW(storeSwitchNames(p.folder(), {{3, "Alavanca"}, {101, "Demais"}}), Error);
    EXPECT_THROW(storeSwitchNames(p.folder(), {{0, "Zero"}}), Error);
    EXPECT_THROW(storeSwitchNames(p.folder(), {{4, std::string(51, 'a')}}), Error);
    EXPECT_EQ(p.dir.read("Data/Interruptores.xml"), before);
    storeSwitchNames(p.folder(), {{4, std::string(50, 'a')}});  // 50 fits
    EXPECT_EQ(readSwitchNames(p.folder()).at(4), std::string(50, 'a'));
    EXPECT_EQ(readSwitchNames(p.folder()).count(3), 0u);  // the table holds what was given, no more
}

TEST(SwitchNames, UnchangedNamesWriteNothing) {
    qmtest::ProjectFixture p;
    storeSwitchNames(p.folder(), {});
    EXPECT_FALSE(QFile::exists(tablePath(p)));  // no name: no table made
    storeSwitchNames(p.folder(), {{5, "Ponte"}});
    const ino_t before = inode(tablePath(p));
    storeSwitchNames(p.folder(), {{5, "Ponte "}, {6, ""}});  // the same names, as typed
    EXPECT_EQ(inode(tablePath(p)), before);
    storeSwitchNames(p.folder(), {});  // every name cleared: the table is emptied, not left behind
    EXPECT_NE(inode(tablePath(p)), before);
    EXPECT_TRUE(readSwitchNames(p.folder()).empty());
}

TEST(SwitchNames, StoredRecordsOutsideTheRangeAreKeptForCheckAndIgnoredForNames) {
    qmtest::ProjectFixture p;
    p.dir.write("Data/Interruptores.xml",
                QByteArray::fromStdString(
                    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
                    "<FIELD attrname=\"Numero\" fieldtype=\"i4\"/><FIELD attrname=\"Nome\" fieldtype=\"string\" "
                    "WIDTH=\"50\"/></FIELDS><PARAMS/></METADATA><ROWDATA><ROW Numero=\"2\" Nome=\"Sino\"/>"
                    "<ROW Numero=\"150\" Nome=\"Longe\"/><ROW Numero=\"2\" Nome=\"Outro\"/></ROWDATA></DATAPACKET>"));
    const std::vector<SwitchNameRecord> records = readSwitchNameRecords(p.folder());
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[1].number, 150);
    EXPECT_EQ(readSwitchNames(p.folder()), (std::map<int, std::string>{{2, "Sino"}}));
}

TEST(SwitchNames, WithoutAProjectNothingIsReadOrWritten) {
    qmtest::TempDir here;
    const QString before = QDir::currentPath();
    QDir::setCurrent(here.path());  // a relative "Data\Interruptores.xml" would land here
    here.write("Data/Interruptores.xml", "<DATAPACKET>not ours");
    EXPECT_TRUE(readSwitchNames(QString()).empty());
    EXPECT_THROW(storeSwitchNames(QString(), {{1, "Porta"}}), Error);
    EXPECT_EQ(here.read("Data/Interruptores.xml"), "<DATAPACKET>not ours");
    QDir::setCurrent(before);
}

TEST(SwitchNames, ABrokenTableIsReportedAndNotOverwritten) {
    qmtest::ProjectFixture p;
    p.dir.write("Data/Interruptores.xml", "<DATAPACKET>broken");
    EXPECT_THROW(readSwitchNames(p.folder()), Error);
    EXPECT_THROW(storeSwitchNames(p.folder(), {{1, "Porta"}}), Error);
    EXPECT_EQ(p.dir.read("Data/Interruptores.xml"), "<DATAPACKET>broken");
}
