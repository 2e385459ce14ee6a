#include "tests/surface/SurfaceInputTestSupport.h"
#include "tests/surface/SurfaceDialogSupport.h"
#include "tests/surface/SurfaceViewSupport.h"

#include "model/DrawOleObj.h"
#include "model/DrawPoly.h"
#include "model/UndoList.h"
#include "model/UndoRecording.h"
#include "platform/base/Archive.h"
#include "platform/base/Arithmetic.h"
#include "platform/base/GlobalMemory.h"
#include "platform/base/MemFile.h"
#include "platform/framework/OleData.h"
#include "platform/framework/OleDialogs.h"
#include "platform/base/CodePage.h"
#include "platform/files/FileSystem.h"
#include "platform/files/HostPath.h"
#include "platform/storage/Storage.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Metafile.h"
#include "tests/support/StorageStreams.h"
#include "tests/support/TestData.h"
#include "tests/support/TestHome.h"
#include "platform/ui/AfxMessageBox.h"
#include "platform/ui/User.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <strings.h>
#include <sys/stat.h>
#include <string>
#include <vector>

namespace surfacetest {
namespace {

using Bytes = std::vector<BYTE>;

Bytes BytesOfBlock(HGLOBAL hBlock)
{
    Bytes bytes;
    if (hBlock == NULL)
        return bytes;
    const auto* p = static_cast<const BYTE*>(::GlobalLock(hBlock));
    if (p != nullptr)
        bytes.assign(p, p + ::GlobalSize(hBlock));
    ::GlobalUnlock(hBlock);
    return bytes;
}

void Append(Bytes& to, Bytes::const_iterator first, Bytes::const_iterator last)
{
    for (; first != last; ++first)
        to.push_back(*first);
}

void Append(Bytes& to, const Bytes& bytes)
{
    Append(to, bytes.begin(), bytes.end());
}

HGLOBAL BlockOfBytes(const Bytes& bytes)
{
    HGLOBAL hBlock = ::GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (void* p = ::GlobalLock(hBlock)) {
        if (!bytes.empty())
            std::memcpy(p, bytes.data(), bytes.size());
        ::GlobalUnlock(hBlock);
    }
    return hBlock;
}

// What the clipboard holds in a format, as bytes; empty when absent.
Bytes ClipboardBytes(UINT cf)
{
    Bytes bytes;
    if (!::OpenClipboard(NULL))
        return bytes;
    bytes = BytesOfBlock(::GetClipboardData(cf));
    ::CloseClipboard();
    return bytes;
}

BOOL ClipboardHas(UINT cf)
{
    return ::IsClipboardFormatAvailable(cf);
}

// Replaces the clipboard with the given formats (the clipboard owns them).
void SetClipboard(std::initializer_list<std::pair<UINT, HANDLE>> formats)
{
    ASSERT_TRUE(::OpenClipboard(NULL));
    ::EmptyClipboard();
    for (const auto& [cf, h] : formats)
        ::SetClipboardData(cf, h);
    ::CloseClipboard();
}

// What the object (or list) writes of itself, as the design file holds it.
Bytes RecordOf(CObject* pObject, CDocument* pDoc)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        ar.m_pDocument = pDoc;
        pObject->Serialize(ar);
        ar.Close();
    }
    const size_t nLength = size_t(file.GetLength());
    BYTE* p = file.Detach();
    Bytes bytes(p, p + nLength);
    free(p);
    return bytes;
}

// A packed DIB of cx x cy pixels of 24 bits, all of one grey.
HGLOBAL GreyDib(int cx, int cy)
{
    Bytes bytes(sizeof(BITMAPINFOHEADER) + size_t((cx * 3 + 3) & ~3) * size_t(cy), 0x80);
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = cx;
    header.biHeight = cy;
    header.biPlanes = 1;
    header.biBitCount = 24;
    std::memcpy(bytes.data(), &header, sizeof header);
    return BlockOfBytes(bytes);
}

class SurfaceClipboardTest : public SurfaceCommandInputTest {
protected:
    static CDrawRect* AddGrouped(CSurface* pView, const CRect& rect, WORD wGroup)
    {
        CDrawRect* pObj = AddRect(pView, rect);
        pObj->m_wObjectWord = wGroup;
        return pObj;
    }

    static std::vector<CDrawObj*> Objects(CSurface* pView)
    {
        std::vector<CDrawObj*> objects;
        for (POSITION pos = pView->GetObjects().GetHeadPosition(); pos != NULL;)
            objects.push_back(static_cast<CDrawObj*>(pView->GetObjects().GetNext(pos)));
        return objects;
    }

    static std::vector<CDrawObj*> Selected(CSurface* pView)
    {
        std::vector<CDrawObj*> objects;
        for (POSITION pos = pView->GetSelection().GetHeadPosition(); pos != NULL;)
            objects.push_back(static_cast<CDrawObj*>(pView->GetSelection().GetNext(pos)));
        return objects;
    }

    // The visible client area in logical units, larger y as top.
    static CRect VisibleArea(CSurface* pView)
    {
        CRect client;
        pView->GetClientRect(&client);
        pView->DPtoLPRect(&client);
        return CDrawObj::NormalizeUp(client);
    }

};

// A metafile of no records but its end.
HMETAFILE EmptyMetaFile()
{
    const BYTE bits[] = {1, 0, 9, 0, 0, 3, 12, 0, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0};
    return ::SetMetaFileBitsEx(sizeof bits, bits);
}

// An enhanced metafile of a header and its end, framing 10 x 10 pixels.
HENHMETAFILE EmptyEnhMetaFile()
{
    std::vector<BYTE> bits;
    auto put32 = [&bits](DWORD v) {
        for (int i = 0; i < 4; ++i)
            bits.push_back(BYTE(v >> (8 * i)));
    };
    put32(1);                                   // EMR_HEADER
    put32(88);                                  // its size
    put32(0), put32(0), put32(9), put32(9);     // bounds
    put32(0), put32(0), put32(264), put32(264); // frame, 0.01 mm
    put32(0x464D4520);                          // " EMF"
    put32(0x10000);                             // version
    put32(88 + 20);                             // bytes
    put32(2);                                   // records
    put32(0);                                   // handles, reserved
    put32(0), put32(0), put32(0);               // description, palette entries
    put32(1024), put32(768), put32(320), put32(240);
    put32(14), put32(20), put32(0), put32(16), put32(20); // EMR_EOF
    return ::SetEnhMetaFileBits(UINT(bits.size()), bits.data());
}

HGLOBAL MetaFilePict(HMETAFILE hMF, LONG xExt, LONG yExt)
{
    HGLOBAL hPict = ::GlobalAlloc(GMEM_MOVEABLE, sizeof(METAFILEPICT));
    auto* pPict = static_cast<METAFILEPICT*>(::GlobalLock(hPict));
    *pPict = METAFILEPICT{MM_ANISOTROPIC, xExt, yExt, hMF};
    ::GlobalUnlock(hPict);
    return hPict;
}

CString Text103()
{
    CString s;
    s.LoadString(IDP_PASTE_FAILED);
    return s;
}

// ---- The private format ---------------------------------------------------------------------------

