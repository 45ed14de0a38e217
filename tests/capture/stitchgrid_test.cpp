#include "capture/stitchgrid.h"

#include <gtest/gtest.h>

using namespace warplon;

namespace {

// A grid of wales x courses points at (dx * i, dy * j).
StitchGrid regularGrid(int32_t wales, int32_t courses, int dx, int dy)
{
    StitchGrid grid(wales, courses);
    for (int32_t j = 0; j < courses; ++j)
        for (int32_t i = 0; i < wales; ++i)
            grid.at(i, j) = QPoint(dx * i, dy * j);
    return grid;
}

} // namespace

TEST(StitchGrid, SetLayoutAndSizesBelowTwo)
{
    // M = min(500, 440), N = min(400, 600): x = 400 i / 3 + 20, y = 360 j / 7 + 20.
    const StitchGrid grid = SetStitchGrid({3, 7}, QSize(500, 400), QSize(440, 600));
    ASSERT_EQ(grid.wales(), 3);
    ASSERT_EQ(grid.courses(), 7);
    EXPECT_EQ(grid.at(0, 0), QPoint(20, 20));
    EXPECT_EQ(grid.at(1, 1), QPoint(153, 71));
    EXPECT_EQ(grid.at(2, 6), QPoint(286, 328));

    // "1" for wales makes both sizes 2, whatever the courses were.
    EXPECT_EQ(ClampGridSize(1, 7), (GridSize{2, 2}));
    EXPECT_EQ(ClampGridSize(9, 0), (GridSize{2, 2}));
    EXPECT_EQ(ClampGridSize(2, 3), (GridSize{2, 3}));
    EXPECT_EQ(SetStitchGrid({1, 7}, QSize(100, 100), QSize(100, 100)).points().size(), 4u);
}

TEST(StitchGrid, RebuildKeepsTheCornersAndTruncates)
{
    StitchGrid old = SetStitchGrid({10, 10}, QSize(800, 600), QSize(800, 600));
    old.at(0, 0) = QPoint(10, 20);
    old.at(9, 0) = QPoint(301, 25);
    old.at(0, 9) = QPoint(13, 250);
    old.at(9, 9) = QPoint(307, 260);
    old.at(4, 4) = QPoint(999, 999); // inner points play no part

    const StitchGrid grid = RebuildStitchGrid(old, {4, 3});
    ASSERT_EQ(grid.wales(), 4);
    ASSERT_EQ(grid.courses(), 3);
    EXPECT_EQ(grid.at(0, 0), QPoint(10, 20));
    EXPECT_EQ(grid.at(3, 0), QPoint(301, 25));
    EXPECT_EQ(grid.at(0, 2), QPoint(13, 250));
    EXPECT_EQ(grid.at(3, 2), QPoint(307, 260));
    // Column 1: top (321 / 3, 65 / 3) = (107, 21), bottom (333 / 3, 760 / 3) = (111, 253).
    EXPECT_EQ(grid.at(1, 0), QPoint(107, 21));
    EXPECT_EQ(grid.at(1, 2), QPoint(111, 253));
    EXPECT_EQ(grid.at(1, 1), QPoint(109, 137));
    // Column 2: bottom (627 / 3, 770 / 3) = (209, 256).
    EXPECT_EQ(grid.at(2, 2), QPoint(209, 256));

    // Sizes below 2 give a 2 x 2 grid of the old corners; no old grid, no new one.
    const StitchGrid two = RebuildStitchGrid(old, {1, 5});
    ASSERT_EQ(two.points().size(), 4u);
    EXPECT_EQ(two.at(1, 1), QPoint(307, 260));
    EXPECT_TRUE(RebuildStitchGrid(StitchGrid(), {4, 3}).empty());
}

TEST(StitchGrid, NearestPointBySquaredDistanceFirstOnTies)
{
    const StitchGrid grid = regularGrid(3, 2, 10, 10);
    const GridHit hit = NearestGridPoint(grid, QPoint(19, 8));
    EXPECT_EQ(hit.column, 2);
    EXPECT_EQ(hit.row, 1);
    const GridHit tie = NearestGridPoint(grid, QPoint(5, 5)); // four points at equal distance
    EXPECT_EQ(tie.column, 0);
    EXPECT_EQ(tie.row, 0);
    EXPECT_EQ(NearestGridPoint(StitchGrid(), QPoint(0, 0)).column, -1);
}

