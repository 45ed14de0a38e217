#include "app/messagebox.h"
#include "color/colorcatalogs.h"
#include "color/colorchartform.h"
#include "color/colorcontrols.h"
#include "color/dib256palette.h"
#include "color/paletteform.h"
#include "color/usercolordrag.h"
#include "colortestfiles.h"
#include "testhost.h"

#include <QApplication>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPrinter>
#include <QScrollBar>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

using namespace warplon;
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

// Entry i of the test palette: a free colour no other entry has.
std::tuple<int, int, int> TestColour(int i)
{
    return {i, (i * 3) % 256, 255 - i};
}

// A program directory with our own catalogues (standard page 5, textile page 19), a default
// palette of distinct free colours, and no Pantone catalogue.
struct PaletteWindow
{
    explicit PaletteWindow(const QString &language = QStringLiteral("English"),
                           bool withPalette = true)
        : host(language)
    {
        const QString dir = host.programDirectory();
        test::WriteColorFile(dir, QStringLiteral("Standard.kvc"),
                             test::StandardCatalogFile(5, {StandardChip{1, 42, 100, 50, 50},
                                                           StandardChip{2, 7, 0, 0, 200}}));
        test::WriteColorFile(dir, QStringLiteral("Textile.kvc"),
                             test::TextileCatalogFile(19, {TextileChip{3, 19, 52, 100, 50, 70}}));
        if (withPalette)
            test::WriteColorFile(dir, QStringLiteral("Textile.fcr"),
                                 test::FreePaletteFile(TestColour));
        catalogs = std::make_unique<ColorCatalogs>(dir);
        form = std::make_unique<TPaletteForm>(host, *catalogs);
        // Shown, so that every control has its real size.
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        SetMessageHandler([this](QMessageBox::Icon, const QString &, const QString &text,
                                 QMessageBox::StandardButtons) {
            messages.append(text);
            return QMessageBox::Ok;
        });
    }
    ~PaletteWindow() { SetMessageHandler({}); }

    // Chooses an entry with a click on its square.
    void Choose(int index)
    {
        TDIB256Palette *grid = form->Palette256;
        grid->ScrollToRowOf(index);
        QTest::mouseClick(grid, Qt::LeftButton, {}, grid->SquareRect(index).center());
        ASSERT_EQ(grid->ChoiceIndex(), index);
    }
    const TColorData &Entry(int index) { return *form->palette().GetColorData(index); }

    TestHost host;
    std::unique_ptr<ColorCatalogs> catalogs;
    std::unique_ptr<TPaletteForm> form;
    QStringList messages;
};

// Types into a spin edit as the designer does, replacing its text.
void Type(QSpinBox *spin, const QString &text, bool commit = true)
{
    spin->selectAll();
    QTest::keyClicks(spin, text);
    if (commit)
        QTest::keyClick(spin, Qt::Key_Return);
}

// The mouse moves over a widget (with the left button down when dragging).
void MoveMouse(QWidget *widget, QPoint point, bool dragging = false)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(point), widget->mapToGlobal(QPointF(point)),
                     Qt::NoButton, dragging ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

void SetCmy(PaletteWindow &w, int c, int m, int y)
{
    Type(w.form->PSEditCyan, QString::number(c));
    Type(w.form->PSEditMagenta, QString::number(m));
    Type(w.form->PSEditYellow, QString::number(y));
}

} // namespace

