#include "bitmap/designwindowdata.h"
#include "blockchecks.h"

using namespace warplon;
using warplon::test::Bytes;

TEST(DesignWindowBlock, WritesAndReadsTheBackgroundChoice)
{
    for (int32_t index : {0, 1, 2, 3, -1}) {
        ByteWriter writer;
        WriteDesignWindowBlock(writer, DesignWindowData{index});
        const int32_t stored = index >= 0 && index <= 2 ? index : ChartBlack;
        EXPECT_EQ(writer.data(), Bytes().i32(1).i32(stored).data()) << index;

        // A file holding an index outside the list reads as black.
        const QByteArray block = Bytes().i32(1).i32(index);
        DesignWindowData read{1};
        ByteReader reader(block);
        ASSERT_TRUE(ReadDesignWindowBlock(reader, read));
        EXPECT_EQ(read.chartBackground, stored) << index;
    }

    // Version 0 holds no index.
    const QByteArray v0 = Bytes().i32(0).i32(2);
    DesignWindowData read{2};
    ByteReader reader(v0);
    ASSERT_TRUE(ReadDesignWindowBlock(reader, read));
    EXPECT_EQ(read.chartBackground, ChartBlack);
    EXPECT_EQ(reader.position(), 4);

    test::ExpectEveryCutFails(Bytes().i32(1).i32(2), [](ByteReader &shortReader, qsizetype) {
        DesignWindowData data{1};
        const bool ok = ReadDesignWindowBlock(shortReader, data);
        EXPECT_EQ(data.chartBackground, ChartBlack);
        return ok;
    });
}
