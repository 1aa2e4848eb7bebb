// The frame-set editors: what they show from disk, what picking changes, what
// "OK" writes (and refuses to write), and how they look. Each test works on a
// project in a temporary folder and answers the picture dialog with scripted
// prompts.
#include "AnimationProject.h"

#include "ui/animation/uAniItem.h"
#include "ui/animation/uCharAniBatAtacar.h"
#include "ui/animation/uCharAniBatAtingido.h"
#include "ui/animation/uCharAniBatDef.h"
#include "ui/animation/uCharAniBatParado.h"
#include "ui/animation/uCharAniEdit.h"
#include "ui/animation/uCharAniMorendo.h"
#include "ui/animation/uCharFaces.h"
#include "ui/animation/uEnemyAtacando.h"
#include "ui/animation/uEnemyParado.h"
#include "ui/animation/uMagicAni.h"

#include <QApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QGroupBox>
#include <QPushButton>
#include <QTest>

using namespace quillmark;
using qmtest::frameColour;
using qmtest::frameImage;
using qmtest::kPlaceholder;

namespace {

struct EditorTest : qmtest::AnimationProject {
    // The colour a slot shows in its middle.
    static QRgb slotColour(TFrameSetEditor& e, int slot) {
        return e.slot(slot)->grab().toImage().pixel(e.slot(slot)->width() / 2, e.slot(slot)->height() / 2) |
               0xff000000u;
    }
    // Writes every hero frame an editor shows, slot n in frameColour(n).
    void writeSlots(TFrameSetEditor& e) {
        const std::vector<Slot> cells = slotsOf(e.layout());
        for (size_t i = 0; i < cells.size(); ++i)
            writePicture(heroFrame(cells[i].field), frameImage(frameColour(int(i))));
    }
    QString slotFile(TFrameSetEditor& e, int slot) { return heroFrame(slotsOf(e.layout())[size_t(slot)].field); }
    // A picture outside the project for the picture dialog.
    QString outside(const QString& name, const QImage& image) {
        const QString path = elsewhere.file(name);
        EXPECT_TRUE(image.save(path));
        return path;
    }
    void click(TFrameSetEditor& e, int slot) { QTest::mouseClick(e.slot(slot), Qt::LeftButton); }
    qmtest::TempDir elsewhere;
};

}  // namespace

TEST_F(EditorTest, AllFramesPresentAreShownAndOkRewritesEachWithTheSamePicture) {
    TForm3 walking{ws};
    writeSlots(walking);
    std::vector<QByteArray> bytes;
    std::vector<QDateTime> before;
    for (int i = 0; i < 12; ++i) {
        bytes.push_back(storedBytes(slotFile(walking, i)));
        before.push_back(qmtest::ageFile(file(slotFile(walking, i))));
        ASSERT_TRUE(before.back().isValid());
    }
    walking.showFrames();
    walking.show();
    for (int i = 0; i < 12; ++i) EXPECT_EQ(slotColour(walking, i), frameColour(i)) << i;
    // the slot in column "Left", row 2 shows AnAndando02Left
    EXPECT_EQ(walking.slot(4)->objectName(), "AnAndando02Left");
    EXPECT_TRUE(walking.OK());
    EXPECT_FALSE(walking.isVisible());
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(storedBytes(slotFile(walking, i)), bytes[size_t(i)]) << i;
        EXPECT_GT(QFileInfo(file(slotFile(walking, i))).lastModified(), before[size_t(i)]) << i;
    }
    // the walking editor leaves the hero in edit, the standing editor does not
    EXPECT_EQ(data.cdsPersonagem.state(), RecordTable::State::Edit);
    data.cdsPersonagem.post();
    TFormP standing{ws};
    standing.showFrames();
    EXPECT_TRUE(standing.OK());
    EXPECT_EQ(data.cdsPersonagem.state(), RecordTable::State::Browse);
    EXPECT_TRUE(prompts->asked().empty());
}

