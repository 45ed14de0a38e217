#include "cliutil.h"
#include "commands.h"

#include "knit/treatmentedits.h"

#include <QJsonArray>
#include <QRegularExpression>

#include <map>
#include <vector>

namespace warplon::cli {

namespace {

const char *const kMethodNames[] = {"none", "shear", "raise"};

int MethodCode(const QString &text)
{
    for (int i = 0; i < 3; ++i) {
        if (text == QLatin1String(kMethodNames[i]) || text == QString::number(i))
            return i;
    }
    return -1;
}

// Grid rows as the window numbers them (row r shows course r): "3", "3-5" or "1,4-6".
bool ParseRows(const QString &text, std::vector<int32_t> &rows)
{
    static const QRegularExpression part(QStringLiteral("^(\\d{1,9})(?:-(\\d{1,9}))?$"));
    for (const QString &piece : text.split(QLatin1Char(','))) {
        const QRegularExpressionMatch match = part.match(piece);
        if (!match.hasMatch())
            return false;
        const int32_t first = match.captured(1).toInt();
        const int32_t last = match.captured(2).isEmpty() ? first : match.captured(2).toInt();
        // A range wider than any design's courses is a typing error, not a request.
        if (last < first || int64_t(last) - first > 1'000'000)
            return false;
        for (int32_t row = first; row <= last; ++row)
            rows.push_back(row);
    }
    return true;
}

QJsonObject TreatmentJson(const Design &design)
{
    const TreatmentData &data = design.treatment;
    QJsonArray courses;
    for (size_t c = 0; c < data.courseFlags.size(); ++c) {
        QJsonArray flags;
        for (uint8_t flag : data.courseFlags[c])
            flags.append(flag != 0);
        courses.append(QJsonObject{
            {QStringLiteral("course"), int(c + 1)},
            {QStringLiteral("treated"), TreatmentFlag(data, design.currentBar, int32_t(c))},
            {QStringLiteral("bars"), flags},
        });
    }
    const bool known = data.method >= 0 && data.method < 3;
    return {
        {QStringLiteral("bar"), design.currentBar},
        {QStringLiteral("layer"), QStringLiteral("Layer %1").arg(design.currentBar + 1)},
        {QStringLiteral("method"), data.method},
        {QStringLiteral("methodName"),
         known ? QLatin1String(kMethodNames[data.method]) : QLatin1String("none")},
        {QStringLiteral("courses"), courses},
    };
}

void PrintPlain(const Design &design)
{
    const TreatmentData &data = design.treatment;
    PrintLine(QStringLiteral("Layer %1").arg(design.currentBar + 1));
    const bool known = data.method >= 0 && data.method < 3;
    PrintLine(QStringLiteral("method %1")
                  .arg(known ? QLatin1String(kMethodNames[data.method]) : QLatin1String("none")));
    const auto courses = int32_t(data.courseFlags.size());
    for (int32_t row = 1; row <= courses; ++row)
        PrintLine(QStringLiteral("%1  %2")
                      .arg(TreatmentCellText(data, design.currentBar, row, 0), 6)
                      .arg(TreatmentCellText(data, design.currentBar, row, 1)));
}

} // namespace

int RunTreatment(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOptions({
        {QStringLiteral("bar"),
         QStringLiteral("Edit the bar shown as \"Layer N\" (default 1); the course flags follow "
                        "its course count."),
         QStringLiteral("N")},
        {QStringLiteral("method"),
         QStringLiteral("Finishing method: none, shear or raise (or 0, 1, 2)."),
         QStringLiteral("M")},
        {QStringLiteral("enter"),
         QStringLiteral("Type TEXT into the input edit with the grid rows ROWS selected (\"3-5\", "
                        "\"1,4\"): \"0\", \"O\" or \"o\" treats, other text clears, empty does "
                        "nothing."),
         QStringLiteral("ROWS=TEXT")},
        {QStringLiteral("toggle"), QStringLiteral("Click row ROW of the grid."),
         QStringLiteral("ROW")},
        {QStringLiteral("check-all"), QStringLiteral("Press \"Check All\".")},
        {{QStringLiteral("o"), QStringLiteral("output")},
         QStringLiteral("Save the design to OUT.trc."),
         QStringLiteral("OUT.trc")},
        {QStringLiteral("json"), QStringLiteral("Print JSON.")},
    });
    parser.addPositionalArgument(QStringLiteral("FILE.trc"), QStringLiteral("The design file."));
    int exitCode = kExitOk;
    if (!ParseArguments(parser, QStringLiteral("treatment"),
                        QStringLiteral("Prints and edits the finishing method and the treated "
                                       "courses of a design's bar, as the treatment window does. "
                                       "Options run in the order given; a failing one writes "
                                       "nothing."),
                        arguments, exitCode))
        return exitCode;
    Design design;
    if (const int loaded = LoadDesignOrSample(parser, design); loaded != kExitOk)
        return loaded;

    std::map<QString, qsizetype> used;
    auto nextValue
        = [&parser, &used](const QString &name) { return parser.values(name).value(used[name]++); };
    for (const QString &option : parser.optionNames()) {
        if (option == QLatin1String("bar")) {
            bool ok = false;
            const int layer = nextValue(option).toInt(&ok);
            if (!ok || layer < 1 || layer > int64_t(design.document.bars.size()))
                return Fail(QStringLiteral("--bar must be a layer from 1 to %1")
                                .arg(design.document.bars.size()),
                            kExitUsage);
            design.currentBar = layer - 1;
        } else if (option == QLatin1String("method")) {
            const int method = MethodCode(nextValue(option));
            if (method < 0)
                return Fail(QStringLiteral("--method must be none, shear or raise"), kExitUsage);
            design.treatment.method = method;
        } else if (option == QLatin1String("enter")) {
            const QString entry = nextValue(option);
            const qsizetype equals = entry.indexOf(QLatin1Char('='));
            std::vector<int32_t> rows;
            if (equals < 0 || !ParseRows(entry.left(equals), rows))
                return Fail(QStringLiteral("--enter wants ROWS=TEXT, such as 3-5=o"), kExitUsage);
            EnterTreatmentText(design.treatment, design.document, design.currentBar, rows,
                               entry.mid(equals + 1));
        } else if (option == QLatin1String("toggle")) {
            bool ok = false;
            const int row = nextValue(option).toInt(&ok);
            if (!ok)
                return Fail(QStringLiteral("--toggle wants a row number"), kExitUsage);
            ToggleTreatmentRow(design.treatment, design.document, design.currentBar, row);
        } else if (option == QLatin1String("check-all")) {
            CheckAllTreatment(design.treatment, design.document, design.currentBar);
        }
    }
    FitTreatmentToBar(design.treatment, design.document, design.currentBar);

    if (parser.isSet(QStringLiteral("output"))) {
        if (!SaveDesignFile(parser.value(QStringLiteral("output")), design))
            return kExitFailure;
    }
    if (parser.isSet(QStringLiteral("json")))
        PrintJson(TreatmentJson(design));
    else
        PrintPlain(design);
    return kExitOk;
}

} // namespace warplon::cli
