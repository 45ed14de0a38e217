#include "cliutil.h"
#include "commands.h"

#include "app/designjson.h"

#include <QJsonArray>
#include <QLocale>

namespace warplon::cli {

namespace {

QString scalar(const QJsonValue &value)
{
    if (value.isString())
        return QLatin1Char('"') + value.toString() + QLatin1Char('"');
    if (value.isDouble())
        return QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    if (value.isBool())
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    return QStringLiteral("null");
}

bool isFlat(const QJsonArray &array)
{
    for (const QJsonValue &v : array) {
        if (v.isObject() || v.isArray())
            return false;
    }
    return true;
}

// The lapping in chain notation, "x0-x1" per course joined by "/", and the derived x2 of every
// course on a line of its own.
void printLapping(const QString &indent, const QJsonArray &lapping)
{
    QStringList courses;
    QStringList x2;
    for (const QJsonValue &course : lapping) {
        const QJsonArray link = course.toArray();
        courses.append(QStringLiteral("%1-%2").arg(link[0].toInt()).arg(link[1].toInt()));
        x2.append(QString::number(link[2].toInt()));
    }
    PrintLine(indent + QStringLiteral("lapping: ") + courses.join(QLatin1Char('/')));
    PrintLine(indent + QStringLiteral("lapping x2: [") + x2.join(QStringLiteral(", "))
              + QLatin1Char(']'));
}

bool isFlat(const QJsonObject &object)
{
    for (const QJsonValue &v : object) {
        if (v.isObject() || v.isArray())
            return false;
    }
    return true;
}

// A record of plain values on one line: "runIn=1700 calcRunIn=0 ratio=100".
QString inlineObject(const QJsonObject &object)
{
    QStringList fields;
    for (auto it = object.begin(); it != object.end(); ++it)
        fields.append(it.key() + QLatin1Char('=') + scalar(it.value()));
    return fields.join(QLatin1Char(' '));
}

void printValue(const QString &indent, const QString &key, const QJsonValue &value);

void printObject(const QString &indent, const QJsonObject &object)
{
    for (auto it = object.begin(); it != object.end(); ++it)
        printValue(indent, it.key(), it.value());
}

void printValue(const QString &indent, const QString &key, const QJsonValue &value)
{
    const QString label = indent + key + QStringLiteral(": ");
    if (value.isObject()) {
        if (indent.size() > 2 && isFlat(value.toObject())) {
            PrintLine(label + inlineObject(value.toObject()));
            return;
        }
        PrintLine(indent + key + QLatin1Char(':'));
        printObject(indent + QStringLiteral("  "), value.toObject());
        return;
    }
    if (!value.isArray()) {
        PrintLine(label + scalar(value));
        return;
    }
    const QJsonArray array = value.toArray();
    if (key == QLatin1String("lapping")) {
        printLapping(indent, array);
        return;
    }
    if (isFlat(array)) {
        QStringList items;
        for (const QJsonValue &item : array)
            items.append(scalar(item));
        PrintLine(label + QLatin1Char('[') + items.join(QStringLiteral(", ")) + QLatin1Char(']'));
        return;
    }
    PrintLine(label + QString::number(array.size()) + QStringLiteral(" entries"));
    for (qsizetype i = 0; i < array.size(); ++i)
        printValue(indent + QStringLiteral("  "), QStringLiteral("[%1]").arg(i), array[i]);
}

// The blocks in the order the file holds them.
void printDesign(const QJsonObject &design)
{
    for (const char *block : {"fileVersion", "header", "properties", "document", "treatment",
                              "guideBars", "simulation", "picture", "designWindow", "cost"}) {
        const QString key = QLatin1String(block);
        printValue(QString(), key, design.value(key));
    }
}

} // namespace

int RunDump(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("json"), QStringLiteral("Print JSON.")});
    parser.addPositionalArgument(QStringLiteral("FILE.trc"), QStringLiteral("The design file."));
    int exitCode = kExitOk;
    if (!ParseArguments(parser, QStringLiteral("dump"),
                        QStringLiteral("Prints every stored field of a design file as the "
                                       "program holds it after loading the file."),
                        arguments, exitCode))
        return exitCode;
    if (parser.positionalArguments().size() != 1)
        return Fail(QStringLiteral("give exactly one design file"), kExitUsage);

    Design design;
    int32_t fileVersion = 0;
    if (!LoadDesignFile(parser.positionalArguments()[0], design, fileVersion))
        return kExitFailure;
    const QJsonObject json = DesignToJson(design, fileVersion);
    if (parser.isSet(QStringLiteral("json")))
        PrintJson(json);
    else
        printDesign(json);
    return kExitOk;
}

} // namespace warplon::cli
