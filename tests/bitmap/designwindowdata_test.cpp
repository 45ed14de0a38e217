#include "bitmap/designwindowdata.h"
#include "blockchecks.h"

using namespace warplon;
using warplon::test::Bytes;

TEST(DesignWindowBlock, WritesAndReadsTheBackgroundChoice)
{
    // An index outside the list is written and read as black; version 0 holds no index.
    for (int32_t index : {0, 1, 2, 3, -1}) {
        ByteWriter writer;
        WriteDesignWindowBlock(writer, DesignWindowData{index});
        const int32_t stored = index >= 0 && index <= 2 ? index : ChartBlack;
        EXPECT_EQ(writer.data(), Bytes().i32(1).i32(stored).data()) << index;
        for (int32_t version : {0, 1}) {
            const QByteArray block = Bytes().i32(version).i32(index);
            DesignWindowData read{1};
            ByteReader reader(block);
            ASSERT_TRUE(ReadDesignWindowBlock(reader, read));
            EXPECT_EQ(read.chartBackground, version == 1 ? stored : ChartBlack) << index;
            EXPECT_EQ(reader.remaining(), version == 1 ? 0 : 4);
        }
    }
    test::CheckDamagedBlocks(Bytes().i32(1).i32(2), 3, 100, [](ByteReader &reader, qsizetype) {
        DesignWindowData data{1};
        const bool ok = ReadDesignWindowBlock(reader, data);
        EXPECT_TRUE(data.chartBackground >= 0 && data.chartBackground <= 2);
        EXPECT_TRUE(ok || data.chartBackground == ChartBlack);
        return ok;
    });
}
