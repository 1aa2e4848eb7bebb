// The dialogue dialog: the face picture it brings into the project and the command it appends.
#include "EventWindows.h"

#include "model/core/Files.h"
#include "ui/events/uEvPictureBox.h"

#include <QFile>

using namespace quillmark;
using qmtest::ModalDriver;

using DialogueDialogTest = qmtest::EventWindows;

TEST_F(DialogueDialogTest, LooksAsTheEditorShowsIt) {
    EXPECT_EQ(dle.windowTitle(), "Editor de Eventos - Mostrar Dialogo");
    EXPECT_FALSE(dle.windowFlags() & Qt::WindowCloseButtonHint);
    QStringList groups;
    for (QGroupBox* g : dle.findChildren<QGroupBox*>()) groups << g->title();
    EXPECT_EQ(groups, QStringList({"Face", "Texto"}));
    EXPECT_EQ(dle.face()->contentsRect().size(), QSize(80, 80));
    EXPECT_EQ(dle.memo()->font().family(), "Arial");
    EXPECT_EQ(dle.okButton()->text(), "OK");
    EXPECT_EQ(dle.cancelButton()->text(), "Cancel");
}

TEST_F(DialogueDialogTest, AFacePickedElsewhereLandsInTheProjectUnderTheChosenName) {
    qmtest::TempDir elsewhere;
    const QString png = elsewhere.file("retrato do sabio.png");
    ASSERT_TRUE(qmtest::filledImage(qRgb(200, 40, 40), 80).save(png));
    prompts->answerText(png);                                  // the picture dialog
    prompts->answerText(elsewhere.file("outra pasta/Sabio"));  // the save dialog: only the bare name counts
    ModalDriver driver;
    driver.when<TForm6>([&](TForm6*) { choose("Dialogo Normal"); });
    driver.when<TFormDLE>([&](TFormDLE* d) {
        QTest::mouseClick(d->face(), Qt::LeftButton);
        EXPECT_EQ(d->face()->picture().image().pixel(10, 10), qRgb(200, 40, 40));
        typeInto(d->memo(), QString::fromUtf8("Olá, viajante."));
        click(d->okButton());
    });
    driver.when<TForm6>([&](TForm6* f) { f->close(); });
    result = ws.session().links().eventScript("OnActionPress>");
    EXPECT_TRUE(driver.done());

    ASSERT_EQ(prompts->asked().size(), 2u);
    EXPECT_EQ(prompts->asked()[1].kind, "savePicture");
    // the save dialog starts in the project's "Imagens\" offering the picked file's bare name
    EXPECT_EQ(prompts->asked()[1].text, project.path() + "Imagens/retrato do sabio.png");
    const QString saved = project.path() + "Imagens/Sabio.bmp";
    ASSERT_TRUE(QFile::exists(saved));
    EXPECT_EQ(readFile(saved).left(2), "BM");  // converted to a bitmap
    EXPECT_EQ(Picture::fromFile(saved).image().pixel(40, 40), qRgb(200, 40, 40));
    EXPECT_FALSE(QFile::exists(elsewhere.file("outra pasta/Sabio.bmp")));
    EXPECT_EQ(result, "OnActionPress>ShowDialog:Sabio.bmp|Ol\xE1, viajante.&");
}

TEST_F(DialogueDialogTest, CancellingTheSaveDialogKeepsTheOfferedNameAndTheNextUseKeepsEverything) {
    qmtest::TempDir elsewhere;
    const QString bmp = elsewhere.file("Guarda.bmp");
    Picture(qmtest::filledImage(qRgb(0, 0, 250), 60)).SaveToFile(bmp);
    prompts->answerText(bmp).answerNothing();  // picked, then the save dialog cancelled
    prompts->answerNothing();                  // the second OK: save dialog cancelled again
    QString keptText;
    QRgb keptColour = 0;
    ModalDriver driver;
    driver.when<TForm6>([&](TForm6*) { choose("Dialogo Normal"); });
    driver.when<TFormDLE>([&](TFormDLE* d) {
        QTest::mouseClick(d->face(), Qt::LeftButton);
        typeInto(d->memo(), "Alto!");
        click(d->okButton());
    });
    driver.when<TForm6>([&](TForm6*) { choose("Dialogo Normal"); });
    driver.when<TFormDLE>([&](TFormDLE* d) {
        keptText = d->memo()->toPlainText();
        keptColour = d->face()->picture().image().pixel(1, 1);
        click(d->okButton());
    });
    driver.when<TForm6>([&](TForm6* f) { f->close(); });
    result = ws.session().links().eventScript("OnPlayerTouch>");
    EXPECT_TRUE(driver.done());
    EXPECT_EQ(keptText, "Alto!");
    EXPECT_EQ(keptColour, qRgb(0, 0, 250));
    EXPECT_TRUE(QFile::exists(project.path() + "Imagens/Guarda.bmp"));
    EXPECT_EQ(result, "OnPlayerTouch>ShowDialog:Guarda.bmp|Alto!&ShowDialog:Guarda.bmp|Alto!&");
}

TEST_F(DialogueDialogTest, WithoutAFaceTheCommandHoldsAnEmptyNameAndNothingIsWritten) {
    prompts->answerNothing();
    const QStringList before = QDir(project.path() + "Imagens").entryList(QDir::Files);
    ModalDriver driver;
    driver.when<TForm6>([&](TForm6*) { choose("Dialogo Normal"); });
    driver.when<TFormDLE>([&](TFormDLE* d) {
        typeInto(d->memo(), "Sem rosto");
        click(d->okButton());
    });
    driver.when<TForm6>([&](TForm6* f) { f->close(); });
    result = ws.session().links().eventScript("OnActionPress>");
    EXPECT_EQ(prompts->asked()[0].text, project.path() + "Imagens/");
    EXPECT_EQ(QDir(project.path() + "Imagens").entryList(QDir::Files), before);
    EXPECT_EQ(result, "OnActionPress>ShowDialog:|Sem rosto&");
}

TEST_F(DialogueDialogTest, APictureThatCannotBeLoadedIsReportedAndChangesNothing) {
    qmtest::TempDir elsewhere;
    elsewhere.write("quebrada.bmp", "not a picture");
    prompts->answerText(elsewhere.file("quebrada.bmp"));
    ModalDriver driver;
    driver.when<TForm6>([&](TForm6*) { choose("Dialogo Normal"); });
    driver.when<TFormDLE>([&](TFormDLE* d) {
        QTest::mouseClick(d->face(), Qt::LeftButton);
        EXPECT_TRUE(d->face()->picture().isEmpty());
        EXPECT_EQ(d->pickedFile(), "");
        EXPECT_TRUE(d->isVisible());
        click(d->cancelButton());
    });
    driver.when<TForm6>([&](TForm6* f) { f->close(); });
    result = ws.session().links().eventScript("OnActionPress>");
    EXPECT_EQ(prompts->messages(), QStringList({"Bitmap image is not valid."}));
    EXPECT_EQ(result, "");
}
