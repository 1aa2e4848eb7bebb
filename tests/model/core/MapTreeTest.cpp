#include "model/core/MapTree.h"
#include "TempDir.h"
#include "model/core/Error.h"
#include "model/core/ProjectFile.h"

#include <gtest/gtest.h>

using namespace quillmark;
using Names = std::vector<std::string>;

namespace {

// The texts of the tree in tree order, each indented by one '.' per level.
std::string shape(const MapTree& tree) {
    std::string out;
    for (TreeNode* n : tree.nodesInTreeOrder()) {
        out += std::string(static_cast<size_t>(n->level()), '.');
        out += n->text();
        out += ' ';
    }
    return out;
}

// A project folder with a "Data" folder and, optionally, a tree file.
struct Project {
    qmtest::TempDir dir;
    explicit Project(const QByteArray* treeFile = nullptr) {
        dir.write("Data/.keep", "");
        if (treeFile) dir.write("Data/Project.dat", *treeFile);
    }
    QString folder() const { return dir.path(); }
    QByteArray treeFile() const { return dir.read("Data/Project.dat"); }
};

// Aventura / Cidades / Vila.xml, and Caverna.xml under the root.
const QByteArray kExample = "Aventura\r\n\tCidades\r\n\t\tVila.xml\r\n\tCaverna.xml\r\n";

void build(MapTree& tree, const Names& maps = {"Vila.xml", "Caverna.xml"}) {
    tree.CriaProjeto("Aventura");
    tree.loadTreeBytes(kExample, "Aventura", maps);
}

TreeNode* node(const MapTree& tree, std::string_view text) {
    TreeNode* n = tree.findFirst(text);
    EXPECT_NE(n, nullptr) << text;
    return n;
}

struct Recorder : MapTreeObserver {
    std::vector<std::string> log;
    void beforeInsert(TreeNode* parent, int row) override {
        log.push_back("+? " + (parent ? parent->text() : std::string("top")) + " " + std::to_string(row));
    }
    void afterInsert(TreeNode* n) override { log.push_back("+ " + n->text() + " " + std::to_string(n->index())); }
    void beforeRemove(TreeNode* n) override { log.push_back("-? " + n->text()); }
    void afterRemove(TreeNode* parent, int row) override {
        log.push_back("- " + (parent ? parent->text() : std::string("top")) + " " + std::to_string(row));
    }
    void beforeReset() override { log.push_back("reset?"); }
    void afterReset() override { log.push_back("reset"); }
    void selectionChanged(TreeNode* n) override { log.push_back("sel " + (n ? n->text() : std::string("none"))); }
};

}  // namespace

TEST(MapTreeBuild, CriaProjetoAndAddMap) {
    MapTree tree;
    EXPECT_EQ(tree.AddMap("Vila.xml", kKindMap).status, AddMapStatus::NoRoot);
    TreeNode* root = tree.CriaProjeto("Aventura");
    EXPECT_EQ(tree.root(), root);
    EXPECT_EQ(tree.selected(), root);
    EXPECT_EQ(root->imageIndex(), 0);
    EXPECT_EQ(root->selectedIndex(), 0);

    AddMapResult r = tree.AddMap("Vila.xml", kKindMap);
    ASSERT_EQ(r.status, AddMapStatus::Added);
    EXPECT_EQ(r.node->imageIndex(), 1);
    EXPECT_EQ(r.node->selectedIndex(), 1);
    r = tree.AddMap("Cidades", kKindContainer);
    EXPECT_EQ(r.node->imageIndex(), 0);
    EXPECT_EQ(r.node->selectedIndex(), 2);
    // New nodes come first under the root.
    EXPECT_EQ(shape(tree), "Aventura .Cidades .Vila.xml ");
    EXPECT_EQ(r.node->index(), 0);
    EXPECT_EQ(node(tree, "Vila.xml")->index(), 1);

    // Duplicates among the root's direct children, in any letter case.
    EXPECT_EQ(tree.AddMap("VILA.XML", kKindMap).status, AddMapStatus::Duplicate);
    EXPECT_EQ(tree.AddMap("cidades", kKindContainer).status, AddMapStatus::Duplicate);
    EXPECT_EQ(tree.AddMap("Outro", 1).status, AddMapStatus::IgnoredKind);
    EXPECT_EQ(tree.AddMap("Outro", 0).status, AddMapStatus::IgnoredKind);
    EXPECT_EQ(tree.count(), 3u);
    // Only direct children count: a map inside a folder does not block.
    ASSERT_NE(tree.MoveSubtree(node(tree, "Vila.xml"), node(tree, "Cidades")), nullptr);
    EXPECT_EQ(tree.AddMap("vila.xml", kKindMap).status, AddMapStatus::Added);
    EXPECT_STREQ(kMapExistsMessage, "N\xC3\xA3o foi possivel adicionar o Mapa!!\r\rO Mapa J\xC3\xA1 Existe!!!");
}

