#include "capture/measureobject.h"

#include <cmath>
#include <numbers>

namespace warplon {

namespace {

QString LengthText(double pixels, double umPerDot)
{
    return QString::number(RoundedMicrometres(pixels, umPerDot)) + QLatin1Char(' ')
           + MicrometreUnit();
}

QString AreaText(double squarePixels, double umPerDot)
{
    return QString::number(RoundedSquareMicrometres(squarePixels, umPerDot)) + QLatin1Char(' ')
           + SquareMicrometreUnit();
}

// "<first> = <length> um, S = <area> um²".
QString LengthAndAreaLabel(const QString &first, double pixels, double squarePixels,
                           double umPerDot)
{
    return first + QStringLiteral(" = ") + LengthText(pixels, umPerDot) + QStringLiteral(", S = ")
           + AreaText(squarePixels, umPerDot);
}

double Distance(QPointF a, QPointF b)
{
    return std::hypot(a.x() - b.x(), a.y() - b.y());
}

// A rounded value as a whole number that cannot overflow: out-of-range or not-finite values
// become 0 (no picture is that large).
int64_t TruncatedWhole(double value)
{
    if (!std::isfinite(value) || std::fabs(value) > 9.0e18)
        return 0;
    return int64_t(std::trunc(value));
}

} // namespace

int64_t RoundedMicrometres(double pixels, double umPerDot)
{
    return TruncatedWhole(pixels * umPerDot + 0.5);
}

int64_t RoundedSquareMicrometres(double squarePixels, double umPerDot)
{
    return TruncatedWhole(squarePixels * umPerDot * umPerDot + 0.5);
}

QString MicrometreUnit()
{
    return QStringLiteral("um");
}

QString SquareMicrometreUnit()
{
    return QStringLiteral("um") + QChar(0x00B2);
}

MeasureObject MakeMeasurePoint(QPoint p)
{
    MeasureObject object;
    object.kind = MeasurePoint;
    object.points = {p};
    object.anchor = p;
    return object;
}

MeasureObject MakeMeasureLine(QPoint a, QPoint b, double umPerDot)
{
    MeasureObject object;
    object.kind = MeasureLine;
    object.points = {a, b};
    object.anchor = b;
    object.label = LengthText(Distance(a, b), umPerDot);
    return object;
}

MeasureObject MakeMeasureTriangle(QPoint a, QPoint b, QPoint c, double umPerDot)
{
    MeasureObject object;
    object.kind = MeasureTriangle;
    object.points = {a, b, c};
    object.anchor = c;
    const double bx = b.x() - a.x();
    const double by = b.y() - a.y();
    const double cx = c.x() - a.x();
    const double cy = c.y() - a.y();
    const double base2 = bx * bx + by * by;
    const double t = base2 > 0.0 ? (cx * bx + cy * by) / base2 : 0.0;
    object.foot = QPointF(a.x() + t * bx, a.y() + t * by);
    const double height = Distance(QPointF(c), object.foot);
    const double area = std::fabs(bx * cy - by * cx) * 0.5;
    object.label = LengthAndAreaLabel(QStringLiteral("H"), height, area, umPerDot);
    return object;
}

MeasureObject MakeMeasureCircle(QPoint a, QPoint b, double umPerDot)
{
    MeasureObject object;
    object.kind = MeasureCircle;
    object.points = {a, b};
    object.anchor = b;
    object.centre = QPoint(int(std::floor((a.x() + b.x()) * 0.5 + 0.5)),
                           int(std::floor((a.y() + b.y()) * 0.5 + 0.5)));
    object.radius = int32_t(std::trunc(Distance(a, b) * 0.5 + 0.5));
    const double r = object.radius;
    object.label
        = LengthAndAreaLabel(QStringLiteral("L"), 2.0 * r, r * r * std::numbers::pi, umPerDot);
    return object;
}

MeasureObject MakeMeasurePolygon(const std::vector<QPoint> &vertices, double umPerDot)
{
    MeasureObject object;
    object.kind = MeasurePolygon;
    object.points = vertices;
    if (!vertices.empty()) {
        object.points.push_back(vertices.front());
        object.anchor = vertices.front();
    }
    double perimeter = 0.0;
    double twiceArea = 0.0;
    for (size_t i = 0; i + 1 < object.points.size(); ++i) {
        const QPoint p = object.points[i];
        const QPoint q = object.points[i + 1];
        perimeter += Distance(p, q);
        twiceArea += double(p.x()) * q.y() - double(q.x()) * p.y();
    }
    object.label
        = LengthAndAreaLabel(QStringLiteral("L"), perimeter, std::fabs(twiceArea) * 0.5, umPerDot);
    return object;
}

QString MeasureInfoText(const std::vector<MeasureObject> &objects)
{
    if (objects.empty())
        return QString();
    if (objects.back().kind != MeasurePoint)
        return objects.back().label;
    int32_t points = 0;
    for (const MeasureObject &object : objects)
        points += object.kind == MeasurePoint ? 1 : 0;
    return QString::number(points);
}

} // namespace warplon
