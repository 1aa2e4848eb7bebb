// Reading the event scripts of a 100 x 100 map with an event on every cell:
// a typical mix of the commands, blocks included. Goal: at most 5 ms.
#include "model/events/EventCommands.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> cellScripts() {
    const std::string kinds[] = {
        "OnActionPress>ShowMessage:Bem-vindo \xE0 vila!&",
        "OnPlayerTouch>;MudarMapa:5|12|Caverna.xml&;",
        "OnActionPress>;SeInterruptor:3|Ligado&;ShowMessage:Aberta.&;Senao:;ShowDialog:Guarda.bmp|Alto!&;FimSe:;",
        "OnActionPress>QuestaoObjetiva:Abrir o ba\xFA?&Sim:SeTemItem:1|Chave&AdicionarItem:1|Espada&ApagarEvento:"
        "FimSe:Nao:FimQuestao:",
        "OnActionPress>MultiplaEscolha:Para onde?|Norte|Sul|Leste&Opcao:MoverHeroi:CCCD&Opcao:MoverHeroi:BBB&Opcao:"
        "IniciarBatalha:SemFuga|Lobo|Lobo&FimQuestao:",
        "AddChar:Ferreiro|3",
        "OnActionPress>IniciaChuva:DarDinheiro:-10&LigarInterruptor:7&GameOver:",
    };
    std::vector<std::string> cells;
    for (int i = 0; i < 100 * 100; ++i) cells.push_back(kinds[i % 7]);
    return cells;
}

void BM_ParseEveryCellOfA100x100Map(benchmark::State& state) {
    const std::vector<std::string> cells = cellScripts();
    size_t commands = 0;
    for (auto _ : state) {
        for (const std::string& cell : cells) {
            const quillmark::ParsedEvent p = quillmark::ParseCellEvent(cell);
            commands += p.commands.size();
        }
        benchmark::DoNotOptimize(commands);
    }
}
BENCHMARK(BM_ParseEveryCellOfA100x100Map)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
