#include "blockchecks.h"
#include "simulation/simulationsettings.h"

using namespace warplon;
using warplon::test::Bytes;

namespace {

const SimulationSettings kSample = {.coursesPerCm = 22.5,
                                    .walesPerInch = 30.25,
                                    .widthInch = 98.0,
                                    .pxPerWale = 13.75,
                                    .pxPerCourse = 7.5,
                                    .repeatsDown = 6,
                                    .repeatsAcross = 9,
                                    .backView = 1,
                                    .colorOnColor = 1,
                                    .fuzz = 17,
                                    .backgroundColor = 0x102030,
                                    .zoomUnits = 2,
                                    .zoomTenths = 5,
                                    .optimize = 0,
                                    .effect = EffectWave,
                                    .power = 7,
                                    .invertShade = 1};

// The fields every version holds up to backView, as kSample has them.
Bytes Leading(int32_t version)
{
    return Bytes().i32(version).f64(22.5).f64(30.25).f64(98.0).f64(13.75).f64(7.5).i32(6).i32(9).u8(
        1);
}

} // namespace

TEST(SimulationSettingsBlock, WriterLaysOutVersionFiveAndReadsBack)
{
    // colorOnColor; fuzz, background, zoom units and tenths, effect, power; invert, optimize
    const QByteArray layout
        = Leading(5).u8(1).i32(17).i32(0x102030).i32(2).i32(5).i32(2).i32(7).u8(1).u8(0);
    test::ExpectLayoutAndRoundTrip(kSample, layout, WriteSimulationSettingsBlock,
                                   ReadSimulationSettingsBlock);
}

TEST(SimulationSettingsBlock, OlderVersionsReadTheirOwnFieldsOnly)
{
    // Version 1 ends with the zoom units, 2 adds the tenths, 3 effect and power, 4 invertShade
    // and optimize; none has colorOnColor after backView. Version 0 or below holds nothing.
    const QByteArray blocks[]
        = {Bytes().i32(-1), Leading(1).i32(17).i32(0xffffff).i32(8),
           Leading(2).i32(17).i32(0xffffff).i32(8).i32(3),
           Leading(3).i32(17).i32(0xffffff).i32(8).i32(3).i32(1).i32(9),
           Leading(4).i32(17).i32(0xffffff).i32(8).i32(3).i32(1).i32(9).u8(1).u8(0)};
    for (const QByteArray &block : blocks) {
        const SimulationSettings s
            = test::ReadBeforeNextBlock(block, kSample, ReadSimulationSettingsBlock);
        const int32_t v = s.version;
        const SimulationSettings defaults;
        SimulationSettings expected = v >= 1 ? kSample : defaults;
        expected.version = v;
        if (v >= 1) {
            expected.colorOnColor = defaults.colorOnColor;
            expected.backgroundColor = 0xffffff;
            expected.zoomUnits = 8;
            expected.zoomTenths = v >= 2 ? 3 : defaults.zoomTenths;
            expected.effect = v >= 3 ? EffectSolid : defaults.effect;
            expected.power = v >= 3 ? 9 : defaults.power;
            expected.invertShade = v >= 4 ? 1 : defaults.invertShade;
            expected.optimize = v >= 4 ? 0 : defaults.optimize;
        }
        EXPECT_EQ(s, expected) << v;
    }
}

TEST(SimulationSettingsBlock, ShortOrDamagedDataKeepsWhatWasReadBefore)
{
    ByteWriter writer;
    WriteSimulationSettingsBlock(writer, kSample);
    test::CheckDamagedBlocks(writer.data(), 5, 500, [](ByteReader &reader, qsizetype cut) {
        SimulationSettings s;
        const bool ok = ReadSimulationSettingsBlock(reader, s);
        EXPECT_TRUE(cut < 0 || s.coursesPerCm == (cut >= 12 ? 22.5 : 20.0)) << cut;
        EXPECT_TRUE(cut < 0 || s.optimize == 1) << cut; // the last byte, never reached
        return ok;
    });
}
