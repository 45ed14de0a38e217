// Relaxing and shading the stitch model: the yarn pieces pull their ends together, the loops
// settle where the pulls balance, and each loop is shaded by how it leans and how the loops above
// it cross.

#include "knit/cubicbalance.h"
#include "knit/tricot.h"

#include "base/progress.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace warplon {

namespace {

constexpr int32_t kSweeps = 32;

int32_t saturate(int64_t value)
{
    return int32_t(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                       std::numeric_limits<int32_t>::max()));
}

// floor(index / count): how many whole repeats lie below `index`.
int32_t repeatsBelow(int32_t index, int32_t count)
{
    const int64_t r = index % count;
    return int32_t((int64_t(index) - (r < 0 ? r + count : r)) / count);
}

bool pulls(int32_t bar, const std::array<uint8_t, kMaxBars> &noTension)
{
    return bar < 0 || bar >= kMaxBars || noTension[size_t(bar)] == 0;
}

bool isSpandex(const Yarn *yarn)
{
    return yarn && yarn->material == MaterialSpandex;
}

// One yarn piece pulling on a node in one direction: the other end's node, how many repeats
// away the piece sees it (its position is unwrapped by that many repeat widths, as NodeX and
// NodeY do), and the piece's weight.
struct Pull
{
    uint32_t other = 0;
    int32_t repeats = 0;
    double weight = 0.0;
};

// The constants of the two solves: a link's base weight, the extra pull of a strong float or a
// spandex yarn.
struct Stiffness
{
    double linkBase;
    double strong;
};
constexpr Stiffness kAcross{1.0, 70.0};
constexpr Stiffness kAlong{0.5, 1000.0};

double linkWeight(const Stiffness &s, int64_t waleSpan, bool strong, int32_t ratio)
{
    const double m = double(std::max<int64_t>(1, waleSpan < 0 ? -waleSpan : waleSpan));
    double weight = s.linkBase / (m * m * m);
    if (strong)
        weight += s.strong;
    if (ratio < 100)
        weight += 100.0 - double(ratio);
    return weight;
}

// The pull of the loop column through a node whose loops are `loops`.
double columnWeight(const Stiffness &s, const std::vector<StitchLoop> &loops)
{
    double weight = 20.0;
    if (std::any_of(loops.begin(), loops.end(),
                    [](const StitchLoop &loop) { return isSpandex(loop.yarn); }))
        weight += s.strong;
    int32_t smallest = 100;
    for (const StitchLoop &loop : loops)
        smallest = std::min(smallest, loop.ratio);
    if (smallest < 100)
        weight += 100.0 - double(smallest);
    return weight;
}

// The pulls of one direction, gathered once: the weights depend only on kinds, ratios, yarns,
// states and closed flags, none of which the relaxation changes. Pulls of node i are
// pulls[first[i]] .. pulls[first[i + 1]], in the order links, back links, above, below; the
// sums are added in that order, so results do not depend on the gathering.
struct Pulls
{
    std::vector<Pull> pulls;
    std::vector<size_t> first;
};

void gatherPulls(const Tricot &model, const std::array<uint8_t, kMaxBars> &noTension,
                 const Stiffness &stiffness, bool along, Pulls &out)
{
    const size_t count = model.nodes.size();
    out.pulls.clear();
    out.first.clear();
    out.first.reserve(count + 1);
    // First the count, so the list is allocated once.
    size_t total = 0;
    for (const Octopus &node : model.nodes)
        total += node.links.size() + node.backLinks.size() + 2;
    out.pulls.reserve(total);

    const auto add = [&](int32_t otherWale, int32_t otherCourse, double weight) {
        Pull pull;
        pull.other = uint32_t(size_t(model.WrapCourse(otherCourse)) * size_t(model.wales)
                              + size_t(model.WrapWale(otherWale)));
        pull.repeats = along ? repeatsBelow(otherCourse, model.courses)
                             : repeatsBelow(otherWale, model.wales);
        pull.weight = weight;
        out.pulls.push_back(pull);
    };
    for (int32_t c = 0; c < model.courses; ++c) {
        for (int32_t w = 0; w < model.wales; ++w) {
            out.first.push_back(out.pulls.size());
            const Octopus &node = model.NodeAt(w, c);
            if (node.state == 0)
                continue;
            for (const LapLink &link : node.links) {
                if (link.kind == 0 || !pulls(link.bar, noTension))
                    continue;
                const bool strong = link.kind == 4 || link.kind == 5 || isSpandex(link.yarn);
                add(link.targetWale, link.targetCourse,
                    linkWeight(stiffness, int64_t(w) - link.targetWale, strong, link.ratio));
            }
            for (const BackLink &link : node.backLinks) {
                const bool strong = link.kind == 4 || link.kind == 5 || isSpandex(link.yarn);
                add(link.sourceWale, link.sourceCourse,
                    linkWeight(stiffness, int64_t(w) - link.sourceWale, strong, link.ratio));
            }
            if (node.closed || model.NodeAt(w, c + 1).state == 1)
                add(w, c + 1, columnWeight(stiffness, node.loops));
            const Octopus &below = model.NodeAt(w, c - 1);
            if (below.closed && below.state == 1)
                add(w, c - 1, columnWeight(stiffness, below.loops));
        }
    }
    out.first.push_back(out.pulls.size());
}

