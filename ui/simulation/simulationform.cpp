#include "simulation/simulationform.h"

#include "app/designhost.h"
#include "app/messagebox.h"
#include "app/picturedialog.h"
#include "app/programsettings.h"
#include "app/progressform.h"
#include "app/toolglyphs.h"
#include "app/windowprogress.h"
#include "base/progress.h"
#include "base/randomsource.h"
#include "knit/floats.h"
#include "knit/tricot.h"
#include "simulation/floatoverlay.h"
#include "simulation/livesimulation.h"
#include "simulation/loomview.h"
#include "simulation/simulationadvsetform.h"
#include "simulation/simulationrun.h"
#include "simulation/simulationtexts.h"
#include "simulation/zoommenu.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QRandomGenerator>
#include <QRegularExpressionValidator>
#include <QScrollArea>
#include <QShortcut>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace warplon {

namespace {

// The run's passes shown in the progress window with the window's own words.
class StageTitles : public Progress
{
public:
    StageTitles(std::unique_ptr<WindowProgress> window, const TStringTable &texts)
        : m_window(std::move(window))
        , m_texts(texts)
    {}
    void SetPercent(int32_t percent) override
    {
        if (m_window)
            m_window->SetPercent(percent);
    }
    bool StopRequested() const override { return m_window && m_window->StopRequested(); }
    void BeginStage(int32_t stage) override
    {
        static constexpr int kMessages[]
            = {SimBuildMessage,  SimRelaxMessage,  SimPaintMessage,
               SimEffectMessage, SimReliefMessage, SimTreatmentMessage};
        if (m_window && stage >= 0 && stage < int32_t(std::size(kMessages)))
            m_window->Step(m_texts.TextAt(kMessages[stage]));
    }

private:
    std::unique_ptr<WindowProgress> m_window;
    const TStringTable &m_texts;
};

QColor ToQColor(int32_t color)
{
    return QColor(color & 0xff, (color >> 8) & 0xff, (color >> 16) & 0xff);
}

QLineEdit *AddEdit(QHBoxLayout *row, QWidget *parent, const QString &label, const char *name,
                   int width)
{
    row->addWidget(new QLabel(label, parent));
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setFixedWidth(width);
    row->addWidget(edit);
    return edit;
}

} // namespace

