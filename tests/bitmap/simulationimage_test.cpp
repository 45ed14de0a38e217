#include "simulation/simulationimage.h"

#include "testsupport.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <random>

using namespace warplon;
using warplon::test::Bytes;

namespace {

// Rows of a w x h 24-bit picture whose pixel (x, y) is blue x, green y, red 7, rows padded.
QByteArray PatternRows(int width, int height)
{
    Bytes rows;
    const int padding = (4 - (3 * width) % 4) % 4;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            rows.u8(uint8_t(x)).u8(uint8_t(y)).u8(7);
        rows.zeros(padding);
    }
    return rows;
}

QByteArray Zlib(const QByteArray &data)
{
    uLongf length = compressBound(uLong(data.size()));
    QByteArray packed(qsizetype(length), '\0');
    compress(reinterpret_cast<Bytef *>(packed.data()), &length,
             reinterpret_cast<const Bytef *>(data.constData()), uLong(data.size()));
    packed.truncate(qsizetype(length));
    return packed;
}

TCorvexBitmap Pattern(int width, int height)
{
    TCorvexBitmap picture;
    EXPECT_TRUE(picture.Create(width, height, nullptr, 24));
    const QByteArray rows = PatternRows(width, height);
    ByteReader in(rows);
    EXPECT_TRUE(picture.ReadBlock(in, 0));
    return picture;
}

QByteArray PixelBytes(const TCorvexBitmap &bitmap, int x, int y)
{
    return QByteArray(reinterpret_cast<const char *>(bitmap.image().constScanLine(y)) + 3 * x, 3);
}

} // namespace

TEST(SimulationImageBlock, WrittenLayoutByVersion)
{
    const TCorvexBitmap picture = Pattern(3, 2);
    const QByteArray rows = PatternRows(3, 2);

    ByteWriter v4raw;
    ASSERT_TRUE(WriteSimulationImageBlock(v4raw, picture, 4, 0));
    EXPECT_EQ(v4raw.data(), Bytes().u8(1).i32(3).i32(2).u8(0).raw(rows).data());

    // Mode 2 with pixels that do not shrink: length = raw size, then the raw rows.
    ByteWriter v4packed;
    ASSERT_TRUE(WriteSimulationImageBlock(v4packed, picture, 102, 2));
    EXPECT_EQ(v4packed.data(), Bytes().u8(1).i32(3).i32(2).u8(2).u32(24).raw(rows).data());

    ByteWriter v3;
    ASSERT_TRUE(WriteSimulationImageBlock(v3, picture, 3, 2));
    EXPECT_EQ(v3.data(), Bytes().u8(1).i32(3).i32(2).raw(rows).data());

    ByteWriter empty;
    ASSERT_TRUE(WriteSimulationImageBlock(empty, TCorvexBitmap(), 4, 2));
    // A refused mode rolls the block back to "no picture" behind what was already written.
    EXPECT_FALSE(WriteSimulationImageBlock(empty, picture, 4, 1));
    EXPECT_EQ(empty.data(), QByteArray(2, '\0'));
}

TEST(SimulationImageBlock, ReadsEveryVersion)
{
    const QByteArray rows = PatternRows(5, 4);
    const QByteArray stream = Zlib(rows);
    ASSERT_LT(stream.size(), rows.size());
    const QByteArray v1 = Bytes().u8(1).i32(5).i32(4).u32(uint32_t(stream.size())).raw(stream);
    const QByteArray v3 = Bytes().u8(1).i32(5).i32(4).raw(rows);
    const QByteArray v4 = Bytes().u8(2).i32(5).i32(4).u8(2).u32(uint32_t(rows.size())).raw(rows);
    const struct
    {
        int32_t version;
        QByteArray block;
    } cases[] = {{1, v1}, {2, v1}, {3, v3}, {4, v4}, {102, v4}};
    for (const auto &c : cases) {
        TCorvexBitmap picture;
        const QByteArray data = Bytes().raw(c.block).i32(12345);
        ByteReader in(data);
        ASSERT_TRUE(ReadSimulationImageBlock(in, picture, c.version)) << c.version;
        EXPECT_EQ(picture.Width(), 5);
        EXPECT_EQ(picture.Height(), 4);
        EXPECT_EQ(picture.BitsPerPixel(), 24);
        EXPECT_EQ(PixelBytes(picture, 4, 3), QByteArray("\x04\x03\x07", 3));
        int32_t next = 0;
        EXPECT_TRUE(in.readI32(next));
        EXPECT_EQ(next, 12345) << c.version;
    }

    // Flag 0: no picture, and an old picture is dropped.
    TCorvexBitmap picture = Pattern(2, 2);
    const QByteArray zero(1, '\0');
    ByteReader none(zero);
    ASSERT_TRUE(ReadSimulationImageBlock(none, picture, 4));
    EXPECT_FALSE(picture.IsAllocated());
    EXPECT_EQ(none.remaining(), 0);
}

