#include "simulation/cellshading.h"

#include "base/randomsource.h"
#include "base/vector.h"
#include "bitmap/corvexbitmap.h"
#include "knit/tricot.h"

#include <cstring>

namespace warplon {

bool OpenRepeatArea(TCorvexBitmap &picture, int32_t repeatWidth, int32_t repeatHeight,
                    bool backView, RepeatArea &area)
{
    area = RepeatArea();
    if (repeatWidth < 1 || repeatHeight < 1 || repeatWidth > kMaxShadingCoordinate
        || repeatHeight > kMaxShadingCoordinate)
        return false;
    if (!picture.IsAllocated() || picture.IsLeased() || picture.BitsPerPixel() != 24
        || picture.image().format() != QImage::Format_BGR888)
        return false;
    QImage &image = picture.image();
    uint8_t *bits = image.bits();
    if (bits == nullptr)
        return false;
    area.bits = bits;
    area.bytesPerLine = image.bytesPerLine();
    area.pictureWidth = image.width();
    area.pictureHeight = image.height();
    area.repeatWidth = repeatWidth;
    area.repeatHeight = repeatHeight;
    area.width = std::min(repeatWidth, area.pictureWidth);
    area.height = std::min(repeatHeight, area.pictureHeight);
    area.mirror = !backView;
    return true;
}

void TileRepeat(const RepeatArea &area)
{
    if (area.bits == nullptr || area.width < 1 || area.height < 1)
        return;
    const size_t tileBytes = size_t(area.width) * 3;
    const size_t rowBytes = size_t(area.pictureWidth) * 3;
    // Across first, on the rows of the painted repeat, so every later row is one whole copy.
    for (int32_t y = 0; y < area.height; ++y) {
        uint8_t *row = area.Row(y);
        for (size_t offset = tileBytes; offset < rowBytes; offset += tileBytes)
            std::memcpy(row + offset, row, std::min(tileBytes, rowBytes - offset));
    }
    for (int32_t y = area.height; y < area.pictureHeight; ++y)
        std::memcpy(area.Row(y), area.Row(y % area.height), rowBytes);
}

bool UsablePitch(double pitch)
{
    return std::isfinite(pitch) && pitch > 0.0 && pitch <= double(kMaxShadingCoordinate);
}

bool ShadeableGrid(const Tricot &model)
{
    return model.wales >= 2 && model.courses >= 2
           && int64_t(model.nodes.size()) == int64_t(model.wales) * model.courses;
}

bool ShadeableModel(const Tricot &model)
{
    return ShadeableGrid(model) && UsablePitch(model.xPitch) && UsablePitch(model.yPitch);
}

int32_t PixelCoordinate(double value)
{
    if (std::isnan(value))
        return 0;
    const double limit = double(kMaxShadingCoordinate);
    return int32_t(std::clamp(value, -limit, limit));
}

CellGrid::CellGrid(const Tricot &model)
    : wales(std::max(model.wales, 1))
    , courses(std::max(model.courses, 1))
    , cells(size_t(wales) * size_t(courses))
{
    const size_t nodeCount = std::min(cells.size(), model.nodes.size());
    for (size_t index = 0; index < cells.size(); ++index) {
        const int32_t wale = int32_t(index % size_t(wales));
        const int32_t course = int32_t(index / size_t(wales));
        Cell &cell = cells[index];
        if (index < nodeCount && model.nodes[index].state == 1) {
            const Octopus &node = model.nodes[index];
            cell.present = true;
            cell.x = PixelCoordinate(model.NodeX(node, wale));
            cell.y = PixelCoordinate(model.NodeY(node, course));
        } else {
            cell.x = PixelCoordinate(wale * model.xPitch);
            cell.y = PixelCoordinate(course * model.yPitch);
        }
    }
    // An empty cell borrows from the next loop up its wale for x and along its course for y.
    // Walking each line backwards over two periods keeps "the next present cell" at hand,
    // wrapping included.
    for (int32_t wale = 0; wale < wales; ++wale) {
        const Cell *next = nullptr;
        for (int32_t k = 2 * courses - 1; k >= 0; --k) {
            Cell &cell = cells[size_t(k % courses) * size_t(wales) + size_t(wale)];
            if (cell.present)
                next = &cell;
            else if (next != nullptr && k < courses)
                cell.x = next->x;
        }
    }
    for (int32_t course = 0; course < courses; ++course) {
        const Cell *next = nullptr;
        for (int32_t k = 2 * wales - 1; k >= 0; --k) {
            Cell &cell = cells[size_t(course) * size_t(wales) + size_t(k % wales)];
            if (cell.present)
                next = &cell;
            else if (next != nullptr && k < wales)
                cell.y = next->y;
        }
    }
}

bool CellQuad::Contains(int64_t px, int64_t py) const
{
    // The polygon p3, p2, p1, p0. Coordinates stay below 2^26, so the products are exact.
    static constexpr int order[4] = {3, 2, 1, 0};
    bool inside = false;
    for (int k = 0, previous = 3; k < 4; previous = k++) {
        const int64_t xi = x[order[k]];
        const int64_t yi = y[order[k]];
        const int64_t xj = x[order[previous]];
        const int64_t yj = y[order[previous]];
        if ((yi > py) == (yj > py))
            continue;
        // Does the side cross the horizontal ray to the right of the point?
        const int64_t lhs = (px - xi) * (yj - yi);
        const int64_t rhs = (xj - xi) * (py - yi);
        if (yj > yi ? lhs < rhs : lhs > rhs)
            inside = !inside;
    }
    return inside;
}

CellQuad QuadOf(const CellGrid &grid, int32_t wale, int32_t course, int32_t repeatWidth,
                int32_t repeatHeight)
{
    CellQuad quad;
    quad.cell00 = grid.Index(wale, course);
    quad.cell10 = grid.Index(wale + 1, course);
    quad.cell11 = grid.Index(wale + 1, course + 1);
    quad.cell01 = grid.Index(wale, course + 1);
    const int32_t corners[4] = {quad.cell00, quad.cell10, quad.cell11, quad.cell01};
    for (int k = 0; k < 4; ++k) {
        quad.x[k] = grid.cells[size_t(corners[k])].x;
        quad.y[k] = grid.cells[size_t(corners[k])].y;
    }
    // The last wale and course join the first ones of the next repeat.
    if (wale == grid.wales - 1) {
        quad.x[1] += repeatWidth;
        quad.x[2] += repeatWidth;
    }
    if (course == grid.courses - 1) {
        quad.y[2] += repeatHeight;
        quad.y[3] += repeatHeight;
    }
    static constexpr int sides[4][2] = {{0, 1}, {2, 3}, {3, 0}, {1, 2}};
    for (int side = 0; side < 4; ++side) {
        const double xa = double(quad.x[sides[side][0]]);
        const double ya = double(quad.y[sides[side][0]]);
        const double xb = double(quad.x[sides[side][1]]);
        const double yb = double(quad.y[sides[side][1]]);
        quad.a[side] = ya - yb;
        quad.b[side] = xb - xa;
        quad.c[side] = xa * yb - xb * ya;
        quad.length[side] = std::sqrt(quad.a[side] * quad.a[side] + quad.b[side] * quad.b[side]);
    }
    return quad;
}

LocalPoint LocalPosition(const CellQuad &quad, int64_t px, int64_t py, double pitchX, double pitchY)
{
    const double toCourse = quad.Distance(0, px, py); // side p0p1, the node's own course
    const double toNextCourse = quad.Distance(1, px, py);
    const double toWale = quad.Distance(2, px, py); // side p3p0, the node's own wale
    const double toNextWale = quad.Distance(3, px, py);
    const double across = toWale + toNextWale;
    const double along = toCourse + toNextCourse;
    LocalPoint point;
    if (across == 0.0 || along == 0.0)
        return point;
    // Both ratios lie in 0..1, so the results stay within the pitches.
    point.u = int32_t(toWale * pitchX / across);
    point.v = int32_t(toCourse * pitchY / along);
    return point;
}

bool PaintBilinearShades(const CellGrid &grid, const std::vector<double> &shades,
                         const RepeatArea &area, double pitchX, double pitchY, Progress *progress)
{
    if (shades.size() != grid.cells.size())
        return false;
    return PaintCells(
        grid, area, pitchX, pitchY, progress,
        [&](uint8_t *pixel, const CellQuad &quad, LocalPoint local) {
            const double u = double(local.u) / pitchX;
            const double v = double(local.v) / pitchY;
            const double shade
                = ((1.0 - u) * shades[size_t(quad.cell00)] + u * shades[size_t(quad.cell10)])
                      * (1.0 - v)
                  + ((1.0 - u) * shades[size_t(quad.cell01)] + u * shades[size_t(quad.cell11)]) * v;
            pixel[0] = ScaledChannel(pixel[0], shade);
            pixel[1] = ScaledChannel(pixel[1], shade);
            pixel[2] = ScaledChannel(pixel[2], shade);
        });
}

void AddHeightNoise(std::vector<double> &heights, RandomSource &random)
{
    for (double &height : heights)
        height += 0.1 - 0.02 * double(random.Rand() % 10);
}

void SmoothHeights(std::vector<double> &heights, int32_t wales, int32_t courses,
                   RandomSource &random)
{
    if (wales < 1 || courses < 1 || heights.size() != size_t(wales) * size_t(courses))
        return;
    const auto at = [&](int32_t wale, int32_t course) -> double & {
        return heights[size_t((course + courses) % courses) * size_t(wales)
                       + size_t((wale + wales) % wales)];
    };
    const int64_t rounds = int64_t(wales) * courses * 16;
    for (int64_t round = 0; round < rounds; ++round) {
        // Two draws in a fixed order: the wale, then the course.
        const int32_t wale = random.Rand() % wales;
        const int32_t course = random.Rand() % courses;
        double sum = 0.0;
        for (int32_t dc = -1; dc <= 1; ++dc)
            for (int32_t dw = -1; dw <= 1; ++dw)
                sum += at(wale + dw, course + dc);
        double &height = at(wale, course);
        height = 0.05 * sum / 9.0 + 0.95 * height;
    }
}

std::vector<double> SlopeLighting(const std::vector<double> &heights, int32_t wales,
                                  int32_t courses, double lightWale, double lightCourse,
                                  double lightHeight)
{
    std::vector<double> lighting(heights.size(), 0.0);
    if (wales < 1 || courses < 1 || heights.size() != size_t(wales) * size_t(courses))
        return lighting;
    Vector light(lightWale, lightCourse, lightHeight);
    light.Normalize();
    for (int32_t course = 0; course < courses; ++course) {
        for (int32_t wale = 0; wale < wales; ++wale) {
            const size_t index = size_t(course) * size_t(wales) + size_t(wale);
            const double height = heights[index];
            const double toNextWale
                = heights[size_t(course) * size_t(wales) + size_t((wale + 1) % wales)] - height;
            const double toNextCourse
                = heights[size_t((course + 1) % courses) * size_t(wales) + size_t(wale)] - height;
            Vector normal(-toNextWale, -toNextCourse, 1.0);
            normal.Normalize();
            lighting[index] = normal.Dot(light);
        }
    }
    return lighting;
}

} // namespace warplon
