#include "simulation/segmentpainter.h"

#include "base/progress.h"

#include <algorithm>
#include <cmath>

namespace warplon {

namespace {

// 41 pixels per centimetre at zoom 1.
constexpr double kPixelsPerCm = 41.0;
// Denier is grams per 9000 m; 1.38 g/cm³ is the density of polyester, 3.14 stands for π.
constexpr double kDiameterDivisor = 1.38 * 3.14 * 9000.0 * 100.0;

// No stitch model places a yarn this far out; such coordinates come only from a broken model
// and are left out rather than drawn across thousands of repeats.
constexpr double kMaxCoordinate = 1.0e7;
// A segment is drawn once for every repeat it reaches; one reaching more repeats than this is
// left out for the same reason.
constexpr double kMaxPlacements = 4096.0;
// Below this slope a row's pixel range is not narrowed by that constraint (the division would
// magnify rounding); the bounding box still limits it and every pixel is tested anyway.
constexpr double kMinSlope = 1.0e-6;

// A finished channel value: below 0 (or nan from a broken yarn record) gives 0, above 255
// gives 255, anything else is rounded down. Written without branches; this runs for every
// pixel of every yarn.
inline uint8_t ToChannel(double v)
{
    v = v > 0.0 ? v : 0.0;
    v = v < 255.0 ? v : 255.0;
    return uint8_t(int32_t(v));
}

// floor and ceil of a value known to fit an int32.
inline int32_t FloorToInt(double v)
{
    const int32_t i = int32_t(v);
    return i - int32_t(v < double(i));
}

inline int32_t CeilToInt(double v)
{
    const int32_t i = int32_t(v);
    return i + int32_t(v > double(i));
}

} // namespace

double YarnWidthPixels(const Yarn &yarn, int32_t zoom)
{
    if (yarn.filaments <= 0 || !(yarn.denier > 0.0) || zoom <= 0)
        return 0.0;
    // A single filament gives ln 1 = 0; the count is an integer, so the logarithm is never
    // negative here, but keep the rule for fractional counts of other callers.
    const double logFilaments = std::max(0.0, std::log(double(yarn.filaments)));
    const double diameterCm
        = 2.0 * std::sqrt(yarn.denier * (3.0 * logFilaments + 2.0) / kDiameterDivisor);
    const double width = diameterCm * kPixelsPerCm * double(zoom);
    return std::isfinite(width) ? width : 0.0;
}

SegmentPainter::SegmentPainter(int32_t repeatWidth, int32_t repeatHeight, bool backView,
                               bool colorOnColor)
    : m_width(std::max(1, repeatWidth))
    , m_height(std::max(1, repeatHeight))
    , m_backView(backView)
    , m_colorOnColor(colorOnColor)
{}

void SegmentPainter::Reserve(size_t count)
{
    m_kept.reserve(count);
}

void SegmentPainter::Add(const YarnSegment &segment)
{
    const int64_t ordinal = m_count++;
    Stroke stroke;
    if (makeStroke(segment, stroke))
        m_kept.push_back({&segment, ordinal});
}

bool SegmentPainter::makeStroke(const YarnSegment &segment, Stroke &s) const
{
    if (segment.yarn == nullptr || segment.yarn->hidden != 0)
        return false;
    double width = segment.width;
    if (!(width > 0.0) || !std::isfinite(width))
        return false;
    // Thin yarns are widened (fourth root) so they stay visible at small zooms.
    if (width < 1.0)
        width = std::sqrt(std::sqrt(width));

    // Course 0 at the bottom; the face is seen from the front, so wale 0 lies on the right.
    const double lastColumn = double(m_width - 1);
    const double lastRow = double(m_height - 1);
    s.x1 = m_backView ? segment.x1 : lastColumn - segment.x1;
    s.x2 = m_backView ? segment.x2 : lastColumn - segment.x2;
    s.y1 = lastRow - segment.y1;
    s.y2 = lastRow - segment.y2;
    for (double v : {s.x1, s.y1, s.x2, s.y2}) {
        if (!(std::abs(v) <= kMaxCoordinate))
            return false;
    }
    const double ddx = s.x2 - s.x1;
    const double ddy = s.y2 - s.y1;
    s.length = std::sqrt(ddx * ddx + ddy * ddy);
    if (s.length == 0.0)
        return false;
    s.dx = ddx / s.length;
    s.dy = ddy / s.length;
    s.half = width / 2.0;
    const double across = (std::abs(ddx) + width + 2.0) / double(m_width) + 3.0;
    const double down = (std::abs(ddy) + width + 2.0) / double(m_height) + 3.0;
    if (across * down > kMaxPlacements)
        return false;
    s.yarn = segment.yarn;
    return true;
}

bool SegmentPainter::PaintRows(const RepeatPixels &pixels, int32_t rowBegin, int32_t rowEnd,
                               std::atomic<bool> &stop, Progress *progress, int64_t total) const
{
    rowBegin = std::max(rowBegin, 0);
    rowEnd = std::min({rowEnd, m_height, pixels.height});
    int64_t lastPercent = 0;
    Stroke stroke;
    for (const Kept &kept : m_kept) {
        if (progress != nullptr && total > 0) {
            const int64_t percent = kept.ordinal * 100 / total;
            if (percent != lastPercent) {
                lastPercent = percent;
                ReportProgress(progress, percent);
                if (StopRequested(progress))
                    stop.store(true, std::memory_order_relaxed);
            }
        }
        if (stop.load(std::memory_order_relaxed))
            return false;
        // The stroke is worked out again for each band; the same arithmetic gives the same
        // stroke, so the bands still agree to the bit.
        if (rowBegin < rowEnd && makeStroke(*kept.segment, stroke))
            paintStroke(stroke, pixels, rowBegin, rowEnd);
    }
    return true;
}

void SegmentPainter::paintStroke(const Stroke &s, const RepeatPixels &pixels, int32_t rowBegin,
                                 int32_t rowEnd) const
{
    const double repeatW = double(m_width);
    const double repeatH = double(m_height);
    const double minX = std::min(s.x1, s.x2);
    const double maxX = std::max(s.x1, s.x2);
    const double minY = std::min(s.y1, s.y2);
    const double maxY = std::max(s.y1, s.y2);
    const double reach = s.half + 1.0;
    const int32_t lastColumn = std::min(m_width, pixels.width) - 1;

    // The segment is drawn shifted by every repeat offset from one before its first repeat to
    // one after its last, so a piece leaving the repeat on one side comes back on the other.
    // Offsets whose shifted box cannot touch the columns or this band's rows are skipped.
    const double jFirst = std::max(std::floor(minY / repeatH) - 1.0,
                                   std::ceil((minY - reach - double(rowEnd - 1)) / repeatH));
    const double jLast = std::min(std::floor(maxY / repeatH) + 1.0,
                                  std::floor((maxY + reach - double(rowBegin)) / repeatH));
    if (jFirst > jLast)
        return;
    const double iFirst = std::max(std::floor(minX / repeatW) - 1.0,
                                   std::ceil((minX - reach - (repeatW - 1.0)) / repeatW));
    const double iLast
        = std::min(std::floor(maxX / repeatW) + 1.0, std::floor((maxX + reach) / repeatW));

    const Yarn &yarn = *s.yarn;
    const double red = double(yarn.color & 0xff);
    const double green = double((yarn.color >> 8) & 0xff);
    const double blue = double((yarn.color >> 16) & 0xff);
    const double clarity = 1.0 - yarn.translucency;
    // The gloss lights the yarn's axis and its round flanks turn darker toward the edges.
    const double axisLift = m_colorOnColor ? 0.0 : 96.0 * yarn.gloss;
    const double edgeDrop = m_colorOnColor ? 0.0 : -48.0 * (1.0 + yarn.gloss);
    const double half = s.half;
    const double length = s.length;
    const double dx = s.dx;
    const double dy = s.dy;
    const double mx = -dy; // the normal, (-dy, dx)
    // Reciprocal slopes of t and e along a row; 0 where the slope is too flat to divide by.
    const double alongInverse = std::abs(dx) >= kMinSlope ? 1.0 / dx : 0.0;
    const double acrossInverse = std::abs(mx) >= kMinSlope ? 1.0 / mx : 0.0;
    const double maxInverse = std::max({1.0, std::abs(alongInverse), std::abs(acrossInverse)});

    for (double i = iFirst; i <= iLast; i += 1.0) {
        const double x1 = s.x1 - i * repeatW;
        const double x2 = s.x2 - i * repeatW;
        const double colFrom = std::max(std::trunc(std::min(x1, x2) - half - 1.0), 0.0);
        const double colTo
            = std::min(std::floor(std::max(x1, x2) + half + 1.0), double(lastColumn));
        if (colFrom > colTo)
            continue;
        for (double j = jFirst; j <= jLast; j += 1.0) {
            const double y1 = s.y1 - j * repeatH;
            const double y2 = s.y2 - j * repeatH;
            const double rowFrom = std::trunc(std::min(y1, y2) - half - 1.0);
            const double rowTo = std::floor(std::max(y1, y2) + half + 1.0);
            const int32_t yLo = int32_t(std::max(rowFrom, double(rowBegin)));
            const int32_t yHi = int32_t(std::min(rowTo, double(rowEnd - 1)));
            if (yLo > yHi)
                continue;
            // The columns of a row where a pixel can lie on the yarn follow from two linear
            // conditions on x. Each pixel found is still tested exactly below; the range only
            // spares testing the rest of the box, so it is widened by far more than rounding can
            // move it.
            const double extent = std::abs(x1) + std::abs(y1) + repeatW + repeatH + length + 2.0;
            const double margin = 1.0e-9 + 1.0e-12 * extent * maxInverse;
            for (int32_t y = yLo; y <= yHi; ++y) {
                const double ry = double(y) - y1;
                const double ty = ry * dy;
                const double ey = ry * dx;
                double lo = colFrom - x1;
                double hi = colTo - x1;
                if (alongInverse != 0.0) { // 0 <= t <= length
                    double u = -ty * alongInverse;
                    double v = (length - ty) * alongInverse;
                    if (alongInverse < 0.0)
                        std::swap(u, v);
                    lo = std::max(lo, u);
                    hi = std::min(hi, v);
                } else if (dx == 0.0 && !(ty >= 0.0 && ty <= length)) {
                    continue;
                }
                if (acrossInverse != 0.0) { // |e| <= half
                    double u = (-half - ey) * acrossInverse;
                    double v = (half - ey) * acrossInverse;
                    if (acrossInverse < 0.0)
                        std::swap(u, v);
                    lo = std::max(lo, u);
                    hi = std::min(hi, v);
                } else if (mx == 0.0 && !(std::abs(ey) <= half)) {
                    continue;
                }
                if (!(lo <= hi + 2.0 * margin))
                    continue;
                const int32_t xa = CeilToInt(std::clamp(x1 + lo - margin, colFrom, colTo));
                const int32_t xb = FloorToInt(std::clamp(x1 + hi + margin, colFrom, colTo));
                uint8_t *row = pixels.bits + int64_t(y) * pixels.bytesPerLine;
                for (int32_t x = xa; x <= xb; ++x) {
                    const double ex = double(x) - x1;
                    const double t = ex * dx + ty;
                    const double e = ex * mx + ey;
                    const double ae = std::abs(e);
                    if (!(t >= 0.0 && t <= length && ae <= half))
                        continue;
                    const double r = ae / half; // 0 on the axis, 1 at the edge
                    const double r2 = r * r;
                    const double coverage = std::min(1.0, half - ae);
                    const double m0 = 1.0 - std::sqrt(coverage) * clarity;
                    const double weight = std::sqrt(std::max(0.0, 1.0 - r2)) * (0.5 - m0) + 0.5;
                    const double shade = (1.0 - r2) * axisLift + r2 * edgeDrop;
                    uint8_t *p = row + int64_t(x) * 3; // blue, green, red
                    p[0] = ToChannel(p[0] + (blue - p[0]) * weight + shade);
                    p[1] = ToChannel(p[1] + (green - p[1]) * weight + shade);
                    p[2] = ToChannel(p[2] + (red - p[2]) * weight + shade);
                }
            }
        }
    }
}

} // namespace warplon
