#pragma once
// The role-playing part of a project as the game uses it: the hero, the
// monsters, the items and the spells, read from their tables once. Every
// number is held inside a sane range; a value outside it, a spell code no
// spell has or an item name no item has is named in `problems` (one line
// each, UTF-8, the record named) and the game goes on with the clamped value,
// or without the missing thing. The command-line check reports the same lines.
#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace quillmark {
class RecordTable;
}

namespace quillmark::play {

// What a spell does (TipoMagia).
enum class SpellKind { Damage = 0, RestoreHp = 1, RestoreMp = 2 };

struct SpellDef {
    std::string name;  // CP1252
    int code = 0;      // Cod_Magia
    int amount = 0;    // DanoCausado: damage, or HP or MP restored
    int cost = 0;      // CustoDeMP
    SpellKind kind = SpellKind::Damage;
    bool atCentre = false;              // TipoAnim 1: the animation plays at the centre of the screen
    std::array<std::string, 5> frames;  // Anim1 … Anim5, in "Imagens\" + Nome + "\"
};

// What using an item does (Acao), in the order of the database window's list.
enum class ItemAction { Hp, Mp, MaxHp, MaxMp, Strength, Defence, Agility, Experience, Level, None };
inline constexpr int kItemActions = 9;

struct ItemDef {
    std::string name;  // CP1252
    ItemAction action = ItemAction::None;
    int amount = 0;        // AcaoAux
    bool onMap = true;     // usMapa, "Modo Mapa"
    bool inBattle = true;  // usBatlle, "Modo Batalha"
    std::string event;     // Evento, run after the action
};

struct MonsterDef {
    std::string name;  // CP1252; also the folder of its frames
    int level = 1, hp = 1, mp = 0, strength = 0, defence = 0, agility = 0, money = 0, experience = 0;
    std::vector<int> spells;                                  // codes of known spells, Magia1 … Magia3
    std::array<std::string, 6> standing, attacking, casting;  // Parado, Atacando, UsMagia
};

// One attribute of the hero: its value at the start level and at the maximum level.
struct Growth {
    int start = 0, max = 0;
};

struct HeroDef {
    std::string name = "Heroi";
    int levelStart = 1, levelMax = 1;
    Growth hp{1, 1}, mp, strength, defence, agility;
    std::vector<int> spells;         // Magia01 … Magia08, known codes only
    std::vector<std::string> items;  // Iten01 … Iten08, known names only
    std::string face;                // Face01, a file name in "Imagens\" (the menu's "Status")
    // Battle frames, file names in "Imagens\": standing, moving to the enemy,
    // striking, defending, casting, hit, dying.
    std::vector<std::string> standing, approaching, striking, defending, casting, hit, dying;
};

// The ranges every number is held to.
inline constexpr int kMaxLevel = 99;
inline constexpr int kMaxPoints = 9999;    // HP, MP, spell amounts and costs, item amounts
inline constexpr int kMaxAttribute = 999;  // strength, defence, agility
inline constexpr int kMaxReward = 999999;  // money and experience won

struct GameDatabase {
    HeroDef hero;
    std::vector<MonsterDef> monsters;
    std::vector<ItemDef> items;
    std::vector<SpellDef> spells;
    std::vector<std::string> problems;

    // Looked up by name without regard to case; null when there is none.
    const MonsterDef* monster(std::string_view name) const;
    const ItemDef* item(std::string_view name) const;
    const SpellDef* spell(int code) const;
};

// Reads the four tables (a closed table counts as empty).
GameDatabase readGameDatabase(const RecordTable& itens, const RecordTable& magias, const RecordTable& monstros,
                              const RecordTable& personagem);

}  // namespace quillmark::play