TEST_F(EditorTest, AMissingFrameShowsAndIsStoredAsThePlaceholder) {
    TFormE dying{ws};
    writeSlots(dying);
    QFile::remove(file(slotFile(dying, 1)));
    dying.showFrames();
    EXPECT_EQ(slotColour(dying, 0), frameColour(0));
    EXPECT_EQ(slotColour(dying, 1), kPlaceholder);
    EXPECT_TRUE(dying.OK());
    EXPECT_EQ(storedColour(slotFile(dying, 1)), kPlaceholder);
    EXPECT_EQ(storedBytes(slotFile(dying, 1)).left(2), "BM");
    EXPECT_EQ(data.cdsPersonagem.state(), RecordTable::State::Edit);
    data.cdsPersonagem.post();

    // a folder of a frame's name is not a frame: shown as the placeholder, refused on OK
    QFile::remove(file(slotFile(dying, 2)));
    QDir().mkpath(file(slotFile(dying, 2)));
    dying.showFrames();
    EXPECT_EQ(slotColour(dying, 2), kPlaceholder);
    writePicture(slotFile(dying, 0), frameImage(qRgb(99, 0, 0)));  // changed on disk meanwhile
    const QByteArray before = storedBytes(slotFile(dying, 0));
    EXPECT_FALSE(dying.OK());
    EXPECT_TRUE(prompts->messages().last().contains("pasta"));
    EXPECT_EQ(storedBytes(slotFile(dying, 0)), before);                 // nothing written
    EXPECT_EQ(data.cdsPersonagem.state(), RecordTable::State::Browse);  // no follow-up either
}

TEST_F(EditorTest, PickedPicturesThenCancelChangeNoFileAndTheNextOpeningShowsTheDisk) {
    TFormD& defending = *new TFormD(ws);
    writeSlots(defending);
    std::vector<QByteArray> bytes;
    for (int i = 0; i < 3; ++i) bytes.push_back(storedBytes(slotFile(defending, i)));
    prompts->answerText(outside("a.bmp", frameImage(qRgb(5, 5, 250))))
        .answerNothing()  // the dialog cancelled: the slot keeps its picture
        .answerText(outside("c.bmp", frameImage(qRgb(250, 5, 5))));
    defending.showFrames();
    defending.show();
    click(defending, 0);
    click(defending, 1);
    click(defending, 2);
    EXPECT_EQ(slotColour(defending, 0), qRgb(5, 5, 250));
    EXPECT_EQ(slotColour(defending, 1), frameColour(1));
    EXPECT_EQ(slotColour(defending, 2), qRgb(250, 5, 5));
    QTest::mouseClick(defending.cancelButton(), Qt::LeftButton);
    EXPECT_FALSE(defending.isVisible());
    for (int i = 0; i < 3; ++i) EXPECT_EQ(storedBytes(slotFile(defending, i)), bytes[size_t(i)]) << i;
    defending.showFrames();
    EXPECT_EQ(slotColour(defending, 0), frameColour(0));
    EXPECT_EQ(slotColour(defending, 2), frameColour(2));
    EXPECT_TRUE(prompts->allAnswersUsed());
    delete &defending;
}

TEST_F(EditorTest, PicturesOfOtherFormatsAndSizesAreStoredWholeByTheFramesExtension) {
    TFormT hit{ws};
    writeSlots(hit);
    prompts->answerText(outside("foto.jpg", frameImage(qRgb(40, 160, 80), 30)))
        .answerText(outside("grande.png", frameImage(qRgb(200, 30, 200), 100)));
    hit.showFrames();
    click(hit, 0);
    click(hit, 1);
    // the large picture is centred and clipped in its slot
    EXPECT_EQ(hit.slot(1)->grab().toImage().pixel(0, 64) | 0xff000000u, qRgb(200, 30, 200));
    EXPECT_TRUE(hit.OK());
    const QByteArray jpegAsBmp = storedBytes(slotFile(hit, 0));
    EXPECT_EQ(jpegAsBmp.left(2), "BM");
    const QRgb c = storedColour(slotFile(hit, 0));
    EXPECT_NEAR(qRed(c), 40, 6);
    EXPECT_NEAR(qGreen(c), 160, 6);
    EXPECT_EQ(Picture::fromFile(file(slotFile(hit, 1))).size(), QSize(100, 100));
}

