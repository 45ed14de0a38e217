#pragma once

#include <cstdint>

namespace warplon {

class ByteReader;
class ByteWriter;

// Block version written for the design window's choice.
constexpr int32_t kDesignWindowBlockVersion = 1;

// Background colours of the design chart.
enum ChartBackground : int32_t {
    ChartBlack = 0,
    ChartGray = 1,
    ChartWhite = 2,
};

// What the design chart window stores with the design: its background choice.
struct DesignWindowData
{
    int32_t chartBackground = ChartBlack; // 0 black, 1 gray, 2 white
    bool operator==(const DesignWindowData &) const = default;
};

// Appends the design-window block: version 1 and the background index (an index outside the
// list is written as black).
void WriteDesignWindowBlock(ByteWriter &writer, const DesignWindowData &data);

// Reads a design-window block into data reset to black; from version 1 on the block holds the
// background index, and an index outside the list reads as black. Returns false when the block
// does not fit in the data.
bool ReadDesignWindowBlock(ByteReader &reader, DesignWindowData &data);

} // namespace warplon
