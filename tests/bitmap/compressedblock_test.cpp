#include "bitmap/compressedblock.h"

#include "testsupport.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <random>

using namespace warplon;
using warplon::test::Bytes;

namespace {

QByteArray Zlib(const QByteArray &data)
{
    uLongf length = compressBound(uLong(data.size()));
    QByteArray packed(qsizetype(length), '\0');
    EXPECT_EQ(compress(reinterpret_cast<Bytef *>(packed.data()), &length,
                       reinterpret_cast<const Bytef *>(data.constData()), uLong(data.size())),
              Z_OK);
    packed.truncate(qsizetype(length));
    return packed;
}

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

TEST(CompressedBlock, ZerosAreStoredAsShortZlibStream)
{
    const QByteArray zeros(1 << 20, '\0');
    ByteWriter out;
    ASSERT_TRUE(WriteCompressedBlock(out, reinterpret_cast<const uchar *>(zeros.constData()),
                                     zeros.size(), kPixelsPacked));
    // The default level of compress() is deterministic, so the payload is exactly its output.
    const QByteArray stream = Zlib(zeros);
    ASSERT_LT(stream.size(), 4096);
    EXPECT_EQ(out.data(), Bytes().u32(uint32_t(stream.size())).raw(stream).data());

    const QByteArray block = Bytes().u32(uint32_t(stream.size())).raw(stream).u8(0x5a);
    QByteArray back(zeros.size(), 'x');
    ByteReader in(block);
    ASSERT_TRUE(ReadCompressedBlock(in, Data(back), back.size(), kPixelsPacked));
    EXPECT_EQ(back, zeros);
    EXPECT_EQ(in.position(), 4 + stream.size());
}

TEST(CompressedBlock, DataThatDoesNotShrinkIsStoredRaw)
{
    for (qsizetype size : {0, 1, 3, 4, 1000}) {
        QByteArray data = RandomBytes(size, 7);
        ByteWriter out;
        ASSERT_TRUE(WriteCompressedBlock(out, Data(data), size, kPixelsPacked));
        const QByteArray expected = Bytes().u32(uint32_t(size)).raw(data);
        EXPECT_EQ(out.data(), expected) << size;

        QByteArray back(size, 'x');
        ByteReader in(expected);
        ASSERT_TRUE(ReadCompressedBlock(in, Data(back), size, kPixelsPacked));
        EXPECT_EQ(back, data);
        EXPECT_EQ(in.remaining(), 0);
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

TEST(CompressedBlock, ReaderRefusesLengthsBeyondTheData)
{
    QByteArray destination(5000, 'x');
    // A zlib length (below the raw size) with too few bytes behind it.
    const QByteArray shortStream = Bytes().u32(1000).zeros(10);
    ByteReader a(shortStream);
    EXPECT_FALSE(ReadCompressedBlock(a, Data(destination), 5000, kPixelsPacked));
    EXPECT_FALSE(a.ok());
    // A raw length (not below the raw size) that runs past the end.
    const QByteArray shortRaw = Bytes().u32(0xffffffffu).zeros(6000);
    ByteReader b(shortRaw);
    EXPECT_FALSE(ReadCompressedBlock(b, Data(destination), 5000, kPixelsPacked));
    EXPECT_EQ(destination, QByteArray(5000, 'x'));
}

TEST(CompressedBlock, ZlibStreamMustUnpackToExactlyTheRawSize)
{
    QByteArray destination(100, 'x');
    const QByteArray tooShort = Zlib(QByteArray(50, 'a'));
    const QByteArray tooLong = Zlib(QByteArray(200, 'a'));
    const QByteArray exact = Zlib(QByteArray(100, 'a'));
    QByteArray garbage = exact;
    garbage[2] = char(garbage[2] ^ 0x55);
    QByteArray cut = exact.first(exact.size() - 3);

    for (const QByteArray &stream : {tooShort, tooLong, garbage, cut}) {
        const QByteArray block = Bytes().u32(uint32_t(stream.size())).raw(stream).u32(77);
        ByteReader in(block);
        EXPECT_FALSE(ReadCompressedBlock(in, Data(destination), 100, kPixelsPacked));
        // The stream's extent is known, so what follows it is still readable.
        uint32_t next = 0;
        EXPECT_TRUE(in.readU32(next));
        EXPECT_EQ(next, 77u);
    }
    const QByteArray goodBlock = Bytes().u32(uint32_t(exact.size())).raw(exact);
    ByteReader good(goodBlock);
    ASSERT_TRUE(ReadCompressedBlock(good, Data(destination), 100, kPixelsPacked));
    EXPECT_EQ(destination, QByteArray(100, 'a'));
}

TEST(CompressedBlock, TruncatedBlocksFailWithoutReadingPastTheEnd)
{
    QByteArray data = RandomBytes(3000, 3);
    data.replace(0, 2000, QByteArray(2000, 'k'));
    ByteWriter out;
    ASSERT_TRUE(WriteCompressedBlock(out, Data(data), data.size(), kPixelsPacked));
    const QByteArray block = out.data();
    ASSERT_LT(block.size(), data.size());
    QByteArray back(data.size(), '\0');
    for (qsizetype cut = 0; cut < block.size(); ++cut) {
        // A detached copy of exactly `cut` bytes, so the sanitizer sees any read past its end.
        const QByteArray prefix(block.constData(), cut);
        ByteReader in(prefix);
        EXPECT_FALSE(ReadCompressedBlock(in, Data(back), back.size(), kPixelsPacked)) << cut;
    }
    ByteReader whole(block);
    ASSERT_TRUE(ReadCompressedBlock(whole, Data(back), back.size(), kPixelsPacked));
    EXPECT_EQ(back, data);
}
