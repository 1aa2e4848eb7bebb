#include "model/session/EditorSession.h"

#include "model/core/Error.h"
#include "model/core/MapFile.h"
#include "model/core/Paths.h"
#include "model/core/ProjectFile.h"
#include "model/core/Text.h"
#include "model/database/DatabasePages.h"
#include "model/database/MapSaving.h"
#include "model/mapedit/MapEdits.h"
#include "model/mapedit/NewMap.h"
#include "model/mapedit/ProjectRepair.h"
#include "model/mapedit/TiledExchange.h"
#include "model/mapedit/TreeEdits.h"
#include "model/project/ProjectCreation.h"
#include "model/project/RuntimeLauncher.h"
#include "model/session/ProjectOpening.h"
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

// Runs the steps of opening a project: a project that could not be opened is
// not left half open, and the step's error is thrown on.
template <class Steps> void openOrClose(EditorSession& session, Steps steps) {
    try {
        steps();
    } catch (...) {
        try {
            session.closeProject();
        } catch (...) {
        }
        throw;
    }
}

}  // namespace

EditorSession::EditorSession(Workspace& ws)
    : ws_(ws), startProgram_(startDetached), edits_(grid_, undo_, [this](const CellBounds& b) {
          emit cellsEdited(b.firstRow, b.firstColumn, b.lastRow, b.lastColumn);
      }) {
    connect(&undo_, &QUndoStack::cleanChanged, this, [this](bool clean) { setModified(!clean); });
}

void EditorSession::setProgramStarter(ProgramStarter starter) {
    startProgram_ = starter ? std::move(starter) : ProgramStarter(startDetached);
}

const std::string& EditorSession::currentMap() const { return grid_.CurrentMap; }

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
    tiles_.LoadImagens(tables_, project_.ProjectFolder, editorFolder_);
    emit tilesChanged();
}

void EditorSession::refreshTiles() { loadTiles(); }

// --- the brush, the zoom, the view options -------------------------------------------

void EditorSession::setBrush(unsigned char code, const Picture& image) {
    brushCode_ = code;
    brushImage_ = image;
    emit brushChanged(code);
}

void EditorSession::resetStartBrush() {
    brushCode_ = 'G';
    brushImage_ = Picture::fromFile(projectPath(editorFolder_, std::string_view("Imagens\\Image0.bmp")));
}

void EditorSession::setCellSize(int pixels) {
    if (pixels == cellSize_) return;
    cellSize_ = pixels;
    emit cellSizeChanged(pixels);
}

void EditorSession::setShowEventos(bool show) {
    if (show == showEventos_) return;
    showEventos_ = show;
    emit viewOptionsChanged();
}

void EditorSession::setShowObjetos(bool show) {
    if (show == showObjetos_) return;
    showObjetos_ = show;
    emit viewOptionsChanged();
}

void EditorSession::setShowCordenadas(bool show) {
    if (show == showCordenadas_) return;
    showCordenadas_ = show;
    emit viewOptionsChanged();
}

void EditorSession::setGameEntries(const GameEntries& entries) {
    ProjectState after = project_;
    takeGameEntries(after, entries);  // SalvaProjeto; a failed write changes nothing
    project_ = std::move(after);
    emit heroStartChanged();
}

// --- projects -------------------------------------------------------------------

void EditorSession::openProject(const QString& path) {
    openOrClose(*this, [&] {
        ProjectState& project = project_;
        // 1, 2. The project file gives the project state.
        opening::readProject(path, project);
        // 3. The tree.
        treeUndo_.clear();
        opening::openTree(tree_, project);
        // 4. The tiles table.
        tables_.pointAt(tables_.cdsTiles, project.ProjectFolder);
        // 5. The tile pictures and the palette.
        loadTiles();
        // 6. The first map.
        bool loaded = false;
        if (!project.MapList.isEmpty()) {
            showReadMap(opening::listedMapPath(project, project.MapList.first()), mapFileName(project.MapList.first()));
            loaded = true;
        }
        // 7. The first tile of "Lista 1" is the brush.
        emit brushReset();
        // 8. The other tables.
        for (RecordTable* t : opening::otherTables(tables_)) tables_.pointAt(*t, project.ProjectFolder);
        // 9. CurrentMap (set with the map, before the map is announced).
        if (!loaded) grid_.CurrentMap.clear();
        // 10, 11.
        setFlags(true, loaded);
        ws_.prompts().setProjectFolder(project.ProjectFolder);
        ws_.prompts().setRecentProject(path);
        emit projectOpened();
    });
    // Damaged tile pictures show as the placeholder; the user hears of them once.
    if (!tiles_.unreadable().empty()) {
        QString list;
        for (size_t i = 0; i < tiles_.unreadable().size(); ++i)
            list += "\n" + QString::fromStdString(cp1252ToUtf8(tiles_.unreadable()[i])) + ": " +
                    QString::fromStdString(tiles_.unreadableReasons()[i]);
        ws_.prompts().warning(
            QStringLiteral("Estas figuras não puderam ser lidas; em seu lugar aparece a imagem de reserva:") + list);
    }
    offerCurrentRuntime();
}

