#include "capture/captureform.h"

#include "app/designhost.h"
#include "app/mainparameters.h"
#include "app/messagebox.h"
#include "app/picturedialog.h"
#include "app/textbutton.h"
#include "app/toolglyphs.h"
#include "capture/videosource.h"
#include "color/colorconvert.h"
#include "design/floatingwindow.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace warplon {

namespace {

// Indices of section "Capture" of the language file.
enum CaptureText {
    CaptureCaption = 0,
    CaptureHint = 1,
    CaptureMeasure = 2,
    CaptureGrid = 3,
    CapturePath = 4,
    CaptureMovePoints = 5,
    CaptureResetGrid = 6,
    CaptureUndo = 7,
    CaptureWales = 8,
    CaptureCourses = 9,
    CaptureMarkSize = 10,
    CaptureMagnification = 11,
    CaptureOverlayColor = 12,
    CaptureObject = 13,
    CaptureWholeViewer = 14,
    CaptureLoadImage = 15,
    CaptureSaveImage = 16,
    CaptureCopy = 17,
    CaptureZoom = 18,
    CaptureNoCamera = 19,
    CaptureUnreadableVideo = 20,
    CaptureStopped = 21,
    CaptureSourceDialog = 22,
    CaptureFormatDialog = 23,
    CaptureWalesPerCm = 24,
    CaptureCoursesPerCm = 25,
    CaptureGridLimit = 26,
    CaptureUnreadablePicture = 27,
    CaptureTuningHint = 28,
};

// The capture window's preview rate in milliseconds (15 frames a second).
constexpr int kPreviewRate = 66;
// Height in pixels of the labels' text.
constexpr int32_t kLabelSize = 14;
// Grey of the picture area while the live video runs.
constexpr int kCaptureGrey = 128;

// The live video's window: shows the latest preview frame from its top left, as a capture
// card's overlay does, scaled down only when the frame is larger than the window.
class PreviewWindow : public QWidget
{
public:
    PreviewWindow(const QImage &frame, QWidget *parent)
        : QWidget(parent)
        , m_frame(frame)
    {
        setObjectName(QStringLiteral("CaptureWindow"));
        setWindowTitle(QStringLiteral("Warplon CAD System Capture Window"));
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(kCaptureGrey, kCaptureGrey, kCaptureGrey));
        if (m_frame.isNull())
            return;
        QSize size = m_frame.size();
        if (size.width() > width() || size.height() > height())
            size.scale(this->size(), Qt::KeepAspectRatio);
        painter.drawImage(QRect(QPoint(0, 0), size), m_frame);
    }

private:
    const QImage &m_frame;
};

// The picture area's content: the displayed image at full size, one pixel per picture pixel, so
// that a mouse position in it is a picture pixel whatever the scroll position.
class ImageView : public QWidget
{
public:
    ImageView(const QImage &image, QWidget *parent)
        : QWidget(parent)
        , m_image(image)
    {
        setObjectName(QStringLiteral("Image"));
        setMouseTracking(true);
    }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QPainter painter(this);
        painter.drawImage(event->rect(), m_image, event->rect());
    }

private:
    const QImage &m_image;
};

const char *const kObjectTypes[] = {"POINT", "LINE", "TRIANGLE", "POLYGON", "CIRCLE"};
const uint8_t kObjectKinds[]
    = {MeasurePoint, MeasureLine, MeasureTriangle, MeasurePolygon, MeasureCircle};

QLabel *makeLabel(QWidget *parent, const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

QLineEdit *makeNumberEdit(QWidget *parent, const char *name, const QString &text)
{
    auto *edit = new QLineEdit(text, parent);
    edit->setObjectName(QLatin1String(name));
    edit->setFixedWidth(44);
    return edit;
}

void fillSwatch(QLabel *swatch, QRgb color)
{
    swatch->setStyleSheet(QStringLiteral("QLabel { background: %1; border: 1px solid black; }")
                              .arg(QColor(color).name()));
}

} // namespace

