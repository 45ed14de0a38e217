#include "design/chartcanvas.h"

#include "design/designform.h"
#include "knit/floats.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

namespace warplon {

TChartCanvas::TChartCanvas(TDesignForm &form, QWidget *parent)
    : QWidget(parent)
    , m_form(form)
{
    setObjectName(QStringLiteral("Chart"));
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TChartCanvas::ChartChanged()
{
    const QImage &chart = m_form.chart().image();
    setFixedSize(chart.width() + kRulerThickness, chart.height() + kRulerThickness);
    update();
}

bool TChartCanvas::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        const QString tip = m_form.FloatTipAt(help->pos());
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, this);
        return true;
    }
    return QWidget::event(event);
}

void TChartCanvas::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QImage &chart = m_form.chart().image();
    painter.fillRect(rect(), palette().window());
    painter.drawImage(0, 0, chart);
    // Floats too long for the mill, outlined over their courses.
    painter.setPen(QPen(QColor::fromRgb(kFloatWarningColor), 2));
    painter.setBrush(Qt::NoBrush);
    for (const QRect &mark : m_form.floatMarks())
        painter.drawRect(mark);

    // Rulers: a tick per cell, a long tick and its number every fifth needle or course, counted
    // from 1 at the lower right as the chart lays out the needles and courses.
    const int cell = 5 * m_form.Zoom();
    const int width = chart.width();
    const int height = chart.height();
    QFont small = font();
    small.setPixelSize(9);
    painter.setFont(small);
    painter.setPen(palette().windowText().color());
    painter.drawLine(0, height, width, height);
    painter.drawLine(width, 0, width, height);
    for (int k = 0; k * cell < width; ++k) {
        const int x = width - k * cell - cell / 2 - 1;
        const bool label = (k + 1) % 5 == 0 || k == 0;
        painter.drawLine(x, height, x, height + (label ? 6 : 3));
        if (label && cell * 5 >= 20)
            painter.drawText(QRect(x - 15, height + 6, 30, kRulerThickness - 6), Qt::AlignCenter,
                             QString::number(k + 1));
    }
    for (int c = 0; c * cell < height; ++c) {
        const int y = height - c * cell - cell / 2 - 1;
        const bool label = (c + 1) % 5 == 0 || c == 0;
        painter.drawLine(width, y, width + (label ? 6 : 3), y);
        if (label && cell * 5 >= 20)
            painter.drawText(QRect(width + 6, y - 6, kRulerThickness - 6, 12), Qt::AlignLeft,
                             QString::number(c + 1));
    }
}

void TChartCanvas::mousePressEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    const QImage &chart = m_form.chart().image();
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    if (point.x() < chart.width() && point.y() < chart.height())
        m_form.PressChart(point, event->modifiers());
    else if (point.x() < chart.width() && point.y() >= chart.height())
        m_form.ClickRuler(point.x());
}

void TChartCanvas::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    const QImage &chart = m_form.chart().image();
    if (point.x() < chart.width() && point.y() < chart.height())
        m_form.MoveOverChart(point, event->modifiers());
}

} // namespace warplon
