#include "play/model/PlayData.h"

#include "model/core/Error.h"
#include "model/core/HeroStart.h"
#include "model/core/MapFile.h"
#include "model/core/Paths.h"
#include "model/core/Text.h"
#include "model/database/DataModule.h"
#include "model/events/Character.h"
#include "model/events/EventScript.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <charconv>

namespace quillmark::play {

const char* dirName(Dir d) {
    switch (d) {
    case Dir::Down:
        return "baixo";
    case Dir::Left:
        return "esquerda";
    case Dir::Right:
        return "direita";
    case Dir::Up:
        return "cima";
    }
    return "";
}
int dRow(Dir d) { return d == Dir::Down ? 1 : d == Dir::Up ? -1 : 0; }
int dCol(Dir d) { return d == Dir::Right ? 1 : d == Dir::Left ? -1 : 0; }
Dir opposite(Dir d) {
    switch (d) {
    case Dir::Down:
        return Dir::Up;
    case Dir::Up:
        return Dir::Down;
    case Dir::Left:
        return Dir::Right;
    case Dir::Right:
        return Dir::Left;
    }
    return d;
}

const Picture& GameData::face(const std::string& name) const {
    const auto it = faces.find(asciiLower(name));
    return it == faces.end() ? placeholder : it->second;
}

const Picture& PictureCache::get(const QString& folder, const std::string& relative, const Picture& placeholder,
                                 bool transparent) {
    const std::string key = asciiLower(relative) + (transparent ? "|t" : "|o");
    if (const auto it = pictures_.find(key); it != pictures_.end()) return it->second;
    Picture pic = placeholder;
    const QString path = projectPath(folder, relative);
    if (relative.empty() || relative.back() == '\\' || !fileExists(path)) {
        if (onProblem) onProblem("a imagem \"" + cp1252ToUtf8(relative) + "\" não existe: usando a imagem reserva");
    } else {
        try {
            pic = Picture::fromFile(path);
        } catch (const Error& e) {
            if (onProblem)
                onProblem("a imagem \"" + cp1252ToUtf8(relative) + "\" não pode ser lida: " + e.what() +
                          ": usando a imagem reserva");
        }
    }
    pic.setTransparent(transparent);
    return pictures_.emplace(key, std::move(pic)).first->second;
}

namespace {

std::string utf8(const std::string& cp1252) { return cp1252ToUtf8(cp1252); }
std::string native(const QString& path) { return QDir::toNativeSeparators(path).toStdString(); }

// A picture file of the project: the placeholder when it does not exist, an
// error naming the file when it cannot be decoded.
Picture readPicture(const QString& folder, const std::string& relative, const Picture& placeholder,
                    bool* missing = nullptr) {
    const QString path = projectPath(folder, relative);
    if (missing) *missing = false;
    if (relative.empty() || relative.back() == '\\' || !fileExists(path)) {
        if (missing) *missing = true;
        return placeholder;
    }
    try {
        return Picture::fromFile(path);
    } catch (const Error& e) {
        throw ReadError("A imagem \"" + utf8(relative) + "\" não pode ser lida", e.what());
    }
}

// The placeholder: the player's own "Imagens\null.bmp", the project's, or a
// drawn one when both are missing.
Picture loadPlaceholder(const QString& editor, const QString& project) {
    for (const QString& folder : {editor, project}) {
        if (folder.isEmpty()) continue;
        const QString path = projectPath(folder, std::string_view("Imagens\\null.bmp"));
        if (!fileExists(path)) continue;
        try {
            return Picture::fromFile(path);
        } catch (const Error&) {
        }
    }
    QImage img(40, 40, QImage::Format_RGB32);
    img.fill(QColor(40, 40, 48));
    QPainter p(&img);
    p.setPen(QPen(QColor(220, 60, 160), 3));
    p.drawLine(6, 6, 33, 33);
    p.drawLine(33, 6, 6, 33);
    p.end();
    return Picture(img);
}

void openTable(RecordTable& table, const QString& folder, const char* relative) {
    table.setFileName(projectPath(folder, std::string_view(relative)));
    try {
        table.open();
    } catch (const Error& e) {
        throw ReadError("A tabela \"" + std::string(relative) + "\" não pode ser lida", e.what());
    }
}

std::string value(const Record& record, int field) {
    if (field < 0 || static_cast<std::size_t>(field) >= record.size() || !record[static_cast<std::size_t>(field)])
        return {};
    return *record[static_cast<std::size_t>(field)];
}

int intValue(const std::string& text) {
    const char* b = text.data();
    const char* e = b + text.size();
    while (b < e && *b == ' ') ++b;
    int v = -1;
    if (std::from_chars(b, e, v).ec != std::errc()) return -1;
    return v;
}

// The tile pictures, looked up as the editor's tile image cache does: a code
// gives the first tiles record with that Tipo, its Cod gives the picture of
// the first record holding that Cod.
void loadTiles(GameData& g, TDataModule1& data, const QString& folder) {
    RecordTable& table = data.cdsTiles;
    const int tipoF = table.fieldIndex("Tipo"), codF = table.fieldIndex("Cod"), fileF = table.fieldIndex("File");
    const std::vector<Record>& records = table.allRecords();
    std::map<int, const Record*> byCod;
    std::array<const Record*, 256> byCode{};
    for (const Record& r : records) {
        const std::string tipo = value(r, tipoF);
        if (tipo.size() == 1 && !byCode[static_cast<unsigned char>(tipo[0])])
            byCode[static_cast<unsigned char>(tipo[0])] = &r;
        byCod.emplace(intValue(value(r, codF)), &r);
    }
    std::map<int, const Picture*> entries;
    auto entryPicture = [&](int cod) -> const Picture* {
        if (cod < 0 || cod >= 147) return nullptr;
        if (auto it = entries.find(cod); it != entries.end()) return it->second;
        const auto rec = byCod.find(cod);
        auto pic = std::make_unique<Picture>(g.placeholder);
        pic->setTransparent(false);
        if (rec != byCod.end()) {
            bool missing = false;
            *pic = readPicture(folder, "Imagens\\" + value(*rec->second, fileF), g.placeholder, &missing);
            const std::string tipo = value(*rec->second, tipoF);
            pic->setTransparent(!missing && !tipo.empty() &&
                                data.VerificaTransparencia(static_cast<unsigned char>(tipo[0])));
        }
        g.tiles.pictures.push_back(std::move(pic));
        return entries[cod] = g.tiles.pictures.back().get();
    };
    for (int code = 0; code < 256; ++code) {
        const Record* r = byCode[static_cast<std::size_t>(code)];
        const int cod = r ? intValue(value(*r, codF)) : 0;
        const Picture* p = entryPicture(cod);
        g.tiles.entry[static_cast<std::size_t>(code)] = p;
        g.tiles.transparent[static_cast<std::size_t>(code)] =
            r && data.VerificaTransparencia(static_cast<unsigned char>(code));
        for (auto& f : g.tiles.frame) f[static_cast<std::size_t>(code)] = p;
        if (code >= 180 && code <= 191 && p) {
            const std::string n = std::to_string(code - 179);
            for (int k = 1; k <= 2; ++k) {
                bool missing = false;
                const std::string file = "Imagens\\TileAni" + n + (k == 1 ? "02.bmp" : "03.bmp");
                auto pic = std::make_unique<Picture>(readPicture(folder, file, *p, &missing));
                pic->setTransparent(p->transparent());
                g.tiles.pictures.push_back(std::move(pic));
                g.tiles.frame[static_cast<std::size_t>(k)][static_cast<std::size_t>(code)] =
                    g.tiles.pictures.back().get();
            }
        }
    }
    static const Picture none;
    for (int k = 0; k < 3; ++k) {
        auto* frame = &g.tiles.frame[static_cast<std::size_t>(k)];
        auto* transparent = &g.tiles.transparent;
        g.tiles.lookups[static_cast<std::size_t>(k)] = TileLookup(
            [frame](unsigned char code) -> const Picture& {
                const Picture* p = (*frame)[code];
                return p ? *p : none;
            },
            [transparent](unsigned char code) { return (*transparent)[code]; });
    }
}

void loadHero(GameData& g, TDataModule1& data, const QString& folder) {
    RecordTable& table = data.cdsPersonagem;
    static const char* const kDirs[4] = {"Down", "Left", "Right", "Up"};
    const std::vector<Record>& records = table.allRecords();
    if (records.empty())
        g.warnings.push_back("a tabela \"Data\\Personagem.xml\" não tem herói: usando a imagem reserva");
    for (int d = 0; d < 4; ++d)
        for (int f = 0; f < 3; ++f) {
            const std::string field = "AnAndando0" + std::to_string(f + 1) + kDirs[d];
            Picture& pic = g.hero.frames[static_cast<std::size_t>(d * 3 + f)];
            if (records.empty()) {
                pic = g.placeholder;
            } else {
                // a missing frame is reported as any other missing picture is
                const std::string file = value(records.front(), table.fieldIndex(field));
                bool missing = false;
                pic = readPicture(folder, "Imagens\\" + file, g.placeholder, &missing);
                if (missing)
                    g.warnings.push_back("herói, " + field + ": a imagem \"Imagens\\" + utf8(file) +
                                         "\" não existe: usando a imagem reserva");
            }
            pic.setTransparent(true);
        }
}

// The pictures and script of a character folder, read once however many
// characters of the map share the folder.
struct CharacterFolder {
    Sprite sprite;
    Script script;
};
using CharacterFolders = std::map<std::string, CharacterFolder>;

void loadCharacter(GameData& g, int row, int column, const std::string& text, CharacterFolders& folders) {
    const AddCharArgs args = ParseAddChar(text);
    CharacterData c;
    c.name = args.name;
    c.speed = characterSpeed(args.speed);
    c.row = row;
    c.column = column;
    const std::string where = " (linha " + std::to_string(row) + ", coluna " + std::to_string(column) + ")";
    if (!args.isObject || args.name.empty()) {
        g.warnings.push_back("texto ignorado na célula" + where + ": \"" + utf8(text) + "\"");
        return;
    }
    // The name is a folder in "Imagens\": nothing that could lead elsewhere.
    if (const std::string problem = characterNameProblem(args.name); !problem.empty()) {
        g.warnings.push_back("personagem ignorado" + where + ": " + problem);
        return;
    }
    const std::string base = "Imagens\\" + args.name + "\\";
    const std::string key = asciiLower(args.name);
    auto known = folders.find(key);
    if (known == folders.end()) {
        CharacterFolder f;
        if (!characterExists(g.project.ProjectFolder, args.name))
            g.warnings.push_back("o personagem \"" + utf8(args.name) + "\"" + where +
                                 " não tem pasta em \"Imagens\\\": usando a imagem reserva");
        for (int i = 0; i < 12; ++i) {
            Picture& pic = f.sprite.frames[static_cast<std::size_t>(i)];
            pic = readPicture(g.project.ProjectFolder,
                              base + std::string(kCharacterPictureFiles[static_cast<std::size_t>(i)]), g.placeholder);
            pic.setTransparent(true);
        }
        const QString script = projectPath(g.project.ProjectFolder, base + std::string(kCharacterScriptFile));
        if (fileExists(script)) {
            std::vector<std::string> lines;
            try {
                lines = loadScriptFile(script);
            } catch (const Error& e) {
                throw ReadError("O roteiro \"" + utf8(base) + "Evento.dat\" não pode ser lido", e.what());
            }
            f.script = parseCharacterScript(FlattenEventText(lines));
        } else {
            f.script.trigger = Trigger::Character;
        }
        known = folders.emplace(key, std::move(f)).first;
    }
    // the pictures share their decoded pixels with every character of the folder
    c.sprite = known->second.sprite;
    c.script = known->second.script;
    g.characters.push_back(std::move(c));
}

void loadFaces(GameData& g, const Script& s) {
    forEachCommand(s.commands, [&g](const Command& c) {
        if (c.kind != CommandKind::ShowDialog || !c.ok || c.args.empty() || c.args[0].empty()) return;
        const std::string& face = c.args[0];
        const std::string key = asciiLower(face);
        if (g.faces.count(key)) return;
        // A face is a bare file name in "Imagens\"; a path shows the placeholder.
        if (face.find_first_of("\\/:") != std::string::npos || face == "." || face == "..") {
            g.warnings.push_back("a face \"" + utf8(face) + "\" não é só um nome de arquivo: usando a imagem reserva");
            g.faces.emplace(key, g.placeholder);
            return;
        }
        Picture pic = readPicture(g.project.ProjectFolder, "Imagens\\" + face, g.placeholder);
        pic.setTransparent(true);
        g.faces.emplace(key, std::move(pic));
    });
}

// The game tables, the map's settings and its enemies. A table that cannot be
// read leaves its part of the game empty and is reported: a walk still plays.
void loadRolePlaying(GameData& g, TDataModule1& data, const QString& folder) {
    for (auto [table, relative] : {std::pair{&data.cdsItens, kItensFile}, std::pair{&data.cdsMagias, kMagiasFile},
                                   std::pair{&data.cdsMonstros, kMonstrosFile}}) {
        table->setFileName(projectPath(folder, std::string_view(relative)));
        try {
            table->open();
        } catch (const Error& e) {
            g.warnings.push_back("a tabela \"" + std::string(relative) + "\" não pode ser lida: " + e.what());
        }
    }
    g.db = readGameDatabase(data.cdsItens, data.cdsMagias, data.cdsMonstros, data.cdsPersonagem);
    g.warnings.insert(g.warnings.end(), g.db.problems.begin(), g.db.problems.end());
    try {
        g.mapSettings = readMapSettings(folder, g.mapName);
    } catch (const Error& e) {
        g.warnings.push_back(std::string("as propriedades dos mapas não podem ser lidas: ") + e.what() +
                             ": sem batalhas");
    }
    for (int i = 0; i < 3; ++i) {
        const std::string& name = g.mapSettings.Enemy[static_cast<std::size_t>(i)];
        if (name.empty()) continue;
        if (const MonsterDef* m = g.db.monster(name))
            g.enemies.push_back(m->name);
        else
            g.warnings.push_back(std::string(kMapPropertiesFile) + ": mapa \"" + utf8(g.mapName) + "\", Enemy" +
                                 std::to_string(i + 1) + ": não há inimigo \"" + utf8(name) + "\": ignorado");
    }
    if (g.mapSettings.EnemysTipe && g.enemies.empty())
        g.warnings.push_back(std::string(kMapPropertiesFile) + ": mapa \"" + utf8(g.mapName) +
                             "\" tem batalhas randômicas mas nenhum inimigo: sem batalhas");
}

}  // namespace

QString findProjectFile(const QString& target) {
    const QFileInfo info(target);
    if (!info.exists()) throw Error("O projeto \"" + native(target) + "\" não existe");
    if (info.isFile()) {
        if (info.suffix().compare("qmk", Qt::CaseInsensitive) != 0)
            throw Error("\"" + native(target) + "\" não é um arquivo de projeto (.qmk)");
        return info.absoluteFilePath();
    }
    const QDir dir(info.absoluteFilePath());
    QStringList found;
    for (const QFileInfo& f : dir.entryInfoList(QDir::Files, QDir::Name))
        if (f.suffix().compare("qmk", Qt::CaseInsensitive) == 0) found << f.absoluteFilePath();
    if (found.isEmpty())
        throw Error("A pasta \"" + native(dir.absolutePath()) + "\" não tem um arquivo de projeto (.qmk)");
    if (found.size() > 1) {
        std::string names;
        for (const QString& f : found) names += (names.empty() ? "" : ", ") + QFileInfo(f).fileName().toStdString();
        throw Error("A pasta \"" + native(dir.absolutePath()) + "\" tem mais de um projeto (" + names +
                    "): indique o arquivo .qmk");
    }
    return found.front();
}

std::pair<int, int> cellOfPixels(int x, int y) { return nearestCell(x, y); }

std::unique_ptr<GameData> loadGame(const LoadRequest& request) {
    auto g = std::make_unique<GameData>();
    g->projectFile = findProjectFile(request.target);
    g->editorFolder = request.editorFolder;
    try {
        readProjectFile(g->projectFile, g->project);
    } catch (const Error& e) {
        throw ReadError("O projeto \"" + native(g->projectFile) + "\" não pode ser lido", e.what());
    }
    const QString folder = g->project.ProjectFolder;
    g->placeholder = loadPlaceholder(request.editorFolder, folder);

    // The map.
    if (!request.map.isEmpty()) {
        g->mapName = toCp1252(request.map);
        if (fileNameOf(request.map).compare(request.map) != 0 || g->mapName.find('\\') != std::string::npos)
            throw Error("O mapa \"" + request.map.toStdString() + "\" deve ser só o nome de um arquivo em \"Mapas\\\"");
    } else if (g->project.MapList.isEmpty()) {
        throw Error("O projeto \"" + utf8(g->project.ProjectName) +
                    "\" não tem mapas: crie um mapa no editor antes de jogar");
    } else {
        g->mapName = g->project.InitialMap.empty() ? mapFileName(g->project.MapList.front()) : g->project.InitialMap;
    }
    if (QString::fromStdString(g->mapName).right(4).compare(".xml", Qt::CaseInsensitive) != 0) g->mapName += ".xml";
    const std::string mapRelative = "Mapas\\" + g->mapName;
    const QString mapPath = projectPath(folder, mapRelative);
    if (!fileExists(mapPath)) throw Error("O mapa \"" + utf8(mapRelative) + "\" não existe");
    try {
        Abrir(g->grid, mapPath);
    } catch (const Error& e) {
        throw ReadError("O mapa \"" + utf8(mapRelative) + "\" não pode ser lido", e.what());
    }
    g->grid.CurrentMap = g->mapName;
    if (g->grid.N <= 0) throw Error("O mapa \"" + utf8(mapRelative) + "\" não tem células");

    // The tables the game draws from: tiles and the hero.
    TDataModule1 data;
    openTable(data.cdsTiles, folder, kTilesFile);
    openTable(data.cdsPersonagem, folder, kPersonagemFile);
    loadTiles(*g, data, folder);
    loadHero(*g, data, folder);
    loadRolePlaying(*g, data, folder);

    // Events and characters.
    CharacterFolders characterFolders;
    const int n = g->grid.N;
    for (int r = 1; r <= n; ++r)
        for (int c = 1; c <= n; ++c) {
            const std::string& text = g->grid.evento(r, c);
            switch (ClassifyEvent(text)) {
            case EventKind::None:
                break;
            case EventKind::Trigger: {
                Script s = parseCellEvent(text);
                if (s.trigger == Trigger::None) {
                    g->warnings.push_back("evento sem \">\" depois do gatilho ignorado (linha " + std::to_string(r) +
                                          ", coluna " + std::to_string(c) + ")");
                    break;
                }
                loadFaces(*g, s);
                g->cellScripts.emplace(static_cast<int>(MapGrid::index(r, c)), std::move(s));
                break;
            }
            case EventKind::Object:
                loadCharacter(*g, r, c, text, characterFolders);
                if (!g->characters.empty() && g->characters.back().row == r && g->characters.back().column == c)
                    loadFaces(*g, g->characters.back().script);
                break;
            }
        }

    // Where the hero starts.
    std::pair<int, int> start = request.at ? *request.at : cellOfPixels(g->project.CharX, g->project.CharY);
    if (!g->grid.inMap(start.first, start.second)) {
        const std::pair<int, int> clamped{std::clamp(start.first, 1, n), std::clamp(start.second, 1, n)};
        g->warnings.push_back("a posição inicial (linha " + std::to_string(start.first) + ", coluna " +
                              std::to_string(start.second) + ") fica fora do mapa: o herói começa na linha " +
                              std::to_string(clamped.first) + ", coluna " + std::to_string(clamped.second));
        start = clamped;
    }
    g->startRow = start.first;
    g->startColumn = start.second;
    return g;
}

}  // namespace quillmark::play
