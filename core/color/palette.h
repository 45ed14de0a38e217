#pragma once

// The 256-colour palette a design is drawn with, its ".fcr" file and the gradient builder of the
// palette window.
//
// Entry 0 is black and never offered to the designer, entry 1 is the background, entries 2 to
// UseColor are the design colours.

#include "color/colordata.h"

#include <QByteArrayView>
#include <QString>

#include <array>
#include <cstdint>
#include <span>

namespace warplon {

class ByteReader;
class ByteWriter;

constexpr int kPaletteSize = 256;
// Version written in palette files; files above 100 hold the current colour records.
constexpr uint16_t kPaletteFileVersion = 110;
// Larger files are refused unread: even with two 64 KiB names in every record a palette stays
// below this.
constexpr qint64 kMaxPaletteFileSize = qint64(64) << 20;

class TPalette
{
public:
    TPalette() = default;

    // The highest entry in use. Not stored in palette files, so loading leaves it alone.
    uint16_t UseColor = 2;

    // The entry itself (not a copy); null for an index outside 0..255.
    TColorData *GetColorData(int index);
    const TColorData *GetColorData(int index) const;
    // The entry's colour; black for an index outside 0..255.
    TColor GetColor(int index) const;

    // Setters on entry `index`; an index outside 0..255 changes nothing.
    void SetColorData(int index, const TColorData &source);
    void Copy(int index, const TColorData &source) { SetColorData(index, source); }
    void SetNormal(int index, uint8_t r, uint8_t g, uint8_t b);
    void SetPrinterColor(int index, uint16_t page, uint8_t number, uint8_t r, uint8_t g, uint8_t b);
    void SetPantone1000(int index, uint16_t page, uint8_t number, uint8_t r, uint8_t g, uint8_t b);
    void SetPantoneTextile(int index, uint16_t page, uint8_t number, uint8_t r, uint8_t g,
                           uint8_t b);
    void SetKvStandardColor(int index, uint16_t page, uint8_t number, uint8_t r, uint8_t g,
                            uint8_t b);
    void SetKvTextileColor(int index, uint16_t page, uint8_t number, uint8_t r, uint8_t g,
                           uint8_t b);
    void SetUserColor(int index, uint16_t kind, uint16_t page, uint8_t number, uint8_t r, uint8_t g,
                      uint8_t b, const QByteArray &fileName, const QByteArray &colorName);

    // Copies all 256 entries and UseColor.
    void SetPalette(const TPalette &other);

    // HLS of an entry; HLS2RGB stores the converted colour as a free colour. An index outside
    // 0..255 gives (kUndefinedHue, 0, 0) and stores nothing.
    void RGB2HLS(int index, double &h, double &l, double &s) const;
    void HLS2RGB(int index, double h, double l, double s);

    // The colour bytes of every entry in order, ready as the colour table of an 8-bit bitmap.
    std::array<RGBQUAD, kPaletteSize> ToRGBQUAD() const;

    // Reads a palette file: 'C','P', a u16 version and 256 colour records (the current layout
    // when the version is above 100, the old 10-byte one otherwise). A file without the magic is
    // an old 1800-byte palette of 225 TTexColor records for entries 1-225; entry 0 becomes black
    // and entries 226-255 the grey (i, i, i) of their index. Returns false, with the reason in
    // `error` and the palette unchanged, only when the file cannot be read. A file cut short
    // replaces the entries whose records are complete and leaves the others as they were.
    bool LoadFromFile(const QString &fileName, QString *error = nullptr);
    // The same from the bytes of a palette file. Returns true when every record was there.
    bool LoadFromBytes(QByteArrayView bytes);

    // Writes the current layout (version 110) through a temporary file that replaces the old one
    // only when complete. On failure returns false with the reason in `error`.
    bool SaveToFile(const QString &fileName, QString *error = nullptr) const;
    QByteArray ToFileBytes() const;

    // The 256 records of a palette kept inside another file, without a header. Records the data
    // does not hold completely leave their entries as they were; returns false when the data
    // ran out.
    bool LoadFromFileHandle(ByteReader &reader, int format);
    void SaveToFileHandle(ByteWriter &writer) const;

    // Appends a gradient after UseColor: for each key but the last, a copy of the key followed
    // by steps[i] - 1 free colours interpolated toward the next key (each channel
    // a + (b - a) * j / steps[i], truncated toward zero), then a copy of the last key; UseColor
    // moves to the last entry written. The keys are read before anything is written, so a key
    // among the entries being filled still gives its own colour.
    // Needs one more key than steps, keys within 0..255 and every step at least 1. A spread
    // that would run past entry 255, or breaks those rules, is refused with the reason in
    // `error` and changes nothing.
    bool MakeSpread(std::span<const int> keys, std::span<const int> steps,
                    QString *error = nullptr);

private:
    std::array<TColorData, kPaletteSize> m_entries;
};

} // namespace warplon
