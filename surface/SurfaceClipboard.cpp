// The view's clipboard commands: Copy, Cut, Paste, Paste Special and Paste
// Into, the program's own object format, the standard picture and text
// formats, and the picture of the selection that Copy offers with them.
//
// The private format carries the selected objects as the design file stores
// them: the object list's own serialisation (a count, then each object with
// its class tag), with no header of its own.

#include "surface/Surface.h"

#include "app/PrefData.h"
#include "app/main/AppMessages.h"
#include "model/DrawDoc.h"
#include "model/DrawObj.h"
#include "model/DrawOleObj.h"
#include "model/DrawPoly.h"
#include "model/DrawRect.h"
#include "model/ObjectAttributes.h"
#include "model/UndoRecording.h"
#include "platform/base/Archive.h"
#include "platform/base/Exception.h"
#include "platform/base/GlobalMemory.h"
#include "platform/base/SharedFile.h"
#include "platform/files/FileSystem.h"
#include "platform/files/HostPath.h"
#include "platform/framework/Afx.h"
#include "platform/framework/OleData.h"
#include "platform/framework/OleDialogs.h"
#include "platform/framework/OleDoc.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/GdiObject.h"
#include "platform/storage/Storage.h"
#include "platform/ui/AfxMessageBox.h"
#include "platform/ui/User.h"
#include "resources/resource.h"
#include "surface/SurfaceTool.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace {

// Registered once when the program starts, before any view exists.
const UINT CF_SURFACE_OBJECT = ::RegisterClipboardFormat("KQ Olvc 6 Object");

// The archive and the memory block both grow in steps of this size.
constexpr UINT kClipBlockStep = 4096;

// Sounds of the application's sound table.
constexpr int kSoundCopy = 14;
constexpr int kSoundPaste = 15;

// Preferences' AddlFlags bit: pictures are linked by path, not embedded.
constexpr WORD kPrefLinkPictures = 0x0004;

// A bitmap of the selection larger than this many pixels is not offered:
// the objects and the private format still go to the clipboard.
constexpr long long kMaxBitmapPixels = 64LL * 1024 * 1024;
// Clipboard text longer than this is no file name.
constexpr size_t kMaxPathText = MAX_PATH;

// The data source Copy puts on the clipboard. Besides the formats it keeps
// a copy of the storage of every embedded object copied (the private format
// names only their item numbers), so that a paste can give the new items
// storages of their own; and the private block's bytes, to know that what
// the clipboard offers is still this copy's.
class CSurfaceDataSource final : public COleDataSource, public CPastedItemSource {
public:
    ~CSurfaceDataSource() override
    {
        for (auto& [number, pStorage] : m_storages)
            pStorage->Release();
    }
    IStorage* FindItemStorage(DWORD dwItemNumber) const override
    {
        auto it = m_storages.find(dwItemNumber);
        return it != m_storages.end() ? it->second : nullptr;
    }
    // Keeps a copy of the item's storage under its number.
    void KeepItemStorage(const COleClientItem* pItem)
    {
        if (pItem == nullptr || m_storages.count(pItem->GetItemNumber()) != 0)
            return;
        if (IStorage* pCopy = CopyToTemporaryStorage(pItem->GetStorage()))
            m_storages[pItem->GetItemNumber()] = pCopy;
    }
    BOOL HoldsItemStorages() const { return !m_storages.empty(); }
    // Whether a block holds the bytes this source's private format had.
    BOOL IsSameClip(HGLOBAL hData) const
    {
        return hData != NULL && ::GlobalSize(hData) == m_nClipSize && HashOf(hData) == m_nClipHash;
    }
    void KeepClipIdentity(HGLOBAL hData)
    {
        m_nClipSize = ::GlobalSize(hData);
        m_nClipHash = HashOf(hData);
    }

private:
    static size_t HashOf(HGLOBAL hData)
    {
        const auto* p = static_cast<const char*>(::GlobalLock(hData));
        const size_t nHash = p != nullptr ? std::hash<std::string_view>()(std::string_view(p, ::GlobalSize(hData))) : 0;
        ::GlobalUnlock(hData);
        return nHash;
    }

    std::map<DWORD, IStorage*> m_storages; // one reference each
    SIZE_T m_nClipSize = 0;
    size_t m_nClipHash = 0;
};

