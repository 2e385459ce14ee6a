#include "controls/CustBtnSheet.h"

#include "controls/DlgLayout.h"
#include "controls/PicButton.h"
#include "platform/base/Resources.h"
#include "platform/framework/WinApp.h"
#include "resources/controls.h"

#include <new>

IMPLEMENT_DYNAMIC(CCustBtnSheet, CWizSheet)

BEGIN_MESSAGE_MAP(CCustBtnSheet, CWizSheet)
    ON_COMMAND(CCustBtnSheet::kBackId, OnBack)
    ON_COMMAND(CCustBtnSheet::kNextId, OnNext)
    ON_COMMAND(CCustBtnSheet::kFinishId, OnFinish)
    ON_COMMAND(CCustBtnSheet::kCancelId, OnCancelWizard)
END_MESSAGE_MAP()

namespace {

constexpr WORD kCtl3dMask = 0xFFCE;
constexpr DWORD kButtonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW;
constexpr COLORREF kButtonFace = RGB(192, 192, 192);

// A button's id and its bitmaps: normal, pressed, checked, disabled, hot.
struct ButtonArt {
    UINT nID;
    UINT nBitmaps[5];
};

// In the order of m_pButtons.
constexpr ButtonArt kButtons[5] = {
    {CCustBtnSheet::kBackId, {IDB_WIZARD_BACK, IDB_WIZARD_BACK_PRESSED, IDB_WIZARD_BACK_CHECKED,
                                 IDB_WIZARD_BACK_DISABLED, IDB_WIZARD_BACK_HOT}},
    {CCustBtnSheet::kNextId, {IDB_WIZARD_NEXT, IDB_WIZARD_NEXT_PRESSED, IDB_WIZARD_NEXT_CHECKED,
                                 IDB_WIZARD_NEXT_DISABLED, IDB_WIZARD_NEXT_HOT}},
    {CCustBtnSheet::kFinishId, {IDB_WIZARD_FINISH, IDB_WIZARD_FINISH_PRESSED, IDB_WIZARD_FINISH_CHECKED,
                                   IDB_WIZARD_FINISH_DISABLED, IDB_WIZARD_FINISH_HOT}},
    {CCustBtnSheet::kExtraId, {IDB_WIZARD_EXTRA, IDB_WIZARD_EXTRA_PRESSED, IDB_WIZARD_EXTRA_CHECKED,
                                  IDB_WIZARD_EXTRA_DISABLED, IDB_WIZARD_EXTRA_HOT}},
    {CCustBtnSheet::kCancelId, {IDB_WIZARD_CANCEL, IDB_WIZARD_CANCEL_PRESSED, IDB_WIZARD_CANCEL_CHECKED,
                                   IDB_WIZARD_CANCEL_DISABLED, IDB_WIZARD_CANCEL_HOT}},
};

// Made in this order, which is the buttons' tab order.
constexpr int kCreationOrder[5] = {0, 1, 2, 4, 3};

bool IsEnabledControl(CWnd* pSheet, UINT nID)
{
    HWND hWnd = ::GetDlgItem(pSheet->m_hWnd, int(nID));
    return hWnd != NULL && ::IsWindowEnabled(hWnd);
}

} // namespace

CCustBtnSheet::CCustBtnSheet(UINT nIDCaption, CWnd* pParentWnd, UINT iSelectPage)
    : CWizSheet(nIDCaption, pParentWnd, iSelectPage)
{
}

CCustBtnSheet::~CCustBtnSheet()
{
    DeleteCustomButtons();
}

void CCustBtnSheet::DeleteCustomButtons()
{
    for (CPicButton*& pButton : m_pButtons) {
        delete pButton;
        pButton = nullptr;
    }
}

void CCustBtnSheet::GetWizardButtonIds(UINT& nBack, UINT& nNext, UINT& nFinish, UINT& nExtra, UINT& nCancel) const
{
    nBack = kBackId;
    nNext = kNextId;
    nFinish = kFinishId;
    nExtra = kExtraId;
    nCancel = kCancelId;
}

