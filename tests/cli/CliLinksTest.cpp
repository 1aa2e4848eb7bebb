// The command-line writers refuse a link leading out of the project, as the
// editor's do, and leave the file outside as it was.
#include "CliRunner.h"
#include "ProjectFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

TEST(CliLinks, ResaveAndNewWriteNothingThroughALinkOut) {
    qmtest::TempDir outside;
    {
        qmtest::ProjectFixture fixture;
        fixture.addMap("Vila.xml");
        const QByteArray map = fixture.dir.read("Mapas/Vila.xml");
        outside.write("Vila.xml", map);
        QFile::remove(fixture.dir.file("Mapas/Vila.xml"));
        ASSERT_TRUE(QFile::link(outside.file("Vila.xml"), fixture.dir.file("Mapas/Vila.xml")));
        const qmtest::CliResult resave = qmtest::runCli({"resave", fixture.projectFile(), "Vila.xml"});
        EXPECT_NE(resave.status, 0);
        EXPECT_NE(resave.errText().find("link simbólico"), std::string::npos) << resave.errText();
        EXPECT_EQ(outside.read("Vila.xml"), map);
        EXPECT_TRUE(QFileInfo(fixture.dir.file("Mapas/Vila.xml")).isSymLink());
    }
    {
        qmtest::TempDir target;
        QDir().mkpath(outside.file("imagens"));
        ASSERT_TRUE(QFile::link(outside.file("imagens"), target.file("Imagens")));
        const qmtest::CliResult made = qmtest::runCli({"new", target.file("Novo.qmk")});
        EXPECT_NE(made.status, 0);
        EXPECT_NE(made.errText().find("Imagens"), std::string::npos) << made.errText();
        EXPECT_TRUE(QDir(outside.file("imagens")).isEmpty());
        EXPECT_FALSE(target.exists("Novo.qmk"));
    }
}
