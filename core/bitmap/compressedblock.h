#pragma once

#include "base/bytestream.h"

#include <QtGlobal>

namespace warplon {

// Pixel blocks inside the program's files are stored with one of three methods:
// 0 the raw bytes with no length, 1 refused, 2 a u32 length n followed by n bytes that are a
// zlib stream when it came out smaller than the raw size, the raw bytes otherwise.
enum PixelMethod : int {
    kPixelsRaw = 0,
    kPixelsRefused = 1,
    kPixelsPacked = 2,
};

// Appends `size` bytes of `data` with the given method. False for method 1, an unknown method,
// a size that the u32 length cannot carry or a buffer that cannot be allocated.
bool WriteCompressedBlock(ByteWriter &out, const uchar *data, qsizetype size, int method);

// Reads a block written with `method` into `destination`, whose capacity is the raw size `size`
// (the block itself does not store it). True only when exactly `size` bytes were produced.
// A stored length larger than the rest of the data fails the reader without allocating; a zlib
// stream that does not unpack to exactly `size` bytes gives false but leaves the reader just past
// the block, so the blocks after it can still be read.
bool ReadCompressedBlock(ByteReader &in, uchar *destination, qsizetype size, int method);

} // namespace warplon
