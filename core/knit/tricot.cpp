#include "knit/tricot.h"

#include "knit/runin.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <functional>

namespace warplon {

namespace {

int32_t wrapIndex(int32_t value, int32_t count)
{
    const int32_t r = value % count;
    return r < 0 ? r + count : r;
}

// How many whole repeats lie below `value`: floor(value / count).
int64_t repeatsBelow(int32_t value, int32_t count)
{
    return (int64_t(value) - wrapIndex(value, count)) / count;
}

// The yarn's diameter in millimetres for the optimized run-in; a yarn without weight has none.
double loopDiameter(const Yarn *yarn, int32_t formula)
{
    if (!yarn)
        return 0.0;
    if (formula == 1)
        return 0.019 * std::sqrt(std::max(12.0 * double(yarn->filaments) - 3.0, 0.0)) / 3.0;
    const double denier = yarn->denier > 0.0 && std::isfinite(yarn->denier) ? yarn->denier : 0.0;
    return (formula == 2 ? 0.0114 : 0.01371) * std::sqrt(denier);
}

struct Point
{
    double x = 0.0;
    double y = 0.0;
};

double distance(Point a, Point b)
{
    return std::sqrt((b.x - a.x) * (b.x - a.x) + (b.y - a.y) * (b.y - a.y));
}

// A point between a node (choice 0) and its left neighbour (choice 4) where a float piece is
// attached.
Point attachPoint(Point node, Point neighbour, uint8_t choice)
{
    double own = 1.0;
    double other = 0.0;
    switch (choice) {
    case 1:
        own = 0.8;
        other = 0.2;
        break;
    case 2:
        own = 0.5;
        other = 0.5;
        break;
    case 3:
        own = 0.2;
        other = 0.8;
        break;
    case 4:
        return neighbour;
    default:
        return node;
    }
    return {own * node.x + other * neighbour.x, own * node.y + other * neighbour.y};
}

} // namespace

DirectionMemory &ProgramDirectionMemory()
{
    static DirectionMemory memory;
    return memory;
}

namespace {
std::atomic<int64_t> g_builds{0};
std::atomic<int64_t> g_relaxations{0};
} // namespace

void CountBuild()
{
    g_builds.fetch_add(1, std::memory_order_relaxed);
}

void CountRelaxation()
{
    g_relaxations.fetch_add(1, std::memory_order_relaxed);
}

ModelWork ModelWorkDone()
{
    return {g_builds.load(std::memory_order_relaxed),
            g_relaxations.load(std::memory_order_relaxed)};
}

void Tricot::Rescale(double newXPitch, double newYPitch)
{
    const double sx = xPitch != 0.0 ? newXPitch / xPitch : 0.0;
    const double sy = yPitch != 0.0 ? newYPitch / yPitch : 0.0;
    for (Octopus &node : nodes) {
        node.x *= sx;
        node.y *= sy;
        node.scatterX *= sx;
        node.scatterY *= sy;
    }
    for (std::array<double, 4> &p : initialPositions) {
        p[0] *= sx;
        p[1] *= sy;
        p[2] *= sx;
        p[3] *= sy;
    }
    xPitch = newXPitch;
    yPitch = newYPitch;
}

void Tricot::RebindYarns(const Yarn *from, size_t count, const Yarn *to)
{
    const auto rebind = [from, count, to](const Yarn *&yarn) {
        if (yarn && std::less_equal<const Yarn *>()(from, yarn)
            && std::less<const Yarn *>()(yarn, from + count))
            yarn = to + (yarn - from);
    };
    for (Octopus &node : nodes) {
        for (LapLink &link : node.links)
            rebind(link.yarn);
        for (BackLink &link : node.backLinks)
            rebind(link.yarn);
        for (UnderlapLink &link : node.underlaps)
            rebind(link.yarn);
        for (StitchLoop &loop : node.loops)
            rebind(loop.yarn);
    }
}

Tricot::Tricot(int32_t waleCount, int32_t courseCount, double yStep, double xStep)
    : wales(std::max(waleCount, 1))
    , courses(std::max(courseCount, 1))
    , xPitch(xStep)
    , yPitch(yStep)
{
    const size_t count = size_t(wales) * size_t(courses);
    nodes.resize(count);
    initialPositions.assign(count, {0.0, 0.0, 0.0, 0.0});
}

int32_t Tricot::WrapWale(int32_t wale) const
{
    return wrapIndex(wale, wales);
}

int32_t Tricot::WrapCourse(int32_t course) const
{
    return wrapIndex(course, courses);
}

Octopus &Tricot::NodeAt(int32_t wale, int32_t course)
{
    return nodes[size_t(WrapCourse(course)) * size_t(wales) + size_t(WrapWale(wale))];
}

const Octopus &Tricot::NodeAt(int32_t wale, int32_t course) const
{
    return nodes[size_t(WrapCourse(course)) * size_t(wales) + size_t(WrapWale(wale))];
}

double Tricot::NodeX(const Octopus &node, int32_t wale) const
{
    return node.x + double(repeatsBelow(wale, wales)) * xPitch * double(wales);
}

double Tricot::NodeY(const Octopus &node, int32_t course) const
{
    return node.y + double(repeatsBelow(course, courses)) * yPitch * double(courses);
}

int32_t Tricot::OptimizedRunInAt(const Octopus &node, int32_t wale, int32_t formula, int32_t bar,
                                 int32_t course) const
{
    // Link targets are kept in the frame of the node's wrapped wale and course; a caller asking
    // in another repeat moves them along.
    const int64_t waleFrame = int64_t(wale) - WrapWale(wale);
    const int64_t courseFrame = int64_t(course) - WrapCourse(course);
    auto frameWale = [waleFrame](int32_t target) {
        return int32_t(std::clamp<int64_t>(target + waleFrame, INT32_MIN, INT32_MAX));
    };
    auto frameCourse = [courseFrame](int32_t target) {
        return int32_t(std::clamp<int64_t>(target + courseFrame, INT32_MIN, INT32_MAX));
    };
    auto at = [this](const Octopus &n, int32_t w, int32_t c) {
        return Point{NodeX(n, w), NodeY(n, c)};
    };

    const Point here = at(node, wale, course);
    double d = 0.0;
    double length = 0.0;

    if (node.closed) {
        const Octopus &above = NodeAt(wale, course + 1);
        const Point top = at(above, wale, course + 1);
        for (const StitchLoop &loop : node.loops) {
            if (loop.bar != bar)
                continue;
            d = loopDiameter(loop.yarn, formula);
            if (above.state == 1) {
                const double dx = top.x - here.x;
                const double dy = top.y - here.y;
                length += 2.05 * std::sqrt(dx * dx + dy * dy + 4.0 * d * d);
            }
        }
    }

    for (const LapLink &link : node.links) {
        if (link.bar != bar || link.kind == 0)
            continue;
        const int32_t tw = frameWale(link.targetWale);
        const int32_t tc = frameCourse(link.targetCourse);
        const Octopus &target = NodeAt(tw, tc);
        const Point there = at(target, tw, tc);
        // endChoice: bit 0 takes the target's scatter forward, bit 1 the node's.
        const double targetSign = (link.endChoice & 1) ? 1.0 : -1.0;
        const double nodeSign = (link.endChoice & 2) ? 1.0 : -1.0;
        const Point from{here.x + nodeSign * node.scatterX, here.y + nodeSign * node.scatterY};
        const Point to{there.x + targetSign * target.scatterX,
                       there.y + targetSign * target.scatterY};
        length += distance(from, to);
    }

    for (const UnderlapLink &piece : node.underlaps) {
        if (piece.bar != bar || piece.kind == 0)
            continue;
        const Octopus &left = NodeAt(wale - 1, course);
        const Point leftPoint = left.state == 1 ? at(left, wale - 1, course) : here;
        const Point start = attachPoint(here, leftPoint, piece.startChoice);

        const int32_t tw = frameWale(piece.targetWale);
        const int32_t tc = frameCourse(piece.targetCourse);
        const Point there = at(NodeAt(tw, tc), tw, tc);
        const Octopus &targetLeft = NodeAt(tw - 1, tc);
        const Point targetLeftPoint = targetLeft.state == 1 ? at(targetLeft, tw - 1, tc) : there;
        const Point end = attachPoint(there, targetLeftPoint, piece.endChoice);
        length += distance(start, end);
    }

    return TruncToInt32((7.28 * d + length) * kCoursesPerRack);
}

void Tricot::ScatterFromBelow()
{
    for (int32_t c = 0; c < courses; ++c) {
        for (int32_t w = 0; w < wales; ++w) {
            Octopus &node = NodeAt(w, c);
            if (node.state != 1)
                continue;
            node.scatterX = 0.0;
            node.scatterY = 0.0;
            const Octopus &below = NodeAt(w, c - 1);
            if (below.state != 1)
                continue;
            const double dx = node.x - NodeX(below, w);
            const double dy = node.y - NodeY(below, c - 1);
            const double k = 0.2 * below.loopShade + 0.05;
            node.scatterX = -k * dy;
            node.scatterY = k * dx;
        }
    }
}

} // namespace warplon
