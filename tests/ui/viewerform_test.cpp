#include "app/viewerform.h"
#include "testsupport.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

using namespace warplon;
using warplon::test::TempDir;

namespace {

// A picture whose every pixel differs, so a shifted or cropped copy cannot pass for it.
QImage Gradient(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, qRgb(x % 256, y % 256, (x / 256 + y / 256 * 4) * 16));
    return picture;
}

} // namespace

TEST(ViewerWindow, FillSizesTheWindowToThePictureAndStartsAtItsTopLeft)
{
    TempDir dir;
    TViewer_F viewer(dir.path(), QStringLiteral("English"));
    // No language file: the English texts stand in.
    EXPECT_EQ(viewer.windowTitle(), QStringLiteral("Image Viewer"));
    EXPECT_EQ(viewer.pmvToClipBoard->text(), QStringLiteral("&Copy"));
    EXPECT_EQ(viewer.pmvSave->text(), QStringLiteral("&Save"));

    viewer.Fill(Gradient(300, 200));
    viewer.scHori->setValue(70);
    viewer.Fill(Gradient(240, 180));
    EXPECT_TRUE(viewer.isVisible());
    EXPECT_EQ(viewer.size(), QSize(240, 180));
    EXPECT_EQ(viewer.Image->size(), QSize(240, 180));
    EXPECT_EQ(viewer.Image->pos(), QPoint(0, 0));
    EXPECT_EQ(viewer.scHori->value(), 0);
    // The bars take 16 pixels of the client, so that much of the picture is hidden.
    EXPECT_TRUE(viewer.scHori->isEnabled());
    EXPECT_TRUE(viewer.scVert->isEnabled());

    const QSize screen = viewer.screen()->availableSize();
    viewer.Fill(Gradient(screen.width() + 500, 50));
    EXPECT_LE(viewer.width() + 6, screen.width());
    EXPECT_EQ(viewer.Image->width(), screen.width() + 500);
}

TEST(ViewerWindow, NarrowPictureKeepsItsBarDisabledAtTheLeft)
{
    TViewer_F viewer(QString(), QStringLiteral("English"));
    viewer.Fill(Gradient(100, 600));
    viewer.resize(300, 200);
    EXPECT_FALSE(viewer.scHori->isEnabled());
    EXPECT_TRUE(viewer.scVert->isEnabled());

    QTest::keyClick(viewer.focusEater, Qt::Key_Right);
    QTest::keyClick(viewer.focusEater, Qt::Key_Down);
    QTest::mousePress(viewer.Image, Qt::LeftButton, {}, QPoint(60, 100));
    QTest::mouseRelease(viewer.Image, Qt::LeftButton, {}, QPoint(10, 100));
    EXPECT_EQ(viewer.scHori->value(), 0);
    EXPECT_EQ(viewer.Image->x(), 0);
    EXPECT_EQ(viewer.scVert->value(), 1);
}

TEST(ViewerWindow, DragKeysAndDoubleClickMoveAndCloseThePicture)
{
    TViewer_F viewer(QString(), QStringLiteral("English"));
    viewer.Fill(Gradient(1000, 800));
    viewer.resize(416, 316); // 600 by 500 pixels do not fit

    // Dragging 150 pixels left and 50 up shows a quarter and a tenth of what was hidden.
    QTest::mousePress(viewer.Image, Qt::LeftButton, {}, QPoint(300, 200));
    EXPECT_EQ(viewer.Image->cursor().shape(), Qt::SizeAllCursor);
    QTest::mouseRelease(viewer.Image, Qt::LeftButton, {}, QPoint(150, 150));
    EXPECT_EQ(viewer.scHori->value(), 25);
    EXPECT_EQ(viewer.scVert->value(), 10);
    EXPECT_EQ(viewer.Image->pos(), QPoint(-150, -50));
    EXPECT_NE(viewer.Image->cursor().shape(), Qt::SizeAllCursor);

    // A click where the mouse went down leaves the picture where it is.
    QTest::mousePress(viewer.Image, Qt::LeftButton, {}, QPoint(400, 300));
    QTest::mouseRelease(viewer.Image, Qt::LeftButton, {}, QPoint(400, 300));
    EXPECT_EQ(viewer.Image->pos(), QPoint(-150, -50));

    QTest::keyClick(viewer.focusEater, Qt::Key_Right);
    QTest::keyClick(viewer.focusEater, Qt::Key_Up);
    EXPECT_EQ(viewer.scHori->value(), 26);
    EXPECT_EQ(viewer.scVert->value(), 9);
    EXPECT_EQ(viewer.Image->pos(), QPoint(-156, -45));

    QTest::mouseDClick(viewer.Image, Qt::LeftButton, {}, QPoint(200, 200));
    EXPECT_FALSE(viewer.isVisible());
}

TEST(ViewerWindow, CopyPutsTheWholePictureOnTheClipboard)
{
    TViewer_F viewer(QString(), QStringLiteral("English"));
    const QImage picture = Gradient(321, 123);
    viewer.Fill(picture);
    viewer.pmvToClipBoard->trigger();
    const QImage copied = QApplication::clipboard()->image();
    ASSERT_EQ(copied.size(), picture.size());
    EXPECT_EQ(copied.convertToFormat(QImage::Format_RGB888), picture);
}
