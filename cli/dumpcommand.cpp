#include "cliutil.h"
#include "commands.h"

#include "app/designjson.h"

#include <QJsonArray>

namespace warplon::cli {

namespace {

QString scalar(const QJsonValue &value)
{
    if (value.isString())
        return QLatin1Char('"') + value.toString() + QLatin1Char('"');
    if (value.isDouble())
        return QString::number(value.toDouble(), 'g', 17);
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

// The lapping in chain notation, one "x0-x1" per course joined by "/", each course's x2 after
// it in brackets when it differs from x1 (a closed lap).
QString chainNotation(const QJsonArray &lapping)
{
    QStringList courses;
    for (const QJsonValue &course : lapping) {
        const QJsonArray link = course.toArray();
        QString text = QStringLiteral("%1-%2").arg(link[0].toInt()).arg(link[1].toInt());
        if (link[2].toInt() != link[1].toInt())
            text += QStringLiteral("(%1)").arg(link[2].toInt());
        courses.append(text);
    }
    return courses.join(QLatin1Char('/'));
}

void printValue(const QString &indent, const QString &key, const QJsonValue &value);

void printObject(const QString &indent, const QJsonObject &object)
{
    for (auto it = object.begin(); it != object.end(); ++it)
        printValue(indent, it.key(), it.value());
}

void printValue(const QString &indent, const QString &key, const QJsonValue &value)
{
    if (value.isObject()) {
        PrintLine(indent + key + QLatin1Char(':'));
        printObject(indent + QStringLiteral("  "), value.toObject());
        return;
    }
    if (!value.isArray()) {
        PrintLine(indent + key + QStringLiteral(": ") + scalar(value));
        return;
    }
    const QJsonArray array = value.toArray();
    if (key == QLatin1String("lapping")) {
        PrintLine(indent + key + QStringLiteral(": ") + chainNotation(array));
        return;
    }
    if (isFlat(array)) {
        QStringList items;
        for (const QJsonValue &item : array)
            items.append(scalar(item));
        PrintLine(indent + key + QStringLiteral(": [") + items.join(QStringLiteral(", "))
                  + QLatin1Char(']'));
        return;
    }
    PrintLine(indent + key + QStringLiteral(": ") + QString::number(array.size())
              + QStringLiteral(" entries"));
    for (qsizetype i = 0; i < array.size(); ++i)
        printValue(indent + QStringLiteral("  "), QStringLiteral("[%1]").arg(i), array[i]);
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
        printObject(QString(), json);
    return kExitOk;
}

} // namespace warplon::cli
