#include "simulation/treatmentform.h"

#include "app/designhost.h"
#include "knit/treatmentedits.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

#include <set>

namespace warplon {

namespace {

// Entries of the "Treatment" section of the language files.
enum TreatmentText : int {
    TreatmentCaption = 0,
    TreatmentMethodCaption = 1,
    TreatmentFirstMethod = 2, // 2, 3, 4: none, shearing, loop raising
    TreatmentCourseHeader = 5,
    TreatmentFlagHeader = 6,
    TreatmentCheckAll = 7,
};

constexpr int kStartRows = 20;
constexpr int kColumns = 2;
constexpr int kRowHeight = 25;
// Header cells are drawn in dark red (TColor 128), fixed cells on the button face.
const QColor kHeaderText(128, 0, 0);

// The item of a cell, made on first use so that refilling keeps the selection.
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

} // namespace

TTreatment_F::TTreatment_F(DesignHost &host, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
    , m_host(host)
{
    setObjectName(QStringLiteral("Treatment_F"));
    LoadTable(m_texts, host.programDirectory(), host.language(), QStringLiteral("Treatment"));
    setWindowTitle(m_texts.TextAt(TreatmentCaption));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    lbLayer = new QLabel(this);
    lbLayer->setObjectName(QStringLiteral("lbLayer"));
    layout->addWidget(lbLayer);

    rgTreatmentMethod = new QGroupBox(m_texts.TextAt(TreatmentMethodCaption), this);
    rgTreatmentMethod->setObjectName(QStringLiteral("rgTreatmentMethod"));
    auto *methods = new QVBoxLayout(rgTreatmentMethod);
    auto *group = new QButtonGroup(this);
    for (int i = 0; i < int(methodButtons.size()); ++i) {
        auto *button = new QRadioButton(m_texts.TextAt(TreatmentFirstMethod + i), this);
        button->setObjectName(QStringLiteral("rbMethod%1").arg(i));
        methods->addWidget(button);
        group->addButton(button, i);
        methodButtons[size_t(i)] = button;
    }
    layout->addWidget(rgTreatmentMethod);

    auto *inputRow = new QHBoxLayout;
    sbAll = new QToolButton(this);
    sbAll->setObjectName(QStringLiteral("sbAll"));
    sbAll->setText(m_texts.TextAt(TreatmentCheckAll));
    inputRow->addWidget(sbAll);
    edCourseInput = new QLineEdit(this);
    edCourseInput->setObjectName(QStringLiteral("edCourseInput"));
    edCourseInput->installEventFilter(this);
    inputRow->addWidget(edCourseInput, 1);
    layout->addLayout(inputRow);

    sgCourse = new QTableWidget(kStartRows, kColumns, this);
    sgCourse->setObjectName(QStringLiteral("sgCourse"));
    sgCourse->horizontalHeader()->hide();
    sgCourse->verticalHeader()->hide();
    sgCourse->verticalHeader()->setDefaultSectionSize(kRowHeight);
    sgCourse->setColumnWidth(0, 77);
    sgCourse->setColumnWidth(1, 150);
    sgCourse->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sgCourse->setSelectionMode(QAbstractItemView::ContiguousSelection);
    // Typing goes to the input edit; the grid only shows and selects.
    sgCourse->setFocusPolicy(Qt::NoFocus);
    sgCourse->viewport()->installEventFilter(this);
    sgCourse->setFixedWidth(77 + 150 + 2 * sgCourse->frameWidth()
                            + sgCourse->verticalScrollBar()->sizeHint().width());
    layout->addWidget(sgCourse, 1);

    connect(group, &QButtonGroup::idClicked, this, &TTreatment_F::chooseMethod);
    connect(sbAll, &QToolButton::clicked, this, &TTreatment_F::checkAll);
    connect(edCourseInput, &QLineEdit::returnPressed, this, &TTreatment_F::enterText);
    connect(sgCourse, &QTableWidget::cellPressed, this, [this] { edCourseInput->setFocus(); });
    // The header row and the course numbers are fixed: the current cell stays off them.
    connect(sgCourse, &QTableWidget::currentCellChanged, this, [this](int row, int column) {
        if (row >= 0 && (row < 1 || column < 1))
            sgCourse->setCurrentCell(std::max(row, 1), 1);
    });

    // A fresh window shows "none", as a new design has it.
    methodButtons[0]->setChecked(true);
    resize(260, 560);
    Refresh();
    sgCourse->setCurrentCell(1, 1);
}

void TTreatment_F::Refresh()
{
    TreatmentData &treatment = m_host.treatment();
    FitTreatmentToBar(treatment, m_host.document(), m_host.currentBar());
    lbLayer->setText(QStringLiteral("Layer %1").arg(m_host.currentBar() + 1));
    if (treatment.method >= 0 && treatment.method < int32_t(methodButtons.size()))
        methodButtons[size_t(treatment.method)]->setChecked(true);
    fillGrid();
}

void TTreatment_F::fillGrid()
{
    const TreatmentData &treatment = m_host.treatment();
    const int32_t bar = m_host.currentBar();
    const int rows = TreatmentGridRows(int32_t(treatment.courseFlags.size()));
    if (sgCourse->rowCount() != rows)
        sgCourse->setRowCount(rows);

    const QColor fixedFace = palette().color(QPalette::Button);
    for (int column = 0; column < kColumns; ++column) {
        QTableWidgetItem *header = CellItem(sgCourse, 0, column);
        header->setText(m_texts.TextAt(column == 0 ? TreatmentCourseHeader : TreatmentFlagHeader));
        header->setForeground(kHeaderText);
        header->setBackground(fixedFace);
        header->setFlags(Qt::ItemIsEnabled);
    }
    for (int row = 1; row < rows; ++row) {
        QTableWidgetItem *number = CellItem(sgCourse, row, 0);
        number->setText(TreatmentCellText(treatment, bar, row, 0));
        number->setBackground(fixedFace);
        number->setFlags(Qt::ItemIsEnabled);
        QTableWidgetItem *flag = CellItem(sgCourse, row, 1);
        flag->setText(TreatmentCellText(treatment, bar, row, 1));
        flag->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    }
}

void TTreatment_F::chooseMethod(int method)
{
    TreatmentData &treatment = m_host.treatment();
    if (treatment.method == method)
        return;
    treatment.method = method;
    edited();
}

std::vector<int32_t> TTreatment_F::selectedRows() const
{
    std::set<int32_t> rows;
    for (const QTableWidgetSelectionRange &range : sgCourse->selectedRanges()) {
        if (range.rightColumn() < 1)
            continue;
        for (int row = range.topRow(); row <= range.bottomRow(); ++row)
            rows.insert(row);
    }
    if (rows.empty() && sgCourse->currentRow() >= 1)
        rows.insert(sgCourse->currentRow());
    return {rows.begin(), rows.end()};
}

void TTreatment_F::enterText()
{
    const QString text = edCourseInput->text();
    if (sgCourse->currentColumn() != 1 || text.isEmpty())
        return;
    const bool changed = EnterTreatmentText(m_host.treatment(), m_host.document(),
                                            m_host.currentBar(), selectedRows(), text);
    edCourseInput->clear();
    fillGrid();
    if (changed)
        edited();
}

void TTreatment_F::checkAll()
{
    if (!CheckAllTreatment(m_host.treatment(), m_host.document(), m_host.currentBar()))
        return;
    fillGrid();
    edited();
}

void TTreatment_F::pressCell(int row, int column)
{
    if (column != 1)
        return;
    if (!ToggleTreatmentRow(m_host.treatment(), m_host.document(), m_host.currentBar(), row))
        return;
    fillGrid();
    edited();
}

void TTreatment_F::edited()
{
    m_host.DesignEdited(this);
}

void TTreatment_F::showEvent(QShowEvent *event)
{
    Refresh();
    QWidget::showEvent(event);
}

bool TTreatment_F::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == sgCourse->viewport() && event->type() == QEvent::MouseButtonPress) {
        const auto *press = static_cast<QMouseEvent *>(event);
        const QModelIndex index = sgCourse->indexAt(press->position().toPoint());
        if (press->button() == Qt::LeftButton && index.isValid())
            pressCell(index.row(), index.column());
    } else if (watched == edCourseInput && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        static const std::pair<int, GridStep> steps[] = {{Qt::Key_Left, GridStep::Left},
                                                         {Qt::Key_Up, GridStep::Up},
                                                         {Qt::Key_Right, GridStep::Right},
                                                         {Qt::Key_Down, GridStep::Down}};
        for (const auto &[stepKey, step] : steps) {
            if (key != stepKey)
                continue;
            const GridCell cell = MoveGridCell({sgCourse->currentRow(), sgCourse->currentColumn()},
                                               step, sgCourse->rowCount(), kColumns);
            sgCourse->setCurrentCell(cell.row, cell.column);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace warplon
