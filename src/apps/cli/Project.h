#pragma once
// A project opened or created without windows, through a workspace whose
// prompts are never shown: the commands new, new-map and the demo build on it.
#include "model/session/Workspace.h"

#include <QString>
#include <memory>
#include <string>

namespace quillmark::cli {

// The wizard's defaults (its "Nome do Projeto:" and "Autor:" fields), UTF-8.
inline constexpr const char* kDefaultProjectName = "Meu Game";
inline constexpr const char* kDefaultProjectAuthor = "Equipe Quillmark";

// A workspace for the tool: the editor folder beside the executable, prompts
// that refuse every question.
std::unique_ptr<Workspace> newWorkspace();

// Opens a project as the main window does (the editor session's open).
void openProject(Workspace& ws, const QString& projectFile);

// Opens a project for a command that reads one of its maps (render, export,
// dump, resave) through the editor session, without windows: the project
// file, the tiles table and the tile pictures, then the map "Mapas\" +
// mapName (CP1252, found without regard to letter case), loaded as a
// double-click on its node loads it. Each step's error is thrown on.
void openProjectMap(Workspace& ws, const QString& projectFile, const std::string& mapName,
                    EditorSession::ToolNeeds needs = EditorSession::ToolNeeds::TilePictures);

// The "Novo Projeto" wizard's OK: refuses an empty name or file name with the
// wizard's message, and an existing project file unless `replace` (the tool
// asks no question; `replace` is the user's yes to the wizard's). Creates the
// project file's folder when it is missing.
void createProjectFile(Workspace& ws, const QString& projectFile, const std::string& name, const std::string& author,
                       bool replace = false);

// The "Novo Mapa" dialog's OK and the grid it writes: the name checks with
// their messages, the map list, the initial map, the tree, line 3 of the
// project file and the size x size map file. The new grid stays loaded in ws.session().grid().
void addNewMap(Workspace& ws, const std::string& name, int size = 14);

}  // namespace quillmark::cli
