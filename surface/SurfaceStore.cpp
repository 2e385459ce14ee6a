// The surface's part of the design file: its objects, guidelines, flags,
// active state and work rectangle.

#include "model/DesignArchive.h"
#include "model/DrawObj.h"
#include "platform/base/Archive.h"
#include "platform/base/Exception.h"
#include "surface/Surface.h"

#include <limits>
#include <unordered_set>

namespace {

// Flags a stored surface may carry; 0x0004 is set on every surface.
constexpr WORD kStoredFlagsMask = 0xFF15;
constexpr WORD kAlwaysSetFlag = 0x0004;

} // namespace

void CSurface::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
        m_objects.Serialize(ar);
    else
        LoadObjects(ar);
    SerializeGuidelines(ar, m_guidelines[0]);
    SerializeGuidelines(ar, m_guidelines[1]);
    if (ar.IsStoring()) {
        ar << m_flags << static_cast<BYTE>(m_bActive ? 1 : 0);
        ar << static_cast<LONG>(m_workRect.left) << static_cast<LONG>(m_workRect.top)
           << static_cast<LONG>(m_workRect.right) << static_cast<LONG>(m_workRect.bottom);
        return;
    }
    BYTE byActive = 0;
    ar >> m_flags >> byActive;
    m_bActive = byActive;
    m_flags = static_cast<WORD>((m_flags & kStoredFlagsMask) | kAlwaysSetFlag);
    for (POSITION pos = m_objects.GetHeadPosition(); pos != nullptr;) {
        CObject* pObject = m_objects.GetNext(pos);
        if (auto* pObj = dynamic_cast<CDrawObj*>(pObject))
            pObj->SetSurface(this);
    }
    if (GetDesignVersion(ar) >= 28) {
        LONG l = 0;
        LONG t = 0;
        LONG r = 0;
        LONG b = 0;
        ar >> l >> t >> r >> b;
        m_workRect.SetRect(l, t, r, b);
    }
}

void CSurface::LoadObjects(CArchive& ar)
{
    // The archive gives an object again when the stream refers back to it.
    // A design never holds one object twice, so such a reference (within
    // this surface or to another's object) is damage: the list would delete
    // the object twice.
    std::unordered_set<const CObject*> seen;
    for (POSITION pos = m_objects.GetHeadPosition(); pos != nullptr;)
        seen.insert(m_objects.GetNext(pos));
    const DWORD_PTR nCount = ar.ReadCount();
    for (DWORD_PTR i = 0; i < nCount; ++i) {
        CObject* pObject = ar.ReadObject(RUNTIME_CLASS(CDrawObj));
        if (pObject == nullptr)
            continue;
        const auto* pObj = static_cast<const CDrawObj*>(pObject);
        if (!seen.insert(pObject).second || pObj->m_pSurface != nullptr)
            AfxThrowArchiveException(CArchiveException::badIndex, ar.m_strFileName);
        m_objects.AddTail(pObject);
    }
}

void CSurface::SerializeGuidelines(CArchive& ar, CDWordArray& guidelines)
{
    if (ar.IsStoring()) {
        ar << static_cast<DWORD>(guidelines.GetSize());
        for (INT_PTR i = 0; i < guidelines.GetSize(); ++i)
            ar << guidelines[i];
        return;
    }
    guidelines.RemoveAll();
    DWORD dwCount = 0;
    ar >> dwCount;
    const BOOL bHundredths = GetDesignVersion(ar) == 7;
    // A damaged count runs into the end of the stream, which raises the
    // archive's end-of-file error; every value read is kept till then.
    for (DWORD i = 0; i < dwCount; ++i) {
        DWORD dwValue = 0;
        ar >> dwValue;
        if (bHundredths)
            dwValue = dwValue > std::numeric_limits<DWORD>::max() / 10 ? std::numeric_limits<DWORD>::max()
                                                                        : dwValue * 10;
        guidelines.Add(dwValue);
    }
}
