#include "simulation/yarnlistform.h"

#include "app/designhost.h"
#include "app/messagebox.h"
#include "simulation/gridcolumns.h"
#include "simulation/yarnfile.h"
#include "simulation/yarnlist.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace warplon {

namespace {

enum YarnListCaption : int32_t {
    YarnCaption = 0,
    YarnAddItem = 6,
    YarnDeleteItem = 7,
    YarnLoadItem = 17,
    YarnSaveItem = 18,
};

constexpr int kColorRole = Qt::UserRole + 1;
constexpr std::array<int, kYarnListColumns> kColumnWidths
    = {38, 120, 70, 60, 60, 65, 60, 90, 90, 95, 65, 60, 70, 95};
const QString kYarnFilter = QStringLiteral("Yarn Files(*.yan)");

QColor ToQColor(int32_t color)
{
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

// The colour column: a grey cell with the yarn colour inset by 3 pixels and its text small and
// black; rows without a yarn stay plain.
class ColorCellDelegate : public QStyledItemDelegate
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
        painter->save();
        painter->fillRect(option.rect, QColor(0x80, 0x80, 0x80));
        painter->fillRect(option.rect.adjusted(3, 3, -3, -3), ToQColor(color.toInt()));
        QFont small = option.font;
        small.setPointSize(6);
        painter->setFont(small);
        painter->setPen(Qt::black);
        painter->drawText(option.rect, Qt::AlignCenter, index.data(Qt::DisplayRole).toString());
        painter->restore();
    }
};

// The grid reports every press with its button after the view has handled it, and a right
// press first makes the cell under the mouse current.
class YarnGrid : public QTableWidget
{
public:
    using PressHandler = std::function<void(int, int, Qt::MouseButton, const QPoint &)>;
    using QTableWidget::QTableWidget;
    PressHandler onPress;

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        const QModelIndex index = indexAt(event->position().toPoint());
        if (event->button() == Qt::RightButton) {
            if (index.isValid())
                setCurrentCell(index.row(), index.column());
        } else {
            QTableWidget::mousePressEvent(event);
        }
        if (onPress && index.isValid())
            onPress(index.row(), index.column(), event->button(),
                    event->globalPosition().toPoint());
    }
};

} // namespace

