// The view's commands that put new content on the surface: pictures from a
// file, the gallery, the scanner, as a border or a background; text from a
// file or in place; calendars through their dialog; objects drawn as a
// rubber band and filled from its menu; and the commands that reopen the
// editor of the one selected object.
#include "surface/Surface.h"

#include "app/JulianDate.h"
#include "app/Paths.h"
#include "app/PrefData.h"
#include "app/main/DesignerApp.h"
#include "app/main/MainFrame.h"
#include "calendar/CalendarSetupDlg.h"
#include "model/DrawDoc.h"
#include "model/DrawRect.h"
#include "model/ObjectAttributes.h"
#include "model/UndoList.h"
#include "model/UndoRecording.h"
#include "pictures/ChoosePicture.h"
#include "pictures/Image.h"
#include "pictures/PictureEngine.h"
#include "pictures/TwainSource.h"
#include "platform/framework/Afx.h"
#include "resources/resource.h"
#include "resources/surfacetools.h"
#include "surface/KindCast.h"
#include "surface/ShapeDlg.h"
#include "surface/SurfaceGlobals.h"
#include "surface/SurfaceTool.h"
#include "text/dialogs/FontPropertiesDlg.h"
#include "text/dialogs/TextEffectsDlg.h"

#include <cmath>
#include <cstdlib>

