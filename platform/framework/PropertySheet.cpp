// CPropertySheet: a dialog made in code around a tab control (or, for
// wizards, a separator) and the pages, which are child dialogs.

#include "platform/framework/PropertySheet.h"

#include "platform/base/Resources.h"
#include "platform/framework/DialogInternal.h"
#include "platform/framework/WinApp.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CPropertySheet, CWnd)

namespace {

// Layout in dialog units.
constexpr int kMargin = 7;
constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 14;
constexpr int kButtonGap = 4;
constexpr int kDefaultPageWidth = 212;
constexpr int kDefaultPageHeight = 114;

RECT DialogUnits(HWND hWnd, int x, int y, int cx, int cy)
{
    RECT rc{x, y, x + cx, y + cy};
    ::MapDialogRect(hWnd, &rc);
    return rc;
}

} // namespace

INT_PTR CALLBACK AfxPropSheetProc(HWND hWnd, UINT message, WPARAM, LPARAM)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    CPropertySheet* pSheet = dynamic_cast<CPropertySheet*>(CWnd::FromHandlePermanent(hWnd));
    if (!pSheet)
        return TRUE;
    return pSheet->OnInitDialog();
}

CPropertySheet::CPropertySheet()
{
    CommonConstruct(nullptr, 0);
}

CPropertySheet::CPropertySheet(UINT nIDCaption, CWnd* pParentWnd, UINT iSelectPage)
{
    Construct(nIDCaption, pParentWnd, iSelectPage);
}

CPropertySheet::CPropertySheet(LPCTSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage)
{
    Construct(pszCaption, pParentWnd, iSelectPage);
}

CPropertySheet::~CPropertySheet()
{
    if (m_hWnd)
        DestroyWindow();
    for (CPropertyPage* pPage : m_pages) {
        if (pPage && pPage->m_pSheet == this)
            pPage->m_pSheet = nullptr;
    }
}

void CPropertySheet::CommonConstruct(CWnd* pParentWnd, UINT iSelectPage)
{
    m_pParentWnd = pParentWnd;
    m_psh.dwFlags = PSH_PROPSHEETPAGE;
    m_psh.hwndParent = pParentWnd ? pParentWnd->GetSafeHwnd() : NULL;
    m_psh.nStartPage = iSelectPage;
}

void CPropertySheet::Construct(UINT nIDCaption, CWnd* pParentWnd, UINT iSelectPage)
{
    CommonConstruct(pParentWnd, iSelectPage);
    m_strCaption.LoadString(nIDCaption);
}

void CPropertySheet::Construct(LPCTSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage)
{
    CommonConstruct(pParentWnd, iSelectPage);
    m_strCaption = pszCaption ? pszCaption : "";
}

// ---- Pages ------------------------------------------------------------------------------

void CPropertySheet::AddPage(CPropertyPage* pPage)
{
    if (!pPage || std::find(m_pages.begin(), m_pages.end(), pPage) != m_pages.end())
        return;
    pPage->m_pSheet = this;
    m_pages.push_back(pPage);
    m_psh.nPages = UINT(m_pages.size());
    if (m_hWnd && !IsWizard() && m_tab.GetSafeHwnd())
        m_tab.InsertItem(int(m_pages.size()) - 1, pPage->GetCaptionText());
}

void CPropertySheet::RemovePage(CPropertyPage* pPage)
{
    RemovePage(GetPageIndex(pPage));
}

void CPropertySheet::RemovePage(int nPage)
{
    if (nPage < 0 || nPage >= int(m_pages.size()))
        return;
    CPropertyPage* pPage = m_pages[size_t(nPage)];
    if (m_hWnd && nPage == m_nActive) {
        // Another page takes over before this one goes.
        int next = nPage + 1 < int(m_pages.size()) ? nPage + 1 : nPage - 1;
        if (next >= 0)
            ActivatePage(next, false);
    }
    if (pPage->m_hWnd)
        pPage->DestroyWindow();
    pPage->m_pSheet = nullptr;
    m_pages.erase(m_pages.begin() + nPage);
    m_psh.nPages = UINT(m_pages.size());
    if (m_nActive > nPage)
        --m_nActive;
    else if (m_nActive == nPage)
        m_nActive = -1;
    if (m_hWnd && m_tab.GetSafeHwnd()) {
        m_tab.DeleteItem(nPage);
        if (m_nActive >= 0)
            m_tab.SetCurSel(m_nActive);
    }
    UpdateApplyButton();
}

