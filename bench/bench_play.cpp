// The game player: start to first frame with the demo project, and the cost of
// one frame on a 100 x 100 map (only the cells in view are drawn, from the
// pictures decoded at load time). A frame of the game lasts 1/60 s = 16.7 ms.
#include "PaintedMap.h"
#include "ProjectFixture.h"

#include "play/model/Game.h"
#include "play/model/PlayData.h"
#include "play/model/PlayWorld.h"
#include "play/view/PlayRender.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace quillmark;
using namespace quillmark::play;

namespace {

QString demoFolder() { return QDir::cleanPath(qmtest::binFolder() + "../demo"); }

// The whole player process, on the offscreen platform: starting, loading the
// demo, playing and drawing one frame, and writing it out.
void BM_ProcessStartToFirstFrameDemo(benchmark::State& state) {
    const QString player = qmtest::binFolder() + "quillmark-play";
    if (!QFile::exists(player) || !QDir(demoFolder()).exists()) {
        state.SkipWithError("the player or the demo project is not built");
        return;
    }
    QTemporaryDir out;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", out.path());
    for (auto _ : state) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(player, {demoFolder(), "--headless", "--frames", "1", "--screenshot", out.path() + "/f.png"});
        if (!p.waitForFinished(10000) || p.exitCode() != 0) {
            state.SkipWithError("the player failed");
            return;
        }
    }
}
BENCHMARK(BM_ProcessStartToFirstFrameDemo)->Unit(benchmark::kMillisecond)->UseRealTime();

// The player's window, from starting the process to the first frame painted
// (the player reports it on standard error), on the offscreen platform.
void BM_WindowStartToFirstFrameDemo(benchmark::State& state) {
    const QString player = qmtest::binFolder() + "quillmark-play";
    if (!QFile::exists(player) || !QDir(demoFolder()).exists()) {
        state.SkipWithError("the player or the demo project is not built");
        return;
    }
    QTemporaryDir runtime;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", runtime.path());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("QUILLMARK_STARTUP_REPORT", "exit");
    double inProcess = 0;
    int runs = 0;
    for (auto _ : state) {
        QProcess p;
        p.setProcessEnvironment(env);
        QElapsedTimer clock;
        clock.start();
        p.start(player, {demoFolder()});
        p.setReadChannel(QProcess::StandardError);
        QByteArray err;
        double shown = 0;
        while (shown == 0 && p.waitForReadyRead(10000)) {
            err += p.readAllStandardError();
            const qsizetype at = err.indexOf("startup-ms: ");
            if (at >= 0 && err.indexOf('\n', at) > at) {
                shown = clock.nsecsElapsed() / 1e9;
                inProcess += err.mid(at + 12, err.indexOf('\n', at) - at - 12).toDouble();
                ++runs;
            }
        }
        p.waitForFinished(10000);
        if (shown == 0) {
            state.SkipWithError(("the player reported no first frame: " + err.toStdString()).c_str());
            return;
        }
        state.SetIterationTime(shown);
    }
    if (runs) state.counters["in_process_ms"] = inProcess / runs;
}
BENCHMARK(BM_WindowStartToFirstFrameDemo)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(8);

// In the process: reading the demo (project, map, tables, every picture) and
// drawing its first frame in a 1280 x 960 window.
void BM_LoadAndFirstFrameDemo(benchmark::State& state) {
    if (!QDir(demoFolder()).exists()) {
        state.SkipWithError("the demo project is not built");
        return;
    }
    QImage window(1280, 960, QImage::Format_RGB32);
    for (auto _ : state) {
        auto data = loadGame({demoFolder(), {}, {}, qmtest::binFolder()});
        World world(*data);
        Renderer renderer;
        QPainter p(&window);
        renderer.paint(p, window.size(), world);
    }
}
BENCHMARK(BM_LoadAndFirstFrameDemo)->Unit(benchmark::kMillisecond);

struct BigMap {
    qmtest::ProjectFixture project;
    std::unique_ptr<GameData> data;
    BigMap() {
        MapGrid grid = qmtest::paintedGrid(100);
        for (int r = 1; r <= 100; r += 7)
            for (int c = 1; c <= 100; c += 5) grid.setTipo(r, c, static_cast<unsigned char>(180 + (r + c) % 12));
        project.addMap("Mundo.xml", grid);
        data = loadGame({project.projectFile(), {}, std::pair{50, 50}, qmtest::binFolder()});
    }
};

// One frame of a walk across a 100 x 100 map: the world's tick and the
// drawing, in a window of the size given (arg 0 width, arg 1 height).
void BM_FrameOn100x100Map(benchmark::State& state) {
    static BigMap big;
    World world(*big.data);
    Renderer renderer;
    QImage window(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), QImage::Format_RGB32);
    QPainter p(&window);
    int n = 0;
    const Key walk[] = {Key::Right, Key::Down, Key::Left, Key::Up};
    for (auto _ : state) {
        if (world.idle()) world.press(walk[(n++ / 4) % 4]);
        world.tick();
        renderer.paint(p, window.size(), world);
    }
    state.counters["cells"] = renderer.cellsDrawn();
}
BENCHMARK(BM_FrameOn100x100Map)->Args({640, 480})->Args({1280, 960})->Args({1920, 1080})->Unit(benchmark::kMicrosecond);

