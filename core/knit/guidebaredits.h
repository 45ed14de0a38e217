#pragma once

// The rules of the guide-bar editor, free of widgets: what the threading grid and the course
// grid show for the bar being edited, what Enter in their input boxes and a press on a cell do,
// the run list's Add and Delete, the threading start and repeat width entries, and the run-in
// defaults. Threading edits work on a run list (the window hands in a copy of the bar's list and
// keeps it only when it changed, so the undo store gets exactly the steps that changed the
// design); course edits work on a bar.
//
// Grid rows are numbered as the window shows them: row 0 is the header row, row r >= 1 shows
// run r - 1 of the threading, respectively course r - 1 of the bar.

#include "knit/optimizedrunin.h"
#include "knit/records.h"
#include "knit/tricot.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace warplon {

class Progress;
class TStringTable;

// Columns of the threading grid; the row number and In/Out columns are fixed (In/Out is changed
// by a mouse press, not typed).
enum ThreadingColumn : int32_t {
    ThreadingColumnRow = 0,
    ThreadingColumnInOut = 1,
    ThreadingColumnNeedles = 2,
    ThreadingColumnYarn = 3,
    ThreadingColumnHidden = 4, // needleFlag, "O"/"X"
};
constexpr int32_t kThreadingColumns = 5;
constexpr int32_t kThreadingFixedColumns = 2;

// Columns of the course grid; the course number column is fixed.
enum CourseColumn : int32_t {
    CourseColumnNumber = 0,
    CourseColumnRunIn = 1,
    CourseColumnCalcRunIn = 2,
    CourseColumnRatio = 3,
    CourseColumnCarryFloat = 4,
    CourseColumnTightFloat = 5,
};
constexpr int32_t kCourseColumns = 6;
constexpr int32_t kCourseFixedColumns = 1;

// Entries of the "Guide Bar" section of the language files.
enum GuideBarText : int32_t {
    GuideBarTextCourse = 1,        // run-in page caption
    GuideBarTextThreading = 2,     // threading page caption, In/Out column header
    GuideBarTextStart = 3,         // threading start label
    GuideBarTextNeedles = 4,       // needle count column header
    GuideBarTextCourseNumber = 5,  // course number column header
    GuideBarTextAdd = 7,           // pop-up "&Add"
    GuideBarTextDelete = 8,        // pop-up "&Delete"
    GuideBarTextCaption = 9,       // window caption
    GuideBarTextHidden = 10,       // needle flag column header
    GuideBarTextRepeatWidth = 12,  // repeat width label
    GuideBarTextYarnList = 13,     // yarn list button
    GuideBarTextYarn = 14,         // yarn letter column header
    GuideBarTextCarryFloat = 17,   // carryFloat column header
    GuideBarTextDescription = 18,  // in/out description label
    GuideBarTextTightFloat = 19,   // tightFloat column header
    GuideBarTextDefault = 20,      // "Default" button, calcRunIn column header
    GuideBarTextOptimize = 21,     // "Set Default With Optimization"
    GuideBarTextFormula = 22,      // "Set Default With Formula"
    GuideBarTextNoTension = 23,    // check box
    GuideBarTextShowRunIn = 24,    // check box
    GuideBarTextRatio = 25,        // ratio column header
    GuideBarTextOptimization = 26, // repeat width from the threading (the width follows)
    GuideBarTextManual = 27,       // repeat width as typed
};

// The bar with index `bar`, or null when the document has none of that index.
const Tex *EditedBar(const TexLayer &document, int32_t bar);
Tex *EditedBar(TexLayer &document, int32_t bar);

// Rows of either grid for `entries` runs or course states: 30, or entries + 10 from 21 entries
// on (a header row, the entries and blank rows below to type new runs into).
int32_t GuideBarGridRows(int64_t entries);

// Header texts (row 0). The course grid's run-in column is headed "mm/RACK" in every language;
// the threading grid's row number column has no header.
QString ThreadingHeaderText(const TStringTable &texts, int32_t column);
QString CourseHeaderText(const TStringTable &texts, int32_t column);

// Text of threading cell (row >= 1, column): the row number in column 0 for every row; for a row
// with a run "In"/"Out", the needle count, the yarn letter, and "O"/"X" for the needle flag of a
// threaded run (empty for an empty run); rows past the last run are blank elsewhere.
QString ThreadingCellText(const std::vector<WaleState> &runs, int32_t row, int32_t column);

// Text of course cell (row >= 1, column) while row - 1 is below the lapping count: the course
// number, runIn, calcRunIn and ratio + "%" ("-" for the last two when the bar's lapping and
// course-state counts differ, as in a file that holds different counts), "O"/"X" for the two
// float switches. Blank past the lapping or for a course the list has no entry for.
QString CourseCellText(const Tex &bar, int32_t row, int32_t column);

