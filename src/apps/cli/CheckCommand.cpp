// check: reads everything the editor reads from a project and lists each
// problem on its own line: files that cannot be read, maps the project names
// but does not have, tree nodes without their map, tile codes without a tile,
// frame files that are missing or do not decode, characters without a folder,
// in event scripts: broken commands and blocks, switches outside 1 to 100,
// map transfers to a map or cell that does not exist, unknown monsters and items;
// and what the game would not play as written: numbers outside their range,
// spells and items that do not exist, map settings naming missing maps or monsters,
// a hero's start outside the initial map, switch names of switches outside 1 to 100.
#include "apps/cli/Cli.h"

#include "model/core/Error.h"
#include "model/core/HeroStart.h"
#include "model/core/MapFile.h"
#include "model/core/MapTree.h"
#include "model/core/Paths.h"
#include "model/core/Picture.h"
#include "model/core/Text.h"
#include "model/database/DataModule.h"
#include "model/database/TileCache.h"
#include "model/events/EventCommands.h"
#include "model/events/EventScript.h"
#include "model/events/SwitchNames.h"
#include "model/mapedit/MapProperties.h"
#include "model/mapedit/ProjectRepair.h"
#include "play/model/GameDatabase.h"

#include <QFileInfo>

#include <array>
#include <map>
#include <memory>
#include <set>

namespace quillmark::cli {

namespace {

// A project path as the editor writes it ("Imagens\Slime\CharFace.bmp"), for the terminal.
std::string shown(const std::string& relativeCp1252) { return cp1252ToUtf8(relativeCp1252); }
std::string quoted(const std::string& cp1252) { return "\"" + cp1252ToUtf8(cp1252) + "\""; }

std::string codeText(unsigned char code) {
    return "'" + cp1252ToUtf8(std::string(1, static_cast<char>(code))) + "' (" + std::to_string(code) + ")";
}

std::string cellText(int row, int column) {
    return "linha " + std::to_string(row) + ", coluna " + std::to_string(column);
}

class Checker {
public:
    explicit Checker(ProjectState project) : project_(std::move(project)) {}

    std::vector<std::string> run() {
        checkTree();
        const bool tilesOpen = openTable(data_.cdsTiles);
        for (RecordTable* t : {&data_.cdsMonstros, &data_.cdsItens, &data_.cdsMagias, &data_.cdsPersonagem})
            openTable(*t);
        if (tilesOpen) checkTiles();
        if (data_.cdsPersonagem.active()) checkHero();
        if (data_.cdsMonstros.active()) checkMonsters();
        if (data_.cdsItens.active()) checkItems();
        checkPicture("Imagens\\null.bmp", "imagem de reserva dos quadros");
        checkMaps(tilesOpen);
        checkEventScripts();
        checkGameData();
        checkMapSettings();
        return problems_;
    }

private:
    void problem(const std::string& where, const std::string& what) { problems_.push_back(where + ": " + what); }

    // --- the map tree --------------------------------------------------------
    void checkTree() {
        tree_.CriaProjeto(project_.ProjectName);
        try {
            tree_.LoadProject(project_);
        } catch (const std::exception& e) {
            problem(shown(std::string(kTreeFileName)), e.what());
        }
    }

    // --- tables ----------------------------------------------------------------
    bool openTable(RecordTable& table) {
        const std::string relative = data_.relativeFileOf(table);
        try {
            data_.pointAt(table, project_.ProjectFolder);
            return true;
        } catch (const std::exception& e) {
            problem(shown(relative), e.what());
            return false;
        }
    }

    // The value of a field in a stored record, empty when the table lacks the field.
    static std::string field(const RecordTable& table, const Record& record, std::string_view name) {
        const int i = table.fieldIndex(name);
        if (i < 0 || static_cast<size_t>(i) >= record.size() || !record[static_cast<size_t>(i)]) return {};
        return *record[static_cast<size_t>(i)];
    }

    // A picture file the editor reads: it must exist and decode. `relative` is
    // the project path (CP1252). Each file is read once, however often it is named.
    void checkPicture(const std::string& relative, const std::string& owner) {
        const QString path = projectPath(project_.ProjectFolder, relative);
        const auto seen = pictures_.find(path);
        std::string failure;
        if (seen != pictures_.end()) {
            failure = seen->second;
        } else {
            if (!fileExists(path)) {
                failure = "não existe";
            } else {
                try {
                    Picture().LoadFromFile(path);
                } catch (const std::exception& e) {
                    failure = std::string("não pode ser lido: ") + e.what();
                }
            }
            pictures_.emplace(path, failure);
        }
        if (!failure.empty()) problem(shown(relative), owner + ": " + failure);
    }

