// Tile pictures on disk: the names of the animated frames, the names a tile
// may write, opening a tile with placeholders, and storing an edit: every
// picture written or none, the flag posted on the tile's own record, the
// table left showing all its records and the change reaching "Data\Tiles.xml".
#include "ProjectFixture.h"

#include "model/core/Error.h"
#include "model/core/Paths.h"
#include "model/database/DataModule.h"
#include "model/tiles/TileEditing.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace quillmark;

namespace {

QImage rgb(const QImage& image) { return image.convertToFormat(QImage::Format_RGB32); }
QImage rgb(const Picture& picture) { return rgb(picture.image()); }
QImage fileImage(const QString& path) { return rgb(Picture::fromFile(path)); }

class TileFilesTest : public ::testing::Test {
protected:
    TileFilesTest() {
        data.pointAt(data.cdsTiles, project.folder());
        editor = qmtest::binFolder();
    }

    RecordTable& tiles() { return data.cdsTiles; }
    QString image(const std::string& name) const { return tiles::imagePath(project.folder(), name); }
    QImage placeholder() const { return fileImage(placeholderPath(editor)); }

    // Makes the tile of `code` current, as the "Tiles" page does before opening an editor.
    void select(unsigned char code) {
        tiles().setFilter(tiles::tipoFilter(code));
        tiles().setFiltered(true);
        ASSERT_EQ(tiles().recordCount(), 1) << int(code);
    }
    // Field values of the tile of `code`, read without moving the table.
    std::string field(unsigned char code, const char* name) const {
        const RecordTable& t = data.cdsTiles;
        const int tipo = t.fieldIndex("Tipo");
        const int f = t.fieldIndex(name);
        for (const Record& r : t.allRecords())
            if (r[size_t(tipo)] && *r[size_t(tipo)] == std::string(1, char(code)))
                return r[size_t(f)] ? *r[size_t(f)] : std::string();
        return "<none>";
    }
    void setField(unsigned char code, const char* name, const std::string& value) {
        select(code);
        tiles().edit();
        tiles().setString(name, value);
        tiles().post();
        tiles().setFiltered(false);
    }
    // Walking the table from its first record.
    int walk() {
        int n = 0;
        tiles().first();
        while (!tiles().eof()) {
            ++n;
            tiles().next();
        }
        return n;
    }

