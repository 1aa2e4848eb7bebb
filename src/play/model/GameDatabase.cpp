#include "play/model/GameDatabase.h"

#include "model/core/RecordTable.h"
#include "model/core/Text.h"

#include <algorithm>
#include <charconv>

namespace quillmark::play {

const MonsterDef* GameDatabase::monster(std::string_view name) const {
    for (const MonsterDef& m : monsters)
        if (equalsIgnoreCase(m.name, name)) return &m;
    return nullptr;
}

const ItemDef* GameDatabase::item(std::string_view name) const {
    for (const ItemDef& i : items)
        if (equalsIgnoreCase(i.name, name)) return &i;
    return nullptr;
}

const SpellDef* GameDatabase::spell(int code) const {
    for (const SpellDef& s : spells)
        if (s.code == code) return &s;
    return nullptr;
}

namespace {

// One stored record read field by field, with the problems it shows.
class Reader {
public:
    Reader(const RecordTable& t, const Record& r, std::string owner, std::vector<std::string>& problems)
        : t_(t), r_(r), owner_(std::move(owner)), problems_(problems) {}

    std::string text(std::string_view field) const {
        const int i = t_.fieldIndex(field);
        if (i < 0 || static_cast<std::size_t>(i) >= r_.size() || !r_[static_cast<std::size_t>(i)]) return {};
        return *r_[static_cast<std::size_t>(i)];
    }

    // An integer held to [low, high]; an unset field is `unset`. A value that
    // is not a number or lies outside is reported.
    int number(std::string_view field, int low, int high, int unset) {
        const std::string raw = text(field);
        if (raw.empty()) return std::clamp(unset, low, high);
        long long v = 0;
        const char* b = raw.data();
        const char* e = b + raw.size();
        while (b < e && *b == ' ') ++b;
        const auto [end, ec] = std::from_chars(b, e, v);
        if (ec == std::errc::result_out_of_range) {
            v = (raw.find('-') != std::string::npos) ? low : high;
        } else if (ec != std::errc() || end != e) {
            problem(std::string(field) + " \"" + cp1252ToUtf8(raw) + "\" não é um número: usando " +
                    std::to_string(std::clamp(unset, low, high)));
            return std::clamp(unset, low, high);
        }
        if (v < low || v > high) {
            const int used = static_cast<int>(std::clamp<long long>(v, low, high));
            problem(std::string(field) + " " + raw + " fora de " + std::to_string(low) + " a " + std::to_string(high) +
                    ": usando " + std::to_string(used));
            return used;
        }
        return static_cast<int>(v);
    }

    bool boolean(std::string_view field, bool unset) const {
        const std::string raw = text(field);
        return raw.empty() ? unset : equalsIgnoreCase(raw, "true");
    }