    void checkTiles() {
        const RecordTable& t = data_.cdsTiles;
        for (const Record& r : t.allRecords()) {
            const std::string tipo = field(t, r, "Tipo");
            if (tipo.empty()) continue;
            const auto code = static_cast<unsigned char>(tipo[0]);
            tileCodes_.insert(code);
            const std::string owner = "tile " + codeText(code);
            const std::string cod = field(t, r, "Cod");
            int n = 0;
            try {
                n = parseIntegerValue(cod.empty() ? "0" : cod);
            } catch (const std::exception&) {
                n = -1;
            }
            if (n < 0 || n >= TileCache::kEntries)
                problem(shown(kTilesFile),
                        owner + ": \"Cod\" " + cod + " fora de 0 a " + std::to_string(TileCache::kEntries - 1));
            const std::string file = field(t, r, "File");
            if (!file.empty()) checkPicture("Imagens\\" + file, owner);
            if (code >= 180 && code <= 191) {
                const std::string number = std::to_string(code - 179);
                checkPicture("Imagens\\TileAni" + number + "02.bmp", owner + ", quadro 2");
                checkPicture("Imagens\\TileAni" + number + "03.bmp", owner + ", quadro 3");
            }
        }
    }

    void checkHero() {
        const RecordTable& t = data_.cdsPersonagem;
        if (t.allRecords().empty()) return;
        const Record& hero = t.allRecords().front();  // the editor works on the first record only
        for (const FieldDef& f : t.fields()) {
            const std::string& name = f.name;
            const bool frame = name.rfind("Face", 0) == 0 || name.rfind("AnAndando", 0) == 0 ||
                               name.rfind("AnMorto", 0) == 0 || name.rfind("AnBat", 0) == 0;
            if (!frame) continue;
            const std::string file = field(t, hero, name);
            if (!file.empty()) checkPicture("Imagens\\" + file, "herói, " + cp1252ToUtf8(name));
        }
    }

    // Frames in the record folder "Imagens\" + Nome + "\".
    void checkRecordFrames(const RecordTable& t, const char* kind, const std::vector<std::string>& fields) {
        for (const Record& r : t.allRecords()) {
            const std::string nome = field(t, r, "Nome");
            for (const std::string& f : fields) {
                const std::string file = field(t, r, f);
                if (!file.empty())
                    checkPicture("Imagens\\" + nome + "\\" + file, std::string(kind) + " " + quoted(nome) + ", " + f);
            }
        }
    }

    void checkMonsters() {
        std::vector<std::string> fields;
        for (const char* prefix : {"Parado0", "Atacando0", "UsMagia0"})
            for (int i = 1; i <= 6; ++i) fields.push_back(prefix + std::to_string(i));
        fields.push_back("Face");
        checkRecordFrames(data_.cdsMonstros, "inimigo", fields);
    }

    void checkItems() {
        checkRecordFrames(data_.cdsItens, "item", {"Imagem", "Anim1", "Anim2", "Anim3", "Anim4", "Anim5"});
    }

    // --- maps --------------------------------------------------------------------
    void checkMaps(bool tilesKnown) {
        std::set<std::string> listed;  // lower-cased names MapList gives
        for (const std::string& name : project_.mapFileNames()) {
            if (!listed.insert(asciiLower(name)).second) continue;
            const std::string relative = "Mapas\\" + name;
            const QString path = projectPath(project_.ProjectFolder, relative);
            if (!fileExists(path)) {
                problem(shown(relative), "o mapa listado no arquivo do projeto não existe");
                continue;
            }
            MapGrid grid;
            try {
                Abrir(grid, path);
            } catch (const std::exception& e) {
                problem(shown(relative), e.what());
                continue;
            }
            checkMap(relative, grid, tilesKnown);
            keepEvents(relative, grid);
        }

        const std::vector<std::string> mapNames = project_.mapFileNames();
        for (const TreeNode* node : tree_.nodesInTreeOrder()) {
            if (node == tree_.root()) continue;
            const std::string& text = node->text();
            const bool mapNode = node->imageIndex() == kImageMap;
            const bool looksLikeMap = text.size() >= 4 && asciiLower(text.substr(text.size() - 4)) == ".xml";
            if (!mapNode && !looksLikeMap) continue;
            const std::string relative = "Mapas\\" + text;
            const bool exists = fileExists(projectPath(project_.ProjectFolder, relative));
            if (mapNode && !exists) {
                if (listed.count(asciiLower(text)) == 0)  // already reported as a listed map
                    problem(shown(std::string(kTreeFileName)), "o nó " + quoted(text) + " não tem mapa em \"Mapas\\\"");
            } else if (!mapNode && !exists) {
                // a node whose map file exists is a map the list lacks: reported with its mend
                problem(shown(std::string(kTreeFileName)), "o nó " + quoted(text) + " não tem mapa em \"Mapas\\\"");
            }
        }
    }

