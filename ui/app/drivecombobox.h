#pragma once

#include <QComboBox>
#include <QString>
#include <QStringList>

namespace warplon {

// The drive box of the file windows: one item per mounted file system (a drive letter on
// Windows, a mount point elsewhere), shown as its root folder with the volume name in brackets.
// Choosing an item tells the root folder through driveChosen(); a window that changes folder by
// other means shows the file system of the new folder with SetDriveOf().
class DriveComboBox : public QComboBox
{
    Q_OBJECT

public:
    explicit DriveComboBox(QWidget *parent = nullptr);

    // Reads the mounted file systems again, keeping the shown one when it is still there.
    void Reload();

    // The root folder of the item shown (empty when there is none).
    QString Drive() const;
    // Shows the file system that holds `path` (the item with the longest root folder that
    // contains it), without telling driveChosen().
    void SetDriveOf(const QString &path);

    // The root folders listed, in the order shown.
    QStringList Drives() const;

    // Of `roots`, the one that holds `path` (the longest that is `path` itself or one of its
    // parent folders); empty when none does. Paths use "/" as the separator.
    static QString RootHolding(const QStringList &roots, const QString &path);

signals:
    // The designer chose the file system with this root folder.
    void driveChosen(const QString &rootPath);
};

} // namespace warplon
