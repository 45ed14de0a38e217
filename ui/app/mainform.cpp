#include "app/mainform.h"

#include "app/aboutbox.h"
#include "app/design.h"
#include "app/edition.h"
#include "app/environmentform.h"
#include "app/filemanagerform.h"
#include "app/mainparameters.h"
#include "app/messagebox.h"
#include "app/programsettings.h"
#include "app/progressform.h"
#include "app/recentfiles.h"
#include "app/savedesign.h"
#include "app/toolglyphs.h"
#include "app/viewerform.h"
#include "app/windowprogress.h"
#include "base/progress.h"
#include "capture/captureform.h"
#include "color/colorcatalogs.h"
#include "color/paletteform.h"
#include "color/pfmform.h"
#include "color/usercolorlibform.h"
#include "design/designform.h"
#include "design/guidebarform.h"
#include "knit/designfile.h"
#include "knit/undostore.h"
#include "print/hiddenprintdataform.h"
#include "print/metadataform.h"
#include "print/printform.h"
#include "simulation/costform.h"
#include "simulation/simulationform.h"
#include "simulation/treatmentform.h"
#include "simulation/yarncompositionform.h"
#include "simulation/yarnlistform.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QResizeEvent>
#include <QScrollArea>
#include <QSettings>
#include <QToolButton>
#include <QVBoxLayout>

namespace warplon {

namespace {

// Entries of the "Main" section.
enum MainText : int {
    MainBarSelect = 0,
    MainMenuCaption = 1,
    MainBasic = 2,
    MainSimulationHint = 3,
    MainLoadSaveHint = 4,
    MainGuideBarHint = 5,
    MainTreatmentHint = 6,
    MainCaptureHint = 7,
    MainDesignHint = 9,
    MainBarLabel = 10,
    MainCourseLabel = 11,
    MainGaugeLabel = 12,
    MainCpcLabel = 13,
    MainWidthLabel = 14,
    MainFile = 15,
    MainNew = 16,
    MainOpenSave = 17,
    MainPrint = 18,
    MainExit = 19,
    MainComposition = 20,
    MainAbout = 21,
    MainEnvironment = 22,
    MainReopen = 23,
    MainWindowMenu = 24,
    MainDesignItem = 25,
    MainTreatmentItem = 26,
    MainSimulationItem = 27,
    MainCaptureItem = 28,
    MainInOutItem = 29,
    MainPropertyItem = 30,
    MainYarnListItem = 31,
    MainSaveFirst = 34,
    MainProduction = 35,
    MainCostItem = 36,
    MainPaletteItem = 79,
};
constexpr int kCommonPrintHint = 27;

QToolButton *MakeToolButton(QWidget *parent, const char *name, ToolGlyph glyph)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setFixedSize(30, 30);
    button->setIcon(MakeToolGlyph(glyph));
    button->setIconSize(QSize(24, 24));
    // The buttons sit on black frames.
    button->setStyleSheet(QStringLiteral("QToolButton { border: 1px solid black; }"));
    return button;
}

QMdiSubWindow *AddChild(QMdiArea *area, QWidget *content)
{
    QMdiSubWindow *window = area->addSubWindow(content);
    window->setWindowTitle(content->windowTitle());
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    // The three large windows are minimised and restored, never closed.
    window->setWindowFlags(Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowMinMaxButtonsHint);
    return window;
}

// The production windows float above the frame, each at its own place on the screen.
void MakeStayOnTop(QWidget *window)
{
    window->setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint);
}

} // namespace

