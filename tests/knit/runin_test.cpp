#include "knit/runin.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>

using namespace warplon;

namespace {

// A bar with the given laps (x0-x1 per course) and fresh course states.
Tex barWith(std::initializer_list<std::pair<int32_t, int32_t>> laps)
{
    Tex bar;
    bar.SetCourseCount(int32_t(laps.size()));
    size_t c = 0;
    for (const auto &[x0, x1] : laps)
        bar.lapping[c++] = {x0, x1, 0};
    bar.Normalize();
    return bar;
}

constexpr int32_t kIntMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kIntMin = std::numeric_limits<int32_t>::min();
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

} // namespace

// Gauge 28, 20 courses per cm: P = 10 / 20 = 0.5 mm, W = 25.4 / 28 = 0.9071428571 mm,
// W^2 = 0.8229081633.
// 1-0 followed by 1-2: N = trunc(|3 - 1| * 0.5 + 0.1) = 1, so sqrt(P^2 + W^2) = 1.0358128032.
// Denier 40 (sqrt 6.3245553203), 12 filaments (sqrt(144 - 3) = 11.8743420870):
//   d1 = 0.01371 * 6.3245553203 = 0.0867096534
//      -> L = 1.0358128032 + 2.05 * sqrt(0.25 + 4 d1^2) + 7.28 * d1 = 2.7519609472
//   d2 = 0.019 * 11.8743420870 / 3 = 0.0752041666 -> L = 2.6536713871
//   d3 = 0.0114 * 6.3245553203 = 0.0720999307 -> L = 2.6274758624
// 2-3 followed by 1-0: N = trunc(|1 - 5| * 0.5 + 0.1) = 2, sqrt(P^2 + 4 W^2) = 1.8819225949,
// the diameter terms of d3 are 2.6274758624 - 1.0358128032 = 1.5916630592 -> L = 3.4735856540.
TEST(RunIn, LoopCourseByEachDiameterFormula)
{
    const Tex bar = barWith({{1, 0}, {1, 2}});
    EXPECT_NEAR(CourseLength(bar, 0, 12, 0, 28, 20.0, 40.0), 2.7519609472, 1e-9);
    EXPECT_NEAR(CourseLength(bar, 0, 12, 1, 28, 20.0, 40.0), 2.6536713871, 1e-9);
    EXPECT_NEAR(CourseLength(bar, 0, 12, 2, 28, 20.0, 40.0), 2.6274758624, 1e-9);
    // An unknown formula index is the default d3.
    EXPECT_EQ(CourseLength(bar, 0, 12, 7, 28, 20.0, 40.0), CourseLength(bar, 0, 12, 2, 28, 20, 40));
    EXPECT_EQ(CourseLength(bar, 0, 12, -1, 28, 20.0, 40.0),
              CourseLength(bar, 0, 12, 2, 28, 20, 40));
    // The last course's underlap goes to course 0 (1-2 then 1-0: N = 1 again), and courses
    // outside the lapping wrap around it.
    EXPECT_NEAR(CourseLength(bar, 1, 12, 2, 28, 20.0, 40.0), 2.6274758624, 1e-9);
    EXPECT_EQ(CourseLength(bar, 5, 12, 2, 28, 20.0, 40.0), CourseLength(bar, 1, 12, 2, 28, 20, 40));
    EXPECT_EQ(CourseLength(bar, -2, 12, 2, 28, 20.0, 40.0),
              CourseLength(bar, 0, 12, 2, 28, 20, 40));

    const Tex twoNeedles = barWith({{2, 3}, {1, 0}});
    EXPECT_NEAR(CourseLength(twoNeedles, 0, 12, 2, 28, 20.0, 40.0), 3.4735856540, 1e-9);
}

