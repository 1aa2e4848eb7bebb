// The character dialog: opening a new or an existing character, saving its
// fourteen files, and the object event it hands to the script window.
#include "EventWindows.h"

#include "model/core/Files.h"
#include "model/events/Character.h"
#include "ui/events/uEvPictureBox.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QThread>

using namespace quillmark;
using qmtest::ModalDriver;

namespace {

struct CharacterDialogTest : qmtest::EventWindows {
    // A character on disk whose every picture has its own colour.
    void makeCharacter(const std::string& name, const std::vector<std::string>& script) {
        Character c;
        c.name = name;
        for (int i = 0; i < kCharacterPictureCount; ++i)
            c.pictures[i] = Picture(qmtest::filledImage(qRgb(20 * i, 150, 90), 48));
        c.script = script;
        saveCharacter(project.path(), c);
    }
    QString file(const QString& name, std::string_view f) const {
        return project.path() + "Imagens/" + name + "/" + QString::fromLatin1(f.data(), qsizetype(f.size()));
    }
    static QRgb colourOf(TFormNC* d, int i) { return d->pictureBox(i)->picture().image().pixel(2, 2); }
    // Runs the script window for a text, opening "Adicionar Personagem" and
    // handing the dialog to `inside`; the script window is closed afterwards.
    void withDialog(const std::string& stored, std::function<void(TFormNC*)> inside) {
        ModalDriver driver;
        driver.when<TForm6>([&](TForm6*) { choose("Adicionar Personagem"); });
        driver.when<TFormNC>(inside);
        driver.when<TForm6>([&](TForm6* f) { f->close(); });
        form6.loadStoredEvent(stored);
        form6.setMenus(false, true);
        result = form6.showScript();
        EXPECT_TRUE(driver.done());
    }
};

}  // namespace

TEST_F(CharacterDialogTest, LooksAsTheEditorShowsIt) {
    EXPECT_EQ(nc.windowTitle(), "Novo Personagem");
    EXPECT_FALSE(nc.windowFlags() & Qt::WindowCloseButtonHint);
    QStringList groups;
    for (QGroupBox* g : nc.findChildren<QGroupBox*>()) groups << g->title();
    EXPECT_EQ(groups, QStringList({QString::fromUtf8("Animação do Personagem Andando"), "Personagem"}));
    QStringList labels;
    for (QLabel* l : nc.findChildren<QLabel*>()) labels << l->text();
    for (const char* caption : {"Down", "Left", "Right", "Up", "Nome:", "Speed:", "Evento:"})
        EXPECT_TRUE(labels.contains(caption)) << caption;
    for (int i = 0; i < 12; ++i) EXPECT_EQ(nc.pictureBox(i)->contentsRect().size(), QSize(65, 65)) << i;
    // the frames stand in a grid: four directions across, frames 1 to 3 down
    nc.show();
    QApplication::processEvents();
    EXPECT_LT(nc.pictureBox(characterFrameIndex(0, 0))->x(), nc.pictureBox(characterFrameIndex(1, 0))->x());
    EXPECT_LT(nc.pictureBox(characterFrameIndex(0, 0))->y(), nc.pictureBox(characterFrameIndex(0, 1))->y());
    EXPECT_EQ(nc.pictureBox(characterFrameIndex(3, 2))->x(), nc.pictureBox(characterFrameIndex(3, 0))->x());
    nc.hide();
    EXPECT_EQ(nc.eventMemo()->font().family(), "Arial");
    EXPECT_EQ(nc.okButton()->text(), "OK");
    EXPECT_EQ(nc.cancelButton()->text(), "Cancel");
}

TEST_F(CharacterDialogTest, ANewCharacterStartsWithEmptyBoxesAndThirteenNullPictures) {
    // whatever a previous use left behind is gone
    nc.nameEdit()->setText("Antigo");
    nc.speedEdit()->setText("9");
    nc.eventMemo()->setPlainText("OnActionPress>");
    withDialog("", [&](TFormNC* d) {
        EXPECT_EQ(d->nameEdit()->text(), "");
        EXPECT_EQ(d->speedEdit()->text(), "");
        EXPECT_EQ(d->eventMemo()->toPlainText(), "");
        for (int i = 0; i < kCharacterPictureCount; ++i) EXPECT_EQ(colourOf(d, i), qmtest::kNullColour) << i;
        EXPECT_TRUE(d->pictureBox(0)->picture().transparent());
        EXPECT_FALSE(d->pictureBox(kCharacterFaceIndex)->picture().transparent());
        click(d->cancelButton());
    });
    EXPECT_EQ(result, "");
    EXPECT_EQ(QDir(project.path() + "Imagens").entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList());
}

