#include "surface/ScaleDlg.h"

#include "app/Paths.h"
#include "app/PrefData.h"
#include "model/DrawObj.h"
#include "pictures/Image.h"
#include "resources/resource.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// The picture shown for an object that has none of its own.
constexpr char kStandInPicture[] = "support\\tslogo.jpg";

// The object's rectangle is in hundredths of an inch.
constexpr float kInchesPerUnit = 0.01f;
constexpr float kCentimetresPerInch = 2.54f;

} // namespace

// ---- Preview ---------------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CScalePreviewWnd, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CScalePreviewWnd::CScalePreviewWnd() = default;

CScalePreviewWnd::~CScalePreviewWnd()
{
    if (m_hWnd != NULL)
        DestroyWindow();
}

BOOL CScalePreviewWnd::Create(const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    LPCTSTR lpszClass = AfxRegisterWndClass(0, ::LoadCursor(NULL, IDC_ARROW), HBRUSH(COLOR_WINDOW + 1), NULL);
    return CWnd::Create(lpszClass, "", WS_CHILD | WS_VISIBLE, rect, pParentWnd, nID);
}

void CScalePreviewWnd::SetPicture(HBITMAP hBitmap)
{
    m_pBitmap.reset();
    m_pictureSize = CSize(0, 0);
    if (hBitmap != NULL) {
        auto pBitmap = std::make_unique<CBitmap>();
        pBitmap->Attach(hBitmap);
        BITMAP bm{};
        if (pBitmap->GetBitmap(&bm) != 0 && bm.bmWidth > 0 && bm.bmHeight > 0) {
            m_pictureSize = CSize(bm.bmWidth, bm.bmHeight);
            m_pBitmap = std::move(pBitmap);
        }
    }
    if (m_hWnd != NULL)
        Invalidate();
}

void CScalePreviewWnd::SetScale(int nPercent, int nDirection)
{
    m_nPercent = nPercent;
    m_nDirection = nDirection;
    if (m_hWnd != NULL)
        Invalidate();
}

CRect CScalePreviewWnd::PictureRect(const CRect& client, CSize picture, int nPercent, int nDirection)
{
    if (client.Width() <= 0 || client.Height() <= 0 || picture.cx <= 0 || picture.cy <= 0)
        return CRect();
    // As large as fits whole: a picture of nearly the window's shape would
    // spill over one edge if it were fitted by its longer side alone.
    const double fit = std::min(double(client.Width()) / picture.cx, double(client.Height()) / picture.cy);
    // Percentages come from the dialog's range; the bound only keeps the
    // arithmetic in the coordinate range whatever a caller passes.
    const int nBounded = std::clamp(nPercent, 0, 10000);
    const double cx = picture.cx * fit * CScaleDlg::AxisFactor(nBounded, nDirection, TRUE);
    const double cy = picture.cy * fit * CScaleDlg::AxisFactor(nBounded, nDirection, FALSE);
    const int nWidth = int(std::lround(cx));
    const int nHeight = int(std::lround(cy));
    if (nWidth <= 0 || nHeight <= 0)
        return CRect();
    const int x = client.left + (client.Width() - nWidth) / 2;
    const int y = client.top + (client.Height() - nHeight) / 2;
    return CRect(x, y, x + nWidth, y + nHeight);
}

BOOL CScalePreviewWnd::OnEraseBkgnd(CDC* pDC)
{
    (void)pDC;
    return TRUE; // painting covers the whole client area
}

