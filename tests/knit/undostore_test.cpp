#include "knit/undostore.h"

#include "testsupport.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace warplon;

namespace {

TexLayer designWithLap(int32_t x0)
{
    TexLayer d;
    d.AddBar();
    d.SetCourseCount(2);
    d.bars[0].lapping[0] = {x0, x0 + 1, x0 + 1};
    return d;
}

int32_t firstLap(const TexLayer &d)
{
    return d.bars.at(0).lapping.at(0).x0;
}

} // namespace

TEST(UndoStore, StepsBackAndForthThroughSnapshots)
{
    warplon::test::TempDir dir;
    UndoStore store(dir.path());
    EXPECT_TRUE(QFile::exists(dir.file(QStringLiteral("temp.und"))));
    EXPECT_TRUE(QFile::exists(dir.file(QStringLiteral("temp.rnd"))));

    TexLayer d = designWithLap(0);
    store.Push(d); // before the first change
    d.bars[0].lapping[0].x0 = 1;
    store.Push(d); // before the second change
    d.bars[0].lapping[0].x0 = 2;

    store.Undo(d);
    EXPECT_EQ(firstLap(d), 1);
    store.Undo(d);
    EXPECT_EQ(firstLap(d), 0);
    EXPECT_FALSE(store.CanUndo());
    store.Undo(d); // nothing left: no change
    EXPECT_EQ(firstLap(d), 0);

    store.Redo(d);
    EXPECT_EQ(firstLap(d), 1); // the state after the first change
    EXPECT_EQ(store.UndoCount(), 1);
    EXPECT_EQ(store.RedoCount(), 1);

    store.Redo(d);
    EXPECT_EQ(firstLap(d), 2);
    EXPECT_FALSE(store.CanRedo());

    // A new change after an undo forgets the redo side.
    store.Undo(d);
    EXPECT_TRUE(store.CanRedo());
    store.Push(d);
    EXPECT_FALSE(store.CanRedo());
    EXPECT_EQ(QFile(dir.file(QStringLiteral("temp.rnd"))).size(), 0);
}

TEST(UndoStore, SnapshotsHoldTheWholeDocumentAndNothingElse)
{
    warplon::test::TempDir dir;
    UndoStore store(dir.path());
    TexLayer d = designWithLap(3);
    d.yarns[0].name = "front";
    d.completeNeedle = 30;
    d.cursorWale = 4;
    const TexLayer before = d;
    store.Push(d);

    d.yarns.push_back(Yarn{});
    d.AddBar();
    d.completeNeedle = 2;
    d.cursorWale = 9; // the cursor is not part of a snapshot
    store.Undo(d);
    EXPECT_TRUE(d.sameStoredFields(before));
    EXPECT_EQ(d.cursorWale, 9);

    store.Clear();
    EXPECT_FALSE(store.CanUndo());
    EXPECT_FALSE(store.CanRedo());
    EXPECT_EQ(QFile(dir.file(QStringLiteral("temp.und"))).size(), 0);
}

TEST(UndoStore, ScratchFilesGoAwayWithTheStore)
{
    warplon::test::TempDir dir;
    {
        UndoStore store(dir.path());
        store.Push(designWithLap(1));
    }
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("temp.und"))));
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("temp.rnd"))));

    // A folder that cannot hold the files gives a store that simply has nothing to undo.
    UndoStore nowhere(dir.file(QStringLiteral("missing/folder")));
    TexLayer d = designWithLap(5);
    nowhere.Push(d);
    EXPECT_FALSE(nowhere.CanUndo());
    nowhere.Undo(d);
    EXPECT_EQ(firstLap(d), 5);
}
