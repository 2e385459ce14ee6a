// The remaining commands on the selected object: Properties, the one-click
// picture effects, the Shape command, the embedded-object indication and the
// link flag; the refilling of information-field text; the view as a drop
// target; and Set as Wallpaper.

#include "surface/Surface.h"

#include "app/main/AppMessages.h"
#include "app/main/DesignerApp.h"
#include "app/main/MainFrame.h"
#include "model/DrawDoc.h"
#include "model/DrawObj.h"
#include "model/ObjectAttributes.h"
#include "model/UndoRecording.h"
#include "pictures/Image.h"
#include "pictures/PictureEngine.h"
#include "platform/base/AfxResourceIds.h"
#include "platform/base/CodePage.h"
#include "platform/base/GlobalMemory.h"
#include "platform/files/FileApi.h"
#include "platform/files/FileSystem.h"
#include "platform/framework/Afx.h"
#include "platform/framework/OleData.h"
#include "platform/gdi/Metafile.h"
#include "platform/ui/User.h"
#include "resources/resource.h"
#include "surface/SurfaceGlobals.h"
#include "surface/SurfaceTool.h"

#include <cstring>
#include <utility>
#include <vector>

namespace {

BOOL IsLockedObject(const CDrawObj* pObj)
{
    return (pObj->m_wFlags & OBJ_FLAG_LOCKED) != 0;
}

// The tool a press would go to now: the selection tool while text is being
// edited, whatever tool is chosen.
int ToolInEffect()
{
    return IsTextEditMode() ? kShapeSelect : g_nCurrentShape;
}

// The effect kind of each one-click effect command.
int EffectOfCommand(UINT nID)
{
    switch (nID) {
    case ID_PICTURE_GRAYSCALE: return UndoPictureGrayscale;
    case ID_PICTURE_EMBOSS: return UndoPictureEmboss;
    case ID_PICTURE_BLUR: return UndoPictureBlur;
    case ID_PICTURE_MOSAIC: return UndoPictureMosaic;
    case ID_PICTURE_BRIGHTEN: return UndoPictureLighten;
    case ID_PICTURE_DARKEN: return UndoPictureDarken;
    default: return -1;
    }
}

// Undo recording stays off for one scope, whatever it was before.
class UndoRecordingOff {
public:
    UndoRecordingOff()
        : m_bWas(g_bUndoRecordingOff)
    {
        g_bUndoRecordingOff = TRUE;
    }
    ~UndoRecordingOff() { g_bUndoRecordingOff = m_bWas; }
    UndoRecordingOff(const UndoRecordingOff&) = delete;
    UndoRecordingOff& operator=(const UndoRecordingOff&) = delete;

private:
    BOOL m_bWas;
};

// A copied data block, freed with whatever it points at.
class DataBlock {
public:
    DataBlock(HGLOBAL hBlock, CLIPFORMAT cf)
        : m_hBlock(hBlock)
        , m_cf(cf)
    {
    }
    ~DataBlock()
    {
        if (m_hBlock == NULL)
            return;
        if (m_cf == CF_METAFILEPICT && ::GlobalSize(m_hBlock) >= sizeof(METAFILEPICT)) {
            if (auto* pPict = static_cast<METAFILEPICT*>(::GlobalLock(m_hBlock))) {
                if (pPict->hMF != NULL)
                    ::DeleteMetaFile(pPict->hMF);
                ::GlobalUnlock(m_hBlock);
            }
        }
        ::GlobalFree(m_hBlock);
    }
    DataBlock(const DataBlock&) = delete;
    DataBlock& operator=(const DataBlock&) = delete;
    HGLOBAL Get() const { return m_hBlock; }

private:
    HGLOBAL m_hBlock;
    CLIPFORMAT m_cf;
};

// The most files one drop hands on, as the main frame takes them.
constexpr size_t kMaxDroppedFiles = 256;
// The DROPFILES header: offset of the names, point, non-client and wide
// flags.
constexpr size_t kDropFilesHeader = 20;

DWORD ReadDword(const BYTE* p)
{
    return DWORD(p[0]) | DWORD(p[1]) << 8 | DWORD(p[2]) << 16 | DWORD(p[3]) << 24;
}

// The paths named by a CF_HDROP block (a DROPFILES header, then names each
// ending in a zero, the list ending in an empty name), in Windows form. The
// block comes from outside: an offset or name running past its end, a name
// longer than a path can be and wide names that Windows-1252 cannot hold
// are left out.
std::vector<CString> ReadDroppedFileNames(HGLOBAL hBlock)
{
    std::vector<CString> files;
    if (hBlock == NULL)
        return files;
    const size_t nSize = ::GlobalSize(hBlock);
    const auto* p = static_cast<const BYTE*>(::GlobalLock(hBlock));
    if (p == NULL)
        return files;
    if (nSize >= kDropFilesHeader) {
        const size_t nOffset = ReadDword(p);
        const BOOL bWide = ReadDword(p + 16) != 0;
        const size_t nUnit = bWide ? 2 : 1;
        size_t at = nOffset >= kDropFilesHeader ? nOffset : nSize;
        while (at + nUnit <= nSize && files.size() < kMaxDroppedFiles) {
            CString strName;
            BOOL bFits = TRUE;
            size_t nChars = 0;
            BOOL bEnded = FALSE;
            for (; at + nUnit <= nSize; at += nUnit) {
                const unsigned code = bWide ? unsigned(p[at]) | unsigned(p[at + 1]) << 8 : p[at];
                if (code == 0) {
                    at += nUnit;
                    bEnded = TRUE;
                    break;
                }
                ++nChars;
                unsigned char ch = static_cast<unsigned char>(code);
                if (nChars > MAX_PATH || (bWide && !platform::CodePointTo1252(char32_t(code), ch)))
                    bFits = FALSE;
                else if (bFits)
                    strName += char(ch);
            }
            if (!bEnded || nChars == 0)
                break;
            if (bFits)
                files.push_back(strName);
        }
    }
    ::GlobalUnlock(hBlock);
    return files;
}

} // namespace

