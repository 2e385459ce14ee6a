#pragma once
// The setup-only print dialog with the program's picture OK and Cancel
// buttons. DoModal starts from the application's printer and, on OK, makes
// the chosen printer and settings the application's.

#include "controls/PictureButton.h"
#include "platform/framework/CommonDialogs.h"

class CPrintSetupDlg : public CPrintDialog {
    DECLARE_DYNAMIC(CPrintSetupDlg)
public:
    static constexpr DWORD kFlags = 0x14000C;

    explicit CPrintSetupDlg(CWnd* pParentWnd = nullptr);

    // IDOK or IDCANCEL.
    INT_PTR DoModal() override;

    C3DPicTrickBtn m_btnOK;
    C3DPicTrickBtn m_btnCancel;

protected:
    BOOL OnInitDialog() override;

private:
    void FitPictureButtons();
};
