// package: a folder (or a .tar.gz of it) that plays a project's game on a
// desktop that has never seen Quillmark. It holds
//   <Jogo>                  the launcher, named after the game's project file;
//   jogo/                   the project's files the game reads: the project
//                           file, its runtime (the current launcher), the
//                           folder Data (the tables, without the runtime's
//                           stand-in libraries), Mapas, Imagens, Sounds and an
//                           empty Saves;
//   player/quillmark-play   starts player/bin/quillmark-play with the
//                           libraries of player/lib and the Qt plugins of
//                           player/plugins (player/bin/qt.conf points Qt there
//                           and nowhere else).
// Every shared library the player and its plugins need is copied, except the
// base set every desktop system has (kBaseLibraries below): the C and C++
// runtimes, zlib, the graphics driver stack (which must be the machine's own),
// the X client core, fontconfig and FreeType, D-Bus, GLib and the sound
// system. What only those base libraries need is left to the system too.
// ICU's 30 MB of data travel as ICU's empty data instead (built with the
// programs, dist/IcuDataStub.cpp): the player uses no ICU service that needs it.
#include "apps/cli/Cli.h"

#include "model/core/Error.h"
#include "model/core/Files.h"
#include "model/core/Paths.h"
#include "model/core/Text.h"
#include "model/project/RuntimeLauncher.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QProcess>
#include <QRegularExpression>

#include <cstring>
#include <elf.h>
#include <map>
#include <set>

