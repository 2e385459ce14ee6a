// The persistent-object half of CArchive: class and object tags, the maps
// that turn repeated objects into back-references, and schema checks.

#include "platform/base/Archive.h"

#include "platform/base/Exception.h"
#include "platform/base/Object.h"

#include <algorithm>

namespace {

constexpr WORD kNullTag = 0;
constexpr WORD kNewClassTag = 0xFFFF;
constexpr WORD kClassTag = 0x8000;
constexpr WORD kBigObjectTag = 0x7FFF;
constexpr DWORD kBigClassTag = 0x80000000;
constexpr DWORD kMaxMapCount = 0x7FFFFFFE;
constexpr UINT kNotSerializable = 0xFFFF;

} // namespace

DWORD CArchive::NewStoreIndex(const void* key)
{
    if (m_nMapCount > kMaxMapCount)
        Throw(CArchiveException::generic);
    const DWORD index = m_nMapCount++;
    m_storeMap.emplace(key, index);
    return index;
}

DWORD CArchive::NewLoadIndex(void* pointer, bool isClass, UINT schema)
{
    if (m_loadArray.size() > kMaxMapCount)
        Throw(CArchiveException::badIndex);
    m_loadArray.push_back(LoadEntry{pointer, schema, isClass});
    return static_cast<DWORD>(m_loadArray.size() - 1);
}

void CArchive::WriteIndexTag(DWORD index, bool isClass)
{
    if (index < kBigObjectTag) {
        *this << static_cast<WORD>(isClass ? (kClassTag | index) : index);
    } else {
        *this << kBigObjectTag;
        *this << static_cast<DWORD>(isClass ? (kBigClassTag | index) : index);
    }
}

void CArchive::WriteClass(const CRuntimeClass* pClassRef)
{
    CheckStoring();
    if (pClassRef == nullptr || pClassRef->m_wSchema == kNotSerializable)
        Throw(CArchiveException::badClass);
    auto it = m_storeMap.find(pClassRef);
    if (it != m_storeMap.end()) {
        WriteIndexTag(it->second, true);
        return;
    }
    *this << kNewClassTag;
    pClassRef->Store(*this);
    NewStoreIndex(pClassRef);
}

void CArchive::WriteObject(const CObject* pOb)
{
    CheckStoring();
    if (pOb == nullptr) {
        *this << kNullTag;
        return;
    }
    auto it = m_storeMap.find(pOb);
    if (it != m_storeMap.end()) {
        WriteIndexTag(it->second, false);
        return;
    }
    WriteClass(pOb->GetRuntimeClass());
    // The index is taken before Serialize, so objects written inside it
    // number after this one and may refer back to it.
    NewStoreIndex(pOb);
    const_cast<CObject*>(pOb)->Serialize(*this);
}

void CArchive::MapObject(const CObject* pOb)
{
    if (IsStoring()) {
        if (pOb != nullptr && m_storeMap.find(pOb) == m_storeMap.end())
            NewStoreIndex(pOb);
    } else {
        NewLoadIndex(const_cast<CObject*>(pOb), false, 0);
    }
}

CRuntimeClass* CArchive::ReadClass(const CRuntimeClass* pClassRefRequested, UINT* pSchema, DWORD* pObTag)
{
    CheckLoading();
    WORD wTag = 0;
    *this >> wTag;

    CRuntimeClass* pClassRef = nullptr;
    UINT nSchema = 0;
    if (wTag == kNewClassTag) {
        pClassRef = CRuntimeClass::Load(*this, &nSchema);
        if (pClassRef == nullptr || pClassRef->m_wSchema == kNotSerializable || pClassRef->m_pfnCreateObject == nullptr)
            Throw(CArchiveException::badClass);
        if (!m_allowedClasses.empty()
            && std::find(m_allowedClasses.begin(), m_allowedClasses.end(), pClassRef) == m_allowedClasses.end())
            Throw(CArchiveException::badClass);
        if (!(pClassRef->m_wSchema & VERSIONABLE_SCHEMA) && (pClassRef->m_wSchema & 0xFFFF) != nSchema)
            Throw(CArchiveException::badSchema);
        NewLoadIndex(pClassRef, true, nSchema);
    } else {
        DWORD obTag = 0;
        if (wTag == kBigObjectTag)
            *this >> obTag;
        else
            obTag = (static_cast<DWORD>(wTag & kClassTag) << 16) | (wTag & ~kClassTag);

        if (!(obTag & kBigClassTag)) {
            // An object tag: the caller resolves it.
            if (pObTag == nullptr)
                Throw(CArchiveException::badIndex);
            *pObTag = obTag;
            return nullptr;
        }
        const DWORD index = obTag & ~kBigClassTag;
        if (index == 0 || index >= m_loadArray.size() || !m_loadArray[index].isClass)
            Throw(CArchiveException::badIndex);
        pClassRef = static_cast<CRuntimeClass*>(m_loadArray[index].pointer);
        nSchema = m_loadArray[index].schema;
    }

    if (pClassRefRequested != nullptr && !pClassRef->IsDerivedFrom(pClassRefRequested))
        Throw(CArchiveException::badClass);
    if (pSchema != nullptr)
        *pSchema = nSchema;
    if (pObTag != nullptr)
        *pObTag = 0;
    return pClassRef;
}

