#include "capture/measuresession.h"

#include <gtest/gtest.h>

using namespace warplon;

TEST(MeasureSession, ClicksBuildEachKindAndInfoFollows)
{
    MeasureSession session;
    session.Click({1, 1}, false, 9.375);
    session.Click({2, 2}, false, 9.375);
    EXPECT_EQ(session.InfoText(), QStringLiteral("2"));

    session.SetObjectType(MeasureLine);
    session.Click({0, 0}, false, 9.375);
    EXPECT_EQ(session.clickStage(), 1);
    EXPECT_EQ(session.InfoText(), QStringLiteral("0 um"));
    EXPECT_TRUE(session.Move({50, 0}, 9.375));
    EXPECT_EQ(session.objects().back().label, QStringLiteral("469 um")); // 468.75
    session.Click({100, 0}, false, 9.375);
    EXPECT_EQ(session.clickStage(), 0);
    EXPECT_EQ(session.InfoText(), QStringLiteral("938 um"));
    EXPECT_EQ(session.objects().size(), 3u);

    // Three clicks make one triangle; a change of type in between starts afresh.
    session.SetObjectType(MeasureTriangle);
    session.Click({0, 0}, false, 1.0);
    session.SetObjectType(MeasureTriangle);
    session.Click({0, 0}, false, 1.0);
    session.Click({100, 0}, false, 1.0);
    EXPECT_EQ(session.objects().size(), 3u);
    session.Click({30, 40}, false, 1.0);
    ASSERT_EQ(session.objects().size(), 4u);
    EXPECT_EQ(session.objects().back().points, (std::vector<QPoint>{{0, 0}, {100, 0}, {30, 40}}));

    session.SetObjectType(MeasureCircle);
    session.Click({0, 0}, false, 1.0);
    session.Click({5, 0}, false, 1.0);
    EXPECT_EQ(session.objects().back().radius, 3);

    session.Undo();
    session.Undo();
    EXPECT_EQ(session.objects().size(), 3u);
    EXPECT_EQ(session.InfoText(), QStringLiteral("938 um"));
}

TEST(MeasureSession, PolygonMovesItsVertexAndClosesWithCtrl)
{
    MeasureSession session;
    session.SetObjectType(MeasurePolygon);
    session.Click({0, 0}, true, 1.0); // Ctrl on the first click only starts it
    session.Click({40, 0}, false, 1.0);
    session.Click({40, 30}, false, 1.0);
    session.Click({20, 10}, false, 1.0);
    session.Click({0, 30}, false, 1.0);
    EXPECT_TRUE(session.Move({7, 7}, 1.0));
    EXPECT_EQ(session.objects().back().points.back(), QPoint(7, 7));
    EXPECT_TRUE(session.objects().back().label.isEmpty());
    session.Click({99, 99}, true, 1.0); // the closing click adds no vertex
    ASSERT_EQ(session.objects().size(), 1u);
    const MeasureObject &polygon = session.objects().back();
    EXPECT_EQ(polygon.points,
              (std::vector<QPoint>{{0, 0}, {40, 0}, {40, 30}, {20, 10}, {0, 30}, {0, 0}}));
    EXPECT_EQ(polygon.label, QStringLiteral("L = 157 um, S = 800 um") + QChar(0x00B2));
    EXPECT_EQ(session.clickStage(), 0);
    EXPECT_FALSE(session.Move({1, 1}, 1.0));
}

// A new magnification relabels what was measured before it; the polygon still being drawn has
// no label yet and keeps its moving vertex.
TEST(MeasureSession, CalibrationChangeRelabelsTheObjects)
{
    MeasureSession session;
    session.SetObjectType(MeasureLine);
    session.Click({0, 0}, false, 1.0);
    session.Click({100, 0}, false, 1.0);
    session.SetObjectType(MeasureCircle);
    session.Click({0, 0}, false, 1.0);
    session.Click({0, 10}, false, 1.0);
    session.SetObjectType(MeasurePolygon);
    session.Click({0, 0}, false, 1.0);
    session.Click({10, 0}, false, 1.0);
    session.Click({10, 10}, true, 1.0);
    session.Click({5, 5}, false, 1.0);
    session.Move({6, 6}, 1.0);

    session.Relabel(9.375);
    const std::vector<MeasureObject> &objects = session.objects();
    ASSERT_EQ(objects.size(), 4u);
    EXPECT_EQ(objects[0].label, QStringLiteral("938 um"));
    // r = 5 px: L = 10 px = 93.75 um -> 94; S = 25 pi px² * 87.890625 = 6903.0 um²
    EXPECT_EQ(objects[1].label, QStringLiteral("L = 94 um, S = 6903 um") + QChar(0x00B2));
    EXPECT_EQ(objects[2].label, QStringLiteral("L = 188 um, S = 0 um") + QChar(0x00B2));
    EXPECT_TRUE(objects[3].label.isEmpty());
    EXPECT_EQ(objects[3].points.back(), QPoint(6, 6));
}