// The text of a CF_TEXT block up to its zero, never past the block.
CString TextOfBlock(HGLOBAL hText)
{
    CString strText;
    if (hText == NULL)
        return strText;
    const SIZE_T size = ::GlobalSize(hText);
    const auto* p = static_cast<const char*>(::GlobalLock(hText));
    if (p != nullptr) {
        const size_t n = strnlen(p, size);
        strText = CString(p, static_cast<int>(std::min<size_t>(n, 0x7FFFFFFF)));
        ::GlobalUnlock(hText);
    }
    return strText;
}

// Clipboard text taken as the name of a picture file: one line naming a
// regular file (a Linux path is taken in its Windows form). Devices, pipes
// and folders are not pictures and reading them could block or never end.
CString PictureFileOfText(const CString& strText)
{
    CString strPath = strText;
    strPath.TrimLeft();
    strPath.TrimRight();
    if (strPath.IsEmpty() || static_cast<size_t>(strPath.GetLength()) > kMaxPathText
        || strPath.FindOneOf("\r\n") >= 0)
        return CString();
    if (strPath[0] == '/')
        strPath = platform::WindowsPathFor(static_cast<LPCTSTR>(strPath)).c_str();
    if (!platform::IsRegularFile(strPath))
        return CString();
    return strPath;
}

// Opens the clipboard for one command and closes it on every way out.
class ClipboardOpen {
public:
    explicit ClipboardOpen(HWND hWnd)
        : m_bOpen(::OpenClipboard(hWnd) != FALSE)
    {
    }
    ~ClipboardOpen()
    {
        if (m_bOpen)
            ::CloseClipboard();
    }
    ClipboardOpen(const ClipboardOpen&) = delete;
    ClipboardOpen& operator=(const ClipboardOpen&) = delete;
    BOOL IsOpen() const { return m_bOpen; }

private:
    BOOL m_bOpen;
};

void PostSelectionChanged()
{
    if (CWnd* pMain = AfxGetMainWnd())
        pMain->PostMessage(WM_SURFACE_SELCHANGED, 0, 0);
}

// What every paste ends with, whichever road it took. A failed paste says
// so and leaves nothing selected: whatever was made on the way is gone
// again.
void FinishPaste(CSurface* pView, BOOL bPasted)
{
    if (!bPasted) {
        pView->GetSelection().RemoveAll();
        AfxMessageBox(IDP_PASTE_FAILED);
    }
    if (CDrawDoc* pDoc = pView->GetDocument()) {
        pDoc->SetModifiedFlag(TRUE);
        if (pView->m_hWnd != NULL)
            pView->Invalidate(FALSE);
        pDoc->UpdateAllViews(NULL, CSurface::HintSelection, &pView->GetSelection());
    }
    if (bPasted)
        PlayToolSound(kSoundPaste);
    PostSelectionChanged();
}

// Paste Into deletes the selection to make room: it needs one, and locked
// objects are never deleted this way.
BOOL CanPasteInto(CSurface* pView)
{
    CObList& selection = pView->GetSelection();
    return !selection.IsEmpty() && CSurface::CountLockedObjects(selection) == 0 && pView->CanPaste();
}

} // namespace

UINT CSurface::GetPrivateFormat()
{
    return CF_SURFACE_OBJECT;
}

// ---- The picture of the selection ----------------------------------------------------------------

CRect CSurface::GetPictureArea(const CObList* pList, BOOL bWholePage)
{
    CRect area;
    if (m_pRenderArea != NULL)
        area = *m_pRenderArea;
    else if (m_bCaptureWholePage)
        area = GetPageRect();
    else if (m_rectCapture.Width() != 0 && m_rectCapture.Height() != 0)
        area = m_rectCapture;
    else if (bWholePage)
        area = GetPageRect();
    else
        area = GetObjectsBounds(pList);
    return CDrawObj::NormalizeUp(area);
}

CSize CSurface::GetPictureSize(const CRect& area)
{
    // As large as the area is on the screen at the view's zoom: in logical
    // units it would be cut off above 100 % and padded below it.
    CClientDC clientDC(this);
    OnPrepareDC(&clientDC, NULL);
    CRect device = area;
    clientDC.LPtoDP(&device);
    device.NormalizeRect();
    return CSize(std::max(1, device.Width()), std::max(1, device.Height()));
}

