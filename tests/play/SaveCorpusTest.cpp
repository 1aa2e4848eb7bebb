// The saved-game fuzz corpus (fuzz/corpus/save_file): every seed and every
// input that ever found a fault reads to a save or a clear refusal, and a save
// read writes back to itself.
#include "../../fuzz/SaveRoundTrip.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

TEST(SaveCorpus, EveryInputReadsOrIsRefusedAndRoundTrips) {
    const QDir dir(QStringLiteral(QM_FUZZ_DIR "/corpus/save_file"));
    const QStringList files = dir.entryList(QDir::Files);
    ASSERT_GE(files.size(), 5);
    int read = 0;
    for (const QString& name : files) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
        const QByteArray bytes = f.readAll();
        EXPECT_EQ(qmfuzz::saveFile(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))), "")
            << name.toStdString();
        try {
            quillmark::play::decodeSave(bytes, "x");
            ++read;
        } catch (const quillmark::Error&) {
        }
    }
    EXPECT_GE(read, 2);  // the seeds that are saves are read, not only refused
}