TEST_F(EditorTest, AMonsterWithoutARecordFolderReportsAndWritesNothing) {
    addRecord(data.cdsMonstros, "Golem", false);
    TFormENP standing{ws};
    standing.showFrames();
    standing.show();
    for (int i = 0; i < 6; ++i) EXPECT_EQ(slotColour(standing, i), kPlaceholder);
    QTest::mouseClick(standing.okButton(), Qt::LeftButton);
    EXPECT_TRUE(standing.isVisible());  // stays open for another try or Cancel
    ASSERT_EQ(prompts->messages().size(), 1);
    EXPECT_TRUE(prompts->messages()[0].contains("Golem")) << prompts->messages()[0].toStdString();
    EXPECT_EQ(prompts->asked()[0].title, "Quillmark");
    EXPECT_FALSE(QFileInfo::exists(file("Imagens/Golem")));
    // once the folder is there, OK stores all six
    QDir().mkpath(file("Imagens/Golem"));
    QTest::mouseClick(standing.okButton(), Qt::LeftButton);
    EXPECT_FALSE(standing.isVisible());
    EXPECT_EQ(QDir(file("Imagens/Golem")).entryList(QDir::Files).size(), 6);
    EXPECT_EQ(storedColour("Imagens/Golem/CharParado06.bmp"), kPlaceholder);
}

TEST_F(EditorTest, AnEmptyOrEscapingNameIsReportedBeforeAnyWrite) {
    addRecord(data.cdsMonstros, "Lobo");
    TFormEAT attacking{ws};
    writePicture("Imagens/Lobo/CharAtacando01.bmp", frameImage(frameColour(1)));
    const QByteArray first = storedBytes("Imagens/Lobo/CharAtacando01.bmp");
    setField(data.cdsMonstros, "Atacando04", "");
    attacking.showFrames();
    EXPECT_EQ(slotColour(attacking, 3), kPlaceholder);
    prompts->answerText(outside("novo.bmp", frameImage(qRgb(1, 200, 1))));
    click(attacking, 0);
    EXPECT_FALSE(attacking.OK());
    EXPECT_TRUE(prompts->messages().last().contains("Atacando04"));
    EXPECT_EQ(storedBytes("Imagens/Lobo/CharAtacando01.bmp"), first);  // not even the frames before it
    EXPECT_EQ(QDir(file("Imagens/Lobo")).entryList(QDir::Files).size(), 1);

    // a name that climbs out of the record folder
    setField(data.cdsMonstros, "Atacando04", "CharAtacando04.bmp");
    setField(data.cdsMonstros, "Atacando02", "..\\..\\Data\\Itens.xml");
    const QByteArray items = storedBytes("Data/Itens.xml");
    attacking.showFrames();
    EXPECT_EQ(slotColour(attacking, 1), kPlaceholder);
    EXPECT_FALSE(attacking.OK());
    EXPECT_TRUE(prompts->messages().last().contains("Atacando02"));
    EXPECT_EQ(storedBytes("Data/Itens.xml"), items);
    EXPECT_EQ(QDir(file("Imagens/Lobo")).entryList(QDir::Files).size(), 1);
    // and a Nome that would name a folder elsewhere
    setField(data.cdsMonstros, "Atacando02", "CharAtacando02.bmp");
    setField(data.cdsMonstros, "Nome", "..\\Data");
    attacking.showFrames();
    EXPECT_FALSE(attacking.OK());
    EXPECT_TRUE(QDir(file("Data")).entryList({"*.bmp"}, QDir::Files).isEmpty());
    EXPECT_TRUE(QDir(file("Imagens")).entryList({"CharAtacando*"}, QDir::Files).isEmpty());
}

