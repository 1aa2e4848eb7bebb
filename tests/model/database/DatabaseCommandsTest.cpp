// The database window's record commands without widgets: records inserted,
// committed and deleted together with their folders and pictures, on a
// project on disk; a check or a folder that fails changes nothing.
#include "model/database/DatabaseCommands.h"
#include "ProjectFixture.h"
#include "model/core/DataPacket.h"
#include "model/core/Error.h"
#include "model/core/Names.h"
#include "model/core/ProjectFile.h"
#include "model/database/DataModule.h"
#include "model/database/DatabasePages.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <gtest/gtest.h>

using namespace quillmark;

namespace {

struct OpenProject {
    qmtest::ProjectFixture fixture;
    ProjectState state;
    TDataModule1 dm;
    std::unique_ptr<DatabaseCommands> commands;
    OpenProject() {
        readProjectFile(fixture.projectFile(), state);
        dm.pointAtProject(state.ProjectFolder);
        commands = std::make_unique<DatabaseCommands>(dm, state.ProjectFolder);
    }
    QString folder() const { return state.ProjectFolder; }
    QStringList imagens() const { return QDir(folder() + "Imagens").entryList(QDir::Dirs | QDir::NoDotAndDotDot); }
    std::vector<Record> onDisk(const char* file) const {
        return datapacket::parse(fixture.dir.read(file).toStdString(), {}).records;
    }
    void add(RecordTable& t, const std::string& name) {
        t.insert();
        t.setString("Nome", name);
        t.post();
    }
    static Picture red() {
        QImage i(8, 8, QImage::Format_RGB32);
        i.fill(Qt::red);
        return Picture(i);
    }
};

}  // namespace

TEST(InsertMonster, NamesAreCheckedAgainstTheTableExactlyAndTheFolderComesFirst) {
    OpenProject p;
    p.add(p.dm.cdsMonstros, "Slime");
    // no list is consulted: the table alone says the name is taken
    EXPECT_FALSE(p.commands->insertMonster("Slime"));
    EXPECT_EQ(p.dm.cdsMonstros.state(), RecordTable::State::Browse);
    EXPECT_FALSE(p.imagens().contains("Slime"));

    int inserted = 0;
    QObject::connect(p.commands.get(), &DatabaseCommands::recordInserted, [&](RecordKind) { ++inserted; });
    ASSERT_TRUE(p.commands->insertMonster("slime"));
    EXPECT_EQ(inserted, 1);
    EXPECT_TRUE(p.imagens().contains("slime"));
    EXPECT_EQ(p.dm.cdsMonstros.state(), RecordTable::State::Insert);
    EXPECT_EQ(p.dm.cdsMonstros.asString("Nome"), "slime");
    EXPECT_EQ(p.dm.cdsMonstros.asString("Parado01"), "CharParado01.bmp");
    EXPECT_EQ(p.dm.cdsMonstros.asString("UsMagia03"), "CharMagia03.bmp");
    EXPECT_EQ(p.dm.cdsMonstros.asString("Face"), "CharFace.bmp");
    EXPECT_EQ(p.dm.cdsMonstros.recordCount(), 1);  // not committed yet

    // leaving the page commits it and writes the file
    monstersLeft(p.dm.cdsMonstros);
    const auto stored = p.onDisk("Data/Monstros.xml");
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(*stored[1][0], "slime");
    // the table read again still knows both names
    monstersEntered(p.dm.cdsMonstros, p.folder());
    EXPECT_FALSE(p.commands->insertMonster("slime"));
}