// 3-3 then 3-3: N = 0, L = 10 / cpc.
// 0-0 then 3-3: N = trunc(6 * 0.5 + 0.1) = 3, (N - 1)^2 = 4; T(28, 20) = 3.28 (stored):
//   L = 10 * (sqrt(3.28 * 4 + 1) + 0.3) / 20 = (3.7576588456 + 0.3) / 2 = 2.0288294228.
// At 20.5 courses per cm T = 3.46 (below): L = 10 * (sqrt(14.84) + 0.3) / 20.5
//   = 10 * (3.8522720569 + 0.3) / 20.5 = 2.0254985643.
// 0-0 then 1-2: N = trunc(3 * 0.5 + 0.1) = 1, (N - 1)^2 = 0: L = 10 * (1 + 0.3) / 20 = 0.65.
TEST(RunIn, LaidInCourses)
{
    const Tex still = barWith({{3, 3}, {3, 3}});
    EXPECT_DOUBLE_EQ(CourseLength(still, 0, 12, 2, 28, 20.0, 40.0), 0.5);
    EXPECT_DOUBLE_EQ(CourseLength(still, 1, 12, 0, 24, 8.0, 40.0), 1.25);

    const Tex inlay = barWith({{0, 0}, {3, 3}});
    EXPECT_NEAR(CourseLength(inlay, 0, 12, 2, 28, 20.0, 40.0), 2.0288294228, 1e-9);
    EXPECT_NEAR(CourseLength(inlay, 1, 12, 2, 28, 20.0, 40.0), 2.0288294228, 1e-9);
    EXPECT_NEAR(CourseLength(inlay, 0, 12, 2, 28, 20.5, 40.0), 2.0254985643, 1e-9);

    const Tex intoLoop = barWith({{0, 0}, {1, 2}});
    EXPECT_DOUBLE_EQ(CourseLength(intoLoop, 0, 12, 2, 28, 20.0, 40.0), 0.65);
}

// Fill passes worked from the stored entries:
//   T[28][21] = (T[28][20] + T[28][22]) / 2 = (3.28 + 4.00) / 2 = 3.64; at 20.5 halfway: 3.46.
//   T[12][4] = (2 * 0.41 + 1.61) / 3 = 0.81; T[12][5] = (0.81 + 1.61) / 2 = 1.21; 4.5: 1.01.
//   T[24][20] = (2 * 5.34 + 3.28) / 3 = 4.6533333; T[26][20] = (2 * 3.28 + 5.34) / 3 = 3.9666667;
//   T[25][20] = (4.6533333 + 3.9666667) / 2 = 4.31.
//   T[7][3] = (1.61 + 0.90) / 2 = 1.255.
//   Gauge 11 at 5 courses needs the column pass before the row passes:
//   T[9][4] = (2 * 0.72 + 2.86) / 3 = 1.4333333, T[9][5] = (1.4333333 + 2.86) / 2 = 2.1466667,
//   T[10][5] = (2 * 2.1466667 + 1.21) / 3 = 1.8344444, T[11][5] = (1.8344444 + 1.21) / 2
//   = 1.5222222.
TEST(RunIn, LaidInFactorTableFillAndLookup)
{
    EXPECT_DOUBLE_EQ(LaidInFactor(28, 20.0), 3.28);
    EXPECT_NEAR(LaidInFactor(28, 21.0), 3.64, 1e-12);
    EXPECT_NEAR(LaidInFactor(28, 20.5), 3.46, 1e-12);
    EXPECT_NEAR(LaidInFactor(28, 20.7), 3.532, 1e-12); // (3 * 3.28 + 7 * 3.64) / 10
    EXPECT_NEAR(LaidInFactor(12, 4.0), 0.81, 1e-12);
    EXPECT_NEAR(LaidInFactor(12, 5.0), 1.21, 1e-12);
    EXPECT_NEAR(LaidInFactor(12, 4.5), 1.01, 1e-12);
    EXPECT_NEAR(LaidInFactor(24, 20.0), 13.96 / 3.0, 1e-12);
    EXPECT_NEAR(LaidInFactor(26, 20.0), 11.9 / 3.0, 1e-12);
    EXPECT_NEAR(LaidInFactor(25, 20.0), 4.31, 1e-12);
    EXPECT_NEAR(LaidInFactor(7, 3.0), 1.255, 1e-12);
    EXPECT_NEAR(LaidInFactor(11, 5.0), 1.5222222222, 1e-9);
    // Tenths below one step interpolate by the truncated tenth: 20.09 counts as 20.0.
    EXPECT_DOUBLE_EQ(LaidInFactor(28, 20.09), 3.28);

    // Gauges clamp to 6..32, densities to 3..32 courses per cm.
    EXPECT_DOUBLE_EQ(LaidInFactor(40, 20.0), 2.53);
    EXPECT_DOUBLE_EQ(LaidInFactor(2, 20.0), 71.74);
    EXPECT_DOUBLE_EQ(LaidInFactor(-5, 20.0), 71.74);
    EXPECT_DOUBLE_EQ(LaidInFactor(28, 50.0), 8.42);
    EXPECT_DOUBLE_EQ(LaidInFactor(28, 32.7), 8.42);
    EXPECT_DOUBLE_EQ(LaidInFactor(28, 1.0), 0.07);
    EXPECT_DOUBLE_EQ(LaidInFactor(28, 2.95), 0.07);
    EXPECT_DOUBLE_EQ(LaidInFactor(28, 0.0), 0.07);
    EXPECT_DOUBLE_EQ(LaidInFactor(28, -3.0), 0.07);
    EXPECT_DOUBLE_EQ(LaidInFactor(28, kNaN), 0.07);
    EXPECT_DOUBLE_EQ(LaidInFactor(28, kInf), 8.42);
    EXPECT_DOUBLE_EQ(LaidInFactor(kIntMin, 1e300), 183.51);
}

