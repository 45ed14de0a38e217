#include "color/paletteform.h"

#include "app/designhost.h"
#include "app/messagebox.h"
#include "app/textbutton.h"
#include "color/chipsheet.h"
#include "color/colorcatalogs.h"
#include "color/colorchartform.h"
#include "color/colorcontrols.h"
#include "color/colorfinder.h"
#include "color/colorlibraryform.h"
#include "color/dib256palette.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRadioButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace warplon {

namespace {

enum PaletteText {
    PalCaption = 0,
    PalCmy = 1,
    PalHls = 2,
    PalLibrary = 3,
    PalFile = 4,
    PalChart = 5,
    PalUndo = 6,
    PalExit = 7,
    PalNearestLibrary = 8,
    PalNearestPantone = 9,
    PalColorGuide = 10,
    PalKvStandard = 11,
    PalKvTextile = 12,
    PalPrinterColor = 13,
    PalUserColor = 14,
    PalSpecialSearch = 15,
    PalOk = 16,
    PalSearch = 17,
    PalFinder = 18,
    PalSubDirectory = 19,
    PalPrint = 20,
    PalSmall = 21,
    PalLarge = 22,
    PalStartPage = 23,
    PalPageCount = 24,
    PalStart = 25,
    PalLater = 26,
    PalNoSuchCode = 27,
    PalCyan = 28,
    PalMagenta = 29,
    PalYellow = 30,
    PalHue = 31,
    PalLightness = 32,
    PalSaturation = 33,
    PalForeground = 34,
    PalBackground = 35,
    PalCursor = 36,
    PalOriginHint = 37,
    PalColorLibrary = 38,
    PalCode = 39,
    PalLocation = 40,
    PalFind = 41,
    PalFilesHolding = 42,
    PalNoFileHolds = 43,
    PalTypeACode = 44,
    PalColorBook = 45,
    PalChipSize = 46,
    PalNothingToPrint = 47,
};

// The library page's stack: the chip browser, the Pantone notice, the code search, the Finder
// and the chip printing settings.
enum LibraryStackPage {
    StackBrowser = 0,
    StackNotice = 1,
    StackSearch = 2,
    StackFinder = 3,
    StackPrint = 4
};
// Ids of the Finder and Print buttons in the library page's button group, after the catalogues.
constexpr int kFinderButton = 10;
constexpr int kChipPrintButton = 11;

// Library chips: codes written on chips of the file catalogues; the printer atlas shows a page
// index as its columns (falling saturation) across and its lightness steps down, light at top.
constexpr int kCatalogChipColumns = 6;
constexpr int kCatalogChipWidth = 40;
constexpr int kCatalogChipHeight = 26;
constexpr int kAtlasChipWidth = 18;
constexpr int kAtlasChipHeight = 10;
constexpr int kChipGap = 3;

TColorShape *MakeShape(QWidget *parent, const char *name, const QString &hint)
{
    auto *shape = new TColorShape(parent);
    shape->setObjectName(QLatin1String(name));
    shape->setToolTip(hint);
    return shape;
}

bool SameIdentity(const TColorData &a, const TColorData &b)
{
    return (a.GetKind() & 15) == (b.GetKind() & 15) && a.PageNumber == b.PageNumber
           && a.ColorNumber == b.ColorNumber;
}

} // namespace

TPaletteForm::TPaletteForm(DesignHost &host, const ColorCatalogs &catalogs, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint)
    , m_host(host)
    , m_catalogs(catalogs)
    , m_editor(m_palette)
{
    setObjectName(QStringLiteral("PaletteForm"));
    LoadTable(m_texts, host.programDirectory(), host.language(), QStringLiteral("Palette"));
    setWindowTitle(m_texts.TextAt(PalCaption));

    // The default palette of the program, or the fixed one when it cannot be read.
    if (!m_palette.LoadFromFile(host.programDirectory() + QStringLiteral("/color/Textile.fcr")))
        MakeFallbackPalette(m_palette);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    buildGrid();
    auto *top = new QHBoxLayout;
    top->addWidget(Palette256, 1);
    auto *swatches = new QGridLayout;
    swatches->setSpacing(3);
    ShapeFGColor = MakeShape(this, "ShapeFGColor", m_texts.TextAt(PalForeground));
    ShapeBGColor = MakeShape(this, "ShapeBGColor", m_texts.TextAt(PalBackground));
    ShapeCursorColor = MakeShape(this, "ShapeCursorColor", m_texts.TextAt(PalCursor));
    lbChoiceNumber = new QLabel(this);
    lbChoiceNumber->setObjectName(QStringLiteral("lbChoiceNumber"));
    lbChoiceNumber->setToolTip(m_texts.TextAt(PalForeground));
    lbCursorNumber = new QLabel(this);
    lbCursorNumber->setObjectName(QStringLiteral("lbCursorNumber"));
    lbCursorNumber->setToolTip(m_texts.TextAt(PalCursor));
    swatches->addWidget(ShapeFGColor, 0, 0);
    swatches->addWidget(lbChoiceNumber, 0, 1);
    swatches->addWidget(ShapeCursorColor, 1, 0);
    swatches->addWidget(lbCursorNumber, 1, 1);
    swatches->addWidget(ShapeBGColor, 2, 0);
    swatches->setRowStretch(3, 1);
    top->addLayout(swatches);
    layout->addLayout(top);

    // The page buttons, then the plain buttons.
    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(2);
    sbCMY = MakeTextButton(this, "sbCMY", m_texts.TextAt(PalCmy), true);
    sbHLS = MakeTextButton(this, "sbHLS", m_texts.TextAt(PalHls), true);
    sbLibrary = MakeTextButton(this, "sbLibrary", m_texts.TextAt(PalLibrary), true);
    m_pages = new QButtonGroup(this);
    m_pages->addButton(sbCMY, PageCMY);
    m_pages->addButton(sbHLS, PageHLS);
    m_pages->addButton(sbLibrary, PageLibrary);
    sbFile = MakeTextButton(this, "sbFile", m_texts.TextAt(PalFile));
    sbFile->setEnabled(false);
    sbFile->setToolTip(m_texts.TextAt(PalLater));
    sbChart = MakeTextButton(this, "sbChart", m_texts.TextAt(PalChart));
    sbUndo = MakeTextButton(this, "sbUndo", m_texts.TextAt(PalUndo));
    sbUndo->setEnabled(false);
    SpeedButtonExit = MakeTextButton(this, "SpeedButtonExit", m_texts.TextAt(PalExit));
    for (QToolButton *button : {sbCMY, sbHLS, sbLibrary})
        buttons->addWidget(button);
    buttons->addSpacing(8);
    for (QToolButton *button : {sbFile, sbChart, sbUndo})
        buttons->addWidget(button);
    buttons->addStretch();
    buttons->addWidget(SpeedButtonExit);
    layout->addLayout(buttons);

    PageStack = new QStackedWidget(this);
    PageStack->setObjectName(QStringLiteral("PageStack"));
    PageStack->addWidget(buildCmyPage());
    PageStack->addWidget(buildHlsPage());
    PageStack->addWidget(buildLibraryPage());
    layout->addWidget(PageStack, 1);

    connect(m_pages, &QButtonGroup::idClicked, this, [this](int id) { ShowPage(Page(id)); });
    connect(sbFile, &QToolButton::clicked, this, [this] {
        if (m_openFileManager)
            m_openFileManager();
    });
    connect(sbChart, &QToolButton::clicked, this, [this] {
        TColorChartForm *chart = chartWindow();
        chart->Refresh();
        chart->show();
        chart->raise();
    });
    connect(sbUndo, &QToolButton::clicked, this, &TPaletteForm::undo);
    connect(SpeedButtonExit, &QToolButton::clicked, this, &QDialog::reject);

    sbCMY->setChecked(true);
    ShowPage(PageCMY);
    ShowLibrary(Library::KvStandard);
    resize(sizeHint());
}

