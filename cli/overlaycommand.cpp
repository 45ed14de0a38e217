#include "cliutil.h"
#include "commands.h"

#include "capture/calibration.h"
#include "capture/captureoverlay.h"
#include "capture/stitchgrid.h"

#include <QImageReader>
#include <QImageWriter>
#include <QJsonArray>
#include <QRegularExpression>

namespace warplon::cli {

namespace {

bool parseGridSize(const QString &text, GridSize &size)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,4})x(\\d{1,4})$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return false;
    const int wales = match.captured(1).toInt();
    const int courses = match.captured(2).toInt();
    if (wales > kMaxGridSize || courses > kMaxGridSize)
        return false;
    size = ClampGridSize(wales, courses);
    return true;
}

QJsonArray pointJson(QPoint p)
{
    return QJsonArray{p.x(), p.y()};
}

} // namespace

int RunOverlay(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOptions({
        {{QStringLiteral("o"), QStringLiteral("output")},
         QStringLiteral("The picture to write (.png, .bmp or .jpg)."),
         QStringLiteral("OUT")},
        {QStringLiteral("bar"), QStringLiteral("The guide bar whose lapping is drawn (default 1)."),
         QStringLiteral("N")},
        {QStringLiteral("grid"),
         QStringLiteral("Stitch points across (wales) and down (courses), default 10x10; a size "
                        "below 2 makes both 2."),
         QStringLiteral("WxC")},
        {QStringLiteral("corners"),
         QStringLiteral("The grid's corner points in picture pixels, top left, top right, bottom "
                        "left, bottom right: eight numbers X,Y,... The points between are "
                        "interpolated as the capture window does when the grid size changes. "
                        "Without it the grid is laid out as by the window's set button."),
         QStringLiteral("X,Y,...")},
        {QStringLiteral("size"), QStringLiteral("Radius of the grid points in pixels (default 5)."),
         QStringLiteral("R")},
        {QStringLiteral("color"), QStringLiteral("Overlay colour (default FF0000)."),
         QStringLiteral("RRGGBB")},
        {QStringLiteral("um-per-dot"),
         QStringLiteral("Micrometres per picture pixel for the densities (default: the "
                        "calibration of a fresh install, 9.375)."),
         QStringLiteral("X")},
        {QStringLiteral("no-path"), QStringLiteral("Draw the grid only.")},
        {QStringLiteral("json"),
         QStringLiteral("Print the grid points, path segments, skipped courses and densities as "
                        "JSON.")},
    });
    parser.addPositionalArgument(QStringLiteral("FILE.trc"), QStringLiteral("The design file."));
    parser.addPositionalArgument(QStringLiteral("IMAGE"),
                                 QStringLiteral("The picture of the fabric."));
    int exitCode = kExitOk;
    if (!ParseArguments(parser, QStringLiteral("overlay"),
                        QStringLiteral("Lays the capture window's grid of stitch points over a "
                                       "picture of fabric and draws the lapping path of a guide "
                                       "bar through it: needle 0 in the rightmost column, course "
                                       "1 in the bottom row."),
                        arguments, exitCode))
        return exitCode;

    const QStringList files = parser.positionalArguments();
    if (files.size() != 2)
        return Fail(QStringLiteral("give a design file and a picture"), kExitUsage);
    if (!parser.isSet(QStringLiteral("output")) && !parser.isSet(QStringLiteral("json")))
        return Fail(QStringLiteral("no output; give -o OUT.png or --json"), kExitUsage);

    GridSize size;
    if (parser.isSet(QStringLiteral("grid"))
        && !parseGridSize(parser.value(QStringLiteral("grid")), size))
        return Fail(
            QStringLiteral("--grid must be WxC up to %1x%1, such as 12x8").arg(kMaxGridSize),
            kExitUsage);
    std::vector<QPoint> corners;
    if (parser.isSet(QStringLiteral("corners"))
        && (!ParsePoints(parser.value(QStringLiteral("corners")), corners) || corners.size() != 4))
        return Fail(QStringLiteral("--corners must be eight whole numbers X,Y,... "
                                   "(top left, top right, bottom left, bottom right)"),
                    kExitUsage);
    OverlayStyle style;
    if (parser.isSet(QStringLiteral("size"))) {
        bool ok = false;
        style.markSize = parser.value(QStringLiteral("size")).toInt(&ok);
        if (!ok || style.markSize < 1 || style.markSize > 100)
            return Fail(QStringLiteral("--size must be a radius from 1 to 100"), kExitUsage);
    }
    if (parser.isSet(QStringLiteral("color"))
        && !ParseRgbColor(parser.value(QStringLiteral("color")), style.color))
        return Fail(QStringLiteral("--color must be six hexadecimal digits RRGGBB"), kExitUsage);
    CaptureCalibration calibration;
    calibration.ApplyRule();
    if (parser.isSet(QStringLiteral("um-per-dot"))) {
        bool ok = false;
        calibration.umPerDot = parser.value(QStringLiteral("um-per-dot")).toDouble(&ok);
        if (!ok || !(calibration.umPerDot > 0.0) || calibration.umPerDot > 1.0e6)
            return Fail(QStringLiteral("--um-per-dot must be a positive number"), kExitUsage);
    }

    Design design;
    int32_t fileVersion = 0;
    if (!LoadDesignFile(files[0], design, fileVersion))
        return kExitFailure;
    const int32_t barCount = int32_t(design.document.bars.size());
    int bar = 1;
    if (parser.isSet(QStringLiteral("bar"))) {
        bool ok = false;
        bar = parser.value(QStringLiteral("bar")).toInt(&ok);
        if (!ok || bar < 1 || bar > barCount)
            return Fail(QStringLiteral("--bar must be a bar number from 1 to %1").arg(barCount),
                        kExitUsage);
    } else if (barCount == 0) {
        return Fail(QStringLiteral("the design has no guide bars"));
    }
    const std::vector<ChainLink> &lapping = design.document.bars[size_t(bar - 1)].lapping;

    QImageReader reader(files[1]);
    QImage image = reader.read();
    if (image.isNull())
        return Fail(QStringLiteral("cannot read %1: %2").arg(files[1], reader.errorString()));
    image = image.convertToFormat(QImage::Format_RGB32);

    StitchGrid grid;
    if (corners.empty()) {
        grid = SetStitchGrid(size, image.size(), image.size());
    } else {
        StitchGrid frame(2, 2);
        frame.at(0, 0) = corners[0];
        frame.at(1, 0) = corners[1];
        frame.at(0, 1) = corners[2];
        frame.at(1, 1) = corners[3];
        grid = RebuildStitchGrid(frame, size);
    }
    const LappingPath path
        = parser.isSet(QStringLiteral("no-path")) ? LappingPath() : MakeLappingPath(grid, lapping);
    const GridDensity density = MeasureGridDensity(grid, calibration.umPerDot);

    if (parser.isSet(QStringLiteral("output"))) {
        PaintGridPoints(image, grid, style);
        PaintLappingPath(image, path, style);
        const QString output = parser.value(QStringLiteral("output"));
        QImageWriter writer(output);
        if (output.endsWith(QLatin1String(".jpg"), Qt::CaseInsensitive))
            writer.setQuality(95);
        if (!writer.write(image))
            return Fail(QStringLiteral("cannot write %1: %2").arg(output, writer.errorString()));
    }

    if (parser.isSet(QStringLiteral("json"))) {
        QJsonArray rows;
        for (int32_t j = 0; j < grid.courses(); ++j) {
            QJsonArray row;
            for (int32_t i = 0; i < grid.wales(); ++i)
                row.append(pointJson(grid.at(i, j)));
            rows.append(row);
        }
        QJsonArray segments;
        for (const PathSegment &segment : path.segments)
            segments.append(QJsonObject{{QStringLiteral("course"), segment.course},
                                        {QStringLiteral("fromNeedle"), segment.fromNeedle},
                                        {QStringLiteral("toNeedle"), segment.toNeedle},
                                        {QStringLiteral("from"), pointJson(segment.from)},
                                        {QStringLiteral("to"), pointJson(segment.to)}});
        QJsonArray skipped;
        for (const int32_t course : path.skipped)
            skipped.append(course);
        PrintJson(QJsonObject{
            {QStringLiteral("bar"), bar},
            {QStringLiteral("wales"), grid.wales()},
            {QStringLiteral("courses"), grid.courses()},
            {QStringLiteral("points"), rows},
            {QStringLiteral("segments"), segments},
            {QStringLiteral("skippedCourses"), skipped},
            {QStringLiteral("umPerDot"), calibration.umPerDot},
            {QStringLiteral("waleSpacing"), density.waleSpacing},
            {QStringLiteral("courseSpacing"), density.courseSpacing},
            {QStringLiteral("walesPerCm"), density.walesPerCm},
            {QStringLiteral("coursesPerCm"), density.coursesPerCm},
        });
    } else {
        PrintLine(QStringLiteral("grid %1 x %2, %3 path segments, %4 courses skipped")
                      .arg(grid.wales())
                      .arg(grid.courses())
                      .arg(path.segments.size())
                      .arg(path.skipped.size()));
        PrintLine(QStringLiteral("%1 wales/cm, %2 courses/cm at %3 um per pixel")
                      .arg(density.walesPerCm, 0, 'f', 2)
                      .arg(density.coursesPerCm, 0, 'f', 2)
                      .arg(calibration.umPerDot));
    }
    return kExitOk;
}

} // namespace warplon::cli
