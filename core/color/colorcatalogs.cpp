#include "color/colorcatalogs.h"

namespace warplon {

QString ColorCatalogs::ColorFolder(const QString &programDirectory)
{
    return programDirectory + QStringLiteral("/color");
}

ColorCatalogs::ColorCatalogs(const QString &programDirectory)
    : standard(ColorFolder(programDirectory) + QStringLiteral("/Standard.kvc"))
    , textile(ColorFolder(programDirectory) + QStringLiteral("/Textile.kvc"))
    , pantone1000(ColorFolder(programDirectory) + QStringLiteral("/Thousand.ptc"))
    , pantoneTextile(ColorFolder(programDirectory) + QStringLiteral("/Textile.ptc"))
{}

bool ColorCatalogs::HasPantone() const
{
    return pantone1000.EntryCount() > 0 || pantoneTextile.EntryCount() > 0;
}

} // namespace warplon
