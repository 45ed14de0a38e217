#pragma once

// The five colour catalogues the colour windows pick from, created once from the program
// directory and shared by every colour window: the computed printer atlas, the own standard and
// textile catalogues and the two Pantone catalogues, in that order.

#include "color/colorcatalog.h"
#include "color/printercolor.h"

#include <QString>

namespace warplon {

struct ColorCatalogs
{
    // Reads "color/Standard.kvc", "color/Textile.kvc", "color/Thousand.ptc" and
    // "color/Textile.ptc" below the program directory; a missing file leaves its catalogue empty.
    explicit ColorCatalogs(const QString &programDirectory);

    ColorCatalogs(const ColorCatalogs &) = delete;
    ColorCatalogs &operator=(const ColorCatalogs &) = delete;

    // The folder the catalogue files are read from.
    static QString ColorFolder(const QString &programDirectory);

    // True when either Pantone catalogue holds a colour. Warplon ships without them.
    bool HasPantone() const;

    TPrinterColor printer;
    TStandardColor standard;
    TTextileColor textile;
    TPantone1000 pantone1000;
    TPantoneTextile pantoneTextile;
};

} // namespace warplon
