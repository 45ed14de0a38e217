#include "app/messagebox.h"
#include "app/picturefile.h"
#include "capture/captureform.h"
#include "capture/videosource.h"
#include "design/floatingwindow.h"
#include "testhost.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QProcess>
#include <QScrollArea>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace warplon;
using namespace warplon::test;

namespace {

// A picture no two pixels of which are alike along a row, so a frame copied at the wrong place
// or size shows.
QImage testPicture(int width, int height)
{
    QImage image(width, height, QImage::Format_BGR888);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixelColor(x, y,
                                QColor(x % 256, y % 256, (x / 256 * 40 + y / 256 * 90) % 256));
    return image;
}

// Saves the window as a picture for a person to look at when WARPLON_SCREENSHOTS names a folder.
void keepScreenshot(QWidget &window, const char *name)
{
    const QString folder = qEnvironmentVariable("WARPLON_SCREENSHOTS");
    if (!folder.isEmpty())
        window.grab().save(folder + QLatin1Char('/') + QLatin1String(name)
                           + QStringLiteral(".png"));
}

class CaptureWindowTest : public ::testing::Test
{
protected:
    QString savedPicture(const QImage &image, const char *name)
    {
        const QString file = files.file(QLatin1String(name));
        EXPECT_TRUE(image.save(file));
        return file;
    }

    // Presses the capture button and waits until the live video has shown a frame.
    static void startAndWaitForFrame(TCaptureForm &form)
    {
        form.sbCapture->click();
        ASSERT_TRUE(form.capturing());
        QTRY_VERIFY_WITH_TIMEOUT(!form.previewFrame().isNull(), 10000);
    }

    static void click(TCaptureForm &form, QPoint inViewport,
                      Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::mouseClick(form.Image, Qt::LeftButton, modifiers,
                          form.Image->mapFrom(form.ScrollBox->viewport(), inViewport));
    }

    TestHost host;
    TempDir files;
    MessageRecorder recorder;
    QStringList &messages = recorder.texts;
};

} // namespace

