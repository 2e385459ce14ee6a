// Designs of every kind, holding every kind of object the file keeps,
// saved and opened again object by object, saved a second time to the same
// bytes, their embedded item's storage carried over unread; pictures
// without a file saved from their pixels; a save that fails part-way
// leaving the previous file as it was; and damaged design files failing
// cleanly with the serialization state put back.

#include "tests/model/ContentTestSupport.h"
#include "tests/model/ModelTestSupport.h"

#include "calendar/DayCellObj.h"
#include "model/DesignArchive.h"
#include "model/DrawOleObj.h"
#include "model/DrawPoly.h"
#include "model/TextContentHolder.h"
#include "pictures/Image.h"
#include "pictures/PictureEngine.h"
#include "platform/base/Archive.h"
#include "platform/base/CodePage.h"
#include "platform/base/MemFile.h"
#include "platform/files/FileSystem.h"
#include "platform/files/HostPath.h"
#include "platform/gdi/Gdi.h"
#include "platform/storage/OleStreamFile.h"
#include "platform/storage/Storage.h"
#include "platform/ui/Headless.h"
#include "print/MergeSource.h"
#include "tests/model/DesignFileSupport.h"
#include "tests/support/StorageStreams.h"
#include "tests/support/TestHome.h"
#include "text/TextBlock.h"
#include "text/WrapText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <sys/resource.h>
#include <utility>
#include <vector>

