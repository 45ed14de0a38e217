#include "knit/runin.h"

#include "testsupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>

using namespace warplon;
using namespace warplon::test;

namespace {

// A bar with the given laps (x0-x1 per course) and fresh course states.
// Course length at 12 filaments, gauge 28 and 40 denier unless told otherwise.
double length(const Tex &bar, int32_t course, int32_t formula, double cpc = 20.0,
              int32_t gauge = 28, double denier = 40.0, int32_t filaments = 12)
{
    return CourseLength(bar, course, filaments, formula, gauge, cpc, denier);
}

constexpr int32_t kIntMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kIntMin = std::numeric_limits<int32_t>::min();
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

} // namespace

// Gauge 28, 20 courses/cm: P = 0.5, W = 25.4 / 28 = 0.9071428571 (mm). 40 denier, 12 filaments:
// d1 = 0.01371 sqrt(40) = 0.0867096534, d2 = 0.019 sqrt(141) / 3 = 0.0752041666,
// d3 = 0.0114 sqrt(40) = 0.0720999307. A loop is L = sqrt(P^2 + N^2 W^2) + 2.05 sqrt(P^2 + 4d^2)
// + 7.28 d with N = trunc(|next x0 - x1| * 0.5 + 0.1) needles of underlap.
// 1-0 then 1-2: N = 1, L = 2.7519609472 (d1), 2.6536713871 (d2), 2.6274758624 (d3).
// 2-3 then 1-0: N = 2, L(d3) = 1.8819225949 + (2.6274758624 - 1.0358128032) = 3.4735856540.
// Laid in, L = 10 (sqrt(T (N - 1)^2 + 1) + 0.3) / cpc; N = 0 gives 10 / cpc.
// 0-0 then 3-3: N = 3, T(28, 20) = 3.28: L = (sqrt(14.12) + 0.3) / 2 = 2.0288294228; at 20.5
// courses T = 3.46: 10 (sqrt(14.84) + 0.3) / 20.5 = 2.0254985643. 0-0 then 1-2: N = 1: 0.65.
TEST(RunIn, CourseLengthOfLoopAndLaidInCourses)
{
    const Tex bars[] = {BarWithLaps({{1, 0}, {1, 2}}), BarWithLaps({{2, 3}, {1, 0}}),
                        BarWithLaps({{3, 3}, {3, 3}}), BarWithLaps({{0, 0}, {3, 3}}),
                        BarWithLaps({{0, 0}, {1, 2}})};
    // Bar, course, formula, courses per cm, length. An unknown formula is d3; the last course's
    // underlap goes to course 0, and courses wrap around the lapping.
    const std::tuple<int, int32_t, int32_t, double, double> cases[]
        = {{0, 0, 0, 20.0, 2.7519609472},  {0, 0, 1, 20.0, 2.6536713871},
           {0, 0, 2, 20.0, 2.6274758624},  {0, 0, 7, 20.0, 2.6274758624},
           {0, 0, -1, 20.0, 2.6274758624}, {0, 1, 2, 20.0, 2.6274758624},
           {0, 5, 2, 20.0, 2.6274758624},  {0, -2, 2, 20.0, 2.6274758624},
           {1, 0, 2, 20.0, 3.4735856540},  {2, 0, 2, 20.0, 0.5},
           {2, 1, 0, 8.0, 1.25},           {3, 0, 2, 20.0, 2.0288294228},
           {3, 1, 2, 20.0, 2.0288294228},  {3, 0, 2, 20.5, 2.0254985643},
           {4, 0, 2, 20.0, 0.65}};
    for (const auto &[bar, course, formula, cpc, expected] : cases)
        EXPECT_NEAR(length(bars[bar], course, formula, cpc), expected, 1e-9) << expected;
}

