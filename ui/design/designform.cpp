#include "design/designform.h"

#include "app/designhost.h"
#include "app/mainparameters.h"
#include "app/messagebox.h"
#include "app/picturedialog.h"
#include "app/programsettings.h"
#include "design/chartcanvas.h"
#include "design/designviewform.h"
#include "design/editorform.h"
#include "design/floatingwindow.h"
#include "knit/chartedits.h"
#include "knit/undostore.h"

#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

namespace warplon {

namespace {

enum DesignText : int {
    DesignCaption = 0,
    DesignRepeat = 1,
    DesignLeftShift = 2,
    DesignInvert = 3,
    DesignUndo = 4,
    DesignRedo = 5,
    DesignCopy = 6,
    DesignSave = 7,
    DesignOverlapped = 8,
    DesignRepeated = 9,
    DesignThreadingStart = 10,
    DesignEnlarge = 11,
    DesignViewText = 12,
    DesignBlack = 13,
    DesignGray = 14,
    DesignWhite = 15,
    DesignZoom = 16,
};

constexpr std::array<int, 3> kZoomFactors = {1, 2, 4};

int CellSize(int zoom)
{
    return 5 * zoom;
}

} // namespace

TDesignForm::TDesignForm(DesignHost &host, QWidget *parent)
    : QWidget(parent)
    , m_host(host)
{
    setObjectName(QStringLiteral("DesignForm"));
    LoadTable(m_texts, host.programDirectory(), host.language(), QStringLiteral("Design"));
    setWindowTitle(m_texts.TextAt(DesignCaption));

    const auto makeEdit = [this](const char *name, int width) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QLatin1String(name));
        edit->setFixedWidth(width);
        return edit;
    };
    edY = makeEdit("edY", 44);
    edXIn = makeEdit("edXIn", 44);
    edXVia = makeEdit("edXVia", 44);
    edShift = makeEdit("edShift", 44);
    edShift->setText(QStringLiteral("0"));
    cbChartBGColor = new QComboBox(this);
    cbChartBGColor->setObjectName(QStringLiteral("cbChartBGColor"));
    cbChartBGColor->addItems(
        {m_texts.TextAt(DesignBlack), m_texts.TextAt(DesignGray), m_texts.TextAt(DesignWhite)});
    sbEnlarge = new QToolButton(this);
    sbEnlarge->setObjectName(QStringLiteral("sbEnlarge"));
    sbEnlarge->setText(m_texts.TextAt(DesignEnlarge));
    sbViewtext = new QToolButton(this);
    sbViewtext->setObjectName(QStringLiteral("sbViewtext"));
    sbViewtext->setText(m_texts.TextAt(DesignViewText));

    // Three rows, so that the window keeps its texts whole at half the frame's width: the lap
    // and threading-start edits, the chart's look, the bar switches.
    auto *edits = new QHBoxLayout;
    const auto addLabelled = [&](const QString &text, QWidget *edit) {
        auto *label = new QLabel(text, this);
        label->setBuddy(edit);
        edits->addWidget(label);
        edits->addWidget(edit);
    };
    addLabelled(QStringLiteral("Y"), edY);
    addLabelled(QStringLiteral("X 1"), edXIn);
    addLabelled(QStringLiteral("X 2"), edXVia);
    edits->addSpacing(12);
    addLabelled(m_texts.TextAt(DesignThreadingStart), edShift);
    edits->addStretch();
    auto *look = new QHBoxLayout;
    look->addWidget(cbChartBGColor);
    look->addWidget(sbEnlarge);
    look->addWidget(sbViewtext);
    look->addStretch();

    auto *switches = new QHBoxLayout;
    const auto makeGroup = [&](int title, const char *prefix, std::array<QCheckBox *, 5> &boxes) {
        auto *group = new QGroupBox(m_texts.TextAt(title), this);
        auto *row = new QHBoxLayout(group);
        row->setContentsMargins(4, 2, 4, 2);
        for (int k = 0; k < 5; ++k) {
            auto *box = new QCheckBox(QString::number(k + 1), group);
            box->setObjectName(QLatin1String(prefix) + QString::number(k + 1));
            connect(box, &QCheckBox::toggled, this, &TDesignForm::switchesChanged);
            row->addWidget(box);
            boxes[size_t(k)] = box;
        }
        switches->addWidget(group);
    };
    makeGroup(DesignOverlapped, "cbLayer", cbLayer);
    makeGroup(DesignRepeated, "cbRepeatLayer", cbRepeatLayer);
    switches->addStretch();

    ChartScroll = new QScrollArea(this);
    ChartScroll->setObjectName(QStringLiteral("ChartScroll"));
    ChartScroll->setAlignment(Qt::AlignCenter);
    Chart = new TChartCanvas(*this);
    ChartScroll->setWidget(Chart);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(edits);
    layout->addLayout(look);
    layout->addLayout(switches);
    layout->addWidget(ChartScroll, 1);

    m_editor = new TEditorForm(host, this);
    m_view = new TDesignView_F(host.programDirectory(), host.language(), this);
    m_floating = new TFloatingWindow(this);
    m_floatLimit = ReadFloatLimit(host.programDirectory());
    buildMenu();

    connect(edY, &QLineEdit::returnPressed, this, &TDesignForm::enterCourse);
    connect(edXIn, &QLineEdit::returnPressed, this, &TDesignForm::enterXIn);
    connect(edXVia, &QLineEdit::returnPressed, this, &TDesignForm::enterXVia);
    connect(edShift, &QLineEdit::returnPressed, this, &TDesignForm::enterShift);
    connect(cbChartBGColor, &QComboBox::currentIndexChanged, this, &TDesignForm::SetBackground);
    connect(sbEnlarge, &QToolButton::clicked, this, &TDesignForm::toggleView);
    connect(sbViewtext, &QToolButton::clicked, this, &TDesignForm::showEditor);
    connect(m_view, &TDesignView_F::zoomChosen, this, [this](int factor) {
        // The view draws the chart at its own zoom, without touching the window's chart.
        LappingView view;
        view.SetBackground(m_lapping.cellPicture(), m_lapping.background());
        TexLayer &layer = m_host.document();
        QImage picture(ChartSize(layer, CellSize(factor)).expandedTo(QSize(1, 1)),
                       QImage::Format_RGB888);
        view.Draw(layer, picture,
                  ChartGeometry(layer, CellSize(factor), picture.width(), picture.height()), true);
        m_view->Fill(picture);
    });

    m_lapping.LoadBackground(host.programDirectory(), m_data.chartBackground);
    Refresh();
}

