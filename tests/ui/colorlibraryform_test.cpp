#include "app/messagebox.h"
#include "color/chipsheet.h"
#include "color/colorcatalogs.h"
#include "color/colorcontrols.h"
#include "color/colorlibraryform.h"
#include "color/dib256palette.h"
#include "color/paletteform.h"
#include "colortestfiles.h"
#include "testhost.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPrinter>
#include <QRadioButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

using namespace warplon;
using test::Bytes;
using test::StandardChip;
using test::TestHost;
using test::TextileChip;

namespace {

RGBQUAD Rgb(uint8_t r, uint8_t g, uint8_t b)
{
    RGBQUAD q;
    q.rgbRed = r;
    q.rgbGreen = g;
    q.rgbBlue = b;
    return q;
}

// Two pages of our standard catalogue (5: 0042 and 0007; 9: 0100) and one textile page
// (19: 19-0052), a default palette of free colours, no Pantone catalogue.
QByteArray TwoStandardPages()
{
    Bytes bytes;
    bytes.raw(QByteArrayLiteral("CL")).u16(100).u16(2);
    // page number, entry count; entries: number, code, reserved, red, green, blue
    bytes.u16(5).u16(2);
    bytes.u16(1).u16(42).u8(0).u8(100).u8(50).u8(50);
    bytes.u16(2).u16(7).u8(0).u8(0).u8(0).u8(200);
    bytes.u16(9).u16(1);
    bytes.u16(1).u16(100).u8(0).u8(9).u8(99).u8(199);
    return bytes.data();
}

struct Windows
{
    explicit Windows(const QString &language = QStringLiteral("English"))
        : host(language)
    {
        const QString dir = host.programDirectory();
        test::WriteColorFile(dir, QStringLiteral("Standard.kvc"), TwoStandardPages());
        test::WriteColorFile(dir, QStringLiteral("Textile.kvc"),
                             test::TextileCatalogFile(19, {TextileChip{3, 19, 52, 100, 50, 70}}));
        test::WriteColorFile(dir, QStringLiteral("Textile.fcr"), test::FreePaletteFile([](int i) {
                                 return std::tuple<int, int, int>{i, (i * 7) % 256, 255 - i};
                             }));
        catalogs = std::make_unique<ColorCatalogs>(dir);
        form = std::make_unique<TPaletteForm>(host, *catalogs);
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        SetMessageHandler([this](QMessageBox::Icon, const QString &, const QString &text,
                                 QMessageBox::StandardButtons) {
            messages.append(text);
            return QMessageBox::Ok;
        });
    }
    ~Windows() { SetMessageHandler({}); }

    void Choose(int index)
    {
        TDIB256Palette *grid = form->Palette256;
        grid->ScrollToRowOf(index);
        QTest::mouseClick(grid, Qt::LeftButton, {}, grid->SquareRect(index).center());
        ASSERT_EQ(grid->ChoiceIndex(), index);
    }
    const TColorData &Entry(int index) { return *form->palette().GetColorData(index); }

    // Opens the library window with its button on the palette window's library page.
    TColorLibraryForm &OpenLibrary()
    {
        form->sbLibrary->click();
        form->sbColorLibrary->click();
        TColorLibraryForm *library = form->libraryWindow();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(library));
        return *library;
    }

    TestHost host;
    std::unique_ptr<ColorCatalogs> catalogs;
    std::unique_ptr<TPaletteForm> form;
    QStringList messages;
};

QString Cell(const TColorLibraryForm &library, int entry, int column)
{
    return library.sgColor->item(entry - 1, column)->text();
}

void DoubleClickCell(QTableWidget *table, int row, int column)
{
    QTableWidgetItem *item = table->item(row, column);
    ASSERT_NE(item, nullptr);
    table->scrollToItem(item);
    // As the mouse does it: a press and release, then the second press as a double click.
    const QPoint at = table->visualItemRect(item).center();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, at);
}

void TypePage(TColorLibraryForm &library, const QString &text)
{
    library.edPage->selectAll();
    QTest::keyClicks(library.edPage, text);
    QTest::keyClick(library.edPage, Qt::Key_Return);
}

} // namespace

