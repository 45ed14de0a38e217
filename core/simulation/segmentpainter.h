#pragma once

// Painting straight, thick yarn pieces into the pixels of one fabric repeat. Every pixel of a
// yarn comes from its geometry, its colour and its gloss and translucency; no yarn bitmaps.

#include "knit/records.h"

#include <atomic>
#include <cstdint>
#include <vector>

namespace warplon {

class Progress;

// A straight piece of one yarn, in the pixel frame of the stitch model (course 0 at y = 0).
struct YarnSegment
{
    int32_t bar = 0;    // guide bar 0..3
    double width = 0.0; // pixels
    double x1 = 0.0;
    double y1 = 0.0;
    double x2 = 0.0;
    double y2 = 0.0;
    const Yarn *yarn = nullptr;
};

// The yarn's diameter in pixels at 41 pixels per centimetre times zoom, from its denier and
// filament count. 0 for a yarn with no filaments, no denier or a zoom below 0; never nan.
double YarnWidthPixels(const Yarn &yarn, int32_t zoom);

// The 24-bit pixels of one repeat: rows top-down, bytes blue, green, red.
struct RepeatPixels
{
    uint8_t *bits = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int64_t bytesPerLine = 0;
};

// Paints segments into one repeat in the order they were added, later ones over earlier ones.
// A segment crossing an edge of the repeat re-enters on the opposite edge, so repeats placed side
// by side join without seams. Pixels are reached by rows, so the repeat can be split into bands
// of rows painted at the same time; each pixel then sees the same segments in the same order, so
// the picture does not depend on the split.
class SegmentPainter
{
public:
    // backView keeps the model's left and right; the face is seen mirrored. colorOnColor leaves
    // out the gloss highlight and the darker edges.
    SegmentPainter(int32_t repeatWidth, int32_t repeatHeight, bool backView, bool colorOnColor);

    // Appends a segment to the paint order. Segments that cannot show (hidden yarn, no yarn, no
    // length, no width, or coordinates no stitch model produces) take their place in the count
    // but are not kept. The painter keeps a reference: the segment must stay in place until the
    // painting is done. (A large design has millions of segments; a copy of each would double
    // the memory a run needs.)
    void Add(const YarnSegment &segment);
    void Reserve(size_t count);
    // Segments added, shown or not.
    int64_t Count() const { return m_count; }

    // Paints every kept segment into rows rowBegin .. rowEnd - 1 of the repeat. With a progress,
    // reports count-so-far × 100 ÷ total before a segment whenever that percentage changes,
    // and raises `stop` when the progress asks to stop. Returns false when stopped (by the
    // progress or by another band raising `stop`).
    bool PaintRows(const RepeatPixels &pixels, int32_t rowBegin, int32_t rowEnd,
                   std::atomic<bool> &stop, Progress *progress, int64_t total) const;

private:
    struct Stroke
    {
        double x1, y1, x2, y2; // endpoints in the repeat's pixel frame
        double dx, dy;         // unit direction
        double length;
        double half; // half the painted width
        const Yarn *yarn;
    };

    struct Kept
    {
        const YarnSegment *segment;
        int64_t ordinal; // place in the paint order, for the progress
    };

    // The stroke of a segment in the repeat's pixel frame; false when it cannot show.
    bool makeStroke(const YarnSegment &segment, Stroke &stroke) const;
    void paintStroke(const Stroke &stroke, const RepeatPixels &pixels, int32_t rowBegin,
                     int32_t rowEnd) const;

    int32_t m_width;
    int32_t m_height;
    bool m_backView;
    bool m_colorOnColor;
    int64_t m_count = 0;
    std::vector<Kept> m_kept;
};

} // namespace warplon
