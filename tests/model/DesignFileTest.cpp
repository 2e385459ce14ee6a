// Designs saved to real compound files and opened again: their objects,
// settings and streams, a second save giving the same bytes, wrong kinds
// and versions refused with their message, damaged files refused cleanly,
// and the serialization state restored on every way out.

#include "tests/model/ModelTestSupport.h"

#include "calendar/DayCellObj.h"
#include "app/main/DocTemplates.h"
#include "model/DesignArchive.h"
#include "model/DocQuickInfoFile.h"
#include "model/DrawPoly.h"
#include "model/ObjectAttributes.h"
#include "model/ProjectKinds.h"
#include "platform/base/CodePage.h"
#include "platform/base/Archive.h"
#include "platform/base/MemFile.h"
#include "platform/files/HostPath.h"
#include "platform/storage/OleStreamFile.h"
#include "platform/storage/Storage.h"
#include "platform/ui/Headless.h"
#include "print/MergeSource.h"
#include "tests/model/DesignFileSupport.h"
#include "tests/support/TestData.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace {

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
        saved.emplace_back(pObj->GetRuntimeClass(), modeltest::ObjectState(pObj));
    }
    // Closing deletes the design.
    const LONG nKind = pDoc->GetQuickInfo()[DocQuickInfo::Kind];
    pDoc->OnCloseDocument();
    Pump();
    const std::string contents = modeltest::DesignStreamBytes(path, "Contents");
    ASSERT_FALSE(contents.empty());
    // Row 1: the version; the quick information is a stream of its own.
    EXPECT_EQ(static_cast<unsigned char>(contents[0]), 29);
    CDocQuickInfo quick;
    ASSERT_TRUE(quick.ReadFromFile(path.c_str()));
    EXPECT_STREQ(quick.m_strText, "Summer fair");
    EXPECT_EQ(quick.m_info[DocQuickInfo::Kind], nKind);

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
        EXPECT_EQ(modeltest::ObjectState(pObj), saved[i].second) << i;
    }
    EXPECT_EQ(pCopyView->m_guidelines[0].GetSize(), 1);
    EXPECT_EQ(g_bInDesignSerialize, FALSE);

    // A second save of what was read writes the same "Contents".
    const std::string again = PathFor("fair2.gen");
    ASSERT_TRUE(pCopy->OnSaveDocument(again.c_str()));
    pCopy->OnCloseDocument();
    Pump();
    EXPECT_EQ(modeltest::DesignStreamBytes(again, "Contents"), contents);
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
    const std::string contents = modeltest::DesignStreamBytes(path, "Contents");
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

