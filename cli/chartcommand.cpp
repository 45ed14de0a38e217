#include "cliutil.h"
#include "commands.h"

#include "knit/lappingview.h"
#include "knit/samples.h"

#include <QCoreApplication>
#include <QImageWriter>

namespace warplon::cli {

namespace {

// The bars named by --all-needles: "all", "none" or 1-based numbers separated by commas.
bool parseBars(const QString &text, int32_t barCount, std::vector<uint8_t> &flags)
{
    flags.assign(size_t(barCount), 0);
    if (text == QLatin1String("none"))
        return true;
    if (text == QLatin1String("all")) {
        flags.assign(size_t(barCount), 1);
        return true;
    }
    for (const QString &part : text.split(QLatin1Char(','))) {
        bool ok = false;
        const int bar = part.trimmed().toInt(&ok);
        if (!ok || bar < 1 || bar > barCount)
            return false;
        flags[size_t(bar - 1)] = 1;
    }
    return true;
}

int backgroundIndex(const QString &name)
{
    if (name == QLatin1String("black"))
        return ChartBlack;
    if (name == QLatin1String("gray") || name == QLatin1String("grey"))
        return ChartGray;
    if (name == QLatin1String("white"))
        return ChartWhite;
    return -1;
}

} // namespace

int RunChart(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOptions({
        {QStringLiteral("sample"), QStringLiteral("Draw a sample structure instead of a file."),
         QStringLiteral("NAME")},
        {{QStringLiteral("o"), QStringLiteral("output")},
         QStringLiteral("The picture to write (.png, .bmp or .jpg)."),
         QStringLiteral("OUT")},
        {QStringLiteral("zoom"), QStringLiteral("Cells of 5 x zoom pixels: 1, 2 or 4 (default 4)."),
         QStringLiteral("F")},
        {QStringLiteral("background"),
         QStringLiteral("Point paper: black, gray or white (default: the design's choice)."),
         QStringLiteral("NAME")},
        {QStringLiteral("bar"), QStringLiteral("Show only this bar (1-based)."),
         QStringLiteral("N")},
        {QStringLiteral("all-needles"),
         QStringLiteral("Bars drawn for all their needles: all, none or numbers such as 1,2 "
                        "(default none: each bar by its first needle)."),
         QStringLiteral("BARS")},
    });
    parser.addPositionalArgument(QStringLiteral("FILE.trc"), QStringLiteral("The design file."));
    int exitCode = kExitOk;
    if (!ParseArguments(parser, QStringLiteral("chart"),
                        QStringLiteral("Draws the lapping chart of a design as the design window "
                                       "shows it: the chain notation of the bars on point paper, "
                                       "wale 0 at the right, course 1 at the bottom."),
                        arguments, exitCode))
        return exitCode;

    Design design;
    if (const int loaded = LoadDesignOrSample(parser, design); loaded != kExitOk)
        return loaded;
    if (!parser.isSet(QStringLiteral("output")))
        return Fail(QStringLiteral("no output picture; give -o OUT.png"), kExitUsage);

    TexLayer &document = design.document;
    const int32_t barCount = int32_t(document.bars.size());
    int zoom = 4;
    if (parser.isSet(QStringLiteral("zoom"))) {
        const QString text = parser.value(QStringLiteral("zoom"));
        if (text != QLatin1String("1") && text != QLatin1String("2") && text != QLatin1String("4"))
            return Fail(QStringLiteral("--zoom must be 1, 2 or 4"), kExitUsage);
        zoom = text.toInt();
    }
    int32_t background = design.designWindow.chartBackground;
    if (parser.isSet(QStringLiteral("background"))) {
        background = backgroundIndex(parser.value(QStringLiteral("background")));
        if (background < 0)
            return Fail(QStringLiteral("--background must be black, gray or white"), kExitUsage);
    }
    if (parser.isSet(QStringLiteral("bar"))) {
        bool ok = false;
        const int bar = parser.value(QStringLiteral("bar")).toInt(&ok);
        if (!ok || bar < 1 || bar > barCount)
            return Fail(QStringLiteral("--bar must be a bar number from 1 to %1").arg(barCount),
                        kExitUsage);
        for (int32_t b = 0; b < barCount; ++b)
            document.SetBarVisible(b, b == bar - 1 ? 1 : 0);
    }
    if (parser.isSet(QStringLiteral("all-needles"))) {
        std::vector<uint8_t> flags;
        if (!parseBars(parser.value(QStringLiteral("all-needles")), barCount, flags))
            return Fail(QStringLiteral("--all-needles must be all, none or bar numbers from 1 "
                                       "to %1 separated by commas")
                            .arg(barCount),
                        kExitUsage);
        for (int32_t b = 0; b < barCount; ++b)
            document.SetBarDrawAllNeedles(b, flags[size_t(b)]);
    }
    if (barCount == 0 || document.CourseCount() == 0)
        return Fail(QStringLiteral("the design has no courses to draw"));

    const int32_t cell = 5 * zoom;
    const QSize size = ChartSize(document, cell);
    TCorvexBitmap chart;
    if (!chart.Create(size.width(), size.height(), nullptr, 24))
        return Fail(QStringLiteral("the chart of %1 x %2 pixels is too large")
                        .arg(size.width())
                        .arg(size.height()));
    LappingView view;
    view.LoadBackground(ShippedFolder(), background);
    view.Draw(document, chart.image(), ChartGeometry(document, cell, size.width(), size.height()),
              true);

    const QString output = parser.value(QStringLiteral("output"));
    QImageWriter writer(output);
    if (output.endsWith(QLatin1String(".jpg"), Qt::CaseInsensitive))
        writer.setQuality(95);
    if (!writer.write(chart.image()))
        return Fail(QStringLiteral("cannot write %1: %2").arg(output, writer.errorString()));
    return kExitOk;
}

} // namespace warplon::cli
