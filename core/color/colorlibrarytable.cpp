#include "color/colorlibrarytable.h"

#include "color/colorcatalogs.h"
#include "color/coloredit.h"
#include "text/encoding.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace warplon {

namespace {

const TColorCatalog *CatalogOfKind(const ColorCatalogs &catalogs, int kind)
{
    switch (kind) {
    case ColorPantone1000:
        return &catalogs.pantone1000;
    case ColorPantoneTextile:
        return &catalogs.pantoneTextile;
    case ColorKvStandard:
        return &catalogs.standard;
    case ColorKvTextile:
        return &catalogs.textile;
    default:
        return nullptr;
    }
}

} // namespace

int KindCaptionOf(const TColorData &entry)
{
    const int kind = entry.GetKind();
    const bool printer = entry.PageNumber != 0;
    switch (kind) {
    case ColorNormal:
        return printer ? CaptionPrinter : CaptionNormal;
    case ColorPantone1000:
        return CaptionPantone1000;
    case ColorPantoneTextile:
        return CaptionPantoneTextile;
    case ColorKvStandard:
        return CaptionKvStandard;
    case ColorKvTextile:
        return CaptionKvTextile;
    case kUserColorFlag | ColorNormal:
        return printer ? CaptionUserPrinter : CaptionUserNormal;
    case kUserColorFlag | ColorPantone1000:
        return CaptionUserPantone1000;
    case kUserColorFlag | ColorPantoneTextile:
        return CaptionUserPantoneTextile;
    case kUserColorFlag | ColorKvStandard:
        return CaptionUserKvStandard;
    case kUserColorFlag | ColorKvTextile:
        return CaptionUserKvTextile;
    default:
        return -1;
    }
}

QString FormatRgb(RGBQUAD rgb)
{
    return QString::asprintf("%d - %d - %d", rgb.rgbRed, rgb.rgbGreen, rgb.rgbBlue);
}

QString FormatTriple(double a, double b, double c)
{
    return QString::asprintf("%.0f / %.0f / %.0f", a, b, c);
}

QString FormatPercent(double value)
{
    return QString::asprintf("%.3f %%", value);
}

QString FormatUserColor(const QString &fileName, const QString &colorName, const QString &code)
{
    return QStringLiteral("%1 - %2:(%3)").arg(fileName, colorName, code);
}

QString FormatHls(RGBQUAD rgb)
{
    double h = 0.0;
    double l = 0.0;
    double s = 0.0;
    RGBQUAD2HLS(rgb, h, l, s);
    const QString text = FormatTriple(h == kUndefinedHue ? 0.0 : h, l * 100.0, s * 100.0);
    if (h != kUndefinedHue)
        return text;
    // The hue of a grey is left out rather than shown as a colour it is not.
    return QStringLiteral("-") + text.mid(text.indexOf(u' '));
}

QString FormatCmy(RGBQUAD rgb)
{
    int cyan = 0;
    int magenta = 0;
    int yellow = 0;
    RgbToCmy(rgb, cyan, magenta, yellow);
    return FormatTriple(cyan, magenta, yellow);
}

std::optional<RGBQUAD> CatalogColorOf(const ColorCatalogs &catalogs, const TColorData &entry)
{
    const int kind = entry.GetKind() & 15;
    if (kind == ColorNormal) {
        int pageIndex = 0;
        int column = 0;
        if (entry.PageNumber == 0
            || !TPrinterColor::SplitAtlasPage(entry.PageNumber, pageIndex, column)
            || !TPrinterColor::IsValid(pageIndex, entry.ColorNumber, column))
            return std::nullopt;
        return TPrinterColor::AtlasRGB(pageIndex, entry.ColorNumber, column);
    }
    const TColorCatalog *catalog = CatalogOfKind(catalogs, kind);
    if (!catalog)
        return std::nullopt;
    for (const CatalogPage &page : catalog->Pages()) {
        if (page.number != entry.PageNumber)
            continue;
        for (const CatalogEntry &candidate : page.entries) {
            if (candidate.NumberInPage() == entry.ColorNumber) {
                RGBQUAD rgb;
                rgb.rgbRed = candidate.red;
                rgb.rgbGreen = candidate.green;
                rgb.rgbBlue = candidate.blue;
                return rgb;
            }
        }
    }
    return std::nullopt;
}

double ColorDeviation(RGBQUAD a, RGBQUAD b)
{
    const int sum = std::abs(a.rgbRed - b.rgbRed) + std::abs(a.rgbGreen - b.rgbGreen)
                    + std::abs(a.rgbBlue - b.rgbBlue);
    return sum * 100.0 / 765.0;
}

ColorLibraryRow MakeColorLibraryRow(const ColorCatalogs &catalogs, const TColorData &entry,
                                    int entryIndex, const QStringList &kindCaptions)
{
    ColorLibraryRow row;
    row.color = entry.GetColor();
    // The designer numbers entries from 0: the background is 0, the first design colour 1.
    row.texts[LibraryNumber] = QString::number(entryIndex - 1);
    const int caption = KindCaptionOf(entry);
    if (caption >= 0 && caption < kindCaptions.size())
        row.texts[LibraryKind] = kindCaptions[caption];
    const QString code = EntryCode(catalogs, entry);
    row.texts[LibraryCode] = code;
    row.texts[LibraryRgb] = FormatRgb(entry.color);
    row.texts[LibraryCmy] = FormatCmy(entry.color);
    row.texts[LibraryHls] = FormatHls(entry.color);
    if (!code.isEmpty()) {
        if (const std::optional<RGBQUAD> catalogColor = CatalogColorOf(catalogs, entry))
            row.texts[LibraryDeviation] = FormatPercent(ColorDeviation(entry.color, *catalogColor));
    }
    if (entry.IsUserColor())
        row.texts[LibraryUser]
            = FormatUserColor(DecodeText(entry.FileName), DecodeText(entry.ColorName), code);
    return row;
}

int MovePager(PagerMove move, int position, int count)
{
    if (count <= 0)
        return 0;
    int target = position;
    switch (move) {
    case PagerMove::First:
        target = 0;
        break;
    case PagerMove::Before:
        target = position - 1;
        break;
    case PagerMove::Center:
        target = count / 2;
        break;
    case PagerMove::Next:
        target = position + 1;
        break;
    case PagerMove::End:
        target = count - 1;
        break;
    }
    return std::clamp(target, 0, count - 1);
}

std::optional<int> TypedPagePosition(const TColorCatalog *catalog, const QString &text)
{
    bool ok = false;
    const int number = text.trimmed().toInt(&ok);
    if (!ok)
        return std::nullopt;
    if (!catalog)
        return std::clamp(number, 1, TPrinterColor::kIndexCount) - 1;
    if (catalog->PageCount() == 0)
        return std::nullopt;
    return catalog->SearchPage(uint16_t(std::clamp(number, 0, 0xffff)));
}

int PageNumberAt(const TColorCatalog *catalog, int position)
{
    if (!catalog)
        return position >= 0 && position < TPrinterColor::kIndexCount ? position + 1 : -1;
    if (position < 0 || position >= catalog->PageCount())
        return -1;
    return catalog->Pages()[size_t(position)].number;
}

QString PagerLabel(int pageNumber)
{
    return QStringLiteral("< %1 >").arg(pageNumber);
}

} // namespace warplon
