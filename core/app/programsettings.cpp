#include "app/programsettings.h"

#include "knit/floats.h"
#include "text/inifile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>
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

// The texts and pictures the program ships in its top folder: replaced by the shipped ones when
// a new version is installed.
bool IsShippedTextOrPicture(const QString &relativePath)
{
    return !relativePath.contains(QLatin1Char('/'))
           && (relativePath.endsWith(QLatin1String(".tdw"), Qt::CaseInsensitive)
               || relativePath.endsWith(QLatin1String(".bmp"), Qt::CaseInsensitive));
}

// The files the program keeps in its directory: language files, pictures (splash, cell
// pictures), colour files and the sample designs. Nothing else of the shipped folder is copied.
bool IsProgramFile(const QString &relativePath)
{
    return IsShippedTextOrPicture(relativePath) || relativePath.startsWith(QLatin1String("color/"))
           || relativePath.startsWith(QLatin1String("tricot/"));
}

// The program files of `source`, as paths relative to it, in a fixed order.
QStringList ProgramFiles(const QString &source)
{
    const QDir sourceDir(source);
    QStringList files;
    QDirIterator it(source, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString relative = sourceDir.relativeFilePath(it.next());
        if (IsProgramFile(relative))
            files.append(relative);
    }
    files.sort();
    return files;
}

// What identifies the shipped texts and pictures: the program version and a digest of their
// names and contents. A different value at a later start means a new version was installed.
QByteArray ShippedStamp(const QString &source, const QStringList &files)
{
    QCryptographicHash digest(QCryptographicHash::Sha256);
    for (const QString &relative : files) {
        if (!IsShippedTextOrPicture(relative))
            continue;
        QFile file(source + QLatin1Char('/') + relative);
        digest.addData(relative.toUtf8());
        digest.addData(QByteArrayView("\0", 1));
        if (file.open(QIODevice::ReadOnly))
            digest.addData(&file);
    }
    return QByteArray(kProgramVersion) + ' ' + digest.result().toHex() + '\n';
}

QByteArray ReadStamp(const QString &file)
{
    QFile in(file);
    return in.open(QIODevice::ReadOnly) ? in.read(4096) : QByteArray();
}

void WriteStamp(const QString &file, const QByteArray &stamp)
{
    QSaveFile out(file);
    if (out.open(QIODevice::WriteOnly) && out.write(stamp) == stamp.size())
        out.commit();
}

} // namespace

void SeedProgramDirectory(const QString &source, const QString &target)
{
    const QStringList files = ProgramFiles(source);
    const QString stampFile = target + QLatin1Char('/') + QLatin1String(kSeedStampFile);
    const QByteArray oldStamp = ReadStamp(stampFile);
    const QByteArray stamp = ShippedStamp(source, files);
    const bool newVersion = !oldStamp.isEmpty() && oldStamp != stamp;
    for (const QString &relative : files) {
        const QString from = source + QLatin1Char('/') + relative;
        const QString to = target + QLatin1Char('/') + relative;
        if (QFileInfo::exists(to)) {
            if (!newVersion || !IsShippedTextOrPicture(relative))
                continue;
            QFile::remove(to);
        }
        QDir().mkpath(QFileInfo(to).absolutePath());
        // A copy keeps the permissions of the shipped file, read-only in a system folder; the
        // user's copy must be writable like every file the program keeps.
        if (QFile::copy(from, to))
            QFile::setPermissions(to, QFile::permissions(to) | QFileDevice::WriteOwner);
    }
    if (oldStamp != stamp)
        WriteStamp(stampFile, stamp);
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

bool ReadLiveSimulation(const QString &programDirectory)
{
    return IniFile(EnvironmentFile(programDirectory))
        .ReadBool(QStringLiteral("Environment"), QStringLiteral("LiveSimulation"), true);
}

bool WriteLiveSimulation(const QString &programDirectory, bool live)
{
    IniFile ini(EnvironmentFile(programDirectory));
    return ini.WriteBool(QStringLiteral("Environment"), QStringLiteral("LiveSimulation"), live);
}

bool ReadShowFloats(const QString &programDirectory)
{
    return IniFile(EnvironmentFile(programDirectory))
        .ReadBool(QStringLiteral("Environment"), QStringLiteral("ShowFloats"), false);
}

bool WriteShowFloats(const QString &programDirectory, bool show)
{
    IniFile ini(EnvironmentFile(programDirectory));
    return ini.WriteBool(QStringLiteral("Environment"), QStringLiteral("ShowFloats"), show);
}

double ReadFloatLimit(const QString &programDirectory)
{
    bool ok = false;
    const double limit
        = IniFile(EnvironmentFile(programDirectory))
              .ReadString(QStringLiteral("Environment"), QStringLiteral("FloatLimit"))
              .toDouble(&ok);
    return ok && std::isfinite(limit) && limit >= 0.0 ? limit : kDefaultFloatLimitMm;
}

bool WriteFloatLimit(const QString &programDirectory, double millimetres)
{
    IniFile ini(EnvironmentFile(programDirectory));
    return ini.WriteString(QStringLiteral("Environment"), QStringLiteral("FloatLimit"),
                           QString::number(millimetres, 'g', QLocale::FloatingPointShortest));
}

QString InstalledDataDirectory(const QString &executableDirectory)
{
    const QDir bin(QDir::cleanPath(QFileInfo(executableDirectory).absoluteFilePath()));
    if (bin.dirName() != QLatin1String("bin"))
        return {};
    const QString data = QDir::cleanPath(bin.absoluteFilePath(QStringLiteral("../share/warplon")));
    return QFileInfo(data).isDir() ? data : QString();
}

QString ShippedFilesDirectory(const QString &executableDirectory)
{
    const QString installed = InstalledDataDirectory(executableDirectory);
    return installed.isEmpty() ? QDir::cleanPath(executableDirectory) : installed;
}

QString ResolveProgramDirectory(const QString &executableDirectory,
                                const QString &userDataDirectory, const QString &overrideDirectory)
{
    if (!overrideDirectory.isEmpty() && QFileInfo(overrideDirectory).isDir())
        return QDir::cleanPath(overrideDirectory);
    // An installed copy never writes into its prefix, even one the user could write (a prefix in
    // the home folder): settings and undo files belong in the user's own folder.
    const QString installed = InstalledDataDirectory(executableDirectory);
    if (installed.isEmpty() && IsWritableDirectory(executableDirectory))
        return QDir::cleanPath(executableDirectory);
    QDir().mkpath(userDataDirectory);
    SeedProgramDirectory(installed.isEmpty() ? executableDirectory : installed, userDataDirectory);
    return QDir::cleanPath(userDataDirectory);
}

} // namespace warplon
