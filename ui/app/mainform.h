#pragma once

#include "app/design.h"
#include "app/designhost.h"
#include "app/mainparameters.h"
#include "knit/records.h"
#include "knit/treatmentdata.h"
#include "text/stringtable.h"

#include <QMainWindow>
#include <QTimer>

#include <array>
#include <memory>

class QGroupBox;
class QLabel;
class QLineEdit;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QMimeData;
class QStatusBar;
class QToolButton;

namespace warplon {

class TAboutBox;
class TCaptureForm;
class THiddenPrintDataForm;
class TCost_F;
class TDesignForm;
class TEnvironment;
class TGuideBar_F;
class TMetaDataForm;
class TPaletteForm;
class TProgress_F;
class TSimulationForm;
class TTreatment_F;
class TViewer_F;
class TYarnCompositionData_F;
class TYarnListForm;
class UndoStore;
struct ColorCatalogs;

// The main window: an MDI frame holding the capture, simulation and design windows, with the
// menu panel (tool buttons, the five design parameters and the bar buttons) at its top right.
// It owns the open design, its header and the undo store; every other window reaches the design
// through it.
class TMain : public QMainWindow, public DesignHost
{
    Q_OBJECT

public:
    explicit TMain(const QString &programDirectory, QWidget *parent = nullptr);
    ~TMain() override;

    // DesignHost
    MainData &header() override { return m_header; }
    TexLayer &document() override { return m_document; }
    GuideBarData &guideBars() override { return m_guideBars; }
    TreatmentData &treatment() override { return m_treatment; }
    int32_t currentBar() const override { return m_currentBar; }
    SimulationSettings &simulationSettings() override;
    CostData &cost() override { return m_cost; }
    void PushUndo() override;
    UndoStore &undoStore() override { return *m_undo; }
    void DesignEdited(QWidget *source) override;
    QString programDirectory() const override { return m_programDirectory; }
    QString language() const override { return m_language; }
    const TStringTable &commonTable() const override { return m_common; }
    const TStringTable &messageTable() const override { return m_message; }
    const TStringTable &mainTable() const override { return m_main; }
    std::unique_ptr<WindowProgress> StartProgress(const QString &title, QWidget *anchor) override;
    TProgress_F *progressForm() override { return m_progress; }
    void ShowInViewer(const QImage &picture) override;
    void UpdateAllWindows() override;
    void FinishedFabricChanged() override;
    std::optional<TColor> PickColor(std::optional<TColor> current) override;

    UndoStore &undo() { return *m_undo; }
    int32_t needleLimit() const { return m_needleLimit; }
    bool isOmbra() const { return m_ombra; }
    TSimulationForm *simulation() const { return m_simulation; }
    TCaptureForm *capture() const { return m_capture; }
    TDesignForm *design() const { return m_design; }
    TGuideBar_F *guideBarWindow() const { return m_guideBar; }
    TMetaDataForm *metaData() const { return m_metaData; }
    TViewer_F *viewer() const { return m_viewer; }
    TProgress_F *progressWindow() const { return m_progress; }
    TYarnListForm *yarnList() const { return m_yarnList; }
    TYarnCompositionData_F *composition() const { return m_composition; }
    TTreatment_F *treatmentWindow() const { return m_treatmentForm; }
    TCost_F *costWindow() const { return m_costForm; }
    TPaletteForm *paletteWindow() const { return m_palette; }

    // The panel shows the design parameters and the current file's name.
    void RefreshPanel();
    // Enables the buttons of existing bars and presses the current bar's.
    void RefreshBarButtons();
    // Places the menu panel and the three large windows.
    void TileWindows();
    // The records of the open design, from their owners, as the design file reads and writes
    // them.
    DesignRecords records();
    // Loads a design file in place of the open design and refreshes every window; a refused
    // load keeps the open design and says why.
    bool OpenDesign(const QString &fileName);
    // Every window shows the design anew (after a load).
    void RefreshAllWindows();
    // Runs the simulation window's simulation as its run button does.
    void RunSimulation();
    // The print command: the print window, modal, for one sheet.
    void Print();
    THiddenPrintDataForm *printData() const { return m_printData; }

    // The document commands of the File menu. New asks first when the design has unsaved
    // changes (Yes opens the Open/Save dialog and goes on only after a save); OpenSave shows the
    // file manager and returns whether a design was saved from it.
    void NewDesign();
    bool OpenSave();
    // Saves the design to a path as the file manager's save does; false after a message.
    bool SaveDesignTo(const QString &path, int compression);
    // Opens a recent file, a dropped file or a file named on the command line, after the
    // question that the open design would be replaced when it has unsaved changes.
    bool OpenAfterQuestion(const QString &path);
    // The recent files, most recent first, as the Reopen menu lists them.
    QStringList recentFiles() const { return m_recentFiles; }
    // True while the design has changes that no save holds.
    bool isModified() const { return m_modified; }
    void SetModified(bool modified);
    // The splash to close when the start-up timer fires.
    void SetSplash(QWidget *splash);

