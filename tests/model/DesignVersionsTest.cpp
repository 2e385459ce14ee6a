// The design file's "Contents" as older versions wrote it, built by hand:
// each version gate of the document's rows, the quick-information record in
// its four stored lengths, merge sources, and the records that must fail.

#include "tests/model/ModelTestSupport.h"

#include "model/DesignArchive.h"
#include "platform/base/Archive.h"
#include "platform/base/Exception.h"
#include "platform/base/MemFile.h"
#include "platform/files/HostPath.h"
#include "print/MergeSource.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

// A little-endian stream built by hand.
class Stream {
public:
    Stream& W(WORD w) { return Put(&w, 2); }
    Stream& D(DWORD d) { return Put(&d, 4); }
    Stream& B(BYTE b) { return Put(&b, 1); }
    Stream& S(const std::string& text)
    {
        B(static_cast<BYTE>(text.size()));
        m_bytes += text;
        return *this;
    }
    Stream& Raw(const std::string& bytes)
    {
        m_bytes += bytes;
        return *this;
    }
    const std::string& Bytes() const { return m_bytes; }

private:
    Stream& Put(const void* p, size_t n)
    {
        m_bytes.append(static_cast<const char*>(p), n);
        return *this;
    }
    std::string m_bytes;
};

struct Design {
    DWORD dwVersion = 29;
    DWORD dwLayout = 1;
    DWORD dwPaper = 0x00F0E0D0;
    WORD wZoom = 75;
    WORD wFlags = 0x0800 | 0x0001;
    WORD wSecondFlags = 0x0022;
    std::string mergeName;     // before version 10
    std::string quickInfo;     // the bytes after the length; 88 by default
    DWORD dwQuickLength = 88;
    DWORD dwMergeType = 0;     // 0: none
    std::string mergeRecord;
    LONG nGuideline = 250;
};

std::string QuickInfo88()
{
    Stream s;
    for (int i = 0; i < 22; ++i)
        s.D(i == 0 ? 5 : (i == 2 ? 1 : (i == 21 ? 0x2121 : static_cast<DWORD>(100 + i))));
    return s.Bytes();
}

std::string Build(const Design& d, int nSurfaces)
{
    Stream s;
    s.D(d.dwVersion);
    if (d.dwVersion >= 19)
        s.D(d.dwLayout);
    s.D(d.dwPaper).D(3).W(d.wZoom).D(0x000000FF).W(d.wFlags);
    if (d.dwVersion >= 11)
        s.W(d.wSecondFlags);
    s.D(40).D(0x00800000).D(0x00FF0000).D(1);
    if (d.dwVersion < 10)
        s.S(d.mergeName);
    s.D(d.dwQuickLength).Raw(d.quickInfo.empty() ? QuickInfo88() : d.quickInfo);
    if (d.dwVersion >= 10) {
        s.D(d.dwMergeType != 0 ? 1 : 0);
        if (d.dwMergeType != 0)
            s.D(d.dwMergeType).Raw(d.mergeRecord);
    }
    if (d.dwVersion >= 22)
        s.D(10).D(20).D(30).D(40);
    if (d.dwVersion >= 24)
        s.W(150).D(2);
    if (d.dwVersion >= 23)
        s.S("more");
    for (int i = 0; i < nSurfaces; ++i) {
        s.W(0);                                  // no objects
        s.D(1).D(static_cast<DWORD>(d.nGuideline)); // one horizontal guideline
        s.D(0);
        s.W(0x0115).B(0);
        if (d.dwVersion >= 28)
            s.D(DWORD(-5)).D(6).D(7).D(DWORD(-8));
    }
    s.D(0); // no embedded items
    return s.Bytes();
}

