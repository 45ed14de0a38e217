#include "knit/records.h"
#include "knit/threading.h"

#include <gtest/gtest.h>

#include <utility>

using namespace warplon;

namespace {

using Laps = std::vector<std::pair<int32_t, int32_t>>;

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

} // namespace

TEST(Bars, FreshDesignDefaults)
{
    TexLayer layer;
    layer.AddBar();
    layer.AddBar();
    layer.SetCourseCount(16);

    EXPECT_EQ(layer.CourseCount(), 16);
    EXPECT_EQ(layer.completeNeedle, 12);
    EXPECT_EQ(layer.optimizeRepeat, 1);
    EXPECT_EQ(layer.selMode, 1);
    ASSERT_EQ(layer.yarns.size(), 1u);
    EXPECT_EQ(layer.yarns[0], Yarn{});
    EXPECT_EQ(layer.yarns[0].color, 0xFFFFFF);
    ASSERT_EQ(layer.bars.size(), 2u);
    for (const Tex &bar : layer.bars) {
        EXPECT_EQ(bar.courseCount, 16);
        ASSERT_EQ(bar.lapping.size(), 16u);
        for (size_t c = 0; c < 16; ++c) {
            const ChainLink expected = c % 2 == 0 ? ChainLink{2, 3, 2} : ChainLink{1, 0, 1};
            EXPECT_EQ(bar.lapping[c], expected) << c;
        }
        EXPECT_EQ(bar.threading, std::vector<WaleState>{(WaleState{0, 1, 1, 0})});
        EXPECT_EQ(bar.courseStates, std::vector<CourseState2>(16, CourseState2{1700, 0, 100}));
        EXPECT_EQ(bar.carryFloat, std::vector<uint8_t>(16, 0));
        EXPECT_EQ(bar.tightFloat, std::vector<uint8_t>(16, 0));
        EXPECT_EQ(bar.visible, 1);
        EXPECT_EQ(bar.drawAllNeedles, 0);
        EXPECT_EQ(bar.shift, 0);
    }
    // The fresh lapping 2-3/1-0 is already normalised: the 2-3 overlap's underlap turns back
    // to 1 (x2 = 2), the 1-0 overlap's underlap goes on to 2 (x2 = 1).
    Tex normalized = layer.bars[0];
    normalized.Normalize();
    EXPECT_EQ(normalized.lapping, layer.bars[0].lapping);
    EXPECT_EQ(RepeatWidth(layer), 1);
}

TEST(Bars, CourseCountGrowsByIndexAndShrinksFromTheEnd)
{
    Tex bar;
    bar.SetCourseCount(3);
    bar.lapping = {{5, 5, 5}, {6, 6, 6}, {7, 7, 7}};
    bar.courseStates[2].runIn = 1234;
    bar.carryFloat[1] = 1;
    bar.SetCourseCount(5);
    EXPECT_EQ(bar.courseCount, 5);
    EXPECT_EQ(bar.lapping,
              (std::vector<ChainLink>{{5, 5, 5}, {6, 6, 6}, {7, 7, 7}, {1, 0, 1}, {2, 3, 2}}));
    EXPECT_EQ(bar.courseStates[2].runIn, 1234);
    EXPECT_EQ(bar.courseStates[4], (CourseState2{1700, 0, 100}));
    EXPECT_EQ(bar.carryFloat, (std::vector<uint8_t>{0, 1, 0, 0, 0}));
    EXPECT_EQ(bar.tightFloat.size(), 5u);

    bar.SetCourseCount(2);
    EXPECT_EQ(bar.lapping, (std::vector<ChainLink>{{5, 5, 5}, {6, 6, 6}}));
    EXPECT_EQ(bar.courseStates.size(), 2u);
    EXPECT_EQ(bar.carryFloat, (std::vector<uint8_t>{0, 1}));

    TexLayer layer;
    EXPECT_EQ(layer.CourseCount(), 0); // no bars yet
    layer.SetCourseCount(4);
    EXPECT_EQ(layer.CourseCount(), 0);
}

