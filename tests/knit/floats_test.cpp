#include "knit/floats.h"

#include "knit/threading.h"
#include "knit/tricot.h"
#include "simulation/floatoverlay.h"

#include "testsupport.h"

#include <gtest/gtest.h>

#include <QImage>

#include <utility>

using namespace warplon;
using namespace warplon::test;

namespace {

using Laps = std::initializer_list<std::pair<int32_t, int32_t>>;

Tex barWith(Laps laps, std::vector<uint8_t> carry = {})
{
    Tex bar = BarWithLaps(laps);
    if (!carry.empty())
        bar.carryFloat = std::move(carry);
    return bar;
}

TexLayer designOf(std::vector<Tex> bars)
{
    TexLayer design;
    design.bars = std::move(bars);
    return design;
}

MainData headerWithGauge(int32_t gauge)
{
    MainData header;
    header.gauge = gauge;
    return header;
}

struct Expected
{
    int32_t course;
    int32_t courses;
    int32_t needles;
    FloatKind kind;
};

void expectFloats(const std::vector<CourseFloat> &floats, std::vector<Expected> expected)
{
    ASSERT_EQ(floats.size(), expected.size());
    for (size_t i = 0; i < floats.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "float " << i);
        EXPECT_EQ(floats[i].course, expected[i].course);
        EXPECT_EQ(floats[i].courses, expected[i].courses);
        EXPECT_EQ(floats[i].needles, expected[i].needles);
        EXPECT_EQ(floats[i].kind, expected[i].kind);
    }
}

// The middle bar of these designs: a loop in course 0, laid in at gaps 3 and 5 in courses 1 and
// 2, a loop in course 3.
Tex middleBar(std::vector<uint8_t> carry = {})
{
    return barWith({{1, 0}, {3, 3}, {5, 5}, {2, 3}}, std::move(carry));
}

Tex plainBar()
{
    return barWith({{1, 0}, {1, 2}, {1, 0}, {1, 2}});
}

} // namespace

// 1-0/3-4 at gauge 28, worked by hand: the underlap of course 1 runs from gap 0 to gap 3, three
// needles of 25.4 / 28 mm each, 2.7214 mm; the one of course 2 from gap 4 back to gap 1 of course
// 1, three needles again.
TEST(Floats, UnderlapsOfAnOrdinaryBarInNeedlesAndMillimetres)
{
    const TexLayer layer = designOf({barWith({{1, 0}, {3, 4}})});
    const std::vector<CourseFloat> floats = BarFloats(layer, 0, 28);
    expectFloats(floats, {{0, 1, 3, FloatKind::Underlap}, {1, 1, 3, FloatKind::Underlap}});
    EXPECT_EQ(floats[0].from, 0);
    EXPECT_EQ(floats[0].to, 3);
    EXPECT_NEAR(floats[0].millimetres, 2.7214, 1e-4);
    EXPECT_EQ(floats[1].from, 4);
    EXPECT_EQ(floats[1].to, 1);
    EXPECT_EQ(FloatText(floats[0]), QStringLiteral("Layer 1, course 1: float 2.7 mm"));

    // Three different underlaps: the last course's runs to course 0 (5 -> 1), not to itself.
    const TexLayer three = designOf({plainBar(), barWith({{1, 0}, {3, 4}, {6, 5}})});
    const std::vector<CourseFloat> back = BarFloats(three, 1, 28);
    expectFloats(back, {{0, 1, 3, FloatKind::Underlap},
                        {1, 1, 2, FloatKind::Underlap},
                        {2, 1, 4, FloatKind::Underlap}});
    EXPECT_EQ(back[2].bar, 1);
    EXPECT_EQ(back[2].from, 5);
    EXPECT_EQ(back[2].to, 1);
    // Eight needles at gauge 28 are 7.257 mm, shown with one decimal.
    CourseFloat eight = back[2];
    eight.millimetres = FloatMillimetres(8, 28);
    eight.course = 2;
    EXPECT_EQ(FloatText(eight), QStringLiteral("Layer 2, course 3: float 7.3 mm"));
}

