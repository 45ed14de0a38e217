#pragma once

// The quadrilateral machinery shared by the relief passes and the finishing picture pass: one
// cell per stitch node, each cell spanning the quadrilateral between its node and the nodes of
// the next wale and course, painted pixel by pixel into the top-left repeat of the picture,
// which is then tiled over the whole picture. Also the height-field steps (random term,
// smoothing, slope lighting) that the spandex effect and loop raising share.

#include "base/progress.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace warplon {

class RandomSource;
class TCorvexBitmap;
class Tricot;

// Largest repeat side and node coordinate (in pixels) the passes accept; beyond it a pass
// leaves the picture alone. Keeps every product of two coordinates exact.
constexpr int32_t kMaxShadingCoordinate = int32_t(1) << 24;

// The part of a 24-bit picture a pass paints: the top-left repeat, cut to the picture when
// the picture is smaller than one repeat. Pixels are bytes blue, green, red.
struct RepeatArea
{
    uint8_t *bits = nullptr;
    int64_t bytesPerLine = 0;
    int32_t pictureWidth = 0;
    int32_t pictureHeight = 0;
    int32_t repeatWidth = 0;
    int32_t repeatHeight = 0;
    int32_t width = 0;  // min(repeatWidth, pictureWidth)
    int32_t height = 0; // min(repeatHeight, pictureHeight)
    bool mirror = true; // face view: model x runs from the right-hand edge of the repeat

    uint8_t *Row(int32_t y) const { return bits + int64_t(y) * bytesPerLine; }
};

// Opens the picture for painting one repeat. False (area left empty) when the picture is not
// an allocated 24-bit picture free of a painter lease, or a repeat side is not 1..
// kMaxShadingCoordinate.
bool OpenRepeatArea(TCorvexBitmap &picture, int32_t repeatWidth, int32_t repeatHeight,
                    bool backView, RepeatArea &area);

// Copies the painted top-left repeat over the rest of the picture, repeat by repeat across and
// down from the top-left corner; the last repeats are cut at the picture's edges.
void TileRepeat(const RepeatArea &area);

// True when the model's grid can be shaded: at least 2 wales and courses, one node per cell.
bool ShadeableGrid(const Tricot &model);
// The same, with pitches that are finite, positive and at most kMaxShadingCoordinate.
bool ShadeableModel(const Tricot &model);
bool UsablePitch(double pitch);

// A node position in whole pixels: truncated toward zero, NaN read as 0 and limited to
// +-kMaxShadingCoordinate.
int32_t PixelCoordinate(double value);

// One cell per node of the model, at index course * wales + wale. A cell whose node holds no
// loop takes its x from the next loop up its wale and its y from the next loop along its
// course (both wrapping), or wale * xPitch and course * yPitch when there is none.
class CellGrid
{
public:
    struct Cell
    {
        bool present = false;
        int32_t x = 0;
        int32_t y = 0;
    };

    explicit CellGrid(const Tricot &model);

    int32_t wales = 0;
    int32_t courses = 0;
    std::vector<Cell> cells;

    int32_t Index(int32_t wale, int32_t course) const
    {
        return ((course % courses + courses) % courses) * wales + (wale % wales + wales) % wales;
    }
};

// The quadrilateral of one cell: corners p0 = the cell, p1 = next wale, p2 = next wale and
// course, p3 = next course, the last wale and course reaching one repeat further; and the
// lines through its sides p0p1, p2p3, p3p0 and p1p2 (a x + b y + c = 0, with their lengths).
struct CellQuad
{
    int64_t x[4] = {0, 0, 0, 0};
    int64_t y[4] = {0, 0, 0, 0};
    double a[4] = {0, 0, 0, 0};
    double b[4] = {0, 0, 0, 0};
    double c[4] = {0, 0, 0, 0};
    double length[4] = {0, 0, 0, 0};
    // Cell indices of the four corners: own, next wale, next course, next wale and course.
    int32_t cell00 = 0;
    int32_t cell10 = 0;
    int32_t cell01 = 0;
    int32_t cell11 = 0;

    // A quadrilateral with a collapsed side covers no pixels.
    bool Paintable() const
    {
        return length[0] > 0.0 && length[1] > 0.0 && length[2] > 0.0 && length[3] > 0.0;
    }
    double Distance(int side, int64_t px, int64_t py) const
    {
        return std::abs(a[side] * double(px) + b[side] * double(py) + c[side]) / length[side];
    }
    // Even-odd test of the polygon p3 p2 p1 p0 with a half-open rule, so that a pixel on the
    // side shared by two cells belongs to exactly one of them.
    bool Contains(int64_t px, int64_t py) const;
};

