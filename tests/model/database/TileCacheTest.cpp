#include "model/database/TileCache.h"
#include "Errors.h"
#include "TempDir.h"
#include "model/core/DataPacket.h"
#include "model/core/Error.h"
#include "model/database/DataModule.h"

#include <QImage>
#include <gtest/gtest.h>

using namespace quillmark;

namespace {

QRgb colourFor(int n) { return qRgb(n, 255 - n, (n * 7) % 256); }

void writePicture(const qmtest::TempDir& dir, const QString& relative, QRgb inside, QRgb corner) {
    QImage img(40, 40, QImage::Format_RGB32);
    img.fill(inside);
    img.setPixel(0, 39, corner);
    dir.write(relative, QByteArray());  // makes the folder
    img.save(dir.file(relative), "BMP");
}

struct Tile {
    int code;
    std::string file;
    std::optional<int> cod;
    bool transparent = false;
};

// A project folder with a tiles table and pictures, and an editor folder with
// the placeholder.
struct CacheFixture {
    qmtest::TempDir project, editor;
    TDataModule1 data;
    TileCache cache;

    void writeTiles(const std::vector<Tile>& tiles) {
        std::vector<Record> rows;
        for (const Tile& t : tiles) {
            Record r(tilesSchema().size());
            r[0] = std::string(1, static_cast<char>(t.code));
            r[2] = t.file;
            if (t.cod) r[4] = std::to_string(*t.cod);
            r[5] = t.transparent ? "TRUE" : "FALSE";
            rows.push_back(r);
        }
        project.write("Data/Tiles.xml", QByteArray::fromStdString(datapacket::write(tilesSchema(), rows)));
        data.cdsTiles.close();
        data.cdsTiles.setFileName(project.file("Data/Tiles.xml"));
        data.cdsTiles.open();
    }

    CacheFixture() {
        writePicture(editor, "Imagens/null.bmp", qRgb(128, 128, 128), qRgb(128, 128, 128));
        // 147 tiles, Cod n for code 48 + n, each picture a colour of its own
        std::vector<Tile> tiles;
        for (int n = 0; n < 147; ++n) {
            const std::string file = "T" + std::to_string(n) + ".bmp";
            tiles.push_back({48 + n, file, n, n % 2 == 1});
            writePicture(project, QString::fromStdString("Imagens/" + file), colourFor(n), qRgb(255, 0, 255));
        }
        writeTiles(tiles);
    }
    void fill() { cache.LoadImagens(data, project.path(), editor.path()); }
    QRgb centre(const Picture& p) const { return p.image().pixel(20, 20); }
    QRgb entryCentre(int n) const { return centre(*cache.GameListImage1.Slot1().Get(n)); }
};

using qmtest::errorOf;

}  // namespace

TEST(TileCacheFill, EveryEntryComesFromTheRecordWithItsCod) {
    CacheFixture f;
    f.fill();
    ASSERT_EQ(f.cache.count(), 147);
    for (int n : {0, 1, 10, 77, 146}) EXPECT_EQ(f.entryCentre(n), colourFor(n)) << n;
    EXPECT_FALSE(f.cache.GameListImage1.Slot1().Get(0)->transparent());
    EXPECT_TRUE(f.cache.GameListImage1.Slot1().Get(1)->transparent());
    // the table shows all its records again
    EXPECT_FALSE(f.data.cdsTiles.filtered());
    EXPECT_EQ(f.data.cdsTiles.recordCount(), 147);
    EXPECT_EQ(f.data.cdsTiles.recNo(), 1);
}