TSimulationForm::TSimulationForm(DesignHost &host, QWidget *parent)
    : QWidget(parent)
    , m_host(host)
{
    setObjectName(QStringLiteral("SimulationForm"));
    LoadTable(m_texts, host.programDirectory(), host.language(), QStringLiteral("Simulation"));
    LoadTable(m_advancedTexts, host.programDirectory(), host.language(),
              QStringLiteral("Simulation Adv"));
    setWindowTitle(m_texts.TextAt(SimCaption));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    // Two rows of controls above the picture: the run and the sizes, then the look.
    auto *row = new QHBoxLayout;
    layout->addLayout(row);

    sbSimulation = new QToolButton(this);
    sbSimulation->setObjectName(QStringLiteral("sbSimulation"));
    sbSimulation->setIcon(MakeToolGlyph(ToolGlyph::Simulation));
    sbSimulation->setToolTip(m_texts.TextAt(SimRunHint));
    row->addWidget(sbSimulation);

    edZoom = AddEdit(row, this, m_texts.TextAt(SimZoomLabel), "edZoom", 44);
    // The zoom takes digits and one decimal point only.
    edZoom->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]*\\.?[0-9]*")), edZoom));
    edSWidth = AddEdit(row, this, m_texts.TextAt(SimWidthLabel), "edSWidth", 52);
    edSWidth->setToolTip(QStringLiteral("inch"));
    edSCPC = AddEdit(row, this, m_texts.TextAt(SimDensityLabel), "edSCPC", 44);
    edSCPC->setToolTip(QStringLiteral("courses / cm"));
    row->addStretch();

    auto *look = new QHBoxLayout;
    layout->addLayout(look);
    edFuzz = AddEdit(look, this, m_texts.TextAt(SimScatterLabel), "edFuzz", 32);
    cbBack = new QCheckBox(m_texts.TextAt(SimBackView), this);
    cbBack->setObjectName(QStringLiteral("cbBack"));
    look->addWidget(cbBack);

    look->addWidget(new QLabel(m_texts.TextAt(SimBackground), this));
    spBGColor = new QFrame(this);
    spBGColor->setObjectName(QStringLiteral("spBGColor"));
    spBGColor->setFixedSize(22, 18);
    spBGColor->setFrameShape(QFrame::Box);
    spBGColor->setAutoFillBackground(true);
    spBGColor->setCursor(Qt::PointingHandCursor);
    spBGColor->installEventFilter(this);
    look->addWidget(spBGColor);

    sbAdvanced = new QToolButton(this);
    sbAdvanced->setObjectName(QStringLiteral("sbAdvanced"));
    sbAdvanced->setText(m_texts.TextAt(SimAdvanced));
    look->addWidget(sbAdvanced);
    look->addStretch();

    scrollBox = new QScrollArea(this);
    scrollBox->setObjectName(QStringLiteral("ScrollBox"));
    scrollBox->setBackgroundRole(QPalette::Dark);
    Image = new QLabel;
    Image->setObjectName(QStringLiteral("Image"));
    Image->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    scrollBox->setWidget(Image);
    scrollBox->setWidgetResizable(false);
    // A live picture covers the view: a larger view takes a new run.
    scrollBox->viewport()->installEventFilter(this);
    layout->addWidget(scrollBox, 1);

    m_advanced = new TSimulationAdvSetForm(m_settings, m_advancedTexts, this);
    m_advanced->hide();
    connect(m_advanced, &TSimulationAdvSetForm::settingChanged, this,
            &TSimulationForm::DesignChanged);

    connect(sbSimulation, &QToolButton::clicked, this, [this] { RunSimulation(); });
    connect(edZoom, &QLineEdit::returnPressed, this, [this] { RunSimulation(); });
    connect(edSWidth, &QLineEdit::returnPressed, this, [this] {
        if (RunSimulation())
            m_host.FinishedFabricChanged();
        edSCPC->setFocus();
    });
    connect(edSCPC, &QLineEdit::returnPressed, this, [this] {
        if (RunSimulation())
            m_host.FinishedFabricChanged();
    });
    connect(edFuzz, &QLineEdit::returnPressed, this, [this] { RunSimulation(true); });
    // A click on the check box runs once the button is released.
    connect(cbBack, &QCheckBox::clicked, this, [this] { RunSimulation(); });
    connect(sbAdvanced, &QToolButton::clicked, this,
            [this] { m_advanced->setVisible(!m_advanced->isVisible()); });
    auto *copy = new QShortcut(QKeySequence::Copy, this);
    copy->setContext(Qt::WidgetWithChildrenShortcut);
    connect(copy, &QShortcut::activated, this, [this] {
        if (m_picture.IsAllocated())
            CopyPicture();
    });

    m_progressDelay = new QTimer(this);
    m_progressDelay->setSingleShot(true);
    m_progressDelay->setInterval(500);
    connect(m_progressDelay, &QTimer::timeout, this, [this] {
        TProgress_F *window = m_host.progressForm();
        if (window && m_live && m_live->busy()) {
            window->Step(m_texts.TextAt(SimBuildMessage));
            window->show();
            m_progressShown = true;
        }
    });
    m_liveSeed = QRandomGenerator::global()->generate64();

    m_floatLimit = ReadFloatLimit(host.programDirectory());
    m_showFloats = ReadShowFloats(host.programDirectory());
    showSettings();
    SetLive(ReadLiveSimulation(host.programDirectory()));
}

// The worker stops its run and ends before the window's picture and settings go.
TSimulationForm::~TSimulationForm()
{
    m_live.reset();
}

