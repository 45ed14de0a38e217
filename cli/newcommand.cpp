#include "cliutil.h"
#include "commands.h"

#include "knit/designfile.h"
#include "knit/samples.h"

namespace warplon::cli {

namespace {

// Reads a numeric option into `value` when it is given, within [low, high].
template<typename T>
bool numericOption(const QCommandLineParser &parser, const QString &name, T low, T high, T &value,
                   QString &error)
{
    if (!parser.isSet(name))
        return true;
    bool ok = false;
    const double number = parser.value(name).toDouble(&ok);
    if (!ok || number < double(low) || number > double(high)
        || (std::is_integral_v<T> && number != double(T(number)))) {
        error = QStringLiteral("--%1 must be a number from %2 to %3")
                    .arg(name, QString::number(low), QString::number(high));
        return false;
    }
    value = T(number);
    return true;
}

} // namespace

int RunNew(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOptions({
        {QStringLiteral("bars"), QStringLiteral("Guide bars, 1 to 4 (default 2)."),
         QStringLiteral("N")},
        {QStringLiteral("courses"), QStringLiteral("Courses in one repeat (default 16)."),
         QStringLiteral("N")},
        {QStringLiteral("gauge"), QStringLiteral("Machine gauge, needles per inch (default 28)."),
         QStringLiteral("N")},
        {QStringLiteral("cpc"), QStringLiteral("Courses per centimetre (default 20)."),
         QStringLiteral("X")},
        {QStringLiteral("width"), QStringLiteral("Machine width in inches (default 105)."),
         QStringLiteral("X")},
        {QStringLiteral("sample"),
         QStringLiteral("Write a classic structure instead of the default design."),
         QStringLiteral("NAME")},
        {QStringLiteral("list"), QStringLiteral("List the sample structures and stop.")},
        {{QStringLiteral("o"), QStringLiteral("output")},
         QStringLiteral("The design file to write."),
         QStringLiteral("FILE.trc")},
    });
    int exitCode = kExitOk;
    if (!ParseArguments(parser, QStringLiteral("new"),
                        QStringLiteral("Writes a new design file: the design the program starts "
                                       "with, or one of the sample structures."),
                        arguments, exitCode))
        return exitCode;
    if (!parser.positionalArguments().isEmpty())
        return Fail(QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments()[0]),
                    kExitUsage);

    if (parser.isSet(QStringLiteral("list"))) {
        for (const SampleInfo &sample : SampleList())
            PrintLine(QStringLiteral("%1  %2").arg(sample.name, -18).arg(sample.description));
        return kExitOk;
    }
    if (!parser.isSet(QStringLiteral("output")))
        return Fail(QStringLiteral("no output file; give -o FILE.trc"), kExitUsage);

    MainData start;
    QString error;
    if (!numericOption(parser, QStringLiteral("bars"), 1, kMaxBars, start.barCount, error)
        || !numericOption(parser, QStringLiteral("courses"), 1, kMaxCourseCount, start.courseCount,
                          error)
        || !numericOption(parser, QStringLiteral("gauge"), 1, 100, start.gauge, error)
        || !numericOption(parser, QStringLiteral("cpc"), 1.0, 100.0, start.coursesPerCm, error)
        || !numericOption(parser, QStringLiteral("width"), 1.0, 1000.0, start.widthInch, error))
        return Fail(error, kExitUsage);

    Design design;
    MakeNewDesign(design, start);
    if (parser.isSet(QStringLiteral("sample"))) {
        if (parser.isSet(QStringLiteral("bars")) || parser.isSet(QStringLiteral("courses")))
            return Fail(QStringLiteral("a sample sets its own bars and courses"), kExitUsage);
        const QString name = parser.value(QStringLiteral("sample"));
        if (!MakeSample(name, design.header, design.document))
            return Fail(
                QStringLiteral("no sample named '%1'; see 'warplon-cli new --list'").arg(name),
                kExitUsage);
        // Machine values given on the command line win over the sample's.
        if (parser.isSet(QStringLiteral("gauge")))
            design.header.gauge = start.gauge;
        if (parser.isSet(QStringLiteral("cpc")))
            design.header.coursesPerCm = start.coursesPerCm;
        if (parser.isSet(QStringLiteral("width")))
            design.header.widthInch = start.widthInch;
    }
    // The file carries a simulation of the design, as the program saves it.
    return SaveDesignFile(parser.value(QStringLiteral("output")), design) ? kExitOk : kExitFailure;
}

} // namespace warplon::cli
