// new and new-map: a project and a map created by the same model code the
// "Novo Projeto" wizard and the "Novo Mapa" dialog run.
#include "apps/cli/Cli.h"
#include "apps/cli/Project.h"

#include "model/core/Error.h"
#include "model/core/Files.h"
#include "model/core/Paths.h"
#include "model/mapedit/NewMap.h"
#include "model/project/ProjectCreation.h"
#include "model/project/RuntimeLauncher.h"
#include "model/session/Workspace.h"

#include <QDir>
#include <QFileInfo>

namespace quillmark::cli {

namespace {

// The tool asks nothing: a question would be a fault in the command.
class NoPrompts : public Prompts {
public:
    // A warning or notice the tool cannot show ends the command with its text.
    Answer message(const QString&, const QString& text, Icon icon, Buttons) override {
        if (icon == Icon::Question) throw Error("Pergunta inesperada: " + text.toStdString());
        throw Error(text.toStdString());
    }
    std::optional<QString> input(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QString> openFile(const QString&, const QString&) override { return {}; }
    std::optional<QString> saveFile(const QString&, const QString&, bool, const QString&) override { return {}; }
    std::optional<QString> openPicture() override { return {}; }
    std::optional<QString> savePicture(const QString&) override { return {}; }
};

}  // namespace

std::unique_ptr<Workspace> newWorkspace() {
    auto ws = std::make_unique<Workspace>(std::make_unique<NoPrompts>());
    ws->session().setEditorFolder(editorFolder());
    ws->session().setOfferRuntime(false);
    return ws;
}

void openProject(Workspace& ws, const QString& projectFile) { ws.session().openProject(projectFile); }

void openProjectMap(Workspace& ws, const QString& projectFile, const std::string& mapName,
                    EditorSession::ToolNeeds needs) {
    ws.session().openProjectForTool(projectFile, needs);
    ws.session().openMap(mapPath(ws.session().project(), mapName), mapName);
}

void createProjectFile(Workspace& ws, const QString& projectFile, const std::string& name, const std::string& author,
                       bool replace) {
    if (!canCreateProject(name, projectFile)) throw Error(kCannotCreateProject);
    const QFileInfo info(projectFile);
    // A project file is never replaced without a question, and the tool asks
    // none: --replace is the answer given beforehand. As when the wizard's
    // user agrees, only the project file is written anew; the folders, tables,
    // pictures, maps and tree already there are kept.
    if (info.isDir())
        throw Error("\"" + QDir::toNativeSeparators(info.absoluteFilePath()).toStdString() +
                    "\" é uma pasta, não um arquivo de projeto.");
    if (info.exists() && !replace)
        throw Error("O arquivo \"" + QDir::toNativeSeparators(info.absoluteFilePath()).toStdString() +
                    "\" já existe; escolha outro nome de projeto ou use --replace para substituí-lo.");
    if (!info.absoluteDir().exists()) makeFolder(info.absolutePath());
    ws.session().createProject(info.absoluteFilePath(), name, author);
    // The copy never replaces a runtime already there; --replace does replace
    // one an older editor wrote (its launcher or the old stand-in), which may
    // not find the player. A runtime the game maker put there stays.
    const QString runtime = ws.session().project().RuntimePath;
    if (replace && play::runtimeKind(runtime) == play::RuntimeKind::Outdated)
        play::writeLauncher(runtime, ws.session().project().ProjectFolder);
}

void addNewMap(Workspace& ws, const std::string& name, int size) { ws.session().newMap(name, size); }

int cmdNew(const Args& args) {
    args.requireCount(1);
    const std::string name = cp1252Arg(args.value("--name", kDefaultProjectName), "o nome do projeto");
    const std::string author = cp1252Arg(args.value("--author", kDefaultProjectAuthor), "o autor");
    const auto ws = newWorkspace();
    createProjectFile(*ws, pathArg(args.word(0)), name, author, args.has("--replace"));
    return kExitOk;
}

int cmdNewMap(const Args& args) {
    args.requireCount(2);
    const std::string name = cp1252Arg(args.word(1), "o nome do mapa");
    const std::string sizeText = args.value("--size", std::to_string(kNewMapSize));
    const std::optional<int> size = parseMapSize(sizeText);
    if (!size) throw UsageError("--size deve ser um número inteiro de 1 a 100, não \"" + sizeText + "\"");
    const auto ws = newWorkspace();
    openProject(*ws, pathArg(args.word(0)));
    addNewMap(*ws, name, *size);
    return kExitOk;
}

}  // namespace quillmark::cli