// A bar that never loops floats from each laid-in point to the next one, the last back to the
// first.
TEST(Floats, LaidInBarFromPointToPoint)
{
    const TexLayer layer
        = designOf({barWith({{0, 1}, {1, 0}, {0, 1}}), barWith({{0, 0}, {2, 2}, {5, 5}})});
    const std::vector<CourseFloat> floats = BarFloats(layer, 1, 28);
    expectFloats(
        floats,
        {{0, 1, 2, FloatKind::LaidIn}, {1, 1, 3, FloatKind::LaidIn}, {2, 1, 5, FloatKind::LaidIn}});
    EXPECT_NEAR(floats[2].millimetres, 5 * 25.4 / 28, 1e-9);
}

// The same lapping held in different ways: a middle bar without carryFloat is held at every
// laid-in point, carryFloat lets the yarn float on to the next loop, and the front bar always
// floats to the next loop.
TEST(Floats, MiddleBarFloatWalkAndCarriedFloats)
{
    const std::vector<CourseFloat> walk
        = BarFloats(designOf({plainBar(), middleBar(), plainBar()}), 1, 28);
    expectFloats(walk, {{0, 1, 3, FloatKind::Walk},
                        {1, 1, 2, FloatKind::Walk},
                        {2, 1, 3, FloatKind::Walk},
                        {3, 1, 2, FloatKind::Underlap}});

    const std::vector<CourseFloat> carried
        = BarFloats(designOf({plainBar(), middleBar({0, 1, 1, 0}), plainBar()}), 1, 28);
    expectFloats(carried, {{0, 3, 2, FloatKind::Carried}, {3, 1, 2, FloatKind::Underlap}});
    EXPECT_EQ(carried[0].from, 0);
    EXPECT_EQ(carried[0].to, 2);

    // Carried over course 2 only: held at gap 3 in course 1, then on to the loop of course 3.
    const std::vector<CourseFloat> partly
        = BarFloats(designOf({plainBar(), middleBar({0, 0, 1, 0}), plainBar()}), 1, 28);
    expectFloats(
        partly,
        {{0, 1, 3, FloatKind::Walk}, {1, 2, 1, FloatKind::Walk}, {3, 1, 2, FloatKind::Underlap}});

    const std::vector<CourseFloat> front = BarFloats(designOf({middleBar(), plainBar()}), 0, 28);
    expectFloats(front, {{0, 3, 2, FloatKind::Carried}, {3, 1, 2, FloatKind::Underlap}});

    // Courses the yarn is carried over belong to the float that started before them.
    EXPECT_EQ(FloatAtCourse(carried, 1, 2, 4), &carried[0]);
    EXPECT_EQ(FloatAtCourse(carried, 1, 3, 4), &carried[1]);
    EXPECT_EQ(FloatAtCourse(carried, 0, 2, 4), nullptr);
}

// The floats are read from a model of one needle; the simulation's model of the whole repeat,
// threaded 1 in 1 out and shifted, must hold the same pieces for every needle.
TEST(Floats, AgreeWithTheStitchModelOfTheWholeRepeat)
{
    TexLayer layer = designOf({plainBar(), middleBar({0, 0, 1, 0}), middleBar(),
                               barWith({{0, 0}, {2, 2}, {5, 5}, {1, 1}})});
    for (Tex &bar : layer.bars) {
        bar.threading = {{0, 1, 1, 0}, {0, 1, 0, 0}};
        bar.shift = 3;
    }
    constexpr int32_t kWales = 12;
    constexpr int32_t kCourses = 4;
    Tricot model(kWales, kCourses, 1.0, 1.0);
    DirectionMemory directions;
    model.Build(layer, {0, 0, 0, 0}, nullptr, directions);

    for (int32_t b = 0; b < 4; ++b) {
        const std::vector<CourseFloat> floats = BarFloats(layer, b, 28);
        int pieces = 0;
        for (int32_t c = 0; c < kCourses; ++c) {
            for (int32_t w = 0; w < kWales; ++w) {
                const Octopus &node = model.NodeAt(w, c);
                std::vector<int32_t> spans;
                for (const LapLink &link : node.links) {
                    if (link.bar == b && link.targetCourse != c)
                        spans.push_back(link.targetCourse - c);
                }
                for (const UnderlapLink &piece : node.underlaps) {
                    if (piece.bar == b)
                        spans.push_back(piece.targetCourse - c);
                }
                for (int32_t span : spans) {
                    SCOPED_TRACE(testing::Message()
                                 << "bar " << b << " wale " << w << " course " << c);
                    const CourseFloat *f = FloatAtCourse(floats, b, c, kCourses);
                    ASSERT_NE(f, nullptr);
                    EXPECT_EQ(f->course, c);
                    EXPECT_EQ(f->courses, span);
                    ++pieces;
                }
            }
        }
        // Six threaded needles, each laying every float of the bar once.
        EXPECT_EQ(pieces, 6 * int(floats.size())) << "bar " << b;
    }
}