namespace {

// The sound of From Other Location.
constexpr int kSoundInsertPicture = 4;

// Bits of the preferences' third flag word: the two picture options.
constexpr WORD kAdd2NaturalSize = 0x0004;
constexpr WORD kAdd2KeepProportions = PREF_ADD2_PROPORTIONAL_RESIZE;

// Kinds of InsertObjectByDialog.
enum DialogKind : int {
    DialogText = 1,
    DialogShape = 2,
    DialogCalendar = 3,
};

BOOL EmbedPictures()
{
    return (thePrefs.AddlFlags & PREF_ADDL_SWITCH_I) == 0;
}

// Whether the picture engine reads the file as a picture.
BOOL ReadsBackAsPicture(const CString& strPath, int nLoadMode)
{
    int nBits = 0;
    const int nHandle = LoadPic(strPath, nLoadMode, &nBits);
    if (nHandle < 1)
        return FALSE;
    ReleasePicHandle(nHandle);
    return TRUE;
}

CSurface::InsertOptions OptionsFromPreferences()
{
    CSurface::InsertOptions options;
    options.bKeepProportions = (thePrefs.Add2Flags & kAdd2KeepProportions) != 0;
    options.bNaturalSize = (thePrefs.Add2Flags & kAdd2NaturalSize) != 0;
    return options;
}

// Stores the options the chooser returned and saves the preferences.
void SaveOptions(const CSurface::InsertOptions& options)
{
    WORD wFlags = thePrefs.Add2Flags & WORD(~(kAdd2KeepProportions | kAdd2NaturalSize));
    if (options.bKeepProportions)
        wFlags |= kAdd2KeepProportions;
    if (options.bNaturalSize)
        wFlags |= kAdd2NaturalSize;
    thePrefs.Add2Flags = wFlags;
    thePrefs.SavePreferences();
}

// A metafile has no natural size worth keeping (its frame is often a whole
// page): natural size is dropped for that one insertion.
BOOL IsWmfPath(const CString& strPath)
{
    const int nDot = strPath.ReverseFind('.');
    return nDot >= 0 && strPath.Mid(nDot).CompareNoCase(".wmf") == 0;
}

// Runs the picture chooser with the options of the preferences; TRUE with
// the path and the options of this insertion when a file was chosen (the
// preferences then keep the options as the user left them).
BOOL ChoosePictureFile(CWnd* pParent, BOOL bStartInGallery, CString& strPath, CSurface::InsertOptions& options)
{
    const CSurface::InsertOptions before = OptionsFromPreferences();
    DWORD values[kPictureOptionCount] = {};
    values[kOptionProportional] = before.bKeepProportions ? 1 : 0;
    values[kOptionNaturalSize] = before.bNaturalSize ? 1 : 0;
    strPath.Empty();
    if (ChoosePictureSource(pParent, strPath, kPictureDialogPickOne, bStartInGallery, FALSE, nullptr, nullptr, values)
            != kPictureChosen
        || strPath.IsEmpty())
        return FALSE;
    options.bKeepProportions = values[kOptionProportional] != 0;
    options.bNaturalSize = values[kOptionNaturalSize] != 0;
    SaveOptions(options);
    if (IsWmfPath(strPath))
        options.bNaturalSize = FALSE;
    return TRUE;
}

// Sizes a new picture object's rectangle by the options: to the picture's
// natural size, or to its proportions keeping the width; each edge moves
// the way the rectangle runs. A picture without a positive size (a picture
// that failed part way, a metafile without a frame) has no proportions to
// give, and the rectangle stays.
void SizeToPictureOptions(CDrawObj* pObj, const CSurface::InsertOptions& options)
{
    if (pObj->m_pPicture == nullptr)
        return;
    SIZE size{0, 0};
    pObj->m_pPicture->GetSize(size, TRUE);
    if (size.cx <= 0 || size.cy <= 0)
        return;
    CRect rect = pObj->m_position;
    if (options.bNaturalSize) {
        rect.right = rect.left <= rect.right ? rect.left + size.cx : rect.left - size.cx;
        rect.bottom = rect.top <= rect.bottom ? rect.top + size.cy : rect.top - size.cy;
    } else if (options.bKeepProportions) {
        const double dRatio = double(size.cx) / double(size.cy);
        const int nHeight = int(double(std::abs(rect.right - rect.left)) / dRatio);
        rect.bottom = rect.top <= rect.bottom ? rect.top + nHeight : rect.top - nHeight;
    } else {
        return;
    }
    pObj->m_position = rect;
    pObj->m_rectUnrotated = rect;
}

// The keep-proportions flag and the sizing of step three of a picture
// insertion.
void ApplyPictureOptions(CDrawObj* pObj, const CSurface::InsertOptions* pOptions)
{
    pObj->m_wFlags &= WORD(~OBJ_FLAG_NATURAL_SIZE);
    if (pOptions == NULL)
        return;
    if (pOptions->bKeepProportions)
        pObj->m_wFlags |= OBJ_FLAG_NATURAL_SIZE;
    SizeToPictureOptions(pObj, *pOptions);
}

CWnd* DialogParent(CSurface* pView)
{
    CWnd* pMain = AfxGetMainWnd();
    return pMain != NULL && pMain->m_hWnd != NULL ? pMain : pView;
}

void EndTextEditing()
{
    if (CDesignerApp* pApp = GetDesignerApp())
        pApp->EndTextEdit(FALSE);
}

// Runs the picture browser in the mode pBrowse names (a border or a
// background) and sends the picture it inserts to the bottom of the stack,
// stretched over the page. The browser's own folders are put back, so that
// the next ordinary picture opens where the last one did.
void InsertPageFillingPicture(CSurface* pView, int CPrefData::*pBrowse)
{
    const CString strFolder = thePrefs.CurPictureFolder;
    const CString strImageDir = thePrefs.ImageDir;
    CDrawObj* pBefore = pView->GetSingleSelection();
    thePrefs.*pBrowse = 1;
    pView->OnInsertPictureOther();
    thePrefs.*pBrowse = 0;
    thePrefs.CurPictureFolder = strFolder;
    thePrefs.ImageDir = strImageDir;
    CDrawObj* pNew = pView->GetSingleSelection();
    if (pNew == NULL || pNew == pBefore || !pNew->HasPicture())
        return;
    pNew->m_wFlags &= WORD(~OBJ_FLAG_NATURAL_SIZE);
    pView->OnMoveToBottom();
    pView->OnMaximizeSelection();
}

} // namespace

CSurface* GetActiveSurface()
{
    auto* pFrame = dynamic_cast<CFrameWnd*>(AfxGetMainWnd());
    if (pFrame == NULL || pFrame->m_hWnd == NULL)
        return NULL;
    CFrameWnd* pActive = pFrame->GetActiveFrame();
    if (pActive == NULL)
        return NULL;
    CView* pView = pActive->GetActiveView();
    return pView != NULL ? KindCast<CSurface>(RUNTIME_CLASS(CSurface), pView) : NULL;
}

