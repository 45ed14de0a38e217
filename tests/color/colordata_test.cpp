#include "base/bytestream.h"
#include "color/colordata.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

using namespace warplon;
using test::Bytes;

namespace {

// Low byte first. (Not QByteArray{lo, hi}: that is the size-and-fill constructor.)
QByteArray u16le(uint16_t v)
{
    return Bytes().u8(uint8_t(v & 0xff)).u8(uint8_t(v >> 8));
}

struct Rgb
{
    int r, g, b;
};

Rgb hlsToRgb(double h, double l, double s)
{
    uint8_t r = 0, g = 0, b = 0;
    HLS2RGB(h, l, s, r, g, b);
    return {r, g, b};
}

} // namespace

TEST(ColorConvert, HlsToRgbTruncatesAndWrapsHueOnce)
{
    struct Case
    {
        double h, l, s;
        Rgb rgb;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {999, 0.5, 0, {127, 127, 127}}, // grey: 127.5 truncates
        {0, 0.5, 1, {255, 0, 0}},
        {360, 0.5, 1, {255, 0, 0}}, // 360 is not wrapped, but V(360) = V(0) = m1
        {120, 0.5, 1, {0, 255, 0}},
        {240, 0.5, 1, {0, 0, 255}},
        {30, 0.5, 1, {255, 127, 0}},     // green 0.5 * 255 = 127.5
        {10, 0.5, 1, {255, 42, 0}},      // green 1/6 * 255 = 42.5
        {370, 0.5, 1, {255, 42, 0}},     // above 360: one turn back
        {-350, 0.5, 1, {255, 42, 0}},    // below 0: one turn forward
        {0, 0.75, 0.5, {223, 159, 159}}, // light branch: m2 = L + S - LS
        {0, 0.25, 0.5, {95, 31, 31}},    // dark branch: m2 = L (1 + S)
        {0, 1.5, 0, {255, 255, 255}},    // beyond white stays white
        {0, -0.5, 0, {0, 0, 0}},
        {0, nan, 0, {0, 0, 0}},
    };
    for (const Case &c : cases) {
        const Rgb got = hlsToRgb(c.h, c.l, c.s);
        EXPECT_EQ(got.r, c.rgb.r) << c.h << " " << c.l << " " << c.s;
        EXPECT_EQ(got.g, c.rgb.g) << c.h << " " << c.l << " " << c.s;
        EXPECT_EQ(got.b, c.rgb.b) << c.h << " " << c.l << " " << c.s;
    }
    const RGBQUAD quad = HLS2RGBQUAD(30, 0.5, 1);
    EXPECT_EQ(quad, (RGBQUAD{0, 127, 255, 0}));
    EXPECT_EQ(HLS2TColor(30, 0.5, 1), 0x007FFF);
}

TEST(ColorConvert, RgbToHlsMarksGreysAndComesBackWithinOne)
{
    double h = 0, l = 0, s = 0;
    RGB2HLS(128, 128, 128, h, l, s);
    EXPECT_EQ(h, kUndefinedHue);
    EXPECT_EQ(s, 0.0);
    EXPECT_DOUBLE_EQ(l, 128.0 / 255.0);

    struct Case
    {
        Rgb rgb;
        double h, l, s;
    };
    const Case cases[] = {
        {{255, 0, 0}, 0, 0.5, 1},
        {{0, 255, 0}, 120, 0.5, 1},
        {{0, 0, 255}, 240, 0.5, 1},
        {{255, 0, 255}, 300, 0.5, 1}, // negative hue turned round
        {{200, 100, 100}, 0, 300.0 / 510, (100.0 / 255) / (2 - 300.0 / 255)}, // light branch
        {{100, 50, 50}, 0, 150.0 / 510, 50.0 / 150},                          // dark branch
    };
    for (const Case &c : cases) {
        RGB2HLS(uint8_t(c.rgb.r), uint8_t(c.rgb.g), uint8_t(c.rgb.b), h, l, s);
        EXPECT_NEAR(h, c.h, 1e-9) << c.rgb.r << " " << c.rgb.g << " " << c.rgb.b;
        EXPECT_NEAR(l, c.l, 1e-9) << c.rgb.r << " " << c.rgb.g << " " << c.rgb.b;
        EXPECT_NEAR(s, c.s, 1e-9) << c.rgb.r << " " << c.rgb.g << " " << c.rgb.b;
    }

    // Through HLS and back, truncation may lose at most one step per channel, never gain.
    for (int r = 0; r < 256; r += 17) {
        for (int g = 0; g < 256; g += 17) {
            for (int b = 0; b < 256; b += 17) {
                TColor2HLS(RGB2TColor(uint8_t(r), uint8_t(g), uint8_t(b)), h, l, s);
                const Rgb back = hlsToRgb(h, l, s);
                EXPECT_TRUE(back.r <= r && back.r >= r - 1 && back.g <= g && back.g >= g - 1
                            && back.b <= b && back.b >= b - 1)
                    << r << " " << g << " " << b << " -> " << back.r << " " << back.g << " "
                    << back.b;
            }
        }
    }
}