TCaptureForm::TCaptureForm(DesignHost &host, QWidget *parent)
    : QWidget(parent)
    , m_host(host)
{
    setObjectName(QStringLiteral("CaptureForm"));
    LoadTable(m_texts, host.programDirectory(), host.language(), QStringLiteral("Capture"));
    setWindowTitle(m_texts.TextAt(CaptureCaption));
    m_calibration = LoadCaptureCalibration(host.programDirectory());
    m_sourceName = LoadCaptureSource(host.programDirectory());
    m_floating = new TFloatingWindow(this);
    buildControls();
    buildMenu();
    setControlsEnabled(true);
    RefreshLapping();
}

TCaptureForm::~TCaptureForm()
{
    if (m_video)
        m_video->Close();
    SaveCaptureCalibration(m_host.programDirectory(), m_calibration);
}

void TCaptureForm::buildControls()
{
    sbCapture = new QToolButton(this);
    sbCapture->setObjectName(QStringLiteral("sbCapture"));
    sbCapture->setCheckable(true);
    sbCapture->setIcon(MakeToolGlyph(ToolGlyph::Capture));
    sbCapture->setIconSize(QSize(24, 24));
    sbCapture->setFixedSize(30, 30);
    sbCapture->setToolTip(m_texts.TextAt(CaptureHint));
    connect(sbCapture, &QToolButton::clicked, this, [this] {
        if (capturing())
            FreezeCapture();
        else
            StartCapture();
    });

    sbMeasure = MakeTextButton(this, "sbMeasure", m_texts.TextAt(CaptureMeasure), true);
    sbGrid = MakeTextButton(this, "sbGrid", m_texts.TextAt(CaptureGrid), true);
    auto *modes = new QButtonGroup(this);
    modes->addButton(sbMeasure);
    modes->addButton(sbGrid);
    sbMeasure->setChecked(true);
    connect(modes, &QButtonGroup::buttonClicked, this, [this] { redraw(); });

    comboObjectType = new QComboBox(this);
    comboObjectType->setObjectName(QStringLiteral("comboObjectType"));
    for (const char *type : kObjectTypes)
        comboObjectType->addItem(QLatin1String(type));
    connect(comboObjectType, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0 && index < int(std::size(kObjectKinds)))
            m_measures.SetObjectType(kObjectKinds[index]);
    });

    sbUndo = MakeTextButton(this, "sbUndo", m_texts.TextAt(CaptureUndo));
    connect(sbUndo, &QToolButton::clicked, this, [this] {
        m_measures.Undo();
        redraw();
    });

    lbMagnification = new QLabel(QStringLiteral("X"), this);
    lbMagnification->setObjectName(QStringLiteral("lbMagnification"));
    lbMagnification->setToolTip(m_texts.TextAt(CaptureTuningHint));
    lbMagnification->setCursor(Qt::PointingHandCursor);
    lbMagnification->installEventFilter(this);
    comboMagnification = new QComboBox(this);
    comboMagnification->setObjectName(QStringLiteral("comboMagnification"));
    comboMagnification->setEditable(true);
    comboMagnification->setInsertPolicy(QComboBox::NoInsert);
    for (int32_t magnification : CaptureMagnifications())
        comboMagnification->addItem(QString::number(magnification));
    comboMagnification->setCurrentText(QString::number(m_calibration.magnification));
    comboMagnification->setFixedWidth(70);
    connect(comboMagnification, &QComboBox::textActivated, this,
            &TCaptureForm::magnificationEntered);

    sbSet = MakeTextButton(this, "sbSet", m_texts.TextAt(CaptureResetGrid));
    connect(sbSet, &QToolButton::clicked, this, &TCaptureForm::resetGrid);
    sbGridMove = MakeTextButton(this, "sbGridMove", m_texts.TextAt(CaptureMovePoints), true);
    sbPath = MakeTextButton(this, "sbPath", m_texts.TextAt(CapturePath), true);
    auto *gridSwitch = new QButtonGroup(this);
    gridSwitch->addButton(sbGridMove);
    gridSwitch->addButton(sbPath);
    sbGridMove->setChecked(true);
    connect(gridSwitch, &QButtonGroup::buttonClicked, this, [this] { redraw(); });

    edWale = makeNumberEdit(this, "edWale", QStringLiteral("10"));
    edCourse = makeNumberEdit(this, "edCourse", QStringLiteral("10"));
    connect(edWale, &QLineEdit::returnPressed, this, [this] {
        buildGrid();
        edCourse->setFocus();
    });
    connect(edCourse, &QLineEdit::returnPressed, this, &TCaptureForm::buildGrid);
    edSize = makeNumberEdit(this, "edSize", QString::number(m_markSize));
    connect(edSize, &QLineEdit::editingFinished, this, [this] {
        const std::optional<int32_t> size = ParseInteger(edSize->text());
        if (size && *size >= 1 && *size <= 100 && *size != m_markSize) {
            m_markSize = *size;
            redraw();
        }
        edSize->setText(QString::number(m_markSize));
    });
    spGridColor = new QLabel(this);
    spGridColor->setObjectName(QStringLiteral("spGridColor"));
    spGridColor->setFixedSize(24, 20);
    spGridColor->setCursor(Qt::PointingHandCursor);
    spGridColor->installEventFilter(this);
    fillSwatch(spGridColor, m_overlayColor);

    lbInfo = new QLabel(this);
    lbInfo->setObjectName(QStringLiteral("lbInfo"));
    lbInfo->setMinimumWidth(220);
    lbInfo->setTextInteractionFlags(Qt::TextSelectableByMouse);

    ScrollBox = new QScrollArea(this);
    ScrollBox->setObjectName(QStringLiteral("ScrollBox"));
    ScrollBox->setBackgroundRole(QPalette::Dark);
    Image = new ImageView(m_displayed, ScrollBox);
    Image->installEventFilter(this);
    ScrollBox->setWidget(Image);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    // Three short rows, so every caption shows whole in the quarter of the frame the window has:
    // capture and measuring, the grid and its path, the grid's sizes and the overlay.
    layout->addWidget(controlRow({sbCapture, sbMeasure, comboObjectType, sbUndo,
                                  makeLabel(this, m_texts.TextAt(CaptureMagnification)),
                                  comboMagnification, lbMagnification}));
    layout->addWidget(
        controlRow({sbGrid, sbSet, sbGridMove, sbPath,
                    makeLabel(this, m_texts.TextAt(CaptureOverlayColor)), spGridColor}));
    layout->addWidget(controlRow({makeLabel(this, m_texts.TextAt(CaptureWales)), edWale,
                                  makeLabel(this, m_texts.TextAt(CaptureCourses)), edCourse,
                                  makeLabel(this, m_texts.TextAt(CaptureMarkSize)), edSize}));
    layout->addWidget(lbInfo);
    layout->addWidget(ScrollBox, 1);
    comboObjectType->setToolTip(m_texts.TextAt(CaptureObject));
}

