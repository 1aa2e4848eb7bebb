// Map edits as undo steps: what a step records, flood and rectangle fills,
// undo and redo restoring exact cells (event texts included), and the
// session's stack: Modified follows its clean state, the stack empties when
// another map is loaded, and what is saved after an undo is the undone map.
#include "model/mapedit/MapEdits.h"
#include "ProjectFixture.h"
#include "ScriptedPrompts.h"
#include "model/core/MapFile.h"
#include "model/mapedit/MapEditing.h"
#include "model/mapedit/NewMap.h"
#include "model/session/Workspace.h"

#include <QUndoStack>
#include <gtest/gtest.h>

using namespace quillmark;

namespace {

// A grid drawn from rows of characters, one character per cell of Tipo.
MapGrid gridOf(const std::vector<std::string>& rows) {
    MapGrid g;
    g.newGrid(static_cast<int>(rows.size()));
    for (int r = 1; r <= g.N; ++r)
        for (int c = 1; c <= g.N; ++c) g.setTipo(r, c, static_cast<unsigned char>(rows[r - 1][c - 1]));
    return g;
}

std::vector<std::string> rowsOf(const MapGrid& g, EditLayer layer = EditLayer::Tipo) {
    std::vector<std::string> rows;
    for (int r = 1; r <= g.N; ++r) {
        std::string row;
        for (int c = 1; c <= g.N; ++c) row += static_cast<char>(layerValue(g, layer, r, c));
        rows.push_back(row);
    }
    return rows;
}

}  // namespace

TEST(MapEdits, ARecorderKeepsEachCellsFirstContentsAndDropsCellsThatEndAsTheyBegan) {
    MapGrid g;
    g.newGrid(5);
    EditRecorder rec(g);
    rec.touch(1, 1);
    g.setTipo(1, 1, 'A');
    rec.touch(1, 1);  // a second touch keeps the first contents
    g.setTipo(1, 1, 'B');
    rec.touch(2, 2);
    g.setXO(2, 2, 'X');
    g.setXO(2, 2, 'O');  // back as it was
    rec.touch(3, 3);
    g.setEvento(3, 3, "OnActionPress;Msg(Oi)");
    const std::vector<CellChange> changes = rec.take();
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(changes[0].row, 1);
    EXPECT_EQ(changes[0].before.tipo, '0');
    EXPECT_EQ(changes[0].after.tipo, 'B');
    EXPECT_EQ(changes[1].before.evento, "");
    EXPECT_EQ(changes[1].after.evento, "OnActionPress;Msg(Oi)");
    EXPECT_FALSE(rec.touched());
    const CellBounds b = boundsOf(changes);
    EXPECT_EQ(b.firstRow, 1);
    EXPECT_EQ(b.lastRow, 3);
    EXPECT_EQ(b.lastColumn, 3);
}