BOOL CSurface::DrawObjectsToBitmap(CBitmap* pBitmap, CObList* pList, BOOL bWholePage, int nExtraPixel)
{
    if (pBitmap == NULL)
        return FALSE;
    if (pList == NULL)
        pList = &m_selection;
    if (pList->IsEmpty() && !bWholePage)
        return FALSE;

    const BOOL bCaptureRect = m_rectCapture.Width() != 0 && m_rectCapture.Height() != 0;
    const CRect area = GetPictureArea(pList, bWholePage);
    const CSize size = GetPictureSize(area);
    const int nExtra = nExtraPixel > 0 ? 1 : 0;
    const int cx = size.cx + nExtra;
    const int cy = size.cy + nExtra;
    if (static_cast<long long>(cx) * cy > kMaxBitmapPixels)
        return FALSE;

    CClientDC clientDC(this);
    OnPrepareDC(&clientDC, NULL);
    CDC memDC;
    if (!memDC.CreateCompatibleDC(&clientDC))
        return FALSE;
    CBitmap bitmap;
    if (!bitmap.CreateCompatibleBitmap(&clientDC, cx, cy) && !bitmap.CreateBitmap(cx, cy, 1, 8, NULL)
        && !bitmap.CreateBitmap(cx, cy, 1, 1, NULL))
        return FALSE;
    CBitmap* pOldBitmap = memDC.SelectObject(&bitmap);
    if (pOldBitmap == NULL)
        return FALSE;

    CDrawDoc* pDoc = GetDocument();
    memDC.FillSolidRect(CRect(0, 0, cx, cy), pDoc != NULL ? pDoc->GetPaperColor() : RGB(255, 255, 255));

    OnPrepareDC(&memDC, NULL);
    CPoint corner(area.left, area.top);
    memDC.LPtoDP(&corner);
    memDC.OffsetViewportOrg(-corner.x, -corner.y);
    memDC.SetBrushOrg(((area.left % 8) + 8) % 8, ((area.top % 8) + 8) % 8);

    // In drawing order, whatever order the list has.
    const BOOL bOnlyCaptured = bCaptureRect && !m_bCaptureWholePage && m_pRenderArea == NULL;
    constexpr WORD kNotDrawn = OBJ_FLAG_GUIDE | OBJ_FLAG_TILE_HIDDEN;
    auto draw = [&](CDrawObj* pObj) {
        if (pObj == NULL || (pObj->m_wFlags & kNotDrawn) != 0)
            return;
        if (bOnlyCaptured && !pObj->Intersects(area))
            return;
        pObj->Draw(&memDC);
    };
    if (pList == &m_objects) {
        for (POSITION pos = m_objects.GetHeadPosition(); pos != NULL;)
            draw(AsDrawObj(m_objects.GetNext(pos)));
    } else {
        std::unordered_set<const CObject*> listed;
        for (POSITION pos = pList->GetHeadPosition(); pos != NULL;)
            listed.insert(pList->GetNext(pos));
        for (POSITION pos = m_objects.GetHeadPosition(); pos != NULL;) {
            CObject* pObject = m_objects.GetNext(pos);
            if (listed.erase(pObject) != 0)
                draw(AsDrawObj(pObject));
        }
        // Listed objects that lie on no surface come last, in list order.
        for (POSITION pos = pList->GetHeadPosition(); pos != NULL && !listed.empty();) {
            CObject* pObject = pList->GetNext(pos);
            if (listed.erase(pObject) != 0)
                draw(AsDrawObj(pObject));
        }
    }
    memDC.SelectObject(pOldBitmap);

    pBitmap->DeleteObject();
    pBitmap->Attach(bitmap.Detach());
    return TRUE;
}

BOOL CSurface::RenderObjectsPicture(CBitmap* pBitmap, const CRect* pArea)
{
    // While the picture is drawn, text lays itself out on a copy at the
    // picture's scale, so that the design keeps the layout the view shows.
    struct Rendering {
        CSurface& view;
        const int nOldPictureZoom;
        const CRect* const pOldArea;
        Rendering(CSurface& v, const CRect* pArea)
            : view(v)
            , nOldPictureZoom(v.m_nPictureZoom)
            , pOldArea(v.m_pRenderArea)
        {
            view.m_nPictureZoom = std::max<int>(1, view.m_nZoom);
            view.m_pRenderArea = pArea;
        }
        ~Rendering()
        {
            view.m_nPictureZoom = nOldPictureZoom;
            view.m_pRenderArea = pOldArea;
        }
        Rendering(const Rendering&) = delete;
        Rendering& operator=(const Rendering&) = delete;
    } rendering(*this, pArea);
    return DrawObjectsToBitmap(pBitmap, &m_objects, TRUE, 0);
}

