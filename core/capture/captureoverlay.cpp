#include "capture/captureoverlay.h"

#include <QCoreApplication>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <array>
#include <cmath>

namespace warplon {

namespace {

// A 5 x 7 glyph: seven rows, bit 4 the leftmost column.
struct Glyph
{
    char16_t code;
    std::array<uint8_t, 7> rows;
};

constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 7;
constexpr int kGlyphAdvance = 6;

constexpr std::array<Glyph, 22> kGlyphs = {{
    {u'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}},
    {u'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {u'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}},
    {u'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {u'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}},
    {u'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {u'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}},
    {u'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {u'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}},
    {u'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {u'H', {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {u'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}},
    {u'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}},
    {u'u', {0x00, 0x00, 0x11, 0x11, 0x11, 0x13, 0x0D}},
    {u'm', {0x00, 0x00, 0x1A, 0x15, 0x15, 0x11, 0x11}},
    {u'=', {0x00, 0x00, 0x1F, 0x00, 0x1F, 0x00, 0x00}},
    {u',', {0x00, 0x00, 0x00, 0x00, 0x06, 0x04, 0x08}},
    {u'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}},
    {u'-', {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00}},
    {u'\u00b2', {0x0C, 0x12, 0x04, 0x08, 0x1E, 0x00, 0x00}},
    {u' ', {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}},
    {u'?', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x00, 0x04}},
}};

const Glyph &GlyphOf(QChar c)
{
    for (const Glyph &glyph : kGlyphs)
        if (glyph.code == c.unicode())
            return glyph;
    return kGlyphs.back();
}

bool HaveSystemFont()
{
    return qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr;
}

// Pixels per glyph pixel of the built-in font for a label of `labelSize` pixels.
int PixelScale(const OverlayStyle &style)
{
    return std::max(1, (style.labelSize + kGlyphHeight / 2) / (kGlyphHeight + 2));
}

QFont LabelFont(const OverlayStyle &style)
{
    QFont font;
    font.setPixelSize(std::max(1, style.labelSize));
    font.setBold(true);
    return font;
}

// Black or white, whichever stands further from the overlay colour's brightness.
QColor OutlineColor(QRgb color)
{
    return qGray(color) >= 128 ? QColor(Qt::black) : QColor(Qt::white);
}

QPainter::RenderHints Hints()
{
    return QPainter::Antialiasing;
}

void PaintPixelText(QPainter &painter, QPoint at, const QString &text, int scale, const QColor &ink,
                    const QColor &outline)
{
    // The outline first (every set pixel grown by one scale step), then the ink over it.
    for (int pass = 0; pass < 2; ++pass) {
        const int grow = pass == 0 ? std::max(1, scale / 2 + 1) : 0;
        const QColor &color = pass == 0 ? outline : ink;
        int x = at.x() + std::max(1, scale / 2 + 1);
        for (const QChar c : text) {
            const Glyph &glyph = GlyphOf(c);
            for (int row = 0; row < kGlyphHeight; ++row)
                for (int column = 0; column < kGlyphWidth; ++column)
                    if (glyph.rows[size_t(row)] & (0x10 >> column))
                        painter.fillRect(x + column * scale - grow,
                                         at.y() + std::max(1, scale / 2 + 1) + row * scale - grow,
                                         scale + 2 * grow, scale + 2 * grow, color);
            x += kGlyphAdvance * scale;
        }
    }
}

