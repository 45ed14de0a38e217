#include "knit/chartedits.h"
#include "knit/threading.h"

#include <gtest/gtest.h>

using namespace warplon;

namespace {

Tex BarOf(const std::vector<std::pair<int32_t, int32_t>> &laps)
{
    Tex bar;
    bar.SetCourseCount(int32_t(laps.size()));
    for (size_t c = 0; c < laps.size(); ++c)
        bar.lapping[c] = {laps[c].first, laps[c].second, laps[c].first};
    bar.Normalize();
    return bar;
}

std::vector<std::pair<int32_t, int32_t>> Laps(const Tex &bar)
{
    std::vector<std::pair<int32_t, int32_t>> laps;
    for (const ChainLink &lap : bar.lapping)
        laps.emplace_back(lap.x0, lap.x1);
    return laps;
}

using Pairs = std::vector<std::pair<int32_t, int32_t>>;

} // namespace

TEST(ChartEdits, CourseEditsAndWrittenLaps)
{
    EXPECT_EQ(ClampChartCourse(0, 16), 1);
    EXPECT_EQ(ClampChartCourse(40, 16), 16);
    EXPECT_EQ(ClampChartCourse(5, 0), 1);
    EXPECT_EQ(ChartScrollForCourse(4, 16, 160), 120);
    EXPECT_EQ(NextChartCourse(16, 16), 1);
    EXPECT_EQ(NextChartCourse(3, 16), 4);

    // The default lap 2-3 turns at 2: writing 3-0 keeps the turning point, one beyond the new
    // lap is pulled back into it.
    Tex bar;
    bar.SetCourseCount(4);
    bar.Normalize();
    ASSERT_EQ(bar.lapping[0].x2, 2);
    EXPECT_EQ(WriteChartLap(bar, 1, 3, 0), 0);
    EXPECT_EQ(bar.lapping[0].x0, 3);
    EXPECT_EQ(bar.lapping[0].x1, 0);
    EXPECT_EQ(bar.lapping[0].x2, 2);
    bar.lapping[1] = {1, 4, 5};
    EXPECT_EQ(WriteChartLap(bar, 2, 3, 0), 1);
    EXPECT_EQ(bar.lapping[1].x2, 3);
    // A turning point inside the old lap stays beside the overlap's end.
    bar.lapping[2] = {0, 4, 3};
    WriteChartLap(bar, 3, 1, 6);
    EXPECT_EQ(bar.lapping[2].x2, 5);

    // Courses past the lapping wrap; a negative X 2 is 0.
    EXPECT_EQ(WriteChartLap(bar, 6, 2, -4), 1);
    EXPECT_EQ(bar.lapping[1].x1, 0);
    Tex empty;
    EXPECT_EQ(WriteChartLap(empty, 1, 1, 0), -1);
}

TEST(ChartEdits, ThreadingClickSplitsAndJoinsRuns)
{
    Tex bar;
    bar.threading = {WaleState{0, 4, 1, 0}, WaleState{1, 2, 1, 0}};
    Expand(bar);
    ASSERT_TRUE(ToggleThreadedNeedle(bar, 0));
    EXPECT_EQ(bar.threading, (std::vector<WaleState>{{0, 1, 0, 0}, {0, 3, 1, 0}, {1, 2, 1, 0}}));
    EXPECT_EQ(bar.needles.size(), 6u);
    EXPECT_EQ(bar.needles[0].threaded, 0);

    // The same needle again joins the runs back; a needle in the middle makes three runs.
    ASSERT_TRUE(ToggleThreadedNeedle(bar, 0));
    EXPECT_EQ(bar.threading, (std::vector<WaleState>{{0, 4, 1, 0}, {1, 2, 1, 0}}));
    ASSERT_TRUE(ToggleThreadedNeedle(bar, 2));
    EXPECT_EQ(bar.threading,
              (std::vector<WaleState>{{0, 2, 1, 0}, {0, 1, 0, 0}, {0, 1, 1, 0}, {1, 2, 1, 0}}));

    // Needles count within the repeat: -1 is the last needle, 13 is needle 1.
    ASSERT_TRUE(ToggleThreadedNeedle(bar, -1));
    EXPECT_EQ(bar.threading.back(), (WaleState{1, 1, 0, 0}));
    ASSERT_TRUE(ToggleThreadedNeedle(bar, 13));
    EXPECT_EQ(bar.threading.front(), (WaleState{0, 1, 1, 0}));

    Tex unthreaded;
    unthreaded.threading.clear();
    EXPECT_FALSE(ToggleThreadedNeedle(unthreaded, 0));
}

TEST(ChartEdits, ModeOneLinesReadBack)
{
    Tex bar = BarOf({{2, 3}, {10, 12}, {1, 0}});
    const QStringList lines = EditorMode1Lines(bar);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0],
              QStringLiteral("2 3") + QString(16, QLatin1Char(' ')) + QStringLiteral("(1)"));
    EXPECT_EQ(lines[1],
              QStringLiteral("10 12") + QString(12, QLatin1Char(' ')) + QStringLiteral("(2)"));

    // The course number is ignored, an empty line keeps its lap, one number keeps x1.
    ReadEditorMode1(bar, {QStringLiteral("  4 5      (1)"), QString(), QStringLiteral("7")});
    EXPECT_EQ(Laps(bar), (Pairs{{4, 5}, {10, 12}, {7, 0}}));
    ReadEditorMode1(bar, lines);
    EXPECT_EQ(Laps(bar), (Pairs{{2, 3}, {10, 12}, {1, 0}}));
}

TEST(ChartEdits, ModeTwoTokensAndRepeats)
{
    EXPECT_EQ(ParseEditorMode2(QStringLiteral("23 10"), 10), (Pairs{{2, 3}, {1, 0}}));
    EXPECT_EQ(ParseEditorMode2(QStringLiteral("1012"), 10), (Pairs{{10, 12}}));
    EXPECT_EQ(ParseEditorMode2(QStringLiteral("102"), 10), (Pairs{{1, 2}}));
    EXPECT_EQ(ParseEditorMode2(QStringLiteral("5"), 10), (Pairs{{0, 5}}));
    EXPECT_EQ(ParseEditorMode2(QStringLiteral("  23,,/10 x"), 10), (Pairs{{2, 3}, {1, 0}}));
    EXPECT_EQ(ParseEditorMode2(QStringLiteral("23 10 12"), 2).size(), 2u);

    // A short pattern repeats down the bar; nothing readable changes nothing.
    Tex bar = BarOf({{0, 0}, {0, 0}, {0, 0}, {0, 0}});
    ASSERT_TRUE(ReadEditorMode2(bar, QStringLiteral("10 12")));
    EXPECT_EQ(Laps(bar), (Pairs{{1, 0}, {1, 2}, {1, 0}, {1, 2}}));
    EXPECT_FALSE(ReadEditorMode2(bar, QStringLiteral(" - / ")));
    EXPECT_EQ(Laps(bar), (Pairs{{1, 0}, {1, 2}, {1, 0}, {1, 2}}));

    // Every line the editor writes reads back to its own laps, whatever the positions' sizes.
    Tex wide = BarOf({{10, 1}, {1, 10}, {0, 123}, {45, 6}, {7, 7}});
    const Pairs before = Laps(wide);
    const QString line = EditorMode2Line(wide);
    EXPECT_TRUE(line.startsWith(QStringLiteral("1001 0110 ")));
    ASSERT_TRUE(ReadEditorMode2(wide, line));
    EXPECT_EQ(Laps(wide), before);
}