TMain::TMain(const QString &programDirectory, QWidget *parent)
    : QMainWindow(parent)
    , m_programDirectory(programDirectory)
{
    setObjectName(QStringLiteral("Main"));
    m_undo = std::make_unique<UndoStore>(m_programDirectory);
    m_ombra = IsOmbra(m_programDirectory);
    setWindowTitle(ProgramCaption(m_ombra));

    const StartSettings start = ReadStartSettings(m_programDirectory);
    m_language = start.language;
    m_fontName = start.fontName;
    m_needleLimit = start.needleLimit;
    m_header.barCount = start.startValues.barCount;
    m_header.courseCount = start.startValues.courseCount;
    m_header.gauge = start.startValues.gauge;
    m_header.coursesPerCm = start.startValues.coursesPerCm;
    m_header.widthInch = start.startValues.widthInch;

    // The interface font's face name goes to this window and every control in it.
    QFont font = QApplication::font();
    font.setFamily(m_fontName);
    QApplication::setFont(font);

    LoadTable(m_common, m_programDirectory, m_language, QStringLiteral("Common"));
    LoadTable(m_message, m_programDirectory, m_language, QStringLiteral("Message"));
    LoadTable(m_main, m_programDirectory, m_language, QStringLiteral("Main"));

    mdiArea = new QMdiArea(this);
    mdiArea->setObjectName(QStringLiteral("MdiArea"));
    setCentralWidget(mdiArea);
    buildMenuPanel();
    buildMenus();
    applyTexts();

    {
        QSettings userKey(QSettings::NativeFormat, QSettings::UserScope,
                          QCoreApplication::organizationName(),
                          QCoreApplication::applicationName());
        userKey.beginGroup(QLatin1String(kProgramVersion));
        m_recentFiles = ReadRecentFiles(userKey);
    }
    rebuildReopenMenu();

    StartNewDocument(m_header, m_document);
    m_currentBar = 0;
    createChildWindows();
    connectParameterEdits();
    RefreshPanel();
    RefreshBarButtons();

    m_splashTimer.setInterval(2000);
    m_splashTimer.setSingleShot(true);
    connect(&m_splashTimer, &QTimer::timeout, this, [this] {
        if (m_splash)
            m_splash->close();
        m_splash = nullptr;
    });
    m_splashTimer.start();
    resize(1200, 800);
}

TMain::~TMain()
{
    m_undo.reset();
    // The palette window reads the catalogues; it goes before them.
    delete m_palette;
    m_palette = nullptr;
    m_catalogs.reset();
    WriteExitSettings(m_programDirectory, m_header, m_needleLimit);
}

void TMain::buildMenuPanel()
{
    MainMenuPanel = new QWidget(this);
    MainMenuPanel->setObjectName(QStringLiteral("MainMenuPanel"));
    MainMenuPanel->setFixedWidth(kMenuPanelWidth);
    MainMenuPanel->setAutoFillBackground(true);
    auto *panel = new QVBoxLayout(MainMenuPanel);
    panel->setContentsMargins(4, 4, 4, 4);

    gbMainMenu = new QGroupBox(MainMenuPanel);
    gbMainMenu->setObjectName(QStringLiteral("gbMainMenu"));
    auto *tools = new QGridLayout(gbMainMenu);
    tools->setSpacing(4);
    sbDesign = MakeToolButton(gbMainMenu, "sbDesign", ToolGlyph::Design);
    sbGuideBar = MakeToolButton(gbMainMenu, "sbGuideBar", ToolGlyph::GuideBar);
    sbSimulation = MakeToolButton(gbMainMenu, "sbSimulation", ToolGlyph::Simulation);
    sbTreatment = MakeToolButton(gbMainMenu, "sbTreatment", ToolGlyph::Treatment);
    sbCapture = MakeToolButton(gbMainMenu, "sbCapture", ToolGlyph::Capture);
    sbLoadSave = MakeToolButton(gbMainMenu, "sbLoadSave", ToolGlyph::LoadSave);
    sbPrint = MakeToolButton(gbMainMenu, "sbPrint", ToolGlyph::Print);
    const QToolButton *firstRow[] = {sbDesign, sbGuideBar, sbSimulation, sbTreatment, sbCapture};
    for (int i = 0; i < 5; ++i)
        tools->addWidget(const_cast<QToolButton *>(firstRow[i]), 0, i);
    tools->addWidget(sbLoadSave, 1, 0);
    tools->addWidget(sbPrint, 1, 1);
    panel->addWidget(gbMainMenu);

    gbBasic = new QGroupBox(MainMenuPanel);
    gbBasic->setObjectName(QStringLiteral("gbBasic"));
    auto *basic = new QGridLayout(gbBasic);
    const auto addEdit = [&](int row, const char *labelName, const char *editName, const char *text,
                             const char *hint) {
        auto *label = new QLabel(gbBasic);
        label->setObjectName(QLatin1String(labelName));
        auto *edit = new QLineEdit(QLatin1String(text), gbBasic);
        edit->setObjectName(QLatin1String(editName));
        if (hint)
            edit->setToolTip(QLatin1String(hint));
        label->setBuddy(edit);
        basic->addWidget(label, row, 0);
        basic->addWidget(edit, row, 1);
        return edit;
    };
    edBar = addEdit(0, "lbBar", "edBar", "2", nullptr);
    edCourse = addEdit(1, "lbCourse", "edCourse", "16", nullptr);
    edMGauge = addEdit(2, "lbmWPI", "edMGauge", "28", "wales / inch");
    edMCPC = addEdit(3, "lbmCPC", "edMCPC", "20", "courses / cm");
    edMWidth = addEdit(4, "lbWidth", "edMWidth", "42", "inch");
    panel->addWidget(gbBasic);

    gbBarSelect = new QGroupBox(MainMenuPanel);
    gbBarSelect->setObjectName(QStringLiteral("gbBarSelect"));
    auto *bars = new QVBoxLayout(gbBarSelect);
    auto *group = new QButtonGroup(this);
    group->setExclusive(true);
    for (int k = 5; k >= 1; --k) {
        auto *button = new QToolButton(gbBarSelect);
        button->setObjectName(QStringLiteral("sbL%1").arg(k));
        button->setText(QStringLiteral("Layer%1").arg(k));
        button->setCheckable(true);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        group->addButton(button, k);
        bars->addWidget(button);
        sbL[size_t(k - 1)] = button;
    }
    sbL[4]->setEnabled(false); // a fifth bar does not exist on these machines
    connect(group, &QButtonGroup::idClicked, this, [this](int k) {
        if (k <= int(m_document.bars.size()))
            selectBar(k - 1);
    });
    panel->addWidget(gbBarSelect);

    MenuStatusBar = new QLabel(MainMenuPanel);
    MenuStatusBar->setObjectName(QStringLiteral("MenuStatusBar"));
    MenuStatusBar->setAlignment(Qt::AlignCenter);
    MenuStatusBar->setFrameShape(QFrame::StyledPanel);
    panel->addWidget(MenuStatusBar);
    panel->addStretch();
    MainMenuPanel->adjustSize();
}

