#pragma once

#include <cstdint>

namespace warplon {

// One colour in the byte order of a bitmap colour table and of the colour files: blue, green,
// red and a reserved byte.
struct RGBQUAD
{
    uint8_t rgbBlue = 0;
    uint8_t rgbGreen = 0;
    uint8_t rgbRed = 0;
    uint8_t rgbReserved = 0;

    friend bool operator==(const RGBQUAD &, const RGBQUAD &) = default;
};

} // namespace warplon
