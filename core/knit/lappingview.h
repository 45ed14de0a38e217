#pragma once

// The lapping view of the design window: the chain notation of every guide bar on a point-paper
// grid of needles (columns) and courses (rows), laid out from the lower right corner (wale 0 at
// the right edge, course 0 at the bottom), and the mouse editing on it. No widgets: the view is
// painted with QPainter into a picture the window owns.

#include "bitmap/designwindowdata.h"
#include "knit/records.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <cstdint>

namespace warplon {

// Where the grid lies on the canvas. Needle column k spans x from width - (k + 1) * cw + h to
// width - k * cw + h, course row c spans y from height - (c + 1) * ch to height - c * ch. h is
// half a cell in the half-needle view (cells then centre on the gaps between needles) and 0
// otherwise; it moves the mouse cells and the frames, never the chain notation.
struct LappingGeometry
{
    int32_t cw = 5; // cell width in pixels
    int32_t ch = 5; // cell height in pixels
    int32_t ox = 0; // origin of the drawing area
    int32_t oy = 0;
    int32_t width = 0; // size of the drawing area
    int32_t height = 0;
    int32_t h = 0; // half-needle offset

    // Whole cells in the drawing area: (width - ox) div cw columns, (height - oy) div ch rows.
    int32_t Columns() const;
    int32_t Rows() const;
};

// The geometry of a chart of width x height pixels with square cells of cellSize pixels, the
// half-needle offset following the document's halfNeedleOffset flag. Build it again after the
// flag changes (the design window sets it on every mouse press).
LappingGeometry ChartGeometry(const TexLayer &layer, int32_t cellSize, int32_t width,
                              int32_t height);

struct LappingCell
{
    int32_t wale = 0;
    int32_t course = 0;
    bool operator==(const LappingCell &) const = default;
};

// The cell whose pixels hold the point, counted from the lower right corner (the pixel at x
// covers x .. x + 1). Points right of or below the grid give negative cells.
LappingCell CellAt(const LappingGeometry &geometry, QPoint point);

// The one-pixel frame just outside the block of cells wale wMin..wMax, course cMin..cMax: its
// left and top lines lie one pixel left of and above the block, its right and bottom lines one
// pixel right of and below it. QPainter::drawRect draws exactly this rectangle with a 1-pixel pen.
QRect CellFrame(const LappingGeometry &geometry, int32_t wMin, int32_t wMax, int32_t cMin,
                int32_t cMax);

// Mouse press on the view for bar `bar` (keys: Shift, Control, Alt). A hidden or missing bar
// ignores it and false is returned. With Shift a new rectangle starts at the cell under the
// point (selMode 0, both corners there); otherwise the bar's lapping is edited there
// (Tex::ClickLapping with Ctrl and Alt, in the half-needle view when the document's flag is set)
// and selMode becomes 1. True when the press was taken.
bool MouseDown(TexLayer &layer, Qt::KeyboardModifiers keys, QPoint point, int32_t bar,
               const LappingGeometry &geometry);

// Mouse move over the view for bar `bar`. With Shift the rectangle grows to the cell (selMode
// 0, second corner); without it selMode becomes 2 over a bar drawn for all needles (the click
// then edits the threading) and 1 otherwise. The cursor moves to the cell. Returns 0 when the
// cursor cell changed (the view needs its selection drawn again), 1 when it did not or the bar is
// hidden or missing.
uint8_t MouseMove(TexLayer &layer, Qt::KeyboardModifiers keys, QPoint point, int32_t bar,
                  const LappingGeometry &geometry);

// Needles across the design window's chart: two repeats, at least 24 needles, and enough for
// the widest lapping of a bar drawn by its first needle at its threading start; at most 512.
int32_t ChartNeedleCount(const TexLayer &layer);
// The chart picture's size: ChartNeedleCount x cellSize by the course count x cellSize.
QSize ChartSize(const TexLayer &layer, int32_t cellSize);

// The cell pictures of the chart backgrounds, beside the program: "cell.bmp" (black),
// "cellg.bmp" (gray), "cellw.bmp" (white). An index outside the list names the black one.
QString CellPictureName(int32_t background);
// The cell picture of the background from the program directory; a null picture when the file
// is missing or unreadable.
QImage LoadCellPicture(const QString &programDirectory, int32_t background);
// Fills the whole canvas with point paper: the cell picture scaled to cw x ch (nearest pixels,
// its outer rows and columns always kept so its grid lines survive any scale) and tiled from
// the lower right corner. Without a cell picture a grid of the background's colours is drawn
// instead: the gap line on the right column and the course line on the bottom row of each cell
// and a needle point in its centre.
void FillChartBackground(QImage &canvas, const QImage &cell, int32_t background, int32_t cw,
                         int32_t ch);

// Green of the cursor and selection frames.
constexpr QRgb kSelectionColor = 0xff008000;

// The painted lapping view of one window. Keeps the last full painting so that a cursor move
// only copies it back and draws the frames again, and holds the chosen cell background.
class LappingView
{
public:
    // Chooses the background (ChartBackground) and loads its cell picture from the program
    // directory. False when the file could not be read; the drawn grid then stands in for it.
    bool LoadBackground(const QString &programDirectory, int32_t background);
    // The same with a picture already at hand (a null picture selects the drawn grid).
    void SetBackground(const QImage &cell, int32_t background);
    int32_t background() const { return m_background; }
    const QImage &cellPicture() const { return m_cell; }

    // Paints the view of the document onto the canvas (any paintable 24- or 32-bit format). With
    // redraw the whole view is painted (point paper, then the bars: those drawn for all needles
    // as a repeat tiled from the right edge, the others by their first needle only, black yarns
    // last through an inverted canvas) and kept; without redraw the kept picture is copied back
    // (a full painting is done instead when none of the canvas's size is kept). Then the
    // selection frame (rectangle mode) or the cursor frame (cursor mode, when the cursor cell is
    // visible) is drawn and selectionShown set. Normalises and expands every bar it draws. A
    // document without bars draws nothing.
    void Draw(TexLayer &layer, QImage &canvas, const LappingGeometry &geometry, bool redraw);

    // The kept full painting (without frames); null before the first one.
    const QImage &kept() const { return m_kept; }
    // Forgets the kept painting, so that the next Draw paints in full.
    void Forget() { m_kept = QImage(); }

private:
    void paintFull(TexLayer &layer, QImage &canvas, const LappingGeometry &geometry);

    QImage m_cell;
    int32_t m_background = ChartBlack;
    QImage m_kept;
};

} // namespace warplon