TEST(InsertMonster, NamesThatCannotBeFoldersWriteNothing) {
    OpenProject p;
    const QStringList before = p.imagens();
    const QStringList outside = QDir(p.folder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    for (const char* bad : {"", ".", "..", "../Fora", "a\\b", "a:b", "a*b", "a?b", "\"x\"", "<x>", "a|b", "a\tb",
                            " Lobo", "Lobo ", ".Lobo", "Lobo.", "CON", "lpt1.bmp"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(folderNameProblem(bad, kInimigo).empty());
        EXPECT_THROW(p.commands->insertMonster(bad), Error);
        EXPECT_EQ(p.dm.cdsMonstros.state(), RecordTable::State::Browse);
    }
    EXPECT_EQ(p.imagens(), before);
    EXPECT_EQ(QDir(p.folder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), outside);
    EXPECT_EQ(p.dm.cdsMonstros.recordCount(), 0);
}

TEST(InsertMonster, AFolderThatCannotBeMadeChangesNothing) {
    OpenProject p;
    // a file stands where the record folder would go
    p.fixture.dir.write("Imagens/Lobo", "not a folder");
    const QByteArray table = p.fixture.dir.read("Data/Monstros.xml");
    EXPECT_THROW(p.commands->insertMonster("Lobo"), Error);
    EXPECT_EQ(p.dm.cdsMonstros.state(), RecordTable::State::Browse);
    EXPECT_EQ(p.dm.cdsMonstros.recordCount(), 0);
    EXPECT_FALSE(p.dm.cdsMonstros.changedSinceOpen());
    EXPECT_EQ(p.fixture.dir.read("Imagens/Lobo"), "not a folder");
    monstersLeft(p.dm.cdsMonstros);
    EXPECT_EQ(p.fixture.dir.read("Data/Monstros.xml"), table);
}

TEST(PendingInsert, EachTableCommitsANamedRecordWithItsFolderAndAsksForAMissingName) {
    for (RecordKind kind : {RecordKind::Monster, RecordKind::Item, RecordKind::Spell}) {
        SCOPED_TRACE(recordKindInfo(kind).what);
        OpenProject p;
        RecordTable& t = p.commands->table(kind);
        EXPECT_EQ(p.commands->commitPendingInsert(kind), PendingInsert::None);  // browsing: nothing to do
        const int before = t.recordCount();
        t.insert();
        EXPECT_EQ(p.commands->commitPendingInsert(kind), PendingInsert::NeedsName);
        EXPECT_EQ(t.state(), RecordTable::State::Insert);
        t.setString("Nome", "Raio");
        int committed = 0;
        QObject::connect(p.commands.get(), &DatabaseCommands::recordCommitted, [&](RecordKind) { ++committed; });
        EXPECT_EQ(p.commands->commitPendingInsert(kind), PendingInsert::Committed);
        EXPECT_EQ(committed, 1);
        EXPECT_EQ(t.state(), RecordTable::State::Browse);
        EXPECT_EQ(t.recordCount(), before + 1);
        EXPECT_TRUE(QFileInfo(p.folder() + "Imagens/Raio").isDir());
    }
}

TEST(PendingInsert, ADuplicateMonsterOrAFolderInTheWayStaysPending) {
    OpenProject p;
    p.add(p.dm.cdsMonstros, "Lobo");
    p.dm.cdsMonstros.insert();
    p.dm.cdsMonstros.setString("Nome", "Lobo");
    EXPECT_EQ(p.commands->commitPendingInsert(RecordKind::Monster), PendingInsert::Duplicate);
    EXPECT_EQ(p.dm.cdsMonstros.state(), RecordTable::State::Insert);
    EXPECT_EQ(p.dm.cdsMonstros.recordCount(), 1);
    // item names may repeat; a file where the folder would go stops the commit
    p.fixture.dir.write("Imagens/Espada", "x");
    p.dm.cdsItens.insert();
    p.dm.cdsItens.setString("Nome", "Espada");
    const int items = p.dm.cdsItens.recordCount();
    EXPECT_THROW(p.commands->commitPendingInsert(RecordKind::Item), Error);
    EXPECT_EQ(p.dm.cdsItens.state(), RecordTable::State::Insert);
    EXPECT_EQ(p.dm.cdsItens.recordCount(), items);
}

TEST(RecordPictures, StoredIntoTheCurrentRecordsFolderOnly) {
    OpenProject p;
    p.dm.cdsItens.insert();
    p.dm.cdsItens.setString("Nome", "Escudo");
    // the name not yet confirmed: no folder, nothing written
    try {
        p.commands->storePicture(RecordKind::Item, OpenProject::red(), "Imagem");
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Cannot create file \"", 0), 0u) << e.what();
    }
    EXPECT_FALSE(p.imagens().contains("Escudo"));
    p.commands->nameRecord(RecordKind::Item);
    EXPECT_EQ(p.dm.cdsItens.state(), RecordTable::State::Insert);  // named, not committed
    p.commands->storePicture(RecordKind::Item, OpenProject::red(), "Imagem");
    const QImage back(p.folder() + "Imagens/Escudo/ItImage.bmp");
    ASSERT_FALSE(back.isNull());
    EXPECT_EQ(back.pixel(2, 2), QColor(Qt::red).rgb());
}

