#include "app/BinarySearch.h"

BOOL CBinarySearch::Narrow(int& nMiddle, int nDirection)
{
    int middle = GetMiddle();
    if (nDirection == 1)
        m_nLow = middle;
    else if (nDirection == -1)
        m_nHigh = middle;
    else
        return TRUE;
    nMiddle = GetMiddle();
    return m_nLow == nMiddle;
}
