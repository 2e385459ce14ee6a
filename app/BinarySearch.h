#pragma once
// CBinarySearch: bisection over an integer range, for fitting sizes (a font
// to a box). The caller measures at GetMiddle() and narrows toward larger
// (1) or smaller (-1) values until Narrow reports the range cannot shrink.

#include "platform/base/Object.h"

class CBinarySearch : public CObject {
public:
    CBinarySearch(int nLow, int nHigh)
        : m_nLow(nLow)
        , m_nHigh(nHigh)
    {
    }

    int GetLow() const { return m_nLow; }
    int GetHigh() const { return m_nHigh; }
    // (low + high) / 2, truncating toward zero.
    int GetMiddle() const { return (m_nLow + m_nHigh) / 2; }

    // Direction 1 moves the low bound to the middle, -1 the high bound; the
    // new middle goes to nMiddle. TRUE when the low bound equals the new
    // middle (nothing left between the bounds) and for any other direction,
    // which changes nothing.
    BOOL Narrow(int& nMiddle, int nDirection);

private:
    int m_nLow;
    int m_nHigh;
};