namespace {

// ---- Bytes of files and records ---------------------------------------------------------------

std::string Le16(WORD v)
{
    return std::string{char(v & 0xFF), char(v >> 8)};
}

std::string Le32(DWORD v)
{
    return Le16(WORD(v & 0xFFFF)) + Le16(WORD(v >> 16));
}

// Where two byte strings part, for a failure message that stays short.
std::string Difference(const std::string& a, const std::string& b)
{
    size_t n = 0;
    while (n < a.size() && n < b.size() && a[n] == b[n])
        ++n;
    if (n == a.size() && n == b.size())
        return "same";
    std::string out = "sizes " + std::to_string(a.size()) + " and " + std::to_string(b.size()) + ", first difference at "
        + std::to_string(n) + ":";
    char buf[8];
    for (const std::string* p : {&a, &b}) {
        out += "\n ";
        for (size_t i = n < 8 ? 0 : n - 8; i < n + 8 && i < p->size(); ++i) {
            std::snprintf(buf, sizeof(buf), "%02X ", static_cast<unsigned char>((*p)[i]));
            out += buf;
        }
    }
    return out;
}

// The names in a folder.
std::vector<std::string> FolderNames(const std::string& dir)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A Windows metafile of a blue rectangle on a 100 x 100 window.
HMETAFILE BlueRectangleMetafile()
{
    std::string records;
    auto record = [&](WORD function, std::initializer_list<WORD> params) {
        records += Le32(DWORD(3 + params.size()));
        records += Le16(function);
        for (WORD p : params)
            records += Le16(p);
    };
    record(0x020B, {0, 0});
    record(0x020C, {100, 100});
    record(0x02FC, {0, 0x0000, 0x00FF, 0});
    record(0x012D, {0});
    record(0x041B, {90, 90, 10, 10});
    record(0x0000, {});
    const DWORD words = DWORD(9 + records.size() / 2);
    const std::string bits = Le16(1) + Le16(9) + Le16(0x0300) + Le32(words) + Le16(1) + Le32(7) + Le16(0) + records;
    return ::SetMetaFileBitsEx(UINT(bits.size()), reinterpret_cast<const BYTE*>(bits.data()));
}

// ---- An embedded item with a storage of its own ----------------------------------------------

// The class the item's object claims, kept on its storage.
constexpr CLSID kItemClassId = {0x0003000C, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// An item as inserting an object leaves it: embedded, its storage
// "Embedding <n>" under the design's root holding what the object's
// program wrote (a presentation stream, its native data and a storage of
// its own).
class CStoredItem : public CDrawItem {
public:
    using CDrawItem::CDrawItem;
    ~CStoredItem() override = default;

    // FALSE when the storage could not be made.
    bool MakeStorage(CDrawDoc* pDoc)
    {
        m_dwItemNumber = pDoc->GetNewItemNumber();
        m_nItemType = OT_EMBEDDED;
        const std::u16string name = u"Embedding " + platform::Utf16From1252(std::to_string(m_dwItemNumber));
        IStorage* pStorage = nullptr;
        if (FAILED(pDoc->m_lpRootStg->CreateStorage(reinterpret_cast<const OLECHAR*>(name.c_str()),
                STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_CREATE, 0, 0, &pStorage)))
            return false;
        WriteClassStg(pStorage, kItemClassId);
        using testing_support::WriteWholeStream;
        const bool bWritten
            = WriteWholeStream(pStorage, u"\x01Ole", std::string("\x01\x00\x00\x02", 4) + std::string(16, '\0'))
            && WriteWholeStream(pStorage, u"\x02OlePres000", Le32(0xFFFFFFFF) + Le32(3) + "presentation")
            && WriteWholeStream(pStorage, u"CONTENTS", std::string(5000, 'n') + "native data");
        IStorage* pInner = nullptr;
        if (!bWritten
            || FAILED(pStorage->CreateStorage(reinterpret_cast<const OLECHAR*>(u"ObjectPool"),
                STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_CREATE, 0, 0, &pInner))) {
            pStorage->Release();
            return false;
        }
        const bool bInner = WriteWholeStream(pInner, u"Part", "inner part");
        pInner->Commit(STGC_DEFAULT);
        pInner->Release();
        pStorage->Commit(STGC_DEFAULT);
        m_lpStorage = pStorage;
        m_nItemState = loadedState;
        return bInner;
    }
};

// ---- A design kind that records the state its reads leave -------------------------------------

struct ReadState {
    LONG nFileVersion = 0;
    BOOL bNativeRecord = FALSE;
    BOOL bInSerialize = TRUE;
    BOOL bPredesigned = TRUE;
};
ReadState g_lastRead;

class CWatchedDoc : public CGeneralDoc {
    DECLARE_DYNCREATE(CWatchedDoc)
public:
    BOOL OnOpenDocument(LPCTSTR lpszPathName) override
    {
        const BOOL bOpened = CGeneralDoc::OnOpenDocument(lpszPathName);
        g_lastRead = {m_nFileVersion, m_bNativeRecord, g_bInDesignSerialize, g_bSerializingPredesigned};
        return bOpened;
    }
};

IMPLEMENT_DYNCREATE(CWatchedDoc, CGeneralDoc)

// ---- The fixture ------------------------------------------------------------------------------

class DesignRoundTripTest : public modeltest::WindowModelTest {
protected:
    void SetUp() override
    {
        WindowModelTest::SetUp();
        platform::InitFileSystem();
        m_dir = testing_support::MakeTempDir("roundtrip");
        m_strBmp = contenttest::WriteBmp("flower.bmp", 24, 12);
    }

    std::string PathFor(const std::string& name) { return platform::WindowsPathFor(m_dir + "/" + name); }

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
    void Close(CDrawDoc* pDoc)
    {
        pDoc->OnCloseDocument();
        Pump();
    }
    static size_t Boxes() { return platform::headless::MessageBoxes().size(); }

    // One object of every kind the file keeps, on one surface. The first
    // surface gets the pictures and texts, every surface shapes, and the
    // last one the embedded item.
    void Populate(CDrawDoc* pDoc, int nSurface, bool bWithItem)
    {
        CSurface* pView = ViewOf(pDoc, nSurface);
        ASSERT_NE(pView, nullptr);
        const int dx = nSurface * 7;
        for (int nKind = 0; nKind < SHAPE_KIND_COUNT; ++nKind) {
            auto* pShape = new CDrawRect(CRect(dx + nKind * 20, 300, dx + nKind * 20 + 80, 200), nKind);
            pShape->m_bFill = nKind % 2;
            pShape->m_logbrush.lbColor = RGB(nKind * 15, 40, 200 - nKind);
            pShape->m_logpen.lopnWidth.x = nKind % 4;
            pShape->m_bFlipX = nKind % 3 == 0;
            pShape->m_bFlipY = nKind % 5 == 0;
            pDoc->AddObject(pShape, pView);
            if (nKind % 4 == 1)
                pShape->SetAngle(nKind * 20 - 150.0);
        }
        auto* pPoly = new CDrawPoly(CRect(0, 0, 0, 0));
        for (int i = 0; i < 7; ++i)
            pPoly->AddPoint(CPoint(dx + i * 30, (i % 2) * 50 - 400));
        pDoc->AddObject(pPoly, pView);
        auto* pLine = new CDrawPoly(CRect(0, 0, 0, 0));
        pLine->AddPoint(CPoint(-200, -200));
        pLine->AddPoint(CPoint(-100, -250));
        pDoc->AddObject(pLine, pView);
        pView->m_guidelines[0].Add(100 + DWORD(nSurface));
        pView->m_guidelines[0].Add(2500);
        pView->m_guidelines[1].Add(730 + DWORD(nSurface) * 10);
        pView->m_workRect = CRect(-400 - nSurface, 500, 400, -500);
        if (nSurface == 0)
            PopulateContent(pDoc, pView);
        if (bWithItem)
            AddItem(pDoc, pView);
    }

    void PopulateContent(CDrawDoc* pDoc, CSurface* pView)
    {
        // Calendars of each kind of cell list, a cell with an item.
        struct CalendarCase {
            int nKind;
            int nCell;
        };
        int y = 0;
        for (const CalendarCase c : {CalendarCase{CALENDAR_MONTH, 12}, CalendarCase{CALENDAR_WEEK, 3},
                 CalendarCase{CALENDAR_DAY, 9}, CalendarCase{CALENDAR_YEAR, 0}}) {
            auto* pCalendar = new CDrawRect(CRect(-300, y, 300, y - 400));
            pCalendar->m_nCalendarStart = 2460436;
            pCalendar->m_nCalendarWords[1] = c.nKind;
            pCalendar->m_strCalendarFace = "Arial";
            if (c.nKind != CALENDAR_YEAR) {
                pCalendar->SetCellText(c.nKind, c.nCell, "Picnic");
                pCalendar->SetCellText(c.nKind, c.nCell + 1, "Fair\r\nat noon");
                CDayCellObj* pCell = pCalendar->FindDayCell(c.nKind, c.nCell);
                if (pCell != nullptr) {
                    pCell->m_crBack = RGB(255, 240, 0);
                    pCell->m_crText = RGB(0, 0, 128);
                    pCell->SetItem(new CDrawRect(CRect(0, 20, 20, 0), SHAPE_STAR));
                }
            }
            pDoc->AddObject(pCalendar, pView);
            y -= 50;
        }

        // Block text fitted to its frame and block text in a font of its
        // own.
        auto* pBlock = new CDrawRect(CRect(0, 600, 400, 500));
        pDoc->AddObject(pBlock, pView);
        pBlock->SetText("Happy birthday", TRUE);
        ASSERT_TRUE(pBlock->m_pTextHolder->GetBlock()->IsFixedSize());
        auto* pSized = new CDrawRect(CRect(0, 800, 400, 700));
        pDoc->AddObject(pSized, pView);
        pSized->SetText("Dear @Name@, \xE9t\xE9", TRUE);
        pSized->m_pTextHolder->SetFont(-40, "Times New Roman", 0);
        pSized->SetTextRotation(30, TRUE);
        auto* pWrapped = new CDrawRect(CRect(0, 700, 400, 600));
        pDoc->AddObject(pWrapped, pView);
        pWrapped->SetText("one\r\ntwo words", FALSE);
        pWrapped->m_pWrapText->SetFormatString("[(255,0,2),(0,0,65000)][(Arial,1,0,24,0,65000)]");
        pWrapped->m_pWrapText->SetScale(1.5);
        pWrapped->m_pWrapText->SetJustification(2);

        // An embedded raster, read from its file when saved.
        auto* pRaster = new CDrawRect(CRect(500, 300, 620, 240));
        pRaster->SetPictureFile(m_strBmp, TRUE, TRUE, FALSE, FALSE, FALSE, 0);
        EXPECT_TRUE(pRaster->HasPicture());
        pDoc->AddObject(pRaster, pView);
        // A linked picture whose file is there, and one whose file is gone.
        auto* pLinked = new CDrawRect(CRect(500, 200, 620, 140));
        pLinked->SetPictureFile(m_strBmp, FALSE, FALSE, FALSE, FALSE, FALSE, 0);
        EXPECT_FALSE(pLinked->IsPictureEmbedded());
        pDoc->AddObject(pLinked, pView);
        auto* pGone = new CDrawRect(CRect(500, 100, 620, 40));
        pGone->m_pPicture = new CImage;
        // As reading a design leaves it: nothing loaded, the link kept.
        pGone->m_pPicture->m_nStoredHandle = 1;
        // Quiet: opening the design does not ask where the file went.
        pGone->m_pPicture->m_wFlags = IMAGE_FLAG_TILED | IMAGE_FLAG_QUIET;
        pGone->m_pPicture->m_strPath = "C:\\gone\\linked.bmp";
        pGone->m_pPicture->m_sizeDisplay = CSize(120, 60);
        pDoc->AddObject(pGone, pView);
        // An embedded metafile.
        auto* pVector = new CDrawRect(CRect(700, 300, 800, 200));
        pVector->m_pPicture = new CImage;
        pVector->m_pPicture->m_nHandle = kImageMetafile;
        pVector->m_pPicture->m_strPath = "C:\\clips\\box.wmf";
        HMETAFILE hmf = BlueRectangleMetafile();
        ASSERT_NE(hmf, nullptr);
        pVector->m_pPicture->m_metafile.SetMetaFileSized(hmf, 640, 480);
        ::DeleteMetaFile(hmf);
        ASSERT_TRUE(pVector->m_pPicture->m_metafile.HasMetaFile());
        pDoc->AddObject(pVector, pView);
    }

    void AddItem(CDrawDoc* pDoc, CSurface* pView)
    {
        auto* pObj = new CDrawOleObj(CRect(-500, 800, -300, 600));
        auto* pItem = new CStoredItem(pDoc, pObj);
        pObj->SetItem(pItem);
        ASSERT_TRUE(pItem->MakeStorage(pDoc));
        pObj->m_extent = CSize(5080, 5080);
        pDoc->AddObject(pObj, pView);
    }

    // A design of the class holding every kind of object on each of its
    // surfaces, the item on the last.
    CDrawDoc* FullDesign(CRuntimeClass* pClass)
    {
        CDrawDoc* pDoc = NewDesign(pClass);
        if (pDoc == nullptr)
            return nullptr;
        const int nSurfaces = pDoc->GetSurfaceCount() < 1 ? 1 : pDoc->GetSurfaceCount();
        for (int n = 0; n < nSurfaces; ++n)
            Populate(pDoc, n, n == nSurfaces - 1);
        pDoc->m_strDesignText = "Every object";
        pDoc->SetGridSpacing(50);
        CMergeSource* pSource = pClass == RUNTIME_CLASS(CCalendarDoc)
            ? static_cast<CMergeSource*>(new CAddrFileMergeSource(pDoc))
            : static_cast<CMergeSource*>(new CTextMergeSource(pDoc));
        pSource->SetFileName("C:\\lists\\guests.txt");
        delete pDoc->m_pMergeSource;
        pDoc->m_pMergeSource = pSource;
        return pDoc;
    }

    // A block fitted to its frame stores its cache's stale-layout bit,
    // which drawing sets (the previews of every save draw) and reading
    // clears; the bytes are compared with the cache dropped, as reading
    // leaves it.
    static void DropTextCaches(CDrawDoc* pDoc)
    {
        for (int n = 0; n < pDoc->GetSurfaceInfoCount(); ++n) {
            CSurface* pView = ViewOf(pDoc, n);
            for (POSITION pos = pView != nullptr ? pView->GetObjects().GetHeadPosition() : nullptr; pos != nullptr;) {
                auto* pObj = static_cast<CDrawObj*>(pView->GetObjects().GetNext(pos));
                if (pObj->m_pTextHolder != nullptr && pObj->m_pTextHolder->GetBlock()->IsFixedSize())
                    pObj->m_pTextHolder->GetBlock()->FreeCache();
            }
        }
    }
    static BOOL Save(CDrawDoc* pDoc, const std::string& path)
    {
        DropTextCaches(pDoc);
        return pDoc->OnSaveDocument(path.c_str());
    }

    struct SavedSurface {
        std::vector<std::pair<CRuntimeClass*, std::string>> objects;
        std::vector<DWORD> guidelines[2];
        WORD wFlags = 0;
        CRect workRect;
    };

    static std::vector<SavedSurface> SurfacesOf(CDrawDoc* pDoc)
    {
        DropTextCaches(pDoc);
        std::vector<SavedSurface> out;
        for (int n = 0; n < pDoc->GetSurfaceInfoCount(); ++n) {
            CSurface* pView = ViewOf(pDoc, n);
            if (pView == nullptr)
                continue;
            SavedSurface saved;
            for (POSITION pos = pView->GetObjects().GetHeadPosition(); pos != nullptr;) {
                auto* pObj = static_cast<CDrawObj*>(pView->GetObjects().GetNext(pos));
                saved.objects.emplace_back(pObj->GetRuntimeClass(), modeltest::ObjectState(pObj));
            }
            for (int i = 0; i < 2; ++i)
                for (INT_PTR g = 0; g < pView->m_guidelines[i].GetSize(); ++g)
                    saved.guidelines[i].push_back(pView->m_guidelines[i][g]);
            saved.wFlags = pView->m_flags;
            saved.workRect = pView->m_workRect;
            out.push_back(std::move(saved));
        }
        return out;
    }

    std::string m_dir;
    CString m_strBmp;
};

// ---- Round trips ------------------------------------------------------------------------------

TEST_F(DesignRoundTripTest, EveryKindComesBackObjectByObjectAndSavesTheSameBytesAgain)
{
    struct Kind {
        CRuntimeClass* pClass;
        const char* pszFile;
        int nSurfaces;
    };
    for (const Kind kind : {Kind{RUNTIME_CLASS(CTovellDoc), "trip.shr", 2}, Kind{RUNTIME_CLASS(CApparelDoc), "trip.app", 1},
             Kind{RUNTIME_CLASS(CMousepadDoc), "trip.mpd", 1}, Kind{RUNTIME_CLASS(CCalendarDoc), "trip.clr", 1},
             Kind{RUNTIME_CLASS(CGiftTagDoc), "trip.lbl", 1}, Kind{RUNTIME_CLASS(CGeneralDoc), "trip.gen", 1}}) {
        SCOPED_TRACE(kind.pszFile);
        CDrawDoc* pDoc = FullDesign(kind.pClass);
        ASSERT_NE(pDoc, nullptr);
        ASSERT_EQ(pDoc->GetSurfaceCount(), kind.nSurfaces);
        ASSERT_EQ(pDoc->GetSurfaceInfoCount(), kind.nSurfaces);
        const std::string path = PathFor(kind.pszFile);
        const size_t nBoxes = Boxes();
        ASSERT_TRUE(Save(pDoc, path));
        const std::vector<SavedSurface> saved = SurfacesOf(pDoc);
        Close(pDoc);
        const std::string contents = modeltest::DesignStreamBytes(path, "Contents");
        ASSERT_FALSE(contents.empty());
        const std::string embedding = modeltest::ListingLinesUnder(modeltest::DesignListing(path, storage_test::WithClassIds::Yes), "Embedding 1");
        // The item's storage as its program left it: the class, the three
        // streams and the storage inside.
        EXPECT_NE(embedding.find("Embedding 1\tD\t0\t" + platform::GuidToString(kItemClassId)), std::string::npos)
            << embedding;
        const std::string native = std::string(5000, 'n') + "native data";
        EXPECT_NE(embedding.find("Embedding 1/CONTENTS\tS\t5011\t-\t" + storage_test::Fnv(native.data(), native.size())),
            std::string::npos)
            << embedding;
        EXPECT_NE(embedding.find("Embedding 1/ObjectPool/Part\tS\t10\t"), std::string::npos) << embedding;

        CDrawDoc* pCopy = Open(TemplateFor(kind.pClass), path);
        ASSERT_NE(pCopy, nullptr);
        EXPECT_EQ(Boxes(), nBoxes) << platform::headless::MessageBoxes().back().text;
        EXPECT_EQ(g_bInDesignSerialize, FALSE);
        EXPECT_EQ(pCopy->m_nFileVersion, 29);
        EXPECT_EQ(pCopy->m_bNativeRecord, TRUE);
        ASSERT_EQ(pCopy->GetSurfaceInfoCount(), kind.nSurfaces);
        const std::vector<SavedSurface> read = SurfacesOf(pCopy);
        ASSERT_EQ(read.size(), saved.size());
        for (size_t s = 0; s < saved.size(); ++s) {
            SCOPED_TRACE(s);
            CSurface* pView = ViewOf(pCopy, int(s));
            ASSERT_EQ(read[s].objects.size(), saved[s].objects.size());
            for (size_t i = 0; i < saved[s].objects.size(); ++i) {
                EXPECT_STREQ(read[s].objects[i].first->m_lpszClassName, saved[s].objects[i].first->m_lpszClassName) << i;
                EXPECT_TRUE(read[s].objects[i].second == saved[s].objects[i].second)
                    << i << ": " << Difference(saved[s].objects[i].second, read[s].objects[i].second);
            }
            for (POSITION pos = pView->GetObjects().GetHeadPosition(); pos != nullptr;)
                EXPECT_EQ(static_cast<CDrawObj*>(pView->GetObjects().GetNext(pos))->m_pSurface, pView);
            EXPECT_EQ(read[s].guidelines[0], saved[s].guidelines[0]);
            EXPECT_EQ(read[s].guidelines[1], saved[s].guidelines[1]);
            EXPECT_EQ(read[s].wFlags, saved[s].wFlags);
            EXPECT_EQ(read[s].workRect, saved[s].workRect);
        }
        auto* pSource = dynamic_cast<CMergeSource*>(pCopy->m_pMergeSource);
        ASSERT_NE(pSource, nullptr);
        EXPECT_EQ(pSource->GetType(), kind.pClass == RUNTIME_CLASS(CCalendarDoc) ? CMergeSource::TypeAddressBook
                                                                                : CMergeSource::TypeTextFile);
        EXPECT_STREQ(pSource->GetFileName(), "C:\\lists\\guests.txt");
        // The item came back with its storage from the file.
        int nItems = 0;
        for (POSITION pos = pCopy->GetStartPosition(); pos != nullptr;) {
            auto* pItem = dynamic_cast<CDrawItem*>(pCopy->GetNextItem(pos));
            ASSERT_NE(pItem, nullptr);
            ++nItems;
            EXPECT_EQ(pItem->GetItemNumber(), 1u);
            EXPECT_NE(pItem->GetStorage(), nullptr);
            ASSERT_NE(pItem->m_pDrawObj, nullptr);
            EXPECT_EQ(pItem->m_pDrawObj->m_extent, CSize(5080, 5080));
        }
        EXPECT_EQ(nItems, 1);

        // What was read saves to the same bytes, and the item's storage is
        // carried over unchanged; also saved over itself, when the item's
        // storage is in the file being replaced.
        const std::string again = PathFor(std::string("again-") + kind.pszFile);
        const std::string third = PathFor(std::string("third-") + kind.pszFile);
        ASSERT_TRUE(Save(pCopy, again));
        ASSERT_TRUE(Save(pCopy, third));
        ASSERT_TRUE(Save(pCopy, third));
        Close(pCopy);
        for (const std::string& file : {again, third}) {
            const std::string bytes = modeltest::DesignStreamBytes(file, "Contents");
            EXPECT_TRUE(bytes == contents) << file << ": " << Difference(contents, bytes);
            EXPECT_EQ(modeltest::ListingLinesUnder(modeltest::DesignListing(file, storage_test::WithClassIds::Yes), "Embedding 1"), embedding) << file;
        }
        EXPECT_EQ(Boxes(), nBoxes);
    }
}

TEST_F(DesignRoundTripTest, EmbeddedPicturesWithoutAFileAreSavedFromTheirPixels)
{
    CDrawDoc* pDoc = NewDesign(RUNTIME_CLASS(CGeneralDoc));
    ASSERT_NE(pDoc, nullptr);
    CSurface* pView = ViewOf(pDoc, 0);
    // A pasted bitmap never had a file.
    CBitmap bitmap;
    {
        CClientDC screen(nullptr);
        ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&screen, 16, 8));
        CDC dc;
        ASSERT_TRUE(dc.CreateCompatibleDC(&screen));
        CBitmap* pOld = dc.SelectObject(&bitmap);
        dc.FillSolidRect(0, 0, 16, 8, RGB(10, 200, 30));
        dc.SelectObject(pOld);
    }
    auto* pPasted = new CDrawRect(CRect(0, 100, 160, 20));
    pDoc->AddObject(pPasted, pView);
    pPasted->SetPictureFromBitmap(static_cast<HBITMAP>(bitmap.GetSafeHandle()), NULL, TRUE, TRUE);
    ASSERT_TRUE(pPasted->HasPicture());
    ASSERT_TRUE(pPasted->IsPictureEmbedded());
    // A picture whose file went after it was put in.
    const std::string dir = testing_support::MakeTempDir("lostpicture");
    testing_support::WriteFileBytes(dir + "/lost.bmp", contenttest::BmpBytes(12, 6));
    auto* pLost = new CDrawRect(CRect(200, 100, 320, 40));
    pDoc->AddObject(pLost, pView);
    pLost->SetPictureFile(contenttest::WindowsPath(dir + "/lost.bmp"), TRUE, FALSE, FALSE, FALSE, FALSE, 0);
    ASSERT_TRUE(pLost->HasPicture());
    std::filesystem::remove(dir + "/lost.bmp");

