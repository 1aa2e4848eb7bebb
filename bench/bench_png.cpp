// The PNG writer of render, in process: a 100 x 100 map drawn once (4000 x
// 4000 pixels, transparent things over varied ground, events), then handed to
// the writer in bands of one cell row, or written straight into its rows as
// render does. The counters give the picture's megapixels per second and the
// file's size.
#include "ProjectFixture.h"
#include "WidgetBenchMain.h"

#include "apps/cli/Png.h"
#include "model/core/MapFile.h"
#include "model/database/DataModule.h"
#include "model/database/TileCache.h"
#include "model/mapedit/CellPainter.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

using namespace quillmark;

namespace {

QImage& bigPicture() {
    static QImage picture = [] {
        qmtest::ProjectFixture project;
        const unsigned char ground[] = {48, 49, 50, 53, 54, 71};
        const unsigned char things[] = {120, 121, 124, 125, 126, 132, 138};
        MapGrid grid;
        grid.newGrid(100);
        int k = 0;
        for (int r = 1; r <= 100; ++r)
            for (int c = 1; c <= 100; ++c, ++k) {
                const unsigned char g = ground[(r / 3 + c / 5) % 6];
                grid.setFundo(r, c, g);
                grid.setTipo(r, c, (k % 3 == 0) ? g : things[k % 7]);
                if (k % 37 == 0) grid.setEvento(r, c, "OnActionPress>ShowMessage:Ol\xE1!&");
            }
        TDataModule1 data;
        data.pointAt(data.cdsTiles, project.folder());
        TileCache tiles;
        tiles.LoadImagens(data, project.folder(), qmtest::binFolder());
        TileLookup lookup = TileLookup::fromTables(data, tiles);
        return cellpaint::renderMap(grid, CellMode::Upper, ViewOptions(), lookup)
            .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }();
    return picture;
}

void BM_PngWrite(benchmark::State& state) {
    const QImage& picture = bigPicture();
    constexpr int band = cellpaint::kCell;
    std::vector<QImage> bands;
    for (int y = 0; y < picture.height(); y += band) bands.push_back(picture.copy(0, y, picture.width(), band));
    qsizetype size = 0;
    for (auto _ : state) {
        cli::PngStream png(picture.width(), picture.height(), true);
        for (const QImage& b : bands) png.addRows(b);
        size = png.finish().size();
    }
    const double megapixels = double(picture.width()) * picture.height() / 1e6;
    state.counters["Mpixel_per_s"] =
        benchmark::Counter(megapixels * double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["file_MB"] = double(size) / 1e6;
}
BENCHMARK(BM_PngWrite)->Unit(benchmark::kMillisecond)->UseRealTime();

// The rows written in place, RGB: what is left is the compressor's work (and
// the first touch of the buffer's pages).
void BM_PngWriteInPlace(benchmark::State& state) {
    const QImage& picture = bigPicture();
    std::vector<unsigned char> rgb(static_cast<size_t>(picture.width()) * 3 * static_cast<size_t>(picture.height()));
    for (int y = 0; y < picture.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        unsigned char* out = rgb.data() + static_cast<size_t>(picture.width()) * 3 * static_cast<size_t>(y);
        for (int x = 0; x < picture.width(); ++x, out += 3) {
            out[0] = static_cast<unsigned char>(qRed(in[x]));
            out[1] = static_cast<unsigned char>(qGreen(in[x]));
            out[2] = static_cast<unsigned char>(qBlue(in[x]));
        }
    }
    const size_t row = static_cast<size_t>(picture.width()) * 3;
    qsizetype size = 0;
    for (auto _ : state) {
        cli::PngStream png(picture.width(), picture.height(), true);
        for (int y = 0; y < picture.height(); ++y) std::memcpy(png.nextRows(1), rgb.data() + row * size_t(y), row);
        size = png.finish().size();
    }
    const double megapixels = double(picture.width()) * picture.height() / 1e6;
    state.counters["Mpixel_per_s"] =
        benchmark::Counter(megapixels * double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["file_MB"] = double(size) / 1e6;
}
BENCHMARK(BM_PngWriteInPlace)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) { return runWidgetBenchmarks(argc, argv); }
