#include "blockchecks.h"
#include "print/propertyrecord.h"

using namespace warplon;
using warplon::test::Bytes;

namespace {

PropertyRecord SampleRecord()
{
    return {.machineName = "HKS 3-M",
            .knittingDate = "2004-05-17",
            .department = "Sample room",
            .detailLines = {"beam 1: 612 ends", ""},
            .rpm = 1850,
            .spareValue = 19.5,
            .hours = 22.75,
            .efficiency = 80,
            .countOfW = 3,
            .spareCount = -4,
            .testWidth = 12.5,
            .testHeight = 8.25,
            .testWeight = 1.375,
            .cutYard = 120};
}

// The figures of every version (rpm to spareCount), then the test piece of versions 2 and up.
Bytes &Figures(Bytes &b)
{
    return b.i32(1850).f64(19.5).f64(22.75).i32(80).i32(3).i32(-4);
}
Bytes &TestPiece(Bytes &b)
{
    return b.f64(12.5).f64(8.25).f64(1.375).i32(120);
}

const int32_t kNextBlock = 0x0badf00d;

} // namespace

TEST(PropertyBlock, WriterLaysOutVersionFiveAndReadsBack)
{
    ByteWriter writer;
    WritePropertyBlock(writer, SampleRecord());
    Bytes expected;
    expected.i32(5).zstring("HKS 3-M").zstring("2004-05-17").zstring("Sample room");
    TestPiece(Figures(expected)).i32(2).zstring("beam 1: 612 ends").zstring("");
    EXPECT_EQ(writer.data(), expected.data());

    PropertyRecord read;
    ByteReader reader(writer.data());
    ASSERT_TRUE(ReadPropertyBlock(reader, read));
    EXPECT_EQ(read, SampleRecord());
    EXPECT_EQ(reader.position(), writer.data().size());
}

TEST(PropertyBlock, OlderVersionsSkipTheirUnusedBytesAndKeepStartValues)
{
    const PropertyRecord start;
    // Version 1: names and figures, 16 unused bytes. Version 2 adds the test piece before them.
    // Version 3 drops the unused bytes, version 4 adds the detail lines, 5 the department.
    Bytes v1, v2, v3, v4;
    Figures(v1.i32(1).zstring("M1").zstring("")).raw(QByteArray(16, '\x5a')).i32(kNextBlock);
    TestPiece(Figures(v2.i32(2).zstring("M2").zstring("d"))).zeros(16).i32(kNextBlock);
    TestPiece(Figures(v3.i32(3).zstring("M3").zstring("d"))).i32(kNextBlock);
    TestPiece(Figures(v4.i32(4).zstring("M4").zstring("d"))).i32(1).zstring("one");
    v4.i32(kNextBlock);
    for (const Bytes &block : {v1, v2, v3, v4}) {
        PropertyRecord record = SampleRecord();
        ByteReader reader(block.data());
        ASSERT_TRUE(ReadPropertyBlock(reader, record));
        int32_t after = 0;
        EXPECT_TRUE(reader.readI32(after));
        EXPECT_EQ(after, kNextBlock) << record.version;
        EXPECT_EQ(record.department, QByteArray());
        EXPECT_EQ(record.rpm, 1850);
        EXPECT_EQ(record.testHeight, record.version >= 2 ? 8.25 : start.testHeight);
        EXPECT_EQ(record.cutYard, record.version >= 2 ? 120 : start.cutYard);
        EXPECT_EQ(record.detailLines.size(), record.version >= 4 ? 1u : 0u);
    }
}

TEST(PropertyBlock, ShortOrDamagedDataFailsWithoutHarm)
{
    ByteWriter writer;
    WritePropertyBlock(writer, SampleRecord());
    test::ExpectEveryCutFails(writer.data(), [](ByteReader &reader, qsizetype cut) {
        PropertyRecord record;
        const bool ok = ReadPropertyBlock(reader, record);
        EXPECT_EQ(record.machineName.isEmpty(), cut < 4 + 4 + 7 + 1) << cut;
        return ok;
    });

    // A detail-line count the data cannot hold is refused before anything is reserved.
    for (int32_t count : {0x7fffffff, -2, 3}) {
        Bytes block;
        TestPiece(Figures(block.i32(4).zstring("").zstring(""))).i32(count).zstring("only one");
        PropertyRecord record;
        ByteReader reader(block.data());
        EXPECT_FALSE(ReadPropertyBlock(reader, record)) << count;
        EXPECT_TRUE(record.detailLines.empty()) << count;
    }
    test::ReadDamagedCopies(writer.data(), 2024, 2000, [](ByteReader &r, const QByteArray &d) {
        PropertyRecord record;
        ReadPropertyBlock(r, record);
        EXPECT_LE(qsizetype(record.detailLines.size()), d.size() / 5);
    });
}