// The hint over course column 1 (integer mean of runIn) and column 2 (integer mean of
// calcRunIn); 0 without course states; empty over every other column.
QString CourseGridHint(const Tex &bar, int32_t column);

// The least common multiple of the threading lengths of bars 0..3 (a missing bar or a length
// below 1 counts as 1), whatever the repeat mode; shown beside "Optimization".
int32_t ThreadingRepeat(const TexLayer &document);
// "Optimization" caption: `prefix`, `spaces` blanks, the threading repeat.
QString OptimizationCaption(const QString &prefix, const TexLayer &document, int32_t spaces);

// What Enter in an input box did.
enum class GuideBarEntry {
    Nothing,    // empty text, a column that takes no typing, or no row to store into
    Stored,     // the text went into the data (possibly the same values as before)
    NotANumber, // a numeric column got a text that is no integer; the data are unchanged
};

// The yarn index a typed character names: 'A'..'Z' count from 'A', anything else from 'a';
// limited to yarnCount - 1 and then to at least 0 (so "c" with two yarns is 1 and "A" with no
// yarn is 0).
int32_t TypedYarnIndex(QChar typed, int32_t yarnCount);

// A new run: yarn 0, one needle, threaded, no flag.
WaleState DefaultRun();

// Enter in the threading input over the selected rows top..bottom (the header row is skipped).
// Column 2: every row's run takes the typed needle count (below 1: 1); column 3: every row's run
// takes the yarn of the first typed character (TypedYarnIndex). A row past the last run appends
// a default run with that count or yarn instead, so rows 3 to 6 of a two-run threading append
// four runs. Other columns take no typing.
GuideBarEntry EnterThreadingText(std::vector<WaleState> &runs, int32_t yarnCount, int32_t column,
                                 int32_t top, int32_t bottom, const QString &text);

// A left press on threading cell (row, column): column 1 of a run's row toggles In/Out, column 4
// toggles the needle flag (of an empty run too, though its cell stays blank), and column 4 of
// the row just below the last run appends a default run. Returns whether the runs changed.
bool PressThreadingCell(std::vector<WaleState> &runs, int32_t row, int32_t column);

// "&Add": a default run inserted before the run of `row` (1 <= row <= runs + 1; the row after the
// last run appends). Returns false for any other row.
bool AddThreadingRun(std::vector<WaleState> &runs, int32_t row);

// "&Delete": the runs of rows bottom up to top; nothing when the bottom row lies below the last
// run. Returns whether runs were deleted.
bool DeleteThreadingRuns(std::vector<WaleState> &runs, int32_t top, int32_t bottom);

// Enter in the course input over the selected rows top..bottom, courses outside the lists
// ignored. Column 1: runIn, column 3: ratio (integers, negative values stored as 0); columns 4
// and 5: carryFloat, tightFloat := 1 for "0", "O" or "o", else 0. Columns 0 and 2 take nothing.
GuideBarEntry EnterCourseText(Tex &bar, int32_t column, int32_t top, int32_t bottom,
                              const QString &text);

// A left press on course cell (row, column): on column 4 or 5 of a course row the switch of that
// course toggles. On the header cell of column 4 or 5: when some course has the switch set, the
// whole column is cleared; otherwise the switch is set on exactly the courses that form no loop
// (x0 = x1). Returns whether a switch changed.
bool PressCourseCell(Tex &bar, int32_t row, int32_t column);

// An integer typed into one of the single-value edits.
struct NumberEntry
{
    GuideBarEntry outcome = GuideBarEntry::Nothing;
    int32_t value = 0; // the value to store and show
};
// The threading start: empty does nothing, negative values become 0.
NumberEntry ShiftEntry(const QString &text);
// The repeat width as typed: empty does nothing, values below 1 become 1.
NumberEntry CompleteNeedleEntry(const QString &text);

// "Default": every course's runIn := its calcRunIn. Returns whether a value changed.
bool CopyCalcRunIns(Tex &bar);

// "Set Default With Formula" for `bar`, the design's bar `barIndex` or a copy of it: calcRunIn of
// every course from the run-in formula with the bar's mean threaded yarn and its formula index.
// Does nothing for a bar index outside 0..3.
void DefaultRunInsByFormula(Tex &bar, int32_t barIndex, const TexLayer &document,
                            const GuideBarData &settings, const MainData &header);

// "Set Default With Optimization": calcRunIn of every course measured along the relaxed stitch
// model of the whole design (the formula value where the course or the next one forms no loop).
// Returns false, changing nothing, when nothing could be measured (see OptimizedCalcRunIns).
// With a cache, the model of the last measurement serves while its inputs are unchanged.
bool DefaultRunInsByOptimization(Tex &bar, int32_t barIndex, const TexLayer &document,
                                 const GuideBarData &settings, const MainData &header,
                                 DirectionMemory &directions = ProgramDirectionMemory(),
                                 Progress *progress = nullptr, RunInModelCache *cache = nullptr);

} // namespace warplon