    void problem(const std::string& what) { problems_.push_back(owner_ + ": " + what); }

private:
    const RecordTable& t_;
    const Record& r_;
    std::string owner_;
    std::vector<std::string>& problems_;
};

// The "Nome" of a stored record.
std::string nameOf(const RecordTable& t, const Record& r) {
    const int i = t.fieldIndex("Nome");
    if (i < 0 || static_cast<std::size_t>(i) >= r.size() || !r[static_cast<std::size_t>(i)]) return {};
    return *r[static_cast<std::size_t>(i)];
}

std::string quoted(const std::string& cp1252) { return "\"" + cp1252ToUtf8(cp1252) + "\""; }

std::string two(int i) { return (i < 10 ? "0" : "") + std::to_string(i); }

// A spell code as stored in text; -1 when empty, -2 when not a number.
int spellCode(const std::string& text) {
    if (text.empty()) return -1;
    int v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    return ec == std::errc() && end == text.data() + text.size() ? v : -2;
}

}  // namespace

GameDatabase readGameDatabase(const RecordTable& itens, const RecordTable& magias, const RecordTable& monstros,
                              const RecordTable& personagem) {
    GameDatabase db;
    auto& problems = db.problems;

    for (const Record& r : magias.allRecords()) {
        Reader in(magias, r, "Data\\Magias.xml: magia " + quoted(nameOf(magias, r)), problems);
        SpellDef s;
        s.name = in.text("Nome");
        s.code = in.number("Cod_Magia", 0, 1'000'000, 0);
        s.amount = in.number("DanoCausado", 0, kMaxPoints, 0);
        s.cost = in.number("CustoDeMP", 0, kMaxPoints, 0);
        s.kind = static_cast<SpellKind>(in.number("TipoMagia", 0, 2, 0));
        s.atCentre = in.number("TipoAnim", 0, 1, 0) == 1;
        for (int i = 0; i < 5; ++i) s.frames[static_cast<std::size_t>(i)] = in.text("Anim" + std::to_string(i + 1));
        db.spells.push_back(std::move(s));
    }
    for (const Record& r : itens.allRecords()) {
        ItemDef item;
        item.name = nameOf(itens, r);
        Reader in(itens, r, "Data\\Itens.xml: item " + quoted(item.name), problems);
        const int action = in.number("Acao", 0, kItemActions - 1, kItemActions - 1);
        item.action = in.text("Acao").empty() ? ItemAction::None : static_cast<ItemAction>(action);
        item.amount = in.number("AcaoAux", -kMaxPoints, kMaxPoints, 0);
        item.onMap = in.boolean("usMapa", true);
        item.inBattle = in.boolean("usBatlle", true);
        item.event = in.text("Evento");
        db.items.push_back(std::move(item));
    }
    for (const Record& r : monstros.allRecords()) {
        MonsterDef m;
        m.name = nameOf(monstros, r);
        Reader in(monstros, r, "Data\\Monstros.xml: inimigo " + quoted(m.name), problems);
        m.level = in.number("Nivel", 1, kMaxLevel, 1);
        m.hp = in.number("HP", 1, kMaxPoints, 1);
        m.mp = in.number("MP", 0, kMaxPoints, 0);
        m.strength = in.number("Forca", 0, kMaxAttribute, 0);
        m.defence = in.number("Defesa", 0, kMaxAttribute, 0);
        m.agility = in.number("Agilidade", 0, kMaxAttribute, 0);
        m.money = in.number("Dinheiro", 0, kMaxReward, 0);
        m.experience = in.number("ExpGanha", 0, kMaxReward, 0);
        for (int i = 1; i <= 3; ++i) {
            const std::string field = "Magia" + std::to_string(i);
            const std::string code = in.text(field);
            const int c = spellCode(code);
            if (c == -1) continue;
            if (c < 0 || !db.spell(c))
                in.problem(field + ": não há magia de código " + quoted(code));
            else
                m.spells.push_back(c);
        }
        for (int i = 1; i <= 6; ++i) {
            m.standing[static_cast<std::size_t>(i - 1)] = in.text("Parado" + two(i));
            m.attacking[static_cast<std::size_t>(i - 1)] = in.text("Atacando" + two(i));
            m.casting[static_cast<std::size_t>(i - 1)] = in.text("UsMagia" + two(i));
        }
        db.monsters.push_back(std::move(m));
    }
    if (!personagem.allRecords().empty()) {
        const Record& r = personagem.allRecords().front();  // the editor works on the first record only
        HeroDef& h = db.hero;
        const std::string name = nameOf(personagem, r);
        if (!name.empty()) h.name = name;
        Reader in(personagem, r, "Data\\Personagem.xml: herói " + quoted(h.name), problems);
        h.levelStart = in.number("NvInicial", 1, kMaxLevel, 1);
        h.levelMax = in.number("NvMax", h.levelStart, kMaxLevel, h.levelStart);
        auto growth = [&](const char* start, const char* max, int low, int high) {
            Growth g;
            g.start = in.number(start, low, high, low);
            g.max = in.number(max, g.start, high, g.start);
            return g;
        };
        h.hp = growth("HPInicial", "HPMax", 1, kMaxPoints);
        h.mp = growth("MPInicial", "MPMax", 0, kMaxPoints);
        h.strength = growth("ForcaInicial", "ForcaMax", 0, kMaxAttribute);
        h.defence = growth("DefIncial", "DefMax", 0, kMaxAttribute);
        h.agility = growth("AgInicial", "AgMax", 0, kMaxAttribute);
        for (int i = 1; i <= 8; ++i) {
            const std::string field = "Magia" + two(i);
            const std::string code = in.text(field);
            const int c = spellCode(code);
            if (c == -1) continue;
            if (c < 0 || !db.spell(c))
                in.problem(field + ": não há magia de código " + quoted(code));
            else
                h.spells.push_back(c);
        }
        for (int i = 1; i <= 8; ++i) {
            const std::string field = "Iten" + two(i);
            const std::string item = in.text(field);
            if (item.empty()) continue;
            if (const ItemDef* def = db.item(item))
                h.items.push_back(def->name);
            else
                in.problem(field + ": não há item " + quoted(item));
        }
        auto frames = [&](const char* prefix, int count) {
            std::vector<std::string> out;
            for (int i = 1; i <= count; ++i) out.push_back(in.text(prefix + two(i)));
            return out;
        };
        h.standing = frames("AnBatParado", 5);
        h.approaching = frames("AnBatAtacar", 7);
        h.striking = frames("AnBatGolpe", 4);
        h.defending = frames("AnBatDef", 3);
        h.casting = frames("AnBatMagic", 6);
        h.hit = frames("AnBatAting", 3);
        h.dying = frames("AnBatMorto", 3);
        h.face = in.text("Face01");
    }
    return db;
}

}  // namespace quillmark::play