// The new coordinate of node i: the root of the balance of its pulls, taken four fifths of the
// way. Other ends are unwrapped by repeats × pitch × count, the product NodeX and NodeY form.
inline void settle(const Pulls &p, size_t i, std::vector<double> &positions, double pitch,
                   double count)
{
    const double o = positions[i];
    BalanceSums sums;
    const Pull *end = p.pulls.data() + p.first[i + 1];
    for (const Pull *pull = p.pulls.data() + p.first[i]; pull != end; ++pull) {
        const double other = positions[pull->other] + double(pull->repeats) * pitch * count;
        sums.add(pull->weight, (other - o) / pitch);
    }
    if (sums.a == 0.0)
        return;
    const double target = o + BalanceRoot(sums) * pitch;
    positions[i] = 0.2 * o + 0.8 * target;
}

// Runs the sweeps in place; false when stopped early. The positions are written back either
// way, so a stopped model stays whole.
bool relax(Tricot &model, bool vertical, Progress *progress,
           const std::array<uint8_t, kMaxBars> &noTension)
{
    const size_t count = model.nodes.size();
    // A pitch of zero gives no scale to measure the pulls in; that direction stays.
    const bool across = model.xPitch > 0.0 && std::isfinite(model.xPitch);
    const bool along = vertical && model.yPitch > 0.0 && std::isfinite(model.yPitch);
    Pulls acrossPulls;
    Pulls alongPulls;
    if (across)
        gatherPulls(model, noTension, kAcross, false, acrossPulls);
    if (along)
        gatherPulls(model, noTension, kAlong, true, alongPulls);
    std::vector<uint8_t> active(count);
    std::vector<double> xs(count);
    std::vector<double> ys(count);
    for (size_t i = 0; i < count; ++i) {
        active[i] = model.nodes[i].state != 0 ? 1 : 0;
        xs[i] = model.nodes[i].x;
        ys[i] = model.nodes[i].y;
    }
    const double wales = double(model.wales);
    const double courses = double(model.courses);

    const int64_t total = int64_t(count) * kSweeps;
    int64_t k = 0;
    int64_t reported = -1;
    int32_t untilReport = 0; // counts down to the next update k with k mod 10 = 0
    bool stopped = false;
    for (int32_t sweep = 0; sweep < kSweeps && !stopped; ++sweep) {
        for (size_t i = 0; i < count; ++i, ++k, --untilReport) {
            if (untilReport == 0) {
                untilReport = 10;
                const int64_t percent = k * 100 / total;
                if (percent != reported) {
                    reported = percent;
                    ReportProgress(progress, percent);
                    if (StopRequested(progress)) {
                        stopped = true;
                        break;
                    }
                }
            }
            if (!active[i])
                continue;
            // Each solve reads only its own coordinate, so the order of the two is free.
            if (along)
                settle(alongPulls, i, ys, model.yPitch, courses);
            if (across)
                settle(acrossPulls, i, xs, model.xPitch, wales);
        }
    }
    for (size_t i = 0; i < count; ++i) {
        model.nodes[i].x = xs[i];
        model.nodes[i].y = ys[i];
    }
    return !stopped;
}

// The other end of a piece, given in the frame of the node at (wale, course), expressed in the
// frame of the node it is seen from.
struct Frame
{
    int32_t wale;
    int32_t course;
};

