#pragma once
// EditorSession: the one place where the editor's commands run. Opening,
// closing and creating a project, opening, creating and saving a map, the
// save question and Play live here, and so do the flags they change:
// ProjectOpen, MapLoaded, Modified and CurrentMap (kept in the grid). The
// session owns the editor's data: the loaded map's grid, the project state,
// the map tree, the five game tables, the tile image cache, the brush, the
// zoom, the view options and the copy buffers. Windows read them through the
// accessors, change them through the commands and setters (each announces
// the change with a signal) and redraw on the signals; the command-line tool and the
// tests call the same commands, so the path a user takes is the path the tests
// cover. Questions go through the workspace's prompts; a step that needs a
// window goes through links().
//
// Every command throws quillmark::Error when a step fails; the windows run
// them through Workspace::run, which shows the error.
#include "model/core/MapGrid.h"
#include "model/core/MapTree.h"
#include "model/core/Picture.h"
#include "model/core/ProjectFile.h"
#include "model/database/DataModule.h"
#include "model/database/TileCache.h"
#include "model/mapedit/MapEditing.h"
#include "model/mapedit/TiledExchange.h"
#include "model/session/WindowLinks.h"

#include <QObject>
#include <QString>
#include <QUndoStack>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillmark {

class Workspace;
struct GameEntries;
class SessionSetUp;

class EditorSession : public QObject {
    Q_OBJECT
public:
    // Starts a program by path without waiting; false with the reason when it cannot.
    using ProgramStarter = std::function<bool(const QString& program, QString* reason)>;

    explicit EditorSession(Workspace& ws);

    bool projectOpen() const { return projectOpen_; }
    bool mapLoaded() const { return mapLoaded_; }
    bool modified() const { return modified_; }
    const std::string& currentMap() const;

    WindowLinks& links() { return links_; }
    const WindowLinks& links() const { return links_; }

    // --- the data the session owns ---------------------------------------------
    // The loaded map (CurrentMap is grid().CurrentMap); map edits go through
    // mapEditing() and the commands below.
    const MapGrid& grid() const { return grid_; }
    // The project state read from the project file.
    const ProjectState& project() const { return project_; }
    // The map tree; its edits are the tree commands below.
    const MapTree& tree() const { return tree_; }
    // The tree's selection ("Excluir Mapa" and "Nova Pasta" act on it).
    void selectTreeNode(TreeNode* node) { tree_.setSelected(node); }
    // A view of the tree hears of every change of it.
    void observeTree(MapTreeObserver* observer) { tree_.addObserver(observer); }
    void stopObservingTree(MapTreeObserver* observer) { tree_.removeObserver(observer); }
    // The five game tables. A record table has its own cursor, edit states and
    // notifications, which the database pages follow.
    TDataModule1& tables() { return tables_; }
    const TDataModule1& tables() const { return tables_; }
    // The tile image cache (GameListImage1); refreshTiles() refills it.
    const TileCache& tiles() const { return tiles_; }
    // The picture of a tile code from the cache (entry 0 for an unknown code).
    const Picture& PegaImg(unsigned char code) { return tiles_.PegaImg(tables_, code); }
    // The editor folder (template set, "Data/conf.ini", the editor's
    // pictures), ending with '/'; set once at start-up.
    const QString& editorFolder() const { return editorFolder_; }
    void setEditorFolder(const QString& folder) { editorFolder_ = folder; }