int CPropertySheet::GetPageCount() const
{
    return int(m_pages.size());
}

CPropertyPage* CPropertySheet::GetPage(int nPage) const
{
    if (nPage < 0 || nPage >= int(m_pages.size()))
        return nullptr;
    return m_pages[size_t(nPage)];
}

int CPropertySheet::GetPageIndex(CPropertyPage* pPage) const
{
    auto it = std::find(m_pages.begin(), m_pages.end(), pPage);
    return it == m_pages.end() ? -1 : int(it - m_pages.begin());
}

CPropertyPage* CPropertySheet::GetActivePage() const
{
    if (m_hWnd)
        return GetPage(m_nActive);
    return GetPage(int(m_psh.nStartPage));
}

int CPropertySheet::GetActiveIndex() const
{
    return m_hWnd ? m_nActive : int(m_psh.nStartPage);
}

BOOL CPropertySheet::SetActivePage(int nPage)
{
    if (nPage < 0 || nPage >= int(m_pages.size()))
        return FALSE;
    if (!m_hWnd) {
        m_psh.nStartPage = UINT(nPage);
        return TRUE;
    }
    return ActivatePage(nPage, true);
}

BOOL CPropertySheet::SetActivePage(CPropertyPage* pPage)
{
    return SetActivePage(GetPageIndex(pPage));
}

int CPropertySheet::FindPageByTemplate(LRESULT id) const
{
    for (size_t i = 0; i < m_pages.size(); ++i) {
        LPCTSTR name = m_pages[i]->m_lpszTemplateName;
        if (name && IS_INTRESOURCE(name) && LRESULT(reinterpret_cast<UINT_PTR>(name)) == id)
            return int(i);
    }
    return -1;
}

int CPropertySheet::FindPageByWindow(HWND hWnd) const
{
    for (size_t i = 0; i < m_pages.size(); ++i) {
        if (hWnd && m_pages[i]->m_hWnd == hWnd)
            return int(i);
    }
    return -1;
}

CTabCtrl* CPropertySheet::GetTabControl() const
{
    return m_tab.GetSafeHwnd() ? const_cast<CTabCtrl*>(&m_tab) : nullptr;
}

CString CPropertySheet::TitleText() const
{
    if (m_psh.dwFlags & PSH_PROPTITLE) {
        CString title("Properties for ");
        title += m_strCaption;
        return title;
    }
    return m_strCaption;
}

void CPropertySheet::SetTitle(LPCTSTR lpszText, UINT nStyle)
{
    m_strCaption = lpszText ? lpszText : "";
    m_psh.dwFlags = (m_psh.dwFlags & ~DWORD(PSH_PROPTITLE)) | (nStyle & PSH_PROPTITLE);
    if (m_hWnd)
        ::SetWindowText(m_hWnd, TitleText());
}

// ---- Creation ---------------------------------------------------------------------------

const platform::DialogTemplate* CPropertySheet::BuildTemplate()
{
    // The page area is the largest page; the window is sized again in
    // BuildLayout once the tab control can say how much room its tabs take.
    int pageW = 0;
    int pageH = 0;
    for (CPropertyPage* pPage : m_pages) {
        HINSTANCE hInst = NULL;
        LPCDLGTEMPLATE t = pPage->m_lpDialogTemplate;
        if (pPage->m_lpszTemplateName)
            t = platform::FindTemplate(pPage->m_lpszTemplateName, hInst);
        if (t) {
            pageW = std::max<int>(pageW, t->cx);
            pageH = std::max<int>(pageH, t->cy);
        }
    }
    if (pageW <= 0 || pageH <= 0) {
        pageW = kDefaultPageWidth;
        pageH = kDefaultPageHeight;
    }
    platform::DialogTemplate& t = m_template;
    t = platform::DialogTemplate{};
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | WS_CLIPCHILDREN;
    t.cx = short(pageW + 2 * kMargin);
    t.cy = short(pageH + 3 * kMargin + kButtonHeight);
    t.caption = "";
    t.className = "";
    t.pointSize = 8;
    t.faceName = "MS Sans Serif";
    t.items = nullptr;
    t.count = 0;
    return &m_template;
}

