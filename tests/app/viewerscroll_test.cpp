#include "app/viewerscroll.h"

#include <gtest/gtest.h>

using namespace warplon;

TEST(ViewerScroll, PictureThatFitsDisablesTheBarAndStaysAtTheEdge)
{
    // The client area less the 16-pixel bar is 184 wide: pictures up to 184 fit.
    for (int32_t picture : {1, 100, 184}) {
        SCOPED_TRACE(picture);
        EXPECT_FALSE(ViewerBarEnabled(picture, 200));
        EXPECT_EQ(ViewerPictureOffset(60, picture, 200), 0);
        EXPECT_EQ(ViewerPositionAfterDrag(60, 0, 150, 20, picture, 200), 0);
    }
    EXPECT_TRUE(ViewerBarEnabled(185, 200));
}

TEST(ViewerScroll, OffsetIsAShareOfWhatDoesNotFit)
{
    // 1000 - (416 - 16) = 600 pixels do not fit.
    EXPECT_EQ(ViewerOverflow(1000, 416), 600);
    EXPECT_EQ(ViewerPictureOffset(0, 1000, 416), 0);
    EXPECT_EQ(ViewerPictureOffset(33, 1000, 416), -198);
    EXPECT_EQ(ViewerPictureOffset(100, 1000, 416), -600);
    EXPECT_EQ(ViewerPictureOffset(150, 1000, 416), -600); // positions beyond the bar's range
    EXPECT_EQ(ViewerPictureOffset(-3, 1000, 416), 0);
    EXPECT_EQ(ViewerPictureOffset(50, 31, 16), -15); // a 31-pixel picture in a 16-pixel client
}

TEST(ViewerScroll, DragFollowsTheMouseAndAClickDoesNotJump)
{
    // Dragging 150 pixels to the left from the start shows a quarter of the hidden 600.
    EXPECT_EQ(ViewerPositionAfterDrag(0, 0, 300, 150, 1000, 416), 25);
    // From the middle (offset -300), dragging right by 60 pixels goes back 10 per cent.
    EXPECT_EQ(ViewerPositionAfterDrag(50, -300, 100, 160, 1000, 416), 40);
    // Dragging past either end holds the position at the bar's ends.
    EXPECT_EQ(ViewerPositionAfterDrag(0, 0, 100, 900, 1000, 416), 0);
    EXPECT_EQ(ViewerPositionAfterDrag(90, -540, 900, 10, 1000, 416), 100);

    // With 66 pixels hidden, position 1 puts the picture at 0 (66 / 100 truncates), from where
    // the drag formula alone would give 0 again: releasing in place keeps 1.
    ASSERT_EQ(ViewerPictureOffset(1, 166, 116), 0);
    EXPECT_EQ(ViewerPositionAfterDrag(1, 0, 40, 40, 166, 116), 1);
    for (int32_t position : {0, 7, 63, 100}) {
        const int32_t offset = ViewerPictureOffset(position, 1000, 416);
        EXPECT_EQ(ViewerPositionAfterDrag(position, offset, 77, 77, 1000, 416), position);
    }
}

TEST(ViewerScroll, ClientTakesThePictureAsFarAsTheScreenAllows)
{
    EXPECT_EQ(ViewerClientSize(QSize(400, 300), QSize(1920, 1040)), QSize(400, 300));
    // The window with its frame (6 across, 25 down) must fit the free screen area.
    EXPECT_EQ(ViewerClientSize(QSize(5000, 300), QSize(1920, 1040)), QSize(1914, 300));
    EXPECT_EQ(ViewerClientSize(QSize(400, 3000), QSize(1920, 1040)), QSize(400, 1015));
    // A tiny picture still leaves room for both bars.
    const QSize tiny = ViewerClientSize(QSize(3, 2), QSize(1920, 1040));
    EXPECT_GT(tiny.width(), 2 * kViewerBarSize);
    EXPECT_GT(tiny.height(), 2 * kViewerBarSize);
}