    // Controls, named as the program has always named them.
    QWidget *MainMenuPanel = nullptr;
    QGroupBox *gbMainMenu = nullptr;
    QGroupBox *gbBasic = nullptr;
    QGroupBox *gbBarSelect = nullptr;
    QToolButton *sbDesign = nullptr;
    QToolButton *sbGuideBar = nullptr;
    QToolButton *sbSimulation = nullptr;
    QToolButton *sbTreatment = nullptr;
    QToolButton *sbCapture = nullptr;
    QToolButton *sbLoadSave = nullptr;
    QToolButton *sbPrint = nullptr;
    QLineEdit *edBar = nullptr;
    QLineEdit *edCourse = nullptr;
    QLineEdit *edMGauge = nullptr;
    QLineEdit *edMCPC = nullptr;
    QLineEdit *edMWidth = nullptr;
    std::array<QToolButton *, 5> sbL{}; // sbL[0] is "Layer1" … sbL[4] "Layer5"
    QLabel *MenuStatusBar = nullptr;
    QMenu *mWindow = nullptr;
    QMdiArea *mdiArea = nullptr;
    QMdiSubWindow *captureWindow = nullptr;
    QMdiSubWindow *simulationWindow = nullptr;
    QMdiSubWindow *designWindow = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildMenuPanel();
    void buildMenus();
    void applyTexts();
    void createChildWindows();
    void connectParameterEdits();
    void selectBar(int32_t bar);
    void toggleMinimised(QMdiSubWindow *window);
    void toggleCapture();
    // A stay-on-top window: minimised → normal, else visible ↔ hidden.
    void toggleToolWindow(QWidget *window);
    void showToolWindow(QWidget *window);
    // The windows that show the design's yarns, threading and course flags, each refreshed
    // only while it is visible.
    void refreshProductionWindows(QWidget *source);
    void refreshWindowMenu();
    DesignParameters parameters();
    // The Reopen menu from the recent files; the list after a load, New or save.
    void rebuildReopenMenu();
    void noteRecentFile(const QString &path);
    // Asks Main 34 when there are unsaved changes: true when the caller may go on (nothing to
    // lose, No, or Yes followed by a save).
    bool saveChangesFirst();
    // A design file in a drag or drop: its path, or empty.
    static QString DroppedDesign(const QMimeData *data);

    QString m_programDirectory;
    QString m_language;
    QString m_fontName;
    int32_t m_needleLimit = 150;
    bool m_ombra = false;
    bool m_firstShow = true;
    bool m_modified = false;
    bool m_savedFromDialog = false;
    QStringList m_recentFiles;
    QMenu *mReopen = nullptr;

    TStringTable m_common;
    TStringTable m_message;
    TStringTable m_main;

    MainData m_header;
    TexLayer m_document;
    std::unique_ptr<UndoStore> m_undo;
    int32_t m_currentBar = 0;
    // Held here until the guide-bar editor owns them. The treatment and cost records are edited
    // by their windows through the host.
    GuideBarData m_guideBars;
    TreatmentData m_treatment;
    CostData m_cost;
    std::unique_ptr<ColorCatalogs> m_catalogs;

    TAboutBox *m_about = nullptr;
    TViewer_F *m_viewer = nullptr;
    TEnvironment *m_environment = nullptr;
    TProgress_F *m_progress = nullptr;
    TMetaDataForm *m_metaData = nullptr;
    TSimulationForm *m_simulation = nullptr;
    TCaptureForm *m_capture = nullptr;
    THiddenPrintDataForm *m_printData = nullptr; // made at the first print
    TDesignForm *m_design = nullptr;
    TGuideBar_F *m_guideBar = nullptr;
    TPaletteForm *m_palette = nullptr;
    TYarnListForm *m_yarnList = nullptr;
    TYarnCompositionData_F *m_composition = nullptr;
    TTreatment_F *m_treatmentForm = nullptr;
    TCost_F *m_costForm = nullptr;
    QTimer m_splashTimer;
    QWidget *m_splash = nullptr;

    QAction *mSimulation = nullptr;
    QAction *mDesign = nullptr;
    QAction *mCapture = nullptr;
    QAction *mInOut = nullptr;
    QAction *mYarnList = nullptr;
    QAction *mTreatment = nullptr;
    QAction *mPalette = nullptr;
};

} // namespace warplon
