#include "app/recentfiles.h"

#include <QSettings>

namespace warplon {

namespace {

const QString kRecentGroup = QStringLiteral("Recent Files");

} // namespace

QStringList UpdateRecentFiles(QStringList files, const QString &path)
{
    if (path.isEmpty())
        return files;
    files.prepend(path);
    const qsizetype earlier = files.indexOf(path, 1);
    if (earlier > 0)
        files.removeAt(earlier);
    while (files.size() > kRecentFileCount)
        files.removeLast();
    return files;
}

QStringList ReadRecentFiles(QSettings &userKey)
{
    QStringList files;
    userKey.beginGroup(kRecentGroup);
    for (int i = 0; i < kRecentFileCount; ++i) {
        const QString path = userKey.value(QString::number(i)).toString();
        if (!path.isEmpty())
            files << path;
    }
    userKey.endGroup();
    return files;
}

void WriteRecentFiles(QSettings &userKey, const QStringList &files)
{
    userKey.beginGroup(kRecentGroup);
    for (int i = 0; i < kRecentFileCount; ++i)
        userKey.setValue(QString::number(i), files.value(i));
    userKey.endGroup();
    userKey.sync();
}

QString RecentFileCaption(const QString &path)
{
    return QString(path).replace(QLatin1Char('&'), QLatin1String("&&"));
}

} // namespace warplon
