#include "knit/tricot.h"

#include "base/progress.h"
#include "knit/cubicbalance.h"
#include "knit/modeljson.h"

#include "testsupport.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <numbers>
#include <random>
#include <tuple>
#include <utility>

using namespace warplon;
using namespace warplon::test;

namespace {

using Laps = std::initializer_list<std::pair<int32_t, int32_t>>;
constexpr std::array<uint8_t, kMaxBars> kOff = {0, 0, 0, 0};

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

// 12 wales of pitch 1; the design must outlive the model.
Tricot built(const TexLayer &design, int32_t courses,
             DirectionMemory &memory = ProgramDirectionMemory())
{
    Tricot model(12, courses, 1.0, 1.0);
    model.Build(design, kOff, nullptr, memory);
    return model;
}

// The pieces of one bar on a node: links, then laid-in pieces, as {laid-in, kind, target wale,
// target course, start choice, end choice}.
constexpr int32_t kLink = 0;
constexpr int32_t kLaid = 1;
using Pieces = std::vector<std::array<int32_t, 6>>;
Pieces piecesOf(const Octopus &node, int32_t bar)
{
    Pieces found;
    for (const LapLink &l : node.links) {
        if (l.bar == bar)
            found.push_back({kLink, l.kind, l.targetWale, l.targetCourse, 0, l.endChoice});
    }
    for (const UnderlapLink &u : node.underlaps) {
        if (u.bar == bar)
            found.push_back(
                {kLaid, u.kind, u.targetWale, u.targetCourse, u.startChoice, u.endChoice});
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

Octopus &place(Tricot &model, int32_t w, int32_t c, double x, double y, uint8_t closed = 0)
{
    Octopus &node = model.NodeAt(w, c);
    node.state = 1;
    node.closed = closed;
    node.x = x;
    node.y = y;
    return node;
}

// Records every reported percentage; asks to stop once `stopAfter` reports have come.
struct RecordingProgress : Progress
{
    explicit RecordingProgress(size_t stop = SIZE_MAX)
        : stopAfter(stop)
    {}
    void SetPercent(int32_t percent) override { values.push_back(percent); }
    bool StopRequested() const override { return values.size() >= stopAfter; }
    std::vector<int32_t> values;
    size_t stopAfter;
};

} // namespace

// Full-set tricot 1-0/1-2: every node holds one loop linked to a loop of the next course.
TEST(TricotBuild, FullSetTricotLoopsEveryWale)
{
    Tex bar = BarWithLaps({{1, 0}, {1, 2}});
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
            // The links of the last course reach course 0 of the next repeat.
            EXPECT_EQ(piecesOf(node, 0),
                      (Pieces{{kLink, 1, c == 0 ? w + 1 : w - 1, c + 1, 0, c == 0 ? 1 : 2}}));
            ASSERT_EQ(node.links.size(), 1u);
            EXPECT_EQ(node.links[0].yarn, &design.yarns[0]);
        }
    }
}

