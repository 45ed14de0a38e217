#pragma once

#include "color/colordata.h"
#include "color/coloredit.h"
#include "color/palette.h"
#include "color/paletteeditor.h"
#include "text/stringtable.h"

#include <QDialog>

#include <functional>
#include <optional>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPagedPaintDevice;
class QRadioButton;
class QScrollArea;
class QSpinBox;
class QStackedWidget;
class QToolButton;

namespace warplon {

class DesignHost;
class TColorCatalog;
class TColorChartForm;
class TColorChipView;
class TColorLibraryForm;
class TColorGauge;
class TColorShape;
class TDIB256Palette;
class THlsCircle;
struct ChipPage;
struct ColorCatalogs;

// The palette window: the design palette in a grid, the chosen entry's editors (CMY, HLS and a
// catalogue browser), undo of palette edits and the colour chart. It owns the design palette,
// loaded at creation from "color/Textile.fcr" of the program directory (or the fixed fallback
// palette when that file cannot be read).
//
// Opened modally through PickColor() it is the program's colour picker: a double click on an
// entry, or Enter in the grid, accepts that entry's colour; Exit, Escape and the close box
// leave the caller's colour as it was.
class TPaletteForm : public QDialog
{
    Q_OBJECT

public:
    enum Page { PageCMY = 0, PageHLS = 1, PageLibrary = 2 };
    // The catalogues the library page browses.
    enum class Library { ColorGuide, KvStandard, KvTextile, PrinterColor, SpecialSearch };

    TPaletteForm(DesignHost &host, const ColorCatalogs &catalogs, QWidget *parent = nullptr);
    ~TPaletteForm() override;

    // The design palette.
    TPalette &palette() { return m_palette; }
    // The colour catalogues the program loaded once at start.
    const ColorCatalogs &catalogs() const { return m_catalogs; }
    const TPalette &palette() const { return m_palette; }
    PaletteEditor &editor() { return m_editor; }

    // Shows the window modally and returns the colour of the entry the designer accepts, or
    // nothing for Exit, Escape or the close box. When `current` is given and an entry in use
    // holds that colour, that entry is chosen first.
    std::optional<TColor> PickColor(std::optional<TColor> current = std::nullopt);

    // Re-reads the palette into the grid, the swatches and the open editor.
    void Refresh();
    // Shows a page as its button does.
    void ShowPage(Page page);
    Page CurrentPage() const { return m_page; }
    // Shows a catalogue on the library page as its button does.
    void ShowLibrary(Library library);
    Library CurrentLibrary() const { return m_library; }
    // The catalogue the library page showed last (Special Search aside): the one chip sheets
    // are printed of.
    Library BrowsedLibrary() const { return m_browsed; }
    // The library browser's page (0-based position in the catalogue's page list).
    void ShowLibraryPage(int position);
    int LibraryPage() const { return m_libraryPage; }

    // The colour chart window (a child of this window, so it takes input while the palette is
    // modal); created on first use.
    TColorChartForm *chartWindow();
    // The colour library window, a child of this window as the chart is; created on first use.
    // It follows the chosen entry, and a colour taken there is stored like a picked chip.
    TColorLibraryForm *libraryWindow();

    // The Finder page of the library page: which palette and user colour files of the "color"
    // folder (with "SubDirectory Search" also the folders below it) hold a catalogue colour.
    // It offers the chosen entry's code; FindFiles lists the files holding the typed code.
    void ShowFinder();
    void FindFiles();
    // The chip printing page: chip sheets of the catalogue browsed last, from "Start Page" for
    // "Number of Page" pages, with small or large chips.
    void ShowChipPrint();
    // The pages those settings print, and printing them on a device (the print preview, a
    // printer or a PDF writer); returns the sheets of paper printed.
    std::vector<ChipPage> ChipPagesToPrint() const;
    int PrintChips(QPagedPaintDevice &device) const;
    // Opens the print preview of the chip sheets; its print button prints.
    void PreviewChips();

    // The palette file manager and the user colour library come with their own windows; until
    // they are given here their buttons stay disabled.
    void SetFileManagerOpener(std::function<void()> open);
    void SetUserColorOpener(std::function<void()> open);

    // The text shown, and told, where the Pantone catalogues are missing.
    QString PantoneNotice() const;

