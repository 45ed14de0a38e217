#include "color/colorcatalog.h"

#include "base/bytestream.h"
#include "base/safefile.h"

#include <QFile>

namespace warplon {

namespace {

// Real catalogues hold a few thousand colours (well under a megabyte); anything far larger
// is not a catalogue and is refused before it is read.
constexpr qint64 kLargestCatalogFile = 64 << 20;

QString FourDigits(unsigned value)
{
    return QStringLiteral("%1").arg(value, 4, 10, QLatin1Char('0'));
}

} // namespace

TColorCatalog::TColorCatalog(CatalogKind kind, const QString &fileName)
    : m_kind(kind)
    , m_fileName(fileName)
{
    if (QFile::exists(m_fileName))
        CreateData();
}

bool TColorCatalog::CreateData()
{
    m_pages.clear();
    m_error.clear();
    QByteArray bytes;
    if (!ReadWholeFile(m_fileName, bytes, kLargestCatalogFile)) {
        QFile file(m_fileName);
        if (!file.open(QIODevice::ReadOnly))
            m_error = QStringLiteral("cannot open %1: %2").arg(m_fileName, file.errorString());
        else
            m_error = QStringLiteral("cannot read %1: not readable or larger than %2 bytes")
                          .arg(m_fileName)
                          .arg(kLargestCatalogFile);
        return false;
    }
    QString reason;
    if (!ReadCatalogFile(m_kind, bytes, m_pages, &reason)) {
        m_error = QStringLiteral("%1: %2").arg(m_fileName, reason);
        return false;
    }
    return true;
}

void TColorCatalog::DestroyData()
{
    m_pages.clear();
}

bool TColorCatalog::Reload()
{
    DestroyData();
    return CreateData();
}

bool TColorCatalog::Save()
{
    m_error.clear();
    QByteArray bytes;
    QString reason;
    if (!WriteCatalogFile(m_kind, m_pages, bytes, &reason)
        || !WriteFileAtomically(m_fileName, bytes, &reason)) {
        m_error = QStringLiteral("cannot save %1: %2").arg(m_fileName, reason);
        return false;
    }
    return true;
}

int TColorCatalog::EntryCount() const
{
    int count = 0;
    for (const CatalogPage &page : m_pages)
        count += int(page.entries.size());
    return count;
}

const CatalogEntry *TColorCatalog::Search(int pageIndex, int entryIndex, uint16_t &pageNumber) const
{
    if (pageIndex < 0 || pageIndex >= PageCount())
        return nullptr;
    const CatalogPage &page = m_pages[size_t(pageIndex)];
    if (entryIndex < 0 || entryIndex >= int(page.entries.size()))
        return nullptr;
    pageNumber = page.number;
    return &page.entries[size_t(entryIndex)];
}

bool TColorCatalog::SearchRGB(uint8_t r, uint8_t g, uint8_t b, int &pageIndex,
                              int &entryIndex) const
{
    pageIndex = -1;
    entryIndex = -1;
    TSearchColor search(r, g, b);
    for (int p = 0; p < PageCount(); ++p) {
        const std::vector<CatalogEntry> &entries = m_pages[size_t(p)].entries;
        for (int e = 0; e < int(entries.size()); ++e) {
            const CatalogEntry &entry = entries[size_t(e)];
            const int result = search.Search(entry.red, entry.green, entry.blue);
            if (result == TSearchColor::NotBetter)
                continue;
            pageIndex = p;
            entryIndex = e;
            if (result == TSearchColor::Exact)
                return true;
        }
    }
    return pageIndex >= 0;
}

int TColorCatalog::SearchPage(uint16_t pageNumber) const
{
    for (int p = 0; p < PageCount(); ++p) {
        if (m_pages[size_t(p)].number >= pageNumber)
            return p;
    }
    return 0;
}

bool TColorCatalog::SearchCode(const QString &text, int &pageIndex, int &entryIndex) const
{
    pageIndex = -1;
    entryIndex = -1;
    // Standard codes and Pantone names are typed in any case; textile codes are digits and a
    // dash, compared as they stand.
    const bool ignoreCase = m_kind == CatalogKind::Standard || m_kind == CatalogKind::Pantone1000;
    const QString wanted = ignoreCase ? text.toUpper() : text;
    for (int p = 0; p < PageCount(); ++p) {
        const std::vector<CatalogEntry> &entries = m_pages[size_t(p)].entries;
        for (int e = 0; e < int(entries.size()); ++e) {
            const QString code = Code(entries[size_t(e)]);
            if ((ignoreCase ? code.toUpper() : code) == wanted) {
                pageIndex = p;
                entryIndex = e;
                return true;
            }
        }
    }
    return false;
}

QString TColorCatalog::Code(const CatalogEntry &entry) const
{
    switch (m_kind) {
    case CatalogKind::Textile:
    case CatalogKind::PantoneTextile:
        return QString::number(entry.code) + QLatin1Char('-') + FourDigits(entry.code2);
    case CatalogKind::Pantone1000:
        // A name is shown as far as its first zero byte, as the fixed buffer it was read into
        // would end it.
        if (entry.IsNamed())
            return QString::fromLatin1(bufferText(entry.name, entry.name.size() + 1));
        return FourDigits(entry.code);
    case CatalogKind::Standard:
        break;
    }
    return FourDigits(entry.code);
}

bool TColorCatalog::PN2Code(uint16_t pageNumber, uint8_t number, QString &code) const
{
    for (const CatalogPage &page : m_pages) {
        if (page.number != pageNumber)
            continue;
        for (const CatalogEntry &entry : page.entries) {
            if (entry.NumberInPage() == number) {
                code = Code(entry);
                return true;
            }
        }
    }
    return false;
}

RGBQUAD TColorCatalog::ToRGB(int pageIndex, int entryIndex) const
{
    uint16_t pageNumber = 0;
    const CatalogEntry *entry = Search(pageIndex, entryIndex, pageNumber);
    if (!entry)
        return RGBQUAD();
    return RGBQUAD{entry->blue, entry->green, entry->red, 0};
}

} // namespace warplon