TEST(PaletteWindow, StartsFromTheDefaultPaletteOrTheFixedOne)
{
    PaletteWindow w;
    TPaletteForm &form = *w.form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Palette"));
    EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
    for (int i : {1, 2, 100, 255})
        EXPECT_EQ(w.Entry(i).color, Rgb(uint8_t(i), uint8_t(i * 3 % 256), uint8_t(255 - i)));
    EXPECT_EQ(form.Palette256->ChoiceIndex(), 2);
    EXPECT_EQ(form.Palette256->FirstVisibleIndex(), 2);
    EXPECT_FALSE(form.sbUndo->isEnabled());
    // The windows still to come leave their buttons disabled and say so.
    for (QToolButton *later : {form.sbFile, form.sbUserColor}) {
        EXPECT_FALSE(later->isEnabled()) << later->objectName().toStdString();
        EXPECT_EQ(later->toolTip(), QStringLiteral("Comes with a later version of Warplon."));
    }
    int opened = 0;
    form.SetFileManagerOpener([&opened] { ++opened; });
    ASSERT_TRUE(form.sbFile->isEnabled());
    form.sbFile->click();
    EXPECT_EQ(opened, 1);

    PaletteWindow fallback(QStringLiteral("English"), false);
    EXPECT_EQ(fallback.Entry(0).color, Rgb(0, 0, 0));
    EXPECT_EQ(fallback.Entry(1).color, Rgb(255, 255, 255));
    EXPECT_EQ(fallback.Entry(2).color, Rgb(0, 0, 0));
    EXPECT_EQ(fallback.Entry(4).color, Rgb(0, 0, 51));
    EXPECT_EQ(fallback.Entry(255).color, Rgb(255, 255, 255));
}

TEST(PaletteWindow, GridChoosesMovesAndScrolls)
{
    PaletteWindow w;
    TDIB256Palette *grid = w.form->Palette256;
    EXPECT_EQ(grid->XSquares(), 16);
    grid->SetXSquares(17);
    grid->SetTab(0);
    EXPECT_EQ(grid->XSquares(), 16);
    EXPECT_EQ(grid->Tab(), 2);

    w.Choose(20);
    EXPECT_EQ(w.form->lbChoiceNumber->text(), QStringLiteral("19"));
    EXPECT_EQ(w.form->ShapeFGColor->Color(), w.form->palette().GetColor(20));
    MoveMouse(grid, grid->SquareRect(21).center());
    EXPECT_EQ(grid->CursorIndex(), 21);
    EXPECT_EQ(w.form->lbCursorNumber->text(), QStringLiteral("20"));
    EXPECT_EQ(w.form->ShapeCursorColor->Color(), w.form->palette().GetColor(21));

    // Home reaches the background, scrolling the row above the design colours into view.
    QTest::keyClick(grid, Qt::Key_Home);
    EXPECT_EQ(grid->ChoiceIndex(), 1);
    EXPECT_EQ(grid->FirstVisibleIndex(), 2 - 16);
    EXPECT_EQ(
        grid->IndexAt(grid->SquareRect(1).center() - QPoint(grid->SquareRect(1).width() + 2, 0)),
        -1);
    QTest::keyClick(grid, Qt::Key_Right);
    QTest::keyClick(grid, Qt::Key_Down);
    EXPECT_EQ(grid->ChoiceIndex(), 18);
    // Choosing above the colours in use raises UseColor; End goes to the last one in use.
    QTest::keyClick(grid, Qt::Key_PageDown);
    EXPECT_EQ(grid->ChoiceIndex(), 18 + 16 * 6);
    EXPECT_EQ(grid->GetUseColor(), 18 + 16 * 6);
    EXPECT_TRUE(grid->IndexAt(grid->SquareRect(114).center()) == 114);
    QTest::keyClick(grid, Qt::Key_Up);
    QTest::keyClick(grid, Qt::Key_End);
    EXPECT_EQ(grid->ChoiceIndex(), 114);
    grid->ScrollBar()->setValue(grid->ScrollBar()->maximum());
    EXPECT_FALSE(grid->SquareRect(255).isEmpty());
    EXPECT_TRUE(grid->SquareRect(2).isEmpty());
}

