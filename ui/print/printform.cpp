#include "print/printform.h"

#include "app/designhost.h"
#include "app/messagebox.h"
#include "print/hiddenprintdataform.h"
#include "print/report.h"

#include <QButtonGroup>
#include <QDate>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPageLayout>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace warplon {

namespace {

// Message 76: the chosen layer is not in the design.
constexpr int kMessageNoSuchLayer = 76;

int checkedIndex(const std::vector<QRadioButton *> &items)
{
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i]->isChecked())
            return int(i);
    return 0;
}

bool printsPictures(ReportKind kind)
{
    return kind == ReportKind::Simulation || kind == ReportKind::DesignWindow
           || kind == ReportKind::DesignLayers || kind == ReportKind::DesignLayer;
}

} // namespace

TPrintForm::TPrintForm(DesignHost &host, THiddenPrintDataForm &holder, const PrintContext &context,
                       QWidget *parent)
    : QDialog(parent)
    , m_host(host)
    , m_holder(holder)
    , m_context(context)
    , m_barCount(int32_t(host.document().bars.size()))
{
    setObjectName(QStringLiteral("PrintForm"));
    LoadTable(m_texts, host.programDirectory(), host.language(), QStringLiteral("Print"));
    setWindowTitle(m_texts.TextAt(LabelCaption));

    rgMode = radioGroup("rgMode", m_texts.TextAt(LabelStyle),
                        {LabelSimple, LabelSimpleLandscape, LabelStandard}, modeItems);
    std::vector<int> kinds{LabelSimulationData, LabelDesignData, LabelDesignImage, LabelYarnData};
    if (context.ombra)
        kinds.push_back(LabelYarnDataOmbra);
    kinds.push_back(LabelCostData);
    rgData = radioGroup("rgData", m_texts.TextAt(LabelData), kinds, dataItems);
    rgChain = radioGroup("rgChain", m_texts.TextAt(LabelChainOption),
                         {LabelTwoSteps, LabelThreeSteps}, chainItems);
    gbOption = radioGroup("gbOption", m_texts.TextAt(LabelImageOption),
                          {LabelDesignWindow, LabelAllLayers, LabelLayer1, LabelLayer1 + 1,
                           LabelLayer1 + 2, LabelLayer1 + 3},
                          optionItems);

    lbPrinter = new QLabel(this);
    lbPrinter->setObjectName(QStringLiteral("lbPrinter"));
    const auto button = [this](const char *name, int text) {
        auto *push = new QPushButton(m_texts.TextAt(text), this);
        push->setObjectName(QLatin1String(name));
        push->setAutoDefault(false);
        return push;
    };
    btnOK = button("btnOK", LabelOk);
    btnPreview = button("btnPreview", LabelPreview);
    btnCancel = button("btnCancel", LabelCancel);
    btnSetup = button("btnSetup", LabelSetup);
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, [this] {
        if (PrintSheet())
            accept();
    });
    connect(btnPreview, &QPushButton::clicked, this, &TPrintForm::PreviewSheet);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnSetup, &QPushButton::clicked, this, [this] {
        m_holder.Setup(this);
        updatePrinterLabel();
    });

    auto *groups = new QGridLayout;
    groups->addWidget(rgMode, 0, 0);
    groups->addWidget(rgChain, 1, 0);
    groups->addWidget(rgData, 0, 1, 2, 1);
    groups->addWidget(gbOption, 0, 2, 2, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(lbPrinter, 1);
    for (QPushButton *push : {btnOK, btnPreview, btnCancel, btnSetup})
        buttons->addWidget(push);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(groups);
    layout->addLayout(buttons);

    const PrintSettings stored
        = LoadPrintSettings(host.programDirectory(), context.ombra, m_barCount);
    m_method = stored.method;
    showSettings(stored);
    for (QRadioButton *item : modeItems)
        connect(item, &QRadioButton::toggled, this, &TPrintForm::updateEnabling);
    for (QRadioButton *item : dataItems)
        connect(item, &QRadioButton::toggled, this, &TPrintForm::updateEnabling);
    updateEnabling();
    updatePrinterLabel();
}

TPrintForm::~TPrintForm()
{
    SavePrintSettings(m_host.programDirectory(), settings());
}

QGroupBox *TPrintForm::radioGroup(const char *name, const QString &title,
                                  const std::vector<int> &texts, std::vector<QRadioButton *> &items)
{
    auto *group = new QGroupBox(title, this);
    group->setObjectName(QLatin1String(name));
    auto *exclusive = new QButtonGroup(group);
    auto *layout = new QVBoxLayout(group);
    for (int text : texts) {
        auto *item = new QRadioButton(m_texts.TextAt(text), group);
        exclusive->addButton(item);
        layout->addWidget(item);
        items.push_back(item);
    }
    layout->addStretch(1);
    return group;
}

void TPrintForm::showSettings(const PrintSettings &settings)
{
    modeItems[size_t(settings.style)]->setChecked(true);
    dataItems[size_t(settings.data)]->setChecked(true);
    chainItems[size_t(settings.chain)]->setChecked(true);
    optionItems[size_t(settings.option - kOptionDesignWindow)]->setChecked(true);
}

PrintSettings TPrintForm::settings() const
{
    PrintSettings settings;
    settings.style = checkedIndex(modeItems);
    settings.data = checkedIndex(dataItems);
    settings.chain = checkedIndex(chainItems);
    settings.option = checkedIndex(optionItems) + kOptionDesignWindow;
    settings.method = m_method;
    return settings;
}

