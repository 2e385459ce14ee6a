#include "surface/AlignDlg.h"

#include "resources/resource.h"

namespace {

// The sample rectangles, in dialog client pixels.
constexpr int kCyanWidth = 83;
constexpr int kCyanHeight = 48;
constexpr int kMagentaWidth = 56;
constexpr int kMagentaHeight = 73;

// Where each sample starts from the sample area's top-left corner, by
// choice code. The offsets line the two rectangles up as the choice says
// (equal left edges, equal right edges, equal centres) and keep them
// apart for None.
struct SampleOffset {
    int nMagenta;
    int nCyan;
};
constexpr SampleOffset kHorzOffsets[] = {{70, 55}, {36, 36}, {101, 74}, {36, 75}};
constexpr SampleOffset kVertOffsets[] = {{65, 90}, {49, 62}, {34, 34}, {34, 90}};

const SampleOffset& OffsetOf(const SampleOffset (&table)[4], int nChoice)
{
    return table[nChoice >= 0 && nChoice < 4 ? nChoice : 3];
}

} // namespace

BEGIN_MESSAGE_MAP(CAlignDlg, CDialog)
    ON_WM_ERASEBKGND()
    ON_CONTROL_RANGE(BN_CLICKED, IDC_ALIGN_LEFT, IDC_ALIGN_RIGHT, OnHorzChoice)
    ON_CONTROL_RANGE(BN_CLICKED, IDC_ALIGN_HORZ_NONE, IDC_ALIGN_HORZ_NONE, OnHorzChoice)
    ON_CONTROL_RANGE(BN_CLICKED, IDC_ALIGN_VERT_NONE, IDC_ALIGN_BOTTOM, OnVertChoice)
    ON_COMMAND(ID_HELP, OnHelpButton)
END_MESSAGE_MAP()

CAlignDlg::CAlignDlg(CWnd* pParent)
    : CDialog(IDD_ALIGN, pParent)
{
}

UINT CAlignDlg::HorzCommand(int nChoice)
{
    switch (nChoice) {
    case HorzCenter: return ID_ARRANGE_ALIGN_HCENTER;
    case HorzLeft: return ID_ARRANGE_ALIGN_LEFT;
    case HorzRight: return ID_ARRANGE_ALIGN_RIGHT;
    default: return 0;
    }
}

UINT CAlignDlg::VertCommand(int nChoice)
{
    switch (nChoice) {
    case VertBottom: return ID_ARRANGE_ALIGN_BOTTOM;
    case VertCenter: return ID_ARRANGE_ALIGN_VCENTER;
    case VertTop: return ID_ARRANGE_ALIGN_TOP;
    default: return 0;
    }
}

void CAlignDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_ALIGN_VERT_NONE, m_btnVertNone);
    DDX_Control(pDX, IDC_ALIGN_HORZ_NONE, m_btnHorzNone);
    DDX_Control(pDX, IDC_ALIGN_PREVIEW, m_preview);
}

BOOL CAlignDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    static constexpr int kHorzIDs[] = {IDC_ALIGN_HORZ_CENTER, IDC_ALIGN_LEFT, IDC_ALIGN_RIGHT, IDC_ALIGN_HORZ_NONE};
    static constexpr int kVertIDs[] = {IDC_ALIGN_BOTTOM, IDC_ALIGN_VERT_CENTER, IDC_ALIGN_TOP, IDC_ALIGN_VERT_NONE};
    if (m_nHorz < HorzCenter || m_nHorz > HorzNone)
        m_nHorz = HorzNone;
    if (m_nVert < VertBottom || m_nVert > VertNone)
        m_nVert = VertNone;
    for (int id : kHorzIDs)
        CheckDlgButton(id, id == kHorzIDs[m_nHorz] ? BST_CHECKED : BST_UNCHECKED);
    for (int id : kVertIDs)
        CheckDlgButton(id, id == kVertIDs[m_nVert] ? BST_CHECKED : BST_UNCHECKED);
    // The static only marks the place; the dialog paints the sample there.
    m_preview.ShowWindow(SW_HIDE);
    CenterWindow();
    return TRUE;
}

CRect CAlignDlg::GetPreviewRect() const
{
    CRect rect;
    if (m_preview.m_hWnd == NULL)
        return rect;
    m_preview.GetWindowRect(&rect);
    ScreenToClient(&rect);
    rect.DeflateRect(4, 4);
    return rect;
}