TEST(LappingPath, DefaultBarWrapsOverTheGridsCourses)
{
    // A new bar of two courses: 2-3 then 1-0, smaller positions 2 and 0. Four rows of grid, so
    // the lapping repeats; needle n sits in column W - 1 - n, course k in row C - 1 - k.
    Tex bar;
    bar.SetCourseCount(2);
    const StitchGrid grid = regularGrid(5, 4, 10, 100);
    const LappingPath path = MakeLappingPath(grid, bar.lapping);
    ASSERT_EQ(path.segments.size(), 3u);
    EXPECT_TRUE(path.skipped.empty());
    EXPECT_EQ(path.segments[0].from, QPoint(20, 300));
    EXPECT_EQ(path.segments[0].to, QPoint(40, 200));
    EXPECT_EQ(path.segments[1].from, QPoint(40, 200));
    EXPECT_EQ(path.segments[1].to, QPoint(20, 100));
    EXPECT_EQ(path.segments[2].from, QPoint(20, 100));
    EXPECT_EQ(path.segments[2].to, QPoint(40, 0));
    EXPECT_EQ(path.segments[2].course, 2);
    EXPECT_EQ(path.segments[2].fromNeedle, 2);
    EXPECT_EQ(path.segments[2].toNeedle, 0);

    EXPECT_TRUE(MakeLappingPath(grid, {}).segments.empty());
    EXPECT_TRUE(MakeLappingPath(grid, {}).skipped.empty());
}

TEST(LappingPath, PositionOutsideTheColumnsDropsBothItsSegments)
{
    const std::vector<ChainLink> lapping = {{2, 3, 0}, {1, 0, 0}, {7, 6, 0}, {1, 0, 0}, {-1, 0, 0}};
    // Five columns: needle 6 (course 2) and needle -1 (course 4) lie outside.
    const LappingPath path = MakeLappingPath(regularGrid(5, 6, 10, 10), lapping);
    EXPECT_EQ(path.skipped, (std::vector<int32_t>{1, 2, 3, 4}));
    ASSERT_EQ(path.segments.size(), 1u);
    EXPECT_EQ(path.segments[0].course, 0);

    // With a wider grid needle 6 fits.
    const LappingPath wide = MakeLappingPath(regularGrid(8, 4, 10, 10), lapping);
    EXPECT_TRUE(wide.skipped.empty());
    ASSERT_EQ(wide.segments.size(), 3u);
    EXPECT_EQ(wide.segments[2].from, QPoint(10, 10)); // needle 6 -> column 1, course 2 -> row 1
}

TEST(GridDensity, CountsPerCentimetreFromTheMeanSpacing)
{
    // 30 x 20 pixels at 10 um: 300 um between wales, 200 um between courses.
    const GridDensity d = MeasureGridDensity(regularGrid(5, 4, 30, 20), 10.0);
    EXPECT_DOUBLE_EQ(d.waleSpacing, 30.0);
    EXPECT_DOUBLE_EQ(d.courseSpacing, 20.0);
    EXPECT_NEAR(d.walesPerCm, 100.0 / 3.0, 1e-9);
    EXPECT_NEAR(d.coursesPerCm, 50.0, 1e-9);

    // A sheared grid: rows keep their spacing, columns lean (5, 20) per course.
    StitchGrid sheared(3, 3);
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 3; ++i)
            sheared.at(i, j) = QPoint(30 * i + 5 * j, 20 * j);
    const GridDensity s = MeasureGridDensity(sheared, 10.0);
    EXPECT_DOUBLE_EQ(s.waleSpacing, 30.0);
    EXPECT_NEAR(s.courseSpacing, std::sqrt(425.0), 1e-12);

    // Without a calibration only the spacings are known.
    const GridDensity none = MeasureGridDensity(regularGrid(5, 4, 30, 20), 0.0);
    EXPECT_DOUBLE_EQ(none.waleSpacing, 30.0);
    EXPECT_EQ(none.walesPerCm, 0.0);
    EXPECT_EQ(none.coursesPerCm, 0.0);

    const QString wales = QStringLiteral("Wales/cm");
    const QString courses = QStringLiteral("Courses/cm");
    EXPECT_EQ(GridDensityText(d, wales, courses), QStringLiteral("Wales/cm 33.3  Courses/cm 50.0"));
    EXPECT_EQ(GridDensityText(none, wales, courses), QStringLiteral("Wales/cm -  Courses/cm -"));
}