namespace quillmark::cli {

namespace {

// The libraries a desktop system provides (by their names as programs ask for them).
const std::set<std::string>& baseLibraries() {
    static const std::set<std::string> base = {
        // the C and C++ runtimes
        "ld-linux-x86-64.so.2", "libc.so.6", "libm.so.6", "libdl.so.2", "libpthread.so.0", "librt.so.1",
        "libresolv.so.2", "libutil.so.1", "libstdc++.so.6", "libgcc_s.so.1", "libz.so.1", "libzstd.so.1",
        // the graphics driver stack
        "libGL.so.1", "libGLX.so.0", "libOpenGL.so.0", "libEGL.so.1", "libGLdispatch.so.0", "libgbm.so.1",
        "libdrm.so.2", "libvulkan.so.1",
        // the X and Wayland client core
        "libX11.so.6", "libX11-xcb.so.1", "libxcb.so.1", "libXau.so.6", "libXdmcp.so.6", "libXext.so.6",
        "libwayland-client.so.0", "libwayland-cursor.so.0", "libwayland-egl.so.1",
        // the X protocol extensions every X server's clients use, the keyboard
        // tables and the X session
        "libxcb-render.so.0", "libxcb-shm.so.0", "libxcb-randr.so.0", "libxcb-xfixes.so.0", "libxcb-shape.so.0",
        "libxcb-sync.so.1", "libxcb-xkb.so.1", "libxcb-glx.so.0", "libxkbcommon.so.0", "libxkbcommon-x11.so.0",
        "libXrender.so.1", "libXfixes.so.3", "libXi.so.6", "libXcursor.so.1", "libXrandr.so.2", "libXinerama.so.1",
        "libXss.so.1", "libXxf86vm.so.1", "libICE.so.6", "libSM.so.6",
        // the core system libraries (Debian's required ones)
        "libbsd.so.0", "libmd.so.0", "libuuid.so.1", "libsystemd.so.0", "libgcrypt.so.20", "libgpg-error.so.0",
        "liblzma.so.5", "liblz4.so.1", "libcap.so.2", "libtinfo.so.6", "libselinux.so.1",
        // fonts, text shaping, PNG and JPEG pictures
        "libfontconfig.so.1", "libfreetype.so.6", "libexpat.so.1", "libharfbuzz.so.0", "libgraphite2.so.3",
        "libpng16.so.16", "libjpeg.so.62",
        // the desktop's message bus, GLib and sound
        "libdbus-1.so.3", "libglib-2.0.so.0", "libgobject-2.0.so.0", "libgthread-2.0.so.0", "libgio-2.0.so.0",
        "libgmodule-2.0.so.0", "libasound.so.2", "libpulse.so.0", "libpulse-simple.so.0",
        // what the sound server's own file library brings, whose names every
        // Debian since 12 keeps (FLAC's changed, so it travels in the package)
        "libsndfile.so.1", "libogg.so.0", "libvorbis.so.0", "libvorbisenc.so.2", "libopus.so.0", "libmpg123.so.0",
        "libmp3lame.so.0"};
    return base;
}

// The Qt plugins a game window needs: the X platform (a Wayland desktop runs
// it through XWayland), the offscreen one for the test mode, the GL glue of
// X, the keyboard's compose input and the picture formats a project may hold.
const std::vector<QString>& pluginFiles() {
    static const std::vector<QString> files = {
        "platforms/libqxcb.so",
        "platforms/libqoffscreen.so",
        "platforms/libqminimal.so",
        "xcbglintegrations/libqxcb-glx-integration.so",
        "xcbglintegrations/libqxcb-egl-integration.so",
        "platforminputcontexts/libcomposeplatforminputcontextplugin.so",
        "imageformats/libqjpeg.so",
        "imageformats/libqgif.so",
        "imageformats/libqico.so",
    };
    return files;
}

std::string native(const QString& path) { return QDir::toNativeSeparators(path).toStdString(); }

[[noreturn]] void failWith(const std::string& text) { throw Error(text); }

// The names an ELF file asks the dynamic loader for (its DT_NEEDED entries).
std::vector<std::string> neededLibraries(const QString& path) {
    const QByteArray bytes = readFile(path);
    const auto bad = [&] { failWith("\"" + native(path) + "\" não é uma biblioteca ELF de 64 bits legível"); };
    if (bytes.size() < static_cast<qsizetype>(sizeof(Elf64_Ehdr)) || std::memcmp(bytes.data(), ELFMAG, SELFMAG) != 0 ||
        bytes[EI_CLASS] != ELFCLASS64)
        bad();
    const char* base = bytes.constData();
    const auto size = static_cast<size_t>(bytes.size());
    Elf64_Ehdr header;
    std::memcpy(&header, base, sizeof header);
    auto section = [&](size_t i) {
        Elf64_Shdr s;
        const size_t at = header.e_shoff + i * sizeof(Elf64_Shdr);
        if (at + sizeof s > size) bad();
        std::memcpy(&s, base + at, sizeof s);
        return s;
    };
    std::vector<std::string> needed;
    for (size_t i = 0; i < header.e_shnum; ++i) {
        const Elf64_Shdr dynamic = section(i);
        if (dynamic.sh_type != SHT_DYNAMIC) continue;
        const Elf64_Shdr strings = section(dynamic.sh_link);
        if (dynamic.sh_offset + dynamic.sh_size > size || strings.sh_offset + strings.sh_size > size) bad();
        for (size_t at = 0; at + sizeof(Elf64_Dyn) <= dynamic.sh_size; at += sizeof(Elf64_Dyn)) {
            Elf64_Dyn entry;
            std::memcpy(&entry, base + dynamic.sh_offset + at, sizeof entry);
            if (entry.d_tag == DT_NULL) break;
            if (entry.d_tag != DT_NEEDED || entry.d_un.d_val >= strings.sh_size) continue;
            const char* name = base + strings.sh_offset + entry.d_un.d_val;
            needed.emplace_back(name, strnlen(name, strings.sh_size - entry.d_un.d_val));
        }
    }
    return needed;
}

// Where the dynamic loader finds each library a program needs, as ldd reports it.
std::map<std::string, QString> resolvedLibraries(const QString& path) {
    QProcess ldd;
    ldd.start(QStringLiteral("ldd"), {path});
    if (!ldd.waitForFinished(60000) || ldd.exitStatus() != QProcess::NormalExit)
        failWith("ldd não pôde ler \"" + native(path) + "\"");
    std::map<std::string, QString> found;
    static const QRegularExpression line(QStringLiteral("^\\s*(\\S+)\\s+=>\\s+(.*?)\\s+\\(0x[0-9a-f]+\\)\\s*$"));
    for (const QString& text : QString::fromLocal8Bit(ldd.readAllStandardOutput()).split('\n')) {
        if (text.contains(QLatin1String("=> not found")))
            failWith("a biblioteca " + text.trimmed().section(' ', 0, 0).toStdString() + " de \"" + native(path) +
                     "\" não foi encontrada neste sistema");
        const auto m = line.match(text);
        if (m.hasMatch()) found.emplace(m.captured(1).toStdString(), m.captured(2));
    }
    return found;
}

void copyFile(const QString& from, const QString& to) {
    makeFolder(QFileInfo(to).absolutePath());
    QFile::remove(to);
    if (!QFile::copy(from, to))
        failWith("Não foi possível copiar \"" + native(from) + "\" para \"" + native(to) + "\"");
    QFile::setPermissions(to, QFile::permissions(from) | QFile::WriteOwner);
}

// The player without the debugging information a developer's build carries
// (strip, when the system has it; else the file as it is).
void copyStripped(const QString& from, const QString& to) {
    copyFile(from, to);
    QProcess strip;
    strip.start(QStringLiteral("strip"), {QStringLiteral("--strip-unneeded"), to});
    strip.waitForFinished(60000);
}

void writeExecutable(const QString& path, const QByteArray& text) {
    writeFileAtomic(path, text);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                                    QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
}

QByteArray shellQuoted(const QByteArray& text) {
    QByteArray out = "'";
    for (const char c : text) out += c == '\'' ? QByteArray("'\\''") : QByteArray(1, c);
    return out + "'";
}

// A file of a project folder the game reads, by folder (letter case as on disk).
bool isGameFile(const QString& relative) {
    const QString name = QFileInfo(relative).fileName();
    if (name.startsWith('.') || name.endsWith('~')) return false;
    const QString top = relative.section('/', 0, 0).toLower();
    if (top == QLatin1String("data")) return !name.endsWith(QLatin1String(".dll"), Qt::CaseInsensitive);
    return top == QLatin1String("mapas") || top == QLatin1String("imagens") || top == QLatin1String("sounds");
}

void copyGame(const ProjectState& project, const QString& game) {
    const QDir source(project.ProjectFolder);
    makeFolder(game);
    // System entries too: a link that leads nowhere fails the copy rather
    // than leaving a picture out of the game unnoticed.
    QDirIterator it(project.ProjectFolder, QDir::Files | QDir::System | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString relative = source.relativeFilePath(path);
        if (relative.contains('/') && isGameFile(relative)) copyFile(path, game + relative);
    }
    for (const char* folder : {"Data", "Mapas", "Imagens", "Sounds", "Saves"}) makeFolder(game + folder);
    const QFileInfo projectFile(project.ProjectFile);
    copyFile(projectFile.absoluteFilePath(), game + projectFile.fileName());
    play::writeLauncher(game + QFileInfo(project.RuntimePath).fileName());
}

// The player, its plugins and every library they need outside the base set.
void copyPlayer(const QString& player) {
    const QString sourcePlayer = QCoreApplication::applicationDirPath() + QStringLiteral("/quillmark-play");
    if (!QFileInfo(sourcePlayer).isExecutable()) failWith("O jogador \"" + native(sourcePlayer) + "\" não existe");
    const QString pluginsFrom = QLibraryInfo::path(QLibraryInfo::PluginsPath) + '/';

    std::vector<QString> roots{sourcePlayer};
    copyStripped(sourcePlayer, player + QStringLiteral("bin/quillmark-play"));
    for (const QString& plugin : pluginFiles()) {
        if (!QFileInfo::exists(pluginsFrom + plugin)) continue;  // not installed here: not needed to play
        copyFile(pluginsFrom + plugin, player + QStringLiteral("plugins/") + plugin);
        roots.push_back(pluginsFrom + plugin);
    }

    std::map<std::string, QString> where;
    for (const QString& root : roots) where.merge(resolvedLibraries(root));
    std::set<std::string> copied;
    std::vector<QString> pending = roots;
    while (!pending.empty()) {
        const QString file = pending.back();
        pending.pop_back();
        for (const std::string& name : neededLibraries(file)) {
            if (baseLibraries().count(name) || copied.count(name)) continue;
            const auto found = where.find(name);
            if (found == where.end())
                failWith("a biblioteca " + name + " de \"" + native(file) + "\" não foi encontrada neste sistema");
            const QString from = QFileInfo(found->second).canonicalFilePath();
            // ICU's data: the empty one built with the programs, when it is there (30 MB less)
            const QString stub = QCoreApplication::applicationDirPath() + QStringLiteral("/../lib/quillmark/") +
                                 QString::fromStdString(name);
            const bool icuData = name.rfind("libicudata.so.", 0) == 0 && QFileInfo(stub).isFile();
            copyFile(icuData ? stub : from, player + QStringLiteral("lib/") + QString::fromStdString(name));
            copied.insert(name);
            pending.push_back(from);
        }
    }

    writeFileAtomic(player + QStringLiteral("bin/qt.conf"), "[Paths]\nPrefix = ..\nPlugins = plugins\n");
    // What the system must provide, for whoever wonders why a game does not start.
    QByteArray base = "# As bibliotecas que o jogo usa do sistema (todo desktop Debian 12 ou mais novo as tem);\n"
                      "# as demais estão em lib/.\n";
    for (const std::string& name : baseLibraries()) base += QByteArray::fromStdString(name) + '\n';
    writeFileAtomic(player + QStringLiteral("bibliotecas-do-sistema.txt"), base);
    writeExecutable(player + QStringLiteral("quillmark-play"),
                    "#!/bin/sh\n"
                    "# quillmark-play with the libraries and Qt plugins packaged beside it.\n"
                    "here=$(CDPATH= cd -- \"$(dirname -- \"$0\")\" && pwd) || exit 1\n"
                    "LD_LIBRARY_PATH=\"$here/lib${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}\"\n"
                    "export LD_LIBRARY_PATH\n"
                    "unset QT_PLUGIN_PATH QT_QPA_PLATFORM_PLUGIN_PATH\n"
                    "exec \"$here/bin/quillmark-play\" \"$@\"\n");
}

void removeTree(const QString& path) {
    if (!path.isEmpty() && QFileInfo::exists(path)) QDir(path).removeRecursively();
}

}  // namespace

int cmdPackage(const Args& args) {
    args.requireCount(2);
    const bool tar = args.has("--tar");
    const QString projectFile = QFileInfo(pathArg(args.word(0))).absoluteFilePath();
    const QFileInfo out(QFileInfo(pathArg(args.word(1))).absoluteFilePath());
    const ProjectState project = readProject(projectFile);

    if (out.exists() && !args.has("--replace"))
        failWith("\"" + native(out.absoluteFilePath()) + "\" já existe; use --replace para substituí-lo.");
    if (out.exists() && tar != out.isFile())
        failWith("\"" + native(out.absoluteFilePath()) + "\" já existe e não é " + (tar ? "um arquivo" : "uma pasta") +
                 "; nada foi substituído.");
    if (!tar && out.absoluteFilePath().startsWith(QDir(project.ProjectFolder).absolutePath() + '/'))
        failWith("O pacote não pode ficar dentro da pasta do projeto.");

    const std::vector<std::string> problems = checkProject(project);
    if (!problems.empty()) {
        std::string list;
        for (const std::string& p : problems) list += "  " + p + "\n";
        if (!args.has("--force"))
            failWith("O projeto tem problemas (os de quillmark-cli check); corrija-os ou use --force:\n" + list +
                     "Nada foi empacotado.");
        err("Empacotado apesar destes problemas:\n" + list);
    }

    // Everything is made beside OUT and moved into place at the end: a
    // failure leaves OUT as it was.
    const QString name = QFileInfo(project.ProjectFile).completeBaseName().section('.', 0, 0);
    const QString work =
        out.absolutePath() +
        QStringLiteral("/.%1.quillmark-package-%2").arg(out.fileName()).arg(QCoreApplication::applicationPid());
    // A .tar.gz holds one folder, named like the archive without its ending.
    QString top = QString(out.fileName()).remove(QRegularExpression("\\.(tar\\.gz|tgz)$"));
    if (top.isEmpty()) top = name;
    const QString folder = withTrailingSlash(tar ? work + '/' + top : work);
    try {
        makeFolder(folder);
        copyGame(project, folder + QStringLiteral("jogo/"));
        copyPlayer(folder + QStringLiteral("player/"));
        writeExecutable(folder + name,
                        "#!/bin/sh\n# Plays " +
                            QByteArray::fromStdString(cp1252ToUtf8(project.ProjectName)).replace('\n', ' ') +
                            " from wherever this folder lies.\n"
                            "here=$(CDPATH= cd -- \"$(dirname -- \"$0\")\" && pwd) || exit 1\n"
                            "exec \"$here/player/quillmark-play\" \"$here/jogo/\"" +
                            shellQuoted(QFileInfo(project.ProjectFile).fileName().toUtf8()) + " \"$@\"\n");
        if (tar) {
            const QString archive = work + QStringLiteral(".tar.gz");
            QProcess pack;
            pack.start(QStringLiteral("tar"), {"-czf", archive, "-C", work, top});
            pack.waitForFinished(-1);
            if (pack.exitStatus() != QProcess::NormalExit || pack.exitCode() != 0)
                failWith("tar falhou: " + QString::fromLocal8Bit(pack.readAllStandardError()).trimmed().toStdString());
            if (out.exists()) QFile::remove(out.absoluteFilePath());
            if (!QFile::rename(archive, out.absoluteFilePath()))
                failWith("Não foi possível gravar \"" + native(out.absoluteFilePath()) + "\"");
            removeTree(work);
        } else {
            const QString old = work + QStringLiteral(".old");
            if (out.exists() && !QDir().rename(out.absoluteFilePath(), old))
                failWith("Não foi possível substituir \"" + native(out.absoluteFilePath()) + "\"");
            if (!QDir().rename(work, out.absoluteFilePath())) {
                QDir().rename(old, out.absoluteFilePath());
                failWith("Não foi possível gravar \"" + native(out.absoluteFilePath()) + "\"");
            }
            removeTree(old);
        }
    } catch (...) {
        removeTree(work);
        QFile::remove(work + QStringLiteral(".tar.gz"));
        throw;
    }
    return kExitOk;
}

}  // namespace quillmark::cli
