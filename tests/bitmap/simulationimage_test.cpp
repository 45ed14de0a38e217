#include "simulation/simulationimage.h"

#include "blockchecks.h"

using namespace warplon;
using warplon::test::Bytes;
using warplon::test::pixelBytes;
using warplon::test::zlib;

namespace {

// Rows of a w x h 24-bit picture whose pixel (x, y) is blue x, green y, red 7, rows padded.
QByteArray PatternRows(int width, int height)
{
    Bytes rows;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            rows.u8(uint8_t(x)).u8(uint8_t(y)).u8(7);
        rows.zeros((4 - (3 * width) % 4) % 4);
    }
    return rows;
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

} // namespace

TEST(SimulationImageBlock, WrittenLayoutByVersion)
{
    const TCorvexBitmap picture = Pattern(3, 2);
    const QByteArray rows = PatternRows(3, 2);
    // Version 4 with a mode byte (mode 2 with pixels that do not shrink: length = raw size, then
    // the raw rows); version 3 without one.
    const std::tuple<int32_t, uint8_t, QByteArray> cases[] = {
        {4, 0, Bytes().u8(1).i32(3).i32(2).u8(0).raw(rows)},
        {102, 2, Bytes().u8(1).i32(3).i32(2).u8(2).u32(24).raw(rows)},
        {3, 2, Bytes().u8(1).i32(3).i32(2).raw(rows)},
    };
    for (const auto &[version, mode, expected] : cases) {
        ByteWriter out;
        ASSERT_TRUE(WriteSimulationImageBlock(out, picture, version, mode));
        EXPECT_EQ(out.data(), expected) << version;
    }
    ByteWriter empty;
    ASSERT_TRUE(WriteSimulationImageBlock(empty, TCorvexBitmap(), 4, 2));
    // A refused mode rolls the block back to "no picture" behind what was already written.
    EXPECT_FALSE(WriteSimulationImageBlock(empty, picture, 4, 1));
    EXPECT_EQ(empty.data(), QByteArray(2, '\0'));
}

TEST(SimulationImageBlock, ReadsEveryVersion)
{
    const QByteArray rows = PatternRows(5, 4);
    const QByteArray stream = zlib(rows);
    ASSERT_LT(stream.size(), rows.size());
    const QByteArray v1 = Bytes().u8(1).i32(5).i32(4).u32(uint32_t(stream.size())).raw(stream);
    const QByteArray v3 = Bytes().u8(1).i32(5).i32(4).raw(rows);
    const QByteArray v4 = Bytes().u8(2).i32(5).i32(4).u8(2).u32(uint32_t(rows.size())).raw(rows);
    const std::pair<int32_t, QByteArray> cases[] = {{1, v1}, {2, v1}, {3, v3}, {4, v4}, {102, v4}};
    for (const auto &[version, block] : cases) {
        TCorvexBitmap picture;
        const QByteArray data = block + Bytes().i32(12345).data(); // the next block
        ByteReader in(data);
        ASSERT_TRUE(ReadSimulationImageBlock(in, picture, version)) << version;
        EXPECT_EQ(std::tuple(picture.Width(), picture.Height(), picture.BitsPerPixel()),
                  std::tuple(5, 4, 24));
        EXPECT_EQ(pixelBytes(picture, 4, 3), QByteArray("\x04\x03\x07", 3));
        EXPECT_EQ(in.remaining(), 4) << version;
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
    const QByteArray tinyStream = zlib(QByteArray(64, '\0'));
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
        EXPECT_FALSE(picture.IsAllocated() || in.ok());
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
    const QByteArray stream = zlib(rows);
    for (const QByteArray &block :
         {Bytes().u8(1).i32(9).i32(7).u8(0).raw(rows).data(),
          Bytes().u8(1).i32(9).i32(7).u8(2).u32(uint32_t(stream.size())).raw(stream).data()}) {
        test::CheckDamagedBlocks(block, 11, 400, [](ByteReader &in, qsizetype) {
            TCorvexBitmap picture = Pattern(2, 2);
            ByteReader header(in);
            uint8_t present = 0;
            int32_t width = 0;
            int32_t height = 0;
            header.readU8(present);
            header.readI32(width);
            header.readI32(height);
            const bool ok = ReadSimulationImageBlock(in, picture, 4);
            // Either a whole picture of the stored size, or none.
            EXPECT_EQ(picture.IsAllocated(), ok && present != 0);
            EXPECT_TRUE(!ok || !present || picture.image().size() == QSize(width, height));
            return ok;
        });
    }
}

TEST(SimulationImage, PreviewsAreHundredRowsOf240Bytes)
{
    // Vertical stripes one pixel wide, alternately red and blue: blending would give purple.
    TCorvexBitmap picture;
    ASSERT_TRUE(picture.Create(801, 333, nullptr, 24));
    for (int x = 0; x < 801; ++x)
        picture.Fill(x % 2 ? 0xff0000 : 0x0000ff, QRect(x, 0, 1, 333));
    const TCorvexBitmap preview = MakePreview(picture, 0);
    ASSERT_EQ(std::tuple(preview.Width(), preview.Height(), preview.BitsPerPixel()),
              std::tuple(80, 100, 24));
    for (int y = 0; y < 100; y += 9) {
        for (int x = 0; x < 80; ++x) {
            const QByteArray pixel = pixelBytes(preview, x, y);
            EXPECT_TRUE(pixel == QByteArray("\xff\x00\x00", 3)
                        || pixel == QByteArray("\x00\x00\xff", 3))
                << x << "," << y;
        }
    }
    // Without a picture the preview is the background colour.
    const TCorvexBitmap blank = MakePreview(TCorvexBitmap(), 0x808040);
    ASSERT_EQ(blank.Width(), 80);
    EXPECT_EQ(pixelBytes(blank, 79, 99), QByteArray("\x80\x80\x40", 3));
    EXPECT_EQ(pixelBytes(blank, 0, 0), QByteArray("\x80\x80\x40", 3));

    // The stored preview: 100 rows of 80 pixels, no padding.
    const QByteArray file = PatternRows(80, 100);
    TCorvexBitmap read;
    ByteReader in(file);
    ASSERT_TRUE(ReadPreviewPixels(in, read));
    EXPECT_EQ(in.remaining(), 0);
    EXPECT_EQ(pixelBytes(read, 79, 99), QByteArray("\x4f\x63\x07", 3));
    const QByteArray cut = file.left(23999);
    ByteReader shortData(cut);
    EXPECT_FALSE(ReadPreviewPixels(shortData, read));
    EXPECT_FALSE(read.IsAllocated());
}
