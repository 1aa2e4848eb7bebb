// quillmark-template OUTDIR: draws the template set a new project copies into
// OUTDIR (the editor folder): Data/ with the five tables, the sounds, the game
// game launcher and its libraries, and Imagens/ with every picture.
#include "Template.h"

#include "model/core/Files.h"
#include "model/core/Picture.h"
#include "model/project/RuntimeLauncher.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>
#include <exception>
#include <filesystem>

namespace tmpl {

void put(const QString& path, const QByteArray& bytes) {
    // Written beside its place and renamed over it: a build that stops midway
    // leaves whole files. The files are build output, so they are not forced to
    // disk one by one as the editor's own saves are.
    const QString temp = path + QString(".~%1").arg(QCoreApplication::applicationPid());
    QFile f(temp);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + temp.toStdString() + ": " + f.errorString().toStdString());
    f.close();
    std::error_code ec;
    std::filesystem::rename(temp.toStdString(), path.toStdString(), ec);
    if (ec) {
        QFile::remove(temp);
        throw std::runtime_error("cannot write " + path.toStdString() + ": " + ec.message());
    }
}

void writeRuntime(const QString& editor) {
    // The game runtime a new project copies is the launcher of quillmark-play,
    // which finds the player without any path of this machine. The libraries
    // beside it are stand-ins that keep a new project's layout complete.
    const QString exe = editor + "Data/Vorpex.exe";
    put(exe, quillmark::play::launcherScript());
    QFile::setPermissions(exe, QFile::permissions(exe) | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther);
    auto library = [](const QString& name) {
        return QByteArray("Stand-in for the library ") + name.toUtf8() +
               " used by the game runtime; it is not bundled with the editor.\n";
    };
    put(editor + "VeroviZBlue.dll", library("VeroviZBlue.dll"));
    for (const char* name :
         {"VeroviZBlue.dll", "bass.dll", "basscd.dll", "bassmidi.dll", "basswma.dll", "Gen_VisDrawer.dll"})
        put(editor + "Data/" + name, library(name));
}

}  // namespace tmpl

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        // keeps Qt quiet when the build runs without a session
        const QString runtime = QDir::tempPath() + "/quillmark-template-runtime";
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
    }
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: quillmark-template OUTDIR\n");
        return 2;
    }
    QElapsedTimer timer;
    timer.start();
    try {
        QString out = QDir(QString::fromLocal8Bit(argv[1])).absolutePath() + '/';
        const QString data = out + "Data/", images = out + "Imagens/";
        quillmark::makeFolder(data);
        quillmark::makeFolder(images);
        auto save = [&](const QString& file, const QImage& image) {
            tmpl::put(images + file, quillmark::Picture::encode(image, "bmp"));
        };

        const std::vector<tmpl::TileArt> tiles = tmpl::drawTiles();
        if (tiles.size() != 144) throw std::runtime_error("the palette must hold 144 tiles");
        for (const tmpl::TileArt& t : tiles) {
            save(t.file, t.frames[0]);
            if (t.code >= 180) {
                const QString n = QString::number(t.code - 179);
                save("TileAni" + n + "02.bmp", t.frames[1]);
                save("TileAni" + n + "03.bmp", t.frames[2]);
            }
        }
        const std::vector<tmpl::NamedImage> hero = tmpl::drawHero();
        for (const auto& h : hero) save(h.file, h.image);
        // the first brush of the editor is the tile 'G'
        for (const auto& s : tmpl::drawScreens(tiles['G' - 48].frames[0])) save(s.file, s.image);

        tmpl::writeTables(data, tiles, hero);
        tmpl::writeSounds(data);
        tmpl::writeRuntime(out);
        std::printf("quillmark-template: template set written to %s in %lld ms\n", qPrintable(out),
                    static_cast<long long>(timer.elapsed()));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quillmark-template: %s\n", e.what());
        return 1;
    }
    return 0;
}
