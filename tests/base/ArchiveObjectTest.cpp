#include "ArchiveTestSupport.h"

#include "platform/base/ObList.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace archive_test;

namespace {

int g_liveObjects = 0;

// A value and nothing else; schema 1.
class CTestShape : public CObject {
    DECLARE_SERIAL(CTestShape)
public:
    CTestShape() { ++g_liveObjects; }
    explicit CTestShape(LONG n) : m_n(n) { ++g_liveObjects; }
    ~CTestShape() override { --g_liveObjects; }
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring())
            ar << m_n;
        else
            ar >> m_n;
    }
    LONG m_n = 0;
};
IMPLEMENT_SERIAL(CTestShape, CObject, 1)

// A shape that points at another object, which it owns; schema 2.
class CTestBox : public CTestShape {
    DECLARE_SERIAL(CTestBox)
public:
    CTestBox() = default;
    ~CTestBox() override
    {
        if (m_pOwned != this)
            delete m_pOwned;
    }
    void Serialize(CArchive& ar) override
    {
        CTestShape::Serialize(ar);
        if (ar.IsStoring())
            ar << m_pOwned;
        else
            ar >> m_pOwned;
    }
    CObject* m_pOwned = nullptr;
};
IMPLEMENT_SERIAL(CTestBox, CTestShape, 2)

// Any stored version loads; the one read is kept.
class CTestNote : public CObject {
    DECLARE_SERIAL(CTestNote)
public:
    void Serialize(CArchive& ar) override
    {
        if (ar.IsLoading()) {
            m_nSchemaRead = ar.GetObjectSchema();
            m_nSecondRead = ar.GetObjectSchema();
        }
    }
    UINT m_nSchemaRead = 0;
    UINT m_nSecondRead = 0;
};
IMPLEMENT_SERIAL(CTestNote, CObject, VERSIONABLE_SCHEMA | 3)

// Creatable by name but not serialisable.
class CTestTool : public CObject {
    DECLARE_DYNCREATE(CTestTool)
};
IMPLEMENT_DYNCREATE(CTestTool, CObject)

std::string NewClass(WORD schema, const std::string& name)
{
    return U16(0xFFFF) + U16(schema) + U16(static_cast<WORD>(name.size())) + name;
}

template <typename T>
T* ReadAs(CArchive& ar)
{
    T* p = nullptr;
    ar >> p;
    return p;
}

} // namespace

TEST(ArchiveObject, WritesTheTagsOfTheClassLibraryFormat)
{
    CTestShape first(7), second(8);
    CTestBox box;
    box.m_n = 9;
    box.m_pOwned = &box; // refers back to itself: its index precedes its Serialize

    const std::string bytes = Store([&](CArchive& ar) {
        ar << static_cast<CObject*>(nullptr); // null
        ar << &first;                         // class 1, object 2
        ar << &first;                         // back-reference
        ar << &second;                        // class reference, object 3
        ar << &box;                           // class 4, object 5, which refers to 5
    });
    const std::string expected = U16(0)                             // null
        + NewClass(1, "CTestShape") + U32(7)                          // new class and object
        + U16(2)                                                      // object reference
        + U16(0x8001) + U32(8)                                        // class reference
        + NewClass(2, "CTestBox") + U32(9) + U16(5);                  // nested back-reference
    EXPECT_EQ(bytes, expected);

    Load(bytes, [](CArchive& ar) {
        CObject* pNull = reinterpret_cast<CObject*>(1);
        ar >> pNull;
        EXPECT_EQ(pNull, nullptr);
        std::unique_ptr<CTestShape> a(ReadAs<CTestShape>(ar));
        CTestShape* again = ReadAs<CTestShape>(ar);
        std::unique_ptr<CTestShape> b(ReadAs<CTestShape>(ar));
        std::unique_ptr<CTestBox> c(ReadAs<CTestBox>(ar));
        ASSERT_TRUE(a && b && c);
        EXPECT_EQ(again, a.get());
        EXPECT_EQ(a->m_n, 7);
        EXPECT_EQ(b->m_n, 8);
        EXPECT_EQ(c->m_n, 9);
        EXPECT_EQ(c->m_pOwned, c.get());
        EXPECT_TRUE(c->IsKindOf(RUNTIME_CLASS(CTestBox)));
    });
}