QWidget *TCaptureForm::controlRow(std::initializer_list<QWidget *> widgets)
{
    auto *row = new QWidget(this);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    for (QWidget *widget : widgets) {
        widget->setParent(row);
        // Captions are never squeezed: buttons and labels keep their natural width.
        if (qobject_cast<QToolButton *>(widget) || qobject_cast<QLabel *>(widget))
            widget->setMinimumWidth(widget->sizeHint().width());
        layout->addWidget(widget);
    }
    layout->addStretch(1);
    return row;
}

void TCaptureForm::buildMenu()
{
    pmImage = new QMenu(this);
    pmImage->setObjectName(QStringLiteral("pmImage"));
    QAction *viewer = pmImage->addAction(m_texts.TextAt(CaptureWholeViewer));
    viewer->setObjectName(QStringLiteral("pmWholeViewer"));
    connect(viewer, &QAction::triggered, this, &TCaptureForm::showWholeViewer);
    QAction *load = pmImage->addAction(m_texts.TextAt(CaptureLoadImage));
    load->setObjectName(QStringLiteral("pmLoadImage"));
    connect(load, &QAction::triggered, this, &TCaptureForm::loadWithDialog);
    QAction *save = pmImage->addAction(m_texts.TextAt(CaptureSaveImage));
    save->setObjectName(QStringLiteral("pmSaveImage"));
    connect(save, &QAction::triggered, this, &TCaptureForm::saveWithDialog);
    QAction *copy = pmImage->addAction(m_texts.TextAt(CaptureCopy));
    copy->setObjectName(QStringLiteral("pmCopy"));
    copy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    copy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(copy);
    connect(copy, &QAction::triggered, this, &TCaptureForm::CopyPicture);
    // Zooming the picture was never offered here; the menu keeps its place.
    QMenu *zoom = pmImage->addMenu(m_texts.TextAt(CaptureZoom));
    zoom->setObjectName(QStringLiteral("pmZoom"));
    for (const char *factor : {"X 1", "X 2", "X 4"})
        zoom->addAction(QLatin1String(factor));
    zoom->menuAction()->setEnabled(false);
    m_pictureActions = {viewer, save, copy};
    m_menuActions = {viewer, load, save, copy};
}

