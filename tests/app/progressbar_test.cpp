#include "app/progressbar.h"

#include <gtest/gtest.h>

using namespace warplon;

TEST(ProgressBar, PercentIsLimitedAndTheBarIsAWholeShareOfItsWidth)
{
    const int32_t full = ProgressInnerFullWidth(300);
    EXPECT_EQ(full, 294);
    EXPECT_EQ(ProgressInnerFullWidth(5), 0);

    struct Case
    {
        int32_t reported;
        int32_t percent;
        int32_t width;
        const char *text;
        bool visible;
    };
    const Case cases[] = {
        {150, 100, 294, "100%", true},
        {-5, 0, 0, "0%", false},
        {0, 0, 0, "0%", false},
        {1, 1, 2, "1%", true},
        {50, 50, 147, "50%", true},
        {99, 99, 291, "99%", true},
        {INT32_MAX, 100, 294, "100%", true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.reported);
        const ProgressBarState state = ProgressBarFor(c.reported, full);
        EXPECT_EQ(state.percent, c.percent);
        EXPECT_EQ(state.innerWidth, c.width);
        EXPECT_EQ(state.text, QString::fromLatin1(c.text));
        EXPECT_EQ(state.visible, c.visible);
    }
    EXPECT_EQ(ProgressBarFor(80, -10).innerWidth, 0);
}

TEST(ProgressBar, WindowIsCentredOnTheAnchorWithTruncatedHalves)
{
    // 601 / 2 = 300 and 43 / 2 = 21: both halves drop their remainder before subtracting.
    EXPECT_EQ(CentredOn(QSize(801, 601), QSize(392, 43)), QPoint(400 - 196, 300 - 21));
    EXPECT_EQ(CentredOn(QSize(800, 600), QSize(393, 45)), QPoint(400 - 196, 300 - 22));
    // An anchor smaller than the window puts the window above and left of the parent's origin.
    EXPECT_EQ(CentredOn(QSize(100, 20), QSize(392, 43)), QPoint(50 - 196, 10 - 21));
}
