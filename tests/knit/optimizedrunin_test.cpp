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

// The calcRunIns of bar 0 after "Set Default With Optimization".
std::vector<int32_t> optimized(TexLayer design, const MainData &header,
                               const GuideBarData &guideBars = {}, int32_t barIndex = 0)
{
    DirectionMemory memory;
    SetDefaultWithOptimization(design.bars[0], barIndex, design, header, guideBars, memory);
    std::vector<int32_t> values;
    for (const CourseState2 &state : design.bars[0].courseStates)
        values.push_back(state.calcRunIn);
    return values;
}

} // namespace

// Tricot courses are measured on the relaxed model; course 3 forms no loop, so it and course 2
// (whose yarn floats into it) take the formula value.
TEST(OptimizedRunIn, FormulaWhereNoLoopIsFormed)
{
    const TexLayer design = designWith({{1, 0}, {1, 2}, {1, 0}, {1, 1}});
    const MainData header = headerFor(4);
    const std::vector<int32_t> formula = FormulaCalcRunIns(design.bars[0], design.yarns, 2, header);
    const std::vector<int32_t> values = optimized(design, header);
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
    const std::vector<int32_t> chain = optimized(designWith({{0, 1}, {1, 0}}), header);
    TexLayer sparse = designWith({{0, 1}, {1, 0}});
    sparse.bars[0].threading = {{0, 1, 1, 0}, {0, 11, 0, 0}};
    EXPECT_GT(chain[0], 0);
    EXPECT_EQ(optimized(sparse, header), chain);

    // The formula index chooses the diameter: formula 0 (d1) is the thickest for 40 denier.
    const TexLayer tricot = designWith({{1, 0}, {1, 2}});
    const std::vector<int32_t> full = optimized(tricot, header);
    GuideBarData thick;
    thick.formula[0] = 0;
    EXPECT_GT(optimized(tricot, header, thick)[0], full[0]);

    // A bar with fewer course states than the header's courses gets the ones it has.
    TexLayer shorter = tricot;
    shorter.bars[0].courseStates.resize(1);
    EXPECT_EQ(optimized(shorter, header), std::vector<int32_t>{full[0]});
}

TEST(OptimizedRunIn, RefusesWhatCannotBeMeasured)
{
    const TexLayer design = designWith({{1, 0}, {1, 2}});
    const std::vector<int32_t> unchanged = {-5, -5};
    const MainData header = headerFor(2);
    EXPECT_NE(optimized(design, header), unchanged);
    EXPECT_EQ(optimized(design, header, {}, -1), unchanged);
    EXPECT_EQ(optimized(design, header, {}, 4), unchanged);
    std::vector<MainData> bad;
    for (int32_t gauge : {0, -28}) {
        bad.push_back(header);
        bad.back().gauge = gauge;
    }
    for (double density : {0.0, -20.0, std::numeric_limits<double>::quiet_NaN(),
                           std::numeric_limits<double>::infinity()}) {
        bad.push_back(header);
        bad.back().coursesPerCm = density;
    }
    bad.push_back(headerFor(0));
    for (const MainData &each : bad)
        EXPECT_EQ(optimized(design, each), unchanged) << each.gauge << " " << each.coursesPerCm;

    // 4,000,000 nodes are measured, one course more is refused.
    TexLayer wide = design;
    wide.optimizeRepeat = 0;
    wide.completeNeedle = 10000;
    DirectionMemory memory;
    EXPECT_TRUE(OptimizedCalcRunIns(wide.bars[0], 0, wide, headerFor(401), {}, memory).empty());
}

// A kept model measures again without building or relaxing while the design is unchanged, with
// the same values; a new yarn colour still uses it, a new lapping does not.
TEST(OptimizedRunIn, KeptModelServesUntilTheDesignChanges)
{
    TexLayer design = designWith({{1, 0}, {1, 2}, {2, 3}, {1, 0}});
    const MainData header = headerFor(4);
    const GuideBarData guideBars;
    RunInModelCache cache;
    DirectionMemory memory;
    const auto measure = [&](RunInModelCache *kept) {
        DirectionMemory start = memory;
        return OptimizedCalcRunIns(design.bars[0], 0, design, header, guideBars, start, nullptr,
                                   kept);
    };
    const std::vector<int32_t> fresh = measure(nullptr);

    ModelWork before = ModelWorkDone();
    EXPECT_EQ(measure(&cache), fresh);
    EXPECT_EQ(measure(&cache), fresh);
    design.yarns[0].color = 0x0000FF;
    EXPECT_EQ(measure(&cache), fresh);
    EXPECT_EQ(ModelWorkDone().builds - before.builds, 1);
    EXPECT_EQ(ModelWorkDone().relaxations - before.relaxations, 1);

    before = ModelWorkDone();
    design.bars[0].lapping[2] = {3, 4, 0};
    design.bars[0].Normalize();
    const std::vector<int32_t> changed = measure(&cache);
    EXPECT_EQ(ModelWorkDone().builds - before.builds, 1);
    EXPECT_EQ(changed, measure(nullptr));
    EXPECT_NE(changed, fresh);
}
