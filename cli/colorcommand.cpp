#include "cliutil.h"
#include "commands.h"

#include "color/colorcatalog.h"
#include "color/printercolor.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QJsonObject>
#include <QRegularExpression>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace warplon::cli {

namespace {

const char kColorUsage[]
    = "Usage: warplon-cli color SUBCOMMAND [options]\n"
      "\n"
      "Subcommands:\n"
      "  printer PAGE STEP   a colour of the computed printer atlas\n"
      "  nearest R G B       the nearest colour of a catalogue\n"
      "  find CODE           the colour of a catalogue with this code\n"
      "  atlas -o OUT.png    draw the whole printer atlas as a swatch sheet\n"
      "\n"
      "Catalogues: printer (computed), standard (Standard.kvc), textile (Textile.kvc),\n"
      "pantone1000 (Thousand.ptc), pantonetextile (Textile.ptc); the files are read from the\n"
      "folder \"color\" beside the program, or from --color-dir.\n"
      "\n"
      "Run 'warplon-cli color SUBCOMMAND --help' for the options of a subcommand.\n";

// One catalogue the user can name on the command line.
struct CatalogChoice
{
    const char *name;
    const char *title;
    const char *file;
    CatalogKind kind;
};

constexpr std::array<CatalogChoice, 4> kFileCatalogs = {{
    {"standard", "standard", "Standard.kvc", CatalogKind::Standard},
    {"textile", "textile", "Textile.kvc", CatalogKind::Textile},
    {"pantone1000", "Pantone 1000", "Thousand.ptc", CatalogKind::Pantone1000},
    {"pantonetextile", "Pantone textile", "Textile.ptc", CatalogKind::PantoneTextile},
}};

const QCommandLineOption kJsonOption(QStringLiteral("json"), QStringLiteral("Print JSON."));
const QCommandLineOption kCatalogOption(
    QStringLiteral("catalog"),
    QStringLiteral("printer, standard, textile, pantone1000 or pantonetextile (default printer)."),
    QStringLiteral("NAME"));
const QCommandLineOption kColorDirOption(
    QStringLiteral("color-dir"),
    QStringLiteral("The folder of the catalogue files (default: \"color\" beside the program)."),
    QStringLiteral("DIR"));

// A colour found in the printer atlas or a catalogue, as it is printed.
struct FoundColor
{
    QString catalog;
    QString code;
    int page = 0;
    int number = 0;
    RGBQUAD rgb;
};

std::unique_ptr<TColorCatalog> MakeCatalog(CatalogKind kind, const QString &fileName)
{
    switch (kind) {
    case CatalogKind::Textile:
        return std::make_unique<TTextileColor>(fileName);
    case CatalogKind::Pantone1000:
        return std::make_unique<TPantone1000>(fileName);
    case CatalogKind::PantoneTextile:
        return std::make_unique<TPantoneTextile>(fileName);
    case CatalogKind::Standard:
        break;
    }
    return std::make_unique<TStandardColor>(fileName);
}

// Loads the named file catalogue. On failure prints why it has no colours and returns null.
std::unique_ptr<TColorCatalog> OpenCatalog(const CatalogChoice &choice,
                                           const QCommandLineParser &parser)
{
    const QString folder = parser.isSet(kColorDirOption)
                               ? parser.value(kColorDirOption)
                               : ShippedFolder() + QStringLiteral("/color");
    const QString fileName = folder + QLatin1Char('/') + QLatin1String(choice.file);
    const QString title = QLatin1String(choice.title);
    const bool pantone
        = choice.kind == CatalogKind::Pantone1000 || choice.kind == CatalogKind::PantoneTextile;
    if (!QFile::exists(fileName)) {
        Fail(QStringLiteral("the %1 catalogue has no colours: %2 does not exist%3")
                 .arg(title, fileName,
                      pantone ? QStringLiteral(" (Pantone catalogues do not come with Warplon; "
                                               "copy your own file there)")
                              : QString()));
        return nullptr;
    }
    if (QFileInfo(fileName).size() == 0) {
        Fail(QStringLiteral("the %1 catalogue has no colours: %2 is empty").arg(title, fileName));
        return nullptr;
    }
    std::unique_ptr<TColorCatalog> catalog = MakeCatalog(choice.kind, fileName);
    // A damaged file would give answers from part of the catalogue only; say so instead.
    if (!catalog->ErrorString().isEmpty()) {
        Fail(QStringLiteral("the %1 catalogue cannot be used: %2")
                 .arg(title, catalog->ErrorString()));
        return nullptr;
    }
    if (catalog->EntryCount() == 0) {
        Fail(QStringLiteral("the %1 catalogue has no colours: %2 holds none").arg(title, fileName));
        return nullptr;
    }
    return catalog;
}

// The catalogue named by --catalog: null for the printer atlas; `known` false for a name that
// is not a catalogue.
const CatalogChoice *ChosenCatalog(const QCommandLineParser &parser, bool &known)
{
    known = true;
    const QString name
        = parser.isSet(kCatalogOption) ? parser.value(kCatalogOption) : QStringLiteral("printer");
    if (name == QLatin1String("printer"))
        return nullptr;
    for (const CatalogChoice &choice : kFileCatalogs) {
        if (name == QLatin1String(choice.name))
            return &choice;
    }
    known = false;
    return nullptr;
}

int UnknownCatalog()
{
    return Fail(QStringLiteral("--catalog must be printer, standard, textile, pantone1000 or "
                               "pantonetextile"),
                kExitUsage);
}

bool ParseNumber(const QString &text, int low, int high, int &value)
{
    bool ok = false;
    value = text.toInt(&ok);
    return ok && value >= low && value <= high;
}

FoundColor PrinterColor(int pageIndex, int step, int column)
{
    FoundColor found;
    found.catalog = QStringLiteral("printer");
    found.page = TPrinterColor::AtlasPage(pageIndex, column);
    found.number = step;
    found.code = TPrinterColor::PN2Code(uint16_t(found.page), uint8_t(step));
    found.rgb = TPrinterColor::AtlasRGB(pageIndex, step, column);
    return found;
}

FoundColor CatalogColor(const CatalogChoice &choice, const TColorCatalog &catalog, int pageIndex,
                        int entryIndex)
{
    FoundColor found;
    found.catalog = QLatin1String(choice.name);
    uint16_t pageNumber = 0;
    if (const CatalogEntry *entry = catalog.Search(pageIndex, entryIndex, pageNumber)) {
        found.code = catalog.Code(*entry);
        found.number = entry->NumberInPage();
    }
    found.page = pageNumber;
    found.rgb = catalog.ToRGB(pageIndex, entryIndex);
    return found;
}

void PrintFound(const FoundColor &found, bool json, int distance = -1)
{
    if (json) {
        QJsonObject object{
            {QStringLiteral("catalog"), found.catalog},
            {QStringLiteral("code"), found.code},
            {QStringLiteral("page"), found.page},
            {QStringLiteral("number"), found.number},
            {QStringLiteral("red"), found.rgb.rgbRed},
            {QStringLiteral("green"), found.rgb.rgbGreen},
            {QStringLiteral("blue"), found.rgb.rgbBlue},
        };
        if (distance >= 0)
            object.insert(QStringLiteral("distance"), distance);
        PrintJson(object);
        return;
    }
    PrintLine(QStringLiteral("catalog: %1").arg(found.catalog));
    PrintLine(QStringLiteral("code: %1").arg(found.code));
    PrintLine(QStringLiteral("page: %1").arg(found.page));
    PrintLine(QStringLiteral("number: %1").arg(found.number));
    PrintLine(QStringLiteral("rgb: %1 %2 %3")
                  .arg(found.rgb.rgbRed)
                  .arg(found.rgb.rgbGreen)
                  .arg(found.rgb.rgbBlue));
    if (distance >= 0)
        PrintLine(QStringLiteral("distance: %1").arg(distance));
}

int RunPrinter(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOption(kJsonOption);
    parser.addPositionalArgument(QStringLiteral("PAGE"),
                                 QStringLiteral("The atlas page, counted from 1 (1-1087)."));
    parser.addPositionalArgument(
        QStringLiteral("STEP"),
        QStringLiteral("The lightness step, counted from 0 (0-35; 0-11 on the pale pages "
                       "548-1087)."));
    int exitCode = kExitOk;
    if (!ParseArguments(parser, QStringLiteral("color printer"),
                        QStringLiteral("Prints the RGB, HLS and code of a printer-atlas colour. "
                                       "The code is index-column:step, all counted from 1; a "
                                       "hue of 999 marks a grey without hue."),
                        arguments, exitCode))
        return exitCode;
    const QStringList values = parser.positionalArguments();
    if (values.size() != 2)
        return Fail(QStringLiteral("give an atlas page and a lightness step"), kExitUsage);
    int page = 0;
    if (!ParseNumber(values[0], 1, TPrinterColor::kAtlasPageCount, page))
        return Fail(QStringLiteral("the atlas page must be a whole number from 1 to %1")
                        .arg(TPrinterColor::kAtlasPageCount),
                    kExitUsage);
    const int steps = TPrinterColor::StepCountOfPage(page);
    int step = 0;
    if (!ParseNumber(values[1], 0, steps - 1, step))
        return Fail(QStringLiteral("the lightness step of page %1 must be a whole number from 0 "
                                   "to %2")
                        .arg(page)
                        .arg(steps - 1),
                    kExitUsage);

    TPrinterColor color;
    color.SetPage(uint16_t(page));
    color.SetNumber(uint8_t(step));
    const RGBQUAD rgb = color.ToRGB();
    const QString code = TPrinterColor::PN2Code(color.GetPage(), color.GetNumber());
    if (parser.isSet(kJsonOption)) {
        PrintJson(QJsonObject{
            {QStringLiteral("catalog"), QStringLiteral("printer")},
            {QStringLiteral("code"), code},
            {QStringLiteral("page"), color.GetPage()},
            {QStringLiteral("number"), color.GetNumber()},
            {QStringLiteral("red"), rgb.rgbRed},
            {QStringLiteral("green"), rgb.rgbGreen},
            {QStringLiteral("blue"), rgb.rgbBlue},
            {QStringLiteral("hue"), color.Hue()},
            {QStringLiteral("lightness"), color.Lightness()},
            {QStringLiteral("saturation"), color.Saturation()},
        });
        return kExitOk;
    }
    PrintLine(QStringLiteral("code: %1").arg(code));
    PrintLine(QStringLiteral("page: %1").arg(color.GetPage()));
    PrintLine(QStringLiteral("number: %1 (lightness step)").arg(color.GetNumber()));
    PrintLine(QStringLiteral("rgb: %1 %2 %3").arg(rgb.rgbRed).arg(rgb.rgbGreen).arg(rgb.rgbBlue));
    PrintLine(QStringLiteral("hls: %1 %2 %3")
                  .arg(color.Hue(), 0, 'g', 10)
                  .arg(color.Lightness(), 0, 'g', 10)
                  .arg(color.Saturation(), 0, 'g', 10));
    return kExitOk;
}

int RunNearest(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOptions({kJsonOption, kCatalogOption, kColorDirOption});
    parser.addPositionalArgument(QStringLiteral("R G B"),
                                 QStringLiteral("The colour to match, each channel 0-255."));
    int exitCode = kExitOk;
    if (!ParseArguments(parser, QStringLiteral("color nearest"),
                        QStringLiteral("Prints the code, page, number and RGB of the catalogue "
                                       "colour nearest to R G B (smallest sum of channel "
                                       "differences). For the printer atlas the page counts "
                                       "from 1 and the number is the lightness step from 0."),
                        arguments, exitCode))
        return exitCode;
    const QStringList values = parser.positionalArguments();
    if (values.size() != 3)
        return Fail(QStringLiteral("give three channels R G B"), kExitUsage);
    std::array<int, 3> rgb{};
    for (size_t i = 0; i < rgb.size(); ++i) {
        if (!ParseNumber(values[qsizetype(i)], 0, 255, rgb[i]))
            return Fail(QStringLiteral("each channel must be a whole number from 0 to 255"),
                        kExitUsage);
    }
    const auto r = uint8_t(rgb[0]);
    const auto g = uint8_t(rgb[1]);
    const auto b = uint8_t(rgb[2]);

    bool known = true;
    const CatalogChoice *choice = ChosenCatalog(parser, known);
    if (!known)
        return UnknownCatalog();
    FoundColor found;
    if (!choice) {
        int pageIndex = 0;
        int step = 0;
        int column = 0;
        TPrinterColor().SearchRGB(r, g, b, pageIndex, step, column);
        found = PrinterColor(pageIndex, step, column);
    } else {
        const std::unique_ptr<TColorCatalog> catalog = OpenCatalog(*choice, parser);
        if (!catalog)
            return kExitFailure;
        int pageIndex = -1;
        int entryIndex = -1;
        if (!catalog->SearchRGB(r, g, b, pageIndex, entryIndex))
            return Fail(QStringLiteral("the catalogue has no colours"));
        found = CatalogColor(*choice, *catalog, pageIndex, entryIndex);
    }
    const int distance = std::abs(found.rgb.rgbRed - rgb[0]) + std::abs(found.rgb.rgbGreen - rgb[1])
                         + std::abs(found.rgb.rgbBlue - rgb[2]);
    PrintFound(found, parser.isSet(kJsonOption), distance);
    return kExitOk;
}

// The atlas code the way it is typed, two digits a part: "37-1:1" becomes "37-01:01", so codes
// printed by this tool can be looked up again.
QString TypedPrinterCode(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,2})-(\\d{1,2}):(\\d{1,2})$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return text;
    return match.captured(1).rightJustified(2, QLatin1Char('0')) + QLatin1Char('-')
           + match.captured(2).rightJustified(2, QLatin1Char('0')) + QLatin1Char(':')
           + match.captured(3).rightJustified(2, QLatin1Char('0'));
}

