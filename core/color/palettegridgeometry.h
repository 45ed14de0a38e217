#pragma once

// Where the palette grid draws each entry and which entry a point or a key reaches.
//
// The grid shows XSquares entries per row and YSquares rows, with Tab pixels between squares.
// Rows start at entry 2, the first design colour, so the rows read 2..X+1, X+2..2X+1 and so on;
// the row above them holds the background (entry 1) alone, at its right end. Entry 0 is never
// shown. The grid scrolls by whole rows.

#include <QPoint>
#include <QRect>
#include <QSize>

namespace warplon {

class PaletteGridGeometry
{
public:
    static constexpr int kFirstEntry = 1;
    static constexpr int kLastEntry = 255;

    int XSquares() const { return m_x; }
    int YSquares() const { return m_y; }
    int Tab() const { return m_tab; }
    // Values outside 1-16 (squares) or 1-6 (tab) are ignored.
    void SetXSquares(int value);
    void SetYSquares(int value);
    void SetTab(int value);

    // The area the squares share.
    void SetSize(QSize size) { m_size = size; }
    QSize Size() const { return m_size; }
    // The smallest area that shows squares of the given size.
    QSize SizeFor(int squareWidth, int squareHeight) const;

    // Row of an entry: entry 1 is on row -1, entries 2.. from row 0.
    int RowOf(int index) const;
    int ColumnOf(int index) const;
    // The rows the scrolling may put at the top: -1 (the background row) to the row that
    // shows entry 255 at the bottom.
    int MinTopRow() const { return -1; }
    int MaxTopRow() const;
    int TopRow() const { return m_topRow; }
    // Clamped to MinTopRow..MaxTopRow.
    void SetTopRow(int row);
    // The entry at the top left, which may be below 1 on the background row.
    int FirstVisibleIndex() const { return 2 + m_topRow * m_x; }
    bool IsVisible(int index) const;
    // Scrolls the fewest rows that bring the entry into view.
    void EnsureVisible(int index);

    // The square of an entry, or an empty rectangle when it is not in view or not shown.
    QRect SquareRect(int index) const;
    // The entry under a point, or -1 (between squares, outside the grid, or no entry there).
    int IndexAt(QPoint point) const;

    // The keys that move the choice, and where they take it from `index` (always within
    // 1..255): one square, one row, one page of rows, the background (Home) or the last colour
    // in use (End).
    enum class Move { Left, Right, Up, Down, PageUp, PageDown, Home, End };
    int Moved(int index, Move move, int useColor) const;

private:
    int squareWidth() const;
    int squareHeight() const;

    int m_x = 8;
    int m_y = 6;
    int m_tab = 2;
    int m_topRow = 0;
    QSize m_size;
};

} // namespace warplon
