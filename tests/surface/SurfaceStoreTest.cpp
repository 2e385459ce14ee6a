// The surface's part of the design file: its exact bytes, the version
// gates of guidelines and the work rectangle, and its objects coming back
// bound to the view.

#include "tests/surface/SurfaceTestSupport.h"

#include "model/DrawRect.h"
#include "platform/base/Archive.h"
#include "platform/base/Exception.h"
#include "platform/base/MemFile.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace {

std::string Store(CSurface& view)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        view.Serialize(ar);
        ar.Close();
    }
    const DWORD nLength = file.GetLength();
    BYTE* pBytes = file.Detach();
    std::string out(reinterpret_cast<const char*>(pBytes), nLength);
    free(pBytes);
    return out;
}

void Load(CSurface& view, const std::string& bytes, CDrawDoc* pDoc)
{
    std::string copy = bytes;
    CMemFile file(reinterpret_cast<BYTE*>(copy.data()), static_cast<UINT>(copy.size()));
    CArchive ar(&file, CArchive::load);
    ar.m_pDocument = pDoc;
    view.Serialize(ar);
}

std::string Hex(const std::string& bytes)
{
    std::string out;
    char buf[4];
    for (unsigned char c : bytes) {
        std::snprintf(buf, sizeof(buf), "%02X ", c);
        out += buf;
    }
    return out;
}

// The view with its active state open to the test.
class CStoredSurface : public CSurface {
public:
    using CSurface::m_bActive;
};

class SurfaceStoreTest : public surfacetest::SurfaceTest {
protected:
    void SetUp() override
    {
        surfacetest::SurfaceTest::SetUp();
        m_pDoc.reset(static_cast<CDrawDoc*>(CDrawDoc::CreateObject()));
        m_pDoc->m_bAutoDelete = FALSE;
    }
    std::unique_ptr<CDrawDoc> m_pDoc;
};

TEST_F(SurfaceStoreTest, AnEmptySurfaceWritesExactlyItsGuidelinesFlagsStateAndWorkArea)
{
    auto pView = std::make_unique<CStoredSurface>();
    pView->m_guidelines[0].Add(100);
    pView->m_guidelines[0].Add(2500);
    pView->m_flags = 0x0115;
    pView->m_workRect.SetRect(-400, 500, 400, -500);
    pView->m_bActive = TRUE;
    EXPECT_EQ(Hex(Store(*pView)),
        "00 00 02 00 00 00 64 00 00 00 C4 09 00 00 00 00 00 00 15 01 01 "
        "70 FE FF FF F4 01 00 00 90 01 00 00 0C FE FF FF ");
}

TEST_F(SurfaceStoreTest, ObjectsComeBackInOrderBoundToTheViewThatReadThem)
{
    auto pSource = std::make_unique<CStoredSurface>();
    pSource->GetObjects().AddTail(new CDrawRect(CRect(0, 100, 200, 0), SHAPE_ELLIPSE));
    pSource->GetObjects().AddTail(new CDrawRect(CRect(10, 300, 50, 200), SHAPE_STAR));
    pSource->m_guidelines[1].Add(425);
    pSource->m_flags = 0xFFFF;
    const std::string bytes = Store(*pSource);

    auto pView = std::make_unique<CStoredSurface>();
    Load(*pView, bytes, m_pDoc.get());
    ASSERT_EQ(pView->GetObjects().GetCount(), 2);
    auto* pFirst = static_cast<CDrawRect*>(pView->GetObjects().GetHead());
    auto* pSecond = static_cast<CDrawRect*>(pView->GetObjects().GetTail());
    EXPECT_EQ(pFirst->m_nShape, SHAPE_ELLIPSE);
    EXPECT_EQ(pSecond->m_nShape, SHAPE_STAR);
    EXPECT_EQ(pFirst->m_pSurface, pView.get());
    EXPECT_EQ(pSecond->m_pDocument, m_pDoc.get());
    EXPECT_EQ(pView->m_guidelines[1].GetSize(), 1);
    EXPECT_EQ(pView->m_guidelines[1][0], 425u);
    // Only the flags a surface keeps come back, and 0x0004 always.
    EXPECT_EQ(pView->m_flags, 0xFF15);
    pSource->m_flags = 0xFF15;
    EXPECT_EQ(Store(*pView), Store(*pSource));
}