TEST(TricotBuild, OneNeedleFollowsTheLappingAndShift)
{
    const Tex tricot = BarWithLaps({{1, 0}, {1, 2}});
    // Shift 11 (or -1) starts at the last wale: links cross the edge, kept in their node's frame.
    for (int32_t shift : {0, 11, -1}) {
        SCOPED_TRACE(shift);
        const TexLayer design = designOf({oneNeedle(tricot, 12, shift)});
        const Tricot model = built(design, 2);
        const int32_t w = shift == 0 ? 0 : 11;
        const int32_t next = (w + 1) % 12;
        EXPECT_EQ(loopNodes(model), 2);
        EXPECT_EQ(piecesOf(model.NodeAt(w, 0), 0), (Pieces{{kLink, 1, w + 1, 1, 0, 1}}));
        EXPECT_EQ(piecesOf(model.NodeAt(next, 1), 0), (Pieces{{kLink, 1, next - 1, 2, 0, 2}}));
        EXPECT_DOUBLE_EQ(model.NodeAt(next, 1).x, next);
    }

    // Two-needle overlaps 0-2 / 2-0: the first loop of each overlap links to the second.
    const std::array<std::array<int32_t, 5>, 4> overlaps
        = {{{0, 0, 1, 0, 0}, {1, 0, 1, 1, 0}, {1, 1, 0, 1, 3}, {0, 1, 0, 2, 3}}};
    for (int32_t shift : {0, 12}) {
        const TexLayer design = designOf({oneNeedle(BarWithLaps({{0, 2}, {2, 0}}), 12, shift)});
        const Tricot model = built(design, 2);
        EXPECT_EQ(loopNodes(model), 4);
        for (const auto &[w, c, tw, tc, end] : overlaps) {
            SCOPED_TRACE(testing::Message() << "shift " << shift << " node " << w << "," << c);
            const Octopus &node = model.NodeAt(w, c);
            ASSERT_EQ(node.loops.size(), 1u);
            EXPECT_EQ(node.loops[0].legMode, 1);
            EXPECT_EQ(piecesOf(node, 0), (Pieces{{kLink, 1, tw, tc, 0, end}}));
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
    EXPECT_EQ(loopNodes(built(empty, 2)), 0);
}

// A laid-in bar lays pieces whose sides follow the lapping, else the remembered direction.
TEST(TricotBuild, LaidInBarRemembersItsDirection)
{
    const Tex laidIn = oneNeedle(BarWithLaps({{0, 0}, {0, 0}, {2, 2}}), 12);
    // {wale, course, target wale, target course, start choice, end choice}
    using Expected = std::vector<std::array<int32_t, 6>>;
    const auto check = [](const Tricot &model, int32_t bar, const Expected &list) {
        for (const auto &[w, c, tw, tc, start, end] : list) {
            SCOPED_TRACE(testing::Message() << "bar " << bar << " node " << w << "," << c);
            const Octopus &node = model.NodeAt(w, c);
            EXPECT_EQ(node.state, 1);
            EXPECT_EQ(node.closed, 0);
            EXPECT_TRUE(node.loops.empty());
            EXPECT_EQ(piecesOf(node, bar), (Pieces{{kLaid, 1, tw, tc, start, end}}));
        }
    };

    DirectionMemory memory;
    const TexLayer design = designOf({laidIn});
    const Tricot first = built(design, 3, memory);
    EXPECT_EQ(loopNodes(first), 3);
    check(first, 0, {{0, 0, 0, 1, 1, 3}, {0, 1, 2, 2, 3, 3}, {2, 2, 0, 3, 3, 1}});
    EXPECT_FALSE(memory.laidIn);
    EXPECT_TRUE(memory.floatWalk);
    // The next build starts from the cleared direction.
    check(built(design, 3, memory), 0, {{0, 0, 0, 1, 1, 1}, {0, 1, 2, 2, 1, 3}});

    // So does the next bar within one build.
    DirectionMemory fresh;
    const TexLayer pair = designOf({laidIn, laidIn});
    const Tricot twoBars = built(pair, 3, fresh);
    check(twoBars, 0, {{0, 0, 0, 1, 1, 3}, {0, 1, 2, 2, 3, 3}});
    check(twoBars, 1, {{0, 0, 0, 1, 1, 1}, {0, 1, 2, 2, 1, 3}});

    // A bar that never moves lays straight pieces and leaves the memory alone.
    DirectionMemory untouched{false, false};
    const TexLayer still = designOf({oneNeedle(BarWithLaps({{1, 1}, {1, 1}, {1, 1}}), 12)});
    check(built(still, 3, untouched), 0, {{1, 0, 1, 1, 2, 2}, {1, 2, 1, 3, 2, 2}});
    EXPECT_FALSE(untouched.laidIn);

    // The builds without a memory of their own share the program's.
    ProgramDirectionMemory().laidIn = true;
    built(design, 3);
    EXPECT_FALSE(ProgramDirectionMemory().laidIn);
}

// 1-0, 2-2, 2-2, 1-2 floats over courses 1 and 2: bar 0 and the last bar keep one float link, a
// middle bar's float is cut into laid-in pieces unless carried on.
TEST(TricotBuild, FloatsByBarPosition)
{
    const Tex floating = oneNeedle(BarWithLaps({{1, 0}, {2, 2}, {2, 2}, {1, 2}}), 12);
    // A fifth bar is beyond the machine: it is ignored, and bar 3 is the last bar.
    DirectionMemory memory;
    const TexLayer five = designOf(std::vector<Tex>(5, floating));
    const Tricot model = built(five, 4, memory);
    EXPECT_EQ(model.NodeAt(0, 0).loops.size(), 4u);
    EXPECT_EQ(model.NodeAt(1, 3).loops.size(), 4u);
    EXPECT_EQ(piecesOf(model.NodeAt(0, 0), 0), (Pieces{{kLink, 3, 1, 3, 0, 1}}));
    EXPECT_EQ(piecesOf(model.NodeAt(0, 0), 3), (Pieces{{kLink, 2, 1, 3, 0, 1}}));
    EXPECT_TRUE(piecesOf(model.NodeAt(0, 0), 4).empty());
    for (int32_t bar : {1, 2}) {
        SCOPED_TRACE(bar);
        EXPECT_EQ(piecesOf(model.NodeAt(0, 0), bar), (Pieces{{kLaid, 1, 2, 1, 0, 3}}));
        EXPECT_EQ(piecesOf(model.NodeAt(2, 1), bar), (Pieces{{kLaid, 1, 2, 2, 3, 3}}));
        EXPECT_EQ(piecesOf(model.NodeAt(2, 2), bar), (Pieces{{kLaid, 1, 1, 3, 3, 0}}));
    }
    EXPECT_TRUE(model.NodeAt(2, 1).loops.empty());
    EXPECT_FALSE(memory.floatWalk);
    EXPECT_TRUE(memory.laidIn);

    // Tight floats pull strongly; carried over both courses, the middle bar keeps one link.
    std::vector<Tex> tight(3, floating);
    for (Tex &bar : tight)
        bar.tightFloat[1] = 1;
    tight[1].carryFloat = {0, 1, 1, 0};
    const TexLayer tightDesign = designOf(tight);
    const Tricot strong = built(tightDesign, 4, memory);
    EXPECT_EQ(piecesOf(strong.NodeAt(0, 0), 0), (Pieces{{kLink, 5, 1, 3, 0, 1}}));
    EXPECT_EQ(piecesOf(strong.NodeAt(0, 0), 1), (Pieces{{kLink, 4, 1, 3, 0, 1}}));
    EXPECT_EQ(piecesOf(strong.NodeAt(0, 0), 2), (Pieces{{kLink, 4, 1, 3, 0, 1}}));
    for (const Octopus &node : strong.nodes)
        EXPECT_TRUE(node.underlaps.empty());

    // Carried over course 1 only: one long piece to course 2, then a short one.
    for (uint8_t tightFloat : {uint8_t(0), uint8_t(1)}) {
        std::vector<Tex> half(3, floating);
        half[1].carryFloat = {0, 1, 0, 0};
        half[1].tightFloat[1] = tightFloat;
        const TexLayer halfDesign = designOf(half);
        const Tricot partly = built(halfDesign, 4, memory);
        EXPECT_EQ(piecesOf(partly.NodeAt(0, 0), 1),
                  (Pieces{{kLaid, tightFloat ? 4 : 2, 2, 2, 0, 3}}));
        EXPECT_TRUE(piecesOf(partly.NodeAt(2, 1), 1).empty());
        EXPECT_EQ(piecesOf(partly.NodeAt(2, 2), 1), (Pieces{{kLaid, 1, 1, 3, 3, 0}}));
    }
}

// The balance root against a root found by bisection of the monotone Σ ω (t − δ)³.
TEST(TricotRelax, CubicBalanceMatchesBisection)
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
        double low = -4.0;
        double high = 4.0;
        for (int step = 0; step < 200; ++step) {
            const double mid = 0.5 * (low + high);
            double sum = 0.0;
            for (int i = 0; i < n; ++i)
                sum += weights[i] * std::pow(mid - deltas[i], 3);
            (sum < 0.0 ? low : high) = mid;
        }
        SCOPED_TRACE(round);
        // A single piece is a triple root: Cardano keeps about a third of the digits.
        EXPECT_NEAR(SolveBalance(weights, deltas, n), 0.5 * (low + high), n == 1 ? 1e-4 : 1e-6);
    }
    EXPECT_EQ(SolveBalance(nullptr, nullptr, 0), 0.0);
    // Three real roots, t³ − 7t + 6 = (t − 1)(t − 2)(t + 3): the trigonometric form gives -3.
    EXPECT_NEAR(BalanceRoot({1.0, 0.0, -7.0, 6.0}), -3.0, 1e-12);
}

