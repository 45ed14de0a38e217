#include "simulation/livesimulation.h"

#include "app/design.h"
#include "base/progress.h"
#include "base/randomsource.h"
#include "simulation/simulationrun.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace warplon;

namespace {

// The event loop the deliveries come through.
QCoreApplication &application()
{
    static int argc = 1;
    static char name[] = "test_live";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

// Lets queued deliveries arrive until `done` or a generous limit; false on the limit.
template<typename Done>
bool waitFor(Done done, int limitMs = 60000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > limitMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

class LiveSimulationTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        application();
        MakeNewDesign(design);
        design.simulation.fuzz = 20;
    }

    SimulationSnapshot snapshot() const
    {
        return TakeSimulationSnapshot(design.header, design.document, design.guideBars,
                                      design.treatment, design.simulation, 0, view, 11);
    }

    // The picture the window makes without live mode: a run on the design itself, no cache.
    QImage runWithoutLive() const
    {
        SimulationSnapshot d = snapshot();
        RandomSource random(11);
        TCorvexBitmap picture;
        DirectionMemory directions;
        SimulationJob job{d.header, d.document, d.guideBars, d.treatment, d.settings, 0, view};
        job.directions = &directions;
        EXPECT_TRUE(RunSimulation(job, picture, random));
        return picture.image().copy();
    }

    std::unique_ptr<LiveSimulation> makeLive()
    {
        return std::make_unique<LiveSimulation>(
            [this] { return snapshot(); },
            [this](std::shared_ptr<SimulationOutcome> o) { outcomes.push_back(std::move(o)); });
    }

    Design design;
    QSize view{240, 180};
    std::vector<std::shared_ptr<SimulationOutcome>> outcomes;
};

} // namespace

TEST_F(LiveSimulationTest, QuickEditsEndWithThePictureOfTheLastOne)
{
    auto live = makeLive();
    for (int edit = 0; edit < 20; ++edit) {
        design.document.bars[0].lapping[size_t(edit % 8)] = {edit % 3, edit % 3 + 1, 0};
        live->Changed();
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ASSERT_TRUE(waitFor([&] { return !live->busy(); }));
    ASSERT_FALSE(outcomes.empty());
    const SimulationOutcome &last = *outcomes.back();
    EXPECT_EQ(last.generation, live->generation());
    EXPECT_EQ(last.generation, 20u);
    EXPECT_TRUE(last.made) << last.error.toStdString();
    // Edits faster than the delay start one run, or very few on a slow machine.
    EXPECT_LE(live->runsStarted(), 3);
    // Only the newest change delivers, and its picture is the one the window makes without
    // live mode.
    for (const auto &outcome : outcomes)
        EXPECT_EQ(outcome->generation, live->generation());
    EXPECT_EQ(last.picture.image(), runWithoutLive());
}

TEST_F(LiveSimulationTest, ZoomAndColourRepaintWithoutBuildingOrRelaxing)
{
    auto live = makeLive();
    live->RunNow();
    ASSERT_TRUE(waitFor([&] { return !live->busy(); }));
    ASSERT_EQ(outcomes.size(), 1u);

    const ModelWork before = ModelWorkDone();
    design.simulation.zoomUnits = 6;
    live->Changed();
    ASSERT_TRUE(waitFor([&] { return !live->busy(); }));
    design.document.yarns[0].color = 0x0000FF;
    design.simulation.backgroundColor = 0x303030;
    live->Changed();
    ASSERT_TRUE(waitFor([&] { return !live->busy(); }));
    EXPECT_EQ(ModelWorkDone().builds, before.builds);
    EXPECT_EQ(ModelWorkDone().relaxations, before.relaxations);
    ASSERT_EQ(outcomes.size(), 3u);
    EXPECT_EQ(outcomes.back()->picture.image(), runWithoutLive());

    // A lapping click builds again.
    const int64_t builds = ModelWorkDone().builds;
    design.document.bars[1].lapping[0] = {0, 1, 0};
    live->Changed();
    ASSERT_TRUE(waitFor([&] { return !live->busy(); }));
    EXPECT_EQ(ModelWorkDone().builds, builds + 1);
}

TEST_F(LiveSimulationTest, StoppedRunLeavesNoPicture)
{
    // A run stopped halfway hands back nothing to show.
    struct StopHalfway : Progress
    {
        int reports = 0;
        void SetPercent(int32_t) override { ++reports; }
        bool StopRequested() const override { return reports > 30; }
    } stop;
    const std::shared_ptr<SimulationOutcome> stopped = RunSnapshot(snapshot(), nullptr, &stop);
    EXPECT_FALSE(stopped->made);
    EXPECT_FALSE(stopped->picture.IsAllocated());

    // Changes while a large run goes on: the run is overtaken, only the last change delivers.
    view = QSize(1600, 1200);
    design.simulation.zoomUnits = 12;
    auto live = makeLive();
    live->RunNow();
    ASSERT_TRUE(waitFor([&] { return live->runsStarted() >= 1; }));
    view = QSize(200, 150);
    design.simulation.zoomUnits = 4;
    live->Changed();
    ASSERT_TRUE(waitFor([&] { return !live->busy(); }));
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_EQ(outcomes[0]->generation, 2u);
    EXPECT_LE(outcomes[0]->picture.Width(), 400);
}

TEST_F(LiveSimulationTest, ClosingDuringARunNeitherHangsNorCrashes)
{
    view = QSize(1600, 1200);
    design.simulation.zoomUnits = 12;
    auto live = makeLive();
    live->RunNow();
    ASSERT_TRUE(waitFor([&] { return live->runsStarted() >= 1; }));
    live.reset(); // joins the worker, which stops at its next report
    QCoreApplication::processEvents();
    EXPECT_TRUE(outcomes.empty());
}