TEST_F(CaptureWindowTest, StillPictureIsCapturedPixelForPixelAndCalibrates)
{
    const QImage still = testPicture(640, 360);
    auto owned = std::make_unique<TCaptureForm>(host);
    TCaptureForm &form = *owned;
    form.resize(900, 700);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    // A fresh install measures at 9.375 um per pixel and offers nothing to save.
    EXPECT_DOUBLE_EQ(form.calibration().umPerDot, 9.375);
    EXPECT_FALSE(form.pmImage->actions()[2]->isEnabled());

    form.comboMagnification->setCurrentText(QStringLiteral("150"));
    emit form.comboMagnification->textActivated(QStringLiteral("150"));
    EXPECT_DOUBLE_EQ(form.calibration().umPerDot, 300000.0 / 320 / 150);
    emit form.comboMagnification->textActivated(QStringLiteral("x150"));
    EXPECT_EQ(form.calibration().magnification, 150);
    EXPECT_EQ(form.comboMagnification->currentText(), QStringLiteral("150"));

    form.SetVideoSourceName(savedPicture(still, "still.png"));
    startAndWaitForFrame(form);
    QWidget *live = form.captureWindow();
    ASSERT_NE(live, nullptr);
    EXPECT_EQ(live->windowTitle(), QStringLiteral("Warplon CAD System Capture Window"));
    EXPECT_EQ(live->geometry(), form.ScrollBox->geometry().adjusted(2, 2, -2, -2));
    EXPECT_EQ(form.displayed().size(), live->size());
    EXPECT_EQ(form.displayed().pixelColor(5, 5), QColor(128, 128, 128));
    EXPECT_FALSE(form.sbMeasure->isEnabled());
    EXPECT_FALSE(form.edWale->isEnabled());
    EXPECT_FALSE(form.pmImage->actions()[1]->isEnabled()); // Load Image
    EXPECT_EQ(form.ScrollBox->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    keepScreenshot(form, "capture-live");

    form.sbCapture->click();
    EXPECT_FALSE(form.capturing());
    EXPECT_EQ(form.captureWindow(), nullptr);
    EXPECT_FALSE(form.sbCapture->isChecked());
    EXPECT_EQ(form.picture(), still);
    EXPECT_EQ(form.calibration().resWidth, 640);
    EXPECT_DOUBLE_EQ(form.calibration().umPerDot, 3.125);
    EXPECT_TRUE(form.sbMeasure->isEnabled());
    EXPECT_TRUE(form.pmImage->actions()[2]->isEnabled());
    EXPECT_EQ(form.ScrollBox->horizontalScrollBarPolicy(), Qt::ScrollBarAsNeeded);

    // The calibration is written when the window goes, UM/DOT as one key, and read by the next.
    owned.reset();
    EXPECT_TRUE(readFile(host.programDirectory() + QStringLiteral("/Main.ini"))
                    .contains("UM/DOT=3.125\r\n"));
    TCaptureForm next(host);
    EXPECT_EQ(next.calibration().resWidth, 640);
    EXPECT_DOUBLE_EQ(next.calibration().umPerDot, 3.125);
    EXPECT_EQ(next.comboMagnification->currentText(), QStringLiteral("150"));

    // The "X" opens the small input window with TUNING; a new constant recalibrates.
    QString offered;
    QTimer::singleShot(0, &next, [&next, &offered] {
        auto *input = next.findChild<TFloatingWindow *>();
        ASSERT_NE(input, nullptr);
        offered = input->edInput->text();
        input->edInput->setText(QStringLiteral("150000"));
        input->accept();
    });
    QTest::mouseClick(next.lbMagnification, Qt::LeftButton);
    EXPECT_EQ(offered, QStringLiteral("300000"));
    EXPECT_EQ(next.calibration().tuning, 150000);
    EXPECT_DOUBLE_EQ(next.calibration().umPerDot, 150000.0 / 640 / 150);
}

TEST_F(CaptureWindowTest, FailedStartLeavesTheWindowUsable)
{
    TCaptureForm form(host);
    form.resize(700, 500);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const auto expectUsable = [&form] {
        EXPECT_FALSE(form.capturing());
        EXPECT_EQ(form.captureWindow(), nullptr);
        EXPECT_FALSE(form.sbCapture->isChecked());
        EXPECT_TRUE(form.sbMeasure->isEnabled());
        EXPECT_TRUE(form.comboMagnification->isEnabled());
        EXPECT_EQ(form.ScrollBox->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    };

    form.SetVideoSourceName(files.file(QStringLiteral("missing.ogv")));
    form.sbCapture->click();
    expectUsable();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith(QStringLiteral("The video cannot be read: ")));
    EXPECT_TRUE(messages[0].endsWith(QStringLiteral("missing.ogv")));

    // A file that opens but is no video fails once the player looks inside.
    const QString notVideo = files.file(QStringLiteral("notes.ogv"));
    ASSERT_TRUE(writeFile(notVideo, QByteArray(4096, 'x')));
    form.SetVideoSourceName(notVideo);
    form.sbCapture->click();
    QTRY_VERIFY_WITH_TIMEOUT(!form.capturing(), 10000);
    expectUsable();
    ASSERT_EQ(messages.size(), 2);
    EXPECT_TRUE(messages[1].startsWith(QStringLiteral("The capture stopped: ")));

    // The camera, on a machine without one.
    if (!HasCamera()) {
        form.SetVideoSourceName(QString());
        form.sbCapture->click();
        expectUsable();
        ASSERT_EQ(messages.size(), 3);
        EXPECT_EQ(messages[2], QStringLiteral("No camera or microscope is connected."));
    }
}

TEST_F(CaptureWindowTest, MeasuringOnAScrolledPicture)
{
    TCaptureForm form(host);
    form.resize(600, 450);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    ASSERT_TRUE(form.LoadPicture(savedPicture(testPicture(1200, 900), "big.bmp")));
    form.ScrollBox->horizontalScrollBar()->setValue(300);
    form.ScrollBox->verticalScrollBar()->setValue(200);
    const QPoint scroll(300, 200);
    ASSERT_EQ(form.ScrollBox->horizontalScrollBar()->value(), 300);

    // Points: the info counts them.
    click(form, {10, 10});
    click(form, {20, 10});
    ASSERT_EQ(form.measures().objects().size(), 2u);
    EXPECT_EQ(form.measures().objects()[0].points[0], scroll + QPoint(10, 10));
    EXPECT_EQ(form.lbInfo->text(), QStringLiteral("2"));

    // A line follows the mouse until its second click: 100 px at 9.375 um.
    form.comboObjectType->setCurrentIndex(1);
    click(form, {50, 50});
    QTest::mouseMove(form.Image, form.Image->mapFrom(form.ScrollBox->viewport(), QPoint(90, 80)));
    EXPECT_EQ(form.measures().objects().back().points.back(), scroll + QPoint(90, 80));
    EXPECT_EQ(form.lbInfo->text(), QStringLiteral("469 um")); // 50 px
    click(form, {150, 50});
    EXPECT_EQ(form.lbInfo->text(), QStringLiteral("938 um"));

    // Triangle: base 0..80 along a row, apex 30 px above: H = 281.25 -> 281, S = 1200 px².
    const QString squared = QStringLiteral(" um") + QChar(0x00B2);
    form.comboObjectType->setCurrentIndex(2);
    click(form, {100, 150});
    click(form, {180, 150});
    click(form, {120, 120});
    EXPECT_EQ(form.lbInfo->text(), QStringLiteral("H = 281 um, S = 105469") + squared);

    // Circle across 21 px: r = trunc(10.5 + 0.5) = 11.
    form.comboObjectType->setCurrentIndex(4);
    click(form, {300, 100});
    click(form, {321, 100});
    EXPECT_EQ(form.measures().objects().back().radius, 11);
    EXPECT_EQ(form.lbInfo->text(), QStringLiteral("L = 206 um, S = 33410") + squared);

    // Polygon: a 40 x 30 rectangle closed with Ctrl, which adds no vertex.
    form.comboObjectType->setCurrentIndex(3);
    click(form, {200, 200});
    click(form, {240, 200});
    click(form, {240, 230});
    click(form, {200, 230});
    click(form, {10, 10}, Qt::ControlModifier);
    EXPECT_EQ(form.measures().objects().back().points.size(), 5u);
    EXPECT_EQ(form.lbInfo->text(), QStringLiteral("L = 1313 um, S = 105469") + squared);
    keepScreenshot(form, "capture-measure");

    // Undo also takes an object not yet finished; a new type starts afresh.
    const size_t finished = form.measures().objects().size();
    click(form, {20, 20});
    EXPECT_EQ(form.measures().objects().size(), finished + 1);
    form.sbUndo->click();
    EXPECT_EQ(form.measures().objects().size(), finished);
    form.comboObjectType->setCurrentIndex(1);
    click(form, {20, 20});
    EXPECT_EQ(form.measures().clickStage(), 1);
    form.comboObjectType->setCurrentIndex(0);
    EXPECT_EQ(form.measures().clickStage(), 0);

    // No measuring in grid mode; the overlay of the measure mode is not drawn there.
    form.sbGrid->click();
    const size_t count = form.measures().objects().size();
    click(form, {60, 60});
    EXPECT_EQ(form.measures().objects().size(), count);
    EXPECT_EQ(form.displayed(), form.picture());

    // A new magnification relabels what was measured.
    form.sbMeasure->click();
    emit form.comboMagnification->textActivated(QStringLiteral("50"));
    EXPECT_EQ(form.measures().objects()[2].label, QStringLiteral("1875 um"));
}

TEST_F(CaptureWindowTest, GridIsLaidMovedAndCarriesTheBarsPath)
{
    TCaptureForm form(host);
    form.resize(700, 560);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    // Focus moves only in the active window (on a display without a window manager too).
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(form.LoadPicture(savedPicture(testPicture(400, 300), "fabric.png")));

    const auto enter = [](QLineEdit *edit, const QString &text) {
        edit->setText(text);
        QTest::keyClick(edit, Qt::Key_Return);
    };
    form.edWale->setText(QStringLiteral("4"));
    form.edCourse->setText(QStringLiteral("3"));
    form.sbSet->click();
    EXPECT_TRUE(form.sbGrid->isChecked());
    ASSERT_EQ(form.grid().wales(), 4);
    // M and N are the smaller of the picture area and the 400 x 300 picture.
    const QSize area = form.ScrollBox->viewport()->size();
    const int m = std::min(area.width(), 400);
    const int n = std::min(area.height(), 300);
    EXPECT_EQ(form.grid().at(3, 2), QPoint((m - 40) * 3 / 4 + 20, (n - 40) * 2 / 3 + 20));
    EXPECT_TRUE(form.lbInfo->text().startsWith(QStringLiteral("Wales/cm ")));

    // Dragging takes the nearest point.
    const QPoint corner = form.grid().at(3, 2);
    QTest::mousePress(form.Image, Qt::LeftButton, {}, corner + QPoint(3, -2));
    QMouseEvent drag(QEvent::MouseMove, QPointF(corner + QPoint(30, 20)),
                     form.Image->mapToGlobal(QPointF(corner + QPoint(30, 20))), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.Image, &drag);
    QTest::mouseRelease(form.Image, Qt::LeftButton, {}, corner + QPoint(30, 20));
    EXPECT_EQ(form.grid().at(3, 2), corner + QPoint(30, 20));

    // A new size is interpolated between the old corners; "1" makes both sizes 2, and Enter in
    // the wales goes on to the courses.
    form.edWale->setFocus();
    enter(form.edWale, QStringLiteral("1"));
    EXPECT_EQ(form.edWale->text(), QStringLiteral("2"));
    EXPECT_EQ(form.edCourse->text(), QStringLiteral("2"));
    EXPECT_TRUE(form.edCourse->hasFocus());
    EXPECT_EQ(form.grid().at(1, 1), corner + QPoint(30, 20));
    enter(form.edCourse, QStringLiteral("9999"));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].endsWith(QStringLiteral(" 500")));
    EXPECT_EQ(form.grid().courses(), 500);

    // The path of the current bar, and of another bar once the main window says so.
    enter(form.edWale, QStringLiteral("8"));
    enter(form.edCourse, QStringLiteral("6"));
    form.sbSet->click();
    form.sbPath->click();
    EXPECT_FALSE(form.sbGridMove->isChecked());
    const QImage bar1 = form.displayed();
    const LappingPath path1 = MakeLappingPath(form.grid(), host.design.document.bars[0].lapping);
    ASSERT_FALSE(path1.segments.empty());
    const PathSegment &segment = path1.segments.front();
    EXPECT_EQ(bar1.pixelColor((segment.from + segment.to) / 2), QColor(Qt::red));
    ASSERT_GE(host.design.document.bars.size(), 2u);
    host.design.document.bars[1].lapping = {{1, 0, 1}, {1, 2, 1}};
    host.design.currentBar = 1;
    form.RefreshLapping();
    EXPECT_EQ(form.lapping(), host.design.document.bars[1].lapping);
    EXPECT_NE(form.displayed(), bar1);
    keepScreenshot(form, "capture-grid");

    // Points cannot be dragged while the path is shown.
    const QPoint before = form.grid().at(0, 0);
    QTest::mousePress(form.Image, Qt::LeftButton, {}, before);
    QTest::mouseRelease(form.Image, Qt::LeftButton, {}, before + QPoint(9, 9));
    EXPECT_EQ(form.grid().at(0, 0), before);

    // A colour from the palette window redraws the overlay in it.
    host.picker
        = [](std::optional<TColor>) { return std::optional<TColor>(RGB2TColor(0, 0, 255)); };
    QTest::mouseClick(form.spGridColor, Qt::LeftButton);
    EXPECT_EQ(form.displayed().pixelColor(form.grid().at(0, 0)), QColor(Qt::blue));
}