// A node pulled by a link across both repeat edges and a laid-in piece, to ends that stay put,
// settles at the root of wA (t − δA)³ + wB (t − δB)³: the mean of the ends weighted by ∛w.
TEST(TricotRelax, SettlesWhereTheWeightedPullsBalance)
{
    // {link kind, ratio, spandex, piece kind, no tension}, weights across and along (0: none).
    using Case = std::tuple<uint8_t, int32_t, bool, uint8_t, uint8_t, std::array<double, 4>>;
    const Case cases[] = {
        {1, 100, false, 1, 0, {1.0, 1.0 / 8, 0.5, 0.5 / 8}},
        {4, 100, false, 1, 0, {71.0, 1.0 / 8, 1000.5, 0.5 / 8}},
        {5, 90, false, 1, 0, {81.0, 1.0 / 8, 1010.5, 0.5 / 8}},
        {1, 100, true, 1, 0, {71.0, 1.0 / 8, 1000.5, 0.5 / 8}},
        {1, 100, false, 4, 0, {1.0, 70.125, 0.5, 1000.0625}},
        {0, 100, false, 1, 0, {0.0, 1.0 / 8, 0.0, 0.5 / 8}},
        {1, 100, false, 1, 1, {0.0, 1.0 / 8, 0.0, 0.5 / 8}},
    };
    const auto balance = [](double wa, double wb, double a, double b) {
        return (std::cbrt(wa) * a + std::cbrt(wb) * b) / (std::cbrt(wa) + std::cbrt(wb));
    };
    for (const auto &[linkKind, ratio, spandex, pieceKind, noTension, w] : cases) {
        for (bool vertical : {false, true}) {
            SCOPED_TRACE(testing::Message()
                         << int(linkKind) << " " << ratio << " " << spandex << " " << int(pieceKind)
                         << " " << int(noTension) << " " << vertical);
            Yarn yarn;
            if (spandex)
                yarn.material = MaterialSpandex;
            Tricot model(4, 2, 0.5, 2.0);
            Octopus &node = place(model, 0, 0, 0.3, 0.1, 1);
            node.links.push_back({1, &yarn, -1, -1, linkKind, 0, ratio, 0});
            node.underlaps.push_back({0, nullptr, 2, 1, pieceKind, 0, 0, 100, 0});
            model.NodeAt(3, 1).x = 6.0; // seen from wale -1, course -1: (-2, -0.2)
            model.NodeAt(3, 1).y = 0.8;
            model.NodeAt(2, 1).x = 5.2;
            model.NodeAt(2, 1).y = -0.5;
            model.Relax(true, vertical, nullptr, {0, noTension, 0, 0});
            EXPECT_NEAR(node.x, balance(w[0], w[1], -2.0, 5.2), 1e-9);
            EXPECT_NEAR(node.y, vertical ? balance(w[2], w[3], -0.2, -0.5) : 0.1, 1e-9);
        }
    }

    // Alone in its course, a node's loop column (weight 20, + 70 for spandex, + 100 − ratio 90)
    // holds it in place, so each step covers 0.8 r of the way, r = ∛wL / (∛wL + ∛(2 wC)).
    // Stopped at the second report (update 10 of 4 nodes × 32 sweeps), it has stepped 3 times.
    Tricot model(4, 1, 1.0, 1.0);
    Yarn spandex;
    spandex.material = MaterialSpandex;
    Octopus &node = place(model, 0, 0, 0.0, 0.0, 1);
    node.loops.push_back({0, &spandex, 1, 90, 0});
    node.links.push_back({0, nullptr, 2, 0, 1, 0, 100, 0});
    model.NodeAt(2, 0).x = 2.6;
    RecordingProgress stop(2);
    model.Relax(true, false, &stop, kOff);
    const double r = 0.5 / (0.5 + std::cbrt(2.0 * 100.0));
    EXPECT_NEAR(node.x, 2.6 - 2.6 * std::pow(1.0 - 0.8 * r, 3), 1e-9);
}

