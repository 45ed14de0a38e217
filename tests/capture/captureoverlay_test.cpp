#include "capture/captureoverlay.h"

#include <QGuiApplication>

#include <gtest/gtest.h>

using namespace warplon;

namespace {

// Paints `text` asked for beyond the lower right corner of a white 200 x 100 picture and checks
// that every painted pixel lies in the label's box moved inside the picture, and that some of
// them carry the overlay colour.
void expectLabelInside(const QString &text, const OverlayStyle &style)
{
    QImage canvas(200, 100, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    PaintLabel(canvas, QPoint(190, 95), text, style);
    const QSize size = LabelSize(text, style);
    const QRect box(200 - size.width(), 100 - size.height(), size.width(), size.height());
    int ink = 0;
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 200; ++x) {
            if (canvas.pixel(x, y) == 0xffffffffu)
                continue;
            EXPECT_TRUE(box.contains(x, y)) << x << "," << y;
            ink += canvas.pixel(x, y) == style.color ? 1 : 0;
        }
    }
    EXPECT_GT(ink, 20);
}

} // namespace

TEST(CaptureOverlay, MarksPathAndLabelsLandWhereTheyShould)
{
    QImage image(200, 100, QImage::Format_RGB32);
    image.fill(Qt::white);
    OverlayStyle style;
    style.color = 0xff00ff00;
    style.markSize = 4;

    StitchGrid grid(2, 2);
    grid.at(0, 0) = QPoint(20, 20);
    grid.at(1, 0) = QPoint(180, 20);
    grid.at(0, 1) = QPoint(20, 80);
    grid.at(1, 1) = QPoint(180, 80);
    PaintGridPoints(image, grid, style);
    EXPECT_EQ(image.pixel(20, 20), style.color);
    EXPECT_EQ(image.pixel(21, 22), style.color);
    EXPECT_EQ(image.pixel(26, 20), 0xffffffffu);

    // A horizontal segment 10 pixels wide along y = 50.
    LappingPath path;
    path.segments.push_back({0, 0, 0, QPoint(40, 50), QPoint(160, 50)});
    PaintLappingPath(image, path, style);
    EXPECT_EQ(image.pixel(100, 46), style.color);
    EXPECT_EQ(image.pixel(100, 53), style.color);
    EXPECT_EQ(image.pixel(100, 57), 0xffffffffu);

    // A point drawn before a line and a triangle leaves them their pen, on a 24-bit picture as
    // the capture window keeps it.
    QImage picture(200, 100, QImage::Format_BGR888);
    picture.fill(Qt::white);
    const std::vector<MeasureObject> objects{
        MakeMeasurePoint({10, 10}), MakeMeasureLine({20, 60}, {180, 60}, 1.0),
        MakeMeasureTriangle({20, 90}, {100, 90}, {60, 70}, 1.0)};
    style.lineWidth = 2;
    PaintMeasureObjects(picture, objects, style);
    EXPECT_EQ(picture.pixel(10, 10), style.color);
    EXPECT_EQ(picture.pixel(100, 60), style.color);
    EXPECT_EQ(picture.pixel(60, 80), style.color); // the height line
    EXPECT_EQ(picture.pixel(100, 45), 0xffffffffu);

    // Without a GUI application labels use the built-in font.
    expectLabelInside(QStringLiteral("H = 375 um, S = 175781 um") + QChar(0x00B2), style);
}

TEST(CaptureOverlay, LabelsInTheSystemFontStayInside)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "test_capture";
    char *argv[] = {name, nullptr};
    QGuiApplication application(argc, argv);
    OverlayStyle style;
    style.color = 0xff0000ff;
    expectLabelInside(QStringLiteral("L = 56 um, S = 2485 um") + QChar(0x00B2), style);
}