    // The brush: the tile code a click paints and its picture
    // ("Imagens\Image0.bmp" of the editor folder until a palette tile is chosen).
    unsigned char brushCode() const { return brushCode_; }
    const Picture& brushImage() const { return brushImage_; }
    // A palette tile chosen: announced with brushChanged.
    void setBrush(unsigned char code, const Picture& image);
    // The brush before any tile is chosen: 'G' with the editor's "Image0.bmp".
    void resetStartBrush();
    // The side of a cell on the canvas, in pixels (the zoom).
    int cellSize() const { return cellSize_; }
    void setCellSize(int pixels);
    // The "Exibir" check marks, read by the cell painting.
    bool showEventos() const { return showEventos_; }
    bool showObjetos() const { return showObjetos_; }
    bool showCordenadas() const { return showCordenadas_; }
    void setShowEventos(bool show);
    void setShowObjetos(bool show);
    void setShowCordenadas(bool show);
    // The copy buffers ("Copiar", "Copiar Evento", "Copiar Imagem").
    const std::optional<TCopyTile>& copiedCell() const { return copiedCell_; }
    const std::string& copiedEvent() const { return copiedEvent_; }
    const std::optional<TCopyImage>& copiedImage() const { return copiedImage_; }

    // The "Game" page's closing: name, author, initial map and the hero's
    // position taken into the project state and the project file written. A
    // position that is not a number, or a write that fails, throws and leaves
    // the project state as it was.
    void setGameEntries(const GameEntries& entries);

    // --- projects ---------------------------------------------------------------
    // Opens a project file: (1, 2) the project file into the project state,
    // (3) the tree, (4) the tiles table, (5) the tile pictures and the palette,
    // (6) the first map of the list, (7) the first tile as the brush, (8) the
    // other tables, (9) CurrentMap, (10) the flags, (11) the enabling rules.
    // A failure at any step leaves no project open and is thrown on.
    void openProject(const QString& path);
    // "Abrir Projeto" and "Reopen" once the file is known: with a project open,
    // the save question and the close command first. False when the user
    // cancelled the question (nothing changed). Once open, a project that a
    // command cut short left incomplete is offered its repair (offerRepairs).
    bool openProjectAsking(const QString& path);
    // What a tool that reads maps without windows needs of the project: the
    // project file alone (a dump), the tiles table too (a map's transparency
    // on writing it), or the tile pictures as well (a drawing, an export).
    enum class ToolNeeds { ProjectFile, TilesTable, TilePictures };
    // A project opened for such a tool (the command-line tool's render,
    // export, dump and resave): steps 1, 2, 4 and 5 of openProject as far as
    // `needs` goes, with the same errors; no tree, no map, no other table, no
    // question. Damaged tile pictures are left in tiles().unreadable().
    // openMap then loads the map the tool names.
    void openProjectForTool(const QString& path, ToolNeeds needs = ToolNeeds::TilePictures);
    // Looks for what a command cut short can leave (ProjectRepair.h) and,
    // when something can be mended, asks whether to mend it now. Returns the
    // number of mends applied (0 when none or the user said no).
    int offerRepairs();
    // The close command: the map and the project go, without a question.
    void closeProject();
    // "Close All": the save question, then the close command. False when cancelled.
    bool closeAll();
    // The wizard's OK with its fields: refuses an unusable name or file with
    // the wizard's notice, asks about unsaved changes, makes the project file's
    // folder with its parents and checks that a file can be written there (a
    // refusal throws and leaves the open project as it was), closes the open project,
    // creates the project folder from the template set (afterFolders runs once
    // the folders exist: the wizard closes there) and opens it without a map.
    // False when refused or cancelled.
    bool createProject(const QString& projectFile, std::string_view name, std::string_view author,
                       const std::function<void()>& afterFolders = {});

    // --- maps -------------------------------------------------------------------
    // Opens a map file of the project (the tree's double-click): the save
    // question, then the map is read and shown. name: the map's file name.
    // False when cancelled.
    bool openMap(const QString& fullPath, const std::string& name);
    // "Novo Mapa": shows the new-map dialog (a window link).
    void newMapCommand();
    // The new-map dialog's OK: the name checks (a refused name is shown in a
    // warning and nothing changes), the save question, the map registered in
    // the project, its empty grid of side `size` written and shown.
    // False when refused or cancelled.
    bool newMap(std::string_view name, int size);
    // "Salvar": the map file, Modified cleared, the tree file.
    void save();
    // With unsaved map changes: "Desejá Salvar as Alterações?" (Yes/No/Cancel).
    // Yes saves; false only for Cancel. Without changes true at once.
    bool askToSaveChanges();
    // A change of the map that no undo step holds (a new or imported map
    // before its file is written): Modified is set and no undo brings the
    // saved state back.
    void markModified();

