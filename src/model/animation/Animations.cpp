#include "model/animation/Animations.h"

#include "model/core/Error.h"
#include "model/core/Files.h"
#include "model/core/Names.h"
#include "model/core/Paths.h"
#include "model/core/Picture.h"
#include "model/core/RecordTable.h"
#include "model/core/Text.h"
#include "model/database/DataModule.h"

#include <algorithm>

namespace quillmark {

namespace {

// "AnMorto", 3 -> AnMorto01, AnMorto02, AnMorto03; without padding Anim1 … Anim5.
std::vector<std::string> numbered(const std::string& prefix, int count, bool twoDigits = true) {
    std::vector<std::string> out;
    for (int i = 1; i <= count; ++i) out.push_back(prefix + (twoDigits && i < 10 ? "0" : "") + std::to_string(i));
    return out;
}

std::vector<std::string> joined(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<int> range(int first, int count) {
    std::vector<int> out;
    for (int i = 0; i < count; ++i) out.push_back(first + i);
    return out;
}

// The hero walks in the preview down, right, up, left; each direction has
// three frames "AnAndando01Down" … "AnAndando03Down".
const std::vector<std::string> kWalkingPlayOrder = {"Down", "Right", "Up", "Left"};
constexpr int kWalkingFramesPerDirection = 3;

std::vector<std::string> walkingFrames() {
    std::vector<std::string> out;
    for (const std::string& direction : kWalkingPlayOrder)
        for (const std::string& f : numbered("AnAndando", kWalkingFramesPerDirection)) out.push_back(f + direction);
    return out;
}

// The frame indexes of the walking editor: its columns, three frames each.
std::vector<int> walkingColumns(const std::vector<const char*>& heads) {
    std::vector<int> out;
    for (const char* head : heads) {
        const auto at = std::find(kWalkingPlayOrder.begin(), kWalkingPlayOrder.end(), head);
        const int direction = static_cast<int>(at - kWalkingPlayOrder.begin());
        for (int r = 0; r < kWalkingFramesPerDirection; ++r) out.push_back(direction * kWalkingFramesPerDirection + r);
    }
    return out;
}

const std::vector<const char*> kWalkingColumns = {"Down", "Left", "Right", "Up"};

std::string utf8(std::string_view cp1252) { return cp1252ToUtf8(cp1252); }

[[noreturn]] void refuse(std::string_view pattern, std::initializer_list<std::string> args) {
    throw Error(formatMessage(pattern, args) + " Nenhum quadro foi gravado.");
}

}  // namespace

const std::vector<Animation>& animations() {
    static const std::vector<Animation> rows = {
        {"HeroAndando", FrameOwner::Hero, walkingFrames(), 300, false},
        {"HeroMorto", FrameOwner::Hero, numbered("AnMorto", 3), 300, false},
        {"HeroBatParado", FrameOwner::Hero, numbered("AnBatParado", 5), 300, false},
        {"HeroBatAtacando", FrameOwner::Hero, joined(numbered("AnBatAtacar", 7), numbered("AnBatGolpe", 4)), 300,
         false},
        {"HeroBatDefendendo", FrameOwner::Hero, numbered("AnBatDef", 3), 300, false},
        {"HeroBatMagia", FrameOwner::Hero, numbered("AnBatMagic", 6), 300, false},
        {"HeroBatAtingido", FrameOwner::Hero, numbered("AnBatAting", 3), 300, false},
        {"HeroBatMorto", FrameOwner::Hero, numbered("AnBatMorto", 3), 300, false},
        {"HeroFaces", FrameOwner::Hero, numbered("Face", 5), 1000, true},
        {"MonsterParado", FrameOwner::Monster, numbered("Parado", 6), 300, false},
        {"MonsterAtacando", FrameOwner::Monster, numbered("Atacando", 6), 300, false},
        {"MonsterMagia", FrameOwner::Monster, numbered("UsMagia", 6), 300, false},
        {"ItemAnim", FrameOwner::Item, numbered("Anim", 5, false), 300, false},
        {"SpellAnim", FrameOwner::Spell, numbered("Anim", 5, false), 0, false},
    };
    return rows;
}

const std::vector<EditorLayout>& editorLayouts() {
    static const std::vector<EditorLayout> rows = {
        {"uCharAniEdit",
         "TForm3",
         "Animação",
         "HeroAndando",
         {{"Animação do Personagem Andando", walkingColumns(kWalkingColumns)}},
         kWalkingColumns,
         {320, 347},
         "Cancel",
         FollowUp::HeroStaysInEdit},
        {"uCharAniMorendo",
         "TFormE",
         "Animação",
         "HeroMorto",
         {{"Animação do Personagem Morendo", range(0, 3)}},
         {},
         {257, 212},
         "Cancel",
         FollowUp::HeroStaysInEdit},
        {"uCharAniBatParado",
         "TFormP",
         "Animação",
         "HeroBatParado",
         {{"Animação do Personagem Parado", range(0, 5)}},
         {},
         {384, 213},
         "Cancel",
         FollowUp::None},
        {"uCharAniBatAtacar",
         "TFormA",
         "Animação",
         "HeroBatAtacando",
         {{"Animação do Personagem se Movimentando até o Inimigo", range(0, 7)},
          {"Animação do Personagem Atacando", range(7, 4)}},
         {},
         {509, 344},
         "Cancel",
         FollowUp::None},
        {"uCharAniBatDef",
         "TFormD",
         "Animação",
         "HeroBatDefendendo",
         {{"Animação do Personagem Defendendo", range(0, 3)}},
         {},
         {261, 215},
         "Cancel",
         FollowUp::None},
        {"uCharAniBatMagic",
         "TFormM",
         "Animação",
         "HeroBatMagia",
         {{"Animação do Personagem Usando uma Magia", range(0, 6)}},
         {},
         {448, 214},
         "Cancel",
         FollowUp::None},
        {"uCharAniBatAtingido",
         "TFormT",
         "Animação",
         "HeroBatAtingido",
         {{"Animação do Personagem Atingido", range(0, 3)}},
         {},
         {255, 214},
         "Cancel",
         FollowUp::None},
        {"uCharAniBatMorrendo",
         "TFormW",
         "Animação",
         "HeroBatMorto",
         {{"Animação do Personagem Morendo", range(0, 3)}},
         {},
         {254, 215},
         "Cancel",
         FollowUp::None},
        {"uCharFaces",
         "TFormF",
         "Faces",
         "HeroFaces",
         {{"Animação do Personagem Parado", range(0, 5)}},
         {},
         {459, 227},
         "Cancel",
         FollowUp::HeroPortrait},
        {"uEnemyParado",
         "TFormENP",
         "FormENP",
         "MonsterParado",
         {{"Animação do Inimigo Parado", range(0, 6)}},
         {},
         {454, 213},
         "Cancelar",
         FollowUp::None},
        {"uEnemyAtacando",
         "TFormEAT",
         "FormEAT",
         "MonsterAtacando",
         {{"Animação do Inimigo Atacando", range(0, 6)}},
         {},
         {448, 214},
         "Cancel",
         FollowUp::None},
        {"uEnemyMagic",
         "TFormEUM",
         "FormEUM",
         "MonsterMagia",
         {{"Animação do Inimigo Atacando", range(0, 6)}},
         {},
         {448, 215},
         "Cancel",
         FollowUp::None},
        {"uAniItem",
         "TFormI",
         "Animação",
         "ItemAnim",
         {{"Animação ao ser usado em Batalha", range(0, 5)}},
         {},
         {378, 196},
         "Cancel",
         FollowUp::None},
        {"uMagicAni",
         "TFormMA",
         "FormMA",
         "SpellAnim",
         {{"Animação da Magia", range(0, 5)}},
         {},
         {382, 213},
         "Cancel",
         FollowUp::None},
    };
    return rows;
}

const Animation* findAnimation(std::string_view key) {
    for (const Animation& a : animations())
        if (key == a.key) return &a;
    return nullptr;
}

const EditorLayout* findEditor(std::string_view unit) {
    for (const EditorLayout& e : editorLayouts())
        if (unit == e.unit) return &e;
    return nullptr;
}

const Animation& animationOf(const EditorLayout& editor) {
    const Animation* a = findAnimation(editor.animation);
    if (!a) throw Error(std::string("A animação ") + editor.animation + " não existe.");
    return *a;
}

std::vector<Slot> slotsOf(const EditorLayout& editor) {
    const Animation& animation = animationOf(editor);
    std::vector<Slot> out;
    for (size_t g = 0; g < editor.groups.size(); ++g) {
        const std::vector<int>& frames = editor.groups[g].frames;
        for (size_t i = 0; i < frames.size(); ++i)
            out.push_back({static_cast<int>(g), static_cast<int>(i), animation.frames.at(size_t(frames[i]))});
    }
    return out;
}

RecordTable& tableOf(TDataModule1& data, FrameOwner owner) {
    switch (owner) {
    case FrameOwner::Hero:
        return data.cdsPersonagem;
    case FrameOwner::Monster:
        return data.cdsMonstros;
    case FrameOwner::Item:
        return data.cdsItens;
    case FrameOwner::Spell:
        return data.cdsMagias;
    }
    return data.cdsPersonagem;
}

FrameRecord readFrameRecord(TDataModule1& data, const Animation& animation) {
    FrameRecord out;
    RecordTable& table = tableOf(data, animation.owner);
    out.tableName = table.name();
    if (!table.active() || table.isEmpty()) return out;
    // The hero is the first record. The database window keeps the hero table
    // there; when it is elsewhere (never while editing), the first record is
    // read as stored rather than moving the cursor.
    const bool fromCursor = animation.owner != FrameOwner::Hero || table.recNo() == 1 ||
                            table.state() == RecordTable::State::Edit || table.state() == RecordTable::State::Insert;
    auto value = [&](const std::string& field) -> std::string {
        if (!table.hasField(field)) return {};
        if (fromCursor) return table.asString(field);
        const Record& first = table.allRecords().front();
        const auto& v = first.at(size_t(table.fieldIndex(field)));
        return v ? *v : std::string();
    };
    if (!fromCursor && table.allRecords().empty()) return out;
    out.present = true;
    if (animation.owner != FrameOwner::Hero) out.nome = value("Nome");
    for (const std::string& field : animation.frames) out.files.push_back(value(field));
    return out;
}

namespace {

std::string recordFolderOf(const FrameRecord& record) { return "Imagens\\" + record.nome + "\\"; }

std::string relativeFrame(const Animation& animation, const FrameRecord& record, int frame) {
    const std::string& file = record.files.at(size_t(frame));
    return animation.owner == FrameOwner::Hero ? "Imagens\\" + file : recordFolderOf(record) + file;
}

}  // namespace

QString framePath(const QString& projectFolder, const Animation& animation, const FrameRecord& record, int frame) {
    if (projectFolder.isEmpty() || !record.present || frame < 0 || size_t(frame) >= record.files.size()) return {};
    if (!isPlainFileName(record.files[size_t(frame)])) return {};
    if (animation.owner != FrameOwner::Hero && !isPlainFileName(record.nome)) return {};
    return projectPath(projectFolder, relativeFrame(animation, record, frame));
}

std::vector<QString> checkedTargets(const QString& projectFolder, const Animation& animation, const FrameRecord& record,
                                    const std::vector<int>& frames) {
    if (projectFolder.isEmpty()) refuse("Nenhum projeto está aberto.", {});
    if (!record.present) refuse("A tabela \"%s\" não tem um registro atual.", {record.tableName});
    if (animation.owner != FrameOwner::Hero) {
        if (record.nome.empty()) refuse("O registro não tem nome, e o nome dá a pasta dos quadros.", {});
        if (!isPlainFileName(record.nome))
            refuse("O nome \"%s\" não pode ser o nome de uma pasta (\\ / : * ? \" < > | não são aceitos).",
                   {utf8(record.nome)});
        const QString folder = projectPath(projectFolder, recordFolderOf(record));
        if (!folderExists(folder)) refuse("A pasta \"%s\" não existe.", {folder.toStdString()});
    }
    std::vector<QString> out;
    for (const int frame : frames) {
        const std::string& field = animation.frames.at(size_t(frame));
        const std::string& file = record.files.at(size_t(frame));
        if (file.empty()) refuse("O campo \"%s\" não tem nome de arquivo.", {field});
        if (!isPlainFileName(file))
            refuse("O nome de arquivo \"%s\" do campo \"%s\" não é válido: ele deve ficar na pasta dos quadros.",
                   {utf8(file), field});
        const QString path = projectPath(projectFolder, relativeFrame(animation, record, frame));
        if (Picture::writeFormatFor(path).isEmpty())
            refuse("O nome de arquivo \"%s\" do campo \"%s\" não tem uma extensão de imagem conhecida.",
                   {utf8(file), field});
        if (folderExists(path)) refuse("\"%s\" é uma pasta, não um arquivo.", {path.toStdString()});
        checkWriteInsideProject(projectFolder, path);
        out.push_back(path);
    }
    return out;
}

}  // namespace quillmark