    const std::string path = PathFor("pixels.gen");
    const size_t nBoxes = Boxes();
    ASSERT_TRUE(Save(pDoc, path));
    EXPECT_EQ(Boxes(), nBoxes);
    Close(pDoc);
    CDrawDoc* pCopy = Open(TemplateFor(RUNTIME_CLASS(CGeneralDoc)), path);
    ASSERT_NE(pCopy, nullptr);
    std::vector<CSize> sizes;
    std::vector<COLORREF> colors;
    for (POSITION pos = ViewOf(pCopy, 0)->GetObjects().GetHeadPosition(); pos != nullptr;) {
        auto* pObj = static_cast<CDrawObj*>(ViewOf(pCopy, 0)->GetObjects().GetNext(pos));
        ASSERT_NE(pObj->m_pPicture, nullptr);
        const std::vector<BYTE>& data = pObj->m_pPicture->m_rasterData;
        ASSERT_GT(data.size(), 2u);
        // The pixels as a picture file that the reader takes back.
        CImage back;
        ASSERT_GE(back.LoadFromMemory(data.data(), DWORD(data.size()), CImage::kDefaultLoadMode), 1);
        SIZE size{};
        back.GetSize(size, TRUE);
        sizes.push_back(CSize(size));
        HBITMAP hBack = back.CreateDDB(nullptr, FALSE);
        ASSERT_NE(hBack, nullptr);
        CDC dc;
        ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
        HGDIOBJ hOld = ::SelectObject(dc.GetSafeHdc(), hBack);
        colors.push_back(dc.GetPixel(size.cx - 1, size.cy - 1) & 0xFFFFFF);
        ::SelectObject(dc.GetSafeHdc(), hOld);
        ::DeleteObject(hBack);
    }
    EXPECT_EQ(sizes, (std::vector<CSize>{CSize(16, 8), CSize(12, 6)}));
    // Opaque photos of 24 bits are embedded as JPEG: near, not exact.
    const std::vector<COLORREF> expected{RGB(10, 200, 30), RGB(200, 40, 10)};
    ASSERT_EQ(colors.size(), expected.size());
    for (size_t i = 0; i < colors.size(); ++i) {
        for (int nShift : {0, 8, 16})
            EXPECT_NEAR(int((colors[i] >> nShift) & 0xFF), int((expected[i] >> nShift) & 0xFF), 12) << i;
    }
    Close(pCopy);
}

