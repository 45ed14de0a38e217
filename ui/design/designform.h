#pragma once

#include "bitmap/corvexbitmap.h"
#include "bitmap/designwindowdata.h"
#include "knit/floats.h"
#include "knit/lappingview.h"
#include "text/stringtable.h"

#include <QWidget>

#include <array>

class QAction;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QMenu;
class QScrollArea;
class QToolButton;

namespace warplon {

class DesignHost;
class TChartCanvas;
class TDesignView_F;
class TEditorForm;
class TFloatingWindow;

// The design window: the point-paper chart of the guide bars' lapping, edited with the mouse
// (laps, the selection, and the threading of a bar shown on all needles) and through the edits
// above it (a course's lap, the threading start). Its pop-up menu zooms, repeats, shifts and
// inverts the selection, undoes and redoes, and copies or saves the chart. It owns the chart
// background choice that the design file keeps, the editor window and the design view window.
class TDesignForm : public QWidget
{
    Q_OBJECT

public:
    explicit TDesignForm(DesignHost &host, QWidget *parent = nullptr);
    ~TDesignForm() override;

    // The block the design file keeps: the chart background.
    DesignWindowData &data() { return m_data; }

    // Re-reads the design: switches, edits, background, a full redraw of the chart, and the
    // editor window when it is visible. Call after a load, New, or a change made elsewhere.
    void Refresh();
    // Draws the chart again: in full, or only the cursor and selection frames.
    void Redraw(bool full);

    // Cell size in pixels for zoom factor 1, 2 or 4: 5 × the factor.
    int Zoom() const { return m_zoom; }
    void SetZoom(int factor);
    // The chart background (0 black, 1 gray, 2 white) as the combo box chooses it.
    void SetBackground(int index);

    // The pop-up menu's block edits and history, as their items do (Repeat and Left Shift take
    // the number the floating window would ask).
    void RepeatSelection(int32_t times);
    void ShiftSelection(int32_t delta);
    void InvertSelection();
    void Undo();
    void Redo();

    // The chart's pixels, and the mouse on it at a chart point (what the canvas forwards).
    const TCorvexBitmap &chart() const { return m_chart; }
    void PressChart(QPoint point, Qt::KeyboardModifiers keys);
    void MoveOverChart(QPoint point, Qt::KeyboardModifiers keys);
    // A click on the needle ruler below the chart at chart x: that needle column becomes the
    // current bar's threading start.
    void ClickRuler(int x);

    // Floats longer than the limit (millimetres, 0 = off) are outlined in the chart, with their
    // length in the tooltip. The limit starts as "Environment.ini" keeps it.
    void SetFloatLimit(double millimetres);
    double floatLimit() const { return m_floatLimit; }
    const std::vector<CourseFloat> &longFloats() const { return m_longFloats; }
    // The outlines of the visible bars' long floats, in chart pixels.
    const std::vector<QRect> &floatMarks() const { return m_floatMarks; }
    // "Layer k, course c: float 7.3 mm" for the long float outlined at a chart point, else empty.
    QString FloatTipAt(QPoint point) const;
    // The main window's bar button: the bar's overlapped-view switch alone is on, so the chart
    // shows that bar.
    void SelectLayer(int32_t bar);

    TEditorForm *editorWindow() const { return m_editor; }
    TDesignView_F *viewWindow() const { return m_view; }

    // Controls, named as the program has always named them.
    QLineEdit *edY = nullptr;
    QLineEdit *edXIn = nullptr;
    QLineEdit *edXVia = nullptr;
    QLineEdit *edShift = nullptr;
    QComboBox *cbChartBGColor = nullptr;
    QToolButton *sbEnlarge = nullptr;
    QToolButton *sbViewtext = nullptr;
    std::array<QCheckBox *, 5> cbLayer{};       // cbLayer1 … cbLayer5
    std::array<QCheckBox *, 5> cbRepeatLayer{}; // cbRepeatLayer1 … cbRepeatLayer5
    QScrollArea *ChartScroll = nullptr;
    TChartCanvas *Chart = nullptr;
    QMenu *pmDesign = nullptr;
    std::array<QAction *, 3> zoomItems{};
    QAction *pmRepeat = nullptr;
    QAction *pmLeftShift = nullptr;
    QAction *pmInvert = nullptr;
    QAction *pmUndo = nullptr;
    QAction *pmRedo = nullptr;
    QAction *pmCopy = nullptr;
    QAction *pmSave = nullptr;

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void buildMenu();
    void enterCourse();
    void enterXIn();
    void enterXVia();
    void enterShift();
    void switchesChanged();
    void showLapOf(int32_t course);
    void scrollToCourse(int32_t course);
    void toggleView();
    void showEditor();
    void saveChart();
    void askAndRun(bool repeat);
    LappingGeometry geometry() const;
    Tex *currentBar();
    // After an edit of the design made here: redraw, the editor window and the other windows.
    void edited();

    DesignHost &m_host;
    TStringTable m_texts;
    DesignWindowData m_data;
    LappingView m_lapping;
    TCorvexBitmap m_chart;
    int m_zoom = 4;
    bool m_settingSwitches = false;
    TEditorForm *m_editor = nullptr;
    TDesignView_F *m_view = nullptr;
    TFloatingWindow *m_floating = nullptr;
    double m_floatLimit = 0.0;
    std::vector<CourseFloat> m_longFloats;
    std::vector<QRect> m_floatMarks;
};

} // namespace warplon
