// The map tools as a newcomer finds them: chosen from the tool bar or the
// "Editar" menu (or their keys), then used with plain clicks; the status bar
// names the tool; the modifier shortcuts still work; "Início do Herói" sets
// the start cell in the project file and the canvas marks it; the empty main
// window tells what to do; the tree's drop undone through "Desfazer".
#include "ProjectFixture.h"
#include "ScriptedPrompts.h"
#include "TempDir.h"

#include "model/core/ProjectFile.h"
#include "model/session/Workspace.h"
#include "ui/main/uFrameProject.h"
#include "ui/main/uFrameTiles.h"
#include "ui/main/uPrincipal.h"
#include "ui/main/uTerreno.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QUndoStack>
#include <gtest/gtest.h>

using namespace quillmark;

namespace {

class MapToolsTest : public ::testing::Test {
protected:
    MapToolsTest() {
        prompts = new qmtest::ScriptedPrompts;
        ws = std::make_unique<Workspace>(std::unique_ptr<Prompts>(prompts));
        ws->EditorFolder = qmtest::binFolder();
        WindowLinks& links = ws->session().links();
        links.newMapDialog.fill([] {});
        links.newProjectWizard.fill([] {});
        links.mapProperties.fill([] {});
        links.database.fill([] {});
        TForm1::Options o;
        o.iniPath = settings.file("quillmark.INI");
        o.recentPath = settings.file("conf.ini");
        o.registerAssociation = [] {};
        o.startProgram = [](const QString&, QString*) { return true; };
        form = std::make_unique<TForm1>(*ws, o);
        MapGrid g;
        g.newGrid(14);
        project.addMap("Vila.xml", g);
        project.addMap("Lago.xml", g);
        form->resize(1000, 800);
        form->show();
    }
    ~MapToolsTest() override {
        form.reset();
        ws.reset();
    }
    void open() {
        ASSERT_TRUE(ws->run([&] { form->abrirProjeto(project.projectFile()); }));
    }

    TMapCanvas& canvas() { return *form->mapArea()->canvas(); }
    QPoint centre(int row, int column) { return canvas().cellRect(row, column).center(); }
    void click(int r, int c, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::mouseClick(&canvas(), Qt::LeftButton, mods, centre(r, c));
    }
    void brush(unsigned char code) {
        ws->BrushCode = code;
        ws->BrushImage = ws->PegaImg(code);
    }
    // The tool bar's button of a tool, clicked as a user does.
    void choose(MapTool tool) {
        QAction* a = form->toolAction(tool);
        ASSERT_NE(a, nullptr);
        auto* button = qobject_cast<QToolButton*>(form->toolBar()->widgetForAction(a));
        ASSERT_NE(button, nullptr);
        ASSERT_TRUE(button->isEnabled());
        QTest::mouseClick(button, Qt::LeftButton);
    }
    QString toolStatus() const { return form->statusBar()->findChild<QLabel*>("ToolStatus")->text(); }
    QUndoStack& stack() { return ws->session().undoStack(); }

    qmtest::TempDir settings;
    qmtest::ProjectFixture project;
    qmtest::ScriptedPrompts* prompts = nullptr;
    std::unique_ptr<Workspace> ws;
    std::unique_ptr<TForm1> form;
};

}  // namespace

TEST_F(MapToolsTest, EachToolHasAMenuEntryAKeyATooltipAndAButton) {
    const struct {
        MapTool tool;
        const char* caption;
        const char* key;
    } tools[] = {{MapTool::Pincel, "Pincel", "B"},
                 {MapTool::Balde, "Balde", "F"},
                 {MapTool::Retangulo, "Retângulo", "R"},
                 {MapTool::ContaGotas, "Conta-gotas", "I"},
                 {MapTool::InicioHeroi, "Início do Herói", "H"}};
    for (const auto& t : tools) {
        QAction* a = form->menuAction(QString::fromUtf8(t.caption));
        ASSERT_NE(a, nullptr) << t.caption;
        EXPECT_EQ(a, form->toolAction(t.tool));
        EXPECT_EQ(a->shortcut(), QKeySequence(QString::fromUtf8(t.key))) << t.caption;
        EXPECT_TRUE(a->toolTip().startsWith(QString::fromUtf8(t.caption))) << t.caption;
        EXPECT_TRUE(a->isCheckable());
        EXPECT_NE(form->toolBar()->widgetForAction(a), nullptr);
        EXPECT_FALSE(a->isEnabled()) << "no map yet: " << t.caption;
    }
    open();
    for (const auto& t : tools) EXPECT_TRUE(form->toolAction(t.tool)->isEnabled()) << t.caption;
    EXPECT_TRUE(form->toolAction(MapTool::Pincel)->isChecked());
    EXPECT_EQ(toolStatus(), "Ferramenta: Pincel");
}