void TMain::buildMenus()
{
    QMenuBar *bar = menuBar();
    const auto add = [this](QMenu *menu, const char *name, int text) {
        QAction *action = menu->addAction(m_main.TextAt(text));
        action->setObjectName(QLatin1String(name));
        return action;
    };
    QMenu *file = bar->addMenu(m_main.TextAt(MainFile));
    file->setObjectName(QStringLiteral("mFile"));
    connect(add(file, "mNew", MainNew), &QAction::triggered, this, &TMain::NewDesign);
    connect(add(file, "mOpenSave", MainOpenSave), &QAction::triggered, this, &TMain::OpenSave);
    mReopen = file->addMenu(m_main.TextAt(MainReopen));
    mReopen->setObjectName(QStringLiteral("mReopen"));
    file->addSeparator();
    connect(add(file, "mPrint", MainPrint), &QAction::triggered, this, &TMain::Print);
    file->addSeparator();
    connect(add(file, "mExit", MainExit), &QAction::triggered, this, &QWidget::close);

    mWindow = bar->addMenu(m_main.TextAt(MainWindowMenu));
    mWindow->setObjectName(QStringLiteral("mWindow"));
    const auto checkable = [&](const char *name, int text) {
        QAction *action = add(mWindow, name, text);
        action->setCheckable(true);
        return action;
    };
    mSimulation = checkable("mSimulation", MainSimulationItem);
    mDesign = checkable("mDesign", MainDesignItem);
    mInOut = checkable("mInOut", MainInOutItem);
    mYarnList = checkable("mYarnList", MainYarnListItem);
    mTreatment = checkable("mTreatment", MainTreatmentItem);
    // Ours: the palette window on its own, to edit the design palette without picking a colour.
    mPalette = checkable("mPalette", MainPaletteItem);
    mCapture = checkable("mCapture", MainCaptureItem);
    connect(mWindow, &QMenu::aboutToShow, this, &TMain::refreshWindowMenu);
    connect(mSimulation, &QAction::triggered, this, [this] { toggleMinimised(simulationWindow); });
    connect(mDesign, &QAction::triggered, this, [this] { toggleMinimised(designWindow); });
    connect(mCapture, &QAction::triggered, this, &TMain::toggleCapture);
    connect(mYarnList, &QAction::triggered, this, [this] { toggleToolWindow(m_yarnList); });
    connect(mInOut, &QAction::triggered, this, [this] { toggleToolWindow(m_guideBar); });
    connect(mPalette, &QAction::triggered, this, [this] { toggleToolWindow(m_palette); });
    connect(mTreatment, &QAction::triggered, this, [this] { toggleToolWindow(m_treatmentForm); });

    QMenu *production = bar->addMenu(m_main.TextAt(MainProduction));
    production->setObjectName(QStringLiteral("mProduction"));
    connect(add(production, "mProperty", MainPropertyItem), &QAction::triggered, this, [this] {
        m_metaData->Refresh(m_header, m_simulation->settings());
        m_metaData->show();
        m_metaData->raise();
    });
    connect(add(production, "mYarn", MainComposition), &QAction::triggered, this,
            [this] { showToolWindow(m_composition); });
    connect(add(production, "mCost", MainCostItem), &QAction::triggered, this,
            [this] { showToolWindow(m_costForm); });

    QMenu *toolMenu = bar->addMenu(QStringLiteral("&Tools"));
    toolMenu->setObjectName(QStringLiteral("mTool"));
    toolMenu->menuAction()->setVisible(false);

    QAction *environment = bar->addAction(m_main.TextAt(MainEnvironment));
    environment->setObjectName(QStringLiteral("mEnvironment"));
    connect(environment, &QAction::triggered, this, [this] {
        m_environment->show();
        m_environment->raise();
    });
    QAction *about = bar->addAction(m_main.TextAt(MainAbout));
    about->setObjectName(QStringLiteral("mAbout"));
    connect(about, &QAction::triggered, this, [this] { m_about->exec(); });

    connect(sbSimulation, &QToolButton::clicked, this,
            [this] { toggleMinimised(simulationWindow); });
    connect(sbDesign, &QToolButton::clicked, this, [this] { toggleMinimised(designWindow); });
    connect(sbCapture, &QToolButton::clicked, this, &TMain::toggleCapture);
    connect(sbLoadSave, &QToolButton::clicked, this, &TMain::OpenSave);
    connect(sbPrint, &QToolButton::clicked, this, &TMain::Print);
    connect(sbTreatment, &QToolButton::clicked, this,
            [this] { toggleToolWindow(m_treatmentForm); });
    connect(sbGuideBar, &QToolButton::clicked, this, [this] { toggleToolWindow(m_guideBar); });
}