TEST(ArchiveObject, UsesTheBigTagFromIndex0x7FFF)
{
    // One class (index 1) and 40,000 objects (indexes 2 .. 40,001).
    const int kCount = 40000;
    CObList list;
    std::vector<std::unique_ptr<CTestShape>> owned;
    for (int i = 0; i < kCount; ++i) {
        owned.push_back(std::make_unique<CTestShape>(i));
        list.AddTail(owned.back().get());
    }
    CTestNote noteA, noteB;
    CTestShape* at0x7FFE = owned[0x7FFE - 2].get();
    CTestShape* at0x7FFF = owned[0x7FFF - 2].get();

    const std::string bytes = Store([&](CArchive& ar) {
        list.Serialize(ar);
        ar << at0x7FFE << at0x7FFF;
        ar << &noteA; // class 40,002, object 40,003
        ar << &noteB; // a class reference past 0x7FFE
    });
    const size_t listBytes = 2 + NewClass(1, "CTestShape").size() + 4 + (kCount - 1) * 6;
    ASSERT_EQ(bytes.size(), listBytes + 2 + 6 + NewClass(3, "CTestNote").size() + 6);
    EXPECT_EQ(bytes.substr(0, 2), U16(kCount));
    EXPECT_EQ(bytes.substr(listBytes - 6, 2), U16(0x8001));
    const std::string tail = U16(0x7FFE) + U16(0x7FFF) + U32(0x7FFF) + NewClass(3, "CTestNote") + U16(0x7FFF)
        + U32(0x80000000u | 40002);
    EXPECT_EQ(bytes.substr(listBytes), tail);

    const int liveBefore = g_liveObjects;
    Load(bytes, [&](CArchive& ar) {
        CObList back;
        back.Serialize(ar);
        ASSERT_EQ(back.GetCount(), kCount);
        EXPECT_EQ(static_cast<CTestShape*>(back.GetTail())->m_n, kCount - 1);
        CObject* refA = nullptr;
        CObject* refB = nullptr;
        ar >> refA >> refB;
        EXPECT_EQ(refA, back.GetAt(back.FindIndex(0x7FFE - 2)));
        EXPECT_EQ(refB, back.GetAt(back.FindIndex(0x7FFF - 2)));
        std::unique_ptr<CTestNote> a(ReadAs<CTestNote>(ar));
        std::unique_ptr<CTestNote> b(ReadAs<CTestNote>(ar));
        EXPECT_NE(a.get(), b.get());
        EXPECT_EQ(b->m_nSchemaRead, 3u);
        for (POSITION pos = back.GetHeadPosition(); pos != nullptr;)
            delete back.GetNext(pos);
    });
    EXPECT_EQ(g_liveObjects, liveBefore);
}

TEST(ArchiveObject, ChecksSchemaUnlessVersionable)
{
    std::string stored = NewClass(2, "CTestShape") + U32(1);
    EXPECT_EQ(LoadFailure(stored, [](CArchive& ar) { ReadAs<CTestShape>(ar); }), CArchiveException::badSchema);

    Load(NewClass(1, "CTestNote"), [](CArchive& ar) {
        std::unique_ptr<CTestNote> old(ReadAs<CTestNote>(ar));
        EXPECT_EQ(old->m_nSchemaRead, 1u);
        EXPECT_EQ(old->m_nSecondRead, static_cast<UINT>(-1)) << "the schema is given once per object";
    });
    // The versionable bit itself is not written.
    CTestNote note;
    EXPECT_EQ(Store([&](CArchive& ar) { ar << &note; }), NewClass(3, "CTestNote"));
}

TEST(ArchiveObject, RefusesClassesItMayNotLoad)
{
    auto readAny = [](CArchive& ar) {
        CObject* p = nullptr;
        ar >> p;
        delete p;
    };
    EXPECT_EQ(LoadFailure(NewClass(1, "CNoSuchClass"), readAny), CArchiveException::badClass);
    EXPECT_EQ(LoadFailure(NewClass(0xFFFF, "CTestTool"), readAny), CArchiveException::badClass);
    EXPECT_EQ(LoadFailure(NewClass(1, std::string(64, 'C')), readAny), CArchiveException::badClass);
    EXPECT_EQ(LoadFailure(NewClass(1, std::string("CTestShape\0x", 12)) + U32(0), readAny), CArchiveException::badClass);
    // Not what the caller expects.
    EXPECT_EQ(LoadFailure(NewClass(1, "CTestShape") + U32(0), [](CArchive& ar) { ReadAs<CTestBox>(ar); }),
        CArchiveException::badClass);
    // A registered class outside the allowed list.
    const std::string box = NewClass(2, "CTestBox") + U32(0) + U16(0);
    EXPECT_EQ(LoadFailure(box, [&](CArchive& ar) {
        ar.SetAllowedClasses({RUNTIME_CLASS(CTestShape)});
        readAny(ar);
    }),
        CArchiveException::badClass);
    EXPECT_EQ(LoadFailure(box, [&](CArchive& ar) {
        ar.SetAllowedClasses({RUNTIME_CLASS(CTestShape), RUNTIME_CLASS(CTestBox)});
        readAny(ar);
    }),
        -1);
}

