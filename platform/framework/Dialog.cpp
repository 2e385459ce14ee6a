// CDialog over the window system's dialog manager.

#include "platform/framework/Dialog.h"

#include "platform/base/ResourceTables.h"
#include "platform/base/Resources.h"
#include "platform/framework/DialogInternal.h"
#include "platform/framework/WinApp.h"
#include "platform/gdi/GdiObject.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
    ON_MESSAGE(WM_SETFONT, HandleSetFont)
    ON_MESSAGE(WM_COMMANDHELP, OnCommandHelp)
    ON_MESSAGE(WM_HELPHITTEST, OnHelpHitTest)
END_MESSAGE_MAP()

namespace platform {

BOOL CreateFrameworkDialog(CWnd* pWnd, LPCDLGTEMPLATE lpTemplate, HWND hWndParent, HINSTANCE hInst, DLGPROC proc)
{
    if (!lpTemplate)
        return FALSE;
    if (!hInst)
        hInst = AfxGetResourceHandle();
    // The window is attached to pWnd before its first message, so the
    // dialog procedure and the message map see it from WM_SETFONT on.
    AfxHookWindowCreate(pWnd);
    HWND hWnd = NULL;
    try {
        hWnd = ::CreateDialogIndirectParam(hInst, lpTemplate, hWndParent, proc, 0);
    } catch (...) {
        AfxUnhookWindowCreate();
        throw;
    }
    AfxUnhookWindowCreate();
    if (!hWnd) {
        // Creation failed after the window existed: it was destroyed, and
        // the object detached from it on WM_NCDESTROY.
        return FALSE;
    }
    if (pWnd->m_hWnd != hWnd) {
        // Not hooked (a creation path the hook did not see): take it over now.
        if (!pWnd->m_hWnd)
            pWnd->SubclassWindow(hWnd);
    }
    return pWnd->m_hWnd == hWnd;
}

HWND ModalOwner(CWnd* pParentWnd)
{
    HWND owner = pParentWnd ? pParentWnd->GetSafeHwnd() : NULL;
    if (!owner)
        owner = DefaultDialogOwner();
    // A modal window is owned by a top-level window.
    while (owner && (::GetWindowLong(owner, GWL_STYLE) & WS_CHILD))
        owner = ::GetParent(owner);
    // A disabled owner is under another modal window already: that one
    // becomes the owner, so that nesting keeps the right window in front.
    if (owner && !::IsWindowEnabled(owner)) {
        HWND popup = ::GetLastActivePopup(owner);
        if (popup && popup != owner && ::IsWindowEnabled(popup))
            owner = popup;
    }
    return owner;
}

LPCDLGTEMPLATE FindTemplate(LPCTSTR lpszTemplateName, HINSTANCE& hInst)
{
    if (!lpszTemplateName)
        return nullptr;
    hInst = AfxFindResourceHandle(lpszTemplateName, RT_DIALOG);
    const DialogTemplate* t = FindDialogTemplate(hInst, lpszTemplateName);
    if (!t) {
        // The resource module switch may point elsewhere; the program's own
        // module and then the support module are asked too.
        for (HINSTANCE h : {AfxGetResourceHandle(), AfxGetInstanceHandle()}) {
            if ((t = FindDialogTemplate(h, lpszTemplateName)) != nullptr) {
                hInst = h;
                break;
            }
        }
    }
    return t;
}

HWND DefaultDialogOwner()
{
    CWnd* pMain = AfxGetMainWnd();
    return pMain ? pMain->GetSafeHwnd() : NULL;
}

void RunModalOver(CWnd* pWnd, HWND owner, bool& modalPending, const std::function<void()>& run)
{
    bool enableOwner = false;
    if (owner && ::IsWindowEnabled(owner)) {
        ::EnableWindow(owner, FALSE);
        enableOwner = true;
    }
    modalPending = true;
    try {
        run();
    } catch (...) {
        modalPending = false;
        if (enableOwner && ::IsWindow(owner))
            ::EnableWindow(owner, TRUE);
        if (pWnd->m_hWnd)
            pWnd->DestroyWindow();
        throw;
    }
    modalPending = false;

    if (pWnd->m_hWnd)
        ::SetWindowPos(pWnd->m_hWnd, NULL, 0, 0, 0, 0,
            SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    if (enableOwner && ::IsWindow(owner)) {
        ::EnableWindow(owner, TRUE);
        ::SetActiveWindow(owner);
    }
    if (pWnd->m_hWnd)
        pWnd->DestroyWindow();
}

BOOL RouteDialogCommand(HWND hWnd, UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if ((nCode != CN_COMMAND && nCode != int(CN_UPDATE_COMMAND_UI)) || !(nID & 0x8000) || nID >= 0xF000)
        return FALSE;
    if (hWnd) {
        if (CWnd* pOwner = CWnd::FromHandlePermanent(::GetParent(hWnd))) {
            if (pOwner->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
                return TRUE;
        }
    }
    if (CCmdTarget* pApp = AfxGetThread())
        return pApp->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
    return FALSE;
}

} // namespace platform

INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM, LPARAM)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    CDialog* pDlg = dynamic_cast<CDialog*>(CWnd::FromHandlePermanent(hWnd));
    if (!pDlg)
        return TRUE;
    return pDlg->OnInitDialog();
}