void CAlignDlg::GetSampleRects(CRect& rectCyan, CRect& rectMagenta) const
{
    const CRect area = GetPreviewRect();
    const SampleOffset& horz = OffsetOf(kHorzOffsets, m_nHorz);
    const SampleOffset& vert = OffsetOf(kVertOffsets, m_nVert);
    rectCyan = CRect(CPoint(area.left + horz.nCyan, area.top + vert.nCyan), CSize(kCyanWidth, kCyanHeight));
    rectMagenta
        = CRect(CPoint(area.left + horz.nMagenta, area.top + vert.nMagenta), CSize(kMagentaWidth, kMagentaHeight));
}

BOOL CAlignDlg::OnEraseBkgnd(CDC* pDC)
{
    CDialog::OnEraseBkgnd(pDC);
    DrawPreview(pDC);
    return TRUE;
}

void CAlignDlg::DrawPreview(CDC* pDC)
{
    const CRect area = GetPreviewRect();
    if (area.IsRectEmpty())
        return;
    CRect frame = area;
    frame.InflateRect(2, 2);
    pDC->Draw3dRect(&frame, ::GetSysColor(COLOR_BTNSHADOW), ::GetSysColor(COLOR_3DLIGHT));
    frame.DeflateRect(1, 1);
    pDC->Draw3dRect(&frame, ::GetSysColor(COLOR_BTNSHADOW), ::GetSysColor(COLOR_BTNFACE));
    pDC->FillSolidRect(&area, RGB(255, 255, 255));

    // A larger dialog font than expected shrinks nothing here: the samples
    // keep their pixel sizes and are cut at the area's edge.
    const int nSaved = pDC->SaveDC();
    pDC->IntersectClipRect(&area);
    CRect rectCyan;
    CRect rectMagenta;
    GetSampleRects(rectCyan, rectMagenta);
    CBrush black(RGB(0, 0, 0));
    auto drawSample = [&](CRect rect, COLORREF crFill) {
        pDC->FillSolidRect(&rect, crFill);
        pDC->FrameRect(&rect, &black);
        rect.DeflateRect(1, 1);
        pDC->FrameRect(&rect, &black);
    };
    drawSample(rectCyan, RGB(0, 255, 255));
    drawSample(rectMagenta, RGB(255, 0, 255));
    pDC->RestoreDC(nSaved);
}

void CAlignDlg::InvalidatePreview()
{
    CRect rect = GetPreviewRect();
    rect.InflateRect(2, 2);
    InvalidateRect(&rect, TRUE);
}

void CAlignDlg::OnHorzChoice(UINT nID)
{
    switch (nID) {
    case IDC_ALIGN_HORZ_CENTER: m_nHorz = HorzCenter; break;
    case IDC_ALIGN_LEFT: m_nHorz = HorzLeft; break;
    case IDC_ALIGN_RIGHT: m_nHorz = HorzRight; break;
    default: m_nHorz = HorzNone; break;
    }
    InvalidatePreview();
}

void CAlignDlg::OnVertChoice(UINT nID)
{
    switch (nID) {
    case IDC_ALIGN_BOTTOM: m_nVert = VertBottom; break;
    case IDC_ALIGN_VERT_CENTER: m_nVert = VertCenter; break;
    case IDC_ALIGN_TOP: m_nVert = VertTop; break;
    default: m_nVert = VertNone; break;
    }
    InvalidatePreview();
}

void CAlignDlg::OnHelpButton()
{
    // Help is the main window's: the dialog passes the command on and stays
    // open.
    if (CWnd* pMain = AfxGetMainWnd())
        pMain->PostMessage(WM_COMMAND, MAKEWPARAM(ID_HELP, 0), 0);
}

INT_PTR RunAlignDialog(CWnd* pParent)
{
    CAlignDlg dlg(pParent);
    const INT_PTR nResult = dlg.DoModal();
    if (nResult != IDOK)
        return nResult;
    CWnd* pMain = AfxGetMainWnd();
    if (pMain == NULL)
        return nResult;
    // Horizontal first: the two moves are independent, but the undo list
    // shows them in this order.
    if (const UINT nID = CAlignDlg::HorzCommand(dlg.m_nHorz))
        pMain->PostMessage(WM_COMMAND, MAKEWPARAM(nID, 0), 0);
    if (const UINT nID = CAlignDlg::VertCommand(dlg.m_nVert))
        pMain->PostMessage(WM_COMMAND, MAKEWPARAM(nID, 0), 0);
    return nResult;
}