    // --- the hero's start --------------------------------------------------------
    // "Início do Herói": the loaded map becomes InitialMap and the cell's game
    // position (X = 40 x column + 120, Y = 40 x row + 20) CharX and CharY; the
    // project file is written as the "Game" page writes it. A write that fails
    // leaves the project state as it was.
    void setHeroStart(int row, int column);
    // The cell of the hero's start on the loaded map, when it is this map and
    // the position is on a cell of it; {0, 0} otherwise.
    std::pair<int, int> heroStartCell() const;

    // --- exchange with Tiled ----------------------------------------------------
    // "Exportar Mapa": the loaded map (unsaved edits included) as a TMX map at
    // path, with the project's tile pictures as the tileset "Tiles.tsx" (and
    // its sheet "Tiles.png") beside it. Nothing in the project changes: an
    // output inside "Mapas\" or "Data\" is refused, and so is an existing
    // file that is not a TMX map unless `replace` (the user confirmed it).
    void exportMap(const QString& path, bool replace = false);
    // "Importar Mapa": reads a TMX map and, when it can be held and the name is
    // free, registers it in the project as the new-map dialog does, writes its
    // map file and shows it. A file that cannot be read or mapped throws and a
    // refused name is shown in a warning, in both cases before anything
    // changes. `options` says what becomes of empty cells and of the layers
    // the editor does not know. False when refused or cancelled.
    bool importMap(const QString& path, std::string_view name, const tiled::ImportOptions& options = {});
    // Reads and checks a TMX map ahead of importMap, leaving out nothing and
    // giving empty cells the first code, and tells what the import questions
    // need; importMap on the same path then takes this read rather than
    // reading the file again whenever its options give the same map.
    tiled::ImportNotes readImport(const QString& path);

    // --- the rest -----------------------------------------------------------------
    // "Play": needs a map in the project; asks about unsaved changes; starts
    // the project's runtime. A runtime that cannot be started is an error
    // naming the file and the reason. False when it did not start.
    bool play();
    // Replaces how the runtime is started (tests); empty: a detached process.
    void setProgramStarter(ProgramStarter starter);
    // After a project opens: when its runtime is an older editor's launcher
    // (or the old stand-in), asks whether to replace it with the current one.
    // A tool that asks nothing turns the question off.
    void offerCurrentRuntime();
    void setOfferRuntime(bool offer) { offerRuntime_ = offer; }

    // Refills the tile image cache from the open project (or the editor
    // folder without one) and announces it (after a tile edit).
    void refreshTiles();
    // A copy buffer changed: the paste commands follow.
    void clipboardChanged() { emit stateChanged(); }

    // --- map edits -------------------------------------------------------------------
    // Every edit of the loaded map is one step of this stack. It is emptied
    // whenever another map is loaded (or none is); Modified follows its clean
    // state, so undoing back to the saved map clears Modified again.
    QUndoStack& undoStack() { return undo_; }
    // Painting, strokes, fills, pastes and events as undo commands on the grid.
    MapEditing& mapEditing() { return edits_; }
    // "Copiar", "Copiar Evento", "Copiar Imagem": the cell into its buffer.
    void copyCell(int row, int column);
    void copyEvent(int row, int column);
    void copyImage(int row, int column);
    // "Colar", "Colar Evento", "Colar Imagem": false with nothing to paste.
    bool pasteCell(int row, int column);
    bool pasteEvent(int row, int column);
    bool pasteImage(int row, int column);
    // The picker: the cell's code on the layer becomes the brush (brushPicked).
    // Nothing in the event layer; false then.
    bool pickBrush(EditLayer layer, int row, int column);
    // The right press on a cell: the script window for a cell with an event,
    // the event selector otherwise; their result becomes the cell's event as
    // one undo step (a dialog closed without a change is one too).
    void editEvent(int row, int column);

