#include "app/design.h"
#include "simulation/costedits.h"
#include "simulation/costsheet.h"
#include "text/stringtable.h"

#include "testsupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace warplon;

namespace {

Yarn MakeYarn(uint8_t material, double yarnValue)
{
    Yarn yarn;
    yarn.material = material;
    yarn.yarnValue = yarnValue;
    return yarn;
}

YarnUse MakeUse(int32_t yarn, int32_t bar, double gramsPerYard, double percent)
{
    YarnUse use;
    use.yarn = yarn;
    use.bar = bar;
    use.gramsPerYard = gramsPerYard;
    use.percent = percent;
    return use;
}

// Local and foreign texts of a money figure, joined: "422.490 / 0.3521".
QString Money(SheetFigure local, double rate)
{
    const MoneyTexts texts = FormatMoney(local, rate);
    return texts.local + QStringLiteral(" / ") + texts.foreign;
}

QString Text(SheetFigure value, int decimals)
{
    return FormatSheetFigure(value, decimals);
}

// The example worked by hand: a spandex yarn A at 12,000 a kilogram on bar 1 (20 g/yard) and a
// polyester yarn B at 5,000 on bars 0 and 2 (40 and 20 g/yard); 20 courses per cm on the
// machine, 25 after finishing.
struct HandExample
{
    std::vector<Yarn> yarns{MakeYarn(MaterialSpandex, 12000.0),
                            MakeYarn(MaterialPolyester, 5000.0)};
    std::vector<YarnUse> uses{MakeUse(1, 0, 40.0, 50.0), MakeUse(0, 1, 20.0, 25.0),
                              MakeUse(1, 2, 20.0, 25.0)};
    CostData cost = [] {
        CostData c;
        c.workDaysPerMonth = 25.0;
        c.capa = 2.0;
        c.machineCount = 4.0;
        c.itemName[0] = "Knitting";
        c.itemCost[0] = 100000.0;
        c.itemCost[1] = 60000.0;
        c.machineCmt = 99999.0; // stored, but no figure of the sheet uses it
        c.polyTreatLoss = 1.0;
        c.spanTreatLoss = 4.0;
        c.treatCost = 500.0;
        return c;
    }();
    CostSheet compute() const { return ComputeCostSheet(cost, uses, yarns, 20.0, 25.0); }
};

} // namespace

