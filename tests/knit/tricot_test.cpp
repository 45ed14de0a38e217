#include "knit/tricot.h"

#include "base/progress.h"
#include "knit/cubicbalance.h"
#include "knit/modeljson.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>

#include <cmath>
#include <numbers>
#include <random>
#include <utility>

using namespace warplon;

namespace {

using Laps = std::initializer_list<std::pair<int32_t, int32_t>>;
constexpr std::array<uint8_t, kMaxBars> kOff = {0, 0, 0, 0};

Tex barWith(Laps laps)
{
    Tex bar;
    bar.SetCourseCount(int32_t(laps.size()));
    size_t c = 0;
    for (const auto &[x0, x1] : laps)
        bar.lapping[c++] = {x0, x1, 0};
    bar.Normalize();
    return bar;
}

// Only needle 0 of every `repeat` needles carries yarn A, so one yarn path can be followed.
Tex oneNeedle(Tex bar, int32_t repeat, int32_t shift = 0)
{
    bar.threading = {{0, 1, 1, 0}, {0, repeat - 1, 0, 0}};
    bar.shift = shift;
    return bar;
}

TexLayer designOf(std::vector<Tex> bars)
{
    TexLayer design;
    design.bars = std::move(bars);
    return design;
}

std::vector<const LapLink *> linksOf(const Octopus &node, int32_t bar)
{
    std::vector<const LapLink *> found;
    for (const LapLink &link : node.links) {
        if (link.bar == bar)
            found.push_back(&link);
    }
    return found;
}

std::vector<const UnderlapLink *> underlapsOf(const Octopus &node, int32_t bar)
{
    std::vector<const UnderlapLink *> found;
    for (const UnderlapLink &piece : node.underlaps) {
        if (piece.bar == bar)
            found.push_back(&piece);
    }
    return found;
}

int32_t loopNodes(const Tricot &model)
{
    int32_t count = 0;
    for (const Octopus &node : model.nodes)
        count += node.state == 1 ? 1 : 0;
    return count;
}

// Records every reported percentage; asks to stop once `stopAfter` reports have come.
class RecordingProgress : public Progress
{
public:
    explicit RecordingProgress(size_t stopAfter = SIZE_MAX)
        : m_stopAfter(stopAfter)
    {}
    void SetPercent(int32_t percent) override { values.push_back(percent); }
    bool StopRequested() const override { return values.size() >= m_stopAfter; }
    std::vector<int32_t> values;

private:
    size_t m_stopAfter;
};

} // namespace

TEST(Tricot, WrapsIndicesAndUnwrapsPositions)
{
    Tricot model(12, 2, 0.5, 0.25);
    ASSERT_EQ(model.nodes.size(), 24u);
    ASSERT_EQ(model.initialPositions.size(), 24u);
    EXPECT_EQ(model.WrapWale(-13), 11);
    EXPECT_EQ(model.WrapWale(-12), 0);
    EXPECT_EQ(model.WrapWale(25), 1);
    EXPECT_EQ(model.WrapCourse(-1), 1);
    EXPECT_EQ(&model.NodeAt(-1, -1), &model.nodes[1 * 12 + 11]);

    // Floor division: wale -1 lies one repeat to the left, wale -13 two.
    Octopus node;
    node.x = 1.0;
    node.y = 2.0;
    EXPECT_DOUBLE_EQ(model.NodeX(node, 11), 1.0);
    EXPECT_DOUBLE_EQ(model.NodeX(node, -1), 1.0 - 3.0);
    EXPECT_DOUBLE_EQ(model.NodeX(node, -13), 1.0 - 6.0);
    EXPECT_DOUBLE_EQ(model.NodeY(node, 2), 3.0);
    EXPECT_DOUBLE_EQ(model.NodeY(node, -3), 0.0);

    const Tricot tiny(0, -3, 1.0, 1.0);
    EXPECT_EQ(tiny.nodes.size(), 1u);
}

// Tricot 1-0/1-2, every needle threaded: needle w laps 1-0 on wale w in course 0 and 1-2 on wale
// w + 1 in course 1, so every node holds one loop linked to the loop of the next course.
TEST(TricotBuild, FullSetTricotLoopsEveryWale)
{
    Tex bar = barWith({{1, 0}, {1, 2}});
    bar.courseStates[0].ratio = 90;
    const TexLayer design = designOf({bar});
    DirectionMemory memory;
    Tricot model(12, 2, 0.5, 0.25);
    model.Build(design, {1, 0, 0, 0}, nullptr, memory);

    for (int32_t c = 0; c < 2; ++c) {
        for (int32_t w = 0; w < 12; ++w) {
            SCOPED_TRACE(testing::Message() << "wale " << w << " course " << c);
            const Octopus &node = model.NodeAt(w, c);
            EXPECT_EQ(node.state, 1);
            EXPECT_EQ(node.closed, 1);
            EXPECT_DOUBLE_EQ(node.x, w * 0.25);
            EXPECT_DOUBLE_EQ(node.y, c * 0.5);
            // Brightness by run-in: ratio 90 darkens the loops of course 0.
            EXPECT_EQ(node.brightness, c == 0 ? -10 : 0);
            ASSERT_EQ(node.loops.size(), 1u);
            EXPECT_EQ(node.loops[0].yarn, &design.yarns[0]);
            // 1-0 then 1-2 and back: closed laps crossing one way, then the other.
            EXPECT_EQ(node.loops[0].legMode, c == 0 ? 0 : 2);
            EXPECT_EQ(node.loops[0].ratio, c == 0 ? 90 : 100);
            ASSERT_EQ(node.links.size(), 1u);
            const LapLink &link = node.links[0];
            EXPECT_EQ(link.kind, 1);
            EXPECT_EQ(link.yarn, &design.yarns[0]);
            EXPECT_EQ(link.targetWale, c == 0 ? w + 1 : w - 1);
            // The links of the last course reach course 0 of the next repeat.
            EXPECT_EQ(link.targetCourse, c + 1);
            EXPECT_EQ(link.endChoice, c == 0 ? 1 : 2);
            EXPECT_TRUE(node.underlaps.empty());
        }
    }
    EXPECT_TRUE(model.NodeAt(0, 0).backLinks.empty());
}

