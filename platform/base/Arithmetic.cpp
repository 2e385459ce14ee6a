#include "platform/base/Arithmetic.h"

#include <climits>

int MulDiv(int nNumber, int nNumerator, int nDenominator)
{
    if (nDenominator == 0)
        return -1;
    int64_t product = int64_t(nNumber) * nNumerator;
    // Work on magnitudes so that halves round away from zero on both sides.
    // |product| <= 2^62 and |denominator| <= 2^31, so nothing here overflows.
    uint64_t magnitude = product < 0 ? uint64_t(-product) : uint64_t(product);
    uint64_t divisor = nDenominator < 0 ? uint64_t(-int64_t(nDenominator)) : uint64_t(nDenominator);
    uint64_t quotient = (magnitude + divisor / 2) / divisor;
    bool negative = (product < 0) != (nDenominator < 0);
    if (negative) {
        if (quotient > uint64_t(INT_MAX) + 1)
            return -1;
        return int(-int64_t(quotient));
    }
    if (quotient > uint64_t(INT_MAX))
        return -1;
    return int(quotient);
}