void TCaptureForm::RefreshLapping()
{
    const std::vector<Tex> &bars = m_host.document().bars;
    const int32_t bar = m_host.currentBar();
    if (bar >= 0 && size_t(bar) < bars.size())
        m_lapping = bars[size_t(bar)].lapping;
    else
        m_lapping.clear();
    if (!capturing())
        redraw();
}

OverlayStyle TCaptureForm::overlayStyle() const
{
    OverlayStyle style;
    style.color = m_overlayColor;
    style.markSize = m_markSize;
    style.labelSize = kLabelSize;
    style.lineWidth = 2;
    return style;
}

void TCaptureForm::redraw()
{
    if (capturing())
        return;
    QImage image = m_picture.isNull() ? QImage() : m_picture.copy();
    if (!image.isNull()) {
        const OverlayStyle style = overlayStyle();
        if (sbMeasure->isChecked()) {
            PaintMeasureObjects(image, m_measures.objects(), style);
        } else {
            PaintGridPoints(image, m_grid, style);
            if (sbPath->isChecked())
                PaintLappingPath(image, MakeLappingPath(m_grid, m_lapping), style);
        }
    }
    showImage(image);
    updateInfo();
}

void TCaptureForm::showImage(const QImage &image)
{
    m_displayed = image;
    Image->setFixedSize(m_displayed.size());
    Image->update();
}

void TCaptureForm::updateInfo()
{
    if (sbMeasure->isChecked())
        lbInfo->setText(m_measures.InfoText());
    else if (m_grid.empty())
        lbInfo->clear();
    else
        lbInfo->setText(GridDensityText(MeasureGridDensity(m_grid, m_calibration.umPerDot),
                                        m_texts.TextAt(CaptureWalesPerCm),
                                        m_texts.TextAt(CaptureCoursesPerCm)));
}

void TCaptureForm::setControlsEnabled(bool enabled)
{
    for (QWidget *control : std::initializer_list<QWidget *>{
             sbMeasure, sbGrid, sbUndo, sbSet, sbGridMove, sbPath, comboObjectType,
             comboMagnification, lbMagnification, edWale, edCourse, edSize, spGridColor})
        control->setEnabled(enabled);
    for (QAction *action : m_menuActions)
        action->setEnabled(enabled);
    if (enabled)
        for (QAction *action : m_pictureActions)
            action->setEnabled(!m_picture.isNull());
    const Qt::ScrollBarPolicy bars = enabled ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff;
    ScrollBox->setHorizontalScrollBarPolicy(bars);
    ScrollBox->setVerticalScrollBarPolicy(bars);
}

void TCaptureForm::StartCapture()
{
    if (capturing())
        return;
    m_failure.clear();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QRect area = ScrollBox->geometry().adjusted(2, 2, -2, -2);
    m_preview = QImage();
    m_captureWindow = new PreviewWindow(m_preview, this);
    m_captureWindow->setGeometry(QRect(ScrollBox->mapTo(this, QPoint(2, 2)), area.size()));
    m_captureWindow->show();
    m_captureWindow->raise();
    QImage grey(area.size().expandedTo(QSize(1, 1)), QImage::Format_BGR888);
    grey.fill(QColor(kCaptureGrey, kCaptureGrey, kCaptureGrey));
    showImage(grey);
    m_measures.Clear();
    m_grid = StitchGrid();
    lbInfo->clear();
    setControlsEnabled(false);
    sbCapture->setChecked(true);

    const VideoSourceTexts texts{
        m_texts.TextAt(CaptureNoCamera), m_texts.TextAt(CaptureUnreadableVideo),
        m_texts.TextAt(CaptureSourceDialog), m_texts.TextAt(CaptureFormatDialog)};
    m_video = MakeVideoSource(m_sourceName, texts);
    QString error;
    const bool opened = m_video->Open(error);
    QApplication::restoreOverrideCursor();
    if (!opened) {
        endCapture(error);
        return;
    }
    connect(m_video.get(), &VideoSource::Failed, this, [this](const QString &message) {
        // Torn down later: the source is still inside its own signal, or in one of its dialogs.
        m_failure = m_texts.TextAt(CaptureStopped) + QLatin1Char(' ') + message;
        if (!m_inDialog)
            QMetaObject::invokeMethod(this, &TCaptureForm::endFailedCapture, Qt::QueuedConnection);
    });
    connect(m_video.get(), &VideoSource::PreviewFrame, this, [this](const QImage &frame) {
        m_preview = frame;
        if (m_captureWindow)
            m_captureWindow->update();
    });
    m_inDialog = true;
    if (m_video->HasSourceDialog())
        m_video->ShowSourceDialog(this);
    if (m_failure.isEmpty() && m_video->HasFormatDialog())
        m_video->ShowFormatDialog(this);
    m_inDialog = false;
    if (!m_failure.isEmpty()) {
        endFailedCapture();
        return;
    }
    m_video->SetPreviewRate(kPreviewRate);
    m_video->SetPreview(true);
}