TEST(Floats, LimitAndGauge)
{
    const MainData header = headerWithGauge(28);
    const TexLayer layer = designOf({barWith({{1, 0}, {1, 2}}), barWith({{3, 4}, {1, 0}})});
    // Sharkskin: the back bar's three-needle underlaps (2.72 mm) in both courses.
    const std::vector<CourseFloat> over = FindLongFloats(header, layer, 2.0);
    ASSERT_EQ(over.size(), 2u);
    EXPECT_EQ(over[0].bar, 1);
    EXPECT_EQ(over[1].course, 1);
    EXPECT_EQ(FindLongFloats(header, layer, 2.72).size(), 2u);
    EXPECT_TRUE(FindLongFloats(header, layer, 2.73).empty());
    // The front bar's one-needle underlaps are 0.907 mm.
    EXPECT_EQ(FindLongFloats(header, layer, 0.9).size(), 4u);
    // 0 is off, not "every float".
    EXPECT_TRUE(FindLongFloats(header, layer, 0.0).empty());
    EXPECT_FALSE(ExceedsLimit(over[0], 0.0));

    // Gauge 0 gives no lengths and no warnings, and still the needles.
    const MainData noGauge = headerWithGauge(0);
    EXPECT_TRUE(FindLongFloats(noGauge, layer, 0.5).empty());
    const std::vector<CourseFloat> floats = DesignFloats(noGauge, layer);
    ASSERT_EQ(floats.size(), 4u);
    EXPECT_EQ(floats[2].needles, 3);
    EXPECT_EQ(floats[2].millimetres, 0.0);
    EXPECT_EQ(FloatMillimetres(3, -5), 0.0);
}

