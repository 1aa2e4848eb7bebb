// Copies that never replace a file, and the folder listings one operation
// reads once: what lands on disk, with which bytes and permissions, and that
// a kept listing finds the same entries a fresh lookup finds.
#include "TempDir.h"
#include "model/core/Files.h"
#include "model/core/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace quillmark;

namespace {

mode_t modeOf(const QString& path) {
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 07777;
}

void setMode(const QString& path, mode_t mode) { ::chmod(QFile::encodeName(path).constData(), mode); }

QStringList entriesOf(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

}  // namespace

TEST(CopyWithoutReplacing, CopiesBytesAndPermissionsAndNeverReplaces) {
    qmtest::TempDir dir;
    QByteArray big(3 * 1024 * 1024 + 17, '\0');
    for (int i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 31 % 251);
    dir.write("src/runtime.exe", big);
    dir.write("src/tile.bmp", "BM tile");
    dir.write("src/empty.wav", "");
    setMode(dir.file("src/runtime.exe"), 0755);
    setMode(dir.file("src/tile.bmp"), 0640);
    QDir().mkpath(dir.file("dst"));
    dir.write("dst/kept.bmp", "the user's own");
    setMode(dir.file("dst/kept.bmp"), 0600);

    for (bool batched : {false, true}) {
        const QString to = dir.file(batched ? "dst/b-" : "dst/a-");
        CopyBatch batch;
        auto copy = [&](const QString& src, const QString& dst) {
            return batched ? batch.copyWithoutReplacing(src, dst) : copyWithoutReplacing(src, dst);
        };
        EXPECT_TRUE(copy(dir.file("src/runtime.exe"), to + "runtime.exe"));
        EXPECT_TRUE(copy(dir.file("src/tile.bmp"), to + "tile.bmp"));
        EXPECT_TRUE(copy(dir.file("src/empty.wav"), to + "empty.wav"));
        // an existing file, a second copy, a missing source, a folder as source
        EXPECT_FALSE(copy(dir.file("src/tile.bmp"), dir.file("dst/kept.bmp")));
        EXPECT_FALSE(copy(dir.file("src/runtime.exe"), to + "tile.bmp"));
        EXPECT_FALSE(copy(dir.file("src/missing.bmp"), to + "missing.bmp"));
        EXPECT_FALSE(copy(dir.file("src"), to + "folder"));
        batch.finish();

        EXPECT_EQ(dir.read("dst/" + QFileInfo(to).fileName() + "runtime.exe"), big);
        EXPECT_EQ(dir.read("dst/" + QFileInfo(to).fileName() + "tile.bmp"), "BM tile");
        EXPECT_EQ(QFileInfo(to + "empty.wav").size(), 0);
        EXPECT_EQ(modeOf(to + "runtime.exe"), 0755u);
        EXPECT_EQ(modeOf(to + "tile.bmp"), 0640u);
        EXPECT_FALSE(QFileInfo::exists(to + "missing.bmp"));
        EXPECT_FALSE(QFileInfo::exists(to + "folder"));
    }
    EXPECT_EQ(dir.read("dst/kept.bmp"), "the user's own");
    EXPECT_EQ(modeOf(dir.file("dst/kept.bmp")), 0600u);
    // nothing half-made or temporary is left beside the copies
    EXPECT_EQ(entriesOf(dir.file("dst")), QStringList({"a-empty.wav", "a-runtime.exe", "a-tile.bmp", "b-empty.wav",
                                                       "b-runtime.exe", "b-tile.bmp", "kept.bmp"}));
}

TEST(CopyWithoutReplacing, ALinkThatLeadsNowhereIsNotReplaced) {
    qmtest::TempDir dir;
    dir.write("src.bmp", "data");
    ASSERT_EQ(::symlink("nowhere.bmp", QFile::encodeName(dir.file("dangling.bmp")).constData()), 0);
    EXPECT_FALSE(copyWithoutReplacing(dir.file("src.bmp"), dir.file("dangling.bmp")));
    EXPECT_TRUE(QFileInfo(dir.file("dangling.bmp")).isSymLink());
    EXPECT_FALSE(QFileInfo::exists(dir.file("nowhere.bmp")));
}

TEST(FolderListingScope, FindsWhatAFreshLookupFindsAndFollowsTheEditorsOwnWrites) {
    qmtest::TempDir dir;
    dir.write("Imagens/Grass.BMP", "g");
    dir.write("Imagens/water.bmp", "w");
    const QString folder = dir.path();
    const QStringList asked = {"Imagens\\grass.bmp", "imagens\\WATER.bmp", "IMAGENS\\sand.bmp", "Dados\\x.xml"};
    QStringList fresh;
    for (const QString& p : asked) fresh << projectPath(folder, p);
    EXPECT_EQ(fresh[0], folder + "Imagens/Grass.BMP");

    FolderListingScope scope;
    for (int i = 0; i < asked.size(); ++i) EXPECT_EQ(projectPath(folder, asked[i]), fresh[i]);
    // entries made by the editor during the operation are found under any case
    writeFileAtomic(dir.file("Imagens/Sand.bmp"), "s");
    EXPECT_EQ(projectPath(folder, QStringLiteral("IMAGENS\\SAND.BMP")), folder + "Imagens/Sand.bmp");
    ASSERT_TRUE(copyWithoutReplacing(dir.file("Imagens/Sand.bmp"), dir.file("Imagens/Rock.bmp")));
    EXPECT_EQ(projectPath(folder, QStringLiteral("imagens\\rock.bmp")), folder + "Imagens/Rock.bmp");
    makeFolder(dir.file("Dados"));
    EXPECT_EQ(projectPath(folder, QStringLiteral("DADOS\\")), folder + "Dados/");
    {
        FolderListingScope inner;  // scopes nest
        EXPECT_EQ(projectPath(folder, QStringLiteral("imagens\\grass.bmp")), folder + "Imagens/Grass.BMP");
    }
    EXPECT_EQ(projectPath(folder, QStringLiteral("imagens\\ROCK.bmp")), folder + "Imagens/Rock.bmp");
}