TEST(CostSheet, PolyesterAndSpandexWorkedByHand)
{
    const HandExample example;
    const CostSheet sheet = example.compute();
    const double rate = 1200.0;

    // 1. 1.0936133 yards per metre × 80 g ÷ 20 × 25 = 109.361 g/m; 20 ÷ 25 = 80 %.
    EXPECT_EQ(Text(sheet.fabricWeight, 2), QStringLiteral("109.36"));
    EXPECT_EQ(Text(sheet.densityRatio, 1), QStringLiteral("80.0"));

    // 2. B (75 %) before A (25 %). B: 1.02 × 109.361 × 60/80 × 5 × 1.01 = 422.490;
    //    A: 1.03 × 27.340 × 12 × 1.04 = 351.444.
    ASSERT_EQ(sheet.yarnLines.size(), 2u);
    const CostYarnLine &b = sheet.yarnLines[0];
    const CostYarnLine &a = sheet.yarnLines[1];
    EXPECT_EQ(b.yarn, 1);
    EXPECT_EQ(FormatPercentFigure(b.percent, 2), QStringLiteral("75.00%"));
    EXPECT_EQ(Text(b.weight, 2), QStringLiteral("82.02"));
    EXPECT_EQ(std::pair(b.loss, b.treatLoss), std::pair(2.0, 1.0));
    EXPECT_EQ(Money(b.yarnValue, rate), QStringLiteral("5000.000 / 4.1667"));
    EXPECT_EQ(Money(b.yarnCost, rate), QStringLiteral("422.490 / 0.3521"));
    EXPECT_EQ(a.yarn, 0);
    EXPECT_EQ(FormatPercentFigure(a.percent, 2), QStringLiteral("25.00%"));
    EXPECT_EQ(Text(a.weight, 2), QStringLiteral("27.34"));
    EXPECT_EQ(std::pair(a.loss, a.treatLoss), std::pair(3.0, 4.0));
    EXPECT_EQ(Money(a.yarnValue, rate), QStringLiteral("12000.000 / 10.0000"));
    EXPECT_EQ(Money(a.yarnCost, rate), QStringLiteral("351.444 / 0.2929"));
    EXPECT_EQ(Money(sheet.yarnTotal, rate), QStringLiteral("773.934 / 0.6449"));

    // 3. Items ÷ capacity 2 ÷ 25 days ÷ 4 machines.
    EXPECT_EQ(sheet.items[0].name, QByteArray("Knitting"));
    EXPECT_EQ(Money(sheet.items[0].perUnit, rate), QStringLiteral("500.000 / 0.4167"));
    EXPECT_EQ(Money(sheet.items[1].perUnit, rate), QStringLiteral("300.000 / 0.2500"));
    EXPECT_EQ(Money(sheet.items[6].perUnit, rate), QStringLiteral("0.000 / 0.0000"));
    EXPECT_EQ(Money(sheet.making, rate), QStringLiteral("800.000 / 0.6667"));

    // 4. Raw fabric with 3 % loss and 5 % margin.
    EXPECT_EQ(Money(sheet.rawBase, rate), QStringLiteral("1573.934 / 1.3116"));
    EXPECT_EQ(Money(sheet.rawLoss, rate), QStringLiteral("47.218 / 0.0393"));
    EXPECT_EQ(Money(sheet.withLoss, rate), QStringLiteral("1621.152 / 1.3510"));
    EXPECT_EQ(Money(sheet.rawMargin, rate), QStringLiteral("81.058 / 0.0675"));
    EXPECT_EQ(Money(sheet.rawPrice, rate), QStringLiteral("1702.209 / 1.4185"));

    // 5. Finishing at 500 with 3 % loss and 5 % margin.
    EXPECT_EQ(Money(sheet.treatCost, rate), QStringLiteral("500.000 / 0.4167"));
    EXPECT_EQ(Money(sheet.treatLossFigure, rate), QStringLiteral("566.066 / 0.4717"));
    EXPECT_EQ(Money(sheet.treated, rate), QStringLiteral("2268.276 / 1.8902"));
    EXPECT_EQ(Money(sheet.treatedMargin, rate), QStringLiteral("113.414 / 0.0945"));
    EXPECT_EQ(Money(sheet.treatedPrice, rate), QStringLiteral("2381.689 / 1.9847"));

    // 6. Shares of 2381.689.
    EXPECT_EQ(FormatPercentFigure(sheet.yarnShare, 2), QStringLiteral("32.50%"));
    EXPECT_EQ(FormatPercentFigure(sheet.items[0].share, 2), QStringLiteral("20.99%"));
    EXPECT_EQ(FormatPercentFigure(sheet.items[1].share, 2), QStringLiteral("12.60%"));
}

TEST(CostSheet, ZeroDivisorsShowADashAndNothingElse)
{
    const double rate = 1200.0;
    auto sheetWith = [](auto change, double machineCpc = 20.0, double finishedCpc = 25.0) {
        HandExample example;
        change(example.cost);
        return ComputeCostSheet(example.cost, example.uses, example.yarns, machineCpc, finishedCpc);
    };
    const auto noChange = [](CostData &) {};

    // Capacity, working days or machines at 0: every figure built on the items is "-"; the
    // yarn figures stand.
    for (auto change :
         {+[](CostData &c) { c.capa = 0.0; }, +[](CostData &c) { c.workDaysPerMonth = 0.0; },
          +[](CostData &c) { c.machineCount = 0.0; }}) {
        const CostSheet sheet = sheetWith(change);
        EXPECT_EQ(Money(sheet.yarnTotal, rate), QStringLiteral("773.934 / 0.6449"));
        for (SheetFigure figure :
             {sheet.items[0].perUnit, sheet.items[0].share, sheet.making, sheet.rawBase,
              sheet.rawPrice, sheet.treatLossFigure, sheet.treatedPrice, sheet.yarnShare})
            EXPECT_EQ(Money(figure, rate), QStringLiteral("- / -"));
        EXPECT_EQ(Money(sheet.treatCost, rate), QStringLiteral("500.000 / 0.4167"));
    }

    // No courses per cm on the machine: the weights and everything priced from them.
    const CostSheet machine = sheetWith(noChange, 0.0);
    EXPECT_EQ(Text(machine.fabricWeight, 2), QStringLiteral("-"));
    EXPECT_EQ(Text(machine.densityRatio, 1), QStringLiteral("0.0"));
    EXPECT_EQ(Text(machine.yarnLines[0].weight, 2), QStringLiteral("-"));
    EXPECT_EQ(Money(machine.yarnLines[0].yarnCost, rate), QStringLiteral("- / -"));
    EXPECT_EQ(Money(machine.treatedPrice, rate), QStringLiteral("- / -"));
    EXPECT_EQ(Money(machine.making, rate), QStringLiteral("800.000 / 0.6667"));
    // None after finishing: only the density ratio divides by it.
    const CostSheet finished = sheetWith(noChange, 20.0, 0.0);
    EXPECT_EQ(Text(finished.densityRatio, 1), QStringLiteral("-"));
    EXPECT_EQ(Text(finished.fabricWeight, 2), QStringLiteral("0.00"));
    EXPECT_EQ(Money(finished.yarnTotal, rate), QStringLiteral("0.000 / 0.0000"));

    // No exchange rate: the foreign amounts only.
    const CostSheet noRate = sheetWith([](CostData &c) { c.exchangeRate = 0.0; });
    EXPECT_EQ(Money(noRate.treatedPrice, noRate.exchangeRate), QStringLiteral("2381.689 / -"));

    // A value no number can hold (a damaged file) or a result past the largest double.
    const CostSheet damaged = sheetWith([](CostData &c) {
        c.treatCost = std::numeric_limits<double>::quiet_NaN();
        c.itemCost[2] = std::numeric_limits<double>::max();
        c.capa = 1e-300;
    });
    EXPECT_EQ(Money(damaged.treatCost, rate), QStringLiteral("- / -"));
    EXPECT_EQ(Money(damaged.items[2].perUnit, rate), QStringLiteral("- / -"));
    EXPECT_EQ(Money(damaged.treatedPrice, rate), QStringLiteral("- / -"));
    EXPECT_EQ(Text(1e306, 4), QStringLiteral("-")); // too large to round to four decimals
}

