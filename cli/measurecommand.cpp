#include "cliutil.h"
#include "commands.h"

#include "capture/calibration.h"
#include "capture/captureoverlay.h"
#include "capture/measureobject.h"

#include <QImageReader>
#include <QImageWriter>
#include <QJsonArray>

namespace warplon::cli {

namespace {

struct ObjectOption
{
    const char *name;
    uint8_t kind;
    const char *kindName;
};

constexpr ObjectOption kObjectOptions[] = {
    {"point", MeasurePoint, "point"},          {"line", MeasureLine, "line"},
    {"triangle", MeasureTriangle, "triangle"}, {"circle", MeasureCircle, "circle"},
    {"polygon", MeasurePolygon, "polygon"},
};

const ObjectOption *objectOption(const QString &argument)
{
    for (const ObjectOption &option : kObjectOptions)
        if (argument == QLatin1String("--") + QLatin1String(option.name))
            return &option;
    return nullptr;
}

// Points from "X,Y,X,Y,...".
// The object an option describes, or an error text.
QString makeObject(const ObjectOption &option, const std::vector<QPoint> &p, double umPerDot,
                   MeasureObject &object)
{
    switch (option.kind) {
    case MeasurePoint:
        if (p.size() != 1)
            return QStringLiteral("--point takes one point X,Y");
        object = MakeMeasurePoint(p[0]);
        return QString();
    case MeasureLine:
        if (p.size() != 2)
            return QStringLiteral("--line takes two points X,Y,X,Y");
        object = MakeMeasureLine(p[0], p[1], umPerDot);
        return QString();
    case MeasureTriangle:
        if (p.size() != 3)
            return QStringLiteral("--triangle takes three points: the base A, B and the apex C");
        object = MakeMeasureTriangle(p[0], p[1], p[2], umPerDot);
        return QString();
    case MeasureCircle:
        if (p.size() != 2)
            return QStringLiteral("--circle takes two points X,Y,X,Y across the circle");
        object = MakeMeasureCircle(p[0], p[1], umPerDot);
        return QString();
    default:
        if (p.size() < 3)
            return QStringLiteral("--polygon takes at least three vertices");
        object = MakeMeasurePolygon(p, umPerDot);
        return QString();
    }
}

bool parseInteger(const QCommandLineParser &parser, const QString &name, int32_t &value)
{
    if (!parser.isSet(name))
        return true;
    bool ok = false;
    value = parser.value(name).toInt(&ok);
    return ok;
}

} // namespace

int RunMeasure(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOptions({
        {{QStringLiteral("o"), QStringLiteral("output")},
         QStringLiteral("Draw the objects and their labels on the picture and write it."),
         QStringLiteral("OUT")},
        {QStringLiteral("um-per-dot"), QStringLiteral("Micrometres per picture pixel."),
         QStringLiteral("X")},
        {QStringLiteral("magnification"),
         QStringLiteral("Magnification of the optics: the calibration follows from it, the "
                        "tuning and the frame width."),
         QStringLiteral("M")},
        {QStringLiteral("tuning"),
         QStringLiteral("Micrometres across the field of view at magnification 1 (default "
                        "300000)."),
         QStringLiteral("T")},
        {QStringLiteral("res-width"),
         QStringLiteral("Width in pixels of the captured frame (default 320; 0: unknown)."),
         QStringLiteral("R")},
        {QStringLiteral("point"), QStringLiteral("A point object."), QStringLiteral("X,Y")},
        {QStringLiteral("line"), QStringLiteral("A line from A to B."), QStringLiteral("X,Y,X,Y")},
        {QStringLiteral("triangle"),
         QStringLiteral("A triangle on the base A-B with apex C: its height and area."),
         QStringLiteral("X,Y,X,Y,X,Y")},
        {QStringLiteral("circle"),
         QStringLiteral("A circle across the points A and B: its diameter and area."),
         QStringLiteral("X,Y,X,Y")},
        {QStringLiteral("polygon"),
         QStringLiteral("A closed polygon of three or more vertices: its perimeter and area."),
         QStringLiteral("X,Y,...")},
        {QStringLiteral("size"), QStringLiteral("Radius of point marks in pixels (default 5)."),
         QStringLiteral("R")},
        {QStringLiteral("label-size"),
         QStringLiteral("Height of the label text in pixels (default 14)."), QStringLiteral("PX")},
        {QStringLiteral("color"), QStringLiteral("Overlay colour (default FF0000)."),
         QStringLiteral("RRGGBB")},
        {QStringLiteral("json"), QStringLiteral("Print the objects and labels as JSON.")},
    });
    parser.addPositionalArgument(QStringLiteral("IMAGE"),
                                 QStringLiteral("The picture of the fabric."));
    int exitCode = kExitOk;
    if (!ParseArguments(parser, QStringLiteral("measure"),
                        QStringLiteral("Measures on a picture of fabric as the capture window "
                                       "does: lengths in whole micrometres, areas in whole square "
                                       "micrometres. Objects are taken in the order given; each "
                                       "label is printed as the window shows it (a point shows "
                                       "the number of points)."),
                        arguments, exitCode))
        return exitCode;

    const QStringList files = parser.positionalArguments();
    if (files.size() != 1)
        return Fail(QStringLiteral("give exactly one picture"), kExitUsage);

    CaptureCalibration calibration;
    const bool direct = parser.isSet(QStringLiteral("um-per-dot"));
    if (direct == parser.isSet(QStringLiteral("magnification")))
        return Fail(QStringLiteral("give either --um-per-dot or --magnification"), kExitUsage);
    if (direct) {
        bool ok = false;
        calibration.umPerDot = parser.value(QStringLiteral("um-per-dot")).toDouble(&ok);
        if (!ok || !(calibration.umPerDot > 0.0) || calibration.umPerDot > 1.0e6)
            return Fail(QStringLiteral("--um-per-dot must be a positive number"), kExitUsage);
    } else {
        int32_t magnification = 0;
        if (!parseInteger(parser, QStringLiteral("magnification"), magnification)
            || magnification <= 0
            || !parseInteger(parser, QStringLiteral("tuning"), calibration.tuning)
            || calibration.tuning <= 0
            || !parseInteger(parser, QStringLiteral("res-width"), calibration.resWidth)
            || calibration.resWidth < 0)
            return Fail(QStringLiteral("--magnification and --tuning must be positive whole "
                                       "numbers, --res-width a whole number from 0"),
                        kExitUsage);
        calibration.SetMagnification(magnification);
    }

    OverlayStyle style;
    style.lineWidth = 2; // thin lines vanish when a large picture is viewed scaled down
    if (!parseInteger(parser, QStringLiteral("size"), style.markSize) || style.markSize < 1
        || style.markSize > 100)
        return Fail(QStringLiteral("--size must be a radius from 1 to 100"), kExitUsage);
    if (!parseInteger(parser, QStringLiteral("label-size"), style.labelSize) || style.labelSize < 6
        || style.labelSize > 200)
        return Fail(QStringLiteral("--label-size must be from 6 to 200 pixels"), kExitUsage);
    if (parser.isSet(QStringLiteral("color"))
        && !ParseRgbColor(parser.value(QStringLiteral("color")), style.color))
        return Fail(QStringLiteral("--color must be six hexadecimal digits RRGGBB"), kExitUsage);

    // The objects in the order of the arguments (the parser keeps each option's values apart).
    std::vector<MeasureObject> objects;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString name = arguments[i];
        QString value;
        if (const qsizetype equals = name.indexOf(QLatin1Char('=')); equals > 0) {
            value = name.mid(equals + 1);
            name = name.left(equals);
        } else if (i + 1 < arguments.size()) {
            value = arguments[i + 1];
        }
        const ObjectOption *option = objectOption(name);
        if (!option)
            continue;
        std::vector<QPoint> points;
        if (!ParsePoints(value, points))
            return Fail(QStringLiteral("--%1 takes whole numbers X,Y,... in pairs")
                            .arg(QLatin1String(option->name)),
                        kExitUsage);
        MeasureObject object;
        if (const QString error = makeObject(*option, points, calibration.umPerDot, object);
            !error.isEmpty())
            return Fail(error, kExitUsage);
        objects.push_back(object);
    }
    if (objects.empty())
        return Fail(QStringLiteral("nothing to measure; give --line, --triangle, --circle, "
                                   "--polygon or --point"),
                    kExitUsage);