TEST(RunIn, InputsWithoutFabricStayFinite)
{
    const Tex loop = barWith({{1, 0}, {1, 2}});
    const Tex inlay = barWith({{0, 0}, {3, 3}});
    for (const Tex *bar : {&loop, &inlay}) {
        EXPECT_EQ(CourseLength(*bar, 0, 12, 2, 0, 20.0, 40.0), 0.0);
        EXPECT_EQ(CourseLength(*bar, 0, 12, 2, -28, 20.0, 40.0), 0.0);
        EXPECT_EQ(CourseLength(*bar, 0, 12, 2, 28, 0.0, 40.0), 0.0);
        EXPECT_EQ(CourseLength(*bar, 0, 12, 2, 28, -20.0, 40.0), 0.0);
        EXPECT_EQ(CourseLength(*bar, 0, 12, 2, 28, kNaN, 40.0), 0.0);
        EXPECT_EQ(CourseLength(*bar, 0, 12, 2, 28, kInf, 40.0), 0.0);
        // A density so small that the course spacing overflows a double.
        EXPECT_EQ(CourseLength(*bar, 0, 12, 2, 28, 1e-320, 40.0), 0.0);
        EXPECT_EQ(FormulaRunIn(*bar, 12, 0, 2, 20.0, 40.0), 0.0);
        EXPECT_EQ(FormulaRunIn(*bar, 12, 28, 2, 0.0, 40.0), 0.0);
    }

    // No yarn diameter: L = sqrt(P^2 + W^2) + 2.05 * P = 1.0358128032 + 1.025 = 2.0608128032,
    // whether the denier is zero, negative or undefined, or 12 * filaments - 3 is negative.
    for (double denier : {0.0, -40.0, kNaN, kInf})
        EXPECT_NEAR(CourseLength(loop, 0, 12, 0, 28, 20.0, denier), 2.0608128032, 1e-9);
    for (int32_t filaments : {0, -5, kIntMin})
        EXPECT_NEAR(CourseLength(loop, 0, filaments, 1, 28, 20.0, 40.0), 2.0608128032, 1e-9);
    EXPECT_TRUE(std::isfinite(CourseLength(loop, 0, kIntMax, 1, 28, 20.0, 40.0)));

    // An empty lapping has no length.
    const Tex empty;
    EXPECT_EQ(CourseLength(empty, 0, 12, 2, 28, 20.0, 40.0), 0.0);
    EXPECT_EQ(FormulaRunIn(empty, 12, 28, 2, 20.0, 40.0), 0.0);
    EXPECT_EQ(AverageRunIn(empty), 0.0);
    EXPECT_EQ(MetersPerYard(empty, 12, 28, 2, 20.0, 40.0), 0.0);

    // Positions at the int32 limits: 2-gap laps from the far left to the far right give an
    // underlap of N = 2^32 - 2 needles, whose square needs 64 bits.
    // L = sqrt(0.25 + N^2 W^2) + 1.5916630592 = 3896148902.4142857 + 1.59... = 3896148904.0059
    const Tex far = barWith({{kIntMin, kIntMin + 1}, {kIntMax, kIntMax - 1}});
    EXPECT_NEAR(CourseLength(far, 0, 12, 2, 28, 20.0, 40.0), 3896148904.0059, 1e-3);
    const Tex farInlay = barWith({{kIntMin, kIntMin}, {kIntMax, kIntMax}});
    const double farLaid = CourseLength(farInlay, 0, 12, 2, 28, 20.0, 40.0);
    EXPECT_TRUE(std::isfinite(farLaid));
    EXPECT_GT(farLaid, 1e9);
}

