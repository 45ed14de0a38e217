#include "color/colordata.h"

#include "base/bytestream.h"

namespace warplon {

const std::array<uint16_t, 148> kPantone1000Pages = {
    11,  12,  13,  20,  30,  40,  50,  55,  60,  70,  75,  80,  90,   95,   100, 105, 110, 115, 120,
    130, 135, 137, 140, 150, 155, 160, 170, 180, 190, 200, 210, 220,  225,  230, 240, 250, 252, 253,
    257, 260, 265, 270, 275, 276, 277, 278, 280, 290, 300, 305, 310,  315,  320, 330, 335, 340, 350,
    352, 355, 358, 360, 370, 375, 380, 390, 400, 410, 420, 430, 440,  450,  455, 460, 470, 480, 490,
    500, 510, 520, 521, 522, 523, 524, 530, 535, 540, 550, 555, 560,  565,  570, 580, 590, 600, 605,
    610, 620, 625, 630, 635, 640, 645, 650, 660, 665, 670, 673, 677,  680,  685, 690, 695, 700, 710,
    713, 717, 720, 725, 730, 740, 750, 760, 770, 780, 790, 800, 810,  820,  830, 840, 850, 860, 870,
    880, 890, 900, 910, 920, 930, 940, 950, 960, 970, 980, 990, 1000, 1010, 1020};

bool TTexColor::Read(ByteReader &reader)
{
    reader.readU8(kind);
    reader.readU8(red);
    reader.readU8(green);
    reader.readU8(blue);
    reader.readU16(page);
    reader.readU8(number);
    reader.readU8(unused);
    return reader.ok();
}

void TColorData::DeleteUserColor()
{
    if (!IsUserColor())
        return;
    FileName.clear();
    ColorName.clear();
}

void TColorData::SetCatalogColor(uint16_t kind, uint16_t page, uint8_t number, uint8_t r, uint8_t g,
                                 uint8_t b)
{
    DeleteUserColor();
    SetKind(kind);
    PageNumber = page;
    ColorNumber = number;
    color = RGBQUAD{b, g, r, 0};
}

void TColorData::SetNormal(uint8_t r, uint8_t g, uint8_t b)
{
    SetCatalogColor(ColorNormal, 0, 0, r, g, b);
}

void TColorData::SetPrinterColor(uint16_t page, uint8_t number, uint8_t r, uint8_t g, uint8_t b)
{
    SetCatalogColor(ColorNormal, page, number, r, g, b);
}

void TColorData::SetPantone1000(uint16_t page, uint8_t number, uint8_t r, uint8_t g, uint8_t b)
{
    SetCatalogColor(ColorPantone1000, page, number, r, g, b);
}

void TColorData::SetPantoneTextile(uint16_t page, uint8_t number, uint8_t r, uint8_t g, uint8_t b)
{
    SetCatalogColor(ColorPantoneTextile, page, number, r, g, b);
}

void TColorData::SetKvStandardColor(uint16_t page, uint8_t number, uint8_t r, uint8_t g, uint8_t b)
{
    SetCatalogColor(ColorKvStandard, page, number, r, g, b);
}

void TColorData::SetKvTextileColor(uint16_t page, uint8_t number, uint8_t r, uint8_t g, uint8_t b)
{
    SetCatalogColor(ColorKvTextile, page, number, r, g, b);
}

void TColorData::SetUserColor(uint16_t kind, uint16_t page, uint8_t number, uint8_t r, uint8_t g,
                              uint8_t b, const QByteArray &fileName, const QByteArray &colorName)
{
    SetCatalogColor(uint16_t(kind | kUserColorFlag), page, number, r, g, b);
    // The names are texts: a copy ends at the first zero byte.
    FileName = bufferText(fileName, fileName.size() + 1);
    ColorName = bufferText(colorName, colorName.size() + 1);
}

void TColorData::SetTexColor(const TTexColor &tex)
{
    DeleteUserColor();
    // Old records hold 6-bit channels; v * 4 | v / 16 spreads 0..63 over 0..255.
    const auto widen = [](uint8_t v) { return uint8_t((v * 4) | (v / 16)); };
    color = RGBQUAD{widen(tex.blue), widen(tex.green), widen(tex.red), 0};
    if (tex.kind < 3) {
        ColorFlags = tex.kind;
        PageNumber = tex.page;
        ColorNumber = tex.number;
        PantoneToKvColor();
    } else {
        ColorFlags = 0;
        PageNumber = 0;
        ColorNumber = 0;
    }
}

void TColorData::PantoneToKvColor()
{
    const uint16_t kind = ColorFlags & 15;
    if (kind == ColorPantone1000) {
        ColorFlags = uint16_t(ColorFlags + 2);
        // Every later entry is compared with the page as it stands, so the walk goes on after
        // a match.
        for (size_t i = 0; i < kPantone1000Pages.size(); ++i) {
            if (PageNumber == kPantone1000Pages[i])
                PageNumber = uint16_t(i + 1 + 20);
        }
    } else if (kind == ColorPantoneTextile) {
        ColorFlags = uint16_t(ColorFlags + 2);
        PageNumber = uint16_t(PageNumber + 1000);
    }
}

bool TColorData::Compare(const TColorData &other) const
{
    if (ColorFlags != other.ColorFlags || PageNumber != other.PageNumber
        || ColorNumber != other.ColorNumber || color.rgbRed != other.color.rgbRed
        || color.rgbGreen != other.color.rgbGreen || color.rgbBlue != other.color.rgbBlue)
        return false;
    return !IsUserColor() || (FileName == other.FileName && ColorName == other.ColorName);
}

void TColorData::Copy(const TColorData &source)
{
    if (&source == this)
        return;
    DeleteUserColor();
    ColorFlags = source.ColorFlags;
    PageNumber = source.PageNumber;
    ColorNumber = source.ColorNumber;
    color = source.color;
    if (IsUserColor()) {
        FileName = source.FileName;
        ColorName = source.ColorName;
    }
}

bool TColorData::LoadFromFile(ByteReader &reader, int format)
{
    DeleteUserColor();
    ColorFlags = 0;
    PageNumber = 0;
    ColorNumber = 0;
    color = RGBQUAD();
    const auto readColor = [&] {
        reader.readU8(color.rgbBlue);
        reader.readU8(color.rgbGreen);
        reader.readU8(color.rgbRed);
        reader.readU8(color.rgbReserved);
    };
    reader.readU16(ColorFlags);
    reader.readU16(PageNumber);
    reader.readU8(ColorNumber);
    if (format == ColorRecordOld) {
        reader.skip(1);
        readColor();
    } else {
        readColor();
        if (IsUserColor()) {
            // The name lengths are u16, so a hostile record can ask for 64 KiB at most, and
            // the reader refuses more than it holds.
            // A name ends at its first zero byte, as the zero-filled buffer of length + 1
            // bytes it is read into ends it.
            const auto readName = [&](QByteArray &name) {
                uint16_t length = 0;
                QByteArray raw;
                if (reader.readU16(length) && reader.readBytes(length, raw))
                    name = bufferText(raw, raw.size() + 1);
            };
            readName(FileName);
            readName(ColorName);
        }
    }
    PantoneToKvColor();
    return reader.ok();
}

void TColorData::SaveToFile(ByteWriter &writer) const
{
    writer.writeU16(ColorFlags);
    writer.writeU16(PageNumber);
    writer.writeU8(ColorNumber);
    writer.writeU8(color.rgbBlue);
    writer.writeU8(color.rgbGreen);
    writer.writeU8(color.rgbRed);
    writer.writeU8(color.rgbReserved);
    if (IsUserColor()) {
        const auto writeName = [&](const QByteArray &name) {
            const QByteArray stored = name.left(0xFFFF);
            writer.writeU16(uint16_t(stored.size()));
            writer.writeBytes(stored);
        };
        writeName(FileName);
        writeName(ColorName);
    }
}

} // namespace warplon
