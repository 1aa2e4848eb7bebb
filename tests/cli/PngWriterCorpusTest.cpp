// Every input kept for the PNG writer's fuzz harness (its seeds and any input
// that once found a fault) goes through the same round trip as under the
// fuzzer.
#include "../../fuzz/PngRoundTrip.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

TEST(PngWriterCorpus, EveryKeptInputRoundTrips) {
    const QDir dir(QStringLiteral(QM_FUZZ_DIR "/corpus/png_writer"));
    int replayed = 0;
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name)) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
        const QByteArray bytes = f.readAll();
        const std::string_view input(bytes.constData(), static_cast<size_t>(bytes.size()));
        EXPECT_EQ(qmfuzz::pngWriter(input), "") << name.toStdString();
        ++replayed;
    }
    EXPECT_GE(replayed, 5);
}
