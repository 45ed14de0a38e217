#include "knit/records.h"
#include "knit/threading.h"

#include <gtest/gtest.h>

#include <utility>

using namespace warplon;

namespace {

using Laps = std::vector<std::pair<int32_t, int32_t>>;
using Links = std::vector<ChainLink>;

void setLaps(Tex &bar, const Laps &laps)
{
    bar.SetCourseCount(int32_t(laps.size()));
    size_t c = 0;
    for (const auto &[x0, x1] : laps)
        bar.lapping[c++] = {x0, x1, 0};
    bar.Normalize();
}

Laps laps(const Tex &bar)
{
    Laps result;
    for (const ChainLink &link : bar.lapping)
        result.emplace_back(link.x0, link.x1);
    return result;
}

// A layer of one bar with the given laps and, when first <= last, a rectangle selection.
TexLayer oneBar(const Laps &start, int32_t first = 1, int32_t last = 0)
{
    TexLayer layer;
    layer.AddBar();
    setLaps(layer.bars[0], start);
    layer.selMode = first <= last ? 0 : 1;
    layer.selCourse1 = last; // corners in either order
    layer.selCourse2 = first;
    return layer;
}

} // namespace

TEST(Bars, CourseCountFillsByIndexAndShrinksFromTheEnd)
{
    TexLayer layer;
    layer.SetCourseCount(4); // no bars yet: nothing to size
    EXPECT_EQ(layer.CourseCount(), 0);
    layer.AddBar();
    layer.SetCourseCount(4);
    EXPECT_EQ(layer.CourseCount(), 4);
    // A fresh course continues 2-3/1-0 by its index, already normalised, with fresh states.
    Tex &bar = layer.bars[0];
    const Links fresh = {{2, 3, 2}, {1, 0, 1}, {2, 3, 2}, {1, 0, 1}};
    EXPECT_EQ(bar.lapping, fresh);
    bar.Normalize();
    EXPECT_EQ(bar.lapping, fresh);

    bar.lapping = {{5, 5, 5}, {6, 6, 6}, {7, 7, 7}, {8, 8, 8}};
    bar.courseStates[1].runIn = 1234;
    bar.courseStates[3].runIn = 999;
    bar.carryFloat = {0, 1, 0, 1};
    bar.SetCourseCount(3);
    bar.SetCourseCount(5);
    EXPECT_EQ(bar.lapping, (Links{{5, 5, 5}, {6, 6, 6}, {7, 7, 7}, {1, 0, 1}, {2, 3, 2}}));
    std::vector<CourseState2> states(5, CourseState2{1700, 0, 100});
    states[1].runIn = 1234;
    EXPECT_EQ(bar.courseStates, states);
    EXPECT_EQ(bar.carryFloat, (std::vector<uint8_t>{0, 1, 0, 0, 0}));
    EXPECT_TRUE(bar.courseCount == 5 && bar.tightFloat.size() == 5);
}

TEST(Bars, ClickLappingAlternatesAndOpensLaidInCourses)
{
    Tex bar;
    setLaps(bar, {{2, 3}, {1, 0}, {4, 4}});
    bar.shift = 2;
    // Wale 7 with shift 2 is p = 5: 2-3 turns to 6-5 (next x0 1: x2 = 5), then back to 5-6
    // (underlap turns back: x2 = 5).
    bar.ClickLapping(false, false, 7, false, 0);
    EXPECT_EQ(bar.lapping[0], (ChainLink{6, 5, 5}));
    bar.ClickLapping(false, false, 7, false, 0);
    EXPECT_EQ(bar.lapping[0], (ChainLink{5, 6, 5}));
    // Laid-in 4-4 at p = 1 becomes 1-2; the next course (0, by wrap-around) starts at 5: x2 = 2.
    bar.ClickLapping(false, false, 3, false, 2);
    EXPECT_EQ(bar.lapping[2], (ChainLink{1, 2, 2}));
    // The half-needle view sets one end with Ctrl, the other with Alt.
    bar.ClickLapping(true, false, 10, true, 1);
    EXPECT_EQ(laps(bar)[1], std::make_pair(8, 0));
    bar.ClickLapping(false, true, 11, true, 1);
    EXPECT_EQ(laps(bar)[1], std::make_pair(8, 9));

    const Links before = bar.lapping;
    bar.ClickLapping(false, false, 3, false, 3); // courses outside the lapping are ignored
    bar.ClickLapping(false, false, 3, false, -1);
    EXPECT_EQ(bar.lapping, before);
}

