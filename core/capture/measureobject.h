#pragma once

// The measure objects of the capture window: points, lines, triangles, circles and polygons laid
// on a picture of fabric, each with the label the window draws beside it. Lengths are shown in
// whole micrometres, trunc(pixels * umPerDot + 0.5), areas in whole square micrometres,
// trunc(pixels^2 * umPerDot^2 + 0.5).

#include <QPoint>
#include <QPointF>
#include <QString>

#include <cstdint>
#include <vector>

namespace warplon {

// The stored kind codes of the measure objects.
enum MeasureKind : uint8_t {
    MeasurePoint = 0,
    MeasureLine = 1,
    MeasureTriangle = 2,
    MeasureCircle = 4,
    MeasurePolygon = 6,
};

struct MeasureObject
{
    uint8_t kind = MeasurePoint;
    // Point: the point. Line: both ends. Triangle: A, B, C. Circle: the clicks A and B.
    // Polygon: the vertices of the closed ring, the last a copy of the first.
    std::vector<QPoint> points;
    QString label;
    // Where the label is drawn: the point, the line's end, the triangle's apex C, the circle's
    // second click, the polygon's first vertex.
    QPoint anchor;
    // Derived drawing geometry: the triangle's foot of the height on A-B; the circle's centre
    // (the rounded midpoint of A and B) and radius in pixels.
    QPointF foot;
    QPoint centre;
    int32_t radius = 0;
};

// trunc(pixels * umPerDot + 0.5) and trunc(squarePixels * umPerDot^2 + 0.5).
int64_t RoundedMicrometres(double pixels, double umPerDot);
int64_t RoundedSquareMicrometres(double squarePixels, double umPerDot);

// "um" and "um" with a superscript two, as the labels end.
QString MicrometreUnit();
QString SquareMicrometreUnit();

// A point object (no label of its own: the window counts the points instead).
MeasureObject MakeMeasurePoint(QPoint p);
// A line from a to b, labelled "<length> um" ("0 um" while both ends are one point).
MeasureObject MakeMeasureLine(QPoint a, QPoint b, double umPerDot);
// A triangle on the base a-b with apex c, labelled "H = <height> um, S = <area> um²". The height
// runs from c to the foot of the perpendicular on the line a-b; when a and b are one point the
// base has no direction and the foot is a, so the height is the distance from a to c and the
// area is 0.
MeasureObject MakeMeasureTriangle(QPoint a, QPoint b, QPoint c, double umPerDot);
// A circle through the clicks a and b: centre the midpoint rounded half up, radius
// r = trunc(|a - b| / 2 + 0.5) pixels, labelled "L = <2r> um, S = <r² pi> um²".
MeasureObject MakeMeasureCircle(QPoint a, QPoint b, double umPerDot);
// A closed polygon of the vertices (the ring is closed by a copy of the first), labelled
// "L = <perimeter> um, S = <area> um²" with the shoelace area. Fewer than one vertex gives an
// empty polygon labelled with zeros.
MeasureObject MakeMeasurePolygon(const std::vector<QPoint> &vertices, double umPerDot);

// What the window's info label shows for its objects: the number of point objects when the
// last object is a point, else the last object's label; empty without objects.
QString MeasureInfoText(const std::vector<MeasureObject> &objects);

} // namespace warplon