void PaintSystemText(QPainter &painter, QPoint at, const QString &text, const OverlayStyle &style)
{
    const QFont font = LabelFont(style);
    const QFontMetrics metrics(font);
    QPainterPath path;
    path.addText(QPointF(at.x() + 2, at.y() + 2 + metrics.ascent()), font, text);
    painter.strokePath(
        path, QPen(OutlineColor(style.color), 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.fillPath(path, QColor::fromRgb(style.color));
}

void PaintLabelOn(QPainter &painter, QSize bounds, QPoint at, const QString &text,
                  const OverlayStyle &style)
{
    if (text.isEmpty())
        return;
    const QSize size = LabelSize(text, style);
    // Keep the label inside the picture where it fits.
    at.setX(std::max(0, std::min(at.x(), bounds.width() - size.width())));
    at.setY(std::max(0, std::min(at.y(), bounds.height() - size.height())));
    if (HaveSystemFont())
        PaintSystemText(painter, at, text, style);
    else
        PaintPixelText(painter, at, text, PixelScale(style), QColor::fromRgb(style.color),
                       OutlineColor(style.color));
}

// Labels stand a little right of and below their anchor, clear of a point mark.
QPoint LabelCorner(QPoint anchor, const OverlayStyle &style)
{
    const int offset = std::max(4, style.markSize + 2);
    return anchor + QPoint(offset, offset);
}

void PaintObject(QPainter &painter, const MeasureObject &object, const OverlayStyle &style)
{
    const QColor color = QColor::fromRgb(style.color);
    const std::vector<QPoint> &p = object.points;
    switch (object.kind) {
    case MeasurePoint:
        if (!p.empty()) {
            // The mark is filled without an outline; the objects after it keep the pen.
            painter.save();
            painter.setPen(Qt::NoPen);
            painter.setBrush(color);
            painter.drawEllipse(p[0], style.markSize, style.markSize);
            painter.restore();
        }
        break;
    case MeasureLine:
        if (p.size() >= 2)
            painter.drawLine(p[0], p[1]);
        break;
    case MeasureTriangle:
        if (p.size() >= 3) {
            const QPoint ring[] = {p[0], p[1], p[2]};
            painter.drawPolygon(ring, 3);
            painter.drawLine(QPointF(p[2]), object.foot);
        }
        break;
    case MeasureCircle:
        if (p.size() >= 2) {
            painter.drawLine(p[0], p[1]);
            painter.drawEllipse(object.centre, object.radius, object.radius);
            painter.drawEllipse(object.centre, 3, 3);
        }
        break;
    case MeasurePolygon:
        if (p.size() >= 2)
            painter.drawPolyline(p.data(), int(p.size()));
        break;
    default:
        break;
    }
}

} // namespace

QSize LabelSize(const QString &text, const OverlayStyle &style)
{
    if (HaveSystemFont()) {
        const QFontMetrics metrics(LabelFont(style));
        return QSize(metrics.horizontalAdvance(text) + 4, metrics.height() + 4);
    }
    const int scale = PixelScale(style);
    const int margin = 2 * std::max(1, scale / 2 + 1);
    return QSize(int(text.size()) * kGlyphAdvance * scale - scale + margin,
                 kGlyphHeight * scale + margin);
}

void PaintLabel(QImage &image, QPoint at, const QString &text, const OverlayStyle &style)
{
    QPainter painter(&image);
    PaintLabelOn(painter, image.size(), at, text, style);
}

void PaintMeasureObjects(QImage &image, const std::vector<MeasureObject> &objects,
                         const OverlayStyle &style)
{
    QPainter painter(&image);
    painter.setRenderHints(Hints());
    painter.setPen(QPen(QColor::fromRgb(style.color), std::max(1, style.lineWidth)));
    for (const MeasureObject &object : objects)
        PaintObject(painter, object, style);
    for (const MeasureObject &object : objects)
        PaintLabelOn(painter, image.size(), LabelCorner(object.anchor, style), object.label, style);
}

void PaintGridPoints(QImage &image, const StitchGrid &grid, const OverlayStyle &style)
{
    QPainter painter(&image);
    painter.setRenderHints(Hints());
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor::fromRgb(style.color));
    for (const QPoint &p : grid.points())
        painter.drawEllipse(p, style.markSize, style.markSize);
}

void PaintLappingPath(QImage &image, const LappingPath &path, const OverlayStyle &style)
{
    QPainter painter(&image);
    painter.setRenderHints(Hints());
    painter.setPen(QPen(QColor::fromRgb(style.color), kPathWidth, Qt::SolidLine, Qt::RoundCap));
    for (const PathSegment &segment : path.segments)
        painter.drawLine(segment.from, segment.to);
}

} // namespace warplon