void TCaptureForm::endFailedCapture()
{
    if (capturing() && !m_failure.isEmpty())
        endCapture(m_failure);
}

void TCaptureForm::FreezeCapture()
{
    if (!capturing())
        return;
    const QImage frame = m_video->lastFrame();
    m_video->Close();
    if (m_calibration.FrameCaptured(int32_t(frame.width()))) {
        m_picture = frame;
        m_measures.Relabel(m_calibration.umPerDot);
    }
    endCapture(QString());
}

// Ends the live video: the source and its window go, the controls come back. With a failure
// the picture area stays grey and the reason is told.
void TCaptureForm::endCapture(const QString &failure)
{
    if (m_video)
        m_video->Close();
    m_video.reset();
    delete m_captureWindow;
    m_captureWindow = nullptr;
    m_preview = QImage();
    setControlsEnabled(true);
    sbCapture->setChecked(false);
    if (failure.isEmpty() && !m_picture.isNull())
        redraw();
    if (!failure.isEmpty())
        ShowMessage(this, QMessageBox::Warning, windowTitle(), failure);
}

bool TCaptureForm::readGridSize(GridSize &size)
{
    const int32_t wales = ParseInteger(edWale->text()).value_or(0);
    const int32_t courses = ParseInteger(edCourse->text()).value_or(0);
    if (wales > kMaxGridSize || courses > kMaxGridSize)
        ShowMessage(this, QMessageBox::Information, windowTitle(),
                    m_texts.TextAt(CaptureGridLimit) + QLatin1Char(' ')
                        + QString::number(kMaxGridSize));
    size = ClampGridSize(std::min(wales, kMaxGridSize), std::min(courses, kMaxGridSize));
    edWale->setText(QString::number(size.wales));
    edCourse->setText(QString::number(size.courses));
    return true;
}

void TCaptureForm::buildGrid()
{
    GridSize size;
    readGridSize(size);
    if (m_grid.empty()) {
        resetGrid();
        return;
    }
    m_grid = RebuildStitchGrid(m_grid, size);
    sbGrid->setChecked(true);
    redraw();
}

void TCaptureForm::resetGrid()
{
    GridSize size;
    readGridSize(size);
    const QSize area = ScrollBox->viewport()->size();
    m_grid = SetStitchGrid(size, area, m_picture.isNull() ? area : m_picture.size());
    sbGrid->setChecked(true);
    redraw();
}

void TCaptureForm::chooseOverlayColor()
{
    const QColor current(m_overlayColor);
    const std::optional<TColor> chosen = m_host.PickColor(
        RGB2TColor(uint8_t(current.red()), uint8_t(current.green()), uint8_t(current.blue())));
    if (!chosen)
        return;
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    TColor2RGB(*chosen, r, g, b);
    m_overlayColor = qRgb(r, g, b);
    fillSwatch(spGridColor, m_overlayColor);
    redraw();
}

void TCaptureForm::magnificationEntered(const QString &text)
{
    const std::optional<int32_t> value = ParseInteger(text);
    if (value && *value > 0) {
        m_calibration.SetMagnification(*value);
        calibrationChanged();
    }
    comboMagnification->setCurrentText(QString::number(m_calibration.magnification));
}

