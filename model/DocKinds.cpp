#include "model/DocKinds.h"

#include "app/JulianDate.h"
#include "app/PrintPrefData.h"
#include "app/main/AppMessages.h"
#include "model/DrawRect.h"
#include "model/ObjectAttributes.h"
#include "model/ProjectKinds.h"
#include "model/SurfaceInfo.h"
#include "platform/base/CodePage.h"
#include "platform/storage/Storage.h"
#include "resources/resource.h"
#include "surface/Surface.h"

#include <algorithm>
#include <string>

namespace {

// The surface names of the two-sided kinds: "|Front|Back|".
constexpr UINT kTwoSidedSurfaceNames = IDS_SURFACE_NAMES;

int NonNegative(int nValue)
{
    return std::max(0, nValue);
}

} // namespace

// ---------------------------------------------------------------------------
// Two-sided kinds

IMPLEMENT_DYNCREATE(CPostcardDoc, CDrawDoc)

CPostcardDoc::CPostcardDoc()
{
    m_wDocFlags |= DOC_FLAG_TWO_SIDED_KIND;
}

void CPostcardDoc::CreateSurfaces()
{
    SetSurfaceNames(kTwoSidedSurfaceNames);
}

UINT CPostcardDoc::GetKindResourceId()
{
    return KIND_RESOURCE_TWO_SIDED;
}

int CPostcardDoc::GetSurfaceCount()
{
    return 2;
}

int CPostcardDoc::GetPrintPageCount()
{
    return 2;
}

void CPostcardDoc::CreatePageGuideLines()
{
    if (m_quickInfo[DocQuickInfo::Tiled])
        m_wDocFlags |= DOC_FLAG_TILED;
    else
        m_wDocFlags &= ~WORD(DOC_FLAG_TILED);
    m_nCurrentSurface = 0;
    for (int nIndex = DocQuickInfo::OffsetX; nIndex <= DocQuickInfo::GapY; ++nIndex)
        m_quickInfo[nIndex] = 0;
    // The back of a landscape product goes through the printer upside down
    // when the printing preference asks for it.
    const BOOL bTurnBack =
        m_quickInfo[DocQuickInfo::Orientation] == 0 && thePrintPrefs.IsOptionOff(GetDocKind());
    for (POSITION pos = m_surfaces.GetHeadPosition(); pos != nullptr;) {
        CSurfaceInfo* pInfo = static_cast<CSurfaceInfo*>(m_surfaces.GetNext(pos));
        pInfo->m_nAngle = (pInfo->m_nNumber == 1 && bTurnBack) ? 180 : 0;
    }
}

int CPostcardDoc::GetTwoSidedMethod()
{
    return 2;
}

int CPostcardDoc::GetSideCount()
{
    return 2;
}