TEST(Bars, ClickLappingAlternatesAndOpensLaidInCourses)
{
    Tex bar;
    setLaps(bar, {{2, 3}, {1, 0}, {4, 4}});
    bar.shift = 2;
    // Wale 7 with threading start 2 is position p = 5. Course 0 has x0 < x1: it turns to
    // 6-5; the next click on the same cell turns it back to 5-6.
    bar.ClickLapping(false, false, 7, false, 0);
    EXPECT_EQ(bar.lapping[0].x0, 6);
    EXPECT_EQ(bar.lapping[0].x1, 5);
    // The next course starts at 1, on the side the 6-5 overlap went to: x2 = x1.
    EXPECT_EQ(bar.lapping[0].x2, 5);
    bar.ClickLapping(false, false, 7, false, 0);
    EXPECT_EQ(bar.lapping[0], (ChainLink{5, 6, 5})); // underlap turns back to 1: x2 = x1 - 1

    // A laid-in course at p = 1 becomes the loop 1-2 and gets its x2: the next course (course 0
    // by wrap-around) starts at 5 >= 2, so x2 = 2.
    bar.ClickLapping(false, false, 3, false, 2);
    EXPECT_EQ(bar.lapping[2], (ChainLink{1, 2, 2}));

    // The half-needle view sets one end with Ctrl, the other with Alt.
    bar.ClickLapping(true, false, 10, true, 1);
    EXPECT_EQ(bar.lapping[1].x0, 8);
    EXPECT_EQ(bar.lapping[1].x1, 0);
    bar.ClickLapping(false, true, 11, true, 1);
    EXPECT_EQ(bar.lapping[1].x0, 8);
    EXPECT_EQ(bar.lapping[1].x1, 9);

    // Courses outside the lapping are ignored.
    const std::vector<ChainLink> before = bar.lapping;
    bar.ClickLapping(false, false, 3, false, 3);
    bar.ClickLapping(false, false, 3, false, -1);
    EXPECT_EQ(bar.lapping, before);
}

TEST(Bars, NormalizeMarksLapsThatTurnBack)
{
    Tex bar;
    // c0 0-1, next x0 2: the underlap goes on, x2 = 1.
    // c1 2-1, next x0 3 > 1: turns back, x2 = 2.
    // c2 3-3: laid in, x2 = 3.
    // c3 4-3, next x0 1 < 3: goes on, x2 = 3.
    // c4 1-2, next is course 0 with x0 0 < 2: turns back, x2 = 1.
    setLaps(bar, {{0, 1}, {2, 1}, {3, 3}, {4, 3}, {1, 2}});
    EXPECT_EQ(bar.lapping[0].x2, 1);
    EXPECT_EQ(bar.lapping[1].x2, 2);
    EXPECT_EQ(bar.lapping[2].x2, 3);
    EXPECT_EQ(bar.lapping[3].x2, 3);
    EXPECT_EQ(bar.lapping[4].x2, 1);

    // A one-course bar is its own next course.
    setLaps(bar, {{1, 2}});
    EXPECT_EQ(bar.lapping[0].x2, 1);
    setLaps(bar, {{2, 1}});
    EXPECT_EQ(bar.lapping[0].x2, 2);

    Tex empty;
    empty.Normalize();
    EXPECT_TRUE(empty.lapping.empty());
}

TEST(Bars, RepeatCopiesTheSelectedBlockDownTheBar)
{
    TexLayer layer;
    layer.AddBar();
    const Laps start = {{0, 1}, {5, 6}, {7, 8}, {9, 9}, {9, 9}, {9, 9}, {9, 9}, {9, 9}};
    auto reset = [&] { setLaps(layer.bars[0], start); };
    reset();
    layer.selMode = 0;
    layer.selCourse1 = 2; // corners in either order
    layer.selCourse2 = 1;

    layer.Repeat(0, 0);
    EXPECT_EQ(laps(layer.bars[0]),
              (Laps{{0, 1}, {5, 6}, {7, 8}, {5, 6}, {7, 8}, {5, 6}, {7, 8}, {5, 6}}));
    EXPECT_EQ(layer.bars[0].lapping[3], layer.bars[0].lapping[1]); // x2 copied too

    reset();
    layer.Repeat(0, 1);
    EXPECT_EQ(laps(layer.bars[0]),
              (Laps{{0, 1}, {5, 6}, {7, 8}, {5, 6}, {7, 8}, {9, 9}, {9, 9}, {9, 9}}));
    reset();
    layer.Repeat(0, 2);
    EXPECT_EQ(laps(layer.bars[0]),
              (Laps{{0, 1}, {5, 6}, {7, 8}, {5, 6}, {7, 8}, {5, 6}, {7, 8}, {9, 9}}));
    reset();
    layer.Repeat(0, 100); // limited to the end of the bar
    EXPECT_EQ(laps(layer.bars[0]),
              (Laps{{0, 1}, {5, 6}, {7, 8}, {5, 6}, {7, 8}, {5, 6}, {7, 8}, {5, 6}}));

    // Nothing happens in cursor mode, for a block past the end, or for a missing bar.
    reset();
    layer.selMode = 1;
    layer.Repeat(0, 0);
    layer.selMode = 0;
    layer.selCourse1 = 8;
    layer.Repeat(0, 0);
    layer.selCourse1 = 2;
    layer.Repeat(1, 0);
    layer.Repeat(-1, 0);
    EXPECT_EQ(laps(layer.bars[0]), start);
}

