#pragma once
// The editor's shared state, created once by main and handed to every window:
// the editor state (ProjectOpen, MapLoaded, Modified, the brush, the zoom, the
// event result, the view options, the copy buffers), the project state read
// from the project file, the one loaded map, the map tree, the five game
// tables, the tile image cache and the prompts. Windows exchange data only
// through it and the tables; no globals.
#include "core/MapGrid.h"
#include "core/MapTree.h"
#include "core/Picture.h"
#include "core/ProjectFile.h"
#include "core/Prompts.h"
#include "database/DataModule.h"
#include "database/TileCache.h"

#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace quillmark {

// What "Copiar" keeps of a cell. The row and column are kept but never used by a paste.
struct TCopyTile {
    int row = 0;
    int column = 0;
    unsigned char XO = 'O';
    std::string event;
    unsigned char Tipo = '0';
    unsigned char Fundo = '0';
};

struct TCopyImage {
    unsigned char Tipo = '0';
    unsigned char Fundo = '0';
};

class Workspace {
public:
    explicit Workspace(std::unique_ptr<Prompts> prompts);
    ~Workspace();
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    Prompts& prompts() { return *prompts_; }
    void setPrompts(std::unique_ptr<Prompts> prompts) { prompts_ = std::move(prompts); }

    // Runs one user command. An error stops it and is shown in the general error
    // box ("Quillmark", stop icon); what was done stays done. Returns false when
    // the command failed.
    bool run(const std::function<void()>& command);

    // --- shared editor state ----------------------------------------------
    bool ProjectOpen = false;
    bool MapLoaded = false;
    bool Modified = false;
    unsigned char BrushCode = 'G';
    Picture BrushImage;  // "Imagens\Image0.bmp" of the editor folder until a palette tile is chosen
    int CellSize = 40;
    std::string EventResult;  // what the event editor hands back to the cell (CP1252)
    // The "Exibir" check marks, read by the cell painting.
    bool ShowEventos = true;
    bool ShowObjetos = true;
    bool ShowCordenadas = false;
    // The copy buffers ("Copiar", "Copiar Evento", "Copiar Imagem").
    std::optional<TCopyTile> CopiedCell;
    std::string CopiedEvent;
    std::optional<TCopyImage> CopiedImage;

    // The editor folder (template set, "Data/conf.ini", the editor's pictures), ending with '/'.
    QString EditorFolder;

    // --- project, map, tables, pictures -------------------------------------
    ProjectState project;
    MapGrid grid;  // CurrentMap lives here: grid.CurrentMap
    MapTree tree;
    TDataModule1 DataModule1;
    TileCache tiles;  // tiles.GameListImage1 is the tile image cache

    // The picture of a tile code from the cache (entry 0 for an unknown code).
    const Picture& PegaImg(unsigned char code) { return tiles.PegaImg(DataModule1, code); }
    // Refills the tile image cache from the open project (or the working folder without one).
    void LoadImagens() { tiles.LoadImagens(DataModule1, project.ProjectFolder, EditorFolder); }

    // --- common steps ---------------------------------------------------------
    // The save command: Salvar, clear Modified, save the project tree.
    void saveCommand();
    // When a project is open and the map has unsaved changes, asks
    // "Desejá Salvar as Alterações?" (Yes/No/Cancel): Yes saves and goes on, No
    // goes on, Cancel stops (returns false). Without changes returns true at once.
    bool askToSaveChanges();

    // --- links between windows ---------------------------------------------
    // Each window that owns a step fills its hook when it is created; a hook
    // left empty does nothing. Models and tests can call them without knowing
    // the windows.
    struct Hooks {
        std::function<void()> verificaStatus;            // main window: the enabling rules
        std::function<void(const QString&)> setCaption;  // main window caption
        std::function<void()> closeProject;              // main window: "Close All"
        std::function<void()> newMapCommand;             // "Novo Mapa" command (dialog, grid, Salvar, caption)
        std::function<void()> showNewProjectWizard;      // "Novo Projeto", modal
        std::function<void()> showMapProperties;         // "Propriedades do Mapa", modal
        std::function<void()> showDatabase;              // "Banco de Dados", modal
        std::function<void()> layoutLoadedMap;           // canvas: lay out the cells after Abrir
        std::function<void()> buildNewMapCells;          // canvas: fresh cells for a new grid
        std::function<void()> destroyCells;              // canvas: discard every cell control
        std::function<void()> repaintCells;              // canvas: repaint every cell
        std::function<void()> LoadImgs;                  // palette: rebuild the 144 buttons
        std::function<void()> chooseFirstBrush;          // palette: click on button 0
        // The event editor: show the script window with a text (the menus set
        // by its kind), or the event-type selector. Both leave their result in
        // EventResult.
        std::function<void(const std::string& text)> showEventScript;
        std::function<void()> showEventSelector;
    } hooks;

private:
    std::unique_ptr<Prompts> prompts_;
};

}  // namespace quillmark