// ---- Saves that fail --------------------------------------------------------------------------

class DesignSaveFailureTest : public DesignRoundTripTest {
protected:
    // A design saved once into a folder of its own; the test then changes
    // it and saves again.
    void SetUp() override
    {
        DesignRoundTripTest::SetUp();
        m_saveDir = testing_support::MakeTempDir("failedsave");
        m_path = platform::WindowsPathFor(m_saveDir + "/design.gen");
        m_pDoc = FullDesign(RUNTIME_CLASS(CGeneralDoc));
        ASSERT_NE(m_pDoc, nullptr);
        ASSERT_TRUE(m_pDoc->OnSaveDocument(m_path.c_str()));
        m_before = testing_support::ReadFileBytes(platform::HostPathForReading(m_path));
        ASSERT_FALSE(m_before.empty());
        m_pDoc->AddObject(new CDrawRect(CRect(0, 50, 50, 0), SHAPE_HEART), ViewOf(m_pDoc, 0));
        m_pDoc->SetModifiedFlag(TRUE);
    }

    // The failed save left the file and its folder as they were, and said
    // so once.
    void ExpectFailedCleanly(size_t nBoxesBefore)
    {
        EXPECT_EQ(testing_support::ReadFileBytes(platform::HostPathForReading(m_path)), m_before);
        EXPECT_EQ(FolderNames(m_saveDir), std::vector<std::string>{"design.gen"});
        EXPECT_EQ(Boxes(), nBoxesBefore + 1);
        EXPECT_TRUE(m_pDoc->IsModified());
        EXPECT_EQ(g_bInDesignSerialize, FALSE);
        EXPECT_EQ(m_pDoc->m_nFileVersion, 29);
        EXPECT_EQ(m_pDoc->m_bNativeRecord, TRUE);
    }

