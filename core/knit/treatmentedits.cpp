#include "knit/treatmentedits.h"

#include <algorithm>

namespace warplon {

namespace {

// The grid always offers 30 rows; a long design gets ten blank rows below its last course.
constexpr int32_t kMinimumGridRows = 30;
constexpr int32_t kBlankRowsBelow = 10;
constexpr int32_t kCoursesInMinimumGrid = 20;

bool KnownBar(int32_t bar)
{
    return bar >= 0 && bar < kMaxBars;
}

// The course shown in grid row `row`, or -1 for the header row and rows past the last course.
int32_t CourseOfRow(const TreatmentData &data, int32_t row)
{
    return row >= 1 && row <= int64_t(data.courseFlags.size()) ? row - 1 : -1;
}

} // namespace

int32_t TreatmentGridRows(int32_t courseCount)
{
    if (courseCount <= kCoursesInMinimumGrid)
        return kMinimumGridRows;
    // Counts are limited by the main window far below this; the cap keeps the sum in range.
    const int64_t rows = int64_t(courseCount) + kBlankRowsBelow;
    return int32_t(std::min<int64_t>(std::max<int64_t>(rows, kMinimumGridRows), INT32_MAX));
}

int32_t TreatmentCourseCount(const TexLayer &document, int32_t bar)
{
    if (bar < 0 || bar >= int64_t(document.bars.size()))
        return 0;
    return document.bars[size_t(bar)].LappingCount();
}

void FitTreatmentToBar(TreatmentData &data, const TexLayer &document, int32_t bar)
{
    const int32_t count = TreatmentCourseCount(document, bar);
    if (int64_t(data.courseFlags.size()) != count)
        data.Resize(count);
}

bool TreatmentFlag(const TreatmentData &data, int32_t bar, int32_t course)
{
    if (!KnownBar(bar) || course < 0 || course >= int64_t(data.courseFlags.size()))
        return false;
    return data.courseFlags[size_t(course)][size_t(bar)] != 0;
}

QString TreatmentCellText(const TreatmentData &data, int32_t bar, int32_t row, int32_t column)
{
    const int32_t course = CourseOfRow(data, row);
    if (course < 0)
        return {};
    if (column == 0)
        return QString::number(row);
    if (column == 1)
        return TreatmentFlag(data, bar, course) ? QStringLiteral("O") : QStringLiteral("X");
    return {};
}

bool ToggleTreatmentRow(TreatmentData &data, const TexLayer &document, int32_t bar, int32_t row)
{
    FitTreatmentToBar(data, document, bar);
    const int32_t course = CourseOfRow(data, row);
    if (!KnownBar(bar) || course < 0)
        return false;
    uint8_t &flag = data.courseFlags[size_t(course)][size_t(bar)];
    flag = flag ? 0 : 1;
    return true;
}

TreatmentEntry ClassifyTreatmentText(const QString &text)
{
    if (text.isEmpty())
        return TreatmentEntry::Nothing;
    if (text == QLatin1String("0") || text == QLatin1String("O") || text == QLatin1String("o"))
        return TreatmentEntry::Set;
    return TreatmentEntry::Clear;
}

bool EnterTreatmentText(TreatmentData &data, const TexLayer &document, int32_t bar,
                        const std::vector<int32_t> &rows, const QString &text)
{
    FitTreatmentToBar(data, document, bar);
    const TreatmentEntry entry = ClassifyTreatmentText(text);
    if (entry == TreatmentEntry::Nothing || !KnownBar(bar))
        return false;
    const uint8_t value = entry == TreatmentEntry::Set ? 1 : 0;
    bool changed = false;
    for (const int32_t row : rows) {
        const int32_t course = CourseOfRow(data, row);
        if (course < 0)
            continue;
        uint8_t &flag = data.courseFlags[size_t(course)][size_t(bar)];
        changed = changed || flag != value;
        flag = value;
    }
    return changed;
}

bool CheckAllTreatment(TreatmentData &data, const TexLayer &document, int32_t bar)
{
    FitTreatmentToBar(data, document, bar);
    if (!KnownBar(bar) || data.courseFlags.empty())
        return false;
    const uint8_t value = data.courseFlags.front()[size_t(bar)] ? 0 : 1;
    bool changed = false;
    for (auto &flags : data.courseFlags) {
        changed = changed || flags[size_t(bar)] != value;
        flags[size_t(bar)] = value;
    }
    return changed;
}

GridCell MoveGridCell(GridCell cell, GridStep step, int32_t rows, int32_t columns,
                      int32_t fixedRows, int32_t fixedColumns)
{
    switch (step) {
    case GridStep::Left:
        --cell.column;
        break;
    case GridStep::Up:
        --cell.row;
        break;
    case GridStep::Right:
        ++cell.column;
        break;
    case GridStep::Down:
        ++cell.row;
        break;
    }
    // A grid with no free cell keeps the first free position rather than an inverted range.
    cell.row = std::max(fixedRows, std::min(cell.row, std::max(fixedRows, rows - 1)));
    cell.column
        = std::max(fixedColumns, std::min(cell.column, std::max(fixedColumns, columns - 1)));
    return cell;
}

} // namespace warplon
