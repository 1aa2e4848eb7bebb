// The database window on the template project: the first opening to painted
// (on "Game", and on "Personagem" with the hero previews' first frames), one tab
// change, and rebuilding a monster list of 1,000 records. Runs with an
// offscreen QApplication.
#include "FirstFramePreviews.h"
#include "ProjectFixture.h"
#include "ScriptedPrompts.h"
#include "WidgetBenchMain.h"

#include "model/core/DataPacket.h"
#include "model/database/DataModule.h"
#include "model/session/Workspace.h"
#include "ui/database/uConfig.h"

#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QTabWidget>
#include <benchmark/benchmark.h>

#include <memory>

using namespace quillmark;

namespace {

struct NoTiles : TilesPageLink {
    void build(QWidget*) override {}
    void entered() override {}
};

// A project from the template set, its tables open, as after opening it.
struct Project {
    qmtest::ProjectFixture fixture;
    Workspace ws{std::make_unique<qmtest::ScriptedPrompts>()};
    qmtest::FirstFramePreviews frames{ws};
    NoTiles tiles;
    explicit Project(int monsters = 0) {
        if (monsters > 0) {
            std::vector<Record> rows;
            for (int i = 0; i < monsters; ++i) {
                Record r(monstrosSchema().size());
                r[0] = "Monstro " + std::to_string(i);
                r[2] = std::to_string(10 + i % 50);
                rows.push_back(r);
            }
            fixture.dir.write("Data/Monstros.xml",
                              QByteArray::fromStdString(datapacket::write(monstrosSchema(), rows)));
        }
        ws.session().setEditorFolder(qmtest::binFolder());
        ws.session().openProject(fixture.projectFile());
    }
    std::unique_ptr<TForm2> window() {
        auto form = std::make_unique<TForm2>(ws);
        form->setFramePreviewsLink(&frames);
        form->setTilesPageLink(&tiles);
        return form;
    }
};

// Makes every widget of the window paint once, as the screen would.
void paint(QWidget& w) { benchmark::DoNotOptimize(w.grab()); }

void BM_FirstOpening(benchmark::State& state) {
    const bool hero = state.range(0) == 1;
    Project p;
    for (auto _ : state) {
        state.PauseTiming();
        auto form = p.window();
        if (hero) form->PageControl->setCurrentIndex(int(DatabasePage::Personagem));
        state.ResumeTiming();
        form->FormShow();  // the entry step of the page in front, first frames included
        form->show();
        paint(*form);
        state.PauseTiming();
        form->close();
        form.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FirstOpening)->Arg(0)->Arg(1)->ArgName("hero")->Unit(benchmark::kMillisecond);

void BM_TabChange(benchmark::State& state) {
    Project p;
    auto form = p.window();
    form->FormShow();
    form->show();
    paint(*form);
    const DatabasePage cycle[] = {DatabasePage::Personagem, DatabasePage::Inimigos, DatabasePage::Itens,
                                  DatabasePage::Magias,     DatabasePage::Tiles,    DatabasePage::Game};
    size_t i = 0;
    for (auto _ : state) {
        form->showPage(cycle[i++ % 6]);  // leave and entry steps
        paint(*form->PageControl->currentWidget());
    }
    form->hide();
}
BENCHMARK(BM_TabChange)->Unit(benchmark::kMillisecond);

void BM_RebuildMonsterList(benchmark::State& state) {
    Project p(static_cast<int>(state.range(0)));
    auto form = p.window();
    form->FormShow();
    form->show();
    form->showPage(DatabasePage::Inimigos);
    for (auto _ : state) p.ws.session().tables().onMonstrosListChanged();  // the table's notification
    if (form->ListaInimigos->count() != state.range(0)) state.SkipWithError("wrong list");
    form->hide();
}
BENCHMARK(BM_RebuildMonsterList)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return runWidgetBenchmarks(argc, argv); }