TEST(ColorConvert, PackedForms)
{
    EXPECT_EQ(RGB2TColor(1, 2, 3), 0x030201);
    uint8_t r = 0, g = 0, b = 0;
    TColor2RGB(0x7F030201, r, g, b); // the top byte is not a channel
    EXPECT_EQ(int(r) * 10000 + g * 100 + b, 10203);
    EXPECT_EQ(TColorToRGB(0x030201), (RGBQUAD{3, 2, 1, 0}));
    EXPECT_EQ(RGBToTColor(RGBQUAD{3, 2, 1, 99}), 0x030201);
    EXPECT_EQ(Color24ToRGB(0x123456), (RGBQUAD{0x56, 0x34, 0x12, 0}));
    EXPECT_EQ(RGBToColor24(RGBQUAD{0x56, 0x34, 0x12, 0}), 0x123456u);

    EXPECT_EQ(Color15ToRGB(0x7FFF), (RGBQUAD{255, 255, 255, 0}));
    EXPECT_EQ(Color15ToRGB(0x8000 | (1 << 10) | (16 << 5) | 31), (RGBQUAD{255, 132, 8, 0}));
    EXPECT_EQ(RGBToColor15(RGBQUAD{255, 255, 255, 0}), 0x7FFF);
    EXPECT_EQ(RGBToColor15(RGBQUAD{7, 8, 0xF7, 0}), (30 << 10) | (1 << 5) | 0);

    EXPECT_EQ(TColorToBW(RGB2TColor(128, 128, 127)), 0xFFFFFF); // sum 383: white text
    EXPECT_EQ(TColorToBW(RGB2TColor(128, 128, 128)), 0);        // sum 384: black text
}

TEST(SearchColor, TiesGoToTheSmallerLargestDifferenceThenTheFirst)
{
    struct Case
    {
        const char *what;
        Rgb target;
        std::vector<Rgb> candidates;
        int winner;
    };
    const std::vector<Case> cases = {
        {"spread beats peak", {10, 10, 10}, {{13, 10, 10}, {11, 11, 11}}, 1},
        {"peak loses to earlier spread", {10, 10, 10}, {{11, 11, 11}, {13, 10, 10}}, 0},
        {"full tie keeps the first", {10, 10, 10}, {{12, 10, 10}, {10, 12, 10}, {10, 10, 8}}, 0},
        {"equal largest is not better", {10, 10, 10}, {{12, 11, 10}, {11, 12, 10}}, 0},
        {"smaller sum wins whatever its peak", {0, 0, 0}, {{2, 2, 2}, {5, 0, 0}}, 1},
        {"the farthest colour still counts", {0, 0, 0}, {{255, 255, 255}}, 0},
        {"exact match", {7, 8, 9}, {{7, 8, 10}, {7, 8, 9}, {7, 8, 9}}, 1},
    };
    for (const Case &c : cases) {
        TSearchColor search(uint8_t(c.target.r), uint8_t(c.target.g), uint8_t(c.target.b));
        int winner = -1;
        for (size_t i = 0; i < c.candidates.size(); ++i) {
            const Rgb &k = c.candidates[i];
            const int result = search.Search(uint8_t(k.r), uint8_t(k.g), uint8_t(k.b));
            if (result != TSearchColor::NotBetter)
                winner = int(i);
            if (result == TSearchColor::Exact)
                break;
        }
        EXPECT_EQ(winner, c.winner) << c.what;
    }
}

