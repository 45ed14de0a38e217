#include "knit/documentblock.h"

#include "testsupport.h"

#include <gtest/gtest.h>

using namespace warplon;
using warplon::test::Bytes;

namespace {

// A yarn record of version 3 with every field set, laid out by hand.
Bytes yarnV3(Bytes b)
{
    return b.i32(3)
        .lstring("Nylon 40")
        .lstring("N40")
        .lstring("extra")
        .lstring("Hyosung")
        .lstring("soft")
        .i32(7)
        .f64(12.5)
        .f64(40.0)
        .i32(12)
        .u8(1)
        .u8(2)
        .f64(0.5)
        .f64(0.4)
        .f64(0.2)
        .i32(0x00336699)
        .u8(0)
        .u8(1)
        .i32(3)
        .raw("abc")
        .lstring("mat")
        .lstring("opt");
}

TexLayer sampleDocument()
{
    TexLayer d;
    d.completeNeedle = 6;
    d.optimizeRepeat = 0;
    d.yarns[0].name = "front";
    d.yarns[0].yarnImage = QByteArray("\x01\x02\x00\x03", 4);
    Yarn spandex;
    spandex.material = MaterialSpandex;
    spandex.denier = 20.0;
    spandex.yarnText1 = "elastane";
    d.yarns.push_back(spandex);
    d.yarnUses.push_back({1, 0, 100, 6, 600, 1.5, 2.5, 33.3, 1700});
    d.AddBar();
    d.AddBar();
    d.SetCourseCount(4);
    d.bars[0].threading = {{0, 2, 1, 0}, {1, 1, 0, 1}};
    d.bars[0].courseStates[2] = {1500, 1432, 95};
    d.bars[0].carryFloat[1] = 1;
    d.bars[1].tightFloat[3] = 1;
    d.bars[1].shift = 3;
    d.bars[1].barTag = -9;
    d.bars[1].visible = 0;
    return d;
}

} // namespace

TEST(DocumentBlock, ReadsEveryRecordLaidOutByHand)
{
    Bytes b;
    b.i32(2).i32(24); // block version, completeNeedle
    b.i32(1);         // one yarn
    b = yarnV3(b);
    b.i32(1).i32(1); // one yarn use, record version 1
    b.i32(0).i32(1).i32(100).i32(6).i32(600).f64(1.5).f64(2.5).f64(100.0).i32(1650);
    b.i32(1);                             // one bar
    b.i32(4).i32(77).i32(2).i32(5).u8(1); // version, barTag, courseCount, shift, visible
    b.i32(2).i32(1).i32(0).i32(1).i32(1).i32(2).i32(2); // laps 1-0 and 1-2
    b.i32(2);                                           // two threading runs
    b.i32(1).i32(0).i32(3).u8(1).u8(0);
    b.i32(0); // a run of version 0 stays the default run
    b.i32(2); // two course states
    b.i32(3).i32(1800).i32(1750).i32(90);
    b.i32(1).i32(1600).i32(999); // state version 1 forces calcRunIn 0
    b.i32(2).u8(0).u8(1);        // carryFloat
    b.i32(2).u8(1).u8(0);        // tightFloat
    b.u8(1);                     // optimizeRepeat

    TexLayer d;
    ByteReader in(b.data());
    ASSERT_TRUE(ReadDocument(in, d, 102));
    EXPECT_EQ(in.remaining(), 0);

    EXPECT_EQ(d.completeNeedle, 24);
    EXPECT_EQ(d.optimizeRepeat, 1);
    ASSERT_EQ(d.yarns.size(), 1u);
    const Yarn &y = d.yarns[0];
    EXPECT_EQ(y.name, "Nylon 40");
    EXPECT_EQ(y.code, "N40");
    EXPECT_EQ(y.maker, "Hyosung");
    EXPECT_EQ(y.yarnNumber, 7);
    EXPECT_EQ(y.yarnValue, 12.5);
    EXPECT_EQ(y.filaments, 12);
    EXPECT_EQ(y.material, 1);
    EXPECT_EQ(y.optical, 2);
    EXPECT_EQ(y.translucency, 0.2);
    EXPECT_EQ(y.color, 0x00336699);
    EXPECT_EQ(y.hidden, 1);
    EXPECT_EQ(y.yarnImage, "abc");
    EXPECT_EQ(y.yarnText1, "mat");
    EXPECT_EQ(y.yarnText2, "opt");
    ASSERT_EQ(d.yarnUses.size(), 1u);
    EXPECT_EQ(d.yarnUses[0].ends, 600);
    EXPECT_EQ(d.yarnUses[0].runIn, 1650);

    ASSERT_EQ(d.bars.size(), 1u);
    const Tex &bar = d.bars[0];
    EXPECT_EQ(bar.barTag, 77);
    EXPECT_EQ(bar.courseCount, 2);
    EXPECT_EQ(bar.shift, 5);
    EXPECT_EQ(bar.lapping, (std::vector<ChainLink>{{1, 0, 1}, {1, 2, 2}}));
    EXPECT_EQ(bar.threading, (std::vector<WaleState>{{0, 3, 1, 0}, {0, 1, 1, 0}}));
    EXPECT_EQ(bar.courseStates, (std::vector<CourseState2>{{1800, 1750, 90}, {1600, 0, 100}}));
    EXPECT_EQ(bar.carryFloat, (std::vector<uint8_t>{0, 1}));
    EXPECT_EQ(bar.tightFloat, (std::vector<uint8_t>{1, 0}));
}