TEST(ColorLibraryWindow, KindAndCodeFollowTheChosenEntry)
{
    Windows w;
    TPaletteForm &form = *w.form;
    form.palette().SetKvStandardColor(5, 5, 1, 100, 50, 50);
    form.palette().SetKvStandardColor(6, 5, 9, 1, 2, 3); // no such entry on page 5
    form.palette().SetUserColor(7, ColorKvTextile, 19, 3, 100, 50, 70, "Spring", "Sky");
    form.palette().SetPrinterColor(8, 541, 1, 5, 5, 5);
    form.Refresh();
    w.Choose(5);
    TColorLibraryForm &library = w.OpenLibrary();
    EXPECT_EQ(library.windowTitle(), QStringLiteral("Color Library"));
    EXPECT_EQ(library.parentWidget(), &form);
    EXPECT_TRUE(library.windowFlags() & Qt::WindowStaysOnTopHint);
    // A header row over the entries 1-251, nine columns.
    ASSERT_EQ(library.sgColor->rowCount(), 251);
    ASSERT_EQ(library.sgColor->columnCount(), 9);
    EXPECT_EQ(library.sgColor->horizontalHeaderItem(3)->text(), QStringLiteral("Code"));

    EXPECT_EQ(library.lbKind->text(), QStringLiteral("Kv Standard Color"));
    EXPECT_EQ(library.lbCode->text(), QStringLiteral("0042"));
    EXPECT_EQ(library.sgColor->currentRow(), 4);
    EXPECT_EQ(Cell(library, 5, 0), QStringLiteral("4"));
    EXPECT_EQ(Cell(library, 5, 4), QStringLiteral("100 - 50 - 50"));
    EXPECT_EQ(Cell(library, 5, 7), QStringLiteral("0.000 %"));
    EXPECT_EQ(Cell(library, 7, 8), QStringLiteral("Spring - Sky:(19-0052)"));
    EXPECT_EQ(Cell(library, 8, 3), QStringLiteral("37-1:2"));
    EXPECT_EQ(Cell(library, 3, 2), QStringLiteral("Normal Color"));
    EXPECT_EQ(library.sgColor->item(250, 0)->text(), QStringLiteral("250"));

    // Same kind, but the catalogue holds no such colour: the code goes blank.
    w.Choose(6);
    EXPECT_EQ(library.lbKind->text(), QStringLiteral("Kv Standard Color"));
    EXPECT_EQ(library.lbCode->text(), QString());
    w.Choose(7);
    EXPECT_EQ(library.lbKind->text(), QStringLiteral("User (Kv Textile Color)"));
    EXPECT_EQ(library.lbCode->text(), QStringLiteral("19-0052"));
    w.Choose(8);
    EXPECT_EQ(library.lbKind->text(), QStringLiteral("Printer Color"));
    EXPECT_EQ(library.lbCode->text(), QStringLiteral("37-1:2"));
    w.Choose(3);
    EXPECT_EQ(library.lbKind->text(), QStringLiteral("Normal Color"));
    EXPECT_EQ(library.lbCode->text(), QString());
    EXPECT_EQ(library.sgColor->currentRow(), 2);

    // A click on a row chooses that entry in the palette window.
    QTableWidgetItem *row10 = library.sgColor->item(9, 2);
    library.sgColor->scrollToItem(row10);
    QTest::mouseClick(library.sgColor->viewport(), Qt::LeftButton, {},
                      library.sgColor->visualItemRect(row10).center());
    EXPECT_EQ(form.Palette256->ChoiceIndex(), 10);
    EXPECT_EQ(library.Chosen(), 10);

    // An edit in the palette window shows in the table at once.
    form.sbCMY->click();
    form.PSEditCyan->setValue(0);
    form.PSEditMagenta->setValue(0);
    form.PSEditYellow->setValue(0);
    EXPECT_EQ(w.Entry(10).color, Rgb(255, 255, 255));
    EXPECT_EQ(Cell(library, 10, 4), QStringLiteral("255 - 255 - 255"));
    EXPECT_EQ(Cell(library, 10, 5), QStringLiteral("0 / 0 / 0"));
}

