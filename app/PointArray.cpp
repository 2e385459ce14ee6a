#include "app/PointArray.h"

#include <algorithm>

CPointArray::CPointArray()
    : m_pPoints(new POINT[1]())
    , m_nCount(0)
{
}

CPointArray::CPointArray(int nCount)
    : CPointArray()
{
    SetSize(nCount);
}

CPointArray::~CPointArray()
{
    delete[] m_pPoints;
}

CPointArray::CPointArray(const CPointArray& other)
    : m_pPoints(new POINT[std::max(other.m_nCount, 1)]())
    , m_nCount(other.m_nCount)
{
    std::copy(other.m_pPoints, other.m_pPoints + std::max(other.m_nCount, 1), m_pPoints);
}

CPointArray& CPointArray::operator=(const CPointArray& other)
{
    if (this != &other) {
        CPointArray copy(other);
        std::swap(m_pPoints, copy.m_pPoints);
        std::swap(m_nCount, copy.m_nCount);
    }
    return *this;
}

void CPointArray::SetSize(int nCount)
{
    nCount = std::max(nCount, 0);
    POINT* pNew = new POINT[std::max(nCount, 1)]();
    delete[] m_pPoints;
    m_pPoints = pNew;
    m_nCount = nCount;
}

void CPointArray::Adopt(POINT* pPoints, int nCount)
{
    delete[] m_pPoints;
    m_pPoints = pPoints;
    m_nCount = nCount;
}

POINT* CPointArray::GetAt(int i)
{
    return m_pPoints + std::clamp(i, 0, std::max(m_nCount - 1, 0));
}

const POINT* CPointArray::GetAt(int i) const
{
    return m_pPoints + std::clamp(i, 0, std::max(m_nCount - 1, 0));
}
