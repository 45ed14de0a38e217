#pragma once

// The fabric renderer: turns the relaxed stitch model of one repeat into thick yarn segments in
// five depth lists, paints them back to front into one repeat and tiles it over the picture.

#include "simulation/segmentpainter.h"

#include <array>
#include <cstdint>
#include <vector>

namespace warplon {

class Progress;
class RandomSource;
class TCorvexBitmap;
class Tricot;

// Threads used for painting when none are named: the machine's cores, at most 4.
int32_t DefaultPaintThreads();

// One simulation run's renderer. Depth lists: L0 floats of middle and last bars (on top of the
// face), L1 loop heads and piece starts, L2 loop sides and piece ends, L3 loop feet, L4 floats of
// bar 0 (at the back of the face).
class SimulationCanvas
{
public:
    static constexpr int kListCount = 5;

    // background is a TColor; fuzz is clamped to 0..99 when segments are built; zoom is
    // truncated to an integer for the yarn widths.
    SimulationCanvas(int32_t repeatWidth, int32_t repeatHeight, int32_t background, int32_t fuzz,
                     bool colorOnColor, bool backView, double zoom);

    // Writes the scatter offsets of every loop node (drawing from `random`, wales outer, courses
    // inner) and rebuilds the five lists from the loops, links and underlaps of the model. The
    // segments keep pointers to the model's yarns.
    void BuildSegments(Tricot &stitches, RandomSource &random);

    // Paints the lists into one repeat filled with the background and copies it over the whole
    // 24-bit picture from its top-left corner (the repeat is painted in place there when the
    // picture holds one). The result does not depend on `threads` (at least 1; the rows are split
    // among them). False, with the picture untouched, when the picture is not an allocated 24-bit
    // bitmap or the repeat size is not usable; false, with the picture partly painted, when the
    // progress asked to stop (a run paints into a picture of its own, so the user's stays).
    bool PaintSegments(TCorvexBitmap &picture, Progress *progress,
                       int32_t threads = DefaultPaintThreads());

    const std::array<std::vector<YarnSegment>, kListCount> &lists() const { return m_lists; }

    int32_t repeatWidth() const { return m_repeatWidth; }
    int32_t repeatHeight() const { return m_repeatHeight; }
    int32_t zoom() const { return m_zoom; }
    int32_t fuzz() const { return m_fuzz; }
    // Segments of the last paint: all of the lists, and those passed so far.
    int64_t totalSegments() const { return m_totalSegments; }
    int64_t paintedSegments() const { return m_paintedSegments; }

private:
    void scatterNodes(Tricot &stitches, RandomSource &random, int32_t fuzz) const;
    void addLoops(const Tricot &stitches, int32_t wale, int32_t course);
    void addPieces(const Tricot &stitches, int32_t wale, int32_t course);
    void addUnderlap(int32_t bar, const Yarn *yarn, double ax, double ay, double bx, double by,
                     int32_t kind);
    void add(int list, int32_t bar, double width, double x1, double y1, double x2, double y2,
             const Yarn *yarn);
    double widthOf(const Yarn *yarn) const;

    int32_t m_repeatWidth;
    int32_t m_repeatHeight;
    int32_t m_fuzz;
    int32_t m_zoom;
    bool m_backView;
    bool m_colorOnColor;
    int32_t m_background;
    std::array<std::vector<YarnSegment>, kListCount> m_lists;
    int64_t m_totalSegments = 0;
    int64_t m_paintedSegments = 0;
};

} // namespace warplon