int RunFind(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOptions({kJsonOption, kCatalogOption, kColorDirOption});
    parser.addPositionalArgument(
        QStringLiteral("CODE"),
        QStringLiteral("The code: 37-01:01 (printer, index-column:step from 1), 0042 "
                       "(standard), 19-0052 (textile), a number or name (Pantone 1000)."));
    int exitCode = kExitOk;
    if (!ParseArguments(parser, QStringLiteral("color find"),
                        QStringLiteral("Prints the catalogue colour with the given code. "
                                       "Standard codes and Pantone 1000 names ignore case."),
                        arguments, exitCode))
        return exitCode;
    const QStringList values = parser.positionalArguments();
    if (values.size() != 1)
        return Fail(QStringLiteral("give exactly one code"), kExitUsage);
    const QString code = values[0];

    bool known = true;
    const CatalogChoice *choice = ChosenCatalog(parser, known);
    if (!known)
        return UnknownCatalog();
    FoundColor found;
    if (!choice) {
        int index = 0;
        int step = 0;
        int column = 0;
        if (!TPrinterColor::SearchPrinterColor(TypedPrinterCode(code), index, step, column))
            return Fail(QStringLiteral("no printer colour has the code '%1' (codes look like "
                                       "37-01:01: index 1-73, column 1-15, step 1-36)")
                            .arg(code));
        found = PrinterColor(index - 1, step - 1, column - 1);
    } else {
        const std::unique_ptr<TColorCatalog> catalog = OpenCatalog(*choice, parser);
        if (!catalog)
            return kExitFailure;
        int pageIndex = -1;
        int entryIndex = -1;
        if (!catalog->SearchCode(code, pageIndex, entryIndex))
            return Fail(QStringLiteral("no colour of the %1 catalogue has the code '%2'")
                            .arg(QLatin1String(choice->title), code));
        found = CatalogColor(*choice, *catalog, pageIndex, entryIndex);
    }
    PrintFound(found, parser.isSet(kJsonOption));
    return kExitOk;
}

