// The frame previews as the database window drives them: boxes in bare host
// widgets, steps called directly (the timers only call the same step), and
// the pictures checked by grabbing the boxes.
#include "AnimationProject.h"

#include "model/core/Error.h"
#include "ui/animation/uFramePreview.h"
#include "ui/animation/uFramePreviews.h"
#include "ui/animation/uFrameSetEditor.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <map>

using namespace quillmark;
using qmtest::frameColour;
using qmtest::frameImage;
using qmtest::kKey;
using qmtest::kPlaceholder;

namespace {

const QRgb kBackground = qRgb(250, 250, 240);

struct PreviewsTest : qmtest::AnimationProject {
    QWidget page;  // stands for the database window's pages
    TFramePreviews previews{ws, &page};
    std::map<QString, QWidget*> hosts;

    PreviewsTest() {
        QPalette pal = page.palette();
        pal.setColor(QPalette::Window, kBackground);
        page.setPalette(pal);
        page.setAutoFillBackground(true);
        page.resize(1100, 100);
        int x = 0;
        for (const Animation& a : animations()) {
            const QString key = QString::fromLatin1(a.key);
            auto* host = new QWidget(&page);
            const int side = a.face ? 81 : 65;
            host->setGeometry(x, 0, side, side);
            x += side + 2;
            previews.attach(key, host);
            hosts[key] = host;
        }
    }
    // What a box shows: the grabbed colour at a point (the middle by default).
    QRgb shown(const QString& key, QPoint at = QPoint(-1, -1)) {
        QWidget* host = hosts.at(key);
        if (at.x() < 0) at = QPoint(host->width() / 2, host->height() / 2);
        return page.grab(host->geometry()).toImage().pixel(at) | 0xff000000u;
    }
    // Gives every frame of a hero animation its own colour (frame n: frameColour(base + n)).
    void writeHeroFrames(const char* key, int base) {
        const Animation& a = *findAnimation(key);
        for (size_t i = 0; i < a.frames.size(); ++i)
            writePicture(heroFrame(a.frames[i]), frameImage(frameColour(base + int(i))));
    }
    void writeMonsterFrames(const std::string& nome, int base) {
        for (int i = 1; i <= 6; ++i)
            writePicture(recordFrame(nome, data.cdsMonstros, "Parado0" + std::to_string(i)),
                         frameImage(frameColour(base + i - 1)));
    }
};

}  // namespace

TEST_F(PreviewsTest, AMissingMonsterFrameShowsThePlaceholderAtItsTurnOnly) {
    addRecord(data.cdsMonstros, "Slime");
    writeMonsterFrames("Slime", 0);
    QFile::remove(file("Imagens/Slime/CharParado03.bmp"));
    previews.pageEntered(DatabasePage::Inimigos);
    EXPECT_EQ(shown("MonsterParado"), frameColour(0));  // the entry step's first frame
    std::vector<QRgb> seen;
    for (int i = 0; i < 12; ++i) {
        previews.step("MonsterParado");
        seen.push_back(shown("MonsterParado"));
    }
    const std::vector<QRgb> expected = {frameColour(0), frameColour(1), kPlaceholder,   frameColour(3),
                                        frameColour(4), frameColour(5), frameColour(0), frameColour(1),
                                        kPlaceholder,   frameColour(3), frameColour(4), frameColour(5)};
    EXPECT_EQ(seen, expected);
    EXPECT_TRUE(prompts->asked().empty());
}

TEST_F(PreviewsTest, LeavingAndComingBackContinuesWhereTheWalkingStopped) {
    writeHeroFrames("HeroAndando", 0);
    previews.pageEntered(DatabasePage::Personagem);
    EXPECT_TRUE(previews.isRunning("HeroAndando"));
    EXPECT_TRUE(previews.isRunning("HeroFaces"));
    EXPECT_FALSE(previews.isRunning("MonsterParado"));
    for (int i = 0; i < 4; ++i) previews.step("HeroAndando");
    EXPECT_EQ(shown("HeroAndando"), frameColour(3));  // AnAndando01Right
    previews.pageLeft(DatabasePage::Personagem);
    for (const char* key : {"HeroAndando", "HeroMorto", "HeroBatParado", "HeroBatAtacando", "HeroBatDefendendo",
                            "HeroBatMagia", "HeroBatAtingido", "HeroBatMorto", "HeroFaces"})
        EXPECT_FALSE(previews.isRunning(key)) << key;
    EXPECT_EQ(shown("HeroAndando"), frameColour(3));  // the last picture stays

    previews.pageEntered(DatabasePage::Personagem);
    EXPECT_EQ(shown("HeroAndando"), frameColour(0));  // AnAndando01Down once
    previews.step("HeroAndando");
    EXPECT_EQ(shown("HeroAndando"), frameColour(4));  // then AnAndando02Right
    EXPECT_EQ(QString::fromStdString(findAnimation("HeroAndando")->frames[4]), "AnAndando02Right");
}