void CPostcardDoc::PreparePrintPage(int nSurface, PagePrintInfo& info, CRect& rectMargins)
{
    const CSize size = GetSurfaceSize(m_sizeCachedSurface);
    const int nSheetWidth = LayoutSize(DocQuickInfo::SheetWidth);
    const int nSheetHeight = LayoutSize(DocQuickInfo::SheetHeight);
    const int nCardWidth = LayoutSize(DocQuickInfo::CardWidth);
    const int nCardHeight = LayoutSize(DocQuickInfo::CardHeight);
    const BOOL bPortrait = m_quickInfo[DocQuickInfo::Orientation] > 0;
    const BOOL bBack = nSurface == 1;

    CPoint ptLayout(rectMargins.left, rectMargins.top);
    if (m_quickInfo[DocQuickInfo::Centre]) {
        const int cx = (nSheetWidth - nCardWidth) / 2;
        const int cy = (nSheetHeight - nCardHeight) / 2;
        ptLayout = CPoint(rectMargins.left - cx, rectMargins.top - cy);
        rectMargins.left = NonNegative(rectMargins.left - cx);
        rectMargins.right = NonNegative(rectMargins.right - cx);
        rectMargins.top = NonNegative(rectMargins.top - cy);
        rectMargins.bottom = NonNegative(rectMargins.bottom - cy);
    }
    info.ptOrigin = CPoint(size.cx / 2 - ptLayout.x, size.cy / 2 - ptLayout.y);
    info.rectPage = rectMargins;
    CSurfaceInfo* pSurface = GetSurfaceInfo(nSurface);
    if (pSurface != nullptr && pSurface->m_nAngle == 180)
        info.rectPage = CRect(rectMargins.right, rectMargins.bottom, rectMargins.left, rectMargins.top);
    info.bFirstPage = static_cast<int>(info.nPage) == nSurface + 1;
    info.ptFeedOffset = CPoint(0, 0);
    if (m_quickInfo[DocQuickInfo::Tiled])
        return;

    if (thePrintPrefs.IsOptionOff(GetDocKind())) {
        // Where the printer takes the sheet moves the printable area.
        const CSize page = m_sizePage;
        int x = 0;
        int y = 0;
        switch (m_nPaperFeed) {
        case 1:
            if (bPortrait)
                x = NonNegative((page.cx - nSheetWidth) / 2);
            else
                y = NonNegative((page.cy - nSheetHeight) / 2);
            break;
        case 2:
            if (!bPortrait)
                y = NonNegative(page.cy - nSheetHeight);
            break;
        default:
            if (bPortrait)
                x = NonNegative(page.cx - nSheetWidth);
            break;
        }
        if (bBack)
            x = m_nPaperFeed == 2 ? -ptLayout.x : x - ptLayout.x;
        info.ptFeedOffset = CPoint(x, y);
        return;
    }

    // Small cards are placed on a Letter sheet.
    int nWidth = nSheetWidth;
    int nHeight = nSheetHeight;
    if (nWidth < 601 && nHeight < 601) {
        nWidth = bPortrait ? LETTER_WIDTH : LETTER_HEIGHT;
        nHeight = bPortrait ? LETTER_HEIGHT : LETTER_WIDTH;
    }
    const int h = size.cx / 2;
    int x = h;
    int y = size.cy / 2;
    switch (m_nPaperFeed) {
    case 1:
        x = nWidth / 2;
        break;
    case 2:
        x = bBack ? h : nWidth - h;
        break;
    default:
        if (bBack) {
            if (bPortrait)
                y = nHeight - size.cy / 2 - (nCardHeight > 0 ? nHeight % nCardHeight : 0);
            else
                x = nWidth - h;
        }
        break;
    }
    info.ptOrigin = CPoint(x - ptLayout.x, y - ptLayout.y);
}

UINT CPostcardDoc::GetSurfaceHintId()
{
    return SURFACE_HINT_FIRST + static_cast<UINT>(std::max(0, GetCurrentSurfaceNumber()));
}

IMPLEMENT_DYNCREATE(CTovellDoc, CDrawDoc)

CTovellDoc::CTovellDoc() = default;

int CTovellDoc::GetTwoSidedMethod()
{
    return 1;
}

int CTovellDoc::GetDocKind()
{
    return DOC_KIND_SHIRT;
}

// ---------------------------------------------------------------------------
// Posters

IMPLEMENT_DYNCREATE(CPosterDoc, CDrawDoc)

CPosterDoc::CPosterDoc() = default;

UINT CPosterDoc::GetKindResourceId()
{
    return KIND_RESOURCE_POSTER;
}

int CPosterDoc::GetSurfaceCount()
{
    return 1;
}

int CPosterDoc::GetPrintPageCount()
{
    return GetTileColumns() * GetTileRows();
}

void CPosterDoc::PreparePrintPage(int nSurface, PagePrintInfo& info, CRect& rectMargins)
{
    (void)nSurface;
    const int nColumns = GetTileColumns();
    const int nRows = GetTileRows();
    const int nPage = static_cast<int>(std::clamp<UINT>(info.nPage, 1, UINT(nColumns * nRows)));
    const int nColumn = (nPage - 1) % nColumns;
    const int nRow = (nPage - 1) / nColumns;
    const int nTileWidth = NonNegative(LayoutSize(DocQuickInfo::SheetWidth) - rectMargins.left - rectMargins.right);
    const int nTileHeight = NonNegative(LayoutSize(DocQuickInfo::SheetHeight) - rectMargins.top - rectMargins.bottom);

    const int x = rectMargins.left + (nColumns > 1 ? nTileWidth * nColumn : 0);
    const int y = rectMargins.top + (nRows > 1 ? nTileHeight * nRow : 0);
    // The cached size already lost the overlaps.
    const CSize size = m_sizeCachedSurface;
    info.ptOrigin = CPoint(size.cx / 2 - x, size.cy / 2 - y);
    // One printable tile from the tile's origin, y growing upwards.
    info.rectPage = CRect(x, -y, x + nTileWidth, -y - nTileHeight);
    info.bPageIsArea = TRUE;
    info.bFirstPage = info.nPage == 1;
}

