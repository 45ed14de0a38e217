#include "cliutil.h"
#include "commands.h"

#include "base/numbers.h"
#include "base/randomsource.h"
#include "knit/floats.h"
#include "knit/lappingview.h"
#include "simulation/floatoverlay.h"
#include "simulation/simulationrun.h"

#include <QImageWriter>
#include <QJsonArray>

#include <cmath>

namespace warplon::cli {

namespace {

QString kindName(FloatKind kind)
{
    switch (kind) {
    case FloatKind::Underlap:
        return QStringLiteral("underlap");
    case FloatKind::Carried:
        return QStringLiteral("carried");
    case FloatKind::Walk:
        return QStringLiteral("walk");
    case FloatKind::LaidIn:
        return QStringLiteral("laid-in");
    }
    return QString();
}

bool writePicture(const QImage &image, const QString &output)
{
    QImageWriter writer(output);
    if (output.endsWith(QLatin1String(".jpg"), Qt::CaseInsensitive))
        writer.setQuality(95);
    if (writer.write(image))
        return true;
    Fail(QStringLiteral("cannot write %1: %2").arg(output, writer.errorString()), kExitUsage);
    return false;
}

// The lapping chart at zoom 4 with every visible bar's long floats outlined.
bool writeChart(Design &design, const std::vector<CourseFloat> &longFloats, const QString &output)
{
    TexLayer &document = design.document;
    constexpr int32_t kCell = 20;
    const QSize size = ChartSize(document, kCell);
    QImage chart(size, QImage::Format_RGB32);
    if (chart.isNull()) {
        Fail(QStringLiteral("the chart of %1 x %2 pixels is too large")
                 .arg(size.width())
                 .arg(size.height()),
             kExitUsage);
        return false;
    }
    const LappingGeometry geometry = ChartGeometry(document, kCell, size.width(), size.height());
    LappingView view;
    view.LoadBackground(ShippedFolder(), design.designWindow.chartBackground);
    document.selMode = 2; // no cursor frame over the marks
    view.Draw(document, chart, geometry, true);
    for (int32_t b = 0; b < int32_t(document.bars.size()); ++b) {
        if (document.bars[size_t(b)].visible)
            PaintFloatMarks(chart, document, b, longFloats, geometry);
    }
    return writePicture(chart, output);
}

// The simulated fabric of an 800 x 600 view with the long floats drawn over it.
bool writeSimulation(Design &design, const std::vector<CourseFloat> &longFloats,
                     const QString &output, const QString &zoom)
{
    if (!zoom.isEmpty()) {
        SimulationEdits edits = EditsFromSettings(design.simulation);
        edits.zoom = zoom;
        if (!ReadSimulationEdits(edits, design.simulation, true)) {
            Fail(QStringLiteral("--zoom must be a number from 1 to 100"), kExitUsage);
            return false;
        }
    }
    RandomSource random(1);
    QString error;
    const SimulationJob job{design.header,    design.document,   design.guideBars,
                            design.treatment, design.simulation, design.currentBar};
    SimulationSettings settings = design.simulation;
    const std::optional<SimulationGeometry> geometry
        = PrepareSimulation(settings, design.header, design.document, job.view, &error);
    if (!geometry || !RunSimulation(job, design.picture, random, nullptr, nullptr, &error)) {
        Fail(error, kExitUsage);
        return false;
    }
    QImage picture = design.picture.image().convertToFormat(QImage::Format_RGB32);
    PaintFloatOverlay(picture, *geometry, design.document, longFloats,
                      design.simulation.backView != 0);
    return writePicture(picture, output);
}

} // namespace

int RunFloats(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOptions({
        {QStringLiteral("sample"), QStringLiteral("Check a sample structure instead of a file."),
         QStringLiteral("NAME")},
        {QStringLiteral("limit"),
         QStringLiteral("The longest float allowed, millimetres (default 6; 0 turns the check "
                        "off)."),
         QStringLiteral("MM")},
        {QStringLiteral("all"), QStringLiteral("List every float, not only the long ones.")},
        {QStringLiteral("json"), QStringLiteral("Print JSON.")},
        {QStringLiteral("chart"),
         QStringLiteral("Also draw the lapping chart with the long floats outlined."),
         QStringLiteral("OUT.png")},
        {QStringLiteral("picture"),
         QStringLiteral("Also simulate the fabric and draw the long floats over it."),
         QStringLiteral("OUT.png")},
        {QStringLiteral("zoom"), QStringLiteral("Zoom of the --picture, 1.0 to 100."),
         QStringLiteral("X")},
    });
    parser.addPositionalArgument(QStringLiteral("FILE.trc"), QStringLiteral("The design file."));
    int exitCode = kExitOk;
    if (!ParseArguments(parser, QStringLiteral("floats"),
                        QStringLiteral("Lists the floats of a design longer than the limit: "
                                       "layer, course (from 1), needles and millimetres. Exits 1 "
                                       "when any float is longer than the limit, 0 when none is, "
                                       "2 on a usage error, an unreadable design or a gauge of 0."),
                        arguments, exitCode))
        return exitCode;

    Design design;
    if (LoadDesignOrSample(parser, design) != kExitOk)
        return kExitUsage;
    double limit = kDefaultFloatLimitMm;
    if (parser.isSet(QStringLiteral("limit"))) {
        bool ok = false;
        limit = parser.value(QStringLiteral("limit")).toDouble(&ok);
        if (!ok || !std::isfinite(limit) || limit < 0.0)
            return Fail(QStringLiteral("--limit must be a number of millimetres, 0 or more"),
                        kExitUsage);
    }
    if (design.header.gauge <= 0)
        return Fail(QStringLiteral("the design's gauge is %1: float lengths cannot be measured")
                        .arg(design.header.gauge),
                    kExitUsage);

    const std::vector<CourseFloat> all = DesignFloats(design.header, design.document);
    const std::vector<CourseFloat> longFloats
        = FindLongFloats(design.header, design.document, limit);
    const bool listAll = parser.isSet(QStringLiteral("all"));
    const std::vector<CourseFloat> &listed = listAll ? all : longFloats;

    if (parser.isSet(QStringLiteral("json"))) {
        QJsonArray floats;
        for (const CourseFloat &f : listed) {
            floats.append(QJsonObject{
                {QStringLiteral("layer"), qint64(f.bar) + 1},
                {QStringLiteral("course"), qint64(f.course) + 1},
                {QStringLiteral("courses"), f.courses},
                {QStringLiteral("from"), f.from},
                {QStringLiteral("to"), f.to},
                {QStringLiteral("needles"), f.needles},
                {QStringLiteral("millimetres"), f.millimetres},
                {QStringLiteral("kind"), kindName(f.kind)},
                {QStringLiteral("overLimit"), ExceedsLimit(f, limit)},
            });
        }
        PrintJson(QJsonObject{{QStringLiteral("gauge"), design.header.gauge},
                              {QStringLiteral("limit"), limit},
                              {QStringLiteral("overLimit"), qint64(longFloats.size())},
                              {QStringLiteral("floats"), floats}});
    } else {
        PrintLine(QStringLiteral("layer\tcourse\tneedles\tmm\tcourses\tkind"));
        for (const CourseFloat &f : listed) {
            PrintLine(QStringList{QString::number(int64_t(f.bar) + 1),
                                  QString::number(int64_t(f.course) + 1),
                                  QString::number(f.needles), FormatNumber(f.millimetres, 2),
                                  QString::number(f.courses), kindName(f.kind)}
                          .join(QLatin1Char('\t')));
        }
        if (limit > 0.0)
            PrintLine(
                QStringLiteral("%1 float(s) longer than %2 mm").arg(longFloats.size()).arg(limit));
        else
            PrintLine(QStringLiteral("float limit off"));
    }

    if (parser.isSet(QStringLiteral("chart"))
        && !writeChart(design, longFloats, parser.value(QStringLiteral("chart"))))
        return kExitUsage;
    if (parser.isSet(QStringLiteral("picture"))
        && !writeSimulation(design, longFloats, parser.value(QStringLiteral("picture")),
                            parser.value(QStringLiteral("zoom"))))
        return kExitUsage;
    return longFloats.empty() ? kExitOk : kExitFailure;
}

} // namespace warplon::cli
