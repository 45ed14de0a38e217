#include "color/colorcontrols.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>

namespace warplon {

namespace {

QColor ToQColor(TColor color)
{
    return QColor(color & 0xff, (color >> 8) & 0xff, (color >> 16) & 0xff);
}

QColor ToQColor(RGBQUAD rgb)
{
    return QColor(rgb.rgbRed, rgb.rgbGreen, rgb.rgbBlue);
}

} // namespace

// ---- TColorShape ----

TColorShape::TColorShape(QWidget *parent)
    : QFrame(parent)
{
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    setFixedSize(32, 24);
    SetColor(0);
}

void TColorShape::SetColor(TColor color)
{
    m_color = color;
    QPalette colors = palette();
    colors.setColor(QPalette::Window, ToQColor(color));
    setPalette(colors);
}

void TColorShape::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QFrame::mouseReleaseEvent(event);
}

// ---- TColorGauge ----

TColorGauge::TColorGauge(QColor ink, QWidget *parent)
    : QWidget(parent)
    , m_ink(ink)
{
    setMinimumSize(60, 12);
    setCursor(Qt::SizeHorCursor);
}

void TColorGauge::SetValue(int value)
{
    value = ClampCmy(value);
    if (value == m_value)
        return;
    m_value = value;
    update();
}

void TColorGauge::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect inside = rect().adjusted(1, 1, -1, -1);
    painter.fillRect(rect(), palette().color(QPalette::Dark));
    painter.fillRect(inside, Qt::white);
    QRect filled = inside;
    filled.setWidth(inside.width() * m_value / 255);
    painter.fillRect(filled, m_ink);
}

void TColorGauge::dragTo(int x)
{
    const int span = std::max(1, width() - 3);
    const int value = ClampCmy((x - 1) * 255 / span);
    SetValue(value);
    emit valueDragged(value);
}

void TColorGauge::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_dragging = true;
    dragTo(event->position().toPoint().x());
}

void TColorGauge::mouseMoveEvent(QMouseEvent *event)
{
    if (m_dragging)
        dragTo(event->position().toPoint().x());
}

void TColorGauge::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_dragging)
        return;
    m_dragging = false;
    emit released();
}

// ---- THlsCircle ----

THlsCircle::THlsCircle(QWidget *parent)
    : QWidget(parent)
    , m_ring(hlscircle::kSize, hlscircle::kSize, QImage::Format_ARGB32)
{
    setFixedSize(sizeHint());
    m_ring.fill(Qt::transparent);
    for (int y = 0; y < hlscircle::kSize; ++y) {
        for (int x = 0; x < hlscircle::kSize; ++x) {
            if (HlsCircleZone(QPoint(x, y)) != HlsZone::Ring)
                continue;
            m_ring.setPixelColor(x, y, ToQColor(HlsToRgb({HlsCircleHue(QPoint(x, y)), 50, 100})));
        }
    }
    drawField();
}

QSize THlsCircle::sizeHint() const
{
    return QSize(hlscircle::kSize, hlscircle::kSize);
}

void THlsCircle::SetValues(const HlsValues &values)
{
    m_values = ClampHls(values.hue, values.lightness, values.saturation);
    drawField();
    update();
}

void THlsCircle::drawField()
{
    if (m_fieldHue == m_values.hue)
        return;
    m_fieldHue = m_values.hue;
    m_field = QImage(hlscircle::kSize, hlscircle::kSize, QImage::Format_ARGB32);
    m_field.fill(Qt::transparent);
    for (int y = 0; y < hlscircle::kSize; ++y) {
        for (int x = 0; x < hlscircle::kSize; ++x) {
            if (HlsCircleZone(QPoint(x, y)) != HlsZone::Inner)
                continue;
            m_field.setPixelColor(
                x, y,
                ToQColor(HlsToRgb({m_fieldHue, HlsCircleLightness(y), HlsCircleSaturation(x)})));
        }
    }
}