CDrawObj* GetSingleSelection(CSurface** ppView)
{
    CSurface* pView = GetActiveSurface();
    if (ppView != NULL)
        *ppView = pView;
    if (pView == NULL || pView->GetSelection().GetCount() != 1)
        return NULL;
    return AsDrawObj(pView->GetSelection().GetHead());
}

// ---- Shared steps ---------------------------------------------------------------------------------

void CSurface::GetDefaultInsertRect(LPRECT lpRect) const
{
    if (lpRect == NULL)
        return;
    const CRect page = GetPageRect();
    lpRect->left = page.right / 2;
    lpRect->top = page.bottom / 2;
    lpRect->right = page.left / 2;
    lpRect->bottom = page.top / 2;
}

void CSurface::PlaceAndRecord(CDrawObj* pObj, BOOL bCentre)
{
    if (pObj == NULL)
        return;
    // The default rectangle runs backwards on both axes, and a picture or
    // calendar drawn into it would show turned upside down: a new object
    // stands upright, whatever way its rectangle was given.
    if (pObj->GetRoundedAngle() == 0) {
        const CRect upright = CDrawObj::NormalizeUp(pObj->m_position);
        if (upright != pObj->m_position) {
            if (m_hWnd != NULL && m_objects.Find(pObj) != NULL)
                InvalidateObjectRect(pObj);
            pObj->m_position = upright;
            pObj->m_rectUnrotated = upright;
        }
    }
    Add(pObj);
    Select(pObj);
    CDrawDoc* pDoc = GetDocument();
    {
        // The centring moves record nothing of their own: the creation is
        // the one step.
        CUndoSuspension suspension(pDoc != NULL ? &pDoc->GetUndoList() : NULL);
        if (bCentre) {
            CenterSelection(TRUE, TRUE);
            if (pDoc != NULL && pDoc->GetZoom() != ZOOM_FIT && m_hWnd != NULL) {
                // At a fixed zoom the page centre may be scrolled away: the
                // object goes to the middle of what the user sees.
                CenterSelection(TRUE, TRUE);
                CRect client;
                GetClientRect(&client);
                CPoint centre = client.CenterPoint();
                DPtoLPPoint(&centre);
                CRect rect = pObj->m_position;
                rect.OffsetRect(centre);
                pObj->MoveTo(rect, this);
                UpdateScrollSizes();
            }
        }
    }
    if (pDoc != NULL)
        RecordUndoCreate(pDoc, &pObj, 0);
    NotifyToolpad();
}

CDrawObj* CSurface::InsertPictureFile(LPCTSTR lpszPath, const CRect* pRect, const InsertOptions* pOptions)
{
    CRect rect;
    if (pRect != NULL)
        rect = *pRect;
    else
        GetDefaultInsertRect(&rect);
    auto* pObj = new CDrawRect(rect);
    pObj->SetPictureFile(lpszPath, EmbedPictures(), TRUE, FALSE, FALSE, FALSE, 0);
    ApplyPictureOptions(pObj, pOptions);
    if (!pObj->HasPicture()) {
        // The picture engine has told the user what went wrong.
        delete pObj;
        return NULL;
    }
    PlaceAndRecord(pObj, TRUE);
    return pObj;
}

// ---- Pictures -------------------------------------------------------------------------------------

void CSurface::OnInsertPictureOther()
{
    EndTextEditing();
    if (CDesignerApp* pApp = GetDesignerApp())
        pApp->PlaySound(kSoundInsertPicture);
    CString strPath;
    InsertOptions options;
    if (ChoosePictureFile(DialogParent(this), FALSE, strPath, options))
        InsertPictureFile(strPath, NULL, &options);
}

void CSurface::OnInsertPictureGallery()
{
    EndTextEditing();
    CString strPath;
    InsertOptions options;
    if (ChoosePictureFile(DialogParent(this), TRUE, strPath, options))
        InsertPictureFile(strPath, NULL, &options);
}