void TMain::applyTexts()
{
    gbBarSelect->setTitle(m_main.TextAt(MainBarSelect));
    gbMainMenu->setTitle(m_main.TextAt(MainMenuCaption));
    gbBasic->setTitle(m_main.TextAt(MainBasic));
    sbSimulation->setToolTip(m_main.TextAt(MainSimulationHint));
    sbLoadSave->setToolTip(m_main.TextAt(MainLoadSaveHint));
    sbDesign->setToolTip(m_main.TextAt(MainDesignHint));
    sbGuideBar->setToolTip(m_main.TextAt(MainGuideBarHint));
    sbTreatment->setToolTip(m_main.TextAt(MainTreatmentHint));
    sbCapture->setToolTip(m_main.TextAt(MainCaptureHint));
    sbPrint->setToolTip(m_common.TextAt(kCommonPrintHint));
    const std::pair<const char *, int> labels[] = {{"lbBar", MainBarLabel},
                                                   {"lbCourse", MainCourseLabel},
                                                   {"lbmWPI", MainGaugeLabel},
                                                   {"lbmCPC", MainCpcLabel},
                                                   {"lbWidth", MainWidthLabel}};
    for (const auto &[name, index] : labels) {
        if (auto *label = MainMenuPanel->findChild<QLabel *>(QLatin1String(name)))
            label->setText(m_main.TextAt(index));
    }
}