HWND CPropertySheet::CreateButton(UINT nID, LPCTSTR lpszText, const RECT& rect, DWORD dwStyle)
{
    HWND hWnd = ::CreateWindowEx(0, "Button", lpszText, WS_CHILD | WS_VISIBLE | WS_TABSTOP | dwStyle, rect.left,
        rect.top, rect.right - rect.left, rect.bottom - rect.top, m_hWnd, reinterpret_cast<HMENU>(UINT_PTR(nID)),
        AfxGetInstanceHandle(), nullptr);
    if (hWnd)
        ::SendMessage(hWnd, WM_SETFONT, ::SendMessage(m_hWnd, WM_GETFONT, 0, 0), FALSE);
    return hWnd;
}

void CPropertySheet::BuildLayout()
{
    // The largest page, in pixels of the sheet's font.
    SIZE page{0, 0};
    for (CPropertyPage* pPage : m_pages) {
        HINSTANCE hInst = NULL;
        LPCDLGTEMPLATE t = pPage->m_lpDialogTemplate;
        if (pPage->m_lpszTemplateName)
            t = platform::FindTemplate(pPage->m_lpszTemplateName, hInst);
        if (!t)
            continue;
        RECT rc = DialogUnits(m_hWnd, 0, 0, t->cx, t->cy);
        page.cx = std::max(page.cx, rc.right);
        page.cy = std::max(page.cy, rc.bottom);
    }
    if (page.cx <= 0 || page.cy <= 0) {
        RECT rc = DialogUnits(m_hWnd, 0, 0, kDefaultPageWidth, kDefaultPageHeight);
        page.cx = rc.right;
        page.cy = rc.bottom;
    }
    RECT unit = DialogUnits(m_hWnd, 0, 0, kMargin, kMargin);
    const int mx = unit.right;
    const int my = unit.bottom;
    RECT btn = DialogUnits(m_hWnd, 0, 0, kButtonWidth, kButtonHeight);
    const int bw = btn.right;
    const int bh = btn.bottom;
    RECT gapRc = DialogUnits(m_hWnd, 0, 0, kButtonGap, 0);
    const int gap = gapRc.right;

    HWND hTab = NULL;
    RECT frame{}; // what the buttons line up under
    if (IsWizard()) {
        m_rectPage = RECT{mx, my, mx + page.cx, my + page.cy};
        frame = m_rectPage;
        // The etched line between the page and the buttons.
        int lineY = m_rectPage.bottom + my;
        ::CreateWindowEx(0, "Static", "", WS_CHILD | WS_VISIBLE | SS_ETCHEDHORZ, mx, lineY, page.cx, 2, m_hWnd,
            reinterpret_cast<HMENU>(UINT_PTR(0xFFFF)), AfxGetInstanceHandle(), nullptr);
        frame.bottom = lineY + 2;
    } else {
        RECT start{mx, my, mx + page.cx, my + page.cy};
        if (m_tab.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP | WS_CLIPSIBLINGS | TCS_TABS, start, this,
                AFX_IDC_TAB_CONTROL)) {
            hTab = m_tab.m_hWnd;
            ::SendMessage(hTab, WM_SETFONT, ::SendMessage(m_hWnd, WM_GETFONT, 0, 0), FALSE);
            for (size_t i = 0; i < m_pages.size(); ++i)
                m_tab.InsertItem(int(i), m_pages[i]->GetCaptionText());
            // The tab window that leaves exactly the page's room inside.
            RECT outer{0, 0, page.cx, page.cy};
            m_tab.AdjustRect(TRUE, &outer);
            int w = outer.right - outer.left;
            int h = outer.bottom - outer.top;
            ::MoveWindow(hTab, mx, my, w, h, FALSE);
            RECT inner{mx, my, mx + w, my + h};
            RECT display{0, 0, w, h};
            m_tab.AdjustRect(FALSE, &display);
            m_rectPage = RECT{mx + display.left, my + display.top, mx + display.left + page.cx,
                my + display.top + page.cy};
            frame = inner;
        } else {
            m_rectPage = start;
            frame = start;
        }
    }

    // The button row, right-aligned under the frame.
    const int y = frame.bottom + my;
    const bool hasHelp = (m_psh.dwFlags & PSH_HASHELP) != 0
        || std::any_of(m_pages.begin(), m_pages.end(), [](CPropertyPage* p) { return (p->m_psp.dwFlags & PSP_HASHELP) != 0; });
    int x = frame.right;
    auto place = [&](UINT nID, LPCTSTR text, DWORD style, bool gapAfter) {
        x -= bw;
        RECT rc{x, y, x + bw, y + bh};
        HWND h = CreateButton(nID, text, rc, style);
        if (gapAfter)
            x -= gap;
        return h;
    };
    if (IsWizard()) {
        if (hasHelp)
            place(IDHELP, "Help", BS_PUSHBUTTON, true);
        place(IDCANCEL, "Cancel", BS_PUSHBUTTON, true);
        // Finish shares Next's place; the wizard buttons decide which shows.
        int nextX = x - bw;
        RECT finishRc{nextX, y, nextX + bw, y + bh};
        HWND hFinish = CreateButton(ID_WIZFINISH, m_strFinishText.IsEmpty() ? "Finish" : LPCTSTR(m_strFinishText),
            finishRc, BS_PUSHBUTTON);
        ::ShowWindow(hFinish, SW_HIDE);
        place(ID_WIZNEXT, "&Next >", BS_DEFPUSHBUTTON, false);
        place(ID_WIZBACK, "< &Back", BS_PUSHBUTTON, false);
    } else {
        if (hasHelp)
            place(IDHELP, "Help", BS_PUSHBUTTON, true);
        if (!(m_psh.dwFlags & PSH_NOAPPLYNOW)) {
            HWND hApply = place(ID_APPLY_NOW, "&Apply", BS_PUSHBUTTON, true);
            ::EnableWindow(hApply, FALSE);
        }
        place(IDCANCEL, "Cancel", BS_PUSHBUTTON, true);
        place(IDOK, "OK", BS_DEFPUSHBUTTON, true);
        // The buttons came after the dialog manager looked for a default.
        ::SendMessage(m_hWnd, DM_SETDEFID, IDOK, 0);
    }
    // The button row should come after the pages in the tab order: the
    // pages are placed after the tab control (or first) when made.

    // Window size for this client area.
    RECT client{0, 0, frame.right + mx, y + bh + my};
    DWORD style = DWORD(::GetWindowLong(m_hWnd, GWL_STYLE));
    DWORD exStyle = DWORD(::GetWindowLong(m_hWnd, GWL_EXSTYLE));
    ::AdjustWindowRectEx(&client, style, FALSE, exStyle);
    ::SetWindowPos(m_hWnd, NULL, 0, 0, client.right - client.left, client.bottom - client.top,
        SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (!(style & WS_CHILD))
        CenterWindow();
}