CSize CPosterDoc::GetSurfaceSize(CSize size)
{
    const int nColumns = m_quickInfo[DocQuickInfo::TilesAcross];
    const int nRows = m_quickInfo[DocQuickInfo::TilesDown];
    if (nColumns >= 1 && nRows >= 1) {
        size.cx -= (m_rectMargins.left + m_rectMargins.right) * (std::min(nColumns, LAYOUT_MAX_TILES) - 1);
        size.cy -= (m_rectMargins.top + m_rectMargins.bottom) * (std::min(nRows, LAYOUT_MAX_TILES) - 1);
    }
    // Margins wider than a tile would leave nothing to draw on.
    size.cx = std::max<LONG>(size.cx, 1);
    size.cy = std::max<LONG>(size.cy, 1);
    return size;
}

IMPLEMENT_DYNCREATE(CApparelDoc, CDrawDoc)

CApparelDoc::CApparelDoc() = default;

int CApparelDoc::GetDocKind()
{
    return DOC_KIND_APPAREL;
}

IMPLEMENT_DYNCREATE(CMousepadDoc, CDrawDoc)

CMousepadDoc::CMousepadDoc() = default;

int CMousepadDoc::GetDocKind()
{
    return DOC_KIND_MOUSEPAD;
}

IMPLEMENT_DYNCREATE(CCalendarDoc, CDrawDoc)

CCalendarDoc::CCalendarDoc() = default;

int CCalendarDoc::GetDocKind()
{
    return DOC_KIND_CALENDAR;
}

UINT CCalendarDoc::GetKindResourceId()
{
    return 0;
}

BOOL CCalendarDoc::AddNewCalendar()
{
    CSurface* pView = dynamic_cast<CSurface*>(GetCurrentView());
    if (pView == nullptr)
        pView = GetSurfaceView(-1);
    if (pView == nullptr || pView->m_hWnd == NULL)
        return FALSE;
    CJulianDate today;
    today.SetToday();
    const DWORD nFirst = today.IsValid() ? JulianDayFromDate(today.GetMonth(), 1, today.GetYear()) : 0;
    if (nFirst == 0)
        return FALSE;

    // The printable part of the page (y up), less the margin; a page too
    // small for the margin gets the whole printable part, and one too small
    // for the printer's margins the whole page.
    const CRect page = pView->GetPageRect();
    CRect area(page.left + m_rectMargins.left, page.top - m_rectMargins.top, page.right - m_rectMargins.right,
        page.bottom + m_rectMargins.bottom);
    if (area.Width() <= 0 || area.top <= area.bottom)
        area = page;
    if (area.Width() > 2 * kNewCalendarMargin && area.top - area.bottom > 2 * kNewCalendarMargin) {
        area.left += kNewCalendarMargin;
        area.right -= kNewCalendarMargin;
        area.top -= kNewCalendarMargin;
        area.bottom += kNewCalendarMargin;
    }
    auto* pCalendar = new CDrawRect(area);
    pCalendar->m_nCalendarStart = static_cast<LONG>(nFirst);
    pCalendar->m_nCalendarWords[CObjectAttributes::CalendarKindWord] = CALENDAR_MONTH;
    // Weeks start on Sunday, as a wall calendar's do (a new record's 6
    // would start them on Saturday).
    constexpr LONG kSunday = 7;
    pCalendar->m_nCalendarWords[CObjectAttributes::FirstWeekdayWord] = kSunday;
    // The view owns the calendar from here on, so it is never lost, even
    // when the view goes before the message arrives; the message selects it.
    if (!AddObject(pCalendar, pView))
        return FALSE;
    pView->PostMessage(WM_TW_NEW_CALENDAR_ITEM, 0, reinterpret_cast<LPARAM>(pCalendar));
    return TRUE;
}

IMPLEMENT_DYNCREATE(CGeneralDoc, CDrawDoc)

CGeneralDoc::CGeneralDoc() = default;

int CGeneralDoc::GetDocKind()
{
    return DOC_KIND_GENERAL;
}

// ---------------------------------------------------------------------------
// Label sheets

IMPLEMENT_DYNCREATE(CBusCardDoc, CDrawDoc)

