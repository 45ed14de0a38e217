#include "simulation/simulationimage.h"

#include "bitmap/compressedblock.h"

#include <cstring>

namespace warplon {

namespace {

constexpr int kPictureDepth = 24;

// The pixel mode a block of this file version uses when it carries no mode byte.
int ImpliedMode(int32_t version)
{
    return version == 3 ? kPixelsRaw : kPixelsPacked;
}

// Whether the rest of the data can hold the pixel stream of a picture of rawSize bytes. A zlib
// stream of n bytes unpacks to at most about 1032 bytes per byte, so a short stream claiming a
// huge picture is refused before any pixels are allocated.
bool StreamCanHold(const ByteReader &in, int64_t rawSize, int mode)
{
    if (mode == kPixelsRaw)
        return rawSize <= int64_t(in.remaining());
    if (mode != kPixelsPacked)
        return false;
    ByteReader peek = in;
    uint32_t stored = 0;
    if (!peek.readU32(stored))
        return false;
    return int64_t(stored) <= int64_t(peek.remaining()) && rawSize <= int64_t(stored) * 1032 + 1024;
}

} // namespace

bool WriteSimulationImageBlock(ByteWriter &out, const TCorvexBitmap &picture, int32_t version,
                               uint8_t mode)
{
    if (version < 1)
        return true;
    const qsizetype start = out.position();
    if (!picture.IsAllocated()) {
        out.writeU8(0);
        return true;
    }
    out.writeU8(1);
    out.writeI32(picture.Width());
    out.writeI32(picture.Height());
    int method = ImpliedMode(version);
    if (version >= 4) {
        out.writeU8(mode);
        method = mode;
    }
    if (picture.BitsPerPixel() == kPictureDepth && picture.WriteBlock(out, method))
        return true;
    // A block cut short would throw every later block of the file out of step: store "no
    // picture" instead.
    out.data().truncate(start);
    out.writeU8(0);
    return false;
}

bool ReadSimulationImageBlock(ByteReader &in, TCorvexBitmap &picture, int32_t fileVersion)
{
    picture.Free();
    if (fileVersion < 1)
        return true;
    uint8_t present = 0;
    if (!in.readU8(present))
        return false;
    if (present == 0)
        return true;

    int32_t width = 0;
    int32_t height = 0;
    uint8_t mode = uint8_t(ImpliedMode(fileVersion));
    if (!in.readI32(width) || !in.readI32(height) || (fileVersion >= 4 && !in.readU8(mode)))
        return false;
    if (!BitmapSizeAllowed(width, height, kPictureDepth)
        || !StreamCanHold(in, BitmapStride(width, kPictureDepth) * height, mode)) {
        in.fail();
        return false;
    }
    if (!picture.Create(width, height, nullptr, kPictureDepth) || !picture.ReadBlock(in, mode)) {
        picture.Free();
        return false;
    }
    return true;
}

TCorvexBitmap MakePreview(const TCorvexBitmap &picture, int32_t backgroundColor)
{
    TCorvexBitmap preview;
    if (!preview.Create(kPreviewWidth, kPreviewHeight, nullptr, kPictureDepth))
        return preview;
    if (!picture.IsAllocated()) {
        preview.Fill(backgroundColor, QRect(0, 0, kPreviewWidth, kPreviewHeight));
        return preview;
    }
    // Colour on colour: every preview pixel is taken whole from one picture pixel, so the thin
    // yarn lines of a large simulation keep their colours instead of greying out.
    const QImage small
        = picture.image()
              .convertToFormat(QImage::Format_BGR888)
              .scaled(kPreviewWidth, kPreviewHeight, Qt::IgnoreAspectRatio, Qt::FastTransformation)
              .convertToFormat(QImage::Format_BGR888);
    if (small.size() != QSize(kPreviewWidth, kPreviewHeight)) {
        preview.Free();
        return preview;
    }
    for (int y = 0; y < kPreviewHeight; ++y)
        std::memcpy(preview.image().scanLine(y), small.constScanLine(y), kPreviewWidth * 3);
    return preview;
}

bool ReadPreviewPixels(ByteReader &in, TCorvexBitmap &preview)
{
    if (!preview.Create(kPreviewWidth, kPreviewHeight, nullptr, kPictureDepth)
        || !preview.ReadBlock(in, kPixelsRaw)) {
        preview.Free();
        return false;
    }
    return true;
}

} // namespace warplon