TYarnListForm::TYarnListForm(DesignHost &host, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
    , m_host(host)
{
    setObjectName(QStringLiteral("YarnListForm"));
    LoadTable(m_texts, host.programDirectory(), host.language(), QStringLiteral("YarnList"));
    setWindowTitle(m_texts.TextAt(YarnCaption));

    auto *grid = new YarnGrid(this);
    YarnListStringGrid = grid;
    grid->setObjectName(QStringLiteral("YarnListStringGrid"));
    grid->setColumnCount(kYarnListColumns);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(25);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionMode(QAbstractItemView::ContiguousSelection);
    grid->setItemDelegateForColumn(YarnColumnColor, new ColorCellDelegate(grid));
    for (int32_t c = 0; c < kYarnListColumns; ++c) {
        auto *header = new QTableWidgetItem(YarnListHeader(m_texts, c));
        header->setForeground(QColor(128, 0, 0));
        grid->setHorizontalHeaderItem(c, header);
    }
    grid->onPress = [this](int row, int column, Qt::MouseButton button, const QPoint &global) {
        gridPressed(int32_t(row) + 1, int32_t(column), button, global);
    };

    edInput = new QLineEdit(this);
    edInput->setObjectName(QStringLiteral("edInput"));
    edInput->installEventFilter(this);
    connect(edInput, &QLineEdit::returnPressed, this, &TYarnListForm::enterInput);

    lbSpec = new QLabel(this);
    lbSpec->setObjectName(QStringLiteral("lbSpec"));
    lbSpec->setTextInteractionFlags(Qt::TextSelectableByMouse);

    PopupMenuStringGridMaterial = new QMenu(this);
    PopupMenuStringGridMaterial->setObjectName(QStringLiteral("PopupMenuStringGridMaterial"));
    for (uint8_t code : MaterialMenuCodes()) {
        const QString text = code == MaterialDirectInput ? m_texts.TextAt(YarnTextDirectInput)
                                                         : MaterialMenuText(code);
        connect(PopupMenuStringGridMaterial->addAction(text), &QAction::triggered, this,
                [this, code] { chooseCode(YarnColumnMaterial, code); });
    }
    PopupMenuStringGridOpticalProperty = new QMenu(this);
    PopupMenuStringGridOpticalProperty->setObjectName(
        QStringLiteral("PopupMenuStringGridOpticalProperty"));
    for (uint8_t code : ProcessingMenuCodes()) {
        const QString text
            = code == 9 ? m_texts.TextAt(YarnTextDirectInput) : ProcessingMenuText(code);
        connect(PopupMenuStringGridOpticalProperty->addAction(text), &QAction::triggered, this,
                [this, code] { chooseCode(YarnColumnProcessing, code); });
    }
    PopupMenuStringGrid = new QMenu(this);
    PopupMenuStringGrid->setObjectName(QStringLiteral("PopupMenuStringGrid"));
    auto item = [this](const char *name, int32_t text, void (TYarnListForm::*slot)()) {
        QAction *action = PopupMenuStringGrid->addAction(m_texts.TextAt(text));
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    pmAdd = item("pmAdd", YarnAddItem, &TYarnListForm::addYarn);
    pmDelete = item("pmDelete", YarnDeleteItem, &TYarnListForm::deleteYarns);
    pmLoad = item("pmLoad", YarnLoadItem, &TYarnListForm::loadFromDialog);
    pmSave = item("pmSave", YarnSaveItem, &TYarnListForm::saveFromDialog);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(edInput);
    layout->addWidget(grid, 1);
    layout->addWidget(lbSpec);

    Refresh();
    resize(FitColumns(grid, kColumnWidths) + 40, 420);
    SetCurrentCell(1, YarnColumnName);
}

void TYarnListForm::showEvent(QShowEvent *event)
{
    // While hidden the list is not kept up to date.
    Refresh();
    QWidget::showEvent(event);
}

void TYarnListForm::Refresh()
{
    const std::vector<Yarn> &yarns = m_host.document().yarns;
    const int32_t rows = YarnListRows(yarns.size()) - 1;
    const int currentRow = YarnListStringGrid->currentRow();
    const int currentColumn = YarnListStringGrid->currentColumn();
    YarnListStringGrid->setRowCount(rows);
    const QString hint = m_texts.TextAt(YarnListHintText(YarnColumnPrice));
    for (int32_t r = 0; r < rows; ++r) {
        const Yarn *yarn = YarnAtRow(yarns, r + 1);
        for (int32_t c = 0; c < kYarnListColumns; ++c) {
            QTableWidgetItem *cell = YarnListStringGrid->item(r, c);
            if (!cell) {
                cell = new QTableWidgetItem;
                cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
                if (YarnListHintText(c) >= 0)
                    cell->setToolTip(hint);
                YarnListStringGrid->setItem(r, c, cell);
            }
            cell->setText(YarnListCellText(yarns, r + 1, c));
            if (c == YarnColumnColor)
                cell->setData(kColorRole, yarn ? QVariant(yarn->color) : QVariant());
        }
    }
    if (currentRow >= 0 && currentRow < rows)
        YarnListStringGrid->setCurrentCell(currentRow, std::max(currentColumn, 0));
    FitColumns(YarnListStringGrid, kColumnWidths);
}

int32_t TYarnListForm::CurrentRow() const
{
    return int32_t(YarnListStringGrid->currentRow()) + 1;
}

int32_t TYarnListForm::CurrentColumn() const
{
    return int32_t(YarnListStringGrid->currentColumn());
}

void TYarnListForm::SetCurrentCell(int32_t row, int32_t column)
{
    const int32_t rows = int32_t(YarnListStringGrid->rowCount());
    row = std::clamp(row, 1, rows);
    column = std::clamp(column, 0, kYarnListColumns - 1);
    YarnListStringGrid->setCurrentCell(row - 1, column);
}

bool TYarnListForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == edInput && event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent *>(event)->key()) {
        case Qt::Key_Up:
            moveCurrent(-1, 0);
            return true;
        case Qt::Key_Down:
            moveCurrent(1, 0);
            return true;
        case Qt::Key_Left:
            moveCurrent(0, -1);
            return true;
        case Qt::Key_Right:
            moveCurrent(0, 1);
            return true;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TYarnListForm::moveCurrent(int32_t rows, int32_t columns)
{
    SetCurrentCell(CurrentRow() + rows, CurrentColumn() + columns);
}

void TYarnListForm::gridPressed(int32_t row, int32_t column, Qt::MouseButton button,
                                const QPoint &global)
{
    if (button == Qt::RightButton) {
        QMenu *menu = column == YarnColumnMaterial     ? PopupMenuStringGridMaterial
                      : column == YarnColumnProcessing ? PopupMenuStringGridOpticalProperty
                                                       : PopupMenuStringGrid;
        menu->popup(global);
        return;
    }
    if (button != Qt::LeftButton)
        return;
    edInput->setFocus();
    if (column == YarnColumnColor) {
        chooseColor(row);
        return;
    }
    if (column == YarnColumnMaterial || column == YarnColumnProcessing) {
        std::vector<Yarn> yarns = m_host.document().yarns;
        if (CycleYarnCode(yarns, row, column))
            commitYarns(std::move(yarns));
    }
}

std::pair<int32_t, int32_t> TYarnListForm::selectedRows() const
{
    const QList<QTableWidgetSelectionRange> ranges = YarnListStringGrid->selectedRanges();
    if (ranges.isEmpty())
        return {CurrentRow(), CurrentRow()};
    int top = ranges.first().topRow();
    int bottom = ranges.first().bottomRow();
    for (const QTableWidgetSelectionRange &range : ranges) {
        top = std::min(top, range.topRow());
        bottom = std::max(bottom, range.bottomRow());
    }
    return {int32_t(top) + 1, int32_t(bottom) + 1};
}

void TYarnListForm::enterInput()
{
    const QString text = edInput->text();
    if (text.isEmpty())
        return;
    std::vector<Yarn> yarns = m_host.document().yarns;
    const auto [top, bottom] = selectedRows();
    const YarnEntry outcome = EnterYarnCells(yarns, top, bottom, CurrentColumn(), text);
    if (outcome == YarnEntry::Ignored)
        return;
    if (outcome != YarnEntry::Stored) {
        showText(YarnEntryText(outcome));
        return;
    }
    const int32_t row = CurrentRow();
    const int32_t column = CurrentColumn();
    commitYarns(std::move(yarns));
    edInput->clear();
    SetCurrentCell(row + 1, column);
}

void TYarnListForm::chooseCode(int32_t column, uint8_t code)
{
    std::vector<Yarn> yarns = m_host.document().yarns;
    if (SetYarnCode(yarns, CurrentRow(), column, code))
        commitYarns(std::move(yarns));
    // A typed-in name follows in the edit box.
    if (code == (column == YarnColumnMaterial ? MaterialDirectInput : 9)) {
        SetCurrentCell(CurrentRow(), column);
        edInput->setFocus();
    }
}

void TYarnListForm::chooseColor(int32_t row)
{
    const std::vector<Yarn> &current = m_host.document().yarns;
    if (!YarnAtRow(current, row) && int64_t(row) - 1 != int64_t(current.size()))
        return;
    const Yarn *yarn = YarnAtRow(current, row);
    const std::optional<TColor> color = m_host.PickColor(yarn ? yarn->color : Yarn{}.color);
    if (!color)
        return;
    std::vector<Yarn> yarns = m_host.document().yarns;
    if (SetYarnColor(yarns, row, *color))
        commitYarns(std::move(yarns));
}

void TYarnListForm::addYarn()
{
    std::vector<Yarn> yarns = m_host.document().yarns;
    AddYarn(yarns, CurrentRow());
    commitYarns(std::move(yarns));
}

void TYarnListForm::deleteYarns()
{
    const auto [top, bottom] = selectedRows();
    const std::vector<Yarn> &yarns = m_host.document().yarns;
    if (!YarnAtRow(yarns, std::min(top, bottom)))
        return; // the selection starts past the list: nothing to delete
    m_host.PushUndo();
    DeleteYarns(m_host.document(), top, bottom);
    edited();
}

void TYarnListForm::loadFromDialog()
{
    MakeYarnFolder(m_host.programDirectory());
    QFileDialog dialog(this, m_texts.TextAt(YarnLoadItem), YarnFolder(m_host.programDirectory()),
                       kYarnFilter);
    dialog.setOption(QFileDialog::DontUseNativeDialog); // the preview needs the selection
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QStringLiteral("yan"));
    connect(&dialog, &QFileDialog::currentChanged, this, &TYarnListForm::PreviewYarnFile);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        LoadYarnFile(dialog.selectedFiles().constFirst());
}

void TYarnListForm::saveFromDialog()
{
    if (!YarnAtRow(m_host.document().yarns, CurrentRow())) {
        showText(YarnTextNothingToSave);
        return;
    }
    MakeYarnFolder(m_host.programDirectory());
    QFileDialog dialog(this, m_texts.TextAt(YarnSaveItem), YarnFolder(m_host.programDirectory()),
                       kYarnFilter);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("yan"));
    connect(&dialog, &QFileDialog::currentChanged, this, &TYarnListForm::PreviewYarnFile);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        SaveYarnFile(dialog.selectedFiles().constFirst());
}