TEST(ColorData, SettersKeepTheProtectFlagAndFreeUserNames)
{
    TColorData color;
    color.SetProtect(1);
    color.SetUserColor(ColorKvTextile, 1019, 5, 1, 2, 3, QByteArrayLiteral("mine.ucl"),
                       QByteArrayLiteral("Navy"));
    EXPECT_EQ(color.GetKind(), ColorKvTextile | kUserColorFlag);
    EXPECT_EQ(color.GetProtect(), 1);
    EXPECT_EQ(color.FileName, QByteArrayLiteral("mine.ucl"));

    color.SetNormal(4, 5, 6);
    EXPECT_EQ(color.GetKind(), 0);
    EXPECT_EQ(color.GetProtect(), 1);
    EXPECT_TRUE(color.FileName.isNull() || color.FileName.isEmpty());
    EXPECT_TRUE(color.ColorName.isEmpty());
    EXPECT_EQ(color.GetColor(), RGB2TColor(4, 5, 6));

    color.SetPrinterColor(541, 3, 7, 7, 7);
    EXPECT_EQ(color.GetKind(), 0);
    EXPECT_EQ(color.PageNumber, 541);

    // The legacy record replaces the whole flag word, protect flag included.
    TTexColor tex;
    tex.kind = 7;
    tex.red = 63;
    tex.green = 32;
    tex.blue = 1;
    tex.page = 12;
    tex.number = 3;
    color.SetTexColor(tex);
    EXPECT_EQ(color.ColorFlags, 0);
    EXPECT_EQ(color.PageNumber, 0); // a free colour carries no page
    EXPECT_EQ(color.ColorNumber, 0);
    EXPECT_EQ(color.color, (RGBQUAD{4, 130, 255, 0})); // 6-bit channels widened

    tex.kind = 1;
    tex.page = 115;
    color.SetTexColor(tex);
    EXPECT_EQ(color.GetKind(), ColorKvStandard);
    EXPECT_EQ(color.PageNumber, 38);
    EXPECT_EQ(color.ColorNumber, 3);
}

TEST(ColorData, PantonePagesBecomeOwnCataloguePagesOnce)
{
    struct Case
    {
        uint16_t flags;
        uint16_t page;
        uint16_t flagsAfter;
        uint16_t pageAfter;
    };
    const Case cases[] = {
        {1, 11, 3, 21},        // first table entry
        {1, 115, 3, 38},       // entry 18
        {1, 1020, 3, 168},     // last entry
        {1, 70, 3, 30},        // 30 is an earlier table entry: not mapped a second time
        {1, 130, 3, 40},       // likewise 40
        {1, 999, 3, 999},      // not in the table: only the kind changes
        {1, 21, 3, 21},        // already an own page number
        {0x91, 115, 0x93, 38}, // user and protect flags ride along
        {2, 19, 4, 1019},      {0x12, 0, 0x14, 1000},
        {3, 115, 3, 115}, // own catalogue colours stay
        {0, 115, 0, 115}, // a printer colour stays
    };
    for (const Case &c : cases) {
        TColorData color;
        color.ColorFlags = c.flags;
        color.PageNumber = c.page;
        color.PantoneToKvColor();
        EXPECT_EQ(color.ColorFlags, c.flagsAfter) << c.flags << " " << c.page;
        EXPECT_EQ(color.PageNumber, c.pageAfter) << c.flags << " " << c.page;
    }
}

TEST(ColorData, CompareIgnoresTheReservedByteButNotNameCase)
{
    TColorData a;
    TColorData b;
    a.SetUserColor(ColorKvStandard, 21, 1, 9, 8, 7, QByteArrayLiteral("a.ucl"),
                   QByteArrayLiteral("Red"));
    b.Copy(a);
    EXPECT_TRUE(a.Compare(b));
    b.color.rgbReserved = 5;
    EXPECT_TRUE(a.Compare(b));
    b.ColorName = QByteArrayLiteral("red");
    EXPECT_FALSE(a.Compare(b));
    b.Copy(a);
    b.SetProtect(1);
    EXPECT_FALSE(a.Compare(b));

    TColorData c;
    c.SetKvStandardColor(21, 1, 9, 8, 7);
    c.FileName = QByteArrayLiteral("left over"); // names of a non-user colour are not compared
    TColorData d;
    d.SetKvStandardColor(21, 1, 9, 8, 7);
    EXPECT_TRUE(c.Compare(d));
}

