#include "blockchecks.h"
#include "simulation/costdata.h"

#include <tuple>

using namespace warplon;
using warplon::test::Bytes;

namespace {

CostData SampleCost()
{
    CostData c;
    c.exchangeRate = 1310.5;
    c.workDaysPerMonth = 25.0;
    c.itemName[0] = "Dyeing";
    c.itemName[6] = "Packing";
    c.spareItemName = "spare";
    c.itemCost = {100, 200, 300, 400, 500, 600, 700};
    std::tie(c.spareItemCost, c.polyLoss, c.spanLoss, c.nylonLoss, c.polyTreatLoss, c.spanTreatLoss,
             c.nylonTreatLoss, c.capa, c.machineCount, c.machineCmt, c.rawLoss, c.rawMargin,
             c.treatCost, c.treatLoss, c.treatMargin)
        = std::tuple(800.0, 2.5, 3.5, 1.5, 0.5, 0.75, 0.25, 900.0, 4.0, 120000.0, 2.0, 7.0, 450.0,
                     4.0, 6.0);
    return c;
}

// The texts sit in 128-byte fields.
QByteArray SampleCostBytes()
{
    Bytes b;
    b.i32(1).f64(1310.5).f64(25.0).raw("Dyeing").zeros(122 + 5 * 128).raw("Packing").zeros(121);
    b.raw("spare").zeros(123);
    for (double v : {100.0, 200.0, 300.0, 400.0, 500.0, 600.0,    700.0, 800.0, 2.5,   3.5, 1.5,
                     0.5,   0.75,  0.25,  900.0, 4.0,   120000.0, 2.0,   7.0,   450.0, 4.0, 6.0})
        b.f64(v);
    return b;
}

} // namespace

TEST(CostFile, LaysOutVersionOneAndReadsBack)
{
    test::TempDir dir;
    const QString path = dir.file(QStringLiteral("sample.cst"));
    ASSERT_TRUE(SaveCostFile(path, SampleCost()));
    EXPECT_EQ(test::readFile(path), SampleCostBytes());
    CostData data;
    ASSERT_TRUE(LoadCostFile(path, data));
    EXPECT_EQ(data, SampleCost());
    // A file that is not there changes nothing; version 0 holds nothing but the defaults.
    EXPECT_FALSE(LoadCostFile(dir.file(QStringLiteral("missing.cst")), data));
    EXPECT_EQ(data, SampleCost());
    ASSERT_TRUE(test::writeFile(path, Bytes().i32(0).f64(99)));
    ASSERT_TRUE(LoadCostFile(path, data));
    EXPECT_EQ(data, CostData());

    // Names longer than 127 characters keep 127 and the terminating zero.
    data.itemName[2] = QByteArray(200, 'n');
    ByteWriter cut;
    WriteCostBlock(cut, data);
    EXPECT_EQ(cut.data().mid(4 + 16 + 2 * 128, 128), QByteArray(127, 'n') + '\0');
}

TEST(CostBlock, ShortOrDamagedDataKeepsWhatWasReadBefore)
{
    test::CheckDamagedBlocks(SampleCostBytes(), 31, 500, [](ByteReader &reader, qsizetype cut) {
        CostData data = SampleCost();
        const bool ok = ReadCostBlock(reader, data);
        if (cut >= 0) {
            EXPECT_EQ(data.exchangeRate, cut >= 12 ? 1310.5 : 1200.0) << cut;
            EXPECT_EQ(data.itemName[0].isEmpty(), cut < 20 + 128) << cut;
            EXPECT_EQ(data.treatMargin, 5.0) << cut; // the last field, never reached
        }
        for (const QByteArray &name : data.itemName)
            EXPECT_LE(name.size(), 127);
        return ok;
    });
}