// The windows in the program's fixed order of creation; those still to come take their places
// between them as they are built.
void TMain::createChildWindows()
{
    m_about = new TAboutBox(m_ombra, this);
    m_viewer = new TViewer_F(m_programDirectory, m_language, this);
    m_environment
        = new TEnvironment(m_programDirectory, m_language, font(), m_needleLimit, m_message, this);
    connect(m_environment, &TEnvironment::interfaceFontChanged, this,
            [](const QFont &chosen) { QApplication::setFont(chosen); });
    m_progress = new TProgress_F(this);
    m_capture = new TCaptureForm(*this);
    captureWindow = AddChild(mdiArea, m_capture);
    // The capture window alone can be closed: that minimises it as its button does.
    captureWindow->setWindowFlag(Qt::WindowCloseButtonHint);
    connect(m_capture, &TCaptureForm::CloseRequested, this, [this] {
        if (!captureWindow->isMinimized())
            toggleCapture();
    });
    m_simulation = new TSimulationForm(*this);
    simulationWindow = AddChild(mdiArea, m_simulation);
    m_design = new TDesignForm(*this);
    // The float limit applies at once, to the chart's marks and the picture's overlay.
    connect(m_environment, &TEnvironment::floatLimitChanged, this, [this](double limit) {
        m_design->SetFloatLimit(limit);
        m_simulation->SetFloatLimit(limit);
    });
    designWindow = AddChild(mdiArea, m_design);
    m_guideBar = new TGuideBar_F(*this, this);
    MakeStayOnTop(m_guideBar);
    m_metaData = new TMetaDataForm(m_programDirectory, m_language, this);
    m_metaData->setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint);
    m_catalogs = std::make_unique<ColorCatalogs>(m_programDirectory);
    m_palette = new TPaletteForm(*this, *m_catalogs, this);
    MakeStayOnTop(m_palette);
    // The palette's own windows are its children, so that they take input while it is the
    // modal colour picker.
    m_palette->SetFileManagerOpener([pfm = new TPFMForm(*this, *m_palette)] { pfm->Open(); });
    m_palette->SetUserColorOpener([userColors = new TUserColorLibForm(*this, *m_palette)] {
        userColors->Refresh();
        userColors->show();
        userColors->raise();
    });
    m_yarnList = new TYarnListForm(*this, this);
    MakeStayOnTop(m_yarnList);
    connect(m_guideBar, &TGuideBar_F::ViewYarnListRequested, this,
            [this] { toggleToolWindow(m_yarnList); });
    m_composition = new TYarnCompositionData_F(*this, this);
    MakeStayOnTop(m_composition);
    m_treatmentForm = new TTreatment_F(*this, this);
    MakeStayOnTop(m_treatmentForm);
    m_costForm = new TCost_F(*this, this);
    MakeStayOnTop(m_costForm);

    // A design file dropped on any of the program's windows opens.
    for (QWidget *window :
         {static_cast<QWidget *>(this), static_cast<QWidget *>(m_viewer),
          static_cast<QWidget *>(m_metaData), static_cast<QWidget *>(m_palette),
          static_cast<QWidget *>(m_guideBar), static_cast<QWidget *>(m_yarnList),
          static_cast<QWidget *>(m_composition), static_cast<QWidget *>(m_treatmentForm),
          static_cast<QWidget *>(m_costForm)}) {
        window->setAcceptDrops(true);
        window->installEventFilter(this);
    }
}

DesignParameters TMain::parameters()
{
    return DesignParameters{m_header, m_document, m_undo.get(), m_currentBar};
}

void TMain::connectParameterEdits()
{
    connect(edBar, &QLineEdit::returnPressed, this, [this] {
        const std::optional<int32_t> value = ParseInteger(edBar->text());
        if (!value) {
            ShowConversionError(this, edBar->text(), true);
            return;
        }
        QString shown;
        const bool changed = EnterBarCount(*value, parameters(), shown);
        edBar->setText(shown);
        edCourse->setFocus();
        if (changed) {
            SetModified(true);
            RefreshBarButtons();
            refreshProductionWindows(nullptr);
        }
    });
    connect(edCourse, &QLineEdit::returnPressed, this, [this] {
        if (edCourse->text().isEmpty())
            return;
        const std::optional<int32_t> value = ParseInteger(edCourse->text());
        if (!value) {
            ShowConversionError(this, edCourse->text(), true);
            return;
        }
        EnterCourseCount(*value, parameters());
        SetModified(true);
        m_design->Refresh();
        refreshProductionWindows(nullptr);
        edMGauge->setFocus();
    });
    // The gauge and the courses per cm are read together, from both edits.
    const auto readDensities = [this]() -> bool {
        const std::optional<int32_t> gauge = ParseInteger(edMGauge->text());
        if (!gauge) {
            ShowConversionError(this, edMGauge->text(), true);
            return false;
        }
        const std::optional<double> cpc = ParseDecimal(edMCPC->text());
        if (!cpc) {
            ShowConversionError(this, edMCPC->text(), false);
            return false;
        }
        m_header.gauge = *gauge;
        m_header.coursesPerCm = *cpc;
        return true;
    };
    connect(edMGauge, &QLineEdit::returnPressed, this, [this, readDensities] {
        if (!readDensities())
            return;
        m_simulation->RecomputeSize();
        FinishedFabricChanged();
        edMCPC->setFocus();
    });
    connect(edMCPC, &QLineEdit::returnPressed, this, [this, readDensities] {
        if (!readDensities())
            return;
        FinishedFabricChanged();
        edMWidth->setFocus();
    });
    connect(edMWidth, &QLineEdit::returnPressed, this, [this] {
        if (edMWidth->text().isEmpty())
            return;
        const std::optional<double> width = ParseDecimal(edMWidth->text());
        if (!width) {
            ShowConversionError(this, edMWidth->text(), false);
            return;
        }
        QString shown;
        m_header.widthInch = CorrectedWidth(*width, &shown);
        if (!shown.isEmpty())
            edMWidth->setText(shown);
        m_simulation->RecomputeSize();
        FinishedFabricChanged();
    });
}

