#include "model/DrawOleObj.h"

#include "app/DcStateSaver.h"
#include "model/DrawDoc.h"
#include "platform/base/Archive.h"
#include "platform/base/Arithmetic.h"
#include "platform/base/Exception.h"
#include "platform/framework/RectTracker.h"
#include "platform/framework/WinApp.h"
#include "platform/gdi/Dc.h"
#include "platform/storage/Storage.h"
#include "platform/ui/User.h"
#include "surface/Surface.h"
#include "surface/SurfaceGlobals.h"

IMPLEMENT_SERIAL(CDrawOleObj, CDrawObj, 1)
IMPLEMENT_SERIAL(CDrawItem, COleClientItem, 0)

namespace {

// Item states in which the object is active in place.
BOOL IsActiveInPlace(const COleClientItem* pItem)
{
    const UINT nState = pItem->GetItemState();
    return nState == COleClientItem::activeState || nState == COleClientItem::activeUIState;
}

// The paste under way, if any (CPastedItemScope).
BOOL s_bPasting = FALSE;
const CPastedItemSource* s_pPastedSource = nullptr;

BOOL IsAspect(DWORD value)
{
    return value == DVASPECT_CONTENT || value == DVASPECT_THUMBNAIL || value == DVASPECT_ICON
        || value == DVASPECT_DOCPRINT;
}

// HIMETRIC (hundredths of a millimetre) to hundredths of an inch.
int HimetricToLogical(int n)
{
    return MulDiv(n, 10, 254);
}

} // namespace

// ---- CDrawOleObj ------------------------------------------------------------------------------

CDrawOleObj::CDrawOleObj() = default;

CDrawOleObj::CDrawOleObj(const CRect& position)
    : CDrawObj(position)
{
}

CDrawOleObj::~CDrawOleObj()
{
    if (m_pClientItem != nullptr) {
        m_pClientItem->m_pDrawObj = nullptr;
        m_pClientItem->Delete(TRUE);
        m_pClientItem = nullptr;
    }
}

void CDrawOleObj::SetItem(CDrawItem* pItem)
{
    if (pItem == m_pClientItem)
        return;
    if (m_pClientItem != nullptr) {
        m_pClientItem->m_pDrawObj = nullptr;
        m_pClientItem->Delete(TRUE);
    }
    m_pClientItem = pItem;
    if (pItem != nullptr)
        pItem->m_pDrawObj = this;
}

void CDrawOleObj::Serialize(CArchive& ar)
{
    CDrawObj::Serialize(ar);
    if (ar.IsStoring()) {
        ar << static_cast<DWORD>(m_extent.cx) << static_cast<DWORD>(m_extent.cy);
        ar.WriteObject(m_pClientItem);
        return;
    }
    DWORD cx = 0;
    DWORD cy = 0;
    ar >> cx >> cy;
    m_extent = CSize(static_cast<int>(cx), static_cast<int>(cy));
    CObject* pObject = ar.ReadObject(RUNTIME_CLASS(CDrawItem));
    auto* pItem = static_cast<CDrawItem*>(pObject);
    // An item already owned by another object (the stream referring back
    // to it) would be deleted twice.
    if (pItem != nullptr && pItem->m_pDrawObj != nullptr && pItem->m_pDrawObj != this)
        AfxThrowArchiveException(CArchiveException::badIndex, ar.m_strFileName);
    SetItem(pItem);
}

void CDrawOleObj::Draw(CDC* pDC)
{
    if (m_pClientItem == nullptr || pDC == nullptr)
        return;
    CDCStateSaver saver(pDC);
    CRect rect = m_position;
    pDC->LPtoDP(&rect);
    rect.NormalizeRect();
    pDC->SetViewportOrg(0, 0);
    pDC->SetWindowOrg(0, 0);
    pDC->SetMapMode(MM_TEXT);
    m_pClientItem->Draw(pDC, &rect);
    if (pDC->IsPrinting() || !g_showOleFrames)
        return;
    CRectTracker tracker;
    tracker.m_rect = rect;
    tracker.m_nStyle = m_pClientItem->GetType() == OT_LINK ? CRectTracker::dottedLine : CRectTracker::solidLine;
    const UINT nState = m_pClientItem->GetItemState();
    if (nState == COleClientItem::openState || nState == COleClientItem::activeUIState)
        tracker.m_nStyle |= CRectTracker::hatchInside;
    tracker.Draw(pDC);
}

