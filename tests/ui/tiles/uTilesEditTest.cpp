// "Tiles Edit", opened from the page as a user opens it: its controls, picking
// a bitmap, what "OK" writes and posts, what "Cancel" and the close box leave
// alone, and failures that keep the dialog open with nothing changed.
#include "TilesWindows.h"

#include <QDir>
#include <QGroupBox>
#include <QLabel>

using namespace quillmark;
using qmtest::containsImage;
using qmtest::fileImage;
using qmtest::grabbed;
using qmtest::ModalDriver;
using qmtest::rgb;

namespace {

class TilesEditTest : public qmtest::TilesWindowTest {
protected:
    // Opens "Tiles Edit" on `code` through the page and runs `steps` in it.
    void editTile(unsigned char code, std::function<void(TFormTi*)> steps) {
        ModalDriver driver;
        driver.when<TFormTi>(std::move(steps));
        page.ShowEdit(code);
        EXPECT_TRUE(driver.done());
    }
    static void toggleTransparent(TTileDialog* dialog) {
        QCheckBox* check = dialog->transparentCheck();
        QTest::mouseClick(check, Qt::LeftButton, Qt::NoModifier, QPoint(8, check->height() / 2));
    }
    void expectNoMessages() {
        EXPECT_TRUE(prompts->messages().isEmpty()) << prompts->messages().join('|').toStdString();
    }
};

TEST_F(TilesEditTest, OneBoxInImagemTheCheckBoxAndTwoButtonsWithOnlyACloseBox) {
    editTile('0', [](TFormTi* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "Tiles Edit");
        const Qt::WindowFlags flags = dialog->windowFlags();
        EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
        EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
        EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
        EXPECT_FALSE(flags & Qt::WindowContextHelpButtonHint);
        ASSERT_EQ(dialog->pictureCount(), 1);
        auto* group = qobject_cast<QGroupBox*>(dialog->pictureBox(0)->parentWidget());
        ASSERT_NE(group, nullptr);
        EXPECT_EQ(group->title(), "Imagem");
        EXPECT_EQ(dialog->pictureBox(0)->size(), QSize(87, 84));
        EXPECT_EQ(dialog->transparentCheck()->text(), "Transparente");
        EXPECT_EQ(dialog->okButton()->text(), "OK");
        EXPECT_EQ(dialog->cancelButton()->text(), "Cancel");
        // the window says how a picture is chosen
        auto* hint = dialog->findChild<QLabel*>("LabelDica");
        ASSERT_NE(hint, nullptr);
        EXPECT_EQ(hint->text(), "Clique na imagem para escolher um arquivo");
        EXPECT_TRUE(hint->isVisible());
        dialog->close();
    });
}

TEST_F(TilesEditTest, APickedBitmapReplacesThePictureAndOkWritesItUnderTheTilesName) {
    const QString water = image("Agua.bmp");
    prompts->answerText(water);
    editTile('0', [this, water](TFormTi* dialog) {
        EXPECT_EQ(rgb(dialog->pictureBox(0)->picture()), fileImage(image("Grama.bmp")));
        QTest::mouseClick(dialog->pictureBox(0), Qt::LeftButton);
        EXPECT_EQ(rgb(dialog->pictureBox(0)->picture()), fileImage(water));
        EXPECT_TRUE(containsImage(grabbed(dialog->pictureBox(0)), fileImage(water)));
        QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
    });
    ASSERT_EQ(prompts->asked().size(), 1u);
    EXPECT_EQ(prompts->asked()[0].kind, "openFile");
    EXPECT_EQ(prompts->asked()[0].text, "Bitmaps (*.bmp)|*.bmp");
    EXPECT_EQ(fileImage(image("Grama.bmp")), fileImage(water));
    EXPECT_EQ(field('0', "File"), "Grama.bmp");  // the tile keeps its file name
    EXPECT_EQ(rgb(cached('0')), fileImage(water));
    EXPECT_EQ(rgb(page.button(0)->picture()), fileImage(water));
    expectNoMessages();
}

TEST_F(TilesEditTest, ACancelledOrUnreadablePictureLeavesTheBoxAsItWas) {
    project.dir.write("Imagens/Quebrada.bmp", "this is no bitmap");
    prompts->answerNothing().answerText(image("Quebrada.bmp"));
    editTile('0', [this](TFormTi* dialog) {
        const QImage before = rgb(dialog->pictureBox(0)->picture());
        QTest::mouseClick(dialog->pictureBox(0), Qt::LeftButton);  // cancelled
        EXPECT_EQ(rgb(dialog->pictureBox(0)->picture()), before);
        QTest::mouseClick(dialog->pictureBox(0), Qt::LeftButton);  // not a picture
        EXPECT_EQ(rgb(dialog->pictureBox(0)->picture()), before);
        EXPECT_EQ(prompts->messages(), QStringList{"Bitmap image is not valid."});
        EXPECT_TRUE(dialog->isVisible());
        QTest::mouseClick(dialog->cancelButton(), Qt::LeftButton);
    });
    ASSERT_FALSE(prompts->asked().empty());
    EXPECT_EQ(prompts->asked().back().icon, Icon::Stop);
}

