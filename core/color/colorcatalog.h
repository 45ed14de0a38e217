#pragma once

// The four file-backed colour catalogues the colour windows pick from: the program's own
// standard ("Standard.kvc") and textile ("Textile.kvc") catalogues and the two Pantone
// catalogues ("Thousand.ptc", "Textile.ptc"), all kept in the "color" folder of the program
// directory. The main window creates one of each at start-up and every colour window shares
// them. A catalogue whose file is missing is simply empty.

#include "color/catalogfile.h"
#include "color/colorconvert.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace warplon {

class TColorCatalog
{
public:
    virtual ~TColorCatalog() = default;

    CatalogKind Kind() const { return m_kind; }
    const QString &FileName() const { return m_fileName; }
    // Why the last CreateData or Save failed; empty after a success.
    const QString &ErrorString() const { return m_error; }

    // Loads the file, replacing what the catalogue held. False when the file cannot be read
    // or is not a whole catalogue (see ErrorString); the catalogue then keeps the pages that
    // were read completely.
    bool CreateData();
    void DestroyData();
    bool Reload();
    // Writes the whole catalogue in the current layout, through a temporary file, so a failed
    // save leaves the old file as it was.
    bool Save();

    const std::vector<CatalogPage> &Pages() const { return m_pages; }
    std::vector<CatalogPage> &Pages() { return m_pages; }
    int PageCount() const { return int(m_pages.size()); }
    // Colours on all pages together.
    int EntryCount() const;

    // The entry at the two list positions and its page's number; null (pageNumber untouched)
    // when either position is outside the lists.
    const CatalogEntry *Search(int pageIndex, int entryIndex, uint16_t &pageNumber) const;
    // The nearest entry to r, g, b, visiting pages and entries in order and stopping at an
    // exact match. False with both positions -1 only when the catalogue holds no colour.
    bool SearchRGB(uint8_t r, uint8_t g, uint8_t b, int &pageIndex, int &entryIndex) const;
    // The position of the first page whose number is at least pageNumber; 0 when there is none.
    int SearchPage(uint16_t pageNumber) const;
    // The first entry whose code text is `text`. The standard and Pantone 1000 catalogues
    // ignore case; the textile catalogues compare exactly. False with both positions -1 when
    // there is none.
    bool SearchCode(const QString &text, int &pageIndex, int &entryIndex) const;
    // The code text shown for an entry: standard "0042", textile "19-0052", Pantone 1000 the
    // number or the entry's name.
    QString Code(const CatalogEntry &entry) const;
    // The code text of the entry with this page number and number within the page; false and
    // `code` untouched when there is none.
    bool PN2Code(uint16_t pageNumber, uint8_t number, QString &code) const;
    // The entry's colour, reserved byte 0; black for a position outside the lists.
    RGBQUAD ToRGB(int pageIndex, int entryIndex) const;

protected:
    // Keeps the file name; loads the file only when it exists.
    TColorCatalog(CatalogKind kind, const QString &fileName);

private:
    CatalogKind m_kind;
    QString m_fileName;
    QString m_error;
    std::vector<CatalogPage> m_pages;
};

class TStandardColor : public TColorCatalog
{
public:
    explicit TStandardColor(const QString &fileName)
        : TColorCatalog(CatalogKind::Standard, fileName)
    {}
};

class TTextileColor : public TColorCatalog
{
public:
    explicit TTextileColor(const QString &fileName)
        : TColorCatalog(CatalogKind::Textile, fileName)
    {}
};

class TPantone1000 : public TColorCatalog
{
public:
    explicit TPantone1000(const QString &fileName)
        : TColorCatalog(CatalogKind::Pantone1000, fileName)
    {}
};

class TPantoneTextile : public TColorCatalog
{
public:
    explicit TPantoneTextile(const QString &fileName)
        : TColorCatalog(CatalogKind::PantoneTextile, fileName)
    {}
};

} // namespace warplon
