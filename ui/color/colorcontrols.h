#pragma once

// Small controls of the colour windows: a colour swatch that can be clicked, an ink gauge that
// can be dragged, the HLS circle and a sheet of catalogue chips.

#include "color/colordata.h"
#include "color/coloredit.h"

#include <QFrame>
#include <QImage>
#include <QWidget>

#include <vector>

namespace warplon {

// A framed swatch of one colour; a left click emits clicked().
class TColorShape : public QFrame
{
    Q_OBJECT

public:
    explicit TColorShape(QWidget *parent = nullptr);
    void SetColor(TColor color);
    TColor Color() const { return m_color; }

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    TColor m_color = 0;
};

// A bar filled in proportion to an ink value 0-255. Pressing or dragging on it sets the value
// from the horizontal position; valueDragged() reports each new value, released() the end of
// the drag.
class TColorGauge : public QWidget
{
    Q_OBJECT

public:
    TColorGauge(QColor ink, QWidget *parent = nullptr);
    int Value() const { return m_value; }
    // Shows a value without reporting it.
    void SetValue(int value);
    QSize sizeHint() const override { return QSize(160, 14); }

signals:
    void valueDragged(int value);
    void released();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void dragTo(int x);

    QColor m_ink;
    int m_value = 0;
    bool m_dragging = false;
};

// The HLS circle: a ring of hues around a disc of lightness (rows) and saturation (columns) at
// the current hue. A press in the ring or the disc picks, and a drag keeps picking in the zone it
// began in; a press outside the ring does nothing.
class THlsCircle : public QWidget
{
    Q_OBJECT

public:
    explicit THlsCircle(QWidget *parent = nullptr);
    const HlsValues &Values() const { return m_values; }
    // Shows values without reporting them.
    void SetValues(const HlsValues &values);
    QSize sizeHint() const override;

signals:
    // The values after a pick in the ring (new hue) or in the disc (new lightness and
    // saturation).
    void picked(const warplon::HlsValues &values);
    void released();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void pickAt(QPoint point);
    void drawField();

    HlsValues m_values;
    HlsZone m_dragZone = HlsZone::Outside;
    QImage m_ring;
    QImage m_field;
    int m_fieldHue = -1;
};

// A sheet of colour chips at given places; a click on a chip emits chipClicked() with its
// position in the list. One chip can be marked.
class TColorChipView : public QWidget
{
    Q_OBJECT

public:
    struct Chip
    {
        QRect rect;
        RGBQUAD color;
        // Written on the chip when it is large enough, and shown as its tool tip.
        QString code;
    };

    explicit TColorChipView(QWidget *parent = nullptr);
    void SetChips(std::vector<Chip> chips, bool writeCodes);
    const std::vector<Chip> &Chips() const { return m_chips; }
    // -1 marks none.
    void SetMarked(int chip);
    int Marked() const { return m_marked; }
    int ChipAt(QPoint point) const;
    QSize sizeHint() const override;

signals:
    void chipClicked(int chip);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    std::vector<Chip> m_chips;
    bool m_writeCodes = false;
    int m_marked = -1;
};

} // namespace warplon