CellQuad QuadOf(const CellGrid &grid, int32_t wale, int32_t course, int32_t repeatWidth,
                int32_t repeatHeight);

// Where a pixel lies between the cell's node (0) and the next wale (pitchX) and course (pitchY),
// from its distances to the opposite sides, truncated to whole pixels.
struct LocalPoint
{
    int32_t u = 0;
    int32_t v = 0;
};
LocalPoint LocalPosition(const CellQuad &quad, int64_t px, int64_t py, double pitchX,
                         double pitchY);

// A channel scaled by a shade, truncated and limited to 0..255.
inline uint8_t ScaledChannel(uint8_t channel, double shade)
{
    const double value = double(channel) * shade;
    if (!(value > 0.0))
        return 0;
    if (value >= 255.0)
        return 255;
    return uint8_t(value);
}

// Visits every pixel of the repeat area that lies inside a cell's quadrilateral, wale by wale
// (one progress report per wale), cell by cell, row by row. Pixel coordinates wrap into the
// repeat; the column is mirrored in face view and the rows run bottom-up, as the renderer
// draws the model. paint(pixel, quad, local) gets the pixel's three bytes. Returns false when
// the progress asked to stop.
template<typename PaintPixel>
bool PaintCells(const CellGrid &grid, const RepeatArea &area, double pitchX, double pitchY,
                Progress *progress, PaintPixel &&paint)
{
    const int64_t repeatWidth = area.repeatWidth;
    const int64_t repeatHeight = area.repeatHeight;
    for (int32_t wale = 0; wale < grid.wales; ++wale) {
        ReportProgress(progress, int64_t(wale) * 100 / grid.wales);
        if (StopRequested(progress))
            return false;
        for (int32_t course = 0; course < grid.courses; ++course) {
            const CellQuad quad = QuadOf(grid, wale, course, area.repeatWidth, area.repeatHeight);
            if (!quad.Paintable())
                continue;
            const int64_t left = std::min({quad.x[0], quad.x[1], quad.x[2], quad.x[3]});
            const int64_t bottom = std::min({quad.y[0], quad.y[1], quad.y[2], quad.y[3]});
            // A cell never spans more than one repeat in a sane model; the cut keeps a
            // distorted one from painting the same pixels over and over.
            const int64_t right = std::min(std::max({quad.x[0], quad.x[1], quad.x[2], quad.x[3]}),
                                           left + repeatWidth - 1);
            const int64_t top = std::min(std::max({quad.y[0], quad.y[1], quad.y[2], quad.y[3]}),
                                         bottom + repeatHeight - 1);
            for (int64_t py = bottom; py <= top; ++py) {
                const int64_t row
                    = repeatHeight - 1 - ((py % repeatHeight) + repeatHeight) % repeatHeight;
                if (row >= area.height)
                    continue;
                uint8_t *line = area.Row(int32_t(row));
                int64_t wrapped = ((left % repeatWidth) + repeatWidth) % repeatWidth;
                for (int64_t px = left; px <= right; ++px, ++wrapped) {
                    if (wrapped == repeatWidth)
                        wrapped = 0;
                    const int64_t column = area.mirror ? repeatWidth - 1 - wrapped : wrapped;
                    if (column >= area.width || !quad.Contains(px, py))
                        continue;
                    paint(line + 3 * column, quad, LocalPosition(quad, px, py, pitchX, pitchY));
                }
            }
        }
    }
    return true;
}

// Multiplies every pixel inside a cell by the bilinear mix of the shades of the cell's four
// corners (shades indexed like the grid's cells).
bool PaintBilinearShades(const CellGrid &grid, const std::vector<double> &shades,
                         const RepeatArea &area, double pitchX, double pitchY, Progress *progress);

// Adds 0.1 - 0.02 * (rand() mod 10) to every height, in cell order: the surface's small
// unevenness.
void AddHeightNoise(std::vector<double> &heights, RandomSource &random);

// wales * courses * 16 times a random cell (wale drawn first) moves 5 % of the way toward the
// mean of its 3 x 3 neighbourhood (wrapping).
void SmoothHeights(std::vector<double> &heights, int32_t wales, int32_t courses,
                   RandomSource &random);

// For every cell the cosine between the light (lightWale, lightCourse, lightHeight; normalised
// here) and the surface normal (-dW, -dC, 1) normalised, dW and dC being the height steps to
// the next wale and the next course (wrapping).
std::vector<double> SlopeLighting(const std::vector<double> &heights, int32_t wales,
                                  int32_t courses, double lightWale, double lightCourse,
                                  double lightHeight);

} // namespace warplon
