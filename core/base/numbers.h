#pragma once

#include <QString>

#include <cstdint>

namespace warplon {

// Greatest common divisor of two counts, each taken as at least 1.
int64_t GreatestCommonDivisor(int64_t a, int64_t b);

// Least common multiple of four counts, each taken as at least 1, built pairwise as
// a * b / gcd(a, b). Saturates at the largest int32 instead of overflowing.
int32_t LeastCommonMultiple4(int32_t a, int32_t b, int32_t c, int32_t d);

// A value printed with 0 to 3 decimals: trunc(v * 10^k + 0.5) / 10^k, shown with exactly k
// decimals; any other count of decimals behaves as 2. A value that is not finite prints "-".
QString FormatNumber(double value, int decimals);

} // namespace warplon
