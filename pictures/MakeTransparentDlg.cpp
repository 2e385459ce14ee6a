#include "pictures/MakeTransparentDlg.h"

#include "app/RectGeometry.h"
#include "app/main/AppGlobals.h"
#include "pictures/Image.h"
#include "platform/framework/Afx.h"
#include "resources/resource.h"

#include <utility>

namespace {

// The picture is kept this far inside the view's frame.
constexpr int kPictureInset = 4;
// The sunken bevel is drawn just outside the rectangle it is given.
constexpr int kBevel = 2;

// Whether the path ends in one of the formats that keep a transparent colour
// whatever the display.
BOOL IsBitmapOrPaintbrushPath(const CString& strPath)
{
    if (strPath.GetLength() < 3)
        return FALSE;
    CString strExt = strPath.Right(3);
    strExt.MakeLower();
    return strExt == "bmp" || strExt == "pcx";
}

} // namespace

// ---- The picture view ----------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CEyedropperView, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_SETCURSOR()
    ON_WM_LBUTTONUP()
END_MESSAGE_MAP()

CRect CEyedropperView::GetPictureRect()
{
    if (m_pImage == nullptr || m_pImage->m_nHandle < 0 || m_hWnd == NULL)
        return CRect(0, 0, 0, 0);
    CRect rectClient;
    GetClientRect(&rectClient);
    rectClient.DeflateRect(kPictureInset, kPictureInset);
    SIZE size{0, 0};
    m_pImage->GetSize(size);
    CClientDC dc(this);
    CRect rectPicture;
    FitAspectRect(&rectPicture, &dc, size.cx, size.cy, rectClient.left, rectClient.top, rectClient.right,
        rectClient.bottom);
    return rectPicture;
}

BOOL CEyedropperView::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CEyedropperView::OnPaint()
{
    CPaintDC dc(this);
    CRect rectClient;
    GetClientRect(&rectClient);
    SunkenFrame frame;
    frame.left = rectClient.left + kBevel;
    frame.top = rectClient.top + kBevel;
    frame.right = rectClient.right - kBevel;
    frame.bottom = rectClient.bottom - kBevel;
    frame.crFill = RGB(255, 255, 255);
    frame.bFill = 1;
    DrawSunkenFrame(&dc, frame);
    CRect rectPicture = GetPictureRect();
    if (rectPicture.IsRectEmpty())
        return;
    if (m_pImage->m_wFlags & IMAGE_FLAG_MIRROR_X)
        std::swap(rectPicture.left, rectPicture.right);
    if (m_pImage->m_wFlags & IMAGE_FLAG_MIRROR_Y)
        std::swap(rectPicture.top, rectPicture.bottom);
    // One picture, even when it is tiled on the page.
    const int nSavedOverride = m_pImage->m_nTileOverride;
    m_pImage->m_nTileOverride = 1;
    m_pImage->Draw(&dc, rectPicture, rectPicture, rectClient, FALSE, FALSE, TRUE);
    m_pImage->m_nTileOverride = nSavedOverride;
}

BOOL CEyedropperView::OnSetCursor(CWnd*, UINT, UINT)
{
    HCURSOR hCursor = NULL;
    if (CWinApp* pApp = AfxGetApp())
        hCursor = pApp->LoadCursor(IDC_STUDIO_EYEDROPPER);
    if (hCursor == NULL)
        return FALSE;
    ::SetCursor(hCursor);
    return TRUE;
}

void CEyedropperView::OnLButtonUp(UINT, CPoint point)
{
    if (!GetPictureRect().PtInRect(point))
        return;
    if (auto* pDlg = dynamic_cast<CMakeTransparentDlg*>(GetParent())) {
        ClientToScreen(&point);
        pDlg->ScreenToClient(&point);
        pDlg->PickColorAt(point);
    }
}

// ---- The swatch ----------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CColorSwatch, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

BOOL CColorSwatch::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CColorSwatch::OnPaint()
{
    CPaintDC dc(this);
    CRect rect;
    GetClientRect(&rect);
    dc.FillSolidRect(&rect, m_crColor);
    CBrush black(RGB(0, 0, 0));
    dc.FrameRect(&rect, &black);
}

// ---- The dialog ----------------------------------------------------------------------------------

CMakeTransparentDlg::CMakeTransparentDlg(CImage* pImage, COLORREF crColor, CWnd* pParent)
    : CDialog(IDD, pParent), m_pImage(pImage), m_crColor(crColor)
{
}

UINT CMakeTransparentDlg::RefusalReason() const
{
    const DWORD nColors = GetDisplayColorCount();
    if (nColors == 16)
        return IDS_STUDIO_NO_16_COLORS;
    const CString strPath = m_pImage != nullptr ? m_pImage->GetPathName() : CString();
    if (nColors != 256 && !IsBitmapOrPaintbrushPath(strPath))
        return IDS_STUDIO_ONLY_BMP_PCX;
    return 0;
}

BOOL CMakeTransparentDlg::OnInitDialog()
{
    m_view.SubclassDlgItem(IDC_STUDIO_PICKER_VIEW, this);
    m_swatch.SubclassDlgItem(IDC_STUDIO_SWATCH, this);
    CDialog::OnInitDialog();

    if (const UINT nReason = RefusalReason()) {
        if (CWnd* pLabel = GetDlgItem(IDC_STUDIO_SWATCH_LABEL))
            pLabel->EnableWindow(FALSE);
        m_swatch.EnableWindow(FALSE);
        m_crColor = 0;
        m_bRefused = TRUE;
        AfxMessageBox(nReason, MB_ICONEXCLAMATION);
        if (m_pImage != nullptr)
            m_pImage->SetTransparency(FALSE, &m_crColor);
        EndDialog(IDCANCEL);
        return TRUE;
    }

    m_view.SetPicture(m_pImage);
    m_swatch.m_crColor = m_crColor;
    m_btnOK.SubclassWithIcon(IDOK, this, IDI_BUTTON_OK);
    m_btnCancel.SubclassWithIcon(IDCANCEL, this, IDI_BUTTON_CANCEL);
    return TRUE;
}

void CMakeTransparentDlg::PickColorAt(CPoint pointClient)
{
    // The colour as the screen shows it, read from the view that shows it.
    CPoint pointView = pointClient;
    ClientToScreen(&pointView);
    m_view.ScreenToClient(&pointView);
    CClientDC dc(&m_view);
    const COLORREF crPicked = dc.GetPixel(pointView);
    if (crPicked == CLR_INVALID)
        return;
    m_crColor = crPicked;
    m_swatch.m_crColor = crPicked;
    m_swatch.Invalidate();
}