TEST(TricotBuild, OneNeedleFollowsTheLappingAndShift)
{
    const Tex tricot = barWith({{1, 0}, {1, 2}});
    {
        const TexLayer design = designOf({oneNeedle(tricot, 12)});
        Tricot model(12, 2, 1.0, 1.0);
        model.Build(design, kOff, nullptr);
        EXPECT_EQ(loopNodes(model), 2);
        ASSERT_EQ(model.NodeAt(0, 0).links.size(), 1u);
        EXPECT_EQ(model.NodeAt(0, 0).links[0].targetWale, 1);
        EXPECT_EQ(model.NodeAt(0, 0).links[0].targetCourse, 1);
        ASSERT_EQ(model.NodeAt(1, 1).links.size(), 1u);
        EXPECT_EQ(model.NodeAt(1, 1).links[0].targetWale, 0);
        EXPECT_EQ(model.NodeAt(1, 1).links[0].targetCourse, 2);
    }
    // A shift of 11 (or -1) starts the yarn at the repeat's last wale: its links cross the
    // repeat's edge and are kept in the frame of the node they leave.
    for (int32_t shift : {11, -1}) {
        const TexLayer design = designOf({oneNeedle(tricot, 12, shift)});
        Tricot model(12, 2, 1.0, 1.0);
        model.Build(design, kOff, nullptr);
        EXPECT_EQ(loopNodes(model), 2);
        ASSERT_EQ(model.NodeAt(11, 0).links.size(), 1u);
        EXPECT_EQ(model.NodeAt(11, 0).links[0].targetWale, 12);
        EXPECT_DOUBLE_EQ(model.NodeAt(0, 1).x, 0.0);
        ASSERT_EQ(model.NodeAt(0, 1).links.size(), 1u);
        EXPECT_EQ(model.NodeAt(0, 1).links[0].targetWale, -1);
    }

    // Two-needle overlaps 0-2 / 2-0: loops on needles 0 and 1 in both courses, the first loop
    // of each overlap linked to the second within the course.
    for (int32_t shift : {0, 12}) {
        const TexLayer design = designOf({oneNeedle(barWith({{0, 2}, {2, 0}}), 12, shift)});
        Tricot model(12, 2, 1.0, 1.0);
        model.Build(design, kOff, nullptr);
        EXPECT_EQ(loopNodes(model), 4);
        struct Expected
        {
            int32_t wale, course, targetWale, targetCourse, legMode, endChoice;
        };
        for (const Expected &e : {Expected{0, 0, 1, 0, 1, 0}, Expected{1, 0, 1, 1, 1, 0},
                                  Expected{1, 1, 0, 1, 1, 3}, Expected{0, 1, 0, 2, 1, 3}}) {
            SCOPED_TRACE(testing::Message()
                         << "shift " << shift << " node " << e.wale << "," << e.course);
            const Octopus &node = model.NodeAt(e.wale, e.course);
            ASSERT_EQ(node.loops.size(), 1u);
            EXPECT_EQ(node.loops[0].legMode, e.legMode);
            ASSERT_EQ(node.links.size(), 1u);
            EXPECT_EQ(node.links[0].targetWale, e.targetWale);
            EXPECT_EQ(node.links[0].targetCourse, e.targetCourse);
            EXPECT_EQ(node.links[0].endChoice, e.endChoice);
        }
    }

    // Needles naming no yarn of the list are empty; bars without lapping or needles add nothing.
    Tex stray = tricot;
    stray.threading = {{5, 1, 1, 0}};
    Tex noLapping = tricot;
    noLapping.lapping.clear();
    Tex noNeedles = tricot;
    noNeedles.threading = {{0, 0, 1, 0}};
    const TexLayer empty = designOf({stray, noLapping, noNeedles});
    Tricot model(12, 2, 1.0, 1.0);
    model.Build(empty, kOff, nullptr);
    EXPECT_EQ(loopNodes(model), 0);
}