// ---- Copy and Cut --------------------------------------------------------------------------------

HGLOBAL CSurface::StoreObjectsToMemory(CObList& objects)
{
    CSharedFile file(GMEM_MOVEABLE | GMEM_DDESHARE, kClipBlockStep);
    try {
        CArchive ar(&file, CArchive::store, static_cast<int>(kClipBlockStep));
        ar.m_pDocument = GetDocument();
        objects.Serialize(ar);
        ar.Close();
    } catch (CException* e) {
        e->Delete();
        return NULL;
    }
    return file.Detach();
}

void CSurface::OnEditCopy()
{
    if (CDrawObj* pEdited = GetTextEditObject()) {
        pEdited->CopyText(FALSE);
        PostSelectionChanged();
        return;
    }
    if (m_selection.IsEmpty())
        return;
    CopySelection();
    PlayToolSound(kSoundCopy);
    PostSelectionChanged();
}

BOOL CSurface::CopySelection()
{
    HGLOBAL hClip = StoreObjectsToMemory(m_selection);
    if (hClip == NULL)
        return FALSE;

    auto* pSource = new CSurfaceDataSource;
    for (POSITION pos = m_selection.GetHeadPosition(); pos != NULL;) {
        if (auto* pOle = dynamic_cast<CDrawOleObj*>(m_selection.GetNext(pos)))
            pSource->KeepItemStorage(pOle->GetItem());
    }
    if (pSource->HoldsItemStorages())
        pSource->KeepClipIdentity(hClip);
    pSource->CacheGlobalData(static_cast<CLIPFORMAT>(CF_SURFACE_OBJECT), hClip);
    CDrawObj* pSole = GetSingleSelection();
    if (auto* pOle = dynamic_cast<CDrawOleObj*>(pSole)) {
        if (pOle->GetItem() != NULL)
            pOle->GetItem()->GetClipboardData(pSource);
    }
    try {
        pSource->SetClipboard();
    } catch (CException* e) {
        e->Delete();
        delete pSource;
        return FALSE;
    }

    ClipboardOpen clipboard(m_hWnd);
    if (!clipboard.IsOpen())
        return TRUE;
    CBitmap bitmap;
    if (DrawObjectsToBitmap(&bitmap, &m_selection, FALSE, 0))
        ::SetClipboardData(CF_BITMAP, bitmap.Detach());
    if (pSole != NULL && pSole->HasText()) {
        const CString strText = pSole->GetText();
        if (!strText.IsEmpty()) {
            const size_t nLength = static_cast<size_t>(strText.GetLength());
            if (HGLOBAL hText = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, nLength + 1)) {
                if (void* p = ::GlobalLock(hText)) {
                    std::memcpy(p, static_cast<LPCTSTR>(strText), nLength);
                    ::GlobalUnlock(hText);
                    ::SetClipboardData(CF_TEXT, hText);
                } else {
                    ::GlobalFree(hText);
                }
            }
        }
    }
    return TRUE;
}

void CSurface::OnUpdateEditCopy(CCmdUI* pCmdUI)
{
    if (CDrawObj* pEdited = GetTextEditObject()) {
        pCmdUI->Enable(pEdited->HasTextSelection());
        return;
    }
    pCmdUI->Enable(!m_selection.IsEmpty());
}

void CSurface::OnEditCut()
{
    if (CDrawObj* pEdited = GetTextEditObject()) {
        pEdited->CopyText(TRUE);
        PostSelectionChanged();
        return;
    }
    if (m_selection.IsEmpty())
        return;
    CDrawObj* pSole = GetSingleSelection();
    if (pSole != NULL && pSole->IsCalendar() && pSole->m_nCalendarIndex >= 1) {
        // A selected day cell loses its content; the calendar stays.
        pSole->ClearSelectedCell();
    } else {
        CDrawObj* pFirst = AsDrawObj(m_selection.GetHead());
        if (pFirst != NULL && (pFirst->m_wFlags & OBJ_FLAG_LOCKED))
            return;
        // Nothing is deleted that did not reach the clipboard.
        if (!CopySelection())
            return;
        PlayToolSound(kSoundCopy);
        OnEditClear();
    }
    PostSelectionChanged();
}

