#include "assist/GetStartedWizard.h"

#include "app/ContentCatalog.h"
#include "app/main/DesignerApp.h"
#include "assist/LauncherDlg.h"
#include "controls/KitListDlg.h"
#include "platform/framework/Afx.h"

#include <memory>

namespace {

// Page 3 lists at most this many designs.
constexpr int kMaxListedDesigns = kMaxPremadeDesigns;

// The wizard the page sits in; NULL when the page is in another sheet.
CGetStartedWizard* SheetOf(CPropertySheet* pSheet)
{
    return dynamic_cast<CGetStartedWizard*>(pSheet);
}

} // namespace

// ---- Page 1: the project kind -------------------------------------------------------------

BEGIN_MESSAGE_MAP(CGetStart1, CPropertyPage)
    ON_BN_CLICKED(IDC_GETSTART_KITS, OnDesignKits)
END_MESSAGE_MAP()

CGetStart1::CGetStart1() : CPropertyPage(IDD_GETSTART1) {}

void CGetStart1::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_GETSTART_KINDS, m_wndKinds);
    DDX_LBIndex(pDX, IDC_GETSTART_KINDS, m_nKind);
    if (pDX->m_bSaveAndValidate && (m_nKind < 0 || m_nKind >= kLauncherKindCount)) {
        MessageBeep(MB_ICONEXCLAMATION);
        pDX->PrepareCtrl(IDC_GETSTART_KINDS);
        pDX->Fail();
    }
}

BOOL CGetStart1::OnInitDialog()
{
    if (m_nKind < 0 || m_nKind >= kLauncherKindCount)
        m_nKind = 0;
    // The list must hold the kinds before the data exchange selects one.
    for (int n = 0; n < kLauncherKindCount; ++n)
        SendDlgItemMessage(IDC_GETSTART_KINDS, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(LPCTSTR(CLauncherDlg::KindName(n))));
    return CPropertyPage::OnInitDialog();
}

BOOL CGetStart1::OnSetActive()
{
    if (CPropertySheet* pSheet = GetSheet())
        pSheet->SetWizardButtons(PSWIZB_NEXT);
    return CPropertyPage::OnSetActive();
}

void CGetStart1::OnDesignKits()
{
    CDesignerApp* pApp = GetDesignerApp();
    CDesignIndex* pIndex = pApp != nullptr ? pApp->GetDesignIndex() : nullptr;
    CKitListDlg dlg(this, pIndex);
    // Without an index yet, the one made for the choice is what the next
    // search of the pre-made designs reads.
    if (dlg.DoModal() == IDOK && pIndex == nullptr && pApp != nullptr) {
        auto pNew = std::make_unique<CDesignIndex>();
        pNew->SetFilter(dlg.m_filter);
        pApp->SetDesignIndex(pNew.release());
    }
}

// ---- Page 2: the design's text -----------------------------------------------------------

CGetStart2::CGetStart2(CString* pText) : CPropertyPage(IDD_GETSTART2), m_pText(pText) {}

void CGetStart2::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    if (m_pText != nullptr)
        DDX_Text(pDX, IDC_GETSTART_TEXT, *m_pText);
}

BOOL CGetStart2::OnSetActive()
{
    if (CPropertySheet* pSheet = GetSheet())
        pSheet->SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
    const BOOL bResult = CPropertyPage::OnSetActive();
    // The page is there to be typed on: the keys go to the text, not to the
    // sheet's buttons, once the page is shown.
    if (CWnd* pText = GetDlgItem(IDC_GETSTART_TEXT))
        PostMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(pText->m_hWnd), TRUE);
    return bResult;
}

// ---- Page 3: the pre-made designs ---------------------------------------------------------

CGetStart3::CGetStart3() : CPropertyPage(IDD_GETSTART3) {}

void CGetStart3::AddItem(WORD wKind, LPCTSTR lpszText)
{
    PremadeDesign design;
    design.wKind = wKind;
    design.strName = lpszText != nullptr ? lpszText : "";
    AddItem(design);
}