TEST(ColorLibraryWindow, KoreanTexts)
{
    Windows w(QStringLiteral("Korean"));
    w.form->palette().SetKvStandardColor(5, 5, 1, 100, 50, 50);
    w.form->Refresh();
    w.Choose(5);
    TColorLibraryForm &library = w.OpenLibrary();
    EXPECT_EQ(library.windowTitle(), QStringLiteral("색상 라이브러리"));
    EXPECT_EQ(library.lbKind->text(), QStringLiteral("Kv 표준 색"));
    EXPECT_EQ(library.sbCenterPage->text(), QStringLiteral("가운데 페이지"));
    EXPECT_EQ(library.cbBook->itemText(0), QStringLiteral("프린터 색"));
}

TEST(ColorLibraryWindow, PagerWalksTheAtlasAndTheCatalogues)
{
    Windows w;
    TColorLibraryForm &library = w.OpenLibrary();
    ASSERT_EQ(library.CurrentBook(), TColorLibraryForm::Book::Printer);
    EXPECT_EQ(library.BookStack->currentWidget(), static_cast<QWidget *>(library.sgPrinter));
    EXPECT_EQ(library.lbPage->text(), QStringLiteral("< 1 >"));
    EXPECT_EQ(library.sgPrinter->columnCount(), 15);
    EXPECT_EQ(library.sgPrinter->rowCount(), 36);
    EXPECT_FALSE(library.sbBeforePage->isEnabled());
    library.sbBeforePage->click();
    EXPECT_EQ(library.PagePosition(), 0);
    library.sbNextPage->click();
    EXPECT_EQ(library.lbPage->text(), QStringLiteral("< 2 >"));
    library.sbCenterPage->click();
    EXPECT_EQ(library.lbPage->text(), QStringLiteral("< 37 >"));
    EXPECT_EQ(library.sgPrinter->columnCount(), 7);
    // The lightest step on top.
    const QColor top = library.sgPrinter->item(0, 0)->data(Qt::UserRole).value<QColor>();
    const RGBQUAD lightest = TPrinterColor::AtlasRGB(36, 35, 0);
    EXPECT_EQ(top, QColor(lightest.rgbRed, lightest.rgbGreen, lightest.rgbBlue));
    library.sbEndPage->click();
    EXPECT_EQ(library.lbPage->text(), QStringLiteral("< 73 >"));
    EXPECT_EQ(library.sgPrinter->rowCount(), 12);
    EXPECT_FALSE(library.sbNextPage->isEnabled());
    library.sbFirstPage->click();
    EXPECT_EQ(library.lbPage->text(), QStringLiteral("< 1 >"));
    TypePage(library, QStringLiteral("40"));
    EXPECT_EQ(library.lbPage->text(), QStringLiteral("< 40 >"));
    TypePage(library, QStringLiteral("x"));
    EXPECT_EQ(library.lbPage->text(), QStringLiteral("< 40 >"));
    TypePage(library, QStringLiteral("999"));
    EXPECT_EQ(library.lbPage->text(), QStringLiteral("< 73 >"));

    // A file catalogue: its pages by number, chips with their codes.
    library.cbBook->setCurrentIndex(1);
    EXPECT_EQ(library.CurrentBook(), TColorLibraryForm::Book::KvStandard);
    EXPECT_EQ(library.BookStack->currentWidget(), static_cast<QWidget *>(library.ChipScroll));
    EXPECT_EQ(library.PageCount(), 2);
    EXPECT_EQ(library.lbPage->text(), QStringLiteral("< 5 >"));
    ASSERT_EQ(library.ChipView->Chips().size(), 2u);
    EXPECT_EQ(library.ChipView->Chips()[1].code, QStringLiteral("0007"));
    library.sbNextPage->click();
    EXPECT_EQ(library.lbPage->text(), QStringLiteral("< 9 >"));
    EXPECT_EQ(library.ChipView->Chips()[0].code, QStringLiteral("0100"));
    TypePage(library, QStringLiteral("5"));
    EXPECT_EQ(library.lbPage->text(), QStringLiteral("< 5 >"));
    TypePage(library, QStringLiteral("6"));
    EXPECT_EQ(library.lbPage->text(), QStringLiteral("< 9 >")) << "the first page from 6 on";
    TypePage(library, QStringLiteral("10"));
    EXPECT_EQ(library.lbPage->text(), QStringLiteral("< 5 >")) << "no page from 10 on";

    // The Pantone books are not installed: the notice says where their files go.
    for (int book : {3, 4}) {
        library.cbBook->setCurrentIndex(book);
        EXPECT_EQ(library.BookStack->currentWidget(),
                  static_cast<QWidget *>(library.lbPantoneNotice));
        EXPECT_EQ(library.lbPantoneNotice->text(), w.form->PantoneNotice());
        EXPECT_TRUE(library.lbPantoneNotice->text().contains(QStringLiteral("Thousand.ptc")));
        EXPECT_TRUE(library.lbPantoneNotice->text().endsWith(w.host.programDirectory()
                                                             + QStringLiteral("/color")));
        EXPECT_FALSE(library.sbNextPage->isEnabled());
        EXPECT_FALSE(library.edPage->isEnabled());
        EXPECT_TRUE(library.lbPage->text().isEmpty());
    }
    library.cbBook->setCurrentIndex(0);
    EXPECT_TRUE(library.edPage->isEnabled());
    EXPECT_TRUE(w.messages.isEmpty());
}

