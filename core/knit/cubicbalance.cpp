#include "knit/cubicbalance.h"

#include <cmath>

namespace warplon {

double BalanceRoot(const BalanceSums &sums)
{
    if (sums.a == 0.0)
        return 0.0;
    const double b = sums.b / sums.a;
    const double e = sums.cs / sums.a;
    const double f = sums.d / sums.a;
    const double q = (b * b - 3.0 * e) / 9.0;
    const double r = (2.0 * b * b * b - 9.0 * b * e + 27.0 * f) / 54.0;
    const double q3 = q * q * q;
    if (r * r < q3) {
        const double theta = std::acos(r / std::sqrt(q3));
        return -2.0 * std::sqrt(q) * std::cos(theta / 3.0) - b / 3.0;
    }
    double u = std::cbrt(std::fabs(r) + std::sqrt(r * r - q3));
    if (r > 0.0)
        u = -u;
    const double v = u == 0.0 ? 0.0 : q / u;
    return u + v - b / 3.0;
}

double SolveBalance(const double *weights, const double *deltas, int32_t n)
{
    BalanceSums sums;
    for (int32_t i = 0; i < n; ++i)
        sums.add(weights[i], deltas[i]);
    return BalanceRoot(sums);
}

} // namespace warplon