TPaletteForm::~TPaletteForm() = default;

void TPaletteForm::buildGrid()
{
    Palette256 = new TDIB256Palette(this);
    Palette256->setObjectName(QStringLiteral("Palette256"));
    Palette256->SetXSquares(16);
    Palette256->SetYSquares(6);
    Palette256->SetPaletteObject(&m_palette);
    Palette256->SetBeforeDropStore([this](int index) { m_editor.Snapshot(index); });
    connect(Palette256, &TDIB256Palette::colorChanged, this, &TPaletteForm::choiceChanged);
    connect(Palette256, &TDIB256Palette::cursorChanged, this, [this] { showSwatches(); });
    connect(Palette256, &TDIB256Palette::accepted, this, [this] { accept(); });
    connect(Palette256, &TDIB256Palette::userColorsDropped, this, &TPaletteForm::userColorsDropped);
}

QSpinBox *TPaletteForm::makeSpin(const char *name, int low, int high)
{
    auto *spin = new QSpinBox(this);
    spin->setObjectName(QLatin1String(name));
    // The edit takes any value of a few digits; what is out of range is pulled back into it
    // when typed, so typing 300 shows 255.
    spin->setRange(low, high);
    spin->setKeyboardTracking(true);
    spin->installEventFilter(this);
    return spin;
}

QWidget *TPaletteForm::buildCmyPage()
{
    auto *page = new QWidget(this);
    page->setObjectName(QStringLiteral("CMYPage"));
    auto *grid = new QGridLayout(page);
    grid->setContentsMargins(4, 4, 4, 4);
    PSEditCyan = makeSpin("PSEditCyan", -9999, 9999);
    PSEditMagenta = makeSpin("PSEditMagenta", -9999, 9999);
    PSEditYellow = makeSpin("PSEditYellow", -9999, 9999);
    PGaugeCyan = new TColorGauge(QColor(0, 255, 255), page);
    PGaugeCyan->setObjectName(QStringLiteral("PGaugeCyan"));
    PGaugeMagenta = new TColorGauge(QColor(255, 0, 255), page);
    PGaugeMagenta->setObjectName(QStringLiteral("PGaugeMagenta"));
    PGaugeYellow = new TColorGauge(QColor(255, 255, 0), page);
    PGaugeYellow->setObjectName(QStringLiteral("PGaugeYellow"));
    const struct
    {
        int text;
        QSpinBox *spin;
        TColorGauge *gauge;
    } rows[] = {{PalCyan, PSEditCyan, PGaugeCyan},
                {PalMagenta, PSEditMagenta, PGaugeMagenta},
                {PalYellow, PSEditYellow, PGaugeYellow}};
    int row = 0;
    for (const auto &r : rows) {
        grid->addWidget(new QLabel(m_texts.TextAt(r.text), page), row, 0);
        grid->addWidget(r.spin, row, 1);
        grid->addWidget(r.gauge, row, 2);
        connect(r.spin, &QSpinBox::valueChanged, this, &TPaletteForm::cmyEdited);
        connect(r.spin, &QSpinBox::editingFinished, this, [this] { m_editor.EndRun(); });
        QSpinBox *spin = r.spin;
        connect(r.gauge, &TColorGauge::valueDragged, this,
                [spin](int value) { spin->setValue(value); });
        connect(r.gauge, &TColorGauge::released, this, [this] { m_editor.EndRun(); });
        ++row;
    }
    grid->setColumnStretch(2, 1);

    auto *shapes = new QHBoxLayout;
    ShapeCMYOriginColor = MakeShape(page, "ShapeCMYOriginColor", m_texts.TextAt(PalOriginHint));
    ShapeCMYWorkColor = MakeShape(page, "ShapeCMYWorkColor", QString());
    shapes->addWidget(ShapeCMYOriginColor);
    shapes->addWidget(ShapeCMYWorkColor);
    shapes->addStretch();
    ButtonCMYToLibrary
        = MakeTextButton(page, "ButtonCMYToLibrary", m_texts.TextAt(PalNearestLibrary));
    ButtonCMYToPantone
        = MakeTextButton(page, "ButtonCMYToPantone", m_texts.TextAt(PalNearestPantone));
    auto *nearest = new QVBoxLayout;
    nearest->addWidget(ButtonCMYToLibrary);
    nearest->addWidget(ButtonCMYToPantone);
    grid->addLayout(shapes, 3, 0, 1, 2);
    grid->addLayout(nearest, 3, 2, Qt::AlignRight);
    grid->setRowStretch(4, 1);
    connect(ShapeCMYOriginColor, &TColorShape::clicked, this, &TPaletteForm::returnToOrigin);
    connect(ButtonCMYToLibrary, &QToolButton::clicked, this, &TPaletteForm::nearestLibrary);
    connect(ButtonCMYToPantone, &QToolButton::clicked, this, &TPaletteForm::nearestPantone);
    return page;
}