    // Once the cause is gone the same document saves, its item included,
    // and the file opens with the object added.
    void ExpectSavesAfterwards()
    {
        ASSERT_TRUE(m_pDoc->OnSaveDocument(m_path.c_str()));
        EXPECT_EQ(FolderNames(m_saveDir), std::vector<std::string>{"design.gen"});
        const int nObjects = CountObjects(ViewOf(m_pDoc, 0));
        Close(m_pDoc);
        EXPECT_NE(modeltest::ListingLinesUnder(modeltest::DesignListing(m_path, storage_test::WithClassIds::Yes), "Embedding 1/CONTENTS"), "");
        CDrawDoc* pCopy = Open(TemplateFor(RUNTIME_CLASS(CGeneralDoc)), m_path);
        ASSERT_NE(pCopy, nullptr);
        EXPECT_EQ(CountObjects(ViewOf(pCopy, 0)), nObjects);
        Close(pCopy);
    }

    std::string m_saveDir;
    std::string m_path;
    std::string m_before;
    CDrawDoc* m_pDoc = nullptr;
};

TEST_F(DesignSaveFailureTest, ASurfaceRecordWithoutAViewFailsTheSaveAndKeepsTheFile)
{
    // A record the document cannot write, after the surface it can.
    auto* pOrphan = new CSurfaceInfo(1);
    m_pDoc->m_surfaces.AddTail(pOrphan);
    const size_t nBoxes = Boxes();
    EXPECT_FALSE(m_pDoc->OnSaveDocument(m_path.c_str()));
    m_pDoc->m_surfaces.RemoveTail();
    delete pOrphan;
    ExpectFailedCleanly(nBoxes);
    ExpectSavesAfterwards();
}

