#include "cliutil.h"
#include "commands.h"

#include "base/bytestream.h"
#include "simulation/yarnfile.h"
#include "simulation/yarnlist.h"
#include "text/encoding.h"
#include "text/stringtable.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonArray>
#include <QRegularExpression>

#include <utility>
#include <vector>

namespace warplon::cli {

namespace {

// One edit option as it stands on the command line; edits run in this order.
struct Edit
{
    QString name;
    QString value;
};

const QStringList kEditOptions{QStringLiteral("enter"),  QStringLiteral("add"),
                               QStringLiteral("delete"), QStringLiteral("cycle"),
                               QStringLiteral("load"),   QStringLiteral("save")};

// The edit options in command-line order ("--enter X" and "--enter=X" alike). The parser has
// checked the syntax already; the value of -o is skipped so that it is never taken for an edit.
std::vector<Edit> OrderedEdits(const QStringList &arguments)
{
    std::vector<Edit> edits;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument == QLatin1String("--"))
            break;
        if (argument == QLatin1String("-o") || argument == QLatin1String("--output")) {
            ++i;
            continue;
        }
        if (!argument.startsWith(QLatin1String("--")))
            continue;
        QString name = argument.mid(2);
        QString value;
        const qsizetype equals = name.indexOf(QLatin1Char('='));
        if (equals >= 0) {
            value = name.mid(equals + 1);
            name.truncate(equals);
        } else if (kEditOptions.contains(name) && i + 1 < arguments.size()) {
            value = arguments[++i];
        }
        if (kEditOptions.contains(name))
            edits.push_back({name, value});
    }
    return edits;
}

bool ParseRows(const QString &text, int32_t &top, int32_t &bottom)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,9})(?:-(\\d{1,9}))?$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return false;
    top = match.captured(1).toInt();
    bottom = match.captured(2).isEmpty() ? top : match.captured(2).toInt();
    return top >= 1 && bottom >= 1;
}

bool ParseCell(const QString &text, int32_t &row, int32_t &column)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,9}):(\\d{1,2})$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return false;
    row = match.captured(1).toInt();
    column = match.captured(2).toInt();
    return row >= 1 && column < kYarnListColumns;
}

QJsonObject YarnJson(const std::vector<Yarn> &yarns, int32_t row)
{
    const Yarn &yarn = yarns[size_t(row - 1)];
    QJsonArray cells;
    for (int32_t c = 0; c < kYarnListColumns; ++c)
        cells.append(YarnListCellText(yarns, row, c));
    return QJsonObject{
        {QStringLiteral("row"), row},
        {QStringLiteral("cells"), cells},
        {QStringLiteral("name"), DecodeText(yarn.name)},
        {QStringLiteral("code"), DecodeText(yarn.code)},
        {QStringLiteral("extraText"), DecodeText(yarn.extraText)},
        {QStringLiteral("maker"), DecodeText(yarn.maker)},
        {QStringLiteral("remark"), DecodeText(yarn.remark)},
        {QStringLiteral("yarnNumber"), yarn.yarnNumber},
        {QStringLiteral("yarnValue"), yarn.yarnValue},
        {QStringLiteral("denier"), yarn.denier},
        {QStringLiteral("filaments"), yarn.filaments},
        {QStringLiteral("material"), yarn.material},
        {QStringLiteral("optical"), yarn.optical},
        {QStringLiteral("yarnText1"), DecodeText(yarn.yarnText1)},
        {QStringLiteral("yarnText2"), DecodeText(yarn.yarnText2)},
        {QStringLiteral("stretch"), yarn.stretch},
        {QStringLiteral("gloss"), yarn.gloss},
        {QStringLiteral("translucency"), yarn.translucency},
        {QStringLiteral("color"), yarn.color},
        {QStringLiteral("reserved"), yarn.reserved},
        {QStringLiteral("hidden"), yarn.hidden},
        {QStringLiteral("yarnImage"), QString::fromLatin1(yarn.yarnImage.toBase64())},
        {QStringLiteral("preview"), YarnFilePreview(yarn)},
    };
}

// The window's message, or a plain description when the language file is not beside the tool.
QString Message(const TStringTable &texts, int32_t index, const QString &fallback)
{
    const QString text = texts.TextAt(index);
    return text.isEmpty() ? fallback : text;
}

} // namespace

