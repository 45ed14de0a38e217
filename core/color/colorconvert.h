#pragma once

// Conversions between the colour forms the program meets: TColor (red | green << 8 |
// blue << 16), RGBQUAD (the bytes blue, green, red, reserved of a bitmap colour table), 24-bit
// words (red << 16 | green << 8 | blue), 15-bit 5-5-5 words, and HLS (hue in degrees with 999
// for an undefined hue, lightness and saturation 0..1). And the one nearest-colour metric that
// every catalogue search uses.

#include "base/rgbquad.h"

#include <cstdint>

namespace warplon {

using TColor = int32_t;

// Hue of a colour without one (a grey).
constexpr double kUndefinedHue = 999.0;

TColor RGB2TColor(uint8_t r, uint8_t g, uint8_t b);
void TColor2RGB(TColor c, uint8_t &r, uint8_t &g, uint8_t &b);

// Each channel is truncated toward zero, not rounded.
void HLS2RGB(double h, double l, double s, uint8_t &r, uint8_t &g, uint8_t &b);
// A grey gets the hue kUndefinedHue and saturation 0.
void RGB2HLS(uint8_t r, uint8_t g, uint8_t b, double &h, double &l, double &s);
TColor HLS2TColor(double h, double l, double s);
void TColor2HLS(TColor c, double &h, double &l, double &s);
RGBQUAD HLS2RGBQUAD(double h, double l, double s);
void RGBQUAD2HLS(RGBQUAD q, double &h, double &l, double &s);

RGBQUAD TColorToRGB(TColor c);
TColor RGBToTColor(RGBQUAD q);
RGBQUAD Color24ToRGB(uint32_t c);
uint32_t RGBToColor24(RGBQUAD q);
// Each 5-bit field v widens to (v << 3) | (v >> 2); bit 15 is ignored.
RGBQUAD Color15ToRGB(uint16_t c);
uint16_t RGBToColor15(RGBQUAD q);

// The legible text colour on a swatch of c: white on a dark colour (r + g + b < 384), else
// black.
TColor TColorToBW(TColor c);

// The nearest-colour accumulator: smallest sum of channel differences first, then the smaller
// largest channel difference; among full ties the first candidate offered stays.
class TSearchColor
{
public:
    TSearchColor(uint8_t r, uint8_t g, uint8_t b);

    enum Result { NotBetter = 0, Better = 1, Exact = 2 };
    // Offers a candidate. The caller remembers it on Better or Exact, and stops on Exact.
    int Search(uint8_t r, uint8_t g, uint8_t b);

    uint16_t bestDistance() const { return m_bestDistance; }

private:
    uint16_t m_bestDistance = 768; // above the largest possible sum, 765
    uint16_t m_bestLargest = 256;
    uint8_t m_red;
    uint8_t m_green;
    uint8_t m_blue;
};

} // namespace warplon