TEST_F(EditorTest, AWriteThatStillFailsMidwayIsReportedAndTheWindowStaysOpen) {
    TFormE dying{ws};
    writeSlots(dying);
    // the second frame is a link into a folder of the project that does not
    // exist: every check passes (the link stays inside), and the write itself fails
    QFile::remove(file(slotFile(dying, 1)));
    ASSERT_TRUE(QFile::link(file("Sumiu/quadro.bmp"), file(slotFile(dying, 1))));
    prompts->answerText(outside("novo.bmp", frameImage(qRgb(0, 90, 0))))
        .answerText(outside("outro.bmp", frameImage(qRgb(90, 0, 0))));
    dying.showFrames();
    dying.show();
    click(dying, 0);
    click(dying, 2);
    const QByteArray third = storedBytes(slotFile(dying, 2));
    QTest::mouseClick(dying.okButton(), Qt::LeftButton);
    EXPECT_TRUE(dying.isVisible());
    EXPECT_EQ(prompts->messages().size(), 1);
    EXPECT_EQ(storedColour(slotFile(dying, 0)), qRgb(0, 90, 0));        // written before the failure
    EXPECT_EQ(storedBytes(slotFile(dying, 2)), third);                  // not after it
    EXPECT_EQ(data.cdsPersonagem.state(), RecordTable::State::Browse);  // no follow-up
    EXPECT_FALSE(QFileInfo::exists(file("Sumiu")));
    QTest::mouseClick(dying.cancelButton(), Qt::LeftButton);
    EXPECT_FALSE(dying.isVisible());
}

TEST_F(EditorTest, ShowingReportsAnUnreadableFileAndKeepsTheSlotsAfterIt) {
    TFormP standing{ws};
    writeSlots(standing);
    standing.showFrames();
    ASSERT_EQ(slotColour(standing, 4), frameColour(4));
    writePicture(slotFile(standing, 0), frameImage(qRgb(9, 9, 9)));
    QFile::resize(file(slotFile(standing, 2)), 12);  // damaged
    writePicture(slotFile(standing, 3), frameImage(qRgb(8, 8, 8)));
    standing.showFrames();
    EXPECT_EQ(prompts->messages().size(), 1);
    EXPECT_EQ(slotColour(standing, 0), qRgb(9, 9, 9));   // before it: new
    EXPECT_EQ(slotColour(standing, 3), frameColour(3));  // after it: as last shown
    // a picked file that cannot be read leaves its slot as it was
    QFile::resize(file(slotFile(standing, 2)), 0);
    prompts->answerText(file(slotFile(standing, 2)));
    click(standing, 1);
    EXPECT_EQ(prompts->messages().size(), 2);
    EXPECT_EQ(slotColour(standing, 1), frameColour(1));
}

TEST_F(EditorTest, ItemsAndNewSpellsStoreInTheirRecordFolders) {
    addRecord(data.cdsItens, "Elixir");
    TFormI item{ws};
    item.showFrames();
    EXPECT_TRUE(item.OK());
    EXPECT_EQ(QDir(file("Imagens/Elixir")).entryList(QDir::Files),
              QStringList({"ItAni1.bmp", "ItAni2.bmp", "ItAni3.bmp", "ItAni4.bmp", "ItAni5.bmp"}));
    // a spell as the database window makes it: frame names and a record folder
    addRecord(data.cdsMagias, "Raio");
    for (int i = 1; i <= 5; ++i)
        setField(data.cdsMagias, "Anim" + std::to_string(i), "MgAni" + std::to_string(i) + ".bmp");
    TFormMA spell{ws};
    prompts->answerText(outside("raio.bmp", frameImage(qRgb(255, 255, 0))));
    spell.showFrames();
    click(spell, 4);
    EXPECT_TRUE(spell.OK());
    EXPECT_EQ(storedColour("Imagens/Raio/MgAni5.bmp"), qRgb(255, 255, 0));
    EXPECT_EQ(storedColour("Imagens/Raio/MgAni1.bmp"), kPlaceholder);
    EXPECT_TRUE(prompts->messages().isEmpty());
}

