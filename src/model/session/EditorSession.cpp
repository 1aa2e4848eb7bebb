#include "model/session/EditorSession.h"

#include "model/core/Error.h"
#include "model/core/MapFile.h"
#include "model/core/Paths.h"
#include "model/core/ProjectFile.h"
#include "model/core/Text.h"
#include "model/database/MapSaving.h"
#include "model/mapedit/MapEdits.h"
#include "model/mapedit/NewMap.h"
#include "model/mapedit/ProjectRepair.h"
#include "model/mapedit/TiledExchange.h"
#include "model/mapedit/TreeEdits.h"
#include "model/project/ProjectCreation.h"
#include "model/project/RuntimeLauncher.h"
#include "model/session/Workspace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

namespace quillmark {

namespace {

const QString kSaveQuestion = QStringLiteral("Desejá Salvar as Alterações?");
const QString kNoMapToPlay = QStringLiteral("Você deve criar pelo menos um mapa antes de executar o jogo!");

// The runtime, started detached in the editor's working folder and told
// where the editor's own player is; a runtime that cannot start, or that
// fails at once, throws, naming the file and the reason.
bool startDetached(const QString& program, QString*) {
    play::startRuntime(program, play::playerBesideProgram());
    return true;
}

// A new project's file must be writable before anything else changes: its
// folder is made with any missing parents, and a file must be creatable there.
void prepareProjectTarget(const QString& projectFile) {
    const QFileInfo target(QDir::fromNativeSeparators(projectFile));
    const QString shown = QDir::toNativeSeparators(target.absoluteFilePath());
    if (target.isDir())
        throw Error(formatMessage("\"%s\" é uma pasta, não um arquivo de projeto", {shown.toStdString()}));
    const QString folder = target.absolutePath();
    if (!QDir().mkpath(folder))
        throw Error(
            formatMessage("Não foi possível criar a pasta \"%s\"", {QDir::toNativeSeparators(folder).toStdString()}));
    QTemporaryFile probe(folder + QStringLiteral("/.quillmark-XXXXXX"));
    if (!probe.open())
        throw Error(formatMessage("Não foi possível gravar em \"%s\": %s",
                                  {QDir::toNativeSeparators(folder).toStdString(), probe.errorString().toStdString()}));
}

// The new map's file is written first, under a name no map of the project
// has; only then does the map join the tree, the map list and the project
// file. When that registration fails the file just written is removed again,
// so a failed command leaves the project as it was.
void writeAndRegisterMap(Workspace& ws, std::string_view name) {
    const std::string file = mapFileNameFor(name);
    ws.grid.CurrentMap = file;
    Salvar(ws.grid, ws.project.ProjectFolder, ws.DataModule1);
    try {
        registerNewMap(ws.project, ws.grid, ws.tree, name);
    } catch (...) {
        QFile::remove(projectPath(ws.project.ProjectFolder, "Mapas\\" + file));
        forgetFolderListings();
        throw;
    }
}

// The file of the project's first map, found as a double-click on its node
// finds it: "Mapas\" + its name, without regard to letter case. A listed name
// that points into another folder is refused, so opening a project never
// reads a map from outside it.
QString firstMapPath(const ProjectState& project) {
    const QString entry = project.MapList.first();
    const QString prefix = project.ProjectFolder + QStringLiteral("Mapas/");
    const QString listed = entry.startsWith(prefix) ? entry.mid(prefix.size()) : entry;
    if (listed.contains(QLatin1Char('/')) || listed.contains(QLatin1Char('\\')) || listed.contains(QLatin1Char(':')) ||
        listed == QStringLiteral(".") || listed == QStringLiteral("..") || listed.isEmpty())
        throw Error(formatMessage("O mapa \"%s\" listado no arquivo do projeto não pode indicar outra pasta; "
                                  "os mapas ficam na pasta Mapas do projeto.",
                                  {listed.toStdString()}));
    return projectPath(project.ProjectFolder, "Mapas\\" + toCp1252(listed));
}

}  // namespace

EditorSession::EditorSession(Workspace& ws)
    : ws_(ws), startProgram_(startDetached), edits_(ws.grid, undo_, [this](const CellBounds& b) {
          emit cellsEdited(b.firstRow, b.firstColumn, b.lastRow, b.lastColumn);
      }) {
    connect(&undo_, &QUndoStack::cleanChanged, this, [this](bool clean) { setModified(!clean); });
}

void EditorSession::setProgramStarter(ProgramStarter starter) {
    startProgram_ = starter ? std::move(starter) : ProgramStarter(startDetached);
}

const std::string& EditorSession::currentMap() const { return ws_.grid.CurrentMap; }

void EditorSession::setModified(bool modified) {
    if (modified_ == modified) return;
    modified_ = modified;
    emit modifiedChanged(modified);
}

void EditorSession::setFlags(bool projectOpen, bool mapLoaded) {
    projectOpen_ = projectOpen;
    mapLoaded_ = mapLoaded;
    emit stateChanged();
}

void EditorSession::markModified() {
    // A change the stack does not hold: no undo can bring the saved map back.
    undo_.resetClean();
    setModified(true);
}

void EditorSession::loadTiles() {
    ws_.tiles.LoadImagens(ws_.DataModule1, ws_.project.ProjectFolder, ws_.EditorFolder);
    emit tilesChanged();
}

void EditorSession::refreshTiles() { loadTiles(); }

// --- projects -------------------------------------------------------------------

void EditorSession::openProject(const QString& path) {
    try {
        ProjectState& project = ws_.project;
        // 1, 2. The project file gives the project state (MapList starts empty).
        project.MapList.clear();
        readProjectFile(path, project);
        // 3. The tree.
        treeUndo_.clear();
        ws_.tree.CriaProjeto(project.ProjectName);
        ws_.tree.LoadProject(project);
        // 4. The tiles table.
        ws_.DataModule1.pointAt(ws_.DataModule1.cdsTiles, project.ProjectFolder);
        // 5. The tile pictures and the palette.
        loadTiles();
        // 6. The first map.
        bool loaded = false;
        if (!project.MapList.isEmpty()) {
            showReadMap(firstMapPath(project), mapFileName(project.MapList.first()));
            loaded = true;
        }
        // 7. The first tile of "Lista 1" is the brush.
        emit brushReset();
        // 8. The other tables.
        for (RecordTable* t : {&ws_.DataModule1.cdsMonstros, &ws_.DataModule1.cdsItens, &ws_.DataModule1.cdsMagias,
                               &ws_.DataModule1.cdsPersonagem})
            ws_.DataModule1.pointAt(*t, project.ProjectFolder);
        // 9. CurrentMap (set with the map, before the map is announced).
        if (!loaded) ws_.grid.CurrentMap.clear();
        // 10, 11.
        setFlags(true, loaded);
        ws_.prompts().setProjectFolder(project.ProjectFolder);
        ws_.prompts().setRecentProject(path);
        emit projectOpened();
    } catch (...) {
        // A project that could not be opened is not left half open.
        try {
            closeProject();
        } catch (...) {
        }
        throw;
    }
    // Damaged tile pictures show as the placeholder; the user hears of them once.
    if (!ws_.tiles.unreadable().empty()) {
        QString list;
        for (size_t i = 0; i < ws_.tiles.unreadable().size(); ++i)
            list += "\n" + QString::fromStdString(cp1252ToUtf8(ws_.tiles.unreadable()[i])) + ": " +
                    QString::fromStdString(ws_.tiles.unreadableReasons()[i]);
        ws_.prompts().warning(
            QStringLiteral("Estas figuras não puderam ser lidas; em seu lugar aparece a imagem de reserva:") + list);
    }
    offerCurrentRuntime();
}

void EditorSession::offerCurrentRuntime() {
    // A runtime written by an older editor (which named its own build folder)
    // or the old stand-in may not find the player: the user may replace it.
    const QString runtime = ws_.project.RuntimePath;
    if (!offerRuntime_ || runtime.isEmpty() || play::runtimeKind(runtime) != play::RuntimeKind::Outdated) return;
    if (ws_.prompts().confirm(play::outdatedRuntimeQuestion(runtime), Buttons::YesNo) == Answer::Yes)
        play::writeLauncher(runtime, ws_.project.ProjectFolder);
}

bool EditorSession::openProjectAsking(const QString& path) {
    if (projectOpen_) {
        if (!askToSaveChanges()) return false;
        closeProject();
    }
    openProject(path);
    offerRepairs();
    return true;
}

int EditorSession::offerRepairs() {
    if (!projectOpen_) return 0;
    const std::vector<ProjectMend> mends = findProjectMends(ws_.project, ws_.tree);
    QString list;
    bool mendable = false;
    for (const ProjectMend& m : mends) {
        if (!m.canMend()) continue;
        mendable = true;
        list += QStringLiteral("\n") + fromCp1252(m.where) + QStringLiteral(": ") + QString::fromStdString(m.problem);
    }
    if (!mendable) return 0;
    const QString question =
        QStringLiteral("O projeto não está completo; talvez a última gravação tenha sido interrompida:\n") + list +
        QStringLiteral("\n\nCorrigir o projeto agora?");
    if (ws_.prompts().confirm(question, Buttons::YesNo) != Answer::Yes) return 0;
    return applyProjectMends(ws_.project, ws_.tree, mends);
}

void EditorSession::closeProject() {
    resetUndo();
    emit mapClosed();
    ws_.grid.CurrentMap.clear();
    setModified(false);  // the discarded map's changes do not outlive it
    ws_.project.clear();
    treeUndo_.clear();
    ws_.tree.removeProjeto();
    ws_.prompts().setProjectFolder(QString());
    setFlags(false, false);
    emit projectClosed();
}

bool EditorSession::closeAll() {
    if (!projectOpen_) return true;
    if (!askToSaveChanges()) return false;
    closeProject();
    return true;
}

bool EditorSession::createProject(const QString& projectFile, std::string_view name, std::string_view author,
                                  const std::function<void()>& afterFolders) {
    if (!canCreateProject(name, projectFile)) {
        ws_.prompts().notice(QString::fromUtf8(kCannotCreateProject));
        return false;
    }
    // The loaded map's changes are not thrown away without a question.
    if (!askToSaveChanges()) return false;
    prepareProjectTarget(projectFile);  // a refusal leaves the open project as it was
    if (projectOpen_) closeProject();

    NewProjectRequest request;
    request.editorFolder = ws_.EditorFolder.isEmpty() ? editorFolder() : ws_.EditorFolder;
    request.projectFile = projectFile;
    request.name = std::string(name);
    request.author = std::string(author);
    ws_.grid.CurrentMap.clear();
    resetUndo();
    setModified(false);
    quillmark::createProject(request, ws_.DataModule1, ws_.project, ws_.tree, afterFolders);
    setFlags(true, false);
    ws_.prompts().setProjectFolder(ws_.project.ProjectFolder);
    ws_.prompts().setRecentProject(ws_.project.ProjectFile);
    loadTiles();
    emit projectOpened();
    return true;
}

// --- maps -------------------------------------------------------------------------

bool EditorSession::openMap(const QString& fullPath, const std::string& name) {
    if (!projectOpen_) return false;
    if (!askToSaveChanges()) return false;
    showReadMap(fullPath, name);
    setFlags(true, true);
    return true;
}

void EditorSession::showReadMap(const QString& fullPath, const std::string& name) {
    resetUndo();
    Abrir(ws_.grid, fullPath);
    ws_.grid.CurrentMap = name;
    setModified(false);
    emit mapOpened(mapLoaded_);
}

void EditorSession::registerShownMap(std::string_view name) {
    try {
        // Until its file is written the new map counts as unsaved.
        markModified();
        writeAndRegisterMap(ws_, name);
    } catch (...) {
        // The map's files could not be written. Its cells are gone already, so
        // the editor goes on without a loaded map rather than with a map whose
        // grid and name do not belong together.
        ws_.grid.CurrentMap.clear();
        setModified(false);
        setFlags(true, false);
        throw;
    }
    // The new map's node moved the places the tree's steps remember.
    treeUndo_.clear();
    setModified(false);
    emit newMapOpened();
    setFlags(true, true);
}

void EditorSession::newMapCommand() {
    if (!projectOpen_) return;
    links_.newMapDialog();
}

bool EditorSession::newMap(std::string_view name, int size) {
    if (!projectOpen_) throw Error("Nenhum projeto aberto.");
    const std::string problem = checkNewMapName(ws_.tree, ws_.project, name);
    if (!problem.empty()) {
        ws_.prompts().warning(QString::fromUtf8(problem.c_str()));
        return false;
    }
    if (size < 1 || size > MapGrid::kCapacity)
        throw Error(formatMessage("Tamanho de mapa inválido: %d (deve estar entre 1 e 100)", {std::to_string(size)}));
    // The loaded map's changes are not thrown away without a question.
    if (!askToSaveChanges()) return false;
    if (mapLoaded_) emit mapClosed();
    resetUndo();
    ws_.grid.newGrid(size);
    registerShownMap(name);
    return true;
}

void EditorSession::save() {
    if (!projectOpen_ || !mapLoaded_) return;
    Salvar(ws_.grid, ws_.project.ProjectFolder, ws_.DataModule1);
    undo_.setClean();
    setModified(false);
    ws_.tree.SaveProject(ws_.project.ProjectFolder);
}

bool EditorSession::askToSaveChanges() {
    if (!projectOpen_ || !modified_) return true;
    switch (ws_.prompts().confirm(kSaveQuestion, Buttons::YesNoCancel)) {
    case Answer::Yes:
        save();
        return true;
    case Answer::No:
        return true;
    default:
        return false;
    }
}

// --- exchange with Tiled ---------------------------------------------------------------

void EditorSession::exportMap(const QString& path, bool replace) {
    if (!projectOpen_ || !mapLoaded_) throw Error("Nenhum mapa aberto para exportar.");
    tiled::exportMap(ws_.grid, tiled::tileImagesOf(ws_.DataModule1, ws_.tiles), path,
                     {ws_.project.ProjectFolder, replace});
}

bool EditorSession::importMap(const QString& path, std::string_view name, const tiled::ImportOptions& options) {
    if (!projectOpen_) throw Error("Nenhum projeto aberto.");
    // The whole file is read and checked before the project is touched.
    MapGrid imported;
    // The read ahead holds this map when nothing was empty (or empty cells take
    // the first code) and whatever it left out may be left out.
    const bool same = pendingImport_ && pendingImportPath_ == path &&
                      (pendingNotes_.emptyCells == 0 || options.emptyCode == tiled::kFirstCode) &&
                      (pendingNotes_.dropped.empty() || options.dropExtra);
    if (same)
        imported.swap(*pendingImport_);
    else
        imported = tiled::readTmxFile(path, options);
    pendingImport_.reset();
    pendingImportPath_.clear();
    const std::string problem = checkNewMapName(ws_.tree, ws_.project, name);
    if (!problem.empty()) {
        ws_.prompts().warning(QString::fromUtf8(problem.c_str()));
        return false;
    }
    if (!askToSaveChanges()) return false;
    if (mapLoaded_) emit mapClosed();
    resetUndo();
    ws_.grid.swap(imported);
    registerShownMap(name);
    return true;
}

tiled::ImportNotes EditorSession::readImport(const QString& path) {
    pendingImport_.reset();
    pendingImportPath_.clear();
    tiled::ImportNotes notes;
    auto read = std::make_unique<MapGrid>(
        tiled::readTmxFile(path, {static_cast<unsigned char>(tiled::kFirstCode), true}, &notes));
    pendingImport_ = std::move(read);
    pendingImportPath_ = path;
    pendingNotes_ = notes;
    return notes;
}

// --- Play ---------------------------------------------------------------------------

bool EditorSession::play() {
    if (!projectOpen_) return false;
    if (ws_.project.MapList.isEmpty()) {
        ws_.prompts().notice(kNoMapToPlay);
        return false;
    }
    if (!askToSaveChanges()) return false;
    const QString program = ws_.project.RuntimePath;
    QString reason;
    if (!startProgram_(program, &reason))
        throw Error(formatMessage("Não foi possível executar \"%s\": %s",
                                  {QDir::toNativeSeparators(program).toStdString(), reason.toStdString()}));
    return true;
}

// --- undo and redo of map edits ----------------------------------------------------

void EditorSession::resetUndo() {
    edits_.endStroke();
    undo_.clear();
    undo_.setClean();
}

// --- map edits ---------------------------------------------------------------------------

void EditorSession::copyCell(int row, int column) {
    ws_.CopiedCell = edits_.copyCell(row, column);
    emit stateChanged();
}

void EditorSession::copyEvent(int row, int column) {
    ws_.CopiedEvent = edits_.copyEvent(row, column);
    emit stateChanged();
}

void EditorSession::copyImage(int row, int column) {
    ws_.CopiedImage = edits_.copyImage(row, column);
    emit stateChanged();
}

bool EditorSession::pasteCell(int row, int column) {
    if (!ws_.CopiedCell) return false;
    edits_.pasteCell(row, column, *ws_.CopiedCell);
    return true;
}

bool EditorSession::pasteEvent(int row, int column) {
    if (ws_.CopiedEvent.empty()) return false;
    edits_.pasteEvent(row, column, ws_.CopiedEvent);
    return true;
}

bool EditorSession::pasteImage(int row, int column) {
    if (!ws_.CopiedImage) return false;
    edits_.pasteImage(row, column, *ws_.CopiedImage);
    return true;
}

bool EditorSession::pickBrush(EditLayer layer, int row, int column) {
    if (layer == EditLayer::XO) return false;
    const unsigned char code = edits_.pick(layer, row, column);
    ws_.BrushCode = code;
    ws_.BrushImage = ws_.PegaImg(code);
    emit brushPicked(code);
    return true;
}

void EditorSession::editEvent(int row, int column) {
    if (!projectOpen_ || !mapLoaded_) return;
    edits_.endStroke();
    const std::string text = ws_.grid.evento(row, column);
    std::string result = MapGrid::hasEvent(text) ? links_.eventScript(text) : links_.eventSelector();
    edits_.setEvent(row, column, std::move(result));
}

// --- the hero's start ------------------------------------------------------------------------

void EditorSession::setHeroStart(int row, int column) {
    if (!projectOpen_ || !mapLoaded_) throw Error("Nenhum mapa aberto.");
    if (!ws_.grid.inMap(row, column))
        throw Error(
            formatMessage("A célula (%s, %s) está fora do mapa.", {std::to_string(row), std::to_string(column)}));
    ProjectState after = ws_.project;
    after.InitialMap = ws_.grid.CurrentMap;
    after.CharX = 40 * column + 120;
    after.CharY = 40 * row + 20;
    writeProjectFile(after);  // SalvaProjeto; a failed write changes nothing
    ws_.project = std::move(after);
    emit heroStartChanged();
}

std::pair<int, int> EditorSession::heroStartCell() const {
    if (ws_.grid.CurrentMap.empty() || ws_.grid.N <= 0) return {0, 0};
    if (!equalsIgnoreCase(ws_.project.InitialMap, ws_.grid.CurrentMap)) return {0, 0};
    const int x = ws_.project.CharX - 120;
    const int y = ws_.project.CharY - 20;
    if (x < 40 || y < 40 || x % 40 != 0 || y % 40 != 0) return {0, 0};
    const int row = y / 40;
    const int column = x / 40;
    if (!ws_.grid.inMap(row, column)) return {0, 0};
    return {row, column};
}

// --- the map tree ------------------------------------------------------------------------------

namespace {

// Runs a tree step and puts it on the stack; a step whose change failed is
// not kept (the command leaves the tree and its file as they were).
template <class Command> void pushTreeStep(QUndoStack& stack, std::unique_ptr<Command> step) {
    stack.push(step.get());  // runs redo(); throws before taking the step when it fails
    step.release();
}

}  // namespace

bool EditorSession::newFolder() {
    if (!projectOpen_) return false;
    if (!IsNodeAllowed(ws_.tree.selected())) {
        ws_.prompts().notice(QString::fromUtf8(kNoFolderHereMessage));
        return false;
    }
    const std::optional<QString> typed =
        ws_.prompts().input(QString::fromUtf8(kNewFolderTitle), QString::fromUtf8(kNewFolderPrompt), QString());
    if (!typed) return false;
    const std::optional<std::string> name = folderNameFrom(*typed);
    if (!name) return false;  // nothing that can stand as a line of the tree file
    const TreeNode* root = ws_.tree.root();
    bool taken = !root;
    for (int i = 0; root && i < root->childCount(); ++i)
        taken = taken || equalsIgnoreCase(root->child(i)->text(), *name);
    if (taken) {
        if (root) ws_.prompts().notice(QString::fromUtf8(kMapExistsMessage));
        ws_.tree.SaveProject(ws_.project.ProjectFolder);
        return false;
    }
    pushTreeStep(treeUndo_, std::make_unique<NewFolderCommand>(ws_.tree, ws_.project.ProjectFolder, *name));
    return true;
}

bool EditorSession::removeSelectedFromTree() {
    if (!projectOpen_) return false;
    TreeNode* node = ws_.tree.selected();
    if (!node) return false;
    const std::string text = node->text();
    const QString question = QStringLiteral("Remover o mapa \"%1\" da árvore do projeto?\n\n"
                                            "O arquivo do mapa continua na pasta \"Mapas\".")
                                 .arg(fromCp1252(text));
    if (ws_.prompts().confirm(question, Buttons::YesNo) != Answer::Yes) return false;
    // The steps kept for the tree may name the removed node's place.
    treeUndo_.clear();
    return ws_.tree.RemoveMap(text);
}

DropOutcome EditorSession::moveInTree(TreeNode* dragged, TreeNode* target) {
    if (!projectOpen_) return DropOutcome::Refused;
    const DropOutcome outcome = ws_.tree.checkDrop(dragged, target);
    if (outcome == DropOutcome::RefusedExists) ws_.prompts().notice(QString::fromUtf8(kDropExistsMessage));
    if (outcome != DropOutcome::Moved) return outcome;
    pushTreeStep(treeUndo_, std::make_unique<MoveNodeCommand>(ws_.tree, ws_.project.ProjectFolder, dragged, target));
    return outcome;
}

}  // namespace quillmark
