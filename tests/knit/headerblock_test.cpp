#include "blockchecks.h"
#include "knit/headerblock.h"

using namespace warplon;
using warplon::test::Bytes;

TEST(HeaderBlock, WriterLaysOutVersionTwoAndReadsBack)
{
    MainData header;
    header.fileName = QByteArray(300, 'p'); // longer than 255: kept whole
    header.note1 = QByteArrayLiteral("Lace");
    header.note2 = QByteArrayLiteral("L-204");
    header.barCount = 3;
    header.courseCount = 24;
    header.gauge = 32;
    header.coursesPerCm = 18.5;
    header.widthInch = 130.0;
    ByteWriter writer;
    WriteHeaderBlock(writer, header);
    Bytes expected;
    expected.i32(2).zstring(QByteArray(300, 'p')).zstring("Lace").zstring("L-204").zstring("");
    expected.i32(3).i32(24).i32(32).f64(18.5).f64(130.0);
    EXPECT_EQ(writer.data(), expected.data());

    MainData read;
    read.version = 7;
    ByteReader reader(writer.data());
    ASSERT_TRUE(ReadHeaderBlock(reader, read));
    EXPECT_EQ(read.version, 2);
    EXPECT_EQ(read.fileName, header.fileName);
    EXPECT_EQ(read.note2, header.note2);
    EXPECT_EQ(read.widthInch, 130.0);
    EXPECT_EQ(reader.position(), writer.data().size());
}

TEST(HeaderBlock, OlderVersionsAndTextsEndingAtAZero)
{
    // Version 1 has no note2; a stale one must not survive. A zero byte ends a text.
    Bytes v1;
    v1.i32(1).zstring("a.trc").zstring(QByteArrayLiteral("on\0e")).zstring("three");
    v1.i32(1).i32(8).i32(28).f64(20.0).f64(105.0).i32(-99);
    MainData header;
    header.note2 = QByteArrayLiteral("stale");
    ByteReader reader(v1.data());
    ASSERT_TRUE(ReadHeaderBlock(reader, header));
    EXPECT_EQ(header.note1, QByteArrayLiteral("on"));
    EXPECT_EQ(header.note2, QByteArray());
    EXPECT_EQ(header.note3, QByteArrayLiteral("three"));
    EXPECT_EQ(header.courseCount, 8);
    EXPECT_EQ(reader.position(), v1.data().size() - 4);

    // Version 0 holds only its version: texts emptied, numbers left as they were.
    const QByteArray v0 = Bytes().i32(0).i32(5);
    header.fileName = QByteArrayLiteral("old.trc");
    ByteReader reader0(v0);
    ASSERT_TRUE(ReadHeaderBlock(reader0, header));
    EXPECT_TRUE(header.fileName.isEmpty() && header.note1.isEmpty() && header.note3.isEmpty());
    EXPECT_EQ(header.courseCount, 8);
    EXPECT_EQ(reader0.position(), 4);
}

TEST(HeaderBlock, ShortOrDamagedDataFailsWithoutHarm)
{
    MainData sample;
    sample.fileName = QByteArrayLiteral("lace.trc");
    sample.note1 = QByteArrayLiteral("Lace");
    ByteWriter writer;
    WriteHeaderBlock(writer, sample);
    test::ExpectEveryCutFails(writer.data(), [](ByteReader &reader, qsizetype cut) {
        MainData header;
        header.note1 = QByteArrayLiteral("stale");
        const bool ok = ReadHeaderBlock(reader, header);
        // What was read before the data ran out stays; nothing stale remains.
        EXPECT_EQ(header.fileName.isEmpty(), cut < 4 + 4 + 8 + 1) << cut;
        EXPECT_NE(header.note1, QByteArrayLiteral("stale"));
        return ok;
    });

    // Text lengths beyond the data, or negative, fail instead of allocating.
    for (int32_t length : {0x7fffffff, -1}) {
        const QByteArray block = Bytes().i32(2).i32(length).zeros(16);
        MainData header;
        ByteReader reader(block);
        EXPECT_FALSE(ReadHeaderBlock(reader, header));
    }
    test::ReadDamagedCopies(writer.data(), 1234, 2000, [](ByteReader &r, const QByteArray &d) {
        MainData header;
        ReadHeaderBlock(r, header);
        EXPECT_LE(header.fileName.size() + header.note1.size() + header.note3.size(), d.size());
    });
}