    void checkMap(const std::string& relative, const MapGrid& grid, bool tilesKnown) {
        struct Unknown {
            int row = 0, column = 0, count = 0;
        };
        std::map<unsigned char, Unknown> unknown;
        for (int r = 1; r <= grid.N; ++r) {
            for (int c = 1; c <= grid.N; ++c) {
                if (tilesKnown) {
                    for (const unsigned char code : {grid.tipo(r, c), grid.fundo(r, c)}) {
                        if (tileCodes_.count(code)) continue;
                        Unknown& u = unknown[code];
                        if (u.count++ == 0) u.row = r, u.column = c;
                    }
                }
                const std::string& text = grid.evento(r, c);
                if (CellEventMark(text) != CellMark::Character) continue;
                const AddCharArgs character = ParseAddChar(text);
                const std::string folder = "Imagens\\" + character.name;
                if (character.name.empty() || !folderExists(projectPath(project_.ProjectFolder, folder)))
                    problem(shown(relative), "o personagem " + quoted(character.name) + " (" + cellText(r, c) +
                                                 ") não tem pasta " + quoted(folder));
            }
        }
        for (const auto& [code, u] : unknown) {
            std::string where = cellText(u.row, u.column);
            if (u.count > 1) where += ", e mais " + std::to_string(u.count - 1);
            problem(shown(relative), "o código de tile " + codeText(code) + " não tem registro em " +
                                         shown(kTilesFile) + " (" + where + ")");
        }
    }

    // --- event scripts ------------------------------------------------------------
    struct CellScript {
        std::string map;  // "Mapas\Vila.xml"
        int row = 0, column = 0;
        std::string text;
    };

    // Keeps a map's size and its event texts: scripts are checked once every
    // map is known, since a transfer may lead to a map read later.
    void keepEvents(const std::string& relative, const MapGrid& grid) {
        mapSizes_.emplace(asciiLower(relative.substr(6)), grid.N);
        for (int r = 1; r <= grid.N; ++r)
            for (int c = 1; c <= grid.N; ++c)
                if (!IsNoEvent(grid.evento(r, c))) cellScripts_.push_back({relative, r, c, grid.evento(r, c)});
    }

    static std::set<std::string> namesOf(const RecordTable& table) {
        std::set<std::string> names;
        for (const Record& r : table.allRecords()) names.insert(field(table, r, "Nome"));
        return names;
    }

    void checkEventScripts() {
        if (data_.cdsMonstros.active()) monsters_ = namesOf(data_.cdsMonstros);
        if (data_.cdsItens.active()) items_ = namesOf(data_.cdsItens);
        std::set<std::string> characters;
        for (const CellScript& s : cellScripts_) {
            const ParsedEvent parsed = ParseCellEvent(s.text);
            const std::string where = shown(s.map);
            const std::string cell = cellText(s.row, s.column) + ", ";
            const bool character = !parsed.commands.empty() && parsed.commands[0].kind == EventCommandKind::AddChar;
            if (character) {  // its folder is checked with the map
                if (parsed.commands[0].ok) characters.insert(parsed.commands[0].args[0]);
                continue;
            }
            for (const EventProblem& p : parsed.problems) problem(where, cell + describeProblem(p));
            checkReferences(where, cell, s.text, parsed.commands);
        }
        for (const std::string& name : characters) checkCharacterScript(name);
        if (data_.cdsItens.active()) checkItemScripts();
    }

    // A character's "Evento.dat", when its folder has one.
    void checkCharacterScript(const std::string& name) {
        const std::string relative = "Imagens\\" + name + "\\Evento.dat";
        const QString path = projectPath(project_.ProjectFolder, relative);
        if (!fileExists(path)) return;
        std::string text;
        try {
            text = FlattenEventText(loadScriptFile(path));
        } catch (const std::exception& e) {
            problem(shown(relative), e.what());
            return;
        }
        const ParsedEvent parsed = ParseScriptText(text);
        for (const EventProblem& p : parsed.problems) problem(shown(relative), describeProblem(p));
        checkReferences(shown(relative), "", text, parsed.commands);
    }

