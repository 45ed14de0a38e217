// Speed of a simulation run, stage by stage, against a memcpy of the same picture as the
// memory-bandwidth reference, and how each stage grows with the size of the repeat.

#include "app/design.h"
#include "base/randomsource.h"
#include "knit/samples.h"
#include "knit/treatmentpasses.h"
#include "knit/tricot.h"
#include "simulation/reliefpasses.h"
#include "simulation/simulationcanvas.h"
#include "simulation/simulationrun.h"

#include <QElapsedTimer>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstring>

using namespace warplon;

namespace {

// A four-bar power net stretched to the asked repeat: the lapping pattern repeated down the
// courses, the threading repeat forced to `wales` needles.
void makeFourBarDesign(Design &design, int32_t wales, int32_t courses)
{
    MakeNewDesign(design);
    MakeSample(QStringLiteral("power-net"), design.header, design.document);
    for (Tex &bar : design.document.bars) {
        const std::vector<ChainLink> pattern = bar.lapping;
        bar.SetCourseCount(courses);
        for (int32_t c = 0; c < courses; ++c)
            bar.lapping[size_t(c)] = pattern[size_t(c) % pattern.size()];
        bar.Normalize();
    }
    design.header.courseCount = courses;
    design.document.optimizeRepeat = 0;
    design.document.completeNeedle = wales;
    design.simulation.zoomUnits = 4;
    design.simulation.zoomTenths = 0;
}

struct Scenario
{
    Design design;
    QSize view;
};

void runStages(benchmark::State &state, Scenario &scenario)
{
    Design &d = scenario.design;
    SimulationSettings settings = d.simulation;
    const std::optional<SimulationGeometry> g
        = PrepareSimulation(settings, d.header, d.document, scenario.view);
    if (!g) {
        state.SkipWithError("no picture");
        return;
    }
    StageTimings sum;
    double tiling = 0;
    for (auto _ : state) {
        RandomSource random(1);
        StageTimings t;
        const SimulationJob job{d.header, d.document, d.guideBars,  d.treatment,
                                settings, 0,          scenario.view};
        TCorvexBitmap picture;
        RunSimulation(job, picture, random, nullptr, &t);
        sum.build += t.build;
        sum.relax += t.relax;
        sum.segments += t.segments;
        sum.paint += t.paint;
        sum.passes += t.passes;
        sum.total += t.total;
        benchmark::DoNotOptimize(picture.image().constBits());
    }
    const double n = double(state.iterations());
    state.counters["build_ms"] = sum.build / n;
    state.counters["relax_ms"] = sum.relax / n;
    state.counters["segments_ms"] = sum.segments / n;
    state.counters["paint_ms"] = sum.paint / n;
    state.counters["passes_ms"] = sum.passes / n;
    (void)tiling;
    state.counters["nodes"] = double(g->wales) * g->courses;
    state.counters["picture_px"] = double(g->pictureWidth) * g->pictureHeight;
    state.counters["repeat_px"] = double(g->repeatWidth) * g->repeatHeight;

    // The memory-bandwidth reference: one copy of a picture of the same size.
    const size_t bytes = size_t(((g->pictureWidth * 24 + 31) / 32) * 4) * size_t(g->pictureHeight);
    std::vector<char> from(bytes, 1), to(bytes);
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < 10; ++i) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::ClobberMemory();
    }
    state.counters["memcpy_ms"] = double(timer.nsecsElapsed()) / 1e6 / 10;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_mb"] = double(usage.ru_maxrss) / 1024.0;
    state.counters["picture_mb"] = double(bytes) / (1024.0 * 1024.0);
}

void BM_DefaultDesign(benchmark::State &state)
{
    Scenario s;
    MakeNewDesign(s.design);
    s.view = QSize(1600, 1200);
    runStages(state, s);
}

void BM_TypicalFourBar(benchmark::State &state)
{
    Scenario s;
    makeFourBarDesign(s.design, 48, 96);
    s.view = QSize(1, 1);
    runStages(state, s);
}

void BM_LargeFourBar(benchmark::State &state)
{
    Scenario s;
    makeFourBarDesign(s.design, 600, 480);
    s.view = QSize(1, 1);
    runStages(state, s);
}

// Wales and courses doubled step by step from 24 x 48.
void BM_Scaling(benchmark::State &state)
{
    Scenario s;
    const int32_t factor = int32_t(state.range(0));
    makeFourBarDesign(s.design, 24 * factor, 48 * factor);
    s.view = QSize(1, 1);
    runStages(state, s);
}

} // namespace

BENCHMARK(BM_DefaultDesign)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TypicalFourBar)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_LargeFourBar)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(BM_Scaling)->Arg(1)->Arg(2)->Arg(4)->Arg(8)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
