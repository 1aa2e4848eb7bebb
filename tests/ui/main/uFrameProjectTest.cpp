// The project tree view: mirroring the map tree, selection, the context menu
// and its entries, double-click with the save question, drag and drop.
#include "PaintedMap.h"
#include "ProjectFixture.h"
#include "ScriptedPrompts.h"

#include "SessionSetUp.h"
#include "model/core/MapFile.h"
#include "model/core/ProjectFile.h"
#include "model/session/Workspace.h"
#include "ui/main/uFrameProject.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace quillmark;
using qmtest::ScriptedPrompts;

namespace {

const QByteArray kTreeFile = "Aventura\r\n"
                             "\tCidades\r\n"
                             "\t\tVila.xml\r\n"
                             "\tCaverna.xml\r\n"
                             "\tMasmorras\r\n"
                             "\t\tCAVERNA.xml\r\n";

class TreeViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        project.addMap("Vila.xml", qmtest::paintedGrid(14));
        project.addMap("Caverna.xml");
        project.dir.write("Data/Project.dat", kTreeFile);
        prompts = new ScriptedPrompts;
        ws = std::make_unique<Workspace>(std::unique_ptr<Prompts>(prompts));
        ws->session().setEditorFolder(qmtest::binFolder());
        view = std::make_unique<TFrame3>(*ws);
        ws->session().openProject(project.projectFile());
        view->resize(220, 320);
        view->show();
        view->expandAll();
        QApplication::processEvents();
    }
    void TearDown() override {
        view.reset();
        ws.reset();
    }

    TreeNode* node(const char* text) { return ws->session().tree().findFirst(text); }
    QTreeWidgetItem* item(const char* text) { return view->itemFor(node(text)); }
    QPoint centreOf(const char* text) {
        view->scrollToItem(item(text));
        return view->visualItemRect(item(text)).center();
    }
    void clickOn(const char* text) { QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, centreOf(text)); }

    TreeMenuState menuFor(TreeNode* selected) {
        ws->session().selectTreeNode(selected);
        view->updateContextMenu();
        return {view->novaPastaAction()->isEnabled(), view->novoMapaAction()->isEnabled(),
                view->excluirMapaAction()->isEnabled(), view->propriedadesAction()->isEnabled()};
    }

    // A drop of the selected node at a point of the view, as a drag of this tree delivers it.
    bool dropAt(const QPoint& pos, const QByteArray& token = QByteArray()) {
        QMimeData mime;
        mime.setData(TFrame3::dragMimeType(),
                     token.isNull() ? QByteArray::number(reinterpret_cast<quintptr>(view.get())) : token);
        // The drag enters the view first: that makes it the drop's target.
        QDragEnterEvent enter(pos, Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &enter);
        if (!enter.isAccepted()) return false;
        QDropEvent drop(pos, Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &drop);
        return drop.isAccepted();
    }

    QByteArray treeFile() { return project.dir.read("Data/Project.dat"); }

    qmtest::ProjectFixture project;
    ScriptedPrompts* prompts = nullptr;
    std::unique_ptr<Workspace> ws;
    std::unique_ptr<TFrame3> view;
};

QStringList texts(const QTreeWidgetItem* parent) {
    QStringList out;
    for (int i = 0; i < parent->childCount(); ++i) out << parent->child(i)->text(0);
    return out;
}

}  // namespace

