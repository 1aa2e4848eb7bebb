// The message dialog: the command it appends and the text it keeps.
#include "EventWindows.h"

using namespace quillmark;
using qmtest::ModalDriver;

using MessageDialogTest = qmtest::EventWindows;

TEST_F(MessageDialogTest, LooksAsTheEditorShowsIt) {
    EXPECT_EQ(msg.windowTitle(), "Editor de Eventos - Mostrar Mensagem");
    EXPECT_EQ(msg.findChild<QGroupBox*>()->title(), "Texto");
    EXPECT_EQ(msg.memo()->font().family(), "Arial");
    EXPECT_TRUE(msg.memo()->font().bold() && msg.memo()->font().italic());
    EXPECT_EQ(msg.memo()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(msg.okButton()->text(), "OK");
    EXPECT_EQ(msg.cancelButton()->text(), "Cancel");
}

TEST_F(MessageDialogTest, ATwoLineMessageIsAppendedAndTheNextMessageShowsTheSameText) {
    QString shownSecondTime;
    ModalDriver driver;
    driver.when<TForm6>([&](TForm6*) { choose("Mensagem"); });
    driver.when<TFormMSG>([&](TFormMSG* m) {
        typeInto(m->memo(), QString::fromUtf8("Bem-vindo à vila!\nBoa sorte."));
        click(m->okButton());
    });
    driver.when<TForm6>([&](TForm6*) { choose("Mensagem"); });
    driver.when<TFormMSG>([&](TFormMSG* m) {
        shownSecondTime = m->memo()->toPlainText();
        click(m->cancelButton());
    });
    driver.when<TForm6>([&](TForm6* f) {
        EXPECT_EQ(f->scriptText(), QString::fromUtf8("OnActionPress>\nShowMessage:Bem-vindo à vila!\nBoa sorte.&"));
        f->close();
    });
    result = ws.session().links().eventScript("OnActionPress>");
    EXPECT_TRUE(driver.done());
    EXPECT_EQ(shownSecondTime, QString::fromUtf8("Bem-vindo à vila!\nBoa sorte."));
    EXPECT_EQ(result, "OnActionPress>ShowMessage:Bem-vindo \xE0 vila!Boa sorte.&");
}
