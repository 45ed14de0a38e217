#include "cliutil.h"
#include "commands.h"

#include "simulation/composition.h"
#include "text/stringtable.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QRegularExpression>

namespace warplon::cli {

namespace {

QJsonObject RecordJson(const CompositionTable &table, const std::vector<Yarn> &yarns, int32_t row)
{
    const YarnUse &use = table.records[size_t(row - 1)];
    return QJsonObject{
        {QStringLiteral("row"), row},
        {QStringLiteral("bar"), use.bar},
        {QStringLiteral("layer"), CompositionCellText(table, yarns, row, CompositionBar)},
        {QStringLiteral("yarn"), use.yarn},
        {QStringLiteral("letter"), CompositionCellText(table, yarns, row, CompositionYarn)},
        {QStringLiteral("spec"), CompositionCellText(table, yarns, row, CompositionSpec)},
        {QStringLiteral("endsPerBeam"), use.endsPerBeam},
        {QStringLiteral("beams"), use.beams},
        {QStringLiteral("ends"), use.ends},
        {QStringLiteral("metersPerYard"), use.metersPerYard},
        {QStringLiteral("gramsPerYard"), use.gramsPerYard},
        {QStringLiteral("percent"), use.percent},
        {QStringLiteral("runIn"), use.runIn},
    };
}

} // namespace

int RunComposition(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOptions({
        {QStringLiteral("enter"),
         QStringLiteral("Type N into column COL (3 ends per beam, 4 beams, 5 ends) of grid row "
                        "ROW (row 1 is the first record), as Enter in the composition does; "
                        "repeat for more entries, which run in order."),
         QStringLiteral("ROW:COL=N")},
        {{QStringLiteral("o"), QStringLiteral("output")},
         QStringLiteral("Write the design with its records in step with the threading."),
         QStringLiteral("OUT.trc")},
        {QStringLiteral("json"), QStringLiteral("Print JSON with unrounded figures.")},
    });
    parser.addPositionalArgument(QStringLiteral("FILE.trc"), QStringLiteral("The design file."));
    int exitCode = kExitOk;
    if (!ParseArguments(parser, QStringLiteral("composition"),
                        QStringLiteral("Prints the yarn composition of a design by weight as "
                                       "the composition window shows it."),
                        arguments, exitCode))
        return exitCode;
    Design design;
    if (const int loaded = LoadDesignOrSample(parser, design); loaded != kExitOk)
        return loaded;

    const TStringTable texts = ToolTexts(QStringLiteral("Composition"));

    // The window works the records out as it opens and after every entry.
    TexLayer &document = design.document;
    CompositionTable table = ComputeComposition(document, design.header, design.guideBars);
    document.yarnUses = table.records;
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,9}):(\\d{1,2})=(.*)$"));
    for (const QString &entry : parser.values(QStringLiteral("enter"))) {
        const QString usage = QStringLiteral("--enter %1: ").arg(entry);
        const QRegularExpressionMatch match = pattern.match(entry);
        if (!match.hasMatch())
            return Fail(usage + QStringLiteral("give ROW:COL=N"), kExitUsage);
        const int32_t row = match.captured(1).toInt();
        const int32_t column = match.captured(2).toInt();
        if (column < CompositionEndsPerBeam || column > CompositionEnds)
            return Fail(usage + QStringLiteral("only columns 3, 4 and 5 take counts"), kExitUsage);
        if (row < 1 || row > int32_t(table.records.size()))
            return Fail(usage + QStringLiteral("row %1 has no record").arg(row), kExitUsage);
        const CompositionEntryResult result
            = EnterCompositionCell(document.yarnUses, row, column, match.captured(3));
        if (CompositionEntryText(result.outcome) >= 0) {
            const QString message = texts.TextAt(CompositionEntryText(result.outcome));
            return Fail(usage
                        + (message.isEmpty() ? QStringLiteral("the count is refused") : message));
        }
        table = ComputeComposition(document, design.header, design.guideBars);
        document.yarnUses = table.records;
    }

    if (parser.isSet(QStringLiteral("output"))) {
        if (!SaveDesignFile(parser.value(QStringLiteral("output")), design))
            return kExitFailure;
    }

    const auto count = int32_t(table.records.size());
    if (parser.isSet(QStringLiteral("json"))) {
        QJsonArray records;
        for (int32_t row = 1; row <= count; ++row)
            records.append(RecordJson(table, document.yarns, row));
        const MainData &header = design.header;
        const SimulationSettings &finished = design.simulation;
        PrintJson(QJsonObject{
            {QStringLiteral("records"), records},
            {QStringLiteral("machine"),
             QJsonObject{{QStringLiteral("gauge"), header.gauge},
                         {QStringLiteral("coursesPerCm"), header.coursesPerCm},
                         {QStringLiteral("widthInch"), header.widthInch},
                         {QStringLiteral("gramsPerYard"), table.totalGramsPerYard}}},
            {QStringLiteral("finished"),
             QJsonObject{{QStringLiteral("walesPerInch"), finished.walesPerInch},
                         {QStringLiteral("coursesPerCm"), finished.coursesPerCm},
                         {QStringLiteral("widthInch"), finished.widthInch}}},
        });
        return kExitOk;
    }
    QStringList line;
    for (int32_t c = 0; c < kCompositionColumns; ++c)
        line << CompositionHeader(texts, c);
    PrintLine(line.join(QLatin1Char('\t')));
    for (int32_t row = 1; row <= count; ++row) {
        line.clear();
        for (int32_t c = 0; c < kCompositionColumns; ++c)
            line << CompositionCellText(table, document.yarns, row, c);
        PrintLine(line.join(QLatin1Char('\t')));
    }
    PrintLine(QString());
    for (int32_t row = 0; row < 3; ++row) {
        line.clear();
        for (int32_t c = 0; c < 5; ++c)
            line << (row == 0 || c == 0
                         ? CompositionTotalLabel(texts, row, c)
                         : CompositionTotalText(table, design.header, design.simulation, row, c));
        PrintLine(line.join(QLatin1Char('\t')));
    }
    return kExitOk;
}

} // namespace warplon::cli
