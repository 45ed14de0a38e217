#pragma once

#include "color/colordata.h"
#include "color/printercolor.h"
#include "text/stringtable.h"

#include <QWidget>

#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QScrollArea;
class QStackedWidget;
class QTableWidget;
class QToolButton;

namespace warplon {

class DesignHost;
class TColorCatalog;
class TColorChipView;
class TPalette;
struct ColorCatalogs;

// The text shown, and told, where the Pantone catalogues are missing: Message 77, Message 78
// and the "color" folder of the program directory, one line each.
QString PantoneNoticeText(const DesignHost &host);

// The colour library window: the design palette's entries 1-251 in a table with their catalogue
// identities (see core/color/colorlibrarytable.h), the chosen entry's kind and code, and a
// browser over the pages of one colour book with a pager. A double click on a colour of the
// browser gives the chosen entry that colour and closes the window.
//
// The window reads the palette and never writes it: choosing a row and taking a colour are
// reported (entryChosen, colorTaken) to the palette window, which owns the palette and its undo.
class TColorLibraryForm : public QWidget
{
    Q_OBJECT

public:
    // The books of the browser, in the order of cbBook.
    enum class Book { Printer, KvStandard, KvTextile, Pantone1000, PantoneTextile };

    // `palette` and `catalogs` belong to the palette window and must outlive this window.
    TColorLibraryForm(DesignHost &host, const TPalette &palette, const ColorCatalogs &catalogs,
                      QWidget *parent = nullptr);
    ~TColorLibraryForm() override;

    // Re-reads every row and the chosen entry from the palette.
    void Refresh();
    // The palette window's chosen entry: its row is selected and its kind and code are shown.
    void SetChosen(int index);
    int Chosen() const { return m_chosen; }

    void ShowBook(Book book);
    Book CurrentBook() const { return m_book; }
    // The browser's page by position in the book (0-based), kept within the book.
    void ShowPage(int position);
    int PagePosition() const { return m_position; }
    int PageCount() const;
    // The atlas position set by the last double click on a printer colour.
    const TPrinterColor &PrinterPosition() const { return m_printer; }

    // Controls, named as the program has always named them.
    QTableWidget *sgColor = nullptr;
    QLabel *lbKind = nullptr;
    QLabel *lbCode = nullptr;
    QComboBox *cbBook = nullptr;
    QToolButton *sbFirstPage = nullptr;
    QToolButton *sbBeforePage = nullptr;
    QToolButton *sbCenterPage = nullptr;
    QToolButton *sbNextPage = nullptr;
    QToolButton *sbEndPage = nullptr;
    QLineEdit *edPage = nullptr;
    QLabel *lbPage = nullptr;
    QStackedWidget *BookStack = nullptr;
    // The printer atlas page: its columns across, its lightness steps down (lightest on top).
    QTableWidget *sgPrinter = nullptr;
    // A file catalogue's page, with a scroll bar.
    QScrollArea *ChipScroll = nullptr;
    TColorChipView *ChipView = nullptr;
    QLabel *lbPantoneNotice = nullptr;

signals:
    // The designer chose a row: the palette window chooses that entry.
    void entryChosen(int index);
    // The designer took a colour from the browser for the chosen entry.
    void colorTaken(const warplon::TColorData &record);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    QWidget *buildBrowser();
    const TColorCatalog *bookCatalog() const;
    void fillPage();
    void showChosen();
    void takePrinterCell(int row, int column);
    void takeChip(int chip);
    void jumpToTypedPage();

    DesignHost &m_host;
    const TPalette &m_palette;
    const ColorCatalogs &m_catalogs;
    TStringTable m_texts;
    QStringList m_kindCaptions;
    int m_chosen = 2;
    Book m_book = Book::Printer;
    int m_position = 0;
    TPrinterColor m_printer;
    // The colours of the shown page of a file catalogue, in chip order.
    std::vector<TColorData> m_chipRecords;
    // Set while the window itself moves the table's selection.
    bool m_showing = false;
};

} // namespace warplon
