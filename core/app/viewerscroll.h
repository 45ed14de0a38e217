#pragma once

// Panning in the image viewer. The picture is shown at 1:1 inside a client area whose last 16
// pixels on the right and at the bottom belong to the scroll bars. A bar's position is a
// percentage (0..100) of the part of the picture that does not fit; a bar is enabled only when
// something does not fit. Horizontal and vertical work alike, one axis at a time.

#include <QSize>

#include <cstdint>

namespace warplon {

// Width of the vertical bar and height of the horizontal one.
constexpr int32_t kViewerBarSize = 16;

// The frame the viewer adds around its client area: borders and caption of a dialog.
constexpr int32_t kViewerFrameWidth = 6;
constexpr int32_t kViewerFrameHeight = 25;

// How many pixels of a picture `picture` long do not fit a client area `client` long; zero or
// less when it fits.
int32_t ViewerOverflow(int32_t picture, int32_t client);

inline bool ViewerBarEnabled(int32_t picture, int32_t client)
{
    return ViewerOverflow(picture, client) > 0;
}

// The picture's left (or top) inside the client area at bar position `percent`:
// -(overflow * percent / 100), and 0 when the bar is disabled.
int32_t ViewerPictureOffset(int32_t percent, int32_t picture, int32_t client);

// The bar position after dragging the picture: `position` and `offset` (the picture's left or
// top, as ViewerPictureOffset gave it) held when the button went down at `down`, released at
// `up`. The picture follows the mouse: (-offset + down - up) * 100 / overflow, limited to
// 0..100. Releasing where the button went down keeps `position`, so a click never moves the
// picture; a disabled bar stays at 0.
int32_t ViewerPositionAfterDrag(int32_t position, int32_t offset, int32_t down, int32_t up,
                                int32_t picture, int32_t client);

// The client size the viewer takes for a picture: the picture itself, so that the window with
// its frame is picture + 6 wide and picture + 25 high, held to what `available` (the free screen
// area, frame included) can take, and never smaller than room for the two bars and a little
// picture.
QSize ViewerClientSize(QSize picture, QSize available);

} // namespace warplon