TEST(PaletteWindow, CmyValuesClampAndMakeAFreeColour)
{
    PaletteWindow w;
    TPaletteForm &form = *w.form;
    w.Choose(5);
    SetCmy(w, 255, 0, 0);
    EXPECT_EQ(w.Entry(5).color, Rgb(0, 255, 255));
    EXPECT_EQ(form.PGaugeCyan->Value(), 255);

    Type(form.PSEditMagenta, QStringLiteral("300"));
    EXPECT_EQ(form.PSEditMagenta->value(), 255);
    EXPECT_EQ(form.PSEditMagenta->text(), QStringLiteral("255"));
    Type(form.PSEditCyan, QStringLiteral("-5"));
    EXPECT_EQ(form.PSEditCyan->text(), QStringLiteral("0"));
    EXPECT_EQ(w.Entry(5).color, Rgb(255, 0, 255));
    EXPECT_EQ(form.ShapeFGColor->Color(), RGB2TColor(255, 0, 255));
    // The HLS page follows: magenta.
    EXPECT_EQ(form.PSHlsH->value(), 300);
    EXPECT_EQ(form.PSHlsL->value(), 50);

    // Dragging a gauge sets its value from the position.
    TColorGauge *gauge = form.PGaugeYellow;
    gauge->resize(258, 14);
    QTest::mousePress(gauge, Qt::LeftButton, {}, QPoint(1, 7));
    EXPECT_EQ(form.PSEditYellow->value(), 0);
    MoveMouse(gauge, QPoint(256, 7), true);
    QTest::mouseRelease(gauge, Qt::LeftButton, {}, QPoint(256, 7));
    EXPECT_EQ(form.PSEditYellow->value(), 255);
    EXPECT_EQ(w.Entry(5).color, Rgb(255, 0, 0));
    // Each committed value and the gauge drag was a run of its own, with one snapshot.
    EXPECT_EQ(form.editor().UndoCount(), 6);
}

TEST(PaletteWindow, CircleRingInnerAndOuterClicks)
{
    PaletteWindow w;
    TPaletteForm &form = *w.form;
    w.Choose(6);
    form.sbHLS->click();
    ASSERT_EQ(form.PageStack->currentIndex(), int(TPaletteForm::PageHLS));
    THlsCircle *circle = form.ImgCircle;

    // Inner: lightness from the height, saturation from across.
    QTest::mouseClick(circle, Qt::LeftButton, {}, QPoint(70, 70));
    EXPECT_EQ(form.PSHlsL->value(), 50);
    EXPECT_EQ(form.PSHlsS->value(), 50);
    // Ring: the hue; at the right, red.
    QTest::mouseClick(circle, Qt::LeftButton, {}, QPoint(70 + 63, 70));
    EXPECT_EQ(form.PSHlsH->value(), 0);
    EXPECT_EQ(form.PSHlsL->value(), 50);
    uint8_t r = 0, g = 0, b = 0;
    HLS2RGB(0, 0.5, 0.5, r, g, b);
    EXPECT_EQ(w.Entry(6).color, Rgb(r, g, b));
    const int snapshots = form.editor().UndoCount();
    EXPECT_EQ(snapshots, 2);

    // Outer: nothing, not even a snapshot.
    TColorData before;
    before.Copy(w.Entry(6));
    QTest::mouseClick(circle, Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_TRUE(w.Entry(6).Compare(before));
    EXPECT_EQ(form.editor().UndoCount(), snapshots);

    // A drag begun in the ring keeps choosing the hue, even across the disc.
    QTest::mousePress(circle, Qt::LeftButton, {}, QPoint(70, 70 - 63));
    MoveMouse(circle, QPoint(20, 75), true);
    QTest::mouseRelease(circle, Qt::LeftButton, {}, QPoint(20, 75));
    EXPECT_EQ(form.PSHlsH->value(), HlsCircleHue({20, 75}));
    EXPECT_EQ(form.PSHlsL->value(), 50);
    EXPECT_EQ(form.PSHlsS->value(), 50);
    EXPECT_EQ(form.editor().UndoCount(), snapshots + 1);

    // Typed values are held in range: lightness and saturation clamp, the hue wraps.
    Type(form.PSHlsL, QStringLiteral("150"));
    Type(form.PSHlsS, QStringLiteral("-3"));
    Type(form.PSHlsH, QStringLiteral("-5"));
    EXPECT_EQ(form.PSHlsL->value(), 100);
    EXPECT_EQ(form.PSHlsS->value(), 0);
    EXPECT_EQ(form.PSHlsH->value(), 355);
    EXPECT_EQ(w.Entry(6).color, Rgb(255, 255, 255));
}

TEST(PaletteWindow, ShowingAStandardEntryKeepsItAndUndoRestoresIt)
{
    PaletteWindow w;
    TPaletteForm &form = *w.form;
    form.palette().SetKvStandardColor(7, 5, 1, 100, 50, 50);
    TColorData standard;
    standard.Copy(w.Entry(7));
    w.Choose(7);
    for (QToolButton *page : {form.sbHLS, form.sbCMY, form.sbLibrary, form.sbHLS})
        page->click();
    EXPECT_TRUE(w.Entry(7).Compare(standard));
    EXPECT_EQ(w.Entry(7).GetKind(), ColorKvStandard);
    EXPECT_FALSE(form.sbUndo->isEnabled());
    EXPECT_EQ(w.host.edits, 0);

    // Three committed edits, three undos.
    form.sbCMY->click();
    Type(form.PSEditCyan, QStringLiteral("10"));
    Type(form.PSEditCyan, QStringLiteral("20"));
    form.sbHLS->click();
    Type(form.PSHlsL, QStringLiteral("90"));
    EXPECT_EQ(form.editor().UndoCount(), 3);
    EXPECT_EQ(w.Entry(7).GetKind(), ColorNormal);
    EXPECT_GT(w.host.edits, 0);
    w.Choose(30);
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(form.sbUndo->isEnabled());
        form.sbUndo->click();
        EXPECT_EQ(form.Palette256->ChoiceIndex(), 7);
    }
    EXPECT_TRUE(w.Entry(7).Compare(standard));
    EXPECT_FALSE(form.sbUndo->isEnabled());
    // The editors show the restored colour.
    EXPECT_EQ(form.PSHlsL->value(), 29);
    EXPECT_EQ(form.ShapeHLSWorkColor->Color(), RGB2TColor(100, 50, 50));
}