    // --- the map tree ------------------------------------------------------------------
    // "Nova Pasta" under the root, asked for by name; an undo step. False when
    // refused or cancelled.
    bool newFolder();
    // "Excluir Mapa": asks, then removes the selected node from the tree (the
    // map file stays; the tree file is written by the next tree command or
    // save). False when refused or cancelled.
    bool removeSelectedFromTree();
    // A drop of `dragged` on `target`: moved to the end of the target's
    // children, the tree file written; an undo step.
    DropOutcome moveInTree(TreeNode* dragged, TreeNode* target);
    // The tree's steps: folders made and nodes moved. Emptied when the project closes.
    QUndoStack& treeUndoStack() { return treeUndo_; }

signals:
    // ProjectOpen or MapLoaded changed, or a copy buffer: the enabling rules run again.
    void stateChanged();
    void modifiedChanged(bool modified);
    void projectOpened();
    void projectClosed();
    // The grid holds a map read from its file; wasLoaded: a map was shown before.
    void mapOpened(bool wasLoaded);
    // The grid holds a new, empty map.
    void newMapOpened();
    // The shown map is gone (its cells go with it).
    void mapClosed();
    // The tile image cache holds new pictures: the palette and the map redraw.
    void tilesChanged();
    // The first palette tile becomes the brush.
    void brushReset();
    // The picker chose this tile code as the brush.
    void brushPicked(unsigned char code);
    // InitialMap, CharX or CharY changed (or another entry of the "Game" page).
    void heroStartChanged();
    // A palette tile became the brush.
    void brushChanged(unsigned char code);
    // The zoom changed the side of a cell.
    void cellSizeChanged(int pixels);
    // An "Exibir" check mark changed.
    void viewOptionsChanged();
    // An undo or a redo rewrote these cells of the grid (1-based, inclusive).
    void cellsEdited(int firstRow, int firstColumn, int lastRow, int lastColumn);

private:
    // Tests and benchmarks set up states no command leads to on its own (a
    // project folder without a project file, a map's name alone) through it.
    friend class SessionSetUp;

    void setModified(bool modified);
    void setFlags(bool projectOpen, bool mapLoaded);
    void loadTiles();
    // The grid holds the map read from fullPath, named `name`.
    void showReadMap(const QString& fullPath, const std::string& name);
    // A new or imported map in the grid becomes the project's map `name`; when
    // its files cannot be written the editor goes on with no map loaded.
    void registerShownMap(std::string_view name);

    // The map's file is written under the new name; the map then joins the
    // tree, the map list and the project file (see EditorSession.cpp).
    void writeAndRegisterMap(std::string_view name);

    Workspace& ws_;
    WindowLinks links_;

    // --- the data ---
    MapGrid grid_;
    ProjectState project_;
    MapTree tree_;
    TDataModule1 tables_;
    TileCache tiles_;
    QString editorFolder_;
    unsigned char brushCode_ = 'G';
    Picture brushImage_;
    int cellSize_ = 40;
    bool showEventos_ = true;
    bool showObjetos_ = true;
    bool showCordenadas_ = false;
    std::optional<TCopyTile> copiedCell_;
    std::string copiedEvent_;
    std::optional<TCopyImage> copiedImage_;

    ProgramStarter startProgram_;
    bool offerRuntime_ = true;
    bool projectOpen_ = false;
    bool mapLoaded_ = false;
    bool modified_ = false;

    // --- undo ---
    void resetUndo();
    QUndoStack undo_;
    QUndoStack treeUndo_;
    MapEditing edits_;
    // A TMX map read by readImport, with its path.
    QString pendingImportPath_;
    std::unique_ptr<MapGrid> pendingImport_;
    tiled::ImportNotes pendingNotes_;
};

}  // namespace quillmark
