#include "app/picturedialog.h"

#include "app/messagebox.h"
#include "app/picturefile.h"

#include <QDir>
#include <QFileDialog>
#include <QImage>
#include <QWidget>

namespace warplon {

QString PictureFolder(const QString &programDirectory)
{
    const QString folder = QDir(programDirectory).filePath(QStringLiteral("bmp"));
    QDir().mkpath(folder);
    return folder;
}

void SavePictureWithDialog(QWidget *window, const QImage &picture, const QString &programDirectory,
                           const QString &title)
{
    if (picture.isNull())
        return;
    const QString folder = PictureFolder(programDirectory);
    const QStringList filters = PictureSaveFilters();
    QString filter = filters.first();
    const QString chosen = QFileDialog::getSaveFileName(
        window, QString(title).remove(QLatin1Char('&')), folder + QStringLiteral("/Noname1"),
        filters.join(QLatin1String(";;")), &filter);
    if (chosen.isEmpty())
        return;
    const PictureTarget target = ChoosePictureTarget(chosen, int(filters.indexOf(filter)));
    if (!SavePicture(picture, target.fileName, target.format))
        ShowMessage(window, QMessageBox::Warning, window->windowTitle(),
                    QStringLiteral("Unknown Error in ") + window->objectName());
}

} // namespace warplon
