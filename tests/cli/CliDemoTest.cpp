// The demonstration project: complete, sound by `check`, the same on every run,
// and never generated over a folder that holds something else.
#include "CliRunner.h"

#include <QDirIterator>
#include <QFile>
#include <map>

#include <gtest/gtest.h>

using qmtest::runCli;

namespace {

std::map<QString, QByteArray> filesUnder(const QString& folder) {
    std::map<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        files[QDir(folder).relativeFilePath(path)] = f.readAll();
    }
    return files;
}

}  // namespace

TEST(CliDemo, IsACompleteSoundProject) {
    qmtest::TempDir dir;
    const QString folder = dir.file("demo");
    const auto r = runCli({"demo", folder});
    ASSERT_EQ(r.status, 0) << r.errText();
    const QString project = folder + "/ValeSereno.qmk";

    const auto check = runCli({"check", project});
    EXPECT_EQ(check.status, 0) << check.outText();

    const QByteArray file = dir.read("demo/ValeSereno.qmk");
    EXPECT_TRUE(file.contains("\r\nMapas:Vila.xml%Floresta.xml%Caverna.xml%\r\nMapa Inicial:Vila.xml\r\n"))
        << file.data();

    const auto vila = runCli({"dump", project, "Vila.xml"});
    ASSERT_EQ(vila.status, 0);
    const std::string json = vila.outText();
    EXPECT_NE(json.find("\"text\": \"AddChar:Lena|2\""), std::string::npos);
    EXPECT_NE(json.find("ShowMessage:"), std::string::npos);
    EXPECT_NE(json.find("ShowDialog:Face"), std::string::npos);
    EXPECT_NE(json.find("IniciaChuva:"), std::string::npos);
    EXPECT_NE(json.find("\"size\": 14"), std::string::npos);
    // Both layers are painted: some upper tiles are transparent things over other ground.
    EXPECT_NE(json.find("120"), std::string::npos);

    for (const char* f : {"CharDown01.bmp", "CharUp03.bmp", "CharFace.bmp", "Evento.dat"})
        EXPECT_TRUE(dir.exists(QString("demo/Imagens/Lena/") + f)) << f;
    EXPECT_TRUE(dir.read("demo/Imagens/Lena/Evento.dat").startsWith("OnActionPress>\r\nShowDialog:FaceLena.bmp|"));
    EXPECT_TRUE(dir.exists("demo/Imagens/FaceLena.bmp"));
    // Two more villagers, and the hero starts at the inn's door (row 5, column 4).
    for (const char* who : {"Pedro", "Tomas"}) {
        EXPECT_TRUE(dir.exists(QString("demo/Imagens/%1/Evento.dat").arg(who))) << who;
        EXPECT_TRUE(dir.exists(QString("demo/Imagens/Face%1.bmp").arg(who))) << who;
    }
    EXPECT_NE(json.find("\"text\": \"AddChar:Pedro|12\""), std::string::npos);
    EXPECT_TRUE(file.endsWith("\r\nChar X:280\r\nChar Y:220\r\n")) << file.data();

    // Every map draws.
    for (const char* map : {"Vila.xml", "Floresta.xml", "Caverna.xml"}) {
        const auto render = runCli({"render", project, map, dir.file("map.png")});
        EXPECT_EQ(render.status, 0) << map << render.errText();
    }
}

TEST(CliDemo, IsTheSameOnEveryRunAndReplacesOnlyAnEarlierDemo) {
    qmtest::TempDir dir;
    const QString folder = dir.file("demo");
    ASSERT_EQ(runCli({"demo", folder}).status, 0);
    const auto first = filesUnder(folder);
    dir.write("demo/Mapas/Extra.xml", "left over");
    ASSERT_EQ(runCli({"demo", folder}).status, 0);
    EXPECT_TRUE(filesUnder(folder) == first) << "the earlier demo is replaced whole, byte for byte";

    dir.write("other/notes.txt", "mine");
    const auto refused = runCli({"demo", dir.file("other")});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(dir.read("other/notes.txt"), "mine");
    EXPECT_FALSE(dir.exists("other/ValeSereno.qmk"));
}
