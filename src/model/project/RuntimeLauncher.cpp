#include "model/project/RuntimeLauncher.h"

#include "model/core/Error.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace quillmark::play {

namespace {

// A text in single quotes for the shell.
QByteArray shellQuoted(const QString& text) {
    QByteArray out = "'";
    for (const char c : text.toUtf8()) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    return out + "'";
}

}  // namespace

QByteArray launcherScript(const QString& editorFolder) {
    const QString player = QDir(editorFolder).absoluteFilePath(QStringLiteral("quillmark-play"));
    QByteArray s;
    s += "#!/bin/sh\n";
    s += "# Quillmark game launcher: plays the project in the folder of this file.\n";
    s += "# It starts quillmark-play from the editor folder below, or the one on the PATH.\n";
    s += "player=" + shellQuoted(player) + "\n";
    s += "if [ ! -x \"$player\" ]; then\n";
    s += "  player=$(command -v quillmark-play 2>/dev/null)\n";
    s += "fi\n";
    s += "if [ -z \"$player\" ]; then\n";
    s += "  echo \"$0: quillmark-play não foi encontrado ao lado do editor nem no PATH\" >&2\n";
    s += "  exit 127\n";
    s += "fi\n";
    s += "here=$(CDPATH= cd -- \"$(dirname -- \"$0\")\" && pwd) || exit 1\n";
    s += "# the project file named like this launcher (Jogo.exe plays Jogo.qmk), else the folder\n";
    s += "self=$(basename -- \"$0\")\n";
    s += "want=$(printf '%s' \"${self%%.*}\" | tr '[:upper:]' '[:lower:]')\n";
    s += "project=$here\n";
    s += "for f in \"$here\"/*; do\n";
    s += "  case $f in *.[qQ][mM][kK]) ;; *) continue ;; esac\n";
    s += "  name=$(basename -- \"$f\")\n";
    s += "  if [ \"$(printf '%s' \"${name%%.*}\" | tr '[:upper:]' '[:lower:]')\" = \"$want\" ]; then\n";
    s += "    project=$f\n";
    s += "    break\n";
    s += "  fi\n";
    s += "done\n";
    s += "exec \"$player\" \"$project\" \"$@\"\n";
    return s;
}

void startRuntime(const QString& path) {
    const std::string shown = QDir::toNativeSeparators(path).toStdString();
    const QFileInfo info(path);
    auto fail = [&](const std::string& reason) {
        throw Error("Não foi possível executar o jogo \"" + shown + "\": " + reason);
    };
    if (!info.exists()) fail("o arquivo não existe");
    if (!info.isFile()) fail("não é um arquivo");
    if (!info.isExecutable()) fail("o arquivo não tem permissão de execução");
    QProcess process;
    process.setProgram(info.absoluteFilePath());
    process.setArguments({});
    if (!process.startDetached()) fail(process.errorString().toStdString());
}

}  // namespace quillmark::play