    qmtest::ProjectFixture project;
    TDataModule1 data;
    QString editor;
};

TEST(TileNames, AnimatedCodesAndTheirFrameFiles) {
    EXPECT_FALSE(tiles::isAnimated(48));
    EXPECT_FALSE(tiles::isAnimated(179));
    EXPECT_TRUE(tiles::isAnimated(180));
    EXPECT_TRUE(tiles::isAnimated(191));
    EXPECT_FALSE(tiles::isAnimated(192));
    for (int n = 1; n <= 12; ++n) {
        const auto code = static_cast<unsigned char>(179 + n);
        EXPECT_EQ(tiles::animationNumber(code), n);
        EXPECT_EQ(tiles::animationFrameName(code, 2), "TileAni" + std::to_string(n) + "02.bmp");
        EXPECT_EQ(tiles::animationFrameName(code, 3), "TileAni" + std::to_string(n) + "03.bmp");
    }
    EXPECT_EQ(tiles::animationFrameName(189, 2), "TileAni1002.bmp");
    EXPECT_EQ(tiles::animationFrameName(189, 3), "TileAni1003.bmp");
    EXPECT_EQ(tiles::animationNumber(100), 0);
    EXPECT_THROW(tiles::animationFrameName(179, 2), Error);
    EXPECT_THROW(tiles::animationFrameName(180, 1), Error);
    EXPECT_THROW(tiles::animationFrameName(180, 4), Error);
}

TEST(TileNames, FileNamesThatWouldLeaveTheImageFolderAreRefused) {
    for (const char* bad : {"", "..\\Data\\Tiles.xml", "../x.bmp", "Sub\\x.bmp", "Sub/x.bmp", "C:x.bmp", "..", "x..bmp",
                            "\\x.bmp", "CON.bmp", "a?.bmp", "a\tb.bmp"}) {
        try {
            tiles::checkTileFileName(bad);
            ADD_FAILURE() << "accepted \"" << bad << "\"";
        } catch (const Error& e) {
            EXPECT_FALSE(std::string(e.what()).empty());
        }
    }
    for (const char* good : {"Grama.bmp", "TileAni101.bmp", "\xC1gua funda.bmp", "a.b.jpg", "x"})
        EXPECT_NO_THROW(tiles::checkTileFileName(good)) << good;
}

TEST_F(TileFilesTest, TheCodeFilterFindsEveryCodeIncludingQuotesAndHighBytes) {
    setField('0', "Tipo", "'");  // a quote as a code is written twice inside the filter text
    EXPECT_EQ(tiles::tipoFilter('\''), "Tipo = ''''");
    select('\'');
    EXPECT_EQ(tiles().asString("File"), "Grama.bmp");
    select(180);
    EXPECT_EQ(tiles().asString("Tipo"), "\xB4");
    EXPECT_EQ(tiles().asString("File"), "TileAni101.bmp");
}

TEST_F(TileFilesTest, TheAnimationEditorIsOnlyForAnimatedTiles) {
    select('A');
    EXPECT_THROW(TileEdit::open(tiles(), project.folder(), editor, true), Error);
    select(180);
    EXPECT_EQ(TileEdit::open(tiles(), project.folder(), editor, true).names.size(), 3u);
}

TEST_F(TileFilesTest, NoFrameIsWrittenWhenOneTargetCannotBe) {
    select(181);
    TileEdit edit = TileEdit::open(tiles(), project.folder(), editor, true);
    const QByteArray frame1 = project.dir.read("Imagens/TileAni201.bmp");
    const QByteArray frame2 = project.dir.read("Imagens/TileAni202.bmp");
    // frame 3's name is taken by a folder
    ASSERT_TRUE(QFile::remove(image("TileAni203.bmp")));
    ASSERT_TRUE(QDir().mkdir(project.folder() + "Imagens/TileAni203.bmp"));
    const QImage water = fileImage(image("Agua.bmp"));
    for (Picture& p : edit.pictures) p.setImage(water);
    edit.transparent = !edit.transparent;
    const std::string flag = field(181, "Transparente");

    EXPECT_THROW(edit.store(tiles(), project.folder()), Error);
    EXPECT_EQ(project.dir.read("Imagens/TileAni201.bmp"), frame1);
    EXPECT_EQ(project.dir.read("Imagens/TileAni202.bmp"), frame2);
    EXPECT_EQ(field(181, "Transparente"), flag);
    EXPECT_FALSE(tiles().changedSinceOpen());
    // no temporary file is left behind either
    const QStringList left = QDir(project.folder() + "Imagens").entryList({"*TileAni2*"}, QDir::Files);
    EXPECT_EQ(left, (QStringList{"TileAni201.bmp", "TileAni202.bmp"}));
}

TEST_F(TileFilesTest, AFileNameWithAFolderPartIsRefusedAndNothingIsWritten) {
    setField('2', "File", "..\\Data\\Fora.bmp");
    select('2');
    EXPECT_THROW(TileEdit::open(tiles(), project.folder(), editor, false), Error);
    // an edit made up by hand is refused when stored as well
    TileEdit edit;
    edit.code = '2';
    edit.file = "..\\Fora.bmp";
    edit.names = {edit.file};
    edit.pictures = {Picture::fromFile(image("Agua.bmp"))};
    EXPECT_THROW(edit.store(tiles(), project.folder()), Error);
    EXPECT_FALSE(QFileInfo::exists(project.folder() + "Fora.bmp"));
    EXPECT_FALSE(QFileInfo::exists(project.folder() + "Data/Fora.bmp"));
    EXPECT_FALSE(QFileInfo::exists(project.dir.path() + "../Fora.bmp"));
}

TEST_F(TileFilesTest, StoringLeavesTheTableWholeAndTheFlagReachesTheFile) {
    const int all = walk();
    ASSERT_EQ(all, 144);
    select('x');
    TileEdit edit = TileEdit::open(tiles(), project.folder(), editor, false);
    EXPECT_TRUE(edit.transparent);
    edit.transparent = false;
    edit.store(tiles(), project.folder());
    EXPECT_FALSE(tiles().filtered());
    EXPECT_EQ(tiles().recNo(), 1);
    EXPECT_EQ(tiles().state(), RecordTable::State::Browse);
    EXPECT_EQ(walk(), all);

    data.closeAll();  // a changed table is written when it closes
    TDataModule1 again;
    again.pointAt(again.cdsTiles, project.folder());
    EXPECT_FALSE(again.VerificaTransparencia('x'));
    EXPECT_TRUE(again.VerificaTransparencia('y'));
}

TEST_F(TileFilesTest, AFlagForACodeNoTileHasIsAnErrorAndChangesNothing) {
    select('5');
    tiles().remove();
    tiles().setFiltered(false);
    EXPECT_THROW(tiles::postTransparency(tiles(), '5', true), Error);
    EXPECT_FALSE(tiles().filtered());
    EXPECT_EQ(walk(), 143);
    // and an editor cannot be opened on an empty selection
    select('6');
    tiles().setFilter(tiles::tipoFilter('5'));
    EXPECT_THROW(TileEdit::open(tiles(), project.folder(), editor, false), Error);
}

TEST_F(TileFilesTest, AMissingPlaceholderBesideTheEditorMakesOpeningFail) {
    select('1');
    ASSERT_TRUE(QFile::remove(image(tiles().asString("File"))));
    qmtest::TempDir emptyEditor;
    EXPECT_THROW(TileEdit::open(tiles(), project.folder(), emptyEditor.path(), false), Error);
}

TEST_F(TileFilesTest, CheckWritableNamesTheReason) {
    EXPECT_NO_THROW(tiles::checkWritable(image("Agua.bmp")));
    EXPECT_NO_THROW(tiles::checkWritable(image("Nova.bmp")));
    try {
        tiles::checkWritable(project.folder() + "NaoExiste/x.bmp");
        ADD_FAILURE() << "a missing folder was taken as writable";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("No such file or directory"), std::string::npos) << e.what();
    }
    try {
        tiles::checkWritable(project.folder() + "Imagens");
        ADD_FAILURE() << "a folder was taken as a picture file";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("Is a directory"), std::string::npos) << e.what();
    }
}

}  // namespace