void CDrawOleObj::MoveTo(const CRect& position, CSurface* pView, int nHandle, const CRect* pUnrotated)
{
    if (position == m_position || (m_wFlags & OBJ_FLAG_LOCKED))
        return;
    CDrawObj::MoveTo(position, pView, nHandle, pUnrotated);
    if (m_pClientItem != nullptr && IsActiveInPlace(m_pClientItem))
        m_pClientItem->SetItemRects();
}

BOOL CDrawOleObj::OnOpen(CSurface* pView, int nPage, CWnd* pParent, CObjectAttributes* pAttrs, UINT nFlags)
{
    (void)nPage;
    (void)pParent;
    (void)pAttrs;
    (void)nFlags;
    if (m_pClientItem == nullptr)
        return FALSE;
    CWaitCursor wait;
    const LONG nVerb = (::GetKeyState(VK_CONTROL) < 0) ? OLEIVERB_OPEN : OLEIVERB_PRIMARY;
    m_pClientItem->DoVerb(nVerb, pView);
    return TRUE;
}

CDrawObj* CDrawOleObj::Clone(CDrawDoc* pDoc, CSurface* pView)
{
    CWaitCursor wait;
    auto* pClone = new CDrawOleObj(m_position);
    auto* pItem = new CDrawItem(m_pDocument, pClone);
    try {
        if (m_pClientItem == nullptr || !pItem->CreateCloneFrom(m_pClientItem))
            AfxThrowMemoryException();
        pClone->SetItem(pItem);
        pItem = nullptr;
        pClone->m_bOutline = m_bOutline;
        pClone->m_logpen = m_logpen;
        pClone->m_bFill = m_bFill;
        pClone->m_logbrush = m_logbrush;
        pClone->m_extent = m_extent;
    } catch (CException*) {
        // Nothing of the copy is left behind: its item leaves the document.
        if (pItem != nullptr)
            pItem->Delete(TRUE);
        delete pClone;
        throw;
    }
    if (pDoc != nullptr && !pDoc->AddObject(pClone, pView))
        return nullptr;
    return pClone;
}

// ---- Pasted items ----------------------------------------------------------------------------

IStorage* CopyToTemporaryStorage(IStorage* pSource)
{
    if (pSource == nullptr)
        return nullptr;
    IStorage* pCopy = nullptr;
    if (FAILED(StgCreateDocfile(nullptr, STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_CREATE | STGM_DELETEONRELEASE, 0,
            &pCopy)))
        return nullptr;
    if (FAILED(pSource->CopyTo(0, nullptr, nullptr, pCopy))) {
        pCopy->Release();
        return nullptr;
    }
    return pCopy;
}

CPastedItemScope::CPastedItemScope(const CPastedItemSource* pSource)
    : m_bWasActive(s_bPasting)
    , m_pPrevious(s_pPastedSource)
{
    s_bPasting = TRUE;
    s_pPastedSource = pSource;
}

CPastedItemScope::~CPastedItemScope()
{
    s_bPasting = m_bWasActive;
    s_pPastedSource = m_pPrevious;
}

// ---- CDrawItem --------------------------------------------------------------------------------

CDrawItem::CDrawItem(COleDocument* pContainer, CDrawOleObj* pOwner)
    : COleClientItem(pContainer)
    , m_pDrawObj(pOwner)
{
}

CDrawItem::~CDrawItem() = default;

void CDrawItem::Serialize(CArchive& ar)
{
    if (!ar.IsStoring() && s_bPasting) {
        LoadPasted(ar, s_pPastedSource);
        return;
    }
    COleClientItem::Serialize(ar);
}