TEST(ColorLibraryWindow, DoubleClickTakesTheColourAndCloses)
{
    Windows w;
    TPaletteForm &form = *w.form;
    w.Choose(12);
    TColorLibraryForm &library = w.OpenLibrary();
    library.sbCenterPage->click();
    // The bottom row is the darkest step, 0, of the grey page's first column.
    DoubleClickCell(library.sgPrinter, 35, 0);
    EXPECT_FALSE(library.isVisible());
    EXPECT_EQ(library.PrinterPosition().PageIndex(), 36);
    EXPECT_EQ(library.PrinterPosition().Step(), 0);
    EXPECT_EQ(library.PrinterPosition().Column(), 0);
    EXPECT_EQ(w.Entry(12).GetKind(), ColorNormal);
    EXPECT_EQ(w.Entry(12).PageNumber, 541);
    EXPECT_EQ(w.Entry(12).ColorNumber, 0);
    EXPECT_EQ(w.Entry(12).color, TPrinterColor::AtlasRGB(36, 0, 0));
    EXPECT_TRUE(form.sbUndo->isEnabled());
    EXPECT_EQ(library.lbCode->text(), QStringLiteral("37-1:1"));

    // Page 1, top row, fourth column: step 35 of atlas page 4.
    form.sbLibrary->click();
    form.sbColorLibrary->click();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&library));
    library.sbFirstPage->click();
    DoubleClickCell(library.sgPrinter, 0, 3);
    EXPECT_EQ(w.Entry(12).PageNumber, 4);
    EXPECT_EQ(w.Entry(12).ColorNumber, 35);
    EXPECT_EQ(w.Entry(12).color, TPrinterColor::AtlasRGB(0, 35, 3));
    EXPECT_EQ(Cell(library, 12, 3), QStringLiteral("1-4:36"));

    // A chip of a file catalogue.
    form.sbColorLibrary->click();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&library));
    library.cbBook->setCurrentIndex(2);
    ASSERT_EQ(library.ChipView->Chips().size(), 1u);
    QTest::mouseDClick(library.ChipView, Qt::LeftButton, {},
                       library.ChipView->Chips()[0].rect.center());
    EXPECT_FALSE(library.isVisible());
    EXPECT_EQ(w.Entry(12).GetKind(), ColorKvTextile);
    EXPECT_EQ(w.Entry(12).PageNumber, 19);
    EXPECT_EQ(form.editor().UndoCount(), 3);
    form.sbUndo->click();
    EXPECT_EQ(w.Entry(12).PageNumber, 4);

    // Opened from the modal picker, the window is the picker's child and takes input.
    QTimer::singleShot(0, [&] {
        EXPECT_EQ(QApplication::activeModalWidget(), &form);
        form.sbColorLibrary->click();
        EXPECT_TRUE(library.isVisible());
        library.cbBook->setCurrentIndex(0);
        library.sbCenterPage->click();
        DoubleClickCell(library.sgPrinter, 0, 6);
        form.reject();
    });
    EXPECT_EQ(form.PickColor(), std::nullopt);
    EXPECT_EQ(w.Entry(12).PageNumber, 547);
}

