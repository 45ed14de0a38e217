#include "cliutil.h"
#include "commands.h"

#include "base/safefile.h"
#include "color/palette.h"
#include "text/encoding.h"

#include <QColor>
#include <QImage>
#include <QImageWriter>
#include <QJsonArray>
#include <QPainter>

#include <cstdio>

namespace warplon::cli {

namespace {

// The caption the colour windows give each kind of entry.
QString kindName(const TColorData &entry)
{
    switch (entry.GetKind()) {
    case ColorNormal:
        return entry.PageNumber == 0 ? QStringLiteral("Normal Color")
                                     : QStringLiteral("Printer Color");
    case ColorPantone1000:
        return QStringLiteral("PT 1000 Color");
    case ColorPantoneTextile:
        return QStringLiteral("PT Textile Color");
    case ColorKvStandard:
        return QStringLiteral("Kv Standard Color");
    case ColorKvTextile:
        return QStringLiteral("Kv Textile Color");
    case kUserColorFlag | ColorNormal:
        return entry.PageNumber == 0 ? QStringLiteral("User (Normal Color)")
                                     : QStringLiteral("User (Printer Color)");
    case kUserColorFlag | ColorPantone1000:
        return QStringLiteral("User (PT 1000 Color)");
    case kUserColorFlag | ColorPantoneTextile:
        return QStringLiteral("User (PT Textile Color)");
    case kUserColorFlag | ColorKvStandard:
        return QStringLiteral("User (Kv Standard Color)");
    case kUserColorFlag | ColorKvTextile:
        return QStringLiteral("User (Kv Textile Color)");
    default:
        return QStringLiteral("Unknown");
    }
}

QJsonObject entryJson(int index, const TColorData &entry)
{
    QJsonObject object{
        {QStringLiteral("index"), index},
        {QStringLiteral("flags"), entry.ColorFlags},
        {QStringLiteral("kind"), entry.GetKind()},
        {QStringLiteral("kindName"), kindName(entry)},
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
                       .arg(kindName(entry));
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

} // namespace

int RunPalette(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOptions({
        {QStringLiteral("json"), QStringLiteral("dump: print JSON instead of text.")},
        {{QStringLiteral("o"), QStringLiteral("output")},
         QStringLiteral("render: the picture to write (.png, .bmp or .jpg)."),
         QStringLiteral("OUT")},
        {QStringLiteral("cell"),
         QStringLiteral("render: side of one swatch in pixels, 4 to 256 (default 32)."),
         QStringLiteral("N")},
    });
    parser.addPositionalArgument(QStringLiteral("ACTION"),
                                 QStringLiteral("dump (print every entry) or render (draw a "
                                                "16 x 16 swatch sheet)."));
    parser.addPositionalArgument(QStringLiteral("FILE.fcr"), QStringLiteral("The palette file."));
    int exitCode = kExitOk;
    if (!ParseArguments(parser, QStringLiteral("palette"),
                        QStringLiteral("Prints or draws a palette file (.fcr, current or old "
                                       "layout). A palette file does not store the number of "
                                       "colours in use, so useColor is that of a new palette."),
                        arguments, exitCode))
        return exitCode;

    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 2)
        return Fail(QStringLiteral("give an action (dump or render) and one palette file"),
                    kExitUsage);
    const QString &action = positional[0];
    const QString &fileName = positional[1];
    if (action == QLatin1String("dump")) {
        if (parser.isSet(QStringLiteral("output")) || parser.isSet(QStringLiteral("cell")))
            return Fail(QStringLiteral("dump takes no -o or --cell; did you mean render?"),
                        kExitUsage);
        return dump(fileName, parser.isSet(QStringLiteral("json")));
    }
    if (action == QLatin1String("render")) {
        if (parser.isSet(QStringLiteral("json")))
            return Fail(QStringLiteral("render takes no --json"), kExitUsage);
        if (!parser.isSet(QStringLiteral("output")))
            return Fail(QStringLiteral("no output picture; give -o OUT.png"), kExitUsage);
        int cell = 32;
        if (parser.isSet(QStringLiteral("cell"))) {
            bool ok = false;
            cell = parser.value(QStringLiteral("cell")).toInt(&ok);
            if (!ok || cell < 4 || cell > 256)
                return Fail(QStringLiteral("--cell must be a whole number from 4 to 256"),
                            kExitUsage);
        }
        return render(fileName, parser.value(QStringLiteral("output")), cell);
    }
    return Fail(QStringLiteral("unknown palette action '%1'; use dump or render").arg(action),
                kExitUsage);
}

} // namespace warplon::cli
