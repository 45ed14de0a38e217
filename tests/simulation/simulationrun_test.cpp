#include "simulation/simulationrun.h"

#include "app/design.h"
#include "base/progress.h"
#include "base/randomsource.h"
#include "knit/tricot.h"

#include <gtest/gtest.h>

using namespace warplon;

TEST(SimulationRun, EditsAreCorrectedAsTheWindowShowsThem)
{
    struct Texts
    {
        const char *zoom, *width, *density, *fuzz;
        SimulationEdits edits() const
        {
            return {QLatin1String(zoom), QLatin1String(width), QLatin1String(density),
                    QLatin1String(fuzz)};
        }
    };
    struct Case
    {
        Texts in;
        Texts shown;
        int32_t units, tenths;
        double width, density;
    };
    const Case cases[] = {
        {{"0.5", "60", "3", "7"}, {"1.0", "60", "5", "7"}, 1, 0, 60.0, 5.0},
        {{"250", "0.2", "150", "120"}, {"100", "1", "100", "99"}, 100, 0, 1.0, 100.0},
        {{"", "", "", "-4"}, {"4.0", "1", "5", "0"}, 4, 0, 1.0, 5.0},
        {{"1.25", "58.5", "99.9", "0"}, {"1.25", "58.5", "99.9", "0"}, 1, 2, 58.5, 99.9},
    };
    for (const Case &c : cases) {
        SimulationEdits edits = c.in.edits();
        SimulationSettings s;
        ASSERT_TRUE(ReadSimulationEdits(edits, s, true));
        const SimulationEdits shown = c.shown.edits();
        EXPECT_EQ(edits.zoom, shown.zoom);
        EXPECT_EQ(edits.width, shown.width);
        EXPECT_EQ(edits.density, shown.density);
        EXPECT_EQ(edits.fuzz, shown.fuzz);
        EXPECT_EQ(s.zoomUnits, c.units);
        EXPECT_EQ(s.zoomTenths, c.tenths);
        EXPECT_EQ(s.widthInch, c.width);
        EXPECT_EQ(s.coursesPerCm, c.density);
    }
    SimulationEdits bad = Texts{"4.0", "wide", "20", "0"}.edits();
    SimulationSettings kept;
    QString error;
    EXPECT_FALSE(ReadSimulationEdits(bad, kept, true, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("wide")));
    EXPECT_EQ(kept.widthInch, SimulationSettings{}.widthInch);
}

TEST(SimulationRun, RepeatsCoverTheViewAndPitchesFollowTheRoundedRepeat)
{
    Design d;
    MakeNewDesign(d);
    d.document.optimizeRepeat = 0;
    d.document.completeNeedle = 12;
    SimulationSettings s;
    s.widthInch = 105.0 * 28.0 / 56.0; // finished at 56 wales per inch
    const std::optional<SimulationGeometry> g
        = PrepareSimulation(s, d.header, d.document, QSize(800, 600));
    ASSERT_TRUE(g);
    EXPECT_DOUBLE_EQ(s.walesPerInch, 56.0);
    EXPECT_DOUBLE_EQ(s.pxPerWale, 4.0 * 104.14 / 56.0);
    EXPECT_DOUBLE_EQ(s.pxPerCourse, 4.0 * 41.0 / 20.0);
    EXPECT_EQ(g->repeatWidth, 89);   // floor(12 * 7.4386)
    EXPECT_EQ(g->repeatHeight, 131); // floor(16 * 8.2)
    EXPECT_DOUBLE_EQ(g->xPitch, 89.0 / 12);
    EXPECT_EQ(s.repeatsAcross, 9); // floor(800 / 89.26 + 1)
    EXPECT_EQ(s.repeatsDown, 5);
    EXPECT_EQ(g->pictureWidth, 9 * 89);
    EXPECT_GE(g->pictureHeight, 600);

    // A picture larger than the view stays one repeat.
    const std::optional<SimulationGeometry> small
        = PrepareSimulation(s, d.header, d.document, QSize(10, 10));
    ASSERT_TRUE(small);
    EXPECT_EQ(s.repeatsAcross, 1);
    EXPECT_EQ(s.repeatsDown, 1);

    // Designs that give no picture are refused with a reason, not crashed on.
    MainData noGauge = d.header;
    noGauge.gauge = 0;
    QString error;
    EXPECT_FALSE(PrepareSimulation(s, noGauge, d.document, QSize(10, 10), &error));
    EXPECT_FALSE(error.isEmpty());
    MainData noCourses = d.header;
    noCourses.courseCount = 0;
    EXPECT_FALSE(PrepareSimulation(s, noCourses, d.document, QSize(10, 10)));
    d.document.completeNeedle = 1 << 30;
    EXPECT_FALSE(PrepareSimulation(s, d.header, d.document, QSize(10, 10)));
}

