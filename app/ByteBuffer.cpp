#include "app/ByteBuffer.h"

#include <algorithm>

CByteBuffer::CByteBuffer()
    : m_pBytes(new BYTE[1]())
    , m_nSize(0)
{
}

CByteBuffer::~CByteBuffer()
{
    delete[] m_pBytes;
}

CByteBuffer::CByteBuffer(const CByteBuffer& other)
    : m_pBytes(new BYTE[std::max(other.m_nSize, 1)]())
    , m_nSize(other.m_nSize)
{
    std::copy(other.m_pBytes, other.m_pBytes + std::max(other.m_nSize, 1), m_pBytes);
}

CByteBuffer& CByteBuffer::operator=(const CByteBuffer& other)
{
    if (this != &other) {
        CByteBuffer copy(other);
        std::swap(m_pBytes, copy.m_pBytes);
        std::swap(m_nSize, copy.m_nSize);
    }
    return *this;
}

void CByteBuffer::SetSize(int nSize, BOOL bZero)
{
    nSize = std::max(nSize, 0);
    BYTE* pNew = bZero ? new BYTE[std::max(nSize, 1)]() : new BYTE[std::max(nSize, 1)];
    delete[] m_pBytes;
    m_pBytes = pNew;
    m_nSize = nSize;
}

BYTE* CByteBuffer::GetAt(int i)
{
    return m_pBytes + std::clamp(i, 0, std::max(m_nSize - 1, 0));
}

const BYTE* CByteBuffer::GetAt(int i) const
{
    return m_pBytes + std::clamp(i, 0, std::max(m_nSize - 1, 0));
}
