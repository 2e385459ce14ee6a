// Designs saved to real compound files and opened again: their objects,
// settings and streams, a second save giving the same bytes, wrong kinds
// and versions refused with their message, damaged files refused cleanly,
// and the serialization state restored on every way out.

#include "tests/model/ModelTestSupport.h"

#include "calendar/DayCellObj.h"
#include "model/DesignArchive.h"
#include "model/DocQuickInfoFile.h"
#include "model/DrawPoly.h"
#include "platform/base/CodePage.h"
#include "platform/base/Archive.h"
#include "platform/base/MemFile.h"
#include "platform/files/HostPath.h"
#include "platform/storage/OleStreamFile.h"
#include "platform/storage/Storage.h"
#include "platform/ui/Headless.h"
#include "print/MergeSource.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace {

// The bytes of one stream of a compound file; empty when it has none.
std::string StreamBytes(const std::string& windowsPath, const char* pszStream)
{
    const std::u16string wide = platform::Utf16From1252(windowsPath);
    IStorage* pRoot = nullptr;
    if (FAILED(StgOpenStorage(wide.c_str(), nullptr, STGM_READ | STGM_SHARE_DENY_WRITE, nullptr, 0, &pRoot)))
        return {};
    std::string out;
    COleStreamFile file;
    if (file.OpenStream(pRoot, pszStream, CFile::modeRead | CFile::shareExclusive)) {
        char buf[4096];
        for (UINT n; (n = file.Read(buf, sizeof(buf))) > 0;)
            out.append(buf, n);
        file.Close();
    }
    pRoot->Release();
    return out;
}

std::string RecordOf(CDrawObj& obj)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        obj.Serialize(ar);
        ar.Close();
    }
    const DWORD n = file.GetLength();
    BYTE* p = file.Detach();
    std::string out(reinterpret_cast<const char*>(p), n);
    free(p);
    return out;
}

class DesignFileTest : public modeltest::WindowModelTest {
protected:
    void SetUp() override
    {
        WindowModelTest::SetUp();
        m_dir = testing_support::MakeTempDir("designfile");
    }
    std::string PathFor(const char* name) { return platform::WindowsPathFor(m_dir + "/" + name); }

    CDocTemplate* TemplateFor(CRuntimeClass* pDocClass)
    {
        auto* pTemplate = new CMultiDocTemplate(IDR_DESIGNTYPE, pDocClass, RUNTIME_CLASS(CSurfaceFrame), RUNTIME_CLASS(CSurface));
        App()->AddDocTemplate(pTemplate);
        return pTemplate;
    }
    CDrawDoc* Open(CDocTemplate* pTemplate, const std::string& path)
    {
        CDocument* pDoc = pTemplate->OpenDocumentFile(path.c_str());
        Pump();
        return dynamic_cast<CDrawDoc*>(pDoc);
    }
    size_t BoxesBefore() const { return platform::headless::MessageBoxes().size(); }

    std::string m_dir;
};

