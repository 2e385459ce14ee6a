#pragma once
// The Explorer-style Save As dialog for designs: the window system's save
// dialog run directly on its record, with a small child template, the
// program's picture buttons in place of OK, Cancel and Help, and a check
// that the chosen path fits the 257 characters (with its zero) that a
// design's path may take. It starts in the user's design folder (the
// program folder when that folder is on a CD-ROM drive).
//
// The save code builds one per question, sets the record's filter, filter
// index and title, runs DoModal and reads GetPathName. The object is not a
// window: the hook finds it through the record's lCustData when the dialog
// starts and keeps it as the one Save As dialog up until DoModal returns.
// The picture buttons let go of their controls when the dialog closes.

#include "controls/PictureButton.h"
#include "platform/base/UiRecords.h"

class CWnd;

class CSaveAsDlg {
public:
    // The file-name buffer, and the longest path (with its zero) the
    // dialog hands back.
    static constexpr int kFileBufferSize = 264;
    static constexpr int kMaxPathWithZero = 257;

    // dwFlags go into the record as they are; DoModal adds its own.
    explicit CSaveAsDlg(DWORD dwFlags);
    CSaveAsDlg(const CSaveAsDlg&) = delete;
    CSaveAsDlg& operator=(const CSaveAsDlg&) = delete;

    // Fills the record (below) and runs the dialog: TRUE on OK.
    BOOL DoModal(LPCTSTR lpszFileName);
    // The chosen full path.
    CString GetPathName() const;

    // Fills the record as DoModal does without showing the dialog: the
    // proposed name (at most 259 characters), the start folder, the hook,
    // the child template and this object as the hook's data.
    void PrepareRecord(LPCTSTR lpszFileName);
    // The hook DoModal installs (tests drive it with real windows).
    static UINT_PTR CALLBACK HookProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    OPENFILENAME m_ofn;
    CWnd* m_pOwner = nullptr; // the main window when there is one
    HWND m_hWndChild = NULL;  // the child template's window, while the dialog is up
    HWND m_hWndDialog = NULL; // the common dialog around it
    C3DPicBtn m_btnOK;
    C3DPicBtn m_btnCancel;
    C3DPicBtn m_btnHelp;
    CString m_strSpare;
    CString m_strStartFolder;
    CString m_strProposed;

private:
    char m_szFileName[kFileBufferSize] = {};

    // Dresses the common dialog's buttons; FALSE when it has no Help
    // button (control 9 or ID_HELP).
    BOOL DressButtons();
    // 1 (keep the dialog open) when the chosen path is too long.
    LRESULT CheckFileName();
};