TEST(Bars, ShiftMovesTheBlockOrTheWholeBar)
{
    TexLayer layer;
    layer.AddBar();
    setLaps(layer.bars[0], {{1, 0}, {1, 2}, {2, 3}, {1, 0}});
    const std::vector<ChainLink> before = layer.bars[0].lapping;

    layer.selMode = 0;
    layer.selCourse1 = 1;
    layer.selCourse2 = 2;
    layer.Shift(3, 0);
    for (size_t c = 0; c < 4; ++c) {
        const int32_t moved = (c == 1 || c == 2) ? 3 : 0;
        const ChainLink &was = before[c];
        EXPECT_EQ(layer.bars[0].lapping[c],
                  (ChainLink{was.x0 + moved, was.x1 + moved, was.x2 + moved}))
            << c;
    }

    // The block ends past the lapping: nothing moves.
    layer.selCourse2 = 4;
    const std::vector<ChainLink> blockMoved = layer.bars[0].lapping;
    layer.Shift(3, 0);
    EXPECT_EQ(layer.bars[0].lapping, blockMoved);

    layer.selMode = 1;
    layer.Shift(-2, 0);
    for (size_t c = 0; c < 4; ++c) {
        const ChainLink &was = blockMoved[c];
        EXPECT_EQ(layer.bars[0].lapping[c], (ChainLink{was.x0 - 2, was.x1 - 2, was.x2 - 2})) << c;
    }
}

TEST(Bars, InvertMirrorsAboutTheWidestPosition)
{
    TexLayer layer;
    layer.AddBar();
    // 1-0/1-2 normalised: x2 = 1 and 1; m = 2, so 1-0 -> 1-2 and 1-2 -> 1-0, x2 2 - 1 = 1.
    setLaps(layer.bars[0], {{1, 0}, {1, 2}});
    layer.Invert(0);
    EXPECT_EQ(layer.bars[0].lapping, (std::vector<ChainLink>{{1, 2, 1}, {1, 0, 1}}));

    // In rectangle mode only the block is mirrored, about its own widest position (here 3).
    setLaps(layer.bars[0], {{4, 5}, {2, 3}, {1, 0}, {7, 7}});
    layer.selMode = 0;
    layer.selCourse1 = 2;
    layer.selCourse2 = 1;
    const ChainLink c1 = layer.bars[0].lapping[1];
    const ChainLink c2 = layer.bars[0].lapping[2];
    layer.Invert(0);
    EXPECT_EQ(layer.bars[0].lapping[0], (ChainLink{4, 5, 4}));
    EXPECT_EQ(layer.bars[0].lapping[1], (ChainLink{3 - c1.x0, 3 - c1.x1, 3 - c1.x2}));
    EXPECT_EQ(layer.bars[0].lapping[2], (ChainLink{3 - c2.x0, 3 - c2.x1, 3 - c2.x2}));
    EXPECT_EQ(layer.bars[0].lapping[3], (ChainLink{7, 7, 7}));

    // Negative positions mirror about 0.
    layer.selMode = 1;
    setLaps(layer.bars[0], {{-1, -2}, {-3, -3}});
    layer.Invert(0);
    EXPECT_EQ(laps(layer.bars[0]), (Laps{{1, 2}, {3, 3}}));
}

TEST(Bars, BarListEditsIgnoreIndicesPastTheEnd)
{
    TexLayer layer;
    layer.AddBar();
    layer.AddBar();
    layer.SetCourseCount(4);
    layer.bars[1].barTag = 7;
    const TexLayer before = layer;

    layer.DeleteBar(2);
    layer.DeleteBar(-1);
    layer.SetBarVisible(5, 0);
    layer.SetBarDrawAllNeedles(-1, 1);
    EXPECT_TRUE(layer.sameStoredFields(before));
    EXPECT_EQ(layer.bars[0].drawAllNeedles, 0);

    layer.SetBarVisible(1, 0);
    layer.SetBarDrawAllNeedles(1, 1);
    EXPECT_EQ(layer.bars[1].visible, 0);
    EXPECT_EQ(layer.bars[1].drawAllNeedles, 1);

    layer.DeleteBar(0);
    ASSERT_EQ(layer.bars.size(), 1u);
    EXPECT_EQ(layer.bars[0].barTag, 7);
}

