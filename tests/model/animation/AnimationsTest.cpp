// The catalogue of animations and the places of frame files: which fields an
// animation plays, where each frame lives, and which names are refused before
// anything is written.
#include "AnimationProject.h"

#include "model/animation/Animations.h"
#include "model/core/Error.h"
#include "model/database/DataModule.h"

#include <set>

using namespace quillmark;
using qmtest::AnimationProject;

namespace {

const Schema& schemaOf(FrameOwner owner) {
    switch (owner) {
    case FrameOwner::Hero:
        return personagemSchema();
    case FrameOwner::Monster:
        return monstrosSchema();
    case FrameOwner::Item:
        return itensSchema();
    case FrameOwner::Spell:
        return magiasSchema();
    }
    return personagemSchema();
}

bool schemaHas(const Schema& s, const std::string& field) {
    for (const FieldDef& f : s)
        if (equalsIgnoreCase(f.name, field)) return true;
    return false;
}

std::vector<std::string> fieldsOf(const EditorLayout& e) {
    std::vector<std::string> out;
    for (const Slot& s : slotsOf(e)) out.push_back(s.field);
    return out;
}

}  // namespace

TEST(AnimationCatalogue, EveryFrameFieldExistsInItsTableAndEditorsCoverTheirAnimationOnce) {
    ASSERT_EQ(animations().size(), 14u);
    int running = 0;
    for (const Animation& a : animations()) {
        if (a.intervalMs > 0) ++running;
        for (const std::string& f : a.frames) EXPECT_TRUE(schemaHas(schemaOf(a.owner), f)) << a.key << " " << f;
    }
    EXPECT_EQ(running, 13);
    ASSERT_EQ(editorLayouts().size(), 14u);
    std::set<std::string> edited;
    for (const EditorLayout& e : editorLayouts()) {
        const Animation& a = animationOf(e);
        edited.insert(a.key);
        // each frame of the animation gets exactly one slot
        std::vector<std::string> cells = fieldsOf(e);
        std::vector<std::string> frames = a.frames;
        std::sort(cells.begin(), cells.end());
        std::sort(frames.begin(), frames.end());
        EXPECT_EQ(cells, frames) << e.unit;
    }
    EXPECT_EQ(edited.size(), 14u);  // one editor per animation
    EXPECT_EQ(findEditor("uNothing"), nullptr);
    EXPECT_EQ(findAnimation("Nothing"), nullptr);
}

TEST(AnimationCatalogue, PlayingAndEditingOrders) {
    // the walking preview goes down, right, up, left
    const Animation& walking = *findAnimation("HeroAndando");
    ASSERT_EQ(walking.frames.size(), 12u);
    EXPECT_EQ(walking.frames[0], "AnAndando01Down");
    EXPECT_EQ(walking.frames[4], "AnAndando02Right");
    EXPECT_EQ(walking.frames[8], "AnAndando03Up");
    EXPECT_EQ(walking.frames[11], "AnAndando03Left");
    // the walking editor stores Down, Left, Right, Up in four columns of three
    const EditorLayout& edit = *findEditor("uCharAniEdit");
    const std::vector<std::string> order = fieldsOf(edit);
    EXPECT_EQ(order[0], "AnAndando01Down");
    EXPECT_EQ(order[4], "AnAndando02Left");  // column "Left", row 2
    EXPECT_EQ(order[6], "AnAndando01Right");
    EXPECT_EQ(order[11], "AnAndando03Up");
    EXPECT_EQ(std::vector<std::string>(edit.columnHeads.begin(), edit.columnHeads.end()),
              (std::vector<std::string>{"Down", "Left", "Right", "Up"}));
    // the attack preview plays the approach, then the strike; the editor shows them in two groups
    const EditorLayout& attack = *findEditor("uCharAniBatAtacar");
    ASSERT_EQ(attack.groups.size(), 2u);
    const std::vector<Slot> cells = slotsOf(attack);
    EXPECT_EQ(cells[6].field, "AnBatAtacar07");
    EXPECT_EQ(cells[7].field, "AnBatGolpe01");
    EXPECT_EQ(cells[7].group, 1);
    EXPECT_EQ(cells[7].indexInGroup, 0);
    // the faces step once a second and are stretched, items use Anim1 … Anim5
    EXPECT_EQ(findAnimation("HeroFaces")->intervalMs, 1000);
    EXPECT_TRUE(findAnimation("HeroFaces")->face);
    EXPECT_EQ(findAnimation("ItemAnim")->frames.back(), "Anim5");
    EXPECT_STREQ(findEditor("uEnemyParado")->cancelText, "Cancelar");
    EXPECT_STREQ(findEditor("uEnemyAtacando")->cancelText, "Cancel");
}

using FramePlaces = AnimationProject;

