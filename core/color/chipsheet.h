#pragma once

// Printed chip sheets of the colour catalogues: every colour of a catalogue page as a framed
// chip with its code written beneath it. One paint function serves the print preview, the
// printer and PDF files alike; the chips are sized in millimetres and converted with the
// device's resolution.
//
// A catalogue page becomes one sheet of paper, or several when its chips do not fit: a page of
// the printer atlas keeps its grid of columns (saturation) and lightness steps and is cut into
// blocks of whole columns and rows; the file catalogues' chips simply run across the sheet and
// on to the next one.

#include "color/colorconvert.h"

#include <QRect>
#include <QString>

#include <optional>
#include <vector>

class QPagedPaintDevice;
class QPainter;

namespace warplon {

class TColorCatalog;

struct ColorChip
{
    RGBQUAD color;
    QString code;
};

// The chips of one catalogue page, row by row. An empty cell prints nothing.
struct ChipPage
{
    QString title;
    // Columns of the grid; 0 lets the chips run across as many columns as the sheet holds.
    int columns = 0;
    std::vector<std::optional<ColorChip>> cells;
};

// A page index of the printer atlas (0-72): its columns across and its lightness steps down,
// the lightest step in the top row, as the library page shows it. The title gets " < n >" with
// the 1-based index. Empty (no cells) for an index outside the atlas.
ChipPage PrinterChipPage(int pageIndex, const QString &title);
// A page of a file catalogue by its position in the page list: its entries in file order, each
// with its code. The title gets " < n >" with the page's number.
ChipPage CatalogChipPage(const TColorCatalog &catalog, int pageIndex, const QString &title);

enum class ChipSize { Small, Large };

// Where things go on a sheet, in device pixels (painter coordinates).
struct ChipSheetLayout
{
    // The printable area.
    QRect area;
    int titleHeight = 0;
    int chipWidth = 0;
    int chipHeight = 0;
    // The line under a chip that carries its code.
    int codeHeight = 0;
    int gap = 0;

    // Small chips are 11 x 6 mm, large ones 21 x 14 mm; the code line is 3 or 4.5 mm, the gap
    // between cells 1 or 2 mm and the title 8 mm high.
    static ChipSheetLayout ForDevice(const QRect &area, int dpiX, int dpiY, ChipSize size);

    // Whole cells that fit across and down (at least 1 each, so a tiny area still prints).
    int ColumnsFit() const;
    int RowsFit() const;
    // The chip of the cell at a column and row of the sheet, and the line beneath it.
    QRect ChipRect(int column, int row) const;
    QRect CodeRect(int column, int row) const;
};

// One sheet of paper: a block of a chip page's grid.
struct ChipSheet
{
    int page = 0;
    int firstColumn = 0;
    int columns = 0;
    int firstRow = 0;
    int rows = 0;
    // Which of the page's sheets this is (from 1) and how many the page takes.
    int part = 1;
    int parts = 1;
};

// The columns a page's grid has on sheets of this layout.
int ChipPageColumns(const ChipPage &page, const ChipSheetLayout &layout);
// The sheets the pages take, in order: for each page its blocks row band by row band, left to
// right within a band. A page without cells takes no sheet.
std::vector<ChipSheet> PlanChipSheets(const std::vector<ChipPage> &pages,
                                      const ChipSheetLayout &layout);
// Paints one sheet: the page's title (with "(part/parts)" when the page takes several sheets),
// then every chip of the block, framed, with its code in the line beneath.
void PaintChipSheet(QPainter &painter, const ChipSheetLayout &layout, const ChipPage &page,
                    const ChipSheet &sheet);
// Prints every page on the device (a printer, the print preview or a PDF writer), starting a new
// sheet of paper for each planned sheet, within the device's printable area. Returns the number
// of sheets printed; 0 when there was nothing to print or the device could not be painted on.
int PrintChipPages(QPagedPaintDevice &device, const std::vector<ChipPage> &pages, ChipSize size);

} // namespace warplon