void TPrintForm::updateEnabling()
{
    const PrintSettings chosen = settings();
    const PrintEnabling enabling = PrintControlsEnabled(chosen.style, chosen.data, m_barCount);
    rgData->setEnabled(enabling.data);
    gbOption->setEnabled(enabling.options);
    optionItems[0]->setEnabled(enabling.options);
    optionItems[1]->setEnabled(enabling.options);
    for (size_t k = 0; k < enabling.layers.size(); ++k)
        optionItems[k + 2]->setEnabled(enabling.layers[k]);
}

void TPrintForm::updatePrinterLabel()
{
    lbPrinter->setText(m_texts.TextAt(LabelPrinter) + QStringLiteral(": ")
                       + m_holder.PrinterName());
}

bool TPrintForm::chooseSheet(ReportOptions &options)
{
    const PrintSettings chosen = settings();
    int layer = 0;
    const std::optional<ReportKind> kind
        = ReportKindForChoice(chosen.style, chosen.data, chosen.option, m_context.ombra, &layer);
    if (!kind)
        return false;
    if (*kind == ReportKind::DesignLayer && layer > m_barCount) {
        ShowMessage(this, QMessageBox::Warning, windowTitle(),
                    m_host.messageTable().TextAt(kMessageNoSuchLayer));
        return false;
    }
    options.kind = *kind;
    options.layer = std::max(layer, 1);
    options.threeSteps = chosen.chain == 1;
    options.method = m_method + 1;
    return !printsPictures(*kind) || askMethod(options);
}

// The second dialog of the picture sheets: one page, or fabric scale over pages of a range.
bool TPrintForm::askMethod(ReportOptions &options)
{
    QDialog dialog(this);
    dialog.setObjectName(QStringLiteral("PrintMethodDialog"));
    dialog.setWindowTitle(m_texts.TextAt(LabelCaption));
    auto *fit = new QRadioButton(m_texts.TextAt(LabelMethod1), &dialog);
    auto *scale = new QRadioButton(m_texts.TextAt(LabelMethod2), &dialog);
    fit->setObjectName(QStringLiteral("rbMethod1"));
    scale->setObjectName(QStringLiteral("rbMethod2"));
    (m_method == 1 ? scale : fit)->setChecked(true);
    auto *first = new QSpinBox(&dialog);
    auto *last = new QSpinBox(&dialog);
    first->setObjectName(QStringLiteral("edFirstPage"));
    last->setObjectName(QStringLiteral("edLastPage"));
    first->setRange(1, 9999);
    // 0 prints to the end of the sheet.
    last->setRange(0, 9999);
    last->setSpecialValueText(QStringLiteral("-"));
    const auto enablePages = [&] {
        first->setEnabled(scale->isChecked());
        last->setEnabled(scale->isChecked());
    };
    connect(scale, &QRadioButton::toggled, &dialog, enablePages);
    enablePages();
    auto *pages = new QHBoxLayout;
    pages->addWidget(new QLabel(m_texts.TextAt(LabelPages), &dialog));
    pages->addWidget(first);
    pages->addWidget(new QLabel(QStringLiteral("-"), &dialog));
    pages->addWidget(last);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(fit);
    layout->addWidget(scale);
    layout->addLayout(pages);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    m_method = scale->isChecked() ? 1 : 0;
    options.method = m_method + 1;
    if (m_method == 1) {
        options.firstPage = first->value();
        options.lastPage = last->value();
    }
    return true;
}

bool TPrintForm::paint(QPagedPaintDevice &device, const ReportOptions &options)
{
    const ReportTexts texts = LoadReportTexts(m_host.programDirectory(), m_host.language());
    const ReportInput input{m_host.header(),
                            m_host.document(),
                            m_host.guideBars(),
                            m_host.treatment(),
                            m_host.simulationSettings(),
                            m_host.cost(),
                            m_context.properties,
                            texts,
                            m_context.picture,
                            m_context.chartBackground,
                            m_host.programDirectory(),
                            m_context.ombra,
                            QString::fromLocal8Bit(m_host.header().fileName),
                            QDate::currentDate().toString(Qt::ISODate),
                            m_context.view};
    QString error;
    if (PaintReport(device, input, options, &error))
        return true;
    ShowMessage(this, QMessageBox::Warning, windowTitle(),
                m_texts.TextAt(LabelNotPrinted) + QLatin1Char(' ') + error);
    return false;
}

bool TPrintForm::PrintSheet()
{
    ReportOptions options;
    if (!chooseSheet(options))
        return false;
    QPrinter &printer = m_holder.printer();
    if (!THiddenPrintDataForm::HasPrinter()) {
        const QString file = m_pdfChooser
                                 ? m_pdfChooser()
                                 : QFileDialog::getSaveFileName(this, windowTitle(), QString(),
                                                                QStringLiteral("PDF (*.pdf)"));
        if (file.isEmpty())
            return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        updatePrinterLabel();
    }
    // The landscape sheet turns the page; the set-up stays as the user made it.
    const QPageLayout setup = printer.pageLayout();
    const bool printed = paint(printer, options);
    printer.setPageLayout(setup);
    return printed;
}

void TPrintForm::PreviewSheet()
{
    ReportOptions options;
    if (!chooseSheet(options))
        return;
    const QPageLayout setup = m_holder.printer().pageLayout();
    QPrintPreviewDialog preview(&m_holder.printer(), this);
    preview.setObjectName(QStringLiteral("PrintPreview"));
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [this, &options](QPrinter *printer) { paint(*printer, options); });
    preview.exec();
    m_holder.printer().setPageLayout(setup);
}

} // namespace warplon
