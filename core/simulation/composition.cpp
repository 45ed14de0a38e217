#include "simulation/composition.h"

#include "app/mainparameters.h"
#include "base/numbers.h"
#include "knit/runin.h"
#include "simulation/simulationsettings.h"
#include "text/encoding.h"
#include "text/stringtable.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <utility>

namespace warplon {

namespace {

bool BarNamesYarn(const Tex &bar, int32_t yarn)
{
    return std::any_of(bar.threading.begin(), bar.threading.end(),
                       [yarn](const WaleState &run) { return run.yarn == yarn; });
}

bool HasPair(const std::vector<YarnUse> &records, int32_t yarn, int32_t bar)
{
    return std::any_of(records.begin(), records.end(), [yarn, bar](const YarnUse &use) {
        return use.yarn == yarn && use.bar == bar;
    });
}

// Step 1: a record stays while its yarn and bar exist, the bar's threading names the yarn and no
// earlier record has the same pair.
std::vector<YarnUse> Cleaned(const std::vector<YarnUse> &uses, const TexLayer &document)
{
    const auto yarnCount = int64_t(document.yarns.size());
    const auto barCount = int64_t(document.bars.size());
    std::vector<YarnUse> kept;
    for (const YarnUse &use : uses) {
        if (use.yarn < 0 || use.yarn >= yarnCount || use.bar < 0 || use.bar >= barCount)
            continue;
        if (!BarNamesYarn(document.bars[size_t(use.bar)], use.yarn))
            continue;
        if (HasPair(kept, use.yarn, use.bar))
            continue;
        kept.push_back(use);
    }
    return kept;
}

// Step 2: every threaded run brings its pair in with no ends yet. A run naming no yarn of the
// list (a list emptied by Delete, a damaged file) brings nothing: step 1 would drop it again.
void Complete(std::vector<YarnUse> &records, const TexLayer &document)
{
    const auto yarnCount = int64_t(document.yarns.size());
    for (size_t b = 0; b < document.bars.size(); ++b) {
        const auto bar = int32_t(b);
        for (const WaleState &run : document.bars[b].threading) {
            if (run.threaded == 0 || run.yarn < 0 || run.yarn >= yarnCount
                || HasPair(records, run.yarn, bar))
                continue;
            YarnUse use;
            use.yarn = run.yarn;
            use.bar = bar;
            records.push_back(use);
        }
    }
}

double FiniteOrZero(double value)
{
    return std::isfinite(value) ? value : 0.0;
}

// Step 5: exchanges, not a stable sort, so that records come out in the same order as the
// window has always shown them.
void Regroup(std::vector<YarnUse> &records, int32_t barCount)
{
    for (int32_t b = 0; b < barCount; ++b) {
        for (size_t i = 0; i < records.size(); ++i) {
            if (records[i].bar != b)
                continue;
            for (size_t j = 0; j < i; ++j) {
                if (records[j].bar > b) {
                    std::swap(records[i], records[j]);
                    break;
                }
            }
        }
    }
}

} // namespace

CompositionTable ComputeComposition(const TexLayer &document, const MainData &header,
                                    const GuideBarData &guideBars)
{
    CompositionTable table;
    table.records = Cleaned(document.yarnUses, document);
    Complete(table.records, document);

    double total = 0.0;
    for (YarnUse &use : table.records) {
        const Yarn &yarn = document.yarns[size_t(use.yarn)];
        const Tex &bar = document.bars[size_t(use.bar)];
        const int32_t formula = use.bar < kMaxBars ? guideBars.formula[size_t(use.bar)] : 2;
        use.runIn = bar.courseStates.empty()
                        ? TruncToInt32(FormulaRunIn(bar, yarn.filaments, header.gauge, formula,
                                                    header.coursesPerCm, yarn.denier))
                        : TruncToInt32(AverageRunIn(bar));
        use.metersPerYard = FiniteOrZero(MetersPerYard(bar, yarn.filaments, header.gauge, formula,
                                                       header.coursesPerCm, yarn.denier));
        // The stretch is the extra length the yarn takes in the fabric beyond its relaxed run-in.
        use.gramsPerYard = FiniteOrZero(GramsPerYard(bar, yarn.filaments, header.gauge, use.ends,
                                                     formula, header.coursesPerCm, yarn.denier)
                                        * (1.0 + yarn.stretch));
        total += use.gramsPerYard;
    }
    // Weights near the largest double could add up past it; keep the sum finite.
    if (!std::isfinite(total))
        total = total > 0 ? std::numeric_limits<double>::max()
                          : std::numeric_limits<double>::lowest();
    table.totalGramsPerYard = total;

    const double divisor = total == 0.0 ? 1.0 : total;
    for (YarnUse &use : table.records)
        use.percent = FiniteOrZero(use.gramsPerYard / divisor * 100.0);

    Regroup(table.records, int32_t(document.bars.size()));
    return table;
}

QString MaterialLabel(const Yarn &yarn)
{
    switch (yarn.material) {
    case MaterialPolyester:
        return QStringLiteral("P/F ");
    case MaterialNylon:
        return QStringLiteral("N/F ");
    case MaterialSpandex:
        return QStringLiteral("SPANDEX ");
    case MaterialCotton:
        return QStringLiteral("COTTON ");
    case MaterialDirectInput:
        return DecodeText(yarn.yarnText1) + QLatin1Char(' ');
    default:
        return {};
    }
}

QString ProcessingLabel(const Yarn &yarn)
{
    static const char *const names[] = {"SD", "FD", "CD", "SPK", "BRT", "PDD", "", "SDY", "AMT"};
    if (yarn.optical < std::size(names))
        return QLatin1String(names[yarn.optical]);
    if (yarn.optical == 9)
        return DecodeText(yarn.yarnText2);
    return {};
}

QString YarnSpecText(const Yarn &yarn)
{
    // The integer part of the count, as "40" in "40/20"; a count that is no number shows "-".
    QString denier = QStringLiteral("-");
    if (std::isfinite(yarn.denier))
        denier = QString::number(std::trunc(yarn.denier) + 0.0, 'f', 0);
    return MaterialLabel(yarn) + denier + QLatin1Char('/') + QString::number(yarn.filaments)
           + QLatin1Char(' ') + ProcessingLabel(yarn);
}

QString CompositionHeader(const TStringTable &texts, int32_t column)
{
    switch (column) {
    case CompositionBar:
        return texts.TextAt(CompositionTextBar);
    case CompositionYarn:
        return texts.TextAt(CompositionTextYarn);
    case CompositionSpec:
        return QStringLiteral("Spec.");
    case CompositionEndsPerBeam:
        return texts.TextAt(CompositionTextEndsPerBeam);
    case CompositionBeams:
        return texts.TextAt(CompositionTextBeams);
    case CompositionEnds:
        return texts.TextAt(CompositionTextEnds);
    case CompositionMetersPerYard:
        return QStringLiteral("m/yard");
    case CompositionGramsPerYard:
        return QStringLiteral("g/yard");
    case CompositionPercent:
        return QStringLiteral("%");
    case CompositionRunIn:
        return QStringLiteral("mm/RACK");
    default:
        return {};
    }
}

int32_t CompositionGridRows(const CompositionTable &table)
{
    const auto rows = int64_t(table.records.size()) + 11;
    return int32_t(std::min<int64_t>(rows, std::numeric_limits<int32_t>::max()));
}

QString CompositionCellText(const CompositionTable &table, const std::vector<Yarn> &yarns,
                            int32_t row, int32_t column)
{
    if (row < 1 || int64_t(row) > int64_t(table.records.size()))
        return {};
    const YarnUse &use = table.records[size_t(row - 1)];
    switch (column) {
    case CompositionBar:
        return QLatin1Char('L') + QString::number(int64_t(use.bar) + 1);
    case CompositionYarn:
        return YarnLetter(use.yarn);
    case CompositionSpec:
        if (use.yarn < 0 || int64_t(use.yarn) >= int64_t(yarns.size()))
            return {};
        return YarnSpecText(yarns[size_t(use.yarn)]);
    case CompositionEndsPerBeam:
        return QString::number(use.endsPerBeam);
    case CompositionBeams:
        return QString::number(use.beams);
    case CompositionEnds:
        return QString::number(use.ends);
    case CompositionMetersPerYard:
        return FormatNumber(use.metersPerYard, 2);
    case CompositionGramsPerYard:
        return FormatNumber(use.gramsPerYard, 2);
    case CompositionPercent:
        return FormatNumber(use.percent, 2);
    case CompositionRunIn:
        return QString::number(use.runIn);
    default:
        return {};
    }
}

QString CompositionTotalText(const CompositionTable &table, const MainData &header,
                             const SimulationSettings &finished, int32_t row, int32_t column)
{
    if (row == 1) {
        switch (column) {
        case 1:
            return QString::number(header.gauge);
        case 2:
            return FormatNumber(header.coursesPerCm, 2);
        case 3:
            return FormatNumber(header.widthInch, 2);
        case 4:
            return FormatNumber(table.totalGramsPerYard, 2);
        default:
            return {};
        }
    }
    if (row == 2) {
        switch (column) {
        case 1:
            return FormatNumber(finished.walesPerInch, 2);
        case 2:
            return FormatNumber(finished.coursesPerCm, 2);
        case 3:
            return FormatNumber(finished.widthInch, 2);
        case 4:
            return QStringLiteral("-");
        default:
            return {};
        }
    }
    return {};
}

QString CompositionTotalLabel(const TStringTable &texts, int32_t row, int32_t column)
{
    static constexpr std::array<int32_t, 5> headers
        = {-1, CompositionTextWalesPerInch, CompositionTextCoursesPerCm, CompositionTextWidth,
           CompositionTextWeight};
    if (row == 0 && column >= 0 && column < int32_t(headers.size()))
        return texts.TextAt(headers[size_t(column)]);
    if (column == 0 && row == 1)
        return texts.TextAt(CompositionTextGreyFabric);
    if (column == 0 && row == 2)
        return texts.TextAt(CompositionTextFinishedFabric);
    return {};
}

int32_t CompositionEntryText(CompositionEntry outcome)
{
    switch (outcome) {
    case CompositionEntry::NotANumber:
        return CompositionTextNotAWholeNumber;
    case CompositionEntry::TooManyEnds:
        return CompositionTextTooManyEnds;
    default:
        return -1;
    }
}

CompositionEntryResult EnterCompositionCell(std::vector<YarnUse> &records, int32_t row,
                                            int32_t column, const QString &text)
{
    CompositionEntryResult result;
    const bool editable = column == CompositionEndsPerBeam || column == CompositionBeams
                          || column == CompositionEnds;
    if (text.trimmed().isEmpty() || !editable || row < 1 || int64_t(row) > int64_t(records.size()))
        return result;
    const std::optional<int32_t> parsed = ParseInteger(text);
    if (!parsed) {
        result.outcome = CompositionEntry::NotANumber;
        return result;
    }
    const int32_t count = std::max(*parsed, 0);
    YarnUse &use = records[size_t(row - 1)];
    switch (column) {
    case CompositionEndsPerBeam:
        use.endsPerBeam = count;
        result.nextColumn = CompositionBeams;
        break;
    case CompositionBeams: {
        const int64_t ends = int64_t(std::max(use.endsPerBeam, 0)) * count;
        if (ends > std::numeric_limits<int32_t>::max()) {
            result.outcome = CompositionEntry::TooManyEnds;
            return result;
        }
        use.beams = count;
        use.ends = int32_t(ends);
        result.nextColumn = CompositionEnds;
        break;
    }
    default:
        use.ends = count;
        result.nextColumn = CompositionEnds;
        break;
    }
    result.outcome = CompositionEntry::Stored;
    return result;
}

} // namespace warplon
