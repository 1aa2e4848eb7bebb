// The one file-name rule: what every name that becomes a file or folder in a
// project must be, and the one list of reserved device names.
#include "model/core/Names.h"

#include <gtest/gtest.h>

using namespace quillmark;

TEST(FileNameRule, PlainNamesAndTheirRefusals) {
    for (const char* good : {"CharDown.bmp", "Slime", "Lobo Cinza", "a.b.c", "conde.bmp", "com10", "\xC1gua"})
        EXPECT_TRUE(isPlainFileName(good)) << good;
    for (const char* bad : {"", ".", "..", "..\\x.bmp", "a/b", "a\\b", "c:x", "x?.bmp", "a|b", "a\tb", "NUL", "nul.bmp",
                            "Com1", "lpt9.txt", "con .txt", "\x7f"})
        EXPECT_FALSE(isPlainFileName(bad)) << bad;
}

TEST(FileNameRule, OneListOfReservedNamesWhateverTheCaseOrExtension) {
    for (const char* reserved : {"CON", "prn", "Aux", "nul", "COM1", "com9", "LPT1", "lpt9", "con.xml", "NUL .bmp"})
        EXPECT_TRUE(isReservedDeviceName(reserved)) << reserved;
    for (const char* free : {"COM0", "COM10", "LPT", "CONSOLE", "Conde", "xcon", "nul2", "auxiliar.bmp"})
        EXPECT_FALSE(isReservedDeviceName(free)) << free;
    // record folders refuse them with a message naming the name and the kind
    EXPECT_EQ(folderNameProblem("Lpt3", "item"),
              "O nome \"Lpt3\" é reservado pelo sistema e não pode ser usado como nome de item.");
}
