#pragma once
// CObject, the root of the class library's run-time type records, and the
// macros that attach a record to a class.
//
// A record (CRuntimeClass) names the class, its schema and the base that the
// IMPLEMENT_ macro was given. That base is taken as declared, even where the
// C++ derivation differs: IsKindOf follows the records, not the compiler's
// hierarchy. Classes implemented with IMPLEMENT_DYNCREATE or IMPLEMENT_SERIAL
// are also entered in a process-wide list so that an archive can find them by
// the name it reads. The entry is made by a static object in the file of the
// IMPLEMENT_ macro, so a class that is only ever created by name must have
// that file linked in: a static library drops files that nothing refers to.

#include "platform/base/Forward.h"
#include "platform/base/Types.h"

// A schema with this bit set lets an archive load any stored version of the
// class; the object reads the version through CArchive::GetObjectSchema.
#define VERSIONABLE_SCHEMA (0x80000000)

struct CRuntimeClass {
    LPCSTR m_lpszClassName;
    int m_nObjectSize;
    UINT m_wSchema; // 0xFFFF: not serialisable
    CObject* (*m_pfnCreateObject)();
    CRuntimeClass* m_pBaseClass;
    CRuntimeClass* m_pNextClass; // the by-name list; set at registration

    // A new object of this class, or NULL when it cannot be created.
    CObject* CreateObject();
    // Walks the declared bases; a class is derived from itself.
    BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;

    // Writes the schema, the name length and the name, as objects are tagged
    // in archives.
    void Store(CArchive& ar) const;
    // Reads what Store wrote. NULL when the name is 64 characters or longer
    // or names no registered class; a short read raises endOfFile.
    static CRuntimeClass* Load(CArchive& ar, UINT* pwSchemaNum);
    // The registered class of that exact name, or NULL.
    static CRuntimeClass* FromName(LPCSTR lpszClassName);
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

class CObject {
public:
    virtual ~CObject() = default;

    virtual CRuntimeClass* GetRuntimeClass() const;
    BOOL IsKindOf(const CRuntimeClass* pClass) const;
    BOOL IsSerializable() const;

    virtual void Serialize(CArchive& ar);
    // Diagnostics of the class library's debug builds; they check nothing here.
    virtual void AssertValid() const;
    virtual void Dump(CDumpContext& dc) const;

    static CRuntimeClass classCObject;

protected:
    CObject() = default;

public:
    // Objects are not copied through their base, as in the class library.
    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;
};

namespace platform {

// Enters a record in the by-name list; IMPLEMENT_DYNCREATE and
// IMPLEMENT_SERIAL make one per class at static initialisation.
struct ClassRegistration {
    explicit ClassRegistration(CRuntimeClass* pClass);
};

// What the operator>> of IMPLEMENT_SERIAL calls: ReadObject, and for an
// object whose C++ type does not match its record, delete it and raise
// badClass.
CObject* ArchiveReadObject(CArchive& ar, const CRuntimeClass* pClass);
[[noreturn]] void ArchiveRejectObject(CArchive& ar, CObject* pObject);

} // namespace platform

#define DECLARE_DYNAMIC(class_name)                \
public:                                            \
    static CRuntimeClass class##class_name;        \
    CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name) \
    DECLARE_DYNAMIC(class_name)       \
    static CObject* CreateObject();

#define DECLARE_SERIAL(class_name)  \
    DECLARE_DYNCREATE(class_name)   \
    friend CArchive& operator>>(CArchive& ar, class_name*& pOb);

#define THREADWICK_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, wSchema, pfnNew)                  \
    CRuntimeClass class_name::class##class_name = {#class_name, static_cast<int>(sizeof(class_name)), \
        static_cast<UINT>(wSchema), pfnNew, RUNTIME_CLASS(base_class_name), nullptr};                  \
    CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); }

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) \
    THREADWICK_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name)                                          \
    CObject* class_name::CreateObject() { return new class_name; }                                \
    THREADWICK_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, class_name::CreateObject) \
    static const platform::ClassRegistration twClassInit_##class_name(RUNTIME_CLASS(class_name));

#define IMPLEMENT_SERIAL(class_name, base_class_name, wSchema)                                      \
    CObject* class_name::CreateObject() { return new class_name; }                                  \
    THREADWICK_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, wSchema, class_name::CreateObject) \
    static const platform::ClassRegistration twClassInit_##class_name(RUNTIME_CLASS(class_name));   \
    [[maybe_unused]] CArchive& operator>>(CArchive& ar, class_name*& pOb)                           \
    {                                                                                               \
        CObject* pObject = platform::ArchiveReadObject(ar, RUNTIME_CLASS(class_name));              \
        pOb = dynamic_cast<class_name*>(pObject);                                                   \
        if (pObject != nullptr && pOb == nullptr)                                                   \
            platform::ArchiveRejectObject(ar, pObject);                                             \
        return ar;                                                                                  \
    }