TEST(MapTreeFile, SavesTabsPerLevelWithCrLf) {
    Project p;
    MapTree tree;
    EXPECT_EQ(tree.treeFileBytes(), QByteArray());
    tree.CriaProjeto("Aventura");
    tree.AddMap("Caverna.xml", kKindMap);
    TreeNode* cidades = tree.AddMap("Cidades", kKindContainer).node;
    tree.AddMap("Vila.xml", kKindMap);
    tree.MoveSubtree(node(tree, "Vila.xml"), cidades);
    tree.MoveSubtree(node(tree, "Caverna.xml"), tree.root());
    tree.SaveProject(p.folder());
    EXPECT_EQ(p.treeFile(), kExample);
}

TEST(MapTreeFile, ReloadRebuildsStructureAndRecomputesKinds) {
    Project p(&kExample);
    MapTree tree;
    tree.CriaProjeto("Aventura");
    tree.LoadProject(p.folder(), "Aventura", {"Vila.xml"});
    EXPECT_EQ(shape(tree), "Aventura .Cidades ..Vila.xml .Caverna.xml ");
    EXPECT_EQ(tree.root(), tree.firstNode());
    EXPECT_EQ(tree.root()->selectedIndex(), 2);
    EXPECT_EQ(GetNodeType(node(tree, "Vila.xml")), kKindMap);
    EXPECT_EQ(node(tree, "Vila.xml")->selectedIndex(), 1);
    // No longer in the map list: a container now.
    EXPECT_EQ(GetNodeType(node(tree, "Caverna.xml")), kKindContainer);
    EXPECT_EQ(node(tree, "Caverna.xml")->selectedIndex(), 2);
    // Map names match exactly, letter case included.
    tree.LoadProject(p.folder(), "Aventura", {"vila.xml"});
    EXPECT_EQ(GetNodeType(node(tree, "Vila.xml")), kKindContainer);

    // Saving again gives back the same bytes.
    p.dir.write("Data/Project.dat", "");
    tree.SaveProject(p.folder());
    EXPECT_EQ(p.treeFile(), kExample);

    // From a ProjectState.
    ProjectState s;
    s.ProjectFolder = p.folder();
    s.ProjectName = "Aventura";
    s.MapList = {p.folder() + "Mapas/Caverna.xml", "Vila.xml"};
    tree.LoadProject(s);
    EXPECT_EQ(GetNodeType(node(tree, "Caverna.xml")), kKindMap);
    EXPECT_EQ(GetNodeType(node(tree, "Vila.xml")), kKindMap);
}

TEST(MapTreeFile, SpacesCountAsLevelsAndLineEndingsVary) {
    MapTree tree;
    tree.loadTreeBytes("Aventura\n Cidades\r\n \tVila.xml\n\t\t Funda\n  Praia.xml\n Caverna.xml", "Aventura",
                       {"Vila.xml"});
    EXPECT_EQ(shape(tree), "Aventura .Cidades ..Vila.xml ...Funda ..Praia.xml .Caverna.xml ");
    // Written back with TABs.
    EXPECT_EQ(tree.treeFileBytes(),
              "Aventura\r\n\tCidades\r\n\t\tVila.xml\r\n\t\t\tFunda\r\n\t\tPraia.xml\r\n\tCaverna.xml\r\n");
}

TEST(MapTreeFile, GoingBackSeveralLevelsAndEmptyTexts) {
    MapTree tree;
    const QByteArray file = "A\r\n\tB\r\n\t\tC\r\n\t\t\tD\r\n\tE\r\n\r\n\t\r\nF\r\n";
    tree.loadTreeBytes(file, "A", {});
    EXPECT_EQ(shape(tree), "A .B ..C ...D .E  . F ");
    EXPECT_EQ(tree.topLevelCount(), 3);
    EXPECT_EQ(tree.treeFileBytes(), file);
}

