// Building the stitch model: every threaded needle of every bar lays its loops, overlap and
// underlap links and floats course by course.

#include "knit/threading.h"
#include "knit/tricot.h"

#include "base/progress.h"

#include <algorithm>
#include <limits>

namespace warplon {

namespace {

// A real overlap spans one or two needles. A damaged lapping may name gaps millions of needles
// apart; its overlap is cut to this many needles so a file cannot make the model grow without
// bound.
constexpr int64_t kMaxOverlapNeedles = 64;

int32_t saturate(int64_t value)
{
    return int32_t(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                       std::numeric_limits<int32_t>::max()));
}

int64_t wrap64(int64_t value, int64_t count)
{
    const int64_t r = value % count;
    return r < 0 ? r + count : r;
}

// One bar's lapping and per-course switches, laid out over the model's courses. Every list is
// addressed modulo its own count; a missing course state counts as ratio 100, a missing switch
// as off.
struct BarCourses
{
    std::vector<ChainLink> lap;
    std::vector<int32_t> ratio;
    std::vector<uint8_t> carry;
    std::vector<uint8_t> tight;
    int64_t count = 0;

    BarCourses(const Tex &bar, int32_t courses)
        : count(courses)
    {
        const auto pick = [](const auto &list, int32_t c) { return list[size_t(c) % list.size()]; };
        lap.resize(size_t(courses));
        ratio.resize(size_t(courses), 100);
        carry.resize(size_t(courses), 0);
        tight.resize(size_t(courses), 0);
        for (int32_t c = 0; c < courses; ++c) {
            lap[size_t(c)] = pick(bar.lapping, c);
            if (!bar.courseStates.empty())
                ratio[size_t(c)] = pick(bar.courseStates, c).ratio;
            if (!bar.carryFloat.empty())
                carry[size_t(c)] = pick(bar.carryFloat, c);
            if (!bar.tightFloat.empty())
                tight[size_t(c)] = pick(bar.tightFloat, c);
        }
    }

    size_t at(int64_t c) const { return size_t(wrap64(c, count)); }
    const ChainLink &operator[](int64_t c) const { return lap[at(c)]; }
    bool loops(int64_t c) const { return lap[at(c)].x0 != lap[at(c)].x1; }
    int32_t ratioAt(int64_t c) const { return ratio[at(c)]; }
    bool carryAt(int64_t c) const { return carry[at(c)] != 0; }
    bool tightAt(int64_t c) const { return tight[at(c)] != 0; }
};

// The needle where a course's yarn enters: x0 shifted, one less for an overlap that runs toward
// the lower gaps.
int64_t entryNeedle(const ChainLink &link, int64_t s)
{
    return int64_t(link.x0) + s - (link.x0 > link.x1 ? 1 : 0);
}

// Where a float piece meets a node: 3 on the left leg side, 1 on the right. Equal positions keep
// the side of the previous decision, remembered in `side`.
uint8_t startSide(const ChainLink &here, const ChainLink &before, bool side)
{
    if (here.x0 > before.x1 || (here.x0 == before.x1 && side))
        return 3;
    return 1;
}

uint8_t endSide(const ChainLink &next, const ChainLink &here, bool &side)
{
    if (next.x0 > here.x1) {
        side = true;
        return 3;
    }
    if (next.x0 < here.x1) {
        side = false;
        return 1;
    }
    return side ? 3 : 1;
}

// Lays the yarn of one needle of one bar into the model.
class NeedleLayer
{
public:
    NeedleLayer(Tricot &model, const BarCourses &laps, int32_t bar, bool lastBar, const Yarn *yarn,
                uint8_t flag, bool brightness, int64_t s, DirectionMemory &directions)
        : m_model(model)
        , m_laps(laps)
        , m_bar(bar)
        , m_lastBar(lastBar)
        , m_yarn(yarn)
        , m_flag(flag)
        , m_brightness(brightness)
        , m_s(s)
        , m_directions(directions)
    {}

    void layLoops(int32_t c);
    void layLaidIn(bool straight);

private:
    int32_t wrapWale(int64_t k) const { return int32_t(wrap64(k, m_model.wales)); }
    // Positions node (k, c) and marks it as carrying yarn; `loop` also closes it.
    Octopus &mark(int64_t k, int64_t c, int32_t ratio, bool loop);
    Octopus &placeLoop(int64_t k, int32_t c, uint8_t legMode);
    void floatWalk(int32_t c);

