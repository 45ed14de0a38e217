#include "design/guidebarform.h"

#include "app/designhost.h"
#include "app/messagebox.h"
#include "app/windowprogress.h"
#include "knit/guidebaredits.h"
#include "knit/treatmentedits.h"
#include "text/encoding.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <span>

namespace warplon {

namespace {

// The window keeps its designed width; only its height follows the user.
constexpr int kWindowWidth = 648;
constexpr int kStartHeight = 640;
constexpr int kRowHeight = 25;
constexpr int kCellPointSize = 10;
constexpr std::array<int, kThreadingColumns> kThreadingWidths = {63, 130, 130, 130, 130};
constexpr std::array<int, kCourseColumns> kCourseWidths = {63, 120, 120, 100, 90, 90};
// Header cells are drawn in maroon (TColor 128).
const QColor kHeaderText(128, 0, 0);

// The "Optimization" caption puts one blank before the repeat width when the window is made and
// three whenever it is shown again.
constexpr int32_t kCaptionSpacesAtStart = 1;
constexpr int32_t kCaptionSpaces = 3;

bool KnownBar(int32_t bar)
{
    return bar >= 0 && bar < kMaxBars;
}

QTableWidgetItem *CellItem(QTableWidget *grid, int row, int column)
{
    QTableWidgetItem *item = grid->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        item->setTextAlignment(Qt::AlignCenter);
        grid->setItem(row, column, item);
    }
    return item;
}

// A grid as both pages have it: a header row and fixed columns drawn on the button face, no
// in-place editing (typing goes to the input box), columns laid out from the right.
QTableWidget *MakeGrid(QWidget *parent, const char *name, std::span<const int> widths)
{
    auto *grid = new QTableWidget(30, int(widths.size()), parent);
    grid->setObjectName(QLatin1String(name));
    grid->setLayoutDirection(Qt::RightToLeft);
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setDefaultSectionSize(kRowHeight);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionMode(QAbstractItemView::ContiguousSelection);
    grid->setFocusPolicy(Qt::NoFocus);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont cells = grid->font();
    cells.setPointSize(kCellPointSize);
    grid->setFont(cells);
    int total = 0;
    for (int c = 0; c < int(widths.size()); ++c) {
        grid->setColumnWidth(c, widths[size_t(c)]);
        total += widths[size_t(c)];
    }
    grid->setFixedWidth(total + 2 * grid->frameWidth()
                        + grid->verticalScrollBar()->sizeHint().width());
    return grid;
}

// Fills the header row and the fixed cells' looks; `text(row, column)` gives every cell.
template<typename Text>
void FillGrid(QTableWidget *grid, int rows, int fixedColumns, const QColor &fixedFace, Text text)
{
    if (grid->rowCount() != rows)
        grid->setRowCount(rows);
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < grid->columnCount(); ++column) {
            QTableWidgetItem *item = CellItem(grid, row, column);
            item->setText(text(row, column));
            const bool fixed = row == 0 || column < fixedColumns;
            item->setFlags(fixed ? Qt::ItemIsEnabled : Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            if (fixed)
                item->setBackground(fixedFace);
            if (row == 0)
                item->setForeground(kHeaderText);
        }
    }
}

QLineEdit *MakeEdit(QWidget *parent, const char *name, int width = 0)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    if (width > 0)
        edit->setFixedWidth(width);
    return edit;
}

QToolButton *MakeButton(QWidget *parent, const char *name, const QString &text)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setText(text);
    return button;
}

QLabel *MakeLabel(QWidget *parent, const char *name, const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

} // namespace

