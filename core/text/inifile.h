#pragma once

// Settings and language files in the Windows INI layout: "[Section]" lines and "key=value"
// lines, values taken raw (a backslash is just a character), section and key names matched
// without regard to case and written as given. Each call reads or writes the file key by key,
// as the program keeps no settings file open.
//
// Lines that start with ';' are comments; lines without '=' and lines before the first section
// are kept when writing but never match a key. When a section name occurs twice, only the first
// such section counts, and within it the first line of a key.

#include <QHash>
#include <QString>
#include <QStringList>

#include <cstdint>

namespace warplon {

// All keys of one section, read in one pass over the file: for callers that look up many keys
// of a section (a window's string table) without parsing the file once per key.
class IniSection
{
public:
    // The same lookups as IniFile's, on the keys the section held when it was read.
    QString ReadString(const QString &key, const QString &fallback = QString()) const;
    int32_t ReadInteger(const QString &key, int32_t fallback) const;
    bool contains(const QString &key) const;
    // The key names in file order, spelled as in the file.
    const QStringList &keys() const { return m_keys; }

private:
    friend class IniFile;
    QHash<QString, QString> m_values; // case-folded key -> value
    QStringList m_keys;
};

class IniFile
{
public:
    // Files larger than this read as empty and are never rewritten: no settings or language
    // file comes near it, and a wrong file must not make the program allocate without bound.
    static constexpr qint64 MaxFileSize = 16 * 1024 * 1024;

    explicit IniFile(QString fileName);

    const QString &fileName() const { return m_fileName; }

    // The value as written after the first '=' (surrounding blanks removed), or `fallback` when
    // the file, the section or the key is missing. Files are read as UTF-8, or as CP949 when
    // they are not valid UTF-8.
    QString ReadString(const QString &section, const QString &key,
                       const QString &fallback = QString()) const;
    // The leading decimal integer of the value (a "0x" prefix reads hexadecimal), or `fallback`
    // when the key is missing, does not start with a number or the number does not fit 32 bits.
    int32_t ReadInteger(const QString &section, const QString &key, int32_t fallback) const;
    // "1"/"0" and "true"/"false" in any case; anything else gives `fallback`.
    bool ReadBool(const QString &section, const QString &key, bool fallback) const;
    // Every key of the section; empty when the file or the section is missing.
    IniSection ReadSection(const QString &section) const;

    // Writes one key, creating the file and the section when needed and keeping every other
    // line as it was (a key already present keeps its place and its spelling). The file is
    // replaced through a temporary file, so a failed write leaves the old one. Returns false
    // when the file could not be read or written, and refuses (false, file untouched) what the
    // file could not give back: a key that is empty, holds '=' or starts with ';' or '[', a
    // section name holding ']', or a line break in any of them or in the value.
    bool WriteString(const QString &section, const QString &key, const QString &value);
    bool WriteInteger(const QString &section, const QString &key, int32_t value);
    bool WriteBool(const QString &section, const QString &key, bool value);

private:
    QString m_fileName;
};

} // namespace warplon
