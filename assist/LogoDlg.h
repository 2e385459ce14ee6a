#pragma once
// The Logo dialog: lists the logos the user saved (".lgo" files in the
// program's support folder) by name. Opening or making a logo needs the
// design file and comes with it; the dialog answers IDOK with the picked
// logo's path in m_strPath, or IDCANCEL.

#include "resources/assist.h"
#include "controls/PictureButton.h"
#include "platform/framework/Controls.h"
#include "platform/framework/Dialog.h"

#include <vector>


class CLogoDlg : public CDialog {
public:
    explicit CLogoDlg(CWnd* pParent = NULL);

    // The saved logos' paths, sorted by name (at most kMaxLogos).
    static constexpr int kMaxLogos = 500;
    static std::vector<CString> FindSavedLogos();

    CString m_strPath;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    std::vector<CString> m_logos;
    CListBox m_wndList;
    C3DPicBtn m_btnOk;
    C3DPicBtn m_btnCancel;
};
