#pragma once

// One colour as a palette or a colour window keeps it: the RGB value and where it came from
// (a free colour, a printer-atlas colour, a catalogue entry, or a user colour carrying the name
// of its collection file and its own name).

#include "color/colorconvert.h"

#include <QByteArray>

#include <array>
#include <cstdint>

namespace warplon {

class ByteReader;
class ByteWriter;

// Base kinds in the low four bits of ColorFlags; free and printer colours share kind 0 and
// differ by the page number (0 for a free colour).
enum ColorKind : uint16_t {
    ColorNormal = 0,
    ColorPantone1000 = 1,
    ColorPantoneTextile = 2,
    ColorKvStandard = 3,
    ColorKvTextile = 4,
};
constexpr uint16_t kUserColorFlag = 16;
constexpr uint16_t kProtectFlag = 128;

// Record layouts of a colour in palette and design files.
enum ColorRecordFormat { ColorRecordOld = 0, ColorRecordCurrent = 1 };

// The 8-byte colour record of old palettes and designs: kind (3 and above: a free colour),
// 6-bit red, green and blue, the u16 page and the number within it.
struct TTexColor
{
    uint8_t kind = 0;
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint16_t page = 0;
    uint8_t number = 0;
    uint8_t unused = 0;

    bool Read(ByteReader &reader);
};

class TColorData
{
public:
    virtual ~TColorData() = default;

    uint16_t ColorFlags = 0;
    uint16_t PageNumber = 0;
    uint8_t ColorNumber = 0;
    RGBQUAD color;
    // Only a user colour carries these; every setter clears them first.
    QByteArray FileName;
    QByteArray ColorName;

    // Base kind plus the user flag.
    uint16_t GetKind() const { return ColorFlags & 31; }
    // Rewrites bits 0-4 only, so the protect flag survives.
    void SetKind(uint16_t kind) { ColorFlags = uint16_t((ColorFlags & 0xE0) | kind); }
    uint16_t GetProtect() const { return (ColorFlags & kProtectFlag) ? 1 : 0; }
    void SetProtect(uint16_t protect)
    {
        ColorFlags = uint16_t((ColorFlags & 0x7F) | (protect << 7));
    }
    bool IsUserColor() const { return (ColorFlags & kUserColorFlag) != 0; }
    TColor GetColor() const { return RGBToTColor(color); }

    void SetNormal(uint8_t r, uint8_t g, uint8_t b);
    void SetPrinterColor(uint16_t page, uint8_t number, uint8_t r, uint8_t g, uint8_t b);
    void SetPantone1000(uint16_t page, uint8_t number, uint8_t r, uint8_t g, uint8_t b);
    void SetPantoneTextile(uint16_t page, uint8_t number, uint8_t r, uint8_t g, uint8_t b);
    void SetKvStandardColor(uint16_t page, uint8_t number, uint8_t r, uint8_t g, uint8_t b);
    void SetKvTextileColor(uint16_t page, uint8_t number, uint8_t r, uint8_t g, uint8_t b);
    void SetUserColor(uint16_t kind, uint16_t page, uint8_t number, uint8_t r, uint8_t g, uint8_t b,
                      const QByteArray &fileName, const QByteArray &colorName);
    // Overwrites the whole flag word.
    void SetTexColor(const TTexColor &tex);

    // Pantone colours become the program's own catalogue colours: Pantone 1000 pages map to
    // standard pages 21-168, Pantone textile pages move up by 1000.
    void PantoneToKvColor();

    // Same flags, page, number and RGB (not the reserved byte) and, for user colours, the same
    // two names.
    bool Compare(const TColorData &other) const;
    void Copy(const TColorData &source);

    // One file record; a record cut short leaves the fields not reached cleared. Returns false
    // when the reader ran out. PantoneToKvColor runs after either layout.
    bool LoadFromFile(ByteReader &reader, int format);
    // Writes the current layout.
    void SaveToFile(ByteWriter &writer) const;

private:
    void DeleteUserColor();
    void SetCatalogColor(uint16_t kind, uint16_t page, uint8_t number, uint8_t r, uint8_t g,
                         uint8_t b);
};

// The Pantone 1000 page numbers whose position i (from 1) maps to standard page i + 20.
extern const std::array<uint16_t, 148> kPantone1000Pages;

} // namespace warplon