TEST(SimulationRun, SameSeedSamePictureAndRedYarnLooksRed)
{
    Design d;
    MakeNewDesign(d);
    d.document.yarns[0].color = 0x0000FF; // red
    d.simulation.fuzz = 40;
    auto render = [&](uint64_t seed) {
        RandomSource random(seed);
        TCorvexBitmap picture;
        SimulationSettings settings = d.simulation;
        const SimulationJob job{d.header, d.document, d.guideBars,    d.treatment,
                                settings, 0,          QSize(200, 200)};
        EXPECT_TRUE(RunSimulation(job, picture, random));
        return picture.image().copy();
    };
    const QImage first = render(5);
    EXPECT_EQ(render(5), first);
    EXPECT_NE(render(6), first);

    int reddish = 0;
    for (int y = 0; y < first.height(); ++y) {
        for (int x = 0; x < first.width(); ++x) {
            const QColor c = first.pixelColor(x, y);
            reddish += c.red() > c.green() + 40 && c.red() > c.blue() + 40;
        }
    }
    EXPECT_GT(reddish, first.width() * first.height() / 10);

    // A run the user stops keeps the picture of the run before, whatever pass it stopped in.
    struct StopAfter : Progress
    {
        int left;
        explicit StopAfter(int reports)
            : left(reports)
        {}
        void SetPercent(int32_t) override { --left; }
        bool StopRequested() const override { return left <= 0; }
    };
    for (int reports : {1, 40, 150}) {
        RandomSource random(5);
        TCorvexBitmap picture;
        ASSERT_TRUE(picture.Create(4, 4, nullptr, 24));
        picture.Fill(0x00FF00, QRect(0, 0, 4, 4));
        const QImage before = picture.image().copy();
        SimulationSettings settings = d.simulation;
        const SimulationJob job{d.header, d.document, d.guideBars,    d.treatment,
                                settings, 0,          QSize(200, 200)};
        StopAfter stop(reports);
        QString error;
        EXPECT_FALSE(RunSimulation(job, picture, random, &stop, nullptr, &error)) << reports;
        EXPECT_EQ(picture.image(), before);
        EXPECT_FALSE(error.isEmpty());
    }
}

TEST(SimulationRun, WholeViewerTilesFromTheTopLeft)
{
    TCorvexBitmap picture;
    ASSERT_TRUE(picture.Create(700, 400, nullptr, 24));
    picture.Fill(0x00FF00, QRect(0, 0, 1, 1));
    bool tooLarge = true;
    const TCorvexBitmap viewer = TileWholeViewer(picture, &tooLarge);
    EXPECT_FALSE(tooLarge);
    EXPECT_EQ(viewer.Width(), 1800);
    EXPECT_EQ(viewer.Height(), 1500);
    EXPECT_EQ(viewer.image().pixelColor(1400, 1200), QColor(0, 255, 0));

    TCorvexBitmap wide;
    ASSERT_TRUE(wide.Create(2000, 100, nullptr, 24));
    TileWholeViewer(wide, &tooLarge);
    EXPECT_TRUE(tooLarge);
}

// A kept model serves every zoom and every colour; anything the model is made of builds it
// again. Pictures from a kept model are the pictures of a run without one.
TEST(SimulationRun, KeptModelSkipsBuildAndRelaxOnlyWhenTheModelIsUnchanged)
{
    Design d;
    MakeNewDesign(d);
    d.simulation.fuzz = 30;
    SimulationModelCache cache;
    DirectionMemory directions;
    const auto render = [&](SimulationModelCache *kept) {
        RandomSource random(7);
        TCorvexBitmap picture;
        SimulationSettings settings = d.simulation;
        DirectionMemory start = directions;
        SimulationJob job{d.header, d.document, d.guideBars,    d.treatment,
                          settings, 0,          QSize(160, 120)};
        job.cache = kept;
        job.directions = &start;
        EXPECT_TRUE(RunSimulation(job, picture, random));
        return picture.image().copy();
    };
    const auto work = [] { return ModelWorkDone(); };

    ModelWork before = work();
    const QImage first = render(&cache);
    EXPECT_EQ(work().builds - before.builds, 1);
    EXPECT_EQ(work().relaxations - before.relaxations, 1);
    EXPECT_FALSE(cache.empty());

    // Zoom, colour, gloss and background: nothing is built or relaxed, and the picture is the
    // one a fresh run gives.
    before = work();
    d.simulation.zoomUnits = 7;
    d.document.yarns[0].color = 0x0000FF;
    d.document.yarns[0].gloss = 0.9;
    d.simulation.backgroundColor = 0x202020;
    const QImage kept = render(&cache);
    EXPECT_EQ(work().builds, before.builds);
    EXPECT_EQ(work().relaxations, before.relaxations);
    EXPECT_NE(kept, first);
    EXPECT_EQ(kept, render(nullptr));

    // The lapping, the yarn's size and the treatment each build again.
    before = work();
    d.document.bars[0].lapping[0] = {1, 0, 1};
    render(&cache);
    d.document.yarns[0].denier = 70.0;
    render(&cache);
    d.treatment.method = 1;
    d.treatment.Resize(d.header.courseCount);
    d.treatment.courseFlags[0][0] = 1;
    render(&cache);
    EXPECT_EQ(work().builds - before.builds, 3);
    before = work();
    EXPECT_EQ(render(&cache), render(nullptr));
    EXPECT_EQ(work().builds - before.builds, 1); // the run without a cache
}