QWidget *TPaletteForm::buildHlsPage()
{
    auto *page = new QWidget(this);
    page->setObjectName(QStringLiteral("HLSPage"));
    auto *layout = new QHBoxLayout(page);
    layout->setContentsMargins(4, 4, 4, 4);
    ImgCircle = new THlsCircle(page);
    ImgCircle->setObjectName(QStringLiteral("ImgCircle"));
    layout->addWidget(ImgCircle, 0, Qt::AlignTop);

    auto *grid = new QGridLayout;
    PSHlsH = makeSpin("PSHlsH", -9999, 9999);
    PSHlsL = makeSpin("PSHlsL", -9999, 9999);
    PSHlsS = makeSpin("PSHlsS", -9999, 9999);
    const struct
    {
        int text;
        QSpinBox *spin;
    } rows[] = {{PalHue, PSHlsH}, {PalLightness, PSHlsL}, {PalSaturation, PSHlsS}};
    int row = 0;
    for (const auto &r : rows) {
        grid->addWidget(new QLabel(m_texts.TextAt(r.text), page), row, 0);
        grid->addWidget(r.spin, row, 1);
        connect(r.spin, &QSpinBox::valueChanged, this, &TPaletteForm::hlsEdited);
        connect(r.spin, &QSpinBox::editingFinished, this, [this] { m_editor.EndRun(); });
        ++row;
    }
    auto *shapes = new QHBoxLayout;
    ShapeHLSOriginColor = MakeShape(page, "ShapeHLSOriginColor", m_texts.TextAt(PalOriginHint));
    ShapeHLSWorkColor = MakeShape(page, "ShapeHLSWorkColor", QString());
    shapes->addWidget(ShapeHLSOriginColor);
    shapes->addWidget(ShapeHLSWorkColor);
    shapes->addStretch();
    grid->addLayout(shapes, 3, 0, 1, 2);
    ButtonHLSToLibrary
        = MakeTextButton(page, "ButtonHLSToLibrary", m_texts.TextAt(PalNearestLibrary));
    ButtonHLSToPantone
        = MakeTextButton(page, "ButtonHLSToPantone", m_texts.TextAt(PalNearestPantone));
    grid->addWidget(ButtonHLSToLibrary, 4, 0, 1, 2);
    grid->addWidget(ButtonHLSToPantone, 5, 0, 1, 2);
    grid->setRowStretch(6, 1);
    layout->addLayout(grid, 1);

    connect(ImgCircle, &THlsCircle::picked, this, &TPaletteForm::circlePicked);
    connect(ImgCircle, &THlsCircle::released, this, [this] { m_editor.EndRun(); });
    connect(ShapeHLSOriginColor, &TColorShape::clicked, this, &TPaletteForm::returnToOrigin);
    connect(ButtonHLSToLibrary, &QToolButton::clicked, this, &TPaletteForm::nearestLibrary);
    connect(ButtonHLSToPantone, &QToolButton::clicked, this, &TPaletteForm::nearestPantone);
    return page;
}