// The swatch sheet of the atlas. Text would need a GUI application, so the labels are drawn
// from a small built-in 3 x 5 pixel font of digits and the dash.
class AtlasSheet
{
public:
    static constexpr int kSwatch = 8;
    static constexpr int kPitch = kSwatch + 1;
    static constexpr int kGap = 16;
    static constexpr int kLabelHeight = 18;
    static constexpr int kBlocksPerRow = 12;
    static constexpr int kGlyphScale = 2;

    QImage Draw()
    {
        const int fullWidth = TPrinterColor::ColumnCount(0) * kPitch;
        const int width = kGap + kBlocksPerRow * (fullWidth + kGap);
        // Three rows of full-range pages, one for the greys, three of pale pages.
        const int fullHeight = kLabelHeight + TPrinterColor::StepCount(0) * kPitch + kGap;
        const int paleHeight = kLabelHeight
                               + TPrinterColor::StepCount(TPrinterColor::kPaleFirstIndex) * kPitch
                               + kGap;
        const int height = kGap + 4 * fullHeight + 3 * paleHeight;
        m_image = QImage(width, height, QImage::Format_RGB32);
        m_image.fill(kBackground);

        int top = kGap;
        int slot = 0;
        for (int p = 0; p < TPrinterColor::kIndexCount; ++p) {
            // The greys and the pale range each start a row of their own.
            if (p == TPrinterColor::kGreyIndex || p == TPrinterColor::kPaleFirstIndex) {
                top += fullHeight;
                slot = 0;
            }
            if (slot == kBlocksPerRow) {
                top += p < TPrinterColor::kGreyIndex ? fullHeight : paleHeight;
                slot = 0;
            }
            DrawBlock(p, kGap + slot * (fullWidth + kGap), top);
            ++slot;
        }
        return m_image;
    }

private:
    static constexpr QRgb kBackground = 0xFF484848;
    static constexpr QRgb kLabel = 0xFFE6E6E6;

