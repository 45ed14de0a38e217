#pragma once

// The run-in of a guide bar worked out by formula from its lapping, the machine gauge, the
// course density and the yarn's diameter, and the yarn consumption per yard of fabric.
//
// Machine values that describe no fabric (a gauge or courses per centimetre of zero or below,
// or not a number) give a course length of 0, not infinity, for loop and laid-in courses alike:
// the guide-bar grid then shows 0 and the sums of the yarn windows stay finite. A yarn of no
// weight (denier zero, negative or not a number; fewer than one filament for d2) has diameter 0.
// Every result here is finite: a length too large for a double gives 0 as well.

#include "knit/records.h"

#include <cstdint>
#include <vector>

namespace warplon {

// The laid-in factor T(gauge, courses per cm): close to the squared ratio of needle spacing to
// course spacing, read from the knitting table. The gauge is clamped to 6..32 and the course
// density to 3.0..32.0 (trunc(coursesPerCm * 10) in 30..320); tenths interpolate linearly
// between two columns.
double LaidInFactor(int32_t gauge, double coursesPerCm);

// Millimetres of yarn that course `course` of the bar takes (the lapping is addressed modulo its
// count; 0 without lapping). formula 0, 1, 2 chooses the yarn diameter d1, d2, d3; any other
// index is taken as 2.
double CourseLength(const Tex &bar, int32_t course, int32_t filaments, int32_t formula,
                    int32_t gauge, double coursesPerCm, double denier);

// Millimetres per rack (480 courses): the mean course length over the lapping times 480; 0 for
// a bar without lapping.
double FormulaRunIn(const Tex &bar, int32_t filaments, int32_t gauge, int32_t formula,
                    double coursesPerCm, double denier);

// The mean runIn over the bar's course states; 0 when there are none.
double AverageRunIn(const Tex &bar);

// Metres of yarn per needle per yard of fabric: R / 480 * coursesPerCm * 91.44 / 1000, with R the
// average entered run-in, or the formula run-in when the bar has no course states.
double MetersPerYard(const Tex &bar, int32_t filaments, int32_t gauge, int32_t formula,
                     double coursesPerCm, double denier);

// Grams of yarn per yard of fabric for `ends` threaded ends: MetersPerYard * ends * denier / 9000.
// Negative ends or deniers count as 0.
double GramsPerYard(const Tex &bar, int32_t filaments, int32_t gauge, int32_t ends, int32_t formula,
                    double coursesPerCm, double denier);

// The yarn a bar knits, averaged for the run-in formula.
struct BarYarnMeans
{
    double denier = 40.0;
    int32_t filaments = 20; // the mean, truncated
};

// Mean denier and mean filaments over the bar's threaded runs, one value per run whatever its
// needle count; a run naming a yarn outside `yarns` is skipped. 40 denier and 20 filaments when
// no threaded run names a yarn. Deniers are averaged as stored; CourseLength takes a mean that is
// not a positive number as a yarn without diameter.
BarYarnMeans ThreadedYarnMeans(const Tex &bar, const std::vector<Yarn> &yarns);

// The formula run-in of every course c = 0 .. header.courseCount - 1 that the bar has a course
// state for: trunc(CourseLength(c) * 480) with the bar's mean yarn, saturated to int32.
std::vector<int32_t> FormulaCalcRunIns(const Tex &bar, const std::vector<Yarn> &yarns,
                                       int32_t formula, const MainData &header);

// "Set Default With Formula": stores FormulaCalcRunIns as the calcRunIn of those courses.
void SetDefaultWithFormula(Tex &bar, const std::vector<Yarn> &yarns, int32_t formula,
                           const MainData &header);

// trunc(value) as int32: saturated at the int32 limits, 0 for not-a-number.
int32_t TruncToInt32(double value);

} // namespace warplon
