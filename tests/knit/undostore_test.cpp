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
    const QString undoFile = dir.file(QStringLiteral("temp.und"));
    const QString redoFile = dir.file(QStringLiteral("temp.rnd"));
    {
        UndoStore store(dir.path());
        EXPECT_TRUE(QFile::exists(undoFile) && QFile::exists(redoFile));
        TexLayer d = designWithLap(0);
        store.Push(d); // before the first change
        d.bars[0].lapping[0].x0 = 1;
        store.Push(d); // before the second change
        d.bars[0].lapping[0].x0 = 2;

        auto step = [&](bool undo) {
            undo ? store.Undo(d) : store.Redo(d);
            return firstLap(d);
        };
        EXPECT_EQ(step(true), 1);
        EXPECT_EQ(step(true), 0);
        EXPECT_FALSE(store.CanUndo());
        EXPECT_EQ(step(true), 0);  // nothing left: no change
        EXPECT_EQ(step(false), 1); // the state after the first change
        EXPECT_TRUE(store.UndoCount() == 1 && store.RedoCount() == 1);
        EXPECT_EQ(step(false), 2);
        EXPECT_FALSE(store.CanRedo());

        // A new change after an undo forgets the redo side.
        store.Undo(d);
        EXPECT_TRUE(store.CanRedo());
        store.Push(d);
        EXPECT_FALSE(store.CanRedo());
        EXPECT_EQ(QFile(redoFile).size(), 0);
    }
    // The scratch files go away with the store.
    EXPECT_FALSE(QFile::exists(undoFile) || QFile::exists(redoFile));
}

TEST(UndoStore, SnapshotsHoldTheWholeDocumentAndNothingElse)
{
    warplon::test::TempDir dir;
    UndoStore store(dir.path());
    TexLayer d = designWithLap(3);
    d.yarns[0].name = "front";
    d.completeNeedle = 30;
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
    EXPECT_FALSE(store.CanUndo() || store.CanRedo());
    EXPECT_EQ(QFile(dir.file(QStringLiteral("temp.und"))).size(), 0);

    // A folder that cannot hold the files gives a store that simply has nothing to undo.
    UndoStore nowhere(dir.file(QStringLiteral("missing/folder")));
    nowhere.Push(d);
    EXPECT_FALSE(nowhere.CanUndo());
    nowhere.Undo(d);
    EXPECT_TRUE(d.sameStoredFields(before));
}
