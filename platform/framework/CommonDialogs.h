#pragma once
// The class library's wrappers of the common dialogs: file open and save,
// print and print setup, colour. Each runs the window system's dialog
// modally; a derived class gets the dialog's messages through its message
// map, because DoModal attaches the object to the dialog's hook window (the
// template child of the file dialog, the dialog itself otherwise) when it
// starts and lets go of it when it ends.
//
// Ownership: the dialog object keeps its records (m_ofn, m_pd, m_cc) and
// the buffers they point to. A CPrintDialog deletes the printer DC it holds
// in m_pd.hDC; the DEVMODE and DEVNAMES blocks are the caller's (usually
// the application's, see CWinApp::DoPrintDialog).

#include "platform/base/UiRecords.h"
#include "platform/framework/Dialog.h"

#include <string>

class CDC;

class CCommonDialog : public CDialog {
    DECLARE_DYNAMIC(CCommonDialog)
public:
    explicit CCommonDialog(CWnd* pParentWnd);

protected:
    // The common dialog ends itself; OK and Cancel only pass the button on.
    void OnOK() override;
    void OnCancel() override;

    // Runs fnRun with the object attached to the hook window for its
    // duration; the answer of fnRun (TRUE for OK).
    BOOL RunAttached(BOOL (*fnRun)(void* pRecord), void* pRecord);
    // The hook every common dialog of this library installs.
    static UINT_PTR CALLBACK HookProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    // The owner to give the dialog: the parent, else the main window.
    HWND GetOwnerForModal() const;
};

class CFileDialog : public CCommonDialog {
    DECLARE_DYNAMIC(CFileDialog)
public:
    // lpszFilter: pairs "name|patterns|" ending in "|" (as the class
    // library writes them); lpszDefExt without the dot.
    explicit CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt = nullptr, LPCTSTR lpszFileName = nullptr,
        DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCTSTR lpszFilter = nullptr,
        CWnd* pParentWnd = nullptr);

    OPENFILENAME m_ofn;

    INT_PTR DoModal() override;

    CString GetPathName() const; // the full path chosen
    CString GetFileName() const; // its name with extension
    CString GetFileExt() const;  // its extension without the dot
    CString GetFileTitle() const; // its name without extension
    BOOL GetReadOnlyPref() const { return (m_ofn.Flags & OFN_READONLY) ? TRUE : FALSE; }
    // Multiple selection: NULL when nothing was chosen.
    POSITION GetStartPosition() const;
    CString GetNextPathName(POSITION& pos) const;

    // While the dialog is up (from a handler of the derived class).
    void SetControlText(int nID, LPCSTR lpsz);
    void HideControl(int nID);
    void SetDefExt(LPCSTR lpsz);
    CString GetFolderPath() const;

protected:
    BOOL m_bOpenFileDialog;
    std::string m_strFilter;      // the filter with '|' turned into '\0'
    std::string m_strDefExt;      // kept here: callers often pass a temporary
    char m_szFileTitle[64]{};
    char m_szFileName[MAX_PATH]{};

    // Notifications of the Explorer-style dialog. OnFileNameOK answers TRUE
    // to keep the dialog open.
    virtual BOOL OnFileNameOK();
    virtual void OnInitDone();
    virtual void OnFileNameChange();
    virtual void OnFolderChange();
    virtual void OnTypeChange();

    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

private:
    std::string m_multiBuffer; // large buffer for OFN_ALLOWMULTISELECT
};

class CPrintDialog : public CCommonDialog {
    DECLARE_DYNAMIC(CPrintDialog)
public:
    // Print (bPrintSetupOnly FALSE: also PD_RETURNDC) or Print Setup.
    explicit CPrintDialog(BOOL bPrintSetupOnly,
        DWORD dwFlags = PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOPAGENUMS | PD_HIDEPRINTTOFILE | PD_NOSELECTION,
        CWnd* pParentWnd = nullptr);
    ~CPrintDialog() override;

    PRINTDLG m_pd;

    INT_PTR DoModal() override;
    // The default printer's blocks (and, unless setup only, its DC) without
    // a dialog. As PrintDlg, it fails while m_pd still holds blocks; the
    // caller frees the new ones.
    BOOL GetDefaults();

    CString GetDeviceName() const;
    CString GetDriverName() const;
    CString GetPortName() const;
    // The DEVMODE of m_pd.hDevMode (locked memory; NULL without one).
    LPDEVMODE GetDevMode() const;
    // A printer DC for m_pd's blocks, kept in m_pd.hDC (an older one is
    // deleted first).
    HDC CreatePrinterDC();
    HDC GetPrinterDC() const { return m_pd.hDC; }

    BOOL PrintAll() const { return !PrintRange() && !PrintSelection(); }
    BOOL PrintRange() const { return (m_pd.Flags & PD_PAGENUMS) ? TRUE : FALSE; }
    BOOL PrintSelection() const { return (m_pd.Flags & PD_SELECTION) ? TRUE : FALSE; }
    BOOL PrintCollate() const;
    int GetFromPage() const;
    int GetToPage() const;
    int GetCopies() const;
};

class CColorDialog : public CCommonDialog {
    DECLARE_DYNAMIC(CColorDialog)
public:
    explicit CColorDialog(COLORREF clrInit = 0, DWORD dwFlags = 0, CWnd* pParentWnd = nullptr);

    CHOOSECOLOR m_cc;

    INT_PTR DoModal() override;
    COLORREF GetColor() const { return m_cc.rgbResult; }

    // The custom colours used when m_cc.lpCustColors is not changed.
    static COLORREF* PASCAL GetSavedCustomColors();
};
