// Exchanging a 100 x 100 map with Tiled: the TMX text, the tileset, the whole
// export to disk, and the import of each tile data encoding.
#include "ProjectFixture.h"
#include "TempDir.h"
#include "model/core/Files.h"
#include "model/core/MapGrid.h"
#include "model/database/DataModule.h"
#include "model/database/TileCache.h"
#include "model/mapedit/TiledExchange.h"

#include <QByteArray>
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstring>
#include <memory>
#include <string_view>

using namespace quillmark;

namespace {

// A map of side n with varied codes, one mark in five and an event on one cell in ten.
std::unique_ptr<MapGrid> makeMap(int n) {
    auto g = std::make_unique<MapGrid>();
    g->newGrid(n);
    int k = 0;
    for (int r = 1; r <= n; ++r)
        for (int c = 1; c <= n; ++c, ++k) {
            g->setTipo(r, c, static_cast<unsigned char>(48 + (r * 13 + c * 7) % 144));
            g->setFundo(r, c, static_cast<unsigned char>(48 + (r + c) % 12));
            g->setXO(r, c, (r + c) % 5 ? 'O' : 'X');
            if (k % 10 == 0) g->setEvento(r, c, "OnActionPress>ShowMessage:Bem-vindo " + std::to_string(k) + "&");
        }
    return g;
}

// The template project with its tile pictures loaded as the editor loads them.
struct Project {
    qmtest::ProjectFixture fixture;
    TDataModule1 data;
    TileCache tiles;
    tiled::TileImages images;
    Project() {
        data.pointAt(data.cdsTiles, fixture.folder());
        tiles.LoadImagens(data, fixture.folder(), qmtest::binFolder());
        images = tiled::tileImagesOf(data, tiles);
    }
};

void BM_TmxText100(benchmark::State& state) {
    const auto g = makeMap(100);
    for (auto _ : state) benchmark::DoNotOptimize(tiled::tmxText(*g));
}
BENCHMARK(BM_TmxText100)->Unit(benchmark::kMillisecond);

// "Exportar Mapa" as the editor runs it: the tileset's pictures looked up,
// both files written.
void BM_Export100(benchmark::State& state) {
    Project p;
    const auto g = makeMap(100);
    qmtest::TempDir out;
    for (auto _ : state) {
        tiled::exportMap(*g, tiled::tileImagesOf(p.data, p.tiles), out.file("m.tmx"));
    }
}
BENCHMARK(BM_Export100)->Unit(benchmark::kMillisecond);

// The layers of an exported map re-encoded as Tiled would save them.
QByteArray encoded(const std::string& csvTmx, const char* mode) {
    if (std::string_view(mode) == "csv") return QByteArray::fromStdString(csvTmx);
    QByteArray text = QByteArray::fromStdString(csvTmx);
    for (int from = 0;;) {
        const int start = text.indexOf("<data encoding=\"csv\">", from);
        if (start < 0) break;
        const int body = start + int(std::strlen("<data encoding=\"csv\">"));
        const int end = text.indexOf("</data>", body);
        QByteArray raw;
        for (const QByteArray& n : text.mid(body, end - body).trimmed().replace('\n', "").split(',')) {
            const quint32 v = n.toUInt();
            raw.append(char(v & 0xFF)).append(char(v >> 8 & 0xFF)).append(char(v >> 16 & 0xFF)).append(char(v >> 24));
        }
        QByteArray head = "<data encoding=\"base64\">";
        if (std::string_view(mode) == "zlib") {
            uLongf size = compressBound(static_cast<uLong>(raw.size()));
            QByteArray packed(static_cast<int>(size), '\0');
            compress(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(raw.constData()),
                     static_cast<uLong>(raw.size()));
            packed.resize(static_cast<int>(size));
            raw = packed;
            head = "<data encoding=\"base64\" compression=\"zlib\">";
        }
        const QByteArray replacement = head + raw.toBase64() + "</data>";
        text.replace(start, end + 7 - start, replacement);
        from = start + replacement.size();
    }
    return text;
}

void BM_Import100(benchmark::State& state, const char* mode) {
    qmtest::TempDir dir;
    dir.write("Tiles.tsx", QByteArray::fromStdString(tiled::tsxText()));
    const QByteArray text = encoded(tiled::tmxText(*makeMap(100)), mode);
    for (auto _ : state) benchmark::DoNotOptimize(tiled::readTmx(text, dir.path(), "m.tmx"));
}
BENCHMARK_CAPTURE(BM_Import100, csv, "csv")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Import100, base64, "base64")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Import100, zlib, "zlib")->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
