#include "simulation/yarncompositionform.h"

#include "app/designhost.h"
#include "app/messagebox.h"
#include "simulation/gridcolumns.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

#include <array>
#include <functional>

namespace warplon {

namespace {

constexpr std::array<int, kCompositionColumns> kYarnWidths
    = {50, 80, 150, 50, 50, 70, 60, 60, 60, 80};
constexpr std::array<int, 5> kTotalWidths = {105, 200, 200, 105, 105};

bool IsCountColumn(int column)
{
    return column == CompositionEndsPerBeam || column == CompositionBeams
           || column == CompositionEnds;
}

// Cell editing of the count columns: Enter hands the typed text to the window, which stores it
// after the editor has closed; an editor left any other way stores nothing, and the cell shows
// the stored count again at the next refresh.
class CountDelegate : public QStyledItemDelegate
{
public:
    using EnterHandler = std::function<void(int row, int column, const QString &text)>;

    CountDelegate(EnterHandler onEnter, QObject *parent)
        : QStyledItemDelegate(parent)
        , m_onEnter(std::move(onEnter))
    {}

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &,
                          const QModelIndex &index) const override
    {
        auto *editor = new QLineEdit(parent);
        editor->setObjectName(QStringLiteral("edCell"));
        const QPersistentModelIndex cell(index);
        QPointer<QLineEdit> guarded(editor);
        connect(editor, &QLineEdit::returnPressed, this, [this, cell, guarded] {
            if (!guarded || !cell.isValid())
                return;
            const QString text = guarded->text();
            const int row = cell.row();
            const int column = cell.column();
            // Queued behind the delegate's own close of the editor.
            QMetaObject::invokeMethod(
                this->parent(), [this, row, column, text] { m_onEnter(row, column, text); },
                Qt::QueuedConnection);
        });
        return editor;
    }

    void setModelData(QWidget *, QAbstractItemModel *, const QModelIndex &) const override {}

private:
    EnterHandler m_onEnter;
};

QTableWidgetItem *CellAt(QTableWidget *grid, int row, int column)
{
    QTableWidgetItem *cell = grid->item(row, column);
    if (!cell) {
        cell = new QTableWidgetItem;
        grid->setItem(row, column, cell);
    }
    return cell;
}

} // namespace