// ---- Properties -------------------------------------------------------------------------------------

void CSurface::OnProperties()
{
    if (CDesignerApp* pApp = GetDesignerApp())
        pApp->EndTextEdit(FALSE);
    if (GetSingleSelection() == NULL || ToolInEffect() != kShapeSelect)
        return;
    CSurfaceTool* pTool = FindTool(kShapeSelect);
    if (pTool == NULL)
        return;
    // The object's editor opens as a double click on it opens it.
    pTool->OnLButtonDblClk(this, 0, CPoint(0, 0));
    // The double click keeps the mouse for the release that follows a real
    // one; a command has no release to give it back.
    if (m_hWnd != NULL && !m_bButtonDown && ::GetCapture() == m_hWnd)
        ::ReleaseCapture();
}

void CSurface::OnUpdateProperties(CCmdUI* pCmdUI)
{
    CDrawObj* pObj = GetSingleSelection();
    UINT nText = IDS_PROPS_DEFAULT;
    if (pObj != NULL && ToolInEffect() == kShapeSelect && !IsLockedObject(pObj)) {
        if (pObj->HasPicture())
            nText = IDS_PROPS_CHANGE_PICTURE;
        else if (pObj->HasText())
            nText = IDS_PROPS_EDIT_TEXT;
        else if (pObj->IsCalendar())
            nText = IDS_PROPS_CHANGE_CALENDAR;
        else if (pObj->IsFillable())
            nText = IDS_PROPS_CHANGE_SHAPE;
        else if (!pObj->IsOleObject())
            nText = IDS_PROPS_CHANGE_LINE;
    }
    pCmdUI->Enable(nText != IDS_PROPS_DEFAULT);
    CString strText;
    strText.LoadString(nText);
    pCmdUI->SetText(strText);
}

// ---- Picture effects and the Shape command ---------------------------------------------------------

void CSurface::OnPictureEffect(UINT nID)
{
    const int nEffect = EffectOfCommand(nID);
    CDrawObj* pObj = GetSingleSelection();
    if (nEffect < 0 || pObj == NULL || !pObj->HasPicture())
        return;
    pObj->ApplyPictureEffect(nEffect);
}

void CSurface::OnUpdatePictureEffect(CCmdUI* pCmdUI)
{
    CDrawObj* pObj = GetSingleSelection();
    pCmdUI->Enable(pObj != NULL && pObj->HasPicture());
}

void CSurface::OnEditObjectShape()
{
    if (CDrawObj* pObj = GetSingleSelection())
        pObj->OnOpen(this, CDrawObj::EditShape);
}

void CSurface::OnUpdateEditObjectShape(CCmdUI* pCmdUI)
{
    CDrawObj* pObj = GetSingleSelection();
    pCmdUI->Enable(pObj != NULL && !pObj->HasText() && !pObj->HasPicture() && !pObj->IsCalendar()
        && pObj->IsFillable());
}

void CSurface::OnUpdateEditPictureShape(CCmdUI* pCmdUI)
{
    CDrawObj* pObj = GetSingleSelection();
    pCmdUI->Enable(pObj != NULL && pObj->HasPicture());
}

