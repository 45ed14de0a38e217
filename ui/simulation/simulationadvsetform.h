#pragma once

#include "simulation/simulationsettings.h"

#include <QWidget>

class QCheckBox;
class QRadioButton;
class QSlider;

namespace warplon {

class TStringTable;

// "Advanced Simulation Setting": five settings of the simulation window, each written at once.
// Changing one does not start a run.
class TSimulationAdvSetForm : public QWidget
{
    Q_OBJECT

public:
    TSimulationAdvSetForm(SimulationSettings &settings, const TStringTable &texts,
                          QWidget *parent = nullptr);

    // Shows the current values of the settings.
    void LoadFromSettings();

signals:
    // The user changed a setting (the live simulation follows).
    void settingChanged();

public:
    QCheckBox *cbNoOptimize = nullptr;
    QRadioButton *rgEffect[3] = {nullptr, nullptr, nullptr}; // none, solid, wave
    QSlider *tbPower = nullptr;
    QCheckBox *cbInvert = nullptr;
    QCheckBox *cbColorOnColor = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    SimulationSettings &m_settings;
    bool m_loading = false;
};

} // namespace warplon