TYarnCompositionData_F::TYarnCompositionData_F(DesignHost &host, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
    , m_host(host)
{
    setObjectName(QStringLiteral("YarnCompositionData_F"));
    LoadTable(m_texts, host.programDirectory(), host.language(), QStringLiteral("Composition"));
    setWindowTitle(m_texts.TextAt(CompositionTextCaption));

    YarnStringGrid = new QTableWidget(this);
    YarnStringGrid->setObjectName(QStringLiteral("YarnStringGrid"));
    YarnStringGrid->setColumnCount(kCompositionColumns);
    QFont font = YarnStringGrid->font();
    font.setPointSize(10);
    YarnStringGrid->setFont(font);
    YarnStringGrid->verticalHeader()->hide();
    YarnStringGrid->verticalHeader()->setDefaultSectionSize(25);
    YarnStringGrid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    YarnStringGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    YarnStringGrid->setEditTriggers(QAbstractItemView::DoubleClicked
                                    | QAbstractItemView::EditKeyPressed
                                    | QAbstractItemView::AnyKeyPressed);
    YarnStringGrid->setToolTip(m_texts.TextAt(CompositionTextHint));
    for (int32_t c = 0; c < kCompositionColumns; ++c) {
        YarnStringGrid->setHorizontalHeaderItem(
            c, new QTableWidgetItem(CompositionHeader(m_texts, c)));
    }
    auto *delegate = new CountDelegate(
        [this](int row, int column, const QString &text) {
            EnterCell(int32_t(row) + 1, int32_t(column), text);
        },
        this);
    for (int32_t c = CompositionEndsPerBeam; c <= CompositionEnds; ++c)
        YarnStringGrid->setItemDelegateForColumn(c, delegate);
    // Only the counts take input: a click anywhere else goes to the total ends.
    connect(YarnStringGrid, &QTableWidget::cellClicked, this, [this](int row, int column) {
        if (!IsCountColumn(column))
            YarnStringGrid->setCurrentCell(row, CompositionEnds);
    });

    TotalStringGrid = new QTableWidget(3, int(kTotalWidths.size()), this);
    TotalStringGrid->setObjectName(QStringLiteral("TotalStringGrid"));
    TotalStringGrid->horizontalHeader()->hide();
    TotalStringGrid->verticalHeader()->hide();
    TotalStringGrid->verticalHeader()->setDefaultSectionSize(25);
    TotalStringGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TotalStringGrid->setSelectionMode(QAbstractItemView::NoSelection);
    TotalStringGrid->setFocusPolicy(Qt::NoFocus);
    TotalStringGrid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    TotalStringGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (int c = 0; c < int(kTotalWidths.size()); ++c)
        TotalStringGrid->setColumnWidth(c, kTotalWidths[size_t(c)]);
    TotalStringGrid->setFixedHeight(3 * 25 + 2 * TotalStringGrid->frameWidth());
    TotalStringGrid->setMinimumWidth(715 + 2 * TotalStringGrid->frameWidth());

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(YarnStringGrid, 1);
    layout->addWidget(TotalStringGrid);
    Refresh();
    const int width = FitColumns(YarnStringGrid, kYarnWidths);
    YarnStringGrid->setMinimumWidth(width + 20);
    resize(width + 40, 480);
    YarnStringGrid->setCurrentCell(0, CompositionEnds);
}

void TYarnCompositionData_F::showEvent(QShowEvent *event)
{
    Refresh();
    QWidget::showEvent(event);
}

void TYarnCompositionData_F::Refresh()
{
    m_table = ComputeComposition(m_host.document(), m_host.header(), m_host.guideBars());
    m_host.document().yarnUses = m_table.records;
    fillYarnGrid();
    fillTotalGrid();
}

bool TYarnCompositionData_F::EnterCell(int32_t row, int32_t column, const QString &text)
{
    // The records as the threading has them now, whatever changed since the last refresh.
    std::vector<YarnUse> records
        = ComputeComposition(m_host.document(), m_host.header(), m_host.guideBars()).records;
    const CompositionEntryResult result = EnterCompositionCell(records, row, column, text);
    if (result.outcome != CompositionEntry::Stored) {
        fillYarnGrid(); // the cell shows the stored count again
        if (CompositionEntryText(result.outcome) >= 0)
            ShowMessage(this, QMessageBox::Warning, windowTitle(),
                        m_texts.TextAt(CompositionEntryText(result.outcome)));
        return false;
    }
    m_host.PushUndo();
    m_host.document().yarnUses = std::move(records);
    Refresh();
    YarnStringGrid->setCurrentCell(row - 1, result.nextColumn);
    m_host.DesignEdited(this);
    return true;
}

void TYarnCompositionData_F::fillYarnGrid()
{
    const std::vector<Yarn> &yarns = m_host.document().yarns;
    const int32_t rows = CompositionGridRows(m_table) - 1;
    YarnStringGrid->setRowCount(rows);
    const QString hint = m_texts.TextAt(CompositionTextHint);
    for (int32_t r = 0; r < rows; ++r) {
        const bool record = r < int32_t(m_table.records.size());
        for (int32_t c = 0; c < kCompositionColumns; ++c) {
            QTableWidgetItem *cell = CellAt(YarnStringGrid, r, c);
            Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
            if (record && IsCountColumn(c))
                flags |= Qt::ItemIsEditable;
            cell->setFlags(flags);
            cell->setToolTip(hint);
            cell->setText(CompositionCellText(m_table, yarns, r + 1, c));
        }
    }
    FitColumns(YarnStringGrid, kYarnWidths);
}

void TYarnCompositionData_F::fillTotalGrid()
{
    const QBrush fixed = palette().button();
    for (int32_t r = 0; r < 3; ++r) {
        for (int32_t c = 0; c < int32_t(kTotalWidths.size()); ++c) {
            QTableWidgetItem *cell = CellAt(TotalStringGrid, r, c);
            cell->setFlags(Qt::ItemIsEnabled);
            if (r == 0 || c == 0) {
                cell->setText(CompositionTotalLabel(m_texts, r, c));
                cell->setBackground(fixed);
            } else {
                cell->setText(CompositionTotalText(m_table, m_host.header(),
                                                   m_host.simulationSettings(), r, c));
            }
        }
    }
}

} // namespace warplon