TEST(MapEdits, FloodFillStopsAtOtherCodesAndAtTheEdge) {
    struct Case {
        const char* what;
        std::vector<std::string> before;
        int row, column;
        std::vector<std::string> after;
        int changed;
    };
    const Case cases[] = {
        {"an enclosed area",
         {"aaaaa", "abbba", "ab.ba", "abbba", "aaaaa"},
         3,
         3,
         {"aaaaa", "abbba", "abzba", "abbba", "aaaaa"},
         1},
        {"a ring stops at the inside and the edge",
         {"aaaaa", "abbba", "ab.ba", "abbba", "aaaaa"},
         1,
         1,
         {"zzzzz", "zbbbz", "zb.bz", "zbbbz", "zzzzz"},
         16},
        {"diagonals do not connect", {"ab", "ba"}, 1, 1, {"zb", "ba"}, 1},
        {"the whole map", {"aaa", "aaa", "aaa"}, 2, 2, {"zzz", "zzz", "zzz"}, 9},
        {"a winding path",
         {"a.aaa", "a.a.a", "a.a.a", "aaa.a", "....a"},
         1,
         1,
         {"z.zzz", "z.z.z", "z.z.z", "zzz.z", "....z"},
         15},
        {"a path that ends",
         {"a.aaa", "a.a.a", "a.a.a", "aa..a", "....a"},
         1,
         1,
         {"z.aaa", "z.a.a", "z.a.a", "zz..a", "....a"},
         5},
    };
    for (const Case& c : cases) {
        MapGrid g = gridOf(c.before);
        EditRecorder rec(g);
        EXPECT_EQ(floodFill(g, rec, EditLayer::Tipo, c.row, c.column, 'z'), c.changed) << c.what;
        EXPECT_EQ(rowsOf(g), c.after) << c.what;
        EXPECT_EQ(rec.take().size(), static_cast<size_t>(c.changed)) << c.what;
        // the other layers are left alone
        EXPECT_EQ(rowsOf(g, EditLayer::Fundo), std::vector<std::string>(g.N, std::string(g.N, '0'))) << c.what;
    }
    // filling with the value the area has changes nothing; outside the map neither
    MapGrid g = gridOf({"aa", "aa"});
    EditRecorder rec(g);
    EXPECT_EQ(floodFill(g, rec, EditLayer::Tipo, 1, 1, 'a'), 0);
    EXPECT_EQ(floodFill(g, rec, EditLayer::Tipo, 3, 1, 'z'), 0);
    // cells beyond the square in use are never reached
    g.setTipo(1, 3, 'a');
    EXPECT_EQ(floodFill(g, rec, EditLayer::Tipo, 1, 1, 'z'), 4);
    EXPECT_EQ(g.tipo(1, 3), 'a');
}

TEST(MapEdits, FloodFillWorksOnTheLowerLayerAndTheMarks) {
    MapGrid g;
    g.newGrid(4);
    g.setFundo(2, 1, '5');
    g.setFundo(2, 2, '5');
    g.setFundo(2, 3, '5');
    g.setFundo(2, 4, '5');
    EditRecorder rec(g);
    EXPECT_EQ(floodFill(g, rec, EditLayer::Fundo, 1, 1, '7'), 4);
    EXPECT_EQ(rowsOf(g, EditLayer::Fundo), (std::vector<std::string>{"7777", "5555", "0000", "0000"}));
    EXPECT_EQ(rowsOf(g, EditLayer::Tipo), std::vector<std::string>(4, "0000"));
    g.setXO(3, 3, 'X');
    EXPECT_EQ(floodFill(g, rec, EditLayer::XO, 1, 1, 'X'), 15);
    EXPECT_EQ(rowsOf(g, EditLayer::XO), std::vector<std::string>(4, "XXXX"));
}

TEST(MapEdits, RectangleFillTakesEitherCornerFirstAndIsCutToTheMap) {
    MapGrid g;
    g.newGrid(5);
    g.setTipo(3, 3, 'z');
    EditRecorder rec(g);
    EXPECT_EQ(fillRectangle(g, rec, EditLayer::Tipo, 4, 4, 2, 2, 'z'), 8);  // (3, 3) had it already
    EXPECT_EQ(rowsOf(g), (std::vector<std::string>{"00000", "0zzz0", "0zzz0", "0zzz0", "00000"}));
    EXPECT_EQ(fillRectangle(g, rec, EditLayer::Tipo, 5, 5, 9, 9, 'y'), 1);
    EXPECT_EQ(g.tipo(5, 5), 'y');
    EXPECT_EQ(g.tipo(6, 6), '0');  // beyond the map: untouched
    EXPECT_EQ(rec.take().size(), 9u);
}

