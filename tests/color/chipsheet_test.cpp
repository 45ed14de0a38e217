#include "color/chipsheet.h"
#include "color/colorcatalog.h"
#include "color/printercolor.h"
#include "testsupport.h"

#include <QGuiApplication>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

using namespace warplon;

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

RGBQUAD Rgb(int r, int g, int b)
{
    RGBQUAD q;
    q.rgbRed = uint8_t(r);
    q.rgbGreen = uint8_t(g);
    q.rgbBlue = uint8_t(b);
    return q;
}

RGBQUAD PixelAt(const QImage &image, QPoint point)
{
    const QColor c = image.pixelColor(point);
    return Rgb(c.red(), c.green(), c.blue());
}

// A standard catalogue with one page of `count` entries, each its own colour and code.
TStandardColor StandardPage(uint16_t pageNumber, int count)
{
    TStandardColor catalog(QStringLiteral("/nonexistent/Standard.kvc"));
    CatalogPage page;
    page.number = pageNumber;
    for (int i = 0; i < count; ++i) {
        CatalogEntry entry;
        entry.number = uint16_t(i + 1);
        entry.code = uint16_t(100 + i);
        entry.red = uint8_t(10 + i * 7);
        entry.green = uint8_t(200 - i * 5);
        entry.blue = uint8_t(i * 3);
        page.entries.push_back(entry);
    }
    catalog.Pages().push_back(page);
    return catalog;
}

} // namespace

TEST(ChipSheet, ChipsAreSizedFromTheResolution)
{
    // At 254 dots per inch a millimetre is 10 dots.
    const ChipSheetLayout small
        = ChipSheetLayout::ForDevice(QRect(0, 0, 1900, 2770), 254, 254, ChipSize::Small);
    EXPECT_EQ(small.chipWidth, 110);
    EXPECT_EQ(small.chipHeight, 60);
    EXPECT_EQ(small.codeHeight, 30);
    EXPECT_EQ(small.gap, 10);
    EXPECT_EQ(small.titleHeight, 80);
    // 15 chips of 11 mm with 1 mm between them take 179 mm of the 190.
    EXPECT_EQ(small.ColumnsFit(), 15);
    EXPECT_EQ(small.RowsFit(), (2770 - 80 + 10) / 100);
    const ChipSheetLayout large
        = ChipSheetLayout::ForDevice(QRect(0, 0, 1900, 2770), 254, 508, ChipSize::Large);
    EXPECT_EQ(large.chipWidth, 210);
    EXPECT_EQ(large.chipHeight, 280);
    // 8 chips of 21 mm with 2 mm between them take 182 mm.
    EXPECT_EQ(large.ColumnsFit(), 8);
    // A sheet smaller than one chip still takes one.
    const ChipSheetLayout tiny
        = ChipSheetLayout::ForDevice(QRect(0, 0, 5, 5), 254, 254, ChipSize::Large);
    EXPECT_EQ(tiny.ColumnsFit(), 1);
    EXPECT_EQ(tiny.RowsFit(), 1);
}

TEST(ChipSheet, PagesHoldTheCatalogueColoursAndCodes)
{
    const TStandardColor catalog = StandardPage(5, 3);
    const ChipPage page = CatalogChipPage(catalog, 0, QStringLiteral("Kv Standard"));
    EXPECT_EQ(page.title, QStringLiteral("Kv Standard   < 5 >"));
    EXPECT_EQ(page.columns, 0);
    ASSERT_EQ(page.cells.size(), 3u);
    EXPECT_EQ(page.cells[2]->code, QStringLiteral("0102"));
    EXPECT_EQ(page.cells[2]->color, Rgb(24, 190, 6));
    EXPECT_TRUE(CatalogChipPage(catalog, 1, QString()).cells.empty());

    // Atlas index 36 (the greys): 7 columns, 36 steps, the lightest step in the top row.
    const ChipPage greys = PrinterChipPage(36, QStringLiteral("Printer Color"));
    EXPECT_EQ(greys.title, QStringLiteral("Printer Color   < 37 >"));
    EXPECT_EQ(greys.columns, 7);
    ASSERT_EQ(greys.cells.size(), size_t(7 * 36));
    EXPECT_EQ(greys.cells[0]->code, QStringLiteral("37-1:36"));
    EXPECT_EQ(greys.cells[0]->color, TPrinterColor::AtlasRGB(36, 35, 0));
    EXPECT_EQ(greys.cells[7 * 35 + 6]->code, QStringLiteral("37-7:1"));
    EXPECT_EQ(greys.cells[7 * 35 + 6]->color, TPrinterColor::AtlasRGB(36, 0, 6));
    EXPECT_EQ(PrinterChipPage(40, QString()).cells.size(), size_t(15 * 12));
    EXPECT_TRUE(PrinterChipPage(73, QString()).cells.empty());
}

