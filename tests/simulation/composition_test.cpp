#include "app/design.h"
#include "knit/runin.h"
#include "simulation/composition.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>

using namespace warplon;

namespace {

// Two bars, three yarns: bar 0 threads A and B, bar 1 threads A.
Design ThreeYarns()
{
    Design design;
    MakeNewDesign(design);
    design.document.yarns.resize(3);
    design.document.bars[0].threading = {{0, 2, 1, 0}, {1, 1, 1, 0}};
    return design;
}

std::vector<std::pair<int32_t, int32_t>> Pairs(const CompositionTable &table)
{
    std::vector<std::pair<int32_t, int32_t>> pairs;
    for (const YarnUse &use : table.records)
        pairs.emplace_back(use.yarn, use.bar);
    return pairs;
}

CompositionTable Compute(const Design &d)
{
    return ComputeComposition(d.document, d.header, d.guideBars);
}

using PairList = std::vector<std::pair<int32_t, int32_t>>;

} // namespace

TEST(Composition, RecordsFollowTheThreading)
{
    Design d;
    MakeNewDesign(d);
    d.document.yarns.resize(3);
    // [L1 A, L2 A] with ends entered.
    d.document.yarnUses = {{.yarn = 0, .bar = 0, .ends = 10}, {.yarn = 0, .bar = 1, .ends = 20}};
    d.document.bars[0].threading.push_back({1, 1, 1, 0}); // B newly threaded on bar 0
    CompositionTable table = Compute(d);
    EXPECT_EQ(Pairs(table), (PairList{{0, 0}, {1, 0}, {0, 1}}));
    EXPECT_EQ(table.records[0].ends, 10);
    EXPECT_EQ(table.records[1].ends, 0);
    EXPECT_EQ(table.records[2].ends, 20);

    // Records of missing yarns or bars, of a yarn the bar does not name, and repeats go. A run
    // left empty still names its yarn: the record stays, but such a run brings in none.
    d.document.bars[1].threading = {{0, 1, 1, 0}, {2, 1, 0, 0}};
    d.document.yarnUses = {{.yarn = 3, .bar = 0},
                           {.yarn = 0, .bar = 2},
                           {.yarn = -1, .bar = 0},
                           {.yarn = 0, .bar = -1},
                           {.yarn = 1, .bar = 1},
                           {.yarn = 2, .bar = 1, .ends = 5},
                           {.yarn = 0, .bar = 1, .ends = 7},
                           {.yarn = 0, .bar = 1, .ends = 8}};
    table = Compute(d);
    EXPECT_EQ(Pairs(table), (PairList{{0, 0}, {1, 0}, {2, 1}, {0, 1}}));
    EXPECT_EQ(table.records[3].ends, 7); // the first of the two (A, bar 1) records stays
    d.document.yarnUses = {};
    EXPECT_EQ(Pairs(Compute(d)), (PairList{{0, 0}, {1, 0}, {0, 1}}));
    // Threading that names yarns the list does not hold (an emptied list) brings no record.
    TexLayer empty = d.document;
    empty.yarns.clear();
    empty.bars[1].threading = {{7, 1, 1, 0}};
    EXPECT_TRUE(ComputeComposition(empty, d.header, d.guideBars).records.empty());

    // Taking B off bar 0 drops its record; the rest keep their ends.
    d.document.yarnUses = table.records;
    d.document.bars[0].threading = {{0, 1, 1, 0}};
    EXPECT_EQ(Pairs(Compute(d)), (PairList{{0, 0}, {2, 1}, {0, 1}}));

    // Regrouping exchanges records: the two records of bar 1 swap places.
    d.document.bars[1].threading = {{0, 1, 1, 0}, {1, 1, 1, 0}};
    d.document.yarnUses = {{.yarn = 0, .bar = 1}, {.yarn = 1, .bar = 1}, {.yarn = 0, .bar = 0}};
    EXPECT_EQ(Pairs(Compute(d)), (PairList{{0, 0}, {1, 1}, {0, 1}}));
}

