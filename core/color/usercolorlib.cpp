#include "color/usercolorlib.h"

#include "color/colorcatalogs.h"
#include "color/coloredit.h"
#include "text/encoding.h"

#include <QFileInfo>

#include <algorithm>

namespace warplon {

namespace {

UserColor FromColorData(const TColorData &data)
{
    UserColor color;
    color.kind = data.GetKind() & 15;
    color.page = data.PageNumber;
    color.number = data.ColorNumber;
    color.color = data.color;
    return color;
}

const TColorCatalog *CatalogOf(const ColorCatalogs &catalogs, UserColorBook book)
{
    switch (book) {
    case UserColorBook::KvStandard:
        return &catalogs.standard;
    case UserColorBook::KvTextile:
        return &catalogs.textile;
    case UserColorBook::Pantone1000:
        return &catalogs.pantone1000;
    case UserColorBook::PantoneTextile:
        return &catalogs.pantoneTextile;
    case UserColorBook::Normal:
    case UserColorBook::Printer:
        break;
    }
    return nullptr;
}

// One character of a name: its UTF-16 units and its UTF-8 bytes.
struct NameChar
{
    int units;
    int bytes;
};

std::vector<NameChar> SplitName(const QString &text)
{
    std::vector<NameChar> chars;
    for (qsizetype i = 0; i < text.size();) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            chars.push_back({2, 4});
            i += 2;
            continue;
        }
        const char16_t u = c.unicode();
        // A lone surrogate is written as the replacement character, three bytes.
        chars.push_back({1, u < 0x80 ? 1 : u < 0x800 ? 2 : 3});
        ++i;
    }
    return chars;
}

} // namespace

bool IsPantoneBook(UserColorBook book)
{
    return book == UserColorBook::Pantone1000 || book == UserColorBook::PantoneTextile;
}

UserColorBook BookOfUserColor(const UserColor &color)
{
    switch (color.kind & 0xFFFF) {
    case ColorNormal:
        return color.page != 0 ? UserColorBook::Printer : UserColorBook::Normal;
    case ColorPantone1000:
        return UserColorBook::Pantone1000;
    case ColorPantoneTextile:
        return UserColorBook::PantoneTextile;
    case ColorKvStandard:
        return UserColorBook::KvStandard;
    case ColorKvTextile:
        return UserColorBook::KvTextile;
    default:
        return UserColorBook::Normal;
    }
}

std::optional<UserColor> LookUpUserColorCode(const ColorCatalogs &catalogs, UserColorBook book,
                                             const QString &code)
{
    const QString typed = code.trimmed();
    if (typed.isEmpty())
        return std::nullopt;
    if (book == UserColorBook::Printer) {
        const std::optional<QString> printerCode = NormalizePrinterCode(typed);
        int page = 0;
        int step = 0;
        int column = 0;
        if (!printerCode || !TPrinterColor::SearchPrinterColor(*printerCode, page, step, column))
            return std::nullopt;
        const std::optional<TColorData> data = PrinterColorData(page - 1, step - 1, column - 1);
        return data ? std::optional(FromColorData(*data)) : std::nullopt;
    }
    const TColorCatalog *catalog = CatalogOf(catalogs, book);
    int page = -1;
    int entry = -1;
    if (!catalog || !catalog->SearchCode(typed, page, entry))
        return std::nullopt;
    const std::optional<TColorData> data = CatalogColorData(*catalog, page, entry);
    return data ? std::optional(FromColorData(*data)) : std::nullopt;
}

QString UserColorCode(const ColorCatalogs &catalogs, const UserColor &color)
{
    const UserColorBook book = BookOfUserColor(color);
    if (book == UserColorBook::Normal)
        return QString();
    if (book == UserColorBook::Printer)
        return TPrinterColor::PN2Code(color.page, color.number);
    QString code;
    CatalogOf(catalogs, book)->PN2Code(color.page, color.number, code);
    return code;
}

UserColor FreeUserColor(RGBQUAD rgb, const QByteArray &name)
{
    UserColor color;
    color.name = name;
    color.color = rgb;
    color.color.rgbReserved = 0;
    return color;
}

