#pragma once

#include "base/bytestream.h"
#include "base/rgbquad.h"
#include "bitmap/kvbitmap.h"

#include <QImage>
#include <QList>
#include <QRect>
#include <QRegion>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

#include <optional>
#include <vector>

class QPainter;

namespace warplon {

// Picture file formats for SaveToFile.
enum BitmapFileFormat : int {
    kFileBmp = 6,
    kFileJpeg = 10,
};

// The in-memory picture behind every view of the program: 24 bits per pixel (bytes blue, green,
// red; rows top-down, each padded to 4 bytes) or 8 bits with a 256-entry colour table. Adds a
// single painter lease, nested row access, a selection region and the pixel stream of the
// program's files.
class TCorvexBitmap
{
public:
    TCorvexBitmap();
    ~TCorvexBitmap();
    TCorvexBitmap(TCorvexBitmap &&other) noexcept;
    TCorvexBitmap &operator=(TCorvexBitmap &&other) noexcept;
    TCorvexBitmap(const TCorvexBitmap &) = delete;
    TCorvexBitmap &operator=(const TCorvexBitmap &) = delete;

    // Frees the old pixels and allocates zeroed ones: 8 or 24 bits, width and height at least 1
    // and at most kMaxBitmapBytes of pixels. For 8 bits the colour table takes the palette
    // (first 256 entries, made opaque, the rest black) or, without one, a grey ramp. Fires
    // onChange when the new pixels exist; on failure the bitmap stays empty.
    bool Create(int width, int height, const QList<QRgb> *palette, int bitsPerPixel);
    // Create only when nothing is allocated or the size or depth differs; true when nothing
    // needed doing.
    bool CreateIfDifferent(int width, int height, const QList<QRgb> *palette, int bitsPerPixel);
    // Drops the pixels and the selection region; size and depth become 0.
    void Free();

    int Width() const;
    int Height() const;
    int BitsPerPixel() const;
    int BytesPerLine() const;
    bool IsAllocated() const { return !m_image.isNull(); }

    // A painter on the pixels, or null while another lease is out or nothing is allocated. An
    // 8-bit bitmap is painted through a 32-bit copy whose changed pixels go back as the nearest
    // colours of the table on ReleaseDC. Replacing the pixels (Create, Free, Stretch, ...) ends
    // the painting; the lease itself lasts until ReleaseDC.
    QPainter *GetDC();
    // Ends the lease taken by GetDC; any other pointer is ignored.
    void ReleaseDC(QPainter *dc);
    bool IsLeased() const { return m_painter != nullptr; }

    // Colour table access for 8-bit bitmaps; false for 24 bits, nothing allocated or a range
    // outside 0..255.
    bool GetColors(int first, int count, RGBQUAD *colors) const;
    bool SetColors(int first, int count, const RGBQUAD *colors);
    QList<QRgb> ColorTable() const;

    // Fills the part of the rectangle inside the bitmap with a TColor (red | green << 8 |
    // blue << 16; the nearest table colour for 8 bits). The selection region is unchanged.
    bool Fill(int32_t tcolor, const QRect &rectangle);
    // A canvas of the new size and the same depth and colour table, filled with the colour, the
    // old pixels at its top-left corner; the selection region is kept. False (pixels kept) for a
    // size below 1 or too large, or nothing allocated.
    bool ResizeCanvas(int width, int height, int32_t tcolor);
    // Smooth resampling to the new size (8 bits stay 8 bits with the same colour table).
    bool Stretch(int width, int height);
    // Copies the pixels of a bitmap of the same size and depth.
    bool Copy(const TCorvexBitmap &source);

    // The selection region, or nothing when there is none; with freeAfter it is removed.
    std::optional<QRegion> SaveRegion(bool freeAfter);
    void RestoreRegion(const QRegion &region);
    void FreeRegion();
    bool HasRegion() const { return !m_region.isEmpty(); }
    const QRegion &Region() const { return m_region; }

    // Nested row access: GetRow copies row y into a one-row buffer and returns it (null outside
    // an access, for a row outside the bitmap or nothing allocated); PutRow writes the buffer
    // back to row y.
    void BeginRowAccess();
    void EndRowAccess();
    int RowAccessDepth() const { return m_rowAccess; }
    uchar *GetRow(int y);
    bool PutRow(int y);

    // Any picture file Qt reads: pictures of up to 8 bits become 8 bits with at most 250 colours,
    // all others 24 bits. False (pixels kept) when the file cannot be read.
    bool LoadFromFile(const QString &fileName);
    // kFileBmp at the bitmap's own depth, or kFileJpeg at high quality.
    bool SaveToFile(const QString &fileName, int format) const;

    // The pixel stream: rows 0..height-1 of BytesPerLine bytes, through the compressed block
    // functions. Reading needs an allocated bitmap of the right size.
    bool ReadBlock(ByteReader &in, int method);
    bool WriteBlock(ByteWriter &out, int method) const;
    // The pixels of a rectangle inside the bitmap, each row padded to a multiple of 4 bytes.
    bool WriteBlock(ByteWriter &out, int method, const QRect &rectangle) const;

    // Fired after Create, Stretch, ResizeCanvas and LoadFromFile.
    std::function<void()> onChange;

    // The pixels for painting on screen. Callers must not replace the image or change its format.
    QImage &image() { return m_image; }
    const QImage &image() const { return m_image; }

private:
    void endPainting();
    void setImage(QImage image);
    void changed();

    QImage m_image;
    QRegion m_region;
    std::unique_ptr<QPainter> m_painter;
    QImage m_paintCopy; // the 32-bit stand-in painted while an 8-bit bitmap is leased
    std::vector<uchar> m_row;
    int m_rowAccess = 0;
};

} // namespace warplon
