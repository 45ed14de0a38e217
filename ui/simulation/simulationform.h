#pragma once

#include "bitmap/corvexbitmap.h"
#include "simulation/simulationsettings.h"
#include "text/stringtable.h"

#include <QWidget>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QScrollArea;
class QToolButton;

namespace warplon {

class DesignHost;
class TSimulationAdvSetForm;

// The simulation window: turns the open design into a picture of the knitted fabric, shows it,
// and lets the user zoom it, view it whole, copy and save it. It owns the simulation settings and
// the picture, both stored with the design.
class TSimulationForm : public QWidget
{
    Q_OBJECT

public:
    explicit TSimulationForm(DesignHost &host, QWidget *parent = nullptr);
    ~TSimulationForm() override;

    SimulationSettings &settings() { return m_settings; }
    TCorvexBitmap &picture() { return m_picture; }
    const TCorvexBitmap &picture() const { return m_picture; }
    TSimulationAdvSetForm *advancedWindow() const { return m_advanced; }

    // Reads the edits (correcting them), renders and shows the picture. False, with the picture
    // kept, when an edit holds no number or nothing could be made.
    bool RunSimulation(bool clampFuzz = false);
    // A new design: no picture, every setting back to its default.
    void ResetForNewDesign();
    // After a load: the edits show the settings and the loaded picture is shown.
    void Refresh();
    // The design's gauge or width changed: the finished wale density and pitches follow.
    void RecomputeSize();

    void CopyPicture();
    void SavePicture();
    void ShowWholeViewer();
    // The popup menu of the picture, built for the current state.
    QMenu *BuildPopupMenu(QWidget *parent);

    QToolButton *sbSimulation = nullptr;
    QToolButton *sbAdvanced = nullptr;
    QLineEdit *edZoom = nullptr;
    QLineEdit *edSWidth = nullptr;
    QLineEdit *edSCPC = nullptr;
    QLineEdit *edFuzz = nullptr;
    QCheckBox *cbBack = nullptr;
    QFrame *spBGColor = nullptr;
    QScrollArea *scrollBox = nullptr;
    QLabel *Image = nullptr;

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showSettings();
    void showPicture();
    void setBackgroundColor(int32_t color);
    void chooseBackgroundColor();
    void runFromMenuZoom(int step);
    void startMapping(const QString &version);

    DesignHost &m_host;
    TStringTable m_texts;
    TStringTable m_advancedTexts;
    SimulationSettings m_settings;
    TCorvexBitmap m_picture;
    TSimulationAdvSetForm *m_advanced = nullptr;
};

} // namespace warplon
