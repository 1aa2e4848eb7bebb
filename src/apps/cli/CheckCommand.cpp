// check: reads everything the editor reads from a project and lists each
// problem on its own line: files that cannot be read, maps the project names
// but does not have, tree nodes without their map, tile codes without a tile,
// frame files that are missing or do not decode, characters without a folder.
#include "apps/cli/Cli.h"

#include "model/core/Error.h"
#include "model/core/MapFile.h"
#include "model/core/MapTree.h"
#include "model/core/Paths.h"
#include "model/core/Picture.h"
#include "model/core/Text.h"
#include "model/database/DataModule.h"
#include "model/database/TileCache.h"
#include "model/events/EventScript.h"

#include <QFileInfo>

#include <array>
#include <map>
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
            } else if (!mapNode) {
                problem(shown(std::string(kTreeFileName)),
                        "o nó " + quoted(text) +
                            (exists ? " não está na lista de mapas do arquivo do projeto (o editor o mostra como pasta)"
                                    : " não tem mapa em \"Mapas\\\""));
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

    ProjectState project_;
    TDataModule1 data_;
    MapTree tree_;
    std::set<unsigned char> tileCodes_;
    std::map<QString, std::string> pictures_;  // path -> failure ("" when fine)
    std::vector<std::string> problems_;
};

}  // namespace

std::vector<std::string> checkProject(const ProjectState& project) {
    // Each folder is listed once for the whole check, not once per file.
    FolderListingScope listings;
    return Checker(project).run();
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
    const std::vector<std::string> problems = checkProject(project);
    std::string text;
    for (const std::string& p : problems) text += p + "\n";
    out(text);
    return problems.empty() ? kExitOk : kExitFailed;
}

}  // namespace quillmark::cli
