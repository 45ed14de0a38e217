#include "app/programsettings.h"

#include "text/inifile.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <algorithm>
#include <cmath>

namespace warplon {

namespace {

QString EnvironmentFile(const QString &programDirectory)
{
    return programDirectory + QStringLiteral("/Environment.ini");
}

QString MainFile(const QString &programDirectory)
{
    return programDirectory + QStringLiteral("/Main.ini");
}

// Truncation toward zero that stays within int32 for any stored double.
int32_t TruncatedInteger(double value)
{
    if (!std::isfinite(value))
        return 0;
    return int32_t(std::clamp(std::trunc(value), -2147483648.0, 2147483647.0));
}

bool IsWritableDirectory(const QString &directory)
{
    if (!QFileInfo(directory).isDir())
        return false;
    QTemporaryFile probe(directory + QStringLiteral("/.warplon-XXXXXX"));
    return probe.open();
}

// The files the program keeps in its directory: language files, the splash, the colour files
// and the sample designs. Nothing else of the installed folder is copied.
bool IsProgramFile(const QString &relativePath)
{
    return relativePath.endsWith(QLatin1String(".tdw"), Qt::CaseInsensitive)
           || relativePath.compare(QLatin1String("splash.bmp"), Qt::CaseInsensitive) == 0
           || relativePath.startsWith(QLatin1String("color/"))
           || relativePath.startsWith(QLatin1String("samples/"));
}

} // namespace

void SeedProgramDirectory(const QString &source, const QString &target)
{
    const QDir sourceDir(source);
    QDirIterator it(source, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString from = it.next();
        const QString relative = sourceDir.relativeFilePath(from);
        const QString to = target + QLatin1Char('/') + relative;
        if (!IsProgramFile(relative) || QFileInfo::exists(to))
            continue;
        QDir().mkpath(QFileInfo(to).absolutePath());
        QFile::copy(from, to);
    }
}

StartSettings ReadStartSettings(const QString &programDirectory)
{
    const IniFile ini(EnvironmentFile(programDirectory));
    const QString environment = QStringLiteral("Environment");
    const QString main = QStringLiteral("Main");
    StartSettings settings;
    settings.language = ini.ReadString(environment, QStringLiteral("Language"), settings.language);
    settings.fontName
        = ini.ReadString(QStringLiteral("Font"), QStringLiteral("Name"), settings.fontName);
    MainData &start = settings.startValues;
    // The rest of the program expects one to four bars, so a hand-edited value is held there.
    start.barCount = std::clamp(ini.ReadInteger(main, QStringLiteral("Bar"), 2), 1, kMaxBars);
    start.courseCount = ini.ReadInteger(main, QStringLiteral("Course"), 16);
    start.gauge = ini.ReadInteger(main, QStringLiteral("Gauge"), 28);
    start.coursesPerCm = ini.ReadInteger(main, QStringLiteral("Cpc"), 20);
    start.widthInch = ini.ReadInteger(main, QStringLiteral("Width"), 105);
    settings.needleLimit = ini.ReadInteger(environment, QStringLiteral("TexMaxWidth"), 150);
    return settings;
}

bool WriteExitSettings(const QString &programDirectory, const MainData &header, int32_t needleLimit)
{
    IniFile ini(EnvironmentFile(programDirectory));
    const QString main = QStringLiteral("Main");
    bool ok = ini.WriteInteger(main, QStringLiteral("Bar"), header.barCount);
    ok = ini.WriteInteger(main, QStringLiteral("Course"), header.courseCount) && ok;
    ok = ini.WriteInteger(main, QStringLiteral("Gauge"), header.gauge) && ok;
    ok = ini.WriteInteger(main, QStringLiteral("Cpc"), TruncatedInteger(header.coursesPerCm)) && ok;
    ok = ini.WriteInteger(main, QStringLiteral("Width"), TruncatedInteger(header.widthInch)) && ok;
    ok = ini.WriteInteger(main, QStringLiteral("TexMaxWidth2"), needleLimit) && ok;
    return ok;
}

bool ReadCaptureVisible(const QString &programDirectory)
{
    return IniFile(MainFile(programDirectory))
        .ReadBool(QStringLiteral("Capture"), QStringLiteral("Visible"), true);
}

bool WriteCaptureVisible(const QString &programDirectory, bool visible)
{
    IniFile ini(MainFile(programDirectory));
    return ini.WriteBool(QStringLiteral("Capture"), QStringLiteral("Visible"), visible);
}

QString ResolveProgramDirectory(const QString &executableDirectory,
                                const QString &userDataDirectory, const QString &overrideDirectory)
{
    if (!overrideDirectory.isEmpty() && QFileInfo(overrideDirectory).isDir())
        return QDir::cleanPath(overrideDirectory);
    if (IsWritableDirectory(executableDirectory))
        return QDir::cleanPath(executableDirectory);
    QDir().mkpath(userDataDirectory);
    SeedProgramDirectory(executableDirectory, userDataDirectory);
    return QDir::cleanPath(userDataDirectory);
}

} // namespace warplon