void CScalePreviewWnd::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(&client, ::GetSysColor(COLOR_WINDOW));
    if (m_pBitmap == nullptr)
        return;
    const CRect rect = PictureRect(client, m_pictureSize, m_nPercent, m_nDirection);
    if (rect.IsRectEmpty())
        return;
    // A picture grown past the window is cut at its edge; the window is
    // what the dialog has room for.
    dc.IntersectClipRect(&client);
    CDC memDC;
    if (!memDC.CreateCompatibleDC(&dc))
        return;
    CBitmap* pOld = memDC.SelectObject(m_pBitmap.get());
    dc.SetStretchBltMode(COLORONCOLOR);
    dc.StretchBlt(rect.left, rect.top, rect.Width(), rect.Height(), &memDC, 0, 0, m_pictureSize.cx,
        m_pictureSize.cy, SRCCOPY);
    memDC.SelectObject(pOld);
    dc.Draw3dRect(&rect, ::GetSysColor(COLOR_3DHIGHLIGHT), ::GetSysColor(COLOR_BTNSHADOW));
}

// ---- Dialog ----------------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CScaleDlg, CDialog)
    ON_EN_CHANGE(IDC_SCALE_PERCENT, OnPercentChange)
    ON_WM_HSCROLL()
    ON_CONTROL_RANGE(BN_CLICKED, IDC_SCALE_ALL, IDC_SCALE_VERT_ONLY, OnDirection)
    ON_CONTROL_RANGE(BN_CLICKED, IDC_SCALE_INCHES, IDC_SCALE_CENTIMETERS, OnUnit)
    ON_COMMAND(ID_HELP, OnHelpButton)
END_MESSAGE_MAP()

CScaleDlg::CScaleDlg(int nMinPercent, int nMaxPercent, CWnd* pParent)
    : CDialog(IDD_SCALE, pParent)
    , m_nUnit((thePrefs.Flags & PREF_FLAG_INCHES) ? UnitInches : UnitCentimeters)
    , m_nMinPercent(std::min(nMinPercent, nMaxPercent))
    , m_nMaxPercent(std::max(nMinPercent, nMaxPercent))
{
}

CScaleDlg::~CScaleDlg() = default;

double CScaleDlg::AxisFactor(int nPercent, int nDirection, BOOL bHorizontalAxis)
{
    const int nExcluded = bHorizontalAxis ? DirectionVertical : DirectionHorizontal;
    return nDirection == nExcluded ? 1.0 : nPercent * 0.01;
}

CString CScaleDlg::FormatSize(double fValue, int nUnit)
{
    CString text;
    text.Format("%1.2f%s", fValue, nUnit == UnitInches ? " in" : " cm");
    return text;
}

void CScaleDlg::SetObject(CDrawObj* pObj)
{
    m_pObject = pObj;
    if (m_hWnd != NULL && ComputeSizes())
        UpdateLabels();
}

int CScaleDlg::GetPercent(BOOL bFromMember)
{
    if (bFromMember) {
        if (m_hWnd != NULL)
            UpdateData(TRUE);
        return m_nPercent;
    }
    return m_slider.m_hWnd != NULL ? m_slider.GetPos() : m_nPercent;
}

int CScaleDlg::GetDirection(BOOL bFromMember)
{
    if (bFromMember || m_hWnd == NULL)
        return m_nDirection;
    switch (GetCheckedRadioButton(IDC_SCALE_ALL, IDC_SCALE_VERT_ONLY)) {
    case IDC_SCALE_HORZ_ONLY: return DirectionHorizontal;
    case IDC_SCALE_VERT_ONLY: return DirectionVertical;
    default: return DirectionAll;
    }
}

void CScaleDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_SCALE_PERCENT, m_nPercent);
    DDV_MinMaxInt(pDX, m_nPercent, m_nMinPercent, m_nMaxPercent);
    DDX_Radio(pDX, IDC_SCALE_ALL, m_nDirection);
    DDX_Radio(pDX, IDC_SCALE_INCHES, m_nUnit);
}

BOOL CScaleDlg::TakePlace(int nID, CRect& rect, HWND& hAfter)
{
    CWnd* pPlace = GetDlgItem(nID);
    if (pPlace == NULL)
        return FALSE;
    pPlace->GetWindowRect(&rect);
    ScreenToClient(&rect);
    hAfter = ::GetWindow(pPlace->m_hWnd, GW_HWNDPREV);
    pPlace->DestroyWindow();
    return TRUE;
}

