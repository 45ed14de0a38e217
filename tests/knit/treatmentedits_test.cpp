#include "knit/treatmentedits.h"

#include <gtest/gtest.h>

using namespace warplon;

namespace {

// A document of two bars with `courses` courses each.
TexLayer TwoBars(int32_t courses)
{
    TexLayer document;
    document.AddBar();
    document.AddBar();
    document.SetCourseCount(courses);
    return document;
}

// The flags of one bar, course by course.
std::vector<int> BarFlags(const TreatmentData &data, int32_t bar)
{
    std::vector<int> flags;
    for (const auto &course : data.courseFlags)
        flags.push_back(course[size_t(bar)]);
    return flags;
}

// The column-1 texts of grid rows first..last, one character each, "." for a blank cell.
QString Column1(const TreatmentData &data, int32_t bar, int32_t first, int32_t last)
{
    QString texts;
    for (int32_t row = first; row <= last; ++row) {
        const QString text = TreatmentCellText(data, bar, row, 1);
        texts += text.isEmpty() ? QStringLiteral(".") : text;
    }
    return texts;
}

} // namespace

TEST(TreatmentEdits, GridFollowsTheCourseCountOfTheCurrentBar)
{
    TexLayer document = TwoBars(16);
    TreatmentData data;
    FitTreatmentToBar(data, document, 1);
    ASSERT_EQ(data.courseFlags.size(), 16u);
    data.courseFlags[15] = {0, 1, 0, 0};
    EXPECT_EQ(TreatmentGridRows(16), 30);

    // The bar grows to 20 courses: the four new ones come untreated and the old ones stay.
    document.bars[1].SetCourseCount(20);
    FitTreatmentToBar(data, document, 1);
    ASSERT_EQ(data.courseFlags.size(), 20u);
    EXPECT_EQ(Column1(data, 1, 15, 21), QStringLiteral("XOXXXX."));
    EXPECT_EQ(TreatmentCellText(data, 1, 20, 0), QStringLiteral("20"));
    EXPECT_EQ(TreatmentCellText(data, 1, 21, 0), QString());
    EXPECT_EQ(TreatmentCellText(data, 1, 0, 0), QString()); // the header row is the window's

    // Long designs get ten blank rows; the row count never drops below 30.
    EXPECT_EQ(TreatmentGridRows(20), 30);
    EXPECT_EQ(TreatmentGridRows(21), 31);
    EXPECT_EQ(TreatmentGridRows(25), 35);
    EXPECT_EQ(TreatmentGridRows(0), 30);
    EXPECT_EQ(TreatmentGridRows(INT32_MAX), INT32_MAX);

    // The list follows the bar being edited, even when another bar is shorter.
    document.bars[0].SetCourseCount(12);
    FitTreatmentToBar(data, document, 0);
    EXPECT_EQ(data.courseFlags.size(), 12u);
    FitTreatmentToBar(data, document, 7);
    EXPECT_TRUE(data.courseFlags.empty());
}

