#pragma once

#include "bitmap/corvexbitmap.h"
#include "simulation/simulationsettings.h"
#include "text/stringtable.h"

#include <QWidget>

#include <memory>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QScrollArea;
class QTimer;
class QToolButton;

namespace warplon {

class DesignHost;
class LiveSimulation;
class TSimulationAdvSetForm;
struct SimulationOutcome;
struct SimulationSnapshot;

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
    // Live mode: every change of what the simulation reads runs it on a worker thread a moment
    // after the last change, and the picture is swapped in when it is done. Starts as key
    // "LiveSimulation" of "Environment.ini" says; the menu's "Live" switches it and the key.
    void SetLive(bool live);
    bool live() const { return m_live != nullptr; }
    LiveSimulation *liveSimulation() const { return m_live.get(); }
    // Something the simulation reads changed (the design, the bars and courses, the gauge, the
    // treatment): in live mode a run follows.
    void DesignChanged();

    // "Show Floats": the floats longer than the limit (millimetres, 0 = off) drawn over the
    // picture. Both start as "Environment.ini" keeps them.
    void SetShowFloats(bool show);
    bool showFloats() const { return m_showFloats; }
    void SetFloatLimit(double millimetres);
    // The picture as shown: with the float overlay when it is on.
    QImage ShownPicture() const;

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
    // Reads the edits into the settings (correcting them); false after a message.
    bool readEdits(bool clampFuzz);
    SimulationSnapshot takeSnapshot() const;
    void liveFinished(std::shared_ptr<SimulationOutcome> outcome);
    void liveProgress(int32_t stage, int32_t percent);
    void endLiveProgress();

    DesignHost &m_host;
    TStringTable m_texts;
    TStringTable m_advancedTexts;
    SimulationSettings m_settings;
    TCorvexBitmap m_picture;
    TSimulationAdvSetForm *m_advanced = nullptr;
    std::unique_ptr<LiveSimulation> m_live;
    // Live pictures keep their scatter from one edit to the next, so only the edit shows.
    uint64_t m_liveSeed = 1;
    QTimer *m_progressDelay = nullptr; // the progress window shows for runs of half a second on
    bool m_progressShown = false;
    bool m_showFloats = false;
    double m_floatLimit = 0.0;
};

} // namespace warplon