TEST_F(DesignFileTest, ADesignComesBackWithItsObjectsSettingsAndTheSameBytes)
{
    CDrawDoc* pDoc = NewDesign(RUNTIME_CLASS(CGeneralDoc));
    ASSERT_NE(pDoc, nullptr);
    CSurface* pView = ViewOf(pDoc, 0);
    for (int nKind = 0; nKind < SHAPE_KIND_COUNT; ++nKind) {
        auto* pShape = new CDrawRect(CRect(nKind * 10, 300, nKind * 10 + 80, 200), nKind);
        pShape->m_bFill = TRUE;
        pShape->m_logbrush.lbColor = RGB(nKind * 10, 0, 0);
        pDoc->AddObject(pShape, pView);
    }
    auto* pCalendar = new CDrawRect(CRect(-300, 0, 300, -400));
    pCalendar->m_nCalendarStart = 2460436;
    pCalendar->m_nCalendarWords[1] = CALENDAR_MONTH;
    pCalendar->SetCellText(CALENDAR_MONTH, 12, "Picnic");
    pDoc->AddObject(pCalendar, pView);
    auto* pPoly = new CDrawPoly(CRect(0, 0, 0, 0));
    for (int i = 0; i < 6; ++i)
        pPoly->AddPoint(CPoint(i * 30, (i % 2) * 50));
    pDoc->AddObject(pPoly, pView);
    pView->m_guidelines[0].Add(500);
    pDoc->SetPaperColor(RGB(250, 240, 230));
    pDoc->SetGridSpacing(50);
    pDoc->m_strExtraText = "extra";
    pDoc->m_strDesignText = "Summer fair";

    const std::string path = PathFor("fair.gen");
    ASSERT_TRUE(pDoc->OnSaveDocument(path.c_str()));
    // The open design holds its file; what it saved is compared after.
    std::vector<std::pair<CRuntimeClass*, std::string>> saved;
    for (POSITION pos = pView->GetObjects().GetHeadPosition(); pos != nullptr;) {
        auto* pObj = static_cast<CDrawObj*>(pView->GetObjects().GetNext(pos));
        saved.emplace_back(pObj->GetRuntimeClass(), RecordOf(*pObj));
    }
    pDoc->OnCloseDocument();
    Pump();
    const std::string contents = StreamBytes(path, "Contents");
    ASSERT_FALSE(contents.empty());
    // Row 1: the version; the quick information is a stream of its own.
    EXPECT_EQ(static_cast<unsigned char>(contents[0]), 29);
    CDocQuickInfo quick;
    ASSERT_TRUE(quick.ReadFromFile(path.c_str()));
    EXPECT_STREQ(quick.m_strText, "Summer fair");
    EXPECT_EQ(quick.m_info[DocQuickInfo::Kind], pDoc->GetQuickInfo()[DocQuickInfo::Kind]);

    CDrawDoc* pCopy = Open(TemplateFor(RUNTIME_CLASS(CGeneralDoc)), path);
    ASSERT_NE(pCopy, nullptr);
    EXPECT_EQ(pCopy->GetPaperColor(), RGB(250, 240, 230));
    EXPECT_EQ(pCopy->GetGridSpacing(), 50);
    EXPECT_STREQ(pCopy->m_strExtraText, "extra");
    EXPECT_STREQ(pCopy->m_strDesignText, "Summer fair");
    CSurface* pCopyView = ViewOf(pCopy, 0);
    ASSERT_EQ(pCopyView->GetObjects().GetCount(), static_cast<INT_PTR>(saved.size()));
    size_t i = 0;
    for (POSITION pos = pCopyView->GetObjects().GetHeadPosition(); pos != nullptr; ++i) {
        auto* pObj = static_cast<CDrawObj*>(pCopyView->GetObjects().GetNext(pos));
        EXPECT_EQ(pObj->GetRuntimeClass(), saved[i].first);
        EXPECT_EQ(pObj->m_pSurface, pCopyView);
        EXPECT_EQ(RecordOf(*pObj), saved[i].second) << i;
    }
    EXPECT_EQ(pCopyView->m_guidelines[0].GetSize(), 1);
    EXPECT_EQ(g_bInDesignSerialize, FALSE);

    // A second save of what was read writes the same "Contents".
    const std::string again = PathFor("fair2.gen");
    ASSERT_TRUE(pCopy->OnSaveDocument(again.c_str()));
    pCopy->OnCloseDocument();
    Pump();
    EXPECT_EQ(StreamBytes(again, "Contents"), contents);
}

TEST_F(DesignFileTest, AnotherKindsDesignIsRefusedWithOneMessage)
{
    CDrawDoc* pDoc = NewDesign(RUNTIME_CLASS(CGeneralDoc));
    const std::string path = PathFor("general.gen");
    ASSERT_TRUE(pDoc->OnSaveDocument(path.c_str()));
    pDoc->OnCloseDocument();
    Pump();
    const size_t nBefore = BoxesBefore();
    EXPECT_EQ(Open(TemplateFor(RUNTIME_CLASS(CCalendarDoc)), path), nullptr);
    const auto& boxes = platform::headless::MessageBoxes();
    ASSERT_EQ(boxes.size(), nBefore + 1);
    EXPECT_EQ(boxes.back().text, "The given file is not an Threadwick design.");
    EXPECT_EQ(g_bInDesignSerialize, FALSE);
}