QWidget *TPaletteForm::buildLibraryPage()
{
    auto *page = new QWidget(this);
    page->setObjectName(QStringLiteral("LibraryPage"));
    auto *layout = new QHBoxLayout(page);
    layout->setContentsMargins(4, 4, 4, 4);

    auto *column = new QVBoxLayout;
    column->setSpacing(2);
    sbColorGuide = MakeTextButton(page, "sbColorGuide", m_texts.TextAt(PalColorGuide), true);
    sbKvStandard = MakeTextButton(page, "sbKvStandard", m_texts.TextAt(PalKvStandard), true);
    sbKvTextile = MakeTextButton(page, "sbKvTextile", m_texts.TextAt(PalKvTextile), true);
    sbPrinterColor = MakeTextButton(page, "sbPrinterColor", m_texts.TextAt(PalPrinterColor), true);
    sbSpecialSearch
        = MakeTextButton(page, "sbSpecialSearch", m_texts.TextAt(PalSpecialSearch), true);
    sbUserColor = MakeTextButton(page, "sbUserColor", m_texts.TextAt(PalUserColor));
    sbFinder = MakeTextButton(page, "sbFinder", m_texts.TextAt(PalFinder), true);
    sbChipPrint = MakeTextButton(page, "sbChipPrint", m_texts.TextAt(PalPrint), true);
    sbColorLibrary = MakeTextButton(page, "sbColorLibrary", m_texts.TextAt(PalColorLibrary));
    m_libraries = new QButtonGroup(this);
    m_libraries->addButton(sbColorGuide, int(Library::ColorGuide));
    m_libraries->addButton(sbKvStandard, int(Library::KvStandard));
    m_libraries->addButton(sbKvTextile, int(Library::KvTextile));
    m_libraries->addButton(sbPrinterColor, int(Library::PrinterColor));
    m_libraries->addButton(sbSpecialSearch, int(Library::SpecialSearch));
    m_libraries->addButton(sbFinder, kFinderButton);
    m_libraries->addButton(sbChipPrint, kChipPrintButton);
    sbUserColor->setEnabled(false);
    sbUserColor->setToolTip(m_texts.TextAt(PalLater));
    for (QToolButton *button :
         {sbColorGuide, sbKvStandard, sbKvTextile, sbPrinterColor, sbSpecialSearch, sbUserColor,
          sbFinder, sbChipPrint, sbColorLibrary}) {
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        column->addWidget(button);
    }
    column->addStretch();
    layout->addLayout(column);

    auto *right = new QVBoxLayout;
    LibraryStack = new QStackedWidget(page);
    LibraryStack->setObjectName(QStringLiteral("LibraryStack"));

    // 0: the chip browser with its pager.
    auto *browser = new QWidget(LibraryStack);
    auto *browserLayout = new QVBoxLayout(browser);
    browserLayout->setContentsMargins(0, 0, 0, 0);
    auto *pager = new QHBoxLayout;
    sbLibraryBefore = MakeTextButton(browser, "sbLibraryBefore", QStringLiteral("<"));
    sbLibraryNext = MakeTextButton(browser, "sbLibraryNext", QStringLiteral(">"));
    edLibraryPage = new QSpinBox(browser);
    edLibraryPage->setObjectName(QStringLiteral("edLibraryPage"));
    lbLibraryPage = new QLabel(browser);
    lbLibraryPage->setObjectName(QStringLiteral("lbLibraryPage"));
    pager->addWidget(sbLibraryBefore);
    pager->addWidget(edLibraryPage);
    pager->addWidget(sbLibraryNext);
    pager->addWidget(lbLibraryPage);
    pager->addStretch();
    browserLayout->addLayout(pager);
    LibraryScroll = new QScrollArea(browser);
    LibraryScroll->setObjectName(QStringLiteral("LibraryScroll"));
    LibraryChips = new TColorChipView;
    LibraryChips->setObjectName(QStringLiteral("LibraryChips"));
    LibraryScroll->setWidget(LibraryChips);
    LibraryScroll->setWidgetResizable(false);
    browserLayout->addWidget(LibraryScroll, 1);
    LibraryStack->addWidget(browser);

    // 1: the notice shown instead of an empty Color Guide.
    lbPantoneNotice = new QLabel(LibraryStack);
    lbPantoneNotice->setObjectName(QStringLiteral("lbPantoneNotice"));
    lbPantoneNotice->setWordWrap(true);
    lbPantoneNotice->setAlignment(Qt::AlignCenter);
    lbPantoneNotice->setTextInteractionFlags(Qt::TextSelectableByMouse);
    LibraryStack->addWidget(lbPantoneNotice);

    // 2: the search by code over every catalogue.
    auto *search = new QWidget(LibraryStack);
    auto *searchLayout = new QGridLayout(search);
    searchLayout->addWidget(new QLabel(m_texts.TextAt(PalSearch), search), 0, 0);
    edSearch = new QLineEdit(search);
    edSearch->setObjectName(QStringLiteral("edSearch"));
    searchLayout->addWidget(edSearch, 0, 1);
    sbSearchOK = MakeTextButton(search, "sbSearchOK", m_texts.TextAt(PalOk));
    searchLayout->addWidget(sbSearchOK, 0, 2);
    searchLayout->setRowStretch(1, 1);
    searchLayout->setColumnStretch(1, 1);
    LibraryStack->addWidget(search);
    LibraryStack->addWidget(buildFinderPage(LibraryStack));
    LibraryStack->addWidget(buildPrintPage(LibraryStack));
    right->addWidget(LibraryStack, 1);

    lbEntryCode = new QLabel(page);
    lbEntryCode->setObjectName(QStringLiteral("lbEntryCode"));
    right->addWidget(lbEntryCode);
    layout->addLayout(right, 1);

    connect(m_libraries, &QButtonGroup::idClicked, this, [this](int id) {
        if (id == kFinderButton)
            ShowFinder();
        else if (id == kChipPrintButton)
            ShowChipPrint();
        else
            ShowLibrary(Library(id));
    });
    connect(sbColorLibrary, &QToolButton::clicked, this, [this] {
        TColorLibraryForm *window = libraryWindow();
        window->SetChosen(Palette256->ChoiceIndex());
        window->show();
        window->raise();
        window->activateWindow();
    });
    connect(sbUserColor, &QToolButton::clicked, this, [this] {
        if (m_openUserColors)
            m_openUserColors();
    });
    connect(sbLibraryBefore, &QToolButton::clicked, this,
            [this] { ShowLibraryPage(m_libraryPage - 1); });
    connect(sbLibraryNext, &QToolButton::clicked, this,
            [this] { ShowLibraryPage(m_libraryPage + 1); });
    connect(edLibraryPage, &QSpinBox::valueChanged, this, [this](int value) {
        if (!m_showing)
            ShowLibraryPage(value - 1);
    });
    connect(LibraryChips, &TColorChipView::chipClicked, this, &TPaletteForm::chipClicked);
    connect(sbSearchOK, &QToolButton::clicked, this, &TPaletteForm::searchCode);
    connect(edSearch, &QLineEdit::returnPressed, this, &TPaletteForm::searchCode);
    return page;
}

QWidget *TPaletteForm::buildFinderPage(QWidget *parent)
{
    auto *page = new QWidget(parent);
    page->setObjectName(QStringLiteral("FinderPage"));
    auto *grid = new QGridLayout(page);
    grid->addWidget(new QLabel(m_texts.TextAt(PalCode), page), 0, 0);
    edFinderCode = new QLineEdit(page);
    edFinderCode->setObjectName(QStringLiteral("edFinderCode"));
    grid->addWidget(edFinderCode, 0, 1);
    sbFind = MakeTextButton(page, "sbFind", m_texts.TextAt(PalFind));
    grid->addWidget(sbFind, 0, 2);
    grid->addWidget(new QLabel(m_texts.TextAt(PalLocation), page), 1, 0, Qt::AlignTop);
    lbFinderFolder = new QLabel(ColorCatalogs::ColorFolder(m_host.programDirectory()), page);
    lbFinderFolder->setObjectName(QStringLiteral("lbFinderFolder"));
    lbFinderFolder->setWordWrap(true);
    lbFinderFolder->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid->addWidget(lbFinderFolder, 1, 1, 1, 2);
    cbSubDirectory = new QCheckBox(m_texts.TextAt(PalSubDirectory), page);
    cbSubDirectory->setObjectName(QStringLiteral("cbSubDirectory"));
    grid->addWidget(cbSubDirectory, 2, 1, 1, 2);
    lbFinderResult = new QLabel(page);
    lbFinderResult->setObjectName(QStringLiteral("lbFinderResult"));
    lbFinderResult->setWordWrap(true);
    grid->addWidget(lbFinderResult, 3, 0, 1, 3);
    // Only the names: the files are opened with the palette file manager or the user colour
    // library, where the designer sees what opening them does.
    lbFinderFiles = new QListWidget(page);
    lbFinderFiles->setObjectName(QStringLiteral("lbFinderFiles"));
    lbFinderFiles->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lbFinderFiles->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->addWidget(lbFinderFiles, 4, 0, 1, 3);
    grid->setRowStretch(4, 1);
    grid->setColumnStretch(1, 1);
    connect(sbFind, &QToolButton::clicked, this, &TPaletteForm::FindFiles);
    connect(edFinderCode, &QLineEdit::returnPressed, this, &TPaletteForm::FindFiles);
    return page;
}

