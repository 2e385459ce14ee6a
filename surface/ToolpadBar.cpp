#include "surface/ToolpadBar.h"

#include "app/main/DesignerApp.h"
#include "resources/resource.h"
#include "surface/ToolpadWnd.h"

IMPLEMENT_DYNCREATE(CToolpadBar, CDialogBar)

BEGIN_MESSAGE_MAP(CToolpadBar, CDialogBar)
    ON_MESSAGE(WM_QUERYNEWPALETTE, OnQueryNewPalette)
    ON_MESSAGE(WM_PALETTECHANGED, OnPaletteChanged)
    ON_MESSAGE(WM_HELPHITTEST, OnToolpadHelpHitTest)
    ON_WM_WINDOWPOSCHANGED()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
END_MESSAGE_MAP()

CToolpadBar::CToolpadBar()
    : m_pPalette(std::make_unique<CToolpadWnd>())
{
}

CToolpadBar::~CToolpadBar()
{
    // The palette's window goes before the bar's.
    m_pPalette.reset();
}

BOOL CToolpadBar::Create(CWnd* pParentWnd, UINT nStyle, UINT nID)
{
    if (!CDialogBar::Create(pParentWnd, IDD_TOOLPAD, nStyle, nID))
        return FALSE;
    const CPoint ptPalette(::GetSystemMetrics(SM_CXDLGFRAME), ::GetSystemMetrics(SM_CYDLGFRAME));
    if (!m_pPalette->Create(this, ptPalette, CToolpadWnd::kPaletteId)) {
        DestroyWindow();
        return FALSE;
    }
    const CSize palette = m_pPalette->GetSize();
    m_sizeDefault = CSize(palette.cx + 2 * ptPalette.x, palette.cy + 2 * ptPalette.y);
    CString caption;
    if (!caption.LoadString(IDS_TP_CAPTION))
        caption = "Tool Pad";
    SetWindowText(caption);
    return TRUE;
}

void CToolpadBar::UpdateToolpad()
{
    if (m_pPalette != nullptr && m_pPalette->m_hWnd != NULL)
        m_pPalette->UpdateForSelection();
}

void CToolpadBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler)
{
    // The template has no controls; the palette (0xE800 is also the
    // Toolbars command) and the panels' buttons (33201.. are commands too)
    // keep the state the tool pad gives them.
    (void)pTarget;
    (void)bDisableIfNoHndler;
}

LRESULT CToolpadBar::OnQueryNewPalette(WPARAM wParam, LPARAM lParam)
{
    // The picture is drawn through the application palette each time; there
    // is no palette of the bar's own to realise.
    (void)wParam;
    (void)lParam;
    return 0;
}

LRESULT CToolpadBar::OnPaletteChanged(WPARAM wParam, LPARAM lParam)
{
    (void)wParam;
    (void)lParam;
    if (m_pPalette != nullptr && m_pPalette->m_hWnd != NULL)
        m_pPalette->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    return 0;
}

LRESULT CToolpadBar::OnToolpadHelpHitTest(WPARAM wParam, LPARAM lParam)
{
    (void)wParam;
    (void)lParam;
    return kToolpadHelpContext;
}

void CToolpadBar::OnWindowPosChanged(WINDOWPOS* lpwndpos)
{
    CDialogBar::OnWindowPosChanged(lpwndpos);
    // Docking and floating move the bar between frames; the picture behind
    // the panels is drawn relative to them, so all of it is redrawn.
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CToolpadBar::OnLButtonDown(UINT nFlags, CPoint point)
{
    if (IsSelectionBeingEdited())
        return;
    // Presses reach the bar posted from the palette; one that arrives after
    // the button went up would start a drag nothing ends.
    if (::GetAsyncKeyState(VK_LBUTTON) >= 0)
        return;
    CDialogBar::OnLButtonDown(nFlags, point);
}

void CToolpadBar::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    if (IsSelectionBeingEdited())
        return;
    CDialogBar::OnLButtonDblClk(nFlags, point);
}