TEST(MapTreeFile, LevelJumpFailsWithTheTreeAsFarAsBuilt) {
    MapTree tree;
    tree.CriaProjeto("Aventura");
    try {
        tree.loadTreeBytes("Aventura\r\n\tCidades\r\n\t\t\tVila\xE7"
                           "a.xml\r\n\tDepois\r\n",
                           "Aventura", {});
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Invalid level (3) for item \"Vila\xC3\xA7"
                               "a.xml\"");
    }
    EXPECT_EQ(shape(tree), "Aventura .Cidades ");
    EXPECT_EQ(tree.root(), tree.firstNode());  // AddMap still has a root
    EXPECT_EQ(tree.AddMap("X.xml", kKindMap).status, AddMapStatus::Added);

    // The first line is top-level whatever its indentation.
    MapTree other;
    other.loadTreeBytes("\t\tA\r\n\tB\r\n", "A", {});
    EXPECT_EQ(shape(other), "A .B ");
    EXPECT_THROW(other.loadTreeBytes("\tA\r\n\t\t\tB\r\n", "A", {}), Error);
}

TEST(MapTreeFile, RootReferenceRules) {
    // The last node in tree order named after the project.
    MapTree tree;
    tree.loadTreeBytes("Aventura\r\n\tAventura\r\nOutro\r\n", "Aventura", {});
    EXPECT_EQ(tree.root(), tree.firstNode()->firstChild());

    // No node has the project's name (it was renamed): the first top-level node.
    tree.loadTreeBytes("Velho\r\n\tVila.xml\r\nOutro\r\n", "Novo", {"Vila.xml"});
    EXPECT_EQ(tree.root(), tree.firstNode());
    EXPECT_EQ(tree.AddMap("Praia.xml", kKindMap).node->parent(), tree.firstNode());

    // An empty tree file keeps the root CriaProjeto made.
    const QByteArray nothing;
    Project empty(&nothing);
    MapTree t2;
    TreeNode* made = t2.CriaProjeto("Aventura");
    t2.LoadProject(empty.folder(), "Aventura", {});
    EXPECT_EQ(t2.root(), made);
    EXPECT_EQ(t2.count(), 1u);

    // No tree file: the root stays and only the kinds are recomputed.
    Project none;
    MapTree t3;
    made = t3.CriaProjeto("Aventura");
    t3.LoadProject(none.folder(), "Aventura", {});
    EXPECT_EQ(t3.root(), made);
    EXPECT_EQ(made->selectedIndex(), 2);
    EXPECT_EQ(t3.selected(), made);
}

TEST(MapTreeEdit, RemoveMapTakesTheFirstMatchWithItsDescendants) {
    MapTree tree;
    tree.loadTreeBytes("A\r\n\tX\r\n\t\tm.xml\r\n\tm.xml\r\n\tX\r\n", "A", {"m.xml"});
    EXPECT_FALSE(tree.RemoveMap("x"));
    EXPECT_TRUE(tree.RemoveMap("m.xml"));
    EXPECT_EQ(shape(tree), "A .X .m.xml .X ");
    EXPECT_TRUE(tree.RemoveMap("X"));
    EXPECT_EQ(shape(tree), "A .m.xml .X ");
    tree.RemoveNode(node(tree, "X"));
    EXPECT_EQ(shape(tree), "A .m.xml ");
    // Removing the root forgets it; removeProjeto empties the tree.
    tree.setSelected(node(tree, "m.xml"));
    EXPECT_TRUE(tree.RemoveMap("A"));
    EXPECT_EQ(tree.root(), nullptr);
    EXPECT_EQ(tree.selected(), nullptr);
    tree.loadTreeBytes("A\r\nB\r\n", "A", {});
    tree.removeProjeto();
    EXPECT_TRUE(tree.isEmpty());
    EXPECT_EQ(tree.root(), nullptr);
}

