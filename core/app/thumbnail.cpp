#include "app/thumbnail.h"

#include "knit/designfile.h"

#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cmath>

namespace warplon {

namespace {

void SetError(QString *error, const QString &message)
{
    if (error)
        *error = message;
}

} // namespace

QSize ThumbnailSize(int size)
{
    if (size < 1 || size > kMaxThumbnailSize)
        return {};
    const int width = std::max(1, int(std::lround(size * 4.0 / 5.0)));
    return {width, size};
}

QImage MakeThumbnail(const TCorvexBitmap &preview, int size)
{
    const QSize target = ThumbnailSize(size);
    if (!target.isValid() || !preview.IsAllocated())
        return {};
    return preview.image()
        .convertToFormat(QImage::Format_RGB32)
        .scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_RGB888);
}

QImage DesignThumbnail(const QString &designFile, int size, QString *error)
{
    if (!ThumbnailSize(size).isValid()) {
        SetError(error, QStringLiteral("the size must be 1 to %1").arg(kMaxThumbnailSize));
        return {};
    }
    if (!QFileInfo(designFile).isFile()) {
        SetError(error, QStringLiteral("cannot open %1").arg(designFile));
        return {};
    }
    TCorvexBitmap preview;
    MainData header;
    if (!ReadPreview(designFile, preview, header) || !preview.IsAllocated()) {
        SetError(error, QStringLiteral("%1 is not a readable design file").arg(designFile));
        return {};
    }
    QImage thumbnail = MakeThumbnail(preview, size);
    if (thumbnail.isNull())
        SetError(error, QStringLiteral("cannot scale the preview of %1").arg(designFile));
    return thumbnail;
}

bool WriteDesignThumbnail(const QString &designFile, const QString &pngFile, int size,
                          QString *error)
{
    const QImage thumbnail = DesignThumbnail(designFile, size, error);
    if (thumbnail.isNull())
        return false;
    QSaveFile out(pngFile);
    if (!out.open(QIODevice::WriteOnly) || !thumbnail.save(&out, "PNG") || !out.commit()) {
        SetError(error, QStringLiteral("cannot write %1").arg(pngFile));
        return false;
    }
    return true;
}

} // namespace warplon