TDesignForm::~TDesignForm() = default;

void TDesignForm::buildMenu()
{
    pmDesign = new QMenu(this);
    pmDesign->setObjectName(QStringLiteral("pmDesign"));
    QMenu *zoom = pmDesign->addMenu(m_texts.TextAt(DesignZoom));
    zoom->setObjectName(QStringLiteral("pmZoom"));
    auto *group = new QActionGroup(this);
    const char *const captions[] = {"X 1/4", "X 1/2", "X 1"};
    for (size_t i = 0; i < zoomItems.size(); ++i) {
        QAction *item = zoom->addAction(QLatin1String(captions[i]));
        item->setCheckable(true);
        group->addAction(item);
        const int factor = kZoomFactors[i];
        connect(item, &QAction::triggered, this, [this, factor] { SetZoom(factor); });
        zoomItems[i] = item;
    }
    const auto item = [this](const char *name, int text, QKeySequence keys = {}) {
        QAction *action = pmDesign->addAction(m_texts.TextAt(text));
        action->setObjectName(QLatin1String(name));
        if (!keys.isEmpty()) {
            // The keys work anywhere in the window, not only while the menu is open.
            action->setShortcut(keys);
            action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
            addAction(action);
        }
        return action;
    };
    pmDesign->addSeparator();
    pmRepeat = item("pmRepeat", DesignRepeat);
    pmLeftShift = item("pmLeftShift", DesignLeftShift);
    pmInvert = item("pmInvert", DesignInvert);
    pmDesign->addSeparator();
    pmUndo = item("pmUndo", DesignUndo, QKeySequence(Qt::CTRL | Qt::Key_Z));
    pmRedo = item("pmRedo", DesignRedo, QKeySequence(Qt::CTRL | Qt::Key_Y));
    pmDesign->addSeparator();
    pmCopy = item("pmCopy", DesignCopy, QKeySequence(Qt::CTRL | Qt::Key_C));
    pmSave = item("pmSave", DesignSave);
    connect(pmRepeat, &QAction::triggered, this, [this] { askAndRun(true); });
    connect(pmLeftShift, &QAction::triggered, this, [this] { askAndRun(false); });
    connect(pmInvert, &QAction::triggered, this, &TDesignForm::InvertSelection);
    connect(pmUndo, &QAction::triggered, this, &TDesignForm::Undo);
    connect(pmRedo, &QAction::triggered, this, &TDesignForm::Redo);
    connect(pmCopy, &QAction::triggered, this,
            [this] { QApplication::clipboard()->setImage(m_chart.image()); });
    connect(pmSave, &QAction::triggered, this, &TDesignForm::saveChart);
    connect(pmDesign, &QMenu::aboutToShow, this, [this] {
        pmUndo->setEnabled(m_host.undoStore().CanUndo());
        pmRedo->setEnabled(m_host.undoStore().CanRedo());
    });
    SetZoom(m_zoom);
}

