#include "knit/guidebaredits.h"

#include "knit/runin.h"
#include "text/stringtable.h"

#include "testsupport.h"

#include <gtest/gtest.h>

using namespace warplon;
using namespace warplon::test;

namespace {

std::vector<WaleState> Runs(std::initializer_list<WaleState> runs)
{
    return runs;
}

// One text per row first..last of a threading column, "." for a blank cell.
QString ThreadingTexts(const std::vector<WaleState> &runs, int32_t column, int32_t first,
                       int32_t last)
{
    QStringList texts;
    for (int32_t row = first; row <= last; ++row) {
        const QString text = ThreadingCellText(runs, row, column);
        texts.append(text.isEmpty() ? QStringLiteral(".") : text);
    }
    return texts.join(QLatin1Char(' '));
}

QString CourseTexts(const Tex &bar, int32_t column, int32_t first, int32_t last)
{
    QStringList texts;
    for (int32_t row = first; row <= last; ++row) {
        const QString text = CourseCellText(bar, row, column);
        texts.append(text.isEmpty() ? QStringLiteral(".") : text);
    }
    return texts.join(QLatin1Char(' '));
}

// A bar with the given laps (x0, x1) per course.
std::vector<int> Switches(const std::vector<uint8_t> &values)
{
    return {values.begin(), values.end()};
}

} // namespace

TEST(GuideBarEdits, ThreadingCellsAndRows)
{
    const std::vector<WaleState> runs
        = Runs({{0, 6, 1, 0}, {1, 2, 1, 1}, {2, 3, 0, 1}, {27, 1, 1, 0}});
    EXPECT_EQ(ThreadingTexts(runs, ThreadingColumnRow, 1, 6), QStringLiteral("1 2 3 4 5 6"));
    EXPECT_EQ(ThreadingTexts(runs, ThreadingColumnInOut, 1, 5), QStringLiteral("In In Out In ."));
    EXPECT_EQ(ThreadingTexts(runs, ThreadingColumnNeedles, 1, 5), QStringLiteral("6 2 3 1 ."));
    EXPECT_EQ(ThreadingTexts(runs, ThreadingColumnYarn, 1, 4), QStringLiteral("A B C \\"));
    // The flag of an empty run is kept but not shown.
    EXPECT_EQ(ThreadingTexts(runs, ThreadingColumnHidden, 1, 5), QStringLiteral("X O . X ."));
    EXPECT_EQ(ThreadingCellText(runs, 0, ThreadingColumnRow), QString());

    TStringTable none;
    EXPECT_EQ(CourseHeaderText(none, CourseColumnRunIn), QStringLiteral("mm/RACK"));
    EXPECT_EQ(ThreadingHeaderText(none, ThreadingColumnNeedles), QString());

    EXPECT_EQ(GuideBarGridRows(0), 30);
    EXPECT_EQ(GuideBarGridRows(20), 30);
    EXPECT_EQ(GuideBarGridRows(21), 31);
    EXPECT_EQ(GuideBarGridRows(64), 74);
}

TEST(GuideBarEdits, CourseCellsHintsAndDifferingCounts)
{
    Tex bar = BarWithLaps({{1, 0}, {1, 2}, {1, 1}});
    bar.courseStates[0] = {1700, 1210, 100};
    bar.courseStates[1] = {1650, 1205, 95};
    bar.courseStates[2] = {1000, 600, 100};
    bar.carryFloat[2] = 1;
    bar.tightFloat[1] = 1;
    EXPECT_EQ(CourseTexts(bar, CourseColumnNumber, 1, 4), QStringLiteral("1 2 3 ."));
    EXPECT_EQ(CourseTexts(bar, CourseColumnRunIn, 1, 4), QStringLiteral("1700 1650 1000 ."));
    EXPECT_EQ(CourseTexts(bar, CourseColumnCalcRunIn, 1, 3), QStringLiteral("1210 1205 600"));
    EXPECT_EQ(CourseTexts(bar, CourseColumnRatio, 1, 3), QStringLiteral("100% 95% 100%"));
    EXPECT_EQ(CourseTexts(bar, CourseColumnCarryFloat, 1, 4), QStringLiteral("X X O ."));
    EXPECT_EQ(CourseTexts(bar, CourseColumnTightFloat, 1, 4), QStringLiteral("X O X ."));

    // Integer means (4350 / 3 = 1450, 3015 / 3 = 1005), truncated.
    EXPECT_EQ(CourseGridHint(bar, CourseColumnRunIn), QStringLiteral("1450"));
    EXPECT_EQ(CourseGridHint(bar, CourseColumnCalcRunIn), QStringLiteral("1005"));
    EXPECT_EQ(CourseGridHint(bar, CourseColumnRatio), QString());

    // A file with more laps than course states: calculated values and ratios are not shown, and
    // the rows follow the lapping.
    bar.lapping.push_back({2, 3, 2});
    EXPECT_EQ(CourseTexts(bar, CourseColumnCalcRunIn, 1, 5), QStringLiteral("- - - - ."));
    EXPECT_EQ(CourseTexts(bar, CourseColumnRatio, 4, 4), QStringLiteral("-"));
    EXPECT_EQ(CourseTexts(bar, CourseColumnRunIn, 3, 5), QStringLiteral("1000 . ."));
    EXPECT_EQ(CourseTexts(bar, CourseColumnCarryFloat, 4, 5), QStringLiteral("X ."));

    bar.courseStates.clear();
    EXPECT_EQ(CourseGridHint(bar, CourseColumnRunIn), QStringLiteral("0"));
}