TEST_F(CharacterDialogTest, ANewCharacterWithAnEmptySpeedIsWrittenAndPlaced) {
    qmtest::TempDir elsewhere;
    ASSERT_TRUE(qmtest::filledImage(qRgb(250, 200, 0), 65).save(elsewhere.file("passo.png")));
    prompts->answerText(elsewhere.file("passo.png"));
    withDialog("", [&](TFormNC* d) {
        QTest::mouseClick(d->pictureBox(characterFrameIndex(2, 1)), Qt::LeftButton);  // right, frame 2
        EXPECT_EQ(colourOf(d, 7), qRgb(250, 200, 0));
        QTest::keyClicks(d->nameEdit(), "Ferreiro");
        typeInto(d->eventMemo(), "OnActionPress>\nShowMessage:Bom dia!&");
        click(d->okButton());
    });
    EXPECT_EQ(result, "AddChar:Ferreiro|");
    EXPECT_EQ(QDir(project.path() + "Imagens/Ferreiro").entryList(QDir::Files).size(), 14);
    EXPECT_EQ(Picture::fromFile(file("Ferreiro", "CharRight02.bmp")).image().pixel(3, 3), qRgb(250, 200, 0));
    EXPECT_EQ(readFile(file("Ferreiro", "CharRight02.bmp")).left(2), "BM");
    EXPECT_EQ(Picture::fromFile(file("Ferreiro", "CharUp03.bmp")).image().pixel(3, 3), qmtest::kNullColour);
    EXPECT_EQ(readFile(file("Ferreiro", "Evento.dat")), "OnActionPress>\r\nShowMessage:Bom dia!&\r\n");
    EXPECT_TRUE(prompts->messages().isEmpty());  // a new folder: no question
}

TEST_F(CharacterDialogTest, AnExistingCharacterIsShownAndRewrittenOnlyAfterTheQuestion) {
    makeCharacter("Bob", {"OnActionPress>", "ShowMessage:Oi&"});
    QFile::remove(file("Bob", "CharLeft03.bmp"));  // a missing frame shows the null picture
    for (std::string_view f : kCharacterPictureFiles) qmtest::ageFile(file("Bob", f));
    qmtest::ageFile(file("Bob", "Evento.dat"));
    const QDateTime written = QFileInfo(file("Bob", "CharDown01.bmp")).lastModified();
    prompts->answer(Answer::No).answer(Answer::Yes);
    bool stayedOpen = false;
    withDialog("AddChar:Bob|4", [&](TFormNC* d) {
        EXPECT_EQ(d->nameEdit()->text(), "Bob");
        EXPECT_EQ(d->speedEdit()->text(), "4");
        EXPECT_EQ(d->eventMemo()->toPlainText(), "OnActionPress>\nShowMessage:Oi&");
        EXPECT_EQ(colourOf(d, 0), qRgb(0, 150, 90));
        EXPECT_EQ(colourOf(d, kCharacterFaceIndex), qRgb(240, 150, 90));
        EXPECT_EQ(colourOf(d, 5), qmtest::kNullColour);
        d->speedEdit()->setText("6");
        click(d->okButton());  // No: nothing written, the dialog stays
        stayedOpen = d->isVisible();
        EXPECT_EQ(QFileInfo(file("Bob", "CharDown01.bmp")).lastModified(), written);
        EXPECT_FALSE(QFile::exists(file("Bob", "CharLeft03.bmp")));
        click(d->okButton());  // Yes
    });
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(prompts->messages(),
              QStringList({QString::fromUtf8("O Personagem já Existe, Desejá Salvar as Alterações?"),
                           QString::fromUtf8("O Personagem já Existe, Desejá Salvar as Alterações?")}));
    EXPECT_EQ(prompts->asked()[0].title, QString::fromUtf8("Confirmação"));
    EXPECT_EQ(prompts->asked()[0].buttons, Buttons::YesNo);
    // all fourteen files rewritten, the missing frame as the null picture
    for (std::string_view f : kCharacterPictureFiles) EXPECT_GT(QFileInfo(file("Bob", f)).lastModified(), written) << f;
    EXPECT_GT(QFileInfo(file("Bob", "Evento.dat")).lastModified(), written);
    EXPECT_EQ(Picture::fromFile(file("Bob", "CharLeft03.bmp")).image().pixel(1, 1), qmtest::kNullColour);
    EXPECT_EQ(result, "AddChar:Bob|6");
}