TEST(PaletteWindow, NearestButtonsAndThePantoneNotice)
{
    PaletteWindow w;
    TPaletteForm &form = *w.form;
    w.Choose(8);
    // (100, 50, 60) is as near the standard (100, 50, 50) as the textile (100, 50, 70).
    SetCmy(w, 155, 205, 195);
    form.ButtonCMYToLibrary->click();
    EXPECT_EQ(w.Entry(8).GetKind(), ColorKvStandard);
    EXPECT_EQ(w.Entry(8).color, Rgb(100, 50, 50));
    EXPECT_TRUE(form.lbEntryCode->text().endsWith(QStringLiteral("0042")));
    SetCmy(w, 155, 205, 189); // (100, 50, 66): the textile colour is nearer
    form.sbHLS->click();
    form.ButtonHLSToLibrary->click();
    EXPECT_EQ(w.Entry(8).GetKind(), ColorKvTextile);
    EXPECT_TRUE(form.lbEntryCode->text().endsWith(QStringLiteral("19-0052")));
    EXPECT_TRUE(w.messages.isEmpty());

    // No Pantone catalogue: the notice, and the entry becomes the free working colour.
    form.sbCMY->click();
    SetCmy(w, 1, 2, 3);
    form.ButtonCMYToPantone->click();
    ASSERT_EQ(w.messages.size(), 1);
    EXPECT_TRUE(w.messages[0].startsWith(
        QStringLiteral("The Pantone color catalogues are not installed.\n")));
    EXPECT_TRUE(w.messages[0].endsWith(w.host.programDirectory() + QStringLiteral("/color")));
    EXPECT_EQ(w.Entry(8).GetKind(), ColorNormal);
    EXPECT_EQ(w.Entry(8).color, Rgb(254, 253, 252));

    // The Color Guide shows the notice instead of an empty grid.
    form.sbLibrary->click();
    form.sbColorGuide->click();
    EXPECT_EQ(form.LibraryStack->currentWidget(), form.lbPantoneNotice);
    EXPECT_EQ(form.lbPantoneNotice->text(), form.PantoneNotice());
    EXPECT_EQ(w.messages.size(), 1);
}