CDialog::CDialog() = default;

CDialog::CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd)
{
    m_lpszTemplateName = lpszTemplateName;
    m_pParentWnd = pParentWnd;
    if (lpszTemplateName && IS_INTRESOURCE(lpszTemplateName))
        m_nIDHelp = UINT(reinterpret_cast<UINT_PTR>(lpszTemplateName));
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
{
    m_lpszTemplateName = MAKEINTRESOURCE(nIDTemplate);
    m_nIDHelp = nIDTemplate;
    m_pParentWnd = pParentWnd;
}

CDialog::~CDialog()
{
    // A modeless dialog still on screen goes with its object.
    if (m_hWnd)
        DestroyWindow();
}

BOOL CDialog::Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd)
{
    m_lpszTemplateName = lpszTemplateName;
    if (IS_INTRESOURCE(lpszTemplateName) && m_nIDHelp == 0)
        m_nIDHelp = UINT(reinterpret_cast<UINT_PTR>(lpszTemplateName));
    HINSTANCE hInst = NULL;
    LPCDLGTEMPLATE t = platform::FindTemplate(lpszTemplateName, hInst);
    if (!t)
        return FALSE;
    if (pParentWnd)
        m_pParentWnd = pParentWnd;
    return CreateDlgIndirect(t, m_pParentWnd, hInst);
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd)
{
    return Create(MAKEINTRESOURCE(nIDTemplate), pParentWnd);
}

BOOL CDialog::CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd)
{
    if (pParentWnd)
        m_pParentWnd = pParentWnd;
    return CreateDlgIndirect(lpDialogTemplate, m_pParentWnd, NULL);
}

BOOL CDialog::InitModalIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd)
{
    m_lpDialogTemplate = lpDialogTemplate;
    m_lpszTemplateName = nullptr;
    if (pParentWnd)
        m_pParentWnd = pParentWnd;
    return lpDialogTemplate != nullptr;
}

BOOL CDialog::CreateDlgIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd, HINSTANCE hInst)
{
    HWND parent = pParentWnd ? pParentWnd->GetSafeHwnd() : NULL;
    return platform::CreateFrameworkDialog(this, lpDialogTemplate, parent, hInst, AfxDlgProc);
}

