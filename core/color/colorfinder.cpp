#include "color/colorfinder.h"

#include "base/bytestream.h"
#include "base/safefile.h"
#include "color/palette.h"
#include "color/usercolor.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <memory>
#include <vector>

namespace warplon {

namespace {

// The largest collection the user colour window opens: a million colours.
constexpr qint64 kMaxCollectionFileSize = qint64(4) + qint64(kUserColorRecordSize) * 1000000;

} // namespace

std::optional<ColorIdentity> ColorIdentityOf(uint16_t kind, uint16_t page, uint8_t number)
{
    TColorData color;
    color.ColorFlags = uint16_t(kind & 15);
    color.PageNumber = page;
    color.ColorNumber = number;
    color.PantoneToKvColor();
    const uint16_t base = color.ColorFlags & 15;
    if (base > ColorKvTextile || (base == ColorNormal && color.PageNumber == 0))
        return std::nullopt;
    return ColorIdentity{base, color.PageNumber, color.ColorNumber};
}

std::optional<ColorIdentity> ColorIdentityOf(const TColorData &color)
{
    return ColorIdentityOf(color.GetKind(), color.PageNumber, color.ColorNumber);
}

bool PaletteBytesHold(QByteArrayView bytes, const ColorIdentity &identity)
{
    // A fresh palette is all free black, which no identity matches, so entries the data does not
    // reach cannot match either.
    auto palette = std::make_unique<TPalette>();
    palette->LoadFromBytes(bytes);
    for (int index = 1; index < kPaletteSize; ++index) {
        const TColorData &entry = *palette->GetColorData(index);
        if (ColorIdentityOf(entry) == identity)
            return true;
    }
    return false;
}

bool UserColorBytesHold(QByteArrayView bytes, const ColorIdentity &identity)
{
    ByteReader reader(bytes);
    std::vector<UserColor> colors;
    if (!ReadUserColors(reader, colors))
        return false;
    for (const UserColor &color : colors) {
        if (ColorIdentityOf(uint16_t(color.kind & 0xffff), color.page, color.number) == identity)
            return true;
    }
    return false;
}

QStringList FindColorFiles(const QString &folder, const ColorIdentity &identity, bool subfolders)
{
    QStringList found;
    const QDir base(folder);
    if (!base.exists())
        return found;
    QDirIterator files(folder, {QStringLiteral("*.fcr"), QStringLiteral("*.ucl")},
                       QDir::Files | QDir::Readable,
                       subfolders ? QDirIterator::Subdirectories : QDirIterator::NoIteratorFlags);
    while (files.hasNext()) {
        const QString path = files.next();
        const bool palette = path.endsWith(QStringLiteral(".fcr"), Qt::CaseInsensitive);
        QByteArray bytes;
        if (!ReadWholeFile(path, bytes, palette ? kMaxPaletteFileSize : kMaxCollectionFileSize))
            continue;
        if (palette ? PaletteBytesHold(bytes, identity) : UserColorBytesHold(bytes, identity))
            found.append(base.relativeFilePath(path));
    }
    found.sort(Qt::CaseInsensitive);
    return found;
}

} // namespace warplon
