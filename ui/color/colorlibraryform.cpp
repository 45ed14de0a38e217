#include "color/colorlibraryform.h"

#include "app/designhost.h"
#include "app/textbutton.h"
#include "color/colorcatalogs.h"
#include "color/colorcontrols.h"
#include "color/coloredit.h"
#include "color/colorlibrarytable.h"
#include "color/palette.h"

#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QSplitter>
#include <QStackedWidget>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace warplon {

namespace {

enum LibraryText {
    LibCaption = 0,
    LibFirstPage = 1,
    LibBeforePage = 2,
    LibCenterPage = 3,
    LibNextPage = 4,
    LibEndPage = 5,
    // The headers of the table's nine columns.
    LibFirstHeader = 6,
    // The twelve kind captions, in KindCaption order.
    LibFirstKindCaption = 15,
    LibBook = 27,
    LibPage = 28,
    LibChosen = 29,
    LibTakeHint = 30,
    LibDeviationHint = 31,
};

constexpr int32_t kMessagePantoneMissing = 77;
constexpr int32_t kMessagePantoneFiles = 78;

// Item data of the colour cells: the colour, and whether the cell is the chosen entry's colour.
constexpr int kColorRole = Qt::UserRole;
constexpr int kMarkRole = Qt::UserRole + 1;

// The browser's stack: the atlas grid, the chips of a file catalogue, the Pantone notice.
enum BrowserPage { BrowserPrinter = 0, BrowserChips = 1, BrowserNotice = 2 };

// File catalogue chips on the browser, with their codes written on them.
constexpr int kChipColumns = 6;
constexpr int kChipWidth = 50;
constexpr int kChipHeight = 28;
constexpr int kChipGap = 3;

QColor ToColor(TColor color)
{
    return QColor(color & 0xff, (color >> 8) & 0xff, (color >> 16) & 0xff);
}

// Fills a cell with its colour regardless of the selection, so a chosen row still shows its
// swatch; a marked cell gets a black and white frame.
class SwatchDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        const QVariant color = index.data(kColorRole);
        if (!color.isValid()) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        const QRect rect = option.rect.adjusted(1, 1, -1, -1);
        painter->fillRect(rect, color.value<QColor>());
        if (index.data(kMarkRole).toBool()) {
            painter->setPen(QPen(Qt::black, 1));
            painter->drawRect(rect.adjusted(0, 0, -1, -1));
            painter->setPen(QPen(Qt::white, 1));
            painter->drawRect(rect.adjusted(1, 1, -2, -2));
        }
    }
};

} // namespace

QString PantoneNoticeText(const DesignHost &host)
{
    return host.messageTable().TextAt(kMessagePantoneMissing) + QStringLiteral("\n")
           + host.messageTable().TextAt(kMessagePantoneFiles) + QStringLiteral("\n")
           + ColorCatalogs::ColorFolder(host.programDirectory());
}