QByteArray UserColorNameBytes(const QString &text)
{
    // A zero character would end the name in the file; nothing after it is kept.
    const qsizetype zero = text.indexOf(QChar(0));
    const QString name = zero < 0 ? text : text.left(zero);
    int units = 0;
    int bytes = 0;
    for (const NameChar &c : SplitName(name)) {
        if (bytes + c.bytes > kUserColorNameMaxBytes)
            break;
        bytes += c.bytes;
        units += c.units;
    }
    return name.left(units).toUtf8();
}

QString UserColorNameText(const QByteArray &name)
{
    return DecodeText(name);
}

bool FitUserColorName(QString &text, int &cursor)
{
    std::vector<NameChar> chars = SplitName(text);
    int bytes = 0;
    for (const NameChar &c : chars)
        bytes += c.bytes;
    if (bytes <= kUserColorNameMaxBytes)
        return false;
    cursor = std::clamp(cursor, 0, int(text.size()));
    // The characters before the cursor (one it stands inside counts as before it), newest first.
    int position = 0;
    size_t atCursor = 0;
    while (atCursor < chars.size() && position < cursor) {
        position += chars[atCursor].units;
        ++atCursor;
    }
    cursor = position;
    while (bytes > kUserColorNameMaxBytes && atCursor > 0) {
        --atCursor;
        const NameChar c = chars[atCursor];
        cursor -= c.units;
        text.remove(cursor, c.units);
        bytes -= c.bytes;
        chars.erase(chars.begin() + std::ptrdiff_t(atCursor));
    }
    while (bytes > kUserColorNameMaxBytes) {
        const NameChar c = chars.back();
        text.chop(c.units);
        bytes -= c.bytes;
        chars.pop_back();
    }
    return true;
}

QString UserColorFolder(const QString &programDirectory)
{
    return programDirectory + QStringLiteral("/color");
}

QString WithUserColorExtension(const QString &name)
{
    if (name.endsWith(QStringLiteral(".ucl"), Qt::CaseInsensitive))
        return name;
    return name + QStringLiteral(".ucl");
}

bool IsFileMask(const QString &text)
{
    return text.contains(u'*') || text.contains(u'?');
}

QString UserColorCollection::NewCaption()
{
    return QStringLiteral("Noname-01");
}

QString UserColorCollection::NewFileName()
{
    return QStringLiteral("noname.ucl");
}

UserColorCollection::UserColorCollection()
    : m_caption(NewCaption())
{}

void UserColorCollection::New()
{
    m_colors.clear();
    m_caption = NewCaption();
    m_path.clear();
}

bool UserColorCollection::Load(const QString &path, QString *error)
{
    const QFileInfo file(path);
    m_caption = file.fileName();
    m_path = file.absoluteFilePath();
    return LoadUserColorFile(path, m_colors, error);
}

bool UserColorCollection::Save(const QString &path, QString *error)
{
    if (!SaveUserColorFile(path, m_colors, error))
        return false;
    const QFileInfo file(path);
    m_caption = file.fileName();
    m_path = file.absoluteFilePath();
    return true;
}

void UserColorCollection::FileRenamed(const QString &from, const QString &to)
{
    if (m_path.isEmpty() || m_path != QFileInfo(from).absoluteFilePath())
        return;
    const QFileInfo file(to);
    m_caption = file.fileName();
    m_path = file.absoluteFilePath();
}

QByteArray UserColorCollection::CaptionBytes() const
{
    return EncodeText(m_caption);
}

void UserColorCollection::Append(const UserColor &color)
{
    m_colors.push_back(color);
}

bool UserColorCollection::Replace(int index, const UserColor &color)
{
    if (index < 0 || index >= Count())
        return false;
    m_colors[size_t(index)] = color;
    return true;
}

int UserColorCollection::Remove(std::vector<int> indices)
{
    std::sort(indices.begin(), indices.end());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    int removed = 0;
    for (auto it = indices.rbegin(); it != indices.rend(); ++it) {
        if (*it < 0 || *it >= Count())
            continue;
        m_colors.erase(m_colors.begin() + *it);
        ++removed;
    }
    return removed;
}

std::vector<UserColor> UserColorCollection::Pick(std::vector<int> indices) const
{
    std::sort(indices.begin(), indices.end());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    std::vector<UserColor> picked;
    for (int index : indices) {
        if (index >= 0 && index < Count())
            picked.push_back(m_colors[size_t(index)]);
    }
    return picked;
}

} // namespace warplon
