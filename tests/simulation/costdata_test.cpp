#include "blockchecks.h"
#include "simulation/costdata.h"

using namespace warplon;
using warplon::test::Bytes;

namespace {

// A text as its 128-byte field stores it.
QByteArray Field(const QByteArray &text)
{
    return text + QByteArray(128 - text.size(), '\0');
}

CostData SampleCost()
{
    return {.exchangeRate = 1310.5,
            .workDaysPerMonth = 25.0,
            .itemName = {"Dyeing", "", "", "", "", "", "Packing"},
            .spareItemName = "spare",
            .itemCost = {100, 200, 300, 400, 500, 600, 700},
            .spareItemCost = 800,
            .polyLoss = 2.5,
            .spanLoss = 3.5,
            .nylonLoss = 1.5,
            .polyTreatLoss = 0.5,
            .spanTreatLoss = 0.75,
            .nylonTreatLoss = 0.25,
            .capa = 900,
            .machineCount = 4,
            .machineCmt = 120000,
            .rawLoss = 2,
            .rawMargin = 7,
            .treatCost = 450,
            .treatLoss = 4,
            .treatMargin = 6};
}

QByteArray SampleCostBytes()
{
    Bytes b;
    b.i32(1).f64(1310.5).f64(25.0).raw(Field("Dyeing")).raw(QByteArray(5 * 128, '\0'));
    b.raw(Field("Packing")).raw(Field("spare"));
    for (double v : {100.0, 200.0, 300.0, 400.0, 500.0, 600.0,    700.0, 800.0, 2.5,   3.5, 1.5,
                     0.5,   0.75,  0.25,  900.0, 4.0,   120000.0, 2.0,   7.0,   450.0, 4.0, 6.0})
        b.f64(v);
    return b;
}

} // namespace

TEST(CostBlock, WriterLaysOutVersionOneAndCutsLongNames)
{
    ByteWriter writer;
    WriteCostBlock(writer, SampleCost());
    EXPECT_EQ(writer.data(), SampleCostBytes());

    CostData read;
    ByteReader reader(writer.data());
    ASSERT_TRUE(ReadCostBlock(reader, read));
    EXPECT_EQ(read, SampleCost());

    // Names longer than 127 characters keep 127 and the terminating zero.
    CostData longName;
    longName.itemName[2] = QByteArray(200, 'n');
    ByteWriter cut;
    WriteCostBlock(cut, longName);
    EXPECT_EQ(cut.data().mid(4 + 16 + 2 * 128, 128), QByteArray(127, 'n') + '\0');
    ByteReader cutReader(cut.data());
    ASSERT_TRUE(ReadCostBlock(cutReader, read));
    EXPECT_EQ(read.itemName[2], QByteArray(127, 'n'));
}

TEST(CostFile, VersionZeroLoadsDefaultsAndFilesRoundTrip)
{
    test::TempDir dir;
    const QString empty = dir.file(QStringLiteral("empty.cst"));
    ASSERT_TRUE(test::writeFile(empty, Bytes().i32(0).f64(99)));
    CostData data = SampleCost();
    ASSERT_TRUE(LoadCostFile(empty, data));
    EXPECT_EQ(data, CostData());

    const QString path = dir.file(QStringLiteral("sample.cst"));
    ASSERT_TRUE(SaveCostFile(path, SampleCost()));
    EXPECT_EQ(test::readFile(path), SampleCostBytes());
    ASSERT_TRUE(LoadCostFile(path, data));
    EXPECT_EQ(data, SampleCost());

    // A file that is not there changes nothing.
    EXPECT_FALSE(LoadCostFile(dir.file(QStringLiteral("missing.cst")), data));
    EXPECT_EQ(data, SampleCost());
}

TEST(CostBlock, ShortOrDamagedDataKeepsWhatWasReadBefore)
{
    test::ExpectEveryCutFails(SampleCostBytes(), [](ByteReader &reader, qsizetype cut) {
        CostData data = SampleCost();
        const bool ok = ReadCostBlock(reader, data);
        EXPECT_EQ(data.exchangeRate, cut >= 12 ? 1310.5 : 1200.0) << cut;
        EXPECT_EQ(data.itemName[0].isEmpty(), cut < 20 + 128) << cut;
        EXPECT_EQ(data.treatMargin, 5.0) << cut; // the last field, never reached
        return ok;
    });
    test::ReadDamagedCopies(SampleCostBytes(), 31, 500, [](ByteReader &reader, const QByteArray &) {
        CostData data;
        ReadCostBlock(reader, data);
        for (const QByteArray &name : data.itemName)
            EXPECT_LE(name.size(), 127);
    });
}