TEST(Bars, NormalizeMarksLapsThatTurnBack)
{
    auto x2s = [](const Laps &start) {
        std::vector<int32_t> x2;
        const TexLayer layer = oneBar(start);
        for (const ChainLink &link : layer.bars[0].lapping)
            x2.push_back(link.x2);
        return x2;
    };
    // 0-1 goes on to 2: x2 = 1; 2-1 turns back from 3: x2 = 2; 3-3 is laid in; 4-3 goes on to 1:
    // x2 = 3; 1-2 turns back to course 0's 0: x2 = 1.
    EXPECT_EQ(x2s({{0, 1}, {2, 1}, {3, 3}, {4, 3}, {1, 2}}), (std::vector<int32_t>{1, 2, 3, 3, 1}));
    EXPECT_EQ(x2s({{1, 2}}), std::vector<int32_t>{1}); // a one-course bar is its own next course
    EXPECT_EQ(x2s({{2, 1}}), std::vector<int32_t>{2});
    EXPECT_EQ(x2s({{2, 1}, {1, 2}}), (std::vector<int32_t>{1, 2})); // starting where it ended

    EXPECT_TRUE(x2s({}).empty());
}

TEST(Bars, RepeatCopiesTheSelectedBlockDownTheBar)
{
    const Laps start = {{0, 1}, {5, 6}, {7, 8}, {9, 9}, {9, 9}, {9, 9}, {9, 9}, {9, 9}};
    // Times, end of the copies: courses 3 .. end - 1 repeat the block of courses 1 and 2.
    const std::pair<int32_t, size_t> cases[] = {{0, 8}, {1, 5}, {2, 7}, {100, 8}};
    for (const auto &[times, end] : cases) {
        TexLayer layer = oneBar(start, 1, 2);
        layer.Repeat(0, times);
        Laps expected = start;
        for (size_t k = 3; k < end; ++k)
            expected[k] = start[1 + (k - 1) % 2];
        EXPECT_EQ(laps(layer.bars[0]), expected) << times;
        EXPECT_EQ(layer.bars[0].lapping[3], layer.bars[0].lapping[1]); // x2 copied too
    }

    // Nothing happens in cursor mode, for a block past the end, or for a missing bar.
    TexLayer cursor = oneBar(start);
    cursor.Repeat(0, 0);
    EXPECT_EQ(laps(cursor.bars[0]), start);
    TexLayer layer = oneBar(start, 2, 8);
    layer.Repeat(0, 0);
    layer.selCourse1 = 2;
    layer.Repeat(1, 0);
    layer.Repeat(-1, 0);
    EXPECT_EQ(laps(layer.bars[0]), start);
}

TEST(Bars, ShiftAndInvertWorkOnTheBlockOrTheWholeBar)
{
    // Shift moves every position of the block; a block ending past the lapping moves nothing.
    auto shifted = [](Links links, size_t first, size_t last, int32_t d) {
        for (size_t c = first; c <= last; ++c)
            links[c] = {links[c].x0 + d, links[c].x1 + d, links[c].x2 + d};
        return links;
    };
    TexLayer layer = oneBar({{1, 0}, {1, 2}, {2, 3}, {1, 0}}, 1, 2);
    const Links before = layer.bars[0].lapping;
    layer.Shift(3, 0);
    EXPECT_EQ(layer.bars[0].lapping, shifted(before, 1, 2, 3));
    layer.selCourse2 = 4;
    layer.Shift(3, 0);
    EXPECT_EQ(layer.bars[0].lapping, shifted(before, 1, 2, 3));
    layer.selMode = 1;
    layer.Shift(-2, 0);
    EXPECT_EQ(layer.bars[0].lapping, shifted(shifted(before, 1, 2, 3), 0, 3, -2));

    // Invert mirrors about the widest position: 1-0/1-2 (x2 1, 1) about 2.
    layer = oneBar({{1, 0}, {1, 2}});
    layer.Invert(0);
    EXPECT_EQ(layer.bars[0].lapping, (Links{{1, 2, 1}, {1, 0, 1}}));
    // In rectangle mode only the block, about its own widest position (3).
    layer = oneBar({{4, 5}, {2, 3}, {1, 0}, {7, 7}}, 1, 2);
    const ChainLink c1 = layer.bars[0].lapping[1];
    const ChainLink c2 = layer.bars[0].lapping[2];
    layer.Invert(0);
    EXPECT_EQ(layer.bars[0].lapping, (Links{{4, 5, 4},
                                            {3 - c1.x0, 3 - c1.x1, 3 - c1.x2},
                                            {3 - c2.x0, 3 - c2.x1, 3 - c2.x2},
                                            {7, 7, 7}}));
    // Negative positions mirror about 0.
    layer = oneBar({{-1, -2}, {-3, -3}});
    layer.Invert(0);
    EXPECT_EQ(laps(layer.bars[0]), (Laps{{1, 2}, {3, 3}}));
}