TEST(Threading, ExpandAndNeedleQuestionsWrapTheRepeat)
{
    std::vector<Yarn> yarns(2);
    yarns[0].denier = 40.0;
    yarns[1].denier = 70.0;
    Tex bar;
    bar.threading = {{0, 2, 1, 0}, {1, 1, 0, 0}};
    Expand(bar);
    EXPECT_EQ(bar.needleCount, 3);
    EXPECT_EQ(bar.needles, (std::vector<NeedleEntry>{{0, 1, 0}, {0, 1, 0}, {1, 0, 0}}));

    EXPECT_EQ(YarnAt(bar, yarns, 0, false), &yarns[0]);
    EXPECT_EQ(YarnAt(bar, yarns, 2, false), nullptr);
    EXPECT_EQ(YarnAt(bar, yarns, 4, false), &yarns[0]); // 4 mod 3 = 1
    EXPECT_EQ(YarnAt(bar, yarns, -1, false), nullptr);  // wraps to the empty needle 2
    EXPECT_EQ(YarnAt(bar, yarns, -2, false), &yarns[0]);
    EXPECT_EQ(YarnAt(bar, yarns, 5, false), nullptr);
    // One needle drawn: only needle 0 itself, not needle 3 that wraps onto it.
    EXPECT_EQ(YarnAt(bar, yarns, 0, true), &yarns[0]);
    EXPECT_EQ(YarnAt(bar, yarns, 3, true), nullptr);
    EXPECT_EQ(YarnAt(bar, yarns, 1, true), nullptr);

    EXPECT_EQ(NeedleFlagAt(bar, 0), 0);
    EXPECT_EQ(NeedleFlagAt(bar, 2), 1); // empty needle
    EXPECT_EQ(NeedleFlagAt(bar, -1), 1);

    // firstOnly takes entry 0 even when it is empty; the flag of a threaded needle is its own.
    bar.threading = {{1, 1, 0, 0}, {0, 1, 1, 1}, {0, 1, 1, 0}};
    Expand(bar);
    EXPECT_EQ(YarnAt(bar, yarns, 0, true), &yarns[1]);
    EXPECT_EQ(YarnAt(bar, yarns, 0, false), nullptr);
    EXPECT_EQ(NeedleFlagAt(bar, 1), 1);
    EXPECT_EQ(NeedleFlagAt(bar, 2), 0);
    EXPECT_EQ(NeedleFlagAt(bar, -2), 1);

    // A yarn index outside the list is no yarn.
    bar.threading = {{9, 1, 1, 0}};
    Expand(bar);
    EXPECT_EQ(YarnAt(bar, yarns, 0, false), nullptr);

    // A threading of no needles gives an empty table and no yarn anywhere.
    bar.threading = {{0, 0, 1, 0}};
    Expand(bar);
    EXPECT_EQ(bar.needleCount, 0);
    EXPECT_TRUE(bar.needles.empty());
    EXPECT_EQ(YarnAt(bar, yarns, 0, false), nullptr);
    EXPECT_EQ(YarnAt(bar, yarns, 0, true), nullptr);
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
    layer.AddBar(); // length 1
    layer.AddBar();
    layer.bars.back().threading = {{0, 5, 1, 0}}; // a fifth bar does not count
    EXPECT_EQ(RepeatWidth(layer), 12);
    layer.bars[3].threading = {{0, 0, 1, 0}}; // a length of 0 counts as 1
    EXPECT_EQ(RepeatWidth(layer), 12);

    layer.optimizeRepeat = 0;
    layer.completeNeedle = 7;
    EXPECT_EQ(RepeatWidth(layer), 7);
}

TEST(BarEdits, PositionsAtTheEndsOfTheRangeDoNotOverflow)
{
    TexLayer layer;
    layer.AddBar();
    layer.SetCourseCount(2);
    Tex &bar = layer.bars[0];
    bar.lapping[0] = {INT32_MAX - 1, INT32_MIN, 0};
    layer.selMode = 1;
    layer.Shift(5, 0);
    EXPECT_EQ(bar.lapping[0].x0, INT32_MAX);
    EXPECT_EQ(bar.lapping[0].x1, INT32_MIN + 5);
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
