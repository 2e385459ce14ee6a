#include "pictures/CropDlg.h"

#include "app/PrefData.h"
#include "model/DrawObj.h"
#include "pictures/Image.h"
#include "platform/framework/Afx.h"
#include "resources/resource.h"
#include "surface/Surface.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// The preview is never drawn larger than this either way.
constexpr int kMaxPreviewSide = 1024;

int RoundToInt(double value)
{
    return static_cast<int>(std::floor(value + 0.5));
}

double Clamp01(double value)
{
    if (!std::isfinite(value))
        return 0.0;
    return std::clamp(value, 0.0, 1.0);
}

// Sets one of an edge and an extent, both fractions of the picture, and
// gives way with the other so that the two never reach past its far side.
void SetWithin(double& dSet, double& dOther, double value)
{
    dSet = Clamp01(value);
    if (dSet + dOther > 1.0)
        dOther = 1.0 - dSet;
}

} // namespace

// ---- The rails window --------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CCropRails, CWnd)
    ON_WM_CREATE()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_SETCURSOR()
END_MESSAGE_MAP()

CCropRails::CCropRails()
{
    for (int n = 0; n < 4; ++n) {
        m_rails[n].bAlongY = n == RailTop || n == RailBottom;
        m_rails[n].nLinked = n ^ 1;
    }
}

CCropRails::~CCropRails() = default;

BOOL CCropRails::Create(const CRect& rect, CWnd* pParent, UINT nID)
{
    m_rectPlace = rect;
    LPCTSTR lpszClass = AfxRegisterWndClass(0, NULL, NULL);
    return CWnd::Create(lpszClass, "", WS_CHILD | WS_VISIBLE, rect, pParent, nID);
}

int CCropRails::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    LayOut();
    // Before a picture comes the bars lie along the top and the left.
    m_rails[RailTop].rectBar = CRect(0, 0, m_rectArea.right, kBar);
    m_rails[RailBottom].rectBar = CRect(0, kBar, m_rectArea.right, kBand);
    m_rails[RailLeft].rectBar = CRect(0, 0, kBar, m_rectArea.bottom);
    m_rails[RailRight].rectBar = CRect(kBar, 0, kBand, m_rectArea.bottom);
    return 0;
}

void CCropRails::LayOut()
{
    CRect client;
    GetClientRect(&client);
    // The bars lie outside the picture, half of the band on each side.
    m_rectArea = client;
    m_rectArea.DeflateRect(kBar, kBar);
    if (m_rectArea.right < m_rectArea.left)
        m_rectArea.right = m_rectArea.left;
    if (m_rectArea.bottom < m_rectArea.top)
        m_rectArea.bottom = m_rectArea.top;
    for (CCropRail& rail : m_rails) {
        rail.nLower = rail.bAlongY ? m_rectArea.top : m_rectArea.left;
        rail.nUpper = rail.bAlongY ? m_rectArea.bottom : m_rectArea.right;
    }
}

void CCropRails::SetPicture(HBITMAP hBitmap, int cx, int cy)
{
    m_bmpPicture.DeleteObject();
    if (hBitmap != NULL)
        m_bmpPicture.Attach(hBitmap);
    m_sizePicture = CSize(std::max(0, cx), std::max(0, cy));
    m_bShown = hBitmap != NULL;
    if (m_hWnd != NULL && m_sizePicture.cx > 0 && m_sizePicture.cy > 0) {
        // The largest size of the picture's proportions that fits the place.
        const double room = std::max(0, m_rectPlace.Width() - kBand);
        const double roomY = std::max(0, m_rectPlace.Height() - kBand);
        const double scale = std::min(room / m_sizePicture.cx, roomY / m_sizePicture.cy);
        const int w = RoundToInt(m_sizePicture.cx * scale) + kBand;
        const int h = RoundToInt(m_sizePicture.cy * scale) + kBand;
        const CPoint corner(m_rectPlace.left + (m_rectPlace.Width() - w) / 2,
            m_rectPlace.top + (m_rectPlace.Height() - h) / 2);
        MoveWindow(corner.x, corner.y, w, h, FALSE);
        LayOut();
    }
    PlaceRails();
    if (m_hWnd != NULL)
        Invalidate(TRUE);
}

void CCropRails::SetLeft(double x, BOOL bRedraw)
{
    SetWithin(m_dLeft, m_dWidth, x);
    if (bRedraw)
        PlaceRails();
}

void CCropRails::SetTop(double y, BOOL bRedraw)
{
    SetWithin(m_dTop, m_dHeight, y);
    if (bRedraw)
        PlaceRails();
}

void CCropRails::SetWidth(double w, BOOL bRedraw)
{
    SetWithin(m_dWidth, m_dLeft, w);
    if (bRedraw)
        PlaceRails();
}