TEST(Bars, BarListEditsIgnoreIndicesPastTheEnd)
{
    TexLayer layer = oneBar({{1, 0}});
    layer.AddBar();
    layer.bars[1].barTag = 7;
    const TexLayer before = layer;
    layer.DeleteBar(2);
    layer.DeleteBar(-1);
    layer.SetBarVisible(5, 0);
    layer.SetBarDrawAllNeedles(-1, 1);
    EXPECT_TRUE(layer.sameStoredFields(before) && layer.bars[0].drawAllNeedles == 0);
    layer.SetBarVisible(1, 0);
    layer.SetBarDrawAllNeedles(1, 1);
    layer.DeleteBar(0);
    ASSERT_EQ(layer.bars.size(), 1u);
    const Tex &bar = layer.bars[0];
    EXPECT_EQ(std::tuple(bar.barTag, bar.visible, bar.drawAllNeedles), std::tuple(7, 0, 1));
}

TEST(Threading, ExpandAndNeedleQuestionsWrapTheRepeat)
{
    std::vector<Yarn> yarns(2);
    Tex bar;
    bar.threading = {{0, 2, 1, 0}, {1, 1, 0, 0}};
    Expand(bar);
    EXPECT_EQ(bar.needleCount, 3);
    EXPECT_EQ(bar.needles, (std::vector<NeedleEntry>{{0, 1, 0}, {0, 1, 0}, {1, 0, 0}}));
    // Needles wrap into the repeat of 3 (negative ones from the end); needle 2 is empty. With
    // one needle drawn only needle 0 itself has a yarn, not the needles that wrap onto it.
    for (int32_t n = -4; n <= 5; ++n) {
        const bool empty = (n % 3 + 3) % 3 == 2;
        EXPECT_EQ(YarnAt(bar, yarns, n, false), empty ? nullptr : &yarns[0]) << n;
        EXPECT_EQ(NeedleFlagAt(bar, n), empty ? 1 : 0) << n;
        EXPECT_EQ(YarnAt(bar, yarns, n, true), n == 0 ? &yarns[0] : nullptr) << n;
    }

    // firstOnly takes entry 0 even when it is empty; a threaded needle's flag is its own.
    bar.threading = {{1, 1, 0, 0}, {0, 1, 1, 1}, {0, 1, 1, 0}};
    Expand(bar);
    EXPECT_EQ(YarnAt(bar, yarns, 0, true), &yarns[1]);
    EXPECT_EQ(YarnAt(bar, yarns, 0, false), nullptr);
    EXPECT_EQ(std::tuple(NeedleFlagAt(bar, 1), NeedleFlagAt(bar, 2), NeedleFlagAt(bar, -2)),
              std::tuple(1, 0, 1));
    // A yarn index outside the list is no yarn; no needles give no yarn anywhere.
    for (const WaleState &run : {WaleState{9, 1, 1, 0}, WaleState{0, 0, 1, 0}}) {
        bar.threading = {run};
        Expand(bar);
        EXPECT_TRUE(!YarnAt(bar, yarns, 0, false) && !YarnAt(bar, yarns, 0, true));
    }
    EXPECT_TRUE(bar.needleCount == 0 && bar.needles.empty());
    EXPECT_EQ(NeedleFlagAt(bar, 0), 1);
}

TEST(Threading, RepeatWidthIsTheCommonMultipleOfTheFirstFourBars)
{
    TexLayer layer;
    for (int32_t length : {4, 6, 1}) {
        layer.AddBar();
        layer.bars.back().threading = {{0, length - 1, 1, 0}, {0, 1, 0, 0}};
    }
    EXPECT_EQ(RepeatWidth(layer), 12);
    layer.AddBar();
    layer.bars.back().threading = {{0, 0, 1, 0}}; // a length of 0 counts as 1
    layer.AddBar();
    layer.bars.back().threading = {{0, 5, 1, 0}}; // a fifth bar does not count
    EXPECT_EQ(RepeatWidth(layer), 12);

    layer.optimizeRepeat = 0;
    layer.completeNeedle = 7;
    EXPECT_EQ(RepeatWidth(layer), 7);
}

TEST(BarEdits, PositionsAtTheEndsOfTheRangeDoNotOverflow)
{
    TexLayer layer = oneBar({{INT32_MAX - 1, INT32_MIN}, {0, 0}});
    layer.Shift(5, 0);
    EXPECT_EQ(laps(layer.bars[0])[0], std::make_pair(INT32_MAX, INT32_MIN + 5));
    Tex &bar = layer.bars[0];
    bar.lapping[0] = {INT32_MIN, 0, 0};
    layer.Invert(0);
    EXPECT_EQ(bar.lapping[0].x0, INT32_MAX);

    bar.shift = -5;
    bar.ClickLapping(false, false, INT32_MAX, false, 1);
    EXPECT_EQ(bar.lapping[1].x0, INT32_MAX);

    // A damaged run count adds no needles to the threading.
    bar.threading = {{0, 5, 1, 0}, {0, -3, 1, 0}};
    Expand(bar);
    EXPECT_EQ(bar.needleCount, 5);
    EXPECT_EQ(ThreadingLength(bar), 5);
}