    // The script an item runs when used ("Executar Evento").
    void checkItemScripts() {
        const RecordTable& t = data_.cdsItens;
        for (const Record& r : t.allRecords()) {
            const std::string text = field(t, r, "Evento");
            if (TrimBlanks(text).empty()) continue;
            const std::string where = shown(data_.relativeFileOf(data_.cdsItens));
            const std::string owner = "item " + quoted(field(t, r, "Nome")) + ", \"Evento\", ";
            const ParsedEvent parsed = ParseScriptText(RemoveCrLf(text));
            for (const EventProblem& p : parsed.problems) problem(where, owner + describeProblem(p));
            checkReferences(where, owner, text, parsed.commands);
        }
    }

    // Maps, cells, monsters and items the commands name.
    void checkReferences(const std::string& where, const std::string& prefix, const std::string& text,
                         const std::vector<EventCommand>& commands) {
        forEachCommand(commands, [&](const EventCommand& c) {
            if (!c.ok) return;  // already reported
            const std::string command =
                "comando " +
                quoted(std::string(text, std::min(c.offset, text.size()), std::min<size_t>(c.length, 60))) + ": ";
            auto report = [&](const std::string& what) { problem(where, prefix + command + what); };
            switch (c.kind) {
            case EventCommandKind::MudarMapa: {
                const auto size = mapSizes_.find(asciiLower(c.args[2]));
                if (size == mapSizes_.end()) {
                    report("o mapa " + quoted(c.args[2]) + " não está no projeto");
                    break;
                }
                const int column = *integerArgument(c.args[0]);
                const int row = *integerArgument(c.args[1]);
                if (column > size->second || row > size->second)
                    report(cellText(row, column) + " fica fora do mapa " + quoted(c.args[2]) + " (" +
                           std::to_string(size->second) + " × " + std::to_string(size->second) + ")");
                break;
            }
            case EventCommandKind::IniciarBatalha:
                if (!data_.cdsMonstros.active()) break;
                for (size_t i = 1; i < c.args.size(); ++i)
                    if (!monsters_.count(c.args[i]))
                        report("o monstro " + quoted(c.args[i]) + " não está em " +
                               shown(data_.relativeFileOf(data_.cdsMonstros)));
                break;
            case EventCommandKind::AdicionarItem:
            case EventCommandKind::SeTemItem:
                if (data_.cdsItens.active() && !items_.count(c.args[1]))
                    report("o item " + quoted(c.args[1]) + " não está em " +
                           shown(data_.relativeFileOf(data_.cdsItens)));
                break;
            default:
                break;
            }
        });
    }

    // --- the game: the player's own reading of the four game tables ---------------
    void checkGameData() {
        for (const RecordTable* t : {&data_.cdsItens, &data_.cdsMagias, &data_.cdsMonstros, &data_.cdsPersonagem})
            if (!t->active()) return;  // already reported as unreadable
        const play::GameDatabase db =
            play::readGameDatabase(data_.cdsItens, data_.cdsMagias, data_.cdsMonstros, data_.cdsPersonagem);
        problems_.insert(problems_.end(), db.problems.begin(), db.problems.end());
    }

    // --- the map settings table: records of maps that exist, enemies that exist ---
    void checkMapSettings() {
        std::vector<std::pair<std::string, MapSettings>> all;
        try {
            all = readAllMapSettings(project_.ProjectFolder);
        } catch (const std::exception& e) {
            problem(shown(kMapPropertiesFile), e.what());
            return;
        }
        std::set<std::string> monsters;
        for (const std::string& n :
             data_.cdsMonstros.active() ? data_.cdsMonstros.values("Nome") : std::vector<std::string>{})
            monsters.insert(asciiLower(n));
        for (const auto& [map, settings] : all) {
            const std::string owner = "mapa " + quoted(map);
            if (map.empty() || !fileExists(projectPath(project_.ProjectFolder, "Mapas\\" + map)))
                problem(shown(kMapPropertiesFile), owner + ": o mapa não existe em \"Mapas\\\"");
            for (std::size_t i = 0; i < settings.Enemy.size(); ++i) {
                const std::string& enemy = settings.Enemy[i];
                if (enemy.empty() || !data_.cdsMonstros.active() || monsters.count(asciiLower(enemy))) continue;
                problem(shown(kMapPropertiesFile),
                        owner + ", Enemy" + std::to_string(i + 1) + ": não há inimigo " + quoted(enemy));
            }
        }
    }

