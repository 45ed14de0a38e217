#include "app/viewerscroll.h"

#include <algorithm>

namespace warplon {

namespace {

// Smallest client area: the two bars and a corner of picture to grab.
constexpr int32_t kMinimumClient = 4 * kViewerBarSize;

} // namespace

int32_t ViewerOverflow(int32_t picture, int32_t client)
{
    const int64_t overflow = int64_t(picture) - (int64_t(client) - kViewerBarSize);
    return int32_t(std::clamp<int64_t>(overflow, INT32_MIN, INT32_MAX));
}

int32_t ViewerPictureOffset(int32_t percent, int32_t picture, int32_t client)
{
    const int32_t overflow = ViewerOverflow(picture, client);
    if (overflow <= 0)
        return 0;
    const int64_t p = std::clamp(percent, 0, 100);
    return int32_t(-(int64_t(overflow) * p / 100));
}

int32_t ViewerPositionAfterDrag(int32_t position, int32_t offset, int32_t down, int32_t up,
                                int32_t picture, int32_t client)
{
    const int32_t overflow = ViewerOverflow(picture, client);
    if (overflow <= 0)
        return 0;
    if (down == up)
        return std::clamp(position, 0, 100);
    const int64_t moved = -int64_t(offset) + int64_t(down) - int64_t(up);
    return int32_t(std::clamp<int64_t>(moved * 100 / overflow, 0, 100));
}

QSize ViewerClientSize(QSize picture, QSize available)
{
    const int32_t width = std::min(picture.width(), available.width() - kViewerFrameWidth);
    const int32_t height = std::min(picture.height(), available.height() - kViewerFrameHeight);
    return QSize(std::max(width, kMinimumClient), std::max(height, kMinimumClient));
}

} // namespace warplon
