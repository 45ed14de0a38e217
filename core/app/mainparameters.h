#pragma once

// What the five parameter edits of the main window do to the design when Enter is pressed in
// them, the texts the panel shows, the bar buttons and the tiling of the three large windows.
// The main window only forwards its edits here.

#include "knit/records.h"

#include <QRect>
#include <QSize>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

namespace warplon {

class UndoStore;

// The integer of a text as the edits read it: blanks around it allowed, an optional sign, decimal
// digits only, within int32. Nothing for any other text.
std::optional<int32_t> ParseInteger(const QString &text);
// A decimal number with '.' as the separator (an exponent is allowed); nothing for other texts or
// values that are not finite.
std::optional<double> ParseDecimal(const QString &text);

// The design state the edits change, held by the main window.
struct DesignParameters
{
    MainData &header;
    TexLayer &document;
    UndoStore *undo; // may be absent in tests
    int32_t &currentBar;
};

// Enter in the bar edit with `requested` bars: held to 1..4 (the text to show comes back in
// shownText). Returns false when the design already has that many bars (nothing happens, the undo
// history stays). Otherwise clears the undo store, deletes bars from the end or appends new ones
// (then every bar gets the course count) and makes the last bar current.
bool EnterBarCount(int32_t requested, DesignParameters design, QString &shownText);

// Enter in the course edit: clears the undo store and gives every bar the course count.
void EnterCourseCount(int32_t courses, DesignParameters design);

// Enter in the width edit: a width below 1 becomes 1 and the edit shows "1".
double CorrectedWidth(double width, QString *shownText = nullptr);

// A double as the panel shows it: rounded to two decimals, shortest text ("20", "42.75").
QString PanelNumber(double value);

// Bar button k (1..4) is enabled when k <= bar count; the current bar is moved below the count.
struct BarButtons
{
    std::array<bool, 4> enabled{};
    int32_t pressed = 0; // index of the current bar's button
};
BarButtons RefreshBarButtons(int32_t barCount, int32_t &currentBar);

// The places of the capture, simulation and design windows in a client area of `client` size,
// the menu panel taking the right-hand 211 pixels.
struct ChildTiling
{
    QRect capture;
    QRect simulation;
    QRect design;
};
ChildTiling TileChildren(QSize client, bool captureVisible);

// Width of the menu panel at the top right of the main window.
constexpr int kMenuPanelWidth = 209;

} // namespace warplon
