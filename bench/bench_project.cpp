// Creating a project from the template set beside the editor, against the
// plain way of putting the same files on disk durably: "cp -a" of the
// template folders and one sync of the file system. Each iteration creates
// into a new, empty folder. BM_CreateProject reports its time and, as
// "vs_plain_copy", its ratio to the plain copy's time measured in the same run
// (the goal is at most 2).
#include "TempDir.h"

#include "model/core/MapTree.h"
#include "model/core/ProjectFile.h"
#include "model/database/DataModule.h"
#include "model/project/ProjectCreation.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <benchmark/benchmark.h>

#include <memory>

using namespace quillmark;

namespace {

double plainCopyMs = 0;

void BM_PlainDurableCopy(benchmark::State& state) {
    const QString bin = qmtest::binFolder();
    double total = 0;
    int runs = 0;
    for (auto _ : state) {
        qmtest::TempDir into;
        QElapsedTimer clock;
        clock.start();
        QProcess::execute("sh",
                          {"-c", "cp -a \"$1/Data\" \"$1/Imagens\" \"$2\" && sync -f \"$2\"", "sh", bin, into.path()});
        total += clock.nsecsElapsed() / 1e6;
        state.SetIterationTime(clock.nsecsElapsed() / 1e9);
        ++runs;
    }
    plainCopyMs = runs ? total / runs : 0;
}
BENCHMARK(BM_PlainDurableCopy)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);

void BM_CreateProject(benchmark::State& state) {
    double total = 0;
    int runs = 0;
    for (auto _ : state) {
        auto into = std::make_unique<qmtest::TempDir>();
        TDataModule1 data;
        ProjectState project;
        MapTree tree;
        NewProjectRequest request{qmtest::binFolder(), into->file("Aventura.qmk"), "Aventura", "Autor"};
        QElapsedTimer clock;
        clock.start();
        createProject(request, data, project, tree);
        total += clock.nsecsElapsed() / 1e6;
        state.SetIterationTime(clock.nsecsElapsed() / 1e9);
        ++runs;
    }
    if (runs && plainCopyMs > 0) state.counters["vs_plain_copy"] = total / runs / plainCopyMs;
}
BENCHMARK(BM_CreateProject)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