namespace {

TEST_F(DesignFileTest, OtherReadersSeeTheDesignsStreamsClassAndBytes)
{
    for (CRuntimeClass* pClass : {RUNTIME_CLASS(CGeneralDoc), RUNTIME_CLASS(CCalendarDoc)}) {
        CDrawDoc* pDoc = NewDesign(pClass);
        ASSERT_NE(pDoc, nullptr);
        pDoc->AddObject(new CDrawRect(CRect(0, 100, 100, 0), SHAPE_HEART), ViewOf(pDoc, 0));
        const CLSID clsid = GetDocKindClassId(pDoc->GetDocKind()).clsid;
        const std::string path = PathFor(pClass == RUNTIME_CLASS(CGeneralDoc) ? "readers.gen" : "readers.clr");
        ASSERT_TRUE(pDoc->OnSaveDocument(path.c_str()));
        pDoc->OnCloseDocument();
        Pump();

        const std::string ours = modeltest::DesignListing(path, storage_test::WithClassIds::Yes);
        EXPECT_NE(ours.find("\tR\t0\t" + platform::GuidToString(clsid)), std::string::npos) << ours;
        for (const char* pszStream : {"Contents\tS", "Doc Quick Info\tS", "\\u0005SummaryInformation\tS"})
            EXPECT_NE(ours.find(pszStream), std::string::npos) << pszStream << "\n" << ours;

        const std::string host = platform::HostPathForReading(path);
        std::string theirs;
        if (storage_test::IndependentListing(storage_test::Reader::Olefile, host, theirs)) {
            EXPECT_EQ(theirs, ours);
        }
        if (storage_test::IndependentListing(storage_test::Reader::Gsf, host, theirs)) {
            EXPECT_EQ(theirs, modeltest::DesignListing(path, storage_test::WithClassIds::No));
        }
    }
}

TEST_F(DesignFileTest, ACollectionsDesignsAndUnknownElementsSurviveASave)
{
    CDrawDoc* pDoc = NewDesign(RUNTIME_CLASS(CGeneralDoc));
    const std::string path = PathFor("collection.gen");
    ASSERT_TRUE(pDoc->OnSaveDocument(path.c_str()));
    pDoc->OnCloseDocument();
    Pump();
    {
        // Another writer adds a design of another kind and a stream of its own.
        const std::u16string wide = platform::Utf16From1252(path);
        IStorage* pRoot = nullptr;
        ASSERT_EQ(StgOpenStorage(wide.c_str(), nullptr, STGM_READWRITE | STGM_SHARE_EXCLUSIVE, nullptr, 0, &pRoot), S_OK);
        IStorage* pSub = nullptr;
        ASSERT_EQ(pRoot->CreateStorage(u"XSTOR3", STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_CREATE, 0, 0, &pSub), S_OK);
        WriteClassStg(pSub, GetDocKindClassId(3).clsid);
        COleStreamFile inner;
        ASSERT_TRUE(inner.CreateStream(pSub, "Contents", CFile::modeReadWrite | CFile::shareExclusive | CFile::modeCreate));
        inner.Write("calendar bytes", 14);
        inner.Close();
        pSub->Commit(STGC_DEFAULT);
        pSub->Release();
        COleStreamFile foreign;
        ASSERT_TRUE(foreign.CreateStream(pRoot, "Foreign", CFile::modeReadWrite | CFile::shareExclusive | CFile::modeCreate));
        foreign.Write("\x01\x02\x03", 3);
        foreign.Close();
        ASSERT_EQ(pRoot->Commit(STGC_DEFAULT), S_OK);
        pRoot->Release();
    }
    const std::string before = modeltest::DesignListing(path, storage_test::WithClassIds::Yes);

    CDrawDoc* pOpened = Open(TemplateFor(RUNTIME_CLASS(CGeneralDoc)), path);
    ASSERT_NE(pOpened, nullptr);
    ASSERT_EQ(pOpened->m_storageNumbers.GetSize(), 1);
    EXPECT_EQ(pOpened->m_storageNumbers[0], 3u);
    pOpened->AddObject(new CDrawRect(CRect(0, 50, 50, 0)), ViewOf(pOpened, 0));
    ASSERT_TRUE(pOpened->OnSaveDocument(path.c_str()));
    pOpened->OnCloseDocument();
    Pump();
    const std::string after = modeltest::DesignListing(path, storage_test::WithClassIds::Yes);
    EXPECT_EQ(modeltest::ListingLinesUnder(after, "XSTOR3"), modeltest::ListingLinesUnder(before, "XSTOR3"));
    EXPECT_EQ(modeltest::ListingLinesUnder(after, "Foreign"), modeltest::ListingLinesUnder(before, "Foreign"));
    EXPECT_NE(modeltest::ListingLinesUnder(after, "Contents"), modeltest::ListingLinesUnder(before, "Contents"));
}

TEST_F(DesignFileTest, OtherProgramsCompoundFilesAreNotDesigns)
{
    REQUIRE_TESTDATA();
    CDocTemplate* pTemplate = TemplateFor(RUNTIME_CLASS(CGeneralDoc));
    const std::string dir = std::string(THREADWICK_TESTDATA_DIR) + "/cfb";
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        files.push_back(entry.path().string());
    ASSERT_FALSE(files.empty());
    for (const std::string& file : files) {
        const size_t nBefore = BoxesBefore();
        EXPECT_EQ(Open(pTemplate, platform::WindowsPathFor(file)), nullptr) << file;
        const auto& boxes = platform::headless::MessageBoxes();
        ASSERT_EQ(boxes.size(), nBefore + 1) << file;
        EXPECT_EQ(boxes.back().text, "The given file is not an Threadwick design.") << file;
    }
}

} // namespace

