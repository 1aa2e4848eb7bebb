// The tile image cache over the template set (a full project of 144 tiles):
// filling it from disk, and the lookup every drawn cell makes.
#include "TempDir.h"
#include "model/database/DataModule.h"
#include "model/database/TileCache.h"

#include <benchmark/benchmark.h>

using namespace quillmark;

namespace {

struct Project {
    TDataModule1 data;
    TileCache cache;
    QString folder = qmtest::binFolder();
    Project() {
        data.cdsTiles.setFileName(folder + "Data/Tiles.xml");
        data.cdsTiles.open();
        cache.LoadImagens(data, folder, folder);
    }
};

void BM_LoadImagens(benchmark::State& state) {
    Project p;
    for (auto _ : state) p.cache.LoadImagens(p.data, p.folder, p.folder);
}
BENCHMARK(BM_LoadImagens)->Unit(benchmark::kMillisecond);

void BM_PegaImg(benchmark::State& state) {
    Project p;
    unsigned char code = 48;
    for (auto _ : state) {
        const Picture& picture = p.cache.PegaImg(p.data, code);
        benchmark::DoNotOptimize(&picture);
        code = code == 191 ? 48 : code + 1;
    }
}
BENCHMARK(BM_PegaImg)->Repetitions(5)->ReportAggregatesOnly(true);

// A whole 100 x 100 map's worth of lookups, with the transparent picture
// prepared once (the first draw) and reused.
void BM_PegaImgFullMap(benchmark::State& state) {
    Project p;
    for (auto _ : state) {
        for (int i = 0; i < 100 * 100; ++i) {
            const Picture& picture = p.cache.PegaImg(p.data, static_cast<unsigned char>(48 + i % 144));
            benchmark::DoNotOptimize(picture.drawImage().constBits());
        }
    }
}
BENCHMARK(BM_PegaImgFullMap)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
