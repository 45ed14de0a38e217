#include "app/drivecombobox.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalBlocker>
#include <QStorageInfo>

#include <algorithm>

namespace warplon {

namespace {

#ifdef Q_OS_WIN
constexpr Qt::CaseSensitivity kPathCase = Qt::CaseInsensitive;
#else
constexpr Qt::CaseSensitivity kPathCase = Qt::CaseSensitive;
#endif

// Root folders end in "/" only when they are the root of everything ("/", "C:/").
QString withSlash(const QString &folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

} // namespace

DriveComboBox::DriveComboBox(QWidget *parent)
    : QComboBox(parent)
{
    setObjectName(QStringLiteral("DriveComboBox"));
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(12);
    Reload();
    connect(this, &QComboBox::activated, this, [this](int index) {
        const QString root = itemData(index).toString();
        if (!root.isEmpty())
            emit driveChosen(root);
    });
}

void DriveComboBox::Reload()
{
    const QString shown = Drive();
    struct Volume
    {
        QString root;
        QString name;
    };
    std::vector<Volume> volumes;
    for (const QStorageInfo &storage : QStorageInfo::mountedVolumes()) {
        // A file mounted over another (as containers do) is no place to keep palettes.
        if (!storage.isValid() || !storage.isReady() || !QFileInfo(storage.rootPath()).isDir())
            continue;
        const QString root = QDir::fromNativeSeparators(storage.rootPath());
        const bool listed = std::any_of(volumes.begin(), volumes.end(),
                                        [&root](const Volume &v) { return v.root == root; });
        if (!listed)
            volumes.push_back({root, storage.name()});
    }
    std::sort(volumes.begin(), volumes.end(),
              [](const Volume &a, const Volume &b) { return a.root < b.root; });

    const QSignalBlocker blocker(this);
    clear();
    for (const Volume &volume : volumes) {
        QString text = QDir::toNativeSeparators(volume.root);
        if (!volume.name.isEmpty())
            text += QStringLiteral("  [%1]").arg(volume.name);
        addItem(text, volume.root);
    }
    if (!shown.isEmpty())
        SetDriveOf(shown);
}

QString DriveComboBox::Drive() const
{
    return currentIndex() >= 0 ? currentData().toString() : QString();
}

QStringList DriveComboBox::Drives() const
{
    QStringList roots;
    for (int i = 0; i < count(); ++i)
        roots.append(itemData(i).toString());
    return roots;
}

void DriveComboBox::SetDriveOf(const QString &path)
{
    const QString root = RootHolding(Drives(), QDir::fromNativeSeparators(path));
    if (root.isEmpty())
        return;
    const QSignalBlocker blocker(this);
    setCurrentIndex(findData(root));
}

QString DriveComboBox::RootHolding(const QStringList &roots, const QString &path)
{
    QString best;
    const QString inside = withSlash(path);
    for (const QString &root : roots) {
        if (root.isEmpty() || !inside.startsWith(withSlash(root), kPathCase))
            continue;
        if (root.size() > best.size())
            best = root;
    }
    return best;
}

} // namespace warplon
