#include "play/model/SaveGame.h"

#include "model/core/Error.h"
#include "model/core/Files.h"
#include "model/core/Paths.h"
#include "model/core/Text.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <cmath>
#include <limits>

namespace quillmark::play {

namespace {

// A save is a few kilobytes; anything far larger is not one.
constexpr qint64 kMaxSaveBytes = 4 * 1024 * 1024;

QString text(const std::string& cp1252) { return fromCp1252(cp1252); }

// Reading one save: every missing or wrong value names the file and the field.
class Reader {
public:
    explicit Reader(std::string label) : label_(std::move(label)) {}

    [[noreturn]] void damaged(const std::string& why) const {
        throw Error("o jogo salvo \"" + label_ + "\" está danificado (" + why + ") e não pode ser carregado");
    }

    QJsonValue field(const QJsonObject& o, const char* name) const {
        const QJsonValue v = o.value(QLatin1String(name));
        if (v.isUndefined()) damaged(std::string("falta \"") + name + "\"");
        return v;
    }
    long long integer(const QJsonObject& o, const char* name, long long low, long long high) const {
        return integerOf(field(o, name), name, low, high);
    }
    long long integerOf(const QJsonValue& v, const char* name, long long low, long long high) const {
        const double d = v.toDouble(std::numeric_limits<double>::quiet_NaN());
        if (!v.isDouble() || std::isnan(d) || d != std::floor(d))
            damaged(std::string("\"") + name + "\" não é um número inteiro");
        if (d < static_cast<double>(low) || d > static_cast<double>(high))
            damaged(std::string("\"") + name + "\" fora do intervalo " + std::to_string(low) + " a " +
                    std::to_string(high));
        return static_cast<long long>(d);
    }
    bool boolean(const QJsonObject& o, const char* name) const {
        const QJsonValue v = field(o, name);
        if (!v.isBool()) damaged(std::string("\"") + name + "\" não é verdadeiro nem falso");
        return v.toBool();
    }
    // A text the game keeps in CP1252.
    std::string cp1252(const QJsonValue& v, const char* name) const {
        if (!v.isString()) damaged(std::string("\"") + name + "\" não é um texto");
        bool ok = true;
        std::string out = toCp1252(v.toString(), &ok);
        if (!ok) damaged(std::string("\"") + name + "\" tem caracteres que o jogo não guarda");
        return out;
    }
    std::string cp1252(const QJsonObject& o, const char* name) const { return cp1252(field(o, name), name); }
    QJsonObject object(const QJsonObject& o, const char* name) const {
        const QJsonValue v = field(o, name);
        if (!v.isObject()) damaged(std::string("\"") + name + "\" não é um objeto");
        return v.toObject();
    }
    QJsonArray array(const QJsonObject& o, const char* name) const {
        const QJsonValue v = field(o, name);
        if (!v.isArray()) damaged(std::string("\"") + name + "\" não é uma lista");
        return v.toArray();
    }

private:
    std::string label_;
};

}  // namespace

QByteArray encodeSave(const SavedGame& s) {
    QJsonObject hero{
        {"nome", text(s.heroName)},
        {"nivel", s.hero.level},
        {"experiencia", static_cast<double>(s.hero.experience)},
        {"hp", s.hero.hp},
        {"mp", s.hero.mp},
        {"bonus", QJsonObject{{"hp", s.hero.bonusHp},
                              {"mp", s.hero.bonusMp},
                              {"forca", s.hero.bonusStrength},
                              {"defesa", s.hero.bonusDefence},
                              {"agilidade", s.hero.bonusAgility}}},
        {"dinheiro", static_cast<double>(s.hero.money)},
        {"passosDesdeBatalha", s.hero.stepsSinceBattle},
        {"sorteio", static_cast<double>(s.hero.random)},
    };
    QJsonArray spells;
    for (int code : s.hero.spells) spells.append(code);
    QJsonArray items;
    for (const auto& [name, count] : s.hero.inventory)
        items.append(QJsonObject{{"nome", text(name)}, {"quantidade", count}});
    QJsonArray switches;
    for (int n : s.switchesOn) switches.append(n);
    QJsonArray erased;
    for (const auto& [map, row, column] : s.erasedEvents)
        erased.append(QJsonObject{{"mapa", text(map)}, {"linha", row}, {"coluna", column}});
    const QJsonObject root{
        {"formato", QString::fromLatin1(kSaveFormat)},
        {"versao", s.version},
        {"salvoEm", QString::fromStdString(s.savedAt)},
        {"mapa", text(s.map)},
        {"linha", s.row},
        {"coluna", s.column},
        {"direcao", QString::fromLatin1(dirName(s.facing))},
        {"heroi", hero},
        {"magias", spells},
        {"itens", items},
        {"interruptores", switches},
        {"eventosApagados", erased},
        {"clima", QJsonObject{{"chuva", s.weather.rain}, {"neve", s.weather.snow}, {"tempestade", s.weather.storm}}},
    };
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

SavedGame decodeSave(const QByteArray& bytes, const std::string& label) {
    const Reader r(label);
    if (bytes.size() > kMaxSaveBytes) r.damaged("grande demais para um jogo salvo");
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError)
        r.damaged("o texto se interrompe ou se corrompe no caractere " + std::to_string(error.offset));
    if (!doc.isObject()) r.damaged("não é um jogo salvo");
    const QJsonObject root = doc.object();
    if (root.value("formato").toString() != QLatin1String(kSaveFormat)) r.damaged("não é um jogo salvo");

    SavedGame s;
    s.version = static_cast<int>(r.integer(root, "versao", 1, std::numeric_limits<int>::max()));
    if (s.version > kSaveVersion)
        throw Error("o jogo salvo \"" + label + "\" é de uma versão mais nova do jogo (formato " +
                    std::to_string(s.version) + "; este jogo lê até o formato " + std::to_string(kSaveVersion) +
                    "): atualize o Quillmark para carregá-lo");
    const QJsonValue at = root.value("salvoEm");
    if (at.isString()) s.savedAt = at.toString().toStdString();
    s.map = r.cp1252(root, "mapa");
    if (s.map.empty() || s.map.find_first_of("\\/:") != std::string::npos || s.map == "." || s.map == "..")
        r.damaged("\"mapa\" não é o nome de um arquivo de mapa");
    s.row = static_cast<int>(r.integer(root, "linha", 1, 100));
    s.column = static_cast<int>(r.integer(root, "coluna", 1, 100));
    const QJsonValue facing = r.field(root, "direcao");
    bool known = false;
    for (Dir d : {Dir::Down, Dir::Left, Dir::Right, Dir::Up})
        if (facing.toString() == QLatin1String(dirName(d))) {
            s.facing = d;
            known = true;
        }
    if (!known) r.damaged("\"direcao\" não é baixo, esquerda, direita nem cima");

    const QJsonObject hero = r.object(root, "heroi");
    s.heroName = r.cp1252(hero, "nome");
    HeroRecord& h = s.hero;
    h.level = static_cast<int>(r.integer(hero, "nivel", 1, kMaxLevel));
    h.experience = r.integer(hero, "experiencia", 0, 1'000'000'000'000LL);
    h.hp = static_cast<int>(r.integer(hero, "hp", 0, kMaxPoints));
    h.mp = static_cast<int>(r.integer(hero, "mp", 0, kMaxPoints));
    const QJsonObject bonus = r.object(hero, "bonus");
    h.bonusHp = static_cast<int>(r.integer(bonus, "hp", -kMaxPoints, kMaxPoints));
    h.bonusMp = static_cast<int>(r.integer(bonus, "mp", -kMaxPoints, kMaxPoints));
    h.bonusStrength = static_cast<int>(r.integer(bonus, "forca", -kMaxPoints, kMaxPoints));
    h.bonusDefence = static_cast<int>(r.integer(bonus, "defesa", -kMaxPoints, kMaxPoints));
    h.bonusAgility = static_cast<int>(r.integer(bonus, "agilidade", -kMaxPoints, kMaxPoints));
    h.money = r.integer(hero, "dinheiro", 0, 999'999'999LL);
    h.stepsSinceBattle = static_cast<int>(r.integer(hero, "passosDesdeBatalha", 0, std::numeric_limits<int>::max()));
    h.random = static_cast<std::uint32_t>(r.integer(hero, "sorteio", 0, 0xFFFFFFFFLL));

    for (const QJsonValue v : r.array(root, "magias"))
        h.spells.push_back(static_cast<int>(r.integerOf(v, "magias", 0, 1'000'000)));
    for (const QJsonValue v : r.array(root, "itens")) {
        if (!v.isObject()) r.damaged("um item de \"itens\" não é um objeto");
        const QJsonObject item = v.toObject();
        std::string name = r.cp1252(item, "nome");
        if (name.empty()) r.damaged("um item de \"itens\" não tem nome");
        h.inventory.emplace_back(std::move(name), static_cast<int>(r.integer(item, "quantidade", 1, 99)));
    }
    for (const QJsonValue v : r.array(root, "interruptores"))
        s.switchesOn.push_back(static_cast<int>(r.integerOf(v, "interruptores", 1, 100)));
    for (const QJsonValue v : r.array(root, "eventosApagados")) {
        if (!v.isObject()) r.damaged("um item de \"eventosApagados\" não é um objeto");
        const QJsonObject e = v.toObject();
        s.erasedEvents.emplace(r.cp1252(e, "mapa"), static_cast<int>(r.integer(e, "linha", 1, 100)),
                               static_cast<int>(r.integer(e, "coluna", 1, 100)));
    }
    const QJsonObject weather = r.object(root, "clima");
    s.weather.rain = r.boolean(weather, "chuva");
    s.weather.snow = r.boolean(weather, "neve");
    s.weather.storm = r.boolean(weather, "tempestade");
    return s;
}

SaveSlots::SaveSlots(QString projectFolder) : folder_(std::move(projectFolder)) {}

std::string SaveSlots::relativePath(int slot) { return "Saves\\Save" + std::to_string(slot) + ".sav"; }

QString SaveSlots::path(int slot) const { return projectPath(folder_, relativePath(slot)); }

SavedGame SaveSlots::read(int slot) const {
    const std::string label = relativePath(slot);
    const QString file = path(slot);
    if (!fileExists(file)) throw Error("não há jogo salvo em \"" + label + "\"");
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        throw Error("o jogo salvo \"" + label + "\" não pode ser lido: " + f.errorString().toStdString());
    const QByteArray bytes = f.read(kMaxSaveBytes + 1);
    if (f.error() != QFileDevice::NoError)
        throw Error("o jogo salvo \"" + label + "\" não pode ser lido: " + f.errorString().toStdString());
    return decodeSave(bytes, label);
}

SlotInfo SaveSlots::info(int slot) const {
    SlotInfo info;
    if (!fileExists(path(slot))) {
        info.summary = "vazio";
        return info;
    }
    try {
        const SavedGame s = read(slot);
        std::string map = cp1252ToUtf8(s.map);
        if (map.size() > 4 && asciiLower(map.substr(map.size() - 4)) == ".xml") map.resize(map.size() - 4);
        info.kind = SlotInfo::Kind::Saved;
        info.summary = cp1252ToUtf8(s.heroName) + "  nível " + std::to_string(s.hero.level) + "  " + map +
                       (s.savedAt.empty() ? std::string() : "  " + s.savedAt);
    } catch (const Error& e) {
        info.kind = SlotInfo::Kind::Refused;
        info.summary = e.what();
    }
    return info;
}

bool SaveSlots::anySaved() const {
    for (int slot = 1; slot <= kSaveSlots; ++slot)
        if (fileExists(path(slot))) return true;
    return false;
}

void SaveSlots::write(int slot, const SavedGame& saved) const {
    const std::string label = relativePath(slot);
    try {
        const QString saves = projectPath(folder_, std::string_view("Saves"));
        if (!folderExists(saves)) makeFolder(saves, folder_);
        writeFileAtomic(path(slot), encodeSave(saved), folder_);
    } catch (const Error& e) {
        throw Error("o jogo não pôde ser salvo em \"" + label + "\": " + e.what());
    }
}

}  // namespace quillmark::play
