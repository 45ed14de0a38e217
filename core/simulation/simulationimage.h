#pragma once

#include "base/bytestream.h"
#include "bitmap/corvexbitmap.h"

#include <cstdint>

namespace warplon {

// Size of the preview picture at the head of a design file.
constexpr int kPreviewWidth = 80;
constexpr int kPreviewHeight = 100;

// The simulation picture block of the design file. Version 4 and later: byte 1, int32 width,
// int32 height, the mode byte, the pixel stream in that mode. Version 3 leaves out the mode byte
// and stores raw rows; versions 1 and 2 leave it out and store a length-prefixed stream. An empty
// picture is a single byte 0. When the pixels cannot be written (an unknown or refused mode) the
// block is rolled back to that single byte 0 and the result is false.
bool WriteSimulationImageBlock(ByteWriter &out, const TCorvexBitmap &picture, int32_t version,
                               uint8_t mode);

// Reads the block written for `fileVersion` into a 24-bit picture. Sizes that are not positive,
// too large, or larger than the rest of the data could hold are refused before allocating and
// fail the reader. A failed read leaves the picture empty.
bool ReadSimulationImageBlock(ByteReader &in, TCorvexBitmap &picture, int32_t fileVersion);

// The 80 x 100 24-bit preview: the whole picture shrunk colour on colour (each preview pixel is
// one picture pixel, never a blend), or the background colour (a TColor) when there is none.
TCorvexBitmap MakePreview(const TCorvexBitmap &picture, int32_t backgroundColor);

// Sizes `preview` to 80 x 100 x 24 bits and reads its raw rows (100 rows of 240 bytes). On
// failure the preview is left empty.
bool ReadPreviewPixels(ByteReader &in, TCorvexBitmap &preview);

} // namespace warplon