// ---- Embedded-object indication and the link flag --------------------------------------------------

void CSurface::OnToggleOleIndication()
{
    ToggleOleFrames();
    if (CDrawDoc* pDoc = GetDocument())
        pDoc->UpdateAllViews(NULL, HintOleItems, NULL);
}

void CSurface::OnUpdateToggleOleIndication(CCmdUI* pCmdUI)
{
    pCmdUI->SetCheck(g_showOleFrames != 0);
}

void CSurface::OnSetLinkFlag()
{
    m_flags |= SurfaceLinkFlag;
}

void CSurface::OnClearLinkFlag()
{
    m_flags &= WORD(~SurfaceLinkFlag);
}

// ---- Information fields ----------------------------------------------------------------------------

void CSurface::UpdateObjectsByFields(WORD wMask, const CString& strText)
{
    CDrawDoc* pDoc = GetDocument();
    const BOOL bRemove = strText.IsEmpty() || strText.CompareNoCase("(none)") == 0;
    BOOL bChanged = FALSE;
    BOOL bSelectionChanged = FALSE;
    // The next position is taken before an object may leave the list.
    for (POSITION pos = m_objects.GetHeadPosition(); pos != NULL;) {
        CDrawObj* pObj = AsDrawObj(m_objects.GetNext(pos));
        if (pObj == NULL)
            continue;
        CObjectAttributes attrs;
        pObj->GetAttributes(attrs);
        if ((attrs.m_wInfoFields & wMask) == 0)
            continue;
        bChanged = TRUE;
        if (bRemove) {
            // An object being typed into, or still selected, must let go of
            // the view before it goes: the edit and the selection would
            // otherwise point at a deleted object.
            UndoRecordingOff off;
            if (pObj->IsTextEditActive())
                pObj->EndTextEdit();
            if (m_selection.Find(pObj) != NULL)
                bSelectionChanged = TRUE;
            if (m_hWnd != NULL)
                InvalidateObjectRect(pObj);
            Remove(pObj, TRUE);
            if (m_pCurrentObject == pObj)
                m_pCurrentObject = NULL;
            delete pObj;
            continue;
        }
        // The text is replaced whole: an edit under way would keep a caret
        // and selection into the old one.
        if (pObj->IsTextEditActive())
            pObj->EndTextEdit();
        pObj->SetText(strText, TRUE);
        pObj->GetAttributes(attrs);
        // A field that asks for its alignment is centred again around the
        // new text.
        if (attrs.m_wTextFlags & 0x0002) {
            attrs.m_wJustification = 2;
            pObj->SetAttributes(attrs, TRUE, FALSE, TRUE, FALSE, FALSE);
        }
    }
    if (bChanged && pDoc != NULL)
        pDoc->SetModifiedFlag(TRUE);
    if (bSelectionChanged) {
        NotifyToolpad();
        if (CWnd* pMain = AfxGetMainWnd())
            pMain->PostMessage(WM_SURFACE_SELCHANGED, 0, 0);
    }
}

// ---- The view as a drop target ---------------------------------------------------------------------

DROPEFFECT CSurface::OnDragEnter(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point)
{
    m_flags |= SurfaceDragOver;
    return OnDragOver(pDataObject, dwKeyState, point);
}

DROPEFFECT CSurface::OnDragOver(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point)
{
    (void)pDataObject;
    if (!(m_flags & SurfaceDragOver))
        return DROPEFFECT_NONE;
    CPoint logical = point;
    DPtoLPPoint(&logical);
    CRect page = GetPageRect();
    page.NormalizeRect();
    if (!page.PtInRect(logical))
        return DROPEFFECT_NONE;
    if ((dwKeyState & (MK_SHIFT | MK_CONTROL)) == (MK_SHIFT | MK_CONTROL))
        return DROPEFFECT_LINK;
    if (dwKeyState & MK_CONTROL)
        return DROPEFFECT_COPY;
    return DROPEFFECT_MOVE;
}

void CSurface::OnDragLeave()
{
    m_flags &= WORD(~SurfaceDragOver);
    CScrollView::OnDragLeave();
}

