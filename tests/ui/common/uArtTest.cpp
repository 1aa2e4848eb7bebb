// The editor's own pictures are drawn once and then read back from the cache
// folder: what comes back must be the very pixels drawn, and a damaged or
// missing cache file only means drawing again.
#include "ui/common/uArt.h"
#include "TempDir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace quillmark;

namespace {

QStringList storedFiles(const QString& folder) { return QDir(folder).entryList({"*.pix"}, QDir::Files); }

}  // namespace

TEST(ArtCache, PicturesReadBackAreThePicturesDrawn) {
    qmtest::TempDir first, second;
    art::setStoredPictureFolder(first.path());
    const QImage splashDrawn = art::splashPicture();
    const QImage toolDrawn = art::toolPixmap(art::Tool::Salvar, false, 2.0).toImage();
    const QImage greyDrawn = art::toolPixmap(art::Tool::Play, true).toImage();
    EXPECT_GE(storedFiles(first.path()).size(), 3);

    // read back from the files just written
    EXPECT_EQ(art::splashPicture(), splashDrawn);
    const QImage toolRead = art::toolPixmap(art::Tool::Salvar, false, 2.0).toImage();
    EXPECT_EQ(toolRead, toolDrawn);
    EXPECT_EQ(toolRead.devicePixelRatio(), 2.0);
    EXPECT_EQ(art::toolPixmap(art::Tool::Play, true).toImage(), greyDrawn);

    // the same pictures drawn afresh into another folder
    art::setStoredPictureFolder(second.path());
    EXPECT_EQ(art::splashPicture(), splashDrawn);
    EXPECT_EQ(art::toolPixmap(art::Tool::Salvar, false, 2.0).toImage(), toolDrawn);
    // different pictures are kept apart
    EXPECT_NE(art::toolPixmap(art::Tool::Zoom, false).toImage(), art::toolPixmap(art::Tool::Play, false).toImage());
    art::setStoredPictureFolder({});
}

TEST(ArtCache, DamagedFilesAreDrawnAgain) {
    qmtest::TempDir dir;
    art::setStoredPictureFolder(dir.path());
    const QImage drawn = art::splashPicture();
    const QStringList files = storedFiles(dir.path());
    ASSERT_FALSE(files.isEmpty());
    for (const QString& f : files) {
        QFile file(dir.file(f));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("QAM1 not a picture");
    }
    EXPECT_EQ(art::splashPicture(), drawn);
    for (const QString& f : files) EXPECT_GT(QFile(dir.file(f)).size(), 1000) << f.toStdString();
    art::setStoredPictureFolder({});
}