void TDesignForm::contextMenuEvent(QContextMenuEvent *event)
{
    pmDesign->popup(event->globalPos());
}

Tex *TDesignForm::currentBar()
{
    std::vector<Tex> &bars = m_host.document().bars;
    const int32_t current = m_host.currentBar();
    return current >= 0 && current < int32_t(bars.size()) ? &bars[size_t(current)] : nullptr;
}

LappingGeometry TDesignForm::geometry() const
{
    return ChartGeometry(m_host.document(), CellSize(m_zoom), m_chart.Width(), m_chart.Height());
}

void TDesignForm::Refresh()
{
    const TexLayer &layer = m_host.document();
    {
        m_settingSwitches = true;
        for (size_t k = 0; k < cbLayer.size(); ++k) {
            const bool exists = k < layer.bars.size();
            cbLayer[k]->setEnabled(exists);
            cbRepeatLayer[k]->setEnabled(exists);
            cbLayer[k]->setChecked(exists && layer.bars[k].visible);
            cbRepeatLayer[k]->setChecked(exists && layer.bars[k].drawAllNeedles);
        }
        m_settingSwitches = false;
    }
    if (const Tex *bar = currentBar())
        edShift->setText(QString::number(bar->shift));
    if (cbChartBGColor->currentIndex() != m_data.chartBackground
        || m_lapping.background() != m_data.chartBackground) {
        const QSignalBlocker quiet(cbChartBGColor);
        cbChartBGColor->setCurrentIndex(m_data.chartBackground);
        m_lapping.LoadBackground(m_host.programDirectory(), m_data.chartBackground);
    }
    Redraw(true);
    if (m_editor->isVisible())
        m_editor->Refresh();
}

void TDesignForm::Redraw(bool full)
{
    TexLayer &layer = m_host.document();
    const QSize size = ChartSize(layer, CellSize(m_zoom)).expandedTo(QSize(1, 1));
    if (!m_chart.CreateIfDifferent(size.width(), size.height(), nullptr, 24))
        full = true; // a new picture: nothing of it is kept
    if (!m_chart.IsAllocated())
        return;
    m_lapping.Draw(layer, m_chart.image(), geometry(), full);
    if (full) {
        // The floats follow every change of the lapping, the bars and the gauge.
        m_longFloats = FindLongFloats(m_host.header(), layer, m_floatLimit);
        m_floatMarks.clear();
        const LappingGeometry where = geometry();
        for (int32_t bar = 0; bar < int32_t(layer.bars.size()); ++bar) {
            if (!layer.bars[size_t(bar)].visible)
                continue;
            for (const QRect &mark : FloatMarkRects(layer, bar, m_longFloats, where))
                m_floatMarks.push_back(mark);
        }
    }
    Chart->ChartChanged();
    if (full && m_view->isVisible())
        emit m_view->zoomChosen(m_view->Zoom());
}

void TDesignForm::SetZoom(int factor)
{
    for (size_t i = 0; i < zoomItems.size(); ++i) {
        if (kZoomFactors[i] == factor) {
            m_zoom = factor;
            zoomItems[i]->setChecked(true);
        }
    }
    if (m_chart.IsAllocated())
        Redraw(true);
}

void TDesignForm::SetBackground(int index)
{
    m_data.chartBackground = index >= ChartBlack && index <= ChartWhite ? index : ChartBlack;
    {
        const QSignalBlocker quiet(cbChartBGColor);
        cbChartBGColor->setCurrentIndex(m_data.chartBackground);
    }
    m_lapping.LoadBackground(m_host.programDirectory(), m_data.chartBackground);
    Redraw(true);
}

