#pragma once

#include "knit/records.h"

#include <cstdint>

namespace warplon {

class ByteReader;
class ByteWriter;

// Block version written for the design header; MainData.version after every read.
constexpr int32_t kHeaderBlockVersion = 2;

// Appends the design header block: version 2, the file name and the three notes as zstrings,
// then barCount, courseCount, gauge, coursesPerCm and widthInch.
void WriteHeaderBlock(ByteWriter &writer, const MainData &header);

// Reads a design header block of any version written so far. The four texts are emptied first;
// note2 exists from block version 2 on, everything else from version 1; a block version of 0 or
// less holds nothing more. Numbers are taken as stored: the main window clamps them when it
// applies the header. header.version is 2 afterwards. Stops at the first read that does not fit
// and returns false, keeping what was read before it.
bool ReadHeaderBlock(ByteReader &reader, MainData &header);

} // namespace warplon