TEST(TileCacheFill, MissingPicturesAndMissingRecordsShowThePlaceholderNeverTransparent) {
    CacheFixture f;
    std::vector<Tile> tiles = {
        {48, "T0.bmp", 0, false},
        {49, "gone.bmp", 1, true},  // no such file, though transparent
        {50, "", 2, true},          // no file name: names the folder itself
        {51, "T3.bmp", std::nullopt, true},
        {52, "t4.BMP", 4, true},  // letter case differs from the file on disk
    };
    f.writeTiles(tiles);
    f.fill();
    EXPECT_EQ(f.cache.count(), 147);
    const QRgb grey = qRgb(128, 128, 128);
    EXPECT_EQ(f.entryCentre(1), grey);
    EXPECT_FALSE(f.cache.GameListImage1.Slot1().Get(1)->transparent());
    EXPECT_EQ(f.entryCentre(2), grey);
    EXPECT_FALSE(f.cache.GameListImage1.Slot1().Get(2)->transparent());
    EXPECT_EQ(f.entryCentre(3), grey);  // no record has Cod 3
    EXPECT_EQ(f.entryCentre(146), grey);
    EXPECT_EQ(f.entryCentre(4), colourFor(4));
    EXPECT_TRUE(f.cache.GameListImage1.Slot1().Get(4)->transparent());
}

TEST(TileCacheFill, RefillingReusesTheEntries) {
    CacheFixture f;
    f.fill();
    const Picture* before = f.cache.GameListImage1.Slot1().Get(5);
    writePicture(f.project, "Imagens/T5.bmp", qRgb(1, 2, 3), qRgb(255, 0, 255));
    f.fill();
    EXPECT_EQ(f.cache.count(), 147);
    EXPECT_EQ(f.cache.GameListImage1.Slot1().Get(5), before);
    EXPECT_EQ(f.entryCentre(5), qRgb(1, 2, 3));
}

TEST(TileCacheFill, ABrokenPictureShowsThePlaceholderIsListedOnceAndTheFillingGoesOn) {
    CacheFixture f;
    f.fill();
    EXPECT_TRUE(f.cache.unreadable().empty());
    f.project.write("Imagens/T5.bmp", "not a bitmap");
    std::vector<Tile> tiles;
    for (int n = 0; n < 147; ++n) tiles.push_back({48 + n, "T" + std::to_string(n) + ".bmp", n, n % 2 == 1});
    tiles[7].file = "t5.bmp";  // the same damaged picture under another spelling
    f.writeTiles(tiles);
    writePicture(f.project, "Imagens/T6.bmp", qRgb(6, 6, 6), qRgb(255, 0, 255));
    f.fill();
    const QRgb grey = qRgb(128, 128, 128);
    EXPECT_EQ(f.entryCentre(5), grey);
    EXPECT_FALSE(f.cache.GameListImage1.Slot1().Get(5)->transparent());  // T5 was transparent
    EXPECT_EQ(f.entryCentre(7), grey);
    EXPECT_EQ(f.entryCentre(6), qRgb(6, 6, 6));  // later entries are read
    EXPECT_EQ(f.entryCentre(146), colourFor(146));
    EXPECT_EQ(f.cache.unreadable(), (std::vector<std::string>{"Imagens\\T5.bmp"}));
    ASSERT_EQ(f.cache.unreadableReasons().size(), 1u);
    EXPECT_EQ(f.cache.unreadableReasons()[0], "Bitmap image is not valid");
    EXPECT_FALSE(f.data.cdsTiles.filtered());

    // mended, the next filling lists nothing
    writePicture(f.project, "Imagens/T5.bmp", colourFor(5), qRgb(255, 0, 255));
    f.fill();
    EXPECT_TRUE(f.cache.unreadable().empty());
    EXPECT_EQ(f.entryCentre(5), colourFor(5));
}

TEST(TileCacheFill, AFileNameReachingOutsideTheFolderIsNotRead) {
    CacheFixture f;
    // a picture that exists, one level above the project's pictures
    writePicture(f.project, "Fora.bmp", qRgb(9, 9, 9), qRgb(255, 0, 255));
    std::vector<Tile> tiles;
    for (int n = 0; n < 147; ++n) tiles.push_back({48 + n, "T" + std::to_string(n) + ".bmp", n, false});
    tiles[3].file = "..\\Fora.bmp";
    tiles[4].file = "../Fora.bmp";
    f.writeTiles(tiles);
    f.fill();
    EXPECT_EQ(f.entryCentre(3), qRgb(128, 128, 128));
    EXPECT_EQ(f.entryCentre(4), qRgb(128, 128, 128));
    EXPECT_EQ(f.entryCentre(5), colourFor(5));
    EXPECT_EQ(f.cache.unreadable(), (std::vector<std::string>{"Imagens\\..\\Fora.bmp", "Imagens\\../Fora.bmp"}));
}