    // One page index: its columns left to right, its lightness steps top to bottom from step 0,
    // under a label "index first-last" with the 1-based index and its atlas pages.
    void DrawBlock(int pageIndex, int left, int top)
    {
        const int columns = TPrinterColor::ColumnCount(pageIndex);
        const int firstPage = TPrinterColor::AtlasPage(pageIndex, 0);
        const int lastPage = TPrinterColor::AtlasPage(pageIndex, columns - 1);
        DrawText(QStringLiteral("%1 %2-%3").arg(pageIndex + 1).arg(firstPage).arg(lastPage), left,
                 top);
        const int swatchTop = top + kLabelHeight;
        for (int c = 0; c < columns; ++c) {
            for (int n = 0; n < TPrinterColor::StepCount(pageIndex); ++n) {
                const RGBQUAD rgb = TPrinterColor::AtlasRGB(pageIndex, n, c);
                Fill(left + c * kPitch, swatchTop + n * kPitch, kSwatch, kSwatch,
                     qRgb(rgb.rgbRed, rgb.rgbGreen, rgb.rgbBlue));
            }
        }
    }

    void Fill(int x, int y, int w, int h, QRgb color)
    {
        for (int row = y; row < y + h; ++row) {
            auto *line = reinterpret_cast<QRgb *>(m_image.scanLine(row));
            for (int column = x; column < x + w; ++column)
                line[column] = color;
        }
    }

