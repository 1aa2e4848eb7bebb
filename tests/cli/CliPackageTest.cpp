// quillmark-cli package: the demo packaged, moved elsewhere and played
// headless with the build and the system's Qt out of reach; every library the
// package holds finds what it needs inside it or in the documented base set;
// an existing OUT and a project with problems are refused; a failure midway
// leaves OUT as it was.
#include "CliRunner.h"
#include "TempDir.h"

#include "model/project/RuntimeLauncher.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

using qmtest::runCli;

namespace {

struct ProgramRun {
    int status = -1;
    QString out;
    QString err;
};

ProgramRun runIn(const QString& program, const QStringList& args, const QProcessEnvironment& env) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    ProgramRun r;
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// A desktop session that has never seen Quillmark: no build folder on the
// PATH, no library path, no Qt variables, a fresh home.
QProcessEnvironment cleanDesktop(const qmtest::TempDir& dir) {
    QProcessEnvironment env;
    env.insert("PATH", "/usr/bin:/bin");
    env.insert("HOME", dir.file("home"));
    const QString runtime = dir.file("runtime");
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    env.insert("XDG_RUNTIME_DIR", runtime);
    return env;
}

bool isElf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) && f.read(4) == QByteArray("\x7f"
                                                                  "ELF");
}

QStringList needed(const QString& path) {
    QProcess objdump;
    objdump.start("objdump", {"-p", path});
    objdump.waitForFinished(60000);
    QStringList names;
    for (const QString& line : QString::fromLocal8Bit(objdump.readAllStandardOutput()).split('\n')) {
        const QStringList words = line.simplified().split(' ');
        if (words.size() == 2 && words[0] == "NEEDED") names << words[1];
    }
    return names;
}

QStringList filesUnder(const QString& folder) {
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) files << it.next();
    return files;
}

// A fresh copy of the demo project, with its runtime as an older editor left it.
QString demoIn(const qmtest::TempDir& dir) {
    EXPECT_EQ(runCli({"demo", dir.file("demo")}).status, 0);
    dir.write("demo/ValeSereno.exe", "#!/bin/sh\n# Stand-in for the game runtime, which is not bundled.\nexit 1\n");
    return dir.file("demo/ValeSereno.qmk");
}

}  // namespace

