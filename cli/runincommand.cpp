#include "cliutil.h"
#include "commands.h"

#include "base/numbers.h"
#include "knit/optimizedrunin.h"
#include "knit/runinreport.h"
#include "text/encoding.h"

#include <QJsonArray>

namespace warplon::cli {

namespace {

QJsonObject reportToJson(const MainData &header, const std::vector<BarRunIn> &report,
                         bool optimized)
{
    QJsonArray bars;
    for (const BarRunIn &bar : report) {
        QJsonArray courses;
        for (int32_t value : bar.calcRunIn)
            courses.append(value);
        bars.append(QJsonObject{
            {QStringLiteral("bar"), bar.bar},
            {QStringLiteral("layer"), QStringLiteral("Layer %1").arg(bar.bar + 1)},
            {QStringLiteral("formula"), bar.formula},
            {QStringLiteral("meanDenier"), bar.meanDenier},
            {QStringLiteral("meanFilaments"), bar.meanFilaments},
            {QStringLiteral("calcRunIn"), courses},
            {QStringLiteral("FormulaRunIn"), bar.formulaRunIn},
            {QStringLiteral("AverageRunIn"), bar.averageRunIn},
            {QStringLiteral("MetersPerYard"), bar.metersPerYard},
        });
    }
    return {
        {QStringLiteral("method"),
         optimized ? QStringLiteral("optimization") : QStringLiteral("formula")},
        {QStringLiteral("gauge"), header.gauge},
        {QStringLiteral("coursesPerCm"), header.coursesPerCm},
        {QStringLiteral("courseCount"), header.courseCount},
        {QStringLiteral("bars"), bars},
    };
}

void printReport(const QString &fileName, const MainData &header,
                 const std::vector<BarRunIn> &report, bool optimized)
{
    PrintLine(
        QStringLiteral("Run-in of %1 by %2: gauge %3, %4 courses/cm, %5 courses")
            .arg(fileName, optimized ? QStringLiteral("optimization") : QStringLiteral("formula"))
            .arg(header.gauge)
            .arg(FormatNumber(header.coursesPerCm, 2))
            .arg(header.courseCount));
    for (const BarRunIn &bar : report) {
        PrintLine(QString());
        PrintLine(QStringLiteral("Layer %1  (d%2, yarn %3 denier / %4 filaments)")
                      .arg(bar.bar + 1)
                      .arg(bar.formula + 1)
                      .arg(FormatNumber(bar.meanDenier, 2))
                      .arg(bar.meanFilaments));
        PrintLine(QStringLiteral("  course   mm/RACK"));
        for (size_t c = 0; c < bar.calcRunIn.size(); ++c)
            PrintLine(QStringLiteral("  %1  %2").arg(c + 1, 6).arg(bar.calcRunIn[c], 8));
        PrintLine(
            QStringLiteral("  formula run-in  %1 mm/rack").arg(FormatNumber(bar.formulaRunIn, 1)));
        PrintLine(
            QStringLiteral("  average run-in  %1 mm/rack").arg(FormatNumber(bar.averageRunIn, 1)));
        PrintLine(QStringLiteral("  yarn per yard   %1 m").arg(FormatNumber(bar.metersPerYard, 3)));
    }
}

} // namespace

int RunRunIn(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("json"), QStringLiteral("Print JSON.")});
    parser.addOption(
        {QStringLiteral("optimized"),
         QStringLiteral("Measure the run-in along the relaxed stitch model, as \"Set "
                        "Default With Optimization\" does for bar 1, 2, ... in turn.")});
    parser.addPositionalArgument(QStringLiteral("FILE.trc"), QStringLiteral("The design file."));
    int exitCode = kExitOk;
    if (!ParseArguments(parser, QStringLiteral("runin"),
                        QStringLiteral("Prints, for every bar and course, the run-in that \"Set "
                                       "Default With Formula\" would store, and per bar the "
                                       "formula run-in, the average run-in and the metres of "
                                       "yarn per yard."),
                        arguments, exitCode))
        return exitCode;
    if (parser.positionalArguments().size() != 1)
        return Fail(QStringLiteral("give exactly one design file"), kExitUsage);

    Design design;
    int32_t fileVersion = 0;
    const QString fileName = parser.positionalArguments()[0];
    if (!LoadDesignFile(fileName, design, fileVersion))
        return kExitFailure;
    std::vector<BarRunIn> report
        = MakeRunInReport(design.header, design.document, design.guideBars);
    const bool optimized = parser.isSet(QStringLiteral("optimized"));
    if (optimized) {
        // One press of the button per bar, in bar order, within one program run: the stitch
        // model's remembered directions carry from one bar to the next.
        for (BarRunIn &entry : report) {
            Tex &bar = design.document.bars[size_t(entry.bar)];
            SetDefaultWithOptimization(bar, entry.bar, design.document, design.header,
                                       design.guideBars);
            entry.calcRunIn.clear();
            for (int32_t c = 0;
                 c < design.header.courseCount && c < int32_t(bar.courseStates.size()); ++c)
                entry.calcRunIn.push_back(bar.courseStates[size_t(c)].calcRunIn);
        }
    }
    if (parser.isSet(QStringLiteral("json")))
        PrintJson(reportToJson(design.header, report, optimized));
    else
        printReport(fileName, design.header, report, optimized);
    return kExitOk;
}

} // namespace warplon::cli