// Full-set tricot stays alike on every wale: course 0 moves right, course 1 left. Without tension
// only the loop columns pull, straight up and down.
TEST(TricotRelax, FullSetStaysAlikeAndNoTensionDoesNotPull)
{
    const TexLayer design = designOf({BarWithLaps({{1, 0}, {1, 2}})});
    Tricot pulled = built(design, 2);
    pulled.Relax(true, true, nullptr, kOff);
    Tricot slack = built(design, 2);
    slack.Relax(true, true, nullptr, {1, 0, 0, 0});
    const double right = pulled.NodeAt(0, 0).x;
    const double left = pulled.NodeAt(0, 1).x;
    EXPECT_GT(right, 0.02);
    EXPECT_LT(left, -0.02);
    for (int32_t w = 0; w < 12; ++w) {
        SCOPED_TRACE(w);
        EXPECT_NEAR(pulled.NodeAt(w, 0).x - w, right, 1e-9);
        EXPECT_NEAR(pulled.NodeAt(w, 1).x - w, left, 1e-9);
        EXPECT_NEAR(pulled.NodeAt(w, 1).y, pulled.NodeAt(0, 1).y, 1e-6);
        EXPECT_NEAR(slack.NodeAt(w, 0).x, w, 1e-12);
        EXPECT_NEAR(slack.NodeAt(w, 1).x, w, 1e-12);
        EXPECT_NEAR(slack.NodeAt(w, 1).y, 1.0, 1e-12);
    }
}