void TMain::RefreshPanel()
{
    edBar->setText(QString::number(m_header.barCount));
    edCourse->setText(QString::number(m_header.courseCount));
    edMGauge->setText(QString::number(m_header.gauge));
    edMCPC->setText(PanelNumber(m_header.coursesPerCm));
    edMWidth->setText(PanelNumber(m_header.widthInch));
    MenuStatusBar->setText(QFileInfo(QString::fromLocal8Bit(m_header.fileName)).fileName());
    noteRecentFile(QString::fromLocal8Bit(m_header.fileName));
}

void TMain::noteRecentFile(const QString &path)
{
    const QStringList updated = UpdateRecentFiles(m_recentFiles, path);
    if (updated == m_recentFiles)
        return;
    m_recentFiles = updated;
    QSettings userKey(QSettings::NativeFormat, QSettings::UserScope,
                      QCoreApplication::organizationName(), QCoreApplication::applicationName());
    userKey.beginGroup(QLatin1String(kProgramVersion));
    WriteRecentFiles(userKey, m_recentFiles);
    rebuildReopenMenu();
}

void TMain::rebuildReopenMenu()
{
    mReopen->clear();
    for (const QString &path : std::as_const(m_recentFiles)) {
        QAction *item = mReopen->addAction(RecentFileCaption(path));
        item->setData(path);
        connect(item, &QAction::triggered, this, [this, path] {
            if (!path.isEmpty())
                OpenAfterQuestion(path);
        });
    }
    mReopen->setEnabled(!m_recentFiles.isEmpty());
}

void TMain::SetModified(bool modified)
{
    m_modified = modified;
    setWindowTitle(ProgramCaption(m_ombra) + (modified ? QStringLiteral(" *") : QString()));
}

bool TMain::saveChangesFirst()
{
    if (!m_modified)
        return true;
    const QMessageBox::StandardButton answer = ShowMessage(
        this, QMessageBox::Question, ProgramCaption(m_ombra), m_main.TextAt(MainSaveFirst),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::No)
        return true;
    if (answer == QMessageBox::Yes)
        return OpenSave(); // leaving the dialog without saving keeps the design, so stop
    return false;
}

void TMain::NewDesign()
{
    if (!saveChangesFirst())
        return;
    StartNewDocument(m_header, m_document);
    m_header.fileName.clear();
    m_header.note1.clear();
    m_header.note2.clear();
    m_header.note3.clear();
    m_currentBar = std::max(m_header.barCount - 1, 0);
    RefreshBarButtons();
    m_design->Refresh();
    m_simulation->ResetForNewDesign();
    m_guideBar->ResetSettings();
    m_treatment.Reset();
    refreshProductionWindows(nullptr);
    m_metaData->ResetRecord();
    m_metaData->Refresh(m_header, m_simulation->settings());
    m_costForm->ResetForNewDesign();
    RefreshPanel();
    m_undo->Clear();
    if (sbL[0]->isEnabled())
        sbL[0]->click();
    SetModified(false);
}

bool TMain::OpenSave()
{
    TFileManagerForm dialog(m_programDirectory, m_language, this);
    FileManagerCallbacks callbacks;
    callbacks.load = [this](const QString &path) { return OpenDesign(path); };
    callbacks.completeName = &CompleteDesignName;
    callbacks.save
        = [this](const QString &path, int compression) { return SaveDesignTo(path, compression); };
    dialog.SetCallbacks(std::move(callbacks));
    m_savedFromDialog = false;
    dialog.exec();
    return m_savedFromDialog;
}

bool TMain::SaveDesignTo(const QString &path, int compression)
{
    QString error;
    const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    const QByteArray previous = m_header.fileName;
    if (!SaveDesignWithSimulation(clean, records(), uint8_t(compression), QSize(800, 600), 1,
                                  &error)) {
        m_header.fileName = previous;
        ShowMessage(this, QMessageBox::Warning, ProgramCaption(m_ombra),
                    error.isEmpty() ? clean : error);
        return false;
    }
    m_header.fileName = clean.toLocal8Bit();
    m_savedFromDialog = true;
    SetModified(false);
    RefreshPanel();
    return true;
}