TEST(ColorData, FileRecordsInBothLayouts)
{
    // Current layout: flags, page, number, blue, green, red, reserved, then the two names of a
    // user colour, each a u16 length and its bytes.
    const QByteArray current = Bytes()
                                   .raw(u16le(0x11)) // user flag + Pantone 1000
                                   .raw(u16le(115))
                                   .u8(4)
                                   .u8(30)
                                   .u8(20)
                                   .u8(10)
                                   .u8(0)
                                   .raw(u16le(5))
                                   .raw("a.ucl")
                                   .raw(u16le(4))
                                   .raw("Navy");
    TColorData color;
    ByteReader reader(current);
    ASSERT_TRUE(color.LoadFromFile(reader, ColorRecordCurrent));
    EXPECT_EQ(reader.remaining(), 0);
    EXPECT_EQ(color.GetKind(), ColorKvStandard | kUserColorFlag);
    EXPECT_EQ(color.PageNumber, 38);
    EXPECT_EQ(color.ColorNumber, 4);
    EXPECT_EQ(color.color, (RGBQUAD{30, 20, 10, 0}));
    EXPECT_EQ(color.FileName, QByteArrayLiteral("a.ucl"));
    EXPECT_EQ(color.ColorName, QByteArrayLiteral("Navy"));

    // Written back it is the current layout of the converted colour.
    ByteWriter writer;
    color.SaveToFile(writer);
    QByteArray expected = current;
    expected[0] = 0x13;
    expected[2] = 38;
    expected[3] = 0;
    EXPECT_EQ(writer.data(), expected);

    // Old layout: an unused byte before the colour, no names even with the user flag.
    const QByteArray old
        = Bytes().raw(u16le(0x12)).raw(u16le(19)).u8(2).u8(0xEE).u8(1).u8(2).u8(3).u8(0).u8(0x77);
    ByteReader oldReader(old);
    ASSERT_TRUE(color.LoadFromFile(oldReader, ColorRecordOld));
    EXPECT_EQ(oldReader.position(), 10);
    EXPECT_EQ(color.GetKind(), ColorKvTextile | kUserColorFlag);
    EXPECT_EQ(color.PageNumber, 1019);
    EXPECT_EQ(color.color, (RGBQUAD{1, 2, 3, 0}));
    EXPECT_TRUE(color.FileName.isEmpty());
}

TEST(ColorData, ShortOrHostileRecordsLeaveClearedFields)
{
    TColorData color;
    color.SetUserColor(ColorKvStandard, 21, 1, 9, 8, 7, QByteArrayLiteral("a.ucl"),
                       QByteArrayLiteral("Red"));

    // Cut inside the colour: flags, page and number arrive, the rest stays cleared.
    const QByteArray cut = Bytes().raw(u16le(3)).raw(u16le(22)).u8(6).u8(50);
    ByteReader reader(cut);
    EXPECT_FALSE(color.LoadFromFile(reader, ColorRecordCurrent));
    EXPECT_EQ(color.GetKind(), ColorKvStandard);
    EXPECT_EQ(color.PageNumber, 22);
    EXPECT_EQ(color.ColorNumber, 6);
    EXPECT_EQ(color.color.rgbBlue, 50);
    EXPECT_EQ(color.color.rgbRed, 0);
    EXPECT_TRUE(color.FileName.isEmpty());

    // A name length far beyond the data is refused without reading or allocating for it.
    const QByteArray hostile
        = Bytes().raw(u16le(0x10)).raw(u16le(0)).u8(0).zeros(4).raw(u16le(0xFFFF)).raw("ab");
    ByteReader hostileReader(hostile);
    EXPECT_FALSE(color.LoadFromFile(hostileReader, ColorRecordCurrent));
    EXPECT_TRUE(color.FileName.isEmpty());
    EXPECT_TRUE(color.ColorName.isEmpty());

    // A stored name ends at its first zero byte, as a text does.
    const QByteArray zero = Bytes()
                                .raw(u16le(0x10))
                                .raw(u16le(0))
                                .u8(0)
                                .zeros(4)
                                .raw(u16le(4))
                                .raw(QByteArray("ab\0c", 4))
                                .raw(u16le(1))
                                .raw("x");
    ByteReader zeroReader(zero);
    EXPECT_TRUE(color.LoadFromFile(zeroReader, ColorRecordCurrent));
    EXPECT_EQ(color.FileName, QByteArrayLiteral("ab"));
    EXPECT_EQ(color.ColorName, QByteArrayLiteral("x"));
}
