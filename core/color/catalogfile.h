#pragma once

// The pages and entries of the four file-backed colour catalogues (the program's own standard
// and textile catalogues and the two Pantone catalogues), and their file layouts.
//
// Every catalogue file starts with the mark "CL", a u16 version and a u16 page count; each page
// is a u16 page number, a u16 entry count and its entries. The standard and textile files are
// written with version 100, the Pantone files with 300. Pantone files from older versions
// (6-bit channels and a block of unused bytes per entry) and from before the mark was introduced
// are read as well.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <vector>

namespace warplon {

enum class CatalogKind { Standard, Textile, Pantone1000, PantoneTextile };

struct CatalogEntry
{
    // The low byte is the entry's number within its page.
    uint16_t number = 0;
    // Standard and Pantone 1000: the code number (Pantone 1000: bit 15 set means the entry is
    // named and the low 15 bits are the length of the name). Textile catalogues: the first code
    // number.
    uint16_t code = 0;
    // Textile catalogues: the second code number.
    uint16_t code2 = 0;
    // Carried through unchanged.
    uint8_t reserved = 0;
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    // Pantone 1000 named entries: the stored name bytes, as long as the code says.
    QByteArray name;

    bool IsNamed() const { return (code & 0x8000) != 0; }
    uint8_t NumberInPage() const { return uint8_t(number & 0xff); }
};

struct CatalogPage
{
    uint16_t number = 0;
    std::vector<CatalogEntry> entries;
};

// The version Save writes for a kind of catalogue.
uint16_t CatalogFileVersion(CatalogKind kind);

// Reads a catalogue file's bytes into `pages` (replacing what it held). Returns false with a
// one-line reason in `error` when the bytes are not a catalogue of this kind or end before all
// the pages they announce; `pages` then keeps every page that was read completely. A count
// the rest of the file cannot hold is refused before anything is allocated for it.
bool ReadCatalogFile(CatalogKind kind, QByteArrayView data, std::vector<CatalogPage> &pages,
                     QString *error = nullptr);

// The current file layout of `pages`. False, with a reason, when a count does not fit its u16
// field (more than 65535 pages, or entries in a page).
bool WriteCatalogFile(CatalogKind kind, const std::vector<CatalogPage> &pages, QByteArray &bytes,
                      QString *error = nullptr);

} // namespace warplon