TEST_F(MapToolsTest, ToolsChosenFromTheToolBarWorkWithPlainClicks) {
    open();
    // the bucket: a plain click fills the area, one step
    brush('6');
    choose(MapTool::Balde);
    EXPECT_EQ(canvas().tool(), MapTool::Balde);
    EXPECT_EQ(toolStatus(), "Ferramenta: Balde");
    click(3, 3);
    EXPECT_EQ(ws->grid.tipo(14, 14), '6');
    EXPECT_EQ(stack().count(), 1);

    // the rectangle: a plain drag
    brush('7');
    choose(MapTool::Retangulo);
    QTest::mousePress(&canvas(), Qt::LeftButton, Qt::NoModifier, centre(2, 2));
    QTest::mouseMove(&canvas(), centre(4, 5));
    QTest::mouseRelease(&canvas(), Qt::LeftButton, Qt::NoModifier, centre(4, 5));
    for (int r = 2; r <= 4; ++r)
        for (int c = 2; c <= 5; ++c) EXPECT_EQ(ws->grid.tipo(r, c), '7') << r << "," << c;
    EXPECT_EQ(ws->grid.tipo(5, 5), '6');
    EXPECT_EQ(stack().count(), 2);

    // the picker: a plain click takes the cell's code, the palette follows
    brush('0');
    choose(MapTool::ContaGotas);
    click(3, 3);
    EXPECT_EQ(ws->BrushCode, '7');
    EXPECT_TRUE(form->palette()->button('7' - 48)->selected());
    EXPECT_EQ(stack().count(), 2);

    // the brush again, from the "Editar" menu
    form->menuAction("Pincel")->trigger();
    EXPECT_EQ(canvas().tool(), MapTool::Pincel);
    EXPECT_TRUE(form->toolAction(MapTool::Pincel)->isChecked());
    click(9, 9);
    EXPECT_EQ(ws->grid.tipo(9, 9), '7');
    EXPECT_EQ(stack().count(), 3);

    // the modifiers stay as extras whatever the tool: Alt picks with the bucket chosen
    choose(MapTool::Balde);
    click(14, 14, Qt::AltModifier);
    EXPECT_EQ(ws->BrushCode, '6');
    EXPECT_EQ(stack().count(), 3);

    // one "Desfazer" per step
    for (int i = 0; i < 3; ++i) form->menuAction("Desfazer")->trigger();
    EXPECT_EQ(ws->grid.tipo(14, 14), '0');
    EXPECT_FALSE(ws->session().modified());
}

TEST_F(MapToolsTest, TheHerosStartIsSetByAClickAndShownOnItsMap) {
    open();
    choose(MapTool::InicioHeroi);
    EXPECT_EQ(toolStatus(), QString::fromUtf8("Ferramenta: Início do Herói"));
    click(5, 8);
    ProjectState reread;
    readProjectFile(project.projectFile(), reread);
    EXPECT_EQ(reread.InitialMap, "Vila.xml");
    EXPECT_EQ(reread.CharX, 40 * 8 + 120);
    EXPECT_EQ(reread.CharY, 40 * 5 + 20);
    EXPECT_EQ(canvas().heroCell(), std::make_pair(5, 8));
    EXPECT_EQ(stack().count(), 0);  // the map itself is unchanged
    EXPECT_EQ(ws->grid.tipo(5, 8), '0');

    // the mark is drawn: the cell differs from its twin without it
    const QImage img = canvas().grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_NE(img.copy(canvas().cellRect(5, 8)), img.copy(canvas().cellRect(5, 9)));

    // the right press still opens the event selector
    bool selector = false;
    ws->session().links().eventSelector.fill([&] {
        selector = true;
        return std::string("NULL");
    });
    QTest::mouseClick(&canvas(), Qt::RightButton, Qt::NoModifier, centre(2, 2));
    EXPECT_TRUE(selector);

    // another map shows no mark; back on the start's map it is there again
    prompts->answer(Answer::No);  // the event dialog's step counts as a change
    ASSERT_TRUE(ws->session().openMap(project.folder() + "Mapas/Lago.xml", "Lago.xml"));
    EXPECT_EQ(canvas().heroCell(), std::make_pair(0, 0));
    ASSERT_TRUE(ws->session().openMap(project.folder() + "Mapas/Vila.xml", "Vila.xml"));
    EXPECT_EQ(canvas().heroCell(), std::make_pair(5, 8));
}

TEST_F(MapToolsTest, TheEmptyWindowTellsWhatToDo) {
    EXPECT_TRUE(form->mapArea()->hintText().contains("Novo Projeto"));
    EXPECT_TRUE(form->mapArea()->hintText().contains("Abrir Projeto"));
    auto* hint = form->mapArea()->findChild<QLabel*>("EmptyHint");
    ASSERT_NE(hint, nullptr);
    EXPECT_TRUE(hint->isVisible());
    open();
    EXPECT_TRUE(form->mapArea()->hintText().isEmpty());
    EXPECT_FALSE(hint->isVisible());
    ws->session().closeProject();
    EXPECT_TRUE(hint->isVisible());
}