TEST_F(TilesEditTest, CancelAndTheCloseBoxChangeNoFileAndNoField) {
    const auto filesBefore = imageFiles();
    const std::vector<Record> recordsBefore = tiles().allRecords();
    for (bool closeBox : {false, true}) {
        prompts->answerText(image("Agua.bmp"));
        editTile('x', [closeBox](TFormTi* dialog) {
            QTest::mouseClick(dialog->pictureBox(0), Qt::LeftButton);
            toggleTransparent(dialog);
            if (closeBox)
                dialog->close();
            else
                QTest::mouseClick(dialog->cancelButton(), Qt::LeftButton);
        });
        EXPECT_EQ(imageFiles(), filesBefore) << closeBox;
        EXPECT_EQ(tiles().allRecords(), recordsBefore) << closeBox;
        EXPECT_FALSE(tiles().changedSinceOpen());
        EXPECT_FALSE(tiles().filtered());
        EXPECT_EQ(tiles().recNo(), 1);
    }
    // the next opening shows the tile as stored, not what was left in the dialog
    editTile('x', [this](TFormTi* dialog) {
        EXPECT_TRUE(dialog->transparentCheck()->isChecked());
        EXPECT_EQ(rgb(dialog->pictureBox(0)->picture()), fileImage(image("Arvore.bmp")));
        dialog->close();
    });
    expectNoMessages();
}

TEST_F(TilesEditTest, TickingTransparenteStoresTrueAndTheCacheDrawsItTransparent) {
    ASSERT_EQ(field('0', "Transparente"), "FALSE");
    editTile('0', [](TFormTi* dialog) {
        EXPECT_FALSE(dialog->transparentCheck()->isChecked());
        toggleTransparent(dialog);
        QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
    });
    EXPECT_EQ(field('0', "Transparente"), "TRUE");
    EXPECT_TRUE(cached('0').transparent());
    // the grass's bottom-left colour is now left out when it is drawn
    const QImage drawn = cached('0').drawImage();
    EXPECT_EQ(qAlpha(drawn.pixel(0, drawn.height() - 1)), 0);
    ws.session().tables().closeAll();
    EXPECT_NE(project.dir.read("Data/Tiles.xml").indexOf("File=\"Grama.bmp\" Cod=\"0\" Transparente=\"TRUE\""), -1);
    expectNoMessages();
}

TEST_F(TilesEditTest, TwoTilesSharingOneFileKeepTheirOwnFlags) {
    setField('y', "File", "Arvore.bmp");  // 'y' now shares the picture of 'x'
    editTile('y', [](TFormTi* dialog) {
        toggleTransparent(dialog);
        QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
    });
    EXPECT_EQ(field('y', "Transparente"), "FALSE");
    EXPECT_EQ(field('x', "Transparente"), "TRUE");
    EXPECT_TRUE(cached('x').transparent());
    EXPECT_FALSE(cached('y').transparent());
    expectNoMessages();
}

TEST_F(TilesEditTest, APictureThatCannotBeWrittenKeepsTheDialogOpenAndTheTableUnchanged) {
    ASSERT_TRUE(QFile::remove(image("Grama.bmp")));
    ASSERT_TRUE(QDir().mkdir(image("Grama.bmp")));  // the name is taken by a folder
    editTile('0', [this](TFormTi* dialog) {
        toggleTransparent(dialog);
        QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
        ASSERT_EQ(prompts->messages().size(), 1);
        EXPECT_TRUE(prompts->messages()[0].contains("Is a directory")) << prompts->messages()[0].toStdString();
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(field('0', "Transparente"), "FALSE");
        QTest::mouseClick(dialog->cancelButton(), Qt::LeftButton);
    });
    EXPECT_FALSE(tiles().changedSinceOpen());
    EXPECT_EQ(walk(), 144);
}

TEST_F(TilesEditTest, AFileNameLeavingTheImageFolderIsRefusedBeforeTheEditorOpens) {
    setField('0', "File", "..\\Data\\Tiles.xml");
    const QByteArray table = project.dir.read("Data/Tiles.xml");
    ModalDriver driver;  // no editor is expected to open
    page.ShowEdit('0');
    ASSERT_EQ(prompts->messages().size(), 1);
    EXPECT_TRUE(prompts->messages()[0].contains("Imagens")) << prompts->messages()[0].toStdString();
    EXPECT_FALSE(edit.isVisible());
    EXPECT_EQ(project.dir.read("Data/Tiles.xml"), table);
    EXPECT_FALSE(tiles().filtered());
}

}  // namespace
