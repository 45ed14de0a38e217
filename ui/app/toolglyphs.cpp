#include "app/toolglyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace warplon {

namespace {

constexpr int kSize = 24;

void DrawDesign(QPainter &p)
{
    // A lapping chart: a dot grid with a zigzag lapping.
    p.setPen(QPen(QColor(140, 140, 140), 1));
    for (int x = 4; x <= 20; x += 4)
        for (int y = 4; y <= 20; y += 4)
            p.drawPoint(x, y);
    p.setPen(QPen(QColor(200, 40, 40), 2));
    p.drawPolyline(QPolygon({{4, 20}, {12, 16}, {8, 12}, {16, 8}, {12, 4}}));
}

void DrawGuideBar(QPainter &p)
{
    p.setPen(QPen(QColor(40, 40, 40), 2));
    p.drawLine(3, 6, 21, 6);
    p.setPen(QPen(QColor(40, 90, 200), 2));
    for (int x = 5; x <= 19; x += 4)
        p.drawLine(x, 6, x, 18);
    p.drawEllipse(QPoint(9, 19), 2, 2);
}

void DrawSimulation(QPainter &p)
{
    // Two courses of knitted loops.
    p.setPen(QPen(QColor(30, 110, 170), 2));
    for (int row = 0; row < 2; ++row) {
        for (int col = 0; col < 3; ++col) {
            QPainterPath loop;
            const double x = 4 + col * 6.5;
            const double y = 7 + row * 9;
            loop.moveTo(x, y + 6);
            loop.cubicTo(x - 1, y - 2, x + 6, y - 2, x + 5, y + 6);
            p.drawPath(loop);
        }
    }
}

void DrawTreatment(QPainter &p)
{
    // Shears over a pile.
    p.setPen(QPen(QColor(60, 60, 60), 2));
    p.drawEllipse(QPoint(7, 17), 3, 3);
    p.drawEllipse(QPoint(17, 17), 3, 3);
    p.drawLine(9, 15, 18, 4);
    p.drawLine(15, 15, 6, 4);
    p.setPen(QPen(QColor(200, 120, 40), 1));
    for (int x = 3; x <= 21; x += 3)
        p.drawLine(x, 22, x + 1, 20);
}

void DrawCapture(QPainter &p)
{
    // A microscope lens.
    p.setPen(QPen(QColor(40, 40, 40), 2));
    p.drawRoundedRect(3, 7, 18, 13, 2, 2);
    p.drawRect(8, 4, 8, 3);
    p.setBrush(QColor(120, 170, 220));
    p.drawEllipse(QPoint(12, 13), 4, 4);
}

void DrawLoadSave(QPainter &p)
{
    // A disk.
    p.setPen(QPen(QColor(40, 40, 40), 2));
    p.setBrush(QColor(90, 120, 170));
    p.drawRect(4, 4, 16, 16);
    p.setBrush(QColor(235, 235, 235));
    p.drawRect(8, 4, 8, 6);
    p.drawRect(7, 14, 10, 6);
}

void DrawPrint(QPainter &p)
{
    p.setPen(QPen(QColor(40, 40, 40), 2));
    p.setBrush(Qt::white);
    p.drawRect(7, 3, 10, 7);
    p.setBrush(QColor(150, 150, 150));
    p.drawRoundedRect(3, 9, 18, 9, 2, 2);
    p.setBrush(Qt::white);
    p.drawRect(7, 15, 10, 6);
}

} // namespace

QIcon MakeToolGlyph(ToolGlyph glyph)
{
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (glyph) {
    case ToolGlyph::Design:
        DrawDesign(p);
        break;
    case ToolGlyph::GuideBar:
        DrawGuideBar(p);
        break;
    case ToolGlyph::Simulation:
        DrawSimulation(p);
        break;
    case ToolGlyph::Treatment:
        DrawTreatment(p);
        break;
    case ToolGlyph::Capture:
        DrawCapture(p);
        break;
    case ToolGlyph::LoadSave:
        DrawLoadSave(p);
        break;
    case ToolGlyph::Print:
        DrawPrint(p);
        break;
    }
    return QIcon(pixmap);
}

} // namespace warplon