TEST_F(EditorTest, TheWalkingFramesStandInFourColumnsAndOnlyOkOrCancelClose) {
    TForm3 walking{ws};
    walking.showFrames();
    walking.show();
    QApplication::processEvents();
    EXPECT_FALSE(walking.windowFlags() & Qt::WindowCloseButtonHint);
    // Down | Left | Right | Up across, frames 1 to 3 downwards
    auto at = [&](int slot) { return walking.slot(slot)->mapTo(&walking, QPoint()); };
    EXPECT_LT(at(0).x(), at(3).x());
    EXPECT_LT(at(3).x(), at(6).x());
    EXPECT_EQ(at(3).x(), at(5).x());
    EXPECT_LT(at(3).y(), at(4).y());
    for (int i = 0; i < walking.slotCount(); ++i)
        EXPECT_TRUE(walking.rect().contains(QRect(at(i), walking.slot(i)->size()))) << i;
    QTest::keyClick(&walking, Qt::Key_Escape);  // as Cancel: nothing stored
    EXPECT_FALSE(walking.isVisible());
    EXPECT_EQ(data.cdsPersonagem.state(), RecordTable::State::Browse);
}

TEST_F(EditorTest, NoEmptyBandLiesBetweenTheSlotsAndTheButtons) {
    for (const EditorLayout& l : editorLayouts()) {
        SCOPED_TRACE(l.unit);
        TFrameSetEditor e(ws, l);
        e.show();
        QApplication::processEvents();
        const QGroupBox* lastGroup = e.group(int(l.groups.size()) - 1);
        const int gap = e.okButton()->geometry().top() - lastGroup->geometry().bottom();
        EXPECT_LT(gap, 24);
        EXPECT_GE(e.width(), l.outerSize.width() - 8);
        e.hide();
    }
}

TEST_F(EditorTest, ASpriteSheetIsCutIntoTheTwelveWalkingFramesWrittenAtOk) {
    TForm3 walking{ws};
    writeSlots(walking);
    walking.showFrames();
    // 3 columns x 4 rows of 40 x 40, rows down, left, right, up; every cell its own
    // colour and a mark in its top-left corner so that a shifted cut shows
    QImage sheet(120, 160, QImage::Format_RGB32);
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 3; ++column) {
            const QRgb colour = qRgb(40 + 60 * column, 30 + 50 * row, 200 - 40 * row);
            for (int y = 0; y < 40; ++y)
                for (int x = 0; x < 40; ++x)
                    sheet.setPixel(column * 40 + x, row * 40 + y, x < 3 && y < 3 ? qRgb(0, 0, 0) : colour);
        }
    prompts->answerText(outside("folha.png", sheet));
    ASSERT_NE(walking.sheetButton(), nullptr);
    QTest::mouseClick(walking.sheetButton(), Qt::LeftButton);
    EXPECT_TRUE(prompts->messages().isEmpty());
    EXPECT_TRUE(walking.OK());
    const char* rows[] = {"Down", "Left", "Right", "Up"};
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 3; ++column) {
            const std::string field = "AnAndando0" + std::to_string(column + 1) + rows[row];
            SCOPED_TRACE(field);
            const QImage stored(file(heroFrame(field)));
            ASSERT_EQ(stored.size(), QSize(40, 40));
            EXPECT_EQ(stored.pixel(20, 20) | 0xff000000u, sheet.pixel(column * 40 + 20, row * 40 + 20));
            EXPECT_EQ(stored.pixel(1, 1) | 0xff000000u, qRgb(0, 0, 0));
            EXPECT_EQ(stored.pixel(39, 39) | 0xff000000u, sheet.pixel(column * 40 + 39, row * 40 + 39));
        }
    // a picture that is no 3 x 4 sheet is refused and the slots keep their pictures
    TForm3 again{ws};
    again.showFrames();
    const QRgb before = slotColour(again, 0);
    prompts->clear();
    prompts->answerText(outside("torta.png", QImage(100, 160, QImage::Format_RGB32))).answer(Answer::Ok);
    again.pickSheet();
    ASSERT_EQ(prompts->messages().size(), 1);
    EXPECT_TRUE(prompts->messages()[0].contains("100 x 160"));
    EXPECT_EQ(slotColour(again, 0), before);
    // the other editors have no sheet button
    TFormE dying{ws};
    EXPECT_EQ(dying.sheetButton(), nullptr);
}