TEST_F(MapToolsTest, DesfazerInTheTreeUndoesAMoveAndLeavesTheMapsEdits) {
    project.dir.write("Data/Project.dat", "Aventura\r\n\tCidades\r\n\tVila.xml\r\n\tLago.xml\r\n");
    open();
    brush('6');
    click(1, 1);
    ASSERT_EQ(stack().count(), 1);
    TreeNode* lago = ws->tree.findFirst("Lago.xml");
    ASSERT_EQ(ws->session().moveInTree(lago, ws->tree.findFirst("Cidades")), DropOutcome::Moved);
    EXPECT_EQ(project.dir.read("Data/Project.dat"), "Aventura\r\n\tCidades\r\n\t\tLago.xml\r\n\tVila.xml\r\n");
    form->projectTree()->setFocus();
    QApplication::processEvents();
    if (!form->projectTree()->hasFocus()) GTEST_SKIP() << "the offscreen window did not take the focus";
    form->menuAction("Desfazer")->trigger();
    EXPECT_EQ(project.dir.read("Data/Project.dat"), "Aventura\r\n\tCidades\r\n\tVila.xml\r\n\tLago.xml\r\n");
    EXPECT_EQ(ws->grid.tipo(1, 1), '6');  // the map's edit stays
    canvas().setFocus();
    form->menuAction("Desfazer")->trigger();
    EXPECT_EQ(ws->grid.tipo(1, 1), '0');
}

TEST_F(MapToolsTest, ToolKeysLeaveTypedLettersToTheTreeAndTextEntries) {
    MapGrid g;
    g.newGrid(14);
    project.addMap("Floresta.xml", g);
    project.dir.write("Data/Project.dat", "Aventura\r\n\tVila.xml\r\n\tLago.xml\r\n\tFloresta.xml\r\n");
    open();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    TFrame3* tree = form->projectTree();
    ASSERT_NE(tree, nullptr);

    // the tree has the focus: "F" jumps to "Floresta.xml" and chooses no tool
    tree->expandAll();
    ASSERT_EQ(tree->topLevelItem(0)->childCount(), 3) << tree->topLevelItem(0)->text(0).toStdString();
    tree->setCurrentItem(tree->topLevelItem(0));
    tree->setFocus();
    ASSERT_TRUE(tree->hasFocus());
    QTest::keyClick(tree, Qt::Key_F);
    ASSERT_NE(tree->currentItem(), nullptr);
    EXPECT_EQ(tree->currentItem()->text(0), "Floresta.xml");
    EXPECT_EQ(canvas().tool(), MapTool::Pincel);
    QTest::keyClick(tree, Qt::Key_H);  // no node starts with "H": still no tool
    EXPECT_EQ(canvas().tool(), MapTool::Pincel);
    EXPECT_EQ(toolStatus(), "Ferramenta: Pincel");

    // the palette's list is a drop-down that jumps on letters too
    form->paletteList()->setFocus();
    QTest::keyClick(form->paletteList(), Qt::Key_R);
    EXPECT_EQ(canvas().tool(), MapTool::Pincel);

    // with the map in front (a click on it gives its area the focus) the same keys choose their tools
    form->mapArea()->setFocus();
    ASSERT_TRUE(form->mapArea()->hasFocus());
    QTest::keyClick(form->mapArea(), Qt::Key_F);
    EXPECT_EQ(canvas().tool(), MapTool::Balde);
    QTest::keyClick(form->mapArea(), Qt::Key_H);
    EXPECT_EQ(canvas().tool(), MapTool::InicioHeroi);
    EXPECT_EQ(toolStatus(), QString::fromUtf8("Ferramenta: Início do Herói"));
    // back in the tree, a letter is the tree's again
    tree->setFocus();
    QTest::keyClick(tree, Qt::Key_B);
    EXPECT_EQ(canvas().tool(), MapTool::InicioHeroi);

    // … unless the pointer rests on the map, as it does for Shift+C: the map's
    // command wins while the tree keeps the focus (a map just opened from it)
    QTest::mouseMove(&canvas(), centre(3, 3));
    ASSERT_NE(canvas().hoveredCell(), nullptr);
    QTreeWidgetItem* before = tree->currentItem();
    QTest::keyClick(tree, Qt::Key_R);
    EXPECT_EQ(canvas().tool(), MapTool::Retangulo);
    EXPECT_EQ(tree->currentItem(), before);
    // a text entry keeps every letter, pointer on the map or not
    QLineEdit entry(form.get());
    entry.show();
    entry.setFocus();
    QTest::keyClick(&entry, Qt::Key_B);
    EXPECT_EQ(entry.text(), "b");
    EXPECT_EQ(canvas().tool(), MapTool::Retangulo);
}
