#include "app/filelisting.h"

#include "bitmap/corvexbitmap.h"
#include "knit/designfile.h"
#include "text/encoding.h"
#include "text/inifile.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <array>

namespace warplon {

namespace {

QString Section()
{
    return QStringLiteral("FileManager");
}

QString MainIni(const QString &programDirectory)
{
    return QDir(programDirectory).filePath(QStringLiteral("Main.ini"));
}

// The first four bytes of a design file: its version.
int32_t StoredVersion(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray bytes = file.read(4);
    if (bytes.size() != 4)
        return 0;
    const auto byte = [&](int i) { return uint32_t(uint8_t(bytes[i])) << (8 * i); };
    return int32_t(byte(0) | byte(1) | byte(2) | byte(3));
}

// The number in front of "K" of a size text; texts without one sort first.
qint64 SizeNumber(const QString &text)
{
    const qsizetype k = text.indexOf(QLatin1Char('K'));
    bool ok = false;
    const qint64 value = text.left(k < 0 ? text.size() : k).trimmed().toLongLong(&ok);
    return ok ? value : -1;
}

// Year, month, day, hour and minute of a date text; missing parts read as -1.
std::array<int, 5> DateParts(const QString &text)
{
    static const QRegularExpression number(QStringLiteral("\\d+"));
    std::array<int, 5> parts{-1, -1, -1, -1, -1};
    auto match = number.globalMatch(text);
    for (size_t i = 0; i < parts.size() && match.hasNext(); ++i)
        parts[i] = match.next().captured().toInt();
    return parts;
}

} // namespace

QStringList DesignFileNames(const QString &folder)
{
    QDir dir(folder);
    // Name filters match without regard to case (no QDir::CaseSensitive): "UPPER.TRC" is listed.
    dir.setNameFilters({DesignFileMask()});
    return dir.entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

DesignListEntry ReadListEntry(const QString &folder, const QString &name, bool withPreview)
{
    DesignListEntry entry;
    entry.name = name;
    const QString path = QDir(folder).filePath(name);
    const QFileInfo info(path);
    entry.size = info.size();
    entry.modified = info.lastModified().toLocalTime();
    entry.sizeText = SizeText(entry.size);
    entry.dateText = DateText(entry.modified);
    entry.version = StoredVersion(path);
    TCorvexBitmap picture;
    MainData header;
    entry.previewRead = ReadPreview(path, picture, header);
    if (entry.previewRead) {
        entry.header = header;
        if (withPreview)
            entry.preview = picture.image()
                                .convertToFormat(QImage::Format_RGB32)
                                .scaled(kPreviewWidth, kPreviewHeight, Qt::IgnoreAspectRatio,
                                        Qt::FastTransformation);
    }
    // Old files give their header without the notes; what they give is shown.
    entry.noteText = NoteText(entry.header);
    return entry;
}

QString SizeText(qint64 bytes)
{
    const qint64 kilobytes = (std::max<qint64>(bytes, 0) + 1023) / 1024;
    return QString::number(kilobytes) + QStringLiteral("KB");
}

QString DateText(const QDateTime &time)
{
    const QDate date = time.date();
    const QTime clock = time.time();
    return QStringLiteral("%1-%2-%3  %4:%5")
        .arg(date.year())
        .arg(date.month())
        .arg(date.day())
        .arg(clock.hour())
        .arg(clock.minute());
}

QString NoteText(const MainData &header)
{
    return DecodeText(header.note1);
}

QStringList ColumnTexts(const DesignListEntry &entry)
{
    return {entry.name, entry.noteText, entry.sizeText, entry.dateText};
}

bool ColumnLess(FileColumn column, const QStringList &a, const QStringList &b)
{
    const auto index = qsizetype(column);
    const QString left = a.value(index);
    const QString right = b.value(index);
    switch (column) {
    case FileColumn::Name:
    case FileColumn::Note:
        return QString::compare(left, right, Qt::CaseSensitive) < 0;
    case FileColumn::Size:
        return SizeNumber(left) < SizeNumber(right);
    case FileColumn::Date:
        return DateParts(left) < DateParts(right);
    }
    return false;
}

void SortEntries(std::vector<DesignListEntry> &entries, FileColumn column, bool ascending)
{
    std::vector<std::pair<QStringList, size_t>> keys;
    keys.reserve(entries.size());
    for (size_t i = 0; i < entries.size(); ++i)
        keys.emplace_back(ColumnTexts(entries[i]), i);
    std::stable_sort(keys.begin(), keys.end(), [&](const auto &a, const auto &b) {
        return ascending ? ColumnLess(column, a.first, b.first)
                         : ColumnLess(column, b.first, a.first);
    });
    std::vector<DesignListEntry> sorted;
    sorted.reserve(entries.size());
    for (const auto &key : keys)
        sorted.push_back(std::move(entries[key.second]));
    entries = std::move(sorted);
}

FileNameProblem CheckFileName(const QString &typed)
{
    const QString name = typed.trimmed();
    if (name.isEmpty())
        return FileNameProblem::Empty;
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
        return FileNameProblem::PathSeparator;
    if (std::all_of(name.begin(), name.end(), [](QChar c) { return c == QLatin1Char('.'); }))
        return FileNameProblem::PathSeparator;
    return FileNameProblem::None;
}

QString CompleteDesignName(const QString &typed, int filterIndex)
{
    const QString name = typed.trimmed();
    if (name.contains(QLatin1Char('.')))
        return name;
    static const std::array<const char *, 4> extensions{".trc", ".tex", ".tfc", ".t3d"};
    const size_t index
        = filterIndex >= 0 && size_t(filterIndex) < extensions.size() ? size_t(filterIndex) : 0;
    return name + QLatin1String(extensions[index]);
}

FileManagerSettings ReadFileManagerSettings(const QString &programDirectory, int filterCount)
{
    const IniSection ini = IniFile(MainIni(programDirectory)).ReadSection(Section());
    FileManagerSettings settings;
    settings.directory = ini.ReadString(QStringLiteral("DirectoryName"));
    settings.directoryIndex = ini.ReadInteger(QStringLiteral("DirectoryIndex"), 0);
    const QString compress = ini.ReadString(QStringLiteral("CompressCheck")).toLower();
    settings.compress = compress == QStringLiteral("1") || compress == QStringLiteral("true");
    const std::array<QString, 4> keys{QStringLiteral("FormLeft"), QStringLiteral("FormTop"),
                                      QStringLiteral("FormWidth"), QStringLiteral("FormHeight")};
    if (std::all_of(keys.begin(), keys.end(),
                    [&](const QString &key) { return ini.contains(key); })) {
        const QRect stored(ini.ReadInteger(keys[0], 0), ini.ReadInteger(keys[1], 0),
                           ini.ReadInteger(keys[2], 0), ini.ReadInteger(keys[3], 0));
        if (stored.width() > 0 && stored.height() > 0)
            settings.geometry = stored;
    }
    settings.filter = ini.ReadInteger(QStringLiteral("Filter"), 0);
    if (settings.filter < 0 || settings.filter >= filterCount)
        settings.filter = 0;
    settings.viewType = ini.ReadInteger(QStringLiteral("ViewType"), 0);
    if (settings.viewType < 0 || settings.viewType >= kFileViewTypeCount)
        settings.viewType = 0;
    return settings;
}

bool WriteFileManagerSettings(const QString &programDirectory, const FileManagerSettings &settings)
{
    IniFile ini(MainIni(programDirectory));
    bool ok = ini.WriteString(Section(), QStringLiteral("DirectoryName"), settings.directory);
    ok = ini.WriteInteger(Section(), QStringLiteral("DirectoryIndex"), settings.directoryIndex)
         && ok;
    ok = ini.WriteBool(Section(), QStringLiteral("CompressCheck"), settings.compress) && ok;
    ok = ini.WriteInteger(Section(), QStringLiteral("FormLeft"), settings.geometry.x()) && ok;
    ok = ini.WriteInteger(Section(), QStringLiteral("FormTop"), settings.geometry.y()) && ok;
    ok = ini.WriteInteger(Section(), QStringLiteral("FormWidth"), settings.geometry.width()) && ok;
    ok = ini.WriteInteger(Section(), QStringLiteral("FormHeight"), settings.geometry.height())
         && ok;
    ok = ini.WriteInteger(Section(), QStringLiteral("Filter"), settings.filter) && ok;
    ok = ini.WriteInteger(Section(), QStringLiteral("ViewType"), settings.viewType) && ok;
    return ok;
}

QString StartFolder(const QString &stored, const QString &programDirectory)
{
    if (!stored.isEmpty()) {
        const QFileInfo info(stored);
        if (info.isDir() && info.isExecutable())
            return QDir(stored).absolutePath();
    }
    const QString fallback = QDir(programDirectory).filePath(QStringLiteral("tricot"));
    QDir().mkpath(fallback);
    return QDir(fallback).absolutePath();
}

QRect PlaceDialog(const QRect &stored, const QSize &size, const QList<QRect> &screens)
{
    if (stored.isValid()) {
        for (const QRect &screen : screens)
            if (screen.intersects(stored))
                return stored;
    }
    const QRect screen = screens.isEmpty() ? QRect(0, 0, 1024, 768) : screens.first();
    const QSize shown = stored.isValid() ? stored.size() : size;
    QRect placed(QPoint(0, 0), shown);
    placed.moveCenter(screen.center());
    return placed;
}

QString SpaceText(qint64 freeBytes, qint64 totalBytes)
{
    constexpr qint64 megabyte = 1048576;
    return QStringLiteral("Current Free Spaces :  %1 M Bytes, Total Disk Spaces :  %2 M Bytes")
        .arg(std::max<qint64>(freeBytes, 0) / megabyte)
        .arg(std::max<qint64>(totalBytes, 0) / megabyte);
}

} // namespace warplon
