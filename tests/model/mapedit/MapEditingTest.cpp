// Map edits as commands of the session, without a window: pastes of a whole
// cell, of the event alone and of the tiles alone, fills and rectangles,
// strokes that are one step, events set by the event editor's link, the
// picker, and what reaches the map file after undo and save.
#include "model/mapedit/MapEditing.h"
#include "ProjectFixture.h"
#include "ScriptedPrompts.h"
#include "model/core/MapFile.h"
#include "model/session/Workspace.h"

#include <QUndoStack>
#include <gtest/gtest.h>

using namespace quillmark;

namespace {

struct Editing {
    explicit Editing(qmtest::ProjectFixture& fixture) : ws(std::make_unique<qmtest::ScriptedPrompts>()) {
        ws.session().setEditorFolder(qmtest::binFolder());
        MapGrid g;
        g.newGrid(10);
        g.setTipo(2, 2, 'G');
        g.setFundo(2, 2, 'H');
        g.setXO(2, 2, 'X');
        g.setEvento(2, 2, "OnActionPress>ShowMessage:Ol\xE1&");
        fixture.addMap("Vila.xml", g);
        ws.session().openProject(fixture.projectFile());
        QObject::connect(&ws.session(), &EditorSession::cellsEdited, [this](int r1, int c1, int r2, int c2) {
            told.push_back({r1, c1, r2, c2});
        });
    }
    EditorSession& session() { return ws.session(); }
    MapEditing& edits() { return ws.session().mapEditing(); }
    QUndoStack& stack() { return ws.session().undoStack(); }
    CellState cell(int r, int c) { return readCell(ws.session().grid(), r, c); }

    Workspace ws;
    std::vector<std::vector<int>> told;
};

}  // namespace

TEST(MapEditingCommands, PastesOfAWholeCellAnEventAndTilesAreEachOneStepUndoneExactly) {
    qmtest::ProjectFixture fixture;
    Editing e(fixture);
    const CellState source = e.cell(2, 2);
    const CellState target = e.cell(5, 6);
    ASSERT_NE(source, target);

    // nothing copied yet: no paste, no step
    EXPECT_FALSE(e.session().pasteCell(5, 6));
    EXPECT_FALSE(e.session().pasteEvent(5, 6));
    EXPECT_FALSE(e.session().pasteImage(5, 6));
    EXPECT_EQ(e.stack().count(), 0);

    int stateChanges = 0;
    QObject::connect(&e.session(), &EditorSession::stateChanged, [&] { ++stateChanges; });
    e.session().copyCell(2, 2);
    e.session().copyEvent(2, 2);
    e.session().copyImage(2, 2);
    EXPECT_EQ(stateChanges, 3);  // the paste entries follow each buffer

    // the whole cell
    ASSERT_TRUE(e.session().pasteCell(5, 6));
    EXPECT_EQ(e.cell(5, 6), source);
    EXPECT_EQ(e.stack().count(), 1);
    EXPECT_EQ(e.stack().text(0), "Colar");
    EXPECT_TRUE(e.session().modified());
    EXPECT_EQ(e.told.back(), (std::vector<int>{5, 6, 5, 6}));
    e.stack().undo();
    EXPECT_EQ(e.cell(5, 6), target);
    EXPECT_FALSE(e.session().modified());

    // the event alone: the tiles and the mark stay
    ASSERT_TRUE(e.session().pasteEvent(5, 6));
    CellState eventOnly = target;
    eventOnly.evento = source.evento;
    EXPECT_EQ(e.cell(5, 6), eventOnly);
    e.stack().undo();
    EXPECT_EQ(e.cell(5, 6), target);

    // the tiles alone: the event and the mark stay
    ASSERT_TRUE(e.session().pasteImage(5, 6));
    CellState tilesOnly = target;
    tilesOnly.tipo = source.tipo;
    tilesOnly.fundo = source.fundo;
    EXPECT_EQ(e.cell(5, 6), tilesOnly);
    e.stack().undo();
    EXPECT_EQ(e.cell(5, 6), target);
    e.stack().redo();
    EXPECT_EQ(e.cell(5, 6), tilesOnly);

    // a paste onto the cell it came from changes nothing and leaves no step
    const int steps = e.stack().count();
    const int at = e.stack().index();
    e.session().pasteCell(2, 2);
    EXPECT_EQ(e.stack().index(), at);
    EXPECT_LE(e.stack().count(), steps);

    // a cell outside the map is refused before anything changes
    EXPECT_THROW(e.session().pasteCell(11, 1), Error);
    EXPECT_THROW(e.session().copyCell(0, 3), Error);
}

TEST(MapEditingCommands, FloodFillAndRectangleAreOneStepEach) {
    qmtest::ProjectFixture fixture;
    Editing e(fixture);
    const MapGrid loaded = e.ws.session().grid();
    // the fill stops at the one other cell; every other cell of the map takes the code
    EXPECT_EQ(e.edits().fill(EditLayer::Tipo, 1, 1, '6'), 99);
    EXPECT_EQ(e.ws.session().grid().tipo(10, 10), '6');
    EXPECT_EQ(e.ws.session().grid().tipo(2, 2), 'G');
    EXPECT_EQ(e.stack().count(), 1);
    EXPECT_EQ(e.told.back(), (std::vector<int>{1, 1, 10, 10}));
    EXPECT_EQ(e.edits().fillRectangle(EditLayer::Fundo, 4, 7, 2, 3, 'A'), 15);
    EXPECT_EQ(e.stack().count(), 2);
    EXPECT_EQ(e.told.back(), (std::vector<int>{2, 3, 4, 7}));

    e.stack().undo();
    EXPECT_EQ(e.ws.session().grid().Fundo, loaded.Fundo);
    EXPECT_NE(e.ws.session().grid().Tipo, loaded.Tipo);
    e.stack().undo();
    EXPECT_EQ(e.ws.session().grid().Tipo, loaded.Tipo);
    EXPECT_FALSE(e.session().modified());
    // a fill with the value the area has is no step
    EXPECT_EQ(e.edits().fill(EditLayer::Tipo, 1, 1, '0'), 0);
    EXPECT_EQ(e.stack().index(), 0);
    EXPECT_TRUE(e.stack().canRedo());
}

