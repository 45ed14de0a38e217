#include "blockchecks.h"
#include "knit/guidebarblock.h"

using namespace warplon;
using warplon::test::Bytes;

namespace {

GuideBarData SampleSettings()
{
    return {.defaultDenier = 75.5,
            .defaultFilaments = 36,
            .formula = {0, 1, 2, 1},
            .noTension = {1, 0, 0, 1},
            .runInBrightness = {0, 1, 1, 0},
            .description = {"front", "", "pillar", "inlay"}};
}

} // namespace

TEST(GuideBarBlock, WriterLaysOutVersionFiveAndReadsBack)
{
    ByteWriter writer;
    WriteGuideBarBlock(writer, SampleSettings());
    Bytes expected;
    expected.i32(5).f64(75.5).i32(36).i32(0).i32(1).i32(2).i32(1);
    expected.raw(QByteArray::fromHex("01000001"
                                     "00010100")); // no tension, brightness
    expected.zstring("front").zstring("").zstring("pillar").zstring("inlay");
    EXPECT_EQ(writer.data(), expected.data());

    GuideBarData read;
    ByteReader reader(writer.data());
    ASSERT_TRUE(ReadGuideBarBlock(reader, read));
    EXPECT_EQ(read, SampleSettings());
}

TEST(GuideBarBlock, OlderVersionsResetWhatTheyLack)
{
    // Version 3: no switches, the descriptions straight after the formulas. Version 4 adds
    // "No Tension" before the descriptions. An unknown formula reads as the default.
    Bytes v3;
    v3.i32(3).f64(50).i32(24).i32(1).i32(-1).i32(0).i32(3);
    v3.zstring("a").zstring("b").zstring("c").zstring("d");
    GuideBarData data = SampleSettings();
    ByteReader reader3(v3.data());
    ASSERT_TRUE(ReadGuideBarBlock(reader3, data));
    EXPECT_EQ(data.version, 3);
    EXPECT_EQ(data.defaultFilaments, 24);
    EXPECT_EQ(data.formula, (std::array<int32_t, 4>{1, 2, 0, 2}));
    EXPECT_EQ(data.noTension, GuideBarData().noTension);
    EXPECT_EQ(data.runInBrightness, GuideBarData().runInBrightness);
    EXPECT_EQ(data.description[3], QByteArrayLiteral("d"));
    EXPECT_EQ(reader3.position(), v3.data().size());

    Bytes v4;
    v4.i32(4).f64(50).i32(24).i32(2).i32(2).i32(2).i32(2).u8(0).u8(1).u8(0).u8(0);
    v4.zstring("").zstring("").zstring("").zstring("last");
    data = SampleSettings();
    ByteReader reader4(v4.data());
    ASSERT_TRUE(ReadGuideBarBlock(reader4, data));
    EXPECT_EQ(data.noTension, (std::array<uint8_t, 4>{0, 1, 0, 0}));
    EXPECT_EQ(data.runInBrightness, GuideBarData().runInBrightness);
    EXPECT_EQ(data.description[3], QByteArrayLiteral("last"));
    EXPECT_EQ(reader4.position(), v4.data().size());

    // Version 0: every default.
    const QByteArray v0 = Bytes().i32(0);
    data = SampleSettings();
    ByteReader reader0(v0);
    ASSERT_TRUE(ReadGuideBarBlock(reader0, data));
    GuideBarData defaults;
    defaults.version = 0;
    EXPECT_EQ(data, defaults);
}

TEST(GuideBarBlock, ShortOrDamagedDataFailsWithoutHarm)
{
    ByteWriter writer;
    WriteGuideBarBlock(writer, SampleSettings());
    test::ExpectEveryCutFails(writer.data(), [](ByteReader &reader, qsizetype cut) {
        GuideBarData data;
        const bool ok = ReadGuideBarBlock(reader, data);
        EXPECT_EQ(data.defaultDenier, cut >= 12 ? 75.5 : 40.0) << cut;
        return ok;
    });
    test::ReadDamagedCopies(writer.data(), 99, 2000, [](ByteReader &reader, const QByteArray &) {
        GuideBarData data;
        ReadGuideBarBlock(reader, data);
        for (int32_t formula : data.formula)
            EXPECT_TRUE(formula >= 0 && formula <= 2);
    });
}
