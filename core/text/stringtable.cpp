#include "text/stringtable.h"

#include "text/inifile.h"

#include <QDir>

namespace warplon {

QString TStringTable::TextAt(int32_t index) const
{
    if (index < 0 || index >= count())
        return QString();
    return m_items.at(index);
}

bool LoadTable(TStringTable &table, const QString &programDirectory, const QString &language,
               const QString &section)
{
    table.m_items.clear();
    const QDir folder(programDirectory);
    const IniSection chosen
        = IniFile(folder.filePath(language + QStringLiteral(".tdw"))).ReadSection(section);
    // The count comes from the chosen language only: a section that file lacks stays empty even
    // when the English file has it.
    const int32_t count = chosen.ReadInteger(QStringLiteral("Length"), 0);
    if (count < 1 || count > TStringTable::MaxCount)
        return false;
    const IniSection english
        = IniFile(folder.filePath(QStringLiteral("English.tdw"))).ReadSection(section);

    table.m_items.reserve(count);
    for (int32_t i = 0; i < count; ++i) {
        const QString key = QString::number(i);
        QString text = chosen.ReadString(key);
        if (text.isEmpty())
            text = english.ReadString(key);
        // One pass is enough: the CR LF put in can never form a new backslash-n pair with its
        // neighbours, so replacing from the left gives what repeated first-match searches give.
        text.replace(QLatin1String("\\n"), QLatin1String("\r\n"));
        table.m_items.append(text);
    }
    return true;
}

} // namespace warplon
