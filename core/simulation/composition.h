#pragma once

// The yarn composition of a design: for every pair of yarn and guide bar that the threading uses,
// the ends, the yarn length and weight per yard of fabric and each pair's share of the fabric's
// weight. The records are the document's yarnUses; they follow the threading: a pair that is no
// longer threaded goes, a newly threaded pair comes in with 0 ends.

#include "knit/records.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace warplon {

struct SimulationSettings;
class TStringTable;

// Texts of the window's table ("Composition") that the composition names.
enum CompositionText : int32_t {
    CompositionTextBar = 1,
    CompositionTextWalesPerInch = 6,
    CompositionTextCoursesPerCm = 7,
    CompositionTextGreyFabric = 8,
    CompositionTextFinishedFabric = 9,
    CompositionTextWidth = 10,
    CompositionTextWeight = 11,
    CompositionTextHint = 12,
    CompositionTextYarn = 13,
    CompositionTextEndsPerBeam = 14,
    CompositionTextBeams = 15,
    CompositionTextEnds = 16,
    CompositionTextCaption = 17,
    CompositionTextNotAWholeNumber = 18,
    CompositionTextTooManyEnds = 19,
};

// The composition worked out from a design. `records` is the cleaned, completed, recomputed and
// regrouped copy of the document's yarnUses; the composition window writes it back into the
// document, the cost sheet reads it.
struct CompositionTable
{
    std::vector<YarnUse> records;
    // The sum of the records' gramsPerYard as the totals row shows it (0 for no records). The
    // percentages divide by this sum, or by 1 when it is 0.
    double totalGramsPerYard = 0.0;
};

// Works out the composition of `document` from its yarnUses, as a copy:
// 1. drops a record whose yarn or bar does not exist, whose bar has no threading run naming the
//    yarn, or whose yarn and bar an earlier record already has;
// 2. appends a zeroed record for every (yarn, bar) of a threaded run that has none yet, bar by bar
//    in run order (runs naming a yarn outside the list bring none);
// 3. for every record with yarn Y on bar B (diameter formula guideBars.formula[B], gauge and
//    coursesPerCm of the header): runIn = trunc(AverageRunIn(B)) when B has course states, else
//    trunc(FormulaRunIn(...)); metersPerYard = MetersPerYard(...); gramsPerYard =
//    GramsPerYard(..., ends, ...) * (1 + Y.stretch);
// 4. percent = gramsPerYard / total * 100, with the total taken as 1 when it is 0;
// 5. regroups the records by bar: for each bar b in turn, every record of bar b (in list order)
//    is exchanged with the first earlier record whose bar is greater than b. This is not a stable
//    sort: records of one bar can change their order.
// Every figure is finite: a weight that would not be (a stretch of 1e308, say) counts as 0.
CompositionTable ComputeComposition(const TexLayer &document, const MainData &header,
                                    const GuideBarData &guideBars);

// The material label that precedes a yarn's count: "P/F ", "N/F ", "SPANDEX ", "COTTON ", or
// yarnText1 followed by " " for a material typed in; nothing for "none" and unknown codes.
QString MaterialLabel(const Yarn &yarn);
// The processing label: "SD", "FD", "CD", "SPK", "BRT", "PDD", nothing (none), "SDY", "AMT", or
// yarnText2 for a processing typed in; nothing for unknown codes.
QString ProcessingLabel(const Yarn &yarn);
// The yarn's label as the composition grid and the yarn-file preview show it: material
// label, integer part of the denier, "/", filaments, " ", processing label ("P/F 40/20 SD").
QString YarnSpecText(const Yarn &yarn);

// Columns of the composition's yarn grid.
constexpr int32_t kCompositionColumns = 10;
enum CompositionColumn : int32_t {
    CompositionBar = 0,
    CompositionYarn = 1,
    CompositionSpec = 2,
    CompositionEndsPerBeam = 3,
    CompositionBeams = 4,
    CompositionEnds = 5,
    CompositionMetersPerYard = 6,
    CompositionGramsPerYard = 7,
    CompositionPercent = 8,
    CompositionRunIn = 9,
};

// The header of a yarn-grid column: texts 1, 13, "Spec.", 14, 15, 16, "m/yard", "g/yard", "%",
// "mm/RACK".
QString CompositionHeader(const TStringTable &texts, int32_t column);

// Rows of the yarn grid: the header row, one per record and ten empty rows.
int32_t CompositionGridRows(const CompositionTable &table);

// The text of cell (row, column) of the yarn grid for row >= 1: record row - 1 as "L1", "A",
// "P/F 40/20 SD", the three counts, metres and grams per yard and the per cent with 2 decimals,
// and the run-in. Rows without a record, unknown columns and records naming no yarn of `yarns`
// (in the "Spec." column) give "". Headers come from the window's texts.
QString CompositionCellText(const CompositionTable &table, const std::vector<Yarn> &yarns,
                            int32_t row, int32_t column);

// Rows 1 and 2 of the totals grid, columns 1 to 4: the machine (gauge, coursesPerCm, widthInch
// and the sum of gramsPerYard) and the finished fabric of the simulation settings (walesPerInch,
// coursesPerCm, widthInch and "-"). Other cells give "".
QString CompositionTotalText(const CompositionTable &table, const MainData &header,
                             const SimulationSettings &finished, int32_t row, int32_t column);

// The fixed cells of the totals grid: row 0 holds the headers (column 0 empty, then texts 6, 7,
// 10 and 11), column 0 of rows 1 and 2 texts 8 and 9. Other cells give "".
QString CompositionTotalLabel(const TStringTable &texts, int32_t row, int32_t column);

// What an Enter in the yarn grid did.
enum class CompositionEntry {
    Stored,     // the value is stored; move to nextColumn
    Ignored,    // empty text, a row without a record or a column that does not edit
    NotANumber, // the text is no whole number: nothing changes
    TooManyEnds // endsPerBeam * beams does not fit a count: nothing changes
};

struct CompositionEntryResult
{
    CompositionEntry outcome = CompositionEntry::Ignored;
    int32_t nextColumn = CompositionEnds; // the column the grid moves to after a stored value
};

// The message for an Enter that changed nothing because of its text; -1 for the others.
int32_t CompositionEntryText(CompositionEntry outcome);

// Enter with `text` in cell (row, column) of the yarn grid, row r + 1 showing records[r]:
// column 3 stores endsPerBeam and moves to 4, column 4 stores beams and ends = endsPerBeam *
// beams and moves to 5, column 5 stores ends. A negative count is stored as 0. The caller
// recomputes the composition afterwards.
CompositionEntryResult EnterCompositionCell(std::vector<YarnUse> &records, int32_t row,
                                            int32_t column, const QString &text);

} // namespace warplon