// A laid-in bar forms no loop: float points with laid-in pieces, whose sides follow the lapping
// and, where it does not decide, the direction remembered from the previous decision.
TEST(TricotBuild, LaidInBarRemembersItsDirection)
{
    const Tex laidIn = oneNeedle(barWith({{0, 0}, {0, 0}, {2, 2}}), 12);
    struct Expected
    {
        int32_t wale, course, targetWale, targetCourse, startChoice, endChoice;
    };
    const auto check = [](const Tricot &model, int32_t bar, std::initializer_list<Expected> list) {
        for (const Expected &e : list) {
            SCOPED_TRACE(testing::Message()
                         << "bar " << bar << " node " << e.wale << "," << e.course);
            const Octopus &node = model.NodeAt(e.wale, e.course);
            EXPECT_EQ(node.state, 1);
            EXPECT_EQ(node.closed, 0);
            EXPECT_TRUE(node.loops.empty());
            const auto pieces = underlapsOf(node, bar);
            ASSERT_EQ(pieces.size(), 1u);
            EXPECT_EQ(pieces[0]->kind, 1);
            EXPECT_EQ(pieces[0]->targetWale, e.targetWale);
            EXPECT_EQ(pieces[0]->targetCourse, e.targetCourse);
            EXPECT_EQ(pieces[0]->startChoice, e.startChoice);
            EXPECT_EQ(pieces[0]->endChoice, e.endChoice);
        }
    };

    DirectionMemory memory;
    const TexLayer design = designOf({laidIn});
    Tricot first(12, 3, 1.0, 1.0);
    first.Build(design, kOff, nullptr, memory);
    EXPECT_EQ(loopNodes(first), 3);
    check(first, 0, {{0, 0, 0, 1, 1, 3}, {0, 1, 2, 2, 3, 3}, {2, 2, 0, 3, 3, 1}});
    EXPECT_FALSE(memory.laidIn);
    EXPECT_TRUE(memory.floatWalk);

    // The next build starts from the cleared direction.
    Tricot second(12, 3, 1.0, 1.0);
    second.Build(design, kOff, nullptr, memory);
    check(second, 0, {{0, 0, 0, 1, 1, 1}, {0, 1, 2, 2, 1, 3}, {2, 2, 0, 3, 3, 1}});

    // So does the next bar within one build.
    DirectionMemory fresh;
    const TexLayer pair = designOf({laidIn, laidIn});
    Tricot twoBars(12, 3, 1.0, 1.0);
    twoBars.Build(pair, kOff, nullptr, fresh);
    check(twoBars, 0, {{0, 0, 0, 1, 1, 3}, {0, 1, 2, 2, 3, 3}});
    check(twoBars, 1, {{0, 0, 0, 1, 1, 1}, {0, 1, 2, 2, 1, 3}});

    // A bar that never moves lays straight pieces down the middle and leaves the memory alone.
    DirectionMemory untouched{false, false};
    const TexLayer still = designOf({oneNeedle(barWith({{1, 1}, {1, 1}, {1, 1}}), 12)});
    Tricot straight(12, 3, 1.0, 1.0);
    straight.Build(still, kOff, nullptr, untouched);
    check(straight, 0, {{1, 0, 1, 1, 2, 2}, {1, 1, 1, 2, 2, 2}, {1, 2, 1, 3, 2, 2}});
    EXPECT_FALSE(untouched.laidIn);

    // The builds without a memory of their own share the program's.
    ProgramDirectionMemory().laidIn = true;
    Tricot shared(12, 3, 1.0, 1.0);
    shared.Build(design, kOff, nullptr);
    EXPECT_FALSE(ProgramDirectionMemory().laidIn);
}

// Bars 1-0, 2-2, 2-2, 1-2: the yarn floats over courses 1 and 2. Bar 0 and the last bar keep one
// float link; a middle bar's float is cut into laid-in pieces unless carried on.
TEST(TricotBuild, FloatsByBarPosition)
{
    const Tex floating = oneNeedle(barWith({{1, 0}, {2, 2}, {2, 2}, {1, 2}}), 12);
    // A fifth bar is beyond the machine: it is ignored, and bar 3 is the last bar.
    const std::vector<Tex> five(5, floating);

    DirectionMemory memory;
    const TexLayer fiveBars = designOf(five);
    Tricot model(12, 4, 1.0, 1.0);
    model.Build(fiveBars, kOff, nullptr, memory);
    const Octopus &start = model.NodeAt(0, 0);
    ASSERT_EQ(start.loops.size(), 4u);
    for (int32_t bar : {0, 3}) {
        const auto links = linksOf(start, bar);
        ASSERT_EQ(links.size(), 1u);
        EXPECT_EQ(links[0]->kind, bar == 0 ? 3 : 2);
        EXPECT_EQ(links[0]->targetWale, 1);
        EXPECT_EQ(links[0]->targetCourse, 3);
    }
    for (int32_t bar : {1, 2}) {
        SCOPED_TRACE(bar);
        EXPECT_TRUE(linksOf(start, bar).empty());
        struct Expected
        {
            int32_t wale, course, targetWale, targetCourse, startChoice, endChoice;
        };
        for (const Expected &e :
             {Expected{0, 0, 2, 1, 0, 3}, Expected{2, 1, 2, 2, 3, 3}, Expected{2, 2, 1, 3, 3, 0}}) {
            const Octopus &node = model.NodeAt(e.wale, e.course);
            EXPECT_EQ(node.state, 1);
            const auto pieces = underlapsOf(node, bar);
            ASSERT_EQ(pieces.size(), 1u);
            EXPECT_EQ(pieces[0]->kind, 1);
            EXPECT_EQ(pieces[0]->targetWale, e.targetWale);
            EXPECT_EQ(pieces[0]->targetCourse, e.targetCourse);
            EXPECT_EQ(pieces[0]->startChoice, e.startChoice);
            EXPECT_EQ(pieces[0]->endChoice, e.endChoice);
        }
    }
    EXPECT_EQ(model.NodeAt(2, 1).closed, 0);
    EXPECT_TRUE(model.NodeAt(2, 1).loops.empty());
    EXPECT_EQ(model.NodeAt(1, 3).loops.size(), 4u);
    EXPECT_FALSE(memory.floatWalk);
    EXPECT_TRUE(memory.laidIn);
    for (const Octopus &node : model.nodes) {
        for (const StitchLoop &loop : node.loops)
            EXPECT_LT(loop.bar, 4);
    }

    // Tight floats pull strongly.
    std::vector<Tex> tight(3, floating);
    for (Tex &bar : tight)
        bar.tightFloat[1] = 1;
    const TexLayer tightDesign = designOf(tight);
    Tricot strong(12, 4, 1.0, 1.0);
    strong.Build(tightDesign, kOff, nullptr, memory);
    EXPECT_EQ(linksOf(strong.NodeAt(0, 0), 0).at(0)->kind, 5);
    EXPECT_EQ(linksOf(strong.NodeAt(0, 0), 2).at(0)->kind, 4);

    // Carried over both float courses, the middle bar keeps one float link.
    std::vector<Tex> carried = tight;
    carried[1].carryFloat = {0, 1, 1, 0};
    const TexLayer carriedDesign = designOf(carried);
    Tricot whole(12, 4, 1.0, 1.0);
    whole.Build(carriedDesign, kOff, nullptr, memory);
    ASSERT_EQ(linksOf(whole.NodeAt(0, 0), 1).size(), 1u);
    EXPECT_EQ(linksOf(whole.NodeAt(0, 0), 1)[0]->kind, 4);
    EXPECT_EQ(linksOf(whole.NodeAt(0, 0), 1)[0]->targetWale, 1);
    EXPECT_EQ(linksOf(whole.NodeAt(0, 0), 1)[0]->targetCourse, 3);
    for (const Octopus &node : whole.nodes)
        EXPECT_TRUE(underlapsOf(node, 1).empty());

    // Carried over course 1 only: one long piece to course 2, then a short one.
    for (uint8_t tightFloat : {uint8_t(0), uint8_t(1)}) {
        std::vector<Tex> half(3, floating);
        half[1].carryFloat = {0, 1, 0, 0};
        half[1].tightFloat[1] = tightFloat;
        const TexLayer halfDesign = designOf(half);
        Tricot partly(12, 4, 1.0, 1.0);
        partly.Build(halfDesign, kOff, nullptr, memory);
        const auto first = underlapsOf(partly.NodeAt(0, 0), 1);
        ASSERT_EQ(first.size(), 1u);
        EXPECT_EQ(first[0]->kind, tightFloat ? 4 : 2);
        EXPECT_EQ(first[0]->targetWale, 2);
        EXPECT_EQ(first[0]->targetCourse, 2);
        EXPECT_TRUE(underlapsOf(partly.NodeAt(2, 1), 1).empty());
        const auto last = underlapsOf(partly.NodeAt(2, 2), 1);
        ASSERT_EQ(last.size(), 1u);
        EXPECT_EQ(last[0]->kind, 1);
        EXPECT_EQ(last[0]->targetCourse, 3);
    }
}