void CSurface::OnUpdateEditCut(CCmdUI* pCmdUI)
{
    if (CDrawObj* pEdited = GetTextEditObject()) {
        pCmdUI->Enable(pEdited->HasTextSelection());
        return;
    }
    CDrawObj* pFirst = m_selection.IsEmpty() ? NULL : AsDrawObj(m_selection.GetHead());
    pCmdUI->Enable(pFirst != NULL && (pFirst->m_wFlags & OBJ_FLAG_LOCKED) == 0);
}

// ---- Paste ---------------------------------------------------------------------------------------

BOOL CSurface::CanPaste()
{
    if (GetTextEditObject() != NULL)
        return ::IsClipboardFormatAvailable(CF_TEXT);
    ClipboardOpen clipboard(m_hWnd);
    if (!clipboard.IsOpen())
        return FALSE;
    if (::IsClipboardFormatAvailable(CF_SURFACE_OBJECT))
        return TRUE;
    COleDataObject data;
    data.AttachClipboard();
    if (COleClientItem::CanCreateFromData(&data))
        return TRUE;
    // A device-independent bitmap alone does not enable Paste, although
    // Paste takes one.
    for (UINT cf : {CF_TEXT, CF_BITMAP, CF_METAFILEPICT, CF_ENHMETAFILE}) {
        if (::IsClipboardFormatAvailable(cf))
            return TRUE;
    }
    return FALSE;
}

void CSurface::OnUpdateEditPaste(CCmdUI* pCmdUI)
{
    if (GetTextEditObject() != NULL) {
        pCmdUI->Enable(TRUE);
        return;
    }
    pCmdUI->Enable(CanPaste());
}

void CSurface::OnEditPaste()
{
    if (CDrawObj* pEdited = GetTextEditObject()) {
        pEdited->PasteText();
        PostSelectionChanged();
        return;
    }
    PasteFromClipboard();
}

BOOL CSurface::PasteFromClipboard()
{
    COleDataObject data;
    data.AttachClipboard();
    if (!m_selection.IsEmpty())
        OnUpdate(NULL, HintSelection, NULL);
    EndAllTextEdits();

    BOOL bPasted = FALSE;
    if (data.IsDataAvailable(static_cast<CLIPFORMAT>(CF_SURFACE_OBJECT))) {
        bPasted = PlacePastedObjects(&data);
    } else if (InsertOleObject(&data, FALSE) != NULL) {
        bPasted = TRUE;
    } else {
        data.Release();
        data.AttachClipboard();
        bPasted = PasteWindowsFormats();
        if (bPasted) {
            TakePasteIntoRects();
            RecordPastedObjects();
        }
    }
    FinishPaste(this, bPasted);
    return bPasted;
}

void CSurface::RecordPastedObjects()
{
    CDrawDoc* pDoc = GetDocument();
    if (pDoc == NULL)
        return;
    for (POSITION pos = m_selection.GetHeadPosition(); pos != NULL;) {
        CDrawObj* pObj = AsDrawObj(m_selection.GetNext(pos));
        if (pObj != NULL)
            RecordUndoCreate(pDoc, &pObj, IDS_UNDO_PASTE);
    }
}

void CSurface::TakePasteIntoRects()
{
    if (!m_bPasteInto)
        return;
    size_t i = 0;
    for (POSITION pos = m_selection.GetHeadPosition(); pos != NULL && i < m_pasteIntoRects.size(); ++i) {
        CDrawObj* pObj = AsDrawObj(m_selection.GetNext(pos));
        if (pObj == NULL)
            continue;
        pObj->MoveTo(m_pasteIntoRects[i], this);
        pObj->Invalidate();
    }
}

