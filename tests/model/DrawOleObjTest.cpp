// Embedded objects on a surface: the size taken from the server's extent
// (first time, scaled later, not while active in place, an axis that was
// 0), the frame drawn only while frames are shown, a clone that fails
// leaving nothing behind, and the record through the archive.

#include "tests/model/ModelTestSupport.h"

#include "model/DrawOleObj.h"
#include "surface/SurfaceGlobals.h"
#include "platform/base/Archive.h"
#include "platform/base/CodePage.h"
#include "platform/base/Exception.h"
#include "platform/base/MemFile.h"
#include "platform/files/HostPath.h"
#include "platform/storage/Storage.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Le32(DWORD v)
{
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i)
        s[size_t(i)] = char(v >> (8 * i));
    return s;
}

// A cached picture of the given HIMETRIC extent: a metafile that fills its
// window (0,0)-(100,100) red.
std::string RedPresentation(DWORD cx, DWORD cy)
{
    auto le16 = [](WORD v) { return std::string{char(v & 0xFF), char(v >> 8)}; };
    std::string records;
    auto record = [&](WORD function, std::initializer_list<WORD> params) {
        records += Le32(DWORD(3 + params.size()));
        records += le16(function);
        for (WORD p : params)
            records += le16(p);
    };
    record(0x020B, {0, 0});
    record(0x020C, {100, 100});
    record(0x02FC, {0, 0x00FF, 0x0000, 0});
    record(0x012D, {0});
    record(0x02FA, {5, 0, 0, 0, 0});
    record(0x012D, {1});
    record(0x041B, {100, 100, 0, 0});
    record(0x0000, {});
    const DWORD words = DWORD(9 + records.size() / 2);
    const std::string metafile = le16(1) + le16(9) + le16(0x0300) + Le32(words) + le16(2) + Le32(8) + le16(0) + records;
    return Le32(0xFFFFFFFF) + Le32(CF_METAFILEPICT) + Le32(4) + Le32(DVASPECT_CONTENT) + Le32(0xFFFFFFFF) + Le32(2)
        + Le32(0) + Le32(cx) + Le32(cy) + Le32(DWORD(metafile.size())) + metafile;
}

// An item whose object's program left a cached picture of a known extent.
class CTestItem : public CDrawItem {
public:
    using CDrawItem::CDrawItem;
    ~CTestItem() override = default;

    // Gives the item a storage whose picture has this extent.
    void SetExtentPicture(const std::string& hostPath, DWORD cx, DWORD cy)
    {
        const std::u16string wide = platform::Utf16From1252(platform::WindowsPathFor(hostPath));
        IStorage* pStorage = nullptr;
        ASSERT_EQ(StgCreateDocfile(wide.c_str(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, &pStorage), S_OK);
        IStream* pStream = nullptr;
        ASSERT_EQ(pStorage->CreateStream(u"\x02OlePres000", STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0,
                      &pStream),
            S_OK);
        const std::string bytes = RedPresentation(cx, cy);
        ULONG written = 0;
        pStream->Write(bytes.data(), ULONG(bytes.size()), &written);
        pStream->Release();
        if (m_lpStorage != NULL)
            m_lpStorage->Release();
        m_lpStorage = pStorage;
        m_pPicture.reset();
        m_nPictureAspect = 0;
        if (m_nItemState == emptyState)
            m_nItemState = loadedState;
    }
    void SetState(UINT nState) { m_nItemState = nState; }
    void SetEmbedded() { m_nItemType = OT_EMBEDDED; }
};

class DrawOleObjTest : public modeltest::ModelTest {
protected:
    void SetUp() override
    {
        ModelTest::SetUp();
        m_pDoc = modeltest::MakeDoc<CDrawDoc>();
        m_dir = testing_support::MakeTempDir("oleobj");
        g_showOleFrames = 1;
    }
    void TearDown() override
    {
        g_showOleFrames = 1;
        ModelTest::TearDown();
    }
    // An object at (100, 500) with a test item of the document.
    CDrawOleObj* MakeObject(CTestItem** ppItem)
    {
        auto* pObj = new CDrawOleObj(CRect(100, 500, 100, 500));
        pObj->m_pDocument = m_pDoc.get();
        auto* pItem = new CTestItem(m_pDoc.get(), pObj);
        pObj->SetItem(pItem);
        *ppItem = pItem;
        return pObj;
    }
    std::string Storage(const char* name) { return m_dir + "/" + name; }

