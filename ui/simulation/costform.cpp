#include "simulation/costform.h"

#include "app/designhost.h"
#include "app/messagebox.h"
#include "simulation/costsheet.h"

#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace warplon {

namespace {

// Entries of the "Cost" section of the language files used here besides the labels 1-18.
enum CostText : int {
    CostCaption = 0,
    CostItemHeader = 17,
    CostAmountHeader = 18,
    CostSaveHint = 19,
    CostLoadHint = 20,
    CostNotANumber = 21,
    CostUnreadable = 22,
    CostUnwritable = 23,
    CostSheetCaption = 24,
};

const QString kCostFilter = QStringLiteral("Cost Files(*.cst)");

// Parameters in two columns of label and edit: the first eight fields left, the rest right.
constexpr int kParametersPerColumn = 8;

} // namespace

TCost_F::TCost_F(DesignHost &host, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
    , m_host(host)
{
    setObjectName(QStringLiteral("Cost_F"));
    LoadTable(m_texts, host.programDirectory(), host.language(), QStringLiteral("Cost"));
    setWindowTitle(m_texts.TextAt(CostCaption));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    auto *buttons = new QHBoxLayout;
    sbSave = new QToolButton(this);
    sbSave->setObjectName(QStringLiteral("sbSave"));
    sbSave->setText(m_texts.TextAt(CostSaveHint));
    sbSave->setToolTip(m_texts.TextAt(CostSaveHint));
    sbLoad = new QToolButton(this);
    sbLoad->setObjectName(QStringLiteral("sbLoad"));
    sbLoad->setText(m_texts.TextAt(CostLoadHint));
    sbLoad->setToolTip(m_texts.TextAt(CostLoadHint));
    buttons->addWidget(sbSave);
    buttons->addWidget(sbLoad);
    buttons->addStretch();
    layout->addLayout(buttons);

    auto *fields = new QHBoxLayout;
    layout->addLayout(fields);
    auto *parameters = new QGridLayout;
    fields->addLayout(parameters);
    auto *items = new QGridLayout;
    fields->addSpacing(16);
    fields->addLayout(items);
    fields->addStretch();
    items->addWidget(new QLabel(m_texts.TextAt(CostItemHeader), this), 0, 0);
    items->addWidget(new QLabel(m_texts.TextAt(CostAmountHeader), this), 0, 1);

    int parameter = 0;
    for (const CostField &field : CostFields()) {
        QLineEdit *edit = makeEdit(field);
        m_edits.push_back({&field, edit});
        if (field.label >= 0) {
            const int row = parameter % kParametersPerColumn;
            const int column = 2 * (parameter / kParametersPerColumn);
            parameters->addWidget(new QLabel(m_texts.TextAt(field.label), this), row, column);
            parameters->addWidget(edit, row, column + 1);
            ++parameter;
        }
    }
    for (int i = 0; i < kCostItemCount; ++i) {
        items->addWidget(ed[size_t(i)], i + 1, 0);
        items->addWidget(ced[size_t(i)], i + 1, 1);
    }

    gbSheet = new QGroupBox(m_texts.TextAt(CostSheetCaption), this);
    gbSheet->setObjectName(QStringLiteral("gbSheet"));
    auto *sheetLayout = new QVBoxLayout(gbSheet);
    sgSheet = new QTableWidget(0, kCostSheetColumns, gbSheet);
    sgSheet->setObjectName(QStringLiteral("sgSheet"));
    sgSheet->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sgSheet->verticalHeader()->hide();
    sgSheet->verticalHeader()->setDefaultSectionSize(20);
    const CostSheetRow header = CostSheetHeader(m_texts);
    sgSheet->setHorizontalHeaderLabels(QStringList(header.begin(), header.end()));
    // The figures' columns are as wide as their headers and texts; the names take the rest.
    sgSheet->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int column = 1; column < kCostSheetColumns; ++column)
        sgSheet->horizontalHeader()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    sheetLayout->addWidget(sgSheet);
    layout->addWidget(gbSheet, 1);

    connect(sbSave, &QToolButton::clicked, this, &TCost_F::chooseSaveFile);
    connect(sbLoad, &QToolButton::clicked, this, &TCost_F::chooseLoadFile);

    resize(1220, 860);
    // The sheet is worked out when the window is shown: the main window may create this window
    // before the simulation window that holds the finished fabric.
    for (const Edit &edit : m_edits)
        showValue(edit);
}