TEST(PaletteWindow, LibraryChipsAndSpecialSearch)
{
    PaletteWindow w;
    TPaletteForm &form = *w.form;
    w.Choose(9);
    form.sbLibrary->click();
    form.sbKvStandard->click();
    ASSERT_EQ(form.LibraryChips->Chips().size(), 2u);
    EXPECT_EQ(form.LibraryChips->Chips()[1].code, QStringLiteral("0007"));
    EXPECT_EQ(form.lbLibraryPage->text(), QStringLiteral("< 5 >"));
    QTest::mouseClick(form.LibraryChips, Qt::LeftButton, {},
                      form.LibraryChips->Chips()[1].rect.center());
    EXPECT_EQ(w.Entry(9).GetKind(), ColorKvStandard);
    EXPECT_EQ(w.Entry(9).color, Rgb(0, 0, 200));
    EXPECT_EQ(form.LibraryChips->Marked(), 1);

    // The printer atlas: one page index per page, 15 columns of 36 steps.
    form.sbPrinterColor->click();
    form.edLibraryPage->setValue(37);
    EXPECT_EQ(form.LibraryChips->Chips().size(), size_t(7 * 36));
    QTest::mouseClick(form.LibraryChips, Qt::LeftButton, {},
                      form.LibraryChips->Chips()[0].rect.center());
    EXPECT_EQ(w.Entry(9).PageNumber, 541);
    EXPECT_EQ(w.Entry(9).ColorNumber, 0);

    // A printer code is found as the program shows it.
    form.sbSpecialSearch->click();
    w.Choose(10);
    form.edSearch->setText(QStringLiteral("37-1:2"));
    form.sbSearchOK->click();
    EXPECT_EQ(w.Entry(10).PageNumber, 541);
    EXPECT_EQ(w.Entry(10).ColorNumber, 1);
    EXPECT_TRUE(form.lbEntryCode->text().endsWith(QStringLiteral("37-1:2")));
    form.edSearch->setText(QStringLiteral("19-0052"));
    QTest::keyClick(form.edSearch, Qt::Key_Return);
    EXPECT_EQ(w.Entry(10).GetKind(), ColorKvTextile);
    EXPECT_TRUE(w.messages.isEmpty());
    form.edSearch->setText(QStringLiteral("9999"));
    form.sbSearchOK->click();
    EXPECT_EQ(w.messages, QStringList(QStringLiteral("No catalogue color has this code: 9999")));
    EXPECT_EQ(w.Entry(10).GetKind(), ColorKvTextile);
    EXPECT_EQ(form.editor().UndoCount(), 4);
}

TEST(PaletteWindow, DroppedUserColoursStopAfterEntry251)
{
    PaletteWindow w;
    TPaletteForm &form = *w.form;
    std::vector<UserColor> colors(12);
    for (size_t i = 0; i < colors.size(); ++i) {
        colors[i].name = "Cell " + QByteArray::number(qsizetype(i));
        colors[i].kind = ColorKvStandard;
        colors[i].color = Rgb(uint8_t(i), 7, 7);
    }
    TPalette before;
    before.SetPalette(form.palette());
    TDIB256Palette *grid = form.Palette256;
    grid->ScrollToRowOf(245);
    auto mime = std::make_unique<QMimeData>();
    mime->setData(UserColorDragMimeType(), EncodeUserColorDrag("Spring", colors));
    const QPointF at(grid->SquareRect(245).center());
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid, &drop);
    for (int i = 245; i <= 251; ++i) {
        EXPECT_EQ(w.Entry(i).GetKind(), kUserColorFlag | ColorKvStandard) << i;
        EXPECT_EQ(w.Entry(i).FileName, QByteArray("Spring"));
        EXPECT_EQ(w.Entry(i).color.rgbRed, i - 245);
    }
    EXPECT_TRUE(w.Entry(252).Compare(*before.GetColorData(252)));
    for (int i = 0; i < 7; ++i)
        form.sbUndo->click();
    EXPECT_FALSE(form.sbUndo->isEnabled());
    for (int i = 245; i <= 251; ++i)
        EXPECT_TRUE(w.Entry(i).Compare(*before.GetColorData(i))) << i;
}

