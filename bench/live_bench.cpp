// Speed of the live simulation on the typical four-bar design at zoom 4 in an 800 x 600 view:
// the time from a lapping click to the picture delivered in the window's thread, the repaints
// that reuse the kept relaxed model (a zoom change, a yarn colour change), and a whole run
// without a kept model for reference.

#include "app/design.h"
#include "benchdesigns.h"
#include "knit/samples.h"
#include "knit/tricot.h"
#include "simulation/livesimulation.h"
#include "simulation/simulationrun.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QObject>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <utility>

using namespace warplon;

namespace {

using Clock = std::chrono::steady_clock;

// The copy a run works on, taken the way the simulation window takes it.
SimulationSnapshot snapshotOf(const Design &design)
{
    return TakeSimulationSnapshot(design.header, design.document, design.guideBars,
                                  design.treatment, design.simulation, design.currentBar,
                                  QSize(800, 600), 1);
}

double secondsBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double>(to - from).count();
}

bool sameWork(const ModelWork &a, const ModelWork &b)
{
    return a.builds == b.builds && a.relaxations == b.relaxations;
}

// The course of the front bar whose overlap a click turns round: 1-2 becomes 2-1 and back,
// a change of the lapping, so every click needs a new model.
constexpr int32_t kClickedCourse = 49;

void clickLapping(Design &design)
{
    Tex &bar = design.document.bars[0];
    ChainLink &link = bar.lapping[size_t(kClickedCourse)];
    std::swap(link.x0, link.x1);
    bar.Normalize();
}

// Edits the design with `edit` and times each edit from the call of Changed() to the moment
// the finished handler gets the picture in this thread, with the live mode's delay given by the
// benchmark's argument (0: the work alone). The event loop is pumped with processEvents, which
// waits for events rather than spinning, so the worker has the processor. Counts the builds and
// relaxations per edit, and fails when they are not `modelsPerEdit`.
template<typename Edit>
void timeLiveEdits(benchmark::State &state, Edit edit, int64_t modelsPerEdit)
{
    Design design;
    bench::MakeFourBarDesign(design, 48, 96);
    std::shared_ptr<SimulationOutcome> outcome;
    Clock::time_point deliveredAt;
    LiveSimulation live([&design] { return snapshotOf(design); },
                        [&outcome, &deliveredAt](std::shared_ptr<SimulationOutcome> delivered) {
                            deliveredAt = Clock::now();
                            outcome = std::move(delivered);
                        });
    live.SetDelay(int32_t(state.range(0)));

    // A picture that never comes ends the benchmark instead of hanging it.
    bool late = false;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&late] { late = true; });

    // One edit; the seconds to its picture, or a negative number when none was made.
    const auto change = [&]() -> double {
        outcome.reset();
        late = false;
        watchdog.start(20000);
        edit(design);
        const Clock::time_point start = Clock::now();
        live.Changed();
        while (!outcome && !late)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        watchdog.stop();
        if (!outcome || !outcome->made || outcome->generation != live.generation())
            return -1.0;
        return secondsBetween(start, deliveredAt);
    };

    // The first picture outside the timing: the worker's first run builds the model it keeps.
    watchdog.start(20000);
    live.RunNow();
    while (live.busy() && !late)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (change() < 0) {
        state.SkipWithError("the first edit gave no picture");
        return;
    }
    const ModelWork before = ModelWorkDone();
    const int64_t runsBefore = live.runsStarted();
    for (auto _ : state) {
        const double seconds = change();
        if (seconds < 0) {
            state.SkipWithError("an edit gave no picture");
            break;
        }
        state.SetIterationTime(seconds);
    }
    const ModelWork after = ModelWorkDone();
    const int64_t edits = std::max<int64_t>(int64_t(state.iterations()), 1);
    state.counters["builds_per_edit"] = double(after.builds - before.builds) / double(edits);
    state.counters["relaxations_per_edit"]
        = double(after.relaxations - before.relaxations) / double(edits);
    state.counters["runs_per_edit"] = double(live.runsStarted() - runsBefore) / double(edits);
    if (!state.error_occurred()
        && (after.builds - before.builds != modelsPerEdit * edits
            || after.relaxations - before.relaxations != modelsPerEdit * edits))
        state.SkipWithError("an edit built or relaxed the model an unexpected number of times");
}

// A lapping click: the model is built and relaxed anew for every click.
void BM_ClickToPicture(benchmark::State &state)
{
    timeLiveEdits(state, clickLapping, 1);
}