TEST(TricotRelax, PreparationBuildsBackLinks)
{
    // Tricot on one needle, then a laid-in course: no loop lies above either loop.
    const TexLayer design = designOf({oneNeedle(BarWithLaps({{1, 0}, {1, 2}, {1, 1}}), 12)});
    Tricot model = built(design, 3);
    model.NodeAt(0, 0).x = 0.25;
    model.Relax(false, false, nullptr, kOff);
    EXPECT_EQ(model.NodeAt(0, 0).closed, 0);
    EXPECT_EQ(model.NodeAt(1, 1).closed, 0);
    EXPECT_EQ(model.initialPositions[0], (std::array<double, 4>{0.25, 0.0, 0.25, 0.0}));
    EXPECT_EQ(model.initialPositions[13], (std::array<double, 4>{1.0, 1.0, 1.0, 1.0}));
    // Link (0,0) → (1,1) seen from (1,1), float (1,1) → (0,3) from (0,0), two courses below.
    // Preparing twice does not double them.
    model.Relax(false, false, nullptr, kOff);
    const auto sources = [](const Octopus &node) {
        std::vector<std::array<int32_t, 3>> found;
        for (const BackLink &link : node.backLinks)
            found.push_back({link.sourceWale, link.sourceCourse, link.kind});
        return found;
    };
    using Sources = std::vector<std::array<int32_t, 3>>;
    EXPECT_EQ(sources(model.NodeAt(1, 1)), (Sources{{0, 0, 1}}));
    EXPECT_EQ(sources(model.NodeAt(0, 0)), (Sources{{1, -2, 3}}));

    // A laid-in piece (0,0) → (0,1) ending on the left side pulls (0,0) and (-1,1) together.
    const TexLayer laidIn = designOf({oneNeedle(BarWithLaps({{0, 0}, {0, 0}, {2, 2}}), 12)});
    DirectionMemory memory;
    Tricot laid = built(laidIn, 3, memory);
    laid.Relax(false, false, nullptr, kOff);
    EXPECT_EQ(sources(laid.NodeAt(0, 0)).at(0), (std::array<int32_t, 3>{-1, 1, 1}));
    EXPECT_EQ(sources(laid.NodeAt(11, 1)).at(0), (std::array<int32_t, 3>{12, 0, 1}));
    // A bar without tension gets no back links.
    laid.Relax(false, false, nullptr, {1, 0, 0, 0});
    for (const Octopus &node : laid.nodes)
        EXPECT_TRUE(node.backLinks.empty());
}