TEST_F(CharacterDialogTest, RenamingCreatesANewFolderAndLeavesTheOldOne) {
    makeCharacter("Bob", {"PararChuva:"});
    withDialog("AddChar:Bob|2", [&](TFormNC* d) {
        d->nameEdit()->setText("Roberto");
        click(d->okButton());
    });
    EXPECT_TRUE(prompts->messages().isEmpty());
    EXPECT_EQ(QDir(project.path() + "Imagens/Bob").entryList(QDir::Files).size(), 14);
    EXPECT_EQ(QDir(project.path() + "Imagens/Roberto").entryList(QDir::Files).size(), 14);
    EXPECT_EQ(Picture::fromFile(file("Roberto", "CharUp01.bmp")).image().pixel(1, 1), qRgb(180, 150, 90));
    EXPECT_EQ(readFile(file("Roberto", "Evento.dat")), "PararChuva:\r\n");
    EXPECT_EQ(result, "AddChar:Roberto|2");
}

TEST_F(CharacterDialogTest, NamesThatCannotBeFoldersAreRefusedWithAClearMessage) {
    bool stayedOpen = true;
    withDialog("", [&](TFormNC* d) {
        for (const char* name : {"", "   ", "a/b", "..", "Bob?", "NUL"}) {
            d->nameEdit()->setText(name);
            click(d->okButton());
            stayedOpen = stayedOpen && d->isVisible();
        }
        d->nameEdit()->setText(QString::fromUtf8("Ele \u4e2d"));
        click(d->okButton());
        stayedOpen = stayedOpen && d->isVisible();
        click(d->cancelButton());
    });
    EXPECT_TRUE(stayedOpen);
    const QStringList messages = prompts->messages();
    ASSERT_EQ(messages.size(), 7);
    EXPECT_EQ(messages[0], "Digite o nome do personagem.");
    EXPECT_EQ(messages[1], "Digite o nome do personagem.");  // blanks only
    EXPECT_TRUE(messages[2].contains("\\ / : * ? \" < > |"));
    for (const qmtest::Asked& a : prompts->asked()) EXPECT_EQ(a.title, "Quillmark");
    EXPECT_EQ(QDir(project.path() + "Imagens").entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList());
    EXPECT_EQ(result, "");
}

TEST_F(CharacterDialogTest, ACellNamingAFolderOutsideImagensOpensNothingFromThere) {
    // A character's files moved out of "Imagens\", and events that reach them.
    makeCharacter("Bob", {"PararChuva:"});
    ASSERT_TRUE(QDir().rename(project.path() + "Imagens/Bob", project.path() + "Bob"));
    for (const char* stored : {"AddChar:../Bob|2", "AddChar:..\\Bob|2", "AddChar:..|2"}) {
        prompts->clear();
        ModalDriver driver;
        driver.when<TForm6>([&](TForm6* f) {
            choose("Adicionar Personagem");
            f->close();
        });
        form6.loadStoredEvent(stored);
        form6.setMenus(false, true);
        result = form6.showScript();
        EXPECT_TRUE(driver.done()) << stored;
        ASSERT_EQ(prompts->messages().size(), 1) << stored;
        EXPECT_TRUE(prompts->messages()[0].contains("personagem")) << prompts->messages()[0].toStdString();
        EXPECT_FALSE(nc.isVisible());
        EXPECT_EQ(result, stored) << "the text is handed back as it was";
    }
    EXPECT_EQ(QDir(project.path() + "Bob").entryList(QDir::Files).size(), 14);
    EXPECT_FALSE(QDir(project.path() + "Imagens/Bob").exists());
}