// A zoom change through the live worker, zoom 4 and 5 in turn: the worker's kept model serves.
void BM_ZoomChangeLive(benchmark::State &state)
{
    timeLiveEdits(
        state,
        [](Design &design) {
            design.simulation.zoomUnits = design.simulation.zoomUnits == 4 ? 5 : 4;
        },
        0);
}

// Runs alternating between two copies that differ only in how the fabric is drawn, on a model
// kept from a first run: the time of RunSnapshot alone (the copies are made outside the timing).
// Fails when the kept model was built or relaxed again, or when the two copies give the same
// picture (the change would not have been made).
void runOnKeptModel(benchmark::State &state, const SimulationSnapshot &first,
                    const SimulationSnapshot &second)
{
    SimulationModelCache cache;
    const std::shared_ptr<SimulationOutcome> a = RunSnapshot(first, &cache, nullptr);
    const std::shared_ptr<SimulationOutcome> b = RunSnapshot(second, &cache, nullptr);
    if (!a->made || !b->made) {
        state.SkipWithError("no picture");
        return;
    }
    if (a->picture.image() == b->picture.image()) {
        state.SkipWithError("the two copies give the same picture");
        return;
    }
    state.counters["picture_px"] = double(a->picture.Width()) * a->picture.Height();
    state.counters["other_picture_px"] = double(b->picture.Width()) * b->picture.Height();

    const ModelWork before = ModelWorkDone();
    bool useSecond = false;
    for (auto _ : state) {
        SimulationSnapshot copy = useSecond ? second : first;
        useSecond = !useSecond;
        const Clock::time_point start = Clock::now();
        const std::shared_ptr<SimulationOutcome> outcome
            = RunSnapshot(std::move(copy), &cache, nullptr);
        const Clock::time_point end = Clock::now();
        benchmark::DoNotOptimize(outcome->picture.image().constBits());
        if (!outcome->made) {
            state.SkipWithError("a run on the kept model gave no picture");
            break;
        }
        state.SetIterationTime(secondsBetween(start, end));
    }
    if (!state.error_occurred() && !sameWork(before, ModelWorkDone()))
        state.SkipWithError("the kept model was built or relaxed again");
}

// Zoom 4 and zoom 5 in turn.
void BM_ZoomChange(benchmark::State &state)
{
    Design design;
    bench::MakeFourBarDesign(design, 48, 96);
    const SimulationSnapshot zoom4 = snapshotOf(design);
    SimulationSnapshot zoom5 = zoom4;
    zoom5.settings.zoomUnits = 5;
    runOnKeptModel(state, zoom4, zoom5);
}

// The front bar's yarn in its own colour and in dark blue in turn.
void BM_ColourChange(benchmark::State &state)
{
    Design design;
    bench::MakeFourBarDesign(design, 48, 96);
    const SimulationSnapshot own = snapshotOf(design);
    SimulationSnapshot recoloured = own;
    recoloured.document.yarns[0].color = 0x803010; // TColor: blue 0x80, green 0x30, red 0x10
    runOnKeptModel(state, own, recoloured);
}

// A whole run with no kept model: build, relax, paint and passes, as before live mode.
void BM_FullRun(benchmark::State &state)
{
    Design design;
    bench::MakeFourBarDesign(design, 48, 96);
    const SimulationSnapshot snapshot = snapshotOf(design);
    const ModelWork before = ModelWorkDone();
    for (auto _ : state) {
        SimulationSnapshot copy = snapshot;
        const Clock::time_point start = Clock::now();
        const std::shared_ptr<SimulationOutcome> outcome
            = RunSnapshot(std::move(copy), nullptr, nullptr);
        const Clock::time_point end = Clock::now();
        benchmark::DoNotOptimize(outcome->picture.image().constBits());
        if (!outcome->made) {
            state.SkipWithError("no picture");
            break;
        }
        state.SetIterationTime(secondsBetween(start, end));
    }
    const ModelWork after = ModelWorkDone();
    const double runs = double(std::max<benchmark::IterationCount>(state.iterations(), 1));
    state.counters["builds_per_run"] = double(after.builds - before.builds) / runs;
}

} // namespace

BENCHMARK(BM_ClickToPicture)
    ->ArgName("delay_ms")
    ->Arg(30)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ZoomChangeLive)
    ->ArgName("delay_ms")
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ZoomChange)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ColourChange)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_FullRun)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

// The live simulation delivers its pictures through the event loop of the thread that made it,
// so the benchmarks need an application object; BENCHMARK_MAIN makes none.
int main(int argc, char **argv)
{
    int qtArgc = 1;
    char *qtArgv[] = {argv[0], nullptr};
    QCoreApplication application(qtArgc, qtArgv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