TEST(CostSheet, LossesByMaterialAndSharesOfAPriceThatIsNotPositive)
{
    // Nylon, cotton and typed-in materials all take the nylon losses.
    CostData cost;
    cost.nylonLoss = 7.0;
    cost.nylonTreatLoss = 8.0;
    cost.treatLoss = 0.0;
    cost.rawLoss = 0.0;
    cost.rawMargin = 0.0;
    cost.treatMargin = 0.0;
    for (int material : {1, 4, 5, 9}) { // nylon, cotton, typed in, unknown
        const CostSheet sheet = ComputeCostSheet(cost, {MakeUse(0, 0, 10.0, 100.0)},
                                                 {MakeYarn(uint8_t(material), 0.0)}, 20, 20);
        ASSERT_EQ(sheet.yarnLines.size(), 1u);
        EXPECT_EQ(std::pair(sheet.yarnLines[0].loss, sheet.yarnLines[0].treatLoss),
                  std::pair(7.0, 8.0));
    }

    // A finishing credit larger than the fabric's price: the shares divide by 1.
    cost.itemCost[0] = 100.0; // 100 ÷ 1 ÷ 23.5 ÷ 1 = 4.255 per unit
    cost.treatCost = -50.0;
    const CostSheet sheet = ComputeCostSheet(cost, {}, {}, 20, 20);
    EXPECT_EQ(Text(sheet.treatedPrice, 3), QStringLiteral("-45.744"));
    EXPECT_EQ(FormatPercentFigure(sheet.items[0].share, 2), QStringLiteral("425.53%"));
    EXPECT_EQ(FormatPercentFigure(sheet.yarnShare, 2), QStringLiteral("0.00%"));
    EXPECT_TRUE(sheet.yarnLines.empty());
}

