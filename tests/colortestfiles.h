#pragma once

// Small colour catalogues and palettes for tests, built byte by byte from the catalogue and
// palette file layouts ("CL", version, page count, pages of entries; "CP", version, 256 colour
// records), independently of the writers under test.

#include "testsupport.h"

#include <QDir>

#include <cstdint>
#include <vector>

namespace warplon::test {

struct StandardChip
{
    uint8_t number;
    uint16_t code;
    uint8_t r, g, b;
};

struct TextileChip
{
    uint8_t number;
    uint16_t part1, part2;
    uint8_t r, g, b;
};

// One page of a standard catalogue: number u16 (its low byte is the number within the page),
// code u16, reserved byte, red, green, blue.
inline QByteArray StandardCatalogFile(uint16_t page, const std::vector<StandardChip> &chips)
{
    Bytes bytes;
    bytes.raw(QByteArrayLiteral("CL")).u16(100).u16(1).u16(page).u16(uint16_t(chips.size()));
    for (const StandardChip &c : chips)
        bytes.u16(c.number).u16(c.code).u8(0).u8(c.r).u8(c.g).u8(c.b);
    return bytes;
}

// One page of a textile catalogue: number, code part 1, code part 2, reserved, red, green, blue.
inline QByteArray TextileCatalogFile(uint16_t page, const std::vector<TextileChip> &chips)
{
    Bytes bytes;
    bytes.raw(QByteArrayLiteral("CL")).u16(100).u16(1).u16(page).u16(uint16_t(chips.size()));
    for (const TextileChip &c : chips)
        bytes.u16(c.number).u16(c.part1).u16(c.part2).u8(0).u8(c.r).u8(c.g).u8(c.b);
    return bytes;
}

// A palette file of free colours: entry i is colour(i) as red, green, blue.
template<typename Colour>
QByteArray FreePaletteFile(Colour colour)
{
    Bytes bytes;
    bytes.raw(QByteArrayLiteral("CP")).u16(110);
    for (int i = 0; i < 256; ++i) {
        const auto [r, g, b] = colour(i);
        // flags, page, number, then blue, green, red, reserved
        bytes.u16(0).u16(0).u8(0).u8(uint8_t(b)).u8(uint8_t(g)).u8(uint8_t(r)).u8(0);
    }
    return bytes;
}

// Writes the files into "color" below a program directory.
inline bool WriteColorFile(const QString &programDirectory, const QString &name,
                           const QByteArray &bytes)
{
    return QDir().mkpath(programDirectory + QStringLiteral("/color"))
           && writeFile(programDirectory + QStringLiteral("/color/") + name, bytes);
}

} // namespace warplon::test