void CCropRails::SetHeight(double h, BOOL bRedraw)
{
    SetWithin(m_dHeight, m_dTop, h);
    if (bRedraw)
        PlaceRails();
}

void CCropRails::PlaceRails()
{
    const double w = m_rectArea.Width();
    const double h = m_rectArea.Height();
    m_rectCrop.left = m_rectArea.left + RoundToInt(m_dLeft * w);
    m_rectCrop.top = m_rectArea.top + RoundToInt(m_dTop * h);
    m_rectCrop.right = std::min<LONG>(m_rectArea.right, m_rectCrop.left + RoundToInt(m_dWidth * w));
    m_rectCrop.bottom = std::min<LONG>(m_rectArea.bottom, m_rectCrop.top + RoundToInt(m_dHeight * h));
    BarsFromCrop();
    if (m_hWnd != NULL)
        Invalidate(TRUE);
}

void CCropRails::BarsFromCrop()
{
    CRect client;
    if (m_hWnd != NULL)
        GetClientRect(&client);
    m_rails[RailTop].rectBar = CRect(client.left, m_rectCrop.top - kBar, client.right, m_rectCrop.top);
    m_rails[RailBottom].rectBar = CRect(client.left, m_rectCrop.bottom, client.right, m_rectCrop.bottom + kBar);
    m_rails[RailLeft].rectBar = CRect(m_rectCrop.left - kBar, client.top, m_rectCrop.left, client.bottom);
    m_rails[RailRight].rectBar = CRect(m_rectCrop.right, client.top, m_rectCrop.right + kBar, client.bottom);
}

void CCropRails::FractionsFromCrop()
{
    // An area under a pixel gives no quotient: its direction keeps the
    // fractions it had.
    if (m_rectArea.Width() >= 1) {
        const double w = m_rectArea.Width();
        m_dLeft = Clamp01((m_rectCrop.left - m_rectArea.left) / w);
        m_dWidth = Clamp01(m_rectCrop.Width() / w);
    }
    if (m_rectArea.Height() >= 1) {
        const double h = m_rectArea.Height();
        m_dTop = Clamp01((m_rectCrop.top - m_rectArea.top) / h);
        m_dHeight = Clamp01(m_rectCrop.Height() / h);
    }
}

BOOL CCropRails::AnyDragging() const
{
    for (const CCropRail& rail : m_rails) {
        if (rail.bDragging)
            return TRUE;
    }
    return FALSE;
}

void CCropRails::OnLButtonDown(UINT nFlags, CPoint point)
{
    (void)nFlags;
    const BOOL bRegion = m_rectCrop.PtInRect(point);
    for (CCropRail& rail : m_rails) {
        if (rail.bFrozen)
            continue;
        const BOOL bOnBar = rail.rectBar.PtInRect(point);
        if (!bRegion && !bOnBar)
            continue;
        rail.bDragging = TRUE;
        rail.nPressOffset = rail.bAlongY ? point.y - rail.rectBar.top : point.x - rail.rectBar.left;
        rail.nKeep = bRegion ? (rail.bAlongY ? m_rectCrop.Height() : m_rectCrop.Width()) : 1;
    }
    m_bDragging = AnyDragging();
    if (m_bDragging)
        SetCapture();
    Invalidate(TRUE);
}

void CCropRails::Follow(CPoint point)
{
    // Each axis separately: a pair dragged together moves the region whole.
    for (int nFirst : {RailTop, RailLeft}) {
        CCropRail& first = m_rails[nFirst];
        CCropRail& second = m_rails[nFirst + 1];
        if (!first.bDragging && !second.bDragging)
            continue;
        const int along = first.bAlongY ? point.y : point.x;
        LONG& lo = first.bAlongY ? m_rectCrop.top : m_rectCrop.left;
        LONG& hi = first.bAlongY ? m_rectCrop.bottom : m_rectCrop.right;
        // A bar follows the pointer less the press offset; the first bar's
        // inner edge lies a bar's width further on.
        const int nFirstEdge = along - first.nPressOffset + kBar;
        const int nSecondEdge = along - second.nPressOffset;
        if (first.bDragging && second.bDragging) {
            // The region moves whole and keeps its size.
            const int nKeep = first.nKeep;
            lo = std::clamp(nFirstEdge, first.nLower, std::max(first.nLower, first.nUpper - nKeep));
            hi = std::min<int>(first.nUpper, lo + nKeep);
        } else if (first.bDragging) {
            const int nMost = std::max<int>(first.nLower, hi - first.nKeep);
            lo = std::clamp(nFirstEdge, first.nLower, nMost);
        } else {
            const int nLeast = std::min<int>(second.nUpper, lo + second.nKeep);
            hi = std::clamp(nSecondEdge, nLeast, second.nUpper);
        }
    }
    BarsFromCrop();
    Invalidate(TRUE);
}

