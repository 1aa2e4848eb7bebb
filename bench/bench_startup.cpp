// Cold start of the editor: from starting the process to the main window
// painted with a project whose first map is 100 x 100 (the splash window's
// fade is not waited for). Each iteration starts build/bin/quillmark on the
// offscreen platform with QUILLMARK_STARTUP_REPORT=exit and stops the clock
// when the editor reports that its window is shown.
#include "PaintedMap.h"
#include "ProjectFixture.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

void ensureApplication() {
    static int argc = 1;
    static char name[] = "bench_startup";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
}

void BM_ColdStartWith100x100Map(benchmark::State& state) {
    ensureApplication();
    const QString editor = qmtest::binFolder() + "quillmark";
    if (!QFile::exists(editor)) {
        state.SkipWithError("the editor is not built");
        return;
    }
    qmtest::ProjectFixture project;
    project.addMap("Mundo.xml", qmtest::paintedGrid(100));
    QTemporaryDir home;  // the settings and the association go here, not into the user's folders

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("QUILLMARK_STARTUP_REPORT", "exit");
    env.insert("XDG_CONFIG_HOME", home.path() + "/config");
    env.insert("XDG_DATA_HOME", home.path() + "/data");
    env.insert("XDG_DATA_DIRS", home.path() + "/none");

    double inProcessTotal = 0;
    int runs = 0;
    for (auto _ : state) {
        QProcess process;
        process.setProcessEnvironment(env);
        QElapsedTimer clock;
        clock.start();
        process.setReadChannel(QProcess::StandardError);
        process.start(editor, {project.projectFile()});
        QByteArray err;
        double shown = 0;
        while (shown == 0 && process.waitForReadyRead(30000)) {
            err += process.readAllStandardError();
            const qsizetype at = err.indexOf("startup-ms: ");
            if (at >= 0 && err.indexOf('\n', at) > at) {
                shown = clock.nsecsElapsed() / 1e9;
                inProcessTotal += err.mid(at + 12, err.indexOf('\n', at) - at - 12).toDouble();
                ++runs;
            }
        }
        process.waitForFinished(30000);
        if (shown == 0) {
            state.SkipWithError(("the editor reported no start-up: " + err.toStdString()).c_str());
            return;
        }
        state.SetIterationTime(shown);
    }
    if (runs) state.counters["in_process_ms"] = inProcessTotal / runs;
}

}  // namespace

BENCHMARK(BM_ColdStartWith100x100Map)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(8);

BENCHMARK_MAIN();
