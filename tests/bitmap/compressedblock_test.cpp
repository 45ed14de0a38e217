#include "bitmap/compressedblock.h"

#include "blockchecks.h"

using namespace warplon;
using warplon::test::Bytes;
using warplon::test::zlib;

namespace {

QByteArray RandomBytes(qsizetype size, unsigned seed)
{
    std::mt19937 random(seed);
    QByteArray bytes(size, '\0');
    for (char &b : bytes)
        b = char(random() & 0xff);
    return bytes;
}

uchar *Data(QByteArray &bytes)
{
    return reinterpret_cast<uchar *>(bytes.data());
}

} // namespace

TEST(CompressedBlock, PackedWhenZlibShrinksTheDataRawOtherwise)
{
    // The default level of compress() is deterministic, so the payload is exactly its output.
    // Random data does not shrink: length = raw size, then the raw bytes.
    for (QByteArray data : {QByteArray(1 << 20, '\0'), RandomBytes(0, 7), RandomBytes(1, 7),
                            RandomBytes(4, 7), RandomBytes(1000, 7)}) {
        const bool zeros = data.size() == 1 << 20;
        const QByteArray payload = zeros ? zlib(data) : data;
        ByteWriter out;
        ASSERT_TRUE(WriteCompressedBlock(out, Data(data), data.size(), kPixelsPacked));
        const QByteArray block = Bytes().u32(uint32_t(payload.size())).raw(payload);
        EXPECT_EQ(out.data(), block) << data.size();
        EXPECT_TRUE(!zeros || payload.size() < 4096);

        QByteArray back(data.size(), 'x');
        const QByteArray followed = block + '\x5a';
        ByteReader in(followed);
        ASSERT_TRUE(ReadCompressedBlock(in, Data(back), back.size(), kPixelsPacked));
        EXPECT_EQ(back, data);
        EXPECT_EQ(in.remaining(), 1);
    }
}

TEST(CompressedBlock, RawMethodHasNoLengthAndMethodOneTouchesNothing)
{
    QByteArray data("\x01\x02\x03\x04\x05", 5);
    ByteWriter out;
    ASSERT_TRUE(WriteCompressedBlock(out, Data(data), data.size(), kPixelsRaw));
    EXPECT_FALSE(WriteCompressedBlock(out, Data(data), data.size(), kPixelsRefused));
    EXPECT_FALSE(WriteCompressedBlock(out, Data(data), data.size(), 3));
    EXPECT_EQ(out.data(), data);

    QByteArray back(5, 'x');
    ByteReader in(data);
    EXPECT_FALSE(ReadCompressedBlock(in, Data(back), 5, kPixelsRefused));
    EXPECT_EQ(in.position(), 0);
    EXPECT_EQ(back, QByteArray(5, 'x'));
    ASSERT_TRUE(ReadCompressedBlock(in, Data(back), 5, kPixelsRaw));
    EXPECT_EQ(back, data);
    EXPECT_FALSE(ReadCompressedBlock(in, Data(back), 1, kPixelsRaw));
}

TEST(CompressedBlock, ReaderRefusesBadLengthsAndStreams)
{
    // A zlib length (below the raw size) or a raw length with too few bytes behind it fails the
    // reader before anything is written.
    QByteArray destination(100, 'x');
    for (const QByteArray &block :
         {Bytes().u32(50).zeros(10).data(), Bytes().u32(0xffffffffu).zeros(200).data()}) {
        ByteReader in(block);
        EXPECT_FALSE(ReadCompressedBlock(in, Data(destination), 100, kPixelsPacked));
        EXPECT_FALSE(in.ok());
        EXPECT_EQ(destination, QByteArray(100, 'x'));
    }
    // A zlib stream must unpack to exactly the raw size; its extent is known, so what follows it
    // is still readable.
    const QByteArray exact = zlib(QByteArray(100, 'a'));
    QByteArray garbage = exact;
    garbage[2] = char(garbage[2] ^ 0x55);
    for (const QByteArray &stream : {zlib(QByteArray(50, 'a')), zlib(QByteArray(200, 'a')), garbage,
                                     exact.first(exact.size() - 3)}) {
        const QByteArray block = Bytes().u32(uint32_t(stream.size())).raw(stream).u32(77);
        ByteReader in(block);
        EXPECT_FALSE(ReadCompressedBlock(in, Data(destination), 100, kPixelsPacked));
        uint32_t next = 0;
        EXPECT_TRUE(in.readU32(next) && next == 77u);
    }
}

TEST(CompressedBlock, TruncatedOrDamagedBlocksFailWithoutReadingPastTheEnd)
{
    QByteArray data = RandomBytes(3000, 3);
    data.replace(0, 2000, QByteArray(2000, 'k'));
    ByteWriter out;
    ASSERT_TRUE(WriteCompressedBlock(out, Data(data), data.size(), kPixelsPacked));
    ASSERT_LT(out.data().size(), data.size());
    test::CheckDamagedBlocks(out.data(), 5, 500, [&](ByteReader &in, qsizetype) {
        QByteArray back(data.size(), '\0');
        return ReadCompressedBlock(in, Data(back), back.size(), kPixelsPacked);
    });
}