TGuideBar_F::TGuideBar_F(DesignHost &host, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
    , m_host(host)
{
    setObjectName(QStringLiteral("GuideBar_F"));
    LoadTable(m_texts, host.programDirectory(), host.language(), QStringLiteral("Guide Bar"));
    setWindowTitle(m_texts.TextAt(GuideBarTextCaption));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 6);
    lbLayer = MakeLabel(this, "lbLayer", QString());
    QFont layerFont = lbLayer->font();
    layerFont.setBold(true);
    lbLayer->setFont(layerFont);
    layout->addWidget(lbLayer);

    PageControl = new QTabWidget(this);
    PageControl->setObjectName(QStringLiteral("PageControl"));
    layout->addWidget(PageControl, 1);
    buildThreadingPage();
    buildCoursePage();
    connect(PageControl, &QTabWidget::currentChanged, this, &TGuideBar_F::focusInput);

    setFixedWidth(kWindowWidth);
    resize(kWindowWidth, kStartHeight);
    Refresh();
    showOptimizationCaption(kCaptionSpacesAtStart);
    sgThreading->setCurrentCell(1, ThreadingColumnNeedles);
    sgCourse->setCurrentCell(1, CourseColumnRunIn);
}

void TGuideBar_F::buildThreadingPage()
{
    tsThreading = new QWidget;
    tsThreading->setObjectName(QStringLiteral("tsThreading"));
    PageControl->addTab(tsThreading, m_texts.TextAt(GuideBarTextThreading));
    auto *page = new QVBoxLayout(tsThreading);
    page->setContentsMargins(4, 4, 4, 4);

    pnThreading = new QWidget(tsThreading);
    pnThreading->setObjectName(QStringLiteral("pnThreading"));
    auto *panel = new QVBoxLayout(pnThreading);
    panel->setContentsMargins(0, 0, 0, 0);
    page->addWidget(pnThreading, 1);

    auto *inputRow = new QHBoxLayout;
    edThreadingInput = MakeEdit(pnThreading, "edThreadingInput");
    inputRow->addWidget(edThreadingInput, 1);
    sbViewYarnList
        = MakeButton(pnThreading, "sbViewYarnList", m_texts.TextAt(GuideBarTextYarnList));
    inputRow->addWidget(sbViewYarnList);
    pnShift = new QFrame(pnThreading);
    pnShift->setObjectName(QStringLiteral("pnShift"));
    auto *shift = new QHBoxLayout(pnShift);
    shift->setContentsMargins(8, 0, 0, 0);
    lbStart = MakeLabel(pnShift, "lbStart", m_texts.TextAt(GuideBarTextStart));
    edShift = MakeEdit(pnShift, "edShift", 60);
    edShift->setText(QStringLiteral("0"));
    shift->addWidget(lbStart);
    shift->addWidget(edShift);
    inputRow->addWidget(pnShift);
    panel->addLayout(inputRow);

    auto *repeatRow = new QHBoxLayout;
    rbCompleteNeedle1 = new QRadioButton(m_texts.TextAt(GuideBarTextOptimization), pnThreading);
    rbCompleteNeedle1->setObjectName(QStringLiteral("rbCompleteNeedle1"));
    rbCompleteNeedle1->setChecked(true);
    rbCompleteNeedle2 = new QRadioButton(m_texts.TextAt(GuideBarTextManual), pnThreading);
    rbCompleteNeedle2->setObjectName(QStringLiteral("rbCompleteNeedle2"));
    lbCompleteNeedle
        = MakeLabel(pnThreading, "lbCompleteNeedle", m_texts.TextAt(GuideBarTextRepeatWidth));
    edCompleteNeedle = MakeEdit(pnThreading, "edCompleteNeedle", 60);
    edCompleteNeedle->setText(QStringLiteral("12"));
    repeatRow->addWidget(rbCompleteNeedle1);
    repeatRow->addWidget(rbCompleteNeedle2);
    repeatRow->addStretch(1);
    repeatRow->addWidget(lbCompleteNeedle);
    repeatRow->addWidget(edCompleteNeedle);
    panel->addLayout(repeatRow);

    sgThreading = MakeGrid(pnThreading, "sgThreading", kThreadingWidths);
    panel->addWidget(sgThreading, 1, Qt::AlignHCenter);

    pmThreading = new QMenu(this);
    pmThreading->setObjectName(QStringLiteral("pmThreading"));
    pmAdd = pmThreading->addAction(m_texts.TextAt(GuideBarTextAdd));
    pmAdd->setObjectName(QStringLiteral("pmAdd"));
    pmDelete = pmThreading->addAction(m_texts.TextAt(GuideBarTextDelete));
    pmDelete->setObjectName(QStringLiteral("pmDelete"));

    auto *descriptionRow = new QHBoxLayout;
    lbInOutDescription
        = MakeLabel(tsThreading, "lbInOutDescription", m_texts.TextAt(GuideBarTextDescription));
    edInOutDescription = MakeEdit(tsThreading, "edInOutDescription");
    descriptionRow->addWidget(lbInOutDescription);
    descriptionRow->addWidget(edInOutDescription, 1);
    page->addLayout(descriptionRow);

    edThreadingInput->installEventFilter(this);
    sgThreading->viewport()->installEventFilter(this);
    connect(edThreadingInput, &QLineEdit::returnPressed, this, &TGuideBar_F::enterThreading);
    connect(edShift, &QLineEdit::returnPressed, this, &TGuideBar_F::enterShift);
    connect(edCompleteNeedle, &QLineEdit::returnPressed, this, &TGuideBar_F::enterCompleteNeedle);
    connect(edInOutDescription, &QLineEdit::returnPressed, this, &TGuideBar_F::enterDescription);
    connect(rbCompleteNeedle1, &QRadioButton::clicked, this, [this] { chooseRepeatMode(true); });
    connect(rbCompleteNeedle2, &QRadioButton::clicked, this, [this] { chooseRepeatMode(false); });
    connect(sbViewYarnList, &QToolButton::clicked, this, &TGuideBar_F::ViewYarnListRequested);
    connect(pmAdd, &QAction::triggered, this, &TGuideBar_F::addRun);
    connect(pmDelete, &QAction::triggered, this, &TGuideBar_F::deleteRuns);
}

