#include "color/coloredit.h"

#include "color/colorcatalog.h"
#include "color/colorcatalogs.h"
#include "color/palette.h"
#include "color/printercolor.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace warplon {

int ClampCmy(int value)
{
    return std::clamp(value, 0, 255);
}

RGBQUAD CmyToRgb(int cyan, int magenta, int yellow)
{
    RGBQUAD rgb;
    rgb.rgbRed = uint8_t(255 - ClampCmy(cyan));
    rgb.rgbGreen = uint8_t(255 - ClampCmy(magenta));
    rgb.rgbBlue = uint8_t(255 - ClampCmy(yellow));
    return rgb;
}

void RgbToCmy(RGBQUAD rgb, int &cyan, int &magenta, int &yellow)
{
    cyan = 255 - rgb.rgbRed;
    magenta = 255 - rgb.rgbGreen;
    yellow = 255 - rgb.rgbBlue;
}

HlsValues ClampHls(int hue, int lightness, int saturation)
{
    HlsValues values;
    values.hue = ((hue % 360) + 360) % 360;
    values.lightness = std::clamp(lightness, 0, 100);
    values.saturation = std::clamp(saturation, 0, 100);
    return values;
}

RGBQUAD HlsToRgb(const HlsValues &values)
{
    const HlsValues v = ClampHls(values.hue, values.lightness, values.saturation);
    return HLS2RGBQUAD(v.hue, v.lightness / 100.0, v.saturation / 100.0);
}

HlsValues RgbToHls(RGBQUAD rgb, int previousHue)
{
    double h = 0.0;
    double l = 0.0;
    double s = 0.0;
    RGB2HLS(rgb.rgbRed, rgb.rgbGreen, rgb.rgbBlue, h, l, s);
    const int hue = h == kUndefinedHue ? previousHue : int(std::lround(h));
    return ClampHls(hue, int(std::lround(l * 100.0)), int(std::lround(s * 100.0)));
}

HlsZone HlsCircleZone(QPoint point)
{
    const int dx = point.x() - hlscircle::kCentre;
    const int dy = point.y() - hlscircle::kCentre;
    const int squared = dx * dx + dy * dy;
    if (squared < hlscircle::kInnerRadius * hlscircle::kInnerRadius)
        return HlsZone::Inner;
    if (squared <= hlscircle::kOuterRadius * hlscircle::kOuterRadius)
        return HlsZone::Ring;
    return HlsZone::Outside;
}

int HlsCircleHue(QPoint point)
{
    // Screen y grows downwards; the hue grows counter-clockwise as on a drawn colour wheel.
    const double radians = std::atan2(double(hlscircle::kCentre - point.y()),
                                      double(point.x() - hlscircle::kCentre));
    const int degrees = int(std::lround(radians * 180.0 / std::numbers::pi));
    return ((degrees % 360) + 360) % 360;
}

int HlsCircleLightness(int y)
{
    return std::clamp((hlscircle::kFieldHigh - y) * 100 / hlscircle::kFieldSpan, 0, 100);
}

int HlsCircleSaturation(int x)
{
    return std::clamp((x - hlscircle::kFieldLow) * 100 / hlscircle::kFieldSpan, 0, 100);
}

QPoint HlsCircleHuePoint(int hue)
{
    const double radians = hue * std::numbers::pi / 180.0;
    return QPoint(hlscircle::kCentre + int(std::lround(hlscircle::kRingMiddle * std::cos(radians))),
                  hlscircle::kCentre
                      - int(std::lround(hlscircle::kRingMiddle * std::sin(radians))));
}

QPoint HlsCircleFieldPoint(int lightness, int saturation)
{
    const HlsValues v = ClampHls(0, lightness, saturation);
    return QPoint(
        hlscircle::kFieldLow + int(std::lround(v.saturation * hlscircle::kFieldSpan / 100.0)),
        hlscircle::kFieldHigh - int(std::lround(v.lightness * hlscircle::kFieldSpan / 100.0)));
}

std::optional<TColorData> CatalogColorData(const TColorCatalog &catalog, int pageIndex,
                                           int entryIndex)
{
    uint16_t pageNumber = 0;
    const CatalogEntry *entry = catalog.Search(pageIndex, entryIndex, pageNumber);
    if (!entry)
        return std::nullopt;
    TColorData data;
    const uint8_t number = entry->NumberInPage();
    switch (catalog.Kind()) {
    case CatalogKind::Standard:
        data.SetKvStandardColor(pageNumber, number, entry->red, entry->green, entry->blue);
        break;
    case CatalogKind::Textile:
        data.SetKvTextileColor(pageNumber, number, entry->red, entry->green, entry->blue);
        break;
    case CatalogKind::Pantone1000:
        data.SetPantone1000(pageNumber, number, entry->red, entry->green, entry->blue);
        break;
    case CatalogKind::PantoneTextile:
        data.SetPantoneTextile(pageNumber, number, entry->red, entry->green, entry->blue);
        break;
    }
    return data;
}