TEST(DocumentBlock, OlderRecordVersionsLeaveTheirMissingFieldsAtDefaults)
{
    Bytes b;
    b.i32(1).i32(12); // block version 1: no optimizeRepeat byte
    b.i32(2);
    // Yarn record version 1: no name, code, yarnValue, or the two direct-input texts.
    b.i32(1).lstring("x").lstring("maker").lstring("").i32(0).f64(70.0).i32(24).u8(0).u8(0);
    b.f64(0).f64(0.3).f64(0.3).i32(0xFFFFFF).u8(0).u8(0).i32(0);
    b.i32(0); // yarn record version 0: nothing more, all defaults
    b.i32(0); // no yarn uses
    b.i32(1);
    // Bar record version 2: bare run-in per course, no tightFloat list.
    b.i32(2).i32(0).i32(1).i32(0).u8(1);
    b.i32(1).i32(2).i32(3).i32(2);
    b.i32(0); // no threading: the reader gives one default run
    b.i32(1).i32(1234);
    b.i32(1).u8(1);

    TexLayer d;
    ByteReader in(b.data());
    ASSERT_TRUE(ReadDocument(in, d, 101));
    EXPECT_EQ(d.optimizeRepeat, 0);
    ASSERT_EQ(d.yarns.size(), 2u);
    EXPECT_TRUE(d.yarns[0].name.isEmpty());
    EXPECT_EQ(d.yarns[0].extraText, "x");
    EXPECT_EQ(d.yarns[0].yarnValue, 0.0);
    EXPECT_EQ(d.yarns[0].denier, 70.0);
    EXPECT_EQ(d.yarns[1], Yarn{});
    ASSERT_EQ(d.bars.size(), 1u);
    EXPECT_EQ(d.bars[0].courseStates, (std::vector<CourseState2>{{1234, 0, 100}}));
    EXPECT_EQ(d.bars[0].threading, (std::vector<WaleState>{WaleState{}}));
    EXPECT_EQ(d.bars[0].carryFloat, (std::vector<uint8_t>{1}));
    EXPECT_TRUE(d.bars[0].tightFloat.empty());
}

TEST(DocumentBlock, WriterMatchesTheLayoutAndReadsBack)
{
    TexLayer empty;
    empty.yarns.clear();
    empty.AddBar(); // a bar with no courses writes zero counts
    ByteWriter out;
    WriteDocument(out, empty);
    Bytes expected;
    expected.i32(2).i32(12).i32(0).i32(0).i32(1);
    expected.i32(4).i32(0).i32(0).i32(0).u8(1).i32(0);
    expected.i32(1).i32(1).i32(0).i32(1).u8(1).u8(0); // the default run
    expected.i32(0).i32(0).i32(0);
    expected.u8(1);
    EXPECT_EQ(out.data(), expected.data());

    const TexLayer original = sampleDocument();
    ByteWriter full;
    WriteDocument(full, original);
    TexLayer back;
    back.yarns.clear();
    ByteReader in(full.data());
    ASSERT_TRUE(ReadDocument(in, back, 102));
    EXPECT_TRUE(back.sameStoredFields(original));
    EXPECT_EQ(back.yarns[0].yarnImage, original.yarns[0].yarnImage);
}

TEST(DocumentBlock, DamagedBlocksNeverOverreadOrAllocateForHostileCounts)
{
    ByteWriter out;
    WriteDocument(out, sampleDocument());
    const QByteArray good = out.data();

    // Every truncation reads what it holds and keeps the invariants.
    for (qsizetype n = 0; n < good.size(); ++n) {
        TexLayer d;
        ByteReader in(QByteArrayView(good).first(n));
        EXPECT_FALSE(ReadDocument(in, d, 102));
        EXPECT_FALSE(d.yarns.empty());
        for (const Tex &bar : d.bars)
            EXPECT_FALSE(bar.threading.empty());
    }

    // A lapping count of two billion in a short block is refused without allocating.
    Bytes hostile;
    hostile.i32(2).i32(12).i32(0).i32(0).i32(1);
    hostile.i32(4).i32(0).i32(0).i32(0).u8(1).i32(0x7FFFFFFF).zeros(16);
    TexLayer d;
    ByteReader in(hostile.data());
    EXPECT_FALSE(ReadDocument(in, d, 102));
    ASSERT_EQ(d.bars.size(), 1u);
    EXPECT_TRUE(d.bars[0].lapping.empty());

    std::mt19937 random(7);
    for (int i = 0; i < 300; ++i) {
        const QByteArray bad = warplon::test::corrupted(good, random, 1 + i % 8);
        TexLayer damaged;
        ByteReader reader(bad);
        ReadDocument(reader, damaged, 102);
        EXPECT_LE(damaged.bars.size(), size_t(kMaxBars));
    }
}