void TCaptureForm::askTuning()
{
    const std::optional<int32_t> tuning
        = m_floating->AskNumber(QCursor::pos(), m_calibration.tuning);
    if (!tuning || *tuning < 0)
        return;
    m_calibration.SetTuning(*tuning);
    calibrationChanged();
}

void TCaptureForm::calibrationChanged()
{
    m_measures.Relabel(m_calibration.umPerDot);
    redraw();
}

bool TCaptureForm::LoadPicture(const QString &fileName)
{
    QImageReader reader(fileName);
    const QImage image = reader.read();
    if (image.isNull()) {
        ShowMessage(this, QMessageBox::Warning, windowTitle(),
                    m_texts.TextAt(CaptureUnreadablePicture) + QLatin1Char(' ') + fileName);
        return false;
    }
    m_picture = image.convertToFormat(QImage::Format_BGR888);
    m_measures.Clear();
    m_grid = StitchGrid();
    setControlsEnabled(true);
    redraw();
    return true;
}

void TCaptureForm::CopyPicture()
{
    if (!m_picture.isNull() && !capturing())
        QApplication::clipboard()->setImage(m_picture);
}

void TCaptureForm::loadWithDialog()
{
    const QString folder = PictureFolder(m_host.programDirectory());
    const QString fileName
        = QFileDialog::getOpenFileName(this, m_texts.TextAt(CaptureLoadImage), folder,
                                       QStringLiteral("Bitmaps (*.bmp);;JPEG Image File (*.jpg)"));
    if (!fileName.isEmpty())
        LoadPicture(fileName);
}

void TCaptureForm::saveWithDialog()
{
    if (!m_picture.isNull())
        SavePictureWithDialog(this, m_picture, m_host.programDirectory(), windowTitle());
}

void TCaptureForm::showWholeViewer()
{
    if (!m_picture.isNull())
        m_host.ShowInViewer(m_picture);
}

void TCaptureForm::contextMenuEvent(QContextMenuEvent *event)
{
    if (!ScrollBox->geometry().contains(event->pos()))
        return;
    pmImage->popup(event->globalPos());
}

void TCaptureForm::closeEvent(QCloseEvent *event)
{
    if (capturing())
        endCapture(QString());
    // The window lives as long as the program; closing only puts it away.
    event->ignore();
    emit CloseRequested();
}

bool TCaptureForm::eventFilter(QObject *watched, QEvent *event)
{
    const bool click = event->type() == QEvent::MouseButtonRelease
                       && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton;
    if (watched == lbMagnification && click && lbMagnification->isEnabled()) {
        askTuning();
        return true;
    }
    if (watched == spGridColor && click && spGridColor->isEnabled()) {
        chooseOverlayColor();
        return true;
    }
    if (watched == Image && imageMouseEvent(event))
        return true;
    return QWidget::eventFilter(watched, event);
}

// Measuring and dragging grid points with the mouse on the picture; nothing while capturing.
bool TCaptureForm::imageMouseEvent(QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove
        && type != QEvent::MouseButtonRelease)
        return false;
    if (capturing() || m_picture.isNull())
        return false;
    const auto *mouse = static_cast<QMouseEvent *>(event);
    const QPoint p = mouse->position().toPoint();
    const double umPerDot = m_calibration.umPerDot;
    if (sbMeasure->isChecked()) {
        if (type == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton) {
            m_measures.Click(p, mouse->modifiers().testFlag(Qt::ControlModifier), umPerDot);
            redraw();
            return true;
        }
        if (type == QEvent::MouseMove && m_measures.Move(p, umPerDot))
            redraw();
        return type == QEvent::MouseMove;
    }
    if (!sbGridMove->isChecked())
        return false;
    if (type == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton) {
        m_dragged = NearestGridPoint(m_grid, p);
    } else if (type == QEvent::MouseMove && m_dragged.column >= 0
               && mouse->buttons().testFlag(Qt::LeftButton)) {
        m_grid.at(m_dragged.column, m_dragged.row) = p;
        redraw();
    } else if (type == QEvent::MouseButtonRelease) {
        m_dragged = GridHit();
    }
    return true;
}

} // namespace warplon