void addBackLink(Tricot &model, Frame to, Frame from, const Yarn *yarn, int32_t kind, int32_t ratio)
{
    BackLink link;
    link.yarn = yarn;
    link.sourceWale = saturate(int64_t(model.WrapWale(to.wale)) + from.wale - to.wale);
    link.sourceCourse = saturate(int64_t(model.WrapCourse(to.course)) + from.course - to.course);
    link.kind = kind;
    link.ratio = ratio;
    model.NodeAt(to.wale, to.course).backLinks.push_back(link);
}

void prepare(Tricot &model, const std::array<uint8_t, kMaxBars> &noTension)
{
    for (Octopus &node : model.nodes)
        node.backLinks.clear();
    for (int32_t c = 0; c < model.courses; ++c) {
        for (int32_t w = 0; w < model.wales; ++w) {
            Octopus &node = model.NodeAt(w, c);
            if (node.state == 1 && model.NodeAt(w, c + 1).state == 0)
                node.closed = 0;
            model.initialPositions[size_t(c) * size_t(model.wales) + size_t(w)]
                = {node.x, node.y, node.x, node.y};
        }
    }
    for (int32_t c = 0; c < model.courses; ++c) {
        for (int32_t w = 0; w < model.wales; ++w) {
            const Octopus &node = model.NodeAt(w, c);
            if (node.state != 1)
                continue;
            // Appending back links never touches the links and underlaps walked here.
            for (const LapLink &link : node.links) {
                if (link.kind == 0 || !pulls(link.bar, noTension))
                    continue;
                addBackLink(model, {link.targetWale, link.targetCourse}, {w, c}, link.yarn,
                            link.kind, link.ratio);
            }
            for (const UnderlapLink &piece : node.underlaps) {
                if (piece.kind == 0 || !pulls(piece.bar, noTension) || piece.startChoice == 2
                    || piece.endChoice == 2)
                    continue;
                const bool leftStart = piece.startChoice == 3 || piece.startChoice == 4;
                const bool leftEnd = piece.endChoice == 3 || piece.endChoice == 4;
                const Frame start{leftStart ? w - 1 : w, c};
                const Frame end{saturate(int64_t(piece.targetWale) - (leftEnd ? 1 : 0)),
                                piece.targetCourse};
                addBackLink(model, start, end, piece.yarn, piece.kind, piece.ratio);
                addBackLink(model, end, start, piece.yarn, piece.kind, piece.ratio);
            }
        }
    }
}

void shade(Tricot &model)
{
    for (int32_t c = 0; c < model.courses; ++c) {
        for (int32_t w = 0; w < model.wales; ++w) {
            Octopus &node = model.NodeAt(w, c);
            const Octopus &above = model.NodeAt(w, c + 1);
            if (node.state != 1 || above.state != 1)
                continue;
            const double dx = std::fabs(node.x - model.NodeX(above, w));
            const double dy = std::fabs(node.y - model.NodeY(above, c + 1));
            const double lean = dx == 0.0 ? std::numbers::pi / 2.0 : std::atan(dy / dx);
            if (node.closed) {
                // Open laps above (legMode 1) and an even mix of the two crossings show the most.
                const double n = double(above.loops.size());
                double k = 0.0;
                for (const StitchLoop &loop : above.loops)
                    k += loop.legMode == 0 ? 2.0 : loop.legMode == 1 ? 1.0 : 0.0;
                if (n > 0.0) {
                    const double s = (2.0 * n - k) * k / (n * n);
                    node.loopShade = ((2.0 / std::numbers::pi) * lean * 0.5 + 0.5 * s) * 0.5;
                } else {
                    node.loopShade = 0.0;
                }
            }
            if (!(node.loopShade >= 0.0))
                node.loopShade = 0.0;
            else if (node.loopShade >= 1.0)
                node.loopShade = 1.0;
        }
    }
}

} // namespace

void Tricot::Relax(bool optimize, bool vertical, Progress *progress,
                   const std::array<uint8_t, kMaxBars> &noTension)
{
    if (!RelaxPositions(optimize, vertical, progress, noTension))
        return;
    Shade();
    ReportProgress(progress, 100);
}

bool Tricot::RelaxPositions(bool optimize, bool vertical, Progress *progress,
                            const std::array<uint8_t, kMaxBars> &noTension)
{
    CountRelaxation();
    prepare(*this, noTension);
    return !optimize || relax(*this, vertical, progress, noTension);
}

void Tricot::Shade()
{
    shade(*this);
}

} // namespace warplon