TEST_F(CaptureWindowTest, PicturesAreSavedLoadedAndCopiedWithoutOverlays)
{
    TCaptureForm form(host);
    // Nothing to show, save or copy yet; zooming is never offered.
    const QList<QAction *> items = form.pmImage->actions();
    EXPECT_FALSE(items[0]->isEnabled());
    EXPECT_TRUE(items[1]->isEnabled());
    EXPECT_FALSE(items[2]->isEnabled());
    EXPECT_FALSE(items[3]->isEnabled());
    EXPECT_FALSE(items[4]->isEnabled());

    const QImage picture = testPicture(300, 200);
    ASSERT_TRUE(form.LoadPicture(savedPicture(picture, "start.png")));
    form.comboObjectType->setCurrentIndex(0);
    QTest::mouseClick(form.Image, Qt::LeftButton, {}, QPoint(50, 50));
    EXPECT_NE(form.displayed(), form.picture());

    const QString bmp = files.file(QStringLiteral("kept.bmp"));
    const QString jpg = files.file(QStringLiteral("kept.jpg"));
    ASSERT_TRUE(SavePicture(form.picture(), bmp, PictureFormat::Bitmap));
    ASSERT_TRUE(SavePicture(form.picture(), jpg, PictureFormat::Jpeg));
    ASSERT_TRUE(form.LoadPicture(bmp));
    EXPECT_EQ(form.picture(), picture);
    EXPECT_TRUE(form.measures().objects().empty());
    ASSERT_TRUE(form.LoadPicture(jpg));
    EXPECT_EQ(form.picture().size(), picture.size());
    EXPECT_EQ(form.picture().format(), QImage::Format_BGR888);

    // An unreadable file keeps the picture and says so.
    EXPECT_FALSE(form.LoadPicture(files.file(QStringLiteral("none.bmp"))));
    EXPECT_EQ(messages.size(), 1);
    EXPECT_EQ(form.picture().size(), picture.size());

    items[0]->trigger();
    EXPECT_EQ(host.viewed, form.picture());
    items[3]->trigger();
    EXPECT_EQ(QApplication::clipboard()->image().convertToFormat(QImage::Format_BGR888),
              form.picture());
}