QLineEdit *TCost_F::makeEdit(const CostField &field)
{
    auto *edit = new QLineEdit(this);
    const QString control = QLatin1String(field.control);
    edit->setObjectName(control);
    if (field.kind == CostEditKind::Text) {
        edit->setMinimumWidth(180);
    } else {
        edit->setAlignment(Qt::AlignRight);
        edit->setFixedWidth(110);
    }
    edit->installEventFilter(this);
    connect(edit, &QLineEdit::returnPressed, this, [this, edit] {
        for (const Edit &entry : m_edits) {
            if (entry.edit == edit)
                store(entry);
        }
    });

    // The named members, in the order of the field table.
    QLineEdit **const named[]
        = {&cedExchangeRate, &edWorkDay,       &edPolyLoss,      &edSpanLoss,
           &edNylonLoss,     &edPolyTreatLoss, &edSpanTreatLoss, &edNylonTreatLoss,
           &edCAPA,          &edMachineCount,  &cedCMT_Machine,  &edRawLoss,
           &edRawMargin,     &cedTreatCost,    &edTreatLoss,     &edTreatMargin};
    const auto index = size_t(&field - CostFields().data());
    if (index < std::size(named))
        *named[index] = edit;
    else if (index < std::size(named) + kCostItemCount)
        ed[index - std::size(named)] = edit;
    else
        ced[index - std::size(named) - kCostItemCount] = edit;
    return edit;
}

void TCost_F::Refresh()
{
    for (const Edit &edit : m_edits)
        showValue(edit);
    refreshSheet();
}

void TCost_F::ResetForNewDesign()
{
    m_host.cost() = CostData();
    Refresh();
}

void TCost_F::showValue(const Edit &edit)
{
    edit.edit->setText(CostFieldText(m_host.cost(), *edit.field));
    edit.edit->setCursorPosition(0);
}

void TCost_F::store(const Edit &edit)
{
    switch (StoreCostField(m_host.cost(), *edit.field, edit.edit->text())) {
    case CostStore::Stored:
        showValue(edit);
        refreshSheet();
        m_host.DesignEdited(this);
        break;
    case CostStore::Empty:
        showValue(edit);
        break;
    case CostStore::NotANumber:
        ShowMessage(this, QMessageBox::Warning, windowTitle(), m_texts.TextAt(CostNotANumber));
        showValue(edit);
        break;
    }
}

void TCost_F::refreshSheet()
{
    const CostSheet sheet
        = ComputeDesignCostSheet(m_host.cost(), m_host.document(), m_host.header(),
                                 m_host.guideBars(), m_host.simulationSettings());
    const std::vector<CostSheetRow> rows = CostSheetRows(sheet, m_host.document().yarns, m_texts);
    sgSheet->setRowCount(int(rows.size()));
    for (int row = 0; row < int(rows.size()); ++row) {
        for (int column = 0; column < kCostSheetColumns; ++column) {
            QTableWidgetItem *item = sgSheet->item(row, column);
            if (!item) {
                item = new QTableWidgetItem;
                item->setTextAlignment(column == 0 ? Qt::AlignLeft | Qt::AlignVCenter
                                                   : Qt::AlignRight | Qt::AlignVCenter);
                sgSheet->setItem(row, column, item);
            }
            item->setText(rows[size_t(row)][size_t(column)]);
        }
    }
}

QString TCost_F::costFolder() const
{
    return m_host.programDirectory() + QStringLiteral("/cost");
}

bool TCost_F::SaveCostFile(const QString &path)
{
    if (warplon::SaveCostFile(path, m_host.cost()))
        return true;
    ShowMessage(this, QMessageBox::Warning, windowTitle(), m_texts.TextAt(CostUnwritable));
    return false;
}

bool TCost_F::LoadCostFile(const QString &path)
{
    if (!LoadWholeCostFile(path, m_host.cost())) {
        ShowMessage(this, QMessageBox::Warning, windowTitle(), m_texts.TextAt(CostUnreadable));
        return false;
    }
    Refresh();
    m_host.DesignEdited(this);
    return true;
}

void TCost_F::chooseSaveFile()
{
    QDir().mkpath(costFolder());
    QString path = QFileDialog::getSaveFileName(this, m_texts.TextAt(CostSaveHint), costFolder(),
                                                kCostFilter);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".cst");
    SaveCostFile(path);
}

void TCost_F::chooseLoadFile()
{
    QDir().mkpath(costFolder());
    const QString path = QFileDialog::getOpenFileName(this, m_texts.TextAt(CostLoadHint),
                                                      costFolder(), kCostFilter);
    if (!path.isEmpty())
        LoadCostFile(path);
}

void TCost_F::showEvent(QShowEvent *event)
{
    Refresh();
    QWidget::showEvent(event);
}

bool TCost_F::eventFilter(QObject *watched, QEvent *event)
{
    // Leaving an edit without Enter stores nothing: it shows the stored value again.
    if (event->type() == QEvent::FocusOut) {
        for (const Edit &edit : m_edits) {
            if (edit.edit == watched)
                showValue(edit);
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace warplon
