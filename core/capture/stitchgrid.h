#pragma once

// The grid of stitch points the capture window lays over a picture of fabric, and the lapping
// path of a guide bar drawn through it. Column i runs from the left, row j from the top; needle 0
// is the rightmost column and course 0 the bottom row, as on the lapping view.

#include "knit/records.h"

#include <QPoint>
#include <QSize>
#include <QString>

#include <cstdint>
#include <vector>

namespace warplon {

// Neither grid size goes below this.
constexpr int32_t kMinGridSize = 2;
// Nor above this: more stitch points than any picture shows would only cost memory and time.
constexpr int32_t kMaxGridSize = 500;

struct GridSize
{
    int32_t wales = 10;
    int32_t courses = 10;
    bool operator==(const GridSize &) const = default;
};

// The sizes typed for wales and courses; when either is below 2, both become 2.
GridSize ClampGridSize(int32_t wales, int32_t courses);

class StitchGrid
{
public:
    StitchGrid() = default;
    // wales x courses points, all at (0, 0).
    StitchGrid(int32_t wales, int32_t courses);

    int32_t wales() const { return m_wales; }
    int32_t courses() const { return m_courses; }
    bool empty() const { return m_points.empty(); }
    // Point of column i (from the left) and row j (from the top); both must be in range.
    QPoint at(int32_t i, int32_t j) const { return m_points[index(i, j)]; }
    QPoint &at(int32_t i, int32_t j) { return m_points[index(i, j)]; }
    // All points, row by row from the top.
    const std::vector<QPoint> &points() const { return m_points; }
    std::vector<QPoint> &points() { return m_points; }

private:
    size_t index(int32_t i, int32_t j) const { return size_t(j) * size_t(m_wales) + size_t(i); }

    int32_t m_wales = 0;
    int32_t m_courses = 0;
    std::vector<QPoint> m_points;
};

// The fresh grid of the set button: point (i, j) at ((M - 40) * i / W + 20, (N - 40) * j / C + 20)
// with integer division, M and N the smaller of the picture area's and the image's width and
// height. The sizes are clamped first (ClampGridSize).
StitchGrid SetStitchGrid(GridSize size, QSize pictureArea, QSize image);

// The grid of a new size interpolated between the four corner points of the old one: for column
// i the top and bottom points are ((W - 1 - i) * left + i * right) / (W - 1), and point (i, j) is
// ((C - 1 - j) * top + j * bottom) / (C - 1), each coordinate by integer division (truncated
// toward zero). The sizes are clamped first. Without an old grid the result is empty.
StitchGrid RebuildStitchGrid(const StitchGrid &old, GridSize size);

struct GridHit
{
    int32_t column = -1; // -1: no grid
    int32_t row = -1;
};

// The grid point nearest to p by squared distance; the first in row order on ties.
GridHit NearestGridPoint(const StitchGrid &grid, QPoint p);

// One piece of the lapping path: from course `course` (grid column W - 1 - n, row C - 1 - k) to
// the next course.
struct PathSegment
{
    int32_t course = 0;     // k
    int32_t fromNeedle = 0; // n: the smaller lapping position of course k
    int32_t toNeedle = 0;   // m: the same of course k + 1
    QPoint from;
    QPoint to;
};

struct LappingPath
{
    std::vector<PathSegment> segments;
    // The courses k (0 .. C - 2) whose segment is left out because n or m lies outside the grid
    // columns.
    std::vector<int32_t> skipped;
};

// The path of a bar's lapping through the grid: for k = 0 .. C - 2 the smaller of x0 and x1 of
// record k and of record k + 1, both taken modulo the lapping's length (so a lapping shorter
// than the grid repeats). A course whose position lies outside 0 .. W - 1 draws neither its
// segment to the next course nor the one from the previous. An empty lapping or grid draws
// nothing.
LappingPath MakeLappingPath(const StitchGrid &grid, const std::vector<ChainLink> &lapping);

// The fabric's density from the grid: the mean distance between neighbouring points of a row
// (wales) and of a column (courses) in pixels, and the counts per centimetre with the
// calibration. Counts are 0 when a spacing or the calibration is not positive.
struct GridDensity
{
    double waleSpacing = 0.0;   // pixels
    double courseSpacing = 0.0; // pixels
    double walesPerCm = 0.0;
    double coursesPerCm = 0.0;
};

GridDensity MeasureGridDensity(const StitchGrid &grid, double umPerDot);

// The densities as the capture window's info label shows them in grid mode, each count with one
// decimal after its label: "Wales/cm 12.4  Courses/cm 16.0"; "-" for a count of 0.
QString GridDensityText(const GridDensity &density, const QString &walesLabel,
                        const QString &coursesLabel);

} // namespace warplon
