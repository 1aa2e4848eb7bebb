// Every input kept for the fuzz harnesses (their seeds and every input that
// once found a fault) goes through the same round trips as under the fuzzer.
#include "../../../fuzz/RoundTrips.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <functional>

namespace {

struct Target {
    const char* folder;
    std::function<std::string(std::string_view)> check;
};

const Target kTargets[] = {
    {"data_packet", qmfuzz::dataPacket},       {"project_file", qmfuzz::projectFile},
    {"tree_file", qmfuzz::treeFile},           {"map_file", qmfuzz::mapFile},
    {"event_script", qmfuzz::eventScript},     {"cp1252_text", qmfuzz::cp1252Text},
    {"new_map_name", qmfuzz::newMapName},      {"tmx_file", qmfuzz::tmxFile},
    {"event_commands", qmfuzz::eventCommands},
};

TEST(FuzzCorpusReplay, EveryKeptInputRoundTrips) {
    int replayed = 0;
    for (const Target& t : kTargets) {
        const QDir dir(QStringLiteral(QM_FUZZ_DIR "/corpus/") + t.folder);
        for (const QString& name : dir.entryList(QDir::Files, QDir::Name)) {
            QFile f(dir.filePath(name));
            ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
            const QByteArray bytes = f.readAll();
            EXPECT_EQ(t.check(std::string_view(bytes.constData(), size_t(bytes.size()))), "")
                << t.folder << "/" << name.toStdString();
            ++replayed;
        }
    }
    EXPECT_GE(replayed, 8);  // at least a seed per harness
}

}  // namespace
