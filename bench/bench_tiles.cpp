// The database window's "Tiles" page over a project made from the template
// set: entering the page (144 buttons given their pictures from the tile image
// cache and drawn), and a tile editor's "OK" up to the page drawn again (the
// pictures written, the flag posted, the cache refilled from disk). Runs with
// an offscreen QApplication.
#include "ProjectFixture.h"
#include "ScriptedPrompts.h"
#include "WidgetBenchMain.h"

#include "SessionSetUp.h"
#include "model/session/Workspace.h"
#include "model/tiles/TileEditing.h"
#include "ui/tiles/uAniTilesEdit.h"
#include "ui/tiles/uTilesEdit.h"
#include "ui/tiles/uTilesPage.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <memory>

using namespace quillmark;

namespace {

struct Bench {
    qmtest::ProjectFixture project;
    Workspace ws{std::make_unique<qmtest::ScriptedPrompts>()};
    QWidget tab;
    TFormTi edit{ws};
    TFormTA ani{ws};
    TTilesPage page{ws, edit, ani};
    QImage canvas{701, 589, QImage::Format_ARGB32_Premultiplied};

    Bench() {
        ws.session().setEditorFolder(qmtest::binFolder());
        qmtest::projectOf(ws).ProjectFolder = project.folder();
        ws.session().tables().pointAt(ws.session().tables().cdsTiles, project.folder());
        ws.session().refreshTiles();
        tab.resize(canvas.size());
        page.build(&tab);
        page.entered();
    }
    // The page as it is drawn on the screen.
    void drawPage() {
        canvas.fill(Qt::white);
        tab.render(&canvas);
        benchmark::DoNotOptimize(canvas.constBits());
    }
    // What the page does before an editor opens: the table restricted to the code.
    void select(unsigned char code) {
        RecordTable& tiles = ws.session().tables().cdsTiles;
        tiles.setFilter(tiles::tipoFilter(code));
        tiles.setFiltered(true);
    }
};

std::unique_ptr<Bench> theBench;
Bench& bench() {
    if (!theBench) theBench = std::make_unique<Bench>();
    return *theBench;
}

void BM_TilesPageEnter(benchmark::State& state) {
    Bench& b = bench();
    for (auto _ : state) {
        b.page.entered();
        b.drawPage();
    }
}
BENCHMARK(BM_TilesPageEnter)->Unit(benchmark::kMillisecond);

// "Tiles Edit": "OK" on an opened tile (its picture written, its flag posted),
// the cache refilled and the page drawn again.
void BM_TileEditOk(benchmark::State& state) {
    Bench& b = bench();
    bool transparent = false;
    for (auto _ : state) {
        state.PauseTiming();
        b.select('x');
        b.edit.FormShow();
        transparent = !transparent;
        b.edit.transparentCheck()->setChecked(transparent);
        state.ResumeTiming();
        b.edit.OK();
        b.drawPage();
    }
}
BENCHMARK(BM_TileEditOk)->Unit(benchmark::kMillisecond);

// "Edit Animação": the same with three frames written.
void BM_AniTileEditOk(benchmark::State& state) {
    Bench& b = bench();
    for (auto _ : state) {
        state.PauseTiming();
        b.select(185);
        b.ani.FormShow();
        state.ResumeTiming();
        b.ani.OK();
        b.drawPage();
    }
}
BENCHMARK(BM_AniTileEditOk)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return runWidgetBenchmarks(argc, argv, [] { theBench.reset(); });
}
