#pragma once

// The rules of the palette file manager that need no window: the names it accepts for palette
// files, the file names it makes of them, and merging the colours of a palette file into the
// design palette.

#include <QDir>
#include <QString>

namespace warplon {

class TPalette;

// The mode buttons of the palette file manager; the value is the button's tag.
enum class PaletteFileMode { Read = 0, Merge = 1, Save = 2, SaveAs = 3, Rename = 4, Delete = 5 };

// Merging stops here: the last entries stay free for the designer's own colours.
constexpr int kMergeLastEntry = 250;
// The extension of palette files, and the mask of the file list (also the first text of the
// name edit).
inline QString PaletteFileExtension()
{
    return QStringLiteral(".fcr");
}
inline QString PaletteFileMask()
{
    return QStringLiteral("*.fcr");
}

// Why a typed name cannot name a palette file of the current folder.
enum class PaletteNameProblem {
    None,
    Empty,         // nothing but blanks
    Wildcard,      // '*' or '?': a mask such as "*.fcr", not one file
    PathSeparator, // '/' or '\', or only dots: it names a folder, not a file in this one
    Exists,        // renaming onto a file that is already there
};

// Blanks at both ends are not part of the name.
PaletteNameProblem CheckPaletteName(const QString &typed);

// Save and Save As: the typed name with ".fcr" appended unless it already ends in ".fcr" (in
// any case), so "blue" and "blue.FCR" both name palette files.
QString SaveFileName(const QString &typed);
// Rename: ".fcr" is appended only to a name without any "." (the designer who types an
// extension gets it).
QString RenameFileName(const QString &typed);

// What a Save or Save As under a typed name would do.
struct PaletteSaveTarget
{
    PaletteNameProblem problem = PaletteNameProblem::None;
    // The full path written (empty when refused).
    QString path;
    // A file of that name is there: the designer is asked before it is overwritten.
    bool overwrites = false;
};
PaletteSaveTarget PlanPaletteSave(const QDir &folder, const QString &typed);

// What renaming `oldName` of the folder to a typed name would do. Renaming onto another file
// that exists is refused (problem Exists); the same name again leaves `unchanged` set and
// nothing to do.
struct PaletteRenameTarget
{
    PaletteNameProblem problem = PaletteNameProblem::None;
    QString newName;
    QString newPath;
    bool unchanged = false;
};
PaletteRenameTarget PlanPaletteRename(const QDir &folder, const QString &oldName,
                                      const QString &typed);

// Merge: with u the design palette's UseColor, entries 2, 3, ... of the file's palette go to
// entries u + 1, u + 2, ... up to entry 250; UseColor stays. Returns the number of entries
// written (0 when UseColor is 250 or above).
int MergePalette(TPalette &design, const TPalette &file);

// Reads a palette file into a new palette (entries the file does not reach stay black), so that
// nothing of another palette shows through. False, with `palette` untouched and the reason in
// `error`, when the file cannot be read.
bool ReadFreshPalette(const QString &path, TPalette &palette, QString *error = nullptr);

} // namespace warplon
