#pragma once
// The class library's simple arrays: CUIntArray, CDWordArray, CWordArray,
// CByteArray, CPtrArray, and the shared template behind them and behind
// CObArray and CStringArray.
//
// An array grows by its grow step (SetSize's nGrowBy; by default an eighth
// of its size, between 4 and 1024 elements); new elements are zero, NULL or
// empty. An index outside the array raises CInvalidArgException instead of
// reaching memory that is not the array's; a size that cannot be had raises
// CMemoryException. Pointer arrays never own what they point to.
//
// CDWordArray, CWordArray and CByteArray serialise as a count and the
// values little-endian; CUIntArray and CPtrArray are not serialisable.

#include "platform/base/Object.h"

#include <algorithm>
#include <new>
#include <stdexcept>
#include <vector>

[[noreturn]] void AfxThrowMemoryException();
[[noreturn]] void AfxThrowInvalidArgException();

namespace platform {

template <typename T>
class TypedArray : public CObject {
public:
    TypedArray() = default;

    INT_PTR GetSize() const { return static_cast<INT_PTR>(m_data.size()); }
    INT_PTR GetCount() const { return GetSize(); }
    BOOL IsEmpty() const { return m_data.empty(); }
    INT_PTR GetUpperBound() const { return GetSize() - 1; }

    void SetSize(INT_PTR nNewSize, INT_PTR nGrowBy = -1)
    {
        if (nNewSize < 0)
            AfxThrowInvalidArgException();
        if (nGrowBy >= 0)
            m_nGrowBy = nGrowBy;
        Resize(static_cast<size_t>(nNewSize));
    }
    void FreeExtra() { m_data.shrink_to_fit(); }
    void RemoveAll() { m_data.clear(); }

    const T& GetAt(INT_PTR nIndex) const { return m_data[Checked(nIndex)]; }
    void SetAt(INT_PTR nIndex, const T& newElement) { m_data[Checked(nIndex)] = newElement; }
    T& ElementAt(INT_PTR nIndex) { return m_data[Checked(nIndex)]; }
    const T& operator[](INT_PTR nIndex) const { return GetAt(nIndex); }
    T& operator[](INT_PTR nIndex) { return ElementAt(nIndex); }
    const T* GetData() const { return m_data.empty() ? nullptr : m_data.data(); }
    T* GetData() { return m_data.empty() ? nullptr : m_data.data(); }

    // Grows the array as needed so that nIndex exists.
    void SetAtGrow(INT_PTR nIndex, const T& newElement)
    {
        if (nIndex < 0)
            AfxThrowInvalidArgException();
        if (static_cast<size_t>(nIndex) >= m_data.size()) {
            const T copy = newElement; // newElement may live in this array
            Resize(static_cast<size_t>(nIndex) + 1);
            m_data[static_cast<size_t>(nIndex)] = copy;
            return;
        }
        m_data[static_cast<size_t>(nIndex)] = newElement;
    }
    INT_PTR Add(const T& newElement)
    {
        const INT_PTR nIndex = GetSize();
        SetAtGrow(nIndex, newElement);
        return nIndex;
    }
    INT_PTR Append(const TypedArray& src)
    {
        const INT_PTR nOldSize = GetSize();
        const std::vector<T> copy = src.m_data; // src may be this array
        Resize(m_data.size() + copy.size());
        std::copy(copy.begin(), copy.end(), m_data.begin() + nOldSize);
        return nOldSize;
    }
    void Copy(const TypedArray& src)
    {
        if (&src != this)
            m_data = src.m_data;
    }

    // nIndex may lie past the end: the array grows to reach it.
    void InsertAt(INT_PTR nIndex, const T& newElement, INT_PTR nCount = 1)
    {
        if (nIndex < 0 || nCount < 0)
            AfxThrowInvalidArgException();
        if (nCount == 0)
            return;
        const T copy = newElement;
        const size_t index = static_cast<size_t>(nIndex);
        if (index >= m_data.size()) {
            Resize(index + static_cast<size_t>(nCount));
            std::fill(m_data.begin() + nIndex, m_data.end(), copy);
            return;
        }
        Reserve(m_data.size() + static_cast<size_t>(nCount));
        m_data.insert(m_data.begin() + nIndex, static_cast<size_t>(nCount), copy);
    }
    void InsertAt(INT_PTR nStartIndex, const TypedArray* pNewArray)
    {
        if (pNewArray == nullptr || nStartIndex < 0)
            AfxThrowInvalidArgException();
        const std::vector<T> copy = pNewArray->m_data;
        if (copy.empty())
            return;
        if (static_cast<size_t>(nStartIndex) > m_data.size())
            Resize(static_cast<size_t>(nStartIndex));
        Reserve(m_data.size() + copy.size());
        m_data.insert(m_data.begin() + nStartIndex, copy.begin(), copy.end());
    }
    void RemoveAt(INT_PTR nIndex, INT_PTR nCount = 1)
    {
        if (nIndex < 0 || nCount < 0 || nIndex > GetSize() || nCount > GetSize() - nIndex)
            AfxThrowInvalidArgException();
        m_data.erase(m_data.begin() + nIndex, m_data.begin() + nIndex + nCount);
    }

protected:
    size_t Checked(INT_PTR nIndex) const
    {
        if (nIndex < 0 || nIndex >= GetSize())
            AfxThrowInvalidArgException();
        return static_cast<size_t>(nIndex);
    }
    void Reserve(size_t n)
    {
        if (n <= m_data.capacity())
            return;
        size_t step = m_nGrowBy > 0 ? static_cast<size_t>(m_nGrowBy)
                                    : std::clamp<size_t>(m_data.size() / 8, 4, 1024);
        try {
            m_data.reserve(std::max(n, m_data.capacity() + step));
        } catch (const std::bad_alloc&) {
            AfxThrowMemoryException();
        } catch (const std::length_error&) {
            AfxThrowMemoryException();
        }
    }
    void Resize(size_t n)
    {
        Reserve(n);
        m_data.resize(n);
    }

    std::vector<T> m_data;
    INT_PTR m_nGrowBy = -1;
};

} // namespace platform

class CUIntArray : public platform::TypedArray<UINT> {
    DECLARE_DYNAMIC(CUIntArray)
};

class CDWordArray : public platform::TypedArray<DWORD> {
    DECLARE_SERIAL(CDWordArray)
public:
    void Serialize(CArchive& ar) override;
};

class CWordArray : public platform::TypedArray<WORD> {
    DECLARE_SERIAL(CWordArray)
public:
    void Serialize(CArchive& ar) override;
};

class CByteArray : public platform::TypedArray<BYTE> {
    DECLARE_SERIAL(CByteArray)
public:
    void Serialize(CArchive& ar) override;
};

class CPtrArray : public platform::TypedArray<void*> {
    DECLARE_DYNAMIC(CPtrArray)
};
