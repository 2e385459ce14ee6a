#pragma once
// The small modeless window of long operations: a caption, up to three
// lines of text, the bar (CProgressBar) and Cancel. The operation keeps
// running on the user-interface thread; SetRange and SetPos first let the
// waiting messages through, so the program stays responsive and Cancel can
// be pressed. Cancel (or Escape) never closes the window: it sets
// m_bCancelled, which the operation polls between its steps.
//
// The caller's protocol: construct, SetMessage, SetRange(total), SetPos(0);
// per step stop when m_bCancelled is set, optionally SetLine, do the step,
// SetPos(step + 1); then act on m_bCancelled and destroy the object (a
// local of the operation, or allocated and deleted by it).
//
// When the bar cannot be created the window shows without it, and
// SetRange/SetPos do nothing at all (not even pump messages).

#include "controls/PictureButton.h"
#include "platform/framework/Dialog.h"

class CProgressBar;

// Dialog template and its controls.
#define IDD_PROGRESS 140
#define IDC_PROGRESS_LINE1 297 // lines 1-3 are 297-299
#define IDC_PROGRESS_FRAME 300 // frames the bar

class CProgressDlg : public CDialog {
public:
    CProgressDlg(CWnd* pParent, BOOL bCancelOffered);
    ~CProgressDlg() override;

    // Loads string nID: "title" alone sets the window title and empties
    // line 1; "|title|line|" sets both.
    void SetMessage(UINT nID);
    void SetRange(int nCount);
    void SetPos(int nPos);
    // Lines 1-3, only while the window exists; other numbers are ignored.
    void SetLine(int nLine, LPCTSTR lpszText);
    // The same, with a path shortened to the line's width.
    void SetLineCompact(int nLine, LPCTSTR lpszText);

    BOOL m_bBarExists = FALSE;
    BOOL m_bCancelOffered;
    BOOL m_bCancelled = FALSE; // read by the running operation
    CProgressBar* m_pBar = nullptr;
    C3DPicBtn m_btnCancel;
    CWnd m_wndBarFrame;

    // How a message string splits: "title" gives the whole string as the
    // title and an empty line; "|title|line|" gives title and line (the
    // closing bar is not part of the line). One bar alone gives neither.
    static void SplitMessage(const CString& strMessage, CString& strTitle, CString& strLine);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    // Only raises the flag: the window stays until the operation ends.
    void OnCancel() override;

private:
    // Lets the waiting messages through before a step of the bar.
    void PumpWaitingMessages();
};
