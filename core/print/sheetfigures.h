#pragma once

// Small figures and texts of the technical sheets worked out from the design records: the chain
// notation of a bar, its threading runs, the course table merged into runs of equal courses,
// the treated courses of a bar, and the production figures of the property record.

#include "knit/records.h"
#include "knit/treatmentdata.h"
#include "print/propertyrecord.h"

#include <QString>

#include <optional>
#include <vector>

namespace warplon {

// The number of courses after which the bar's lapping repeats: the smallest p dividing the course
// count with every course equal (x0 and x1) to the course p before it. 0 without lapping.
int32_t LappingPeriod(const Tex &bar);

// The lapping of a bar in chain notation, one repeat of it (LappingPeriod courses), courses
// separated by "/" and closed by "//". Two steps give x0-x1 per course ("1-0/1-2//"); three
// steps give x0-x1-x2 with x2 worked out from the next course as the lapping view does
// ("1-0-1/1-2-1//"). A bar without lapping gives "".
QString ChainText(const Tex &bar, bool threeSteps);

// The threading runs of a bar as a short text: the count and the yarn letter of a threaded run,
// the count and "-" of an empty one, runs separated by blanks ("2A 1-"). Empty for no runs.
QString ThreadingRunsText(const Tex &bar);

// One run of consecutive courses of a bar whose course-table values are all equal.
struct CourseRun
{
    int32_t first = 0; // course index of the first course
    int32_t last = 0;  // course index of the last course
    CourseState2 state;
    uint8_t carry = 0;
    uint8_t tight = 0;
    bool operator==(const CourseRun &) const = default;
};

// The bar's courses (those it has a course state for) merged into runs of equal runIn,
// calcRunIn, ratio, carry float and tight float, in course order. A missing float switch counts
// as off.
std::vector<CourseRun> MergeCourseRuns(const Tex &bar);

// Courses as the sheets number them, from 1: "5" for one course, "1-16" for a run.
QString CourseRangeText(int32_t first, int32_t last);

// The courses whose bar `bar` is treated, as runs of courses numbered from 1 ("1-4, 9"); empty
// when none is treated.
QString TreatedCoursesText(const TreatmentData &treatment, int32_t bar);

// Grams per square metre of the test piece: weight / (width x height) x 10000; nothing when the
// area is zero or the result is not a finite number.
std::optional<double> GramsPerSquareMetre(const PropertyRecord &record);

// Metres of fabric a day: RPM x 60 x hours x efficiency % / (machine courses per cm x 100);
// nothing when the course density is zero or the result is not a finite number.
std::optional<double> MetresPerDay(const PropertyRecord &record, double machineCoursesPerCm);

// The size of one repeat of the design: wales (the repeat width of the threading) by courses,
// and in centimetres at the given wales per inch and courses per centimetre (nothing for a zero
// density).
struct RepeatSize
{
    int32_t wales = 0;
    int32_t courses = 0;
    std::optional<double> widthCm;
    std::optional<double> heightCm;
};
RepeatSize DesignRepeat(const TexLayer &document, double walesPerInch, double coursesPerCm);

} // namespace warplon
