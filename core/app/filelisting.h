#pragma once

// The rules of the file manager dialog that need no window: the design files of a folder with
// the texts the list shows, their order when a report column is clicked, the names the dialog
// accepts, and its settings in "Main.ini".

#include "knit/records.h"

#include <QDateTime>
#include <QDir>
#include <QImage>
#include <QList>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace warplon {

// The command buttons of the dialog, in the order they stand.
enum class FileManagerMode {
    Read = 0,
    Merge = 1,
    Save = 2,
    SaveAs = 3,
    Delete = 4,
    MakeFolder = 5,
    Rename = 6
};

// How the list shows the files: pictures of the designs, small icons, a list, or the report
// with its columns.
enum class FileViewType { Large = 0, Small = 1, List = 2, Report = 3 };
constexpr int kFileViewTypeCount = 4;

// The report columns: name, the design's note, size and change date.
enum class FileColumn { Name = 0, Note = 1, Size = 2, Date = 3 };
constexpr int kFileColumnCount = 4;

// The size of the pictures of Large View (the size of the previews in design files).
constexpr int kPreviewWidth = 80;
constexpr int kPreviewHeight = 100;

// The mask of the design files; matched without regard to case.
inline QString DesignFileMask()
{
    return QStringLiteral("*.trc");
}

// One listed design file.
struct DesignListEntry
{
    QString name;     // file name, the item's caption
    QString noteText; // the design's first note
    QString sizeText; // "27KB"
    QString dateText; // "2026-9-30  14:5", local time
    qint64 size = 0;
    QDateTime modified;
    int32_t version = 0;      // the stored file version (0 when it could not be read)
    bool previewRead = false; // header and preview came from the file
    QImage preview; // kPreviewWidth x kPreviewHeight when read with pictures and previewRead
    MainData header;
};

// The design files of a folder (mask "*.trc" in any letter case), sorted by name.
QStringList DesignFileNames(const QString &folder);

// Reads what the list shows of one file. withPreview keeps the preview picture (Large View);
// without it the picture is dropped after the header is read. A file that is no design file,
// or one too damaged to give a preview, keeps previewRead false and still gets its texts.
DesignListEntry ReadListEntry(const QString &folder, const QString &name, bool withPreview);

// "27KB": the size in kilobytes, rounded up, so that a file with anything in it never reads
// as empty.
QString SizeText(qint64 bytes);
// "%d-%d-%d  %d:%d" of year, month, day, hour and minute.
QString DateText(const QDateTime &time);
// The design's first note as the list shows it (the file's bytes as UTF-8, or CP949).
QString NoteText(const MainData &header);

// Whether the row with texts `a` comes before the row with texts `b` when the column is sorted
// ascending. Names and notes compare as exact, case-sensitive strings; sizes by the number
// before "K"; dates by year, month, day, hour and minute. Each list holds the four column
// texts.
bool ColumnLess(FileColumn column, const QStringList &a, const QStringList &b);
// The texts of the columns of one entry, in column order.
QStringList ColumnTexts(const DesignListEntry &entry);
// Sorts stably by the column, ascending or descending.
void SortEntries(std::vector<DesignListEntry> &entries, FileColumn column, bool ascending);

// Why a typed name cannot name a file or folder in the current folder.
enum class FileNameProblem {
    None,
    Empty,         // nothing but blanks
    PathSeparator, // '/' or '\', or only dots: it names another folder, not a file in this one
};
// Blanks at both ends are not part of the name.
FileNameProblem CheckFileName(const QString &typed);

// The name a typed name completes to for a file type: a name without "." gets the type's
// extension (".trc", ".tex", ".tfc", ".t3d" for types 0 to 3); one with a "." is kept.
QString CompleteDesignName(const QString &typed, int filterIndex);

// The dialog's settings, section "FileManager" of "Main.ini".
struct FileManagerSettings
{
    QString directory;
    int32_t directoryIndex = 0;
    bool compress = false;
    // The stored position and size; an empty rectangle when none was stored.
    QRect geometry;
    int32_t filter = 0;
    int32_t viewType = 0;
};

// Reads the settings. A "ViewType" outside the four views and a "Filter" outside
// [0, filterCount) read as 0; a missing folder reads as empty.
FileManagerSettings ReadFileManagerSettings(const QString &programDirectory, int filterCount);
bool WriteFileManagerSettings(const QString &programDirectory, const FileManagerSettings &settings);

// The folder the dialog opens on: the stored one when it can be entered, else the program
// directory + "/tricot", made when it is missing.
QString StartFolder(const QString &stored, const QString &programDirectory);

// Where the dialog goes: the stored rectangle when it shows on one of the screens, else a
// rectangle of `size` centred on the first screen.
QRect PlaceDialog(const QRect &stored, const QSize &size, const QList<QRect> &screens);

// "Current Free Spaces :  %d M Bytes, Total Disk Spaces :  %d M Bytes" with sizes in units of
// 1,048,576 bytes.
QString SpaceText(qint64 freeBytes, qint64 totalBytes);

} // namespace warplon
