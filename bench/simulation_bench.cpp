// Speed of a simulation run, stage by stage, against a memcpy of the same picture as the
// memory-bandwidth reference, and how each stage grows with the size of the repeat.

#include "app/design.h"
#include "base/randomsource.h"
#include "benchdesigns.h"
#include "knit/samples.h"
#include "knit/tricot.h"
#include "simulation/simulationcanvas.h"
#include "simulation/simulationrun.h"

#include <QElapsedTimer>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstring>
#include <fstream>
#include <string>

using namespace warplon;

namespace {

// The four-bar design with every pass at work: the spandex wave effect, and the front bar
// sheared in every course as for a velour.
void makeFinishedDesign(Design &design, int32_t wales, int32_t courses)
{
    bench::MakeFourBarDesign(design, wales, courses);
    design.simulation.effect = 2;
    design.treatment.method = TreatmentShearing;
    design.treatment.courseFlags.assign(size_t(courses), {0, 0, 0, 1});
}

template<typename T>
size_t vectorBytes(const std::vector<T> &v)
{
    return v.capacity() * sizeof(T);
}

// Heap bytes of a relaxed model.
size_t modelBytes(const Tricot &model)
{
    size_t bytes = vectorBytes(model.nodes) + vectorBytes(model.initialPositions);
    for (const Octopus &node : model.nodes) {
        bytes += vectorBytes(node.links) + vectorBytes(node.backLinks) + vectorBytes(node.underlaps)
                 + vectorBytes(node.loops);
    }
    return bytes;
}

size_t segmentBytes(const SimulationCanvas &canvas)
{
    size_t bytes = 0;
    for (const auto &list : canvas.lists())
        bytes += vectorBytes(list);
    return bytes;
}

// The process's resident memory now, from /proc (the peak comes from getrusage).
double residentMegabytes()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0;
    }
    return 0.0;
}

double peakResidentMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

constexpr double kMegabyte = 1024.0 * 1024.0;

void runStages(benchmark::State &state, Design &d, QSize view, bool tileWholeViewer)
{
    const double residentBefore = residentMegabytes();
    SimulationSettings settings = d.simulation;
    const std::optional<SimulationGeometry> g
        = PrepareSimulation(settings, d.header, d.document, view);
    if (!g) {
        state.SkipWithError("no picture");
        return;
    }
    StageTimings sum;
    double tiling = 0;
    for (auto _ : state) {
        RandomSource random(1);
        const SimulationJob job{d.header, d.document, d.guideBars, d.treatment, settings, 0, view};
        TCorvexBitmap picture;
        RunSimulation(job, picture, random, nullptr, &sum);
        if (tileWholeViewer) {
            QElapsedTimer timer;
            timer.start();
            const TCorvexBitmap viewer = TileWholeViewer(picture);
            benchmark::DoNotOptimize(viewer.image().constBits());
            tiling += double(timer.nsecsElapsed()) / 1e6;
        }
        benchmark::DoNotOptimize(picture.image().constBits());
    }
    const double n = double(state.iterations());
    state.counters["build_ms"] = sum.build / n;
    state.counters["relax_ms"] = sum.relax / n;
    state.counters["segments_ms"] = sum.segments / n;
    state.counters["paint_ms"] = sum.paint / n;
    state.counters["passes_ms"] = sum.passes / n;
    state.counters["tiling_ms"] = tiling / n;
    state.counters["nodes"] = double(g->wales) * g->courses;
    state.counters["picture_px"] = double(g->pictureWidth) * g->pictureHeight;

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
    state.counters["picture_mb"] = double(bytes) / kMegabyte;

    // The model and segments of one run, measured on a model built outside the timing.
    RandomSource random(1);
    Tricot model(g->wales, g->courses, g->yPitch, g->xPitch);
    model.Build(d.document, d.guideBars.runInBrightness, nullptr);
    model.Relax(settings.optimize, settings.effect != 0, nullptr, d.guideBars.noTension);
    SimulationCanvas canvas(g->repeatWidth, g->repeatHeight, settings.backgroundColor,
                            settings.fuzz, settings.colorOnColor, settings.backView, g->zoom);
    canvas.BuildSegments(model, random);
    state.counters["model_mb"] = double(modelBytes(model)) / kMegabyte;
    state.counters["segments_mb"] = double(segmentBytes(canvas)) / kMegabyte;
    state.counters["rss_before_mb"] = residentBefore;
    state.counters["peak_rss_mb"] = peakResidentMegabytes();
}

void BM_DefaultDesign(benchmark::State &state)
{
    Design design;
    MakeNewDesign(design);
    runStages(state, design, QSize(1600, 1200), true);
}

void BM_TypicalFourBar(benchmark::State &state)
{
    Design design;
    bench::MakeFourBarDesign(design, 48, 96);
    runStages(state, design, QSize(1, 1), false);
}

void BM_TypicalFinished(benchmark::State &state)
{
    Design design;
    makeFinishedDesign(design, 48, 96);
    runStages(state, design, QSize(1, 1), false);
}

void BM_LargeFourBar(benchmark::State &state)
{
    Design design;
    bench::MakeFourBarDesign(design, 600, 480);
    runStages(state, design, QSize(1, 1), false);
}

// The finished design with wales and courses doubled step by step from 24 x 48, so that every
// stage has work at every size.
void BM_Scaling(benchmark::State &state)
{
    Design design;
    const int32_t factor = int32_t(state.range(0));
    makeFinishedDesign(design, 24 * factor, 48 * factor);
    runStages(state, design, QSize(1, 1), false);
}

} // namespace

BENCHMARK(BM_DefaultDesign)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5);
BENCHMARK(BM_TypicalFourBar)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5);
BENCHMARK(BM_TypicalFinished)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5);
BENCHMARK(BM_LargeFourBar)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(BM_Scaling)
    ->RangeMultiplier(2)
    ->Range(1, 8)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(3);

BENCHMARK_MAIN();