BOOL CCustBtnSheet::CreateCustomButtons()
{
    DeleteCustomButtons();
    try {
        for (CPicButton*& pButton : m_pButtons)
            pButton = new CPicButton;
    } catch (const std::bad_alloc&) {
        DeleteCustomButtons();
        return FALSE;
    }
    // The support library holds the buttons' pictures.
    HMODULE hModule = AfxFindResourceHandle(MAKEINTRESOURCE(IDB_WIZARD_NEXT), RT_BITMAP);
    for (int index : kCreationOrder) {
        const ButtonArt& art = kButtons[index];
        CPicButton* pButton = m_pButtons[index];
        if (!pButton->Create("", kButtonStyle, CRect(0, 0, 10, 10), this, art.nID))
            return FALSE;
        pButton->SetBitmaps(hModule, art.nBitmaps[0], art.nBitmaps[1], art.nBitmaps[2], art.nBitmaps[3],
            art.nBitmaps[4], TRUE, 0, kButtonFace);
    }
    UpdateWizardButtons();
    return TRUE;
}

void CCustBtnSheet::LayoutCustomButtons()
{
    CDlgLayout layout;
    layout.Init(this);
    layout.m_nMargin = kButtonMargin;
    for (UINT nID : {kExtraId, kFinishId, kNextId, kBackId, kCancelId})
        layout.MoveControl(int(nID), CDlgLayout::sideBottom, CDlgLayout::kClientArea, FALSE);
    // From the right: extra, Cancel, Finish, Next, Back.
    layout.MoveControl(int(kExtraId), CDlgLayout::sideRight, CDlgLayout::kClientArea, FALSE);
    layout.MoveControl(int(kCancelId), CDlgLayout::sideBefore, int(kExtraId), TRUE);
    layout.MoveControl(int(kFinishId), CDlgLayout::sideBefore, int(kCancelId), TRUE);
    layout.MoveControl(int(kNextId), CDlgLayout::sideBefore, int(kFinishId), TRUE);
    layout.MoveControl(int(kBackId), CDlgLayout::sideBefore, int(kNextId), TRUE);
}

BOOL CCustBtnSheet::OnInitDialog()
{
    CWizSheet::OnInitDialog();
    HWND hSheet = m_hWnd;
    if (!::IsWindow(hSheet))
        return TRUE;
    Ctl3dSubclassDlg(m_hWnd, kCtl3dMask);
    for (UINT nID : {UINT(IDCANCEL), UINT(ID_WIZBACK), UINT(ID_WIZNEXT), UINT(ID_WIZFINISH), UINT(IDHELP)}) {
        if (HWND hButton = ::GetDlgItem(m_hWnd, int(nID)))
            ::DestroyWindow(hButton);
    }
    if (!CreateCustomButtons()) {
        EndDialog(IDCANCEL);
        return TRUE;
    }
    UpdateWizardButtons();
    LayoutCustomButtons();
    return TRUE;
}

void CCustBtnSheet::OnBack()
{
    PostMessage(WM_COMMAND, ID_WIZBACK, 0);
}

void CCustBtnSheet::OnNext()
{
    if (IsEnabledControl(this, kNextId))
        PostMessage(WM_COMMAND, ID_WIZNEXT, 0);
    else if (IsEnabledControl(this, kFinishId))
        PostMessage(WM_COMMAND, kFinishId, 0);
}

void CCustBtnSheet::OnFinish()
{
    // The active page carries the finish out.
    if (CPropertyPage* pPage = GetActivePage(); pPage && pPage->GetSafeHwnd())
        pPage->PostMessage(WM_COMMAND, kFinishId, 0);
}

void CCustBtnSheet::OnCancelWizard()
{
    EndDialog(IDCANCEL);
}