TEST(MapTreeUtils, SiblingsAndDescendants) {
    MapTree tree;
    build(tree);
    TreeNode* root = tree.root();
    TreeNode* cidades = node(tree, "Cidades");
    TreeNode* vila = node(tree, "Vila.xml");
    TreeNode* caverna = node(tree, "Caverna.xml");
    EXPECT_FALSE(SiblingHasText(nullptr, "x", true));
    EXPECT_TRUE(SiblingHasText(cidades, "CAVERNA.XML", false));
    EXPECT_TRUE(SiblingHasText(caverna, "cidades", false));
    EXPECT_FALSE(SiblingHasText(cidades, "cidades", false));
    EXPECT_TRUE(SiblingHasText(cidades, "cidades", true));
    EXPECT_FALSE(SiblingHasText(vila, "Caverna.xml", true));
    EXPECT_TRUE(IsUnder(root, vila));
    EXPECT_TRUE(IsUnder(cidades, cidades));
    EXPECT_FALSE(IsUnder(vila, cidades));
    EXPECT_FALSE(IsUnder(caverna, vila));
    EXPECT_FALSE(IsUnder(cidades, nullptr));
}

TEST(MapTreeUtils, CopyAndMoveSubtrees) {
    MapTree tree;
    build(tree);
    int tag = 7;
    node(tree, "Vila.xml")->setData(&tag);
    TreeNode* cidades = node(tree, "Cidades");
    TreeNode* copy = tree.CopySubtree(cidades, cidades);  // into itself: the subtree as it was
    EXPECT_EQ(shape(tree), "Aventura .Cidades ..Vila.xml ..Cidades ...Vila.xml .Caverna.xml ");
    EXPECT_EQ(copy->firstChild()->data(), &tag);
    EXPECT_EQ(copy->firstChild()->imageIndex(), kImageMap);
    EXPECT_EQ(copy->selectedIndex(), kImageSelectedContainer);

    // Moving keeps the nodes; a move into its own subtree is refused.
    EXPECT_EQ(tree.MoveSubtree(cidades, copy), nullptr);
    EXPECT_EQ(tree.MoveSubtree(cidades, nullptr), cidades);
    EXPECT_EQ(shape(tree), "Aventura .Caverna.xml Cidades .Vila.xml .Cidades ..Vila.xml ");
    EXPECT_EQ(cidades->parent(), nullptr);
    EXPECT_EQ(cidades->level(), 0);
    EXPECT_EQ(copy->level(), 1);
}

TEST(MapTreeDrop, EveryRefusalAndTheMove) {
    Project p;
    MapTree tree;
    tree.loadTreeBytes("A\r\n\tF\r\n\t\tm1.xml\r\n\t\tG\r\n\tm2.xml\r\n\tH\r\n\t\tM2.XML\r\nB\r\n", "A",
                       {"m1.xml", "m2.xml", "M2.XML"});
    TreeNode* root = tree.root();
    TreeNode* f = node(tree, "F");
    TreeNode* g = node(tree, "G");
    TreeNode* h = node(tree, "H");
    TreeNode* m1 = node(tree, "m1.xml");
    TreeNode* m2 = node(tree, "m2.xml");
    const std::string before = shape(tree);

    struct Case {
        const char* what;
        TreeNode* dragged;
        TreeNode* target;
        DropOutcome expected;
    };
    const std::vector<Case> refusals = {
        {"no target", m1, nullptr, DropOutcome::Refused},
        {"nothing dragged", nullptr, f, DropOutcome::Refused},
        {"onto itself", m1, m1, DropOutcome::Refused},
        {"onto its parent", m1, f, DropOutcome::Refused},
        {"the root", root, node(tree, "B"), DropOutcome::Refused},
        {"a top-level node", node(tree, "B"), f, DropOutcome::Refused},
        {"a folder into its descendant", f, g, DropOutcome::Refused},
        {"a map onto a map", m2, m1, DropOutcome::Refused},
        {"a name the target holds in another case", m2, h, DropOutcome::RefusedExists},
    };
    for (const Case& c : refusals) {
        EXPECT_EQ(tree.checkDrop(c.dragged, c.target), c.expected) << c.what;
        DropResult r = tree.DropNode(c.dragged, c.target, p.folder());
        EXPECT_EQ(r.outcome, c.expected) << c.what;
        EXPECT_EQ(r.node, nullptr) << c.what;
        EXPECT_EQ(shape(tree), before) << c.what;
    }
    EXPECT_FALSE(p.dir.exists("Data/Project.dat"));
    EXPECT_STREQ(kDropExistsMessage, "O Mapa J\xC3\xA1 Exixste!!! Arrumar Isso!!!");

    // A folder with children goes to the end of the target's children; the tree is saved.
    DropResult r = tree.DropNode(h, f, p.folder());
    EXPECT_EQ(r.outcome, DropOutcome::Moved);
    EXPECT_EQ(r.node, h);
    EXPECT_EQ(shape(tree), "A .F ..m1.xml ..G ..H ...M2.XML .m2.xml B ");
    EXPECT_EQ(p.treeFile(), tree.treeFileBytes());
    // And a map into a folder of another branch.
    EXPECT_EQ(tree.DropNode(m2, g, p.folder()).outcome, DropOutcome::Moved);
    EXPECT_EQ(shape(tree), "A .F ..m1.xml ..G ...m2.xml ..H ...M2.XML B ");
    EXPECT_EQ(p.treeFile(), "A\r\n\tF\r\n\t\tm1.xml\r\n\t\tG\r\n\t\t\tm2.xml\r\n\t\tH\r\n\t\t\tM2.XML\r\nB\r\n");
}

