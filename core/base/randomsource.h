#pragma once

#include <cstdint>
#include <random>

namespace warplon {

// The one source of random numbers of a simulation run: renderer scatter, relief heights and
// the finishing passes all draw from it in a fixed order, so one seed gives one picture, bit for
// bit. The desktop program seeds each run afresh, so a scatter above 0 changes from run to run.
class RandomSource
{
public:
    explicit RandomSource(uint64_t seed = 1)
        : m_engine(seed)
    {}

    // A non-negative number below 2^31, like the C library's rand() with a large range.
    int32_t Rand() { return int32_t(m_engine() & 0x7FFFFFFFu); }

private:
    std::mt19937 m_engine;
};

} // namespace warplon
