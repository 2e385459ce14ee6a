// Interactive editing of drawing objects: dragging a handle sizes or turns
// an object (MoveHandleTo), an object takes a new rectangle (MoveTo), and a
// double click opens the editor that fits it (OnOpen).

#include "model/DrawObj.h"
#include "model/DrawObjTracking.h"

#include "app/Paths.h"
#include "app/PrefData.h"
#include "app/RectGeometry.h"
#include "app/main/MainFrame.h"
#include "calendar/CalendarSetupDlg.h"
#include "calendar/DayCellObj.h"
#include "calendar/EditDayDlg.h"
#include "model/DrawDoc.h"
#include "model/DrawRect.h"
#include "model/ObjectAttributes.h"
#include "model/UndoRecording.h"
#include "pictures/Image.h"
#include "platform/ui/User.h"
#include "resources/calendar.h"
#include "surface/ColorFillDlg.h"
#include "surface/PictureInfoDlg.h"
#include "surface/ShapeDlg.h"
#include "surface/Surface.h"
#include "surface/SurfaceGlobals.h"
#include "text/dialogs/TextEffectsDlg.h"

#include <cstdlib>
#include <memory>

namespace {

struct HandleDrag {
    BOOL bFirstCall = TRUE;
    DWORD nPrimarySerial = 0;
    CPoint ptLast;
    // How far the primary object's moved sides were from the mouse.
    CSize offset;
    BOOL bToolTracking = FALSE;
};

HandleDrag& Drag()
{
    static HandleDrag s_drag;
    return s_drag;
}

// The sides each sizing handle moves (the handle places of the geometry).
struct HandleSides {
    bool bLeft;
    bool bRight;
    bool bTop;
    bool bBottom;
};

HandleSides SidesOf(int nHandle)
{
    switch (nHandle) {
    case 1: return {true, false, false, true};
    case 2: return {false, false, false, true};
    case 3: return {false, true, false, true};
    case 4: return {false, true, false, false};
    case 5: return {false, true, true, false};
    case 6: return {false, false, true, false};
    case 7: return {true, false, true, false};
    case 8: return {true, false, false, false};
    default: return {false, false, false, false};
    }
}

bool KeyHeld(int nVirtKey)
{
    return ::GetKeyState(nVirtKey) < 0;
}

// Ctrl keeps the proportions unless the object asks for free ones; an
// object sized to its picture always keeps them.
bool KeepsProportions(const CDrawObj& obj)
{
    if (obj.m_wFlags & OBJ_FLAG_NATURAL_SIZE)
        return true;
    return KeyHeld(VK_CONTROL) && !(obj.m_wFlags & OBJ_FLAG_FREE_PROPORTIONS);
}

bool SizeFromCentre()
{
    return (thePrefs.Flags & PREF_FLAG_RESIZE_FROM_CENTER) != 0;
}

bool IsCropped(CDrawObj& obj)
{
    return (obj.m_wFlags & OBJ_FLAG_CROPPED) || obj.IsPictureCropped();
}

bool SameOrientation(const CRect& a, const CRect& b)
{
    return !CompareRectOrientation(
        a.left, a.top, a.right, a.bottom, b.left, b.top, b.right, b.bottom, nullptr, nullptr);
}

void InvalidateThrough(CDrawObj& obj, CSurface* pView)
{
    if (pView != nullptr && pView->m_hWnd != NULL)
        pView->InvalidateObjectRect(&obj);
    else
        obj.Invalidate();
}

// Whether the rectangle lies inside the area without touching its edges.
BOOL StrictlyInside(const CRect& rect, const CRect& area)
{
    CRect r = rect;
    r.NormalizeRect();
    CRect a = area;
    a.NormalizeRect();
    return r.left > a.left && r.right < a.right && r.top > a.top && r.bottom < a.bottom;
}

// The object's view marks its scrolled area for recomputation when the
// object's new place changes it; the command that moved the object applies
// it (or the next one that checks the area). The view holding the object
// counts, not the one a caller drew it through.
void NoteExtentOf(CDrawObj& obj, const CRect& oldPosition, CSurface* pView)
{
    CSurface* pHolder = obj.GetSurface();
    if (pHolder == nullptr)
        pHolder = pView;
    if (pHolder == nullptr || (pHolder->m_flags & CSurface::SurfaceRecomputeExtent) != 0)
        return;
    // Well inside the area before and after, the object neither made one
    // of its edges nor reaches past one: the area stays as it is. A drag of
    // many objects then costs no walk over all of them at each step.
    if (StrictlyInside(oldPosition, pHolder->m_rectExtent) && StrictlyInside(obj.m_position, pHolder->m_rectExtent))
        return;
    if (pHolder->GetObjects().Find(&obj) != NULL)
        pHolder->CheckObjectExtent(&obj);
}

// Eight sectors of 45 degrees, each centred on its angle.
int SnapToSector(double dAngle)
{
    if (dAngle > 337 || dAngle <= 22)
        return 0;
    const int limits[] = {67, 112, 157, 202, 247, 292, 337};
    int nSector = 1;
    for (int nLimit : limits) {
        if (dAngle <= nLimit)
            break;
        ++nSector;
    }
    return nSector * 45;
}

// A hand that stops just short of an upright or downward quarter turn
// means the quarter turn.
double SnapToQuarter(double dAngle)
{
    if (dAngle > 89 && dAngle < 90)
        return 90;
    if (dAngle > 269 && dAngle < 270)
        return 270;
    return dAngle;
}

void ShowStatusText(const CString& strText)
{
    if (auto* pFrame = dynamic_cast<CMainFrame*>(AfxGetMainWnd()))
        pFrame->SetStatusText(strText);
}

// The point the object turns about: the centre of its rotation reference,
// or with several selected objects that of the first one that has one.
CPoint RotationCentre(CDrawObj& obj, CSurface* pView)
{
    auto centreOf = [](const CRect& r) { return GetRectCenter(r.left, r.top, r.right, r.bottom); };
    if (pView != nullptr && pView->GetSelection().GetCount() > 1) {
        const CObList& selection = pView->GetSelection();
        for (POSITION pos = selection.GetHeadPosition(); pos != nullptr;) {
            auto* pEach = static_cast<CDrawObj*>(selection.GetNext(pos));
            if (pEach != nullptr && !pEach->m_rectRotateRef.IsRectNull())
                return centreOf(pEach->m_rectRotateRef);
        }
    }
    // The reference is taken when the handles are drawn; an object whose
    // handles were never drawn turns about its own frame.
    if (!obj.m_rectRotateRef.IsRectNull())
        return centreOf(obj.m_rectRotateRef);
    return centreOf(obj.m_rectUnrotated);
}

// The highest cell number of each list: hours of a day, days of a week,
// days of a month.
int MaxCellNumber(int nKind)
{
    switch (nKind) {
    case CALENDAR_DAY: return 24;
    case CALENDAR_WEEK: return 7;
    case CALENDAR_MONTH: return 31;
    default: return 0;
    }
}

CObList* RecordCells(CObjectAttributes& attrs, int nKind)
{
    switch (nKind) {
    case CALENDAR_DAY: return &attrs.m_dayCells;
    case CALENDAR_WEEK: return &attrs.m_weekCells;
    case CALENDAR_MONTH: return &attrs.m_monthCells;
    default: return nullptr;
    }
}

// Each cell list has its own dialog: a month's days their content, a
// week's days their item, a day calendar's hours the hour dialog.
std::unique_ptr<CEditDayDlg> MakeCellDialog(int nKind, CWnd* pParent)
{
    switch (nKind) {
    case CALENDAR_MONTH: return std::make_unique<CEditDayContentDlg>(pParent);
    case CALENDAR_WEEK: return std::make_unique<CEditDayItemDlg>(pParent);
    default: return std::make_unique<CEditDayDlg>(IDD_EDIT_HOUR, pParent);
    }
}

// The selected cell in its own dialog (a cell never edited is made for
// it), or the calendar's set-up. The dialogs work on the record, so the
// object keeps its state until the caller records the step and applies it.
BOOL OpenCalendarEditor(CDrawObj& obj, CObjectAttributes& attrs, CWnd* pParent)
{
    const int nKind = obj.m_nCellKind;
    const int nCell = obj.m_nCalendarIndex;
    CObList* pCells = RecordCells(attrs, nKind);
    if (obj.IsCalendar() && pCells != nullptr && nCell >= 1 && nCell <= MaxCellNumber(nKind)) {
        CDayCellObj* pCell = nullptr;
        if (obj.FindDayCell(nKind, nCell) != nullptr) {
            for (POSITION pos = pCells->GetHeadPosition(); pos != nullptr && pCell == nullptr;) {
                auto* pEach = static_cast<CDayCellObj*>(pCells->GetNext(pos));
                if (pEach != nullptr && pEach->m_nNumber == nCell)
                    pCell = pEach;
            }
        }
        std::unique_ptr<CDayCellObj> pNew;
        if (pCell == nullptr) {
            pNew = std::make_unique<CDayCellObj>();
            pNew->m_nNumber = nCell;
            pCell = pNew.get();
        }
        std::unique_ptr<CEditDayDlg> pDlg = MakeCellDialog(nKind, pParent);
        pDlg->SetCell(pCell);
        if (pDlg->DoModal() != IDOK)
            return FALSE;
        if (pNew != nullptr)
            pCells->AddTail(pNew.release());
        return TRUE;
    }
    CCalendarSetupDlg dlg(pParent);
    dlg.SetCalendarData(&obj, attrs, TRUE);
    return dlg.DoModal() == IDOK;
}

} // namespace

