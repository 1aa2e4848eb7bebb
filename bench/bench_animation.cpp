// The frame previews and frame-set editors: opening the 12-slot walking
// editor (every slot read from disk), one preview step of a 65 x 65 frame
// (read, decode, draw), and what the nine hero previews cost in one second
// of running. Runs with an offscreen QApplication over a project made from
// the template set.
#include "ProjectFixture.h"
#include "ScriptedPrompts.h"
#include "WidgetBenchMain.h"

#include "SessionSetUp.h"
#include "model/session/Workspace.h"
#include "ui/animation/uCharAniEdit.h"
#include "ui/animation/uFramePreview.h"
#include "ui/animation/uFramePreviews.h"

#include <QApplication>
#include <QDir>
#include <benchmark/benchmark.h>

#include <map>
#include <memory>

using namespace quillmark;

namespace {

struct AnimationBench {
    qmtest::ProjectFixture project;
    Workspace ws{std::make_unique<qmtest::ScriptedPrompts>()};
    QWidget page;
    std::unique_ptr<TFramePreviews> previews;
    std::unique_ptr<TForm3> walking;

    AnimationBench() {
        qmtest::projectOf(ws).ProjectFolder = project.folder();
        ws.session().tables().pointAtProject(project.folder());
        previews = std::make_unique<TFramePreviews>(ws, &page);
        walking = std::make_unique<TForm3>(ws, &page);
        int x = 0;
        for (const Animation& a : animations()) {
            auto* host = new QWidget(&page);
            host->setGeometry(x, 0, a.face ? kFaceSide : kFrameSide, a.face ? kFaceSide : kFrameSide);
            x += 90;
            previews->attach(a.key, host);
        }
        page.resize(x, 90);
        page.show();
        // 65 x 65 frames for the spell-casting hero
        const Animation& magic = *findAnimation("HeroBatMagia");
        RecordTable& hero = ws.session().tables().cdsPersonagem;
        hero.first();
        for (size_t i = 0; i < magic.frames.size(); ++i) {
            QImage image(kFrameSide, kFrameSide, QImage::Format_RGB32);
            image.fill(qRgb(40 + int(i) * 30, 120, 200));
            image.setPixel(0, kFrameSide - 1, qRgb(255, 0, 255));
            Picture(image).SaveToFile(project.folder() + "Imagens/" +
                                      QString::fromStdString(hero.asString(magic.frames[i])));
        }
    }
};

std::unique_ptr<AnimationBench> theBench;
AnimationBench& bench() {
    if (!theBench) theBench = std::make_unique<AnimationBench>();
    return *theBench;
}

void BM_OpenWalkingEditor(benchmark::State& state) {
    AnimationBench& b = bench();
    for (auto _ : state) b.walking->showFrames();
}
BENCHMARK(BM_OpenWalkingEditor)->Unit(benchmark::kMillisecond);

// One step of a 65 x 65 preview: the file read and decoded, then the box painted.
void BM_PreviewStep65(benchmark::State& state) {
    AnimationBench& b = bench();
    TFramePreview* box = b.previews->preview("HeroBatMagia");
    for (auto _ : state) {
        b.previews->step("HeroBatMagia");
        box->repaint();
    }
}
BENCHMARK(BM_PreviewStep65)->Unit(benchmark::kMicrosecond);

// Three seconds of the hero page: every 300 ms preview steps ten times, the
// faces three times. The time per iteration divided by 3000 ms is the share of
// one core the running previews take.
void BM_NineHeroPreviewsThreeSeconds(benchmark::State& state) {
    AnimationBench& b = bench();
    std::vector<std::pair<QString, int>> steps;  // key, steps in 3 seconds
    for (const Animation& a : animations())
        if (a.owner == FrameOwner::Hero) steps.emplace_back(QString::fromLatin1(a.key), 3000 / a.intervalMs);
    for (auto _ : state) {
        for (const auto& [key, n] : steps)
            for (int i = 0; i < n; ++i) {
                b.previews->step(key);
                b.previews->preview(key)->repaint();
            }
    }
}
BENCHMARK(BM_NineHeroPreviewsThreeSeconds)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return runWidgetBenchmarks(argc, argv, [] { theBench.reset(); });
}
