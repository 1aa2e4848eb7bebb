// Saved games and the handed-out game: one save of the demo's game state into
// a slot (written atomically; goal <= 20 ms), loading it back, and the packaged
// demo started from its launcher to its title screen painted (goal <= 0.5 s).
#include "TempDir.h"

#include "play/model/Game.h"
#include "play/model/PlayData.h"
#include "play/model/SaveGame.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <benchmark/benchmark.h>

using namespace quillmark;
using namespace quillmark::play;

namespace {

QString demoFolder() { return QDir::cleanPath(qmtest::binFolder() + "../demo"); }

// A copy of the demo to save into (the build's demo stays as it is).
bool copyDemo(const QString& to) {
    QDirIterator it(demoFolder(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString from = it.next();
        const QString target = to + "/" + QDir(demoFolder()).relativeFilePath(from);
        QDir().mkpath(QFileInfo(target).path());
        if (!QFile::copy(from, target)) return false;
    }
    QDir().mkpath(to + "/Saves");
    return true;
}

void BM_SaveTheDemoGame(benchmark::State& state) {
    qmtest::TempDir dir;
    if (!QDir(demoFolder()).exists() || !copyDemo(dir.file("demo"))) {
        state.SkipWithError("the demo project is not built");
        return;
    }
    const auto data = loadGame({dir.file("demo"), {}, {}, qmtest::binFolder()});
    Game game(*data, 1);
    game.state().addItem("Po\xE7\xE3o", 5);
    for (int n = 1; n <= 100; n += 3) game.state().setSwitch(n, true);
    int slot = 0;
    for (auto _ : state) game.saveTo(1 + slot++ % kSaveSlots);
}
BENCHMARK(BM_SaveTheDemoGame)->Unit(benchmark::kMillisecond);

void BM_LoadTheDemoGame(benchmark::State& state) {
    qmtest::TempDir dir;
    if (!QDir(demoFolder()).exists() || !copyDemo(dir.file("demo"))) {
        state.SkipWithError("the demo project is not built");
        return;
    }
    const auto data = loadGame({dir.file("demo"), {}, {}, qmtest::binFolder()});
    Game game(*data, 1);
    game.saveTo(2);
    for (auto _ : state) game.loadFrom(2);
}
BENCHMARK(BM_LoadTheDemoGame)->Unit(benchmark::kMillisecond);

// The packaged demo, from starting its launcher to the title screen painted
// (the player reports the first frame), on the offscreen platform.
void BM_PackagedDemoStartToTitle(benchmark::State& state) {
    qmtest::TempDir dir;
    QProcess package;
    package.start(qmtest::binFolder() + "quillmark-cli",
                  {"package", demoFolder() + "/ValeSereno.qmk", dir.file("pacote")});
    if (!QDir(demoFolder()).exists() || !package.waitForFinished(120000) || package.exitCode() != 0) {
        state.SkipWithError("the demo could not be packaged");
        return;
    }
    QProcessEnvironment env;
    env.insert("PATH", "/usr/bin:/bin");
    env.insert("HOME", dir.file("home"));
    env.insert("XDG_RUNTIME_DIR", dir.path());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("QUILLMARK_STARTUP_REPORT", "exit");
    for (auto _ : state) {
        QProcess p;
        p.setProcessEnvironment(env);
        QElapsedTimer clock;
        clock.start();
        p.start(dir.file("pacote/ValeSereno"), {});
        p.setReadChannel(QProcess::StandardError);
        QByteArray err;
        double shown = 0;
        while (shown == 0 && p.waitForReadyRead(10000)) {
            err += p.readAllStandardError();
            if (err.contains("startup-ms: ") && err.indexOf('\n', err.indexOf("startup-ms: ")) > 0)
                shown = clock.nsecsElapsed() / 1e9;
        }
        p.waitForFinished(10000);
        if (shown == 0) {
            state.SkipWithError(("the packaged game reported no first frame: " + err.toStdString()).c_str());
            return;
        }
        state.SetIterationTime(shown);
    }
}
BENCHMARK(BM_PackagedDemoStartToTitle)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(8);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
