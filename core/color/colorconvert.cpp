#include "color/colorconvert.h"

#include <algorithm>
#include <cstdlib>

namespace warplon {

TColor RGB2TColor(uint8_t r, uint8_t g, uint8_t b)
{
    return TColor(r) | (TColor(g) << 8) | (TColor(b) << 16);
}

void TColor2RGB(TColor c, uint8_t &r, uint8_t &g, uint8_t &b)
{
    r = uint8_t(c & 0xff);
    g = uint8_t((c >> 8) & 0xff);
    b = uint8_t((c >> 16) & 0xff);
}

namespace {

// One channel of the two-value HLS model; the hue is brought into 0..360 once.
double HueValue(double m1, double m2, double h)
{
    if (h > 360.0)
        h -= 360.0;
    else if (h < 0.0)
        h += 360.0;
    if (h < 60.0)
        return m1 + (m2 - m1) * h / 60.0;
    if (h < 180.0)
        return m2;
    if (h < 240.0)
        return m1 + (m2 - m1) * (240.0 - h) / 60.0;
    return m1;
}

// Truncation toward zero, kept within a byte for values outside 0..1. The bounds are checked
// on the double, before any conversion, so a huge or undefined value cannot overflow the int.
uint8_t ChannelByte(double value)
{
    const double scaled = value * 255.0;
    if (!(scaled > 0.0))
        return 0;
    if (scaled >= 255.0)
        return 255;
    return uint8_t(scaled);
}

} // namespace

void HLS2RGB(double h, double l, double s, uint8_t &r, uint8_t &g, uint8_t &b)
{
    const double m2 = l <= 0.5 ? l * (1.0 + s) : l + s - l * s;
    const double m1 = 2.0 * l - m2;
    if (s == 0.0) {
        r = g = b = ChannelByte(l);
        return;
    }
    r = ChannelByte(HueValue(m1, m2, h + 120.0));
    g = ChannelByte(HueValue(m1, m2, h));
    b = ChannelByte(HueValue(m1, m2, h - 120.0));
}

void RGB2HLS(uint8_t r, uint8_t g, uint8_t b, double &h, double &l, double &s)
{
    const double red = r / 255.0;
    const double green = g / 255.0;
    const double blue = b / 255.0;
    const double high = std::max({red, green, blue});
    const double low = std::min({red, green, blue});
    l = (high + low) / 2.0;
    if (high == low) {
        s = 0.0;
        h = kUndefinedHue;
        return;
    }
    const double d = high - low;
    s = l <= 0.5 ? d / (high + low) : d / (2.0 - high - low);
    if (red == high)
        h = (green - blue) / d;
    else if (green == high)
        h = 2.0 + (blue - red) / d;
    else
        h = 4.0 + (red - green) / d;
    h *= 60.0;
    if (h < 0.0)
        h += 360.0;
}

TColor HLS2TColor(double h, double l, double s)
{
    uint8_t r, g, b;
    HLS2RGB(h, l, s, r, g, b);
    return RGB2TColor(r, g, b);
}

void TColor2HLS(TColor c, double &h, double &l, double &s)
{
    uint8_t r, g, b;
    TColor2RGB(c, r, g, b);
    RGB2HLS(r, g, b, h, l, s);
}

RGBQUAD HLS2RGBQUAD(double h, double l, double s)
{
    RGBQUAD q;
    HLS2RGB(h, l, s, q.rgbRed, q.rgbGreen, q.rgbBlue);
    return q;
}

void RGBQUAD2HLS(RGBQUAD q, double &h, double &l, double &s)
{
    RGB2HLS(q.rgbRed, q.rgbGreen, q.rgbBlue, h, l, s);
}

RGBQUAD TColorToRGB(TColor c)
{
    RGBQUAD q;
    TColor2RGB(c, q.rgbRed, q.rgbGreen, q.rgbBlue);
    return q;
}

TColor RGBToTColor(RGBQUAD q)
{
    return RGB2TColor(q.rgbRed, q.rgbGreen, q.rgbBlue);
}

RGBQUAD Color24ToRGB(uint32_t c)
{
    RGBQUAD q;
    q.rgbBlue = uint8_t(c & 0xff);
    q.rgbGreen = uint8_t((c >> 8) & 0xff);
    q.rgbRed = uint8_t((c >> 16) & 0xff);
    return q;
}

uint32_t RGBToColor24(RGBQUAD q)
{
    return (uint32_t(q.rgbRed) << 16) | (uint32_t(q.rgbGreen) << 8) | q.rgbBlue;
}

RGBQUAD Color15ToRGB(uint16_t c)
{
    const auto widen = [](unsigned v) { return uint8_t((v << 3) | (v >> 2)); };
    RGBQUAD q;
    q.rgbBlue = widen(c & 0x1f);
    q.rgbGreen = widen((c >> 5) & 0x1f);
    q.rgbRed = widen((c >> 10) & 0x1f);
    return q;
}

uint16_t RGBToColor15(RGBQUAD q)
{
    return uint16_t(((q.rgbRed & 0xF8) << 7) | ((q.rgbGreen & 0xF8) << 2) | (q.rgbBlue >> 3));
}

TColor TColorToBW(TColor c)
{
    uint8_t r, g, b;
    TColor2RGB(c, r, g, b);
    return int(r) + g + b < 384 ? 0xFFFFFF : 0;
}

TSearchColor::TSearchColor(uint8_t r, uint8_t g, uint8_t b)
    : m_red(r)
    , m_green(g)
    , m_blue(b)
{}

int TSearchColor::Search(uint8_t r, uint8_t g, uint8_t b)
{
    const int dr = std::abs(int(r) - m_red);
    const int dg = std::abs(int(g) - m_green);
    const int db = std::abs(int(b) - m_blue);
    const int sum = dr + dg + db;
    if (sum == 0)
        return Exact;
    const int largest = std::max({dr, dg, db});
    if (sum < m_bestDistance) {
        m_bestDistance = uint16_t(sum);
        m_bestLargest = uint16_t(largest);
        return Better;
    }
    if (sum == m_bestDistance && dr < m_bestLargest && dg < m_bestLargest && db < m_bestLargest) {
        m_bestLargest = uint16_t(largest);
        return Better;
    }
    return NotBetter;
}

} // namespace warplon
