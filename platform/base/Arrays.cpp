#include "platform/base/Arrays.h"

#include "platform/base/Archive.h"
#include "platform/base/Exception.h"

IMPLEMENT_DYNAMIC(CUIntArray, CObject)
IMPLEMENT_SERIAL(CDWordArray, CObject, 0)
IMPLEMENT_SERIAL(CWordArray, CObject, 0)
IMPLEMENT_SERIAL(CByteArray, CObject, 0)
IMPLEMENT_DYNAMIC(CPtrArray, CObject)

namespace {

// Count, then the values; on loading the count is checked against the bytes
// left before the array is sized.
template <typename Array, typename Value>
void SerializeValues(CArchive& ar, Array& array, std::vector<Value>& data)
{
    if (ar.IsStoring()) {
        ar.WriteCount(data.size());
        for (const Value& value : data)
            ar << value;
        return;
    }
    const DWORD_PTR nCount = ar.ReadCount();
    if (nCount * sizeof(Value) > ar.GetBytesRemaining())
        AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
    array.SetSize(static_cast<INT_PTR>(nCount));
    for (Value& value : data)
        ar >> value;
}

} // namespace

void CDWordArray::Serialize(CArchive& ar)
{
    SerializeValues(ar, *this, m_data);
}

void CWordArray::Serialize(CArchive& ar)
{
    SerializeValues(ar, *this, m_data);
}

void CByteArray::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar.WriteCount(m_data.size());
        ar.Write(m_data.data(), static_cast<UINT>(m_data.size()));
        return;
    }
    const DWORD_PTR nCount = ar.ReadCount();
    SetSize(static_cast<INT_PTR>(nCount));
    if (ar.Read(m_data.data(), static_cast<UINT>(nCount)) != nCount)
        AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
}