CBusCardDoc::CBusCardDoc() = default;

int CBusCardDoc::GetSurfaceCount()
{
    return 1;
}

void CBusCardDoc::CreatePageGuideLines()
{
    if (m_quickInfo[DocQuickInfo::Tiled])
        m_wDocFlags |= DOC_FLAG_TILED;
    else
        m_wDocFlags &= ~WORD(DOC_FLAG_TILED);
    if (m_quickInfo[DocQuickInfo::OffsetX] == -1) {
        m_quickInfo[DocQuickInfo::OffsetX] = 72;
        m_quickInfo[DocQuickInfo::OffsetY] = 53;
        m_bLabelValuesLandscape = FALSE;
    }
    if (m_quickInfo[DocQuickInfo::GapX] == -1) {
        m_quickInfo[DocQuickInfo::GapX] = 0;
        m_quickInfo[DocQuickInfo::GapY] = 0;
    }
    // Landscape exchanges across and down. The set-up runs more than once
    // per document, so the values remember which way they lie and are
    // exchanged only when that differs from the orientation.
    const BOOL bLandscape = m_quickInfo[DocQuickInfo::Orientation] == 0;
    if (bLandscape != m_bLabelValuesLandscape) {
        std::swap(m_quickInfo[DocQuickInfo::OffsetX], m_quickInfo[DocQuickInfo::OffsetY]);
        std::swap(m_quickInfo[DocQuickInfo::GapX], m_quickInfo[DocQuickInfo::GapY]);
        m_bLabelValuesLandscape = bLandscape;
    }
}

void CBusCardDoc::PreparePrintPage(int nSurface, PagePrintInfo& info, CRect& rectMargins)
{
    (void)nSurface;
    const CSize size = GetSurfaceSize(m_sizeCachedSurface);
    const CPoint ptLayout = ComputeLabelSheetLayout(rectMargins);
    const BOOL bCentre = m_quickInfo[DocQuickInfo::Centre] != 0;
    const CPoint ptOffset =
        bCentre ? CPoint(0, 0) : CPoint(LayoutOffset(DocQuickInfo::OffsetX), LayoutOffset(DocQuickInfo::OffsetY));
    info.ptOrigin = CPoint(size.cx / 2 + ptOffset.x - ptLayout.x, size.cy / 2 + ptOffset.y - ptLayout.y);
    if (bCentre) {
        info.rectPage = rectMargins;
    } else {
        // What the cards and gaps leave of the sheet on each side.
        const int nAcross = m_quickInfo[DocQuickInfo::CardsAcross];
        const int nDown = m_quickInfo[DocQuickInfo::CardsDown];
        const int nUsedX = ptOffset.x + nAcross * LayoutSize(DocQuickInfo::CardWidth) +
            (nAcross - 1) * LayoutOffset(DocQuickInfo::GapX);
        const int nUsedY = ptOffset.y + nDown * LayoutSize(DocQuickInfo::CardHeight) +
            (nDown - 1) * LayoutOffset(DocQuickInfo::GapY);
        info.rectPage = CRect(NonNegative(ptOffset.x), NonNegative(ptOffset.y),
            NonNegative(LayoutSize(DocQuickInfo::SheetWidth) - nUsedX),
            NonNegative(LayoutSize(DocQuickInfo::SheetHeight) - nUsedY));
    }
    info.bFirstPage = info.nPage == 1;
}

IMPLEMENT_DYNCREATE(CGiftTagDoc, CBusCardDoc)

CGiftTagDoc::CGiftTagDoc() = default;

int CGiftTagDoc::GetDocKind()
{
    return DOC_KIND_LABEL;
}

// ---------------------------------------------------------------------------

int IdentifyDocumentFile(LPCTSTR lpszPathName)
{
    const std::u16string path = platform::Utf16From1252(lpszPathName != nullptr ? lpszPathName : "");
    if (StgIsStorageFile(path.c_str()) != S_OK)
        return DOC_KIND_NONE;
    CLSID clsid = CLSID_NULL;
    if (FAILED(GetClassFile(path.c_str(), &clsid)))
        return DOC_KIND_NONE;
    for (int nKind = 0; nKind < kDocKindCount; ++nKind)
        if (IsDocKindClassId(GetDocKindClassId(nKind), clsid))
            return nKind;
    return DOC_KIND_NONE;
}