TEST_F(DesignSaveFailureTest, AnEmbeddedPictureWithNothingToEmbedFailsTheSaveAndKeepsTheFile)
{
    // A picture that a design linked, whose file is gone, asked to be
    // embedded: there are neither bytes nor pixels to store.
    auto* pObj = new CDrawRect(CRect(0, 90, 90, 0));
    pObj->m_pPicture = new CImage;
    // A handle the picture engine never gave: there is no raster to save.
    pObj->m_pPicture->m_nHandle = 30000;
    pObj->m_pPicture->m_strPath = "C:\\gone\\away.bmp";
    pObj->m_pPicture->m_wFlags = IMAGE_FLAG_EMBED;
    m_pDoc->AddObject(pObj, ViewOf(m_pDoc, 0));
    const size_t nBoxes = Boxes();
    EXPECT_FALSE(m_pDoc->OnSaveDocument(m_path.c_str()));
    ExpectFailedCleanly(nBoxes);
    ViewOf(m_pDoc, 0)->Remove(pObj);
    delete pObj;
    ExpectSavesAfterwards();
}

TEST_F(DesignSaveFailureTest, AWriteRefusedByTheSystemFailsTheSaveAndKeepsTheFile)
{
    // The system refuses to let the new file grow past a few sectors, as a
    // full disk or a quota would.
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    void (*oldHandler)(int) = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const size_t nBoxes = Boxes();
    const BOOL bSaved = m_pDoc->OnSaveDocument(m_path.c_str());
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(bSaved);
    ExpectFailedCleanly(nBoxes);
    ExpectSavesAfterwards();
}

