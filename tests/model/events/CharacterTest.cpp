// Character folders: names, the fourteen files, reading a character back.
#include "TempDir.h"

#include "model/core/Error.h"
#include "model/core/Files.h"
#include "model/core/Picture.h"
#include "model/events/Character.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <gtest/gtest.h>

using namespace quillmark;

namespace {

QImage filled(QRgb colour, int side = 32) {
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// A project folder with its "Imagens\" whose null picture is a known colour,
// so tests can tell it apart.
struct CharacterTest : ::testing::Test {
    qmtest::TempDir project;
    QString folder;
    void SetUp() override {
        folder = project.path();
        QDir().mkpath(folder + "Imagens");
        Picture(filled(qRgb(1, 2, 3), 40)).SaveToFile(folder + "Imagens/null.bmp");
    }
    Character sample(const std::string& name, const std::string& speed) {
        Character c;
        c.name = name;
        c.speed = speed;
        for (int i = 0; i < kCharacterPictureCount; ++i) c.pictures[i] = Picture(filled(qRgb(10 * i, 100, 200)));
        c.script = {"OnActionPress>", "ShowMessage:Ol\xE1!&"};
        return c;
    }
    QStringList imagensEntries() const {
        return QDir(folder + "Imagens").entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    }
};

}  // namespace

TEST_F(CharacterTest, NamesThatCannotBeFoldersAreRefusedAndNothingIsWritten) {
    const char* refused[] = {"",    ".",    "..",    "a/b",  "a\\b", "a:b",  "a*b", "a?b",  "a\"b",    "a<b", "a>b",
                             "a|b", "a\tb", "a\x01", "Bob.", "Bob ", " Bob", "CON", "com1", "nul.txt", "LPT9"};
    const QStringList before = imagensEntries();
    for (const char* name : refused) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(characterNameProblem(name).empty());
        EXPECT_THROW(saveCharacter(folder, sample(name, "1")), Error);
    }
    EXPECT_EQ(imagensEntries(), before);
    for (const char* name : {"Bob",
                             "Velho S\xE1"
                             "bio",
                             "a.b", "Guarda-1", "COM0", "console"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(characterNameProblem(name), "");
    }
    try {
        checkCharacterName("");
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Digite o nome do personagem.");
    }
}

TEST_F(CharacterTest, ANewCharacterHasThirteenNullPicturesAndNothingElse) {
    const Character c = newCharacter(folder);
    EXPECT_EQ(c.name, "");
    EXPECT_EQ(c.speed, "");
    EXPECT_TRUE(c.script.empty());
    for (const Picture& p : c.pictures) EXPECT_EQ(p.image().pixel(5, 5), qRgb(1, 2, 3));
    EXPECT_EQ(c.event(), "AddChar:|");
}

TEST_F(CharacterTest, SavingWritesFourteenFilesAsBitmapsAndTheScriptWithCrLf) {
    Character c = sample("Velho S\xE1"
                         "bio",
                         "");
    // a picture that came from a PNG is still written as a bitmap
    const QString png = project.file("face.png");
    ASSERT_TRUE(filled(qRgb(9, 9, 9)).save(png));
    c.pictures[kCharacterFaceIndex] = Picture::fromFile(png);
    saveCharacter(folder, c);

    const QString dir = characterFolder(folder, c.name);
    EXPECT_TRUE(dir.endsWith(QString::fromUtf8("Imagens/Velho Sábio/")));
    EXPECT_EQ(QDir(dir).entryList(QDir::Files).size(), 14);
    for (int i = 0; i < kCharacterPictureCount; ++i) {
        QFile f(dir + QString::fromLatin1(kCharacterPictureFiles[i].data(), kCharacterPictureFiles[i].size()));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << kCharacterPictureFiles[i];
        EXPECT_EQ(f.read(2), "BM") << kCharacterPictureFiles[i];
    }
    EXPECT_EQ(readFile(dir + "Evento.dat"), QByteArray("OnActionPress>\r\nShowMessage:Ol\xE1!&\r\n"));
    EXPECT_EQ(c.event(), "AddChar:Velho S\xE1"
                         "bio|");
}

TEST_F(CharacterTest, AFailingFileStopsTheSaveAfterTheFilesBeforeIt) {
    // a folder in the way of the fourth file: the three before it are written, nothing after
    QDir().mkpath(folder + "Imagens/Bob/CharLeft01.bmp");
    EXPECT_THROW(saveCharacter(folder, sample("Bob", "2")), Error);
    const QString dir = folder + "Imagens/Bob/";
    for (const char* f : {"CharDown01.bmp", "CharDown02.bmp", "CharDown03.bmp"})
        EXPECT_TRUE(QFile::exists(dir + f)) << f;
    for (const char* f : {"CharLeft02.bmp", "CharUp03.bmp", "CharFace.bmp", "Evento.dat"})
        EXPECT_FALSE(QFile::exists(dir + f)) << f;
}

TEST_F(CharacterTest, ASavedCharacterReadsBackAndMissingFilesBecomeTheNullPicture) {
    const Character saved = sample("Bob", "3");
    saveCharacter(folder, saved);
    Character read = characterForEvent(folder, "AddChar: Bob |3");
    EXPECT_EQ(read.name, "Bob");
    EXPECT_EQ(read.speed, "3");
    EXPECT_EQ(read.script, saved.script);
    for (int i = 0; i < kCharacterPictureCount; ++i)
        EXPECT_EQ(read.pictures[i].image().pixel(1, 1), saved.pictures[i].image().pixel(1, 1)) << i;

    QFile::remove(folder + "Imagens/Bob/CharUp02.bmp");
    QFile::remove(folder + "Imagens/Bob/Evento.dat");
    read = loadCharacter(folder, "Bob", "");
    EXPECT_EQ(read.pictures[10].image().pixel(1, 1), qRgb(1, 2, 3));
    EXPECT_EQ(read.pictures[9].image().pixel(1, 1), saved.pictures[9].image().pixel(1, 1));
    EXPECT_TRUE(read.script.empty());

    // any other text opens a new character
    EXPECT_EQ(characterForEvent(folder, "OnActionPress>IniciaChuva:").name, "");
}

TEST_F(CharacterTest, AnExistingFolderIsFoundWithoutRegardToLetterCase) {
    saveCharacter(folder, sample("Bob", "1"));
    EXPECT_TRUE(characterExists(folder, "bob"));
    EXPECT_FALSE(characterExists(folder, "Bobby"));
    EXPECT_FALSE(characterExists(folder, ""));
    // saving under another case writes into the same folder
    saveCharacter(folder, sample("BOB", "1"));
    int bobs = 0;
    for (const QString& d : QDir(folder + "Imagens").entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        if (d.toLower() == "bob") ++bobs;
    EXPECT_EQ(bobs, 1);
    EXPECT_EQ(loadCharacter(folder, "bob", "").pictures[0].image().pixel(0, 0), qRgb(0, 100, 200));
}

TEST_F(CharacterTest, AMissingNullPictureIsAnError) {
    QFile::remove(folder + "Imagens/null.bmp");
    EXPECT_THROW(newCharacter(folder), Error);
}
