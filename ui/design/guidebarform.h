#pragma once

#include "knit/optimizedrunin.h"
#include "knit/records.h"
#include "text/stringtable.h"

#include <QWidget>

#include <array>
#include <utility>
#include <vector>

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMouseEvent;
class QMenu;
class QRadioButton;
class QTabWidget;
class QTableWidget;
class QToolButton;

namespace warplon {

class DesignHost;

// The guide-bar editor: for the bar being edited in the main window, the threading (runs of
// needles with yarn letter, In/Out and the hidden flag), the threading start, the repeat width
// of the design, and the run-in of every course with its two float switches; the run-in
// defaults come by formula or along the relaxed stitch model. Its calculation settings
// (GuideBarData) are held by the main window and reached through the host, like the design.
//
// Both grids are typed into through the input box above them: the arrow keys move the grid's
// current cell and Enter stores the text in every selected row of the current column. Every
// change of the design document is kept for undo first and reported to the main window after.
class TGuideBar_F : public QWidget
{
    Q_OBJECT

public:
    explicit TGuideBar_F(DesignHost &host, QWidget *parent = nullptr);

    // Re-reads the current bar: threading start, repeat width and its mode, in/out description,
    // formula and the two switches, then Repaint. Call after a load, New and a change of the
    // current bar; the window also calls it when it is shown or activated.
    void Refresh();
    // Shows the design anew without touching the edit boxes: the layer label, the row counts
    // and every cell of both grids, and the threading repeat on "Optimization". Call after
    // another window changed the design (lapping, course count, bar count, yarns).
    void Repaint();
    // New design: the calculation settings take their start values, then Refresh.
    void ResetSettings();

    // Controls, named as the program has always named them.
    QLabel *lbLayer = nullptr;
    QTabWidget *PageControl = nullptr;
    QWidget *tsThreading = nullptr;
    QWidget *tsCourse = nullptr;

    QWidget *pnThreading = nullptr;
    QLineEdit *edThreadingInput = nullptr;
    QToolButton *sbViewYarnList = nullptr;
    QWidget *pnShift = nullptr;
    QLabel *lbStart = nullptr;
    QLineEdit *edShift = nullptr;
    QRadioButton *rbCompleteNeedle1 = nullptr;
    QRadioButton *rbCompleteNeedle2 = nullptr;
    QLabel *lbCompleteNeedle = nullptr;
    QLineEdit *edCompleteNeedle = nullptr;
    QTableWidget *sgThreading = nullptr;
    QMenu *pmThreading = nullptr;
    QAction *pmAdd = nullptr;
    QAction *pmDelete = nullptr;
    QLabel *lbInOutDescription = nullptr;
    QLineEdit *edInOutDescription = nullptr;

    QWidget *pnCourse = nullptr;
    QLineEdit *edCourseInput = nullptr;
    QToolButton *sbDefault = nullptr;
    QToolButton *sbSetDefaultWithOptimization = nullptr;
    QToolButton *sbSetDefaultWithFormula = nullptr;
    QTableWidget *sgCourse = nullptr;
    QWidget *pnLength = nullptr;
    QGroupBox *rgFormula = nullptr;
    std::array<QRadioButton *, 3> formulaButtons{}; // d1, d2, d3
    QCheckBox *cbNoTension = nullptr;
    QCheckBox *cbShowRunin = nullptr;

signals:
    // sbViewYarnList: the main window shows or hides the yarn list as its own yarn command does.
    void ViewYarnListRequested();

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildThreadingPage();
    void buildCoursePage();
    void fillThreadingGrid();
    void fillCourseGrid();
    void showOptimizationCaption(int32_t spaces);
    void focusInput();

    bool pressGrid(QTableWidget *grid, QMouseEvent *press);
    bool moveCursor(QTableWidget *grid, int key);
    void enterThreading();
    void enterCourse();
    void enterShift();
    void enterCompleteNeedle();
    void enterDescription();
    void chooseRepeatMode(bool optimize);
    void chooseFormula(int formula);
    void setSwitch(std::array<uint8_t, kMaxBars> GuideBarData::*field, bool value);
    void addRun();
    void deleteRuns();
    void copyDefaults();
    void defaultsByFormula();
    void defaultsByOptimization();

    // Top and bottom selected rows of a grid (the current row without a selection).
    static std::pair<int32_t, int32_t> selectedRows(const QTableWidget *grid);
    Tex *currentTex();
    // Takes `edited` as the current bar when it differs from it, after keeping the design for
    // undo. Returns whether the bar changed.
    bool commitBar(const Tex &edited);
    bool commitRuns(const std::vector<WaleState> &runs);
    // Shows the change and tells the main window.
    void edited();

    DesignHost &m_host;
    TStringTable m_texts;
    // The last cell pressed in either grid (row, column); "&Add" inserts before its row. No
    // press yet: the header row, where Add does nothing.
    std::pair<int32_t, int32_t> m_lastClicked{0, 0};
    // The model of the last "Set Default With Optimization", for the next press.
    RunInModelCache m_runInModel;
};

} // namespace warplon