TEST(CostSheet, DesignSheetUsesAFreshComposition)
{
    // Yarn A: spandex with stretch 1 on bar 1 (300 ends); yarn B: polyester on bar 0 (600 ends);
    // both 40 denier on bars of the same run-in, so both weigh the same.
    Design design;
    MakeNewDesign(design);
    design.document.yarns = {MakeYarn(MaterialSpandex, 0.0), MakeYarn(MaterialPolyester, 0.0)};
    design.document.yarns[0].stretch = 1.0;
    design.document.bars[0].threading = {WaleState{1, 1, 1, 0}};
    design.document.bars[1].threading = {WaleState{0, 1, 1, 0}};
    // Stale figures and a record of a yarn no bar knits: none of them count.
    YarnUse b = MakeUse(1, 0, 1.0, 90.0);
    b.ends = 600;
    YarnUse a = MakeUse(0, 1, 1.0, 10.0);
    a.ends = 300;
    design.document.yarnUses = {b, a, MakeUse(0, 0, 500.0, 0.0)};
    const std::vector<YarnUse> before = design.document.yarnUses;

    design.simulation.coursesPerCm = 20.0;
    const CostSheet sheet = ComputeDesignCostSheet(design.cost, design.document, design.header,
                                                   design.guideBars, design.simulation);
    // 1700 mm a rack at 20 courses/cm: 6.477 m/yard an end; 600 × 40 den ÷ 9000 → 17.272 g,
    // 300 × 40 ÷ 9000 × 2 → 17.272 g; 34.544 g/yard → 37.78 g/m.
    EXPECT_EQ(Text(sheet.fabricWeight, 2), QStringLiteral("37.78"));
    ASSERT_EQ(sheet.yarnLines.size(), 2u);
    EXPECT_EQ(FormatPercentFigure(sheet.yarnLines[0].percent, 2), QStringLiteral("50.00%"));
    EXPECT_EQ(FormatPercentFigure(sheet.yarnLines[1].percent, 2), QStringLiteral("50.00%"));
    EXPECT_EQ(sheet.yarnLines[0].yarn, 0); // equal shares keep the yarn order
    EXPECT_EQ(Text(sheet.yarnLines[1].gramsPerYard, 3), QStringLiteral("17.272"));
    EXPECT_EQ(design.document.yarnUses, before);
}

TEST(CostEdits, EnterStoresNumbersTextsAndNothingElse)
{
    CostData cost;
    const CostField &rate = *FindCostField(QStringLiteral("cedExchangeRate"));
    const CostField &days = *FindCostField(QStringLiteral("workDaysPerMonth"));
    const CostField &name = *FindCostField(QStringLiteral("ed7"));
    const CostField &amount = *FindCostField(QStringLiteral("itemCost[6]"));
    EXPECT_EQ(FindCostField(QStringLiteral("spareItemCost")), nullptr);
    EXPECT_EQ(CostFields().size(), 30u);

    // A fresh record shows the window's defaults.
    EXPECT_EQ(CostFieldText(cost, rate), QStringLiteral("1,200.00"));
    EXPECT_EQ(CostFieldText(cost, days), QStringLiteral("23.5"));
    EXPECT_EQ(CostFieldText(cost, *FindCostField(QStringLiteral("edCAPA"))), QStringLiteral("1"));

    // Currency edits read thousands separators; plain edits do not.
    EXPECT_EQ(StoreCostField(cost, rate, QStringLiteral("1,350.5")), CostStore::Stored);
    EXPECT_EQ(cost.exchangeRate, 1350.5);
    EXPECT_EQ(StoreCostField(cost, amount, QStringLiteral("-1234567.891")), CostStore::Stored);
    EXPECT_EQ(CostFieldText(cost, amount), QStringLiteral("-1,234,567.89"));
    EXPECT_EQ(StoreCostField(cost, days, QStringLiteral(" 21.25 ")), CostStore::Stored);
    EXPECT_EQ(cost.workDaysPerMonth, 21.25);

    // Empty, not a number, not finite: nothing changes.
    const CostData before = cost;
    EXPECT_EQ(StoreCostField(cost, days, QString()), CostStore::Empty);
    for (const char *text : {"1,000", "abc", "1.2.3", "inf", "nan", "1e999"})
        EXPECT_EQ(StoreCostField(cost, days, QLatin1String(text)), CostStore::NotANumber) << text;
    EXPECT_EQ(StoreCostField(cost, rate, QStringLiteral("12x")), CostStore::NotANumber);
    EXPECT_EQ(cost, before);

    // Names are cut to 127 bytes between two characters: 60 Hangul syllables are 180 bytes.
    const QString korean(60, QChar(0xD55C));
    EXPECT_EQ(StoreCostField(cost, name, korean), CostStore::Stored);
    EXPECT_EQ(cost.itemName[6].size(), 126);
    EXPECT_EQ(CostFieldText(cost, name), QString(42, QChar(0xD55C)));
    EXPECT_EQ(CostItemNameBytes(QString(200, QLatin1Char('x'))).size(), 127);

    // Amounts that round to zero show no sign.
    EXPECT_EQ(FormatCurrency(-0.001), QStringLiteral("0.00"));
    EXPECT_EQ(FormatCurrency(0.125), QStringLiteral("0.13"));
}

