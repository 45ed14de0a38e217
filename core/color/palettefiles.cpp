#include "color/palettefiles.h"

#include "color/palette.h"

#include <QFileInfo>

namespace warplon {

PaletteNameProblem CheckPaletteName(const QString &typed)
{
    const QString name = typed.trimmed();
    if (name.isEmpty())
        return PaletteNameProblem::Empty;
    if (name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?')))
        return PaletteNameProblem::Wildcard;
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
        return PaletteNameProblem::PathSeparator;
    // "." and ".." are the folder itself and its parent.
    if (name.count(QLatin1Char('.')) == name.size())
        return PaletteNameProblem::PathSeparator;
    return PaletteNameProblem::None;
}

QString SaveFileName(const QString &typed)
{
    const QString name = typed.trimmed();
    if (name.endsWith(PaletteFileExtension(), Qt::CaseInsensitive))
        return name;
    return name + PaletteFileExtension();
}

QString RenameFileName(const QString &typed)
{
    const QString name = typed.trimmed();
    if (name.contains(QLatin1Char('.')))
        return name;
    return name + PaletteFileExtension();
}

PaletteSaveTarget PlanPaletteSave(const QDir &folder, const QString &typed)
{
    PaletteSaveTarget target;
    target.problem = CheckPaletteName(typed);
    if (target.problem != PaletteNameProblem::None)
        return target;
    target.path = folder.filePath(SaveFileName(typed));
    target.overwrites = QFileInfo::exists(target.path);
    return target;
}

PaletteRenameTarget PlanPaletteRename(const QDir &folder, const QString &oldName,
                                      const QString &typed)
{
    PaletteRenameTarget target;
    target.problem = CheckPaletteName(typed);
    if (target.problem != PaletteNameProblem::None)
        return target;
    target.newName = RenameFileName(typed);
    target.newPath = folder.filePath(target.newName);
    if (target.newName == oldName) {
        target.unchanged = true;
        return target;
    }
    // On a file system that ignores case, "Blue.fcr" finds "blue.fcr" itself: that is the same
    // file under another spelling, not a second file to lose.
    const QFileInfo existing(target.newPath);
    if (existing.exists() || existing.isSymLink()) {
        const QFileInfo old(folder.filePath(oldName));
        const bool sameFile = existing.exists() && old.exists()
                              && existing.canonicalFilePath() == old.canonicalFilePath();
        if (!sameFile)
            target.problem = PaletteNameProblem::Exists;
    }
    return target;
}

int MergePalette(TPalette &design, const TPalette &file)
{
    int written = 0;
    for (int to = design.UseColor + 1, from = 2; to <= kMergeLastEntry; ++to, ++from) {
        design.SetColorData(to, *file.GetColorData(from));
        ++written;
    }
    return written;
}

bool ReadFreshPalette(const QString &path, TPalette &palette, QString *error)
{
    TPalette fresh;
    if (!fresh.LoadFromFile(path, error))
        return false;
    palette.SetPalette(fresh);
    return true;
}

} // namespace warplon
