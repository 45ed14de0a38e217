#include "capture/calibration.h"
#include "testsupport.h"
#include "text/inifile.h"

#include <gtest/gtest.h>

using namespace warplon;

namespace {

const QString kCapture = QStringLiteral("Capture");

} // namespace

TEST(CaptureCalibration, FreshInstallMeasuresAtTheRuleNotAtZero)
{
    test::TempDir dir;
    const CaptureCalibration fresh = LoadCaptureCalibration(dir.path());
    EXPECT_EQ(fresh.magnification, 100);
    EXPECT_EQ(fresh.resWidth, 320);
    EXPECT_EQ(fresh.tuning, 300000);
    EXPECT_EQ(fresh.umPerDot, 9.375);

    // A stored UM/DOT gives way to the rule whenever the three integers are there.
    ASSERT_TRUE(test::writeFile(dir.file(QStringLiteral("Main.ini")),
                                QByteArrayLiteral("[Capture]\r\nUM/DOT=1.5\r\nMAGNIFICATION=250\r\n"
                                                  "RES_WIDTH=640\r\n")));
    const CaptureCalibration stored = LoadCaptureCalibration(dir.path());
    EXPECT_EQ(stored.magnification, 250);
    EXPECT_EQ(stored.resWidth, 640);
    EXPECT_EQ(stored.umPerDot, 300000.0 / 640.0 / 250.0);
}

TEST(CaptureCalibration, ZerosLeaveTheCalibrationAndUnknownWidthFallsBack)
{
    test::TempDir dir;
    // Without a frame width the stored value stands, and the list of magnifications uses the
    // fresh install's width.
    ASSERT_TRUE(test::writeFile(dir.file(QStringLiteral("Main.ini")),
                                QByteArrayLiteral("[Capture]\nUM/DOT=2.5\nRES_WIDTH=0\n")));
    CaptureCalibration c = LoadCaptureCalibration(dir.path());
    EXPECT_EQ(c.umPerDot, 2.5);
    c.SetMagnification(250);
    EXPECT_EQ(c.magnification, 250);
    EXPECT_DOUBLE_EQ(c.umPerDot, 3.75); // 300000 * 0.003125 / 250
    c.SetMagnification(0);              // not a magnification: kept, value recomputed alike
    EXPECT_EQ(c.magnification, 250);
    EXPECT_DOUBLE_EQ(c.umPerDot, 3.75);

    // A frame width of 0 changes nothing; a real frame sets the width and the rule.
    EXPECT_FALSE(c.FrameCaptured(0));
    EXPECT_EQ(c.resWidth, 0);
    EXPECT_DOUBLE_EQ(c.umPerDot, 3.75);
    EXPECT_TRUE(c.FrameCaptured(640));
    EXPECT_EQ(c.resWidth, 640);
    EXPECT_DOUBLE_EQ(c.umPerDot, 300000.0 / 640.0 / 250.0);

    // A zero tuning is kept but cannot be divided: UM/DOT stays; a new one applies at once.
    const double before = c.umPerDot;
    c.SetTuning(0);
    EXPECT_EQ(c.tuning, 0);
    EXPECT_EQ(c.umPerDot, before);
    c.SetTuning(600000);
    EXPECT_DOUBLE_EQ(c.umPerDot, 600000.0 / 640.0 / 250.0);

    // The fresh install's numbers at magnification 100.
    CaptureCalibration fresh;
    EXPECT_TRUE(fresh.FrameCaptured(320));
    EXPECT_EQ(fresh.umPerDot, 9.375);
    EXPECT_EQ(CaptureMagnifications().size(), 10u);
    EXPECT_EQ(CaptureMagnifications().front(), 40);
    EXPECT_EQ(CaptureMagnifications().back(), 800);
}

TEST(CaptureCalibration, KeysSurviveTheIniRoundTripBesideOtherKeys)
{
    test::TempDir dir;
    const QString file = dir.file(QStringLiteral("Main.ini"));
    ASSERT_TRUE(test::writeFile(file, QByteArrayLiteral("[Capture]\r\nVisible=0\r\n[Main]\r\n"
                                                        "Bar=2\r\n")));
    CaptureCalibration c;
    c.umPerDot = 0.1 + 0.2; // needs all 17 digits
    c.magnification = 450;
    c.resWidth = 0; // keeps the rule from replacing UM/DOT on reading
    c.tuning = 123456;
    ASSERT_TRUE(SaveCaptureCalibration(dir.path(), c));

    const CaptureCalibration back = LoadCaptureCalibration(dir.path());
    EXPECT_EQ(back.umPerDot, 0.1 + 0.2);
    EXPECT_EQ(back.magnification, 450);
    EXPECT_EQ(back.resWidth, 0);
    EXPECT_EQ(back.tuning, 123456);

    // "UM/DOT" is one key of section Capture, beside the window's Visible switch.
    const IniFile ini(file);
    EXPECT_EQ(ini.ReadString(kCapture, QStringLiteral("UM/DOT")),
              QStringLiteral("0.30000000000000004"));
    EXPECT_FALSE(ini.ReadBool(kCapture, QStringLiteral("Visible"), true));
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("Main"), QStringLiteral("Bar"), 0), 2);
    EXPECT_EQ(ini.ReadSection(kCapture).keys(),
              (QStringList{QStringLiteral("Visible"), QStringLiteral("UM/DOT"),
                           QStringLiteral("MAGNIFICATION"), QStringLiteral("RES_WIDTH"),
                           QStringLiteral("TUNING")}));

    // A value that is no number reads as 0 and then gives way to the rule.
    ASSERT_TRUE(test::writeFile(file, QByteArrayLiteral("[Capture]\nUM/DOT=abc\nRES_WIDTH=0\n")));
    EXPECT_EQ(LoadCaptureCalibration(dir.path()).umPerDot, 0.0);
    ASSERT_TRUE(test::writeFile(file, QByteArrayLiteral("[Capture]\nUM/DOT=inf\nRES_WIDTH=0\n")));
    EXPECT_EQ(LoadCaptureCalibration(dir.path()).umPerDot, 0.0);
}