TEST(CliPackage, TheDemoPlaysFromAnywhereWithTheBuildAndTheSystemsQtHidden) {
    qmtest::TempDir dir;
    const QString project = demoIn(dir);
    const auto made = runCli({"package", project, dir.file("pacote")});
    ASSERT_EQ(made.status, 0) << made.errText();

    // What it holds: the game's files, nothing of the editor's stand-ins.
    const QString pack = dir.file("pacote/");
    EXPECT_TRUE(QFileInfo(pack + "ValeSereno").isExecutable());
    EXPECT_TRUE(QFileInfo::exists(pack + "jogo/ValeSereno.qmk"));
    QFile runtime(pack + "jogo/ValeSereno.exe");
    ASSERT_TRUE(runtime.open(QIODevice::ReadOnly));
    EXPECT_EQ(runtime.readAll(), quillmark::play::launcherScript());
    for (const char* folder : {"jogo/Mapas", "jogo/Imagens", "jogo/Sounds", "jogo/Data", "jogo/Saves"})
        EXPECT_TRUE(QFileInfo(pack + folder).isDir()) << folder;
    EXPECT_TRUE(QFileInfo::exists(pack + "jogo/Mapas/Vila.xml"));
    EXPECT_TRUE(QFileInfo::exists(pack + "jogo/Data/Tiles.xml"));
    EXPECT_TRUE(QDir(pack + "jogo/Saves").isEmpty());
    for (const QString& f : filesUnder(pack + "jogo"))
        EXPECT_FALSE(f.endsWith(".dll", Qt::CaseInsensitive)) << f.toStdString();

    // Unpacked somewhere else, under a name with a blank.
    ASSERT_TRUE(QDir().mkpath(dir.file("outro lugar")));
    ASSERT_TRUE(QDir().rename(dir.file("pacote"), dir.file("outro lugar/Vale Sereno")));
    const QString moved = dir.file("outro lugar/Vale Sereno/");

    QProcessEnvironment env = cleanDesktop(dir);
    env.insert("LD_DEBUG", "libs");
    env.insert("LD_DEBUG_OUTPUT", dir.file("ld"));
    const ProgramRun played = runIn(moved + "ValeSereno", {"--headless", "--trace", "--frames", "2"}, env);
    ASSERT_EQ(played.status, 0) << played.err.toStdString();
    EXPECT_TRUE(played.out.startsWith("inicio \"Vale Sereno\" Vila.xml")) << played.out.toStdString();

    // Every object loaded came from the package, except the base system's.
    QStringList loaded;
    for (const QString& log : QDir(dir.path()).entryList({"ld.*"}, QDir::Files)) {
        QFile f(dir.file(log));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        for (const QString& line : QString::fromLocal8Bit(f.readAll()).split('\n'))
            if (line.contains("calling init: ")) loaded << line.section("calling init: ", 1).trimmed();
    }
    ASSERT_FALSE(loaded.isEmpty());
    bool qtFromPackage = false;
    for (const QString& object : loaded) {
        const bool inside = object.startsWith(moved);
        if (inside && object.contains("libQt6Gui")) qtFromPackage = true;
        if (!inside) {
            EXPECT_FALSE(object.contains("Qt6") || object.contains("qt6") || object.contains("icu") ||
                         object.contains("pugixml") || object.contains(QDir(qmtest::binFolder()).absolutePath()))
                << object.toStdString();
        }
    }
    EXPECT_TRUE(qtFromPackage);

    // The game's own runtime finds the player packaged beside it, too.
    env.remove("LD_DEBUG");
    const ProgramRun byRuntime = runIn(moved + "jogo/ValeSereno.exe", {"--headless", "--trace", "--frames", "1"}, env);
    EXPECT_EQ(byRuntime.status, 0) << byRuntime.err.toStdString();
    EXPECT_TRUE(byRuntime.out.startsWith("inicio \"Vale Sereno\""));

    // Every library resolves inside the package or to the documented base set.
    QFile listFile(moved + "player/bibliotecas-do-sistema.txt");
    ASSERT_TRUE(listFile.open(QIODevice::ReadOnly));
    QStringList base;
    for (const QString& line : QString::fromUtf8(listFile.readAll()).split('\n'))
        if (!line.isEmpty() && !line.startsWith('#')) base << line;
    EXPECT_TRUE(base.contains("libc.so.6"));
    for (const QString& name : base) EXPECT_FALSE(name.contains("Qt6") || name.contains("icu")) << name.toStdString();
    QProcessEnvironment lddEnv = env;
    lddEnv.insert("LD_LIBRARY_PATH", moved + "player/lib");
    int elves = 0;
    for (const QString& file : filesUnder(moved + "player")) {
        if (!isElf(file)) continue;
        ++elves;
        for (const QString& name : needed(file))
            EXPECT_TRUE(base.contains(name) || QFileInfo::exists(moved + "player/lib/" + name))
                << file.toStdString() << " needs " << name.toStdString();
        const ProgramRun ldd = runIn("/usr/bin/ldd", {file}, lddEnv);
        EXPECT_FALSE(ldd.out.contains("not found")) << file.toStdString() << "\n" << ldd.out.toStdString();
    }
    EXPECT_GT(elves, 5);
}

