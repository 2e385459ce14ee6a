#pragma once
// The Tip of the Day dialog. Tips are text files support\tips\tip<n>.txt in
// the program folder, numbered from 1; the dialog shows them one after the
// other and remembers in the profile (section "Tip") which comes next
// ("FileNum") and whether to show them at start-up ("StartUp"). A missing
// tip starts again from the first; with no tips at all a fixed text shows.
// Tip files are read bounded: a long file is cut, never a crash.

#include "controls/PictureButton.h"
#include "platform/base/String.h"
#include "platform/framework/Dialog.h"

class CTipOfDayDlg : public CDialog {
public:
    static constexpr int kMaxTipBytes = 2048;
    static constexpr int kMaxTipNumber = 999;

    explicit CTipOfDayDlg(CWnd* pParent = nullptr);

    BOOL m_bStartup = TRUE;   // "Tip"/"StartUp"
    int m_nFileNum = 1;       // the tip shown now (1-based)
    CString m_strTip;         // its text
    C3DPicTrickBtn m_btnClose;

    // Reads tip nNumber; FALSE when there is no such tip file or it holds
    // no text.
    static BOOL ReadTip(int nNumber, CString& rText);
    // Reads a tip file: at most kMaxTipBytes, line ends made "\r\n", other
    // control characters made blanks, surrounding blanks trimmed. A longer
    // file is cut at the last blank before the limit.
    static BOOL ReadTipFile(LPCTSTR lpszPath, CString& rText);
    static CString TipPath(int nNumber);
    // Makes the next tip current (wrapping to the first); FALSE when there
    // are no tips at all.
    BOOL NextTip();

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void DoDataExchange(CDataExchange* pDX) override;
    afx_msg void OnNextTip();
    DECLARE_MESSAGE_MAP()

private:
    void LoadCurrentTip();
    void SaveState();
};
