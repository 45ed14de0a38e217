#include "bitmap/compressedblock.h"

#include <zlib.h>

#include <limits>
#include <new>
#include <vector>

namespace warplon {

namespace {

bool FitsZlib(qsizetype size)
{
    return size >= 0 && uint64_t(size) <= std::numeric_limits<uint32_t>::max()
           && uint64_t(size) <= std::numeric_limits<uLong>::max();
}

} // namespace

bool WriteCompressedBlock(ByteWriter &out, const uchar *data, qsizetype size, int method)
{
    if (size < 0 || (size > 0 && data == nullptr))
        return false;
    if (method == kPixelsRaw) {
        out.writeBytes(QByteArrayView(data, size));
        return true;
    }
    if (method != kPixelsPacked || !FitsZlib(size))
        return false;

    // Try ever larger output buffers (a quarter of the raw size, a third, a half, all of it): a
    // picture that packs well is done with a small allocation, one that does not is stored raw.
    std::vector<Bytef> packed;
    uLongf produced = uLongf(size);
    bool isPacked = false;
    try {
        for (int k = 4; k >= 1; --k) {
            const qsizetype capacity = size / k;
            packed.assign(size_t(capacity), 0);
            uLongf length = uLongf(capacity);
            if (compress(packed.data(), &length, data, uLong(size)) == Z_OK) {
                produced = length;
                isPacked = true;
                break;
            }
        }
    } catch (const std::bad_alloc &) {
        return false;
    }

    if (isPacked && qsizetype(produced) < size) {
        out.writeU32(uint32_t(produced));
        out.writeBytes(QByteArrayView(packed.data(), qsizetype(produced)));
    } else {
        out.writeU32(uint32_t(size));
        out.writeBytes(QByteArrayView(data, size));
    }
    return true;
}

bool ReadCompressedBlock(ByteReader &in, uchar *destination, qsizetype size, int method)
{
    if (size < 0 || (size > 0 && destination == nullptr))
        return false;
    if (method == kPixelsRaw)
        return in.readInto(destination, size);
    if (method != kPixelsPacked || !FitsZlib(size))
        return false;

    uint32_t stored = 0;
    if (!in.readU32(stored) || !in.expectRecords(stored, 1))
        return false;
    if (qsizetype(stored) >= size)
        return in.readInto(destination, size);

    // A stored length below the raw size means a zlib stream; it must unpack to exactly the raw
    // size, or the pixels would be partly stale.
    QByteArray stream;
    if (!in.readBytes(qsizetype(stored), stream))
        return false;
    uLongf produced = uLongf(size);
    const int result = uncompress(
        destination, &produced, reinterpret_cast<const Bytef *>(stream.constData()), uLong(stored));
    return result == Z_OK && qsizetype(produced) == size;
}

} // namespace warplon