void ResetHandleDrag()
{
    HandleDrag& drag = Drag();
    drag.bFirstCall = TRUE;
    drag.nPrimarySerial = 0;
    drag.ptLast = CPoint(0, 0);
    drag.offset = CSize(0, 0);
}

void SetToolTracking(BOOL bTracking)
{
    Drag().bToolTracking = bTracking ? TRUE : FALSE;
}

BOOL IsToolTracking()
{
    return Drag().bToolTracking;
}

// ---- Dragging a handle -------------------------------------------------------------------------

void CDrawObj::MoveHandleTo(int nHandle, CPoint point, CSurface* pView)
{
    if (m_wFlags & OBJ_FLAG_LOCKED)
        return;
    // A line has two ends: with others selected, dragging one end would
    // stretch every object along the line.
    if (GetShapeKind() == kLineShapeKind && pView != nullptr && pView->GetSelection().GetCount() != 1)
        return;
    const int nAngle = GetRoundedAngle();
    HandleDrag& drag = Drag();
    const BOOL bGroup = GetSelectMode() == SelectModeSize && pView != nullptr && pView->GetSelection().GetCount() > 1;

    if (nHandle == kRotateHandle) {
        if (GetHandleCount() <= 8)
            return;
        const CPoint centre = RotationCentre(*this, pView);
        double dAngle = AngleBetween(centre.x, centre.y, point.x, point.y);
        dAngle = KeyHeld(VK_SHIFT) ? SnapToSector(dAngle) : SnapToQuarter(dAngle);
        if (bGroup)
            drag.ptLast = point;
        const BOOL bChanged = dAngle != m_dAngle;
        SetAngle(dAngle);
        const int nShown = NormalizeDegrees(RoundHalfAwayFromZero(dAngle));
        CString strStatus;
        if (nShown != 0)
            strStatus.Format("Rotation: %d", nShown);
        ShowStatusText(strStatus);
        InvalidateThrough(*this, pView);
        if (bChanged && m_pDocument != nullptr)
            m_pDocument->SetModifiedFlag(TRUE);
        return;
    }
    // The sizing handles work on an upright object only.
    if (nHandle < 1 || nHandle > 8 || nAngle != 0)
        return;

    const HandleSides sides = SidesOf(nHandle);
    CRect rect = m_position;
    const LONG nSideX = sides.bLeft ? rect.left : rect.right;
    const LONG nSideY = sides.bBottom ? rect.bottom : rect.top;
    CSize offset(point.x - nSideX, point.y - nSideY);
    if (bGroup) {
        // A new point from an object that is not the primary one means a
        // new round of the drag without a reset: it leads from here on.
        if (drag.bFirstCall || drag.nPrimarySerial == m_nSerial || point != drag.ptLast) {
            drag.bFirstCall = FALSE;
            drag.nPrimarySerial = m_nSerial;
            drag.ptLast = point;
            drag.offset = offset;
        } else {
            offset = drag.offset;
        }
    }
    const bool bCentre = SizeFromCentre();
    if (sides.bLeft || sides.bRight) {
        LONG& moved = sides.bLeft ? rect.left : rect.right;
        LONG& opposite = sides.bLeft ? rect.right : rect.left;
        moved += offset.cx;
        if (bCentre)
            opposite -= offset.cx;
    }
    if (sides.bTop || sides.bBottom) {
        LONG& moved = sides.bBottom ? rect.bottom : rect.top;
        LONG& opposite = sides.bBottom ? rect.top : rect.bottom;
        moved += offset.cy;
        if (bCentre)
            opposite -= offset.cy;
    }

    BOOL bKeepCentre = FALSE;
    CPoint oldCentre;
    if (KeepsProportions(*this) && bCentre) {
        bKeepCentre = TRUE;
        oldCentre = GetRectCenter(m_position.left, m_position.top, m_position.right, m_position.bottom);
    }
    if (nAngle % 90 == 0)
        nHandle = MapHandleForQuarterTurn(nHandle);
    // A cropped picture can neither be turned over by a handle nor made
    // smaller than 10 units either way.
    if (!IsCropped(*this)
        || (SameOrientation(rect, m_position) && std::abs(rect.Height()) > 9 && std::abs(rect.Width()) > 9))
        MoveTo(rect, pView, nHandle, nullptr);
    if (bKeepCentre) {
        const CPoint centre = GetRectCenter(m_position.left, m_position.top, m_position.right, m_position.bottom);
        const CSize shift = oldCentre - centre;
        if (shift != CSize(0, 0)) {
            const CRect before = m_position;
            InvalidateThrough(*this, pView);
            m_position.OffsetRect(shift);
            m_rectUnrotated.OffsetRect(shift);
            if (IsCropped(*this))
                m_rectUncropped.OffsetRect(shift);
            InvalidateThrough(*this, pView);
            NoteExtentOf(*this, before, pView);
        }
    }
}