void CSurface::OnAcquirePicture()
{
    CRect rect;
    GetDefaultInsertRect(&rect);
    auto* pObj = new CDrawRect(rect);
    pObj->AcquirePicture(EmbedPictures(), FALSE);
    pObj->m_wFlags &= WORD(~OBJ_FLAG_NATURAL_SIZE);
    if (!pObj->HasPicture()) {
        delete pObj;
        return;
    }
    // The picture gets its file before the creation is recorded, so that
    // undoing and redoing the step brings back the picture as it is kept.
    KeepScannedPicture(pObj);
    PlaceAndRecord(pObj, TRUE);
}

void CSurface::KeepScannedPicture(CDrawObj* pObj)
{
    if (pObj == NULL || !pObj->HasPicture())
        return;
    if (!EmbedPictures()) {
        // Linked pictures live in the user's own files: the scan is saved
        // where the user says and linked from there. A file the program
        // cannot read back (a format it only writes) would open as a missing
        // picture, so then, as when the user cancels, the scan stays inside
        // the design.
        const CString strSaved = SavePictureAs(pObj);
        if (!strSaved.IsEmpty() && ReadsBackAsPicture(strSaved, pObj->m_pPicture->m_nLoadMode)) {
            pObj->SetPictureFileName(strSaved);
            pObj->SetEmbedPicture(FALSE);
            pObj->m_pPicture->m_bForceEmbed = 0;
            return;
        }
    }
    const CString strTemp = pObj->SavePictureToTempFile();
    if (!strTemp.IsEmpty())
        pObj->SetPictureFileName(strTemp);
    // A linked scan would point at a temporary file that is gone when the
    // design is opened again: its data stays in the design.
    pObj->SetEmbedPicture(TRUE);
    if (pObj->m_pPicture != nullptr)
        pObj->m_pPicture->m_bForceEmbed = 1;
}

void CSurface::OnUpdateAcquirePicture(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(GetTwainSourceCount() >= 1);
}

void CSurface::OnInsertBorder()
{
    InsertPageFillingPicture(this, &CPrefData::BorderBrowse);
}

void CSurface::OnInsertBackground()
{
    InsertPageFillingPicture(this, &CPrefData::BackgroundBrowse);
}

// ---- Text -----------------------------------------------------------------------------------------

void CSurface::OnImportText()
{
    CString strPath;
    if (!BrowseForTextFile(strPath))
        return;
    CString strText;
    if (!ReadTextFile(strPath, strText))
        return;
    CRect rect;
    GetDefaultInsertRect(&rect);
    auto* pObj = new CDrawRect(rect);
    Add(pObj);
    pObj->SetText(strText, TRUE);
    pObj->SizeToText(this);
    PlaceAndRecord(pObj, TRUE);
}

void CSurface::OnTextWorkspaceEditor()
{
    if (m_selection.GetCount() == 1) {
        CPoint point = g_downPoint;
        DPtoLPPoint(&point);
        CDrawObj* pHit = HitTestObject(point);
        if (pHit != NULL && pHit->HasText() && !pHit->HasPicture()) {
            if (!pHit->IsTextEditActive())
                pHit->BeginTextEdit();
            return;
        }
    }
    OnToolCommand(ID_DRAW_TEXT_TOOL);
}

void CSurface::OnTextEffectsDialog()
{
    if (m_selection.GetCount() == 1) {
        CPoint point = g_downPoint;
        DPtoLPPoint(&point);
        CDrawObj* pHit = HitTestObject(point);
        if (pHit != NULL && pHit->HasText() && !pHit->HasPicture()) {
            if ((pHit->m_wFlags & OBJ_FLAG_LOCKED) == 0)
                pHit->BeginTextEdit();
            return;
        }
    }
    InsertObjectByDialog(DialogText);
}

// ---- Objects made through a dialog ----------------------------------------------------------------

void CSurface::OnInsertCalendar()
{
    InsertObjectByDialog(DialogCalendar);
}

void CSurface::OnInsertShape()
{
    InsertObjectByDialog(DialogShape);
}

