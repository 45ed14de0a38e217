#include "print/sheetfigures.h"

#include "knit/threading.h"

#include <QStringList>

#include <cmath>

namespace warplon {

int32_t LappingPeriod(const Tex &bar)
{
    const size_t count = bar.lapping.size();
    for (size_t period = 1; period < count; ++period) {
        if (count % period != 0)
            continue;
        bool repeats = true;
        for (size_t c = period; c < count && repeats; ++c) {
            const ChainLink &a = bar.lapping[c];
            const ChainLink &b = bar.lapping[c - period];
            repeats = a.x0 == b.x0 && a.x1 == b.x1;
        }
        if (repeats)
            return int32_t(period);
    }
    return int32_t(count);
}

QString ChainText(const Tex &bar, bool threeSteps)
{
    if (bar.lapping.empty())
        return QString();
    Tex normalized;
    normalized.lapping = bar.lapping;
    if (threeSteps)
        normalized.Normalize();
    const std::vector<ChainLink> &links = normalized.lapping;
    const size_t period = size_t(LappingPeriod(bar));
    QStringList courses;
    courses.reserve(qsizetype(period));
    for (size_t c = 0; c < period; ++c) {
        const ChainLink &link = links[c];
        QString text = QString::number(link.x0) + QLatin1Char('-') + QString::number(link.x1);
        if (threeSteps)
            text += QLatin1Char('-') + QString::number(link.x2);
        courses.append(text);
    }
    return courses.join(QLatin1Char('/')) + QLatin1String("//");
}

QString ThreadingRunsText(const Tex &bar)
{
    QStringList runs;
    for (const WaleState &run : bar.threading) {
        const QString mark = run.threaded ? QString(YarnLetter(run.yarn)) : QStringLiteral("-");
        runs.append(QString::number(run.count) + mark);
    }
    return runs.join(QLatin1Char(' '));
}

std::vector<CourseRun> MergeCourseRuns(const Tex &bar)
{
    std::vector<CourseRun> runs;
    for (size_t c = 0; c < bar.courseStates.size(); ++c) {
        CourseRun course;
        course.first = course.last = int32_t(c);
        course.state = bar.courseStates[c];
        course.carry = c < bar.carryFloat.size() && bar.carryFloat[c] ? 1 : 0;
        course.tight = c < bar.tightFloat.size() && bar.tightFloat[c] ? 1 : 0;
        if (!runs.empty()) {
            CourseRun &previous = runs.back();
            if (previous.state == course.state && previous.carry == course.carry
                && previous.tight == course.tight) {
                previous.last = course.last;
                continue;
            }
        }
        runs.push_back(course);
    }
    return runs;
}

QString CourseRangeText(int32_t first, int32_t last)
{
    if (first == last)
        return QString::number(int64_t(first) + 1);
    return QString::number(int64_t(first) + 1) + QLatin1Char('-')
           + QString::number(int64_t(last) + 1);
}

QString TreatedCoursesText(const TreatmentData &treatment, int32_t bar)
{
    if (bar < 0 || bar >= 4)
        return QString();
    QStringList runs;
    const int32_t count = int32_t(treatment.courseFlags.size());
    int32_t c = 0;
    while (c < count) {
        if (!treatment.courseFlags[size_t(c)][size_t(bar)]) {
            ++c;
            continue;
        }
        const int32_t first = c;
        while (c + 1 < count && treatment.courseFlags[size_t(c + 1)][size_t(bar)])
            ++c;
        runs.append(CourseRangeText(first, c));
        ++c;
    }
    return runs.join(QLatin1String(", "));
}

std::optional<double> GramsPerSquareMetre(const PropertyRecord &record)
{
    const double area = record.testWidth * record.testHeight;
    if (area == 0.0)
        return std::nullopt;
    const double value = record.testWeight / area * 10000.0;
    return std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

std::optional<double> MetresPerDay(const PropertyRecord &record, double machineCoursesPerCm)
{
    const double divisor = machineCoursesPerCm * 100.0;
    if (divisor == 0.0)
        return std::nullopt;
    const double value
        = double(record.rpm) * 60.0 * record.hours * double(record.efficiency) / 100.0 / divisor;
    return std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

RepeatSize DesignRepeat(const TexLayer &document, double walesPerInch, double coursesPerCm)
{
    RepeatSize size;
    size.wales = RepeatWidth(document);
    size.courses = document.CourseCount();
    if (walesPerInch != 0.0 && std::isfinite(walesPerInch))
        size.widthCm = double(size.wales) / walesPerInch * 2.54;
    if (coursesPerCm != 0.0 && std::isfinite(coursesPerCm))
        size.heightCm = double(size.courses) / coursesPerCm;
    return size;
}

} // namespace warplon