BOOL CScaleDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_btnOK.SubclassWithIcon(IDOK, this, IDI_BUTTON_OK);
    m_btnCancel.SubclassWithIcon(IDCANCEL, this, IDI_BUTTON_CANCEL);
    m_btnHelp.SubclassWithIcon(ID_HELP, this, IDI_BUTTON_HELP);

    // The made controls take their places' ids and their places in the tab
    // order, so that Tab from the percentage reaches the slider next.
    auto keepOrder = [](CWnd& wnd, HWND hAfter) {
        ::SetWindowPos(wnd.m_hWnd, hAfter != NULL ? hAfter : HWND_TOP, 0, 0, 0, 0,
            SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    };
    CRect rect;
    HWND hAfter = NULL;
    if (TakePlace(IDC_SCALE_PREVIEW, rect, hAfter) && m_preview.Create(rect, this, IDC_SCALE_PREVIEW))
        keepOrder(m_preview, hAfter);
    if (TakePlace(IDC_SCALE_SPIN, rect, hAfter)
        && m_spin.Create(WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS, rect, this,
            IDC_SCALE_SPIN)) {
        keepOrder(m_spin, hAfter);
    }
    if (TakePlace(IDC_SCALE_SLIDER, rect, hAfter)
        && m_slider.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | TBS_HORZ | TBS_NOTICKS, rect, this, IDC_SCALE_SLIDER)) {
        keepOrder(m_slider, hAfter);
        m_slider.SetRange(m_nMinPercent, m_nMaxPercent);
        m_slider.SetPos(std::clamp(m_nPercent, m_nMinPercent, m_nMaxPercent));
    }
    if (m_spin.m_hWnd != NULL) {
        if (CWnd* pEdit = GetDlgItem(IDC_SCALE_PERCENT))
            m_spin.SetBuddy(pEdit);
        m_spin.SetRange32(m_nMinPercent, m_nMaxPercent);
        m_spin.SetPos(m_nPercent);
    }
    if (m_preview.m_hWnd != NULL && m_tips.Create(this)) {
        m_tips.AddTool(&m_preview, IDS_SCALE_PREVIEW_TIP);
        m_tips.Activate(TRUE);
    }
    if (!ComputeSizes())
        return TRUE;
    UpdateLabels();
    CenterWindow();
    return TRUE;
}

BOOL CScaleDlg::ComputeSizes()
{
    HBITMAP hBitmap = NULL;
    if (m_pObject != nullptr && m_pObject->HasPicture()) {
        hBitmap = m_pObject->m_pPicture->CreateDDB(NULL, FALSE);
    } else {
        // A stand-in that cannot be read leaves the preview empty.
        CImage standIn(GetProgramPath(kStandInPicture), CImage::kDefaultLoadMode);
        hBitmap = standIn.CreateDDB(NULL, FALSE);
    }
    if (m_preview.m_hWnd != NULL)
        m_preview.SetPicture(hBitmap);
    else if (hBitmap != NULL)
        ::DeleteObject(hBitmap);

    if (m_pObject != nullptr) {
        const CRect& position = m_pObject->m_position;
        // Widths of rectangles read from a file may not fit an int.
        const double width = std::fabs(double(position.right) - double(position.left));
        const double height = std::fabs(double(position.bottom) - double(position.top));
        m_fWidthInches = float(width) * kInchesPerUnit;
        m_fHeightInches = float(height) * kInchesPerUnit;
    } else {
        m_fWidthInches = 0.0f;
        m_fHeightInches = 0.0f;
    }
    m_fWidthCm = m_fWidthInches * kCentimetresPerInch;
    m_fHeightCm = m_fHeightInches * kCentimetresPerInch;
    if (m_fWidthInches == 0.0f || m_fHeightInches == 0.0f) {
        // A line along an axis, or nothing at all: a percentage of zero
        // stays zero.
        AfxMessageBox(IDS_SCALE_CANNOT_SCALE);
        EndDialog(IDCANCEL);
        return FALSE;
    }
    return TRUE;
}

