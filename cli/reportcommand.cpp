#include "cliutil.h"
#include "commands.h"

#include "knit/designfile.h"
#include "print/report.h"

#include <QDate>
#include <QFileInfo>
#include <QPageSize>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSaveFile>

namespace warplon::cli {

int RunReport(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOptions({
        {QStringLiteral("kind"), QStringLiteral("The sheet: see --list."), QStringLiteral("KIND")},
        {QStringLiteral("list"), QStringLiteral("List the kinds of sheet and stop.")},
        {{QStringLiteral("o"), QStringLiteral("output")},
         QStringLiteral("The PDF file to write."),
         QStringLiteral("OUT.pdf")},
        {QStringLiteral("layer"), QStringLiteral("The layer of design-layer, 1 to 4 (default 1)."),
         QStringLiteral("K")},
        {QStringLiteral("chain"),
         QStringLiteral("Chain display: 2 (x0-x1, the default) or 3 (x0-x1-x2)."),
         QStringLiteral("2|3")},
        {QStringLiteral("method"),
         QStringLiteral("Simulation and design images: 1 fits one page (default), 2 prints at "
                        "fabric scale over pages."),
         QStringLiteral("1|2")},
        {QStringLiteral("pages"), QStringLiteral("Print only pages A to B of the sheet."),
         QStringLiteral("A-B")},
        {QStringLiteral("paper"), QStringLiteral("A4 (default) or Letter."),
         QStringLiteral("SIZE")},
        {QStringLiteral("landscape"),
         QStringLiteral("Landscape pages (the landscape sheet always is).")},
        {QStringLiteral("lang"), QStringLiteral("The language of the labels (default English)."),
         QStringLiteral("NAME")},
    });
    parser.addPositionalArgument(QStringLiteral("FILE.trc"), QStringLiteral("The design file."));
    int exitCode = kExitOk;
    if (!ParseArguments(parser, QStringLiteral("report"),
                        QStringLiteral("Writes a technical sheet of a design as a PDF file, the "
                                       "same pages the print window prints. The simulation "
                                       "picture is made afresh with the stored settings."),
                        arguments, exitCode))
        return exitCode;

    if (parser.isSet(QStringLiteral("list"))) {
        for (const QString &name : ReportKindNames())
            PrintLine(name);
        return kExitOk;
    }

    ReportOptions options;
    const std::optional<ReportKind> kind = ReportKindFromName(parser.value(QStringLiteral("kind")));
    if (!kind)
        return Fail(QStringLiteral("--kind must be one of: %1")
                        .arg(ReportKindNames().join(QStringLiteral(", "))),
                    kExitUsage);
    options.kind = *kind;
    if (parser.isSet(QStringLiteral("layer"))) {
        bool ok = false;
        options.layer = parser.value(QStringLiteral("layer")).toInt(&ok);
        if (!ok || options.layer < 1 || options.layer > kMaxBars)
            return Fail(QStringLiteral("--layer must be 1, 2, 3 or 4"), kExitUsage);
    }
    if (parser.isSet(QStringLiteral("chain"))) {
        const QString chain = parser.value(QStringLiteral("chain"));
        if (chain != QLatin1String("2") && chain != QLatin1String("3"))
            return Fail(QStringLiteral("--chain must be 2 or 3"), kExitUsage);
        options.threeSteps = chain == QLatin1String("3");
    }
    if (parser.isSet(QStringLiteral("method"))) {
        const QString method = parser.value(QStringLiteral("method"));
        if (method != QLatin1String("1") && method != QLatin1String("2"))
            return Fail(QStringLiteral("--method must be 1 or 2"), kExitUsage);
        options.method = method.toInt();
    }
    if (parser.isSet(QStringLiteral("pages"))) {
        static const QRegularExpression pattern(QStringLiteral("^(\\d{1,6})-(\\d{1,6})$"));
        const QRegularExpressionMatch match = pattern.match(parser.value(QStringLiteral("pages")));
        if (!match.hasMatch() || match.captured(1).toInt() < 1
            || match.captured(2).toInt() < match.captured(1).toInt())
            return Fail(QStringLiteral("--pages must look like 2-5, from page 1 on"), kExitUsage);
        options.firstPage = match.captured(1).toInt();
        options.lastPage = match.captured(2).toInt();
    }
    QPageSize paper(QPageSize::A4);
    if (parser.isSet(QStringLiteral("paper"))) {
        const QString name = parser.value(QStringLiteral("paper"));
        if (name.compare(QLatin1String("Letter"), Qt::CaseInsensitive) == 0)
            paper = QPageSize(QPageSize::Letter);
        else if (name.compare(QLatin1String("A4"), Qt::CaseInsensitive) != 0)
            return Fail(QStringLiteral("--paper must be A4 or Letter"), kExitUsage);
    }
    QString language = QStringLiteral("English");
    if (parser.isSet(QStringLiteral("lang"))) {
        language = parser.value(QStringLiteral("lang"));
        if (language.isEmpty() || language.contains(QLatin1Char('/'))
            || language.contains(QLatin1Char('\\'))
            || !QFileInfo::exists(ShippedFolder() + QLatin1Char('/') + language
                                  + QStringLiteral(".tdw")))
            return Fail(QStringLiteral("--lang %1: no such language file").arg(language),
                        kExitUsage);
    }
    if (!parser.isSet(QStringLiteral("output")))
        return Fail(QStringLiteral("no output file; give -o OUT.pdf"), kExitUsage);
    if (parser.positionalArguments().size() != 1)
        return Fail(QStringLiteral("give exactly one design file"), kExitUsage);

    Design design;
    int32_t fileVersion = 0;
    const QString fileName = parser.positionalArguments().constFirst();
    if (!LoadDesignFile(fileName, design, fileVersion))
        return kExitFailure;
    // The loader takes what a short file holds; a sheet for a customer must not come from a
    // file cut before its header (files of version 100 on keep a preview and the header first).
    TCorvexBitmap preview;
    MainData stored;
    if (fileVersion >= 100 && !ReadPreview(fileName, preview, stored))
        return Fail(
            QStringLiteral("%1: %2").arg(fileName, LoadFailureMessage(LoadResult::Unreadable)));

    const ReportTexts texts = LoadReportTexts(ShippedFolder(), language);
    // No simulation window here: the sheet runs a simulation with the stored settings.
    const ReportInput input{design.header,     design.document,
                            design.guideBars,  design.treatment,
                            design.simulation, design.cost,
                            design.properties, texts,
                            QImage(),          design.designWindow.chartBackground,
                            ShippedFolder(),   false,
                            fileName,          QDate::currentDate().toString(Qt::ISODate),
                            QSize(800, 600)};

    // The pages go to a temporary file that replaces the output only when all went well.
    const QString output = parser.value(QStringLiteral("output"));
    QSaveFile file(output);
    if (!file.open(QIODevice::WriteOnly))
        return Fail(QStringLiteral("cannot write %1: %2").arg(output, file.errorString()));
    int pages = 0;
    QString error;
    {
        QPdfWriter writer(&file);
        writer.setCreator(QStringLiteral("Warplon 2.41"));
        writer.setTitle(QFileInfo(fileName).completeBaseName());
        writer.setPageSize(paper);
        writer.setPageOrientation(parser.isSet(QStringLiteral("landscape"))
                                      ? QPageLayout::Landscape
                                      : QPageLayout::Portrait);
        if (!PaintReport(writer, input, options, &error, &pages)) {
            file.cancelWriting();
            return Fail(QStringLiteral("%1: %2").arg(fileName, error));
        }
    }
    if (!file.commit())
        return Fail(QStringLiteral("cannot write %1: %2").arg(output, file.errorString()));
    PrintLine(QStringLiteral("%1: %2 pages").arg(output).arg(pages));
    return kExitOk;
}

} // namespace warplon::cli
