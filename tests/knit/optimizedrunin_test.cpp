#include "knit/optimizedrunin.h"

#include "knit/runin.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>

using namespace warplon;

namespace {

TexLayer designWith(std::initializer_list<std::pair<int32_t, int32_t>> laps)
{
    TexLayer design;
    design.AddBar();
    Tex &bar = design.bars[0];
    bar.SetCourseCount(int32_t(laps.size()));
    size_t c = 0;
    for (const auto &[x0, x1] : laps)
        bar.lapping[c++] = {x0, x1, 0};
    bar.Normalize();
    for (CourseState2 &state : bar.courseStates)
        state.calcRunIn = -5;
    return design;
}

MainData headerFor(int32_t courses)
{
    MainData header;
    header.courseCount = courses;
    header.gauge = 28;
    header.coursesPerCm = 20.0;
    return header;
}

std::vector<int32_t> calcRunIns(const Tex &bar)
{
    std::vector<int32_t> values;
    for (const CourseState2 &state : bar.courseStates)
        values.push_back(state.calcRunIn);
    return values;
}

} // namespace

// Tricot courses are measured on the relaxed model; course 3 forms no loop, so it and course 2
// (whose yarn floats into it) take the formula value.
TEST(OptimizedRunIn, FormulaWhereNoLoopIsFormed)
{
    TexLayer design = designWith({{1, 0}, {1, 2}, {1, 0}, {1, 1}});
    const MainData header = headerFor(4);
    const GuideBarData guideBars;
    DirectionMemory memory;
    SetDefaultWithOptimization(design.bars[0], 0, design, header, guideBars, memory);

    const std::vector<int32_t> formula = FormulaCalcRunIns(design.bars[0], design.yarns, 2, header);
    const std::vector<int32_t> values = calcRunIns(design.bars[0]);
    ASSERT_EQ(values.size(), 4u);
    EXPECT_EQ(values[2], formula[2]);
    EXPECT_EQ(values[3], formula[3]);
    for (size_t c : {size_t(0), size_t(1)}) {
        SCOPED_TRACE(c);
        // Measured, not the formula, yet a lap of the same length in millimetres per rack.
        EXPECT_NE(values[c], formula[c]);
        EXPECT_GT(values[c], formula[c] / 2);
        EXPECT_LT(values[c], formula[c] * 2);
    }
}

// The mean is taken over the nodes the bar knits on. A chain (pillar stitch) keeps each yarn in
// its own wale, so one threaded needle in twelve measures exactly what a full set does, not a
// twelfth of it.
TEST(OptimizedRunIn, MeanOverTheBarsOwnNodes)
{
    const MainData header = headerFor(2);
    const GuideBarData guideBars;
    DirectionMemory memory;
    TexLayer chain = designWith({{0, 1}, {1, 0}});
    SetDefaultWithOptimization(chain.bars[0], 0, chain, header, guideBars, memory);
    TexLayer sparse = designWith({{0, 1}, {1, 0}});
    sparse.bars[0].threading = {{0, 1, 1, 0}, {0, 11, 0, 0}};
    SetDefaultWithOptimization(sparse.bars[0], 0, sparse, header, guideBars, memory);
    EXPECT_GT(chain.bars[0].courseStates[0].calcRunIn, 0);
    EXPECT_EQ(calcRunIns(sparse.bars[0]), calcRunIns(chain.bars[0]));

    TexLayer full = designWith({{1, 0}, {1, 2}});
    SetDefaultWithOptimization(full.bars[0], 0, full, header, guideBars, memory);
    // The formula index chooses the diameter: formula 0 (d1) is the thickest for 40 denier.
    GuideBarData thick;
    thick.formula[0] = 0;
    TexLayer other = designWith({{1, 0}, {1, 2}});
    SetDefaultWithOptimization(other.bars[0], 0, other, header, thick, memory);
    EXPECT_GT(other.bars[0].courseStates[0].calcRunIn, full.bars[0].courseStates[0].calcRunIn);

    // A bar with fewer course states than the header's courses gets the ones it has.
    TexLayer shorter = designWith({{1, 0}, {1, 2}});
    shorter.bars[0].courseStates.resize(1);
    SetDefaultWithOptimization(shorter.bars[0], 0, shorter, header, guideBars, memory);
    EXPECT_EQ(shorter.bars[0].courseStates[0].calcRunIn, full.bars[0].courseStates[0].calcRunIn);
}

TEST(OptimizedRunIn, RefusesWhatCannotBeMeasured)
{
    const GuideBarData guideBars;
    DirectionMemory memory;
    const auto unchanged = [&](MainData header, int32_t barIndex, TexLayer design) {
        SetDefaultWithOptimization(design.bars[0], barIndex, design, header, guideBars, memory);
        return calcRunIns(design.bars[0]) == std::vector<int32_t>{-5, -5};
    };
    const TexLayer design = designWith({{1, 0}, {1, 2}});
    MainData header = headerFor(2);
    EXPECT_FALSE(unchanged(header, 0, design));
    EXPECT_TRUE(unchanged(header, -1, design));
    EXPECT_TRUE(unchanged(header, 4, design));
    for (int32_t gauge : {0, -28}) {
        MainData bad = header;
        bad.gauge = gauge;
        EXPECT_TRUE(unchanged(bad, 0, design));
    }
    for (double density : {0.0, -20.0, std::numeric_limits<double>::quiet_NaN(),
                           std::numeric_limits<double>::infinity()}) {
        MainData bad = header;
        bad.coursesPerCm = density;
        EXPECT_TRUE(unchanged(bad, 0, design));
    }
    MainData noCourses = header;
    noCourses.courseCount = 0;
    EXPECT_TRUE(unchanged(noCourses, 0, design));

    // 4,000,000 nodes are measured, one course more is refused.
    TexLayer wide = design;
    wide.optimizeRepeat = 0;
    wide.completeNeedle = 10000;
    MainData tall = header;
    tall.courseCount = 401;
    EXPECT_TRUE(OptimizedCalcRunIns(wide.bars[0], 0, wide, tall, guideBars, memory).empty());
    EXPECT_TRUE(unchanged(tall, 0, wide));
}