QWidget *TPaletteForm::buildPrintPage(QWidget *parent)
{
    auto *page = new QWidget(parent);
    page->setObjectName(QStringLiteral("PrintPage"));
    auto *grid = new QGridLayout(page);
    grid->addWidget(new QLabel(m_texts.TextAt(PalColorBook), page), 0, 0, Qt::AlignTop);
    lbPrintBook = new QLabel(page);
    lbPrintBook->setObjectName(QStringLiteral("lbPrintBook"));
    lbPrintBook->setWordWrap(true);
    lbPrintBook->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid->addWidget(lbPrintBook, 0, 1, 1, 2);
    grid->addWidget(new QLabel(m_texts.TextAt(PalChipSize), page), 1, 0);
    rbChipSmall = new QRadioButton(m_texts.TextAt(PalSmall), page);
    rbChipSmall->setObjectName(QStringLiteral("rbChipSmall"));
    rbChipLarge = new QRadioButton(m_texts.TextAt(PalLarge), page);
    rbChipLarge->setObjectName(QStringLiteral("rbChipLarge"));
    rbChipSmall->setChecked(true);
    grid->addWidget(rbChipSmall, 1, 1);
    grid->addWidget(rbChipLarge, 1, 2);
    grid->addWidget(new QLabel(m_texts.TextAt(PalStartPage), page), 2, 0);
    edStartPage = new QSpinBox(page);
    edStartPage->setObjectName(QStringLiteral("edStartPage"));
    grid->addWidget(edStartPage, 2, 1);
    grid->addWidget(new QLabel(m_texts.TextAt(PalPageCount), page), 3, 0);
    edPageCount = new QSpinBox(page);
    edPageCount->setObjectName(QStringLiteral("edPageCount"));
    grid->addWidget(edPageCount, 3, 1);
    sbPrintStart = MakeTextButton(page, "sbPrintStart", m_texts.TextAt(PalStart));
    grid->addWidget(sbPrintStart, 4, 1);
    grid->setRowStretch(5, 1);
    grid->setColumnStretch(2, 1);
    connect(sbPrintStart, &QToolButton::clicked, this, &TPaletteForm::PreviewChips);
    return page;
}

QString TPaletteForm::PantoneNotice() const
{
    return PantoneNoticeText(m_host);
}

TColorLibraryForm *TPaletteForm::libraryWindow()
{
    if (!m_libraryWindow) {
        m_libraryWindow = new TColorLibraryForm(m_host, m_palette, m_catalogs, this);
        connect(m_libraryWindow, &TColorLibraryForm::entryChosen, this,
                [this](int index) { Palette256->SetChoiceIndex(index); });
        connect(m_libraryWindow, &TColorLibraryForm::colorTaken, this, &TPaletteForm::takeColor);
    }
    return m_libraryWindow;
}

void TPaletteForm::takeColor(const TColorData &record)
{
    const bool written = m_editor.SetEntry(record);
    showEntry();
    if (written)
        afterEdit();
}

void TPaletteForm::ShowFinder()
{
    m_editor.EndRun();
    sbFinder->setChecked(true);
    LibraryStack->setCurrentIndex(StackFinder);
    // The chosen entry's code is offered; a free colour leaves the last code typed.
    const TColorData *entry = m_palette.GetColorData(Palette256->ChoiceIndex());
    const QString code = entry ? EntryCode(m_catalogs, *entry) : QString();
    if (!code.isEmpty())
        edFinderCode->setText(code);
    edFinderCode->setFocus();
}

void TPaletteForm::FindFiles()
{
    lbFinderFiles->clear();
    lbFinderResult->clear();
    const QString code = edFinderCode->text().trimmed();
    if (code.isEmpty()) {
        ShowMessage(this, QMessageBox::Information, windowTitle(), m_texts.TextAt(PalTypeACode));
        return;
    }
    const std::optional<TColorData> color = SearchColorCode(m_catalogs, code);
    const std::optional<ColorIdentity> identity
        = color ? ColorIdentityOf(*color) : std::optional<ColorIdentity>();
    if (!identity) {
        ShowMessage(this, QMessageBox::Information, windowTitle(),
                    m_texts.TextAt(PalNoSuchCode) + QStringLiteral(" ") + code);
        return;
    }
    const QStringList files = FindColorFiles(ColorCatalogs::ColorFolder(m_host.programDirectory()),
                                             *identity, cbSubDirectory->isChecked());
    lbFinderFiles->addItems(files);
    lbFinderResult->setText(m_texts.TextAt(files.isEmpty() ? PalNoFileHolds : PalFilesHolding));
}

void TPaletteForm::ShowChipPrint()
{
    m_editor.EndRun();
    sbChipPrint->setChecked(true);
    LibraryStack->setCurrentIndex(StackPrint);
    const std::vector<LibrarySheet> pages = libraryPages(m_browsed);
    QString book = m_libraries->button(int(m_browsed))->text();
    if (m_browsed == Library::ColorGuide && !m_catalogs.HasPantone())
        book += QStringLiteral("\n") + PantoneNotice();
    else if (pages.empty())
        book += QStringLiteral("\n") + m_texts.TextAt(PalNothingToPrint);
    lbPrintBook->setText(book);
    const int count = std::max(1, int(pages.size()));
    edStartPage->setRange(1, count);
    edPageCount->setRange(1, count);
    // From the page browsed last (Special Search leaves it as it was).
    edStartPage->setValue(m_libraryPage + 1);
    edPageCount->setValue(1);
    sbPrintStart->setEnabled(!pages.empty());
}