class DesignVersionsTest : public modeltest::WindowModelTest {
protected:
    void SetUp() override
    {
        WindowModelTest::SetUp();
        m_pDoc = NewDesign(RUNTIME_CLASS(CGeneralDoc));
        ASSERT_NE(m_pDoc, nullptr);
    }
    // Reads the bytes into the design; TRUE when no exception ended it.
    BOOL Read(const std::string& bytes)
    {
        std::string copy = bytes;
        CMemFile file(reinterpret_cast<BYTE*>(copy.data()), static_cast<UINT>(copy.size()));
        CArchive ar(&file, CArchive::load);
        ar.m_pDocument = m_pDoc;
        // Only "Contents" is read here: without a root storage there is no
        // class, summary or quick-information stream to read.
        LPSTORAGE pRoot = std::exchange(m_pDoc->m_lpRootStg, nullptr);
        BOOL bRead = TRUE;
        try {
            m_pDoc->Serialize(ar);
        } catch (CException* e) {
            e->Delete();
            bRead = FALSE;
        }
        m_pDoc->m_lpRootStg = pRoot;
        return bRead;
    }
    CDrawDoc* m_pDoc = nullptr;
};

TEST_F(DesignVersionsTest, EveryVersionReadsItsRowsAndLeavesTheDocumentAtTheCurrentOne)
{
    for (DWORD dwVersion : {7u, 9u, 10u, 11u, 13u, 14u, 16u, 17u, 18u, 19u, 21u, 22u, 23u, 24u, 25u, 26u, 27u, 28u, 29u}) {
        Design d;
        d.dwVersion = dwVersion;
        ASSERT_TRUE(Read(Build(d, m_pDoc->GetSurfaceInfoCount()))) << dwVersion;
        EXPECT_EQ(m_pDoc->m_nFileVersion, 29) << dwVersion;
        EXPECT_TRUE(m_pDoc->m_bNativeRecord);
        EXPECT_FALSE(g_bInDesignSerialize);
        EXPECT_EQ(m_pDoc->GetPaperColor(), COLORREF(0x00F0E0D0)) << dwVersion;
        EXPECT_EQ(m_pDoc->m_nLayoutChoice, dwVersion >= 19 ? 1 : 0) << dwVersion;
        // The flag of a save in progress never survives a read.
        EXPECT_EQ(m_pDoc->m_wDocFlags & DOC_FLAG_SAVING_PREDESIGNED, 0) << dwVersion;
        EXPECT_EQ(m_pDoc->m_wSecondFlags, dwVersion >= 11 ? 0x0022 : m_pDoc->m_wSecondFlags) << dwVersion;
        EXPECT_EQ(m_pDoc->GetQuickInfo()[DocQuickInfo::Kind], 5);
        EXPECT_EQ(m_pDoc->GetCurrentSurfaceIndex(), 0);
        EXPECT_EQ(m_pDoc->GetZoom(), dwVersion >= 24 ? 150 : 75) << dwVersion;
        if (dwVersion >= 22) {
            EXPECT_EQ(m_pDoc->m_rectSavedMargins, CRect(10, 20, 30, 40));
        }
        if (dwVersion >= 23) {
            EXPECT_STREQ(m_pDoc->m_strExtraText, "more");
        }
        CSurface* pView = m_pDoc->GetSurfaceView(0);
        ASSERT_EQ(pView->m_guidelines[0].GetSize(), 1);
        EXPECT_EQ(pView->m_guidelines[0][0], dwVersion == 7 ? 2500u : 250u) << dwVersion;
        EXPECT_EQ(pView->m_workRect, dwVersion >= 28 ? CRect(-5, 6, 7, -8) : pView->m_workRect) << dwVersion;
        m_pDoc->m_strExtraText.Empty();
    }
}

TEST_F(DesignVersionsTest, ALayoutChoiceThatIsNoChoiceIsThePaperColour)
{
    Design d;
    d.dwVersion = 19;
    d.dwLayout = 0x00FFFFFF;
    // The paper colour's place then holds the current surface, and so on:
    // the stream is one value shorter.
    std::string bytes = Build(d, m_pDoc->GetSurfaceInfoCount());
    bytes.erase(8, 4);
    ASSERT_TRUE(Read(bytes));
    EXPECT_EQ(m_pDoc->GetPaperColor(), COLORREF(0x00FFFFFF));
    EXPECT_EQ(m_pDoc->m_nLayoutChoice, 0);
}