void TGuideBar_F::buildCoursePage()
{
    tsCourse = new QWidget;
    tsCourse->setObjectName(QStringLiteral("tsCourse"));
    PageControl->addTab(tsCourse, m_texts.TextAt(GuideBarTextCourse));
    auto *page = new QVBoxLayout(tsCourse);
    page->setContentsMargins(4, 4, 4, 4);

    pnCourse = new QWidget(tsCourse);
    pnCourse->setObjectName(QStringLiteral("pnCourse"));
    auto *panel = new QVBoxLayout(pnCourse);
    panel->setContentsMargins(0, 0, 0, 0);
    page->addWidget(pnCourse, 1);

    auto *inputRow = new QHBoxLayout;
    edCourseInput = MakeEdit(pnCourse, "edCourseInput");
    inputRow->addWidget(edCourseInput, 1);
    sbDefault = MakeButton(pnCourse, "sbDefault", m_texts.TextAt(GuideBarTextDefault));
    sbSetDefaultWithOptimization = MakeButton(pnCourse, "sbSetDefaultWithOptimization",
                                              m_texts.TextAt(GuideBarTextOptimize));
    sbSetDefaultWithFormula
        = MakeButton(pnCourse, "sbSetDefaultWithFormula", m_texts.TextAt(GuideBarTextFormula));
    inputRow->addWidget(sbDefault);
    inputRow->addWidget(sbSetDefaultWithOptimization);
    inputRow->addWidget(sbSetDefaultWithFormula);
    panel->addLayout(inputRow);

    sgCourse = MakeGrid(pnCourse, "sgCourse", kCourseWidths);
    panel->addWidget(sgCourse, 1, Qt::AlignHCenter);

    auto *length = new QFrame(tsCourse);
    pnLength = length;
    length->setObjectName(QStringLiteral("pnLength"));
    length->setFrameShape(QFrame::StyledPanel);
    auto *lengthLayout = new QGridLayout(length);
    const char *formulas[] = {
        "L = SQRT( P*P + N*N*W*W ) + 2.05 * SQRT( P*P + 4*d*d ) + 7.28 * d",
        "d1 = 0.01371 * SQRT( DENIER )",
        "d2 = 0.01900 * SQRT( 12 * FILAMENT - 3 ) / 3",
        "d3 = 0.01140 * SQRT( DENIER )",
    };
    const char *formulaNames[] = {"lbFormulaL", "lbFormulaD1", "lbFormulaD2", "lbFormulaD3"};
    for (int i = 0; i < 4; ++i) {
        lengthLayout->addWidget(MakeLabel(length, formulaNames[i], QLatin1String(formulas[i])), i,
                                0, 1, 2);
    }
    rgFormula = new QGroupBox(QStringLiteral("d = ?"), length);
    rgFormula->setObjectName(QStringLiteral("rgFormula"));
    auto *choices = new QHBoxLayout(rgFormula);
    auto *group = new QButtonGroup(this);
    for (int i = 0; i < int(formulaButtons.size()); ++i) {
        auto *button = new QRadioButton(QStringLiteral("d%1").arg(i + 1), rgFormula);
        button->setObjectName(QStringLiteral("rgFormulaD%1").arg(i + 1));
        choices->addWidget(button);
        group->addButton(button, i);
        formulaButtons[size_t(i)] = button;
    }
    lengthLayout->addWidget(rgFormula, 4, 0, 2, 1);
    cbNoTension = new QCheckBox(m_texts.TextAt(GuideBarTextNoTension), length);
    cbNoTension->setObjectName(QStringLiteral("cbNoTension"));
    cbShowRunin = new QCheckBox(m_texts.TextAt(GuideBarTextShowRunIn), length);
    cbShowRunin->setObjectName(QStringLiteral("cbShowRunin"));
    lengthLayout->addWidget(cbNoTension, 4, 1);
    lengthLayout->addWidget(cbShowRunin, 5, 1);
    lengthLayout->setColumnStretch(1, 1);
    page->addWidget(length);

    edCourseInput->installEventFilter(this);
    sgCourse->viewport()->installEventFilter(this);
    connect(edCourseInput, &QLineEdit::returnPressed, this, &TGuideBar_F::enterCourse);
    connect(sbDefault, &QToolButton::clicked, this, &TGuideBar_F::copyDefaults);
    connect(sbSetDefaultWithFormula, &QToolButton::clicked, this, &TGuideBar_F::defaultsByFormula);
    connect(sbSetDefaultWithOptimization, &QToolButton::clicked, this,
            &TGuideBar_F::defaultsByOptimization);
    connect(group, &QButtonGroup::idClicked, this, &TGuideBar_F::chooseFormula);
    connect(cbNoTension, &QCheckBox::clicked, this,
            [this](bool on) { setSwitch(&GuideBarData::noTension, on); });
    connect(cbShowRunin, &QCheckBox::clicked, this,
            [this](bool on) { setSwitch(&GuideBarData::runInBrightness, on); });
}

