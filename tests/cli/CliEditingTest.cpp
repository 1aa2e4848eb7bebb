// new-map --size and characters in render: the command line makes the maps
// the new-map dialog makes and draws what the canvas shows.
#include "CliRunner.h"
#include "ProjectFixture.h"

#include "model/core/MapFile.h"
#include "model/database/DataModule.h"
#include "model/database/MapSaving.h"

#include <QDir>
#include <QImage>
#include <gtest/gtest.h>

using qmtest::runCli;

TEST(CliNewMapSize, AnySideFromOneToAHundred) {
    qmtest::TempDir dir;
    ASSERT_EQ(runCli({"new", dir.file("Jogo.qmk"), "--name", "Aventura"}).status, 0);
    for (const auto& [name, size] : {std::pair<const char*, int>{"Cela", 1}, {"Mundo", 100}, {"Vila", 14}}) {
        QStringList args{"new-map", dir.file("Jogo.qmk"), QString::fromLatin1(name)};
        if (std::string(name) != "Vila") args << "--size" << QString::number(size);
        const auto r = runCli(args);
        ASSERT_EQ(r.status, 0) << r.errText();
        quillmark::TDataModule1 data;
        data.pointAt(data.cdsTiles, dir.path());
        quillmark::MapGrid grid;
        grid.newGrid(size);
        EXPECT_EQ(dir.read(QStringLiteral("Mapas/%1.xml").arg(name)).toStdString(), quillmark::mapFileText(grid, data))
            << name;
    }
    const QByteArray project = dir.read("Jogo.qmk");
    // sizes a map file cannot hold are usage errors that change nothing
    for (const char* bad : {"0", "101", "dez", ""}) {
        const auto r = runCli({"new-map", dir.file("Jogo.qmk"), "Outro", "--size", bad});
        EXPECT_EQ(r.status, 2) << bad;
        EXPECT_NE(r.errText().find("--size"), std::string::npos) << r.errText();
        EXPECT_FALSE(dir.exists("Mapas/Outro.xml")) << bad;
        EXPECT_EQ(dir.read("Jogo.qmk"), project) << bad;
    }
}

TEST(CliRenderCharacters, ACharacterStandsOnItsCellUnlessObjectsAreLeftOut) {
    qmtest::ProjectFixture project;
    quillmark::MapGrid grid;
    grid.newGrid(3);
    grid.setEvento(2, 2, "AddChar:Zeca|2");
    project.addMap("Vila.xml", grid);
    QImage frame(40, 40, QImage::Format_RGB32);
    frame.fill(QColor(255, 0, 255));
    for (int y = 8; y < 36; ++y)
        for (int x = 12; x < 28; ++x) frame.setPixel(x, y, qRgb(220, 20, 20));
    ASSERT_TRUE(QDir(project.folder()).mkpath("Imagens/zeca"));  // found whatever its letter case
    ASSERT_TRUE(frame.save(project.folder() + "Imagens/zeca/chardown01.bmp", "BMP"));

    const QString out = project.dir.file("vila.png");
    auto r = runCli({"render", project.projectFile(), "Vila.xml", out});
    ASSERT_EQ(r.status, 0) << r.errText();
    QImage shown(out);
    ASSERT_EQ(shown.size(), QSize(120, 120));
    EXPECT_EQ(shown.pixel(40 + 20, 40 + 15) & 0xFFFFFF, qRgb(220, 20, 20) & 0xFFFFFF);
    // the left-out colour shows the tile beneath, as cell (2, 1) shows it
    EXPECT_EQ(shown.pixel(40 + 5, 40 + 20), shown.pixel(5, 40 + 20));

    r = runCli({"render", project.projectFile(), "Vila.xml", out, "--no-objects"});
    ASSERT_EQ(r.status, 0) << r.errText();
    shown = QImage(out);
    EXPECT_EQ(shown.copy(40, 40, 40, 40), shown.copy(0, 40, 40, 40));
}
