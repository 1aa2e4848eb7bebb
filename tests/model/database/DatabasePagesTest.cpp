// The database window's page steps that need no widgets: the "Game" page's
// closing, the arrows, record lists, record folders, and
// the monsters table's leave and entry steps, checked on files in a project.
#include "model/database/DatabasePages.h"
#include "ProjectFixture.h"
#include "model/core/DataPacket.h"
#include "model/core/Error.h"
#include "model/core/Names.h"
#include "model/core/Paths.h"
#include "model/database/DataModule.h"

#include <QDir>
#include <QImage>
#include <gtest/gtest.h>

using namespace quillmark;

namespace {

struct OpenProject {
    qmtest::ProjectFixture fixture;
    ProjectState state;
    TDataModule1 dm;
    OpenProject() {
        readProjectFile(fixture.projectFile(), state);
        dm.pointAtProject(state.ProjectFolder);
    }
    QString folder() const { return state.ProjectFolder; }
    std::vector<Record> monstersOnDisk() const {
        return datapacket::parse(fixture.dir.read("Data/Monstros.xml").toStdString(), {}).records;
    }
    QStringList imagens() const { return QDir(folder() + "Imagens").entryList(QDir::Dirs | QDir::NoDotAndDotDot); }
    void addMonster(const std::string& name, int hp) {
        dm.cdsMonstros.insert();
        dm.cdsMonstros.setString("Nome", name);
        dm.cdsMonstros.setInteger("HP", hp);
        dm.cdsMonstros.post();
    }
};

QList<QByteArray> linesOf(const QByteArray& bytes) { return bytes.split('\n'); }

}  // namespace

TEST(GamePage, ClosingWithANewNameRewritesOnlyTheFirstLine) {
    OpenProject p;
    p.fixture.maps = {"Vila.xml", "Floresta.xml"};
    p.fixture.writeProjectFile();
    readProjectFile(p.fixture.projectFile(), p.state);
    const QByteArray before = p.fixture.dir.read("Aventura.qmk");

    GameEntries e = gameEntriesFrom(p.state);
    EXPECT_EQ(e.nome, "Aventura");
    EXPECT_EQ(e.x, "200");
    EXPECT_EQ(e.y, "190");
    e.nome = "Aventura Nova \xE9";  // é in CP1252
    takeGameEntries(p.state, e);

    const QByteArray after = p.fixture.dir.read("Aventura.qmk");
    const QList<QByteArray> a = linesOf(after), b = linesOf(before);
    ASSERT_EQ(a.size(), b.size());
    EXPECT_EQ(a[0], QByteArray("Project Name:Aventura Nova \xE9\r"));
    for (int i = 1; i < a.size(); ++i) EXPECT_EQ(a[i], b[i]) << i;
    EXPECT_TRUE(after.endsWith("\r\n"));
}

TEST(GamePage, ABadPositionChangesNothingAndWritesNothing) {
    OpenProject p;
    const QByteArray before = p.fixture.dir.read("Aventura.qmk");
    for (auto [x, y] :
         {std::pair<std::string, std::string>{"12", "abc"}, {"1x", "5"}, {"", "5"}, {"7", "99999999999"}}) {
        SCOPED_TRACE(x + "/" + y);
        GameEntries e = gameEntriesFrom(p.state);
        e.nome = "Outro";
        e.x = x;
        e.y = y;
        try {
            takeGameEntries(p.state, e);
            FAIL();
        } catch (const Error& err) {
            const std::string bad = (x == "12" || x == "7") ? y : x;
            EXPECT_EQ(std::string(err.what()), "'" + bad + "' is not a valid integer value");
        }
        EXPECT_EQ(p.state.CharX, 200);
        EXPECT_EQ(p.state.CharY, 190);
        EXPECT_EQ(p.state.ProjectName, "Aventura");
        EXPECT_EQ(p.fixture.dir.read("Aventura.qmk"), before);
    }
    GameEntries e = gameEntriesFrom(p.state);
    e.x = " -3 ";
    e.y = "+40";
    takeGameEntries(p.state, e);
    EXPECT_EQ(p.state.CharX, -3);
    EXPECT_EQ(p.state.CharY, 40);
    EXPECT_TRUE(p.fixture.dir.read("Aventura.qmk").endsWith("Char X:-3\r\nChar Y:40\r\n"));
}

TEST(Arrows, AddOrSubtractOneWithoutBounds) {
    EXPECT_EQ(stepIntegerText("10", +1), "11");
    EXPECT_EQ(stepIntegerText("10", -1), "9");
    EXPECT_EQ(stepIntegerText("0", -1), "-1");
    EXPECT_EQ(stepIntegerText("-1", +1), "0");
    for (const char* bad : {"", "abc", "1.5", "- 1"}) {
        try {
            stepIntegerText(bad, 1);
            FAIL() << bad;
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()), std::string("'") + bad + "' is not a valid integer value");
        }
    }
    EXPECT_THROW(stepIntegerText("2147483647", +1), Error);  // never wraps round
    EXPECT_EQ(stepIntegerText("2147483647", -1), "2147483646");
}

