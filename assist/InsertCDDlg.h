#pragma once
// The prompt to insert the program's disc: IDOK means "try again", IDCANCEL
// gives up.

#include "resources/assist.h"
#include "controls/PictureButton.h"
#include "platform/framework/Dialog.h"


class CInsertCDDlg : public CDialog {
public:
    explicit CInsertCDDlg(CWnd* pParent = NULL);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

private:
    C3DPicBtn m_btnOk;
    C3DPicBtn m_btnCancel;
};

// Whether the program's content can be reached: non-zero when it is there,
// or when the user chose to go on without the disc. On this system the
// program's content is installed with the program, so no disc is needed.
BOOL CheckProgramCD(CWnd* pMainWnd);
