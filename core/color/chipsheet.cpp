#include "color/chipsheet.h"

#include "color/colorcatalog.h"
#include "color/printercolor.h"

#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace warplon {

namespace {

QColor ToQColor(RGBQUAD rgb)
{
    return QColor(rgb.rgbRed, rgb.rgbGreen, rgb.rgbBlue);
}

QString PageLabel(int number)
{
    return QStringLiteral("< %1 >").arg(number);
}

QString Titled(const QString &title, int number)
{
    return title.isEmpty() ? PageLabel(number) : title + QStringLiteral("   ") + PageLabel(number);
}

int CeilDiv(int a, int b)
{
    return (a + b - 1) / b;
}

} // namespace

ChipPage PrinterChipPage(int pageIndex, const QString &title)
{
    ChipPage page;
    const int columns = TPrinterColor::ColumnCount(pageIndex);
    const int steps = TPrinterColor::StepCount(pageIndex);
    if (columns == 0 || steps == 0)
        return page;
    page.title = Titled(title, pageIndex + 1);
    page.columns = columns;
    page.cells.reserve(size_t(columns * steps));
    for (int row = 0; row < steps; ++row) {
        const int step = steps - 1 - row;
        for (int column = 0; column < columns; ++column) {
            page.cells.push_back(ColorChip{
                TPrinterColor::AtlasRGB(pageIndex, step, column),
                TPrinterColor::PN2Code(uint16_t(TPrinterColor::AtlasPage(pageIndex, column)),
                                       uint8_t(step))});
        }
    }
    return page;
}

ChipPage CatalogChipPage(const TColorCatalog &catalog, int pageIndex, const QString &title)
{
    ChipPage page;
    if (pageIndex < 0 || pageIndex >= catalog.PageCount())
        return page;
    const CatalogPage &source = catalog.Pages()[size_t(pageIndex)];
    page.title = Titled(title, source.number);
    page.cells.reserve(source.entries.size());
    for (const CatalogEntry &entry : source.entries) {
        RGBQUAD rgb;
        rgb.rgbRed = entry.red;
        rgb.rgbGreen = entry.green;
        rgb.rgbBlue = entry.blue;
        page.cells.push_back(ColorChip{rgb, catalog.Code(entry)});
    }
    return page;
}

ChipSheetLayout ChipSheetLayout::ForDevice(const QRect &area, int dpiX, int dpiY, ChipSize size)
{
    auto mmX = [dpiX](double mm) { return std::max(1, int(std::lround(mm * dpiX / 25.4))); };
    auto mmY = [dpiY](double mm) { return std::max(1, int(std::lround(mm * dpiY / 25.4))); };
    const bool large = size == ChipSize::Large;
    ChipSheetLayout layout;
    layout.area = area;
    layout.titleHeight = mmY(8.0);
    layout.chipWidth = mmX(large ? 21.0 : 11.0);
    layout.chipHeight = mmY(large ? 14.0 : 6.0);
    layout.codeHeight = mmY(large ? 4.5 : 3.0);
    layout.gap = std::min(mmX(large ? 2.0 : 1.0), mmY(large ? 2.0 : 1.0));
    return layout;
}

int ChipSheetLayout::ColumnsFit() const
{
    return std::max(1, (area.width() + gap) / (chipWidth + gap));
}

int ChipSheetLayout::RowsFit() const
{
    const int cellHeight = chipHeight + codeHeight + gap;
    return std::max(1, (area.height() - titleHeight + gap) / cellHeight);
}

QRect ChipSheetLayout::ChipRect(int column, int row) const
{
    return QRect(area.left() + column * (chipWidth + gap),
                 area.top() + titleHeight + row * (chipHeight + codeHeight + gap), chipWidth,
                 chipHeight);
}

QRect ChipSheetLayout::CodeRect(int column, int row) const
{
    const QRect chip = ChipRect(column, row);
    // As wide as the cell, so a long code may use the gap beside its chip.
    return QRect(chip.left() - gap / 2, chip.bottom() + 1, chipWidth + gap, codeHeight);
}

