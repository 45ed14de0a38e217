#include "knit/runin.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace warplon {

namespace {

constexpr int kTableSize = 33;
using FactorTable = std::array<std::array<double, kTableSize>, kTableSize>;

// The measured laid-in factors, by gauge (rows) and courses per centimetre (columns 3, 6, 8, ...,
// 32). The rows and columns in between are interpolated by buildFactorTable.
constexpr std::array<int, 15> kStoredColumns
    = {3, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30, 32};
struct StoredRow
{
    int gauge;
    std::array<double, 15> values;
};
constexpr std::array<StoredRow, 11> kStoredRows = {{
    {6,
     {1.61, 6.45, 11.49, 17.89, 25.81, 35.16, 45.83, 58.06, 71.74, 86.68, 103.23, 121.22, 140.42,
      161.29, 183.51}},
    {8,
     {0.90, 3.65, 6.45, 10.11, 14.51, 19.80, 25.81, 32.72, 40.32, 48.86, 58.06, 68.23, 79.03, 90.82,
      103.22}},
    {9,
     {0.72, 2.86, 5.12, 7.95, 11.49, 15.60, 20.43, 25.81, 31.81, 38.56, 45.83, 53.88, 62.41, 71.74,
      81.49}},
    {12,
     {0.41, 1.61, 2.89, 4.49, 6.45, 8.76, 11.49, 14.52, 17.89, 21.72, 25.81, 30.25, 35.16, 40.32,
      45.87}},
    {14,
     {0.29, 1.19, 2.10, 3.28, 4.75, 6.45, 8.48, 10.69, 13.18, 15.92, 18.92, 22.28, 25.81, 29.59,
      33.70}},
    {16,
     {0.23, 0.90, 1.61, 2.53, 3.65, 4.93, 6.45, 8.18, 10.11, 12.18, 14.52, 17.06, 19.80, 22.66,
      25.80}},
    {18,
     {0.18, 0.72, 1.28, 1.99, 2.86, 3.92, 5.12, 6.45, 7.95, 9.61, 11.49, 13.47, 15.60, 17.89,
      20.38}},
    {20,
     {0.14, 0.58, 1.04, 1.61, 2.31, 3.17, 4.12, 5.24, 6.45, 7.78, 9.30, 10.89, 12.67, 14.52,
      16.51}},
    {22,
     {0.12, 0.48, 0.85, 1.32, 1.93, 2.62, 3.42, 4.33, 5.34, 6.45, 7.67, 9.00, 10.43, 11.97, 13.64}},
    {28,
     {0.07, 0.29, 0.53, 0.83, 1.19, 1.61, 2.10, 2.66, 3.28, 4.00, 4.75, 5.57, 6.45, 7.40, 8.42}},
    {32,
     {0.06, 0.23, 0.41, 0.62, 0.90, 1.23, 1.61, 2.04, 2.53, 3.06, 3.65, 4.24, 4.93, 5.66, 6.45}},
}};

// The full table: the stored entries, then the gaps filled in a fixed order (columns 4 and the
// odd columns first, then the missing even gauges, then the odd gauges), because later passes
// read what earlier ones wrote.
FactorTable buildFactorTable()
{
    FactorTable t{};
    for (const StoredRow &row : kStoredRows) {
        for (size_t i = 0; i < kStoredColumns.size(); ++i)
            t[size_t(row.gauge)][size_t(kStoredColumns[i])] = row.values[i];
    }
    for (size_t g = 6; g <= 32; ++g)
        t[g][4] = (2.0 * t[g][3] + t[g][6]) / 3.0;
    for (size_t g = 6; g <= 32; ++g) {
        for (size_t c = 4; c <= 30; c += 2)
            t[g][c + 1] = (t[g][c] + t[g][c + 2]) / 2.0;
    }
    for (size_t c = 3; c <= 32; ++c) {
        t[7][c] = (t[6][c] + t[8][c]) / 2.0;
        t[10][c] = (2.0 * t[9][c] + t[12][c]) / 3.0;
        t[24][c] = (2.0 * t[22][c] + t[28][c]) / 3.0;
        t[26][c] = (2.0 * t[28][c] + t[22][c]) / 3.0;
        t[30][c] = (t[28][c] + t[32][c]) / 2.0;
    }
    for (size_t g = 10; g <= 30; g += 2) {
        for (size_t c = 3; c <= 32; ++c)
            t[g + 1][c] = (t[g][c] + t[g + 2][c]) / 2.0;
    }
    return t;
}

const FactorTable &factorTable()
{
    static const FactorTable table = buildFactorTable();
    return table;
}

bool validMachine(int32_t gauge, double coursesPerCm)
{
    return gauge > 0 && coursesPerCm > 0.0 && std::isfinite(coursesPerCm);
}

double finiteOrZero(double value)
{
    return std::isfinite(value) ? value : 0.0;
}

// The yarn diameter in millimetres by one of the three formulas.
double yarnDiameter(int32_t formula, int32_t filaments, double denier)
{
    if (!(denier > 0.0) || !std::isfinite(denier))
        denier = 0.0;
    switch (formula) {
    case 0:
        return 0.01371 * std::sqrt(denier);
    case 1:
        // Fewer than one filament leaves nothing under the root: no diameter rather than NaN.
        return 0.019 * std::sqrt(std::max(12.0 * double(filaments) - 3.0, 0.0)) / 3.0;
    default:
        return 0.0114 * std::sqrt(denier);
    }
}

} // namespace

