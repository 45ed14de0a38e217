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