// The shade of a loop: how steeply the loop above stands, and how the laps above cross.
TEST(TricotRelax, ShadesByTheLoopsAbove)
{
    // {leg modes above, x above, previous shade, held, shade}: upright (α = π/2 gives 0.5) plus
    // s = (2n − k) k / n²; not held, the previous shade stays, clamped to 0..1.
    using Case = std::tuple<std::vector<uint8_t>, double, double, uint8_t, double>;
    const Case cases[] = {
        {{0, 1, 2}, 0.0, 0.0, 1, (0.5 + 0.5 * 1.0) * 0.5},
        {{1}, 0.0, 0.0, 1, 0.5},
        {{2}, 0.0, 0.0, 1, 0.25},
        {{0, 0, 1}, 0.0, 0.0, 1, (0.5 + 0.5 * 5.0 / 9.0) * 0.5},
        {{}, 0.0, 0.7, 1, 0.0},
        {{1}, 1.0, 0.0, 1, (0.25 + 0.5) * 0.5}, // leaning at 45 degrees
        {{1}, 0.0, 0.3, 0, 0.3},
        {{1}, 0.0, 1.7, 0, 1.0},
        {{1}, 0.0, -0.2, 0, 0.0},
    };
    for (const auto &[legModes, aboveX, preset, closed, shade] : cases) {
        Tricot model(1, 2, 1.0, 1.0);
        Octopus &node = place(model, 0, 0, 0.0, 0.0, closed);
        node.loopShade = preset;
        Octopus &above = place(model, 0, 1, aboveX, 1.0, 1);
        for (uint8_t legMode : legModes)
            above.loops.push_back({0, nullptr, legMode, 100, 0});
        model.Relax(false, false, nullptr, kOff);
        EXPECT_DOUBLE_EQ(node.loopShade, shade) << legModes.size() << " " << aboveX;
    }

    // The loop above the last course lies in the next repeat.
    Tricot model(1, 2, 1.0, 1.0);
    Octopus &top = place(model, 0, 1, 0.0, 1.0, 1);
    place(model, 0, 0, 1.0, 0.5).loops.push_back({0, nullptr, 1, 100, 0});
    model.Relax(false, false, nullptr, kOff);
    EXPECT_DOUBLE_EQ(top.loopShade, ((2.0 / std::numbers::pi) * std::atan(1.5) * 0.5 + 0.5) * 0.5);
}