TEST(RecordLists, EveryNameOnceInTableOrderAndTheFirstRecordCurrent) {
    OpenProject p;
    for (const char* n : {"Lobo", "Slime", "Morcego", "Slime"}) p.addMonster(n, 5);
    p.dm.cdsMonstros.setRecNo(3);
    p.dm.cdsMonstros.remove();  // "Morcego"
    const std::vector<std::string> names = rebuildRecordList(p.dm.cdsMonstros);
    EXPECT_EQ(names, (std::vector<std::string>{"Lobo", "Slime", "Slime"}));
    EXPECT_EQ(p.dm.cdsMonstros.recNo(), 1);
    // the first of two equal names is selected; an unknown one ends on the last record
    p.dm.cdsMonstros.setRecNo(3);
    p.dm.cdsMonstros.edit();
    p.dm.cdsMonstros.setInteger("HP", 99);
    EXPECT_TRUE(selectRecordByName(p.dm.cdsMonstros, "Slime"));
    EXPECT_EQ(p.dm.cdsMonstros.recNo(), 2);
    EXPECT_EQ(p.dm.cdsMonstros.asInteger("HP"), 5);
    p.dm.cdsMonstros.setRecNo(3);
    EXPECT_EQ(p.dm.cdsMonstros.asInteger("HP"), 99);  // the pending edit was committed on the way
    EXPECT_FALSE(selectRecordByName(p.dm.cdsMonstros, "slime"));
    EXPECT_EQ(p.dm.cdsMonstros.recNo(), 3);
}

TEST(InimigosPage, LeavingWritesTheTableAndEnteringReadsItBack) {
    OpenProject p;
    const QByteArray untouched = p.fixture.dir.read("Data/Monstros.xml");
    monstersLeft(p.dm.cdsMonstros);  // nothing changed: the file stays as it was
    EXPECT_EQ(p.fixture.dir.read("Data/Monstros.xml"), untouched);
    monstersEntered(p.dm.cdsMonstros, p.folder());
    p.addMonster("Lobo", 30);
    p.dm.cdsMonstros.first();
    p.dm.cdsMonstros.edit();
    p.dm.cdsMonstros.setInteger("HP", 31);  // a pending edit, committed by the leave step
    monstersLeft(p.dm.cdsMonstros);
    ASSERT_EQ(p.monstersOnDisk().size(), 1u);
    // someone else changes the file: entering again reads what is on disk
    Record r(monstrosSchema().size());
    r[0] = "Orc";
    auto records = p.monstersOnDisk();
    records.push_back(r);
    p.fixture.dir.write("Data/Monstros.xml", QByteArray::fromStdString(datapacket::write(monstrosSchema(), records)));
    monstersEntered(p.dm.cdsMonstros, p.folder());
    EXPECT_EQ(rebuildRecordList(p.dm.cdsMonstros), (std::vector<std::string>{"Lobo", "Orc"}));
    EXPECT_EQ(p.dm.cdsMonstros.asInteger("HP"), 31);
    monstersEntered(p.dm.cdsMonstros, p.folder());  // open already: nothing happens
    EXPECT_EQ(p.dm.cdsMonstros.recordCount(), 2);
}

TEST(RecordPictures, WrittenIntoAnExistingRecordFolderOnly) {
    OpenProject p;
    Picture red(QImage(8, 8, QImage::Format_RGB32));
    red.setImage([] {
        QImage i(8, 8, QImage::Format_RGB32);
        i.fill(Qt::red);
        return i;
    }());
    try {
        writeRecordPicture(red, p.folder(), "Espada", "ItImage.bmp", kItem);
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Cannot create file \"", 0), 0u) << e.what();
    }
    EXPECT_FALSE(p.imagens().contains("Espada"));
    makeRecordFolder(p.folder(), "Espada", kItem);
    writeRecordPicture(red, p.folder(), "espada", "ItImage.bmp", kItem);  // found without regard to case
    const QImage back(p.folder() + "Imagens/Espada/ItImage.bmp");
    ASSERT_FALSE(back.isNull());
    EXPECT_EQ(back.pixel(3, 3), QColor(Qt::red).rgb());
    EXPECT_THROW(writeRecordPicture(red, p.folder(), "Espada", "../fora.bmp", kItem), Error);
    EXPECT_FALSE(QFile::exists(p.folder() + "Imagens/fora.bmp"));
    // shown pictures fall back to the placeholder, spelled in any case
    EXPECT_EQ(shownPicturePath(p.folder(), "Espada", "ItImage.bmp"), p.folder() + "Imagens/Espada/ItImage.bmp");
    EXPECT_EQ(fileNameOf(shownPicturePath(p.folder(), "Espada", "Nada.bmp")).toLower(), "null.bmp");
    EXPECT_EQ(fileNameOf(shownPicturePath(p.folder(), "../x", "ItImage.bmp")).toLower(), "null.bmp");
}

TEST(HeroPage, EntryEditsLeaveCommitsAndClosingCommitsOnlyAnEdit) {
    OpenProject p;
    RecordTable& hero = p.dm.cdsPersonagem;
    heroEntered(hero);
    EXPECT_EQ(hero.state(), RecordTable::State::Edit);
    hero.setString("Nome", "Lia");
    heroOnClose(hero);
    EXPECT_EQ(hero.state(), RecordTable::State::Browse);
    EXPECT_EQ(hero.asString("Nome"), "Lia");
    heroLeft(hero);  // nothing to commit, no error
    // an empty hero table: entry inserts, closing leaves the insert, leaving commits it
    hero.remove();
    heroEntered(hero);
    EXPECT_EQ(hero.state(), RecordTable::State::Insert);
    heroOnClose(hero);
    EXPECT_EQ(hero.state(), RecordTable::State::Insert);
    heroLeft(hero);
    EXPECT_EQ(hero.recordCount(), 1);
}

TEST(SpellPage, DamageLabels) {
    EXPECT_EQ(damageLabelFor(0), "Dano Causado (HP):");
    EXPECT_EQ(damageLabelFor(1), "      HP Recuperado:");
    EXPECT_EQ(damageLabelFor(2), "      MP Recuperado:");
}