    ProjectState project_;
    TDataModule1 data_;
    MapTree tree_;
    std::set<unsigned char> tileCodes_;
    std::map<std::string, int> mapSizes_;  // lower-cased map file name -> side
    std::vector<CellScript> cellScripts_;
    std::set<std::string> monsters_, items_;
    std::map<QString, std::string> pictures_;  // path -> failure ("" when fine)
    std::vector<std::string> problems_;
};

// --- what a command cut short leaves, and its mend ------------------------------

// The project's tree as the editor opens it, or nothing when the tree file
// cannot be read (the check reports that).
std::unique_ptr<MapTree> openedTree(const ProjectState& project) {
    auto tree = std::make_unique<MapTree>();
    tree->CriaProjeto(project.ProjectName);
    try {
        tree->LoadProject(project);
    } catch (const std::exception&) {
        return nullptr;
    }
    return tree;
}

// One line per state a cut can leave, with its mend.
std::vector<std::string> mendProblems(const ProjectState& project) {
    std::vector<std::string> lines;
    const std::unique_ptr<MapTree> tree = openedTree(project);
    if (!tree) return lines;
    for (const ProjectMend& m : findProjectMends(project, *tree))
        lines.push_back(shown(m.where) + ": " + m.problem +
                        (m.canMend() ? "; correção (check --repair): " + m.mend : std::string()));
    return lines;
}

// Applies the mends and says what was done, one line each.
void repairProject(ProjectState& project) {
    const std::unique_ptr<MapTree> tree = openedTree(project);
    if (!tree) return;
    const std::vector<ProjectMend> mends = findProjectMends(project, *tree);
    applyProjectMends(project, *tree, mends);
    std::string text;
    for (const ProjectMend& m : mends)
        if (m.canMend()) text += "corrigido: " + shown(m.where) + ": " + m.mend + "\n";
    out(text);
}

// The hero's start, judged on the initial map: a start cell outside it is a
// problem; a position that is not exactly on a cell only a note, since the
// game takes the nearest cell (a new project's 200/190 is such a position).
HeroStartFindings heroStartFindings(const ProjectState& project) {
    HeroStartFindings f = judgeHeroStart(project);
    const std::string where = QFileInfo(project.ProjectFile).fileName().toStdString() + ": ";
    if (!f.outside.empty()) f.outside = where + f.outside;
    if (!f.offCell.empty()) f.offCell = "nota: " + where + f.offCell;
    return f;
}

// The switch names table: an entry whose number no switch has (1 to 100).
std::vector<std::string> switchNameProblems(const ProjectState& project) {
    std::vector<std::string> problems;
    const std::string where = shown(kSwitchNamesFile) + ": ";
    try {
        for (const SwitchNameRecord& r : readSwitchNameRecords(project.ProjectFolder))
            if (r.number < kFirstSwitch || r.number > kLastSwitch)
                problems.push_back(where + "o nome " + quoted(r.name) + " é do interruptor " +
                                   std::to_string(r.number) + ", fora de 1 a 100");
    } catch (const std::exception& e) {
        problems.push_back(where + e.what());
    }
    return problems;
}

}  // namespace

std::vector<std::string> checkProject(const ProjectState& project) {
    // What a command cut short left comes first, with its mend.
    std::vector<std::string> problems = mendProblems(project);
    // Each folder is listed once for the whole check, not once per file.
    FolderListingScope listings;
    for (std::string& p : Checker(project).run()) problems.push_back(std::move(p));
    if (std::string outside = heroStartFindings(project).outside; !outside.empty())
        problems.push_back(std::move(outside));
    for (std::string& p : switchNameProblems(project)) problems.push_back(std::move(p));
    return problems;
}

int cmdCheck(const Args& args) {
    args.requireCount(1);
    const QString file = pathArg(args.word(0));
    ProjectState project;
    try {
        readProjectFile(file, project);
    } catch (const std::exception& e) {
        // Nothing else can be read without the project file.
        // A bad line names the file already.
        const std::string name = QFileInfo(file).fileName().toStdString();
        const std::string what = e.what();
        out((what.rfind(name + ", line ", 0) == 0 ? what : name + ": " + what) + "\n");
        return kExitFailed;
    }
    if (args.has("--repair")) repairProject(project);
    const std::vector<std::string> problems = checkProject(project);
    std::string text;
    for (const std::string& p : problems) text += p + "\n";
    out(text);
    // Notes are no problem: they go to standard error and leave the status alone.
    if (const std::string note = heroStartFindings(project).offCell; !note.empty()) err(note + "\n");
    return problems.empty() ? kExitOk : kExitFailed;
}

}  // namespace quillmark::cli