std::vector<ChipPage> TPaletteForm::ChipPagesToPrint() const
{
    std::vector<ChipPage> chipPages;
    const std::vector<LibrarySheet> pages = libraryPages(m_browsed);
    const QString title = m_libraries->button(int(m_browsed))->text();
    const int first = edStartPage->value() - 1;
    const int last = std::min(int(pages.size()), first + edPageCount->value());
    for (int i = std::max(0, first); i < last; ++i) {
        const LibrarySheet &page = pages[size_t(i)];
        chipPages.push_back(page.catalog ? CatalogChipPage(*page.catalog, page.pageIndex, title)
                                         : PrinterChipPage(page.pageIndex, title));
    }
    return chipPages;
}

int TPaletteForm::PrintChips(QPagedPaintDevice &device) const
{
    return PrintChipPages(device, ChipPagesToPrint(),
                          rbChipLarge->isChecked() ? ChipSize::Large : ChipSize::Small);
}

void TPaletteForm::PreviewChips()
{
    if (ChipPagesToPrint().empty())
        return;
    QPrinter printer(QPrinter::HighResolution);
    QPrintPreviewDialog preview(&printer, this);
    preview.setWindowTitle(windowTitle() + QStringLiteral(" - ") + m_texts.TextAt(PalPrint));
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter *target) { PrintChips(*target); });
    preview.exec();
}

TColorChartForm *TPaletteForm::chartWindow()
{
    if (!m_chart) {
        m_chart = new TColorChartForm(m_host, m_palette, this);
        m_chart->setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint);
    }
    return m_chart;
}

void TPaletteForm::SetFileManagerOpener(std::function<void()> open)
{
    m_openFileManager = std::move(open);
    sbFile->setEnabled(bool(m_openFileManager));
    sbFile->setToolTip(m_openFileManager ? QString() : m_texts.TextAt(PalLater));
}

void TPaletteForm::SetUserColorOpener(std::function<void()> open)
{
    m_openUserColors = std::move(open);
    sbUserColor->setEnabled(bool(m_openUserColors));
    sbUserColor->setToolTip(m_openUserColors ? QString() : m_texts.TextAt(PalLater));
}

std::optional<TColor> TPaletteForm::PickColor(std::optional<TColor> current)
{
    if (current) {
        // The first design colour holding it, else the background.
        for (int index = 2; index <= m_palette.UseColor; ++index) {
            if (m_palette.GetColor(index) == *current) {
                Palette256->SetChoiceIndex(index);
                current.reset();
                break;
            }
        }
        if (current && m_palette.GetColor(1) == *current)
            Palette256->SetChoiceIndex(1);
    }
    // A window already open as the tool window is shown again as the modal picker.
    if (isVisible())
        hide();
    const Qt::WindowModality modality = windowModality();
    setWindowModality(Qt::ApplicationModal);
    Palette256->setFocus();
    const int result = exec();
    setWindowModality(modality);
    if (result != QDialog::Accepted)
        return std::nullopt;
    return m_palette.GetColor(Palette256->ChoiceIndex());
}

void TPaletteForm::Refresh()
{
    Palette256->update();
    m_editor.Show(Palette256->ChoiceIndex());
    showEntry();
    if (m_chart)
        m_chart->Refresh();
    if (m_libraryWindow)
        m_libraryWindow->Refresh();
}

void TPaletteForm::ShowPage(Page page)
{
    m_page = page;
    if (QAbstractButton *button = m_pages->button(page))
        button->setChecked(true);
    PageStack->setCurrentIndex(page);
    // Another page ends the editing run; its editor takes the chosen entry.
    m_editor.Show(Palette256->ChoiceIndex());
    showEntry();
}

void TPaletteForm::choiceChanged(int index)
{
    if (index != m_editor.Chosen())
        m_editor.Show(index);
    showEntry();
}

void TPaletteForm::showEntry()
{
    const RGBQUAD working = m_editor.Working();
    showCmy(working);
    showHls(working);
    const TColor origin = m_editor.Origin().GetColor();
    ShapeCMYOriginColor->SetColor(origin);
    ShapeHLSOriginColor->SetColor(origin);
    showLibraryMark();
    showSwatches();
    if (m_libraryWindow)
        m_libraryWindow->SetChosen(Palette256->ChoiceIndex());
}

void TPaletteForm::showSwatches()
{
    ShapeFGColor->SetColor(Palette256->GetFGColor());
    ShapeBGColor->SetColor(Palette256->GetBGColor());
    ShapeCursorColor->SetColor(Palette256->GetCursorColor());
    lbChoiceNumber->setText(QString::number(Palette256->ChoiceIndex() - 1));
    lbCursorNumber->setText(QString::number(Palette256->CursorIndex() - 1));
    const RGBQUAD working = m_editor.Working();
    const TColor workingColor = RGBToTColor(working);
    ShapeCMYWorkColor->SetColor(workingColor);
    ShapeHLSWorkColor->SetColor(workingColor);
    const TColorData *entry = m_palette.GetColorData(Palette256->ChoiceIndex());
    const QString code = entry ? EntryCode(m_catalogs, *entry) : QString();
    lbEntryCode->setText(QStringLiteral("%1   %2 - %3 - %4   %5")
                             .arg(Palette256->ChoiceIndex() - 1)
                             .arg(entry ? entry->color.rgbRed : 0)
                             .arg(entry ? entry->color.rgbGreen : 0)
                             .arg(entry ? entry->color.rgbBlue : 0)
                             .arg(code));
    sbUndo->setEnabled(m_editor.CanUndo());
}

