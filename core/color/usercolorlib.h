#pragma once

// The user colour windows without their widgets: the colour books a user colour is defined
// from, the colour's name as its 22-byte field keeps it, ".ucl" file names, and the collection
// open in the user colour library window.

#include "color/usercolor.h"

#include <QString>

#include <optional>
#include <vector>

namespace warplon {

struct ColorCatalogs;

// ---- Colour books ----

// The books of the user colour data window, in the order of its list.
enum class UserColorBook { Normal, Printer, KvStandard, KvTextile, Pantone1000, PantoneTextile };
constexpr int kUserColorBookCount = 6;

bool IsPantoneBook(UserColorBook book);
// The book a colour was defined from: its kind, and for kind 0 whether it carries an atlas page.
// A kind outside 0-4 (only the low 16 bits count) is a free colour.
UserColorBook BookOfUserColor(const UserColor &color);

// The colour with a typed code in one book, with an empty name: the printer atlas reads codes
// as shown ("37-1:1") or typed in two digits ("37-01:01"); the catalogues compare as their
// SearchCode does. Nothing for a blank code, a code the book does not hold, or the Normal book,
// which has no codes.
std::optional<UserColor> LookUpUserColorCode(const ColorCatalogs &catalogs, UserColorBook book,
                                             const QString &code);
// The code of the colour's catalogue entry; empty for a free colour or an entry the catalogue
// does not hold.
QString UserColorCode(const ColorCatalogs &catalogs, const UserColor &color);

// A free colour: kind 0, page 0, number 0.
UserColor FreeUserColor(RGBQUAD rgb, const QByteArray &name = QByteArray());

// ---- Names ----

// The name field is a zero-terminated 22-byte buffer, so a name keeps at most 21 bytes.
constexpr int kUserColorNameMaxBytes = kUserColorNameSize - 1;

// The name's bytes (UTF-8), ending after the last whole character that fits the field.
QByteArray UserColorNameBytes(const QString &text);
// A name as the windows show it (UTF-8, or CP949 from older collections).
QString UserColorNameText(const QByteArray &name);
// Makes an edited name fit the field: whole characters just before the cursor (what was just
// typed or pasted) go first, then characters from the end. The cursor stays on the same
// character. Returns true when the text changed.
bool FitUserColorName(QString &text, int &cursor);

// ---- Files ----

// Collections live in the "color" folder of the program directory.
QString UserColorFolder(const QString &programDirectory);
// The name with ".ucl" appended when it does not end with it (in any case).
QString WithUserColorExtension(const QString &name);
// True for a text with '*' or '?': a file list mask rather than a file name.
bool IsFileMask(const QString &text);

// ---- The open collection ----

class UserColorCollection
{
public:
    // The caption of a collection that has no file yet.
    static QString NewCaption();
    // The file a new collection is offered to be saved as.
    static QString NewFileName();

    // A new, empty collection.
    UserColorCollection();

    // Empties the collection; it is "Noname-01" again, without a file.
    void New();
    // Reads a ".ucl" file. The collection takes the file's name either way; when the file cannot
    // be read or ends inside a record it is left empty and false is returned.
    bool Load(const QString &path, QString *error = nullptr);
    // Writes the collection to a file, which then becomes its file and name.
    bool Save(const QString &path, QString *error = nullptr);
    // A file was renamed: when it is the collection's own, the collection follows it.
    void FileRenamed(const QString &from, const QString &to);

    // The file's name (no folder), shown as the window's caption; it becomes the file name of
    // every user colour taken from the collection.
    const QString &Caption() const { return m_caption; }
    // The caption as user colours carry it.
    QByteArray CaptionBytes() const;
    // The full path of the collection's file; empty for a new collection.
    const QString &Path() const { return m_path; }

    const std::vector<UserColor> &Colors() const { return m_colors; }
    int Count() const { return int(m_colors.size()); }

    void Append(const UserColor &color);
    // False for an index outside the collection.
    bool Replace(int index, const UserColor &color);
    // Removes the colours at the given indices (in any order; repeated and outside indices are
    // ignored) and returns how many went.
    int Remove(std::vector<int> indices);
    // The colours at the given indices in collection order (row by row in the grid), each once.
    std::vector<UserColor> Pick(std::vector<int> indices) const;

private:
    QString m_caption;
    QString m_path;
    std::vector<UserColor> m_colors;
};

} // namespace warplon
