#include "color/colorchart.h"
#include "color/palette.h"
#include "color/palettegridgeometry.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

using namespace warplon;
using Move = PaletteGridGeometry::Move;

namespace {

// Text on a QImage needs the fonts of a GUI application; the core tests have none of their own.
void NeedFonts()
{
    if (QGuiApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "test_color";
    static char *argv[] = {name, nullptr};
    static QGuiApplication application(argc, argv);
}

} // namespace

TEST(PaletteGridGeometry, RowsStartAtTheFirstDesignColour)
{
    PaletteGridGeometry grid;
    EXPECT_EQ(grid.XSquares(), 8);
    EXPECT_EQ(grid.YSquares(), 6);
    EXPECT_EQ(grid.Tab(), 2);
    for (int bad : {0, 17, -1})
        grid.SetXSquares(bad);
    grid.SetYSquares(17);
    grid.SetTab(7);
    grid.SetTab(0);
    EXPECT_EQ(grid.XSquares() * 100 + grid.YSquares() * 10 + grid.Tab(), 862);

    // 8 x 6 squares of 20 px with 2 px between them.
    grid.SetSize(grid.SizeFor(20, 20));
    EXPECT_EQ(grid.Size(), QSize(8 * 20 + 9 * 2, 6 * 20 + 7 * 2));
    EXPECT_EQ(grid.FirstVisibleIndex(), 2);
    EXPECT_EQ(grid.SquareRect(2), QRect(2, 2, 20, 20));
    EXPECT_EQ(grid.SquareRect(11), QRect(2 + 22, 2 + 22, 20, 20));
    EXPECT_EQ(grid.IndexAt({2 + 22 + 5, 2 + 22 + 19}), 11);
    EXPECT_EQ(grid.IndexAt({1, 5}), -1);  // the gap before the first square
    EXPECT_EQ(grid.IndexAt({5, 23}), -1); // the gap between rows
    EXPECT_TRUE(grid.SquareRect(1).isEmpty());

    // The row above holds the background alone at its right end; entry 0 is never there.
    grid.SetTopRow(-5);
    EXPECT_EQ(grid.TopRow(), -1);
    EXPECT_EQ(grid.FirstVisibleIndex(), -6);
    EXPECT_EQ(grid.SquareRect(1), QRect(2 + 7 * 22, 2, 20, 20));
    EXPECT_EQ(grid.IndexAt({2 + 7 * 22 + 3, 5}), 1);
    EXPECT_EQ(grid.IndexAt({2 + 6 * 22 + 3, 5}), -1);
    EXPECT_EQ(grid.IndexAt({2 + 3, 2 + 22 + 3}), 2);

    // Entry 255 is on row 31 (253 / 8); the last top row shows it on the bottom row.
    EXPECT_EQ(grid.MaxTopRow(), 31 - 6 + 1);
    grid.EnsureVisible(255);
    EXPECT_EQ(grid.TopRow(), 26);
    EXPECT_FALSE(grid.SquareRect(255).isEmpty());
    EXPECT_EQ(grid.IndexAt(grid.SquareRect(255).center()), 255);
    EXPECT_EQ(grid.IndexAt(grid.SquareRect(255).center() + QPoint(22, 0)), -1);
    grid.EnsureVisible(9);
    EXPECT_EQ(grid.TopRow(), 0);
    grid.SetTopRow(99);
    EXPECT_EQ(grid.TopRow(), 26);
}

TEST(PaletteGridGeometry, KeysMoveWithinTheEntries)
{
    PaletteGridGeometry grid;
    grid.SetXSquares(16);
    grid.SetYSquares(4);
    EXPECT_EQ(grid.Moved(2, Move::Left, 40), 1);
    EXPECT_EQ(grid.Moved(1, Move::Left, 40), 1);
    EXPECT_EQ(grid.Moved(255, Move::Right, 40), 255);
    EXPECT_EQ(grid.Moved(20, Move::Up, 40), 4);
    EXPECT_EQ(grid.Moved(10, Move::Up, 40), 1);
    EXPECT_EQ(grid.Moved(20, Move::Down, 40), 36);
    EXPECT_EQ(grid.Moved(20, Move::PageDown, 40), 84);
    EXPECT_EQ(grid.Moved(250, Move::PageDown, 40), 255);
    EXPECT_EQ(grid.Moved(100, Move::Home, 40), 1);
    EXPECT_EQ(grid.Moved(100, Move::End, 40), 40);
}

TEST(ColorChart, RowsLabelsAndEntries)
{
    EXPECT_EQ(ColorChartRowLabel(0), QStringLiteral("0-15"));
    EXPECT_EQ(ColorChartRowLabel(1), QStringLiteral("16-31"));
    EXPECT_EQ(ColorChartRowLabel(15), QStringLiteral("240-250"));
    EXPECT_EQ(ColorChartEntry(0, 1), 1);
    EXPECT_EQ(ColorChartEntry(0, 16), 16);
    EXPECT_EQ(ColorChartEntry(15, 11), 251);
    EXPECT_EQ(ColorChartEntry(15, 12), -1);
    EXPECT_EQ(ColorChartEntry(3, 0), -1);
    EXPECT_EQ(ColorChartEntry(16, 1), -1);

    // Chips at 600 dpi: 10 mm is 236 pixels, 7 mm 165.
    const ColorChartLayout printed = ColorChartLayout::ForResolution(600, 600, true);
    EXPECT_EQ(printed.chipWidth, 236);
    EXPECT_EQ(printed.chipHeight, 165);
    EXPECT_EQ(printed.titleHeight, 283);
    EXPECT_EQ(ColorChartLayout::ForResolution(600, 600, false).titleHeight, 0);
}

TEST(ColorChart, PaintedChartHasEachEntryAtItsChip)
{
    NeedFonts();
    TPalette palette;
    for (int i = 0; i < 256; ++i)
        palette.SetNormal(i, uint8_t(i), uint8_t(255 - i), uint8_t(i * 7));
    for (const ColorChartLayout &layout :
         {ColorChartLayout::Screen(), ColorChartLayout::ForResolution(150, 150, true)}) {
        QImage image(layout.Size(), QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        PaintColorChart(painter, palette, layout,
                        QStringLiteral("<<   COLOR   CHART   GUIDE   >>"));
        painter.end();
        for (int row = 0; row < kChartRows; ++row) {
            for (int column = 1; column <= kChartChips; ++column) {
                const QRect chip = layout.CellRect(row, column);
                const int entry = ColorChartEntry(row, column);
                EXPECT_EQ(layout.EntryAt(chip.center()), entry);
                const TColor expected
                    = entry < 0 ? RGB2TColor(255, 255, 255) : palette.GetColor(entry);
                // Corners and centre: the chip is its colour to the edge.
                for (QPoint p : {chip.center(), chip.topLeft(), chip.bottomRight()}) {
                    const QRgb pixel = image.pixel(p);
                    ASSERT_EQ(RGB2TColor(uint8_t(qRed(pixel)), uint8_t(qGreen(pixel)),
                                         uint8_t(qBlue(pixel))),
                              expected)
                        << row << "," << column;
                }
            }
        }
    }
}
