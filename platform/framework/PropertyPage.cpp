// CPropertyPage: a child dialog of a property sheet.

#include "platform/framework/PropertySheet.h"

#include "platform/framework/DialogInternal.h"

IMPLEMENT_DYNAMIC(CPropertyPage, CDialog)

CPropertyPage::CPropertyPage()
{
    m_psp.dwFlags = PSP_HASHELP;
}

CPropertyPage::CPropertyPage(UINT nIDTemplate, UINT nIDCaption)
{
    Construct(nIDTemplate, nIDCaption);
}

CPropertyPage::CPropertyPage(LPCTSTR lpszTemplateName, UINT nIDCaption)
{
    Construct(lpszTemplateName, nIDCaption);
}

CPropertyPage::~CPropertyPage()
{
    if (m_pSheet) {
        // A page that dies before its sheet leaves it.
        CPropertySheet* pSheet = m_pSheet;
        m_pSheet = nullptr;
        int index = pSheet->GetPageIndex(this);
        if (index >= 0)
            pSheet->RemovePage(index);
    }
}

void CPropertyPage::Construct(UINT nIDTemplate, UINT nIDCaption)
{
    Construct(MAKEINTRESOURCE(nIDTemplate), nIDCaption);
}

void CPropertyPage::Construct(LPCTSTR lpszTemplateName, UINT nIDCaption)
{
    m_lpszTemplateName = lpszTemplateName;
    if (lpszTemplateName && IS_INTRESOURCE(lpszTemplateName))
        m_nIDHelp = UINT(reinterpret_cast<UINT_PTR>(lpszTemplateName));
    m_nIDCaption = nIDCaption;
    m_psp.dwFlags = PSP_HASHELP | (nIDCaption ? PSP_USETITLE : 0);
    m_psp.pszTemplate = lpszTemplateName;
}

CString CPropertyPage::GetCaptionText() const
{
    CString caption;
    if (m_nIDCaption && caption.LoadString(m_nIDCaption))
        return caption;
    HINSTANCE hInst = NULL;
    LPCDLGTEMPLATE t = m_lpDialogTemplate;
    if (m_lpszTemplateName)
        t = platform::FindTemplate(m_lpszTemplateName, hInst);
    if (t && t->caption)
        caption = t->caption;
    return caption;
}

void CPropertyPage::SetModified(BOOL bChanged)
{
    m_bModified = bChanged;
    if (m_pSheet && m_pSheet->m_hWnd && m_hWnd)
        ::SendMessage(m_pSheet->m_hWnd, bChanged ? PSM_CHANGED : PSM_UNCHANGED, WPARAM(m_hWnd), 0);
}

LRESULT CPropertyPage::QuerySiblings(WPARAM wParam, LPARAM lParam)
{
    if (!m_pSheet || !m_pSheet->m_hWnd)
        return 0;
    return ::SendMessage(m_pSheet->m_hWnd, PSM_QUERYSIBLINGS, wParam, lParam);
}

void CPropertyPage::CancelToClose()
{
    if (m_pSheet && m_pSheet->m_hWnd)
        ::SendMessage(m_pSheet->m_hWnd, PSM_CANCELTOCLOSE, 0, 0);
}

BOOL CPropertyPage::OnSetActive()
{
    if (m_bFirstSetActive) {
        m_bFirstSetActive = false;
        return TRUE;
    }
    return UpdateData(FALSE);
}

BOOL CPropertyPage::OnKillActive()
{
    return UpdateData(TRUE);
}

BOOL CPropertyPage::OnApply()
{
    OnOK();
    return TRUE;
}

void CPropertyPage::OnOK()
{
}

void CPropertyPage::OnCancel()
{
}

void CPropertyPage::OnReset()
{
    OnCancel();
}

BOOL CPropertyPage::OnQueryCancel()
{
    return TRUE;
}

LRESULT CPropertyPage::OnWizardBack()
{
    return 0;
}

LRESULT CPropertyPage::OnWizardNext()
{
    return 0;
}

BOOL CPropertyPage::OnWizardFinish()
{
    return TRUE;
}

LRESULT CPropertyPage::OnQuerySiblings(WPARAM, LPARAM)
{
    return 0;
}

BOOL CPropertyPage::PreTranslateMessage(MSG* pMsg)
{
    // The sheet runs the dialog manager over the pages and its buttons
    // together (it is the next window up the pre-translation walk).
    return CWnd::PreTranslateMessage(pMsg);
}
