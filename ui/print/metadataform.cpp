#include "print/metadataform.h"

#include "base/numbers.h"
#include "text/encoding.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace warplon {

namespace {

enum MetaDataText {
    MetaCaption = 0,
    MetaName = 1,
    MetaCode = 2,
    MetaMachine = 3,
    MetaTime = 4,
    MetaResponsible = 5,
    MetaDetail = 6,
    MetaRpm = 7,
    MetaHours = 8,
    MetaEfficiency = 9,
    MetaCountOfW = 10,
    MetaTestWidth = 11,
    MetaTestHeight = 12,
    MetaTestWeight = 13,
    MetaCutYard = 14,
    MetaGrey = 15,
    MetaFinished = 16,
    MetaWidth = 17,
    MetaCpc = 18,
    MetaGauge = 19,
};

QLineEdit *MakeEdit(QWidget *parent, const char *name, bool readOnly = false)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setReadOnly(readOnly);
    if (readOnly)
        edit->setFocusPolicy(Qt::ClickFocus); // Tab and the first focus go to what can be edited
    return edit;
}

} // namespace

TMetaDataForm::TMetaDataForm(const QString &programDirectory, const QString &language,
                             QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("MetaDataForm"));
    LoadTable(m_texts, programDirectory, language, QStringLiteral("MetaData"));
    setWindowTitle(m_texts.TextAt(MetaCaption));

    // A labelled row; the label carries the edit's name with "lb" in front of the "ed".
    auto addRow = [this](QFormLayout *form, int32_t text, QWidget *field) {
        auto *label = new QLabel(m_texts.TextAt(text), this);
        label->setObjectName(QStringLiteral("lb") + field->objectName().mid(2));
        label->setBuddy(field);
        form->addRow(label, field);
    };

    edName = MakeEdit(this, "edName", true);
    edCode = MakeEdit(this, "edCode", true);
    auto *fabric = new QFormLayout;
    addRow(fabric, MetaName, edName);
    addRow(fabric, MetaCode, edCode);

    auto fabricGroup = [&](int32_t title, const char *name, QLineEdit *&width, QLineEdit *&cpc,
                           QLineEdit *&gauge, const char *widthName, const char *cpcName,
                           const char *gaugeName) {
        auto *group = new QGroupBox(m_texts.TextAt(title), this);
        group->setObjectName(QLatin1String(name));
        width = MakeEdit(group, widthName, true);
        cpc = MakeEdit(group, cpcName, true);
        gauge = MakeEdit(group, gaugeName, true);
        auto *form = new QFormLayout(group);
        addRow(form, MetaWidth, width);
        addRow(form, MetaCpc, cpc);
        addRow(form, MetaGauge, gauge);
        return group;
    };
    QGroupBox *grey = fabricGroup(MetaGrey, "gbGrey", edMWidth, edMCPC, edMGauge, "edMWidth",
                                  "edMCPC", "edMGauge");
    QGroupBox *finished = fabricGroup(MetaFinished, "gbFinished", edSWidth, edSCPC, edSGauge,
                                      "edSWidth", "edSCPC", "edSGauge");

    edMachineName = MakeEdit(this, "edMachineName");
    edTime = MakeEdit(this, "edTime");
    edResponsible = MakeEdit(this, "edResponsible");
    edRPM = MakeEdit(this, "edRPM");
    edHours = MakeEdit(this, "edHours");
    edEfficiency = MakeEdit(this, "edEfficiency");
    edCountOfW = MakeEdit(this, "edCountOfW");
    edTestWidth = MakeEdit(this, "edTestWidth");
    edTestHeight = MakeEdit(this, "edTestHeight");
    edTestWeight = MakeEdit(this, "edTestWeight");
    edCutYard = MakeEdit(this, "edCutYard");
    mmDetail = new QPlainTextEdit(this);
    mmDetail->setObjectName(QStringLiteral("mmDetail"));
    mmDetail->setTabChangesFocus(true);
    mmDetail->setMinimumHeight(90);

    auto *production = new QFormLayout;
    addRow(production, MetaMachine, edMachineName);
    addRow(production, MetaTime, edTime);
    addRow(production, MetaResponsible, edResponsible);
    addRow(production, MetaRpm, edRPM);
    addRow(production, MetaHours, edHours);
    addRow(production, MetaEfficiency, edEfficiency);
    addRow(production, MetaCountOfW, edCountOfW);
    addRow(production, MetaTestWidth, edTestWidth);
    addRow(production, MetaTestHeight, edTestHeight);
    addRow(production, MetaTestWeight, edTestWeight);
    addRow(production, MetaCutYard, edCutYard);

    auto *detailLabel = new QLabel(m_texts.TextAt(MetaDetail), this);
    detailLabel->setObjectName(QStringLiteral("lbDetail"));
    detailLabel->setBuddy(mmDetail);

    auto *left = new QVBoxLayout;
    left->addLayout(fabric);
    left->addWidget(grey);
    left->addWidget(finished);
    left->addStretch(1);
    auto *right = new QVBoxLayout;
    right->addLayout(production);
    right->addWidget(detailLabel);
    right->addWidget(mmDetail, 1);
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addSpacing(12);
    layout->addLayout(right, 1);

    fillEdits();
}