TEST(PaletteFinder, ListsTheFilesHoldingTheCode)
{
    Windows w;
    TPaletteForm &form = *w.form;
    const QString color = w.host.programDirectory() + QStringLiteral("/color");
    // A palette holding standard 0042 (page 5, number 1) at entry 40, as free colours elsewhere.
    Bytes palette;
    palette.raw(QByteArrayLiteral("CP")).u16(110);
    for (int i = 0; i < 256; ++i) {
        // flags, page, number, blue, green, red, reserved
        if (i == 40)
            palette.u16(ColorKvStandard).u16(5).u8(1).u8(50).u8(50).u8(100).u8(0);
        else
            palette.u16(0).u16(0).u8(0).u8(1).u8(2).u8(3).u8(0);
    }
    // A collection of one textile colour 19-0052, and one holding 0042.
    auto collection = [](uint16_t kind, uint16_t page, uint8_t number) {
        Bytes bytes;
        bytes.i32(1).raw(QByteArrayLiteral("Name")).zeros(18).i32(kind).u16(page).u8(number);
        return bytes.u8(1).u8(2).u8(3).u8(0).data();
    };
    ASSERT_TRUE(
        test::WriteColorFile(w.host.programDirectory(), QStringLiteral("a.fcr"), palette.data()));
    ASSERT_TRUE(test::WriteColorFile(w.host.programDirectory(), QStringLiteral("c.ucl"),
                                     collection(ColorKvTextile, 19, 3)));
    ASSERT_TRUE(QDir().mkpath(color + QStringLiteral("/sub")));
    ASSERT_TRUE(
        test::writeFile(color + QStringLiteral("/sub/b.ucl"), collection(ColorKvStandard, 5, 1)));

    w.Choose(9);
    form.sbLibrary->click();
    form.sbKvStandard->click();
    QTest::mouseClick(form.LibraryChips, Qt::LeftButton, {},
                      form.LibraryChips->Chips()[0].rect.center());
    ASSERT_EQ(w.Entry(9).GetKind(), ColorKvStandard);
    ASSERT_TRUE(form.sbFinder->isEnabled());
    EXPECT_TRUE(form.sbFinder->toolTip().isEmpty());
    form.sbFinder->click();
    EXPECT_EQ(form.LibraryStack->currentWidget()->objectName(), QStringLiteral("FinderPage"));
    EXPECT_EQ(form.edFinderCode->text(), QStringLiteral("0042"));
    EXPECT_EQ(form.lbFinderFolder->text(), color);
    EXPECT_EQ(form.CurrentLibrary(), TPaletteForm::Library::KvStandard);

    auto listed = [&form] {
        QStringList names;
        for (int i = 0; i < form.lbFinderFiles->count(); ++i)
            names << form.lbFinderFiles->item(i)->text();
        return names;
    };
    form.sbFind->click();
    EXPECT_EQ(listed(), QStringList(QStringLiteral("a.fcr")));
    EXPECT_EQ(form.lbFinderResult->text(), QStringLiteral("Files holding the color:"));
    form.cbSubDirectory->setChecked(true);
    form.sbFind->click();
    EXPECT_EQ(listed(), QStringList({QStringLiteral("a.fcr"), QStringLiteral("sub/b.ucl")}));

    form.edFinderCode->setText(QStringLiteral("19-0052"));
    QTest::keyClick(form.edFinderCode, Qt::Key_Return);
    EXPECT_EQ(listed(), QStringList(QStringLiteral("c.ucl")));
    // A printer code as the program shows it; no file holds it.
    form.edFinderCode->setText(QStringLiteral("37-1:1"));
    form.sbFind->click();
    EXPECT_TRUE(listed().isEmpty());
    EXPECT_EQ(form.lbFinderResult->text(),
              QStringLiteral("No palette or user color file holds this color."));
    EXPECT_TRUE(w.messages.isEmpty());

    form.edFinderCode->setText(QStringLiteral("9999"));
    form.sbFind->click();
    form.edFinderCode->clear();
    form.sbFind->click();
    EXPECT_EQ(w.messages,
              QStringList({QStringLiteral("No catalogue color has this code: 9999"),
                           QStringLiteral("Type a catalogue code or a printer code.")}));
    EXPECT_TRUE(listed().isEmpty());
    // The search changed no palette entry.
    EXPECT_EQ(form.editor().UndoCount(), 1);
}

