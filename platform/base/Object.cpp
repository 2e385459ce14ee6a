#include "platform/base/Object.h"

#include "platform/base/Archive.h"
#include "platform/base/Exception.h"

#include <cstring>

CRuntimeClass CObject::classCObject = {"CObject", static_cast<int>(sizeof(CObject)), 0xFFFF, nullptr, nullptr, nullptr};

namespace {

// Head of the by-name list. A plain pointer is constant-initialised, so
// registrations made during static initialisation of any file find it ready.
CRuntimeClass* g_firstClass = nullptr;

// Longest class name an archive accepts, terminator excluded.
constexpr UINT kMaxClassName = 63;

} // namespace

CRuntimeClass* CObject::GetRuntimeClass() const
{
    return RUNTIME_CLASS(CObject);
}

BOOL CObject::IsKindOf(const CRuntimeClass* pClass) const
{
    return GetRuntimeClass()->IsDerivedFrom(pClass);
}

BOOL CObject::IsSerializable() const
{
    return GetRuntimeClass()->m_wSchema != 0xFFFF;
}

void CObject::Serialize(CArchive&)
{
}

void CObject::AssertValid() const
{
}

void CObject::Dump(CDumpContext&) const
{
}

CObject* CRuntimeClass::CreateObject()
{
    if (m_pfnCreateObject == nullptr)
        return nullptr;
    return m_pfnCreateObject();
}

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBaseClass) const
{
    if (pBaseClass == nullptr)
        return FALSE;
    for (const CRuntimeClass* p = this; p != nullptr; p = p->m_pBaseClass) {
        if (p == pBaseClass)
            return TRUE;
    }
    return FALSE;
}

void CRuntimeClass::Store(CArchive& ar) const
{
    const WORD nLen = static_cast<WORD>(std::strlen(m_lpszClassName));
    ar << static_cast<WORD>(m_wSchema & ~VERSIONABLE_SCHEMA);
    ar << nLen;
    ar.Write(m_lpszClassName, nLen);
}

CRuntimeClass* CRuntimeClass::Load(CArchive& ar, UINT* pwSchemaNum)
{
    WORD wSchema = 0;
    WORD nLen = 0;
    ar >> wSchema;
    ar >> nLen;
    if (pwSchemaNum != nullptr)
        *pwSchemaNum = wSchema;
    if (nLen > kMaxClassName)
        return nullptr;
    char szClassName[kMaxClassName + 1];
    if (ar.Read(szClassName, nLen) != nLen)
        AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
    szClassName[nLen] = '\0';
    // A zero inside the stored name cannot match a class, whatever follows it.
    if (std::memchr(szClassName, '\0', nLen) != nullptr)
        return nullptr;
    return FromName(szClassName);
}

CRuntimeClass* CRuntimeClass::FromName(LPCSTR lpszClassName)
{
    if (lpszClassName == nullptr)
        return nullptr;
    for (CRuntimeClass* p = g_firstClass; p != nullptr; p = p->m_pNextClass) {
        if (std::strcmp(p->m_lpszClassName, lpszClassName) == 0)
            return p;
    }
    return nullptr;
}

namespace platform {

ClassRegistration::ClassRegistration(CRuntimeClass* pClass)
{
    // Registering a record twice must not turn the list into a loop.
    for (CRuntimeClass* p = g_firstClass; p != nullptr; p = p->m_pNextClass) {
        if (p == pClass)
            return;
    }
    pClass->m_pNextClass = g_firstClass;
    g_firstClass = pClass;
}

} // namespace platform
