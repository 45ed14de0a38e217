#include "app/progressform.h"

#include "app/progressbar.h"

#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>

namespace warplon {

namespace {

constexpr int kClientWidth = 392;
constexpr int kClientHeight = 43;
constexpr int kBarOutWidth = 300;
constexpr int kBarOutHeight = 25;
constexpr int kBarOutLeft = 12;
constexpr int kBarOutTop = (kClientHeight - kBarOutHeight) / 2;
const QColor kBarColor(0x60, 0xB0, 0xF0);

} // namespace

TProgress_F::TProgress_F(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("Progress_F"));
    setFixedSize(kClientWidth, kClientHeight);

    m_barOut = new QFrame(this);
    m_barOut->setObjectName(QStringLiteral("ProgressBarOut"));
    m_barOut->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_barOut->setLineWidth(1);
    m_barOut->setGeometry(kBarOutLeft, kBarOutTop, kBarOutWidth, kBarOutHeight);

    m_barIn = new QFrame(m_barOut);
    m_barIn->setObjectName(QStringLiteral("ProgressBarIn"));
    m_barIn->setAutoFillBackground(true);
    QPalette palette = m_barIn->palette();
    palette.setColor(QPalette::Window, kBarColor);
    m_barIn->setPalette(palette);
    m_barIn->setGeometry(kProgressBarMargin, kProgressBarMargin, 0,
                         kBarOutHeight - 2 * kProgressBarMargin);

    m_percentLabel = new QLabel(this);
    m_percentLabel->setObjectName(QStringLiteral("Percent"));
    const int labelLeft = kBarOutLeft + kBarOutWidth + 12;
    m_percentLabel->setGeometry(labelLeft, kBarOutTop, kClientWidth - labelLeft - 8, kBarOutHeight);
    m_percentLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    const ProgressBarState start = ProgressBarFor(0, fullBarWidth());
    m_percentLabel->setText(start.text);
    m_barIn->hide(); // a zero-width frame would still draw its one-pixel edge on some styles
}

void TProgress_F::Step(const QString &title)
{
    setWindowTitle(title);
    show();
    SetPercent(0);
}

void TProgress_F::SetPercent(int32_t percent)
{
    const ProgressBarState state = ProgressBarFor(percent, fullBarWidth());
    m_percent = state.percent;
    m_barIn->resize(state.innerWidth, m_barIn->height());
    m_barIn->setVisible(state.innerWidth > 0);
    m_percentLabel->setText(state.text);
    setVisible(state.visible);
    if (state.visible)
        repaint();
}

void TProgress_F::BeginRun()
{
    m_running = true;
    m_stopRequested = false;
}

void TProgress_F::EndRun()
{
    m_running = false;
    close();
}

int32_t TProgress_F::barWidth() const
{
    return m_barIn->isVisibleTo(m_barOut) ? m_barIn->width() : 0;
}

int32_t TProgress_F::fullBarWidth() const
{
    return ProgressInnerFullWidth(m_barOut->width());
}

QString TProgress_F::percentText() const
{
    return m_percentLabel->text();
}

void TProgress_F::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        requestStop();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TProgress_F::closeEvent(QCloseEvent *event)
{
    // Closing by hand during a run means "stop": the calculation returns at its next report and
    // the run closes the window itself.
    if (m_running && event->spontaneous()) {
        requestStop();
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

} // namespace warplon
