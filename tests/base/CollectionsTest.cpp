#include "ArchiveTestSupport.h"

#include "platform/base/Arrays.h"
#include "platform/base/ObArray.h"
#include "platform/base/ObList.h"
#include "platform/base/StringArray.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace archive_test;

namespace {

class CItem : public CObject {
    DECLARE_SERIAL(CItem)
public:
    CItem() = default;
    explicit CItem(int n) : m_n(n) {}
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring())
            ar << m_n;
        else
            ar >> m_n;
    }
    int m_n = 0;
};
IMPLEMENT_SERIAL(CItem, CObject, 1)

int At(const CObList& list, POSITION pos)
{
    return static_cast<CItem*>(list.GetAt(pos))->m_n;
}

std::vector<int> Values(const CObList& list)
{
    std::vector<int> out;
    for (POSITION pos = list.GetHeadPosition(); pos != nullptr;)
        out.push_back(static_cast<CItem*>(list.GetNext(pos))->m_n);
    return out;
}

template <typename F>
bool RaisesInvalidArg(F&& f)
{
    try {
        f();
    } catch (CInvalidArgException* e) {
        e->Delete();
        return true;
    }
    return false;
}

} // namespace

TEST(ObList, KeepsOrderThroughInsertsAndRemovals)
{
    CItem items[6] = {CItem(0), CItem(1), CItem(2), CItem(3), CItem(4), CItem(5)};
    CObList list;
    EXPECT_TRUE(list.IsEmpty());
    POSITION p2 = list.AddTail(&items[2]);
    list.AddHead(&items[0]);
    list.AddTail(&items[4]);
    list.InsertBefore(p2, &items[1]);
    list.InsertAfter(p2, &items[3]);
    list.InsertAfter(nullptr, &items[5]);
    EXPECT_EQ(Values(list), (std::vector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(list.GetCount(), 6);

    // Walking backwards.
    std::vector<int> back;
    for (POSITION pos = list.GetTailPosition(); pos != nullptr;)
        back.push_back(static_cast<CItem*>(list.GetPrev(pos))->m_n);
    EXPECT_EQ(back, (std::vector<int>{5, 4, 3, 2, 1, 0}));

    list.RemoveAt(p2);
    EXPECT_EQ(list.RemoveHead(), &items[0]);
    EXPECT_EQ(list.RemoveTail(), &items[5]);
    EXPECT_EQ(Values(list), (std::vector<int>{1, 3, 4}));
    list.SetAt(list.GetHeadPosition(), &items[2]);
    list.GetTail() = &items[0];
    EXPECT_EQ(Values(list), (std::vector<int>{2, 3, 0}));
    list.RemoveAll();
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(list.GetHeadPosition(), nullptr);
}

TEST(ObList, FindsByValueAndByIndex)
{
    CItem a(1), b(2);
    CObList list;
    list.AddTail(&a);
    list.AddTail(&b);
    list.AddTail(&a);
    POSITION first = list.Find(&a);
    ASSERT_NE(first, nullptr);
    POSITION second = list.Find(&a, first);
    EXPECT_EQ(second, list.FindIndex(2));
    EXPECT_EQ(list.Find(&a, second), nullptr);
    EXPECT_EQ(At(list, list.FindIndex(1)), 2);
    EXPECT_EQ(list.FindIndex(3), nullptr);
    EXPECT_EQ(list.FindIndex(-1), nullptr);
}

TEST(ObList, AddsWholeListsEvenItself)
{
    CItem a(1), b(2);
    CObList list, other;
    list.AddTail(&a);
    list.AddTail(&b);
    other.AddTail(&list);
    other.AddHead(&list);
    EXPECT_EQ(Values(other), (std::vector<int>{1, 2, 1, 2}));
    list.AddTail(&list);
    EXPECT_EQ(Values(list), (std::vector<int>{1, 2, 1, 2}));
    list.AddHead(&list);
    EXPECT_EQ(list.GetCount(), 8);
}

TEST(ObList, RefusesPositionsAndElementsThatAreNotThere)
{
    CObList list;
    POSITION none = nullptr;
    EXPECT_TRUE(RaisesInvalidArg([&] { list.GetHead(); }));
    EXPECT_TRUE(RaisesInvalidArg([&] { list.RemoveTail(); }));
    EXPECT_TRUE(RaisesInvalidArg([&] { list.GetNext(none); }));
    EXPECT_TRUE(RaisesInvalidArg([&] { list.RemoveAt(nullptr); }));
}

TEST(ObList, SerializesACountAndObjects)
{
    CItem a(7), b(8);
    CObList list;
    list.AddTail(&a);
    list.AddTail(&b);
    list.AddTail(&a);
    const std::string bytes = Store([&](CArchive& ar) { list.Serialize(ar); });
    EXPECT_EQ(bytes, U16(3) + U16(0xFFFF) + U16(1) + U16(5) + "CItem" + U32(7) + U16(0x8001) + U32(8) + U16(2));

    Load(bytes, [](CArchive& ar) {
        CObList back;
        back.Serialize(ar);
        EXPECT_EQ(Values(back), (std::vector<int>{7, 8, 7}));
        EXPECT_EQ(back.GetHead(), back.GetTail()) << "shared objects stay shared";
        delete back.GetHead();
        delete back.GetAt(back.FindIndex(1));
    });
}

TEST(ObArray, GrowsAndShiftsLikeTheClassLibrary)
{
    CItem a(1), b(2), c(3);
    CObArray array;
    array.SetSize(18, 5);
    EXPECT_EQ(array.GetSize(), 18);
    EXPECT_EQ(array.GetUpperBound(), 17);
    EXPECT_EQ(array[17], nullptr) << "new slots are empty";
    array.SetAtGrow(20, &a);
    EXPECT_EQ(array.GetSize(), 21);
    EXPECT_EQ(array.GetAt(19), nullptr);

    array.RemoveAll();
    EXPECT_EQ(array.Add(&a), 0);
    EXPECT_EQ(array.Add(&c), 1);
    array.InsertAt(1, &b);
    EXPECT_EQ(array[1], &b);
    EXPECT_EQ(array[2], &c);
    array.InsertAt(5, &a, 2); // past the end: grows to reach it
    EXPECT_EQ(array.GetSize(), 7);
    EXPECT_EQ(array[3], nullptr);
    EXPECT_EQ(array[6], &a);
    array.RemoveAt(0, 3);
    EXPECT_EQ(array.GetSize(), 4);
    EXPECT_EQ(array[2], &a);
    array.ElementAt(0) = &b;
    EXPECT_EQ(array.GetAt(0), &b);

    EXPECT_TRUE(RaisesInvalidArg([&] { array.GetAt(4); }));
    EXPECT_TRUE(RaisesInvalidArg([&] { array.SetAt(-1, &a); }));
    EXPECT_TRUE(RaisesInvalidArg([&] { array.RemoveAt(3, 2); }));
    EXPECT_TRUE(RaisesInvalidArg([&] { array.SetSize(-1); }));
    EXPECT_EQ(array.GetSize(), 4);
}

TEST(ObArray, SerializesACountAndObjects)
{
    CItem a(5);
    CObArray array;
    array.Add(&a);
    array.Add(nullptr);
    array.Add(&a);
    const std::string bytes = Store([&](CArchive& ar) { array.Serialize(ar); });
    EXPECT_EQ(bytes, U16(3) + U16(0xFFFF) + U16(1) + U16(5) + "CItem" + U32(5) + U16(0) + U16(2));
    Load(bytes, [](CArchive& ar) {
        CObArray back;
        back.Serialize(ar);
        ASSERT_EQ(back.GetSize(), 3);
        EXPECT_EQ(back[1], nullptr);
        EXPECT_EQ(back[0], back[2]);
        delete back[0];
    });
    // A count the stream cannot hold is refused before the array is sized.
    EXPECT_EQ(LoadFailure(U16(0xFFFF) + U32(0x40000000) + U16(0), [](CArchive& ar) {
        CObArray back;
        back.Serialize(ar);
    }),
        CArchiveException::endOfFile);
}

TEST(Arrays, SerializeValuesLittleEndian)
{
    CDWordArray dwords;
    dwords.Add(0x01020304);
    dwords.Add(5);
    CWordArray words;
    words.Add(0xABCD);
    CByteArray bytesArray;
    bytesArray.Add(9);
    bytesArray.Add(8);
    CStringArray strings;
    strings.Add("a");
    strings.Add("");
    const std::string bytes = Store([&](CArchive& ar) {
        dwords.Serialize(ar);
        words.Serialize(ar);
        bytesArray.Serialize(ar);
        strings.Serialize(ar);
    });
    EXPECT_EQ(bytes, U16(2) + U32(0x01020304) + U32(5) + U16(1) + U16(0xABCD) + U16(2) + Bytes({9, 8}) + U16(2)
            + Bytes({1, 'a', 0}));

    Load(bytes, [&](CArchive& ar) {
        CDWordArray d;
        CWordArray w;
        CByteArray b;
        CStringArray s;
        d.Serialize(ar);
        w.Serialize(ar);
        b.Serialize(ar);
        s.Serialize(ar);
        EXPECT_EQ(d.GetSize(), 2);
        EXPECT_EQ(d[0], 0x01020304u);
        EXPECT_EQ(w[0], 0xABCD);
        EXPECT_EQ(b[1], 8);
        ASSERT_EQ(s.GetSize(), 2);
        EXPECT_TRUE(s[0] == "a");
        EXPECT_TRUE(s[1].IsEmpty());
    });

    EXPECT_EQ(LoadFailure(U16(3) + U32(1) + U32(2), [](CArchive& ar) {
        CDWordArray d;
        d.Serialize(ar);
    }),
        CArchiveException::endOfFile);
}

TEST(Arrays, PointerAndUintArraysAreNotSerialisable)
{
    CUIntArray uints;
    CPtrArray pointers;
    EXPECT_FALSE(uints.IsSerializable());
    EXPECT_FALSE(pointers.IsSerializable());
    EXPECT_TRUE(CStringArray().IsSerializable());
    EXPECT_TRUE(CObList().IsSerializable());
    int x = 0;
    pointers.Add(&x);
    EXPECT_EQ(pointers[0], &x);
    uints.SetSize(3);
    EXPECT_EQ(uints[2], 0u);
}