TEST(TileCacheFill, AMissingPlaceholderStopsWithTheLoadersError) {
    CacheFixture f;
    f.writeTiles({{48, "gone.bmp", 0, false}});
    QFile::remove(f.editor.file("Imagens/null.bmp"));
    const std::string error = errorOf([&] { f.fill(); });
    EXPECT_EQ(error.rfind("Cannot open file \"", 0), 0u) << error;
    EXPECT_NE(error.find("null.bmp"), std::string::npos);
}

TEST(TileCachePicture, ACodeGivesTheEntryOfItsRecordsCod) {
    CacheFixture f;
    f.fill();
    const Picture& p = f.cache.PegaImg(f.data, 48 + 20);
    EXPECT_EQ(&p, f.cache.GameListImage1.Slot1().Get(20));  // the entry itself, not a copy
    EXPECT_EQ(f.centre(f.cache.PegaImg(f.data, 191)), colourFor(143));
    // a code no record has draws entry 0
    EXPECT_EQ(&f.cache.PegaImg(f.data, 200), f.cache.GameListImage1.Slot1().Get(0));
    // codes are compared exactly: 'a' is not 'A'
    EXPECT_EQ(&f.cache.PegaImg(f.data, 'a'), f.cache.GameListImage1.Slot1().Get('a' - 48));
    EXPECT_EQ(&f.cache.PegaImg(f.data, 'A'), f.cache.GameListImage1.Slot1().Get('A' - 48));
}

TEST(TileCachePicture, FirstRecordWinsAndLargeCodsFail) {
    CacheFixture f;
    f.writeTiles({{48, "T0.bmp", 0, false},
                  {65, "T7.bmp", 7, false},
                  {65, "T9.bmp", 9, true},  // the same code again: the first record counts
                  {66, "T1.bmp", 150, false}});
    f.fill();
    EXPECT_EQ(&f.cache.PegaImg(f.data, 65), f.cache.GameListImage1.Slot1().Get(7));
    EXPECT_FALSE(f.cache.PegaImg(f.data, 65).transparent());
    EXPECT_EQ(errorOf([&] { f.cache.PegaImg(f.data, 66); }), "List index out of bounds (150)");
}

TEST(TileCachePicture, AFirstRecordWithoutCodDrawsEntryZeroEvenWhenALaterOneHasACod) {
    CacheFixture f;
    f.writeTiles({{48, "T0.bmp", 0, false},
                  {65, "T7.bmp", std::nullopt, false},  // the first record of 'A' has no Cod
                  {65, "T9.bmp", 9, true},
                  {66, "T3.bmp", 3, false}});
    writePicture(f.project, "Imagens/T0.bmp", qRgb(10, 10, 10), qRgb(255, 0, 255));
    f.fill();
    EXPECT_EQ(TileCache::codOf(f.data, 65), 0);
    EXPECT_EQ(&f.cache.PegaImg(f.data, 65), f.cache.GameListImage1.Slot1().Get(0));
    EXPECT_EQ(f.centre(f.cache.PegaImg(f.data, 65)), qRgb(10, 10, 10));
    EXPECT_NE(&f.cache.PegaImg(f.data, 65), f.cache.GameListImage1.Slot1().Get(9));
    EXPECT_EQ(&f.cache.PegaImg(f.data, 66), f.cache.GameListImage1.Slot1().Get(3));
}

TEST(TileCachePicture, LookupLeavesTheTablesFilterAndCurrentRecordAlone) {
    CacheFixture f;
    f.fill();
    f.data.cdsTiles.setFilter("Tipo = 'B'");
    f.data.cdsTiles.setFiltered(true);
    f.cache.PegaImg(f.data, 'Z');
    EXPECT_TRUE(f.data.cdsTiles.filtered());
    EXPECT_EQ(f.data.cdsTiles.recordCount(), 1);
    EXPECT_EQ(f.data.cdsTiles.asString("Tipo"), "B");
}

TEST(TileCachePicture, AnEmptyCacheHasNoEntryZero) {
    CacheFixture f;
    EXPECT_EQ(errorOf([&] { f.cache.PegaImg(f.data, 48); }), "List index out of bounds (0)");
}