BOOL CSurface::LoadObjectsFromMemory(HGLOBAL hData)
{
    if (hData == NULL)
        return FALSE;
    CDrawDoc* pDoc = GetDocument();

    // Embedded objects copied by this program take copies of the storages
    // the copy kept; see CPastedItemSource.
    const CPastedItemSource* pItems = NULL;
    if (auto* pSource = dynamic_cast<CSurfaceDataSource*>(COleDataSource::GetClipboardOwner())) {
        if (pSource->HoldsItemStorages() && pSource->IsSameClip(hData))
            pItems = pSource;
    }

    CObList loaded;
    CSharedFile file(GMEM_MOVEABLE | GMEM_DDESHARE, kClipBlockStep);
    BOOL bRead = TRUE;
    try {
        file.SetHandle(hData, FALSE);
        CPastedItemScope scope(pItems);
        CArchive ar(&file, CArchive::load, static_cast<int>(kClipBlockStep));
        ar.m_pDocument = pDoc;
        // The clip holds drawing objects and nothing else the archive
        // could be made to create.
        ar.SetAllowedClasses({RUNTIME_CLASS(CDrawObj), RUNTIME_CLASS(CDrawRect), RUNTIME_CLASS(CDrawPoly),
            RUNTIME_CLASS(CDrawOleObj), RUNTIME_CLASS(CDrawItem)});
        // As in a design, an object given twice (a back-reference) would be
        // deleted twice.
        std::unordered_set<const CObject*> seen;
        const DWORD_PTR nCount = ar.ReadCount();
        for (DWORD_PTR i = 0; i < nCount; ++i) {
            CObject* pObject = ar.ReadObject(RUNTIME_CLASS(CDrawObj));
            if (pObject == NULL)
                continue;
            if (!seen.insert(pObject).second)
                AfxThrowArchiveException(CArchiveException::badIndex, ar.m_strFileName);
            loaded.AddTail(pObject);
        }
        ar.Close();
    } catch (CException* e) {
        e->Delete();
        bRead = FALSE;
    }
    // The block is the caller's.
    file.Detach();
    if (!bRead) {
        while (!loaded.IsEmpty()) {
            CDrawObj* pObj = AsDrawObj(loaded.RemoveHead());
            if (pObj != NULL)
                pObj->m_pDocument = NULL;
            delete pObj;
        }
        return FALSE;
    }
    for (POSITION pos = loaded.GetHeadPosition(); pos != NULL;) {
        CDrawObj* pObj = AsDrawObj(loaded.GetNext(pos));
        pObj->m_wFlags &= ~WORD(OBJ_FLAG_LOCKED);
        pObj->m_pDocument = pDoc;
        m_selection.AddTail(pObj);
    }
    return TRUE;
}

BOOL CSurface::PlacePastedObjects(COleDataObject* pDataObject)
{
    if (pDataObject == NULL)
        return FALSE;
    HGLOBAL hData = pDataObject->GetGlobalData(static_cast<CLIPFORMAT>(CF_SURFACE_OBJECT));
    if (hData == NULL)
        return FALSE;
    const BOOL bLoaded = LoadObjectsFromMemory(hData);
    ::GlobalFree(hData);
    if (!bLoaded || m_selection.IsEmpty())
        return FALSE;
    PlaceLoadedSelection();
    return TRUE;
}

void CSurface::PlaceLoadedSelection()
{
    // Centred in the visible part of the surface.
    CRect client;
    if (m_hWnd != NULL)
        GetClientRect(&client);
    DPtoLPRect(&client);
    client = CDrawObj::NormalizeUp(client);
    const CRect bounds = GetObjectsBounds(&m_selection);
    const int dx = (std::abs(client.Width()) - std::abs(bounds.Width())) / 2 + client.left - bounds.left;
    const int dy = client.top - (std::abs(client.Height()) - std::abs(bounds.Height())) / 2 - bounds.top;

    // Each group pasted gets a number no object on the surface carries and
    // none given to another group of this paste, so two groups stay two.
    std::vector<bool> used(0x10000, false);
    for (POSITION pos = m_objects.GetHeadPosition(); pos != NULL;) {
        if (CDrawObj* pObj = AsDrawObj(m_objects.GetNext(pos)))
            used[pObj->m_wObjectWord] = true;
    }
    std::map<WORD, WORD> renumbered;
    WORD wNextFree = 1;
    for (POSITION pos = m_selection.GetHeadPosition(); pos != NULL;) {
        CDrawObj* pObj = AsDrawObj(m_selection.GetNext(pos));
        if (pObj == NULL || pObj->m_wObjectWord == 0)
            continue;
        auto it = renumbered.find(pObj->m_wObjectWord);
        if (it == renumbered.end()) {
            while (wNextFree != 0 && used[wNextFree])
                ++wNextFree;
            // All numbers taken: the group keeps none rather than joining
            // another.
            const WORD wNew = wNextFree;
            if (wNew != 0)
                used[wNew] = true;
            it = renumbered.emplace(pObj->m_wObjectWord, wNew).first;
        }
        pObj->m_wObjectWord = it->second;
    }

    {
        // The whole view is painted afresh for the paste: invalidated first,
        // the moves of the many objects add nothing to it.
        if (m_hWnd != NULL)
            Invalidate(FALSE);
        const CSelectionLookup lookup(this);
        OffsetObjects(this, m_selection, CSize(dx, dy));
    }
    AddPastedObjects();
    // The places of the replaced objects are taken before the steps are
    // recorded, so that a redo brings the objects back where they are now.
    TakePasteIntoRects();
    RecordPastedObjects();
}