// The balance root against a root found by bisection of the monotone Σ ω (t − δ)³.
TEST(CubicBalance, MatchesBisection)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<double> weight(0.01, 100.0);
    std::uniform_real_distribution<double> delta(-3.0, 3.0);
    for (int round = 0; round < 500; ++round) {
        const int n = 1 + round % 8;
        double weights[8];
        double deltas[8];
        for (int i = 0; i < n; ++i) {
            weights[i] = weight(random);
            deltas[i] = delta(random);
        }
        const auto balance = [&](double t) {
            double sum = 0.0;
            for (int i = 0; i < n; ++i)
                sum += weights[i] * (t - deltas[i]) * (t - deltas[i]) * (t - deltas[i]);
            return sum;
        };
        double low = -4.0;
        double high = 4.0;
        for (int step = 0; step < 200; ++step) {
            const double mid = 0.5 * (low + high);
            (balance(mid) < 0.0 ? low : high) = mid;
        }
        SCOPED_TRACE(round);
        // A single piece is a triple root, where Cardano's formula keeps only about a third of
        // the digits (the cube root of the rounding error).
        EXPECT_NEAR(SolveBalance(weights, deltas, n), 0.5 * (low + high), n == 1 ? 1e-4 : 1e-6);
    }

    // One piece: the node goes to its other end.
    const double w = 3.0;
    const double d = -2.0;
    EXPECT_NEAR(SolveBalance(&w, &d, 1), -2.0, 1e-4);
    // Nothing pulls: no move.
    EXPECT_EQ(SolveBalance(nullptr, nullptr, 0), 0.0);
    // Three real roots, t³ − 7t + 6 = (t − 1)(t − 2)(t + 3): the trigonometric form gives -3.
    EXPECT_NEAR(BalanceRoot({1.0, 0.0, -7.0, 6.0}), -3.0, 1e-12);
    // One real root with R > 0: t³ + 6 = 0.
    EXPECT_NEAR(BalanceRoot({2.0, 0.0, 0.0, 12.0}), -std::cbrt(6.0), 1e-12);
}