void CCropRails::OnMouseMove(UINT nFlags, CPoint point)
{
    if (!m_bDragging)
        return;
    if (!(nFlags & MK_LBUTTON)) {
        EndDrag();
        return;
    }
    Follow(point);
}

void CCropRails::OnLButtonUp(UINT nFlags, CPoint point)
{
    (void)nFlags;
    if (!m_bDragging)
        return;
    Follow(point);
    EndDrag();
}

void CCropRails::EndDrag()
{
    for (CCropRail& rail : m_rails) {
        rail.bDragging = FALSE;
        rail.nKeep = 1;
    }
    m_bDragging = FALSE;
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    FractionsFromCrop();
    Invalidate(TRUE);
    if (CWnd* pParent = GetParent())
        pParent->SendMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), 0), LPARAM(m_hWnd));
}

HCURSOR CCropRails::CursorAt(CPoint point) const
{
    if (m_rectCrop.PtInRect(point))
        return ::LoadCursor(NULL, IDC_SIZEALL);
    for (const CCropRail& rail : m_rails) {
        if (rail.rectBar.PtInRect(point))
            return ::LoadCursor(NULL, rail.bAlongY ? IDC_SIZENS : IDC_SIZEWE);
    }
    return ::LoadCursor(NULL, IDC_ARROW);
}

BOOL CCropRails::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    (void)pWnd;
    (void)message;
    if (nHitTest != HTCLIENT || m_bDragging)
        return FALSE;
    CPoint point;
    ::GetCursorPos(&point);
    ScreenToClient(&point);
    ::SetCursor(CursorAt(point));
    return TRUE;
}

BOOL CCropRails::OnEraseBkgnd(CDC* pDC)
{
    (void)pDC;
    return TRUE;
}

void CCropRails::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(&client, ::GetSysColor(COLOR_BTNFACE));
    if (m_bShown && m_bmpPicture.GetSafeHandle() != NULL && !m_rectArea.IsRectEmpty()) {
        CDC memDC;
        if (memDC.CreateCompatibleDC(&dc)) {
            CBitmap* pOld = memDC.SelectObject(&m_bmpPicture);
            dc.SetStretchBltMode(COLORONCOLOR);
            dc.StretchBlt(m_rectArea.left, m_rectArea.top, m_rectArea.Width(), m_rectArea.Height(), &memDC, 0, 0,
                m_sizePicture.cx, m_sizePicture.cy, SRCCOPY);
            memDC.SelectObject(pOld);
        }
    }
    CRect frame = m_rectArea;
    frame.InflateRect(1, 1);
    const COLORREF crFrame = ::GetSysColor(COLOR_HIGHLIGHT);
    dc.Draw3dRect(&frame, crFrame, crFrame);
    for (const CCropRail& rail : m_rails) {
        CRect bar = rail.rectBar;
        dc.FillSolidRect(&bar, ::GetSysColor(COLOR_BTNFACE));
        dc.Draw3dRect(&bar, ::GetSysColor(COLOR_BTNHIGHLIGHT), ::GetSysColor(COLOR_BTNSHADOW));
    }
}

// ---- The dialog --------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CCropDlg, CDialog)
    ON_BN_CLICKED(IDC_CROP_RESET, OnReset)
    ON_COMMAND_RANGE(IDC_CROP_INCHES, IDC_CROP_PERCENT, OnUnits)
    ON_COMMAND(IDC_CROP_RAILS, OnRailsChanged)
END_MESSAGE_MAP()

CCropDlg::CCropDlg(CWnd* pParent)
    : CDialog(IDD, pParent)
    , m_nUnits((thePrefs.Flags & PREF_FLAG_INCHES) ? UnitInches : UnitCentimeters)
{
}

void CCropDlg::SetDrawObject(CDrawObj* pObj)
{
    m_pObj = pObj;
    if (m_hWnd != NULL)
        LoadObject();
}

BOOL CCropDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (CWnd* pDemo = GetDlgItem(IDC_CROP_DEMO))
        pDemo->ShowWindow(SW_HIDE);
    m_btnOK.SubclassWithIcon(IDOK, this, IDI_BUTTON_OK);
    m_btnCancel.SubclassWithIcon(IDCANCEL, this, IDI_BUTTON_CANCEL);
    m_btnHelp.SubclassWithIcon(IDC_CROP_HELP, this, IDI_BUTTON_HELP);
    if (CWnd* pPlace = GetDlgItem(IDC_CROP_RAILS)) {
        CRect rect;
        pPlace->GetWindowRect(&rect);
        ScreenToClient(&rect);
        // The window takes the placeholder's id: its notifications come
        // as that control's.
        pPlace->SetDlgCtrlID(0);
        pPlace->ShowWindow(SW_HIDE);
        m_rails.Create(rect, this, IDC_CROP_RAILS);
    }
    CheckRadioButton(IDC_CROP_INCHES, IDC_CROP_PERCENT, IDC_CROP_INCHES + m_nUnits);
    LoadObject();
    CenterWindow();
    return TRUE;
}