void CSurface::AddPastedObjects()
{
    // Add's work for objects known to be new to the surface, done once for
    // all of them: a paste of many objects would otherwise look for each in
    // the whole list and recompute the extent for each.
    CDrawDoc* pDoc = GetDocument();
    for (POSITION pos = m_selection.GetHeadPosition(); pos != NULL;) {
        CDrawObj* pObj = AsDrawObj(m_selection.GetNext(pos));
        if (pObj->m_wFlags & OBJ_FLAG_BACK_LAYER)
            m_objects.AddHead(pObj);
        else
            m_objects.AddTail(pObj);
        pObj->m_pDocument = pDoc;
        pObj->m_bDetached = FALSE;
        pObj->SetSurface(this);
    }
    if (pDoc != NULL)
        pDoc->SetModifiedFlag(TRUE);
    CheckObjectExtent(NULL);
    InvalidateIfExtentChanged();
    if (m_hWnd != NULL)
        Invalidate(TRUE);
}

CDrawObj* CSurface::InsertOleObject(COleDataObject* pDataObject, BOOL bLink)
{
    // No program here can create an embedded object from clipboard data.
    (void)pDataObject;
    (void)bLink;
    return NULL;
}

BOOL CSurface::PasteWindowsFormats()
{
    ClipboardOpen clipboard(m_hWnd);
    if (!clipboard.IsOpen())
        return FALSE;
    CDrawObj* pObj = NULL;
    for (UINT cf : {CF_ENHMETAFILE, CF_METAFILEPICT, CF_DIB, CF_BITMAP}) {
        if (::IsClipboardFormatAvailable(cf) && (pObj = PasteWindowsFormat(cf)) != NULL)
            break;
    }
    if (::IsClipboardFormatAvailable(CF_TEXT)) {
        const CString strText = TextOfBlock(::GetClipboardData(CF_TEXT));
        if (pObj != NULL) {
            const CString strFile = PictureFileOfText(strText);
            if (!strFile.IsEmpty()) {
                pObj->SetPictureFileName(strFile);
                pObj->m_wFlags &= ~WORD(OBJ_FLAG_MEMORY_PICTURE);
                pObj->SetEmbedPicture((thePrefs.AddlFlags & kPrefLinkPictures) == 0);
            }
        } else if (!strText.IsEmpty()) {
            pObj = PasteWindowsFormat(CF_TEXT);
        }
    }
    return pObj != NULL;
}

CDrawObj* CSurface::PasteWindowsFormat(UINT nFormat, HANDLE hData)
{
    // Upright: a picture on the reversed rectangle new objects otherwise
    // take would show turned half round.
    CRect rect;
    GetDefaultRect(&rect, FALSE);
    if (hData == NULL)
        hData = ::GetClipboardData(nFormat);
    if (hData == NULL)
        return NULL;
    CDrawObj* pObj = NULL;
    if (nFormat == CF_TEXT) {
        const CString strText = TextOfBlock(static_cast<HGLOBAL>(hData));
        if (strText.IsEmpty())
            return NULL;
        pObj = MakeTextObject(rect, strText, NewTextFont::Default);
    } else {
        pObj = new CDrawRect(rect);
        switch (nFormat) {
        case CF_ENHMETAFILE:
            pObj->SetPictureFromEnhMetaFile(static_cast<HENHMETAFILE>(hData), TRUE, FALSE);
            break;
        case CF_METAFILEPICT: pObj->SetPictureFromMetaFilePict(static_cast<HGLOBAL>(hData), TRUE, FALSE); break;
        case CF_DIB: pObj->SetPictureFromDib(static_cast<HGLOBAL>(hData), TRUE, FALSE); break;
        case CF_BITMAP: pObj->SetPictureFromBitmap(static_cast<HBITMAP>(hData), NULL, TRUE, FALSE); break;
        default: break;
        }
        if (!pObj->HasPicture()) {
            delete pObj;
            return NULL;
        }
        pObj->m_wFlags = static_cast<WORD>((pObj->m_wFlags & ~OBJ_FLAG_NATURAL_SIZE) | OBJ_FLAG_MEMORY_PICTURE);
    }
    Add(pObj);
    m_selection.AddTail(pObj);
    return pObj;
}

