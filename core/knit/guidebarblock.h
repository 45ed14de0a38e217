#pragma once

#include "knit/records.h"

#include <cstdint>

namespace warplon {

class ByteReader;
class ByteWriter;

// Block version written for the guide-bar settings.
constexpr int32_t kGuideBarBlockVersion = 5;

// Appends the guide-bar settings block: version 5, default denier and filaments, the four
// formula indices, the four "No Tension" bytes, the four "Brightness By Run-in Ratio" bytes and
// the four in/out descriptions as zstrings.
void WriteGuideBarBlock(ByteWriter &writer, const GuideBarData &data);

// Reads a guide-bar settings block of any version written so far into a record reset to its
// defaults; data.version gets the stored block version. Version 1 holds the default yarn,
// 2 adds the formulas, 3 the descriptions, 4 the "No Tension" and 5 the brightness switches
// (the descriptions stay last in every version). A formula index outside d1..d3 reads as the
// default d3. Stops at the first read that does not fit and returns false, keeping what was
// read before it.
bool ReadGuideBarBlock(ByteReader &reader, GuideBarData &data);

} // namespace warplon