TEST_F(SurfaceStoreTest, AnObjectGivenTwiceIsDamageNotASecondEntry)
{
    auto pSource = std::make_unique<CStoredSurface>();
    pSource->GetObjects().AddTail(new CDrawRect(CRect(0, 100, 200, 0)));
    std::string bytes = Store(*pSource);
    // Count 2, and after the first object a reference back to it (object
    // index 2: the class took index 1).
    bytes[0] = 2;
    const size_t nAfterObject = 2 + 2 + 2 + 2 + 9 + 290;
    ASSERT_EQ(bytes.substr(8, 9), "CDrawRect");
    bytes.insert(nAfterObject, std::string("\x02\x00", 2));
    auto pView = std::make_unique<CStoredSurface>();
    EXPECT_ANY_THROW({
        try {
            Load(*pView, bytes, m_pDoc.get());
        } catch (CArchiveException* e) {
            e->Delete();
            throw 1;
        }
    });
    // The one object is held once, so the view deletes it once.
    EXPECT_EQ(pView->GetObjects().GetCount(), 1);
}

TEST_F(SurfaceStoreTest, OldDesignsScaleTheirGuidelinesAndLackTheWorkArea)
{
    auto pSource = std::make_unique<CStoredSurface>();
    pSource->m_guidelines[0].Add(123);
    pSource->m_flags = 0x0000;
    pSource->m_workRect.SetRect(-1, 2, 3, -4);
    std::string bytes = Store(*pSource);
    // Before version 28 the record ends after the active byte.
    const std::string old = bytes.substr(0, bytes.size() - 16);
    for (const LONG nVersion : {7L, 8L, 27L}) {
        m_pDoc->m_nFileVersion = nVersion;
        auto pView = std::make_unique<CStoredSurface>();
        Load(*pView, old, m_pDoc.get());
        EXPECT_EQ(pView->m_guidelines[0][0], nVersion == 7 ? 1230u : 123u) << nVersion;
        EXPECT_TRUE(pView->m_workRect.IsRectNull()) << nVersion;
        EXPECT_EQ(pView->m_flags, 0x0004);
    }
    m_pDoc->m_nFileVersion = 28;
    auto pView = std::make_unique<CStoredSurface>();
    Load(*pView, bytes, m_pDoc.get());
    EXPECT_EQ(pView->m_workRect, CRect(-1, 2, 3, -4));
}

TEST_F(SurfaceStoreTest, DamagedSurfacesRaiseTheArchiveErrorAndKeepWhatWasRead)
{
    auto pSource = std::make_unique<CStoredSurface>();
    pSource->GetObjects().AddTail(new CDrawRect(CRect(0, 100, 200, 0)));
    pSource->m_guidelines[0].Add(1);
    std::string bytes = Store(*pSource);
    for (size_t n = 0; n < bytes.size(); n += 5) {
        auto pView = std::make_unique<CStoredSurface>();
        EXPECT_THROW(
            {
                try {
                    Load(*pView, bytes.substr(0, n), m_pDoc.get());
                } catch (CArchiveException* e) {
                    e->Delete();
                    throw 1;
                }
            },
            int)
            << n;
    }
    // A guideline count of four billion ends at the end of the stream.
    std::string huge = Store(*std::make_unique<CStoredSurface>());
    huge[2] = huge[3] = huge[4] = huge[5] = '\xFF';
    auto pView = std::make_unique<CStoredSurface>();
    EXPECT_ANY_THROW({
        try {
            Load(*pView, huge, m_pDoc.get());
        } catch (CArchiveException* e) {
            e->Delete();
            throw 1;
        }
    });
}

} // namespace
