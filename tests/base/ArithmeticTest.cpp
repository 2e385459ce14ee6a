#include "platform/base/Arithmetic.h"

#include <climits>
#include <gtest/gtest.h>

TEST(MulDiv, RoundsHalfAwayFromZeroAndSignalsFailureWithMinusOne)
{
    struct Case {
        int a, b, c, expected;
    };
    const Case cases[] = {
        {10, 3, 2, 15},
        {1, 1, 2, 1}, // 0.5
        {-1, 1, 2, -1}, // -0.5
        {1, -1, 2, -1},
        {1, 1, -2, -1},
        {-1, -1, 2, 1},
        {5, 1, -2, -3}, // -2.5
        {2, 1, 3, 1}, // 0.667
        {1, 1, 3, 0}, // 0.333
        {-2, 1, 3, -1},
        {100, 96, 133, 72},
        {-12, 150, 100, -18},
        {3, 75, 100, 2}, // 2.25
        {0, 5, 7, 0},
        // The product needs 64 bits but the quotient fits.
        {INT_MAX, INT_MAX, INT_MAX, INT_MAX},
        {INT_MIN, 2, 2, INT_MIN},
        {65536, 65536, 4, 1073741824},
        // No divisor, or a result beyond 32 bits.
        {1, 1, 0, -1},
        {0, 0, 0, -1},
        {INT_MAX, 2, 1, -1},
        {INT_MIN, 1, -1, -1},
        {INT_MIN, -1, 1, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.expected) << c.a << " * " << c.b << " / " << c.c;
}
