#include "knit/documentblock.h"

#include "blockchecks.h"

using namespace warplon;
using warplon::test::Bytes;

namespace {

TexLayer sampleDocument()
{
    TexLayer d;
    d.completeNeedle = 6;
    d.optimizeRepeat = 0;
    d.yarns[0].name = "front";
    d.yarns[0].yarnImage = QByteArray("\x01\x02\x00\x03", 4);
    Yarn &spandex = d.yarns.emplace_back();
    spandex.material = MaterialSpandex;
    spandex.yarnText1 = "elastane";
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
    b.i32(2).i32(24).i32(1); // block version, completeNeedle, one yarn (a yarn-file record)
    b.i32(2).lstring("Nylon 40").lstring("").lstring("").lstring("").lstring("").i32(7).f64(1.5);
    b.f64(40.0).i32(12).u8(1).u8(2).f64(0).f64(0).f64(0).i32(0x336699).u8(0).u8(1).lstring("abc");
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
    EXPECT_EQ(std::tuple(d.completeNeedle, d.optimizeRepeat), std::tuple(24, 1));
    ASSERT_EQ(d.yarns.size(), 1u);
    EXPECT_EQ(std::tuple(d.yarns[0].name, d.yarns[0].color, d.yarns[0].yarnImage),
              std::tuple(QByteArray("Nylon 40"), 0x336699, QByteArray("abc")));
    EXPECT_EQ(d.yarnUses, (std::vector<YarnUse>{{0, 1, 100, 6, 600, 1.5, 2.5, 100.0, 1650}}));
    ASSERT_EQ(d.bars.size(), 1u);
    const Tex &bar = d.bars[0];
    EXPECT_EQ(std::tuple(bar.barTag, bar.courseCount, bar.shift, bar.visible),
              std::tuple(77, 2, 5, 1));
    EXPECT_EQ(bar.lapping, (std::vector<ChainLink>{{1, 0, 1}, {1, 2, 2}}));
    EXPECT_EQ(bar.threading, (std::vector<WaleState>{{0, 3, 1, 0}, {0, 1, 1, 0}}));
    EXPECT_EQ(bar.courseStates, (std::vector<CourseState2>{{1800, 1750, 90}, {1600, 0, 100}}));
    EXPECT_EQ(bar.carryFloat, (std::vector<uint8_t>{0, 1}));
    EXPECT_EQ(bar.tightFloat, (std::vector<uint8_t>{1, 0}));
}

TEST(DocumentBlock, OlderRecordVersionsLeaveTheirMissingFieldsAtDefaults)
{
    Bytes b;
    b.i32(1).i32(12);       // block version 1: no optimizeRepeat byte
    b.i32(1).i32(0).i32(0); // a yarn record of version 0 (all defaults), no yarn uses
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
    EXPECT_EQ(in.remaining(), 0);
    EXPECT_EQ(d.optimizeRepeat, 0);
    EXPECT_EQ(d.yarns, std::vector<Yarn>(1));
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
    // A lapping count of two billion in a short block is refused without allocating.
    Bytes hostile;
    hostile.i32(2).i32(12).i32(0).i32(0).i32(1);
    hostile.i32(4).i32(0).i32(0).i32(0).u8(1).i32(0x7FFFFFFF).zeros(16);
    TexLayer d;
    ByteReader in(hostile.data());
    EXPECT_FALSE(ReadDocument(in, d, 102));
    ASSERT_EQ(d.bars.size(), 1u);
    EXPECT_TRUE(d.bars[0].lapping.empty());

    ByteWriter out;
    WriteDocument(out, sampleDocument());
    test::CheckDamagedBlocks(out.data(), 7, 300, [](ByteReader &reader, qsizetype) {
        TexLayer damaged;
        const bool ok = ReadDocument(reader, damaged, 102);
        // What a damaged block leaves still has a yarn, a run per bar and at most four bars.
        EXPECT_FALSE(damaged.yarns.empty());
        EXPECT_LE(damaged.bars.size(), size_t(kMaxBars));
        for (const Tex &bar : damaged.bars)
            EXPECT_FALSE(bar.threading.empty());
        return ok;
    });
}
