#include "base/numbers.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace warplon {

int64_t GreatestCommonDivisor(int64_t a, int64_t b)
{
    a = std::max<int64_t>(a, 1);
    b = std::max<int64_t>(b, 1);
    // Euclid's remainders reach the same divisor as repeated subtraction, without its
    // billions of steps for a count such as 1 against 2^31.
    while (b != 0) {
        const int64_t r = a % b;
        a = b;
        b = r;
    }
    return a;
}

int32_t LeastCommonMultiple4(int32_t a, int32_t b, int32_t c, int32_t d)
{
    constexpr int64_t limit = std::numeric_limits<int32_t>::max();
    int64_t result = 1;
    for (int64_t value : {int64_t(a), int64_t(b), int64_t(c), int64_t(d)}) {
        value = std::max<int64_t>(value, 1);
        result = result / GreatestCommonDivisor(result, value) * value;
        if (result > limit)
            return int32_t(limit);
    }
    return int32_t(result);
}

QString FormatNumber(double value, int decimals)
{
    if (!std::isfinite(value))
        return QStringLiteral("-");
    if (decimals < 0 || decimals > 3)
        decimals = 2;
    const double scale = std::pow(10.0, decimals);
    const double rounded = std::trunc(value * scale + 0.5) / scale;
    if (!std::isfinite(rounded))
        return QStringLiteral("-");
    // Keep a rounded zero from printing as "-0".
    return QString::number(rounded == 0.0 ? 0.0 : rounded, 'f', decimals);
}

} // namespace warplon