TEST(MapEditingCommands, AStrokeIsOneStepAndAStrokeAfterASaveIsAnother) {
    qmtest::ProjectFixture fixture;
    Editing e(fixture);
    e.edits().beginStroke();
    for (int c = 1; c <= 6; ++c) e.edits().paint(EditLayer::Tipo, 7, c, 'B');
    e.edits().paint(EditLayer::Tipo, 7, 3, 'C');  // crossed twice: its first contents stay
    e.edits().endStroke();
    EXPECT_EQ(e.stack().count(), 1);
    EXPECT_EQ(e.stack().text(0), "Pintar");
    e.session().save();
    EXPECT_FALSE(e.session().modified());

    e.edits().beginStroke();
    e.edits().paint(EditLayer::Tipo, 8, 1, 'D');
    e.edits().paint(EditLayer::Tipo, 8, 2, 'D');
    e.edits().endStroke();
    e.edits().paint(EditLayer::Tipo, 9, 1, 'E');  // a click of its own
    EXPECT_EQ(e.stack().count(), 3);
    e.stack().undo();
    e.stack().undo();
    EXPECT_FALSE(e.session().modified());  // back at the saved map
    EXPECT_EQ(e.ws.session().grid().tipo(8, 1), '0');
    e.stack().undo();
    for (int c = 1; c <= 6; ++c) EXPECT_EQ(e.ws.session().grid().tipo(7, c), '0') << c;
    e.stack().redo();
    EXPECT_EQ(e.ws.session().grid().tipo(7, 3), 'C');
    EXPECT_EQ(e.ws.session().grid().tipo(7, 6), 'B');
    EXPECT_FALSE(e.session().modified());
}

TEST(MapEditingCommands, TheEventEditorsResultIsOneStepEvenWhenUnchanged) {
    qmtest::ProjectFixture fixture;
    Editing e(fixture);
    std::vector<std::string> opened;
    e.session().links().eventScript.fill([&](const std::string& text) {
        opened.push_back("script:" + text);
        return std::string("OnPlayerTouch>IniciaChuva:");
    });
    e.session().links().eventSelector.fill([&] {
        opened.push_back("selector");
        return std::string("NULL");
    });
    e.session().editEvent(2, 2);  // a cell with an event: the script window
    e.session().editEvent(3, 3);  // none: the selector, closed without a choice
    EXPECT_EQ(opened, (std::vector<std::string>{"script:OnActionPress>ShowMessage:Ol\xE1&", "selector"}));
    EXPECT_EQ(e.ws.session().grid().evento(2, 2), "OnPlayerTouch>IniciaChuva:");
    EXPECT_EQ(e.ws.session().grid().evento(3, 3), "NULL");
    EXPECT_EQ(e.stack().count(), 2);
    EXPECT_TRUE(e.session().modified());
    e.stack().undo();
    e.stack().undo();
    EXPECT_EQ(e.ws.session().grid().evento(2, 2), "OnActionPress>ShowMessage:Ol\xE1&");
    EXPECT_FALSE(e.session().modified());
}

TEST(MapEditingCommands, ThePickerTakesTheLayersCodeAsTheBrushAndNothingInTheEventLayer) {
    qmtest::ProjectFixture fixture;
    Editing e(fixture);
    std::vector<int> picked;
    QObject::connect(&e.session(), &EditorSession::brushPicked, [&](unsigned char c) { picked.push_back(c); });
    EXPECT_TRUE(e.session().pickBrush(EditLayer::Tipo, 2, 2));
    EXPECT_EQ(e.ws.session().brushCode(), 'G');
    EXPECT_TRUE(e.session().pickBrush(EditLayer::Fundo, 2, 2));
    EXPECT_EQ(e.ws.session().brushCode(), 'H');
    EXPECT_FALSE(e.session().pickBrush(EditLayer::XO, 2, 2));
    EXPECT_EQ(e.ws.session().brushCode(), 'H');
    EXPECT_EQ(picked, (std::vector<int>{'G', 'H'}));
    EXPECT_EQ(e.stack().count(), 0);  // the map is untouched
}

TEST(MapEditingCommands, WhatIsSavedAfterUndoingAPasteIsTheMapAsLoaded) {
    qmtest::ProjectFixture fixture;
    Editing e(fixture);
    e.session().save();
    const QByteArray original = fixture.dir.read("Mapas/Vila.xml");
    e.session().copyCell(2, 2);
    e.session().pasteCell(9, 9);
    e.session().save();
    MapGrid saved;
    Abrir(saved, fixture.folder() + "Mapas/Vila.xml");
    EXPECT_EQ(saved.evento(9, 9), "OnActionPress>ShowMessage:Ol\xE1&");
    EXPECT_EQ(saved.xo(9, 9), 'X');
    e.stack().undo();
    e.session().save();
    EXPECT_EQ(fixture.dir.read("Mapas/Vila.xml"), original);
}
