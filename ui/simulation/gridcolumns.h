#pragma once

#include <QTableWidget>

#include <algorithm>
#include <span>

namespace warplon {

// Sets every column of `grid` to its designed width, widened where its header or a cell would be
// cut (the interface font is wider than the one the widths were laid out for), but never beyond
// three times the designed width, so that one long yarn name cannot push the grid off the screen.
// Returns the width of all columns together.
inline int FitColumns(QTableWidget *grid, std::span<const int> widths)
{
    int total = 0;
    for (int c = 0; c < int(widths.size()) && c < grid->columnCount(); ++c) {
        const int designed = widths[size_t(c)];
        grid->resizeColumnToContents(c); // the header and the cells in view
        const int width = std::clamp(grid->columnWidth(c), designed, 3 * designed);
        grid->setColumnWidth(c, width);
        total += width;
    }
    return total;
}

} // namespace warplon