// Relaxing 32 sweeps in place, written out plainly from the node's pieces, must give bit for bit
// the positions of the prepared weights.
TEST(TricotRelax, MatchesPlainSweeps)
{
    Tex front = barWith({{1, 0}, {1, 2}, {2, 2}, {1, 0}});
    front.courseStates[1].ratio = 80;
    Tex middle = oneNeedle(barWith({{2, 3}, {1, 1}, {1, 1}, {1, 0}}), 3, 2);
    middle.tightFloat[2] = 1;
    Tex back = oneNeedle(barWith({{0, 0}, {2, 2}, {1, 1}, {3, 3}}), 2);
    TexLayer design = designOf({front, middle, back});
    design.yarns.push_back(Yarn{});
    design.yarns[1].material = MaterialSpandex;
    design.bars[1].threading[0].yarn = 1;

    for (bool vertical : {false, true}) {
        SCOPED_TRACE(vertical);
        Tricot fast(6, 4, 0.5, 0.9);
        DirectionMemory memory;
        fast.Build(design, kOff, nullptr, memory);
        Tricot plain = fast;
        fast.Relax(true, vertical, nullptr, kOff);
        plain.Relax(false, vertical, nullptr, kOff); // the same preparation, no moves

        const auto spandex = [](const Yarn *yarn) { return yarn && yarn->material == 3; };
        const auto column = [&](const Octopus &node, double strong) {
            double weight = 20.0;
            int32_t smallest = 100;
            bool anySpandex = false;
            for (const StitchLoop &loop : node.loops) {
                anySpandex = anySpandex || spandex(loop.yarn);
                smallest = std::min(smallest, loop.ratio);
            }
            if (anySpandex)
                weight += strong;
            if (smallest < 100)
                weight += 100 - smallest;
            return weight;
        };
        const auto solve = [&](int32_t w, int32_t c, bool alongY) {
            const Octopus &node = plain.NodeAt(w, c);
            const double pitch = alongY ? plain.yPitch : plain.xPitch;
            const double base = alongY ? 0.5 : 1.0;
            const double strong = alongY ? 1000.0 : 70.0;
            const auto position = [&](int32_t ow, int32_t oc) {
                const Octopus &other = plain.NodeAt(ow, oc);
                return alongY ? plain.NodeY(other, oc) : plain.NodeX(other, ow);
            };
            const double o = alongY ? plain.NodeY(node, c) : plain.NodeX(node, w);
            BalanceSums sums;
            const auto piece
                = [&](int32_t ow, int32_t oc, int32_t kind, const Yarn *yarn, int32_t ratio) {
                      const double m = std::max(1, std::abs(w - ow));
                      double weight = base / (m * m * m);
                      if (kind == 4 || kind == 5 || spandex(yarn))
                          weight += strong;
                      if (ratio < 100)
                          weight += 100 - ratio;
                      sums.add(weight, (position(ow, oc) - o) / pitch);
                  };
            for (const LapLink &link : node.links)
                piece(link.targetWale, link.targetCourse, link.kind, link.yarn, link.ratio);
            for (const BackLink &link : node.backLinks)
                piece(link.sourceWale, link.sourceCourse, link.kind, link.yarn, link.ratio);
            if (node.closed || plain.NodeAt(w, c + 1).state == 1)
                sums.add(column(node, strong), (position(w, c + 1) - o) / pitch);
            const Octopus &below = plain.NodeAt(w, c - 1);
            if (below.closed && below.state == 1)
                sums.add(column(below, strong), (position(w, c - 1) - o) / pitch);
            if (sums.a == 0.0)
                return o;
            return 0.2 * o + 0.8 * (o + BalanceRoot(sums) * pitch);
        };
        for (int64_t k = 0; k < 6 * 4 * 32; ++k) {
            const int32_t w = int32_t(k % 6);
            const int32_t c = int32_t((k / 6) % 4);
            Octopus &node = plain.NodeAt(w, c);
            if (node.state == 0)
                continue;
            const double x = solve(w, c, false);
            if (vertical)
                node.y = solve(w, c, true);
            node.x = x;
        }

        int32_t moved = 0;
        for (size_t i = 0; i < fast.nodes.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(fast.nodes[i].x, plain.nodes[i].x);
            EXPECT_EQ(fast.nodes[i].y, plain.nodes[i].y);
            EXPECT_EQ(fast.initialPositions[i], plain.initialPositions[i]);
            moved += fast.nodes[i].x != fast.initialPositions[i][0] ? 1 : 0;
        }
        EXPECT_GT(moved, 4);
    }
}

TEST(TricotRelax, PreparationBuildsBackLinks)
{
    // Tricot on one needle, then a laid-in course: no loop lies above either loop.
    DirectionMemory memory;
    const TexLayer design = designOf({oneNeedle(barWith({{1, 0}, {1, 2}, {1, 1}}), 12)});
    Tricot model(12, 3, 1.0, 1.0);
    model.Build(design, kOff, nullptr, memory);
    model.NodeAt(0, 0).x = 0.25;
    model.Relax(false, false, nullptr, kOff);
    EXPECT_EQ(model.NodeAt(0, 0).closed, 0);
    EXPECT_EQ(model.NodeAt(1, 1).closed, 0);
    EXPECT_EQ(model.initialPositions[0], (std::array<double, 4>{0.25, 0.0, 0.25, 0.0}));
    EXPECT_EQ(model.initialPositions[13], (std::array<double, 4>{1.0, 1.0, 1.0, 1.0}));
    // The link (0,0) → (1,1) seen from (1,1), the float (1,1) → (0,3) seen from (0,0): the
    // source lies two courses below, in the previous repeat.
    ASSERT_EQ(model.NodeAt(1, 1).backLinks.size(), 1u);
    EXPECT_EQ(model.NodeAt(1, 1).backLinks[0].sourceWale, 0);
    EXPECT_EQ(model.NodeAt(1, 1).backLinks[0].sourceCourse, 0);
    ASSERT_EQ(model.NodeAt(0, 0).backLinks.size(), 1u);
    EXPECT_EQ(model.NodeAt(0, 0).backLinks[0].sourceWale, 1);
    EXPECT_EQ(model.NodeAt(0, 0).backLinks[0].sourceCourse, -2);
    EXPECT_EQ(model.NodeAt(0, 0).backLinks[0].kind, 3);
    // Preparing again rebuilds the back links rather than doubling them.
    model.Relax(false, false, nullptr, kOff);
    EXPECT_EQ(model.NodeAt(0, 0).backLinks.size(), 1u);

    // A laid-in piece (0,0) → (0,1) ending on the left side pulls (0,0) and (-1,1) together.
    DirectionMemory set;
    const TexLayer laidIn = designOf({oneNeedle(barWith({{0, 0}, {0, 0}, {2, 2}}), 12)});
    Tricot laid(12, 3, 1.0, 1.0);
    laid.Build(laidIn, kOff, nullptr, set);
    laid.Relax(false, false, nullptr, kOff);
    const Octopus &start = laid.NodeAt(0, 0);
    const Octopus &end = laid.NodeAt(11, 1);
    // Each node also holds the ends of other pieces, which come later.
    ASSERT_GE(start.backLinks.size(), 1u);
    EXPECT_EQ(start.backLinks[0].sourceWale, -1);
    EXPECT_EQ(start.backLinks[0].sourceCourse, 1);
    ASSERT_GE(end.backLinks.size(), 1u);
    EXPECT_EQ(end.backLinks[0].sourceWale, 12);
    EXPECT_EQ(end.backLinks[0].sourceCourse, 0);

    // A bar without tension gets no back links.
    laid.Relax(false, false, nullptr, {1, 0, 0, 0});
    for (const Octopus &node : laid.nodes)
        EXPECT_TRUE(node.backLinks.empty());
}