BOOL CPropertySheet::CreatePageWindow(CPropertyPage* pPage)
{
    if (pPage->m_hWnd)
        return TRUE;
    HINSTANCE hInst = NULL;
    LPCDLGTEMPLATE t = pPage->m_lpDialogTemplate;
    if (pPage->m_lpszTemplateName)
        t = platform::FindTemplate(pPage->m_lpszTemplateName, hInst);
    if (!t)
        return FALSE;
    // The same template as a child without a frame, whose controls join
    // the sheet's tab order.
    platform::DialogTemplate& child = pPage->m_childTemplate;
    child = *t;
    child.style = (t->style & ~DWORD(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_VISIBLE | WS_DISABLED
                      | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | DS_MODALFRAME | DS_CENTER))
        | WS_CHILD | DS_CONTROL;
    child.x = 0;
    child.y = 0;
    child.menuName = nullptr;
    child.menuId = 0;
    pPage->m_bFirstSetActive = true;
    if (!platform::CreateFrameworkDialog(pPage, &child, m_hWnd, hInst, AfxDlgProc))
        return FALSE;
    HWND after = m_tab.GetSafeHwnd() ? m_tab.m_hWnd : HWND_TOP;
    ::SetWindowPos(pPage->m_hWnd, after, m_rectPage.left, m_rectPage.top, 0, 0,
        SWP_NOSIZE | SWP_NOACTIVATE | SWP_HIDEWINDOW);
    return TRUE;
}

