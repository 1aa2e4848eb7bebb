// The git drivers on a 100 x 100 map: textconv's readable text and a
// three-way merge of two sides that painted different cells (targets: 10 ms
// and 20 ms).
#include "TempDir.h"
#include "model/core/MapFile.h"
#include "model/core/MapGrid.h"
#include "model/mapedit/ProjectMerge.h"

#include <benchmark/benchmark.h>

using namespace quillmark;

namespace {

MapGrid painted(int n, int salt) {
    MapGrid g;
    g.newGrid(n);
    for (int r = 1; r <= n; ++r)
        for (int c = 1; c <= n; ++c) {
            g.setTipo(r, c, static_cast<unsigned char>(48 + (r * 13 + c * 7) % 144));
            g.setFundo(r, c, static_cast<unsigned char>(48 + (r + c) % 12));
            if ((r + c) % 5 == 0) g.setXO(r, c, 'X');
            if ((r * n + c) % 10 == 0) g.setEvento(r, c, "OnActionPress>ShowMessage:Ol\xE1 " + std::to_string(r) + "&");
        }
    // Each side repaints a band of its own.
    for (int c = 1; c <= n; ++c) g.setTipo(salt, c, 'H');
    return g;
}

struct Files {
    Files() {
        const auto opaque = [](unsigned char) { return false; };
        salvarEm(painted(100, 50), dir.file("base.xml"), opaque);
        MapGrid ours = painted(100, 50);
        for (int c = 1; c <= 100; ++c) ours.setTipo(10, c, 'K');
        salvarEm(ours, dir.file("ours.xml"), opaque);
        MapGrid theirs = painted(100, 50);
        for (int c = 1; c <= 100; ++c) theirs.setFundo(90, c, 'M');
        salvarEm(theirs, dir.file("theirs.xml"), opaque);
    }
    qmtest::TempDir dir;
};

void BM_Textconv100(benchmark::State& state) {
    Files f;
    for (auto _ : state) benchmark::DoNotOptimize(vcs::readableText(f.dir.file("ours.xml")));
}
BENCHMARK(BM_Textconv100)->Unit(benchmark::kMillisecond);

void BM_Merge100(benchmark::State& state) {
    Files f;
    for (auto _ : state) {
        const vcs::MergeResult r =
            vcs::merge(f.dir.file("base.xml"), f.dir.file("ours.xml"), f.dir.file("theirs.xml"), "Vila.xml");
        if (!r.conflicts.empty()) state.SkipWithError("unexpected conflicts");
        benchmark::DoNotOptimize(r.text.size());
    }
}
BENCHMARK(BM_Merge100)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
