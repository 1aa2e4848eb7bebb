// Saving and loading maps, and the tile transparency lookup the save makes.
#include "TempDir.h"
#include "model/core/DataPacket.h"
#include "model/core/MapFile.h"
#include "model/core/MapGrid.h"
#include "model/database/DataModule.h"
#include "model/database/MapSaving.h"

#include <QDir>
#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <memory>

using namespace quillmark;

namespace {

// A project folder with "Mapas\" and a tiles table of 147 records (codes 48 to
// 191, three of them twice), every third one transparent.
struct BenchProject {
    qmtest::TempDir dir;
    TDataModule1 data;
    BenchProject() {
        QDir().mkpath(dir.file("Mapas"));
        std::vector<Record> tiles;
        for (int i = 0; i < 147; ++i) {
            const int code = 48 + (i < 144 ? i : i - 144);
            tiles.push_back({std::string(1, static_cast<char>(code)), std::nullopt, "Tile" + std::to_string(i) + ".bmp",
                             std::nullopt, std::to_string(i), std::string(i % 3 == 0 ? "TRUE" : "FALSE")});
        }
        put("Data/Itens.xml", itensSchema());
        put("Data/Magias.xml", magiasSchema());
        put("Data/Monstros.xml", monstrosSchema());
        put("Data/Personagem.xml", personagemSchema());
        put("Data/Tiles.xml", tilesSchema(), tiles);
        data.pointAtProject(dir.path());
    }
    void put(const QString& relative, const Schema& schema, const std::vector<Record>& records = {}) {
        dir.write(relative, QByteArray::fromStdString(datapacket::write(schema, records)));
    }
};

// A map of side n with varied codes and an event on one cell in ten.
std::unique_ptr<MapGrid> makeMap(int n) {
    auto g = std::make_unique<MapGrid>();
    g->newGrid(n);
    g->CurrentMap = "Bench" + std::to_string(n) + ".xml";
    int k = 0;
    for (int r = 1; r <= n; ++r)
        for (int c = 1; c <= n; ++c, ++k) {
            g->setTipo(r, c, static_cast<unsigned char>(48 + (r * 13 + c * 7) % 144));
            g->setFundo(r, c, static_cast<unsigned char>(48 + (r + c) % 12));
            g->setXO(r, c, (r + c) % 5 ? 'O' : 'X');
            if (k % 10 == 0) g->setEvento(r, c, "OnActionPress;Msg(Bem-vindo a Vila " + std::to_string(k) + ")");
        }
    return g;
}

void BM_Salvar(benchmark::State& state) {
    BenchProject p;
    auto g = makeMap(static_cast<int>(state.range(0)));
    for (auto _ : state) Salvar(*g, p.dir.path(), p.data);
}
BENCHMARK(BM_Salvar)->Arg(14)->Arg(100)->Unit(benchmark::kMillisecond);

void BM_Abrir(benchmark::State& state) {
    BenchProject p;
    auto g = makeMap(static_cast<int>(state.range(0)));
    Salvar(*g, p.dir.path(), p.data);
    const QString path = p.dir.file("Mapas/" + QString::fromStdString(g->CurrentMap));
    auto loaded = std::make_unique<MapGrid>();
    for (auto _ : state) {
        Abrir(*loaded, path);
        benchmark::DoNotOptimize(loaded->N);
    }
}
BENCHMARK(BM_Abrir)->Arg(14)->Arg(100)->Unit(benchmark::kMillisecond);

// The floor under BM_Abrir, measured in the same run: the XML parser alone
// reading the same 100 x 100 map file from memory, nothing else. The goal for
// BM_Abrir/100 and BM_Salvar/100 is 1.5 ms of CPU time each.
void BM_XmlParserAlone(benchmark::State& state) {
    BenchProject p;
    auto g = makeMap(static_cast<int>(state.range(0)));
    const std::string text = mapFileText(*g, p.data);
    std::string buffer;
    for (auto _ : state) {
        buffer = text;
        pugi::xml_document doc;
        benchmark::DoNotOptimize(doc.load_buffer_inplace(buffer.data(), buffer.size()));
    }
}
BENCHMARK(BM_XmlParserAlone)->Arg(100)->Unit(benchmark::kMillisecond);

// The record-table engine's share of the above: the data packet of the same
// map turned from text into records and back, without the map code.
void BM_MapPacketParse(benchmark::State& state) {
    BenchProject p;
    auto g = makeMap(static_cast<int>(state.range(0)));
    const std::string text = mapFileText(*g, p.data);
    for (auto _ : state) benchmark::DoNotOptimize(datapacket::parse(text, {}).records.size());
}
BENCHMARK(BM_MapPacketParse)->Arg(100)->Unit(benchmark::kMillisecond);

void BM_MapPacketWrite(benchmark::State& state) {
    BenchProject p;
    auto g = makeMap(static_cast<int>(state.range(0)));
    const datapacket::Contents c = datapacket::parse(mapFileText(*g, p.data), {});
    for (auto _ : state) benchmark::DoNotOptimize(datapacket::write(c.fields, c.records).size());
}
BENCHMARK(BM_MapPacketWrite)->Arg(100)->Unit(benchmark::kMillisecond);

// One lookup per call, cycling through every code (some missing, some doubled).
void BM_VerificaTransparencia(benchmark::State& state) {
    BenchProject p;
    int code = 40;
    for (auto _ : state) {
        benchmark::DoNotOptimize(p.data.VerificaTransparencia(static_cast<unsigned char>(code)));
        if (++code > 200) code = 40;
    }
}
BENCHMARK(BM_VerificaTransparencia);

}  // namespace

BENCHMARK_MAIN();
