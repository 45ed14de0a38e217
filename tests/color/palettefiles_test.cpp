#include "color/palette.h"
#include "color/palettefiles.h"
#include "colortestfiles.h"
#include "testsupport.h"

#include <QDir>

#include <gtest/gtest.h>

#include <tuple>

using namespace warplon;
using test::TempDir;

namespace {

std::tuple<int, int, int> EntryRgb(const TPalette &palette, int index)
{
    const RGBQUAD c = palette.GetColorData(index)->color;
    return {c.rgbRed, c.rgbGreen, c.rgbBlue};
}

// Entry i of the file palettes: (i, 2i, 3i) modulo 256, plus an offset telling files apart.
auto FileColour(int offset)
{
    return [offset](int i) {
        return std::make_tuple((i + offset) % 256, (2 * i + offset) % 256, (3 * i) % 256);
    };
}

TPalette DesignPalette()
{
    TPalette palette;
    for (int i = 0; i < kPaletteSize; ++i)
        palette.SetKvTextileColor(i, 1019, 3, 7, uint8_t(i), 9);
    return palette;
}

} // namespace

TEST(PaletteFiles, NamesTheManagerAccepts)
{
    struct Case
    {
        const char *typed;
        PaletteNameProblem problem;
        const char *saved;   // the Save name
        const char *renamed; // the Rename name
    };
    const Case cases[] = {
        {"blue", PaletteNameProblem::None, "blue.fcr", "blue.fcr"},
        {"  blue  ", PaletteNameProblem::None, "blue.fcr", "blue.fcr"},
        {"blue.FCR", PaletteNameProblem::None, "blue.FCR", "blue.FCR"},
        {"blue.pal", PaletteNameProblem::None, "blue.pal.fcr", "blue.pal"},
        {"v1.2 blue", PaletteNameProblem::None, "v1.2 blue.fcr", "v1.2 blue"},
        {"", PaletteNameProblem::Empty, "", ""},
        {"   ", PaletteNameProblem::Empty, "", ""},
        {"*.fcr", PaletteNameProblem::Wildcard, "", ""},
        {"blue?", PaletteNameProblem::Wildcard, "", ""},
        {"sub/blue", PaletteNameProblem::PathSeparator, "", ""},
        {"..\\blue", PaletteNameProblem::PathSeparator, "", ""},
        {"..", PaletteNameProblem::PathSeparator, "", ""},
        {".", PaletteNameProblem::PathSeparator, "", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed);
        const QString typed = QString::fromUtf8(c.typed);
        EXPECT_EQ(CheckPaletteName(typed), c.problem);
        if (c.problem == PaletteNameProblem::None) {
            EXPECT_EQ(SaveFileName(typed), QString::fromUtf8(c.saved));
            EXPECT_EQ(RenameFileName(typed), QString::fromUtf8(c.renamed));
        }
    }
}

// Save warns only before it would overwrite; Rename never overwrites another file.
TEST(PaletteFiles, PlansSaveAndRenameInAFolder)
{
    TempDir dir;
    ASSERT_TRUE(test::writeFile(dir.file(QStringLiteral("red.fcr")), "x"));
    ASSERT_TRUE(test::writeFile(dir.file(QStringLiteral("green.fcr")), "y"));
    const QDir folder(dir.path());

    const PaletteSaveTarget fresh = PlanPaletteSave(folder, QStringLiteral("blue"));
    EXPECT_EQ(fresh.problem, PaletteNameProblem::None);
    EXPECT_EQ(fresh.path, dir.file(QStringLiteral("blue.fcr")));
    EXPECT_FALSE(fresh.overwrites);
    const PaletteSaveTarget over = PlanPaletteSave(folder, QStringLiteral("red"));
    EXPECT_EQ(over.path, dir.file(QStringLiteral("red.fcr")));
    EXPECT_TRUE(over.overwrites);
    const PaletteSaveTarget mask = PlanPaletteSave(folder, QStringLiteral("*.fcr"));
    EXPECT_EQ(mask.problem, PaletteNameProblem::Wildcard);
    EXPECT_TRUE(mask.path.isEmpty());

    const PaletteRenameTarget onto
        = PlanPaletteRename(folder, QStringLiteral("red.fcr"), QStringLiteral("green"));
    EXPECT_EQ(onto.problem, PaletteNameProblem::Exists);
    const PaletteRenameTarget moved
        = PlanPaletteRename(folder, QStringLiteral("red.fcr"), QStringLiteral("blue"));
    EXPECT_EQ(moved.problem, PaletteNameProblem::None);
    EXPECT_FALSE(moved.unchanged);
    EXPECT_EQ(moved.newName, QStringLiteral("blue.fcr"));
    EXPECT_EQ(moved.newPath, dir.file(QStringLiteral("blue.fcr")));
    const PaletteRenameTarget same
        = PlanPaletteRename(folder, QStringLiteral("red.fcr"), QStringLiteral("red"));
    EXPECT_EQ(same.problem, PaletteNameProblem::None);
    EXPECT_TRUE(same.unchanged);
    EXPECT_EQ(PlanPaletteRename(folder, QStringLiteral("red.fcr"), QStringLiteral("a/b")).problem,
              PaletteNameProblem::PathSeparator);
}