namespace {

std::string HexOf(const std::string& bytes, size_t nCount)
{
    std::string out;
    char buf[4];
    for (size_t i = 0; i < nCount && i < bytes.size(); ++i) {
        std::snprintf(buf, sizeof(buf), "%02X ", static_cast<unsigned char>(bytes[i]));
        out += buf;
    }
    return out;
}

TEST_F(DesignFileTest, NewDesignsOfEveryKindStartContentsWithTheirSettings)
{
    struct Kind {
        CRuntimeClass* pClass;
        const char* pszFile;
    };
    for (const Kind kind : {Kind{RUNTIME_CLASS(CTovellDoc), "k.shr"}, Kind{RUNTIME_CLASS(CApparelDoc), "k.app"},
             Kind{RUNTIME_CLASS(CMousepadDoc), "k.mpd"}, Kind{RUNTIME_CLASS(CCalendarDoc), "k.clr"},
             Kind{RUNTIME_CLASS(CGiftTagDoc), "k.lbl"}, Kind{RUNTIME_CLASS(CGeneralDoc), "k.gen"}}) {
        CDrawDoc* pDoc = NewDesign(kind.pClass);
        ASSERT_NE(pDoc, nullptr) << kind.pszFile;
        pDoc->SetZoom(100);
        pDoc->SetPaperColor(RGB(255, 255, 255));
        pDoc->m_wDocFlags = 0x0201;
        pDoc->m_wSecondFlags = 0;
        pDoc->SetGridSpacing(25);
        pDoc->m_nPaperFeed = 0;
        const std::string path = PathFor(kind.pszFile);
        ASSERT_TRUE(pDoc->OnSaveDocument(path.c_str()));
        const LONG nKind = pDoc->GetQuickInfo()[DocQuickInfo::Kind];
        pDoc->OnCloseDocument();
        Pump();
        const std::string contents = modeltest::DesignStreamBytes(path, "Contents");
        // Version 29, layout 0, white paper, the first surface, zoom 100,
        // red margin lines, flags 0x0201, no second flags, grid 25, the two
        // colour values, paper feed 0, then the 88-byte layout record.
        EXPECT_EQ(HexOf(contents, 44),
            "1D 00 00 00 00 00 00 00 FF FF FF 00 00 00 00 00 64 00 FF 00 00 00 01 02 00 00 19 00 00 00 "
            "00 00 80 00 00 00 FF 00 00 00 00 00 58 00 ")
            << kind.pszFile;
        EXPECT_EQ(static_cast<unsigned char>(contents[46]), static_cast<unsigned char>(nKind)) << kind.pszFile;
    }
}

TEST_F(DesignFileTest, TheQuickInformationStreamOfAKnownDesign)
{
    CDrawDoc* pDoc = NewDesign(RUNTIME_CLASS(CGeneralDoc));
    auto* pShape = new CDrawRect(CRect(0, 100, 100, 0));
    pShape->m_wFlags |= 0x0100;
    pShape->SetInfoField(3);
    pDoc->AddObject(pShape, ViewOf(pDoc, 0));
    pDoc->m_strDesignText = "Known";
    DocQuickInfo info = pDoc->GetQuickInfo();
    // The stream carries the information fields of the objects' attribute
    // records, not their object flags.
    CObjectAttributes attrs;
    pShape->GetAttributes(attrs);
    ASSERT_EQ(attrs.m_wInfoFields, 0x0004);
    const std::string path = PathFor("known.gen");
    ASSERT_TRUE(pDoc->OnSaveDocument(path.c_str()));
    pDoc->OnCloseDocument();
    Pump();
    std::string expected("\x02\x00\x00\x00", 4);
    const WORD wFlags = attrs.m_wInfoFields;
    expected.append(reinterpret_cast<const char*>(&wFlags), 2);
    expected += std::string("\x05Known", 6) + std::string(4, '\0');
    for (LONG nValue : info.values)
        expected.append(reinterpret_cast<const char*>(&nValue), 4);
    EXPECT_EQ(HexOf(modeltest::DesignStreamBytes(path, "Doc Quick Info"), 200), HexOf(expected, 200));
}

TEST_F(DesignFileTest, ALandscapeLabelSheetReopensWithTheSameLayout)
{
    CDrawDoc* pDoc = NewDesign(RUNTIME_CLASS(CGiftTagDoc));
    ASSERT_NE(pDoc, nullptr);
    DocQuickInfo info = pDoc->GetQuickInfo();
    info[DocQuickInfo::Orientation] = 0;
    info[DocQuickInfo::OffsetX] = 30;
    info[DocQuickInfo::OffsetY] = 70;
    info[DocQuickInfo::GapX] = 5;
    info[DocQuickInfo::GapY] = 9;
    pDoc->SetQuickInfo(info);
    pDoc->CreatePageGuideLines();
    const DocQuickInfo laid = pDoc->GetQuickInfo();
    const std::string path = PathFor("sheet.lbl");
    ASSERT_TRUE(pDoc->OnSaveDocument(path.c_str()));
    pDoc->OnCloseDocument();
    Pump();
    CDrawDoc* pCopy = Open(TemplateFor(RUNTIME_CLASS(CGiftTagDoc)), path);
    ASSERT_NE(pCopy, nullptr);
    for (int i : {DocQuickInfo::OffsetX, DocQuickInfo::OffsetY, DocQuickInfo::GapX, DocQuickInfo::GapY})
        EXPECT_EQ(pCopy->GetQuickInfo()[i], laid[i]) << i;
}

} // namespace

namespace {

TEST_F(DesignFileTest, ADesignWithoutATextIsDescribedByItsKind)
{
    CDrawDoc* pDoc = NewDesign(RUNTIME_CLASS(CGeneralDoc));
    ASSERT_NE(pDoc, nullptr);
    pDoc->m_strDesignText.Empty();
    const std::string path = PathFor("plain.gen");
    ASSERT_TRUE(pDoc->OnSaveDocument(path.c_str()));
    pDoc->OnCloseDocument();
    Pump();
    // The kind's template names it.
    auto* pTemplate = new CDesignDocTemplate(IDR_DESIGNTYPE, RUNTIME_CLASS(CGeneralDoc), RUNTIME_CLASS(CSurfaceFrame),
        RUNTIME_CLASS(CSurface), IDR_GENERALTYPE, DOC_KIND_GENERAL);
    App()->AddDocTemplate(pTemplate);
    CDrawDoc* pCopy = Open(pTemplate, path);
    ASSERT_NE(pCopy, nullptr);
    EXPECT_FALSE(pCopy->m_strDesignText.IsEmpty());
    EXPECT_EQ(pCopy->m_strDesignText, DescribeDesignFile(path.c_str()));
}

} // namespace
