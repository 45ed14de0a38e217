#pragma once

// Palettes as text for other programs: the GIMP palette format (".gpl") that most paint and
// design programs read and write, and plain lists of "#rrggbb" colours (".hex"; on import any
// text holding "#rgb" or "#rrggbb" codes, such as a style sheet, will do).
//
// Export writes entries 1 to N with a name telling where each colour came from. Import fills
// entries 1, 2, ... with free colours; the names of a GIMP palette are not kept, as a free
// colour carries none.

#include "color/colordata.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>
#include <vector>

namespace warplon {

class TPalette;
struct ColorCatalogs;

enum class PaletteTextFormat { Gpl, Hex };

// "gpl" or "hex" (any case).
std::optional<PaletteTextFormat> PaletteTextFormatFromName(const QString &name);

// Import never reads more than this; a larger file is not a palette.
constexpr qint64 kMaxPaletteTextSize = qint64(16) << 20;
// Entries 1 to 255 can take imported colours (entry 0 stays black).
constexpr int kImportableEntries = 255;

// The name an entry gets in an exported palette: a user colour's own name; otherwise its kind
// ("Normal Color", "Printer Color", "Kv Standard Color", "Kv Textile Color", "PT 1000 Color",
// "PT Textile Color") followed by its code: the printer code, or the catalogue code when
// `catalogs` holds it, else the page and number ("page 5 no. 3"). Line breaks and tabs become
// blanks.
// The English caption of an entry's kind, as the colour windows show it: "Normal Color",
// "Printer Color", "Kv Standard Color", … and "User (…)" for user colours.
QString ColorKindName(const TColorData &entry);

QString PaletteEntryName(const TColorData &entry, const ColorCatalogs *catalogs = nullptr);

// Entries 1 to `last` (1-255) as text. `title` is the GIMP palette's name.
QByteArray ExportPaletteText(const TPalette &palette, PaletteTextFormat format, int last = 255,
                             const QString &title = QString(),
                             const ColorCatalogs *catalogs = nullptr);

enum class PaletteImportProblem {
    None,
    NoMagicLine,  // a GIMP palette must begin with the line "GIMP Palette"
    MissingValue, // a colour line without three whole numbers for red, green and blue
    OutOfRange,   // a value below 0 or above 255
    NoColors,     // nothing to import
};

struct PaletteImport
{
    PaletteImportProblem problem = PaletteImportProblem::None;
    // The line (from 1) the problem is on; 0 for NoColors.
    int line = 0;
    // The colours for entries 1, 2, ...; at most kImportableEntries.
    std::vector<RGBQUAD> colors;
    // Colours the text held beyond those.
    int beyond = 0;

    bool ok() const { return problem == PaletteImportProblem::None; }
};

PaletteImport ParsePaletteText(QByteArrayView text, PaletteTextFormat format);

// Why an import was refused, in English (for the command-line tool).
QString PaletteImportProblemText(const PaletteImport &result);

// Entries 1, 2, ... become the imported free colours; the other entries stay as they are.
// Returns the highest entry written (0 when there was nothing).
int ApplyImportedColors(TPalette &palette, const PaletteImport &imported);

} // namespace warplon
