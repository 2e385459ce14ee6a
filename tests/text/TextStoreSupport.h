#pragma once
// Shared by the stored-form tests of text and pictures: archives in memory
// that carry a design of a chosen version, and byte builders for hand-made
// records of older versions.

#include "app/PrefData.h"
#include "platform/base/Archive.h"
#include "platform/base/Exception.h"
#include "platform/base/MemFile.h"
#include "platform/ui/Headless.h"
#include "text/DesignArchive.h"

#include "tests/base/ArchiveTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>

namespace text_store {

// The design every archive of a test belongs to.
inline DesignArchiveInfo& TestDesign()
{
    static DesignArchiveInfo info;
    return info;
}

inline BOOL TestDesignSource(const CArchive&, DesignArchiveInfo& info)
{
    info = TestDesign();
    return TRUE;
}

class StoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        m_previous = GetDesignArchiveSource();
        TestDesign() = DesignArchiveInfo{};
        SetDesignArchiveSource(&TestDesignSource);
    }
    void TearDown() override { SetDesignArchiveSource(m_previous); }

    // The source the program installed before the test's.
    DesignArchiveSource PreviousSource() const { return m_previous; }

    static void SetVersion(LONG nVersion, LONG nHeaderValue = 0)
    {
        TestDesign().nVersion = nVersion;
        TestDesign().nHeaderValue = nHeaderValue;
    }

private:
    DesignArchiveSource m_previous = nullptr;
};

template <typename T>
std::string Store(T& object)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        object.Serialize(ar);
        ar.Close();
    }
    const DWORD n = static_cast<DWORD>(file.GetLength());
    std::string bytes(n, '\0');
    file.SeekToBegin();
    file.Read(bytes.data(), n);
    return bytes;
}

// Loads the bytes into the object through an archive of the document. The
// cause of the archive exception raised, -1 when none, -2 for another
// exception; nLeft gets the bytes the load did not read.
template <typename T>
int Load(T& object, const std::string& bytes, ULONGLONG* pnLeft = nullptr, CDocument* pDocument = nullptr)
{
    return archive_test::LoadFailure(bytes, [&](CArchive& ar) {
        ar.m_pDocument = pDocument;
        object.Serialize(ar);
        if (pnLeft != nullptr)
            *pnLeft = ar.GetBytesRemaining();
    });
}

inline std::string U8(int v)
{
    return std::string(1, static_cast<char>(v));
}

inline std::string U16(int v)
{
    return U8(v & 0xFF) + U8((v >> 8) & 0xFF);
}

inline std::string U32(long long v)
{
    const auto u = static_cast<unsigned long>(v);
    return U16(static_cast<int>(u & 0xFFFF)) + U16(static_cast<int>((u >> 16) & 0xFFFF));
}

inline std::string F64(double d)
{
    std::string out(8, '\0');
    std::memcpy(out.data(), &d, 8);
    return out;
}

// The archive string form: a length byte below 255, else 255 and a 16-bit
// length, then the characters.
inline std::string Str(const std::string& s)
{
    if (s.size() < 255)
        return U8(static_cast<int>(s.size())) + s;
    return U8(255) + U16(static_cast<int>(s.size())) + s;
}

// Loads n copies of the bytes into objects made by make(), each copy with a
// few bytes changed at random (the same every run): each load either
// succeeds or raises the archive exception, never anything else. Answers
// how many loads failed otherwise.
template <typename Make>
int LoadDamagedCopies(const std::string& bytes, int nCopies, Make&& make)
{
    std::mt19937 random(1234);
    int nOther = 0;
    for (int n = 0; n < nCopies; ++n) {
        std::string damaged = bytes;
        const int nChanges = 1 + static_cast<int>(random() % 4);
        for (int i = 0; i < nChanges; ++i)
            damaged[random() % damaged.size()] = static_cast<char>(random());
        auto pObject = make();
        if (Load(*pObject, damaged) == -2)
            ++nOther;
    }
    return nOther;
}

// A stored-form test of block text: new blocks take the preferences'
// default text format with no flags, whatever the profile says.
class BlockStoreTest : public StoreTest {
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        m_savedFlags = thePrefs.Flags;
        thePrefs.Flags = 0;
    }
    void TearDown() override
    {
        thePrefs.Flags = m_savedFlags;
        StoreTest::TearDown();
    }
    WORD m_savedFlags = 0;
};

} // namespace text_store