TEST(TreatmentEdits, ToggleAndEnterWorkOnCoursesOnly)
{
    const TexLayer document = TwoBars(6);
    TreatmentData data;

    // A press on a row toggles that course of the current bar, and only of that bar.
    EXPECT_TRUE(ToggleTreatmentRow(data, document, 1, 2));
    EXPECT_EQ(BarFlags(data, 1), (std::vector<int>{0, 1, 0, 0, 0, 0}));
    EXPECT_EQ(BarFlags(data, 0), std::vector<int>(6, 0));
    EXPECT_TRUE(ToggleTreatmentRow(data, document, 1, 2));
    EXPECT_EQ(BarFlags(data, 1), std::vector<int>(6, 0));

    // Past the last course and on the header row: nothing.
    const TreatmentData before = data;
    EXPECT_FALSE(ToggleTreatmentRow(data, document, 1, 7));
    EXPECT_FALSE(ToggleTreatmentRow(data, document, 1, 0));
    EXPECT_EQ(data.courseFlags, before.courseFlags);

    // "o" on rows 3 to 5 treats courses 2 to 4; rows past the last course are skipped.
    EXPECT_TRUE(EnterTreatmentText(data, document, 0, {3, 4, 5, 9, 0}, QStringLiteral("o")));
    EXPECT_EQ(BarFlags(data, 0), (std::vector<int>{0, 0, 1, 1, 1, 0}));
    EXPECT_EQ(Column1(data, 0, 2, 6), QStringLiteral("XOOOX"));
    // "0" and "O" set as well; an empty text does nothing; anything else clears.
    EXPECT_TRUE(EnterTreatmentText(data, document, 0, {1}, QStringLiteral("0")));
    EXPECT_TRUE(EnterTreatmentText(data, document, 0, {6}, QStringLiteral("O")));
    EXPECT_EQ(BarFlags(data, 0), (std::vector<int>{1, 0, 1, 1, 1, 1}));
    EXPECT_FALSE(EnterTreatmentText(data, document, 0, {1, 2, 3}, QString()));
    EXPECT_TRUE(EnterTreatmentText(data, document, 0, {3, 4}, QStringLiteral("00")));
    EXPECT_TRUE(EnterTreatmentText(data, document, 0, {5}, QStringLiteral("x")));
    EXPECT_EQ(BarFlags(data, 0), (std::vector<int>{1, 0, 0, 0, 0, 1}));
    EXPECT_EQ(ClassifyTreatmentText(QStringLiteral(" o")), TreatmentEntry::Clear);
}

TEST(TreatmentEdits, CheckAllNegatesTheFirstCourse)
{
    const TexLayer document = TwoBars(4);
    TreatmentData data;
    FitTreatmentToBar(data, document, 0);
    data.courseFlags[2] = {1, 1, 0, 0};

    // Course 0 untreated: every course gets treated; the other bar keeps its flags.
    EXPECT_TRUE(CheckAllTreatment(data, document, 0));
    EXPECT_EQ(BarFlags(data, 0), std::vector<int>(4, 1));
    EXPECT_EQ(BarFlags(data, 1), (std::vector<int>{0, 0, 1, 0}));
    // Course 0 treated: every course gets cleared, whatever the others were.
    data.courseFlags[3][0] = 0;
    EXPECT_TRUE(CheckAllTreatment(data, document, 0));
    EXPECT_EQ(BarFlags(data, 0), std::vector<int>(4, 0));

    // A bar without courses has nothing to check.
    const TexLayer empty = TwoBars(0);
    EXPECT_FALSE(CheckAllTreatment(data, empty, 0));
    EXPECT_TRUE(data.courseFlags.empty());
}

TEST(TreatmentEdits, ArrowKeysStayAmongTheFreeCells)
{
    // The course grid: 30 rows, two columns, the first row and column fixed.
    EXPECT_EQ(MoveGridCell({5, 1}, GridStep::Up, 30, 2), (GridCell{4, 1}));
    EXPECT_EQ(MoveGridCell({5, 1}, GridStep::Down, 30, 2), (GridCell{6, 1}));
    EXPECT_EQ(MoveGridCell({1, 1}, GridStep::Up, 30, 2), (GridCell{1, 1}));
    EXPECT_EQ(MoveGridCell({29, 1}, GridStep::Down, 30, 2), (GridCell{29, 1}));
    EXPECT_EQ(MoveGridCell({5, 1}, GridStep::Left, 30, 2), (GridCell{5, 1}));
    EXPECT_EQ(MoveGridCell({5, 1}, GridStep::Right, 30, 2), (GridCell{5, 1}));
    // A wider grid lets the column move.
    EXPECT_EQ(MoveGridCell({5, 2}, GridStep::Left, 30, 4), (GridCell{5, 1}));
    EXPECT_EQ(MoveGridCell({5, 2}, GridStep::Right, 30, 4), (GridCell{5, 3}));
}
