#include "base/numbers.h"
#include "base/vector.h"

#include <gtest/gtest.h>

using namespace warplon;

TEST(Numbers, LeastCommonMultipleTakesEveryCountAsAtLeastOne)
{
    EXPECT_EQ(LeastCommonMultiple4(4, 6, 1, 1), 12);
    EXPECT_EQ(LeastCommonMultiple4(0, -3, 5, 1), 5);
    EXPECT_EQ(LeastCommonMultiple4(7, 7, 7, 7), 7);
    // Large coprime counts saturate instead of overflowing, and do not take forever.
    EXPECT_EQ(LeastCommonMultiple4(2147483647, 2147483646, 1, 1), 2147483647);
}

TEST(Numbers, FormatRoundsHalfUpByTruncation)
{
    EXPECT_EQ(FormatNumber(2.5, 0), QStringLiteral("3"));
    EXPECT_EQ(FormatNumber(50.0, 2), QStringLiteral("50.00"));
    EXPECT_EQ(FormatNumber(1.23456, 3), QStringLiteral("1.235"));
    EXPECT_EQ(FormatNumber(0.04, 1), QStringLiteral("0.0"));
    EXPECT_EQ(FormatNumber(-0.2, 0), QStringLiteral("0"));
    EXPECT_EQ(FormatNumber(1.005, 7), FormatNumber(1.005, 2)); // unknown decimals act as 2
    EXPECT_EQ(FormatNumber(1.0 / 0.0, 2), QStringLiteral("-"));
}

TEST(Vector, NormalizeCrossAndZeroVector)
{
    Vector zero(0, 0, 0);
    zero.Normalize();
    EXPECT_EQ(zero.Length(), 0.0);

    Vector light(-5, 10, 30);
    light.Normalize();
    EXPECT_NEAR(light.Length(), 1.0, 1e-12);

    const Vector z = Vector(1, 0, 0).Cross(Vector(0, 1, 0));
    EXPECT_EQ(z.Get(2), 1.0);
    EXPECT_EQ(Vector(3, 4).Length(), 5.0);
    EXPECT_EQ(Vector(3, 4).Get(2), 0.0);
    EXPECT_EQ(Vector(1, 2, 3).Dot(Vector(4, 5, 6)), 32.0);
}
