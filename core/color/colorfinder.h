#pragma once

// The Finder of the palette window: which palette files (".fcr") and user colour collections
// (".ucl") hold a catalogue colour. A colour is matched by its catalogue identity (kind, page
// and number within the page), not by its RGB value, so a palette keeps matching after the
// catalogue's colours were retuned.

#include "color/colordata.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace warplon {

struct ColorIdentity
{
    // Base kind as files keep it after loading: 0 (printer colour), 3 (own standard) or
    // 4 (own textile). Pantone identities are turned into the own kinds first, as every
    // palette load does.
    uint16_t kind = 0;
    uint16_t page = 0;
    uint8_t number = 0;

    bool operator==(const ColorIdentity &) const = default;
};

// The identity of a kind (the user flag and the protect flag are ignored), page and number;
// nothing for a free colour (kind 0, page 0) or a kind no catalogue has.
std::optional<ColorIdentity> ColorIdentityOf(uint16_t kind, uint16_t page, uint8_t number);
std::optional<ColorIdentity> ColorIdentityOf(const TColorData &color);

// True when the bytes of a palette file hold an entry (1-255) of this identity. The file is read
// as the palette window reads it; records cut off by the end of the data hold nothing.
bool PaletteBytesHold(QByteArrayView bytes, const ColorIdentity &identity);
// True when the bytes of a user colour collection hold a colour of this identity. A collection
// the user colour window could not open (a count beyond the data, a record cut short) holds
// nothing.
bool UserColorBytesHold(QByteArrayView bytes, const ColorIdentity &identity);

// The ".fcr" and ".ucl" files (any case of the extension) in `folder`, and with `subfolders` in
// every folder below it, that hold the identity: paths relative to `folder` with "/" between
// folder names, sorted. Files that cannot be read, and files too large to be a palette or a
// collection, are passed over unread. Symbolic links to folders are not followed.
QStringList FindColorFiles(const QString &folder, const ColorIdentity &identity, bool subfolders);

} // namespace warplon