// Fill passes from the stored entries:
//   T[28][21] = (3.28 + 4.00) / 2 = 3.64; 20.5 is halfway: 3.46; 20.7: (3 * 3.28 + 7 * 3.64) / 10.
//   T[12][4] = (2 * 0.41 + 1.61) / 3 = 0.81; T[12][5] = (0.81 + 1.61) / 2 = 1.21; 4.5: 1.01.
//   T[24][20] = (2 * 5.34 + 3.28) / 3, T[26][20] = (2 * 3.28 + 5.34) / 3, T[25][20] = 4.31.
//   T[7][3] = (1.61 + 0.90) / 2 = 1.255.
//   Gauge 11 at 5 courses needs the column pass first: T[9][4] = (2 * 0.72 + 2.86) / 3,
//   T[9][5] = (T[9][4] + 2.86) / 2 = 2.1466667, T[10][5] = (2 T[9][5] + 1.21) / 3 = 1.8344444,
//   T[11][5] = (T[10][5] + 1.21) / 2 = 1.5222222.
TEST(RunIn, LaidInFactorTableFillAndLookup)
{
    // 20.09 counts as 20.0 (tenths are truncated); gauges clamp to 6..32, densities to 3..32.
    const std::tuple<int32_t, double, double> cases[]
        = {{28, 20.0, 3.28},        {28, 21.0, 3.64},  {28, 20.5, 3.46},
           {28, 20.7, 3.532},       {28, 20.09, 3.28}, {12, 4.0, 0.81},
           {12, 5.0, 1.21},         {12, 4.5, 1.01},   {24, 20.0, 13.96 / 3.0},
           {26, 20.0, 11.9 / 3.0},  {25, 20.0, 4.31},  {7, 3.0, 1.255},
           {11, 5.0, 1.5222222222}, {40, 20.0, 2.53},  {2, 20.0, 71.74},
           {-5, 20.0, 71.74},       {28, 50.0, 8.42},  {28, 32.7, 8.42},
           {28, kInf, 8.42},        {28, 2.95, 0.07},  {28, 0.0, 0.07},
           {28, -3.0, 0.07},        {28, kNaN, 0.07},  {kIntMin, 1e300, 183.51}};
    for (const auto &[gauge, cpc, expected] : cases)
        EXPECT_NEAR(LaidInFactor(gauge, cpc), expected, 1e-9) << gauge << " " << cpc;
}

TEST(RunIn, InputsWithoutFabricStayFinite)
{
    const Tex loop = BarWithLaps({{1, 0}, {1, 2}});
    const Tex inlay = BarWithLaps({{0, 0}, {3, 3}});
    for (const Tex *bar : {&loop, &inlay}) {
        for (int32_t gauge : {0, -28})
            EXPECT_EQ(length(*bar, 0, 2, 20.0, gauge), 0.0);
        // The last density is so small that the course spacing overflows a double.
        for (double cpc : {0.0, -20.0, kNaN, kInf, 1e-320})
            EXPECT_EQ(length(*bar, 0, 2, cpc), 0.0) << cpc;
        EXPECT_EQ(FormulaRunIn(*bar, 12, 0, 2, 20.0, 40.0), 0.0);
        EXPECT_EQ(FormulaRunIn(*bar, 12, 28, 2, 0.0, 40.0), 0.0);
    }
    // No yarn diameter (no weight, or 12 * filaments - 3 negative for d2): L = sqrt(P^2 + W^2)
    // + 2.05 * P = 1.0358128032 + 1.025.
    for (double denier : {0.0, -40.0, kNaN, kInf})
        EXPECT_NEAR(length(loop, 0, 0, 20.0, 28, denier), 2.0608128032, 1e-9);
    for (int32_t filaments : {0, -5, kIntMin})
        EXPECT_NEAR(length(loop, 0, 1, 20.0, 28, 40.0, filaments), 2.0608128032, 1e-9);
    EXPECT_TRUE(std::isfinite(length(loop, 0, 1, 20.0, 28, 40.0, kIntMax)));

    // An empty lapping has no length.
    const Tex empty;
    EXPECT_EQ(length(empty, 0, 2), 0.0);
    EXPECT_EQ(FormulaRunIn(empty, 12, 28, 2, 20.0, 40.0), 0.0);
    EXPECT_EQ(MetersPerYard(empty, 12, 28, 2, 20.0, 40.0), 0.0);

    // Positions at the int32 limits: an underlap of N = 2^32 - 2 needles, whose square needs 64
    // bits: L = sqrt(0.25 + N^2 W^2) + 1.5916630592 = 3896148902.4142857 + 1.5916630592.
    EXPECT_NEAR(length(BarWithLaps({{kIntMin, kIntMin + 1}, {kIntMax, kIntMax - 1}}), 0, 2),
                3896148904.0059, 1e-3);
    const double farLaid = length(BarWithLaps({{kIntMin, kIntMin}, {kIntMax, kIntMax}}), 0, 2);
    EXPECT_TRUE(std::isfinite(farLaid) && farLaid > 1e9);
}

