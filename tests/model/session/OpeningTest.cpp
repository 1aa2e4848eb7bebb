// Opening a project loads its first map from "Mapas\" as the tree's double-click
// does, and nothing outside the project folder.
#include "ProjectFixture.h"
#include "ScriptedPrompts.h"
#include "model/core/Error.h"
#include "model/core/MapFile.h"
#include "model/core/MapGrid.h"
#include "model/session/Workspace.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace quillmark;

namespace {

MapGrid paintedMap(unsigned char code) {
    MapGrid grid;
    grid.newGrid(6);
    grid.setTipo(2, 3, code);
    return grid;
}

}  // namespace

TEST(OpeningTheFirstMap, AFileWhoseCaseDiffersFromTheListIsOpenedAndSavedInPlace) {
    qmtest::ProjectFixture fixture;
    fixture.addMap("Vila.xml", paintedMap('k'));
    ASSERT_TRUE(QFile::rename(fixture.dir.file("Mapas/Vila.xml"), fixture.dir.file("Mapas/VILA.XML")));

    Workspace ws(std::make_unique<qmtest::ScriptedPrompts>());
    ws.session().setEditorFolder(qmtest::binFolder());
    ws.session().openProject(fixture.projectFile());
    ASSERT_TRUE(ws.session().mapLoaded());
    EXPECT_EQ(ws.session().grid().CurrentMap, "Vila.xml");
    EXPECT_EQ(ws.session().grid().N, 6);
    EXPECT_EQ(ws.session().grid().tipo(2, 3), 'k');

    // Saving writes the same file back rather than a second one.
    ws.session().mapEditing().paint(EditLayer::Tipo, 1, 1, 'm');
    ws.session().save();
    EXPECT_EQ(QDir(fixture.dir.file("Mapas")).entryList(QDir::Files), QStringList{"VILA.XML"});
    MapGrid back;
    Abrir(back, fixture.dir.file("Mapas/VILA.XML"));
    EXPECT_EQ(back.tipo(1, 1), 'm');
    EXPECT_EQ(back.tipo(2, 3), 'k');
}

TEST(OpeningTheFirstMap, AListedNameThatLeavesMapasIsRefusedAndNothingOutsideIsRead) {
    for (const char* listed : {"../../Fora.xml", "..\\Fora.xml", "Sub/Fora.xml", ".."}) {
        qmtest::ProjectFixture fixture;
        fixture.addMap("Vila.xml", paintedMap('k'));
        // A map outside "Mapas\" under every name the list could reach it by.
        fixture.dir.write("Fora.xml", fixture.dir.read("Mapas/Vila.xml"));
        fixture.dir.write("Mapas/Sub/Fora.xml", fixture.dir.read("Mapas/Vila.xml"));
        fixture.maps = {listed, "Vila.xml"};
        fixture.writeProjectFile();
        const QByteArray project = fixture.dir.read("Aventura.qmk");

        Workspace ws(std::make_unique<qmtest::ScriptedPrompts>());
        ws.session().setEditorFolder(qmtest::binFolder());
        std::string error;
        try {
            ws.session().openProject(fixture.projectFile());
        } catch (const Error& e) {
            error = e.what();
        }
        EXPECT_NE(error.find("não pode indicar outra pasta"), std::string::npos) << listed << ": " << error;
        EXPECT_FALSE(ws.session().projectOpen()) << listed;
        EXPECT_FALSE(ws.session().mapLoaded()) << listed;
        EXPECT_EQ(ws.session().grid().N, 0) << listed;
        EXPECT_EQ(fixture.dir.read("Aventura.qmk"), project);
    }
}
