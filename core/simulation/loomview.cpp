#include "simulation/loomview.h"

#include <QDir>
#include <QProcess>
#include <QSettings>

namespace warplon {

bool IsVersionName(const QString &name)
{
    if (name.isEmpty())
        return false;
    for (const QChar c : name) {
        if (!c.isDigit() && c != QLatin1Char('.'))
            return false;
    }
    return true;
}

QStringList InstalledLoomviewVersions()
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Brenmoor"),
                       QStringLiteral("Loomview"));
    QStringList versions;
    const QStringList groups = settings.childGroups();
    for (const QString &group : groups) {
        if (IsVersionName(group))
            versions.append(group);
    }
    return versions;
}

bool StartLoomview(const QString &version, QString *error)
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Brenmoor"),
                       QStringLiteral("Loomview"));
    const QString folder = settings.value(version + QStringLiteral("/Directory/bin")).toString();
    if (folder.isEmpty() || !QDir(folder).exists()) {
        if (error)
            *error = QStringLiteral("3D Mapping %1 has no program folder.").arg(version);
        return false;
    }
    const QString program = QDir(folder).filePath(QStringLiteral("loomview"));
    if (!QProcess::startDetached(program, {}, folder)) {
        if (error)
            *error = QStringLiteral("3D Mapping could not be started: %1").arg(program);
        return false;
    }
    return true;
}

} // namespace warplon
