#include "color/colorcatalogs.h"
#include "color/palette.h"
#include "color/paletteeditor.h"
#include "colortestfiles.h"

#include <gtest/gtest.h>

using namespace warplon;

namespace {

RGBQUAD Rgb(uint8_t r, uint8_t g, uint8_t b)
{
    RGBQUAD q;
    q.rgbRed = r;
    q.rgbGreen = g;
    q.rgbBlue = b;
    return q;
}

} // namespace

TEST(PaletteEditor, ShowingNeverWritesAndARunKeepsOneSnapshot)
{
    TPalette palette;
    palette.SetKvStandardColor(5, 21, 3, 10, 20, 30);
    TColorData before;
    before.Copy(*palette.GetColorData(5));
    PaletteEditor editor(palette);
    EXPECT_EQ(editor.Chosen(), 2);

    editor.Show(5);
    EXPECT_EQ(editor.Working(), Rgb(10, 20, 30));
    // The same colour again (as an editor refilled from the entry would give) changes nothing.
    EXPECT_FALSE(editor.SetWorking(Rgb(10, 20, 30)));
    EXPECT_TRUE(palette.GetColorData(5)->Compare(before));
    EXPECT_FALSE(editor.CanUndo());

    // A drag: many changes, one snapshot; the entry is a free colour from the first change.
    EXPECT_TRUE(editor.SetWorking(Rgb(11, 20, 30)));
    EXPECT_TRUE(editor.SetWorking(Rgb(12, 20, 30)));
    EXPECT_TRUE(editor.SetWorking(Rgb(13, 20, 30)));
    EXPECT_EQ(palette.GetColorData(5)->GetKind(), ColorNormal);
    EXPECT_EQ(palette.GetColorData(5)->PageNumber, 0);
    EXPECT_EQ(editor.UndoCount(), 1);
    // The origin is what the entry was when it was shown.
    EXPECT_TRUE(editor.Origin().Compare(before));

    editor.EndRun();
    EXPECT_TRUE(editor.SetWorking(Rgb(14, 20, 30)));
    EXPECT_EQ(editor.UndoCount(), 2);
    // Back to the origin gives the catalogue colour back, kind and code included.
    EXPECT_TRUE(editor.ReturnToOrigin());
    EXPECT_TRUE(palette.GetColorData(5)->Compare(before));
    EXPECT_FALSE(editor.ReturnToOrigin());
    EXPECT_EQ(editor.UndoCount(), 3);

    // Undo walks back through the runs and shows each restored entry.
    editor.Show(9);
    EXPECT_EQ(editor.Undo(), 5);
    EXPECT_EQ(editor.Chosen(), 5);
    EXPECT_EQ(palette.GetColorData(5)->color, Rgb(14, 20, 30));
    EXPECT_EQ(editor.Working(), Rgb(14, 20, 30));
    EXPECT_EQ(editor.Undo(), 5);
    EXPECT_EQ(palette.GetColorData(5)->color, Rgb(13, 20, 30));
    EXPECT_EQ(editor.Undo(), 5);
    EXPECT_TRUE(palette.GetColorData(5)->Compare(before));
    EXPECT_FALSE(editor.CanUndo());
    EXPECT_EQ(editor.Undo(), -1);
    // After an undo the next change starts a run of its own.
    EXPECT_TRUE(editor.SetWorking(Rgb(0, 0, 0)));
    EXPECT_EQ(editor.UndoCount(), 1);
}

TEST(PaletteEditor, CatalogueRecordsAreRunsOfTheirOwn)
{
    test::TempDir dir;
    test::WriteColorFile(dir.path(), QStringLiteral("Standard.kvc"),
                         test::StandardCatalogFile(5, {{1, 42, 100, 50, 50}}));
    ColorCatalogs catalogs(dir.path());
    TPalette palette;
    PaletteEditor editor(palette);
    editor.Show(3);
    ASSERT_TRUE(editor.SetWorking(Rgb(100, 50, 61)));
    // The nearest button ends the editing run and keeps its own snapshot.
    EXPECT_TRUE(editor.SetNearest(catalogs.standard, catalogs.textile));
    EXPECT_EQ(palette.GetColorData(3)->GetKind(), ColorKvStandard);
    EXPECT_EQ(editor.Working(), Rgb(100, 50, 50));
    EXPECT_EQ(editor.UndoCount(), 2);
    // The same record again writes nothing.
    EXPECT_FALSE(editor.SetNearest(catalogs.standard, catalogs.textile));
    EXPECT_EQ(editor.UndoCount(), 2);
    EXPECT_EQ(editor.Undo(), 3);
    EXPECT_EQ(palette.GetColorData(3)->color, Rgb(100, 50, 61));

    // Entry 0 is never chosen.
    editor.Show(0);
    EXPECT_EQ(editor.Chosen(), 3);
    editor.Show(1);
    EXPECT_EQ(editor.Chosen(), 1);
}
