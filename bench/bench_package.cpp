// The packaged demo: how long `quillmark-cli package` takes, how large the
// folder and its .tar.gz are, and how long the packaged game takes from its
// launcher to the first frame painted (offscreen; QUILLMARK_STARTUP_REPORT=exit
// ends it there). Each iteration is one process.
#include "ChildRun.h"
#include "TempDir.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <benchmark/benchmark.h>

namespace {

struct Packaged {
    qmtest::TempDir dir;
    bool ok = false;
    Packaged() {
        ok = qmbench::runChild(qmtest::binFolder() + "quillmark-cli", {"demo", dir.file("demo")}).ok &&
             qmbench::runChild(qmtest::binFolder() + "quillmark-cli",
                               {"package", dir.file("demo/ValeSereno.qmk"), dir.file("pacote")})
                 .ok;
    }
};

Packaged& packaged() {
    static Packaged p;
    return p;
}

double megabytes(const QString& path) {
    qint64 bytes = 0;
    if (QFileInfo(path).isFile()) return QFileInfo(path).size() / 1e6;
    QDirIterator it(path, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) bytes += QFileInfo(it.next()).size();
    return bytes / 1e6;
}

void BM_PackageDemo(benchmark::State& state) {
    Packaged& p = packaged();
    if (!p.ok) return state.SkipWithError("the demo could not be packaged");
    for (auto _ : state) {
        const auto r =
            qmbench::runChild(qmtest::binFolder() + "quillmark-cli", {"package", p.dir.file("demo/ValeSereno.qmk"),
                                                                      p.dir.file("outro"), "--replace", "--tar"});
        if (!r.ok) return state.SkipWithError("package failed");
        state.SetIterationTime(r.wallMs / 1e3);
    }
    state.counters["folder_MB"] = megabytes(p.dir.file("pacote"));
    state.counters["tar_gz_MB"] = megabytes(p.dir.file("outro"));
}

void BM_PackagedDemoToFirstFrame(benchmark::State& state) {
    Packaged& p = packaged();
    if (!p.ok) return state.SkipWithError("the demo could not be packaged");
    for (auto _ : state) {
        const auto r = qmbench::runChild(p.dir.file("pacote/ValeSereno"), {},
                                         {"QT_QPA_PLATFORM=offscreen", "QUILLMARK_STARTUP_REPORT=exit"});
        if (!r.ok) return state.SkipWithError("the packaged game failed");
        state.SetIterationTime(r.wallMs / 1e3);
        state.counters["cpu_ms"] = r.cpuMs;
    }
}

}  // namespace

BENCHMARK(BM_PackageDemo)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(BM_PackagedDemoToFirstFrame)->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(1.0);

BENCHMARK_MAIN();