TColorLibraryForm::TColorLibraryForm(DesignHost &host, const TPalette &palette,
                                     const ColorCatalogs &catalogs, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
    , m_host(host)
    , m_palette(palette)
    , m_catalogs(catalogs)
{
    setObjectName(QStringLiteral("ColorLibraryForm"));
    LoadTable(m_texts, host.programDirectory(), host.language(), QStringLiteral("ColorLibrary"));
    setWindowTitle(m_texts.TextAt(LibCaption));
    for (int i = 0; i < kKindCaptionCount; ++i)
        m_kindCaptions << m_texts.TextAt(LibFirstKindCaption + i);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    // The table and the browser share the width; the designer may move the border.
    auto *columns = new QSplitter(Qt::Horizontal, this);
    columns->setObjectName(QStringLiteral("LibrarySplitter"));
    columns->setChildrenCollapsible(false);
    layout->addWidget(columns, 1);

    // The palette's entries 1-251 under a header row.
    sgColor = new QTableWidget(kColorLibraryLastEntry, kColorLibraryColumns, this);
    sgColor->setObjectName(QStringLiteral("sgColor"));
    QStringList headers;
    for (int column = 0; column < kColorLibraryColumns; ++column)
        headers << m_texts.TextAt(LibFirstHeader + column);
    sgColor->setHorizontalHeaderLabels(headers);
    sgColor->horizontalHeaderItem(LibraryDeviation)->setToolTip(m_texts.TextAt(LibDeviationHint));
    sgColor->verticalHeader()->hide();
    sgColor->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    sgColor->setSelectionBehavior(QAbstractItemView::SelectRows);
    sgColor->setSelectionMode(QAbstractItemView::SingleSelection);
    sgColor->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sgColor->setItemDelegateForColumn(LibrarySwatch, new SwatchDelegate(sgColor));
    sgColor->horizontalHeader()->setStretchLastSection(true);
    for (int row = 0; row < kColorLibraryLastEntry; ++row) {
        for (int column = 0; column < kColorLibraryColumns; ++column) {
            auto *item = new QTableWidgetItem;
            if (column == LibraryNumber)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            sgColor->setItem(row, column, item);
        }
    }
    columns->addWidget(sgColor);
    columns->addWidget(buildBrowser());
    columns->setStretchFactor(0, 3);
    columns->setStretchFactor(1, 2);
    columns->setSizes({890, 420});

    // The chosen entry's kind and code.
    auto *chosen = new QHBoxLayout;
    auto *chosenLabel = new QLabel(m_texts.TextAt(LibChosen), this);
    lbKind = new QLabel(this);
    lbKind->setObjectName(QStringLiteral("lbKind"));
    lbKind->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("M")) * 16);
    lbCode = new QLabel(this);
    lbCode->setObjectName(QStringLiteral("lbCode"));
    lbCode->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("M")) * 8);
    for (QLabel *label : {lbKind, lbCode})
        label->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    chosen->addWidget(chosenLabel);
    chosen->addWidget(lbKind);
    chosen->addWidget(lbCode);
    chosen->addStretch();
    layout->addLayout(chosen);

    connect(sgColor, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (!m_showing && row >= 0)
            emit entryChosen(row + kColorLibraryFirstEntry);
    });

    Refresh();
    sgColor->resizeColumnsToContents();
    // Wide enough for every caption and for the longest codes, whatever the palette holds now.
    const QFontMetrics metrics = sgColor->fontMetrics();
    int kindWidth = 0;
    for (const QString &caption : std::as_const(m_kindCaptions))
        kindWidth = std::max(kindWidth, metrics.horizontalAdvance(caption));
    sgColor->setColumnWidth(LibrarySwatch, 44);
    sgColor->setColumnWidth(LibraryKind,
                            std::max(sgColor->columnWidth(LibraryKind), kindWidth + 30));
    sgColor->setColumnWidth(LibraryCode,
                            std::max(sgColor->columnWidth(LibraryCode),
                                     metrics.horizontalAdvance(QStringLiteral("00-00:00")) + 16));
    sgColor->setColumnWidth(LibraryUser, std::max(sgColor->columnWidth(LibraryUser), 160));
    ShowBook(Book::Printer);
    resize(1320, 660);
}

TColorLibraryForm::~TColorLibraryForm()
{
    // The table going away must not report a choice to a palette window that is going too.
    sgColor->blockSignals(true);
}