TEST_F(PreviewsTest, AnotherMonsterKeepsTheCounter) {
    addRecord(data.cdsMonstros, "Slime");
    writeMonsterFrames("Slime", 0);
    addRecord(data.cdsMonstros, "Morcego");
    writeMonsterFrames("Morcego", 20);
    data.cdsMonstros.first();
    previews.pageEntered(DatabasePage::Inimigos);
    previews.step("MonsterParado");
    previews.step("MonsterParado");
    EXPECT_EQ(shown("MonsterParado"), frameColour(1));
    data.cdsMonstros.last();  // the list selects the bat
    previews.recordChanged(DatabasePage::Inimigos);
    EXPECT_EQ(shown("MonsterParado"), frameColour(20));  // its first frame at once
    EXPECT_EQ(previews.stepCounter("MonsterParado"), 2);
    previews.step("MonsterParado");
    EXPECT_EQ(shown("MonsterParado"), frameColour(22));  // and the same index next
}

TEST_F(PreviewsTest, EveryStepReadsTheDiskAndAllFramesComeRound) {
    writeHeroFrames("HeroBatMagia", 0);
    for (int i = 0; i < 6; ++i) {
        previews.step("HeroBatMagia");
        EXPECT_EQ(shown("HeroBatMagia"), frameColour(i)) << i;
    }
    previews.step("HeroBatMagia");
    EXPECT_EQ(shown("HeroBatMagia"), frameColour(0));  // and again from the first
    // a frame stored meanwhile shows at its next turn
    writePicture(heroFrame("AnBatMagic02"), frameImage(qRgb(9, 99, 199)));
    previews.step("HeroBatMagia");
    EXPECT_EQ(shown("HeroBatMagia"), qRgb(9, 99, 199));
}

TEST_F(PreviewsTest, FramesAreCentredUnscaledAndFacesStretchedBothWithoutTheirKeyColour) {
    writePicture(heroFrame("AnMorto01"), frameImage(qRgb(10, 120, 30), 21));
    writePicture(heroFrame("Face01"), frameImage(qRgb(200, 40, 40), 9));
    previews.recordChanged(DatabasePage::Personagem);
    // 21 x 21 in the middle of 65 x 65: from 22 to 42
    EXPECT_EQ(shown("HeroMorto", QPoint(32, 32)), qRgb(10, 120, 30));
    EXPECT_EQ(shown("HeroMorto", QPoint(42, 22)), qRgb(10, 120, 30));
    EXPECT_EQ(shown("HeroMorto", QPoint(21, 32)), kBackground);
    EXPECT_EQ(shown("HeroMorto", QPoint(43, 32)), kBackground);
    EXPECT_EQ(shown("HeroMorto", QPoint(22, 42)), kBackground);  // the key pixel is left out
    // the face fills its 81 x 81 box
    EXPECT_EQ(shown("HeroFaces", QPoint(79, 1)), qRgb(200, 40, 40));
    EXPECT_EQ(shown("HeroFaces", QPoint(40, 40)), qRgb(200, 40, 40));
    EXPECT_EQ(shown("HeroFaces", QPoint(2, 78)), kBackground);  // the stretched key pixel
    EXPECT_NE(shown("HeroFaces", QPoint(2, 78)), kKey);
}

TEST_F(PreviewsTest, AnUnreadableFrameKeepsTheLastPictureWithoutAnErrorBox) {
    writeHeroFrames("HeroBatDefendendo", 0);
    QFile::resize(file(heroFrame("AnBatDef02")), 10);  // damaged
    previews.step("HeroBatDefendendo");
    previews.step("HeroBatDefendendo");
    EXPECT_EQ(shown("HeroBatDefendendo"), frameColour(0));
    // neither the frame nor the placeholder can be read
    QFile::remove(file(heroFrame("AnBatDef03")));
    QFile::remove(file("Imagens/null.bmp"));
    previews.step("HeroBatDefendendo");
    EXPECT_EQ(shown("HeroBatDefendendo"), frameColour(0));
    previews.step("HeroBatDefendendo");
    EXPECT_EQ(shown("HeroBatDefendendo"), frameColour(0));  // the first again
    EXPECT_TRUE(prompts->asked().empty());
}

