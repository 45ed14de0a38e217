#include "cliutil.h"

#include "app/programsettings.h"
#include "app/savedesign.h"
#include "bitmap/compressedblock.h"
#include "knit/designfile.h"
#include "knit/samples.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QRegularExpression>

#include <cstdio>
#include <cstdlib>

namespace warplon::cli {

int Fail(const QString &message, int code)
{
    std::fprintf(stderr, "warplon-cli: %s\n", qPrintable(message));
    return code;
}

bool ParseArguments(QCommandLineParser &parser, const QString &command, const QString &description,
                    const QStringList &arguments, int &exitCode)
{
    parser.setApplicationDescription(description);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help."));
    parser.addOption(help);
    QStringList argv = arguments;
    argv.prepend(QStringLiteral("warplon-cli ") + command);
    if (!parser.parse(argv)) {
        exitCode = Fail(parser.errorText(), kExitUsage);
        return false;
    }
    if (parser.isSet(help)) {
        // The parser names the program by the path it was started with; scripts read the
        // command as they type it.
        QString text = parser.helpText();
        const QStringList processArguments = QCoreApplication::arguments();
        if (!processArguments.isEmpty())
            text.replace(processArguments.constFirst(), QStringLiteral("warplon-cli ") + command);
        std::fputs(qPrintable(text), stdout);
        exitCode = kExitOk;
        return false;
    }
    return true;
}

bool LoadDesignFile(const QString &fileName, Design &design, int32_t &fileVersion)
{
    fileVersion = 0;
    MakeNewDesign(design);
    const LoadResult result = LoadDesign(fileName, design.records(), &fileVersion);
    if (result != LoadResult::Loaded) {
        Fail(QStringLiteral("%1: %2").arg(fileName, LoadFailureMessage(result)));
        return false;
    }
    return true;
}

int LoadDesignOrSample(const QCommandLineParser &parser, Design &design)
{
    const QStringList files = parser.positionalArguments();
    if (parser.optionNames().contains(QLatin1String("sample"))) {
        const QString name = parser.value(QStringLiteral("sample"));
        if (!files.isEmpty())
            return Fail(QStringLiteral("give a design file or --sample, not both"), kExitUsage);
        MakeNewDesign(design);
        if (!MakeSample(name, design.header, design.document))
            return Fail(
                QStringLiteral("no sample named '%1'; see 'warplon-cli new --list'").arg(name),
                kExitUsage);
        return kExitOk;
    }
    if (files.size() != 1)
        return Fail(QStringLiteral("give exactly one design file"), kExitUsage);
    int32_t fileVersion = 0;
    return LoadDesignFile(files[0], design, fileVersion) ? kExitOk : kExitFailure;
}

bool SaveDesignFile(const QString &fileName, Design &design)
{
    // The picture is stored packed: a design file of the CLI is a tenth of the raw size.
    QString error;
    if (SaveDesignWithSimulation(fileName, design.records(), kPixelsPacked, QSize(800, 600), 1,
                                 &error))
        return true;
    Fail(error);
    return false;
}

bool ParsePoints(const QString &text, std::vector<QPoint> &points)
{
    points.clear();
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() % 2 != 0)
        return false;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        bool okX = false;
        bool okY = false;
        const int x = parts[i].trimmed().toInt(&okX);
        const int y = parts[i + 1].trimmed().toInt(&okY);
        if (!okX || !okY || std::abs(x) > 1000000 || std::abs(y) > 1000000)
            return false;
        points.emplace_back(x, y);
    }
    return true;
}

bool ParseRgbColor(const QString &text, QRgb &color)
{
    static const QRegularExpression pattern(QStringLiteral("^#?([0-9A-Fa-f]{6})$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return false;
    color = 0xff000000u | match.captured(1).toUInt(nullptr, 16);
    return true;
}

QString ShippedFolder()
{
    return ShippedFilesDirectory(QCoreApplication::applicationDirPath());
}

TStringTable ToolTexts(const QString &section)
{
    TStringTable texts;
    LoadTable(texts, ShippedFolder(), QStringLiteral("English"), section);
    return texts;
}

void PrintJson(const QJsonObject &object)
{
    std::fputs(QJsonDocument(object).toJson(QJsonDocument::Indented).constData(), stdout);
}

void PrintLine(const QString &line)
{
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
}

} // namespace warplon::cli
