#pragma once

// The edits of the treatment window, shared with the command-line tool: the course grid's rows
// and cell texts, the toggle of one course, the typed entry over selected courses and "Check
// All". Every edit first brings the course flags to the lapping count of the bar being edited,
// so the list always matches what the grid shows.

#include "knit/records.h"
#include "knit/treatmentdata.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace warplon {

// Rows of the course grid: a header row, one row per course, and blank rows below; 30 rows for
// up to 20 courses, otherwise max(30, courses + 10).
int32_t TreatmentGridRows(int32_t courseCount);

// The lapping count of `bar`, 0 for a bar the document does not have (as the design file does).
int32_t TreatmentCourseCount(const TexLayer &document, int32_t bar);

// Grows (untreated courses) or shrinks the flags to the lapping count of `bar`.
void FitTreatmentToBar(TreatmentData &data, const TexLayer &document, int32_t bar);

// Whether `bar` is treated in `course`; false outside the flags or for a bar index outside 0..3.
bool TreatmentFlag(const TreatmentData &data, int32_t bar, int32_t course);

// The text of grid cell (row, column) below the header row: column 0 the course number, column 1
// "O" for a treated course and "X" for an untreated one; rows past the last course are blank.
// Call after FitTreatmentToBar.
QString TreatmentCellText(const TreatmentData &data, int32_t bar, int32_t row, int32_t column);

// A left press on column 1 of grid row `row`: toggles the flag of course row - 1. Rows past the
// last course and the header row are inert. Returns whether a flag changed.
bool ToggleTreatmentRow(TreatmentData &data, const TexLayer &document, int32_t bar, int32_t row);

// What Enter in the input edit does with its text.
enum class TreatmentEntry {
    Nothing, // empty text
    Set,     // "0", "O" or "o"
    Clear,   // any other text
};
TreatmentEntry ClassifyTreatmentText(const QString &text);

// Enter in the input edit: sets or clears the flag of every listed grid row that holds a course
// (rows past the last course and the header row are skipped). Returns whether a flag changed.
bool EnterTreatmentText(TreatmentData &data, const TexLayer &document, int32_t bar,
                        const std::vector<int32_t> &rows, const QString &text);

// "Check All": every course of `bar` takes the negation of the flag of course 0. Returns whether
// a flag changed (a bar without courses changes nothing).
bool CheckAllTreatment(TreatmentData &data, const TexLayer &document, int32_t bar);

// A cell of a grid with fixed header rows and columns.
struct GridCell
{
    int32_t row = 1;
    int32_t column = 1;
    bool operator==(const GridCell &) const = default;
};

enum class GridStep { Left, Up, Right, Down };

// The current cell after one arrow key: one step, staying among the cells that are not fixed
// (rows fixedRows..rows - 1, columns fixedColumns..columns - 1).
GridCell MoveGridCell(GridCell cell, GridStep step, int32_t rows, int32_t columns,
                      int32_t fixedRows = 1, int32_t fixedColumns = 1);

} // namespace warplon
