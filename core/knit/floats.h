#pragma once

// Float lengths of the guide bars and the warnings for floats that are too long for the mill.
//
// A float is a stretch of yarn between two places where the fabric holds it: it leaves one course
// at that course's x1 and is held again at x0 of a later course. "Course c" of a float is the
// course whose underlap it is, the course the yarn leaves (texts count courses from 1). Courses
// wrap around the bar's lapping count: the underlap of the last course runs to course 0.
//
// Where the yarn is held next follows the stitch model exactly (it is read from a model built for
// one needle of the bar):
// - a course with a loop followed by a course with a loop: the underlap from x1(c) to x0(c + 1);
// - a course with a loop followed by courses without one, on the front bar, the back bar, or a
//   middle bar whose carryFloat is set on every course in between: one float to the next course
//   with a loop;
// - the same on a middle bar without carryFloat (its "float walk"): the yarn is held at the
//   laid-in point of every course in between that is not carried, so the float is cut into
//   pieces from one held course to the next;
// - a bar that never forms a loop (laid in): from the laid-in point of each course to that of the
//   next course.
// The length across the fabric is the distance of the two lapping positions in needles, |to -
// from|, times one needle spacing (25.4 mm / gauge). The rise over the courses is not counted.

#include "knit/lappingview.h"
#include "knit/records.h"

#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>

#include <cstdint>
#include <vector>

namespace warplon {

// The limit the program starts with, millimetres.
constexpr double kDefaultFloatLimitMm = 6.0;
// Outlines of the courses over the limit in the lapping chart.
constexpr QRgb kFloatWarningColor = 0xffff5a00;

enum class FloatKind : uint8_t {
    Underlap, // from a loop to the loop of the next course
    Carried,  // from a loop over courses without loops to the next loop
    Walk,     // a piece of a middle bar's float walk
    LaidIn,   // a piece of a bar that never forms a loop
};

struct CourseFloat
{
    int32_t bar = 0;
    int32_t course = 0;  // the course the yarn leaves, 0-based, within the bar's lapping count
    int32_t courses = 1; // courses up to the one where it is held again (1: the next course)
    int32_t from = 0;    // lapping position where it leaves: x1 of `course`
    int32_t to = 0;      // lapping position where it is held: x0 of course + courses (wrapped)
    int32_t needles = 0; // |to - from|
    double millimetres = 0.0;
    FloatKind kind = FloatKind::Underlap;
    bool operator==(const CourseFloat &) const = default;
};

// needles * 25.4 / gauge; 0 when the gauge is not above 0 (no length can be given).
double FloatMillimetres(int64_t needles, int32_t gauge);

// The floats of one bar in course order, one per course where the yarn leaves a held place.
// Courses that the yarn only passes (carried over) start none. Empty for a bar that is missing,
// beyond the fourth or has no lapping.
std::vector<CourseFloat> BarFloats(const TexLayer &layer, int32_t bar, int32_t gauge);

// The floats of every bar, bar by bar.
std::vector<CourseFloat> DesignFloats(const MainData &header, const TexLayer &layer);

// True when the float is longer than the limit; a limit of 0 or below is off.
bool ExceedsLimit(const CourseFloat &floatLength, double limitMm);

// The floats of every bar longer than limitMm. Empty when the limit is off (0 or below) or the
// gauge is not above 0.
std::vector<CourseFloat> FindLongFloats(const MainData &header, const TexLayer &layer,
                                        double limitMm);

// The float of bar `bar` that course `course` lies in (it starts there or the yarn is carried
// over it), courses wrapping around lappingCount; null when none.
const CourseFloat *FloatAtCourse(const std::vector<CourseFloat> &floats, int32_t bar,
                                 int32_t course, int32_t lappingCount);

// "Layer k, course c: float 7.3 mm" (bar and course counted from 1, one decimal).
QString FloatText(const CourseFloat &floatLength);

// The outlines in the lapping chart of bar `bar`'s floats among `floats`: the cells of the needles
// the float passes (the bar drawn by its first needle, at its threading start) in the rows of the
// courses it spans, as CellFrame rectangles. A float over the last row goes on from row 0 in a
// second rectangle.
std::vector<QRect> FloatMarkRects(const TexLayer &layer, int32_t bar,
                                  const std::vector<CourseFloat> &floats,
                                  const LappingGeometry &geometry);

// The float among `floats` whose outline in the chart of bar `bar` holds the cell (the chart's
// tooltip shows FloatText of it); null when none does.
const CourseFloat *FloatAtCell(const TexLayer &layer, int32_t bar,
                               const std::vector<CourseFloat> &floats, LappingCell cell);

// Draws the outlines of FloatMarkRects two pixels wide in the warning colour.
void PaintFloatMarks(QImage &canvas, const TexLayer &layer, int32_t bar,
                     const std::vector<CourseFloat> &floats, const LappingGeometry &geometry);

} // namespace warplon