void CArchive::SerializeClass(const CRuntimeClass* pClassRef)
{
    if (IsStoring()) {
        WriteClass(pClassRef);
    } else {
        UINT nSchema = 0;
        ReadClass(pClassRef, &nSchema);
        m_nObjectSchema = nSchema;
    }
}

CObject* CArchive::ReadObject(const CRuntimeClass* pClassRefRequested)
{
    UINT nSchema = 0;
    DWORD obTag = 0;
    m_pLastCreated = nullptr;
    CRuntimeClass* pClassRef = ReadClass(pClassRefRequested, &nSchema, &obTag);

    if (pClassRef == nullptr) {
        if (obTag == 0)
            return nullptr;
        if (obTag >= m_loadArray.size() || m_loadArray[obTag].isClass || m_loadArray[obTag].pointer == nullptr)
            Throw(CArchiveException::badIndex);
        CObject* pOb = static_cast<CObject*>(m_loadArray[obTag].pointer);
        if (pClassRefRequested != nullptr && !pOb->IsKindOf(pClassRefRequested))
            Throw(CArchiveException::badClass);
        return pOb;
    }

    CObject* pOb = pClassRef->CreateObject();
    if (pOb == nullptr)
        AfxThrowMemoryException();
    const DWORD index = NewLoadIndex(pOb, false, 0);
    m_nObjectSchema = nSchema;
    try {
        pOb->Serialize(*this);
    } catch (...) {
        // Later references to it must not reach the deleted object.
        m_loadArray[index].pointer = nullptr;
        delete pOb;
        throw;
    }
    m_pLastCreated = pOb;
    m_nLastCreatedIndex = index;
    return pOb;
}

UINT CArchive::GetObjectSchema()
{
    const UINT nSchema = m_nObjectSchema;
    m_nObjectSchema = static_cast<UINT>(-1);
    return nSchema;
}

void CArchive::SetObjectSchema(UINT nSchema)
{
    m_nObjectSchema = nSchema;
}

void CArchive::SetStoreParams(UINT nHashSize, UINT)
{
    if (IsStoring() && m_storeMap.empty())
        m_storeMap.reserve(std::min<UINT>(nHashSize, 1u << 16));
}

void CArchive::SetLoadParams(UINT)
{
}

void CArchive::SetAllowedClasses(std::initializer_list<const CRuntimeClass*> classes)
{
    m_allowedClasses.assign(classes.begin(), classes.end());
}

void CArchive::SetAllowedClasses(const std::vector<const CRuntimeClass*>& classes)
{
    m_allowedClasses = classes;
}

CArchive& operator<<(CArchive& ar, const CObject* pOb)
{
    ar.WriteObject(pOb);
    return ar;
}

CArchive& operator>>(CArchive& ar, CObject*& pOb)
{
    pOb = ar.ReadObject(nullptr);
    return ar;
}

CArchive& operator>>(CArchive& ar, const CObject*& pOb)
{
    pOb = ar.ReadObject(nullptr);
    return ar;
}

namespace platform {

CObject* ArchiveReadObject(CArchive& ar, const CRuntimeClass* pClass)
{
    return ar.ReadObject(pClass);
}

void ArchiveRejectObject(CArchive& ar, CObject* pObject)
{
    // Only an object this read just made is the caller's to lose; one reached
    // by a back-reference belongs to whoever read it first.
    if (pObject != nullptr && pObject == ar.m_pLastCreated) {
        ar.m_loadArray[ar.m_nLastCreatedIndex].pointer = nullptr;
        ar.m_pLastCreated = nullptr;
        delete pObject;
    }
    ar.Throw(CArchiveException::badClass);
}

} // namespace platform