TEST_F(SurfaceClipboardTest, CopyOfOneRectangleHoldsTheListFramingThenItsDesignRecord)
{
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    CDrawRect* pObj = AddRect(pView, CRect(-100, 200, 300, -50), SHAPE_ELLIPSE);
    pView->Select(pObj);
    Command(pView, ID_EDIT_COPY);

    const Bytes clip = ClipboardBytes(CSurface::GetPrivateFormat());
    const WORD wSchema = RUNTIME_CLASS(CDrawRect)->m_wSchema;
    Bytes expected = {0x01, 0x00, 0xFF, 0xFF, BYTE(wSchema), BYTE(wSchema >> 8), 0x09, 0x00};
    for (char c : std::string("CDrawRect"))
        expected.push_back(BYTE(c));
    const Bytes record = RecordOf(pObj, pView->GetDocument());
    Append(expected, record);
    ASSERT_GE(clip.size(), expected.size());
    EXPECT_EQ(Bytes(clip.begin(), clip.begin() + expected.size()), expected);
    // The picture of the selection goes with it; no text without text.
    EXPECT_TRUE(ClipboardHas(CF_BITMAP));
    EXPECT_FALSE(ClipboardHas(CF_TEXT));
}

TEST_F(SurfaceClipboardTest, CopyWithNothingSelectedLeavesTheClipboardAsItWas)
{
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    AddRect(pView, CRect(-100, 200, 300, -50));
    SetClipboard({{CF_DIB, BlockOfBytes(Bytes(64, 7))}});
    EXPECT_FALSE(IsEnabled(pView, ID_EDIT_COPY));
    EXPECT_FALSE(IsEnabled(pView, ID_EDIT_CUT));
    Command(pView, ID_EDIT_COPY);
    EXPECT_EQ(ClipboardBytes(CF_DIB), Bytes(64, 7));
    EXPECT_FALSE(ClipboardHas(CSurface::GetPrivateFormat()));
}

TEST_F(SurfaceClipboardTest, CopyAndPasteBetweenDesignsKeepsEveryFieldAndCentresTheCopies)
{
    CSurface* pFrom = NewView();
    ASSERT_NE(pFrom, nullptr);
    CDrawRect* pA = AddGrouped(pFrom, CRect(100, 300, 200, 200), 1);
    CDrawRect* pB = AddGrouped(pFrom, CRect(220, 250, 300, 100), 1);
    CDrawRect* pC = AddGrouped(pFrom, CRect(120, 180, 160, 140), 2);
    CDrawRect* pD = AddGrouped(pFrom, CRect(170, 190, 190, 170), 2);
    pD->m_wFlags |= OBJ_FLAG_LOCKED;
    pA->SetText("alpha", TRUE);
    pC->m_logpen.lopnColor = RGB(10, 20, 30);
    pFrom->SelectObjects({pA, pB, pC, pD}, FALSE);
    Command(pFrom, ID_EDIT_COPY);

    CSurface* pTo = NewView();
    ASSERT_NE(pTo, nullptr);
    // Group 1 is taken on the target surface: the pasted groups must be
    // two new ones.
    CDrawRect* pThere = AddGrouped(pTo, CRect(-300, -300, -200, -400), 1);
    CDrawDoc* pDoc = pTo->GetDocument();
    const int nSteps = pDoc->GetUndoList().GetCount();
    const CRect visible = VisibleArea(pTo);
    Command(pTo, ID_EDIT_PASTE);

    ASSERT_TRUE(m_boxes.empty());
    const std::vector<CDrawObj*> pasted = Selected(pTo);
    ASSERT_EQ(pasted.size(), 4u);
    EXPECT_EQ(pTo->GetObjects().GetCount(), 5);
    // Centred in the visible area: bounds (100, 300, 300, 100).
    const int dx = (visible.Width() - 200) / 2 + visible.left - 100;
    const int dy = visible.top - (std::abs(visible.Height()) - 200) / 2 - 300;
    const CDrawObj* originals[] = {pA, pB, pC, pD};
    for (size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        CDrawObj* pObj = pasted[i];
        CRect expected = originals[i]->m_position;
        expected.OffsetRect(dx, dy);
        EXPECT_EQ(pObj->m_position, expected);
        EXPECT_EQ(pObj->m_wFlags & OBJ_FLAG_LOCKED, 0);
        EXPECT_EQ(pObj->m_pSurface, pTo);
        EXPECT_EQ(pObj->m_pDocument, pDoc);
    }
    // Field by field: the records are equal once moved back and locked as
    // the original was.
    for (size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        CDrawObj* pObj = pasted[i];
        const WORD wGroup = pObj->m_wObjectWord;
        const WORD wFlags = pObj->m_wFlags;
        CRect rect = pObj->m_position;
        pObj->m_position.OffsetRect(-dx, -dy);
        pObj->m_rectUnrotated.OffsetRect(-dx, -dy);
        pObj->m_wObjectWord = originals[i]->m_wObjectWord;
        pObj->m_wFlags = originals[i]->m_wFlags;
        EXPECT_EQ(RecordOf(pObj, pDoc), RecordOf(const_cast<CDrawObj*>(originals[i]), pFrom->GetDocument()));
        pObj->m_position = rect;
        pObj->m_rectUnrotated.OffsetRect(dx, dy);
        pObj->m_wObjectWord = wGroup;
        pObj->m_wFlags = wFlags;
    }
    EXPECT_EQ(pasted[0]->GetText(), "alpha");
    // Two groups stay two, each with a number the surface did not use.
    EXPECT_EQ(pasted[0]->m_wObjectWord, pasted[1]->m_wObjectWord);
    EXPECT_EQ(pasted[2]->m_wObjectWord, pasted[3]->m_wObjectWord);
    EXPECT_NE(pasted[0]->m_wObjectWord, pasted[2]->m_wObjectWord);
    EXPECT_NE(pasted[0]->m_wObjectWord, pThere->m_wObjectWord);
    EXPECT_NE(pasted[2]->m_wObjectWord, pThere->m_wObjectWord);
    EXPECT_NE(pasted[0]->m_wObjectWord, 0);
    EXPECT_NE(pasted[2]->m_wObjectWord, 0);

    // One paste step per object; undoing them takes the copies away.
    EXPECT_EQ(pDoc->GetUndoList().GetCount(), nSteps + 4);
    CString strPaste;
    strPaste.LoadString(IDS_UNDO_PASTE);
    EXPECT_EQ(pDoc->GetUndoList().GetUndoLabel(), strPaste);
    for (int i = 0; i < 4; ++i)
        pDoc->GetUndoList().Undo(pDoc);
    EXPECT_EQ(pTo->GetObjects().GetCount(), 1);
    // The source is as it was.
    EXPECT_EQ(pFrom->GetObjects().GetCount(), 4);
    EXPECT_NE(pD->m_wFlags & OBJ_FLAG_LOCKED, 0);
}

TEST_F(SurfaceClipboardTest, PasteCentresTheSetInTheVisiblePartOfTheSurface)
{
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    // A page smaller than the client area is centred in it, so the visible
    // area is (-500, 400, 500, -400) for a client of 1000 x 800 units.
    const int ppi = ScreenPpi(LOGPIXELSX);
    pView->SetPageSize(800, 600);
    Pump();
    SetClientSize(pView, MulDiv(1000, ppi, 100), MulDiv(800, ppi, 100));
    const CRect visible = VisibleArea(pView);
    ASSERT_EQ(visible, CRect(-500, 400, 500, -400))
        << visible.left << ", " << visible.top << ", " << visible.right << ", " << visible.bottom;

    CDrawRect* pA = AddRect(pView, CRect(100, 300, 200, 200));
    CDrawRect* pB = AddRect(pView, CRect(250, 150, 300, 100));
    pView->SelectObjects({pA, pB}, FALSE);
    Command(pView, ID_EDIT_COPY);
    Command(pView, ID_EDIT_PASTE);
    const std::vector<CDrawObj*> pasted = Selected(pView);
    ASSERT_EQ(pasted.size(), 2u);
    EXPECT_EQ(pasted[0]->m_position, CRect(-100, 100, 0, 0));
    EXPECT_EQ(pasted[1]->m_position, CRect(50, -50, 100, -100));
}