TEST(TricotRelax, ReportsProgressAndStops)
{
    // Building reports 0, every wale, 100; relaxing reports every ten updates when it changes.
    const TexLayer design = designOf({BarWithLaps({{1, 0}, {1, 2}})});
    RecordingProgress progress;
    Tricot model(12, 2, 1.0, 1.0);
    model.Build(design, kOff, &progress);
    ASSERT_EQ(progress.values.size(), 14u);
    EXPECT_EQ(progress.values[2], 8);
    progress.values.clear();
    model.Relax(true, false, &progress, kOff);
    ASSERT_GE(progress.values.size(), 2u);
    EXPECT_EQ(progress.values[1], 1);
    EXPECT_EQ(progress.values.back(), 100);
    EXPECT_LE(progress.values.size(), 78u + 1u);

    // Stopped after wale 1's report: only wale 0's yarn was laid.
    RecordingProgress stopBuild(3);
    model = Tricot(12, 2, 1.0, 1.0);
    model.Build(design, kOff, &stopBuild);
    EXPECT_EQ(loopNodes(model), 2);

    // Stopped in the relaxation: positions finite and moved, loops not shaded.
    RecordingProgress stopRelax(3);
    model = built(design, 2);
    model.Relax(true, false, &stopRelax, kOff);
    EXPECT_EQ(stopRelax.values, (std::vector<int32_t>{0, 1, 2}));
    int32_t moved = 0;
    for (size_t i = 0; i < model.nodes.size(); ++i) {
        EXPECT_TRUE(std::isfinite(model.nodes[i].x));
        EXPECT_EQ(model.nodes[i].loopShade, 0.0);
        moved += model.nodes[i].x != model.initialPositions[i][0] ? 1 : 0;
    }
    EXPECT_GT(moved, 0);
}

TEST(TricotRelax, ScatterFromBelow)
{
    Tricot model(2, 2, 1.0, 1.0);
    Octopus &lower = place(model, 0, 0, 0.0, 0.0);
    Octopus &upper = place(model, 0, 1, 0.3, 1.0);
    lower.loopShade = 0.5;
    upper.loopShade = 0.25;
    Octopus &lone = place(model, 1, 1, 0.0, 0.0);
    lone.scatterX = lone.scatterY = 9.0;
    model.NodeAt(1, 0).scatterX = 4.0;
    model.ScatterFromBelow();
    // (0.3, 1.0) turned by a right angle, times 0.2 × 0.5 + 0.05.
    EXPECT_DOUBLE_EQ(upper.scatterX, -0.15 * 1.0);
    EXPECT_DOUBLE_EQ(upper.scatterY, 0.15 * 0.3);
    // Course 0 lies above the last course of the previous repeat, at y = 1 - 2.
    EXPECT_DOUBLE_EQ(lower.scatterX, -0.1 * 1.0);
    EXPECT_DOUBLE_EQ(lower.scatterY, 0.1 * -0.3);
    EXPECT_EQ(lone.scatterX, 0.0);
    EXPECT_EQ(lone.scatterY, 0.0);
    EXPECT_EQ(model.NodeAt(1, 0).scatterX, 4.0);
    EXPECT_EQ(Tricot(0, -3, 1.0, 1.0).nodes.size(), 1u);
}