void TPaletteForm::showCmy(RGBQUAD rgb)
{
    int cyan = 0;
    int magenta = 0;
    int yellow = 0;
    RgbToCmy(rgb, cyan, magenta, yellow);
    const bool showing = m_showing;
    m_showing = true;
    PSEditCyan->setValue(cyan);
    PSEditMagenta->setValue(magenta);
    PSEditYellow->setValue(yellow);
    PGaugeCyan->SetValue(cyan);
    PGaugeMagenta->SetValue(magenta);
    PGaugeYellow->SetValue(yellow);
    m_showing = showing;
}

void TPaletteForm::showHls(RGBQUAD rgb)
{
    const HlsValues values = RgbToHls(rgb, PSHlsH->value());
    const bool showing = m_showing;
    m_showing = true;
    PSHlsH->setValue(values.hue);
    PSHlsL->setValue(values.lightness);
    PSHlsS->setValue(values.saturation);
    ImgCircle->SetValues(values);
    m_showing = showing;
}

void TPaletteForm::workingChanged(RGBQUAD rgb)
{
    if (m_editor.SetWorking(rgb))
        afterEdit();
    else
        showSwatches();
}

void TPaletteForm::cmyEdited()
{
    if (m_showing)
        return;
    // A value typed out of range is pulled back; the change it makes comes back here.
    for (QSpinBox *spin : {PSEditCyan, PSEditMagenta, PSEditYellow}) {
        if (spin->value() != ClampCmy(spin->value())) {
            spin->setValue(ClampCmy(spin->value()));
            return;
        }
    }
    const int cyan = PSEditCyan->value();
    const int magenta = PSEditMagenta->value();
    const int yellow = PSEditYellow->value();
    PGaugeCyan->SetValue(cyan);
    PGaugeMagenta->SetValue(magenta);
    PGaugeYellow->SetValue(yellow);
    const RGBQUAD rgb = CmyToRgb(cyan, magenta, yellow);
    showHls(rgb);
    workingChanged(rgb);
}

void TPaletteForm::hlsEdited()
{
    if (m_showing)
        return;
    const HlsValues values = ClampHls(PSHlsH->value(), PSHlsL->value(), PSHlsS->value());
    for (auto [spin, value] : {std::pair{PSHlsH, values.hue}, std::pair{PSHlsL, values.lightness},
                               std::pair{PSHlsS, values.saturation}}) {
        if (spin->value() != value) {
            spin->setValue(value);
            return;
        }
    }
    ImgCircle->SetValues(values);
    const RGBQUAD rgb = HlsToRgb(values);
    showCmy(rgb);
    workingChanged(rgb);
}

void TPaletteForm::circlePicked(const HlsValues &values)
{
    const bool showing = m_showing;
    m_showing = true;
    PSHlsH->setValue(values.hue);
    PSHlsL->setValue(values.lightness);
    PSHlsS->setValue(values.saturation);
    m_showing = showing;
    const RGBQUAD rgb = HlsToRgb(values);
    showCmy(rgb);
    workingChanged(rgb);
}

void TPaletteForm::afterEdit()
{
    Palette256->update();
    if (m_chart)
        m_chart->Refresh();
    // A hidden library window re-reads the palette when it is shown again.
    if (m_libraryWindow && m_libraryWindow->isVisible())
        m_libraryWindow->Refresh();
    showSwatches();
    m_host.DesignEdited(this);
    emit paletteEdited();
}

void TPaletteForm::returnToOrigin()
{
    const bool written = m_editor.ReturnToOrigin();
    showEntry();
    if (written)
        afterEdit();
}

void TPaletteForm::nearestLibrary()
{
    const bool written = m_editor.SetNearest(m_catalogs.standard, m_catalogs.textile);
    showEntry();
    if (written)
        afterEdit();
}

void TPaletteForm::nearestPantone()
{
    // Without the Pantone catalogues the entry still becomes the free working colour.
    const bool written = m_editor.SetNearest(m_catalogs.pantone1000, m_catalogs.pantoneTextile);
    showEntry();
    if (written)
        afterEdit();
    if (!m_catalogs.HasPantone())
        ShowMessage(this, QMessageBox::Information, windowTitle(), PantoneNotice());
}

void TPaletteForm::undo()
{
    const int index = m_editor.Undo();
    if (index < 0)
        return;
    // The editor already chose the entry, so the grid's change shows it without a new run.
    Palette256->SetChoiceIndex(index);
    showEntry();
    afterEdit();
}

void TPaletteForm::userColorsDropped(int, int)
{
    m_editor.Show(Palette256->ChoiceIndex());
    showEntry();
    afterEdit();
}

std::vector<TPaletteForm::LibrarySheet> TPaletteForm::libraryPages(Library library) const
{
    std::vector<LibrarySheet> pages;
    auto addCatalog = [&pages](const TColorCatalog &catalog) {
        for (int i = 0; i < catalog.PageCount(); ++i)
            pages.push_back({&catalog, i});
    };
    switch (library) {
    case Library::ColorGuide:
        addCatalog(m_catalogs.pantone1000);
        addCatalog(m_catalogs.pantoneTextile);
        break;
    case Library::KvStandard:
        addCatalog(m_catalogs.standard);
        break;
    case Library::KvTextile:
        addCatalog(m_catalogs.textile);
        break;
    case Library::PrinterColor:
        for (int i = 0; i < TPrinterColor::kIndexCount; ++i)
            pages.push_back({nullptr, i});
        break;
    case Library::SpecialSearch:
        break;
    }
    return pages;
}