TEST(GuideBarEdits, TypingIntoTheThreadingGrid)
{
    // Yarn letters: capitals from 'A', everything else from 'a', held to the yarn list.
    EXPECT_EQ(TypedYarnIndex(QLatin1Char('c'), 2), 1);
    EXPECT_EQ(TypedYarnIndex(QLatin1Char('A'), 0), 0);
    EXPECT_EQ(TypedYarnIndex(QLatin1Char('C'), 5), 2);
    EXPECT_EQ(TypedYarnIndex(QLatin1Char('b'), 5), 1);
    EXPECT_EQ(TypedYarnIndex(QLatin1Char('7'), 5), 0);

    // Rows 3 to 6 of a two-run threading: four runs of four needles are appended.
    std::vector<WaleState> runs = Runs({{0, 6, 1, 0}, {1, 2, 0, 0}});
    EXPECT_EQ(EnterThreadingText(runs, 2, ThreadingColumnNeedles, 3, 6, QStringLiteral("4")),
              GuideBarEntry::Stored);
    EXPECT_EQ(
        runs,
        Runs({{0, 6, 1, 0}, {1, 2, 0, 0}, {0, 4, 1, 0}, {0, 4, 1, 0}, {0, 4, 1, 0}, {0, 4, 1, 0}}));

    // Rows over existing runs change them; a selection far below the list still appends right
    // after the last run, one run per selected row.
    EXPECT_EQ(EnterThreadingText(runs, 2, ThreadingColumnYarn, 2, 3, QStringLiteral("c")),
              GuideBarEntry::Stored);
    EXPECT_EQ(ThreadingTexts(runs, ThreadingColumnYarn, 1, 6), QStringLiteral("A B B A A A"));
    EXPECT_EQ(EnterThreadingText(runs, 3, ThreadingColumnYarn, 10, 11, QStringLiteral("Cx")),
              GuideBarEntry::Stored);
    EXPECT_EQ(runs.size(), 8u);
    EXPECT_EQ(runs[7], (WaleState{2, 1, 1, 0}));

    // Counts below one needle are held at one; the header row is never a run.
    EXPECT_EQ(EnterThreadingText(runs, 3, ThreadingColumnNeedles, 0, 1, QStringLiteral("-3")),
              GuideBarEntry::Stored);
    EXPECT_EQ(runs[0].count, 1);
    EXPECT_EQ(runs.size(), 8u);

    // Nothing changes for an empty text, a text that is no number, or the mouse-only columns.
    const std::vector<WaleState> before = runs;
    EXPECT_EQ(EnterThreadingText(runs, 3, ThreadingColumnNeedles, 1, 9, QString()),
              GuideBarEntry::Nothing);
    EXPECT_EQ(EnterThreadingText(runs, 3, ThreadingColumnNeedles, 1, 9, QStringLiteral("4a")),
              GuideBarEntry::NotANumber);
    EXPECT_EQ(EnterThreadingText(runs, 3, ThreadingColumnHidden, 1, 9, QStringLiteral("O")),
              GuideBarEntry::Nothing);
    EXPECT_EQ(EnterThreadingText(runs, 3, ThreadingColumnInOut, 1, 9, QStringLiteral("Out")),
              GuideBarEntry::Nothing);
    EXPECT_EQ(runs, before);
}

