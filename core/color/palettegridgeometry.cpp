#include "color/palettegridgeometry.h"

#include <algorithm>

namespace warplon {

namespace {

int FloorDiv(int a, int b)
{
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

} // namespace

void PaletteGridGeometry::SetXSquares(int value)
{
    if (value < 1 || value > 16)
        return;
    m_x = value;
    SetTopRow(m_topRow);
}

void PaletteGridGeometry::SetYSquares(int value)
{
    if (value < 1 || value > 16)
        return;
    m_y = value;
    SetTopRow(m_topRow);
}

void PaletteGridGeometry::SetTab(int value)
{
    if (value < 1 || value > 6)
        return;
    m_tab = value;
}

QSize PaletteGridGeometry::SizeFor(int squareWidth, int squareHeight) const
{
    return QSize(m_x * squareWidth + (m_x + 1) * m_tab, m_y * squareHeight + (m_y + 1) * m_tab);
}

int PaletteGridGeometry::RowOf(int index) const
{
    return FloorDiv(index - 2, m_x);
}

int PaletteGridGeometry::ColumnOf(int index) const
{
    return index - 2 - RowOf(index) * m_x;
}

int PaletteGridGeometry::MaxTopRow() const
{
    return std::max(MinTopRow(), RowOf(kLastEntry) - m_y + 1);
}

void PaletteGridGeometry::SetTopRow(int row)
{
    m_topRow = std::clamp(row, MinTopRow(), MaxTopRow());
}

bool PaletteGridGeometry::IsVisible(int index) const
{
    const int row = RowOf(index);
    return row >= m_topRow && row < m_topRow + m_y;
}

void PaletteGridGeometry::EnsureVisible(int index)
{
    const int row = RowOf(index);
    if (row < m_topRow)
        SetTopRow(row);
    else if (row >= m_topRow + m_y)
        SetTopRow(row - m_y + 1);
}

int PaletteGridGeometry::squareWidth() const
{
    return std::max(1, (m_size.width() - (m_x + 1) * m_tab) / m_x);
}

int PaletteGridGeometry::squareHeight() const
{
    return std::max(1, (m_size.height() - (m_y + 1) * m_tab) / m_y);
}

QRect PaletteGridGeometry::SquareRect(int index) const
{
    if (index < kFirstEntry || index > kLastEntry || !IsVisible(index))
        return QRect();
    const int w = squareWidth();
    const int h = squareHeight();
    const int row = RowOf(index) - m_topRow;
    const int column = ColumnOf(index);
    return QRect(m_tab + column * (w + m_tab), m_tab + row * (h + m_tab), w, h);
}

int PaletteGridGeometry::IndexAt(QPoint point) const
{
    const int w = squareWidth();
    const int h = squareHeight();
    if (point.x() < 0 || point.y() < 0)
        return -1;
    const int column = point.x() / (w + m_tab);
    const int row = point.y() / (h + m_tab);
    if (column >= m_x || row >= m_y)
        return -1;
    // The gaps before each square belong to no entry.
    if (point.x() - column * (w + m_tab) < m_tab || point.y() - row * (h + m_tab) < m_tab)
        return -1;
    const int index = FirstVisibleIndex() + row * m_x + column;
    if (index < kFirstEntry || index > kLastEntry)
        return -1;
    return index;
}

int PaletteGridGeometry::Moved(int index, Move move, int useColor) const
{
    int target = index;
    switch (move) {
    case Move::Left:
        target = index - 1;
        break;
    case Move::Right:
        target = index + 1;
        break;
    case Move::Up:
        target = index - m_x;
        break;
    case Move::Down:
        target = index + m_x;
        break;
    case Move::PageUp:
        target = index - m_x * m_y;
        break;
    case Move::PageDown:
        target = index + m_x * m_y;
        break;
    case Move::Home:
        target = kFirstEntry;
        break;
    case Move::End:
        target = useColor;
        break;
    }
    return std::clamp(target, kFirstEntry, kLastEntry);
}

} // namespace warplon