TEST(DeleteRecord, TheFolderIsKeptByDefaultRemovedOnRequestAndNeverWhenShared) {
    OpenProject p;
    for (const char* n : {"Lobo", "Orc", "Urso"}) {
        ASSERT_TRUE(p.commands->insertMonster(n));
        p.dm.cdsMonstros.post();
    }
    p.fixture.dir.write("Imagens/Lobo/CharFace.bmp", "face");
    p.fixture.dir.write("Imagens/Orc/CharFace.bmp", "face");
    int deleted = 0;
    QObject::connect(p.commands.get(), &DatabaseCommands::recordDeleted, [&](RecordKind) { ++deleted; });

    ASSERT_TRUE(selectRecordByName(p.dm.cdsMonstros, "Lobo"));
    EXPECT_FALSE(p.commands->existingRecordFolder(RecordKind::Monster).isEmpty());
    p.commands->deleteRecord(RecordKind::Monster, false);
    EXPECT_EQ(rebuildRecordList(p.dm.cdsMonstros), (std::vector<std::string>{"Orc", "Urso"}));
    EXPECT_EQ(p.fixture.dir.read("Imagens/Lobo/CharFace.bmp"), "face");

    ASSERT_TRUE(selectRecordByName(p.dm.cdsMonstros, "Orc"));
    p.commands->deleteRecord(RecordKind::Monster, true);
    EXPECT_EQ(rebuildRecordList(p.dm.cdsMonstros), (std::vector<std::string>{"Urso"}));
    EXPECT_FALSE(p.imagens().contains("Orc"));
    // nothing is left beside the other folders, not even the folder moved aside
    EXPECT_EQ(p.imagens().filter("Orc").size(), 0);
    EXPECT_EQ(deleted, 2);

    // two items of one name share a folder: deleting one keeps it for the other
    p.add(p.dm.cdsItens, "Pocao");
    p.add(p.dm.cdsItens, "Pocao");
    makeRecordFolder(p.folder(), "Pocao", kItem);
    p.dm.cdsItens.last();
    EXPECT_TRUE(p.commands->folderShared(RecordKind::Item));
    p.commands->deleteRecord(RecordKind::Item, true);
    EXPECT_TRUE(p.imagens().contains("Pocao"));
    EXPECT_FALSE(p.commands->folderShared(RecordKind::Item));
}

TEST(InsertMonster, WithoutAnOpenProjectNothingIsMadeAnywhere) {
    qmtest::ProjectFixture fixture;
    TDataModule1 dm;
    ProjectState state;
    readProjectFile(fixture.projectFile(), state);
    dm.pointAtProject(state.ProjectFolder);
    QString folder;  // no project: the folder is empty
    DatabaseCommands commands(dm, [&folder] { return folder; });
    const QString cwd = QDir::currentPath();
    const bool hadImagens = QFileInfo(cwd + "/Imagens").exists();
    try {
        commands.insertMonster("Lobo");
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Nenhum projeto está aberto.");
    }
    EXPECT_EQ(QFileInfo(cwd + "/Imagens").exists(), hadImagens);
    EXPECT_EQ(dm.cdsMonstros.state(), RecordTable::State::Browse);
    // the folder is asked afresh: once a project is open the same commands work there
    folder = state.ProjectFolder;
    EXPECT_TRUE(commands.insertMonster("Lobo"));
    EXPECT_TRUE(QFileInfo(state.ProjectFolder + "Imagens/Lobo").isDir());
}
