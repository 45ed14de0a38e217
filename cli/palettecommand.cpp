#include "cliutil.h"
#include "commands.h"

#include "base/safefile.h"
#include "color/colorcatalogs.h"
#include "color/palette.h"
#include "color/paletteexchange.h"
#include "text/encoding.h"

#include <QColor>
#include <QCoreApplication>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QJsonArray>
#include <QPainter>

#include <cstdio>

namespace warplon::cli {

namespace {

QJsonObject entryJson(int index, const TColorData &entry)
{
    QJsonObject object{
        {QStringLiteral("index"), index},
        {QStringLiteral("flags"), entry.ColorFlags},
        {QStringLiteral("kind"), entry.GetKind()},
        {QStringLiteral("kindName"), ColorKindName(entry)},
        {QStringLiteral("page"), entry.PageNumber},
        {QStringLiteral("number"), entry.ColorNumber},
        {QStringLiteral("red"), entry.color.rgbRed},
        {QStringLiteral("green"), entry.color.rgbGreen},
        {QStringLiteral("blue"), entry.color.rgbBlue},
    };
    if (entry.IsUserColor()) {
        object.insert(QStringLiteral("fileName"), DecodeText(entry.FileName));
        object.insert(QStringLiteral("colorName"), DecodeText(entry.ColorName));
    }
    return object;
}

QString entryLine(int index, const TColorData &entry)
{
    QString line = QStringLiteral("%1  flags 0x%2  kind %3  page %4  number %5  rgb %6 %7 %8  %9")
                       .arg(index, 3)
                       .arg(int(entry.ColorFlags), 4, 16, QLatin1Char('0'))
                       .arg(int(entry.GetKind()), 2)
                       .arg(int(entry.PageNumber), 5)
                       .arg(int(entry.ColorNumber), 3)
                       .arg(int(entry.color.rgbRed), 3)
                       .arg(int(entry.color.rgbGreen), 3)
                       .arg(int(entry.color.rgbBlue), 3)
                       .arg(ColorKindName(entry));
    if (entry.IsUserColor())
        line += QStringLiteral("  file \"%1\"  name \"%2\"")
                    .arg(DecodeText(entry.FileName), DecodeText(entry.ColorName));
    return line;
}

// Loads a palette file as the palette window would. A file cut short still loads; the caller
// is told so through `complete`.
bool loadPalette(const QString &fileName, TPalette &palette, bool &complete)
{
    QByteArray bytes;
    if (!ReadWholeFile(fileName, bytes, kMaxPaletteFileSize)) {
        Fail(QStringLiteral("%1: cannot read the palette file").arg(fileName));
        return false;
    }
    complete = palette.LoadFromBytes(bytes);
    if (!complete)
        std::fprintf(stderr,
                     "warplon-cli: %s: the file ends early; entries it does not hold are shown "
                     "as a new palette has them\n",
                     qPrintable(fileName));
    return true;
}

int dump(const QString &fileName, bool json)
{
    TPalette palette;
    bool complete = true;
    if (!loadPalette(fileName, palette, complete))
        return kExitFailure;
    if (json) {
        QJsonArray entries;
        for (int i = 0; i < kPaletteSize; ++i)
            entries.append(entryJson(i, *palette.GetColorData(i)));
        PrintJson(QJsonObject{{QStringLiteral("file"), fileName},
                              {QStringLiteral("complete"), complete},
                              {QStringLiteral("useColor"), palette.UseColor},
                              {QStringLiteral("entries"), entries}});
        return kExitOk;
    }
    PrintLine(QStringLiteral("file: %1").arg(fileName));
    PrintLine(QStringLiteral("useColor: %1").arg(palette.UseColor));
    for (int i = 0; i < kPaletteSize; ++i)
        PrintLine(entryLine(i, *palette.GetColorData(i)));
    return kExitOk;
}

// A 16 x 16 sheet of swatches in index order, row by row, on a grey grid of thin lines.
QImage swatchSheet(const TPalette &palette, int cell)
{
    constexpr int kColumns = 16;
    constexpr int kLine = 1;
    const int side = kColumns * cell + (kColumns + 1) * kLine;
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(QColor(128, 128, 128));
    QPainter painter(&image);
    for (int i = 0; i < kPaletteSize; ++i) {
        const RGBQUAD c = palette.GetColorData(i)->color;
        const int x = kLine + (i % kColumns) * (cell + kLine);
        const int y = kLine + (i / kColumns) * (cell + kLine);
        painter.fillRect(x, y, cell, cell, QColor(c.rgbRed, c.rgbGreen, c.rgbBlue));
    }
    painter.end();
    return image;
}

int render(const QString &fileName, const QString &output, int cell)
{
    TPalette palette;
    bool complete = true;
    if (!loadPalette(fileName, palette, complete))
        return kExitFailure;
    QImageWriter writer(output);
    if (output.endsWith(QLatin1String(".jpg"), Qt::CaseInsensitive))
        writer.setQuality(95);
    if (!writer.write(swatchSheet(palette, cell)))
        return Fail(QStringLiteral("cannot write %1: %2").arg(output, writer.errorString()));
    return kExitOk;
}

// Entries 1 to `last` as a GIMP palette or a list of "#rrggbb" lines. Catalogue colours are
// named by their codes when the catalogues beside the tool hold them.
int exportText(const QString &fileName, PaletteTextFormat format, int last, const QString &output)
{
    TPalette palette;
    bool complete = true;
    if (!loadPalette(fileName, palette, complete))
        return kExitFailure;
    const ColorCatalogs catalogs(ShippedFolder());
    const QByteArray text = ExportPaletteText(palette, format, last,
                                              QFileInfo(fileName).completeBaseName(), &catalogs);
    QString error;
    if (!WriteFileAtomically(output, text, &error))
        return Fail(QStringLiteral("cannot write %1: %2").arg(output, error));
    return kExitOk;
}

// Entries 1, 2, ... take the colours of the text as free colours; the others come from the base
// palette file, or are black. Nothing is written when a line is refused.
int importText(const QString &input, PaletteTextFormat format, const QString &base,
               const QString &output)
{
    QByteArray text;
    if (!ReadWholeFile(input, text, kMaxPaletteTextSize))
        return Fail(QStringLiteral("%1: cannot read the file (or it is larger than %2 MiB)")
                        .arg(input)
                        .arg(kMaxPaletteTextSize >> 20));
    const PaletteImport imported = ParsePaletteText(text, format);
    if (!imported.ok())
        return Fail(QStringLiteral("%1: %2; nothing was written")
                        .arg(input, PaletteImportProblemText(imported)));
    TPalette palette;
    if (!base.isEmpty()) {
        bool complete = true;
        if (!loadPalette(base, palette, complete))
            return kExitFailure;
    }
    const int last = ApplyImportedColors(palette, imported);
    QString error;
    if (!palette.SaveToFile(output, &error))
        return Fail(error);
    if (imported.beyond > 0)
        std::fprintf(stderr, "warplon-cli: %s: %d colours beyond entry %d were left out\n",
                     qPrintable(input), imported.beyond, kImportableEntries);
    PrintLine(QStringLiteral("%1: entries 1 to %2 imported").arg(output).arg(last));
    return kExitOk;
}

} // namespace

int RunPalette(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOptions({
        {QStringLiteral("json"), QStringLiteral("dump: print JSON instead of text.")},
        {{QStringLiteral("o"), QStringLiteral("output")},
         QStringLiteral("render: the picture to write (.png, .bmp or .jpg); export: the text "
                        "file to write; import: the palette file to write (.fcr)."),
         QStringLiteral("OUT")},
        {QStringLiteral("cell"),
         QStringLiteral("render: side of one swatch in pixels, 4 to 256 (default 32)."),
         QStringLiteral("N")},
        {QStringLiteral("format"),
         QStringLiteral("export, import: gpl (GIMP palette) or hex (#rrggbb lines; import takes "
                        "every #rgb or #rrggbb code in the text, so a style sheet works)."),
         QStringLiteral("FORMAT")},
        {QStringLiteral("last"),
         QStringLiteral("export: the last entry written, 1 to 255 (default 255); entries 1 to "
                        "N are written."),
         QStringLiteral("N")},
        {QStringLiteral("base"),
         QStringLiteral("import: the palette file whose entries fill those the text does not "
                        "reach (default: black)."),
         QStringLiteral("FILE.fcr")},
    });
    parser.addPositionalArgument(
        QStringLiteral("ACTION"),
        QStringLiteral("dump (print every entry), render (draw a 16 x 16 swatch sheet), export "
                       "(write entries 1 to N as text) or import (make a palette file of the "
                       "colours of a text file)."));
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("The palette file (.fcr); for import, the text "
                                                "file to read."));
    int exitCode = kExitOk;
    if (!ParseArguments(parser, QStringLiteral("palette"),
                        QStringLiteral("Prints, draws, exports or imports a palette file (.fcr, "
                                       "current or old layout). A palette file does not store "
                                       "the number of colours in use, so useColor is that of a "
                                       "new palette. Import fills entries 1, 2, ... with free "
                                       "colours; colours beyond entry 255 are counted on stderr "
                                       "and left out; a bad line is refused by its number and "
                                       "nothing is written."),
                        arguments, exitCode))
        return exitCode;

    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 2)
        return Fail(QStringLiteral("give an action (dump, render, export or import) and one file"),
                    kExitUsage);
    const QString &action = positional[0];
    const QString &fileName = positional[1];

    // Each action refuses the options of the others, so a mistyped command does not quietly do
    // something else.
    struct ActionOptions
    {
        const char *name;
        QStringList allowed;
    };
    const ActionOptions actions[] = {
        {"dump", {QStringLiteral("json")}},
        {"render", {QStringLiteral("output"), QStringLiteral("cell")}},
        {"export", {QStringLiteral("output"), QStringLiteral("format"), QStringLiteral("last")}},
        {"import", {QStringLiteral("output"), QStringLiteral("format"), QStringLiteral("base")}},
    };
    const ActionOptions *chosen = nullptr;
    for (const ActionOptions &candidate : actions) {
        if (action == QLatin1String(candidate.name))
            chosen = &candidate;
    }
    if (!chosen)
        return Fail(QStringLiteral("unknown palette action '%1'; use dump, render, export or "
                                   "import")
                        .arg(action),
                    kExitUsage);
    for (const QString &option :
         {QStringLiteral("json"), QStringLiteral("output"), QStringLiteral("cell"),
          QStringLiteral("format"), QStringLiteral("last"), QStringLiteral("base")}) {
        if (parser.isSet(option) && !chosen->allowed.contains(option))
            return Fail(QStringLiteral("%1 takes no --%2").arg(action, option), kExitUsage);
    }

    if (action == QLatin1String("dump"))
        return dump(fileName, parser.isSet(QStringLiteral("json")));

    if (!parser.isSet(QStringLiteral("output")))
        return Fail(action == QLatin1String("render")
                        ? QStringLiteral("no output picture; give -o OUT.png")
                        : QStringLiteral("no output file; give -o OUT"),
                    kExitUsage);
    const QString output = parser.value(QStringLiteral("output"));

    if (action == QLatin1String("render")) {
        int cell = 32;
        if (parser.isSet(QStringLiteral("cell"))) {
            bool ok = false;
            cell = parser.value(QStringLiteral("cell")).toInt(&ok);
            if (!ok || cell < 4 || cell > 256)
                return Fail(QStringLiteral("--cell must be a whole number from 4 to 256"),
                            kExitUsage);
        }
        return render(fileName, output, cell);
    }

    const std::optional<PaletteTextFormat> format
        = PaletteTextFormatFromName(parser.value(QStringLiteral("format")));
    if (!format)
        return Fail(QStringLiteral("--format must be gpl or hex"), kExitUsage);
    if (action == QLatin1String("export")) {
        int last = kImportableEntries;
        if (parser.isSet(QStringLiteral("last"))) {
            bool ok = false;
            last = parser.value(QStringLiteral("last")).toInt(&ok);
            if (!ok || last < 1 || last > kImportableEntries)
                return Fail(QStringLiteral("--last must be a whole number from 1 to 255"),
                            kExitUsage);
        }
        return exportText(fileName, *format, last, output);
    }
    return importText(fileName, *format, parser.value(QStringLiteral("base")), output);
}

} // namespace warplon::cli
