#pragma once
// The About box: the program's name, its version and the system it runs on.

#include "platform/framework/Dialog.h"

class CAboutDlg : public CDialog {
public:
    explicit CAboutDlg(CWnd* pParent = nullptr);

    // "Version <n>" from the program's version string.
    static CString VersionText();

protected:
    BOOL OnInitDialog() override;
};