// Bar 1-0/1-2/1-2, d3: courses 2.6274758624 (N = 1), 2.0916630592 (N = 0), 2.6274758624;
//   mean * 480 = 1175.4583654.
// Entered run-in 1700, 1800, 2000: mean 1833.33 -> 1833.33 / 480 * 20 * 0.09144 = 6.985 metres
//   per yard; 2000 ends of 40 denier: 6.985 * 2000 * 40 / 9000 = 62.0888889 grams.
// Without course states: 1175.4583654 / 480 * 20 * 0.09144 = 4.4784964.
TEST(RunIn, RunInPerRackAndYarnPerYard)
{
    Tex bar = BarWithLaps({{1, 0}, {1, 2}, {1, 2}});
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
    bar.courseStates.assign(2, CourseState2{kIntMax, 0, 100});
    EXPECT_DOUBLE_EQ(AverageRunIn(bar), double(kIntMax));
}

// Yarns A (40 denier, 13 filaments) and B (70, 24). The threaded runs with a known yarn are A, B,
// B (not the empty run, not yarn 5; needle counts do not weigh): 60 denier, 61 / 3 -> 20 filaments.
// Lapping 1-0/1-2/1-2, gauge 28, 20 courses/cm, L * 480 truncated:
//   d2 = 0.019 sqrt(237) / 3 = 0.0975004273: N = 1: 1365.99 -> 1365, N = 0: 1108.80 -> 1108
//   d3 = 0.0114 sqrt(60) = 0.0883040203: N = 1: 1327.55 -> 1327, N = 0: 1070.36 -> 1070
TEST(RunIn, SetDefaultWithFormulaUsesMeanThreadedYarn)
{
    std::vector<Yarn> yarns(2);
    yarns[0].filaments = 13;
    yarns[1].denier = 70.0;
    yarns[1].filaments = 24;
    Tex bar = BarWithLaps({{1, 0}, {1, 2}, {1, 2}});
    bar.threading = {{0, 2, 1, 0}, {1, 1, 1, 0}, {0, 3, 0, 0}, {1, 1, 1, 0}, {5, 1, 1, 0}};
    auto means = [&] {
        const BarYarnMeans m = ThreadedYarnMeans(bar, yarns);
        return std::pair(m.denier, m.filaments);
    };
    EXPECT_EQ(means(), std::pair(60.0, 20));

    // Five course states, three laps, a header of four courses: courses 0..3 are worked out
    // (course 3 is lap 0 again), course 4 keeps its value, and runIn is left alone.
    bar.courseStates.resize(5, CourseState2{1700, -7, 100});
    MainData header;
    header.courseCount = 4;
    SetDefaultWithFormula(bar, yarns, 1, header);
    std::vector<int32_t> calc;
    for (const CourseState2 &state : bar.courseStates)
        calc.push_back(state.calcRunIn);
    EXPECT_EQ(calc, (std::vector<int32_t>{1365, 1108, 1365, 1365, -7}));
    EXPECT_EQ(bar.courseStates[0].runIn, 1700);
    EXPECT_EQ(FormulaCalcRunIns(bar, yarns, 2, header),
              (std::vector<int32_t>{1327, 1070, 1327, 1327}));
    // A header with more courses than the bar has states stops at the states.
    header.courseCount = 50;
    EXPECT_EQ(FormulaCalcRunIns(bar, yarns, 2, header).size(), 5u);
    header.courseCount = -3;
    EXPECT_TRUE(FormulaCalcRunIns(bar, yarns, 2, header).empty());

    // Without a threaded run naming a yarn: 40 denier, 20 filaments; d1, N = 1:
    // 2.7519609472 * 480 = 1320.94 -> 1320.
    bar.threading = {{1, 4, 0, 0}, {9, 1, 1, 0}, {-1, 1, 1, 0}};
    EXPECT_EQ(means(), std::pair(40.0, 20));
    header.courseCount = 1;
    EXPECT_EQ(FormulaCalcRunIns(bar, yarns, 0, header), std::vector<int32_t>{1320});

    // A run-in too large for int32 saturates instead of wrapping.
    yarns[1].denier = 1e30;
    bar.threading = {{1, 1, 1, 0}};
    SetDefaultWithFormula(bar, yarns, 2, header);
    EXPECT_EQ(bar.courseStates[0].calcRunIn, kIntMax);
    EXPECT_EQ(TruncToInt32(kNaN), 0);
    EXPECT_EQ(TruncToInt32(-1e300), kIntMin);
    EXPECT_EQ(TruncToInt32(-2.9), -2);
}