// ---- Paste Special and Paste Into ------------------------------------------------------------------

void CSurface::OnEditPasteSpecial()
{
    CDrawObj* pEdited = GetTextEditObject();
    COlePasteSpecialDialog dlg(PSF_SELECTPASTE);
    if (pEdited != NULL) {
        dlg.AddFormat(CF_TEXT, TYMED_HGLOBAL, IDS_PASTE_TEXT_FORMAT, FALSE, FALSE);
    } else {
        // Nothing here can be linked to.
        dlg.AddStandardFormats(FALSE);
        dlg.AddFormat(CF_TEXT, TYMED_HGLOBAL, IDS_PASTE_TEXT_FORMAT, FALSE, FALSE);
        dlg.AddFormat(CF_SURFACE_OBJECT, TYMED_HGLOBAL, IDS_PASTE_OBJECT_FORMAT, FALSE, FALSE);
    }
    if (dlg.DoModal() != IDOK)
        return;
    const UINT cf = dlg.GetSelectedFormat();
    if (pEdited != NULL) {
        if (pEdited->IsTextEditActive())
            pEdited->PasteText();
        PostSelectionChanged();
        return;
    }

    if (!m_selection.IsEmpty())
        OnUpdate(NULL, HintSelection, NULL);
    EndAllTextEdits();
    COleDataObject data;
    data.AttachClipboard();
    BOOL bPasted = FALSE;
    if (cf == CF_SURFACE_OBJECT) {
        bPasted = PlacePastedObjects(&data);
    } else if (cf != 0 && dlg.GetSelectionType() != COlePasteSpecialDialog::pasteLink) {
        ClipboardOpen clipboard(m_hWnd);
        if (clipboard.IsOpen() && ::IsClipboardFormatAvailable(cf) && PasteWindowsFormat(cf) != NULL) {
            bPasted = TRUE;
            RecordPastedObjects();
        }
    }
    FinishPaste(this, bPasted);
}

void CSurface::OnPasteIntoSelection()
{
    if (CDrawObj* pEdited = GetTextEditObject()) {
        // The clipboard's text takes the place of the selected text.
        pEdited->PasteText();
        PostSelectionChanged();
        return;
    }
    if (!CanPasteInto(this))
        return;
    // The deletion and the paste are one run of steps that undoes together,
    // however the command ends.
    struct Grouping {
        BOOL bWas = g_bUndoGrouping;
        Grouping() { g_bUndoGrouping = TRUE; }
        ~Grouping() { g_bUndoGrouping = bWas; }
    } grouping;
    m_bPasteInto = TRUE;
    m_pasteIntoRects.clear();
    for (POSITION pos = m_selection.GetHeadPosition(); pos != NULL;) {
        if (CDrawObj* pObj = AsDrawObj(m_selection.GetNext(pos)))
            m_pasteIntoRects.push_back(pObj->m_position);
    }
    // With an undo step, so that a paste that then fails loses nothing.
    DeleteSelection(TRUE);
    PasteFromClipboard();
    m_pasteIntoRects.clear();
    m_bPasteInto = FALSE;
}

void CSurface::OnUpdatePasteIntoSelection(CCmdUI* pCmdUI)
{
    if (GetTextEditObject() != NULL) {
        pCmdUI->Enable(::IsClipboardFormatAvailable(CF_TEXT));
        return;
    }
    pCmdUI->Enable(CanPasteInto(this));
}

// ---- Printing --------------------------------------------------------------------------------------

void CSurface::OnUpdatePrint(CCmdUI* pCmdUI)
{
    // A print would show the text as it was before the edit began.
    for (POSITION pos = m_objects.GetHeadPosition(); pos != NULL;) {
        CDrawObj* pObj = AsDrawObj(m_objects.GetNext(pos));
        if (pObj != NULL && pObj->IsTextEditActive()) {
            pCmdUI->Enable(FALSE);
            return;
        }
    }
    pCmdUI->Enable(TRUE);
}