bool TMain::OpenAfterQuestion(const QString &path)
{
    if (!QFileInfo::exists(path)) {
        ShowMessage(this, QMessageBox::Warning, ProgramCaption(m_ombra),
                    QStringLiteral("%1\n%2").arg(path, LoadFailureMessage(LoadResult::Unreadable)));
        return false;
    }
    if (m_modified
        && ShowMessage(this, QMessageBox::Question, ProgramCaption(m_ombra), m_message.TextAt(75),
                       QMessageBox::Ok | QMessageBox::Cancel)
               != QMessageBox::Ok)
        return false;
    return OpenDesign(path);
}

QString TMain::DroppedDesign(const QMimeData *data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1)
        return {};
    const QUrl url = data->urls().constFirst();
    const QString path = url.toLocalFile();
    return url.isLocalFile() && path.endsWith(QLatin1String(".trc"), Qt::CaseInsensitive)
               ? path
               : QString();
}

bool TMain::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDragMoveEvent *>(event);
        if (DroppedDesign(drag->mimeData()).isEmpty())
            drag->ignore();
        else
            drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        const QString path = DroppedDesign(drop->mimeData());
        if (path.isEmpty())
            return true;
        drop->acceptProposedAction();
        // Dropping always asks: the file replaces whatever is open.
        if (ShowMessage(this, QMessageBox::Question, ProgramCaption(m_ombra), m_message.TextAt(75),
                        QMessageBox::Ok | QMessageBox::Cancel)
            == QMessageBox::Ok)
            OpenDesign(path);
        return true;
    }
    default:
        return QMainWindow::eventFilter(watched, event);
    }
}

void TMain::closeEvent(QCloseEvent *event)
{
    if (saveChangesFirst())
        event->accept();
    else
        event->ignore();
}

void TMain::RefreshBarButtons()
{
    const BarButtons buttons
        = warplon::RefreshBarButtons(int32_t(m_document.bars.size()), m_currentBar);
    for (size_t k = 0; k < 4; ++k)
        sbL[k]->setEnabled(buttons.enabled[k]);
    sbL[size_t(buttons.pressed)]->setChecked(true);
    if (m_design)
        m_design->Refresh();
    if (m_guideBar)
        m_guideBar->Refresh();
}

void TMain::selectBar(int32_t bar)
{
    m_currentBar = bar;
    sbL[size_t(bar)]->setChecked(true);
    m_design->SelectLayer(bar);
    m_guideBar->Refresh();
    m_capture->RefreshLapping();
    if (m_treatmentForm->isVisible())
        m_treatmentForm->Refresh();
}

void TMain::toggleMinimised(QMdiSubWindow *window)
{
    if (window->isMinimized())
        window->showNormal();
    else
        window->showMinimized();
}

void TMain::toggleCapture()
{
    toggleMinimised(captureWindow);
    WriteCaptureVisible(m_programDirectory, !captureWindow->isMinimized());
    TileWindows();
}

void TMain::refreshWindowMenu()
{
    const auto normal = [](QMdiSubWindow *w) { return !w->isMinimized() && !w->isMaximized(); };
    mSimulation->setChecked(normal(simulationWindow));
    mDesign->setChecked(normal(designWindow));
    mCapture->setChecked(normal(captureWindow));
    mInOut->setChecked(m_guideBar->isVisible());
    mYarnList->setChecked(m_yarnList->isVisible());
    mTreatment->setChecked(m_treatmentForm->isVisible());
    mPalette->setChecked(m_palette->isVisible());
}

void TMain::toggleToolWindow(QWidget *window)
{
    if (window->isMinimized())
        window->showNormal();
    else if (window->isVisible())
        window->hide();
    else
        showToolWindow(window);
}