TEST_F(DesignRoundTripTest, ANewDesignsFailedFirstSaveLeavesNothingAndItsItemKeepsItsStorage)
{
    const std::string dir = testing_support::MakeTempDir("firstsave");
    const std::string path = platform::WindowsPathFor(dir + "/first.gen");
    CDrawDoc* pDoc = FullDesign(RUNTIME_CLASS(CGeneralDoc));
    ASSERT_NE(pDoc, nullptr);
    auto* pOrphan = new CSurfaceInfo(1);
    pDoc->m_surfaces.AddTail(pOrphan);
    const size_t nBoxes = Boxes();
    EXPECT_FALSE(Save(pDoc, path));
    pDoc->m_surfaces.RemoveTail();
    delete pOrphan;
    EXPECT_EQ(Boxes(), nBoxes + 1);
    EXPECT_TRUE(FolderNames(dir).empty());
    EXPECT_TRUE(pDoc->GetPathName().IsEmpty());

    // The item's storage still lives in the design's temporary root.
    ASSERT_TRUE(Save(pDoc, path));
    Close(pDoc);
    EXPECT_EQ(FolderNames(dir), std::vector<std::string>{"first.gen"});
    EXPECT_NE(modeltest::ListingLinesUnder(modeltest::DesignListing(path, storage_test::WithClassIds::Yes), "Embedding 1/CONTENTS\tS\t5011"), "");
}

// ---- Damaged files ----------------------------------------------------------------------------

class DamagedDesignTest : public DesignRoundTripTest {
protected:
    void SetUp() override
    {
        DesignRoundTripTest::SetUp();
        // The picture's path is stored in the design, so its length moves
        // every byte after it. A folder whose name does not count the
        // folders earlier tests made keeps the damage on the same bytes in
        // any order of the tests.
        const std::string folder = testing_support::TestHome() + "/damaged";
        std::filesystem::create_directories(folder);
        const std::string bmp = folder + "/flower.bmp";
        const std::string source = platform::HostPathForReading(m_strBmp.Std());
        testing_support::WriteFileBytes(bmp, testing_support::ReadFileBytes(source));
        m_strBmp = contenttest::WindowsPath(bmp);
        CDrawDoc* pDoc = FullDesign(RUNTIME_CLASS(CGeneralDoc));
        ASSERT_NE(pDoc, nullptr);
        // A design of the library, so that every read sets the predesigned
        // state that must not outlive it.
        pDoc->m_wDocFlags |= DOC_FLAG_PREDESIGNED;
        m_path = PathFor("whole.gen");
        ASSERT_TRUE(pDoc->OnSaveDocument(m_path.c_str()));
        Close(pDoc);
        m_host = platform::HostPathForReading(m_path);
        m_whole = testing_support::ReadFileBytes(m_host);
        m_contents = modeltest::DesignStreamBytes(m_path, "Contents");
        ASSERT_FALSE(m_contents.empty());
        m_pTemplate = TemplateFor(RUNTIME_CLASS(CWatchedDoc));
        m_resavePath = PathFor("resaved.gen");
    }

    // The messages a picture of the design may give while it is read: the
    // engine's text for damaged picture data, or the question where a
    // linked picture went.
    static size_t PictureMessagesSince(size_t nFrom)
    {
        size_t nPicture = 0;
        const auto& boxes = platform::headless::MessageBoxes();
        for (size_t i = nFrom; i < boxes.size(); ++i) {
            bool bPicture = boxes[i].text.rfind("Locate Picture File", 0) == 0;
            for (int nCode = -40; nCode < 0 && !bPicture; ++nCode) {
                CString strText;
                GetPicErrorText(nCode, strText);
                bPicture = boxes[i].text == strText.Std();
            }
            nPicture += bPicture ? 1 : 0;
        }
        return nPicture;
    }