int32_t TruncToInt32(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= double(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    if (value <= double(std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    return int32_t(value);
}

double LaidInFactor(int32_t gauge, double coursesPerCm)
{
    const FactorTable &t = factorTable();
    const size_t g = size_t(std::clamp(gauge, 6, 32));
    // Clamped as a double first, so a huge or undefined density cannot overflow the integer.
    double tenths = std::trunc(coursesPerCm * 10.0);
    if (!(tenths >= 30.0))
        tenths = 30.0;
    tenths = std::min(tenths, 320.0);
    const int v = int(tenths);
    const size_t c = size_t(v / 10);
    const int r = v % 10;
    if (r == 0)
        return t[g][c];
    return (double(10 - r) * t[g][c] + double(r) * t[g][c + 1]) / 10.0;
}

double CourseLength(const Tex &bar, int32_t course, int32_t filaments, int32_t formula,
                    int32_t gauge, double coursesPerCm, double denier)
{
    const int64_t count = int64_t(bar.lapping.size());
    if (count == 0 || !validMachine(gauge, coursesPerCm))
        return 0.0;
    const double p = 10.0 / coursesPerCm; // course spacing, mm
    const double w = 25.4 / gauge;        // needle spacing, mm

    int64_t i = course % count;
    if (i < 0)
        i += count;
    const ChainLink &here = bar.lapping[size_t(i)];
    const ChainLink &next = bar.lapping[size_t((i + 1) % count)];
    // The underlap in needles, from the middle of this overlap to the middle of the next. Sums
    // of two positions need 33 bits, the square of the underlap up to 64 bits unsigned.
    const int64_t swing = (int64_t(next.x0) + next.x1) - (int64_t(here.x0) + here.x1);
    const uint64_t n = uint64_t(std::trunc(double(std::llabs(swing)) * 0.5 + 0.1));

    double length = 0.0;
    if (here.x0 != here.x1) {
        if (formula < 0 || formula > 2)
            formula = 2;
        const double d = yarnDiameter(formula, filaments, denier);
        const double nSquared = double(n * n);
        length = std::sqrt(p * p + nSquared * w * w) + 2.05 * std::sqrt(p * p + 4.0 * d * d)
                 + 7.28 * d;
    } else if (n == 0) {
        length = p;
    } else {
        // A laid-in yarn only floats across the underlap; the table says how much longer a lap
        // over n needles is than the course spacing.
        const double m = double(n - 1);
        length = 10.0 * (std::sqrt(LaidInFactor(gauge, coursesPerCm) * m * m + 1.0) + 0.3)
                 / coursesPerCm;
    }
    return finiteOrZero(length);
}

double FormulaRunIn(const Tex &bar, int32_t filaments, int32_t gauge, int32_t formula,
                    double coursesPerCm, double denier)
{
    const size_t count = bar.lapping.size();
    if (count == 0)
        return 0.0;
    // Summing the shares of the mean keeps a sum of huge lengths from overflowing.
    double mean = 0.0;
    for (size_t c = 0; c < count; ++c) {
        mean += CourseLength(bar, int32_t(c), filaments, formula, gauge, coursesPerCm, denier)
                / double(count);
    }
    return finiteOrZero(mean * kCoursesPerRack);
}

double AverageRunIn(const Tex &bar)
{
    if (bar.courseStates.empty())
        return 0.0;
    int64_t sum = 0;
    for (const CourseState2 &state : bar.courseStates)
        sum += state.runIn;
    return double(sum) / double(bar.courseStates.size());
}

double MetersPerYard(const Tex &bar, int32_t filaments, int32_t gauge, int32_t formula,
                     double coursesPerCm, double denier)
{
    if (!(coursesPerCm > 0.0) || !std::isfinite(coursesPerCm))
        return 0.0;
    const double runIn = bar.courseStates.empty()
                             ? FormulaRunIn(bar, filaments, gauge, formula, coursesPerCm, denier)
                             : AverageRunIn(bar);
    // Run-in per course times courses per yard (91.44 cm), millimetres to metres.
    return finiteOrZero(runIn / kCoursesPerRack * coursesPerCm * 91.44 / 1000.0);
}

double GramsPerYard(const Tex &bar, int32_t filaments, int32_t gauge, int32_t ends, int32_t formula,
                    double coursesPerCm, double denier)
{
    if (!(denier > 0.0) || !std::isfinite(denier) || ends <= 0)
        return 0.0;
    // Denier is grams per 9000 metres.
    const double meters = MetersPerYard(bar, filaments, gauge, formula, coursesPerCm, denier);
    return finiteOrZero(meters * double(ends) * denier / 9000.0);
}

BarYarnMeans ThreadedYarnMeans(const Tex &bar, const std::vector<Yarn> &yarns)
{
    auto knits = [&yarns](const WaleState &run) {
        return run.threaded != 0 && run.yarn >= 0 && run.yarn < int32_t(yarns.size());
    };
    const auto runs = std::count_if(bar.threading.begin(), bar.threading.end(), knits);
    if (runs == 0)
        return {};
    BarYarnMeans means{0.0, 0};
    int64_t filaments = 0;
    for (const WaleState &run : bar.threading) {
        if (!knits(run))
            continue;
        const Yarn &yarn = yarns[size_t(run.yarn)];
        means.denier += yarn.denier / double(runs);
        filaments += yarn.filaments;
    }
    // Integer division truncates toward zero, as the formula wants; the mean of int32 values
    // is an int32 value.
    means.filaments = int32_t(filaments / runs);
    return means;
}

std::vector<int32_t> FormulaCalcRunIns(const Tex &bar, const std::vector<Yarn> &yarns,
                                       int32_t formula, const MainData &header)
{
    const BarYarnMeans means = ThreadedYarnMeans(bar, yarns);
    const size_t courses
        = std::min(size_t(std::max(header.courseCount, 0)), bar.courseStates.size());
    std::vector<int32_t> values;
    values.reserve(courses);
    for (size_t c = 0; c < courses; ++c) {
        const double length = CourseLength(bar, int32_t(c), means.filaments, formula, header.gauge,
                                           header.coursesPerCm, means.denier);
        values.push_back(TruncToInt32(length * kCoursesPerRack));
    }
    return values;
}

void SetDefaultWithFormula(Tex &bar, const std::vector<Yarn> &yarns, int32_t formula,
                           const MainData &header)
{
    const std::vector<int32_t> values = FormulaCalcRunIns(bar, yarns, formula, header);
    for (size_t c = 0; c < values.size(); ++c)
        bar.courseStates[c].calcRunIn = values[c];
}

} // namespace warplon