void TDesignForm::edited()
{
    Redraw(true);
    if (m_editor->isVisible())
        m_editor->Refresh();
    m_host.DesignEdited(this);
}

void TDesignForm::PressChart(QPoint point, Qt::KeyboardModifiers keys)
{
    TexLayer &layer = m_host.document();
    Tex *bar = currentBar();
    if (!bar)
        return;
    layer.halfNeedleOffset = keys & (Qt::AltModifier | Qt::ControlModifier) ? 1 : 0;
    const bool shift = keys & Qt::ShiftModifier;
    const LappingGeometry where = geometry();
    if (cbRepeatLayer[size_t(m_host.currentBar())]->isChecked()) {
        // The bar is shown on every needle: the click threads or empties the needle under it.
        if (shift) {
            m_host.DesignEdited(this);
            return;
        }
        m_host.PushUndo();
        ToggleThreadedNeedle(*bar, CellAt(where, point).wale - bar->shift);
        edited();
        return;
    }
    if (!shift)
        m_host.PushUndo();
    const bool taken = MouseDown(layer, keys, point, m_host.currentBar(), where);
    showLapOf(CellAt(where, point).course);
    if (taken && !shift)
        edited();
    else
        Redraw(false);
}

void TDesignForm::MoveOverChart(QPoint point, Qt::KeyboardModifiers keys)
{
    if (MouseMove(m_host.document(), keys, point, m_host.currentBar(), geometry()) == 0)
        Redraw(false);
}

void TDesignForm::SetFloatLimit(double millimetres)
{
    m_floatLimit = millimetres;
    if (m_chart.IsAllocated())
        Redraw(true);
}

QString TDesignForm::FloatTipAt(QPoint point) const
{
    const TexLayer &layer = m_host.document();
    const LappingCell cell = CellAt(geometry(), point);
    // The current bar first, as the chart shows it on top.
    std::vector<int32_t> bars{m_host.currentBar()};
    for (int32_t bar = 0; bar < int32_t(layer.bars.size()); ++bar)
        if (bar != m_host.currentBar() && layer.bars[size_t(bar)].visible)
            bars.push_back(bar);
    for (int32_t bar : bars) {
        if (const CourseFloat *found = FloatAtCell(layer, bar, m_longFloats, cell))
            return FloatText(*found);
    }
    return QString();
}

void TDesignForm::ClickRuler(int x)
{
    Tex *bar = currentBar();
    const LappingCell cell = CellAt(geometry(), QPoint(x, m_chart.Height() - 1));
    if (!bar || cell.wale < 0)
        return;
    m_host.PushUndo();
    bar->shift = cell.wale;
    edShift->setText(QString::number(bar->shift));
    edited();
}

void TDesignForm::showLapOf(int32_t course)
{
    const Tex *bar = currentBar();
    if (!bar || bar->LappingCount() == 0 || course < 0)
        return;
    const int32_t index = course % bar->LappingCount();
    const ChainLink &lap = bar->lapping[size_t(index)];
    edXIn->setText(QString::number(lap.x0));
    edXVia->setText(QString::number(lap.x1));
    edY->setText(QString::number(index + 1));
}

void TDesignForm::scrollToCourse(int32_t course)
{
    QScrollBar *vertical = ChartScroll->verticalScrollBar();
    vertical->setValue(
        ChartScrollForCourse(course, m_host.document().CourseCount(), vertical->maximum()));
}

void TDesignForm::enterCourse()
{
    const std::optional<int32_t> typed = ParseInteger(edY->text());
    if (!typed)
        return ShowConversionError(this, edY->text(), true);
    const int32_t course = ClampChartCourse(*typed, m_host.document().CourseCount());
    edY->setText(QString::number(course));
    edXIn->setFocus();
    scrollToCourse(course);
}

void TDesignForm::enterXIn()
{
    const std::optional<int32_t> typed = ParseInteger(edXIn->text());
    if (!typed)
        return ShowConversionError(this, edXIn->text(), true);
    if (*typed < 0)
        edXIn->setText(QStringLiteral("0"));
    edXVia->setFocus();
    if (const std::optional<int32_t> course = ParseInteger(edY->text()))
        scrollToCourse(ClampChartCourse(*course, m_host.document().CourseCount()));
}