TEST(GuideBarEdits, PressAddAndDeleteRuns)
{
    std::vector<WaleState> runs = Runs({{0, 6, 1, 0}, {1, 2, 1, 0}});
    // In/Out and the flag toggle on a run's row.
    EXPECT_TRUE(PressThreadingCell(runs, 2, ThreadingColumnInOut));
    EXPECT_EQ(runs[1].threaded, 0);
    // The flag of an Out run changes although its cell stays blank.
    EXPECT_TRUE(PressThreadingCell(runs, 2, ThreadingColumnHidden));
    EXPECT_EQ(runs[1].needleFlag, 1);
    EXPECT_EQ(ThreadingCellText(runs, 2, ThreadingColumnHidden), QString());
    // Column 4 just below the last run appends a run; further down, or column 1 there, nothing.
    EXPECT_TRUE(PressThreadingCell(runs, 3, ThreadingColumnHidden));
    EXPECT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[2], DefaultRun());
    EXPECT_FALSE(PressThreadingCell(runs, 5, ThreadingColumnHidden));
    EXPECT_FALSE(PressThreadingCell(runs, 4, ThreadingColumnInOut));
    EXPECT_FALSE(PressThreadingCell(runs, 1, ThreadingColumnNeedles));
    EXPECT_FALSE(PressThreadingCell(runs, 0, ThreadingColumnHidden));
    EXPECT_EQ(runs.size(), 3u);

    // Add inserts before the clicked row's run; the row after the last run appends.
    runs = Runs({{1, 6, 1, 0}, {2, 2, 1, 0}});
    EXPECT_TRUE(AddThreadingRun(runs, 2));
    EXPECT_EQ(runs, Runs({{1, 6, 1, 0}, DefaultRun(), {2, 2, 1, 0}}));
    EXPECT_TRUE(AddThreadingRun(runs, 4));
    EXPECT_EQ(runs.size(), 4u);
    EXPECT_FALSE(AddThreadingRun(runs, 6));
    EXPECT_FALSE(AddThreadingRun(runs, 0));
    EXPECT_EQ(runs.size(), 4u);

    // Delete takes the selected runs; a selection reaching below the last run deletes nothing.
    runs = Runs({{0, 1, 1, 0}, {1, 2, 1, 0}, {2, 3, 1, 0}, {3, 4, 1, 0}});
    EXPECT_FALSE(DeleteThreadingRuns(runs, 3, 5));
    EXPECT_EQ(runs.size(), 4u);
    EXPECT_TRUE(DeleteThreadingRuns(runs, 2, 3));
    EXPECT_EQ(runs, Runs({{0, 1, 1, 0}, {3, 4, 1, 0}}));
    EXPECT_TRUE(DeleteThreadingRuns(runs, 0, 2));
    EXPECT_TRUE(runs.empty());
}

TEST(GuideBarEdits, TypingIntoTheCourseGrid)
{
    Tex bar = BarWithLaps({{1, 0}, {1, 2}, {1, 0}, {1, 2}});
    EXPECT_EQ(EnterCourseText(bar, CourseColumnRunIn, 2, 6, QStringLiteral("1420")),
              GuideBarEntry::Stored);
    EXPECT_EQ(CourseTexts(bar, CourseColumnRunIn, 1, 4), QStringLiteral("1700 1420 1420 1420"));
    EXPECT_EQ(EnterCourseText(bar, CourseColumnRatio, 1, 1, QStringLiteral("-20")),
              GuideBarEntry::Stored);
    EXPECT_EQ(EnterCourseText(bar, CourseColumnRatio, 4, 4, QStringLiteral(" 90 ")),
              GuideBarEntry::Stored);
    EXPECT_EQ(CourseTexts(bar, CourseColumnRatio, 1, 4), QStringLiteral("0% 100% 100% 90%"));
    EXPECT_EQ(EnterCourseText(bar, CourseColumnRunIn, 1, 4, QStringLiteral("-5")),
              GuideBarEntry::Stored);
    EXPECT_EQ(bar.courseStates[3].runIn, 0);

    // The switches take "0", "O" or "o" as set, every other text as clear.
    for (const char *set : {"0", "O", "o"}) {
        bar.carryFloat = {0, 0, 0, 0};
        EnterCourseText(bar, CourseColumnCarryFloat, 2, 3, QLatin1String(set));
        EXPECT_EQ(Switches(bar.carryFloat), (std::vector<int>{0, 1, 1, 0})) << set;
    }
    EnterCourseText(bar, CourseColumnTightFloat, 1, 4, QStringLiteral("o"));
    EnterCourseText(bar, CourseColumnTightFloat, 2, 2, QStringLiteral("X"));
    EnterCourseText(bar, CourseColumnTightFloat, 3, 3, QStringLiteral("00"));
    EXPECT_EQ(Switches(bar.tightFloat), (std::vector<int>{1, 0, 0, 1}));

    // No input: the fixed number column, the calculated column, empty texts; bad numbers.
    const Tex before = bar;
    EXPECT_EQ(EnterCourseText(bar, CourseColumnCalcRunIn, 1, 4, QStringLiteral("5")),
              GuideBarEntry::Nothing);
    EXPECT_EQ(EnterCourseText(bar, CourseColumnNumber, 1, 4, QStringLiteral("5")),
              GuideBarEntry::Nothing);
    EXPECT_EQ(EnterCourseText(bar, CourseColumnRunIn, 1, 4, QString()), GuideBarEntry::Nothing);
    EXPECT_EQ(EnterCourseText(bar, CourseColumnRunIn, 1, 4, QStringLiteral("12.5")),
              GuideBarEntry::NotANumber);
    EXPECT_EQ(EnterCourseText(bar, CourseColumnRatio, 1, 4, QStringLiteral("80%")),
              GuideBarEntry::NotANumber);
    EXPECT_TRUE(bar.sameStoredFields(before));
}

