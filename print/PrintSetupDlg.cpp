#include "print/PrintSetupDlg.h"

#include "platform/framework/WinApp.h"
#include "platform/ui/CommDlgMisc.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CPrintSetupDlg, CPrintDialog)

namespace {

// The program's picture buttons are this large in its own dialogs (dialog
// units): room for the 32-pixel icon beside a caption.
constexpr int kPictureButtonWidth = 58;
constexpr int kPictureButtonHeight = 26;
constexpr int kButtonGap = 4;

} // namespace

CPrintSetupDlg::CPrintSetupDlg(CWnd* pParentWnd)
    : CPrintDialog(TRUE, kFlags, pParentWnd)
{
}

INT_PTR CPrintSetupDlg::DoModal()
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr)
        return CPrintDialog::DoModal();
    // Start from the application's printer; on OK the dialog has freed
    // those blocks and made new ones, which become the application's.
    pApp->UpdatePrinterSelection(FALSE);
    m_pd.hDevMode = pApp->m_hDevMode;
    m_pd.hDevNames = pApp->m_hDevNames;
    INT_PTR nResult = CPrintDialog::DoModal();
    pApp->m_hDevMode = m_pd.hDevMode;
    pApp->m_hDevNames = m_pd.hDevNames;
    return nResult == IDOK ? IDOK : IDCANCEL;
}

BOOL CPrintSetupDlg::OnInitDialog()
{
    BOOL bResult = CPrintDialog::OnInitDialog();
    m_btnOK.SubclassWithIcon(IDOK, this, IDI_BUTTON_OK);
    m_btnCancel.SubclassWithIcon(IDCANCEL, this, IDI_BUTTON_CANCEL);
    FitPictureButtons();
    return bResult;
}

// The system's template sizes its buttons for a caption alone; with an icon
// beside it the caption would run into the icon and the button's edge. The
// buttons grow to the program's size, stay in a row at the right edge, and
// the dialog grows to hold them.
void CPrintSetupDlg::FitPictureButtons()
{
    CRect size(0, 0, kPictureButtonWidth, kPictureButtonHeight);
    MapDialogRect(&size);
    CRect gap(0, 0, kButtonGap, kButtonGap);
    MapDialogRect(&gap);

    CWnd* buttons[] = {GetDlgItem(IDOK), GetDlgItem(IDCANCEL), GetDlgItem(PD_ID_HELP)};
    CRect row;
    int nCount = 0;
    for (CWnd* pButton : buttons) {
        if (pButton == nullptr)
            continue;
        CRect rect;
        pButton->GetWindowRect(&rect);
        ScreenToClient(&rect);
        row = nCount++ == 0 ? rect : CRect(std::min(row.left, rect.left), std::min(row.top, rect.top),
                                               std::max(row.right, rect.right), std::max(row.bottom, rect.bottom));
    }
    if (nCount == 0)
        return;

    int x = row.right - nCount * size.Width() - (nCount - 1) * gap.Width();
    for (CWnd* pButton : buttons) {
        if (pButton == nullptr)
            continue;
        pButton->MoveWindow(x, row.top, size.Width(), size.Height());
        x += size.Width() + gap.Width();
    }

    CRect client;
    GetClientRect(&client);
    const int nGrow = row.top + size.Height() + gap.Height() - client.bottom;
    if (nGrow > 0) {
        CRect window;
        GetWindowRect(&window);
        SetWindowPos(nullptr, 0, 0, window.Width(), window.Height() + nGrow, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}