int ChipPageColumns(const ChipPage &page, const ChipSheetLayout &layout)
{
    return page.columns > 0 ? page.columns : layout.ColumnsFit();
}

std::vector<ChipSheet> PlanChipSheets(const std::vector<ChipPage> &pages,
                                      const ChipSheetLayout &layout)
{
    std::vector<ChipSheet> sheets;
    const int columnsFit = layout.ColumnsFit();
    const int rowsFit = layout.RowsFit();
    for (size_t p = 0; p < pages.size(); ++p) {
        const int cellCount = int(pages[p].cells.size());
        if (cellCount == 0)
            continue;
        const int columns = ChipPageColumns(pages[p], layout);
        const int rows = CeilDiv(cellCount, columns);
        const int across = CeilDiv(columns, columnsFit);
        const int down = CeilDiv(rows, rowsFit);
        int part = 1;
        for (int band = 0; band < down; ++band) {
            for (int block = 0; block < across; ++block) {
                ChipSheet sheet;
                sheet.page = int(p);
                sheet.firstColumn = block * columnsFit;
                sheet.columns = std::min(columnsFit, columns - sheet.firstColumn);
                sheet.firstRow = band * rowsFit;
                sheet.rows = std::min(rowsFit, rows - sheet.firstRow);
                sheet.part = part++;
                sheet.parts = across * down;
                sheets.push_back(sheet);
            }
        }
    }
    return sheets;
}

void PaintChipSheet(QPainter &painter, const ChipSheetLayout &layout, const ChipPage &page,
                    const ChipSheet &sheet)
{
    painter.save();
    QFont font = painter.font();
    font.setPixelSize(std::max(1, layout.titleHeight / 2));
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::black);
    QString title = page.title;
    if (sheet.parts > 1)
        title += QStringLiteral("   (%1/%2)").arg(sheet.part).arg(sheet.parts);
    painter.drawText(
        QRect(layout.area.left(), layout.area.top(), layout.area.width(), layout.titleHeight),
        Qt::AlignLeft | Qt::AlignTop, title);

    font.setBold(false);
    font.setPixelSize(std::max(1, layout.codeHeight * 3 / 4));
    painter.setFont(font);
    const int columns = ChipPageColumns(page, layout);
    // The frame lies just outside the chip, so the chip is its colour up to the edge.
    const int frame = std::max(1, layout.gap / 4);
    for (int row = 0; row < sheet.rows; ++row) {
        for (int column = 0; column < sheet.columns; ++column) {
            const size_t cell
                = size_t((sheet.firstRow + row) * columns + sheet.firstColumn + column);
            if (cell >= page.cells.size() || !page.cells[cell])
                continue;
            const ColorChip &chip = *page.cells[cell];
            const QRect rect = layout.ChipRect(column, row);
            painter.fillRect(rect.adjusted(-frame, -frame, frame, frame), Qt::black);
            painter.fillRect(rect, ToQColor(chip.color));
            painter.drawText(layout.CodeRect(column, row), Qt::AlignHCenter | Qt::AlignVCenter,
                             chip.code);
        }
    }
    painter.restore();
}

int PrintChipPages(QPagedPaintDevice &device, const std::vector<ChipPage> &pages, ChipSize size)
{
    const int dpiX = device.logicalDpiX();
    const int dpiY = device.logicalDpiY();
    // Painter coordinates start at the top left of the printable area.
    const QPageLayout page = device.pageLayout();
    const QSize printable(page.paintRectPixels(dpiX).width(), page.paintRectPixels(dpiY).height());
    const ChipSheetLayout layout
        = ChipSheetLayout::ForDevice(QRect(QPoint(0, 0), printable), dpiX, dpiY, size);
    const std::vector<ChipSheet> sheets = PlanChipSheets(pages, layout);
    if (sheets.empty())
        return 0;
    QPainter painter;
    if (!painter.begin(&device))
        return 0;
    for (size_t i = 0; i < sheets.size(); ++i) {
        if (i > 0 && !device.newPage())
            return int(i);
        PaintChipSheet(painter, layout, pages[size_t(sheets[i].page)], sheets[i]);
    }
    painter.end();
    return int(sheets.size());
}

} // namespace warplon