void CCropDlg::LoadObject()
{
    if (m_pObj == NULL || m_rails.m_hWnd == NULL)
        return;
    if (m_pObj->m_pPicture != nullptr && m_pObj->HasPicture()) {
        const CRect full = m_pObj->GetFullPictureRect();
        const double inchesX = std::abs(full.Width()) * 0.01;
        const double inchesY = std::abs(full.Height()) * 0.01;
        m_fWidthInches = static_cast<float>(inchesX);
        m_fHeightInches = static_cast<float>(inchesY);
        m_fWidthCm = static_cast<float>(inchesX * 2.54);
        m_fHeightCm = static_cast<float>(inchesY * 2.54);
        // The preview at the picture's size on the screen, bounded.
        const SIZE ppi = ScreenPixelsPerInch();
        double cx = std::max(1.0, inchesX * ppi.cx);
        double cy = std::max(1.0, inchesY * ppi.cy);
        const double shrink = std::max(cx, cy) > kMaxPreviewSide ? kMaxPreviewSide / std::max(cx, cy) : 1.0;
        const int w = std::max(1, RoundToInt(cx * shrink));
        const int h = std::max(1, RoundToInt(cy * shrink));
        CClientDC screen(this);
        CDC memDC;
        CBitmap bitmap;
        if (memDC.CreateCompatibleDC(&screen) && bitmap.CreateCompatibleBitmap(&screen, w, h)) {
            CBitmap* pOld = memDC.SelectObject(&bitmap);
            const CRect dest(0, 0, w, h);
            memDC.FillSolidRect(&dest, RGB(255, 255, 255));
            m_pObj->m_pPicture->Draw(&memDC, dest, dest, dest);
            memDC.SelectObject(pOld);
            m_rails.SetPicture(static_cast<HBITMAP>(bitmap.Detach()), w, h);
        }
    }
    // The dialog shows the picture as it appears on the page; the object
    // counts its offsets from the far sides while it lies in its own
    // orientation (as its drawing does).
    double left = m_pObj->m_dCropLeft;
    double top = m_pObj->m_dCropTop;
    if (m_pObj->IsOrientedX())
        left = 1.0 - left - m_pObj->m_dCropWidth;
    if (m_pObj->IsOrientedY())
        top = 1.0 - top - m_pObj->m_dCropHeight;
    m_rails.SetLeft(left, FALSE);
    m_rails.SetTop(top, FALSE);
    m_rails.SetWidth(m_pObj->m_dCropWidth, FALSE);
    m_rails.SetHeight(m_pObj->m_dCropHeight, TRUE);
    UpdateLabels();
}

void CCropDlg::OnReset()
{
    m_rails.SetLeft(0.0, FALSE);
    m_rails.SetTop(0.0, FALSE);
    m_rails.SetWidth(1.0, FALSE);
    m_rails.SetHeight(1.0, TRUE);
    UpdateLabels();
    if (CWnd* pOK = GetDlgItem(IDOK))
        pOK->SetFocus();
}

void CCropDlg::OnUnits(UINT nID)
{
    m_nUnits = static_cast<int>(nID - IDC_CROP_INCHES);
    UpdateLabels();
}

void CCropDlg::OnRailsChanged()
{
    UpdateLabels();
}

void CCropDlg::UpdateLabels()
{
    const double l = m_rails.GetLeft();
    const double t = m_rails.GetTop();
    const double w = m_rails.GetWidth();
    const double h = m_rails.GetHeight();
    if (CWnd* pReset = GetDlgItem(IDC_CROP_RESET))
        pReset->EnableWindow(!(l == 0.0 && t == 0.0 && w == 1.0 && h == 1.0));
    double fullX = 100.0;
    double fullY = 100.0;
    const char* pszSuffix = "%";
    switch (m_nUnits) {
    case UnitInches:
        fullX = m_fWidthInches;
        fullY = m_fHeightInches;
        pszSuffix = " in";
        break;
    case UnitCentimeters:
        fullX = m_fWidthCm;
        fullY = m_fHeightCm;
        pszSuffix = " cm";
        break;
    default:
        break;
    }
    const struct {
        int nID;
        double value;
    } fields[] = {
        {IDC_CROP_HORZ, l * fullX},
        {IDC_CROP_VERT, t * fullY},
        {IDC_CROP_WIDTH, w * fullX},
        {IDC_CROP_HEIGHT, h * fullY},
    };
    for (const auto& field : fields) {
        char text[64];
        std::snprintf(text, sizeof text, "%1.2f%s", field.value, pszSuffix);
        SetDlgItemText(field.nID, text);
    }
}