TEST(Composition, WeightsAndShares)
{
    Design d = ThreeYarns();
    // Bar 1 has no course states and lays in without moving: every course takes 10 / 20 mm of
    // yarn, so the formula gives 480 * 0.5 = 240 mm per rack and 240 / 480 * 20 * 0.9144 =
    // 0.9144 m per yard; 100 ends of 90 denier weigh 0.9144 * 100 * 90 / 9000 = 0.9144 g.
    Tex &bar1 = d.document.bars[1];
    bar1.courseStates.clear();
    for (ChainLink &link : bar1.lapping)
        link = {1, 1, 1};
    d.document.yarns[0].denier = 90.0;
    d.document.yarnUses = {{.yarn = 0, .bar = 1, .ends = 100}};
    CompositionTable table = Compute(d);
    ASSERT_EQ(Pairs(table), (PairList{{0, 0}, {1, 0}, {0, 1}}));
    const YarnUse &laid = table.records[2];
    EXPECT_EQ(laid.runIn, 240);
    EXPECT_NEAR(laid.metersPerYard, 0.9144, 1e-12);
    EXPECT_NEAR(laid.gramsPerYard, 0.9144, 1e-12);
    EXPECT_NEAR(laid.percent, 100.0, 1e-12);
    EXPECT_NEAR(table.totalGramsPerYard, 0.9144, 1e-12);

    // Bar 0 keeps its course states: the entered run-in (1700) counts, whatever the formula.
    d.document.bars[0].courseStates[3].runIn = 1716; // mean 1701
    d.document.yarnUses.push_back({.yarn = 1, .bar = 0, .ends = 50});
    d.document.yarns[1].stretch = 2.0; // weighs three times
    d.guideBars.formula[0] = 0;
    table = Compute(d);
    // The exchanges put B before A on bar 0 this time.
    ASSERT_EQ(Pairs(table), (PairList{{1, 0}, {0, 0}, {0, 1}}));
    const YarnUse &stretched = table.records[0];
    EXPECT_EQ(stretched.runIn, 1701);
    const double meters = 1701.0 / 480 * 20 * 91.44 / 1000;
    EXPECT_NEAR(stretched.metersPerYard, meters, 1e-12);
    EXPECT_NEAR(stretched.gramsPerYard, 3 * meters * 50 * 40 / 9000, 1e-12);
    const double total = stretched.gramsPerYard + 0.9144;
    EXPECT_NEAR(table.totalGramsPerYard, total, 1e-12);
    EXPECT_NEAR(stretched.percent, stretched.gramsPerYard / total * 100, 1e-12);
    EXPECT_NEAR(table.records[2].percent, 0.9144 / total * 100, 1e-12);
    EXPECT_EQ(table.records[1].percent, 0.0);

    // The formula of the bar's own diameter rule and the yarn's own count give the run-in.
    bar1.lapping[0] = {1, 2, 1};
    d.guideBars.formula[1] = 1;
    d.document.yarns[0].filaments = 36;
    EXPECT_EQ(Compute(d).records[2].runIn,
              TruncToInt32(FormulaRunIn(bar1, 36, d.header.gauge, 1, 20.0, 90.0)));
    EXPECT_NE(Compute(d).records[2].runIn,
              TruncToInt32(FormulaRunIn(bar1, 36, d.header.gauge, 2, 20.0, 90.0)));

    // No ends anywhere: every share is 0 %, none is "nan".
    d.document.yarnUses.clear();
    table = Compute(d);
    EXPECT_EQ(table.totalGramsPerYard, 0.0);
    for (int32_t row = 1; row <= 3; ++row)
        EXPECT_EQ(CompositionCellText(table, d.document.yarns, row, CompositionPercent),
                  QStringLiteral("0.00"));

    // A stretch too large for a weight counts as no weight; a machine without courses weighs
    // nothing. Every figure stays finite.
    d.document.yarnUses = {{.yarn = 1, .bar = 0, .ends = 50}, {.yarn = 0, .bar = 1, .ends = 9}};
    d.document.yarns[1].stretch = std::numeric_limits<double>::max();
    table = Compute(d);
    ASSERT_EQ(Pairs(table), (PairList{{1, 0}, {0, 0}, {0, 1}}));
    EXPECT_EQ(table.records[0].gramsPerYard, 0.0);
    EXPECT_NEAR(table.records[2].percent, 100.0, 1e-12);
    d.header.coursesPerCm = 0.0;
    table = Compute(d);
    EXPECT_EQ(table.totalGramsPerYard, 0.0);
    for (const YarnUse &use : table.records)
        EXPECT_TRUE(std::isfinite(use.metersPerYard) && use.percent == 0.0);
}

