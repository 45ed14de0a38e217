#include "capture/stitchgrid.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace warplon {

namespace {

// (a * (n - i) + b * i) / n by integer division, in 64 bits so large pictures cannot overflow.
int InterpolatedCoordinate(int a, int b, int32_t i, int32_t n)
{
    return int((int64_t(n - i) * a + int64_t(i) * b) / n);
}

QPoint Interpolated(QPoint a, QPoint b, int32_t i, int32_t n)
{
    return QPoint(InterpolatedCoordinate(a.x(), b.x(), i, n),
                  InterpolatedCoordinate(a.y(), b.y(), i, n));
}

// The smaller position of lapping record k, the lapping repeating.
int32_t PathNeedle(const std::vector<ChainLink> &lapping, int32_t k)
{
    const ChainLink &link = lapping[size_t(k) % lapping.size()];
    return std::min(link.x0, link.x1);
}

} // namespace

GridSize ClampGridSize(int32_t wales, int32_t courses)
{
    if (wales < kMinGridSize || courses < kMinGridSize)
        return {kMinGridSize, kMinGridSize};
    return {wales, courses};
}

StitchGrid::StitchGrid(int32_t wales, int32_t courses)
    : m_wales(std::max(wales, 0))
    , m_courses(std::max(courses, 0))
    , m_points(size_t(m_wales) * size_t(m_courses))
{}

StitchGrid SetStitchGrid(GridSize size, QSize pictureArea, QSize image)
{
    size = ClampGridSize(size.wales, size.courses);
    const int64_t m = std::min(pictureArea.width(), image.width());
    const int64_t n = std::min(pictureArea.height(), image.height());
    StitchGrid grid(size.wales, size.courses);
    for (int32_t j = 0; j < size.courses; ++j)
        for (int32_t i = 0; i < size.wales; ++i)
            grid.at(i, j) = QPoint(int((m - 40) * i / size.wales + 20),
                                   int((n - 40) * j / size.courses + 20));
    return grid;
}

StitchGrid RebuildStitchGrid(const StitchGrid &old, GridSize size)
{
    if (old.empty())
        return StitchGrid();
    size = ClampGridSize(size.wales, size.courses);
    const QPoint topLeft = old.at(0, 0);
    const QPoint topRight = old.at(old.wales() - 1, 0);
    const QPoint bottomLeft = old.at(0, old.courses() - 1);
    const QPoint bottomRight = old.at(old.wales() - 1, old.courses() - 1);
    StitchGrid grid(size.wales, size.courses);
    for (int32_t i = 0; i < size.wales; ++i) {
        const QPoint top = Interpolated(topLeft, topRight, i, size.wales - 1);
        const QPoint bottom = Interpolated(bottomLeft, bottomRight, i, size.wales - 1);
        for (int32_t j = 0; j < size.courses; ++j)
            grid.at(i, j) = Interpolated(top, bottom, j, size.courses - 1);
    }
    return grid;
}

GridHit NearestGridPoint(const StitchGrid &grid, QPoint p)
{
    GridHit hit;
    int64_t best = std::numeric_limits<int64_t>::max();
    for (int32_t j = 0; j < grid.courses(); ++j) {
        for (int32_t i = 0; i < grid.wales(); ++i) {
            const int64_t dx = int64_t(grid.at(i, j).x()) - p.x();
            const int64_t dy = int64_t(grid.at(i, j).y()) - p.y();
            const int64_t d = dx * dx + dy * dy;
            if (d < best) {
                best = d;
                hit = {i, j};
            }
        }
    }
    return hit;
}

LappingPath MakeLappingPath(const StitchGrid &grid, const std::vector<ChainLink> &lapping)
{
    LappingPath path;
    if (lapping.empty() || grid.empty())
        return path;
    const int32_t w = grid.wales();
    const int32_t c = grid.courses();
    for (int32_t k = 0; k + 1 < c; ++k) {
        const int32_t n = PathNeedle(lapping, k);
        const int32_t m = PathNeedle(lapping, k + 1);
        if (n < 0 || n >= w || m < 0 || m >= w) {
            path.skipped.push_back(k);
            continue;
        }
        PathSegment segment;
        segment.course = k;
        segment.fromNeedle = n;
        segment.toNeedle = m;
        segment.from = grid.at(w - 1 - n, (c - 1 - k) % c);
        segment.to = grid.at(w - 1 - m, (c - 1 - (k + 1)) % c);
        path.segments.push_back(segment);
    }
    return path;
}

GridDensity MeasureGridDensity(const StitchGrid &grid, double umPerDot)
{
    GridDensity density;
    if (grid.empty())
        return density;
    double rowSum = 0.0;
    double columnSum = 0.0;
    for (int32_t j = 0; j < grid.courses(); ++j) {
        for (int32_t i = 0; i < grid.wales(); ++i) {
            const QPoint p = grid.at(i, j);
            if (i + 1 < grid.wales()) {
                const QPoint q = grid.at(i + 1, j);
                rowSum += std::hypot(double(q.x() - p.x()), double(q.y() - p.y()));
            }
            if (j + 1 < grid.courses()) {
                const QPoint q = grid.at(i, j + 1);
                columnSum += std::hypot(double(q.x() - p.x()), double(q.y() - p.y()));
            }
        }
    }
    if (grid.wales() > 1)
        density.waleSpacing = rowSum / (double(grid.wales() - 1) * grid.courses());
    if (grid.courses() > 1)
        density.courseSpacing = columnSum / (double(grid.courses() - 1) * grid.wales());
    // 10000 micrometres to the centimetre.
    if (umPerDot > 0.0 && density.waleSpacing > 0.0)
        density.walesPerCm = 10000.0 / (density.waleSpacing * umPerDot);
    if (umPerDot > 0.0 && density.courseSpacing > 0.0)
        density.coursesPerCm = 10000.0 / (density.courseSpacing * umPerDot);
    return density;
}

QString GridDensityText(const GridDensity &density, const QString &walesLabel,
                        const QString &coursesLabel)
{
    const auto count = [](double perCm) {
        return perCm > 0.0 ? QString::number(perCm, 'f', 1) : QStringLiteral("-");
    };
    return QStringLiteral("%1 %2  %3 %4")
        .arg(walesLabel, count(density.walesPerCm), coursesLabel, count(density.coursesPerCm));
}

} // namespace warplon
