#pragma once

// The cost sheet: the price of a metre of finished fabric worked out from the cost parameters,
// the yarn prices and the yarn consumption of a fresh composition. The cost window shows it under
// its edits, the report prints it and the command-line tool lists it.

#include "knit/records.h"
#include "simulation/costdata.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace warplon {

struct SimulationSettings;
class TStringTable;

// One figure of the sheet. Empty where the sheet shows "-": a zero divisor on the way to it
// (courses per cm, capacity, working days, machine count) or a result too large for a number.
using SheetFigure = std::optional<double>;

// One line per yarn: its uses on every bar added up.
struct CostYarnLine
{
    int32_t yarn = 0;          // index in the yarn list
    double percent = 0.0;      // share of the fabric's weight
    double gramsPerYard = 0.0; // machine fabric, grams per yard
    SheetFigure weight;        // grams per metre of finished fabric
    double loss = 0.0;         // yarn loss, per cent, by material
    double treatLoss = 0.0;    // finishing loss, per cent, by material
    double yarnValue = 0.0;    // price per kilogram
    SheetFigure yarnCost;      // per metre of finished fabric
};

// One free cost item: its amount per unit of capacity, day and machine, and its share.
struct CostItemLine
{
    QByteArray name;
    SheetFigure perUnit;
    SheetFigure share; // per cent of treatedPrice
};

struct CostSheet
{
    SheetFigure fabricWeight;            // grams per metre of finished fabric
    SheetFigure densityRatio;            // machine over finished courses per cm, per cent
    std::vector<CostYarnLine> yarnLines; // by decreasing percent
    SheetFigure yarnTotal;
    std::array<CostItemLine, kCostItemCount> items;
    SheetFigure making;
    SheetFigure rawBase;   // making + yarnTotal
    SheetFigure rawLoss;   // the raw fabric's loss
    SheetFigure withLoss;  // raw fabric with its loss
    SheetFigure rawMargin; // the raw fabric's margin
    SheetFigure rawPrice;
    SheetFigure treatCost;
    SheetFigure treatLossFigure; // the finishing loss, finishing cost included
    SheetFigure treated;
    SheetFigure treatedMargin;
    SheetFigure treatedPrice;
    SheetFigure yarnShare; // per cent of treatedPrice
    double exchangeRate = 0.0;
};

// The sheet from yarn uses already worked out (gramsPerYard and percent), the yarns, the
// machine's and the finished fabric's courses per cm.
CostSheet ComputeCostSheet(const CostData &cost, const std::vector<YarnUse> &uses,
                           const std::vector<Yarn> &yarns, double machineCoursesPerCm,
                           double finishedCoursesPerCm);

// The sheet of a design: a fresh composition of its yarn uses (the document is not changed),
// its header's and the finished fabric's courses per cm.
CostSheet ComputeDesignCostSheet(const CostData &cost, const TexLayer &document,
                                 const MainData &header, const GuideBarData &guideBars,
                                 const SimulationSettings &finished);

// A money figure in the foreign currency: local ÷ exchange rate (empty for a zero rate).
SheetFigure ForeignAmount(SheetFigure local, double exchangeRate);

// A figure rounded as every window rounds, trunc(v × 10^k + 0.5) ÷ 10^k, and printed with
// exactly k decimals, 0 ≤ k ≤ 4 (any other k prints 2); "-" for an empty figure.
QString FormatSheetFigure(SheetFigure value, int decimals);

// A money figure as the sheet shows it: local currency with 3 decimals, foreign with 4.
struct MoneyTexts
{
    QString local;
    QString foreign;
};
MoneyTexts FormatMoney(SheetFigure local, double exchangeRate);

// A per-cent figure with the given decimals and "%" ("50.00%"); "-" for an empty figure.
QString FormatPercentFigure(SheetFigure value, int decimals);

// The sheet as the cost window shows it, one row of texts per figure line. Columns: name, share
// of the fabric's weight, weight (g/m), loss, finishing loss, yarn price a kilogram (local,
// foreign), amount (local, foreign), share of the treated fabric's price.
constexpr int kCostSheetColumns = 10;
using CostSheetRow = std::array<QString, kCostSheetColumns>;

// The column headers, from the "Cost" texts.
CostSheetRow CostSheetHeader(const TStringTable &texts);

// Rows: fabric weight, density ratio, one per yarn line ("A  P/F 40/20 SD"), the yarn total, the
// seven items (an item without a name shows "Cost Item" and its number), making, the raw fabric's
// base, loss, with loss, margin and price, then the finishing cost, the finished fabric's loss,
// treated fabric, margin and price.
std::vector<CostSheetRow> CostSheetRows(const CostSheet &sheet, const std::vector<Yarn> &yarns,
                                        const TStringTable &texts);

} // namespace warplon
