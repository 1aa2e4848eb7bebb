// A write the system refuses part-way (a full disk, a file size limit) is
// reported with the system's reason and leaves the previous file whole.
#include "TempDir.h"

#include "model/core/Error.h"
#include "model/core/Files.h"

#include <QDateTime>
#include <QFile>
#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <sys/resource.h>

using namespace quillmark;

namespace {

// Holds the size a process may give a file to `bytes` while alive.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old_);
        oldSignal_ = std::signal(SIGXFSZ, SIG_IGN);  // a refused write, not a killed process
        rlimit now = old_;
        now.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &now);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldSignal_);
    }

private:
    rlimit old_{};
    void (*oldSignal_)(int) = nullptr;
};

TEST(WriteFileAtomic, ALargeWriteCutShortSaysWhyAndKeepsTheOldFile) {
    qmtest::TempDir dir;
    dir.write("Vila.xml", "antigo");
    const QByteArray big(4 * 1024 * 1024, 'x');
    std::string message;
    {
        FileSizeLimit limit(256 * 1024);
        try {
            writeFileAtomic(dir.file("Vila.xml"), big);
        } catch (const Error& e) {
            message = e.what();
        }
    }
    EXPECT_NE(message.find("Cannot write file"), std::string::npos) << message;
    EXPECT_NE(message.find("Vila.xml"), std::string::npos) << message;
    EXPECT_EQ(message.find("Unknown error"), std::string::npos) << message;
    EXPECT_NE(message.find("File too large"), std::string::npos) << message;
    EXPECT_EQ(dir.read("Vila.xml"), "antigo");

    // Without the limit the same write goes through whole.
    writeFileAtomic(dir.file("Vila.xml"), big);
    EXPECT_EQ(dir.read("Vila.xml"), big);
}

}  // namespace

namespace {

// A write killed before its rename leaves "name.XXXXXX"; the next write of
// the same file removes such leftovers once they are old, and nothing else.
TEST(WriteFileAtomic, StaleTemporariesOfAKilledWriteGoWithTheNextWrite) {
    qmtest::TempDir dir;
    const QDateTime old = QDateTime::currentDateTimeUtc().addSecs(-3600);
    for (const char* name :
         {"Vila.png.Ab12Cd", "Vila.png.zzzzzz", "Vila.png.young1", "Vila.png.keep", "Outra.png.Ab12Cd"})
        dir.write(name, "resto");
    for (const char* name : {"Vila.png.Ab12Cd", "Vila.png.zzzzzz", "Vila.png.keep", "Outra.png.Ab12Cd"}) {
        QFile f(dir.file(name));
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(old, QFileDevice::FileModificationTime));
    }
    writeFileAtomic(dir.file("Vila.png"), "novo");
    EXPECT_FALSE(dir.exists("Vila.png.Ab12Cd"));
    EXPECT_FALSE(dir.exists("Vila.png.zzzzzz"));
    EXPECT_TRUE(dir.exists("Vila.png.young1"));   // maybe still being written
    EXPECT_TRUE(dir.exists("Vila.png.keep"));     // not the pattern
    EXPECT_TRUE(dir.exists("Outra.png.Ab12Cd"));  // another file's
    EXPECT_EQ(dir.read("Vila.png"), "novo");
}

}  // namespace
