#include "color/printercolor.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <set>
#include <utility>

using namespace warplon;

TEST(PrinterColor, AtlasPagesNumberIndexAndColumnBothWays)
{
    struct Case
    {
        int page, index, column;
    };
    const Case cases[] = {
        {1, 0, 0},    {15, 0, 14},  {16, 1, 0},   {540, 35, 14},  {541, 36, 0},
        {547, 36, 6}, {548, 37, 0}, {563, 38, 0}, {1087, 72, 14},
    };
    for (const Case &c : cases) {
        int index = -1;
        int column = -1;
        ASSERT_TRUE(TPrinterColor::SplitAtlasPage(c.page, index, column)) << c.page;
        EXPECT_EQ(index, c.index) << c.page;
        EXPECT_EQ(column, c.column) << c.page;
        EXPECT_EQ(TPrinterColor::AtlasPage(c.index, c.column), c.page);
    }

    // Every page splits to a distinct index and column inside the atlas and comes back.
    std::set<std::pair<int, int>> seen;
    for (int page = 1; page <= TPrinterColor::kAtlasPageCount; ++page) {
        int index = -1;
        int column = -1;
        ASSERT_TRUE(TPrinterColor::SplitAtlasPage(page, index, column));
        ASSERT_LT(column, TPrinterColor::ColumnCount(index)) << page;
        EXPECT_EQ(TPrinterColor::AtlasPage(index, column), page);
        seen.insert({index, column});
    }
    EXPECT_EQ(seen.size(), 1087u);

    for (const int outside : {0, 1088, -1}) {
        int index = 99;
        int column = 99;
        EXPECT_FALSE(TPrinterColor::SplitAtlasPage(outside, index, column));
        EXPECT_EQ(index, 99);
        EXPECT_EQ(TPrinterColor::StepCountOfPage(outside), 0);
    }
    EXPECT_EQ(TPrinterColor::StepCountOfPage(547), 36);
    EXPECT_EQ(TPrinterColor::StepCountOfPage(548), 12);

    // The object: SetPage keeps the step, SetNumber keeps the page, and a refused page
    // changes nothing.
    TPrinterColor color;
    color.SetNumber(20);
    ASSERT_TRUE(color.SetPage(563));
    EXPECT_EQ(color.GetPage(), 563);
    EXPECT_EQ(color.GetNumber(), 20);
    EXPECT_EQ(color.PageIndex(), 38);
    EXPECT_FALSE(color.SetPage(0));
    EXPECT_EQ(color.GetPage(), 563);
}

TEST(PrinterColor, CodesFromPagesAndTypedCodes)
{
    EXPECT_EQ(TPrinterColor::PN2Code(541, 0), QStringLiteral("37-1:1"));
    EXPECT_EQ(TPrinterColor::PN2Code(1, 0), QStringLiteral("1-1:1"));
    EXPECT_EQ(TPrinterColor::PN2Code(548, 11), QStringLiteral("38-1:12"));
    EXPECT_EQ(TPrinterColor::PN2Code(1087, 11), QStringLiteral("73-15:12"));
    EXPECT_EQ(TPrinterColor::PN2Code(540, 35), QStringLiteral("36-15:36"));
    EXPECT_TRUE(TPrinterColor::PN2Code(0, 0).isEmpty());
    EXPECT_TRUE(TPrinterColor::PN2Code(1088, 0).isEmpty());

    struct Case
    {
        const char *text;
        bool found;
        int index = 0, step = 0, column = 0; // 1-based, as the outputs are
    };
    const Case cases[] = {
        {"37-01:01", true, 37, 1, 1},
        {"01-02:03", true, 1, 3, 2},
        {"36-15:36", true, 36, 36, 15},
        {"37-07:36", true, 37, 36, 7},
        {"38-15:12", true, 38, 12, 15},
        {"73-15:12", true, 73, 12, 15},
        {"37-08:01", false}, // the grey page has seven columns
        {"40-01:13", false}, // pale pages have twelve steps
        {"36-16:01", false},
        {"36-01:37", false},
        {"74-01:01", false},
        {"00-01:01", false},
        {"01-00:01", false},
        {"01-01:00", false},
        {"1-2:3", false}, // one digit per part is not how codes are typed
        {"01-02:03 ", false},
        {" 01-02:03", false},
        {"01-02:  ", false},
        {"01-02-03", false},
        {"01:02-03", false},
        {"0a-02:03", false},
        {"", false},
    };
    for (const Case &c : cases) {
        int index = -7, step = -7, column = -7;
        const bool found
            = TPrinterColor::SearchPrinterColor(QString::fromLatin1(c.text), index, step, column);
        EXPECT_EQ(found, c.found) << c.text;
        if (c.found) {
            EXPECT_EQ(index, c.index) << c.text;
            EXPECT_EQ(step, c.step) << c.text;
            EXPECT_EQ(column, c.column) << c.text;
        } else {
            EXPECT_EQ(index + step + column, -21) << c.text; // outputs untouched
        }
    }
    // Full-width digits are not digits of a code.
    int index = 0, step = 0, column = 0;
    EXPECT_FALSE(TPrinterColor::SearchPrinterColor(QStringLiteral("\uFF10\uFF11-01:01"), index,
                                                   step, column));
}

