#include "blockchecks.h"
#include "simulation/simulationsettings.h"

using namespace warplon;
using warplon::test::Bytes;

namespace {

SimulationSettings SampleSettings()
{
    return {.coursesPerCm = 22.5,
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
}

// The fields every version holds up to backView, as SampleSettings has them.
Bytes &Leading(Bytes &b)
{
    return b.f64(22.5).f64(30.25).f64(98.0).f64(13.75).f64(7.5).i32(6).i32(9).u8(1);
}

} // namespace

TEST(SimulationSettingsBlock, WriterLaysOutVersionFiveAndReadsBack)
{
    ByteWriter writer;
    WriteSimulationSettingsBlock(writer, SampleSettings());
    Bytes expected;
    // colorOnColor; fuzz, background, zoom units and tenths, effect, power; invert, optimize
    Leading(expected.i32(5)).u8(1).i32(17).i32(0x102030).i32(2).i32(5).i32(2).i32(7).u8(1).u8(0);
    EXPECT_EQ(writer.data(), expected.data());

    SimulationSettings read;
    ByteReader reader(writer.data());
    ASSERT_TRUE(ReadSimulationSettingsBlock(reader, read));
    EXPECT_EQ(read, SampleSettings());
    EXPECT_EQ(reader.position(), writer.data().size());
}

TEST(SimulationSettingsBlock, OlderVersionsReadTheirOwnFieldsOnly)
{
    // Version 1 ends with the zoom units, 2 adds the tenths, 3 effect and power, 4 invertShade
    // and optimize; none of them has colorOnColor after backView.
    Bytes v1, v2, v3, v4;
    Leading(v1.i32(1)).i32(17).i32(0xffffff).i32(8);
    Leading(v2.i32(2)).i32(17).i32(0xffffff).i32(8).i32(3);
    Leading(v3.i32(3)).i32(17).i32(0xffffff).i32(8).i32(3).i32(1).i32(9);
    Leading(v4.i32(4)).i32(17).i32(0xffffff).i32(8).i32(3).i32(1).i32(9).u8(1).u8(0);
    const SimulationSettings defaults;
    for (Bytes *block : {&v1, &v2, &v3, &v4}) {
        block->i32(0x5eed); // the next block
        SimulationSettings s = SampleSettings();
        ByteReader reader(block->data());
        ASSERT_TRUE(ReadSimulationSettingsBlock(reader, s));
        const int32_t v = s.version;
        EXPECT_EQ(s.backView, 1) << v;
        EXPECT_EQ(s.colorOnColor, defaults.colorOnColor) << v;
        EXPECT_EQ(s.fuzz, 17) << v;
        EXPECT_EQ(s.backgroundColor, 0xffffff) << v;
        EXPECT_EQ(s.zoomUnits, 8) << v;
        EXPECT_EQ(s.zoomTenths, v >= 2 ? 3 : defaults.zoomTenths) << v;
        EXPECT_EQ(s.effect, v >= 3 ? EffectSolid : defaults.effect) << v;
        EXPECT_EQ(s.power, v >= 3 ? 9 : defaults.power) << v;
        EXPECT_EQ(s.invertShade, v >= 4 ? 1 : defaults.invertShade) << v;
        EXPECT_EQ(s.optimize, v >= 4 ? 0 : defaults.optimize) << v;
        int32_t after = 0;
        EXPECT_TRUE(reader.readI32(after));
        EXPECT_EQ(after, 0x5eed) << v;
    }

    // Version 0 or below: every default, and nothing after the version is taken.
    const QByteArray v0 = Bytes().i32(-1).i32(0x5eed);
    SimulationSettings s = SampleSettings();
    ByteReader reader0(v0);
    ASSERT_TRUE(ReadSimulationSettingsBlock(reader0, s));
    SimulationSettings expected;
    expected.version = -1;
    EXPECT_EQ(s, expected);
    EXPECT_EQ(reader0.position(), 4);
}

TEST(SimulationSettingsBlock, ShortDataKeepsWhatWasReadBefore)
{
    ByteWriter writer;
    WriteSimulationSettingsBlock(writer, SampleSettings());
    test::ExpectEveryCutFails(writer.data(), [](ByteReader &reader, qsizetype cut) {
        SimulationSettings s;
        const bool ok = ReadSimulationSettingsBlock(reader, s);
        EXPECT_EQ(s.coursesPerCm, cut >= 12 ? 22.5 : 20.0) << cut;
        EXPECT_EQ(s.optimize, 1) << cut; // the last byte, never reached
        return ok;
    });
}