CDrawObj* CSurface::InsertObjectByDialog(int nKind, const CRect* pRect)
{
    CRect rect;
    if (pRect != NULL)
        rect = *pRect;
    else
        GetDefaultInsertRect(&rect);
    auto* pObj = new CDrawRect(rect);

    CObjectAttributes attrs;
    attrs.m_logfont.lfHeight = -10;
    attrs.m_logfont.lfWeight = FW_NORMAL;
    attrs.m_crText2 = 0x808080;
    CJulianDate today;
    today.SetToday();
    attrs.m_nCalendarStart = CObjectAttributes::DefaultCalendarStart(today);
    pObj->GetAttributes(attrs);

    BOOL bOk = FALSE;
    switch (nKind) {
    case DialogCalendar: {
        CCalendarSetupDlg dlg(DialogParent(this));
        dlg.SetCalendarData(pObj, attrs, FALSE);
        bOk = dlg.DoModal() == IDOK;
        break;
    }
    case DialogText:
        // Text left empty makes no object.
        bOk = EditTextEffects(*pObj, attrs, DialogParent(this), GetDocument()) && pObj->HasText();
        break;
    case DialogShape: {
        // The object is not on the view yet: the Apply buttons, which open
        // the object's own pages, are left out.
        CShapeDlg dlg(DialogParent(this));
        dlg.SetObject(this, &attrs, FALSE);
        bOk = dlg.DoModal() == IDOK;
        if (bOk)
            dlg.GetShape(attrs.m_nShape, attrs.m_nSides);
        break;
    }
    default:
        break;
    }
    if (!bOk) {
        delete pObj;
        return NULL;
    }
    pObj->SetAttributes(attrs, TRUE, TRUE, TRUE, FALSE, FALSE);
    if (CDrawDoc* pDoc = GetDocument())
        pDoc->SetModifiedFlag(TRUE);
    Add(pObj);
    if (pRect == NULL)
        pObj->SizeToText(this);
    PlaceAndRecord(pObj, pRect == NULL);
    // New text in a band the user drew goes straight on to typing.
    if (nKind == DialogText && pRect != NULL)
        PostMessage(WM_COMMAND, ID_EDIT_SELECTION_TEXT);
    return pObj;
}

// ---- Editing the one selected object --------------------------------------------------------------

void CSurface::OnEditObjectText()
{
    if (CDrawObj* pObj = GetSingleSelection())
        pObj->OnOpen(this, CDrawObj::EditText, NULL, NULL, 1);
}

void CSurface::OnUpdateEditObjectText(CCmdUI* pCmdUI)
{
    CDrawObj* pObj = GetSingleSelection();
    pCmdUI->Enable(pObj != NULL && pObj->HasText() && !pObj->IsTextEditActive()
        && (pObj->m_wFlags & OBJ_FLAG_LOCKED) == 0);
}

void CSurface::OnFontProperties()
{
    RunFontProperties(DialogParent(this));
}

void CSurface::OnUpdateFontProperties(CCmdUI* pCmdUI)
{
    // A locked text object takes the font only while its text is edited.
    CDrawObj* pObj = GetSingleSelection();
    pCmdUI->Enable(pObj != NULL && pObj->HasText()
        && ((pObj->m_wFlags & OBJ_FLAG_LOCKED) == 0 || pObj->IsTextEditActive()));
}

void CSurface::OnEditObjectFill()
{
    if (CDrawObj* pObj = GetSingleSelection())
        pObj->OnOpen(this, CDrawObj::EditColorFill, NULL, NULL, 1);
}

void CSurface::OnUpdateEditObjectFill(CCmdUI* pCmdUI)
{
    CDrawObj* pObj = GetSingleSelection();
    pCmdUI->Enable(pObj != NULL && !pObj->HasText() && !pObj->HasPicture() && !pObj->IsOleObject());
}

void CSurface::OnEditObjectCalendar()
{
    if (CDrawObj* pObj = GetSingleSelection())
        pObj->OnOpen(this, CDrawObj::EditCalendar, NULL, NULL, 0);
}

void CSurface::OnUpdateEditObjectCalendar(CCmdUI* pCmdUI)
{
    CDrawObj* pObj = GetSingleSelection();
    pCmdUI->Enable(pObj != NULL && pObj->IsCalendar());
}

void CSurface::OnEditObjectPicture()
{
    if (CDrawObj* pObj = GetSingleSelection())
        pObj->OnOpen(this, CDrawObj::EditPicture, NULL, NULL, 1);
}