TEST(MapEdits, UndoAndRedoRestoreTheExactCells) {
    MapGrid g;
    g.newGrid(6);
    g.setEvento(2, 2, "OnActionPress;Msg(Olá)");
    g.setXO(3, 3, 'X');
    const MapGrid saved = g;
    int told = 0;
    CellBounds last;
    QUndoStack stack;

    EditRecorder rec(g);
    for (const auto& [r, c] : {std::pair{2, 2}, {3, 3}, {6, 6}}) {
        rec.touch(r, c);
        g.setTipo(r, c, '\xB4');  // an animated tile
        g.setFundo(r, c, '7');
        g.setXO(r, c, 'O');
        g.setEvento(r, c, "AddChar:Zeca|3");
    }
    const MapGrid edited = g;
    stack.push(new MapEditCommand(
        g, rec.take(), "Pintar",
        [&](const CellBounds& b) {
            ++told;
            last = b;
        },
        true));
    EXPECT_EQ(told, 0);  // already shown
    stack.undo();
    EXPECT_EQ(g.Tipo, saved.Tipo);
    EXPECT_EQ(g.Fundo, saved.Fundo);
    EXPECT_EQ(g.XO, saved.XO);
    EXPECT_EQ(g.Evento, saved.Evento);
    EXPECT_EQ(told, 1);
    EXPECT_EQ(last.firstRow, 2);
    EXPECT_EQ(last.lastColumn, 6);
    stack.redo();
    EXPECT_EQ(g.Tipo, edited.Tipo);
    EXPECT_EQ(g.Evento, edited.Evento);
    EXPECT_EQ(g.XO, edited.XO);
    EXPECT_EQ(told, 2);
}

// --- the session's stack ---------------------------------------------------------------

namespace {

struct Session {
    explicit Session(qmtest::ProjectFixture& fixture) : ws(std::make_unique<qmtest::ScriptedPrompts>()) {
        ws.session().setEditorFolder(qmtest::binFolder());
        fixture.addMap("Vila.xml");
        fixture.addMap("Lago.xml");
        ws.session().openProject(fixture.projectFile());
    }
    // Paints cells as one step.
    void paint(std::initializer_list<std::pair<int, int>> cells, unsigned char code) {
        std::vector<std::pair<int, int>> list(cells);
        ws.session().mapEditing().edit("Pintar", [list, code](MapGrid& grid, EditRecorder& rec) {
            for (const auto& [r, c] : list) {
                rec.touch(r, c);
                grid.setTipo(r, c, code);
            }
        });
    }
    EditorSession& session() { return ws.session(); }
    QUndoStack& stack() { return ws.session().undoStack(); }
    qmtest::ScriptedPrompts& prompts() { return static_cast<qmtest::ScriptedPrompts&>(ws.prompts()); }
    Workspace ws;
};

}  // namespace

TEST(EditingSession, ModifiedFollowsTheCleanStateOfTheStack) {
    qmtest::ProjectFixture fixture;
    Session s(fixture);
    ASSERT_TRUE(s.session().mapLoaded());
    std::vector<bool> announced;
    QObject::connect(&s.session(), &EditorSession::modifiedChanged, [&](bool m) { announced.push_back(m); });

    s.paint({{1, 1}}, 'A');
    s.paint({{2, 2}, {2, 3}}, 'B');
    EXPECT_TRUE(s.session().modified());
    EXPECT_EQ(s.stack().count(), 2);
    s.stack().undo();
    EXPECT_TRUE(s.session().modified());
    s.stack().undo();
    EXPECT_FALSE(s.session().modified());  // back to the map as loaded
    EXPECT_EQ(announced, (std::vector<bool>{true, false}));
    // no needless question: closing the project asks nothing
    EXPECT_TRUE(s.session().askToSaveChanges());
    EXPECT_TRUE(s.prompts().asked().empty());

    // an edit that changes nothing is no step
    s.paint({{3, 3}}, '0');
    EXPECT_EQ(s.stack().count(), 2);
    EXPECT_FALSE(s.session().modified());

    // saved after a redo, the saved state is the clean one
    s.stack().redo();
    s.session().save();
    EXPECT_FALSE(s.session().modified());
    s.stack().undo();
    EXPECT_TRUE(s.session().modified());
    s.stack().redo();
    EXPECT_FALSE(s.session().modified());
}