    Tricot &m_model;
    const BarCourses &m_laps;
    int32_t m_bar;
    bool m_lastBar;
    const Yarn *m_yarn;
    uint8_t m_flag;
    bool m_brightness;
    int64_t m_s;
    DirectionMemory &m_directions;
};

Octopus &NeedleLayer::mark(int64_t k, int64_t c, int32_t ratio, bool loop)
{
    const int32_t wale = wrapWale(k);
    const int32_t course = int32_t(wrap64(c, m_model.courses));
    Octopus &node = m_model.NodeAt(wale, course);
    node.x = double(wale) * m_model.xPitch;
    node.y = double(course) * m_model.yPitch;
    node.state = 1;
    if (loop)
        node.closed = 1;
    if (m_brightness)
        node.brightness = saturate(int64_t(node.brightness) + ratio - 100);
    return node;
}

Octopus &NeedleLayer::placeLoop(int64_t k, int32_t c, uint8_t legMode)
{
    const int32_t ratio = m_laps.ratioAt(c);
    Octopus &node = mark(k, c, ratio, true);
    node.loops.push_back({m_bar, m_yarn, legMode, ratio, m_flag});
    return node;
}

void NeedleLayer::layLoops(int32_t c)
{
    const ChainLink &here = m_laps[c];
    const ChainLink &next = m_laps[c + 1];
    int64_t a = int64_t(here.x0) + m_s;
    int64_t e = int64_t(here.x1) + m_s;
    if (a > e)
        a -= 1;
    if (e > a)
        e -= 1;
    e = std::clamp(e, a - kMaxOverlapNeedles, a + kMaxOverlapNeedles);

    uint8_t legMode = 0;
    if (here.x1 > here.x0)
        legMode = next.x0 >= here.x1 ? 1 : 2;
    else
        legMode = next.x0 <= here.x1 ? 1 : 0;
    uint8_t endChoice = 0;
    if (here.x1 > next.x0)
        endChoice = 2;
    else if (here.x1 < next.x0)
        endChoice = 1;
    else
        endChoice = here.x1 >= here.x0 ? 0 : 3;
    const int32_t ratio = m_laps.ratioAt(c);

    if (m_laps.loops(c + 1)) {
        const int64_t step = e > a ? 1 : -1;
        for (int64_t k = a; k != e; k += step) {
            Octopus &node = placeLoop(k, c, legMode);
            const int32_t target = saturate(int64_t(wrapWale(k)) + step);
            node.links.push_back({m_bar, m_yarn, target, c, 1, endChoice, ratio, m_flag});
        }
        Octopus &node = placeLoop(e, c, legMode);
        const int64_t n = entryNeedle(next, m_s);
        const int32_t target = saturate(wrapWale(e) - e + n);
        node.links.push_back({m_bar, m_yarn, target, c + 1, 1, endChoice, ratio, m_flag});
        return;
    }

    // The yarn floats over the courses that form no loop, to the next course that does.
    const int64_t courses = m_laps.count;
    int64_t k = 1;
    while (k < courses && !m_laps.loops(c + k))
        ++k;
    const int64_t n = entryNeedle(m_laps[c + k], m_s);
    Octopus &node = placeLoop(e, c, legMode);
    const int32_t targetWale = saturate(wrapWale(e) - e + n);
    const int32_t targetCourse = saturate(c + k);
    const bool tight = m_laps.tightAt(c + 1);
    uint8_t kind = 0;
    if (m_bar == 0) {
        kind = tight ? 5 : 3;
    } else if (m_lastBar) {
        kind = tight ? 4 : 2;
    } else {
        bool carried = true;
        for (int64_t i = 1; i < k && carried; ++i)
            carried = m_laps.carryAt(c + i);
        if (!carried) {
            floatWalk(c);
            return;
        }
        kind = tight ? 4 : 2;
    }
    node.links.push_back({m_bar, m_yarn, targetWale, targetCourse, kind, endChoice, ratio, m_flag});
}

// A middle bar's float is cut into laid-in pieces wherever the float is not carried on.
void NeedleLayer::floatWalk(int32_t c)
{
    const int64_t courses = m_laps.count;
    bool &side = m_directions.floatWalk;
    int64_t j = 0;
    while (j < courses) {
        const int64_t f = c + j;
        if (j > 0 && m_laps.loops(f))
            break;
        int64_t g = f + 1;
        while (g < c + courses && m_laps.carryAt(g) && !m_laps.loops(g))
            ++g;
        const ChainLink &here = m_laps[f];
        const int64_t p = entryNeedle(here, m_s);
        const int64_t q = entryNeedle(m_laps[g], m_s);
        uint8_t kind = 1;
        if (g != f + 1)
            kind = m_laps.tightAt(c + j + 1) ? 4 : 2;
        uint8_t startChoice = startSide(here, m_laps[f - 1], side);
        uint8_t endChoice = endSide(m_laps[g], here, side);
        // A piece that begins or ends at a loop hangs on the loop itself.
        if (m_laps.loops(f))
            startChoice = 0;
        if (m_laps.loops(g))
            endChoice = 0;
        const int32_t ratio = m_laps.ratioAt(f);
        Octopus &node = mark(p, f, ratio, false);
        const int32_t targetWale = saturate(wrapWale(p) - p + q);
        const int32_t targetCourse = saturate(wrap64(f, courses) + (g - f));
        node.underlaps.push_back(
            {m_bar, m_yarn, targetWale, targetCourse, kind, startChoice, endChoice, ratio, m_flag});
        j = g - c;
    }
}

void NeedleLayer::layLaidIn(bool straight)
{
    bool &side = m_directions.laidIn;
    for (int32_t c = 0; c < m_laps.count; ++c) {
        const ChainLink &here = m_laps[c];
        const ChainLink &next = m_laps[c + 1];
        const int64_t p = entryNeedle(here, m_s);
        const int64_t q = entryNeedle(next, m_s);
        uint8_t startChoice = 2;
        uint8_t endChoice = 2;
        if (!straight) {
            startChoice = startSide(here, m_laps[c - 1], side);
            endChoice = endSide(next, here, side);
        }
        const int32_t ratio = m_laps.ratioAt(c);
        Octopus &node = mark(p, c, ratio, false);
        const int32_t targetWale = saturate(wrapWale(p) - p + q);
        node.underlaps.push_back(
            {m_bar, m_yarn, targetWale, c + 1, 1, startChoice, endChoice, ratio, m_flag});
    }
}

} // namespace