TEST(CostEdits, WholeFileOrNothing)
{
    test::TempDir dir;
    CostData cost;
    cost.capa = 7.0;
    const CostData before = cost;

    // Version 0 holds no field: the record takes the defaults.
    ASSERT_TRUE(test::writeFile(dir.file(QStringLiteral("zero.cst")), test::Bytes().i32(0)));
    EXPECT_TRUE(LoadWholeCostFile(dir.file(QStringLiteral("zero.cst")), cost));
    EXPECT_EQ(cost, CostData());

    // A file that ends inside its texts, or is not there, changes nothing.
    cost = before;
    const QByteArray shortFile
        = test::Bytes().i32(1).f64(900.0).f64(20.0).raw("Dyeing").zeros(50).data();
    ASSERT_TRUE(test::writeFile(dir.file(QStringLiteral("short.cst")), shortFile));
    EXPECT_FALSE(LoadWholeCostFile(dir.file(QStringLiteral("short.cst")), cost));
    EXPECT_FALSE(LoadWholeCostFile(dir.file(QStringLiteral("missing.cst")), cost));
    EXPECT_EQ(cost, before);

    // A whole version-1 file replaces every field.
    test::Bytes file;
    file.i32(1).f64(900.0).f64(20.0).raw("Dyeing").zeros(128 - 6).zeros(7 * 128);
    // Items, spare, six losses, capa, machines, CMT, raw loss and margin, finishing cost, loss
    // and margin.
    for (double value : {10.0, 0.0,  0.0,  0.0, 0.0, 0.0,  0.0, 0.0, 1.5,   2.5, 3.5,
                         0.5,  0.25, 0.75, 4.0, 2.0, 60.0, 3.0, 4.0, 800.0, 1.0, 7.0})
        file.f64(value);
    ASSERT_TRUE(test::writeFile(dir.file(QStringLiteral("one.cst")), file));
    EXPECT_TRUE(LoadWholeCostFile(dir.file(QStringLiteral("one.cst")), cost));
    EXPECT_EQ(cost.exchangeRate, 900.0);
    EXPECT_EQ(cost.itemName[0], QByteArray("Dyeing"));
    EXPECT_EQ(cost.itemCost[0], 10.0);
    EXPECT_EQ(std::pair(cost.capa, cost.machineCount), std::pair(4.0, 2.0));
    EXPECT_EQ(std::pair(cost.treatCost, cost.treatMargin), std::pair(800.0, 7.0));
}

TEST(CostSheet, RowsShowEveryFigureWithItsLabel)
{
    TStringTable texts;
    ASSERT_TRUE(LoadTable(texts, QStringLiteral(WARPLON_RESOURCES), QStringLiteral("English"),
                          QStringLiteral("Cost")));
    const HandExample example;
    const std::vector<CostSheetRow> rows = CostSheetRows(example.compute(), example.yarns, texts);
    ASSERT_EQ(rows.size(), 2u + 2u + 1u + 7u + 11u);
    auto line = [](const CostSheetRow &row) { return QStringList(row.begin(), row.end()); };
    auto expected = [](std::initializer_list<const char *> cells) {
        QStringList list;
        for (const char *cell : cells)
            list << QString::fromUtf8(cell);
        return list;
    };
    EXPECT_EQ(line(rows[0]),
              expected({"Fabric Weight (g/m)", "", "109.36", "", "", "", "", "", "", ""}));
    EXPECT_EQ(line(rows[1]), expected({"Density Ratio", "80.0%", "", "", "", "", "", "", "", ""}));
    EXPECT_EQ(line(rows[2]), expected({"B  P/F 40/20 SD", "75.00%", "82.02", "2.00%", "1.00%",
                                       "5000.000", "4.1667", "422.490", "0.3521", ""}));
    EXPECT_EQ(line(rows[4]),
              expected({"Yarn Total", "", "", "", "", "", "", "773.934", "0.6449", "32.50%"}));
    EXPECT_EQ(rows[5][0], QStringLiteral("Knitting"));
    EXPECT_EQ(line(rows[6]),
              expected({"Cost Item 2", "", "", "", "", "", "", "300.000", "0.2500", "12.60%"}));
    EXPECT_EQ(rows[12][0] + QLatin1Char('=') + rows[12][7], QStringLiteral("Making=800.000"));
    EXPECT_EQ(rows.back()[0] + QLatin1Char('=') + rows.back()[7] + QLatin1Char('/')
                  + rows.back()[8],
              QStringLiteral("Treated Fabric Price=2381.689/1.9847"));
}