TEST(MapTreeMenu, EntriesFollowTheSelectedNode) {
    MapTree tree;
    build(tree);
    EXPECT_EQ(tree.contextMenuFor(nullptr), (TreeMenuState{false, false, false, false}));
    // {Nova Pasta, Novo Mapa, Excluir Mapa, Propriedades}
    EXPECT_EQ(tree.contextMenuFor(tree.root()), (TreeMenuState{true, true, false, false}));
    EXPECT_EQ(tree.contextMenuFor(node(tree, "Cidades")), (TreeMenuState{true, true, false, true}));
    EXPECT_EQ(tree.contextMenuFor(node(tree, "Vila.xml")), (TreeMenuState{false, true, true, true}));
    // A map node that no longer is in the map list reloads as a folder.
    MapTree other;
    build(other, {});
    EXPECT_EQ(other.contextMenuFor(node(other, "Vila.xml")), (TreeMenuState{true, true, false, true}));

    EXPECT_FALSE(IsNodeAllowed(nullptr));
    EXPECT_TRUE(IsNodeAllowed(tree.root()));
    EXPECT_FALSE(IsNodeAllowed(node(tree, "Vila.xml")));
    EXPECT_EQ(GetNodeType(nullptr), kKindNone);
}

TEST(MapTreeMenu, DoubleClickOpensMapsOnly) {
    Project p;
    p.dir.write("mapas/VILA.xml", "x");
    MapTree tree;
    build(tree);
    EXPECT_EQ(tree.mapPathForDoubleClick(node(tree, "Vila.xml"), p.folder()), p.folder() + "mapas/VILA.xml");
    EXPECT_EQ(tree.mapPathForDoubleClick(node(tree, "Caverna.xml"), p.folder()), p.folder() + "mapas/Caverna.xml");
    EXPECT_TRUE(tree.mapPathForDoubleClick(node(tree, "Cidades"), p.folder()).isEmpty());
    EXPECT_TRUE(tree.mapPathForDoubleClick(tree.root(), p.folder()).isEmpty());
    EXPECT_TRUE(tree.mapPathForDoubleClick(nullptr, p.folder()).isEmpty());
}

TEST(MapTreeObserver, HearsEveryChange) {
    Project p;
    MapTree tree;
    Recorder rec;
    tree.addObserver(&rec);
    tree.CriaProjeto("A");
    tree.AddMap("F", kKindContainer);
    tree.AddMap("m.xml", kKindMap);
    tree.DropNode(node(tree, "m.xml"), node(tree, "F"), p.folder());
    tree.setSelected(node(tree, "m.xml"));
    tree.RemoveMap("F");
    tree.removeProjeto();
    EXPECT_EQ(rec.log, (std::vector<std::string>{"+? top 0", "+ A 0", "sel A", "+? A 0", "+ F 0", "+? A 0", "+ m.xml 0",
                                                 "-? m.xml", "- A 0", "+? F 0", "+ m.xml 0", "sel m.xml", "sel none",
                                                 "-? F", "- A 0", "reset?", "reset"}));
    rec.log.clear();
    tree.removeObserver(&rec);
    tree.CriaProjeto("B");
    EXPECT_TRUE(rec.log.empty());
}