void TGuideBar_F::Refresh()
{
    const TexLayer &document = m_host.document();
    const GuideBarData &settings = m_host.guideBars();
    const int32_t barIndex = m_host.currentBar();
    const Tex *bar = EditedBar(document, barIndex);
    edShift->setText(QString::number(bar ? bar->shift : 0));
    edCompleteNeedle->setText(QString::number(document.completeNeedle));
    const bool optimize = document.optimizeRepeat == 1;
    rbCompleteNeedle1->setChecked(optimize);
    rbCompleteNeedle2->setChecked(!optimize);
    edCompleteNeedle->setEnabled(!optimize);
    if (KnownBar(barIndex)) {
        const size_t b = size_t(barIndex);
        edInOutDescription->setText(DecodeText(settings.description[b]));
        const int32_t formula = settings.formula[b];
        if (formula >= 0 && formula < int32_t(formulaButtons.size()))
            formulaButtons[size_t(formula)]->setChecked(true);
        cbNoTension->setChecked(settings.noTension[b] != 0);
        cbShowRunin->setChecked(settings.runInBrightness[b] != 0);
    } else {
        edInOutDescription->clear();
    }
    Repaint();
}

void TGuideBar_F::Repaint()
{
    lbLayer->setText(QStringLiteral("Layer %1").arg(m_host.currentBar() + 1));
    fillThreadingGrid();
    fillCourseGrid();
    showOptimizationCaption(kCaptionSpaces);
}

