#pragma once

#include <QtGlobal>

#include <cstdint>
#include <vector>

namespace warplon {

// No picture of the program needs more pixel memory than this; larger sizes come only from
// damaged files or runaway arithmetic and are refused before anything is allocated.
constexpr int64_t kMaxBitmapBytes = int64_t(512) << 20;

// Bytes of one pixel row rounded up to a multiple of 4, as in a device-independent bitmap;
// -1 for a width or depth below 1.
int64_t BitmapStride(int64_t width, int bitsPerPixel);

// True when a picture of this size and depth stays within kMaxBitmapBytes (and is at least 1 x 1).
bool BitmapSizeAllowed(int64_t width, int64_t height, int bitsPerPixel);

// A plain zero-filled pixel buffer: rows of Stride() bytes (a multiple of 4).
class KvBitmap
{
public:
    // Any depth of 1 to 32 bits; refuses sizes below 1 or above kMaxBitmapBytes.
    bool Create(int width, int height, int bitsPerPixel);
    // The pixels, or null when nothing is allocated. Unlock ends the matching Lock.
    uchar *Lock();
    void Unlock();
    bool Fill(uint8_t value);
    void Free();

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    int BitsPerPixel() const { return m_bitsPerPixel; }
    int Stride() const { return m_stride; }
    qsizetype SizeInBytes() const { return qsizetype(m_pixels.size()); }
    bool IsAllocated() const { return !m_pixels.empty(); }
    int LockCount() const { return m_locks; }

private:
    std::vector<uchar> m_pixels;
    int m_width = 0;
    int m_height = 0;
    int m_bitsPerPixel = 0;
    int m_stride = 0;
    int m_locks = 0;
};

} // namespace warplon