void EditorSession::openProjectForTool(const QString& path, ToolNeeds needs) {
    openOrClose(*this, [&] {
        opening::readProject(path, project_);
        treeUndo_.clear();
        if (needs != ToolNeeds::ProjectFile) tables_.pointAt(tables_.cdsTiles, project_.ProjectFolder);
        if (needs == ToolNeeds::TilePictures) tiles_.LoadImagens(tables_, project_.ProjectFolder, editorFolder_);
        grid_.CurrentMap.clear();
        setFlags(true, false);
        emit projectOpened();
    });
}

void EditorSession::offerCurrentRuntime() {
    // A runtime written by an older editor (which named its own build folder)
    // or the old stand-in may not find the player: the user may replace it.
    const QString runtime = project_.RuntimePath;
    if (!offerRuntime_ || runtime.isEmpty() || play::runtimeKind(runtime) != play::RuntimeKind::Outdated) return;
    if (ws_.prompts().confirm(play::outdatedRuntimeQuestion(runtime), Buttons::YesNo) == Answer::Yes)
        play::writeLauncher(runtime, project_.ProjectFolder);
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
    const std::vector<ProjectMend> mends = findProjectMends(project_, tree_);
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
    return applyProjectMends(project_, tree_, mends);
}

void EditorSession::closeProject() {
    resetUndo();
    emit mapClosed();
    grid_.CurrentMap.clear();
    setModified(false);  // the discarded map's changes do not outlive it
    project_.clear();
    treeUndo_.clear();
    tree_.removeProjeto();
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
    request.editorFolder = editorFolder_.isEmpty() ? editorFolder() : editorFolder_;
    request.projectFile = projectFile;
    request.name = std::string(name);
    request.author = std::string(author);
    grid_.CurrentMap.clear();
    resetUndo();
    setModified(false);
    quillmark::createProject(request, tables_, project_, tree_, afterFolders);
    setFlags(true, false);
    ws_.prompts().setProjectFolder(project_.ProjectFolder);
    ws_.prompts().setRecentProject(project_.ProjectFile);
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
    Abrir(grid_, fullPath);
    grid_.CurrentMap = name;
    setModified(false);
    emit mapOpened(mapLoaded_);
}

// The new map's file is written first, under a name no map of the project
// has; only then does the map join the tree, the map list and the project
// file. When that registration fails the file just written is removed again,
// so a failed command leaves the project as it was.
void EditorSession::writeAndRegisterMap(std::string_view name) {
    const std::string file = mapFileNameFor(name);
    grid_.CurrentMap = file;
    Salvar(grid_, project_.ProjectFolder, tables_);
    try {
        registerNewMap(project_, grid_, tree_, name);
    } catch (...) {
        QFile::remove(projectPath(project_.ProjectFolder, "Mapas\\" + file));
        forgetFolderListings();
        throw;
    }
}

void EditorSession::registerShownMap(std::string_view name) {
    try {
        // Until its file is written the new map counts as unsaved.
        markModified();
        writeAndRegisterMap(name);
    } catch (...) {
        // The map's files could not be written. Its cells are gone already, so
        // the editor goes on without a loaded map rather than with a map whose
        // grid and name do not belong together.
        grid_.CurrentMap.clear();
        setModified(false);
        setFlags(true, false);
        throw;
    }
    // The new map's node moved the places the tree's steps remember.
    treeUndo_.clear();
    // The map is as its file holds it: the next edit makes it unsaved again,
    // and undoing that edit brings the saved map back.
    undo_.setClean();
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
    const std::string problem = checkNewMapName(tree_, project_, name);
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
    grid_.newGrid(size);
    registerShownMap(name);
    return true;
}

void EditorSession::save() {
    if (!projectOpen_ || !mapLoaded_) return;
    Salvar(grid_, project_.ProjectFolder, tables_);
    undo_.setClean();
    setModified(false);
    tree_.SaveProject(project_.ProjectFolder);
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
    tiled::exportMap(grid_, tiled::tileImagesOf(tables_, tiles_), path, {project_.ProjectFolder, replace});
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
    const std::string problem = checkNewMapName(tree_, project_, name);
    if (!problem.empty()) {
        ws_.prompts().warning(QString::fromUtf8(problem.c_str()));
        return false;
    }
    if (!askToSaveChanges()) return false;
    if (mapLoaded_) emit mapClosed();
    resetUndo();
    grid_.swap(imported);
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
    if (project_.MapList.isEmpty()) {
        ws_.prompts().notice(kNoMapToPlay);
        return false;
    }
    if (!askToSaveChanges()) return false;
    const QString program = project_.RuntimePath;
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

}  // namespace quillmark