void TGuideBar_F::ResetSettings()
{
    m_host.guideBars() = GuideBarData{};
    Refresh();
}

void TGuideBar_F::fillThreadingGrid()
{
    static const std::vector<WaleState> noRuns;
    const Tex *bar = EditedBar(m_host.document(), m_host.currentBar());
    const std::vector<WaleState> &runs = bar ? bar->threading : noRuns;
    FillGrid(sgThreading, GuideBarGridRows(int64_t(runs.size())), kThreadingFixedColumns,
             palette().color(QPalette::Button), [this, &runs](int row, int column) {
                 return row == 0 ? ThreadingHeaderText(m_texts, column)
                                 : ThreadingCellText(runs, row, column);
             });
}

void TGuideBar_F::fillCourseGrid()
{
    static const Tex noBar;
    const Tex *found = EditedBar(m_host.document(), m_host.currentBar());
    const Tex &bar = found ? *found : noBar;
    FillGrid(sgCourse, GuideBarGridRows(int64_t(bar.courseStates.size())), kCourseFixedColumns,
             palette().color(QPalette::Button), [this, &bar](int row, int column) {
                 return row == 0 ? CourseHeaderText(m_texts, column)
                                 : CourseCellText(bar, row, column);
             });
    // The means of the entered and calculated run-in, shown over their whole columns.
    for (const int column : {int(CourseColumnRunIn), int(CourseColumnCalcRunIn)}) {
        const QString hint = CourseGridHint(bar, column);
        for (int row = 0; row < sgCourse->rowCount(); ++row)
            sgCourse->item(row, column)->setToolTip(hint);
    }
}

void TGuideBar_F::showOptimizationCaption(int32_t spaces)
{
    rbCompleteNeedle1->setText(
        OptimizationCaption(m_texts.TextAt(GuideBarTextOptimization), m_host.document(), spaces));
}

void TGuideBar_F::focusInput()
{
    if (PageControl->currentWidget() == tsCourse)
        edCourseInput->setFocus();
    else
        edThreadingInput->setFocus();
}

void TGuideBar_F::showEvent(QShowEvent *event)
{
    Refresh();
    QWidget::showEvent(event);
    focusInput();
}

void TGuideBar_F::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        Refresh();
    QWidget::changeEvent(event);
}

bool TGuideBar_F::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) {
        for (QTableWidget *grid : {sgThreading, sgCourse}) {
            if (watched == grid->viewport())
                return pressGrid(grid, static_cast<QMouseEvent *>(event));
        }
    } else if (type == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (watched == edThreadingInput)
            return moveCursor(sgThreading, key);
        if (watched == edCourseInput)
            return moveCursor(sgCourse, key);
    }
    return QWidget::eventFilter(watched, event);
}

bool TGuideBar_F::pressGrid(QTableWidget *grid, QMouseEvent *press)
{
    const QModelIndex index = grid->indexAt(press->position().toPoint());
    if (!index.isValid())
        return false;
    const bool threading = grid == sgThreading;
    const int32_t row = int32_t(index.row());
    const int32_t column = int32_t(index.column());
    m_lastClicked = {row, column};
    (threading ? edThreadingInput : edCourseInput)->setFocus();

    bool changed = false;
    if (press->button() == Qt::LeftButton) {
        if (Tex *bar = currentTex()) {
            Tex pressed = *bar;
            const bool toggled = threading ? PressThreadingCell(pressed.threading, row, column)
                                           : PressCourseCell(pressed, row, column);
            changed = toggled && commitBar(pressed);
        }
    }
    if (changed)
        edited();
    else
        Repaint();
    if (press->button() == Qt::RightButton && threading)
        pmThreading->popup(press->globalPosition().toPoint());
    // Presses on the header row and the fixed columns, and right presses, leave the selection.
    const int32_t fixedColumns = threading ? kThreadingFixedColumns : kCourseFixedColumns;
    return row == 0 || column < fixedColumns || press->button() != Qt::LeftButton;
}