TEST(CliPackage, AnExistingOutOrAProjectWithProblemsIsRefusedUnlessAsked) {
    qmtest::TempDir dir;
    const QString project = demoIn(dir);
    dir.write("pacote/guardado.txt", "meu");

    const auto refused = runCli({"package", project, dir.file("pacote")});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.errText().find("--replace"), std::string::npos) << refused.errText();
    EXPECT_EQ(dir.read("pacote/guardado.txt"), "meu");

    // A project with problems: each one listed, nothing written without --force.
    QFile::remove(dir.file("demo/Mapas/Caverna.xml"));
    const auto problems = runCli({"package", project, dir.file("novo")});
    EXPECT_EQ(problems.status, 1);
    EXPECT_NE(problems.errText().find("--force"), std::string::npos);
    EXPECT_NE(problems.errText().find("Caverna"), std::string::npos) << problems.errText();
    EXPECT_FALSE(QFileInfo::exists(dir.file("novo")));
    const auto forced = runCli({"package", project, dir.file("novo"), "--force"});
    EXPECT_EQ(forced.status, 0) << forced.errText();
    EXPECT_NE(forced.errText().find("Caverna"), std::string::npos);
    EXPECT_TRUE(QFileInfo::exists(dir.file("novo/jogo/Mapas/Vila.xml")));

    // --replace puts a whole new package in the old one's place.
    const auto replaced = runCli({"package", project, dir.file("pacote"), "--replace", "--force"});
    EXPECT_EQ(replaced.status, 0) << replaced.errText();
    EXPECT_FALSE(QFileInfo::exists(dir.file("pacote/guardado.txt")));
    EXPECT_TRUE(QFileInfo(dir.file("pacote/ValeSereno")).isExecutable());

    // --tar: one archive holding one folder named like it.
    const auto tar = runCli({"package", project, dir.file("Vale.tar.gz"), "--tar", "--force"});
    ASSERT_EQ(tar.status, 0) << tar.errText();
    QProcess list;
    list.start("tar", {"-tzf", dir.file("Vale.tar.gz")});
    ASSERT_TRUE(list.waitForFinished(60000));
    const QStringList entries = QString::fromUtf8(list.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    EXPECT_TRUE(entries.contains("Vale/ValeSereno"));
    EXPECT_TRUE(entries.contains("Vale/jogo/ValeSereno.qmk"));
    EXPECT_TRUE(entries.contains("Vale/player/bin/quillmark-play"));
    for (const QString& e : entries) EXPECT_TRUE(e.startsWith("Vale/")) << e.toStdString();
    EXPECT_EQ(runCli({"package", project, dir.file("Vale.tar.gz"), "--tar", "--force"}).status, 1);

    // Nothing of the work left beside OUT.
    for (const QString& name : QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
        EXPECT_FALSE(name.contains("quillmark-package")) << name.toStdString();
}

TEST(CliPackage, AFailureMidwayLeavesOutAsItWas) {
    qmtest::TempDir dir;
    const QString project = demoIn(dir);
    ASSERT_EQ(runCli({"package", project, dir.file("pacote")}).status, 0);

    // A file of the game that cannot be read: a link that leads nowhere.
    ASSERT_TRUE(QFile::link(dir.file("nada.bmp"), dir.file("demo/Imagens/Quebrada.bmp")));
    const auto failed = runCli({"package", project, dir.file("pacote"), "--replace"});
    EXPECT_EQ(failed.status, 1);
    EXPECT_NE(failed.errText().find("Quebrada.bmp"), std::string::npos) << failed.errText();
    EXPECT_TRUE(QFileInfo(dir.file("pacote/ValeSereno")).isExecutable());
    EXPECT_TRUE(QFileInfo::exists(dir.file("pacote/jogo/Mapas/Vila.xml")));
    EXPECT_FALSE(QFileInfo::exists(dir.file("pacote/jogo/Imagens/Quebrada.bmp")));
    const auto tarFailed = runCli({"package", project, dir.file("Vale.tar.gz"), "--tar"});
    EXPECT_EQ(tarFailed.status, 1);
    EXPECT_FALSE(QFileInfo::exists(dir.file("Vale.tar.gz")));
    for (const QString& name : QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
        EXPECT_FALSE(name.contains("quillmark-package")) << name.toStdString();

    // The project itself is only read: it still opens and checks clean.
    QFile::remove(dir.file("demo/Imagens/Quebrada.bmp"));
    EXPECT_EQ(runCli({"check", project}).status, 0);
}