TEST_F(SurfaceClipboardTest, PasteIntoTwoObjectsTakesTheirPlacesInSelectionOrder)
{
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    CDrawRect* p1 = AddRect(pView, CRect(-400, 400, -300, 300));
    CDrawRect* p2 = AddRect(pView, CRect(-250, 400, -200, 350));
    CDrawRect* p3 = AddRect(pView, CRect(-150, 400, -100, 300));
    pView->SelectObjects({p1, p2, p3}, FALSE);
    Command(pView, ID_EDIT_COPY);

    const CRect first(300, -100, 400, -300);
    const CRect second(100, -200, 150, -250);
    CDrawRect* pSecond = AddRect(pView, second);
    CDrawRect* pFirst = AddRect(pView, first);
    CDrawDoc* pDoc = pView->GetDocument();
    const int nSteps = pDoc->GetUndoList().GetCount();
    pView->Select(pFirst);
    pView->Select(pSecond, TRUE);
    Command(pView, ID_EDIT_PASTE_INTO);

    EXPECT_TRUE(m_boxes.empty());
    EXPECT_EQ(pView->GetObjects().GetCount(), 6);
    const std::vector<CDrawObj*> pasted = Selected(pView);
    ASSERT_EQ(pasted.size(), 3u);
    EXPECT_EQ(pasted[0]->m_position, first);
    EXPECT_EQ(pasted[1]->m_position, second);
    // The third has no place to take: it stays centred with the set.
    const CRect visible = VisibleArea(pView);
    const int dx = (visible.Width() - 300) / 2 + visible.left + 400;
    const int dy = visible.top - (std::abs(visible.Height()) - 100) / 2 - 400;
    EXPECT_EQ(pasted[2]->m_position, CRect(-150 + dx, 400 + dy, -100 + dx, 300 + dy));
    // The deletion and the three pastes are one run of steps.
    EXPECT_EQ(pDoc->GetUndoList().GetCount(), nSteps + 4);
    EXPECT_EQ(pDoc->GetUndoList().GetUndoLabel(), "paste into");
    EXPECT_FALSE(pView->m_bPasteInto);
    EXPECT_FALSE(g_bUndoGrouping);
}

TEST_F(SurfaceClipboardTest, CutCopiesThenDeletesUnlessTheFirstObjectIsLocked)
{
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    CDrawRect* pA = AddRect(pView, CRect(-100, 100, 0, 0));
    CDrawRect* pB = AddRect(pView, CRect(10, 100, 100, 0));
    pB->m_wFlags |= OBJ_FLAG_LOCKED;
    pView->SelectObjects({pB, pA}, FALSE);
    EXPECT_FALSE(IsEnabled(pView, ID_EDIT_CUT));
    EXPECT_TRUE(IsEnabled(pView, ID_EDIT_COPY));

    pView->SelectObjects({pA, pB}, FALSE);
    ASSERT_TRUE(IsEnabled(pView, ID_EDIT_CUT));
    CDrawDoc* pDoc = pView->GetDocument();
    const int nSteps = pDoc->GetUndoList().GetCount();
    Command(pView, ID_EDIT_CUT);
    EXPECT_EQ(pView->GetObjects().GetCount(), 0);
    EXPECT_TRUE(ClipboardHas(CSurface::GetPrivateFormat()));
    EXPECT_EQ(pDoc->GetUndoList().GetCount(), nSteps + 1);
    Command(pView, ID_EDIT_PASTE);
    EXPECT_EQ(pView->GetObjects().GetCount(), 2);
}

// ---- Text ------------------------------------------------------------------------------------------

TEST_F(SurfaceClipboardTest, OneTextObjectAlsoGivesItsPlainTextAndAnEmptyTextNone)
{
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    CDrawRect* pText = AddRect(pView, CRect(-300, 300, 300, 100));
    pText->SetText("Hello there", TRUE);
    pView->Select(pText);
    Command(pView, ID_EDIT_COPY);
    const Bytes text = ClipboardBytes(CF_TEXT);
    EXPECT_EQ(text.size(), 12u);
    EXPECT_EQ(std::string(text.begin(), text.end()), std::string("Hello there", 12));

    CDrawRect* pEmpty = AddRect(pView, CRect(-300, 0, 300, -100));
    pEmpty->SetText("", TRUE);
    pView->Select(pEmpty);
    Command(pView, ID_EDIT_COPY);
    EXPECT_TRUE(ClipboardHas(CSurface::GetPrivateFormat()));
    EXPECT_FALSE(ClipboardHas(CF_TEXT));

    // Two objects give no text, whatever they hold.
    pView->SelectObjects({pText, pEmpty}, FALSE);
    Command(pView, ID_EDIT_COPY);
    EXPECT_FALSE(ClipboardHas(CF_TEXT));
}

// ---- Paste enabling --------------------------------------------------------------------------------