bool TYarnListForm::LoadYarnFile(const QString &path)
{
    std::vector<Yarn> yarns = m_host.document().yarns;
    const YarnFileRead outcome = LoadYarnIntoRow(yarns, CurrentRow(), path);
    if (outcome != YarnFileRead::Loaded) {
        showText(YarnFileReadText(outcome));
        return false;
    }
    commitYarns(std::move(yarns));
    return true;
}

bool TYarnListForm::SaveYarnFile(const QString &path)
{
    const Yarn *yarn = YarnAtRow(m_host.document().yarns, CurrentRow());
    if (!yarn) {
        showText(YarnTextNothingToSave);
        return false;
    }
    if (!warplon::SaveYarnFile(path, *yarn)) {
        showText(YarnTextNotSaved);
        return false;
    }
    return true;
}

void TYarnListForm::PreviewYarnFile(const QString &path)
{
    Yarn scratch;
    if (ReadYarnForList(path, scratch) == YarnFileRead::Loaded)
        lbSpec->setText(YarnFilePreview(scratch));
    else
        lbSpec->clear();
}

void TYarnListForm::showText(int32_t index)
{
    ShowMessage(this, QMessageBox::Warning, windowTitle(), m_texts.TextAt(index));
}

void TYarnListForm::commitYarns(std::vector<Yarn> yarns)
{
    m_host.PushUndo();
    m_host.document().yarns = std::move(yarns);
    edited();
}

void TYarnListForm::edited()
{
    Refresh();
    m_host.DesignEdited(this);
}

} // namespace warplon
