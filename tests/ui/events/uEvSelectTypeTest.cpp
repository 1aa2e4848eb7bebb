// The event-type selector: how an edit of a cell without an event begins.
#include "EventWindows.h"

#include <QRadioButton>

using namespace quillmark;
using qmtest::ModalDriver;

using SelectorTest = qmtest::EventWindows;

TEST_F(SelectorTest, LooksAsTheEditorShowsIt) {
    EXPECT_EQ(sev.windowTitle(), "Editor de Eventos");
    EXPECT_FALSE(sev.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(sev.choiceButton(TFormSEV::OnActionPress)->text(), "OnActionPress");
    EXPECT_EQ(sev.choiceButton(TFormSEV::OnPlayerTouch)->text(), "OnPlayerTouch");
    EXPECT_EQ(sev.choiceButton(TFormSEV::AddObject)->text(), "Add Object");
    EXPECT_EQ(sev.choice(), TFormSEV::OnActionPress);
    EXPECT_EQ(sev.okButton()->text(), "OK");
    EXPECT_EQ(sev.cancelButton()->text(), "Cancel");
    EXPECT_TRUE(sev.findChild<QGroupBox*>() != nullptr);
    EXPECT_EQ(sev.findChild<QGroupBox*>()->title(), "Selecione o Tipo do Evento a Ser Criado:");
}

TEST_F(SelectorTest, AddObjectThenClosingStoresNoEventAndEnablesOnlyObjetos) {
    bool eventos = true, objetos = false;
    {
        ModalDriver driver;
        driver.when<TFormSEV>([&](TFormSEV* s) {
            click(s->choiceButton(TFormSEV::AddObject));
            click(s->okButton());
        });
        driver.when<TForm6>([&](TForm6* f) {
            eventos = f->eventosEnabled();
            objetos = f->objetosEnabled();
            EXPECT_EQ(f->scriptText(), "");
            f->close();
        });
        result = ws.session().links().eventSelector();
    }
    EXPECT_FALSE(eventos);
    EXPECT_TRUE(objetos);
    EXPECT_EQ(result, "");
    // the choice stays for the next use
    EXPECT_EQ(sev.choice(), TFormSEV::AddObject);
}

TEST_F(SelectorTest, OnPlayerTouchClosedAtOnceStoresNoEvent) {
    ModalDriver driver;
    driver.when<TFormSEV>([&](TFormSEV* s) {
        click(s->choiceButton(TFormSEV::OnPlayerTouch));
        click(s->okButton());
    });
    driver.when<TForm6>([&](TForm6* f) {
        EXPECT_EQ(f->scriptText(), "OnPlayerTouch>");
        EXPECT_TRUE(f->eventosEnabled());
        EXPECT_FALSE(f->objetosEnabled());
        QTest::keyClick(f->memo(), Qt::Key_Q, Qt::ControlModifier);  // "Sair"
    });
    result = ws.session().links().eventSelector();
    EXPECT_TRUE(driver.done());
    EXPECT_EQ(result, "");
    EXPECT_FALSE(form6.isVisible());
}

TEST_F(SelectorTest, OnActionPressWithACommandStoresTheMarkerAndTheCommand) {
    ModalDriver driver;
    driver.when<TFormSEV>([&](TFormSEV* s) { click(s->okButton()); });  // the first choice is selected at start
    driver.when<TForm6>([&](TForm6* f) {
        choose("Inciar Chuva");
        f->close();
    });
    result = ws.session().links().eventSelector();
    EXPECT_EQ(result, "OnActionPress>IniciaChuva:");
}

TEST_F(SelectorTest, CancelOpensNothingAndLeavesTheResultAlone) {
    form6.setScriptText("NULL");
    ModalDriver driver;
    driver.when<TFormSEV>([&](TFormSEV* s) {
        click(s->choiceButton(TFormSEV::OnPlayerTouch));
        click(s->cancelButton());
    });
    result = "not handed back";
    result = ws.session().links().eventSelector();
    EXPECT_TRUE(driver.done());
    EXPECT_EQ(result, "NULL");
    EXPECT_EQ(form6.scriptText(), "NULL");
    EXPECT_EQ(sev.choice(), TFormSEV::OnPlayerTouch);
}

TEST_F(SelectorTest, TheScriptHookWithNoEventStartsAtTheSelector) {
    ModalDriver driver;
    driver.when<TFormSEV>([&](TFormSEV* s) { click(s->cancelButton()); });
    result = "not handed back";
    result = ws.session().links().eventScript("NULL");
    EXPECT_TRUE(driver.done());
    EXPECT_EQ(result, "NULL");
}
