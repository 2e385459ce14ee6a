#pragma once
// Integer scaling as Win32 does it.

#include "platform/base/Types.h"

// nNumber * nNumerator / nDenominator with a 64-bit product, rounded half away
// from zero. -1 when nDenominator is 0 or the result does not fit in 32 bits;
// callers test for that -1.
int MulDiv(int nNumber, int nNumerator, int nDenominator);