BOOL CSurface::OnDrop(COleDataObject* pDataObject, DROPEFFECT dropEffect, CPoint point)
{
    (void)point;
    OnDragLeave();
    if (pDataObject == NULL)
        return FALSE;
    if ((dropEffect & DROPEFFECT_LINK) && InsertOleObject(pDataObject, TRUE) != NULL)
        return TRUE;
    if (InsertOleObject(pDataObject, FALSE) != NULL)
        return TRUE;

    // The standard formats the drop carries itself (never the clipboard's):
    // one object at the default place, one undo step. The selection is left
    // alone until something came of them.
    CDrawObj* pObj = NULL;
    for (const CLIPFORMAT cf : {CLIPFORMAT(CF_METAFILEPICT), CLIPFORMAT(CF_DIB), CLIPFORMAT(CF_TEXT)}) {
        if (!pDataObject->IsDataAvailable(cf))
            continue;
        DataBlock block(pDataObject->GetGlobalData(cf), cf);
        // A metafile picture's block must hold the whole record it is read
        // as.
        if (block.Get() == NULL || (cf == CF_METAFILEPICT && ::GlobalSize(block.Get()) < sizeof(METAFILEPICT)))
            continue;
        pObj = PasteWindowsFormat(cf, block.Get());
        if (pObj != NULL)
            break;
    }
    if (pObj != NULL) {
        for (POSITION pos = m_selection.GetHeadPosition(); pos != NULL;) {
            CDrawObj* pSelected = AsDrawObj(m_selection.GetNext(pos));
            if (pSelected != NULL && pSelected != pObj && pSelected->IsTextEditActive())
                pSelected->EndTextEdit();
        }
        OnUpdate(NULL, HintSelection, NULL);
        PlaceAndRecord(pObj, FALSE);
        if (CWnd* pMain = AfxGetMainWnd())
            pMain->PostMessage(WM_SURFACE_SELCHANGED, 0, 0);
        return TRUE;
    }

    // Files from the desktop are taken as a drop on the main frame takes
    // them, with this view's design as the one a picture goes into.
    // Anything but a regular file (a folder, a device, a pipe) could block
    // or never end when read, and is left alone.
    BOOL bTaken = FALSE;
    if (pDataObject->IsDataAvailable(CF_HDROP)) {
        DataBlock block(pDataObject->GetGlobalData(CF_HDROP), CF_HDROP);
        for (const CString& strPath : ReadDroppedFileNames(block.Get())) {
            if (!platform::IsRegularFile(strPath))
                continue;
            CMainFrame::TakeDroppedFile(strPath, GetDocument());
            bTaken = TRUE;
        }
    }
    return bTaken;
}

// ---- Set as Wallpaper ------------------------------------------------------------------------------

void CSurface::OnSetAsWallpaper()
{
    CDrawObj* pObj = GetFirstSelected();
    if (pObj == NULL || !pObj->HasPicture())
        return;
    char szFolder[285] = {};
    const UINT nLength = ::GetWindowsDirectory(szFolder, sizeof szFolder);
    if (nLength == 0 || nLength >= sizeof szFolder)
        return;
    // The folder is made on first use of the profile; the picture must not
    // fail for want of it.
    ::CreateDirectory(szFolder, NULL);
    CString strTitle;
    if (!strTitle.LoadString(AFX_IDS_APP_TITLE))
        strTitle = "Threadwick";
    CString strPath = szFolder;
    strPath += '\\';
    strPath += strTitle;
    strPath += " Wallpaper.BMP";

    CRect rect = pObj->m_position;
    rect.NormalizeRect();
    CImage* pPicture = pObj->m_pPicture;
    int nResult = 0;
    if (pPicture->m_nHandle != kImageMetafile) {
        nResult = pPicture->Export(strPath, TRUE, FALSE, 0, rect);
    } else {
        // Writing a metafile turns it into a raster; the object keeps its
        // own picture and a copy is written instead, at the object's size.
        std::swap(rect.top, rect.bottom);
        SIZE size{};
        pPicture->GetSize(size);
        CImage copy;
        copy.Copy(*pPicture);
        copy.SetDisplaySize(size.cx, size.cy);
        nResult = copy.Export(strPath, TRUE, FALSE, 0, rect);
    }
    // The engine reports a file it could not write itself.
    if (nResult != 0 && nResult != kPicErrBadHandle)
        return;
    LPSTR lpszPath = strPath.GetBuffer(0);
    const BOOL bSet = nResult == 0 && ::SystemParametersInfo(SPI_SETDESKWALLPAPER, 0, lpszPath, 0);
    if (bSet) {
        ::SystemParametersInfo(SPI_SETDESKWALLPAPER, 0, lpszPath, SPIF_SENDWININICHANGE);
        ::SystemParametersInfo(SPI_SETDESKWALLPAPER, 0, lpszPath, SPIF_UPDATEINIFILE);
    }
    strPath.ReleaseBuffer();
    if (bSet)
        RealizeAppPalette(AfxGetMainWnd(), TRUE);
    else
        AfxMessageBox(IDS_PROPS_WALLPAPER_FAILED);
}
