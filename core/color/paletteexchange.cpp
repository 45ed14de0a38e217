#include "color/paletteexchange.h"

#include "color/colorcatalogs.h"
#include "color/coloredit.h"
#include "color/palette.h"
#include "color/printercolor.h"
#include "text/encoding.h"

#include <algorithm>

namespace warplon {

namespace {

const char kGplMagic[] = "GIMP Palette";
// Colours per row where a program shows a GIMP palette as a grid: the 255 entries in 16 rows.
constexpr int kGplColumns = 16;

// One line of text: control characters (a tab would end the name in a GIMP palette, a line
// break the line) become blanks.
QString singleLine(QString text)
{
    for (QChar &c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            c = QLatin1Char(' ');
    }
    return text.simplified();
}

QByteArray hexCode(RGBQUAD c)
{
    return QByteArray::number((uint(c.rgbRed) << 16) | (uint(c.rgbGreen) << 8) | c.rgbBlue, 16)
        .rightJustified(6, '0')
        .prepend('#');
}

bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool isWordChar(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return c - 'A' + 10;
}

void addColor(PaletteImport &result, uint8_t r, uint8_t g, uint8_t b)
{
    if (int(result.colors.size()) >= kImportableEntries) {
        ++result.beyond;
        return;
    }
    RGBQUAD c;
    c.rgbRed = r;
    c.rgbGreen = g;
    c.rgbBlue = b;
    result.colors.push_back(c);
}

// Every "#rgb" and "#rrggbb" standing on its own: not glued to a word before it (an HTML
// character reference "&#123;" is no colour) nor followed by more of a word ("#bad-tile" and
// "#header" are names, "#abcd" is neither form).
void parseHex(QByteArrayView text, PaletteImport &result)
{
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        if (text[i] != '#')
            continue;
        if (i > 0 && (isWordChar(text[i - 1]) || text[i - 1] == '&'))
            continue;
        qsizetype end = i + 1;
        while (end < size && isHexDigit(text[end]))
            ++end;
        const qsizetype digits = end - i - 1;
        if (end < size && (isWordChar(text[end]) || text[end] == '-'))
            continue;
        if (digits == 6) {
            const auto byteAt = [&text, i](int k) {
                return uint8_t(hexValue(text[i + 1 + 2 * k]) * 16 + hexValue(text[i + 2 + 2 * k]));
            };
            addColor(result, byteAt(0), byteAt(1), byteAt(2));
        } else if (digits == 3) {
            const auto nibbleAt
                = [&text, i](int k) { return uint8_t(hexValue(text[i + 1 + k]) * 17); };
            addColor(result, nibbleAt(0), nibbleAt(1), nibbleAt(2));
        }
        i = end - 1;
    }
    if (result.colors.empty())
        result.problem = PaletteImportProblem::NoColors;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

// The blank-separated words of a line.
std::vector<QByteArrayView> words(QByteArrayView line)
{
    std::vector<QByteArrayView> result;
    qsizetype i = 0;
    while (i < line.size()) {
        while (i < line.size() && isBlank(line[i]))
            ++i;
        const qsizetype start = i;
        while (i < line.size() && !isBlank(line[i]))
            ++i;
        if (i > start)
            result.push_back(line.sliced(start, i - start));
    }
    return result;
}

bool isWholeNumber(QByteArrayView word)
{
    qsizetype i = (word.startsWith('-') || word.startsWith('+')) ? 1 : 0;
    if (i == word.size())
        return false;
    for (; i < word.size(); ++i) {
        if (word[i] < '0' || word[i] > '9')
            return false;
    }
    return true;
}

void parseGpl(QByteArrayView text, PaletteImport &result)
{
    if (text.startsWith("\xEF\xBB\xBF"))
        text = text.sliced(3);
    int lineNumber = 0;
    qsizetype pos = 0;
    while (pos <= text.size()) {
        qsizetype end = text.indexOf('\n', pos);
        if (end < 0)
            end = text.size();
        const QByteArrayView line = text.sliced(pos, end - pos).trimmed();
        pos = end + 1;
        ++lineNumber;
        const auto refuse = [&result, lineNumber](PaletteImportProblem problem) {
            result.problem = problem;
            result.line = lineNumber;
            result.colors.clear();
            result.beyond = 0;
        };
        if (lineNumber == 1) {
            if (line != kGplMagic)
                return refuse(PaletteImportProblem::NoMagicLine);
            continue;
        }
        if (line.isEmpty() || line.startsWith('#') || line.startsWith("Name:")
            || line.startsWith("Columns:"))
            continue;
        const std::vector<QByteArrayView> parts = words(line);
        int values[3] = {0, 0, 0};
        for (size_t k = 0; k < 3; ++k) {
            if (k >= parts.size() || !isWholeNumber(parts[k]))
                return refuse(PaletteImportProblem::MissingValue);
            bool fits = false;
            values[k] = QByteArray(parts[k].data(), parts[k].size()).toInt(&fits);
            if (!fits || values[k] < 0 || values[k] > 255)
                return refuse(PaletteImportProblem::OutOfRange);
        }
        addColor(result, uint8_t(values[0]), uint8_t(values[1]), uint8_t(values[2]));
    }
    if (result.colors.empty())
        result.problem = PaletteImportProblem::NoColors;
}

} // namespace

QString ColorKindName(const TColorData &entry)
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

std::optional<PaletteTextFormat> PaletteTextFormatFromName(const QString &name)
{
    if (name.compare(QLatin1String("gpl"), Qt::CaseInsensitive) == 0)
        return PaletteTextFormat::Gpl;
    if (name.compare(QLatin1String("hex"), Qt::CaseInsensitive) == 0)
        return PaletteTextFormat::Hex;
    return std::nullopt;
}

QString PaletteEntryName(const TColorData &entry, const ColorCatalogs *catalogs)
{
    if (entry.IsUserColor() && !entry.ColorName.isEmpty())
        return singleLine(DecodeText(entry.ColorName));
    // A user colour without a name is named by the kind of colour it holds.
    TColorData plain = entry;
    plain.ColorFlags &= uint16_t(~kUserColorFlag);
    const QString kind = ColorKindName(plain);
    const uint16_t base = plain.GetKind();
    if (base == ColorNormal && entry.PageNumber == 0)
        return kind;
    QString code = base == ColorNormal ? TPrinterColor::PN2Code(entry.PageNumber, entry.ColorNumber)
                                       : (catalogs ? EntryCode(*catalogs, entry) : QString());
    if (code.isEmpty())
        code = QStringLiteral("page %1 no. %2").arg(entry.PageNumber).arg(entry.ColorNumber);
    return singleLine(kind + QLatin1Char(' ') + code);
}

QByteArray ExportPaletteText(const TPalette &palette, PaletteTextFormat format, int last,
                             const QString &title, const ColorCatalogs *catalogs)
{
    last = std::clamp(last, 1, kPaletteSize - 1);
    QByteArray text;
    if (format == PaletteTextFormat::Gpl) {
        text += kGplMagic;
        text += "\nName: ";
        text += singleLine(title.isEmpty() ? QStringLiteral("Warplon palette") : title).toUtf8();
        text += "\nColumns: " + QByteArray::number(kGplColumns);
        text += "\n# Warplon palette entries 1 to " + QByteArray::number(last)
                + " (entry 1 is the background)\n";
    }
    for (int i = 1; i <= last; ++i) {
        const TColorData &entry = *palette.GetColorData(i);
        const RGBQUAD c = entry.color;
        if (format == PaletteTextFormat::Hex) {
            text += hexCode(c) + '\n';
            continue;
        }
        text += QStringLiteral("%1 %2 %3\t")
                    .arg(int(c.rgbRed), 3)
                    .arg(int(c.rgbGreen), 3)
                    .arg(int(c.rgbBlue), 3)
                    .toUtf8();
        text += PaletteEntryName(entry, catalogs).toUtf8() + '\n';
    }
    return text;
}

PaletteImport ParsePaletteText(QByteArrayView text, PaletteTextFormat format)
{
    PaletteImport result;
    if (format == PaletteTextFormat::Gpl)
        parseGpl(text, result);
    else
        parseHex(text, result);
    return result;
}

QString PaletteImportProblemText(const PaletteImport &result)
{
    switch (result.problem) {
    case PaletteImportProblem::None:
        return QString();
    case PaletteImportProblem::NoMagicLine:
        return QStringLiteral("line %1: not a GIMP palette (the first line must be \"GIMP "
                              "Palette\")")
            .arg(result.line);
    case PaletteImportProblem::MissingValue:
        return QStringLiteral("line %1: a colour line needs three whole numbers (red, green, "
                              "blue)")
            .arg(result.line);
    case PaletteImportProblem::OutOfRange:
        return QStringLiteral("line %1: a colour value is outside 0 to 255").arg(result.line);
    case PaletteImportProblem::NoColors:
        return QStringLiteral("the file holds no colour");
    }
    return QString();
}

int ApplyImportedColors(TPalette &palette, const PaletteImport &imported)
{
    int index = 0;
    for (const RGBQUAD &c : imported.colors) {
        if (index >= kImportableEntries)
            break;
        palette.SetNormal(++index, c.rgbRed, c.rgbGreen, c.rgbBlue);
    }
    return index;
}

} // namespace warplon
