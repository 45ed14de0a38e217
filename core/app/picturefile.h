#pragma once

// Saving a shown picture as the user chose it in the save dialog: a 24-bit bitmap or a JPEG.

#include <QImage>
#include <QString>
#include <QStringList>

namespace warplon {

enum class PictureFormat { Bitmap, Jpeg };

// JPEG quality of saved pictures: high enough that yarn edges and fine stitch shading survive,
// at a fraction of the bitmap's size.
constexpr int kJpegQuality = 92;

// The file filters of the picture save dialog, in this order: bitmaps, then JPEG.
QStringList PictureSaveFilters();

struct PictureTarget
{
    QString fileName;
    PictureFormat format = PictureFormat::Bitmap;
};

// The file to write for the name the user chose with filter `filterIndex` (an index into
// PictureSaveFilters, or -1 when unknown): a name ending in ".bmp", ".jpg" or ".jpeg" (any case)
// keeps its format; any other name takes the filter's format and its extension is appended.
PictureTarget ChoosePictureTarget(const QString &fileName, int filterIndex);

// Writes the picture as a 24-bit BMP or a JPEG of kJpegQuality. False when it could not be
// written (an empty picture is not written).
bool SavePicture(const QImage &picture, const QString &fileName, PictureFormat format);

} // namespace warplon