// Bar 1-0/1-2/1-2 with d3 at 40 denier, gauge 28, 20 courses per cm:
//   course 0: 1-0 then 1-2, N = 1: 2.6274758624
//   course 1: 1-2 then 1-2, N = 0: P + 1.5916630592 = 2.0916630592
//   course 2: 1-2 then 1-0, N = 1: 2.6274758624
//   mean 2.4488715946, per rack * 480 = 1175.4583654.
// Entered run-in 1700, 1800, 2000: mean 5500 / 3 = 1833.33;
//   metres per yard = 1833.33 / 480 * 20 * 91.44 / 1000 = 6.985,
//   grams per yard for 2000 ends of 40 denier = 6.985 * 2000 * 40 / 9000 = 62.0888889.
// Without course states the formula run-in is used: 1175.4583654 / 480 * 20 * 0.09144 = 4.4784964.
TEST(RunIn, RunInPerRackAndYarnPerYard)
{
    Tex bar = barWith({{1, 0}, {1, 2}, {1, 2}});
    EXPECT_NEAR(FormulaRunIn(bar, 12, 28, 2, 20.0, 40.0), 1175.4583654, 1e-6);

    bar.courseStates[0].runIn = 1700;
    bar.courseStates[1].runIn = 1800;
    bar.courseStates[2].runIn = 2000;
    EXPECT_NEAR(AverageRunIn(bar), 5500.0 / 3.0, 1e-9);
    EXPECT_NEAR(MetersPerYard(bar, 12, 28, 2, 20.0, 40.0), 6.985, 1e-9);
    EXPECT_NEAR(GramsPerYard(bar, 12, 28, 2000, 2, 20.0, 40.0), 62.0888888889, 1e-9);
    EXPECT_EQ(GramsPerYard(bar, 12, 28, -2000, 2, 20.0, 40.0), 0.0);
    EXPECT_EQ(GramsPerYard(bar, 12, 28, 2000, 2, 20.0, -40.0), 0.0);
    EXPECT_EQ(MetersPerYard(bar, 12, 28, 2, 0.0, 40.0), 0.0);

    bar.courseStates.clear();
    EXPECT_EQ(AverageRunIn(bar), 0.0);
    EXPECT_NEAR(MetersPerYard(bar, 12, 28, 2, 20.0, 40.0), 4.4784963723, 1e-9);

    // Run-ins at the int32 limits average without overflowing.
    Tex extremes = barWith({{1, 0}, {1, 2}});
    extremes.courseStates[0].runIn = kIntMax;
    extremes.courseStates[1].runIn = kIntMax;
    EXPECT_DOUBLE_EQ(AverageRunIn(extremes), double(kIntMax));
}