TEST(PaletteChipPrint, PrintsTheBrowsedPagesOfTheCatalogue)
{
    Windows w;
    TPaletteForm &form = *w.form;
    form.sbLibrary->click();
    form.sbKvStandard->click();
    ASSERT_TRUE(form.sbChipPrint->isEnabled());
    form.sbChipPrint->click();
    EXPECT_EQ(form.LibraryStack->currentWidget()->objectName(), QStringLiteral("PrintPage"));
    EXPECT_EQ(form.lbPrintBook->text(), QStringLiteral("Kv Standard"));
    EXPECT_EQ(form.edStartPage->maximum(), 2);
    EXPECT_EQ(form.edStartPage->value(), 1);
    EXPECT_TRUE(form.sbPrintStart->isEnabled());
    std::vector<ChipPage> pages = form.ChipPagesToPrint();
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].title, QStringLiteral("Kv Standard   < 5 >"));
    ASSERT_EQ(pages[0].cells.size(), 2u);
    EXPECT_EQ(pages[0].cells[0]->code, QStringLiteral("0042"));
    form.edPageCount->setValue(5);
    EXPECT_EQ(form.edPageCount->value(), 2);
    EXPECT_EQ(form.ChipPagesToPrint().size(), 2u);

    test::TempDir dir;
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.file(QStringLiteral("standard.pdf")));
        EXPECT_EQ(form.PrintChips(printer), 2);
    }
    const QByteArray pdf = test::readFile(dir.file(QStringLiteral("standard.pdf")));
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    // "Start" opens the print preview of the same sheets.
    QString preview;
    QTimer::singleShot(0, [&preview] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            preview = QString::fromLatin1(modal->metaObject()->className());
            modal->close();
        }
    });
    form.sbPrintStart->click();
    EXPECT_EQ(preview, QStringLiteral("QPrintPreviewDialog"));

    // The printer atlas from the page browsed: page 37 with its 7 columns of 36 steps. After a
    // Special Search the atlas is still the catalogue printed.
    form.sbPrinterColor->click();
    form.edLibraryPage->setValue(37);
    form.sbSpecialSearch->click();
    form.sbChipPrint->click();
    EXPECT_EQ(form.BrowsedLibrary(), TPaletteForm::Library::PrinterColor);
    EXPECT_EQ(form.lbPrintBook->text(), QStringLiteral("Printer Color"));
    EXPECT_EQ(form.edStartPage->value(), 37);
    EXPECT_EQ(form.edStartPage->maximum(), 73);
    pages = form.ChipPagesToPrint();
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].cells.size(), size_t(7 * 36));
    form.rbChipLarge->setChecked(true);
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.file(QStringLiteral("atlas.pdf")));
        // Large chips: 36 steps do not fit one sheet of paper.
        EXPECT_GT(form.PrintChips(printer), 1);
    }

    // Nothing to print from the Color Guide without the Pantone catalogues.
    form.sbColorGuide->click();
    form.sbChipPrint->click();
    EXPECT_TRUE(form.lbPrintBook->text().startsWith(QStringLiteral("Color Guide\n")));
    EXPECT_TRUE(form.lbPrintBook->text().endsWith(form.PantoneNotice()));
    EXPECT_FALSE(form.sbPrintStart->isEnabled());
    EXPECT_TRUE(form.ChipPagesToPrint().empty());
    EXPECT_TRUE(w.messages.isEmpty());
}