void TSimulationForm::SetLive(bool live)
{
    if (live == this->live())
        return;
    if (!live) {
        m_live.reset();
        endLiveProgress();
        return;
    }
    m_live = std::make_unique<LiveSimulation>(
        [this] { return takeSnapshot(); },
        [this](std::shared_ptr<SimulationOutcome> outcome) { liveFinished(std::move(outcome)); });
    m_live->SetProgressHandler(
        [this](int32_t stage, int32_t percent) { liveProgress(stage, percent); });
    // The picture of the design as it is now, without waiting for an edit.
    DesignChanged();
}

void TSimulationForm::DesignChanged()
{
    if (!m_live)
        return;
    m_live->Changed();
    if (!m_progressDelay->isActive() && !m_progressShown)
        m_progressDelay->start();
}

SimulationSnapshot TSimulationForm::takeSnapshot() const
{
    return TakeSimulationSnapshot(m_host.header(), m_host.document(), m_host.guideBars(),
                                  m_host.treatment(), m_settings, m_host.currentBar(),
                                  scrollBox->viewport()->size(), m_liveSeed);
}

void TSimulationForm::liveFinished(std::shared_ptr<SimulationOutcome> outcome)
{
    endLiveProgress();
    if (!outcome->made) {
        // Live runs follow every keystroke: their failures are shown, not announced.
        scrollBox->setToolTip(outcome->error);
        return;
    }
    scrollBox->setToolTip(QString());
    m_picture = std::move(outcome->picture);
    const SimulationSettings &done = outcome->settings;
    m_settings.walesPerInch = done.walesPerInch;
    m_settings.pxPerWale = done.pxPerWale;
    m_settings.pxPerCourse = done.pxPerCourse;
    m_settings.repeatsAcross = done.repeatsAcross;
    m_settings.repeatsDown = done.repeatsDown;
    ProgramDirectionMemory() = outcome->directions;
    showPicture();
}

void TSimulationForm::liveProgress(int32_t stage, int32_t percent)
{
    TProgress_F *window = m_host.progressForm();
    if (!m_progressShown || !window)
        return;
    static constexpr int kStageTexts[] = {SimBuildMessage,  SimRelaxMessage,  SimPaintMessage,
                                          SimEffectMessage, SimReliefMessage, SimTreatmentMessage};
    if (percent == 0 && stage >= 0 && stage < int32_t(std::size(kStageTexts)))
        window->Step(m_texts.TextAt(kStageTexts[stage]));
    window->SetPercent(percent);
}

void TSimulationForm::endLiveProgress()
{
    m_progressDelay->stop();
    if (m_progressShown) {
        if (TProgress_F *window = m_host.progressForm())
            window->hide();
        m_progressShown = false;
    }
}

void TSimulationForm::showSettings()
{
    const SimulationEdits edits = EditsFromSettings(m_settings);
    edZoom->setText(edits.zoom);
    edSWidth->setText(edits.width);
    edSCPC->setText(edits.density);
    edFuzz->setText(edits.fuzz);
    cbBack->setChecked(m_settings.backView != 0);
    setBackgroundColor(m_settings.backgroundColor);
    m_advanced->LoadFromSettings();
}

void TSimulationForm::setBackgroundColor(int32_t color)
{
    m_settings.backgroundColor = color;
    QPalette palette = spBGColor->palette();
    palette.setColor(QPalette::Window, ToQColor(color));
    spBGColor->setPalette(palette);
}

bool TSimulationForm::readEdits(bool clampFuzz)
{
    SimulationEdits edits{edZoom->text(), edSWidth->text(), edSCPC->text(), edFuzz->text()};
    QString error;
    if (!ReadSimulationEdits(edits, m_settings, clampFuzz, &error)) {
        ShowMessage(this, QMessageBox::Critical, windowTitle(), error);
        return false;
    }
    edZoom->setText(edits.zoom);
    edSWidth->setText(edits.width);
    edSCPC->setText(edits.density);
    edFuzz->setText(edits.fuzz);
    m_settings.backView = cbBack->isChecked() ? 1 : 0;
    return true;
}

