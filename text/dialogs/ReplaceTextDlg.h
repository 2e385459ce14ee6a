#pragma once
// CReplaceTextDlg: finds a string in the texts of a design's drawing objects,
// every surface in turn, shows the text that holds it with the match
// selected, and replaces one match at a time or all of them. The caller owns
// the dialog and the document, which must outlive DoModal.
//
// The dialog keeps its own record of the match it found (object, start,
// end): a replacement always acts on that range of the object's own text,
// so a click that moves the selection in the preview cannot redirect it,
// and the line breaks and runs of the text outside the range stay. Each
// replacement is one undoable "change properties" step.
//
// The last ten find and replacement strings live in the application profile
// (sections "FindWhatMRU" and "ReplaceWithMRU"); the three check settings
// are read when the dialog opens and written when its window goes.

#include "platform/base/StringArray.h"
#include "platform/framework/Afx.h"

#include <vector>

class CDrawDoc;
class CDrawObj;

class CReplaceTextDlg : public CDialog {
public:
    // The most names a recently-used list holds.
    static constexpr int kMaxMruEntries = 10;
    // Longer profile strings are cut to this many characters when read.
    static constexpr int kMaxMruText = 1024;

    explicit CReplaceTextDlg(CDrawDoc* pDoc, CWnd* pParent = nullptr);
    ~CReplaceTextDlg() override;

    // The first occurrence of strFind in strText at or after nFrom, or -1.
    // Without bMatchCase both are compared in lower case. With bWholeWords
    // an occurrence counts only when the character before it is not a
    // letter (A-Z, a-z) and the one after it neither a letter nor an
    // apostrophe; the text's ends count as neither.
    static int FindInText(const CString& strText, const CString& strFind, int nFrom, BOOL bWholeWords, BOOL bMatchCase);

    // The recently-used list of a profile section, most recent first: the
    // entry names and their strings. Only the names "0".."9" count, each
    // once, and only while its entry exists; at most kMaxMruEntries. A
    // missing list is empty. Without an application both come back empty.
    static void ReadMruList(LPCTSTR lpszSection, CStringArray& names, CStringArray& strings);
    // Puts strValue in front of the section's list: a free name while the
    // list has room, else the oldest name taken over.
    static void AddToMru(LPCTSTR lpszSection, const CString& strValue);

protected:
    BOOL OnInitDialog() override;

    afx_msg void OnFind();
    afx_msg void OnReplace();
    afx_msg void OnReplaceNext();
    afx_msg void OnReplaceAll();
    afx_msg void OnHelp();
    afx_msg void OnFindEditChange();
    afx_msg void OnFindDropDown();
    afx_msg void OnReplaceDropDown();
    afx_msg void OnFindSelChange();
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    struct TextObject {
        CDrawObj* pObj;
        int nSurface;
    };
    // What the dialog last did to the current object. After a find the
    // preview selects [nStart, nEnd); after a replacement its caret stands
    // right behind the new text. Either way the search goes on at nResume.
    struct MatchRecord {
        enum class State { None, Found, Replaced };
        State state = State::None;
        int nStart = 0;
        int nEnd = 0;
        int nResume = 0;
    };

    void CollectTextObjects();
    void ReadFields();
    // Reads the fields; whether there is something to search for and
    // something to search in.
    BOOL CanSearch();
    void UpdateButtons();
    void StoreMruEntries();
    void FillFromMru(CComboBox& combo, LPCTSTR lpszSection);

    // Searches from the current object on; TRUE with the match recorded and
    // shown, FALSE with the current index back at the first object.
    BOOL FindNext();
    // Where the search in the current object goes on: behind the dialog's
    // own record while the preview still shows it, else from the preview's
    // selection (its start plus the find string's length), else from the
    // object's start.
    int ResumePosition() const;
    // Whether the recorded match is what the preview shows and still a
    // match in the object's text.
    BOOL PreviewShowsRecordedMatch() const;
    // Replaces the recorded match of the current object. FALSE when the
    // object refused the change.
    BOOL ReplaceRecordedMatch(BOOL bUpdatePreview);
    void ShowMatch(int nStart, int nEnd);
    void ShowCurrentText();
    void GetPreviewSel(int& nStart, int& nEnd) const;
    void SetPreviewSel(int nStart, int nEnd);
    void NotFoundMessage();
    CString ObjectText(int nIndex) const;

    CDrawDoc* m_pDoc;
    CComboBox m_comboFind;
    CComboBox m_comboReplace;
    CString m_strFind;
    CString m_strReplace;
    BOOL m_bWholeWords = FALSE;
    BOOL m_bMatchCase = FALSE;
    std::vector<TextObject> m_objects;
    int m_nCurrent = 0;
    MatchRecord m_match;
    BOOL m_bNothingReplaced = TRUE;
};