// A bar without tension pulls on nothing: tricot relaxed alone moves the loops of each course
// sideways; with noTension only the loop columns pull, and they pull straight up and down.
TEST(TricotRelax, NoTensionLinksDoNotPull)
{
    const Tex tricot = barWith({{1, 0}, {1, 2}});
    const TexLayer design = designOf({tricot});
    Tricot pulled(12, 2, 1.0, 1.0);
    pulled.Build(design, kOff, nullptr);
    pulled.Relax(true, true, nullptr, kOff);
    Tricot slack(12, 2, 1.0, 1.0);
    slack.Build(design, kOff, nullptr);
    slack.Relax(true, true, nullptr, {1, 0, 0, 0});
    for (int32_t w = 0; w < 12; ++w) {
        SCOPED_TRACE(w);
        EXPECT_GT(pulled.NodeAt(w, 0).x - w, 0.02);
        EXPECT_LT(pulled.NodeAt(w, 1).x - w, -0.02);
        EXPECT_NEAR(slack.NodeAt(w, 0).x, w, 1e-12);
        EXPECT_NEAR(slack.NodeAt(w, 1).x, w, 1e-12);
        EXPECT_NEAR(slack.NodeAt(w, 1).y, 1.0, 1e-12);
    }

    // A second bar without tension adds loops but no pull: the positions are those of the
    // first bar alone, bit for bit.
    const TexLayer twoBars = designOf({tricot, barWith({{2, 3}, {1, 0}})});
    Tricot both(12, 2, 1.0, 1.0);
    both.Build(twoBars, kOff, nullptr);
    both.Relax(true, false, nullptr, {0, 1, 0, 0});
    Tricot alone(12, 2, 1.0, 1.0);
    alone.Build(design, kOff, nullptr);
    alone.Relax(true, false, nullptr, kOff);
    for (size_t i = 0; i < both.nodes.size(); ++i) {
        EXPECT_EQ(both.nodes[i].x, alone.nodes[i].x);
        EXPECT_EQ(both.nodes[i].backLinks.size(), alone.nodes[i].backLinks.size());
    }
}

// The shade of a loop: how steeply the loop above stands, and how the laps above cross.
TEST(TricotRelax, ShadesByTheLoopsAbove)
{
    const auto shadeOf
        = [](std::vector<uint8_t> legModes, double aboveX, double preset, uint8_t closed) {
              Tricot model(1, 2, 1.0, 1.0);
              Octopus &node = model.nodes[0];
              node.state = 1;
              node.closed = closed;
              node.loopShade = preset;
              Octopus &above = model.nodes[1];
              above.state = 1;
              above.closed = 1;
              above.x = aboveX;
              above.y = 1.0;
              for (uint8_t legMode : legModes)
                  above.loops.push_back({0, nullptr, legMode, 100, 0});
              model.Relax(false, false, nullptr, kOff);
              return node.loopShade;
          };
    // Upright (α = π/2 gives 0.5) plus the crossing term s = (2n − k) k / n².
    EXPECT_DOUBLE_EQ(shadeOf({0, 1, 2}, 0.0, 0.0, 1), (0.5 + 0.5 * 1.0) * 0.5);
    EXPECT_DOUBLE_EQ(shadeOf({0}, 0.0, 0.0, 1), 0.25);
    EXPECT_DOUBLE_EQ(shadeOf({1}, 0.0, 0.0, 1), 0.5);
    EXPECT_DOUBLE_EQ(shadeOf({2}, 0.0, 0.0, 1), 0.25);
    EXPECT_DOUBLE_EQ(shadeOf({0, 0, 1}, 0.0, 0.0, 1), (0.5 + 0.5 * 5.0 / 9.0) * 0.5);
    EXPECT_DOUBLE_EQ(shadeOf({}, 0.0, 0.7, 1), 0.0);
    // Leaning at 45 degrees.
    EXPECT_DOUBLE_EQ(shadeOf({1}, 1.0, 0.0, 1), (0.25 + 0.5) * 0.5);
    // Not held: the previous shade stays, clamped to 0..1.
    EXPECT_DOUBLE_EQ(shadeOf({1}, 0.0, 0.3, 0), 0.3);
    EXPECT_DOUBLE_EQ(shadeOf({1}, 0.0, 1.7, 0), 1.0);
    EXPECT_DOUBLE_EQ(shadeOf({1}, 0.0, -0.2, 0), 0.0);

    // The loop above the last course lies in the next repeat.
    Tricot model(1, 2, 1.0, 1.0);
    Octopus &top = model.nodes[1];
    top.state = 1;
    top.closed = 1;
    top.y = 1.0;
    Octopus &bottom = model.nodes[0];
    bottom.state = 1;
    bottom.x = 1.0;
    bottom.y = 0.5;
    bottom.loops.push_back({0, nullptr, 1, 100, 0});
    model.Relax(false, false, nullptr, kOff);
    EXPECT_DOUBLE_EQ(top.loopShade, ((2.0 / std::numbers::pi) * std::atan(1.5) * 0.5 + 0.5) * 0.5);
}