// ---- A new rectangle ---------------------------------------------------------------------------

void CDrawObj::MoveTo(const CRect& position, CSurface* pView, int nHandle, const CRect* pUnrotated)
{
    if (IsToolTracking())
        m_wFlags &= ~WORD(OBJ_FLAG_DRAGGING);
    if (!(m_wFlags & OBJ_FLAG_LOADED) || (m_wFlags & OBJ_FLAG_LOCKED))
        return;
    if (position == m_position && (pUnrotated == nullptr || *pUnrotated == m_rectUnrotated))
        return;
    const BOOL bCropped = IsCropped(*this);
    const BOOL bCropTool = GetCurrentShape() == kShapeCrop;
    // The crop tool moves the window onto the picture: it never turns it
    // over.
    if (bCropped && bCropTool && !SameOrientation(position, m_position))
        return;

    const CRect old = m_position;
    const BOOL bResized = position.Width() != old.Width() || position.Height() != old.Height();
    CRect target = position;
    if (KeepsProportions(*this) && bResized) {
        FreeRenderCache();
        // A rectangle turned over is taken as it is before it is fitted.
        if (!SameOrientation(position, old))
            InvalidateThrough(*this, pView);
        const CSize natural = GetNaturalSize();
        FitToProportions(natural.cx, natural.cy, nHandle, &target);
    } else if (bResized && m_pCache != nullptr) {
        FreeRenderCache();
    }

    InvalidateThrough(*this, pView);
    const CPoint delta(target.left - old.left, target.top - old.top);
    if (pUnrotated != nullptr)
        m_rectUnrotated = *pUnrotated;
    else if (GetRoundedAngle() == 0)
        m_rectUnrotated = target;
    else
        m_rectUnrotated.OffsetRect(delta);
    m_position = target;
    InvalidateThrough(*this, pView);

    // The whole picture goes along with its visible part: shifted with a
    // move, else scaled with it so that the crop still shows the same part.
    // The frames are mapped normalised: a mapping into a frame that runs
    // backwards would mirror the picture's place inside it, and the crop
    // fractions would then describe another part. The whole picture keeps
    // the orientation it had.
    if (bCropped && !bCropTool) {
        if (nHandle == -1 && !(m_wFlags & OBJ_FLAG_CROP_MOVE)) {
            m_rectUncropped.OffsetRect(delta);
        } else {
            const BOOL bFlipX = m_rectUncropped.left > m_rectUncropped.right;
            const BOOL bFlipY = m_rectUncropped.top > m_rectUncropped.bottom;
            CRect source = old;
            source.NormalizeRect();
            CRect frame = m_position;
            frame.NormalizeRect();
            MapRectToFrame(&m_rectUncropped, &source, &frame);
            FlipRect(&m_rectUncropped, bFlipX, bFlipY);
        }
    }
    NoteExtentOf(*this, old, pView);
    if (m_pDocument != nullptr)
        m_pDocument->SetModifiedFlag(TRUE);
}