TEST_F(PreviewsTest, ItemsSpellsAndEmptyTablesShowTheirFirstFrames) {
    addRecord(data.cdsItens, "Pocao");
    writePicture(recordFrame("Pocao", data.cdsItens, "Anim1"), frameImage(qRgb(70, 70, 250)));
    previews.pageEntered(DatabasePage::Itens);
    EXPECT_TRUE(previews.isRunning("ItemAnim"));
    EXPECT_EQ(shown("ItemAnim"), qRgb(70, 70, 250));
    previews.pageLeft(DatabasePage::Itens);
    EXPECT_FALSE(previews.isRunning("ItemAnim"));
    // a spell with frames shows the first and does not run
    addRecord(data.cdsMagias, "Fogo");
    setField(data.cdsMagias, "Anim1", "MgAni1.bmp");
    writePicture("Imagens/Fogo/MgAni1.bmp", frameImage(qRgb(250, 120, 0)));
    previews.pageEntered(DatabasePage::Magias);
    EXPECT_EQ(shown("SpellAnim"), qRgb(250, 120, 0));
    EXPECT_FALSE(previews.isRunning("SpellAnim"));
    // a spell without frames leaves the box empty, not the placeholder
    addRecord(data.cdsMagias, "Raio");
    previews.recordChanged(DatabasePage::Magias);
    EXPECT_EQ(shown("SpellAnim"), kBackground);
    // no monsters at all: the placeholder
    ASSERT_TRUE(data.cdsMonstros.isEmpty());
    previews.pageEntered(DatabasePage::Inimigos);
    EXPECT_EQ(shown("MonsterMagia"), kPlaceholder);
    previews.pageLeft(DatabasePage::Inimigos);
    // the "Game" and "Tiles" pages have no previews
    previews.pageEntered(DatabasePage::Game);
    for (const Animation& a : animations()) EXPECT_FALSE(previews.isRunning(a.key)) << a.key;
}

TEST_F(PreviewsTest, UnknownKeysAndUnitsAreProgrammingErrors) {
    QWidget host;
    EXPECT_THROW(previews.attach("HeroVoando", &host), Error);
    EXPECT_THROW(previews.editFrames("uNothing"), Error);
    EXPECT_THROW(previews.step("Nothing"), Error);
    // every unit the database window names has its editor, with its class name
    const std::map<QString, QString> classes = {{"uCharAniEdit", "TForm3"},
                                                {"uCharAniMorendo", "TFormE"},
                                                {"uCharAniBatParado", "TFormP"},
                                                {"uCharAniBatAtacar", "TFormA"},
                                                {"uCharAniBatDef", "TFormD"},
                                                {"uCharAniBatMagic", "TFormM"},
                                                {"uCharAniBatAtingido", "TFormT"},
                                                {"uCharAniBatMorrendo", "TFormW"},
                                                {"uCharFaces", "TFormF"},
                                                {"uEnemyParado", "TFormENP"},
                                                {"uEnemyAtacando", "TFormEAT"},
                                                {"uEnemyMagic", "TFormEUM"},
                                                {"uAniItem", "TFormI"},
                                                {"uMagicAni", "TFormMA"}};
    for (const auto& [unit, cls] : classes)
        EXPECT_EQ(QString::fromLatin1(previews.editor(unit)->metaObject()->className()), "quillmark::" + cls)
            << unit.toStdString();
}

TEST_F(PreviewsTest, TheFacesEditorsOkStoresTheFaceThePortraitReadsAtOnce) {
    const QString picked = project.dir.file("retrato.bmp");
    Picture(frameImage(qRgb(30, 180, 220), 50)).SaveToFile(picked);
    prompts->answerText(picked);
    QString storedUnit;
    QObject::connect(&previews, &TFramePreviews::framesStored, [&](const QString& u) { storedUnit = u; });
    // the user clicks slot 1 and "OK" in the modal window
    QTimer::singleShot(0, [&] {
        QWidget* w = QApplication::activeModalWidget();
        ASSERT_NE(w, nullptr);
        auto* editor = qobject_cast<TFrameSetEditor*>(w);
        ASSERT_NE(editor, nullptr);
        QTest::mouseClick(editor->slot(0), Qt::LeftButton);
        QTest::mouseClick(editor->okButton(), Qt::LeftButton);
        if (editor->isVisible()) editor->reject();
    });
    previews.editFrames("uCharFaces");
    EXPECT_EQ(storedUnit, "uCharFaces");
    // what the hero page's portrait reads from the record right afterwards
    EXPECT_EQ(storedColour(heroFrame("Face01")), qRgb(30, 180, 220));
    previews.recordChanged(DatabasePage::Personagem);
    EXPECT_EQ(shown("HeroFaces"), qRgb(30, 180, 220));
}
