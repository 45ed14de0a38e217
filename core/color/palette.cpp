#include "color/palette.h"

#include "base/bytestream.h"
#include "base/safefile.h"

#include <vector>

namespace warplon {

namespace {

constexpr char kMagic0 = 'C';
constexpr char kMagic1 = 'P';
// The old palette before the file had a header: 225 records of 8 bytes for entries 1-225.
constexpr int kLegacyRecords = 225;

bool validIndex(int index)
{
    return index >= 0 && index < kPaletteSize;
}

} // namespace

TColorData *TPalette::GetColorData(int index)
{
    return validIndex(index) ? &m_entries[size_t(index)] : nullptr;
}

const TColorData *TPalette::GetColorData(int index) const
{
    return validIndex(index) ? &m_entries[size_t(index)] : nullptr;
}

TColor TPalette::GetColor(int index) const
{
    return validIndex(index) ? m_entries[size_t(index)].GetColor() : 0;
}

void TPalette::SetColorData(int index, const TColorData &source)
{
    if (TColorData *entry = GetColorData(index))
        entry->Copy(source);
}

void TPalette::SetNormal(int index, uint8_t r, uint8_t g, uint8_t b)
{
    if (TColorData *entry = GetColorData(index))
        entry->SetNormal(r, g, b);
}

void TPalette::SetPrinterColor(int index, uint16_t page, uint8_t number, uint8_t r, uint8_t g,
                               uint8_t b)
{
    if (TColorData *entry = GetColorData(index))
        entry->SetPrinterColor(page, number, r, g, b);
}

void TPalette::SetPantone1000(int index, uint16_t page, uint8_t number, uint8_t r, uint8_t g,
                              uint8_t b)
{
    if (TColorData *entry = GetColorData(index))
        entry->SetPantone1000(page, number, r, g, b);
}

void TPalette::SetPantoneTextile(int index, uint16_t page, uint8_t number, uint8_t r, uint8_t g,
                                 uint8_t b)
{
    if (TColorData *entry = GetColorData(index))
        entry->SetPantoneTextile(page, number, r, g, b);
}

void TPalette::SetKvStandardColor(int index, uint16_t page, uint8_t number, uint8_t r, uint8_t g,
                                  uint8_t b)
{
    if (TColorData *entry = GetColorData(index))
        entry->SetKvStandardColor(page, number, r, g, b);
}

void TPalette::SetKvTextileColor(int index, uint16_t page, uint8_t number, uint8_t r, uint8_t g,
                                 uint8_t b)
{
    if (TColorData *entry = GetColorData(index))
        entry->SetKvTextileColor(page, number, r, g, b);
}

void TPalette::SetUserColor(int index, uint16_t kind, uint16_t page, uint8_t number, uint8_t r,
                            uint8_t g, uint8_t b, const QByteArray &fileName,
                            const QByteArray &colorName)
{
    if (TColorData *entry = GetColorData(index))
        entry->SetUserColor(kind, page, number, r, g, b, fileName, colorName);
}

void TPalette::SetPalette(const TPalette &other)
{
    if (&other == this)
        return;
    for (size_t i = 0; i < m_entries.size(); ++i)
        m_entries[i].Copy(other.m_entries[i]);
    UseColor = other.UseColor;
}

void TPalette::RGB2HLS(int index, double &h, double &l, double &s) const
{
    const TColorData *entry = GetColorData(index);
    if (!entry) {
        h = kUndefinedHue;
        l = 0.0;
        s = 0.0;
        return;
    }
    warplon::RGB2HLS(entry->color.rgbRed, entry->color.rgbGreen, entry->color.rgbBlue, h, l, s);
}

void TPalette::HLS2RGB(int index, double h, double l, double s)
{
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    warplon::HLS2RGB(h, l, s, r, g, b);
    SetNormal(index, r, g, b);
}

std::array<RGBQUAD, kPaletteSize> TPalette::ToRGBQUAD() const
{
    std::array<RGBQUAD, kPaletteSize> table;
    for (size_t i = 0; i < m_entries.size(); ++i)
        table[i] = m_entries[i].color;
    return table;
}

bool TPalette::LoadFromFileHandle(ByteReader &reader, int format)
{
    for (TColorData &entry : m_entries) {
        // A record is read aside and taken only when complete, so the data running out leaves
        // this entry and all later ones as they were.
        if (reader.remaining() == 0) {
            reader.fail();
            break;
        }
        TColorData record;
        if (!record.LoadFromFile(reader, format))
            break;
        entry.Copy(record);
    }
    return reader.ok();
}

void TPalette::SaveToFileHandle(ByteWriter &writer) const
{
    for (const TColorData &entry : m_entries)
        entry.SaveToFile(writer);
}

bool TPalette::LoadFromBytes(QByteArrayView bytes)
{
    ByteReader reader(bytes);
    if (bytes.size() >= 2 && bytes[0] == kMagic0 && bytes[1] == kMagic1) {
        reader.skip(2);
        uint16_t version = 0;
        if (!reader.readU16(version))
            return false;
        return LoadFromFileHandle(reader, version > 100 ? ColorRecordCurrent : ColorRecordOld);
    }

    // The palette from before the header: black, 225 old records, then a grey ramp that fills
    // the entries the old format had no room for.
    m_entries[0].SetNormal(0, 0, 0);
    bool complete = true;
    for (int i = 1; i <= kLegacyRecords; ++i) {
        TTexColor record;
        if (!record.Read(reader)) {
            complete = false;
            break;
        }
        m_entries[size_t(i)].SetTexColor(record);
    }
    for (int i = kLegacyRecords + 1; i < kPaletteSize; ++i)
        m_entries[size_t(i)].SetNormal(uint8_t(i), uint8_t(i), uint8_t(i));
    return complete;
}

bool TPalette::LoadFromFile(const QString &fileName, QString *error)
{
    QByteArray bytes;
    if (!ReadWholeFile(fileName, bytes, kMaxPaletteFileSize)) {
        if (error)
            *error = QStringLiteral("cannot read the palette file %1").arg(fileName);
        return false;
    }
    LoadFromBytes(bytes);
    return true;
}

QByteArray TPalette::ToFileBytes() const
{
    ByteWriter writer;
    writer.writeU8(uint8_t(kMagic0));
    writer.writeU8(uint8_t(kMagic1));
    writer.writeU16(kPaletteFileVersion);
    SaveToFileHandle(writer);
    return writer.data();
}

bool TPalette::SaveToFile(const QString &fileName, QString *error) const
{
    QString reason;
    if (WriteFileAtomically(fileName, ToFileBytes(), &reason))
        return true;
    if (error)
        *error = QStringLiteral("cannot write the palette file %1: %2").arg(fileName, reason);
    return false;
}

bool TPalette::MakeSpread(std::span<const int> keys, std::span<const int> steps, QString *error)
{
    const auto refuse = [error](const QString &reason) {
        if (error)
            *error = reason;
        return false;
    };
    if (keys.size() != steps.size() + 1)
        return refuse(QStringLiteral("a spread needs one key colour more than it has steps"));
    for (const int key : keys) {
        if (!validIndex(key))
            return refuse(QStringLiteral("key colour %1 is not a palette entry").arg(key));
    }
    // A step of s puts the key and s - 1 blends before the next key; with s below 1 the count
    // UseColor moves by would no longer match the entries written.
    int64_t total = 1;
    for (const int step : steps) {
        if (step < 1)
            return refuse(QStringLiteral("every step of a spread must be at least 1"));
        total += step;
    }
    const int64_t last = int64_t(UseColor) + total;
    if (last >= kPaletteSize)
        return refuse(
            QStringLiteral("the spread needs entries up to %1, but the palette ends at %2")
                .arg(last)
                .arg(kPaletteSize - 1));

    // The keys are taken as they are before anything is written: a key above UseColor may lie
    // among the entries the spread fills (a new palette spreading from entry 2 to entry 3 writes
    // its first copy over entry 3).
    std::vector<TColorData> keyColors(keys.size());
    for (size_t i = 0; i < keys.size(); ++i)
        keyColors[i].Copy(m_entries[size_t(keys[i])]);

    int pos = UseColor + 1;
    for (size_t i = 0; i < steps.size(); ++i) {
        m_entries[size_t(pos++)].Copy(keyColors[i]);
        const RGBQUAD a = keyColors[i].color;
        const RGBQUAD b = keyColors[i + 1].color;
        const int s = steps[i];
        // C++ integer division truncates toward zero, also for a falling channel.
        const auto blend
            = [s](int from, int to, int j) { return uint8_t(from + (to - from) * j / s); };
        for (int j = 1; j < s; ++j) {
            m_entries[size_t(pos++)].SetNormal(blend(a.rgbRed, b.rgbRed, j),
                                               blend(a.rgbGreen, b.rgbGreen, j),
                                               blend(a.rgbBlue, b.rgbBlue, j));
        }
    }
    m_entries[size_t(pos)].Copy(keyColors.back());
    UseColor = uint16_t(last);
    return true;
}

} // namespace warplon
