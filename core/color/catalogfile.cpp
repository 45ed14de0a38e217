#include "color/catalogfile.h"

#include "base/bytestream.h"

namespace warplon {

namespace {

constexpr uint16_t kOwnVersion = 100;
constexpr uint16_t kPantoneVersion = 300;
constexpr uint16_t kNameLengthMask = 0x7FFF;

// How the entries of one file are laid out.
struct EntryLayout
{
    // Before the mark was introduced: code before an unused block, colour after it.
    bool unmarked = false;
    // Channels stored as 6-bit values.
    bool sixBit = false;
    // Unused bytes in each entry.
    qsizetype unusedBytes = 0;
};

bool IsPantone(CatalogKind kind)
{
    return kind == CatalogKind::Pantone1000 || kind == CatalogKind::PantoneTextile;
}

bool HasTwoCodeParts(CatalogKind kind)
{
    return kind == CatalogKind::Textile || kind == CatalogKind::PantoneTextile;
}

// The fewest bytes one entry can take, so a count can be checked against what is left.
int64_t SmallestEntry(CatalogKind kind, const EntryLayout &layout)
{
    return (HasTwoCodeParts(kind) ? 10 : 8) + layout.unusedBytes;
}

// Old Pantone files hold 0..63; v * 4 | v / 16 spreads that over 0..255.
uint8_t Widen(uint8_t v)
{
    return uint8_t((v * 4) | (v / 16));
}

bool ReadEntry(ByteReader &reader, CatalogKind kind, const EntryLayout &layout, CatalogEntry &entry)
{
    reader.readU16(entry.number);
    reader.readU16(entry.code);
    if (HasTwoCodeParts(kind))
        reader.readU16(entry.code2);
    if (layout.unmarked)
        reader.skip(layout.unusedBytes);
    reader.readU8(entry.reserved);
    reader.readU8(entry.red);
    reader.readU8(entry.green);
    reader.readU8(entry.blue);
    if (!layout.unmarked)
        reader.skip(layout.unusedBytes);
    if (layout.sixBit) {
        entry.red = Widen(entry.red);
        entry.green = Widen(entry.green);
        entry.blue = Widen(entry.blue);
    }
    if (kind == CatalogKind::Pantone1000 && entry.IsNamed())
        reader.readBytes(entry.code & kNameLengthMask, entry.name);
    return reader.ok();
}

void SetError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

} // namespace

uint16_t CatalogFileVersion(CatalogKind kind)
{
    return IsPantone(kind) ? kPantoneVersion : kOwnVersion;
}

bool ReadCatalogFile(CatalogKind kind, QByteArrayView data, std::vector<CatalogPage> &pages,
                     QString *error)
{
    pages.clear();
    ByteReader reader(data);
    EntryLayout layout;
    const bool marked = data.size() >= 2 && data[0] == 'C' && data[1] == 'L';
    if (marked) {
        uint16_t version = 0;
        reader.skip(2);
        reader.readU16(version);
        // The standard and textile files have had one layout whatever their version says.
        if (IsPantone(kind) && version < kPantoneVersion) {
            layout.sixBit = true;
            layout.unusedBytes = version == 200 ? 20 : 12;
        }
    } else {
        if (!IsPantone(kind)) {
            SetError(error, QStringLiteral("not a colour catalogue: the file does not begin "
                                           "with \"CL\""));
            return false;
        }
        layout.unmarked = true;
        layout.sixBit = true;
        layout.unusedBytes = kind == CatalogKind::Pantone1000 ? 12 : 8;
        reader.skip(4);
    }

    uint16_t pageCount = 0;
    if (!reader.readU16(pageCount)) {
        SetError(error, QStringLiteral("the file ends before its page count"));
        return false;
    }
    // Each page takes at least its number and its entry count.
    if (!reader.expectRecords(pageCount, 4)) {
        SetError(error,
                 QStringLiteral("the file announces %1 pages but cannot hold them").arg(pageCount));
        return false;
    }
    pages.reserve(pageCount);
    for (int p = 0; p < pageCount; ++p) {
        CatalogPage page;
        uint16_t entryCount = 0;
        reader.readU16(page.number);
        if (!reader.readU16(entryCount)) {
            SetError(error,
                     QStringLiteral("the file ends at page %1 of %2").arg(p + 1).arg(pageCount));
            return false;
        }
        if (!reader.expectRecords(entryCount, SmallestEntry(kind, layout))) {
            SetError(error,
                     QStringLiteral("page %1 announces %2 colours but the file cannot hold them")
                         .arg(page.number)
                         .arg(entryCount));
            return false;
        }
        page.entries.resize(entryCount);
        for (CatalogEntry &entry : page.entries) {
            if (!ReadEntry(reader, kind, layout, entry)) {
                SetError(error, QStringLiteral("the file ends inside page %1").arg(page.number));
                return false;
            }
        }
        pages.push_back(std::move(page));
    }
    return true;
}

bool WriteCatalogFile(CatalogKind kind, const std::vector<CatalogPage> &pages, QByteArray &bytes,
                      QString *error)
{
    if (pages.size() > 0xFFFF) {
        SetError(error, QStringLiteral("a catalogue file holds at most 65535 pages"));
        return false;
    }
    ByteWriter writer;
    writer.writeBytes(QByteArrayView("CL", 2));
    writer.writeU16(CatalogFileVersion(kind));
    writer.writeU16(uint16_t(pages.size()));
    for (const CatalogPage &page : pages) {
        if (page.entries.size() > 0xFFFF) {
            SetError(error, QStringLiteral("page %1 has more than 65535 colours").arg(page.number));
            return false;
        }
        writer.writeU16(page.number);
        writer.writeU16(uint16_t(page.entries.size()));
        for (const CatalogEntry &entry : page.entries) {
            writer.writeU16(entry.number);
            writer.writeU16(entry.code);
            if (HasTwoCodeParts(kind))
                writer.writeU16(entry.code2);
            writer.writeU8(entry.reserved);
            writer.writeU8(entry.red);
            writer.writeU8(entry.green);
            writer.writeU8(entry.blue);
            if (kind == CatalogKind::Pantone1000 && entry.IsNamed()) {
                // The code says how many name bytes follow; the name is cut or zero-padded
                // to that, so the file always reads back entry for entry.
                QByteArray name = entry.name.left(entry.code & kNameLengthMask);
                name.append(QByteArray((entry.code & kNameLengthMask) - name.size(), '\0'));
                writer.writeBytes(name);
            }
        }
    }
    bytes = writer.data();
    return true;
}

} // namespace warplon