TEST_F(SurfaceClipboardTest, PasteIsEnabledByEveryFormatItTakesExceptADibAlone)
{
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    CClientDC screen(nullptr);
    auto bitmap = [&] { return HANDLE(::CreateCompatibleBitmap(screen.GetSafeHdc(), 4, 4)); };
    auto block = [] { return HANDLE(BlockOfBytes(Bytes{'a', 0})); };
    auto emf = [&] { return HANDLE(EmptyEnhMetaFile()); };
    auto wmf = [&] { return HANDLE(MetaFilePict(EmptyMetaFile(), 1000, 1000)); };
    struct Case {
        const char* name;
        std::vector<std::pair<UINT, HANDLE>> formats;
        BOOL bEnabled;
    };
    const Case cases[] = {
        {"empty", {}, FALSE},
        {"dib alone", {{CF_DIB, block()}}, FALSE},
        {"text", {{CF_TEXT, block()}}, TRUE},
        {"bitmap", {{CF_BITMAP, bitmap()}}, TRUE},
        {"metafile", {{CF_METAFILEPICT, wmf()}}, TRUE},
        {"enhanced metafile", {{CF_ENHMETAFILE, emf()}}, TRUE},
        {"private", {{CSurface::GetPrivateFormat(), block()}}, TRUE},
        {"dib and unknown", {{CF_DIB, block()}, {CF_RIFF, block()}}, FALSE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(::OpenClipboard(NULL));
        ::EmptyClipboard();
        for (const auto& [cf, h] : c.formats)
            ::SetClipboardData(cf, h);
        ::CloseClipboard();
        EXPECT_EQ(pView->CanPaste(), c.bEnabled);
        EXPECT_EQ(IsEnabled(pView, ID_EDIT_PASTE), c.bEnabled);
        EXPECT_EQ(IsEnabled(pView, ID_EDIT_PASTE_SPECIAL), c.bEnabled);
    }

    // While text is typed only text can be pasted into it.
    CDrawRect* pText = AddRect(pView, CRect(-300, 300, 300, 100));
    pText->SetText("typing", TRUE);
    pView->Select(pText);
    pView->SendMessage(WM_COMMAND, ID_EDIT_SELECTION_TEXT);
    ASSERT_TRUE(pText->IsTextEditActive());
    SetClipboard({{CSurface::GetPrivateFormat(), block()}});
    EXPECT_FALSE(pView->CanPaste());
    SetClipboard({{CF_TEXT, block()}});
    EXPECT_TRUE(pView->CanPaste());
    // Printing waits for the edit to end.
    EXPECT_FALSE(IsEnabled(pView, ID_FILE_PRINT));
    EXPECT_FALSE(IsEnabled(pView, ID_FILE_PRINT_PREVIEW));
    pText->EndTextEdit();
    EXPECT_TRUE(IsEnabled(pView, ID_FILE_PRINT));
}

// ---- Damaged clips ---------------------------------------------------------------------------------

TEST_F(SurfaceClipboardTest, ADamagedClipShowsTheFailureAndChangesNothing)
{
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    CDrawRect* pA = AddRect(pView, CRect(-100, 100, 0, 0));
    pA->SetText("text", TRUE);
    CDrawRect* pB = AddRect(pView, CRect(10, 100, 100, 0), SHAPE_STAR);
    pB->m_wObjectWord = 3;
    pView->SelectObjects({pA, pB}, FALSE);
    Command(pView, ID_EDIT_COPY);
    Bytes good = ClipboardBytes(CSurface::GetPrivateFormat());
    // The block is padded to its growth step; the list ends before that.
    const size_t nLength = RecordOf(&pView->GetSelection(), pView->GetDocument()).size();
    ASSERT_LE(nLength, good.size());
    good.resize(nLength);

    auto classTag = [](const std::string& name) {
        Bytes b = {0xFF, 0xFF, 0x01, 0x00, BYTE(name.size()), 0x00};
        for (char c : name)
            b.push_back(BYTE(c));
        return b;
    };
    std::vector<std::pair<std::string, Bytes>> clips;
    for (size_t n : {size_t(0), size_t(1), size_t(2), size_t(8), nLength / 2, nLength - 1})
        clips.push_back({"truncated at " + std::to_string(n), Bytes(good.begin(), good.begin() + long(n))});
    {
        Bytes foreign = {0x01, 0x00};
        const Bytes tag = classTag("CSurfaceInfo");
        Append(foreign, tag);
        foreign.resize(foreign.size() + 64, 0);
        clips.push_back({"a class that is no drawing object", foreign});
    }
    {
        Bytes unknown = {0x01, 0x00};
        const Bytes tag = classTag("CNoSuchClass");
        Append(unknown, tag);
        clips.push_back({"an unknown class", unknown});
    }
    {
        // The good objects, then a count far beyond what follows.
        Bytes huge = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F};
        Append(huge, good.begin() + 2, good.end());
        clips.push_back({"a huge count", huge});
    }
    {
        // The second object refers back to the first (object index 2, after
        // its class's 1).
        CDrawRect plain(CRect(0, 10, 10, 0));
        Bytes twice = {0x02, 0x00};
        const Bytes tag = classTag("CDrawRect");
        Append(twice, tag);
        const WORD wSchema = RUNTIME_CLASS(CDrawRect)->m_wSchema;
        twice[4] = BYTE(wSchema);
        twice[5] = BYTE(wSchema >> 8);
        const Bytes record = RecordOf(&plain, pView->GetDocument());
        Append(twice, record);
        twice.push_back(0x02);
        twice.push_back(0x00);
        clips.push_back({"one object twice", twice});
    }

    CDrawDoc* pDoc = pView->GetDocument();
    const int nSteps = pDoc->GetUndoList().GetCount();
    for (const auto& [name, bytes] : clips) {
        SCOPED_TRACE(name);
        m_boxes.clear();
        SetClipboard({{CSurface::GetPrivateFormat(), BlockOfBytes(bytes)}, {CF_TEXT, BlockOfBytes(Bytes{'x', 0})}});
        Command(pView, ID_EDIT_PASTE);
        ASSERT_EQ(m_boxes.size(), 1u);
        EXPECT_EQ(CString(m_boxes[0].c_str()), Text103());
        EXPECT_EQ(pView->GetObjects().GetCount(), 2);
        EXPECT_EQ(pView->GetSelection().GetCount(), 0);
        EXPECT_EQ(pDoc->GetUndoList().GetCount(), nSteps);
    }

    // The untouched clip still pastes.
    m_boxes.clear();
    SetClipboard({{CSurface::GetPrivateFormat(), BlockOfBytes(good)}});
    Command(pView, ID_EDIT_PASTE);
    EXPECT_TRUE(m_boxes.empty());
    EXPECT_EQ(pView->GetObjects().GetCount(), 4);
}

// ---- Standard formats --------------------------------------------------------------------------------

// The pixels of a bitmap as 0x00RRGGBB values, row by row from the top.
std::vector<DWORD> PixelsOf(HBITMAP hBitmap, int& cx, int& cy)
{
    BITMAP bm{};
    ::GetObject(hBitmap, sizeof bm, &bm);
    cx = bm.bmWidth;
    cy = bm.bmHeight;
    std::vector<DWORD> pixels(size_t(cx) * size_t(cy));
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = cx;
    bi.bmiHeader.biHeight = -cy;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    CClientDC screen(nullptr);
    ::GetDIBits(screen.GetSafeHdc(), hBitmap, 0, UINT(cy), pixels.data(), &bi, DIB_RGB_COLORS);
    for (DWORD& p : pixels)
        p &= 0xFFFFFF;
    return pixels;
}

// The share of pixels that differ between two bitmaps of one size; 1 when
// the sizes differ.
double Mismatch(HBITMAP hA, HBITMAP hB)
{
    int ax = 0, ay = 0, bx = 0, by = 0;
    const std::vector<DWORD> a = PixelsOf(hA, ax, ay);
    const std::vector<DWORD> b = PixelsOf(hB, bx, by);
    if (ax != bx || ay != by || a.empty())
        return 1.0;
    size_t nDiffer = 0;
    for (size_t i = 0; i < a.size(); ++i)
        nDiffer += a[i] != b[i] ? 1 : 0;
    return double(nDiffer) / double(a.size());
}

// The mean difference of the colour channels of two bitmaps of one size,
// 0..255; 255 when the sizes differ. Stretched rasters are smoothed, so
// their pixels are near, not equal.
double MeanDifference(HBITMAP hA, HBITMAP hB)
{
    int ax = 0, ay = 0, bx = 0, by = 0;
    const std::vector<DWORD> a = PixelsOf(hA, ax, ay);
    const std::vector<DWORD> b = PixelsOf(hB, bx, by);
    if (ax != bx || ay != by || a.empty())
        return 255.0;
    double sum = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        for (int shift : {0, 8, 16})
            sum += std::abs(int((a[i] >> shift) & 0xFF) - int((b[i] >> shift) & 0xFF));
    }
    return sum / double(a.size() * 3);
}

// A bitmap of cx x cy in the paper's white with the painter's drawing.
template <class Paint>
HBITMAP PaintedBitmap(int cx, int cy, Paint paint)
{
    CClientDC screen(nullptr);
    CDC dc;
    dc.CreateCompatibleDC(&screen);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(&screen, cx, cy);
    CBitmap* pOld = dc.SelectObject(&bitmap);
    dc.FillSolidRect(CRect(0, 0, cx, cy), RGB(255, 255, 255));
    paint(dc);
    dc.SelectObject(pOld);
    return static_cast<HBITMAP>(bitmap.Detach());
}

std::vector<std::string> TestFiles(const char* folder, const char* extension)
{
    std::vector<std::string> files;
    const std::string dir = std::string(THREADWICK_TESTDATA_DIR) + "/" + folder;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(dir, error)) {
        const std::string path = entry.path().string();
        if (path.size() > 4 && strcasecmp(path.c_str() + path.size() - 4, extension) == 0)
            files.push_back(path);
    }
    std::sort(files.begin(), files.end());
    return files;
}

