// The map canvas: laying out a 100 x 100 map, repainting a 1200 x 900 view at
// 40 and at 20 pixels per cell, and one paint click from the press to the
// painted cell. Runs with an offscreen QApplication.
#include "ProjectFixture.h"
#include "ScriptedPrompts.h"
#include "TempDir.h"
#include "WidgetBenchMain.h"

#include "model/core/MapFile.h"
#include "model/session/Workspace.h"
#include "ui/main/uTerreno.h"

#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QWindow>
#include <benchmark/benchmark.h>

#include <memory>

using namespace quillmark;

namespace {

// A project made from the template set, with one 100 x 100 map of varied
// tiles (a transparent tile on one cell in seven), marks and events, loaded
// into a workspace and shown in a 1200 x 900 map area.
// Counts the paint events a widget receives.
struct PaintCounter : QObject {
    long count = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++count;
        return false;
    }
};

struct CanvasBench {
    PaintCounter paints;
    qmtest::ProjectFixture project;
    Workspace ws{std::make_unique<qmtest::ScriptedPrompts>()};
    std::unique_ptr<TMapArea> area;

    CanvasBench() {
        MapGrid grid;
        grid.newGrid(100);
        for (int r = 1; r <= 100; ++r)
            for (int c = 1; c <= 100; ++c) {
                const int k = r * 100 + c;
                grid.setFundo(r, c, static_cast<unsigned char>('0' + (r + c) % 12));
                grid.setTipo(r, c, static_cast<unsigned char>(k % 7 == 0 ? 'x' + k % 4 : '0' + (r * 3 + c) % 24));
                grid.setXO(r, c, k % 5 ? 'O' : 'X');
                if (k % 11 == 0) grid.setEvento(r, c, "OnActionPress;Msg(Ola)");
                if (k % 17 == 0) grid.setEvento(r, c, "AddChar;Aldeao");
            }
        project.addMap("Grande.xml", grid);
        ws.session().setEditorFolder(qmtest::binFolder());
        area = std::make_unique<TMapArea>(ws);
        area->resize(1200, 900);
        area->show();
        ws.session().openProject(project.projectFile());  // lays the map out
        ws.session().setBrush('6', ws.session().PegaImg('6'));
        // let the window be exposed: an unexposed window paints nothing
        for (int i = 0; i < 20 && !area->window()->windowHandle()->isExposed(); ++i) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        }
        canvas().installEventFilter(&paints);
        flush();
    }
    // Delivers every posted event (paints, queued signals, deferred deletes),
    // so that nothing piles up from one iteration into the next.
    void flush() {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
    TMapCanvas& canvas() { return *area->canvas(); }
    QRect visible() { return canvas().visibleRegion().boundingRect(); }
};

std::unique_ptr<CanvasBench> theBench;

CanvasBench& bench() {
    if (!theBench) theBench = std::make_unique<CanvasBench>();
    return *theBench;
}

// A first map: every cell created.
void BM_LayoutFresh(benchmark::State& state) {
    CanvasBench& b = bench();
    for (auto _ : state) {
        b.area->layoutLoadedMap(false);
        benchmark::DoNotOptimize(b.canvas().side());
    }
}
BENCHMARK(BM_LayoutFresh)->Unit(benchmark::kMillisecond);

// Another map while one is shown: the cells reused.
void BM_LayoutReuse(benchmark::State& state) {
    CanvasBench& b = bench();
    for (auto _ : state) {
        b.area->layoutLoadedMap(true);
        benchmark::DoNotOptimize(b.canvas().side());
    }
}
BENCHMARK(BM_LayoutReuse)->Unit(benchmark::kMillisecond);

// The layout and the first painting of the view.
void BM_LayoutAndPaint(benchmark::State& state) {
    CanvasBench& b = bench();
    for (auto _ : state) {
        b.area->layoutLoadedMap(false);
        b.canvas().repaint(b.visible());
    }
}
BENCHMARK(BM_LayoutAndPaint)->Unit(benchmark::kMillisecond);

// A full repaint of the visible part of the canvas; range(0) is the cell
// size, range(1) 1 with coordinates shown.
void BM_Repaint(benchmark::State& state) {
    CanvasBench& b = bench();
    b.area->layoutLoadedMap(true);
    b.ws.session().setCellSize(static_cast<int>(state.range(0)));
    b.canvas().ZoomControl();
    b.ws.session().setShowCordenadas(state.range(1) != 0);
    b.flush();
    const QRect view = b.visible();
    const long before = b.paints.count;
    for (auto _ : state) b.canvas().repaint(view);
    state.counters["paints"] = double(b.paints.count - before);
    state.counters["cells"] =
        double(view.width() / b.canvas().cellPixels() + 1) * (view.height() / b.canvas().cellPixels() + 1);
    b.ws.session().setShowCordenadas(false);
    b.ws.session().setCellSize(40);
    b.canvas().ZoomControl();
}
BENCHMARK(BM_Repaint)->Args({40, 0})->Args({20, 0})->Args({40, 1})->Args({20, 1})->Unit(benchmark::kMillisecond);

// The event mode's full repaint (marks on every cell).
void BM_RepaintEvents(benchmark::State& state) {
    CanvasBench& b = bench();
    b.area->layoutLoadedMap(true);
    b.canvas().ModoEventos();
    b.flush();
    const QRect view = b.visible();
    for (auto _ : state) b.canvas().repaint(view);
    b.canvas().ModoMapa();
}
BENCHMARK(BM_RepaintEvents)->Unit(benchmark::kMillisecond);

// One paint click: the pointer comes to a cell, presses and releases, and the
// changed cells are painted.
void BM_PaintClick(benchmark::State& state) {
    CanvasBench& b = bench();
    b.area->layoutLoadedMap(true);
    b.flush();
    TMapCanvas& canvas = b.canvas();
    int k = 0;
    for (auto _ : state) {
        const QPointF pos(20 + 40 * (k % 20), 20 + 40 * ((k / 20) % 15));
        ++k;
        const QPointF global = canvas.mapToGlobal(pos);
        QMouseEvent move(QEvent::MouseMove, pos, global, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QMouseEvent press(QEvent::MouseButtonPress, pos, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, pos, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&canvas, &move);
        QCoreApplication::sendEvent(&canvas, &press);
        QCoreApplication::sendEvent(&canvas, &release);
        b.flush();
    }
}
BENCHMARK(BM_PaintClick)->Unit(benchmark::kMicrosecond);

// The command-line rendering of the whole 100 x 100 map into one picture.
void BM_RenderMap(benchmark::State& state) {
    CanvasBench& b = bench();
    TileLookup lookup = TileLookup::fromTables(b.ws.session().tables(), b.ws.session().tiles());
    for (auto _ : state) {
        lookup.reset();
        QImage image = cellpaint::renderMap(b.ws.session().grid(), CellMode::Upper, ViewOptions(), lookup);
        benchmark::DoNotOptimize(image.bits());
    }
}
BENCHMARK(BM_RenderMap)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return runWidgetBenchmarks(argc, argv, [] { theBench.reset(); });
}