QWidget *TColorLibraryForm::buildBrowser()
{
    auto *browser = new QWidget(this);
    auto *layout = new QVBoxLayout(browser);
    layout->setContentsMargins(0, 0, 0, 0);

    auto *bookRow = new QHBoxLayout;
    bookRow->addWidget(new QLabel(m_texts.TextAt(LibBook), browser));
    cbBook = new QComboBox(browser);
    cbBook->setObjectName(QStringLiteral("cbBook"));
    for (int caption : {CaptionPrinter, CaptionKvStandard, CaptionKvTextile, CaptionPantone1000,
                        CaptionPantoneTextile})
        cbBook->addItem(m_kindCaptions.value(caption));
    bookRow->addWidget(cbBook, 1);
    layout->addLayout(bookRow);

    auto *pager = new QHBoxLayout;
    pager->setSpacing(2);
    sbFirstPage = MakeTextButton(browser, "sbFirstPage", m_texts.TextAt(LibFirstPage));
    sbBeforePage = MakeTextButton(browser, "sbBeforePage", m_texts.TextAt(LibBeforePage));
    sbCenterPage = MakeTextButton(browser, "sbCenterPage", m_texts.TextAt(LibCenterPage));
    sbNextPage = MakeTextButton(browser, "sbNextPage", m_texts.TextAt(LibNextPage));
    sbEndPage = MakeTextButton(browser, "sbEndPage", m_texts.TextAt(LibEndPage));
    for (QToolButton *button : {sbFirstPage, sbBeforePage, sbCenterPage, sbNextPage, sbEndPage})
        pager->addWidget(button);
    pager->addStretch();
    layout->addLayout(pager);

    auto *pageRow = new QHBoxLayout;
    pageRow->addWidget(new QLabel(m_texts.TextAt(LibPage), browser));
    edPage = new QLineEdit(browser);
    edPage->setObjectName(QStringLiteral("edPage"));
    edPage->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0")) * 7 + 12);
    lbPage = new QLabel(browser);
    lbPage->setObjectName(QStringLiteral("lbPage"));
    lbPage->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("< 00000 >")) + 4);
    pageRow->addWidget(edPage);
    pageRow->addWidget(lbPage);
    pageRow->addStretch();
    layout->addLayout(pageRow);

    BookStack = new QStackedWidget(browser);
    BookStack->setObjectName(QStringLiteral("BookStack"));
    sgPrinter = new QTableWidget(BookStack);
    sgPrinter->setObjectName(QStringLiteral("sgPrinter"));
    sgPrinter->setToolTip(m_texts.TextAt(LibTakeHint));
    sgPrinter->setSelectionMode(QAbstractItemView::NoSelection);
    sgPrinter->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sgPrinter->setItemDelegate(new SwatchDelegate(sgPrinter));
    sgPrinter->horizontalHeader()->setDefaultSectionSize(22);
    sgPrinter->horizontalHeader()->setMinimumSectionSize(10);
    sgPrinter->verticalHeader()->setDefaultSectionSize(14);
    sgPrinter->verticalHeader()->setMinimumSectionSize(10);
    QFont small = sgPrinter->font();
    small.setPointSizeF(std::max(6.0, small.pointSizeF() * 0.8));
    sgPrinter->horizontalHeader()->setFont(small);
    sgPrinter->verticalHeader()->setFont(small);
    BookStack->insertWidget(BrowserPrinter, sgPrinter);

    ChipScroll = new QScrollArea(BookStack);
    ChipScroll->setObjectName(QStringLiteral("ChipScroll"));
    ChipView = new TColorChipView;
    ChipView->setObjectName(QStringLiteral("ChipView"));
    ChipView->setToolTip(m_texts.TextAt(LibTakeHint));
    ChipView->installEventFilter(this);
    ChipScroll->setWidget(ChipView);
    ChipScroll->setWidgetResizable(false);
    BookStack->insertWidget(BrowserChips, ChipScroll);

    lbPantoneNotice = new QLabel(BookStack);
    lbPantoneNotice->setObjectName(QStringLiteral("lbPantoneNotice"));
    lbPantoneNotice->setWordWrap(true);
    lbPantoneNotice->setAlignment(Qt::AlignCenter);
    lbPantoneNotice->setTextInteractionFlags(Qt::TextSelectableByMouse);
    BookStack->insertWidget(BrowserNotice, lbPantoneNotice);
    layout->addWidget(BookStack, 1);

    connect(cbBook, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!m_showing && index >= 0)
            ShowBook(Book(index));
    });
    const std::pair<QToolButton *, PagerMove> moves[] = {{sbFirstPage, PagerMove::First},
                                                         {sbBeforePage, PagerMove::Before},
                                                         {sbCenterPage, PagerMove::Center},
                                                         {sbNextPage, PagerMove::Next},
                                                         {sbEndPage, PagerMove::End}};
    for (const auto &[button, move] : moves) {
        connect(button, &QToolButton::clicked, this,
                [this, move = move] { ShowPage(MovePager(move, m_position, PageCount())); });
    }
    connect(edPage, &QLineEdit::returnPressed, this, &TColorLibraryForm::jumpToTypedPage);
    connect(sgPrinter, &QTableWidget::cellDoubleClicked, this, &TColorLibraryForm::takePrinterCell);
    return browser;
}

const TColorCatalog *TColorLibraryForm::bookCatalog() const
{
    switch (m_book) {
    case Book::Printer:
        return nullptr;
    case Book::KvStandard:
        return &m_catalogs.standard;
    case Book::KvTextile:
        return &m_catalogs.textile;
    case Book::Pantone1000:
        return &m_catalogs.pantone1000;
    case Book::PantoneTextile:
        return &m_catalogs.pantoneTextile;
    }
    return nullptr;
}

int TColorLibraryForm::PageCount() const
{
    const TColorCatalog *catalog = bookCatalog();
    return catalog ? catalog->PageCount() : TPrinterColor::kIndexCount;
}