TEST_F(FramePlaces, HeroFramesLieInImagensAndOthersInTheRecordFolderWhateverTheCase) {
    const Animation& morto = *findAnimation("HeroMorto");
    FrameRecord hero = readFrameRecord(data, morto);
    ASSERT_TRUE(hero.present);
    EXPECT_EQ(framePath(project.folder(), morto, hero, 1), file(heroFrame("AnMorto02")));

    addRecord(data.cdsMonstros, "Slime");
    const Animation& parado = *findAnimation("MonsterParado");
    setField(data.cdsMonstros, "Nome", "SLIME");  // the folder on disk is "Slime"
    FrameRecord monster = readFrameRecord(data, parado);
    EXPECT_EQ(monster.nome, "SLIME");
    EXPECT_EQ(framePath(project.folder(), parado, monster, 2), file("Imagens/Slime/CharParado03.bmp"));
    // unsafe names give no place at all
    setField(data.cdsMonstros, "Parado03", "..\\..\\Data\\Tiles.xml");
    monster = readFrameRecord(data, parado);
    EXPECT_EQ(framePath(project.folder(), parado, monster, 2), QString());
    setField(data.cdsMonstros, "Nome", "..");
    monster = readFrameRecord(data, parado);
    EXPECT_EQ(framePath(project.folder(), parado, monster, 0), QString());
    // without a project there is no place either
    EXPECT_EQ(framePath(QString(), morto, hero, 0), QString());
}

TEST_F(FramePlaces, TheHeroIsTheFirstRecordWhereverTheCursorIs) {
    RecordTable& t = data.cdsPersonagem;
    const std::string first = t.asString("Face01");
    t.insert();
    t.setString("Face01", "Outro.bmp");
    t.post();
    t.last();
    ASSERT_NE(t.recNo(), 1);
    const FrameRecord r = readFrameRecord(data, *findAnimation("HeroFaces"));
    EXPECT_EQ(r.files[0], first);
    EXPECT_NE(t.recNo(), 1);  // the cursor was not moved
}

TEST_F(FramePlaces, EmptyTablesHaveNoRecordAndRefuseToStore) {
    const Animation& anim = *findAnimation("ItemAnim");
    ASSERT_TRUE(data.cdsItens.isEmpty());
    const FrameRecord r = readFrameRecord(data, anim);
    EXPECT_FALSE(r.present);
    EXPECT_THROW(checkedTargets(project.folder(), anim, r, {0}), Error);
}

namespace {
std::string refusal(const QString& folder, const Animation& a, const FrameRecord& r, const std::vector<int>& frames) {
    try {
        checkedTargets(folder, a, r, frames);
    } catch (const Error& e) {
        return e.what();
    }
    return {};
}
}  // namespace

TEST_F(FramePlaces, TargetsAreCheckedBeforeAnythingIsWritten) {
    const Animation& a = *findAnimation("MonsterAtacando");
    const std::vector<int> all = {0, 1, 2, 3, 4, 5};
    addRecord(data.cdsMonstros, "Lobo");
    EXPECT_EQ(checkedTargets(project.folder(), a, readFrameRecord(data, a), all).size(), 6u);
    EXPECT_EQ(checkedTargets(project.folder(), a, readFrameRecord(data, a), all)[5],
              file("Imagens/Lobo/CharAtacando06.bmp"));

    struct Case {
        std::string field, value, expected;
    };
    const std::vector<Case> cases = {
        {"Atacando04", "", "O campo \"Atacando04\" não tem nome de arquivo."},
        {"Atacando02", "..\\Lobo2.bmp", "\"..\\Lobo2.bmp\" do campo \"Atacando02\" não é válido"},
        {"Atacando02", "sub/x.bmp", "não é válido"},
        {"Atacando01", "CharAtacando01.txt", "não tem uma extensão de imagem conhecida"},
        {"Nome", "", "O registro não tem nome"},
        {"Nome", "a/b", "O nome \"a/b\" não pode ser o nome de uma pasta"},
        {"Nome", "Fantasma", "A pasta \""},
    };
    for (const Case& c : cases) {
        addRecord(data.cdsMonstros, "Lobo", false);
        setField(data.cdsMonstros, c.field, c.value);
        const std::string message = refusal(project.folder(), a, readFrameRecord(data, a), all);
        EXPECT_NE(message.find(c.expected), std::string::npos) << c.field << "=" << c.value << ": " << message;
        EXPECT_NE(message.find("Nenhum quadro foi gravado."), std::string::npos) << message;
        data.cdsMonstros.remove();
    }
    // a folder where a frame file should be
    addRecord(data.cdsMonstros, "Lobo", false);
    QDir().mkpath(file("Imagens/Lobo/CharAtacando03.bmp"));
    EXPECT_NE(refusal(project.folder(), a, readFrameRecord(data, a), all).find("é uma pasta"), std::string::npos);
    // no project at all
    EXPECT_NE(refusal(QString(), a, readFrameRecord(data, a), all).find("Nenhum projeto"), std::string::npos);
    EXPECT_TRUE(QDir(file("Imagens/Lobo")).entryList(QDir::Files).isEmpty());
}