// Yarns A (40 denier, 13 filaments) and B (70 denier, 24 filaments). Threaded runs with a known
// yarn: A, B, B (the empty run of A and the run of yarn 5 do not count, nor do needle counts):
// mean denier (40 + 70 + 70) / 3 = 60, mean filaments 61 / 3 = 20.33 -> 20.
// Lapping 1-0/1-2/1-2, gauge 28, 20 courses per cm:
//   d2 = 0.019 * sqrt(12 * 20 - 3) / 3 = 0.019 * 15.3948043 / 3 = 0.0975004273
//     N = 1: (1.0358128032 + 2.05 * sqrt(0.25 + 4 d^2) + 7.28 d) * 480 = 1365.99 -> 1365
//     N = 0: 1108.80 -> 1108
//   d3 = 0.0114 * sqrt(60) = 0.0114 * 7.7459667 = 0.0883040203
//     N = 1: 1327.55 -> 1327; N = 0: 1070.36 -> 1070
TEST(RunIn, SetDefaultWithFormulaUsesMeanThreadedYarn)
{
    std::vector<Yarn> yarns(2);
    yarns[0].denier = 40.0;
    yarns[0].filaments = 13;
    yarns[1].denier = 70.0;
    yarns[1].filaments = 24;

    Tex bar = barWith({{1, 0}, {1, 2}, {1, 2}});
    bar.threading = {{0, 2, 1, 0}, {1, 1, 1, 0}, {0, 3, 0, 0}, {1, 1, 1, 0}, {5, 1, 1, 0}};
    const BarYarnMeans means = ThreadedYarnMeans(bar, yarns);
    EXPECT_DOUBLE_EQ(means.denier, 60.0);
    EXPECT_EQ(means.filaments, 20);

    // Five course states against three laps and a header of four courses: courses 0..3 are
    // worked out (course 3 is lap 0 again), course 4 keeps its value.
    bar.courseStates.resize(5, CourseState2{1700, -7, 100});
    MainData header;
    header.courseCount = 4;
    SetDefaultWithFormula(bar, yarns, 1, header);
    std::vector<int32_t> calc;
    for (const CourseState2 &state : bar.courseStates)
        calc.push_back(state.calcRunIn);
    EXPECT_EQ(calc, (std::vector<int32_t>{1365, 1108, 1365, 1365, -7}));
    EXPECT_EQ(bar.courseStates[0].runIn, 1700); // only "Default" copies into runIn

    EXPECT_EQ(FormulaCalcRunIns(bar, yarns, 2, header),
              (std::vector<int32_t>{1327, 1070, 1327, 1327}));
    // A header with more courses than the bar has states stops at the states.
    header.courseCount = 50;
    EXPECT_EQ(FormulaCalcRunIns(bar, yarns, 2, header).size(), 5u);
    header.courseCount = -3;
    EXPECT_TRUE(FormulaCalcRunIns(bar, yarns, 2, header).empty());

    // Without a threaded run the yarn is 40 denier with 20 filaments, whatever the list says.
    bar.threading = {{1, 4, 0, 0}, {9, 1, 1, 0}, {-1, 1, 1, 0}};
    const BarYarnMeans none = ThreadedYarnMeans(bar, yarns);
    EXPECT_DOUBLE_EQ(none.denier, 40.0);
    EXPECT_EQ(none.filaments, 20);
    // d1 at 40 denier, N = 1: 2.7519609472 * 480 = 1320.94 -> 1320.
    header.courseCount = 1;
    EXPECT_EQ(FormulaCalcRunIns(bar, yarns, 0, header), std::vector<int32_t>{1320});

    // A run-in too large for int32 saturates instead of wrapping.
    yarns[1].denier = 1e30;
    Tex heavy = barWith({{1, 0}, {1, 2}});
    heavy.threading = {{1, 1, 1, 0}};
    header.courseCount = 2;
    SetDefaultWithFormula(heavy, yarns, 2, header);
    EXPECT_EQ(heavy.courseStates[0].calcRunIn, kIntMax);
    EXPECT_EQ(TruncToInt32(kNaN), 0);
    EXPECT_EQ(TruncToInt32(-1e300), kIntMin);
    EXPECT_EQ(TruncToInt32(-2.9), -2);
}