void CSurface::OnUpdateEditObjectPicture(CCmdUI* pCmdUI)
{
    CDrawObj* pObj = GetSingleSelection();
    pCmdUI->Enable(pObj != NULL && pObj->HasPicture() && pObj->IsFillable() && (pObj->m_wFlags & OBJ_FLAG_LOCKED) == 0);
}

// ---- The rubber band's insert commands ------------------------------------------------------------

namespace {

// The selection tool's last band in logical units, normalised.
CRect BandInLogical(CSurface* pView)
{
    CRect band(g_downPoint, g_lastPoint);
    band.NormalizeRect();
    pView->DPtoLPRect(&band);
    return CDrawObj::NormalizeUp(band);
}

// Whether what a band object holds after its editor makes it worth keeping.
BOOL HasContent(CDrawObj* pObj)
{
    return pObj->HasPicture() || pObj->HasText() || pObj->IsCalendar() || pObj->IsOleObject();
}

// The object is made in the band and its editor opened on it; it stays, with
// its one creation step, when the editor gave it something, and goes again
// without a trace otherwise.
void InsertInBand(CSurface* pView, int nEditKind)
{
    auto* pObj = new CDrawRect(BandInLogical(pView));
    if (nEditKind == CDrawObj::EditText)
        pObj->m_bBlockText = TRUE;
    pView->Add(pObj);
    pView->Select(pObj);
    BOOL bChanged = FALSE;
    {
        // The editor records the object's properties; the band records
        // the creation alone.
        CUndoSuspension suspension(pView->GetDocument() != NULL ? &pView->GetDocument()->GetUndoList() : NULL);
        const BOOL bWasNew = g_bNewObject;
        g_bNewObject = TRUE;
        bChanged = pObj->OnOpen(pView, nEditKind, NULL, NULL, 1);
        g_bNewObject = bWasNew;
    }
    // The editor may have taken the object away with a design closed under
    // it: only an object still on the view is judged.
    if (pView->GetObjects().Find(pObj) == NULL)
        return;
    const BOOL bHoldsContent = nEditKind == CDrawObj::EditText || nEditKind == CDrawObj::EditCalendar;
    const BOOL bKeep = bHoldsContent ? HasContent(pObj) : bChanged;
    if (!bKeep) {
        pView->Select(pObj);
        pView->DeleteSelection(FALSE);
        return;
    }
    pView->PlaceAndRecord(pObj, FALSE);
}

} // namespace

void CSurface::OnBandInsertText()
{
    InsertInBand(this, CDrawObj::EditText);
}

void CSurface::OnBandInsertShape()
{
    InsertInBand(this, CDrawObj::EditShape);
}

void CSurface::OnBandInsertCalendar()
{
    InsertInBand(this, CDrawObj::EditCalendar);
}

void CSurface::OnBandInsertFill()
{
    InsertInBand(this, CDrawObj::EditColorFill);
}

void CSurface::OnBandInsertPicture()
{
    auto* pObj = new CDrawRect(BandInLogical(this));
    Add(pObj);
    Select(pObj);
    CString strPath;
    InsertOptions options;
    const BOOL bStartInGallery = (thePrefs.Flags & PREF_FLAG_INSERT_FROM_GALLERY) != 0;
    BOOL bLoaded = FALSE;
    if (ChoosePictureFile(DialogParent(this), bStartInGallery, strPath, options) && m_objects.Find(pObj) != NULL) {
        pObj->SetPictureFile(strPath, EmbedPictures(), FALSE, FALSE, FALSE, FALSE, 0);
        bLoaded = pObj->m_pPicture != nullptr && pObj->m_pPicture->m_nHandle >= 1;
        if (bLoaded) {
            ApplyPictureOptions(pObj, &options);
            FitObjectToWorkArea(pObj);
        }
    }
    if (m_objects.Find(pObj) == NULL)
        return;
    if (!bLoaded) {
        // A picture that did not load leaves no empty frame behind.
        Select(pObj);
        DeleteSelection(FALSE);
        return;
    }
    PlaceAndRecord(pObj, FALSE);
    InvalidateObjectRect(pObj);
}
