// A whole edit as the user makes it: a right press on a map cell, an event
// composed in the event windows, the save command, and the event found in the
// map file.
#include "ModalDriver.h"
#include "ProjectFixture.h"
#include "ScriptedPrompts.h"

#include "model/core/Files.h"
#include "model/core/MapFile.h"
#include "model/session/Workspace.h"
#include "ui/events/uEvSelectType.h"
#include "ui/events/uEvShowDialog.h"
#include "ui/events/uEvShowMessage.h"
#include "ui/events/uEventEditor.h"
#include "ui/events/uNewChar.h"
#include "ui/main/uTerreno.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace quillmark;
using qmtest::ModalDriver;

namespace {

struct EventEndToEndTest : ::testing::Test {
    qmtest::ProjectFixture project;
    qmtest::ScriptedPrompts* prompts = new qmtest::ScriptedPrompts;
    Workspace ws{std::unique_ptr<Prompts>(prompts)};
    std::unique_ptr<TMapArea> area;
    std::unique_ptr<TForm6> form6;
    std::unique_ptr<TFormNC> nc;
    std::unique_ptr<TFormDLE> dle;
    std::unique_ptr<TFormSEV> sev;
    std::unique_ptr<TFormMSG> msg;

    EventEndToEndTest() {
        ws.session().setEditorFolder(qmtest::binFolder());
        area = std::make_unique<TMapArea>(ws);
        area->resize(700, 700);
        area->show();
        // the windows in the editor's order of creation
        form6 = std::make_unique<TForm6>(ws);
        nc = std::make_unique<TFormNC>(ws, *form6);
        dle = std::make_unique<TFormDLE>(ws, *form6);
        sev = std::make_unique<TFormSEV>(ws, *form6);
        msg = std::make_unique<TFormMSG>(ws, *form6);

        MapGrid grid;
        grid.newGrid(14);
        project.addMap("Vila.xml", grid);
        ws.session().openProject(project.projectFile());
    }

    QString mapFile() const { return project.folder() + "Mapas/Vila.xml"; }
    void rightPress(int row, int column) {
        QTest::mousePress(area->canvas(), Qt::RightButton, Qt::NoModifier,
                          area->canvas()->cellRect(row, column).center());
        QTest::mouseRelease(area->canvas(), Qt::RightButton, Qt::NoModifier,
                            area->canvas()->cellRect(row, column).center());
    }
    static void click(QAbstractButton* b) {
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(std::min(8, b->width() / 2), b->height() / 2));
    }
};

}  // namespace

TEST_F(EventEndToEndTest, AnEventComposedOnACellReachesTheMapFile) {
    {
        ModalDriver driver;
        driver.when<TFormSEV>([](TFormSEV* s) { click(s->okButton()); });  // "OnActionPress"
        driver.when<TForm6>([](TForm6* f) {
            f->action("Inciar Chuva")->trigger();
            f->action("Mensagem")->trigger();
        });
        driver.when<TFormMSG>([](TFormMSG* m) {
            m->memo()->setFocus();
            QTest::keyClicks(m->memo(), "Chove na vila");
            click(m->okButton());
        });
        driver.when<TForm6>([](TForm6* f) { f->close(); });
        rightPress(2, 3);
        EXPECT_TRUE(driver.done());
    }
    EXPECT_TRUE(ws.session().modified());
    EXPECT_EQ(ws.session().grid().evento(2, 3), "OnActionPress>IniciaChuva:ShowMessage:Chove na vila&");

    // a character on another cell
    {
        ModalDriver driver;
        driver.when<TFormSEV>([](TFormSEV* s) {
            click(s->choiceButton(TFormSEV::AddObject));
            click(s->okButton());
        });
        driver.when<TForm6>([](TForm6* f) { f->action("Adicionar Personagem")->trigger(); });
        driver.when<TFormNC>([](TFormNC* d) {
            d->nameEdit()->setText("Ferreiro");
            d->speedEdit()->setText("3");
            click(d->okButton());
        });
        driver.when<TForm6>([](TForm6* f) { f->close(); });
        rightPress(5, 6);
        EXPECT_TRUE(driver.done());
    }
    EXPECT_EQ(ws.session().grid().evento(5, 6), "AddChar:Ferreiro|3");

    // reopening the first cell shows its event; removing it with "Novo"
    {
        ModalDriver driver;
        driver.when<TForm6>([](TForm6* f) {
            EXPECT_TRUE(f->eventosEnabled());
            EXPECT_EQ(f->scriptText(), "OnActionPress>IniciaChuva:ShowMessage:Chove na vila&");
            f->close();
        });
        rightPress(2, 3);
        EXPECT_TRUE(driver.done());
    }
    {
        ModalDriver driver;
        driver.when<TFormSEV>([](TFormSEV* s) { click(s->cancelButton()); });
        rightPress(9, 9);  // a cell without an event, selector cancelled
        EXPECT_TRUE(driver.done());
    }

    ws.session().save();
    EXPECT_FALSE(ws.session().modified());
    const QByteArray file = readFile(mapFile());
    EXPECT_TRUE(file.contains("IniciaChuva:ShowMessage:Chove na vila&amp;")) << file.left(400).toStdString();
    EXPECT_TRUE(file.contains("AddChar:Ferreiro|3"));
    MapGrid reread;
    Abrir(reread, mapFile());
    EXPECT_EQ(reread.evento(2, 3), "OnActionPress>IniciaChuva:ShowMessage:Chove na vila&");
    EXPECT_EQ(reread.evento(5, 6), "AddChar:Ferreiro|3");
    EXPECT_TRUE(MapGrid::hasEvent(reread.evento(5, 6)));
    EXPECT_FALSE(MapGrid::hasEvent(reread.evento(9, 9)));
    EXPECT_EQ(QDir(project.folder() + "Imagens/Ferreiro").entryList(QDir::Files).size(), 14);
}