    // Opens the bytes as the design file: either it opens without a word
    // (but for its pictures'), or it fails with one message; the state is
    // put back either way.
    void OpenDamaged(const std::string& bytes, const std::string& what)
    {
        testing_support::WriteFileBytes(m_host, bytes);
        size_t nBoxes = Boxes();
        g_lastRead = ReadState{};
        CDrawDoc* pDoc = Open(m_pTemplate, m_path);
        if (pDoc != nullptr) {
            nBoxes += PictureMessagesSince(nBoxes);
            EXPECT_EQ(Boxes(), nBoxes) << what;
            // What opened can be saved again, or the save says why not.
            const BOOL bSaved = pDoc->OnSaveDocument(m_resavePath.c_str());
            EXPECT_EQ(Boxes(), nBoxes + (bSaved ? 0 : 1)) << what;
            EXPECT_EQ(g_bInDesignSerialize, FALSE) << what;
            Close(pDoc);
        } else {
            EXPECT_EQ(Boxes(), nBoxes + 1 + PictureMessagesSince(nBoxes)) << what;
        }
        EXPECT_EQ(g_bInDesignSerialize, FALSE) << what;
        EXPECT_EQ(g_bSerializingPredesigned, FALSE) << what;
        EXPECT_EQ(g_lastRead.nFileVersion, 29) << what;
        EXPECT_EQ(g_lastRead.bNativeRecord, TRUE) << what;
        EXPECT_EQ(g_lastRead.bInSerialize, FALSE) << what;
        EXPECT_EQ(g_lastRead.bPredesigned, FALSE) << what;
    }

    // The whole file with "Contents" replaced by these bytes.
    std::string WithContents(const std::string& contents)
    {
        testing_support::WriteFileBytes(m_host, m_whole);
        const std::u16string wide = platform::Utf16From1252(m_path);
        IStorage* pRoot = nullptr;
        EXPECT_EQ(StgOpenStorage(wide.c_str(), nullptr, STGM_READWRITE | STGM_SHARE_EXCLUSIVE, nullptr, 0, &pRoot), S_OK);
        if (pRoot == nullptr)
            return m_whole;
        {
            COleStreamFile file;
            EXPECT_TRUE(file.OpenStream(pRoot, "Contents", CFile::modeReadWrite | CFile::shareExclusive));
            file.SetLength(0);
            file.Write(contents.data(), static_cast<UINT>(contents.size()));
            file.Close();
        }
        EXPECT_EQ(pRoot->Commit(STGC_DEFAULT), S_OK);
        pRoot->Release();
        return testing_support::ReadFileBytes(m_host);
    }

    std::string m_path;
    std::string m_host;
    std::string m_whole;
    std::string m_contents;
    std::string m_resavePath;
    CDocTemplate* m_pTemplate = nullptr;
};

TEST_F(DamagedDesignTest, AFileOrItsContentsCutAtEvery97thByteFailsCleanly)
{
    for (size_t n = 0; n < m_whole.size(); n += 97)
        OpenDamaged(m_whole.substr(0, n), "file cut at " + std::to_string(n));

    // Cut within a sound compound file, the design's own reader meets the
    // end of every record in turn: pictures, texts, cells, the item.
    for (size_t n = 0; n < m_contents.size(); n += 97)
        OpenDamaged(WithContents(m_contents.substr(0, n)), "contents cut at " + std::to_string(n));
}

TEST_F(DamagedDesignTest, SixteenBitQuickInformationLeavesNativeRecordsAfterwards)
{
    // The quick information's length says 16-bit records, so every object
    // is read with 16-bit pens and brushes; whatever comes of that, the
    // next design reads its own records.
    for (DWORD dwLength : {48u, 44u}) {
        std::string contents = m_contents;
        ASSERT_EQ(contents.substr(42, 4), Le32(88));
        contents.replace(42, 4, Le32(dwLength));
        OpenDamaged(WithContents(contents), "quick information of " + std::to_string(dwLength));
    }
}

TEST_F(DamagedDesignTest, RandomlyDamagedCopiesOpenOrFailCleanly)
{
    // Half the copies are damaged anywhere in the file, half within the
    // bytes of "Contents", where the design's own reader meets the damage.
    const size_t nContentsAt = m_whole.find(m_contents.substr(0, 512));
    ASSERT_NE(nContentsAt, std::string::npos);
    const size_t nContentsSpan = std::min(m_contents.size(), m_whole.size() - nContentsAt);
    std::mt19937 random(20261207);
    int nOpened = 0;
    for (int n = 0; n < 200; ++n) {
        std::string damaged = m_whole;
        const bool bInContents = n % 2 == 1;
        const int nChanges = 1 + static_cast<int>(random() % 6);
        for (int i = 0; i < nChanges; ++i) {
            const size_t at = bInContents ? nContentsAt + random() % nContentsSpan : random() % damaged.size();
            damaged[at] = static_cast<char>(random());
        }
        const size_t nBoxes = Boxes();
        OpenDamaged(damaged, "copy " + std::to_string(n));
        nOpened += Boxes() == nBoxes ? 1 : 0;
    }
    // Damage in pictures, text and unused sectors still opens.
    EXPECT_GT(nOpened, 0);
}

} // namespace
