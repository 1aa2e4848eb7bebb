// Map editing: a flood fill of a whole 100 x 100 map, and the undo and the
// redo of such a fill with the shown part of the canvas (1200 x 900) painted
// again. Runs with an offscreen QApplication.
#include "ProjectFixture.h"
#include "ScriptedPrompts.h"
#include "WidgetBenchMain.h"

#include "model/mapedit/MapEdits.h"
#include "model/session/Workspace.h"
#include "ui/main/uTerreno.h"

#include <QApplication>
#include <QDir>
#include <QUndoStack>
#include <QWindow>
#include <benchmark/benchmark.h>

#include <memory>

using namespace quillmark;

namespace {

// A flood fill that reaches every cell of a 100 x 100 map, recorded as a step.
void BM_FloodFill100(benchmark::State& state) {
    MapGrid grid;
    grid.newGrid(100);
    unsigned char code = 'a';
    for (auto _ : state) {
        EditRecorder rec(grid);
        const int changed = floodFill(grid, rec, EditLayer::Tipo, 50, 50, code);
        std::vector<CellChange> changes = rec.take();
        benchmark::DoNotOptimize(changes.data());
        if (changed != 10000) state.SkipWithError("the fill did not reach every cell");
        code = code == 'a' ? 'b' : 'a';
    }
}
BENCHMARK(BM_FloodFill100)->Unit(benchmark::kMillisecond);

// Counts the paint events a widget receives.
struct PaintCounter : QObject {
    long count = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++count;
        return false;
    }
};

struct EditingBench {
    PaintCounter paints;
    qmtest::ProjectFixture project;
    Workspace ws{std::make_unique<qmtest::ScriptedPrompts>()};
    std::unique_ptr<TMapArea> area;

    EditingBench() {
        MapGrid grid;
        grid.newGrid(100);
        for (int r = 1; r <= 100; ++r)
            for (int c = 1; c <= 100; ++c) {
                grid.setFundo(r, c, static_cast<unsigned char>('0' + (r + c) % 12));
                grid.setTipo(r, c, '6');
                if ((r * 100 + c) % 11 == 0) grid.setEvento(r, c, "OnActionPress;Msg(Ola)");
            }
        project.addMap("Grande.xml", grid);
        ws.session().setEditorFolder(qmtest::binFolder());
        area = std::make_unique<TMapArea>(ws);
        area->resize(1200, 900);
        area->show();
        ws.session().openProject(project.projectFile());
        for (int i = 0; i < 20 && !area->window()->windowHandle()->isExposed(); ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        // one step: the whole map filled with another tile
        ws.session().mapEditing().fill(EditLayer::Tipo, 1, 1, '1');
        area->canvas()->installEventFilter(&paints);
        flush();
    }
    void flush() { QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest); }
};

// Undo, then redo, of the 100 x 100 fill; each followed by the repaint of the view.
void BM_UndoRedoFill100(benchmark::State& state) {
    EditingBench b;
    QUndoStack& stack = b.ws.session().undoStack();
    const long before = b.paints.count;
    for (auto _ : state) {
        if (stack.canUndo())
            stack.undo();
        else
            stack.redo();
        b.flush();
    }
    state.counters["cells"] = 10000;
    // one repaint of the view per step, or the figure means nothing
    state.counters["paints"] = double(b.paints.count - before) / double(state.iterations());
}
BENCHMARK(BM_UndoRedoFill100)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return runWidgetBenchmarks(argc, argv); }