TEST(TricotRelax, ReportsProgressAndStops)
{
    const TexLayer design = designOf({barWith({{1, 0}, {1, 2}})});
    RecordingProgress progress;
    Tricot model(12, 2, 1.0, 1.0);
    model.Build(design, kOff, &progress);
    // 0 first, then every wale, 100 at the end.
    ASSERT_EQ(progress.values.size(), 14u);
    EXPECT_EQ(progress.values.front(), 0);
    EXPECT_EQ(progress.values[2], 8);
    EXPECT_EQ(progress.values.back(), 100);

    progress.values.clear();
    model.Relax(true, false, &progress, kOff);
    // 768 updates, reported every ten when the percentage changes.
    ASSERT_GE(progress.values.size(), 2u);
    for (size_t i = 1; i < progress.values.size(); ++i)
        EXPECT_GT(progress.values[i], progress.values[i - 1]);
    EXPECT_EQ(progress.values.front(), 0);
    EXPECT_EQ(progress.values[1], 1);
    EXPECT_EQ(progress.values.back(), 100);
    EXPECT_LE(progress.values.size(), 78u + 1u);

    // Stopped after wale 1's report: only wale 0's yarn was laid.
    RecordingProgress stopBuild(3);
    Tricot partial(12, 2, 1.0, 1.0);
    partial.Build(design, kOff, &stopBuild);
    EXPECT_EQ(loopNodes(partial), 2);
    EXPECT_EQ(stopBuild.values.size(), 3u);

    // Stopped in the third report of the relaxation: the positions written back are finite and
    // the loops are not shaded.
    RecordingProgress stopRelax(3);
    Tricot early(12, 2, 1.0, 1.0);
    early.Build(design, kOff, nullptr);
    early.Relax(true, false, &stopRelax, kOff);
    EXPECT_EQ(stopRelax.values, (std::vector<int32_t>{0, 1, 2}));
    int32_t moved = 0;
    for (size_t i = 0; i < early.nodes.size(); ++i) {
        EXPECT_TRUE(std::isfinite(early.nodes[i].x));
        EXPECT_EQ(early.nodes[i].loopShade, 0.0);
        moved += early.nodes[i].x != early.initialPositions[i][0] ? 1 : 0;
    }
    EXPECT_GT(moved, 0);
}

TEST(TricotRelax, ScatterFromBelow)
{
    Tricot model(2, 2, 1.0, 1.0);
    Octopus &lower = model.NodeAt(0, 0);
    Octopus &upper = model.NodeAt(0, 1);
    lower.state = upper.state = 1;
    lower.loopShade = 0.5;
    upper.loopShade = 0.25;
    upper.x = 0.3;
    upper.y = 1.0;
    Octopus &lone = model.NodeAt(1, 1);
    lone.state = 1;
    lone.scatterX = lone.scatterY = 9.0;
    Octopus &empty = model.NodeAt(1, 0);
    empty.scatterX = 4.0;
    model.ScatterFromBelow();
    // (0.3, 1.0) turned by a right angle, times 0.2 × 0.5 + 0.05.
    EXPECT_DOUBLE_EQ(upper.scatterX, -0.15 * 1.0);
    EXPECT_DOUBLE_EQ(upper.scatterY, 0.15 * 0.3);
    // Course 0 lies above the last course of the previous repeat, at y = 1 - 2.
    EXPECT_DOUBLE_EQ(lower.scatterX, -0.1 * 1.0);
    EXPECT_DOUBLE_EQ(lower.scatterY, 0.1 * -0.3);
    EXPECT_EQ(lone.scatterX, 0.0);
    EXPECT_EQ(lone.scatterY, 0.0);
    EXPECT_EQ(empty.scatterX, 4.0);
}

