#include "simulation/simulationcanvas.h"

#include "base/progress.h"
#include "base/randomsource.h"
#include "bitmap/corvexbitmap.h"
#include "knit/tricot.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <new>
#include <system_error>
#include <thread>

namespace warplon {

namespace {

// Depth lists.
constexpr int kFloatsOnTop = 0;  // floats of middle and last bars
constexpr int kHeads = 1;        // loop heads and the first tenth of every piece
constexpr int kSides = 2;        // loop sides, overlaps and the last tenth of every piece
constexpr int kFeet = 3;         // loop feet, down to the leg points
constexpr int kFloatsOfBar0 = 4; // floats of bar 0, behind everything on the face
constexpr int kPaintedBars = 4;  // bars 0..3 are painted; the design never has more
constexpr int32_t kMaxThreads = 4;

struct Point
{
    double x = 0.0;
    double y = 0.0;
};

Point operator+(Point a, Point b)
{
    return {a.x + b.x, a.y + b.y};
}

Point operator-(Point a, Point b)
{
    return {a.x - b.x, a.y - b.y};
}

Point operator*(double k, Point a)
{
    return {k * a.x, k * a.y};
}

// The attachment point of a float on a node and its left neighbour: 0 the node itself, 4 the
// neighbour, 1..3 a fifth, a half and four fifths of the way (anything else: the node, as the
// optimized run-in measures it).
Point Attach(Point node, Point neighbour, uint8_t choice)
{
    switch (choice) {
    case 1:
        return 0.8 * node + 0.2 * neighbour;
    case 2:
        return 0.5 * (node + neighbour);
    case 3:
        return 0.2 * node + 0.8 * neighbour;
    case 4:
        return neighbour;
    default:
        return node;
    }
}

// The wale before `wale`, staying put at the lowest index a broken model might carry.
int32_t PreviousWale(int32_t wale)
{
    return wale > INT32_MIN ? wale - 1 : wale;
}

} // namespace

int32_t DefaultPaintThreads()
{
    const unsigned cores = std::thread::hardware_concurrency();
    return std::clamp(int32_t(std::min(cores, 64u)), 1, kMaxThreads);
}

SimulationCanvas::SimulationCanvas(int32_t repeatWidth, int32_t repeatHeight, int32_t background,
                                   int32_t fuzz, bool colorOnColor, bool backView, double zoom)
    : m_repeatWidth(repeatWidth)
    , m_repeatHeight(repeatHeight)
    , m_fuzz(fuzz)
    , m_zoom(zoom >= 0.0 ? int32_t(std::min(zoom, 1.0e6)) : 0)
    , m_backView(backView)
    , m_colorOnColor(colorOnColor)
    , m_background(background)
{}

double SimulationCanvas::widthOf(const Yarn *yarn) const
{
    return yarn != nullptr ? YarnWidthPixels(*yarn, m_zoom) : 0.0;
}

void SimulationCanvas::add(int list, int32_t bar, double width, double x1, double y1, double x2,
                           double y2, const Yarn *yarn)
{
    m_lists[size_t(list)].push_back({bar, width, x1, y1, x2, y2, yarn});
}

void SimulationCanvas::scatterNodes(Tricot &stitches, RandomSource &random, int32_t fuzz) const
{
    // Each loop leans sideways, at right angles to the yarn coming up from the loop below; the
    // fuzz shakes the lower loop's position a little first so the fabric looks less regular.
    const double amplitude = double(m_zoom) * 12.3;
    const double spread = double(fuzz) * amplitude;
    const int32_t range = int32_t(spread + 1.0);
    for (int32_t w = 0; w < stitches.wales; ++w) {
        for (int32_t c = 0; c < stitches.courses; ++c) {
            Octopus &node = stitches.NodeAt(w, c);
            if (node.state != 1)
                continue;
            node.scatterX = 0.0;
            node.scatterY = 0.0;
            const Octopus &below = stitches.NodeAt(w, c - 1);
            if (below.state != 1)
                continue;
            const double shakeX = (double(random.Rand() % range) - spread * 0.5) * 0.01;
            const double shakeY = (double(random.Rand() % range) - spread * 0.5) * 0.01;
            const double belowX = stitches.NodeX(below, w) + shakeX;
            const double belowY = stitches.NodeY(below, c - 1) + shakeY;
            const double k = 0.2 * below.loopShade + 0.05;
            node.scatterX = k * -(node.y - belowY);
            node.scatterY = k * (node.x - belowX);
        }
    }
}

void SimulationCanvas::addLoops(const Tricot &stitches, int32_t wale, int32_t course)
{
    const Octopus &node = stitches.NodeAt(wale, course);
    const Octopus &above = stitches.NodeAt(wale, course + 1);
    if (node.loops.empty() || above.state != 1)
        return;

    const Point position{stitches.NodeX(node, wale), stitches.NodeY(node, course)};
    const Point scatter{node.scatterX, node.scatterY};
    const Point abovePosition{stitches.NodeX(above, wale), stitches.NodeY(above, course + 1)};
    const Point aboveScatter{above.scatterX, above.scatterY};
    // The loop's head hangs in the leg points of the loop above (Q+, Q-), its legs end in this
    // node's leg points (P+, P-).
    const Point qPlus = abovePosition + aboveScatter;
    const Point qMinus = abovePosition - aboveScatter;
    const Point head = 0.5 * (qPlus + qMinus);
    const Point h = 0.5 * (qMinus - qPlus);
    const double hLength = std::sqrt(h.x * h.x + h.y * h.y);
    const Point u = hLength > 0.0 ? (1.0 / hLength) * h : Point{};

    // Loops of several bars on one node nest: the bar that comes first lies innermost.
    std::array<int32_t, kPaintedBars> barsSeen{};
    int seen = 0;
    for (const StitchLoop &loop : node.loops) {
        int rank = 0;
        while (rank < seen && barsSeen[size_t(rank)] != loop.bar)
            ++rank;
        if (rank == seen) {
            if (seen < kPaintedBars)
                barsSeen[size_t(seen++)] = loop.bar;
            else
                rank = kPaintedBars - 1;
        }
        if (loop.needleFlag != 0)
            continue;

        const double s = 0.8 + 0.2 * double(rank);
        Point pPlus = position + scatter;
        Point pMinus = position - scatter;
        // A closed lap crosses its legs: both end in one leg point.
        if (loop.legMode == 0)
            pPlus = pMinus;
        else if (loop.legMode == 2)
            pMinus = pPlus;
        const Point d = head - 0.5 * (pPlus + pMinus);
        const double w = widthOf(loop.yarn);
        const Point sh = s * h;
        const Point top = head + 0.2 * s * d;
        const Point e1 = head + 0.1 * s * d - 0.8 * sh - (0.2 * s * w) * u;
        const Point e2 = head - sh - (0.3 * s * w) * u;
        const Point e3 = head - 0.5 * (head - pPlus) - 0.5 * sh - (0.2 * s * w) * u;
        const Point f1 = head + 0.1 * s * d + 0.8 * sh + (0.2 * s * w) * u;
        const Point f2 = head + sh + (0.3 * s * w) * u;
        const Point f3 = head - 0.5 * (head - pMinus) + 0.5 * sh + (0.2 * s * w) * u;
        const int32_t bar = loop.bar;
        const Yarn *yarn = loop.yarn;
        add(kHeads, bar, w, top.x, top.y, e1.x, e1.y, yarn);
        add(kSides, bar, w, e1.x, e1.y, e2.x, e2.y, yarn);
        add(kFeet, bar, w, e2.x, e2.y, e3.x, e3.y, yarn);
        add(kFeet, bar, w, e3.x, e3.y, pPlus.x, pPlus.y, yarn);
        add(kHeads, bar, w, top.x, top.y, f1.x, f1.y, yarn);
        add(kSides, bar, w, f1.x, f1.y, f2.x, f2.y, yarn);
        add(kFeet, bar, w, f2.x, f2.y, f3.x, f3.y, yarn);
        add(kFeet, bar, w, f3.x, f3.y, pMinus.x, pMinus.y, yarn);
    }
}

void SimulationCanvas::addUnderlap(int32_t bar, const Yarn *yarn, double ax, double ay, double bx,
                                   double by, int32_t kind)
{
    // The ends of a piece dive under the loops they join; only its middle shows the float's depth.
    const double w = widthOf(yarn);
    const double x10 = 0.9 * ax + 0.1 * bx;
    const double y10 = 0.9 * ay + 0.1 * by;
    const double x90 = 0.1 * ax + 0.9 * bx;
    const double y90 = 0.1 * ay + 0.9 * by;
    int middle = kSides;
    if (kind == 2 || kind == 4)
        middle = kFloatsOnTop;
    else if (kind == 3 || kind == 5)
        middle = kFloatsOfBar0;
    add(kHeads, bar, w, ax, ay, x10, y10, yarn);
    add(middle, bar, w, x10, y10, x90, y90, yarn);
    add(kSides, bar, w, x90, y90, bx, by, yarn);
}

void SimulationCanvas::addPieces(const Tricot &stitches, int32_t wale, int32_t course)
{
    const Octopus &node = stitches.NodeAt(wale, course);
    const Point position{stitches.NodeX(node, wale), stitches.NodeY(node, course)};
    const Point scatter{node.scatterX, node.scatterY};

    for (const LapLink &link : node.links) {
        if (link.kind == 0 || link.needleFlag != 0)
            continue;
        const Octopus &target = stitches.NodeAt(link.targetWale, link.targetCourse);
        const Point targetPosition{stitches.NodeX(target, link.targetWale),
                                   stitches.NodeY(target, link.targetCourse)};
        const Point targetScatter{target.scatterX, target.scatterY};
        // endChoice names the leg points joined: 0 (P-, T-), 1 (P-, T+), 2 (P+, T-), 3 (P+, T+).
        const Point start = link.endChoice >= 2 ? position + scatter : position - scatter;
        const Point end = (link.endChoice & 1) != 0 ? targetPosition + targetScatter
                                                    : targetPosition - targetScatter;
        addUnderlap(link.bar, link.yarn, start.x, start.y, end.x, end.y, link.kind);
    }

    for (const UnderlapLink &piece : node.underlaps) {
        if (piece.kind == 0 || piece.needleFlag != 0)
            continue;
        // Laid-in yarn lies between the loops of a course: on the node, on its neighbour of the
        // previous wale, or in between.
        const Octopus &left = stitches.NodeAt(wale - 1, course);
        const Point leftPosition
            = left.state == 1 ? Point{stitches.NodeX(left, wale - 1), stitches.NodeY(left, course)}
                              : position;
        const Octopus &target = stitches.NodeAt(piece.targetWale, piece.targetCourse);
        const Point targetPosition{stitches.NodeX(target, piece.targetWale),
                                   stitches.NodeY(target, piece.targetCourse)};
        const int32_t targetLeftWale = PreviousWale(piece.targetWale);
        const Octopus &targetLeft = stitches.NodeAt(targetLeftWale, piece.targetCourse);
        const Point targetLeftPosition = targetLeft.state == 1
                                             ? Point{stitches.NodeX(targetLeft, targetLeftWale),
                                                     stitches.NodeY(targetLeft, piece.targetCourse)}
                                             : targetPosition;
        const Point start = Attach(position, leftPosition, piece.startChoice);
        const Point end = Attach(targetPosition, targetLeftPosition, piece.endChoice);
        addUnderlap(piece.bar, piece.yarn, start.x, start.y, end.x, end.y, piece.kind);
    }
}

void SimulationCanvas::BuildSegments(Tricot &stitches, RandomSource &random)
{
    for (auto &list : m_lists)
        list.clear();
    scatterNodes(stitches, random, std::clamp(m_fuzz, 0, 99));

    // Size the lists first: a large design makes hundreds of thousands of segments.
    size_t loops = 0;
    size_t pieces = 0;
    for (const Octopus &node : stitches.nodes) {
        if (node.state == 1) {
            loops += node.loops.size();
            pieces += node.links.size() + node.underlaps.size();
        }
    }
    m_lists[kFloatsOnTop].reserve(pieces);
    m_lists[kHeads].reserve(2 * loops + pieces);
    m_lists[kSides].reserve(2 * loops + 2 * pieces);
    m_lists[kFeet].reserve(4 * loops);

    for (int32_t w = 0; w < stitches.wales; ++w) {
        for (int32_t c = 0; c < stitches.courses; ++c) {
            if (stitches.NodeAt(w, c).state != 1)
                continue;
            addLoops(stitches, w, c);
            addPieces(stitches, w, c);
        }
    }
}

bool SimulationCanvas::PaintSegments(TCorvexBitmap &picture, Progress *progress, int32_t threads)
{
    ReportProgress(progress, 0);
    m_totalSegments = 0;
    m_paintedSegments = 0;
    for (const auto &list : m_lists)
        m_totalSegments += int64_t(list.size());

    QImage &image = picture.image();
    if (image.isNull() || image.format() != QImage::Format_BGR888
        || !BitmapSizeAllowed(m_repeatWidth, m_repeatHeight, 24)) {
        ReportProgress(progress, 100);
        return false;
    }
    const int32_t width = m_repeatWidth;
    const int32_t height = m_repeatHeight;

    // Back to front: on the face the floats of bar 0 lie deepest and those of the other bars on
    // top; the back sees the fabric from the other side, so every order is reversed.
    static constexpr std::array<int, kListCount> kFaceLists{4, 3, 2, 1, 0};
    static constexpr std::array<int, kListCount> kBackLists{0, 1, 2, 3, 4};
    static constexpr std::array<int32_t, kPaintedBars> kFaceBars{0, 1, 2, 3};
    static constexpr std::array<int32_t, kPaintedBars> kBackBars{3, 2, 1, 0};
    SegmentPainter painter(width, height, m_backView, m_colorOnColor);
    // The repeat is painted in the picture's top-left corner when the picture holds a whole
    // one (as a run's picture always does), else in a buffer of its own.
    const bool inPlace = image.width() >= width && image.height() >= height;
    std::vector<uint8_t> buffer;
    try {
        painter.Reserve(size_t(m_totalSegments));
        if (!inPlace)
            buffer.resize(size_t(width) * 3 * size_t(height));
    } catch (const std::bad_alloc &) {
        ReportProgress(progress, 100);
        return false;
    }
    for (int list : m_backView ? kBackLists : kFaceLists) {
        for (int32_t bar : m_backView ? kBackBars : kFaceBars) {
            for (const YarnSegment &segment : m_lists[size_t(list)]) {
                if (segment.bar == bar)
                    painter.Add(segment);
            }
        }
    }

    const size_t rowBytes = size_t(width) * 3;
    const int64_t stride = inPlace ? image.bytesPerLine() : int64_t(rowBytes);
    uint8_t *repeat = inPlace ? image.bits() : buffer.data();
    const uint8_t background[3]
        = {uint8_t((m_background >> 16) & 0xff), uint8_t((m_background >> 8) & 0xff),
           uint8_t(m_background & 0xff)};
    for (size_t i = 0; i < rowBytes; i += 3)
        std::memcpy(repeat + i, background, 3);
    for (int32_t y = 1; y < height; ++y)
        std::memcpy(repeat + y * stride, repeat, rowBytes);

    // Every band of rows sees every segment in the same order, so the split does not change a
    // single pixel. The calling thread paints the first band and reports the progress.
    const RepeatPixels pixels{repeat, width, height, stride};
    const int32_t bands = std::clamp(threads, 1, std::min(height, 64));
    auto bandBegin = [&](int32_t band) { return int32_t(int64_t(height) * band / bands); };
    std::atomic<bool> stop{false};
    std::vector<std::thread> workers;
    std::vector<int32_t> leftOver;
    for (int32_t band = 1; band < bands; ++band) {
        try {
            workers.emplace_back([&, band] {
                painter.PaintRows(pixels, bandBegin(band), bandBegin(band + 1), stop, nullptr, 0);
            });
        } catch (const std::system_error &) {
            leftOver.push_back(band);
        }
    }
    painter.PaintRows(pixels, bandBegin(0), bandBegin(1), stop, progress, m_totalSegments);
    for (int32_t band : leftOver)
        painter.PaintRows(pixels, bandBegin(band), bandBegin(band + 1), stop, nullptr, 0);
    for (std::thread &worker : workers)
        worker.join();
    if (stop.load())
        return false;
    m_paintedSegments = painter.Count();

    // Tile the repeat from the top-left corner; the last column and row of tiles are cut. The
    // rows of the first repeat are filled across first, so every later row is one whole copy.
    const int32_t pictureWidth = image.width();
    const int32_t pictureHeight = image.height();
    uchar *bits = image.bits();
    const int64_t bytesPerLine = image.bytesPerLine();
    const int32_t tileRows = std::min(height, pictureHeight);
    for (int32_t r = 0; r < tileRows; ++r) {
        uchar *row = bits + int64_t(r) * bytesPerLine;
        const uint8_t *source = repeat + r * stride;
        for (int32_t left = inPlace ? width : 0; left < pictureWidth; left += width) {
            const int32_t columns = std::min(width, pictureWidth - left);
            std::memcpy(row + int64_t(left) * 3, source, size_t(columns) * 3);
        }
    }
    for (int32_t y = height; y < pictureHeight; ++y)
        std::memcpy(bits + int64_t(y) * bytesPerLine, bits + int64_t(y % height) * bytesPerLine,
                    size_t(pictureWidth) * 3);
    ReportProgress(progress, 100);
    return true;
}

} // namespace warplon