bool TGuideBar_F::moveCursor(QTableWidget *grid, int key)
{
    GridStep step;
    switch (key) {
    case Qt::Key_Left:
        step = GridStep::Left;
        break;
    case Qt::Key_Up:
        step = GridStep::Up;
        break;
    case Qt::Key_Right:
        step = GridStep::Right;
        break;
    case Qt::Key_Down:
        step = GridStep::Down;
        break;
    default:
        return false;
    }
    const int32_t fixedColumns = grid == sgThreading ? kThreadingFixedColumns : kCourseFixedColumns;
    const GridCell cell = MoveGridCell({grid->currentRow(), grid->currentColumn()}, step,
                                       grid->rowCount(), grid->columnCount(), 1, fixedColumns);
    grid->setCurrentCell(cell.row, cell.column);
    return true;
}

std::pair<int32_t, int32_t> TGuideBar_F::selectedRows(const QTableWidget *grid)
{
    const QList<QTableWidgetSelectionRange> ranges = grid->selectedRanges();
    if (ranges.isEmpty())
        return {grid->currentRow(), grid->currentRow()};
    int top = ranges.first().topRow();
    int bottom = ranges.first().bottomRow();
    for (const QTableWidgetSelectionRange &range : ranges) {
        top = std::min(top, range.topRow());
        bottom = std::max(bottom, range.bottomRow());
    }
    return {top, bottom};
}

void TGuideBar_F::enterThreading()
{
    const QString text = edThreadingInput->text();
    Tex *bar = currentTex();
    if (text.isEmpty() || !bar)
        return;
    std::vector<WaleState> runs = bar->threading;
    const auto [top, bottom] = selectedRows(sgThreading);
    const GuideBarEntry outcome
        = EnterThreadingText(runs, int32_t(m_host.document().yarns.size()),
                             sgThreading->currentColumn(), top, bottom, text);
    if (outcome == GuideBarEntry::NotANumber) {
        ShowConversionError(this, text, true);
        return;
    }
    if (outcome == GuideBarEntry::Stored) {
        const bool changed = commitRuns(runs);
        edThreadingInput->clear();
        Repaint();
        moveCursor(sgThreading, Qt::Key_Down);
        if (changed)
            m_host.DesignEdited(this);
    }
    showOptimizationCaption(kCaptionSpaces);
}

void TGuideBar_F::enterCourse()
{
    const QString text = edCourseInput->text();
    Tex *bar = currentTex();
    if (text.isEmpty() || !bar)
        return;
    Tex entered = *bar;
    const auto [top, bottom] = selectedRows(sgCourse);
    const GuideBarEntry outcome
        = EnterCourseText(entered, sgCourse->currentColumn(), top, bottom, text);
    if (outcome == GuideBarEntry::NotANumber) {
        ShowConversionError(this, text, true);
        return;
    }
    if (outcome != GuideBarEntry::Stored)
        return;
    const bool changed = commitBar(entered);
    edCourseInput->clear();
    Repaint();
    if (changed)
        m_host.DesignEdited(this);
}

void TGuideBar_F::enterShift()
{
    const NumberEntry entry = ShiftEntry(edShift->text());
    if (entry.outcome == GuideBarEntry::NotANumber)
        ShowConversionError(this, edShift->text(), true);
    Tex *bar = currentTex();
    if (entry.outcome != GuideBarEntry::Stored || !bar)
        return;
    edShift->setText(QString::number(entry.value));
    Tex shifted = *bar;
    shifted.shift = entry.value;
    if (commitBar(shifted))
        edited();
    Refresh();
}

void TGuideBar_F::enterCompleteNeedle()
{
    const NumberEntry entry = CompleteNeedleEntry(edCompleteNeedle->text());
    if (entry.outcome == GuideBarEntry::NotANumber)
        ShowConversionError(this, edCompleteNeedle->text(), true);
    if (entry.outcome != GuideBarEntry::Stored)
        return;
    edCompleteNeedle->setText(QString::number(entry.value));
    TexLayer &document = m_host.document();
    if (document.completeNeedle == entry.value)
        return;
    m_host.PushUndo();
    document.completeNeedle = entry.value;
    edited();
}