    std::unique_ptr<CDrawDoc> m_pDoc;
    std::string m_dir;
};

TEST_F(DrawOleObjTest, TheFirstExtentSizesTheObjectAndLaterOnesScaleIt)
{
    CTestItem* pItem = nullptr;
    std::unique_ptr<CDrawOleObj> pObj(MakeObject(&pItem));
    pItem->SetExtentPicture(Storage("a.stg"), 2540, 2540);
    ASSERT_TRUE(pItem->UpdateExtent());
    EXPECT_EQ(pObj->m_position, CRect(100, 500, 200, 400));
    EXPECT_EQ(pObj->m_extent, CSize(2540, 2540));
    EXPECT_FALSE(pItem->UpdateExtent()) << "the same extent changes nothing";

    // Twice the extent, twice the size, keeping left and top.
    pItem->SetExtentPicture(Storage("b.stg"), 5080, 5080);
    ASSERT_TRUE(pItem->UpdateExtent());
    EXPECT_EQ(pObj->m_position, CRect(100, 500, 300, 300));

    // Active in place, the object keeps its size and takes the extent.
    pItem->SetState(COleClientItem::activeState);
    pItem->SetExtentPicture(Storage("c.stg"), 2540, 2540);
    ASSERT_TRUE(pItem->UpdateExtent());
    EXPECT_EQ(pObj->m_position, CRect(100, 500, 300, 300));
    EXPECT_EQ(pObj->m_extent, CSize(2540, 2540));
}

TEST_F(DrawOleObjTest, AnAxisWhoseOldExtentWasZeroIsSizedAsTheFirstTime)
{
    CTestItem* pItem = nullptr;
    std::unique_ptr<CDrawOleObj> pObj(MakeObject(&pItem));
    pObj->m_position = CRect(100, 500, 200, 500);
    pObj->m_extent = CSize(2540, 0);
    pItem->SetExtentPicture(Storage("a.stg"), 5080, 2540);
    ASSERT_TRUE(pItem->UpdateExtent());
    EXPECT_EQ(pObj->m_position, CRect(100, 500, 300, 400));
}

TEST_F(DrawOleObjTest, TheFrameShowsOnlyWhileFramesAreShown)
{
    CTestItem* pItem = nullptr;
    std::unique_ptr<CDrawOleObj> pObj(MakeObject(&pItem));
    pItem->SetExtentPicture(Storage("a.stg"), 2540, 2540);
    pItem->UpdateExtent();
    // Frames shown on the screen, hidden, and shown but printing.
    for (int nCase : {1, 0, 2}) {
        const int nShow = nCase != 0 ? 1 : 0;
        g_showOleFrames = nShow;
        CDC dc;
        ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
        dc.m_bPrinting = nCase == 2;
        CBitmap bitmap;
        CClientDC screen(nullptr);
        ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&screen, 400, 700));
        CBitmap* pOld = dc.SelectObject(&bitmap);
        dc.FillSolidRect(0, 0, 400, 700, RGB(255, 255, 255));
        // Logical units as pixels, y down: the object covers (100,400)-(200,500).
        pObj->Draw(&dc);
        EXPECT_EQ(dc.GetPixel(150, 450) & 0xFFFFFF, RGB(255, 0, 0)) << nCase;
        const COLORREF edge = dc.GetPixel(100, 450) & 0xFFFFFF;
        if (nCase == 1) {
            EXPECT_EQ(edge, RGB(0, 0, 0));
        } else {
            EXPECT_NE(edge, RGB(0, 0, 0));
        }
        dc.SelectObject(pOld);
    }
}

TEST_F(DrawOleObjTest, AFailedCloneLeavesNothingBehind)
{
    CTestItem* pItem = nullptr;
    std::unique_ptr<CDrawOleObj> pObj(MakeObject(&pItem));
    auto countItems = [this] {
        int n = 0;
        for (POSITION pos = m_pDoc->GetStartPosition(); pos != nullptr; m_pDoc->GetNextItem(pos))
            ++n;
        return n;
    };
    const int nBefore = countItems();
    // An item without a storage has nothing to copy.
    EXPECT_THROW(
        {
            try {
                pObj->Clone(nullptr, nullptr);
            } catch (CMemoryException* e) {
                e->Delete();
                throw 1;
            }
        },
        int);
    EXPECT_EQ(countItems(), nBefore);

    pItem->SetExtentPicture(Storage("a.stg"), 2540, 2540);
    std::unique_ptr<CDrawObj> pCopy(pObj->Clone(nullptr, nullptr));
    ASSERT_NE(pCopy, nullptr);
    auto* pOle = static_cast<CDrawOleObj*>(pCopy.get());
    ASSERT_NE(pOle->GetItem(), nullptr);
    EXPECT_EQ(pOle->GetItem()->m_pDrawObj, pOle);
    EXPECT_NE(pOle->GetItem()->GetItemNumber(), pItem->GetItemNumber());
    EXPECT_EQ(countItems(), nBefore + 1);
    pCopy.reset();
    EXPECT_EQ(countItems(), nBefore);
}

TEST_F(DrawOleObjTest, TheRecordKeepsTheExtentAndTheItem)
{
    CTestItem* pItem = nullptr;
    std::unique_ptr<CDrawOleObj> pObj(MakeObject(&pItem));
    pItem->SetEmbedded();
    pObj->m_extent = CSize(1234, 5678);
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        ar.m_pDocument = m_pDoc.get();
        pObj->Serialize(ar);
        ar.Close();
    }
    const DWORD nLength = file.GetLength();
    BYTE* pBytes = file.Detach();
    std::string bytes(reinterpret_cast<const char*>(pBytes), nLength);
    free(pBytes);
    EXPECT_EQ(bytes.substr(178, 8), Le32(1234) + Le32(5678));
    EXPECT_NE(bytes.find("CDrawItem"), std::string::npos);

    // Read into another design: one document never holds two items of one
    // number.
    auto pOther = modeltest::MakeDoc<CDrawDoc>();
    CDrawOleObj copy;
    CMemFile in(reinterpret_cast<BYTE*>(bytes.data()), static_cast<UINT>(bytes.size()));
    CArchive ar(&in, CArchive::load);
    ar.m_pDocument = pOther.get();
    copy.Serialize(ar);
    EXPECT_EQ(copy.m_extent, CSize(1234, 5678));
    ASSERT_NE(copy.GetItem(), nullptr);
    EXPECT_EQ(copy.GetItem()->m_pDrawObj, &copy);
    EXPECT_TRUE(copy.IsOleObject());
}

} // namespace
