#pragma once

// Thumbnails of design files for file browsers: the preview a design file stores (or the one
// shrunk from the simulation picture of an old file), scaled to fit a square of the size asked
// for, keeping the 4 : 5 shape of the preview. Works on pictures only: no display, settings or
// program directory are needed.

#include "bitmap/corvexbitmap.h"

#include <QImage>
#include <QSize>
#include <QString>

namespace warplon {

constexpr int kDefaultThumbnailSize = 128;
// File browsers ask for up to 1024 pixels; larger requests are refused as mistakes.
constexpr int kMaxThumbnailSize = 4096;

// The size of a thumbnail that fits `size` x `size`: the full height and four fifths of it as the
// width (at least one pixel). An empty size for a request outside 1..kMaxThumbnailSize.
QSize ThumbnailSize(int size);

// The preview scaled smoothly to ThumbnailSize(size), as a 24-bit picture; a null picture when
// the preview is empty or the size is refused.
QImage MakeThumbnail(const TCorvexBitmap &preview, int size);

// Reads the preview of a design file and makes its thumbnail. A null picture, with the reason
// in `error`, when the file is missing or damaged.
QImage DesignThumbnail(const QString &designFile, int size, QString *error = nullptr);

// Writes the thumbnail of a design file as a PNG picture. Nothing is written when the design
// cannot be read; the picture is written to a temporary file first, so a failure leaves no
// partial output.
bool WriteDesignThumbnail(const QString &designFile, const QString &pngFile, int size,
                          QString *error = nullptr);

} // namespace warplon