int RunYarns(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOptions({
        {QStringLiteral("enter"),
         QStringLiteral("Type TEXT into column COL of grid rows ROWS (\"3\" or \"4-6\"; row 1 is "
                        "yarn A), as Enter in the yarn list does."),
         QStringLiteral("ROWS:COL=TEXT")},
        {QStringLiteral("add"), QStringLiteral("Add a default yarn before grid row ROW."),
         QStringLiteral("ROW")},
        {QStringLiteral("delete"), QStringLiteral("Delete the yarns of grid rows ROWS."),
         QStringLiteral("ROWS")},
        {QStringLiteral("cycle"),
         QStringLiteral("Click column 10 (material) or 11 (processing) of grid row ROW."),
         QStringLiteral("ROW:COL")},
        {QStringLiteral("load"), QStringLiteral("Load a yarn file into grid row ROW."),
         QStringLiteral("ROW=F.yan")},
        {QStringLiteral("save"), QStringLiteral("Save the yarn of grid row ROW as a yarn file."),
         QStringLiteral("ROW=F.yan")},
        {{QStringLiteral("o"), QStringLiteral("output")},
         QStringLiteral("Write the design with the edited yarn list."),
         QStringLiteral("OUT.trc")},
        {QStringLiteral("json"), QStringLiteral("Print JSON: every cell and every yarn field.")},
    });
    parser.addPositionalArgument(QStringLiteral("FILE.trc|FILE.yan"),
                                 QStringLiteral("A design file, or a yarn file as a list of one "
                                                "yarn."));
    int exitCode = kExitOk;
    if (!ParseArguments(parser, QStringLiteral("yarns"),
                        QStringLiteral("Prints the yarn list of a design as the yarn list window "
                                       "shows it, after the edits given, in their order."),
                        arguments, exitCode))
        return exitCode;
    const QStringList files = parser.positionalArguments();
    if (files.size() != 1)
        return Fail(QStringLiteral("give exactly one design or yarn file"), kExitUsage);

    const TStringTable texts = ToolTexts(QStringLiteral("YarnList"));

    Design design;
    if (files[0].endsWith(QLatin1String(".yan"), Qt::CaseInsensitive)) {
        MakeNewDesign(design);
        Yarn yarn;
        const YarnFileRead read = ReadYarnForList(files[0], yarn);
        if (read != YarnFileRead::Loaded)
            return Fail(QStringLiteral("%1: %2").arg(
                files[0], Message(texts, YarnFileReadText(read),
                                  QStringLiteral("the yarn file could not be read"))));
        design.document.yarns = {yarn};
    } else {
        int32_t fileVersion = 0;
        if (!LoadDesignFile(files[0], design, fileVersion))
            return kExitFailure;
    }

    TexLayer &document = design.document;
    std::vector<std::pair<QString, Yarn>> saves; // written once every edit has succeeded
    // A file saved earlier in this run loads as the bytes it will hold.
    auto pendingLoad = [&saves, &document](const QString &path, int32_t row) {
        for (auto it = saves.rbegin(); it != saves.rend(); ++it) {
            if (QFileInfo(it->first).absoluteFilePath() != QFileInfo(path).absoluteFilePath())
                continue;
            ByteWriter writer;
            WriteYarnFileRecord(writer, it->second);
            ByteReader reader(writer.data());
            Yarn *target = YarnAtRow(document.yarns, row);
            Yarn loaded = target ? *target : Yarn{};
            ReadYarnFileRecord(reader, loaded);
            if (target)
                *target = std::move(loaded);
            else
                document.yarns.push_back(std::move(loaded));
            return YarnFileRead::Loaded;
        }
        return LoadYarnIntoRow(document.yarns, row, path);
    };
    for (const Edit &edit : OrderedEdits(arguments)) {
        const QString usage = QStringLiteral("--%1 %2: ").arg(edit.name, edit.value);
        int32_t top = 0;
        int32_t bottom = 0;
        int32_t column = 0;
        if (edit.name == QLatin1String("enter")) {
            static const QRegularExpression enter(
                QStringLiteral("^(\\d{1,9}(?:-\\d{1,9})?):(\\d{1,2})=(.*)$"),
                QRegularExpression::DotMatchesEverythingOption);
            const QRegularExpressionMatch match = enter.match(edit.value);
            if (!match.hasMatch() || !ParseRows(match.captured(1), top, bottom)
                || match.captured(2).toInt() >= kYarnListColumns)
                return Fail(usage + QStringLiteral("give ROWS:COL=TEXT"), kExitUsage);
            column = match.captured(2).toInt();
            const QString text = match.captured(3);
            const YarnEntry outcome = EnterYarnCells(document.yarns, top, bottom, column, text);
            if (outcome == YarnEntry::Ignored && !text.isEmpty())
                return Fail(usage + QStringLiteral("column %1 takes no typed value").arg(column),
                            kExitUsage);
            if (outcome != YarnEntry::Stored && outcome != YarnEntry::Ignored)
                return Fail(usage
                            + Message(texts, YarnEntryText(outcome),
                                      QStringLiteral("the text is refused")));
        } else if (edit.name == QLatin1String("add")) {
            if (!ParseRows(edit.value, top, bottom) || top != bottom)
                return Fail(usage + QStringLiteral("give one row"), kExitUsage);
            AddYarn(document.yarns, top);
        } else if (edit.name == QLatin1String("delete")) {
            if (!ParseRows(edit.value, top, bottom))
                return Fail(usage + QStringLiteral("give ROWS such as 2 or 2-4"), kExitUsage);
            DeleteYarns(document, top, bottom);
        } else if (edit.name == QLatin1String("cycle")) {
            if (!ParseCell(edit.value, top, column)
                || (column != YarnColumnMaterial && column != YarnColumnProcessing))
                return Fail(usage + QStringLiteral("give ROW:10 or ROW:11"), kExitUsage);
            CycleYarnCode(document.yarns, top, column);
        } else {
            const qsizetype equals = edit.value.indexOf(QLatin1Char('='));
            if (equals < 0 || !ParseRows(edit.value.left(equals), top, bottom) || top != bottom)
                return Fail(usage + QStringLiteral("give ROW=F.yan"), kExitUsage);
            const QString path = edit.value.mid(equals + 1);
            if (edit.name == QLatin1String("load")) {
                const YarnFileRead read = pendingLoad(path, top);
                if (read != YarnFileRead::Loaded)
                    return Fail(usage
                                + Message(texts, YarnFileReadText(read),
                                          QStringLiteral("the yarn file could not be read")));
            } else {
                const Yarn *yarn = YarnAtRow(document.yarns, top);
                if (!yarn)
                    return Fail(usage
                                + Message(texts, YarnTextNothingToSave,
                                          QStringLiteral("there is no yarn in this row")));
                saves.emplace_back(path, *yarn);
            }
        }
    }

    for (const auto &[path, yarn] : saves) {
        if (!SaveYarnFile(path, yarn))
            return Fail(QStringLiteral("%1: %2").arg(
                path, Message(texts, YarnTextNotSaved, QStringLiteral("could not be saved"))));
    }
    if (parser.isSet(QStringLiteral("output"))) {
        if (!SaveDesignFile(parser.value(QStringLiteral("output")), design))
            return kExitFailure;
    }

    const auto count = int32_t(document.yarns.size());
    if (parser.isSet(QStringLiteral("json"))) {
        QJsonArray yarns;
        for (int32_t row = 1; row <= count; ++row)
            yarns.append(YarnJson(document.yarns, row));
        PrintJson(QJsonObject{{QStringLiteral("gridRows"), YarnListRows(document.yarns.size())},
                              {QStringLiteral("yarns"), yarns}});
        return kExitOk;
    }
    QStringList headers;
    for (int32_t c = 0; c < kYarnListColumns; ++c)
        headers << YarnListHeader(texts, c);
    PrintLine(headers.join(QLatin1Char('\t')));
    for (int32_t row = 1; row <= count; ++row) {
        QStringList cells;
        for (int32_t c = 0; c < kYarnListColumns; ++c)
            cells << YarnListCellText(document.yarns, row, c);
        PrintLine(cells.join(QLatin1Char('\t')));
    }
    return kExitOk;
}

} // namespace warplon::cli
