#include "blockchecks.h"
#include "knit/treatmentdata.h"

using namespace warplon;
using warplon::test::Bytes;

namespace {

using Flags = std::vector<std::array<uint8_t, 4>>;

} // namespace

TEST(TreatmentBlock, WriterFollowsTheLappingAndReadsBack)
{
    TreatmentData data;
    data.method = TreatmentLoopRaising;
    data.courseFlags = {{1, 0, 0, 0}, {0, 1, 1, 0}, {0, 0, 0, 1}};
    ByteWriter writer;
    WriteTreatmentBlock(writer, data, 4);                   // the bar has four courses now
    const QByteArray flags = QByteArray::fromHex("01000000" // course flags 1000, 0110, 0001, 0000
                                                 "000101000000000100000000");
    EXPECT_EQ(writer.data(), Bytes().i32(2).i32(2).i32(4).raw(flags).data());
    TreatmentData read;
    ByteReader reader(writer.data());
    ASSERT_TRUE(ReadTreatmentBlock(reader, read, 4));
    EXPECT_EQ(std::pair(read.method, read.courseFlags), std::pair(data.method, data.courseFlags));

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
    // Every block is followed by a word of the next one. No previous flag survives, and the
    // simulation's back-view copy is not the file's business.
    auto read = [](const QByteArray &block) {
        TreatmentData data;
        data.method = 1;
        data.courseFlags = Flags(3, {1, 1, 1, 1});
        data.backView = 1;
        const QByteArray bytes = block + Bytes().i32(0x5eed).data();
        ByteReader reader(bytes);
        EXPECT_TRUE(ReadTreatmentBlock(reader, data, 3));
        EXPECT_EQ(reader.remaining(), 4);
        EXPECT_EQ(data.backView, 1);
        return std::pair(data.method, data.courseFlags);
    };
    // Version 2 with two courses for a bar of three: the third comes unflagged.
    const QByteArray v2 = Bytes().i32(2).i32(1).i32(2).raw(QByteArray::fromHex("0001000001000001"));
    EXPECT_EQ(read(v2), std::pair(1, Flags{{0, 1, 0, 0}, {1, 0, 0, 1}, {}}));
    // Versions 1 and 0 keep an unused word after the method (or the version alone) and have no
    // flags; an unknown method reads as none.
    EXPECT_EQ(read(Bytes().i32(1).i32(2).i32(-1)), std::pair(2, Flags(3)));
    EXPECT_EQ(read(Bytes().i32(0).i32(-1)), std::pair(0, Flags(3)));
    EXPECT_EQ(read(Bytes().i32(2).i32(9).i32(0)), std::pair(0, Flags(3)));

    // The old layout: method and four unused bytes.
    const QByteArray old = Bytes().i32(1).i32(0x12345678).i32(5);
    TreatmentData data;
    ByteReader oldReader(old);
    ASSERT_TRUE(ReadOldTreatmentBlock(oldReader, data));
    EXPECT_EQ(data.method, TreatmentShearing);
    EXPECT_EQ(oldReader.remaining(), 4);
    ByteReader shortOld(QByteArrayView(old).first(7));
    EXPECT_FALSE(ReadOldTreatmentBlock(shortOld, data));
}

TEST(TreatmentBlock, ShortOrDamagedDataFailsWithoutHarm)
{
    // A course count the data cannot hold fails before anything is allocated for it.
    for (int32_t count : {0x7fffffff, -1, 4}) {
        const QByteArray block = Bytes().i32(2).i32(1).i32(count).zeros(12);
        TreatmentData read;
        ByteReader reader(block);
        EXPECT_FALSE(ReadTreatmentBlock(reader, read, 2));
        EXPECT_EQ(read.courseFlags, Flags(2));
    }
    TreatmentData data;
    data.method = TreatmentShearing;
    data.courseFlags = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}};
    ByteWriter writer;
    WriteTreatmentBlock(writer, data, 3);
    test::CheckDamagedBlocks(writer.data(), 7, 2000, [](ByteReader &reader, qsizetype cut) {
        TreatmentData read;
        const bool ok = ReadTreatmentBlock(reader, read, 5);
        // A list cut short is dropped whole, and the flags still follow the lapping.
        EXPECT_TRUE(cut < 0 || read.courseFlags == Flags(5)) << cut;
        EXPECT_EQ(read.courseFlags.size(), 5u);
        EXPECT_TRUE(read.method >= 0 && read.method <= 2);
        return ok;
    });
}
