#pragma once

// User colours: named colours a designer collects in ".ucl" files and drops onto the palette,
// where each becomes a user colour carrying the collection's name and its own.

#include "color/colorconvert.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

namespace warplon {

class ByteReader;
class ByteWriter;
class TPalette;

// Size of one colour in a ".ucl" file: 22-byte name, int32 kind, u16 page, u8 number and the
// bytes blue, green, red, reserved.
constexpr int kUserColorRecordSize = 33;
constexpr int kUserColorNameSize = 22;
// The last palette entry user colours may be stored in.
constexpr int kLastUserColorEntry = 251;

struct UserColor
{
    // At most 21 characters, as the zero-terminated 22-byte field holds them.
    QByteArray name;
    // The base kind of the catalogue the colour came from (0-4); only the low 16 bits count.
    int32_t kind = 0;
    uint16_t page = 0;
    uint8_t number = 0;
    RGBQUAD color;
};

// Reads a collection: an int32 count and that many records. A count below 1 is an empty
// collection. A count the data cannot hold, or data that ends inside a record, leaves `colors`
// empty and returns false. `colors` is emptied first in every case.
bool ReadUserColors(ByteReader &reader, std::vector<UserColor> &colors);
void WriteUserColors(ByteWriter &writer, const std::vector<UserColor> &colors);

// The same on a ".ucl" file. On failure `colors` is empty and `error` says why.
bool LoadUserColorFile(const QString &fileName, std::vector<UserColor> &colors,
                       QString *error = nullptr);
// Writes through a temporary file that replaces the old one only when complete.
bool SaveUserColorFile(const QString &fileName, const std::vector<UserColor> &colors,
                       QString *error = nullptr);

// Stores colours[0], [1], ... as user colours at palette entries chosenIndex, chosenIndex + 1,
// ... while the entry is at most 251, with `fileName` (the collection's caption) and each
// colour's name. `beforeStore` (may be empty) is called with each entry just before it changes,
// for the palette window's undo snapshot. Returns how many colours were stored.
int LoadAllOnPalette(const std::vector<UserColor> &colors, TPalette &palette, int chosenIndex,
                     const QByteArray &fileName,
                     const std::function<void(int index)> &beforeStore = {});

} // namespace warplon
