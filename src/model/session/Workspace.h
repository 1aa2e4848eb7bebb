#pragma once
// The editor's shared state, created once by main and handed to every window:
// the editor session (which runs the commands and owns ProjectOpen, MapLoaded,
// Modified and CurrentMap), the brush, the zoom, the event result, the view
// options, the copy buffers, the project state read from the project file, the
// one loaded map, the map tree, the five game tables, the tile image cache and
// the prompts. Windows exchange data only through it and the tables; no globals.
#include "model/core/MapGrid.h"
#include "model/core/MapTree.h"
#include "model/core/Picture.h"
#include "model/core/ProjectFile.h"
#include "model/core/Prompts.h"
#include "model/database/DataModule.h"
#include "model/database/TileCache.h"
#include "model/session/EditorSession.h"

#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace quillmark {

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
    // The commands and the flags ProjectOpen, MapLoaded, Modified, CurrentMap.
    EditorSession& session() { return *session_; }
    const EditorSession& session() const { return *session_; }
    unsigned char BrushCode = 'G';
    Picture BrushImage;  // "Imagens\Image0.bmp" of the editor folder until a palette tile is chosen
    int CellSize = 40;
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
    // Refills the tile image cache from the open project (or the working folder
    // without one) without telling anyone; the editor's windows use the
    // session's refreshTiles(), which announces the new pictures.
    void LoadImagens() { tiles.LoadImagens(DataModule1, project.ProjectFolder, EditorFolder); }

private:
    std::unique_ptr<Prompts> prompts_;
    std::unique_ptr<EditorSession> session_;
};

}  // namespace quillmark
