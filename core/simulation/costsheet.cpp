#include "simulation/costsheet.h"

#include "base/numbers.h"
#include "simulation/composition.h"
#include "simulation/simulationsettings.h"
#include "text/encoding.h"
#include "text/stringtable.h"

#include <algorithm>
#include <cmath>

namespace warplon {

namespace {

// Yards per metre: the yarn is weighed per yard of machine fabric, the price is per metre.
constexpr double kYardsPerMetre = 1.0936132983377078;

// Every step keeps its figure only while it is a number: a value from a damaged file, a zero
// divisor or an overflow leaves the figure, and every figure built on it, empty.
SheetFigure Checked(double value)
{
    return std::isfinite(value) ? SheetFigure(value) : std::nullopt;
}

SheetFigure Add(SheetFigure a, SheetFigure b)
{
    return a && b ? Checked(*a + *b) : std::nullopt;
}

SheetFigure Mul(SheetFigure a, SheetFigure b)
{
    return a && b ? Checked(*a * *b) : std::nullopt;
}

SheetFigure Div(SheetFigure a, SheetFigure b)
{
    return a && b && *b != 0.0 ? Checked(*a / *b) : std::nullopt;
}

// A per-cent field as a factor: 2 % → 0.02.
SheetFigure Fraction(double percent)
{
    return Div(Checked(percent), 100.0);
}

// 1 + a per-cent field: 2 % → 1.02.
SheetFigure OnePlus(double percent)
{
    return Add(1.0, Fraction(percent));
}

struct Losses
{
    double loss;
    double treatLoss;
};

// Polyester and spandex have losses of their own; every other material takes nylon's.
Losses LossesOf(const CostData &cost, uint8_t material)
{
    if (material == MaterialPolyester)
        return {cost.polyLoss, cost.polyTreatLoss};
    if (material == MaterialSpandex)
        return {cost.spanLoss, cost.spanTreatLoss};
    return {cost.nylonLoss, cost.nylonTreatLoss};
}

} // namespace

CostSheet ComputeCostSheet(const CostData &cost, const std::vector<YarnUse> &uses,
                           const std::vector<Yarn> &yarns, double machineCoursesPerCm,
                           double finishedCoursesPerCm)
{
    CostSheet sheet;
    sheet.exchangeRate = cost.exchangeRate;
    const SheetFigure machineCpc = Checked(machineCoursesPerCm);
    const SheetFigure finishedCpc = Checked(finishedCoursesPerCm);

    // 1. Weight of a metre of finished fabric, and how far finishing packs the courses.
    double totalGrams = 0.0;
    for (const YarnUse &use : uses)
        totalGrams += use.gramsPerYard;
    sheet.fabricWeight
        = Mul(Div(Mul(kYardsPerMetre, Checked(totalGrams)), machineCpc), finishedCpc);
    sheet.densityRatio = Mul(Div(machineCpc, finishedCpc), 100.0);

    // 2. One line per yarn, in yarn order before the sort so that equal shares list A first.
    for (size_t y = 0; y < yarns.size(); ++y) {
        CostYarnLine line;
        line.yarn = int32_t(y);
        bool used = false;
        for (const YarnUse &use : uses) {
            if (use.yarn != line.yarn)
                continue;
            used = true;
            line.percent += use.percent;
            line.gramsPerYard += use.gramsPerYard;
        }
        if (!used)
            continue;
        const Yarn &yarn = yarns[y];
        const Losses losses = LossesOf(cost, yarn.material);
        line.loss = losses.loss;
        line.treatLoss = losses.treatLoss;
        line.yarnValue = yarn.yarnValue;
        line.weight = Div(Mul(sheet.fabricWeight, Checked(line.percent)), 100.0);
        SheetFigure yarnCost = Mul(OnePlus(line.loss), kYardsPerMetre);
        yarnCost = Mul(yarnCost, Checked(line.gramsPerYard));
        yarnCost = Mul(Div(yarnCost, machineCpc), finishedCpc);
        yarnCost = Mul(Mul(yarnCost, Checked(line.yarnValue)), 0.001);
        line.yarnCost = Mul(yarnCost, OnePlus(line.treatLoss));
        sheet.yarnLines.push_back(line);
    }
    std::stable_sort(sheet.yarnLines.begin(), sheet.yarnLines.end(),
                     [](const CostYarnLine &a, const CostYarnLine &b) {
                         // A share that is no number sorts last.
                         const double pa = std::isnan(a.percent) ? -INFINITY : a.percent;
                         const double pb = std::isnan(b.percent) ? -INFINITY : b.percent;
                         return pa > pb;
                     });
    sheet.yarnTotal = 0.0;
    for (const CostYarnLine &line : sheet.yarnLines)
        sheet.yarnTotal = Add(sheet.yarnTotal, line.yarnCost);

    // 3. The free items per unit of capacity, per working day and per machine.
    auto perUnit = [&cost](SheetFigure amount) {
        return Div(Div(Div(amount, Checked(cost.capa)), Checked(cost.workDaysPerMonth)),
                   Checked(cost.machineCount));
    };
    SheetFigure itemSum = 0.0;
    for (int32_t i = 0; i < kCostItemCount; ++i) {
        sheet.items[size_t(i)].name = cost.itemName[size_t(i)];
        sheet.items[size_t(i)].perUnit = perUnit(Checked(cost.itemCost[size_t(i)]));
        itemSum = Add(itemSum, Checked(cost.itemCost[size_t(i)]));
    }
    sheet.making = perUnit(itemSum);

    // 4. The raw (grey) fabric: making and yarn, its loss and its margin.
    const SheetFigure rawLossFactor = OnePlus(cost.rawLoss);
    sheet.rawBase = Add(sheet.making, sheet.yarnTotal);
    sheet.rawLoss = Mul(sheet.rawBase, Fraction(cost.rawLoss));
    sheet.withLoss = Mul(rawLossFactor, sheet.rawBase);
    sheet.rawMargin = Mul(Mul(rawLossFactor, sheet.rawBase), Fraction(cost.rawMargin));
    sheet.rawPrice = Mul(Mul(rawLossFactor, sheet.rawBase), OnePlus(cost.rawMargin));

    // 5. Finishing: its cost, its loss (cost included) and the finished fabric's margin.
    sheet.treatCost = Checked(cost.treatCost);
    const SheetFigure beforeFinishing = Add(sheet.rawPrice, sheet.treatCost);
    sheet.treatLossFigure = Add(Mul(beforeFinishing, Fraction(cost.treatLoss)), sheet.treatCost);
    sheet.treated = Mul(OnePlus(cost.treatLoss), beforeFinishing);
    sheet.treatedMargin = Mul(sheet.treated, Fraction(cost.treatMargin));
    sheet.treatedPrice = Mul(sheet.treated, OnePlus(cost.treatMargin));

    // 6. Shares of the finished price; a price that is not positive divides as 1.
    SheetFigure divisor = sheet.treatedPrice;
    if (divisor && !(*divisor > 0.0))
        divisor = 1.0;
    sheet.yarnShare = Div(Mul(sheet.yarnTotal, 100.0), divisor);
    for (CostItemLine &item : sheet.items)
        item.share = Div(Mul(item.perUnit, 100.0), divisor);
    return sheet;
}

CostSheet ComputeDesignCostSheet(const CostData &cost, const TexLayer &document,
                                 const MainData &header, const GuideBarData &guideBars,
                                 const SimulationSettings &finished)
{
    const CompositionTable composition = ComputeComposition(document, header, guideBars);
    return ComputeCostSheet(cost, composition.records, document.yarns, header.coursesPerCm,
                            finished.coursesPerCm);
}

SheetFigure ForeignAmount(SheetFigure local, double exchangeRate)
{
    return Div(local, Checked(exchangeRate));
}

QString FormatSheetFigure(SheetFigure value, int decimals)
{
    if (!value || !std::isfinite(*value))
        return QStringLiteral("-");
    if (decimals >= 0 && decimals <= 3)
        return FormatNumber(*value, decimals);
    if (decimals != 4)
        return FormatNumber(*value, 2);
    // Four decimals, for the foreign currency, rounded the same way.
    const double rounded = std::trunc(*value * 10000.0 + 0.5) / 10000.0;
    if (!std::isfinite(rounded))
        return QStringLiteral("-");
    return QString::number(rounded == 0.0 ? 0.0 : rounded, 'f', 4);
}

MoneyTexts FormatMoney(SheetFigure local, double exchangeRate)
{
    return {FormatSheetFigure(local, 3), FormatSheetFigure(ForeignAmount(local, exchangeRate), 4)};
}

QString FormatPercentFigure(SheetFigure value, int decimals)
{
    const QString text = FormatSheetFigure(value, decimals);
    return value && text != QLatin1String("-") ? text + QLatin1Char('%') : text;
}

namespace {

// Entries of the "Cost" texts that the sheet shows.
enum CostSheetText : int32_t {
    CostItemLabel = 17,
    AmountLabel = 18,
    RawLossLabel = 12,
    RawMarginLabel = 13,
    TreatCostLabel = 14,
    TreatLossLabel = 15,
    TreatMarginLabel = 16,
    FabricWeightLabel = 25,
    DensityRatioLabel = 26,
    YarnLabel = 27,
    WeightLabel = 28,
    LossLabel = 29,
    TreatmentLossLabel = 30,
    PriceLabel = 31,
    ForeignPriceLabel = 32,
    ForeignAmountLabel = 33,
    ShareLabel = 34,
    YarnTotalLabel = 35,
    MakingLabel = 36,
    RawFabricLabel = 37,
    WithLossLabel = 38,
    RawPriceLabel = 39,
    TreatedLabel = 40,
    TreatedPriceLabel = 41,
};

enum CostSheetColumn : size_t {
    NameColumn = 0,
    PercentColumn = 1,
    WeightColumn = 2,
    LossColumn = 3,
    TreatLossColumn = 4,
    PriceColumn = 5,
    ForeignPriceColumn = 6,
    AmountColumn = 7,
    ForeignAmountColumn = 8,
    ShareColumn = 9,
};

CostSheetRow MoneyRow(const QString &name, SheetFigure amount, double exchangeRate)
{
    CostSheetRow row;
    row[NameColumn] = name;
    const MoneyTexts money = FormatMoney(amount, exchangeRate);
    row[AmountColumn] = money.local;
    row[ForeignAmountColumn] = money.foreign;
    return row;
}

} // namespace

CostSheetRow CostSheetHeader(const TStringTable &texts)
{
    CostSheetRow row;
    row[NameColumn] = texts.TextAt(YarnLabel);
    row[PercentColumn] = QStringLiteral("%");
    row[WeightColumn] = texts.TextAt(WeightLabel);
    row[LossColumn] = texts.TextAt(LossLabel);
    row[TreatLossColumn] = texts.TextAt(TreatmentLossLabel);
    row[PriceColumn] = texts.TextAt(PriceLabel);
    row[ForeignPriceColumn] = texts.TextAt(ForeignPriceLabel);
    row[AmountColumn] = texts.TextAt(AmountLabel);
    row[ForeignAmountColumn] = texts.TextAt(ForeignAmountLabel);
    row[ShareColumn] = texts.TextAt(ShareLabel);
    return row;
}

std::vector<CostSheetRow> CostSheetRows(const CostSheet &sheet, const std::vector<Yarn> &yarns,
                                        const TStringTable &texts)
{
    const double rate = sheet.exchangeRate;
    std::vector<CostSheetRow> rows;
    CostSheetRow weight;
    weight[NameColumn] = texts.TextAt(FabricWeightLabel);
    weight[WeightColumn] = FormatSheetFigure(sheet.fabricWeight, 2);
    rows.push_back(weight);
    CostSheetRow density;
    density[NameColumn] = texts.TextAt(DensityRatioLabel);
    density[PercentColumn] = FormatPercentFigure(sheet.densityRatio, 1);
    rows.push_back(density);

    for (const CostYarnLine &line : sheet.yarnLines) {
        CostSheetRow row = MoneyRow(YarnLetter(line.yarn), line.yarnCost, rate);
        if (line.yarn >= 0 && line.yarn < int64_t(yarns.size()))
            row[NameColumn] += QStringLiteral("  ") + YarnSpecText(yarns[size_t(line.yarn)]);
        row[PercentColumn] = FormatPercentFigure(Checked(line.percent), 2);
        row[WeightColumn] = FormatSheetFigure(line.weight, 2);
        row[LossColumn] = FormatPercentFigure(Checked(line.loss), 2);
        row[TreatLossColumn] = FormatPercentFigure(Checked(line.treatLoss), 2);
        const MoneyTexts price = FormatMoney(Checked(line.yarnValue), rate);
        row[PriceColumn] = price.local;
        row[ForeignPriceColumn] = price.foreign;
        rows.push_back(row);
    }
    CostSheetRow total = MoneyRow(texts.TextAt(YarnTotalLabel), sheet.yarnTotal, rate);
    total[ShareColumn] = FormatPercentFigure(sheet.yarnShare, 2);
    rows.push_back(total);

    for (size_t i = 0; i < sheet.items.size(); ++i) {
        const CostItemLine &item = sheet.items[i];
        QString name = DecodeText(item.name);
        if (name.isEmpty())
            name = texts.TextAt(CostItemLabel) + QLatin1Char(' ') + QString::number(i + 1);
        CostSheetRow row = MoneyRow(name, item.perUnit, rate);
        row[ShareColumn] = FormatPercentFigure(item.share, 2);
        rows.push_back(row);
    }

    for (auto [label, figure] : {std::pair{MakingLabel, sheet.making},
                                 {RawFabricLabel, sheet.rawBase},
                                 {RawLossLabel, sheet.rawLoss},
                                 {WithLossLabel, sheet.withLoss},
                                 {RawMarginLabel, sheet.rawMargin},
                                 {RawPriceLabel, sheet.rawPrice},
                                 {TreatCostLabel, sheet.treatCost},
                                 {TreatLossLabel, sheet.treatLossFigure},
                                 {TreatedLabel, sheet.treated},
                                 {TreatMarginLabel, sheet.treatedMargin},
                                 {TreatedPriceLabel, sheet.treatedPrice}})
        rows.push_back(MoneyRow(texts.TextAt(label), figure, rate));
    return rows;
}

} // namespace warplon