TEST(SimulationImageBlock, HostileSizesAreRefusedBeforeAllocating)
{
    const QByteArray tinyStream = Zlib(QByteArray(64, '\0'));
    const QByteArray blocks[] = {
        Bytes().u8(1).i32(0).i32(10).u8(0).zeros(100),
        Bytes().u8(1).i32(-4).i32(-4).u8(0).zeros(100),
        Bytes().u8(1).i32(2000000000).i32(2000000000).u8(0).zeros(100),
        // Fits the size cap, but the data holds far fewer raw bytes.
        Bytes().u8(1).i32(10000).i32(10000).u8(0).zeros(100),
        // A stored length beyond the data.
        Bytes().u8(1).i32(100).i32(100).u8(2).u32(5000).zeros(100),
        // A short zlib stream cannot unpack to 300 MB.
        Bytes().u8(1).i32(10000).i32(10000).u8(2).u32(uint32_t(tinyStream.size())).raw(tinyStream),
        // The refused and unknown modes.
        Bytes().u8(1).i32(2).i32(2).u8(1).zeros(100),
        Bytes().u8(1).i32(2).i32(2).u8(9).zeros(100),
    };
    for (const QByteArray &block : blocks) {
        TCorvexBitmap picture = Pattern(3, 3);
        int allocations = 0; // Create announces every new set of pixels
        picture.onChange = [&] { ++allocations; };
        ByteReader in(block);
        EXPECT_FALSE(ReadSimulationImageBlock(in, picture, 4));
        EXPECT_FALSE(picture.IsAllocated());
        EXPECT_FALSE(in.ok());
        EXPECT_EQ(allocations, 0);
    }

    // A stream that stays within zlib's ratio but lies about its size is read and refused.
    const QByteArray liar
        = Bytes().u8(1).i32(10).i32(10).u8(2).u32(uint32_t(tinyStream.size())).raw(tinyStream);
    TCorvexBitmap picture;
    ByteReader in(liar);
    EXPECT_FALSE(ReadSimulationImageBlock(in, picture, 4));
    EXPECT_FALSE(picture.IsAllocated());
}

TEST(SimulationImageBlock, TruncationAndCorruptionNeverLeaveAHalfPicture)
{
    const QByteArray rows = PatternRows(9, 7);
    const QByteArray stream = Zlib(rows);
    const QByteArray valid[] = {
        Bytes().u8(1).i32(9).i32(7).u8(0).raw(rows),
        Bytes().u8(1).i32(9).i32(7).u8(2).u32(uint32_t(stream.size())).raw(stream),
    };
    for (const QByteArray &block : valid) {
        for (qsizetype cut = 0; cut < block.size(); ++cut) {
            const QByteArray prefix(block.constData(), cut);
            TCorvexBitmap picture = Pattern(2, 2);
            ByteReader in(prefix);
            EXPECT_FALSE(ReadSimulationImageBlock(in, picture, 4)) << cut;
            EXPECT_FALSE(picture.IsAllocated()) << cut;
        }
        std::mt19937 random(11);
        for (int round = 0; round < 400; ++round) {
            const QByteArray damaged = test::corrupted(block, random, 1 + round % 4);
            TCorvexBitmap picture;
            ByteReader in(damaged);
            int32_t width = 0;
            int32_t height = 0;
            ByteReader header(damaged, 1);
            header.readI32(width);
            header.readI32(height);
            if (ReadSimulationImageBlock(in, picture, 4)) {
                if (damaged[0] != 0) {
                    EXPECT_EQ(picture.Width(), width);
                    EXPECT_EQ(picture.Height(), height);
                }
            } else {
                EXPECT_FALSE(picture.IsAllocated());
            }
        }
    }
}

TEST(SimulationImage, PreviewShrinksColourOnColour)
{
    // Vertical stripes one pixel wide, alternately red and blue: blending would give purple.
    TCorvexBitmap picture;
    ASSERT_TRUE(picture.Create(801, 333, nullptr, 24));
    for (int x = 0; x < 801; ++x)
        picture.Fill(x % 2 ? 0xff0000 : 0x0000ff, QRect(x, 0, 1, 333));
    const TCorvexBitmap preview = MakePreview(picture, 0);
    ASSERT_EQ(preview.Width(), 80);
    ASSERT_EQ(preview.Height(), 100);
    ASSERT_EQ(preview.BitsPerPixel(), 24);
    for (int y = 0; y < 100; y += 9) {
        for (int x = 0; x < 80; ++x) {
            const QByteArray pixel = PixelBytes(preview, x, y);
            EXPECT_TRUE(pixel == QByteArray("\xff\x00\x00", 3)
                        || pixel == QByteArray("\x00\x00\xff", 3))
                << x << "," << y;
        }
    }

    const TCorvexBitmap blank = MakePreview(TCorvexBitmap(), 0x808040);
    ASSERT_EQ(blank.Width(), 80);
    EXPECT_EQ(PixelBytes(blank, 79, 99), QByteArray("\x80\x80\x40", 3));
    EXPECT_EQ(PixelBytes(blank, 0, 0), QByteArray("\x80\x80\x40", 3));
}

TEST(SimulationImage, PreviewPixelsAreHundredRowsOf240Bytes)
{
    Bytes file;
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 80; ++x)
            file.u8(uint8_t(x)).u8(uint8_t(y)).u8(0x33);
    }
    file.u8(0xee);
    TCorvexBitmap preview;
    ByteReader in(file.data());
    ASSERT_TRUE(ReadPreviewPixels(in, preview));
    EXPECT_EQ(in.position(), 24000);
    EXPECT_EQ(PixelBytes(preview, 79, 99), QByteArray("\x4f\x63\x33", 3));

    const QByteArray cut = file.data().left(23999);
    ByteReader shortData(cut);
    EXPECT_FALSE(ReadPreviewPixels(shortData, preview));
    EXPECT_FALSE(preview.IsAllocated());
}
