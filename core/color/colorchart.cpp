#include "color/colorchart.h"

#include "color/palette.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace warplon {

QString ColorChartRowLabel(int row)
{
    const int first = row * kChartChips;
    const int last = std::min(first + kChartChips - 1, kChartLastEntry - 1);
    return QStringLiteral("%1-%2").arg(first).arg(last);
}

int ColorChartEntry(int row, int column)
{
    if (row < 0 || row >= kChartRows || column < 1 || column > kChartChips)
        return -1;
    const int entry = row * kChartChips + column;
    return entry <= kChartLastEntry ? entry : -1;
}

ColorChartLayout ColorChartLayout::Screen()
{
    return ColorChartLayout();
}

ColorChartLayout ColorChartLayout::ForResolution(int dpiX, int dpiY, bool withTitle)
{
    auto mmX = [dpiX](double mm) { return std::max(1, int(std::lround(mm * dpiX / 25.4))); };
    auto mmY = [dpiY](double mm) { return std::max(1, int(std::lround(mm * dpiY / 25.4))); };
    ColorChartLayout layout;
    layout.titleHeight = withTitle ? mmY(12.0) : 0;
    layout.labelWidth = mmX(22.0);
    layout.chipWidth = mmX(10.0);
    layout.chipHeight = mmY(7.0);
    layout.gap = std::min(mmX(1.0), mmY(1.0));
    return layout;
}

QRect ColorChartLayout::TitleRect() const
{
    return QRect(origin, QSize(Size().width(), titleHeight));
}

QRect ColorChartLayout::CellRect(int row, int column) const
{
    const int top = origin.y() + titleHeight + row * (chipHeight + gap);
    if (column == 0)
        return QRect(origin.x(), top, labelWidth, chipHeight);
    const int left = origin.x() + labelWidth + gap + (column - 1) * (chipWidth + gap);
    return QRect(left, top, chipWidth, chipHeight);
}

int ColorChartLayout::EntryAt(QPoint point) const
{
    for (int row = 0; row < kChartRows; ++row) {
        for (int column = 1; column <= kChartChips; ++column) {
            if (CellRect(row, column).contains(point))
                return ColorChartEntry(row, column);
        }
    }
    return -1;
}

QSize ColorChartLayout::Size() const
{
    return QSize(labelWidth + gap + kChartChips * (chipWidth + gap),
                 titleHeight + kChartRows * (chipHeight + gap));
}

void PaintColorChart(QPainter &painter, const TPalette &palette, const ColorChartLayout &layout,
                     const QString &title)
{
    painter.save();
    QFont font = painter.font();
    if (layout.titleHeight > 0 && !title.isEmpty()) {
        font.setPixelSize(std::max(1, layout.titleHeight / 2));
        font.setBold(true);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(layout.TitleRect(), Qt::AlignHCenter | Qt::AlignTop, title);
    }
    font.setBold(false);
    font.setPixelSize(std::max(1, layout.chipHeight * 3 / 5));
    painter.setFont(font);
    const int frame = std::max(1, layout.gap / 2);
    for (int row = 0; row < kChartRows; ++row) {
        painter.setPen(Qt::black);
        painter.drawText(layout.CellRect(row, 0), Qt::AlignVCenter | Qt::AlignLeft,
                         ColorChartRowLabel(row));
        for (int column = 1; column <= kChartChips; ++column) {
            const int entry = ColorChartEntry(row, column);
            if (entry < 0)
                continue;
            const QRect chip = layout.CellRect(row, column);
            const TColor color = palette.GetColor(entry);
            // The frame lies just outside the chip, in the gap, so the chip is its colour to
            // the edge.
            painter.fillRect(chip.adjusted(-frame, -frame, frame, frame), Qt::black);
            painter.fillRect(chip, QColor(color & 0xff, (color >> 8) & 0xff, (color >> 16) & 0xff));
        }
    }
    painter.restore();
}

} // namespace warplon