BOOL CPropertySheet::ActivatePage(int nPage, bool askCurrent)
{
    if (!m_hWnd || nPage < 0 || nPage >= int(m_pages.size()))
        return FALSE;
    if (nPage == m_nActive)
        return TRUE;
    HWND hSheet = m_hWnd;
    CPropertyPage* pOld = GetPage(m_nActive);
    if (askCurrent && pOld && pOld->m_hWnd && !pOld->OnKillActive())
        return FALSE;
    if (!::IsWindow(hSheet))
        return FALSE;
    CPropertyPage* pNew = m_pages[size_t(nPage)];
    if (!CreatePageWindow(pNew))
        return FALSE;
    if (!::IsWindow(hSheet))
        return FALSE;
    if (!pNew->OnSetActive()) {
        // The page refused: the old one stays.
        if (m_tab.GetSafeHwnd() && m_nActive >= 0)
            m_tab.SetCurSel(m_nActive);
        return FALSE;
    }
    if (!::IsWindow(hSheet) || !pNew->m_hWnd)
        return FALSE;
    // Focus inside the page that goes away would be lost with it.
    HWND focus = ::GetFocus();
    bool focusInOld = pOld && pOld->m_hWnd && focus && (focus == pOld->m_hWnd || ::IsChild(pOld->m_hWnd, focus));
    m_nActive = nPage;
    ::ShowWindow(pNew->m_hWnd, SW_SHOW);
    if (pOld && pOld != pNew && pOld->m_hWnd)
        ::ShowWindow(pOld->m_hWnd, SW_HIDE);
    if (m_tab.GetSafeHwnd() && m_tab.GetCurSel() != nPage)
        m_tab.SetCurSel(nPage);
    if (focusInOld) {
        HWND first = ::GetNextDlgTabItem(pNew->m_hWnd, NULL, FALSE);
        ::SendMessage(m_hWnd, WM_NEXTDLGCTL, WPARAM(first ? first : (m_tab.GetSafeHwnd() ? m_tab.m_hWnd : m_hWnd)),
            TRUE);
    }
    if (HWND help = ::GetDlgItem(m_hWnd, IDHELP))
        ::EnableWindow(help, (pNew->m_psp.dwFlags & PSP_HASHELP) != 0 || (m_psh.dwFlags & PSH_HASHELP) != 0);
    return TRUE;
}

BOOL CPropertySheet::OnInitDialog()
{
    ::SetWindowText(m_hWnd, TitleText());
    BuildLayout();
    if (IsWizard())
        ApplyWizardButtons(m_dwWizButtons);
    int start = int(m_psh.nStartPage) < int(m_pages.size()) ? int(m_psh.nStartPage) : 0;
    m_nActive = -1;
    if (!m_pages.empty() && !ActivatePage(start, false) && ::IsWindow(m_hWnd) && start != 0)
        ActivatePage(0, false);
    return TRUE;
}

INT_PTR CPropertySheet::DoModal()
{
    if (m_hWnd)
        return -1;
    HWND owner = platform::ModalOwner(m_pParentWnd);
    m_bModeless = false;
    m_nModalResult = -1;
    m_bEndedEarly = false;
    platform::RunModalOver(this, owner, m_bModalPending, [&] {
        if (platform::CreateFrameworkDialog(this, BuildTemplate(), owner, AfxGetInstanceHandle(), AfxPropSheetProc)
            && !m_bEndedEarly)
            RunModalLoop(MLF_SHOWONIDLE);
    });
    m_nActive = -1;
    return m_nModalResult;
}

BOOL CPropertySheet::Create(CWnd* pParentWnd, DWORD dwStyle, DWORD dwExStyle)
{
    if (m_hWnd)
        return FALSE;
    if (pParentWnd)
        m_pParentWnd = pParentWnd;
    const platform::DialogTemplate* t = BuildTemplate();
    if (dwStyle == DWORD(-1))
        dwStyle = WS_SYSMENU | WS_POPUP | WS_CAPTION | DS_MODALFRAME | WS_VISIBLE;
    m_template.style = dwStyle | DS_SETFONT | WS_CLIPCHILDREN;
    m_template.exStyle = dwExStyle;
    m_bModeless = true;
    m_psh.dwFlags |= PSH_MODELESS;
    return platform::CreateFrameworkDialog(this, t, m_pParentWnd ? m_pParentWnd->GetSafeHwnd() : NULL,
        AfxGetInstanceHandle(), AfxPropSheetProc);
}

void CPropertySheet::EndDialog(int nEndID)
{
    if (m_bInModalLoop) {
        EndModalLoop(nEndID);
    } else if (m_bModalPending) {
        m_nModalResult = nEndID;
        m_bEndedEarly = true;
    } else if (m_hWnd) {
        ::ShowWindow(m_hWnd, SW_HIDE);
    }
}

// ---- Buttons ----------------------------------------------------------------------------

void CPropertySheet::UpdateApplyButton()
{
    if (!m_hWnd)
        return;
    HWND apply = ::GetDlgItem(m_hWnd, ID_APPLY_NOW);
    if (!apply)
        return;
    bool any = std::any_of(m_pages.begin(), m_pages.end(), [](CPropertyPage* p) { return p->m_bModified != FALSE; });
    ::EnableWindow(apply, any);
}

