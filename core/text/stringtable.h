#pragma once

// The texts a window shows, loaded from one section of the language file: entry i is key "i"
// of the section, "Length" gives the count. Missing or empty entries are taken from the same
// section of "English.tdw".

#include <QString>
#include <QStringList>

#include <cstdint>

namespace warplon {

class TStringTable
{
public:
    // The largest "Length" a section may give. No window has more than a hundred texts; a
    // larger count comes from a damaged file and must not make the program allocate for it.
    static constexpr int32_t MaxCount = 10000;

    int32_t count() const { return int32_t(m_items.size()); }
    // The entry, or the empty string for an index outside the table.
    QString TextAt(int32_t index) const;
    void Clear() { m_items.clear(); }

private:
    friend bool LoadTable(TStringTable &, const QString &, const QString &, const QString &);
    QStringList m_items;
};

// Loads `section` of "<language>.tdw" in the program directory, falling back entry by entry to
// "English.tdw" there; each backslash-n pair in a text becomes a line break (CR LF). Returns
// false, with the table empty, when the language file has no "Length" of at least 1 in that
// section, or one above TStringTable::MaxCount. A missing file reads as empty.
bool LoadTable(TStringTable &table, const QString &programDirectory, const QString &language,
               const QString &section);

} // namespace warplon
