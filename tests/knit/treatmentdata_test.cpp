#include "blockchecks.h"
#include "knit/treatmentdata.h"

using namespace warplon;
using warplon::test::Bytes;

namespace {

using Flags = std::array<uint8_t, 4>;

} // namespace

TEST(TreatmentBlock, WriterFollowsTheLappingAndReadsBack)
{
    TreatmentData data;
    data.method = TreatmentLoopRaising;
    data.courseFlags = {{1, 0, 0, 0}, {0, 1, 1, 0}, {0, 0, 0, 1}};
    ByteWriter writer;
    WriteTreatmentBlock(writer, data, 4); // the bar has four courses now
    EXPECT_EQ(data.courseFlags.size(), 4u);
    const QByteArray flags = QByteArray::fromHex("01000000"
                                                 "00010100"
                                                 "00000001"
                                                 "00000000");
    EXPECT_EQ(writer.data(), Bytes().i32(2).i32(2).i32(4).raw(flags).data());

    TreatmentData read;
    ByteReader reader(writer.data());
    ASSERT_TRUE(ReadTreatmentBlock(reader, read, 4));
    EXPECT_EQ(read.method, TreatmentLoopRaising);
    EXPECT_EQ(read.courseFlags, data.courseFlags);

    // A method outside the list is stored as "none"; a shorter lapping shrinks the list.
    data.method = 3;
    ByteWriter shrunk;
    WriteTreatmentBlock(shrunk, data, 1);
    EXPECT_EQ(shrunk.data(), Bytes().i32(2).i32(0).i32(1).u8(1).zeros(3).data());
    data.Resize(-3);
    EXPECT_TRUE(data.courseFlags.empty());
}

TEST(TreatmentBlock, ReaderHandlesEveryVersionAndResizes)
{
    // Version 2 with two courses for a bar of three: the third comes unflagged, nothing of the
    // previous flags survives, and the simulation's back-view copy is not the file's business.
    const QByteArray v2 = Bytes().i32(2).i32(1).i32(2).raw(QByteArray::fromHex("0001000001000001"));
    TreatmentData data;
    data.courseFlags = {{1, 1, 1, 1}, {1, 1, 1, 1}, {1, 1, 1, 1}};
    data.backView = 1;
    ByteReader reader2(v2);
    ASSERT_TRUE(ReadTreatmentBlock(reader2, data, 3));
    EXPECT_EQ(data.method, TreatmentShearing);
    EXPECT_EQ(data.courseFlags, (std::vector<Flags>{{0, 1, 0, 0}, {1, 0, 0, 1}, {}}));
    EXPECT_EQ(data.backView, 1);

    // Version 1: the method and an unused word, no flags; the old flags do not survive.
    const QByteArray v1 = Bytes().i32(1).i32(2).i32(-1);
    ByteReader reader1(v1);
    ASSERT_TRUE(ReadTreatmentBlock(reader1, data, 2));
    EXPECT_EQ(data.method, TreatmentLoopRaising);
    EXPECT_EQ(data.courseFlags, (std::vector<Flags>{{}, {}}));
    EXPECT_EQ(reader1.position(), 12);

    // Version 0 has no method but still the unused word; an unknown method reads as none.
    for (const QByteArray &block :
         {QByteArray(Bytes().i32(0).i32(-1)), QByteArray(Bytes().i32(2).i32(9).i32(0))}) {
        data.method = TreatmentShearing;
        ByteReader reader(block);
        ASSERT_TRUE(ReadTreatmentBlock(reader, data, 0));
        EXPECT_EQ(data.method, 0);
        EXPECT_EQ(reader.position(), block.size());
    }

    // The old layout: method and four unused bytes.
    const QByteArray old = Bytes().i32(1).i32(0x12345678).i32(5);
    ByteReader oldReader(old);
    ASSERT_TRUE(ReadOldTreatmentBlock(oldReader, data));
    EXPECT_EQ(data.method, TreatmentShearing);
    EXPECT_TRUE(data.courseFlags.empty());
    EXPECT_EQ(oldReader.position(), 8);
    ByteReader shortOld(QByteArrayView(old).first(7));
    EXPECT_FALSE(ReadOldTreatmentBlock(shortOld, data));
}

TEST(TreatmentBlock, ShortOrDamagedDataFailsWithoutHarm)
{
    TreatmentData data;
    data.method = TreatmentShearing;
    data.courseFlags = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}};
    ByteWriter writer;
    WriteTreatmentBlock(writer, data, 3);
    test::ExpectEveryCutFails(writer.data(), [](ByteReader &reader, qsizetype cut) {
        TreatmentData read;
        const bool ok = ReadTreatmentBlock(reader, read, 5);
        // A list cut short is dropped whole, and the flags still follow the lapping.
        EXPECT_EQ(read.courseFlags, std::vector<Flags>(5)) << cut;
        return ok;
    });

    // A course count the data cannot hold fails before anything is allocated for it.
    for (int32_t count : {0x7fffffff, -1, 4}) {
        const QByteArray block = Bytes().i32(2).i32(1).i32(count).zeros(12);
        TreatmentData read;
        ByteReader reader(block);
        EXPECT_FALSE(ReadTreatmentBlock(reader, read, 2));
        EXPECT_EQ(read.courseFlags, std::vector<Flags>(2));
    }
    test::ReadDamagedCopies(writer.data(), 7, 2000, [](ByteReader &reader, const QByteArray &) {
        TreatmentData read;
        ReadTreatmentBlock(reader, read, 3);
        EXPECT_EQ(read.courseFlags.size(), 3u);
        EXPECT_TRUE(read.method >= 0 && read.method <= 2);
    });
}