void CScaleDlg::UpdateLabels()
{
    const int nPercent = GetPercent(FALSE);
    const int nDirection = GetDirection(FALSE);
    m_preview.SetScale(nPercent, nDirection);
    const int nUnit = IsDlgButtonChecked(IDC_SCALE_INCHES) == BST_CHECKED ? UnitInches : UnitCentimeters;
    const double width = nUnit == UnitInches ? m_fWidthInches : m_fWidthCm;
    const double height = nUnit == UnitInches ? m_fHeightInches : m_fHeightCm;
    SetDlgItemText(IDC_SCALE_WIDTH, FormatSize(width * AxisFactor(nPercent, nDirection, TRUE), nUnit));
    SetDlgItemText(IDC_SCALE_HEIGHT, FormatSize(height * AxisFactor(nPercent, nDirection, FALSE), nUnit));
}

void CScaleDlg::OnPercentChange()
{
    // The edit changes while the dialog is being made, before the slider
    // exists.
    if (m_slider.m_hWnd == NULL)
        return;
    BOOL bNumber = FALSE;
    const int nPercent = int(GetDlgItemInt(IDC_SCALE_PERCENT, &bNumber, TRUE));
    if (bNumber) {
        m_bNoSpinUpdate = TRUE;
        m_slider.SetPos(nPercent);
        m_bNoSpinUpdate = FALSE;
    }
    UpdateLabels();
}

void CScaleDlg::OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
{
    (void)nSBCode;
    (void)nPos;
    if (pScrollBar == NULL || pScrollBar->m_hWnd != m_slider.m_hWnd) {
        CDialog::OnHScroll(nSBCode, nPos, pScrollBar);
        return;
    }
    // The spin control writes the edit, whose change brings the labels up
    // to date.
    if (!m_bNoSpinUpdate && m_spin.m_hWnd != NULL)
        m_spin.SetPos(m_slider.GetPos());
    m_bNoSpinUpdate = FALSE;
    UpdateLabels();
}

void CScaleDlg::OnDirection(UINT nID)
{
    (void)nID;
    UpdateLabels();
}

void CScaleDlg::OnUnit(UINT nID)
{
    (void)nID;
    UpdateLabels();
}

BOOL CScaleDlg::PreTranslateMessage(MSG* pMsg)
{
    if (m_tips.m_hWnd != NULL && pMsg->message >= WM_MOUSEFIRST && pMsg->message <= WM_MOUSELAST)
        m_tips.RelayEvent(pMsg);
    // The slider is reached from the percentage with Tab and from the
    // direction buttons with Shift+Tab, whatever the dialog manager's
    // order says.
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_TAB && m_slider.m_hWnd != NULL) {
        const HWND hFocus = ::GetFocus();
        const BOOL bShift = ::GetKeyState(VK_SHIFT) < 0;
        const int nFocusID = hFocus != NULL && ::GetParent(hFocus) == m_hWnd ? ::GetDlgCtrlID(hFocus) : 0;
        const BOOL bFromPercent = !bShift && nFocusID == IDC_SCALE_PERCENT;
        const BOOL bFromDirection = bShift && nFocusID >= IDC_SCALE_ALL && nFocusID <= IDC_SCALE_VERT_ONLY;
        if (bFromPercent || bFromDirection) {
            GotoDlgCtrl(&m_slider);
            return TRUE;
        }
    }
    return CDialog::PreTranslateMessage(pMsg);
}

void CScaleDlg::OnHelpButton()
{
    // Help is the main window's: the dialog passes the command on and stays
    // open.
    if (CWnd* pMain = AfxGetMainWnd())
        pMain->PostMessage(WM_COMMAND, MAKEWPARAM(ID_HELP, 0), 0);
}