bool TSimulationForm::RunSimulation(bool clampFuzz)
{
    if (!readEdits(clampFuzz))
        return false;
    if (m_live) {
        DesignChanged();
        return true;
    }
    QString error;
    m_host.UpdateAllWindows();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    StageTitles progress(m_host.StartProgress(QString(), this), m_texts);
    // A fresh seed each run, so a scatter above 0 looks different every time, as real yarn does.
    RandomSource random(QRandomGenerator::global()->generate64());
    const SimulationJob job{
        m_host.header(), m_host.document(),   m_host.guideBars(),           m_host.treatment(),
        m_settings,      m_host.currentBar(), scrollBox->viewport()->size()};
    const bool made = warplon::RunSimulation(job, m_picture, random, &progress, nullptr, &error);
    QApplication::restoreOverrideCursor();
    if (!made) {
        if (!error.isEmpty())
            ShowMessage(this, QMessageBox::Warning, windowTitle(), error);
        return false;
    }
    showPicture();
    return true;
}

void TSimulationForm::showPicture()
{
    if (!m_picture.IsAllocated()) {
        Image->clear();
        Image->resize(0, 0);
        return;
    }
    Image->setPixmap(QPixmap::fromImage(ShownPicture()));
    Image->resize(m_picture.Width(), m_picture.Height());
}

QImage TSimulationForm::ShownPicture() const
{
    if (!m_showFloats || !m_picture.IsAllocated())
        return m_picture.image();
    // The picture's own geometry: the settings it was made with, over the view it covers.
    SimulationSettings settings = m_settings;
    const std::optional<SimulationGeometry> geometry
        = PrepareSimulation(settings, m_host.header(), m_host.document(),
                            QSize(m_picture.Width() - 1, m_picture.Height() - 1));
    if (!geometry || geometry->pictureWidth != m_picture.Width()
        || geometry->pictureHeight != m_picture.Height())
        return m_picture.image();
    QImage shown = m_picture.image().copy();
    PaintFloatOverlay(shown, *geometry, m_host.document(),
                      FindLongFloats(m_host.header(), m_host.document(), m_floatLimit),
                      m_settings.backView != 0);
    return shown;
}

void TSimulationForm::SetShowFloats(bool show)
{
    m_showFloats = show;
    showPicture();
}

void TSimulationForm::SetFloatLimit(double millimetres)
{
    m_floatLimit = millimetres;
    if (m_showFloats)
        showPicture();
}

void TSimulationForm::ResetForNewDesign()
{
    m_picture.Free();
    m_settings = SimulationSettings{};
    showPicture();
    showSettings();
}

void TSimulationForm::Refresh()
{
    showSettings();
    showPicture();
}

void TSimulationForm::RecomputeSize()
{
    SimulationSettings settings = m_settings;
    if (PrepareSimulation(settings, m_host.header(), m_host.document(),
                          scrollBox->viewport()->size()))
        m_settings = settings;
}

void TSimulationForm::CopyPicture()
{
    if (m_picture.IsAllocated())
        QApplication::clipboard()->setImage(m_picture.image());
}

void TSimulationForm::SavePicture()
{
    if (m_picture.IsAllocated())
        SavePictureWithDialog(this, m_picture.image(), m_host.programDirectory(),
                              m_texts.TextAt(SimSave));
}

void TSimulationForm::ShowWholeViewer()
{
    if (!m_picture.IsAllocated())
        return;
    bool tooLarge = false;
    const TCorvexBitmap canvas = TileWholeViewer(m_picture, &tooLarge);
    if (tooLarge)
        ShowMessage(this, QMessageBox::Information, windowTitle(),
                    m_host.mainTable().TextAt(kMainWholeViewerTooLarge));
    if (canvas.IsAllocated())
        m_host.ShowInViewer(canvas.image());
}

