#include "app/progressform.h"
#include "app/windowprogress.h"

#include <QKeyEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace warplon;

TEST(ProgressWindow, PercentIsLimitedAndZeroHidesTheWindow)
{
    TProgress_F window;
    EXPECT_EQ(window.size(), QSize(392, 43));
    EXPECT_EQ(window.fullBarWidth(), 294); // 300-pixel panel less 3 pixels on each side

    window.SetPercent(150);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.percent(), 100);
    EXPECT_EQ(window.barWidth(), 294);
    EXPECT_EQ(window.percentText(), QStringLiteral("100%"));

    window.SetPercent(-5);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.barWidth(), 0);
    EXPECT_EQ(window.percentText(), QStringLiteral("0%"));

    window.SetPercent(50);
    EXPECT_EQ(window.barWidth(), 147);
    EXPECT_EQ(window.percentText(), QStringLiteral("50%"));
}

TEST(ProgressWindow, RunIsPlacedOverTheAnchorAndAStepHidesUntilWorkIsReported)
{
    QWidget host;
    host.setGeometry(40, 30, 700, 500);
    QWidget anchor(&host);
    anchor.setGeometry(50, 20, 601, 401); // the anchor's own position plays no part
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));

    TProgress_F window(&host);
    {
        WindowProgress progress(window, QStringLiteral("Stitch model"), &anchor);
        EXPECT_TRUE(window.isVisible());
        EXPECT_EQ(window.windowTitle(), QStringLiteral("Stitch model"));
        const QSize outer = window.frameGeometry().size();
        EXPECT_EQ(window.frameGeometry().topLeft(),
                  host.mapToGlobal(QPoint(300 - outer.width() / 2, 200 - outer.height() / 2)));

        progress.SetPercent(40);
        progress.Step(QStringLiteral("Painting"));
        EXPECT_EQ(window.windowTitle(), QStringLiteral("Painting"));
        EXPECT_FALSE(window.isVisible());
        EXPECT_EQ(window.barWidth(), 0);
        progress.SetPercent(0);
        EXPECT_FALSE(window.isVisible());
        progress.SetPercent(1);
        EXPECT_TRUE(window.isVisible());
        EXPECT_EQ(window.percentText(), QStringLiteral("1%"));
    }
    EXPECT_FALSE(window.isVisible()); // the end of the run closes it
}

TEST(ProgressWindow, EscStopsTheRunAndOtherInputWaitsUntilItEnds)
{
    QWidget host;
    host.resize(400, 300);
    QPushButton button(QStringLiteral("Simulate"), &host);
    button.setGeometry(10, 10, 100, 30);
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    QSignalSpy clicks(&button, &QPushButton::clicked);

    TProgress_F window(&host);
    {
        WindowProgress progress(window, QStringLiteral("Simulation"), &host);
        EXPECT_FALSE(progress.StopRequested());

        // A click and a key on the main window while the calculation reports are held back.
        const QPointF inside(5, 5);
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
            QCoreApplication::postEvent(
                &button,
                new QMouseEvent(type, inside, button.mapToGlobal(inside), Qt::LeftButton,
                                type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                                Qt::NoModifier));
        for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease})
            QCoreApplication::postEvent(
                &button, new QKeyEvent(type, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" ")));
        progress.SetPercent(10);
        EXPECT_EQ(clicks.count(), 0);
        EXPECT_FALSE(progress.StopRequested());

        // Esc pressed in any window of the program asks the calculation to stop.
        QCoreApplication::postEvent(
            &button, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
        progress.SetPercent(20);
        EXPECT_TRUE(progress.StopRequested());
        EXPECT_TRUE(window.isVisible()); // the window stays until the calculation returns
    }
    // After the run the program takes input again, and the next run starts afresh.
    QTest::keyClick(&button, Qt::Key_Space);
    EXPECT_EQ(clicks.count(), 1);
    WindowProgress next(window, QStringLiteral("Simulation"), &host);
    EXPECT_FALSE(next.StopRequested());
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_TRUE(next.StopRequested());
}