// The same with rain, snow and a storm over it and a dialogue on screen.
void BM_FrameWithWeatherAndDialogue(benchmark::State& state) {
    static BigMap big;
    GameData& data = *big.data;
    data.cellScripts[static_cast<int>(MapGrid::index(50, 50))] = parseCellEvent(
        "OnActionPress>IniciaChuva:IniciaNeve:IniciaTempestade:ShowDialog:|Um texto de duas linhas para a caixa "
        "de diálogo, longo o bastante para quebrar a linha.&");
    World world(data);
    world.press(Key::Action);
    world.tick();
    Renderer renderer;
    QImage window(1280, 960, QImage::Format_RGB32);
    QPainter p(&window);
    for (auto _ : state) {
        world.tick();
        renderer.paint(p, window.size(), world);
    }
    data.cellScripts.clear();
}
BENCHMARK(BM_FrameWithWeatherAndDialogue)->Unit(benchmark::kMicrosecond);

// A battle in the demo's cave against three monsters, the hero's spell
// showing over its target: the drawing of one frame at 1280 x 960 (the
// battle's state stays on that frame, so every iteration draws the same scene
// from the pictures already decoded).
void BM_BattleFrameThreeMonstersAndSpell(benchmark::State& state) {
    if (!QDir(demoFolder()).exists()) {
        state.SkipWithError("the demo project is not built");
        return;
    }
    auto data = loadGame({demoFolder(), "Caverna.xml", {}, qmtest::binFolder()});
    Game game(*data, 1);
    if (!game.startBattle({"Golem", "Morcego", "Lobo"})) {
        state.SkipWithError("the demo has no such monsters");
        return;
    }
    // Fogo on the golem; the animation's third frame
    game.press(Key::Magic);
    game.press(Key::Choice, 1);
    game.press(Key::Choice, 1);
    while (!game.battle()->spellShow()) game.tick();
    for (int i = 0; i < kSpellFrames / 2; ++i) game.tick();
    Renderer renderer;
    QImage window(1280, 960, QImage::Format_RGB32);
    QPainter p(&window);
    renderer.paint(p, window.size(), game);
    for (auto _ : state) renderer.paint(p, window.size(), game);
}
BENCHMARK(BM_BattleFrameThreeMonstersAndSpell)->Unit(benchmark::kMicrosecond);

// From the step that starts a battle to its first frame drawn at 1280 x 960:
// the monsters chosen, the battle set up, and every picture of the scene read
// for the first time (background, three monsters, the hero).
void BM_BattleStartToFirstFrame(benchmark::State& state) {
    if (!QDir(demoFolder()).exists()) {
        state.SkipWithError("the demo project is not built");
        return;
    }
    QImage window(1280, 960, QImage::Format_RGB32);
    QPainter p(&window);
    for (auto _ : state) {
        state.PauseTiming();
        auto data = loadGame({demoFolder(), "Floresta.xml", {}, qmtest::binFolder()});
        Game game(*data, 1);
        Renderer renderer;
        renderer.paint(p, window.size(), game);
        state.ResumeTiming();
        game.startBattle({"Slime", "Morcego", "Lobo"});
        renderer.paint(p, window.size(), game);
    }
}
BENCHMARK(BM_BattleStartToFirstFrame)->Unit(benchmark::kMillisecond);

// A map transfer ("MudarMapa:") from a small map to a 100 x 100 map with an
// event on every cell: reading the map (its tiles, tables and 10,000 event
// scripts), setting the new world up, and drawing its first frame at
// 1280 x 960. The fade around it (a quarter second out, a quarter second in)
// is time the player shows on purpose and is not counted: the game's frames
// go by without drawing while it runs.
void BM_TransferTo100x100MapToFirstFrame(benchmark::State& state) {
    qmtest::ProjectFixture project;
    MapGrid small;
    small.newGrid(7);
    project.addMap("Vila.xml", small);
    MapGrid world = qmtest::paintedGrid(100);
    for (int r = 1; r <= 100; ++r)
        for (int c = 1; c <= 100; ++c)
            world.setEvento(r, c,
                            (r + c) % 2 ? "OnPlayerTouch>IniciaChuva:ShowMessage:Chuva na celula " + std::to_string(r) +
                                              "," + std::to_string(c) + "!&"
                                        : "OnActionPress>SeInterruptor:3|Ligado&ShowMessage:Aberta&Senao:"
                                          "ShowMessage:Fechada&FimSe:");
    project.addMap("Mundo.xml", world);
    auto data = loadGame({project.projectFile(), "Vila.xml", std::pair{4, 4}, qmtest::binFolder()});
    QImage window(1280, 960, QImage::Format_RGB32);
    QPainter p(&window);
    const Script go = parseCellEvent("OnActionPress>MudarMapa:50|50|Mundo.xml&");
    double work = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Game game(*data, 1);
        Renderer renderer;
        game.tick();
        renderer.paint(p, window.size(), game);
        state.ResumeTiming();
        QElapsedTimer clock;
        clock.start();
        game.world().runEvent(go, "bench");  // reads the map
        double ms = clock.nsecsElapsed() / 1e6;
        state.PauseTiming();
        while (game.fading() && game.fade() < 1.0) game.tick();  // the fade out, to black
        state.ResumeTiming();
        clock.restart();
        game.tick();                             // the new map takes the place of the old one
        renderer.paint(p, window.size(), game);  // its first frame (still dark)
        renderer.paint(p, window.size(), game);
        ms += clock.nsecsElapsed() / 1e6;
        work += ms;
        if (game.mapName() != "Mundo.xml") {
            state.SkipWithError("the transfer did not happen");
            return;
        }
    }
    state.counters["transfer_ms"] = work / static_cast<double>(state.iterations());
}
BENCHMARK(BM_TransferTo100x100MapToFirstFrame)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
