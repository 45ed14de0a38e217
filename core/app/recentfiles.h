#pragma once

// The recent-file list of the File menu's Reopen submenu: most recent first, at most ten paths,
// kept in section "Recent Files" of the user key as values "0" … "9".

#include <QString>
#include <QStringList>

class QSettings;

namespace warplon {

constexpr int kRecentFileCount = 10;

// The list after `path` was loaded or saved: the path goes to the top, its first earlier entry
// (exact, case-sensitive) is dropped, and the list is cut to ten. An empty path changes nothing.
QStringList UpdateRecentFiles(QStringList files, const QString &path);

// The non-empty values "0" … "9" of "Recent Files", in order.
QStringList ReadRecentFiles(QSettings &userKey);
// Writes the ten values, an empty string where the list has no entry.
void WriteRecentFiles(QSettings &userKey, const QStringList &files);

// The menu caption of a path: "&" doubled so that it shows as itself.
QString RecentFileCaption(const QString &path);

} // namespace warplon
