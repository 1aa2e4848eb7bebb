// What the windows change in the session's state goes through its setters
// and commands, each announced once; the "Game" page's entries and the
// opening a command-line tool uses, checked on disk.
#include "Errors.h"
#include "HeadlessEditor.h"
#include "PaintedMap.h"

#include "model/core/Error.h"
#include "model/core/MapFile.h"
#include "model/core/Paths.h"
#include "model/database/DatabasePages.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <vector>

using namespace quillmark;

namespace {

TEST(SessionState, EachSetterTellsAChangeOnceAndASameValueNotAtAll) {
    qmtest::HeadlessEditor e;
    EditorSession& s = e.session();
    std::vector<int> cell;
    int view = 0;
    std::vector<unsigned char> brush;
    QObject::connect(&s, &EditorSession::cellSizeChanged, [&](int px) { cell.push_back(px); });
    QObject::connect(&s, &EditorSession::viewOptionsChanged, [&] { ++view; });
    QObject::connect(&s, &EditorSession::brushChanged, [&](unsigned char code) { brush.push_back(code); });

    EXPECT_EQ(s.cellSize(), 40);
    s.setCellSize(40);
    s.setCellSize(64);
    s.setCellSize(64);
    EXPECT_EQ(cell, std::vector<int>{64});
    EXPECT_EQ(s.cellSize(), 64);

    EXPECT_TRUE(s.showEventos());
    EXPECT_TRUE(s.showObjetos());
    EXPECT_FALSE(s.showCordenadas());
    s.setShowEventos(true);
    s.setShowCordenadas(false);
    EXPECT_EQ(view, 0);
    s.setShowEventos(false);
    s.setShowObjetos(false);
    s.setShowCordenadas(true);
    EXPECT_EQ(view, 3);
    EXPECT_FALSE(s.showEventos());
    EXPECT_FALSE(s.showObjetos());
    EXPECT_TRUE(s.showCordenadas());

    // The brush before a tile is chosen, then a palette tile.
    s.resetStartBrush();
    EXPECT_EQ(s.brushCode(), 'G');
    EXPECT_EQ(s.brushImage().image(),
              Picture::fromFile(projectPath(qmtest::binFolder(), std::string_view("Imagens\\Image0.bmp"))).image());
    QImage red(40, 40, QImage::Format_RGB32);
    red.fill(qRgb(255, 0, 0));
    s.setBrush('6', Picture(red));
    EXPECT_EQ(brush, std::vector<unsigned char>{'6'});
    EXPECT_EQ(s.brushCode(), '6');
    EXPECT_EQ(s.brushImage().image().pixel(3, 3), qRgb(255, 0, 0));
}

TEST(SessionState, TheCopyBuffersFillFromTheLoadedMapAndOutliveIt) {
    qmtest::ProjectFixture p;
    MapGrid g = qmtest::paintedGrid(6);
    g.setEvento(2, 3, "OnActionPress>;");
    p.addMap("Vila.xml", g);
    qmtest::HeadlessEditor e;
    ASSERT_TRUE(e.open(p.projectFile()));
    EditorSession& s = e.session();
    int state = 0;
    QObject::connect(&s, &EditorSession::stateChanged, [&] { ++state; });
    EXPECT_FALSE(s.copiedCell());
    EXPECT_TRUE(s.copiedEvent().empty());
    EXPECT_FALSE(s.copiedImage());

    s.copyCell(2, 3);
    s.copyEvent(2, 3);
    s.copyImage(4, 5);
    EXPECT_EQ(state, 3);  // the paste commands follow each
    ASSERT_TRUE(s.copiedCell());
    EXPECT_EQ(s.copiedCell()->event, "OnActionPress>;");
    EXPECT_EQ(s.copiedEvent(), "OnActionPress>;");
    ASSERT_TRUE(s.copiedImage());
    EXPECT_EQ(s.copiedImage()->Tipo, g.tipo(4, 5));
    EXPECT_EQ(s.copiedImage()->Fundo, g.fundo(4, 5));
    EXPECT_THROW(s.copyImage(7, 1), Error);  // outside the map: the buffer stays
    EXPECT_EQ(s.copiedImage()->Tipo, g.tipo(4, 5));

    s.closeProject();
    EXPECT_TRUE(s.copiedCell());
    EXPECT_EQ(s.copiedEvent(), "OnActionPress>;");
}

TEST(SessionState, TheGamePageEntriesAreWrittenOrNothingChanges) {
    qmtest::ProjectFixture p;
    p.addMap("Vila.xml");
    qmtest::HeadlessEditor e;
    ASSERT_TRUE(e.open(p.projectFile()));
    EditorSession& s = e.session();
    int told = 0;
    QObject::connect(&s, &EditorSession::heroStartChanged, [&] { ++told; });

    GameEntries entries = gameEntriesFrom(s.project());
    entries.nome = "Reino";
    entries.autor = "Outra";
    entries.x = "280";
    entries.y = "180";
    s.setGameEntries(entries);
    EXPECT_EQ(told, 1);
    EXPECT_EQ(s.project().ProjectName, "Reino");
    EXPECT_EQ(s.project().ProjectAuthor, "Outra");
    EXPECT_EQ(s.project().CharX, 280);
    EXPECT_EQ(s.project().CharY, 180);
    const QByteArray written = p.dir.read("Aventura.qmk");
    EXPECT_TRUE(written.startsWith("Project Name:Reino\r\nProject Autor:Outra\r\n")) << written.toStdString();

    // A position that is not a number: the file and the state stay.
    GameEntries bad = entries;
    bad.nome = "Outro";
    bad.y = "1O";
    EXPECT_EQ(qmtest::errorOf([&] { s.setGameEntries(bad); }), "'1O' is not a valid integer value");
    EXPECT_EQ(s.project().ProjectName, "Reino");
    EXPECT_EQ(p.dir.read("Aventura.qmk"), written);

    // A project file that cannot be replaced: the state stays as it was.
    QFile::remove(p.projectFile());
    ASSERT_TRUE(QDir().mkpath(p.projectFile()));
    bad.y = "220";
    EXPECT_THROW(s.setGameEntries(bad), Error);
    EXPECT_EQ(s.project().ProjectName, "Reino");
    EXPECT_EQ(s.project().CharY, 180);
    EXPECT_EQ(told, 1);
}

TEST(ToolOpening, OpensTheTilesAndTheNamedMapWithoutTheFirstMapOrTheOtherTables) {
    qmtest::ProjectFixture p;
    p.addMap("Vila.xml");
    MapGrid lago = qmtest::paintedGrid(9);
    p.addMap("LAGO.XML", lago);
    qmtest::HeadlessEditor e;
    EditorSession& s = e.session();
    s.openProjectForTool(p.projectFile());
    EXPECT_TRUE(s.projectOpen());
    EXPECT_FALSE(s.mapLoaded());
    EXPECT_EQ(s.grid().CurrentMap, "");
    EXPECT_TRUE(s.tables().cdsTiles.active());
    EXPECT_FALSE(s.tables().cdsMonstros.active());
    EXPECT_EQ(s.tiles().count(), TileCache::kEntries);
    EXPECT_TRUE(e.prompts->asked().empty());  // a tool is asked nothing

    // The map a tool names, found without regard to letter case.
    ASSERT_TRUE(s.openMap(projectPath(s.project().ProjectFolder, std::string("Mapas\\Lago.xml")), "Lago.xml"));
    EXPECT_TRUE(s.mapLoaded());
    EXPECT_EQ(s.grid().CurrentMap, "Lago.xml");
    EXPECT_EQ(s.grid().N, 9);
    EXPECT_EQ(s.grid().tipo(3, 4), lago.tipo(3, 4));

    // Only the project file: a damaged tiles table is never read.
    p.dir.write("Data/Tiles.xml", "<broken");
    qmtest::HeadlessEditor dump;
    dump.session().openProjectForTool(p.projectFile(), EditorSession::ToolNeeds::ProjectFile);
    EXPECT_FALSE(dump.session().tables().cdsTiles.active());
    EXPECT_EQ(dump.session().project().MapList.size(), 2);
}

TEST(ToolOpening, FailsWithTheEditorsErrorsAndLeavesNoProjectOpen) {
    // The error of the editor's open and of the tool's, and whether the tool left a project open.
    auto bothOpen = [](const QString& projectFile) {
        qmtest::HeadlessEditor editor, tool;
        const std::string byEditor = qmtest::errorOf([&] { editor.session().openProject(projectFile); });
        const std::string byTool = qmtest::errorOf([&] { tool.session().openProjectForTool(projectFile); });
        EXPECT_NE(byTool, "(no error)");
        EXPECT_EQ(byTool, byEditor);
        EXPECT_FALSE(tool.session().projectOpen());
        EXPECT_EQ(tool.session().project().ProjectFolder, "");
    };
    qmtest::ProjectFixture p;
    p.addMap("Vila.xml");
    // A project file cut short.
    p.dir.write("Aventura.qmk", "Project Name:Aventura\r\nProject Autor:Eu\r\n");
    bothOpen(p.projectFile());
    // A damaged tiles table.
    qmtest::ProjectFixture q;
    q.addMap("Vila.xml");
    q.dir.write("Data/Tiles.xml", "<broken");
    bothOpen(q.projectFile());
}

}  // namespace
