// Cold start of the editor: from starting the process to the main window
// painted with a project whose first map is 100 x 100 (the splash window's
// fade is not waited for). Each iteration starts build/bin/quillmark on the
// offscreen platform with QUILLMARK_STARTUP_REPORT=exit and stops the clock
// when the editor reports that its window is shown. The system's data folders
// (the shared MIME database among them) are the real ones, as when a user
// starts it; only the user's own folders are temporary, so that the run
// leaves nothing in them. A first, untimed start writes the association
// there, as the user's very first start does. Counters: the editor's own
// figure (in_process_ms) and the CPU time of the whole process (cpu_ms).
#include "PaintedMap.h"
#include "ProjectFixture.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <sys/resource.h>

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

    auto childCpuMs = [] {
        struct rusage usage {};
        getrusage(RUSAGE_CHILDREN, &usage);
        return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
               (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    };
    {
        QProcess first;  // the very first start: the association is written
        first.setProcessEnvironment(env);
        first.start(editor, {project.projectFile()});
        first.waitForFinished(30000);
    }

    double inProcessTotal = 0;
    double cpuTotal = 0;
    int runs = 0;
    for (auto _ : state) {
        const double cpuBefore = childCpuMs();
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
        cpuTotal += childCpuMs() - cpuBefore;
        if (shown == 0) {
            state.SkipWithError(("the editor reported no start-up: " + err.toStdString()).c_str());
            return;
        }
        state.SetIterationTime(shown);
    }
    if (runs) {
        state.counters["in_process_ms"] = inProcessTotal / runs;
        state.counters["cpu_ms"] = cpuTotal / runs;
    }
}

}  // namespace

BENCHMARK(BM_ColdStartWith100x100Map)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(8);

BENCHMARK_MAIN();
