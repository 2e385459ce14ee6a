#pragma once
// CSpecialCharDlg: picks one character (codes 32..255) of the caller's font
// from a list, showing it large and telling how to type it. The caller may
// call SetFont before DoModal (without it a small default face is used) and
// on IDOK reads GetChar(). The dialog owns its two fonts; they go with its
// window.

#include "platform/framework/Afx.h"

class CSpecialCharDlg : public CDialog {
public:
    static constexpr int kFirstCode = 32;
    // The multi-column list is filled column by column, seven entries a
    // column, so each of its seven rows reads 32 consecutive codes.
    static constexpr int kListRows = 7;
    static constexpr int kListColumns = 32;
    static constexpr int kListCount = kListRows * kListColumns;

    explicit CSpecialCharDlg(CWnd* pParent = NULL);
    ~CSpecialCharDlg() override;

    void SetFont(const LOGFONT& lf);
    BYTE GetChar() const { return m_chChar; }

    // The character code of list entry nIndex (0..kListCount - 1); -1
    // outside.
    static int ListCodeAt(int nIndex);
    // What the Keystroke field shows for nCode.
    static CString KeystrokeText(int nCode);
    // What the Selection field shows for nCode.
    static CString SelectionText(int nCode);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

    afx_msg void OnSelChange();
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    void FitList();

    LOGFONT m_lf {};
    BOOL m_bFontGiven = FALSE;
    BYTE m_chChar = 0;
    CFont m_fontList;
    CFont m_fontPreview;
    CListBox m_list;
};