TEST(ArchiveObject, RefusesReferencesToWhatWasNotRead)
{
    auto readAny = [](CArchive& ar) {
        CObject* p = nullptr;
        ar >> p;
        std::unique_ptr<CObject> first(p);
        ar >> p;
        if (p != first.get())
            delete p;
    };
    EXPECT_EQ(LoadFailure(U16(0) + U16(1), readAny), CArchiveException::badIndex);
    EXPECT_EQ(LoadFailure(U16(0) + U16(0x8001), readAny), CArchiveException::badIndex);
    EXPECT_EQ(LoadFailure(U16(0) + U16(0x7FFF) + U32(0x80000005), readAny), CArchiveException::badIndex);
    // Index 1 is a class, not an object; index 2 an object, not a class.
    const std::string shape = NewClass(1, "CTestShape") + U32(0);
    EXPECT_EQ(LoadFailure(shape + U16(1), readAny), CArchiveException::badIndex);
    EXPECT_EQ(LoadFailure(shape + U16(0x8002), readAny), CArchiveException::badIndex);
}

TEST(ArchiveObject, DeletesAnObjectWhoseLoadFails)
{
    const int liveBefore = g_liveObjects;
    // A box holding a shape whose value is cut short: both are dropped.
    const std::string bytes = NewClass(2, "CTestBox") + U32(1) + NewClass(1, "CTestShape") + Bytes({1, 2});
    EXPECT_EQ(LoadFailure(bytes, [](CArchive& ar) { ReadAs<CTestBox>(ar); }), CArchiveException::endOfFile);
    EXPECT_EQ(g_liveObjects, liveBefore);

    // A reference to the failed object afterwards is refused, not followed.
    Load(NewClass(2, "CTestBox") + U32(1) + U16(9) + U16(2), [&](CArchive& ar) {
        for (int i = 0; i < 2; ++i) {
            try {
                ReadAs<CTestShape>(ar);
                ADD_FAILURE() << "read " << i << " should fail";
            } catch (CArchiveException* e) {
                EXPECT_EQ(e->m_cause, CArchiveException::badIndex);
                e->Delete();
            }
        }
    });
    EXPECT_EQ(g_liveObjects, liveBefore);
}

TEST(ArchiveObject, MapsObjectsThatAreNotWritten)
{
    CTestShape document(1);
    CTestBox item;
    item.m_pOwned = &document;
    const std::string bytes = Store([&](CArchive& ar) {
        ar.MapObject(&document); // index 1
        ar << &item;             // class 2, object 3, refers to 1
    });
    EXPECT_EQ(bytes, NewClass(2, "CTestBox") + U32(0) + U16(1));
    item.m_pOwned = nullptr;

    CTestShape loadedDocument;
    Load(bytes, [&](CArchive& ar) {
        ar.MapObject(&loadedDocument);
        std::unique_ptr<CTestBox> box(ReadAs<CTestBox>(ar));
        EXPECT_EQ(box->m_pOwned, &loadedDocument);
        box->m_pOwned = nullptr;
    });
}

TEST(ArchiveObject, SerializesAClassOnItsOwn)
{
    const std::string bytes = Store([](CArchive& ar) {
        ar.SerializeClass(RUNTIME_CLASS(CTestNote));
        ar.SerializeClass(RUNTIME_CLASS(CTestNote));
    });
    EXPECT_EQ(bytes, NewClass(3, "CTestNote") + U16(0x8001));
    Load(NewClass(5, "CTestNote") + U16(0x8001), [](CArchive& ar) {
        ar.SerializeClass(RUNTIME_CLASS(CTestNote));
        EXPECT_EQ(ar.GetObjectSchema(), 5u);
        ar.SerializeClass(RUNTIME_CLASS(CTestNote));
        EXPECT_EQ(ar.GetObjectSchema(), 5u);
    });
    EXPECT_EQ(LoadFailure(NewClass(3, "CTestNote"), [](CArchive& ar) { ar.SerializeClass(RUNTIME_CLASS(CTestShape)); }),
        CArchiveException::badClass);
}