TEST_F(TreeViewTest, MirrorsTheTreeAndFollowsItsChanges) {
    ASSERT_EQ(view->topLevelItemCount(), 1);
    QTreeWidgetItem* root = view->topLevelItem(0);
    EXPECT_EQ(root->text(0), "Aventura");
    EXPECT_EQ(texts(root), QStringList({"Cidades", "Caverna.xml", "Masmorras"}));
    EXPECT_EQ(texts(item("Cidades")), QStringList{"Vila.xml"});
    EXPECT_EQ(view->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_EQ(view->iconSize(), QSize(16, 16));

    qmtest::treeOf(*ws).AddMap("Novo.xml", kKindMap);
    EXPECT_EQ(texts(root).first(), "Novo.xml");
    EXPECT_EQ(view->nodeOf(root->child(0)), node("Novo.xml"));
    qmtest::treeOf(*ws).RemoveMap("Cidades");
    EXPECT_EQ(texts(root), QStringList({"Novo.xml", "Caverna.xml", "Masmorras"}));
    EXPECT_EQ(item("Vila.xml"), nullptr);
    qmtest::treeOf(*ws).removeProjeto();
    EXPECT_EQ(view->topLevelItemCount(), 0);
    qmtest::treeOf(*ws).CriaProjeto("Aventura");
    qmtest::treeOf(*ws).LoadProject(ws->session().project());
    EXPECT_EQ(texts(view->topLevelItem(0)), QStringList({"Cidades", "Caverna.xml", "Masmorras"}));
}

TEST_F(TreeViewTest, SelectionGoesBothWaysAndExpandsTheSelectedNode) {
    clickOn("Vila.xml");
    EXPECT_EQ(ws->session().tree().selected(), node("Vila.xml"));
    EXPECT_TRUE(item("Cidades")->isExpanded());
    view->collapseAll();
    ws->session().selectTreeNode(node("Masmorras"));
    EXPECT_EQ(view->currentItem(), item("Masmorras"));
    EXPECT_TRUE(item("Masmorras")->isExpanded());
    // The branch left behind closes.
    ws->session().selectTreeNode(node("Cidades"));
    ws->session().selectTreeNode(node("Caverna.xml"));
    EXPECT_FALSE(item("Cidades")->isExpanded());
    EXPECT_TRUE(view->topLevelItem(0)->isExpanded());
}

TEST_F(TreeViewTest, ContextMenuStates) {
    EXPECT_EQ(menuFor(nullptr), (TreeMenuState{false, false, false, false}));
    EXPECT_EQ(menuFor(ws->session().tree().root()), (TreeMenuState{true, true, false, false}));
    EXPECT_EQ(menuFor(node("Cidades")), (TreeMenuState{true, true, false, true}));
    EXPECT_EQ(menuFor(node("Vila.xml")), (TreeMenuState{false, true, true, true}));
    QStringList captions;
    for (QAction* a : view->contextMenu()->actions()) captions << a->text();
    EXPECT_EQ(captions, QStringList({"Nova Pasta", "Novo Mapa", "Excluir Mapa", "Propriedades"}));
}

TEST_F(TreeViewTest, TheMenuOpensOnARightClickOnlyWithAProject) {
    bool shown = false;
    TreeMenuState seen;
    QTimer::singleShot(0, view.get(), [&] {
        shown = view->contextMenu()->isVisible();
        seen = {view->novaPastaAction()->isEnabled(), view->novoMapaAction()->isEnabled(),
                view->excluirMapaAction()->isEnabled(), view->propriedadesAction()->isEnabled()};
        view->contextMenu()->close();
    });
    clickOn("Caverna.xml");
    QContextMenuEvent event(QContextMenuEvent::Mouse, centreOf("Caverna.xml"), view->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(view->viewport(), &event);
    EXPECT_TRUE(shown);
    EXPECT_EQ(seen, (TreeMenuState{false, true, true, true}));

    const QPoint where = centreOf("Caverna.xml");
    ws->session().closeProject();
    QContextMenuEvent again(QContextMenuEvent::Mouse, where, view->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(view->viewport(), &again);  // returns at once: no menu
    EXPECT_FALSE(view->contextMenu()->isVisible());
}

TEST_F(TreeViewTest, NewFolderAsksForANameAndSavesTheTree) {
    ws->session().selectTreeNode(ws->session().tree().root());
    prompts->answerText("Mundos");
    view->novaPastaAction()->trigger();
    ASSERT_EQ(prompts->asked().size(), 1u);
    EXPECT_EQ(prompts->asked()[0].kind, "input");
    EXPECT_EQ(prompts->asked()[0].title, "Nova Pasta");
    EXPECT_EQ(prompts->asked()[0].text, "Digite o nome da nova Pasta:");
    EXPECT_EQ(texts(view->topLevelItem(0)).first(), "Mundos");
    EXPECT_EQ(treeFile(), "Aventura\r\n\tMundos\r\n\tCidades\r\n\t\tVila.xml\r\n\tCaverna.xml\r\n\tMasmorras\r\n"
                          "\t\tCAVERNA.xml\r\n");

    // A name the root's children already have (any case) is refused with a message.
    prompts->clear();
    prompts->answerText("cidades");
    view->NovaPasta();
    EXPECT_EQ(prompts->messages(), QStringList{"Não foi possivel adicionar o Mapa!!\r\rO Mapa Já Existe!!!"});

    // Blanks and TABs around a name would change its depth in the file: they are left out.
    prompts->clear();
    prompts->answerText(" \tRuinas \t");
    view->NovaPasta();
    EXPECT_EQ(texts(view->topLevelItem(0)).first(), "Ruinas");
    prompts->answerText("   ");
    view->NovaPasta();
    prompts->answerNothing();
    view->NovaPasta();
    EXPECT_EQ(view->topLevelItem(0)->childCount(), 5);

    // A folder added while a folder is selected still goes under the root.
    ws->session().selectTreeNode(node("Masmorras"));
    prompts->answerText("Torres");
    view->NovaPasta();
    EXPECT_EQ(texts(view->topLevelItem(0)).first(), "Torres");

    // Not on a map.
    prompts->clear();
    ws->session().selectTreeNode(node("Vila.xml"));
    view->NovaPasta();
    EXPECT_EQ(prompts->messages(), QStringList{"Não é Possivel criar uma pasta no local Selecionado!"});
}

TEST_F(TreeViewTest, DeletingAMapAsksFirstAndNoKeepsEverything) {
    const QByteArray projectFile = project.dir.read("Aventura.qmk");
    ws->session().selectTreeNode(node("Caverna.xml"));
    prompts->answer(Answer::No);
    view->excluirMapaAction()->trigger();
    ASSERT_EQ(prompts->asked().size(), 1u);
    EXPECT_EQ(prompts->asked()[0].title, "Confirmação");
    EXPECT_EQ(prompts->asked()[0].buttons, Buttons::YesNo);
    EXPECT_TRUE(prompts->asked()[0].text.startsWith("Remover o mapa \"Caverna.xml\" da árvore do projeto?"));
    EXPECT_EQ(texts(view->topLevelItem(0)), QStringList({"Cidades", "Caverna.xml", "Masmorras"}));
    EXPECT_EQ(ws->session().tree().selected(), node("Caverna.xml"));
    EXPECT_EQ(project.dir.read("Aventura.qmk"), projectFile);
    EXPECT_EQ(treeFile(), kTreeFile);
}

TEST_F(TreeViewTest, DeletingAMapKeepsTheOpenFolders) {
    ws->session().selectTreeNode(node("Vila.xml"));
    view->expandAll();
    prompts->answer(Answer::Yes);
    view->excluirMapaAction()->trigger();
    EXPECT_EQ(texts(item("Cidades")), QStringList());
    EXPECT_TRUE(view->topLevelItem(0)->isExpanded());
    EXPECT_TRUE(item("Masmorras")->isExpanded());
    // answered No, the open folder stays as it was
    ws->session().selectTreeNode(node("CAVERNA.xml"));
    view->expandAll();
    prompts->answer(Answer::No);
    view->excluirMapaAction()->trigger();
    EXPECT_EQ(texts(item("Masmorras")), QStringList{"CAVERNA.xml"});
    EXPECT_TRUE(item("Masmorras")->isExpanded());
}

TEST_F(TreeViewTest, DeletingAMapRemovesOnlyTheNode) {
    const QByteArray projectFile = project.dir.read("Aventura.qmk");
    ws->session().selectTreeNode(node("Caverna.xml"));
    prompts->answer(Answer::Yes);
    view->excluirMapaAction()->trigger();
    EXPECT_EQ(texts(view->topLevelItem(0)), QStringList({"Cidades", "Masmorras"}));
    EXPECT_TRUE(project.dir.exists("Mapas/Caverna.xml"));
    EXPECT_EQ(project.dir.read("Aventura.qmk"), projectFile);
    EXPECT_EQ(ws->session().project().MapList.size(), 2);
    EXPECT_EQ(treeFile(), kTreeFile);  // written by the next save, not now
}

TEST_F(TreeViewTest, DropsThroughTheView) {
    // A map onto another map: refused, nothing written.
    clickOn("Vila.xml");
    EXPECT_TRUE(dropAt(centreOf("Caverna.xml")));
    EXPECT_EQ(texts(item("Cidades")), QStringList{"Vila.xml"});
    EXPECT_EQ(treeFile(), kTreeFile);
    EXPECT_TRUE(prompts->asked().empty());

    // Onto a folder holding a node of the same name: the message, nothing moves.
    clickOn("Caverna.xml");
    dropAt(centreOf("Masmorras"));
    EXPECT_EQ(prompts->messages(), QStringList{"O Mapa Já Exixste!!! Arrumar Isso!!!"});
    EXPECT_EQ(treeFile(), kTreeFile);

    // Onto a folder: moved to the end of its children, expanded, saved.
    clickOn("Caverna.xml");
    view->collapseAll();
    view->expandItem(view->topLevelItem(0));
    dropAt(centreOf("Cidades"));
    EXPECT_EQ(texts(item("Cidades")), QStringList({"Vila.xml", "Caverna.xml"}));
    EXPECT_TRUE(item("Cidades")->isExpanded());
    EXPECT_EQ(ws->session().tree().selected(), node("Caverna.xml"));
    EXPECT_EQ(view->currentItem(), item("Caverna.xml"));
    EXPECT_EQ(treeFile(), "Aventura\r\n\tCidades\r\n\t\tVila.xml\r\n\t\tCaverna.xml\r\n\tMasmorras\r\n"
                          "\t\tCAVERNA.xml\r\n");

    // The root never moves; a folder never goes into itself.
    clickOn("Aventura");
    dropAt(centreOf("Masmorras"));
    clickOn("Cidades");
    dropAt(centreOf("Vila.xml"));
    EXPECT_EQ(view->topLevelItemCount(), 1);
    EXPECT_EQ(texts(view->topLevelItem(0)), QStringList({"Cidades", "Masmorras"}));
}

TEST_F(TreeViewTest, DragsFromElsewhereAreRefused) {
    clickOn("Caverna.xml");
    EXPECT_FALSE(dropAt(centreOf("Cidades"), "12345"));
    QMimeData text;
    text.setText("Caverna.xml");
    QDragEnterEvent enter(centreOf("Cidades"), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &enter);
    EXPECT_FALSE(enter.isAccepted());
    EXPECT_EQ(texts(item("Cidades")), QStringList{"Vila.xml"});
}

TEST_F(TreeViewTest, ADragNearTheEdgesScrollsOneLine) {
    for (int i = 0; i < 60; ++i) qmtest::treeOf(*ws).AddMap("Pasta " + std::to_string(i), kKindContainer);
    view->expandAll();
    QApplication::processEvents();
    QScrollBar* bar = view->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 10);
    bar->setValue(bar->maximum() / 2);
    const int middle = bar->value();
    QMimeData mime;
    mime.setData(TFrame3::dragMimeType(), QByteArray::number(reinterpret_cast<quintptr>(view.get())));
    QDragEnterEvent enter(QPoint(40, view->viewport()->height() / 2), Qt::MoveAction, &mime, Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &enter);
    ASSERT_TRUE(enter.isAccepted());
    auto moveTo = [&](int y) {
        QDragMoveEvent move(QPoint(40, y), Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &move);
    };
    moveTo(TFrame3::kScrollMargin - 1);
    EXPECT_EQ(bar->value(), middle - bar->singleStep());
    moveTo(view->viewport()->height() - TFrame3::kScrollMargin + 1);
    moveTo(view->viewport()->height() - 2);
    EXPECT_EQ(bar->value(), middle + bar->singleStep());
    moveTo(view->viewport()->height() / 2);
    EXPECT_EQ(bar->value(), middle + bar->singleStep());
}

TEST_F(TreeViewTest, DoubleClickOpensAMapAfterTheSaveQuestion) {
    ASSERT_EQ(ws->session().grid().CurrentMap, "Vila.xml");  // the first map of the list
    const unsigned char saved = ws->session().grid().tipo(1, 1);
    ws->session().mapEditing().paint(EditLayer::Tipo, 1, 1, 'I');
    int statusChecks = 0;
    QObject::connect(&ws->session(), &EditorSession::stateChanged, [&] { ++statusChecks; });
    auto vilaInFile = [&] {
        MapGrid g;
        Abrir(g, project.folder() + "Mapas/Vila.xml");
        return g.tipo(1, 1);
    };

    // Cancel opens nothing.
    prompts->answer(Answer::Cancel);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, centreOf("Caverna.xml"));
    EXPECT_EQ(prompts->messages(), QStringList{"Desejá Salvar as Alterações?"});
    EXPECT_EQ(ws->session().grid().CurrentMap, "Vila.xml");
    EXPECT_EQ(ws->session().grid().tipo(1, 1), 'I');
    EXPECT_TRUE(ws->session().modified());

    // No opens without saving.
    prompts->answer(Answer::No);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, centreOf("Caverna.xml"));
    EXPECT_EQ(ws->session().grid().CurrentMap, "Caverna.xml");
    EXPECT_EQ(ws->session().grid().tipo(1, 1), '0');
    EXPECT_FALSE(ws->session().modified());
    EXPECT_EQ(vilaInFile(), saved);
    EXPECT_EQ(statusChecks, 1);

    // Yes saves first.
    ws->session().mapEditing().paint(EditLayer::Tipo, 1, 1, 'H');
    prompts->answer(Answer::Yes);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, centreOf("Vila.xml"));
    EXPECT_EQ(ws->session().grid().CurrentMap, "Vila.xml");
    MapGrid cave;
    Abrir(cave, project.folder() + "Mapas/Caverna.xml");
    EXPECT_EQ(cave.tipo(1, 1), 'H');
    EXPECT_EQ(ws->session().grid().tipo(1, 1), saved);

    // Without changes nothing is asked; folders and the root open nothing.
    prompts->clear();
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, centreOf("Caverna.xml"));
    EXPECT_EQ(ws->session().grid().CurrentMap, "Caverna.xml");
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, centreOf("Cidades"));
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, centreOf("Aventura"));
    EXPECT_EQ(ws->session().grid().CurrentMap, "Caverna.xml");
    EXPECT_TRUE(prompts->asked().empty());
    EXPECT_TRUE(ws->session().mapLoaded());
}

TEST_F(TreeViewTest, AMissingMapFileIsReportedAndTheLoadedMapStays) {
    qmtest::gridOf(*ws).newGrid(5);
    QFile::remove(project.folder() + "Mapas/Caverna.xml");
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, centreOf("Caverna.xml"));
    ASSERT_EQ(prompts->messages().size(), 1);
    EXPECT_EQ(prompts->asked()[0].title, "Quillmark");
    EXPECT_EQ(ws->session().grid().CurrentMap, "Vila.xml");
    EXPECT_EQ(ws->session().grid().N, 5);
}