// ---- Opening the editor ------------------------------------------------------------------------

namespace {

// What the main window hears after text was opened for editing.
constexpr UINT kTextOpenedMessage = WM_USER + 0x111;

// The editor kind 5 stands for, from what the object holds; -1 for none.
int EditorForContent(CDrawObj& obj, const CObjectAttributes& attrs)
{
    if (obj.HasText())
        return CDrawObj::EditText;
    if (obj.IsCalendar())
        return CDrawObj::EditCalendar;
    if (obj.HasPicture())
        return CDrawObj::EditPicture;
    if (obj.IsFillable())
        return CDrawObj::EditShape;
    if (attrs.m_bOutline || attrs.m_bFill || attrs.m_nShape == kLineShapeKind)
        return CDrawObj::EditColorFill;
    return -1;
}

// Opening text ends an edit already running, then wrapped text is edited
// in place and block text in the Text Effects dialog, which applies what
// it changes itself (with its own undo step). The main window hears of it
// afterwards, so that what shows the text's look can follow. TRUE when the
// dialog changed the object.
BOOL OpenTextEditor(CDrawObj& obj, CObjectAttributes& attrs, CWnd* pOwner)
{
    if (obj.IsTextEditActive())
        obj.EndTextEdit();
    BOOL bChanged = FALSE;
    if (obj.HasWrappedText())
        obj.BeginTextEdit();
    else
        bChanged = EditTextEffects(obj, attrs, pOwner, obj.m_pDocument);
    if (CWnd* pMain = AfxGetMainWnd(); pMain != nullptr && pMain->m_hWnd != NULL)
        pMain->SendMessage(kTextOpenedMessage);
    return bChanged;
}

// What the Picture dialog did to its object.
enum class PictureEdit { Unchanged, Applied, ObjectDeleted };

// An object that is nothing but its picture: without it nothing of the
// object would show.
BOOL IsPlainPicture(CDrawObj& obj)
{
    return obj.GetShapeKind() == SHAPE_RECTANGLE && !obj.HasText() && !obj.IsCalendar() && !obj.m_bFill;
}

// The Picture dialog on the object's picture. OK with a change applies the
// record (one properties step), then takes off the crop when the dialog
// asks for it, gives the object the dialog's picture and the picture's
// natural size, each with its own step. A picture removed from an object
// that was only that picture takes the object away, unless another dialog
// opened this one and still holds the object.
PictureEdit OpenPictureEditor(CDrawObj& obj, CObjectAttributes& attrs, CSurface* pView, CWnd* pOwner, BOOL bNested)
{
    CPictureInfoDlg dlg(pOwner);
    dlg.SetPicture(&obj, &attrs, TRUE, pView);
    dlg.m_bKeepInFile = obj.m_bAlwaysEmbed == 1;
    if (dlg.DoModal() != IDOK || !dlg.IsChanged())
        return PictureEdit::Unchanged;
    CDrawDoc* pDoc = obj.m_pDocument;
    if (!dlg.MayApply()) {
        // A calendar does not take the record back (its cells and dates
        // stay as they are): only its picture changes.
        if (!dlg.IsPictureReplaced() && !dlg.IsPictureDeleted())
            return PictureEdit::Unchanged;
        if (pDoc != nullptr)
            RecordUndoProperties(pDoc, &obj);
        if (dlg.IsPictureDeleted())
            obj.RemovePicture();
        else
            obj.SetPictureFromImage(dlg.GetPicture(), dlg.IsEmbedded());
        if (pDoc != nullptr)
            pDoc->SetModifiedFlag(TRUE);
        return PictureEdit::Applied;
    }
    const BOOL bRotated = obj.IsRotated();
    if (bRotated)
        attrs.m_wFlags &= ~WORD(OBJ_FLAG_NATURAL_SIZE);
    if (pDoc != nullptr)
        RecordUndoProperties(pDoc, &obj);
    obj.SetAttributes(attrs);
    if (pDoc != nullptr)
        pDoc->SetModifiedFlag(TRUE);
    if (dlg.IsPictureDeleted()) {
        if (!bNested && pView != nullptr && IsPlainPicture(obj)) {
            pView->Select(&obj);
            pView->DeleteSelection(TRUE);
            return PictureEdit::ObjectDeleted;
        }
        return PictureEdit::Applied;
    }
    CDrawObj* pObj = &obj;
    const BOOL bCropped = obj.m_dCropLeft != 0.0 || obj.m_dCropTop != 0.0 || obj.m_dCropWidth != 1.0
        || obj.m_dCropHeight != 1.0;
    if (!bRotated && bCropped && dlg.WantsCropReset()) {
        if (pDoc != nullptr)
            RecordUndoCrop(pDoc, &pObj, obj.m_dCropLeft, obj.m_dCropTop, obj.m_dCropWidth, obj.m_dCropHeight);
        obj.SetCrop(0.0, 0.0, 1.0, 1.0);
        obj.SetPictureCropped(FALSE, FALSE);
    }
    // Another picture goes in whether or not the object is turned: the
    // record already names its file.
    if (dlg.IsPictureReplaced())
        obj.SetPictureFromImage(dlg.GetPicture(), dlg.IsEmbedded());
    if (!bRotated && dlg.IsNaturalSizeRestored() && obj.m_pPicture != nullptr) {
        SIZE natural{0, 0};
        obj.m_pPicture->GetSize(natural, TRUE);
        if (natural.cx > 0 && natural.cy > 0) {
            const CRect old = obj.m_position;
            CRect rect = old;
            rect.right = rect.left + (old.right < old.left ? -natural.cx : natural.cx);
            rect.bottom = rect.top + (old.bottom > old.top ? natural.cy : -natural.cy);
            obj.SetRect(rect, TRUE);
            // The step is taken from the old rectangle once the object has
            // its new one.
            if (pDoc != nullptr)
                RecordUndoResize(pDoc, &pObj, old);
        }
    }
    if (!obj.m_bAlwaysEmbed && pView != nullptr) {
        pView->FitObjectToWorkArea(&obj);
        obj.Invalidate();
    }
    return PictureEdit::Applied;
}

// The Shape dialog with its Apply buttons on the object; TRUE on OK, with
// the kind and side count in the record.
BOOL OpenShapeEditor(CDrawObj& obj, CObjectAttributes& attrs, CSurface* pView, CWnd* pOwner, BOOL bShowApply)
{
    CShapeDlg dlg(pOwner);
    dlg.m_nFlags = CShapeDlg::FlagReportChanges | CShapeDlg::FlagWriteRecord;
    dlg.SetObject(pView, &attrs, bShowApply, bShowApply ? &obj : nullptr);
    return dlg.DoModal() == IDOK;
}

} // namespace

