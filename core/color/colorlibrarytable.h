#pragma once

// The rules of the colour library window that need no widget: the table of the design palette's
// entries with their catalogue identities, and the pager over catalogue pages.
//
// The table has 9 columns and 252 rows: the header row, then one row for each of the entries
// 1-251 (the background and the design colours; entry 0 is never offered). Each row reads
// number, swatch, kind, code, R - G - B, C / M / Y, H / L / S, how far the entry lies from its
// catalogue's colour, and for a user colour its collection and name.

#include "color/colordata.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace warplon {

class TColorCatalog;
struct ColorCatalogs;

enum ColorLibraryColumn {
    LibraryNumber = 0,
    LibrarySwatch = 1,
    LibraryKind = 2,
    LibraryCode = 3,
    LibraryRgb = 4,
    LibraryCmy = 5,
    LibraryHls = 6,
    LibraryDeviation = 7,
    LibraryUser = 8,
};
constexpr int kColorLibraryColumns = 9;
constexpr int kColorLibraryRows = 252;
constexpr int kColorLibraryFirstEntry = 1;
constexpr int kColorLibraryLastEntry = 251;

// The twelve kind captions, in the order the language file lists them.
enum KindCaption {
    CaptionNormal = 0,
    CaptionPrinter,
    CaptionPantone1000,
    CaptionPantoneTextile,
    CaptionKvStandard,
    CaptionKvTextile,
    CaptionUserPrinter,
    CaptionUserNormal,
    CaptionUserPantone1000,
    CaptionUserPantoneTextile,
    CaptionUserKvStandard,
    CaptionUserKvTextile,
    kKindCaptionCount
};

// The caption of an entry's kind (free and printer colours told apart by the page number);
// -1 for flags no catalogue uses.
int KindCaptionOf(const TColorData &entry);

// "%d - %d - %d" of red, green, blue.
QString FormatRgb(RGBQUAD rgb);
// "%.0f / %.0f / %.0f".
QString FormatTriple(double a, double b, double c);
// "%.3f %".
QString FormatPercent(double value);
// "%s - %s:(%s)".
QString FormatUserColor(const QString &fileName, const QString &colorName, const QString &code);
// Hue in degrees, lightness and saturation in percent, as the HLS page shows them; a grey has
// no hue and shows "-" in its place.
QString FormatHls(RGBQUAD rgb);
// Cyan, magenta and yellow 0-255 as the CMY page shows them.
QString FormatCmy(RGBQUAD rgb);

// The colour the catalogues hold for an entry's identity (kind, page and number; also for a user
// colour taken from a catalogue); nothing for a free colour or an identity no catalogue holds.
std::optional<RGBQUAD> CatalogColorOf(const ColorCatalogs &catalogs, const TColorData &entry);
// How far two colours lie apart: the sum of the channel differences in percent of the largest
// possible sum (765).
double ColorDeviation(RGBQUAD a, RGBQUAD b);

struct ColorLibraryRow
{
    TColor color = 0;
    // One text for each column; the swatch column has none.
    std::array<QString, kColorLibraryColumns> texts;
};

// The row of a palette entry. `kindCaptions` holds the twelve captions in KindCaption order.
// The code is empty when the catalogue holds no entry of that identity; so are the deviation
// then and the user column of an entry that is no user colour.
ColorLibraryRow MakeColorLibraryRow(const ColorCatalogs &catalogs, const TColorData &entry,
                                    int entryIndex, const QStringList &kindCaptions);

// ---- Pager over catalogue pages (positions 0 .. count-1) ----

enum class PagerMove { First, Before, Center, Next, End };
// The position a pager button leads to; it stops at either end. 0 for an empty catalogue.
int MovePager(PagerMove move, int position, int count);
// The position of a page number typed into the page edit: for the printer atlas (`catalog`
// null) the 1-based page index, kept within the atlas; for a file catalogue the first page whose
// number is at least the typed one (SearchPage, 0 when there is none). Nothing for text that is
// no whole number or an empty catalogue.
std::optional<int> TypedPagePosition(const TColorCatalog *catalog, const QString &text);
// The number shown for a position: the 1-based atlas page index, or the catalogue page's
// number; -1 for a position outside the pages.
int PageNumberAt(const TColorCatalog *catalog, int position);
// "< %d >".
QString PagerLabel(int pageNumber);

} // namespace warplon
