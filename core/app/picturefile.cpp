#include "app/picturefile.h"

#include <QImageWriter>

namespace warplon {

QStringList PictureSaveFilters()
{
    return {QStringLiteral("Bitmaps (*.bmp)"), QStringLiteral("JPEG Image File (*.jpg)")};
}

PictureTarget ChoosePictureTarget(const QString &fileName, int filterIndex)
{
    PictureTarget target{fileName, filterIndex == 1 ? PictureFormat::Jpeg : PictureFormat::Bitmap};
    if (fileName.endsWith(QLatin1String(".bmp"), Qt::CaseInsensitive))
        target.format = PictureFormat::Bitmap;
    else if (fileName.endsWith(QLatin1String(".jpg"), Qt::CaseInsensitive)
             || fileName.endsWith(QLatin1String(".jpeg"), Qt::CaseInsensitive))
        target.format = PictureFormat::Jpeg;
    else
        target.fileName
            += target.format == PictureFormat::Jpeg ? QLatin1String(".jpg") : QLatin1String(".bmp");
    return target;
}

bool SavePicture(const QImage &picture, const QString &fileName, PictureFormat format)
{
    if (picture.isNull())
        return false;
    QImageWriter writer(fileName, format == PictureFormat::Jpeg ? QByteArrayLiteral("jpg")
                                                                : QByteArrayLiteral("bmp"));
    if (format == PictureFormat::Jpeg)
        writer.setQuality(kJpegQuality);
    // Without alpha every pixel is plain red, green and blue: the bitmap comes out 24-bit.
    return writer.write(picture.convertToFormat(QImage::Format_RGB888));
}

} // namespace warplon