// The yarn of one bar at one node: loop, links with their ends' scatter, laid-in pieces.
TEST(TricotRunIn, MeasuresLoopLinksAndPieces)
{
    TexLayer design;
    const Yarn *yarn = &design.yarns[0];
    Tricot model(4, 2, 0.5, 1.0);
    Octopus &node = place(model, 1, 0, 1.0, 0.0, 1);
    node.scatterX = 0.1;
    node.scatterY = 0.2;
    node.loops.push_back({0, yarn, 1, 100, 0});
    node.loops.push_back({1, yarn, 1, 100, 0});
    place(model, 1, 1, 1.3, 0.5);
    Octopus &target = place(model, 3, 1, 3.0, 0.5);
    target.scatterX = -0.1;
    target.scatterY = 0.05;
    place(model, 0, 0, 0.1, 0.05);
    model.NodeAt(2, 0).x = 2.0;

    node.links.push_back({0, yarn, 3, 1, 1, 1, 100, 0});
    node.links.push_back({0, yarn, 3, 1, 0, 1, 100, 0}); // sheared: no yarn
    node.links.push_back({1, yarn, 3, 1, 1, 1, 100, 0}); // another bar
    // To (4, 2): node (0, 0) one repeat right and up; its left neighbour (3, 0) is empty.
    node.underlaps.push_back({0, yarn, 4, 2, 1, 1, 3, 100, 0});
    // To (2, 0), from the left neighbour to the middle of (2, 0) and (1, 0).
    node.underlaps.push_back({0, yarn, 2, 0, 2, 4, 2, 100, 0});

    // endChoice 1: (target + its scatter) − (node − its scatter).
    const double pieces = std::hypot(2.9 - 0.9, 0.55 - (-0.2)) + std::hypot(4.1 - 0.82, 1.05 - 0.01)
                          + std::hypot(1.5 - 0.1, 0.0 - 0.05);
    const auto expected = [&](double d) {
        return int32_t((7.28 * d + 2.05 * std::sqrt(0.09 + 0.25 + 4.0 * d * d) + pieces) * 480.0);
    };
    // Diameters: d3 for formula 2, d2 by filaments for 1, d1 for every other formula index.
    EXPECT_EQ(model.OptimizedRunInAt(node, 1, 2, 0, 0), expected(0.0114 * std::sqrt(40.0)));
    EXPECT_EQ(model.OptimizedRunInAt(node, 1, 1, 0, 0), expected(0.019 * std::sqrt(237.0) / 3.0));
    EXPECT_EQ(model.OptimizedRunInAt(node, 1, 7, 0, 0), expected(0.01371 * std::sqrt(40.0)));
    // A loop that is not held measures no loop and no diameter; nothing of bar 2 lies here.
    node.closed = 0;
    EXPECT_EQ(model.OptimizedRunInAt(node, 1, 2, 0, 0), int32_t(pieces * 480.0));
    EXPECT_EQ(model.OptimizedRunInAt(node, 1, 2, 2, 0), 0);
}

// Two builds and relaxations of one design give the same model, bit for bit.
TEST(TricotModel, DeterministicAndDumped)
{
    Tex a = BarWithLaps({{1, 0}, {1, 2}, {1, 0}, {2, 3}});
    Tex b = BarWithLaps({{2, 3}, {1, 1}, {1, 1}, {1, 0}});
    b.carryFloat[1] = 1;
    Tex c = oneNeedle(BarWithLaps({{0, 0}, {3, 3}, {0, 0}, {3, 3}}), 2);
    Tex d = BarWithLaps({{1, 0}, {2, 2}, {1, 0}, {1, 2}});
    d.courseStates[3].ratio = 70;
    TexLayer design = designOf({a, b, c, d});
    design.yarns.push_back(Yarn{});
    design.yarns[1].material = MaterialSpandex;
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
    const QJsonValue node = QJsonDocument::fromJson(dumps[0])[u"nodes"][10];
    EXPECT_EQ(node[u"wale"].toInt(), 2);
    EXPECT_EQ(node[u"course"].toInt(), 1);

    // A yarn is dumped by its index; one outside the list as -1.
    Tricot stray(1, 1, 1.0, 1.0);
    const Yarn other;
    stray.nodes[0].loops.push_back({0, &other, 1, 100, 0});
    stray.nodes[0].loops.push_back({0, &design.yarns[1], 1, 100, 0});
    const QJsonValue loops = ModelToJson(stray, design.yarns)[u"nodes"][0][u"loops"];
    EXPECT_EQ(loops[0][u"yarn"].toInt(), -1);
    EXPECT_EQ(loops[1][u"yarn"].toInt(), 1);
    EXPECT_TRUE(loops[2].isUndefined());
}