void CPropertySheet::ApplyWizardButtons(DWORD dwFlags)
{
    m_dwWizButtons = dwFlags;
    if (!m_hWnd)
        return;
    HWND back = ::GetDlgItem(m_hWnd, ID_WIZBACK);
    HWND next = ::GetDlgItem(m_hWnd, ID_WIZNEXT);
    HWND finish = ::GetDlgItem(m_hWnd, ID_WIZFINISH);
    bool showFinish = (dwFlags & (PSWIZB_FINISH | PSWIZB_DISABLEDFINISH)) != 0;
    // A button about to be disabled or hidden gives the focus away first.
    HWND focus = ::GetFocus();
    auto leaving = [&](HWND h, bool enabled, bool shown) { return h && h == focus && (!enabled || !shown); };
    bool moveFocus = leaving(back, dwFlags & PSWIZB_BACK, true)
        || leaving(next, dwFlags & PSWIZB_NEXT, !showFinish)
        || leaving(finish, dwFlags & PSWIZB_FINISH, showFinish);
    if (back)
        ::EnableWindow(back, (dwFlags & PSWIZB_BACK) != 0);
    if (next) {
        ::EnableWindow(next, (dwFlags & PSWIZB_NEXT) != 0);
        ::ShowWindow(next, showFinish ? SW_HIDE : SW_SHOW);
    }
    if (finish) {
        ::EnableWindow(finish, (dwFlags & PSWIZB_FINISH) != 0);
        ::ShowWindow(finish, showFinish ? SW_SHOW : SW_HIDE);
    }
    // Enter presses whichever of Next and Finish is there to press.
    UINT defId = showFinish ? ID_WIZFINISH : ID_WIZNEXT;
    HWND def = showFinish ? finish : next;
    if (def && ::IsWindowEnabled(def))
        ::SendMessage(m_hWnd, DM_SETDEFID, defId, 0);
    if (moveFocus) {
        HWND target = (def && ::IsWindowEnabled(def) && ::IsWindowVisible(def)) ? def : ::GetDlgItem(m_hWnd, IDCANCEL);
        if (target)
            ::SendMessage(m_hWnd, WM_NEXTDLGCTL, WPARAM(target), TRUE);
    }
}

void CPropertySheet::SetWizardButtons(DWORD dwFlags)
{
    if (m_hWnd)
        ::SendMessage(m_hWnd, PSM_SETWIZBUTTONS, 0, LPARAM(dwFlags));
    else
        m_dwWizButtons = dwFlags;
}

void CPropertySheet::SetFinishText(LPCTSTR lpszText)
{
    m_strFinishText = lpszText ? lpszText : "";
    if (m_hWnd)
        ::SendMessage(m_hWnd, PSM_SETFINISHTEXT, 0, LPARAM(LPCTSTR(m_strFinishText)));
}

void CPropertySheet::PressButton(int nButton)
{
    if (m_hWnd)
        ::PostMessage(m_hWnd, PSM_PRESSBUTTON, WPARAM(nButton), 0);
}

BOOL CPropertySheet::PressOk(bool closeAfter)
{
    HWND hSheet = m_hWnd;
    CPropertyPage* pActive = GetPage(m_nActive);
    if (pActive && pActive->m_hWnd && !pActive->OnKillActive())
        return FALSE;
    if (!::IsWindow(hSheet))
        return FALSE;
    for (size_t i = 0; i < m_pages.size(); ++i) {
        CPropertyPage* pPage = m_pages[i];
        if (!pPage->m_hWnd)
            continue;
        if (!pPage->OnApply()) {
            if (::IsWindow(hSheet))
                ActivatePage(int(i), false);
            return FALSE;
        }
        if (!::IsWindow(hSheet))
            return FALSE;
        pPage->m_bModified = FALSE;
    }
    UpdateApplyButton();
    if (closeAfter)
        EndDialog(IDOK);
    return TRUE;
}

void CPropertySheet::PressCancel()
{
    HWND hSheet = m_hWnd;
    CPropertyPage* pActive = GetPage(m_nActive);
    if (pActive && pActive->m_hWnd && !pActive->OnQueryCancel())
        return;
    if (!::IsWindow(hSheet))
        return;
    for (CPropertyPage* pPage : m_pages) {
        if (pPage->m_hWnd)
            pPage->OnReset();
        if (!::IsWindow(hSheet))
            return;
    }
    EndDialog(IDCANCEL);
}