void CDrawItem::LoadPasted(CArchive& ar, const CPastedItemSource* pSource)
{
    DWORD dwType = 0;
    DWORD dwItemNumber = 0;
    DWORD dwCachedAspect = 0;
    WORD wMoniker = 0;
    DWORD dwDrawAspect = 0;
    ar >> dwType >> dwItemNumber >> dwCachedAspect >> wMoniker >> dwDrawAspect;
    if (dwType > OT_STATIC || dwItemNumber == 0 || dwItemNumber == 0xFFFFFFFF || !IsAspect(dwCachedAspect)
        || wMoniker > 1 || !IsAspect(dwDrawAspect))
        AfxThrowArchiveException(CArchiveException::genericException, ar.m_strFileName);
    auto* pDoc = m_pDocument != nullptr ? m_pDocument : dynamic_cast<COleDocument*>(ar.m_pDocument);
    if (pDoc == nullptr)
        AfxThrowArchiveException(CArchiveException::genericException, ar.m_strFileName);

    // The copy lives in a temporary storage of its own until the design is
    // saved, as a duplicated item's does.
    IStorage* pCopy = CopyToTemporaryStorage(pSource != nullptr ? pSource->FindItemStorage(dwItemNumber) : nullptr);
    Release();
    m_nItemType = dwType;
    m_nCachedAspect = dwCachedAspect;
    m_bMoniker = wMoniker;
    m_nDrawAspect = dwDrawAspect;
    if (m_pDocument == nullptr)
        pDoc->AddItem(this);
    m_dwItemNumber = pDoc->GetNewItemNumber();
    if (pCopy != nullptr) {
        m_lpStorage = pCopy;
        m_nItemState = loadedState;
    }
}

void CDrawItem::OnChange(OLE_NOTIFICATION nCode, DWORD dwParam)
{
    COleClientItem::OnChange(nCode, dwParam);
    if (m_pDrawObj == nullptr)
        return;
    if (nCode == OLE_CHANGED) {
        UpdateExtent();
        m_pDrawObj->Invalidate();
    } else if (nCode == OLE_CHANGED_STATE || nCode == OLE_CHANGED_ASPECT) {
        m_pDrawObj->Invalidate();
    }
}

BOOL CDrawItem::OnChangeItemPosition(const CRect& rectPos)
{
    if (m_pDrawObj != nullptr && m_pDrawObj->m_pSurface != nullptr) {
        CRect rect = rectPos;
        m_pDrawObj->m_pSurface->DPtoLPRect(&rect);
        if (rect != m_pDrawObj->m_position) {
            m_pDrawObj->Invalidate();
            m_pDrawObj->m_position = rect;
            CSize extent;
            if (GetExtent(&extent))
                m_pDrawObj->m_extent = extent;
            m_pDrawObj->Invalidate();
            if (CDocument* pDoc = GetDocument())
                pDoc->SetModifiedFlag(TRUE);
        }
    }
    return COleClientItem::OnChangeItemPosition(rectPos);
}

void CDrawItem::OnGetItemPosition(CRect& rPosition)
{
    if (m_pDrawObj == nullptr)
        return;
    if (m_pDrawObj->m_position.IsRectEmpty())
        UpdateExtent();
    rPosition = m_pDrawObj->m_position;
    if (m_pDrawObj->m_pSurface != nullptr)
        m_pDrawObj->m_pSurface->LPtoDPRect(&rPosition);
}

BOOL CDrawItem::UpdateExtent()
{
    CSize extent;
    if (m_pDrawObj == nullptr || !GetExtent(&extent))
        return FALSE;
    CDrawOleObj* pOwner = m_pDrawObj;
    if (extent == pOwner->m_extent)
        return FALSE;
    pOwner->Invalidate();
    CRect& rect = pOwner->m_position;
    const CSize old = pOwner->m_extent;
    if (old.cx == 0 && old.cy == 0) {
        rect.right = rect.left + HimetricToLogical(extent.cx);
        rect.bottom = rect.top - HimetricToLogical(extent.cy);
    } else if (!IsActiveInPlace(this)) {
        // An axis of the old extent that was 0 cannot be scaled from: it
        // is sized as the first time.
        const int nWidth = old.cx != 0 ? MulDiv(rect.Width(), extent.cx, old.cx) : HimetricToLogical(extent.cx);
        const int nHeight = old.cy != 0 ? MulDiv(rect.top - rect.bottom, extent.cy, old.cy) : HimetricToLogical(extent.cy);
        rect.right = rect.left + nWidth;
        rect.bottom = rect.top - nHeight;
    }
    pOwner->m_extent = extent;
    pOwner->Invalidate();
    return TRUE;
}