TEST(ChipSheet, LargePagesAreCutIntoBlocksThatCoverEveryChipOnce)
{
    // Room for 10 columns and 20 rows of small chips at 254 dpi.
    const ChipSheetLayout layout
        = ChipSheetLayout::ForDevice(QRect(0, 0, 1190, 80 + 2000 - 10), 254, 254, ChipSize::Small);
    ASSERT_EQ(layout.ColumnsFit(), 10);
    ASSERT_EQ(layout.RowsFit(), 20);
    const TStandardColor catalog = StandardPage(5, 25);
    const std::vector<ChipPage> pages{PrinterChipPage(0, QString()), ChipPage{},
                                      CatalogChipPage(catalog, 0, QString())};
    const std::vector<ChipSheet> sheets = PlanChipSheets(pages, layout);
    // 15 columns x 36 steps: 2 x 2 blocks; the empty page none; 25 chips running across: one.
    ASSERT_EQ(sheets.size(), 5u);
    std::multiset<int> covered;
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(sheets[i].page, 0);
        EXPECT_EQ(sheets[i].part, int(i) + 1);
        EXPECT_EQ(sheets[i].parts, 4);
        for (int row = 0; row < sheets[i].rows; ++row)
            for (int column = 0; column < sheets[i].columns; ++column)
                covered.insert((sheets[i].firstRow + row) * 15 + sheets[i].firstColumn + column);
    }
    EXPECT_EQ(covered.size(), size_t(15 * 36));
    EXPECT_EQ(std::set<int>(covered.begin(), covered.end()).size(), size_t(15 * 36));
    EXPECT_EQ(sheets[3].firstColumn, 10);
    EXPECT_EQ(sheets[3].columns, 5);
    EXPECT_EQ(sheets[3].firstRow, 20);
    EXPECT_EQ(sheets[3].rows, 16);
    EXPECT_EQ(sheets[4].page, 2);
    EXPECT_EQ(sheets[4].parts, 1);
    EXPECT_EQ(sheets[4].rows, 3);
    EXPECT_EQ(sheets[4].columns, 10);
}

TEST(ChipSheet, PaintedChipsShowTheirColoursInTheirPlaces)
{
    NeedFonts();
    QImage image(600, 500, QImage::Format_RGB32);
    const ChipSheetLayout layout
        = ChipSheetLayout::ForDevice(QRect(20, 10, 560, 480), 100, 100, ChipSize::Small);
    const TStandardColor catalog = StandardPage(5, 25);
    const std::vector<ChipPage> pages{CatalogChipPage(catalog, 0, QStringLiteral("Kv")),
                                      PrinterChipPage(2, QString())};
    const std::vector<ChipSheet> sheets = PlanChipSheets(pages, layout);
    ASSERT_FALSE(sheets.empty());

    // The file catalogue: chips run across the sheet, row by row.
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        PaintChipSheet(painter, layout, pages[0], sheets[0]);
    }
    const int columns = layout.ColumnsFit();
    ASSERT_LT(columns, 25);
    for (int i = 0; i < 25; ++i) {
        const QRect chip = layout.ChipRect(i % columns, i / columns);
        EXPECT_EQ(PixelAt(image, chip.center()), pages[0].cells[size_t(i)]->color) << i;
        EXPECT_EQ(PixelAt(image, chip.topLeft()), pages[0].cells[size_t(i)]->color) << i;
        // The frame just outside the chip.
        EXPECT_EQ(PixelAt(image, chip.topLeft() - QPoint(1, 1)), Rgb(0, 0, 0)) << i;
    }
    // Nothing beyond the last chip, and the code is written under each chip.
    EXPECT_EQ(PixelAt(image, layout.ChipRect(25 % columns, 25 / columns).center()),
              Rgb(255, 255, 255));
    const QRect code = layout.CodeRect(0, 0);
    bool ink = false;
    for (int y = code.top(); y <= code.bottom(); ++y)
        for (int x = code.left(); x <= code.right(); ++x)
            ink = ink || PixelAt(image, QPoint(x, y)) != Rgb(255, 255, 255);
    EXPECT_TRUE(ink);

    // A block of the atlas page further down: its first chip is the block's first cell.
    const auto block = std::find_if(sheets.begin(), sheets.end(), [](const ChipSheet &sheet) {
        return sheet.page == 1 && sheet.firstRow > 0;
    });
    ASSERT_NE(block, sheets.end());
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        PaintChipSheet(painter, layout, pages[1], *block);
    }
    for (int row = 0; row < block->rows; ++row) {
        for (int column = 0; column < block->columns; ++column) {
            const int step = 35 - (block->firstRow + row);
            EXPECT_EQ(PixelAt(image, layout.ChipRect(column, row).center()),
                      TPrinterColor::AtlasRGB(2, step, block->firstColumn + column))
                << row << "," << column;
        }
    }
}

TEST(ChipSheet, PrintingStartsASheetOfPaperForEveryBlock)
{
    NeedFonts();
    test::TempDir dir;
    const QString file = dir.file(QStringLiteral("chips.pdf"));
    const TStandardColor catalog = StandardPage(5, 25);
    const std::vector<ChipPage> pages{PrinterChipPage(0, QStringLiteral("Printer Color")),
                                      CatalogChipPage(catalog, 0, QStringLiteral("Kv Standard"))};
    int printed = 0;
    {
        QPdfWriter pdf(file);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
        pdf.setResolution(300);
        printed = PrintChipPages(pdf, pages, ChipSize::Large);
    }
    // Large chips on 190 x 277 mm: 8 columns of 23 mm fit across and 13 rows of 20.5 mm below
    // the 8 mm title, so the 15 atlas columns take 2 blocks across and the 36 steps 3 bands
    // down; the 25 standard chips take one sheet.
    EXPECT_EQ(printed, 2 * 3 + 1);
    const QByteArray bytes = test::readFile(file);
    ASSERT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_EQ(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r")
                  + bytes.count("/Type /Page "),
              printed);

    QPdfWriter empty(dir.file(QStringLiteral("none.pdf")));
    EXPECT_EQ(PrintChipPages(empty, {ChipPage{}}, ChipSize::Small), 0);
}