TEST(EditingSession, AChangeOutsideTheStackNeverCountsAsUndoneToTheSavedMap) {
    qmtest::ProjectFixture fixture;
    Session s(fixture);
    s.paint({{1, 1}}, 'A');
    s.session().markModified();
    s.stack().undo();
    EXPECT_TRUE(s.session().modified());
    s.session().save();
    EXPECT_FALSE(s.session().modified());
}

TEST(EditingSession, TheStackEmptiesWhenAnotherMapIsLoadedCreatedOrTheProjectCloses) {
    qmtest::ProjectFixture fixture;
    Session s(fixture);
    s.paint({{1, 1}}, 'A');
    s.prompts().answer(Answer::No);
    ASSERT_TRUE(s.session().openMap(fixture.folder() + "Mapas/Lago.xml", "Lago.xml"));
    EXPECT_EQ(s.stack().count(), 0);
    EXPECT_FALSE(s.stack().canUndo());
    EXPECT_FALSE(s.session().modified());
    // a step of the former map cannot touch this one
    EXPECT_EQ(s.ws.session().grid().tipo(1, 1), '0');

    s.paint({{1, 1}}, 'A');
    s.prompts().answer(Answer::No);
    ASSERT_TRUE(s.session().newMap("Deserto", 30));
    EXPECT_EQ(s.stack().count(), 0);
    EXPECT_EQ(s.ws.session().grid().N, 30);

    s.paint({{30, 30}}, 'A');
    s.session().closeProject();
    EXPECT_EQ(s.stack().count(), 0);
    EXPECT_FALSE(s.session().modified());
}

TEST(EditingSession, WhatIsSavedAfterAnUndoIsTheUndoneMap) {
    qmtest::ProjectFixture fixture;
    Session s(fixture);
    const QString file = fixture.folder() + "Mapas/Vila.xml";
    s.session().save();
    const QByteArray original = fixture.dir.read("Mapas/Vila.xml");
    s.session().mapEditing().edit("Evento", [](MapGrid& grid, EditRecorder& rec) {
        rec.touch(4, 4);
        grid.setEvento(4, 4, "OnPlayerTouch;Msg(Tchau)");
        grid.setXO(4, 4, 'X');
        grid.setFundo(4, 4, '\xBF');
    });
    s.session().save();
    EXPECT_NE(fixture.dir.read("Mapas/Vila.xml"), original);
    s.stack().undo();
    s.session().save();
    EXPECT_EQ(fixture.dir.read("Mapas/Vila.xml"), original);
    s.stack().redo();
    MapGrid reread;
    s.session().save();
    Abrir(reread, file);
    EXPECT_EQ(reread.evento(4, 4), "OnPlayerTouch;Msg(Tchau)");
    EXPECT_EQ(reread.fundo(4, 4), 0xBF);
}

TEST(EditingSession, AppliedEditsAnnounceTheirCells) {
    qmtest::ProjectFixture fixture;
    Session s(fixture);
    std::vector<std::vector<int>> told;
    QObject::connect(&s.session(), &EditorSession::cellsEdited, [&](int r1, int c1, int r2, int c2) {
        told.push_back({r1, c1, r2, c2});
    });
    s.session().mapEditing().fill(EditLayer::Tipo, 1, 1, 'G');
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0], (std::vector<int>{1, 1, 14, 14}));
    s.stack().undo();
    EXPECT_EQ(told.size(), 2u);
    EXPECT_EQ(s.ws.session().grid().tipo(14, 14), '0');
}

TEST(NewMapSize, OnlyWholeNumbersFromOneToAHundred) {
    EXPECT_EQ(parseMapSize("1"), 1);
    EXPECT_EQ(parseMapSize("100"), 100);
    EXPECT_EQ(parseMapSize(" 14 "), 14);
    for (const char* bad : {"0", "101", "-1", "", "abc", "1e2", "14.5", "99999999999"})
        EXPECT_FALSE(parseMapSize(bad).has_value()) << bad;
}
