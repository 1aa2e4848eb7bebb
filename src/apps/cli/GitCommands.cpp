// textconv, merge and git-setup: the project's files under git, diffed and
// merged by their layouts (see model/mapedit/ProjectMerge.h).
#include "apps/cli/Cli.h"

#include "model/core/Error.h"
#include "model/core/Files.h"
#include "model/core/Paths.h"
#include "model/core/ProjectFile.h"
#include "model/mapedit/ProjectMerge.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

namespace quillmark::cli {

namespace {

// Runs git in `folder`; its standard output, or Error with its message.
QString runGit(const QString& folder, const QStringList& arguments, const std::string& failure) {
    QProcess git;
    git.setWorkingDirectory(folder);
    git.start(QStringLiteral("git"), arguments);
    if (!git.waitForStarted(10000)) throw Error("Não foi possível executar o git: " + git.errorString().toStdString());
    git.waitForFinished(60000);
    if (git.exitStatus() != QProcess::NormalExit || git.exitCode() != 0)
        throw Error(failure + " (" + QString::fromLocal8Bit(git.readAllStandardError()).trimmed().toStdString() + ")");
    return QString::fromLocal8Bit(git.readAllStandardOutput()).trimmed();
}

// A word for the shell git runs drivers through.
QString shellQuoted(const QString& s) {
    QString q = s;
    q.replace('\'', QStringLiteral("'\\''"));
    return '\'' + q + '\'';
}

}  // namespace

int cmdTextconv(const Args& args) {
    args.requireCount(1);
    out(vcs::readableText(pathArg(args.word(0))));
    return kExitOk;
}

int cmdMerge(const Args& args) {
    args.requireCount(3);
    const QString ours = pathArg(args.word(1));
    const QString label = args.has("--path") ? pathArg(args.value("--path", "")) : QFileInfo(ours).fileName();
    const vcs::MergeResult result = vcs::merge(pathArg(args.word(0)), ours, pathArg(args.word(2)), label);
    writeFileAtomic(ours, result.text);
    if (result.conflicts.empty()) return kExitOk;
    std::string list = "Conflitos (ficou a nossa versão):\n";
    for (const std::string& c : result.conflicts) list += "  " + c + "\n";
    err(list);
    return kExitFailed;
}

int cmdGitSetup(const Args& args) {
    args.requireCount(1);
    const QString projectFile = QFileInfo(pathArg(args.word(0))).absoluteFilePath();
    const ProjectState project = readProject(projectFile);
    const QString folder = project.ProjectFolder;
    runGit(folder, {QStringLiteral("rev-parse"), QStringLiteral("--show-toplevel")},
           "A pasta do projeto não está num repositório git; rode \"git init\" nela primeiro");

    // The folders as they are spelled on disk.
    const QString mapas = QFileInfo(projectPath(folder, std::string_view("Mapas"))).fileName();
    const QString data = QFileInfo(projectPath(folder, std::string_view("Data"))).fileName();
    const QString attributes = folder + QStringLiteral(".gitattributes");
    std::string existing;
    if (QFileInfo::exists(attributes)) existing = readFile(attributes).toStdString();
    writeFileAtomic(attributes,
                    QByteArray::fromStdString(vcs::withGitAttributes(existing, vcs::gitAttributesBlock(mapas, data))));

    const QString cli = shellQuoted(QCoreApplication::applicationFilePath());
    const std::string failure = "Não foi possível gravar a configuração do git";
    runGit(folder, {"config", "diff.quillmark.textconv", cli + " textconv"}, failure);
    runGit(folder, {"config", "merge.quillmark.name", "Quillmark: mapas, tabelas e projeto"}, failure);
    runGit(folder, {"config", "merge.quillmark.driver", cli + " merge %O %A %B --path %P"}, failure);
    out("Gravado " + QDir::toNativeSeparators(attributes).toStdString() +
        "; o git do repositório usa agora quillmark-cli para comparar e unir mapas e tabelas.\n");
    return kExitOk;
}

}  // namespace quillmark::cli
