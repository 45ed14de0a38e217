#include "text/inifile.h"

#include "base/safefile.h"

#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <optional>

namespace warplon {

namespace {

enum class Encoding { Utf8, Cp949, Latin1 };

// The file's text and how it was stored, so that a rewrite stores it the same way: a settings
// file from an older Korean install stays CP949 unless a new value cannot be written in CP949.
struct FileText
{
    QString text;
    Encoding encoding = Encoding::Utf8;
    bool byteOrderMark = false;
};

// A missing file reads as empty text. False when the file exists but cannot be read (a folder,
// no permission) or is larger than any settings file can be.
bool readFileText(const QString &fileName, FileText &out)
{
    out = FileText();
    if (!QFileInfo::exists(fileName))
        return true;
    QByteArray bytes;
    if (!ReadWholeFile(fileName, bytes, IniFile::MaxFileSize))
        return false;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        out.byteOrderMark = true;
        bytes.remove(0, 3);
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    out.text = utf8.decode(bytes);
    if (!utf8.hasError())
        return true;
    QStringDecoder korean("CP949");
    if (korean.isValid()) {
        out.text = korean.decode(bytes);
        if (!korean.hasError()) {
            out.encoding = Encoding::Cp949;
            return true;
        }
    }
    out.text = QString::fromLatin1(bytes);
    out.encoding = Encoding::Latin1;
    return true;
}

QByteArray encodeFileText(const FileText &file)
{
    if (file.encoding == Encoding::Cp949) {
        QStringEncoder korean("CP949");
        if (korean.isValid()) {
            const QByteArray bytes = korean.encode(file.text);
            if (!korean.hasError())
                return bytes;
        }
    } else if (file.encoding == Encoding::Latin1) {
        const bool fits = std::all_of(file.text.cbegin(), file.text.cend(),
                                      [](QChar c) { return c.unicode() < 0x100; });
        if (fits)
            return file.text.toLatin1();
    }
    // UTF-8, and the way out when a new value cannot be stored in the file's old encoding.
    QByteArray bytes = file.text.toUtf8();
    if (file.byteOrderMark && file.encoding == Encoding::Utf8)
        bytes.prepend("\xEF\xBB\xBF");
    return bytes;
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\v' || c == u'\f';
}

// Only ASCII blanks are cut, as Windows does: an ideographic space at the end of a Korean text
// is part of the text.
QStringView trimBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

struct Line
{
    enum class Kind { Other, Comment, Section, Key };
    Kind kind = Kind::Other;
    QStringView name;
    QStringView value;
};

Line parseLine(QStringView raw)
{
    const QStringView line = trimBlanks(raw);
    if (line.isEmpty())
        return {};
    if (line.front() == u';')
        return {Line::Kind::Comment, {}, {}};
    if (line.front() == u'[') {
        const qsizetype close = line.indexOf(u']');
        const QStringView name = close < 0 ? line.mid(1) : line.mid(1, close - 1);
        return {Line::Kind::Section, trimBlanks(name), {}};
    }
    const qsizetype equals = line.indexOf(u'=');
    if (equals < 0)
        return {};
    const QStringView name = trimBlanks(line.left(equals));
    if (name.isEmpty())
        return {};
    return {Line::Kind::Key, name, trimBlanks(line.mid(equals + 1))};
}

bool sameName(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Calls `visit` with every key line of the first section named `section`.
template<typename Visit>
void forEachKeyOfSection(const QString &text, QStringView section, Visit visit)
{
    bool inside = false;
    for (const QStringView raw : QStringView(text).split(u'\n')) {
        const Line line = parseLine(raw);
        if (line.kind == Line::Kind::Section) {
            if (inside)
                return; // only the first section of that name counts
            inside = sameName(line.name, section);
        } else if (inside && line.kind == Line::Kind::Key) {
            if (!visit(line))
                return;
        }
    }
}

std::optional<QString> findValue(const QString &fileName, const QString &section,
                                 const QString &key)
{
    FileText file;
    if (!readFileText(fileName, file))
        return std::nullopt;
    const QStringView wanted = trimBlanks(key);
    std::optional<QString> found;
    forEachKeyOfSection(file.text, trimBlanks(section), [&](const Line &line) {
        if (!sameName(line.name, wanted))
            return true;
        found = line.value.toString();
        return false;
    });
    return found;
}

int digitValue(QChar c, int base)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (base == 16 && u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (base == 16 && u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

// The leading integer of a value: "150 needles" reads 150. Only ASCII digits count, and a number
// that does not fit 32 bits is no number.
std::optional<int32_t> parseInteger(QStringView text)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    int base = 10;
    if (i + 2 < text.size() && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')
        && digitValue(text[i + 2], 16) >= 0) {
        base = 16;
        i += 2;
    }
    constexpr int64_t limit = int64_t(INT32_MAX) + 1;
    int64_t value = 0;
    qsizetype digits = 0;
    for (; i < text.size(); ++i) {
        const int digit = digitValue(text[i], base);
        if (digit < 0)
            break;
        value = value * base + digit;
        if (value > limit)
            return std::nullopt;
        ++digits;
    }
    if (digits == 0)
        return std::nullopt;
    if (negative)
        value = -value;
    if (value > INT32_MAX)
        return std::nullopt;
    return int32_t(value);
}

bool holdsLineBreak(const QString &text)
{
    return text.contains(u'\n') || text.contains(u'\r');
}

} // namespace

QString IniSection::ReadString(const QString &key, const QString &fallback) const
{
    return m_values.value(trimBlanks(key).toString().toCaseFolded(), fallback);
}

int32_t IniSection::ReadInteger(const QString &key, int32_t fallback) const
{
    const auto it = m_values.constFind(trimBlanks(key).toString().toCaseFolded());
    if (it == m_values.cend())
        return fallback;
    return parseInteger(*it).value_or(fallback);
}

bool IniSection::contains(const QString &key) const
{
    return m_values.contains(trimBlanks(key).toString().toCaseFolded());
}

IniFile::IniFile(QString fileName)
    : m_fileName(std::move(fileName))
{}

QString IniFile::ReadString(const QString &section, const QString &key,
                            const QString &fallback) const
{
    return findValue(m_fileName, section, key).value_or(fallback);
}

int32_t IniFile::ReadInteger(const QString &section, const QString &key, int32_t fallback) const
{
    const std::optional<QString> value = findValue(m_fileName, section, key);
    if (!value)
        return fallback;
    return parseInteger(*value).value_or(fallback);
}

bool IniFile::ReadBool(const QString &section, const QString &key, bool fallback) const
{
    const std::optional<QString> value = findValue(m_fileName, section, key);
    if (!value)
        return fallback;
    if (*value == u"1" || value->compare(u"true", Qt::CaseInsensitive) == 0)
        return true;
    if (*value == u"0" || value->compare(u"false", Qt::CaseInsensitive) == 0)
        return false;
    return fallback;
}

IniSection IniFile::ReadSection(const QString &section) const
{
    IniSection result;
    FileText file;
    if (!readFileText(m_fileName, file))
        return result;
    forEachKeyOfSection(file.text, trimBlanks(section), [&](const Line &line) {
        const QString folded = line.name.toString().toCaseFolded();
        if (!result.m_values.contains(folded)) { // the first line of a key wins, as on lookup
            result.m_values.insert(folded, line.value.toString());
            result.m_keys.append(line.name.toString());
        }
        return true;
    });
    return result;
}

bool IniFile::WriteString(const QString &sectionName, const QString &keyName, const QString &value)
{
    const QString section = trimBlanks(sectionName).toString();
    const QString key = trimBlanks(keyName).toString();
    if (key.isEmpty() || key.contains(u'=') || key.startsWith(u';') || key.startsWith(u'[')
        || section.contains(u']') || holdsLineBreak(section) || holdsLineBreak(key)
        || holdsLineBreak(value))
        return false;

    FileText file;
    if (!readFileText(m_fileName, file))
        return false;

    // Lines keep their own carriage returns, so lines we do not touch keep their bytes; new
    // lines follow the file's style (CR LF for a new file, as Windows writes INI files).
    const bool crlf = file.text.isEmpty() || file.text.contains(u"\r\n");
    const QString lineEnd = crlf ? QStringLiteral("\r") : QString();
    if (!file.text.isEmpty() && !file.text.endsWith(u'\n'))
        file.text += lineEnd + u'\n';
    QStringList lines = file.text.split(u'\n');
    lines.removeLast(); // the empty rest after the final line break

    qsizetype sectionLine = -1;
    qsizetype lastContent = -1; // last line of the section that is neither blank nor comment
    qsizetype keyLine = -1;
    QString keySpelling;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const Line line = parseLine(lines[i]);
        if (line.kind == Line::Kind::Section) {
            if (sectionLine >= 0)
                break;
            if (sameName(line.name, section))
                sectionLine = lastContent = i;
        } else if (sectionLine >= 0) {
            if (line.kind == Line::Kind::Key && sameName(line.name, key)) {
                keyLine = i;
                keySpelling = line.name.toString();
                break;
            }
            if (line.kind == Line::Kind::Key
                || (line.kind == Line::Kind::Other && !trimBlanks(lines[i]).isEmpty()))
                lastContent = i;
        }
    }

    if (keyLine >= 0) {
        lines[keyLine] = keySpelling + u'=' + value + lineEnd;
    } else if (sectionLine >= 0) {
        lines.insert(lastContent + 1, key + u'=' + value + lineEnd);
    } else {
        if (!lines.isEmpty() && !trimBlanks(lines.last()).isEmpty())
            lines.append(lineEnd);
        lines.append(u'[' + section + u']' + lineEnd);
        lines.append(key + u'=' + value + lineEnd);
    }
    file.text = lines.join(u'\n') + u'\n';
    return WriteFileAtomically(m_fileName, encodeFileText(file));
}

bool IniFile::WriteInteger(const QString &section, const QString &key, int32_t value)
{
    return WriteString(section, key, QString::number(value));
}

bool IniFile::WriteBool(const QString &section, const QString &key, bool value)
{
    return WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

} // namespace warplon