void THlsCircle::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawImage(0, 0, m_ring);
    painter.drawImage(0, 0, m_field);
    painter.setRenderHint(QPainter::Antialiasing);
    // The hue marker on the ring and the lightness/saturation cross in the disc, drawn in the
    // legible colour over what lies beneath.
    const QPoint huePoint = HlsCircleHuePoint(m_values.hue);
    painter.setPen(QPen(Qt::black, 1.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(huePoint, 4, 4);
    const QPoint field = HlsCircleFieldPoint(m_values.lightness, m_values.saturation);
    painter.setPen(QPen(ToQColor(TColorToBW(RGBToTColor(HlsToRgb(m_values)))), 1.5));
    painter.drawLine(field + QPoint(-5, 0), field + QPoint(5, 0));
    painter.drawLine(field + QPoint(0, -5), field + QPoint(0, 5));
}

void THlsCircle::pickAt(QPoint point)
{
    HlsValues values = m_values;
    if (m_dragZone == HlsZone::Ring) {
        if (point == QPoint(hlscircle::kCentre, hlscircle::kCentre))
            return;
        values.hue = HlsCircleHue(point);
    } else if (m_dragZone == HlsZone::Inner) {
        values.lightness = HlsCircleLightness(point.y());
        values.saturation = HlsCircleSaturation(point.x());
    } else {
        return;
    }
    if (values == m_values)
        return;
    SetValues(values);
    emit picked(m_values);
}

void THlsCircle::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint point = event->position().toPoint();
    m_dragZone = HlsCircleZone(point);
    pickAt(point);
}

void THlsCircle::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() & Qt::LeftButton)
        pickAt(event->position().toPoint());
}

void THlsCircle::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const bool picking = m_dragZone != HlsZone::Outside;
    m_dragZone = HlsZone::Outside;
    if (picking)
        emit released();
}

// ---- TColorChipView ----

TColorChipView::TColorChipView(QWidget *parent)
    : QWidget(parent)
{}

void TColorChipView::SetChips(std::vector<Chip> chips, bool writeCodes)
{
    m_chips = std::move(chips);
    m_writeCodes = writeCodes;
    m_marked = -1;
    resize(sizeHint());
    updateGeometry();
    update();
}

void TColorChipView::SetMarked(int chip)
{
    if (chip < 0 || chip >= int(m_chips.size()))
        chip = -1;
    if (chip == m_marked)
        return;
    m_marked = chip;
    update();
}

int TColorChipView::ChipAt(QPoint point) const
{
    for (size_t i = 0; i < m_chips.size(); ++i) {
        if (m_chips[i].rect.contains(point))
            return int(i);
    }
    return -1;
}

QSize TColorChipView::sizeHint() const
{
    QRect bounds;
    for (const Chip &chip : m_chips)
        bounds |= chip.rect;
    return QSize(bounds.right() + 3, bounds.bottom() + 3);
}

bool TColorChipView::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const int chip = ChipAt(help->pos());
        if (chip >= 0)
            QToolTip::showText(help->globalPos(), m_chips[size_t(chip)].code, this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

void TColorChipView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QFont small = font();
    small.setPixelSize(10);
    painter.setFont(small);
    for (size_t i = 0; i < m_chips.size(); ++i) {
        const Chip &chip = m_chips[i];
        painter.fillRect(chip.rect, ToQColor(chip.color));
        if (m_writeCodes) {
            painter.setPen(ToQColor(TColorToBW(RGBToTColor(chip.color))));
            painter.drawText(chip.rect, Qt::AlignCenter, chip.code);
        }
    }
    if (m_marked >= 0) {
        const QRect mark = m_chips[size_t(m_marked)].rect.adjusted(-2, -2, 1, 1);
        painter.setPen(QPen(Qt::black, 1));
        painter.drawRect(mark);
        painter.setPen(QPen(Qt::white, 1));
        painter.drawRect(mark.adjusted(1, 1, -1, -1));
    }
}

void TColorChipView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const int chip = ChipAt(event->position().toPoint());
    if (chip >= 0)
        emit chipClicked(chip);
}

} // namespace warplon