void TPaletteForm::ShowLibrary(Library library)
{
    m_library = library;
    if (library != Library::SpecialSearch)
        m_browsed = library;
    if (QAbstractButton *button = m_libraries->button(int(library)))
        button->setChecked(true);
    m_editor.EndRun();
    if (library == Library::SpecialSearch) {
        LibraryStack->setCurrentIndex(StackSearch);
        edSearch->setFocus();
        return;
    }
    if (library == Library::ColorGuide && !m_catalogs.HasPantone()) {
        lbPantoneNotice->setText(PantoneNotice());
        LibraryStack->setCurrentIndex(StackNotice);
        return;
    }
    LibraryStack->setCurrentIndex(StackBrowser);
    // Open at the page of the chosen entry when it comes from this catalogue.
    int position = 0;
    const TColorData *entry = m_palette.GetColorData(Palette256->ChoiceIndex());
    const std::vector<LibrarySheet> pages = libraryPages(m_library);
    if (entry) {
        for (size_t i = 0; i < pages.size(); ++i) {
            const LibrarySheet &page = pages[i];
            const int kind = entry->GetKind() & 15;
            if (page.catalog) {
                const bool kindMatches
                    = (kind == ColorKvStandard && page.catalog == &m_catalogs.standard)
                      || (kind == ColorKvTextile && page.catalog == &m_catalogs.textile)
                      || (kind == ColorPantone1000 && page.catalog == &m_catalogs.pantone1000)
                      || (kind == ColorPantoneTextile
                          && page.catalog == &m_catalogs.pantoneTextile);
                if (kindMatches
                    && page.catalog->Pages()[size_t(page.pageIndex)].number == entry->PageNumber) {
                    position = int(i);
                    break;
                }
            } else if (kind == ColorNormal && entry->PageNumber != 0) {
                int pageIndex = 0;
                int atlasColumn = 0;
                if (TPrinterColor::SplitAtlasPage(entry->PageNumber, pageIndex, atlasColumn)) {
                    position = pageIndex;
                    break;
                }
            }
        }
    }
    m_libraryPage = -1;
    ShowLibraryPage(position);
}

void TPaletteForm::ShowLibraryPage(int position)
{
    const std::vector<LibrarySheet> pages = libraryPages(m_library);
    if (pages.empty()) {
        m_libraryPage = 0;
        LibraryChips->SetChips({}, false);
        m_chipRecords.clear();
        const bool showing = m_showing;
        m_showing = true;
        edLibraryPage->setRange(0, 0);
        m_showing = showing;
        lbLibraryPage->clear();
        return;
    }
    position = std::clamp(position, 0, int(pages.size()) - 1);
    m_libraryPage = position;
    const bool showing = m_showing;
    m_showing = true;
    edLibraryPage->setRange(1, int(pages.size()));
    edLibraryPage->setValue(position + 1);
    m_showing = showing;
    sbLibraryBefore->setEnabled(position > 0);
    sbLibraryNext->setEnabled(position + 1 < int(pages.size()));
    fillLibrary();
}

void TPaletteForm::fillLibrary()
{
    const std::vector<LibrarySheet> pages = libraryPages(m_library);
    if (m_libraryPage < 0 || m_libraryPage >= int(pages.size()))
        return;
    const LibrarySheet page = pages[size_t(m_libraryPage)];
    std::vector<TColorChipView::Chip> chips;
    m_chipRecords.clear();
    if (page.catalog) {
        const CatalogPage &catalogPage = page.catalog->Pages()[size_t(page.pageIndex)];
        lbLibraryPage->setText(QStringLiteral("< %1 >").arg(catalogPage.number));
        for (size_t i = 0; i < catalogPage.entries.size(); ++i) {
            const std::optional<TColorData> record
                = CatalogColorData(*page.catalog, page.pageIndex, int(i));
            if (!record)
                continue;
            const int n = int(m_chipRecords.size());
            const QRect rect(kChipGap + (n % kCatalogChipColumns) * (kCatalogChipWidth + kChipGap),
                             kChipGap + (n / kCatalogChipColumns) * (kCatalogChipHeight + kChipGap),
                             kCatalogChipWidth, kCatalogChipHeight);
            chips.push_back({rect, record->color, page.catalog->Code(catalogPage.entries[i])});
            m_chipRecords.push_back(*record);
        }
        LibraryChips->SetChips(std::move(chips), true);
    } else {
        lbLibraryPage->setText(QStringLiteral("< %1 >").arg(page.pageIndex + 1));
        const int steps = TPrinterColor::StepCount(page.pageIndex);
        for (int column = 0; column < TPrinterColor::ColumnCount(page.pageIndex); ++column) {
            for (int step = 0; step < steps; ++step) {
                const std::optional<TColorData> record
                    = PrinterColorData(page.pageIndex, step, column);
                const QRect rect(kChipGap + column * (kAtlasChipWidth + 1),
                                 kChipGap + (steps - 1 - step) * (kAtlasChipHeight + 1),
                                 kAtlasChipWidth, kAtlasChipHeight);
                chips.push_back({rect, record->color,
                                 TPrinterColor::PN2Code(record->PageNumber, record->ColorNumber)});
                m_chipRecords.push_back(*record);
            }
        }
        LibraryChips->SetChips(std::move(chips), false);
    }
    showLibraryMark();
}

void TPaletteForm::showLibraryMark()
{
    const TColorData *entry = m_palette.GetColorData(Palette256->ChoiceIndex());
    int marked = -1;
    for (size_t i = 0; entry && i < m_chipRecords.size(); ++i) {
        if (SameIdentity(m_chipRecords[i], *entry)) {
            marked = int(i);
            break;
        }
    }
    LibraryChips->SetMarked(marked);
}

void TPaletteForm::chipClicked(int chip)
{
    if (chip < 0 || chip >= int(m_chipRecords.size()))
        return;
    const bool written = m_editor.SetEntry(m_chipRecords[size_t(chip)]);
    showEntry();
    if (written)
        afterEdit();
}

void TPaletteForm::searchCode()
{
    const std::optional<TColorData> found = SearchColorCode(m_catalogs, edSearch->text());
    if (!found) {
        ShowMessage(this, QMessageBox::Information, windowTitle(),
                    m_texts.TextAt(PalNoSuchCode) + QStringLiteral(" ")
                        + edSearch->text().trimmed());
        return;
    }
    const bool written = m_editor.SetEntry(*found);
    showEntry();
    if (written)
        afterEdit();
}

bool TPaletteForm::eventFilter(QObject *watched, QEvent *event)
{
    // A click on a spin edit's arrows ends its run when the button comes up.
    if (event->type() == QEvent::MouseButtonRelease && qobject_cast<QSpinBox *>(watched))
        m_editor.EndRun();
    return QDialog::eventFilter(watched, event);
}

} // namespace warplon