// Whether the metafile sets its own window extent. One that does not leaves
// its scale to whoever plays it, so two players may rightly differ.
bool SetsItsOwnWindow(HMETAFILE hMF)
{
    const UINT nSize = ::GetMetaFileBitsEx(hMF, 0, NULL);
    std::vector<BYTE> bits(nSize);
    if (nSize < 18 || ::GetMetaFileBitsEx(hMF, nSize, bits.data()) != nSize)
        return false;
    size_t at = size_t(bits[2] | (bits[3] << 8)) * 2;
    while (at + 6 <= bits.size()) {
        const size_t words = size_t(bits[at]) | size_t(bits[at + 1]) << 8 | size_t(bits[at + 2]) << 16
            | size_t(bits[at + 3]) << 24;
        const WORD function = WORD(bits[at + 4] | (bits[at + 5] << 8));
        if (function == 0x020C)
            return true;
        if (words < 3 || function == 0)
            return false;
        at += words * 2;
    }
    return false;
}

class SurfacePasteFormatsTest : public SurfaceClipboardTest {
protected:
    // Pastes what the clipboard holds (also when the menu item would be
    // disabled); the one object made, or null.
    CDrawObj* PasteOne(CSurface* pView)
    {
        m_boxes.clear();
        pView->OnEditPaste();
        Pump();
        if (!m_boxes.empty() || pView->GetSelection().GetCount() != 1)
            return nullptr;
        return static_cast<CDrawObj*>(pView->GetSelection().GetHead());
    }

    // The object as the view draws it alone, in the white paper's colour.
    static HBITMAP ObjectPicture(CSurface* pView, CDrawObj* pObj)
    {
        CObList list;
        list.AddTail(pObj);
        CBitmap bitmap;
        if (!pView->DrawObjectsToBitmap(&bitmap, &list, FALSE, 0))
            return NULL;
        return static_cast<HBITMAP>(bitmap.Detach());
    }

    // Pastes the picture the clipboard holds and expects the object, as the
    // view draws it, to match play drawing the same picture straight into a
    // bitmap of the object's size; then clears the surface again.
    template <class Play>
    void ExpectPastedPictureMatches(CSurface* pView, Play play)
    {
        CDrawObj* pObj = PasteOne(pView);
        ASSERT_NE(pObj, nullptr);
        ASSERT_TRUE(pObj->HasPicture());
        HBITMAP hObject = ObjectPicture(pView, pObj);
        int cx = 0, cy = 0;
        PixelsOf(hObject, cx, cy);
        HBITMAP hDirect = PaintedBitmap(cx, cy, [&](CDC& dc) { play(dc.GetSafeHdc(), CRect(0, 0, cx, cy)); });
        EXPECT_LT(Mismatch(hObject, hDirect), 0.01);
        ::DeleteObject(hObject);
        ::DeleteObject(hDirect);
        pView->SendMessage(WM_COMMAND, ID_EDIT_CLEAR);
    }
};

TEST_F(SurfacePasteFormatsTest, EachEnhancedMetafilePastesAsAPictureOfItsOwnPixels)
{
    if (!testing_support::TestDataPresent())
        GTEST_SKIP() << testing_support::TestDataMissingNote();
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    int nPasted = 0;
    for (const std::string& path : TestFiles("emf", ".emf")) {
        SCOPED_TRACE(path);
        HENHMETAFILE hEmf = ::GetEnhMetaFile(platform::WindowsPathFor(path).c_str());
        if (hEmf == NULL)
            continue;
        HENHMETAFILE hCopy = ::GetEnhMetaFile(platform::WindowsPathFor(path).c_str());
        SetClipboard({{CF_ENHMETAFILE, hCopy}});
        ExpectPastedPictureMatches(
            pView, [&](HDC hdc, const CRect& rect) { ::PlayEnhMetaFile(hdc, hEmf, &rect); });
        ::DeleteEnhMetaFile(hEmf);
        if (HasFatalFailure())
            return;
        ++nPasted;
    }
    EXPECT_GT(nPasted, 0);
}


TEST_F(SurfacePasteFormatsTest, EachMetafilePictPastesAsAPictureOfItsOwnPixels)
{
    if (!testing_support::TestDataPresent())
        GTEST_SKIP() << testing_support::TestDataMissingNote();
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    int nPasted = 0;
    for (const std::string& path : TestFiles("wmf", ".wmf")) {
        SCOPED_TRACE(path);
        const std::string windows = platform::WindowsPathFor(path);
        HMETAFILE hMF = ::GetMetaFile(windows.c_str());
        if (hMF == NULL)
            continue;
        if (!SetsItsOwnWindow(hMF)) {
            ::DeleteMetaFile(hMF);
            continue;
        }
        // The extent a placeable header gives, in hundredths of a millimetre.
        METAFILEPICT mfp{MM_ANISOTROPIC, 0, 0, hMF};
        platform::PlaceableMetaHeader header;
        if (platform::GetMetaFilePlaceableHeader(hMF, &header)) {
            const SIZE size = platform::PlaceableMetaSize(header, 2540);
            mfp.xExt = size.cx;
            mfp.yExt = size.cy;
        }
        SetClipboard({{CF_METAFILEPICT, MetaFilePict(::GetMetaFile(windows.c_str()), mfp.xExt, mfp.yExt)}});
        ExpectPastedPictureMatches(
            pView, [&](HDC hdc, const CRect& rect) { platform::PlayMetaFilePict(hdc, mfp, rect); });
        ::DeleteMetaFile(hMF);
        if (HasFatalFailure())
            return;
        ++nPasted;
    }
    EXPECT_GT(nPasted, 0);
}

// A BMP file's packed DIB (the file less its 14-byte header).
Bytes PackedDibOfFile(const std::string& path)
{
    const std::string file = testing_support::ReadFileBytes(path);
    return file.size() > 14 ? Bytes(file.begin() + 14, file.end()) : Bytes();
}

TEST_F(SurfacePasteFormatsTest, ABitmapPastesThroughTheDibAndThroughTheBitmapFormat)
{
    if (!testing_support::TestDataPresent())
        GTEST_SKIP() << testing_support::TestDataMissingNote();
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    const std::string dir = std::string(THREADWICK_TESTDATA_DIR) + "/bmp/";
    for (const char* name : {"github-haraldk_TwelveMonkeys__blauesglas_24.bmp", "src-pillow__hopper.bmp",
             "github-haraldk_TwelveMonkeys__blauesglas_8.bmp"}) {
        SCOPED_TRACE(name);
        const Bytes dib = PackedDibOfFile(dir + name);
        ASSERT_GT(dib.size(), sizeof(BITMAPINFOHEADER));
        const auto* pInfo = reinterpret_cast<const BITMAPINFO*>(dib.data());
        const BITMAPINFOHEADER& bih = pInfo->bmiHeader;
        size_t nColors = bih.biClrUsed != 0 ? bih.biClrUsed : (bih.biBitCount <= 8 ? size_t(1) << bih.biBitCount : 0);
        const BYTE* pBits = dib.data() + bih.biSize + nColors * sizeof(RGBQUAD);
        auto direct = [&](int cx, int cy) {
            return PaintedBitmap(cx, cy, [&](CDC& dc) {
                dc.SetStretchBltMode(COLORONCOLOR);
                ::StretchDIBits(dc.GetSafeHdc(), 0, 0, cx, cy, 0, 0, bih.biWidth, std::abs(bih.biHeight), pBits, pInfo,
                    DIB_RGB_COLORS, SRCCOPY);
            });
        };

        SetClipboard({{CF_DIB, BlockOfBytes(dib)}});
        CDrawObj* pObj = PasteOne(pView);
        ASSERT_NE(pObj, nullptr);
        HBITMAP hObject = ObjectPicture(pView, pObj);
        int cx = 0, cy = 0;
        PixelsOf(hObject, cx, cy);
        HBITMAP hDirect = direct(cx, cy);
        EXPECT_LT(MeanDifference(hObject, hDirect), 8.0) << "through CF_DIB";
        ::DeleteObject(hObject);
        pView->SendMessage(WM_COMMAND, ID_EDIT_CLEAR);

        CClientDC screen(nullptr);
        HBITMAP hBitmap = ::CreateDIBitmap(screen.GetSafeHdc(), &bih, CBM_INIT, pBits, pInfo, DIB_RGB_COLORS);
        ASSERT_NE(hBitmap, nullptr);
        SetClipboard({{CF_BITMAP, hBitmap}});
        pObj = PasteOne(pView);
        ASSERT_NE(pObj, nullptr);
        hObject = ObjectPicture(pView, pObj);
        EXPECT_LT(MeanDifference(hObject, hDirect), 8.0) << "through CF_BITMAP";
        ::DeleteObject(hObject);
        ::DeleteObject(hDirect);
        pView->SendMessage(WM_COMMAND, ID_EDIT_CLEAR);
    }
}