BOOL CDrawObj::OnOpen(CSurface* pView, int nPage, CWnd* pParent, CObjectAttributes* pAttrs, UINT nFlags)
{
    // A dialog that hands over its own record (the text's gradient or
    // border) has the colour and fill page edit it; the dialog applies it.
    if (pAttrs != nullptr && nPage == EditColorFill) {
        CWnd* pOwner = pParent != nullptr ? pParent : AfxGetMainWnd();
        return ::EditColorFill(*pAttrs, pOwner, (nFlags & OpenTextGradient) != 0, FALSE);
    }
    // Likewise the shape page: the kind goes into the dialog's record.
    if (pAttrs != nullptr && nPage == EditShape)
        return OpenShapeEditor(*this, *pAttrs, pView, pParent != nullptr ? pParent : AfxGetMainWnd(), FALSE);
    CObjectAttributes attrs;
    GetAttributes(attrs);
    const BOOL bWasLocked = (m_wFlags & OBJ_FLAG_LOCKED) != 0;
    m_wFlags &= ~WORD(OBJ_FLAG_LOCKED);
    attrs.m_wFlags &= ~WORD(OBJ_FLAG_LOCKED);
    Invalidate();

    CWnd* pOwner = pParent != nullptr ? pParent : pView != nullptr ? static_cast<CWnd*>(pView) : AfxGetMainWnd();
    const int nKind = nPage == EditByContent ? EditorForContent(*this, attrs) : nPage;
    BOOL bChanged = FALSE;
    switch (nKind) {
    case EditText:
        if (OpenTextEditor(*this, attrs, pOwner)) {
            if (m_pDocument != nullptr)
                m_pDocument->SetModifiedFlag(TRUE);
            return TRUE;
        }
        break;
    case EditCalendar:
        bChanged = OpenCalendarEditor(*this, attrs, pOwner);
        break;
    case EditPicture: {
        const BOOL bNested = pParent != nullptr && pParent != pView;
        switch (OpenPictureEditor(*this, attrs, pView, pOwner, bNested)) {
        case PictureEdit::Unchanged:
            break;
        case PictureEdit::Applied:
            return TRUE;
        case PictureEdit::ObjectDeleted:
            // The object is gone with the selection: nothing of it may be
            // touched any more.
            return TRUE;
        }
        break;
    }
    case EditShape:
        bChanged = OpenShapeEditor(*this, attrs, pView, pOwner, TRUE);
        break;
    case EditColorFill:
        bChanged = ::EditColorFill(attrs, pOwner, FALSE, FALSE);
        break;
    default:
        break;
    }
    if (!bChanged) {
        // Nothing was edited: the object stays as it was, lock included.
        if (bWasLocked) {
            m_wFlags |= OBJ_FLAG_LOCKED;
            Invalidate();
        }
        return FALSE;
    }
    if (m_pDocument != nullptr)
        RecordUndoProperties(m_pDocument, this);
    SetAttributes(attrs);
    if (m_pDocument != nullptr)
        m_pDocument->SetModifiedFlag(TRUE);
    return TRUE;
}