void CGetStart3::AddItem(const PremadeDesign& design)
{
    if (static_cast<int>(m_items.size()) >= kMaxListedDesigns)
        return;
    m_items.push_back(design);
    if (m_wndList.m_hWnd != NULL)
        FillList();
}

void CGetStart3::FillList()
{
    m_wndList.ResetContent();
    // The first entry starts from a blank page.
    m_wndList.AddString("(None: start from a blank page)");
    m_wndList.SetItemData(0, static_cast<DWORD_PTR>(-1));
    CGetStartedWizard* pWizard = SheetOf(GetSheet());
    const int nKind = pWizard != nullptr ? pWizard->m_page1.m_nKind : -1;
    for (size_t i = 0; i < m_items.size(); ++i) {
        // Designs of another kind than the one chosen on page 1 are left out.
        if (nKind >= 0 && m_items[i].wKind != nKind && m_items[i].wKind < kLauncherKindCount)
            continue;
        const int nItem = m_wndList.AddString(m_items[i].strName);
        m_wndList.SetItemData(nItem, static_cast<DWORD_PTR>(i));
    }
    int nSel = 0;
    for (int n = 1; n < m_wndList.GetCount(); ++n) {
        if (static_cast<int>(m_wndList.GetItemData(n)) == m_nSelected)
            nSel = n;
    }
    m_wndList.SetCurSel(nSel);
}

void CGetStart3::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_GETSTART_DESIGNS, m_wndList);
    if (pDX->m_bSaveAndValidate) {
        const int nSel = m_wndList.GetCurSel();
        m_nSelected = nSel > 0 ? static_cast<int>(m_wndList.GetItemData(nSel)) : -1;
    }
}

BOOL CGetStart3::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    FillList();
    return TRUE;
}

BOOL CGetStart3::OnSetActive()
{
    if (CPropertySheet* pSheet = GetSheet())
        pSheet->SetWizardButtons(PSWIZB_BACK | PSWIZB_FINISH);
    // The kind may have changed on page 1 since the list was made.
    if (m_wndList.m_hWnd != NULL)
        FillList();
    return CPropertyPage::OnSetActive();
}

BOOL CGetStart3::OnWizardFinish()
{
    return UpdateData(TRUE);
}

// ---- The sheet ---------------------------------------------------------------------------

CGetStartedWizard::CGetStartedWizard(UINT nIDCaption, CWnd* pParent) : CPropertySheet(nIDCaption, pParent)
{
    SetWizardMode();
    AddPage(&m_page1);
    AddPage(&m_page2);
    AddPage(&m_page3);
}

CGetStartedWizard::~CGetStartedWizard() = default;

void CGetStartedWizard::SetStartOptions(int nStartKind, int nOption)
{
    m_nStartKind = nStartKind;
    m_nStartOption = nOption;
}

INT_PTR CGetStartedWizard::DoModal()
{
    m_page1.m_nKind = m_nStartKind >= 0 && m_nStartKind < kLauncherKindCount ? m_nStartKind : 0;
    for (const PremadeDesign& design : m_premadeDesigns)
        m_page3.AddItem(design);
    m_premadeDesigns.clear();
    if (m_page2.m_pText == nullptr) {
        m_strText = m_strPresetText;
        m_page2.SetText(&m_strText);
    } else if (m_page2.m_pText->IsEmpty()) {
        *m_page2.m_pText = m_strPresetText;
    }

    m_nChosenKind = kLauncherNoKind;
    m_nChosenValue = LAUNCH_BLANK;
    m_nChosenPremade = -1;
    m_strChosenPath.Empty();

    const INT_PTR nResult = CPropertySheet::DoModal();
    if (nResult == ID_WIZFINISH || nResult == IDOK) {
        m_nChosenKind = m_page1.m_nKind;
        const int nPicked = m_page3.m_nSelected;
        if (nPicked >= 0 && nPicked < m_page3.GetItemCount()) {
            m_nChosenPremade = nPicked;
            m_nChosenValue = LAUNCH_PREDESIGNED;
            m_strChosenPath = m_page3.GetItem(nPicked).strPath;
        }
    }
    return nResult;
}