    QImageReader reader(files[0]);
    QImage image = reader.read();
    if (image.isNull())
        return Fail(QStringLiteral("cannot read %1: %2").arg(files[0], reader.errorString()));

    // What the info label shows after each object was added.
    QStringList shown;
    std::vector<MeasureObject> sofar;
    for (const MeasureObject &object : objects) {
        sofar.push_back(object);
        shown.append(MeasureInfoText(sofar));
    }

    if (parser.isSet(QStringLiteral("output"))) {
        image = image.convertToFormat(QImage::Format_RGB32);
        PaintMeasureObjects(image, objects, style);
        const QString output = parser.value(QStringLiteral("output"));
        QImageWriter writer(output);
        if (output.endsWith(QLatin1String(".jpg"), Qt::CaseInsensitive))
            writer.setQuality(95);
        if (!writer.write(image))
            return Fail(QStringLiteral("cannot write %1: %2").arg(output, writer.errorString()));
    }

    if (parser.isSet(QStringLiteral("json"))) {
        QJsonArray list;
        for (size_t k = 0; k < objects.size(); ++k) {
            const MeasureObject &object = objects[k];
            QJsonArray points;
            for (const QPoint &p : object.points)
                points.append(QJsonArray{p.x(), p.y()});
            const char *kindName = "point";
            for (const ObjectOption &option : kObjectOptions)
                if (option.kind == object.kind)
                    kindName = option.kindName;
            list.append(QJsonObject{{QStringLiteral("kind"), QLatin1String(kindName)},
                                    {QStringLiteral("code"), int(object.kind)},
                                    {QStringLiteral("points"), points},
                                    {QStringLiteral("label"), object.label},
                                    {QStringLiteral("shown"), shown[qsizetype(k)]}});
        }
        PrintJson(QJsonObject{{QStringLiteral("umPerDot"), calibration.umPerDot},
                              {QStringLiteral("magnification"), calibration.magnification},
                              {QStringLiteral("resWidth"), calibration.resWidth},
                              {QStringLiteral("tuning"), calibration.tuning},
                              {QStringLiteral("objects"), list}});
    } else {
        for (const QString &line : shown)
            PrintLine(line);
    }
    return kExitOk;
}

} // namespace warplon::cli