std::optional<TColorData> PrinterColorData(int pageIndex, int step, int column)
{
    if (!TPrinterColor::IsValid(pageIndex, step, column))
        return std::nullopt;
    const RGBQUAD rgb = TPrinterColor::AtlasRGB(pageIndex, step, column);
    TColorData data;
    data.SetPrinterColor(uint16_t(TPrinterColor::AtlasPage(pageIndex, column)), uint8_t(step),
                         rgb.rgbRed, rgb.rgbGreen, rgb.rgbBlue);
    return data;
}

namespace {

int Distance(RGBQUAD a, RGBQUAD b)
{
    return std::abs(a.rgbRed - b.rgbRed) + std::abs(a.rgbGreen - b.rgbGreen)
           + std::abs(a.rgbBlue - b.rgbBlue);
}

} // namespace

TColorData NearestCatalogColor(const TColorCatalog &first, const TColorCatalog &second, RGBQUAD c)
{
    std::optional<TColorData> result;
    int firstDistance = 0;
    int page = -1;
    int entry = -1;
    if (first.SearchRGB(c.rgbRed, c.rgbGreen, c.rgbBlue, page, entry)) {
        result = CatalogColorData(first, page, entry);
        if (result)
            firstDistance = Distance(c, result->color);
    }
    if (second.SearchRGB(c.rgbRed, c.rgbGreen, c.rgbBlue, page, entry)) {
        std::optional<TColorData> candidate = CatalogColorData(second, page, entry);
        if (candidate && (!result || Distance(c, candidate->color) < firstDistance))
            result = candidate;
    }
    if (result)
        return *result;
    TColorData free;
    free.SetNormal(c.rgbRed, c.rgbGreen, c.rgbBlue);
    return free;
}

std::optional<QString> NormalizePrinterCode(const QString &text)
{
    static const QRegularExpression pattern(
        QStringLiteral("^\\s*(\\d{1,2})\\s*-\\s*(\\d{1,2})\\s*:\\s*(\\d{1,2})\\s*$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    auto part = [&](int i) { return match.captured(i).rightJustified(2, u'0'); };
    return part(1) + u'-' + part(2) + u':' + part(3);
}

std::optional<TColorData> SearchColorCode(const ColorCatalogs &catalogs, const QString &text,
                                          const TColorCatalog *preferred)
{
    const QString code = text.trimmed();
    if (code.isEmpty())
        return std::nullopt;
    if (const std::optional<QString> printerCode = NormalizePrinterCode(code)) {
        int page = 0;
        int step = 0;
        int column = 0;
        if (TPrinterColor::SearchPrinterColor(*printerCode, page, step, column))
            return PrinterColorData(page - 1, step - 1, column - 1);
        return std::nullopt;
    }
    const TColorCatalog *order[] = {preferred, &catalogs.standard, &catalogs.textile,
                                    &catalogs.pantone1000, &catalogs.pantoneTextile};
    for (const TColorCatalog *catalog : order) {
        int page = -1;
        int entry = -1;
        if (catalog && catalog->SearchCode(code, page, entry))
            return CatalogColorData(*catalog, page, entry);
    }
    return std::nullopt;
}

QString EntryCode(const ColorCatalogs &catalogs, const TColorData &entry)
{
    QString code;
    switch (entry.GetKind() & 15) {
    case ColorNormal:
        if (entry.PageNumber != 0)
            code = TPrinterColor::PN2Code(entry.PageNumber, entry.ColorNumber);
        break;
    case ColorPantone1000:
        catalogs.pantone1000.PN2Code(entry.PageNumber, entry.ColorNumber, code);
        break;
    case ColorPantoneTextile:
        catalogs.pantoneTextile.PN2Code(entry.PageNumber, entry.ColorNumber, code);
        break;
    case ColorKvStandard:
        catalogs.standard.PN2Code(entry.PageNumber, entry.ColorNumber, code);
        break;
    case ColorKvTextile:
        catalogs.textile.PN2Code(entry.PageNumber, entry.ColorNumber, code);
        break;
    default:
        break;
    }
    return code;
}

void MakeFallbackPalette(TPalette &palette)
{
    palette.SetNormal(0, 0, 0, 0);
    palette.SetNormal(1, 255, 255, 255);
    palette.SetNormal(2, 0, 0, 0);
    palette.SetNormal(255, 255, 255, 255);
    for (int index = 3; index <= 254; ++index) {
        const int i = index - 3;
        palette.SetNormal(index, uint8_t(i / 42 * 51), uint8_t((i / 6) % 7 * 255 / 6),
                          uint8_t(i % 6 * 51));
    }
}

} // namespace warplon
