#pragma once

// Robustness checks shared by the tests of the block readers.

#include "base/bytestream.h"
#include "testsupport.h"

#include <gtest/gtest.h>

namespace warplon::test {

// Hands every proper prefix of a complete block to read(reader, cut), which must fail; the
// callable checks what the read left behind.
template<typename Read>
void ExpectEveryCutFails(const QByteArray &full, Read read)
{
    for (qsizetype cut = 0; cut < full.size(); ++cut) {
        ByteReader reader(QByteArrayView(full).first(cut));
        EXPECT_FALSE(read(reader, cut)) << "cut at " << cut;
    }
}

// Hands `rounds` randomly damaged copies of a block (1 to 6 bytes replaced, fixed seed) to
// read(reader, damaged); under the sanitizers any out-of-bounds access or overflow aborts.
template<typename Read>
void ReadDamagedCopies(const QByteArray &full, unsigned seed, int rounds, Read read)
{
    std::mt19937 random(seed);
    for (int round = 0; round < rounds; ++round) {
        const QByteArray damaged = corrupted(full, random, 1 + round % 6);
        ByteReader reader(damaged);
        read(reader, damaged);
    }
}

} // namespace warplon::test