TEST(MapTreeSize, FiveThousandLevelsDeep) {
    Project p;
    QByteArray file;
    for (int depth = 0; depth < 5000; ++depth) {
        file.append(depth, '\t');
        file.append("N" + QByteArray::number(depth) + "\r\n");
    }
    MapTree tree;
    tree.CriaProjeto("N0");
    tree.loadTreeBytes(file, "N0", {"N4999"});
    EXPECT_EQ(tree.count(), 5000u);
    TreeNode* leaf = node(tree, "N4999");
    EXPECT_EQ(leaf->level(), 4999);
    EXPECT_EQ(GetNodeType(leaf), kKindMap);
    tree.SaveProject(p.folder());
    EXPECT_EQ(p.treeFile(), file);

    MapTree back;
    back.LoadProject(p.folder(), "N0", {});
    EXPECT_EQ(back.treeFileBytes(), file);
    // Copy the deep branch under its own leaf, then move it back up.
    TreeNode* branch = node(back, "N1");
    TreeNode* deepLeaf = node(back, "N4999");
    TreeNode* copy = back.CopySubtree(branch, deepLeaf);
    EXPECT_EQ(back.count(), 5000u + 4999u);
    EXPECT_EQ(back.MoveSubtree(copy, back.root()), copy);
    EXPECT_EQ(copy->level(), 1);
    EXPECT_EQ(back.count(), 5000u + 4999u);
}

TEST(MapTreeSize, AChainFarDeeperThanTheStack) {
    MapTree tree;
    TreeNode* root = tree.CriaProjeto("R");
    TreeNode* leaf = tree.AddMap("t", kKindContainer).node;
    TreeNode* seed = tree.AddMap("n", kKindContainer).node;
    TreeNode* tip = seed;
    for (int i = 0; i < 300000; ++i) tip = tree.CopySubtree(leaf, tip);
    EXPECT_EQ(tip->level(), 300001);
    EXPECT_TRUE(IsUnder(root, tip));
    EXPECT_TRUE(IsUnder(seed, tip));
    TreeNode* copy = tree.CopySubtree(seed, root);  // copies 300001 levels
    EXPECT_EQ(tree.count(), 2u * 300001u + 2u);
    EXPECT_EQ(tree.MoveSubtree(copy, tip), copy);
    EXPECT_EQ(copy->level(), 300002);
    tree.RemoveNode(seed);  // destroys both chains
    EXPECT_EQ(tree.count(), 2u);
    tip = root;
    for (int i = 0; i < 300000; ++i) tip = tree.CopySubtree(leaf, tip);
    // The tree's own destruction takes this chain apart.
}

TEST(MapTreeSize, ThirtyThousandNodes) {
    Project p;
    QByteArray file = "Grande\r\n";
    Names maps;
    for (int f = 0; f < 100; ++f) {
        file.append("\tPasta" + QByteArray::number(f) + "\r\n");
        for (int m = 0; m < 299; ++m) {
            const QByteArray name = "Mapa" + QByteArray::number(f) + "_" + QByteArray::number(m) + ".xml";
            file.append("\t\t" + name + "\r\n");
            if (m % 2 == 0) maps.push_back(name.toStdString());
        }
    }
    for (int m = 0; m < 100; ++m) file.append("\tSolto" + QByteArray::number(m) + ".xml\r\n");
    Project withFile(&file);
    MapTree tree;
    tree.CriaProjeto("Grande");
    tree.LoadProject(withFile.folder(), "Grande", maps);
    EXPECT_EQ(tree.count(), 1u + 100u + 29900u + 100u);
    EXPECT_EQ(GetNodeType(node(tree, "Mapa99_298.xml")), kKindMap);
    EXPECT_EQ(GetNodeType(node(tree, "Mapa99_297.xml")), kKindContainer);
    EXPECT_EQ(tree.root()->childCount(), 200);
    EXPECT_EQ(node(tree, "Solto99.xml")->index(), 199);
    tree.SaveProject(p.folder());
    EXPECT_EQ(p.treeFile(), file);
    // A drop into a full folder lands at its end.
    EXPECT_EQ(tree.DropNode(node(tree, "Solto0.xml"), node(tree, "Pasta0"), p.folder()).outcome, DropOutcome::Moved);
    EXPECT_EQ(node(tree, "Solto0.xml")->index(), 299);
    EXPECT_EQ(node(tree, "Solto1.xml")->index(), 100);
}
