#pragma once

// The edits of the design window and of the chain-notation editor that need no window: the
// course and lap edits under the chart, the threading click in the repeated view, and the two
// text forms of a bar's lapping ("Mode 1", one course per line, and "Mode 2", one bar per line).

#include "knit/records.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <utility>
#include <vector>

namespace warplon {

// The course typed into "Y" (1-based), held to 1 .. courseCount (1 for a design without courses).
int32_t ClampChartCourse(int32_t typed, int32_t courseCount);

// The vertical scroll position that brings course `course` (1-based) into view: max − course ×
// max ÷ courseCount (integer division; max for a design without courses).
int32_t ChartScrollForCourse(int32_t course, int32_t courseCount, int32_t scrollMax);

// Enter in "X 2": lap (course − 1) mod n of `bar` becomes x0 = xIn, x1 = xVia (a negative X 2
// counts as 0), its x2 kept between them, and the bar is normalised. Returns the 0-based course
// written, or -1 when the bar has no courses.
int32_t WriteChartLap(Tex &bar, int32_t course, int32_t xIn, int32_t xVia);

// The course that follows `course` (1-based) after a lap was written, back to 1 after the last.
int32_t NextChartCourse(int32_t course, int32_t courseCount);

// A click on needle `needle` in the repeated view of `bar`: that needle (counted within the
// threading repeat, wrapping) changes between threaded and empty. A run of several needles is
// split so that only that needle changes; then neighbouring runs alike in yarn, threaded flag and
// needle flag are joined and empty runs removed. The needle table is rebuilt. False (nothing
// changed) when the bar has no threading.
bool ToggleThreadedNeedle(Tex &bar, int32_t needle);

// Joins neighbouring runs with equal yarn, threaded flag and needle flag and removes runs of no
// needles.
void JoinThreadingRuns(std::vector<WaleState> &runs);

// "Mode 1": one line per course, "x0 x1", blanks, then the course number in parentheses. The
// number starts in the same place for one- to three-digit positions in a font whose digits are
// twice as wide as a blank (16 blanks after a 3-character pair, 14 after 4, 12 after 5).
QStringList EditorMode1Lines(const Tex &bar);

// Writes "Mode 1" lines back into the laps: line i is read as "%d %d" into x0 and x1 of lap i
// (what follows is ignored; a number that cannot be read leaves its position); lines past the
// last lap are ignored, missing or empty lines leave their laps. The bar is normalised.
void ReadEditorMode1(Tex &bar, const QStringList &lines);

// "Mode 2": for every course x0 and x1 written together, followed by one blank.
QString EditorMode2Line(const Tex &bar);

// The pairs (x0, x1) a "Mode 2" line holds, at most `limit`: every non-digit separates tokens;
// a token of n digits (at most 16 read) splits in half, an odd one where its two numbers differ
// less ("23 10" → 2-3, 1-0; "1012" → 10-12; "102" → 1-2; "5" → 0-5).
std::vector<std::pair<int32_t, int32_t>> ParseEditorMode2(const QString &text, int32_t limit);

// Writes a "Mode 2" line into the bar: lap c becomes pair c mod m of the m pairs read; with no
// pair nothing changes (false). The bar is normalised.
bool ReadEditorMode2(Tex &bar, const QString &text);

} // namespace warplon
