#include "blockchecks.h"
#include "print/propertyrecord.h"

using namespace warplon;
using warplon::test::Bytes;

namespace {

const PropertyRecord kSample = {.machineName = "HKS 3-M",
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

// The names, then the figures of every version (rpm to spareCount), then the test piece of
// versions 2 and up, as kSample has them.
Bytes Start(int32_t version, bool testPiece)
{
    Bytes b;
    b.i32(version).zstring("HKS 3-M").zstring("2004-05-17");
    if (version >= 5)
        b.zstring("Sample room");
    b.i32(1850).f64(19.5).f64(22.75).i32(80).i32(3).i32(-4);
    return testPiece ? b.f64(12.5).f64(8.25).f64(1.375).i32(120) : b;
}

} // namespace

TEST(PropertyBlock, WriterLaysOutVersionFiveAndReadsBack)
{
    const QByteArray layout = Start(5, true).i32(2).zstring("beam 1: 612 ends").zstring("");
    test::ExpectLayoutAndRoundTrip(kSample, layout, WritePropertyBlock, ReadPropertyBlock);
}

TEST(PropertyBlock, OlderVersionsSkipTheirUnusedBytesAndKeepStartValues)
{
    // Version 1: names and figures, 16 unused bytes. Version 2 adds the test piece before them.
    // Version 3 drops the unused bytes, version 4 adds the detail lines, 5 the department.
    const QByteArray blocks[]
        = {Start(1, false).raw(QByteArray(16, '\x5a')), Start(2, true).zeros(16), Start(3, true),
           Start(4, true).i32(1).zstring("one")};
    for (const QByteArray &block : blocks) {
        const PropertyRecord record = test::ReadBeforeNextBlock(block, kSample, ReadPropertyBlock);
        PropertyRecord expected = kSample;
        expected.version = record.version;
        expected.department.clear();
        expected.detailLines.assign(record.version >= 4 ? 1 : 0, "one");
        if (record.version < 2) { // the test piece keeps its start values
            const PropertyRecord s;
            std::tie(expected.testWidth, expected.testHeight, expected.testWeight, expected.cutYard)
                = std::tie(s.testWidth, s.testHeight, s.testWeight, s.cutYard);
        }
        EXPECT_EQ(record, expected) << record.version;
    }
}

TEST(PropertyBlock, ShortOrDamagedDataFailsWithoutHarm)
{
    // A detail-line count the data cannot hold is refused before anything is reserved.
    for (int32_t count : {0x7fffffff, -2, 3}) {
        const QByteArray block = Start(4, true).i32(count).zstring("only one");
        PropertyRecord record;
        ByteReader reader(block);
        EXPECT_FALSE(ReadPropertyBlock(reader, record)) << count;
        EXPECT_TRUE(record.detailLines.empty()) << count;
    }
    ByteWriter writer;
    WritePropertyBlock(writer, kSample);
    test::CheckDamagedBlocks(writer.data(), 2024, 2000, [](ByteReader &reader, qsizetype cut) {
        PropertyRecord record;
        const bool ok = ReadPropertyBlock(reader, record);
        EXPECT_TRUE(cut < 0 || record.machineName.isEmpty() == (cut < 4 + 4 + 7 + 1)) << cut;
        EXPECT_LE(qsizetype(record.detailLines.size()), reader.size() / 5);
        return ok;
    });
}