TEST(Composition, Texts)
{
    Design d = ThreeYarns();
    std::vector<Yarn> &yarns = d.document.yarns;
    yarns[1].material = MaterialSpandex;
    yarns[1].optical = 6;
    yarns[1].denier = 70.9;
    yarns[1].filaments = 1;
    yarns[2].material = MaterialDirectInput;
    yarns[2].yarnText1 = "Tencel";
    yarns[2].optical = 9;
    yarns[2].yarnText2 = "dull";
    d.document.bars[1].threading = {{2, 1, 1, 0}};
    d.document.yarnUses = {{.yarn = 0, .bar = 0, .endsPerBeam = 12, .beams = 3, .ends = 36}};
    const CompositionTable table = Compute(d);
    const QStringList row1{
        QStringLiteral("L1"),   QStringLiteral("A"),    QStringLiteral("P/F 40/20 SD"),
        QStringLiteral("12"),   QStringLiteral("3"),    QStringLiteral("36"),
        QStringLiteral("6.48"), QStringLiteral("1.04"), QStringLiteral("100.00"),
        QStringLiteral("1700")};
    for (int32_t c = 0; c < kCompositionColumns; ++c)
        EXPECT_EQ(CompositionCellText(table, yarns, 1, c), row1[c]) << c;
    EXPECT_EQ(CompositionCellText(table, yarns, 2, CompositionSpec),
              QStringLiteral("SPANDEX 70/1 "));
    EXPECT_EQ(CompositionCellText(table, yarns, 3, CompositionBar), QStringLiteral("L2"));
    EXPECT_EQ(CompositionCellText(table, yarns, 3, CompositionSpec),
              QStringLiteral("Tencel 40/20 dull"));
    EXPECT_EQ(CompositionCellText(table, yarns, 4, CompositionBar), QString());
    EXPECT_EQ(CompositionCellText(table, yarns, 0, CompositionBar), QString());
    EXPECT_EQ(CompositionGridRows(table), 14);

    yarns[0].material = MaterialNone;
    yarns[0].optical = 200;
    EXPECT_EQ(YarnSpecText(yarns[0]), QStringLiteral("40/20 "));
    yarns[0].denier = -0.5;
    EXPECT_EQ(YarnSpecText(yarns[0]), QStringLiteral("0/20 "));

    d.header.widthInch = 60.125;
    d.simulation.walesPerInch = 31.5;
    const QStringList machine{QString(), QStringLiteral("28"), QStringLiteral("20.00"),
                              QStringLiteral("60.13"), QStringLiteral("1.04")};
    const QStringList finished{QString(), QStringLiteral("31.50"), QStringLiteral("20.00"),
                               QStringLiteral("105.00"), QStringLiteral("-")};
    for (int32_t c = 0; c < 5; ++c) {
        EXPECT_EQ(CompositionTotalText(table, d.header, d.simulation, 1, c), machine[c]);
        EXPECT_EQ(CompositionTotalText(table, d.header, d.simulation, 2, c), finished[c]);
    }
}

TEST(Composition, Entries)
{
    std::vector<YarnUse> records(2);
    auto enter = [&records](int32_t row, int32_t column, const char *text) {
        return EnterCompositionCell(records, row, column, QString::fromUtf8(text));
    };
    CompositionEntryResult r = enter(1, CompositionEndsPerBeam, "100");
    EXPECT_EQ(r.outcome, CompositionEntry::Stored);
    EXPECT_EQ(r.nextColumn, CompositionBeams);
    r = enter(1, CompositionBeams, " 6 ");
    EXPECT_EQ(r.outcome, CompositionEntry::Stored);
    EXPECT_EQ(r.nextColumn, CompositionEnds);
    EXPECT_EQ(records[0].ends, 600);
    EXPECT_EQ(enter(1, CompositionEnds, "640").nextColumn, CompositionEnds);
    EXPECT_EQ(records[0].ends, 640);
    EXPECT_EQ(records[0].beams, 6);

    // Negative counts are 0; a product past a count's range and non-numbers change nothing.
    enter(2, CompositionEndsPerBeam, "-4");
    EXPECT_EQ(records[1].endsPerBeam, 0);
    enter(1, CompositionEndsPerBeam, "65536");
    EXPECT_EQ(enter(1, CompositionBeams, "32767").outcome, CompositionEntry::Stored);
    EXPECT_EQ(records[0].ends, 2147418112);
    const std::vector<YarnUse> fits = records;
    EXPECT_EQ(enter(1, CompositionBeams, "32768").outcome, CompositionEntry::TooManyEnds);
    EXPECT_EQ(enter(1, CompositionEnds, "6.5").outcome, CompositionEntry::NotANumber);
    EXPECT_EQ(enter(1, CompositionEnds, "3000000000").outcome, CompositionEntry::NotANumber);
    EXPECT_EQ(records, fits);

    // Empty texts, other columns and rows without a record are ignored.
    EXPECT_EQ(enter(1, CompositionEnds, "").outcome, CompositionEntry::Ignored);
    EXPECT_EQ(enter(1, CompositionPercent, "5").outcome, CompositionEntry::Ignored);
    EXPECT_EQ(enter(3, CompositionEnds, "5").outcome, CompositionEntry::Ignored);
    EXPECT_EQ(enter(0, CompositionEnds, "5").outcome, CompositionEntry::Ignored);
    EXPECT_EQ(records, fits);
}
