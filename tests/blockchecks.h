#pragma once

// Robustness checks shared by the tests of the readers.

#include "base/bytestream.h"
#include "testsupport.h"

#include <gtest/gtest.h>

namespace warplon::test {

// Hands check(copy, cut) every proper prefix of a complete block or file, each in a buffer of its
// own so that the sanitizers see any read past its end, then (with cut -1) `rounds` copies with
// 1 to 6 bytes replaced at random (fixed seed). Any out-of-bounds access or overflow aborts.
template<typename Check>
void ForEachDamagedCopy(const QByteArray &full, unsigned seed, int rounds, Check check)
{
    for (qsizetype cut = 0; cut < full.size(); ++cut)
        check(QByteArray(full.constData(), cut), cut);
    std::mt19937 random(seed);
    for (int round = 0; round < rounds; ++round)
        check(corrupted(full, random, 1 + round % 6), qsizetype(-1));
}

// The same for a block reader: read(reader, cut) must fail on every prefix; on damaged copies
// (cut -1) it may succeed. The callable checks what the read left behind.
template<typename Read>
void CheckDamagedBlocks(const QByteArray &full, unsigned seed, int rounds, Read read)
{
    ForEachDamagedCopy(full, seed, rounds, [&](const QByteArray &data, qsizetype cut) {
        ByteReader reader(data);
        const bool ok = read(reader, cut);
        EXPECT_TRUE(cut < 0 || !ok) << "cut at " << cut;
    });
}

// Writes `sample`, which must give exactly `layout` (built by hand from the layout table), and
// reads that back into a record equal to the sample, with nothing left over.
template<typename Record, typename Write, typename Read>
void ExpectLayoutAndRoundTrip(const Record &sample, const QByteArray &layout, Write write,
                              Read read)
{
    ByteWriter writer;
    write(writer, sample);
    EXPECT_EQ(writer.data(), layout);
    Record back{};
    ByteReader reader(layout);
    EXPECT_TRUE(read(reader, back));
    EXPECT_EQ(back, sample);
    EXPECT_EQ(reader.remaining(), 0);
}

// Reads `block` followed by a word of the next block into `record`: the read must succeed and
// stop right before that word.
template<typename Record, typename Read>
Record ReadBeforeNextBlock(const QByteArray &block, Record record, Read read)
{
    const QByteArray data = block + QByteArray("\xed\x5e\x00\x00", 4);
    ByteReader reader(data);
    EXPECT_TRUE(read(reader, record));
    EXPECT_EQ(reader.remaining(), 4);
    return record;
}

} // namespace warplon::test