void CPropertySheet::WizardMove(bool forward)
{
    CPropertyPage* pActive = GetPage(m_nActive);
    if (!pActive)
        return;
    HWND hSheet = m_hWnd;
    LRESULT answer = forward ? pActive->OnWizardNext() : pActive->OnWizardBack();
    if (answer == -1 || !::IsWindow(hSheet))
        return;
    int target = answer == 0 ? m_nActive + (forward ? 1 : -1) : FindPageByTemplate(answer);
    if (target < 0 || target >= int(m_pages.size()))
        return;
    ActivatePage(target, true);
}

void CPropertySheet::PressFinish()
{
    CPropertyPage* pActive = GetPage(m_nActive);
    if (pActive && !pActive->OnWizardFinish())
        return;
    EndDialog(ID_WIZFINISH);
}

void CPropertySheet::PressHelp()
{
    CPropertyPage* pActive = GetPage(m_nActive);
    if (!pActive || !pActive->m_hWnd)
        return;
    // The page's own ID_HELP handler (or the route behind it) first; else
    // the help of the page's template.
    AFX_CMDHANDLERINFO info;
    if (pActive->OnCmdMsg(ID_HELP, CN_COMMAND, nullptr, &info))
        ::SendMessage(pActive->m_hWnd, WM_COMMAND, ID_HELP, 0);
    else
        ::SendMessage(pActive->m_hWnd, WM_COMMANDHELP, 0, 0);
}

BOOL CPropertySheet::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (CWnd::OnCommand(wParam, lParam))
        return TRUE;
    UINT nID = LOWORD(wParam);
    UINT nCode = HIWORD(wParam);
    // Buttons answer their clicks; commands (lParam 0) any high word.
    if (lParam != 0 && nCode != BN_CLICKED)
        return FALSE;
    // A disabled button does nothing, however the command came.
    if (HWND button = ::GetDlgItem(m_hWnd, int(nID)); button && !::IsWindowEnabled(button))
        return TRUE;
    switch (nID) {
    case IDOK:
        PressOk(true);
        return TRUE;
    case IDCANCEL:
        PressCancel();
        return TRUE;
    case ID_APPLY_NOW:
        if (PressOk(false) && ::IsWindow(m_hWnd)) {
            // The focus goes back to the page, as the button is now disabled.
            if (CPropertyPage* pActive = GetPage(m_nActive); pActive && pActive->m_hWnd) {
                HWND first = ::GetNextDlgTabItem(pActive->m_hWnd, NULL, FALSE);
                if (first)
                    ::SendMessage(m_hWnd, WM_NEXTDLGCTL, WPARAM(first), TRUE);
            }
        }
        return TRUE;
    case IDHELP:
        PressHelp();
        return TRUE;
    case ID_WIZBACK:
        if (IsWizard())
            WizardMove(false);
        return TRUE;
    case ID_WIZNEXT:
        if (IsWizard())
            WizardMove(true);
        return TRUE;
    case ID_WIZFINISH:
        if (IsWizard())
            PressFinish();
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL CPropertySheet::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    const NMHDR* hdr = reinterpret_cast<const NMHDR*>(lParam);
    if (hdr && m_tab.GetSafeHwnd() && hdr->hwndFrom == m_tab.m_hWnd) {
        if (hdr->code == TCN_SELCHANGING) {
            // Leaving the page needs its consent; TRUE keeps the tab.
            CPropertyPage* pActive = GetPage(m_nActive);
            BOOL refuse = pActive && pActive->m_hWnd && !pActive->OnKillActive();
            if (pResult)
                *pResult = refuse;
            return TRUE;
        }
        if (hdr->code == TCN_SELCHANGE) {
            ActivatePage(m_tab.GetCurSel(), false);
            if (pResult)
                *pResult = 0;
            return TRUE;
        }
    }
    return CWnd::OnNotify(wParam, lParam, pResult);
}

