// The packaged demo stays small enough to hand out: ICU travels as its empty
// data (the player needs none), and the packaged game, started in a session
// that has never seen Quillmark, still shows its title screen and its menu,
// whose texts go through Qt's own tables.
#include "CliRunner.h"
#include "TempDir.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

using qmtest::runCli;

TEST(PackageSize, TheDemoPackageCarriesICUsEmptyDataAndStaysUnderSixtyMegabytes) {
    qmtest::TempDir dir;
    ASSERT_EQ(runCli({"demo", dir.file("demo")}).status, 0);
    ASSERT_EQ(runCli({"package", dir.file("demo/ValeSereno.qmk"), dir.file("out")}).status, 0);

    qint64 total = 0;
    QDirIterator it(dir.file("out"), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        if (!it.fileInfo().isSymLink()) total += it.fileInfo().size();
    }
    EXPECT_LE(total, 60LL * 1024 * 1024) << total;
    const QStringList icuData = QDir(dir.file("out/player/lib")).entryList({"libicudata.so.*"});
    ASSERT_EQ(icuData.size(), 1);
    EXPECT_LT(QFileInfo(dir.file("out/player/lib/") + icuData[0]).size(), 100 * 1024);

    // the title, a new game, the menu's "Status" and a save, in a clean session
    QProcessEnvironment env;
    env.insert("PATH", "/usr/bin:/bin");
    env.insert("HOME", dir.file("home"));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    const QString runtime = dir.file("runtime");
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    env.insert("XDG_RUNTIME_DIR", runtime);
    QProcess game;
    game.setProcessEnvironment(env);
    game.start(dir.file("out/ValeSereno"), {"--headless", "--title", "--trace", "--keys", "AP3B41", "--frames", "600",
                                            "--screenshot", dir.file("status.png")});
    ASSERT_TRUE(game.waitForFinished(60000));
    const QString out = QString::fromUtf8(game.readAllStandardOutput());
    EXPECT_EQ(game.exitCode(), 0) << game.readAllStandardError().toStdString();
    EXPECT_TRUE(out.contains("titulo: [Novo Jogo] [Sair]")) << out.toStdString();
    EXPECT_TRUE(out.contains("salvo em Saves\\Save1.sav")) << out.toStdString();
    EXPECT_TRUE(QFileInfo::exists(dir.file("out/jogo/Saves/Save1.sav")));
    EXPECT_TRUE(QFileInfo::exists(dir.file("status.png")));
}
