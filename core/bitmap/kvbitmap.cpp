#include "bitmap/kvbitmap.h"

#include <algorithm>
#include <new>

namespace warplon {

int64_t BitmapStride(int64_t width, int bitsPerPixel)
{
    if (width < 1 || bitsPerPixel < 1 || width > kMaxBitmapBytes)
        return -1;
    return (width * bitsPerPixel + 31) / 32 * 4;
}

bool BitmapSizeAllowed(int64_t width, int64_t height, int bitsPerPixel)
{
    const int64_t stride = BitmapStride(width, bitsPerPixel);
    return stride > 0 && height >= 1 && height <= kMaxBitmapBytes / stride;
}

bool KvBitmap::Create(int width, int height, int bitsPerPixel)
{
    Free();
    if (bitsPerPixel > 32 || !BitmapSizeAllowed(width, height, bitsPerPixel))
        return false;
    const int64_t stride = BitmapStride(width, bitsPerPixel);
    try {
        m_pixels.assign(size_t(stride * height), 0);
    } catch (const std::bad_alloc &) {
        return false;
    }
    m_width = width;
    m_height = height;
    m_bitsPerPixel = bitsPerPixel;
    m_stride = int(stride);
    return true;
}

uchar *KvBitmap::Lock()
{
    if (m_pixels.empty())
        return nullptr;
    ++m_locks;
    return m_pixels.data();
}

void KvBitmap::Unlock()
{
    m_locks = std::max(0, m_locks - 1);
}

bool KvBitmap::Fill(uint8_t value)
{
    if (m_pixels.empty())
        return false;
    std::fill(m_pixels.begin(), m_pixels.end(), value);
    return true;
}

void KvBitmap::Free()
{
    std::vector<uchar>().swap(m_pixels);
    m_width = 0;
    m_height = 0;
    m_bitsPerPixel = 0;
    m_stride = 0;
    m_locks = 0;
}

} // namespace warplon
