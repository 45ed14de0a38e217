#pragma once

// The rules of the palette window's editors that need no widget: the CMY values, the HLS circle,
// the catalogue colour an entry takes from a chip, a code search or the nearest-colour buttons,
// and the palette the window starts with when the default palette file is missing.

#include "color/colordata.h"

#include <QPoint>
#include <QString>

#include <optional>

namespace warplon {

class TColorCatalog;
class TPalette;
struct ColorCatalogs;

// ---- CMY: each ink 0-255, the colour is its complement (red = 255 - cyan, ...). ----

// A typed ink value kept within 0-255.
int ClampCmy(int value);
RGBQUAD CmyToRgb(int cyan, int magenta, int yellow);
// Cyan, magenta and yellow of a colour.
void RgbToCmy(RGBQUAD rgb, int &cyan, int &magenta, int &yellow);

// ---- HLS as the editor shows it: hue in whole degrees 0-359, lightness and saturation in
// whole percent 0-100. ----

struct HlsValues
{
    int hue = 0;
    int lightness = 0;
    int saturation = 0;
    bool operator==(const HlsValues &) const = default;
};

// Hue wraps round the circle (-5 is 355); lightness and saturation are clamped to 0-100.
HlsValues ClampHls(int hue, int lightness, int saturation);
RGBQUAD HlsToRgb(const HlsValues &values);
// The editor's values of a colour, rounded. A grey has no hue: it keeps `previousHue`, so a
// designer moving through greys does not lose the hue being worked on.
HlsValues RgbToHls(RGBQUAD rgb, int previousHue);

// The circle picture of the HLS page: 141 x 141 pixels around (70, 70). The ring between 56 and
// 70 pixels from the centre chooses the hue; the disc inside it chooses lightness from the
// height (top light) and saturation from the horizontal position (left grey, right pure).
namespace hlscircle {
constexpr int kCentre = 70;
constexpr int kInnerRadius = 56;
constexpr int kOuterRadius = 70;
constexpr int kSize = 2 * kOuterRadius + 1;
// The rows and columns 22-118 span lightness and saturation 100 steps each.
constexpr int kFieldLow = 22;
constexpr int kFieldHigh = 118;
constexpr int kFieldSpan = kFieldHigh - kFieldLow;
// Distance of the hue marker from the centre: the middle of the ring.
constexpr int kRingMiddle = (kInnerRadius + kOuterRadius) / 2;
} // namespace hlscircle

enum class HlsZone { Inner, Ring, Outside };

// Closer than 56 pixels: Inner; 56 to 70 pixels: Ring; farther: Outside (the click is ignored).
HlsZone HlsCircleZone(QPoint point);
// The angle of the point round the centre in whole degrees 0-359: 0 (red) to the right, growing
// counter-clockwise, so 90 (yellow-green) is at the top. Any point but the centre has one.
int HlsCircleHue(QPoint point);
// (118 - y) * 100 / 96 with integer division, clamped to 0-100.
int HlsCircleLightness(int y);
// (x - 22) * 100 / 96 with integer division, clamped to 0-100.
int HlsCircleSaturation(int x);
// Where the markers of a hue (on the middle of the ring) and of a lightness and saturation
// (in the disc) are drawn.
QPoint HlsCircleHuePoint(int hue);
QPoint HlsCircleFieldPoint(int lightness, int saturation);

// ---- Catalogue colours ----

// The palette record of a catalogue entry, made with the setter of the catalogue's kind (own
// standard or textile, Pantone 1000 or textile); a position outside the lists gives nothing.
std::optional<TColorData> CatalogColorData(const TColorCatalog &catalog, int pageIndex,
                                           int entryIndex);
// The printer-atlas colour at a 0-based page index, lightness step and column.
std::optional<TColorData> PrinterColorData(int pageIndex, int step, int column);

// The entry a nearest-colour button gives for the colour c: the nearest colour of `first` (own
// standard or Pantone 1000); the nearest of `second` (own textile or Pantone textile) only when
// it is strictly nearer by the sum of the channel differences, so a tie keeps the first
// catalogue's colour; the free colour c when both catalogues are empty.
TColorData NearestCatalogColor(const TColorCatalog &first, const TColorCatalog &second, RGBQUAD c);

// A printer code typed as the program shows it ("37-1:1") in the two-digit form the atlas
// search reads ("37-01:01"); blanks around the parts are allowed. Nothing for text of another
// shape, or a part with more than two digits.
std::optional<QString> NormalizePrinterCode(const QString &text);

// The colour with the typed code: a printer code (either form) from the atlas, otherwise the
// first entry with that code in the catalogues `preferred` (may be null; the one being
// browsed) and then standard, textile, Pantone 1000 and Pantone textile.
std::optional<TColorData> SearchColorCode(const ColorCatalogs &catalogs, const QString &text,
                                          const TColorCatalog *preferred = nullptr);

// The code text of an entry's catalogue identity: the printer code, the standard or textile
// code (also for a user colour taken from them); empty for a free colour or a code the
// catalogues do not hold.
QString EntryCode(const ColorCatalogs &catalogs, const TColorData &entry);

// ---- Start-up palette ----

// The palette used when the default palette file cannot be read: entry 0 black, 1 white,
// 2 black, 255 white, and entries 3-254 a fixed 6 x 7 x 6 colour cube (six levels of red and of
// blue, seven of green, blue changing fastest). UseColor is left as it is.
void MakeFallbackPalette(TPalette &palette);

} // namespace warplon
