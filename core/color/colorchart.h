#pragma once

// The colour chart: the design palette as 16 rows of 16 chips, each row labelled with the
// numbers (index - 1) of its first and last entry. Entry 16r + c is chip c (1-16) of row r;
// entries above 251 are not charted, so the last row reads "240-250". The window, the printer
// and a PDF all draw it with PaintColorChart, only the sizes differ.

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

class QPainter;

namespace warplon {

class TPalette;

constexpr int kChartRows = 16;
constexpr int kChartChips = 16;
// Column 0 of a row holds its label, columns 1-16 the chips.
constexpr int kChartColumns = kChartChips + 1;
constexpr int kChartLastEntry = 251;

// "%d-%d" of the first and last number of row r (0-15): "0-15", ..., "240-250".
QString ColorChartRowLabel(int row);
// The palette entry of a chip (row 0-15, column 1-16), or -1 for the label column, a place
// outside the chart or an entry above 251.
int ColorChartEntry(int row, int column);

struct ColorChartLayout
{
    // Everything in device pixels.
    QPoint origin; // top left of the title (or of the first row without one)
    int titleHeight = 0;
    int labelWidth = 60;
    int chipWidth = 24;
    int chipHeight = 18;
    int gap = 2;

    // The chart of the window.
    static ColorChartLayout Screen();
    // The printed chart: chips of 10 x 7 mm, 1 mm apart, a 22 mm label column and a 12 mm
    // title, at the device's resolution, starting at the top left of the printable area.
    static ColorChartLayout ForResolution(int dpiX, int dpiY, bool withTitle);

    QRect TitleRect() const;
    // The place of a row's label (column 0) or of a chip (columns 1-16).
    QRect CellRect(int row, int column) const;
    // The palette entry whose chip is under the point, or -1.
    int EntryAt(QPoint point) const;
    // The whole chart, title included.
    QSize Size() const;
};

// Draws the chart of `palette`: the title (when the layout has room for one), the row labels
// and a framed chip for every charted entry. Entries above 251 get no chip.
void PaintColorChart(QPainter &painter, const TPalette &palette, const ColorChartLayout &layout,
                     const QString &title);

} // namespace warplon
