#include "model/core/Text.h"
#include "TempDir.h"
#include "model/core/Error.h"
#include "model/core/Files.h"
#include "model/core/Paths.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace quillmark;

TEST(Cp1252, EveryByteSurvivesTheTripThroughQString) {
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    QString text = fromCp1252(all);
    EXPECT_EQ(text.size(), 255);
    bool ok = false;
    EXPECT_EQ(toCp1252(text, &ok), all);
    EXPECT_TRUE(ok);
    // and through UTF-8, as data packets store it
    std::string back;
    ASSERT_TRUE(utf8ToCp1252(cp1252ToUtf8(all), &back));
    EXPECT_EQ(back, all);
}

TEST(Cp1252, KnownCharactersAndRefusals) {
    EXPECT_EQ(fromCp1252("\x80"), QString(QChar(0x20AC)));
    EXPECT_EQ(fromCp1252("\xBF"), QString(QChar(0xBF)));  // '¿', the last tile code
    EXPECT_EQ(toCp1252(QStringLiteral("Ação")), std::string("A\xE7\xE3o"));
    EXPECT_FALSE(isCp1252(QStringLiteral("日本")));
    bool ok = true;
    EXPECT_EQ(toCp1252(QStringLiteral("a日"), &ok), "a?");
    EXPECT_FALSE(ok);
}

TEST(Cp1252, FileTextTakesInvalidUtf8AsRawBytes) {
    EXPECT_EQ(fromFileText("Descri\xC3\xA7\xC3\xA3o"), "Descri\xE7\xE3o");
    EXPECT_EQ(fromFileText("Descri\xE7\xE3o"), "Descri\xE7\xE3o");
    EXPECT_EQ(fromFileText("\xC3"), "\xC3");          // cut sequence
    EXPECT_EQ(fromFileText("\xC0\x80"), "\xC0\x80");  // overlong form
}

TEST(Paths, FindsExistingEntriesWithoutRegardToCase) {
    qmtest::TempDir dir;
    dir.write("imagens/Null.BMP", "x");
    QString p = projectPath(dir.path(), std::string_view("Imagens\\null.bmp"));
    EXPECT_EQ(p, dir.path() + "imagens/Null.BMP");
    EXPECT_TRUE(fileExists(p));
    // a missing file is kept as spelled, inside the existing folder
    EXPECT_EQ(projectPath(dir.path(), std::string_view("IMAGENS\\New.bmp")), dir.path() + "imagens/New.bmp");
    EXPECT_EQ(projectPath(dir.path(), std::string_view("Mapas\\")), dir.path() + "Mapas/");
    EXPECT_EQ(folderOf("/a/b/c.qmk"), "/a/b/");
    EXPECT_EQ(fileNameOf("/a/b\\c.qmk"), "c.qmk");
}

TEST(Files, AtomicWriteReplacesWholeOrNothing) {
    qmtest::TempDir dir;
    writeFileAtomic(dir.file("a.txt"), "first");
    writeFileAtomic(dir.file("a.txt"), "second");
    EXPECT_EQ(dir.read("a.txt"), "second");
    EXPECT_THROW(writeFileAtomic(dir.file("missing/a.txt"), "x"), Error);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);  // no temporary left behind
}

TEST(Files, CopyWithoutReplacingNeverTouchesTheDestination) {
    qmtest::TempDir dir;
    dir.write("src.txt", "new");
    dir.write("dst.txt", "old");
    EXPECT_FALSE(copyWithoutReplacing(dir.file("src.txt"), dir.file("dst.txt")));
    EXPECT_EQ(dir.read("dst.txt"), "old");
    EXPECT_TRUE(copyWithoutReplacing(dir.file("src.txt"), dir.file("fresh.txt")));
    EXPECT_FALSE(copyWithoutReplacing(dir.file("nothing.txt"), dir.file("x.txt")));
    EXPECT_FALSE(dir.exists("x.txt"));
}

TEST(Errors, MessagesAndTheErrorBoxFullStop) {
    EXPECT_EQ(formatMessage("'%s' is not a valid integer value", {"abc"}), "'abc' is not a valid integer value");
    EXPECT_EQ(formatMessage("Invalid level (%d) for item \"%s\"", {"3", "Vila"}),
              "Invalid level (3) for item \"Vila\"");
    EXPECT_EQ(errorBoxText("Bitmap image is not valid"), "Bitmap image is not valid.");
    EXPECT_EQ(errorBoxText("Done."), "Done.");
    EXPECT_EQ(errorBoxText("O Mapa Já Existe!!!"), "O Mapa Já Existe!!!");
}
