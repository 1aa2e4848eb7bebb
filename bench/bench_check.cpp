// check on a project of 5,000 maps whose files on disk differ in letter case
// from the names the project lists: each one is found without regard to case.
// One iteration is one quillmark-cli process; goal: at most 1 s.
#include "ChildRun.h"
#include "ProjectFixture.h"

#include <QFile>
#include <benchmark/benchmark.h>

#include <algorithm>

namespace {

struct ManyMaps {
    qmtest::ProjectFixture project;
    ManyMaps() {
        project.addMap("Modelo.xml");
        const QByteArray map = project.dir.read("Mapas/Modelo.xml");
        QFile::remove(project.folder() + "Mapas/Modelo.xml");
        project.maps.clear();
        QByteArray tree = "Aventura\r\n";
        for (int i = 0; i < 5000; ++i) {
            const std::string name = "Mapa" + std::to_string(i) + ".xml";
            project.maps.push_back(name);
            project.dir.write("Mapas/" + QString::fromStdString(name).toUpper(), map);
            tree += "\t" + QByteArray::fromStdString(name) + "\r\n";
        }
        project.writeProjectFile();
        project.dir.write("Data/Project.dat", tree);
    }
};

void BM_CheckFiveThousandMapsInOtherCase(benchmark::State& state) {
    static ManyMaps p;
    double cpu = 0;
    int runs = 0;
    for (auto _ : state) {
        const qmbench::ChildRun r = qmbench::runChild(
            qmtest::binFolder() + "quillmark-cli", {"check", p.project.projectFile()}, {"QT_QPA_PLATFORM=offscreen"});
        if (!r.ok) {
            state.SkipWithError("check found problems or failed");
            return;
        }
        state.SetIterationTime(r.wallMs / 1e3);
        cpu += r.cpuMs;
        ++runs;
    }
    if (runs) state.counters["cpu_ms"] = cpu / runs;
}

}  // namespace

BENCHMARK(BM_CheckFiveThousandMapsInOtherCase)->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(1.0);

BENCHMARK_MAIN();
