#include "simulation/simulationadvsetform.h"

#include "simulation/simulationtexts.h"
#include "text/stringtable.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

namespace warplon {

TSimulationAdvSetForm::TSimulationAdvSetForm(SimulationSettings &settings,
                                             const TStringTable &texts, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
    , m_settings(settings)
{
    setObjectName(QStringLiteral("SimulationAdvSetForm"));
    setWindowTitle(texts.TextAt(AdvCaption));
    auto *layout = new QVBoxLayout(this);

    cbNoOptimize = new QCheckBox(texts.TextAt(AdvNoOptimization), this);
    cbNoOptimize->setObjectName(QStringLiteral("cbNoOptimize"));
    layout->addWidget(cbNoOptimize);

    auto *effectBox = new QGroupBox(texts.TextAt(AdvEffect), this);
    effectBox->setObjectName(QStringLiteral("rgEffect"));
    auto *effectLayout = new QVBoxLayout(effectBox);
    auto *effects = new QButtonGroup(this);
    for (int i = 0; i < 3; ++i) {
        rgEffect[i] = new QRadioButton(texts.TextAt(AdvEffectNone + i), effectBox);
        effects->addButton(rgEffect[i], i);
        effectLayout->addWidget(rgEffect[i]);
    }
    layout->addWidget(effectBox);

    layout->addWidget(new QLabel(texts.TextAt(AdvIntensity), this));
    tbPower = new QSlider(Qt::Horizontal, this);
    tbPower->setObjectName(QStringLiteral("tbPower"));
    tbPower->setRange(0, 10);
    tbPower->setTickInterval(1);
    tbPower->setTickPosition(QSlider::TicksBelow);
    tbPower->setValue(4);
    layout->addWidget(tbPower);

    cbInvert = new QCheckBox(texts.TextAt(AdvInvertShade), this);
    cbInvert->setObjectName(QStringLiteral("cbInvert"));
    layout->addWidget(cbInvert);
    cbColorOnColor = new QCheckBox(texts.TextAt(AdvColorOnColor), this);
    cbColorOnColor->setObjectName(QStringLiteral("cbColorOnColor"));
    layout->addWidget(cbColorOnColor);

    // Every control writes its setting at once; loading the controls writes nothing back.
    connect(cbNoOptimize, &QCheckBox::toggled, this, [this](bool on) {
        if (!m_loading) {
            m_settings.optimize = on ? 0 : 1;
            emit settingChanged();
        }
    });
    connect(effects, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on && !m_loading) {
            m_settings.effect = id;
            emit settingChanged();
        }
    });
    connect(tbPower, &QSlider::valueChanged, this, [this](int value) {
        if (!m_loading) {
            m_settings.power = value;
            emit settingChanged();
        }
    });
    connect(cbInvert, &QCheckBox::toggled, this, [this](bool on) {
        if (!m_loading) {
            m_settings.invertShade = on ? 1 : 0;
            emit settingChanged();
        }
    });
    connect(cbColorOnColor, &QCheckBox::toggled, this, [this](bool on) {
        if (!m_loading) {
            m_settings.colorOnColor = on ? 1 : 0;
            emit settingChanged();
        }
    });
    LoadFromSettings();
}

void TSimulationAdvSetForm::LoadFromSettings()
{
    m_loading = true;
    cbNoOptimize->setChecked(m_settings.optimize == 0);
    if (m_settings.effect >= 0 && m_settings.effect < 3)
        rgEffect[m_settings.effect]->setChecked(true);
    tbPower->setValue(m_settings.power);
    cbInvert->setChecked(m_settings.invertShade != 0);
    cbColorOnColor->setChecked(m_settings.colorOnColor != 0);
    m_loading = false;
}

void TSimulationAdvSetForm::showEvent(QShowEvent *event)
{
    LoadFromSettings();
    QWidget::showEvent(event);
}

void TSimulationAdvSetForm::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        LoadFromSettings();
    QWidget::changeEvent(event);
}

} // namespace warplon
