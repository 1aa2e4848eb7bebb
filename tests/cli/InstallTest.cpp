// The editor installed under a prefix: programs, template set, desktop entry,
// MIME type, metainfo and icons in their places, each valid for the desktop's
// own tools; the installed programs find the template set and the player
// without the build folder; the Debian package lists the desktop files.
#include "TempDir.h"

#include "model/project/RuntimeLauncher.h"
#include "model/session/Association.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace {

struct Ran {
    int status = -1;
    QString out;
    QString err;
};

Ran run(const QString& program, const QStringList& args, const QProcessEnvironment& env = {},
        const QString& workingFolder = {}, int timeoutMs = 90000) {
    QProcess p;
    p.setProcessEnvironment(env.isEmpty() ? QProcessEnvironment::systemEnvironment() : env);
    if (!workingFolder.isEmpty()) p.setWorkingDirectory(workingFolder);
    p.start(program, args);
    Ran r;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

QString buildFolder() { return QDir::cleanPath(qmtest::binFolder() + ".."); }

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const QString kAppId = "io.github.quillmark.Quillmark";
const int kIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256, 512};

}  // namespace

TEST(Install, EverythingLandsInItsPlaceAndWorksFromThere) {
    qmtest::TempDir dir;
    const QString prefix = dir.file("usr");
    const Ran installed = run("cmake", {"--install", buildFolder(), "--prefix", prefix});
    ASSERT_EQ(installed.status, 0) << installed.err.toStdString();

    for (const char* program : {"quillmark", "quillmark-cli", "quillmark-play"})
        EXPECT_TRUE(QFileInfo(prefix + "/bin/" + program).isExecutable()) << program;
    const QString share = prefix + "/share/";
    EXPECT_EQ(bytesOf(share + "quillmark/Data/Vorpex.exe"), quillmark::play::launcherScript());
    EXPECT_TRUE(QFileInfo(share + "quillmark/Data/Vorpex.exe").isExecutable());
    EXPECT_TRUE(QFileInfo::exists(share + "quillmark/Data/Tiles.xml"));
    EXPECT_TRUE(QFileInfo::exists(share + "quillmark/Imagens/null.bmp"));
    EXPECT_FALSE(QFileInfo::exists(share + "quillmark/Data/conf.ini"));

    // The desktop files, each as the desktop's own tools want it.
    const QString desktop = share + "applications/" + kAppId + ".desktop";
    const QString metainfo = share + "metainfo/" + kAppId + ".metainfo.xml";
    ASSERT_TRUE(QFileInfo::exists(desktop));
    ASSERT_TRUE(QFileInfo::exists(metainfo));
    EXPECT_TRUE(bytesOf(desktop).contains("\nMimeType=application/x-quillmark-project;\n"));
    EXPECT_TRUE(bytesOf(desktop).contains("\nExec=quillmark %f\n"));
    // the installed type is the one the editor writes for itself when not installed
    EXPECT_EQ(bytesOf(share + "mime/packages/quillmark.xml"), quillmark::mimePackageXml());
    const Ran desktopCheck = run("desktop-file-validate", {desktop});
    EXPECT_EQ(desktopCheck.status, 0) << desktopCheck.out.toStdString();
    const Ran appstream = run("appstreamcli", {"validate", "--no-net", metainfo});
    EXPECT_EQ(appstream.status, 0) << appstream.out.toStdString() << appstream.err.toStdString();
    for (const int size : kIconSizes) {
        const QImage icon(share + QString("icons/hicolor/%1x%1/apps/quillmark.png").arg(size));
        EXPECT_EQ(icon.size(), QSize(size, size)) << size;
    }
    EXPECT_TRUE(bytesOf(share + "icons/hicolor/scalable/apps/quillmark.svg").startsWith("<svg"));

    // The installed programs work without the build folder: a new project
    // comes from the installed template set, and its runtime finds the
    // installed player on the PATH.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("PATH", prefix + "/bin:/usr/bin:/bin");
    env.insert("HOME", dir.file("home"));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.remove("QUILLMARK_PLAY");
    const QString project = dir.file("Jogos/Praia.qmk");
    const Ran created = run(prefix + "/bin/quillmark-cli", {"new", project, "--name", "Praia"}, env);
    ASSERT_EQ(created.status, 0) << created.err.toStdString();
    EXPECT_TRUE(QFileInfo::exists(dir.file("Jogos/Imagens/Title.bmp")));
    EXPECT_TRUE(QFileInfo::exists(dir.file("Jogos/Data/Personagem.xml")));
    ASSERT_EQ(run(prefix + "/bin/quillmark-cli", {"new-map", project, "Praia"}, env).status, 0);
    const Ran played = run(dir.file("Jogos/Praia.exe"), {"--headless", "--trace", "--frames", "1"}, env);
    EXPECT_EQ(played.status, 0) << played.err.toStdString();
    EXPECT_TRUE(played.out.startsWith("inicio \"Praia\"")) << played.out.toStdString();
}

TEST(Install, TheDebianPackageHoldsTheDesktopFiles) {
    qmtest::TempDir dir;
    const Ran packed = run("cpack", {"-G", "DEB", "--config", buildFolder() + "/CPackConfig.cmake", "-B", dir.path()},
                           {}, dir.path(), 110000);
    ASSERT_EQ(packed.status, 0) << packed.out.toStdString() << packed.err.toStdString();
    const QStringList debs = QDir(dir.path()).entryList({"quillmark_*.deb"}, QDir::Files);
    ASSERT_EQ(debs.size(), 1) << packed.out.toStdString();
    const QString deb = dir.file(debs.front());

    const Ran contents = run("dpkg-deb", {"--contents", deb});
    ASSERT_EQ(contents.status, 0);
    for (const QString& file : QStringList{
             "./usr/bin/quillmark", "./usr/bin/quillmark-play", "./usr/share/applications/" + kAppId + ".desktop",
             "./usr/share/metainfo/" + kAppId + ".metainfo.xml", "./usr/share/mime/packages/quillmark.xml",
             QString("./usr/share/icons/hicolor/256x256/apps/quillmark.png"),
             QString("./usr/share/quillmark/Data/Vorpex.exe")})
        EXPECT_TRUE(contents.out.contains(" " + file + "\n")) << file.toStdString();

    // Its dependencies are the Debian packages of the libraries the programs use.
    const Ran depends = run("dpkg-deb", {"--field", deb, "Depends"});
    EXPECT_TRUE(depends.out.contains("libqt6gui6")) << depends.out.toStdString();
    EXPECT_TRUE(depends.out.contains("libqt6widgets6"));
    EXPECT_TRUE(depends.out.contains("libc6"));
}
