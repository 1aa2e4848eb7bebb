#include "model/project/RuntimeLauncher.h"

#include "model/core/Error.h"
#include "model/core/Files.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>

#include <cerrno>
#include <csignal>
#include <unistd.h>

namespace quillmark::play {

namespace {

// What older editors wrote as the runtime: the launcher that held the editor
// folder it was made in, and before it a stand-in that only said the runtime
// was missing.
constexpr const char* kLauncherMark = "# Quillmark game launcher";
constexpr const char* kStandInMark = "# Stand-in for the game runtime";

const char* const kScript = R"sh(#!/bin/sh
# Quillmark game launcher: plays the project in the folder of this file.
# The player is looked for, in this order: the one the editor names in
# QUILLMARK_PLAY when its Play starts this file; one packaged beside the game
# (in this folder, or in "player/" one folder up); the installed one (the PATH,
# then the usual install prefixes). No path of the machine that made this file
# is kept in it.
here=$(CDPATH= cd -- "$(dirname -- "$0")" && pwd) || exit 1
player=
for candidate in "$QUILLMARK_PLAY" "$here/quillmark-play" "$here/../player/quillmark-play"; do
  if [ -n "$candidate" ] && [ -f "$candidate" ] && [ -x "$candidate" ]; then
    player=$candidate
    break
  fi
done
if [ -z "$player" ]; then
  player=$(command -v quillmark-play 2>/dev/null) || player=
fi
if [ -z "$player" ]; then
  for prefix in "$HOME/.local" /usr/local /usr /opt/quillmark; do
    if [ -f "$prefix/bin/quillmark-play" ] && [ -x "$prefix/bin/quillmark-play" ]; then
      player=$prefix/bin/quillmark-play
      break
    fi
  done
fi
if [ -z "$player" ]; then
  message="quillmark-play não foi encontrado: nem o do editor, nem um ao lado do jogo, nem um instalado. Instale o Quillmark para jogar."
  echo "$message" >&2
  # Started from a desktop rather than by the editor (which shows the message
  # itself): a window says it too.
  if [ -z "$QUILLMARK_FROM_EDITOR" ] && [ -n "$DISPLAY$WAYLAND_DISPLAY" ]; then
    if command -v zenity >/dev/null 2>&1; then
      zenity --error --title=Quillmark --text="$message" >/dev/null 2>&1
    elif command -v kdialog >/dev/null 2>&1; then
      kdialog --title Quillmark --error "$message" >/dev/null 2>&1
    elif command -v xmessage >/dev/null 2>&1; then
      # xmessage draws Latin-1 only
      xmessage -center -title Quillmark "$(printf '%s' "$message" | iconv -f UTF-8 -t ISO-8859-1 2>/dev/null || printf '%s' "$message")" >/dev/null 2>&1
    fi
  fi
  exit 127
fi
# the project file named like this launcher (Jogo.exe plays Jogo.qmk), else the folder
self=$(basename -- "$0")
want=$(printf '%s' "${self%%.*}" | tr '[:upper:]' '[:lower:]')
project=$here
for f in "$here"/*; do
  case $f in *.[qQ][mM][kK]) ;; *) continue ;; esac
  name=$(basename -- "$f")
  if [ "$(printf '%s' "${name%%.*}" | tr '[:upper:]' '[:lower:]')" = "$want" ]; then
    project=$f
    break
  fi
done
exec "$player" "$project" "$@"
)sh";

// The state letter of a process in /proc ('Z' a zombie), or 0 when it is gone.
char processState(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM ? '?' : 0;
    const QByteArray text = stat.readAll();
    const qsizetype close = text.lastIndexOf(')');
    return close >= 0 && close + 2 < text.size() ? text.at(close + 2) : '?';
}

bool hasStartedThePlayer(qint64 pid) {
    const QString exe = QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).symLinkTarget();
    return QFileInfo(exe).fileName() == QLatin1String("quillmark-play");
}

}  // namespace

QByteArray launcherScript() { return QByteArray(kScript); }

RuntimeKind runtimeKind(const QString& path) {
    QFile file(path);
    if (!QFileInfo(path).isFile()) return RuntimeKind::Missing;
    if (!file.open(QIODevice::ReadOnly)) return RuntimeKind::Foreign;
    const QByteArray bytes = file.read(64 * 1024);
    if (bytes == launcherScript()) return RuntimeKind::Current;
    if (bytes.startsWith("#!/bin/sh\n") && (bytes.contains(kLauncherMark) || bytes.contains(kStandInMark)))
        return RuntimeKind::Outdated;
    return RuntimeKind::Foreign;
}

void writeLauncher(const QString& path, const QString& projectFolder) {
    writeFileAtomic(path, launcherScript(), projectFolder);
    QFile::setPermissions(path, QFile::permissions(path) | QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                    QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
}

QString outdatedRuntimeQuestion(const QString& path) {
    return QStringLiteral("O executável do jogo \"%1\" foi feito por uma versão anterior do Quillmark e pode não "
                          "encontrar o jogador. Substituí-lo pelo atual?")
        .arg(QDir::toNativeSeparators(path));
}

QString playerBesideProgram() {
    if (!QCoreApplication::instance()) return QString();
    const QFileInfo player(QCoreApplication::applicationDirPath() + QStringLiteral("/quillmark-play"));
    return player.isFile() && player.isExecutable() ? player.absoluteFilePath() : QString();
}

QString gameLogPath(const QString& runtimePath) {
    const QFileInfo runtime(runtimePath);
    const QByteArray key = QFile::encodeName(runtime.absoluteFilePath());
    const QString tag = QString::number(qHash(key), 16).right(8);
    return QDir::tempPath() + QStringLiteral("/quillmark-jogos-") + QString::number(getuid()) + '/' +
           runtime.completeBaseName() + '-' + tag + QStringLiteral(".log");
}

void startRuntime(const QString& path, const QString& player, int waitMs) {
    const std::string shown = QDir::toNativeSeparators(path).toStdString();
    const QFileInfo info(path);
    auto fail = [&](const std::string& reason) {
        throw Error("Não foi possível executar o jogo \"" + shown + "\": " + reason);
    };
    if (!info.exists()) fail("o arquivo não existe");
    if (!info.isFile()) fail("não é um arquivo");
    if (!info.isExecutable()) fail("o arquivo não tem permissão de execução");

    // Its standard error goes to the game's log, read if it ends at once; a
    // runtime that keeps running writes on into the log, which stays. The log
    // of an earlier Play is removed first: a game still running from then
    // keeps its own (unlinked) file and never mixes into the new one.
    const QString log = gameLogPath(path);
    QFile::remove(log);
    if (!QDir().mkpath(QFileInfo(log).absolutePath())) waitMs = 0;
    QFile::setPermissions(QFileInfo(log).absolutePath(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    QProcess process;
    process.setProgram(info.absoluteFilePath());
    process.setArguments({});
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!player.isEmpty()) env.insert(QLatin1String(kPlayerVariable), player);
    env.insert(QLatin1String(kFromEditorVariable), QStringLiteral("1"));
    process.setProcessEnvironment(env);
    if (waitMs > 0) process.setStandardErrorFile(log);
    qint64 pid = 0;
    if (!process.startDetached(&pid)) fail(process.errorString().toStdString());
    if (waitMs <= 0 || pid <= 0) return;

    QElapsedTimer clock;
    clock.start();
    bool ended = false;
    while (clock.elapsed() < waitMs) {
        const char state = processState(pid);
        if (state == 0 || state == 'Z' || state == 'X') {
            ended = true;
            break;
        }
        if (hasStartedThePlayer(pid)) return;
        QThread::msleep(15);
    }
    if (!ended) return;
    QThread::msleep(15);  // what it wrote last is in the file once it has ended
    QFile errors(log);
    const QString message =
        errors.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(errors.readAll()).trimmed() : QString();
    if (!message.isEmpty()) fail(message.toStdString());
}

}  // namespace quillmark::play