void TColorLibraryForm::Refresh()
{
    for (int row = 0; row < kColorLibraryLastEntry; ++row) {
        const int index = row + kColorLibraryFirstEntry;
        const TColorData *entry = m_palette.GetColorData(index);
        if (!entry)
            continue;
        const ColorLibraryRow texts
            = MakeColorLibraryRow(m_catalogs, *entry, index, m_kindCaptions);
        for (int column = 0; column < kColorLibraryColumns; ++column) {
            QTableWidgetItem *item = sgColor->item(row, column);
            if (column == LibrarySwatch)
                item->setData(kColorRole, ToColor(texts.color));
            else if (item->text() != texts.texts[size_t(column)])
                item->setText(texts.texts[size_t(column)]);
        }
        sgColor->item(row, LibrarySwatch)->setToolTip(texts.texts[LibraryRgb]);
        // Collection and colour names may be longer than the column.
        sgColor->item(row, LibraryUser)->setToolTip(texts.texts[LibraryUser]);
    }
    showChosen();
}

void TColorLibraryForm::SetChosen(int index)
{
    m_chosen = index;
    showChosen();
}

void TColorLibraryForm::showChosen()
{
    // Both labels are written afresh: an entry whose code the catalogues do not hold shows
    // none, never the code of the entry chosen before.
    const TColorData *entry = m_palette.GetColorData(m_chosen);
    const int caption = entry ? KindCaptionOf(*entry) : -1;
    lbKind->setText(caption >= 0 ? m_kindCaptions.value(caption) : QString());
    lbCode->setText(entry ? EntryCode(m_catalogs, *entry) : QString());

    const bool showing = m_showing;
    m_showing = true;
    const int row = m_chosen - kColorLibraryFirstEntry;
    if (row >= 0 && row < kColorLibraryLastEntry) {
        sgColor->setCurrentCell(row, LibraryNumber);
        sgColor->scrollToItem(sgColor->item(row, LibraryNumber));
    } else {
        sgColor->setCurrentCell(-1, -1);
        sgColor->clearSelection();
    }
    m_showing = showing;

    // The chosen entry's colour is marked where the browser shows it.
    for (int r = 0; r < sgPrinter->rowCount(); ++r) {
        for (int c = 0; c < sgPrinter->columnCount(); ++c) {
            QTableWidgetItem *item = sgPrinter->item(r, c);
            const int steps = sgPrinter->rowCount();
            const bool marked = entry && (entry->GetKind() & 15) == ColorNormal
                                && entry->PageNumber == TPrinterColor::AtlasPage(m_position, c)
                                && entry->ColorNumber == steps - 1 - r;
            if (item && item->data(kMarkRole).toBool() != marked)
                item->setData(kMarkRole, marked);
            if (item && marked)
                sgPrinter->scrollToItem(item);
        }
    }
    int markedChip = -1;
    for (size_t i = 0; entry && i < m_chipRecords.size(); ++i) {
        const TColorData &chip = m_chipRecords[i];
        if ((chip.GetKind() & 15) == (entry->GetKind() & 15) && chip.PageNumber == entry->PageNumber
            && chip.ColorNumber == entry->ColorNumber) {
            markedChip = int(i);
            break;
        }
    }
    ChipView->SetMarked(markedChip);
}

void TColorLibraryForm::ShowBook(Book book)
{
    m_book = book;
    const bool showing = m_showing;
    m_showing = true;
    cbBook->setCurrentIndex(int(book));
    m_showing = showing;
    m_position = 0;
    const bool pantone = book == Book::Pantone1000 || book == Book::PantoneTextile;
    if (pantone && PageCount() == 0) {
        // Warplon ships without the Pantone catalogues: say where their files go.
        lbPantoneNotice->setText(PantoneNoticeText(m_host));
        BookStack->setCurrentIndex(BrowserNotice);
        m_chipRecords.clear();
        ChipView->SetChips({}, true);
        for (QWidget *control : std::initializer_list<QWidget *>{
                 sbFirstPage, sbBeforePage, sbCenterPage, sbNextPage, sbEndPage, edPage})
            control->setEnabled(false);
        edPage->clear();
        lbPage->clear();
        return;
    }
    BookStack->setCurrentIndex(book == Book::Printer ? BrowserPrinter : BrowserChips);
    ShowPage(0);
}

void TColorLibraryForm::ShowPage(int position)
{
    const int count = PageCount();
    m_position = count > 0 ? std::clamp(position, 0, count - 1) : 0;
    sbFirstPage->setEnabled(m_position > 0);
    sbBeforePage->setEnabled(m_position > 0);
    sbCenterPage->setEnabled(count > 1);
    sbNextPage->setEnabled(m_position + 1 < count);
    sbEndPage->setEnabled(m_position + 1 < count);
    edPage->setEnabled(count > 0);
    const int number = PageNumberAt(bookCatalog(), m_position);
    lbPage->setText(number >= 0 ? PagerLabel(number) : QString());
    edPage->setText(number >= 0 ? QString::number(number) : QString());
    fillPage();
}

