// The command-line tool as a user runs it: the whole process (start, reading
// the project, the work, the output) on a 100 x 100 map with both layers
// filled. Each iteration is one process; the time shown is its wall-clock
// time, and the counters give its CPU time and peak memory, which a shared
// machine disturbs less.
#include "ChildRun.h"
#include "ProjectFixture.h"
#include "TempDir.h"

#include "model/core/MapGrid.h"

#include <QCoreApplication>
#include <QDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>

namespace {

struct BigProject {
    qmtest::ProjectFixture project;
    BigProject() {
        // Transparent things over varied ground, an event on one cell in 37.
        const unsigned char ground[] = {48, 49, 50, 53, 54, 71};
        const unsigned char things[] = {120, 121, 124, 125, 126, 132, 138};
        auto grid = std::make_unique<quillmark::MapGrid>();
        grid->newGrid(100);
        int k = 0;
        for (int r = 1; r <= 100; ++r)
            for (int c = 1; c <= 100; ++c, ++k) {
                const unsigned char g = ground[(r / 3 + c / 5) % 6];
                grid->setFundo(r, c, g);
                grid->setTipo(r, c, (k % 3 == 0) ? g : things[k % 7]);
                if (k % 37 == 0) grid->setEvento(r, c, "OnActionPress>ShowMessage:Ol\xE1!&");
                if (k % 101 == 0) grid->setEvento(r, c, "AddChar:Lena|2");
            }
        project.addMap("Grande.xml", *grid);
    }
};

BigProject& big() {
    static BigProject p;
    return p;
}

void runCli(benchmark::State& state, const QStringList& args) {
    double cpu = 0;
    double peak = 0;
    int runs = 0;
    for (auto _ : state) {
        const qmbench::ChildRun r =
            qmbench::runChild(qmtest::binFolder() + "quillmark-cli", args, {"QT_QPA_PLATFORM=offscreen"});
        if (!r.ok) {
            state.SkipWithError("quillmark-cli failed");
            return;
        }
        state.SetIterationTime(r.wallMs / 1e3);
        cpu += r.cpuMs;
        peak = std::max(peak, r.peakMb);
        ++runs;
    }
    if (runs) {
        state.counters["cpu_ms"] = cpu / runs;
        state.counters["peak_MB"] = peak;
    }
}

void BM_CliRender(benchmark::State& state) {
    runCli(state, {"render", big().project.projectFile(), "Grande.xml", big().project.folder() + "grande.png"});
}
void BM_CliDump(benchmark::State& state) { runCli(state, {"dump", big().project.projectFile(), "Grande.xml"}); }
void BM_CliResave(benchmark::State& state) { runCli(state, {"resave", big().project.projectFile(), "Grande.xml"}); }
void BM_CliHelp(benchmark::State& state) { runCli(state, {"--help"}); }

}  // namespace

BENCHMARK(BM_CliRender)->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(2.0);
BENCHMARK(BM_CliDump)->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(1.0);
BENCHMARK(BM_CliResave)->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(1.0);
BENCHMARK(BM_CliHelp)->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(0.5);

BENCHMARK_MAIN();
