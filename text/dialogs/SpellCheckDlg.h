#pragma once
// CSpellCheckDlg: the Check Spelling dialog of a spelling check run. It
// asks its checker for the words one after another and stops at each word
// the dictionary does not know, showing it in its text with the
// suggestions; Ignore, Ignore All, Change, Change All and Add move on. When
// the words run out it says so and closes itself; an error of the spelling
// library says that instead. The checker owns the dialog and outlives it.
//
// The text box only shows the text: a window of at most kMaxContext
// characters around the word, with the word selected. A change is made by
// the checker in the object's own text, whatever the user selects there.

#include "controls/PictureButton.h"
#include "platform/framework/Afx.h"

class CDocTextWalker;

class CSpellCheckDlg : public CDialog {
public:
    static constexpr int kMaxContext = 512;
    static constexpr int kMaxWord = 511;

    CSpellCheckDlg(CDocTextWalker* pChecker, CWnd* pParent);
    ~CSpellCheckDlg() override;

    // Where the shown window of a text of nLength characters starts so
    // that the word from nStart to nEnd lies in it, as near the middle as
    // the text allows.
    static int ContextStart(int nLength, int nStart, int nEnd);

    CString m_strContext; // the text shown around the word
    CString m_strWord;    // the replacement field's text

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    // Enter does not close the dialog; only Close does.
    void OnOK() override;

    afx_msg void OnIgnore();
    afx_msg void OnIgnoreAll();
    afx_msg void OnAddWord();
    afx_msg void OnChange();
    afx_msg void OnChangeAll();
    DECLARE_MESSAGE_MAP()

private:
    // Checks words from the current one on until one is unknown (shown)
    // or the check ends (message and close).
    void Search();
    // Moves on to the next word and searches; the end when there is none.
    void NextAndSearch();
    void ShowUnknownWord();
    void Finish(UINT nMessageId);
    // The replacement to use: the chosen suggestion, or the typed text
    // once the dictionary knows it or the user accepts it. FALSE when the
    // user declines.
    BOOL TakeReplacement(CString& rReplacement);
    void Change(BOOL bAll);

    CDocTextWalker* m_pChecker;
    CEdit m_context;
    CComboBox m_replacement;
    C3DPicTrickBtn m_btnClose;
    BOOL m_bFinished = FALSE;
};
