#pragma once
// The Logo dialog: lists the logos the user saved (".lgo" files in the
// program's support folder) by name. Opening or making a logo needs the
// design file and comes with it; the dialog answers IDOK with the picked
// logo's path in m_strPath, or IDCANCEL.
//
// OK also remembers the choice for the signed-in user (profile section
// "Logos", a value named after the user holding the logo's name) and, while
// a design is open, sends ID_INSERT_USER_LOGO to its active view. Nobody
// signed in: nothing is remembered. The view reads the choice back through
// GetSelectedLogo on a dialog object it never shows.

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

    // The user's remembered logo: its name and the picture Save Logo wrote
    // beside the ".lgo" file ("<support folder><name>.jpg"). FALSE, with
    // both empty, when the user chose none, the remembered name could not
    // be a logo's, or the picture is missing.
    BOOL GetSelectedLogo(LPCTSTR lpszUser, CString& strName, CString& strPicture) const;
    // Remembers strName as the user's logo; FALSE without a user.
    static BOOL RememberLogo(LPCTSTR lpszUser, const CString& strName);

    // Longest logo name taken from the profile.
    static constexpr int kMaxLogoName = 200;

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