TEST(PrinterColor, HueSaturationAndLightnessOfThePageRanges)
{
    struct Case
    {
        int index, step, column;
        double h, l, s;
        int r, g, b;
    };
    const Case cases[] = {
        {0, 0, 0, 0, 0, 1, 0, 0, 0},            // the black corner
        {0, 35, 0, 0, 1, 1, 255, 255, 255},     // full lightness is white
        {0, 17, 0, 0, 17.0 / 35, 1, 247, 0, 0}, // m2 = 2L = 0.971: 247.7 truncates
        {35, 20, 14, 539.0 / 540 * 360, 20.0 / 35, 0.15, 162, 129, 129}, // last hue, palest
        {36, 0, 0, 999, 0.025, 0, 6, 6, 6}, // neutral grey ramp, hue undefined
        {36, 35, 0, 999, 0.875, 0, 223, 223, 223},
        {36, 10, 3, 120, 10 * 0.85 / 35 + 0.025, 0.05, 64, 71, 64}, // faint green
        {37, 11, 0, 0, 0.975, 1, 255, 242, 242}, // pale range starts its hues again
        {72, 0, 14, 539.0 / 540 * 360, 0.7, 0.15, 189, 167, 167},
    };
    for (const Case &c : cases) {
        TPrinterColor color;
        color.SetCode(uint16_t(c.index), uint16_t(c.step), uint16_t(c.column));
        EXPECT_NEAR(color.Hue(), c.h, 1e-9) << c.index << " " << c.step << " " << c.column;
        EXPECT_NEAR(color.Lightness(), c.l, 1e-9) << c.index << " " << c.step << " " << c.column;
        EXPECT_NEAR(color.Saturation(), c.s, 1e-9) << c.index << " " << c.step << " " << c.column;
        const RGBQUAD rgb = color.ToRGB();
        EXPECT_EQ(rgb, (RGBQUAD{uint8_t(c.b), uint8_t(c.g), uint8_t(c.r), 0}))
            << c.index << " " << c.step << " " << c.column << ": " << int(rgb.rgbRed) << " "
            << int(rgb.rgbGreen) << " " << int(rgb.rgbBlue);

        // Reaching the same colour by atlas page and step gives the same HLS.
        TPrinterColor byPage;
        byPage.SetPage(uint16_t(TPrinterColor::AtlasPage(c.index, c.column)));
        byPage.SetNumber(uint8_t(c.step));
        EXPECT_EQ(byPage.Hue(), color.Hue());
        EXPECT_EQ(byPage.Lightness(), color.Lightness());
        EXPECT_EQ(byPage.Saturation(), color.Saturation());
    }
}

TEST(PrinterColor, SearchFindsTheNearestAndTheFirstOfEqualColours)
{
    int index = -1, step = -1, column = -1;
    TPrinterColor atlas;
    // Black and white appear on every full page; the first visited (index, then column, then
    // step) is kept.
    ASSERT_TRUE(atlas.SearchRGB(0, 0, 0, index, step, column));
    EXPECT_EQ(index * 10000 + column * 100 + step, 0);
    ASSERT_TRUE(atlas.SearchRGB(255, 255, 255, index, step, column));
    EXPECT_EQ(index * 10000 + column * 100 + step, 35);
    ASSERT_TRUE(atlas.SearchRGB(223, 223, 223, index, step, column));
    EXPECT_EQ(index * 10000 + column * 100 + step, 360035);

    // Against every atlas colour: nothing is nearer than what the search returns.
    std::mt19937 random(7);
    std::uniform_int_distribution<int> channel(0, 255);
    for (int trial = 0; trial < 12; ++trial) {
        const int r = channel(random), g = channel(random), b = channel(random);
        ASSERT_TRUE(atlas.SearchRGB(uint8_t(r), uint8_t(g), uint8_t(b), index, step, column));
        ASSERT_TRUE(TPrinterColor::IsValid(index, step, column));
        const auto distance = [&](const RGBQUAD &q) {
            return std::abs(q.rgbRed - r) + std::abs(q.rgbGreen - g) + std::abs(q.rgbBlue - b);
        };
        const int found = distance(TPrinterColor::AtlasRGB(index, step, column));
        for (int p = 0; p < TPrinterColor::kIndexCount; ++p)
            for (int c = 0; c < TPrinterColor::ColumnCount(p); ++c)
                for (int n = 0; n < TPrinterColor::StepCount(p); ++n)
                    ASSERT_GE(distance(TPrinterColor::AtlasRGB(p, n, c)), found)
                        << r << " " << g << " " << b;
    }
}
