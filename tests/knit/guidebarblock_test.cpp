#include "blockchecks.h"
#include "knit/guidebarblock.h"

using namespace warplon;
using warplon::test::Bytes;

namespace {

const GuideBarData kSample = {.defaultDenier = 75.5,
                              .defaultFilaments = 36,
                              .formula = {0, 1, 2, 1},
                              .noTension = {1, 0, 0, 1},
                              .runInBrightness = {0, 1, 1, 0},
                              .description = {"front", "", "pillar", "inlay"}};

// Denier, filaments and formulas as version 3 and up hold them; an unknown formula reads as 2.
Bytes Start(int32_t version)
{
    return Bytes().i32(version).f64(50).i32(24).i32(1).i32(-1).i32(0).i32(3);
}

} // namespace

TEST(GuideBarBlock, WriterLaysOutVersionFiveAndReadsBack)
{
    Bytes layout;
    layout.i32(5).f64(75.5).i32(36).i32(0).i32(1).i32(2).i32(1);
    layout.u8(1).u8(0).u8(0).u8(1).u8(0).u8(1).u8(1).u8(0); // no tension, brightness
    layout.zstring("front").zstring("").zstring("pillar").zstring("inlay");
    test::ExpectLayoutAndRoundTrip(kSample, layout, WriteGuideBarBlock, ReadGuideBarBlock);
}

TEST(GuideBarBlock, OlderVersionsResetWhatTheyLack)
{
    // Version 3 has no switches, the descriptions straight after the formulas; version 4 adds
    // "No Tension" before them. Version 0 holds nothing.
    const QByteArray blocks[]
        = {Bytes().i32(0), Start(3).zstring("a").zstring("").zstring("").zstring("d"),
           Start(4).u8(0).u8(1).u8(0).u8(0).zstring("a").zstring("").zstring("").zstring("d")};
    for (const QByteArray &block : blocks) {
        const GuideBarData read = test::ReadBeforeNextBlock(block, kSample, ReadGuideBarBlock);
        GuideBarData expected;
        expected.version = read.version;
        if (read.version >= 3) {
            std::tie(expected.defaultDenier, expected.defaultFilaments) = std::tuple(50.0, 24);
            expected.formula = {1, 2, 0, 2};
            expected.description = {"a", "", "", "d"};
        }
        if (read.version == 4)
            expected.noTension = {0, 1, 0, 0};
        EXPECT_EQ(read, expected) << read.version;
    }
}

TEST(GuideBarBlock, ShortOrDamagedDataFailsWithoutHarm)
{
    ByteWriter writer;
    WriteGuideBarBlock(writer, kSample);
    test::CheckDamagedBlocks(writer.data(), 99, 2000, [](ByteReader &reader, qsizetype cut) {
        GuideBarData data;
        const bool ok = ReadGuideBarBlock(reader, data);
        EXPECT_TRUE(cut < 0 || data.defaultDenier == (cut >= 12 ? 75.5 : 40.0)) << cut;
        for (int32_t formula : data.formula)
            EXPECT_TRUE(formula >= 0 && formula <= 2);
        return ok;
    });
}