    void DrawText(const QString &text, int x, int y)
    {
        for (const QChar ch : text) {
            const uint16_t *glyph = Glyph(ch);
            if (glyph) {
                for (int row = 0; row < 5; ++row) {
                    for (int bit = 0; bit < 3; ++bit) {
                        if (glyph[row] & (4 >> bit))
                            Fill(x + bit * kGlyphScale, y + row * kGlyphScale, kGlyphScale,
                                 kGlyphScale, kLabel);
                    }
                }
            }
            x += 4 * kGlyphScale;
        }
    }

    // Rows of a glyph, three bits each, the left pixel in the high bit; null for a blank.
    static const uint16_t *Glyph(QChar ch)
    {
        static const uint16_t digits[10][5] = {
            {7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 7, 1, 7}, {5, 5, 7, 1, 1},
            {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 1, 1, 1}, {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7},
        };
        static const uint16_t dash[5] = {0, 0, 7, 0, 0};
        if (ch == u'-')
            return dash;
        if (ch >= u'0' && ch <= u'9')
            return digits[ch.unicode() - u'0'];
        return nullptr;
    }

    QImage m_image;
};

int RunAtlas(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOption({{QStringLiteral("o"), QStringLiteral("output")},
                      QStringLiteral("The picture to write (.png, .bmp or .jpg)."),
                      QStringLiteral("OUT")});
    int exitCode = kExitOk;
    if (!ParseArguments(parser, QStringLiteral("color atlas"),
                        QStringLiteral("Draws every colour of the printer atlas: the 73 page "
                                       "indices in order, each with its columns left to right "
                                       "and its lightness steps top to bottom, labelled with "
                                       "the index and its atlas pages (both from 1)."),
                        arguments, exitCode))
        return exitCode;
    if (!parser.positionalArguments().isEmpty())
        return Fail(QStringLiteral("the atlas takes no arguments besides -o OUT"), kExitUsage);
    if (!parser.isSet(QStringLiteral("output")))
        return Fail(QStringLiteral("no output picture; give -o OUT.png"), kExitUsage);
    const QString output = parser.value(QStringLiteral("output"));
    QImageWriter writer(output);
    if (output.endsWith(QLatin1String(".jpg"), Qt::CaseInsensitive))
        writer.setQuality(95);
    if (!writer.write(AtlasSheet().Draw()))
        return Fail(QStringLiteral("cannot write %1: %2").arg(output, writer.errorString()));
    return kExitOk;
}

} // namespace

int RunColor(const QStringList &arguments)
{
    if (arguments.isEmpty())
        return Fail(QStringLiteral("give a subcommand: printer, nearest, find or atlas; see "
                                   "'warplon-cli color --help'"),
                    kExitUsage);
    QStringList rest = arguments;
    const QString subcommand = rest.takeFirst();
    if (subcommand == QLatin1String("--help") || subcommand == QLatin1String("-h")) {
        std::fputs(kColorUsage, stdout);
        return kExitOk;
    }
    if (subcommand == QLatin1String("printer"))
        return RunPrinter(rest);
    if (subcommand == QLatin1String("nearest"))
        return RunNearest(rest);
    if (subcommand == QLatin1String("find"))
        return RunFind(rest);
    if (subcommand == QLatin1String("atlas"))
        return RunAtlas(rest);
    return Fail(QStringLiteral("unknown color subcommand '%1'; try 'warplon-cli color --help'")
                    .arg(subcommand),
                kExitUsage);
}

} // namespace warplon::cli
