#include "cliutil.h"

#include "app/programsettings.h"
#include "app/savedesign.h"
#include "bitmap/compressedblock.h"
#include "knit/designfile.h"
#include "knit/samples.h"

#include <QCoreApplication>
#include <QJsonDocument>

#include <cstdio>

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