// A clip stands in for the camera: a frame of it is frozen at its full size.
TEST_F(CaptureWindowTest, ClipFrameIsFrozen)
{
    const QString clip = files.file(QStringLiteral("test.ogv"));
    const QString gst = QStandardPaths::findExecutable(QStringLiteral("gst-launch-1.0"));
    ASSERT_FALSE(gst.isEmpty()) << "gstreamer1.0-tools is missing; run scripts/install-deps.sh";
    const int made = QProcess::execute(
        gst,
        {QStringLiteral("-q"), QStringLiteral("videotestsrc"), QStringLiteral("num-buffers=30"),
         QStringLiteral("!"), QStringLiteral("video/x-raw,width=320,height=240,framerate=30/1"),
         QStringLiteral("!"), QStringLiteral("theoraenc"), QStringLiteral("!"),
         QStringLiteral("oggmux"), QStringLiteral("!"), QStringLiteral("filesink"),
         QStringLiteral("location=") + clip});
    ASSERT_EQ(made, 0);

    TCaptureForm form(host);
    form.resize(600, 450);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.SetVideoSourceName(clip);
    startAndWaitForFrame(form);
    form.sbCapture->click();
    EXPECT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(form.picture().size(), QSize(320, 240));
    EXPECT_EQ(form.picture().format(), QImage::Format_BGR888);
    EXPECT_EQ(form.calibration().resWidth, 320);
    // The test source's colour bars: the leftmost is light grey, not black.
    EXPECT_GT(qGray(form.picture().pixel(10, 10)), 120);
}
