#include "blockchecks.h"
#include "knit/headerblock.h"

using namespace warplon;
using warplon::test::Bytes;

TEST(HeaderBlock, WriterLaysOutVersionTwoAndReadsBack)
{
    MainData header;
    header.fileName = QByteArray(300, 'p'); // longer than 255: kept whole
    header.note2 = "L-204";
    header.courseCount = 24;
    header.widthInch = 130.0;
    ByteWriter writer;
    WriteHeaderBlock(writer, header);
    Bytes expected;
    expected.i32(2).zstring(QByteArray(300, 'p')).zstring("").zstring("L-204").zstring("");
    expected.i32(2).i32(24).i32(28).f64(20.0).f64(130.0);
    EXPECT_EQ(writer.data(), expected.data());

    MainData read;
    read.version = 7;
    ByteReader reader(writer.data());
    ASSERT_TRUE(ReadHeaderBlock(reader, read));
    EXPECT_EQ(read.version, 2);
    EXPECT_EQ(read.fileName, header.fileName);
    EXPECT_EQ(read.note2, header.note2);
    EXPECT_EQ(read.widthInch, 130.0);
    EXPECT_EQ(reader.remaining(), 0);
}

TEST(HeaderBlock, OlderVersionsAndTextsEndingAtAZero)
{
    // Version 1 has no note2; a stale one must not survive. A zero byte ends a text.
    Bytes v1;
    v1.i32(1).zstring("a.trc").zstring(QByteArrayLiteral("on\0e")).zstring("three");
    v1.i32(1).i32(8).i32(28).f64(20.0).f64(105.0);
    MainData header;
    header.note2 = "stale";
    header = test::ReadBeforeNextBlock(v1, header, ReadHeaderBlock);
    EXPECT_EQ(std::tuple(header.note1, header.note2, header.note3),
              std::tuple(QByteArray("on"), QByteArray(), QByteArray("three")));
    EXPECT_EQ(header.courseCount, 8);

    // Version 0 holds only its version: texts emptied, numbers left as they were.
    header = test::ReadBeforeNextBlock(Bytes().i32(0), header, ReadHeaderBlock);
    EXPECT_TRUE(header.fileName.isEmpty() && header.note1.isEmpty() && header.note3.isEmpty());
    EXPECT_EQ(header.courseCount, 8);
}

TEST(HeaderBlock, ShortOrDamagedDataFailsWithoutHarm)
{
    // Text lengths beyond the data, or negative, fail instead of allocating.
    for (int32_t length : {0x7fffffff, -1}) {
        const QByteArray block = Bytes().i32(2).i32(length).zeros(16);
        MainData header;
        ByteReader reader(block);
        EXPECT_FALSE(ReadHeaderBlock(reader, header));
    }
    MainData sample;
    sample.fileName = "lace.trc";
    sample.note1 = "Lace";
    ByteWriter writer;
    WriteHeaderBlock(writer, sample);
    test::CheckDamagedBlocks(writer.data(), 1234, 2000, [](ByteReader &reader, qsizetype cut) {
        MainData header;
        header.note1 = "stale";
        const bool ok = ReadHeaderBlock(reader, header);
        // What was read before the data ran out stays; nothing stale remains.
        EXPECT_TRUE(cut < 0 || header.fileName.isEmpty() == (cut < 4 + 4 + 8 + 1)) << cut;
        EXPECT_NE(header.note1, "stale");
        EXPECT_LE(header.fileName.size() + header.note1.size() + header.note3.size(),
                  reader.size());
        return ok;
    });
}