TEST(GuideBarEdits, FloatSwitchesByPressAndHeader)
{
    // Courses 1 and 2 form no loop.
    Tex bar = BarWithLaps({{1, 0}, {1, 1}, {2, 2}, {1, 2}});
    EXPECT_TRUE(PressCourseCell(bar, 4, CourseColumnCarryFloat));
    EXPECT_TRUE(PressCourseCell(bar, 1, CourseColumnTightFloat));
    EXPECT_EQ(Switches(bar.carryFloat), (std::vector<int>{0, 0, 0, 1}));
    EXPECT_EQ(Switches(bar.tightFloat), (std::vector<int>{1, 0, 0, 0}));
    EXPECT_TRUE(PressCourseCell(bar, 4, CourseColumnCarryFloat));
    EXPECT_FALSE(PressCourseCell(bar, 5, CourseColumnCarryFloat));
    EXPECT_FALSE(PressCourseCell(bar, 2, CourseColumnRatio));

    // The header with no switch set selects exactly the courses without a loop...
    EXPECT_TRUE(PressCourseCell(bar, 0, CourseColumnCarryFloat));
    EXPECT_EQ(Switches(bar.carryFloat), (std::vector<int>{0, 1, 1, 0}));
    // ...and a second click clears them all.
    EXPECT_TRUE(PressCourseCell(bar, 0, CourseColumnCarryFloat));
    EXPECT_EQ(Switches(bar.carryFloat), (std::vector<int>{0, 0, 0, 0}));
    // With any switch set, even on a looping course, the header clears the column.
    EXPECT_TRUE(PressCourseCell(bar, 0, CourseColumnTightFloat));
    EXPECT_EQ(Switches(bar.tightFloat), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_TRUE(PressCourseCell(bar, 0, CourseColumnTightFloat));
    EXPECT_EQ(Switches(bar.tightFloat), (std::vector<int>{0, 1, 1, 0}));
}

TEST(GuideBarEdits, SingleValuesAndRepeatWidth)
{
    EXPECT_EQ(ShiftEntry(QString()).outcome, GuideBarEntry::Nothing);
    EXPECT_EQ(ShiftEntry(QStringLiteral("-4")).value, 0);
    EXPECT_EQ(ShiftEntry(QStringLiteral("-4")).outcome, GuideBarEntry::Stored);
    EXPECT_EQ(ShiftEntry(QStringLiteral("7")).value, 7);
    EXPECT_EQ(ShiftEntry(QStringLiteral("x")).outcome, GuideBarEntry::NotANumber);
    EXPECT_EQ(CompleteNeedleEntry(QStringLiteral("0")).value, 1);
    EXPECT_EQ(CompleteNeedleEntry(QStringLiteral("-9")).value, 1);
    EXPECT_EQ(CompleteNeedleEntry(QStringLiteral("24")).value, 24);
    EXPECT_EQ(CompleteNeedleEntry(QStringLiteral("1e3")).outcome, GuideBarEntry::NotANumber);

    // Threading lengths 4, 6 and 1: the repeat is 12 in either mode; an empty threading and a
    // missing bar count as 1.
    TexLayer document;
    for (int i = 0; i < 3; ++i)
        document.AddBar();
    document.bars[0].threading = Runs({{0, 3, 1, 0}, {1, 1, 0, 0}});
    document.bars[1].threading = Runs({{0, 6, 1, 0}});
    document.optimizeRepeat = 0;
    document.completeNeedle = 30;
    EXPECT_EQ(ThreadingRepeat(document), 12);
    EXPECT_EQ(OptimizationCaption(QStringLiteral("Optimization"), document, 3),
              QStringLiteral("Optimization   12"));
    document.bars[2].threading.clear();
    document.bars[1].threading = Runs({{0, 5, 1, 0}});
    EXPECT_EQ(OptimizationCaption(QStringLiteral("Opt"), document, 1), QStringLiteral("Opt 20"));

    EXPECT_EQ(EditedBar(document, 2), &document.bars[2]);
    EXPECT_EQ(EditedBar(document, 3), nullptr);
    EXPECT_EQ(EditedBar(document, -1), nullptr);
}

TEST(GuideBarEdits, RunInDefaults)
{
    // "Default" copies the calculated values into the entered ones.
    Tex bar = BarWithLaps({{1, 0}, {1, 2}});
    bar.courseStates[0].calcRunIn = 1180;
    bar.courseStates[1].calcRunIn = 1190;
    EXPECT_TRUE(CopyCalcRunIns(bar));
    EXPECT_EQ(CourseTexts(bar, CourseColumnRunIn, 1, 2), QStringLiteral("1180 1190"));
    EXPECT_FALSE(CopyCalcRunIns(bar));

    // The formula uses the formula index of the bar being edited.
    TexLayer document;
    document.AddBar();
    document.AddBar();
    document.SetCourseCount(2);
    document.bars[1] = BarWithLaps({{1, 0}, {1, 2}});
    MainData header;
    header.courseCount = 2;
    GuideBarData settings;
    settings.formula[1] = 0;
    Tex edited = document.bars[1];
    DefaultRunInsByFormula(edited, 1, document, settings, header);
    const std::vector<int32_t> d1 = FormulaCalcRunIns(document.bars[1], document.yarns, 0, header);
    const std::vector<int32_t> d3 = FormulaCalcRunIns(document.bars[1], document.yarns, 2, header);
    ASSERT_NE(d1, d3);
    EXPECT_EQ(edited.courseStates[0].calcRunIn, d1[0]);
    EXPECT_EQ(edited.courseStates[1].calcRunIn, d1[1]);
    Tex untouched = document.bars[1];
    DefaultRunInsByFormula(untouched, 4, document, settings, header);
    EXPECT_TRUE(untouched.sameStoredFields(document.bars[1]));
}

// A bar whose course 2 forms no loop: by optimization, course 2 and the course before it take
// the formula value, the looping courses get a measured value of their own.
TEST(GuideBarEdits, OptimizationTakesTheFormulaAroundACourseWithoutLoop)
{
    TexLayer document;
    document.AddBar();
    document.bars[0] = BarWithLaps({{1, 0}, {1, 2}, {2, 2}, {1, 2}, {1, 0}, {1, 2}});
    document.completeNeedle = 6;
    document.optimizeRepeat = 0;
    MainData header;
    header.courseCount = 6;
    GuideBarData settings;
    const std::vector<int32_t> formula
        = FormulaCalcRunIns(document.bars[0], document.yarns, settings.formula[0], header);

    Tex edited = document.bars[0];
    DirectionMemory directions;
    ASSERT_TRUE(
        DefaultRunInsByOptimization(edited, 0, document, settings, header, directions, nullptr));
    std::vector<int32_t> values;
    for (const CourseState2 &state : edited.courseStates)
        values.push_back(state.calcRunIn);
    EXPECT_EQ(values[1], formula[1]);
    EXPECT_EQ(values[2], formula[2]);
    for (size_t c : {0u, 3u, 4u, 5u}) {
        EXPECT_NE(values[c], formula[c]) << c;
        EXPECT_GT(values[c], 0) << c;
    }
    // The entered run-in is left alone.
    EXPECT_EQ(edited.courseStates[0].runIn, 1700);

    // Nothing to measure (no courses per centimetre): nothing changes.
    header.coursesPerCm = 0.0;
    Tex refused = document.bars[0];
    EXPECT_FALSE(
        DefaultRunInsByOptimization(refused, 0, document, settings, header, directions, nullptr));
    EXPECT_TRUE(refused.sameStoredFields(document.bars[0]));
}