TEST_F(DesignVersionsTest, QuickInformationInEachStoredLength)
{
    const int nSurfaces = m_pDoc->GetSurfaceInfoCount();
    // 84 bytes: value 21 keeps what the document had.
    DocQuickInfo before = m_pDoc->GetQuickInfo();
    Design d84;
    d84.dwQuickLength = 84;
    d84.quickInfo = QuickInfo88().substr(0, 84);
    ASSERT_TRUE(Read(Build(d84, nSurfaces)));
    EXPECT_EQ(m_pDoc->GetQuickInfo()[21], before[21]);
    EXPECT_EQ(m_pDoc->GetQuickInfo()[3], 103);

    // 48 bytes: the 16-bit record, sign-extended; value 21 from its last
    // four bytes. The objects then read 16-bit pens, which the document
    // forgets again at the end of the read.
    Stream old;
    for (int i = 0; i < 7; ++i)
        old.W(static_cast<WORD>(i == 0 ? 5 : (i == 1 ? 0xFFFF : 10 + i)));
    old.D(0x12345678);
    for (int i = 8; i < 21; ++i)
        old.W(static_cast<WORD>(i == 17 ? 0xFFFE : 20 + i));
    const std::string record48 = old.Bytes() + std::string("\x21\x43\x00\x00", 4);
    Design d48;
    d48.dwQuickLength = 48;
    d48.quickInfo = record48;
    ASSERT_TRUE(Read(Build(d48, nSurfaces)));
    EXPECT_EQ(m_pDoc->GetQuickInfo()[1], -1);
    EXPECT_EQ(m_pDoc->GetQuickInfo()[7], 0x12345678);
    EXPECT_EQ(m_pDoc->GetQuickInfo()[21], 0x4321);
    EXPECT_TRUE(m_pDoc->m_bNativeRecord);

    Design d44;
    d44.dwQuickLength = 44;
    d44.quickInfo = record48.substr(0, 44);
    ASSERT_TRUE(Read(Build(d44, nSurfaces)));
    EXPECT_EQ(m_pDoc->GetQuickInfo()[21], 0);

    Design d50;
    d50.dwQuickLength = 50;
    d50.quickInfo = QuickInfo88().substr(0, 50);
    EXPECT_FALSE(Read(Build(d50, nSurfaces)));
    EXPECT_FALSE(g_bInDesignSerialize);
    EXPECT_TRUE(m_pDoc->m_bNativeRecord);
}

TEST_F(DesignVersionsTest, MergeSourcesOfEveryForm)
{
    const int nSurfaces = m_pDoc->GetSurfaceInfoCount();
    const std::string dir = testing_support::MakeTempDir("merge");
    testing_support::WriteFileBytes(dir + "/names.txt", "Ann\r\nBob\r\n");
    const std::string present = platform::WindowsPathFor(dir + "/names.txt");
    const std::string missing = platform::WindowsPathFor(dir + "/gone.txt");

    // Before version 10 a name, kept only when the file is there.
    for (const std::string& name : {std::string(), missing, present}) {
        Design d;
        d.dwVersion = 9;
        d.mergeName = name;
        ASSERT_TRUE(Read(Build(d, nSurfaces))) << name;
        auto* pSource = dynamic_cast<CMergeSource*>(m_pDoc->m_pMergeSource);
        if (name == present) {
            ASSERT_NE(pSource, nullptr);
            EXPECT_EQ(pSource->GetType(), CMergeSource::TypeTextFile);
            EXPECT_STREQ(pSource->GetFileName(), present.c_str());
        } else {
            EXPECT_EQ(pSource, nullptr) << name;
        }
        delete m_pDoc->m_pMergeSource;
        m_pDoc->m_pMergeSource = nullptr;
    }

    // From version 10 a typed source with its own record.
    Design d;
    d.dwMergeType = 2;
    d.mergeRecord = Stream().S("C:\\book.adr").Bytes();
    ASSERT_TRUE(Read(Build(d, nSurfaces)));
    auto* pSource = dynamic_cast<CMergeSource*>(m_pDoc->m_pMergeSource);
    ASSERT_NE(pSource, nullptr);
    EXPECT_EQ(pSource->GetType(), CMergeSource::TypeAddressBook);
    EXPECT_STREQ(pSource->GetFileName(), "C:\\book.adr");

    d.dwMergeType = 3;
    EXPECT_FALSE(Read(Build(d, nSurfaces)));
    EXPECT_FALSE(g_bInDesignSerialize);
}

} // namespace