    // Controls, named as the program has always named them.
    TDIB256Palette *Palette256 = nullptr;
    TColorShape *ShapeFGColor = nullptr;
    TColorShape *ShapeBGColor = nullptr;
    TColorShape *ShapeCursorColor = nullptr;
    QLabel *lbChoiceNumber = nullptr;
    QLabel *lbCursorNumber = nullptr;
    QToolButton *sbCMY = nullptr;
    QToolButton *sbHLS = nullptr;
    QToolButton *sbLibrary = nullptr;
    QToolButton *sbFile = nullptr;
    QToolButton *sbChart = nullptr;
    QToolButton *sbUndo = nullptr;
    QToolButton *SpeedButtonExit = nullptr;
    QStackedWidget *PageStack = nullptr;
    // CMY page
    QSpinBox *PSEditCyan = nullptr;
    QSpinBox *PSEditMagenta = nullptr;
    QSpinBox *PSEditYellow = nullptr;
    TColorGauge *PGaugeCyan = nullptr;
    TColorGauge *PGaugeMagenta = nullptr;
    TColorGauge *PGaugeYellow = nullptr;
    TColorShape *ShapeCMYOriginColor = nullptr;
    TColorShape *ShapeCMYWorkColor = nullptr;
    QToolButton *ButtonCMYToLibrary = nullptr;
    QToolButton *ButtonCMYToPantone = nullptr;
    // HLS page
    THlsCircle *ImgCircle = nullptr;
    QSpinBox *PSHlsH = nullptr;
    QSpinBox *PSHlsL = nullptr;
    QSpinBox *PSHlsS = nullptr;
    TColorShape *ShapeHLSOriginColor = nullptr;
    TColorShape *ShapeHLSWorkColor = nullptr;
    QToolButton *ButtonHLSToLibrary = nullptr;
    QToolButton *ButtonHLSToPantone = nullptr;
    // Library page
    QToolButton *sbColorGuide = nullptr;
    QToolButton *sbKvStandard = nullptr;
    QToolButton *sbKvTextile = nullptr;
    QToolButton *sbPrinterColor = nullptr;
    QToolButton *sbUserColor = nullptr;
    QToolButton *sbSpecialSearch = nullptr;
    QToolButton *sbFinder = nullptr;
    QToolButton *sbChipPrint = nullptr;
    QStackedWidget *LibraryStack = nullptr;
    QToolButton *sbLibraryBefore = nullptr;
    QToolButton *sbLibraryNext = nullptr;
    QSpinBox *edLibraryPage = nullptr;
    QLabel *lbLibraryPage = nullptr;
    QScrollArea *LibraryScroll = nullptr;
    TColorChipView *LibraryChips = nullptr;
    QLabel *lbPantoneNotice = nullptr;
    QLineEdit *edSearch = nullptr;
    QToolButton *sbSearchOK = nullptr;
    QLabel *lbEntryCode = nullptr;
    QToolButton *sbColorLibrary = nullptr;
    // Finder page
    QLineEdit *edFinderCode = nullptr;
    QToolButton *sbFind = nullptr;
    QLabel *lbFinderFolder = nullptr;
    QCheckBox *cbSubDirectory = nullptr;
    QLabel *lbFinderResult = nullptr;
    QListWidget *lbFinderFiles = nullptr;
    // Chip printing page
    QLabel *lbPrintBook = nullptr;
    QRadioButton *rbChipSmall = nullptr;
    QRadioButton *rbChipLarge = nullptr;
    QSpinBox *edStartPage = nullptr;
    QSpinBox *edPageCount = nullptr;
    QToolButton *sbPrintStart = nullptr;

signals:
    // An entry of the design palette changed (the design views repaint).
    void paletteEdited();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildGrid();
    QWidget *buildCmyPage();
    QWidget *buildHlsPage();
    QWidget *buildLibraryPage();
    QWidget *buildFinderPage(QWidget *parent);
    QWidget *buildPrintPage(QWidget *parent);
    QSpinBox *makeSpin(const char *name, int low, int high);

    // The chosen entry (or the open page) changed: the editors show the entry, writing nothing.
    void showEntry();
    // The swatches and the chosen entry's number and code.
    void showSwatches();
    void showCmy(RGBQUAD rgb);
    void showHls(RGBQUAD rgb);
    void showLibraryMark();
    // A palette entry changed: repaint, tell the design views and the chart.
    void afterEdit();

    void choiceChanged(int index);
    void cmyEdited();
    void hlsEdited();
    void circlePicked(const HlsValues &values);
    void workingChanged(RGBQUAD rgb);
    void returnToOrigin();
    void nearestLibrary();
    void nearestPantone();
    void chipClicked(int chip);
    void searchCode();
    void undo();
    void userColorsDropped(int first, int count);
    void fillLibrary();
    void takeColor(const TColorData &record);
    // The catalogue and page a library position belongs to (Color Guide runs through the
    // Pantone 1000 pages, then the Pantone textile pages).
    struct LibrarySheet
    {
        const TColorCatalog *catalog = nullptr;
        int pageIndex = 0;
    };
    std::vector<LibrarySheet> libraryPages(Library library) const;

    DesignHost &m_host;
    const ColorCatalogs &m_catalogs;
    TStringTable m_texts;
    TPalette m_palette;
    PaletteEditor m_editor;
    Page m_page = PageCMY;
    Library m_library = Library::KvStandard;
    Library m_browsed = Library::KvStandard;
    int m_libraryPage = 0;
    // The record of each chip on the library page, for picking and marking.
    std::vector<TColorData> m_chipRecords;
    // Set while the editors are filled from the palette, so that nothing is written back.
    bool m_showing = false;
    QButtonGroup *m_pages = nullptr;
    QButtonGroup *m_libraries = nullptr;
    TColorChartForm *m_chart = nullptr;
    TColorLibraryForm *m_libraryWindow = nullptr;
    std::function<void()> m_openFileManager;
    std::function<void()> m_openUserColors;
};

} // namespace warplon