void TMain::showToolWindow(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

void TMain::TileWindows()
{
    const QSize client = mdiArea->size();
    MainMenuPanel->move(width() - MainMenuPanel->width(), menuBar()->height());
    MainMenuPanel->raise();
    const ChildTiling tiling = TileChildren(client, ReadCaptureVisible(m_programDirectory));
    const auto place = [](QMdiSubWindow *window, const QRect &rect) {
        if (window && !window->isMinimized())
            window->setGeometry(rect);
    };
    place(captureWindow, tiling.capture);
    place(simulationWindow, tiling.simulation);
    place(designWindow, tiling.design);
}

DesignRecords TMain::records()
{
    return DesignRecords{m_header,
                         m_metaData->record(),
                         m_document,
                         m_treatment,
                         m_guideBars,
                         m_simulation->settings(),
                         m_simulation->picture(),
                         m_design->data(),
                         m_cost,
                         m_currentBar};
}

bool TMain::OpenDesign(const QString &fileName)
{
    const LoadResult result = LoadDesign(fileName, records());
    if (result != LoadResult::Loaded) {
        ShowMessage(this, QMessageBox::Warning, windowTitle(),
                    QStringLiteral("%1\n%2").arg(fileName, LoadFailureMessage(result)));
        return false;
    }
    // The design now belongs to the file it came from, wherever the file says it was saved.
    m_header.fileName = QDir::cleanPath(QFileInfo(fileName).absoluteFilePath()).toLocal8Bit();
    m_currentBar = 0;
    m_undo->Clear();
    RefreshAllWindows();
    SetModified(false);
    return true;
}

void TMain::RefreshAllWindows()
{
    RefreshPanel();
    m_simulation->Refresh();
    m_metaData->Refresh(m_header, m_simulation->settings());
    // The bar buttons refresh the design window and the guide-bar editor; the rest follow.
    RefreshBarButtons();
    refreshProductionWindows(m_guideBar);
}

void TMain::Print()
{
    // The report holder keeps the printer set-up from the first print to the end of the run.
    if (!m_printData)
        m_printData = new THiddenPrintDataForm(this);
    m_metaData->StoreEdits();
    const PrintContext context{m_metaData->record(), m_simulation->picture().image(),
                               m_design->data().chartBackground, m_ombra,
                               m_simulation->scrollBox->viewport()->size()};
    TPrintForm form(*this, *m_printData, context, this);
    form.exec();
}

void TMain::RunSimulation()
{
    m_simulation->RunSimulation();
}

void TMain::SetSplash(QWidget *splash)
{
    m_splash = splash;
}

void TMain::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    TileWindows();
}

void TMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_firstShow)
        return;
    m_firstShow = false;
    for (QMdiSubWindow *window : {captureWindow, simulationWindow, designWindow})
        window->showNormal();
    if (!ReadCaptureVisible(m_programDirectory))
        captureWindow->showMinimized();
    TileWindows();
}

std::unique_ptr<WindowProgress> TMain::StartProgress(const QString &title, QWidget *anchor)
{
    return std::make_unique<WindowProgress>(*m_progress, title, anchor);
}

void TMain::ShowInViewer(const QImage &picture)
{
    m_viewer->Fill(picture);
}

void TMain::UpdateAllWindows()
{
    update();
    for (QMdiSubWindow *window : mdiArea->subWindowList())
        window->update();
    for (QWidget *window :
         {static_cast<QWidget *>(m_yarnList), static_cast<QWidget *>(m_treatmentForm),
          static_cast<QWidget *>(m_composition)})
        window->update();
}

void TMain::FinishedFabricChanged()
{
    SetModified(true);
    m_simulation->DesignChanged();
    if (m_composition->isVisible())
        m_composition->Refresh();
    if (m_costForm->isVisible())
        m_costForm->Refresh();
}

std::optional<TColor> TMain::PickColor(std::optional<TColor> current)
{
    return m_palette->PickColor(current);
}

SimulationSettings &TMain::simulationSettings()
{
    return m_simulation->settings();
}

void TMain::PushUndo()
{
    m_undo->Push(m_document);
    SetModified(true);
}

void TMain::DesignEdited(QWidget *source)
{
    if (source)
        SetModified(true);
    if (m_design && m_design != source)
        m_design->Refresh();
    refreshProductionWindows(source);
}

void TMain::refreshProductionWindows(QWidget *source)
{
    if (m_guideBar && m_guideBar != source && m_guideBar->isVisible())
        m_guideBar->Refresh();
    // The capture window draws the current bar's lapping through its grid.
    if (m_capture && m_capture != source)
        m_capture->RefreshLapping();
    // In live mode the picture follows.
    if (m_simulation)
        m_simulation->DesignChanged();
    if (m_yarnList && m_yarnList != source && m_yarnList->isVisible())
        m_yarnList->Refresh();
    if (m_composition && m_composition != source && m_composition->isVisible())
        m_composition->Refresh();
    if (m_treatmentForm && m_treatmentForm != source && m_treatmentForm->isVisible())
        m_treatmentForm->Refresh();
    // The cost sheet prices the yarns and their composition.
    if (m_costForm && m_costForm != source && m_costForm->isVisible())
        m_costForm->Refresh();
}

} // namespace warplon