// Outlines in the chart: the needles the float passes, drawn from the bar's threading start, in
// its course rows; a float carried over the last row goes on in row 0.
TEST(Floats, ChartMarksCoverTheFloatsCells)
{
    TexLayer layer = designOf({plainBar(), barWith({{3, 3}, {5, 5}, {2, 3}, {1, 0}})});
    layer.bars[0].shift = 2;
    const LappingGeometry geometry = ChartGeometry(layer, 10, 240, 40);
    const std::vector<CourseFloat> floats = DesignFloats(headerWithGauge(28), layer);

    // Bar 0, course 1: 0 -> 1 passes needle 0, drawn in column 2.
    const std::vector<CourseFloat> first{floats[0]};
    ASSERT_EQ(FloatMarkRects(layer, 0, first, geometry),
              std::vector<QRect>{CellFrame(geometry, 2, 2, 0, 0)});
    // Floats of another bar are not marked on this one.
    EXPECT_TRUE(FloatMarkRects(layer, 1, first, geometry).empty());

    // The back bar leaves course 4 at gap 0 and floats over courses 1 and 2 to gap 2 of course
    // 3: needles 0 and 1 in row 3, then in rows 0 and 1.
    const std::vector<CourseFloat> back = BarFloats(layer, 1, 28);
    expectFloats(back, {{2, 1, 2, FloatKind::Underlap}, {3, 3, 2, FloatKind::Carried}});
    EXPECT_EQ(
        FloatMarkRects(layer, 1, {back[1]}, geometry),
        (std::vector<QRect>{CellFrame(geometry, 0, 1, 3, 3), CellFrame(geometry, 0, 1, 0, 1)}));

    // The tooltip's float: the cells inside the outlines, and nothing beside them.
    EXPECT_EQ(FloatAtCell(layer, 1, back, {1, 0}), &back[1]);
    EXPECT_EQ(FloatAtCell(layer, 1, back, {0, 3}), &back[1]);
    EXPECT_EQ(FloatAtCell(layer, 1, back, {2, 3}), nullptr);
    EXPECT_EQ(FloatAtCell(layer, 1, back, {2, 2}), &back[0]);
    EXPECT_EQ(FloatAtCell(layer, 0, back, {1, 0}), nullptr);

    QImage canvas(240, 40, QImage::Format_RGB32);
    canvas.fill(Qt::black);
    PaintFloatMarks(canvas, layer, 0, first, geometry);
    const QRect frame = CellFrame(geometry, 2, 2, 0, 0);
    EXPECT_EQ(canvas.pixel(frame.topLeft()), kFloatWarningColor);
    EXPECT_EQ(canvas.pixel(frame.topLeft() + QPoint(1, 1)), kFloatWarningColor);
    EXPECT_EQ(canvas.pixel(frame.center()), qRgb(0, 0, 0));
}

// The overlay lies where the simulation puts the float: wale 0 at the right of the face and at
// the left of the back, course 0 at the bottom, in every repeat.
TEST(Floats, OverlayOnTheSimulatedPicture)
{
    // One threaded needle in a repeat of 8, laid in from gap 1 in course 1 to gap 5 in course 2.
    Tex bar = barWith({{1, 1}, {5, 5}});
    bar.threading = {{0, 1, 1, 0}, {0, 7, 0, 0}};
    const TexLayer layer = designOf({bar});
    const std::vector<CourseFloat> floats{BarFloats(layer, 0, 28).at(0)};
    SimulationGeometry g;
    g.wales = 8;
    g.courses = 2;
    g.repeatWidth = 80;
    g.repeatHeight = 20;
    g.xPitch = 10.0;
    g.yPitch = 10.0;
    const auto warm = [](QRgb pixel) { return qRed(pixel) > 100 && qBlue(pixel) < 40; };

    for (bool backView : {false, true}) {
        SCOPED_TRACE(backView ? "back" : "face");
        QImage picture(160, 40, QImage::Format_RGB32);
        picture.fill(Qt::black);
        PaintFloatOverlay(picture, g, layer, floats, backView);
        const auto column = [&](int x) { return backView ? x : 79 - x; };
        // Wale 0.5 of row 19 (course 0) to wale 4.5 of row 9 (course 1), model x 5 to 45, in
        // every repeat.
        for (int across : {0, 80}) {
            for (int down : {0, 20}) {
                EXPECT_TRUE(warm(picture.pixel(column(9) + across, 18 + down)));
                EXPECT_TRUE(warm(picture.pixel(column(25) + across, 14 + down)));
                EXPECT_TRUE(warm(picture.pixel(column(41) + across, 10 + down)));
                // Wales 6 and 7 and the mirrored place carry nothing.
                EXPECT_FALSE(warm(picture.pixel(column(68) + across, 14 + down)));
                EXPECT_FALSE(warm(picture.pixel(column(55) + across, 14 + down)));
            }
        }
    }

    // A float of two billion needles from a damaged file is left out instead of drawn across
    // millions of repeats.
    CourseFloat huge = floats[0];
    huge.to = 2000000000;
    huge.needles = huge.to - huge.from;
    QImage picture(160, 40, QImage::Format_RGB32);
    picture.fill(Qt::black);
    PaintFloatOverlay(picture, g, layer, {huge}, false);
    EXPECT_FALSE(warm(picture.pixel(79 - 9, 18)));
}