void TMetaDataForm::Refresh(const MainData &header, const SimulationSettings &finished)
{
    edName->setText(DecodeText(header.note1));
    edCode->setText(DecodeText(header.note2));
    edMWidth->setText(FormatNumber(header.widthInch, 2));
    edMCPC->setText(FormatNumber(header.coursesPerCm, 2));
    edMGauge->setText(QString::number(header.gauge));
    edSWidth->setText(FormatNumber(finished.widthInch, 2));
    edSCPC->setText(FormatNumber(finished.coursesPerCm, 2));
    edSGauge->setText(FormatNumber(finished.walesPerInch, 2));
    fillEdits();
}

bool TMetaDataForm::StoreEdits()
{
    // Edits filled from a record that has since been replaced (a design was loaded) hold
    // nothing of the user's: the record wins.
    if (!(m_record == m_shownRecord)) {
        fillEdits();
        return true;
    }
    const bool ok = ApplyPropertyTexts(editTexts(), m_record);
    fillEdits();
    return ok;
}

void TMetaDataForm::ResetRecord()
{
    m_record = PropertyRecord{};
    fillEdits();
}

void TMetaDataForm::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!(m_record == m_shownRecord))
        fillEdits();
}

void TMetaDataForm::hideEvent(QHideEvent *event)
{
    StoreEdits();
    QWidget::hideEvent(event);
}

void TMetaDataForm::fillEdits()
{
    const PropertyTexts texts = PropertyTextsFor(m_record);
    edMachineName->setText(texts.machineName);
    edTime->setText(texts.knittingDate);
    edResponsible->setText(texts.department);
    mmDetail->setPlainText(texts.detail);
    edRPM->setText(texts.rpm);
    edHours->setText(texts.hours);
    edEfficiency->setText(texts.efficiency);
    edCountOfW->setText(texts.countOfW);
    edTestWidth->setText(texts.testWidth);
    edTestHeight->setText(texts.testHeight);
    edTestWeight->setText(texts.testWeight);
    edCutYard->setText(texts.cutYard);
    m_shownRecord = m_record;
}

PropertyTexts TMetaDataForm::editTexts() const
{
    PropertyTexts texts;
    texts.machineName = edMachineName->text();
    texts.knittingDate = edTime->text();
    texts.department = edResponsible->text();
    texts.detail = mmDetail->toPlainText();
    texts.rpm = edRPM->text();
    texts.hours = edHours->text();
    texts.efficiency = edEfficiency->text();
    texts.countOfW = edCountOfW->text();
    texts.testWidth = edTestWidth->text();
    texts.testHeight = edTestHeight->text();
    texts.testWeight = edTestWeight->text();
    texts.cutYard = edCutYard->text();
    return texts;
}

} // namespace warplon