TEST(PaletteWindow, PickerReturnsTheAcceptedColourOnly)
{
    PaletteWindow w;
    TPaletteForm &form = *w.form;
    TDIB256Palette *grid = form.Palette256;
    auto whileModal = [&](std::function<void()> action) {
        QTimer::singleShot(0, [&, action] {
            // The action always runs, so that a failure cannot leave the window open.
            EXPECT_EQ(QApplication::activeModalWidget(), &form);
            action();
        });
    };
    whileModal([&] { QTest::mouseDClick(grid, Qt::LeftButton, {}, grid->SquareRect(9).center()); });
    EXPECT_EQ(form.PickColor(), form.palette().GetColor(9));
    EXPECT_FALSE(form.isVisible());

    // The caller's colour chooses its entry; Enter accepts it.
    whileModal([&] { QTest::keyClick(grid, Qt::Key_Return); });
    EXPECT_EQ(form.PickColor(form.palette().GetColor(6)), form.palette().GetColor(6));
    EXPECT_EQ(grid->ChoiceIndex(), 6);

    whileModal([&] { QTest::keyClick(&form, Qt::Key_Escape); });
    EXPECT_EQ(form.PickColor(), std::nullopt);
    whileModal([&] { form.SpeedButtonExit->click(); });
    EXPECT_EQ(form.PickColor(), std::nullopt);
    whileModal([&] { form.close(); });
    EXPECT_EQ(form.PickColor(), std::nullopt);
    // The chart opened from the modal picker is its child, so it is not blocked.
    whileModal([&] {
        form.sbChart->click();
        EXPECT_TRUE(form.chartWindow()->isVisible());
        EXPECT_EQ(form.chartWindow()->parentWidget(), &form);
        form.reject();
    });
    EXPECT_EQ(form.PickColor(), std::nullopt);
    EXPECT_EQ(form.windowModality(), Qt::NonModal);
}

TEST(ColorChartWindow, ChipsHoverAndPrint)
{
    PaletteWindow w(QStringLiteral("Korean"));
    TColorChartForm *chart = w.form->chartWindow();
    EXPECT_EQ(chart->windowTitle(), QStringLiteral("색상표"));
    EXPECT_EQ(chart->lbColor->text(), QStringLiteral("색상  :"));
    w.form->palette().SetNormal(251, 1, 2, 3);
    chart->Refresh();
    const QImage shown = chart->ChartGrid->grab().toImage();
    ColorChartLayout layout = ColorChartLayout::Screen();
    layout.origin = QPoint(4, 4);
    for (int row = 0; row < kChartRows; ++row) {
        for (int column = 1; column <= kChartChips; ++column) {
            const int entry = ColorChartEntry(row, column);
            const QColor pixel = shown.pixelColor(layout.CellRect(row, column).center());
            const TColor expected
                = entry < 0 ? RGB2TColor(255, 255, 255) : w.form->palette().GetColor(entry);
            ASSERT_EQ(
                RGB2TColor(uint8_t(pixel.red()), uint8_t(pixel.green()), uint8_t(pixel.blue())),
                expected)
                << row << "," << column;
        }
    }
    MoveMouse(chart->ChartGrid, layout.CellRect(15, 11).center());
    EXPECT_EQ(chart->lbColorValue->text(), QStringLiteral("250   (1 - 2 - 3)"));
    EXPECT_EQ(chart->ShapeColor->Color(), RGB2TColor(1, 2, 3));

    test::TempDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.file(QStringLiteral("chart.pdf")));
    chart->PrintChart(printer);
    const QByteArray pdf = test::readFile(dir.file(QStringLiteral("chart.pdf")));
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_GT(pdf.size(), 1000);
}