TEST_F(SurfacePasteFormatsTest, TextBesideAPictureNamesItsFileOnlyWhenThatIsARegularFile)
{
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    const std::string dir = testing_support::MakeTempDir("clipname");
    const std::string regular = dir + "/picture.bmp";
    testing_support::WriteFileBytes(regular, "BM not really a picture");
    const std::string fifo = dir + "/pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    auto text = [](const std::string& s) {
        Bytes bytes(s.begin(), s.end());
        bytes.push_back(0);
        return BlockOfBytes(bytes);
    };
    struct Case {
        std::string name;
        HGLOBAL hText;
        CString expected; // the picture's file afterwards
    };
    const CString regularWindows = platform::WindowsPathFor(regular).c_str();
    Bytes unterminated(300, 'a');
    std::copy(regular.begin(), regular.end(), unterminated.begin());
    const Case cases[] = {
        {"a regular file", text(regular), regularWindows},
        {"its Windows form", text(std::string(regularWindows)), regularWindows},
        {"a fifo", text(fifo), ""},
        {"a folder", text(dir), ""},
        {"a device", text("/dev/zero"), ""},
        {"a missing file", text(dir + "/none.bmp"), ""},
        {"text without its end", BlockOfBytes(unterminated), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetClipboard({{CF_DIB, GreyDib(1, 1)}, {CF_TEXT, c.hText}});
        CDrawObj* pObj = PasteOne(pView);
        ASSERT_NE(pObj, nullptr);
        ASSERT_TRUE(pObj->HasPicture());
        if (c.expected.IsEmpty()) {
            EXPECT_NE(pObj->GetPictureFileName().CompareNoCase(CString(platform::WindowsPathFor(fifo).c_str())), 0);
            EXPECT_NE(pObj->m_wFlags & OBJ_FLAG_MEMORY_PICTURE, 0);
        } else {
            EXPECT_EQ(pObj->GetPictureFileName(), c.expected);
            EXPECT_EQ(pObj->m_wFlags & OBJ_FLAG_MEMORY_PICTURE, 0);
            EXPECT_TRUE(pObj->IsPictureEmbedded());
        }
        pView->SendMessage(WM_COMMAND, ID_EDIT_CLEAR);
    }
    std::filesystem::remove_all(dir);
}

TEST_F(SurfacePasteFormatsTest, TheCopiedPictureHasTheSelectionsSizeOnTheScreenAtAnyZoom)
{
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    CDrawRect* pObj = AddRect(pView, CRect(-100, 200, 300, -50));
    pObj->m_bFill = TRUE;
    pObj->m_logbrush.lbStyle = BS_SOLID;
    pObj->m_logbrush.lbColor = RGB(200, 0, 0);
    for (int nZoom : {50, 100, 200, 400}) {
        SCOPED_TRACE(nZoom);
        pView->GetDocument()->SetZoom(WORD(nZoom));
        Pump();
        pView->Select(pObj);
        Command(pView, ID_EDIT_COPY);
        ASSERT_TRUE(::OpenClipboard(NULL));
        HBITMAP hBitmap = static_cast<HBITMAP>(::GetClipboardData(CF_BITMAP));
        BITMAP bm{};
        ::GetObject(hBitmap, sizeof bm, &bm);
        int cx = 0, cy = 0;
        const std::vector<DWORD> pixels = PixelsOf(hBitmap, cx, cy);
        ::CloseClipboard();
        CRect device = pObj->m_position;
        pView->LPtoDPRect(&device);
        EXPECT_EQ(bm.bmWidth, device.Width());
        EXPECT_EQ(bm.bmHeight, device.Height());
        // Filled to its far corner: nothing of the object is cut off.
        ASSERT_FALSE(pixels.empty());
        EXPECT_EQ(pixels[pixels.size() / 2 + size_t(cx) / 2], 0x00C80000u);
        EXPECT_EQ(pixels[pixels.size() - size_t(cx) - 2], 0x00C80000u);
    }
}


// ---- Embedded objects ------------------------------------------------------------------------------

// An embedded item as inserting an object leaves it: its storage
// "Embedding <n>" under the design's root with what its program wrote.
class CStoredItem : public CDrawItem {
public:
    using CDrawItem::CDrawItem;

