// CDialogBar: a control bar made from a dialog template. The dialog
// manager makes the window and its controls; the bar keeps the template's
// size, and at idle its controls are enabled by the update handlers of
// their ids (disabled when no handler exists).

#include "platform/framework/ControlBar.h"

#include "platform/base/ResourceTables.h"
#include "platform/base/Resources.h"
#include "platform/framework/Frame.h"

IMPLEMENT_DYNAMIC(CDialogBar, CControlBar)

CDialogBar::CDialogBar()
{
    m_cxLeftBorder = m_cxRightBorder = 0;
    m_cyTopBorder = m_cyBottomBorder = 0;
}

CDialogBar::~CDialogBar()
{
    // The window goes before the template it was made from.
    if (m_hWnd != NULL && ::IsWindow(m_hWnd))
        DestroyWindow();
}

BOOL CDialogBar::Create(CWnd* pParentWnd, LPCTSTR lpszTemplateName, UINT nStyle, UINT nID)
{
    if (lpszTemplateName == nullptr)
        return FALSE;
    HINSTANCE hInst = AfxFindResourceHandle(lpszTemplateName, RT_DIALOG);
    const platform::DialogTemplate* pTemplate = platform::FindDialogTemplate(hInst, lpszTemplateName);
    if (pTemplate == nullptr)
        return FALSE;
    return CreateFromTemplate(pParentWnd, hInst, pTemplate, nStyle, nID);
}

BOOL CDialogBar::CreateIndirect(CWnd* pParentWnd, LPCDLGTEMPLATE lpTemplate, UINT nStyle, UINT nID)
{
    if (lpTemplate == nullptr)
        return FALSE;
    return CreateFromTemplate(pParentWnd, AfxGetResourceHandle(), lpTemplate, nStyle, nID);
}

BOOL CDialogBar::CreateFromTemplate(CWnd* pParentWnd, HINSTANCE hInst, LPCDLGTEMPLATE lpTemplate, UINT nStyle, UINT nID)
{
    if (pParentWnd == nullptr || pParentWnd->m_hWnd == NULL || m_hWnd != NULL)
        return FALSE;
    m_dwStyle = nStyle & CBRS_ALL;
    // Whatever the template says, a bar is a hidden child without a frame;
    // it is shown once it has been placed.
    m_template = std::make_unique<platform::DialogTemplate>(*lpTemplate);
    m_template->style &= ~(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_VISIBLE | DS_MODALFRAME |
        WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
    m_template->style |= WS_CHILD | WS_CLIPSIBLINGS;
    m_template->exStyle &= ~WS_EX_DLGMODALFRAME;
    m_template->menuName = nullptr;
    m_template->menuId = 0;

    AfxHookWindowCreate(this);
    HWND hWnd = ::CreateDialogIndirectParam(hInst, m_template.get(), pParentWnd->m_hWnd, nullptr, 0);
    BOOL bAttached = AfxUnhookWindowCreate();
    if (hWnd == NULL)
        return FALSE;
    if (!bAttached || m_hWnd != hWnd) {
        // Not ours after all: do not leave a window nobody owns.
        ::DestroyWindow(hWnd);
        return FALSE;
    }
    SetDlgCtrlID(static_cast<int>(nID));
    CRect rect;
    GetWindowRect(&rect);
    m_sizeDefault = rect.Size();
    AttachToDockSite(pParentWnd);
    // The layout gives the bar its place; until then it takes no room.
    SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    UpdateChildTips();
    return TRUE;
}

CSize CDialogBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    if (bStretch)
        return bHorz ? CSize(32767, m_sizeDefault.cy) : CSize(m_sizeDefault.cx, 32767);
    return m_sizeDefault;
}

void CDialogBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler)
{
    UpdateDialogControls(pTarget, bDisableIfNoHndler);
}