void TDesignForm::enterXVia()
{
    Tex *bar = currentBar();
    const std::optional<int32_t> xIn = ParseInteger(edXIn->text());
    const std::optional<int32_t> xVia = ParseInteger(edXVia->text());
    const std::optional<int32_t> course = ParseInteger(edY->text());
    if (!xIn || !xVia || !course) {
        const QLineEdit *wrong = !xIn ? edXIn : !xVia ? edXVia : edY;
        return ShowConversionError(this, wrong->text(), true);
    }
    if (!bar)
        return;
    m_host.PushUndo();
    const int32_t written = WriteChartLap(*bar, *course, std::max(*xIn, 0), *xVia);
    if (*xVia < 0)
        edXVia->setText(QStringLiteral("0"));
    if (written >= 0)
        m_host.document().SetCursor(bar->lapping[size_t(written)].x0, written);
    edY->setText(QString::number(NextChartCourse(written + 1, bar->LappingCount())));
    edXIn->setFocus();
    edited();
}

void TDesignForm::enterShift()
{
    if (edShift->text().isEmpty())
        return;
    const std::optional<int32_t> typed = ParseInteger(edShift->text());
    if (!typed)
        return ShowConversionError(this, edShift->text(), true);
    Tex *bar = currentBar();
    if (!bar)
        return;
    m_host.PushUndo();
    bar->shift = std::max(*typed, 0);
    edShift->setText(QString::number(bar->shift));
    edited();
}

void TDesignForm::switchesChanged()
{
    if (m_settingSwitches)
        return;
    TexLayer &layer = m_host.document();
    for (size_t k = 0; k < layer.bars.size() && k < cbLayer.size(); ++k) {
        layer.SetBarVisible(int32_t(k), cbLayer[k]->isChecked() ? 1 : 0);
        layer.SetBarDrawAllNeedles(int32_t(k), cbRepeatLayer[k]->isChecked() ? 1 : 0);
    }
    edited();
}

void TDesignForm::SelectLayer(int32_t bar)
{
    {
        m_settingSwitches = true;
        for (size_t k = 0; k < cbLayer.size(); ++k)
            cbLayer[k]->setChecked(int32_t(k) == bar);
        m_settingSwitches = false;
    }
    TexLayer &layer = m_host.document();
    for (size_t k = 0; k < layer.bars.size(); ++k)
        layer.SetBarVisible(int32_t(k), int32_t(k) == bar ? 1 : 0);
    if (const Tex *current = currentBar())
        edShift->setText(QString::number(current->shift));
    Redraw(true);
    if (m_editor->isVisible())
        m_editor->Refresh();
}

void TDesignForm::RepeatSelection(int32_t times)
{
    m_host.PushUndo();
    m_host.document().Repeat(m_host.currentBar(), times);
    edited();
}

void TDesignForm::ShiftSelection(int32_t delta)
{
    m_host.PushUndo();
    m_host.document().Shift(delta, m_host.currentBar());
    edited();
}

void TDesignForm::InvertSelection()
{
    m_host.PushUndo();
    m_host.document().Invert(m_host.currentBar());
    edited();
}

void TDesignForm::askAndRun(bool repeat)
{
    const std::optional<int32_t> number = m_floating->AskNumber(QCursor::pos());
    if (!number)
        return;
    if (repeat)
        RepeatSelection(*number);
    else
        ShiftSelection(*number);
}

void TDesignForm::Undo()
{
    if (!m_host.undoStore().CanUndo())
        return;
    m_host.undoStore().Undo(m_host.document());
    Refresh();
    m_host.DesignEdited(this);
}

void TDesignForm::Redo()
{
    if (!m_host.undoStore().CanRedo())
        return;
    m_host.undoStore().Redo(m_host.document());
    Refresh();
    m_host.DesignEdited(this);
}

void TDesignForm::toggleView()
{
    if (m_view->isVisible()) {
        m_view->hide();
        return;
    }
    m_view->SetZoom(m_zoom);
    m_view->Fill(m_chart.image());
}

void TDesignForm::showEditor()
{
    m_editor->Refresh();
    m_editor->show();
    m_editor->raise();
}

void TDesignForm::saveChart()
{
    SavePictureWithDialog(this, m_chart.image(), m_host.programDirectory(),
                          m_texts.TextAt(DesignSave));
}

} // namespace warplon