    bool MakeStorage(CDrawDoc* pDoc)
    {
        m_dwItemNumber = pDoc->GetNewItemNumber();
        m_nItemType = OT_EMBEDDED;
        const std::u16string name = u"Embedding " + platform::Utf16From1252(std::to_string(m_dwItemNumber));
        IStorage* pStorage = nullptr;
        if (pDoc->m_lpRootStg == nullptr
            || FAILED(pDoc->m_lpRootStg->CreateStorage(reinterpret_cast<const OLECHAR*>(name.c_str()),
                STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_CREATE, 0, 0, &pStorage)))
            return false;
        const CLSID clsid = {0x0003000C, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
        WriteClassStg(pStorage, clsid);
        IStorage* pInner = nullptr;
        using testing_support::WriteWholeStream;
        const bool bWritten = WriteWholeStream(pStorage, u"CONTENTS", std::string(3000, 'n') + "native data")
            && WriteWholeStream(pStorage, u"\x01Ole", std::string("\x01\x00\x00\x02", 4) + std::string(16, '\0'))
            && SUCCEEDED(pStorage->CreateStorage(reinterpret_cast<const OLECHAR*>(u"ObjectPool"),
                STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_CREATE, 0, 0, &pInner))
            && WriteWholeStream(pInner, u"Part", "inner part");
        if (pInner != nullptr) {
            pInner->Commit(STGC_DEFAULT);
            pInner->Release();
        }
        pStorage->Commit(STGC_DEFAULT);
        m_lpStorage = pStorage;
        m_nItemState = loadedState;
        return bWritten;
    }
};

// Each "Embedding <n>" of a compound file as python3-olefile reads it: one
// line per element below it, with a stream's length and a digest of its
// bytes; false when olefile is not there or fails.
bool EmbeddingsOf(const std::string& hostPath, std::map<std::string, std::string>& out)
{
    std::string text;
    const bool bRead = testing_support::RunOlefileScript(
        "import sys, olefile, hashlib\n"
        "ole = olefile.OleFileIO(sys.argv[1])\n"
        "for e in sorted(ole.listdir(streams=True, storages=True)):\n"
        "    if not e[0].startswith('Embedding ') or len(e) < 2:\n"
        "        continue\n"
        "    rest = '/'.join(e[1:])\n"
        "    if ole.get_type(e) == olefile.STGTY_STORAGE:\n"
        "        print(e[0] + '\\t' + rest + '\\tstorage ' + str(ole.getclsid(e)))\n"
        "    else:\n"
        "        data = ole.openstream(e).read()\n"
        "        print(e[0] + '\\t' + rest + '\\t' + str(len(data)) + ' ' + hashlib.sha1(data).hexdigest())\n"
        "for e in ole.listdir(streams=False, storages=True):\n"
        "    if len(e) == 1 and e[0].startswith('Embedding '):\n"
        "        print(e[0] + '\\t.\\tstorage ' + str(ole.getclsid(e)))\n",
        {hostPath}, text);
    if (!bRead)
        return false;
    out.clear();
    size_t at = 0;
    while (at < text.size()) {
        const size_t end = text.find('\n', at);
        const std::string line = text.substr(at, end - at);
        at = end == std::string::npos ? text.size() : end + 1;
        const size_t tab = line.find('\t');
        if (tab != std::string::npos)
            out[line.substr(0, tab)] += line.substr(tab + 1) + "\n";
    }
    return true;
}

TEST_F(SurfaceClipboardTest, AnEmbeddedObjectPastedBackGetsANewNumberAndACopyOfItsStorage)
{
    platform::InitFileSystem();
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    CDrawDoc* pDoc = pView->GetDocument();
    auto* pObj = new CDrawOleObj(CRect(-200, 200, 100, -100));
    auto* pItem = new CStoredItem(pDoc, pObj);
    ASSERT_TRUE(pItem->MakeStorage(pDoc));
    pObj->SetItem(pItem);
    pView->Add(pObj);
    const DWORD dwNumber = pItem->GetItemNumber();

    pView->Select(pObj);
    Command(pView, ID_EDIT_COPY);
    // The clip is the object's design record: it names the original item.
    const Bytes stored = RecordOf(&pView->GetSelection(), pDoc);
    const Bytes clip = ClipboardBytes(CSurface::GetPrivateFormat());
    ASSERT_GE(clip.size(), stored.size());
    EXPECT_EQ(Bytes(clip.begin(), clip.begin() + long(stored.size())), stored);

    // Twice into its own design, once into another.
    Command(pView, ID_EDIT_PASTE);
    Command(pView, ID_EDIT_PASTE);
    ASSERT_TRUE(m_boxes.empty()) << m_boxes[0];
    ASSERT_EQ(pView->GetObjects().GetCount(), 3);
    std::vector<DWORD> numbers;
    for (CDrawObj* pEach : Objects(pView)) {
        auto* pOle = dynamic_cast<CDrawOleObj*>(pEach);
        ASSERT_NE(pOle, nullptr);
        ASSERT_NE(pOle->GetItem(), nullptr);
        EXPECT_NE(pOle->GetItem()->GetStorage(), nullptr);
        numbers.push_back(pOle->GetItem()->GetItemNumber());
    }
    EXPECT_EQ(numbers[0], dwNumber);
    EXPECT_NE(numbers[1], numbers[0]);
    EXPECT_NE(numbers[2], numbers[0]);
    EXPECT_NE(numbers[2], numbers[1]);

    CSurface* pOther = NewView();
    ASSERT_NE(pOther, nullptr);
    Command(pOther, ID_EDIT_PASTE);
    ASSERT_EQ(pOther->GetObjects().GetCount(), 1);
    auto* pAway = dynamic_cast<CDrawOleObj*>(Objects(pOther)[0]);
    ASSERT_NE(pAway, nullptr);
    EXPECT_NE(pAway->GetItem()->GetStorage(), nullptr);

    const std::string dir = testing_support::MakeTempDir("clipole");
    const std::string path = dir + "/embedded.shr";
    ASSERT_TRUE(pDoc->DoSave(platform::WindowsPathFor(path).c_str()));
    std::map<std::string, std::string> embeddings;
    if (!EmbeddingsOf(path, embeddings))
        GTEST_SKIP() << "python3-olefile is not installed";
    ASSERT_EQ(embeddings.size(), 3u);
    const std::string original = embeddings["Embedding " + std::to_string(dwNumber)];
    EXPECT_NE(original.find("CONTENTS\t3011 "), std::string::npos) << original;
    EXPECT_NE(original.find("ObjectPool/Part\t10 "), std::string::npos) << original;
    for (DWORD n : {numbers[1], numbers[2]})
        EXPECT_EQ(embeddings["Embedding " + std::to_string(n)], original) << n;
    std::filesystem::remove_all(dir);
}


// ---- Every kind of object ------------------------------------------------------------------------

// Every kind of object there is on one surface, in list order. Written as
// seeds for the clipboard fuzz target when THREADWICK_CLIPBOARD_SEEDS names
// a folder.
TEST_F(SurfaceClipboardTest, EveryKindOfObjectComesBackFromTheClipboardAsItWas)
{
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    CDrawDoc* pDoc = pView->GetDocument();
    std::vector<std::pair<std::string, CDrawObj*>> kinds;
    for (int nShape = 0; nShape < SHAPE_KIND_COUNT; ++nShape) {
        CDrawRect* pShape = AddRect(pView, CRect(-400 + 20 * nShape, 400, -390 + 20 * nShape, 380), nShape);
        pShape->m_bFill = TRUE;
        pShape->m_logbrush.lbColor = RGB(10 * nShape, 0, 200);
        kinds.push_back({"shape " + std::to_string(nShape), pShape});
    }
    CDrawRect* pBlock = AddRect(pView, CRect(-300, 300, 0, 200));
    pBlock->SetText("Block text", TRUE);
    kinds.push_back({"block text", pBlock});
    CDrawRect* pWrapped = AddRect(pView, CRect(0, 300, 300, 200));
    pWrapped->SetText("Wrapped text that runs on", FALSE);
    kinds.push_back({"wrapped text", pWrapped});
    CDrawRect* pPicture = AddRect(pView, CRect(-300, 100, -100, -100));
    HGLOBAL hDib = GreyDib(2, 2);
    pPicture->SetPictureFromDib(hDib, TRUE, FALSE);
    ::GlobalFree(hDib);
    ASSERT_TRUE(pPicture->HasPicture());
    kinds.push_back({"picture", pPicture});
    CDrawRect* pCalendar = AddRect(pView, CRect(0, 100, 300, -200));
    pCalendar->m_nCalendarStart = 2460436;
    kinds.push_back({"calendar", pCalendar});
    auto* pPoly = new CDrawPoly(CRect(-300, -200, -100, -400));
    const POINT points[] = {{-300, -200}, {-100, -250}, {-200, -400}};
    ASSERT_TRUE(pPoly->SetPoints(points, 3, 3));
    pView->Add(pPoly);
    kinds.push_back({"polygon", pPoly});
    auto* pOle = new CDrawOleObj(CRect(0, -250, 200, -400));
    auto* pItem = new CStoredItem(pDoc, pOle);
    pItem->MakeStorage(pDoc);
    pOle->SetItem(pItem);
    pView->Add(pOle);
    kinds.push_back({"embedded", pOle});

    const char* pszSeeds = std::getenv("THREADWICK_CLIPBOARD_SEEDS");
    for (const auto& [name, pObj] : kinds) {
        SCOPED_TRACE(name);
        pView->Select(pObj);
        Command(pView, ID_EDIT_COPY);
        if (pszSeeds != nullptr) {
            Bytes seed = {0};
            Append(seed, ClipboardBytes(CSurface::GetPrivateFormat()));
            testing_support::WriteFileBytes(std::string(pszSeeds) + "/private-" + name,
                std::string(seed.begin(), seed.end()));
        }
        const CRect before = pObj->m_position;
        Command(pView, ID_EDIT_PASTE);
        ASSERT_TRUE(m_boxes.empty()) << m_boxes[0];
        ASSERT_EQ(pView->GetSelection().GetCount(), 1);
        CDrawObj* pCopy = static_cast<CDrawObj*>(pView->GetSelection().GetHead());
        EXPECT_EQ(pCopy->GetRuntimeClass(), pObj->GetRuntimeClass());
        // Moved back where the original lies, the copy has its record (an
        // embedded object's item number aside).
        const CSize back(before.left - pCopy->m_position.left, before.top - pCopy->m_position.top);
        OffsetObjects(pView, pView->GetSelection(), back);
        // (A picture made from memory is stored as a file image and reads
        // back saying so.)
        if (pObj != pOle && pObj != pPicture) {
            EXPECT_EQ(RecordOf(pCopy, pDoc), RecordOf(pObj, pDoc));
        }
        EXPECT_EQ(pCopy->HasPicture(), pObj->HasPicture());
        EXPECT_EQ(pCopy->GetText(), pObj->GetText());
        EXPECT_EQ(pCopy->IsCalendar(), pObj->IsCalendar());
        EXPECT_EQ(pCopy->m_position, before);
    }
}


// ---- Text being typed and the desktop ----------------------------------------------------------------

TEST_F(SurfaceClipboardTest, WhileTextIsTypedTheCommandsActOnTheTextAlone)
{
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    CDrawRect* pText = AddRect(pView, CRect(-300, 300, 300, 100));
    pText->SetText("Hello world", TRUE);
    pView->Select(pText);
    pView->SendMessage(WM_COMMAND, ID_EDIT_SELECTION_TEXT);
    ASSERT_TRUE(pText->IsTextEditActive());
    SetClipboard({{CF_DIB, BlockOfBytes(Bytes(64, 7))}});
    // Nothing selected in the text: nothing to copy or cut.
    pText->TextSetSel(0, 0);
    EXPECT_FALSE(IsEnabled(pView, ID_EDIT_COPY));
    EXPECT_FALSE(IsEnabled(pView, ID_EDIT_CUT));

    pText->TextSetSel(0, 5);
    ASSERT_TRUE(IsEnabled(pView, ID_EDIT_COPY));
    Command(pView, ID_EDIT_COPY);
    EXPECT_FALSE(ClipboardHas(CSurface::GetPrivateFormat()));
    const Bytes copied = ClipboardBytes(CF_TEXT);
    EXPECT_EQ(std::string(copied.begin(), copied.end()).c_str(), std::string("Hello"));

    // Paste replaces the selected text; no object is made.
    pText->TextSetSel(6, 11);
    Command(pView, ID_EDIT_PASTE);
    EXPECT_EQ(pView->GetObjects().GetCount(), 1);
    EXPECT_EQ(pText->GetText(), "Hello Hello");
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(SurfaceClipboardTest, APictureAnotherProgramCopiedPastesAndADamagedOneChangesNothing)
{
    if (!testing_support::TestDataPresent())
        GTEST_SKIP() << testing_support::TestDataMissingNote();
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    const std::vector<std::string> pngs = TestFiles("png", ".png");
    ASSERT_FALSE(pngs.empty());
    std::string path = pngs.front();
    for (const std::string& each : pngs) {
        if (each.find("basn2c08") != std::string::npos)
            path = each;
    }
    const std::string png = testing_support::ReadFileBytes(path);
    platform::headless::SetClipboardPicture("image/png", std::vector<unsigned char>(png.begin(), png.end()));
    EXPECT_TRUE(IsEnabled(pView, ID_EDIT_PASTE));
    Command(pView, ID_EDIT_PASTE);
    ASSERT_TRUE(m_boxes.empty()) << m_boxes[0];
    ASSERT_EQ(pView->GetSelection().GetCount(), 1);
    CDrawObj* pObj = static_cast<CDrawObj*>(pView->GetSelection().GetHead());
    EXPECT_TRUE(pObj->HasPicture());
    CDrawDoc* pDoc = pView->GetDocument();
    const int nSteps = pDoc->GetUndoList().GetCount();

    std::vector<unsigned char> damaged(png.begin(), png.begin() + long(png.size() / 2));
    damaged[20] ^= 0x5A;
    platform::headless::SetClipboardPicture("image/png", damaged);
    pView->OnEditPaste();
    Pump();
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(CString(m_boxes[0].c_str()), Text103());
    EXPECT_EQ(pView->GetObjects().GetCount(), 1);
    EXPECT_EQ(pDoc->GetUndoList().GetCount(), nSteps);

    // Text another program copied pastes as text.
    m_boxes.clear();
    platform::headless::SetClipboardText("From the desktop");
    Command(pView, ID_EDIT_PASTE);
    ASSERT_EQ(pView->GetSelection().GetCount(), 1);
    EXPECT_EQ(static_cast<CDrawObj*>(pView->GetSelection().GetHead())->GetText(), "From the desktop");
}


TEST_F(SurfaceClipboardTest, PasteSpecialOffersTheObjectsAndTheTextAndPastesTheChoice)
{
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    CDrawRect* pText = AddRect(pView, CRect(-300, 300, 300, 100));
    pText->SetText("Both ways", TRUE);
    pView->Select(pText);
    Command(pView, ID_EDIT_COPY);

    // Each choice in turn: the objects, then the text alone.
    for (const char* pszChoice : {"Threadwick Object", "Text"}) {
        SCOPED_TRACE(pszChoice);
        std::vector<std::string> listed;
        testing_support::DriveActiveWindow({OnDialogWith(IDC_PS_DISPLAYLIST, [&](HWND hDlg) {
            HWND hList = ::GetDlgItem(hDlg, IDC_PS_DISPLAYLIST);
            for (int i = 0; i < int(::SendMessage(hList, LB_GETCOUNT, 0, 0)); ++i) {
                char text[256] = {};
                ::SendMessage(hList, LB_GETTEXT, WPARAM(i), LPARAM(text));
                listed.emplace_back(text);
                if (listed.back() == pszChoice)
                    ::SendMessage(hList, LB_SETCURSEL, WPARAM(i), 0);
            }
            // Nothing here can be linked to.
            EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(hDlg, IDC_PS_PASTELINK)));
            Click(hDlg, IDOK);
        })});
        pView->OnEditPasteSpecial();
        Pump();
        EXPECT_NE(std::find(listed.begin(), listed.end(), "Threadwick Object"), listed.end());
        EXPECT_NE(std::find(listed.begin(), listed.end(), "Text"), listed.end());
        ASSERT_TRUE(m_boxes.empty()) << m_boxes[0];
        ASSERT_EQ(pView->GetSelection().GetCount(), 1);
        CDrawObj* pPasted = static_cast<CDrawObj*>(pView->GetSelection().GetHead());
        EXPECT_NE(pPasted, pText);
        EXPECT_EQ(pPasted->GetText(), "Both ways");
        // The objects keep their size; the text makes a new object on the
        // middle of the page.
        CRect middle;
        pView->GetDefaultRect(&middle, FALSE);
        EXPECT_EQ(pPasted->m_position.Width(), std::string(pszChoice) == "Text" ? middle.Width() : 600);
    }
    EXPECT_EQ(pView->GetObjects().GetCount(), 3);
}

} // namespace
} // namespace surfacetest