// The yarn length of one bar at one node: the loop, its links with the scatter of their ends,
// and its laid-in pieces between the attachment points.
TEST(TricotRunIn, MeasuresLoopLinksAndPieces)
{
    TexLayer design;
    const Yarn *yarn = &design.yarns[0];
    Tricot model(4, 2, 0.5, 1.0);
    Octopus &node = model.NodeAt(1, 0);
    node.state = 1;
    node.closed = 1;
    node.x = 1.0;
    node.scatterX = 0.1;
    node.scatterY = 0.2;
    node.loops.push_back({0, yarn, 1, 100, 0});
    node.loops.push_back({1, yarn, 1, 100, 0});
    Octopus &above = model.NodeAt(1, 1);
    above.state = 1;
    above.x = 1.3;
    above.y = 0.5;
    Octopus &target = model.NodeAt(3, 1);
    target.state = 1;
    target.x = 3.0;
    target.y = 0.5;
    target.scatterX = -0.1;
    target.scatterY = 0.05;
    Octopus &left = model.NodeAt(0, 0);
    left.state = 1;
    left.x = 0.1;
    left.y = 0.05;
    model.NodeAt(2, 0).x = 2.0;

    node.links.push_back({0, yarn, 3, 1, 1, 1, 100, 0});
    node.links.push_back({0, yarn, 3, 1, 0, 1, 100, 0}); // sheared: no yarn
    node.links.push_back({1, yarn, 3, 1, 1, 1, 100, 0}); // another bar
    // To (4, 2): node (0, 0) one repeat right and up; its left neighbour (3, 0) is empty.
    node.underlaps.push_back({0, yarn, 4, 2, 1, 1, 3, 100, 0});
    // To (2, 0), from the left neighbour to the middle of (2, 0) and (1, 0).
    node.underlaps.push_back({0, yarn, 2, 0, 2, 4, 2, 100, 0});

    const double d3 = 0.0114 * std::sqrt(40.0);
    const double loop = 2.05 * std::sqrt(0.09 + 0.25 + 4.0 * d3 * d3);
    // endChoice 1: (target + its scatter) − (node − its scatter).
    const double link = std::hypot(2.9 - 0.9, 0.55 - (-0.2));
    const double first = std::hypot(4.1 - 0.82, 1.05 - 0.01);
    const double second = std::hypot(1.5 - 0.1, 0.0 - 0.05);
    const double length = loop + link + first + second;
    EXPECT_EQ(model.OptimizedRunInAt(node, 1, 2, 0, 0), int32_t((7.28 * d3 + length) * 480.0));

    // Diameters d2 by filaments and, for every other formula index, d1.
    const double d2 = 0.019 * std::sqrt(12.0 * 20 - 3.0) / 3.0;
    const double loop2 = 2.05 * std::sqrt(0.09 + 0.25 + 4.0 * d2 * d2);
    EXPECT_EQ(model.OptimizedRunInAt(node, 1, 1, 0, 0),
              int32_t((7.28 * d2 + loop2 + link + first + second) * 480.0));
    const double d1 = 0.01371 * std::sqrt(40.0);
    const double loop1 = 2.05 * std::sqrt(0.09 + 0.25 + 4.0 * d1 * d1);
    EXPECT_EQ(model.OptimizedRunInAt(node, 1, 7, 0, 0),
              int32_t((7.28 * d1 + loop1 + link + first + second) * 480.0));

    // A loop that is not held measures no loop and no diameter.
    node.closed = 0;
    EXPECT_EQ(model.OptimizedRunInAt(node, 1, 2, 0, 0), int32_t((link + first + second) * 480.0));
    // Nothing of bar 2 lies here.
    EXPECT_EQ(model.OptimizedRunInAt(node, 1, 2, 2, 0), 0);
}

// Two builds and relaxations of one design give the same model, bit for bit.
TEST(TricotModel, DeterministicAndDumped)
{
    Tex a = barWith({{1, 0}, {1, 2}, {1, 0}, {2, 3}});
    Tex b = barWith({{2, 3}, {1, 1}, {1, 1}, {1, 0}});
    b.carryFloat[1] = 1;
    Tex c = oneNeedle(barWith({{0, 0}, {3, 3}, {0, 0}, {3, 3}}), 2);
    Tex d = barWith({{1, 0}, {2, 2}, {1, 0}, {1, 2}});
    d.courseStates[3].ratio = 70;
    TexLayer design = designOf({a, b, c, d});
    design.yarns.push_back(Yarn{});
    design.bars[2].threading[0].yarn = 1;

    QByteArray dumps[2];
    for (QByteArray &dump : dumps) {
        DirectionMemory memory;
        Tricot model(8, 4, 0.5, 0.9);
        model.Build(design, {1, 1, 0, 0}, nullptr, memory);
        model.Relax(true, true, nullptr, {0, 0, 1, 0});
        model.ScatterFromBelow();
        dump = QJsonDocument(ModelToJson(model, design.yarns)).toJson(QJsonDocument::Compact);
    }
    EXPECT_EQ(dumps[0], dumps[1]);

    const QJsonObject json = QJsonDocument::fromJson(dumps[0]).object();
    EXPECT_EQ(json.value(QStringLiteral("xPitch")).toDouble(), 0.9);
    const QJsonObject node = json.value(QStringLiteral("nodes")).toArray()[9].toObject();
    EXPECT_EQ(node.value(QStringLiteral("wale")).toInt(), 1);
    EXPECT_EQ(node.value(QStringLiteral("course")).toInt(), 1);

    // A yarn is dumped by its index; one outside the list as -1.
    Tricot stray(1, 1, 1.0, 1.0);
    const Yarn other;
    stray.nodes[0].loops.push_back({0, &other, 1, 100, 0});
    stray.nodes[0].loops.push_back({0, &design.yarns[1], 1, 100, 0});
    const QJsonObject strayNode
        = ModelToJson(stray, design.yarns).value(QStringLiteral("nodes")).toArray()[0].toObject();
    const QJsonArray loops = strayNode.value(QStringLiteral("loops")).toArray();
    ASSERT_EQ(loops.size(), 2);
    EXPECT_EQ(loops[0].toObject().value(QStringLiteral("yarn")).toInt(), -1);
    EXPECT_EQ(loops[1].toObject().value(QStringLiteral("yarn")).toInt(), 1);
}
