// The small texts and figures of the technical sheets.
#include "print/report.h"
#include "print/sheetfigures.h"
#include "simulation/costsheet.h"

#include <gtest/gtest.h>

namespace warplon {
namespace {

Tex BarWithLapping(std::initializer_list<std::pair<int, int>> courses)
{
    Tex bar;
    for (const auto &[x0, x1] : courses)
        bar.lapping.push_back({x0, x1, 99}); // x2 left stale on purpose
    return bar;
}

TEST(SheetFigures, ChainTextInTwoAndThreeSteps)
{
    const Tex tricot = BarWithLapping({{1, 0}, {1, 2}});
    EXPECT_EQ(ChainText(tricot, false), QStringLiteral("1-0/1-2//"));
    EXPECT_EQ(ChainText(tricot, true), QStringLiteral("1-0-1/1-2-1//"));
    // The stored x2 is not trusted: the third step follows from the next course.
    EXPECT_EQ(tricot.lapping[0].x2, 99);

    // An underlap that does not turn back keeps x2 at x1; a laid-in course has x2 = x0; the last
    // course looks at the first.
    const Tex open = BarWithLapping({{2, 3}, {4, 5}, {0, 0}, {1, 0}});
    EXPECT_EQ(ChainText(open, false), QStringLiteral("2-3/4-5/0-0/1-0//"));
    EXPECT_EQ(ChainText(open, true), QStringLiteral("2-3-3/4-5-4/0-0-0/1-0-1//"));

    // Wide and negative gaps print as numbers, not single digits.
    const Tex wide = BarWithLapping({{12, -3}});
    EXPECT_EQ(ChainText(wide, false), QStringLiteral("12--3//"));
    EXPECT_EQ(ChainText(Tex(), false), QString());
    EXPECT_EQ(ChainText(Tex(), true), QString());
}

TEST(SheetFigures, ChainTextShowsOneRepeatOfTheLapping)
{
    // Sixteen courses of tricot print as its two-course repeat.
    Tex tricot;
    for (int c = 0; c < 16; ++c)
        tricot.lapping.push_back(c % 2 ? ChainLink{1, 2, 0} : ChainLink{1, 0, 0});
    EXPECT_EQ(LappingPeriod(tricot), 2);
    EXPECT_EQ(ChainText(tricot, false), QStringLiteral("1-0/1-2//"));
    EXPECT_EQ(ChainText(tricot, true), QStringLiteral("1-0-1/1-2-1//"));

    // A period that does not divide the course count is no repeat: 1-0/1-2/1-0 knits 1-0 twice
    // in a row when the design repeats.
    Tex odd = BarWithLapping({{1, 0}, {1, 2}, {1, 0}});
    EXPECT_EQ(LappingPeriod(odd), 3);
    EXPECT_EQ(ChainText(odd, false), QStringLiteral("1-0/1-2/1-0//"));
    // Courses equal in x0 and x1 but not in the stored x2 still repeat.
    Tex stale = BarWithLapping({{2, 3}, {1, 0}, {2, 3}, {1, 0}});
    stale.lapping[2].x2 = 7;
    EXPECT_EQ(LappingPeriod(stale), 2);
    // A change in the last course keeps the whole lapping.
    Tex changed = tricot;
    changed.lapping[15] = {1, 3, 0};
    EXPECT_EQ(LappingPeriod(changed), 16);
    EXPECT_EQ(LappingPeriod(Tex()), 0);
}

TEST(SheetFigures, ThreadingRunsNameCountAndYarn)
{
    Tex bar;
    bar.threading = {{0, 2, 1, 0}, {0, 1, 0, 0}, {27, 3, 1, 1}};
    EXPECT_EQ(ThreadingRunsText(bar), QStringLiteral("2A 1- 3") + QChar(u'A' + 27));
    bar.threading.clear();
    EXPECT_EQ(ThreadingRunsText(bar), QString());
}

TEST(SheetFigures, CourseRunsMergeOnlyEqualNeighbours)
{
    Tex bar;
    bar.courseStates.assign(7, CourseState2{1700, 1650, 100});
    bar.courseStates[3].ratio = 90; // course 4 differs in the ratio
    bar.courseStates[6] = {1700, 1650, 100};
    bar.carryFloat = {0, 0, 0, 0, 1, 0}; // course 5 carries; course 7 has no switch stored
    bar.tightFloat = {0, 0, 0, 0, 1, 0, 0};
    const std::vector<CourseRun> runs = MergeCourseRuns(bar);
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(CourseRangeText(runs[0].first, runs[0].last), QStringLiteral("1-3"));
    EXPECT_EQ(CourseRangeText(runs[1].first, runs[1].last), QStringLiteral("4"));
    EXPECT_EQ(runs[1].state.ratio, 90);
    EXPECT_EQ(CourseRangeText(runs[2].first, runs[2].last), QStringLiteral("5"));
    EXPECT_EQ(runs[2].carry, 1);
    EXPECT_EQ(runs[2].tight, 1);
    // Courses 6 and 7 are equal although only course 6 has its carry switch stored.
    EXPECT_EQ(CourseRangeText(runs[3].first, runs[3].last), QStringLiteral("6-7"));
    EXPECT_EQ(runs[3].carry, 0);

    // The same run-in in courses that are not neighbours stays two runs.
    bar.courseStates = {{1, 0, 100}, {2, 0, 100}, {1, 0, 100}};
    bar.carryFloat.clear();
    bar.tightFloat.clear();
    EXPECT_EQ(MergeCourseRuns(bar).size(), 3u);
    EXPECT_TRUE(MergeCourseRuns(Tex()).empty());
}

TEST(SheetFigures, TreatedCoursesAsRuns)
{
    TreatmentData treatment;
    treatment.Resize(10);
    for (int c : {0, 1, 2, 3, 8})
        treatment.courseFlags[size_t(c)][1] = 1;
    treatment.courseFlags[9][2] = 1;
    EXPECT_EQ(TreatedCoursesText(treatment, 1), QStringLiteral("1-4, 9"));
    EXPECT_EQ(TreatedCoursesText(treatment, 2), QStringLiteral("10"));
    EXPECT_EQ(TreatedCoursesText(treatment, 0), QString());
    EXPECT_EQ(TreatedCoursesText(treatment, 4), QString());
    EXPECT_EQ(TreatedCoursesText(treatment, -1), QString());
}

TEST(SheetFigures, ProductionFiguresAndZeroDivisors)
{
    PropertyRecord record;
    record.testWidth = 10.0;
    record.testHeight = 5.0;
    record.testWeight = 1.25;
    ASSERT_TRUE(GramsPerSquareMetre(record));
    EXPECT_DOUBLE_EQ(*GramsPerSquareMetre(record), 250.0); // 1.25 g on 50 cm²
    record.rpm = 1000;
    record.hours = 24.0;
    record.efficiency = 85;
    // 1000 x 60 x 24 x 0.85 courses a day, 20 courses a cm: 61200 cm.
    ASSERT_TRUE(MetresPerDay(record, 20.0));
    EXPECT_DOUBLE_EQ(*MetresPerDay(record, 20.0), 612.0);

    EXPECT_FALSE(MetresPerDay(record, 0.0));
    EXPECT_EQ(FormatSheetFigure(MetresPerDay(record, 0.0), 2), QStringLiteral("-"));
    record.testHeight = 0.0;
    EXPECT_FALSE(GramsPerSquareMetre(record));
    record.testHeight = 1e-320; // an area so small the weight overflows
    record.testWidth = 1e-10;
    EXPECT_FALSE(GramsPerSquareMetre(record));

    // The sheets round as the windows do, also with four decimals.
    EXPECT_EQ(FormatSheetFigure(0.155, 2), QStringLiteral("0.16"));
    EXPECT_EQ(FormatSheetFigure(0.00005, 4), QStringLiteral("0.0001"));
}

TEST(SheetFigures, RepeatOfTheDesign)
{
    TexLayer document;
    document.AddBar();
    document.AddBar();
    document.SetCourseCount(16);
    document.bars[0].threading = {{0, 2, 1, 0}, {0, 1, 0, 0}}; // 3 needles
    document.bars[1].threading = {{1, 4, 1, 0}};               // 4 needles
    const RepeatSize repeat = DesignRepeat(document, 25.4, 8.0);
    EXPECT_EQ(repeat.wales, 12);
    EXPECT_EQ(repeat.courses, 16);
    ASSERT_TRUE(repeat.widthCm && repeat.heightCm);
    EXPECT_DOUBLE_EQ(*repeat.widthCm, 1.2); // 12 wales at 10 a cm
    EXPECT_DOUBLE_EQ(*repeat.heightCm, 2.0);
    const RepeatSize flat = DesignRepeat(document, 0.0, 0.0);
    EXPECT_FALSE(flat.widthCm);
    EXPECT_FALSE(flat.heightCm);
}

TEST(ReportChoice, PrintWindowChoicesSelectTheSheets)
{
    int layer = 0;
    EXPECT_EQ(ReportKindForChoice(0, 3, 5, false, &layer), ReportKind::Simple);
    EXPECT_EQ(ReportKindForChoice(1, 0, 1, true, &layer), ReportKind::Landscape);
    EXPECT_EQ(ReportKindForChoice(2, 0, 1, false, &layer), ReportKind::Simulation);
    EXPECT_EQ(ReportKindForChoice(2, 1, 1, false, &layer), ReportKind::DesignData);
    EXPECT_EQ(ReportKindForChoice(2, 2, 1, false, &layer), ReportKind::DesignWindow);
    EXPECT_EQ(ReportKindForChoice(2, 2, 2, false, &layer), ReportKind::DesignLayers);
    EXPECT_EQ(ReportKindForChoice(2, 2, 5, false, &layer), ReportKind::DesignLayer);
    EXPECT_EQ(layer, 3);
    EXPECT_EQ(ReportKindForChoice(2, 3, 1, false, &layer), ReportKind::Yarn);
    // Data 4 is the cost sheet in the standard edition, the partner yarn sheet in the other.
    EXPECT_EQ(ReportKindForChoice(2, 4, 1, false, &layer), ReportKind::Cost);
    EXPECT_EQ(ReportKindForChoice(2, 4, 1, true, &layer), ReportKind::YarnPartner);
    EXPECT_EQ(ReportKindForChoice(2, 5, 1, true, &layer), ReportKind::Cost);
    EXPECT_FALSE(ReportKindForChoice(2, 5, 1, false, &layer));
    EXPECT_FALSE(ReportKindForChoice(2, 2, 7, false, &layer));
    EXPECT_FALSE(ReportKindForChoice(3, 0, 1, false, &layer));

    // Every kind has a name the command line takes back.
    const QStringList names = ReportKindNames();
    EXPECT_EQ(names.size(), 10);
    for (const QString &name : names) {
        const std::optional<ReportKind> kind = ReportKindFromName(name);
        ASSERT_TRUE(kind) << name.toStdString();
        EXPECT_EQ(ReportKindName(*kind), name);
    }
    EXPECT_FALSE(ReportKindFromName(QStringLiteral("Simple")));
}

} // namespace
} // namespace warplon