// Merge puts entries 2, 3, ... of the file after the colours in use, up to entry 250.
TEST(PaletteFiles, MergeFillsFromUseColorToEntry250)
{
    TPalette file;
    ASSERT_TRUE(file.LoadFromBytes(test::FreePaletteFile(FileColour(40))));

    TPalette design = DesignPalette();
    design.UseColor = 200;
    EXPECT_EQ(MergePalette(design, file), 50);
    EXPECT_EQ(design.UseColor, 200);
    for (int i = 0; i <= 200; ++i)
        EXPECT_EQ(EntryRgb(design, i), EntryRgb(DesignPalette(), i)) << "entry " << i;
    for (int i = 201; i <= 250; ++i) {
        EXPECT_EQ(EntryRgb(design, i), FileColour(40)(i - 199)) << "entry " << i;
        EXPECT_EQ(design.GetColorData(i)->GetKind(), ColorNormal) << "entry " << i;
    }
    for (int i = 251; i < kPaletteSize; ++i)
        EXPECT_EQ(EntryRgb(design, i), EntryRgb(DesignPalette(), i)) << "entry " << i;

    // A new palette (UseColor 2) takes file entries 2-249; a full one takes nothing.
    TPalette fresh = DesignPalette();
    EXPECT_EQ(MergePalette(fresh, file), 248);
    EXPECT_EQ(EntryRgb(fresh, 3), FileColour(40)(2));
    EXPECT_EQ(EntryRgb(fresh, 250), FileColour(40)(249));
    TPalette full = DesignPalette();
    full.UseColor = 250;
    EXPECT_EQ(MergePalette(full, file), 0);
    EXPECT_EQ(full.ToFileBytes(), DesignPalette().ToFileBytes());
}

// The preview and Merge read into a palette of their own: entries a short file does not hold
// are black, never left over from the palette shown before; a file that cannot be read changes
// nothing.
TEST(PaletteFiles, ReadsIntoAFreshPalette)
{
    TempDir dir;
    const QByteArray whole = test::FreePaletteFile(FileColour(1));
    // The header and three 9-byte records of free colours: entries 0-2.
    ASSERT_TRUE(test::writeFile(dir.file(QStringLiteral("short.fcr")), whole.left(4 + 3 * 9)));

    TPalette palette = DesignPalette();
    EXPECT_TRUE(ReadFreshPalette(dir.file(QStringLiteral("short.fcr")), palette));
    EXPECT_EQ(EntryRgb(palette, 2), FileColour(1)(2));
    EXPECT_EQ(EntryRgb(palette, 3), std::make_tuple(0, 0, 0));
    EXPECT_EQ(palette.GetColorData(3)->GetKind(), ColorNormal);

    TPalette untouched = DesignPalette();
    QString error;
    EXPECT_FALSE(ReadFreshPalette(dir.file(QStringLiteral("missing.fcr")), untouched, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(untouched.ToFileBytes(), DesignPalette().ToFileBytes());
}