// Patches row 1 of a saved design's "Contents" and opens it again.
class DesignVersionTest : public DesignFileTest {
protected:
    std::string SavedWithVersion(DWORD dwVersion)
    {
        CDrawDoc* pDoc = NewDesign(RUNTIME_CLASS(CGeneralDoc));
        const std::string path = PathFor("version.gen");
        EXPECT_TRUE(pDoc->OnSaveDocument(path.c_str()));
        pDoc->OnCloseDocument();
        Pump();
        const std::u16string wide = platform::Utf16From1252(path);
        IStorage* pRoot = nullptr;
        EXPECT_TRUE(SUCCEEDED(StgOpenStorage(wide.c_str(), nullptr, STGM_READWRITE | STGM_SHARE_EXCLUSIVE, nullptr, 0, &pRoot)));
        COleStreamFile file;
        EXPECT_TRUE(file.OpenStream(pRoot, "Contents", CFile::modeReadWrite | CFile::shareExclusive));
        file.Write(&dwVersion, 4);
        file.Close();
        pRoot->Commit(STGC_DEFAULT);
        pRoot->Release();
        return path;
    }
};

TEST_F(DesignVersionTest, VersionsOutsideSevenToTwentyNineShowTheirMessageAndOpenNothing)
{
    struct Case {
        DWORD dwVersion;
        const char* pszMessage;
    };
    for (const Case c : {Case{6, "This design is out-of-date and will not be read."},
             Case{30, "This design was created with a more recent version of Threadwick and cannot be read by this "
                      "version."}}) {
        const std::string path = SavedWithVersion(c.dwVersion);
        const size_t nBefore = BoxesBefore();
        EXPECT_EQ(Open(TemplateFor(RUNTIME_CLASS(CGeneralDoc)), path), nullptr);
        const auto& boxes = platform::headless::MessageBoxes();
        ASSERT_EQ(boxes.size(), nBefore + 1) << c.dwVersion;
        EXPECT_EQ(boxes.back().text, c.pszMessage);
        EXPECT_EQ(g_bInDesignSerialize, FALSE);
    }
}

TEST_F(DesignFileTest, TruncatedOrDamagedContentsFailCleanlyAndRestoreTheState)
{
    CDrawDoc* pDoc = NewDesign(RUNTIME_CLASS(CGeneralDoc));
    auto* pShape = new CDrawRect(CRect(0, 100, 100, 0), SHAPE_STAR);
    pDoc->AddObject(pShape, ViewOf(pDoc, 0));
    const std::string path = PathFor("whole.gen");
    ASSERT_TRUE(pDoc->OnSaveDocument(path.c_str()));
    pDoc->OnCloseDocument();
    Pump();
    const std::string whole = testing_support::ReadFileBytes(platform::HostPathForReading(path));
    const std::string contents = StreamBytes(path, "Contents");
    CDocTemplate* pTemplate = TemplateFor(RUNTIME_CLASS(CGeneralDoc));
    for (size_t n = 4; n < contents.size(); n += 97) {
        const std::u16string wide = platform::Utf16From1252(path);
        IStorage* pRoot = nullptr;
        ASSERT_TRUE(SUCCEEDED(StgOpenStorage(wide.c_str(), nullptr, STGM_READWRITE | STGM_SHARE_EXCLUSIVE, nullptr, 0, &pRoot)));
        COleStreamFile file;
        ASSERT_TRUE(file.OpenStream(pRoot, "Contents", CFile::modeReadWrite | CFile::shareExclusive));
        file.SetLength(static_cast<DWORD>(n));
        // A damaged quick-info length on the way.
        if (n > 40) {
            const DWORD dwBad = 50;
            file.Seek(36, CFile::begin);
            file.Write(&dwBad, 4);
        }
        file.Close();
        pRoot->Commit(STGC_DEFAULT);
        pRoot->Release();
        EXPECT_EQ(Open(pTemplate, path), nullptr) << n;
        EXPECT_EQ(g_bInDesignSerialize, FALSE) << n;
        // Put the whole design back for the next cut.
        testing_support::WriteFileBytes(platform::HostPathForReading(path), whole);
    }
}

} // namespace
