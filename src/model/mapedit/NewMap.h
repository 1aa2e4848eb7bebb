#pragma once
// A new map: the checks on its name, its registration in the project (map
// list, initial map, tree node, line 3 of the project file) and its first,
// empty grid written to "Mapas\" + name + ".xml". The "Novo Mapa" dialog and
// the command-line tool share this code.
#include <QString>
#include <optional>
#include <string>
#include <string_view>

namespace quillmark {

class MapGrid;
class MapTree;
struct ProjectState;

// The side a new map has unless another is asked for, and the sides a map file can hold.
inline constexpr int kNewMapSize = 14;
inline constexpr int kMinMapSize = 1;
inline constexpr int kMaxMapSize = 100;
// The longest name the dialog's name field takes.
inline constexpr int kMapNameMaxLength = 20;

// Messages (UTF-8), shown in an "Atenção" box.
inline constexpr const char* kMapAlreadyExists = "O mapa já existe!!! Escolha outro nome.";
inline constexpr const char* kMapNameEmpty = "Digite um nome para o mapa.";
inline constexpr const char* kMapNameInvalid =
    "Nome de mapa inválido!\n\nO nome não pode ser \".\" nem \"..\" e não pode conter os caracteres "
    "\\ / : * ? \" < > | % nem caracteres de controle.";
inline constexpr const char* kMapNameBlankEnds =
    "Nome de mapa inválido!\n\nO nome não pode começar nem terminar com espaços.";
inline constexpr const char* kMapNameWithExtension =
    "Nome de mapa inválido!\n\nDigite o nome sem \".xml\": o editor acrescenta a extensão ao nome do arquivo.";
inline constexpr const char* kMapNameTooLong = "O nome do mapa pode ter no máximo 20 caracteres.";
inline constexpr const char* kMapSizeInvalid = "O tamanho do mapa deve ser um número inteiro de 1 a 100.";

// The side typed for a new map: an integer from 1 to 100 (blanks around it
// allowed), or nothing.
std::optional<int> parseMapSize(std::string_view text);

// The map file name of a map name: name + ".xml".
std::string mapFileNameFor(std::string_view name);

// Whether a map name (CP1252) can name a file in "Mapas\": not empty, not "."
// or "..", at most 20 characters, without \ / : * ? " < > | or control
// characters, without "%" (it ends each name of the project file's map list)
// and without a blank at either end (the tree file counts leading blanks as
// depth, and trailing ones do not survive every file system); not ending with
// ".xml" (the file would be "Vila.xml.xml") and not a device name the system
// reserves ("CON", "nul" …, Names.h). Returns the message to show, or an
// empty string when it can.
std::string checkMapNameForm(std::string_view name);

// True when some node of the tree, root included, has the text name + ".xml",
// compared without regard to case.
bool mapNameTaken(const MapTree& tree, std::string_view name);

// True when name + ".xml" is already a map of the project without regard to
// case: a node of the tree, an entry of the map list, or an entry of "Mapas\"
// on disk (a map removed from the tree keeps its file there).
bool mapNameTaken(const MapTree& tree, const ProjectState& project, std::string_view name);

// Both checks, the form first. Returns the message to show, or an empty string.
std::string checkNewMapName(const MapTree& tree, const ProjectState& project, std::string_view name);

// Registers the map in the project: CurrentMap = name + ".xml"; the first map
// of the project becomes the initial map; the map joins the map list, the tree
// (a map node under the root, then the tree file is saved) and line 3; the
// project file is written again. Does not check the name. The map file is
// written before this. When the tree file or the project file cannot be
// written, throws Error with the project state, the tree and the tree file as
// they were (the tree file is written back).
void registerNewMap(ProjectState& project, MapGrid& grid, MapTree& tree, std::string_view name);

// The project file written from the project state (the dialog's SalvaProjeto).
void SalvaProjeto(const ProjectState& project);

}  // namespace quillmark
