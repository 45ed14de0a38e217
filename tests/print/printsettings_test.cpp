#include "print/printsettings.h"
#include "testsupport.h"

#include <gtest/gtest.h>

using namespace warplon;
using namespace warplon::test;

TEST(PrintSettings, MissingOrStrayKeysGiveTheDefaults)
{
    TempDir dir;
    EXPECT_EQ(LoadPrintSettings(dir.path(), false, 2), PrintSettings{});

    const QString ini = dir.file(QStringLiteral("Environment.ini"));
    ASSERT_TRUE(writeFile(ini, "[Printer]\r\nStyle=2\r\nData=4\r\nChain=1\r\nOption=4\r\n"
                               "Method=1\r\n"));
    const PrintSettings stored = LoadPrintSettings(dir.path(), false, 2);
    EXPECT_EQ(stored.style, StyleStandard);
    EXPECT_EQ(stored.data, 4);
    EXPECT_EQ(stored.chain, 1);
    EXPECT_EQ(stored.option, 4); // layer 2 of two bars
    EXPECT_EQ(stored.method, 1);

    // Layer 3 on two bars, and values outside their lists: back to the defaults. "Data" 5
    // exists only in the partner edition.
    ASSERT_TRUE(writeFile(ini, "[Printer]\r\nStyle=3\r\nData=5\r\nChain=-1\r\nOption=5\r\n"
                               "Method=7\r\n"));
    EXPECT_EQ(LoadPrintSettings(dir.path(), false, 2), PrintSettings{});
    const PrintSettings partner = LoadPrintSettings(dir.path(), true, 3);
    EXPECT_EQ(partner.data, 5);
    EXPECT_EQ(partner.option, 5);
    EXPECT_EQ(ValidPrintSettings({2, 0, 0, 7, 0}, false, 4).option, kOptionDesignWindow);
    EXPECT_EQ(ValidPrintSettings({2, 0, 0, 2, 0}, false, 1).option, 2);

    PrintSettings written{StyleLandscape, 3, 1, 2, 1};
    ASSERT_TRUE(SavePrintSettings(dir.path(), written));
    EXPECT_EQ(LoadPrintSettings(dir.path(), false, 2), written);
}

TEST(PrintSettings, ControlsFollowStyleDataAndBars)
{
    for (int32_t style : {StyleSimple, StyleLandscape}) {
        const PrintEnabling simple = PrintControlsEnabled(style, kDataDesignImage, 4);
        EXPECT_FALSE(simple.data);
        EXPECT_FALSE(simple.options);
        EXPECT_FALSE(simple.layers[0]);
    }
    const PrintEnabling image = PrintControlsEnabled(StyleStandard, kDataDesignImage, 2);
    EXPECT_TRUE(image.data);
    EXPECT_TRUE(image.options);
    EXPECT_EQ(image.layers, (std::array<bool, 4>{true, true, false, false}));
    const PrintEnabling yarn = PrintControlsEnabled(StyleStandard, 3, 4);
    EXPECT_TRUE(yarn.data);
    EXPECT_FALSE(yarn.options);
    EXPECT_EQ(yarn.layers, (std::array<bool, 4>{}));
}