TEST_F(CharacterDialogTest, OpeningAndSavingWithoutAChangeKeepsTheScriptFileByteForByte) {
    // Empty lines at the end (and in the middle) are part of the script.
    for (const QByteArray& bytes :
         {QByteArray("OnActionPress>\r\nShowMessage:Oi&\r\n\r\n"), QByteArray("ShowMessage:Oi&\r\n\r\n\r\n\r\n"),
          QByteArray("\r\n"), QByteArray("A\r\n\r\nB\r\n")}) {
        makeCharacter("Eva", {});
        QFile f(file("Eva", "Evento.dat"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        prompts->answer(Answer::Yes);
        withDialog("AddChar:Eva|1", [&](TFormNC* d) { click(d->okButton()); });
        EXPECT_EQ(readFile(file("Eva", "Evento.dat")), bytes);
    }
}

TEST_F(CharacterDialogTest, TheDialogueIsWrittenThroughTheDialogueDialogWithTheCharactersFace) {
    Picture(qmtest::filledImage(qRgb(200, 10, 10), 48)).SaveToFile(project.path() + "rosto.bmp");
    prompts->answerText(project.path() + "rosto.bmp");  // the character's face
    prompts->answerNothing();                           // the dialogue's save dialog: the offered name stays
    ModalDriver driver;
    driver.when<TForm6>([&](TForm6*) { choose("Adicionar Personagem"); });
    driver.when<TFormNC>([&](TFormNC* d) {
        d->nameEdit()->setText("Ana");
        d->speedEdit()->setText("2");
        d->PickPicture(kCharacterFaceIndex);
        click(d->dialogueButton());
    });
    driver.when<TFormDLE>([&](TFormDLE* dle) {
        EXPECT_EQ(dle->face()->picture().image().pixel(2, 2), qRgb(200, 10, 10));  // offered first
        typeInto(dle->memo(), "Bom dia!");
        click(dle->okButton());
    });
    QString evento;
    driver.when<TFormNC>([&](TFormNC* d) {
        evento = d->eventMemo()->toPlainText();
        click(d->okButton());
    });
    driver.when<TForm6>([&](TForm6* f) {
        EXPECT_EQ(f->scriptText(), "AddChar:Ana|2");  // the script window's own text is the character
        f->close();
    });
    form6.setScriptText(QString());
    form6.setMenus(false, true);
    result = form6.showScript();
    EXPECT_TRUE(driver.done());
    EXPECT_EQ(evento, "ShowDialog:AnaFace.bmp|Bom dia!&");
    EXPECT_EQ(readFile(file("Ana", "Evento.dat")), QByteArray("ShowDialog:AnaFace.bmp|Bom dia!&\r\n"));
    EXPECT_EQ(Picture::fromFile(project.path() + "Imagens/AnaFace.bmp").image().pixel(2, 2), qRgb(200, 10, 10));
    EXPECT_EQ(result, "AddChar:Ana|2");

    // without a name there is no file name for the face yet
    ModalDriver again;
    again.when<TForm6>([&](TForm6*) { choose("Adicionar Personagem"); });
    again.when<TFormNC>([&](TFormNC* d) {
        click(d->dialogueButton());
        click(d->cancelButton());
    });
    again.when<TForm6>([&](TForm6* f) { f->close(); });
    form6.setScriptText(QString());
    result = form6.showScript();
    EXPECT_TRUE(again.done());
    EXPECT_TRUE(prompts->messages().last().startsWith("Digite o nome do personagem"))
        << prompts->messages().join('\n').toStdString();
}

TEST_F(CharacterDialogTest, ASpriteSheetIsCutIntoTheTwelveFrameFiles) {
    // 3 columns x 4 rows of 40 x 40 frames, rows down, left, right, up; every
    // pixel differs from its neighbours and every cell from the others
    QImage sheet(120, 160, QImage::Format_RGB32);
    for (int y = 0; y < 160; ++y)
        for (int x = 0; x < 120; ++x) sheet.setPixel(x, y, qRgb(x * 2, y, (x / 40) * 60 + (y / 40) * 15));
    qmtest::TempDir elsewhere;
    ASSERT_TRUE(sheet.save(elsewhere.file("folha.png")));
    QImage wrong(100, 160, QImage::Format_RGB32);
    wrong.fill(Qt::red);
    ASSERT_TRUE(wrong.save(elsewhere.file("torta.png")));
    prompts->answerText(elsewhere.file("torta.png")).answer(Answer::Ok).answerText(elsewhere.file("folha.png"));
    withDialog("", [&](TFormNC* d) {
        // a sheet that does not divide into 3 x 4 equal frames changes nothing
        click(d->sheetButton());
        ASSERT_EQ(prompts->messages().size(), 1);
        EXPECT_TRUE(prompts->messages()[0].contains("100 x 160")) << prompts->messages()[0].toStdString();
        EXPECT_EQ(colourOf(d, 0), qmtest::kNullColour);
        click(d->sheetButton());
        EXPECT_EQ(colourOf(d, kCharacterFaceIndex), qmtest::kNullColour);  // the face is no part of the sheet
        QTest::keyClicks(d->nameEdit(), "Viajante");
        click(d->okButton());
    });
    EXPECT_EQ(result, "AddChar:Viajante|");
    EXPECT_TRUE(prompts->allAnswersUsed());
    const char* const directions[] = {"Down", "Left", "Right", "Up"};
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 3; ++column) {
            const QString name = QStringLiteral("Char%1%2.bmp").arg(directions[row]).arg(column + 1, 2, 10, QChar('0'));
            const QString path = project.path() + "Imagens/Viajante/" + name;
            EXPECT_EQ(readFile(path).left(2), "BM") << name.toStdString();
            const QImage frame = QImage(path).convertToFormat(QImage::Format_RGB32);
            EXPECT_EQ(frame, sheet.copy(column * 40, row * 40, 40, 40)) << name.toStdString();
        }
    EXPECT_EQ(Picture::fromFile(file("Viajante", "CharFace.bmp")).image().pixel(3, 3), qmtest::kNullColour);
}
