#include "app/edition.h"

#include "app/programsettings.h"
#include "text/inifile.h"

namespace warplon {

bool IsOmbra(const QString &programDirectory)
{
    return IniFile(programDirectory + QStringLiteral("/Environment.ini"))
        .ReadBool(QStringLiteral("Edition"), QStringLiteral("Ombra"), false);
}

QString ProgramCaption(bool ombra)
{
    QString caption = QStringLiteral("Warplon CAD System ") + QLatin1String(kProgramVersion);
    if (ombra)
        caption += QStringLiteral(" (Ombra)");
    return caption;
}

} // namespace warplon