void TGuideBar_F::enterDescription()
{
    const int32_t bar = m_host.currentBar();
    if (!KnownBar(bar))
        return;
    QByteArray &description = m_host.guideBars().description[size_t(bar)];
    const QByteArray text = EncodeText(edInOutDescription->text());
    if (description == text)
        return;
    // The settings are not part of the undo snapshots of the document.
    description = text;
    m_host.DesignEdited(this);
}

void TGuideBar_F::chooseRepeatMode(bool optimize)
{
    edCompleteNeedle->setEnabled(!optimize);
    TexLayer &document = m_host.document();
    const uint8_t mode = optimize ? 1 : 0;
    if (document.optimizeRepeat == mode)
        return;
    m_host.PushUndo();
    document.optimizeRepeat = mode;
    edited();
}

void TGuideBar_F::chooseFormula(int formula)
{
    const int32_t bar = m_host.currentBar();
    if (!KnownBar(bar))
        return;
    int32_t &stored = m_host.guideBars().formula[size_t(bar)];
    if (stored == formula)
        return;
    stored = formula;
    fillCourseGrid();
    m_host.DesignEdited(this);
}

void TGuideBar_F::setSwitch(std::array<uint8_t, kMaxBars> GuideBarData::*field, bool value)
{
    const int32_t bar = m_host.currentBar();
    if (!KnownBar(bar))
        return;
    (m_host.guideBars().*field)[size_t(bar)] = value ? 1 : 0;
    m_host.DesignEdited(this);
}

void TGuideBar_F::addRun()
{
    Tex *bar = currentTex();
    if (!bar)
        return;
    std::vector<WaleState> runs = bar->threading;
    if (AddThreadingRun(runs, m_lastClicked.first) && commitRuns(runs))
        edited();
}

void TGuideBar_F::deleteRuns()
{
    Tex *bar = currentTex();
    if (!bar)
        return;
    std::vector<WaleState> runs = bar->threading;
    const auto [top, bottom] = selectedRows(sgThreading);
    if (DeleteThreadingRuns(runs, top, bottom) && commitRuns(runs))
        edited();
}

void TGuideBar_F::copyDefaults()
{
    Tex *bar = currentTex();
    if (!bar)
        return;
    Tex copied = *bar;
    if (CopyCalcRunIns(copied) && commitBar(copied))
        edited();
}

void TGuideBar_F::defaultsByFormula()
{
    Tex *bar = currentTex();
    if (!bar)
        return;
    Tex computed = *bar;
    DefaultRunInsByFormula(computed, m_host.currentBar(), m_host.document(), m_host.guideBars(),
                           m_host.header());
    if (commitBar(computed))
        edited();
}

void TGuideBar_F::defaultsByOptimization()
{
    Tex *bar = currentTex();
    if (!bar)
        return;
    Tex computed = *bar;
    bool measured = false;
    {
        // The relaxation takes a while on large repeats: the progress window shows it and can
        // stop it, which leaves the run-in as it was.
        const std::unique_ptr<WindowProgress> progress
            = m_host.StartProgress(m_texts.TextAt(GuideBarTextOptimize), this);
        measured = DefaultRunInsByOptimization(
            computed, m_host.currentBar(), m_host.document(), m_host.guideBars(), m_host.header(),
            ProgramDirectionMemory(), progress.get(), &m_runInModel);
    }
    if (measured && commitBar(computed))
        edited();
}

Tex *TGuideBar_F::currentTex()
{
    return EditedBar(m_host.document(), m_host.currentBar());
}

bool TGuideBar_F::commitBar(const Tex &edited)
{
    Tex *bar = currentTex();
    if (!bar || edited.sameStoredFields(*bar))
        return false;
    m_host.PushUndo();
    *currentTex() = edited;
    return true;
}

bool TGuideBar_F::commitRuns(const std::vector<WaleState> &runs)
{
    Tex *bar = currentTex();
    if (!bar)
        return false;
    Tex threaded = *bar;
    threaded.threading = runs;
    return commitBar(threaded);
}

void TGuideBar_F::edited()
{
    Repaint();
    m_host.DesignEdited(this);
}

} // namespace warplon
