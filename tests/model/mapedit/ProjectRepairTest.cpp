// What a cut-short command leaves, found and mended; what cannot be mended is
// reported and left alone.
#include "model/mapedit/ProjectRepair.h"
#include "ProjectFixture.h"

#include "model/core/MapTree.h"
#include "model/core/ProjectFile.h"

#include <gtest/gtest.h>

#include <map>

using namespace quillmark;

namespace {

struct Opened {
    ProjectState project;
    MapTree tree;
    explicit Opened(const qmtest::ProjectFixture& fixture) {
        readProjectFile(fixture.projectFile(), project);
        tree.CriaProjeto(project.ProjectName);
        tree.LoadProject(project);
    }
};

}  // namespace

TEST(ProjectRepair, FindsMendsAndLeavesWhatItCannotMend) {
    qmtest::ProjectFixture fixture;
    fixture.addMap("Vila.xml");
    const QByteArray vila = fixture.dir.read("Mapas/Vila.xml");
    fixture.dir.write("Mapas/Perdido.xml", vila);        // no list names it
    fixture.dir.write("Mapas/Lixo.xml", "<nada/>");      // not a map
    fixture.dir.write("Mapas/CON.xml", vila);            // a name no map may have
    fixture.dir.write("Mapas/Notas.txt", "não é mapa");  // not a map file at all
    fixture.dir.write("Data/Project.dat", "Aventura\r\n\tCaverna.xml\r\n");
    fixture.dir.write("Mapas/Caverna.xml", vila);  // in the tree, not in the list

    Opened before(fixture);
    const std::vector<ProjectMend> mends = findProjectMends(before.project, before.tree);
    std::map<std::string, ProjectMend::Kind> found;
    for (const ProjectMend& m : mends) found[m.mapFile] = m.kind;
    EXPECT_EQ(found, (std::map<std::string, ProjectMend::Kind>{{"Caverna.xml", ProjectMend::Kind::ListTreeMap},
                                                               {"CON.xml", ProjectMend::Kind::UnreadableMap},
                                                               {"Lixo.xml", ProjectMend::Kind::UnreadableMap},
                                                               {"Perdido.xml", ProjectMend::Kind::AddUnlistedMap}}));

    EXPECT_EQ(applyProjectMends(before.project, before.tree, mends), 2);
    // the files say the same as the state: the maps join the list in the order found, each once
    Opened after(fixture);
    EXPECT_EQ(after.project.mapFileNames(), (std::vector<std::string>{"Vila.xml", "Caverna.xml", "Perdido.xml"}));
    EXPECT_EQ(after.project.InitialMap, "Vila.xml");
    int mapNodes = 0;
    for (const TreeNode* node : after.tree.nodesInTreeOrder()) mapNodes += node->imageIndex() == kImageMap;
    EXPECT_EQ(mapNodes, 2);  // Caverna and Perdido; Vila was never in the tree file
    // what is left cannot be mended, and a second repair changes nothing
    const std::vector<ProjectMend> left = findProjectMends(after.project, after.tree);
    EXPECT_EQ(left.size(), 2u);
    for (const ProjectMend& m : left) EXPECT_FALSE(m.canMend()) << m.mapFile;
    const QByteArray projectFile = fixture.dir.read("Aventura.qmk");
    EXPECT_EQ(applyProjectMends(after.project, after.tree, left), 0);
    EXPECT_EQ(fixture.dir.read("Aventura.qmk"), projectFile);
    EXPECT_EQ(fixture.dir.read("Mapas/Lixo.xml"), "<nada/>");
}

TEST(ProjectRepair, TheFirstMapOfAProjectWithoutMapsBecomesItsInitialMap) {
    qmtest::ProjectFixture fixture;
    qmtest::ProjectFixture other;
    other.addMap("Vila.xml");
    fixture.dir.write("Mapas/Vila.xml", other.dir.read("Mapas/Vila.xml"));
    Opened opened(fixture);
    EXPECT_EQ(applyProjectMends(opened.project, opened.tree, findProjectMends(opened.project, opened.tree)), 1);
    ProjectState reread;
    readProjectFile(fixture.projectFile(), reread);
    EXPECT_EQ(reread.InitialMap, "Vila.xml");
    EXPECT_EQ(reread.mapFileNames(), std::vector<std::string>{"Vila.xml"});
}
