#include "capture/measureobject.h"

#include <gtest/gtest.h>

using namespace warplon;

namespace {

QString squareUnit()
{
    return QStringLiteral("um") + QChar(0x00B2);
}

} // namespace

TEST(MeasureObject, LineLabelsRoundHalfUp)
{
    // 100 pixels at 9.375 um: 937.5 rounds up.
    EXPECT_EQ(MakeMeasureLine({0, 0}, {100, 0}, 9.375).label, QStringLiteral("938 um"));
    EXPECT_EQ(MakeMeasureLine({10, 20}, {70, 100}, 9.375).label, QStringLiteral("938 um"));
    EXPECT_EQ(MakeMeasureLine({5, 5}, {5, 5}, 9.375).label, QStringLiteral("0 um"));
    EXPECT_EQ(MakeMeasureLine({0, 0}, {3, 0}, 0.1).label, QStringLiteral("0 um"));
    EXPECT_EQ(RoundedSquareMicrometres(2000.0, 9.375), 175781); // 175781.25
    const MeasureObject line = MakeMeasureLine({1, 2}, {3, 4}, 1.0);
    EXPECT_EQ(line.kind, MeasureLine);
    EXPECT_EQ(line.anchor, QPoint(3, 4));
}

TEST(MeasureObject, TriangleHeightFromTheFootAndAreaFromTheCrossProduct)
{
    // Base (0,0)-(30,40) of length 50; apex (70,-5): cross product -2950, so the height is
    // 59 pixels and the area 1475; the foot lies at 0.76 of the base.
    const MeasureObject t = MakeMeasureTriangle({0, 0}, {30, 40}, {70, -5}, 2.0);
    EXPECT_EQ(t.kind, MeasureTriangle);
    EXPECT_EQ(t.label, QStringLiteral("H = 118 um, S = 5900 ") + squareUnit());
    EXPECT_NEAR(t.foot.x(), 22.8, 1e-9);
    EXPECT_NEAR(t.foot.y(), 30.4, 1e-9);
    EXPECT_EQ(t.anchor, QPoint(70, -5));

    EXPECT_EQ(MakeMeasureTriangle({0, 0}, {100, 0}, {30, 40}, 9.375).label,
              QStringLiteral("H = 375 um, S = 175781 ") + squareUnit());

    // A and B on one point: no base direction, so the height runs from A and there is no area.
    const MeasureObject flat = MakeMeasureTriangle({10, 10}, {10, 10}, {13, 14}, 2.0);
    EXPECT_EQ(flat.label, QStringLiteral("H = 10 um, S = 0 ") + squareUnit());
    EXPECT_EQ(flat.foot, QPointF(10, 10));
}

TEST(MeasureObject, CircleRadiusRoundsToWholePixelsFirst)
{
    // |A - B| = 5: r = trunc(2.5 + 0.5) = 3, the centre (2.5, 0) rounds to (3, 0).
    const MeasureObject c = MakeMeasureCircle({0, 0}, {5, 0}, 1.0);
    EXPECT_EQ(c.kind, MeasureCircle);
    EXPECT_EQ(c.radius, 3);
    EXPECT_EQ(c.centre, QPoint(3, 0));
    EXPECT_EQ(c.label, QStringLiteral("L = 6 um, S = 28 ") + squareUnit()); // 9 pi = 28.27
    // At 9.375: the diameter 56.25 and the area 9 pi 9.375^2 = 2485.05.
    EXPECT_EQ(MakeMeasureCircle({0, 0}, {5, 0}, 9.375).label,
              QStringLiteral("L = 56 um, S = 2485 ") + squareUnit());
    // |A - B| = 4.47: r = trunc(2.74) = 2; midpoint (1, 2) exact.
    const MeasureObject small = MakeMeasureCircle({0, 0}, {2, 4}, 1.0);
    EXPECT_EQ(small.radius, 2);
    EXPECT_EQ(small.centre, QPoint(1, 2));
}

TEST(MeasureObject, ConcavePolygonByShoelaceWithTheClosingEdge)
{
    // A 40 x 30 rectangle with a notch of 400 px² cut from its bottom edge; the perimeter
    // 40 + 30 + 2 * 28.28 + 30 = 156.57.
    const std::vector<QPoint> notched = {{0, 0}, {40, 0}, {40, 30}, {20, 10}, {0, 30}};
    const MeasureObject p = MakeMeasurePolygon(notched, 1.0);
    EXPECT_EQ(p.kind, MeasurePolygon);
    EXPECT_EQ(p.label, QStringLiteral("L = 157 um, S = 800 ") + squareUnit());
    ASSERT_EQ(p.points.size(), 6u);
    EXPECT_EQ(p.points.back(), p.points.front());
    EXPECT_EQ(MakeMeasurePolygon(notched, 2.0).label,
              QStringLiteral("L = 313 um, S = 3200 ") + squareUnit());
    // The other way round gives the same figures.
    const std::vector<QPoint> reversed(notched.rbegin(), notched.rend());
    EXPECT_EQ(MakeMeasurePolygon(reversed, 1.0).label, p.label);
}

TEST(MeasureObject, InfoLabelCountsPointsOrShowsTheLastLabel)
{
    std::vector<MeasureObject> objects;
    EXPECT_EQ(MeasureInfoText(objects), QString());
    objects.push_back(MakeMeasurePoint({1, 1}));
    objects.push_back(MakeMeasureLine({0, 0}, {100, 0}, 9.375));
    EXPECT_EQ(MeasureInfoText(objects), QStringLiteral("938 um"));
    objects.push_back(MakeMeasurePoint({2, 2}));
    EXPECT_EQ(MeasureInfoText(objects), QStringLiteral("2"));
    EXPECT_TRUE(objects.back().label.isEmpty());
}