LRESULT CPropertySheet::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case PSM_SETCURSEL: {
        int index = int(wParam);
        if (lParam) {
            int byWindow = FindPageByWindow(reinterpret_cast<HWND>(lParam));
            if (byWindow >= 0)
                index = byWindow;
        }
        return ActivatePage(index, true);
    }
    case PSM_SETCURSELID:
        return ActivatePage(FindPageByTemplate(lParam), true);
    case PSM_CHANGED:
    case PSM_UNCHANGED: {
        int index = FindPageByWindow(reinterpret_cast<HWND>(wParam));
        if (index >= 0)
            m_pages[size_t(index)]->m_bModified = message == PSM_CHANGED;
        UpdateApplyButton();
        return 0;
    }
    case PSM_CANCELTOCLOSE:
        // The change cannot be undone: Cancel has nothing to cancel, and OK
        // is what closes.
        if (HWND cancel = ::GetDlgItem(m_hWnd, IDCANCEL))
            ::EnableWindow(cancel, FALSE);
        if (HWND ok = ::GetDlgItem(m_hWnd, IDOK))
            ::SetWindowText(ok, "Close");
        return 0;
    case PSM_QUERYSIBLINGS: {
        HWND hSheet = m_hWnd;
        for (size_t i = 0; i < m_pages.size() && ::IsWindow(hSheet); ++i) {
            CPropertyPage* pPage = m_pages[i];
            if (!pPage->m_hWnd)
                continue;
            if (LRESULT r = pPage->OnQuerySiblings(wParam, lParam))
                return r;
        }
        return 0;
    }
    case PSM_SETWIZBUTTONS:
        ApplyWizardButtons(DWORD(lParam));
        return 0;
    case PSM_SETFINISHTEXT: {
        HWND finish = ::GetDlgItem(m_hWnd, ID_WIZFINISH);
        if (finish) {
            ::SetWindowText(finish, lParam ? reinterpret_cast<LPCTSTR>(lParam) : "");
            ::EnableWindow(finish, TRUE);
            ::ShowWindow(finish, SW_SHOW);
            ::SendMessage(m_hWnd, DM_SETDEFID, ID_WIZFINISH, 0);
        }
        for (UINT id : {UINT(ID_WIZNEXT), UINT(ID_WIZBACK)}) {
            if (HWND h = ::GetDlgItem(m_hWnd, int(id)))
                ::ShowWindow(h, SW_HIDE);
        }
        return 0;
    }
    case PSM_PRESSBUTTON: {
        static const UINT ids[] = {ID_WIZBACK, ID_WIZNEXT, ID_WIZFINISH, IDOK, ID_APPLY_NOW, IDCANCEL, IDHELP};
        if (wParam < sizeof ids / sizeof ids[0]) {
            UINT id = ids[wParam];
            HWND button = ::GetDlgItem(m_hWnd, int(id));
            ::SendMessage(m_hWnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(button));
        }
        return 0;
    }
    case PSM_SETTITLE:
        if (lParam && !IS_INTRESOURCE(reinterpret_cast<LPCTSTR>(lParam))) {
            SetTitle(reinterpret_cast<LPCTSTR>(lParam), UINT(wParam));
        } else if (lParam) {
            CString text;
            text.LoadString(UINT(lParam));
            SetTitle(text, UINT(wParam));
        }
        return 0;
    case PSM_GETTABCONTROL:
        return LRESULT(m_tab.GetSafeHwnd());
    case PSM_GETCURRENTPAGEHWND: {
        CPropertyPage* pActive = GetPage(m_nActive);
        return LRESULT(pActive ? pActive->m_hWnd : NULL);
    }
    case PSM_ISDIALOGMESSAGE:
        return lParam ? ::IsDialogMessage(m_hWnd, reinterpret_cast<LPMSG>(lParam)) : FALSE;
    default:
        return CWnd::DefWindowProc(message, wParam, lParam);
    }
}

BOOL CPropertySheet::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    return platform::RouteDialogCommand(m_hWnd, nID, nCode, pExtra, pHandlerInfo);
}

BOOL CPropertySheet::PreTranslateMessage(MSG* pMsg)
{
    if (CWnd::PreTranslateMessage(pMsg))
        return TRUE;
    bool key = pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST;
    bool mouse = pMsg->message >= WM_MOUSEFIRST && pMsg->message <= WM_MOUSELAST;
    if ((!key && !mouse) || !m_hWnd || !::IsWindow(m_hWnd))
        return FALSE;
    // Ctrl+Tab and Ctrl+Shift+Tab turn the pages of a tabbed sheet.
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_TAB && (::GetKeyState(VK_CONTROL) < 0) && !IsWizard()
        && m_pages.size() > 1 && m_nActive >= 0) {
        int n = int(m_pages.size());
        int step = ::GetKeyState(VK_SHIFT) < 0 ? -1 : 1;
        ActivatePage((m_nActive + step + n) % n, true);
        return TRUE;
    }
    return ::IsDialogMessage(m_hWnd, pMsg);
}
