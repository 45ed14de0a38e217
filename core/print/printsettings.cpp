#include "print/printsettings.h"

#include "text/inifile.h"

namespace warplon {

namespace {

const QString kSection = QStringLiteral("Printer");

QString environmentFile(const QString &programDirectory)
{
    return programDirectory + QStringLiteral("/Environment.ini");
}

int32_t within(int32_t value, int32_t first, int32_t last, int32_t fallback)
{
    return value >= first && value <= last ? value : fallback;
}

} // namespace

int32_t PrintDataCount(bool ombra)
{
    return ombra ? 6 : 5;
}

PrintSettings ValidPrintSettings(PrintSettings settings, bool ombra, int32_t barCount)
{
    const PrintSettings defaults;
    settings.style = within(settings.style, StyleSimple, StyleStandard, defaults.style);
    settings.data = within(settings.data, 0, PrintDataCount(ombra) - 1, defaults.data);
    settings.chain = within(settings.chain, 0, 1, defaults.chain);
    settings.method = within(settings.method, 0, 1, defaults.method);
    const int32_t lastOption = std::min(kOptionLastLayer, kOptionFirstLayer - 1 + barCount);
    settings.option
        = within(settings.option, kOptionDesignWindow, std::max(lastOption, 2), defaults.option);
    return settings;
}

PrintSettings LoadPrintSettings(const QString &programDirectory, bool ombra, int32_t barCount)
{
    const IniFile ini(environmentFile(programDirectory));
    const PrintSettings defaults;
    PrintSettings settings;
    settings.style = ini.ReadInteger(kSection, QStringLiteral("Style"), defaults.style);
    settings.data = ini.ReadInteger(kSection, QStringLiteral("Data"), defaults.data);
    settings.chain = ini.ReadInteger(kSection, QStringLiteral("Chain"), defaults.chain);
    settings.option = ini.ReadInteger(kSection, QStringLiteral("Option"), defaults.option);
    settings.method = ini.ReadInteger(kSection, QStringLiteral("Method"), defaults.method);
    return ValidPrintSettings(settings, ombra, barCount);
}

bool SavePrintSettings(const QString &programDirectory, const PrintSettings &settings)
{
    IniFile ini(environmentFile(programDirectory));
    bool ok = ini.WriteInteger(kSection, QStringLiteral("Style"), settings.style);
    ok = ini.WriteInteger(kSection, QStringLiteral("Data"), settings.data) && ok;
    ok = ini.WriteInteger(kSection, QStringLiteral("Chain"), settings.chain) && ok;
    ok = ini.WriteInteger(kSection, QStringLiteral("Option"), settings.option) && ok;
    ok = ini.WriteInteger(kSection, QStringLiteral("Method"), settings.method) && ok;
    return ok;
}

PrintEnabling PrintControlsEnabled(int32_t style, int32_t data, int32_t barCount)
{
    PrintEnabling enabling;
    enabling.data = style == StyleStandard;
    enabling.options = enabling.data && data == kDataDesignImage;
    for (size_t k = 0; k < enabling.layers.size(); ++k)
        enabling.layers[k] = enabling.options && barCount >= int32_t(k) + 1;
    return enabling;
}

} // namespace warplon