void Tricot::Build(const TexLayer &design, const std::array<uint8_t, kMaxBars> &runInBrightness,
                   Progress *progress, DirectionMemory &directions)
{
    CountBuild();
    ReportProgress(progress, 0);
    if (StopRequested(progress))
        return;
    const int32_t barCount = int32_t(std::min(design.bars.size(), size_t(kMaxBars)));
    const int64_t total = int64_t(barCount) * wales;
    int64_t count = 0;

    for (int32_t b = 0; b < barCount; ++b) {
        const Tex &source = design.bars[size_t(b)];
        // The needle table is expanded into a bar of our own: the design stays untouched.
        Tex threads;
        threads.threading = source.threading;
        Expand(threads);
        if (threads.needles.empty() || source.lapping.empty())
            continue;
        const BarCourses laps(source, courses);

        bool anyLoop = false;
        bool straight = true;
        for (int32_t c = 0; c < courses; ++c) {
            anyLoop = anyLoop || laps.loops(c);
            straight = straight && laps[c].x0 == laps[c + 1].x0 && laps[c + 1].x0 == laps[c + 1].x1;
        }

        for (int32_t w = 0; w < wales; ++w) {
            ReportProgress(progress, count * 100 / total);
            ++count;
            if (StopRequested(progress))
                return;
            const Yarn *yarn = YarnAt(threads, design.yarns, w, false);
            if (!yarn)
                continue;
            NeedleLayer layer(*this, laps, b, b == barCount - 1, yarn, NeedleFlagAt(threads, w),
                              runInBrightness[size_t(b)] != 0, int64_t(w) + source.shift,
                              directions);
            if (!anyLoop) {
                layer.layLaidIn(straight);
                continue;
            }
            for (int32_t c = 0; c < courses; ++c) {
                if (laps.loops(c))
                    layer.layLoops(c);
            }
        }
    }
    ReportProgress(progress, 100);
}

} // namespace warplon
