#pragma once
// The splash window shown while the program starts: a modeless dialog with
// no parent showing the splash picture. The application object owns it as a
// member; the window lives from the first step of start-up until the
// application destroys it (first idle pass after a short time, a key or
// mouse press, or the opening of a design).

#include "resources/assist.h"
#include "platform/framework/Dialog.h"
#include "platform/gdi/GdiObject.h"


class CSplashDlg : public CDialog {
public:
    CSplashDlg();
    ~CSplashDlg() override;

    // Makes the window (not yet shown); non-zero on success. Creating it
    // again while it exists answers TRUE and keeps the window.
    BOOL Create(CWnd* pParent = NULL);

protected:
    BOOL OnInitDialog() override;
    // The splash is not a dialog the user can dismiss with Enter or Esc;
    // the application closes it.
    void OnOK() override {}
    void OnCancel() override {}
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()

private:
    // The splash picture; without it the window shows the program's name.
    CBitmap m_bitmap;
    BOOL m_bHasPicture = FALSE;
};
