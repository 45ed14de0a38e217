#include "cliutil.h"
#include "commands.h"

#include "base/randomsource.h"
#include "knit/samples.h"
#include "simulation/simulationrun.h"

#include <QImageWriter>
#include <QRegularExpression>

#include <cstdio>

namespace warplon::cli {

namespace {

bool parseView(const QString &text, QSize &view)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,5})x(\\d{1,5})$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return false;
    view = QSize(match.captured(1).toInt(), match.captured(2).toInt());
    return view.width() >= 1 && view.height() >= 1;
}

int effectCode(const QString &name)
{
    if (name == QLatin1String("none"))
        return 0;
    if (name == QLatin1String("solid"))
        return 1;
    if (name == QLatin1String("wave"))
        return 2;
    return -1;
}

void printTimings(const StageTimings &t)
{
    std::fprintf(stderr,
                 "build %.2f ms, relax %.2f ms, segments %.2f ms, paint %.2f ms, passes %.2f ms, "
                 "total %.2f ms\n",
                 t.build, t.relax, t.segments, t.paint, t.passes, t.total);
}

} // namespace

int RunSimulate(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOptions({
        {QStringLiteral("sample"), QStringLiteral("Simulate a sample structure instead of a file."),
         QStringLiteral("NAME")},
        {{QStringLiteral("o"), QStringLiteral("output")},
         QStringLiteral("The picture to write (.png, .bmp or .jpg)."),
         QStringLiteral("OUT")},
        {QStringLiteral("zoom"), QStringLiteral("Zoom factor, 1.0 to 100."), QStringLiteral("X")},
        {QStringLiteral("width"), QStringLiteral("Finished width in inches."), QStringLiteral("X")},
        {QStringLiteral("cpc"), QStringLiteral("Finished courses per cm."), QStringLiteral("X")},
        {QStringLiteral("fuzz"), QStringLiteral("Yarn scatter, 0 to 99."), QStringLiteral("N")},
        {QStringLiteral("back"), QStringLiteral("Show the technical back.")},
        {QStringLiteral("color-on-color"), QStringLiteral("Colour-on-colour mode.")},
        {QStringLiteral("effect"), QStringLiteral("Spandex effect: none, solid or wave."),
         QStringLiteral("NAME")},
        {QStringLiteral("power"), QStringLiteral("Spandex effect intensity."), QStringLiteral("N")},
        {QStringLiteral("invert"), QStringLiteral("Invert the spandex shade.")},
        {QStringLiteral("no-optimize"), QStringLiteral("Do not relax the stitch model.")},
        {QStringLiteral("treatment"),
         QStringLiteral("Finish every course of every bar: none, shear or raise (default: the "
                        "design's own treatment)."),
         QStringLiteral("NAME")},
        {QStringLiteral("view"),
         QStringLiteral("The visible area the repeats must cover (default 800x600)."),
         QStringLiteral("WxH")},
        {QStringLiteral("seed"), QStringLiteral("Seed of the random scatter (default 1)."),
         QStringLiteral("N")},
        {QStringLiteral("timings"), QStringLiteral("Print the time of each stage on stderr.")},
    });
    parser.addPositionalArgument(QStringLiteral("FILE.trc"), QStringLiteral("The design file."));
    int exitCode = kExitOk;
    if (!ParseArguments(parser, QStringLiteral("simulate"),
                        QStringLiteral("Renders the simulated fabric of a design with its stored "
                                       "simulation settings, or those given here."),
                        arguments, exitCode))
        return exitCode;

    Design design;
    if (const int loaded = LoadDesignOrSample(parser, design); loaded != kExitOk)
        return loaded;
    if (!parser.isSet(QStringLiteral("output")))
        return Fail(QStringLiteral("no output picture; give -o OUT.png"), kExitUsage);

    SimulationSettings &s = design.simulation;
    SimulationEdits edits = EditsFromSettings(s);
    if (parser.isSet(QStringLiteral("zoom")))
        edits.zoom = parser.value(QStringLiteral("zoom"));
    if (parser.isSet(QStringLiteral("width")))
        edits.width = parser.value(QStringLiteral("width"));
    if (parser.isSet(QStringLiteral("cpc")))
        edits.density = parser.value(QStringLiteral("cpc"));
    if (parser.isSet(QStringLiteral("fuzz")))
        edits.fuzz = parser.value(QStringLiteral("fuzz"));
    QString error;
    if (!ReadSimulationEdits(edits, s, true, &error))
        return Fail(error, kExitUsage);
    if (parser.isSet(QStringLiteral("back")))
        s.backView = 1;
    if (parser.isSet(QStringLiteral("color-on-color")))
        s.colorOnColor = 1;
    if (parser.isSet(QStringLiteral("invert")))
        s.invertShade = 1;
    if (parser.isSet(QStringLiteral("no-optimize")))
        s.optimize = 0;
    if (parser.isSet(QStringLiteral("effect"))) {
        s.effect = effectCode(parser.value(QStringLiteral("effect")));
        if (s.effect < 0)
            return Fail(QStringLiteral("--effect must be none, solid or wave"), kExitUsage);
    }
    if (parser.isSet(QStringLiteral("power"))) {
        bool ok = false;
        s.power = parser.value(QStringLiteral("power")).toInt(&ok);
        if (!ok || s.power < 0 || s.power > 100)
            return Fail(QStringLiteral("--power must be a whole number from 0 to 100"), kExitUsage);
    }
    if (parser.isSet(QStringLiteral("treatment"))) {
        const QString name = parser.value(QStringLiteral("treatment"));
        const QStringList names{QStringLiteral("none"), QStringLiteral("shear"),
                                QStringLiteral("raise")};
        if (!names.contains(name))
            return Fail(QStringLiteral("--treatment must be none, shear or raise"), kExitUsage);
        design.treatment.method = int32_t(names.indexOf(name));
        design.treatment.Resize(design.document.CourseCount());
        for (auto &flags : design.treatment.courseFlags)
            flags = {1, 1, 1, 1};
    }
    QSize view(800, 600);
    if (parser.isSet(QStringLiteral("view"))
        && !parseView(parser.value(QStringLiteral("view")), view))
        return Fail(QStringLiteral("--view must look like 800x600"), kExitUsage);
    uint64_t seed = 1;
    if (parser.isSet(QStringLiteral("seed"))) {
        bool ok = false;
        seed = parser.value(QStringLiteral("seed")).toULongLong(&ok);
        if (!ok)
            return Fail(QStringLiteral("--seed must be a whole number"), kExitUsage);
    }

    RandomSource random(seed);
    StageTimings timings;
    const SimulationJob job{
        design.header, design.document, design.guideBars, design.treatment, s, design.currentBar,
        view};
    if (!RunSimulation(job, design.picture, random, nullptr, &timings, &error))
        return Fail(error);
    if (parser.isSet(QStringLiteral("timings")))
        printTimings(timings);

    const QString output = parser.value(QStringLiteral("output"));
    QImageWriter writer(output);
    if (output.endsWith(QLatin1String(".jpg"), Qt::CaseInsensitive))
        writer.setQuality(95);
    if (!writer.write(design.picture.image()))
        return Fail(QStringLiteral("cannot write %1: %2").arg(output, writer.errorString()));
    return kExitOk;
}

} // namespace warplon::cli