INT_PTR CDialog::DoModal()
{
    HINSTANCE hInst = NULL;
    LPCDLGTEMPLATE t = m_lpDialogTemplate;
    if (m_lpszTemplateName)
        t = platform::FindTemplate(m_lpszTemplateName, hInst);
    if (!t)
        return -1;

    HWND owner = platform::ModalOwner(m_pParentWnd);
    m_nModalResult = -1;
    m_bEndedEarly = false;
    platform::RunModalOver(this, owner, m_bModalPending, [&] {
        if (CreateDlgIndirect(t, owner ? CWnd::FromHandle(owner) : nullptr, hInst) && !m_bEndedEarly) {
            DWORD flags = MLF_SHOWONIDLE;
            if (GetStyle() & DS_NOIDLEMSG)
                flags |= MLF_NOIDLEMSG;
            RunModalLoop(flags);
        }
    });
    return m_nModalResult;
}

void CDialog::EndDialog(int nResult)
{
    if (m_bInModalLoop) {
        EndModalLoop(nResult);
    } else if (m_bModalPending) {
        // Before the loop runs (OnInitDialog): DoModal skips the loop.
        m_nModalResult = nResult;
        m_bEndedEarly = true;
    } else if (m_hWnd) {
        // A modeless dialog only goes out of sight; its owner destroys it.
        ::ShowWindow(m_hWnd, SW_HIDE);
    }
}

void CDialog::MapDialogRect(LPRECT lpRect) const
{
    ::MapDialogRect(m_hWnd, lpRect);
}

void CDialog::GotoDlgCtrl(CWnd* pWndCtrl)
{
    if (pWndCtrl && pWndCtrl->GetSafeHwnd())
        ::SendMessage(m_hWnd, WM_NEXTDLGCTL, WPARAM(pWndCtrl->GetSafeHwnd()), TRUE);
}

void CDialog::NextDlgCtrl() const
{
    ::SendMessage(m_hWnd, WM_NEXTDLGCTL, 0, 0);
}

void CDialog::PrevDlgCtrl() const
{
    ::SendMessage(m_hWnd, WM_NEXTDLGCTL, 1, 0);
}

void CDialog::SetDefID(UINT nID)
{
    ::SendMessage(m_hWnd, DM_SETDEFID, WPARAM(nID), 0);
}

DWORD CDialog::GetDefID() const
{
    return DWORD(::SendMessage(m_hWnd, DM_GETDEFID, 0, 0));
}

BOOL CDialog::OnInitDialog()
{
    if (!UpdateData(FALSE)) {
        // The members could not be shown: the dialog cannot work.
        EndDialog(-1);
        return FALSE;
    }
    return TRUE;
}

void CDialog::OnSetFont(CFont*)
{
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

LRESULT CDialog::HandleSetFont(WPARAM wParam, LPARAM)
{
    OnSetFont(CFont::FromHandle(reinterpret_cast<HFONT>(wParam)));
    return Default();
}

// F1 inside the dialog: its template's help, unless the caller named a
// context; FALSE lets the owner frame give the running command's.
LRESULT CDialog::OnCommandHelp(WPARAM, LPARAM lParam)
{
    DWORD_PTR context = lParam ? DWORD_PTR(lParam) : (m_nIDHelp ? HID_BASE_RESOURCE + m_nIDHelp : 0);
    if (context == 0)
        return FALSE;
    if (CWinApp* pApp = AfxGetApp())
        pApp->WinHelp(context);
    return TRUE;
}

LRESULT CDialog::OnHelpHitTest(WPARAM, LPARAM)
{
    return m_nIDHelp ? LRESULT(HID_BASE_RESOURCE + m_nIDHelp) : 0;
}

BOOL CDialog::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    return platform::RouteDialogCommand(m_hWnd, nID, nCode, pExtra, pHandlerInfo);
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
    if (CWnd::PreTranslateMessage(pMsg))
        return TRUE;
    // Keyboard and mouse input of the dialog and its controls goes through
    // the dialog manager (Tab, arrows, Enter, Esc, mnemonics).
    bool key = pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST;
    bool mouse = pMsg->message >= WM_MOUSEFIRST && pMsg->message <= WM_MOUSELAST;
    if (!key && !mouse)
        return FALSE;
    if (!m_hWnd || !::IsWindow(m_hWnd))
        return FALSE;
    return ::IsDialogMessage(m_hWnd, pMsg);
}