void TColorLibraryForm::fillPage()
{
    const TColorCatalog *catalog = bookCatalog();
    m_chipRecords.clear();
    if (!catalog) {
        const int columns = TPrinterColor::ColumnCount(m_position);
        const int steps = TPrinterColor::StepCount(m_position);
        sgPrinter->clear();
        sgPrinter->setColumnCount(columns);
        sgPrinter->setRowCount(steps);
        QStringList columnLabels;
        for (int column = 0; column < columns; ++column)
            columnLabels << QString::number(column + 1);
        QStringList stepLabels;
        for (int row = 0; row < steps; ++row)
            stepLabels << QString::number(steps - row);
        sgPrinter->setHorizontalHeaderLabels(columnLabels);
        sgPrinter->setVerticalHeaderLabels(stepLabels);
        for (int row = 0; row < steps; ++row) {
            const int step = steps - 1 - row;
            for (int column = 0; column < columns; ++column) {
                const RGBQUAD rgb = TPrinterColor::AtlasRGB(m_position, step, column);
                auto *item = new QTableWidgetItem;
                item->setData(kColorRole, QColor(rgb.rgbRed, rgb.rgbGreen, rgb.rgbBlue));
                double h = 0.0;
                double l = 0.0;
                double s = 0.0;
                TPrinterColor::AtlasHLS(m_position, step, column, h, l, s);
                item->setToolTip(
                    TPrinterColor::PN2Code(uint16_t(TPrinterColor::AtlasPage(m_position, column)),
                                           uint8_t(step))
                    + QStringLiteral("\n") + FormatRgb(rgb) + QStringLiteral("\n") + FormatHls(rgb)
                    + QStringLiteral("\n") + FormatPercent(l * 100.0));
                sgPrinter->setItem(row, column, item);
            }
        }
        ChipView->SetChips({}, true);
    } else {
        sgPrinter->setRowCount(0);
        sgPrinter->setColumnCount(0);
        std::vector<TColorChipView::Chip> chips;
        if (m_position < catalog->PageCount()) {
            const CatalogPage &page = catalog->Pages()[size_t(m_position)];
            for (size_t i = 0; i < page.entries.size(); ++i) {
                const std::optional<TColorData> record
                    = CatalogColorData(*catalog, m_position, int(i));
                if (!record)
                    continue;
                const int n = int(m_chipRecords.size());
                const QRect rect(kChipGap + (n % kChipColumns) * (kChipWidth + kChipGap),
                                 kChipGap + (n / kChipColumns) * (kChipHeight + kChipGap),
                                 kChipWidth, kChipHeight);
                chips.push_back({rect, record->color, catalog->Code(page.entries[i])});
                m_chipRecords.push_back(*record);
            }
        }
        ChipView->SetChips(std::move(chips), true);
    }
    showChosen();
}

void TColorLibraryForm::jumpToTypedPage()
{
    if (const std::optional<int> position = TypedPagePosition(bookCatalog(), edPage->text()))
        ShowPage(*position);
}

void TColorLibraryForm::takePrinterCell(int row, int column)
{
    if (bookCatalog() || row < 0 || row >= sgPrinter->rowCount() || column < 0
        || column >= sgPrinter->columnCount())
        return;
    const int step = sgPrinter->rowCount() - 1 - row;
    m_printer.SetCode(uint16_t(m_position), uint16_t(step), uint16_t(column));
    const RGBQUAD rgb = m_printer.ToRGB();
    TColorData record;
    record.SetPrinterColor(m_printer.GetPage(), m_printer.GetNumber(), rgb.rgbRed, rgb.rgbGreen,
                           rgb.rgbBlue);
    emit colorTaken(record);
    close();
}

void TColorLibraryForm::takeChip(int chip)
{
    if (chip < 0 || chip >= int(m_chipRecords.size()))
        return;
    const TColorData record = m_chipRecords[size_t(chip)];
    emit colorTaken(record);
    close();
}

bool TColorLibraryForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ChipView && event->type() == QEvent::MouseButtonDblClick) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton)
            takeChip(ChipView->ChipAt(mouse->position().toPoint()));
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TColorLibraryForm::showEvent(QShowEvent *event)
{
    Refresh();
    QWidget::showEvent(event);
}

} // namespace warplon