void TSimulationForm::runFromMenuZoom(int step)
{
    edZoom->setText(QLatin1String(kZoomSteps[size_t(step)].text));
    RunSimulation();
}

void TSimulationForm::startMapping(const QString &version)
{
    CopyPicture();
    QString error;
    if (!StartLoomview(version, &error))
        ShowMessage(this, QMessageBox::Warning, windowTitle(), error);
}

QMenu *TSimulationForm::BuildPopupMenu(QWidget *parent)
{
    auto *menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("SimulationPopupMenu"));
    QMenu *zoom = menu->addMenu(m_texts.TextAt(SimZoomMenu));
    const int checked = ZoomStepIndex(m_settings);
    for (size_t i = 0; i < kZoomSteps.size(); ++i) {
        QAction *item = zoom->addAction(QLatin1String(kZoomSteps[i].caption));
        item->setCheckable(true);
        item->setChecked(int(i) == checked);
        connect(item, &QAction::triggered, this, [this, i] { runFromMenuZoom(int(i)); });
    }
    const bool hasPicture = m_picture.IsAllocated();
    QAction *viewer = menu->addAction(m_texts.TextAt(SimWholeViewer));
    viewer->setEnabled(hasPicture);
    connect(viewer, &QAction::triggered, this, &TSimulationForm::ShowWholeViewer);
    QAction *copy = menu->addAction(m_texts.TextAt(SimCopy));
    copy->setShortcut(QKeySequence::Copy);
    copy->setEnabled(hasPicture);
    connect(copy, &QAction::triggered, this, &TSimulationForm::CopyPicture);
    QAction *save = menu->addAction(m_texts.TextAt(SimSave));
    save->setEnabled(hasPicture);
    connect(save, &QAction::triggered, this, &TSimulationForm::SavePicture);
    QAction *liveItem = menu->addAction(m_texts.TextAt(SimLive));
    liveItem->setObjectName(QStringLiteral("mLive"));
    liveItem->setCheckable(true);
    liveItem->setChecked(live());
    connect(liveItem, &QAction::toggled, this, [this](bool on) {
        SetLive(on);
        WriteLiveSimulation(m_host.programDirectory(), on);
    });
    QAction *floatsItem = menu->addAction(m_texts.TextAt(SimShowFloats));
    floatsItem->setObjectName(QStringLiteral("mShowFloats"));
    floatsItem->setCheckable(true);
    floatsItem->setChecked(m_showFloats);
    floatsItem->setEnabled(hasPicture);
    connect(floatsItem, &QAction::toggled, this, [this](bool on) {
        SetShowFloats(on);
        WriteShowFloats(m_host.programDirectory(), on);
    });
    QMenu *mapping = menu->addMenu(m_texts.TextAt(SimMapping));
    mapping->setEnabled(hasPicture);
    const QStringList versions = InstalledLoomviewVersions();
    for (const QString &version : versions) {
        QAction *item = mapping->addAction(version);
        connect(item, &QAction::triggered, this, [this, version] { startMapping(version); });
    }
    if (versions.isEmpty())
        mapping->addAction(m_host.mainTable().TextAt(kMainNoMappingProgram))->setEnabled(false);
    return menu;
}

void TSimulationForm::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = BuildPopupMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void TSimulationForm::chooseBackgroundColor()
{
    const std::optional<TColor> chosen = m_host.PickColor(m_settings.backgroundColor);
    if (!chosen)
        return;
    setBackgroundColor(*chosen);
    RunSimulation();
}

bool TSimulationForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == spBGColor && event->type() == QEvent::MouseButtonRelease) {
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            chooseBackgroundColor();
        return true;
    }
    if (m_live && scrollBox && watched == scrollBox->viewport()
        && event->type() == QEvent::Resize) {
        const QSize view = scrollBox->viewport()->size();
        if (view.width() > m_picture.Width() || view.height() > m_picture.Height())
            DesignChanged();
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace warplon
